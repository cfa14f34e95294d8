// The equation-based run: the whole design is declared to the network-pinch engine (streams with
// their segments, the segments between units, the splitters and mixers, the exchangers and the
// economics), the engine optimises, and its results are written back into the values the design
// carries as specified.
//
// Segment labels are the segment's position in the flowsheet's list of segments, from 1.
#include "eng/autodesign/NetworkOptimiser.h"

#include "eng/design/HENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "brasko/DefaultUtilityTypes.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "pellin/UnitNodes.h"
#include "vireth/CPinchWrapper.h"

#include <cmath>
#include <string>

namespace {
constexpr int kUtilityKind = 1;
constexpr double kMaxDutyMargin = 1.1;
constexpr double kDefaultDTMin = 1.0;
constexpr double kDefaultMaxNewArea = 10000.0;
constexpr const char* kDefaultEconomics = "DEFAULT";
constexpr const char* kAreaMinimum = "AreaMinimum";
constexpr const char* kMaxNewArea = "MaxNewArea";
constexpr const char* kShellsInParallel = "NShellsInParallel";
constexpr const char* kStart = "START";
constexpr const char* kEnd = "END";

bool isExchanger(const CNode* n) {
    return n && (n->getClassName() == NodeKind::CountercurrentHX || n->getClassName() == NodeKind::HeatExchanger);
}
bool isKind(const CNode* n, const char* kind) { return n && n->getClassName() == kind; }

bool isSpecified(const CNode* n, const char* name) {
    return n && n->getVariableStatus(name) == ValueStatus::Specified;
}

double valueOr(const CNode* n, const char* name, double fallback) {
    double v = 0.0;
    return n && n->getVariableAsDouble(name, v) ? v : fallback;
}

std::string unitName(const CNode* n) {
    CPString name;
    if (n && n->getVariableAsString(NodeValue::UnitOperationName, name)) return name.c_str();
    return n ? std::string(n->getName().c_str()) : std::string();
}

IFlowsheetStream* streamOf(const CNode* piece) {
    const auto* p = dynamic_cast<const StreamPiece*>(piece);
    return p ? p->getParentPIStream() : nullptr;
}

bool isUtilityStream(const CNode* piece) {
    const IFlowsheetStream* s = streamOf(piece);
    return s && s->GetStreamKind() == kUtilityKind;
}

double shareOf(const CNode* segment) {
    const auto* s = dynamic_cast<const StreamNode*>(segment);
    return s ? s->getSplitFraction() : -1.0;
}

std::vector<CNode*> exchangerList(const FlowSheet& sheet) {
    std::vector<CNode*> list = sheet.getAllNodesOfType(NodeKind::CountercurrentHX);
    for (CNode* x : sheet.getAllNodesOfType(NodeKind::HeatExchanger)) list.push_back(x);
    return list;
}

// A port whose segment touches the stream's own start or end is no inner temperature.
bool isInnerPort(const HeatExch& x, int port) {
    const bool inlet = port == ExchangerPort::HotSideFeed || port == ExchangerPort::ColdSideFeed;
    const int side = port < 2 ? 0 : 1;
    const CNode* segment = inlet ? static_cast<CNode*>(x.getInlet(side)) : static_cast<CNode*>(x.getOutlet(side));
    if (!segment) return false;
    const CNode* beyond = inlet ? segment->getIthUpStreamNode(0) : segment->getIthDownStreamNode(0);
    return !isKind(beyond, inlet ? NodeKind::FeedBlock : NodeKind::ProductBlock);
}

CNode* portSegment(const HeatExch& x, int port) {
    const int side = port < 2 ? 0 : 1;
    return port % 2 == 0 ? static_cast<CNode*>(x.getInlet(side)) : static_cast<CNode*>(x.getOutlet(side));
}
}  // namespace

// ---------------------------------------------------------------- labels and walks

int NetworkOptimiser::SegmentNumber(const CNode* segment) const {
    auto it = m_segmentNumbers.find(segment);
    return it == m_segmentNumbers.end() ? 0 : it->second;
}

std::string NetworkOptimiser::StreamLabel(const CNode* piece) const {
    const IFlowsheetStream* s = streamOf(piece);
    if (!s) return std::string();
    CPString label;
    m_design->MakeExchangerStreamName(s->GetName(), label);
    return label.c_str();
}

NetworkOptimiser::BranchWalk NetworkOptimiser::WalkBranch(CNode* first) const {
    BranchWalk walk;
    walk.segments.push_back(SegmentNumber(first));
    int level = 1;
    CNode* segment = first;
    // Every step moves to another segment; a walk never passes more segments than there are.
    for (std::size_t guard = 0; segment && guard <= m_segmentNumbers.size(); ++guard) {
        CNode* unit = segment->getIthDownStreamNode(0);
        CNode* next = nullptr;
        if (isExchanger(unit)) {
            next = static_cast<HeatExch*>(unit)->getDownStreamNode(segment);
        } else if (isKind(unit, NodeKind::Tee)) {
            if (level == 1) walk.splitters.push_back(unit);
            ++level;
            next = unit->getIthDownStreamNode(0);
        } else if (isKind(unit, NodeKind::Mixer)) {
            if (--level == 0) {
                walk.mixer = unit;
                break;
            }
            next = unit->getIthDownStreamNode(0);
        } else if (unit && !isKind(unit, NodeKind::ProductBlock)) {
            next = unit->getIthDownStreamNode(0);
        }
        if (!isKind(next, NodeKind::MaterialStream)) break;
        if (level == 1) walk.segments.push_back(SegmentNumber(next));
        segment = next;
    }
    return walk;
}

// ---------------------------------------------------------------- the run

int NetworkOptimiser::RunEquationBased() {
    if (!m_design) {
        Show(EquationBasedFailedText);
        return Unchanged;
    }
    if (m_design->GetNumberOfLoops() < 1 && m_design->GetNumberOfPaths() < 1) {
        Show(UntiedText);
        return Unchanged;
    }
    const std::string design = m_design->GetDesignName() ? m_design->GetDesignName() : "";
    IHeatIntegrationScenario* scenario = m_design->GetScenario();
    const std::string scenarioName = scenario && scenario->GetName() ? scenario->GetName() : "";
    std::unique_ptr<CPinchWrapper> engine = m_engineFactory ? m_engineFactory() : std::make_unique<CPinchWrapper>();
    if (!engine) {
        Show(EquationBasedFailedText);
        return Unchanged;
    }
    m_segmentNumbers.clear();
    m_declaredSplitters.clear();
    m_declaredMixers.clear();
    int number = 0;
    for (CNode* s : m_design->GetFlowSheet()->getAllNodesOfType(NodeKind::MaterialStream)) m_segmentNumbers[s] = ++number;

    DeclareStreams(*engine);
    DeclareNodes(*engine);
    DeclareSplittersAndMixers(*engine);
    DeclareExchangers(*engine);
    if (scenario)
        engine->SetEconomicParameters(scenario->GetEconomicData(EDT_RateOfReturn, kDefaultEconomics),
                                      scenario->GetEconomicData(EDT_PlantLife, kDefaultEconomics),
                                      scenario->GetEconomicData(EDT_OperatingHours, kDefaultEconomics),
                                      scenario->GetOptimizerEconomicParameter());
    Show(Format(RunningText, design.c_str()));
    const long result = engine->RunOptimization(scenarioName.c_str(), design.c_str());
    if (result == 0) {
        ReadBackResults(*engine);
        m_network->Recalculate();
    }
    engine.reset();
    if (result != 0) {
        Show(EquationBasedFailedText);
        return Unchanged;
    }
    return Improved;
}

// ---------------------------------------------------------------- declarations

void NetworkOptimiser::DeclareStreams(CPinchWrapper& engine) {
    for (CNode* block : m_design->GetFlowSheet()->getAllNodesOfType(NodeKind::FeedBlock)) {
        IFlowsheetStream* stream = streamOf(block);
        if (!stream || m_design->GetNumberOfUnitsOnStream(stream->GetName()) == 0) continue;
        const std::string label = StreamLabel(block);
        const double ts = stream->GetSupplyTemperature(), tt = stream->GetTargetTemperature();
        const bool utility = stream->GetStreamKind() == kUtilityKind;
        const double utilityLoad = utility ? m_design->GetUtilityLoad(stream->GetName()) : 0.0;
        const int segments = stream->GetNumberOfSegments();
        double m = -1.0, total = 0.0, htc = 0.0;
        for (int j = 0; j < segments; ++j) {
            double tin = 0.0, tout = 0.0, cp = 0.0;
            stream->GetValue(NodeValue::Temperature, tin, j);
            stream->GetValue(NodeValue::Temperature, tout, j + 1);
            if (!stream->GetValue("SpecificHeat", cp, j)) cp = 0.0;
            htc = 0.0;
            stream->GetValue(NodeValue::FilmCoefficient, htc, j);
            const double heatCapacity = stream->GetSegmentHeatCapacityFlowrate(j);
            double load = std::fabs(heatCapacity * (tout - tin));
            if (j == 0) {
                if (!stream->GetValue(NodeValue::MassFlow, m, 0)) m = -1.0;
                if (m < 0.0) {
                    // A specific heat of 0 would divide by zero: the flow is then the heat
                    // capacity flowrate itself, at a specific heat of 1.
                    if (cp > 0.0) {
                        m = heatCapacity / cp;
                    } else {
                        cp = 1.0;
                        m = heatCapacity;
                    }
                }
                if (utility) {
                    if (segments == 1) load = utilityLoad;
                    // A segment without temperature change takes a span of 1 K for its flow.
                    const double span = std::fabs(tout - tin) > 0.0 ? std::fabs(tout - tin) : 1.0;
                    if (load == 0.0) {
                        m = 0.0;
                    } else if (cp <= 0.0) {
                        cp = 1.0;
                        m = std::fabs(load / span);
                    } else {
                        m = std::fabs(load / cp / span);
                    }
                }
            }
            engine.CreateSegment(label.c_str(), j + 1, tin, tout, load, m, htc, cp);
            total += load;
        }
        const int cold = ts < tt ? 1 : 0;
        if (utility) {
            const auto* his = dynamic_cast<const IHeatIntegrationStream*>(stream);
            engine.CreateUtility(label.c_str(), ts, tt, total, cold, segments, htc, his ? his->GetCostIndex() : 0.0);
        } else {
            engine.CreateStream(label.c_str(), ts, tt, total, cold, segments);
        }
    }
}

void NetworkOptimiser::DeclareNodes(CPinchWrapper& engine) {
    for (CNode* segment : m_design->GetFlowSheet()->getAllNodesOfType(NodeKind::MaterialStream)) {
        const std::string label = std::to_string(SegmentNumber(segment));
        const std::string stream = StreamLabel(segment);
        CNode* before = segment->getIthUpStreamNode(0);
        CNode* after = segment->getIthDownStreamNode(0);
        const bool namedBefore = isExchanger(before) || isKind(before, NodeKind::Tee) || isKind(before, NodeKind::Mixer);
        const bool namedAfter = isExchanger(after) || isKind(after, NodeKind::Tee) || isKind(after, NodeKind::Mixer);
        const std::string from = namedBefore ? unitName(before) : kStart;
        const std::string to = namedAfter ? unitName(after) : kEnd;
        double t = valueOr(segment, NodeValue::Temperature, 0.0);
        if (!namedAfter) {
            const IFlowsheetStream* s = streamOf(segment);
            if (s) t = s->GetTargetTemperature();
        }
        engine.CreateNode(label.c_str(), stream.c_str(), from.c_str(), to.c_str(), t);
    }
}

void NetworkOptimiser::DeclareSplitter(CPinchWrapper& engine, CNode* splitter, bool topLevel) {
    const std::string name = unitName(splitter);
    CNode* inlet = splitter->getIthUpStreamNode(0);
    const std::string inletLabel = std::to_string(SegmentNumber(inlet));
    const int branches = splitter->getNumberOfDownStreamNodes();
    std::vector<std::vector<int>> lists;
    std::vector<double> fractions;
    bool utility = false;
    CNode* mixer = nullptr;
    for (int b = 0; b < branches; ++b) {
        CNode* first = splitter->getIthDownStreamNode(b);
        fractions.push_back(valueOr(first, NodeValue::SplitFraction, 0.0));
        BranchWalk walk = WalkBranch(first);
        lists.push_back(walk.segments);
        if (!mixer) mixer = walk.mixer;
        utility = utility || isUtilityStream(first);
    }
    std::vector<int> mixerInlets;
    std::vector<double> mixerFractions;
    std::string outletLabel;
    if (mixer) {
        for (CNode* in : mixer->getAllUpStreamNodes()) {
            mixerInlets.push_back(SegmentNumber(in));
            mixerFractions.push_back(valueOr(in, NodeValue::SplitFraction, shareOf(in)));
        }
        outletLabel = std::to_string(SegmentNumber(mixer->getIthDownStreamNode(0)));
    }
    if (topLevel) {
        engine.CreateSplitMixer(inletLabel.c_str(), outletLabel.c_str(), name.c_str(), branches, lists, fractions,
                                mixer ? unitName(mixer).c_str() : "", static_cast<int>(mixerInlets.size()),
                                mixerInlets, mixerFractions, utility ? 1 : 0);
        if (mixer) m_declaredMixers.insert(unitName(mixer));
    } else {
        engine.CreateIntSplitter(inletLabel.c_str(), name.c_str(), branches, lists, fractions, utility ? 1 : 0);
    }
    m_declaredSplitters.insert(name);
}

void NetworkOptimiser::DeclareSplittersAndMixers(CPinchWrapper& engine) {
    for (CNode* tee : m_design->GetFlowSheet()->getAllNodesOfType(NodeKind::Tee)) {
        if (shareOf(tee->getIthUpStreamNode(0)) < 1.0 - 1e-9) continue;
        DeclareSplitter(engine, tee, true);
        DeclareInternalSplitter(engine, tee);
    }
    engine.ConnectSplittersAndMixers();
}

// Each inner splitter and mixer is declared once, however many enclosing walks meet it.
void NetworkOptimiser::DeclareInternalSplitter(CPinchWrapper& engine, CNode* splitter) {
    for (int b = 0; b < splitter->getNumberOfDownStreamNodes(); ++b)
        for (CNode* inner : WalkBranch(splitter->getIthDownStreamNode(b)).splitters) {
            if (m_declaredSplitters.count(unitName(inner))) continue;
            DeclareSplitter(engine, inner, false);
            DeclareInternalSplitter(engine, inner);
            DeclareInternalMixer(engine, inner);
        }
}

void NetworkOptimiser::DeclareInternalMixer(CPinchWrapper& engine, CNode* splitter) {
    CNode* mixer = nullptr;
    for (int b = 0; b < splitter->getNumberOfDownStreamNodes() && !mixer; ++b)
        mixer = WalkBranch(splitter->getIthDownStreamNode(b)).mixer;
    if (!mixer || m_declaredMixers.count(unitName(mixer))) return;
    std::vector<int> inlets;
    std::vector<double> fractions;
    for (CNode* in : mixer->getAllUpStreamNodes()) {
        inlets.push_back(SegmentNumber(in));
        fractions.push_back(valueOr(in, NodeValue::SplitFraction, shareOf(in)));
    }
    const std::string outlet = std::to_string(SegmentNumber(mixer->getIthDownStreamNode(0)));
    engine.CreateIntMixer(outlet.c_str(), unitName(mixer).c_str(), static_cast<int>(inlets.size()), inlets, fractions);
    m_declaredMixers.insert(unitName(mixer));
}

void NetworkOptimiser::DeclareExchangers(CPinchWrapper& engine) {
    IHeatIntegrationScenario* scenario = m_design->GetScenario();
    IHENDesign* base = nullptr;
    if (scenario && scenario->GetRetrofitBaseDesignName())
        scenario->GetDesign(CPString(scenario->GetRetrofitBaseDesignName()), base);
    std::unordered_map<std::string, CNode*> baseExchangers;
    if (base && base->GetFlowSheet())
        for (CNode* x : exchangerList(*base->GetFlowSheet())) baseExchangers.emplace(unitName(x), x);
    std::unordered_set<const CNode*> onPaths, onLoops;
    for (int p = 0; p < m_design->GetNumberOfPaths(); ++p)
        for (CNode* u : m_design->GetPathUnits(p)) onPaths.insert(u);
    for (int l = 0; l < m_design->GetNumberOfLoops(); ++l)
        for (CNode* u : m_design->GetLoopUnits(l)) onLoops.insert(u);
    const double minF = scenario ? scenario->GetMinimumFFactor() : 0.75;

    for (CNode* unit : exchangerList(*m_design->GetFlowSheet())) {
        auto* x = static_cast<HeatExch*>(unit);
        ExchangerDeclaration d;
        d.name = unitName(unit);
        std::string* ports[4] = {&d.hotIn, &d.hotOut, &d.coldIn, &d.coldOut};
        for (int p = 0; p < 4; ++p) *ports[p] = std::to_string(SegmentNumber(portSegment(*x, p)));
        d.utility = x->IsUtilityExch();
        d.hotUtility = d.utility && isUtilityStream(x->getInlet(0));
        auto namesake = baseExchangers.find(d.name);
        const bool hasNamesake = namesake != baseExchangers.end();
        d.isNew = !d.utility && !hasNamesake;
        d.onPath = m_design->GetNumberOfPaths() < 1 || onPaths.count(unit) > 0;
        d.onLoop = onLoops.count(unit) > 0;
        long locked = 0;
        d.areaLocked = unit->getVariableAsInteger(kAreaMinimum, locked) && locked == 1;
        CPString model;
        if (unit->getVariableAsString(NodeValue::CostModelName, model)) d.costModel = model.c_str();
        if (scenario) {
            d.fixedCost = scenario->GetEconomicData(EDT_FixedCostPerUnit, d.costModel.c_str());
            d.areaCost = scenario->GetEconomicData(EDT_AreaCostCoefficient, d.costModel.c_str());
            d.areaExponent = scenario->GetEconomicData(EDT_AreaExponent, d.costModel.c_str());
        }
        d.duty = valueOr(unit, NodeValue::Duty, 0.0);
        d.maxDuty = kMaxDutyMargin * m_design->GetMaximumMatchDuty(unit);
        d.area = d.isNew || !hasNamesake ? valueOr(unit, NodeValue::HTArea, 0.0)
                                         : valueOr(namesake->second, NodeValue::HTArea, 0.0);
        d.maxAreaPerShell = valueOr(unit, NodeValue::HTMaxAreaShell, 0.0);
        d.shellsInSeries = valueOr(unit, NodeValue::NShellsInSeries, 1.0);
        d.shellsInParallel = valueOr(unit, kShellsInParallel, 1.0);
        d.fFactor = valueOr(unit, NodeValue::FtFactor, 1.0);
        d.minFFactor = minF;
        d.dtMin = valueOr(unit, NodeValue::DTMin, kDefaultDTMin);
        d.maxNewArea = valueOr(unit, kMaxNewArea, kDefaultMaxNewArea);
        d.areaSpecified = isSpecified(unit, NodeValue::HTArea);
        d.fixedDuty = isSpecified(unit, NodeValue::Duty);
        if (!d.fixedDuty && !d.areaSpecified)
            for (int p = 0; p < 4 && !d.fixedDuty; ++p)
                d.fixedDuty = isSpecified(portSegment(*x, p), NodeValue::Temperature) && isInnerPort(*x, p);
        d.arrangement = x->getHXType() == 0 ? 2 : 1;
        d.overallHTC = valueOr(unit, NodeValue::OverallHTC, 0.0);
        engine.CreateExchanger(d);
    }
}

// ---------------------------------------------------------------- results

void NetworkOptimiser::ReadBackResults(CPinchWrapper& engine) {
    for (CNode* unit : exchangerList(*m_design->GetFlowSheet())) {
        auto* x = static_cast<HeatExch*>(unit);
        double duty = 0.0, area = 0.0, t[4] = {0.0, 0.0, 0.0, 0.0};
        if (!engine.GetExchangerResults(unitName(unit).c_str(), duty, area, t[0], t[1], t[2], t[3])) continue;
        if (isSpecified(unit, NodeValue::Duty)) {
            unit->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
        } else if (isSpecified(unit, NodeValue::HTArea)) {
            unit->addVariable(NodeValue::HTArea, area, ValueStatus::Specified);
        } else {
            for (int p = 0; p < 4; ++p) {
                CNode* segment = portSegment(*x, p);
                if (isSpecified(segment, NodeValue::Temperature))
                    segment->addVariable(NodeValue::Temperature, t[p], ValueStatus::Specified);
            }
        }
    }
    for (CNode* tee : m_design->GetFlowSheet()->getAllNodesOfType(NodeKind::Tee)) {
        CNode* inlet = tee->getIthUpStreamNode(0);
        const double fraction = shareOf(inlet);
        if (!isUtilityStream(inlet) || fraction < 1.0 - 1e-9) continue;
        ReadBackSplitter(engine, tee, fraction);
    }
}

// A branch's "SplitFraction" is its share of its own splitter's inlet flow, and the engine answers
// shares of that kind; so only a top-level splitter's branches take the inlet's share of the
// stream as a factor, and the splitters nested in them take the engine's shares as they are.
void NetworkOptimiser::ReadBackSplitter(CPinchWrapper& engine, CNode* splitter, double inletFraction) {
    const int branches = splitter->getNumberOfDownStreamNodes();
    std::vector<std::vector<int>> lists;
    std::vector<BranchWalk> walks;
    for (int b = 0; b < branches; ++b) {
        walks.push_back(WalkBranch(splitter->getIthDownStreamNode(b)));
        lists.push_back(walks.back().segments);
    }
    std::vector<double> fractions;
    if (engine.GetSplitterResults(unitName(splitter).c_str(), branches, lists, fractions) &&
        static_cast<int>(fractions.size()) == branches)
        for (int b = 0; b < branches; ++b) {
            CNode* first = splitter->getIthDownStreamNode(b);
            const int status = isSpecified(first, NodeValue::SplitFraction) ? ValueStatus::Specified
                                                                             : ValueStatus::Calculated;
            first->addVariable(NodeValue::SplitFraction, fractions[static_cast<std::size_t>(b)] * inletFraction,
                               status);
        }
    for (const BranchWalk& walk : walks)
        for (CNode* inner : walk.splitters) ReadBackSplitter(engine, inner, 1.0);
}
