#pragma once

#include "core/workflow/model_aspects.h"

#include <functional>

#include <QGroupBox>

class QLabel;
class TFMU2Custom;
class TFMU2SpinEdit;
struct TPageContext;

//! The compressed air of the vacuum generator page: the production cycle and the price of
//! air as entry fields, and what the chosen generators take per cycle and per year, with
//! the saving an air-saving generator of their series would bring. The air model decides;
//! the group shows it.
class TAirGroup : public QGroupBox {
    Q_OBJECT

public:
    TAirGroup(TPageContext& context, QWidget* parent);

    void Refresh(TAspects aspects);
    //! Texts the group makes itself (the results with their units).
    void Retranslate() { ShowResults(); }

    TFMU2SpinEdit* CycleRateField() const { return cycles_; }
    TFMU2SpinEdit* HoldingTimeField() const { return holding_; }
    TFMU2SpinEdit* OperatingTimeField() const { return hours_; }
    TFMU2SpinEdit* PriceField() const { return price_; }
    TFMU2SpinEdit* EnergyField() const { return energy_; }
    QLabel* PerCycleLabel() const { return perCycle_; }
    QLabel* PerYearLabel() const { return perYear_; }
    QLabel* SavingLabel() const { return saving_; }
    //! All fields hold valid values.
    bool FieldsValid() const;
    //! A field became valid or invalid (the page tells the navigator).
    std::function<void()> OnValidityChange;

private:
    TFMU2SpinEdit* Field(std::string_view name, int quantity, int si, int us);
    void Entered(TFMU2Custom* field);
    void ShowResults();
    // The "Currency" setting's symbol (€ without settings).
    QString Currency() const;

    TPageContext& context_;
    TFMU2SpinEdit* cycles_ = nullptr;
    TFMU2SpinEdit* holding_ = nullptr;
    TFMU2SpinEdit* hours_ = nullptr;
    TFMU2SpinEdit* price_ = nullptr;
    TFMU2SpinEdit* energy_ = nullptr;
    QLabel* perCycle_ = nullptr;
    QLabel* perYear_ = nullptr;
    QLabel* saving_ = nullptr;
    bool showing_ = false;
};
