// A start for the area LP from the same LP over coarser intervals. The streams' shifted end
// temperatures are moved to a coarser grid (heat capacity flowrates scaled so that every
// segment keeps its load), which merges neighbouring interval boundaries; that LP has fewer rows
// and is solved the same way. Its flows are then spread over the fine rows: each segment's heat is
// read from its top down, a coarse column taking its share of its two rows in the order of the
// partner's interval, and the fine rows under each share get the heat in the same order. A piece
// that would send heat to a cold row above its hot row goes unplaced (artificial columns) and is
// left to the network simplex, which starts from this flow instead of from nothing.
#include "eng/targeting/AreaLP.h"

#include "eng/targeting/AreaLPPrice.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace {

// The grid of the coarser LP, in mean widths of this LP's intervals: twice as wide roughly halves
// the boundaries. Measured on random tables of 100 and 200 streams, 1.5, 2.5, 3 and 4 gave 10 to
// 40 % more time.
constexpr double kCoarseGrid = 2.0;
// Coarser LPs are made from coarser ones again down to this depth (or until one is smaller than
// the fewest rows worth it).
constexpr int kMostCoarseLevels = 4;

struct Piece {
    int row;
    double heat;
};

// The fine rows of one segment, top down, and where each ends in the segment's heat.
struct SegmentRows {
    std::vector<int> rows;
    std::vector<double> ends;
    double total = 0.0;
};

// The pieces of fine rows under the share [from, to) of a segment's heat (shares of its total).
void PiecesOf(const SegmentRows& s, double from, double to, std::vector<Piece>& out) {
    out.clear();
    if (!(s.total > 0.0) || !(to > from)) return;
    const double a = from * s.total, b = to * s.total;
    std::size_t k = static_cast<std::size_t>(std::upper_bound(s.ends.begin(), s.ends.end(), a) - s.ends.begin());
    for (; k < s.rows.size(); ++k) {
        const double start = k == 0 ? 0.0 : s.ends[k - 1];
        const double lo = std::max(a, start), hi = std::min(b, s.ends[k]);
        if (hi > lo) out.push_back({s.rows[k], hi - lo});
        if (s.ends[k] >= b) break;
    }
}

}  // namespace

bool AreaLP::CoarseStart(std::vector<double>& flows, std::vector<double>& artificial) {
    m_nCoarsePivots = 0;
    m_nCoarseRows = 0;
    const std::size_t rows = m_rowLoads.size();
    if (m_nCoarseLevel >= kMostCoarseLevels || m_nCoarseStartRows == 0 || rows < m_nCoarseStartRows || m_segments.empty())
        return false;

    double low = 0.0, high = 0.0;
    ShiftedRange(m_segments, low, high);
    const double step = (high - low) * kCoarseGrid / std::max(m_nIntervalCount, 1);
    if (!(step > 0.0)) return false;
    std::vector<std::unique_ptr<StreamSegment>> copies;
    const SegmentRefs coarseSegments = OnGrid(m_segments, low, step, copies);
    std::unordered_map<const StreamSegment*, int> segmentIndex;
    for (std::size_t q = 0; q < m_segments.size(); ++q) {
        segmentIndex.emplace(m_segments[q], static_cast<int>(q));
        segmentIndex.emplace(coarseSegments[q], static_cast<int>(q));
    }

    AreaLP coarse;
    coarse.m_nCoarseLevel = m_nCoarseLevel + 1;
    coarse.m_nCoarseStartRows = m_nCoarseStartRows;
    coarse.m_nMaxColumns = m_nMaxColumns;
    coarse.m_nMaxPricingRounds = m_nMaxPricingRounds;
    coarse.m_dMinimumFFactor = m_dMinimumFFactor;
    coarse.m_dDTmin = m_dDTmin;
    coarse.m_progress = m_progress;
    coarse.m_deadline = m_deadline;
    coarse.m_segments = coarseSegments;
    coarse.BuildIntervals();
    coarse.CountModel();
    if (IsTooLarge(coarse.m_nRowsNeeded) || coarse.m_nRowsNeeded >= rows) return false;
    if (!coarse.BuildModel(m_nKind) || !coarse.SolveOnNetwork()) return false;
    m_nCoarsePivots = (coarse.m_pNetwork ? coarse.m_pNetwork->GetPivots() : 0) + coarse.m_nCoarsePivots;
    m_nCoarseRows = coarse.m_rowLoads.size();

    // Each segment's rows, fine and coarse, top down (intervals are numbered from the top).
    auto rowsBySegment = [&](const AreaLP& lp) {
        std::vector<std::vector<const LoadRow*>> bySegment(m_segments.size());
        auto take = [&](const LoadRow& row) {
            const auto it = segmentIndex.find(row.segment);
            if (it != segmentIndex.end()) bySegment[static_cast<std::size_t>(it->second)].push_back(&row);
        };
        for (const LoadRow& row : lp.m_hotRows) take(row);
        for (const std::vector<LoadRow>& list : lp.m_coldRowsOf)
            for (const LoadRow& row : list) take(row);
        std::vector<SegmentRows> out(m_segments.size());
        for (std::size_t q = 0; q < bySegment.size(); ++q) {
            auto& list = bySegment[q];
            std::sort(list.begin(), list.end(), [](const LoadRow* a, const LoadRow* b) { return a->interval < b->interval; });
            double sum = 0.0;
            for (const LoadRow* row : list) {
                sum += lp.m_rowLoads[static_cast<std::size_t>(row->row)];
                out[q].rows.push_back(row->row);
                out[q].ends.push_back(sum);
            }
            out[q].total = sum;
        }
        return out;
    };
    const std::vector<SegmentRows> fine = rowsBySegment(*this);
    const std::vector<SegmentRows> rough = rowsBySegment(coarse);
    // Where each coarse row starts in its segment's heat, and whose it is.
    std::vector<double> coarseStart(coarse.m_rowLoads.size(), 0.0);
    std::vector<int> coarseSegment(coarse.m_rowLoads.size(), -1), coarseInterval(coarse.m_rowLoads.size(), 0);
    for (std::size_t q = 0; q < rough.size(); ++q)
        for (std::size_t k = 0; k < rough[q].rows.size(); ++k) {
            const std::size_t r = static_cast<std::size_t>(rough[q].rows[k]);
            coarseStart[r] = k == 0 ? 0.0 : rough[q].ends[k - 1];
            coarseSegment[r] = static_cast<int>(q);
        }
    for (const LoadRow& row : coarse.m_hotRows) coarseInterval[static_cast<std::size_t>(row.row)] = row.interval;
    for (const std::vector<LoadRow>& list : coarse.m_coldRowsOf)
        for (const LoadRow& row : list) coarseInterval[static_cast<std::size_t>(row.row)] = row.interval;
    std::vector<int> fineInterval(rows, 0);
    for (const LoadRow& row : m_hotRows) fineInterval[static_cast<std::size_t>(row.row)] = row.interval;
    for (const std::vector<LoadRow>& list : m_coldRowsOf)
        for (const LoadRow& row : list) fineInterval[static_cast<std::size_t>(row.row)] = row.interval;

    // The coarse columns' shares of their rows, in the order of the partner's interval.
    const LPProblem& model = *coarse.m_pModel;
    std::vector<std::size_t> flowing;
    for (std::size_t k = 0; k < model.columns.size(); ++k)
        if (model.columns[k].dFlow > 0.0) flowing.push_back(k);
    std::vector<double> hotAt(model.columns.size(), 0.0), coldAt(model.columns.size(), 0.0);
    auto allocate = [&](bool hotSide, std::vector<double>& at) {
        std::vector<std::size_t> order = flowing;
        auto own = [&](std::size_t k) { return hotSide ? coarse.m_columnRows[k].first : coarse.m_columnRows[k].second; };
        auto partner = [&](std::size_t k) { return hotSide ? coarse.m_columnRows[k].second : coarse.m_columnRows[k].first; };
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            if (own(a) != own(b)) return own(a) < own(b);
            const int ia = coarseInterval[static_cast<std::size_t>(partner(a))];
            const int ib = coarseInterval[static_cast<std::size_t>(partner(b))];
            return ia != ib ? ia < ib : partner(a) < partner(b);
        });
        int last = -1;
        double used = 0.0;
        for (const std::size_t k : order) {
            if (own(k) != last) {
                last = own(k);
                used = coarseStart[static_cast<std::size_t>(last)];
            }
            at[k] = used;
            used += model.columns[k].dFlow;
        }
    };
    allocate(true, hotAt);
    allocate(false, coldAt);

    std::unordered_map<std::uint64_t, double> pairHeat;
    artificial.assign(rows, 0.0);
    std::vector<Piece> hotPieces, coldPieces;
    for (const std::size_t k : flowing) {
        const int ch = coarse.m_columnRows[k].first, cc = coarse.m_columnRows[k].second;
        const int qh = coarseSegment[static_cast<std::size_t>(ch)], qc = coarseSegment[static_cast<std::size_t>(cc)];
        if (qh < 0 || qc < 0) continue;
        const double f = model.columns[k].dFlow;
        const SegmentRows& rh = rough[static_cast<std::size_t>(qh)];
        const SegmentRows& rc = rough[static_cast<std::size_t>(qc)];
        PiecesOf(fine[static_cast<std::size_t>(qh)], hotAt[k] / rh.total, (hotAt[k] + f) / rh.total, hotPieces);
        PiecesOf(fine[static_cast<std::size_t>(qc)], coldAt[k] / rc.total, (coldAt[k] + f) / rc.total, coldPieces);
        std::size_t a = 0, b = 0;
        double hotLeft = hotPieces.empty() ? 0.0 : hotPieces[0].heat;
        double coldLeft = coldPieces.empty() ? 0.0 : coldPieces[0].heat;
        while (a < hotPieces.size() && b < coldPieces.size()) {
            const double heat = std::min(hotLeft, coldLeft);
            const int h = hotPieces[a].row, c = coldPieces[b].row;
            if (fineInterval[static_cast<std::size_t>(c)] >= fineInterval[static_cast<std::size_t>(h)])
                pairHeat[arealp::PairKey(h, c)] += heat;
            hotLeft -= heat;
            coldLeft -= heat;
            if (hotLeft <= 0.0 && ++a < hotPieces.size()) hotLeft = hotPieces[a].heat;
            if (coldLeft <= 0.0 && ++b < coldPieces.size()) coldLeft = coldPieces[b].heat;
        }
    }

    // The fine columns the spread flow needs, then each row's unplaced rest.
    std::vector<const LoadRow*> rowOf(rows, nullptr);
    for (const LoadRow& row : m_hotRows) rowOf[static_cast<std::size_t>(row.row)] = &row;
    for (const std::vector<LoadRow>& list : m_coldRowsOf)
        for (const LoadRow& row : list) rowOf[static_cast<std::size_t>(row.row)] = &row;
    for (const auto& [key, heat] : pairHeat) {
        const int h = static_cast<int>(key >> 32), c = static_cast<int>(key & 0xffffffffu);
        if (rowOf[static_cast<std::size_t>(h)] && rowOf[static_cast<std::size_t>(c)])
            AddColumn(*rowOf[static_cast<std::size_t>(h)], *rowOf[static_cast<std::size_t>(c)]);
    }
    flows.assign(m_pModel->columns.size(), 0.0);
    std::vector<double> placed(rows, 0.0);
    for (std::size_t k = 0; k < m_columnRows.size(); ++k) {
        const auto it = pairHeat.find(arealp::PairKey(m_columnRows[k].first, m_columnRows[k].second));
        if (it == pairHeat.end()) continue;
        flows[k] = it->second;
        placed[static_cast<std::size_t>(m_columnRows[k].first)] += it->second;
        placed[static_cast<std::size_t>(m_columnRows[k].second)] += it->second;
    }
    for (std::size_t r = 0; r < rows; ++r) artificial[r] = std::max(m_rowLoads[r] - placed[r], 0.0);
    return true;
}
