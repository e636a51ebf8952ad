// How value fields line up in a form: one line high (edit, spin buttons, unit button and
// the read-only panel share the height of a line edit), one unit button width per form
// (that of a tool button showing the widest unit of the fields shown) through unit system
// switches, language switches, font changes and fields shown or hidden, and labels centred
// on the edit's line. The same checks run at 1.5 device pixels per pixel (a second ctest
// entry sets QT_SCALE_FACTOR); what they compare is the logical geometry.

#include "core/lang/language_table.h"
#include "gui/fields/field_layout.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/lang/language_form.h"

#include <algorithm>
#include <cstdlib>

#include <QAction>
#include <QDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

template <class Field>
Field* MakeField(QWidget* parent, TNormUnit quantity, TNUMessurement si, TNUMessurement us,
                 double value) {
    auto* field = new Field(parent);
    field->SetNormUnit(quantity);
    field->SetPreferredSIUnit(si);
    field->SetPreferredUSUnit(us);
    field->SetAutoUnitChange(true);
    field->SetValue(value);
    return field;
}

void Show(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("window not exposed");
}

// The height the toolkit gives a plain line edit in `parent`'s font and style.
int LineEditHeight(QWidget* parent) {
    QLineEdit probe(parent);
    return probe.sizeHint().height();
}

// What the unit button of `field` must be at least to show each unit its menu offers: a
// plain tool button with that text, in the button's font, asks for this much.
int UnitNeed(TFMU2Custom* field) {
    int need = field->MUMinWidth();
    const QList<QAction*> actions = field->UnitMenu()->actions();
    // The system entries and the separator come first; one entry per unit follows.
    for (qsizetype i = TFMU2Model::cUnitMenuFirstUnit; i < actions.size(); ++i) {
        if (!actions[i]->isVisible()) continue;
        QToolButton probe(field);
        probe.setFont(field->UnitButton()->font());
        probe.setText(actions[i]->text());
        need = std::max(need, probe.sizeHint().width());
    }
    return need;
}

// The widest need among the fields that are shown with a unit button.
int FormNeed(const QList<TFMU2Custom*>& fields) {
    int need = 0;
    for (TFMU2Custom* field : fields)
        if (field->isVisible() && field->UnitButton()->isVisible()) need = std::max(need, UnitNeed(field));
    return need;
}

QList<int> UnitWidths(const QList<TFMU2Custom*>& fields) {
    QList<int> widths;
    for (TFMU2Custom* field : fields)
        if (field->isVisible() && field->UnitButton()->isVisible()) widths << field->UnitButton()->width();
    return widths;
}

int VerticalCentre(const QWidget* widget, const QWidget* form) {
    return widget->mapTo(form, widget->rect().center()).y();
}

// The spin edit's parts share the edit's line: each as high as the edit (the two spin
// buttons together), none above or below it.
void CheckSpinEditLine(TFMU2SpinEdit* field, int lineHeight) {
    const QRect edit(field->Edit()->mapTo(field, QPoint()), field->Edit()->size());
    QCOMPARE(edit.height(), lineHeight);
    QCOMPARE(field->height(), lineHeight);
    QCOMPARE(field->TextRect(), edit);
    const QRect unit = field->UnitButton()->geometry();
    QCOMPARE(unit.top(), edit.top());
    QCOMPARE(unit.height(), edit.height());
    if (field->ReadOnly()) {
        QVERIFY(!field->UpButton()->isVisible());
        return;
    }
    const QRect up(field->UpButton()->mapTo(field, QPoint()), field->UpButton()->size());
    const QRect down(field->DownButton()->mapTo(field, QPoint()), field->DownButton()->size());
    QCOMPARE(up.top(), edit.top());
    QCOMPARE(down.top(), up.bottom() + 1);
    QCOMPARE(down.bottom(), edit.bottom());
    QVERIFY(std::abs(up.height() - down.height()) <= 1);
    QCOMPARE(up.left(), down.left());
}

void CheckPanelLine(TFMU2Panel* panel, int lineHeight) {
    QCOMPARE(panel->Panel()->height(), lineHeight);
    QCOMPARE(panel->height(), lineHeight);
    QCOMPARE(panel->UnitButton()->height(), lineHeight);
    QCOMPARE(panel->UnitButton()->y(), panel->Panel()->y());
}

} // namespace

class FieldsLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The scaled run must really be scaled.
        if (qEnvironmentVariable("QT_SCALE_FACTOR") == "1.5") {
            QWidget probe;
            Show(probe);
            QCOMPARE(probe.devicePixelRatioF(), 1.5);
        }
    }

    void everyPartIsOneLineHigh() {
        QWidget form;
        auto* layout = new QFormLayout(&form);
        auto* mass = MakeField<TFMU2SpinEdit>(&form, cNU_mass, cUM_kg, cUM_lb, 2.5);
        auto* left = MakeField<TFMU2SpinEdit>(&form, cNU_length, cUM_mm, cUM_in, 0.4);
        left->SetAlignMU(aMULeft);
        auto* shown = MakeField<TFMU2SpinEdit>(&form, cNU_pressure, cUM_bar, cUM_psi, 6e5);
        shown->SetReadOnly(true);
        auto* force = MakeField<TFMU2Panel>(&form, CNU_force, cUM_N, cUM_lbf, 24.5);
        auto* plain = new QLineEdit(&form);
        layout->addRow("Mass", mass);
        layout->addRow("Length", left);
        layout->addRow("Pressure", shown);
        layout->addRow("Force", force);
        layout->addRow("Plain", plain);
        Show(form);

        // The height of every line is that of the plain line edit beside the fields.
        const int line = plain->height();
        QCOMPARE(line, LineEditHeight(&form));
        for (TFMU2SpinEdit* field : {mass, left, shown}) CheckSpinEditLine(field, line);
        CheckPanelLine(force, line);
        // The unit button left of the spin buttons is on the line as well.
        QVERIFY(left->UnitButton()->x() < left->UpButton()->mapTo(left, QPoint()).x());

        // A larger font: every part grows with the edit.
        QFont big = form.font();
        big.setPointSizeF(big.pointSizeF() * 2);
        form.setFont(big);
        QTRY_VERIFY(plain->height() > line);
        const int bigLine = LineEditHeight(&form);
        QTRY_COMPARE(plain->height(), bigLine);
        QTRY_COMPARE(mass->height(), bigLine);
        for (TFMU2SpinEdit* field : {mass, left, shown}) CheckSpinEditLine(field, bigLine);
        CheckPanelLine(force, bigLine);
        // The read-only field gets its spin buttons back on the same line.
        shown->SetReadOnly(false);
        QTRY_VERIFY(shown->UpButton()->isVisible());
        CheckSpinEditLine(shown, bigLine);
    }

    void labelsSitOnTheEditsLine() {
        QWidget form;
        auto* column = new QVBoxLayout(&form);
        auto* rows = new QFormLayout;
        auto* grid = new QGridLayout;
        column->addLayout(rows);
        column->addLayout(grid);
        QList<QPair<QLabel*, TFMU2Custom*>> pairs;
        auto* mass = MakeField<TFMU2SpinEdit>(&form, cNU_mass, cUM_kg, cUM_lb, 2.5);
        auto* force = MakeField<TFMU2Panel>(&form, CNU_force, cUM_N, cUM_lbf, 24.5);
        pairs << qMakePair(FieldLabel("~Mass", mass), static_cast<TFMU2Custom*>(mass))
              << qMakePair(FieldLabel("Weight force", force), static_cast<TFMU2Custom*>(force));
        rows->addRow(pairs[0].first, mass);
        rows->addRow(pairs[1].first, force);
        // Plain labels in a grid row with a field sit on the line just as well.
        auto* length = MakeField<TFMU2SpinEdit>(&form, cNU_length, cUM_mm, cUM_in, 0.4);
        auto* lengthLabel = new QLabel("Length", &form);
        grid->addWidget(lengthLabel, 0, 0);
        grid->addWidget(length, 0, 1);
        pairs << qMakePair(lengthLabel, static_cast<TFMU2Custom*>(length));
        Show(form);

        for (const auto& [label, field] : pairs) {
            const QWidget* text = qobject_cast<TFMU2SpinEdit*>(field)
                                      ? static_cast<QWidget*>(static_cast<TFMU2SpinEdit*>(field)->Edit())
                                      : static_cast<QWidget*>(static_cast<TFMU2Panel*>(field)->Panel());
            const int edit = VerticalCentre(text, &form);
            QVERIFY2(std::abs(VerticalCentre(label, &form) - edit) <= 1, qPrintable(label->text()));
            QVERIFY(label->alignment() & Qt::AlignVCenter);
            QCOMPARE(TextLineCentre(field, &form), edit);
        }
        // The label's mnemonic goes to the field, whose edit takes the focus.
        QCOMPARE(pairs[0].first->buddy(), static_cast<QWidget*>(mass));
        QCOMPARE(mass->focusProxy(), static_cast<QWidget*>(mass->Edit()));
    }

    void unitButtonsHaveOneWidthPerForm() {
        TCustomLanguageTable table;
        table.SetText("en", "~Mass", "Mass");
        table.SetText("ru", "~Mass", "Масса");
        QWidget form;
        auto* layout = new QFormLayout(&form);
        TLanguageForm language(&form);
        QList<TFMU2Custom*> fields;
        auto add = [&](TFMU2Custom* field, const char* label) {
            layout->addRow(FieldLabel(label, field), field);
            fields << field;
        };
        add(MakeField<TFMU2SpinEdit>(&form, cNU_mass, cUM_kg, cUM_lb, 2.5), "~Mass");
        add(MakeField<TFMU2SpinEdit>(&form, cNU_acceleration, cUM_m_s2, cUM_ft_s2, 9.8), "Acceleration");
        add(MakeField<TFMU2SpinEdit>(&form, cNU_length, cUM_mm, cUM_in, 0.4), "Length");
        add(MakeField<TFMU2SpinEdit>(&form, cNU_angle, cUM_deg, cUM_deg, 1.0), "Angle");
        add(MakeField<TFMU2Panel>(&form, CNU_force, cUM_N, cUM_lbf, 24.5), "Force");
        language.Loaded();
        TUnitButtonAligner* aligner = AlignUnitButtons(&form);
        QCOMPARE(AlignUnitButtons(&form), aligner);
        Show(form);

        auto check = [&](const char* when) {
            // The layout places the buttons once it had the new widths.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            const int need = FormNeed(fields);
            QVERIFY2(need >= 35, when);
            for (int width : UnitWidths(fields)) QCOMPARE(width, need);
            QCOMPARE(aligner->Width(), need);
            // With one width, the edits of the spin edits end at one line.
            int right = -1;
            for (TFMU2Custom* field : fields) {
                auto* spin = qobject_cast<TFMU2SpinEdit*>(field);
                if (!spin || !spin->isVisible()) continue;
                const int end = spin->Edit()->mapTo(&form, QPoint(spin->Edit()->width(), 0)).x();
                if (right < 0) right = end;
                QVERIFY2(end == right, when);
            }
        };
        // The fields' own needs differ; the form gives them the widest.
        QVERIFY(UnitNeed(fields[0]) != UnitNeed(fields[1]) || UnitNeed(fields[1]) != UnitNeed(fields[3]));
        check("built");

        SetSIUnitsAll(&form, false);
        QVERIFY(!fields[0]->SIUnits());
        check("US units");
        SetSIUnitsAll(&form, true);
        check("SI units");
        // Cycling through the units does not move the line.
        QTest::mouseClick(fields[2]->UnitButton(), Qt::LeftButton);
        check("next unit");

        language.LanguageDB().SetLanguage("ru");
        QCOMPARE(form.findChildren<QLabel*>().first()->text(), QString::fromUtf8("Масса"));
        check("Russian");
        language.LanguageDB().SetLanguage("en");
        check("English");

        // A field with a larger smallest width widens every button of the form.
        fields[3]->SetMUMinWidth(120);
        QCOMPARE(FormNeed(fields), 120);
        check("smallest width");
        // Hidden, it counts no more; shown again, it does.
        fields[3]->hide();
        QVERIFY(FormNeed(fields) < 120);
        check("field hidden");
        fields[3]->show();
        check("field shown");
        fields[3]->SetMUMinWidth(35);
        check("smallest width back");

        // A font change measures again.
        QFont big = form.font();
        big.setPointSizeF(big.pointSizeF() * 1.5);
        const int before = aligner->Width();
        form.setFont(big);
        QTRY_VERIFY(aligner->Width() > before);
        check("larger font");

        // A field made later joins at the next Align(); one without a unit counts nothing.
        auto* late = MakeField<TFMU2SpinEdit>(&form, cNU_length, cUM_mm, cUM_in, 0.1);
        late->SetMUMinWidth(200);
        layout->addRow("Late", late);
        auto* bare = MakeField<TFMU2Panel>(&form, cNU_NoUnit, cUM_NoUnit, cUM_NoUnit, 3);
        bare->SetMUMinWidth(400);
        layout->addRow("Count", bare);
        AlignUnitButtons(&form);
        fields << late << bare;
        QTRY_VERIFY(late->isVisible());
        QCOMPARE(FormNeed(fields), 200);
        check("late field");
        // A field that goes no longer counts.
        delete late;
        fields.removeAll(late);
        QTRY_COMPARE(aligner->Width(), FormNeed(fields));
        check("field deleted");
    }

    // Entry fields, read-only entry fields and panels in one form end at one line: every
    // field is as wide as the others, its unit button stands at the same place and is as
    // wide, and a panel's box reaches its unit button where an edit's spin buttons do. This
    // holds whether the form grows its fields or leaves them at their own width (as forms
    // under some styles do), at two widths of the window, and whatever number a panel shows.
    void aCountShowsNoBlankUnitButtonAndKeepsItsRoom() {
        QWidget form;
        auto* layout = new QFormLayout(&form);
        auto* count = MakeField<TFMU2SpinEdit>(&form, cNU_pieces, cUM_Stk, cUM_Stk, 3);
        auto* length = MakeField<TFMU2SpinEdit>(&form, cNU_length, cUM_mm, cUM_in, 0.4);
        layout->addRow("Count", count);
        layout->addRow("Length", length);
        AlignUnitButtons(&form);
        Show(form);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        // Pieces have no symbol: no empty box is shown for them ...
        QVERIFY(count->UnitButton()->text().isEmpty());
        QVERIFY(!count->UnitButton()->isVisible());
        QVERIFY(length->UnitButton()->isVisible());
        // ... and the count's edit and spin buttons end where the length's do.
        const auto end = [&](TFMU2SpinEdit* f) {
            return f->Edit()->mapTo(&form, QPoint(f->Edit()->width(), 0)).x();
        };
        QCOMPARE(end(count), end(length));
        // So does a plain number without a unit (a factor, a price).
        auto* factor = MakeField<TFMU2SpinEdit>(&form, cNU_NoUnit, cUM_NoUnit, cUM_NoUnit, 2);
        layout->addRow("Factor", factor);
        AlignUnitButtons(&form);
        QTRY_VERIFY(factor->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QVERIFY(!factor->UnitButton()->isVisible());
        QCOMPARE(end(factor), end(length));
        // A price shows its currency in that room, on a button as wide as the others that
        // takes no clicks and leaves the value alone; without the note the room is blank.
        factor->SetUnitNote("CHF");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QVERIFY(factor->UnitButton()->isVisible());
        QCOMPARE(factor->UnitButton()->text(), QString("CHF"));
        QCOMPARE(factor->UnitButton()->width(), length->UnitButton()->width());
        QCOMPARE(end(factor), end(length));
        QTest::mouseClick(factor->UnitButton(), Qt::LeftButton);
        QCOMPARE(factor->Value(), 2.0);
        QCOMPARE(factor->UnitButton()->text(), QString("CHF"));
        factor->SetUnitNote(QString());
        QVERIFY(!factor->UnitButton()->isVisible());
        // A note is for a field without a unit: a length keeps showing its unit.
        length->SetUnitNote("CHF");
        QCOMPARE(length->UnitButton()->text(), QString("mm"));
        // A quantity with a symbol keeps its button.
        count->SetNormUnit(cNU_length);
        QVERIFY(count->UnitButton()->isVisible());
        QVERIFY(!count->UnitButton()->text().isEmpty());
    }

    void panelsEndWhereEntryFieldsEnd() {
        for (const auto policy :
             {QFormLayout::FieldsStayAtSizeHint, QFormLayout::AllNonFixedFieldsGrow}) {
            const char* policyName =
                policy == QFormLayout::FieldsStayAtSizeHint ? "at size hint" : "grown";
            QWidget form;
            auto* layout = new QFormLayout(&form);
            layout->setFieldGrowthPolicy(policy);
            auto* mass = MakeField<TFMU2SpinEdit>(&form, cNU_mass, cUM_kg, cUM_lb, 2.5);
            auto* force = MakeField<TFMU2Panel>(&form, CNU_force, cUM_N, cUM_lbf, 24.5);
            auto* shown = MakeField<TFMU2SpinEdit>(&form, cNU_pressure, cUM_bar, cUM_psi, 6e5);
            shown->SetReadOnly(true);
            auto* large = MakeField<TFMU2Panel>(&form, CNU_force, cUM_N, cUM_lbf, 1234567.125);
            large->SetDecimals(3);
            const QList<TFMU2Custom*> fields{mass, force, shown, large};
            layout->addRow("Mass", mass);
            layout->addRow("Weight force", force);
            layout->addRow("Pressure", shown);
            layout->addRow("Largest force", large);
            TUnitButtonAligner* aligner = AlignUnitButtons(&form);
            Show(form);
            QVERIFY(force->DisplayText().size() < large->DisplayText().size());

            const int narrow = form.sizeHint().width();
            for (const int width : {narrow, narrow + 240}) {
                const QByteArray when = QByteArray(policyName) + " at " + QByteArray::number(width);
                form.resize(width, form.sizeHint().height());
                QTRY_COMPARE(form.width(), width);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

                const QToolButton* unit = mass->UnitButton();
                const int unitLeft = unit->mapToGlobal(QPoint(0, 0)).x();
                const int unitRight = unit->mapToGlobal(QPoint(unit->width(), 0)).x();
                const int fieldRight = mass->mapToGlobal(QPoint(mass->width(), 0)).x();
                QVERIFY2(unit->width() == aligner->Width(), when);
                // The edit ends where the spin buttons begin, and those where the unit does.
                const QWidget* up = mass->UpButton();
                QVERIFY2(mass->Edit()->mapToGlobal(QPoint(mass->Edit()->width(), 0)).x() ==
                             up->mapToGlobal(QPoint(0, 0)).x(),
                         when);
                QVERIFY2(up->mapToGlobal(QPoint(up->width(), 0)).x() == unitLeft, when);
                for (TFMU2Custom* field : fields) {
                    const QToolButton* button = field->UnitButton();
                    QVERIFY2(button->mapToGlobal(QPoint(0, 0)).x() == unitLeft, when);
                    QVERIFY2(button->mapToGlobal(QPoint(button->width(), 0)).x() == unitRight,
                             when);
                    QVERIFY2(field->mapToGlobal(QPoint(field->width(), 0)).x() == fieldRight, when);
                    QVERIFY2(field->mapToGlobal(QPoint(0, 0)).x() ==
                                 mass->mapToGlobal(QPoint(0, 0)).x(),
                             when);
                    QVERIFY2(field->height() == mass->height(), when);
                    QVERIFY2(button->height() == mass->height(), when);
                    // The text box (edit or panel) runs from the field's left edge; without
                    // spin buttons it reaches the unit button.
                    const QRect box = field->TextRect();
                    QVERIFY2(box.left() == 0, when);
                    if (field == mass) continue;
                    QVERIFY2(field->mapToGlobal(QPoint(box.left() + box.width(), 0)).x() ==
                                 unitLeft,
                             when);
                    QVERIFY2(box.height() == mass->TextRect().height(), when);
                }
            }
        }
    }

    // A panel as wide as an entry field still shows all of a number longer than an edit is
    // wide, also in a window made as small as it goes: a cut number would show its last
    // digits only.
    void aPanelShowsItsWholeNumber() {
        QWidget form;
        auto* layout = new QFormLayout(&form);
        auto* mass = MakeField<TFMU2SpinEdit>(&form, cNU_mass, cUM_kg, cUM_lb, 2.5);
        auto* force = MakeField<TFMU2Panel>(&form, CNU_force, cUM_N, cUM_lbf, 24.5);
        layout->addRow("Mass", mass);
        layout->addRow("Force", force);
        Show(form);
        form.resize(form.minimumSizeHint());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const int shortWidth = force->width();
        auto fits = [force] {
            const QLabel* box = force->Panel();
            return box->contentsRect().width() >=
                   box->fontMetrics().horizontalAdvance(force->DisplayText());
        };
        QVERIFY(fits());

        force->SetDecimals(9);
        force->SetValue(123456789012.5);
        // Far more digits than seventeen x are wide.
        QVERIFY(force->DisplayText().size() > 20);
        // The window grows to its new smallest size by itself.
        QTRY_VERIFY(force->width() > shortWidth);
        form.resize(form.minimumSizeHint());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QVERIFY(fits());
        // The entry field beside it follows to the same line.
        QCOMPARE(mass->mapTo(&form, QPoint(mass->width(), 0)).x(),
                 force->mapTo(&form, QPoint(force->width(), 0)).x());
    }

    void aWindowInsideTheFormKeepsItsOwnWidths() {
        QWidget form;
        auto* layout = new QVBoxLayout(&form);
        auto* mass = MakeField<TFMU2SpinEdit>(&form, cNU_mass, cUM_kg, cUM_lb, 2.5);
        layout->addWidget(mass);
        QDialog dialog(&form);
        new QVBoxLayout(&dialog);
        auto* wide = MakeField<TFMU2SpinEdit>(&dialog, cNU_length, cUM_mm, cUM_in, 0.4);
        dialog.layout()->addWidget(wide);
        wide->SetMUMinWidth(150);
        AlignUnitButtons(&form);
        Show(form);
        QCOMPARE(mass->UnitButton()->width(), UnitNeed(mass));
        QVERIFY(mass->UnitButton()->width() < 150);
        QCOMPARE(wide->UnitButton()->width(), 150);
    }
};

QTEST_MAIN(FieldsLayoutTest)
#include "fields_layout_test.moc"
