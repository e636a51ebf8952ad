#include "core/quantities/prj_list.h"

#include "core/quantities/prj_strings.h"

int ReadPrjCount(const TPrjStrings& strings, const std::string& key) {
    const int32_t n = strings.ReadInteger(key);
    return n < 0 || n > cPrjMaxListCount ? 0 : n;
}

std::string PrjElementKey(const std::string& key, const char* member, int i) {
    return key + "." + member + "[" + std::to_string(i) + "]";
}

void TPrjList::Add(std::unique_ptr<TPrjObject> item) {
    if (item) FItems.push_back(std::move(item));
}

void TPrjList::Delete(int i) {
    if (i >= 0 && i < Count()) FItems.erase(FItems.begin() + i);
}

void TPrjList::WriteTo(TPrjStrings& strings, const std::string& key) const {
    strings.WriteInteger(key + ".Count", Count());
    for (int i = 0; i < Count(); ++i) Item(i)->WriteTo(strings, PrjElementKey(key, "Items", i));
}

void TPrjList::ReadFrom(const TPrjStrings& strings, const std::string& key) {
    Clear();
    const int n = ReadPrjCount(strings, key + ".Count");
    FItems.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::unique_ptr<TPrjObject> item = FItemClass();
        item->ReadFrom(strings, PrjElementKey(key, "Items", i));
        FItems.push_back(std::move(item));
    }
}

bool TPrjList::Equals(const TPrjObject& other) const {
    const auto* o = dynamic_cast<const TPrjList*>(&other);
    if (!o || o->Count() != Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (!Item(i)->Equals(*o->Item(i))) return false;
    return true;
}

void TPrjList::AssignFrom(const TPrjObject& other) {
    const auto* o = dynamic_cast<const TPrjList*>(&other);
    if (!o || o == this) return;
    Clear();
    FItemClass = o->FItemClass;
    FItems.reserve(static_cast<size_t>(o->Count()));
    for (int i = 0; i < o->Count(); ++i) FItems.push_back(CopyPrjObject(FItemClass, *o->Item(i)));
}

void TPrjStringList::Add(std::string line, std::unique_ptr<TPrjObject> object) {
    if (!object) object = FItemClass();
    FLines.push_back(TLine{std::move(line), std::move(object)});
}

void TPrjStringList::Assign(const std::vector<std::string>& strings) {
    Clear();
    for (const std::string& s : strings) Add(s);
}

void TPrjStringList::WriteTo(TPrjStrings& strings, const std::string& key) const {
    strings.WriteInteger(key + ".Count", Count());
    for (int i = 0; i < Count(); ++i) {
        strings.SetValue(PrjElementKey(key, "Lines", i), Line(i));
        Object(i)->WriteTo(strings, PrjElementKey(key, "Items", i));
    }
}

void TPrjStringList::ReadFrom(const TPrjStrings& strings, const std::string& key) {
    Clear();
    const int n = ReadPrjCount(strings, key + ".Count");
    FLines.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::unique_ptr<TPrjObject> item = FItemClass();
        item->ReadFrom(strings, PrjElementKey(key, "Items", i));
        Add(strings.Value(PrjElementKey(key, "Lines", i)), std::move(item));
    }
}

bool TPrjStringList::Equals(const TPrjObject& other) const {
    const auto* o = dynamic_cast<const TPrjStringList*>(&other);
    if (!o || o->Count() != Count()) return false;
    for (int i = 0; i < Count(); ++i) {
        if (Line(i) != o->Line(i) || !Object(i)->Equals(*o->Object(i))) return false;
    }
    return true;
}

void TPrjStringList::AssignFrom(const TPrjObject& other) {
    const auto* o = dynamic_cast<const TPrjStringList*>(&other);
    if (!o || o == this) return;
    Clear();
    FItemClass = o->FItemClass;
    FLines.reserve(static_cast<size_t>(o->Count()));
    for (int i = 0; i < o->Count(); ++i) Add(o->Line(i), CopyPrjObject(FItemClass, *o->Object(i)));
}
