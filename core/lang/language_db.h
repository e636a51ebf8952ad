#pragma once

#include "core/lang/language_translator.h"
#include "core/util/signal.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

//! A lookup handed to OnGetString when no language table knows the key.
struct TLanguageDBRecord {
    std::string Code; //!< current language code, at most 4 characters
    std::string Key;
    std::string Text; //!< initially the key
    bool Found = false;
};

//! The translation service of one form: the current language, the bindings of the form's
//! properties to keys, and lookups of single texts. All language databases join a
//! process-wide list when constructed and leave it when destroyed.
class TCustomLanguageDB {
public:
    using TLanguageProgressBarEvent = std::function<void(TCustomLanguageDB& sender, int percent)>;

    //! Created in loading state, as a component being loaded; call Loaded() when set up.
    //! The owner (the form or application object) must outlive the database.
    explicit TCustomLanguageDB(TLanguageDBOwner* owner = nullptr);
    virtual ~TCustomLanguageDB();
    TCustomLanguageDB(const TCustomLanguageDB&) = delete;
    TCustomLanguageDB& operator=(const TCustomLanguageDB&) = delete;

    //! All live language databases, in the order they were created.
    static const std::vector<TCustomLanguageDB*>& LanguageDBs();

    //! Ends loading: a database without a language adopts that of the first other database
    //! that has one, and translates its owner in it.
    void Loaded();
    bool Loading() const { return loading_; }

    TLanguageDBOwner* Owner() const { return owner_; }
    int Group() const { return group_; }
    void SetGroup(int group) { group_ = group; }

    //! Current language code (empty: keys show as they are).
    const std::string& Language() const { return language_; }
    //! Switches every database of this group whose language differs (this one included) to
    //! the code (cut to 4 characters): each retranslates and raises OnChange. Then every
    //! translator hears of the switch. Nothing happens when the code equals the current one
    //! (letter case aside).
    void SetLanguage(std::string_view code);
    //! Font character set of the current language.
    int Charset() const { return charset_; }

    //! Text of a key in the current language; false when neither a language table nor
    //! OnGetString knew it (the text is then the key and the key goes to the missing-key
    //! list).
    bool Translate(std::string_view key, std::string& text);
    std::string Translate(std::string_view key);
    //! Translate, then one trailing NUL character removed.
    std::string TranslateDisplay(std::string_view key);
    //! The wide variants: the same UTF-8 text, decoded from the language's code page when
    //! the table was read.
    bool TranslateW(std::string_view key, std::string& text) { return Translate(key, text); }
    std::string TranslateW(std::string_view key) { return Translate(key); }
    std::string TranslateDisplayW(std::string_view key) { return TranslateDisplay(key); }

    //! Where unknown keys are collected (each once); nullptr collects nothing. The list is
    //! the caller's and must outlive the database or be unset.
    void SetMissingKeys(std::vector<std::string>* list) { missingKeys_ = list; }
    std::vector<std::string>* MissingKeys() const { return missingKeys_; }

    //! Binds a property: a text that begins with "~" creates or updates the binding (an
    //! update applies the new key's text at once); a text without "~" removes an existing
    //! binding. Property names are cut to kLanguagePropNameMax characters.
    void Bind(TLanguageComponent component, std::string_view propName, std::string_view text,
              bool wide = false);
    //! Drops every binding of a component that goes away.
    void RemoveComponent(TLanguageComponent component);
    const TLanguageDBList& Bindings() const { return bindings_; }

    //! Translates the owner in the current language: collects the bindings on the first
    //! call, applies every binding through the translators serving its component, and for a
    //! form sets the character set on the form and its components.
    void Retranslate();

    //! Raised after the database switched language and retranslated its owner; any
    //! number may follow.
    TSignal<TCustomLanguageDB&> OnChange;
    TLanguageProgressBarEvent OnUpdateProgressBar;

protected:
    //! Last chance for a key no table knew.
    virtual void DoGetString(TLanguageDBRecord& /*rec*/) {}

private:
    void SwitchTo(const std::string& code);
    void Apply(const TLanguageDBObject& binding);
    void Progress(int percent);
    void ForEachServing(TLanguageComponent component,
                        const std::function<void(TTavTranslator&)>& f);

    TLanguageDBOwner* owner_;
    int group_ = 0;
    std::string language_;
    int charset_;
    bool loading_ = true;
    bool collected_ = false;
    bool collecting_ = false;
    TLanguageDBList bindings_;
    std::vector<std::string>* missingKeys_ = nullptr;
};

//! The language database component with the OnGetString fallback.
class TLanguageDB : public TCustomLanguageDB {
public:
    using TLanguageDBGetStringEvent =
        std::function<void(TLanguageDB& sender, TLanguageDBRecord& rec)>;

    using TCustomLanguageDB::TCustomLanguageDB;

    //! Raised for a key no language table knew; setting Found makes Text the translation.
    TLanguageDBGetStringEvent OnGetString;

protected:
    void DoGetString(TLanguageDBRecord& rec) override;
};
