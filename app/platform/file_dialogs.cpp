#include "app/platform/file_dialogs.h"

#include <QFileDialog>

QString TQtFileDialogs::OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                     const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString TQtFileDialogs::SaveFileName(QWidget* parent, const QString& caption,
                                     const QString& suggested, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}
