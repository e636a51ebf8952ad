#include "core/workflow/document_rows.h"

#include "core/data/custom_table.h"
#include "core/document/my_project.h"

int MaterialRow(const TMyProject& document, const TCustomTable& densityTable) {
    if (densityTable.ColByName("ProjectKey") < 0) return -1;
    return densityTable.FindRow("ProjectKey", document.Workpiece.Material);
}

int ShockAbsorberRow(const TCustomTable& table, std::string_view orderCode) {
    if (orderCode.empty()) return 0;
    if (table.ColByName("Bez") < 0) return -1;
    return table.FindRow("Bez", orderCode);
}
