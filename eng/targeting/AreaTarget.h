#pragma once
// The scenario's area-target record: which of the two area-targeting methods is in use and the
// result of each. Without forbidden matches the area comes from the balanced composite curves
// (the Bath formula, method 0); a forbidden match makes the curves' vertical heat transfer
// impossible to assume, and the area comes from the area LP (method 1), which routes heat only
// between streams that may match.
//
// The record also keeps the area-target option the user chose (0 countercurrent, 1 and 2
// shell-and-tube); the LP result carries its own copy, which the record keeps equal to its own.
#include "eng/targeting/AreaLP.h"
#include "eng/targeting/BathAreaTarget.h"

#include <functional>
#include <memory>
#include <vector>

class IHeatIntegrationScenarioForTargeting;
class IHeatIntegrationScenario;
class ILurmetBinaryFile;
class MatchwiseStreamDataList;
class TargetCurve;

// What the area targets read of the scenario.
struct AreaTargetInputs {
    // The scenario's segment list (every stream's segments); null while there is none.
    const SegmentRefs* segments = nullptr;
    // The per-match records; null while there are none.
    MatchwiseStreamDataList* matches = nullptr;
    // The balanced composite curves (actual temperatures, utilities as placed); null when absent.
    const TargetCurve* balancedCurves = nullptr;
    // The utility placement's pinch points.
    std::vector<PinchListEntry> pinchPoints;
    double dtMin = 10.0;
    double minimumFFactor = 0.8;
    // The utility placement exists and both its sides are settled.
    bool placementValid = false;
    // 0 automatic placement, 1 user-supplied loads, 2 capital/utility trade-off.
    int utilityAssignmentMethod = 0;
    int forbiddenMatches = 0;
    // The capital-cost target kind; asked only when match records are to be filled (the scenario
    // may build its capital-cost record to answer). Absent: kind 0.
    std::function<int()> capitalCostTargetKind;
    // Told as each solve of the area LP starts (see AreaLP::Progress); absent: nobody listens.
    AreaLP::Progress progress;

    int CapitalCostTargetKind() const { return capitalCostTargetKind ? capitalCostTargetKind() : 0; }
};

class AreaTarget {
public:
    static constexpr int RecordVersion = 3;
    static constexpr int LPRecordVersion = 2;
    enum Method : int { Bath = 0, LinearProgramming = 1 };

    AreaTarget();
    ~AreaTarget();
    AreaTarget(const AreaTarget&) = delete;
    AreaTarget& operator=(const AreaTarget&) = delete;

    int nMethod = Bath;
    std::unique_ptr<BathAreaTarget> pBath;
    std::unique_ptr<AreaLP> pLP;
    // 0 countercurrent, 1 and 2 shell-and-tube; 1 on a new record.
    int nOption = AreaLP::ShellAndTubeOnly;
    // The method the user asked for: the area LP is used when this is 1 or matches are forbidden.
    int nRequestedMethod = Bath;
};

// Change codes the area record reacts to specially.
namespace AreaTargetCodes {
constexpr int Free = 3;
constexpr int UtilityChanged = 4;
constexpr int Unchanged16 = 16;
constexpr int Coefficients = 18;
constexpr int Unchanged19 = 19;
}  // namespace AreaTargetCodes

// The record builder: code 3 deletes the record and answers null. Otherwise the record is created
// when absent (method 0, option 1), the result of the method not in use is freed, the method is
// chosen by the forbidden matches and its result built or refreshed with the code, and an LP
// result takes the record's option.
AreaTarget* UpdateAreaTarget(AreaTarget* record, const AreaTargetInputs& in, int changeCode);
// The same over a scenario: its segment pool, match records, balanced curves, pinch points and
// settings. A scenario of another class gets its record back unchanged (code 3 still frees it).
AreaTarget* UpdateScenarioAreaTarget(AreaTarget* record, IHeatIntegrationScenario& scenario, int changeCode);
// What the area targets read of a scenario, with `segments` as its segment list (null: none).
AreaTargetInputs AreaTargetInputsOf(IHeatIntegrationScenarioForTargeting& scenario, const SegmentRefs* segments);

// Whether the next update of `record` (null: none yet) with this many forbidden matches computes
// the area LP, or refreshes an LP result still held, either of which lays interval lists over
// the segments themselves; the Bath area only reads them.
bool AreaTargetTouchesSegments(const AreaTarget* record, int forbiddenMatches);

// Frees both results and sets method 0; the record stays.
void ClearAreaTarget(AreaTarget* record);
void DeleteAreaTarget(AreaTarget* record);
// Record version 3: method; flag and the Bath result's record; flag and a nested record (version
// 2) of the LP result's values; the option (from version 2); the method asked for (from version
// 3). A result that fails to read is freed and the recall fails.
bool StoreAreaTarget(const AreaTarget& record, ILurmetBinaryFile& file);
bool RecallAreaTarget(AreaTarget& record, ILurmetBinaryFile& file);

// ---- what the scenario's queries answer (a null record answers the neutral value) ----------
// Area of kind 0 countercurrent or 1 shell-and-tube from the result of the method in use.
double AreaTargetValue(const AreaTarget* record, int kind);
// The Bath result's shell count (method 0) or the LP result's shells rounded (method 1); never
// below 0.
int AreaTargetShells(const AreaTarget* record);
// Whether the areas and shells of the method in use are results: 0 not computed (no record, no
// result, or no valid utility placement), 1 computed, 2 not available because heat would have to
// pass where the balanced composite curves touch or cross (Bath), 3 not available because the
// area LP could not exchange the loads. Where they are not results the areas and shells are 0.
int AreaTargetState(const AreaTarget* record);
// Whether the record's shells target stopped at a region's cap.
bool AreaTargetShellsCapped(const AreaTarget* record);
// The grid the area LP was last solved over (K; 0 over the scenario's own intervals or without
// an area LP).
double AreaTargetLPGridStep(const AreaTarget* record);
// The Bath result's intervals.
int AreaTargetMatchCount(const AreaTarget* record);
// A value of the Bath result's interval `index` by selector: 0-3 the values 0-3, 4 the hot
// sum, 5 the cold sum, 6 the load term, 7 the LMTD, 11 the shells, 13 the F-factor, 14 the
// countercurrent area, 15 the shell-and-tube area; -32767.0 for another selector or a missing
// interval; 0.0 without a record.
double AreaTargetMatchValue(const AreaTarget* record, int selector, int index);
int AreaTargetMethod(const AreaTarget* record);
// The LP result's option when it exists, else the record's; 1 without a record.
int AreaTargetOption(const AreaTarget* record);
// Stores the option in the record and its LP result (when they exist).
void SetAreaTargetOption(AreaTarget* record, int option);
