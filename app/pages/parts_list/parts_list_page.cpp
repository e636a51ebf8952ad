#include "app/pages/parts_list/parts_list_page.h"

#include "app/dialogs/shop/form_browser.h"
#include "app/platform/file_dialogs.h"
#include "app/platform/message_boxes.h"
#include "core/data/order_export.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "gui/lang/language_form.h"
#include "gui/lang/qt_translators.h"
#include "gui/table/string_table_grid.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The dialogs' filters and the names they start with, as the ordering system knows them.
constexpr const char* kOrderFilter = "SAP Parts List (*.txt)|*.txt";
constexpr const char* kOrderSuffix = "txt";
constexpr const char* kOrderName = "Vacuum";
constexpr const char* kCsvFilter = "Comma Separated Values [*.csv]|*.csv";
constexpr const char* kCsvSuffix = "csv";

QString WithSuffix(QString name, const char* suffix) {
    if (QFileInfo(name).suffix().isEmpty()) name += QString(".") + suffix;
    return name;
}

} // namespace

TPartsListPage::TPartsListPage(TPageContext& context) : context_(context) {
    setObjectName("PagePartsList");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* help = new QLabel("~HelpOpPartsList", this);
    help->setObjectName("LabelPartsListHelp");
    help->setWordWrap(true);
    layout->addWidget(help);
    BuildGrid();
    layout->addWidget(grid_, 1);
    notes_ = new QLabel(this);
    notes_->setObjectName("LabelPartsListNotes");
    notes_->setWordWrap(true);
    QPalette pal = notes_->palette();
    pal.setColor(QPalette::WindowText, QColor(170, 0, 0));
    notes_->setPalette(pal);
    notes_->hide();
    layout->addWidget(notes_);

    auto* buttons = new QHBoxLayout;
    saveOrder_ = new QPushButton("~SaveOrderFile", this);
    saveOrder_->setObjectName("BitBtnSaveSAP");
    exportCsv_ = new QPushButton("~ExportCSV", this);
    exportCsv_->setObjectName("ButtonExportCSV");
    shop_ = new QPushButton("~OnlineShop", this);
    shop_->setObjectName("ButtonOnlineShop");
    for (QPushButton* b : {saveOrder_, exportCsv_, shop_}) buttons->addWidget(b);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    // The order file is for the ordering system that started the program.
    saveOrder_->setVisible(context_.Settings && context_.Settings->SapExportEnabled());

    connect(saveOrder_, &QPushButton::clicked, this, [this] { SaveOrderFile(); });
    connect(exportCsv_, &QPushButton::clicked, this, [this] { ExportCsv(); });
    connect(shop_, &QPushButton::clicked, this, [this] { OpenShop(); });
    ShowNotes();
}

TPartsListPage::~TPartsListPage() = default;

void TPartsListPage::BuildGrid() {
    TVacuumApplication& app = context_.App;
    grid_ = new TStringTableGrid(this);
    grid_->setObjectName("StringGridPartsList");
    grid_->Model().Translate = app.Translator();
    grid_->SetColNames(TPartsList::cColNames);
    grid_->SetTitles(
        {"~ArtNo", "~OrderCode", "~Description", "~xLength", "~Quantity", "~PackagingUnit"});
    grid_->SetRowSelect(true);
    grid_->horizontalHeader()->setHighlightSections(false);
    // The description takes the room the other columns leave.
    grid_->horizontalHeader()->setStretchLastSection(false);
    grid_->SetTable(&app.PartsList);
    grid_->SizeColumns();
}

QString TPartsListPage::Tr(std::string_view key) const {
    return context_.Language.Tr(key);
}

void TPartsListPage::Retranslate() {
    grid_->SizeColumns();
    ShowNotes();
}

void TPartsListPage::Enter() {
    grid_->SizeColumns();
    ShowNotes();
}

void TPartsListPage::Refresh(TAspects aspects) {
    if (aspects.Intersects({caPartsList, caLanguage})) {
        grid_->SizeColumns();
        ShowNotes();
    }
}

void TPartsListPage::ShowNotes() {
    const std::vector<std::string>& refused = context_.App.PartsList.Refusals();
    QStringList lines;
    for (const std::string& r : refused) lines << QString::fromStdString(r);
    notes_->setText(lines.join('\n'));
    notes_->setVisible(!lines.isEmpty());
}

bool TPartsListPage::Report(bool ok, const std::string& message) {
    if (!ok)
        context_.Messages.Inform(window(), Tr("~Error"),
                                 Tr("~FileNotWritten") + "\n\n" + QString::fromStdString(message));
    return ok;
}

bool TPartsListPage::SaveOrderFile() {
    const TTavUserSettings* settings = context_.Settings;
    if (!settings || !settings->SapExportEnabled() || !context_.Files) return false;
    QString folder = QString::fromStdString(settings->ExportFolder());
    if (folder.isEmpty()) folder = QString::fromStdString(settings->DocumentsFolder());
    QString name = QString::fromStdString(settings->ExportFileName());
    if (name.isEmpty()) name = kOrderName;
    const QString suggested = QDir(folder).filePath(WithSuffix(name, kOrderSuffix));
    QString file = context_.Files->SaveFileName(window(), Tr("~PartsList"), suggested,
                                                QtFileFilter(kOrderFilter));
    if (file.isEmpty()) return false;
    file = WithSuffix(file, kOrderSuffix);
    TVacuumApplication& app = context_.App;
    const TExportResult r =
        SaveErpOrderFile(app.PartsList, settings->PlantCode(), file.toStdString());
    return Report(r.Ok, r.Message);
}

bool TPartsListPage::ExportCsv() {
    if (!context_.Files) return false;
    const QString folder = context_.Settings
                               ? QString::fromStdString(context_.Settings->DocumentsFolder())
                               : QString();
    QString file =
        context_.Files->SaveFileName(window(), Tr("~PartsList"), folder, QtFileFilter(kCsvFilter));
    if (file.isEmpty()) return false;
    file = WithSuffix(file, kCsvSuffix);
    const TExportResult r = ExportCsvFile(context_.App.PartsList, file.toStdString());
    return Report(r.Ok, r.Message);
}

bool TPartsListPage::OpenShop() {
    return context_.Shop && context_.Shop->Show(context_.App.PartsList, window());
}
