#pragma once

#include "core/workflow/page_workflow.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TMyProject;

//! The tabs of the project/customer dialog, each over the page of the same number.
enum TProjectDialogTab : uint8_t {
    cptProjectData = 0,
    cptCustomerData = 1,
    cptRemarks = 2,
};
inline constexpr int cProjectDialogTabCount = 3;
//! The topic the dialog's help button opens.
inline constexpr int cProjectDialogHelpTopic = cHelpContents;
//! Longest text of a single-line field, in characters.
inline constexpr size_t cProjectTextMax = 255;

//! The single-line fields of the dialog.
enum TProjectDialogEdit : uint8_t {
    cpeAuthor,
    cpeDescription1,
    cpeDescription2,
    cpeProjectNo,
    cpeCustomerNo,
    cpePhone,
    cpeFax,
};
inline constexpr int cProjectDialogEditCount = 7;

//! The multi-line fields: one document line per memo line.
enum TProjectDialogMemo : uint8_t {
    cpmAddress,
    cpmRemarks,
};
inline constexpr int cProjectDialogMemoCount = 2;

//! A field of the dialog: its control's object name, the key of its label (empty for the
//! second line of the project name, which has none), its page and the document item.
struct TProjectDialogField {
    std::string_view Control;
    std::string_view Label;
    int Tab;
    std::string_view Key;
};

//! Key of a tab's text; also the dialog caption while the tab is selected.
std::string_view ProjectDialogTabKey(int tab);
const TProjectDialogField& ProjectDialogEditField(int edit);
const TProjectDialogField& ProjectDialogMemoField(int memo);

//! The first `maxChars` characters (code points) of UTF-8 text; a cut never falls inside
//! the byte sequence of a character.
std::string CutToCharacters(std::string_view text, size_t maxChars);
//! The lines of a memo's text: split at line feeds, a carriage return before a line feed
//! dropped; a line break at the very end starts no line, so an empty text has no lines.
std::vector<std::string> MemoLines(std::string_view text);
//! The memo text that shows the lines: joined by line feeds.
std::string MemoText(const std::vector<std::string>& lines);

//! The project/customer dialog without widgets: the descriptive texts of the document
//! (author, project name and number, customer number, phone, fax and address, remarks)
//! copied into the dialog on opening, edited there and written back by OK. Cancelling is
//! not calling Ok.
class TProjectDialogModel {
public:
    //! `document` must outlive the model.
    explicit TProjectDialogModel(TMyProject& document);

    //! Opening on `tab` (0 … 2; another number opens on tab 0): every field takes the
    //! document's text and the tab is selected.
    void Open(int tab);

    int Tab() const { return FTab; }
    //! Showing the dialog and every tab click: the page of the tab is shown and the caption
    //! becomes the tab's text. A number out of 0 … 2 is ignored.
    void SelectTab(int tab);
    //! The key of the dialog caption: the selected tab's.
    std::string_view CaptionKey() const { return ProjectDialogTabKey(FTab); }

    //! The text of a single-line field as edited (UTF-8).
    const std::string& Text(int edit) const;
    //! The user edited a single-line field; line breaks (from pasting) become blanks, since
    //! the field holds one line.
    void SetText(int edit, std::string_view text);
    //! The lines of a memo as edited.
    const std::vector<std::string>& Lines(int memo) const;
    //! The user edited a memo: its text in lines (MemoLines). A text that shows the lines
    //! already held changes nothing.
    void SetMemoText(int memo, std::string_view text);

    //! OK: each single-line text, cut to cProjectTextMax characters, and the two memos'
    //! lines go into the document. Only items whose value differs are written, so an OK
    //! without a real change leaves the project unmodified. True when something changed.
    //! Nothing happens while the disclaimer is pending (there is no project yet).
    bool Ok();

private:
    std::string& DocumentText(int edit) const;
    std::vector<std::string>& DocumentLines(int memo) const;

    TMyProject& FDocument;
    int FTab = cptProjectData;
    std::array<std::string, cProjectDialogEditCount> FTexts;
    std::array<std::vector<std::string>, cProjectDialogMemoCount> FLines;
};
