#pragma once
// The clone tool (engine object type 6672) behind the dialog that copies a scenario into a new
// scenario or appends it into an existing one. The host creates it by type under the name of the
// scenario to copy; the dialog gives it the project, a clone name and the user's choices, and
// Clone hands them to the project's AddScenario(name, source, selections).
//
// Selections (the entries of CloneSelection): 0 a plain toggle; 1 process streams, 2 utility
// streams, 6 designs, each as flag 0 for the whole list and flags 1..n for its items; 3 default
// manager; 4 stream links; 5 match cost models; 7 whether the copy keeps the stream names (set
// through SetCloneName only). Flag 0 of entries 1, 2 and 6 holds the number of items when all are
// selected (1..254; a list longer than 254 items still reads 254), 0 when not all are; 255 in any
// entry means that it does not apply. Stream links, cost models and designs apply only when every
// process and utility stream is selected ("streams complete") and the copy is a new scenario.
#include "brasko/LurmetBaseObject.h"
#include "dunmor/CPString.h"
#include "eng/model/CloneSelection.h"

#include <cstdint>
#include <memory>

class IHeatIntegrationProject;
class IHeatIntegrationScenario;
struct ModuleRegistries;

class ICloneEngine {
public:
    virtual ~ICloneEngine() = default;
    // 0 without project, source or clone name; else the project's AddScenario result.
    virtual int Clone() = 0;
    // 1 when the name suits the mode (a new name to copy into, an existing one to append to);
    // only then is it kept. An empty name answers 1 and changes nothing.
    virtual int SetCloneName(const CPString& name, int append) = 0;
    virtual void SetSelection(int entry, int index) = 0;
    // Forgets the clone name and every earlier choice, then selects every process and utility
    // stream of the source (and what goes with them).
    virtual void SetProject(IHeatIntegrationProject* project) = 0;
    virtual int GetSelection(int entry, int index) const = 0;
    virtual IHeatIntegrationScenario* GetMyClonableScenario() const = 0;
    virtual int GetCloneSelections(int entry, int index) const = 0;
    // Null until a clone name is kept.
    virtual const char* GetCloneName() const = 0;
    // Null without a source scenario.
    virtual const char* GetClonableScenarioName() const = 0;
    virtual const char* GetExistingScenarioName(int index) const = 0;
    virtual int GetNumberOfExistingScenarios() const = 0;
};

class CloneEngine : public ICloneEngine, public LurmetBaseObject {
public:
    static constexpr int ObjectType = 6672;
    // Flag 0 of an entry that does not apply.
    static constexpr std::uint8_t NotApplying = 255;
    // The largest count flag 0 holds.
    static constexpr std::uint8_t MaxCount = 254;

    // The prototype: registers the factory of type 6672.
    CloneEngine();
    // A clone tool for the scenario named `scenarioName`.
    CloneEngine(const CPString& scenarioName, IEngineeringManager* manager);
    ~CloneEngine() override = default;
    CloneEngine(const CloneEngine&) = delete;
    CloneEngine& operator=(const CloneEngine&) = delete;

    static ILurmetBaseObject* CreateCloneEngine(const CPString& name, IEngineeringManager* manager);
    // Registers the factory; answers whether this call installed it.
    static bool RegisterPrototype();

    // ---- ILurmetBaseObject ----
    int GetObjectType() const override { return ObjectType; }
    int QueryInterface(int id, void** out) override;
    // The tool keeps nothing in the case file.
    bool Store(ILurmetBinaryFile&) override { return true; }
    bool Recall(ILurmetBinaryFile&) override { return true; }
    bool RecallFixUp() { return true; }
    bool CheckRecalledPointers() { return true; }

    // ---- ICloneEngine ----
    int Clone() override;
    int SetCloneName(const CPString& name, int append) override;
    void SetSelection(int entry, int index) override;
    void SetProject(IHeatIntegrationProject* project) override;
    int GetSelection(int entry, int index) const override;
    IHeatIntegrationScenario* GetMyClonableScenario() const override { return Source(); }
    int GetCloneSelections(int entry, int index) const override;
    const char* GetCloneName() const override { return m_pCloneName ? m_pCloneName->c_str() : nullptr; }
    const char* GetClonableScenarioName() const override;
    const char* GetExistingScenarioName(int index) const override;
    int GetNumberOfExistingScenarios() const override;

    bool AreStreamsComplete() const { return m_nStreamsComplete != 0; }
    const CloneSelection& GetCloneSelection() const { return m_selection; }
    // For the dialog: whether the list of entry 1, 2 or 6 is empty or wholly selected (1 for
    // the other entries), and setting all its items at once.
    int SubSelectionState(int entry) const;
    void SetSubSelectionState(int entry, int value);

private:
    // The scenario to copy, looked up by name in the project each time (it may be deleted or
    // renamed while the dialog is open).
    IHeatIntegrationScenario* Source() const;
    // Number of items of entry 1, 2 or 6 in the source; 0 otherwise.
    int ItemCount(int entry) const;
    std::uint8_t Flag(int entry, int index = 0) const {
        return m_selection.Get(entry, static_cast<std::size_t>(index));
    }
    void SetFlag(int entry, int index, std::uint8_t value) {
        m_selection.Set(entry, static_cast<std::size_t>(index), value);
    }
    void SetItems(int entry, int n, std::uint8_t value);
    bool AllItemsSet(int entry, int n) const;
    static bool IsCount(std::uint8_t flag) { return flag >= 1 && flag <= MaxCount; }
    static std::uint8_t CountFlag(int n) { return static_cast<std::uint8_t>(n < MaxCount ? n : MaxCount); }
    void SelectStreams(int entry, int index);
    void SelectDesigns(int index);
    // Entries 4, 5 and 6 follow the stream selection and the copy mode.
    void Refresh();
    // Entry 4 or 5 after what it depends on changed: one that stops applying keeps its choice,
    // and one that applies again gets that choice back (ticked the first time).
    void Reassess(int entry);

    std::unique_ptr<CPString> m_pCloneName;
    IHeatIntegrationProject* m_pProject = nullptr;
    std::uint8_t m_nStreamsComplete = 1;
    CloneSelection m_selection;
    // The choice of entries 4 and 5 while they do not apply.
    std::uint8_t m_nKeptLinks = 1;
    std::uint8_t m_nKeptCostModels = 1;
};

// Load step: builds the clone tool's prototype, which registers type 6672.
void RegisterCloneEnginePrototype(ModuleRegistries& registries);
