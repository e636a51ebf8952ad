// shop_form_writer: the online shop window of the desktop program, driven without a window
// for the browser test (shop_form_browser_check.py). It reads the user settings (HOME and
// XDG_CONFIG_HOME say where; the test writes the shop address into them), opens a project on
// the bundled catalogue, walks it to the parts list as the navigator's Next would, may add
// one part cut to length, and presses the shop button's command. The browser it hands the
// page to copies the page file to OUT_HTML (the window's own file goes with the window when
// the program ends).
//
//   shop_form_writer PROJECT OUT_HTML [PART_NO ORDER_CODE QUANTITY LENGTH_MM]
//
// Exit 0 when the page was handed over, 1 when it failed (the message is on stderr), 2 for
// wrong usage.

#include "app/dialogs/shop/form_browser.h"
#include "app/platform/message_boxes.h"
#include "app/platform/url_opener.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/page_workflow.h"
#include "core/workflow/vacuum_application.h"

#include <cstdio>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QFile>

namespace {

//! Takes the browser's place: reads the page the moment it is handed over.
class TCopyingOpener : public IUrlOpener {
public:
    explicit TCopyingOpener(QString target) : target_(std::move(target)) {}
    int Opened = 0;
    bool OpenUrl(const QUrl& url) override {
        ++Opened;
        QFile::remove(target_);
        return url.isLocalFile() && QFile::copy(url.toLocalFile(), target_);
    }

private:
    QString target_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() != 2 && args.size() != 6) {
        std::fprintf(stderr, "usage: shop_form_writer PROJECT OUT_HTML [PART_NO ORDER_CODE "
                             "QUANTITY LENGTH_MM]\n");
        return 2;
    }

    TPosixEnvironment env;
    TTavUserSettings settings(env);
    settings.SetSection("KELM");
    settings.Loaded({});

    TVacuumApplication app(TOrsikConnection::ProgramFolder() + "/Vacuum.dat");
    if (!app.Active() || !app.SetLanguage("en")) {
        std::fprintf(stderr, "shop_form_writer: %s\n", app.LastError().c_str());
        return 1;
    }
    app.Input([&] { app.Workflow.ButtonAcceptClick(); });
    const auto loaded = app.Input([&] { return app.Workflow.OpenRecentFile(args[0]); });
    if (!loaded || !loaded->Ok()) {
        std::fprintf(stderr, "shop_form_writer: %s: not read\n", args[0].c_str());
        return 1;
    }
    if (const int refused = app.WalkTo(cmpPartsList); refused >= 0) {
        std::fprintf(stderr, "shop_form_writer: page %d refused the next step\n", refused);
        return 1;
    }
    if (args.size() == 6)
        app.PartsList.Add(args[2], args[3], 1, std::stoi(args[4]), "ST", "mm", std::stoi(args[5]),
                          "~Description");

    TConsoleMessageBoxes messages;
    TCopyingOpener browser(QString::fromStdString(args[1]));
    TFormBrowser shop(messages, browser, &settings, app.Translator());
    const bool shown = shop.Show(app.PartsList);
    if (!shown || browser.Opened != 1) return 1;
    std::printf("%s\n", shop.Caption().toStdString().c_str());
    return 0;
}
