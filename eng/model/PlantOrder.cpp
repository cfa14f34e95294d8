#include "eng/model/PlantOrder.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/CNode.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

namespace {

const IHeatIntegrationStream* StreamOfPiece(const CNode* node) {
    const StreamPiece* piece = node ? node->asStreamPiece() : nullptr;
    return piece ? dynamic_cast<const IHeatIntegrationStream*>(piece->getParentPIStream()) : nullptr;
}

double DutyOf(const CNode* unit) {
    double duty = 0.0;
    return unit && unit->getVariableAsDouble(NodeValue::Duty, duty) ? duty : 0.0;
}

}  // namespace

StreamOrderKey StreamOrderKeyOf(const IHeatIntegrationStream* s) {
    if (!s) return {-1, -1, 0.0, 0.0, 0.0, std::string()};
    return {s->GetHotCold(), s->GetStreamKind(), s->GetSupplyTemperature(), s->GetTargetTemperature(),
            s->GetHeatLoadFromSupply(s->GetTargetTemperature()), std::string(s->GetName().c_str())};
}

std::string UnitNameOf(const CNode* unit) {
    if (!unit) return std::string();
    CPString name;
    if (!unit->getVariableAsString(NodeValue::UnitOperationName, name) || name.empty()) name = unit->getName();
    return name.c_str();
}

UnitOrderKey UnitOrderKeyOf(CNode* unit) {
    const HeatExch* x = AsHeatExch(unit);
    if (!x) return {StreamOrderKeyOf(nullptr), StreamOrderKeyOf(nullptr), 0.0, UnitNameOf(unit)};
    return {StreamOrderKeyOf(StreamOfPiece(x->getInlet(0))), StreamOrderKeyOf(StreamOfPiece(x->getInlet(1))),
            DutyOf(unit), UnitNameOf(unit)};
}

std::vector<CNode*> BranchesInPlantOrder(const CNode* tee) {
    std::vector<CNode*> branches = tee ? tee->getAllDownStreamNodes() : std::vector<CNode*>();
    if (branches.size() < 2) return branches;
    SortNodesByKey(branches, [](CNode* branch) {
        CNode* head = branch->getIthDownStreamNode(0);
        const bool unit = AsHeatExch(head) != nullptr;
        UnitOrderKey key = UnitOrderKeyOf(unit ? head : nullptr);
        std::get<2>(key) = -std::get<2>(key);
        return std::make_pair(unit ? 0 : 1, key);
    });
    return branches;
}
