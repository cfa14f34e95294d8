// The transshipment LP of the energy target.
//
// Columns: for every interval k, in order,
//   - when k holds cold process heat (the pooled sink): one column from the pooled process
//     source, one from every linked hot segment that has started by k (taken from its interval
//     min(k, last)), and one slack column;
//   - for every linked cold segment in k: the same three kinds, a linked pair costing nothing and
//     a forbidden pair no column;
// then one residual column per interval for the pooled process heat and one per interval of every
// linked hot segment. The source of a sink is the pooled hot process heat of its own interval, or
// of the nearest interval above that has some.
//
// Rows (all equalities): per interval the hot process balance (matches out + residual out -
// residual in = heat given) and, where there is cold process heat, the cold balance; then one row
// per interval of every linked segment, hot ones first.
#include "eng/targeting/EnergyTarget.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "eng/targeting/CompensatedSum.h"

#include <algorithm>
#include <unordered_map>

namespace {

// The heat cascade walked from the top: each interval's hot process heat joins the pool, each
// interval's cold process demand takes what it can from the pool (when it has a source above it)
// and the rest from slack. `sink(k, taken, demand)` hears every demand; the answer is the heat
// left in the pool below each interval, or false on a negative heat or demand.
template <class HasSource, class Sink>
bool WalkCascade(const TIList& intervals, const std::vector<int>& hotCount, const std::vector<double>& hotCP,
                 const std::vector<int>& coldCount, const std::vector<double>& coldCP, HasSource hasSource,
                 Sink sink, std::vector<double>& residual) {
    const int n = intervals.GetNumberOfBoundaries();
    residual.assign(static_cast<std::size_t>(n), 0.0);
    double pool = 0.0;
    int blockFirst = 0;
    auto closeBlock = [&](int last) {
        for (int j = blockFirst; j <= last; ++j) residual[static_cast<std::size_t>(j)] = pool;
    };
    for (int k = 0; k < n; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        const double width = intervals.GetWidth(k);
        if (hotCount[kk] > 0) {
            const double heat = width * hotCP[kk];
            if (!(heat >= 0.0)) return false;
            closeBlock(k - 1);
            blockFirst = k;
            pool += heat;
        }
        if (coldCount[kk] > 0) {
            const double demand = width * coldCP[kk];
            if (!(demand >= 0.0)) return false;
            double taken = 0.0;
            if (hasSource(k)) {
                taken = std::min(pool, demand);
                pool -= taken;
            }
            if (!sink(k, taken, demand)) return false;
        }
    }
    closeBlock(n - 1);
    return true;
}

struct SegmentRange {
    StreamSegment* segment;
    int first;
    int last;
};

// Whether the pair (hot, cold) is forbidden: the hot segment's stream is linked to the cold one's.
bool IsForbiddenPair(const StreamSegment& hot, const StreamSegment& cold) {
    if (!hot.pStream) return false;
    const CPString& coldName = cold.StreamName();
    return hot.pStream->IsLinkedTo(coldName);
}

}  // namespace

void EnergyTarget::BuildModel() { BuildModel(true); }

void EnergyTarget::BuildModel(bool withMatrix) {
    if (!m_pModel) m_pModel = std::make_unique<LPProblem>();
    m_bMatrixBuilt = withMatrix;
    m_bColumnsBuilt = true;
    LPProblem& model = *m_pModel;
    const int n = m_intervals.GetNumberOfBoundaries();

    const std::vector<int> hotCount = m_intervals.CountMembers(HotProcessMembers);
    const std::vector<int> coldCount = m_intervals.CountMembers(ColdProcessMembers);
    const std::vector<double> hotCP = m_intervals.SumHeatCapacityFlowrates(HotProcessMembers, false);
    const std::vector<double> coldCP = m_intervals.SumHeatCapacityFlowrates(ColdProcessMembers, false);

    // Linked segments of the whole record, in segment order. A segment that spans no interval
    // has no heat row and could not give what a column took from it, so it takes no part.
    std::vector<SegmentRange> hotLinked, coldLinked;
    std::vector<std::vector<StreamSegment*>> coldLinkedAt(static_cast<std::size_t>(n));
    for (const IntervalSpan& span : m_intervals.GetSpans()) {
        if (span.nLast < span.nFirst) continue;
        if (span.IsIn(HotLinkedMembers)) hotLinked.push_back({span.pSegment, span.nFirst, span.nLast});
        if (span.IsIn(ColdLinkedMembers)) {
            coldLinked.push_back({span.pSegment, span.nFirst, span.nLast});
            for (int k = span.nFirst; k <= span.nLast; ++k) coldLinkedAt[static_cast<std::size_t>(k)].push_back(span.pSegment);
        }
    }

    std::vector<LPMatchColumn> columns;
    columns.reserve(static_cast<std::size_t>(n) * (2 + hotLinked.size()) + coldLinked.size() * 4);
    auto addColumn = [&](int hotInterval, StreamSegment* hotSegment, int coldInterval, StreamSegment* coldSegment,
                         double cost) {
        LPMatchColumn c;
        c.nIndex = static_cast<std::int32_t>(columns.size());
        c.pHotSegment = hotSegment;
        c.pColdSegment = coldSegment;
        c.nHotIntervalIndex = hotInterval;
        c.nColdIntervalIndex = coldInterval;
        c.pHotInterval = hotInterval >= 0 ? m_intervals.GetInterval(hotInterval) : nullptr;
        c.pColdInterval = m_intervals.GetInterval(coldInterval);
        c.dCoefficient = cost;
        columns.push_back(std::move(c));
    };

    int source = -1;
    for (int k = 0; k < n; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        if (hotCount[kk] > 0) source = k;
        if (coldCount[kk] > 0) {
            if (source >= 0) addColumn(source, nullptr, k, nullptr, MatchCost);
            for (const SegmentRange& h : hotLinked)
                if (h.first <= k) addColumn(std::min(k, h.last), h.segment, k, nullptr, MatchCost);
            addColumn(-1, nullptr, k, nullptr, SlackCost);
        }
        for (StreamSegment* c : coldLinkedAt[kk]) {
            if (source >= 0) addColumn(source, nullptr, k, c, MatchCost);
            // A forbidden pair gets no column at all: any price on one would, over enough
            // intervals, undercut the residuals the heat pays on its way down the cascade.
            for (const SegmentRange& h : hotLinked)
                if (h.first <= k && !IsForbiddenPair(*h.segment, *c))
                    addColumn(std::min(k, h.last), h.segment, k, c, LinkedPairCost);
            addColumn(-1, nullptr, k, c, SlackCost);
        }
    }

    // Residual records: the pooled process heat per interval, then each linked hot segment's.
    m_pooledResiduals = std::vector<double>();
    m_residuals.clear();
    m_residuals.reserve(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) m_residuals.push_back({k, -1, nullptr, 0.0});
    std::vector<int> firstResidualOf(hotLinked.size(), 0);
    for (std::size_t i = 0; i < hotLinked.size(); ++i) {
        firstResidualOf[i] = static_cast<int>(m_residuals.size());
        for (int k = hotLinked[i].first; k <= hotLinked[i].last; ++k)
            m_residuals.push_back({k, hotLinked[i].last, hotLinked[i].segment, 0.0});
    }

    // Row numbers: per interval its hot process row and, when it has cold process heat, its cold
    // row; then the rows of the linked segments, hot ones first, one per interval of each.
    std::vector<int> hotRow(static_cast<std::size_t>(n)), coldRow(static_cast<std::size_t>(n), -1);
    int rows = 0;
    for (int k = 0; k < n; ++k) {
        hotRow[static_cast<std::size_t>(k)] = rows++;
        if (coldCount[static_cast<std::size_t>(k)] > 0) coldRow[static_cast<std::size_t>(k)] = rows++;
    }
    // Per linked segment: its first row and its first interval.
    std::unordered_map<const StreamSegment*, std::pair<int, int>> linkedRows;
    for (const std::vector<SegmentRange>* linked : {&hotLinked, &coldLinked})
        for (const SegmentRange& s : *linked) {
            linkedRows[s.segment] = {rows, s.first};
            rows += s.last - s.first + 1;
        }
    auto linkedRow = [&](const StreamSegment* segment, int interval) {
        auto found = linkedRows.find(segment);
        return found == linkedRows.end() ? -1 : found->second.first + (interval - found->second.second);
    };

    const int matchColumns = static_cast<int>(columns.size());
    model.FreeMatchTable();
    model.ResizeColumns(0);
    model.columns = std::move(columns);
    if (!withMatrix) {
        // The cascade reads the columns only; the rows are laid out if the solver is wanted.
        model.Free();
        return;
    }
    model.Allocate(matchColumns + static_cast<int>(m_residuals.size()), rows);
    for (int j = 0; j < matchColumns; ++j) model.objective[static_cast<std::size_t>(j)] = model.columns[static_cast<std::size_t>(j)].dCoefficient;
    // A unit of heat carried down the whole cascade must cost less than the slack it saves: at
    // ResidualCost a step, heat that a sink three intervals down could take would rather go to
    // cold utility while the sink takes hot utility (with forbidden pairs the split differs, and
    // the target came out high). Spread over the boundaries, the steps of any path cost less than
    // one unit of slack, and heat is still used as high as it can be.
    const double residualCost = ResidualCost / static_cast<double>(n + 1);
    for (std::size_t r = 0; r < m_residuals.size(); ++r) model.objective[static_cast<std::size_t>(matchColumns) + r] = residualCost;

    // The rows a match column stands in: the row of its source (hot interval and hot segment, none
    // for a slack column) and the row of its sink (cold interval and cold segment). The columns
    // are filed by row in column order, so each row is filled from left to right.
    auto sideRow = [&](int interval, const StreamSegment* segment, const std::vector<int>& pooled) {
        if (interval < 0) return -1;
        return segment ? linkedRow(segment, interval) : pooled[static_cast<std::size_t>(interval)];
    };
    std::vector<int> start(static_cast<std::size_t>(rows) + 1, 0);
    std::vector<std::pair<int, int>> rowsOf(static_cast<std::size_t>(matchColumns));
    for (int j = 0; j < matchColumns; ++j) {
        const LPMatchColumn& c = model.columns[static_cast<std::size_t>(j)];
        const int a = sideRow(c.nHotIntervalIndex, c.pHotSegment, hotRow);
        const int b = sideRow(c.nColdIntervalIndex, c.pColdSegment, coldRow);
        rowsOf[static_cast<std::size_t>(j)] = {a, b};
        if (a >= 0) ++start[static_cast<std::size_t>(a) + 1];
        if (b >= 0) ++start[static_cast<std::size_t>(b) + 1];
    }
    for (int r = 0; r < rows; ++r) start[static_cast<std::size_t>(r) + 1] += start[static_cast<std::size_t>(r)];
    std::vector<int> filed(static_cast<std::size_t>(start.back()));
    std::vector<int> next(start.begin(), start.end() - 1);
    for (int j = 0; j < matchColumns; ++j)
        for (int r : {rowsOf[static_cast<std::size_t>(j)].first, rowsOf[static_cast<std::size_t>(j)].second})
            if (r >= 0) filed[static_cast<std::size_t>(next[static_cast<std::size_t>(r)]++)] = j;

    LurmetSparseMatrix& matrix = *model.pMatrix;
    auto fillRow = [&](int row, double rhs) {
        model.rightHandSides[static_cast<std::size_t>(row)] = rhs;
        model.rowTypes[static_cast<std::size_t>(row)] = LPProblem::Equality;
        for (int i = start[static_cast<std::size_t>(row)]; i < start[static_cast<std::size_t>(row) + 1]; ++i)
            matrix.SetElement(row, filed[static_cast<std::size_t>(i)], 1.0);
    };
    for (int k = 0; k < n; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        const double width = m_intervals.GetWidth(k);
        fillRow(hotRow[kk], hotCount[kk] > 0 ? width * hotCP[kk] : 0.0);
        if (k > 0) matrix.SetElement(hotRow[kk], matchColumns + k - 1, -1.0);
        matrix.SetElement(hotRow[kk], matchColumns + k, 1.0);
        if (coldRow[kk] >= 0) fillRow(coldRow[kk], width * coldCP[kk]);
    }
    for (std::size_t i = 0; i < hotLinked.size(); ++i) {
        const SegmentRange& h = hotLinked[i];
        for (int k = h.first; k <= h.last; ++k) {
            const int row = linkedRow(h.segment, k);
            fillRow(row, m_intervals.GetWidth(k) * h.segment->dHeatCapacityFlowrate);
            const int residual = matchColumns + firstResidualOf[i] + (k - h.first);
            if (k > h.first) matrix.SetElement(row, residual - 1, -1.0);
            matrix.SetElement(row, residual, 1.0);
        }
    }
    for (const SegmentRange& c : coldLinked)
        for (int k = c.first; k <= c.last; ++k)
            fillRow(linkedRow(c.segment, k), m_intervals.GetWidth(k) * c.segment->dHeatCapacityFlowrate);
}

bool EnergyTarget::Solve() { return SolveByCascade() || SolveWithSolver(); }

bool EnergyTarget::SolveWithSolver() {
    if (!m_pModel) return false;
    if (!m_bMatrixBuilt) BuildModel(true);
    std::vector<double> solution;
    if (!m_pModel->Solve(solution)) return false;
    const std::size_t matches = m_pModel->columns.size();
    for (std::size_t j = 0; j < matches && j < solution.size(); ++j) m_pModel->columns[j].dFlow = solution[j];
    for (std::size_t r = 0; r < m_residuals.size() && matches + r < solution.size(); ++r)
        m_residuals[r].dValue = solution[matches + r];
    return true;
}

// Why the walk is optimal: heat never moves up, every unit a sink does not take from process heat
// costs a unit of slack, and every unit left in the cascade costs a residual in each interval it
// passes; so taking as much as possible as high as possible lowers every term at once. Within a
// run of intervals that share one source the split of the heat among the sinks is free, and the
// heat crossing each boundary is the same whichever split is taken.
bool EnergyTarget::SolveByCascade() {
    if (!m_pModel) return false;
    if (!m_bColumnsBuilt) BuildModel(false);
    const int n = m_intervals.GetNumberOfBoundaries();
    if (static_cast<int>(m_residuals.size()) != n) return false;  // linked residuals present
    std::vector<int> sourceColumn(static_cast<std::size_t>(n), -1), slackColumn(static_cast<std::size_t>(n), -1);
    for (std::size_t j = 0; j < m_pModel->columns.size(); ++j) {
        const LPMatchColumn& c = m_pModel->columns[j];
        if (c.pHotSegment || c.pColdSegment || c.nColdIntervalIndex < 0 || c.nColdIntervalIndex >= n) return false;
        (c.nHotIntervalIndex >= 0 ? sourceColumn : slackColumn)[static_cast<std::size_t>(c.nColdIntervalIndex)] =
            static_cast<int>(j);
    }
    const std::vector<int> hotCount = m_intervals.CountMembers(HotProcessMembers);
    const std::vector<int> coldCount = m_intervals.CountMembers(ColdProcessMembers);
    const std::vector<double> hotCP = m_intervals.SumHeatCapacityFlowrates(HotProcessMembers, false);
    const std::vector<double> coldCP = m_intervals.SumHeatCapacityFlowrates(ColdProcessMembers, false);

    std::vector<double> flow(m_pModel->columns.size(), 0.0);
    std::vector<double> residual;
    auto hasSource = [&](int k) { return sourceColumn[static_cast<std::size_t>(k)] >= 0; };
    auto sink = [&](int k, double taken, double demand) {
        const auto kk = static_cast<std::size_t>(k);
        if (slackColumn[kk] < 0) return false;
        if (sourceColumn[kk] >= 0) flow[static_cast<std::size_t>(sourceColumn[kk])] = taken;
        flow[static_cast<std::size_t>(slackColumn[kk])] = demand - taken;
        return true;
    };
    if (!WalkCascade(m_intervals, hotCount, hotCP, coldCount, coldCP, hasSource, sink, residual)) return false;

    for (std::size_t j = 0; j < flow.size(); ++j) m_pModel->columns[j].dFlow = flow[j];
    for (int k = 0; k < n; ++k) m_residuals[static_cast<std::size_t>(k)].dValue = residual[static_cast<std::size_t>(k)];
    return true;
}

// The same walk as SolveByCascade, and the same sums in the same order as ComputeResults would
// make of its columns (the source column of an interval before its slack column).
bool EnergyTarget::CalculatePooled() {
    const int n = m_intervals.GetNumberOfBoundaries();
    if (n < 1) return false;
    for (const IntervalSpan& span : m_intervals.GetSpans())
        if (span.nLast >= span.nFirst && (span.IsIn(HotLinkedMembers) || span.IsIn(ColdLinkedMembers))) return false;
    const auto nn = static_cast<std::size_t>(n);
    std::vector<int> hotCount, coldCount;
    std::vector<double> hotCP, coldCP;
    m_intervals.CountAndSumMembers(HotProcessMembers, hotCount, hotCP);
    m_intervals.CountAndSumMembers(ColdProcessMembers, coldCount, coldCP);

    std::vector<double> residual;
    // The source of a sink is the nearest interval at or above it that holds hot process heat.
    std::vector<int> sourceOf(nn, -1);
    for (int k = 0, source = -1; k < n; ++k) {
        if (hotCount[static_cast<std::size_t>(k)] > 0) source = k;
        sourceOf[static_cast<std::size_t>(k)] = source;
    }
    auto hasSource = [&](int k) { return sourceOf[static_cast<std::size_t>(k)] >= 0; };
    auto sink = [](int, double, double) { return true; };
    if (!WalkCascade(m_intervals, hotCount, hotCP, coldCount, coldCP, hasSource, sink, residual)) return false;

    // The walk's flows cross each boundary as the problem table says: the heat each interval
    // gives less what it takes, summed down from the top, lifted by the largest deficit. Summed
    // here with compensation, the values are exact to a few units in the last place of the
    // largest, and the minimum is exactly zero; what lies within (max - min) x 1e-12 of it is
    // the minimum too, as the pinch rule reads it.
    std::vector<double> values(nn, 0.0);
    CompensatedSum cascade;
    double lowest = 0.0;
    for (int k = 0; k + 1 < n; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        const double width = m_intervals.GetWidth(k);
        if (hotCount[kk] > 0) cascade.Add(width * hotCP[kk]);
        if (coldCount[kk] > 0) cascade.Add(-(width * coldCP[kk]));
        values[kk + 1] = cascade.Value();
        lowest = std::min(lowest, values[kk + 1]);
    }
    double highest = 0.0;
    for (double& v : values) {
        v -= lowest;
        highest = std::max(highest, v);
    }
    m_residuals = std::vector<EnergyTargetResidual>();
    m_pooledResiduals = std::move(residual);
    if (!m_pModel) m_pModel = std::make_unique<LPProblem>();
    m_pModel->FreeMatchTable();
    m_pModel->ResizeColumns(0);
    m_pModel->Free();
    m_bColumnsBuilt = false;
    m_bMatrixBuilt = false;
    SetCascade(values, highest * kPinchRelativeTolerance);
    return true;
}
