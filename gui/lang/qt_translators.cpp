#include "gui/lang/qt_translators.h"

#include "core/lang/language_db.h"

#include <charconv>
#include <memory>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QWidget>

namespace {

// The Qt objects handed out as language components. A component not in here belongs to
// another layer and is left alone.
QHash<TLanguageComponent, QObject*>& KnownObjects() {
    static QHash<TLanguageComponent, QObject*> known;
    return known;
}

constexpr const char* kInnerProperty = "languageInner";
constexpr const char* kOwnEntriesProperty = "languageOwnEntries";

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// An editor that is part of a composite control carries the control's text, not a key of
// its own.
bool IsInnerEditor(const QObject* o) {
    const QObject* p = o->parent();
    return p && (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p));
}

// The action that stands for a menu in its parent menu or menu bar; the menu's title
// translates it.
bool IsMenuAction(const QAction* a) {
    const auto* menu = qobject_cast<const QMenu*>(a->parent());
    return menu && menu->menuAction() == a;
}

QString FirstLine(const QPlainTextEdit* e) {
    return e->document()->firstBlock().text();
}

void SetFirstLine(QPlainTextEdit* e, const QString& text) {
    QTextCursor cursor(e->document()->firstBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

template <typename T> std::function<bool(QObject*)> Is() {
    return [](QObject* o) { return qobject_cast<T*>(o) != nullptr; };
}

using TProperty = TQtTranslator::TProperty;
using TEntries = TQtTranslator::TEntries;

// One translator per class, in the order the classes are tabled for the toolkit:
// the general ones first, so a control gets its hint binding before its caption.
std::vector<std::unique_ptr<TQtTranslator>> CreateTranslators() {
    std::vector<std::unique_ptr<TQtTranslator>> list;
    auto add = [&](auto&&... args) {
        list.push_back(std::make_unique<TQtTranslator>(std::forward<decltype(args)>(args)...));
        return list.back().get();
    };

    // Every widget: its tool tip. Qt texts are Unicode and the font engine falls back per
    // script, so a new character set needs no font change; the widget only re-measures
    // its size hint, which a longer or shorter text in the new language may alter.
    TQtTranslator* widgets =
        add(Is<QWidget>(),
            std::vector<TProperty>{
                {"Hint", [](QObject* o) { return static_cast<QWidget*>(o)->toolTip(); },
                 [](QObject* o, const QString& t) { static_cast<QWidget*>(o)->setToolTip(t); }}});
    widgets->RefreshCharset = [](QObject* o, int) { static_cast<QWidget*>(o)->updateGeometry(); };

    // Windows (forms, dialogs, file dialogs) and dock widgets: the title.
    add(
        [](QObject* o) {
            auto* w = qobject_cast<QWidget*>(o);
            return w && (w->isWindow() || qobject_cast<QDockWidget*>(w));
        },
        std::vector<TProperty>{
            {"Caption", [](QObject* o) { return static_cast<QWidget*>(o)->windowTitle(); },
             [](QObject* o, const QString& t) { static_cast<QWidget*>(o)->setWindowTitle(t); }}});

    add(Is<QLabel>(),
        std::vector<TProperty>{
            {"Caption", [](QObject* o) { return static_cast<QLabel*>(o)->text(); },
             [](QObject* o, const QString& t) { static_cast<QLabel*>(o)->setText(t); }}});

    // Push, tool, check and radio buttons.
    add(Is<QAbstractButton>(),
        std::vector<TProperty>{
            {"Caption", [](QObject* o) { return static_cast<QAbstractButton*>(o)->text(); },
             [](QObject* o, const QString& t) { static_cast<QAbstractButton*>(o)->setText(t); }}});

    add(Is<QGroupBox>(),
        std::vector<TProperty>{
            {"Caption", [](QObject* o) { return static_cast<QGroupBox*>(o)->title(); },
             [](QObject* o, const QString& t) { static_cast<QGroupBox*>(o)->setTitle(t); }}});

    add(Is<QTabWidget>(), std::vector<TProperty>{},
        TEntries{"Tabs", [](QObject* o) { return static_cast<QTabWidget*>(o)->count(); },
                 [](QObject* o, int i) { return static_cast<QTabWidget*>(o)->tabText(i); },
                 [](QObject* o, int i, const QString& t) {
                     static_cast<QTabWidget*>(o)->setTabText(i, t);
                 }});

    // A tab bar of its own; the bar inside a tab widget is served through the tab widget.
    add(
        [](QObject* o) {
            return qobject_cast<QTabBar*>(o) && !qobject_cast<QTabWidget*>(o->parent());
        },
        std::vector<TProperty>{},
        TEntries{"Tabs", [](QObject* o) { return static_cast<QTabBar*>(o)->count(); },
                 [](QObject* o, int i) { return static_cast<QTabBar*>(o)->tabText(i); },
                 [](QObject* o, int i, const QString& t) {
                     static_cast<QTabBar*>(o)->setTabText(i, t);
                 }});

    add(Is<QMenu>(),
        std::vector<TProperty>{
            {"Caption", [](QObject* o) { return static_cast<QMenu*>(o)->title(); },
             [](QObject* o, const QString& t) { static_cast<QMenu*>(o)->setTitle(t); }}});

    // Menu commands and tool bar actions: the text and the status bar hint.
    add(
        [](QObject* o) {
            auto* a = qobject_cast<QAction*>(o);
            return a && !IsMenuAction(a);
        },
        std::vector<TProperty>{
            {"Caption", [](QObject* o) { return static_cast<QAction*>(o)->text(); },
             [](QObject* o, const QString& t) { static_cast<QAction*>(o)->setText(t); }},
            {"Hint", [](QObject* o) { return static_cast<QAction*>(o)->statusTip(); },
             [](QObject* o, const QString& t) { static_cast<QAction*>(o)->setStatusTip(t); }}});

    // Entries replace their texts in place: the selected index stays, and an editable combo
    // box shows the new text of its selected entry.
    add([](QObject* o) { return qobject_cast<QComboBox*>(o) && !HasLanguageOwnEntries(o); },
        std::vector<TProperty>{},
        TEntries{"Items", [](QObject* o) { return static_cast<QComboBox*>(o)->count(); },
                 [](QObject* o, int i) { return static_cast<QComboBox*>(o)->itemText(i); },
                 [](QObject* o, int i, const QString& t) {
                     static_cast<QComboBox*>(o)->setItemText(i, t);
                 }});

    add([](QObject* o) { return qobject_cast<QListWidget*>(o) && !HasLanguageOwnEntries(o); },
        std::vector<TProperty>{},
        TEntries{"Items", [](QObject* o) { return static_cast<QListWidget*>(o)->count(); },
                 [](QObject* o, int i) { return static_cast<QListWidget*>(o)->item(i)->text(); },
                 [](QObject* o, int i, const QString& t) {
                     static_cast<QListWidget*>(o)->item(i)->setText(t);
                 }});

    add([](QObject* o) { return qobject_cast<QLineEdit*>(o) && !IsInnerEditor(o); },
        std::vector<TProperty>{
            {"Text", [](QObject* o) { return static_cast<QLineEdit*>(o)->text(); },
             [](QObject* o, const QString& t) { static_cast<QLineEdit*>(o)->setText(t); }},
            {"Placeholder",
             [](QObject* o) { return static_cast<QLineEdit*>(o)->placeholderText(); },
             [](QObject* o, const QString& t) {
                 static_cast<QLineEdit*>(o)->setPlaceholderText(t);
             }}});

    // A memo: its first line.
    add(Is<QPlainTextEdit>(),
        std::vector<TProperty>{
            {"Lines", [](QObject* o) { return FirstLine(static_cast<QPlainTextEdit*>(o)); },
             [](QObject* o, const QString& t) {
                 SetFirstLine(static_cast<QPlainTextEdit*>(o), t);
             }}});

    // Open and save dialogs: the title is the window's caption; the filter is kept as one
    // key for the whole list.
    add(Is<QFileDialog>(),
        std::vector<TProperty>{
            {"Filter",
             [](QObject* o) { return static_cast<QFileDialog*>(o)->nameFilters().join(";;"); },
             [](QObject* o, const QString& t) {
                 static_cast<QFileDialog*>(o)->setNameFilters(QtFileFilter(t).split(";;"));
             }}});
    return list;
}

} // namespace

TLanguageComponent LanguageComponent(QObject* object) {
    if (!object) return nullptr;
    const TLanguageComponent c = static_cast<TLanguageComponent>(object);
    auto& known = KnownObjects();
    if (!known.contains(c)) {
        known.insert(c, object);
        QObject::connect(object, &QObject::destroyed, [c] {
            KnownObjects().remove(c);
            for (TCustomLanguageDB* db : TCustomLanguageDB::LanguageDBs()) db->RemoveComponent(c);
        });
    }
    return c;
}

QObject* QtObjectOf(TLanguageComponent component) {
    return KnownObjects().value(component, nullptr);
}

void RegisterQtTranslators() {
    static const std::vector<std::unique_ptr<TQtTranslator>> translators = CreateTranslators();
    (void)translators;
}

void SetLanguageInner(QObject* object) {
    if (object) object->setProperty(kInnerProperty, true);
}

bool IsLanguageInner(const QObject* object) {
    return object && object->property(kInnerProperty).toBool();
}

void SetLanguageOwnEntries(QObject* object) {
    if (object) object->setProperty(kOwnEntriesProperty, true);
}

bool HasLanguageOwnEntries(const QObject* object) {
    return object && object->property(kOwnEntriesProperty).toBool();
}

bool ParseEntryName(const std::string& propName, std::string& prefix, int& index) {
    const size_t open = propName.find('[');
    if (open == std::string::npos || open == 0 || propName.size() < open + 3 ||
        propName.back() != ']')
        return false;
    const char* first = propName.data() + open + 1;
    const char* last = propName.data() + propName.size() - 1;
    int value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || value < 0) return false;
    prefix = propName.substr(0, open);
    index = value;
    return true;
}

QString QtFileFilter(const QString& text) {
    if (!text.contains('|')) return text;
    const QStringList parts = text.split('|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        patterns.replace(';', ' ');
        patterns = patterns.simplified();
        if (description.isEmpty() && patterns.isEmpty()) continue; // a trailing "|"
        if (patterns.isEmpty()) patterns = QStringLiteral("*");
        // Qt takes the patterns from the last parenthesis of the entry.
        if (description.endsWith('(' + patterns + ')'))
            filters << description;
        else
            filters << (description.isEmpty() ? patterns : description) + " (" + patterns + ')';
    }
    return filters.join(";;");
}

TQtTranslator::TQtTranslator(std::function<bool(QObject*)> serves,
                             std::vector<TProperty> properties, std::optional<TEntries> entries)
    : serves_(std::move(serves)), properties_(std::move(properties)), entries_(std::move(entries)) {
}

bool TQtTranslator::Serves(TLanguageComponent component) const {
    QObject* o = QtObjectOf(component);
    return o && !IsLanguageInner(o) && serves_(o);
}

void TQtTranslator::LanguageChanged(int group) {
    if (OnLanguageChanged) OnLanguageChanged(group);
}

void TQtTranslator::SetText(const TLanguageDBObject& binding, const std::string& text) {
    Apply(binding, FromUtf8(text));
}

void TQtTranslator::SetWideText(const TLanguageDBObject& binding, const std::string& text) {
    Apply(binding, FromUtf8(text));
}

void TQtTranslator::Apply(const TLanguageDBObject& binding, const QString& text) {
    QObject* o = QtObjectOf(binding.Component);
    if (!o) return;
    for (const TProperty& p : properties_)
        if (p.Name == binding.PropName) {
            p.Set(o, text);
            return;
        }
    std::string prefix;
    int index = 0;
    // Only entries that still exist are replaced.
    if (entries_ && ParseEntryName(binding.PropName, prefix, index) && prefix == entries_->Prefix &&
        index < entries_->Count(o))
        entries_->Set(o, index, text);
}

void TQtTranslator::CollectBindings(TLanguageComponent component, TCustomLanguageDB& db) {
    QObject* o = QtObjectOf(component);
    if (!o) return;
    // Only keys are offered: a binding the form made itself before (a property whose
    // shown text is not its key) must not be undone by the collection.
    auto offer = [&](const std::string& name, const QString& text) {
        if (text.startsWith('~')) db.Bind(component, name, text.toStdString(), true);
    };
    for (const TProperty& p : properties_) offer(p.Name, p.Get(o));
    if (entries_) {
        const int n = entries_->Count(o);
        for (int i = 0; i < n; ++i)
            offer(entries_->Prefix + '[' + std::to_string(i) + ']', entries_->Get(o, i));
    }
}

void TQtTranslator::SetCharset(TLanguageComponent component, int charset) {
    if (!RefreshCharset) return;
    if (QObject* o = QtObjectOf(component)) RefreshCharset(o, charset);
}
