#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

//! The parts of the application model a view may show, as bit flags: a change notice names
//! the ones that changed, so a page repaints only what it shows.
enum TAspect : uint16_t {
    caWorkpiece = 1u << 0,       //!< shape, sizes, volume, density, mass, inertia, friction
    caArrangement = 1u << 1,     //!< strategy and the cups' places, directions and flags
    caSuctionCup = 1u << 2,      //!< the chosen suction cup row
    caTube = 1u << 3,            //!< the chosen tube, its lengths and volume
    caVacuumGenerator = 1u << 4, //!< the chosen generator, its inputs and operating values
    caMotion = 1u << 5,          //!< moving mass, inertia about the swivel axis, profiles
    caDrive = 1u << 6,           //!< cylinder or actuator sizing
    caForces = 1u << 7,          //!< forces and moments on the gripper
    caCupLoads = 1u << 8,        //!< forces and load ratios of the cups
    caPartsList = 1u << 9,       //!< the assembled parts list
    caDocument = 1u << 10,       //!< the project's name and modified state
    caLanguage = 1u << 11,       //!< the current language
    caNavigator = 1u << 12,      //!< current page, reach
};

//! How many aspects there are; the flags are the bits 0 .. cAspectCount - 1.
inline constexpr int cAspectCount = 13;

//! A set of aspects.
class TAspects {
public:
    constexpr TAspects() = default;
    constexpr TAspects(TAspect aspect) : FBits(aspect) {}
    constexpr TAspects(std::initializer_list<TAspect> aspects) {
        for (const TAspect a : aspects) FBits = static_cast<uint16_t>(FBits | a);
    }
    //! Every aspect.
    static constexpr TAspects All() { return FromBits((1u << cAspectCount) - 1u); }
    static constexpr TAspects FromBits(unsigned bits) {
        TAspects s;
        s.FBits = static_cast<uint16_t>(bits & ((1u << cAspectCount) - 1u));
        return s;
    }

    constexpr unsigned Bits() const { return FBits; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr bool Has(TAspect aspect) const { return (FBits & aspect) != 0; }
    //! At least one aspect of `other` is in the set.
    constexpr bool Intersects(TAspects other) const { return (FBits & other.FBits) != 0; }

    constexpr TAspects& operator|=(TAspects other) {
        FBits = static_cast<uint16_t>(FBits | other.FBits);
        return *this;
    }
    friend constexpr TAspects operator|(TAspects a, TAspects b) { return a |= b; }
    friend constexpr TAspects operator&(TAspects a, TAspects b) { return FromBits(a.FBits & b.FBits); }
    friend constexpr bool operator==(const TAspects&, const TAspects&) = default;

private:
    uint16_t FBits = 0;
};

//! Two flags make a set (the built-in | would make an int).
constexpr TAspects operator|(TAspect a, TAspect b) { return TAspects(a) | TAspects(b); }

//! The names of the aspects of a set in flag order, separated by ","; for traces and test
//! messages.
inline std::string AspectNames(TAspects aspects) {
    static constexpr const char* kNames[cAspectCount] = {
        "workpiece", "arrangement", "suction cup", "tube",   "vacuum generator", "motion",   "drive",
        "forces",    "cup loads",   "parts list",  "document", "language",       "navigator"};
    std::string s;
    for (int i = 0; i < cAspectCount; ++i) {
        if (!(aspects.Bits() & (1u << i))) continue;
        if (!s.empty()) s += ",";
        s += kNames[i];
    }
    return s;
}
