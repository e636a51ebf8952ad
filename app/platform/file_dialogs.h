#pragma once

#include <QString>

class QWidget;

//! The file dialogs of the program; an empty name means the user cancelled.
class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    //! An existing file to open. `filter` is a Qt name filter list.
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    //! A file to write, starting from `suggested` (a folder or a file name).
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                 const QString& filter) = 0;
};

//! The Qt file dialogs.
class TQtFileDialogs : public IFileDialogs {
public:
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                         const QString& filter) override;
};
