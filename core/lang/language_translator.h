#pragma once

#include <functional>
#include <string>
#include <vector>

class TCustomLanguageDB;

//! Identity of a component whose properties carry language keys (a widget, a menu item, a
//! form). The core never dereferences it; the translators that serve it know its class.
using TLanguageComponent = void*;

//! One bound property: the component, the property name ("Caption", "Items[3]"), the key
//! and whether the property takes wide text.
struct TLanguageDBObject {
    TLanguageComponent Component = nullptr;
    std::string PropName; //!< at most kLanguagePropNameMax characters
    std::string Key;
    bool Wide = false;
};

//! The bindings of a language database, in the order they were made.
using TLanguageDBList = std::vector<TLanguageDBObject>;

//! Longest property name a binding keeps; longer names are cut.
inline constexpr size_t kLanguagePropNameMax = 20;

//! Knows which properties of one component class carry language keys and how to set them.
//! Translators join a process-wide list when constructed and leave it when destroyed; every
//! translator whose class a component belongs to takes part in its translation.
class TTavTranslator {
public:
    TTavTranslator();
    virtual ~TTavTranslator();
    TTavTranslator(const TTavTranslator&) = delete;
    TTavTranslator& operator=(const TTavTranslator&) = delete;

    //! All live translators, in the order they were created.
    static const std::vector<TTavTranslator*>& Translators();

    //! True when the component belongs to the class this translator serves.
    virtual bool Serves(TLanguageComponent component) const = 0;

    // --- operations, in slot order; a translator overrides those its class needs ---
    //! Applies a translated text to a bound property.
    virtual void SetText(const TLanguageDBObject& /*binding*/, const std::string& /*text*/) {}
    //! Applies a translated text to a bound property that takes wide text.
    virtual void SetWideText(const TLanguageDBObject& /*binding*/, const std::string& /*text*/) {}
    //! Offers every property of the component that may carry a key to db.Bind.
    virtual void CollectBindings(TLanguageComponent /*component*/, TCustomLanguageDB& /*db*/) {}
    //! Refreshes a component for a new font character set.
    virtual void SetCharset(TLanguageComponent /*component*/, int /*charset*/) {}
    //! Called after the language of a group of language databases was switched.
    virtual void LanguageChanged(int /*group*/) {}
};

//! What a language database needs from the form (or application object) that owns it.
class TLanguageDBOwner {
public:
    virtual ~TLanguageDBOwner() = default;

    //! Visits every component that may carry keys: a form itself and its components; the
    //! application object every form it owns, recursively.
    virtual void ForEachComponent(const std::function<void(TLanguageComponent)>& visit) = 0;
    //! True for a form: after a retranslation its font character set is set and its
    //! components are refreshed for it.
    virtual bool IsForm() const { return true; }
    //! Sets the font character set of the form.
    virtual void SetFontCharset(int /*charset*/) {}
    //! Shows (true) or restores (false) the busy cursor around a retranslation.
    virtual void SetBusyCursor(bool /*busy*/) {}
};
