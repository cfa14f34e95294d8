// The area LP's model: its load rows, its columns (hot segment in one interval to cold segment in
// the same or a colder interval) with their prices, and the solve by column generation.
#include "eng/targeting/AreaLP.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "eng/targeting/AreaLPNetwork.h"
#include "eng/targeting/AreaLPPrice.h"
#include "eng/targeting/BathAreaTarget.h"
#include "pellin/FFactor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

using namespace arealp;

namespace {

// Once the columns exceed this many per row, those whose reduced cost exceeds this share of their
// price are dropped.
constexpr std::size_t MaxKeptColumnsPerRow = 10;
constexpr double kDropShare = 0.02;
// The entering search of a large model's network looks at blocks of this share of the usual size:
// started near the optimum (or from the coarser LP's), few arcs pay at a time, and taking the best
// of a shorter block pivots sooner at little cost in pivots (random streams: a quarter gives a
// fifth less time from 100 to 300 streams, 10 to 19 % more pivots).
constexpr double kLargeModelBlockShare = 0.25;
// Heat on an artificial column above this share of its row's load means the loads cannot be
// exchanged.
constexpr double kArtificialTolerance = 1e-6;
// The first price of an artificial column, as a multiple of the dearest starting column, and how
// much dearer it gets when the solution still leans on one.
constexpr double kArtificialMultiple = 1e3;
constexpr double kArtificialGrowth = 1e3;
constexpr double kArtificialCeiling = 1e15;

const CPString& StreamNameOf(const StreamSegment& s) { return s.StreamName(); }

}  // namespace

// The area one unit of a column's heat needs, the column between two load rows: the film
// resistances over a mean temperature difference of the interval pair (two thirds of the
// geometric and one third of the arithmetic mean of the end differences, close to the log mean),
// times F for shell-and-tube exchange. The F-factors of segments on the common temporary approach
// are kept per interval pair, as pricing asks for them many times. (A forbidden pair gets no
// column at all: MayMatch.)
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
        if (vh == TemporaryDTmin && vc == TemporaryDTmin) {
            F = CommonFFactor(i, j);
        } else {
            double shells = 0.0;
            g_CalculateFFactorAndShells(m_pIntervals->GetTemperature(i + 1) + vh, m_pIntervals->GetTemperature(i) + vh,
                                        m_pIntervals->GetTemperature(j + 1) - vc, m_pIntervals->GetTemperature(j) - vc,
                                        m_dMinimumFFactor, F, shells, 0, 0);
        }
        mtd = std::max(mtd * F, kMinimumMTD);
    }
    return (hot.resistance + cold.resistance) / mtd;
}

double AreaLP::CommonFFactor(int i, int j) const {
    const auto cached = m_fFactors.find(PairKey(i, j));
    if (cached != m_fFactors.end()) return cached->second;
    const double v = TemporaryDTmin;
    double F = 1.0, shells = 0.0;
    g_CalculateFFactorAndShells(m_pIntervals->GetTemperature(i + 1) + v, m_pIntervals->GetTemperature(i) + v,
                                m_pIntervals->GetTemperature(j + 1) - v, m_pIntervals->GetTemperature(j) - v,
                                m_dMinimumFFactor, F, shells, 0, 0);
    m_fFactors.emplace(PairKey(i, j), F);
    return F;
}

// Whether the rows' segments may exchange heat: a utility never meets a utility, a forbidden pair
// never (looked up by the segments' places among the linked ones).
bool AreaLP::MayMatch(const LoadRow& hot, const LoadRow& cold) const {
    if (hot.segment->nKind == 1 && cold.segment->nKind == 1) return false;
    if (hot.segment->nKind != 2 || cold.segment->nKind != 2 || hot.linked < 0 || cold.linked < 0) return true;
    return !m_forbidden[static_cast<std::size_t>(hot.linked) * m_linked.size() + static_cast<std::size_t>(cold.linked)];
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
    m_pNetwork.reset();
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
    auto placeAmongLinked = [&](LoadRow& row) {
        const auto it = m_linked.find(row.segment);
        row.linked = it == m_linked.end() ? -1 : it->second;
    };
    for (LoadRow& row : m_hotRows) placeAmongLinked(row);
    for (std::vector<LoadRow>& rows : m_coldRowsOf)
        for (LoadRow& row : rows) placeAmongLinked(row);

    // The reference model gets every column at once: one solve, no pricing.
    if (m_method == Method::FullModel) {
        for (const LoadRow& hot : m_hotRows)
            for (int j = hot.interval; j < n; ++j)
                for (const LoadRow& cold : m_coldRowsOf[static_cast<std::size_t>(j)])
                    if (MayMatch(hot, cold)) AddColumn(hot, cold);
    } else {
        AddStartingColumns();
    }
    double dearest = 0.0;
    for (const LPMatchColumn& c : model.columns) dearest = std::max(dearest, c.dCoefficient);
    m_dArtificialCost = kArtificialMultiple * std::max(dearest, 1.0);
    return true;
}

// Starting columns: the heat laid down the balanced composite curves vertically. The hot rows
// and the cold rows are walked together from the top down, each share of heat going to the cold
// heat at the same place along the curves; a pair that may not match, or whose cold row lies
// above the hot one, gets no column (pricing finds where that heat goes). About one column per
// row, and most of them in the optimum.
void AreaLP::AddStartingColumns() {
    std::vector<const LoadRow*> cold;
    for (const std::vector<LoadRow>& rows : m_coldRowsOf)
        for (const LoadRow& row : rows) cold.push_back(&row);
    if (m_hotRows.empty() || cold.empty()) return;
    auto load = [&](const LoadRow& row) { return m_rowLoads[static_cast<std::size_t>(row.row)]; };
    std::size_t a = 0, b = 0;
    double hotLeft = load(m_hotRows[0]), coldLeft = load(*cold[0]);
    while (a < m_hotRows.size() && b < cold.size()) {
        const LoadRow& h = m_hotRows[a];
        const LoadRow& c = *cold[b];
        if (c.interval >= h.interval && MayMatch(h, c)) AddColumn(h, c);
        if (hotLeft < coldLeft) {
            coldLeft -= hotLeft;
            if (++a < m_hotRows.size()) hotLeft = load(m_hotRows[a]);
        } else {
            hotLeft -= coldLeft;
            if (++b < cold.size()) coldLeft = load(*cold[b]);
        }
    }
}

void AreaLP::DropColumns(const std::vector<char>& keep) {
    LPProblem& model = *m_pModel;
    std::size_t next = 0;
    for (std::size_t k = 0; k < model.columns.size(); ++k) {
        if (!keep[k]) {
            m_columnKeys.erase(PairKey(m_columnRows[k].first, m_columnRows[k].second));
            continue;
        }
        if (next != k) {
            model.columns[next] = std::move(model.columns[k]);
            m_columnRows[next] = m_columnRows[k];
            m_columnF[next] = m_columnF[k];
        }
        model.columns[next].nIndex = static_cast<std::int32_t>(next);
        ++next;
    }
    model.columns.resize(next);
    m_columnRows.resize(next);
    m_columnF.resize(next);
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

bool AreaLP::Solve() { return m_method == Method::FullModel ? SolveWithLPSolver() : SolveOnNetwork(); }

// Column generation on the network: each round solves the restricted model from where the last
// one stopped (the tree and its flows stay optimal for the old columns) and prices every
// candidate against its row prices.
bool AreaLP::SolveOnNetwork() {
    m_nPricingRounds = 0;
    if (!m_pModel || m_rowLoads.empty()) return false;
    LPProblem& model = *m_pModel;
    for (LPMatchColumn& c : model.columns) c.dFlow = 0.0;
    double given = 0.0, taken = 0.0;
    std::vector<char> hot(m_rowLoads.size(), 0);
    for (const LoadRow& row : m_hotRows) {
        given += m_rowLoads[static_cast<std::size_t>(row.row)];
        hot[static_cast<std::size_t>(row.row)] = 1;
    }
    for (const std::vector<LoadRow>& rows : m_coldRowsOf)
        for (const LoadRow& row : rows) taken += m_rowLoads[static_cast<std::size_t>(row.row)];
    if (std::fabs(given - taken) > kArtificialTolerance * std::max({given, taken, 1.0})) return false;

    bool fresh = false;
    if (!m_pNetwork || m_pNetwork->GetNumberOfArcs() > static_cast<int>(model.columns.size())) {
        m_pNetwork = std::make_unique<AreaLPNetwork>();
        m_pNetwork->Reset(m_rowLoads, hot, m_dArtificialCost);
        if (m_nCoarseStartRows > 0 && m_rowLoads.size() >= m_nCoarseStartRows) m_pNetwork->SetBlockShare(kLargeModelBlockShare);
        fresh = true;
    }
    AreaLPNetwork& network = *m_pNetwork;
    std::size_t onNetwork = static_cast<std::size_t>(network.GetNumberOfArcs());
    auto addArcs = [&] {
        for (; onNetwork < model.columns.size(); ++onNetwork)
            network.AddArc(m_columnRows[onNetwork].first, m_columnRows[onNetwork].second,
                           model.columns[onNetwork].dCoefficient);
    };
    addArcs();
    if (fresh) {
        std::vector<double> flows, artificial;
        if (CoarseStart(flows, artificial)) {
            addArcs();
            if (!network.StartFrom(flows, artificial)) m_nCoarseRows = 0;
        }
    }
    if (m_progress) {
        const std::string rows = std::to_string(m_rowLoads.size()) + " rows";
        m_progress("SolvingAreaLinearModel", m_nCoarseLevel > 0     ? "a coarser model for a start, " + rows
                                             : m_nKind == Countercurrent ? "countercurrent exchange, " + rows
                                                                       : "shell-and-tube exchange, " + rows);
    }
    // A bound on the pivots only against a solve that cannot settle; real ones need far fewer.
    const std::int64_t pivotLimit = 2000 * static_cast<std::int64_t>(m_rowLoads.size()) + 1000000;
    // The columns the last round of pricing brought in (a round brings in at most kBestPerRow a
    // row, usually far fewer).
    std::size_t lastAdded = 0;
    std::vector<double> prices(m_rowLoads.size(), 0.0);
    bool artificial = false;
    bool optimal = false;
    while (m_nPricingRounds < m_nMaxPricingRounds) {
        ++m_nPricingRounds;
        if (!network.Optimize(pivotLimit, m_deadline)) {
            m_bStoppedAtTimeLimit = m_bStoppedAtTimeLimit || network.StoppedAtDeadline();
            return false;
        }
        const double objective = network.GetObjective();
        model.dObjectiveValue = objective;
        for (std::size_t r = 0; r < m_rowLoads.size(); ++r) prices[r] = network.GetRowPrice(static_cast<int>(r));
        artificial = false;
        for (std::size_t r = 0; r < m_rowLoads.size() && !artificial; ++r)
            artificial = network.GetArtificialFlow(static_cast<int>(r)) > kArtificialTolerance * std::max(m_rowLoads[r], 1.0);
        if (model.columns.size() > MaxKeptColumnsPerRow * m_rowLoads.size()) {
            // Columns that stand far from paying are let go: pricing brings any of them back
            // should the prices come to favour it.
            std::vector<char> keep(model.columns.size(), 1);
            for (std::size_t k = 0; k < keep.size(); ++k) {
                const double cost = model.columns[k].dCoefficient;
                keep[k] = network.IsTreeArc(static_cast<int>(k)) || network.GetReducedCost(static_cast<int>(k)) < kDropShare * cost;
            }
            network.DropArcs(keep);
            DropColumns(keep);
            onNetwork = model.columns.size();
        }
        // Near the ceiling, harder: the dearest columns go until as many as the last round brought
        // in fit again.
        if (model.columns.size() + lastAdded > m_nMaxColumns) {
            LetGoDearest(network, m_nMaxColumns > lastAdded ? m_nMaxColumns - lastAdded : 0);
            onNetwork = model.columns.size();
        }
        // Every round is priced, even one that did not lower the area (a degenerate pivot path can
        // stay at one area for a while): only the prices prove the optimum.
        const std::size_t added = PriceColumns(prices);
        lastAdded = added;
        addArcs();
        const bool proved = added == 0 || (!artificial && objective - m_dLowerBound <= OptimalityGap * std::fabs(objective));
        if (!proved) {
            // The new columns pay at today's prices and the old ones off the tree do not: should
            // they not all fit, the old ones go first.
            if (model.columns.size() > m_nMaxColumns) {
                LetGoDearest(network, m_nMaxColumns);
                onNetwork = model.columns.size();
                if (model.columns.size() > m_nMaxColumns) return false;
            }
            continue;
        }
        if (!artificial) {
            // The columns just priced in carry no heat: those that do not fit go.
            LetGoDearest(network, m_nMaxColumns);
            optimal = true;
            break;
        }
        // No column pays any more, yet heat stays on an artificial column: it either cannot go
        // anywhere (a forbidden match leaves a stream no partner) or was kept there by too low a
        // price. Try a dearer one before giving up.
        if (m_dArtificialCost * kArtificialGrowth > kArtificialCeiling) break;
        m_dArtificialCost *= kArtificialGrowth;
        network.SetArtificialCost(m_dArtificialCost);
    }
    if (!optimal) return false;
    for (std::size_t k = 0; k < model.columns.size(); ++k) model.columns[k].dFlow = network.GetFlow(static_cast<int>(k));
    return true;
}

void AreaLP::LetGoDearest(AreaLPNetwork& network, std::size_t most) {
    LPProblem& model = *m_pModel;
    if (model.columns.size() <= most) return;
    std::vector<double> offTree;
    offTree.reserve(model.columns.size());
    for (std::size_t k = 0; k < model.columns.size(); ++k)
        if (!network.IsTreeArc(static_cast<int>(k))) offTree.push_back(network.GetReducedCost(static_cast<int>(k)));
    const std::size_t onTree = model.columns.size() - offTree.size();
    const std::size_t room = most > onTree ? most - onTree : 0;
    std::vector<char> keep(model.columns.size(), 0);
    if (room > 0) {
        // The room-th cheapest reduced cost off the tree: those below it stay, and of those equal
        // to it as many as fit, in column order.
        std::nth_element(offTree.begin(), offTree.begin() + static_cast<std::ptrdiff_t>(room - 1), offTree.end());
        const double limit = offTree[room - 1];
        std::size_t below = 0;
        for (double r : offTree) below += r < limit ? 1 : 0;
        std::size_t equalLeft = room - below;
        for (std::size_t k = 0; k < keep.size(); ++k) {
            if (network.IsTreeArc(static_cast<int>(k))) continue;
            const double r = network.GetReducedCost(static_cast<int>(k));
            if (r < limit) keep[k] = 1;
            else if (r == limit && equalLeft > 0) {
                keep[k] = 1;
                --equalLeft;
            }
        }
    }
    network.DropArcs(keep);
    DropColumns(keep);
}

bool AreaLP::SolveWithLPSolver() {
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
    bool optimal = false;
    std::size_t solvedColumns = 0;
    while (m_nPricingRounds < m_nMaxPricingRounds) {
        ++m_nPricingRounds;
        if (!SolveRestricted(solution, prices)) return false;
        solved = true;
        solvedColumns = model.columns.size();
        const double objective = model.dObjectiveValue;
        bool artificial = false;
        for (std::size_t r = 0; r < m_rowLoads.size() && !artificial; ++r)
            artificial = solution[solvedColumns + r] > kArtificialTolerance * std::max(m_rowLoads[r], 1.0);
        // Only the prices prove the optimum: every round is priced.
        const std::size_t added = PriceColumns(prices);
        const bool proved = added == 0 || (!artificial && objective - m_dLowerBound <= OptimalityGap * std::fabs(objective));
        if (!proved) {
            // The general solver holds every column it is given: a model that would outgrow the
            // ceiling before its optimum is proved is not solved.
            if (model.columns.size() > m_nMaxColumns) return false;
            continue;
        }
        if (!artificial) {
            optimal = true;
            break;
        }
        // No column pays any more, yet heat stays on an artificial column: it either cannot go
        // anywhere (a forbidden match leaves a stream no partner) or was kept there by too low a
        // price. Try a dearer one before giving up.
        if (m_dArtificialCost * kArtificialGrowth > kArtificialCeiling) break;
        m_dArtificialCost *= kArtificialGrowth;
    }
    if (!solved || !optimal) return false;
    // Columns priced in after the last solve carry nothing.
    for (std::size_t r = 0; r < m_rowLoads.size(); ++r)
        if (solution[solvedColumns + r] > kArtificialTolerance * std::max(m_rowLoads[r], 1.0)) return false;
    for (std::size_t k = 0; k < solvedColumns; ++k) model.columns[k].dFlow = solution[k];
    return true;
}
