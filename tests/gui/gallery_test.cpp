// The gallery on the bundled catalogue (Vacuum.dat and Vacuum.bin beside the test program):
// its controls are bound and work together.

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QMenu>
#include <QToolButton>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <cmath>

#include "app/gallery/gallery_window.h"
#include "core/data/orsik_connection.h"
#include "gui/chart/diagramm.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/lang/language_form.h"
#include "gui/table/str_table_controls.h"
#include "gui/table/string_table_grid.h"

class GalleryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TGalleryWindow> window;

    template <class T>
    T* Find(const QString& text = {}) const {
        for (T* w : window->findChildren<T*>())
            if (text.isEmpty() || w->property("text").toString() == text) return w;
        return nullptr;
    }

private slots:
    void init() {
        window = std::make_unique<TGalleryWindow>(TOrsikConnection::ProgramFolder() + "/Vacuum.dat");
        QVERIFY2(window->Active(), window->LastError().c_str());
        window->resize(1100, 760);
        window->show();
    }
    void cleanup() { window.reset(); }

    void filterListsNarrowTheGrid() {
        auto* grid = Find<TStringTableGrid>();
        QVERIFY(grid);
        const int all = grid->model()->rowCount();
        QVERIFY(all > 1000);
        TStrTableCoBox* series = nullptr;
        for (auto* box : window->findChildren<TStrTableCoBox*>())
            if (box->Model().FieldName() == "Group") series = box;
        QVERIFY(series);
        QCOMPARE(series->itemText(0), QString("No preference"));
        series->setCurrentIndex(1);
        emit series->activated(1);
        const int narrowed = grid->model()->rowCount();
        QVERIFY(narrowed > 0 && narrowed < all);
        series->setCurrentIndex(0);
        emit series->activated(0);
        QCOMPARE(grid->model()->rowCount(), all);
    }

    void aLanguageChangeRelabelsTabsListsAndCells() {
        QTabWidget* tabs = window->Tabs();
        QCOMPARE(tabs->tabText(0), QString("Suction cup"));
        window->Language().LanguageDB().SetLanguage("de");
        QCOMPARE(tabs->tabText(0), QString("Sauger"));
        auto* box = Find<TStrTableCoBox>();
        QCOMPARE(box->itemText(0), QString("Keine Vorgabe"));
        window->Language().LanguageDB().SetLanguage("en");
        QCOMPARE(box->itemText(0), QString("No preference"));
    }

    void fieldsComputeAndSwitchUnits() {
        window->ShowPage(2);
        TFMU2SpinEdit* mass = nullptr;
        for (auto* f : window->findChildren<TFMU2SpinEdit*>())
            if (f->NormUnit() == cNU_mass) mass = f;
        auto* force = Find<TFMU2Panel>();
        QVERIFY(mass && force);
        mass->SetValue(10.0);
        mass->Edit()->selectAll();
        QTest::keyClicks(mass->Edit(), "4");
        QCOMPARE(mass->Value(), 4.0);
        QVERIFY(std::abs(force->Value() - 4.0 * 9.80665) < 1e-9);
        auto* us = Find<QCheckBox>("US units in every field");
        QVERIFY(us);
        us->click();
        QVERIFY(!mass->SIUnits());
        QCOMPARE(mass->Value(), 4.0); // the stored value stays in kg
    }

    void theFieldsPageLinesUpInEveryLanguage() {
        window->ShowPage(2);
        QWidget* page = window->Tabs()->currentWidget();
        const QList<TFMU2Custom*> fields = page->findChildren<TFMU2Custom*>();
        QVERIFY(fields.size() >= 6);
        auto* layout = qobject_cast<QFormLayout*>(page->layout());
        QVERIFY(layout);
        for (const char* code : {"en", "ru", "en"}) {
            window->Language().LanguageDB().SetLanguage(code);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            // The widest unit of the page: a plain tool button shows each unit in this width.
            int need = 0;
            for (TFMU2Custom* field : fields)
                for (QAction* action : field->UnitMenu()->actions().mid(TFMU2Model::cUnitMenuFirstUnit))
                    if (action->isVisible()) {
                        QToolButton probe(page);
                        probe.setText(action->text());
                        need = std::max({need, probe.sizeHint().width(), field->MUMinWidth()});
                    }
            int line = -1;
            for (TFMU2Custom* field : fields) {
                QCOMPARE(field->UnitButton()->width(), need);
                QCOMPARE(field->UnitButton()->height(), field->height());
                if (line < 0) line = field->height();
                QCOMPARE(field->height(), line);
                // The label of the field's row on the text's line.
                auto* label = layout->labelForField(field);
                QVERIFY(label);
                const int text = field->mapTo(page, field->TextRect().center()).y();
                QVERIFY2(std::abs(label->mapTo(page, label->rect().center()).y() - text) <= 1, code);
            }
        }
    }

    void theChartDrawsCurvesAndTheBand() {
        const QImage image = window->Chart()->Render(QSize(600, 400));
        int blue = 0, grey = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c == QColor(Qt::blue)) ++blue;
                if (c == QColor(220, 220, 220)) ++grey;
            }
        QVERIFY(blue > 100);
        QVERIFY(grey > 1000);
    }
};

QTEST_MAIN(GalleryTest)
#include "gallery_test.moc"
