// Stream terminals of the utility streams: a utility whose exchangers all work within its
// temperature is given one end placeholder ahead of its last segment, its stray placeholders are
// taken out, and its units settle in a few passes with the utility carrying a growing load.
#include "eng/design/HENDesign.h"

#include "eng/design/HENDesignChain.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <unordered_set>

using namespace chain;

namespace {
constexpr double kEmpty = -32767.0;
constexpr int kMaxSettlingPasses = 20;
constexpr int kMaxSweeps = 8;
constexpr const char* kSpecStatus = NodeValue::SpecStatus;

// The port segments of a unit on the given stream (an exchanger's side on it; any other unit's
// first inlet and outlet).
void segmentsOn(CNode* unit, const IHeatIntegrationStream* stream, CNode*& inlet, CNode*& outlet) {
    inlet = outlet = nullptr;
    if (HeatExch* exchanger = AsHeatExch(unit)) {
        for (int side = 0; side < 2; ++side)
            if (StreamOf(exchanger->getInlet(side)) == stream || StreamOf(exchanger->getOutlet(side)) == stream) {
                inlet = exchanger->getInlet(side);
                outlet = exchanger->getOutlet(side);
            }
        return;
    }
    inlet = unit->getIthUpStreamNode(0);
    outlet = unit->getIthDownStreamNode(0);
}

// The units of a stream's chain from its feed block down, in chain order (a tee by its main
// branch).
std::vector<CNode*> unitsInChainOrder(CNode* start, int limit) {
    std::vector<CNode*> units;
    CNode* node = After(start);
    CNode* reference = node;
    for (; node && !IsProductBlock(node) && limit > 0; --limit) {
        if (!IsSegment(node)) units.push_back(node);
        HeatExch* exchanger = AsHeatExch(node);
        node = exchanger ? exchanger->getDownStreamNode(reference) : node->getIthDownStreamNode(0);
        if (IsSegment(node)) reference = node;
    }
    return units;
}

double temperatureOf(const CNode* segment) {
    double t = kEmpty;
    return segment && segment->getVariableAsDouble(NodeValue::Temperature, t) ? t : kEmpty;
}
}  // namespace

int CPIHENDesign::RemoveStrayPlaceholders(CNode* start, std::vector<CPString>* removed) {
    IHeatIntegrationStream* stream = StreamOf(start);
    if (!IsFeedBlock(start) || !stream || GetNumberOfUnitsOnStream(stream->GetName()) == 0) return 0;
    int count = 0;
    auto take = [&](CNode* node) {
        if (removed) removed->push_back(node->getName());
        m_sheet->deleteNode(node);
    };
    CNode* node = After(start);
    CNode* reference = node;
    for (int steps = m_sheet->getNumberOfNodes(); node && !IsProductBlock(node) && steps > 0; --steps) {
        if (IsPlaceholder(node)) {
            CNode* before = Before(node);
            CNode* segment = After(node);
            CNode* beyond = After(segment);
            if (IsSegment(before) && IsSegment(segment) && beyond && !IsProductBlock(beyond)) {
                // Between two units: the placeholder and the segment after it go.
                const int upSlot = before->downStreamSlotOf(node), downSlot = beyond->upStreamSlotOf(segment);
                take(node);
                take(segment);
                Connect(before, beyond, upSlot, downSlot);
                ++count;
                node = beyond;
                continue;
            }
            CNode* unit = Before(before);
            if (IsSegment(before) && IsSegment(segment) && IsProductBlock(beyond) && unit && !IsFeedBlock(unit)) {
                // After the last unit: the placeholder and the segment before it go.
                const int upSlot = unit->downStreamSlotOf(before);
                take(before);
                take(node);
                Connect(unit, segment, upSlot, 0);
                ++count;
                node = segment;
                reference = segment;
                continue;
            }
            node = segment;
        } else if (HeatExch* exchanger = AsHeatExch(node)) {
            CNode* out = exchanger->getDownStreamNode(reference);
            if (!out || StreamOf(out) != stream) {
                const int side = exchanger->sideOf(reference);
                out = side < 0 ? nullptr : exchanger->getOutlet(1 - side);
            }
            node = out;
        } else {
            // A tee is left by its main branch.
            node = node->getIthDownStreamNode(0);
        }
        if (IsSegment(node)) reference = node;
    }
    return count;
}

void CPIHENDesign::UpdateStreamTerminals() {
    std::vector<IHeatIntegrationStream*> utilities;
    for (IHeatIntegrationStream* stream : m_streams)
        if (IsUtilityStream(stream)) utilities.push_back(stream);
    bool changed = false;
    for (IHeatIntegrationStream* utility : utilities) {
        const std::vector<CNode*>* onUtility = UnitsOf(utility->GetName());
        if (!onUtility || onUtility->empty()) continue;
        // Examination: every working exchanger must stay within the utility's temperature, and
        // every exchanger must be calculated; splitters and mixers met join the examination.
        const double supply = utility->GetSupplyTemperature();
        const bool cold = utility->GetHotCold() == 1;
        std::vector<CNode*> examine = *onUtility;
        std::unordered_set<CNode*> listed(examine.begin(), examine.end());
        bool repair = false, refused = false;
        for (std::size_t i = 0; i < examine.size() && !refused; ++i) {
            CNode* unit = examine[i];
            if (HeatExch* exchanger = AsHeatExch(unit)) {
                double duty = 0.0;
                if (exchanger->getVariableAsDouble(NodeValue::Duty, duty) && duty > 0.0) {
                    const double t = temperatureOf(exchanger->getOutlet(cold ? 0 : 1));
                    const bool within = t != kEmpty && (cold ? t > supply : t < supply);
                    if (!within) refused = true;
                    repair = repair || within;
                }
                const int status = exchanger->getStatus();
                if (status != ExchangerStatus::Calculated && status != ExchangerStatus::Crossed) refused = true;
            }
            CNode *inlet = nullptr, *outlet = nullptr;
            segmentsOn(unit, utility, inlet, outlet);
            for (CNode* next : {Before(inlet), After(outlet)})
                if ((IsTee(next) || IsMixer(next)) && listed.insert(next).second) examine.push_back(next);
        }
        if (refused || !repair) continue;

        CNode* start = StreamBlock(utility->GetName(), "Start");
        CNode* end = StreamBlock(utility->GetName(), "End");
        if (!start || !end) continue;
        changed = true;
        RemoveStrayPlaceholders(start, nullptr);
        CNode* x1 = Before(end);
        CNode* x2 = Before(x1);
        if (x1 && x2 && !IsPlaceholder(x2)) {
            CNode* segment = CreateNode(NodeKind::MaterialStream, utility);
            CNode* placeholder = CreateNode(NodeKind::Heater, utility);
            const int upSlot = x2->downStreamSlotOf(x1), downSlot = x1->upStreamSlotOf(x2);
            if (segment && placeholder && m_sheet->disconnectNodes(x2, x1)) {
                Connect(x2, segment, upSlot, 0);
                Connect(segment, placeholder);
                Connect(placeholder, x1, 0, downSlot);
                segment->addVariable(NodeValue::Temperature, 0.0, ValueStatus::Open);
            }
        }

        // Settling: the utility takes part as a process stream with a load 10 % above the
        // design's use of it each pass, until its exchangers carry no duty or 20 passes ran.
        const double savedLoad = utility->GetHeatLoad(1);
        const auto entry = m_utilityLoads.find(utility->GetName());
        double load = entry == m_utilityLoads.end() ? 0.0 : entry->second;
        // The units in chain order, so that one sweep carries a value down the whole utility;
        // the end placeholder takes what the exchangers leave of the utility's load.
        const std::vector<CNode*> chainUnits = unitsInChainOrder(start, m_sheet->getNumberOfNodes());
        const std::vector<CNode*> exchangers = *onUtility;
        for (int pass = 0; pass < kMaxSettlingPasses; ++pass) {
            for (CNode* unit : exchangers) {
                CNode *inlet = nullptr, *outlet = nullptr;
                segmentsOn(unit, utility, inlet, outlet);
                for (CNode* segment : {inlet, outlet})
                    if (IsSegment(segment) && !IsFeedBlock(Before(segment)) && !IsProductBlock(Before(segment)) &&
                        !IsProductBlock(After(segment)))
                        segment->addVariable(NodeValue::Temperature, kEmpty, ValueStatus::Open);
                unit->addVariable(kSpecStatus, 0.0, ValueStatus::Specified);
                if (unit->getVariableStatus(NodeValue::HTArea) != ValueStatus::Specified)
                    unit->addVariable(NodeValue::HTArea, 0.0, ValueStatus::Open);
            }
            load *= 1.1;
            utility->SetHeatLoad(load, 2);
            utility->SetStreamKind(0, 0);
            // The utility's units pass their values on, sweep after sweep in chain order, until
            // none writes; a sweep carries a value down the whole chain, so a few sweeps do (the
            // bound only stops units that keep overwriting each other).
            for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
                int written = 0;
                for (CNode* unit : chainUnits) written += unit->Calculate(CodeFlowsheetChanged);
                if (written == 0) break;
            }
            utility->SetStreamKind(1, 0);
            bool working = false;
            for (CNode* unit : exchangers) {
                double duty = 0.0;
                working = working || (unit->getVariableAsDouble(NodeValue::Duty, duty) && duty > 0.0);
            }
            if (!working) break;
        }
        utility->SetHeatLoad(savedLoad, 1);
    }
    if (changed) ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
}
