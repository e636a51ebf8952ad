// vacuum-gallery: every reusable control bound to the bundled catalogue, to look at and try
// by hand. With --screenshot FILE the window is drawn once into FILE (PNG) and the program
// ends, which also works on the offscreen platform.

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>
#include <memory>

#include "app/gallery/gallery_window.h"
#include "gui/lang/language_dlg.h"
#include "gui/lang/language_form.h"
#include "core/data/orsik_connection.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("vacuum-gallery");
    QCommandLineParser parser;
    parser.setApplicationDescription("Shows the controls of the vacuum gripper designer on the bundled catalogue.");
    parser.addHelpOption();
    QCommandLineOption catalog("catalog", "Product container (default: Vacuum.dat of the data folder).", "FILE");
    QCommandLineOption screenshot("screenshot", "Draw the window into FILE (PNG) and quit.", "FILE");
    QCommandLineOption page("page", "Show page N (0 = first) at start.", "N", "0");
    QCommandLineOption lang("lang", "Language code to start in (default: en).", "CODE", "en");
    QCommandLineOption dialog("dialog",
                              "Open the language dialog in STYLE (list or radio) over the window; "
                              "with --screenshot, draw the dialog.",
                              "STYLE");
    parser.addOptions({catalog, screenshot, page, lang, dialog});
    parser.process(app);

    const std::string file = parser.isSet(catalog) ? parser.value(catalog).toStdString()
                                                   : TOrsikConnection::DataFolder() + "/Vacuum.dat";
    TGalleryWindow window(file);
    if (!window.Active()) {
        std::fprintf(stderr, "vacuum-gallery: %s\n", window.LastError().c_str());
        return 1;
    }
    window.Language().LanguageDB().SetLanguage(parser.value(lang).toStdString());
    window.ShowPage(parser.value(page).toInt());
    window.resize(1100, 760);
    window.show();
    std::unique_ptr<TLanguageDlg> languageDlg;
    if (parser.isSet(dialog)) {
        const QString style = parser.value(dialog);
        if (style != "list" && style != "radio") {
            std::fprintf(stderr, "vacuum-gallery: --dialog takes list or radio\n");
            return 1;
        }
        TLanguageDialog32Bit& languages = window.LanguageDialog();
        languages.Style = style == "radio" ? cldsRadioGroup : cldsComboBox;
        languages.SetCode(window.Language().LanguageDB().Language());
        languageDlg = std::make_unique<TLanguageDlg>(languages, &window);
        languageDlg->Initialise();
        languageDlg->show();
    }
    QWidget* shown = languageDlg ? static_cast<QWidget*>(languageDlg.get()) : &window;
    if (parser.isSet(screenshot)) {
        const QString target = parser.value(screenshot);
        int status = 0;
        QTimer::singleShot(0, [&] {
            if (!shown->grab().save(target, "PNG")) {
                std::fprintf(stderr, "vacuum-gallery: cannot write %s\n", target.toLocal8Bit().constData());
                status = 1;
            }
            QApplication::quit();
        });
        const int rc = QApplication::exec();
        return status ? status : rc;
    }
    return QApplication::exec();
}
