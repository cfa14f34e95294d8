// The area LP of a very large scenario is solved over a grid of shifted temperatures: the load
// rows (one per segment and interval it lies in) grow with the streams times the intervals, that
// is as the square of the streams, and the network simplex's time faster still (random tables: 300
// streams 68,000 rows and 8 s, 500 streams 179,000 rows and about 50 s, 1,000 streams 690,000
// rows, more than ten minutes and 1.5 GB). A scenario whose own intervals would give more than
// MaxRows load rows has every process segment's shifted ends moved to the nearest point of an
// even grid, its heat capacity flowrate scaled so that it keeps its load, the grid the finest
// that brings the rows within MaxRows. That LP is solved and laid out as the scenario's own would
// be; its areas are those of streams whose ends lie up to half a grid step from their own.
#include "eng/targeting/AreaLP.h"

#include <algorithm>
#include <cmath>
#include <limits>

void AreaLP::ShiftedRange(const SegmentRefs& segments, double& low, double& high) {
    low = std::numeric_limits<double>::infinity();
    high = -low;
    for (const StreamSegment* s : segments) {
        low = std::min({low, s->dShiftedInletTemperature, s->dShiftedOutletTemperature});
        high = std::max({high, s->dShiftedInletTemperature, s->dShiftedOutletTemperature});
    }
    if (segments.empty()) low = high = 0.0;
}

SegmentRefs AreaLP::OnGrid(const SegmentRefs& segments, double low, double step,
                           std::vector<std::unique_ptr<StreamSegment>>& copies) {
    SegmentRefs out;
    out.reserve(segments.size());
    copies.clear();
    copies.reserve(segments.size());
    for (const StreamSegment* original : segments) {
        const StreamSegment& s = *original;
        auto copy = std::make_unique<StreamSegment>(s);
        if (s.nKind != 1) {
            const double top = std::max(s.dShiftedInletTemperature, s.dShiftedOutletTemperature);
            const double bottom = std::min(s.dShiftedInletTemperature, s.dShiftedOutletTemperature);
            double newTop = low + std::round((top - low) / step) * step;
            double newBottom = low + std::round((bottom - low) / step) * step;
            if (newTop - newBottom < 0.5 * step) newTop = newBottom + step;
            if (top > bottom) {
                auto moved = [&](double t) { return t == top ? newTop : newBottom; };
                const double in = moved(s.dShiftedInletTemperature), out = moved(s.dShiftedOutletTemperature);
                copy->dInletTemperature += in - s.dShiftedInletTemperature;
                copy->dOutletTemperature += out - s.dShiftedOutletTemperature;
                copy->dShiftedInletTemperature = in;
                copy->dShiftedOutletTemperature = out;
                copy->dHeatCapacityFlowrate *= (top - bottom) / (newTop - newBottom);
            }
        }
        out.push_back(copy.get());
        copies.push_back(std::move(copy));
    }
    return out;
}

bool AreaLP::ComputeOnGrid(MatchwiseStreamDataList* matches) {
    double low = 0.0, high = 0.0;
    ShiftedRange(m_segments, low, high);
    const double range = high - low;
    // Every segment keeps a row at least, however wide the grid.
    if (!(range > 0.0) || m_nRowsNeeded == 0 || m_segments.size() > m_nMaxRows) return false;

    // The LP over a grid, its intervals built and its rows counted.
    struct GridModel {
        std::vector<std::unique_ptr<StreamSegment>> copies;
        std::unique_ptr<AreaLP> lp;
        bool fits = false;
    };
    auto make = [&](double step) {
        GridModel g;
        g.lp = std::make_unique<AreaLP>();
        AreaLP& grid = *g.lp;
        grid.m_segments = OnGrid(m_segments, low, step, g.copies);
        grid.m_nOption = m_nOption;
        grid.m_method = m_method;
        grid.m_nCoarseStartRows = m_nCoarseStartRows;
        grid.m_nMaxColumns = m_nMaxColumns;
        grid.m_nMaxPricingRounds = m_nMaxPricingRounds;
        grid.m_dTimeLimit = m_dTimeLimit;
        grid.m_nMaxRows = m_nMaxRows;
        grid.m_dMinimumFFactor = m_dMinimumFFactor;
        grid.m_dDTmin = m_dDTmin;
        grid.m_progress = m_progress;
        grid.m_dNarrowestPart = std::max(NarrowestPart, step);
        grid.BuildIntervals();
        grid.CountModel();
        g.fits = grid.m_nRowsNeeded <= m_nMaxRows && !IsTooLarge(grid.m_nRowsNeeded);
        return g;
    };
    // Rows fall as the grid widens, fast at first (neighbouring ends merge, and the driving-force
    // cuts with them): from half the mean width the grid widens by half until the rows fit, then
    // the step is narrowed between the last that did not fit and the first that did (four
    // halvings of their ratio), so that the grid is the finest that fits within about 3 %.
    double step = 0.5 * range / std::max(m_nIntervalCount, 1), tooFine = 0.0;
    GridModel best;
    for (; step < range; step *= 1.5) {
        best = make(step);
        if (best.fits) break;
        tooFine = step;
    }
    if (!best.fits) return false;
    for (int k = 0; k < 4 && tooFine > 0.0; ++k) {
        const double middle = std::sqrt(tooFine * step);
        GridModel g = make(middle);
        if (g.fits) {
            best = std::move(g);
            step = middle;
        } else {
            tooFine = middle;
        }
    }

    AreaLP& grid = *best.lp;
    grid.m_pModel = std::make_unique<LPProblem>();
    grid.Compute(matches);
    m_nState = grid.m_nState;
    m_dCountercurrentArea = grid.m_dCountercurrentArea;
    m_dShellAndTubeArea = grid.m_dShellAndTubeArea;
    m_dShells = grid.m_dShells;
    m_nPivots = grid.m_nPivots;
    m_nPricingRounds = grid.m_nPricingRounds;
    m_dCandidatesPriced = grid.m_dCandidatesPriced;
    m_nGridRows = grid.m_rowLoads.size();
    if (m_pModel) m_pModel->dObjectiveValue = grid.m_pModel->dObjectiveValue;
    m_dGridStep = step;
    return true;
}
