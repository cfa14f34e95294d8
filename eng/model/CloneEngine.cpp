#include "eng/model/CloneEngine.h"

#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/core/ModuleEntry.h"

namespace {

constexpr int kEntryLimit = CloneSelection::kNumberOfEntries;
// Entries other than the item lists keep flags 0..255 and no more.
constexpr int kLastPlainFlag = 255;

}  // namespace

CloneEngine::CloneEngine() { RegisterPrototype(); }

CloneEngine::CloneEngine(const CPString& scenarioName, IEngineeringManager* manager)
    : LurmetBaseObject(scenarioName, manager) {}

void RegisterCloneEnginePrototype(ModuleRegistries&) { CloneEngine prototype; }

ILurmetBaseObject* CloneEngine::CreateCloneEngine(const CPString& name, IEngineeringManager* manager) {
    AttachCallingThread();
    return new CloneEngine(name, manager);
}

bool CloneEngine::RegisterPrototype() {
    return ILurmetBaseObject::Register(ObjectType, &CloneEngine::CreateCloneEngine);
}

int CloneEngine::QueryInterface(int id, void** out) {
    if (!out) return 0;
    if (id == ObjectType) {
        *out = static_cast<ICloneEngine*>(this);
        return 1;
    }
    return LurmetBaseObject::QueryInterface(id, out);
}

// ---------------------------------------------------------------- project and source

IHeatIntegrationScenario* CloneEngine::Source() const {
    IHeatIntegrationScenario* source = nullptr;
    if (!m_pProject || !m_pProject->GetScenario(GetObjectName(), source)) return nullptr;
    return source;
}

const char* CloneEngine::GetClonableScenarioName() const {
    const IHeatIntegrationScenario* source = Source();
    return source ? source->GetName() : nullptr;
}

int CloneEngine::GetNumberOfExistingScenarios() const {
    return m_pProject ? m_pProject->GetNumberOfNonRetrofitScenarios() : 0;
}

const char* CloneEngine::GetExistingScenarioName(int index) const {
    return m_pProject ? m_pProject->GetNonRetrofitScenarioName(index) : nullptr;
}

int CloneEngine::ItemCount(int entry) const {
    const IHeatIntegrationScenario* source = Source();
    if (!source) return 0;
    switch (entry) {
    case CloneSelection::EntryProcessStreams: return source->GetNumberOfProcessStreams();
    case CloneSelection::EntryUtilityStreams: return source->GetNumberOfUtilityStreams();
    case CloneSelection::EntryDesigns: return source->GetNumberOfDesigns();
    default: return 0;
    }
}

void CloneEngine::SetProject(IHeatIntegrationProject* project) {
    m_pProject = project;
    // The manager hands back the same tool each time the dialog opens on this scenario: every
    // opening starts afresh, from nothing ticked, so that the toggles below tick everything.
    m_selection = CloneSelection();
    m_pCloneName.reset();
    m_nStreamsComplete = 1;
    m_nKeptLinks = m_nKeptCostModels = 1;
    for (int entry = 1; entry <= 6; ++entry) SetSelection(entry, 0);
}

int CloneEngine::Clone() {
    IHeatIntegrationScenario* source = Source();
    if (!m_pProject || !source || !m_pCloneName) return 0;
    IHeatIntegrationScenario* target = nullptr;
    if (m_pProject->GetScenario(*m_pCloneName, target) && target == source) return 0;
    return m_pProject->AddScenario(*m_pCloneName, source, &m_selection);
}

int CloneEngine::SetCloneName(const CPString& name, int append) {
    if (!m_pProject || name.empty()) return 1;
    IHeatIntegrationScenario* existing = nullptr;
    const bool exists = m_pProject->GetScenario(name, existing) != 0;
    // A scenario is never appended into itself.
    if (exists && existing == Source()) return 0;
    // A new scenario keeps the stream names; streams appended to an existing one are renamed.
    SetFlag(CloneSelection::EntryKeepStreamNames, 0, exists ? 0 : 1);
    const bool suits = exists == (append != 0);
    if (suits) m_pCloneName = std::make_unique<CPString>(name);
    // A new target starts with the links and the cost models ticked where they apply.
    m_nKeptLinks = m_nKeptCostModels = 1;
    SetFlag(CloneSelection::EntryStreamLinks, 0, NotApplying);
    SetFlag(CloneSelection::EntryCostModels, 0, NotApplying);
    SetFlag(CloneSelection::EntryDesigns, 0, 0);
    Refresh();
    return suits ? 1 : 0;
}

// ---------------------------------------------------------------- selections

int CloneEngine::GetSelection(int entry, int index) const {
    if (entry < 0 || entry >= kEntryLimit || index < 0) return 0;
    if (entry == CloneSelection::EntryReserved || entry == CloneSelection::EntryKeepStreamNames) return Flag(entry);
    return Flag(entry, index);
}

int CloneEngine::GetCloneSelections(int entry, int index) const {
    return index < 0 ? 0 : m_selection.Get(entry, static_cast<std::size_t>(index));
}

void CloneEngine::SetItems(int entry, int n, std::uint8_t value) {
    for (int i = 1; i <= n; ++i) SetFlag(entry, i, value);
}

bool CloneEngine::AllItemsSet(int entry, int n) const {
    for (int i = 1; i <= n; ++i)
        if (Flag(entry, i) != 1) return false;
    return true;
}

void CloneEngine::Refresh() {
    Reassess(CloneSelection::EntryStreamLinks);
    Reassess(CloneSelection::EntryCostModels);
    SetSelection(CloneSelection::EntryDesigns, 0);
}

void CloneEngine::Reassess(int entry) {
    if (!Source()) return;
    std::uint8_t& kept = entry == CloneSelection::EntryStreamLinks ? m_nKeptLinks : m_nKeptCostModels;
    // Match cost models name cost laws of the default manager: they go only with it.
    const bool withManager = entry == CloneSelection::EntryStreamLinks || Flag(CloneSelection::EntryDefaultManager) != 0;
    const bool applies = m_nStreamsComplete && Flag(CloneSelection::EntryKeepStreamNames) != 0 && withManager;
    const std::uint8_t now = Flag(entry);
    if (applies && now == NotApplying) SetFlag(entry, 0, kept);
    else if (!applies && now != NotApplying) {
        kept = now;
        SetFlag(entry, 0, NotApplying);
    }
}

void CloneEngine::SetSelection(int entry, int index) {
    if (!Source() || index < 0) return;
    const bool copyMode = Flag(CloneSelection::EntryKeepStreamNames) != 0;
    switch (entry) {
    case CloneSelection::EntryReserved:
        SetFlag(entry, 0, Flag(entry) == 0 ? 1 : 0);
        return;
    case CloneSelection::EntryProcessStreams:
    case CloneSelection::EntryUtilityStreams:
        SelectStreams(entry, index);
        return;
    case CloneSelection::EntryDefaultManager:
        SetFlag(entry, 0, Flag(entry) == 0 ? 1 : 0);
        Reassess(CloneSelection::EntryCostModels);
        return;
    case CloneSelection::EntryStreamLinks:
    case CloneSelection::EntryCostModels: {
        if (index > kLastPlainFlag) return;
        // Match cost models name cost laws of the default manager: they go only with it.
        const bool withManager =
            entry == CloneSelection::EntryStreamLinks || Flag(CloneSelection::EntryDefaultManager) != 0;
        const bool applies = m_nStreamsComplete && copyMode && withManager;
        if (applies) {
            SetFlag(entry, index, Flag(entry, index) == 0 ? 1 : 0);
        } else {
            SetFlag(entry, 0, NotApplying);
        }
        return;
    }
    case CloneSelection::EntryDesigns:
        SelectDesigns(index);
        return;
    default:
        return;
    }
}

void CloneEngine::SelectStreams(int entry, int index) {
    const int n = ItemCount(entry);
    const int other = entry == CloneSelection::EntryProcessStreams ? CloneSelection::EntryUtilityStreams
                                                                   : CloneSelection::EntryProcessStreams;
    if (index > n) return;
    if (index == 0) {
        if (IsCount(Flag(entry))) {
            SetFlag(entry, 0, 0);
            SetItems(entry, n, 0);
            m_nStreamsComplete = 0;
            Refresh();
            return;
        }
        if (n == 0) {
            m_nStreamsComplete = 0;
            return;
        }
        SetFlag(entry, 0, CountFlag(n));
        SetItems(entry, n, 1);
        if (IsCount(Flag(other))) {
            m_nStreamsComplete = 1;
            Refresh();
        }
        return;
    }
    if (Flag(entry, index) != 0) {
        SetFlag(entry, index, 0);
        SetFlag(entry, 0, 0);
        m_nStreamsComplete = 0;
        Refresh();
        return;
    }
    SetFlag(entry, index, 1);
    if (AllItemsSet(entry, n)) SetFlag(entry, 0, CountFlag(n));
    if (IsCount(Flag(CloneSelection::EntryProcessStreams)) && IsCount(Flag(CloneSelection::EntryUtilityStreams))) {
        m_nStreamsComplete = 1;
        Refresh();
    }
}

void CloneEngine::SelectDesigns(int index) {
    constexpr int entry = CloneSelection::EntryDesigns;
    const int n = ItemCount(entry);
    if (index > n) return;
    if (!m_nStreamsComplete || Flag(CloneSelection::EntryKeepStreamNames) == 0) {
        SetFlag(entry, 0, NotApplying);
        SetItems(entry, n, NotApplying);
        return;
    }
    if (index > 0) {
        if (Flag(entry, index) != 0) {
            SetFlag(entry, index, 0);
            SetFlag(entry, 0, 0);
        } else {
            SetFlag(entry, index, 1);
            if (AllItemsSet(entry, n)) SetFlag(entry, 0, CountFlag(n));
        }
        return;
    }
    // Designs that did not apply come back wholly selected: the entry is first cleared, and a
    // cleared entry selects everything.
    if (Flag(entry) == NotApplying) {
        SetFlag(entry, 0, 0);
        SetItems(entry, n, 0);
    }
    if (IsCount(Flag(entry))) {
        SetFlag(entry, 0, 0);
        SetItems(entry, n, 0);
    } else if (Flag(entry) == 0 && n > 0) {
        SetFlag(entry, 0, CountFlag(n));
        SetItems(entry, n, 1);
    }
}

int CloneEngine::SubSelectionState(int entry) const {
    if (entry != CloneSelection::EntryProcessStreams && entry != CloneSelection::EntryUtilityStreams &&
        entry != CloneSelection::EntryDesigns)
        return 1;
    return AllItemsSet(entry, ItemCount(entry)) ? 1 : 0;
}

void CloneEngine::SetSubSelectionState(int entry, int value) {
    if (entry != CloneSelection::EntryProcessStreams && entry != CloneSelection::EntryUtilityStreams &&
        entry != CloneSelection::EntryDesigns)
        return;
    SetItems(entry, ItemCount(entry), static_cast<std::uint8_t>(value));
}
