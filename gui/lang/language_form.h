#pragma once

#include "core/lang/language_db.h"

#include <string_view>

#include <QString>

class QObject;
class QWidget;

//! Makes a Qt window a translated form: it owns the window's language database and
//! presents the window, its widgets, menus and actions as the components the translators
//! bind. A form keeps one as a member, builds its widgets with "~" keys as texts and calls
//! Loaded() when they are all there:
//!
//!     TMassDialog::TMassDialog(QWidget* parent) : QDialog(parent), language_(this) {
//!         ... widgets with texts such as "~Mass" ...
//!         language_.Loaded();
//!     }
//!
//! A window that has a language form of its own inside this one (a dialog parented to the
//! main window) is left to that form.
class TLanguageForm : public TLanguageDBOwner {
public:
    explicit TLanguageForm(QWidget* form);
    ~TLanguageForm() override;
    TLanguageForm(const TLanguageForm&) = delete;
    TLanguageForm& operator=(const TLanguageForm&) = delete;

    QWidget* Form() const { return form_; }
    TLanguageDB& LanguageDB() { return db_; }
    const TLanguageDB& LanguageDB() const { return db_; }

    //! Ends loading: the form takes the language of the first language database that has
    //! one and is translated in it.
    void Loaded() { db_.Loaded(); }

    //! Binds the keys of a component created after the form was first translated (a
    //! widget made at run time) and shows them in the current language.
    void Adopt(QObject* component);
    //! Binds one property of a component to a key and shows its text in the current
    //! language; a text without "~" unbinds the property.
    void Bind(QObject* component, std::string_view propName, const QString& text);

    //! Shortcuts to the language database.
    std::string Translate(std::string_view key) { return db_.TranslateDisplay(key); }
    QString Tr(std::string_view key);

    //! Font character set of the current language, as last set on the form.
    int Charset() const { return charset_; }

    //! The language form that owns a window, or nullptr.
    static TLanguageForm* Of(const QWidget* form);
    //! The nearest language form around a widget (the widget itself, its parent, ...), or
    //! nullptr.
    static TLanguageForm* Enclosing(const QWidget* widget);

    // TLanguageDBOwner
    void ForEachComponent(const std::function<void(TLanguageComponent)>& visit) override;
    void SetFontCharset(int charset) override;
    void SetBusyCursor(bool busy) override;

private:
    QWidget* form_;
    int charset_;
    int busy_ = 0;
    TLanguageDB db_;
};

//! Whether a control that translates its texts when it shows them follows a language switch
//! of `group`: the nearest language form around it belongs to that group, or no language
//! form encloses it.
bool FollowsLanguageGroup(const QWidget* widget, int group);
