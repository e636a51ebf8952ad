// Units of the value fields as the user meets them: the unit menu, cycling with the unit
// button, its width and hint, the read-only display and the application-wide SI/US switch.

#include "core/lang/language_table.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/lang/language_form.h"

#include <memory>

#include <QAction>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

template <class Field>
Field* AddField(QWidget* parent, TNormUnit quantity, TNUMessurement si, TNUMessurement us,
                double value, bool automatic = true) {
    auto* field = new Field(parent);
    if (parent->layout()) parent->layout()->addWidget(field);
    field->SetNormUnit(quantity);
    field->SetPreferredSIUnit(si);
    field->SetPreferredUSUnit(us);
    field->SetAutoUnitChange(automatic);
    field->SetValue(value);
    return field;
}

void Show(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("window not exposed");
}

// What the windowing system delivers for a right click on `widget`.
void ContextClick(QWidget* widget) {
    const QPoint at = widget->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &event);
}

QAction* Entry(QMenu* menu, const QString& caption) {
    for (QAction* action : menu->actions())
        if (action->text() == caption && action->isVisible()) return action;
    return nullptr;
}

QStringList Checked(QMenu* menu) {
    QStringList on;
    for (QAction* action : menu->actions())
        if (action->isChecked()) on << action->text();
    return on;
}

QString UnitOf(const TFMU2Custom* field) {
    return field->UnitButton()->text();
}

} // namespace

class FieldsUnitsTest : public QObject {
    Q_OBJECT

private slots:
    void unitMenuConvertsTheTextAndKeepsTheBaseValue() {
        QWidget form;
        new QVBoxLayout(&form);
        auto* field = AddField<TFMU2SpinEdit>(&form, cNU_length, cUM_mm, cUM_in, 0.0125);
        std::vector<bool> switches;
        field->OnUnitChange = [&](TFMU2Custom*, bool si) { switches.push_back(si); };
        Show(form);
        QCOMPARE(field->DisplayText(), QString("12.5"));

        QMenu* menu = field->UnitMenu();
        const QList<QAction*> entries = menu->actions();
        QCOMPARE(entries.size(), TFMU2Model::cUnitMenuFirstUnit + QuantityUnitCount(cNU_length));
        QVERIFY(entries[TFMU2Model::cUnitMenuSI]->isChecked());
        QVERIFY(!entries[TFMU2Model::cUnitMenuUS]->isChecked());
        QVERIFY(!entries[TFMU2Model::cUnitMenuOld]->isVisible()); // old units not enabled
        QVERIFY(entries[TFMU2Model::cUnitMenuSeparator]->isSeparator());
        QAction* rod = entries[TFMU2Model::cUnitMenuFirstUnit + UnitById(cUM_rod).Index];
        QVERIFY(!rod->isVisible());
        QAction* mm = Entry(menu, "mm");
        QVERIFY(mm && mm->isChecked());
        QCOMPARE(mm->toolTip(), QString("0.001 m"));

        ContextClick(field->UnitButton());
        QTRY_VERIFY(menu->isVisible());
        QAction* in = Entry(menu, "in");
        QVERIFY(in);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(in).center());
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(field->DisplayText(), QString("0.492"));
        QCOMPARE(field->Value(), 0.0125);
        QCOMPARE(UnitOf(field), QString("in"));
        QCOMPARE(Checked(field->UnitMenu()), (QStringList{entries[0]->text(), "in"}));
        QVERIFY(switches.empty());

        // The head entries switch the system: its preferred unit is shown.
        field->UnitMenu()->actions()[TFMU2Model::cUnitMenuUS]->trigger();
        QVERIFY(!field->SIUnits());
        QCOMPARE(UnitOf(field), QString("in"));
        QVERIFY(field->UnitMenu()->actions()[TFMU2Model::cUnitMenuUS]->isChecked());
        QVERIFY(!field->UnitMenu()->actions()[TFMU2Model::cUnitMenuSI]->isChecked());
        field->UnitMenu()->actions()[TFMU2Model::cUnitMenuSI]->trigger();
        QCOMPARE(UnitOf(field), QString("mm"));
        QCOMPARE(field->DisplayText(), QString("12.5"));
        QCOMPARE(switches, (std::vector<bool>{false, true}));
        // Choosing the system already in use changes nothing, its entry stays checked.
        entries[TFMU2Model::cUnitMenuSI]->trigger();
        QVERIFY(entries[TFMU2Model::cUnitMenuSI]->isChecked());
        QCOMPARE(switches.size(), size_t(2));

        // With old units enabled their entry shows them.
        field->SetOldUnitsEnabled(true);
        QVERIFY(field->UnitMenu()->actions()[TFMU2Model::cUnitMenuOld]->isVisible());
        field->UnitMenu()->actions()[TFMU2Model::cUnitMenuOld]->trigger();
        QVERIFY(field->OldUnitsVisible());
        QVERIFY(field->UnitMenu()
                    ->actions()[TFMU2Model::cUnitMenuFirstUnit + UnitById(cUM_rod).Index]
                    ->isVisible());

        // Another quantity brings its own units; the value stays in base units.
        field->SetNormUnit(cNU_pressure);
        QCOMPARE(field->UnitMenu()->actions().size(),
                 TFMU2Model::cUnitMenuFirstUnit + QuantityUnitCount(cNU_pressure));
        QCOMPARE(UnitOf(field),
                 QString::fromStdString(UnitById(DefaultUnit(cNU_pressure, true)).Symbol));
        QVERIFY(Entry(field->UnitMenu(), "bar"));
        QVERIFY(!Entry(field->UnitMenu(), "mm"));
        QCOMPARE(field->Value(), 0.0125);
    }

    void unitButtonClickCyclesTheUnitsOfTheSystem() {
        QWidget form;
        new QVBoxLayout(&form);
        auto* field = AddField<TFMU2SpinEdit>(&form, cNU_length, cUM_m, cUM_ft, 1);
        Show(form);
        QCOMPARE(UnitOf(field), QString("m"));
        QTest::mouseClick(field->UnitButton(), Qt::LeftButton);
        QCOMPARE(UnitOf(field), QString("dm"));
        QCOMPARE(field->DisplayText(), QString("10"));
        QTest::mouseClick(field->UnitButton(), Qt::LeftButton);
        QCOMPARE(UnitOf(field), QString("cm"));
        QCOMPARE(field->DisplayText(), QString("100"));
        QCOMPARE(field->Value(), 1.0);
        QVERIFY(Entry(field->UnitMenu(), "cm")->isChecked());

        field->SetSIUnits(false);
        QCOMPARE(UnitOf(field), QString("ft"));
        QTest::mouseClick(field->UnitButton(), Qt::LeftButton);
        QCOMPARE(UnitOf(field), QString("yd"));

        // No cycling while the text does not read.
        field->Edit()->setFocus();
        QTest::keyClick(field->Edit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field->Edit(), "1/");
        QVERIFY(!field->UnitButton()->isEnabled());
        QTest::mouseClick(field->UnitButton(), Qt::LeftButton);
        QCOMPARE(UnitOf(field), QString("yd"));
    }

    void unitButtonWidthAndHints() {
        QWidget form;
        new QVBoxLayout(&form);
        auto* field = AddField<TFMU2SpinEdit>(&form, cNU_pressure, cUM_bar, cUM_psi, 0.5e6);
        field->SetMUHint("Working pressure");
        field->SetIncHint("Step");
        field->SetHint("Pressure at the valve");
        Show(form);
        QCOMPARE(field->UnitButton()->toolTip(), QString("1 bar = 1e5 Pa\nWorking pressure"));
        QCOMPARE(field->UpButton()->toolTip(), QString("Step"));
        QCOMPARE(field->Edit()->toolTip(), QString("Pressure at the valve"));

        const QFontMetrics metrics = field->UnitButton()->fontMetrics();
        QVERIFY(field->UnitButton()->width() >= field->MUMinWidth());
        for (QAction* action : field->UnitMenu()->actions())
            if (action->isVisible() && !action->isSeparator() && !action->text().startsWith('~'))
                QVERIFY2(field->UnitButton()->width() >=
                             metrics.horizontalAdvance(action->text()) + 4,
                         qPrintable(action->text()));
        field->SetMUMinWidth(300);
        QCOMPARE(field->UnitButton()->width(), 300);

        // The unit button left of the spin buttons, or at the right edge.
        QVERIFY(field->UnitButton()->x() > field->UpButton()->mapTo(field, QPoint()).x());
        field->SetAlignMU(aMULeft);
        QTRY_VERIFY(field->UnitButton()->x() < field->UpButton()->mapTo(field, QPoint()).x());
        QVERIFY(field->UnitButton()->x() > field->Edit()->x());

        auto* plain = AddField<TFMU2Panel>(&form, cNU_NoUnit, cUM_NoUnit, cUM_NoUnit, 2);
        QVERIFY(plain->UnitButton()->isHidden());
        QCOMPARE(plain->DisplayText(), QString("2"));
    }

    void hintKeysFollowTheLanguage() {
        TCustomLanguageTable table;
        auto both = [&](const char* key, const char* en, const char* de) {
            table.SetText("en", key, en);
            table.SetText("de", key, de);
        };
        both("~LengthHint", "Length of the part", "Länge des Teils");
        both("~StepHint", "Step of the arrows", "Schritt der Pfeile");
        both("~MassHint", "Mass of the part", "Masse des Teils");
        QWidget form;
        new QVBoxLayout(&form);
        TLanguageForm language(&form);
        auto* field = AddField<TFMU2SpinEdit>(&form, cNU_length, cUM_mm, cUM_in, 0.0125);
        field->SetMUHint("~LengthHint");
        field->SetIncHint("~StepHint");
        auto* panel = AddField<TFMU2Panel>(&form, cNU_mass, cUM_kg, cUM_lb, 1);
        panel->SetMUHint("~MassHint");
        language.Loaded();
        Show(form);

        language.LanguageDB().SetLanguage("en");
        QCOMPARE(field->UnitButton()->toolTip(), QString("1 mm = 0.001 m\nLength of the part"));
        QCOMPARE(field->UpButton()->toolTip(), QString("Step of the arrows"));
        QCOMPARE(field->DownButton()->toolTip(), QString("Step of the arrows"));
        QVERIFY(panel->UnitButton()->toolTip().endsWith(QString("\nMass of the part")));
        language.LanguageDB().SetLanguage("de");
        QCOMPARE(field->UnitButton()->toolTip(), QString("1 mm = 0.001 m\nLänge des Teils"));
        QCOMPARE(field->UpButton()->toolTip(), QString("Schritt der Pfeile"));
        QVERIFY(panel->UnitButton()->toolTip().endsWith(QString("\nMasse des Teils")));

        // Another unit: its definition, then the hint in the language shown.
        QTest::mouseClick(field->UnitButton(), Qt::LeftButton);
        QCOMPARE(UnitOf(field), QString::fromStdString(UnitById(cUM_micrometer).Symbol));
        const QString hint = field->UnitButton()->toolTip();
        QVERIFY2(hint.startsWith("1 " + UnitOf(field) + " = ") && hint.endsWith("\nLänge des Teils"), qPrintable(hint));
        QVERIFY(!hint.contains('~'));
        language.LanguageDB().SetLanguage("en");
        QVERIFY(field->UnitButton()->toolTip().endsWith("\nLength of the part"));
    }

    void panelShowsTheValueAndItsUnitOnly() {
        QWidget form;
        new QVBoxLayout(&form);
        auto* panel = AddField<TFMU2Panel>(&form, cNU_length, cUM_mm, cUM_in, 0.0125);
        int changes = 0;
        panel->OnChange = [&](TFMU2Custom*) { ++changes; };
        Show(form);
        QCOMPARE(panel->DisplayText(), QString("12.5"));
        QVERIFY(panel->Panel()->alignment() & Qt::AlignRight);
        QVERIFY(panel->findChildren<QLineEdit*>().isEmpty());

        panel->SetValue(0.02);
        QCOMPARE(panel->Panel()->text(), QString("20"));
        QCOMPARE(changes, 1);
        QTest::mouseClick(panel->UnitButton(), Qt::LeftButton); // mm → µm
        QCOMPARE(panel->Value(), 0.02);
        QCOMPARE(panel->CurrentUnit(), cUM_micrometer);
        QCOMPARE(panel->DisplayText(), QString("20000"));
        panel->SetDecimals(2);
        panel->SelectUnitIndex(UnitById(cUM_in).Index);
        QCOMPARE(panel->DisplayText(), QString("0.79"));
        QCOMPARE(changes, 1);
    }

    void setSIUnitsAllSwitchesEveryAutomaticField() {
        QWidget form;
        new QVBoxLayout(&form);
        auto* top = AddField<TFMU2SpinEdit>(&form, cNU_length, cUM_mm, cUM_in, 0.0254);
        auto* box = new QGroupBox(&form);
        form.layout()->addWidget(box);
        new QVBoxLayout(box);
        auto* nested = AddField<TFMU2SpinEdit>(box, cNU_pressure, cUM_bar, cUM_psi, 1e5);
        auto* manual = AddField<TFMU2SpinEdit>(box, cNU_length, cUM_m, cUM_ft, 1, false);
        auto* display = AddField<TFMU2Panel>(&form, cNU_mass, cUM_kg, cUM_lb, 1);
        QWidget other;
        new QVBoxLayout(&other);
        auto* elsewhere = AddField<TFMU2SpinEdit>(&other, cNU_length, cUM_mm, cUM_in, 0.0254);
        int switches = 0;
        for (TFMU2Custom* f :
             {static_cast<TFMU2Custom*>(top), static_cast<TFMU2Custom*>(nested),
              static_cast<TFMU2Custom*>(manual), static_cast<TFMU2Custom*>(display),
              static_cast<TFMU2Custom*>(elsewhere)})
            f->OnUnitChange = [&](TFMU2Custom*, bool) { ++switches; };
        Show(form);
        Show(other);

        SetSIUnitsAll(&form, false);
        QCOMPARE(UnitOf(top), QString("in"));
        QCOMPARE(top->DisplayText(), QString("1"));
        QCOMPARE(UnitOf(nested), QString("psi"));
        QCOMPARE(UnitOf(display), QString("lb"));
        QCOMPARE(UnitOf(manual), QString("m"));     // not automatic
        QCOMPARE(UnitOf(elsewhere), QString("mm")); // another window
        QCOMPARE(switches, 3);
        QCOMPARE(top->Value(), 0.0254);
        QCOMPARE(nested->Value(), 1e5);

        SetSIUnitsAll(false); // every window; the fields already in US units stay quiet
        QCOMPARE(UnitOf(elsewhere), QString("in"));
        QCOMPARE(switches, 4);
        SetSIUnitsAll(SIUnitsOfMeasure("0"));
        QCOMPARE(UnitOf(top), QString("mm"));
        QCOMPARE(UnitOf(nested), QString("bar"));
        QCOMPARE(UnitOf(elsewhere), QString("mm"));
        QCOMPARE(UnitOf(manual), QString("m"));
        QCOMPARE(switches, 8);
    }
};

QTEST_MAIN(FieldsUnitsTest)
#include "fields_units_test.moc"
