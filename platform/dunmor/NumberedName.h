#pragma once
// Names the system makes from a prefix and a counter ("Event-P3", "Study-2", "Note 4"). A user may
// have given any object such a name, so the counter passes every name in use: one name stands
// for one object, and look-ups, removals and selections by name reach the object meant.
#include "dunmor/CPString.h"

#include <string>

// The first prefix + n, n counting up from `counter`, for which `taken(name)` is false; the
// counter is left one past the number taken.
template <typename Taken>
CPString NextNumberedName(const char* prefix, int& counter, Taken taken) {
    CPString name;
    do name = CPString(prefix) + std::to_string(counter++);
    while (taken(name));
    return name;
}
