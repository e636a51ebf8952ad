#pragma once

#include "app/frame/page.h"
#include "core/quantities/units.h"
#include "core/workflow/suction_cup_model.h"
#include "gui/chart/diagram_types.h"

#include <array>
#include <memory>
#include <vector>

#include <QColor>
#include <QWidget>

class ITimer;
class QFormLayout;
class QGroupBox;
class QLabel;
class TFMU2SpinEdit;
class QPainter;
class QSlider;
class QTabWidget;
class QToolButton;
class TCupViews;
class TDiagramm;
class TFMU2Panel;

//! The suction cup load page: how far every cup is exhausted by the loads of the motion.
//! Beside the three workpiece views with the cups, two tabs: the maximum values (the largest
//! vertical force shared among the cups, each as two bars and a percentage) and the time
//! curve, which replays the motion: a slider picks the instant, a player runs it on a timer,
//! and two bar charts show the normal and the transverse load of each cup at that instant.
//! The time curve is refused while there is no vacuum to hold with. The inputs column
//! holds the forces and position of the first selected cup, the legend of the colours and
//! the panel shown when the load system cannot be solved. The suction cup model decides;
//! the page shows it.
class TSuctionCupLoadPage : public QWidget, public TPage {
    Q_OBJECT

public:
    //! The tabs, in their order.
    enum TTab { cTabMaximumValues = 0, cTabTimeCurve = 1 };
    //! The player buttons, in their order on the page.
    enum TPlayerButton { cRewind = 0, cPlay, cPause, cStop, cForward, cPlayerButtons };
    //! Interval of the player's timer, ms.
    static constexpr int cPlayerInterval = 1000;
    //! The selection mark at the foot of a bar: radius, pixels, and colours.
    static constexpr int cMarkRadius = 4;
    static inline const QColor cMarkPen{255, 0, 0};
    static inline const QColor cMarkFill{255, 255, 255};

    explicit TSuctionCupLoadPage(TPageContext& context);
    ~TSuctionCupLoadPage() override;

    int Index() const override { return cmpSuctionCupLoad; }
    QWidget* Widget() override { return this; }
    void Retranslate() override;
    void Refresh(TAspects aspects) override;
    void Enter() override;
    void Leave() override;

    QTabWidget* Tabs() const { return tabs_; }
    TCupViews* Views() const { return views_; }
    //! The normal load chart (transverse = false) or the transverse load chart.
    TDiagramm* Chart(bool transverse) const { return charts_[transverse ? 1 : 0]; }
    //! The bars a chart draws now.
    const std::vector<TLoadBar>& Bars(bool transverse) const { return bars_[transverse ? 1 : 0]; }
    QSlider* Slider() const { return slider_; }
    QToolButton* PlayerButton(int button) const { return player_[static_cast<size_t>(button)]; }
    //! The time of the slider's instant.
    TFMU2Panel* TimePanel() const { return time_; }
    //! The "forces and position" group and its panels.
    QGroupBox* ForcesGroup() const { return forcesGroup_; }
    QLabel* CupNumber() const { return cupNumber_; }
    //! Position X, Y, Z (0 to 2), normal force (3) and transverse force (4).
    TFMU2Panel* CupPanel(int i) const { return cupPanels_[static_cast<size_t>(i)]; }
    QLabel* NormalRatioText() const { return normalRatio_; }
    QLabel* TransverseRatioText() const { return transverseRatio_; }
    //! The maximum-value view: the force per cup, the two bars and the percentage of the
    //! normal (transverse = false) or the transverse value.
    TFMU2Panel* MaxForce(bool transverse) const { return maxForce_[transverse ? 1 : 0]; }
    QWidget* MaxBars(bool transverse) const { return maxBars_[transverse ? 1 : 0]; }
    QLabel* MaxText(bool transverse) const { return maxText_[transverse ? 1 : 0]; }
    QLabel* UnsolvablePanel() const { return unsolvable_; }
    //! The required safety and the one line saying whether the design holds.
    TFMU2SpinEdit* RequiredSafetyField() const { return safety_; }
    QLabel* VerdictLabel() const { return verdict_; }
    //! The player's timer (made through the timer factory).
    ITimer* PlayerTimer() const { return timer_.get(); }
    //! The label of a field (the one in the field's form row).
    QWidget* LabelOf(QWidget* field) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildColumn();
    QWidget* BuildMaximumValues();
    QWidget* BuildTimeCurve();
    TDiagramm* BuildChart(bool transverse);
    TFMU2Panel* Panel(const char* name, TNormUnit quantity, TNUMessurement si, TNUMessurement us);
    void PaintChart(TDiagramm* chart, bool transverse, TPaintLayer layer, QPainter& canvas);
    void FitViews();
    void ShowModel();
    void ShowLoads();
    void ShowPlayer();
    void ShowMaxValues();
    void ShowForcesAndPosition();
    void ShowTimeCurveTab();
    void SliderMoved(int position);
    void Press(int button);
    void Tick();

    TPageContext& context_;
    std::unique_ptr<ITimer> timer_;
    bool current_ = false;
    QTabWidget* tabs_ = nullptr;
    TCupViews* views_ = nullptr;
    std::array<TDiagramm*, 2> charts_{};
    std::array<std::vector<TLoadBar>, 2> bars_;
    //! The largest bar height shown since the page was entered, %: the charts' scale grows
    //! with it but does not jump back while the motion is replayed.
    std::array<double, 2> peak_{100.0, 100.0};
    std::array<double, 2> lowest_{0.0, 0.0};
    QSlider* slider_ = nullptr;
    std::array<QToolButton*, cPlayerButtons> player_{};
    TFMU2Panel* time_ = nullptr;
    QGroupBox* forcesGroup_ = nullptr;
    QFormLayout* forcesForm_ = nullptr;
    QLabel* cupNumber_ = nullptr;
    std::array<TFMU2Panel*, 5> cupPanels_{};
    QLabel* normalRatio_ = nullptr;
    QLabel* transverseRatio_ = nullptr;
    std::array<TFMU2Panel*, 2> maxForce_{};
    std::array<QWidget*, 2> maxBars_{};
    std::array<QLabel*, 2> maxText_{};
    QLabel* unsolvable_ = nullptr;
    TFMU2SpinEdit* safety_ = nullptr;
    QLabel* verdict_ = nullptr;
    void ShowVerdict();
    QLabel* help_ = nullptr;
    //! The page shows a state of the model: the controls' events are not user input.
    bool showing_ = false;
};
