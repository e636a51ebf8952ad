#include "core/shell/command_line.h"
#include "core/shell/user_settings.h"
#include "tests/core/shell/shell_test_support.h"

#include <climits>
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
