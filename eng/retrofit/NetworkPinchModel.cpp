#include "eng/retrofit/NetworkPinchModel.h"

#include "eng/retrofit/ModelSolving.h"

#include <initializer_list>
#include <unordered_map>
#include <utility>

namespace {

constexpr double kObjectiveScale = 30000.0;

SparseRow Row(std::initializer_list<std::pair<int, double>> entries) {
    SparseRow row;
    for (const auto& [column, value] : entries) row.Add(column, value);
    return row;
}

}  // namespace

// ---------------------------------------------------------------- stream balances and rank

StreamBalanceRows BuildStreamBalanceRows(const RetrofitNetwork& net) {
    StreamBalanceRows out;
    const int E = static_cast<int>(net.exchangers.size());
    const int H = static_cast<int>(net.heaters.size());
    const int K = static_cast<int>(net.coolers.size());
    out.columns = E + H + K;
    // Rows by stream id, so that every unit is filed under its streams in one pass.
    std::unordered_map<int, std::size_t> hotRow, coldRow, hotUtilityRow, coldUtilityRow;
    for (const auto& s : net.hotStreams) {
        hotRow.emplace(s.streamId, out.rows.size());
        out.rows.emplace_back();
    }
    for (const auto& s : net.coldStreams) {
        coldRow.emplace(s.streamId, out.rows.size());
        out.rows.emplace_back();
    }
    for (const auto& u : net.hotUtilities) {
        hotUtilityRow.emplace(u.streamId, out.rows.size());
        out.rows.emplace_back();
    }
    for (const auto& u : net.coldUtilities) {
        coldUtilityRow.emplace(u.streamId, out.rows.size());
        out.rows.emplace_back();
    }
    auto add = [&out](const std::unordered_map<int, std::size_t>& rows, int id, int column, double value) {
        const auto found = rows.find(id);
        if (found != rows.end()) out.rows[found->second].Add(column, value);
    };
    for (int i = 0; i < E; ++i) {
        const HXInfo& x = net.exchangers[static_cast<std::size_t>(i)];
        add(hotRow, x.hotStream, i, 1.0);
        add(coldRow, x.coldStream, i, -1.0);
    }
    for (int h = 0; h < H; ++h) {
        const HeaterInfo& r = net.heaters[static_cast<std::size_t>(h)];
        add(coldRow, r.processStream, E + h, -1.0);
        add(hotUtilityRow, r.utilityStream, E + h, 1.0);
    }
    for (int k = 0; k < K; ++k) {
        const CoolerInfo& r = net.coolers[static_cast<std::size_t>(k)];
        add(hotRow, r.processStream, E + H + k, 1.0);
        add(coldUtilityRow, r.utilityStream, E + H + k, -1.0);
    }
    out.rows.push_back(Row({{0, 0.0}}));
    return out;
}

// Dense elimination: the balance matrix has one row per stream and utility and one column per
// unit, a few hundred of each for a plant's network, and it is ranked once per analysis; its
// cubic cost stays below the model solve that follows.
int SparseRowMatrix::ComputeRank(RankMatrix& matrix) {
    const int m = matrix.rows ? static_cast<int>(matrix.rows->size()) - 1 : 0;
    const int c = matrix.columns;
    if (m <= 0 || c <= 0) {
        matrix.rank = 0;
        return 0;
    }
    std::vector<std::vector<double>> a(static_cast<std::size_t>(m), std::vector<double>(static_cast<std::size_t>(c), 0.0));
    for (int r = 0; r < m; ++r) {
        const SparseRow& row = (*matrix.rows)[static_cast<std::size_t>(r)];
        for (int e = 0; e < row.GetCount(); ++e) {
            const int col = row.GetColumn(e);
            if (col >= 0 && col < c) a[static_cast<std::size_t>(r)][static_cast<std::size_t>(col)] = row.GetCoefficient(e);
        }
    }
    for (int i = 0; i + 1 < m; ++i) {
        std::vector<double>& pivotRow = a[static_cast<std::size_t>(i)];
        int p = 0;
        while (p < c && pivotRow[static_cast<std::size_t>(p)] == 0.0) ++p;
        if (p == c) continue;
        for (int j = i + 1; j < m; ++j) {
            std::vector<double>& row = a[static_cast<std::size_t>(j)];
            if (row[static_cast<std::size_t>(p)] == 0.0) continue;
            const double factor = -(row[static_cast<std::size_t>(p)] / pivotRow[static_cast<std::size_t>(p)]);
            for (int k = 0; k < c; ++k) row[static_cast<std::size_t>(k)] += factor * pivotRow[static_cast<std::size_t>(k)];
        }
    }
    int zero = 0;
    for (const std::vector<double>& row : a) {
        bool allZero = true;
        for (double v : row)
            if (v != 0.0) allZero = false;
        if (allZero) ++zero;
    }
    matrix.rank = m - zero;
    return matrix.rank;
}

// ---------------------------------------------------------------- the network-pinch MILP

double GeneratePinchMatrx::HeaterWeight(const RetrofitNetwork& net) {
    double sum = 0.0;
    for (const HeaterInfo& h : net.heaters) sum += h.duty;
    return kObjectiveScale / (sum == 0.0 ? 1.0 : sum);
}

namespace {

// Hands out the interpolation columns: continuous ones from the front of their block, integer
// ones from the block after it.
struct ColumnAllocator {
    int continuous;
    int integer;
    int TakeContinuous() { return continuous++; }
    int TakeInteger() { return integer++; }
};

// The rows that tie a node's temperature and load to its stream's curve: convex weights over the
// stream's points, non-zero on at most two neighbours (the chosen segment). Answers the load
// column.
int AddInterpolation(SparseRowList& rows, ColumnAllocator& columns, int rhs, int temperatureColumn, const StrmInfo& s) {
    const int p = static_cast<int>(s.pointTemperatures.size());
    const int load = columns.TakeContinuous();
    std::vector<int> w(static_cast<std::size_t>(p)), slack(static_cast<std::size_t>(p));
    for (int k = 0; k < p; ++k) w[static_cast<std::size_t>(k)] = columns.TakeContinuous();
    for (int k = 0; k < p; ++k) slack[static_cast<std::size_t>(k)] = columns.TakeContinuous();
    std::vector<int> y(static_cast<std::size_t>(p > 1 ? p - 1 : 0));
    for (int& c : y) c = columns.TakeInteger();

    SparseRow loadRow, temperatureRow, weightSum, segmentSum;
    loadRow.Add(load, 1.0);
    temperatureRow.Add(temperatureColumn, 1.0);
    for (int k = 0; k < p; ++k) {
        const int wk = w[static_cast<std::size_t>(k)];
        loadRow.Add(wk, -s.pointLoads[static_cast<std::size_t>(k)]);
        temperatureRow.Add(wk, -s.pointTemperatures[static_cast<std::size_t>(k)]);
        weightSum.Add(wk, 1.0);
    }
    weightSum.Add(rhs, 1.0);
    rows.push_back(std::move(loadRow));
    rows.push_back(std::move(temperatureRow));
    rows.push_back(std::move(weightSum));
    if (y.empty()) return load;
    for (int c : y) segmentSum.Add(c, 1.0);
    segmentSum.Add(rhs, 1.0);
    rows.push_back(std::move(segmentSum));
    for (int k = 0; k < p; ++k) {
        SparseRow adjacency;
        adjacency.Add(w[static_cast<std::size_t>(k)], 1.0);
        if (k < p - 1) adjacency.Add(y[static_cast<std::size_t>(k)], -1.0);
        if (k > 0) adjacency.Add(y[static_cast<std::size_t>(k - 1)], -1.0);
        adjacency.Add(slack[static_cast<std::size_t>(k)], 1.0);
        rows.push_back(std::move(adjacency));
    }
    return load;
}

int ContinuousPerNode(const StrmInfo& s) { return 2 * static_cast<int>(s.pointTemperatures.size()) + 1; }
int IntegerPerNode(const StrmInfo& s) {
    const int p = static_cast<int>(s.pointTemperatures.size());
    return p > 1 ? p - 1 : 0;
}

}  // namespace

bool GeneratePinchMatrx::BuildModel() {
    if (!m_rows.empty()) return true;
    const RetrofitNetwork& net = m_network;
    const int N = static_cast<int>(net.nodes.size());
    const int E = static_cast<int>(net.exchangers.size());
    const int K = static_cast<int>(net.coolers.size());
    const int H = static_cast<int>(net.heaters.size());

    std::unordered_map<std::uint32_t, int> position;  // node fingerprint -> 0-based column
    for (int i = 0; i < N; ++i) position.emplace(net.nodes[static_cast<std::size_t>(i)].fingerprint, i);
    std::unordered_map<int, const StrmInfo*> hot, cold;
    for (const auto& s : net.hotStreams) hot.emplace(s.streamId, &s);
    for (const auto& s : net.coldStreams) cold.emplace(s.streamId, &s);
    auto pos = [&position](std::uint32_t fingerprint) {
        const auto found = position.find(fingerprint);
        return found != position.end() ? found->second : -1;
    };
    auto stream = [](const std::unordered_map<int, const StrmInfo*>& map, int id) -> const StrmInfo* {
        const auto found = map.find(id);
        return found != map.end() ? found->second : nullptr;
    };
    auto fraction = [&net, &pos](std::uint32_t fingerprint) {
        const int p = pos(fingerprint);
        return p >= 0 ? net.nodes[static_cast<std::size_t>(p)].splitFraction : 0.0;
    };

    // Size the interpolation blocks first: the integer columns come after every continuous one.
    int continuous = 0, integer = 0;
    for (const HXInfo& x : net.exchangers) {
        const StrmInfo* h = stream(hot, x.hotStream);
        const StrmInfo* c = stream(cold, x.coldStream);
        if (!h || !c || pos(x.hotInlet) < 0 || pos(x.hotOutlet) < 0 || pos(x.coldInlet) < 0 || pos(x.coldOutlet) < 0)
            return false;
        continuous += 2 * ContinuousPerNode(*h) + 2 * ContinuousPerNode(*c);
        integer += 2 * IntegerPerNode(*h) + 2 * IntegerPerNode(*c);
    }
    for (const MixerInfo& mx : net.mixers) {
        const StrmInfo* s = stream(mx.hot ? hot : cold, mx.streamId);
        if (!s || pos(mx.outlet) < 0) return false;
        for (std::uint32_t in : mx.inlets)
            if (pos(in) < 0) return false;
        const int k = static_cast<int>(mx.inlets.size()) + 1;
        continuous += k * ContinuousPerNode(*s);
        integer += k * IntegerPerNode(*s);
    }
    // A heater or cooler with an exchanger after it on its stream: the temperatures before and
    // after it are joined by its duty, as an exchanger's ends are by its own. At the stream's end
    // the balance and the target already fix it.
    auto linked = [&](const UtilHXInfo& u, const std::unordered_map<int, const StrmInfo*>& streams) -> const StrmInfo* {
        const StrmInfo* s = stream(streams, u.processStream);
        if (!s || u.processOutlet == s->endNode || pos(u.processInlet) < 0 || pos(u.processOutlet) < 0) return nullptr;
        return s;
    };
    for (const HeaterInfo& u : net.heaters)
        if (const StrmInfo* s = linked(u, cold)) {
            continuous += 2 * ContinuousPerNode(*s);
            integer += 2 * IntegerPerNode(*s);
        }
    for (const CoolerInfo& u : net.coolers)
        if (const StrmInfo* s = linked(u, hot)) {
            continuous += 2 * ContinuousPerNode(*s);
            integer += 2 * IntegerPerNode(*s);
        }
    for (const TeeInfo& t : net.tees) {
        if (pos(t.inlet) < 0) return false;
        for (std::uint32_t out : t.outlets)
            if (pos(out) < 0) return false;
    }

    const int duty0 = N, cooler0 = N + E, heater0 = N + E + K, indicator0 = N + E + K + H, slack0 = indicator0 + 2 * E;
    const int interpolation0 = slack0 + 4 * E;
    const int rhs = interpolation0 + continuous + integer;
    ColumnAllocator columns{interpolation0, interpolation0 + continuous};
    SparseRowList rows;
    m_positioned = net.exchangers;

    for (int i = 0; i < E; ++i) {
        const HXInfo& x = net.exchangers[static_cast<std::size_t>(i)];
        const StrmInfo& h = *stream(hot, x.hotStream);
        const StrmInfo& c = *stream(cold, x.coldStream);
        const int q = duty0 + i;
        const double fh = fraction(x.hotInlet), fc = fraction(x.coldInlet);
        const int tHotIn = pos(x.hotInlet), tHotOut = pos(x.hotOutlet);
        const int tColdIn = pos(x.coldInlet), tColdOut = pos(x.coldOutlet);
        HXInfo& positioned = m_positioned[static_cast<std::size_t>(i)];
        positioned.hotInletPosition = tHotIn + 1;
        positioned.hotOutletPosition = tHotOut + 1;
        positioned.coldInletPosition = tColdIn + 1;
        positioned.coldOutletPosition = tColdOut + 1;

        const std::size_t dutyRows = rows.size();
        rows.emplace_back();
        rows.emplace_back();
        const int lHotIn = AddInterpolation(rows, columns, rhs, tHotIn, h);
        const int lHotOut = AddInterpolation(rows, columns, rhs, tHotOut, h);
        const int lColdIn = AddInterpolation(rows, columns, rhs, tColdIn, c);
        const int lColdOut = AddInterpolation(rows, columns, rhs, tColdOut, c);
        // Loads count from each stream's supply: the hot side's grows towards its outlet, the
        // cold side's towards its outlet too.
        rows[dutyRows] = Row({{q, 1.0}, {lHotIn, fh}, {lHotOut, -fh}});
        rows[dutyRows + 1] = Row({{q, 1.0}, {lColdOut, -fc}, {lColdIn, fc}});

        const int zHot = indicator0 + 2 * i, zCold = zHot + 1;
        const int a = slack0 + 4 * i;
        rows.push_back(Row({{tHotIn, 1.0}, {tColdOut, -1.0}, {a, -1.0}, {rhs, m_dtMin}}));
        rows.push_back(Row({{tHotOut, 1.0}, {tColdIn, -1.0}, {a + 1, -1.0}, {rhs, m_dtMin}}));
        rows.push_back(Row({{tHotIn, 1.0}, {tColdOut, -1.0}, {a + 2, -1.0}, {zHot, 1.0}, {rhs, m_dtMin + 1.0}}));
        rows.push_back(Row({{tHotOut, 1.0}, {tColdIn, -1.0}, {a + 3, -1.0}, {zCold, 1.0}, {rhs, m_dtMin + 1.0}}));
    }

    // Stream ends and balances. Each exchanger duty is the heat its stream gives or takes (the
    // split fraction is already in the duty rows), so both balances count it once.
    auto ends = [&](const StrmInfo& s) {
        if (pos(s.startNode) >= 0) rows.push_back(Row({{pos(s.startNode), 1.0}, {rhs, s.supplyTemperature}}));
        if (pos(s.endNode) >= 0) rows.push_back(Row({{pos(s.endNode), 1.0}, {rhs, s.targetTemperature}}));
    };
    // Units by stream id, so each balance reads only its own units.
    std::unordered_map<int, std::vector<int>> hotUnits, coldUnits;
    for (int i = 0; i < E; ++i) {
        const HXInfo& x = net.exchangers[static_cast<std::size_t>(i)];
        hotUnits[x.hotStream].push_back(duty0 + i);
        coldUnits[x.coldStream].push_back(duty0 + i);
    }
    for (int h = 0; h < H; ++h) coldUnits[net.heaters[static_cast<std::size_t>(h)].processStream].push_back(heater0 + h);
    for (int k = 0; k < K; ++k) hotUnits[net.coolers[static_cast<std::size_t>(k)].processStream].push_back(cooler0 + k);
    auto balance = [&](const StrmInfo& s, const std::unordered_map<int, std::vector<int>>& units) {
        ends(s);
        SparseRow row;
        const auto found = units.find(s.streamId);
        if (found != units.end())
            for (int column : found->second) row.Add(column, 1.0);
        row.Add(rhs, s.TotalLoad());
        rows.push_back(std::move(row));
    };
    for (const ColdStrmInfo& s : net.coldStreams) balance(s, coldUnits);
    for (const HotStrmInfo& s : net.hotStreams) balance(s, hotUnits);

    for (const TeeInfo& t : net.tees)
        for (std::uint32_t out : t.outlets) rows.push_back(Row({{pos(t.inlet), 1.0}, {pos(out), -1.0}}));

    // Duty = f (L(outlet) - L(inlet)) on the process stream, loads counted from its supply; with a
    // constant heat-capacity flow rate the unit moves the stream's temperature by duty / (f cp).
    auto link = [&](const UtilHXInfo& u, int dutyColumn, const StrmInfo& s) {
        const std::size_t dutyRow = rows.size();
        rows.emplace_back();
        const int lIn = AddInterpolation(rows, columns, rhs, pos(u.processInlet), s);
        const int lOut = AddInterpolation(rows, columns, rhs, pos(u.processOutlet), s);
        const double f = fraction(u.processInlet);
        rows[dutyRow] = Row({{dutyColumn, 1.0}, {lOut, -f}, {lIn, f}});
    };
    for (int h = 0; h < H; ++h)
        if (const StrmInfo* s = linked(net.heaters[static_cast<std::size_t>(h)], cold))
            link(net.heaters[static_cast<std::size_t>(h)], heater0 + h, *s);
    for (int k = 0; k < K; ++k)
        if (const StrmInfo* s = linked(net.coolers[static_cast<std::size_t>(k)], hot))
            link(net.coolers[static_cast<std::size_t>(k)], cooler0 + k, *s);

    for (const MixerInfo& mx : net.mixers) {
        const StrmInfo& s = *stream(mx.hot ? hot : cold, mx.streamId);
        const std::size_t balanceRow = rows.size();
        rows.emplace_back();
        SparseRow balance;
        const int lOut = AddInterpolation(rows, columns, rhs, pos(mx.outlet), s);
        balance.Add(lOut, fraction(mx.outlet));
        for (std::uint32_t in : mx.inlets) {
            const int lIn = AddInterpolation(rows, columns, rhs, pos(in), s);
            balance.Add(lIn, -fraction(in));
        }
        rows[balanceRow] = std::move(balance);
    }

    SparseRow objective;
    const double w = HeaterWeight(net);
    for (int h = 0; h < H; ++h) objective.Add(heater0 + h, w);
    for (int z = 0; z < 2 * E; ++z) objective.Add(indicator0 + z, 1.0);
    rows.push_back(std::move(objective));

    m_rows = std::move(rows);
    m_width = rhs + 1;
    m_integerColumns = integer;
    return true;
}

// ---------------------------------------------------------------- solve

bool IsPinchIndicatorSet(double value) { return value >= 0.9999999 && value <= 1.0000001; }

int SolvePinchModel(PinchSolveRecord& record) {
    SolverModel model;
    model.width = record.width;
    model.integerColumns = record.integerColumns;
    model.rows = record.rows;
    model.solved = 1;
    const std::size_t n = static_cast<std::size_t>(record.width > 1 ? record.width - 1 : 0);
    if (record.solution.size() != n) record.solution.assign(n, 0.0);
    record.solution = SolveModel(model);
    record.solution.resize(n, 0.0);

    const int E = record.exchangers ? static_cast<int>(record.exchangers->size()) : 0;
    const std::size_t heater0 = static_cast<std::size_t>(record.nodes + E + record.coolers);
    const std::size_t indicator0 = heater0 + static_cast<std::size_t>(record.heaters);
    record.heaterDuties.assign(static_cast<std::size_t>(record.heaters), 0.0);
    for (std::size_t h = 0; h < record.heaterDuties.size() && heater0 + h < n; ++h)
        record.heaterDuties[h] = record.solution[heater0 + h];
    record.flaggedIds.clear();
    for (int i = 0; i < E; ++i) {
        const std::size_t z = indicator0 + 2 * static_cast<std::size_t>(i);
        if (z + 1 >= n + 1) break;
        if (IsPinchIndicatorSet(record.solution[z]) || (z + 1 < n && IsPinchIndicatorSet(record.solution[z + 1])))
            record.flaggedIds.push_back((*record.exchangers)[static_cast<std::size_t>(i)].fingerprint);
    }
    record.flaggedCount = static_cast<int>(record.flaggedIds.size());
    return record.flaggedCount;
}
