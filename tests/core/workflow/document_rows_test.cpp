#include "core/data/str_table_db.h"
#include "core/document/my_project.h"
#include "core/workflow/document_rows.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(DocumentRows, ShockAbsorberRowByOrderCode) {
    TCustomStrTableDB table;
    auto& bez = table.AddColumn("Bez", csfString);
    for (const char* code : {"SA-8", "SA-12", "SA-20"}) bez.AppendText(code);
    table.SetRows(3);
    EXPECT_EQ(ShockAbsorberRow(table, "SA-12"), 1);
    EXPECT_EQ(ShockAbsorberRow(table, "SA-99"), -1);
    EXPECT_EQ(ShockAbsorberRow(table, "sa-12"), -1);
    EXPECT_EQ(ShockAbsorberRow(table, ""), 0);
    TCustomStrTableDB other;
    other.AddColumn("OrderCode", csfString).AppendText("SA-12");
    other.SetRows(1);
    EXPECT_EQ(ShockAbsorberRow(other, "SA-12"), -1);
}

TEST(DocumentRows, MaterialRowByProjectKey) {
    TCustomStrTableDB density;
    auto& material = density.AddColumn("Material", csfString);
    auto& key = density.AddColumn("ProjectKey", csfString);
    for (const char* k : {"Steel", "Aluminium"}) {
        material.AppendText(std::string("~") + k);
        key.AppendText(k);
    }
    density.SetRows(2);
    TMyProject d;
    d.Workpiece.Material = "Aluminium";
    EXPECT_EQ(MaterialRow(d, density), 1);
    d.Workpiece.Material = "Wood";
    EXPECT_EQ(MaterialRow(d, density), -1);
}

} // namespace
