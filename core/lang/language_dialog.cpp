#include "core/lang/language_dialog.h"

#include <algorithm>
#include <cstring>

#include "core/data/str_field_db.h"

TLanguageDialog32Bit::TLanguageDialog32Bit() { table_.Loaded(); }

void TLanguageDialog32Bit::SetConnection(TOrsikConnection* connection) {
    table_.SetConnection(connection);
    ReadList();
}

void TLanguageDialog32Bit::SetTable(const std::string& name) {
    table_.SetTable(name);
    ReadList();
}

void TLanguageDialog32Bit::ReadList() {
    codes_.clear();
    names_.clear();
    const int iso = table_.ColByName("ISO"), name = table_.ColByName("Name");
    for (int r = 0; r < table_.Rows(); ++r) {
        if (iso >= 0) {
            std::string code = table_.AsText(r, iso);
            if (std::find(codes_.begin(), codes_.end(), code) == codes_.end()) codes_.push_back(std::move(code));
        }
        if (name >= 0) {
            std::string text = table_.AsText(r, name);
            if (std::find(names_.begin(), names_.end(), text) == names_.end()) names_.push_back(std::move(text));
        }
    }
}

int TLanguageDialog32Bit::RowOf(std::string_view code) const {
    if (code.empty()) return -1;
    const int iso = table_.ColByName("ISO");
    if (iso < 0) return -1;
    for (int r = 0; r < table_.Rows(); ++r)
        if (table_.AsText(r, iso) == code) return r;
    return -1;
}

std::string TLanguageDialog32Bit::NameOf(int row) const {
    return row >= 0 && row < RowCount() ? table_.AsText(row, "Name") : std::string();
}

std::string TLanguageDialog32Bit::CodeOf(int row) const {
    return row >= 0 && row < RowCount() ? table_.AsText(row, "ISO") : std::string();
}

bool TLanguageDialog32Bit::FlagOf(int row, std::span<const uint8_t>& bitmap) const {
    bitmap = {};
    if (row < 0 || row >= RowCount() || table_.Cols() < 3) return false;
    const std::span<const uint8_t> blob = BlobOf(table_.Field(row, 2));
    // The picture's class name as a counted string: 7, "TBitmap".
    if (blob.size() < 8 || std::memcmp(blob.data(), "\x07TBitmap", 8) != 0) return false;
    bitmap = blob.subspan(8);
    return true;
}

TLanguageDlgModel::TLanguageDlgModel(TLanguageDialog32Bit& dialog) : dialog_(dialog) {}

void TLanguageDlgModel::Initialise() {
    choice_ = dialog_.Code();
    if (PreviewLanguage) PreviewLanguage(choice_);
    row_ = dialog_.RowOf(choice_);
}

void TLanguageDlgModel::Choose(int row) {
    if (row < 0 || row >= dialog_.RowCount()) return;
    row_ = row;
    choice_ = dialog_.CodeOf(row);
    if (PreviewLanguage) PreviewLanguage(choice_);
}

void TLanguageDlgModel::Ok() { dialog_.SetCode(choice_); }

void TLanguageDlgModel::Help() {
    if (dialog_.OnHelp) dialog_.OnHelp(dialog_);
}

int TLanguageDlgModel::FormHeight() const {
    if (dialog_.Style != cldsRadioGroup) return cBaseHeight;
    return cBaseHeight + cRadioPitch * std::max(0, dialog_.RowCount() - 4);
}

TLanguageDlgModel::TRect TLanguageDlgModel::RadioRect(int i, int listWidth) {
    return {0, cRadioPitch * i, listWidth, cRadioHeight};
}
