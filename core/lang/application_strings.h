#pragma once

#include "core/lang/language_db.h"

//! Built-in texts of the two keys the language container may lack.
inline constexpr const char* kVacuumDisplayKey = "~VacuumDisplay";
inline constexpr const char* kFesteHystereseKey = "~FesteHysterese1TP";

//! OnGetString handler shared by the application's language databases: a text without
//! "~" is its own translation; "~VacuumDisplay" and "~FesteHysterese1TP" get built-in
//! texts, German for the language "DE" and English for every other.
void LanguageDB1GetString(TLanguageDB& sender, TLanguageDBRecord& rec);
