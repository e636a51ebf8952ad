// Translation of Qt forms: the keys of every kind of control are bound once and follow
// each language switch, selections and check states survive it, windows of one group
// switch together with progress reports, and controls that come or go are handled.

#include "core/lang/language_db.h"
#include "core/lang/language_table.h"
#include "gui/lang/language_form.h"
#include "gui/lang/qt_translators.h"

#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A window with one control of each translated kind, every text a key.
class TSampleForm : public QWidget {
public:
    explicit TSampleForm(int languageGroup = 0) : language_(this) {
        setWindowTitle("~Workpiece");
        auto* layout = new QVBoxLayout(this);
        menuBar = new QMenuBar(this);
        fileMenu = menuBar->addMenu("~File");
        openAction = fileMenu->addAction("~Open");
        openAction->setStatusTip("~OpenHint");
        layout->setMenuBar(menuBar);

        label = new QLabel("~Mass", this);
        plainLabel = new QLabel("kg", this);
        unknownLabel = new QLabel("~NoSuchKey", this);
        accept = new QPushButton("~Accept", this);
        accept->setToolTip("~AcceptHint");
        metric = new QCheckBox("~Metric", this);
        metric->setChecked(true);
        servoRadio = new QRadioButton("~Servo", this);
        tool = new QToolButton(this);
        tool->setText("~Open");
        group = new QGroupBox("~Tube", this);
        tabs = new QTabWidget(this);
        tabs->addTab(new QWidget, "~Motion");
        tabs->addTab(new QWidget, "~Drive");
        tabBar = new QTabBar(this);
        tabBar->addTab("~Motion");
        drive = new QComboBox(this);
        drive->addItems({"~Pneumatic", "~Servo", "Linear"});
        drive->setCurrentIndex(1);
        editable = new QComboBox(this);
        editable->setEditable(true);
        editable->addItems({"~Pneumatic", "~Servo"});
        editable->setCurrentIndex(0);
        list = new QListWidget(this);
        list->addItems({"~Motion", "~Drive"});
        search = new QLineEdit(this);
        search->setPlaceholderText("~Search");
        memo = new QPlainTextEdit("~Remarks\nsecond line", this);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 label, plainLabel, unknownLabel, accept, metric, servoRadio, tool, group, tabs,
                 tabBar, drive, editable, list, search, memo})
            layout->addWidget(w);
        language_.LanguageDB().SetGroup(languageGroup);
        language_.Loaded();
    }

    TLanguageForm& Language() { return language_; }
    TLanguageDB& DB() { return language_.LanguageDB(); }

    QMenuBar* menuBar;
    QMenu* fileMenu;
    QAction* openAction;
    QLabel *label, *plainLabel, *unknownLabel;
    QPushButton* accept;
    QCheckBox* metric;
    QRadioButton* servoRadio;
    QToolButton* tool;
    QGroupBox* group;
    QTabWidget* tabs;
    QTabBar* tabBar;
    QComboBox *drive, *editable;
    QListWidget* list;
    QLineEdit* search;
    QPlainTextEdit* memo;

private:
    TLanguageForm language_;
};

// A window made of many labels, enough for progress reports between 0 and 100.
class TLongForm : public QWidget {
public:
    explicit TLongForm(int group, int labels = 40) : language_(this) {
        setWindowTitle("~Workpiece");
        for (int i = 0; i < labels; ++i) new QLabel("~Mass", this);
        language_.LanguageDB().SetGroup(group);
        language_.Loaded();
    }
    TLanguageDB& DB() { return language_.LanguageDB(); }
    QString FirstLabel() const { return findChild<QLabel*>()->text(); }

private:
    TLanguageForm language_;
};

} // namespace

class LangFormTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TCustomLanguageTable> table_;

private slots:
    void init() {
        table_ = std::make_unique<TCustomLanguageTable>();
        auto both = [&](const char* key, const char* en, const char* de) {
            table_->SetText("en", key, en);
            table_->SetText("de", key, de);
        };
        both("~Workpiece", "Workpiece", "Werkstück");
        both("~File", "File", "Datei");
        both("~Open", "Open", "Öffnen");
        both("~OpenHint", "Opens a project", "Öffnet ein Projekt");
        both("~Mass", "Mass", "Masse");
        both("~Accept", "Accept", "Akzeptieren");
        both("~AcceptHint", "Accept the terms", "Bedingungen annehmen");
        both("~Metric", "Metric units", "Metrische Einheiten");
        both("~Servo", "Servo", "Servomotor");
        both("~Pneumatic", "Pneumatic", "Pneumatisch");
        both("~Tube", "Tube", "Schlauch");
        both("~Motion", "Motion", "Bewegung");
        both("~Drive", "Drive", "Antrieb");
        both("~Search", "Search", "Suchen");
        both("~Remarks", "Remarks", "Bemerkungen");
        both("~Filter", "Projects (*.vac)|*.vac|All files|*.*",
             "Projekte (*.vac)|*.vac|Alle Dateien|*.*");
        table_->SetText("en", "~Empty", "");
        table_->SetText("ru", "~Mass", "Масса");
    }
    void cleanup() { table_.reset(); }

    void everyControlKindFollowsTheLanguage() {
        TSampleForm form;
        form.DB().SetLanguage("de");
        QCOMPARE(form.windowTitle(), QString("Werkstück"));
        QCOMPARE(form.fileMenu->title(), QString("Datei"));
        QCOMPARE(form.fileMenu->menuAction()->text(), QString("Datei"));
        QCOMPARE(form.openAction->text(), QString("Öffnen"));
        QCOMPARE(form.openAction->statusTip(), QString("Öffnet ein Projekt"));
        QCOMPARE(form.label->text(), QString("Masse"));
        QCOMPARE(form.accept->text(), QString("Akzeptieren"));
        QCOMPARE(form.accept->toolTip(), QString("Bedingungen annehmen"));
        QCOMPARE(form.metric->text(), QString("Metrische Einheiten"));
        QCOMPARE(form.servoRadio->text(), QString("Servomotor"));
        QCOMPARE(form.tool->text(), QString("Öffnen"));
        QCOMPARE(form.group->title(), QString("Schlauch"));
        QCOMPARE(form.tabs->tabText(0), QString("Bewegung"));
        QCOMPARE(form.tabs->tabText(1), QString("Antrieb"));
        QCOMPARE(form.tabBar->tabText(0), QString("Bewegung"));
        QCOMPARE(form.drive->itemText(0), QString("Pneumatisch"));
        QCOMPARE(form.drive->itemText(1), QString("Servomotor"));
        QCOMPARE(form.list->item(1)->text(), QString("Antrieb"));
        QCOMPARE(form.search->placeholderText(), QString("Suchen"));
        QCOMPARE(form.memo->toPlainText(), QString("Bemerkungen\nsecond line"));

        // Texts without a key stay; an unknown key shows as itself.
        QCOMPARE(form.plainLabel->text(), QString("kg"));
        QCOMPARE(form.drive->itemText(2), QString("Linear"));
        QCOMPARE(form.unknownLabel->text(), QString("~NoSuchKey"));

        // The bindings were collected from the keys once; switching on works from them,
        // not from the translated texts now shown.
        form.DB().SetLanguage("en");
        QCOMPARE(form.windowTitle(), QString("Workpiece"));
        QCOMPARE(form.label->text(), QString("Mass"));
        QCOMPARE(form.tabs->tabText(1), QString("Drive"));
        QCOMPARE(form.memo->toPlainText(), QString("Remarks\nsecond line"));
        QCOMPARE(form.openAction->text(), QString("Open"));
        QCOMPARE(form.fileMenu->title(), QString("File"));
    }

    void eachPropertyIsBoundOnceUnderItsName() {
        TSampleForm form;
        form.DB().SetLanguage("de");
        auto count = [&](QObject* o, const char* prop) {
            int n = 0;
            for (const auto& b : form.DB().Bindings())
                if (b.Component == static_cast<TLanguageComponent>(o) && b.PropName == prop) ++n;
            return n;
        };
        QCOMPARE(count(form.accept, "Caption"), 1);
        QCOMPARE(count(form.accept, "Hint"), 1);
        QCOMPARE(count(form.drive, "Items[1]"), 1);
        QCOMPARE(count(form.drive, "Items[2]"), 0);
        QCOMPARE(count(form.tabs, "Tabs[0]"), 1);
        // The tab bar inside the tab widget and the combo box's own editor are parts of
        // their controls, and the menu's action is translated through the menu.
        for (const auto& b : form.DB().Bindings()) {
            auto* o = QtObjectOf(b.Component);
            QVERIFY(o);
            QVERIFY2(o->parent() != form.tabs && o != form.editable->lineEdit(),
                     b.PropName.c_str());
            QVERIFY(o != form.fileMenu->menuAction());
        }
    }

    void selectionAndCheckStateSurviveASwitch() {
        TSampleForm form;
        form.DB().SetLanguage("en");
        form.drive->setCurrentIndex(1);
        form.metric->setChecked(false);
        form.servoRadio->setChecked(true);
        form.list->setCurrentRow(1);
        QSignalSpy indexChanges(form.drive, &QComboBox::currentIndexChanged);

        form.DB().SetLanguage("de");
        QCOMPARE(form.drive->currentIndex(), 1);
        QCOMPARE(form.drive->currentText(), QString("Servomotor"));
        QCOMPARE(indexChanges.count(), 0);
        QVERIFY(!form.metric->isChecked());
        QVERIFY(form.servoRadio->isChecked());
        QCOMPARE(form.list->currentRow(), 1);
        // An editable combo box shows the new text of its selected entry.
        QCOMPARE(form.editable->currentIndex(), 0);
        QCOMPARE(form.editable->lineEdit()->text(), QString("Pneumatisch"));
    }

    void emptyTextsAndOtherScripts() {
        TSampleForm form;
        auto* empty = new QLabel("~Empty", &form);
        form.Language().Adopt(empty);
        form.DB().SetLanguage("en");
        QCOMPARE(empty->text(), QString());
        QCOMPARE(form.Language().Charset(), 1);

        form.DB().SetLanguage("ru");
        QCOMPARE(form.label->text(), QString::fromUtf8("Масса"));
        QCOMPARE(form.Language().Charset(), 204);
        QCOMPARE(form.property("languageCharset").toInt(), 204);
    }

    void entriesThatWentAwayAreSkipped() {
        TSampleForm form;
        form.DB().SetLanguage("en");
        form.drive->removeItem(2);
        form.drive->removeItem(1);
        form.tabs->removeTab(1);
        form.DB().SetLanguage("de");
        QCOMPARE(form.drive->count(), 1);
        QCOMPARE(form.drive->itemText(0), QString("Pneumatisch"));
        QCOMPARE(form.tabs->count(), 1);
        QCOMPARE(form.tabs->tabText(0), QString("Bewegung"));
    }

    void controlsMadeOrDestroyedAtRunTime() {
        TSampleForm form;
        form.DB().SetLanguage("de");

        // A control made after the first translation is bound when adopted and shown in
        // the current language at once.
        auto* late = new QPushButton("~Tube", &form);
        late->setToolTip("~AcceptHint");
        form.Language().Adopt(late);
        QCOMPARE(late->text(), QString("Schlauch"));
        QCOMPARE(late->toolTip(), QString("Bedingungen annehmen"));

        // Binding a property by hand, and unbinding it with a plain text.
        form.Language().Bind(form.plainLabel, "Caption", "~Mass");
        QCOMPARE(form.plainLabel->text(), QString("Masse"));
        form.Language().Bind(form.plainLabel, "Caption", "kg");
        form.plainLabel->setText("kg");

        // A destroyed control leaves the bindings.
        const TLanguageComponent gone = form.label;
        delete form.label;
        form.label = nullptr;
        for (const auto& b : form.DB().Bindings()) QVERIFY(b.Component != gone);

        form.DB().SetLanguage("en");
        QCOMPARE(late->text(), QString("Tube"));
        QCOMPARE(late->toolTip(), QString("Accept the terms"));
        QCOMPARE(form.plainLabel->text(), QString("kg"));
    }

    void aFormInsideAnotherTranslatesItself() {
        TSampleForm outer;
        TSampleForm* inner = new TSampleForm;
        inner->setParent(&outer, Qt::Dialog);
        inner->DB().SetGroup(1);
        outer.DB().SetLanguage("de");
        for (const auto& b : outer.DB().Bindings()) {
            QObject* o = QtObjectOf(b.Component);
            QVERIFY(o != inner && !inner->isAncestorOf(qobject_cast<QWidget*>(o)));
        }
        QCOMPARE(inner->label->text(), QString("~Mass"));
        QCOMPARE(outer.label->text(), QString("Masse"));
    }

    void aGroupSwitchesTogetherWithProgress() {
        TLongForm main(0), other(0), preview(-1);
        std::vector<int> progress;
        int changes = 0;
        other.DB().OnUpdateProgressBar = [&](TCustomLanguageDB&, int percent) {
            progress.push_back(percent);
        };
        TConnection follow1 = other.DB().OnChange.Connect([&](TCustomLanguageDB&) { ++changes; });

        main.DB().SetLanguage("de");
        QCOMPARE(main.FirstLabel(), QString("Masse"));
        QCOMPARE(other.FirstLabel(), QString("Masse"));
        QCOMPARE(other.windowTitle(), QString("Werkstück"));
        QCOMPARE(preview.FirstLabel(), QString("~Mass"));
        QCOMPARE(QString::fromStdString(preview.DB().Language()), QString());
        QCOMPARE(changes, 1);

        QVERIFY(!progress.empty());
        QCOMPARE(progress.front(), 0);
        QCOMPARE(progress.back(), 100);
        // The texts are applied in steps that report their share: with 41 bindings some
        // reports lie strictly between 0 and 100, rising.
        const auto lastStart = std::find(progress.rbegin(), progress.rend(), 0).base() - 1;
        const std::vector<int> applying(lastStart, progress.end());
        QVERIFY(std::is_sorted(applying.begin(), applying.end()));
        QVERIFY(
            std::any_of(applying.begin(), applying.end(), [](int p) { return p > 0 && p < 100; }));

        // A second switch reports the application again, ending at 100.
        progress.clear();
        main.DB().SetLanguage("en");
        QCOMPARE(other.FirstLabel(), QString("Mass"));
        QCOMPARE(progress.front(), 0);
        QCOMPARE(progress.back(), 100);
        QCOMPARE(changes, 2);
    }

    void aNewFormTakesTheLanguageInUse() {
        TLongForm main(0, 1);
        main.DB().SetLanguage("de");
        TSampleForm later;
        QCOMPARE(QString::fromStdString(later.DB().Language()), QString("de"));
        QCOMPARE(later.label->text(), QString("Masse"));
    }

    void fileDialogFilterAndTitle() {
        QWidget owner;
        TLanguageForm language(&owner);
        auto* dialog = new QFileDialog(&owner);
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setWindowTitle("~Open");
        dialog->setNameFilter("~Filter");
        language.Loaded();
        language.LanguageDB().SetLanguage("de");
        QCOMPARE(dialog->windowTitle(), QString("Öffnen"));
        QCOMPARE(dialog->nameFilters(), QStringList({"Projekte (*.vac)", "Alle Dateien (*.*)"}));
        // The dialog's own controls are Qt's: its filter list is not bound on its own.
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        QVERIFY(types);
        QCOMPARE(types->itemText(0), QString("Projekte (*.vac)"));
        language.LanguageDB().SetLanguage("en");
        QCOMPARE(dialog->nameFilters(), QStringList({"Projects (*.vac)", "All files (*.*)"}));
    }

    void fileFiltersInQtForm() {
        QCOMPARE(QtFileFilter("Projects (*.vac)|*.vac"), QString("Projects (*.vac)"));
        QCOMPARE(QtFileFilter("Text|*.txt;*.csv|All|*.*"),
                 QString("Text (*.txt *.csv);;All (*.*)"));
        // A description naming something else in brackets gets the patterns added, since
        // Qt reads them from the last brackets.
        QCOMPARE(QtFileFilter("Order file (ERP)|*.txt"), QString("Order file (ERP) (*.txt)"));
        QCOMPARE(QtFileFilter("Images|"), QString("Images (*)"));
        QCOMPARE(QtFileFilter("Lonely"), QString("Lonely"));
        QCOMPARE(QtFileFilter("All|*.*|"), QString("All (*.*)"));
        QCOMPARE(QtFileFilter("Qt form (*.vac);;All (*)"), QString("Qt form (*.vac);;All (*)"));
    }

    void entryNames() {
        std::string prefix;
        int index = -1;
        QVERIFY(ParseEntryName("Items[12]", prefix, index));
        QCOMPARE(prefix, std::string("Items"));
        QCOMPARE(index, 12);
        for (const char* bad :
             {"Items", "Items[]", "[3]", "Items[3", "Items[x]", "Items[-1]", "Items[3]x"})
            QVERIFY2(!ParseEntryName(bad, prefix, index), bad);
    }

    void componentsOfOtherLayersAreLeftAlone() {
        RegisterQtTranslators();
        int notQt = 0;
        for (TTavTranslator* t : TTavTranslator::Translators()) QVERIFY(!t->Serves(&notQt));
        QVERIFY(!QtObjectOf(&notQt));
    }
};

QTEST_MAIN(LangFormTest)
#include "lang_form_test.moc"
