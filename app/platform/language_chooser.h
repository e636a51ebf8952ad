#pragma once

class QWidget;
class TLanguageDialog32Bit;

//! Runs the language selection dialog over its component; true when the user confirmed
//! (the component then holds the chosen code).
class ILanguageChooser {
public:
    virtual ~ILanguageChooser() = default;
    virtual bool Choose(TLanguageDialog32Bit& dialog, QWidget* parent) = 0;
};

//! The modal language dialog of gui/lang.
class TQtLanguageChooser : public ILanguageChooser {
public:
    bool Choose(TLanguageDialog32Bit& dialog, QWidget* parent) override;
};
