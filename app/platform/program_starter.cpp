#include "app/platform/program_starter.h"

#include "core/shell/user_settings.h"

bool TSettingsProgramStarter::StartProgram(std::string_view section) {
    return settings_.StartProgram(section);
}
