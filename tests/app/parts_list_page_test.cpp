// The parts list page in the main window on the bundled catalogue: every example project is
// walked to the page as a user would, and the grid shows the parts the batch design lists for
// the same project (part numbers, order codes, descriptions in the window's language,
// quantities with their units, packaging units); the order file and the CSV export saved from
// the page through the file dialogs are byte for byte the files the batch design writes, and
// their lines have the fields of the order formats; the order file's button is there only
// when the ordering system asked for it, its dialog starts where the ordering system said; a
// file that cannot be written is a message naming it and leaves an existing file as it was;
// the online shop's basket form is written and handed to the browser; the page fits the
// window in English and Russian.

#include "app/frame/form_main.h"
#include "app/frame/page_navigator.h"
#include "app/dialogs/shop/form_browser.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "app/pages/parts_list/parts_list_page.h"
#include "app/platform/url_opener.h"
#include "cli/design.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "gui/table/string_table_grid.h"
#include "tests/app/main_window_harness.h"

#include <map>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextStream>
#include <QToolButton>
#include <QtTest>

namespace {

QByteArray FileBytes(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

//! What the batch design of a project prints, by result path.
struct TBatchDesign {
    std::map<QString, QString> Values;
    TDesignOutcome Outcome;

    explicit TBatchDesign(const QString& project, const QString& erp = {},
                          const QString& plant = {}, const QString& csv = {},
                          const QString& shop = {}) {
        TDesignOptions o;
        o.Project = project.toStdString();
        o.ErpFile = erp.toStdString();
        o.PlantCode = plant.toStdString();
        o.CsvFile = csv.toStdString();
        o.ShopFile = shop.toStdString();
        Outcome = RunDesign(o);
        for (const QString& line : QString::fromStdString(Outcome.Out).split('\n')) {
            const int tab = line.indexOf('\t');
            if (tab > 0) Values[line.left(tab)] = line.mid(tab + 1);
        }
    }
    QString Part(int i, const char* field) const {
        const auto it = Values.find(QString("parts_list.%1.%2").arg(i).arg(field));
        return it == Values.end() ? QString() : it->second;
    }
    int Parts() const {
        int n = 0;
        while (!Part(n, "part_no").isEmpty()) ++n;
        return n;
    }
};

//! The texts of a language key in the text sources of the catalogue, by language code.
std::map<QString, QString> SourceTexts(const QString& english) {
    QFile f(QString(VACUUM_SOURCE_DIR) + "/catalog/src/texts.tsv");
    std::map<QString, QString> texts;
    if (!f.open(QIODevice::ReadOnly)) return texts;
    QTextStream in(&f);
    QStringList header;
    while (!in.atEnd()) {
        const QStringList cells = in.readLine().split('\t');
        if (cells.value(0) == "Key") header = cells;
        if (cells.size() > 1 && cells[1] == english)
            for (int i = 1; i < cells.size() && i < header.size(); ++i) texts[header[i]] = cells[i];
    }
    return texts;
}

// Data columns of the grid (grid column 0 is the row number).
constexpr int kPartNoCol = 0;
constexpr int kOrderCodeCol = 1;
constexpr int kDescriptionCol = 2;
constexpr int kLengthCol = 3;
constexpr int kQuantityCol = 4;
constexpr int kPackageCol = 5;

} // namespace

class PartsListPageTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    TUrlRecorder urls;

    TPartsListPage* Page() const {
        return dynamic_cast<TPartsListPage*>(frame->Page(cmpPartsList));
    }
    TStringTableGrid* Grid() const { return Page()->Grid(); }
    QString Cell(int row, int col) const { return GridCell(Grid(), row, col); }
    int GridRows() const { return GridRowCount(Grid()); }

    //! The main window as the program builds it, started with these arguments, the
    //! disclaimer accepted.
    void Start(const std::vector<std::string>& arguments = {}) {
        TMainWindowHarness::Start({.Arguments = arguments, .Urls = &urls});
    }
    void OpenOnPage(const QString& file) { TMainWindowHarness::OpenOnPage(file, cmpPartsList); }
    //! Presses a button of the page with the dialog answering `name`.
    void Press(QPushButton* button, const QString& name) {
        files.Names.push_back(name);
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

private slots:
    void init() {
        Isolate();
        urls = {};
    }
    void cleanup() { Stop(); }

    void theGridShowsThePartsOfEveryExample() {
        Start();
        for (const char* example : kExampleProjects) {
            const QString project = ExampleProject(example);
            const TBatchDesign batch(project);
            QCOMPARE(batch.Outcome.Status, 0);
            QVERIFY(batch.Parts() >= 3); // tube, suction cups and generator at least
            OpenOnPage(project);
            QCOMPARE(GridRows(), batch.Parts());
            for (int i = 0; i < batch.Parts(); ++i) {
                QCOMPARE(Cell(i, kPartNoCol), batch.Part(i, "part_no"));
                QCOMPARE(Cell(i, kOrderCodeCol), batch.Part(i, "order_code"));
                QCOMPARE(Cell(i, kDescriptionCol), batch.Part(i, "description"));
                // The assembled parts are never cut to length.
                QCOMPARE(Cell(i, kLengthCol), QString());
                // Pieces read as the number, metres with a lower-case "m" after it.
                const QString unit = batch.Part(i, "unit") == "M" ? " m" : "";
                QCOMPARE(Cell(i, kQuantityCol).trimmed(), batch.Part(i, "quantity") + unit);
                QCOMPARE(Cell(i, kPackageCol).trimmed(), batch.Part(i, "package") + unit);
                QCOMPARE(Cell(i, kQuantityCol).size(), 5 + unit.size());
                const QModelIndex quantity = Grid()->model()->index(i, kQuantityCol);
                QVERIFY(quantity.data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                        Qt::AlignRight);
            }
            QVERIFY(Page()->NotesLabel()->isHidden());
        }
        // The titles of the grid's columns.
        QCOMPARE(Grid()->model()->headerData(kPartNoCol, Qt::Horizontal).toString(),
                 QString("Part no."));
        QCOMPARE(Grid()->model()->headerData(kQuantityCol, Qt::Horizontal).toString(),
                 QString("Quantity"));
    }

    void aLanguageChangeReassemblesTheList() {
        Start();
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        std::vector<std::map<QString, QString>> texts;
        for (int r = 0; r < GridRows(); ++r) {
            texts.push_back(SourceTexts(Cell(r, kDescriptionCol)));
            QVERIFY2(texts.back().count("ru"), qPrintable(Cell(r, kDescriptionCol)));
        }
        frame->SetLanguage("ru");
        QCoreApplication::processEvents();
        for (int r = 0; r < GridRows(); ++r) QCOMPARE(Cell(r, kDescriptionCol), texts[r]["ru"]);
        QCOMPARE(Grid()->model()->headerData(kPartNoCol, Qt::Horizontal).toString(),
                 QString("Артикул"));
        QCOMPARE(Page()->ExportCsvButton()->text(), QString("Экспорт в CSV..."));
        // The list is made anew, not only retranslated: a list emptied behind the page's
        // back is whole again after the next language change.
        const int rows = GridRows();
        app->PartsList.Clear();
        QCoreApplication::processEvents();
        QCOMPARE(GridRows(), 0);
        frame->SetLanguage("de");
        QCoreApplication::processEvents();
        QCOMPARE(GridRows(), rows);
        for (int r = 0; r < GridRows(); ++r) QCOMPARE(Cell(r, kDescriptionCol), texts[r]["de"]);
    }

    void theOrderFileButtonIsThereOnlyForTheOrderingSystem() {
        Start();
        OpenOnPage(ExampleProject("steel_sheet_linear.vac"));
        QVERIFY(Page()->SaveOrderButton()->isHidden());
        QVERIFY(Page()->ExportCsvButton()->isVisible());
        QVERIFY(Page()->ShopButton()->isVisible());
        files = {};
        QVERIFY(!Page()->SaveOrderFile()); // and the command does nothing without it
        QVERIFY(files.Captions.isEmpty());
        // Any letter case of the switch.
        Start({"/sap"});
        OpenOnPage(ExampleProject("steel_sheet_linear.vac"));
        QVERIFY(Page()->SaveOrderButton()->isVisible());
        QCOMPARE(Page()->SaveOrderButton()->text(), QString("Save order file..."));
    }

    void theSavedFilesAreTheBatchDesignsFiles() {
        const QString orders = isolated->File("orders");
        QVERIFY(QDir().mkpath(orders));
        Start({"/SAP", "/WERK=W100", "/PFAD=" + orders.toStdString(), "/FILE=gripper7"});
        for (const char* example : kExampleProjects) {
            const QString project = ExampleProject(example);
            const QString erp = isolated->File(QString("batch_%1.txt").arg(example));
            const QString csv = isolated->File(QString("batch_%1.csv").arg(example));
            const TBatchDesign batch(project, erp, "W100", csv);
            QCOMPARE(batch.Outcome.Status, 0);
            OpenOnPage(project);

            // The order file: its dialog starts in the ordering system's folder with its
            // name; a name without extension gets ".txt".
            files = {};
            const QString saved = orders + "/" + QString(example).section('.', 0, 0);
            Press(Page()->SaveOrderButton(), saved);
            QCOMPARE(files.Starts.value(0), orders + "/gripper7.txt");
            QCOMPARE(files.Captions.value(0), QString("Parts list"));
            QVERIFY(files.Filters.value(0).contains("*.txt"));
            QVERIFY(messages.Shown.empty());
            const QByteArray erpBytes = FileBytes(saved + ".txt");
            QVERIFY(!erpBytes.isEmpty());
            QCOMPARE(erpBytes, FileBytes(erp));
            // One line per part: plant code, 0, position, part number, "Orsik", order code,
            // 0, quantity, unit, 0, 0, X, X, length.
            const QList<QByteArray> lines = erpBytes.split('\n');
            QCOMPARE(lines.size(), batch.Parts() + 1);
            QVERIFY(lines.last().isEmpty());
            for (int i = 0; i < batch.Parts(); ++i) {
                const QString expected = QStringList{"W100",
                                                     "0",
                                                     QString::number(i + 1),
                                                     batch.Part(i, "part_no"),
                                                     "Orsik",
                                                     batch.Part(i, "order_code"),
                                                     "0",
                                                     batch.Part(i, "quantity"),
                                                     batch.Part(i, "unit"),
                                                     "0",
                                                     "0",
                                                     "X",
                                                     "X",
                                                     "0"}
                                             .join('\t') +
                                         "\r";
                QCOMPARE(QString::fromLatin1(lines[i]), expected);
            }

            // The CSV export starts in the documents folder.
            files = {};
            const QString csvSaved = orders + "/" + QString(example).section('.', 0, 0) + ".csv";
            Press(Page()->ExportCsvButton(), csvSaved);
            QCOMPARE(files.Starts.value(0), QString::fromStdString(settings->DocumentsFolder()));
            QVERIFY(files.Filters.value(0).contains("*.csv"));
            QVERIFY(messages.Shown.empty());
            const QByteArray csvBytes = FileBytes(csvSaved);
            QCOMPARE(csvBytes, FileBytes(csv));
            const QList<QByteArray> rows = csvBytes.split('\n');
            QCOMPARE(rows.value(0),
                     QByteArray("Position;Teile Nr.;Menge;Ihre Teilenummer;Bestellcode 1;"
                                "Bestellcode 2;x-Hub;\r"));
            QCOMPARE(QString::fromLatin1(rows.value(2)),
                     QString("2;%1;%2;;%3;;;\r")
                         .arg(batch.Part(1, "part_no"), batch.Part(1, "quantity"),
                              batch.Part(1, "order_code")));
        }
        // A cancelled dialog writes nothing.
        const int before = QDir(orders).entryList(QDir::Files).size();
        Press(Page()->ExportCsvButton(), QString());
        Press(Page()->SaveOrderButton(), QString());
        QCOMPARE(QDir(orders).entryList(QDir::Files).size(), before);
        QVERIFY(messages.Shown.empty());

        // Without /PFAD= and /FILE= the order file's dialog starts in the documents folder
        // with the name "Vacuum.txt", and an empty plant code leaves the first field empty.
        Start({"/SAP"});
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        files = {};
        Press(Page()->SaveOrderButton(), orders + "/plain.txt");
        QCOMPARE(files.Starts.value(0),
                 QDir(QString::fromStdString(settings->DocumentsFolder())).filePath("Vacuum.txt"));
        QVERIFY(FileBytes(orders + "/plain.txt").startsWith("\t0\t1\t"));
    }

    void aFileThatCannotBeWrittenIsAMessageNamingIt() {
        Start({"/SAP", "/WERK=1"});
        OpenOnPage(ExampleProject("aluminium_block_servo.vac"));
        // A folder that does not exist.
        const QString missing = isolated->File("no such folder/list.csv");
        Press(Page()->ExportCsvButton(), missing);
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Caption, QString("Error"));
        QVERIFY(messages.Shown[0].Text.startsWith("The file could not be written."));
        QVERIFY2(messages.Shown[0].Text.contains(missing), qPrintable(messages.Shown[0].Text));
        QVERIFY(!QFile::exists(missing));

        // A folder of that name is no file to replace: it stays, with what it holds.
        const QString folder = isolated->File("taken.txt");
        QVERIFY(QDir().mkpath(folder + "/inside"));
        Press(Page()->SaveOrderButton(), folder);
        QCOMPARE(messages.Shown.size(), size_t(2));
        QVERIFY(messages.Shown[1].Text.contains(folder));
        QVERIFY(QFileInfo(folder + "/inside").isDir());

        // An existing file in a folder where no file can be made (even by the super-user):
        // the message names it and the file is as it was.
        const QString existing = "/proc/version";
        const QByteArray before = FileBytes(existing);
        QVERIFY(!before.isEmpty());
        Press(Page()->ExportCsvButton(), existing);
        QCOMPARE(messages.Shown.size(), size_t(3));
        QVERIFY(messages.Shown[2].Text.contains(existing));
        QCOMPARE(FileBytes(existing), before);

        // A good file is replaced whole: a longer old content leaves nothing behind.
        const QString good = isolated->File("good.csv");
        WriteBytes(good, QByteArray(20000, 'x'));
        Press(Page()->ExportCsvButton(), good);
        QCOMPARE(messages.Shown.size(), size_t(3));
        QVERIFY(FileBytes(good).startsWith("Position;"));
        QVERIFY(!FileBytes(good).contains('x' + QByteArray(10, 'x')));
        // No temporary file stays beside it.
        QCOMPARE(QDir(isolated->Path()).entryList(QDir::Files | QDir::Hidden).filter("good").size(),
                 1);
    }

    void theShopButtonOpensTheBasketFormInTheBrowser() {
        Start();
        const QString project = ExampleProject("glass_plate_rotary.vac");
        const QString shop = isolated->File("batch_shop.html");
        const TBatchDesign batch(project, {}, {}, {}, shop);
        QCOMPARE(batch.Outcome.Status, 0);
        OpenOnPage(project);
        QTest::mouseClick(Page()->ShopButton(), Qt::LeftButton);
        // The button goes through the main window's shop window.
        const TFormBrowser* shopWindow = frame->Services().Shop;
        QVERIFY(shopWindow);
        QCOMPARE(urls.Opened.size(), size_t(1));
        QVERIFY(urls.Opened[0].isLocalFile());
        QCOMPARE(urls.Opened[0].toLocalFile(), shopWindow->PageFile());
        QCOMPARE(shopWindow->Caption(), QString("Vacuum Gripper Designer - Parts list"));
        QVERIFY(messages.Shown.empty());
        const QByteArray page = FileBytes(shopWindow->PageFile());
        // The same form the batch design writes, with every part as hidden fields.
        QCOMPARE(page, FileBytes(shop));
        for (int i = 0; i < batch.Parts(); ++i) {
            QVERIFY(page.contains(QString("<input name=\"m_%1\" value=\"%2\" type=\"hidden\">")
                                      .arg(i + 1)
                                      .arg(batch.Part(i, "part_no"))
                                      .toUtf8()));
            QVERIFY(page.contains(QString("<input name=\"ic1_%1\" value=\"%2\" type=\"hidden\">")
                                      .arg(i + 1)
                                      .arg(batch.Part(i, "order_code"))
                                      .toUtf8()));
        }
        // No browser to start: one message says so.
        urls.Answer = false;
        QTest::mouseClick(Page()->ShopButton(), Qt::LeftButton);
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Text, QString("The program could not be started."));
    }

    void thePageFitsTheWindowInEnglishAndRussian() {
        Start({"/SAP"});
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        for (const char* language : {"en", "ru"}) {
            frame->SetLanguage(language);
            for (QSize size : {QSize(1024, 768), QSize(1280, 1024), QSize(1600, 1200)}) {
                frame->resize(size);
                QCoreApplication::processEvents();
                CheckInsideAndWhole(Page()->Widget(), Page()->Widget(), language,
                                    {.Skip = Grid(), .Labels = TFitRules::flHeight,
                                     .Buttons = true});
                // The grid takes the room, and every column shows its title whole.
                QVERIFY(Grid()->height() > size.height() / 2);
                for (int c = 1; c <= 6; ++c)
                    QVERIFY(Grid()->ColWidth(c) >=
                            Grid()->fontMetrics().horizontalAdvance(
                                Grid()->model()->headerData(c - 1, Qt::Horizontal).toString()));
                SavePicture("VACUUM_SHOT_DIR", frame.get(),
                            QString("parts_list_page_%1_%2").arg(language).arg(size.width()));
            }
        }
    }
};

QTEST_MAIN(PartsListPageTest)
#include "parts_list_page_test.moc"
