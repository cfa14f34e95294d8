// The area LP's model: its columns (hot segment in one interval to cold segment in the same or a
// colder interval), their prices, the load rows, and the solve.
#include "eng/targeting/AreaLP.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "eng/targeting/BathAreaTarget.h"
#include "pellin/FFactor.h"

#include <algorithm>
#include <cmath>

namespace {

// The mean temperature difference of a column never goes below this, so that a column whose
// approach is nil is priced very high rather than infinitely.
constexpr double kMinimumMTD = 1e-6;

const CPString& StreamNameOf(const StreamSegment& s) { return s.pStream ? s.pStream->GetName() : s.strStreamName; }

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
    const double top = TopDifference(i, j) + dh + dc;
    const double bottom = BottomDifference(i, j) + dh + dc;
    double mtd = 2.0 * std::sqrt(std::max(top * bottom, 0.0)) / 3.0 + (top + bottom) / 6.0;
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
        mtd *= F;
    }
    if (!(mtd > kMinimumMTD)) mtd = kMinimumMTD;
    return (InverseFilmCoefficient(h.dFilmCoefficient) + InverseFilmCoefficient(c.dFilmCoefficient)) / mtd;
}

bool AreaLP::BuildModel(int kind) {
    if (!m_pModel) m_pModel = std::make_unique<LPProblem>();
    LPProblem& model = *m_pModel;
    model.FreeMatchTable();
    model.ResizeColumns(0);
    model.Free();
    m_columnF.clear();
    if (!m_pIntervals) return false;
    const int n = m_nIntervalCount;
    const auto size = [](const SegmentRefs& list) { return static_cast<double>(list.size()); };

    // Columns and rows, counted before anything is allocated.
    std::vector<double> s1(static_cast<std::size_t>(n) + 1, 0.0), s2(static_cast<std::size_t>(n) + 1, 0.0);
    for (int j = n - 1; j >= 0; --j) {
        const IntervalMembers& m = m_members[static_cast<std::size_t>(j)];
        s1[static_cast<std::size_t>(j)] = s1[static_cast<std::size_t>(j) + 1] + size(m[ColdProcess]) + size(m[ColdLinked]);
        s2[static_cast<std::size_t>(j)] = s2[static_cast<std::size_t>(j) + 1] + size(m[ColdProcess]) +
                                          size(m[ColdLinked]) + size(m[ColdUtility]);
    }
    double columns = 0.0, rows = 0.0;
    for (int i = 0; i < n; ++i) {
        const IntervalMembers& m = m_members[static_cast<std::size_t>(i)];
        columns += size(m[HotUtility]) * s1[static_cast<std::size_t>(i)] +
                   (size(m[HotProcess]) + size(m[HotLinked])) * s2[static_cast<std::size_t>(i)];
        for (const SegmentRefs& list : m) rows += size(list);
    }
    if (columns > static_cast<double>(MaxColumns) || rows > static_cast<double>(MaxColumns)) return false;

    std::vector<LPMatchColumn> built;
    built.reserve(static_cast<std::size_t>(columns));
    m_columnF.reserve(static_cast<std::size_t>(columns));
    for (int i = 0; i < n; ++i) {
        const IntervalMembers& hotMembers = m_members[static_cast<std::size_t>(i)];
        for (MemberList hotList : {HotProcess, HotUtility, HotLinked}) {
            for (StreamSegment* h : hotMembers[hotList]) {
                for (int j = i; j < n; ++j) {
                    const IntervalMembers& coldMembers = m_members[static_cast<std::size_t>(j)];
                    // A utility never meets a utility.
                    const int coldLists = hotList == HotUtility ? 2 : 3;
                    const MemberList order[3] = {ColdProcess, ColdLinked, ColdUtility};
                    for (int l = 0; l < coldLists; ++l) {
                        for (StreamSegment* c : coldMembers[order[l]]) {
                            LPMatchColumn column;
                            column.pHotSegment = h;
                            column.pColdSegment = c;
                            column.pHotInterval = m_pIntervals->GetInterval(i);
                            column.pColdInterval = m_pIntervals->GetInterval(j);
                            column.nHotIntervalIndex = i;
                            column.nColdIntervalIndex = j;
                            double F = 1.0;
                            column.dCoefficient = Coefficient(column, kind, F, true);
                            if (column.dCoefficient == ForbiddenCoefficient) continue;
                            column.nIndex = static_cast<std::int32_t>(built.size());
                            built.push_back(std::move(column));
                            m_columnF.push_back(F);
                        }
                    }
                }
            }
        }
    }

    model.columns = std::move(built);
    const int kept = static_cast<int>(model.columns.size());
    model.Allocate(kept, static_cast<int>(rows));
    for (int k = 0; k < kept; ++k) model.objective[static_cast<std::size_t>(k)] = model.columns[static_cast<std::size_t>(k)].dCoefficient;

    std::vector<const void*> segmentKeys(m_segments.begin(), m_segments.end());
    model.BuildMatchTable(segmentKeys, {});

    // One equality per segment and interval: the segment gives or takes its load in the interval.
    int row = 0;
    for (int k = 0; k < n; ++k) {
        const IntervalMembers& m = m_members[static_cast<std::size_t>(k)];
        const TemperatureInterval* interval = m_pIntervals->GetInterval(k);
        const double width = m_pIntervals->GetWidth(k);
        for (MemberList list : {HotProcess, ColdProcess, HotLinked, ColdLinked, HotUtility, ColdUtility}) {
            const bool hot = list == HotProcess || list == HotLinked || list == HotUtility;
            for (StreamSegment* s : m[list]) {
                model.rightHandSides[static_cast<std::size_t>(row)] = width * std::fabs(s->dHeatCapacityFlowrate);
                model.rowTypes[static_cast<std::size_t>(row)] = LPProblem::Equality;
                model.SetMatchCoefficients(row, interval, s, hot ? 0 : 1);
                ++row;
            }
        }
    }
    return true;
}

void AreaLP::RefreshCoefficients(int kind) {
    if (!m_pModel) return;
    LPProblem& model = *m_pModel;
    for (std::size_t k = 0; k < model.columns.size(); ++k) {
        LPMatchColumn& column = model.columns[k];
        double F = k < m_columnF.size() ? m_columnF[k] : 1.0;
        column.dCoefficient = Coefficient(column, kind, F, false);
        if (k < model.objective.size()) model.objective[k] = column.dCoefficient;
    }
}

bool AreaLP::Solve() {
    if (!m_pModel || m_pModel->nColumns <= 0) return false;
    std::vector<double> solution;
    if (!m_pModel->Solve(solution, true)) return false;
    for (std::size_t k = 0; k < m_pModel->columns.size() && k < solution.size(); ++k)
        m_pModel->columns[k].dFlow = solution[k];
    return true;
}
