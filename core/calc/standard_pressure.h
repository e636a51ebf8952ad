#pragma once

//! Standard (normal) pressure, Pa: the catalogue's curves are measured at it, and the
//! free-air volumes of compressed air refer to it.
inline constexpr double cStandardPressure = 101325.0;
