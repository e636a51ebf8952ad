#pragma once

#include "app/dialogs/venturi_chart/form_venturi.h"
#include "app/frame/page.h"
#include "core/quantities/units.h"
#include "core/util/signal.h"

#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

class QComboBox;
class QFrame;
class QTabWidget;
class TAirGroup;
class QLabel;
class QPushButton;
class TFMU2Custom;
class TFMU2Panel;
class TFMU2SpinEdit;
class TStrTableCoBox;
class TStringTableGrid;

//! The picture of a thread beside a connection list: a fitting's hexagon and threaded
//! stem, sized by the thread, with its name; hidden while the list has no choice.
class TFittingPicture : public QWidget {
    Q_OBJECT

public:
    explicit TFittingPicture(QWidget* parent = nullptr);
    void SetThread(const QString& thread);
    const QString& Thread() const { return thread_; }
    QSize sizeHint() const override { return {34, 26}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString thread_;
};

//! The vacuum generator page: the operating conditions (number of generators, operating
//! pressure, required vacuum, maximum time) with the evacuated volume and the chosen
//! generator, the twelve filter lists over the generator query with the fitting pictures,
//! a context help beside the conditions (the output-switch and ejector-pulse help among
//! it), the record label and the grid of the generators with their evacuation time and
//! reachable vacuum for the conditions now. "~Diagram" opens the chart window.
class TVenturiPage : public QWidget, public TPage {
    Q_OBJECT

public:
    explicit TVenturiPage(TPageContext& context);
    ~TVenturiPage() override;

    int Index() const override { return cmpVenturi; }
    QWidget* Widget() override { return this; }
    void Retranslate() override;
    void Refresh(TAspects aspects) override;
    void Enter() override;

    //! The filter list of a query column ("Group", "~EjectorPulse", ...).
    TStrTableCoBox* List(const std::string& column) const;
    const std::vector<std::string>& ListColumns() const { return columns_; }
    TStringTableGrid* Grid() const { return grid_; }
    TFMU2SpinEdit* CountField() const { return count_; }
    TFMU2SpinEdit* PressureField() const { return pressure_; }
    TFMU2SpinEdit* VacuumField() const { return vacuum_; }
    TFMU2SpinEdit* TimeMaxField() const { return timeMax_; }
    TFMU2Panel* VolumePanel() const { return volume_; }
    //! The site and the workpiece's leak, and what the chosen generator reaches with them.
    QWidget* SiteBox() const { return siteBox_; }
    //! The tabs of the operating conditions, the site and leak, and the compressed air.
    QTabWidget* ConditionTabs() const { return conditionTabs_; }
    TFMU2SpinEdit* AltitudeField() const { return altitude_; }
    TFMU2SpinEdit* AmbientPressureField() const { return ambient_; }
    QComboBox* LeakKindList() const { return leakKind_; }
    TFMU2SpinEdit* LeakDiameterField() const { return leakDiameter_; }
    TFMU2SpinEdit* LeakFlowField() const { return leakFlow_; }
    TFMU2SpinEdit* LeakVacuumField() const { return leakVacuum_; }
    TFMU2Panel* ReachablePanel() const { return reachable_; }
    QLabel* SiteTimeLabel() const { return siteTime_; }
    QLabel* RecordLabel() const { return records_; }
    QLabel* SelectedLabel() const { return selected_; }
    QPushButton* DiagramButton() const { return diagram_; }
    TFittingPicture* PressureFitting() const { return fittingP_; }
    TFittingPicture* VacuumFitting() const { return fittingV_; }
    //! The context help panel and what it shows now.
    QFrame* HelpPanel() const { return help_; }
    QLabel* HelpText() const { return helpText_; }
    //! The labels "U", "I", "PNP", "NPN" of the output-switch help and "~Electrical",
    //! "~Mechanical" of the ejector-pulse help.
    QLabel* SwitchLabel(const char* name) const;
    QLabel* PulseLabel(int index) const { return pulse_[index]; }
    static bool Highlighted(const QLabel* label);
    //! The compressed air and its cost.
    TAirGroup* AirGroup() const { return air_; }
    //! The chart window, once "~Diagram" made it.
    TFormVenturi* ChartWindow() const { return chart_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct THelpTopic {
        QWidget* Control = nullptr;
        QLabel* Label = nullptr;
        std::string Text;
        //! 1: the output-switch labels, 2: the ejector-pulse labels.
        int Extra = 0;
    };

    QWidget* BuildConditions();
    QWidget* BuildFilters();
    QWidget* BuildHelp();
    QWidget* BuildSite();
    void ShowSite();
    void BuildGrid();
    TFMU2SpinEdit* Field(const char* name, TNormUnit quantity, TNUMessurement si,
                         TNUMessurement us);
    void Entered(TFMU2Custom* field);
    void ReportValidity();
    void FilterChosen(const std::string& column, const std::string& value);
    void RowChosen(int aRow);
    void ShowStoredFilters();
    void ShowResults();
    void ShowSwitchHelp();
    void ShowChosenRow();
    void ShowHelp(const THelpTopic* topic);
    void ShowChartWindow(const std::string& caption);

    TPageContext& context_;
    std::vector<std::string> columns_;
    std::vector<TStrTableCoBox*> lists_;
    std::vector<THelpTopic> topics_;
    TStringTableGrid* grid_ = nullptr;
    TFMU2SpinEdit* count_ = nullptr;
    TFMU2SpinEdit* pressure_ = nullptr;
    TFMU2SpinEdit* vacuum_ = nullptr;
    TFMU2SpinEdit* timeMax_ = nullptr;
    TFMU2Panel* volume_ = nullptr;
    QWidget* siteBox_ = nullptr;
    QTabWidget* conditionTabs_ = nullptr;
    TFMU2SpinEdit* altitude_ = nullptr;
    TFMU2SpinEdit* ambient_ = nullptr;
    QComboBox* leakKind_ = nullptr;
    TFMU2SpinEdit* leakDiameter_ = nullptr;
    TFMU2SpinEdit* leakFlow_ = nullptr;
    TFMU2SpinEdit* leakVacuum_ = nullptr;
    TFMU2Panel* reachable_ = nullptr;
    QLabel* siteTime_ = nullptr;
    // Labels of the leak's fields, shown with them.
    QLabel* leakDiameterLabel_ = nullptr;
    QLabel* leakFlowLabel_ = nullptr;
    QLabel* leakVacuumLabel_ = nullptr;
    QLabel* records_ = nullptr;
    QLabel* selected_ = nullptr;
    QPushButton* diagram_ = nullptr;
    TFittingPicture* fittingP_ = nullptr;
    TFittingPicture* fittingV_ = nullptr;
    QFrame* help_ = nullptr;
    QLabel* helpTitle_ = nullptr;
    QLabel* helpText_ = nullptr;
    QWidget* switchRow_ = nullptr;
    QWidget* pulseRow_ = nullptr;
    std::vector<QLabel*> switch_;
    QLabel* pulse_[2] = {nullptr, nullptr};
    const THelpTopic* shownTopic_ = nullptr;
    //! The page shows a state of the model: the controls' events are not user input.
    bool showing_ = false;
    QPointer<TFormVenturi> chart_;
    TAirGroup* air_ = nullptr;
    std::vector<TConnection> follow_;
};
