// The area LP's life: when the record builder rebuilds or refreshes it, the temporary approach
// temperatures it is computed at, its interval list and the member lists of each interval.
#include "eng/targeting/AreaLP.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/PlantNormalForm.h"
#include "eng/targeting/AreaTarget.h"

#include <algorithm>

namespace {
// A row load below this is no heat to exchange.
constexpr double kNoLoad = 1e-8;
}  // namespace

AreaLP* AreaLP::Update(AreaLP* existing, const AreaTargetInputs& in, int code, int option) {
    if (code == AreaTargetCodes::Unchanged16 || code == AreaTargetCodes::Unchanged19) return existing;
    static const SegmentRefs none;
    const SegmentRefs& segments = in.segments ? *in.segments : none;
    if (code == AreaTargetCodes::Coefficients) {
        if (!in.placementValid) return existing;
        if (existing) {
            existing->m_progress = in.progress;
            existing->Refresh(in);
            existing->m_progress = nullptr;
            return existing;
        }
    } else {
        if (!in.segments) return existing;
        if (code == AreaTargetCodes::UtilityChanged && in.utilityAssignmentMethod != 2) return existing;
        if (!in.placementValid) return existing;
    }
    AreaLP* lp = existing;
    if (!lp) {
        lp = new AreaLP();
        lp->m_nOption = option;
    }
    lp->m_progress = in.progress;
    lp->Rebuild(segments, in.dtMin, in.minimumFFactor, in.matches);
    lp->m_progress = nullptr;
    return lp;
}

void AreaLP::Rebuild(std::span<StreamSegment* const> segments, double dtMin, double minimumFFactor,
                     MatchwiseStreamDataList* matches) {
    m_nState = NotComputed;
    m_dCountercurrentArea = 0.0;
    m_dShellAndTubeArea = 0.0;
    m_dShells = 0.0;
    m_dDTmin = dtMin;
    m_dMinimumFFactor = minimumFFactor;
    // The model is built on the plant's normal form: a cut where nothing changes, a utility in
    // several rows or another order of the rows gives the same model, the same layout of the heat
    // and the same shells.
    if (!m_pPlant) m_pPlant = std::make_unique<PlantNormalForm>();
    m_pPlant->Build(segments);
    m_segments.assign(m_pPlant->Segments().begin(), m_pPlant->Segments().end());

    if (m_pModel) {
        m_pModel->Free();
        m_pModel->FreeMatchTable();
        m_pModel->ResizeColumns(0);
    } else {
        m_pModel = std::make_unique<LPProblem>();
    }
    m_columnF.clear();
    SetTemporaryContributions();
    if (m_segments.size() > m_nMaxRows) {
        // Every segment makes a row at least, however wide the grid: such a model is refused
        // before its intervals (whose member lists alone grow with the rows) are built.
        m_pIntervals.reset();
        m_members.clear();
        m_nIntervalCount = 0;
        m_nRowsNeeded = m_segments.size();
        m_dColumnsNeeded = 0.0;
        m_dGridStep = 0.0;
        m_nState = TooLarge;
        // The match records hold no area of an earlier computation either.
        if (matches) matches->Distribute(3, nullptr);
        RestoreContributions();
        return;
    }
    BuildIntervals();
    CountModel();
    Compute(matches);
    RestoreContributions();
}

// The rows (one per segment and interval it lies in) and the candidate columns (every hot row
// with every cold row in its interval or below), counted from the member lists alone: a model
// too large to hold is refused before any of it is built.
void AreaLP::CountModel() {
    std::vector<double> hot(static_cast<std::size_t>(m_nIntervalCount), 0.0);
    std::vector<double> cold(static_cast<std::size_t>(m_nIntervalCount), 0.0);
    m_nRowsNeeded = 0;
    for (std::size_t k = 0; k < m_members.size(); ++k) {
        const IntervalMembers& m = m_members[k];
        hot[k] = static_cast<double>(m[HotProcess].size() + m[HotLinked].size() + m[HotUtility].size());
        cold[k] = static_cast<double>(m[ColdProcess].size() + m[ColdLinked].size() + m[ColdUtility].size());
        m_nRowsNeeded += static_cast<std::size_t>(hot[k] + cold[k]);
    }
    m_dColumnsNeeded = 0.0;
    double coldBelow = 0.0;
    for (std::size_t k = m_members.size(); k-- > 0;) {
        coldBelow += cold[k];
        m_dColumnsNeeded += hot[k] * coldBelow;
    }
}

void AreaLP::Refresh(const AreaTargetInputs& in) {
    // New coefficients or placed loads are computed as a rebuild computes them: a model kept from
    // before (or the other exchanger kind's solution) would start the solve from another vertex,
    // and among equal optima the laid-out areas and shells differ (by up to 2e-3). One plant gives
    // one area, whatever was computed before it.
    // Without the segments there is nothing new to take: the result stands.
    if (!in.segments) return;
    Rebuild(*in.segments, in.dtMin, in.minimumFFactor, in.matches);
}

// Option 0 prices countercurrent exchange only; options 1 (shell-and-tube) and 2 (both) solve the
// countercurrent model first and then the shell-and-tube one, whose areas, shells and match
// records stand; any other option computes nothing. The scenario shows the countercurrent area
// beside the shell-and-tube one whichever method targets the area, and the targets job prints both:
// one computation for every route, at the cost of a second solve. Each kind's model is built
// afresh from the plant's normal form, so the shell-and-tube results are those of that pass alone.
void AreaLP::Compute(MatchwiseStreamDataList* matches) {
    std::vector<int> kinds;
    switch (m_nOption) {
        case CountercurrentOnly: kinds = {Countercurrent}; break;
        case ShellAndTubeOnly:
        case Both: kinds = {Countercurrent, ShellAndTube}; break;
        default: return;
    }
    m_dGridStep = 0.0;
    m_nGridRows = 0;
    m_nPivots = 0;
    m_bStoppedAtTimeLimit = false;
    m_deadline = std::chrono::steady_clock::now() +
                 std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(m_dTimeLimit));
    if (m_nRowsNeeded > m_nMaxRows || IsTooLarge(m_nRowsNeeded)) {
        if (!ComputeOnGrid(matches)) {
            m_nState = TooLarge;
            if (matches) matches->Distribute(3, nullptr);
        }
        m_pNetwork.reset();
        return;
    }
    m_nState = Computed;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        const int kind = kinds[k];
        BuildModel(kind);
        // Nothing to exchange is a result (no area); heat that could not be placed is none.
        const bool heat = std::any_of(m_rowLoads.begin(), m_rowLoads.end(), [](double load) { return load > kNoLoad; });
        if (!Solve() && heat) m_nState = m_bStoppedAtTimeLimit ? StoppedAtTimeLimit : NotSolved;
        // Each kind's network is its own, started (from a coarser LP, for a large model) afresh.
        if (m_pNetwork) m_nPivots += m_pNetwork->GetPivots() + m_nCoarsePivots;
        Distribute(kind, matches);
    }
    // The network serves the kinds of one computation only.
    m_pNetwork.reset();
    if (m_nState == NotSolved || m_nState == StoppedAtTimeLimit) {
        m_dCountercurrentArea = 0.0;
        m_dShellAndTubeArea = 0.0;
        m_dShells = 0.0;
    }
}

double AreaLP::Shift(const StreamSegment& s) {
    return s.DTminContribution.nFlag == ValueAndFlag::ScopeGlobal ? 0.5 * s.DTminContribution.dValue
                                                                  : s.DTminContribution.dValue;
}

// Segments on the scenario-wide approach are computed at the temporary DTmin; a stream with an
// approach of its own keeps it (its matches need that approach whatever the scenario's DTmin).
// What each segment held is kept so that it can be put back exactly, the placed temperature of
// a utility included.
void AreaLP::SetTemporaryContributions() {
    m_saved.clear();
    m_saved.reserve(m_segments.size());
    for (StreamSegment* s : m_segments)
        if (s->pStream) s->pStream->SetUpdating(1);
    const ValueAndFlag temporary{TemporaryDTmin, ValueAndFlag::ScopeGlobal};
    for (StreamSegment* s : m_segments) {
        m_saved.push_back(SavedSegment{s, s->DTminContribution, s->pLink ? s->pLink->dShiftedFarEndTemperature : 0.0});
        const int scope = s->pStream ? s->pStream->GetDTminContributionScope() : s->DTminContribution.nFlag;
        if (scope == ValueAndFlag::ScopeGlobal) s->TakeDTminContribution(temporary);
        s->ShiftTemperatures(TemporaryDTmin);
    }
    for (StreamSegment* s : m_segments)
        if (s->pStream) s->pStream->SetUpdating(0);
}

void AreaLP::RestoreContributions() {
    for (const SavedSegment& saved : m_saved) {
        StreamSegment* s = saved.pSegment;
        if (s->pStream) {
            s->pStream->SetUpdating(1);
            s->TakeDTminContribution(ValueAndFlag{s->pStream->GetDTminContribution(), s->pStream->GetDTminContributionScope()});
            s->pStream->SetUpdating(0);
        } else {
            s->DTminContribution = saved.contribution;
        }
        s->ShiftTemperatures(m_dDTmin);
        if (s->pLink) s->pLink->dShiftedFarEndTemperature = saved.dShiftedFarEnd;
    }
    m_saved.clear();
}

void AreaLP::BuildIntervals() {
    m_pIntervals = std::make_unique<TIList>(5);
    m_pIntervals->Build(m_segments);
    const std::vector<std::size_t> parts = DrivingForceParts();
    m_pIntervals->AddBoundaries(parts);
    m_nIntervalCount = std::max(0, m_pIntervals->GetNumberOfBoundaries() - 1);
    CollectMembers();
}

void AreaLP::CollectMembers() {
    m_members.assign(static_cast<std::size_t>(m_nIntervalCount), IntervalMembers{});
    if (!m_pIntervals) return;
    static constexpr std::pair<IntervalMemberList, MemberList> lists[] = {
        {HotProcessMembers, HotProcess}, {ColdProcessMembers, ColdProcess}, {HotUtilityMembers, HotUtility},
        {ColdUtilityMembers, ColdUtility}, {HotLinkedMembers, HotLinked},   {ColdLinkedMembers, ColdLinked}};
    for (const IntervalSpan& span : m_pIntervals->GetSpans()) {
        if (!span.pSegment || span.nLast < span.nFirst) continue;
        const int last = std::min(span.nLast, m_nIntervalCount - 1);
        for (const auto& [from, to] : lists) {
            if (!span.IsIn(from)) continue;
            for (int i = std::max(span.nFirst, 0); i <= last; ++i)
                m_members[static_cast<std::size_t>(i)][to].push_back(span.pSegment);
        }
    }
}

double AreaLP::TopDifference(int i, int j) const {
    return m_pIntervals ? m_pIntervals->GetTemperature(i) - m_pIntervals->GetTemperature(j) : 0.0;
}

double AreaLP::BottomDifference(int i, int j) const {
    return m_pIntervals ? m_pIntervals->GetTemperature(i + 1) - m_pIntervals->GetTemperature(j + 1) : 0.0;
}

void AreaLP::SetStoredValues(double countercurrentArea, double shellAndTubeArea, double shells, double dtMin,
                             int intervalCount, int option, double minimumFFactor) {
    m_dCountercurrentArea = countercurrentArea;
    m_dShellAndTubeArea = shellAndTubeArea;
    m_dShells = shells;
    m_dDTmin = dtMin;
    m_nIntervalCount = intervalCount;
    m_nOption = option;
    m_dMinimumFFactor = minimumFFactor;
    m_nState = Computed;
    m_pIntervals.reset();
    m_pModel.reset();
    m_pNetwork.reset();
    m_members.clear();
    m_columnF.clear();
}
