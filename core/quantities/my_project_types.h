#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Enumerations of the vacuum project and the names they are stored by (index = ordinal).
// In the selection tables "*" (ordinal 0) means any and "-" none. The series and type
// codes are those of the product catalogue's tables and must change together with them.

//! Shape of the workpiece ("Workpiece.Shape").
enum TWorkpieceShape : uint8_t {
    cwsMassKnown = 0,
    cwsVolumeKnown = 1,
    cwsBar = 2,
    cwsCylinderX = 3,
    cwsCylinderY = 4,
    cwsCylinderZ = 5,
    cwsGlobe = 6,
    cwsPipeX = 7,
    cwsPipeY = 8,
    cwsPipeZ = 9,
};

//! Direction of a linear motion ("Moving.Linear.Direction").
enum TLinearDirection : uint8_t {
    cldHorizontalX = 0,
    cldHorizontalY = 1,
    cldVerticalUp = 2,
    cldVerticalDown = 3,
};

//! Drive of the motion ("Drive.Type"): 2 × (servo) + (rotary).
enum TDriveType : uint8_t {
    cdtPneumaticLinear = 0,
    cdtPneumaticCircular = 1,
    cdtNCLinear = 2,
    cdtNCCircular = 3,
};

inline constexpr std::array<std::string_view, 10> cWorkpieceShapeNames = {
    "<mass known>", "<volume known>", "bar",     "cylinder<x>", "cylinder<y>",
    "cylinder<z>",  "globe",          "pipe<x>", "pipe<y>",     "pipe<z>"};

inline constexpr std::array<std::string_view, 10> cStrokeCompensationNames = {
    "*", "-", "0", "2.6", "3", "6", "10", "20", "30", "40"};

inline constexpr std::array<std::string_view, 5> cAirConnectorNames = {"*", "-", "female", "male",
                                                                       "push-in"};

inline constexpr std::array<std::string_view, 10> cHolderTypeNames = {"*",  "-",  "H1", "H2", "H3",
                                                                      "H4", "H5", "H6", "H7", "H8"};

inline constexpr std::array<std::string_view, 8> cSuctionCupMaterialNames = {
    "*", "SI", "PUR", "NBR", "NBR-AS", "Neopren", "Viton", "Viton-AS"};

inline constexpr std::array<std::string_view, 6> cSuctionCupShapeNames = {
    "*", "standart", "extra deep", "bellows 1.5", "bellows 3.5", "oval"};

inline constexpr std::array<std::string_view, 32> cSuctionCupSizeNames = {
    "*",    "1",    "2",    "4",    "5",    "6",     "8",     "10",    "15",    "20",   "30",
    "40",   "50",   "55",   "60",   "75",   "80",    "100",   "125",   "150",   "200",  "4x10",
    "4x20", "6x10", "6x20", "8x20", "8x30", "10x30", "15x45", "20x60", "25x75", "30x90"};

inline constexpr std::array<std::string_view, 4> cSuctionCupGroupNames = {"*", "S1", "S2", "S3"};

inline constexpr std::array<std::string_view, 8> cTubeColorNames = {
    "*", "nature", "silver", "blue", "black", "yellow", "green", "red"};

inline constexpr std::array<std::string_view, 5> cVenturiGroupNames = {"*", "V1", "V2", "V3", "V4"};

//! Thread of the pressure ("GewP") and of the vacuum ("GewV") connection.
inline constexpr std::array<std::string_view, 5> cVenturiThreadNames = {"*", "M5", "G1/8", "G1/4",
                                                                        "G3/8"};

inline constexpr std::array<std::string_view, 4> cVenturiSwitchNames = {"*", "-", "NPN", "PNP"};

inline constexpr std::array<std::string_view, 4> cLinearDirectionNames = {
    "horizontal <x>", "horizontal <y>", "vertical <up>", "vertical <down>"};

inline constexpr std::array<std::string_view, 4> cDriveTypeNames = {
    "pneumatic <linear>", "pneumatic <circular>", "NC <linear>", "NC <circular>"};
