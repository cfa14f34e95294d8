// Streams and utilities of a scenario: adding, inserting, renaming, deleting, finding and counting
// them, filling a utility from the default utility of its name, and removing what nothing uses.
#include "eng/model/Scenario.h"

#include "brasko/DefaultManager.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/SiteManagerListening.h"
#include "eng/model/StreamLynxCollection.h"
#include "eng/model/StreamValueNames.h"
#include "eng/targeting/Cost.h"
#include "eng/targeting/UnitsTarget.h"
#include "lumeth/Messages.h"
#include "lumeth/NewRowMarker.h"

#include <vector>

namespace N = StreamValueNames;

namespace {

constexpr double kEmpty = CPIScenario::kEmpty;

// The properties a utility takes from its default, with the parameter each comes from.
struct PropertySource {
    const char* name;
    DefaultUtilityParameter parameter;
};
constexpr PropertySource kUtilityProperties[] = {
    {N::CHTCoeff, DUP_FilmCoefficient},       {N::Viscosity, DUP_Viscosity},
    {N::ThermalConductivity, DUP_ThermalConductivity}, {N::MassDensity, DUP_MassDensity},
    {N::SpecificHeat, DUP_SpecificHeat},
};

bool sidesClash(int streamSide, double utilityType) {
    return (streamSide == 0 && utilityType == 1.0) || (streamSide == 1 && utilityType == 0.0);
}

// Whether the manager's default utility of that name serves the other side than the stream.
bool defaultOfOtherSide(DefaultManager& manager, const CPIHeatIntegrationStream& stream, const char* name) {
    return manager.Exists(name) && sidesClash(stream.GetHotCold(), manager.GetValue(name, DUP_HeatType));
}

}  // namespace

CPIHeatIntegrationStream* CPIScenario::StreamByName(const CPString& name) const {
    return m_pStreams ? m_pStreams->FindKeyString(name) : nullptr;
}

CPIHeatIntegrationStream* CPIScenario::FindStream(const CPString& name) { return StreamByName(name); }

double CPIScenario::GetStreamOperatingCost(const IHeatIntegrationStream& stream) {
    std::unique_ptr<ICost> cost = CreateCost(CK_StreamOperatingCost);
    // The cost function only reads the stream; its interface is not const.
    return cost ? cost->Evaluate(*this, const_cast<IHeatIntegrationStream&>(stream)) : 0.0;
}

void CPIScenario::RegisterWithStream(CPIHeatIntegrationStream& stream) {
    stream.AddNotificationReceiver(this);
    for (int code : kStreamCodes) stream.AddValidMessage(this, code);
}

void CPIScenario::AddStreamToDesigns(CPIHeatIntegrationStream& stream) {
    if (!m_pDesigns) return;
    for (IHENDesign* design : *m_pDesigns) design->AddStream(&stream);
}

void CPIScenario::EnsureMatchwiseStreamData() {
    if (!m_pMatches) m_pMatches = std::make_unique<MatchwiseStreamDataList>(m_pStreams.get());
}

DefaultManager& CPIScenario::GetActiveManager() const {
    return m_bTotalSite && m_pSiteManager ? *m_pSiteManager : *m_pDefaultManager;
}

int CPIScenario::AddStream(const CPString& name, int kind) {
    // The streams of a retrofit study are those of its existing network.
    if (m_bRetrofit) return 1;
    if (kind != CPIHeatIntegrationStream::KindProcess && kind != CPIHeatIntegrationStream::KindUtility &&
        kind != CPIHeatIntegrationStream::KindLinked)
        return 0;
    if (IsNewRowMarker(name.c_str())) {
        SendMessageKey("NewRowMarkerName");
        return 0;
    }
    // A name refused is told once, by the first holder found: a stream of the scenario, else a
    // default utility.
    int result = 1;
    if (StreamByName(name)) {
        SendMessageKey("SameStreamErrorMsg");
        result = 0;
    } else if (kind != CPIHeatIntegrationStream::KindUtility && m_pDefaultManager->Exists(name.c_str())) {
        SendMessageKey("SameStreamDefUtilErrorMsg");
        result = 0;
    }
    // The utilities of a total-site scenario are the site's streams, which every scenario of the
    // site holds and the site writes into the case: a utility of the scenario's own would be
    // written by nobody.
    if (result && kind == CPIHeatIntegrationStream::KindUtility && m_bTotalSite) {
        SendMessageKey(kSiteUtilityOnlyMessage);
        result = 0;
    }
    if (!result) return 0;
    if (!m_pStreams) m_pStreams = std::make_unique<StreamDictionary>(kDictionarySlots);

    ++m_nStreamCounter;
    auto* stream = new CPIHeatIntegrationStream(this, name, m_pDefaultManager->GetHTCDefaultValue(0));
    RegisterWithStream(*stream);
    stream->SetStreamKind(kind, 0);
    stream->SetStoredInt(m_nStreamCounter);
    m_pStreams->AddKeyString(name, stream);
    AddStreamToDesigns(*stream);
    // The side lists take the stream once its side is known (code 73).
    UpdateSideLists(*stream, 0);
    // A process stream typed after a temperature link exists is a candidate of it at once, last
    // and with no term, where the scenario files it and where a link read back from the case
    // finds it.
    if (kind != CPIHeatIntegrationStream::KindUtility && m_pStreamLinks) m_pStreamLinks->AdmitStream(stream);
    SendAMessage(30, name, Self());
    if (kind == CPIHeatIntegrationStream::KindUtility) ApplyDefaultUtility(*stream);
    return 1;
}

int CPIScenario::InsertStream(const CPString& name, IHeatIntegrationStream* given, DefaultManager* siteManager) {
    auto* site = dynamic_cast<CPIHeatIntegrationStream*>(given);
    if (!site || StreamByName(name)) return 0;
    if (!m_pSiteManager) m_pSiteManager = siteManager;
    if (m_bTotalSite) ListenToSiteManager(m_pSiteManager, this);
    // A site stream that already holds its data (typed on the site, or read back from a case)
    // keeps them: joining one more scenario changes nothing of it. A new one takes the site's
    // default utility of its name first, so that every scenario finds the same data.
    if (!HoldsOwnUtilityData(*site)) {
        if (m_pSiteManager) site->SetValue(N::CHTCoeff, m_pSiteManager->GetHTCDefaultValue(0), 0);
        site->SetStreamKind(CPIHeatIntegrationStream::KindUtility, 1);
        ApplyDefaultUtility(*site);
    }
    // The scenario holds a copy of its own (see ScenarioSiteStreams.cpp); a stream already the
    // scenario's is taken as it is.
    CPIHeatIntegrationStream* stream = site->GetOwner() == static_cast<IStreamOwner*>(this) ? site : MakeSiteStreamCopy(name, *site);
    if (!m_pStreams) m_pStreams = std::make_unique<StreamDictionary>(kDictionarySlots);
    ++m_nStreamCounter;
    RegisterWithStream(*stream);
    stream->SetStreamKind(CPIHeatIntegrationStream::KindUtility, 1);
    stream->SetStoredInt(m_nStreamCounter);
    m_pStreams->AddKeyString(name, stream);
    AddStreamToDesigns(*stream);
    if (!m_utilityStreams.Contains(stream)) m_utilityStreams.Append(stream);
    UpdateSideLists(*stream, 2);
    SendAMessage(30, name, Self());
    // The scenario takes the stream's data in as it does when they change (its segments, its
    // matches, the targets), without writing them afresh.
    ++m_nTakingSiteData;
    SuspendCalculations();
    NotifyChange(37, N::Temperature, static_cast<IHeatIntegrationStream*>(stream));
    ResumeCalculations(true);
    --m_nTakingSiteData;
    return 1;
}

bool CPIScenario::HoldsOwnUtilityData(const CPIHeatIntegrationStream& stream) {
    double coefficient = kEmpty;
    return stream.GetSupplyTemperature() != kEmpty && stream.GetTargetTemperature() != kEmpty &&
           stream.GetValue(N::CHTCoeff, coefficient, 0) == 1 && coefficient != kEmpty && coefficient != 0.0;
}

bool CPIScenario::EmptyCleanCoefficient(CPIHeatIntegrationStream& stream) {
    double previous = kEmpty;
    stream.GetValue(N::CHTCoeff, previous, 0);
    // The stream refuses the empty coefficient when it does not store it, and also when it fills
    // the emptied entry with its default at once: either way the previous value comes back.
    double now = previous;
    if (stream.SetValue(N::CHTCoeff, kEmpty, 0) == 1 && stream.GetValue(N::CHTCoeff, now, 0) && now == kEmpty)
        return true;
    stream.SetValue(N::CHTCoeff, previous, 0);
    return false;
}

int CPIScenario::ApplyDefaultUtility(CPIHeatIntegrationStream& stream) {
    DefaultManager& manager = GetActiveManager();
    const bool own = &manager == m_pDefaultManager.get();
    const char* name = stream.GetName().c_str();
    if (!manager.Exists(name)) return 1;
    if (defaultOfOtherSide(manager, stream, name)) return 0;

    SuspendCalculations();
    stream.SetValue(N::Temperature, kEmpty, 0);
    stream.SetValue(N::Temperature, kEmpty, 1);
    stream.SetValue(N::Temperature, manager.GetValue(name, DUP_SupplyTemperature), 0);
    stream.SetValue(N::Temperature, manager.GetValue(name, DUP_TargetTemperature), 1);
    for (const PropertySource& p : kUtilityProperties) {
        const double v = manager.GetValue(name, p.parameter);
        if (v != kEmpty) stream.SetValue(p.name, v, 0);
    }
    const double cost = manager.GetValue(name, DUP_Cost);
    if (cost != kEmpty) stream.SetCostIndex(cost);
    // A stream made from a default utility that earns a credit is one too, whatever its price.
    if (manager.UtilityEarnsCredit(name)) stream.MarkEarnsCredit();
    if (own) {
        const double emissions = manager.GetValue(name, DUP_EmissionsCoefficient);
        if (emissions != kEmpty) stream.SetMassEmissionsCoefficient(emissions);
        if (manager.GetValue(name, DUP_EmptyFilmCoefficient) == 1.0 && !EmptyCleanCoefficient(stream)) {
            ErrorMsg("EmptyHTCError");
        }
    }
    ResumeCalculations(true);
    return 1;
}

void CPIScenario::UpdateStreamFromDefaultUtility(const CPString& name) {
    DefaultManager& manager = *m_pDefaultManager;
    CPIHeatIntegrationStream* stream = StreamByName(name);
    if (!stream || !manager.Exists(name.c_str())) return;
    const char* key = name.c_str();
    if (sidesClash(stream->GetHotCold(), manager.GetValue(key, DUP_HeatType))) return;

    SuspendCalculations();
    stream->SetValue(N::Temperature, kEmpty, 0);
    stream->SetValue(N::Temperature, kEmpty, 1);
    stream->SetValue(N::Temperature, manager.GetValue(key, DUP_SupplyTemperature), 0);
    stream->SetValue(N::Temperature, manager.GetValue(key, DUP_TargetTemperature), 1);
    for (const PropertySource& p : kUtilityProperties) {
        const double v = manager.GetValue(key, p.parameter);
        if (v != kEmpty) stream->SetValue(p.name, v, 0);
    }
    const double cost = manager.GetValue(key, DUP_Cost);
    if (cost != kEmpty) stream->SetCostIndex(cost);
    const double emissions = manager.GetValue(key, DUP_EmissionsCoefficient);
    if (emissions != kEmpty) stream->SetMassEmissionsCoefficient(emissions);
    const double contribution = manager.GetValue(key, DUP_DTminContribution);
    if (contribution != kEmpty) stream->SetDTminContribution(contribution, "Local", 0, 1);
    if (manager.GetValue(key, DUP_EmptyFilmCoefficient) == 1.0) EmptyCleanCoefficient(*stream);
    ResumeCalculations(true);
}

int CPIScenario::RenameStream(const CPString& oldName, const CPString& newName) {
    // A stream's own name typed over it again renames nothing and is no clash with itself.
    if (oldName == newName && StreamByName(oldName)) return 1;
    if (StreamByName(newName) || IsNewRowMarker(newName.c_str())) return 0;
    // A retrofit's streams are its base network's, which every retrofit design is compared with:
    // none is renamed, as none is deleted, until the base is unlocked.
    if (m_bRetrofit) return 0;
    CPIHeatIntegrationStream* stream = StreamByName(oldName);
    if (!stream) return 0;
    // A site stream is named on the site, for every scenario at once.
    if (SiteStreamOf(*stream)) return 0;
    const bool utility = stream->GetStreamKind() == CPIHeatIntegrationStream::KindUtility;
    if (!utility && m_pDefaultManager->Exists(newName.c_str())) return 0;
    const CPString previous = oldName;  // the caller's text may be the stream's own name
    // A utility renamed to a default utility's name takes that utility's ends and cost; one of
    // the other side is refused before anything is renamed.
    if (utility && defaultOfOtherSide(GetActiveManager(), *stream, newName.c_str())) return 0;
    stream->SetName(newName);
    // The designs rename their ends first, so that the new ends reach the units on them.
    RenameHeldStream(*stream, previous, newName);
    if (utility) ApplyDefaultUtility(*stream);
    return 1;
}

void CPIScenario::RenameHeldStream(CPIHeatIntegrationStream&, const CPString& previous, const CPString& newName) {
    m_pStreams->RenameKeyString(previous, newName);
    if (m_pDesigns)
        for (IHENDesign* design : *m_pDesigns) design->RenameStream(previous, newName);
    CPString newText = newName;
    SendAMessage(32, previous, newText.data());
    // The units target's sub-networks name their streams: they follow at once, not at the next
    // units recalculation.
    if (m_pUnitsTarget) m_pUnitsTarget->RenameStream(previous, newName);
}

int CPIScenario::DeleteStream(const CPString& name) {
    if (m_bRetrofit) return 0;
    CPIHeatIntegrationStream* stream = StreamByName(name);
    if (!stream) return 0;
    // A site stream is in every scenario of the site, and the case writes it so: it is deleted
    // on the site, for all of them at once.
    if (SiteStreamOf(*stream) && m_nDroppingSiteStream == 0) {
        SendMessageKey(kSiteStreamStaysMessage);
        return 0;
    }
    // A locked network keeps its structure until it is unlocked: the stream stays, and the user
    // is told why.
    if (IsStreamInLockedOperation(name)) {
        SendMessageKey(kStreamInLockedNetworkMessage);
        return 0;
    }
    const CPString removedName = name;

    if (m_pMatches) m_pMatches->RemoveStream(stream);
    if (m_pDesigns)
        for (IHENDesign* design : *m_pDesigns) design->RemoveStream(removedName);
    SendAMessage(31, removedName, Self());
    // Its links, and its terms in the links of others, go with it (the views of its links closed
    // on the message): a link of nobody, or a term of no stream, would act on nothing and be
    // saved so.
    if (m_pStreamLinks) m_pStreamLinks->DropStream(stream);
    // Its forbidden matches go too: a match with a stream that is gone forbids nothing, and the
    // count that kept it would hold the area LP and the placement on the grand composite curve.
    DropForbiddenMatchesOf(*stream);

    for (StreamList* list : {&m_processHot, &m_processCold, &m_utilityHot, &m_utilityCold, &m_allHot, &m_allCold,
                             &m_processStreams, &m_utilityStreams})
        list->Remove(stream);
    RemoveStreamSegments(*stream);
    m_pStreams->RemoveKeyString(removedName);

    if (m_pLastChangeSource == stream)
        m_pLastChangeSource = m_pStreams->Length() > 0 ? (*m_pStreams)[0] : nullptr;

    stream->RemoveNotificationReceiver(this);
    m_siteLinks.erase(stream);
    // A stream the scenario does not own belongs to the site.
    if (!IsSharedSiteStream(*stream)) delete stream;

    MarkUtilitySegmentsForUpdate();
    UpdateTargets(nullptr, 36);
    return 1;
}

bool CPIScenario::IsStreamInLockedOperation(const CPString& name) const {
    const CPIHeatIntegrationStream* stream = StreamByName(name);
    if (!stream || !m_pDesigns) return false;
    for (IHENDesign* design : *m_pDesigns) {
        if (!design || !design->GetOperationLocked()) continue;
        for (int i = 0; i < design->GetNumberOfStreams(); ++i)
            if (design->GetStream(i) == stream) return true;
    }
    return false;
}

bool CPIScenario::GetStream(const CPString& name, IHeatIntegrationStream*& out) const {
    CPIHeatIntegrationStream* stream = StreamByName(name);
    if (!stream) return false;
    out = stream;
    return true;
}

bool CPIScenario::GetStream(int index, IHeatIntegrationStream*& out) const {
    if (!m_pStreams || index < 0 || static_cast<std::size_t>(index) >= m_pStreams->Length()) return false;
    out = (*m_pStreams)[static_cast<std::size_t>(index)];
    return out != nullptr;
}

bool CPIScenario::GetStreamOfKind(int index, IHeatIntegrationStream*& out, int kind, int side) const {
    if (kind == 4 && side == 2) return GetStream(index, out);
    const CPTypedList<CPIHeatIntegrationStream>* list = GetSideList(kind == 2 ? -1 : kind, side);
    if (!list) return out != nullptr;
    if (index < 0 || static_cast<std::size_t>(index) >= list->Length()) return false;
    out = (*list)[static_cast<std::size_t>(index)];
    return true;
}

bool CPIScenario::IsStreamNameFree(const CPString& name) const { return StreamByName(name) == nullptr; }

// The list the scenario files its utilities in (kept when a stream is added, announces a new
// kind, is deleted, read or copied), so the count is one step: the forms ask it for every cell
// of a stream table. A design that turns a utility into a process stream for the length of a
// calculation, without notice, leaves it in the list.
int CPIScenario::GetNumberOfUtilityStreams() const {
    if (!m_pStreams) return 0;
    return static_cast<int>(m_utilityStreams.Length());
}

int CPIScenario::GetNumberOfProcessStreams() const {
    if (!m_pStreams) return 0;
    return static_cast<int>(m_pStreams->Length()) - GetNumberOfUtilityStreams();
}

int CPIScenario::GetNumberOfStreamsOfKind(int kind, int side) const {
    if (!HasStreams() || kind == 2) return 0;
    if (kind == 4 && side != 0 && side != 1) return 0;
    const CPTypedList<CPIHeatIntegrationStream>* list = GetSideList(kind, side);
    return list ? static_cast<int>(list->Length()) : 0;
}

bool CPIScenario::HasSegmentedStreams() const {
    if (!m_pStreams) return false;
    for (CPIHeatIntegrationStream* stream : *m_pStreams)
        if (stream->GetNumberOfSegments() > 1) return true;
    return false;
}

void CPIScenario::RemoveUnusedUtilities() {
    std::vector<CPString> unused;
    for (CPIHeatIntegrationStream* utility : m_utilityStreams) {
        // A site stream stays in every scenario of the site, used or not.
        if (SiteStreamOf(*utility)) continue;
        bool kept = false;
        if (m_pDesigns) {
            for (IHENDesign* design : *m_pDesigns) {
                const bool used = design->HasUnitOnStream(utility->GetName()) || utility->GetHeatLoad(0) != 0.0;
                const int side = utility->GetHotCold();
                const bool unitOfSide = side == 1 ? design->HasCooler() : side == 0 ? design->HasHeater() : true;
                if (used && unitOfSide) {
                    kept = true;
                    break;
                }
            }
        }
        if (!kept) unused.push_back(utility->GetName());
    }
    for (const CPString& name : unused) DeleteStream(name);
}

void CPIScenario::RemoveUnloadedUtilities() {
    std::vector<CPString> unloaded;
    if (m_pDesigns) {
        for (CPIHeatIntegrationStream* utility : m_utilityStreams) {
            if (SiteStreamOf(*utility)) continue;  // the site's, as above
            for (IHENDesign* design : *m_pDesigns) {
                if (design->GetNumberOfHeatExchangers() > 0 && !design->HasUnitOnStream(utility->GetName()) &&
                    utility->GetHeatLoad(0) < 0.1) {
                    unloaded.push_back(utility->GetName());
                    break;
                }
            }
        }
    }
    for (const CPString& name : unloaded) DeleteStream(name);
}

void CPIScenario::AddStreamLink(IHeatIntegrationStream* stream) {
    // Only a process stream of this scenario can be linked: its candidates are its neighbours.
    auto* own = dynamic_cast<CPIHeatIntegrationStream*>(stream);
    if (!own || !m_processStreams.Contains(own)) return;
    if (!m_pStreamLinks) {
        m_pStreamLinks = std::make_unique<StreamLynxCollection>(this);
        SendAMessage(113, CPString(), Self());
    }
    StreamLynx* link = m_pStreamLinks->FindLink(stream);
    if (!link) {
        link = new StreamLynx(this, stream);
        m_pStreamLinks->AddLink(link);
    }
    SendAMessage(114, CPString(), link);
}

void CPIScenario::SetStreamLinkCollection(std::unique_ptr<StreamLynxCollection> links) {
    m_pStreamLinks = std::move(links);
}
