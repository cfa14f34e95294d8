#pragma once
// The minimum number of units of a scenario. By the N - 1 rule a network of N streams that forms
// one connected whole needs at least N - 1 exchangers (utilities count as streams). The record
// keeps that count for the whole problem and summed over the regions into which the pinch points
// divide it (no match may cross a pinch, so each region is its own network), and the result of the
// optional sub-network search (UnitsMILP.h): when a subset of the streams can exchange its heat
// completely among itself, the network falls apart and needs one unit less per extra part.
//
// Sources: UnitsTarget.cpp (counts, update, scenario builder), UnitsTargetRecord.cpp (case-file
// record and the store visitors), UnitsMILP.cpp (the sub-network model and its driver).
#include "dunmor/CPString.h"

#include <cstdint>
#include <memory>
#include <vector>

class IHeatIntegrationStreamForTargeting;
class IHeatIntegrationScenario;
class ILurmetBinaryFile;
class LPProblem;

// One sub-network: the names of its streams and, per name, the temperature up to which that
// stream takes part in it. Either list may be absent.
class UnitsTargetEntry {
public:
    static constexpr int RecordVersion = 1;

    // Append to the two lists, creating them on first use.
    void AddName(const CPString& name);
    void AddValue(double value);
    // Every name equal to `oldName` becomes `newName` (a stream was renamed).
    void RenameName(const CPString& oldName, const CPString& newName);
    // The i-th name, or null when the list or the item is missing.
    const char* GetName(int i) const;
    // The i-th value, or -32767.0 when the list or the item is missing.
    double GetValue(int i) const;
    int GetNumberOfNames() const { return m_pNames ? static_cast<int>(m_pNames->size()) : 0; }
    int GetNumberOfValues() const { return m_pValues ? static_cast<int>(m_pValues->size()) : 0; }
    bool HasNames() const { return m_pNames != nullptr; }
    bool HasValues() const { return m_pValues != nullptr; }
    const std::vector<CPString>* GetNames() const { return m_pNames.get(); }

    // Record version 1: presence of the name list, its count (int) and each name as a string;
    // presence of the value list, its count (long) and each value as a double.
    bool Store(ILurmetBinaryFile& file) const;
    // Reads what Store wrote. A list whose count is damaged is left out (the entry keeps no such
    // list) and reading goes on; a failed read of the file answers false.
    bool Recall(ILurmetBinaryFile& file);

private:
    std::unique_ptr<std::vector<CPString>> m_pNames;
    std::unique_ptr<std::vector<double>> m_pValues;
};

// One decomposition: its sub-networks in the order they were found, or no list.
class UnitsTargetGroup {
public:
    static constexpr int RecordVersion = 1;
    using EntryList = std::vector<std::unique_ptr<UnitsTargetEntry>>;

    // Appends the entry, creating the list on first use.
    void Append(std::unique_ptr<UnitsTargetEntry> entry);
    int GetNumberOfEntries() const { return m_pEntries ? static_cast<int>(m_pEntries->size()) : 0; }
    bool HasEntries() const { return m_pEntries != nullptr; }
    // Entry i, or null.
    const UnitsTargetEntry* GetEntry(int i) const;
    const EntryList* GetEntries() const { return m_pEntries.get(); }

    // Record version 1: presence of the entry list, its count (long), then each entry's record.
    bool Store(ILurmetBinaryFile& file) const;
    // An entry whose record fails ends the group's reading: the group then keeps no entry list.
    // Answers false only when the group's own fields cannot be read.
    bool Recall(ILurmetBinaryFile& file);

private:
    // The record renames its entries' names in place.
    friend class UnitsTargetData;
    std::unique_ptr<EntryList> m_pEntries;
};

using UnitsTargetGroupList = std::vector<std::unique_ptr<UnitsTargetGroup>>;

// A pinch point as the units target reads it: hot-side and cold-side pinch temperature (°C).
struct UnitsPinch {
    double dHot = 0.0;
    double dCold = 0.0;
};

// The largest number of entries in one group of the list (0 for none and for a missing list).
int GetLargestSubListLength(const UnitsTargetGroupList* groups);

class UnitsTargetData {
public:
    static constexpr int RecordVersion = 2;
    // Below this magnitude a stream load is no load (the count and its regions).
    static constexpr double LoadTolerance = 1e-12;
    static constexpr double TopTemperature = 3000.0;
    static constexpr double BottomTemperature = -273.15;
    using StreamRefs = std::vector<IHeatIntegrationStreamForTargeting*>;

    // No streams, no groups, MILP on update 0, MILP flag 1.
    UnitsTargetData() = default;
    UnitsTargetData(const UnitsTargetData&) = delete;
    UnitsTargetData& operator=(const UnitsTargetData&) = delete;

    // Takes the streams (in the scenario's dictionary order; not owned), the pinch points and the
    // utility assignment method, and recounts. With MILP on update set it also runs the
    // sub-network search and lowers the overall count by (largest group - 1).
    void Update(StreamRefs streams, std::vector<UnitsPinch> pinches, int assignmentMethod);
    // Mode 0 overall, 1 with the pinch division; any other mode 0.
    int CountUnits(int mode) const;

    // Runs the sub-network search over the record's streams (UnitsMILP.cpp) and appends the
    // groups it builds to `groups`. Answers the number of sub-networks found in all of them;
    // `stoppedAtTimeLimit` (when given) tells whether the search's time limit ended it.
    int CalculateMinimumMatches(UnitsTargetGroupList& groups, bool* stoppedAtTimeLimit = nullptr) const;
    // Builds and solves one sub-network model over `streams` (UnitsMILP.cpp): fills `entry` and
    // answers the streams that are not in the sub-network, or null when the model has no
    // solution. `earlierGroups` are the decompositions the model may not repeat.
    static std::unique_ptr<StreamRefs> SolveSubNetworkMILP(const StreamRefs& streams, LPProblem& model,
                                                           UnitsTargetEntry& entry,
                                                           const UnitsTargetGroupList& earlierGroups);
    // Creates or empties the group list, runs the search and keeps its count and the largest
    // group; the overall count is left as it is.
    void CalculateMinimumUnitsTarget();
    // Deletes every group (the list stays) and zeroes the MILP count and the largest group.
    void ClearMILPResult();
    // What an invalid utility assignment leaves: no groups, every count 0.
    void ClearForInvalidAssignment();
    // A stream was renamed: every entry name equal to `oldName` becomes `newName` at once.
    void RenameStream(const CPString& oldName, const CPString& newName);

    // Record version 2 (the six counts and settings, the groups behind a presence flag, the MILP
    // flag). Recall reads version 1 and 2; a version-1 record keeps the MILP flag it had. A
    // recall that fails leaves the record as it was.
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);

    int GetUnitsWithPinchDivision() const { return m_nUnitsWithPinchDivision; }
    int GetUnitsOverall() const { return m_nUnitsOverall; }
    int GetMILPCount() const { return m_nMILPCount; }
    // Whether the last search ended at its time limit (what it found is kept); not stored.
    bool SearchStoppedAtTimeLimit() const { return m_bSearchStopped; }
    int GetLargestGroup() const { return m_nLargestGroup; }
    int GetMILPOnUpdate() const { return m_nMILPOnUpdate; }
    void SetMILPOnUpdate(int value) { m_nMILPOnUpdate = value; }
    int GetMILPFlag() const { return m_nMILPFlag; }
    // Number of alternative decompositions the search computes; 0 turns it off. Negative values
    // are taken as 0.
    void SetMILPFlag(int flag) { m_nMILPFlag = flag < 0 ? 0 : flag; }
    int GetAssignmentMethod() const { return m_nAssignmentMethod; }
    const StreamRefs& GetStreams() const { return m_streams; }
    // Replaces the streams the search runs over (the scenario refreshes them before a search).
    void SetStreams(StreamRefs streams) { m_streams = std::move(streams); }
    const std::vector<UnitsPinch>& GetPinches() const { return m_pinches; }

    const UnitsTargetGroupList* GetGroups() const { return m_pGroups.get(); }
    int GetNumberOfGroups() const { return m_pGroups ? static_cast<int>(m_pGroups->size()) : 0; }
    // Group i, or null; entry `entry` of group `group`, or null.
    const UnitsTargetGroup* GetGroup(int i) const;
    const UnitsTargetEntry* GetEntry(int group, int entry) const;

private:
    int CountOverall() const;
    int CountWithPinchDivision() const;
    void RunSearch();

    StreamRefs m_streams;
    std::vector<UnitsPinch> m_pinches;
    std::unique_ptr<UnitsTargetGroupList> m_pGroups;
    std::int32_t m_nAssignmentMethod = 0;
    std::int32_t m_nUnitsWithPinchDivision = 0;
    std::int32_t m_nUnitsOverall = 0;
    std::int32_t m_nMILPCount = 0;
    std::int32_t m_nLargestGroup = 0;
    std::int32_t m_nMILPOnUpdate = 0;
    std::int32_t m_nMILPFlag = 1;
    bool m_bSearchStopped = false;
};

// The load a stream counts with: a utility's load in the network (its connected design segments),
// any other stream's targeting load.
double UnitsStreamLoad(IHeatIntegrationStreamForTargeting& stream);

// What the scenario's recalculation hands the units target.
struct UnitsTargetInputs {
    // The utility assignment record exists and both its sides are settled (status 0 or 2).
    bool assignmentValid = false;
    UnitsTargetData::StreamRefs streams;
    std::vector<UnitsPinch> pinches;
    int assignmentMethod = 0;
};

// Change codes of the units target.
namespace UnitsTargetCodes {
constexpr int Free = 3;
// Refresh, film coefficient or property, match cost model: nothing the count depends on.
constexpr int Refresh = 16;
constexpr int FilmCoefficient = 18;
constexpr int MatchCostModel = 19;
}  // namespace UnitsTargetCodes

// The record builder. Code 3 deletes the record and answers null. An invalid assignment empties
// an existing record (groups deleted, counts 0) and answers it, or answers null. Codes 16, 18 and
// 19 answer the record unchanged. Any other code creates the record when missing and updates it.
UnitsTargetData* UpdateUnitsTarget(UnitsTargetData* record, const UnitsTargetInputs& inputs, int code);
// The same over a scenario: its streams in dictionary order, its pinch points, its utility
// assignment method and the validity of its utility placement. A scenario of another class gets
// its record back unchanged (code 3 still frees it).
UnitsTargetData* UpdateUnitsTarget(UnitsTargetData* record, IHeatIntegrationScenario& scenario, int code);
// The scenario's request for the sub-network search: refreshes the record's streams from the
// scenario and runs the search (nothing without a record).
void CalculateMinimumUnitsTarget(UnitsTargetData* record, IHeatIntegrationScenario& scenario);
void DeleteUnitsTarget(UnitsTargetData* record);

// Store visitors (context: StoreContext*, eng/core/SharedCallbacks.h); nothing is written
// after the first failure. Items: UnitsTargetGroup*, UnitsTargetEntry*.
void StoreEachUnitsTargetGroup(void* item, void* context);
void StoreEachUnitsTargetEntry(void* item, void* context);
// Destroy callbacks of collections holding groups or entries (a null item is ignored).
void DestroyUnitsTargetGroup(void* item);
void DestroyUnitsTargetEntry(void* item);
