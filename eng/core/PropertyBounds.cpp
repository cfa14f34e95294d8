#include "eng/core/PropertyBounds.h"

#include "dunmor/Units.h"
#include "eng/core/Registries.h"

const PropertyBound* FindPropertyBound(const CPString& name) {
    const ModuleRegistries* r = ModuleRegistries::Get();
    if (!r || !r->PropertyBounds) return nullptr;
    return static_cast<const PropertyBound*>(r->PropertyBounds->FindKeyString(name));
}

bool IsWithinPropertyBounds(const CPString& name, double value) {
    if (value == Units::EmptyValue) return true;
    const PropertyBound* b = FindPropertyBound(name);
    if (!b) return true;
    return value > b->lower && value < b->upper;
}
