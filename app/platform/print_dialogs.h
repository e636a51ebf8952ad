#pragma once

#include <functional>

#include <QDateTime>

class QPrinter;
class QWidget;

//! The printer dialog and the print preview, so that tests press "Print" without a modal
//! loop or a printer.
class IPrintDialogs {
public:
    virtual ~IPrintDialogs() = default;
    //! Lets the user choose and set up `printer`; false when the dialog was cancelled.
    virtual bool ChoosePrinter(QPrinter& printer, QWidget* parent) = 0;
    //! Shows the pages `paint` draws on the printer it is handed until the user closes the
    //! preview (printing from it included).
    virtual void Preview(QPrinter& printer, QWidget* parent,
                         const std::function<void(QPrinter*)>& paint) = 0;
};

//! The toolkit's print dialog and print preview dialog.
class TQtPrintDialogs : public IPrintDialogs {
public:
    bool ChoosePrinter(QPrinter& printer, QWidget* parent) override;
    void Preview(QPrinter& printer, QWidget* parent,
                 const std::function<void(QPrinter*)>& paint) override;
};

//! The date and time a report is printed with.
class IClock {
public:
    virtual ~IClock() = default;
    virtual QDateTime Now() const = 0;
};

class TSystemClock : public IClock {
public:
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
};
