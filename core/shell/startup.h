#pragma once

#include <string>
#include <string_view>

class TCustomLanguageDB;
class TTavUserSettings;

//! The closing rule of the start-up window: its timer ticks once a second and closes the
//! window at the 6th tick; a close request by the user is refused before the 2nd tick.
//! Shown again later as the about window, it can be closed at once.
class TSplashTimer {
public:
    static constexpr int cIntervalMs = 1000;
    static constexpr int cCloseTick = 6;
    static constexpr int cFirstClosableTick = 2;

    //! One tick of the timer; true when the window closes now. The timer then stops and
    //! further ticks do nothing.
    bool Tick();
    bool Enabled() const { return FEnabled; }
    int Ticks() const { return FTicks; }
    //! Whether a close request of the user is granted.
    bool CloseQuery() const { return FTicks >= cFirstClosableTick; }

private:
    int FTicks = 0;
    bool FEnabled = true;
};

//! Connects the settings to the start-up window's language database: the settings'
//! messages are the translations of "~Error" and "~PrgCouldNotBeStarted", and the first
//! run writes the empty recent-file entries File0 … File7. The database must outlive the
//! settings' use of the handlers.
void AttachSplashHandlers(TTavUserSettings& settings, TCustomLanguageDB& languageDB);

//! The version label: `pattern` (the translation of "~Version%s") with every "%s" replaced
//! by `version`.
std::string VersionLabelText(std::string_view pattern, std::string_view version);
