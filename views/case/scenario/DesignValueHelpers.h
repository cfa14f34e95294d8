#pragma once
// What the scenario viewer's comparison and retrofit pages share in reading designs: the empty
// value of a cell and a design's exchanger by position.
#include "eng/design/IHENDesign.h"
#include "lumeth/Viewable.h"

namespace design_values {

constexpr double kEmpty = Viewable::EmptyValue;

inline bool isEmpty(double v) { return v == kEmpty; }

// The design's index-th exchanger; null without a design or beyond its exchangers.
inline CNode* exchangerAt(const IHENDesign* design, int index) {
    CNode* unit = nullptr;
    return design && design->GetHeatExchanger(index, unit) ? unit : nullptr;
}

}  // namespace design_values
