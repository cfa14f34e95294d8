// Split streams: each tee of a chain and the mixer it pairs with become a splitter and mixer on
// the stream's design, with the simulator's branch names and the branch flows as fractions of
// the whole stream's flow.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "eng/design/IHENDesign.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/CNode.h"
#include "pellin/UnitNodes.h"

#include <algorithm>
#include <vector>

namespace {

constexpr const char* kReason = "by data extraction module";
constexpr double kEmpty = -32767.0;

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

}  // namespace

void VelmorToTarsilImport::ExtractBranches(const StreamChain& chain, IHENDesign& design, IHeatIntegrationStream& stream) {
    if (chain.tees.empty()) return;
    const double excel = Setting("TransferFromExcel");
    std::vector<CNode*> branchNodes;
    std::vector<bool> handled(chain.tees.size(), false);
    CNode* start = design.GetNodeByName(stream.GetName() + CPString("Start"));
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
            for (int k = 0; k < branches && k < static_cast<int>(fractions.size()); ++k)
                if (CNode* b = design.GetSplitterBranch(splitter, k)) b->addVariable("SplitFraction", fractions[k], 1, 1);
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
            const bool fractions = FeedFlow(stream, feed) &&
                                   KnownNumber(FirstNeighbour(tee, CPItem::Upstream), "MassFlow", upFlow) && upFlow != kEmpty;
            std::vector<std::pair<CNode*, double>> refused;
            for (int k = 0; k < branches; ++k) {
                CNode* b = design.GetSplitterBranch(splitter, k);
                if (!b) continue;
                double flow = 0.0;
                if (fractions && KnownNumber(outs[k], "MassFlow", flow) && flow != kEmpty)
                    if (b->addVariable("SplitFraction", flow / feed, 1, 1) != 1) refused.emplace_back(b, flow / feed);
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
        if (!KnownNumber(FirstNeighbour(tee, CPItem::Upstream), "MassFlow", upFlow) || upFlow == kEmpty) continue;
        const std::vector<CPItem*> outs = tee->RelatedNodes(CPItem::Downstream);
        for (std::size_t k = 0; k < outs.size(); ++k) {
            CNode* b = design.GetSplitterBranch(splitters[i], static_cast<int>(k));
            double flow = 0.0;
            if (b && KnownNumber(outs[k], "MassFlow", flow) && flow != kEmpty && b->hasVariable("SplitFraction") &&
                b->getVariableStatus("SplitFraction") == 1)
                b->addVariable("SplitFraction", flow / feed, 1, 1);
        }
    }
}
