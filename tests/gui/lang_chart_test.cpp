// The chart's unit captions follow the language of their window.

#include "core/lang/language_table.h"
#include "gui/chart/diagramm.h"
#include "gui/lang/language_form.h"

#include <QVBoxLayout>
#include <QtTest>

class LangChartTest : public QObject {
    Q_OBJECT

private slots:
    void unitCaptionsAreTranslated() {
        TCustomLanguageTable table;
        table.SetText("en", "~Vacuum", "Vacuum");
        table.SetText("de", "~Vacuum", "Vakuum");
        table.SetText("en", "~Time", "Time");
        table.SetText("de", "~Time", "Zeit");
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* chart = new TDiagramm(&window);
        layout->addWidget(chart);
        chart->SetYUnit("~Vacuum");
        chart->SetXUnit("~Time");
        chart->SetY2Unit("l/min");
        TLanguageForm language(&window);
        language.LanguageDB().SetLanguage("en");
        language.Loaded();
        QCOMPARE(chart->YUnit(), QString("Vacuum"));
        language.LanguageDB().SetLanguage("de");
        QCOMPARE(chart->YUnit(), QString("Vakuum"));
        QCOMPARE(chart->XUnit(), QString("Zeit"));
        QCOMPARE(chart->Y2Unit(), QString("l/min"));
        // The caption drawn is the translated one.
        QVERIFY(chart->Context().Caption(daY).contains("Vakuum"));
    }
};

QTEST_MAIN(LangChartTest)
#include "lang_chart_test.moc"
