#pragma once

#include "app/frame/page.h"

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class TStringTableGrid;

//! The parts list page: the grid of the assembled parts list (part number, order code,
//! description, length, quantity, packaging unit), the ERP order file (shown only when the
//! ordering system started the program with /SAP; its dialog starts in the /PFAD= folder
//! with the /FILE= name, the plant code is /WERK=), the CSV export (its dialog starts in
//! the documents folder) and the online shop, whose window hands the basket form to the
//! system's browser. A file that cannot be written is a message naming it; an existing file
//! is replaced whole or left as it was.
class TPartsListPage : public QWidget, public TPage {
    Q_OBJECT

public:
    explicit TPartsListPage(TPageContext& context);
    ~TPartsListPage() override;

    int Index() const override { return cmpPartsList; }
    QWidget* Widget() override { return this; }
    void Retranslate() override;
    void Refresh(TAspects aspects) override;
    void Enter() override;

    TStringTableGrid* Grid() const { return grid_; }
    QPushButton* SaveOrderButton() const { return saveOrder_; }
    QPushButton* ExportCsvButton() const { return exportCsv_; }
    QPushButton* ShopButton() const { return shop_; }
    //! Why items were left out of the list (hidden when none were).
    QLabel* NotesLabel() const { return notes_; }

    // The buttons' commands; false when nothing was written (cancelled or failed).
    bool SaveOrderFile();
    bool ExportCsv();
    bool OpenShop();

private:
    void BuildGrid();
    void ShowNotes();
    //! Shows a failed write: the translated lead and the message naming the file.
    bool Report(bool ok, const std::string& message);
    QString Tr(std::string_view key) const;

    TPageContext& context_;
    TStringTableGrid* grid_ = nullptr;
    QPushButton* saveOrder_ = nullptr;
    QPushButton* exportCsv_ = nullptr;
    QPushButton* shop_ = nullptr;
    QLabel* notes_ = nullptr;
};
