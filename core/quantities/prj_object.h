#pragma once

#include <memory>
#include <string>

class TPrjStrings;

//! Base of everything that lives inside the project document and stores itself under a
//! key of the project file. The base stores nothing, equals everything and copies nothing.
class TPrjObject {
public:
    TPrjObject() = default;
    TPrjObject(const TPrjObject&) = delete;
    TPrjObject& operator=(const TPrjObject&) = delete;
    virtual ~TPrjObject() = default;

    //! Writes the own values as `key…=value` entries.
    virtual void WriteTo(TPrjStrings& /*strings*/, const std::string& /*key*/) const {}
    //! Reads the own values from the entries under `key`.
    virtual void ReadFrom(const TPrjStrings& /*strings*/, const std::string& /*key*/) {}
    //! True when `other` holds the same stored values.
    virtual bool Equals(const TPrjObject& /*other*/) const { return true; }
    //! Copies the values of `other`.
    virtual void AssignFrom(const TPrjObject& /*other*/) {}
    //! Resets to the values of a new project.
    virtual void ClearItem() {}
};

//! Class reference of a project object: creates a new instance of that class.
using TPrjObjectClass = std::unique_ptr<TPrjObject> (*)();

//! Creates a T.
template <class T> std::unique_ptr<TPrjObject> CreatePrjObject() {
    return std::make_unique<T>();
}

//! The class reference of T.
template <class T> inline constexpr TPrjObjectClass PrjClass = &CreatePrjObject<T>;

//! A new object of `cls` holding a copy of `source` (through AssignFrom).
std::unique_ptr<TPrjObject> CopyPrjObject(TPrjObjectClass cls, const TPrjObject& source);
