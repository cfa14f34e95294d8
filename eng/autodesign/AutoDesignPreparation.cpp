// What shapes the matches an automatic design may choose: process streams so small against the
// other side that only utilities should serve them, the matches of a design being completed, and
// the integer cut that keeps each set of matches from being chosen twice.
#include "eng/autodesign/AdvancedSuperTarget.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"

#include <algorithm>
#include <cmath>

bool AdvancedSuperTarget::IsSmallLoadStream(const IHeatIntegrationStream* stream) const {
    return m_smallLoad.count(stream) != 0;
}

void AdvancedSuperTarget::CollectSmallLoadStreams() {
    smallLoadStreams.clear();
    m_smallLoad.clear();
    if (streams.empty()) return;
    bool hotUtilityThere = false, coldUtilityThere = false;
    for (IHeatIntegrationStream* s : streams) {
        if (s->GetStreamKind() != 1) continue;
        hotUtilityThere = hotUtilityThere || s->GetHotCold() == 0;
        coldUtilityThere = coldUtilityThere || s->GetHotCold() == 1;
    }
    auto considered = [&](IHeatIntegrationStream* s, int side) {
        return s->GetStreamKind() != 1 && s->GetHotCold() == side && (side == 0 ? hotUtilityThere : coldUtilityThere);
    };
    double maxHot = 0.0, maxCold = 0.0;
    for (IHeatIntegrationStream* s : streams) {
        if (considered(s, 0)) maxHot = std::max(maxHot, std::fabs(s->GetHeatLoad(0)));
        if (considered(s, 1)) maxCold = std::max(maxCold, std::fabs(s->GetHeatLoad(0)));
    }
    for (int side : {0, 1}) {
        const double limit = 0.01 * (side == 0 ? maxCold : maxHot);
        for (IHeatIntegrationStream* s : streams) {
            if (!considered(s, side) || !(std::fabs(s->GetHeatLoad(0)) < limit)) continue;
            smallLoadStreams.push_back(s);
            m_smallLoad.insert(s);
        }
    }
}

void AdvancedSuperTarget::CollectExistingMatches() {
    existingMatches.clear();
    if (!designToComplete || streams.empty()) return;
    for (IHeatIntegrationStream* s : streams) {
        const CPString& name = s->GetName();
        const int side = s->GetHotCold();
        if (side != 0 && side != 1) continue;
        std::vector<CNode*> exchangers;
        const int units = designToComplete->GetNumberOfUnitsOnStream(name);
        for (int u = 0; u < units; ++u) {
            CNode* node = nullptr;
            void* asExchanger = nullptr;
            if (!designToComplete->GetUnitOnStream(name, u, node) || !node) continue;
            if (node->QueryInterface("htHeatExchanger", &asExchanger) != 1 || !asExchanger) continue;
            exchangers.push_back(node);
            StreamNode* other = static_cast<HeatExch*>(node)->getInlet(side == 0 ? 1 : 0);
            CPString otherName;
            if (!other || other->getVariableAsString("ParentStream", otherName) != 1) continue;
            existingMatches.emplace(side == 0 ? PairKey(name, otherName) : PairKey(otherName, name), 1);
        }
        if (exchangers.empty()) continue;
        const int firstPort = side == 0 ? 0 : 2;
        const bool complete = std::all_of(exchangers.begin(), exchangers.end(), [&](CNode* x) {
            return designToComplete->IsPortFreeOfUtility(x, firstPort) &&
                   designToComplete->IsPortFreeOfUtility(x, firstPort + 1);
        });
        if (!complete) continue;
        // A stream the design serves completely by exchangers takes no new partner.
        for (IHeatIntegrationStream* t : streams) {
            if (t->GetHotCold() != 1 - side) continue;
            existingMatches.emplace(side == 0 ? PairKey(name, t->GetName()) : PairKey(t->GetName(), name), 0);
        }
    }
}

void AdvancedSuperTarget::AddIntegerCut(int n, int last) {
    if (!lpProblem) return;
    double sum = 0.0;
    const int row = lpProblem->nRows;
    lpProblem->AddRow({}, LPProblem::LessOrEqual, 0.0);
    if (!binaryValues.empty() && n > 0) {
        for (int k = 0; k < n && k < static_cast<int>(binaryValues.size()); ++k) {
            const double v = binaryValues[static_cast<std::size_t>(k)];
            if (v != 0.0) lpProblem->pMatrix->SetElement(row, last - n + k, v);
            sum += v;
        }
    }
    // Without binaries the row reads 0 <= -1, which no solution meets: the loop ends there.
    lpProblem->rightHandSides[static_cast<std::size_t>(row)] = sum - 1.0;
}
