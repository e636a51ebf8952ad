#pragma once

#include <QString>

class QWidget;

//! The answer to a question with Yes, No and Cancel.
enum class TAnswer { Yes, No, Cancel };

//! Message boxes of the program. The window shows them through this, so that tests answer
//! them without a modal loop and an unattended run writes them to the console.
class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    //! A message with an OK button.
    virtual void Inform(QWidget* parent, const QString& caption, const QString& text) = 0;
    //! A question with the buttons Yes, No and Cancel (their texts given, translated);
    //! closing the box is Cancel.
    virtual TAnswer Ask(QWidget* parent, const QString& caption, const QString& text,
                        const QString& yes, const QString& no, const QString& cancel) = 0;
};

//! Modal Qt message boxes.
class TQtMessageBoxes : public IMessageBoxes {
public:
    void Inform(QWidget* parent, const QString& caption, const QString& text) override;
    TAnswer Ask(QWidget* parent, const QString& caption, const QString& text, const QString& yes,
                const QString& no, const QString& cancel) override;
};

//! For unattended runs: every message goes to stderr as one line, and every question is
//! answered No (nothing is saved that nobody asked for).
class TConsoleMessageBoxes : public IMessageBoxes {
public:
    void Inform(QWidget* parent, const QString& caption, const QString& text) override;
    TAnswer Ask(QWidget* parent, const QString& caption, const QString& text, const QString& yes,
                const QString& no, const QString& cancel) override;
};
