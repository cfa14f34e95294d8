#include "eng/targeting/AutomaticUtilityPlacement.h"

#include "eng/model/IHeatIntegrationStream.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

// What a column value below this is taken for: solver round-off on a zero load.
constexpr double kSolverNoise = 1e-9;
// Relative closeness to the cascade minimum that still makes a pinch. Wider than the energy
// target's 1e-12: these heat flows come back from the solver, not from an exact cascade.
constexpr double kPinchTolerance = 1e-9;
constexpr double kEmptyValue = -32767.0;

double Clean(double value) { return std::fabs(value) <= kSolverNoise ? 0.0 : value; }

// Boundary index of a temperature already in the list, or -1.
int BoundaryAt(const TIList& list, double t) {
    for (int i = 0; i < list.GetNumberOfBoundaries(); ++i)
        if (SameTemperature(list.GetTemperature(i), t)) return i;
    return -1;
}

}  // namespace

void UtilityPlacementLP::Reset() {
    m_utilities.clear();
    m_processSurplus.clear();
    m_shortfallColumns.clear();
    m_bottomColumns.clear();
    m_heatEnd.clear();
    m_nStatus = Nothing;
    m_bFailed = false;
    m_dAssignedLoad = m_dUnassignedLoad = 0.0;
    m_dHotLoad = m_dColdLoad = 0.0;
    m_dMinimumHot = m_dMinimumCold = 0.0;
    m_hot.Reset();
    m_cold.Reset();
}

bool UtilityPlacementLP::Calculate(std::span<StreamSegment* const> segments, const EnergyTarget* reference) {
    const int intervals = BuildIntervals(segments);
    CollectUtilityColumns();
    double shortfall = 0.0;
    if (intervals == 0) {
        // No temperature range: nothing needs a utility and no utility can serve.
        m_pModel.reset();
    } else {
        BuildModel();
        if (!Solve(shortfall)) {
            m_bFailed = true;
            m_nStatus = ShortOnly;
            m_hot.Reset();
            m_cold.Reset();
            return false;
        }
    }
    ComputeResults(shortfall, reference);
    AssignUtilityLoads();
    KeepOnlyResults();
    return true;
}

void UtilityPlacementLP::CascadeOfLoads(std::span<StreamSegment* const> segments, const EnergyTarget* reference) {
    BuildIntervals(segments);
    CollectUtilityColumns();
    m_pModel.reset();
    // Each stream's load goes to its segments as the placement ties them: in the ratio of specific
    // heat x range where every segment has a specific heat, else of the ranges alone (one heat
    // capacity flow rate over the stream). A stream of one segment gives it its load unchanged,
    // so loads the placement chose come back as the very numbers it cascaded.
    const std::unordered_map<const IHeatIntegrationStream*, bool> specific = StreamsWithSpecificHeats();
    std::unordered_map<IHeatIntegrationStream*, std::pair<double, int>> streams;
    for (const UtilityColumn& c : m_utilities)
        if (c.segment->pStream) {
            auto& [total, count] = streams[c.segment->pStream];
            total += ShareWeight(*c.segment, specific.at(c.segment->pStream));
            ++count;
        }
    for (UtilityColumn& c : m_utilities) {
        IHeatIntegrationStream* stream = c.segment->pStream;
        if (!stream) continue;
        const auto& [total, count] = streams[stream];
        const double load = std::max(0.0, Clean(stream->GetHeatLoad(0)));
        c.load = count == 1        ? load
                 : total > 0.0 ? load * ShareWeight(*c.segment, specific.at(stream)) / total
                               : load / count;
    }
    ComputeResults(0.0, reference);
    KeepOnlyResults();
}

int UtilityPlacementLP::BuildIntervals(std::span<StreamSegment* const> segments) {
    Reset();
    m_segments.clear();
    for (StreamSegment* s : segments)
        if (s) m_segments.push_back(s);
    m_intervals.SetMode(IntervalMode);
    m_intervals.Build(m_segments);

    const int n = m_intervals.GetNumberOfBoundaries();
    const int intervals = std::max(n - 1, 0);
    m_pooledHot.assign(static_cast<std::size_t>(intervals), 0.0);
    m_pooledCold.assign(static_cast<std::size_t>(intervals), 0.0);
    m_processSurplus.assign(static_cast<std::size_t>(intervals), 0.0);
    if (intervals > 0) {
        const std::vector<double> hot = m_intervals.SumHeatCapacityFlowrates(HotProcessMembers, true);
        const std::vector<double> cold = m_intervals.SumHeatCapacityFlowrates(ColdProcessMembers, true);
        const std::vector<double> hotLinked = m_intervals.SumHeatCapacityFlowrates(HotLinkedMembers, true);
        const std::vector<double> coldLinked = m_intervals.SumHeatCapacityFlowrates(ColdLinkedMembers, true);
        for (int k = 0; k < intervals; ++k) {
            const auto kk = static_cast<std::size_t>(k);
            const double width = m_intervals.GetWidth(k);
            m_pooledHot[kk] = width * hot[kk];
            m_pooledCold[kk] = width * cold[kk];
            m_processSurplus[kk] = width * (hot[kk] + hotLinked[kk] - cold[kk] - coldLinked[kk]);
        }
    }
    return intervals;
}

void UtilityPlacementLP::KeepOnlyResults() {
    const int n = m_intervals.GetNumberOfBoundaries();
    m_heatEnd.assign(static_cast<std::size_t>(n), 0);
    // The ends of every segment that carries heat: the process segments and the utility segments
    // the placement loaded. A utility left without load brings boundaries but no heat, so none of
    // its temperatures can be a pinch.
    std::unordered_map<const StreamSegment*, double> loads;
    for (const UtilityColumn& c : m_utilities) loads[c.segment] += c.load;
    std::vector<double> ends;
    for (const StreamSegment* s : m_segments) {
        if (s->nKind == 1) {
            auto found = loads.find(s);
            if (found == loads.end() || !(found->second > LoadTolerance)) continue;
        }
        ends.push_back(s->dShiftedInletTemperature);
        ends.push_back(s->dShiftedOutletTemperature);
    }
    std::sort(ends.begin(), ends.end());
    for (int b = 0; b < n && !ends.empty(); ++b) {
        const double t = m_intervals.GetTemperature(b);
        if (SameTemperature(t, ends.front()) || SameTemperature(t, ends.back()) || t < ends.front() || t > ends.back())
            continue;
        // The boundary holds the hottest of the ends merged into it.
        const auto at = std::lower_bound(ends.begin(), ends.end(), t);
        m_heatEnd[static_cast<std::size_t>(b)] = (at != ends.end() && SameTemperature(*at, t)) ||
                                                 (at != ends.begin() && SameTemperature(*(at - 1), t));
    }
    m_intervals.FreeMembership();
    SegmentRefs().swap(m_segments);
    std::vector<double>().swap(m_pooledHot);
    std::vector<double>().swap(m_pooledCold);
    std::vector<double>().swap(m_processSurplus);
}

void UtilityPlacementLP::CollectUtilityColumns() {
    const int intervals = std::max(m_intervals.GetNumberOfBoundaries() - 1, 0);
    double dearest = 0.0;
    for (const IntervalSpan& span : m_intervals.GetSpans()) {
        const StreamSegment* s = span.pSegment;
        const bool hot = span.IsIn(HotUtilityMembers);
        if (!hot && !span.IsIn(ColdUtilityMembers)) continue;
        UtilityColumn column;
        column.segment = span.pSegment;
        column.hot = hot;
        if (span.nLast >= span.nFirst) {
            double width = 0.0;
            for (int k = span.nFirst; k <= span.nLast; ++k) width += m_intervals.GetWidth(k);
            for (int k = span.nFirst; k <= span.nLast; ++k)
                if (width > 0.0) column.shares.emplace_back(k, m_intervals.GetWidth(k) / width);
        } else {
            // A utility of one temperature gives its heat just below it, or takes it just above.
            const int b = BoundaryAt(m_intervals, s->dShiftedInletTemperature);
            if (hot && b >= 0 && b < intervals) column.shares.emplace_back(b, 1.0);
            if (!hot && b >= 1) column.shares.emplace_back(b - 1, 1.0);
        }
        if (column.shares.empty()) continue;
        column.price = s->pStream ? s->pStream->GetCostIndex() : 0.0;
        if (!std::isfinite(column.price) || column.price == kEmptyValue) column.price = 0.0;
        dearest = std::max(dearest, std::fabs(column.price));
        m_utilities.push_back(std::move(column));
    }
    for (UtilityColumn& c : m_utilities) c.price = (dearest > 0.0 ? c.price / dearest : 0.0) + UtilityUnitPrice;
}

namespace {

// The model's rows, columns and entries as they are made, handed to the LP record at the end.
class ModelBuilder {
public:
    int Column(double cost) {
        m_objective.push_back(cost);
        return static_cast<int>(m_objective.size()) - 1;
    }
    int Row(double rhs) {
        m_rhs.push_back(rhs);
        return static_cast<int>(m_rhs.size()) - 1;
    }
    void Set(int row, int column, double value) { m_entries.push_back({row, column, value}); }

    void Into(LPProblem& model) const {
        model.FreeMatchTable();
        model.ResizeColumns(0);
        model.Allocate(static_cast<int>(m_objective.size()), static_cast<int>(m_rhs.size()));
        model.objective = m_objective;
        for (std::size_t r = 0; r < m_rhs.size(); ++r) {
            model.rightHandSides[r] = m_rhs[r];
            model.rowTypes[r] = LPProblem::Equality;
        }
        // Entries naming one place twice are summed, as the solver would.
        for (const Entry& e : m_entries)
            model.pMatrix->SetElement(e.row, e.column, model.pMatrix->GetElement(e.row, e.column) + e.value);
    }

private:
    struct Entry {
        int row, column;
        double value;
    };
    std::vector<double> m_objective;
    std::vector<double> m_rhs;
    std::vector<Entry> m_entries;
};

// A linked segment and the intervals it lies across.
struct LinkedSpan {
    StreamSegment* segment;
    int first;
    int last;
};

// Whether the pair is forbidden: the hot segment's stream is linked to the cold one's.
bool IsForbiddenPair(const StreamSegment& hot, const StreamSegment& cold) {
    if (!hot.pStream) return false;
    return hot.pStream->IsLinkedTo(cold.StreamName());
}

}  // namespace

// Per interval k, all rows equalities:
//   pool      R(k-1) - R(k) - to(U) - to(linked colds) + hot utilities in k = -(pooled hot heat of k)
//   U         from pool + from linked hots + shortfall - cold utilities in k  = pooled cold heat of k
//   linked h  r(h,k-1) - r(h,k) - to(U) - to(linked colds)                    = -(h's heat in k)
//   linked c  from pool + from allowed linked hots + shortfall                 = c's heat in k
// U is every sink that may take heat from any source: the pooled cold process heat and the cold
// utilities. A linked hot segment's cascade runs from its first interval to the bottom; what
// leaves the bottom of any cascade found no cold utility.
void UtilityPlacementLP::BuildModel() {
    if (!m_pModel) m_pModel = std::make_unique<LPProblem>();
    const int intervals = m_intervals.GetNumberOfBoundaries() - 1;
    m_shortfallColumns.clear();
    m_bottomColumns.clear();

    std::vector<LinkedSpan> hotLinked, coldLinked;
    for (const IntervalSpan& span : m_intervals.GetSpans()) {
        if (span.nLast < span.nFirst) continue;
        if (span.IsIn(HotLinkedMembers)) hotLinked.push_back({span.pSegment, span.nFirst, span.nLast});
        if (span.IsIn(ColdLinkedMembers)) coldLinked.push_back({span.pSegment, span.nFirst, span.nLast});
    }
    const bool merge = m_model == IntervalModel::Merged ||
                       (m_model == IntervalModel::BySize && intervals > MergeAboveIntervals);
    if (merge && hotLinked.empty() && coldLinked.empty()) {
        BuildMergedModel();
        return;
    }
    ModelBuilder b;

    for (UtilityColumn& c : m_utilities) c.column = b.Column(c.price);

    std::vector<int> pooledResidual(static_cast<std::size_t>(intervals), -1);
    std::vector<std::vector<int>> linkedResidual(hotLinked.size(),
                                                 std::vector<int>(static_cast<std::size_t>(intervals), -1));
    for (int k = 0; k < intervals; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        const double width = m_intervals.GetWidth(k);
        const bool bottom = k == intervals - 1;

        const int pool = b.Row(-m_pooledHot[kk]);
        pooledResidual[kk] = b.Column(bottom ? ShortfallPrice : 0.0);
        b.Set(pool, pooledResidual[kk], -1.0);
        if (k > 0) b.Set(pool, pooledResidual[kk - 1], 1.0);
        if (bottom) m_bottomColumns.push_back(pooledResidual[kk]);

        const int open = b.Row(m_pooledCold[kk]);
        const int shortfall = b.Column(ShortfallPrice);
        b.Set(open, shortfall, 1.0);
        m_shortfallColumns.push_back(shortfall);
        const int fromPool = b.Column(0.0);
        b.Set(pool, fromPool, -1.0);
        b.Set(open, fromPool, 1.0);

        for (const UtilityColumn& c : m_utilities)
            for (const auto& [interval, share] : c.shares)
                if (interval == k) b.Set(c.hot ? pool : open, c.column, c.hot ? share : -share);

        std::vector<int> linkedRow(hotLinked.size(), -1);
        for (std::size_t h = 0; h < hotLinked.size(); ++h) {
            const LinkedSpan& hs = hotLinked[h];
            if (hs.first > k) continue;
            const double heat = k <= hs.last ? width * std::fabs(hs.segment->dHeatCapacityFlowrate) : 0.0;
            linkedRow[h] = b.Row(-heat);
            linkedResidual[h][kk] = b.Column(bottom ? ShortfallPrice : 0.0);
            b.Set(linkedRow[h], linkedResidual[h][kk], -1.0);
            if (k > hs.first) b.Set(linkedRow[h], linkedResidual[h][kk - 1], 1.0);
            if (bottom) m_bottomColumns.push_back(linkedResidual[h][kk]);
            const int toOpen = b.Column(0.0);
            b.Set(linkedRow[h], toOpen, -1.0);
            b.Set(open, toOpen, 1.0);
        }

        for (const LinkedSpan& cs : coldLinked) {
            if (k < cs.first || k > cs.last) continue;
            const int sink = b.Row(width * std::fabs(cs.segment->dHeatCapacityFlowrate));
            const int lack = b.Column(ShortfallPrice);
            b.Set(sink, lack, 1.0);
            m_shortfallColumns.push_back(lack);
            const int fromPooled = b.Column(0.0);
            b.Set(pool, fromPooled, -1.0);
            b.Set(sink, fromPooled, 1.0);
            for (std::size_t h = 0; h < hotLinked.size(); ++h) {
                if (linkedRow[h] < 0 || IsForbiddenPair(*hotLinked[h].segment, *cs.segment)) continue;
                const int match = b.Column(0.0);
                b.Set(linkedRow[h], match, -1.0);
                b.Set(sink, match, 1.0);
            }
        }
    }
    AddTieRows(b);
    b.Into(*m_pModel);
}

// Which boundaries of the cascade the merged model keeps. Within a stretch where no utility
// starts or ends, every utility used there gives (or takes) heat in proportion to the width, so
// the heat flowing down across boundary j of the stretch is R(top) + P(j) + s d(j): P(j) the
// pooled process surplus from the top of the stretch to j, d(j) the width from the top to j and
// s the same for every j (the utilities' loads over their ranges). For any s, its least value
// lies on a vertex of the lower convex hull of the points (d(j), P(j)); between two vertices the
// points lie on or above the hull's edge, so the flow there is at least the interpolation of the
// flows at the two vertices. Keeping the utilities' ends and the hull vertices (the stretch's
// pinch candidates) therefore keeps every binding boundary: the merged model has the optimum of
// the model over every interval, and a cold sink merged into a block may take heat from the
// whole block (a shortfall entering a block is best taken at its top, where it is worth most).
// Linear in the intervals (one monotone-chain hull per stretch).
std::vector<int> UtilityPlacementLP::MergedBlockStarts() const {
    const int intervals = std::max(m_intervals.GetNumberOfBoundaries() - 1, 0);
    std::vector<char> kept(static_cast<std::size_t>(intervals) + 1, 0);
    if (intervals == 0) return {0};
    kept.front() = kept.back() = 1;
    for (const UtilityColumn& c : m_utilities) {
        if (c.shares.empty()) continue;
        kept[static_cast<std::size_t>(c.shares.front().first)] = 1;
        kept[static_cast<std::size_t>(c.shares.back().first) + 1] = 1;
    }
    std::vector<int> hull;
    std::vector<double> d, p;
    int top = 0;
    for (int j = 1; j <= intervals; ++j) {
        if (!kept[static_cast<std::size_t>(j)]) continue;
        // The stretch from boundary top to boundary j.
        d.assign(1, 0.0);
        p.assign(1, 0.0);
        hull.assign(1, top);
        for (int k = top; k < j; ++k) {
            const auto kk = static_cast<std::size_t>(k);
            const double x = d.back() + m_intervals.GetWidth(k);
            const double y = p.back() + m_pooledHot[kk] - m_pooledCold[kk];
            d.push_back(x);
            p.push_back(y);
            // Drop the last vertex while it lies on or above the line from the one before it
            // to the new point.
            while (hull.size() >= 2) {
                const auto o = static_cast<std::size_t>(hull[hull.size() - 2] - top);
                const auto a = static_cast<std::size_t>(hull.back() - top);
                const double cross = (d[a] - d[o]) * (y - p[o]) - (p[a] - p[o]) * (x - d[o]);
                if (cross > 0.0) break;
                hull.pop_back();
            }
            hull.push_back(k + 1);
        }
        for (int v : hull) kept[static_cast<std::size_t>(v)] = 1;
        top = j;
    }
    std::vector<int> starts;
    for (int j = 0; j <= intervals; ++j)
        if (kept[static_cast<std::size_t>(j)]) starts.push_back(j);
    return starts;
}

// The pooled rows of BuildModel over blocks of intervals instead of single intervals (see
// MergedBlockStarts): a block's pooled heat is the sum of its intervals', a utility's share in
// it the sum of its shares.
void UtilityPlacementLP::BuildMergedModel() {
    const std::vector<int> starts = MergedBlockStarts();
    const int blocks = static_cast<int>(starts.size()) - 1;
    ModelBuilder b;
    for (UtilityColumn& c : m_utilities) c.column = b.Column(c.price);

    std::vector<int> blockOf(m_pooledHot.size(), 0);
    std::vector<int> poolRow(static_cast<std::size_t>(blocks)), openRow(static_cast<std::size_t>(blocks));
    int previousResidual = -1;
    for (int j = 0; j < blocks; ++j) {
        double hot = 0.0, cold = 0.0;
        for (int k = starts[static_cast<std::size_t>(j)]; k < starts[static_cast<std::size_t>(j) + 1]; ++k) {
            const auto kk = static_cast<std::size_t>(k);
            hot += m_pooledHot[kk];
            cold += m_pooledCold[kk];
            blockOf[kk] = j;
        }
        const bool bottom = j == blocks - 1;
        const auto jj = static_cast<std::size_t>(j);
        poolRow[jj] = b.Row(-hot);
        const int residual = b.Column(bottom ? ShortfallPrice : 0.0);
        b.Set(poolRow[jj], residual, -1.0);
        if (previousResidual >= 0) b.Set(poolRow[jj], previousResidual, 1.0);
        if (bottom) m_bottomColumns.push_back(residual);
        previousResidual = residual;

        openRow[jj] = b.Row(cold);
        const int shortfall = b.Column(ShortfallPrice);
        b.Set(openRow[jj], shortfall, 1.0);
        m_shortfallColumns.push_back(shortfall);
        const int fromPool = b.Column(0.0);
        b.Set(poolRow[jj], fromPool, -1.0);
        b.Set(openRow[jj], fromPool, 1.0);
    }
    for (const UtilityColumn& c : m_utilities) {
        // Shares run through the intervals in order: one entry per block.
        int block = -1;
        double share = 0.0;
        auto flush = [&] {
            if (block < 0) return;
            const auto jj = static_cast<std::size_t>(block);
            b.Set(c.hot ? poolRow[jj] : openRow[jj], c.column, c.hot ? share : -share);
        };
        for (const auto& [k, s] : c.shares) {
            const int j = blockOf[static_cast<std::size_t>(k)];
            if (j != block) {
                flush();
                block = j;
                share = 0.0;
            }
            share += s;
        }
        flush();
    }
    AddTieRows(b);
    b.Into(*m_pModel);
}

int UtilityPlacementLP::GetModelRows() const { return m_pModel ? m_pModel->nRows : 0; }

bool UtilityPlacementLP::HasSpecificHeat(const StreamSegment& s) {
    return s.pLink && s.pLink->dSpecificHeat != kEmptyValue && s.pLink->dSpecificHeat > 0.0;
}

double UtilityPlacementLP::ShareWeight(const StreamSegment& s, bool specific) {
    const double range = std::fabs(s.dInletTemperature - s.dOutletTemperature);
    return specific && HasSpecificHeat(s) ? s.pLink->dSpecificHeat * range : range;
}

std::unordered_map<const IHeatIntegrationStream*, bool> UtilityPlacementLP::StreamsWithSpecificHeats() const {
    std::unordered_map<const IHeatIntegrationStream*, bool> specific;
    for (const UtilityColumn& c : m_utilities)
        if (c.segment->pStream) {
            auto [it, fresh] = specific.emplace(c.segment->pStream, true);
            it->second = it->second && HasSpecificHeat(*c.segment);
        }
    return specific;
}

// The segments of one utility stream keep one mass flow: consecutive segments tie their loads in
// the ratio of specific heat x range, or of the ranges alone where the stream gives no specific
// heats (one heat-capacity flow rate over the stream), as the stream spreads a load over them.
template <typename Builder>
void UtilityPlacementLP::AddTieRows(Builder& b) const {
    const std::unordered_map<const IHeatIntegrationStream*, bool> specific = StreamsWithSpecificHeats();
    std::unordered_map<const IHeatIntegrationStream*, const UtilityColumn*> lastOfStream;
    for (const UtilityColumn& c : m_utilities) {
        const StreamSegment& s = *c.segment;
        if (!s.pStream) continue;
        auto found = lastOfStream.find(s.pStream);
        if (found != lastOfStream.end()) {
            const double wa = ShareWeight(*found->second->segment, specific.at(s.pStream));
            const double wb = ShareWeight(s, specific.at(s.pStream));
            if (wa > 0.0 && wb > 0.0) {
                const int row = b.Row(0.0);
                b.Set(row, found->second->column, wb);
                b.Set(row, c.column, -wa);
            }
        }
        lastOfStream[s.pStream] = &c;
    }
}

bool UtilityPlacementLP::Solve(double& shortfall) {
    shortfall = 0.0;
    if (!m_pModel) return false;
    std::vector<double> solution;
    if (!m_pModel->Solve(solution)) return false;
    if (solution.size() < static_cast<std::size_t>(m_pModel->nColumns)) return false;
    for (UtilityColumn& c : m_utilities) c.load = std::max(0.0, Clean(solution[static_cast<std::size_t>(c.column)]));
    for (int j : m_shortfallColumns) shortfall += std::max(0.0, solution[static_cast<std::size_t>(j)]);
    shortfall = Clean(shortfall);
    return true;
}

void UtilityPlacementLP::ComputeResults(double hotShort, const EnergyTarget* reference) {
    const int n = m_intervals.GetNumberOfBoundaries();
    const int intervals = std::max(n - 1, 0);
    std::vector<double> utilityHeat(static_cast<std::size_t>(intervals), 0.0);
    for (const UtilityColumn& c : m_utilities) {
        (c.hot ? m_dHotLoad : m_dColdLoad) += c.load;
        for (const auto& [k, share] : c.shares)
            utilityHeat[static_cast<std::size_t>(k)] += (c.hot ? 1.0 : -1.0) * share * c.load;
    }

    // The process on its own (the problem table) gives its minimum utilities when no energy
    // target says otherwise (it does with forbidden matches). The cascade with the utilities as
    // placed counts the shortfall as coming from the top; what reaches the bottom is heat no cold
    // utility took.
    double own = 0.0, ownLowest = 0.0, placed = 0.0;
    std::vector<double> cascade(static_cast<std::size_t>(n), 0.0);
    for (int k = 0; k < intervals; ++k) {
        own += m_processSurplus[static_cast<std::size_t>(k)];
        ownLowest = std::min(ownLowest, own);
        placed += m_processSurplus[static_cast<std::size_t>(k)] + utilityHeat[static_cast<std::size_t>(k)];
        cascade[static_cast<std::size_t>(k) + 1] = placed;
    }
    m_dMinimumHot = reference ? reference->GetHotUtility() : -ownLowest;
    m_dMinimumCold = reference ? reference->GetColdUtility() : own - ownLowest;
    for (int b = 0; b < n; ++b)
        m_intervals.GetInterval(b)->dValue = Clean(cascade[static_cast<std::size_t>(b)] + hotShort);
    double coldShort = n > 0 ? std::max(0.0, m_intervals.GetInterval(n - 1)->dValue) : 0.0;

    // What is zero is relative to the duties: the cascade sums the heat of every interval, and
    // its round-off grows with the total heat load (at 100,000 streams far above any fixed kW).
    double totalLoad = m_dHotLoad + m_dColdLoad;
    for (std::size_t k = 0; k < m_pooledHot.size(); ++k) totalLoad += m_pooledHot[k] + m_pooledCold[k];
    // A shortfall within the noise the energy target allows a heat balance of rounded data (a
    // share of one side's load, about half the total) is no shortfall either.
    const double tolerance = std::max({TargetValue::Tolerance, TargetValue::RelativeTolerance * totalLoad,
                                       EnergyTarget::kLoadRelativeNoise * 0.5 * totalLoad});
    if (hotShort <= tolerance) hotShort = 0.0;
    if (coldShort <= tolerance) coldShort = 0.0;

    // Each side: the load placed on its utilities, and the load no utility could take.
    m_hot.dFirst = Clean(m_dHotLoad);
    m_hot.dSecond = hotShort;
    m_hot.nStatus = TargetValue::StatusOf(m_hot.dFirst, m_hot.dSecond, tolerance);
    m_cold.dFirst = Clean(m_dColdLoad);
    m_cold.dSecond = coldShort;
    m_cold.nStatus = TargetValue::StatusOf(m_cold.dFirst, m_cold.dSecond, tolerance);

    m_dAssignedLoad = m_dHotLoad + m_dColdLoad;
    m_dUnassignedLoad = hotShort + coldShort;
    const bool assigned = m_dAssignedLoad > std::max(LoadTolerance, tolerance);
    const bool unassigned = m_dUnassignedLoad > std::max(LoadTolerance, tolerance);
    m_nStatus = assigned && unassigned ? PlacedAndShort : assigned ? PlacedOnly : unassigned ? ShortOnly : Nothing;
}

double UtilityPlacementLP::GetSegmentLoad(const StreamSegment* segment) const {
    for (const UtilityColumn& c : m_utilities)
        if (c.segment == segment) return c.load;
    return 0.0;
}

void UtilityPlacementLP::AssignUtilityLoads() {
    std::unordered_map<const StreamSegment*, double> loads;
    for (const UtilityColumn& c : m_utilities) loads[c.segment] = c.load;
    // Streams in the order their first segment appears, with the sum of their segments' loads.
    std::vector<std::pair<IHeatIntegrationStream*, double>> streams;
    std::unordered_map<const IHeatIntegrationStream*, std::size_t> streamIndex;
    for (StreamSegment* s : m_segments) {
        if (s->nKind != 1) continue;
        auto found = loads.find(s);
        const double load = found == loads.end() ? 0.0 : found->second;
        s->dLoad = load;
        s->dSummedLoad = load;
        const double range = std::fabs(s->dInletTemperature - s->dOutletTemperature);
        s->dHeatCapacityFlowrate = range > 0.0 ? load / range : 0.0;
        if (s->pLink) {
            s->pLink->nLoaded = load > LoadTolerance ? 1 : 0;
            s->pLink->nSelected = s->pLink->nLoaded;
        }
        if (!s->pStream) continue;
        auto [it, fresh] = streamIndex.emplace(s->pStream, streams.size());
        if (fresh) streams.emplace_back(s->pStream, 0.0);
        streams[it->second].second += load;
    }
    // The stream spreads its load over its segments itself, and keeps it as its own.
    for (auto& [stream, load] : streams) {
        stream->SetHeatLoad(load, 0);
        stream->SetHeatLoad(load, 1);
    }
}

std::vector<PinchRecord> UtilityPlacementLP::FindPinchPoints(double dtMin) const {
    std::vector<PinchRecord> pinches;
    const int n = m_intervals.GetNumberOfBoundaries();
    if (n < 3) return pinches;
    double lowest = m_intervals.GetInterval(0)->dValue, highest = lowest;
    for (int b = 1; b < n; ++b) {
        lowest = std::min(lowest, m_intervals.GetInterval(b)->dValue);
        highest = std::max(highest, m_intervals.GetInterval(b)->dValue);
    }
    const double tolerance = (highest - lowest) * kPinchTolerance;
    // Every zero of the cascade of the process and the placed utilities: where a second steam
    // level touches the grand composite curve it pinches the problem as the process pinch does. A
    // boundary that only an unloaded utility brings is no pinch, nor are the two ends of what
    // carries heat, where a threshold problem's cascade runs dry.
    for (int b = 1; b + 1 < n; ++b) {
        if (std::fabs(m_intervals.GetInterval(b)->dValue - lowest) > tolerance) continue;
        if (static_cast<std::size_t>(b) >= m_heatEnd.size() || !m_heatEnd[static_cast<std::size_t>(b)]) continue;
        const double t = m_intervals.GetTemperature(b);
        PinchRecord pinch;
        pinch.dHotTemperature = t + dtMin * 0.5;
        pinch.dColdTemperature = t - dtMin * 0.5;
        pinches.push_back(std::move(pinch));
    }
    return pinches;
}
