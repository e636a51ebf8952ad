#include "core/workflow/product_filters.h"

#include <array>

#include "core/data/string_query.h"
#include "core/quantities/my_project_types.h"
#include "core/quantities/term.h"

namespace {

using TCups = TMyProject::TSuctionCupSelection;
using TTubeSel = TMyProject::TTube;
using TVenturiSel = TMyProject::TVenturi;

// A filter with the document member that stores it (a choice ordinal or an option).
template <class S>
struct TBinding {
    TProductFilter Filter;
    uint8_t S::*Choice = nullptr;
    bool S::*Flag = nullptr;
};

template <class S, size_t N>
TBinding<S> Choice(std::string_view column, const std::array<std::string_view, N>& names, uint8_t S::*m) {
    return {{column, cpfChoice, std::span<const std::string_view>(names), {}}, m, nullptr};
}

template <class S>
TBinding<S> Flag(std::string_view column, TProductFilterKind kind, std::string_view yes, bool S::*m) {
    return {{column, kind, {}, yes}, nullptr, m};
}

const std::array kCupBindings = {
    Choice("StrokeCompensation", cStrokeCompensationNames, &TCups::StrokeCompensation),
    Choice("Connector", cAirConnectorNames, &TCups::AirConnector),
    Choice("HolderType", cHolderTypeNames, &TCups::HolderType),
    Choice("~MaterialKey", cSuctionCupMaterialNames, &TCups::Material),
    Choice("~ShapeKey", cSuctionCupShapeNames, &TCups::Shape),
    Choice("Size", cSuctionCupSizeNames, &TCups::Size),
    Choice("Group", cSuctionCupGroupNames, &TCups::Group),
    Flag("~Filter", cpfFlag, "X", &TCups::Filter),
    Flag("~AngleCompensator", cpfFlag, "X", &TCups::AngleCompensation),
};

const std::array kTubeBindings = {
    Choice("~Color", cTubeColorNames, &TTubeSel::SelectionColor),
    Flag("~Food", cpfFlag, "~Yes", &TTubeSel::SelectionFood),
};

const std::array kVenturiBindings = {
    Choice("Group", cVenturiGroupNames, &TVenturiSel::SelectionGroup),
    Choice("FittingP", cVenturiThreadNames, &TVenturiSel::SelectionGewP),
    Choice("FittingV", cVenturiThreadNames, &TVenturiSel::SelectionGewV),
    Choice("Switch", cVenturiSwitchNames, &TVenturiSel::SelectionSwitch),
    Flag("~AirSaving", cpfFlag, "~Yes", &TVenturiSel::SelectionSaveAir),
    Flag("~Silencer", cpfFlag, "~Yes", &TVenturiSel::SelectionSilencer),
    Flag("~ValveVacuum", cpfFlag, "~Yes", &TVenturiSel::SelectionMagneticValve),
    Flag("~EjectorPulse", cpfAnyButNo, "~Yes", &TVenturiSel::SelectionEjectorPulse),
    Flag("~NonReturnValve", cpfFlag, "~Yes", &TVenturiSel::SelectionNonReturnValve),
    Flag("~Filter", cpfFlag, "~Yes", &TVenturiSel::SelectionFilter),
};

template <class S, size_t N>
std::span<const TProductFilter> Filters(const std::array<TBinding<S>, N>& bindings) {
    static const std::array<TProductFilter, N> filters = [&] {
        std::array<TProductFilter, N> f{};
        for (size_t i = 0; i < N; ++i) f[i] = bindings[i].Filter;
        return f;
    }();
    return filters;
}

template <class S, size_t N>
int Value(const std::array<TBinding<S>, N>& bindings, const S& s, size_t index) {
    if (index >= N) return 0;
    const TBinding<S>& b = bindings[index];
    return b.Choice ? s.*b.Choice : (s.*b.Flag ? 1 : 0);
}

template <class S, size_t N>
bool Store(const std::array<TBinding<S>, N>& bindings, S& s, std::string_view column, std::string_view value) {
    for (const TBinding<S>& b : bindings) {
        if (b.Filter.Column != column) continue;
        if (b.Flag) {
            s.*b.Flag = b.Filter.Kind == cpfAnyButNo ? !value.empty() && value != "~No" : value == b.Filter.Yes;
            return true;
        }
        // A translated column holds the name behind a "~".
        if (column.starts_with('~') && value.starts_with('~')) value.remove_prefix(1);
        uint8_t ordinal = 0;
        for (size_t i = 1; i < b.Filter.Names.size(); ++i)
            if (b.Filter.Names[i] == value) ordinal = static_cast<uint8_t>(i);
        s.*b.Choice = ordinal;
        return true;
    }
    return false;
}

template <class S, size_t N>
void Apply(const std::array<TBinding<S>, N>& bindings, const S& s, TStringQuery& query) {
    if (!query.Table()) return;
    query.BeginCategoryUpdate();
    for (size_t i = 0; i < N; ++i) {
        const TProductFilter& f = bindings[i].Filter;
        query.CategorySelectAll(f.Column);
        const int ordinal = Value(bindings, s, i);
        if (ordinal == 0) continue;
        if (f.Kind == cpfAnyButNo) {
            query.FilterCategoryByExpression(f.Column, "[" + std::string(f.Column) + "]<>'~No'");
        } else if (const std::string text = FilterValueText(f, ordinal); !text.empty()) {
            TTerm value;
            TermFromText(value, text);
            query.FilterCategory(f.Column, value, cCompEqual);
        }
    }
    query.EndCategoryUpdate();
    query.Changed(cChangeFilter);
}

} // namespace

std::span<const TProductFilter> SuctionCupFilters() { return Filters(kCupBindings); }
std::span<const TProductFilter> TubeFilters() { return Filters(kTubeBindings); }
std::span<const TProductFilter> VenturiFilters() { return Filters(kVenturiBindings); }

int SuctionCupFilterValue(const TCups& s, size_t index) { return Value(kCupBindings, s, index); }
int TubeFilterValue(const TTubeSel& t, size_t index) { return Value(kTubeBindings, t, index); }
int VenturiFilterValue(const TVenturiSel& v, size_t index) { return Value(kVenturiBindings, v, index); }

bool StoreSuctionCupFilter(TCups& s, std::string_view column, std::string_view value) {
    return Store(kCupBindings, s, column, value);
}
bool StoreTubeFilter(TTubeSel& t, std::string_view column, std::string_view value) {
    return Store(kTubeBindings, t, column, value);
}
bool StoreVenturiFilter(TVenturiSel& v, std::string_view column, std::string_view value) {
    return Store(kVenturiBindings, v, column, value);
}

std::string FilterValueText(const TProductFilter& filter, int ordinal) {
    if (ordinal <= 0) return {};
    if (filter.Kind != cpfChoice) return std::string(filter.Yes);
    if (static_cast<size_t>(ordinal) >= filter.Names.size()) return {};
    const std::string name(filter.Names[static_cast<size_t>(ordinal)]);
    return filter.Column.starts_with('~') ? "~" + name : name;
}

void ApplySuctionCupFilters(const TCups& s, TStringQuery& query) { Apply(kCupBindings, s, query); }
void ApplyTubeFilters(const TTubeSel& t, TStringQuery& query) { Apply(kTubeBindings, t, query); }
void ApplyVenturiFilters(const TVenturiSel& v, TStringQuery& query) { Apply(kVenturiBindings, v, query); }
