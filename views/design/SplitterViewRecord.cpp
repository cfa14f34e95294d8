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

#include <string>

namespace {

constexpr std::int32_t kLongestName = 1 << 16;

bool writeName(BinaryFile& file, const CPString& name) {
    if (!file.WriteInt(static_cast<std::int32_t>(name.size() + 1))) return false;
    for (char c : name)
        if (!file.WriteChar(c)) return false;
    return file.WriteChar('\0');
}

bool readName(BinaryFile& file, CPString& out) {
    std::int32_t n = 0;
    if (!file.ReadInt(n) || n < 1 || n > kLongestName) return false;
    std::string s;
    for (std::int32_t i = 0; i < n; ++i) {
        char c = 0;
        if (!file.ReadChar(c)) return false;
        s.push_back(c);
    }
    if (s.back() != '\0') return false;
    s.pop_back();
    out = CPString(s.c_str());
    return true;
}

bool readText(BinaryFile& file, Text& out) {
    CPString s;
    if (!file.ReadCPString(s)) return false;
    out = s;
    return true;
}

}  // namespace

bool SplitterView::StoreClassData(BinaryFile& file) {
    IHeatIntegrationScenario* scenario = pDesign ? pDesign->GetScenario() : nullptr;
    const bool totalSite = scenario && scenario->IsTotalSiteScenario();
    return file.WriteInt(totalSite ? 1 : 0) && StoreDesignPointer(file, scenario, pDesign) &&
           writeName(file, pSplitter ? pSplitter->getName() : CPString()) && StorePointer(file, pUpstreamView) &&
           StorePointer(file, pDownstreamView) && writeName(file, pUpstreamNode ? pUpstreamNode->getName() : CPString()) &&
           writeName(file, pDownstreamNode ? pDownstreamNode->getName() : CPString()) &&
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
    if (!designRead || !readName(file, splitter) || !RecallPointerX(file, recalledUpstream, nullptr) ||
        !RecallPointerX(file, recalledDownstream, nullptr) || !readName(file, upstream) || !readName(file, downstream) ||
        !readText(file, upName) || !readText(file, downName) || !readText(file, splitterName))
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
