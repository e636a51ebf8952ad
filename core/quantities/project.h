#pragma once

#include "core/algebra/vektor.h"
#include "core/quantities/prj_list.h"
#include "core/quantities/value_object.h"

#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class TPrjStrings;

//! Outcome of reading or writing a project file.
enum TPrjResultCode : uint8_t {
    cprOk,         //!< done
    cprOpenError,  //!< the file could not be opened
    cprReadError,  //!< the file could not be read completely
    cprValueError, //!< a value cannot be stored in a project file
    cprWriteError, //!< the file could not be written
};

//! Result of a project file operation; the message names the file and what is wrong.
struct TPrjResult {
    TPrjResultCode Code = cprOk;
    std::string Message;

    bool Ok() const { return Code == cprOk; }
    explicit operator bool() const { return Ok(); }
};

//! Largest project file that is read; a real one is a few hundred kilobytes at most.
inline constexpr uint64_t cPrjMaxFileSize = uint64_t{64} << 20;

//! The project value store: every input of the application as an item, a dotted key bound
//! to a variable of the document, with a default. Resets all items or those under a key
//! prefix, reads and writes project files ("key=value" lines in code page 1252) and tells
//! its owner through events when to register the items, apply further defaults, refresh
//! the screen and show progress.
class TProject {
public:
    using TNotifyEvent = std::function<void(TProject& sender)>;
    using TProjectNamesSpaceEvent = std::function<void(TProject& sender, const std::string& names)>;
    using TProjectProgressBarEvent = std::function<void(TProject& sender, int percent)>;

    //! Created busy, as a component being loaded; Loaded() ends that.
    TProject();
    TProject(const TProject&) = delete;
    TProject& operator=(const TProject&) = delete;
    ~TProject();

    //! Registers all items; raised when an operation needs the items and there are none.
    TNotifyEvent OnRegisterItems;
    //! Applies the defaults that are not constants, for the key prefix `names`.
    TProjectNamesSpaceEvent OnSetDefaultValues;
    //! Shows the values under the key prefix `names`.
    TProjectNamesSpaceEvent OnUpdateScreen;
    //! Progress of a load in percent.
    TProjectProgressBarEvent OnUpdateProgressBar;

    //! Ends the creation state: clears the busy flag.
    void Loaded() { FBusy = false; }

    // --- registration; each creates the item, snapshots it and appends it ---
    void AddFloat(double& var, std::string key, double defaultValue);
    //! A number added after project files were written: a file without its key leaves the
    //! default (AddFloat reads a missing key as 0).
    void AddFloatKeepingDefault(double& var, std::string key, double defaultValue);
    void AddInteger(int32_t& var, int32_t defaultValue, std::string key);
    void AddBoolean(bool& var, bool defaultValue, std::string key);
    //! A text of at most maxLength (0..255) characters; its default is the empty text.
    void AddText(std::string& var, int maxLength, std::string key);
    //! An enumeration stored by name. `var` is a one-byte enumeration or integer;
    //! `names` (1..256 names) is copied.
    template <class E>
    requires(sizeof(E) == 1 && !std::is_same_v<E, bool> &&
             (std::is_enum_v<E> ||
              std::is_integral_v<E>)) void AddEnum(E& var, int defaultOrdinal, std::string key,
                                                   std::span<const std::string_view> names) {
        AddEnumItem(&var, &GetOrdinal<E>, &SetOrdinal<E>, defaultOrdinal, std::move(key), names);
    }
    void AddVector(TVektor& var, const TVektor& defaultValue, std::string key);
    //! An object stored as it writes itself; `objectClass` (the class of `object`) makes
    //! the snapshot copy.
    void AddObject(TPrjObject& object, TPrjObjectClass objectClass, std::string key);
    template <std::derived_from<TPrjObject> T> void AddObject(T& object, std::string key) {
        AddObject(object, PrjClass<T>, std::move(key));
    }
    //! A project list; `listClass` (the class of `list`) makes the snapshot copy.
    void AddList(TPrjList& list, TPrjObjectClass listClass, std::string key);
    template <std::derived_from<TPrjList> L> void AddList(L& list, std::string key) {
        AddList(list, PrjClass<L>, std::move(key));
    }
    //! A plain list of objects of `itemClass`, stored as key.Count and key.Objects[i].
    void AddList(TPrjObjects& list, TPrjObjectClass itemClass, std::string key);
    //! A project string list; `listClass` (the class of `list`) makes the snapshot copy.
    void AddStrings(TPrjStringList& list, TPrjObjectClass listClass, std::string key);
    template <std::derived_from<TPrjStringList> L> void AddStrings(L& list, std::string key) {
        AddStrings(list, PrjClass<L>, std::move(key));
    }
    //! A plain string list: key.Count and key.Strings[i].
    void AddStrings(std::vector<std::string>& list, std::string key);
    //! A plain string list with objects of `itemClass`: also key.Objects[i].
    void AddStrings(TPrjStringItems& list, TPrjObjectClass itemClass, std::string key);

    // --- operations ---
    //! A new project: no file name, every item at its default, the screen refreshed.
    void New();
    //! Reads a project file. A file that cannot be read leaves the document and the file
    //! name as they were and returns an error naming the file. Malformed values are not
    //! errors: they read as 0, false, empty or the first name.
    TPrjResult LoadFromFile(const std::string& fileName);
    //! Writes every item to a project file, which then becomes the current file. A value
    //! the file cannot hold (a character outside code page 1252, a line break, a text
    //! longer than its item allows, a number that is not finite) is an error naming the
    //! key; the file is then not touched.
    TPrjResult SaveToFile(const std::string& fileName);
    //! Appends the entries of every item, in registration order, as the file holds them.
    void WriteItems(TPrjStrings& strings);
    //! Resets the items under `prefix` to their defaults, then raises OnSetDefaultValues.
    void SetDefaults(const std::string& prefix);
    //! Copies every item's value into its snapshot.
    void Snapshot();
    //! True when an item differs from its snapshot (taken by New, LoadFromFile and
    //! SaveToFile).
    bool Modified();
    //! Raises OnUpdateScreen.
    void UpdateScreen(const std::string& prefix);
    //! Raises OnUpdateProgressBar.
    void Progress(int percent);

    //! Number of items (registering them when there are none).
    int ItemCount();
    //! Item i in registration order (registering the items when there are none).
    TValueObject& Item(int i);
    //! The first item with exactly this key; null when there is none.
    TValueObject* FindItem(std::string_view key);
    //! Frees all items; the next operation that needs them registers them again.
    void Clear();

    const std::string& FileName() const { return FFileName; }
    bool Busy() const { return FBusy; }

    //! True when `key` belongs to `prefix`: the prefix is empty or begins the key
    //! (letter case counts).
    static bool KeyInPrefix(std::string_view key, std::string_view prefix) {
        return key.starts_with(prefix);
    }

private:
    template <class E> static int GetOrdinal(const void* p) {
        return static_cast<int>(*static_cast<const E*>(p));
    }
    template <class E> static void SetOrdinal(void* p, int ordinal) {
        *static_cast<E*>(p) = static_cast<E>(ordinal);
    }

    void AddEnumItem(void* var, TValueObject::TGetOrdinal get, TValueObject::TSetOrdinal set,
                     int defaultOrdinal, std::string key, std::span<const std::string_view> names);
    TValueObject& Append(TPrjItemType type, std::string key, void* var);
    void RegisterOnDemand();

    bool FBusy = true;
    std::string FFileName;
    std::vector<std::unique_ptr<TValueObject>> FItems;
};
