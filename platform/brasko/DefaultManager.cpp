// Default-utility manager: life cycle and the default utilities.
#include "brasko/DefaultManager.h"

#include "lumeth/MessageKey.h"
#include "lumeth/NewRowMarker.h"
#include "tevrin/CPList.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr double kAbsoluteZero = -273.15;
constexpr double kTopOfRanges = 3000.0;
// Half a degree keeps a utility's range just clear of its own temperature less the approach.
constexpr double kRangeMargin = 0.5;
constexpr double kNoCost = 1.0e20;

bool SameText(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }
}  // namespace

DefaultManager::DefaultManager() : m_defaultSet(std::make_unique<EconomicData>(kDefaultSetName)) {
    m_fileNames.emplace_back(kCurrentUtilitiesFileName, kNoFileName);
    m_fileNames.emplace_back(kCurrentEconomicsFileName, kNoFileName);
}

DefaultManager::DefaultManager(const DefaultManager& other)
    : ILurmetBaseObject(other),
      INotificationSender(other),
      IDefaultUtilityManager(other),
      LurmetBaseObject(other),
      NotificationSender(other) {
    CopyFrom(other);
}

DefaultManager& DefaultManager::operator=(const DefaultManager& other) {
    if (this != &other) {
        LurmetBaseObject::operator=(other);
        CopyFrom(other);
    }
    return *this;
}

void DefaultManager::CopyFrom(const DefaultManager& other) {
    m_utilities.clear();
    for (const auto& u : other.m_utilities) m_utilities.push_back(std::make_unique<DefaultUtility>(*u));
    m_hasUtilityList = other.m_hasUtilityList;
    m_sets.clear();
    for (const auto& s : other.m_sets) m_sets.push_back({s.key, std::make_unique<EconomicData>(*s.set)});
    m_hasEconomicDataList = other.m_hasEconomicDataList;
    m_info = other.m_info ? std::make_unique<EconomicInfo>(*other.m_info) : nullptr;
    m_defaultSet = other.m_defaultSet ? std::make_unique<EconomicData>(*other.m_defaultSet) : nullptr;
    m_coefficients.clear();
    for (const auto& c : other.m_coefficients)
        m_coefficients.push_back(std::make_unique<DefHeatTransferCoefficient>(*c));
    m_hasCoefficientList = other.m_hasCoefficientList;
    m_fileNames = other.m_fileNames;
    m_locked = other.m_locked;
    m_mode = other.m_mode;
}

DefaultManager::~DefaultManager() {
    m_info.reset();
    m_defaultSet.reset();
    m_sets.clear();
    m_coefficients.clear();
    m_utilities.clear();
    m_fileNames.clear();
    Send(ChangeManagerDestroyed, CPString(), nullptr);
}

int DefaultManager::QueryInterface(int id, void** out) {
    if (!out) return 0;
    if (id == IDefaultUtilityManager::InterfaceId) {
        *out = static_cast<IDefaultUtilityManager*>(this);
        return 1;
    }
    return LurmetBaseObject::QueryInterface(id, out);
}

bool DefaultManager::Store(ILurmetBinaryFile& file) { return Store(&file, SRT_All); }
bool DefaultManager::Recall(ILurmetBinaryFile& file) { return Recall(&file, SRT_All); }

CPString DefaultManager::UpperCase(const char* text) {
    CPString upper(text);
    for (char& c : upper) c = Capital(c);
    return upper;
}

void DefaultManager::AnnounceChange() {
    if (m_mode == 0) Send(ChangeUtilities, "hi", ManagerData());
}

void DefaultManager::Recalculate() {
    CalculateARTemp();
    AnnounceChange();
}

// ---- look-ups ---------------------------------------------------------------------------------

DefaultUtility* DefaultManager::GetDefaultUtility(const CPString* name) const {
    if (!name) return nullptr;
    for (const auto& u : m_utilities)
        if (u->name == *name) return u.get();
    return nullptr;
}

DefaultUtility* DefaultManager::FindUtility(const char* name) const {
    if (!name) return nullptr;
    const CPString key(name);
    return GetDefaultUtility(&key);
}

DefaultUtility* DefaultManager::GetDefaultUtility(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_utilities.size()) return nullptr;
    return m_utilities[static_cast<std::size_t>(index)].get();
}

int DefaultManager::GetNumberOfDefaultUtilities() const { return static_cast<int>(m_utilities.size()); }

int DefaultManager::GetNumberOfSimulationUtilities() const {
    return static_cast<int>(std::count_if(m_utilities.begin(), m_utilities.end(),
                                          [](const auto& u) { return u->simulationUtility; }));
}

short DefaultManager::Exists(const char* name) const { return FindUtility(name) ? 1 : 0; }

bool DefaultManager::UtilityEarnsCredit(const char* name) const {
    const DefaultUtility* u = FindUtility(name);
    return u && u->earnsCredit;
}

const char* DefaultManager::GetDefaultUtilityName(int index) const {
    const DefaultUtility* u = GetDefaultUtility(index);
    return u ? u->name.c_str() : nullptr;
}

const char* DefaultManager::GetDefaultUtilityName(const DefaultUtility* utility) const {
    return utility ? utility->name.c_str() : nullptr;
}

const char* DefaultManager::GetRecommendedUtilityName(int index) const { return GetDefaultUtilityName(index); }

const char* DefaultManager::GetExchangerType(const char* name) const {
    const DefaultUtility* u = FindUtility(name);
    return u ? u->exchangerType.c_str() : nullptr;
}

const char* DefaultManager::GetExchangerType(int index) const {
    const DefaultUtility* u = GetDefaultUtility(index);
    return u ? u->exchangerType.c_str() : nullptr;
}

SegmentHeatType DefaultManager::GetValue(int index) const {
    const DefaultUtility* u = GetDefaultUtility(index);
    return u ? u->side : SHT_NotSet;
}

double DefaultManager::GetValue(const char* name, DefaultUtilityParameter parameter) {
    DefaultUtility* u = FindUtility(name);
    return u ? GetUtilityValue(u, parameter) : Units::EmptyValue;
}

double DefaultManager::GetValue(int index, DefaultUtilityParameter parameter) {
    DefaultUtility* u = GetDefaultUtility(index);
    return u ? GetUtilityValue(u, parameter) : Units::EmptyValue;
}

double DefaultManager::GetDefaultUtilityInletTemp(int index) const {
    const DefaultUtility* u = GetDefaultUtility(index);
    return u ? u->supplyTemperature : Units::EmptyValue;
}

double DefaultManager::GetDefaultUtilityOutletTemp(int index) const {
    const DefaultUtility* u = GetDefaultUtility(index);
    return u ? u->targetTemperature : Units::EmptyValue;
}

double DefaultManager::GetDefaultUtilityMassHeatCap(int index) const {
    const DefaultUtility* u = GetDefaultUtility(index);
    return u ? u->specificHeat : Units::EmptyValue;
}

bool DefaultManager::AmISimulationUtility(int index) const {
    const DefaultUtility* u = GetDefaultUtility(index);
    return u && u->simulationUtility;
}

double DefaultManager::GetUtilityValue(DefaultUtility* u, DefaultUtilityParameter parameter) {
    switch (parameter) {
    case DUP_SupplyTemperature: return u->supplyTemperature;
    case DUP_TargetTemperature: return u->targetTemperature;
    case DUP_FilmCoefficient: return u->filmCoefficient;
    case DUP_EmptyFilmCoefficient: return u->emptyFilmCoefficient ? 1.0 : 0.0;
    case DUP_Cost: return u->cost;
    case DUP_RangeUpper: return u->rangeUpper;
    case DUP_RangeLower: return u->rangeLower;
    case DUP_HeatType: return static_cast<double>(u->side);
    case DUP_DTminContribution: return u->dtminContribution;
    case DUP_Viscosity: return u->viscosity;
    case DUP_ThermalConductivity: return u->thermalConductivity;
    case DUP_MassDensity: return u->massDensity;
    case DUP_SpecificHeat: return u->specificHeat;
    case DUP_EmissionsCoefficient: return u->emissionsCoefficient;
    case DUP_SimulationUtility: return u->simulationUtility ? 1.0 : 0.0;
    default: return 0.0;
    }
}

// ---- recommendations --------------------------------------------------------------------------

const char* DefaultManager::GetRecommendedUtilityName(double T, SegmentHeatType side, const char* type) const {
    for (const auto& u : m_utilities)
        if (u->side == side && u->RangeHolds(T) && (!type || u->exchangerType == type)) return u->name.c_str();
    return nullptr;
}

hresult DefaultManager::GetUsableUtilList(double T, SegmentHeatType side, CPList* out) const {
    if (!out || Units::IsEmpty(T) || side == SHT_NotSet) return 0;
    for (const auto& u : m_utilities) {
        if (u->side != side || !u->IsComplete()) continue;
        const bool usable = (side == SHT_Hot && u->rangeUpper > T) || (side == SHT_Cold && T > u->rangeLower);
        if (usable) out->Append(u.get());
    }
    return out->IsEmpty() ? 0 : 1;
}

const char* DefaultManager::GetMostEconomicalUtilityName(double T, SegmentHeatType side) const {
    if (side == SHT_NotSet || Units::IsEmpty(T)) return nullptr;
    CPList usable;
    if (!GetUsableUtilList(T, side, &usable)) return nullptr;
    const DefaultUtility* best = nullptr;
    double bestCost = kNoCost;
    for (std::size_t i = 0; i < usable.Length(); ++i) {
        const auto* u = static_cast<const DefaultUtility*>(usable.GetAt(i));
        if (u->cost < bestCost) {
            bestCost = u->cost;
            best = u;
        }
    }
    return best ? best->name.c_str() : nullptr;
}

// The utility that reaches the process outlet temperature: the one whose range holds it, else the
// cheapest that can serve it. The inlet stands in when the outlet is not known.
const char* DefaultManager::GetRecommendedUtilityForDataExt(double T, SegmentHeatType side, double inletT) const {
    const double at = Units::IsEmpty(T) ? inletT : T;
    if (Units::IsEmpty(at) || std::isnan(at)) return nullptr;
    if (const char* name = GetRecommendedUtilityName(at, side, nullptr)) return name;
    return GetMostEconomicalUtilityName(at, side);
}

// ---- ranges -----------------------------------------------------------------------------------

// Hot utilities in rising supply temperature each serve process temperatures from the top of the
// one below up to their own supply less the approach; cold utilities in falling target temperature
// serve down to their target plus the approach. Utilities lacking a temperature or an approach
// serve nothing, and do not bound their neighbours either.
void DefaultManager::CalculateARTemp() {
    // A value that is not a finite number (a damaged file) counts as unset.
    auto known = [](double v) { return std::isfinite(v) && !Units::IsEmpty(v); };
    auto usable = [&](const DefaultUtility* u) {
        return known(u->supplyTemperature) && known(u->targetTemperature) && known(u->dtminContribution);
    };
    // Ties keep list order: each utility is sorted with its position in the list.
    using Placed = std::pair<DefaultUtility*, std::size_t>;
    std::vector<Placed> hot, cold;
    for (std::size_t i = 0; i < m_utilities.size(); ++i) {
        DefaultUtility* u = m_utilities[i].get();
        if (!usable(u)) continue;
        if (u->side == SHT_Hot) hot.emplace_back(u, i);
        if (u->side == SHT_Cold) cold.emplace_back(u, i);
    }
    std::sort(hot.begin(), hot.end(), [](const Placed& a, const Placed& b) {
        if (a.first->supplyTemperature != b.first->supplyTemperature)
            return a.first->supplyTemperature < b.first->supplyTemperature;
        return a.second < b.second;
    });
    double below = kAbsoluteZero;
    for (const Placed& placed : hot) {
        DefaultUtility* u = placed.first;
        u->rangeUpper = u->supplyTemperature - u->dtminContribution + kRangeMargin;
        u->rangeLower = below;
        below = u->rangeUpper;
    }
    std::sort(cold.begin(), cold.end(), [](const Placed& a, const Placed& b) {
        if (a.first->targetTemperature != b.first->targetTemperature)
            return a.first->targetTemperature > b.first->targetTemperature;
        return a.second < b.second;
    });
    double above = kTopOfRanges;
    for (const Placed& placed : cold) {
        DefaultUtility* u = placed.first;
        u->rangeLower = u->targetTemperature + u->dtminContribution - kRangeMargin;
        u->rangeUpper = above;
        above = u->rangeLower;
    }
    for (const auto& u : m_utilities) {
        if (usable(u.get())) continue;
        u->rangeUpper = Units::EmptyValue;
        u->rangeLower = Units::EmptyValue;
    }
}

// ---- adding, renaming, removing ---------------------------------------------------------------

hresult DefaultManager::AddDefaultUtility(const char* name, SegmentHeatType side, double supply, double target,
                                          double filmCoefficient, double cost, double rangeUpper, double rangeLower,
                                          double dtminContribution, const char* exchangerType, double viscosity,
                                          double thermalConductivity, double massDensity, double specificHeat) {
    if (!name || !*name || FindUtility(name)) return 0;
    if (side != SHT_Hot && side != SHT_Cold && side != SHT_NotSet) return 0;
    m_utilities.push_back(std::make_unique<DefaultUtility>(name, side, supply, target, filmCoefficient, cost,
                                                           rangeUpper, rangeLower, dtminContribution, exchangerType,
                                                           viscosity, thermalConductivity, massDensity, specificHeat));
    m_hasUtilityList = true;
    AddStream(name);
    return 1;
}

// Whether a utility other than `self` bears the name in any letter case: the site files its
// streams by names that letter case does not tell apart, so "hp steam" beside "HP Steam" would be
// a utility the site could never take.
bool DefaultManager::NameTakenInAnyCase(const char* name, const DefaultUtility* self) const {
    if (!name) return false;
    const CPString key = UpperCase(name);
    return std::any_of(m_utilities.begin(), m_utilities.end(),
                       [&](const auto& u) { return u.get() != self && UpperCase(u->name.c_str()) == key; });
}

hresult DefaultManager::AddDefaultUtility(const char* name) {
    if (IsNewRowMarker(name) || NameTakenInAnyCase(name, nullptr)) return 0;
    const double e = Units::EmptyValue;
    const hresult result = AddDefaultUtility(name, SHT_NotSet, e, e, e, 0.0, e, e, e,
                                             DefaultUtility::kDefaultExchangerType, e, e, e, e);
    if (result == 1) {
        CalculateARTemp();
        Send(ChangeUtilityAdded, name, nullptr);
    }
    return result;
}

hresult DefaultManager::RenameDefaultUtility(const char* oldName, const char* newName) {
    if (!newName || !*newName || FindUtility(newName) || IsNewRowMarker(newName)) return 0;
    DefaultUtility* u = FindUtility(oldName);
    if (!u || NameTakenInAnyCase(newName, u)) return 0;
    const CPString previous = u->name;
    u->name = newName;
    Send(ChangeUtilityRenamed, previous, const_cast<char*>(u->name.c_str()));
    AnnounceChange();
    return 1;
}

hresult DefaultManager::RemoveDefaultUtility(const char* name) {
    if (!name) return 0;
    const CPString removed(name);  // the caller's text may live in the utility itself
    DeleteStream(removed.c_str());
    auto it = std::find_if(m_utilities.begin(), m_utilities.end(), [&](const auto& u) { return u->name == removed; });
    if (it == m_utilities.end()) return 0;
    m_utilities.erase(it);
    Send(ChangeUtilityRemoved, removed, nullptr);
    CalculateARTemp();
    AnnounceChange();
    return 1;
}

hresult DefaultManager::CloneDefaultUtility(const char* name) {
    const DefaultUtility* source = FindUtility(name);
    if (!source) return 0;
    // There are at most as many taken names as utilities, so a free one turns up in time.
    CPString copyName = source->name + " Copy";
    for (std::size_t n = 2; FindUtility(copyName.c_str()) && n <= m_utilities.size() + 1; ++n)
        copyName = source->name + " Copy " + std::to_string(n);
    DefaultUtility copy(*source);
    copy.name = copyName;
    if (copy.exchangerType == kAirCooler) copy.exchangerType = DefaultUtility::kDefaultExchangerType;
    if (AddDefaultUtility(copy.name.c_str(), copy.side, copy.supplyTemperature, copy.targetTemperature,
                          copy.filmCoefficient, copy.cost, copy.rangeUpper, copy.rangeLower, copy.dtminContribution,
                          copy.exchangerType.c_str(), copy.viscosity, copy.thermalConductivity, copy.massDensity,
                          copy.specificHeat) != 1)
        return 0;
    DefaultUtility* added = m_utilities.back().get();
    added->emissionsCoefficient = copy.emissionsCoefficient;
    added->emptyFilmCoefficient = copy.emptyFilmCoefficient;
    added->simulationUtility = copy.simulationUtility;
    added->earnsCredit = copy.earnsCredit;
    added->composition = copy.composition;
    CalculateARTemp();
    Send(ChangeUtilityAdded, added->name, nullptr);
    AnnounceChange();
    return 1;
}

hresult DefaultManager::RestoreDefaultUtilities() {
    std::vector<CPString> names;
    for (const auto& u : m_utilities) names.push_back(u->name);
    for (const CPString& n : names) RemoveDefaultUtility(n.c_str());
    AddFactoryUtilities();
    CalculateARTemp();
    for (const auto& u : m_utilities) Send(ChangeUtilityAdded, u->name, nullptr);
    AnnounceChange();
    return 1;
}

hresult DefaultManager::SetStreamType(const char* name, SegmentHeatType side) {
    DefaultUtility* u = FindUtility(name);
    if (!u || (side != SHT_Hot && side != SHT_Cold && side != SHT_NotSet)) return 0;
    u->side = side;
    return 1;
}

// ---- values -----------------------------------------------------------------------------------

hresult DefaultManager::SetValue(const char* name, DefaultUtilityParameter parameter, double value) {
    DefaultUtility* u = FindUtility(name);
    if (!u) return 1;
    const hresult result = SetUtilityValue(u, parameter, value);
    // A value refused left the utility as it was: its streams have nothing to follow.
    if (result == 1) UpdateStreams(u);
    return result;
}

// A hot utility gives heat, so its supply lies above its target; a cold one the other way round.
// A utility whose side is not known yet takes either temperature, and takes the side they show as
// soon as both are known and differ.
hresult DefaultManager::SetUtilityValue(DefaultUtility* u, DefaultUtilityParameter parameter, double value) {
    if (!std::isfinite(value)) return 0;
    const bool hot = u->side == SHT_Hot;
    const bool cold = u->side == SHT_Cold;
    auto settleSide = [u]() {
        if (Units::IsEmpty(u->supplyTemperature) || Units::IsEmpty(u->targetTemperature)) return;
        u->side = u->supplyTemperature > u->targetTemperature ? SHT_Hot : SHT_Cold;
    };
    switch (parameter) {
    case DUP_SupplyTemperature:
    case DUP_TargetTemperature: {
        const bool supply = parameter == DUP_SupplyTemperature;
        double& field = supply ? u->supplyTemperature : u->targetTemperature;
        const double other = supply ? u->targetTemperature : u->supplyTemperature;
        if (hot || cold) {
            // Supply above target when hot, below when cold.
            const bool accepted = (hot == supply) ? value > other : value < other;
            if (!accepted) return 0;
            field = value;
            Recalculate();
            return 1;
        }
        field = value;
        if (Units::IsEmpty(other)) return 1;
        if (value == other) return 0;
        settleSide();
        Recalculate();
        return 1;
    }
    case DUP_FilmCoefficient:
        // A film coefficient below nothing is no utility a case could hold.
        if (value < 0.0 && !Units::IsEmpty(value)) return 0;
        u->filmCoefficient = value;
        AnnounceChange();
        return 1;
    case DUP_Cost:
        u->cost = value;
        // The first credit marks the utility as one that earns (the editors ask first).
        if (DefaultUtility::IsCredit(value)) u->earnsCredit = true;
        AnnounceChange();
        return 1;
    case DUP_RangeUpper:
        if (hot && value > u->rangeLower && value < u->supplyTemperature) { u->rangeUpper = value; return 1; }
        if (cold && value > u->rangeLower && value > u->targetTemperature) { u->rangeUpper = value; return 1; }
        return 0;
    case DUP_RangeLower: {
        const bool open = Units::IsEmpty(u->rangeUpper);
        if (hot && (open || (value < u->rangeUpper && value < u->targetTemperature))) { u->rangeLower = value; return 1; }
        if (cold && (open || (value < u->rangeUpper && value > u->supplyTemperature))) { u->rangeLower = value; return 1; }
        return 0;
    }
    case DUP_DTminContribution:
        if (value < 1.0) {
            // The utility keeps the contribution it had: the value is not taken.
            Send(ChangeMessage, "DeltaTMinWarning", ManagerData());
            return 0;
        }
        u->dtminContribution = value;
        Recalculate();
        return 1;
    case DUP_Viscosity:
    case DUP_ThermalConductivity:
    case DUP_MassDensity:
    case DUP_SpecificHeat: {
        if (value <= 0.0) return 0;
        double* fields[] = {&u->viscosity, &u->thermalConductivity, &u->massDensity, &u->specificHeat};
        *fields[parameter - DUP_Viscosity] = value;
        return 1;
    }
    case DUP_EmptyFilmCoefficient: u->emptyFilmCoefficient = value != 0.0; return 1;
    case DUP_EmissionsCoefficient: u->emissionsCoefficient = value; return 1;
    case DUP_SimulationUtility: u->simulationUtility = value != 0.0; return 1;
    default: return 1;
    }
}

void DefaultManager::UpdateStreams(DefaultUtility*) {}

// ---- exchanger types --------------------------------------------------------------------------

const char* DefaultManager::IsValidUtilityType(const char* type) const {
    if (!SameText(type, kAirCooler)) return nullptr;
    for (const auto& u : m_utilities)
        if (u->exchangerType == kAirCooler) return MessageKey("AirCoolerAlreadyExists");
    return nullptr;
}

const char* DefaultManager::ApplyExchangerType(DefaultUtility* u, const char* type) {
    if (const char* message = IsValidUtilityType(type)) return message;
    if (!u) return nullptr;
    if (const char* message = u->IsValidUtilType(type)) return message;
    u->exchangerType = type;
    return nullptr;
}

const char* DefaultManager::SetExchangerType(int index, const char* type) {
    return ApplyExchangerType(GetDefaultUtility(index), type);
}

const char* DefaultManager::SetExchangerType(const char* name, const char* type) {
    return ApplyExchangerType(FindUtility(name), type);
}

void DefaultManager::SetMode(int mode) {
    m_mode = mode;
    if (mode == 0) AnnounceChange();
}

// ---- composition ------------------------------------------------------------------------------

hresult DefaultManager::AddCompInfoToUtility(const char* name, int count, const char* const* components,
                                             const double* fractions) {
    DefaultUtility* u = FindUtility(name);
    if (!u || count < 0 || (count > 0 && (!components || !fractions))) return 0;
    std::vector<UtilityComponent> composition;
    for (int i = 0; i < count; ++i) {
        if (!components[i] || !std::isfinite(fractions[i])) return 0;
        composition.push_back({components[i], fractions[i]});
    }
    u->composition = std::move(composition);
    return 1;
}

short DefaultManager::CompareComp(const char* utilityA, const char* utilityB, double tolerance) const {
    const DefaultUtility* a = FindUtility(utilityA);
    const DefaultUtility* b = FindUtility(utilityB);
    if (!a || !b || !(tolerance >= 0.0) || a->composition.size() != b->composition.size()) return 0;
    for (const UtilityComponent& ca : a->composition) {
        auto match = std::find_if(b->composition.begin(), b->composition.end(),
                                  [&](const UtilityComponent& cb) { return cb.name == ca.name; });
        if (match == b->composition.end() || std::fabs(match->fraction - ca.fraction) > tolerance) return 0;
    }
    return 1;
}

// ---- site streams: none kept here -------------------------------------------------------------

hresult DefaultManager::AddStream(const char*) { return 0; }

hresult DefaultManager::GetStream(int, IHeatIntegrationStream*& out) {
    out = nullptr;
    return 0;
}

hresult DefaultManager::GetStream(const char*, IHeatIntegrationStream*& out) {
    out = nullptr;
    return 0;
}

hresult DefaultManager::DeleteStream(const char*) { return 0; }

void DefaultManager::TemperatureShift(CPList*, double) {}
