// The online shop window: its caption in the window's language; the basket form written to a
// file in a private folder of its own (owner only, a random name) and that file handed to the
// browser; the form posting the parts to the shop server of the settings; the file written
// anew on every show, whole or not at all; the folder gone with the window; a folder that
// cannot be made, a page that cannot be written, a list that cannot be ordered or a missing
// browser each a message, with nothing opened.

#include "app/dialogs/shop/form_browser.h"
#include "core/data/orsik_connection.h"
#include "core/data/parts_list.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "tests/app/app_test_support.h"

#include <map>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QtTest>

namespace {

//! The text of a language key in one language, from the catalogue's text sources.
QString SourceText(const QString& key, const QString& language) {
    QFile f(QString(VACUUM_SOURCE_DIR) + "/catalog/src/texts.tsv");
    if (!f.open(QIODevice::ReadOnly)) return {};
    QTextStream in(&f);
    QStringList header;
    while (!in.atEnd()) {
        const QStringList cells = in.readLine().split('\t');
        if (cells.value(0) == "Key") header = cells;
        if (cells.value(0) == key) return cells.value(static_cast<int>(header.indexOf(language)));
    }
    return {};
}

QByteArray FileBytes(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

//! The permission bits of a file or folder (-1 when it is not there).
int ModeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return static_cast<int>(st.st_mode & 07777);
}

//! Two parts by hand: a suction cup by the piece, and a tube cut to 750 mm whose order
//! code holds the characters a page must escape.
void AddTwoParts(TPartsList& list) {
    list.Add("11000204", "SC-S2-FL030", 10, 4, "ST", "", 0, "~Cup");
    list.Add("22000022", "TU-\"6\"&<4>", 1, 2, "M", "mm", 750, "~Tube");
}

} // namespace

class FormBrowserTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TIsolatedSettings> isolated;
    TPosixEnvironment env;
    std::unique_ptr<TTavUserSettings> settings;
    TScriptedMessages messages;
    TUrlRecorder urls;
    std::unique_ptr<TVacuumApplication> app;
    TPartsList twoParts;
    const TPartsList& TwoParts() { return twoParts; }

    //! The settings as the program reads them, with this shop address in the file.
    void LoadSettings(const std::string& shopUrl) {
        settings = std::make_unique<TTavUserSettings>(env);
        settings->SetSection("KELM");
        settings->Loaded({});
        settings->WriteValue("ShopUrl", shopUrl);
        settings = std::make_unique<TTavUserSettings>(env);
        settings->SetSection("KELM");
        settings->Loaded({});
    }
    std::unique_ptr<TFormBrowser> Window(const QString& tempFolder = {}) {
        return std::make_unique<TFormBrowser>(messages, urls, settings.get(), app->Translator(),
                                              tempFolder.isEmpty() ? isolated->File("tmp")
                                                                   : tempFolder);
    }
    QStringList FolderEntries(const QString& folder) const {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                      QDir::NoDotAndDotDot);
    }

private slots:
    void init() {
        isolated = std::make_unique<TIsolatedSettings>();
        QVERIFY(QDir().mkpath(isolated->File("tmp")));
        messages = {};
        urls = {};
        LoadSettings("https://shop.example.com");
        app =
            std::make_unique<TVacuumApplication>(TOrsikConnection::ProgramFolder() + "/Vacuum.dat");
        QVERIFY2(app->Active(), app->LastError().c_str());
        QVERIFY(app->SetLanguage("en"));
        twoParts.Clear();
        AddTwoParts(twoParts);
    }
    void cleanup() {
        app.reset();
        settings.reset();
        isolated.reset();
    }

    void theCaptionIsInTheWindowsLanguage() {
        auto window = Window();
        for (const char* language : {"en", "ru"}) {
            QVERIFY(app->SetLanguage(language));
            QVERIFY(window->Show(TwoParts()));
            const QString caption =
                SourceText("~Sorvane", language) + " - " + SourceText("~PartsList", language);
            QVERIFY(!SourceText("~Sorvane", language).isEmpty());
            QCOMPARE(window->Caption(), caption);
            // The browser window shows it: it is the page's title.
            QVERIFY(QString::fromUtf8(FileBytes(window->PageFile()))
                        .contains("<title>" + caption + "</title>"));
            // The header and the button of the form are in that language too.
            QVERIFY(QString::fromUtf8(FileBytes(window->PageFile()))
                        .contains("<input type=\"submit\" value=\"" +
                                  SourceText("~Send", language) + "\">"));
        }
        QCOMPARE(window->Caption(), QString("Проектирование вакуумных захватов - Спецификация"));
        QVERIFY(messages.Shown.empty());
    }

    void thePageIsPrivateAndHandedToTheBrowser() {
        // A shop test server on this machine, named with a trailing "/".
        LoadSettings("http://127.0.0.1:8123/");
        auto window = Window();
        QVERIFY(window->Folder().isEmpty()); // nothing is made before the first show
        QVERIFY(FolderEntries(isolated->File("tmp")).isEmpty());
        QVERIFY(window->Show(TwoParts()));
        QVERIFY(messages.Shown.empty());

        // The private folder: in the temporary folder, owner only, a random name.
        const QString folder = window->Folder();
        QCOMPARE(QFileInfo(folder).absolutePath(),
                 QFileInfo(isolated->File("tmp")).absoluteFilePath());
        const QString name = QFileInfo(folder).fileName();
        QVERIFY2(name.startsWith("vacuum-shop-") && name.size() > QString("vacuum-shop-").size() &&
                     !name.contains("XXXXXX"),
                 qPrintable(name));
        QCOMPARE(ModeOf(folder), 0700);
        // The page in it, readable and writable by the owner only; nothing else is left there.
        const QString file = window->PageFile();
        QCOMPARE(QFileInfo(file).absolutePath(), QFileInfo(folder).absoluteFilePath());
        QCOMPARE(ModeOf(file), 0600);
        QCOMPARE(FolderEntries(folder), QStringList{TFormBrowser::cPageFileName});

        // Handed to the browser once, as a local file.
        QCOMPARE(urls.Opened.size(), size_t(1));
        QVERIFY(urls.Opened[0].isLocalFile());
        QCOMPARE(urls.Opened[0].toLocalFile(), file);

        // The form posts the rows to the server of the settings.
        const QString page = QString::fromUtf8(FileBytes(file));
        QVERIFY(page.contains("<form name=\"Export\" method=\"post\" "
                              "action=\"http://127.0.0.1:8123/addtobasket/wrap\">"));
        QVERIFY(page.contains("<input name=\"m_1\" value=\"11000204\" type=\"hidden\">"));
        QVERIFY(page.contains("<input name=\"ic1_1\" value=\"SC-S2-FL030\" type=\"hidden\">"));
        QVERIFY(page.contains("<input name=\"q_1\" value=\"4\" type=\"hidden\">"));
        QVERIFY(page.contains("<input name=\"m_2\" value=\"22000022\" type=\"hidden\">"));
        QVERIFY(page.contains(
            "<input name=\"ic1_2\" value=\"TU-&quot;6&quot;&amp;&lt;4&gt;\" type=\"hidden\">"));
        QVERIFY(page.contains("<input name=\"q_2\" value=\"2\" type=\"hidden\">"));
        // Only the part cut to length has the length field.
        QVERIFY(!page.contains("name=\"xm_1\""));
        QVERIFY(page.contains("<input name=\"xm_2\" value=\"750\" type=\"hidden\">"));
        QVERIFY(page.contains("<input name=\"callerid\" value=\"vacuum\" type=\"hidden\">"));
        // Lines end in CR LF.
        QVERIFY(page.endsWith("</html>\r\n"));

        // Another window has a folder of its own.
        auto other = Window();
        QVERIFY(other->Show(TwoParts()));
        QVERIFY(other->Folder() != folder);
    }

    void everyShowWritesThePageAnew() {
        auto window = Window();
        QVERIFY(window->Show(TwoParts()));
        const QString folder = window->Folder(), file = window->PageFile();
        QVERIFY(FileBytes(file).contains("SC-S2-FL030"));

        TPartsList other;
        other.Add("33000001", "VG-V1-045-M5", 1, 1, "ST", "", 0, "~Generator");
        QVERIFY(window->Show(other));
        // The same folder and file, now with only the new list in it.
        QCOMPARE(window->Folder(), folder);
        QCOMPARE(window->PageFile(), file);
        const QByteArray page = FileBytes(file);
        QVERIFY(page.contains("<input name=\"ic1_1\" value=\"VG-V1-045-M5\" type=\"hidden\">"));
        QVERIFY(!page.contains("SC-S2-FL030"));
        QVERIFY(!page.contains("name=\"m_2\""));
        QCOMPARE(ModeOf(file), 0600);
        QCOMPARE(FolderEntries(folder), QStringList{TFormBrowser::cPageFileName});
        QCOMPARE(urls.Opened.size(), size_t(2));
        QCOMPARE(urls.Opened[1].toLocalFile(), file);

        // An empty list is a form with the header row only.
        QVERIFY(window->Show(TPartsList()));
        QVERIFY(!FileBytes(file).contains("name=\"m_1\""));
        QVERIFY(FileBytes(file).contains("name=\"callerid\""));
        QVERIFY(messages.Shown.empty());
    }

    void theFolderGoesWithTheWindow() {
        auto window = Window();
        QVERIFY(window->Show(TwoParts()));
        const QString folder = window->Folder(), file = window->PageFile();
        QVERIFY(QFileInfo::exists(file));
        window.reset();
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(FolderEntries(isolated->File("tmp")).isEmpty());
    }

    void failuresAreMessagesAndNothingIsOpened() {
        const QString lead = SourceText("~FileNotWritten", "en");
        QVERIFY(!lead.isEmpty());

        // No private folder can be made where a file stands in the path (not even by root).
        const QString blocker = isolated->File("not_a_folder");
        {
            QFile f(blocker);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        auto window = Window(blocker + "/tmp");
        QVERIFY(!window->Show(TwoParts()));
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Caption, SourceText("~Error", "en"));
        QVERIFY(messages.Shown[0].Text.startsWith(lead));
        QVERIFY2(messages.Shown[0].Text.contains(blocker + "/tmp"),
                 qPrintable(messages.Shown[0].Text));
        QVERIFY(urls.Opened.empty());
        QVERIFY(window->Folder().isEmpty());
        // The same again on the next press.
        QVERIFY(!window->Show(TwoParts()));
        QCOMPARE(messages.Shown.size(), size_t(2));
        QVERIFY(urls.Opened.empty());

        // A page that cannot replace the one before (a folder took its name): the message
        // names the file, nothing is opened, and no half-written file is left behind.
        messages = {};
        window = Window();
        QVERIFY(window->Show(TwoParts()));
        QCOMPARE(urls.Opened.size(), size_t(1));
        const QString file = window->PageFile();
        QVERIFY(QFile::remove(file));
        QVERIFY(QDir().mkdir(file));
        QVERIFY(!window->Show(TwoParts()));
        QCOMPARE(messages.Shown.size(), size_t(1));
        QVERIFY(messages.Shown[0].Text.startsWith(lead));
        QVERIFY2(messages.Shown[0].Text.contains(file), qPrintable(messages.Shown[0].Text));
        QCOMPARE(urls.Opened.size(), size_t(1));
        QCOMPARE(FolderEntries(window->Folder()), QStringList{TFormBrowser::cPageFileName});
        QVERIFY(QFileInfo(file).isDir());

        // A list that cannot be ordered is not written.
        messages = {};
        window = Window();
        TPartsList refused;
        AddTwoParts(refused);
        refused.Refuse("12 suction cups beyond the order file's quantity");
        QVERIFY(!window->Show(refused));
        QCOMPARE(messages.Shown.size(), size_t(1));
        QVERIFY(messages.Shown[0].Text.startsWith(lead));
        QVERIFY(
            messages.Shown[0].Text.contains("12 suction cups beyond the order file's quantity"));
        QVERIFY(!QFileInfo::exists(window->PageFile()));
        QCOMPARE(urls.Opened.size(), size_t(1));

        // No browser to start.
        messages = {};
        urls.Answer = false;
        QVERIFY(!window->Show(TwoParts()));
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Text, SourceText("~PrgCouldNotBeStarted", "en"));
    }
};

QTEST_MAIN(FormBrowserTest)
#include "form_browser_test.moc"
