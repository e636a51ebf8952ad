#include "core/workflow/project_dialog_model.h"

#include "core/document/my_project.h"

#include <stdexcept>

namespace {

constexpr std::array<std::string_view, cProjectDialogTabCount> kTabKeys = {
    "~ProjectData", "~CustomerData", "~Remarks"};

constexpr std::array<TProjectDialogField, cProjectDialogEditCount> kEdits = {{
    {"Edit_Bearbeiter", "~Editor", cptProjectData, "Project.Author"},
    {"Edit_Projektbez1", "~ProjectName", cptProjectData, "Project.Description[0]"},
    {"Edit_Projektbez2", "", cptProjectData, "Project.Description[1]"},
    {"Edit_ProjektNr", "~ProjectNo", cptProjectData, "Project.No"},
    {"Edit_KundenNr", "~CustomerNo", cptCustomerData, "Customer.No"},
    {"Edit_Telefon", "~Phone", cptCustomerData, "Customer.Phone"},
    {"Edit_Fax", "~Fax", cptCustomerData, "Customer.Fax"},
}};

constexpr std::array<TProjectDialogField, cProjectDialogMemoCount> kMemos = {{
    {"MemoAddress", "~Address", cptCustomerData, "Customer.Address"},
    {"MemoRemarks", "~Remarks", cptRemarks, "Remarks"},
}};

bool ValidTab(int tab) {
    return tab >= 0 && tab < cProjectDialogTabCount;
}

size_t Checked(int index, int count, const char* what) {
    if (index < 0 || index >= count)
        throw std::out_of_range(std::string("project dialog: no ") + what + " " +
                                std::to_string(index));
    return static_cast<size_t>(index);
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::string_view ProjectDialogTabKey(int tab) {
    return kTabKeys[Checked(tab, cProjectDialogTabCount, "tab")];
}

const TProjectDialogField& ProjectDialogEditField(int edit) {
    return kEdits[Checked(edit, cProjectDialogEditCount, "edit")];
}

const TProjectDialogField& ProjectDialogMemoField(int memo) {
    return kMemos[Checked(memo, cProjectDialogMemoCount, "memo")];
}

std::string CutToCharacters(std::string_view text, size_t maxChars) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsContinuationByte(text[i])) continue;
        if (chars == maxChars) return std::string(text.substr(0, i));
        ++chars;
    }
    return std::string(text);
}

std::vector<std::string> MemoLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string MemoText(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

TProjectDialogModel::TProjectDialogModel(TMyProject& document) : FDocument(document) {}

std::string& TProjectDialogModel::DocumentText(int edit) const {
    switch (static_cast<TProjectDialogEdit>(Checked(edit, cProjectDialogEditCount, "edit"))) {
    case cpeAuthor:
        return FDocument.ProjectInfo.Author;
    case cpeDescription1:
        return FDocument.ProjectInfo.Description[0];
    case cpeDescription2:
        return FDocument.ProjectInfo.Description[1];
    case cpeProjectNo:
        return FDocument.ProjectInfo.No;
    case cpeCustomerNo:
        return FDocument.Customer.No;
    case cpePhone:
        return FDocument.Customer.Phone;
    case cpeFax:
        break;
    }
    return FDocument.Customer.Fax;
}

std::vector<std::string>& TProjectDialogModel::DocumentLines(int memo) const {
    return Checked(memo, cProjectDialogMemoCount, "memo") == cpmAddress ? FDocument.Customer.Address
                                                                        : FDocument.Remarks;
}

void TProjectDialogModel::Open(int tab) {
    for (int e = 0; e < cProjectDialogEditCount; ++e)
        FTexts[static_cast<size_t>(e)] = DocumentText(e);
    for (int m = 0; m < cProjectDialogMemoCount; ++m)
        FLines[static_cast<size_t>(m)] = DocumentLines(m);
    FTab = ValidTab(tab) ? tab : cptProjectData;
}

void TProjectDialogModel::SelectTab(int tab) {
    if (ValidTab(tab)) FTab = tab;
}

const std::string& TProjectDialogModel::Text(int edit) const {
    return FTexts[Checked(edit, cProjectDialogEditCount, "edit")];
}

void TProjectDialogModel::SetText(int edit, std::string_view text) {
    std::string& stored = FTexts[Checked(edit, cProjectDialogEditCount, "edit")];
    stored = text;
    for (char& c : stored)
        if (c == '\n' || c == '\r') c = ' ';
}

const std::vector<std::string>& TProjectDialogModel::Lines(int memo) const {
    return FLines[Checked(memo, cProjectDialogMemoCount, "memo")];
}

void TProjectDialogModel::SetMemoText(int memo, std::string_view text) {
    std::vector<std::string>& lines = FLines[Checked(memo, cProjectDialogMemoCount, "memo")];
    // The memo shows the lines joined; reading that text back would drop a last empty line.
    if (text == MemoText(lines)) return;
    lines = MemoLines(text);
}

bool TProjectDialogModel::Ok() {
    if (FDocument.DisclaimerPending) return false;
    bool changed = false;
    for (int e = 0; e < cProjectDialogEditCount; ++e) {
        std::string text = CutToCharacters(FTexts[static_cast<size_t>(e)], cProjectTextMax);
        std::string& target = DocumentText(e);
        if (target != text) {
            target = std::move(text);
            changed = true;
        }
    }
    for (int m = 0; m < cProjectDialogMemoCount; ++m) {
        std::vector<std::string>& target = DocumentLines(m);
        if (target != FLines[static_cast<size_t>(m)]) {
            target = FLines[static_cast<size_t>(m)];
            changed = true;
        }
    }
    return changed;
}
