#include "eng/design/AddedEquipment.h"

#include "eng/design/IHENDesign.h"
#include "pellin/CNode.h"
#include "pellin/FlowSheet.h"
#include "pellin/NodeKinds.h"

#include <algorithm>

namespace {

double Number(const CNode* unit, const char* name) {
    double value = 0.0;
    return unit && unit->getVariableAsDouble(name, value) ? value : 0.0;
}

long Shells(const CNode* unit) {
    long value = 0;
    return unit && unit->getVariableAsInteger(NodeValue::TotalNShells, value) ? value : 0;
}

}  // namespace

double RecordAddedEquipment(const FlowSheet* base, IHENDesign& design) {
    double total = 0.0;
    CNode* unit = nullptr;
    for (int k = 0; design.GetHeatExchanger(k, unit); ++k) {
        if (!unit) continue;
        // The fingerprint survives the copy of the base design, so it names the same unit there.
        const CNode* before = base ? base->getNodeByFingerPrint(unit->getDNAFingerPrint()) : nullptr;
        const double area = std::max(0.0, Number(unit, NodeValue::HTArea) - Number(before, NodeValue::HTArea));
        const long shells = std::max(0L, Shells(unit) - Shells(before));
        const double capital =
            std::max(0.0, Number(unit, NodeValue::CapitalCost) - Number(before, NodeValue::CapitalCost));
        unit->addVariable("AddArea", area, ValueStatus::Calculated, 0);
        unit->addVariable("AdShell", static_cast<double>(shells), ValueStatus::Calculated, 0);
        unit->addVariable("AddCapCost", capital, ValueStatus::Calculated, 0);
        total += area;
    }
    return total;
}
