// Total site: life cycle, scenarios and site streams. The record is in TotalSiteRecord.cpp.
#include "eng/model/TotalSite.h"

#include "eng/model/CloneSelection.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/Scenario.h"
#include "eng/core/StreamSegment.h"
#include "eng/model/StreamValueNames.h"
#include "eng/core/ModuleEntry.h"
#include "eng/targeting/TotalSiteManager.h"
#include "lumeth/NewRowMarker.h"
#include "tevrin/CPList.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace N = StreamValueNames;

namespace {
constexpr double kEmpty = -32767.0;

std::unique_ptr<TotalSiteManager> NewSiteManager() {
    auto manager = std::make_unique<TotalSiteManager>();
    manager->SetUpDefaults();
    return manager;
}
}  // namespace

// The project part is built as an ordinary project, not as the project prototype: type 501 is
// registered by its own load step.
CPITotalSite::CPITotalSite() : CPIProject(nullptr, CPString()), m_pManager(NewSiteManager()) {
    m_pManager->SetMyTSPointer(this);
    RegisterPrototype();
}

void RegisterTotalSitePrototype(ModuleRegistries&) { CPITotalSite prototype; }

CPITotalSite::CPITotalSite(IEngineeringManager* manager, const CPString& name)
    : CPIProject(manager, name), m_pManager(NewSiteManager()) {
    m_pManager->SetMyTSPointer(this);
}

CPITotalSite::~CPITotalSite() {
    // Scenarios let go of the site streams; the manager then destroys them.
    DestroyScenarios();
    m_pSiteStreams.reset();
    m_pManager->SetMyTSPointer(nullptr);
    m_pManager.reset();
}

ILurmetBaseObject* CPITotalSite::CreateCPITotalSite(const CPString& name, IEngineeringManager* manager) {
    AttachCallingThread();
    auto* site = new CPITotalSite(manager, name);
    site->SetScenarioServices(DefaultScenarioServices());
    return static_cast<IHeatIntegrationTotalSite*>(site);
}

bool CPITotalSite::RegisterPrototype() {
    return ILurmetBaseObject::Register(TotalSiteType, &CPITotalSite::CreateCPITotalSite);
}

int CPITotalSite::QueryInterface(int id, void** out) {
    if (!out) return 0;
    if (id == TotalSiteType) {
        *out = static_cast<IHeatIntegrationTotalSite*>(this);
        return 1;
    }
    return CPIProject::QueryInterface(id, out);
}

// ---------------------------------------------------------------- scenario dictionary

void CPITotalSite::EnsureScenarios() {
    if (!m_pSiteScenarios) m_pSiteScenarios = std::make_unique<ScenarioDictionary>(kScenarioSlots);
}

void CPITotalSite::DestroyScenarioDictionary(std::unique_ptr<ScenarioDictionary>& scenarios) {
    if (!scenarios) return;
    while (scenarios->Length() > 0) {
        CPIScenario* scenario = scenarios->RemoveKeyString(scenarios->KeyAt(0));
        // A site scenario never destroys the site's utility streams, whatever its record said.
        scenario->SetTotalSiteScenario(1);
        delete scenario;
    }
    scenarios.reset();
}

void CPITotalSite::DestroyScenarios() { DestroyScenarioDictionary(m_pSiteScenarios); }

CPIScenario::SiteShare CPITotalSite::Share(TotalSiteManager* manager, const StreamDictionary* streams) {
    CPIScenario::SiteShare share;
    share.manager = manager;
    if (streams)
        for (std::size_t i = 0; i < streams->Length(); ++i) share.streams.emplace_back(streams->KeyAt(i), (*streams)[i]);
    return share;
}

int CPITotalSite::AddScenario(const CPString& name) {
    EnsureScenarios();
    if (m_pSiteScenarios->ExistsKeyString(name)) return 0;
    auto* scenario = new CPIScenario(this, GetScenarioServices());
    m_pSiteScenarios->AddKeyString(name, scenario);
    scenario->SetName(name);
    // Whoever hears of the new scenario finds the site streams in it already.
    scenario->JoinSite(Share(m_pManager.get(), m_pSiteStreams.get()));
    SendChange(24, name);
    return 1;
}

int CPITotalSite::AddScenario(const CPString& name, IHeatIntegrationScenario* source, const CloneSelection* selections) {
    auto* from = dynamic_cast<CPIScenario*>(source);
    if (name.empty() || !from) return 0;
    EnsureScenarios();
    const CloneSelection all = from->SelectAll();
    const CloneSelection& selection = selections ? *selections : all;
    if (CPIScenario* existing = m_pSiteScenarios->FindKeyString(name)) {
        return existing->AppendFrom(this, *from, selection) ? 1 : 0;
    }
    // A copy belongs to the site as a new scenario does: the site's manager and streams.
    const CPIScenario::SiteShare share = Share(m_pManager.get(), m_pSiteStreams.get());
    auto* scenario = new CPIScenario(this, *from, &selection, GetScenarioServices(), &share);
    m_pSiteScenarios->AddKeyString(name, scenario);
    scenario->SetName(name);
    SendChange(24, name);
    if (selection.EntryFlag(CloneSelection::EntryDesigns) < 255) scenario->CopyDesignsFrom(*from, selection);
    scenario->HoldCopiedRetrofitStudy();
    return 1;
}

int CPITotalSite::AddScenario(IHeatIntegrationScenario* source, const CPString& designName) {
    auto* from = dynamic_cast<CPIScenario*>(source);
    // As the project: no design of that name, no base, and nothing made.
    IHENDesign* base = nullptr;
    if (!from || designName.empty() || !from->GetDesign(designName, base) || !base) return 0;
    EnsureScenarios();
    const CPString name = CreateScenarioName(from->GetName() ? from->GetName() : "");
    const CloneSelection all = from->SelectAll();
    const CPIScenario::SiteShare share = Share(m_pManager.get(), m_pSiteStreams.get());
    auto* scenario = new CPIScenario(this, *from, &all, GetScenarioServices(), &share);
    m_pSiteScenarios->AddKeyString(name, scenario);
    scenario->SetName(name);
    SendChange(24, name);
    scenario->SetUpRetrofit(*from, designName);
    return 1;
}

int CPITotalSite::DeleteScenario(const CPString& name) {
    if (!m_pSiteScenarios) return 0;
    CPIScenario* scenario = m_pSiteScenarios->RemoveKeyString(name);
    if (!scenario) return 0;
    scenario->SetTotalSiteScenario(1);
    delete scenario;
    return 1;
}

// ---------------------------------------------------------------- site streams

int CPITotalSite::GetNumberOfStreams() const {
    return m_pSiteStreams ? static_cast<int>(m_pSiteStreams->Length()) : 0;
}

int CPITotalSite::GetDefaultUtilityManager(ITotalSiteUtilityManager*& out) {
    out = m_pManager.get();
    return 1;
}

int CPITotalSite::GetStream(int index, IHeatIntegrationStream*& out) const {
    out = nullptr;
    if (!m_pSiteStreams || index < 0 || static_cast<std::size_t>(index) >= m_pSiteStreams->Length()) return 0;
    out = (*m_pSiteStreams)[static_cast<std::size_t>(index)];
    return out ? 1 : 0;
}

int CPITotalSite::GetStream(const CPString& name, IHeatIntegrationStream*& out) const {
    out = m_pSiteStreams ? m_pSiteStreams->FindKeyString(name) : nullptr;
    return out ? 1 : 0;
}

int CPITotalSite::AddStream(const CPString& name) {
    if (IsNewRowMarker(name.c_str())) {
        SendChange(60, "NewRowMarkerName");
        return 0;
    }
    if ((m_pSiteStreams && m_pSiteStreams->ExistsKeyString(name)) || ScenarioHoldingStream(name)) {
        SendChange(60, kSameStreamMessage);
        return 0;
    }
    if (!m_pSiteStreams) m_pSiteStreams = std::make_unique<StreamDictionary>(kStreamSlots);
    // A site stream is one of the manager's default utilities. The manager keeps the stream of a
    // default renamed away under the old name, with no utility behind it: that name is no longer
    // on offer either.
    IHeatIntegrationStream* found = nullptr;
    if (m_pManager->Exists(name.c_str())) m_pManager->GetStream(name.c_str(), found);
    auto* stream = dynamic_cast<CPIHeatIntegrationStream*>(found);
    if (!stream) {
        // The message tells the user to pick one of the manager's utilities; the request itself
        // was taken, so no second refusal follows it.
        SendChange(60, kUnknownUtilityMessage);
        return 1;
    }
    // A refused name takes no number.
    ++m_nStreamCounter;
    stream->SetValue(N::CHTCoeff, m_pManager->GetHTCDefaultValue(0), 0);
    stream->SetStreamKind(CPIHeatIntegrationStream::KindUtility, 1);
    stream->SetStoredInt(m_nStreamCounter);
    m_pSiteStreams->AddKeyString(name, stream);
    SendChange(30, name);
    SetDefaultUtilityStream(*stream);
    if (m_pSiteScenarios)
        for (CPIScenario* scenario : *m_pSiteScenarios) scenario->InsertStream(name, stream, m_pManager.get());
    return 1;
}

bool CPITotalSite::HoldsForRetrofitBase(const CPString& stream, const char* name) const {
    if (!m_pSiteScenarios) return false;
    for (CPIScenario* scenario : *m_pSiteScenarios) {
        IHeatIntegrationStream* copy = nullptr;
        // The study's own copies are locked: a copy is asked only through its lock, never back here.
        if (scenario->IsRetrofitScenario() && scenario->GetStream(stream, copy) && copy && copy->IsLocked() &&
            copy->IsHeldByRetrofitBase(name))
            return true;
    }
    return false;
}

// A site stream a retrofit study's base runs on is the existing network's: it is neither deleted
// nor renamed while the study holds it, and the site says so.
bool CPITotalSite::RefusedForRetrofitBase(const CPString& name) {
    if (!HoldsForRetrofitBase(name, nullptr)) return false;
    SendChange(60, kRetrofitBaseMessage);
    return true;
}

int CPITotalSite::DeleteStream(const CPString& name) {
    if (!m_pSiteStreams || !m_pSiteStreams->ExistsKeyString(name)) return 0;
    const CPString key = name;  // the caller's text may be the stream's own name
    if (RefusedForRetrofitBase(key)) return 0;
    // A site stream goes from every scenario at once or from none: a scenario whose locked
    // network runs on it keeps it, so the site does too.
    if (m_pSiteScenarios)
        for (CPIScenario* scenario : *m_pSiteScenarios)
            if (scenario->IsStreamInLockedOperation(key)) {
                scenario->DropSiteStream(key);  // tells the user why, and deletes nothing
                return 0;
            }
    SendChange(31, key);
    if (m_pSiteScenarios)
        for (CPIScenario* scenario : *m_pSiteScenarios) scenario->DropSiteStream(key);
    // The manager keeps the stream for its utility; the load typed on the site went with the row.
    if (CPIHeatIntegrationStream* stream = m_pSiteStreams->FindKeyString(key)) {
        stream->SetHeatLoad(0.0, 0);
        stream->ForgetComputedLoads();
    }
    m_pSiteStreams->RemoveKeyString(key);
    return 1;
}

const char* CPITotalSite::ScenarioHoldingStream(const CPString& name) const {
    // The site's own stream is in every scenario: that is no stream of a scenario's own.
    if (!m_pSiteScenarios || (m_pSiteStreams && m_pSiteStreams->ExistsKeyString(name))) return nullptr;
    // A site stream joins every scenario under its name: a stream a scenario holds of its own by
    // that name would meet it there, and the scenario would then hold neither.
    for (CPIScenario* scenario : *m_pSiteScenarios) {
        IHeatIntegrationStream* held = nullptr;
        if (scenario->GetStream(name, held) && held) return scenario->GetName() ? scenario->GetName() : "";
    }
    return nullptr;
}

int CPITotalSite::RenameStream(const CPString& oldName, const CPString& newName) {
    if (!m_pSiteStreams || m_pSiteStreams->ExistsKeyString(newName) || IsNewRowMarker(newName.c_str())) return 0;
    if (ScenarioHoldingStream(newName)) return 0;
    // A site stream is one of the site's default utilities, as it is when it is added: the case
    // reader takes no other.
    if (!m_pManager->Exists(newName.c_str())) return 0;
    CPIHeatIntegrationStream* stream = m_pSiteStreams->FindKeyString(oldName);
    if (!stream) return 0;
    const CPString previous = oldName;
    if (RefusedForRetrofitBase(previous)) return 0;
    stream->SetName(newName);
    if (!SetDefaultUtilityStream(*stream)) {
        stream->SetName(previous);
        return 0;
    }
    m_pSiteStreams->RenameKeyString(previous, newName);
    // The manager's record keys its streams by their names: it files the stream under the new one.
    m_pManager->RenameSiteStream(previous, newName);
    // Each scenario's copy of the stream takes the new name too.
    if (m_pSiteScenarios)
        for (CPIScenario* scenario : *m_pSiteScenarios) scenario->RenameSiteStream(previous, newName);
    CPString renamed = newName;
    SendAMessage(32, previous, &renamed);
    return 1;
}

int CPITotalSite::SetDefaultUtilityStream(IHeatIntegrationStream& stream) {
    const CPString name = stream.GetName();
    if (!m_pManager->Exists(name.c_str())) return 1;
    const double side = m_pManager->GetValue(name.c_str(), DUP_HeatType);
    const bool hotUtility = side == static_cast<double>(SHT_Hot);
    const bool coldUtility = side == static_cast<double>(SHT_Cold);
    if ((stream.GetHotCold() == CPIHeatIntegrationStream::SideHot && coldUtility) ||
        (stream.GetHotCold() == CPIHeatIntegrationStream::SideCold && hotUtility))
        return 0;

    // Both points are emptied first: the stream's side follows its points, and a point written
    // against the side left by the other one would be refused.
    stream.SetValue(N::Temperature, kEmpty, 0);
    stream.SetValue(N::Temperature, kEmpty, 1);
    stream.SetValue(N::Temperature, m_pManager->GetValue(name.c_str(), DUP_SupplyTemperature), 0);
    stream.SetValue(N::Temperature, m_pManager->GetValue(name.c_str(), DUP_TargetTemperature), 1);

    struct Copied {
        DefaultUtilityParameter parameter;
        const char* value;
    };
    static constexpr Copied kCopied[] = {{DUP_FilmCoefficient, N::CHTCoeff},
                                         {DUP_Viscosity, N::Viscosity},
                                         {DUP_ThermalConductivity, N::ThermalConductivity},
                                         {DUP_MassDensity, N::MassDensity},
                                         {DUP_SpecificHeat, N::SpecificHeat}};
    for (const Copied& c : kCopied) {
        const double value = m_pManager->GetValue(name.c_str(), c.parameter);
        if (value != kEmpty) stream.SetValue(c.value, value, 0);
    }
    const double cost = m_pManager->GetValue(name.c_str(), DUP_Cost);
    if (cost != kEmpty) stream.SetCostIndex(cost);
    // A stream made from a default utility that earns a credit is one too, whatever its price.
    if (m_pManager->UtilityEarnsCredit(name.c_str())) stream.MarkEarnsCredit();
    // The approach the utility asks for, as a stream table's row of the utility's name takes it
    // (a negative one counting as 0); a utility with none takes the DTmin.
    const double approach = m_pManager->GetValue(name.c_str(), DUP_DTminContribution);
    if (approach != kEmpty && std::isfinite(approach)) stream.SetDTminContribution(std::max(0.0, approach), "Local", 0, 1);
    return 1;
}

void CPITotalSite::TemperatureShift(CPList* segments, double value) {
    if (!segments) return;
    for (std::size_t i = 0; i < segments->Length(); ++i)
        if (auto* segment = static_cast<StreamSegment*>(segments->GetAt(i))) segment->ShiftTemperatures(value);
}

bool CPITotalSite::RecallFixUp() {
    if (m_pSiteStreams)
        for (std::size_t i = 0; i < m_pSiteStreams->Length(); ++i) SendChange(30, m_pSiteStreams->KeyAt(i));
    return true;
}
