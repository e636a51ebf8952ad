#include "core/shell/ini_file.h"
#include "core/shell/user_settings.h"
#include "core/workflow/units_dialog_model.h"
#include "tests/core/shell/shell_test_support.h"

#include <gtest/gtest.h>

namespace {

// Settings in a folder of the test's own, loaded once as at start-up (British locale:
// metric units).
class MeasurementDialogTest : public ::testing::Test {
protected:
    MeasurementDialogTest() {
        env.Vars["HOME"] = tmp / "home";
        env.Vars["LANG"] = "en_GB.UTF-8";
        settings.SetSection("KELM");
        settings.Loaded({});
    }

    std::string OnDisk() const {
        return TIniFile::Parse(ReadBytes(tmp / "home/.config/Orsik/KELM/UserSettings.ini"))
            .Read("KELM", "Measure")
            .value_or("(missing)");
    }

    TTempFolder tmp;
    TFakeEnvironment env;
    TTavUserSettings settings{env};
    TMeasurementDialogModel dialog;
};

} // namespace

TEST_F(MeasurementDialogTest, ActivationChecksTheOptionTheSettingReadsAs) {
    struct TCase {
        const char* Measure;
        bool SI, US;
        const char* Pending;
    };
    // Whole integers 0 and 1 in any spelling check their option; anything else neither.
    const TCase cases[] = {
        {"0", true, false, "0"},    {"1", false, true, "1"},  {"00", true, false, "0"},
        {"+1", false, true, "1"},   {"-0", true, false, "0"}, {"2", false, false, "2"},
        {"-1", false, false, "-1"}, {"", false, false, ""},   {"1.0", false, false, "1.0"},
        {" 1", false, false, " 1"}, {"x", false, false, "x"},
    };
    for (const TCase& c : cases) {
        dialog.Activate(c.Measure);
        EXPECT_EQ(dialog.SIChecked(), c.SI) << '"' << c.Measure << '"';
        EXPECT_EQ(dialog.USChecked(), c.US) << '"' << c.Measure << '"';
        EXPECT_EQ(dialog.Pending(), c.Pending) << '"' << c.Measure << '"';
    }
}

TEST_F(MeasurementDialogTest, OptionsSetThePendingSettingAndOkStoresAndWritesIt) {
    ASSERT_EQ(settings.Measure(), "0");
    dialog.Activate(settings.Measure());
    dialog.RadioButton_USClick();
    EXPECT_TRUE(dialog.USChecked());
    EXPECT_FALSE(dialog.SIChecked());
    EXPECT_EQ(dialog.Pending(), "1");
    // Clicking the options changes nothing outside the dialog.
    EXPECT_EQ(settings.Measure(), "0");
    EXPECT_EQ(OnDisk(), "0");

    EXPECT_EQ(dialog.Ok(settings), std::optional<bool>(false));
    EXPECT_EQ(settings.Measure(), "1");
    EXPECT_EQ(OnDisk(), "1");

    // The next opening starts from the stored setting; back to SI.
    TMeasurementDialogModel again;
    again.Activate(settings.Measure());
    EXPECT_TRUE(again.USChecked());
    again.RadioButton_SIClick();
    EXPECT_EQ(again.Ok(settings), std::optional<bool>(true));
    EXPECT_EQ(settings.Measure(), "0");
    EXPECT_EQ(OnDisk(), "0");
}

TEST_F(MeasurementDialogTest, CancellingLeavesTheSettingAlone) {
    settings.SetMeasure("1");
    dialog.Activate(settings.Measure());
    dialog.RadioButton_SIClick();
    EXPECT_TRUE(dialog.SIChecked());
    // Cancel is dropping the pending setting: a new activation shows the stored one.
    dialog.Activate(settings.Measure());
    EXPECT_TRUE(dialog.USChecked());
    EXPECT_EQ(settings.Measure(), "1");
    EXPECT_EQ(OnDisk(), "1");
}

TEST_F(MeasurementDialogTest, OkWithoutAnOptionCheckedChangesNothing) {
    settings.SetMeasure("7");
    dialog.Activate(settings.Measure());
    EXPECT_EQ(dialog.Ok(settings), std::nullopt);
    EXPECT_EQ(settings.Measure(), "7");
    EXPECT_EQ(OnDisk(), "7");
    // A setting spelt "00" is shown as SI and stored as "0", the SI text.
    settings.SetMeasure("00");
    dialog.Activate(settings.Measure());
    EXPECT_EQ(dialog.Ok(settings), std::optional<bool>(true));
    EXPECT_EQ(OnDisk(), "0");
}
