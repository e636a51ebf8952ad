#pragma once

#include "app/frame/page.h"
#include "core/quantities/project.h"
#include "core/quantities/units.h"
#include "core/util/signal.h"
#include "core/workflow/page_validation.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPointer>
#include <QSize>

class IFileDialogs;
class IHelpViewer;
class ILanguageChooser;
class IClock;
class IMessageBoxes;
class IPrintDialogs;
class IProgramStarter;
class ITimerFactory;
class IUrlOpener;
class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QToolBar;
class TFormBrowser;
class TDlg_Kund_Proj;
class TDlg_Measurement;
class TLanguageDialog32Bit;
class TLanguageForm;
class TMainStatusBar;
class TPageNavigator;
class TProjectFiles;
class TReportCommands;
class TTavUserSettings;
class TVacuumApplication;

//! What the main window is handed besides the application model. Everything outlives it.
struct TFrameServices {
    TTavUserSettings& Settings;
    //! The language list and the chosen code of the language dialog.
    TLanguageDialog32Bit& LanguageDialog;
    IMessageBoxes& Messages;
    IFileDialogs& Files;
    ILanguageChooser& Languages;
    ITimerFactory& Timers;
    //! Null while the program has no help window: the help commands then do nothing.
    IHelpViewer* Help = nullptr;
    //! The size of the screen the window is on; unset: the window's screen.
    std::function<QSize()> ScreenSize;
    //! Starts the helper programs; null: through the settings.
    IProgramStarter* Programs = nullptr;
    //! Opens addresses in the system's browser; null: through the desktop.
    IUrlOpener* Urls = nullptr;
    //! The printer dialog and the print preview; null: the toolkit's.
    IPrintDialogs* Printing = nullptr;
    //! The date and time printed on the report; null: the system's.
    const IClock* Clock = nullptr;
    //! The online shop window; null: one of the main window's own, over Urls.
    TFormBrowser* Shop = nullptr;
};

//! Makes the pages of the stack.
using TPageFactory = std::function<std::vector<std::unique_ptr<TPage>>(TPageContext&)>;

//! The main window: the button bar, the side navigator, the page stack, the status bar and
//! the menus, over the application model. It forwards every command to the model (inside
//! app.Input) and refreshes itself from the model's change notices; the pages come from
//! the factory and are known only through TPage. Each menu item and button is a QAction
//! with an object name ("ActionOpen", "ActionSize1024x768", ...).
class TFormMain : public QMainWindow {
    Q_OBJECT

public:
    TFormMain(TVacuumApplication& app, TFrameServices services, const TPageFactory& pages,
              QWidget* parent = nullptr);
    ~TFormMain() override;

    TVacuumApplication& App() { return app_; }
    TProjectFiles& Files() { return *files_; }
    TLanguageForm& Language() { return *language_; }
    const TFrameServices& Services() const { return services_; }

    TPage* Page(int index) const;
    //! The page shown now.
    TPage* CurrentPage() const { return Page(shownPage_); }
    QStackedWidget* Stack() const { return stack_; }
    TPageNavigator* Navigator() const { return navigator_; }
    TMainStatusBar* Status() const { return status_; }
    QToolBar* ButtonBar() const { return buttonBar_; }
    QLabel* PageTitle() const { return pageTitle_; }
    QMenu* FileMenu() const { return fileMenu_; }
    QMenu* EditMenu() const { return editMenu_; }
    QMenu* ViewMenu() const { return viewMenu_; }
    QMenu* OptionsMenu() const { return optionsMenu_; }
    QMenu* HelpMenu() const { return helpMenu_; }
    QMenu* PageContextMenu() const { return contextMenu_; }
    //! The entries of the recent files in the file menu, most recent first.
    const QList<QAction*>& RecentActions() const { return recentActions_; }
    QAction* Action(const char* objectName) const;
    //! Whether hints show as tooltips (else in the status bar).
    bool HintsAsTooltips() const { return tooltips_; }

    // --- commands (what the menu items and buttons do) ---
    //! The navigator and its step buttons; a refused move shows its one message and
    //! focuses the control it names.
    void Navigate(int page);
    void StepPrevious();
    void StepNext();
    //! "~Language": the language dialog, then the chosen language.
    void ChooseLanguage();
    //! Makes a language current in every window of the program.
    void SetLanguage(const std::string& code);
    //! "~New", "~Open...", a recent file, "~Save", "~SaveAs...". Each asks before a
    //! changed project is replaced; false when nothing was done.
    bool NewProject();
    bool OpenProject();
    bool OpenProjectFile(const QString& fileName);
    bool OpenRecent(int index);
    bool SaveProject();
    bool SaveProjectAs();
    //! Entry `index` of the "~View" menu.
    void ApplyWindowSize(int index);
    //! Enables the size entries the screen can hold (done whenever the menu opens).
    void UpdateWindowSizes();
    //! "~Print", "~PrintPreview", "~ExportPDF...": the printed report of the project.
    TReportCommands& Report() { return *report_; }
    //! The value field of a page by its object name; null when no page has one. Where two
    //! pages have a field of the name, the one of `quantity` showing `value` (else the
    //! first of the quantity).
    class TFMU2Custom* FieldNamed(std::string_view name, TNormUnit quantity = cNU_NoUnit,
                                  double value = 0.0) const;
    //! Opens the help window at a topic (nothing without a help window).
    void ShowHelp(int topic);
    //! "~Units": the measurement-system dialog. "~Project", "~Customer", "~Remarks": the
    //! project/customer dialog on tab 0, 1 or 2. Both are shown window-modal and return
    //! at once; nothing while the disclaimer is pending.
    void OpenUnitsDialog();
    void OpenProjectDialog(int tab);
    //! The dialogs, made when first opened and kept (hidden) afterwards; null before.
    TDlg_Measurement* UnitsDialog() const;
    TDlg_Kund_Proj* ProjectDialog() const;
    //! The message of a refused page check: shown once, then the focus goes to its control.
    void ReportInvalidValue(const TPageCheckFailure& failure);

    //! Translation of a key in the window's language.
    QString Tr(std::string_view key) const;

signals:
    //! The disclaimer was accepted and the new project made.
    void Accepted();
    //! "~Info": the about window.
    void InfoRequested();
    //! The menu commands of the two option dialogs (the window opens them itself).
    void UnitsRequested();
    void ProjectDialogRequested(int tab);
    //! The window was shown for the first time.
    void FirstShown();
    //! The window closed (the user agreed to close a changed project).
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildButtonBar();
    QAction* MakeAction(const char* name, const char* key, std::function<void()> run);
    void Follow(TAspects aspects);
    void ShowCurrentPage();
    void UpdateCommands();
    void UpdateCaption();
    void UpdatePageNumber();
    void UpdateHintStyle();
    void RebuildRecentFiles();
    void EditCommand(int command);
    //! Asks whether to save a changed project before it is closed or replaced; false when
    //! the user cancels (or the save failed).
    bool ConfirmClose();
    bool ReportFileResult(const std::optional<TPrjResult>& result, const QString& leadKey);
    QString ProjectFilter() const;
    QString DocumentsFolder() const;
    void AfterMove();

    TVacuumApplication& app_;
    TFrameServices services_;
    std::unique_ptr<TProjectFiles> files_;
    std::unique_ptr<IProgramStarter> ownPrograms_;
    std::unique_ptr<IUrlOpener> ownUrls_;
    std::unique_ptr<IPrintDialogs> ownPrinting_;
    std::unique_ptr<IClock> ownClock_;
    std::unique_ptr<TReportCommands> report_;
    std::unique_ptr<TFormBrowser> ownShop_;
    std::unique_ptr<TPageContext> context_;
    std::vector<std::unique_ptr<TPage>> pages_;
    std::unique_ptr<TLanguageForm> language_;
    std::vector<TConnection> follow_;
    std::optional<TPageCheckFailure> failure_;

    QToolBar* buttonBar_ = nullptr;
    TPageNavigator* navigator_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QLabel* pageTitle_ = nullptr;
    TMainStatusBar* status_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMenu* optionsMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    QList<QAction*> sizeActions_;
    int shownPage_ = -1;
    bool tooltips_ = true;
    bool shown_ = false;
    QPointer<QWidget> hintSource_;
    QPointer<TDlg_Measurement> unitsDialog_;
    QPointer<TDlg_Kund_Proj> projectDialog_;
};
