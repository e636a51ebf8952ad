#include "core/calc/tube.h"

#include "core/data/custom_table.h"

#include <cmath>
#include <numbers>

double TubeVolume(double length, double diameter) {
    const double r = diameter / 2.0;
    const double v = length * std::numbers::pi * r * r;
    return std::isfinite(v) ? v : 0.0;
}

std::unordered_set<std::string> ConnectorConnections(const TCustomTable& connectors,
                                                     std::string_view connector) {
    std::unordered_set<std::string> out;
    const int cName = connectors.ColByName("Name");
    const int cConnection = connectors.ColByName("Connection");
    if (cName < 0 || cConnection < 0 || connector.empty()) return out;
    for (int r = 0; r < connectors.Rows(); ++r)
        if (connectors.AsText(r, cName) == connector) out.insert(connectors.AsText(r, cConnection));
    return out;
}

bool TubeFits(const std::unordered_set<std::string>& connections, const std::string& dwCode,
              const std::string& txCode) {
    // An empty code is a missing fitting, not a match of an empty connection.
    return (!dwCode.empty() && connections.contains(dwCode)) ||
           (!txCode.empty() && connections.contains(txCode));
}

TTubeLengths TubeLengths(bool totalMode, double single, double total, int cupCount) {
    const int n = cupCount > 0 ? cupCount : 1;
    TTubeLengths l;
    if (totalMode) {
        l.Total = std::isfinite(total) ? total : 0.0;
        l.Single = l.Total / n;
    } else {
        l.Single = std::isfinite(single) ? single : 0.0;
        l.Total = l.Single * n;
    }
    return l;
}
