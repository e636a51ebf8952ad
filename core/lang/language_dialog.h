#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/str_table_db.h"

//! How the language dialog offers the languages.
enum TLanguageDialogStyle { cldsComboBox, cldsRadioGroup };

//! The language choice without its window: the languages of the table "Dialog" of the
//! language container (codes, own names, flag pictures) and the chosen code.
class TLanguageDialog32Bit {
public:
    using TNotifyEvent = std::function<void(TLanguageDialog32Bit& sender)>;

    TLanguageDialog32Bit();

    TOrsikConnection* Connection() const { return table_.Connection(); }
    //! Both setters re-read the language list.
    void SetConnection(TOrsikConnection* connection);
    const std::string& Table() const { return table_.Table(); }
    void SetTable(const std::string& name);

    //! Language key of the dialog caption.
    std::string Title = "~SelectYourLanguage";
    TLanguageDialogStyle Style = cldsComboBox;
    bool AllowCancel = true;
    TNotifyEvent OnHelp;

    //! The chosen language code, at most 4 characters.
    const std::string& Code() const { return code_; }
    void SetCode(std::string_view code) { code_.assign(code.substr(0, 4)); }

    //! The distinct codes and names in table order.
    const std::vector<std::string>& Codes() const { return codes_; }
    const std::vector<std::string>& Names() const { return names_; }

    int RowCount() const { return table_.Rows(); }
    //! First row whose code equals `code`; −1 for an empty code or none.
    int RowOf(std::string_view code) const;
    std::string NameOf(int row) const;
    std::string CodeOf(int row) const;
    //! The bitmap bytes of the row's flag (after the 8-byte mark: 7, "TBitmap"); false when
    //! the cell holds none.
    bool FlagOf(int row, std::span<const uint8_t>& bitmap) const;

private:
    void ReadList();

    TStrTableDB32Bit table_;
    std::string code_;
    std::vector<std::string> codes_, names_;
};

//! The state of the language dialog's window while it is open: the choice it previews,
//! which controls are enabled and where the radio buttons go. The window forwards the
//! user's actions and draws from here; `PreviewLanguage` switches the window's own
//! language database (group −1, so no other window follows).
class TLanguageDlgModel {
public:
    static constexpr int cBaseHeight = 132;
    static constexpr int cRadioPitch = 20;
    static constexpr int cRadioHeight = 19;

    explicit TLanguageDlgModel(TLanguageDialog32Bit& dialog);

    //! Switches the preview to a code.
    std::function<void(const std::string& code)> PreviewLanguage;

    //! Takes the component's code and style: preview, OK state, current row.
    void Initialise();
    //! An entry was chosen (list row or radio button tag).
    void Choose(int row);
    //! OK copies the choice into the component; Cancel leaves it.
    void Ok();
    void Cancel() {}
    void Help();

    const std::string& Choice() const { return choice_; }
    int CurrentRow() const { return row_; }
    bool OkEnabled() const { return !choice_.empty(); }
    bool CancelEnabled() const { return dialog_.AllowCancel; }
    bool HelpVisible() const { return static_cast<bool>(dialog_.OnHelp); }
    bool ListEnabled() const { return dialog_.Style == cldsComboBox; }
    bool RadioEnabled() const { return dialog_.Style == cldsRadioGroup; }
    //! Notebook page: 0 the drop-down list, 1 the radio buttons.
    int Page() const { return dialog_.Style == cldsRadioGroup ? 1 : 0; }
    //! Form height: 132; with radio buttons 20 more for each language beyond four.
    int FormHeight() const;
    struct TRect {
        int Left, Top, Width, Height;
    };
    //! Place of radio button i in the list of the given width, relative to the list's
    //! top left corner (the window adds the margin around the list).
    static TRect RadioRect(int i, int listWidth);

private:
    TLanguageDialog32Bit& dialog_;
    std::string choice_;
    int row_ = -1;
};
