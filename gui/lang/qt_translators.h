#pragma once

// Translators for the Qt widget classes. Every language component on the Qt side is a
// QObject: the widgets of a form, the form itself, its actions and menus. A component is
// known to the translators once it went through LanguageComponent(); the translators never
// touch a component they do not know, so translators of other layers may bind components
// of their own.

#include "core/lang/language_translator.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

//! The language component of a Qt object. Makes the object known to the Qt translators;
//! when it is destroyed its bindings leave every language database.
TLanguageComponent LanguageComponent(QObject* object);
//! The Qt object behind a component, or nullptr when it is no known Qt object.
QObject* QtObjectOf(TLanguageComponent component);

//! Creates the translators of the Qt widget classes once; later calls do nothing.
//! Called by every language form, so that a program need not call it itself.
void RegisterQtTranslators();

//! Marks a widget that is a part of a composite control and shows texts the control
//! composes (a field's unit button, a list's inner editor): no translator binds any of its
//! properties; the control's own translator takes care of them.
void SetLanguageInner(QObject* object);
bool IsLanguageInner(const QObject* object);
//! Marks a list control that labels its entries itself (from a table, translated when
//! shown): the entry translators bind none of its entries, which are not the same from
//! one filter to the next. Its other properties are bound as usual.
void SetLanguageOwnEntries(QObject* object);
bool HasLanguageOwnEntries(const QObject* object);

//! Parses an entry property name such as "Items[3]": the prefix and the entry number.
bool ParseEntryName(const std::string& propName, std::string& prefix, int& index);

//! A file dialog filter in the form of the language texts ("Projects (*.vac)|*.vac|All
//! files|*.*": description and patterns, separated by "|") as a Qt name filter list
//! ("Projects (*.vac);;All files (*.*)"). A text without "|" is taken as a Qt filter list.
QString QtFileFilter(const QString& text);

//! A translator described by table: the class test, plain properties and at most one
//! list of entries ("Items[i]", "Tabs[i]"). Texts are read and written as QString; every
//! binding is wide, the texts being UTF-16 in Qt.
class TQtTranslator : public TTavTranslator {
public:
    struct TProperty {
        std::string Name;
        std::function<QString(QObject*)> Get;
        std::function<void(QObject*, const QString&)> Set;
    };
    struct TEntries {
        std::string Prefix;
        std::function<int(QObject*)> Count;
        std::function<QString(QObject*, int)> Get;
        std::function<void(QObject*, int, const QString&)> Set;
    };

    TQtTranslator(std::function<bool(QObject*)> serves, std::vector<TProperty> properties,
                  std::optional<TEntries> entries = std::nullopt);

    bool Serves(TLanguageComponent component) const override;
    void SetText(const TLanguageDBObject& binding, const std::string& text) override;
    void SetWideText(const TLanguageDBObject& binding, const std::string& text) override;
    void CollectBindings(TLanguageComponent component, TCustomLanguageDB& db) override;
    void SetCharset(TLanguageComponent component, int charset) override;

    void LanguageChanged(int group) override;

    //! Refresh of a served component for a new font character set; nothing when unset.
    std::function<void(QObject*, int charset)> RefreshCharset;
    //! After the language of a group of language databases was switched; nothing when
    //! unset. Translators of controls that translate their texts when they show them
    //! refresh their controls here.
    std::function<void(int group)> OnLanguageChanged;

private:
    void Apply(const TLanguageDBObject& binding, const QString& text);

    std::function<bool(QObject*)> serves_;
    std::vector<TProperty> properties_;
    std::optional<TEntries> entries_;
};
