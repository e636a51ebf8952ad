#include "gui/lang/language_form.h"

#include "core/lang/language_blob.h"
#include "gui/lang/qt_translators.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHash>
#include <QSet>
#include <QWidget>

namespace {

QHash<const QWidget*, TLanguageForm*>& Forms() {
    static QHash<const QWidget*, TLanguageForm*> forms;
    return forms;
}

bool IsComposite(const QObject* o) {
    return qobject_cast<const QComboBox*>(o) || qobject_cast<const QAbstractSpinBox*>(o) ||
           qobject_cast<const QFileDialog*>(o);
}

} // namespace

TLanguageForm::TLanguageForm(QWidget* form)
    : form_(form), charset_(LanguageCharset("")), db_(this) {
    RegisterQtTranslators();
    Forms().insert(form_, this);
}

TLanguageForm::~TLanguageForm() {
    Forms().remove(form_);
    while (busy_ > 0) SetBusyCursor(false);
}

TLanguageForm* TLanguageForm::Of(const QWidget* form) {
    return Forms().value(form, nullptr);
}

TLanguageForm* TLanguageForm::Enclosing(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (TLanguageForm* form = Of(w)) return form;
    return nullptr;
}

bool FollowsLanguageGroup(const QWidget* widget, int group) {
    const TLanguageForm* form = TLanguageForm::Enclosing(widget);
    return !form || form->LanguageDB().Group() == group;
}

void TLanguageForm::ForEachComponent(const std::function<void(TLanguageComponent)>& visit) {
    QSet<QObject*> seen;
    auto take = [&](QObject* o) {
        if (seen.contains(o)) return;
        seen.insert(o);
        visit(LanguageComponent(o));
    };
    // The form, then its descendants in creation order, each widget followed by the
    // actions added to it that live elsewhere.
    std::function<void(QObject*)> walk = [&](QObject* o) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && w != form_ && Of(w)) return; // another form translates itself
        // A part of a composite control shows what the control composes; the control's
        // own translator binds the control.
        if (IsLanguageInner(o)) return;
        if (w || qobject_cast<QAction*>(o)) take(o);
        // The parts of composite controls (a combo box's editor and list, a file dialog's
        // views and filter list) carry the control's texts, not keys of their own.
        if (!IsComposite(o))
            for (QObject* child : o->children()) walk(child);
        if (w)
            for (QAction* a : w->actions()) take(a);
    };
    walk(form_);
}

void TLanguageForm::SetFontCharset(int charset) {
    // Qt draws every script from Unicode text, so the window's font needs no character
    // set; the value is kept for code that chooses fonts or draws text itself.
    charset_ = charset;
    form_->setProperty("languageCharset", charset);
}

void TLanguageForm::SetBusyCursor(bool busy) {
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        ++busy_;
    } else if (busy_ > 0) {
        QGuiApplication::restoreOverrideCursor();
        --busy_;
    }
}

void TLanguageForm::Adopt(QObject* component) {
    if (!component) return;
    const TLanguageComponent c = LanguageComponent(component);
    for (TTavTranslator* t : TTavTranslator::Translators())
        if (t->Serves(c)) t->CollectBindings(c, db_);
    // New bindings are made without their text; binding them once more applies it. With
    // no language yet the keys show as they are and the first translation collects them
    // again.
    if (db_.Language().empty()) return;
    std::vector<TLanguageDBObject> added;
    for (const TLanguageDBObject& b : db_.Bindings())
        if (b.Component == c) added.push_back(b);
    for (const TLanguageDBObject& b : added) db_.Bind(b.Component, b.PropName, b.Key, b.Wide);
}

void TLanguageForm::Bind(QObject* component, std::string_view propName, const QString& text) {
    const TLanguageComponent c = LanguageComponent(component);
    const std::string s = text.toStdString();
    db_.Bind(c, propName, s, true);
    // A new binding is made without its text; the second call applies it.
    if (!db_.Language().empty()) db_.Bind(c, propName, s, true);
}

QString TLanguageForm::Tr(std::string_view key) {
    return QString::fromStdString(db_.TranslateDisplay(key));
}
