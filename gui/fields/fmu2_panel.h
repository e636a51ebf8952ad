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
    QLabel* Panel() const { return panel_; }

protected:
    void ShowText(const std::string& text) override;
    void HintChanged() override;

private:
    QLabel* panel_ = nullptr;
};
