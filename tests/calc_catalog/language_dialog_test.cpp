#include <gtest/gtest.h>

#include "core/data/orsik_connection.h"
#include "core/lang/language_dialog.h"
#include "tests/calc_catalog/bundled_catalogue.h"

namespace {

class LanguageDialog : public ::testing::Test {
protected:
    void SetUp() override {
        connection.Loaded();
        connection.SetDataFile(LanguageFile());
        ASSERT_TRUE(connection.Active()) << connection.LastError();
        dialog.SetConnection(&connection);
        dialog.SetTable("Dialog");
        model.PreviewLanguage = [this](const std::string& code) { previews.push_back(code); };
    }
    TOrsikConnection connection;
    TLanguageDialog32Bit dialog;
    TLanguageDlgModel model{dialog};
    std::vector<std::string> previews;
};

} // namespace

TEST_F(LanguageDialog, ListsTheBundledLanguagesWithFlags) {
    EXPECT_EQ(dialog.Codes(), (std::vector<std::string>{"en", "de", "fr", "ru", "es", "it", "pl",
                                                        "ja", "zhcn"}));
    EXPECT_EQ(dialog.NameOf(7), "日本語");
    EXPECT_EQ(dialog.NameOf(1), "Deutsch");
    EXPECT_EQ(dialog.RowOf("fr"), 2);
    EXPECT_EQ(dialog.RowOf(""), -1);
    EXPECT_EQ(dialog.RowOf("xx"), -1);
    std::span<const uint8_t> flag;
    for (int r = 0; r < dialog.RowCount(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r);
        ASSERT_TRUE(dialog.FlagOf(r, flag)) << r;
        ASSERT_GE(flag.size(), 2u);
        EXPECT_EQ(flag[0], 'B');
        EXPECT_EQ(flag[1], 'M');
    }
    EXPECT_FALSE(dialog.FlagOf(9, flag));
}

TEST_F(LanguageDialog, PreviewsAChoiceAndKeepsTheCodeOnCancel) {
    dialog.SetCode("zz");
    model.Initialise();
    EXPECT_EQ(model.CurrentRow(), -1) << "an unknown code selects no entry";
    EXPECT_TRUE(model.OkEnabled()) << "but it is not empty";
    model.Choose(1);
    EXPECT_EQ(previews, (std::vector<std::string>{"zz", "de"}));
    model.Cancel();
    EXPECT_EQ(dialog.Code(), "zz");

    model.Initialise();
    model.Choose(2);
    model.Ok();
    EXPECT_EQ(dialog.Code(), "fr");

    dialog.SetCode("");
    model.Initialise();
    EXPECT_FALSE(model.OkEnabled());
    model.Choose(17); // no such row: nothing changes
    EXPECT_EQ(model.Choice(), "");
}

TEST_F(LanguageDialog, StylesDecideControlsAndHeight) {
    EXPECT_EQ(model.Page(), 0);
    EXPECT_TRUE(model.ListEnabled());
    EXPECT_FALSE(model.RadioEnabled());
    EXPECT_FALSE(model.HelpVisible());
    int helps = 0;
    dialog.OnHelp = [&](TLanguageDialog32Bit&) { ++helps; };
    EXPECT_TRUE(model.HelpVisible());
    model.Help();
    EXPECT_EQ(helps, 1);
    dialog.Style = cldsRadioGroup;
    EXPECT_EQ(model.Page(), 1);
    // Nine languages: five beyond the four the smallest form holds, 20 each.
    EXPECT_EQ(model.FormHeight(), 132 + 5 * 20) << "nine languages";
    // The third button two pitches of 20 below the list's top, as wide as the list.
    const auto r = TLanguageDlgModel::RadioRect(2, 200);
    EXPECT_EQ(r.Left, 0);
    EXPECT_EQ(r.Top, 40);
    EXPECT_EQ(r.Width, 200);
    EXPECT_EQ(r.Height, 19);
    dialog.AllowCancel = false;
    EXPECT_FALSE(model.CancelEnabled());
}
