#pragma once

#include "core/shell/ini_file.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TFileMenu;
class TPlatformEnvironment;

//! Message texts the settings component shows itself.
enum TOrsikIniGetStringIndex : uint8_t {
    csxError = 0,                    //!< caption of the message box
    csxProgramCouldNotBeStarted = 1, //!< StartProgram failed
};

//! Longest program section name; a longer one is cut.
inline constexpr size_t cOrsikSectionMax = 40;
//! Number of recent project files kept in the settings (File0 … File7).
inline constexpr int cRecentFileCount = 8;

//! The per-user settings: the file "UserSettings.ini" in <configuration folder>/Orsik/
//! <Section>/, the command-line switches of an ordering system and what the user locale
//! says about language and measurement system. The file is open only between BeginAccess
//! and EndAccess; values written in between reach the disk together when the outermost
//! EndAccess saves the file (atomically).
class TTavUserSettings {
public:
    using TOrsikIniGetStringEvent = std::function<void(
        TTavUserSettings& sender, TOrsikIniGetStringIndex index, std::string& s)>;
    using TNotifyEvent = std::function<void(TTavUserSettings& sender)>;
    using TShowMessageEvent = std::function<void(
        TTavUserSettings& sender, const std::string& caption, const std::string& text)>;

    //! Reads the locale's measurement system and names and the program version at once.
    //! `env` must outlive the settings.
    explicit TTavUserSettings(TPlatformEnvironment& env);
    ~TTavUserSettings();
    TTavUserSettings(const TTavUserSettings&) = delete;
    TTavUserSettings& operator=(const TTavUserSettings&) = delete;

    //! Name of the program's own section and of the folder that holds the file.
    const std::string& Section() const { return FSection; }
    //! Keeps at most cOrsikSectionMax characters.
    void SetSection(std::string_view name);
    //! Supplies the message texts; `s` holds the built-in text when the handler is called.
    TOrsikIniGetStringEvent OnGetString;
    //! Raised once when the program's section is created (first run), while the file is
    //! still open, so the handler's values are saved with the others.
    TNotifyEvent OnCreateSection;
    //! Shows a message box with an OK button; StartProgram reports its failure through it.
    TShowMessageEvent OnShowMessage;

    //! The load step at start-up: reads the command line, notes whether this is the first
    //! run, reads "Language", creates the documents folder, writes "EXEDir", "EXEName" and
    //! "Version", on the first run writes "DataDir" and "Measure" and raises
    //! OnCreateSection, and reads "Measure" and "ShopUrl". `arguments` exclude the program path. The
    //! section must be set (std::logic_error).
    void Loaded(const std::vector<std::string>& arguments);
    //! "/SAP" (any letter case) enables the SAP export; "/WERK=", "/PFAD=" and "/FILE="
    //! (prefix in any letter case) set the plant code, export folder and export file name. A
    //! later argument overwrites an earlier one; values not given stay as they were.
    void ReadCommandLine(const std::vector<std::string>& arguments);

    //! Opens the file on the first of nested calls (creating its folder).
    void BeginAccess();
    //! Closes the file at the outermost level, saving it when a value changed; false when
    //! that save failed (LastError tells why). Extra calls do nothing.
    bool EndAccess();
    //! Depth of nested BeginAccess calls.
    int AccessCount() const { return FAccessCount; }

    bool SectionExists(std::string_view name);
    //! A key of the own section; `defaultValue` when it is missing.
    std::string ReadValue(std::string_view key, std::string_view defaultValue);
    void WriteValue(std::string_view key, std::string_view value);

    //! The locale's language and country in lower case, e.g. "dede".
    std::string DefaultLanguageCode() const;
    //! The start-up language: the stored one matched against the available codes, falling
    //! back to DefaultLanguageCode.
    std::string StartLanguage(const std::vector<std::string>& available) const;
    //! Keeps at most 4 characters and writes "Language".
    void SetLanguage(std::string_view code);
    //! "0" SI units, "1" US units; stored and written to "Measure".
    void SetMeasure(std::string_view value);

    //! Text of a message: OnGetString's, else the built-in English text.
    std::string GetString(TOrsikIniGetStringIndex index);
    //! Starts the program that section `section` of the settings file describes by its
    //! "EXEDir" and "EXEName"; every failure shows the one message through OnShowMessage.
    //! True when the program was started.
    bool StartProgram(std::string_view section);
    //! The user's documents folder; empty when it cannot be determined.
    std::string DocumentsFolder() const;

    //! Adds File0, File1, … up to the first empty value to the recent-files list.
    void ReadRecentFiles(TFileMenu& menu);
    //! Writes File0 … File7 from the list entries (empty where there is none).
    void WriteRecentFiles(const TFileMenu& menu);

    //! Full path of the settings file; empty when there is no configuration folder.
    std::string FileName() const;
    //! Why the last failed load or save of the file failed; empty after success.
    const std::string& LastError() const { return FLastError; }

    const std::string& Language() const { return FLanguage; }
    const std::string& Measure() const { return FMeasure; }
    const std::string& Version() const { return FVersion; }
    bool FirstRun() const { return FFirstRun; }
    //! Cleared once the user has chosen a language on the first run.
    void SetFirstRun(bool value) { FFirstRun = value; }
    bool SapExportEnabled() const { return FSapExportEnabled; }
    const std::string& ExportFolder() const { return FExportFolder; }
    const std::string& ExportFileName() const { return FExportFileName; }
    const std::string& PlantCode() const { return FPlantCode; }
    //! Server of the online shop the basket form is posted to: "ShopUrl" of the own
    //! section, read at load; the built-in address when it is missing or neither an absolute
    //! "https://" address nor a "http://" one on the loopback interface (ShopServerFromSetting).
    const std::string& ShopUrl() const { return FShopUrl; }
    //! "Currency" of the program's section, read at load: the symbol the air costs are
    //! shown in (the prices are currency-neutral numbers); "€" when it is missing or empty.
    const std::string& Currency() const { return FCurrency; }
    const std::string& SystemMeasure() const { return FSystemMeasure; }
    const std::string& LocaleLanguage() const { return FLocaleLanguage; }
    const std::string& LocaleCountry() const { return FLocaleCountry; }

private:
    std::string ReadSectionValue(std::string_view section, std::string_view key,
                                 std::string_view defaultValue);
    void SetError(std::string message);

    TPlatformEnvironment& FEnv;
    std::string FSection;
    int FAccessCount = 0;
    std::unique_ptr<TIniFile> FFile;
    // A file that exists but could not be read is never overwritten.
    bool FReadFailed = false;
    std::string FLastError;

    std::string FLanguage;
    std::string FMeasure;
    std::string FVersion;
    bool FFirstRun = false;
    bool FSapExportEnabled = false;
    std::string FExportFolder;
    std::string FExportFileName;
    std::string FPlantCode;
    std::string FShopUrl;
    std::string FCurrency = "€";
    std::string FSystemMeasure;
    std::string FLocaleLanguage;
    std::string FLocaleCountry;
};
