#include "core/lang/language_db.h"

#include "core/data/container_format.h"
#include "core/lang/language_blob.h"
#include "core/lang/language_table.h"

#include <algorithm>
#include <cmath>

namespace {

std::vector<TCustomLanguageDB*>& Registry() {
    static std::vector<TCustomLanguageDB*> dbs;
    return dbs;
}

bool Registered(const TCustomLanguageDB* db) {
    const auto& r = Registry();
    return std::find(r.begin(), r.end(), db) != r.end();
}

bool IsKey(std::string_view text) {
    return !text.empty() && text.front() == '~';
}

constexpr size_t kCodeMax = 4;

} // namespace

TCustomLanguageDB::TCustomLanguageDB(TLanguageDBOwner* owner)
    : owner_(owner), charset_(LanguageCharset("")) {
    Registry().push_back(this);
}

TCustomLanguageDB::~TCustomLanguageDB() {
    std::erase(Registry(), this);
}

const std::vector<TCustomLanguageDB*>& TCustomLanguageDB::LanguageDBs() {
    return Registry();
}

void TCustomLanguageDB::Loaded() {
    if (!loading_) return;
    loading_ = false;
    if (!language_.empty()) return;
    for (TCustomLanguageDB* db : Registry()) {
        if (db != this && !db->language_.empty()) {
            SwitchTo(db->language_);
            return;
        }
    }
}

void TCustomLanguageDB::SetLanguage(std::string_view code) {
    const std::string wanted(code.substr(0, kCodeMax));
    if (SameTextAscii(wanted, language_)) return;
    const int group = group_;
    // Handlers may create or destroy forms: walk a copy and skip the departed.
    const auto dbs = Registry();
    for (TCustomLanguageDB* db : dbs)
        if (Registered(db) && db->group_ == group && !SameTextAscii(db->language_, wanted))
            db->SwitchTo(wanted);
    const auto translators = TTavTranslator::Translators();
    for (TTavTranslator* t : translators) {
        const auto& live = TTavTranslator::Translators();
        if (std::find(live.begin(), live.end(), t) != live.end()) t->LanguageChanged(group);
    }
}

void TCustomLanguageDB::SwitchTo(const std::string& code) {
    language_ = code;
    Retranslate();
    if (!loading_) OnChange.Emit(*this);
}

bool TCustomLanguageDB::Translate(std::string_view key, std::string& text) {
    for (const TCustomLanguageTable* table : TCustomLanguageTable::LanguageTables())
        if (table->Lookup(language_, key, text)) return true;
    TLanguageDBRecord rec{language_, std::string(key), std::string(key), false};
    DoGetString(rec);
    if (rec.Found) {
        text = std::move(rec.Text);
        return true;
    }
    if (missingKeys_ &&
        std::find(missingKeys_->begin(), missingKeys_->end(), key) == missingKeys_->end())
        missingKeys_->emplace_back(key);
    text.assign(key);
    return false;
}

std::string TCustomLanguageDB::Translate(std::string_view key) {
    std::string text;
    Translate(key, text);
    return text;
}

std::string TCustomLanguageDB::TranslateDisplay(std::string_view key) {
    std::string text = Translate(key);
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

void TCustomLanguageDB::Bind(TLanguageComponent component, std::string_view propName,
                             std::string_view text, bool wide) {
    const std::string_view name = propName.substr(0, kLanguagePropNameMax);
    const auto it =
        std::find_if(bindings_.begin(), bindings_.end(), [&](const TLanguageDBObject& b) {
            return b.Component == component && b.PropName == name;
        });
    if (!IsKey(text)) {
        if (it != bindings_.end()) bindings_.erase(it);
        return;
    }
    if (it == bindings_.end()) {
        bindings_.push_back(
            TLanguageDBObject{component, std::string(name), std::string(text), wide});
        return;
    }
    it->Key.assign(text);
    // A property any translator declares wide takes wide text.
    it->Wide = it->Wide || wide;
    if (!collecting_) Apply(TLanguageDBObject(*it));
}

void TCustomLanguageDB::RemoveComponent(TLanguageComponent component) {
    std::erase_if(bindings_, [&](const TLanguageDBObject& b) { return b.Component == component; });
}

void TCustomLanguageDB::ForEachServing(TLanguageComponent component,
                                       const std::function<void(TTavTranslator&)>& f) {
    const auto translators = TTavTranslator::Translators();
    for (TTavTranslator* t : translators) {
        const auto& live = TTavTranslator::Translators();
        if (std::find(live.begin(), live.end(), t) != live.end() && t->Serves(component)) f(*t);
    }
}

void TCustomLanguageDB::Apply(const TLanguageDBObject& binding) {
    const std::string text = binding.Wide ? TranslateW(binding.Key) : Translate(binding.Key);
    ForEachServing(binding.Component, [&](TTavTranslator& t) {
        if (binding.Wide)
            t.SetWideText(binding, text);
        else
            t.SetText(binding, text);
    });
}

void TCustomLanguageDB::Progress(int percent) {
    if (OnUpdateProgressBar) OnUpdateProgressBar(*this, percent);
}

void TCustomLanguageDB::Retranslate() {
    if (owner_) owner_->SetBusyCursor(true);
    if (!collected_) {
        collected_ = true;
        Progress(0);
        if (owner_) {
            collecting_ = true;
            owner_->ForEachComponent([&](TLanguageComponent c) {
                ForEachServing(c, [&](TTavTranslator& t) { t.CollectBindings(c, *this); });
            });
            collecting_ = false;
        }
        Progress(100);
    }
    charset_ = LanguageCharset(language_);
    Progress(0);
    // A translator may bind or unbind while it applies a text: index, copy, re-check.
    for (size_t i = 0; i < bindings_.size(); ++i) {
        Apply(TLanguageDBObject(bindings_[i]));
        if (i % 16 == 0) {
            const double part = static_cast<double>(i) / static_cast<double>(bindings_.size());
            Progress(static_cast<int>(std::nearbyint(part * 100.0)));
        }
    }
    if (owner_ && owner_->IsForm()) {
        owner_->SetFontCharset(charset_);
        owner_->ForEachComponent([&](TLanguageComponent c) {
            ForEachServing(c, [&](TTavTranslator& t) { t.SetCharset(c, charset_); });
        });
    }
    Progress(100);
    if (owner_) owner_->SetBusyCursor(false);
}

void TLanguageDB::DoGetString(TLanguageDBRecord& rec) {
    if (OnGetString) OnGetString(*this, rec);
}

