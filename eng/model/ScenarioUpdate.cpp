// The recalculation road of a scenario: UpdateTargets, suspension, the DTmin, the change codes
// received from streams and designs, the segment pool, the side lists and the design ranking.
#include "eng/model/Scenario.h"

#include "brasko/DefaultManager.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/StreamLynxCollection.h"
#include "eng/model/StreamValueNames.h"
#include "eng/model/SuperTargetRange.h"
#include "eng/targeting/UtilityPlacement.h"
#include "lumeth/Framework.h"

#include <cstring>
#include <typeinfo>
#include <vector>

namespace N = StreamValueNames;

namespace {

constexpr int kCodeFree = 3;
constexpr int kCodeAllTargets = 35;
constexpr int kCodeDTminTrial = 38;
constexpr int kCodeRetrofitBase = 94;

// Codes after which the supertargeting points no longer match the targets they were built on.
bool invalidatesSuperTargets(int code) {
    switch (code) {
    case 4: case 18: case 19: case 20: case 31: case 36: case 39: case 41:
        return true;
    default:
        return false;
    }
}

bool isOneOf(const CPString& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

double rankingCost(const IHENDesign* design) {
    return design->GetTotalUtilityCost(2) + design->GetTotalAnnualizedCapitalCost();
}

// Larger total cost first: the collection sorts the element the comparator answers -1 for first.
int compareDesignCost(const void* a, const void* b) {
    const double ca = rankingCost(static_cast<const IHENDesign*>(a));
    const double cb = rankingCost(static_cast<const IHENDesign*>(b));
    if (ca > cb) return -1;
    if (ca < cb) return 1;
    return 0;
}

}  // namespace

// ---------------------------------------------------------------- recalculation

void CPIScenario::UpdateTargets(IHeatIntegrationStream* source, int code) {
    // During extraction the targets wait; a retrofit study keeps its targets current.
    if (m_bSuppressTargetUpdate && !m_bRetrofit) return;
    // A recalculation started from inside one (by a notification a rebuild sends) is dropped.
    if (m_nReentrancy) return;
    m_nReentrancy = 1;

    bool recalculate = true;
    if (code == kCodeRetrofitBase) {
        UpdateRetrofitSuperTargetCurve();
        recalculate = false;
    }
    if (source && recalculate) m_pLastChangeSource = source;

    if (HasStreams()) {
        // Nothing to calculate until some stream's segments are in the pool.
        if (recalculate && !m_pSegmentPool) recalculate = false;
    } else if (recalculate) {
        FreeAllTargetRecords();
        m_pSegmentPool.reset();
        code = kCodeFree;
        recalculate = false;
    }

    // A supertargeting point is the targets at its DTmin: its records are built by the same road
    // as after a DTmin set by the user (utility placement on the curves included), so that every
    // figure of a point equals the targets at that DTmin. Designs and views still hear code 38.
    if (m_nCalculationEnable >= 1 && recalculate)
        CallRecordBuilders(code == kCodeDTminTrial ? kCodeAllTargets : code);
    if (source && recalculate) m_pLastChangeSource = source;

    const CPString text = source && recalculate ? source->GetName() : CPString();
    if (m_pDesigns && recalculate) {
        // A design may change the dictionary while it reacts; walk a copy.
        std::vector<IHENDesign*> designs(m_pDesigns->begin(), m_pDesigns->end());
        for (IHENDesign* design : designs) {
            if (source) m_pLastChangeSource = source;
            design->SetPinchPoints(GetProcessPinchPointList());
            design->ProcessChange(code, text, Self());
        }
        RankDesigns();
    }

    SendAMessage(code, text, Self());

    if (m_pSuperTargets && recalculate && invalidatesSuperTargets(code)) m_pSuperTargets->ClearPoints();
    m_nReentrancy = 0;
}

void CPIScenario::CallRecordBuilders(int code) {
    if (!m_services.builders) return;
    TargetRecordBuilders& b = *m_services.builders;
    IHeatIntegrationScenario& self = *this;
    m_pEnergyTarget = b.UpdateEnergyTarget(m_pEnergyTarget, self, code);
    m_pUtilityPlacement = b.UpdateUtilityPlacement(m_pUtilityPlacement, self, code);
    m_pUnitsTarget = b.UpdateUnitsTarget(m_pUnitsTarget, self, code);
    const bool splitCurves = b.SplitsCurvesAroundArea(m_pAreaTarget, self, code);
    m_pCompositeCurves = splitCurves ? b.UpdateAreaCurves(m_pCompositeCurves, self, code)
                                     : b.UpdateCompositeCurves(m_pCompositeCurves, self, code);
    m_pAreaTarget = b.UpdateAreaTarget(m_pAreaTarget, self, code);
    if (splitCurves) m_pCompositeCurves = b.FinishCurves(m_pCompositeCurves, self, code);
    m_pCapitalCost = b.UpdateCapitalCostTarget(m_pCapitalCost, self, code);
    m_pOperatingCost = b.UpdateOperatingCostTarget(m_pOperatingCost, self, code);
    m_pTotalAnnualCost = b.UpdateTotalAnnualCostTarget(m_pTotalAnnualCost, self, code);
}

void CPIScenario::FreeAllTargetRecords() { CallRecordBuilders(kCodeFree); }

int CPIScenario::SuspendCalculations() {
    --m_nCalculationEnable;
    return 1;
}

int CPIScenario::ResumeCalculations(bool recompute) {
    ++m_nCalculationEnable;
    if (recompute) UpdateTargets(nullptr, 35);
    return 1;
}

void CPIScenario::GiveGlobalStreamsDTmin(double dTmin) {
    if (!m_pStreams) return;
    for (CPIHeatIntegrationStream* stream : *m_pStreams)
        if (stream->GetDTminContributionScope() == ValueAndFlag::ScopeGlobal)
            stream->SetDTminContribution(dTmin, "Global", 0, 0);
}

int CPIScenario::SetDTmin(double dTmin) {
    // The present value changes nothing: the targets stand as they are.
    if (dTmin == m_dDTmin) return 1;
    ApplyDTmin(dTmin);
    return 1;
}

void CPIScenario::ApplyDTmin(double dTmin) {
    m_dDTmin = dTmin;
    if (!HasStreams()) return;
    SuspendCalculations();
    GiveGlobalStreamsDTmin(dTmin);
    MarkUtilitySegmentsForUpdate();
    ResumeCalculations(true);
}

// ---------------------------------------------------------------- change codes received

void CPIScenario::NotifyChange(int code, const CPString& text, void* data) {
    // A stream of this module is told by its exact type at once; the cast (a walk of the class's
    // bases, several per stream a large table enters) is left to anything else.
    auto streamOf = [](void* d) -> CPIHeatIntegrationStream* {
        auto* stream = static_cast<IHeatIntegrationStream*>(d);
        if (stream && typeid(*stream) == typeid(CPIHeatIntegrationStream))
            return static_cast<CPIHeatIntegrationStream*>(stream);
        return dynamic_cast<CPIHeatIntegrationStream*>(stream);
    };
    // A site stream's data typed in this scenario are the site's: they go there first.
    PassChangeToSite(code, text, data);
    switch (code) {
    case 37: {
        if (text.empty() || !data) return;
        CPIHeatIntegrationStream* stream = streamOf(data);
        if (!stream) return;
        if (isOneOf(text, {N::Enthalpy, N::HeatCapacityFlowrate, N::Temperature, N::MassFlow, N::SpecificHeat})) {
            m_pLastChangeSource = stream;
            RemoveStreamSegments(*stream);
            AddStreamSegments(*stream);
            EnsureMatchwiseStreamData();
            m_pMatches->AddStream(stream);
            MarkUtilitySegmentsForUpdate();
            UpdateTargets(stream, stream->GetStreamKind() == CPIHeatIntegrationStream::KindUtility ? 41 : 36);
        } else if (isOneOf(text, {N::CHTCoeff, N::FoulingFactor, N::HTCoeff, N::Velocity, N::MassDensity,
                                  N::Diameter, N::Viscosity, N::ThermalConductivity})) {
            m_pLastChangeSource = stream;
            UpdateTargets(stream, 18);
        }
        // Only flows and temperatures change how the designs operate (a utility's maximum flow
        // among them: it bounds what its units carry); a product's price is what their
        // operating states are valued at.
        if ((text == N::MassFlow || text == N::Temperature || text == "MaxMassFlow" || text == "PricePerMass") &&
            m_pDesigns) {
            std::vector<IHENDesign*> designs(m_pDesigns->begin(), m_pDesigns->end());
            for (IHENDesign* design : designs) design->UpdateOperationForStreamChange(stream);
        }
        return;
    }
    case 33:
    case 34: {
        CPIHeatIntegrationStream* stream = streamOf(data);
        if (!stream) return;
        m_pLastChangeSource = stream;
        if (code == 33) {
            RemoveStreamSegments(*stream);
        } else {
            AddStreamSegments(*stream);
        }
        MarkUtilitySegmentsForUpdate();
        UpdateTargets(stream, 36);
        SendAMessage(code, text, data);
        return;
    }
    case 35: {
        MarkUtilitySegmentsForUpdate();
        CPIHeatIntegrationStream* stream = streamOf(data);
        UpdateTargets(stream, 35);
        // A stream's own DTmin contribution changed: the points of a range were worked out with
        // the old one (a change of the scenario's DTmin comes from no stream and keeps them).
        if (stream && m_pSuperTargets) m_pSuperTargets->ClearPoints();
        return;
    }
    case 40:
        // Only user-supplied utility loads take a load; the placement record keeps it.
        if (GetUtilityAssignmentMethod() != 1) return;
        if (data) TakeUserSuppliedUtilityLoad(*this, m_pLastChangeSource, *static_cast<double*>(data));
        MarkUtilitySegmentsForUpdate();
        UpdateTargets(m_pLastChangeSource, 40);
        return;
    case 72:
        if (!data) return;
        MarkUtilitySegmentsForUpdate();
        ChangeNumberOfForbiddenMatches(*static_cast<int*>(data));
        if (IsAutomationStartup()) EndForbiddenMatchChanges();
        UpdateTargets(m_pLastChangeSource, 35);
        return;
    case 16:
    case 4:
        UpdateTargets(nullptr, code);
        return;
    case 73: {
        // The stream announced itself with code 71 just before.
        auto* stream = dynamic_cast<CPIHeatIntegrationStream*>(m_pLastChangeSource);
        if (stream && data) UpdateSideLists(*stream, *static_cast<int*>(data));
        return;
    }
    case 71: {
        if (data) m_pLastChangeSource = static_cast<IHeatIntegrationStream*>(data);
        if (!m_pDesigns) return;
        std::vector<IHENDesign*> designs(m_pDesigns->begin(), m_pDesigns->end());
        for (IHENDesign* design : designs) design->ProcessChange(71, text, data);
        return;
    }
    case 60: case 61: case 62: case 64: case 66:
        SendAMessage(code, text, data);
        return;
    case DefaultManager::ChangeEconomicsRead:
        // A capital-cost defaults file was read: the cost laws the exchangers follow and every
        // cost target are those of the file now.
        AssignAllExchangerCostModels();
        UpdateTargets(nullptr, 4);
        return;
    case 87: {
        CPIHeatIntegrationStream* stream = StreamByName(text);
        if (!stream || !data) return;
        const int oldKind = *static_cast<int*>(data);
        const int newKind = stream->GetStreamKind();
        const bool toProcess = oldKind == CPIHeatIntegrationStream::KindUtility &&
                               newKind != CPIHeatIntegrationStream::KindUtility;
        const bool toUtility = oldKind != CPIHeatIntegrationStream::KindUtility &&
                               oldKind != CPIHeatIntegrationStream::KindNotSet &&
                               newKind == CPIHeatIntegrationStream::KindUtility;
        if (!toProcess && !toUtility) return;
        // A process stream of a total-site scenario does not become a utility: the scenario's
        // utilities are the site's streams. It gets its kind back at once.
        if (toUtility && m_bTotalSite && !SiteStreamOf(*stream)) {
            stream->SetStreamKind(oldKind, 1);
            SendMessageKey(kSiteUtilityOnlyMessage);
            return;
        }
        // A locked network keeps its streams as they are until it is unlocked, as it keeps them
        // from a deletion: a stream of it switched to the other kind would leave its units on
        // nothing. It gets its kind back at once.
        if (IsStreamInLockedOperation(text)) {
            stream->SetStreamKind(oldKind, 0);
            SendMessageKey(kStreamInLockedNetworkMessage);
            return;
        }
        // A site stream stays a utility: every scenario of the site holds it as one, and the case
        // writes it so.
        if (toProcess && SiteStreamOf(*stream)) {
            stream->SetStreamKind(CPIHeatIntegrationStream::KindUtility, 1);
            SendMessageKey(kSiteStreamStaysMessage);
            return;
        }
        // A utility is matched by the placement, never forbidden: a stream made one lets go of
        // its forbidden matches as a deletion does, and the count follows (the matrix pairs
        // process streams only, so a match kept would be out of the user's reach and still hold
        // the area LP and the placement on the grand composite curve).
        if (toUtility) DropForbiddenMatchesOf(*stream);
        // The temperature links are made of process streams: a utility's own link and its terms in
        // the others' go at the switch, and a stream made a process stream again is a candidate of
        // every link, as a link read back from the case finds it either way.
        if (m_pStreamLinks) {
            if (toUtility) m_pStreamLinks->DropStream(stream);
            else m_pStreamLinks->AdmitStream(stream);
        }
        StreamList& from = toProcess ? m_utilityStreams : m_processStreams;
        StreamList& to = toProcess ? m_processStreams : m_utilityStreams;
        from.Remove(stream);
        if (!to.Contains(stream)) to.Append(stream);
        // Its side lists are those of its new kind now.
        for (StreamList* list : {&m_processHot, &m_processCold, &m_utilityHot, &m_utilityCold}) list->Remove(stream);
        UpdateSideLists(*stream, 2);
        m_pLastChangeSource = stream;
        // Its segments are made again for its new kind (a utility's ends are placed, a process
        // stream's are its own), and the targets and designs follow at once, as for any edit.
        RemoveStreamSegments(*stream);
        AddStreamSegments(*stream);
        MarkUtilitySegmentsForUpdate();
        SendAMessage(87, text, data);
        UpdateTargets(stream, 36);
        return;
    }
    case 5: case 6: case 7: case 27: case 28: case 85:
        UpdateRetrofitSuperTargetCurve();
        RankDesigns();
        return;
    case 95:
        PropagateExistingNetworkValues();
        return;
    default:
        return;
    }
}

// ---------------------------------------------------------------- side lists

CPIScenario::StreamList* CPIScenario::MutableSideList(int kind, int side) {
    return const_cast<StreamList*>(SideList(kind, side));
}

const CPTypedList<CPIHeatIntegrationStream>* CPIScenario::GetSideList(int kind, int side) const {
    return SideList(kind, side);
}

const CPIScenario::StreamList* CPIScenario::SideList(int kind, int side) const {
    const bool process = kind == 0 || kind == 2;
    if (process && side == 0) return &m_processHot;
    if (process && side == 1) return &m_processCold;
    if (process && side == 2) return &m_processStreams;
    if (kind == 1 && side == 0) return &m_utilityHot;
    if (kind == 1 && side == 1) return &m_utilityCold;
    if (kind == 1 && side == 2) return &m_utilityStreams;
    if (kind == 4 && side == 0) return &m_allHot;
    if (kind == 4 && side == 1) return &m_allCold;
    return nullptr;
}

void CPIScenario::UpdateSideLists(CPIHeatIntegrationStream& stream, int mode) {
    const int side = stream.GetHotCold();
    const int kind = stream.GetStreamKind() == CPIHeatIntegrationStream::KindUtility ? 1 : 0;
    if (side == 0 || side == 1) {
        StreamList* own = MutableSideList(kind, side);
        StreamList* other = MutableSideList(kind, 1 - side);
        StreamList* allOwn = MutableSideList(4, side);
        StreamList* allOther = MutableSideList(4, 1 - side);
        if (mode == 2) {
            if (!own->Contains(&stream)) own->Append(&stream);
            other->Remove(&stream);
            if (!allOwn->Contains(&stream)) allOwn->Append(&stream);
            allOther->Remove(&stream);
        } else if (mode == 1) {
            own->Remove(&stream);
            allOwn->Remove(&stream);
        }
    }
    StreamList& kindList = kind == 1 ? m_utilityStreams : m_processStreams;
    if (mode == 0 && !kindList.Contains(&stream)) kindList.Append(&stream);
    if (mode == 1) kindList.Remove(&stream);
}

// ---------------------------------------------------------------- segment pool

namespace {
// Whether two segment lists describe the same segments (what the stream's values give them), so
// that a shared site stream whose segments another scenario has just rebuilt is not rebuilt again.
bool SameSegments(const StreamSegmentList& a, const StreamSegmentList& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const StreamSegment& x = *a[i];
        const StreamSegment& y = *b[i];
        if (x.dInletTemperature != y.dInletTemperature || x.dOutletTemperature != y.dOutletTemperature ||
            x.dFilmCoefficient != y.dFilmCoefficient || x.nHotCold != y.nHotCold || x.nKind != y.nKind)
            return false;
    }
    return true;
}
}  // namespace

bool CPIScenario::IsSharedSiteStream(const CPIHeatIntegrationStream& stream) const {
    // By owner, not by kind: a design may make a used utility a process stream for a while.
    return stream.GetOwner() != static_cast<const IStreamOwner*>(this);
}

void CPIScenario::AddStreamSegments(CPIHeatIntegrationStream& stream) {
    const bool shared = IsSharedSiteStream(stream);
    // A utility's loads live in its segments, which are about to be made again (or were withdrawn
    // already): read them first, so that a load typed or placed survives a renamed utility or a
    // new temperature. No load is left as none: nothing is spread, no flow is calculated.
    const bool ownUtility = !shared && stream.GetStreamKind() == CPIHeatIntegrationStream::KindUtility;
    const double ownLoad = ownUtility ? stream.GetOwnHeatLoad(0) : 0.0;
    const double ownNetworkLoad = ownUtility ? stream.GetOwnHeatLoad(1) : 0.0;
    // A utility whose segments were withdrawn (a segment inserted and not yet complete) carries no
    // network load: the network left it out. Spreading that none over the new segments would take
    // the typed load off them with it.
    const StreamSegmentList* before = stream.GetDesignSegments();
    const bool placedInNetwork = !ownUtility || (before && !before->empty());

    if (m_pSegmentPool) RemoveStreamSegments(stream);
    if (!m_pSegmentPool) m_pSegmentPool = std::make_unique<CPTypedList<StreamSegment>>();

    if (stream.IsComplete()) {
        // The network load of a utility is spread again over its new segments.
        const bool hadNetworkLoad = stream.IsLoadInStep(1) && placedInNetwork;
        const double networkLoad = !hadNetworkLoad ? 0.0 : ownUtility ? ownNetworkLoad : stream.GetHeatLoad(1);
        std::unique_ptr<StreamSegmentList> fresh = stream.BuildDesignSegments();
        const StreamSegmentList* current = stream.GetDesignSegments();
        if (!(shared && current && fresh && SameSegments(*current, *fresh)))
            stream.SetDesignSegments(std::move(fresh));
        if (ownLoad > 0.0) stream.SetHeatLoad(ownLoad, 0);
        if (hadNetworkLoad) stream.SetHeatLoad(networkLoad, 1);
        stream.UpdateEndToleranceLoad(1);
        stream.UpdateEndToleranceLoad(-1);
        if (StreamSegmentList* segments = stream.GetDesignSegments()) {
            std::vector<StreamSegment*>* recorded = shared ? &m_siteStreamPoolEntries[&stream] : nullptr;
            if (recorded) recorded->clear();
            for (auto& segment : *segments) {
                segment->ShiftTemperatures(m_dDTmin);
                m_pSegmentPool->Append(segment.get());
                if (recorded) recorded->push_back(segment.get());
            }
            m_bSegmentsChanged = true;
            if (!segments->empty()) m_nSegmented = 1;
        }
    }
    // The pool exists only while some stream has entries in it.
    if (m_pSegmentPool->IsEmpty()) m_pSegmentPool.reset();
}

void CPIScenario::RemoveStreamSegments(CPIHeatIntegrationStream& stream) {
    if (!m_pSegmentPool) return;
    auto recorded = m_siteStreamPoolEntries.find(&stream);
    if (recorded != m_siteStreamPoolEntries.end()) {
        // Taken out by address only: the stream's segments belong to the site and stay with it.
        for (StreamSegment* segment : recorded->second) m_pSegmentPool->Remove(segment);
        m_siteStreamPoolEntries.erase(recorded);
        if (m_pSegmentPool->IsEmpty()) m_pSegmentPool.reset();
        return;
    }
    if (IsSharedSiteStream(stream)) return;
    StreamSegmentList* segments = stream.GetDesignSegments();
    if (!segments) return;
    bool taken = false;
    for (auto& segment : *segments) taken = m_pSegmentPool->Remove(segment.get()) || taken;
    if (taken) stream.DetachDesignSegments();
    if (m_pSegmentPool->IsEmpty()) m_pSegmentPool.reset();
}

// ---------------------------------------------------------------- ranking

void CPIScenario::RankDesigns() {
    if (m_nRankingEnabled) m_rankingStale = true;
}

void CPIScenario::RankDesignsIfStale() const {
    if (!m_rankingStale || !m_nRankingEnabled) return;
    m_rankingStale = false;
    m_rankedDesigns.Clear();
    m_rankedCompleteDesigns.Clear();
    if (!m_pDesigns) return;
    for (IHENDesign* design : *m_pDesigns) m_rankedDesigns.Append(design);
    if (m_rankedDesigns.Length() > 1) m_rankedDesigns.Sort(compareDesignCost);
    for (IHENDesign* design : m_rankedDesigns)
        if (design->IsDesignComplete()) m_rankedCompleteDesigns.Append(design);
    if (m_rankedCompleteDesigns.Length() > 1) m_rankedCompleteDesigns.Sort(compareDesignCost);
}
