#include "core/lang/language_blob.h"
#include "core/workflow/main_window_rules.h"

#include <gtest/gtest.h>

TEST(MainWindowCaption, NamesTheFileWithoutFoldersAndMarksChanges) {
    const std::string title = "Designer - Version 1.2.0.0";
    // No project yet: the program's own title only, whatever the name says.
    EXPECT_EQ(MainWindowCaption(title, false, "/home/a/x.vac", true, "Untitled"), title);
    EXPECT_EQ(MainWindowCaption(title, true, "/home/a/plate.vac", false, "Untitled"),
              "plate.vac - Designer - Version 1.2.0.0");
    EXPECT_EQ(MainWindowCaption(title, true, "/home/a/plate.vac", true, "Untitled"),
              "plate.vac* - Designer - Version 1.2.0.0");
    EXPECT_EQ(MainWindowCaption(title, true, "C:\\work\\gripper.vac", false, "Untitled"),
              "gripper.vac - Designer - Version 1.2.0.0");
    EXPECT_EQ(MainWindowCaption(title, true, "", true, "Untitled"),
              "Untitled* - Designer - Version 1.2.0.0");
    EXPECT_EQ(MainWindowCaption(title, true, "bare.vac", false, "Untitled"), "bare.vac - " + title);
}

TEST(PageNumberText, FillsThePatternAndIsEmptyForPagesWithoutNumber) {
    EXPECT_EQ(PageNumberText("Page %d", 3), "Page 3");
    EXPECT_EQ(PageNumberText("%d / 10 (%d)", 10), "10 / 10 (10)");
    EXPECT_EQ(PageNumberText("Page", 4), "Page");
    EXPECT_EQ(PageNumberText("Page %d", 0), "");
}

TEST(HintStyle, TooltipsOnlyInTheDefaultCharacterSet) {
    // Languages of code page 1252 share the default character set; Cyrillic, Japanese and
    // Central European languages each have their own.
    for (const char* code : {"en", "de", "fr", "es"})
        EXPECT_TRUE(HintsAsTooltips(LanguageCharset(code))) << code;
    for (const char* code : {"ru", "ja", "pl", "el"})
        EXPECT_FALSE(HintsAsTooltips(LanguageCharset(code))) << code;
}

TEST(ImageFileKind, PngByItsEndingInAnyCase) {
    EXPECT_TRUE(IsPngFileName("shot.png"));
    EXPECT_TRUE(IsPngFileName("/tmp/a/SHOT_de.PNG"));
    EXPECT_TRUE(IsPngFileName(".png"));
    EXPECT_FALSE(IsPngFileName("shot.bmp"));
    EXPECT_FALSE(IsPngFileName("png"));
    EXPECT_FALSE(IsPngFileName("shot.png.bmp"));
    EXPECT_FALSE(IsPngFileName("shotpng"));
}
