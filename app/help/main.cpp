// vacuum-help: the help window on its own, on the bundled catalogue. With --screenshot FILE
// the window is drawn once into FILE (PNG) and the program ends, which also works on the
// offscreen platform.

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

#include "app/help/help_window.h"
#include "core/data/orsik_connection.h"
#include "core/workflow/vacuum_application.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName("vacuum-help");
    QCommandLineParser parser;
    parser.setApplicationDescription("Shows the help window of the vacuum gripper designer.");
    parser.addHelpOption();
    QCommandLineOption catalog("catalog", "Product container (default: Vacuum.dat of the data folder).", "FILE");
    QCommandLineOption lang("lang", "Language code (default: en).", "CODE", "en");
    QCommandLineOption topic("topic", "Help topic 0 to 16 to show (default: 0, the contents).", "N", "0");
    QCommandLineOption size("size", "Window size (default: 760x600).", "WxH", "760x600");
    QCommandLineOption screenshot("screenshot", "Draw the window into FILE (PNG) and quit.", "FILE");
    parser.addOptions({catalog, lang, topic, size, screenshot});
    parser.process(qapp);

    const std::string file = parser.isSet(catalog) ? parser.value(catalog).toStdString()
                                                   : TOrsikConnection::DataFolder() + "/Vacuum.dat";
    TVacuumApplication app(file);
    if (!app.Active()) {
        std::fprintf(stderr, "vacuum-help: %s\n", app.LastError().c_str());
        return 1;
    }
    if (!app.Input([&] { return app.SetLanguage(parser.value(lang).toStdString()); })) {
        std::fprintf(stderr, "vacuum-help: no language %s (there are %s)\n",
                     parser.value(lang).toLocal8Bit().constData(), app.LanguageCodes().c_str());
        return 1;
    }
    THelpWindow window(app);
    const QStringList wh = parser.value(size).split('x');
    if (wh.size() == 2 && wh[0].toInt() > 0 && wh[1].toInt() > 0) window.resize(wh[0].toInt(), wh[1].toInt());
    window.ShowTopic(parser.value(topic).toInt());
    if (parser.isSet(screenshot)) {
        const QString target = parser.value(screenshot);
        int status = 0;
        QTimer::singleShot(0, [&] {
            if (!window.grab().save(target, "PNG")) {
                std::fprintf(stderr, "vacuum-help: cannot write %s\n", target.toLocal8Bit().constData());
                status = 1;
            }
            QApplication::quit();
        });
        const int rc = QApplication::exec();
        return status ? status : rc;
    }
    return QApplication::exec();
}
