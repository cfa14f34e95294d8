// The columns and rows of the interval model: generation for the LP, and the refined model the
// mixed-integer step starts from (only the columns of the pairs the LP loaded).
#include "eng/autodesign/AdvancedSuperTarget.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"
#include "lumeth/MessageKey.h"

#include <cmath>
#include <unordered_set>

namespace {
enum MemberList { HotProcess = 0, ColdProcess, HotUtility, ColdUtility, HotLinked, ColdLinked };
}

void AdvancedSuperTarget::BuildMembers() {
    m_members.assign(static_cast<std::size_t>(intervalCount), {});
    for (std::size_t s = 0; s < segments.size(); ++s) {
        StreamSegment* seg = segments[s].get();
        const int side = seg->nHotCold;
        if (side != 0 && side != 1) continue;
        const int list = (seg->nKind == 1 ? HotUtility : seg->nKind == 2 ? HotLinked : HotProcess) + side;
        for (int k = std::max(0, m_spanFirst[s]); k <= m_spanLast[s] && k < intervalCount; ++k)
            m_members[static_cast<std::size_t>(k)][static_cast<std::size_t>(list)].push_back(seg);
    }
}

std::vector<int>* AdvancedSuperTarget::ColumnsOf(int side, const StreamSegment* segment, int interval) {
    auto found = m_segmentIndex.find(segment);
    if (found == m_segmentIndex.end()) return nullptr;
    const auto s = static_cast<std::size_t>(found->second);
    auto& lists = m_columnsBySegment[side][s];
    const int offset = interval - m_spanFirst[s];
    if (offset < 0 || offset >= static_cast<int>(lists.size())) return nullptr;
    return &lists[static_cast<std::size_t>(offset)];
}

void AdvancedSuperTarget::IndexColumns() {
    for (int side : {0, 1}) {
        m_columnsBySegment[side].assign(segments.size(), {});
        for (std::size_t s = 0; s < segments.size(); ++s) {
            const int span = m_spanLast[s] - m_spanFirst[s] + 1;
            if (span > 0) m_columnsBySegment[side][s].assign(static_cast<std::size_t>(span), {});
        }
    }
    m_columnsOfMatch.clear();
    for (std::size_t k = 0; k < columns.size(); ++k) {
        MatchColumn& c = columns[k];
        c.index = static_cast<std::int32_t>(k);
        if (std::vector<int>* hot = ColumnsOf(0, c.hotSegment, c.hotIntervalIndex)) hot->push_back(static_cast<int>(k));
        if (std::vector<int>* cold = ColumnsOf(1, c.coldSegment, c.coldIntervalIndex)) cold->push_back(static_cast<int>(k));
        if (c.match) m_columnsOfMatch[c.match].push_back(static_cast<int>(k));
    }
}

bool AdvancedSuperTarget::GenerateLinearModel() {
    Progress(MessageKey("GeneratingLinearModel"));
    columns.clear();
    BuildMembers();
    // Which cold lists each hot list pairs with; two utilities never exchange heat.
    static const std::vector<std::pair<int, std::vector<int>>> kPairing = {
        {HotProcess, {ColdProcess, ColdLinked, ColdUtility}},
        {HotUtility, {ColdProcess, ColdLinked}},
        {HotLinked, {ColdProcess, ColdLinked, ColdUtility}},
    };
    for (int i = 0; i < intervalCount; ++i) {
        const auto& hotLists = m_members[static_cast<std::size_t>(i)];
        for (int j = i; j < intervalCount; ++j) {
            const auto& coldLists = m_members[static_cast<std::size_t>(j)];
            for (const auto& [hotList, coldListsOfHot] : kPairing) {
                for (StreamSegment* hot : hotLists[static_cast<std::size_t>(hotList)]) {
                    for (int coldList : coldListsOfHot) {
                        for (StreamSegment* cold : coldLists[static_cast<std::size_t>(coldList)]) {
                            MatchColumn column;
                            FillMatchColumn(column, hot, cold, i, j);
                            if (column.cost == kForbiddenCost) continue;
                            columns.push_back(std::move(column));
                        }
                    }
                }
            }
        }
    }
    for (MatchColumn& c : columns) ApplyMatchCost(c);
    AddModelRows();
    return !columns.empty();
}

void AdvancedSuperTarget::AddModelRows() {
    LPProblem& lp = *lpProblem;
    // Row count: a heat row per process or linked segment and interval, the uniform-load rows of
    // the utility segments, the utility-stream rows and one row per utility match.
    int rows = 0;
    for (const auto& lists : m_members)
        rows += static_cast<int>(lists[HotProcess].size() + lists[ColdProcess].size() + lists[HotLinked].size() +
                                 lists[ColdLinked].size());
    for (std::size_t s = 0; s < segments.size(); ++s)
        if (segments[s]->nKind == 1 && m_spanLast[s] > m_spanFirst[s]) rows += m_spanLast[s] - m_spanFirst[s];
    for (IHeatIntegrationStream* st : streams)
        if (st->GetStreamKind() == 1 && st->GetNumberOfSegments() > 1) rows += st->GetNumberOfSegments() - 1;
    rows += static_cast<int>(hotUtilityMatches.size() + coldUtilityMatches.size());

    lp.Allocate(static_cast<int>(columns.size()), rows);
    for (std::size_t k = 0; k < columns.size(); ++k) lp.objective[k] = columns[k].cost;
    IndexColumns();

    int row = 0;
    auto newRow = [&](int type, double rhs) {
        lp.rowTypes[static_cast<std::size_t>(row)] = type;
        lp.rightHandSides[static_cast<std::size_t>(row)] = rhs;
        return row++;
    };
    auto put = [&](int r, const std::vector<int>* cols, double v) {
        if (cols)
            for (int c : *cols) lp.pMatrix->SetElement(r, c, v);
    };
    // Heat rows: every process and linked segment gives (takes) its whole heat in each interval.
    for (int k = 0; k < intervalCount; ++k) {
        const double dT = intervalList->GetWidth(k);
        const auto& lists = m_members[static_cast<std::size_t>(k)];
        for (int list : {HotProcess, ColdProcess, HotLinked, ColdLinked}) {
            const int side = list % 2;
            for (StreamSegment* seg : lists[static_cast<std::size_t>(list)]) {
                const int r = newRow(LPProblem::Equality, dT * std::fabs(seg->dHeatCapacityFlowrate));
                put(r, ColumnsOf(side, seg, k), 1.0);
            }
        }
    }
    // Uniform-load rows: a utility segment keeps one heat-capacity flow rate over its range.
    for (std::size_t s = 0; s < segments.size(); ++s) {
        StreamSegment* seg = segments[s].get();
        if (seg->nKind != 1 || (seg->nHotCold != 0 && seg->nHotCold != 1)) continue;
        for (int m = m_spanFirst[s]; m < m_spanLast[s]; ++m) {
            const int r = newRow(LPProblem::Equality, 0.0);
            put(r, ColumnsOf(seg->nHotCold, seg, m), intervalList->GetWidth(m + 1));
            put(r, ColumnsOf(seg->nHotCold, seg, m + 1), -intervalList->GetWidth(m));
        }
    }
    // Utility-stream rows: counted and kept empty (they tie nothing together).
    for (IHeatIntegrationStream* st : streams)
        if (st->GetStreamKind() == 1)
            for (int n = 1; n < st->GetNumberOfSegments(); ++n) newRow(LPProblem::Equality, 0.0);
    // Utility match rows: the heat of each match with a chosen utility is not negative.
    for (const auto* list : {&hotUtilityMatches, &coldUtilityMatches}) {
        for (MatchwiseStreamData* r : *list) {
            const int at = newRow(LPProblem::GreaterOrEqual, 0.0);
            auto found = m_columnsOfMatch.find(r);
            if (found != m_columnsOfMatch.end()) put(at, &found->second, 1.0);
        }
    }
}

void AdvancedSuperTarget::RefineLinearModel() {
    std::unordered_set<const MatchwiseStreamData*> kept(loadedRecords.begin(), loadedRecords.end());
    std::vector<MatchColumn> refined;
    for (MatchColumn& c : columns)
        if (c.match && kept.count(c.match)) refined.push_back(std::move(c));
    columns = std::move(refined);
    lpProblem->Free();
    AddModelRows();
}
