#include "core/shell/user_settings.h"

#include "core/data/shop_page.h"
#include "core/lang/language_match.h"
#include "core/quantities/file_menu.h"
#include "core/shell/platform.h"
#include "core/shell/version.h"
#include "core/util/trace.h"

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// The first `count` characters (code points) of a UTF-8 text.
std::string FirstChars(std::string_view s, size_t count) {
    size_t i = 0;
    for (size_t n = 0; i < s.size() && n < count; ++n) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    }
    return std::string(s.substr(0, i));
}

std::string Upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string Lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

// Brackets one operation in BeginAccess/EndAccess, also when it throws.
class TAccess {
public:
    explicit TAccess(TTavUserSettings& settings) : FSettings(settings) { settings.BeginAccess(); }
    ~TAccess() { FSettings.EndAccess(); }
    TAccess(const TAccess&) = delete;
    TAccess& operator=(const TAccess&) = delete;

private:
    TTavUserSettings& FSettings;
};

} // namespace

TTavUserSettings::TTavUserSettings(TPlatformEnvironment& env)
    : FEnv(env), FVersion(FirstChars(ProgramVersion(), 20)), FSystemMeasure(::SystemMeasure(env)) {
    const TLocaleNames names = UserLocaleNames(env);
    FLocaleLanguage = names.Language;
    FLocaleCountry = names.Country;
    FShopUrl = cDefaultShopServer;
}

TTavUserSettings::~TTavUserSettings() = default;

void TTavUserSettings::SetSection(std::string_view name) {
    FSection = FirstChars(name, cOrsikSectionMax);
}

void TTavUserSettings::Loaded(const std::vector<std::string>& arguments) {
    if (FSection.empty()) throw std::logic_error("the settings need a section name");
    ReadCommandLine(arguments);
    TAccess access(*this);
    FFirstRun = !SectionExists(FSection);
    FLanguage = FirstChars(ReadValue("Language", DefaultLanguageCode()), 4);

    const std::string documents = DocumentsFolder();
    if (!documents.empty()) {
        std::error_code ec;
        fs::create_directories(documents, ec);
        if (ec)
            TraceLine(FormatText("cannot create the documents folder \"%s\": %s", documents.c_str(),
                                 ec.message().c_str()));
    }

    const fs::path program = FEnv.ProgramFile();
    std::string exeDir = program.empty() ? std::string() : program.parent_path().string();
    if (!exeDir.empty() && exeDir.back() != '/') exeDir += '/';
    WriteValue("EXEDir", exeDir);
    WriteValue("EXEName", program.filename().string());
    WriteValue("Version", FVersion);

    if (FFirstRun) {
        WriteValue("DataDir", documents);
        WriteValue("Measure", FSystemMeasure);
        if (OnCreateSection) OnCreateSection(*this);
    }
    FMeasure = ReadValue("Measure", FSystemMeasure);
    FCurrency = ReadValue("Currency", "€");
    // A symbol is short; an empty value or one longer than any currency's sign falls back.
    if (FCurrency.empty() || FCurrency.size() > 16) FCurrency = "€";
    const std::string shop = ReadValue("ShopUrl", cDefaultShopServer);
    FShopUrl = ShopServerFromSetting(shop);
    if (FShopUrl == cDefaultShopServer && shop != cDefaultShopServer)
        TraceLine(FormatText("ShopUrl \"%s\" is neither an https address nor a loopback http one; using %s", shop.c_str(),
                             FShopUrl.c_str()));
}

void TTavUserSettings::ReadCommandLine(const std::vector<std::string>& arguments) {
    FSapExportEnabled = false;
    for (const std::string& arg : arguments) {
        const std::string upper = Upper(arg);
        if (upper == "/SAP") FSapExportEnabled = true;
        const std::string_view prefix = std::string_view(upper).substr(0, 6);
        if (prefix == "/WERK=")
            FPlantCode = arg.substr(6);
        else if (prefix == "/PFAD=")
            FExportFolder = arg.substr(6);
        else if (prefix == "/FILE=")
            FExportFileName = arg.substr(6);
    }
}

void TTavUserSettings::BeginAccess() {
    if (FAccessCount++ > 0) return;
    FFile = std::make_unique<TIniFile>();
    FReadFailed = false;
    FLastError.clear();
    const std::string file = FileName();
    if (file.empty()) {
        SetError("the settings are not kept: neither XDG_CONFIG_HOME nor HOME is set");
        return;
    }
    std::error_code ec;
    const fs::path folder = fs::path(file).parent_path();
    fs::create_directories(folder, ec);
    if (ec) {
        SetError(FormatText("cannot create the settings folder \"%s\": %s", folder.string().c_str(),
                            ec.message().c_str()));
        return;
    }
    if (const TIniResult r = LoadIniFile(file, *FFile); !r) {
        FReadFailed = true;
        SetError(r.Message);
    }
}

bool TTavUserSettings::EndAccess() {
    if (FAccessCount == 0) return true;
    if (--FAccessCount > 0) return true;
    const std::unique_ptr<TIniFile> file = std::move(FFile);
    if (!file->Modified()) return true;
    const std::string fileName = FileName();
    if (fileName.empty()) return false;
    if (FReadFailed) {
        SetError(FLastError + "; the file is left unchanged");
        return false;
    }
    if (const TIniResult r = SaveIniFile(fileName, *file); !r) {
        SetError(r.Message);
        return false;
    }
    return true;
}

bool TTavUserSettings::SectionExists(std::string_view name) {
    TAccess access(*this);
    return FFile->SectionExists(name);
}

std::string TTavUserSettings::ReadValue(std::string_view key, std::string_view defaultValue) {
    return ReadSectionValue(FSection, key, defaultValue);
}

std::string TTavUserSettings::ReadSectionValue(std::string_view section, std::string_view key,
                                               std::string_view defaultValue) {
    TAccess access(*this);
    return FFile->ReadString(section, key, defaultValue);
}

void TTavUserSettings::WriteValue(std::string_view key, std::string_view value) {
    TAccess access(*this);
    FFile->WriteString(FSection, key, value);
}

std::string TTavUserSettings::DefaultLanguageCode() const {
    return Lower(FLocaleLanguage + FLocaleCountry);
}

std::string TTavUserSettings::StartLanguage(const std::vector<std::string>& available) const {
    return MatchLanguageCode(FLanguage, DefaultLanguageCode(), available);
}

void TTavUserSettings::SetLanguage(std::string_view code) {
    FLanguage = FirstChars(code, 4);
    WriteValue("Language", FLanguage);
}

void TTavUserSettings::SetMeasure(std::string_view value) {
    FMeasure = value;
    WriteValue("Measure", FMeasure);
}

std::string TTavUserSettings::GetString(TOrsikIniGetStringIndex index) {
    std::string s;
    switch (index) {
    case csxError:
        s = "Error";
        break;
    case csxProgramCouldNotBeStarted:
        s = "Program could not be started.";
        break;
    }
    if (OnGetString) OnGetString(*this, index, s);
    return s;
}

bool TTavUserSettings::StartProgram(std::string_view section) {
    bool started = false;
    {
        TAccess access(*this);
        std::string exeName = ReadSectionValue(section, "EXEName", "###");
        if (exeName != "###") {
            std::string exeDir = ReadSectionValue(section, "EXEDir", "");
            if (!exeDir.empty() && (exeDir.back() == '/' || exeDir.back() == '\\'))
                exeDir.pop_back();
            // Case-sensitive, as the programs that describe themselves here write it.
            if (exeName.size() < 3 || exeName.compare(exeName.size() - 3, 3, "EXE") != 0)
                exeName += ".EXE";
            const std::string path = exeDir + '/' + exeName;
            std::error_code ec;
            if (fs::is_regular_file(path, ec)) started = FEnv.StartProcess(path);
        }
    }
    if (!started && OnShowMessage)
        OnShowMessage(*this, GetString(csxError), GetString(csxProgramCouldNotBeStarted));
    return started;
}

std::string TTavUserSettings::DocumentsFolder() const {
    return ::DocumentsFolder(FEnv);
}

void TTavUserSettings::ReadRecentFiles(TFileMenu& menu) {
    TAccess access(*this);
    menu.ReadHistory([this](const std::string& name) { return ReadValue(name, ""); });
}

void TTavUserSettings::WriteRecentFiles(const TFileMenu& menu) {
    TAccess access(*this);
    menu.WriteHistory(
        [this](const std::string& name, const std::string& value) { WriteValue(name, value); },
        cRecentFileCount);
}

std::string TTavUserSettings::FileName() const {
    const std::string config = ConfigFolder(FEnv);
    if (config.empty()) return {};
    return config + "/Orsik/" + FSection + "/UserSettings.ini";
}

void TTavUserSettings::SetError(std::string message) {
    TraceLine(message);
    FLastError = std::move(message);
}
