#pragma once
// The case-file record of a scenario (version 18): its settings, streams, target and cost records,
// match records, designs, defaults, report and stream links, each sub-object as a nested record of
// its own. The reader takes every version from 1 to 18 and fills an empty scenario; items a
// version lacks keep the scenario's constructor values (an older record reads the retrofit
// budget as 0 and no retrofit run). After a whole record was read the scenario
// recalculates its targets with change code 35.
//
// Record layout, in writing order (a flag is a WriteBool; "since" is the first version that has
// the item):
//    1 name, 2 notes (strings)                                          since 1
//    3 base-design name                                                 since 5
//    4 total-site flag                                                  since 10
//    5 DTmin; 6 first integer setting, calculation-enable count,
//      segmented flag, second integer setting, stream counter           since 1
//    7 design counter (older: the number of designs read)               since 5
//    8 forbidden matches                                                since 1
//    9 streams: flag, process count, utility count, counted names, then
//      the stream records (a total-site scenario skips its utilities'
//      names and records: the site's streams are in it already)         since 1
//   10 economic data set and info (flag + record each)                  only below 4
//   11 supertargeting range, 12 units target, 13 composite curves,
//   14 area target, 15 capital cost, 16 operating and total annual
//      cost, 17 utility placement: flag + record each                   since 1
//   18 match records: flag + record (key, count since 3, per match the
//      hot and cold stream names and the match's record)                since 1
//   19 named economic data sets                                         only below 4
//   20 designs: flag, count (long), per design its name and its record  since 1
//   21 energy target, 22 last change source (flag + counted name)       since 1
//   23 default manager (store type 0)                                  since 4
//   24 report                                                          since 6
//   25 extraction settings: flag + record (version 1) holding the
//      settings tree; settings that do not read are dropped            since 7
//   26 retrofit flag                                                   since 8
//   27 stream links: flag + the link collection's record               since 9
//   28 minimum F-factor, 29 equation-based optimisation flag           since 13
//   30 level setting 1                                                 since 14
//   31 level settings 2 to 4                                           since 15
//   32 utilities allowed at exchanger ports (flag)                     since 16
//   33 site utility copies: count, per copy its counted name, load and
//      the load fractions of ends +1 and -1; written only where the
//      scenario holds such copies with loads the user typed (a method
//      other than the automatic placement) or an end fraction off its
//      default (any other record is written at 16)                      since 17
//   34 retrofit: the budget (double, 0 or more), then the last retrofit
//      run: the name of the design it started from (counted; empty
//      without a run), its mode (-1 to 4), the number of the designs it
//      kept and each one's counted name, oldest first; written only
//      where the budget is not 0 or a run kept a design (item 33 is
//      then written too, empty where it would not be at 17)            since 18
//
// Sources: ScenarioRecord.cpp (the item order of both directions and the settings),
// ScenarioRecordStreams.cpp (streams, match records, designs, stream links),
// ScenarioRecordTargets.cpp (target and cost records), ScenarioRecordLegacy.cpp (the economic data
// of records older than version 4).
#include "eng/model/ScenarioServices.h"

#include <cstdint>
#include <vector>

class CPIHeatIntegrationStream;
class CPIScenario;
class ILurmetBinaryFile;

class ScenarioRecord : public IScenarioRecord {
public:
    static constexpr int RecordVersion = 18;
    // The first version that holds an item; older records leave it at the constructor's value.
    static constexpr int SinceMatchCount = 3;
    static constexpr int SinceDefaultManager = 4;        // older: items 10 and 19 instead
    static constexpr int SinceBaseDesignName = 5;        // and the design counter
    static constexpr int SinceReport = 6;
    static constexpr int SinceExtractionSettings = 7;
    static constexpr int SinceRetrofitFlag = 8;
    static constexpr int SinceStreamLinks = 9;
    static constexpr int SinceTotalSiteFlag = 10;
    static constexpr int SinceFFactor = 13;
    static constexpr int SinceLevelSetting1 = 14;
    static constexpr int SinceLevelSettings2To4 = 15;
    static constexpr int SinceUtilitiesAtPorts = 16;
    static constexpr int SinceSiteUtilityLoads = 17;
    static constexpr int SinceRetrofitRun = 18;
    // The designs of a record older than these recalculate for its streams (code 36) and for
    // the utility assignment (code 20): the older writers did not keep what those codes give.
    static constexpr int DesignsStreamCodeBelow = 8;
    static constexpr int DesignsAssignmentCodeBelow = 11;
    // Older named economic data sets carry their key before the set.
    static constexpr int SinceKeylessEconomicList = 2;
    // The record of the match list.
    static constexpr int MatchListVersion = 1;
    // The record around the extraction settings tree.
    static constexpr int ExtractionSettingsVersion = 1;

    // The first failed write ends the store with false.
    bool Store(CPIScenario& scenario, ILurmetBinaryFile& file) override;
    // Reads into an empty scenario. False at the first failed read (or for a version outside 1 to
    // 18): what was read stays, later items keep their constructor values, and the targets are
    // not recalculated. The designs are re-ranked in every case.
    bool Recall(CPIScenario& scenario, ILurmetBinaryFile& file) override;

private:
    // ---- ScenarioRecord.cpp ----
    // The oldest version that holds what the scenario has to keep: 18 with a retrofit budget or
    // run, else 17 where the copies of site utilities hold what the user typed, else 16.
    static int StoredVersion(const CPIScenario& s);
    static bool StoreItems(CPIScenario& s, ILurmetBinaryFile& file, int version);
    // The calculation count the scenario has outside any change still open (a batch of
    // forbidden matches gathered on a form that is still open holds the calculations).
    static int StoredCalculationEnable(const CPIScenario& s);
    static bool RecallItems(CPIScenario& s, ILurmetBinaryFile& file, int version);
    static bool StoreLastChangeSource(CPIScenario& s, ILurmetBinaryFile& file);
    static bool RecallLastChangeSource(CPIScenario& s, ILurmetBinaryFile& file);
    static bool StoreTrailingSettings(CPIScenario& s, ILurmetBinaryFile& file);
    static bool RecallTrailingSettings(CPIScenario& s, ILurmetBinaryFile& file, int version);
    // Whether item 33 is written: the scenario holds copies of site utilities with loads or end
    // fractions the user typed.
    static bool HoldsTypedSiteUtilityData(const CPIScenario& s);
    // Item 33: per site utility copy its name, load and the end fractions of ends +1 and -1 (no
    // copy where they hold nothing typed).
    static bool StoreSiteUtilityLoads(CPIScenario& s, ILurmetBinaryFile& file);
    static bool RecallSiteUtilityLoads(CPIScenario& s, ILurmetBinaryFile& file);
    // Item 34: the retrofit budget and which designs the last retrofit run made, by name. A design
    // the case no longer holds by that name is passed over.
    static bool HoldsRetrofitRun(const CPIScenario& s);
    static bool StoreRetrofitRun(CPIScenario& s, ILurmetBinaryFile& file);
    static bool RecallRetrofitRun(CPIScenario& s, ILurmetBinaryFile& file);
    static bool StoreDefaultsAndReport(CPIScenario& s, ILurmetBinaryFile& file);
    static bool RecallDefaultsAndReport(CPIScenario& s, ILurmetBinaryFile& file, int version);
    // Once the defaults are read: every design takes the scenario's pinch points, and the designs
    // of an older record the codes of what their writer did not keep.
    static void PrepareRecalledDesigns(CPIScenario& s, int version);

    // ---- ScenarioRecordStreams.cpp ----
    static bool StoreStreams(CPIScenario& s, ILurmetBinaryFile& file);
    static bool RecallStreams(CPIScenario& s, ILurmetBinaryFile& file);
    // Files every stream in the side lists and builds the segment pool from the streams' recalled
    // segments, in dictionary order.
    static void PlaceRecalledStreams(CPIScenario& s);
    // Takes back the streams a failed read had made (a site's streams stay where they are).
    static void DropRecalledStreams(CPIScenario& s, const std::vector<CPIHeatIntegrationStream*>& made);
    static bool StoreMatches(CPIScenario& s, ILurmetBinaryFile& file);
    static bool RecallMatches(CPIScenario& s, ILurmetBinaryFile& file, int version);
    static bool StoreDesigns(CPIScenario& s, ILurmetBinaryFile& file);
    static bool RecallDesigns(CPIScenario& s, ILurmetBinaryFile& file, int version);
    static bool StoreStreamLinks(CPIScenario& s, ILurmetBinaryFile& file);
    static bool RecallStreamLinks(CPIScenario& s, ILurmetBinaryFile& file);

    // ---- ScenarioRecordTargets.cpp ----
    // Items 11 to 17 (item 18 and the legacy 19 sit between these and the designs).
    static bool StoreTargets(CPIScenario& s, ILurmetBinaryFile& file);
    static bool RecallTargets(CPIScenario& s, ILurmetBinaryFile& file);
    static bool StoreEnergyTarget(CPIScenario& s, ILurmetBinaryFile& file);
    static bool RecallEnergyTarget(CPIScenario& s, ILurmetBinaryFile& file);

    // ---- ScenarioRecordLegacy.cpp ----
    // Item 10: the economic data set and info of records older than version 4.
    static bool RecallOldEconomicData(CPIScenario& s, ILurmetBinaryFile& file);
    // Item 19: the named economic data sets of records older than version 4.
    static bool RecallOldEconomicDataList(CPIScenario& s, ILurmetBinaryFile& file, int version);
};

// A flag as the record holds it: written by WriteBool, read back as 0 or 1 (anything else is
// damage and fails the read).
bool WriteRecordFlag(ILurmetBinaryFile& file, bool flag);
bool ReadRecordFlag(ILurmetBinaryFile& file, bool& flag);
