#include "core/calc/movement.h"

#include "core/quantities/prj_strings.h"

namespace {

constexpr double kUnreadable = 1.0;

} // namespace

void TMovement::WriteTo(TPrjStrings& strings, const std::string& key) const {
    strings.WriteBoolean(key + ".JerkLimited", FJerkLimited);
    strings.WriteFloat(key + ".Jerk", FJerk);
    strings.WriteFloat(key + ".AccPos", FAccPos);
    strings.WriteFloat(key + ".AccNeg", FAccNeg);
    strings.WriteFloat(key + ".Vmax", FVmax);
    strings.WriteFloat(key + ".Length", FLength);
    strings.WriteFloat(key + ".Time", FTime);
}

void TMovement::ReadFrom(const TPrjStrings& strings, const std::string& key) {
    SetJerkLimited(strings.ReadBoolean(key + ".JerkLimited"));
    SetJerk(strings.ReadFloat(key + ".Jerk", kUnreadable));
    SetAccPos(strings.ReadFloat(key + ".AccPos", kUnreadable));
    SetAccNeg(strings.ReadFloat(key + ".AccNeg", kUnreadable));
    SetVmax(strings.ReadFloat(key + ".Vmax", kUnreadable));
    SetLength(strings.ReadFloat(key + ".Length", kUnreadable));
    SetTime(strings.ReadFloat(key + ".Time", kUnreadable));
}

bool TMovement::Equals(const TPrjObject& other) const {
    const auto* o = dynamic_cast<const TMovement*>(&other);
    return o && FJerkLimited == o->FJerkLimited && FJerk == o->FJerk && FAccPos == o->FAccPos &&
           FAccNeg == o->FAccNeg && FVmax == o->FVmax && FLength == o->FLength && FTime == o->FTime;
}

void TMovement::AssignFrom(const TPrjObject& other) {
    const auto* o = dynamic_cast<const TMovement*>(&other);
    if (!o) return;
    SetJerkLimited(o->FJerkLimited);
    SetJerk(o->FJerk);
    SetAccPos(o->FAccPos);
    SetAccNeg(o->FAccNeg);
    SetVmax(o->FVmax);
    SetLength(o->FLength);
    SetTime(o->FTime);
}

void TMovement::ClearItem() {
    SetJerkLimited(false);
    SetJerk(1.0);
    SetAccPos(1.0);
    SetAccNeg(-1.0);
    SetVmax(1.0);
    SetLength(1.0);
    SetTime(1.0);
}
