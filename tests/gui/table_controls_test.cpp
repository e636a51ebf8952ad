// Combo boxes and check boxes over a query, used as the user uses them: entries are chosen
// with the keyboard or the popup, the check box is clicked with the mouse, and the grid over
// the same query shows what the filters leave.
#include <QCheckBox>
#include <QComboBox>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "core/data/str_field_db.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "gui/table/str_table_controls.h"
#include "gui/table/string_table_grid.h"

namespace {

// Tubes:
//   row  Group  Diameter  Cal  Code
//   0    PU     0.004     X    PU-4
//   1    PU     0.006     -    PU-6
//   2    PA     0.004     X    PA-4
//   3    PA     0.008     -    PA-8
//   4    PE     0.006     -    PE-6
void FillTubes(TStrTableDB32Bit& source) {
    source.Loaded();
    auto& g = source.AddColumn("Group", csfString);
    auto& d = source.AddColumn("Diameter", csfFloat);
    auto& cal = source.AddColumn("Cal", csfString);
    auto& code = source.AddColumn("Code", csfString);
    const char* rows[][4] = {{"PU", "0.004", "X", "PU-4"},
                             {"PU", "0.006", "-", "PU-6"},
                             {"PA", "0.004", "X", "PA-4"},
                             {"PA", "0.008", "-", "PA-8"},
                             {"PE", "0.006", "-", "PE-6"}};
    for (const auto& r : rows) {
        g.AppendText(r[0]);
        d.AppendFloat(std::stod(r[1]));
        cal.AppendText(r[2]);
        code.AppendText(r[3]);
    }
    source.SetRows(5);
}

std::string Fake(std::string_view key) {
    if (key == "~Any") return "(any)";
    return std::string(key);
}

QStringList ItemTexts(const QComboBox& box) {
    QStringList out;
    for (int i = 0; i < box.count(); ++i) out << box.itemText(i);
    return out;
}

QStringList GridColumn(const TStringTableGrid& grid, int dataCol) {
    QStringList out;
    const QAbstractItemModel* m = grid.model();
    for (int r = 0; r < m->rowCount(); ++r) out << m->data(m->index(r, dataCol)).toString();
    return out;
}

// The popup's way of choosing: the entry becomes current, then activated is raised.
void ChooseInPopup(QComboBox& box, int index) {
    box.setCurrentIndex(index);
    emit box.activated(index);
}

// A mouse click on the box's indicator.
void ClickBox(QCheckBox& box) {
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect indicator = box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    QTest::mouseClick(&box, Qt::LeftButton, {}, indicator.center());
}

} // namespace

class TableControlsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        source = std::make_unique<TStrTableDB32Bit>();
        FillTubes(*source);
        query = std::make_unique<TStringQuery>();
        query->Loaded();
        query->SetTable(source.get());

        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        group = new TStrTableCoBox(window.get());
        diameter = new TStrTableCoBox(window.get());
        cal = new TStrTableCheckBox(QStringLiteral("calibrated"), window.get());
        grid = new TStringTableGrid(window.get());
        for (QWidget* w : std::initializer_list<QWidget*>{group, diameter, cal, grid}) layout->addWidget(w);

        group->SetTranslate(Fake);
        group->Model().SetUnselected("~Any");
        group->Model().SetSort(cSortASCII);
        group->SetFieldName("Group");
        group->SetTable(query.get());

        TStrTableCoBoxModel& d = diameter->Model();
        d.SetFieldName("Diameter");
        d.SetFieldTyp(cTTNum);
        d.SetSort(cSortASCII);
        d.SetDataUnit(cUM_m);
        d.SetScaleUnit(cUM_mm);
        diameter->SetTable(query.get());

        cal->SetFieldName("Cal");
        cal->SetTable(query.get());

        grid->SetColNames("Code|Group");
        grid->SetTable(query.get());
        window->resize(400, 500);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() {
        window.reset();
        query.reset();
        source.reset();
    }

    void choicesFilterTheQueryAndEveryListFollows() {
        QCOMPARE(ItemTexts(*group), (QStringList{"(any)", "PA", "PE", "PU"}));
        QCOMPARE(ItemTexts(*diameter), (QStringList{"", "4 mm", "6 mm", "8 mm"}));
        QVERIFY(group->isEnabled());
        QCOMPARE(grid->model()->rowCount(), 5);

        int groupChanges = 0;
        group->Model().OnChange = [&](TStrTableCoBoxModel&) { ++groupChanges; };
        group->setFocus();
        QTest::keyClick(group, Qt::Key_End); // PU
        QCOMPARE(groupChanges, 1);
        QCOMPARE(group->currentText(), QStringLiteral("PU"));
        QCOMPARE(query->Rows(), 2);
        QCOMPARE(GridColumn(*grid, 0), (QStringList{"PU-4", "PU-6"}));
        // The own choice hides no group; the diameters narrow to those of PU.
        QCOMPARE(ItemTexts(*group), (QStringList{"(any)", "PA", "PE", "PU"}));
        QCOMPARE(ItemTexts(*diameter), (QStringList{"", "4 mm", "6 mm"}));

        ChooseInPopup(*diameter, 2); // 6 mm
        QCOMPARE(query->Rows(), 1);
        QCOMPARE(GridColumn(*grid, 0), QStringList{"PU-6"});
        QCOMPARE(diameter->currentText(), QStringLiteral("6 mm"));
        QCOMPARE(groupChanges, 1); // refreshes caused by other lists are no user choices
        QCOMPARE(ItemTexts(*group), (QStringList{"(any)", "PE", "PU"})); // only groups with 6 mm tubes
        QCOMPARE(group->currentText(), QStringLiteral("PU"));

        QTest::keyClick(group, Qt::Key_Home); // entry 0 removes the group filter
        QCOMPARE(groupChanges, 2);
        QCOMPARE(GridColumn(*grid, 0), (QStringList{"PU-6", "PE-6"}));
        QCOMPARE(diameter->currentText(), QStringLiteral("6 mm")); // the diameter filter stays

        // Loading a project picks entries by their untranslated texts.
        diameter->SelectByText("8 mm");
        QCOMPARE(diameter->currentIndex(), 3);
        QCOMPARE(GridColumn(*grid, 0), QStringList{"PA-8"});
        diameter->SelectByText("99 mm");
        QCOMPARE(diameter->currentIndex(), 0);
        QCOMPARE(query->Rows(), 5);
    }

    void aListWithOneValueLeftShowsItDisabledUntilTheOthersWiden() {
        diameter->Model().SetNoChoiseDisabled(true);
        QVERIFY(diameter->isEnabled());
        ChooseInPopup(*group, 2); // PE: only 6 mm left
        QCOMPARE(ItemTexts(*diameter), (QStringList{"", "6 mm"}));
        QCOMPARE(diameter->currentText(), QStringLiteral("6 mm"));
        QVERIFY(!diameter->isEnabled());
        QCOMPARE(query->Rows(), 1);

        ChooseInPopup(*group, 0);
        QCOMPARE(ItemTexts(*diameter), (QStringList{"", "4 mm", "6 mm", "8 mm"}));
        QCOMPARE(diameter->currentIndex(), 0);
        QVERIFY(diameter->isEnabled());

        // Without the option the list stays usable with one value.
        diameter->Model().SetNoChoiseDisabled(false);
        ChooseInPopup(*group, 2);
        QCOMPARE(diameter->currentIndex(), 0);
        QVERIFY(diameter->isEnabled());
    }

    void checkBoxClicksFilterTheYesNoColumn() {
        QVERIFY(cal->isEnabled()); // calibrated and uncalibrated tubes occur
        QVERIFY(!cal->isChecked());
        int clicks = 0;
        cal->Model().OnClick = [&](TStrTableCheckBoxModel&) { ++clicks; };

        ClickBox(*cal);
        QVERIFY(cal->isChecked());
        QCOMPARE(clicks, 1);
        QCOMPARE(GridColumn(*grid, 0), (QStringList{"PU-4", "PA-4"}));
        QCOMPARE(ItemTexts(*diameter), (QStringList{"", "4 mm"}));

        ClickBox(*cal);
        QVERIFY(!cal->isChecked());
        QCOMPARE(GridColumn(*grid, 0), (QStringList{"PU-6", "PA-8", "PE-6"})); // equal mode: unchecked shows the false rows

        // With the other filters leaving one kind of tube, there is nothing to choose.
        ChooseInPopup(*group, 2); // PE: uncalibrated only
        QVERIFY(!cal->isEnabled());
        ClickBox(*cal);
        QCOMPARE(clicks, 2); // a disabled box takes no clicks

        // Option mode: unchecked does not filter, checked keeps the true rows.
        ChooseInPopup(*group, 0);
        cal->Model().SetSelectMode(csmOption);
        cal->Model().Click(false);
        QCOMPARE(query->Rows(), 5);
        QVERIFY(cal->isEnabled());
        ClickBox(*cal);
        QCOMPARE(query->Rows(), 2);
    }

    void queryResetPutsEveryControlBack() {
        ChooseInPopup(*group, 1); // PA
        ClickBox(*cal);
        QCOMPARE(query->Rows(), 1);
        QSignalSpy indexSignals(group, &QComboBox::currentIndexChanged);
        query->Reset();
        QCOMPARE(group->currentIndex(), 0);
        QCOMPARE(diameter->currentIndex(), 0);
        QVERIFY(!cal->isChecked());
        QCOMPARE(grid->model()->rowCount(), 5);
        // What the model sets is shown, not sent back as a choice.
        QCOMPARE(indexSignals.count(), 0);
        QCOMPARE(query->Rows(), 5);
    }

    void listsShowTranslatedTextsAndFollowTheTranslation() {
        group->SetTranslate([](std::string_view key) { return key == "~Any" ? std::string("(alle)") : "<" + std::string(key) + ">"; });
        QCOMPARE(ItemTexts(*group), (QStringList{"(alle)", "<PA>", "<PE>", "<PU>"}));
        ChooseInPopup(*group, 3);
        QCOMPARE(query->Rows(), 2); // the choice filters by the untranslated value
        const int rebuilds = group->ItemRebuilds();
        source->Changed(cChangeContents); // every control refreshes, nothing differs
        QCOMPARE(group->ItemRebuilds(), rebuilds); // an unchanged list is not rebuilt
        QCOMPARE(group->currentIndex(), 3);
    }

    void everyChoiceAndClickReachesTheOwnerAndThenEveryFollower() {
        QStringList calls;
        // Each listener notes the entry chosen and the rows the query shows at that moment.
        auto note = [&](const char* who) {
            calls << QString("%1:%2:%3").arg(who, group->currentText()).arg(query->Rows());
        };
        group->Model().OnChange = [&](TStrTableCoBoxModel&) { note("page"); };
        QWidget chart, report;
        connect(group, &TStrTableCoBox::changed, &chart, [&] { note("chart"); });
        connect(group, &TStrTableCoBox::changed, &report, [&] { note("report"); });
        group->setFocus();
        QTest::keyClick(group, Qt::Key_Down); // (any) -> PA
        QCOMPARE(calls, (QStringList{"page:PA:5", "chart:PA:5", "report:PA:5"}));
        QCOMPARE(query->Rows(), 2); // then the filter
        calls.clear();
        ChooseInPopup(*group, 0);
        QCOMPARE(calls, (QStringList{"page:(any):2", "chart:(any):2", "report:(any):2"}));
        QCOMPARE(query->Rows(), 5);

        QStringList clicks;
        cal->Model().OnClick = [&](TStrTableCheckBoxModel& m) { clicks << QString("page:%1").arg(m.Checked()); };
        connect(cal, &TStrTableCheckBox::filterClicked, &chart,
                [&](bool checked) { clicks << QString("chart:%1:%2").arg(checked).arg(query->Rows()); });
        ClickBox(*cal);
        QCOMPARE(clicks, (QStringList{"page:1", "chart:1:5"}));
        QCOMPARE(query->Rows(), 2);
        ClickBox(*cal);
        QCOMPARE(clicks.size(), 4);
        QCOMPARE(clicks.back(), QString("chart:0:2"));
        QCOMPARE(query->Rows(), 3);

        // Mouse enter and leave of the list and the grid.
        int enters = 0;
        group->OnMouseEnter = [&](TStrTableCoBox&) { ++enters; };
        QSignalSpy listEntered(group, &TStrTableCoBox::mouseEntered);
        QSignalSpy listLeft(group, &TStrTableCoBox::mouseLeft);
        QSignalSpy gridEntered(grid, &TStringTableGrid::mouseEntered);
        QSignalSpy gridLeft(grid, &TStringTableGrid::mouseLeft);
        for (QWidget* w : std::initializer_list<QWidget*>{group, grid}) {
            const QPointF at(w->rect().center());
            QEnterEvent enter(at, at, w->mapToGlobal(at));
            QApplication::sendEvent(w, &enter);
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(w, &leave);
        }
        QCOMPARE(enters, 1);
        QCOMPARE(listEntered.count(), 1);
        QCOMPARE(listLeft.count(), 1);
        QCOMPARE(gridEntered.count(), 1);
        QCOMPARE(gridLeft.count(), 1);
    }

    void controlsWithoutTableAreDisabled() {
        TStrTableCoBox loose;
        TStrTableCheckBox looseCheck;
        QVERIFY(!loose.isEnabled());
        QCOMPARE(loose.count(), 1);
        QVERIFY(!looseCheck.isEnabled());
        loose.SetFieldName("Nope");
        loose.SetTable(query.get());
        QVERIFY(!loose.isEnabled());
        // A list outlives its query.
        group->SetTable(nullptr);
        QVERIFY(!group->isEnabled());
        QCOMPARE(group->count(), 1);
    }

private:
    std::unique_ptr<TStrTableDB32Bit> source;
    std::unique_ptr<TStringQuery> query;
    std::unique_ptr<QWidget> window;
    TStrTableCoBox* group = nullptr;
    TStrTableCoBox* diameter = nullptr;
    TStrTableCheckBox* cal = nullptr;
    TStringTableGrid* grid = nullptr;
};

QTEST_MAIN(TableControlsTest)
#include "table_controls_test.moc"
