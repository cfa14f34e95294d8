// The shells in series of shell-and-tube units given by their area. The fewest shells that keep F
// at its least jump by one as a unit's temperatures move, and its duty jumps with them: a network
// whose units rate each other through their streams swings between two shell counts and never
// settles. The counts are fixed instead by rounds: every such unit starts with one shell, the
// network is rated, each unit takes the fewest shells that keep F at its least at the temperatures
// it has, and the network is rated again with those counts fixed, until no count changes. More
// shells raise F and so the duty an area passes, and a larger duty needs no fewer shells: from one
// shell the counts only grow, and the rounds end at the fewest counts each of which is the fewest
// its own rating needs. (Rated in pure counterflow first, a unit at its target's edge, such as one
// sized at DTmin against a stream with no utility, would take its stream past the target.) Where
// a unit's area fits more than one count so, the table's shells column chooses.
#include "eng/design/HENDesign.h"

#include "pellin/FFactor.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// The least F a shell-and-tube unit is given shells for.
constexpr double kLeastFtFactor = 0.8;
// Rounds of fixing the counts before a design whose counts keep changing is given up.
constexpr int kShellRounds = 12;

bool PortTemperature(const CNode* port, double& t) {
    return port && port->getVariableAsDouble(NodeValue::Temperature, t) && std::isfinite(t);
}

// The fewest whole shells in series that keep F at its least at the unit's present temperatures;
// 0 when a temperature is not known.
int FewestShells(const HeatExch& x) {
    double hotIn = 0.0, hotOut = 0.0, coldIn = 0.0, coldOut = 0.0;
    if (!PortTemperature(x.getInlet(0), hotIn) || !PortTemperature(x.getOutlet(0), hotOut) ||
        !PortTemperature(x.getInlet(1), coldIn) || !PortTemperature(x.getOutlet(1), coldOut))
        return 0;
    double F = 1.0, shells = 1.0;
    g_CalculateFFactorAndShells(hotOut, hotIn, coldIn, coldOut, kLeastFtFactor, F, shells, 0, 0);
    return static_cast<int>(std::max(1.0, std::ceil(shells - 1e-9)));
}

}  // namespace

std::string CPIHENDesign::SettleShellCountsOfGivenAreas() {
    // Shell-and-tube process units given by their area alone, whose shells no one gave.
    std::vector<CNode*> units;
    for (CNode* node : m_sheet->getAllNodesOfType(NodeKind::HeatExchanger)) {
        const HeatExch* x = AsHeatExch(node);
        if (!x || x->IsUtilityExch() || x->getHXType() != 1 ||
            node->getVariableStatus(NodeValue::HTArea) != ValueStatus::Specified ||
            node->getVariableStatus(NodeValue::Duty) == ValueStatus::Specified ||
            node->getVariableStatus(NodeValue::NShellsInSeries) == ValueStatus::Specified ||
            node->getVariableStatus(NodeValue::FtFactor) == ValueStatus::Specified)
            continue;
        units.push_back(node);
    }
    if (units.empty()) return std::string();

    std::map<CNode*, std::set<int>> seen;  // the counts each unit has had
    for (CNode* node : units) {
        node->addVariable(NodeValue::NShellsInSeries, 1.0, ValueStatus::Specified);
        seen[node].insert(1);
    }
    ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
    std::set<CNode*> cycling;
    for (int round = 0; round < kShellRounds; ++round) {
        bool changed = false;
        cycling.clear();
        for (CNode* node : units) {
            const int fewest = FewestShells(*AsHeatExch(node));
            double now = 0.0;
            const bool fixed = node->getVariableAsDouble(NodeValue::NShellsInSeries, now);
            if (fewest == 0 || (fixed && static_cast<int>(now) == fewest)) continue;
            if (!seen[node].insert(fewest).second) cycling.insert(node);
            node->addVariable(NodeValue::NShellsInSeries, static_cast<double>(fewest), ValueStatus::Specified);
            changed = true;
        }
        if (!changed) return std::string();
        ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
        if (!cycling.empty()) break;
    }
    std::string names;
    for (CNode* node : units) {
        if (!cycling.empty() && !cycling.count(node)) continue;
        CPString name;
        node->getVariableAsString(NodeValue::UnitOperationName, name);
        names += (names.empty() ? "" : ", ") + std::string(name);
    }
    return names;
}
