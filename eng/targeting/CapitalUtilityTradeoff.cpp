// The capital/utility trade-off: construction, the check of its inputs, the two passes and what
// it answers to the cost functions.
#include "eng/targeting/CapitalUtilityTradeoff.h"

#include "dunmor/Units.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/StreamValueNames.h"
#include "eng/targeting/AutomaticUtilityPlacement.h"
#include "eng/targeting/EnergyTarget.h"
#include "eng/targeting/TargetCurve.h"
#include "eng/targeting/UnitsTarget.h"
#include "eng/targeting/UserSuppliedUtilityLoad.h"
#include "eng/targeting/UtilityPlacement.h"
#include "eng/targeting/UtilityPlacementOnCurve.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kUtilityKind = 1;
constexpr int kGlobalScope = 0;
// Two utilities whose temperatures are closer than this stand at the same level.
constexpr double kSameLevel = 0.0001;
// Two splits whose loads differ by less than this share of the target are one split.
constexpr double kSameSplitShare = 1e-9;

// Whether `a` is offered before `b`: hot utilities from the hottest down, cold ones from the
// coldest up; at one level the cheaper first.
bool ComesBefore(const IHeatIntegrationStream& a, const IHeatIntegrationStream& b, bool hot) {
    const double ta = TradeoffSteps::UtilityLevel(a), tb = TradeoffSteps::UtilityLevel(b);
    if (std::fabs(ta - tb) <= kSameLevel) return a.GetCostIndex() < b.GetCostIndex();
    return hot ? ta > tb : ta < tb;
}

// Insertion sort: stable, and safe with an ordering whose equality has a tolerance.
void SortUtilities(std::vector<IHeatIntegrationStream*>& list, bool hot) {
    for (std::size_t i = 1; i < list.size(); ++i)
        for (std::size_t k = i; k > 0 && ComesBefore(*list[k], *list[k - 1], hot); --k) std::swap(list[k], list[k - 1]);
}

}  // namespace

// The placement record owns its trade-off through this deleter, so that its header needs no
// more than the class's name.
void CapitalUtilityTradeoffDeleter::operator()(MUCapitalUtilityTradeoff* tradeoff) const { delete tradeoff; }

// ---------------------------------------------------------------- life

MUCapitalUtilityTradeoff::MUCapitalUtilityTradeoff(const CapitalUtilityTradeoffInputs& in) {
    TakeInputs(in);
    Run();
}

MUCapitalUtilityTradeoff::MUCapitalUtilityTradeoff(const CapitalUtilityTradeoffInputs& in, RecallOnly) {
    TakeInputs(in);
    m_dWorkingDTmin = m_dDTmin;
    CollectUtilities();
}

std::unique_ptr<MUCapitalUtilityTradeoff> MUCapitalUtilityTradeoff::ForRecall(const CapitalUtilityTradeoffInputs& in) {
    return std::unique_ptr<MUCapitalUtilityTradeoff>(new MUCapitalUtilityTradeoff(in, RecallOnly{}));
}

MUCapitalUtilityTradeoff::~MUCapitalUtilityTradeoff() = default;

void MUCapitalUtilityTradeoff::Refresh(const CapitalUtilityTradeoffInputs& in) {
    m_pUnitsTarget.reset();
    m_pAreaTarget.reset();
    m_hotUtilities.clear();
    m_coldUtilities.clear();
    m_hotLoads.clear();
    m_coldLoads.clear();
    m_pinches.clear();
    m_pCurve.reset();
    TakeInputs(in);
    Run();
}

void MUCapitalUtilityTradeoff::TakeInputs(const CapitalUtilityTradeoffInputs& in) {
    m_streams.clear();
    for (IHeatIntegrationStream* s : in.streams)
        if (s) m_streams.push_back(s);
    m_segments.clear();
    for (StreamSegment* s : in.segments)
        if (s) m_segments.push_back(s);
    if (in.economicData) m_economicData = *in.economicData;
    else m_economicData.reset();
    if (in.economicInfo) m_economicInfo = *in.economicInfo;
    else m_economicInfo.reset();
    m_dDTmin = in.dtMin;
    m_dMinimumFFactor = in.minimumFFactor;
    m_bCountercurrentCapital = in.countercurrentCapital;
}

void MUCapitalUtilityTradeoff::CollectUtilities() {
    m_hotUtilities.clear();
    m_coldUtilities.clear();
    for (IHeatIntegrationStream* s : m_streams) {
        if (s->GetStreamKind() != kUtilityKind || !s->AreDesignSegmentsComplete()) continue;
        if (s->GetHotCold() == 0) m_hotUtilities.push_back(s);
        else if (s->GetHotCold() == 1) m_coldUtilities.push_back(s);
    }
    SortUtilities(m_hotUtilities, true);
    SortUtilities(m_coldUtilities, false);
}

// ---------------------------------------------------------------- the run

void MUCapitalUtilityTradeoff::Run() {
    m_nEvaluations = 0;
    m_dWorkingDTmin = m_dDTmin;
    SetGlobalContributions(m_dWorkingDTmin);

    if (m_pEnergyTarget) m_pEnergyTarget->Rebuild(m_segments, m_dWorkingDTmin);
    else m_pEnergyTarget = std::make_unique<EnergyTarget>(m_segments, m_dWorkingDTmin);
    m_dHotTarget = m_pEnergyTarget->GetHotUtility();
    m_dColdTarget = m_pEnergyTarget->GetColdUtility();

    CollectUtilities();
    // The loads are what the trade-off places: each utility is used over its whole range, as
    // another method may have left it placed somewhere on the curves.
    ResetUtilityPlacementOfSegments(m_segments);

    CheckAndInitialise();
    if (m_bOk) Optimise();
    SetGlobalContributions(m_dDTmin);

    // The curves and area of the loads handed out. A check that failed keeps the status that
    // names its cause.
    if (!ComputeAreaOnCurve() && m_bOk) {
        m_bOk = false;
        m_status.nStatus = FinalAreaFailed;
    }
}

void MUCapitalUtilityTradeoff::SetGlobalContributions(double dtMin) {
    for (IHeatIntegrationStream* s : m_streams)
        if (s->GetStreamKind() != kUtilityKind && s->GetDTminContributionScope() == kGlobalScope)
            s->SetDTminContribution(dtMin, "Global", 0, 0);
}

void MUCapitalUtilityTradeoff::CheckAndInitialise() {
    m_bOk = true;
    // Without a plant life no capital is annualised and the total annual cost would be the operating
    // cost alone: the search would weigh a unit and its shells at nothing.
    if (!HasEconomics() || !TradeoffSteps::IsUsableEconomicData(*m_economicData) ||
        !(m_economicInfo->GetEconomicInfo(EDT_PlantLife) > 0.0)) {
        m_bOk = false;
        m_status.nStatus = NoEconomicData;
        return;
    }
    for (int side = 0; side < 2; ++side) {
        const std::vector<IHeatIntegrationStream*>& utilities = UtilitiesOf(side);
        if (utilities.empty()) {
            if (TargetOf(side) > Tolerance) {
                m_bOk = false;
                m_status.nStatus = NoUtility;
                return;
            }
            continue;
        }
        // The prices decide how a side's load is shared; a side with one utility, or with no
        // load, has nothing to share and gives its whole target (if any) to its first utility,
        // priced or not, as automatic placement would.
        if (utilities.size() < 2 || TargetOf(side) <= Tolerance) continue;
        bool priced = false;
        for (const IHeatIntegrationStream* u : utilities) priced = priced || std::fabs(u->GetCostIndex()) > Tolerance;
        if (!priced) {
            m_bOk = false;
            m_status.nStatus = NoCostIndex;
            return;
        }
    }
    GiveTargetsToFirstUtilities();
    m_bOk = ComputeAreaOnCurve();
    m_status.nStatus = m_bOk ? Done : NoUtility;
}

void MUCapitalUtilityTradeoff::GiveTargetsToFirstUtilities() {
    for (int side = 0; side < 2; ++side) {
        const std::vector<IHeatIntegrationStream*>& utilities = UtilitiesOf(side);
        for (std::size_t i = 0; i < utilities.size(); ++i) utilities[i]->SetHeatLoad(i == 0 ? TargetOf(side) : 0.0, 0);
    }
}

bool MUCapitalUtilityTradeoff::ComputeAreaOnCurve() {
    if (m_pCurve) m_pCurve->Build(0.0, 0.0, m_segments);
    else m_pCurve = std::make_unique<TargetCurve>(TargetCurve::Balanced, 0.0, 0.0, m_segments);
    if (m_pAreaTarget)
        m_pAreaTarget->Reset(m_pAreaTarget->GetDTmin(), m_pAreaTarget->GetMinimumFFactor(),
                             m_pAreaTarget->GetPinchPoints());
    else
        m_pAreaTarget = std::make_unique<BathAreaTarget>(m_dDTmin, InitialFFactor, std::vector<PinchListEntry>());
    m_pAreaTarget->Calculate(m_pCurve.get(), m_segments);
    return ShiftedGapKeepsApproach(ShiftedCurvesGap(m_segments), m_dDTmin);
}

int MUCapitalUtilityTradeoff::CountProcessStreams() const {
    int n = 0;
    for (const IHeatIntegrationStream* s : m_streams)
        if (s->GetStreamKind() != kUtilityKind && s->AreDesignSegmentsComplete()) ++n;
    return n;
}

void MUCapitalUtilityTradeoff::Optimise() {
    m_hotLoads.clear();
    m_coldLoads.clear();
    const int processStreams = CountProcessStreams();
    const int nh = static_cast<int>(m_hotUtilities.size());
    const int nc = static_cast<int>(m_coldUtilities.size());
    std::vector<double> hotA(nh > 0 ? nh - 1 : 0, 0.0), hotB = hotA;
    std::vector<double> coldA(nc > 0 ? nc - 1 : 0, 0.0), coldB = coldA;

    auto pass = [&](int side, std::vector<double>& loads) {
        TradeoffSteps::FillSideLoads(side == 0 ? nh : nc, TargetOf(side), loads,
                                     [&](int k) { return OptimiseShare(k, side, loads); });
    };

    // Pass A: hot side first.
    if (processStreams > 0) {
        pass(0, hotA);
        pass(1, coldA);
    }
    const double capitalA = m_dCapitalCost, operatingA = m_dOperatingCost, totalA = m_dTotalAnnualCost;

    // Pass B: cold side first, from the first utilities again.
    const bool passB = processStreams > 0 && nh >= 2 && nc >= 2;
    if (passB) {
        GiveTargetsToFirstUtilities();
        pass(1, coldB);
        pass(0, hotB);
    }

    const bool keepA = !passB || totalA < m_dTotalAnnualCost;
    if (keepA) {
        m_hotLoads = std::move(hotA);
        m_coldLoads = std::move(coldA);
        m_dCapitalCost = capitalA;
        m_dOperatingCost = operatingA;
        m_dTotalAnnualCost = totalA;
    } else {
        m_hotLoads = std::move(hotB);
        m_coldLoads = std::move(coldB);
    }
    // The streams are left at the last point the search evaluated; the final curves and area
    // are to describe the loads handed out.
    AssignLoadsToStreams(m_hotLoads, m_hotUtilities, m_dHotTarget);
    AssignLoadsToStreams(m_coldLoads, m_coldUtilities, m_dColdTarget);
    if (processStreams > 0) KeepAutomaticPlacementWhenCheaper();
}

void MUCapitalUtilityTradeoff::KeepAutomaticPlacementWhenCheaper() {
    // With one utility a side there is no split to weigh.
    if (m_hotUtilities.size() < 2 && m_coldUtilities.size() < 2) return;
    // The costs held are those of the loads the search ended with.
    const std::vector<double> hotSearch = m_hotLoads, coldSearch = m_coldLoads;
    const double capital = m_dCapitalCost, operating = m_dOperatingCost, total = m_dTotalAnnualCost;
    const bool searchKeepsApproach = LoadsKeepApproach();
    auto assign = [&](const std::vector<double>& hot, const std::vector<double>& cold) {
        m_hotLoads = hot;
        m_coldLoads = cold;
        AssignLoadsToStreams(m_hotLoads, m_hotUtilities, m_dHotTarget);
        AssignLoadsToStreams(m_coldLoads, m_coldUtilities, m_dColdTarget);
    };
    // The automatic placement prices the utilities alone; its split is one the utilities can
    // deliver, so the search must not end dearer than it.
    UtilityPlacementLP placement;
    const bool placed = placement.Calculate(m_segments, m_pEnergyTarget.get()) &&
                        placement.GetUnassignedLoad() <= UtilityPlacementLP::LoadTolerance;
    ResetUtilityPlacementOfSegments(m_segments);
    auto loadsOf = [](const std::vector<IHeatIntegrationStream*>& utilities) {
        std::vector<double> loads;
        for (std::size_t i = 0; i + 1 < utilities.size(); ++i) {
            const double load = utilities[i]->GetHeatLoad(0);
            loads.push_back(load <= Tolerance ? 0.0 : load);
        }
        return loads;
    };
    const std::vector<double> hot = placed ? loadsOf(m_hotUtilities) : hotSearch;
    const std::vector<double> cold = placed ? loadsOf(m_coldUtilities) : coldSearch;
    auto same = [](const std::vector<double>& a, const std::vector<double>& b, double target) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (std::fabs(a[i] - b[i]) > kSameSplitShare * std::max(1.0, target)) return false;
        return true;
    };
    // A search that ends a hair beside the automatic split is not that split: a steam level that
    // just misses the grand composite curve pinches nothing and leaves the units and shells of
    // one region fewer divided. On such a tie the automatic placement's exact loads are kept,
    // whichever of the two costs rounding (or the hair's lost pinch) makes the lower.
    assign(hot, cold);
    const double automatic = EvaluateCurrentLoads();
    const bool tie = same(hot, hotSearch, m_dHotTarget) && same(cold, coldSearch, m_dColdTarget);
    if (LoadsKeepApproach() && (!searchKeepsApproach || automatic < total || tie)) return;
    // The search's split stays; its curves, area and units are made again to describe it.
    assign(hotSearch, coldSearch);
    EvaluateCurrentLoads();
    m_dCapitalCost = capital;
    m_dOperatingCost = operating;
    m_dTotalAnnualCost = total;
}

// ---------------------------------------------------------------- what the cost functions read

bool MUCapitalUtilityTradeoff::GetStream(const CPString& name, IHeatIntegrationStream*& out) const {
    for (IHeatIntegrationStream* s : m_streams)
        if (s->GetName() == name) {
            out = s;
            return true;
        }
    return false;
}

bool MUCapitalUtilityTradeoff::GetStream(int index, IHeatIntegrationStream*& out) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_streams.size()) return false;
    out = m_streams[static_cast<std::size_t>(index)];
    return true;
}

const char* MUCapitalUtilityTradeoff::GetMatchCostModelNameAt(int) { return nullptr; }

double MUCapitalUtilityTradeoff::GetAreaTarget(int kind) const {
    if (!m_pAreaTarget) return 0.0;
    if (kind == 0) return m_pAreaTarget->GetCountercurrentArea();
    if (kind == 1) return m_pAreaTarget->GetShellAndTubeArea();
    return 0.0;
}

double MUCapitalUtilityTradeoff::GetEconomicData(int type, const char*) const {
    if (!HasEconomics()) return 0.0;
    if (type >= EDT_FixedCostPerUnit && type <= EDT_AreaExponent)
        return m_economicData->GetEconomicData(static_cast<EconomicDataType>(type));
    return m_economicInfo->GetEconomicInfo(static_cast<EconomicDataType>(type));
}

double MUCapitalUtilityTradeoff::GetMatchFirstValue(int) const { return 0.0; }
double MUCapitalUtilityTradeoff::GetMatchCountercurrentArea(int) const { return 0.0; }
double MUCapitalUtilityTradeoff::GetMatchShellAndTubeArea(int) const { return 0.0; }
double MUCapitalUtilityTradeoff::GetMatchValue(int) const { return 0.0; }
double MUCapitalUtilityTradeoff::GetMatchFourthValue(int) const { return 0.0; }

double MUCapitalUtilityTradeoff::GetCostTarget(int code) const {
    switch (code) {
        case 7: return m_dCapitalCost;
        case 4: return m_dOperatingCost;
        case 5: return m_dTotalAnnualCost;
        default: return 0.0;
    }
}

int MUCapitalUtilityTradeoff::GetMinimumNumberOfUnits(int kind) const {
    if (!m_pUnitsTarget) return 0;
    if (kind == 0) return m_pUnitsTarget->GetUnitsOverall();
    if (kind == 1) return m_pUnitsTarget->GetUnitsWithPinchDivision();
    return 0;
}

int MUCapitalUtilityTradeoff::GetNumberOfShellsTarget() const {
    const int shells = m_pAreaTarget ? m_pAreaTarget->GetShells() : 0;
    return shells > 0 ? shells : 0;
}

int MUCapitalUtilityTradeoff::GetNumberOfMatches() const { return 0; }

// ---------------------------------------------------------------- steps on numbers

namespace TradeoffSteps {

void FillSideLoads(int utilities, double target, std::vector<double>& loads,
                   const std::function<std::pair<double, int>(int)>& share) {
    if (utilities < 2) return;
    const double threshold = 0.2 / utilities * target;
    for (int k = 1; k < utilities; ++k) {
        const auto [load, j] = share(k);
        if (j >= 0 && static_cast<std::size_t>(j) < loads.size()) loads[static_cast<std::size_t>(j)] = load;
        if (k >= utilities - 1 || static_cast<std::size_t>(k) >= loads.size()) continue;
        double placed = 0.0;
        for (int i = 0; i < k; ++i) placed += loads[static_cast<std::size_t>(i)];
        const double remainder = target - placed;
        loads[static_cast<std::size_t>(k)] = remainder < threshold ? 0.0 : remainder;
    }
}

double UtilityLevel(const IHeatIntegrationStream& utility) {
    double t = Units::EmptyValue;
    if (utility.GetValue(StreamValueNames::Temperature, t, 0) == 1 && !Units::IsEmpty(t)) return t;
    return utility.GetSupplyTemperature();
}

bool IsUsableEconomicData(const EconomicData& data) {
    for (EconomicDataType item : {EDT_FixedCostPerUnit, EDT_AreaCostCoefficient, EDT_AreaExponent}) {
        const double v = data.GetEconomicData(item);
        if (!std::isfinite(v) || v < 0.0) return false;
    }
    return true;
}

}  // namespace TradeoffSteps
