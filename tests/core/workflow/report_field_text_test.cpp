#include "core/quantities/number_format.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/report_layout.h"

#include <gtest/gtest.h>

// The text a report value falls back to when the printing side supplies none: the value
// in the default unit of its quantity in the chosen system of units.

namespace {

std::string Text(TNormUnit q, double v, const char* measure = "0") {
    return ReportDefaultFieldText(TReportValue{cpcLengthX, q, v}, measure);
}

class ReportFieldText : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = DecimalSeparator();
        SetDecimalSeparator('.');
    }
    void TearDown() override { SetDecimalSeparator(saved_); }
    char saved_ = '.';
};

} // namespace

TEST_F(ReportFieldText, SIUnitsWithAtLeastThreeDecimals) {
    EXPECT_EQ(Text(cNU_length, 0.25), "0.25 m");
    EXPECT_EQ(Text(cNU_length, 1234.5678), "1234.568 m");
    EXPECT_EQ(Text(cNU_pressure, -70000.0), "-70000 Pa");
    EXPECT_EQ(Text(cNU_mass, 1.8888), "1.889 kg");
    // The registry's symbol of m/s² ends in a blank; the report's text does not.
    EXPECT_EQ(Text(cNU_acceleration, 9.80655), "9.807 m/s²");
}

TEST_F(ReportFieldText, SmallValuesKeepFourSignificantDigits) {
    // 0.00024 m³ (a sheet of 400 × 300 × 2 mm) would read 0 with three decimals.
    EXPECT_EQ(Text(cNU_volume, 0.00024), "0.00024 m³");
    EXPECT_EQ(Text(cNU_time, 0.00012346), "0.0001235 s");
    EXPECT_EQ(Text(cNU_moment_of_inertia, 0.0141666), "0.01417 kg m²");
    // What rounds to nothing is 0, without a sign.
    EXPECT_EQ(Text(cNU_length, -1e-20), "0 m");
}

TEST_F(ReportFieldText, USUnitsWhenMeasureIsOne) {
    // 0.25 m / 0.3048 m per foot = 0.82021 ft; 2.08 kg / 0.45359237 kg per pound = 4.58562 lb.
    EXPECT_EQ(Text(cNU_length, 0.25, "1"), "0.8202 ft");
    EXPECT_EQ(Text(cNU_mass, 2.08, "1"), "4.586 lb");
    // 1 lb in² = 0.45359237 kg × 0.0254² m² = 2.9264e-4 kg m²: 0.03935 kg m² is 134.466 lb in².
    EXPECT_EQ(Text(cNU_moment_of_inertia, 0.03935, "1"), "134.466 lb in²");
}

TEST_F(ReportFieldText, CountsAndPlainNumbersHaveNoUnit) {
    EXPECT_EQ(Text(cNU_pieces, 3.0), "3");
    EXPECT_EQ(Text(cNU_pieces, 3.0, "1"), "3");
    EXPECT_EQ(Text(cNU_NoUnit, 0.5), "0.5");
    EXPECT_EQ(Text(cNU_scale, 2.0), "2");
    // A quantity out of the known ones is shown as a plain number.
    EXPECT_EQ(Text(static_cast<TNormUnit>(99), 1.5), "1.5");
}
