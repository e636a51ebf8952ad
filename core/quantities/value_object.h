#pragma once

#include "core/algebra/vektor.h"
#include "core/quantities/prj_object.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TProject;
class TPrjStrings;

//! Kind of a registered project item; decides how it is stored in the file.
enum TPrjItemType : uint8_t {
    cpiFloat,        //!< double, key=number
    cpiInteger,      //!< 32-bit integer, key=integer
    cpiBoolean,      //!< bool, key=True or False
    cpiText,         //!< text of limited length, key=text
    cpiEnum,         //!< byte ordinal, key=name from the item's name table
    cpiVector,       //!< TVektor, key.x, key.y, key.z
    cpiObject,       //!< a TPrjObject, stored as it writes itself
    cpiPrjList,      //!< a TPrjList: key.Count, key.Items[i]…
    cpiPrjStrings,   //!< a TPrjStringList: key.Count, key.Lines[i], key.Items[i]…
    cpiPlainList,    //!< a vector of objects: key.Count, key.Objects[i]…
    cpiPlainStrings, //!< a vector of strings (objects optional): key.Count, key.Strings[i]…
};

//! A plain list of project objects of one class.
using TPrjObjects = std::vector<std::unique_ptr<TPrjObject>>;

//! One line of a plain string list that carries objects.
struct TPrjStringItem {
    std::string Text;
    std::unique_ptr<TPrjObject> Object;
};
using TPrjStringItems = std::vector<TPrjStringItem>;

//! One registered item of a project: a key bound to a variable of the document, with its
//! default and a snapshot of the value. Created and owned by TProject.
class TValueObject {
public:
    TValueObject(const TValueObject&) = delete;
    TValueObject& operator=(const TValueObject&) = delete;
    ~TValueObject();

    TProject& Owner() const { return *FOwner; }
    const std::string& Key() const { return FKey; }
    TPrjItemType Type() const { return FType; }
    //! Maximum number of characters of a text item.
    int MaxLength() const { return FMaxLength; }
    //! Name table of an enumeration item.
    const std::vector<std::string>& Names() const { return FNames; }

    //! Writes the default into the variable (texts empty, objects and lists reset).
    void SetDefault();
    //! Reads the variable from the file entries; a missing key reads as an empty text.
    void ReadFrom(const TPrjStrings& strings);
    //! Writes the variable as file entries; values the file cannot hold fail `strings`.
    void WriteTo(TPrjStrings& strings) const;
    //! Copies the current value into the snapshot.
    void TakeSnapshot();
    //! True when the value differs from the snapshot.
    bool Modified() const;

private:
    friend class TProject;
    using TGetOrdinal = int (*)(const void*);
    using TSetOrdinal = void (*)(void*, int);

    TValueObject(TProject& owner, TPrjItemType type, std::string key, void* var);
    void ReadPlainList(const TPrjStrings& strings);
    void ReadPlainStrings(const TPrjStrings& strings);

    TProject* FOwner;
    TPrjItemType FType;
    std::string FKey;
    void* FVar; // the bound variable, owned by the document

    // Defaults
    double FDefFloat = 0.0;
    int32_t FDefInteger = 0;
    bool FDefBoolean = false;
    int FDefOrdinal = 0;
    TVektor FDefVector;
    int FMaxLength = 0;
    std::vector<std::string> FNames;
    TGetOrdinal FGetOrdinal = nullptr;
    TSetOrdinal FSetOrdinal = nullptr;
    // Class of the object for object and list items, of the elements for plain lists;
    // null for a plain string list without objects.
    TPrjObjectClass FClass = nullptr;
    bool FWithObjects = false;
    // A missing key leaves the default rather than reading as 0 or empty.
    bool FKeepDefaultWhenMissing = false;

    // Snapshot
    double FSnapFloat = 0.0;
    int32_t FSnapInteger = 0;
    bool FSnapBoolean = false;
    int FSnapOrdinal = 0;
    std::string FSnapText;
    TVektor FSnapVector;
    std::unique_ptr<TPrjObject> FSnapObject;
    TPrjObjects FSnapObjects;
    std::vector<std::string> FSnapStrings;
};
