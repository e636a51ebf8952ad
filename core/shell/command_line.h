#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

//! The switches of an unattended screenshot run, given by the command line of the program
//! (arguments without the program path). Prefixes and the switch are case-sensitive.
struct TScreenshotSwitches {
    //! "/SCREENSHOT" is one of the arguments before the last; as the last argument it is
    //! ignored.
    bool Screenshot = false;
    //! Value of the first "/PROJECT=" argument: the project file to load.
    std::string Project;
    //! Value of the first "/BITMAP=" argument: the image file; a "%s" in it asks for one
    //! image per language, the language code in its place.
    std::string Bitmap;
    //! Value of the first "/PAGE=" argument as an integer: the page to walk to; 0 when the
    //! argument is missing or not a number.
    int Page = 0;
};

TScreenshotSwitches ReadScreenshotSwitches(const std::vector<std::string>& arguments);

//! The desktop program's own switches for unattended runs; each is one argument, in any
//! letter case.
struct TDesignerSwitches {
    //! "/ACCEPT": the disclaimer is accepted at start (so a screenshot run follows at once),
    //! the first-run language choice is not forced, and the program ends after a
    //! screenshot run.
    bool Accept = false;
    //! "/QUITAFTERPAINT": the program ends once the main window has been painted the first
    //! time (for timing the start-up).
    bool QuitAfterPaint = false;
    //! The first plain argument that names a project to open once the disclaimer is
    //! accepted (as a file manager passes it): an argument that is none of the program's
    //! switches and either names an existing file or ends in ".vac" (any letter case).
    //! Empty when there is none.
    std::string ProjectFile;
};

//! True when `exists` says the path names a file; the program asks the file system.
using TFileExists = std::function<bool(const std::string& path)>;

TDesignerSwitches ReadDesignerSwitches(const std::vector<std::string>& arguments);
TDesignerSwitches ReadDesignerSwitches(const std::vector<std::string>& arguments,
                                       const TFileExists& exists);

//! True when the argument is one of the program's switches, in the letter case each is
//! read in: "/ACCEPT", "/QUITAFTERPAINT", "/SAP" and the prefixes "/WERK=", "/PFAD=",
//! "/FILE=" in any case; "/SCREENSHOT" and the prefixes "/PROJECT=", "/BITMAP=", "/PAGE="
//! exactly.
bool IsProgramSwitch(std::string_view argument);

//! One image of a screenshot run: the language it is taken in (empty: the current one) and
//! the file it is saved to.
struct TScreenshotImage {
    std::string Language;
    std::string FileName;

    bool operator==(const TScreenshotImage&) const = default;
};

//! The images a screenshot run saves: without "%s" in `bitmap` one image in the current
//! language; with it one per language in list order, every "%s" replaced by the code.
std::vector<TScreenshotImage> ScreenshotImages(std::string_view bitmap,
                                               const std::vector<std::string>& languages);

//! The desktop program's batch report: "--report-pdf OUT.pdf PROJECT.vac [--lang CODE]" as
//! the whole command line. Requested when the first argument is "--report-pdf"; Error
//! then names what is wrong with the rest (empty when nothing is).
struct TReportPdfRun {
    bool Requested = false;
    std::string Output;
    std::string Project;
    //! Empty: the language the settings name.
    std::string Language;
    std::string Error;
};

TReportPdfRun ReadReportPdfRun(const std::vector<std::string>& arguments);

//! A whole decimal integer with an optional sign; `fallback` for any other text or a value
//! out of the int range.
int StrToIntDef(std::string_view text, int fallback);
