#pragma once

#include <string>
#include <string_view>

//! Font character set of the languages written in code page 1252 (English, German, ...).
inline constexpr int cDefaultCharset = 1;
//! Topic that F1 opens in the start-up window and the about window.
inline constexpr int cHelpAbout = 14;

//! The window caption: the project's file name without its folders, "*" after it while the
//! project differs from the file, " - " and `title` (the program name with its version).
//! Only the title while there is no project (the disclaimer is pending); `untitled` in
//! place of the name for a project that has no file yet.
std::string MainWindowCaption(std::string_view title, bool hasProject, std::string_view fileName,
                              bool modified, std::string_view untitled);

//! The status bar's page number: `pattern` (the translation of "~Page%d") with every "%d"
//! replaced by `pageNumber`; empty for 0 (the pages that show no number).
std::string PageNumberText(std::string_view pattern, int pageNumber);

//! How long a hint shown as a tooltip stays visible, ms.
inline constexpr int cHintVisibleMs = 4000;

//! Hints show as tooltips in a language of the default character set; in any other the
//! tooltips are off and the hint text goes to the status bar's hint panel.
inline bool HintsAsTooltips(int charset) {
    return charset == cDefaultCharset;
}

//! Whether `fileName` names a PNG image (".png" in any letter case); other names are
//! written as Windows bitmaps.
bool IsPngFileName(std::string_view fileName);
