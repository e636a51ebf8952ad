#pragma once

#include "gui/fields/fmu2_custom.h"

class QLabel;

//! The read-only display of a value with unit: the text right-aligned in a sunken panel,
//! next to the unit button (click cycles the units, context menu chooses one).
class TFMU2Panel : public TFMU2Custom {
    Q_OBJECT

public:
    explicit TFMU2Panel(QWidget* parent = nullptr);

    QString DisplayText() const override;
    QRect TextRect() const override;
    QLabel* Panel() const { return panel_; }

protected:
    void ShowText(const std::string& text) override;
    void HintChanged() override;
    void FitRow(int height) override;
    //! The height of a line edit in the panel's font and style, so that a panel lines up
    //! with the entry fields beside it.
    int LineHeight() const override;

private:
    QLabel* panel_ = nullptr;
};
