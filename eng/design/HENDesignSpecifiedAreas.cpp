// Exchangers whose area is specified and whose duty follows from temperatures that depend on
// that same duty: a tear exchanger gets a guessed duty, the network is propagated so that its
// area can be calculated, and the guess is corrected until the calculated area is the specified
// one. The correction is direct substitution, G = D As / A (the duty that would give the
// specified area at the present temperature differences), for three passes, then the secant
// (Wegstein) step between the last two guesses. The full solution tears as many exchangers as
// the network needs and iterates them together; the partial one takes one at a time.
//
// The thresholds below say when an iteration has found the solution; they are not the precision
// it reports. A unit given by its area must carry the duty that area gives at its temperatures,
// or every figure built on it (its approach, the capital by the cost law, the area a retrofit adds
// to it) inherits the gap: a summed error of 0.1 m2 is half a per cent of a 6 m2 unit. Once met,
// the iteration goes on while its error still falls, until every torn area meets its specified
// one to kAreaPrecision of itself, and keeps the best pass.
#include "eng/design/HENDesign.h"

#include "eng/design/HENDesignChain.h"
#include "eng/design/TearGuess.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <unordered_set>

using namespace chain;

namespace {
constexpr int kMaxIterations = 100;
constexpr int kMaxInfeasibleRaises = 20;
constexpr double kInfeasibleRaise = 1.2;
constexpr double kInitialShare = 0.05;
constexpr double kFullTolerance = 0.1;      // m2, summed over the tear exchangers
constexpr double kSingleTolerance = 0.0001; // m2, one exchanger
constexpr double kAreaPrecision = 1e-10;     // relative to the specified area
constexpr double kLeastRememberedDuty = 0.1;

CPString unitName(const CNode* unit) {
    CPString name;
    unit->getVariableAsString(NodeValue::UnitOperationName, name);
    return name;
}

bool areaCalculated(const CNode* x) { return x->getVariableStatus(NodeValue::HTArea) != ValueStatus::Open; }

double areaOf(const CNode* x) {
    double a = 0.0;
    return x->getVariableAsDouble(NodeValue::HTArea, a) && std::isfinite(a) ? a : 0.0;
}

double dutyOf(const CNode* x) {
    double d = 0.0;
    return x->getVariableAsDouble(NodeValue::Duty, d) && std::isfinite(d) ? d : 0.0;
}

// Whether a calculated area meets the specified one as closely as the iteration can tell.
bool areaPrecise(double area, double specified) {
    return std::fabs(area - specified) <= kAreaPrecision * std::max(std::fabs(specified), 1e-3);
}

bool isCandidate(const CNode* x) {
    return x->getVariableStatus(NodeValue::Duty) == ValueStatus::Open &&
           x->getVariableStatus(NodeValue::HTArea) == ValueStatus::Specified;
}

void setDuty(CNode* x, double duty) { x->addVariable(NodeValue::Duty, duty, ValueStatus::Specified); }

void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void trace(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    TraceLine(Text(buffer));
}
}  // namespace

double CPIHENDesign::TearDuty(int i) const {
    return i >= 0 && i < static_cast<int>(m_tearDuties.size()) ? m_tearDuties[static_cast<std::size_t>(i)] : 0.0;
}

void CPIHENDesign::RestoreTear(CNode* exchanger, double specifiedArea) {
    exchanger->addVariable(NodeValue::Duty, CPValue::Empty, ValueStatus::Open);
    exchanger->addVariable(NodeValue::HTArea, CPValue::Empty, ValueStatus::Open);
    exchanger->addVariable(NodeValue::HTArea, specifiedArea, ValueStatus::Specified);
}

std::vector<CNode*> CPIHENDesign::CollectUnitsToRecalculate(const std::vector<CNode*>& units,
                                                            const std::vector<CNode*>& flagged) const {
    std::vector<CNode*> set;
    std::unordered_set<const CNode*> in;
    auto add = [&](CNode* n) {
        if (n && in.insert(n).second) set.push_back(n);
    };
    for (CNode* tee : m_sheet->getAllNodesOfType(NodeKind::Tee)) add(tee);
    for (CNode* mixer : m_sheet->getAllNodesOfType(NodeKind::Mixer)) add(mixer);
    auto open = [](const CNode* n, const char* name) {
        return n->hasVariable(name) && n->getVariableStatus(name) == ValueStatus::Open;
    };
    const std::unordered_set<const CNode*> isFlagged(flagged.begin(), flagged.end());
    for (CNode* node : units) {
        if (open(node, NodeValue::Temperature) || open(node, NodeValue::Duty) || open(node, NodeValue::HTArea) ||
            open(node, NodeValue::SplitFraction))
            add(node);
        if (!isFlagged.count(node)) continue;
        add(node);
        // The utility side's inlet, whose temperature follows the utility's flow.
        for (CNode* inlet : node->getAllUpStreamNodes()) {
            IHeatIntegrationStream* stream = StreamOf(inlet);
            if (stream && stream->GetStreamKind() != 0 &&
                inlet->getVariableStatus(NodeValue::Temperature) == ValueStatus::Calculated)
                add(inlet);
        }
    }
    return set;
}

CNode* CPIHENDesign::PickTearExchanger(std::vector<CNode*>& taken, double& specifiedArea) {
    auto isTaken = [&](const CNode* x) { return std::find(taken.begin(), taken.end(), x) != taken.end(); };
    auto initialDuty = [](HeatExch* x) {
        double loads[2] = {0.0, 0.0};
        for (int side = 0; side < 2; ++side)
            if (IHeatIntegrationStream* s = StreamOf(x->getInlet(side))) loads[side] = s->GetHeatLoad(0);
        return kInitialShare * std::min(loads[0], loads[1]);
    };
    HeatExch* chosen = nullptr;
    double duty = 0.0;
    for (std::uint32_t fp : m_rememberedTears) {
        HeatExch* x = AsHeatExch(m_sheet->getNodeByFingerPrint(fp));
        if (x && !isTaken(x) && isCandidate(x)) {
            chosen = x;
            duty = m_rememberedDuty >= kLeastRememberedDuty ? m_rememberedDuty : initialDuty(x);
            break;
        }
    }
    if (!chosen) {
        m_rememberedTears.clear();
        for (const char* kind : {NodeKind::HeatExchanger, NodeKind::CountercurrentHX}) {
            for (CNode* node : m_sheet->getAllNodesOfType(kind)) {
                HeatExch* x = AsHeatExch(node);
                if (x && !isTaken(x) && isCandidate(x) && !x->IsUtilityExch()) {
                    chosen = x;
                    duty = initialDuty(x);
                    break;
                }
            }
            if (chosen) break;
        }
    }
    if (!chosen) return nullptr;
    taken.push_back(chosen);
    specifiedArea = chosen->getArea();
    chosen->addVariable(NodeValue::HTArea, CPValue::Empty, ValueStatus::Open);
    setDuty(chosen, duty);
    return chosen;
}

bool CPIHENDesign::IdentifyTearExchangers(const std::vector<CNode*>& set, const std::vector<CNode*>& flagged,
                                          int code) {
    TraceLine(Text("\n\nIdentifying the tear heat exchangers for the iterative solution."));
    m_tearAreas.clear();
    m_tearDuties.clear();
    m_tears.clear();
    std::vector<CNode*> taken;
    int open = 0;
    do {
        double area = 0.0;
        CNode* x = PickTearExchanger(taken, area);
        if (!x) {
            // Out of candidates: the exchangers torn so far get their specified areas back.
            const std::vector<double> areas = m_tearAreas;
            m_tearAreas.assign(1, 0.0);
            m_tearDuties.assign(1, 0.0);
            m_tears.clear();
            if (!taken.empty()) {
                for (std::size_t i = 0; i < taken.size() && i < areas.size(); ++i) RestoreTear(taken[i], areas[i]);
                RecalculateSet(set, flagged, code);
            }
            return false;
        }
        m_tears.push_back(x->getDNAFingerPrint());
        m_tearAreas.push_back(area);
        m_tearDuties.push_back(AsHeatExch(x)->getLoad());
        open = RecalculateSet(set, flagged, code);
        trace("HX: %s / Area (m2): %6.2f", unitName(x).c_str(), area);
        for (int raise = 0; raise < kMaxInfeasibleRaises && AnyProcessExchangerCrossed();
             ++raise) {
            m_tearDuties.back() *= kInfeasibleRaise;
            setDuty(x, m_tearDuties.back());
            open = RecalculateSet(set, flagged, code);
        }
    } while (open > 0);
    return true;
}

bool CPIHENDesign::SolveForSpecifiedAreas(const std::vector<CNode*>& units, const std::vector<CNode*>& flagged,
                                          int code, bool reuse) {
    m_rememberedTears.clear();
    const std::vector<CNode*> set = CollectUnitsToRecalculate(units, flagged);
    if (!reuse) {
        if (!IdentifyTearExchangers(set, flagged, code)) return false;
    } else {
        m_tearAreas.resize(m_tears.size(), 0.0);
        m_tearDuties.resize(m_tears.size(), 0.0);
        for (std::size_t i = 0; i < m_tears.size(); ++i) {
            HeatExch* x = AsHeatExch(m_sheet->getNodeByFingerPrint(m_tears[i]));
            if (!x) continue;
            m_tearAreas[i] = x->getArea();
            x->addVariable(NodeValue::HTArea, CPValue::Empty, ValueStatus::Open);
            setDuty(x, m_tearDuties[i]);
        }
        RecalculateSet(set, flagged, code);
    }
    // An edit may have deleted a tear exchanger since the tears were chosen.
    std::vector<CNode*> tears;
    for (std::uint32_t fp : m_tears)
        if (CNode* x = m_sheet->getNodeByFingerPrint(fp)) tears.push_back(x);
    if (tears.empty() || tears.size() != m_tears.size()) return false;

    const std::size_t n = tears.size();
    std::vector<TearGuess> guesses(n);
    for (std::size_t i = 0; i < n; ++i)
        guesses[i].Start(m_tearDuties[i]);
    std::vector<double> next(n, 0.0);
    bool converged = false;
    // The pass with the least summed error since the threshold was met, and whether the network
    // now stands as that pass left it.
    std::vector<double> best;
    double bestSum = 0.0;
    bool atBest = false;
    for (int pass = 1; pass <= kMaxIterations; ++pass) {
        trace("\nIteration: %i", pass);
        for (std::size_t i = 0; i < n; ++i) {
            next[i] = guesses[i].Next(pass, dutyOf(tears[i]), areaOf(tears[i]), m_tearAreas[i]);
            setDuty(tears[i], next[i]);
        }
        atBest = false;
        RecalculateSet(set, flagged, code);
        // A step too far leaves an area that cannot be calculated: back halfway to the last duty,
        // as often as the pass limit allows; a pass that never gets its areas has failed.
        bool areas = std::all_of(tears.begin(), tears.end(), areaCalculated);
        for (int halving = 0; !areas && halving < kMaxIterations; ++halving) {
            for (std::size_t i = 0; i < n; ++i) {
                next[i] = (guesses[i].Q + next[i]) * 0.5;
                setDuty(tears[i], next[i]);
            }
            RecalculateSet(set, flagged, code);
            areas = std::all_of(tears.begin(), tears.end(), areaCalculated);
        }
        if (!areas) break;
        double sum = 0.0;
        bool precise = true;
        for (std::size_t i = 0; i < n; ++i) {
            const double error = areaOf(tears[i]) - m_tearAreas[i];
            trace("HX: %s / Load (kW): %8.2f / Calculated Area (m2): %6.2f / Error: %8.4f", unitName(tears[i]).c_str(),
                  next[i], areaOf(tears[i]), error);
            sum += std::fabs(error);
            precise = precise && areaPrecise(areaOf(tears[i]), m_tearAreas[i]);
        }
        // The last pass counts like any other when it meets the threshold.
        if (!converged && sum > kFullTolerance) continue;
        // The error has stopped falling: the best pass is as close as the iteration gets.
        if (converged && sum >= bestSum) break;
        converged = true;
        best = next;
        bestSum = sum;
        atBest = true;
        if (precise) break;
    }
    if (converged) {
        if (!atBest) {
            for (std::size_t i = 0; i < n; ++i) setDuty(tears[i], best[i]);
            RecalculateSet(set, flagged, code);
        }
        for (std::size_t i = 0; i < n; ++i) {
            RestoreTear(tears[i], m_tearAreas[i]);
            tears[i]->addVariable(NodeValue::Duty, best[i], ValueStatus::Calculated);
            m_tearDuties[i] = best[i];
        }
        return true;
    }
    for (std::size_t i = 0; i < n; ++i) RestoreTear(tears[i], m_tearAreas[i]);
    TraceLine(Text("Iterative solution failed. Make sure that you specified the correct number of shells."));
    RecalculateSet(set, flagged, code);
    return false;
}

void CPIHENDesign::SolveSingleTearExchangers(const std::vector<CNode*>& units, const std::vector<CNode*>& flagged,
                                             int code) {
    std::vector<CNode*> taken;
    int open = CountOpenValues(units, nullptr);
    while (open > 0) {
        const std::vector<CNode*> set = CollectUnitsToRecalculate(units, flagged);
        double target = 0.0;
        CNode* x = PickTearExchanger(taken, target);
        if (!x) break;
        TraceLine(Text("\n\nIdentifying one tear heat exchangers for the partial iterative solution."));
        open = RecalculateSet(set, flagged, code);
        for (int raise = 0; raise < kMaxInfeasibleRaises && AnyProcessExchangerCrossed();
             ++raise) {
            setDuty(x, dutyOf(x) * kInfeasibleRaise);
            open = RecalculateSet(set, flagged, code);
        }
        if (!areaCalculated(x)) {
            RestoreTear(x, target);
            open = RecalculateSet(set, flagged, code);
            continue;
        }
        if (std::find(m_rememberedTears.begin(), m_rememberedTears.end(), x->getDNAFingerPrint()) ==
            m_rememberedTears.end())
            m_rememberedTears.push_back(x->getDNAFingerPrint());
        trace("HX: %s / Specified Area (m2): %6.2f", unitName(x).c_str(), target);
        TearGuess guess;
        guess.Start(dutyOf(x));
        bool converged = false;
        // The duty of the pass with the least error since the threshold was met, and whether
        // the network now stands as that pass left it.
        double best = 0.0, bestError = 0.0;
        bool atBest = false;
        for (int pass = 1; pass <= kMaxIterations; ++pass) {
            double next = guess.Next(pass, dutyOf(x), areaOf(x), target);
            setDuty(x, next);
            atBest = false;
            open = RecalculateSet(set, flagged, code);
            bool area = areaCalculated(x);
            for (int halving = 0; !area && halving < kMaxIterations; ++halving) {
                next = (guess.Q + next) * 0.5;
                setDuty(x, next);
                open = RecalculateSet(set, flagged, code);
                area = areaCalculated(x);
            }
            if (!area) break;
            const double error = areaOf(x) - target;
            trace("Iteration: %i / Load (kW): %8.2f / Calculated Area (m2): %6.2f / Error: %8.4f", pass, next, areaOf(x),
                  error);
            if (!converged && std::fabs(error) > kSingleTolerance) continue;
            if (converged && std::fabs(error) >= bestError) break;  // as close as the iteration gets
            converged = true;
            best = next;
            bestError = std::fabs(error);
            atBest = true;
            if (areaPrecise(areaOf(x), target)) break;
        }
        if (converged) {
            if (!atBest) {
                setDuty(x, best);
                open = RecalculateSet(set, flagged, code);
            }
            m_rememberedDuty = best;
            RestoreTear(x, target);
            x->addVariable(NodeValue::Duty, m_rememberedDuty, ValueStatus::Calculated);
        } else {
            RestoreTear(x, target);
            open = RecalculateSet(set, flagged, code);
        }
    }
}
