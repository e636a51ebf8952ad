#pragma once

#include "core/data/orsik_connection.h"
#include "core/lang/language_blob.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

//! Texts of every key in several languages. Tables join a process-wide list when
//! constructed and leave it when destroyed; translation asks them in that order.
class TCustomLanguageTable {
public:
    TCustomLanguageTable();
    virtual ~TCustomLanguageTable();
    TCustomLanguageTable(const TCustomLanguageTable&) = delete;
    TCustomLanguageTable& operator=(const TCustomLanguageTable&) = delete;

    //! All live language tables, in the order they were created.
    static const std::vector<TCustomLanguageTable*>& LanguageTables();

    int KeyCount() const { return static_cast<int>(keys_.size()); }
    int LanguageCount() const { return static_cast<int>(languages_.size()); }
    //! The language codes, lower case, sorted, joined by ",".
    std::string LanguageCodes() const;
    //! Code of language i in sorted order (lower case).
    const std::string& LanguageCode(int i) const { return languages_.at(i).Code; }
    //! Key i; a key's number is its position.
    const std::string& Key(int i) const { return keys_.at(i); }
    //! Number of a key (exact match), or -1.
    int IndexOfKey(std::string_view key) const;
    //! Number of a language in sorted order, the code compared without regard to case; -1
    //! when absent.
    int IndexOfLanguage(std::string_view code) const;
    //! The stored text of a key in a language as it is held, or nullptr when the table
    //! holds either not.
    const std::string* StoredText(std::string_view code, std::string_view key) const;

    //! Answers a lookup: with an empty code the text is the key; otherwise, when the table
    //! holds the language and the key, the stored text up to its first NUL character.
    //! False when the table does not answer.
    virtual bool Lookup(std::string_view code, std::string_view key, std::string& text) const;

    //! Stores a text, adding the key (an empty text in every language) and the language (an
    //! empty text for every key) as needed. A character the language's code page cannot
    //! hold is stored as "?", so that the table can always be saved. Throws
    //! std::invalid_argument for an empty code.
    void SetText(std::string_view code, std::string_view key, std::string_view text);

    //! Removes every language and key.
    void Clear();
    //! Replaces the contents by those of a language blob; nothing is an empty table. Throws
    //! EFormatError on a truncated blob, leaving the table empty.
    void LoadFromStream(std::optional<std::span<const uint8_t>> blob);
    //! Replaces the contents; languages are sorted, a repeated code keeps its first texts.
    void Assign(const TLanguageBlob& language);
    //! The contents with one text per key in every language.
    TLanguageBlob ToBlob() const;
    //! Writes the contents as a "Language" blob.
    std::vector<uint8_t> SaveToBytes() const;

protected:
    struct TLanguageTexts {
        std::string Code; // lower case
        int CodePage = 1252;
        std::vector<std::string> Texts; // may be shorter than the keys after a short blob
    };

    const TLanguageTexts* FindLanguage(std::string_view code) const;

private:
    TLanguageTexts& AddLanguage(std::string_view code);
    int AddKey(std::string_view key);

    std::vector<TLanguageTexts> languages_; // sorted by code
    std::vector<std::string> keys_;
    std::unordered_map<std::string, int> keyIndex_; // first position of each key
};

//! A language table bound to one "Language" table of a connection.
class TCustomLanguageTable32Bit : public TCustomLanguageTable, public TConnectionClient {
public:
    TCustomLanguageTable32Bit() = default;

    TOrsikConnection* Connection() const { return ClientConnection(); }
    //! Unregisters from the old connection, clears the table, registers with the new one
    //! and has it load this table.
    void SetConnection(TOrsikConnection* connection);
    const std::string& Table() const { return table_; }
    //! A changed name clears the table and reloads it from an active connection.
    void SetTable(const std::string& name);
    //! Why the last load from the connection failed (empty when it did not).
    const std::string& LoadError() const { return loadError_; }

private:
    friend struct TLanguageTableLoader;
    std::string table_;
    std::string loadError_;
};

//! The language table component; it can decode line-break marks in its texts.
class TLanguageTable32Bit : public TCustomLanguageTable32Bit {
public:
    //! With SpecialCRLF, "§§" (the byte 0xA7 twice in the language's code page) and "//"
    //! become CR LF and "||" becomes TAB in every looked-up text.
    bool SpecialCRLF() const { return specialCRLF_; }
    void SetSpecialCRLF(bool value) { specialCRLF_ = value; }

    bool Lookup(std::string_view code, std::string_view key, std::string& text) const override;

private:
    bool specialCRLF_ = false;
};
