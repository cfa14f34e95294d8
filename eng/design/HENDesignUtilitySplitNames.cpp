// The generator's names of the splitters and mixers that share a utility among its heaters or
// coolers. The extraction makes them one utility after another, so their numbers follow the
// scenario's order of utilities; units moved between utilities later make and drop such splits,
// and the names are given again in that order, as an extraction of the network as it now stands
// would give them.
#include "eng/design/HENDesign.h"

#include "eng/design/HENDesignChain.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "pellin/NodeKinds.h"

#include <cctype>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

using namespace chain;

namespace {

// The number in a name the generator gave ("TEE-" and 103: 103); -1 for any other name.
int GeneratedNumber(const CPString& name, const CPString& prefix) {
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 9 || name.compare(0, prefix.size(), prefix) != 0)
        return -1;
    int n = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

CPString UnitName(const CNode* node) {
    CPString name;
    if (node) node->getVariableAsString(NodeValue::UnitOperationName, name);
    return name;
}

}  // namespace

std::vector<std::pair<CNode*, CNode*>> CPIHENDesign::UtilitySplits() const {
    std::vector<std::pair<CNode*, CNode*>> out;
    if (!m_sheet || !m_scenario) return out;
    // The splits of each utility in flowsheet order, gathered in one pass over the splitters.
    std::unordered_map<const IHeatIntegrationStream*, std::vector<CNode*>> onUtility;
    for (CNode* tee : m_sheet->getAllNodesOfType(NodeKind::Tee))
        if (IHeatIntegrationStream* stream = StreamOf(Before(tee)); IsUtilityStream(stream)) onUtility[stream].push_back(tee);
    IHeatIntegrationStream* utility = nullptr;
    for (int i = 0; !onUtility.empty() && m_scenario->GetStreamOfKind(i, utility, 1, 2) && utility; ++i) {
        const auto it = onUtility.find(utility);
        if (it == onUtility.end()) continue;
        for (CNode* tee : it->second) out.emplace_back(tee, GetMixerOfSplitter(tee));
        onUtility.erase(it);
    }
    return out;
}

IHENDesign::UtilitySplitNumbers CPIHENDesign::FirstUtilitySplitNumbers() const {
    UtilitySplitNumbers first{m_teeNames.GetNumber(), m_mixerNames.GetNumber()};
    for (const auto& [tee, mixer] : UtilitySplits()) {
        const int t = GeneratedNumber(UnitName(tee), m_teeNames.GetPrefix());
        const int m = GeneratedNumber(UnitName(mixer), m_mixerNames.GetPrefix());
        if (t >= 0 && t < first.splitter) first.splitter = t;
        if (m >= 0 && m < first.mixer) first.mixer = m;
    }
    return first;
}

void CPIHENDesign::NumberUtilitySplits(UtilitySplitNumbers first) {
    const std::vector<std::pair<CNode*, CNode*>> splits = UtilitySplits();
    // The names renumbered are free to take again among themselves; every other unit's stays taken.
    std::unordered_set<std::string> taken = UnitNamesInUse();
    std::vector<CNode*> tees, mixers;
    for (const auto& [tee, mixer] : splits) {
        if (GeneratedNumber(UnitName(tee), m_teeNames.GetPrefix()) >= 0) {
            taken.erase(UnitName(tee));
            tees.push_back(tee);
        }
        if (mixer && GeneratedNumber(UnitName(mixer), m_mixerNames.GetPrefix()) >= 0) {
            taken.erase(UnitName(mixer));
            mixers.push_back(mixer);
        }
    }
    const auto number = [&taken](const std::vector<CNode*>& nodes, NodeName& names, int from) {
        int next = from;
        for (CNode* node : nodes) {
            CPString name = names.GetPrefix() + std::to_string(next++);
            while (taken.count(name)) name = names.GetPrefix() + std::to_string(next++);
            taken.insert(name);
            node->addVariable(NodeValue::UnitOperationName, name, ValueStatus::Specified);
        }
        // The next split made takes the number after them, as in the extraction.
        names.SetNumber(next);
    };
    number(tees, m_teeNames, first.splitter);
    number(mixers, m_mixerNames, first.mixer);
}
