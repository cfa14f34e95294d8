#pragma once
// Physical-property bounds: a stream value of one of these properties must lie strictly between
// the bounds unless it is the empty value.
#include "dunmor/CPString.h"

struct PropertyBound {
    double lower;
    double upper;
};

// Bounds of a property by name; null for a property without bounds.
const PropertyBound* FindPropertyBound(const CPString& name);
// Whether a value is acceptable for the property (the empty value always is).
bool IsWithinPropertyBounds(const CPString& name, double value);
