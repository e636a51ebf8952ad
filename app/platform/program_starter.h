#pragma once

#include <string_view>

class TTavUserSettings;

//! Section of the settings file that describes the external moment-of-inertia program.
inline constexpr std::string_view cInertiaProgramSection = "ZEB";

//! Starts the helper programs that sections of the settings file describe, so that tests
//! press the buttons that start them without starting anything.
class IProgramStarter {
public:
    virtual ~IProgramStarter() = default;
    //! Starts the program of settings section `section`; false when it could not be
    //! started (the failure has then been reported).
    virtual bool StartProgram(std::string_view section) = 0;
};

//! Through the user settings: the section's "EXEDir" and "EXEName" name the program, and a
//! failure shows the settings' one message.
class TSettingsProgramStarter : public IProgramStarter {
public:
    explicit TSettingsProgramStarter(TTavUserSettings& settings) : settings_(settings) {}
    bool StartProgram(std::string_view section) override;

private:
    TTavUserSettings& settings_;
};
