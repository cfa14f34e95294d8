// The stream tables' numbers: one row per column of the process-stream and utility tables. The
// dispatcher bounds the row by its list, looks the stream up (the scenario keeps its lists by
// kind and side, so a look-up is one step whatever the row) and hands it to the column's read.
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/core/StreamSegment.h"
#include "views/case/scenario/ScenarioValueRows.h"
#include "views/case/streams/LinkTableCollection.h"

using namespace scenario_values;

namespace {

using Var = const VarDescription&;
using Stream = IHeatIntegrationStream&;

// A named value of the stream; empty when the stream lacks it.
double named(Stream s, const char* name) {
    double out = kEmpty;
    return s.GetValue(name, out, 0) ? out : kEmpty;
}
// A named value shown only for a stream of exactly one segment.
double ofOneSegment(Stream s, const char* name) { return s.GetNumberOfSegments() == 1 ? named(s, name) : kEmpty; }
// A value of a stream of at most one segment.
double ofAtMostOneSegment(Stream s, const char* name) { return s.GetNumberOfSegments() <= 1 ? named(s, name) : kEmpty; }
// Twice the stream's own contribution to DTmin; empty when it takes the global one.
// The heat-capacity flow rate of a stream of one segment as the targets use it: that of its
// design segment, which follows a typed heat load; the stored value while there is none.
double targetedHeatCapacityFlowRate(Stream s) {
    const StreamSegmentList* design = s.GetDesignSegments();
    if (design && design->size() == 1 && design->front()) return design->front()->dHeatCapacityFlowrate;
    return s.GetSegmentHeatCapacityFlowrate(0);
}
double localContribution(Stream s) { return s.GetDTminContributionScope() == 1 ? 2.0 * s.GetDTminContribution() : kEmpty; }
// 1 hot, 0 cold, empty undetermined.
double hotFlag(Stream s) {
    const int side = s.GetHotCold();
    return side == 0 ? 1.0 : side == 1 ? 0.0 : kEmpty;
}
// Whether the stream has several segments and a side.
double segmentedFlag(Stream s) { return flag(s.GetNumberOfSegments() > 1 && (s.GetHotCold() == 0 || s.GetHotCold() == 1)); }

}  // namespace

const std::vector<HIDesignViewerScenario::ValueRow>& HIDesignViewerScenario::StreamRows() {
    static const std::vector<Row> rows = {
        // Process streams.
        {.type = 1, .number = 402, .rows = R::Process, .kind = 0, .streamRead = [](V&, Stream s, Var) { return s.GetSupplyTemperature(); }, .dims = 1},
        {.type = 1, .number = 403, .rows = R::Process, .kind = 0, .streamRead = [](V&, Stream s, Var) { return s.GetTargetTemperature(); }, .dims = 1},
        {.type = 6, .number = 405, .rows = R::Process, .kind = 0, .streamRead = [](V&, Stream s, Var) { return s.GetHeatLoad(0); }, .dims = 1},
        {.type = 4, .number = 105, .rows = R::Process, .kind = 0, .streamRead = [](V&, Stream s, Var) { return named(s, "MassFlow"); },
         .keepOnFail = true, .dims = 1},
        {.type = 32039, .number = 105, .rows = R::Process, .kind = 0,
         .streamRead = [](V&, Stream s, Var) { return named(s, "PricePerMass"); }, .keepOnFail = true, .dims = 1},
        {.type = 1516, .number = 404, .rows = R::Process, .kind = 0, .streamRead = [](V&, Stream s, Var) {
             return s.GetNumberOfSegments() <= 1 ? targetedHeatCapacityFlowRate(s) : kEmpty;
         }, .dims = 1},
        {.type = 1011, .number = 200, .rows = R::Process, .kind = 0,
         .streamRead = [](V&, Stream s, Var) { return ofAtMostOneSegment(s, "SpecificHeat"); }, .keepOnFail = true, .dims = 1},
        {.type = 1524, .number = 412, .rows = R::Process, .kind = 0,
         .streamRead = [](V&, Stream s, Var) { return ofOneSegment(s, "HTCoeff"); }, .dims = 1},
        {.type = 1524, .number = 413, .rows = R::Process, .kind = 0,
         .streamRead = [](V&, Stream s, Var) { return ofOneSegment(s, "CHTCoeff"); }, .dims = 1},
        {.type = 1517, .number = 406, .rows = R::Process, .kind = 0,
         .streamRead = [](V&, Stream s, Var) { return localContribution(s); }, .dims = 1},
        {.type = 9, .number = 200, .rows = R::Process, .kind = 0, .streamRead = [](V&, Stream s, Var) { return s.GetLoadFraction(1); }, .dims = 1},
        {.type = 9, .number = 201, .rows = R::Process, .kind = 0, .streamRead = [](V&, Stream s, Var) { return s.GetLoadFraction(-1); }, .dims = 1},
        {.type = 100, .number = 310, .rows = R::Kind, .kind = 0, .side = 2,
         .streamRead = [](V&, Stream s, Var) {
             double out = kEmpty;
             s.GetValue("MaxSplitBranches", out, 0);
             return out;
         }, .dims = 1},
        {.type = 104, .number = 411, .rows = R::Process, .kind = 0,
         .streamRead = [](V&, Stream s, Var) { return s.GetNumberOfSegments() > 1 ? hotFlag(s) : kEmpty; }, .dims = 1},
        {.type = 104, .number = 412, .rows = R::Process, .kind = 0, .streamRead = [](V&, Stream s, Var) { return hotFlag(s); }, .dims = 1},
        {.type = 104, .number = 413, .rows = R::Process, .kind = 0, .streamRead = [](V&, Stream s, Var) { return segmentedFlag(s); },
         .keepOnFail = true, .missing = 0.0, .dims = 1},
        {.type = 104, .number = 600, .rows = R::Process, .kind = 0, .streamRead = [](V& v, Stream s, Var) {
             return v.linkTableCollection ? flag(v.linkTableCollection->IsStreamLinked(&s)) : kEmpty;
         }, .dims = 1},

        // Utilities.
        {.type = 1, .number = 440, .rows = R::Kind, .kind = 1, .streamRead = [](V&, Stream s, Var) { return s.GetSupplyTemperature(); }, .dims = 1},
        {.type = 1, .number = 441, .rows = R::Kind, .kind = 1, .streamRead = [](V&, Stream s, Var) { return s.GetTargetTemperature(); }, .dims = 1},
        {.type = 1, .number = 443, .rows = R::SideChoice, .streamRead = [](V&, Stream s, Var) { return s.GetStoredValue(); }, .dims = 1},
        {.type = 6, .number = 440, .rows = R::Kind, .kind = 1, .streamRead = [](V&, Stream s, Var) { return s.GetHeatLoad(0); }, .dims = 1},
        {.type = 6, .number = 445, .rows = R::Kind, .kind = 1, .streamRead = [](V&, Stream, Var) { return kEmpty; }, .dims = 1},
        {.type = 6, .number = 450, .rows = R::SideChoiceExtended, .streamRead = [](V&, Stream s, Var) { return s.GetHeatLoad(1); }, .dims = 1},
        {.type = 6, .number = 451, .rows = R::SideChoice, .streamRead = [](V&, Stream s, Var) { return s.GetHeatLoad(0) - s.GetHeatLoad(1); }, .dims = 1},
        {.type = 6, .number = 630, .rows = R::UtilityList, .kind = 1, .side = 0,
         .streamRead = [](V&, Stream s, Var) { return s.GetHeatLoad(0); }, .keepOnFail = true, .dims = 1},
        {.type = 6, .number = 631, .rows = R::UtilityList, .kind = 1, .side = 1,
         .streamRead = [](V&, Stream s, Var) { return s.GetHeatLoad(0); }, .keepOnFail = true, .dims = 1},
        {.type = 4, .number = 104, .rows = R::Unbounded, .kind = 1, .streamRead = [](V&, Stream s, Var) { return named(s, "MassFlow"); },
         .keepOnFail = true, .dims = 1},
        {.type = 4, .number = 106, .rows = R::Unbounded, .kind = 1, .streamRead = [](V&, Stream s, Var) { return named(s, "MaxMassFlow"); },
         .keepOnFail = true, .dims = 1},
        {.type = 1524, .number = 440, .rows = R::Kind, .kind = 1, .streamRead = [](V&, Stream s, Var) { return ofOneSegment(s, "CHTCoeff"); }, .dims = 1},
        {.type = 1524, .number = 441, .rows = R::Kind, .kind = 1, .streamRead = [](V&, Stream s, Var) { return ofOneSegment(s, "HTCoeff"); }, .dims = 1},
        {.type = 1517, .number = 442, .rows = R::Kind, .kind = 1, .streamRead = [](V&, Stream s, Var) { return localContribution(s); }, .dims = 1},
        {.type = 1011, .number = 201, .rows = R::UtilityList, .kind = 1,
         .streamRead = [](V&, Stream s, Var) { return ofAtMostOneSegment(s, "SpecificHeat"); }, .keepOnFail = true, .dims = 1},
        {.type = 9, .number = 202, .rows = R::UtilityList, .kind = 1, .streamRead = [](V&, Stream s, Var) { return s.GetLoadFraction(1); }, .dims = 1},
        {.type = 9, .number = 203, .rows = R::UtilityList, .kind = 1, .streamRead = [](V&, Stream s, Var) { return s.GetLoadFraction(-1); }, .dims = 1},
        {.type = 31002, .number = 445, .rows = R::Kind, .kind = 1, .streamRead = [](V&, Stream s, Var) { return s.GetCostIndex(); }, .dims = 1},
        {.type = 32053, .number = 786, .rows = R::Kind, .kind = 1,
         .streamRead = [](V&, Stream s, Var) { return s.GetMassEmissionsCoefficient(); }, .dims = 1},
        {.type = 31001, .number = 310, .rows = R::SideChoiceExtended, .streamRead = [](V&, Stream s, Var) { return s.GetOperatingCost(); }, .dims = 1},
        {.type = 104, .number = 214, .rows = R::Kind, .kind = 1, .streamRead = [](V&, Stream s, Var) { return segmentedFlag(s); },
         .keepOnFail = true, .missing = 0.0, .dims = 1},
        {.type = 104, .number = 440, .rows = R::Kind, .kind = 1,
         .streamRead = [](V&, Stream s, Var) { return s.GetNumberOfSegments() > 1 ? hotFlag(s) : kEmpty; }, .dims = 1},
        {.type = 104, .number = 450, .rows = R::UtilityList, .kind = 1, .side = Row::UtilitySide,
         .streamRead = [](V&, Stream s, Var) { return hotFlag(s); }, .keepOnFail = true, .dims = 1},
        {.type = 104, .number = 451, .rows = R::SideChoice, .streamRead = [](V&, Stream s, Var) { return hotFlag(s); }, .dims = 1},
        {.type = 104, .number = 452, .rows = R::Kind, .kind = 1, .side = 2, .streamRead = [](V&, Stream s, Var) { return hotFlag(s); }, .dims = 1},
        {.type = 104, .number = 453, .rows = R::Kind, .kind = 1, .side = 0, .streamRead = [](V&, Stream s, Var) { return hotFlag(s); }, .dims = 1},
        {.type = 104, .number = 454, .rows = R::Kind, .kind = 1, .side = 1, .streamRead = [](V&, Stream s, Var) { return hotFlag(s); }, .dims = 1},
        {.type = 1524, .number = 229, .read = [](V& v, Var var) {
             IDefaultUtilityManager* manager = nullptr;
             if (!v.myScenario->GetDefaultUtilityManager(manager) || !manager) return kEmpty;
             return manager->GetHTCDefaultValue(var.Offset(0));
         }, .dims = 1},
        {.type = 100, .number = 660, .read = [](V& v, Var) { return double(v.myScenario->GetNumberOfUtilityStreams()); }},

        // Whole-table flags.
        {.type = 104, .number = 211, .read = [](V& v, Var) { return flag(v.AnyLocalContribution()); }},
        {.type = 104, .number = 1200, .read = [](V& v, Var var) { return v.ForbiddenMatchFlag(var); }, .dims = 2},
        {.type = 104, .number = 2000, .read = [](V& v, Var) { return flag(!v.processSegmentTableVector.IsEmpty()); }},
        {.type = 104, .number = 2001, .read = [](V& v, Var) { return flag(!v.utilitySegmentTableVector.IsEmpty()); }},
    };
    return rows;
}

bool HIDesignViewerScenario::AnyLocalContribution() const {
    IHeatIntegrationStream* stream = nullptr;
    for (int i = 0; myScenario->GetStream(i, stream); ++i)
        if (stream && stream->GetDTminContributionScope() == 1) return true;
    return false;
}

// Whether the cold process stream of index 1 may not be matched with the hot one of index 2.
double HIDesignViewerScenario::ForbiddenMatchFlag(const VarDescription& var) {
    IHeatIntegrationStream* cold = nullptr;
    IHeatIntegrationStream* hot = nullptr;
    if (!myScenario->GetStreamOfKind(var.Offset(0), cold, 0, 1) || !cold ||
        !myScenario->GetStreamOfKind(var.Offset(1), hot, 0, 0) || !hot) {
        workStream = nullptr;
        return kEmpty;
    }
    workStream = cold;
    return flag(cold->IsLinkedTo(hot->GetName()));
}
