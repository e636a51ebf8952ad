#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

class TCustomTable;

//! Volume of a tube of length `length` and inner diameter `diameter` (m), m³.
double TubeVolume(double length, double diameter);

//! The "Connection" texts of the rows of the connector table ("Name", "Connection") whose
//! "Name" is the cup connector `connector`.
std::unordered_set<std::string> ConnectorConnections(const TCustomTable& connectors,
                                                     std::string_view connector);

//! A tube fits when its fitting code of either series is one of the connections.
bool TubeFits(const std::unordered_set<std::string>& connections, const std::string& dwCode,
              const std::string& txCode);

//! Tube lengths per suction cup and in total (m).
struct TTubeLengths {
    double Single = 0.0;
    double Total = 0.0;
};

//! Derives the other length from the one entered: per cup (total = count × single) or in
//! total (single = total / count). A count below 1 counts as 1.
TTubeLengths TubeLengths(bool totalMode, double single, double total, int cupCount);
