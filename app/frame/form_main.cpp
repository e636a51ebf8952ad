#include "app/frame/form_main.h"

#include "app/dialogs/shop/form_browser.h"
#include "app/dialogs/project/dlg_kund_proj.h"
#include "app/dialogs/units/dlg_measurement.h"
#include "app/frame/main_status_bar.h"
#include "app/frame/page_navigator.h"
#include "app/platform/file_dialogs.h"
#include "app/platform/help_viewer.h"
#include "app/platform/language_chooser.h"
#include "app/platform/message_boxes.h"
#include "app/platform/print_dialogs.h"
#include "app/platform/program_starter.h"
#include "app/platform/url_opener.h"
#include "app/report/report_commands.h"
#include "core/document/my_project.h"
#include "core/lang/language_dialog.h"
#include "core/shell/startup.h"
#include "core/shell/user_settings.h"
#include "core/workflow/main_window_rules.h"
#include "core/workflow/main_window_size.h"
#include "core/workflow/project_files.h"
#include "core/workflow/vacuum_application.h"
#include "core/lang/application_strings.h"
#include "gui/fields/fmu2_custom.h"
#include "gui/lang/language_form.h"
#include "gui/lang/qt_translators.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

enum TEditCommand { cecUndo, cecCut, cecCopy, cecPaste };

// The commands whose actions follow the workflow's enabled rule.
struct TCommandAction {
    const char* Name;
    TMainCommand Command;
};
constexpr TCommandAction kCommandActions[] = {
    {"ActionNew", cmcNew},           {"ActionOpen", cmcOpen},         {"ActionSave", cmcSave},
    {"ActionSaveAs", cmcSaveAs},     {"ActionPrint", cmcPrint},       {"ActionUndo", cmcUndo},
    {"ActionCut", cmcCut},           {"ActionCopy", cmcCopy},         {"ActionPaste", cmcPaste},
    {"ActionUnits", cmcUnits},       {"ActionLanguage", cmcLanguage}, {"ActionProject", cmcProject},
    {"ActionCustomer", cmcCustomer}, {"ActionRemarks", cmcRemarks},   {"ActionInfo", cmcInfo},
    {"ActionExit", cmcExit},         {"ActionPrintPreview", cmcPrint}, {"ActionExportPDF", cmcPrint},
};

// The text field a menu's edit command goes to: the focused line edit, or the editor
// inside a focused spin box.
QLineEdit* FocusedLineEdit() {
    QWidget* w = QApplication::focusWidget();
    if (!w) return nullptr;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit;
    return w->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

TFormMain::TFormMain(TVacuumApplication& app, TFrameServices services, const TPageFactory& pages,
                     QWidget* parent)
    : QMainWindow(parent), app_(app), services_(std::move(services)),
      files_(std::make_unique<TProjectFiles>(app)) {
    setObjectName("FormMain");
    setMinimumSize(TMainWindowSize::cMinWidth, TMainWindowSize::cMinHeight);
    language_ = std::make_unique<TLanguageForm>(this);
    // The program's fallback texts for keys the language container may lack.
    language_->LanguageDB().OnGetString = LanguageDB1GetString;
    BuildMenus();
    BuildButtonBar();

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(10);
    navigator_ = new TPageNavigator(central);
    navigator_->setFixedWidth(200);
    layout->addWidget(navigator_);
    auto* right = new QVBoxLayout;
    right->setSpacing(6);
    pageTitle_ = new QLabel(central);
    pageTitle_->setObjectName("PageTitle");
    QFont titleFont = pageTitle_->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    titleFont.setBold(true);
    pageTitle_->setFont(titleFont);
    right->addWidget(pageTitle_);
    auto* rule = new QFrame(central);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    right->addWidget(rule);
    stack_ = new QStackedWidget(central);
    stack_->setObjectName("NotebookMain");
    right->addWidget(stack_, 1);
    layout->addLayout(right, 1);
    setCentralWidget(central);
    status_ = new TMainStatusBar(this);
    setStatusBar(status_);

    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName("PageContextMenu");
    contextMenu_->addAction(MakeAction("ContextOperatingManual", "~OperatingManual",
                                       [this] { ShowHelp(cHelpContents); }));
    contextMenu_->addAction(
        MakeAction("ContextFormulae", "~Formulae", [this] { ShowHelp(cHelpFormulae); }));
    contextMenu_->addAction(MakeAction("ContextChemicalDurability", "~ChemicalDurability",
                                       [this] { ShowHelp(cHelpChemicalDurability); }));

    if (!services_.Programs) {
        ownPrograms_ = std::make_unique<TSettingsProgramStarter>(services_.Settings);
        services_.Programs = ownPrograms_.get();
    }
    if (!services_.Urls) {
        ownUrls_ = std::make_unique<TDesktopUrlOpener>();
        services_.Urls = ownUrls_.get();
    }
    if (!services_.Printing) {
        ownPrinting_ = std::make_unique<TQtPrintDialogs>();
        services_.Printing = ownPrinting_.get();
    }
    if (!services_.Clock) {
        ownClock_ = std::make_unique<TSystemClock>();
        services_.Clock = ownClock_.get();
    }
    report_ = std::make_unique<TReportCommands>(TReportCommands::TServices{
        app_, services_.Settings, services_.Messages, services_.Files, *services_.Printing,
        *services_.Clock, this, [this](const TReportValue& v) { return FieldNamed(v.Control, v.Quantity, v.Value); },
        [this] { return files_->HasProject() ? files_->FileName() : std::string(); },
        [this](std::string_view key) { return Tr(key); }});
    if (!services_.Shop) {
        ownShop_ = std::make_unique<TFormBrowser>(services_.Messages, *services_.Urls,
                                                  &services_.Settings, app_.Translator());
        services_.Shop = ownShop_.get();
    }
    context_ = std::make_unique<TPageContext>(TPageContext{
        app_, *language_, services_.Messages, services_.Timers, services_.Help, services_.Programs,
        &services_.Files, &services_.Settings, services_.Urls, services_.Shop});
    pages_ = pages(*context_);
    std::vector<QWidget*> slotWidgets(cMainPageCount, nullptr);
    for (const auto& page : pages_)
        if (ValidMainPage(page->Index()))
            slotWidgets[static_cast<size_t>(page->Index())] = page->Widget();
    for (int i = 0; i < cMainPageCount; ++i) {
        QWidget* w = slotWidgets[static_cast<size_t>(i)];
        if (!w) w = new QWidget;
        stack_->addWidget(w);
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& at) { contextMenu_->popup(w->mapToGlobal(at)); });
    }

    connect(this, &TFormMain::UnitsRequested, this, &TFormMain::OpenUnitsDialog);
    connect(this, &TFormMain::ProjectDialogRequested, this, &TFormMain::OpenProjectDialog);
    connect(navigator_, &TPageNavigator::PageClicked, this, &TFormMain::Navigate);
    connect(navigator_, &TPageNavigator::PreviousClicked, this, &TFormMain::StepPrevious);
    connect(navigator_, &TPageNavigator::NextClicked, this, &TFormMain::StepNext);

    follow_.push_back(app_.Changed.Connect([this](TAspects a) { Follow(a); }));
    follow_.push_back(
        app_.Workflow.OnInvalidValue.Connect([this](TPageWorkflow&, const TPageCheckFailure& f) {
            if (!failure_) failure_ = f;
        }));
    // The signals leave the model's action first, so that their followers see it done.
    follow_.push_back(app_.Workflow.OnAccepted.Connect(
        [this](TPageWorkflow&) { QTimer::singleShot(0, this, [this] { emit Accepted(); }); }));
    follow_.push_back(app_.Workflow.OnDecline.Connect(
        [this](TPageWorkflow&) { QTimer::singleShot(0, this, [this] { close(); }); }));
    follow_.push_back(
        app_.LoadProgress.Connect([this](int percent) { status_->SetProgress(percent); }));
    language_->LanguageDB().OnUpdateProgressBar = [this](TCustomLanguageDB&, int percent) {
        status_->SetProgress(percent);
    };
    files_->Recent().OnChange = [this](TFileMenu&) { RebuildRecentFiles(); };
    files_->ReadRecent(services_.Settings);

    language_->Loaded();
    // The measurement system the user chose holds from the start; the fields are made in
    // their SI units.
    if (services_.Settings.Measure() == "1") SetSIUnitsAll(this, false);
    Follow(TAspects::All());
    RebuildRecentFiles();
    resize(TMainWindowSize::cSizes[0].Width, TMainWindowSize::cSizes[0].Height);
}

TFormMain::~TFormMain() {
    qApp->removeEventFilter(this);
    files_->Recent().OnChange = nullptr;
    follow_.clear();
    // The form's bindings go before the widgets they name, the pages before the stack.
    language_.reset();
    pages_.clear();
}

QString TFormMain::Tr(std::string_view key) const {
    return QString::fromStdString(language_->LanguageDB().TranslateDisplay(key));
}

TPage* TFormMain::Page(int index) const {
    for (const auto& page : pages_)
        if (page->Index() == index) return page.get();
    return nullptr;
}

QAction* TFormMain::Action(const char* objectName) const {
    return findChild<QAction*>(objectName);
}

QAction* TFormMain::MakeAction(const char* name, const char* key, std::function<void()> run) {
    auto* action = new QAction(key, this);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
    return action;
}

void TFormMain::BuildMenus() {
    QMenuBar* bar = menuBar();
    fileMenu_ = bar->addMenu("~File");
    fileMenu_->setObjectName("MenuFile");
    QAction* newAction = MakeAction("ActionNew", "~New", [this] { NewProject(); });
    newAction->setShortcut(QKeySequence::New);
    QAction* open = MakeAction("ActionOpen", "~Open...", [this] { OpenProject(); });
    open->setShortcut(QKeySequence::Open);
    QAction* save = MakeAction("ActionSave", "~Save", [this] { SaveProject(); });
    save->setShortcut(QKeySequence::Save);
    QAction* saveAs = MakeAction("ActionSaveAs", "~SaveAs...", [this] { SaveProjectAs(); });
    fileMenu_->addActions({newAction, open, save, saveAs});
    fileMenu_->addSeparator();
    recentSeparator_ = fileMenu_->addSeparator();
    QAction* print = MakeAction("ActionPrint", "~Print", [this] { report_->Print(); });
    print->setShortcut(QKeySequence::Print);
    fileMenu_->addAction(print);
    fileMenu_->addAction(
        MakeAction("ActionPrintPreview", "~PrintPreview", [this] { report_->Preview(); }));
    fileMenu_->addAction(
        MakeAction("ActionExportPDF", "~ExportPDF...", [this] { report_->ExportPdf(); }));
    fileMenu_->addSeparator();
    fileMenu_->addAction(MakeAction("ActionExit", "~Exit", [this] { close(); }));

    editMenu_ = bar->addMenu("~Edit");
    editMenu_->setObjectName("MenuEdit");
    editMenu_->addAction(MakeAction("ActionUndo", "~Undo", [this] { EditCommand(cecUndo); }));
    editMenu_->addAction(MakeAction("ActionCut", "~Cut", [this] { EditCommand(cecCut); }));
    editMenu_->addAction(MakeAction("ActionCopy", "~Copy", [this] { EditCommand(cecCopy); }));
    editMenu_->addAction(MakeAction("ActionPaste", "~Paste", [this] { EditCommand(cecPaste); }));
    connect(editMenu_, &QMenu::aboutToShow, this, [this] {
        QLineEdit* edit = FocusedLineEdit();
        Action("ActionUndo")
            ->setEnabled(app_.Workflow.CommandEnabled(cmcUndo) && edit && edit->isUndoAvailable());
    });

    viewMenu_ = bar->addMenu("~View");
    viewMenu_->setObjectName("MenuView");
    for (int i = 0; i < static_cast<int>(TMainWindowSize::cSizes.size()); ++i) {
        const TWindowSize size = TMainWindowSize::cSizes[static_cast<size_t>(i)];
        const QString name = QString("ActionSize%1x%2").arg(size.Width).arg(size.Height);
        QAction* a = MakeAction(name.toLatin1().constData(), "", [this, i] { ApplyWindowSize(i); });
        a->setText(QString("%1 x %2").arg(size.Width).arg(size.Height));
        viewMenu_->addAction(a);
        sizeActions_.push_back(a);
    }
    connect(viewMenu_, &QMenu::aboutToShow, this, &TFormMain::UpdateWindowSizes);

    optionsMenu_ = bar->addMenu("~Options");
    optionsMenu_->setObjectName("MenuOptions");
    optionsMenu_->addAction(MakeAction("ActionUnits", "~Units", [this] {
        if (app_.Workflow.CommandEnabled(cmcUnits)) emit UnitsRequested();
    }));
    optionsMenu_->addAction(
        MakeAction("ActionLanguage", "~Language", [this] { ChooseLanguage(); }));
    optionsMenu_->addSeparator();
    optionsMenu_->addAction(MakeAction("ActionProject", "~Project", [this] {
        if (app_.Workflow.CommandEnabled(cmcProject)) emit ProjectDialogRequested(0);
    }));
    optionsMenu_->addAction(MakeAction("ActionCustomer", "~Customer", [this] {
        if (app_.Workflow.CommandEnabled(cmcCustomer)) emit ProjectDialogRequested(1);
    }));
    optionsMenu_->addAction(MakeAction("ActionRemarks", "~Remarks", [this] {
        if (app_.Workflow.CommandEnabled(cmcRemarks)) emit ProjectDialogRequested(2);
    }));

    helpMenu_ = bar->addMenu("~Help");
    helpMenu_->setObjectName("MenuHelp");
    helpMenu_->addAction(
        MakeAction("ActionContents", "~Contents", [this] { ShowHelp(cHelpContents); }));
    helpMenu_->addAction(MakeAction("ActionIndex", "~Index", [this] { ShowHelp(cHelpIndex); }));
    helpMenu_->addAction(MakeAction("ActionOperatingInstructions", "~OperatingInstructions",
                                    [this] { ShowHelp(cHelpOperatingInstructions); }));
    helpMenu_->addAction(
        MakeAction("ActionFormulae", "~Formulae", [this] { ShowHelp(cHelpFormulae); }));
    helpMenu_->addSeparator();
    helpMenu_->addAction(MakeAction("ActionInfo", "~Info", [this] { emit InfoRequested(); }));

    // F1 anywhere in the window: the topic of the page shown.
    QAction* f1 = MakeAction("ActionHelpPage", "", [this] { ShowHelp(app_.Workflow.HelpTopic()); });
    f1->setShortcut(Qt::Key_F1);
    f1->setShortcutContext(Qt::WindowShortcut);
    addAction(f1);

    // Alt+Left and Alt+Right step back and on as the navigator's arrow buttons do, and only
    // while they could be clicked.
    for (const bool forward : {false, true}) {
        QAction* step = MakeAction(forward ? "ActionNextPage" : "ActionPreviousPage", "",
                                   [this, forward] {
                                       QToolButton* b = forward ? navigator_->NextButton()
                                                                : navigator_->PreviousButton();
                                       if (b->isEnabled() && b->isVisible()) b->click();
                                   });
        step->setShortcut(QKeySequence(Qt::ALT | (forward ? Qt::Key_Right : Qt::Key_Left)));
        step->setShortcutContext(Qt::WindowShortcut);
        addAction(step);
    }
}

void TFormMain::BuildButtonBar() {
    buttonBar_ = new QToolBar(this);
    buttonBar_->setObjectName("ButtonBar");
    buttonBar_->setMovable(false);
    buttonBar_->setFloatable(false);
    buttonBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    buttonBar_->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, buttonBar_);
    buttonBar_->addAction(Action("ActionExit"));
    buttonBar_->addAction(Action("ActionPrint"));
    buttonBar_->addAction(Action("ActionLanguage"));
    setContextMenuPolicy(Qt::NoContextMenu);
}

void TFormMain::Follow(TAspects aspects) {
    if (aspects.Has(caLanguage)) {
        UpdateHintStyle();
        for (const auto& page : pages_) page->Retranslate();
    }
    if (aspects.Intersects({caNavigator, caLanguage})) {
        ShowCurrentPage();
        navigator_->Refresh(app_.Workflow);
        UpdatePageNumber();
        UpdateCommands();
    }
    if (aspects.Intersects({caDocument, caNavigator, caLanguage})) UpdateCaption();
    for (const auto& page : pages_) page->Refresh(aspects);
    // Every page that leads to a design that does not hold says so.
    if (app_.Workflow.DisclaimerPending()) {
        status_->SetVerdict(QString(), true);
    } else {
        // Only a design judged and found short is a warning; one not judged yet says nothing.
        const THoldingVerdict v = app_.HoldingVerdict();
        status_->SetVerdict(QString::fromStdString(VerdictLine(v, app_.Translator(), false)), !v.Fails(),
                            QString::fromStdString(VerdictLine(v, app_.Translator())));
    }
}

void TFormMain::ShowCurrentPage() {
    const int current = app_.Workflow.CurrentPage();
    if (current != shownPage_) {
        if (TPage* old = Page(shownPage_)) old->Leave();
        shownPage_ = current;
        stack_->setCurrentIndex(current);
        if (TPage* now = Page(current)) now->Enter();
    }
    pageTitle_->setText(Tr(MainPageInfo(current).PageCaption));
}

TFMU2Custom* TFormMain::FieldNamed(std::string_view name, TNormUnit quantity, double value) const {
    const QString objectName = QString::fromUtf8(name.data(), static_cast<int>(name.size()));
    TFMU2Custom* first = nullptr;
    for (const auto& page : pages_)
        for (TFMU2Custom* field : page->Widget()->findChildren<TFMU2Custom*>(objectName)) {
            if (quantity == cNU_NoUnit) return field;
            if (field->NormUnit() != quantity) continue;
            if (std::abs(field->Value() - value) <= 1e-9 * std::max(1.0, std::abs(value)))
                return field;
            if (!first) first = field;
        }
    return first;
}

void TFormMain::UpdateCommands() {
    for (const TCommandAction& c : kCommandActions)
        if (QAction* a = Action(c.Name)) a->setEnabled(app_.Workflow.CommandEnabled(c.Command));
    const bool recent = app_.Workflow.CommandEnabled(cmcRecentFile);
    for (QAction* a : recentActions_) a->setEnabled(recent);
}

void TFormMain::UpdateCaption() {
    const std::string title =
        VersionLabelText(language_->Translate("~Sorvane-Version%s"), services_.Settings.Version());
    const std::string untitled = language_->Translate("~Untitled");
    setWindowTitle(QString::fromStdString(MainWindowCaption(
        title, files_->HasProject(), files_->FileName(), files_->Modified(), untitled)));
    QString file;
    if (files_->HasProject())
        file = files_->FileName().empty()
                   ? QString::fromStdString(untitled)
                   : QString::fromStdString(app_.Document.ProjectDisplayName());
    status_->SetFileText(file);
}

void TFormMain::UpdatePageNumber() {
    status_->SetPageText(QString::fromStdString(
        PageNumberText(language_->Translate(cPageNumberKey), app_.Workflow.PageNumber())));
}

void TFormMain::UpdateHintStyle() {
    tooltips_ = ::HintsAsTooltips(language_->LanguageDB().Charset());
    // The filter gives tooltips their time or sends hints to the status bar; installing
    // twice keeps one filter.
    qApp->installEventFilter(this);
    status_->SetHint(QString());
    hintSource_ = nullptr;
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (tooltips_ && event->type() == QEvent::ToolTip) {
        auto* w = qobject_cast<QWidget*>(watched);
        // A hint stays visible for its time unless the widget sets its own.
        if (w && w->window() == this && w->toolTipDuration() < 0) w->setToolTipDuration(cHintVisibleMs);
    }
    if (!tooltips_) {
        auto* w = qobject_cast<QWidget*>(watched);
        const bool mine = w && w->window() == this;
        switch (event->type()) {
        case QEvent::ToolTip:
            if (mine) return true;
            break;
        case QEvent::Enter:
            if (mine && !w->toolTip().isEmpty()) {
                hintSource_ = w;
                status_->SetHint(w->toolTip());
            }
            break;
        case QEvent::Leave:
            if (w && w == hintSource_) {
                hintSource_ = nullptr;
                status_->SetHint(QString());
            }
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::RebuildRecentFiles() {
    for (QAction* a : recentActions_) {
        fileMenu_->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    const TFileMenu& recent = files_->Recent();
    for (int i = 0; i < recent.Count(); ++i) {
        auto* a = new QAction(QString::fromStdString(recent.Caption(i)), fileMenu_);
        a->setObjectName(QString::fromStdString(recent.EntryName(i)));
        connect(a, &QAction::triggered, this, [this, i] { OpenRecent(i); });
        fileMenu_->insertAction(recentSeparator_, a);
        recentActions_.push_back(a);
    }
    recentSeparator_->setVisible(!recentActions_.isEmpty());
    UpdateCommands();
}

void TFormMain::AfterMove() {
    if (!failure_) return;
    const TPageCheckFailure f = *failure_;
    failure_.reset();
    ReportInvalidValue(f);
}

void TFormMain::Navigate(int page) {
    failure_.reset();
    app_.Input([&] { app_.Workflow.Navigate(page); });
    AfterMove();
}

void TFormMain::StepPrevious() {
    failure_.reset();
    app_.Input([&] { app_.Workflow.Previous(); });
    AfterMove();
}

void TFormMain::StepNext() {
    failure_.reset();
    app_.Input([&] { app_.Workflow.Next(); });
    AfterMove();
}

void TFormMain::ReportInvalidValue(const TPageCheckFailure& failure) {
    services_.Messages.Inform(this, Tr(cInvalidValueCaption), Tr(failure.Message));
    if (failure.FocusControl.empty()) return;
    if (TPage* page = CurrentPage())
        if (QWidget* control = page->ControlNamed(failure.FocusControl))
            control->setFocus(Qt::OtherFocusReason);
}

void TFormMain::ChooseLanguage() {
    TLanguageDialog32Bit& dialog = services_.LanguageDialog;
    dialog.SetCode(language_->LanguageDB().Language());
    if (!services_.Languages.Choose(dialog, this)) return;
    SetLanguage(dialog.Code());
}

void TFormMain::SetLanguage(const std::string& code) {
    app_.Input([&] { language_->LanguageDB().SetLanguage(code); });
}

QString TFormMain::ProjectFilter() const {
    return QtFileFilter(Tr("~ProjectFilter"));
}

QString TFormMain::DocumentsFolder() const {
    return QString::fromStdString(services_.Settings.DocumentsFolder());
}

bool TFormMain::ReportFileResult(const std::optional<TPrjResult>& result, const QString& lead) {
    if (!result) return false;
    if (result->Ok()) return true;
    services_.Messages.Inform(this, Tr("~Error"),
                              lead + "\n\n" + QString::fromStdString(result->Message));
    return false;
}

bool TFormMain::ConfirmClose() {
    if (!files_->AskBeforeClosing()) return true;
    const QString name = files_->FileName().empty()
                             ? Tr("~Untitled")
                             : QFileInfo(QString::fromStdString(files_->FileName())).fileName();
    const QString question = QString::fromStdString(
        VersionLabelText(language_->Translate("~SaveChanges%s"), name.toStdString()));
    switch (services_.Messages.Ask(this, Tr("~Sorvane"), question, Tr("~Yes"), Tr("~No"),
                                   Tr("~Cancel"))) {
    case TAnswer::Yes:
        return SaveProject();
    case TAnswer::No:
        return true;
    case TAnswer::Cancel:
        break;
    }
    return false;
}

bool TFormMain::NewProject() {
    if (!app_.Workflow.CommandEnabled(cmcNew) || !ConfirmClose()) return false;
    return files_->New();
}

bool TFormMain::OpenProject() {
    if (!app_.Workflow.CommandEnabled(cmcOpen) || !ConfirmClose()) return false;
    const std::string current = files_->FileName();
    const QString folder = current.empty()
                               ? DocumentsFolder()
                               : QFileInfo(QString::fromStdString(current)).absolutePath();
    const QString name =
        services_.Files.OpenFileName(this, Tr("~Open..."), folder, ProjectFilter());
    if (name.isEmpty()) return false;
    return ReportFileResult(files_->Open(name.toStdString()), Tr("~ProjectNotOpened"));
}

bool TFormMain::OpenProjectFile(const QString& fileName) {
    if (!app_.Workflow.CommandEnabled(cmcOpen) || !ConfirmClose()) return false;
    return ReportFileResult(files_->Open(fileName.toStdString()), Tr("~ProjectNotOpened"));
}

bool TFormMain::OpenRecent(int index) {
    if (!app_.Workflow.CommandEnabled(cmcRecentFile)) return false;
    const std::string name = files_->Recent().FileName(index);
    if (name.empty() || !ConfirmClose()) return false;
    return ReportFileResult(files_->Open(name), Tr("~ProjectNotOpened"));
}

bool TFormMain::SaveProject() {
    if (!app_.Workflow.CommandEnabled(cmcSave)) return false;
    if (files_->FileName().empty()) return SaveProjectAs();
    return ReportFileResult(files_->Save(), Tr("~ProjectNotSaved"));
}

bool TFormMain::SaveProjectAs() {
    if (!app_.Workflow.CommandEnabled(cmcSaveAs)) return false;
    const std::string current = files_->FileName();
    const QString suggested = current.empty()
                                  ? QDir(DocumentsFolder()).filePath(Tr("~Untitled") + ".vac")
                                  : QString::fromStdString(current);
    QString name = services_.Files.SaveFileName(this, Tr("~SaveAs..."), suggested, ProjectFilter());
    if (name.isEmpty()) return false;
    if (QFileInfo(name).suffix().isEmpty()) name += ".vac";
    return ReportFileResult(files_->SaveAs(name.toStdString()), Tr("~ProjectNotSaved"));
}

void TFormMain::EditCommand(int command) {
    if (!app_.Workflow.CommandEnabled(cmcCut)) return;
    QWidget* w = QApplication::focusWidget();
    if (QLineEdit* edit = FocusedLineEdit()) {
        switch (command) {
        case cecUndo:
            edit->undo();
            break;
        case cecCut:
            edit->cut();
            Action("ActionUndo")->setEnabled(edit->isUndoAvailable());
            break;
        case cecCopy:
            edit->copy();
            break;
        case cecPaste:
            edit->paste();
            break;
        }
    } else if (auto* text = qobject_cast<QTextEdit*>(w)) {
        switch (command) {
        case cecUndo:
            text->undo();
            break;
        case cecCut:
            text->cut();
            break;
        case cecCopy:
            text->copy();
            break;
        case cecPaste:
            text->paste();
            break;
        }
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        switch (command) {
        case cecUndo:
            plain->undo();
            break;
        case cecCut:
            plain->cut();
            break;
        case cecCopy:
            plain->copy();
            break;
        case cecPaste:
            plain->paste();
            break;
        }
    }
}

void TFormMain::UpdateWindowSizes() {
    const QSize screenSize =
        services_.ScreenSize ? services_.ScreenSize() : screen()->geometry().size();
    for (int i = 0; i < sizeActions_.size(); ++i)
        sizeActions_[i]->setEnabled(
            TMainWindowSize::SizeAvailable(i, screenSize.width(), screenSize.height()));
}

void TFormMain::ApplyWindowSize(int index) {
    const QSize screenSize =
        services_.ScreenSize ? services_.ScreenSize() : screen()->geometry().size();
    if (!TMainWindowSize::SizeAvailable(index, screenSize.width(), screenSize.height())) return;
    const TWindowRect now{x(), y(), width(), height()};
    const TWindowRect r =
        TMainWindowSize::Apply(now, index, screenSize.width(), screenSize.height());
    move(r.Left, r.Top);
    resize(r.Width, r.Height);
}

void TFormMain::ShowHelp(int topic) {
    if (services_.Help) services_.Help->ShowTopic(topic);
}

TDlg_Measurement* TFormMain::UnitsDialog() const {
    return unitsDialog_.data();
}

TDlg_Kund_Proj* TFormMain::ProjectDialog() const {
    return projectDialog_.data();
}

void TFormMain::OpenUnitsDialog() {
    if (!app_.Workflow.CommandEnabled(cmcUnits)) return;
    if (!unitsDialog_)
        unitsDialog_ = new TDlg_Measurement(services_.Settings, services_.Help,
                                            language_->LanguageDB().Language(), this);
    if (unitsDialog_->isVisible()) {
        unitsDialog_->raise();
        return;
    }
    unitsDialog_->open();
}

void TFormMain::OpenProjectDialog(int tab) {
    if (!app_.Workflow.CommandEnabled(cmcProject)) return;
    if (!projectDialog_)
        projectDialog_ =
            new TDlg_Kund_Proj(app_, services_.Help, language_->LanguageDB().Language(), this);
    if (projectDialog_->isVisible()) {
        projectDialog_->raise();
        return;
    }
    projectDialog_->Open(tab);
    projectDialog_->open();
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    event->accept();
    emit Closed();
}

void TFormMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    status_->setVisible(TMainWindowSize::StatusBarVisible(height()));
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    QTimer::singleShot(0, this, [this] { emit FirstShown(); });
}
