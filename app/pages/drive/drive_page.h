#pragma once

#include "app/frame/page.h"
#include "core/calc/axis_range.h"
#include "core/calc/drive.h"
#include "core/quantities/units.h"

#include <array>
#include <string>
#include <vector>

#include <QWidget>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QRadioButton;
class QStackedWidget;
class TFMU2Custom;
class TFMU2Panel;
class TFMU2SpinEdit;

//! The two bars of a shock absorber's load against one of its ratings: the first fills in
//! lime up to 100 %, beyond that both are red, the second filled by the excess up to a
//! further 100 %, with its percentage written beside it.
class TRatingBars : public QWidget {
    Q_OBJECT

public:
    static inline const QColor cGood{0, 255, 0}; // lime
    static inline const QColor cOver{255, 0, 0};

    explicit TRatingBars(QWidget* parent = nullptr);
    void SetBar(const TRatingBar& bar);
    const TRatingBar& Bar() const { return bar_; }
    //! Where the bars are drawn at the present size.
    QRect FirstRect() const;
    QRect SecondRect() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int TextWidth() const;
    TRatingBar bar_;
};

//! The drive page. For a pneumatic stroke: operating pressure, safety factor, the cylinder
//! (from the list, or chosen for 20-30 % load), the travel and moving mass it moves, the
//! travel time or top speed in either of the two entry modes, the piston force,
//! accelerations, braking distance on the cushioning or a fixed stop and the inertia force,
//! and the shock absorbers with type, count and rating bars. For a pneumatic swivel: the
//! same for a rotary actuator from the list of those that turn the angle, with the
//! absorbers' lever arm and equivalent mass. For a servo axis: the note that it follows
//! its profile. Above them, whether the actuator can move and stop the load.
class TDrivePage : public QWidget, public TPage {
    Q_OBJECT

public:
    enum TView { cdvLinear, cdvRotary, cdvServo };
    static inline const QColor cVerdictGood{0, 110, 0};
    static inline const QColor cVerdictBad{200, 0, 0};

    explicit TDrivePage(TPageContext& context);

    int Index() const override { return cmpDrive; }
    QWidget* Widget() override { return this; }
    void Refresh(TAspects aspects) override;
    void Enter() override;
    void Retranslate() override;

    QStackedWidget* Views() const { return views_; }
    //! The verdict of the check: shown for the pneumatic drives.
    QLabel* Verdict() const { return verdict_; }

    struct TLinearControls {
        TFMU2SpinEdit* Pressure = nullptr;
        TFMU2SpinEdit* SafetyFactor = nullptr;
        QCheckBox* Automatic = nullptr;
        QComboBox* Cylinders = nullptr;
        TFMU2Panel* Diameter = nullptr;
        TFMU2Panel* Travel = nullptr;
        TFMU2Panel* MovingMass = nullptr;
        QRadioButton* Calculate = nullptr;
        QRadioButton* Known = nullptr;
        TFMU2SpinEdit* Time = nullptr;
        TFMU2SpinEdit* Speed = nullptr;
        TFMU2Panel* PistonForce = nullptr;
        TFMU2Panel* Acceleration = nullptr;
        QLabel* BrakingCaption = nullptr;
        TFMU2Panel* BrakingDistance = nullptr;
        TFMU2Panel* BrakingAcceleration = nullptr;
        TFMU2Panel* InertiaForce = nullptr;
        QCheckBox* UseAbsorber = nullptr;
        QComboBox* Absorbers = nullptr;
        TFMU2SpinEdit* AbsorberCount = nullptr;
        QWidget* AbsorberBox = nullptr;
        std::array<TRatingBars*, 3> Bars{};
        std::array<TFMU2Panel*, 3> Loads{};
        QFormLayout* Form = nullptr;
    };
    struct TRotaryControls {
        TFMU2SpinEdit* Pressure = nullptr;
        TFMU2SpinEdit* SafetyFactor = nullptr;
        QComboBox* Actuators = nullptr;
        TFMU2Panel* Angle = nullptr;
        TFMU2Panel* Inertia = nullptr;
        QRadioButton* Calculate = nullptr;
        QRadioButton* Known = nullptr;
        TFMU2SpinEdit* Time = nullptr;
        TFMU2SpinEdit* Speed = nullptr;
        TFMU2Panel* Torque = nullptr;
        TFMU2Panel* Acceleration = nullptr;
        TFMU2Panel* BrakingAngle = nullptr;
        TFMU2Panel* BrakingAcceleration = nullptr;
        TFMU2Panel* Centripetal = nullptr;
        TFMU2Panel* InertiaForce = nullptr;
        QCheckBox* UseAbsorber = nullptr;
        QComboBox* Absorbers = nullptr;
        TFMU2SpinEdit* AbsorberCount = nullptr;
        TFMU2SpinEdit* Radius = nullptr;
        TFMU2Panel* EquivalentMass = nullptr;
        QWidget* AbsorberBox = nullptr;
        QWidget* BarsBox = nullptr;
        std::array<TRatingBars*, 3> Bars{};
        std::array<TFMU2Panel*, 3> Loads{};
        QFormLayout* AbsorberForm = nullptr;
    };
    const TLinearControls& Linear() const { return lin_; }
    const TRotaryControls& Rotary() const { return rot_; }
    QLabel* ServoNote() const { return servoNote_; }

private:
    // The range a project's linear travel time is judged by; the stroke narrows it.
    TAxisRange timeJudged_;
    TAxisRange rotaryTimeJudged_;
    QWidget* BuildLinear();
    QWidget* BuildRotary();
    QWidget* BuildServo();
    QWidget* BuildBars(std::array<TRatingBars*, 3>& bars, std::array<TFMU2Panel*, 3>& loads,
                       const char* prefix, QWidget* parent);
    TFMU2SpinEdit* Field(const char* name, TNormUnit quantity, TNUMessurement si, TNUMessurement us,
                         QWidget* parent);
    TFMU2Panel* Panel(const char* name, TNormUnit quantity, TNUMessurement si, TNUMessurement us,
                      QWidget* parent);
    void Entered(TFMU2Custom* field);
    void RotaryAbsorberChanged();
    void ShowModel();
    void ShowLinear();
    void ShowRotary();
    void ShowVerdict();
    void FillActuators();

    TPageContext& context_;
    QStackedWidget* views_ = nullptr;
    QLabel* verdict_ = nullptr;
    QLabel* servoNote_ = nullptr;
    TLinearControls lin_;
    TRotaryControls rot_;
    //! The "Diameter" of each entry of the cylinder list.
    std::vector<double> diameters_;
    std::vector<std::string> actuators_;
    bool showing_ = false;
};
