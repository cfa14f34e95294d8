// Total-site utility manager: life cycle, the utility list as a whole, and utility values.
#include "eng/targeting/TotalSiteManager.h"

#include "dunmor/Units.h"
#include "eng/model/StreamValueNames.h"

#include <algorithm>
#include <cmath>

namespace N = StreamValueNames;

TotalSiteManager::TotalSiteManager() = default;

TotalSiteManager::TotalSiteManager(const TotalSiteManager& other)
    : ILurmetBaseObject(other),
      INotificationSender(other),
      IDefaultUtilityManager(other),
      LurmetBaseObject(other),
      NotificationSender(other),
      DefaultManager(other),
      ITotalSiteUtilityManager(other),
      IStreamOwner(other) {
    // Streams cannot be shared between managers; the copy makes its own, one per utility, so
    // that a site built on it can take any utility as a site stream.
    CreateStreamsForUtilities();
}

TotalSiteManager& TotalSiteManager::operator=(const TotalSiteManager& other) {
    if (this == &other) return *this;
    ReplaceUtilities([&] {
        DefaultManager::operator=(other);
        return true;
    });
    m_site = other.m_site;
    return *this;
}

TotalSiteManager::~TotalSiteManager() {
    m_staged.reset();
    m_streams.clear();
}

int TotalSiteManager::QueryInterface(int id, void** out) {
    if (!out) return 0;
    if (id == ITotalSiteUtilityManager::InterfaceId) {
        *out = static_cast<ITotalSiteUtilityManager*>(this);
        return 1;
    }
    return DefaultManager::QueryInterface(id, out);
}

// ---- the utility list as a whole --------------------------------------------------------------

bool TotalSiteManager::SameMirroredValues(const DefaultUtility& a, const DefaultUtility& b) {
    return a.name == b.name && a.supplyTemperature == b.supplyTemperature &&
           a.targetTemperature == b.targetTemperature && a.filmCoefficient == b.filmCoefficient &&
           a.cost == b.cost && a.specificHeat == b.specificHeat;
}

TotalSiteManager::Snapshot TotalSiteManager::TakeSnapshot() const {
    Snapshot s;
    for (const auto& u : Utilities()) s.utilities.push_back(*u);
    for (const SiteStream& entry : m_streams) s.streams.push_back(entry.stream.get());
    return s;
}

void TotalSiteManager::ReplaceUtilities(const std::function<bool()>& replace) {
    const Snapshot before = TakeSnapshot();
    if (m_replacing == 0) m_leftAlone.clear();
    ++m_replacing;
    const bool done = replace();
    --m_replacing;
    if (!done || m_replacing > 0) return;
    if (m_staged) {
        RestoreRecordedStreams();
        return;
    }
    const UtilityList& now = Utilities();
    const bool changed =
        now.size() != before.utilities.size() ||
        !std::equal(now.begin(), now.end(), before.utilities.begin(),
                    [](const auto& u, const DefaultUtility& b) { return SameMirroredValues(*u, b); });
    if (changed) KeepStreamsInStep(before);
}

void TotalSiteManager::SetUpDefaults(const ConfigurationStore& configuration) {
    ReplaceUtilities([&] {
        DefaultManager::SetUpDefaults(configuration);
        return true;
    });
}

hresult TotalSiteManager::RestoreDefaultUtilities() {
    hresult result = 0;
    ReplaceUtilities([&] {
        result = DefaultManager::RestoreDefaultUtilities();
        return true;
    });
    return result;
}

hresult TotalSiteManager::AddDefaultUtility(const char* name) {
    // A name a utility bears is the scenario manager's refusal; only a stream left without its
    // utility is this manager's own.
    if (!name || NameTakenInAnyCase(name, nullptr)) return DefaultManager::AddDefaultUtility(name);
    const CPString key = UpperCase(name);
    for (const SiteStream& entry : m_streams)
        if (UpperCase(entry.key.c_str()) == key) {
            Send(ChangeMessage, kSameStreamMessage, ManagerData());
            return 0;
        }
    return DefaultManager::AddDefaultUtility(name);
}

hresult TotalSiteManager::RenameDefaultUtility(const char* oldName, const char* newName) {
    if (DefaultManager::RenameDefaultUtility(oldName, newName) != 1) return 0;
    // Within a replacement of the whole list KeepStreamsInStep settles the streams.
    if (m_replacing == 0 && !GetSiteStream(newName)) AddStream(newName);
    return 1;
}

hresult TotalSiteManager::RemoveDefaultUtility(const char* name) {
    if (!name) return 0;
    const CPString removed(name);  // the caller's text may live in the utility itself
    UtilityList& list = Utilities();
    if (std::none_of(list.begin(), list.end(), [&](const auto& u) { return u->name == removed; })) return 0;
    // Within a replacement of the whole list the streams stay; KeepStreamsInStep settles them.
    if (m_replacing == 0) {
        // The stream goes only once the site has let go of it: one the site keeps stays in its
        // scenarios, so the manager may not destroy it, and the utility stays with it.
        if (m_site && m_site->DeleteStream(removed) != 1 && m_site->HoldsSiteStream(removed)) return 0;
        DeleteStream(removed.c_str());
    }
    auto it = std::find_if(list.begin(), list.end(), [&](const auto& u) { return u->name == removed; });
    list.erase(it);
    Send(ChangeUtilityRemoved, removed, nullptr);
    CalculateARTemp();
    AnnounceChange();
    return 1;
}

// ---- values -----------------------------------------------------------------------------------

double TotalSiteManager::GetUtilityValue(DefaultUtility* u, DefaultUtilityParameter parameter) {
    if (parameter < DUP_SupplyTemperature || parameter > DUP_SpecificHeat || parameter == DUP_EmptyFilmCoefficient)
        return 0.0;
    const double value = DefaultManager::GetUtilityValue(u, parameter);
    IHeatIntegrationStreamForTargeting* stream = GetSiteStream(u->name);
    if (!stream) return value;
    // A read fills what the site stream does not hold yet; a value the user typed into the
    // stream stays (it is the site's own figure for that utility, kept in the case file too).
    switch (parameter) {
    case DUP_SupplyTemperature: Fill(*stream, N::Temperature, value, 0); break;
    case DUP_TargetTemperature: Fill(*stream, N::Temperature, value, 1); break;
    // A new site stream's coefficient is 0.0 until the utility's is written into it.
    case DUP_FilmCoefficient: Fill(*stream, N::CHTCoeff, value, 0, true); break;
    case DUP_Cost:
        if (stream->GetCostIndex() == 0.0) MirrorCost(*stream, value);
        break;
    case DUP_SpecificHeat: Fill(*stream, N::SpecificHeat, value, 0); break;
    default: break;
    }
    return value;
}

hresult TotalSiteManager::SetUtilityValue(DefaultUtility* u, DefaultUtilityParameter parameter, double value) {
    if (parameter < DUP_SupplyTemperature || parameter > DUP_SpecificHeat || parameter == DUP_EmptyFilmCoefficient ||
        parameter == DUP_HeatType)
        return 1;
    const bool sided = u->side == SHT_Hot || u->side == SHT_Cold;
    const bool temperature = parameter == DUP_SupplyTemperature || parameter == DUP_TargetTemperature;
    if (sided || !temperature) return DefaultManager::SetUtilityValue(u, parameter, value);

    // No side yet: the temperature is kept whatever it is; the side is the user's to choose
    // (SetStreamType), so that a half-described utility is never recommended.
    if (!std::isfinite(value)) return 0;
    const bool supply = parameter == DUP_SupplyTemperature;
    (supply ? u->supplyTemperature : u->targetTemperature) = value;
    const double other = supply ? u->targetTemperature : u->supplyTemperature;
    if (Units::IsEmpty(other)) return 1;
    if (value == other) return 0;
    Recalculate();
    return 1;
}

namespace {
// The price a stream holds until one is given to it.
constexpr double kUnsetCostIndex = 3.171e-06;
}  // namespace

hresult TotalSiteManager::SetValue(const char* name, DefaultUtilityParameter parameter, double value) {
    const int outer = m_editedParameter;
    m_editedParameter = parameter;
    const hresult result = DefaultManager::SetValue(name, parameter, value);
    m_editedParameter = outer;
    return result;
}

void TotalSiteManager::UpdateStreams(DefaultUtility* u) {
    if (!u) return;
    IHeatIntegrationStreamForTargeting* stream = GetSiteStream(u->name);
    // A site stream a retrofit study's base runs on is the existing network's: a utility edited
    // or read from a defaults file leaves it as it is.
    if (!stream || stream->IsHeldByRetrofitBase(nullptr)) return;
    const int edited = m_editedParameter;
    auto mirrors = [edited](int parameter) { return edited < 0 || edited == parameter; };
    // What the edit did not change reaches the stream only where it holds nothing of its own yet.
    if (edited >= 0 && edited != DUP_SupplyTemperature && edited != DUP_TargetTemperature) {
        Fill(*stream, N::Temperature, u->supplyTemperature, 0);
        Fill(*stream, N::Temperature, u->targetTemperature, 1);
    }
    if (edited >= 0 && edited != DUP_FilmCoefficient) Fill(*stream, N::CHTCoeff, u->filmCoefficient, 0, true);
    if (edited >= 0 && edited != DUP_SpecificHeat) Fill(*stream, N::SpecificHeat, u->specificHeat, 0);
    if (edited >= 0 && edited != DUP_Cost && stream->GetCostIndex() == kUnsetCostIndex) MirrorCost(*stream, u->cost);
    if (mirrors(DUP_SupplyTemperature) || mirrors(DUP_TargetTemperature)) {
        // Both ends together, in the order the stream takes them: the supply first while it stays
        // on its side of the target the stream holds, else the target first.
        double heldTarget = Units::EmptyValue;
        stream->GetValue(N::Temperature, heldTarget, 1);
        const bool hot = u->supplyTemperature > u->targetTemperature;
        const bool supplyFirst = Units::IsEmpty(heldTarget) || Units::IsEmpty(u->supplyTemperature) ||
                                 (hot ? u->supplyTemperature > heldTarget : u->supplyTemperature < heldTarget);
        if (supplyFirst) Mirror(*stream, N::Temperature, u->supplyTemperature, 0);
        Mirror(*stream, N::Temperature, u->targetTemperature, 1);
        if (!supplyFirst) Mirror(*stream, N::Temperature, u->supplyTemperature, 0);
    }
    if (mirrors(DUP_FilmCoefficient)) Mirror(*stream, N::CHTCoeff, u->filmCoefficient, 0);
    if (mirrors(DUP_Cost)) MirrorCost(*stream, u->cost);
    if (mirrors(DUP_SpecificHeat)) Mirror(*stream, N::SpecificHeat, u->specificHeat, 0);
    // An approach typed in the editor is the stream's own contribution, as a new utility takes it.
    if (edited == DUP_DTminContribution && !Units::IsEmpty(u->dtminContribution) &&
        stream->GetDTminContribution() != u->dtminContribution)
        stream->SetDTminContribution(u->dtminContribution, "Local", 0, 1);
}

// Every write makes the stream announce a change and its scenarios recalculate, so a value the
// stream already holds is not written again: reading a utility stays free of side effects once
// the stream is in step.
void TotalSiteManager::Mirror(IHeatIntegrationStreamForTargeting& stream, const char* name, double value, int index) {
    double held = Units::EmptyValue;
    if (stream.GetValue(name, held, index) == 1 && held == value) return;
    stream.SetValue(name, value, index);
}

void TotalSiteManager::Fill(IHeatIntegrationStreamForTargeting& stream, const char* name, double value, int index,
                            bool zeroIsUnset) {
    double held = Units::EmptyValue;
    if (stream.GetValue(name, held, index) == 1 && !Units::IsEmpty(held) && !(zeroIsUnset && held == 0.0)) return;
    Mirror(stream, name, value, index);
}

void TotalSiteManager::MirrorCost(IHeatIntegrationStreamForTargeting& stream, double cost) {
    if (stream.GetCostIndex() != cost) stream.SetCostIndex(cost);
}
