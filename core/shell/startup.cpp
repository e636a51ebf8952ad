#include "core/shell/startup.h"

#include "core/lang/language_db.h"
#include "core/quantities/file_menu.h"
#include "core/shell/user_settings.h"

bool TSplashTimer::Tick() {
    if (!FEnabled) return false;
    if (++FTicks < cCloseTick) return false;
    FEnabled = false;
    return true;
}

void AttachSplashHandlers(TTavUserSettings& settings, TCustomLanguageDB& languageDB) {
    settings.OnGetString = [&languageDB](TTavUserSettings&, TOrsikIniGetStringIndex index,
                                         std::string& s) {
        s = languageDB.Translate(index == csxError ? "~Error" : "~PrgCouldNotBeStarted");
    };
    settings.OnCreateSection = [](TTavUserSettings& sender) {
        sender.WriteRecentFiles(TFileMenu());
    };
}

std::string VersionLabelText(std::string_view pattern, std::string_view version) {
    std::string out;
    size_t pos = 0;
    for (size_t at; (at = pattern.find("%s", pos)) != std::string_view::npos; pos = at + 2)
        out.append(pattern.substr(pos, at - pos)).append(version);
    out.append(pattern.substr(pos));
    return out;
}
