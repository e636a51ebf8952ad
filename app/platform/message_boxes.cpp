#include "app/platform/message_boxes.h"

#include <cstdio>

#include <QMessageBox>
#include <QPushButton>

void TQtMessageBoxes::Inform(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

TAnswer TQtMessageBoxes::Ask(QWidget* parent, const QString& caption, const QString& text,
                             const QString& yes, const QString& no, const QString& cancel) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QPushButton* y = box.addButton(yes, QMessageBox::YesRole);
    QPushButton* n = box.addButton(no, QMessageBox::NoRole);
    QPushButton* c = box.addButton(cancel, QMessageBox::RejectRole);
    box.setDefaultButton(y);
    box.setEscapeButton(c);
    box.exec();
    if (box.clickedButton() == y) return TAnswer::Yes;
    if (box.clickedButton() == n) return TAnswer::No;
    return TAnswer::Cancel;
}

void TConsoleMessageBoxes::Inform(QWidget*, const QString& caption, const QString& text) {
    QString line = text;
    line.replace('\n', ' ');
    std::fprintf(stderr, "vacuum-designer: %s: %s\n", caption.toLocal8Bit().constData(),
                 line.toLocal8Bit().constData());
}

TAnswer TConsoleMessageBoxes::Ask(QWidget* parent, const QString& caption, const QString& text,
                                  const QString&, const QString& no, const QString&) {
    Inform(parent, caption, text + " (" + no + ")");
    return TAnswer::No;
}
