// vacuum-designer: the desktop program. Switches (one argument each):
//   /ACCEPT            accept the disclaimer at start; end after a screenshot run
//   /QUITAFTERPAINT    end once the main window has been painted the first time
//   /SCREENSHOT /PROJECT=FILE /BITMAP=FILE /PAGE=N
//                      load FILE, walk to page N and save the window as an image
//                      (one per language when FILE holds %s)
//   /SAP /WERK= /PFAD= /FILE=   the ordering system's parts-list export switches
//   FILE.vac           a project to open once the disclaimer is accepted (any other plain
//                      argument naming an existing file is opened as a project too)
// or, as the whole command line:
//   --report-pdf OUT.pdf PROJECT.vac [--lang CODE]
//                      write the project's printed report as a PDF file and end; needs
//                      no display (the offscreen platform unless QT_QPA_PLATFORM is set)

#include "app/designer/designer.h"
#include "app/platform/file_dialogs.h"
#include "app/platform/help_window_viewer.h"
#include "app/platform/language_chooser.h"
#include "app/platform/message_boxes.h"
#include "app/platform/timers.h"
#include "core/data/orsik_connection.h"
#include "core/shell/command_line.h"
#include "core/shell/platform.h"

#include <cstdio>
#include <memory>

#include <QApplication>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const TReportPdfRun report = ReadReportPdfRun(arguments);
    if (report.Requested) {
        if (!report.Error.empty()) {
            std::fprintf(stderr,
                         "vacuum-designer: %s\n"
                         "usage: vacuum-designer --report-pdf OUT.pdf PROJECT.vac [--lang CODE]\n",
                         report.Error.c_str());
            return 2;
        }
        // A batch run draws into files only.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        arguments = {"/ACCEPT"};
    }
    QApplication qapp(argc, argv);
    QApplication::setApplicationName("vacuum-designer");
    // The designer ends the program, so that the start-up window left open does not keep
    // it running.
    QApplication::setQuitOnLastWindowClosed(false);

    TPosixEnvironment env;
    // An unattended run has nobody to click a message box away.
    std::unique_ptr<IMessageBoxes> messages;
    if (ReadDesignerSwitches(arguments).Accept)
        messages = std::make_unique<TConsoleMessageBoxes>();
    else
        messages = std::make_unique<TQtMessageBoxes>();
    TQtFileDialogs files;
    TQtLanguageChooser languages;
    TQtTimerFactory timers;
    TDesigner* running = nullptr;
    THelpWindowViewer help([&running] { return running ? running->App() : nullptr; });
    TDesignerPlatform platform{env, *messages, files, languages, timers, &help, {}};

    TDesigner designer(platform, arguments, TOrsikConnection::DataFolder());
    running = &designer;
    if (report.Requested) designer.SetReportPdfRun(report);
    if (!designer.Start()) {
        messages->Inform(nullptr, "vacuum-designer", QString::fromStdString(designer.LastError()));
        help.Release();
        return 1;
    }
    QObject::connect(&designer, &TDesigner::Finished, &qapp,
                     [](int status) { QCoreApplication::exit(status); });
    const int status = QApplication::exec();
    designer.Finish();
    // The help window follows the application, which goes with the designer.
    help.Release();
    return status;
}
