// The splitter view in the case file. Version 2 writes: the total-site flag and the design; the
// tee's name; the views before and after the split; the names of the nodes before and after it;
// the texts (upstream name, downstream name, tee name). Version 1 had no flag. A node that is
// not there is written under the empty name.
#include "views/design/SplitterView.h"

#include "brasko/CaseDocument.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/BinaryFile.h"
#include "pellin/CNode.h"
#include "views/EnginePointers.h"
#include "views/design/UnitViewRecordFields.h"

#include <string>

using unit_view_record::WriteName;
using unit_view_record::ReadName;
using unit_view_record::ReadText;

bool SplitterView::StoreClassData(BinaryFile& file) {
    IHeatIntegrationScenario* scenario = pDesign ? pDesign->GetScenario() : nullptr;
    const bool totalSite = scenario && scenario->IsTotalSiteScenario();
    return file.WriteInt(totalSite ? 1 : 0) && StoreDesignPointer(file, scenario, pDesign) &&
           WriteName(file, pSplitter ? pSplitter->getName() : CPString()) && StorePointer(file, pUpstreamView) &&
           StorePointer(file, pDownstreamView) && WriteName(file, pUpstreamNode ? pUpstreamNode->getName() : CPString()) &&
           WriteName(file, pDownstreamNode ? pDownstreamNode->getName() : CPString()) &&
           file.WriteCPString(strUpstreamName) && file.WriteCPString(strDownstreamName) &&
           file.WriteCPString(strSplitterName);
}

bool SplitterView::RecallClassData(BinaryFile& file, int version) {
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    std::int32_t totalSite = 0;
    IHENDesign* design = nullptr;
    CPString splitter, upstream, downstream;
    Text upName, downName, splitterName;
    if (version >= 2 && !file.ReadInt(totalSite)) return false;
    const bool designRead = totalSite == 1 ? RecallDesignTotalSitePointer(file, manager, design)
                                           : RecallDesignPointer(file, manager, design);
    if (!designRead || !ReadName(file, splitter) || !RecallPointerX(file, recalledUpstream, nullptr) ||
        !RecallPointerX(file, recalledDownstream, nullptr) || !ReadName(file, upstream) || !ReadName(file, downstream) ||
        !ReadText(file, upName) || !ReadText(file, downName) || !ReadText(file, splitterName))
        return false;
    Unsubscribe();
    pDesign = design;
    Subscribe();
    auto byName = [&](const CPString& name) { return design && !name.empty() ? design->GetNodeByName(name) : nullptr; };
    pSplitter = byName(splitter);
    pUpstreamNode = byName(upstream);
    pDownstreamNode = byName(downstream);
    strUpstreamName = upName;
    strDownstreamName = downName;
    strSplitterName = splitterName;
    return true;
}

bool SplitterView::CheckRecalledPointers() {
    Viewable* up = recalledUpstream;
    Viewable* down = recalledDownstream;
    recalledUpstream = recalledDownstream = nullptr;
    SetView(pUpstreamView, up);
    SetView(pDownstreamView, down);
    return true;
}
