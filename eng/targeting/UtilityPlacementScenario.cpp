// The utility placement over a scenario: what the builder reads of it, and the scenario's entry
// points into the user-supplied loads.
#include "eng/targeting/UtilityPlacement.h"

#include "brasko/DefaultManager.h"
#include "eng/model/IHeatIntegrationScenarioForTargeting.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/targeting/UserSuppliedUtilityLoad.h"

#include <vector>

namespace {

// The scenario's segment list and streams as the placement takes them, kept alive for one call.
class ScenarioPlacementInputs {
public:
    explicit ScenarioPlacementInputs(IHeatIntegrationScenarioForTargeting& scenario) {
        if (const CPTypedList<StreamSegment>* pool = scenario.GetSegmentPool()) {
            m_segments.reserve(pool->Length());
            for (StreamSegment* s : *pool) m_segments.push_back(s);
        }
        IHeatIntegrationStream* stream = nullptr;
        for (int i = 0; scenario.GetStream(i, stream); ++i)
            if (stream) m_streams.push_back(stream);
        m_inputs.scenario = &scenario;
        m_inputs.segments = scenario.GetSegmentPool() ? &m_segments : nullptr;
        m_inputs.streams = m_streams;
        m_inputs.energyTarget = scenario.GetEnergyTargetRecord();
        m_inputs.dtMin = scenario.GetDTmin();
        const DefaultManager& economics = scenario.GetActiveManager();
        m_inputs.economicData = economics.GetEconomicDataPointer();
        m_inputs.economicInfo = economics.GetEconomicInfoPointer();
        m_inputs.minimumFFactor = scenario.GetMinimumFFactor();
        m_inputs.countercurrentCapital = scenario.GetAreaTargetOption() == 0;
        m_inputs.method = scenario.GetUtilityAssignmentMethod();
    }
    ScenarioPlacementInputs(const ScenarioPlacementInputs&) = delete;
    ScenarioPlacementInputs& operator=(const ScenarioPlacementInputs&) = delete;

    const UtilityPlacementInputs& Get() const { return m_inputs; }

private:
    SegmentRefs m_segments;
    std::vector<IHeatIntegrationStream*> m_streams;
    UtilityPlacementInputs m_inputs;
};

// The user-supplied load object of a scenario whose method is 1, brought up to date with the
// scenario (its streams, segments, targets and approach); null otherwise.
UserSuppliedUtilityLoad* CurrentUserLoads(IHeatIntegrationScenarioForTargeting& scenario, UtilityPlacement*& record) {
    record = scenario.GetUtilityPlacementRecord();
    if (!record || record->GetMethod() != UtilityPlacement::UserSupplied) return nullptr;
    UserSuppliedUtilityLoad* loads = record->GetUserSuppliedLoads();
    if (!loads) return nullptr;
    const ScenarioPlacementInputs in(scenario);
    const UtilityPlacementInputs& i = in.Get();
    const std::span<StreamSegment* const> segments =
        i.segments ? std::span<StreamSegment* const>(*i.segments) : std::span<StreamSegment* const>();
    loads->Refresh(i.streams, segments);
    loads->SetTargets(i.energyTarget ? i.energyTarget->GetHotUtility() : 0.0,
                      i.energyTarget ? i.energyTarget->GetColdUtility() : 0.0);
    loads->Prepare();
    if (i.dtMin > 0.0) loads->SetApproach(i.dtMin);
    return loads;
}

}  // namespace

UtilityPlacement* UpdateScenarioUtilityPlacement(UtilityPlacement* record, IHeatIntegrationScenario& scenario,
                                                 int code) {
    if (code == UtilityPlacementCodes::Free) return UpdateUtilityPlacement(record, UtilityPlacementInputs{}, code);
    auto* s = dynamic_cast<IHeatIntegrationScenarioForTargeting*>(&scenario);
    if (!s) return record;
    const ScenarioPlacementInputs in(*s);
    return UpdateUtilityPlacement(record, in.Get(), code);
}

bool RecallScenarioUtilityPlacement(UtilityPlacement& record, ILurmetBinaryFile& file,
                                    IHeatIntegrationScenario& scenario) {
    auto* s = dynamic_cast<IHeatIntegrationScenarioForTargeting*>(&scenario);
    if (!s) return record.Recall(file);
    const ScenarioPlacementInputs in(*s);
    return record.Recall(file, in.Get().segments, &in.Get());
}

void TakeUserSuppliedUtilityLoad(IHeatIntegrationScenario& scenario, IHeatIntegrationStream* stream, double load) {
    auto* s = dynamic_cast<IHeatIntegrationScenarioForTargeting*>(&scenario);
    UtilityPlacement* record = nullptr;
    const bool utility = stream && stream->GetStreamKind() == 1;
    UserSuppliedUtilityLoad* loads = s && utility ? CurrentUserLoads(*s, record) : nullptr;
    if (!loads) return;
    if (loads->SetStreamLoad(stream, load)) {
        SetStatusesFromUserSuppliedLoads(*record);
    } else {
        record->EnsureSide(UtilityPlacement::Hot).nStatus = TargetValue::NotEvaluated;
        record->EnsureSide(UtilityPlacement::Cold).nStatus = TargetValue::NotEvaluated;
    }
}

int AssignUserSuppliedTargetLoads(IHeatIntegrationScenario& scenario) {
    auto* s = dynamic_cast<IHeatIntegrationScenarioForTargeting*>(&scenario);
    UtilityPlacement* record = nullptr;
    UserSuppliedUtilityLoad* loads = s ? CurrentUserLoads(*s, record) : nullptr;
    if (!loads) return 0;
    const int result = loads->AssignTargetLoads();
    SetStatusesFromUserSuppliedLoads(*record);
    return result;
}
