// The report's PDF as a reader gets it, for every example project in English, Russian,
// Polish and Japanese:
// its text (extracted with pdftotext) holds the block titles of the language, a page number
// on every page, the project's evacuation time with three decimals and every order code and
// part number of the parts list; and its pages, turned into images with pdftoppm at a fixed
// resolution in the bundled font, look like the reference images in tests/data/report within
// a small tolerance (English and Russian). VACUUM_UPDATE_REFERENCES=1 writes the
// references anew (look at them before committing them).

#include "app/frame/form_main.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "app/platform/print_dialogs.h"
#include "app/report/report_commands.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "tests/app/main_window_harness.h"

#include <map>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <QtTest>

namespace {

class TFixedClock : public IClock {
public:
    QDateTime Now() const override { return QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53)); }
};

//! The texts of language keys in the catalogue's text sources: key -> language -> text.
std::map<QString, std::map<QString, QString>> SourceTexts() {
    QFile f(QString(VACUUM_SOURCE_DIR) + "/catalog/src/texts.tsv");
    std::map<QString, std::map<QString, QString>> texts;
    if (!f.open(QIODevice::ReadOnly)) return texts;
    QTextStream in(&f);
    QStringList header;
    while (!in.atEnd()) {
        const QStringList cells = in.readLine().split('\t');
        if (cells.value(0) == "Key") header = cells;
        if (!header.isEmpty() && cells.value(0).startsWith('~'))
            for (int i = 1; i < cells.size() && i < header.size(); ++i)
                texts[cells[0]][header[i]] = cells[i];
    }
    return texts;
}

//! Runs a tool; its standard output, or a null array when it did not run.
QByteArray Run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    QByteArray out = p.readAllStandardOutput();
    if (out.isNull()) out = "";
    return out;
}

QString WithoutBlanks(QString s) {
    return s.remove(QRegularExpression("\\s"));
}

//! The share of pixels whose grey differs by more than a quarter of the range.
double DifferingShare(const QImage& a, const QImage& b) {
    const QImage ga = a.convertToFormat(QImage::Format_Grayscale8);
    const QImage gb = b.convertToFormat(QImage::Format_Grayscale8);
    long differing = 0;
    for (int y = 0; y < ga.height(); ++y) {
        const uchar* ra = ga.constScanLine(y);
        const uchar* rb = gb.constScanLine(y);
        for (int x = 0; x < ga.width(); ++x) differing += std::abs(ra[x] - rb[x]) > 64;
    }
    return static_cast<double>(differing) / (static_cast<double>(ga.width()) * ga.height());
}

} // namespace

class ReportPdfTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    TFixedClock clock;
    std::map<QString, std::map<QString, QString>> texts = SourceTexts();

    void Start() { TMainWindowHarness::Start({.Clock = &clock}); }
    //! The example opened and walked to the parts list as a user would.
    void OpenOnPartsList(const QString& file) {
        Open(file);
        QVERIFY2(messages.Shown.empty(), qPrintable(file));
        while (app->Workflow.CurrentPage() < cmpPartsList) {
            const int before = app->Workflow.CurrentPage();
            frame->StepNext();
            QVERIFY2(app->Workflow.CurrentPage() > before,
                     qPrintable(QString("page %1 refused").arg(before)));
        }
    }
    QString Text(const char* key, const QString& language) {
        return texts[key][language].normalized(QString::NormalizationForm_KC);
    }

private slots:
    void initTestCase() {
        QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(),
                 "pdftotext is missing (scripts/install-deps.sh installs poppler-utils)");
        QVERIFY2(!QStandardPaths::findExecutable("pdftoppm").isEmpty(), "pdftoppm is missing");
        QVERIFY(!texts.empty());
    }
    void init() { Isolate(); }
    void cleanup() { Stop(); }

    static void ExamplesIn(std::initializer_list<const char*> languages) {
        QTest::addColumn<QString>("example");
        QTest::addColumn<QString>("language");
        for (const char* example : kExampleProjects)
            for (const char* language : languages)
                QTest::newRow(qPrintable(QString("%1 %2").arg(example, language)))
                    << QString(example) << QString(language);
    }
    void textOfEveryExample_data() { ExamplesIn({"en", "ru", "pl", "ja"}); }
    void textOfEveryExample() {
        QFETCH(QString, example);
        QFETCH(QString, language);
        Start();
        OpenOnPartsList(ExampleProject(qPrintable(example)));
        frame->SetLanguage(language.toStdString());
        const QString pdf = isolated->File("report.pdf");
        QVERIFY(frame->Report().WritePdf(pdf));
        // Compatibility forms (the CJK fonts map some ideographs to radicals) read as the
        // characters they stand for.
        const QString text = QString::fromUtf8(Run("pdftotext", {"-layout", pdf, "-"}))
                                 .normalized(QString::NormalizationForm_KC);
        QVERIFY2(!text.isEmpty(), "no text in the PDF");
        const QString flat = WithoutBlanks(text);

        for (const char* title : {"~Workpiece", "~Friction", "~SuctionCup", "~Tube",
                                  "~VenturiNozzle", "~EvacuationTime", "~Motion", "~Drive",
                                  "~PartsList"})
            QVERIFY2(text.contains(Text(title, language)), qPrintable(Text(title, language)));
        // "Page 1", "Page 2", ... at the foot of every page, one per page.
        const int pages = text.count('\f') + (text.endsWith('\f') ? 0 : 1);
        QVERIFY(pages >= 1);
        const QString page = Text("~Page%d", language);
        QVERIFY(page.contains("%d"));
        for (int n = 1; n <= pages; ++n)
            QVERIFY2(text.contains(QString(page).replace("%d", QString::number(n))),
                     qPrintable(QString("page number %1").arg(n)));
        QVERIFY(!text.contains(QString(page).replace("%d", QString::number(pages + 1))));
        // The evacuation time with three decimals, the generator's as the document holds it.
        const double time = app->Document.Venturi.Time;
        QVERIFY2(text.contains(QString::asprintf("%.3f s", time)) ||
                     text.contains(QString::asprintf("%.3f s", time).replace('.', ',')),
                 qPrintable(QString::asprintf("%.3f s", time)));
        // Every part of the list, the order codes whole once the line breaks are taken out.
        QVERIFY(app->PartsList.Rows() > 0);
        for (int r = 0; r < app->PartsList.Rows(); ++r) {
            const TPart& part = app->PartsList.Part(r);
            QVERIFY2(text.contains(QString::fromStdString(part.PartNo)), part.PartNo.c_str());
            QVERIFY2(flat.contains(WithoutBlanks(QString::fromStdString(part.OrderCode))),
                     part.OrderCode.c_str());
        }
        // The cup count of the design.
        QVERIFY(text.contains(Text("~Count", language)));
        // Japanese glyphs come from a CJK font, not as boxes of the Latin one.
        if (language == "ja")
            QVERIFY2(QString::fromUtf8(Run("pdffonts", {pdf})).contains("CJK"),
                     "the Japanese report embeds no CJK font");
    }

    void pagesLookLikeTheReferences_data() { ExamplesIn({"en", "ru"}); }
    void pagesLookLikeTheReferences() {
        QFETCH(QString, example);
        QFETCH(QString, language);
        Start();
        OpenOnPartsList(ExampleProject(qPrintable(example)));
        frame->SetLanguage(language.toStdString());
        const QString pdf = isolated->File("report.pdf");
        QVERIFY(frame->Report().WritePdf(pdf));
        const QString prefix = isolated->File("page");
        QVERIFY(!Run("pdftoppm", {"-r", "50", "-gray", "-png", pdf, prefix}).isNull());
        const QStringList shots = QDir(isolated->Path()).entryList({"page-*.png"}, QDir::Files,
                                                                   QDir::Name);
        QVERIFY(!shots.isEmpty());
        const QString references = QString(VACUUM_SOURCE_DIR) + "/tests/data/report";
        const bool update = qEnvironmentVariableIntValue("VACUUM_UPDATE_REFERENCES") == 1;
        for (int i = 0; i < shots.size(); ++i) {
            const QImage actual(isolated->File(shots[i]));
            const QString name = QString("%1_%2-%3.png")
                                     .arg(QFileInfo(example).completeBaseName(), language)
                                     .arg(i + 1);
            if (update) {
                QDir().mkpath(references);
                QVERIFY(actual.save(references + "/" + name));
                continue;
            }
            const QImage expected(references + "/" + name);
            QVERIFY2(!expected.isNull(), qPrintable("no reference " + name));
            QCOMPARE(actual.size(), expected.size());
            const double share = DifferingShare(actual, expected);
            if (share > 0.004) {
                const QString kept = QDir::temp().filePath("report_" + name);
                actual.save(kept);
                QFAIL(qPrintable(QString("%1 differs in %2 % of its pixels (kept as %3)")
                                     .arg(name).arg(share * 100, 0, 'f', 2).arg(kept)));
            }
        }
        if (!update) {
            // No reference page is missing from the report.
            const QString next = QString("%1_%2-%3.png")
                                     .arg(QFileInfo(example).completeBaseName(), language)
                                     .arg(shots.size() + 1);
            QVERIFY2(!QFile::exists(references + "/" + next), qPrintable(next + " has no page"));
        }
    }
};

QTEST_MAIN(ReportPdfTest)
#include "report_pdf_test.moc"
