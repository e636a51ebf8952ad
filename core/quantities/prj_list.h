#pragma once

#include "core/quantities/prj_object.h"

#include <memory>
#include <string>
#include <vector>

//! Largest element count a list reads from a file. A larger (or negative) count is not a
//! list this program wrote and reads as an empty list rather than allocating from it.
inline constexpr int cPrjMaxListCount = 65536;

//! Reads `key` as an element count; 0 when it is out of 0..cPrjMaxListCount.
int ReadPrjCount(const TPrjStrings& strings, const std::string& key);
//! `key` + "." + `member` + "[" + i + "]", the key of list element i.
std::string PrjElementKey(const std::string& key, const char* member, int i);

//! List of project objects it owns, created from its element class when read.
class TPrjList : public TPrjObject {
public:
    explicit TPrjList(TPrjObjectClass itemClass = PrjClass<TPrjObject>) : FItemClass(itemClass) {}

    TPrjObjectClass ItemClass() const { return FItemClass; }
    int Count() const { return static_cast<int>(FItems.size()); }
    //! Element i; null outside 0..Count-1.
    TPrjObject* Item(int i) const {
        return i >= 0 && i < Count() ? FItems[static_cast<size_t>(i)].get() : nullptr;
    }
    //! Appends an element (a null element is ignored).
    void Add(std::unique_ptr<TPrjObject> item);
    //! Frees element i; ignored outside 0..Count-1.
    void Delete(int i);
    //! Frees all elements.
    void Clear() { FItems.clear(); }

    //! key.Count, then each element under key.Items[i].
    void WriteTo(TPrjStrings& strings, const std::string& key) const override;
    //! Frees the elements and creates key.Count new ones, each reading key.Items[i].
    void ReadFrom(const TPrjStrings& strings, const std::string& key) override;
    //! Same count and every element equal to its counterpart.
    bool Equals(const TPrjObject& other) const override;
    //! Replaces the elements by copies of the other list's elements, taking its element
    //! class.
    void AssignFrom(const TPrjObject& other) override;
    //! Frees all elements.
    void ClearItem() override { Clear(); }

protected:
    TPrjObjectClass FItemClass;
    std::vector<std::unique_ptr<TPrjObject>> FItems;
};

//! String list whose lines each carry an owned project object of its element class, as
//! reading creates one for every line.
class TPrjStringList : public TPrjObject {
public:
    explicit TPrjStringList(TPrjObjectClass itemClass = PrjClass<TPrjObject>)
        : FItemClass(itemClass) {}

    TPrjObjectClass ItemClass() const { return FItemClass; }
    int Count() const { return static_cast<int>(FLines.size()); }
    const std::string& Line(int i) const { return FLines.at(static_cast<size_t>(i)).Text; }
    //! The object of line i; null when i is out of range.
    TPrjObject* Object(int i) const {
        return i >= 0 && i < Count() ? FLines[static_cast<size_t>(i)].Object.get() : nullptr;
    }
    //! Appends a line with its object; without one a new element of the element class.
    void Add(std::string line, std::unique_ptr<TPrjObject> object = nullptr);
    void Clear() { FLines.clear(); }
    //! Takes the strings of a plain string collection, each with a new element.
    void Assign(const std::vector<std::string>& strings);

    //! key.Count, then key.Lines[i] and key.Items[i] for each line.
    void WriteTo(TPrjStrings& strings, const std::string& key) const override;
    //! Clears and reads key.Count lines, each with a new element reading key.Items[i].
    void ReadFrom(const TPrjStrings& strings, const std::string& key) override;
    //! Same lines and equal elements.
    bool Equals(const TPrjObject& other) const override;
    //! Copies lines and elements of another TPrjStringList, taking its element class.
    void AssignFrom(const TPrjObject& other) override;
    void ClearItem() override { Clear(); }

private:
    struct TLine {
        std::string Text;
        std::unique_ptr<TPrjObject> Object;
    };
    TPrjObjectClass FItemClass;
    std::vector<TLine> FLines;
};
