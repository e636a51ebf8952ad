#include "core/workflow/parts_list_build.h"

#include "core/data/parts_list.h"
#include "core/document/my_project.h"
#include "core/quantities/number_format.h"
#include "core/util/trace.h"

#include <cmath>

namespace {

// Order codes of the order table are at most this long before they are filled.
constexpr size_t cOrderTemplateMax = 30;

std::string_view AfterDash(std::string_view s) {
    const size_t dash = s.find('-');
    return dash == std::string_view::npos ? std::string_view() : s.substr(dash + 1);
}

bool ValidRow(const TCustomTable* table, int row) {
    return table && row >= 0 && row < table->Rows();
}

} // namespace

std::optional<int32_t> TubeMetres(double length) {
    // Worked out in floating point and converted only once it is known to fit.
    if (!(length >= 0.0 && length <= TPartsList::cQuantityMax)) return std::nullopt;
    double n = RoundHalfEven(length);
    if (length > n + 0.001) n += 1.0;
    if (n > TPartsList::cQuantityMax) return std::nullopt;
    return static_cast<int32_t>(n);
}

std::string CupTemplateArgument(std::string_view orderCode) {
    return std::string(AfterDash(AfterDash(orderCode)));
}

std::string FillOrderTemplate(std::string_view tmpl, std::string_view arg) {
    std::string out;
    for (size_t i = 0; i < tmpl.size(); ++i) {
        if (tmpl[i] == '%' && i + 1 < tmpl.size() && (tmpl[i + 1] == 's' || tmpl[i + 1] == '%')) {
            if (tmpl[i + 1] == 's')
                out += arg;
            else
                out.push_back('%');
            ++i;
        } else {
            out.push_back(tmpl[i]);
        }
    }
    return out;
}

bool AddOrderItem(TPartsList& list, const TCustomTable& order, std::string_view key, int32_t count,
                  std::string_view unit, const std::string* templateArg) {
    if (count == 0) return false;
    int row = -1;
    TTerm cell;
    for (int r = 0, n = order.Rows(); r < n && row < 0; ++r) {
        order.GetField(r, 0, cell);
        if (cell.Text == key) row = r;
    }
    if (row < 0) return false;
    const std::string partNo = order.AsText(row, "PartNo");
    if (ReadNumber(partNo) == 0) return false;

    std::string orderCode = order.AsText(row, "OrderCode");
    if (orderCode.size() > cOrderTemplateMax) orderCode.resize(cOrderTemplateMax);
    if (templateArg) orderCode = FillOrderTemplate(orderCode, *templateArg);
    const std::string item = std::string(key) + " (" + partNo + ")";
    if (count < 0) {
        list.Refuse(item + ": a count of " + std::to_string(count) + " cannot be ordered");
        return false;
    }
    const double packageValue = RoundHalfEven(order.AsFloat(row, "Package"));
    if (!(std::fabs(packageValue) <= TPartsList::cQuantityMax)) {
        list.Refuse(item + ": the packaging unit " + FormatText("%g", packageValue) + " is out of range");
        return false;
    }
    const auto package = static_cast<int32_t>(packageValue);
    // Whole packages, in 64 bits: rounding a count near the 32-bit limit up may pass it.
    const int64_t quantity = package > 0 ? (int64_t{count} + package - 1) / package * package : 0;
    if (quantity > TPartsList::cQuantityMax) {
        list.Refuse(item + ": " + std::to_string(count) + " rounded up to packages of " +
                    std::to_string(package) + " is more than an order file holds (at most " +
                    std::to_string(TPartsList::cQuantityMax) + ")");
        return false;
    }
    return list.Add(partNo, orderCode, package, static_cast<int32_t>(quantity), unit, "", 0,
                    order.AsText(row, "~Description"));
}

TPartsAmounts PartsAmountsFromProject(const TMyProject& project) {
    TPartsAmounts a;
    const bool rotary = project.MotionTabIndex() == 1;
    const bool useQdr =
        rotary ? project.Drive.PneumaticCircular.UseQdr : project.Drive.PneumaticLinear.UseQdr;
    if (useQdr) {
        a.ShockAbsorber = rotary ? project.Drive.PneumaticCircular.QdrOrderCode
                                 : project.Drive.PneumaticLinear.QdrOrderCode;
        a.ShockAbsorberCount = rotary ? project.Drive.PneumaticCircular.QdrCount
                                      : project.Drive.PneumaticLinear.QdrCount;
    }
    a.TubeLength = project.Tube.Length;
    a.SuctionCupCount = project.SuctionCups.Count();
    a.VenturiCount = project.Venturi.Count;
    return a;
}

void BuildPartsList(TPartsList& list, const TPartsAmounts& amounts, const TPartsSources& s) {
    list.Clear();
    if (!s.Order) return;
    const TCustomTable& order = *s.Order;

    if (!amounts.ShockAbsorber.empty())
        AddOrderItem(list, order, amounts.ShockAbsorber, amounts.ShockAbsorberCount, "ST");

    if (amounts.TubeLength > 0 && ValidRow(s.TubeQuery, s.TubeRow) && s.Tube) {
        const std::string partNo = s.TubeQuery->AsText(s.TubeRow, "PartNo");
        if (s.Tube->FindRow("PartNo", partNo) >= 0) {
            if (const auto metres = TubeMetres(amounts.TubeLength))
                AddOrderItem(list, order, partNo, *metres, "M");
            else
                list.Refuse("tube " + partNo + ": " + FormatText("%g", amounts.TubeLength) +
                            " m is more than an order file holds (at most " +
                            std::to_string(TPartsList::cQuantityMax) + " m)");
        }
    }

    if (ValidRow(s.SuctionCupQuery, s.SuctionCupRow)) {
        const std::string shortCut = s.SuctionCupQuery->AsText(s.SuctionCupRow, "ShortCut");
        const std::string arg =
            CupTemplateArgument(s.SuctionCupQuery->AsText(s.SuctionCupRow, "OrderCode"));
        AddOrderItem(list, order, shortCut, amounts.SuctionCupCount, "ST", &arg);
    }

    if (ValidRow(s.VenturiQuery, s.VenturiRow) && s.Venturi) {
        const std::string code = s.VenturiQuery->AsText(s.VenturiRow, "OrderCode");
        const int row = s.Venturi->FindRow("OrderCode", code);
        if (row >= 0) {
            const std::string arg = s.Venturi->AsText(row, "OrderCode");
            AddOrderItem(list, order, s.Venturi->AsText(row, "ShortCut"), amounts.VenturiCount,
                         "ST", &arg);
        }
    }
}
