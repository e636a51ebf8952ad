#pragma once

#include "app/report/report_output.h"

#include <functional>

#include <QString>

class IClock;
class IFileDialogs;
class IMessageBoxes;
class IPrintDialogs;
class QWidget;

//! The main window's report commands: print (printer dialog, then the printer), preview
//! (the toolkit's preview) and PDF export (a file dialog, then the file, whole or not at
//! all). Each does nothing while the disclaimer is pending.
class TReportCommands {
public:
    struct TServices {
        TVacuumApplication& App;
        const TTavUserSettings& Settings;
        IMessageBoxes& Messages;
        IFileDialogs& Files;
        IPrintDialogs& Printing;
        const IClock& Clock;
        //! The window the dialogs belong to.
        QWidget* Parent = nullptr;
        //! The value fields the values are printed as.
        TReportOutput::TFieldFinder Fields;
        //! The open project's file; empty for a new one.
        std::function<std::string()> ProjectFile;
        //! Translation of a key in the window's language.
        std::function<QString(std::string_view)> Tr;
    };

    explicit TReportCommands(TServices services);

    //! False when nothing was printed (cancelled, inert, or the printer failed, which is
    //! reported).
    bool Print();
    void Preview();
    //! The file dialog starts at the documents folder with the project's name; a name
    //! without ".pdf" gets it. False when nothing was written (a failure is reported).
    bool ExportPdf();
    //! Writes the PDF without asking; false with the message shown when it fails.
    bool WritePdf(const QString& fileName);

    TReportOutput& Output() { return output_; }

private:
    bool Enabled() const;

    TServices services_;
    TReportOutput output_;
};
