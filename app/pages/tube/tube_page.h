#pragma once

#include "app/frame/page.h"
#include "core/util/signal.h"

#include <string>
#include <vector>

#include <QWidget>

class QLabel;
class QRadioButton;
class TFMU2Panel;
class TFMU2SpinEdit;
class TStrTableCheckBox;
class TStrTableCoBox;
class TStringTableGrid;

//! The tube page: the filter lists and calibration boxes over the tube query, the grid of
//! the tubes they leave with the "~ok" tick column (the tube fits the chosen cup's
//! connector), the record label, the chosen tube, the tube length per suction cup or in
//! total with the other one derived, the tube volume and the evacuated volume. A filter
//! choice is stored in the document; the query's change reaches the tube model through the
//! application. A row chosen in the grid becomes the tube.
class TTubePage : public QWidget, public TPage {
    Q_OBJECT

public:
    explicit TTubePage(TPageContext& context);
    ~TTubePage() override;

    int Index() const override { return cmpTube; }
    QWidget* Widget() override { return this; }
    void Retranslate() override;
    void Refresh(TAspects aspects) override;
    void Enter() override;

    TStrTableCoBox* List(const std::string& column) const;
    TStrTableCheckBox* Option(const std::string& column) const;
    TStringTableGrid* Grid() const { return grid_; }
    QLabel* RecordLabel() const { return records_; }
    QLabel* SelectedLabel() const { return selected_; }
    QRadioButton* PerCupButton() const { return perCup_; }
    QRadioButton* TotalButton() const { return total_; }
    TFMU2SpinEdit* SingleLengthField() const { return singleLength_; }
    TFMU2SpinEdit* TotalLengthField() const { return totalLength_; }
    TFMU2Panel* DiameterPanel() const { return diameter_; }
    TFMU2Panel* TubeVolumePanel() const { return tubeVolume_; }
    TFMU2Panel* EvacuatedVolumePanel() const { return evacuated_; }

private:
    struct TFilterControl {
        std::string Column;
        TStrTableCoBox* List = nullptr;
        TStrTableCheckBox* Option = nullptr;
    };

    QWidget* BuildFilters();
    QWidget* BuildData();
    void BuildGrid();
    void FilterChosen(const std::string& column, const std::string& value);
    void RowChosen(int aRow);
    void LengthModeChosen(bool total);
    void LengthEntered();
    void ShowStoredFilters();
    void ShowResults();
    void ShowChosenRow();

    TPageContext& context_;
    std::vector<TFilterControl> filters_;
    TStringTableGrid* grid_ = nullptr;
    QLabel* records_ = nullptr;
    QLabel* selected_ = nullptr;
    QRadioButton* perCup_ = nullptr;
    QRadioButton* total_ = nullptr;
    TFMU2SpinEdit* singleLength_ = nullptr;
    TFMU2SpinEdit* totalLength_ = nullptr;
    TFMU2Panel* diameter_ = nullptr;
    TFMU2Panel* tubeVolume_ = nullptr;
    TFMU2Panel* evacuated_ = nullptr;
    //! The page shows a state of the model: the controls' events are not user input.
    bool showing_ = false;
    TConnection restored_;
};
