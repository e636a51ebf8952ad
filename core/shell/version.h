#pragma once

#include <string>
#include <string_view>

//! A dotted version ("0.1", "2.3.1") as the four numbers major.minor.release.build, missing
//! parts 0 ("0.1.0.0"); "-1" when the text is not one to four dotted decimal numbers.
std::string FourPartVersion(std::string_view dotted);

//! The version of this program in four parts, as other programs read it from the settings.
std::string ProgramVersion();
