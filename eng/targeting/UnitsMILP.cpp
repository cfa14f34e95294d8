// The sub-network model of the units target and its driver (the model is described in
// UnitsMILP.h).
#include "eng/targeting/UnitsMILP.h"

#include "eng/model/IHeatIntegrationStreamForTargeting.h"
#include "eng/core/StreamSegment.h"
#include "eng/targeting/LPProblem.h"
#include "eng/targeting/TemperatureInterval.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace {

constexpr int kIntervalMode = 14;
constexpr double kNoLoad = 1e-12;
constexpr double kNoFlow = 1e-8;

using StreamRefs = UnitsTargetData::StreamRefs;
using Coefficients = std::vector<std::pair<int, double>>;

// One segment copy as the model uses it.
struct ModelSegment {
    StreamSegment* copy = nullptr;
    int stream = -1;  // index into the model's stream list
    int cellBase = 0; // index of its first cell among the cells of its side
};

// One stream of the model with its own shifted segment copies.
struct ModelStream {
    IHeatIntegrationStreamForTargeting* stream = nullptr;
    int side = 0;
    std::vector<std::unique_ptr<StreamSegment>> copies;  // segment order, all takeable
    double h1 = 0.0, h2 = 0.0;  // tolerance loads of the end segment
    double endTemperature = 0.0; // actual far end of the end segment
    double load = 0.0;
    int firstCell = 0, cellCount = 0, endCell = -1;  // among the cells of its side
    // The cells the end's tolerance reaches, from the end cell inward (`endCells` of them): the
    // end copy reaches h1 beyond the stream's end, and other streams' temperatures may cut that
    // stretch into several cells.
    int innerEndCell = -1, endCells = 1;
    int binary = 0;  // index among the binaries
};

struct Cell {
    double q = 0.0;
    std::vector<int> matches;  // match columns of this cell
};

// The share of the end's stretch that the cells of the end may fall short of it by rounding.
constexpr double kEndStretchShare = 1e-9;

// A heat value the model can work with.
bool Sane(double v) { return std::isfinite(v) && std::fabs(v) <= UnitsMILP::MaxHeat; }

// The segments of a stream as the model takes them: copies on the stream's own side that the
// interval list can place, shifted for the search's minimum approach temperature. A utility takes
// part with the load placed on it, over the range it is used: its copy ends at its far end, with
// the flow rate that gives the segment's load there. Only the end segment reaches beyond its end
// by its first tolerance load (TIList mode 14 reads that as the copy's load).
bool PrepareStream(IHeatIntegrationStreamForTargeting& stream, ModelStream& out) {
    out.stream = &stream;
    out.side = stream.GetHotCold();
    out.copies.clear();
    if (out.side != IHeatIntegrationStreamForTargeting::SideHot && out.side != IHeatIntegrationStreamForTargeting::SideCold)
        return false;
    const StreamSegmentList* segments = stream.GetDesignSegments();
    if (!segments) return false;
    const bool utility = stream.GetStreamKind() == IHeatIntegrationStreamForTargeting::KindUtility;

    const StreamSegment* endOriginal = nullptr;
    for (const auto& original : *segments) {
        if (!original || original->nHotCold != out.side || !IsUsedUtilitySegment(*original)) continue;
        auto c = std::make_unique<StreamSegment>(*original);
        c->pStream = nullptr;  // a copy takes the contribution it is given
        if (utility && c->pLink) {
            c->dOutletTemperature = c->pLink->dFarEndTemperature;
            const double span = c->dInletTemperature - c->dOutletTemperature;
            c->dHeatCapacityFlowrate = span != 0.0 ? std::fabs(original->dLoad / span) : 0.0;
        }
        ValueAndFlag shift;
        shift.dValue = 0.5 * UnitsMILP::ShiftDTmin;
        shift.nFlag = ValueAndFlag::ScopeGlobal;
        c->TakeDTminContribution(shift);
        c->ShiftTemperatures(UnitsMILP::ShiftDTmin);
        c->dLoad = 0.0;
        c->nIntervalCount = 0;
        c->nFirstInterval = 0;
        c->nLastInterval = -1;
        double start = 0.0, end = 0.0;
        if (!IntervalEndTemperatures(*c, kIntervalMode, start, end) || start == end ||
            !(std::fabs(c->dHeatCapacityFlowrate) > 0.0))
            continue;
        out.copies.push_back(std::move(c));
        endOriginal = original.get();
    }
    if (!endOriginal) return false;

    out.h1 = std::fabs(endOriginal->dEndToleranceLoad[0]);
    out.h2 = std::fabs(endOriginal->dEndToleranceLoad[1]);
    out.endTemperature = utility ? endOriginal->GetFarEndTemperature() : endOriginal->dOutletTemperature;
    out.copies.back()->dLoad = out.h1;
    out.load = UnitsStreamLoad(stream);
    return Sane(out.h1) && Sane(out.h2) && Sane(out.load);
}

bool CanTakePart(IHeatIntegrationStreamForTargeting* stream) {
    if (!stream || !(UnitsStreamLoad(*stream) > UnitsMILP::StreamLoadTolerance)) return false;
    ModelStream probe;
    return PrepareStream(*stream, probe);
}

// Adds up coefficients that name the same column, so that a row never loses one.
Coefficients Merged(Coefficients c) {
    std::sort(c.begin(), c.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    Coefficients out;
    for (const auto& e : c) {
        if (!out.empty() && out.back().first == e.first) out.back().second += e.second;
        else out.push_back(e);
    }
    return out;
}

// A row of the first block: coefficients on the block's columns, `a` on the stream's binary,
// right-hand side 0. The second block mirrors it on its own columns with -a on the binary and
// right-hand side -a, so that it describes the streams whose binary is 0.
struct BlockRow {
    Coefficients coefficients;
    int binary = 0;  // column of the binary
    double a = 0.0;
    int type = LPProblem::Equality;
};

void EmitRow(LPProblem& model, const Coefficients& coefficients, int type, double rhs) {
    model.AddRow({}, type, rhs);
    const int row = model.nRows - 1;
    for (const auto& [column, value] : coefficients) model.pMatrix->SetElement(row, column, value);
}

void EmitBlockRow(LPProblem& model, const BlockRow& r, int offset, bool second) {
    Coefficients c;
    c.reserve(r.coefficients.size() + 1);
    for (const auto& [column, value] : r.coefficients) c.emplace_back(column + offset, value);
    c.emplace_back(r.binary, second ? -r.a : r.a);
    EmitRow(model, Merged(std::move(c)), r.type, second ? -r.a : 0.0);
}

}  // namespace

std::unique_ptr<StreamRefs> UnitsTargetData::SolveSubNetworkMILP(const StreamRefs& streams, LPProblem& model,
                                                                 UnitsTargetEntry& entry,
                                                                 const UnitsTargetGroupList& earlierGroups) {
    // Hot streams first, then cold ones, each in list order; a stream with nothing to place
    // cannot be part of a sub-network and stays in the rest.
    std::vector<ModelStream> ms;
    StreamRefs outside;
    for (int side : {IHeatIntegrationStreamForTargeting::SideHot, IHeatIntegrationStreamForTargeting::SideCold}) {
        for (IHeatIntegrationStreamForTargeting* s : streams) {
            if (!s || s->GetHotCold() != side) continue;
            ModelStream m;
            if (PrepareStream(*s, m)) ms.push_back(std::move(m));
            else outside.push_back(s);
        }
    }
    for (IHeatIntegrationStreamForTargeting* s : streams)
        if (s && s->GetHotCold() != IHeatIntegrationStreamForTargeting::SideHot &&
            s->GetHotCold() != IHeatIntegrationStreamForTargeting::SideCold)
            outside.push_back(s);

    // Intervals over all copies, in gathering order.
    std::vector<ModelSegment> segments;
    SegmentRefs refs;
    for (int i = 0; i < static_cast<int>(ms.size()); ++i) {
        ms[static_cast<std::size_t>(i)].binary = i;
        for (auto& c : ms[static_cast<std::size_t>(i)].copies) {
            segments.push_back({c.get(), i, 0});
            refs.push_back(c.get());
        }
    }
    TIList intervals(kIntervalMode);
    intervals.Build(refs);

    // Cells, per side, in stream order and within a stream in segment and interval order.
    std::vector<Cell> cells[2];
    for (ModelStream& m : ms) {
        std::vector<Cell>& side = cells[m.side];
        m.firstCell = static_cast<int>(side.size());
        for (ModelSegment& seg : segments) {
            if (&ms[static_cast<std::size_t>(seg.stream)] != &m) continue;
            StreamSegment& c = *seg.copy;
            seg.cellBase = static_cast<int>(side.size());
            for (int k = c.nFirstInterval; k <= c.nLastInterval; ++k) {
                const double q = std::fabs(intervals.GetWidth(k) * c.dHeatCapacityFlowrate);
                if (!Sane(q) || side.size() >= UnitsMILP::MaxCells) return nullptr;
                side.push_back({q, {}});
            }
        }
        m.cellCount = static_cast<int>(side.size()) - m.firstCell;
        const StreamSegment& last = *m.copies.back();
        const ModelSegment* lastSeg = nullptr;
        for (const ModelSegment& seg : segments)
            if (seg.copy == &last) lastSeg = &seg;
        // A hot stream ends in its last segment's coldest cell, a cold one in its last segment's
        // hottest cell.
        m.endCell = m.side == IHeatIntegrationStreamForTargeting::SideHot
                        ? lastSeg->cellBase + (last.nLastInterval - last.nFirstInterval)
                        : lastSeg->cellBase;
        if (m.cellCount <= 0) return nullptr;  // cannot happen for a takeable copy
        // Inward from the end cell (a hot stream's cells run colder, a cold one's too), within the
        // last copy, while the cells taken hold less than the stretch h1 the copy was extended by.
        const int step = m.side == IHeatIntegrationStreamForTargeting::SideHot ? -1 : 1;
        const int lastCellBase = lastSeg->cellBase, lastCellEnd = lastSeg->cellBase + (last.nLastInterval - last.nFirstInterval);
        double held = side[static_cast<std::size_t>(m.endCell)].q;
        m.innerEndCell = m.endCell;
        m.endCells = 1;
        while (held < m.h1 * (1.0 - kEndStretchShare)) {
            const int next = m.innerEndCell + step;
            if (next < lastCellBase || next > lastCellEnd) break;
            m.innerEndCell = next;
            ++m.endCells;
            held += side[static_cast<std::size_t>(next)].q;
        }
    }
    const int hotCells = static_cast<int>(cells[0].size());

    // Match columns: for every interval from the coldest up, every cold segment there, every hot
    // segment that starts at or above it (unless their streams are linked), heat from the hot
    // segment's cell in that interval, or its last cell when it ends higher up.
    const int nIntervals = std::max(0, intervals.GetNumberOfBoundaries() - 1);
    std::vector<const ModelSegment*> hotSegs, coldSegs;
    for (const ModelSegment& seg : segments) {
        const bool hot = ms[static_cast<std::size_t>(seg.stream)].side == IHeatIntegrationStreamForTargeting::SideHot;
        (hot ? hotSegs : coldSegs).push_back(&seg);
    }
    struct Match {
        const ModelSegment* hot;
        const ModelSegment* cold;
        int hotInterval, coldInterval;
    };
    std::vector<Match> matches;
    for (int i = nIntervals - 1; i >= 0; --i) {
        for (const ModelSegment* cs : coldSegs) {
            if (!(cs->copy->nFirstInterval <= i && i <= cs->copy->nLastInterval)) continue;
            IHeatIntegrationStreamForTargeting* coldStream = ms[static_cast<std::size_t>(cs->stream)].stream;
            for (const ModelSegment* hs : hotSegs) {
                if (hs->copy->nFirstInterval > i) continue;
                IHeatIntegrationStreamForTargeting* hotStream = ms[static_cast<std::size_t>(hs->stream)].stream;
                if (hotStream->IsLinkedTo(coldStream->GetName())) continue;
                matches.push_back({hs, cs, std::min(i, hs->copy->nLastInterval), i});
                if (matches.size() > UnitsMILP::MaxMatchColumns) return nullptr;
            }
        }
    }

    // Column layout: [matches | hot residuals | cold end columns] twice, then the binaries.
    const int m = static_cast<int>(matches.size());
    const int nCold = static_cast<int>(std::count_if(ms.begin(), ms.end(), [](const ModelStream& s) {
        return s.side == IHeatIntegrationStreamForTargeting::SideCold;
    }));
    const int k = m + hotCells + nCold;
    const int nBinaries = static_cast<int>(ms.size());
    const int binaryBase = 2 * k;
    model.Allocate(binaryBase + nBinaries, 0);
    model.pIntegerFlags = std::make_unique<std::vector<unsigned char>>(static_cast<std::size_t>(model.nColumns), 0);
    for (int b = 0; b < nBinaries; ++b) (*model.pIntegerFlags)[static_cast<std::size_t>(binaryBase + b)] = 1;

    model.ResizeColumns(static_cast<std::size_t>(m));
    for (int j = 0; j < m; ++j) {
        const Match& mt = matches[static_cast<std::size_t>(j)];
        LPMatchColumn& col = model.columns[static_cast<std::size_t>(j)];
        col.pHotSegment = mt.hot->copy;
        col.pColdSegment = mt.cold->copy;
        col.pHotInterval = intervals.GetInterval(mt.hotInterval);
        col.pColdInterval = intervals.GetInterval(mt.coldInterval);
        col.nHotIntervalIndex = mt.hotInterval;
        col.nColdIntervalIndex = mt.coldInterval;
        col.nIndex = j;
        cells[0][static_cast<std::size_t>(mt.hot->cellBase + mt.hotInterval - mt.hot->copy->nFirstInterval)]
            .matches.push_back(j);
        cells[1][static_cast<std::size_t>(mt.cold->cellBase + mt.coldInterval - mt.cold->copy->nFirstInterval)]
            .matches.push_back(j);
    }

    int coldIndex = 0;
    std::vector<int> endColumn(ms.size(), 0);
    for (std::size_t s = 0; s < ms.size(); ++s) {
        const ModelStream& st = ms[s];
        endColumn[s] =
            st.side == IHeatIntegrationStreamForTargeting::SideHot ? m + st.endCell : m + hotCells + coldIndex++;
        const double weight = st.load > kNoLoad ? std::fabs(1.0 / st.load) : 0.0;
        model.objective[static_cast<std::size_t>(endColumn[s])] = weight;
        model.objective[static_cast<std::size_t>(endColumn[s] + k)] = weight;
        model.objective[static_cast<std::size_t>(binaryBase + st.binary)] = 1.0;
    }

    // The rows of one block, hot streams first; each stream's cells, then its three end rows.
    std::vector<BlockRow> rows;
    for (std::size_t s = 0; s < ms.size(); ++s) {
        const ModelStream& st = ms[s];
        const bool hot = st.side == IHeatIntegrationStreamForTargeting::SideHot;
        const std::vector<Cell>& side = cells[hot ? 0 : 1];
        const int y = binaryBase + st.binary;
        const int e = endColumn[s];
        const int endLow = std::min(st.endCell, st.innerEndCell), endHigh = std::max(st.endCell, st.innerEndCell);
        auto inEnd = [&](int c) { return c >= endLow && c <= endHigh; };
        for (int c = st.firstCell; c < st.firstCell + st.cellCount; ++c) {
            const Cell& cell = side[static_cast<std::size_t>(c)];
            BlockRow r;
            for (int j : cell.matches) r.coefficients.emplace_back(j, 1.0);
            if (hot) {
                r.coefficients.emplace_back(m + c, 1.0);
                if (c > st.firstCell) r.coefficients.emplace_back(m + c - 1, -1.0);
            } else if (c == st.endCell && st.endCells == 1) {
                r.coefficients.emplace_back(e, 1.0);
            }
            r.binary = y;
            r.a = -cell.q;
            r.type = inEnd(c) ? LPProblem::LessOrEqual : LPProblem::Equality;
            rows.push_back(std::move(r));
        }
        // The end's tolerance d is the stream's own (h1 + h2), bounded by the heat of the cells
        // it reaches: never by the width of one cell that another stream's temperature cut.
        double q = 0.0;
        for (int c = endLow; c <= endHigh; ++c) q += side[static_cast<std::size_t>(c)].q;
        const double d = std::min(q, st.h1 + st.h2);
        BlockRow lower;  // what the end cells pass on is at least Q - d
        for (int c = endLow; c <= endHigh; ++c)
            for (int j : side[static_cast<std::size_t>(c)].matches) lower.coefficients.emplace_back(j, 1.0);
        lower.coefficients.emplace_back(e, 1.0);
        if (hot && endLow > st.firstCell) lower.coefficients.emplace_back(m + endLow - 1, -1.0);
        if (!hot && st.endCells > 1) {
            // A cold stream's end column stands beside the end cells together, as it stands in the
            // end cell's own row when that cell holds the whole stretch.
            BlockRow upper;
            upper.coefficients = lower.coefficients;
            upper.binary = y;
            upper.a = -q;
            upper.type = LPProblem::LessOrEqual;
            rows.push_back(std::move(upper));
        }
        lower.binary = y;
        lower.a = d - q;
        lower.type = LPProblem::GreaterOrEqual;
        rows.push_back(std::move(lower));
        rows.push_back(BlockRow{{{e, 1.0}}, y, -d, LPProblem::LessOrEqual});
        rows.push_back(BlockRow{{{e, 1.0}}, y, st.h1 - d, LPProblem::GreaterOrEqual});
    }
    for (const BlockRow& r : rows) EmitBlockRow(model, r, 0, false);
    for (const BlockRow& r : rows) EmitBlockRow(model, r, k, true);

    // A sub-network holds at least two streams.
    Coefficients cardinality;
    for (int b = 0; b < nBinaries; ++b) cardinality.emplace_back(binaryBase + b, 1.0);
    EmitRow(model, cardinality, LPProblem::GreaterOrEqual, 2.0);
    // No entry of an earlier decomposition may be chosen whole again.
    for (const auto& group : earlierGroups) {
        if (!group || !group->GetEntries()) continue;
        for (const auto& earlier : *group->GetEntries()) {
            if (!earlier || earlier->GetNumberOfNames() == 0) continue;
            Coefficients cut;
            for (const CPString& name : *earlier->GetNames())
                for (const ModelStream& st : ms)
                    if (st.stream->GetName() == name) cut.emplace_back(binaryBase + st.binary, 1.0);
            EmitRow(model, Merged(std::move(cut)), LPProblem::LessOrEqual, earlier->GetNumberOfNames() - 1.0);
        }
    }

    std::vector<double> x;
    const bool solved = model.Solve(x);
    // The columns point at the copies and intervals, which go with this call.
    model.ResizeColumns(0);
    if (!solved) return nullptr;

    auto rest = std::make_unique<StreamRefs>();
    for (std::size_t s = 0; s < ms.size(); ++s) {
        const ModelStream& st = ms[s];
        if (std::fabs(x[static_cast<std::size_t>(binaryBase + st.binary)]) < UnitsMILP::BinaryThreshold) {
            rest->push_back(st.stream);
            continue;
        }
        // The temperature up to which the stream takes part: its end, less what its end column
        // leaves of the first tolerance load.
        const double r = x[static_cast<std::size_t>(endColumn[s])];
        const double cp = std::fabs(st.copies.back()->dHeatCapacityFlowrate);
        double value = st.endTemperature;
        if (cp > kNoFlow)
            value = st.side == IHeatIntegrationStreamForTargeting::SideHot ? st.endTemperature - (st.h1 - r) / cp
                                                                  : st.endTemperature + (st.h1 - r) / cp;
        entry.AddName(st.stream->GetName());
        entry.AddValue(value);
    }
    rest->insert(rest->end(), outside.begin(), outside.end());
    return rest;
}

// ---------------------------------------------------------------- the driver

int CalculateUnitsSubNetworks(const StreamRefs& streams, int milpFlag, UnitsTargetGroupList& groups, double seconds,
                              bool* stopped) {
    StreamRefs list;
    for (IHeatIntegrationStreamForTargeting* s : streams)
        if (CanTakePart(s)) list.push_back(s);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    bool limitReached = false;
    LPProblem model;
    // One model over `candidates`, within what is left of the search's time; none once it is
    // spent.
    auto solve = [&](const StreamRefs& candidates, UnitsTargetEntry& entry) -> std::unique_ptr<StreamRefs> {
        const double left = seconds - std::chrono::duration<double>(Clock::now() - start).count();
        if (!(left > 0.0)) {
            limitReached = true;
            return nullptr;
        }
        model.Free();
        model.dMaxSeconds = left;
        std::unique_ptr<StreamRefs> rest = UnitsTargetData::SolveSubNetworkMILP(candidates, model, entry, groups);
        if (model.bStoppedAtTimeLimit) limitReached = true;
        return rest;
    };

    int found = 0;
    const int runs = std::min(milpFlag, UnitsMILP::MaxDecompositions);
    for (int run = 0; run < runs && !limitReached; ++run) {
        auto group = std::make_unique<UnitsTargetGroup>();
        auto entry = std::make_unique<UnitsTargetEntry>();
        std::unique_ptr<StreamRefs> rest = solve(list, *entry);
        // No solution, or the whole list is the smallest balanced subset: nothing splits off.
        if (!rest || rest->empty()) break;
        ++found;
        group->Append(std::move(entry));

        while (rest && !rest->empty() && !limitReached) {
            std::unique_ptr<StreamRefs> next;
            if (rest->size() > 2) {
                auto further = std::make_unique<UnitsTargetEntry>();
                next = solve(*rest, *further);
                if (next && further->HasNames()) {
                    ++found;
                    group->Append(std::move(further));
                } else {
                    next.reset();
                }
            }
            rest = std::move(next);
        }
        groups.push_back(std::move(group));
    }
    model.Free();
    if (stopped) *stopped = limitReached;
    return found;
}

int UnitsTargetData::CalculateMinimumMatches(UnitsTargetGroupList& groups, bool* stoppedAtTimeLimit) const {
    return CalculateUnitsSubNetworks(m_streams, m_nMILPFlag, groups, UnitsMILP::SearchSeconds, stoppedAtTimeLimit);
}
