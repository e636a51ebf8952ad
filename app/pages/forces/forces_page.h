#pragma once

#include "app/frame/page.h"

#include <array>

#include <QColor>
#include <QWidget>

class QFrame;
class QLabel;
class TDiagramm;
class TFMU2Panel;

//! The forces-and-moments page: the largest forces the gripper transmits along X, Y and Z
//! (and the total force for a linear motion up or down), the moments in the three planes,
//! and the chart of the forces over the motion time in the colours of the legend beside
//! the values. The chart's ranges come from the model; a click into it recomputes.
class TForcesPage : public QWidget, public TPage {
    Q_OBJECT

public:
    //! The chart's series, as the model numbers them.
    enum TSeries { cSeriesX = 0, cSeriesY, cSeriesZ, cSeriesTotal, cSeriesCount };
    //! Legend colours of the series: navy, green, maroon, red.
    static QColor SeriesColor(int series);

    explicit TForcesPage(TPageContext& context);
    ~TForcesPage() override;

    int Index() const override { return cmpForcesAndMoments; }
    QWidget* Widget() override { return this; }
    void Retranslate() override;
    void Refresh(TAspects aspects) override;
    void Enter() override;

    TDiagramm* Chart() const { return chart_; }
    //! The force panels X, Y, Z and total, and the moment panels YZ, XZ, XY.
    TFMU2Panel* ForcePanel(int series) const { return forces_[static_cast<size_t>(series)]; }
    TFMU2Panel* MomentPanel(int plane) const { return moments_[static_cast<size_t>(plane)]; }
    //! The legend sign of a series.
    QFrame* LegendSign(int series) const { return signs_[static_cast<size_t>(series)]; }
    //! How many series the chart draws now (the total only where its panel is shown).
    int ChartSeries() const;

private:
    QWidget* BuildForces();
    QWidget* BuildMoments();
    QWidget* BuildHelp();
    void BuildChart();
    void ShowResults();
    void ShowChartRanges();

    TPageContext& context_;
    TDiagramm* chart_ = nullptr;
    std::array<TFMU2Panel*, cSeriesCount> forces_{};
    std::array<TFMU2Panel*, 3> moments_{};
    std::array<QFrame*, cSeriesCount> signs_{};
    QLabel* totalLabel_ = nullptr;
    QLabel* help_ = nullptr;
};
