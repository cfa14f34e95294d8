// The exchanger view in the case file. Version 4 writes: the note; the total-site flag and the
// design; the exchanger node's name; the neighbour views (hot inlet, cold inlet, hot outlet,
// cold outlet); the neighbour nodes' names (hot inlet, hot outlet, cold inlet, cold outlet); the
// neighbour names (hot inlet, cold inlet, hot outlet, cold outlet) and the exchanger name; the
// plot. Versions 1 and 2 had no flag, version 1 no plot (a new one is built). A record older
// than version 4 makes the design recalculate at the fix-up.
#include "views/design/HeatExchangerView.h"

#include "brasko/CaseDocument.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/TwoDimPlot.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "views/EnginePointers.h"
#include "views/design/UnitViewRecordFields.h"

#include <array>

namespace {

// The change code that makes the design recalculate after its flowsheet changed.
constexpr int kFlowsheetChanged = 17;
// The record's orders of the four ports.
constexpr int kViewOrder[4] = {0, 2, 1, 3};
constexpr int kNodeOrder[4] = {0, 1, 2, 3};

}  // namespace

using unit_view_record::WriteName;
using unit_view_record::ReadName;
using unit_view_record::ReadText;

bool HeatExchangerView::StoreClassData(BinaryFile& file) {
    IHeatIntegrationScenario* scenario = pDesign ? pDesign->GetScenario() : nullptr;
    const bool totalSite = scenario && scenario->IsTotalSiteScenario();
    bool ok = file.WriteCPString(strNote) && file.WriteInt(totalSite ? 1 : 0) &&
              StoreDesignPointer(file, scenario, pDesign) && WriteName(file, pNode ? pNode->getName() : CPString());
    for (int k = 0; ok && k < 4; ++k) ok = StorePointer(file, neighbourViews[static_cast<std::size_t>(kViewOrder[k])]);
    for (int k = 0; ok && k < 4; ++k) {
        const CNode* node = neighbourNodes[static_cast<std::size_t>(kNodeOrder[k])];
        ok = WriteName(file, node ? node->getName() : CPString());
    }
    for (int k = 0; ok && k < 4; ++k) ok = file.WriteCPString(neighbourNames[static_cast<std::size_t>(kViewOrder[k])]);
    return ok && file.WriteCPString(strExchangerName) && StorePointer(file, pPlot);
}

bool HeatExchangerView::RecallClassData(BinaryFile& file, int version) {
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    Text note;
    std::int32_t totalSite = 0;
    IHENDesign* design = nullptr;
    CPString nodeName;
    if (!ReadText(file, note)) return false;
    if (version >= 3 && !file.ReadInt(totalSite)) return false;
    const bool designRead = totalSite == 1 ? RecallDesignTotalSitePointer(file, manager, design)
                                           : RecallDesignPointer(file, manager, design);
    if (!designRead || !ReadName(file, nodeName)) return false;
    for (int k = 0; k < 4; ++k)
        if (!RecallPointerX(file, recalledViews[static_cast<std::size_t>(kViewOrder[k])], nullptr)) return false;
    std::array<CPString, 4> neighbours;
    for (int k = 0; k < 4; ++k)
        if (!ReadName(file, neighbours[static_cast<std::size_t>(kNodeOrder[k])])) return false;
    std::array<Text, 4> names;
    Text exchangerName;
    for (int k = 0; k < 4; ++k)
        if (!ReadText(file, names[static_cast<std::size_t>(kViewOrder[k])])) return false;
    if (!ReadText(file, exchangerName)) return false;
    if (version >= 2 && !RecallPointerX(file, recalledPlot, nullptr)) return false;

    Unsubscribe();
    pDesign = design;
    strNote = note;
    pNode = design && !nodeName.empty() ? design->GetNodeByName(nodeName) : nullptr;
    Subscribe();
    pModel = NodeCast<HeatExch>(pNode, NodeKind::CountercurrentHX);
    for (std::size_t p = 0; p < 4; ++p)
        neighbourNodes[p] = design && !neighbours[p].empty() ? design->GetNodeByName(neighbours[p]) : nullptr;
    neighbourNames = names;
    strExchangerName = exchangerName;
    recallVersion = version;
    // The oldest records kept no plot.
    if (version < 2) BuildTemperatureEnthalpyPlot();
    return true;
}

bool HeatExchangerView::CheckRecalledPointers() {
    for (std::size_t p = 0; p < 4; ++p) {
        Viewable* view = recalledViews[p];
        recalledViews[p] = nullptr;
        SetNeighbourView(static_cast<int>(p), view);
    }
    // Plots are not stored: the link reads back as none and the fix-up builds the plot.
    recalledPlot = nullptr;
    return true;
}

bool HeatExchangerView::RecallFixUp() {
    BuildTemperatureEnthalpyPlot();
    // Records before version 4 come from networks calculated by an older model.
    if (recallVersion < 4 && pModel && pDesign) pDesign->ProcessChange(kFlowsheetChanged, CPString(), nullptr);
    return true;
}
