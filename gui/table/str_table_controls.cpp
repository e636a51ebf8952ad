#include "gui/table/str_table_controls.h"

#include <memory>

#include <QEnterEvent>
#include <QSet>
#include <QSignalBlocker>
#include <QStringList>

#include "gui/lang/language_form.h"
#include "gui/lang/qt_translators.h"

namespace {

// Every live filter list, for the translator that relabels them after a language switch.
QSet<TStrTableCoBox*>& Boxes() {
    static QSet<TStrTableCoBox*> boxes;
    return boxes;
}

// The list binds no entry: its entries come from the table and are translated when they
// are shown, so after a switch the lists of the switched group label them again.
void RegisterCoBoxTranslator() {
    static const auto translator = [] {
        auto t = std::make_unique<TQtTranslator>([](QObject* o) { return qobject_cast<TStrTableCoBox*>(o) != nullptr; },
                                                 std::vector<TQtTranslator::TProperty>{});
        t->OnLanguageChanged = [](int group) {
            const QList<TStrTableCoBox*> all = Boxes().values();
            for (TStrTableCoBox* box : all)
                if (Boxes().contains(box) && FollowsLanguageGroup(box, group)) box->Retranslate();
        };
        return t;
    }();
    (void)translator;
}

} // namespace

// --- TStrTableCoBox ---

TStrTableCoBox::TStrTableCoBox(QWidget* parent)
    : QComboBox(parent) {
    RegisterCoBoxTranslator();
    Boxes().insert(this);
    SetLanguageOwnEntries(this);
    model_.OnUpdate = [this](TStrTableCoBoxModel&) { ShowModel(false); };
    changed_ = model_.Changed.Connect([this](TStrTableCoBoxModel&) { emit changed(); });
    // Only the user's choices reach the model; choices the model makes are shown with the
    // widget's signals blocked, so nothing travels back.
    connect(this, &QComboBox::activated, this, &TStrTableCoBox::Chosen);
    ShowModel(true);
}

TStrTableCoBox::~TStrTableCoBox() {
    Boxes().remove(this);
    changed_.Disconnect();
    model_.OnUpdate = nullptr;
}

void TStrTableCoBox::SetTranslate(TTranslateFunc translate) {
    translate_ = std::move(translate);
    ShowModel(true);
}

void TStrTableCoBox::Chosen(int index) {
    if (showing_) return;
    model_.Select(index);
    // The model may have refused or moved the choice (a refresh during the change).
    ShowModel(false);
}

void TStrTableCoBox::ShowModel(bool relabel) {
    if (showing_) return;
    showing_ = true;
    const QSignalBlocker block(this);
    const std::vector<std::string>& items = model_.Items();
    if (relabel || items != shown_) {
        QStringList texts;
        texts.reserve(static_cast<qsizetype>(items.size()));
        for (const std::string& item : items) {
            const std::string text = translate_ ? translate_(item) : item;
            texts.push_back(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        }
        clear();
        addItems(texts);
        shown_ = items;
        ++rebuilds_;
    }
    if (currentIndex() != model_.ItemIndex()) setCurrentIndex(model_.ItemIndex());
    setEnabled(model_.Enabled());
    showing_ = false;
}

void TStrTableCoBox::enterEvent(QEnterEvent* event) {
    QComboBox::enterEvent(event);
    if (OnMouseEnter) OnMouseEnter(*this);
    emit mouseEntered();
}

void TStrTableCoBox::leaveEvent(QEvent* event) {
    QComboBox::leaveEvent(event);
    if (OnMouseLeave) OnMouseLeave(*this);
    emit mouseLeft();
}

// --- TStrTableCheckBox ---

TStrTableCheckBox::TStrTableCheckBox(QWidget* parent) : QCheckBox(parent) { Init(); }

TStrTableCheckBox::TStrTableCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) { Init(); }

TStrTableCheckBox::~TStrTableCheckBox() {
    clicked_.Disconnect();
    model_.OnUpdate = nullptr;
}

void TStrTableCheckBox::Init() {
    model_.OnUpdate = [this](TStrTableCheckBoxModel&) { ShowModel(); };
    clicked_ = model_.Clicked.Connect([this](TStrTableCheckBoxModel& m) { emit filterClicked(m.Checked()); });
    connect(this, &QCheckBox::clicked, this, &TStrTableCheckBox::Clicked);
    ShowModel();
}

void TStrTableCheckBox::Clicked(bool checked) {
    if (showing_) return;
    model_.Click(checked);
    ShowModel();
}

void TStrTableCheckBox::ShowModel() {
    if (showing_) return;
    showing_ = true;
    const QSignalBlocker block(this);
    setChecked(model_.Checked());
    setEnabled(model_.Enabled());
    showing_ = false;
}
