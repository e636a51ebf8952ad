#include "app/report/report_commands.h"

#include "app/platform/file_dialogs.h"
#include "app/platform/message_boxes.h"
#include "app/platform/print_dialogs.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>

TReportCommands::TReportCommands(TServices services)
    : services_(std::move(services)),
      output_(services_.App, services_.Settings, services_.Clock, services_.Fields) {}

bool TReportCommands::Enabled() const {
    return services_.App.Workflow.CommandEnabled(cmcPrint);
}

bool TReportCommands::Print() {
    if (!Enabled()) return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(services_.Tr("~Sorvane"));
    if (!services_.Printing.ChoosePrinter(printer, services_.Parent)) return false;
    if (output_.Paint(printer)) return true;
    services_.Messages.Inform(services_.Parent, services_.Tr("~Error"),
                              services_.Tr("~Print") + ": " + printer.printerName());
    return false;
}

void TReportCommands::Preview() {
    if (!Enabled()) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(services_.Tr("~Sorvane"));
    services_.Printing.Preview(printer, services_.Parent,
                               [this](QPrinter* p) { if (p) output_.Paint(*p); });
}

bool TReportCommands::ExportPdf() {
    if (!Enabled()) return false;
    const std::string project = services_.ProjectFile ? services_.ProjectFile() : std::string();
    const QString base = project.empty()
                             ? services_.Tr("~Untitled")
                             : QFileInfo(QString::fromStdString(project)).completeBaseName();
    const QString folder = project.empty()
                               ? QString::fromStdString(services_.Settings.DocumentsFolder())
                               : QFileInfo(QString::fromStdString(project)).absolutePath();
    QString name = services_.Files.SaveFileName(
        services_.Parent, services_.Tr("~ExportPDF...").remove("..."),
        QDir(folder).filePath(base + ".pdf"), services_.Tr("~PDFFiles") + " (*.pdf)");
    if (name.isEmpty()) return false;
    if (!name.endsWith(".pdf", Qt::CaseInsensitive)) name += ".pdf";
    return WritePdf(name);
}

bool TReportCommands::WritePdf(const QString& fileName) {
    QString error;
    if (output_.WritePdf(fileName, &error)) return true;
    services_.Messages.Inform(services_.Parent, services_.Tr("~Error"),
                              services_.Tr("~FileNotWritten") + "\n\n" + fileName + ": " + error);
    return false;
}
