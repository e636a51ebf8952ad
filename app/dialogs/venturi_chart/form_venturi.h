#pragma once

#include "core/util/signal.h"
#include "core/workflow/model_aspects.h"
#include "gui/lang/language_form.h"

#include <array>

#include <QWidget>

class QPushButton;
class QTabWidget;
class TDiagramm;
class TFMU2Panel;
class TVacuumApplication;

//! The window of the chosen vacuum generator's curves over the operating pressure: air
//! consumption, suction capacity, vacuum and sound pressure level, one page each, with the
//! operating point marked on the curve, its value below the chart and the legend. It
//! follows the application model: the curves, the marker, the values and the caption (the
//! order code) change as the conditions and the chosen generator change. It stays on top
//! of the main window; "~OK" closes it.
class TFormVenturi : public QWidget {
    Q_OBJECT

public:
    enum TChartPage { cvpAirConsumption = 0, cvpSuctionCapacity, cvpVacuum, cvpSoundPressureLevel };
    static constexpr int cChartPages = 4;
    static constexpr int cMinWidth = 479;
    static constexpr int cMinHeight = 219;
    //! Radius of the operating point's circle, pixels.
    static constexpr int cMarkerRadius = 4;

    TFormVenturi(TVacuumApplication& app, QWidget* parent = nullptr);
    ~TFormVenturi() override;

    //! Shows the window with a caption (the order code) and the current values.
    void ShowWithCaption(const QString& caption);

    QTabWidget* Pages() const { return pages_; }
    TDiagramm* Chart(int page) const { return charts_[static_cast<size_t>(page)]; }
    TFMU2Panel* OperatingPanel(int page) const { return panels_[static_cast<size_t>(page)]; }
    QPushButton* OkButton() const { return ok_; }
    //! The operating point of a chart page in the chart's values (x in bar; y in the
    //! chart's unit), and whether it is drawn (a generator is chosen and n > 0).
    bool OperatingPoint(int page, double& x, double& y) const;

private:
    QWidget* BuildPage(int page);
    void Follow(TAspects aspects);
    void UpdateValues();
    void Retranslate();
    // Widens the window until every page's title shows whole.
    void FitTabs();
    double CurveAt(int page, double xBar) const;

    TVacuumApplication& app_;
    TLanguageForm language_;
    QTabWidget* pages_ = nullptr;
    std::array<TDiagramm*, cChartPages> charts_{};
    std::array<TFMU2Panel*, cChartPages> panels_{};
    QPushButton* ok_ = nullptr;
    TConnection changed_;
};
