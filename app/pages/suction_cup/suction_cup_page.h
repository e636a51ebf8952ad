#pragma once

#include "app/frame/page.h"
#include "core/util/signal.h"

#include <string>
#include <vector>

#include <QWidget>

class QLabel;
class TFMU2Panel;
class TStrTableCheckBox;
class TStrTableCoBox;
class TStringTableGrid;

//! The suction cup page: the filter lists and option boxes over the cup query, the grid of
//! the cups they leave with the "~ok" tick column, the record label, the largest cup the
//! arrangement and the workpiece admit, the chosen cup's data and the help labels of the
//! chosen filter values. A filter choice is stored in the document and handed to the cup
//! model; a row chosen in the grid becomes the cup of the arrangement.
class TSuctionCupPage : public QWidget, public TPage {
    Q_OBJECT

public:
    //! Grid column of the cup pictures (data column 1).
    static constexpr int cPictureCol = 2;

    explicit TSuctionCupPage(TPageContext& context);
    ~TSuctionCupPage() override;

    int Index() const override { return cmpSuctionCup; }
    QWidget* Widget() override { return this; }
    void Retranslate() override;
    void Refresh(TAspects aspects) override;
    void Enter() override;

    //! The lists and option boxes in the order of the cup filters of the document.
    TStrTableCoBox* List(const std::string& column) const;
    TStrTableCheckBox* Option(const std::string& column) const;
    TStringTableGrid* Grid() const { return grid_; }
    QLabel* RecordLabel() const { return records_; }
    QLabel* SelectedLabel() const { return selected_; }
    TFMU2Panel* MaxDiameterPanel() const { return dmax_; }
    TFMU2Panel* DiameterPanel() const { return diameter_; }
    TFMU2Panel* ForcePanel() const { return force_; }
    TFMU2Panel* VolumePanel() const { return volume_; }
    TFMU2Panel* TotalVolumePanel() const { return totalVolume_; }
    TFMU2Panel* MassPanel() const { return mass_; }
    //! The help label of a filter value ("~bellows 1.5", "~NBR"); null when there is none.
    QWidget* HelpLabel(const std::string& value) const;
    //! Whether that help label is highlighted now.
    bool HelpHighlighted(const std::string& value) const;

private:
    struct TFilterControl {
        std::string Column;
        TStrTableCoBox* List = nullptr;
        TStrTableCheckBox* Option = nullptr;
    };
    struct THelpLabel {
        std::string Value;
        QWidget* Widget = nullptr;
        bool Highlighted = false;
    };

    QWidget* BuildFilters();
    QWidget* BuildData();
    QWidget* BuildHelp();
    void BuildGrid();
    void FilterChosen(const std::string& column, const std::string& value);
    void RowChosen(int aRow);
    void ShowStoredFilters();
    void ShowCounts();
    void ShowChosenCup();
    void ShowHelpHighlights();
    void ShowChosenRow();
    void DrawPicture(int aRow, const QRect& rect, QPainter& painter);

    TPageContext& context_;
    std::vector<TFilterControl> filters_;
    std::vector<THelpLabel> help_;
    TStringTableGrid* grid_ = nullptr;
    QLabel* records_ = nullptr;
    QLabel* selected_ = nullptr;
    QLabel* thread_ = nullptr;
    TFMU2Panel* dmax_ = nullptr;
    TFMU2Panel* diameter_ = nullptr;
    TFMU2Panel* force_ = nullptr;
    TFMU2Panel* volume_ = nullptr;
    TFMU2Panel* totalVolume_ = nullptr;
    TFMU2Panel* mass_ = nullptr;
    //! The page itself shows a state (stored filters, the chosen row): the controls' events
    //! are not user input meanwhile.
    bool showing_ = false;
    TConnection restored_;
};
