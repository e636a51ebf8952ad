#include "core/quantities/project.h"

#include "core/util/file_io.h"

#include "core/quantities/number_format.h"
#include "core/quantities/prj_strings.h"
#include "core/util/codepage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

// Clears the busy flag however the operation ends.
class TBusyScope {
public:
    explicit TBusyScope(bool& busy) : FBusy(busy) { FBusy = true; }
    ~TBusyScope() { FBusy = false; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    bool& FBusy;
};

TPrjResult Failure(TPrjResultCode code, std::string message) {
    return TPrjResult{code, std::move(message)};
}

TPrjResult ReadFileBytes(const std::string& fileName, std::string& bytes) {
    std::string why;
    switch (ReadWholeFile(fileName, cPrjMaxFileSize, bytes, why)) {
    case crfOk: return {};
    case crfOpenError:
        return Failure(cprOpenError, "cannot open project file \"" + fileName + "\": " + why);
    default: return Failure(cprReadError, "cannot read project file \"" + fileName + "\": " + why);
    }
}

TPrjResult WriteFileBytes(const std::string& fileName, const std::string& bytes) {
    // Replaced whole, so a failed write keeps the old file.
    std::string why;
    if (!ReplaceFileContents(fileName, bytes, why))
        return Failure(cprWriteError, "cannot write project file \"" + fileName + "\": " + why);
    return {};
}

} // namespace

TProject::TProject() = default;
TProject::~TProject() = default;

TValueObject& TProject::Append(TPrjItemType type, std::string key, void* var) {
    FItems.push_back(
        std::unique_ptr<TValueObject>(new TValueObject(*this, type, std::move(key), var)));
    return *FItems.back();
}

void TProject::AddFloat(double& var, std::string key, double defaultValue) {
    TValueObject& item = Append(cpiFloat, std::move(key), &var);
    item.FDefFloat = defaultValue;
    item.TakeSnapshot();
}

void TProject::AddFloatKeepingDefault(double& var, std::string key, double defaultValue) {
    TValueObject& item = Append(cpiFloat, std::move(key), &var);
    item.FDefFloat = defaultValue;
    item.FKeepDefaultWhenMissing = true;
    item.TakeSnapshot();
}

void TProject::AddInteger(int32_t& var, int32_t defaultValue, std::string key) {
    TValueObject& item = Append(cpiInteger, std::move(key), &var);
    item.FDefInteger = defaultValue;
    item.TakeSnapshot();
}

void TProject::AddBoolean(bool& var, bool defaultValue, std::string key) {
    TValueObject& item = Append(cpiBoolean, std::move(key), &var);
    item.FDefBoolean = defaultValue;
    item.TakeSnapshot();
}

void TProject::AddText(std::string& var, int maxLength, std::string key) {
    if (maxLength < 0 || maxLength > 255)
        throw std::invalid_argument("text item \"" + key + "\": maximum length out of 0..255");
    TValueObject& item = Append(cpiText, std::move(key), &var);
    item.FMaxLength = maxLength;
    item.TakeSnapshot();
}

void TProject::AddEnumItem(void* var, TValueObject::TGetOrdinal get, TValueObject::TSetOrdinal set,
                           int defaultOrdinal, std::string key,
                           std::span<const std::string_view> names) {
    if (names.empty() || names.size() > 256)
        throw std::invalid_argument("enumeration item \"" + key + "\": needs 1..256 names");
    if (defaultOrdinal < 0 || defaultOrdinal >= static_cast<int>(names.size()))
        throw std::invalid_argument("enumeration item \"" + key + "\": default has no name");
    TValueObject& item = Append(cpiEnum, std::move(key), var);
    item.FGetOrdinal = get;
    item.FSetOrdinal = set;
    item.FDefOrdinal = defaultOrdinal;
    item.FNames.assign(names.begin(), names.end());
    item.TakeSnapshot();
}

void TProject::AddVector(TVektor& var, const TVektor& defaultValue, std::string key) {
    TValueObject& item = Append(cpiVector, std::move(key), &var);
    item.FDefVector = defaultValue;
    item.TakeSnapshot();
}

void TProject::AddObject(TPrjObject& object, TPrjObjectClass objectClass, std::string key) {
    TValueObject& item = Append(cpiObject, std::move(key), &object);
    item.FClass = objectClass;
    item.TakeSnapshot();
}

void TProject::AddList(TPrjList& list, TPrjObjectClass listClass, std::string key) {
    // The item addresses the list through its TPrjObject base.
    TValueObject& item = Append(cpiPrjList, std::move(key), static_cast<TPrjObject*>(&list));
    item.FClass = listClass;
    item.TakeSnapshot();
}

void TProject::AddList(TPrjObjects& list, TPrjObjectClass itemClass, std::string key) {
    TValueObject& item = Append(cpiPlainList, std::move(key), &list);
    item.FClass = itemClass;
    item.TakeSnapshot();
}

void TProject::AddStrings(TPrjStringList& list, TPrjObjectClass listClass, std::string key) {
    TValueObject& item = Append(cpiPrjStrings, std::move(key), static_cast<TPrjObject*>(&list));
    item.FClass = listClass;
    item.TakeSnapshot();
}

void TProject::AddStrings(std::vector<std::string>& list, std::string key) {
    TValueObject& item = Append(cpiPlainStrings, std::move(key), &list);
    item.TakeSnapshot();
}

void TProject::AddStrings(TPrjStringItems& list, TPrjObjectClass itemClass, std::string key) {
    TValueObject& item = Append(cpiPlainStrings, std::move(key), &list);
    item.FClass = itemClass;
    item.FWithObjects = true;
    item.TakeSnapshot();
}

void TProject::RegisterOnDemand() {
    if (FItems.empty() && OnRegisterItems) OnRegisterItems(*this);
}

void TProject::New() {
    TBusyScope busy(FBusy);
    FFileName.clear();
    SetDefaults("");
    Snapshot();
    UpdateScreen("");
}

TPrjResult TProject::LoadFromFile(const std::string& fileName) {
    Progress(0);
    // The whole file is read before anything changes, so that a file that cannot be
    // read leaves the open project as it was.
    std::string bytes;
    if (TPrjResult r = ReadFileBytes(fileName, bytes); !r) {
        Progress(100);
        return r;
    }
    TPrjStrings strings;
    strings.SetText(Cp1252ToUtf8(bytes));
    bytes.clear();
    {
        TBusyScope busy(FBusy);
        FFileName = fileName;
        RegisterOnDemand();
        SetDefaults("");
        const int count = static_cast<int>(FItems.size());
        for (int i = 0; i < count; ++i) {
            FItems[static_cast<size_t>(i)]->ReadFrom(strings);
            if (i % 4 == 0)
                Progress(static_cast<int>(RoundHalfEven(static_cast<double>(i + 1) / count * 100)));
        }
        // Taken after reading, so that the loaded project counts as unchanged.
        Snapshot();
        UpdateScreen("");
    }
    Progress(100);
    return {};
}

void TProject::WriteItems(TPrjStrings& strings) {
    RegisterOnDemand();
    for (const auto& item : FItems) item->WriteTo(strings);
}

TPrjResult TProject::SaveToFile(const std::string& fileName) {
    const std::string what = "cannot write project file \"" + fileName + "\": ";
    TPrjStrings strings;
    WriteItems(strings);
    if (strings.Failed()) return Failure(cprValueError, what + strings.Error());
    std::string bytes, error;
    if (!strings.EncodeCp1252(bytes, error)) return Failure(cprValueError, what + error);
    if (TPrjResult r = WriteFileBytes(fileName, bytes); !r) return r;
    FFileName = fileName;
    Snapshot();
    return {};
}

void TProject::SetDefaults(const std::string& prefix) {
    RegisterOnDemand();
    for (const auto& item : FItems)
        if (KeyInPrefix(item->Key(), prefix)) item->SetDefault();
    if (OnSetDefaultValues) OnSetDefaultValues(*this, prefix);
}

void TProject::Snapshot() {
    RegisterOnDemand();
    for (const auto& item : FItems) item->TakeSnapshot();
}

bool TProject::Modified() {
    RegisterOnDemand();
    for (const auto& item : FItems)
        if (item->Modified()) return true;
    return false;
}

void TProject::UpdateScreen(const std::string& prefix) {
    RegisterOnDemand();
    if (OnUpdateScreen) OnUpdateScreen(*this, prefix);
}

void TProject::Progress(int percent) {
    if (OnUpdateProgressBar) OnUpdateProgressBar(*this, percent);
}

int TProject::ItemCount() {
    RegisterOnDemand();
    return static_cast<int>(FItems.size());
}

TValueObject& TProject::Item(int i) {
    RegisterOnDemand();
    if (i < 0 || i >= static_cast<int>(FItems.size()))
        throw std::out_of_range("project item index " + std::to_string(i));
    return *FItems[static_cast<size_t>(i)];
}

TValueObject* TProject::FindItem(std::string_view key) {
    RegisterOnDemand();
    for (const auto& item : FItems)
        if (item->Key() == key) return item.get();
    return nullptr;
}

void TProject::Clear() {
    FItems.clear();
}
