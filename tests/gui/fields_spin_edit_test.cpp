// The entry field driven as a user drives it: typing through the key filter, validity
// colours, spin buttons with auto-repeat, arrow keys and wheel, the increment menu, the
// read-only state and the change events.

#include "gui/fields/fmu2_spin_edit.h"

#include <memory>

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest>
#include <QClipboard>

class FieldsSpinEditTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> form_;
    TFMU2SpinEdit* field_ = nullptr;
    int changes_ = 0;
    int beeps_ = 0;
    int validChanges_ = 0;

    // A field on a shown form: quantity, unit and range, then the value.
    TFMU2SpinEdit& Make(TNormUnit quantity, TNUMessurement unit, double min, double max,
                        double value) {
        form_ = std::make_unique<QWidget>();
        auto* column = new QVBoxLayout(form_.get());
        field_ = new TFMU2SpinEdit(form_.get());
        column->addWidget(field_);
        field_->SetNormUnit(quantity);
        field_->SetPreferredSIUnit(unit);
        field_->SetValueMin(min);
        field_->SetValueMax(max);
        field_->SetValue(value);
        changes_ = beeps_ = validChanges_ = 0;
        field_->OnChange = [this](TFMU2Custom*) { ++changes_; };
        field_->OnBeep = [this](TFMU2Custom*) { ++beeps_; };
        field_->OnChangeValid = [this](TFMU2Custom*) { ++validChanges_; };
        form_->resize(240, 40);
        form_->show();
        form_->activateWindow();
        if (!QTest::qWaitForWindowExposed(form_.get())) qFatal("form not exposed");
        field_->Edit()->setFocus();
        return *field_;
    }

    QString Text() const { return field_->DisplayText(); }
    QColor TextColor() const { return field_->Edit()->palette().color(QPalette::Text); }
    QColor NormalTextColor() const { return field_->palette().color(QPalette::Text); }

    // Replaces the whole text the way a user does: select all, then type.
    void Retype(const QString& text) {
        QTest::keyClick(field_->Edit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field_->Edit(), text);
    }

    void Wheel(int angle) {
        const QPointF at = field_->Edit()->rect().center();
        QWheelEvent event(at, field_->Edit()->mapToGlobal(at), QPoint(), QPoint(0, angle),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(field_->Edit(), &event);
    }

    // What the windowing system delivers for a right click on `widget`.
    static void ContextClick(QWidget* widget) {
        const QPoint at = widget->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &event);
    }

    static QAction* Entry(QMenu* menu, const QString& caption) {
        for (QAction* action : menu->actions())
            if (action->text() == caption) return action;
        return nullptr;
    }

    static QStringList Checked(QMenu* menu) {
        QStringList on;
        for (QAction* action : menu->actions())
            if (action->isChecked()) on << action->text();
        return on;
    }

private slots:
    void cleanup() {
        form_.reset();
        field_ = nullptr;
    }

    void typingFiltersKeysAndTakesEveryReadableText() {
        Make(cNU_length, cUM_mm, 0, 0, 0.01);
        QCOMPARE(Text(), QString("10"));
        Retype("12a.5x");
        QCOMPARE(Text(), QString("12.5")); // the letters never reach the edit …
        QCOMPARE(beeps_, 2);               // … and each one beeps
        QCOMPARE(field_->Value(), 0.0125);
        // "1", "12", "12." and "12.5" each read, each is the value for a moment.
        QCOMPARE(changes_, 4);

        QTest::keyClick(field_->Edit(), Qt::Key_Return);
        QTest::keyClick(field_->Edit(), Qt::Key_Tab);
        field_->Edit()->clearFocus();
        QCOMPARE(Text(), QString("12.5"));
        QCOMPARE(field_->Value(), 0.0125);
        QCOMPARE(changes_, 4);
        QCOMPARE(beeps_, 2);

        QTest::keyClick(field_->Edit(), Qt::Key_End);
        QTest::keyClick(field_->Edit(), Qt::Key_Backspace);
        QTest::keyClick(field_->Edit(), Qt::Key_Backspace);
        QCOMPARE(Text(), QString("12"));
        QCOMPARE(field_->Value(), 0.012);
        QTest::keyClicks(field_->Edit(), " 3/8");
        QCOMPARE(Text(), QString("12 3/8"));
        QCOMPARE(field_->Value(), 0.012375);
        QVERIFY(field_->Valid());
    }

    void invalidColourForUnreadableAndOutOfRangeText() {
        Make(cNU_pressure, cUM_bar, 0.3e6, 0.7e6, 0.65e6);
        QCOMPARE(Text(), QString("6.5"));
        QCOMPARE(TextColor(), NormalTextColor());

        Retype("8");
        QCOMPARE(TextColor(), QColor(255, 0, 0));
        QVERIFY(field_->OutOfRange());
        QCOMPARE(field_->Value(), 0.65e6); // not taken
        QCOMPARE(changes_, 0);
        QCOMPARE(validChanges_, 1);
        QVERIFY(!field_->UpButton()->isEnabled());
        QVERIFY(field_->DownButton()->isEnabled());

        QTest::keyClick(field_->Edit(), Qt::Key_Backspace);
        QTest::keyClick(field_->Edit(), Qt::Key_6);
        QCOMPARE(TextColor(), NormalTextColor());
        QCOMPARE(field_->Value(), 0.6e6);
        QCOMPARE(validChanges_, 2);

        QTest::keyClick(field_->Edit(), Qt::Key_Slash);
        QCOMPARE(Text(), QString("6/"));
        QCOMPARE(TextColor(), QColor(255, 0, 0));
        QVERIFY(!field_->Valid() && !field_->OutOfRange());
        QVERIFY(!field_->UpButton()->isEnabled());
        QVERIFY(!field_->DownButton()->isEnabled());
        QVERIFY(!field_->UnitButton()->isEnabled());
        QCOMPARE(field_->Value(), 0.6e6);
        QTest::keyClick(field_->Edit(), Qt::Key_Up); // no spinning while unreadable
        QCOMPARE(Text(), QString("6/"));

        QTest::keyClick(field_->Edit(), Qt::Key_Backspace);
        QCOMPARE(TextColor(), NormalTextColor());
        QVERIFY(field_->UnitButton()->isEnabled());
        QCOMPARE(validChanges_, 4);

        // Another invalid colour is used from then on.
        field_->SetColorInvalid(QColor(0, 0, 200));
        Retype("0");
        QCOMPARE(TextColor(), QColor(0, 0, 200));
    }

    void spinButtonsArrowKeysAndWheelStepWithinTheRange() {
        Make(cNU_pressure, cUM_bar, 0.3e6, 0.7e6, 0.55e6);
        QTest::mouseClick(field_->UpButton(), Qt::LeftButton);
        QCOMPARE(Text(), QString("6.5"));
        QTest::mouseClick(field_->UpButton(), Qt::LeftButton);
        QCOMPARE(Text(), QString("7")); // stops at the maximum
        QCOMPARE(field_->Value(), 0.7e6);
        QVERIFY(!field_->UpButton()->isEnabled());
        QTest::mouseClick(field_->DownButton(), Qt::LeftButton);
        QCOMPARE(Text(), QString("6"));
        QCOMPARE(changes_, 3);

        QTest::keyClick(field_->Edit(), Qt::Key_Down);
        QCOMPARE(Text(), QString("5"));
        QTest::keyClick(field_->Edit(), Qt::Key_Up);
        QCOMPARE(Text(), QString("6"));

        Wheel(120); // forward: up
        QCOMPARE(Text(), QString("7"));
        Wheel(-240); // two notches back
        QCOMPARE(Text(), QString("5"));
        Wheel(60); // half notches add up
        QCOMPARE(Text(), QString("5"));
        Wheel(60);
        QCOMPARE(Text(), QString("6"));

        for (int i = 0; i < 5; ++i) QTest::keyClick(field_->Edit(), Qt::Key_Down);
        QCOMPARE(Text(), QString("3")); // raised to the minimum
        QCOMPARE(field_->Value(), 0.3e6);
        QVERIFY(!field_->DownButton()->isEnabled());
        QVERIFY(field_->UpButton()->isEnabled());
        QCOMPARE(beeps_, 0);
    }

    void heldSpinButtonRepeatsUntilReleased() {
        Make(cNU_length, cUM_mm, 0, 0, 0);
        field_->Edit()->clearFocus();
        QTest::mousePress(field_->UpButton(), Qt::LeftButton);
        QVERIFY(field_->Edit()->hasFocus()); // the press moves the focus to the edit
        QTRY_VERIFY(changes_ >= 3);
        QTest::mouseRelease(field_->UpButton(), Qt::LeftButton);
        const int spins = changes_;
        QTest::qWait(400);
        QCOMPARE(changes_, spins); // nothing after the release
        QCOMPARE(Text(), QString::number(spins));
        QCOMPARE(field_->Value(), spins * 0.001);
    }

    void incrementMenuChangesTheStep() {
        Make(cNU_length, cUM_mm, 0, 0, 0.01);
        QMenu* menu = field_->IncrementMenu();
        QCOMPARE(Checked(menu), QStringList{"1"});

        ContextClick(field_->DownButton());
        QTRY_VERIFY(menu->isVisible());
        QAction* half = Entry(menu, "0.5");
        QVERIFY(half);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(half).center());
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(field_->Increment(), 0.5);

        QTest::mouseClick(field_->UpButton(), Qt::LeftButton);
        QCOMPARE(Text(), QString("10.5"));
        QTest::keyClick(field_->Edit(), Qt::Key_Up);
        QCOMPARE(Text(), QString("11"));
        QCOMPARE(Checked(field_->IncrementMenu()), QStringList{"0.5"});

        // A list of increments per unit sets the step of the unit shown when it is
        // assigned.
        QStringList steps;
        for (int i = 0; i < QuantityUnitCount(cNU_length); ++i) steps << "1";
        steps[UnitById(cUM_mm).Index] = "5";
        steps[UnitById(cUM_in).Index] = "1/8";
        field_->SetIncrements(steps);
        QTest::mouseClick(field_->DownButton(), Qt::LeftButton);
        QCOMPARE(Text(), QString("6"));
        QCOMPARE(Checked(field_->IncrementMenu()), QStringList{"5"});
        field_->SelectUnitIndex(UnitById(cUM_in).Index);
        QCOMPARE(field_->Increment(), 5.0); // a unit switch keeps the step
        field_->SetIncrements(steps);
        QCOMPARE(field_->Increment(), 0.125);
        QCOMPARE(Checked(field_->IncrementMenu()), QStringList{});
    }

    void incrementChosenInTheMenuSurvivesAUnitRoundTrip() {
        Make(cNU_length, cUM_mm, 0, 0, 0.01);
        QStringList steps;
        for (int i = 0; i < QuantityUnitCount(cNU_length); ++i) steps << "2";
        field_->SetIncrements(steps);
        QCOMPARE(field_->Increment(), 2.0);

        QMenu* menu = field_->IncrementMenu();
        ContextClick(field_->UpButton());
        QTRY_VERIFY(menu->isVisible());
        QAction* tenth = Entry(menu, "0.1");
        QVERIFY(tenth);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(tenth).center());
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(field_->Increment(), 0.1);

        // mm → µm with the unit button, then back to mm through the unit menu.
        QTest::mouseClick(field_->UnitButton(), Qt::LeftButton);
        QCOMPARE(field_->UnitButton()->text(), QString::fromStdString(UnitById(cUM_micrometer).Symbol));
        QCOMPARE(Text(), QString("10000"));
        QMenu* units = field_->UnitMenu();
        ContextClick(field_->UnitButton());
        QTRY_VERIFY(units->isVisible());
        QAction* mm = Entry(units, "mm");
        QVERIFY(mm);
        QTest::mouseClick(units, Qt::LeftButton, {}, units->actionGeometry(mm).center());
        QTRY_VERIFY(!units->isVisible());
        QCOMPARE(field_->UnitButton()->text(), QString("mm"));

        QCOMPARE(field_->Increment(), 0.1);
        QCOMPARE(Checked(field_->IncrementMenu()), QStringList{"0.1"});
        QTest::mouseClick(field_->UpButton(), Qt::LeftButton);
        QCOMPARE(Text(), QString("10.1"));
        QCOMPARE(field_->Value(), 0.0101);
    }

    void readOnlyFieldHidesSpinButtonsAndTakesNoInput() {
        Make(cNU_length, cUM_mm, 0, 0, 0.01);
        const QColor writable = field_->Edit()->palette().color(QPalette::Base);
        QCOMPARE(writable, field_->palette().color(QPalette::Base));
        field_->SetReadOnly(true);
        QVERIFY(field_->Edit()->isReadOnly());
        QVERIFY(!field_->UpButton()->isVisible());
        QVERIFY(!field_->DownButton()->isVisible());
        QVERIFY(field_->palette().color(QPalette::Button) != writable);
        QCOMPARE(field_->Edit()->palette().color(QPalette::Base),
                 field_->palette().color(QPalette::Button));

        QTest::keyClicks(field_->Edit(), "5");
        QCOMPARE(changes_, 0); // no text reaches a read-only field
        QTest::keyClick(field_->Edit(), Qt::Key_Up);
        Wheel(-120);
        QCOMPARE(Text(), QString("10"));
        QCOMPARE(field_->Value(), 0.01);
        QCOMPARE(beeps_, 2); // the two spins
        // The value was set before, which requested a change; from then on every spin
        // raises the change event when it ends, also one that only beeps.
        QCOMPARE(changes_, 2);

        // The program still sets values.
        field_->SetValue(0.02);
        QCOMPARE(Text(), QString("20"));

        field_->SetReadOnly(false);
        QVERIFY(field_->UpButton()->isVisible());
        QCOMPARE(field_->Edit()->palette().color(QPalette::Base), writable);
        QTest::mouseClick(field_->UpButton(), Qt::LeftButton);
        QCOMPARE(Text(), QString("21"));
    }

    void keyFilterFollowsQuantityUnitAndEditor() {
        Make(cNU_pieces, cUM_Stk, 0, 0, 0);
        Retype("2.5");
        QCOMPARE(Text(), QString("25"));
        QCOMPARE(beeps_, 1);

        Make(cNU_temperature, cUM_Kelvin, 0, 400, 300);
        Retype("-");
        QCOMPARE(Text(), QString("300")); // the select-all stays, the minus is refused
        QCOMPARE(beeps_, 1);
        field_->SelectUnitIndex(UnitById(cUM_Celsius).Index);
        Retype("-10");
        QCOMPARE(Text(), QString("-10"));
        QCOMPARE(field_->Value(), 263.15);
        QCOMPARE(beeps_, 1);

        Make(cNU_length, cUM_mm, 0, 0, 0.004);
        field_->SetEditorEnabled(false);
        QTest::keyClick(field_->Edit(), Qt::Key_End);
        QTest::keyClicks(field_->Edit(), "7");
        QTest::keyClick(field_->Edit(), Qt::Key_Backspace);
        QTest::keyClick(field_->Edit(), Qt::Key_Home);
        QTest::keyClick(field_->Edit(), Qt::Key_Delete);
        QCOMPARE(Text(), QString("4"));
        QCOMPARE(beeps_, 3);
        QTest::mouseClick(field_->UpButton(), Qt::LeftButton); // spinning still works
        QCOMPARE(Text(), QString("5"));

        // Nor does the context menu change the text; copying stays possible.
        auto enabledOf = [](QMenu* menu, const char* name) {
            for (QAction* a : menu->actions())
                if (a->objectName() == name) return a->isEnabled() ? 1 : 0;
            return -1;
        };
        QApplication::clipboard()->setText("123");
        field_->Edit()->selectAll();
        std::unique_ptr<QMenu> menu(field_->Edit()->CreateContextMenu());
        QCOMPARE(enabledOf(menu.get(), "edit-paste"), 0);
        QCOMPARE(enabledOf(menu.get(), "edit-cut"), 0);
        QCOMPARE(enabledOf(menu.get(), "edit-copy"), 1);
        field_->SetEditorEnabled(true);
        menu.reset(field_->Edit()->CreateContextMenu());
        QCOMPARE(enabledOf(menu.get(), "edit-paste"), 1);
    }

    void changeEventOncePerUserChangeAndProgramSetValueOnlyWhenAsked() {
        Make(cNU_length, cUM_m, 0, 10, 2);
        field_->SetValue(3);
        QCOMPARE(changes_, 1);
        field_->SetChangeOnSetValue(false);
        field_->SetValue(4);
        QCOMPARE(changes_, 1);
        QCOMPARE(Text(), QString("4"));
        QCOMPARE(field_->Value(), 4.0);

        QTest::mouseClick(field_->UpButton(), Qt::LeftButton);
        QCOMPARE(changes_, 2);

        // The handler's own SetValue is ignored: the field keeps what the user typed.
        field_->OnChange = [this](TFMU2Custom* sender) {
            ++changes_;
            QCOMPARE(sender, static_cast<TFMU2Custom*>(field_));
            field_->SetValue(9);
        };
        Retype("7");
        QCOMPARE(changes_, 3);
        QCOMPARE(field_->Value(), 7.0);
        QCOMPARE(Text(), QString("7"));

        field_->setEnabled(false);
        QVERIFY(!field_->UpButton()->isEnabled());
        field_->SpinUp();
        QCOMPARE(field_->Value(), 7.0);
        field_->setEnabled(true);
        QVERIFY(field_->UpButton()->isEnabled());
        QCOMPARE(changes_, 3);
    }

    void fieldIsLiveBeforeItIsEverShown() {
        QWidget form;
        auto* field = new TFMU2SpinEdit(&form);
        QCOMPARE(field->UnitButton()->text(), QString("m")); // the unit from the start
        QCOMPARE(field->DisplayText(), QString("0"));
        field->SetNormUnit(cNU_length);
        field->SetPreferredSIUnit(cUM_mm);
        QCOMPARE(field->UnitButton()->text(), QString("mm"));
        QCOMPARE(field->UnitButton()->toolTip(), QString("1 mm = 0.001 m"));
        field->SetValueMin(0);
        field->SetValueMax(0.001);
        int changes = 0;
        field->OnChange = [&](TFMU2Custom*) { ++changes; };
        field->SetValue(0.0005);
        QCOMPARE(field->DisplayText(), QString("0.5"));
        QCOMPARE(field->Value(), 0.0005);
        QCOMPARE(changes, 1); // as a user's entry would

        // 3 mm into a field whose maximum is 1 mm: shown as it is, in the invalid colour,
        // and not taken; nothing happens to it later when the form appears.
        field->SetValue(0.003);
        QCOMPARE(field->DisplayText(), QString("3"));
        QVERIFY(field->OutOfRange());
        QCOMPARE(field->Edit()->palette().color(QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(field->Value(), 0.0005);
        QCOMPARE(changes, 1);
        // Within the tolerance of the maximum it becomes the maximum.
        field->SetValue(0.001 + 1e-10);
        QCOMPARE(field->Value(), 0.001);
        QCOMPARE(field->DisplayText(), QString("1"));
        QVERIFY(field->Valid());
        QCOMPARE(changes, 2);
        QVERIFY(!field->UpButton()->isEnabled()); // at the maximum
        QVERIFY(field->DownButton()->isEnabled());

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(field->DisplayText(), QString("1"));
        QCOMPARE(field->Value(), 0.001);
        QCOMPARE(changes, 2);
    }

    void computedValuesTravelAlongFieldsThatWereNeverShown() {
        // Three fields on a page that is never shown: a length, a width and the area the
        // two make; the area's change sets a doubled area into a fourth field.
        QWidget page;
        auto make = [&](TNormUnit quantity) {
            auto* f = new TFMU2SpinEdit(&page);
            f->SetNormUnit(quantity);
            return f;
        };
        TFMU2SpinEdit* length = make(cNU_length);
        TFMU2SpinEdit* width = make(cNU_length);
        TFMU2SpinEdit* area = make(cNU_area);
        TFMU2SpinEdit* twice = make(cNU_area);
        twice->SetValueMax(1.0); // 1 m²
        int twiceChanges = 0;
        auto compute = [&](TFMU2Custom*) { area->SetValue(length->Value() * width->Value()); };
        length->OnChange = compute;
        width->OnChange = compute;
        area->OnChange = [&](TFMU2Custom*) { twice->SetValue(2 * area->Value()); };
        twice->OnChange = [&](TFMU2Custom*) { ++twiceChanges; };
        length->SetValue(0.5);
        width->SetValue(0.4);
        QCOMPARE(area->Value(), 0.2);
        QCOMPARE(twice->Value(), 0.4);
        QCOMPARE(twice->DisplayText(), QString("0.4"));
        QCOMPARE(twiceChanges, 2); // once for each input
        width->SetValue(2.0); // area 1 m², twice 2 m²: over the maximum, not taken
        QCOMPARE(area->Value(), 1.0);
        QCOMPARE(twice->DisplayText(), QString("2"));
        QVERIFY(twice->OutOfRange());
        QCOMPARE(twice->Value(), 0.4);
        QCOMPARE(twiceChanges, 2);
        QVERIFY(!page.isVisible());
    }
};

QTEST_MAIN(FieldsSpinEditTest)
#include "fields_spin_edit_test.moc"
