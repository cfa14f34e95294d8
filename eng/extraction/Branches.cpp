// Split streams: each tee of a chain and the mixer it pairs with become a splitter and mixer on
// the stream's design, with the simulator's branch names. A branch's fraction in the design is
// its share of the flow entering its own splitter (of a tee on a branch, the branch's flow): the
// branch flows are taken over the tee's inflow, and a spreadsheet's splits, given as shares of
// the whole stream, over the share of the whole stream that reaches the tee.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "eng/design/IHENDesign.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/extraction/MessageNumbers.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Messages.h"
#include "pellin/CNode.h"
#include "pellin/UnitNodes.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace {

constexpr const char* kReason = "by data extraction module";
constexpr double kEmpty = -32767.0;
// A simulator writes its flows rounded (to 1e-6 kg/s, or to six figures): branches whose flows
// add up to the tee's inflow within this fraction of it carry all of it.
constexpr double kRoundedFlow = 1e-4;
// Below this fraction the branches carry the inflow as written, and nothing is said.
constexpr double kSameFlow = 1e-12;

bool HasBranchName(const CNode* node, const CPString& name) {
    CPString text;
    return node && node->getVariableAsString("BranchName", text) == 1 && text == name;
}

// The whole stream's mass flow; false when it is unset or not above zero (no fraction can be
// taken of it).
bool FeedFlow(const IHeatIntegrationStream& stream, double& flow) {
    flow = kEmpty;
    return stream.GetValue("MassFlow", flow, 0) == 1 && flow != kEmpty && flow > 0.0;
}

// The flow entering a tee, from the item upstream of it; false when unknown or not above zero.
bool TeeInflow(CPItem* tee, double& flow) {
    flow = kEmpty;
    return KnownNumber(FirstNeighbour(tee, CPItem::Upstream), "MassFlow", flow) && flow != kEmpty && flow > 0.0;
}

// The share of the whole stream a design node carries, as far as the extraction has set it.
double WholeShare(const std::map<const CNode*, double>& shares, const CNode* node) {
    const auto it = shares.find(node);
    return it == shares.end() ? 1.0 : it->second;
}

}  // namespace

double VelmorToTarsilImport::BranchShareBase(CPItem* tee, double inflow, bool note) {
    double total = 0.0;
    for (CPItem* out : tee->RelatedNodes(CPItem::Downstream)) {
        double flow = 0.0;
        if (!KnownNumber(out, "MassFlow", flow) || flow == kEmpty || !(flow >= 0.0)) return inflow;
        total += flow;
    }
    const double gap = std::fabs(total - inflow);
    if (!(total > 0.0) || gap > kRoundedFlow * inflow) return inflow;
    if (note && gap > kSameFlow * inflow)
        ReportWarning("Split_Flows_Rounded", "ExtractionSplitFlowsRounded",
                      FormatMessage(FindString("ExtractionSplitFlowRounded"),
                                    {tee->_get_szName(), ExtractionNumber(total), ExtractionNumber(inflow)}));
    return total;
}

void VelmorToTarsilImport::ExtractBranches(const StreamChain& chain, IHENDesign& design, IHeatIntegrationStream& stream) {
    if (chain.tees.empty()) return;
    const double excel = Setting("TransferFromExcel");
    std::vector<CNode*> branchNodes;
    // Whole-stream shares of the branch nodes, for a spreadsheet's splits; the trunk carries all.
    std::map<const CNode*, double> wholeShares;
    std::vector<bool> handled(chain.tees.size(), false);
    CNode* start = design.GetStreamBlock(stream.GetName(), false);
    CNode* trunk = start ? start->getIthDownStreamNode(0) : nullptr;
    CPString name;
    if (trunk && chain.Length() > 0 && TextValue(chain.First(), "BranchName", name)) {
        trunk->addVariable("BranchName", name, 1, 1);
        branchNodes.push_back(trunk);
    }
    for (std::size_t pass = 0; pass < chain.tees.size(); ++pass) {
        std::size_t i = chain.tees.size();
        CNode* on = nullptr;
        for (std::size_t k = 0; k < chain.tees.size() && !on; ++k) {
            if (handled[k]) continue;
            CPString feedBranch;
            if (!TextValue(FirstNeighbour(chain.tees[k], CPItem::Upstream), "BranchName", feedBranch)) continue;
            for (CNode* n : branchNodes)
                if (HasBranchName(n, feedBranch)) {
                    on = n;
                    i = k;
                    break;
                }
        }
        if (!on) continue;
        handled[i] = true;
        CPItem* tee = chain.tees[i];
        const std::vector<CPItem*> outs = tee->RelatedNodes(CPItem::Downstream);
        CNode* splitter = nullptr;
        if (!design.AddSplitterMixer(on, on, splitter, kReason, static_cast<int>(outs.size())) || !splitter) continue;
        splitter->addVariable("UnitOperationName", tee->_get_szName(), 1, 1);
        const int branches = static_cast<int>(outs.size());
        if (excel != 0.0) {
            const CPValue* splits = tee->GetVariable("Splits");
            const std::vector<double> fractions = splits ? splits->GetVector() : std::vector<double>();
            const double reaching = WholeShare(wholeShares, on);
            for (int k = 0; k < branches && k < static_cast<int>(fractions.size()); ++k)
                if (CNode* b = design.GetSplitterBranch(splitter, k)) {
                    b->addVariable("SplitFraction", reaching > 0.0 ? fractions[k] / reaching : fractions[k], 1, 1);
                    wholeShares[b] = fractions[k];
                }
            double molar = 0.0;
            if (KnownNumber(FirstNeighbour(tee, CPItem::Upstream), "MolarEnthalpy", molar) && molar != kEmpty)
                for (int k = 0; k < branches; ++k) {
                    CNode* b = design.GetSplitterBranch(splitter, k);
                    double h = 0.0;
                    if (b && KnownNumber(outs[k], "MolarEnthalpy", h) && TextValue(outs[k], "BranchName", name)) {
                        b->addVariable("BranchName", name, 1, 1);
                        branchNodes.push_back(b);
                    }
                }
        } else {
            double feed = 0.0, upFlow = 0.0;
            const bool fractions = FeedFlow(stream, feed) && TeeInflow(tee, upFlow);
            if (fractions) upFlow = BranchShareBase(tee, upFlow, true);
            std::vector<std::pair<CNode*, double>> refused;
            for (int k = 0; k < branches; ++k) {
                CNode* b = design.GetSplitterBranch(splitter, k);
                if (!b) continue;
                double flow = 0.0;
                if (fractions && KnownNumber(outs[k], "MassFlow", flow) && flow != kEmpty)
                    if (b->addVariable("SplitFraction", flow / upFlow, 1, 1) != 1) refused.emplace_back(b, flow / upFlow);
                if (TextValue(outs[k], "BranchName", name)) {
                    b->addVariable("BranchName", name, 1, 1);
                    branchNodes.push_back(b);
                }
            }
            for (const auto& [b, f] : refused) b->addVariable("SplitFraction", f, 1, 1);
        }
        if (i < chain.mixers.size()) {
            CPItem* mixer = chain.mixers[i];
            // The design mixer is the splitter's partner: the node after it carries the mixed stream.
            auto* designSplitter = dynamic_cast<Splitter*>(splitter);
            CNode* designMixer = designSplitter ? static_cast<CNode*>(designSplitter->getAssociatedMixer()) : nullptr;
            if (designMixer) {
                designMixer->addVariable("UnitOperationName", mixer->_get_szName(), 1, 1);
                CNode* after = designMixer->getIthDownStreamNode(0);
                if (after && TextValue(FirstNeighbour(mixer, CPItem::Downstream), "BranchName", name)) {
                    after->addVariable("BranchName", name, 1, 1);
                    branchNodes.push_back(after);
                    // The mixed stream carries again what reached the splitter.
                    wholeShares[after] = WholeShare(wholeShares, on);
                }
            }
        }
    }
}

void VelmorToTarsilImport::RefreshSplitFractions(const StreamChain& chain, IHENDesign& design,
                                                 IHeatIntegrationStream& stream) {
    const std::vector<CNode*> splitters = design.GetSplittersOnStream(&stream);
    double feed = 0.0;
    if (splitters.empty() || !FeedFlow(stream, feed)) return;
    for (std::size_t i = 0; i < chain.tees.size() && i < splitters.size(); ++i) {
        CPItem* tee = chain.tees[i];
        double upFlow = 0.0;
        if (!TeeInflow(tee, upFlow)) continue;
        upFlow = BranchShareBase(tee, upFlow, true);
        // The splitter made of this tee carries its name; the design lists a stream's splitters
        // in its own order, which for a tee on a branch need not be the chain's.
        CNode* splitter = splitters[i];
        for (CNode* s : splitters) {
            CPString unit;
            if (s && s->getVariableAsString("UnitOperationName", unit) == 1 && unit == tee->_get_szName()) splitter = s;
        }
        const std::vector<CPItem*> outs = tee->RelatedNodes(CPItem::Downstream);
        for (std::size_t k = 0; k < outs.size(); ++k) {
            CNode* b = design.GetSplitterBranch(splitter, static_cast<int>(k));
            double flow = 0.0;
            if (b && KnownNumber(outs[k], "MassFlow", flow) && flow != kEmpty && b->hasVariable("SplitFraction") &&
                b->getVariableStatus("SplitFraction") == 1)
                b->addVariable("SplitFraction", flow / upFlow, 1, 1);
        }
    }
}
