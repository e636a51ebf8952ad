// Many followers of one value field: the owner's handler and any number of signal
// connections hear every event, in that order; and the binding of a field to a document
// value, which shows the value on refresh and stores what changes, without storing back
// what it showed.

#include "gui/fields/field_binding.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"

#include <memory>

#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

void Show(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("window not exposed");
}

void Retype(TFMU2SpinEdit* field, const QString& text) {
    field->Edit()->setFocus();
    QTest::keyClick(field->Edit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field->Edit(), text);
}

TFMU2SpinEdit* LengthField(QWidget* parent) {
    auto* field = new TFMU2SpinEdit(parent);
    parent->layout()->addWidget(field);
    field->SetNormUnit(cNU_length);
    field->SetPreferredSIUnit(cUM_mm);
    field->SetPreferredUSUnit(cUM_in);
    field->SetValueMin(0);
    field->SetValueMax(1);
    return field;
}

} // namespace

class FieldsFollowersTest : public QObject {
    Q_OBJECT

private slots:
    void everyEventReachesTheOwnerAndThenEveryFollower() {
        QWidget page;
        new QVBoxLayout(&page);
        TFMU2SpinEdit* field = LengthField(&page);
        field->SetValue(0.1);
        QStringList calls;
        field->OnChange = [&](TFMU2Custom* sender) { calls << "page:" + sender->DisplayText(); };
        // The chart window and the report follow the same field.
        QWidget chart, report;
        connect(field, &TFMU2Custom::changed, &chart, [&] { calls << "chart:" + field->DisplayText(); });
        connect(field, &TFMU2Custom::changed, &report, [&] {
            calls << "report:" + field->DisplayText();
            field->SetValue(0.9); // ignored while the followers run, as during OnChange
        });
        Show(page);

        Retype(field, "25");
        QCOMPARE(calls, (QStringList{"page:2", "chart:2", "report:2", "page:25", "chart:25", "report:25"}));
        QCOMPARE(field->Value(), 0.025);
        calls.clear();
        QTest::mouseClick(field->UpButton(), Qt::LeftButton);
        QCOMPARE(calls, (QStringList{"page:26", "chart:26", "report:26"}));

        // A follower that goes away is no longer called.
        calls.clear();
        QTest::mouseClick(field->DownButton(), Qt::LeftButton);
        QCOMPARE(calls.size(), 3);
        calls.clear();
        {
            QWidget gone;
            connect(field, &TFMU2Custom::changed, &gone, [&] { calls << "gone"; });
        }
        field->SetValue(0.03);
        QCOMPARE(calls, (QStringList{"page:30", "chart:30", "report:30"}));

        // The unit system switch, validity and refused keys: the owner's handler, then the
        // signal.
        QStringList units;
        field->OnUnitChange = [&](TFMU2Custom*, bool si) { units << QString("page:%1").arg(si); };
        connect(field, &TFMU2Custom::unitChanged, &chart, [&](bool si) { units << QString("chart:%1").arg(si); });
        field->UnitMenu()->actions()[TFMU2Model::cUnitMenuUS]->trigger();
        QCOMPARE(units, (QStringList{"page:0", "chart:0"}));
        QCOMPARE(field->UnitButton()->text(), QString("in"));

        int ownerValid = 0, ownerBeeps = 0;
        field->OnChangeValid = [&](TFMU2Custom*) { ++ownerValid; };
        field->OnBeep = [&](TFMU2Custom*) { ++ownerBeeps; };
        QSignalSpy valid(field, &TFMU2Custom::validChanged);
        QSignalSpy beeps(field, &TFMU2Custom::beeped);
        Retype(field, "1/");
        QCOMPARE(ownerValid, 1);
        QCOMPARE(valid.count(), 1);
        QVERIFY(!field->Valid());
        QTest::keyClicks(field->Edit(), "x");
        QCOMPARE(ownerBeeps, 1);
        QCOMPARE(beeps.count(), 1);
    }

    void theDisplayFieldHasTheSameSignals() {
        QWidget page;
        new QVBoxLayout(&page);
        auto* panel = new TFMU2Panel(&page);
        panel->SetNormUnit(cNU_mass);
        QSignalSpy changes(panel, &TFMU2Custom::changed);
        QSignalSpy units(panel, &TFMU2Custom::unitChanged);
        panel->SetValue(2.0);
        QCOMPARE(changes.count(), 1);
        panel->SetSIUnits(false);
        QCOMPARE(units.count(), 1);
        QCOMPARE(units.at(0).at(0).toBool(), false);
        QCOMPARE(panel->Value(), 2.0);
    }

    void aBindingShowsTheDocumentValueAndStoresEveryChange() {
        struct TDocument {
            double Length = 0.25;
            double Width = 0.5;
        } doc;
        QWidget page;
        new QVBoxLayout(&page);
        TFMU2SpinEdit* field = LengthField(&page);
        int stores = 0;
        QPointer<TFieldBinding> binding = new TFieldBinding(
            field, [&] { return doc.Length; },
            [&](double x) {
                doc.Length = x;
                ++stores;
            });
        int pageChanges = 0;
        field->OnChange = [&](TFMU2Custom*) { ++pageChanges; };

        // Entering the page shows the document's value; nothing is stored back.
        binding->Refresh();
        QCOMPARE(field->DisplayText(), QString("250"));
        QCOMPARE(stores, 0);
        QCOMPARE(pageChanges, 1); // the page recomputes from it as from any change
        doc.Length = 0.3; // changed elsewhere (a project was loaded)
        binding->Refresh();
        QCOMPARE(field->DisplayText(), QString("300"));
        QCOMPARE(stores, 0);
        QCOMPARE(doc.Length, 0.3);

        // The user's entries are stored as they are typed.
        Show(page);
        Retype(field, "120");
        QCOMPARE(stores, 3); // "1", "12", "120"
        QCOMPARE(doc.Length, 0.12);
        QTest::mouseClick(field->UpButton(), Qt::LeftButton);
        QCOMPARE(doc.Length, 0.121);
        // A value computed into the field is stored too.
        field->SetValue(0.2);
        QCOMPARE(doc.Length, 0.2);
        QCOMPARE(stores, 5);
        // An entry the field does not take is not stored.
        Retype(field, "2000");
        QVERIFY(field->OutOfRange());
        QCOMPARE(doc.Length, 0.2);

        // A document value outside the field's range is shown as invalid; the field keeps
        // its value and the document keeps its own.
        doc.Length = 5;
        const int before = stores;
        binding->Refresh();
        QCOMPARE(field->DisplayText(), QString("5000"));
        QVERIFY(field->OutOfRange());
        QCOMPARE(doc.Length, 5.0);
        QCOMPARE(stores, before);

        // The short form binds a double.
        TFMU2SpinEdit* width = LengthField(&page);
        auto* widthBinding = new TFieldBinding(width, doc.Width);
        widthBinding->Refresh();
        QCOMPARE(width->DisplayText(), QString("500"));
        QCOMPARE(doc.Width, 0.5);
        QTest::mouseClick(width->DownButton(), Qt::LeftButton);
        QCOMPARE(doc.Width, 0.499);

        // The binding goes with its field.
        delete field;
        QVERIFY(binding.isNull());
    }
};

QTEST_MAIN(FieldsFollowersTest)
#include "fields_followers_test.moc"
