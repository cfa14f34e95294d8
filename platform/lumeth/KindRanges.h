#pragma once
// The range of each kind of quantity a form takes a number of: the values a case holds, installed
// by the module that holds the case (the framework itself knows no physical range). A number
// typed outside the range of its kind is refused before the view sees it.
#include <vector>

struct KindRange {
    int kind = 0;      // the variable type code
    double low = 0.0;  // in the kind's base unit, both ends taken
    double high = 0.0;
};

// Replaces the installed ranges (none: every number goes to the view).
void InstallKindRanges(std::vector<KindRange> ranges);
// The range of a kind; null when none is installed for it.
const KindRange* FindKindRange(int kind);
