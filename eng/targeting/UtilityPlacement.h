#pragma once
// The utility-placement record of a scenario: how the minimum hot and cold utility loads are
// shared among its utility streams, by one of three methods, with a value per side (TargetValue)
// that tells the rest of the system whether the placement is complete.
//
// Methods: 0 automatic placement by LP (UtilityPlacementLP), 1 loads supplied by the user
// (UserSuppliedUtilityLoad), 2 the capital/utility trade-off (MUCapitalUtilityTradeoff). Only the object of the current method is normally present; the objects
// of the other methods are freed at the next rebuild.
//
// The placement is valid when both sides exist and are settled (status 0 or 2); an invalid
// placement switches off the balanced curves, the cost targets and the units target.
//
// Sources: UtilityPlacement.cpp (the record and its builder), UtilityPlacementRecord.cpp (case
// file), UtilityPlacementScenario.cpp (what the scenario hands the builder, and the scenario's
// entry points).
#include "eng/targeting/EnergyTarget.h"
#include "eng/targeting/TargetValue.h"
#include "eng/targeting/TemperatureInterval.h"

#include <memory>
#include <span>
#include <vector>

class EconomicData;
class EconomicInfo;
class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class ILurmetBinaryFile;
class MUCapitalUtilityTradeoff;
class UserSuppliedUtilityLoad;
class UtilityPlacementLP;
struct UtilityPlacementInputs;

// Frees a trade-off object (defined with the trade-off, so that this header needs only its name).
struct CapitalUtilityTradeoffDeleter {
    void operator()(MUCapitalUtilityTradeoff* tradeoff) const;
};

class UtilityPlacement {
public:
    static constexpr int RecordVersion = 3;
    static constexpr int AutomaticRecordVersion = 1;
    static constexpr int PinchEntryVersion = 1;
    enum Method : int { Automatic = 0, UserSupplied = 1, CapitalUtilityTradeoff = 2 };
    enum Side : int { Hot = 0, Cold = 1 };

    explicit UtilityPlacement(IHeatIntegrationScenario* scenario = nullptr, int method = Automatic);
    ~UtilityPlacement();
    UtilityPlacement(const UtilityPlacement&) = delete;
    UtilityPlacement& operator=(const UtilityPlacement&) = delete;

    int GetMethod() const { return m_nMethod; }
    void SetMethod(int method) { m_nMethod = method; }
    IHeatIntegrationScenario* GetScenario() const { return m_pScenario; }

    // The side's value, or null while it has none.
    TargetValue* GetSide(int side) const;
    // The side's value, created (status 1, values 0.0) when absent.
    TargetValue& EnsureSide(int side);
    void FreeSide(int side);
    // Both sides exist and are settled.
    bool IsValid() const;

    // Pinch points of the placement: hot- and cold-side temperatures (no segments).
    const std::vector<PinchRecord>& GetPinchList() const { return m_pinches; }
    std::vector<PinchRecord>& PinchList() { return m_pinches; }

    UtilityPlacementLP* GetAutomaticPlacement() const { return m_pAutomatic.get(); }
    UtilityPlacementLP& EnsureAutomaticPlacement();
    UserSuppliedUtilityLoad* GetUserSuppliedLoads() const { return m_pUserLoads.get(); }
    void SetUserSuppliedLoads(std::unique_ptr<UserSuppliedUtilityLoad> loads);
    MUCapitalUtilityTradeoff* GetTradeoff() const { return m_pTradeoff.get(); }
    void SetTradeoff(std::unique_ptr<MUCapitalUtilityTradeoff> tradeoff);

    // Frees the objects of every method but `kept`.
    void FreeOtherObjects(int kept);
    // Frees the pinch list, resets and frees both sides and frees the three method objects.
    void Clear();

    // Record version 3: method; flag and hot side; flag and cold side; flag and a nested record
    // (version 1) with the automatic placement's hot and cold sides; flag and the user-supplied
    // loads; flag and the trade-off; flag, entry count and one record per pinch entry (its two
    // temperatures).
    bool Store(ILurmetBinaryFile& file) const;
    // Reads versions 1 to 3. From a record older than 3 the automatic placement is recalculated
    // over `segments` after its sides are read (their placement reset first); the pinch list is
    // read from version 2 on. A trade-off is created over `inputs` (its streams, segments -
    // `segments` when it has none - and economics; nothing of them when null) before its record
    // is read. An object that fails to read is freed and the recall fails.
    bool Recall(ILurmetBinaryFile& file, const SegmentRefs* segments = nullptr,
                const UtilityPlacementInputs* inputs = nullptr);

private:
    int m_nMethod;
    std::unique_ptr<TargetValue> m_pSides[2];
    std::vector<PinchRecord> m_pinches;
    std::unique_ptr<UtilityPlacementLP> m_pAutomatic;
    std::unique_ptr<UserSuppliedUtilityLoad> m_pUserLoads;
    std::unique_ptr<MUCapitalUtilityTradeoff, CapitalUtilityTradeoffDeleter> m_pTradeoff;
    IHeatIntegrationScenario* m_pScenario;
};

// What the builder reads of the scenario.
struct UtilityPlacementInputs {
    // The scenario (the new record's back-pointer; may be null).
    IHeatIntegrationScenario* scenario = nullptr;
    // The scenario's segment list, every kind (null when it has none).
    const SegmentRefs* segments = nullptr;
    // The scenario's streams, in dictionary order.
    std::span<IHeatIntegrationStream* const> streams;
    // Its energy target (null when there is none): the utility targets and the pinch points.
    const EnergyTarget* energyTarget = nullptr;
    double dtMin = 0.0;
    // The scenario's economic data and information (of its current default manager) and its
    // minimum F-factor: what the trade-off prices its distributions with.
    const EconomicData* economicData = nullptr;
    const EconomicInfo* economicInfo = nullptr;
    double minimumFFactor = 0.8;
    // Whether the scenario prices its capital on the countercurrent area (area target option 0)
    // rather than on the shell-and-tube area and shells: the trade-off prices its splits alike.
    bool countercurrentCapital = false;
    // The method a new record starts with (the scenario's choice while it had no record).
    int method = UtilityPlacement::Automatic;
};

namespace UtilityPlacementCodes {
constexpr int Free = 3;
constexpr int Economics = 4;
constexpr int Refresh = 16;
constexpr int Coefficients = 18;
constexpr int CostModel = 19;
constexpr int Unchanged39 = 39;
constexpr int UtilityLoad = 40;
}  // namespace UtilityPlacementCodes

// The builder. Code 3 deletes the record and answers null; without a record one is created; code
// 16 answers it unchanged; codes 18, 19 and 40 only renew the pinch list; every other code
// recalculates the current method's placement and then renews the pinch list.
UtilityPlacement* UpdateUtilityPlacement(UtilityPlacement* record, const UtilityPlacementInputs& inputs, int code);
// The builder over a scenario (one that offers its targeting state; any other gets the record
// unchanged, and code 3 still frees it).
UtilityPlacement* UpdateScenarioUtilityPlacement(UtilityPlacement* record, IHeatIntegrationScenario& scenario,
                                                 int code);

// Creates the side when absent, sets the value (which 0 first, 1 second) and recomputes its status.
void SetSideValue(UtilityPlacement& record, int side, int which, double value);
void ClearUtilityPlacement(UtilityPlacement* record);
void FreeOtherPlacementObjects(UtilityPlacement* record, int kept);
bool StoreUtilityPlacement(const UtilityPlacement& record, ILurmetBinaryFile& file);
bool RecallUtilityPlacement(UtilityPlacement& record, ILurmetBinaryFile& file, const SegmentRefs* segments = nullptr,
                            const UtilityPlacementInputs* inputs = nullptr);
// The same over a scenario (one that offers its targeting state): its segments, streams and
// economics serve the automatic placement of an older record and a trade-off in the record.
bool RecallScenarioUtilityPlacement(UtilityPlacement& record, ILurmetBinaryFile& file,
                                    IHeatIntegrationScenario& scenario);
// (DeleteUtilityPlacement is declared with the scenario's record builders.)
void DeleteUtilityPlacement(UtilityPlacement* record);

// Hands loads to utility streams against a target: walking both lists with a running sum S, a
// stream with load l gets l while S stays within Q, the part that fits when S passes Q, and 0.0
// once Q is reached; a stream past the end of the load list gets what is left of Q (0.0 when
// nothing is). Each stream's load is set for the targeting and then the network view.
void AssignLoadsToStreams(std::span<const double> loads, std::span<IHeatIntegrationStream* const> streams,
                          double targetLoad);

// ---- what the scenario's queries and operations read or change ------------------------------------
// The placement's pinch points when they are the ones in use: method 0 and a valid placement;
// else null (the energy target's are in use).
const std::vector<PinchRecord>* GetPlacementPinchPoints(const UtilityPlacement* record);
// The user-load curves (list 0 hot, 1 cold; coordinate 0 temperature, 1 load; point `index` of
// the list as stored). 0.0 / 0 when missing.
double GetUserLoadCurveValue(const UtilityPlacement* record, int list, int coordinate, int index);
int GetNumberOfUserLoadCurvePoints(const UtilityPlacement* record, int list);
// Each side's status from the user-supplied loads: 1 when its make-up utility still carries at
// least 1e-5, else 0 (sides created when absent). Nothing without the load object.
void SetStatusesFromUserSuppliedLoads(UtilityPlacement& record);
// A utility load the user gave (change code 40): with method 1 and a load object, the object is
// brought up to date with the scenario and takes the load; the statuses then follow its make-up
// loads, or become 4 when the curves no longer keep the approach.
void TakeUserSuppliedUtilityLoad(IHeatIntegrationScenario& scenario, IHeatIntegrationStream* stream, double load);
// AssignUtilityLoads of method 1: the make-up loads go to the utilities; the result of the
// assignment (0 without a load object).
int AssignUserSuppliedTargetLoads(IHeatIntegrationScenario& scenario);
