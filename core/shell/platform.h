#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

//! What the application shell needs from the operating system: environment variables, small
//! text files, the path of the running program and starting another program. The settings
//! and the folder rules reach the system only through this, so tests can hand in a fake.
class TPlatformEnvironment {
public:
    virtual ~TPlatformEnvironment() = default;

    //! Value of an environment variable; nothing when it is not set.
    virtual std::optional<std::string> GetEnv(const std::string& name) const = 0;
    //! Whole content of a small text file; nothing when it cannot be read.
    virtual std::optional<std::string> ReadTextFile(const std::string& path) const = 0;
    //! Full path of the running program file; empty when it cannot be determined.
    virtual std::string ProgramFile() const = 0;
    //! Starts the program file at `path` as a new process without a shell and without
    //! waiting for it; false when it could not be started.
    virtual bool StartProcess(const std::string& path) = 0;
};

//! The real environment of this process.
class TPosixEnvironment : public TPlatformEnvironment {
public:
    TPosixEnvironment() = default;
    TPosixEnvironment(const TPosixEnvironment&) = delete;
    TPosixEnvironment& operator=(const TPosixEnvironment&) = delete;
    ~TPosixEnvironment() override;

    std::optional<std::string> GetEnv(const std::string& name) const override;
    std::optional<std::string> ReadTextFile(const std::string& path) const override;
    std::string ProgramFile() const override;
    bool StartProcess(const std::string& path) override;

private:
    void ReapChildren();

    std::vector<pid_t> FChildren;
};

//! Language and country of a locale name such as "de_DE.UTF-8@euro": the language in lower
//! case (ISO 639), the country in upper case (ISO 3166, or a 3-digit region); the country
//! may be empty.
struct TLocaleNames {
    std::string Language;
    std::string Country;

    bool operator==(const TLocaleNames&) const = default;
};

//! Splits a POSIX locale name language[_territory][.codeset][@modifier]. Nothing for "C",
//! "POSIX", an empty name or a name whose parts are not letters (or region digits).
std::optional<TLocaleNames> ParseLocaleName(std::string_view name);

//! The locale name in effect for a category ("LC_MESSAGES", "LC_MEASUREMENT"): LC_ALL when
//! set and not empty, else the category's own variable when set and not empty, else LANG.
std::string LocaleOfCategory(const TPlatformEnvironment& env, const std::string& category);

//! Measurement system of the user locale (LC_MEASUREMENT): "1" for US customary units when
//! the territory is the United States, otherwise "0" (metric).
std::string SystemMeasure(const TPlatformEnvironment& env);

//! Language and country of the user locale (LC_MESSAGES). Without a usable locale ("C",
//! "POSIX", unset or malformed) the language is "en" with no country, the language of the
//! untranslated messages.
TLocaleNames UserLocaleNames(const TPlatformEnvironment& env);

//! The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
//! $HOME/.config; empty when neither is known. No trailing "/".
std::string ConfigFolder(const TPlatformEnvironment& env);

//! The user's documents folder: XDG_DOCUMENTS_DIR of user-dirs.dirs in the configuration
//! folder when it names one, else $HOME/Documents; empty when it cannot be determined.
//! No trailing "/".
std::string DocumentsFolder(const TPlatformEnvironment& env);
