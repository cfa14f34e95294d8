#include "eng/design/DesignOptimisationCase.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Messages.h"
#include "pellin/FlowSheet.h"
#include "pellin/NodeKinds.h"

#include <string>

namespace {
constexpr double kDutyUnit = 100.0;

CPString messageText(const char* key) {
    const Text text = FindString(Text(key));
    return CPString(text.c_str());
}
}  // namespace

DesignOptimisationCase::DesignOptimisationCase(IHENDesign* design, int mode, bool makeCopy, int weight)
    : m_texts(8), m_mode(mode), m_weight(weight) {
    if (!design) return;
    m_design = mode == RetrofitMode || !makeCopy ? design : MakeCopy(*design);
    if (!m_design || mode == 0 || mode == 1 || mode == RetrofitMode) return;
    m_sheet = m_design->GetFlowSheet();
    if (!m_sheet) return;
    m_streamMarks.assign(m_sheet->getAllNodesOfType(NodeKind::MaterialStream).size(), 0);
    m_dutyScale = kDutyUnit;
    if (mode == 2) GatherExchangerData();
}

IHENDesign* DesignOptimisationCase::MakeCopy(IHENDesign& design) {
    IHeatIntegrationScenario* scenario = design.GetScenario();
    const CPString base = design.GetDesignName() ? design.GetDesignName() : "";
    if (!scenario) return nullptr;
    // Named after the design, with a counter while the name is taken. Each try is one look-up
    // by name in the scenario.
    CPString name = base + "-O";
    IHENDesign* existing = nullptr;
    for (int n = 1; scenario->GetDesign(name, existing); ++n) name = base + "-O-" + std::to_string(n);
    IHENDesign* copy = nullptr;
    if (!scenario->AddDesign(name) || !scenario->GetDesign(name, copy) || !copy) return nullptr;
    copy->AddToChangeLog(messageText(MessageKey("OptFrom")) + " " + base +
                         messageText(m_mode == MinimumArea ? MessageKey("MinArea") : MessageKey("MinTAC")));
    if (design.CopyTo(*copy) != IHENDesign::CopyDone) {
        scenario->DeleteDesign(name);
        return nullptr;
    }
    m_copy = true;
    return copy;
}

// The area before optimisation is kept as the existing area; the duty scale is the largest duty
// in hundreds of kW, never below 100.
void DesignOptimisationCase::GatherExchangerData() {
    std::vector<CNode*> exchangers = m_sheet->getAllNodesOfType(NodeKind::CountercurrentHX);
    for (CNode* x : m_sheet->getAllNodesOfType(NodeKind::HeatExchanger)) exchangers.push_back(x);
    for (CNode* x : exchangers) {
        double value = 0.0;
        if (!x->getVariableAsDouble("ExArea", value) && x->getVariableAsDouble(NodeValue::HTArea, value))
            x->addVariable("ExArea", value, ValueStatus::Specified);
        if (!x->getVariableAsDouble(NodeValue::Duty, value)) continue;
        const double scaled = value / kDutyUnit;
        if (scaled != 0.0 && scaled > m_dutyScale) m_dutyScale = scaled;
    }
}
