#pragma once

#include "app/frame/page.h"
#include "core/quantities/my_project_types.h"
#include "core/quantities/units.h"

#include <array>
#include <memory>
#include <vector>

#include <QWidget>

class ITimer;
class QCheckBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QRadioButton;
class QTabBar;
class TDiagramm;
class TFMU2Custom;
class TFMU2Panel;
class TFMU2SpinEdit;

//! A picture of the motion: the gripper with the workpiece on its way, seen from the side
//! for a linear stroke (along X or Y to the right, up or down) and from above for a swivel
//! (the arm of the lever turning about the axis by the swivel angle). Fraction() is the
//! share of the way done, 0 at the start and 1 at the end.
class TMotionAnimation : public QWidget {
    Q_OBJECT

public:
    //! The colour of the workpiece and of the trace of the way.
    static inline const QColor cWorkpiece{90, 140, 200};
    static inline const QColor cTrace{200, 120, 0};

    explicit TMotionAnimation(QWidget* parent = nullptr);
    //! Linear: the direction; rotary: the swivel angle, rad.
    void SetMotion(bool rotary, TLinearDirection direction, double angle);
    void SetFraction(double fraction);
    double Fraction() const { return fraction_; }
    bool Rotary() const { return rotary_; }
    TLinearDirection Direction() const { return direction_; }
    //! Where the workpiece's centre is drawn at a fraction of the way, at the present size.
    QPointF WorkpieceCentre(double fraction) const;

    QSize sizeHint() const override { return {220, 180}; }
    QSize minimumSizeHint() const override { return {140, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool rotary_ = false;
    TLinearDirection direction_ = cldVerticalUp;
    double angle_ = 0.0;
    double fraction_ = 0.0;
};

//! The motion page: the motion type as two tab bars (pneumatic or servo drive, linear or
//! rotary motion), enabled while the page's fields are valid; the direction, travel and
//! holder mass of a stroke, or the angle, lever and holder inertia of a swivel; the
//! workpiece's and the cups' masses and moments of inertia with the moved mass; the servo
//! axis' limits with its jerk and acceleration options and the profile it reaches; the
//! acceleration, speed and travel charts over time (the jerk chart too for a jerk-limited
//! servo axis, the spread bands for a pneumatic drive); and the motion animation, which
//! runs only while the page is current.
class TMotionPage : public QWidget, public TPage {
    Q_OBJECT

public:
    //! Tick of the animation; every tick moves it on by this much of the motion's time.
    static constexpr int cAnimationIntervalMs = 40;
    //! Rest at either end of the way, s of animation time.
    static constexpr double cAnimationRest = 0.4;
    //! The charts, left to right.
    enum TChart { cchJerk, cchAcceleration, cchVelocity, cchPosition, cChartCount };
    //! Colours of the curves, of the entered limits and of the pneumatic spread.
    static inline const QColor cCurve{0, 0, 128};
    static inline const QColor cLimit{255, 0, 0};
    static inline const QColor cBand{170, 205, 240};

    explicit TMotionPage(TPageContext& context);
    ~TMotionPage() override;

    int Index() const override { return cmpMotion; }
    QWidget* Widget() override { return this; }
    void Refresh(TAspects aspects) override;
    void Enter() override;
    void Leave() override;
    void Retranslate() override;

    QTabBar* DriveTabs() const { return driveTabs_; }
    QTabBar* MotionTabs() const { return motionTabs_; }
    QRadioButton* DirectionButton(TLinearDirection d) const {
        return directions_[static_cast<size_t>(d)];
    }
    TFMU2SpinEdit* TravelField() const { return travel_; }
    TFMU2SpinEdit* HolderMassField() const { return holderMass_; }
    TFMU2SpinEdit* AngleField() const { return angle_; }
    TFMU2SpinEdit* LeverField() const { return lever_; }
    TFMU2SpinEdit* HolderInertiaField() const { return holderInertia_; }
    TFMU2Panel* WorkpieceMassPanel() const { return workpieceMass_; }
    TFMU2Panel* CupsMassPanel() const { return cupsMass_; }
    TFMU2Panel* MovingMassPanel() const { return movingMass_; }
    TFMU2Panel* WorkpieceOwnInertiaPanel() const { return ownInertia_; }
    TFMU2Panel* WorkpieceLeverInertiaPanel() const { return leverInertia_; }
    TFMU2Panel* WorkpieceAxisInertiaPanel() const { return axisInertia_; }
    TFMU2Panel* CupsInertiaPanel() const { return cupsInertia_; }
    TFMU2Panel* TotalInertiaPanel() const { return totalInertia_; }

    //! The fields of a servo axis (0 linear, 1 rotary) and the profile it reaches.
    struct TAxisControls {
        QGroupBox* Box = nullptr;
        QCheckBox* JerkLimited = nullptr;
        QCheckBox* SeparateDeceleration = nullptr;
        TFMU2SpinEdit* Jerk = nullptr;
        TFMU2SpinEdit* Acceleration = nullptr;
        TFMU2SpinEdit* Deceleration = nullptr;
        TFMU2SpinEdit* Speed = nullptr;
        TFMU2Panel* ReachedAcceleration = nullptr;
        TFMU2Panel* ReachedDeceleration = nullptr;
        TFMU2Panel* ReachedSpeed = nullptr;
        TFMU2Panel* ReachedTime = nullptr;
        QFormLayout* Form = nullptr;
    };
    const TAxisControls& Axis(int rotary) const { return axes_[static_cast<size_t>(rotary)]; }

    TDiagramm* Chart(TChart chart) const { return charts_[static_cast<size_t>(chart)]; }
    //! The value a chart shows for a curve at time t (s), in the chart's unit; false where
    //! it has none. Curve 0 is the motion; a servo drive's entered limits follow as 1, 2.
    bool ChartValue(TChart chart, int curve, double t, double& y) const;
    TMotionAnimation* Animation() const { return animation_; }
    bool AnimationRuns() const;
    //! The animation's time within its cycle, s (forward, rest, back, rest).
    double AnimationTime() const { return animationTime_; }
    //! The fields whose validity enables the navigator and the tabs.
    std::array<TFMU2SpinEdit*, 5> CheckedFields() const;

private:
    QWidget* BuildTabs();
    QWidget* BuildInputs();
    QGroupBox* BuildAxis(int rotary);
    void BuildCharts(QWidget* box);
    TFMU2SpinEdit* Field(const char* name, TNormUnit quantity, TNUMessurement si,
                         TNUMessurement us);
    TFMU2Panel* Panel(const char* name, TNormUnit quantity, TNUMessurement si, TNUMessurement us);
    void Entered(TFMU2Custom* field);
    void ShowModel();
    void ShowCharts();
    void ReportValidity();
    void UpdateTimer();
    void Tick();
    void ShowAnimation();
    TDriveType Type() const;
    double MotionEnd() const;
    //! The share of the way done at time t of the motion.
    double WayAt(double t) const;

    TPageContext& context_;
    QTabBar* driveTabs_ = nullptr;
    QTabBar* motionTabs_ = nullptr;
    std::array<QRadioButton*, 4> directions_{};
    QWidget* linearBox_ = nullptr;
    QWidget* rotaryBox_ = nullptr;
    QFormLayout* inputs_ = nullptr;
    QFormLayout* results_ = nullptr;
    TFMU2SpinEdit* travel_ = nullptr;
    TFMU2SpinEdit* holderMass_ = nullptr;
    TFMU2SpinEdit* angle_ = nullptr;
    TFMU2SpinEdit* lever_ = nullptr;
    TFMU2SpinEdit* holderInertia_ = nullptr;
    TFMU2Panel* workpieceMass_ = nullptr;
    TFMU2Panel* cupsMass_ = nullptr;
    TFMU2Panel* movingMass_ = nullptr;
    TFMU2Panel* ownInertia_ = nullptr;
    TFMU2Panel* leverInertia_ = nullptr;
    TFMU2Panel* axisInertia_ = nullptr;
    TFMU2Panel* cupsInertia_ = nullptr;
    TFMU2Panel* totalInertia_ = nullptr;
    std::array<TAxisControls, 2> axes_;
    std::array<TDiagramm*, cChartCount> charts_{};
    TMotionAnimation* animation_ = nullptr;
    std::unique_ptr<ITimer> timer_;
    double animationTime_ = 0.0;
    //! The page shows a state of the model: the controls' events are not user input.
    bool showing_ = false;
};
