#include "core/shell/command_line.h"
#include "core/shell/user_settings.h"
#include "tests/core/shell/shell_test_support.h"

#include <climits>
#include <fstream>
#include <set>
#include <gtest/gtest.h>

namespace {

using TArgs = std::vector<std::string>;

} // namespace

TEST(CommandLine, OrderingSystemSwitchesInAnyLetterCase) {
    TFakeEnvironment env;
    TTavUserSettings settings(env);
    settings.ReadCommandLine({"/werk=ABC", "/Pfad=/srv/export/", "/file=Order 1.txt", "/sap"});
    EXPECT_TRUE(settings.SapExportEnabled());
    EXPECT_EQ(settings.PlantCode(), "ABC");
    EXPECT_EQ(settings.ExportFolder(), "/srv/export/");
    EXPECT_EQ(settings.ExportFileName(), "Order 1.txt");

    // Values keep their letter case and may hold "=" and blanks; a later argument wins.
    settings.ReadCommandLine({"/WERK=ABC", "/WERK=x=y z", "/FILE="});
    EXPECT_FALSE(settings.SapExportEnabled());
    EXPECT_EQ(settings.PlantCode(), "x=y z");
    EXPECT_EQ(settings.ExportFileName(), "");
    // A value not given again stays.
    EXPECT_EQ(settings.ExportFolder(), "/srv/export/");
}

TEST(CommandLine, MalformedSwitchesAreIgnored) {
    TFakeEnvironment env;
    TTavUserSettings settings(env);
    settings.ReadCommandLine({"/SAPX", "SAP", "/SAP=1", "/WERK", "/WERKS=1", "WERK=2", "-WERK=3",
                              "/PFAD", "/FILE:x", " /SAP", "", "/PROJECT=p.vac"});
    EXPECT_FALSE(settings.SapExportEnabled());
    EXPECT_EQ(settings.PlantCode(), "");
    EXPECT_EQ(settings.ExportFolder(), "");
    EXPECT_EQ(settings.ExportFileName(), "");
    settings.ReadCommandLine({"/sAp", "/werk=ABC"});
    EXPECT_TRUE(settings.SapExportEnabled());
    EXPECT_EQ(settings.PlantCode(), "ABC");
}

TEST(CommandLine, ScreenshotSwitchMustNotBeTheLastArgument) {
    EXPECT_FALSE(ReadScreenshotSwitches({}).Screenshot);
    EXPECT_FALSE(ReadScreenshotSwitches({"/SCREENSHOT"}).Screenshot);
    EXPECT_FALSE(ReadScreenshotSwitches({"/PAGE=3", "/SCREENSHOT"}).Screenshot);
    EXPECT_FALSE(ReadScreenshotSwitches({"/screenshot", "/PAGE=3"}).Screenshot);
    EXPECT_FALSE(ReadScreenshotSwitches({"/SCREENSHOT ", "/PAGE=3"}).Screenshot);

    const TScreenshotSwitches s = ReadScreenshotSwitches({"/SCREENSHOT", "/PAGE=3"});
    EXPECT_TRUE(s.Screenshot);
    EXPECT_EQ(s.Page, 3);
    EXPECT_EQ(s.Project, "");
    EXPECT_EQ(s.Bitmap, "");
}

TEST(CommandLine, ScreenshotValuesTakeTheFirstArgumentWithTheExactPrefix) {
    const TScreenshotSwitches s = ReadScreenshotSwitches(
        {"/project=lower.vac", "/PROJECT=/p/first.vac", "/PROJECT=/p/second.vac",
         "/BITMAP=/img/shot_%s.bmp", "/SCREENSHOT", "/PAGE=7", "/PAGE=2"});
    EXPECT_TRUE(s.Screenshot);
    EXPECT_EQ(s.Project, "/p/first.vac");
    EXPECT_EQ(s.Bitmap, "/img/shot_%s.bmp");
    EXPECT_EQ(s.Page, 7);
    // The prefixes are read in the last argument too.
    EXPECT_EQ(ReadScreenshotSwitches({"/SCREENSHOT", "/BITMAP=a.bmp"}).Bitmap, "a.bmp");
}

TEST(CommandLine, PageNumberThatIsNoNumberIsZero) {
    for (const char* text : {"/PAGE=", "/PAGE=x", "/PAGE=3x", "/PAGE= 3", "/PAGE=3.0", "/PAGE=+-3",
                             "/PAGE=99999999999", "/page=3"})
        EXPECT_EQ(ReadScreenshotSwitches({text}).Page, 0) << text;
    EXPECT_EQ(ReadScreenshotSwitches({"/PAGE=-2"}).Page, -2);
    EXPECT_EQ(ReadScreenshotSwitches({"/PAGE=+4"}).Page, 4);
    EXPECT_EQ(ReadScreenshotSwitches({"/PAGE=010"}).Page, 10);
    EXPECT_EQ(ReadScreenshotSwitches({}).Page, 0);
}

TEST(CommandLine, StrToIntDefAcceptsOnlyWholeIntegers) {
    EXPECT_EQ(StrToIntDef("2147483647", -1), INT_MAX);
    EXPECT_EQ(StrToIntDef("-2147483648", -1), INT_MIN);
    EXPECT_EQ(StrToIntDef("2147483648", -1), -1);
    EXPECT_EQ(StrToIntDef("+", -1), -1);
    EXPECT_EQ(StrToIntDef("-", -1), -1);
    EXPECT_EQ(StrToIntDef("0x10", -1), -1);
}

TEST(CommandLine, OneImagePerLanguageOnlyWithAPlaceholder) {
    const TArgs languages = {"de", "en", "ptbr"};
    EXPECT_EQ(ScreenshotImages("/img/page.bmp", languages),
              (std::vector<TScreenshotImage>{{"", "/img/page.bmp"}}));
    EXPECT_EQ(ScreenshotImages("/img/%s/page_%s.bmp", languages),
              (std::vector<TScreenshotImage>{{"de", "/img/de/page_de.bmp"},
                                             {"en", "/img/en/page_en.bmp"},
                                             {"ptbr", "/img/ptbr/page_ptbr.bmp"}}));
    EXPECT_TRUE(ScreenshotImages("%s.bmp", {}).empty());
    // Only "%s" is a placeholder.
    EXPECT_EQ(ScreenshotImages("100%.bmp", languages),
              (std::vector<TScreenshotImage>{{"", "100%.bmp"}}));
}

TEST(DesignerSwitches, AreWholeArgumentsInAnyLetterCase) {
    EXPECT_FALSE(ReadDesignerSwitches({}).Accept);
    EXPECT_FALSE(ReadDesignerSwitches({}).QuitAfterPaint);
    const TDesignerSwitches both = ReadDesignerSwitches({"/accept", "/SCREENSHOT", "/QuitAfterPaint"});
    EXPECT_TRUE(both.Accept);
    EXPECT_TRUE(both.QuitAfterPaint);
    // Unlike "/SCREENSHOT", the last argument counts too.
    EXPECT_TRUE(ReadDesignerSwitches({"/PAGE=3", "/ACCEPT"}).Accept);
    // A prefix, a value or a longer word is another argument.
    const TDesignerSwitches none = ReadDesignerSwitches({"/ACCEPTED", "/ACCEPT=1", "ACCEPT", "/QUITAFTER"});
    EXPECT_FALSE(none.Accept);
    EXPECT_FALSE(none.QuitAfterPaint);
}

TEST(DesignerSwitches, APlainArgumentNamingAProjectIsOpened) {
    // Only the paths in this set exist.
    const std::set<std::string> files = {"/home/u/plate", "/home/u/PLATE.VAC", "/FILEX",
                                         "/ACCEPTX"};
    const TFileExists exists = [&](const std::string& p) { return files.count(p) > 0; };
    // An existing file, whatever its name, or a name ending in .vac, existing or not.
    EXPECT_EQ(ReadDesignerSwitches({"/home/u/plate"}, exists).ProjectFile, "/home/u/plate");
    EXPECT_EQ(ReadDesignerSwitches({"/home/u/PLATE.VAC"}, exists).ProjectFile, "/home/u/PLATE.VAC");
    EXPECT_EQ(ReadDesignerSwitches({"missing.vac"}, exists).ProjectFile, "missing.vac");
    EXPECT_EQ(ReadDesignerSwitches({"rel/dir/x.Vac"}, exists).ProjectFile, "rel/dir/x.Vac");
    // Neither: not a project.
    EXPECT_EQ(ReadDesignerSwitches({"/home/u/other", "notes.txt", ".vac", ""}, exists).ProjectFile,
              "");
    // The switches keep their meaning beside it, and the first project counts.
    const TDesignerSwitches s =
        ReadDesignerSwitches({"/accept", "/home/u/plate", "second.vac", "/SAP"}, exists);
    EXPECT_TRUE(s.Accept);
    EXPECT_EQ(s.ProjectFile, "/home/u/plate");
    // An existing file whose name reads as a switch is not taken; a longer word is a file.
    EXPECT_EQ(ReadDesignerSwitches({"/FILEX"}, exists).ProjectFile, "/FILEX");
    EXPECT_EQ(ReadDesignerSwitches({"/ACCEPTX"}, exists).ProjectFile, "/ACCEPTX");
    EXPECT_EQ(ReadDesignerSwitches({"/FILE=a.vac", "/pfad=/tmp/x.vac", "/werk=1.vac"}, exists)
                  .ProjectFile,
              "");
    EXPECT_EQ(ReadDesignerSwitches({"/PROJECT=a.vac", "/BITMAP=b.vac", "/PAGE=c.vac"}, exists)
                  .ProjectFile,
              "");
}

TEST(DesignerSwitches, TheSwitchesAreReadInTheirOwnLetterCase) {
    // Any case: the disclaimer, the start-up timing and the ordering system's switches.
    for (const char* arg : {"/ACCEPT", "/accept", "/QuitAfterPaint", "/SAP", "/sap", "/WERK=1",
                            "/werk=1", "/Pfad=/tmp", "/file=x.txt"})
        EXPECT_TRUE(IsProgramSwitch(arg)) << arg;
    // Exact case: the screenshot run's.
    for (const char* arg : {"/SCREENSHOT", "/PROJECT=p.vac", "/BITMAP=b.png", "/PAGE=3"})
        EXPECT_TRUE(IsProgramSwitch(arg)) << arg;
    for (const char* arg : {"/screenshot", "/project=p.vac", "/Bitmap=b.png", "/page=3", "/SAPX",
                            "/WERK", "/home/user/x.vac", "x.vac", "/SCREENSHOTS"})
        EXPECT_FALSE(IsProgramSwitch(arg)) << arg;
    // So a lower-case "/project=" argument ending in .vac is a file name.
    EXPECT_EQ(ReadDesignerSwitches({"/project=p.vac"}, nullptr).ProjectFile, "/project=p.vac");
}

TEST(DesignerSwitches, TheFileSystemSaysWhichArgumentsNameFiles) {
    TTempFolder folder;
    const std::string existing = folder.Path() + "/design";
    std::ofstream(existing) << "x";
    EXPECT_EQ(ReadDesignerSwitches({folder.Path(), existing}).ProjectFile, existing);
    EXPECT_EQ(ReadDesignerSwitches({folder.Path() + "/absent"}).ProjectFile, "");
}

TEST(ReportPdfRun, TakesOutputProjectAndLanguageInAnyOrderOfTheOption) {
    const TReportPdfRun a = ReadReportPdfRun({"--report-pdf", "out.pdf", "p.vac"});
    EXPECT_TRUE(a.Requested);
    EXPECT_EQ(a.Error, "");
    EXPECT_EQ(a.Output, "out.pdf");
    EXPECT_EQ(a.Project, "p.vac");
    EXPECT_EQ(a.Language, "");
    const TReportPdfRun b = ReadReportPdfRun({"--report-pdf", "--lang", "ru", "out.pdf", "p.vac"});
    EXPECT_EQ(b.Error, "");
    EXPECT_EQ(b.Language, "ru");
    EXPECT_EQ(b.Output, "out.pdf");
    const TReportPdfRun c = ReadReportPdfRun({"--report-pdf", "out.pdf", "p.vac", "--lang", "de"});
    EXPECT_EQ(c.Language, "de");
    EXPECT_EQ(c.Project, "p.vac");
}

TEST(ReportPdfRun, RefusesWhatItCannotRunAndIgnoresOtherCommandLines) {
    EXPECT_FALSE(ReadReportPdfRun({}).Requested);
    // Only as the first argument; the ordering system's switches are not a report run.
    EXPECT_FALSE(ReadReportPdfRun({"/ACCEPT", "--report-pdf", "a.pdf", "b.vac"}).Requested);
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--report-pdf"}, {"--report-pdf", "a.pdf"},
          {"--report-pdf", "a.pdf", "b.vac", "c"}, {"--report-pdf", "a.pdf", "b.vac", "--lang"},
          {"--report-pdf", "a.pdf", "b.vac", "--json"}, {"--report-pdf", "", "b.vac"}}) {
        const TReportPdfRun r = ReadReportPdfRun(bad);
        EXPECT_TRUE(r.Requested);
        EXPECT_NE(r.Error, "") << bad.size();
    }
}
