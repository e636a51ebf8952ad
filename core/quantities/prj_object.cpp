#include "core/quantities/prj_object.h"

std::unique_ptr<TPrjObject> CopyPrjObject(TPrjObjectClass cls, const TPrjObject& source) {
    std::unique_ptr<TPrjObject> copy = cls();
    copy->AssignFrom(source);
    return copy;
}
