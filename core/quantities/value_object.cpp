#include "core/quantities/value_object.h"

#include "core/quantities/prj_list.h"
#include "core/quantities/prj_strings.h"

#include <exception>

namespace {

// Characters of UTF-8 text are counted as code points: each one is one byte of the
// 8-bit file text.
size_t CodePointCount(std::string_view s) {
    size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

void CutToCodePoints(std::string& s, size_t maxChars) {
    size_t n = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (n == maxChars) {
            s.resize(i);
            return;
        }
        ++n;
    }
}

template <class T> T& Var(void* p) {
    return *static_cast<T*>(p);
}

} // namespace

TValueObject::TValueObject(TProject& owner, TPrjItemType type, std::string key, void* var)
    : FOwner(&owner), FType(type), FKey(std::move(key)), FVar(var) {}

TValueObject::~TValueObject() = default;

void TValueObject::SetDefault() {
    switch (FType) {
    case cpiFloat:
        Var<double>(FVar) = FDefFloat;
        break;
    case cpiInteger:
        Var<int32_t>(FVar) = FDefInteger;
        break;
    case cpiBoolean:
        Var<bool>(FVar) = FDefBoolean;
        break;
    case cpiText:
        Var<std::string>(FVar).clear();
        break;
    case cpiEnum:
        FSetOrdinal(FVar, FDefOrdinal);
        break;
    case cpiVector:
        Var<TVektor>(FVar) = FDefVector;
        break;
    case cpiObject:
    case cpiPrjList:
    case cpiPrjStrings:
        Var<TPrjObject>(FVar).ClearItem();
        break;
    case cpiPlainList:
        Var<TPrjObjects>(FVar).clear();
        break;
    case cpiPlainStrings:
        if (FWithObjects)
            Var<TPrjStringItems>(FVar).clear();
        else
            Var<std::vector<std::string>>(FVar).clear();
        break;
    }
}

void TValueObject::ReadFrom(const TPrjStrings& strings) {
    if (FKeepDefaultWhenMissing && strings.IndexOfName(FKey) < 0) {
        SetDefault();
        return;
    }
    switch (FType) {
    case cpiFloat:
        Var<double>(FVar) = strings.ReadFloat(FKey);
        break;
    case cpiInteger:
        Var<int32_t>(FVar) = strings.ReadInteger(FKey);
        break;
    case cpiBoolean:
        Var<bool>(FVar) = strings.ReadBoolean(FKey);
        break;
    case cpiText: {
        std::string text = strings.Value(FKey);
        CutToCodePoints(text, static_cast<size_t>(FMaxLength));
        Var<std::string>(FVar) = std::move(text);
        break;
    }
    case cpiEnum: {
        const std::string name = strings.Value(FKey);
        int ordinal = 0;
        for (size_t i = 0; i < FNames.size(); ++i)
            if (FNames[i] == name) {
                ordinal = static_cast<int>(i);
                break;
            }
        FSetOrdinal(FVar, ordinal);
        break;
    }
    case cpiVector: {
        TVektor& v = Var<TVektor>(FVar);
        v.SetXYZ(strings.ReadFloat(FKey + ".x"), strings.ReadFloat(FKey + ".y"),
                 strings.ReadFloat(FKey + ".z"));
        break;
    }
    case cpiObject:
    case cpiPrjList:
    case cpiPrjStrings:
        Var<TPrjObject>(FVar).ReadFrom(strings, FKey);
        break;
    case cpiPlainList:
        ReadPlainList(strings);
        break;
    case cpiPlainStrings:
        ReadPlainStrings(strings);
        break;
    }
}

void TValueObject::ReadPlainList(const TPrjStrings& strings) {
    TPrjObjects& list = Var<TPrjObjects>(FVar);
    list.clear();
    const int n = ReadPrjCount(strings, FKey + ".Count");
    try {
        for (int i = 0; i < n; ++i) {
            std::unique_ptr<TPrjObject> item = FClass();
            item->ReadFrom(strings, PrjElementKey(FKey, "Objects", i));
            list.push_back(std::move(item));
        }
    } catch (const std::exception&) {
        // A failing element ends the list; what was read so far stays.
    }
}

void TValueObject::ReadPlainStrings(const TPrjStrings& strings) {
    const int n = ReadPrjCount(strings, FKey + ".Count");
    if (!FWithObjects) {
        auto& list = Var<std::vector<std::string>>(FVar);
        list.clear();
        for (int i = 0; i < n; ++i)
            list.push_back(strings.Value(PrjElementKey(FKey, "Strings", i)));
        return;
    }
    TPrjStringItems& list = Var<TPrjStringItems>(FVar);
    list.clear();
    try {
        for (int i = 0; i < n; ++i) {
            TPrjStringItem item{strings.Value(PrjElementKey(FKey, "Strings", i)), FClass()};
            item.Object->ReadFrom(strings, PrjElementKey(FKey, "Objects", i));
            list.push_back(std::move(item));
        }
    } catch (const std::exception&) {
        // As for plain object lists.
    }
}

void TValueObject::WriteTo(TPrjStrings& strings) const {
    switch (FType) {
    case cpiFloat:
        strings.WriteFloat(FKey, Var<double>(FVar));
        break;
    case cpiInteger:
        strings.WriteInteger(FKey, Var<int32_t>(FVar));
        break;
    case cpiBoolean:
        strings.WriteBoolean(FKey, Var<bool>(FVar));
        break;
    case cpiText: {
        const std::string& text = Var<std::string>(FVar);
        if (CodePointCount(text) > static_cast<size_t>(FMaxLength))
            strings.Fail("the text of \"" + FKey + "\" is longer than " +
                         std::to_string(FMaxLength) + " characters");
        else
            strings.SetValue(FKey, text);
        break;
    }
    case cpiEnum: {
        const int ordinal = FGetOrdinal(FVar);
        if (ordinal < 0 || ordinal >= static_cast<int>(FNames.size()))
            strings.Fail("the value " + std::to_string(ordinal) + " of \"" + FKey +
                         "\" has no name");
        else
            strings.SetValue(FKey, FNames[static_cast<size_t>(ordinal)]);
        break;
    }
    case cpiVector: {
        const TVektor& v = Var<TVektor>(FVar);
        strings.WriteFloat(FKey + ".x", v.X);
        strings.WriteFloat(FKey + ".y", v.Y);
        strings.WriteFloat(FKey + ".z", v.Z);
        break;
    }
    case cpiObject:
    case cpiPrjList:
    case cpiPrjStrings:
        Var<TPrjObject>(FVar).WriteTo(strings, FKey);
        break;
    case cpiPlainList: {
        const TPrjObjects& list = Var<TPrjObjects>(FVar);
        strings.WriteInteger(FKey + ".Count", static_cast<int64_t>(list.size()));
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i])
                list[i]->WriteTo(strings, PrjElementKey(FKey, "Objects", static_cast<int>(i)));
        break;
    }
    case cpiPlainStrings:
        if (!FWithObjects) {
            const auto& list = Var<std::vector<std::string>>(FVar);
            strings.WriteInteger(FKey + ".Count", static_cast<int64_t>(list.size()));
            for (size_t i = 0; i < list.size(); ++i)
                strings.SetValue(PrjElementKey(FKey, "Strings", static_cast<int>(i)), list[i]);
        } else {
            const TPrjStringItems& list = Var<TPrjStringItems>(FVar);
            strings.WriteInteger(FKey + ".Count", static_cast<int64_t>(list.size()));
            for (size_t i = 0; i < list.size(); ++i) {
                const int k = static_cast<int>(i);
                strings.SetValue(PrjElementKey(FKey, "Strings", k), list[i].Text);
                if (list[i].Object)
                    list[i].Object->WriteTo(strings, PrjElementKey(FKey, "Objects", k));
            }
        }
        break;
    }
}

void TValueObject::TakeSnapshot() {
    switch (FType) {
    case cpiFloat:
        FSnapFloat = Var<double>(FVar);
        break;
    case cpiInteger:
        FSnapInteger = Var<int32_t>(FVar);
        break;
    case cpiBoolean:
        FSnapBoolean = Var<bool>(FVar);
        break;
    case cpiText:
        FSnapText = Var<std::string>(FVar);
        break;
    case cpiEnum:
        FSnapOrdinal = FGetOrdinal(FVar);
        break;
    case cpiVector:
        FSnapVector = Var<TVektor>(FVar);
        break;
    case cpiObject:
    case cpiPrjList:
    case cpiPrjStrings:
        if (!FSnapObject) FSnapObject = FClass();
        FSnapObject->AssignFrom(Var<TPrjObject>(FVar));
        break;
    case cpiPlainList:
        FSnapObjects.clear();
        for (const auto& o : Var<TPrjObjects>(FVar))
            FSnapObjects.push_back(o ? CopyPrjObject(FClass, *o) : nullptr);
        break;
    case cpiPlainStrings:
        FSnapStrings.clear();
        FSnapObjects.clear();
        if (!FWithObjects) {
            FSnapStrings = Var<std::vector<std::string>>(FVar);
        } else {
            for (const TPrjStringItem& item : Var<TPrjStringItems>(FVar)) {
                FSnapStrings.push_back(item.Text);
                FSnapObjects.push_back(item.Object ? CopyPrjObject(FClass, *item.Object) : nullptr);
            }
        }
        break;
    }
}

namespace {

bool SameObjects(const TPrjObject* a, const TPrjObject* b) {
    if (!a || !b) return a == b;
    return a->Equals(*b);
}

} // namespace

bool TValueObject::Modified() const {
    switch (FType) {
    case cpiFloat:
        return !(Var<double>(FVar) == FSnapFloat);
    case cpiInteger:
        return Var<int32_t>(FVar) != FSnapInteger;
    case cpiBoolean:
        return Var<bool>(FVar) != FSnapBoolean;
    case cpiText:
        return Var<std::string>(FVar) != FSnapText;
    case cpiEnum:
        return FGetOrdinal(FVar) != FSnapOrdinal;
    case cpiVector:
        return !Var<TVektor>(FVar).Equals(FSnapVector);
    case cpiObject:
    case cpiPrjList:
    case cpiPrjStrings:
        return !FSnapObject || !Var<TPrjObject>(FVar).Equals(*FSnapObject);
    case cpiPlainList: {
        const TPrjObjects& list = Var<TPrjObjects>(FVar);
        if (list.size() != FSnapObjects.size()) return true;
        for (size_t i = 0; i < list.size(); ++i)
            if (!SameObjects(list[i].get(), FSnapObjects[i].get())) return true;
        return false;
    }
    case cpiPlainStrings:
        if (!FWithObjects) return Var<std::vector<std::string>>(FVar) != FSnapStrings;
        {
            const TPrjStringItems& list = Var<TPrjStringItems>(FVar);
            if (list.size() != FSnapStrings.size()) return true;
            for (size_t i = 0; i < list.size(); ++i)
                if (list[i].Text != FSnapStrings[i] ||
                    !SameObjects(list[i].Object.get(), FSnapObjects[i].get()))
                    return true;
            return false;
        }
    }
    return false;
}
