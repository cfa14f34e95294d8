// The area LP's model: its load rows, its columns (hot segment in one interval to cold segment in
// the same or a colder interval) with their prices, and the solve by column generation.
#include "eng/targeting/AreaLP.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "eng/targeting/BathAreaTarget.h"
#include "pellin/FFactor.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The mean temperature difference of a column never goes below this, so that a column whose
// approach is nil is priced very high rather than infinitely.
constexpr double kMinimumMTD = 1e-6;
// A column comes in when its reduced cost is below this share of its price.
constexpr double kPricingTolerance = 1e-7;
// A round that lowers the area by less than this share of it makes no progress.
constexpr double kStallTolerance = 1e-9;
// Heat on an artificial column above this share of its row's load means the loads cannot be
// exchanged.
constexpr double kArtificialTolerance = 1e-6;
// The first price of an artificial column, as a multiple of the dearest starting column, and how
// much dearer it gets when the solution still leans on one.
constexpr double kArtificialMultiple = 1e3;
constexpr double kArtificialGrowth = 1e3;
constexpr double kArtificialCeiling = 1e15;
// Starting columns reach this many intervals either side of the one at the curves' approach.
constexpr int StartingReach = 1;

const CPString& StreamNameOf(const StreamSegment& s) { return s.pStream ? s.pStream->GetName() : s.strStreamName; }

double MeanTemperatureDifference(double top, double bottom) {
    const double mtd = 2.0 * std::sqrt(std::max(top * bottom, 0.0)) / 3.0 + (top + bottom) / 6.0;
    return mtd > kMinimumMTD ? mtd : kMinimumMTD;
}

std::uint64_t PairKey(int a, int b) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) | static_cast<std::uint32_t>(b);
}

}  // namespace

// The area one unit of the column's heat needs: the film resistances over a mean temperature
// difference of the interval pair (two thirds of the geometric and one third of the arithmetic
// mean of the end differences, close to the log mean), times F for shell-and-tube exchange. A
// pair of linked streams that may not match is priced out.
double AreaLP::Coefficient(const LPMatchColumn& column, int kind, double& F, bool computeF) const {
    const StreamSegment& h = *column.pHotSegment;
    const StreamSegment& c = *column.pColdSegment;
    if (h.nKind == 2 && c.nKind == 2 && h.pStream && h.pStream->IsLinkedTo(StreamNameOf(c))) return ForbiddenCoefficient;
    const int i = column.nHotIntervalIndex;
    const int j = column.nColdIntervalIndex;
    const double dh = Shift(h);
    const double dc = Shift(c);
    double mtd = MeanTemperatureDifference(TopDifference(i, j) + dh + dc, BottomDifference(i, j) + dh + dc);
    if (kind == ShellAndTube) {
        if (computeF) {
            const double vh = RawContribution(h);
            const double vc = RawContribution(c);
            double shells = 0.0;
            F = 1.0;
            g_CalculateFFactorAndShells(m_pIntervals->GetTemperature(i + 1) + vh, m_pIntervals->GetTemperature(i) + vh,
                                        m_pIntervals->GetTemperature(j + 1) - vc, m_pIntervals->GetTemperature(j) - vc,
                                        m_dMinimumFFactor, F, shells, 0, 0);
        }
        mtd = std::max(mtd * F, kMinimumMTD);
    }
    return (InverseFilmCoefficient(h.dFilmCoefficient) + InverseFilmCoefficient(c.dFilmCoefficient)) / mtd;
}

// The same price for a candidate column between two load rows; the F-factors of segments on the
// common temporary approach are kept per interval pair, as pricing asks for them many times.
double AreaLP::Coefficient(const LoadRow& hot, const LoadRow& cold, double& F) const {
    const int i = hot.interval;
    const int j = cold.interval;
    const double dh = Shift(*hot.segment);
    const double dc = Shift(*cold.segment);
    double mtd = MeanTemperatureDifference(TopDifference(i, j) + dh + dc, BottomDifference(i, j) + dh + dc);
    F = 1.0;
    if (m_nKind == ShellAndTube) {
        const double vh = RawContribution(*hot.segment);
        const double vc = RawContribution(*cold.segment);
        const bool common = vh == TemporaryDTmin && vc == TemporaryDTmin;
        auto cached = common ? m_fFactors.find(PairKey(i, j)) : m_fFactors.end();
        if (cached != m_fFactors.end()) {
            F = cached->second;
        } else {
            double shells = 0.0;
            g_CalculateFFactorAndShells(m_pIntervals->GetTemperature(i + 1) + vh, m_pIntervals->GetTemperature(i) + vh,
                                        m_pIntervals->GetTemperature(j + 1) - vc, m_pIntervals->GetTemperature(j) - vc,
                                        m_dMinimumFFactor, F, shells, 0, 0);
            if (common) m_fFactors.emplace(PairKey(i, j), F);
        }
        mtd = std::max(mtd * F, kMinimumMTD);
    }
    return (hot.resistance + cold.resistance) / mtd;
}

bool AreaLP::MayMatch(const StreamSegment& hot, const StreamSegment& cold) const {
    if (hot.nKind == 1 && cold.nKind == 1) return false;
    if (hot.nKind != 2 || cold.nKind != 2) return true;
    const auto h = m_linked.find(&hot);
    const auto c = m_linked.find(&cold);
    if (h == m_linked.end() || c == m_linked.end()) return true;
    return !m_forbidden[static_cast<std::size_t>(h->second) * m_linked.size() + static_cast<std::size_t>(c->second)];
}

void AreaLP::AddColumn(const LoadRow& hot, const LoadRow& cold) {
    if (!m_columnKeys.insert(PairKey(hot.row, cold.row)).second) return;
    LPMatchColumn column;
    column.pHotSegment = hot.segment;
    column.pColdSegment = cold.segment;
    column.pHotInterval = m_pIntervals->GetInterval(hot.interval);
    column.pColdInterval = m_pIntervals->GetInterval(cold.interval);
    column.nHotIntervalIndex = hot.interval;
    column.nColdIntervalIndex = cold.interval;
    double F = 1.0;
    column.dCoefficient = Coefficient(hot, cold, F);
    column.nIndex = static_cast<std::int32_t>(m_pModel->columns.size());
    m_pModel->columns.push_back(std::move(column));
    m_columnF.push_back(F);
    m_columnRows.emplace_back(hot.row, cold.row);
}

bool AreaLP::BuildModel(int kind) {
    if (!m_pModel) m_pModel = std::make_unique<LPProblem>();
    LPProblem& model = *m_pModel;
    model.FreeMatchTable();
    model.ResizeColumns(0);
    model.Free();
    m_columnF.clear();
    m_columnRows.clear();
    m_columnKeys.clear();
    m_fFactors.clear();
    m_hotRows.clear();
    m_coldRowsOf.clear();
    m_rowLoads.clear();
    m_nKind = kind;
    m_nPricingRounds = 0;
    if (!m_pIntervals) return false;
    const int n = m_nIntervalCount;

    // One equality per segment and interval: the segment gives or takes its load in the
    // interval. Rows by interval, hot process, cold process, hot linked, cold linked, hot
    // utility, cold utility.
    std::size_t rows = 0;
    for (int k = 0; k < n; ++k)
        for (const SegmentRefs& list : m_members[static_cast<std::size_t>(k)]) rows += list.size();
    if (rows > MaxColumns) return false;
    m_coldRowsOf.resize(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const IntervalMembers& m = m_members[static_cast<std::size_t>(k)];
        const double width = m_pIntervals->GetWidth(k);
        for (MemberList list : {HotProcess, ColdProcess, HotLinked, ColdLinked, HotUtility, ColdUtility}) {
            const bool hot = list == HotProcess || list == HotLinked || list == HotUtility;
            for (StreamSegment* s : m[list]) {
                LoadRow row{s, k, static_cast<int>(m_rowLoads.size()), s->nKind, InverseFilmCoefficient(s->dFilmCoefficient)};
                m_rowLoads.push_back(width * std::fabs(s->dHeatCapacityFlowrate));
                (hot ? m_hotRows : m_coldRowsOf[static_cast<std::size_t>(k)]).push_back(row);
            }
        }
    }

    // Forbidden pairs, looked up once per pair of linked segments.
    m_linked.clear();
    for (StreamSegment* s : m_segments)
        if (s->nKind == 2) m_linked.emplace(s, static_cast<int>(m_linked.size()));
    m_forbidden.assign(m_linked.size() * m_linked.size(), 0);
    for (const auto& [h, a] : m_linked) {
        if (h->nHotCold != 0 || !h->pStream) continue;
        for (const auto& [c, b] : m_linked)
            if (c->nHotCold == 1 && h->pStream->IsLinkedTo(StreamNameOf(*c)))
                m_forbidden[static_cast<std::size_t>(a) * m_linked.size() + static_cast<std::size_t>(b)] = 1;
    }

    // A small model gets every column at once: one solve, no pricing.
    std::size_t candidates = 0;
    for (const LoadRow& hot : m_hotRows) {
        for (int j = hot.interval; j < n && candidates <= FullModelColumns; ++j)
            for (const LoadRow& cold : m_coldRowsOf[static_cast<std::size_t>(j)])
                if (MayMatch(*hot.segment, *cold.segment)) ++candidates;
        if (candidates > FullModelColumns) break;
    }
    if (candidates <= FullModelColumns) {
        for (const LoadRow& hot : m_hotRows)
            for (int j = hot.interval; j < n; ++j)
                for (const LoadRow& cold : m_coldRowsOf[static_cast<std::size_t>(j)])
                    if (MayMatch(*hot.segment, *cold.segment)) AddColumn(hot, cold);
    } else {
        AddStartingColumns();
    }
    double dearest = 0.0;
    for (const LPMatchColumn& c : model.columns) dearest = std::max(dearest, c.dCoefficient);
    m_dArtificialCost = kArtificialMultiple * std::max(dearest, 1.0);
    return true;
}

// Starting columns: from each hot row to every cold segment it may meet that runs at the curves'
// approach below it, in the interval there and its neighbours; the same from each cold row up to
// every hot segment.
void AreaLP::AddStartingColumns() {
    const int n = m_nIntervalCount;
    struct Span {
        int first = 0;
        std::vector<const LoadRow*> rows;  // by interval from `first`
    };
    std::unordered_map<const StreamSegment*, Span> spans;
    std::vector<const StreamSegment*> hotOrder, coldOrder;
    auto file = [&](const LoadRow& row, std::vector<const StreamSegment*>& order) {
        auto [it, added] = spans.try_emplace(row.segment);
        if (added) {
            it->second.first = row.interval;
            order.push_back(row.segment);
        }
        it->second.rows.resize(static_cast<std::size_t>(row.interval - it->second.first) + 1, nullptr);
        it->second.rows.back() = &row;
    };
    for (const LoadRow& hot : m_hotRows) file(hot, hotOrder);
    for (int j = 0; j < n; ++j)
        for (const LoadRow& cold : m_coldRowsOf[static_cast<std::size_t>(j)]) file(cold, coldOrder);
    // The interval at the curves' approach below (+1) or above (-1) interval k.
    auto partnerOf = [&](int k, int direction) {
        const std::vector<double>& forces = direction > 0 ? m_hotForces : m_coldForces;
        const double force = forces.size() > static_cast<std::size_t>(k) + 1
                                 ? std::min(0.5 * (forces[static_cast<std::size_t>(k)] + forces[static_cast<std::size_t>(k) + 1]), 1e6)
                                 : 0.0;
        const double t = 0.5 * (m_pIntervals->GetTemperature(k) + m_pIntervals->GetTemperature(k + 1)) -
                         direction * std::max(force - TemporaryDTmin, 0.0);
        int p = k;
        if (direction > 0)
            while (p + 1 < n && m_pIntervals->GetTemperature(p + 1) > t) ++p;
        else
            while (p > 0 && m_pIntervals->GetTemperature(p) < t) --p;
        return p;
    };
    // Columns between `row` and the intervals of `other` nearest to `near` within [lo, hi].
    auto reach = [&](const LoadRow& row, bool hotRow, const StreamSegment* other, int near, int lo, int hi) {
        const Span& span = spans[other];
        lo = std::max(lo, span.first);
        hi = std::min(hi, span.first + static_cast<int>(span.rows.size()) - 1);
        if (hi < lo) return;
        if (!(hotRow ? MayMatch(*row.segment, *other) : MayMatch(*other, *row.segment))) return;
        // Only segments that run at the approach: pricing finds the others where they pay.
        if (near < lo - StartingReach || near > hi + StartingReach) return;
        near = std::clamp(near, lo, hi);
        // A utility gives or takes much heat in few intervals: it is offered every interval of
        // every partner.
        const int spread = row.kind == 1 ? n : StartingReach;
        for (int k = std::max(lo, near - spread); k <= std::min(hi, near + spread); ++k)
            if (const LoadRow* partner = span.rows[static_cast<std::size_t>(k - span.first)])
                hotRow ? AddColumn(row, *partner) : AddColumn(*partner, row);
    };
    for (int j = 0; j < n; ++j)
        for (const LoadRow& cold : m_coldRowsOf[static_cast<std::size_t>(j)]) {
            const int iv = partnerOf(j, -1);
            for (const StreamSegment* h : hotOrder) reach(cold, false, h, iv, 0, j);
        }
    for (const LoadRow& hot : m_hotRows) {
        const int jv = partnerOf(hot.interval, 1);
        for (const StreamSegment* c : coldOrder) reach(hot, true, c, jv, hot.interval, n - 1);
    }
}

void AreaLP::RefreshCoefficients(int kind) {
    if (!m_pModel) return;
    m_nKind = kind;
    m_fFactors.clear();
    for (LoadRow& row : m_hotRows) row.resistance = InverseFilmCoefficient(row.segment->dFilmCoefficient);
    for (std::vector<LoadRow>& rows : m_coldRowsOf)
        for (LoadRow& row : rows) row.resistance = InverseFilmCoefficient(row.segment->dFilmCoefficient);
    LPProblem& model = *m_pModel;
    double dearest = 0.0;
    for (std::size_t k = 0; k < model.columns.size(); ++k) {
        LPMatchColumn& column = model.columns[k];
        double F = k < m_columnF.size() ? m_columnF[k] : 1.0;
        column.dCoefficient = Coefficient(column, kind, F, false);
        if (column.dCoefficient != ForbiddenCoefficient) dearest = std::max(dearest, column.dCoefficient);
    }
    m_dArtificialCost = kArtificialMultiple * std::max(dearest, 1.0);
}

// The solver sees the artificial columns first and the real ones after them, so that the columns
// priced in since the last round are added at the end: each round goes on from the last round's
// optimum (a warm start) instead of solving from nothing. The solution comes back as the rest of
// the area LP reads it: real columns, then the artificials.
bool AreaLP::SolveRestricted(std::vector<double>& solution, std::vector<double>& prices) {
    LPProblem& model = *m_pModel;
    const int columns = static_cast<int>(model.columns.size());
    const int rows = static_cast<int>(m_rowLoads.size());
    model.FreeMatchTable();
    model.Allocate(columns + rows, rows);
    model.bWarmStart = true;
    for (int r = 0; r < rows; ++r) {
        const auto rr = static_cast<std::size_t>(r);
        model.objective[rr] = m_dArtificialCost;
        model.pMatrix->SetElement(r, r, 1.0);
        model.rightHandSides[rr] = m_rowLoads[rr];
        model.rowTypes[rr] = LPProblem::Equality;
    }
    for (int k = 0; k < columns; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        model.objective[static_cast<std::size_t>(rows + k)] = model.columns[kk].dCoefficient;
        model.pMatrix->SetElement(m_columnRows[kk].first, rows + k, 1.0);
        model.pMatrix->SetElement(m_columnRows[kk].second, rows + k, 1.0);
    }
    std::vector<double> x;
    if (!model.Solve(x, true, &prices) || prices.size() != static_cast<std::size_t>(rows) ||
        x.size() != static_cast<std::size_t>(columns + rows))
        return false;
    solution.resize(x.size());
    std::copy(x.begin() + rows, x.end(), solution.begin());
    std::copy(x.begin(), x.begin() + rows, solution.begin() + columns);
    return true;
}

// Pricing: a column (h, i, c, j) lowers the area when its price is below the row prices of its two
// rows. Every pair a row may meet is looked at; for each hot row the best column to each cold
// segment comes in, and the best column of each cold row.
std::size_t AreaLP::PriceColumns(const std::vector<double>& prices) {
    struct Best {
        double reducedCost = 0.0;
        const LoadRow* hot = nullptr;
        const LoadRow* cold = nullptr;
    };
    // The best column of each cold row to each hot segment, keyed by (row, hot segment number).
    std::unordered_map<std::uint64_t, Best> bestOfRow;
    std::unordered_map<const StreamSegment*, int> hotNumber;
    for (const LoadRow& hot : m_hotRows) hotNumber.emplace(hot.segment, static_cast<int>(hotNumber.size()));
    // The best column of the current hot row to each cold segment, by the segment's number.
    std::unordered_map<const StreamSegment*, int> coldNumber;
    for (const std::vector<LoadRow>& rows : m_coldRowsOf)
        for (const LoadRow& cold : rows) coldNumber.emplace(cold.segment, static_cast<int>(coldNumber.size()));
    std::vector<Best> bestOfPartner(coldNumber.size());
    const int n = m_nIntervalCount;
    const std::size_t before = m_pModel->columns.size();
    // The restricted solution's prices, each hot row's lowered by the most negative reduced cost of
    // its columns, are prices of the whole model: the area they give is a lower bound.
    m_dLowerBound = m_pModel->dObjectiveValue;
    for (const LoadRow& hot : m_hotRows) {
        const double uh = prices[static_cast<std::size_t>(hot.row)];
        double mostNegative = 0.0;
        std::fill(bestOfPartner.begin(), bestOfPartner.end(), Best{});
        for (int j = hot.interval; j < n; ++j) {
            for (const LoadRow& cold : m_coldRowsOf[static_cast<std::size_t>(j)]) {
                const double y = uh + prices[static_cast<std::size_t>(cold.row)];
                // Countercurrent price first: F never lowers the price, so a column that does not
                // pay countercurrent does not pay at all.
                const double mtd =
                    MeanTemperatureDifference(TopDifference(hot.interval, j) + Shift(*hot.segment) + Shift(*cold.segment),
                                              BottomDifference(hot.interval, j) + Shift(*hot.segment) + Shift(*cold.segment));
                const double lower = (hot.resistance + cold.resistance) / mtd;
                if (lower - y >= -kPricingTolerance * lower) continue;
                if (!MayMatch(*hot.segment, *cold.segment)) continue;
                double F = 1.0;
                const double price = m_nKind == ShellAndTube ? Coefficient(hot, cold, F) : lower;
                const double reduced = price - y;
                mostNegative = std::min(mostNegative, reduced);
                if (reduced >= -kPricingTolerance * price) continue;
                if (m_columnKeys.count(PairKey(hot.row, cold.row))) continue;
                Best& partner = bestOfPartner[static_cast<std::size_t>(coldNumber[cold.segment])];
                if (reduced < partner.reducedCost) partner = Best{reduced, &hot, &cold};
                Best& b = bestOfRow[PairKey(cold.row, hotNumber[hot.segment])];
                if (reduced < b.reducedCost) b = Best{reduced, &hot, &cold};
            }
        }
        for (const Best& b : bestOfPartner)
            if (b.hot) AddColumn(*b.hot, *b.cold);
        m_dLowerBound += mostNegative * m_rowLoads[static_cast<std::size_t>(hot.row)];
    }
    for (const auto& [key, b] : bestOfRow)
        if (b.hot) AddColumn(*b.hot, *b.cold);
    return m_pModel->columns.size() - before;
}

bool AreaLP::Solve() {
    m_nPricingRounds = 0;
    if (!m_pModel || m_rowLoads.empty() || m_pModel->columns.empty()) return false;
    LPProblem& model = *m_pModel;
    for (LPMatchColumn& c : model.columns) c.dFlow = 0.0;
    // Loads that do not balance cannot all be exchanged, whatever the columns.
    double given = 0.0, taken = 0.0;
    for (const LoadRow& row : m_hotRows) given += m_rowLoads[static_cast<std::size_t>(row.row)];
    for (const std::vector<LoadRow>& rows : m_coldRowsOf)
        for (const LoadRow& row : rows) taken += m_rowLoads[static_cast<std::size_t>(row.row)];
    if (std::fabs(given - taken) > kArtificialTolerance * std::max({given, taken, 1.0})) return false;
    std::vector<double> solution, prices;
    // Warm starts run within one generation only: its rows stay, its columns only grow.
    model.basis.clear();
    model.basisColumns = 0;
    bool solved = false;
    int stalled = 0;
    std::size_t solvedColumns = 0;
    double lastObjective = std::numeric_limits<double>::infinity();
    while (m_nPricingRounds < MaxPricingRounds) {
        ++m_nPricingRounds;
        if (!SolveRestricted(solution, prices)) return false;
        solved = true;
        solvedColumns = model.columns.size();
        if (solvedColumns > MaxColumns) break;
        const double objective = model.dObjectiveValue;
        bool artificial = false;
        for (std::size_t r = 0; r < m_rowLoads.size() && !artificial; ++r)
            artificial = solution[solvedColumns + r] > kArtificialTolerance * std::max(m_rowLoads[r], 1.0);
        // Degenerate solutions can keep offering columns that change nothing: a round that did
        // not lower the area ends the search once a second one in a row did not either.
        stalled = !artificial && objective >= lastObjective - kStallTolerance * std::fabs(objective) ? stalled + 1 : 0;
        lastObjective = objective;
        if (stalled < 2 && PriceColumns(prices) > 0 &&
            (artificial || objective - m_dLowerBound > OptimalityGap * std::fabs(objective)))
            continue;
        if (!artificial) break;
        // No column pays any more, yet heat stays on an artificial column: it either cannot go
        // anywhere (a forbidden match leaves a stream no partner) or was kept there by too low a
        // price. Try a dearer one before giving up.
        if (m_dArtificialCost * kArtificialGrowth > kArtificialCeiling) break;
        m_dArtificialCost *= kArtificialGrowth;
    }
    if (!solved) return false;
    // Columns priced in after the last solve carry nothing.
    for (std::size_t r = 0; r < m_rowLoads.size(); ++r)
        if (solution[solvedColumns + r] > kArtificialTolerance * std::max(m_rowLoads[r], 1.0)) return false;
    for (std::size_t k = 0; k < solvedColumns; ++k) model.columns[k].dFlow = solution[k];
    return true;
}
