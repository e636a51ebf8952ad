#pragma once

// A project document after New and a density table with its query, built in memory.

#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"

#include <string>
#include <vector>

struct TDensityRow {
    std::string Material;
    double Min;
    double Max;
    std::string Key;
};

//! The density table's columns as the catalogue has them, with a few materials.
inline void FillDensityTable(TStrTableDB32Bit& t, const std::vector<TDensityRow>& rows) {
    t.Loaded();
    auto& material = t.AddColumn("~Material", csfString);
    auto& min = t.AddColumn("min", csfFloat);
    auto& max = t.AddColumn("max", csfFloat);
    auto& key = t.AddColumn("ProjectKey", csfString);
    for (const TDensityRow& r : rows) {
        material.AppendText(r.Material);
        min.AppendFloat(r.Min);
        max.AppendFloat(r.Max);
        key.AppendText(r.Key);
    }
    t.SetRows(static_cast<int>(rows.size()));
}

inline const std::vector<TDensityRow> kMaterials = {
    {"~Steel", 7800, 7870, "Steel"},
    {"~Aluminium", 2600, 2800, "Aluminium"},
    {"~Glass", 2400, 2600, "Glass"},
};

//! A new project and the density query over the materials above.
struct TWorkflowFixture {
    TMyProject Doc;
    TStrTableDB32Bit Densities;
    TStringQuery DensityQuery;

    TWorkflowFixture() {
        FillDensityTable(Densities, kMaterials);
        DensityQuery.Loaded();
        DensityQuery.SetTable(&Densities);
        Doc.Project().New();
    }
};
