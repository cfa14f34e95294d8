// The ends of the process streams of a network placed unit by unit. While exchangers go in, the
// utility placeholder at the end of each process stream takes what they leave of its load; once
// the network is placed, that load belongs to a real heater or cooler on one of the scenario's
// utilities, and a placeholder left empty at the end of a stream that its units settle goes, so
// that every exchanger port of such a stream is free. Every change goes through the design's own
// editing operations and one recalculation follows the whole pass.
#include "eng/design/HENDesign.h"

#include "eng/design/HENDesignChain.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "pellin/HeatExch.h"
#include "pellin/UnitNodes.h"

#include <string>

using namespace chain;

namespace {
constexpr double kEmpty = -32767.0;
// Temperatures read back from the calculation: an approach at DTmin within this is at DTmin.
constexpr double kTemperatureTolerance = 1e-6;

double knownTemperature(const CNode* segment, double otherwise) {
    double t = kEmpty;
    if (!IsSegment(segment) || segment->getVariableStatus(NodeValue::Temperature) == ValueStatus::Open ||
        !segment->getVariableAsDouble(NodeValue::Temperature, t) || t == kEmpty)
        return otherwise;
    return t;
}

// "Heater", "Cooler" for the only one of a kind, else numbered from 1; a name a node of the
// network already has, or a unit shows (a user's rename), is passed over.
std::string freeEndName(const FlowSheet& sheet, const std::unordered_set<std::string>& shown, const char* word,
                        std::size_t count, std::size_t k) {
    for (std::size_t n = count == 1 ? 0 : k + 1;; ++n) {
        const std::string name = n == 0 ? std::string(word) : word + std::to_string(n);
        if (!sheet.getNode(name.c_str()) && !shown.count(name)) return name;
    }
}
}  // namespace

// Countercurrent: the utility's supply meets the process stream's outlet, its target the inlet.
// Linear in the utilities for each end: a scenario holds a handful of them beside its process
// streams, so the pass stays linear in the network for any table a user gives.
IHeatIntegrationStream* CPIHENDesign::ChooseEndUtility(const std::vector<IHeatIntegrationStream*>& utilities,
                                                       bool heating, double from, double to) const {
    const double dtmin = (m_scenario ? m_scenario->GetDTmin() : m_dtMin) - kTemperatureTolerance;
    IHeatIntegrationStream* cheapest = nullptr;
    IHeatIntegrationStream* extreme = nullptr;
    for (IHeatIntegrationStream* utility : utilities) {
        if (utility->GetHotCold() != (heating ? 0 : 1)) continue;
        const double supply = utility->GetSupplyTemperature(), target = utility->GetTargetTemperature();
        const bool serves = heating ? supply - to >= dtmin && target - from >= dtmin
                                    : to - supply >= dtmin && from - target >= dtmin;
        if (serves && (!cheapest || utility->GetCostIndex() < cheapest->GetCostIndex())) cheapest = utility;
        const bool beyond = !extreme || (heating ? supply > extreme->GetSupplyTemperature()
                                                 : supply < extreme->GetSupplyTemperature());
        if (beyond) extreme = utility;
    }
    return cheapest ? cheapest : extreme;
}

// Where on the utility's chain a new heater or cooler ending a process stream at `target` goes:
// before the first unit already there whose process side leaves at a temperature the new one's
// target does not beat (a colder outlet for a cooler, a hotter one for a heater), else last. The
// utility then meets the process outlets in order, each unit getting the utility as it is when
// its outlet asks for it, and the units a table gave keep the utility they would have without
// the new one wherever their outlets allow. The walk passes the units of one utility once per
// unit added to it: quadratic only in the heaters or coolers a single utility serves, a handful
// in any table.
CNode* CPIHENDesign::EndUtilitySlot(IHeatIntegrationStream* utility, bool heating, double target) const {
    const int utilitySide = heating ? 0 : 1, processSide = 1 - utilitySide;
    CNode* segment = After(StreamBlock(utility->GetName(), "Start"));
    for (std::size_t step = 0; IsSegment(segment) && step <= m_exchangers.size(); ++step) {
        CNode* node = After(segment);
        HeatExch* x = AsHeatExch(node);
        if (!x || !x->IsUtilityExch()) return segment;
        CNode* outlet = x->getOutlet(processSide);
        const IHeatIntegrationStream* process = StreamOf(outlet);
        const double leaves = knownTemperature(outlet, process ? process->GetTargetTemperature() : target);
        if (heating ? target >= leaves : target <= leaves) return segment;
        segment = x->getOutlet(utilitySide);
    }
    return segment;
}

CNode* CPIHENDesign::PlaceEndUtilityExchanger(IHeatIntegrationStream* stream, IHeatIntegrationStream* utility,
                                              const std::string& name, const char* reason) {
    const bool heating = stream->GetHotCold() == 1;
    CNode* end = Before(StreamBlock(stream->GetName(), "End"));
    CNode* source = EndUtilitySlot(utility, heating, stream->GetTargetTemperature());
    if (!IsSegment(end) || !IsSegment(source)) return nullptr;
    CNode* unit = heating ? AddHeatExchanger(source, end, reason, NodeKind::CountercurrentHX, name.c_str())
                          : AddHeatExchanger(end, source, reason, NodeKind::CountercurrentHX, name.c_str());
    if (!unit) return nullptr;
    unit->addVariable(NodeValue::HXType, 0.0, ValueStatus::Specified);
    unit->addVariable(NodeValue::DTMin, m_dtMin, ValueStatus::Specified);
    // The unit goes in before the end placeholder, which brings one more before its inlet: both
    // go, and the unit runs from the last unit's outlet to the stream's target with the duty the
    // stream's balance leaves it (each removal takes one open temperature for the one the unit's
    // segments brought).
    const int inlet = heating ? 2 : 0;
    RemoveUtilityAtPort(unit, inlet);
    RemoveUtilityAtPort(unit, inlet + 1);
    return unit;
}

int CPIHENDesign::RemoveEmptyEndUtility(IHeatIntegrationStream* stream, int degreesOfFreedom) {
    CNode* last = Before(StreamBlock(stream->GetName(), "End"));
    CNode* placeholder = Before(last);
    CNode* outlet = Before(placeholder);
    CNode* unit = Before(outlet);
    HeatExch* exchanger = AsHeatExch(unit);
    // Only after an exchanger: a stream without units keeps its utility, and one that ends in a
    // mixer keeps the one after it.
    if (!IsSegment(last) || !IsPlaceholder(placeholder) || !IsSegment(outlet) || !exchanger ||
        HasSignificantUtilityDuty(last))
        return 0;
    CNode* released = nullptr;
    if (degreesOfFreedom < 1) {
        // Without the placeholder the stream's balance fixes one duty: the one of the heater or
        // cooler nearest the target, which then follows what the process leaves it. A stream
        // that its process exchangers settle alone keeps the placeholder as its free utility:
        // a duty of theirs let go would take up every later change of the network.
        const std::vector<CNode*>* units = UnitsOf(stream->GetName());
        CNode* segment = outlet;
        for (std::size_t step = 0; units && IsSegment(segment) && step <= units->size(); ++step) {
            CNode* node = Before(segment);
            HeatExch* x = AsHeatExch(node);
            if (!x) break;
            if (x->IsUtilityExch() && node->getVariableStatus(NodeValue::Duty) == ValueStatus::Specified) {
                released = node;
                break;
            }
            segment = x->getUpStreamNode(segment);
        }
        if (!released) return 0;
    }
    const int port = exchanger->getOutlet(0) == outlet ? 1 : 3;
    if (!RemoveUtilityAtPort(unit, port)) return 0;
    if (!released) return -1;
    released->addVariable(NodeValue::Duty, 0.0, ValueStatus::Open);
    return 0;
}

bool CPIHENDesign::LetEndUnitTakeResidual(IHeatIntegrationStream* stream, double residual) {
    CNode* last = Before(StreamBlock(stream->GetName(), "End"));
    CNode* outlet = Before(Before(last));
    CNode* unit = Before(outlet);
    HeatExch* exchanger = AsHeatExch(unit);
    const bool heating = stream->GetHotCold() == 1;
    if (!IsSegment(outlet) || !exchanger || !exchanger->IsUtilityExch() ||
        (heating ? !exchanger->IsHeater() : !exchanger->IsCooler()))
        return false;
    // A given duty that the residual would turn round stays given: the stream is left unsatisfied
    // where the report shows it rather than a heater that cools.
    double duty = 0.0;
    const bool given = unit->getVariableStatus(NodeValue::Duty) == ValueStatus::Specified &&
                       unit->getVariableAsDouble(NodeValue::Duty, duty);
    if (given && duty + residual < 0.0) return false;
    const int port = exchanger->getOutlet(0) == outlet ? 1 : 3;
    if (!RemoveUtilityAtPort(unit, port)) return false;
    // The placeholder took one open duty with it: the unit's own duty is the one opened instead.
    if (given) unit->addVariable(NodeValue::Duty, 0.0, ValueStatus::Open);
    return true;
}

int CPIHENDesign::CloseStreamEnds(const char* reason) {
    if (IsEditLocked()) return 0;
    struct End {
        IHeatIntegrationStream* stream;
        IHeatIntegrationStream* utility;
    };
    std::vector<End> ends[2];  // heaters, then coolers, each in the design's stream order
    // Streams whose own last unit is a heater or cooler of theirs (one the user named): it takes
    // the residual itself rather than a second heater or cooler beside it.
    std::vector<std::pair<IHeatIntegrationStream*, double>> named;
    std::vector<IHeatIntegrationStream*> utilities;
    for (IHeatIntegrationStream* stream : m_streams)
        if (IsUtilityStream(stream)) utilities.push_back(stream);
    for (IHeatIntegrationStream* stream : m_streams) {
        const int side = stream->GetHotCold();
        if (IsUtilityStream(stream) || (side != 0 && side != 1)) continue;
        CNode* last = Before(StreamBlock(stream->GetName(), "End"));
        CNode* placeholder = Before(last);
        if (!IsSegment(last) || !IsPlaceholder(placeholder) || !HasSignificantUtilityDuty(last)) continue;
        // A placeholder holds the size of what its stream still needs, not its direction: a load
        // the wrong way round (a cold stream its exchangers heat past its target) gets its heater
        // or cooler like any other, which then runs backwards, and the report names it and the
        // stream.
        double load = 0.0;
        const bool known = placeholder->getVariableStatus(NodeValue::Duty) != ValueStatus::Open &&
                           placeholder->getVariableAsDouble(NodeValue::Duty, load);
        const bool heating = side == 1;
        if (HeatExch* before = AsHeatExch(Before(Before(placeholder)));
            before && (heating ? before->IsHeater() : before->IsCooler())) {
            named.emplace_back(stream, known ? load : 0.0);
            continue;
        }
        const double to = knownTemperature(last, stream->GetTargetTemperature());
        const double from = knownTemperature(Before(placeholder), stream->GetSupplyTemperature());
        if (IHeatIntegrationStream* utility = ChooseEndUtility(utilities, heating, from, to))
            ends[heating ? 0 : 1].push_back({stream, utility});
    }
    const bool wasActive = m_active;
    Deactivate();
    for (const auto& [stream, residual] : named) LetEndUnitTakeResidual(stream, residual);
    int added = 0;
    const char* const words[2] = {"Heater", "Cooler"};
    const std::unordered_set<std::string> shown = UnitNamesInUse();
    for (int kind = 0; kind < 2; ++kind)
        for (std::size_t k = 0; k < ends[kind].size(); ++k) {
            const std::string name = freeEndName(*m_sheet, shown, words[kind], ends[kind].size(), k);
            if (PlaceEndUtilityExchanger(ends[kind][k].stream, ends[kind][k].utility, name, reason)) ++added;
        }
    // The count is kept up as placeholders go rather than recounted over the network each time.
    int degreesOfFreedom = GetDegreesOfFreedom();
    for (IHeatIntegrationStream* stream : m_streams)
        if (!IsUtilityStream(stream)) degreesOfFreedom += RemoveEmptyEndUtility(stream, degreesOfFreedom);
    if (wasActive) Activate(1);
    return added;
}
