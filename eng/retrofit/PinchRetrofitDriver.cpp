// The retrofit driver: one modification step built into the new design.
#include "eng/retrofit/PinchRetrofitDriver.h"

#include "eng/design/DesignOptimisationCase.h"
#include "eng/design/HENDesignChain.h"
#include "eng/design/IHENDesign.h"
#include "eng/design/NetworkBuildability.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/design/AddedEquipment.h"
#include "eng/retrofit/HenRetrofit.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "win/RunDirectory.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr const char* kNewExchangerReason = "by new exchanger addition algorithm";
constexpr const char* kRetrofitReason = "by heat exchanger retrofit algorithm";
constexpr const char* kUtilityReason = "by utility exchanger modification algorithm";
constexpr const char* kHotShade = "HotShadeIt";
constexpr const char* kColdShade = "ColdShadeIt";
constexpr double kShadeNumber = 4.0;
// Above this the new exchanger's duty is written 5 kW lower when the model saw no utility saving
// in it: a margin against an exchanger at the very limit of its streams.
constexpr double kDutyMargin = 5.0;
constexpr double kNegligibleAddedArea = 1e-6;
// A duty (kW) below this is no duty: an exchanger that carries it changes nothing.
constexpr double kNegligibleDuty = 1e-3;
// The share of an exchanger's span of temperatures to which a duty settles its end temperatures.
constexpr double kDutyPrecision = 1e-6;
// The least share of a step's hot-utility saving its new exchanger must carry to be the step's
// modification rather than a token beside it. An area check may well let the existing units
// recover several times what the new one carries (they grow with the budget); a unit that carries
// a twentieth or less of the saving is no longer what the step is about.
constexpr double kTokenShare = 0.05;
constexpr int kAreaPasses = 4;
// A change-log line the report gives with the step.
constexpr const char* kNotePrefix = "Note: ";
// The duty (kW) a new exchanger gives up after the area check, which keeps it off DTmin.
constexpr double kMargin = 1.0;
constexpr int kCodeFlowsheetChanged = 17;

std::vector<CNode*> ExchangerNodes(const FlowSheet* sheet) {
    std::vector<CNode*> nodes;
    if (!sheet) return nodes;
    nodes = sheet->getAllNodesOfType(NodeKind::CountercurrentHX);
    for (CNode* x : sheet->getAllNodesOfType(NodeKind::HeatExchanger)) nodes.push_back(x);
    return nodes;
}

IHeatIntegrationStream* StreamOf(CNode* node) {
    auto* piece = dynamic_cast<StreamPiece*>(node);
    return piece ? dynamic_cast<IHeatIntegrationStream*>(piece->getParentPIStream()) : nullptr;
}

double DutyOf(const CNode* node) {
    double duty = 0.0;
    return node && node->getVariableAsDouble(NodeValue::Duty, duty) && std::isfinite(duty) ? duty : 0.0;
}

// How much more the process exchangers on `stream` carry than the stream holds (kW, 0 when they
// leave its heaters or coolers something to do). One pass over the network's exchangers.
double ProcessDutyBeyondLoad(const FlowSheet* sheet, IHeatIntegrationStream* stream) {
    if (!stream) return 0.0;
    double duties = 0.0;
    for (CNode* node : ExchangerNodes(sheet)) {
        HeatExch* x = AsHeatExch(node);
        if (!x || x->IsUtilityExch()) continue;
        if (StreamOf(x->getInlet(0)) == stream || StreamOf(x->getInlet(1)) == stream) duties += DutyOf(node);
    }
    return std::max(0.0, duties - std::fabs(stream->GetHeatLoad(0)));
}

bool IsExchanger(const CNode* node) {
    return node && (node->getClassName() == NodeKind::HeatExchanger ||
                    node->getClassName() == NodeKind::CountercurrentHX);
}

bool IsTeeOrMixer(const CNode* node) {
    return node && (node->getClassName() == NodeKind::Tee || node->getClassName() == NodeKind::Mixer);
}

std::uint32_t FingerPrint(const CNode* node) { return node ? node->getDNAFingerPrint() : 0; }

// Shading of a side of a moved or added exchanger, written open and then specified.
void Shade(CNode* unit, const char* name) {
    unit->addVariable(name, kShadeNumber, ValueStatus::Open, 0);
    unit->addVariable(name, kShadeNumber, ValueStatus::Specified, 0);
}

void RemovePortUtilities(IHENDesign& design, CNode* unit) {
    for (int port = 0; port < 4; ++port) design.RemoveUtilityAtPort(unit, port);
}

// The first unit up (or down) the stream from a segment, past segments and utility placeholders.
CNode* NeighbourUnit(CNode* from, bool upstream) {
    CNode* node = from;
    for (int guard = 0; node && guard < 1000000; ++guard) {
        node = upstream ? node->getFirstUpStreamNode() : node->getFirstDownStreamNode();
        if (!node || (node->getClassName() != NodeKind::Heater && node->getClassName() != NodeKind::MaterialStream))
            return node;
    }
    return nullptr;
}

// The value a locked network runs at, or the design's own where the lock kept it (`kept`) and the
// network gives it back to the area equations' precision: the area check searches from the very
// point the same network not locked starts from, and a search that rounding in the last digit
// sends elsewhere then never sees the lock.
double DesignedWhereItRuns(const CNode* node, const char* kept, double running, bool& taken) {
    double designed = 0.0;
    if (!node->getVariableAsDouble(kept, designed) || !std::isfinite(designed)) return running;
    const double scale = std::max(std::fabs(designed), std::fabs(running));
    if (!(std::fabs(designed - running) <= chain::kFrozenAreaDutyPrecision * scale)) return running;
    taken = true;
    return designed;
}

double SumAddedArea(const std::vector<CNode*>& nodes) {
    double sum = 0.0;
    for (CNode* node : nodes) {
        double area = 0.0;
        if (node->getVariableAsDouble("AddArea", area)) sum += area;
    }
    return sum;
}

// Whether the unit, as calculated, runs below the approach `dtMin` (its own DTmin where it has
// one) by more than a duty's precision.
bool RunsBelowDTmin(const IHENDesign& design, CNode* unit, double dtMin) {
    double t[4];
    for (int port = 0; port < 4; ++port)
        if (!design.GetExchangerPortTemperature(unit, port, t[port])) return false;
    double own = 0.0;
    if (unit->getVariableAsDouble(NodeValue::DTMin, own) && std::isfinite(own) && own > 0.0) dtMin = own;
    const double precision = kDutyPrecision * std::max(1.0, std::fabs(t[0] - t[2]));
    return std::min(t[0] - t[3], t[1] - t[2]) < dtMin - precision;
}

}  // namespace

// A plant exchanger given by its area runs at the duty that area gives in the base network; in a
// step it keeps that duty, as an exchanger given by its duty does, and the area check may add area
// to it (the added area is what the step pays for). Held at its area instead, it would pass on any
// change of its inlets, and a stream without a heater or cooler would be left short of its target.
bool PinchRetrofitDriver::HoldExistingDuties() {
    bool changed = false, designed = false;
    for (CNode* node : ExchangerNodes(m_design->GetFlowSheet())) {
        const HeatExch* x = AsHeatExch(node);
        double duty = 0.0;
        if (!x || x->IsUtilityExch() || node->getVariableStatus(NodeValue::HTArea) != ValueStatus::Specified ||
            !node->getVariableAsDouble(NodeValue::Duty, duty) || !std::isfinite(duty))
            continue;
        const bool belowDTmin = RunsBelowDTmin(*m_design, node, m_settings->dDTmin);
        duty = DesignedWhereItRuns(node, chain::kDesignedDuty, duty, designed);
        node->addVariable(NodeValue::HTArea, CPValue::Empty, ValueStatus::Open);
        node->addVariable(NodeValue::Duty, duty, ValueStatus::Specified, 0);
        // The duty came from the area equations. A unit they put a hair below DTmin stood in the
        // base only by their precision, and at that duty is judged at it; every other unit is
        // the unit of the same plant given by its duty, judged as that one is (the precision
        // would widen the area check's feasible region around it, and so move the step).
        if (belowDTmin) node->addVariable(NodeValue::DutyFromArea, duty, ValueStatus::Specified, 0);
        changed = true;
    }
    // A network locked for operation works its splits' shares out from the frozen areas; the
    // shares the design was given are kept with the branches. Taken at its duties, the network is
    // the design again: those branches are given their shares (the ones the network runs at, the
    // design's where it runs at those), so that the step searches the shares the same network not
    // locked offers it.
    const FlowSheet* sheet = m_design->GetFlowSheet();
    for (CNode* tee : sheet ? sheet->getAllNodesOfType(NodeKind::Tee) : std::vector<CNode*>())
        for (CNode* branch : tee->getAllDownStreamNodes()) {
            double given = 0.0, share = 0.0;
            if (!branch->getVariableAsDouble(chain::kDesignedSplitFraction, given) ||
                branch->getVariableStatus(NodeValue::SplitFraction) == ValueStatus::Specified)
                continue;
            if (!branch->getVariableAsDouble(NodeValue::SplitFraction, share) || !std::isfinite(share) || share < 0.0 ||
                share > 1.0)
                share = given;
            share = DesignedWhereItRuns(branch, chain::kDesignedSplitFraction, share, designed);
            branch->addVariable(NodeValue::SplitFraction, share, ValueStatus::Specified);
            changed = true;
        }
    if (changed) m_design->ProcessChange(kCodeFlowsheetChanged, CPString(), nullptr);
    return designed;
}

bool PinchRetrofitDriver::RepeatsEarlierMove(std::uint32_t unit, std::uint32_t hot, std::uint32_t cold,
                                             const CPString& name) {
    const int step = m_settings->nPreviousModifications + 1;
    for (const OfferedMove& m : m_moves)
        if (m.unit == unit && m.hot == hot && m.cold == cold) {
            m_settings->strDiscardReason = "the model offers the move of step " + std::to_string(m.step) + " again (" +
                                           name.c_str() + " to the same places)";
            return true;
        }
    m_moves.push_back({step, unit, hot, cold});
    return false;
}

void PinchRetrofitDriver::KeepHistoryEntry(std::array<int, 5>& history, int id) const {
    const int index = m_settings->nPreviousModifications;
    if (index >= 0 && index < static_cast<int>(history.size())) history[static_cast<std::size_t>(index)] = id;
}

std::unique_ptr<IHenRetrofit> PinchRetrofitDriver::CreateAnalysis() { return std::make_unique<HenRetrofit>(); }

CNode* PinchRetrofitDriver::Node(std::uint32_t fingerprint) const {
    return fingerprint ? m_design->GetNodeByFingerPrint(fingerprint) : nullptr;
}

int PinchRetrofitDriver::Run(ScenarioRetrofitSettings& settings, IHENDesign& newDesign) {
    m_settings = &settings;
    m_design = &newDesign;
    m_modifiedUnit = 0;
    RunDirectory logs("kestrin-solver-");
    struct ForgetLogs {
        PinchRetrofitDriver& driver;
        ~ForgetLogs() {
            driver.m_logs = nullptr;
            driver.m_solverLogPath.clear();
        }
    } forgetLogs{*this};
    m_logs = &logs;
    m_solverLogPath = logs.FilePath(kSolverLogName);

    int result = NotValid;
    const int mode = settings.nMode;
    settings.strDiscardReason.clear();
    const bool designed = mode >= 0 && mode <= 2 && HoldExistingDuties();
    if (mode >= 0 && mode <= 3) {
        std::unique_ptr<IHenRetrofit> analysis = CreateAnalysis();
        // A network locked for operation taken at the duties and shares of its design is modelled
        // as that design: its heaters and coolers then carry what the design's own duties leave
        // them (the locked base's carry the area equations' rounding, and a new exchanger sized
        // on those would run one of them backwards by that rounding).
        analysis->SetFlowSheet(designed ? newDesign.GetFlowSheet() : settings.pBaseFlowSheet);
        analysis->SetDTMin(settings.dDTmin);
        analysis->SetDesign(&newDesign);
        analysis->RunRetrofitPinch();
        if (mode <= 2) {
            const int count = settings.nPreviousModifications;
            std::array<int, 5>& history = mode == 0   ? settings.newExchangerHistory
                                          : mode == 1 ? settings.repipeHistory
                                                      : settings.resequenceHistory;
            if (count == 0) {
                history.fill(0);
                m_kept.Clear();
                m_moves.clear();
            }
            analysis->SetModelReduction(&m_kept);
            analysis->SetNumberOfPreviousModifications(count);
            if (mode == 0) analysis->SetNewExchangerHistory(history.data());
            if (mode == 1) analysis->SetRepipeHistory(history.data());
            if (mode == 2) analysis->SetResequenceHistory(history.data());
        }
        if ((mode == 1 || mode == 2) && analysis->GetNumberOfProcessExchangers() == 0) {
            result = NoProcessExchanger;
        } else {
            newDesign.SetStoredTextA(CPString(analysis->GetBottleneckText()));
            switch (mode) {
            case 0: result = AddNewExchanger(*analysis); break;
            case 1: result = RepipeExchanger(*analysis); break;
            case 2: result = ResequenceExchanger(*analysis); break;
            default: result = ModifyUtilityExchanger(*analysis); break;
            }
            if (const char* search = analysis->GetModificationSearchNote(); mode <= 2 && search && *search)
                newDesign.AddToChangeLog(CPString(kNotePrefix) + search);
        }
    }

    settings.dPlacedCapital = 0.0;
    if (result == NewExchangerAdded || result == ExchangerRepiped || result == ExchangerResequenced) {
        settings.dPlacedCapital = newDesign.CalculateCapitalCost();
        const PlacedNetwork placed = KeepPlacedNetwork();
        const int area = CheckAreaLimits();
        // The margin's notes wait for the network the step keeps: a network given up below
        // would leave them speaking of units it no longer has at those duties.
        std::vector<CPString> marginNotes;
        if (result == NewExchangerAdded && area == 3) marginNotes = LowerNewExchangerDuty();
        else if (area == 1) {
            result = OptimisationFailed;
            settings.strDiscardReason = "the area check's optimisation of the network failed";
        } else if (area == 2) {
            result = AreaStillAdded;
            settings.strDiscardReason = AreaLeftOnHeldUnits();
        }
        // The area check weighs capital against utility cost over every duty of the network; where
        // the network it ends with cannot be built (a stream short of its target, an exchanger
        // below DTmin), the modification stands as it was placed, which the scenario then judges
        // by its own capital and saving.
        if ((result == NewExchangerAdded || result == ExchangerRepiped || result == ExchangerResequenced) &&
            !WhyNetworkIsNotBuildable(newDesign, settings.pBaseDesign, settings.dDTmin).empty()) {
            RestorePlacedNetwork(placed);
            marginNotes.clear();
            if (result == NewExchangerAdded) marginNotes = LowerNewExchangerDuty();
            newDesign.AddToChangeLog(CPString(kNotePrefix) +
                                     "the area check left a network that cannot be built; the modification stands as placed");
        }
        for (const CPString& text : marginNotes) newDesign.AddToChangeLog(text);
    }
    // A new, repiped or resequenced exchanger that the area check left without duty is no
    // modification: whatever the step saves, it saves elsewhere, so the step is not kept.
    if ((result == NewExchangerAdded || result == ExchangerRepiped || result == ExchangerResequenced) &&
        !CarriesDuty(m_modifiedUnit)) {
        result = mode == 0 ? NoNewExchanger : mode == 1 ? NoRepiping : NoResequencing;
        // The area check weighs capital against the budget: where the modification as placed
        // needed more than the budget allows, the budget is what took it down to nothing.
        const IHeatIntegrationScenario* scenario = newDesign.GetScenario();
        const double budget = scenario ? scenario->GetOptimizerEconomicParameter() : 0.0;
        if (scenario && settings.dPlacedCapital > budget) {
            char text[200];
            std::snprintf(text, sizeof text,
                          "the budget of %.2f allows less than the %.2f of capital the modification needs: the area "
                          "check left the modified exchanger without duty",
                          budget, settings.dPlacedCapital);
            settings.strDiscardReason = text;
        } else {
            settings.strDiscardReason = "the area check left the modified exchanger without duty";
        }
    }
    // A new, repiped or resequenced exchanger is judged by the heat it recovers: where it carries
    // only a small share of what the step saves in hot utility, the saving comes from the existing
    // units the area check enlarged, and the modified unit is only a token.
    if ((result == NewExchangerAdded || result == ExchangerRepiped || result == ExchangerResequenced) &&
        settings.pBaseDesign) {
        const double saved = settings.pBaseDesign->GetTotalUtilityLoad(0) - newDesign.GetTotalUtilityLoad(0);
        double duty = 0.0;
        CNode* unit = Node(m_modifiedUnit);
        if (unit && unit->getVariableAsDouble(NodeValue::Duty, duty) && saved > 0.0 &&
            std::fabs(duty) <= kTokenShare * saved) {
            result = mode == 0 ? NoNewExchanger : mode == 1 ? NoRepiping : NoResequencing;
            CPString name;
            if (!unit->getVariableAsString(NodeValue::UnitOperationName, name) || name.empty()) name = unit->getName();
            char text[400];
            std::snprintf(text, sizeof text,
                          "%.100s carries %.2f kW, a twentieth or less of the %.2f kW of hot utility the step saves: "
                          "the saving comes from the existing units the area check enlarged",
                          name.c_str(), duty, saved);
            settings.strDiscardReason = text;
        }
    }
    if (result == NoNewExchanger && mode == 0 && settings.strDiscardReason.empty())
        settings.strDiscardReason = "the model found no new exchanger that saves utility cost and carries heat";
    if (result == NoRepiping && mode == 1 && settings.strDiscardReason.empty())
        settings.strDiscardReason = "the model found no repiping that saves utility cost";
    if (result == RepipingInPlace && mode == 1 && settings.strDiscardReason.empty())
        settings.strDiscardReason =
            "the model would put the exchanger's sides where they already are, or next to a tee or mixer";
    if (result == NoResequencing && mode == 2 && settings.strDiscardReason.empty())
        settings.strDiscardReason = "the model found no resequencing that saves utility cost";
    if (mode == 4) {
        newDesign.MakeNetworkFeasible(nullptr);
        result = RunDesignOptimisation(1) ? DesignOptimised : OptimisationFailed;
    }
    // What the step added to each unit is measured on the design as the step leaves it, against
    // the retrofit's base design, as the step's capital and saving are.
    if (!RetrofitDriver::IsDiscardResult(result))
        RecordAddedEquipment(settings.pReferenceFlowSheet ? settings.pReferenceFlowSheet : settings.pBaseFlowSheet,
                             newDesign);
    m_design = nullptr;
    m_settings = nullptr;
    return result;
}

int PinchRetrofitDriver::CheckSolverLog(int otherwise) const {
    std::string text;
    if (!m_logs || !m_logs->ReadFile(kSolverLogName, text)) return otherwise;
    return text.find(kSolverErrorText) != std::string::npos ? SolverError : otherwise;
}

// ---------------------------------------------------------------- the four modifications

int PinchRetrofitDriver::AddNewExchanger(IHenRetrofit& r) {
    if (!r.RunNewExchangerAddition()) return CheckSolverLog(NoNewExchanger);
    KeepHistoryEntry(m_settings->newExchangerHistory, r.GetNewExchangerHistory(m_settings->nPreviousModifications));
    if (r.GetModificationBenefit() == 0.0) return NoNewExchanger;
    double duty = r.GetModificationDuty();
    if (r.GetNewExchangerIndicator() == 0.0 && duty > kDutyMargin) duty -= kDutyMargin;

    const int inner[2] = {r.GetNewExchangerResult2(), r.GetNewExchangerResult3()};
    const std::uint32_t h = Location(r.GetNewExchangerHotLocation(), inner, 0);
    const std::uint32_t c = Location(r.GetNewExchangerColdLocation(), inner, 1);
    if (!r.GetNewExchangerHotLocation() || !r.GetNewExchangerColdLocation()) return NoNewExchanger;
    if (!h || !c) return NotValid;
    CNode* hot = Node(h);
    CNode* cold = Node(c);
    if (!hot || !cold) return NotValid;
    // The heaters and coolers of the plant take what their streams still need once the new
    // exchanger is in, not the duties they ran at before.
    m_design->LetUtilityExchangersFollowDemand();
    // The new unit is of the network's own type; a network of both types gets a shell-and-tube
    // unit, the one whose area does not rest on pure counterflow.
    int countercurrent = 0, shellAndTube = 0;
    for (CNode* node : ExchangerNodes(m_design->GetFlowSheet())) {
        const HeatExch* unit = AsHeatExch(node);
        if (!unit || unit->IsUtilityExch()) continue;
        ++(unit->getHXType() == 1 ? shellAndTube : countercurrent);
    }
    const bool counterflow = countercurrent > 0 && shellAndTube == 0;
    CNode* x = m_design->AddHeatExchanger(hot, cold, kNewExchangerReason,
                                          counterflow ? NodeKind::CountercurrentHX : NodeKind::HeatExchanger, nullptr);
    if (!x) return NotValid;
    m_design->SpecifyExchangerValue(x, NodeValue::HXType, counterflow ? 0.0 : 1.0);
    if (countercurrent > 0 && shellAndTube > 0)
        m_design->AddToChangeLog(CPString(kNotePrefix) +
                                 "the network has countercurrent and shell-and-tube exchangers; the new one is shell-and-tube");
    x->addVariable(NodeValue::Duty, duty, ValueStatus::Specified, 0);
    x->addVariable(NodeValue::HTMaxAreaShell, m_design->GetHTMaxAreaShell(), ValueStatus::Specified, 1);
    x->addVariable(kColdShade, kShadeNumber, ValueStatus::Open, 0);
    x->addVariable(kHotShade, kShadeNumber, ValueStatus::Open, 0);
    x->addVariable(kColdShade, kShadeNumber, ValueStatus::Specified, 0);
    x->addVariable(kHotShade, kShadeNumber, ValueStatus::Specified, 0);
    x->addVariable("DTMin", m_settings->dDTmin, ValueStatus::Specified, 1);
    RemovePortUtilities(*m_design, x);
    // The model keeps each exchanger's heat balance only to within a small tolerance, and the
    // saving it seeks pushes the duty to the edge of that tolerance: the duty is lowered to what
    // the two inlets allow at the design's DTmin, so that the network starts feasible.
    double largest = 0.0;
    const HeatExch* added = AsHeatExch(x);
    const bool bounded = added && added->LargestDutyAtApproach(m_settings->dDTmin, largest);
    // Where the hot side meets the cold one too cold to pass heat at DTmin, there is no exchanger.
    if (bounded && largest <= kNegligibleDuty) return NoNewExchanger;
    if (bounded && duty > largest) {
        x->addVariable(NodeValue::Duty, largest, ValueStatus::Specified, 0);
        m_design->ProcessChange(kCodeFlowsheetChanged, CPString(), nullptr);
    }
    // The model may let an existing exchanger give way to the new one; placed, the existing ones
    // keep their duties, and a new duty beyond what the heaters or coolers of its two streams
    // carry would run one of them backwards, past the stream's target. The new unit takes over
    // what they carry and no more.
    if (added) {
        const FlowSheet* sheet = m_design->GetFlowSheet();
        const double beyond = std::max(ProcessDutyBeyondLoad(sheet, StreamOf(added->getInlet(0))),
                                       ProcessDutyBeyondLoad(sheet, StreamOf(added->getInlet(1))));
        if (beyond > kNegligibleDuty) {
            const double kept = DutyOf(x) - beyond;
            if (kept <= kNegligibleDuty) return NoNewExchanger;
            x->addVariable(NodeValue::Duty, kept, ValueStatus::Specified, 0);
            m_design->ProcessChange(kCodeFlowsheetChanged, CPString(), nullptr);
        }
    }
    CPString name;
    x->getVariableAsString(NodeValue::UnitOperationName, name);
    m_design->SetStoredTextB(name);
    m_modifiedUnit = x->getDNAFingerPrint();
    if (!AreApproachesPositive()) m_design->MakeNetworkFeasible(x);
    return NewExchangerAdded;
}

// Both sides of an existing exchanger go to a new place: its hot inlet to the hot location and its
// cold inlet to the cold location.
int PinchRetrofitDriver::RepipeExchanger(IHenRetrofit& r) {
    if (!r.RunRepiping()) return CheckSolverLog(NoRepiping);
    KeepHistoryEntry(m_settings->repipeHistory, r.GetRepipeHistory(m_settings->nPreviousModifications));
    if (r.GetModificationBenefit() == 0.0) return NoRepiping;
    const double duty = r.GetModificationDuty();
    const int inner[2] = {r.GetRepipeResult2(), r.GetRepipeResult3()};
    const std::uint32_t h = Location(r.GetRepipeHotLocation(), inner, 0);
    const std::uint32_t c = Location(r.GetRepipeColdLocation(), inner, 1);
    const std::uint32_t e = static_cast<std::uint32_t>(r.GetRepipedExchangerId());
    if (!r.GetRepipeHotLocation() || !r.GetRepipeColdLocation() || !e) return NoRepiping;
    if (!h || !c || !HasExchangers()) return NotValid;
    CNode* unit = Node(e);
    HeatExch* x = AsHeatExch(unit);
    if (!x) return NotValid;
    CPString name;
    unit->getVariableAsString(NodeValue::UnitOperationName, name);
    m_design->SetStoredTextC(name);
    m_modifiedUnit = e;
    CNode* hot = Node(h);
    CNode* cold = Node(c);
    CNode* hotInlet = x->getInlet(0);
    CNode* coldInlet = x->getInlet(1);
    if (!hot || !cold || !hotInlet || !coldInlet) return NotValid;
    CNode* hotOutlet = x->getOutlet(0);
    CNode* coldOutlet = x->getOutlet(1);
    if (FingerPrint(hotInlet) == h || FingerPrint(coldInlet) == c ||
        (FingerPrint(hotOutlet) == h && IsTeeOrMixer(hot->getFirstDownStreamNode())) ||
        (FingerPrint(coldOutlet) == c && IsTeeOrMixer(cold->getFirstDownStreamNode())))
        return RepipingInPlace;

    // The units the exchanger leaves behind lose the utilities at the ports that faced it. They
    // are found before the move, which may take the segments around the old place away.
    const std::uint32_t hotBefore = FingerPrint(NeighbourUnit(hotInlet, true));
    const std::uint32_t hotAfter = FingerPrint(NeighbourUnit(hotOutlet, false));
    const std::uint32_t coldBefore = FingerPrint(NeighbourUnit(coldInlet, true));
    const std::uint32_t coldAfter = FingerPrint(NeighbourUnit(coldOutlet, false));
    m_design->LetUtilityExchangersFollowDemand();

    // Both sides already where the model would put them: nothing moves, and a new duty alone is
    // no repiping.
    if (FingerPrint(hotOutlet) == h && FingerPrint(coldOutlet) == c) return RepipingInPlace;
    if (RepeatsEarlierMove(e, h, c, name)) return NoRepiping;
    // A location at the exchanger's own outlet is where the side already is: moving the side
    // there would detach it from the very segment it is to be attached to.
    if (FingerPrint(hotOutlet) != h && !m_design->MoveHeatExchangerSide(unit, hotInlet, hot, kRetrofitReason))
        return NotValid;
    if (FingerPrint(coldOutlet) != c && !m_design->MoveHeatExchangerSide(unit, coldInlet, cold, kRetrofitReason))
        return NotValid;
    Shade(unit, kColdShade);
    Shade(unit, kHotShade);
    unit->addVariable(NodeValue::Duty, duty, ValueStatus::Specified, 0);
    RemovePortUtilities(*m_design, unit);
    auto removeAt = [&](std::uint32_t fingerprint, int port) {
        CNode* neighbour = Node(fingerprint);
        if (IsExchanger(neighbour) && neighbour != unit) m_design->RemoveUtilityAtPort(neighbour, port);
    };
    removeAt(hotBefore, 1);
    removeAt(hotAfter, 0);
    removeAt(coldBefore, 3);
    removeAt(coldAfter, 2);
    m_design->MakeNetworkFeasible(unit);
    return ExchangerRepiped;
}

// An existing exchanger moves along its streams: each side whose location differs from where it
// sits now goes there.
int PinchRetrofitDriver::ResequenceExchanger(IHenRetrofit& r) {
    if (!r.RunResequencing()) return CheckSolverLog(NoResequencing);
    KeepHistoryEntry(m_settings->resequenceHistory, r.GetResequenceHistory(m_settings->nPreviousModifications));
    if (r.GetModificationBenefit() == 0.0) return NoResequencing;
    double duty = r.GetModificationDuty();
    if (r.GetResequenceIndicator() == 0.0 && duty > kDutyMargin) duty -= kDutyMargin;
    const int inner[2] = {r.GetResequenceResult2(), r.GetResequenceResult3()};
    const std::uint32_t h = Location(r.GetResequenceHotLocation(), inner, 0);
    const std::uint32_t c = Location(r.GetResequenceColdLocation(), inner, 1);
    const std::uint32_t e = static_cast<std::uint32_t>(r.GetResequencedExchangerId());
    if (!r.GetResequenceHotLocation() || !r.GetResequenceColdLocation() || !e) return NoResequencing;
    if (!h || !c || !HasExchangers()) return NotValid;
    CNode* unit = Node(e);
    HeatExch* x = AsHeatExch(unit);
    CNode* hot = Node(h);
    CNode* cold = Node(c);
    CNode* hotInlet = x ? x->getInlet(0) : nullptr;
    CNode* coldInlet = x ? x->getInlet(1) : nullptr;
    if (!x || !hot || !cold || !hotInlet || !coldInlet) return NotValid;
    const bool moveHot = h != FingerPrint(hotInlet) && h != FingerPrint(x->getOutlet(0));
    const bool moveCold = c != FingerPrint(coldInlet) && c != FingerPrint(x->getOutlet(1));
    CPString name;
    if (!unit->getVariableAsString(NodeValue::UnitOperationName, name) || name.empty()) name = unit->getName();
    if (!moveHot && !moveCold) {
        m_settings->strDiscardReason = std::string("the model would leave ") + name.c_str() + " where it sits on both streams";
        return NoResequencing;
    }
    if (RepeatsEarlierMove(e, moveHot ? h : FingerPrint(hotInlet), moveCold ? c : FingerPrint(coldInlet), name))
        return NoResequencing;
    m_modifiedUnit = e;
    const std::uint32_t hotBefore = FingerPrint(hotInlet->getFirstUpStreamNode());
    const std::uint32_t coldBefore = FingerPrint(coldInlet->getFirstUpStreamNode());
    m_design->LetUtilityExchangersFollowDemand();
    if (moveHot && !m_design->MoveHeatExchangerSide(unit, hotInlet, hot, kRetrofitReason)) return NotValid;
    if (moveCold && !m_design->MoveHeatExchangerSide(unit, coldInlet, cold, kRetrofitReason)) return NotValid;
    if (moveHot) Shade(unit, kHotShade);
    if (moveCold) Shade(unit, kColdShade);
    unit->addVariable(NodeValue::Duty, duty, ValueStatus::Specified, 0);
    RemovePortUtilities(*m_design, unit);
    auto removeAt = [&](std::uint32_t fingerprint, int port) {
        CNode* neighbour = Node(fingerprint);
        if (IsExchanger(neighbour) && neighbour != unit) m_design->RemoveUtilityAtPort(neighbour, port);
    };
    if (moveHot) removeAt(hotBefore, 1);
    if (moveCold) removeAt(coldBefore, 3);
    m_design->MakeNetworkFeasible(unit);
    return ExchangerResequenced;
}

int PinchRetrofitDriver::ModifyUtilityExchanger(IHenRetrofit& r) {
    const int hotUtilities = r.GetNumberOfHotUtilities(), coldUtilities = r.GetNumberOfColdUtilities();
    const int coolers = r.GetNumberOfCoolers(), heaters = r.GetNumberOfHeaters();
    if (coolers > 0 && coldUtilities <= 1 && heaters > 0 && hotUtilities <= 1) return NoAlternativeUtility;
    if (!r.CalculateUtilityExchangerSavings()) {
        m_settings->strDiscardReason =
            r.WereUtilitySavingsComputed()
                ? "no other utility serves a heater or cooler for less utility and annualised capital cost"
                : "the savings of moving a heater or cooler to another utility could not be computed";
        return SavingsFailed;
    }

    struct Best {
        int index = -1;
        double saving = 0.0;
    };
    auto bestOf = [](const std::vector<double>* savings) {
        Best best;
        if (!savings) return best;
        for (std::size_t i = 0; i < savings->size(); ++i)
            if ((*savings)[i] > 0.0 && (*savings)[i] > best.saving) best = {static_cast<int>(i), (*savings)[i]};
        return best;
    };
    const Best cooler = r.HasCoolerSavings() ? bestOf(r.GetCoolerSavings()) : Best();
    const Best heater = r.HasHeaterSavings() ? bestOf(r.GetHeaterSavings()) : Best();
    const bool useHeater = heater.index >= 0 && (cooler.index < 0 || heater.saving >= cooler.saving);
    if (!useHeater && cooler.index < 0) return NotValid;
    if (!HasExchangers()) return NotValid;

    const std::vector<std::uint32_t>* ids = useHeater ? r.GetHeaterExchangerIds() : r.GetCoolerExchangerIds();
    const std::vector<CPString>* names =
        useHeater ? r.GetHeaterAlternativeUtilityNames() : r.GetCoolerAlternativeUtilityNames();
    const std::size_t index = static_cast<std::size_t>(useHeater ? heater.index : cooler.index);
    if (!ids || !names || index >= ids->size() || index >= names->size()) return NotValid;
    CNode* unit = Node((*ids)[index]);
    HeatExch* x = AsHeatExch(unit);
    const int side = useHeater ? 0 : 1;
    CNode* outlet = x ? x->getOutlet(side) : nullptr;
    CNode* end = m_design->GetStreamBlock((*names)[index], true);
    CNode* target = end ? end->getFirstUpStreamNode() : nullptr;
    if (!outlet || !target || !m_design->MoveHeatExchangerSide(unit, outlet, target, kUtilityReason)) return NotValid;
    Shade(unit, useHeater ? kHotShade : kColdShade);
    if (useHeater) RemovePortUtilities(*m_design, unit);
    return UtilityChanged;
}

// ---------------------------------------------------------------- checks

bool PinchRetrofitDriver::IsProcessStreamLocation(std::uint32_t fingerprint, int side) const {
    const FlowSheet* sheet = m_settings ? m_settings->pBaseFlowSheet : nullptr;
    CNode* node = sheet ? sheet->getNodeByFingerPrint(fingerprint) : nullptr;
    const auto* piece = dynamic_cast<const StreamNode*>(node);
    if (!piece || node->getClassName() != NodeKind::MaterialStream) return false;
    const auto* stream = dynamic_cast<const IHeatIntegrationStream*>(piece->getParentPIStream());
    return stream && stream->GetStreamKind() != 1 && stream->AreDesignSegmentsComplete() &&
           (side < 0 || stream->GetHotCold() == side);
}

// The hot (cold) location is traced from the candidate's outlet back to the network; the two inner
// results are traced from its inlets forward, one on each side, and end where the candidate meets
// the network too. A trace that stops on a stream piece the model made for its candidates names no
// place of the design: the inner result on a stream of the same side is taken instead. 0 when a
// result is 0 or none lies on a process stream of that side.
std::uint32_t PinchRetrofitDriver::Location(int outletTrace, const int inletTraces[2], int side) const {
    if (!outletTrace || !inletTraces[0] || !inletTraces[1]) return 0;
    for (int candidate : {outletTrace, inletTraces[0], inletTraces[1]}) {
        const std::uint32_t node = static_cast<std::uint32_t>(candidate);
        if (IsProcessStreamLocation(node, side)) return node;
    }
    return 0;
}

bool PinchRetrofitDriver::CarriesDuty(std::uint32_t fingerprint) const {
    CNode* unit = Node(fingerprint);
    double duty = 0.0;
    return unit && unit->getVariableAsDouble(NodeValue::Duty, duty) && std::fabs(duty) >= kNegligibleDuty;
}

bool PinchRetrofitDriver::HasExchangers() const {
    return m_settings && !ExchangerNodes(m_settings->pBaseFlowSheet).empty();
}

bool PinchRetrofitDriver::AreApproachesPositive() const {
    for (CNode* node : ExchangerNodes(m_design->GetFlowSheet())) {
        HeatExch* x = AsHeatExch(node);
        double coldIn = 0.0, coldOut = 0.0, hotIn = 0.0, hotOut = 0.0;
        if (!x || !x->getInlet(1) || !x->getOutlet(1) || !x->getInlet(0) || !x->getOutlet(0) ||
            !x->getInlet(1)->getVariableAsDouble(NodeValue::Temperature, coldIn) ||
            !x->getOutlet(1)->getVariableAsDouble(NodeValue::Temperature, coldOut) ||
            !x->getInlet(0)->getVariableAsDouble(NodeValue::Temperature, hotIn) ||
            !x->getOutlet(0)->getVariableAsDouble(NodeValue::Temperature, hotOut))
            continue;
        if (hotIn - coldOut < 0.001 || hotOut - coldIn < 0.001) return false;
    }
    return true;
}

// Weighted optimisation passes that push the added area of the exchangers marked "AreaMinimum"
// towards zero; a pass that meets the threshold ends the check as met, whichever pass it is.
// The units held to their area that the area check could not bring back to it, each with the
// area it still adds ("E1 adds 5.00 m2"), for the step it discards.
std::string PinchRetrofitDriver::AreaLeftOnHeldUnits() const {
    std::string units;
    for (CNode* node : ExchangerNodes(m_design->GetFlowSheet())) {
        long held = 0;
        double added = 0.0;
        if (!node->getVariableAsInteger("AreaMinimum", held) || held == 0 || !node->getVariableAsDouble("AddArea", added) ||
            !(added > 0.0))
            continue;
        CPString name;
        if (!node->getVariableAsString(NodeValue::UnitOperationName, name) || name.empty()) name = node->getName();
        char text[160];
        std::snprintf(text, sizeof text, "%.100s adds %.2f m2", name.c_str(), added);
        units += (units.empty() ? "" : ", ") + std::string(text);
    }
    return "the area check could not keep the units held to their area at it: " +
           (units.empty() ? std::string("they still add area") : units);
}

int PinchRetrofitDriver::CheckAreaLimits() {
    const std::vector<CNode*> exchangers = ExchangerNodes(m_design->GetFlowSheet());
    std::vector<CNode*> limited;
    for (CNode* node : exchangers) {
        for (const char* name : {"MaxSpareArea", "MaxNewArea"}) {
            double value = 0.0;
            if (!node->getVariableAsDouble(name, value)) value = 0.0;
            node->addVariable(name, value, ValueStatus::Specified, 0);
        }
        long minimum = 0;
        if (node->getVariableAsInteger("AreaMinimum", minimum) && minimum != 0) limited.push_back(node);
    }
    auto negligible = [&](double added) {
        return added <= 0.0 || added < kNegligibleAddedArea * m_design->GetTotalArea();
    };
    if (!limited.empty()) RecordAddedEquipment(m_settings->pBaseFlowSheet, *m_design);
    bool done = limited.empty();
    double weight = done ? 1.0 : 100.0;
    double best = done ? 0.0 : SumAddedArea(limited);
    int bestPass = 0, pass = 0;
    bool ok = true;
    do {
        ++pass;
        ok = RunDesignOptimisation(static_cast<int>(weight));
        RecordAddedEquipment(m_settings->pBaseFlowSheet, *m_design);
        if (!limited.empty()) {
            const double added = SumAddedArea(limited);
            if (negligible(added)) done = true;
            if (added < best) {
                best = added;
                bestPass = pass;
            }
        }
        weight *= 10.0;
    } while (ok && !done && pass < kAreaPasses);
    // The design holds the last pass; when an earlier pass left less added area, run that one again.
    if (!done && bestPass != pass) {
        int again = 100;
        for (int i = 1; i < bestPass; ++i) again *= 10;
        ok = RunDesignOptimisation(again);
        RecordAddedEquipment(m_settings->pBaseFlowSheet, *m_design);
        if (ok && negligible(SumAddedArea(limited))) done = true;
    }
    if (!ok) return 1;
    return done ? 3 : 2;
}

// The new exchanger gives up its margin; a heater or cooler that carried less than the margin
// before is in service for the margin's sake alone, which the returned notes say.
std::vector<CPString> PinchRetrofitDriver::LowerNewExchangerDuty() {
    std::vector<CPString> notes;
    std::vector<std::pair<CNode*, double>> utilities;
    for (CNode* node : ExchangerNodes(m_design->GetFlowSheet()))
        if (const HeatExch* unit = AsHeatExch(node); unit && unit->IsUtilityExch()) {
            double duty = 0.0;
            node->getVariableAsDouble(NodeValue::Duty, duty);
            utilities.emplace_back(node, duty);
        }
    m_design->LowerNamedExchangerDuty();
    for (const auto& [node, before] : utilities) {
        double duty = 0.0;
        if (!node->getVariableAsDouble(NodeValue::Duty, duty) || std::fabs(before) >= kMargin ||
            std::fabs(duty) <= std::fabs(before) + kNegligibleDuty)
            continue;
        CPString name;
        node->getVariableAsString(NodeValue::UnitOperationName, name);
        char text[256];
        std::snprintf(text, sizeof text, "%s%s carries %.2f kW only because the new exchanger gives up %.0f kW after the area check",
                      kNotePrefix, name.c_str(), duty, kMargin);
        notes.emplace_back(text);
    }
    return notes;
}

PinchRetrofitDriver::PlacedNetwork PinchRetrofitDriver::KeepPlacedNetwork() const {
    PlacedNetwork placed;
    auto keep = [&](CNode* node, std::initializer_list<const char*> names) {
        PlacedUnit unit;
        unit.fingerprint = node->getDNAFingerPrint();
        int i = 0;
        for (const char* name : names) {
            PlacedValue& value = unit.values[i++];
            value.name = name;
            value.present = node->getVariableAsDouble(name, value.value) != 0;
            value.status = node->getVariableStatus(name);
            value.flag = node->getVariableFlag(name);
        }
        placed.push_back(unit);
    };
    const FlowSheet* sheet = m_design->GetFlowSheet();
    for (CNode* node : ExchangerNodes(sheet)) keep(node, {NodeValue::Duty, NodeValue::HTArea});
    // The area check may move a branch's split; the placed duties hold only with the placed split.
    for (CNode* tee : sheet->getAllNodesOfType(NodeKind::Tee))
        for (CNode* branch : tee->getAllDownStreamNodes()) keep(branch, {NodeValue::SplitFraction});
    return placed;
}

// Each exchanger's duty and area go back to what they were, with their statuses: a value the
// area check specified that was not specified before is opened again.
void PinchRetrofitDriver::RestorePlacedNetwork(const PlacedNetwork& placed) {
    for (const PlacedUnit& unit : placed) {
        CNode* node = Node(unit.fingerprint);
        if (!node) continue;
        for (const PlacedValue& value : unit.values) {
            const char* name = value.name;
            if (!name) continue;
            if (value.present && value.status == ValueStatus::Specified) {
                node->addVariable(name, value.value, ValueStatus::Specified, value.flag);
            } else if (node->getVariableStatus(name) == ValueStatus::Specified) {
                double now = 0.0;
                node->getVariableAsDouble(name, now);
                node->addVariable(name, value.present ? value.value : now, ValueStatus::Open, value.flag);
            }
        }
    }
    m_design->ProcessChange(kCodeFlowsheetChanged, CPString(), nullptr);
    m_design->SetSplitFractionsFromBranchDuties();
}

bool PinchRetrofitDriver::RunDesignOptimisation(int weight) {
    DesignOptimisationCase optimisation(m_design, DesignOptimisationCase::RetrofitMode, false, weight);
    IHENDesign* design = optimisation.GetDesign();
    if (!design) return false;
    optimisation.SetStep(m_settings->dDTmin);
    const int mode = optimisation.GetMode();
    if (mode != 0 && mode != 1 && mode != DesignOptimisationCase::RetrofitMode) return true;
    // A network the optimiser finds nothing to improve on has passed the check as well as one it
    // improved: the step that placed the exchanger at its best is not to be discarded for it.
    const int answer = design->RunOptimizer(mode);
    return answer == IHENDesign::OptimiserImproved || answer == IHENDesign::OptimiserUnchanged;
}
