#pragma once

#include "core/quantities/number_format.h"
#include "core/quantities/units.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

//! Number/text companion of a value field. Holds a value in the field's display unit and
//! the text shown for it; setting one recomputes the other and raises the matching event.
//! Fractions such as "1 3/8" are shown with `Divisor` and always read.
class TTavFloatConverter {
public:
    //! Stored for the field's form; formatting always works with 18 significant digits.
    int Precision() const { return FPrecision; }
    void SetPrecision(int precision) { FPrecision = precision; }
    //! Decimals shown: |Decimals| places; negative means trailing zeros are dropped.
    //! Kept within -18 … 18. A change re-formats a readable text.
    int Decimals() const { return FDecimals; }
    void SetDecimals(int decimals);
    //! Whether values close to a multiple of 1/64 (at most) are shown as fractions.
    //! A change re-formats a readable text.
    bool Divisor() const { return FDivisor; }
    void SetDivisor(bool divisor);

    //! The value in the display unit.
    double Value() const { return FValue; }
    //! The text shown; what the user typed, or the formatted value.
    const std::string& Text() const { return FText; }
    //! Whether the last text could be read.
    bool Valid() const { return FValid; }

    //! Formats `x` into the text and raises OnStringChange. Ignored while busy and when
    //! `x` equals the value and the text is readable.
    void SetValue(double x);
    //! Reads `text`; the value is taken when it reads. Raises OnFloatChange either way.
    //! Ignored while busy and when `text` equals the text.
    void SetText(std::string_view text);

    //! Raised after the text was formatted from a new value.
    std::function<void()> OnStringChange;
    //! Raised after a text was read, also when it could not be.
    std::function<void()> OnFloatChange;

    //! The text for `x` with `decimals` (clamped to -18 … 18), as fraction when `divisor`
    //! allows, with `sep` as decimal separator.
    static std::string FormatText(double x, int decimals, bool divisor,
                                  char sep = DecimalSeparator());
    //! Reads a decimal number with `sep` as separator, a fraction "p/q" or a mixed number
    //! "w p/q"; blanks at both ends are ignored. False (value untouched) when it does not
    //! read or the number is too large for a double.
    static bool ParseText(std::string_view text, double& value, char sep = DecimalSeparator());

private:
    void Reformat();

    int FPrecision = 15;
    int FDecimals = -3;
    bool FDivisor = false;
    double FValue = 0.0;
    std::string FText = "0";
    bool FValid = true;
    bool FBusy = false;
};

//! Why a value field shows its text as valid or in the invalid colour.
enum TFMU2Validity : int {
    fvValid = 0,      //!< readable and within the range
    fvUnreadable = 1, //!< the text does not read as a number
    fvOutOfRange = 2, //!< readable, but outside ValueMin … ValueMax, not finite or, for a
                      //!< count, not whole
};

//! One entry of the unit menu or the increment menu.
struct TFMU2MenuItem {
    std::string Caption; //!< language key, unit symbol, number text or "-" for a separator
    std::string Hint;
    int Tag = -1;
    bool Checked = false;
    bool Visible = true;
};

//! What a value field model asks of the widget that shows it. Every call is a notice;
//! the widget reads what it shows from the model.
class TFMU2View {
public:
    virtual ~TFMU2View() = default;
    //! Put the converter's text into the edit or panel.
    virtual void ShowText(const std::string& /*text*/) {}
    //! Enable or disable the spin buttons and the unit button (SpinUpEnabled, …).
    virtual void UpdateButtons() {}
    //! The field turned valid or invalid: text colour.
    virtual void ValidChanged(bool /*valid*/) {}
    //! The current unit, the unit menu's entries or the button hint may have changed.
    virtual void ShowUnits() {}
    //! A refused key or a spin of a read-only field.
    virtual void Beep() {}
};

//! The state and rules of a value-with-unit field without widgets: the value in base
//! units, its range, the unit shown and the text the converter makes of it. The entry
//! field and the read-only display own one each and forward user input to it.
class TFMU2Model {
public:
    //! Positions of the fixed head of the unit menu; unit i is entry cUnitMenuFirstUnit + i.
    static constexpr int cUnitMenuSI = 0;
    static constexpr int cUnitMenuUS = 1;
    static constexpr int cUnitMenuOld = 2;
    static constexpr int cUnitMenuSeparator = 3;
    static constexpr int cUnitMenuFirstUnit = 4;

    explicit TFMU2Model(TFMU2View* view = nullptr);
    TFMU2Model(const TFMU2Model&) = delete;
    TFMU2Model& operator=(const TFMU2Model&) = delete;

    void SetView(TFMU2View* view) { FView = view; }
    const TTavFloatConverter& Converter() const { return FConverter; }

    // --- value and range (base units) -------------------------------------------------

    double Value() const { return FValue; }
    //! Program-side setter: clamps with tolerance, keeps the old value when `x` is out of
    //! range but shows `x` (as invalid). Ignored while the field's OnChange runs.
    void SetValue(double x);
    //! Integer access for count fields; rounding ties to even, saturating, NaN gives 0.
    void SetValueInt(int64_t n) { SetValue(static_cast<double>(n)); }
    int64_t ValueRounded() const;

    double ValueMin() const { return FValueMin; }
    void SetValueMin(double x);
    double ValueMax() const { return FValueMax; }
    void SetValueMax(double x);
    //! There is a range unless ValueMin equals ValueMax.
    bool HasRange() const { return FValueMin != FValueMax; }
    //! Smallest meaningful magnitude; decides which units are offered.
    double ValueAbsMin() const { return FValueAbsMin; }
    void SetValueAbsMin(double x);
    //! Tolerance by which a value may miss the range and still be taken as its limit.
    double ValueZero() const { return FValueZero; }
    void SetValueZero(double x) { FValueZero = x; }
    //! `x` moved onto a limit when it misses it by no more than ValueZero.
    double Clamp(double x) const;
    //! Whether `x` is finite and lies within the range (any finite value without a range).
    bool InRange(double x) const;
    //! Whether the field holds `x` as valid: a finite number within the range and, for a
    //! count (cNU_pieces) with a range, a whole one. Values no one could type are never
    //! valid, and never taken as Value.
    bool Accepts(double x) const;

    // --- display ----------------------------------------------------------------------

    int Decimals() const { return FConverter.Decimals(); }
    void SetDecimals(int decimals);
    bool Divisor() const { return FConverter.Divisor(); }
    void SetDivisor(bool divisor) { FConverter.SetDivisor(divisor); }
    bool ChangeOnSetValue() const { return FChangeOnSetValue; }
    void SetChangeOnSetValue(bool b) { FChangeOnSetValue = b; }
    const std::string& MUHint() const { return FMUHint; }
    void SetMUHint(std::string hint);

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool b) { FEnabled = b; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool b) { FReadOnly = b; }
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool b) { FEditorEnabled = b; }

    // --- units ------------------------------------------------------------------------

    TNormUnit NormUnit() const { return FNormUnit; }
    //! Replaces preferred units of another quantity by the quantity's defaults and shows
    //! the preferred unit of the current system.
    void SetNormUnit(TNormUnit quantity);
    bool SIUnits() const { return FSIUnits; }
    //! Switches to the preferred unit of that system and raises OnUnitChange.
    void SetSIUnits(bool si);
    TNUMessurement PreferredSIUnit() const { return FPreferredSIUnit; }
    void SetPreferredSIUnit(TNUMessurement unit);
    TNUMessurement PreferredUSUnit() const { return FPreferredUSUnit; }
    void SetPreferredUSUnit(TNUMessurement unit);
    //! The unit a switch to the SI (`si`) or US system selects: the preferred unit when it
    //! belongs to the quantity, otherwise the quantity's default of that system.
    TNUMessurement PreferredUnit(bool si) const;
    bool OldUnitsEnabled() const { return FOldUnitsEnabled; }
    void SetOldUnitsEnabled(bool b);
    bool OldUnitsVisible() const { return FOldUnitsVisible; }
    void SetOldUnitsVisible(bool b);
    //! Whether the application-wide SI/US switch applies to this field.
    bool AutoUnitChange() const { return FAutoUnitChange; }
    void SetAutoUnitChange(bool b) { FAutoUnitChange = b; }
    //! The application-wide switch as it reaches one field.
    void ApplySIUnitsAll(bool si);

    TNUMessurement CurrentUnit() const { return FUnit; }
    int UnitIndex() const;
    int UnitCount() const;
    //! Shows unit `index` of the quantity; the base value stays. An index outside the
    //! quantity's units is ignored.
    void SelectUnitIndex(int index);
    //! The unit button's click: the next unit of the current system that is offered.
    void NextUnit();

    //! Whether the unit at `index` is offered in the unit menu.
    bool UnitEntryVisible(int index) const;
    //! The complete unit menu: head entries, separator, one entry per unit.
    std::vector<TFMU2MenuItem> UnitMenu() const;
    //! A click on entry `entry` of UnitMenu().
    void UnitMenuClick(int entry);
    bool UnitButtonVisible() const { return FNormUnit != cNU_NoUnit; }
    bool UnitButtonEnabled() const { return FConverter.Valid(); }
    //! The symbol of the current unit.
    const std::string& UnitCaption() const;
    //! "1 mm = 0.001 m", then MUHint on a new line; MUHint alone for a unit without
    //! description; empty for no hint.
    std::string UnitButtonHint() const;

    // --- entry field ------------------------------------------------------------------

    //! Whether the edit accepts character `ch` in the field's current state.
    bool KeyAllowed(char32_t ch) const;
    //! KeyAllowed, beeping on refusal.
    bool FilterKey(char32_t ch);
    //! The edit's text changed; passed on unless disabled, read-only or loading.
    void EditChange(std::string_view text);
    void SpinUp() { Spin(+1); }
    void SpinDown() { Spin(-1); }
    bool SpinUpEnabled() const;
    bool SpinDownEnabled() const;

    //! Step of the spin buttons, in the display unit.
    double Increment() const { return FIncrement; }
    void SetIncrement(double x) { FIncrement = x; }
    //! One increment text per unit index. Assigning them makes the current unit's entry
    //! Increment; a later unit switch keeps Increment as it is.
    const std::vector<std::string>& Increments() const { return FIncrements; }
    void SetIncrements(std::vector<std::string> increments);
    //! The increment menu, the entry equal to Increment checked.
    std::vector<TFMU2MenuItem> IncrementMenu() const;
    //! A click on the increment menu entry with tag `tag` (ten times its value).
    void IncrementMenuClick(int tag);

    TFMU2Validity Validity() const { return FValidity; }
    bool Valid() const { return FValidity == fvValid; }
    bool OutOfRange() const { return FValidity == fvOutOfRange; }

    // --- operations the widgets call ---------------------------------------------------

    //! The converter's text to the view.
    void ShowText();
    //! The converter's value, in range, becomes Value and a change is requested; then the
    //! validity is evaluated.
    void TakeText();
    //! Properties are being set up; no events until Loaded.
    void BeginLoad() { FLoading = true; }
    //! Setup finished: the preferred unit is selected and Value brought into the range.
    void Loaded();
    bool Loading() const { return FLoading; }

    //! Raised when the user (or SetValue with ChangeOnSetValue) changed the value.
    std::function<void()> OnChange;
    //! Raised when the unit system was switched; the argument is the new SIUnits.
    std::function<void(bool)> OnUnitChange;
    //! Raised when the field turns valid or invalid.
    std::function<void()> OnChangeValid;

    //! The increment menu's captions and tags.
    static constexpr int cIncrementCount = 7;
    static const char* const cIncrementCaptions[cIncrementCount];
    static const int cIncrementTags[cIncrementCount];

private:
    double DisplayBase() const;
    void Spin(int direction);
    void RequestChange();
    void RaiseChange();
    void Revalidate();
    void SelectUnit(TNUMessurement unit);
    void ShowValue();
    void NotifyUnits();
    double IncrementOfUnit(int index) const;
    bool OldUnitsShown() const { return FOldUnitsEnabled && FOldUnitsVisible; }
    // The absMin/maxAbs pair for the fit test; equal (every unit fits) when there is no
    // range to test against.
    void FitRange(double& absMin, double& maxAbs) const;

    TFMU2View* FView = nullptr;
    TTavFloatConverter FConverter;

    double FValue = 0.0;
    double FValueMin = 0.0;
    double FValueMax = 0.0;
    double FValueAbsMin = 0.0;
    double FValueZero = 1e-9;

    TNormUnit FNormUnit = cNU_length;
    bool FSIUnits = true;
    TNUMessurement FPreferredSIUnit = cUM_m;
    TNUMessurement FPreferredUSUnit = cUM_ft;
    bool FOldUnitsEnabled = false;
    bool FOldUnitsVisible = false;
    bool FAutoUnitChange = false;
    TNUMessurement FUnit = cUM_m;

    std::string FMUHint;
    bool FChangeOnSetValue = true;
    bool FEnabled = true;
    bool FReadOnly = false;
    bool FEditorEnabled = true;
    double FIncrement = 1.0;
    std::vector<std::string> FIncrements;

    TFMU2Validity FValidity = fvValid;
    int FChangeLock = 0;
    //! Set by the first change request and kept: from then on every release of the spin
    //! lock raises OnChange.
    bool FChangePending = false;
    bool FInOnChange = false;
    bool FLoading = false;
};

//! The units dialog's setting "Measure" as the SI flag of the application-wide switch.
inline bool SIUnitsOfMeasure(std::string_view measure) {
    return measure == "0";
}
