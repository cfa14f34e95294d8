#pragma once
// The resistance a fouling factor typed on an exchanger is bounded by.
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

// Whether the exchanger's whole resistance holds still while its fouling changes: an observed
// coefficient, or an overall coefficient the operation holds. Then a fouling lies below that
// resistance (HENFoulingRefusal). A coefficient the network works out from the film coefficients
// and the fouling itself moves with the fouling typed, so it bounds nothing: any fouling adds to it.
inline bool FoulsAFixedResistance(const HeatExch& x) {
    return x.getVariableStatus(NodeValue::ObservedHTC) == ValueStatus::Specified ||
           x.getVariableStatus(NodeValue::OverallHTC) == ValueStatus::Specified;
}
