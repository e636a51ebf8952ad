// The printed report in the desktop program: the drawing commands land on the page where
// they say (frames, lines, texts at their top left corner, new pages), a value is printed
// as its field shows it (its unit), and the main window's "Print", "Print preview" and
// "Export PDF..." commands: inert before "Accept", the printer dialog's cancel prints
// nothing, printing and the preview draw every page of the report, the PDF goes where the
// file dialog says (with ".pdf" added), and a file that cannot be written is a message
// that names it.

#include "app/frame/form_main.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "app/platform/print_dialogs.h"
#include "app/report/report_commands.h"
#include "app/report/report_painter.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_panel.h"

#include <cmath>
#include "tests/app/main_window_harness.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QtTest>

namespace {

//! Answers the printer dialog from a script and sends every print to a PDF file, so that
//! what the printer got can be read back.
class TScriptedPrinting : public IPrintDialogs {
public:
    bool Accept = true;
    QString Output;
    int Chosen = 0, Previews = 0;

    bool ChoosePrinter(QPrinter& printer, QWidget*) override {
        ++Chosen;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Output);
        return Accept;
    }
    void Preview(QPrinter& printer, QWidget*, const std::function<void(QPrinter*)>& paint) override {
        ++Previews;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Output);
        paint(&printer);
    }
};

class TFixedClock : public IClock {
public:
    QDateTime Now() const override { return QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53)); }
};

QByteArray FileBytes(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

//! Pages of a PDF file, counted by its page objects.
int PdfPages(const QByteArray& pdf) {
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
        if (!pdf.mid(at, 12).endsWith('s')) ++pages;
    return pages;
}

bool Dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

int DarkIn(const QImage& image, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += Dark(image, x, y);
    return n;
}

} // namespace

class ReportTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    TScriptedPrinting printing;
    TFixedClock clock;

    void Start(bool accept) {
        TMainWindowHarness::Start({.Accept = accept, .Printing = &printing, .Clock = &clock});
    }
    void Open(const QString& file) {
        TMainWindowHarness::Open(file);
        QVERIFY2(messages.Shown.empty(), "the example was not opened");
        files = {};
    }
    //! The pages the report has on an A4 page at the printer's resolution.
    int ReportPages() {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(isolated->File("count.pdf"));
        return frame->Report().Output().Layout(printer).Pages;
    }

private slots:
    void init() {
        Isolate();
        printing = {};
        printing.Output = isolated->File("printed.pdf");
    }
    void cleanup() { Stop(); }

    void commandsAreDrawnWhereTheySay() {
        QImage image(1000, 1400, QImage::Format_RGB32);
        image.setDotsPerMeterX(3780); // 96 dpi: a pen of one pixel
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
        TReportLayout layout;
        using C = TReportCommand;
        layout.Commands = {{C::crRect, 100, 100, 900, 300, 1, ""},
                           {C::crLine, 100, 500, 900, 500, 1, ""},
                           {C::crText, 200, 700, 0, 0, 1, "MMMM"},
                           {C::crText, 200, 900, 0, 0, 2, "MMMM"},
                           {C::crNewPage, 0, 0, 0, 0, 1, ""},
                           {C::crLine, 100, 1200, 900, 1200, 1, ""}};
        layout.Pages = 2;
        const QFont font = ReportFont();
        int pages = 0;
        {
            QPainter painter(&image);
            QVERIFY(PaintReport(painter, layout, font, [&] { return ++pages, true; }));
        }
        QCOMPARE(pages, 1);
        // The frame: its four sides, nothing inside.
        QVERIFY(Dark(image, 500, 100) && Dark(image, 500, 300));
        QVERIFY(Dark(image, 100, 200) && Dark(image, 900, 200));
        QCOMPARE(DarkIn(image, QRect(102, 102, 797, 197)), 0);
        // The line, one pixel wide.
        QVERIFY(Dark(image, 500, 500));
        QVERIFY(!Dark(image, 500, 498) && !Dark(image, 500, 502));
        // A text starts at its top left corner: ink right of and below it, none left or above.
        const QFontMetrics metrics(font, &image);
        const int width = metrics.horizontalAdvance("MMMM");
        const int height = metrics.height();
        QVERIFY(DarkIn(image, QRect(200, 700, width, height)) > 20);
        QCOMPARE(DarkIn(image, QRect(150, 690, 48, height + 20)), 0);
        QCOMPARE(DarkIn(image, QRect(200, 660, width, 38)), 0);
        // The doubled font: its ink reaches twice as far.
        QVERIFY(DarkIn(image, QRect(200 + width + 10, 900, width - 20, 2 * height)) > 20);
        QCOMPARE(DarkIn(image, QRect(200 + width + 10, 700, width - 20, height)), 0);
        // After the new page.
        QVERIFY(Dark(image, 500, 1200));

        // A page that cannot be started ends the drawing there.
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            QVERIFY(!PaintReport(painter, layout, font, [] { return false; }));
        }
        QVERIFY(Dark(image, 500, 500));
        QVERIFY(!Dark(image, 500, 1200));
    }

    void aValueIsPrintedAsItsFieldShowsIt() {
        TFMU2Panel field;
        field.SetNormUnit(cNU_length);
        field.SetDecimals(2);
        field.SetValue(0.0254);
        const TReportFieldText fallback = [](const TReportValue&) { return std::string("fallback"); };
        for (int i = 0; i < field.Model().UnitCount(); ++i) {
            field.SelectUnitIndex(i);
            if (field.Model().UnitCaption() == "in") break;
        }
        QCOMPARE(QString::fromStdString(field.Model().UnitCaption()), QString("in"));
        const std::string inch =
            TReportOutput::FieldText(&field, {"SpinEditLaenge", cNU_length, 0.0254}, fallback);
        QCOMPARE(QString::fromStdString(inch), QString("1.00 in"));
        // A field of another quantity, or none, is not asked.
        QCOMPARE(TReportOutput::FieldText(&field, {"x", cNU_mass, 1.0}, fallback), std::string("fallback"));
        QCOMPARE(TReportOutput::FieldText(nullptr, {"x", cNU_length, 1.0}, fallback), std::string("fallback"));
    }

    void theReportPrintsTheUnitsTheFieldsShow() {
        Start(true);
        Open(ExampleProject("glass_plate_rotary.vac"));
        auto texts = [&] {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(isolated->File("count.pdf"));
            QStringList all;
            for (const TReportCommand& c : frame->Report().Output().Layout(printer).Commands)
                if (c.Op == TReportCommand::crText) all << QString::fromStdString(c.Text);
            return all.join('\n');
        };
        // The plate is 500 mm long: in millimetres, then in inches once the fields show US units.
        QVERIFY(texts().contains("Length (X) 500 mm"));
        SetSIUnitsAll(frame.get(), false);
        TFMU2Custom* length = frame->FieldNamed("SpinEditLaenge");
        QVERIFY(length);
        QCOMPARE(QString::fromStdString(length->Model().UnitCaption()), QString("in"));
        const QString report = texts();
        QVERIFY2(report.contains("Length (X) " + length->DisplayText().trimmed() + " in"),
                 qPrintable(report));
        QVERIFY(!report.contains("Length (X) 500 mm"));
        QVERIFY(std::fabs(length->DisplayText().toDouble() - 500.0 / 25.4) < 0.01);
    }

    void commandsWaitForTheDisclaimer() {
        Start(false);
        for (const char* name : {"ActionPrint", "ActionPrintPreview", "ActionExportPDF"}) {
            QVERIFY2(!frame->Action(name)->isEnabled(), name);
            frame->Action(name)->trigger();
        }
        QVERIFY(!frame->Report().Print());
        QCOMPARE(printing.Chosen, 0);
        QCOMPARE(printing.Previews, 0);
        QVERIFY(files.Captions.isEmpty());
        QVERIFY(!QFile::exists(printing.Output));
    }

    void printingAndPreviewDrawEveryPage() {
        Start(true);
        Open(ExampleProject("glass_plate_rotary.vac"));
        for (const char* name : {"ActionPrint", "ActionPrintPreview", "ActionExportPDF"})
            QVERIFY2(frame->Action(name)->isEnabled(), name);
        const int pages = ReportPages();
        QVERIFY(pages >= 1);

        printing.Accept = false;
        frame->Action("ActionPrint")->trigger();
        QCOMPARE(printing.Chosen, 1);
        QVERIFY(!QFile::exists(printing.Output));

        printing.Accept = true;
        frame->Action("ActionPrint")->trigger();
        QCOMPARE(printing.Chosen, 2);
        QByteArray pdf = FileBytes(printing.Output);
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(PdfPages(pdf), pages);
        QVERIFY(messages.Shown.empty());

        QFile::remove(printing.Output);
        frame->Action("ActionPrintPreview")->trigger();
        QCOMPARE(printing.Previews, 1);
        pdf = FileBytes(printing.Output);
        QCOMPARE(PdfPages(pdf), pages);
    }

    void exportWritesWhereTheDialogSays() {
        Start(true);
        Open(ExampleProject("steel_sheet_linear.vac"));
        files.Names.push_back(isolated->File("sheet report"));
        frame->Action("ActionExportPDF")->trigger();
        QCOMPARE(files.Captions.size(), 1);
        // The dialog starts beside the project, named after it, offering PDF files.
        QCOMPARE(files.Starts.at(0), ExampleProject("steel_sheet_linear.pdf"));
        QVERIFY(files.Filters.at(0).contains("*.pdf"));
        const QByteArray pdf = FileBytes(isolated->File("sheet report.pdf"));
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(PdfPages(pdf), ReportPages());
        QVERIFY(messages.Shown.empty());

        // A cancelled dialog writes nothing.
        frame->Action("ActionExportPDF")->trigger();
        QCOMPARE(files.Captions.size(), 2);
        QVERIFY(messages.Shown.empty());

        // A folder that is not there: one message naming the file, nothing written.
        const QString bad = isolated->File("missing/folder/r.pdf");
        files.Names.push_back(bad);
        frame->Action("ActionExportPDF")->trigger();
        QCOMPARE(messages.Shown.size(), size_t(1));
        QVERIFY(messages.Shown[0].Text.contains(bad));
        QVERIFY(messages.Shown[0].Text.contains("could not be written"));
        QVERIFY(!QFile::exists(bad));
    }
};

QTEST_MAIN(ReportTest)
#include "report_test.moc"
