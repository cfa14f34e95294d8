#pragma once
// The interface of a heat-exchanger-network design as its scenario, retrofit and automatic design
// see it. A design belongs to one scenario, holds the scenario's streams in its flowsheet and
// recalculates itself; it tells its scenario of changes of its costs or calculation through
// change codes 5, 6, 7, 27, 28 and 85, and of its exchanger data (as a retrofit base) through 95.
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CNode;
class CPList;
class FlowSheet;
class HeatExch;
class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class IHENEvent;
class IHENSchedule;
class IHENState;
class IHENTrend;
class ILurmetBinaryFile;
class IOptimiserCheck;

class IHENDesign : public virtual INotificationSender {
public:
    // Change code a retrofit base design sends when its exchanger data change.
    static constexpr int ChangeBaseExchangerData = 95;

    ~IHENDesign() override = default;

    // ---- identity and ownership ----
    // Null when the design has no name yet.
    virtual const char* GetDesignName() const = 0;
    // Gives the design (and its network-structure analysis) the name; the design announces it
    // with code 2.
    virtual void SetDesignName(const CPString& name) = 0;
    virtual void SetOwner(IHeatIntegrationScenario* scenario) = 0;

    // ---- what the scenario tells the design ----
    virtual void ProcessChange(int code, const CPString& text, void* data) = 0;
    // Copies the scenario's pinch points (null when it has none).
    virtual void SetPinchPoints(CPList* pinchPoints) = 0;
    virtual void UpdateOperationForStreamChange(IHeatIntegrationStream* stream) = 0;
    virtual int AddStream(IHeatIntegrationStream* stream) = 0;
    virtual int RemoveStream(const CPString& name) = 0;
    virtual int RenameStream(const CPString& oldName, const CPString& newName) = 0;
    // Reassigns every exchanger's cost model from its two streams' match cost model.
    virtual void AssignExchangerCostModels() = 0;
    // Copies flowsheet, calculator, exchanger lists, counters and settings into `target`; the
    // copy's stream pieces take the streams of the target's scenario of the same names.
    // Answers CopyDone; CopyNotPossible when the target is no design of this kind (or the source
    // itself), CopyStreamMissing when a stream of the network is not in the target's scenario;
    // a refused copy leaves the target as it was.
    static constexpr int CopyDone = 1;
    static constexpr int CopyNotPossible = 0;
    static constexpr int CopyStreamMissing = -1;
    virtual int CopyTo(IHENDesign& target) const = 0;

    // ---- costs and results ----
    virtual bool IsDesignComplete() const = 0;
    virtual double GetTotalUtilityCost(int kind) const = 0;
    virtual double GetTotalAnnualizedCapitalCost() const = 0;
    virtual double GetTotalCapitalCost() const = 0;
    virtual double GetPaybackTime() const = 0;
    // side 0 hot, 1 cold.
    virtual double GetTotalUtilityLoad(int side) const = 0;
    // Whether no heater or cooler runs backwards (a negative duty: the exchangers take its stream
    // past its target). Only then are the utility loads and costs the network's own.
    virtual bool DoUtilityUnitsRunForwards() const { return true; }
    // Whether the network calculates: every unit is calculated (a heater or cooler left idle, its
    // duty known and nil, is idle, not failed), every process stream meets its target and no
    // heater or cooler runs backwards. Only then do its utility cost, and so its saving, capital
    // and payback against a retrofit base, describe the network: a unit not calculated would count
    // as carrying nothing.
    bool IsNetworkCalculated() const;
    // A heater or cooler whose duty is known and nil.
    static bool IsIdleUtilityUnit(CNode* unit);
    virtual double GetDTMin() const = 0;

    // ---- units ----
    virtual int GetNumberOfHeatExchangers() const = 0;
    // Exchangers whose calculation status is not 3 (complete); with `skipFailed` those of status 4
    // are left out.
    virtual int GetNumberOfIncompleteHeatExchangers(bool skipFailed) const = 0;
    // Whether any unit of the design sits on the stream.
    virtual bool HasUnitOnStream(const CPString& streamName) const = 0;
    virtual bool HasHeater() const = 0;
    virtual bool HasCooler() const = 0;

    // ---- retrofit and optimisation ----
    virtual bool IsLoopAnalysisEnabled() const = 0;
    virtual void SetLoopAnalysisEnabled(bool enabled) = 0;
    virtual bool AreStreamTerminalsReady() const = 0;
    virtual void RunOptimizerCheck() = 0;
    virtual bool AreExchangerPortsFreeOfUtilities() const = 0;
    virtual bool GetIgnoreInfeasibleExchangers() const = 0;
    // The exchangers whose feasibility test fails (empty when none), and among the heaters and
    // coolers those whose test fails.
    virtual std::vector<HeatExch*> GetInfeasibleHeatExchangers() const = 0;
    // The heaters, the coolers and the exchangers not yet calculated, in the design's order: the
    // lists the indexed queries walk, read in one pass.
    virtual std::vector<CNode*> GetHeaters() const { return listOf(&IHENDesign::GetNumberOfHeaters, &IHENDesign::GetHeater); }
    virtual std::vector<CNode*> GetCoolers() const { return listOf(&IHENDesign::GetNumberOfCoolers, &IHENDesign::GetCooler); }
    virtual std::vector<CNode*> GetIncompleteHeatExchangers() const {
        std::vector<CNode*> out;
        const int n = GetNumberOfIncompleteHeatExchangers(false);
        for (int i = 0; i < n; ++i) out.push_back(GetIncompleteHeatExchanger(i));
        return out;
    }
    virtual std::vector<CNode*> GetInfeasibleFlaggedExchangerNodes() const { return {}; }
    virtual void SetDTMinFromNetwork() = 0;
    // What SetDTMinFromNetwork would make the design's DTmin, without setting or applying it.
    virtual double GetDTMinFromNetwork() const { return GetDTMin(); }
    virtual void MarkAsExistingNetwork() = 0;
    virtual void AddToChangeLog(const CPString& text) = 0;
    virtual void SetIntegerOption(int mode) = 0;
    virtual void SetSkipStreamEndsUpdate(bool skip) = 0;
    virtual void SetSplitFractionsFromBranchDuties() = 0;
    virtual void AddDummyUtilitiesForExtraction() = 0;
    // The dummy utilities beside each exchanger take their share of its present duty again (after
    // a refresh gave the exchanger a new one).
    virtual void RefreshDummyUtilityDuties() {}
    // Status 4 on success.
    virtual int RunOptimizer(int code) = 0;
    // The findings of the last optimiser check (null before the first or without an optimiser),
    // and the last status line of the last optimiser run (empty before any).
    virtual const IOptimiserCheck* GetOptimiserCheck() const { return nullptr; }
    virtual const char* GetOptimiserStatusText() const { return ""; }
    virtual void RaiseNodeNameCounter(int by) = 0;
    virtual FlowSheet* GetFlowSheet() const = 0;

    // ---- flowsheet reads by node name (the scenario's stream links read through these) ----
    // The name of the unit directly upstream of the node `nodeName`; false when the node or an
    // upstream unit is missing.
    virtual bool GetUpstreamNodeName(const CPString& /*nodeName*/, CPString& /*out*/) const { return false; }
    // The name of the node directly downstream of the node `nodeName` (its first outlet); false
    // when the node or a downstream node is missing.
    virtual bool GetDownstreamNodeName(const CPString& /*nodeName*/, CPString& /*out*/) const { return false; }
    // The class of the node ("htHeater", "htHeatExchanger", ...); empty when there is no such node.
    virtual CPString GetNodeClassName(const CPString& /*nodeName*/) const { return CPString(); }
    // A named value of the node ("Temperature", ...); false when the node or the value is missing.
    virtual bool GetNodeValue(const CPString& /*nodeName*/, const CPString& /*valueName*/, double& /*out*/) const {
        return false;
    }
    // How the design holds that value: 0 open (not known, a missing value or node included),
    // 1 given by the user, 2 worked out by the network.
    virtual int GetNodeValueStatus(const CPString& /*nodeName*/, const CPString& /*valueName*/) const { return 1; }
    // The name the design shows the unit by (its "UnitOperationName"); empty when the node has none.
    virtual CPString GetUnitName(const CPString& /*nodeName*/) const { return CPString(); }

    // The first segment after the n-th unit (exchanger, splitter or mixer; utility placeholders do
    // not count) of the stream's chain from its supply end, 0 the first segment; the first branch
    // is followed through a splitter. Null past the last unit or for an unknown stream.
    virtual CNode* GetStreamSegment(const CPString& /*streamName*/, int /*n*/) const { return nullptr; }
    // The stream's feed block (its start) or, with `end`, its product block, found through the
    // stream: a unit may bear the name "<stream>Start", and a block that met such a name bears
    // another. Null for a stream the design does not hold.
    virtual CNode* GetStreamBlock(const CPString& /*streamName*/, bool /*end*/) const { return nullptr; }
    // The temperature at a port (0 hot inlet, 1 hot outlet, 2 cold inlet, 3 cold outlet) of an
    // exchanger of the design; false when it is not known.
    virtual bool GetExchangerPortTemperature(CNode* /*unit*/, int /*port*/, double& /*out*/) const { return false; }
    // Makes "Duty", "HTArea" or "HXType" a specified value of an exchanger of the design; false
    // (nothing changed) for another value, a unit that is not one of its exchangers or a value
    // that is not finite.
    virtual bool SpecifyExchangerValue(CNode* /*unit*/, const CPString& /*valueName*/, double /*value*/) {
        return false;
    }

    // Existing-network values of the exchangers: the base design gives every exchanger
    // "MaxNewArea" (answering false when an exchanger fails its consistency tests) and sets its
    // "ExArea"/"ExShell" from its "HTArea"/"TotalNShells"; the other designs take them over.
    virtual bool PrepareExchangersAsRetrofitBase(double maxNewArea) = 0;
    virtual void RefreshExistingNetworkValues() = 0;
    virtual void TakeExistingNetworkValuesFrom(const IHENDesign& base) = 0;

    // ---- network editing (side 0 is the hot side of an exchanger, side 1 the cold side; ports
    // 0 hot inlet, 1 hot outlet, 2 cold inlet, 3 cold outlet) ----
    // Null when the two segments may be joined by an exchanger, else the reason's message key.
    virtual const char* CheckStreamMatch(CNode* a, CNode* b) const = 0;
    virtual bool CanMatchStreams(CNode* a, CNode* b) const = 0;
    // The new exchanger, or null (the network is then as it was).
    virtual CNode* AddHeatExchanger(CNode* a, CNode* b, const char* reason, const char* kind, const char* name) = 0;
    virtual bool DeleteHeatExchanger(CNode* unit, const char* reason) = 0;
    virtual bool MoveHeatExchangerSide(CNode* unit, CNode* from, CNode* to, const char* reason) = 0;
    virtual void LogRename(const CPString& oldName, const CPString& newName) = 0;
    virtual bool IsPortFreeOfUtility(CNode* unit, int port) const = 0;
    virtual bool CanAddUtilityAtPort(CNode* unit, int port) const = 0;
    virtual bool CanRemoveUtilityAtPort(CNode* unit, int port) = 0;
    virtual bool AddUtilityAtPort(CNode* unit, int port) = 0;
    virtual bool RemoveUtilityAtPort(CNode* unit, int port) = 0;
    // Each port in turn loses its utility when it may, as CanRemoveUtilityAtPort followed by
    // RemoveUtilityAtPort would; answers the number of utilities removed. A design counts its
    // freedom once for the whole list instead of once per port.
    virtual int RemoveUtilitiesAtPorts(const std::vector<std::pair<CNode*, int>>& ports) {
        int removed = 0;
        for (const auto& [unit, port] : ports)
            if (!IsPortFreeOfUtility(unit, port) && CanRemoveUtilityAtPort(unit, port) && RemoveUtilityAtPort(unit, port))
                ++removed;
        return removed;
    }
    virtual bool CanAddUtilityAfterMixer(CNode* mixer) const = 0;
    virtual bool CanRemoveUtilityAfterMixer(CNode* mixer) = 0;
    virtual bool IsNotUtilityStreamNode(CNode* node) const = 0;
    virtual int GetUnusedFlag() const = 0;
    // A splitter-mixer of `branches` branches on segment a (a is b), or a bypass from segment a
    // around the units up to segment b with `branches` - 1 empty branches; the new splitter goes
    // to `splitter`. False (nothing added) when the design refuses it.
    virtual bool AddSplitterMixer(CNode* /*a*/, CNode* /*b*/, CNode*& /*splitter*/, const char* /*reason*/,
                                  int /*branches*/) {
        return false;
    }
    // The first segment of the index-th branch (the splitter's outlets in order) of a splitter of
    // the design; null out of range or for a node that is not one of its splitters.
    virtual CNode* GetSplitterBranch(CNode* /*splitter*/, int /*index*/) const { return nullptr; }
    // The splitter on one of whose branches a side (0 hot, 1 cold) of an exchanger of the design
    // runs, the innermost where splits nest; null when that side runs on no branch.
    virtual CNode* GetSplitterAroundExchangerSide(CNode* /*exchanger*/, int /*side*/) const { return nullptr; }
    // The share of its whole stream's flow that side `side` of an exchanger of the design
    // carries: the product of the split fractions (each a share of its own splitter's inflow) of
    // the branches it stands on, from the innermost out; 1 off every branch. False for a unit that
    // is not one of its exchangers or a branch whose fraction is not held.
    virtual bool GetExchangerBranchShare(CNode* /*unit*/, int /*side*/, double& /*share*/) const { return false; }
    // `count` empty branches more on a splitter-mixer (given by its splitter or mixer).
    virtual void AddSplitterBranch(CNode* /*splitterOrMixer*/, const char* /*reason*/, int /*count*/) {}
    // Takes out the branch that holds the segment.
    virtual void RemoveSplitterBranch(CNode* /*segment*/, const char* /*reason*/) {}
    // 0 empty branch, 1 locked or not in a branch, 2 the branch holds units.
    virtual int GetBranchState(CNode* /*node*/) const { return 1; }
    // Whether a bypass from segment a to segment b of one stream would enclose only whole
    // splitter-mixers.
    virtual bool CanAddBypass(CNode* /*a*/, CNode* /*b*/) const { return false; }
    // Takes out a splitter-mixer (given by its splitter or mixer) with its branches, keeping the
    // main branch; false (nothing changed) when the design refuses it.
    virtual bool RemoveSplitterMixer(CNode* /*splitterOrMixer*/, const char* /*reason*/) { return false; }
    // 0 editable, 1 locked or not a splitter-mixer, 2 a branch holds units.
    virtual int GetSplitterState(CNode* /*splitterOrMixer*/) const { return 1; }
    // Calculated split fractions and the calculator's equations start afresh.
    virtual void ResetCalculatedValues() {}

    // ---- nodes ----
    virtual int GetNumberOfNodes() const = 0;
    virtual CNode* GetNodeByName(const CPString& name) const = 0;
    virtual CNode* GetNodeByIndex(int index) const = 0;
    virtual CNode* GetNodeByFingerPrint(unsigned int fingerPrint) const = 0;
    virtual unsigned int GetDNAFingerPrint(const CPString& name) const = 0;
    virtual unsigned int GetDNAFingerPrintByIndex(int index) const = 0;
    // The index-th exchanger of the design; false when there is none.
    virtual bool GetHeatExchanger(int index, CNode*& out) const = 0;
    virtual int GetNumberOfUnitsOnStream(const CPString& streamName) const = 0;
    virtual bool GetUnitOnStream(const CPString& streamName, int index, CNode*& out) const = 0;
    virtual CNode* GetIncompleteHeatExchanger(int index) const = 0;
    virtual int GetNumberOfHeaters() const = 0;
    virtual int GetNumberOfCoolers() const = 0;
    virtual CNode* GetHeater(int index) const = 0;
    virtual CNode* GetCooler(int index) const = 0;
    // The name, with "STRM" appended when an exchanger of the design bears it.
    virtual void MakeExchangerStreamName(const CPString& unitName, CPString& out) const = 0;

    // ---- streams of the design (a process stream is any stream that is not a utility) ----
    virtual int GetNumberOfStreams() const = 0;
    virtual int GetNumberOfProcessStreams() const = 0;
    virtual int GetNumberOfUtilityStreams() const = 0;
    virtual IHeatIntegrationStream* GetStream(int index) const = 0;
    virtual IHeatIntegrationStream* GetProcessStream(int index) const = 0;
    virtual IHeatIntegrationStream* GetUtilityStream(int index) const = 0;
    virtual int GetNumberOfUnsatisfiedProcessStreams() const = 0;
    virtual IHeatIntegrationStream* GetUnsatisfiedProcessStream(int index) const = 0;
    // Satisfied when the duties on the stream meet its load within 0.0005 of the load;
    // `remainder` (may be null) takes the shortfall otherwise.
    virtual bool IsStreamSatisfied(IHeatIntegrationStream* stream, double* remainder) const = 0;
    virtual bool HasSignificantUtilityDuty(CNode* segment) const = 0;
    // 1 and the temperature of the stream before its end utility; 0 when it cannot be read.
    virtual int GetTemperatureBeforeStreamEnd(const CPString& streamName, double& out) const = 0;

    // ---- specification counts ----
    virtual int GetDegreesOfFreedom() const = 0;
    virtual int GetNumberOfUnknowns() const = 0;
    virtual int GetNumberOfAreaSpecifiedExchangers() const = 0;
    // Exchangers with a configuration whose IsHeater answer equals `heater`.
    virtual int GetNumberOfConfiguredExchangers(int heater) const = 0;

    // ---- costs and loads (costs per second) ----
    virtual double GetUtilityLoad(const CPString& utilityName) const = 0;
    virtual double GetUsedUtilityLoad(IHeatIntegrationStream* stream) const = 0;
    virtual double GetUtilityCost(const CPString& utilityName) const = 0;
    // The share of a year the plant operates (the scenario's operating hours over the hours of a
    // year): what a yearly utility cost or product value is scaled by. 1 without a scenario.
    virtual double GetOperatingYearShare() const { return 1.0; }
    // Sum of the exchanger duties on `side` (0 hot, 1 cold) of the stream.
    virtual double GetExchangerDutyOnStream(IHeatIntegrationStream* stream, int side) const = 0;
    virtual double GetTotalArea() const = 0;
    virtual double GetTotalAddedArea() const = 0;
    virtual int GetTotalNumberOfShells() const = 0;
    // Capital added over the retrofit base design.
    virtual double CalculateCapitalCost() = 0;
    virtual int GetNumberOfCrossPinchLoads() const = 0;
    virtual double GetCrossPinchLoad(int index) const = 0;
    // List 0 the first, 1 the second pinch value; -32767.0 when there is none.
    virtual double GetPinchPoint(int list, int index) const = 0;
    virtual double GetLargeValue() const = 0;

    // ---- status ----
    // 0 free, 2 existing network, 1 locked (every network edit is refused).
    virtual int GetEditLockState() const = 0;
    // 0 not a retrofit scenario, 1 the retrofit base, 2 another design of a retrofit scenario.
    virtual int GetScenarioLockState() const = 0;
    virtual bool GetOperationLocked() const = 0;
    virtual int GetOperatingStateStatus() const = 0;
    // 1 when the last calculation left no status text, 2 "NotConverged", else 0.
    virtual int GetCalculationStatus() = 0;
    virtual bool QueryInterface(const CPString& className, void** out) = 0;
    virtual int Activate(int notify) = 0;
    virtual int Deactivate() = 0;
    virtual IHeatIntegrationScenario* GetScenario() const = 0;

    // ---- texts and settings ----
    virtual const char* GetNotes() const = 0;
    virtual void SetNotes(const CPString& notes) = 0;
    virtual const char* GetChangeLog() const = 0;
    virtual const char* GetStoredTextA() const = 0;
    virtual void SetStoredTextA(const CPString& text) = 0;
    virtual const char* GetStoredTextB() const = 0;
    virtual void SetStoredTextB(const CPString& text) = 0;
    virtual const char* GetStoredTextC() const = 0;
    virtual void SetStoredTextC(const CPString& text) = 0;
    virtual void SetDTMin(double dtMin) = 0;
    virtual double GetHTMaxAreaShell() const = 0;
    virtual void SetHTMaxAreaShell(double area) = 0;
    virtual int GetIntegerOption() const = 0;
    virtual void SetIgnoreInfeasibleExchangers(bool ignore) = 0;
    virtual bool GetOptimizeExchangerDuties() const = 0;
    virtual void SetOptimizeExchangerDuties(bool on) = 0;
    virtual bool GetOptimizeSplitFractions() const = 0;
    virtual void SetOptimizeSplitFractions(bool on) = 0;
    virtual bool GetOptimizerOptionFlag() const = 0;
    virtual void SetOptimizerOptionFlag(bool on) = 0;

    // ---- structure analysis and controllability, as the views read them ----
    // Every index getter answers 0, null or an empty list out of range; a design that keeps no
    // analysis answers the same throughout.
    virtual std::vector<std::uint32_t> GetAllDNAFingerPrints() const { return {}; }
    virtual int GetNumberOfAnalysisStreams() const { return 0; }
    // 1 takes part, 0 left out; -1 out of range. Of a stream: 1 for a process stream.
    virtual int GetAnalysisStreamFlag(int /*index*/) const { return -1; }
    virtual int GetAnalysisStreamFlagOf(IHeatIntegrationStream* /*stream*/) const { return 1; }
    virtual const char* GetAnalysisStreamName(int /*index*/) const { return nullptr; }
    virtual bool SetAnalysisStreamFlag(IHeatIntegrationStream* /*stream*/, bool /*takesPart*/) { return false; }
    virtual int GetNumberOfSubNetworks() const { return 0; }
    virtual int GetNumberOfUnitsInSubNetwork(int /*index*/) const { return 0; }
    virtual std::uint32_t GetSubNetworkUnitFingerPrint(int /*index*/, int /*unit*/) const { return 0; }
    virtual const char* GetSubNetworkName(int /*index*/) const { return nullptr; }
    virtual int GetNumberOfLoops() const { return 0; }
    virtual int GetNumberOfIndependentLoops() const { return 0; }
    virtual int GetNumberOfUnitsInLoop(int /*index*/) const { return 0; }
    virtual const char* GetLoopName(int /*index*/) const { return nullptr; }
    virtual const char* GetLoopUnitName(int /*index*/, int /*unit*/) const { return nullptr; }
    virtual std::vector<CNode*> GetLoopUnits(int /*index*/) const { return {}; }
    virtual int GetNumberOfPaths() const { return 0; }
    // The utilities left out of the analysis (flag 0).
    virtual int GetNumberOfIgnoredDummyUtilities() const { return 0; }
    virtual int GetNumberOfUnitsInPath(int /*index*/) const { return 0; }
    virtual std::vector<CNode*> GetPathUnits(int /*index*/) const { return {}; }
    virtual const char* GetPathName(int /*index*/) const { return nullptr; }
    virtual const char* GetPathUnitName(int /*index*/, int /*unit*/) const { return nullptr; }
    virtual const char* GetPathStartName(int /*index*/) const { return nullptr; }
    virtual const char* GetPathEndName(int /*index*/) const { return nullptr; }
    virtual int IsHeatExchangerOnPathOrLoop(int /*index*/) const { return 1; }
    // The exchangers whose side `side` (0 hot, 1 cold) runs on the stream.
    virtual std::vector<CNode*> GetExchangersOnStreamSide(IHeatIntegrationStream* /*stream*/, int /*side*/) const {
        return {};
    }
    virtual std::vector<CNode*> GetExchangersWithUtilitiesAtPorts() const { return {}; }
    virtual std::vector<CNode*> GetHeatExchangerNodes() const { return {}; }
    virtual std::vector<CNode*> GetSplittersOnStream(IHeatIntegrationStream* /*stream*/) const { return {}; }
    virtual int GetNumberOfControlUnits() const { return 0; }
    virtual bool IsControlUnitSelected(int /*index*/) const { return false; }
    virtual bool IsUnitSelectedForControl(IHeatIntegrationStream* /*stream*/) const { return false; }
    // 4 for a record that does not exist.
    virtual unsigned int GetControlUnitKind(int /*index*/) const { return 4; }
    virtual unsigned int GetUnitControlKind(IHeatIntegrationStream* /*stream*/) const { return 0; }
    virtual bool SetControlUnitKind(int /*index*/, unsigned int /*kind*/) { return false; }
    virtual const char* GetControlUnitName(int /*index*/) const { return nullptr; }
    virtual bool SetControlUnitSelected(int /*index*/, bool /*selected*/) { return false; }
    virtual int GetNumberOfNetworkUnits() const { return 0; }
    virtual int GetNumberOfControlSelections() const { return 0; }
    virtual int GetRemainingControlFreedom() const { return 0; }
    virtual int GetSubNetworkNumberOfUnits(int /*index*/) const { return 0; }
    virtual int GetSubNetworkNumberOfControlSelections(int /*index*/) const { return 0; }
    virtual int GetSubNetworkNumberOfLoops(int /*index*/) const { return 0; }
    virtual int GetSubNetworkRemainingControlFreedom(int /*index*/) const { return 0; }
    virtual const char* GetControllabilityText() const { return nullptr; }

    // ---- operation: the locked network, its states, schedules and studies ----
    // 3 lockable; else 21 a stream missing or incomplete, 42 a stream without transport
    // properties, 11 no exchanger, 1 stream terminals not ready, 2 a negative split share.
    virtual int CheckOperationLockable() { return 21; }
    virtual void LockOperation() {}
    virtual void ModifyOperation() {}
    virtual void UnlockOperation() {}
    virtual IHENState* GetDefaultState() { return nullptr; }
    virtual void ResetDefaultState() {}
    // Schedules (named "Event-P" + counter): made current when added; the change codes 12 and 8
    // announce a new one, 12 and 9 a renamed one.
    virtual bool AddNewSchedule() { return false; }
    // 0 made, 1 the name exists (or is one no schedule may take), 2 no name or not made.
    virtual int AddSchedule(const CPString& /*name*/) { return 2; }
    // A name no schedule may take: the event summary's "Base case" row, in any case of letters.
    virtual bool IsReservedScheduleName(const CPString& /*name*/) const { return false; }
    virtual bool RemoveSchedule(const CPString& /*name*/) { return true; }
    virtual bool SelectSchedule(const CPString& /*name*/) { return true; }
    virtual void SetCurrentSchedule(IHENSchedule* /*schedule*/) {}
    virtual bool RenameSchedule(const CPString& /*oldName*/, const CPString& /*newName*/) { return false; }
    virtual IHENSchedule* FindOperatingSchedule(const CPString& /*name*/) const { return nullptr; }
    virtual IHENSchedule* GetOperatingSchedule(int /*index*/) const { return nullptr; }
    virtual IHENState* GetOperatingScheduleState(int /*index*/) const { return nullptr; }
    virtual const char* GetScheduleName(int /*index*/) const { return nullptr; }
    virtual int GetNumberOfSchedules() const { return 0; }
    virtual bool CanExecuteSchedule(const CPString& /*name*/) const { return false; }
    virtual int GetScheduleSolutionStatus(const CPString& /*name*/) const { return 0; }
    virtual const char* GetCurrentScheduleName() const { return nullptr; }
    virtual const char* GetExecutedScheduleName() const { return nullptr; }
    // While a locked design runs a what-if (an executed schedule, a study's last point), the
    // scenario's streams hold the what-if's supply temperatures and mass flows, and the default
    // operating state the process data: the stream's (or, for null, every stream's) values that
    // differ, as "H1 supply temperature 180 C (process data 170 C)"; null when none differs.
    virtual const char* GetWhatIfStreamNote(const char* /*stream*/) const { return nullptr; }
    virtual void ExecuteSchedule() {}
    // The one judgement of a what-if run, shared by every route that runs one (a schedule, a plan's
    // schedule, a study's point). Before it solves: each stream event judged on the stream as the
    // run would have it, its other values there included, from the default point as it is now.
    // After: the solution breaks nothing a heater, a cooler or a utility can be (a cooler that
    // heats, a utility outside its own range, a utility flow below 0). Each answers what was
    // broken, naming the event and stream or the unit, and keeps it as the last run's refusal;
    // null when the run holds. A refused run keeps no result as solved.
    virtual const char* JudgeWhatIfEvents(const IHENSchedule* /*run*/, const char* /*runName*/) { return nullptr; }
    virtual const char* JudgeWhatIfResult(const char* /*runName*/) { return nullptr; }
    // Why the last run was refused (null when it was not); cleared when a run starts.
    virtual const char* GetWhatIfRunRefusal() const { return nullptr; }
    // Why the default point of the locked network is none its heaters, coolers and utilities can
    // run at (a value typed while locked that crosses a cooler, say), or why the last lock undid
    // itself for that reason; null when it holds (and before the point is first solved in a session).
    virtual const char* GetOperatingPointRefusal() const { return nullptr; }
    // A locked design's operating point at one moment: its units' values, the default state, the
    // what-if results with their marks and the figures worked out from them. Kept before a change
    // of the plant is tried, and given back exactly, with no calculation, when the plant cannot
    // run at the point the change leaves (the streams are the scenario's to give back first).
    class KeptOperatingPoint {
    public:
        virtual ~KeptOperatingPoint() = default;
    };
    virtual std::unique_ptr<KeptOperatingPoint> KeepOperatingPoint() { return nullptr; }
    virtual void GiveBackOperatingPoint(KeptOperatingPoint& /*kept*/) {}
    // Forwarded to the current schedule (0, null, -32767.0 or 32009 without one).
    virtual int GetNumberOfScheduleEvents() const { return 0; }
    virtual int GetNumberOfEventTypes() const { return 0; }
    virtual int GetNumberOfEventTargets(const char* /*type*/) const { return 0; }
    virtual const char* GetEventTypeName(int /*index*/) const { return nullptr; }
    virtual const char* GetEventTargetName(const char* /*type*/, int /*index*/) const { return nullptr; }
    // A value the current event cannot carry out is refused and changes nothing; the message
    // key that says why (null when the value fits, or without a current event).
    virtual void SetCurrentEventNewValue(double /*value*/) {}
    virtual const char* GetCurrentEventValueRefusal(double /*value*/) const { return nullptr; }
    // What the current schedule's current event sets ("MassFlow", ...); null with none.
    virtual const char* GetCurrentEventVariableName() const { return nullptr; }
    // The same for any event of the design's schedules (an event item's own value): one domain
    // for every route that writes an event's value.
    virtual const char* GetEventValueRefusal(const IHENEvent* /*event*/, double /*value*/) const { return nullptr; }
    // The same for a value an event of `variable` on `target` would set, before any event is made
    // (a planner's task typed into its cell).
    virtual const char* GetTargetValueRefusal(const char* /*variable*/, const char* /*target*/, double /*value*/) const {
        return nullptr;
    }
    virtual const char* AddEventToSchedule(const char* /*type*/, const char* /*target*/) { return nullptr; }
    virtual const char* GetScheduleEventName(int /*index*/) const { return nullptr; }
    virtual const char* GetCurrentEventName() const { return nullptr; }
    virtual const char* GetScheduleEventDescription(int /*index*/) const { return nullptr; }
    virtual const char* GetCurrentEventDescription() const { return nullptr; }
    virtual const char* GetCurrentEventTypeName() const { return nullptr; }
    virtual double GetCurrentEventBaseValue() const { return -32767.0; }
    virtual double GetCurrentEventNewValue() const { return -32767.0; }
    virtual int GetCurrentEventValueKind() const { return 32009; }
    virtual bool RemoveCurrentEvent() { return true; }
    virtual bool SelectScheduleEvent(const char* /*name*/) { return false; }
    virtual const char* FindScheduleEventLabel(const char* /*type*/, const char* /*target*/) const { return nullptr; }
    virtual bool AddEventToCurrentSchedule(const char* /*type*/, const char* /*target*/) { return false; }
    // Studies (named "Study-" + counter; the default study "Default Study" is not listed).
    virtual void AddStudy() {}
    virtual int GetNumberOfStudies() const { return 0; }
    virtual IHENTrend* GetStudy(int /*index*/) const { return nullptr; }
    virtual IHENTrend* GetDefaultStudy() const { return nullptr; }
    virtual bool SelectStudy(const CPString& /*name*/) { return false; }
    virtual bool SelectStudyCleaningEvent(const CPString& /*key*/) { return false; }
    virtual bool SelectStudySpecialEvent(const CPString& /*key*/) { return false; }
    virtual bool DeleteCurrentStudy() { return false; }
    virtual const char* GetCurrentStudyName() const { return nullptr; }
    virtual bool RenameStudy(const CPString& /*oldName*/, const CPString& /*newName*/) { return false; }
    virtual void CalculateCurrentStudy() {}
    virtual void CalculateDefaultStudy() {}
    virtual int GetDefaultStudyStatus() const { return 0; }
    virtual void DeleteAllStudies() {}

    bool IsOperationLocked() const { return GetOperationLocked(); }

    // ---- the optimiser's pre-run check as its wizard form reads it (IHENDesignCheckQueries.cpp);
    // before any check: no finding, severity 0, the optimiser may run ----
    int CanOptimizerRun() const;
    int GetOptimizerCheckSeverity() const;
    void GetOptimizerCheckMessage(CPString& out) const;
    bool IsOptimizerCheckDegreesOfFreedomOK() const;
    bool IsOptimizerCheckFeasibilityOK() const;
    bool IsOptimizerCheckUntiedStreamsOK() const;
    bool IsOptimizerCheckTemperatureSpecsOK() const;
    bool IsOptimizerCheckOptionsOK() const;
    void GetOptimizerCheckDegreesOfFreedomMessage(CPString& out) const;
    void GetOptimizerCheckFeasibilityMessage(CPString& out) const;
    void GetOptimizerCheckUntiedStreamsMessage(CPString& out) const;
    void GetOptimizerCheckTemperatureSpecsMessage(CPString& out) const;
    void GetOptimizerCheckOptionsMessage(CPString& out) const;
    int GetNumberOfOptimizerCheckUnits() const;
    int GetNumberOfOptimizerCheckInfeasibleExchangers() const;
    int GetNumberOfOptimizerCheckUntiedExchangers() const;
    int GetNumberOfOptimizerCheckTemperatureSpecs() const;
    // "UnitOperationName" of entry i (clamped to the list) of each list; empty for an empty list.
    CPString GetOptimizerCheckUnitName(int index) const;
    CPString GetOptimizerCheckUnitStatus(int index) const;
    CPString GetOptimizerCheckInfeasibleExchangerName(int index) const;
    CPString GetOptimizerCheckUntiedExchangerName(int index) const;
    CPString GetOptimizerCheckTemperatureSpecUnitName(int index) const;
    CPString GetOptimizerCheckTemperatureSpecText(int index) const;
    // Whether port 0 to 3 of untied exchanger i is free of a utility.
    bool IsOptimizerCheckUntiedPort0Free(int index) const;
    bool IsOptimizerCheckUntiedPort1Free(int index) const;
    bool IsOptimizerCheckUntiedPort2Free(int index) const;
    bool IsOptimizerCheckUntiedPort3Free(int index) const;

    // ---- case file ----
    virtual bool Store(ILurmetBinaryFile& file) const = 0;
    virtual bool Recall(ILurmetBinaryFile& file) = 0;

    // ---- utility placement, exchanger specifications and optimiser runs ----
    // Results of an optimiser run: new values left in the design, nothing changed, and no
    // optimiser available (nothing was done).
    static constexpr int OptimiserImproved = 4;
    static constexpr int OptimiserUnchanged = 3;
    static constexpr int OptimiserNotAvailable = -1;
    // Change code of a renamed unit (text: the new name; data: the old name's characters).
    static constexpr int ChangeUnitRenamed = 74;
    // A utility at the first free port that takes one of every over-specified exchanger
    // (heater 2, 3; cooler 0, 1; other 0, 1, 3, 2).
    virtual void AddMissingUtilities() {}
    virtual void RemoveUtilitiesAfterMixers() {}
    // While the network is over-specified, utilities at the ends of the process streams; answers
    // the degrees of freedom at the end.
    virtual int AddUtilitiesAtStreamEnds() { return GetDegreesOfFreedom(); }
    // Moves a heater's hot side or a cooler's cold side to the end of the named stream; 1 when
    // it moved, 0 when nothing was moved.
    virtual int MoveUtilityToStreamEnd(CNode* /*exchanger*/, const CPString& /*streamName*/, const char* /*reason*/) {
        return 0;
    }
    // Moves a heater's or cooler's utility side onto the named utility as the extraction places
    // units on one utility: beside the units it serves already, each on a branch of its own, the
    // branches in the order the design lists its units (so the order of the moves changes nothing).
    // 1 when it moved, 0 when nothing was moved.
    virtual int MoveUtilityBesideOthers(CNode* exchanger, const CPString& streamName, const char* reason) {
        return MoveUtilityToStreamEnd(exchanger, streamName, reason);
    }
    // Puts a unit just before another in the design's order of units (the order its lists, its
    // utilities' branches and the case file follow); 1 when moved, 0 when either is no unit of
    // the design.
    virtual int MoveUnitBefore(CNode* /*unit*/, CNode* /*before*/) { return 0; }
    // Gives a heater or cooler whose utility side stands in series on the utility a branch of its
    // own beside the units the utility serves, as MoveUtilityBesideOthers places a unit moved
    // there; 1 when it stands on a branch of its own, 0 otherwise.
    virtual int StandBesideOthers(CNode* /*exchanger*/, const char* /*reason*/) { return 0; }
    // Where the numbers of the utilities' splitters and mixers begin (the generator's names,
    // "TEE-101", "MIX-101"): the lowest such number a utility's splitter or mixer holds, else the
    // next number the generator gives.
    struct UtilitySplitNumbers {
        int splitter = 0;
        int mixer = 0;
    };
    virtual UtilitySplitNumbers FirstUtilitySplitNumbers() const { return {}; }
    // Numbers the utilities' splitters and mixers as the extraction numbers them: one after another
    // from `first`, utility by utility in the scenario's order, so that moving units between
    // utilities leaves the names a fresh extraction would give. A name given by hand stays.
    virtual void NumberUtilitySplits(UtilitySplitNumbers /*first*/) {}
    // 1 renamed, 0 refused (no name, no unit, or an exchanger already bears the name).
    virtual int RenameUnit(const CPString& /*newName*/, CNode* /*unit*/) { return 0; }
    virtual void SetSplitFractionsFromDuties() {}
    virtual void UpdateStreamTerminals() {}
    // Lowers duties (of `exchanger`, or of the new exchangers when null) until the network is
    // feasible, at most 15 reductions of 10 % in all and not below 5 kW.
    virtual void MakeNetworkFeasible(CNode* /*exchanger*/) {}
    // The largest duty the exchanger's streams allow; 100000.0 when that is not above 0.
    virtual double GetMaximumMatchDuty(CNode* /*exchanger*/) const { return 100000.0; }
    virtual void ApplyDTMinToAllExchangers() {}
    virtual void ApplyHTMaxAreaShellToAllExchangers() {}
    virtual void SetExchangerDTMinsFromApproach(double /*value*/) {}
    virtual void LowerNamedExchangerDuty() {}
    // Before a modification of an existing network: on each process stream whose units all have
    // their duties specified, the heater or cooler nearest the stream's target gives its duty up,
    // so that it takes what the process still needs once the modification changes that. Answers
    // the number of duties given up.
    virtual int LetUtilityExchangersFollowDemand() { return 0; }
    // After a process exchanger's duty is given: the same release on the exchanger's two streams
    // only, so that their heaters and coolers take up what the new duty leaves. The caller's
    // change handling recalculates; answers the number of duties given up.
    virtual int LetEndUtilitiesFollowExchanger(CNode* /*exchanger*/) { return 0; }
    virtual void RemoveSingleBranchSplitters() {}
    // Every utility that may go at the ports of the process exchangers is removed.
    virtual void RemoveRemovableUtilitiesAtPorts() {}
    // Finishes the process streams of a network placed unit by unit, as last calculated: an end
    // whose utility carries a load gets a heater or cooler there, on the cheapest utility whose
    // temperatures serve it at the scenario's DTmin (else the hottest hot or coldest cold one,
    // which then shows as infeasible); the empty utility at the end of a stream that its units
    // settle goes, the unit nearest the target following the stream's balance. Answers the
    // number of heaters and coolers added.
    virtual int CloseStreamEnds(const char* /*reason*/) { return 0; }
    // Fixes the shells in series of every shell-and-tube process unit given by its area alone (no
    // duty, shells or F given): from one shell, each takes in rounds the fewest shells that keep F
    // at its least at the temperatures its rating gives, until no count changes. Answers the units
    // whose counts do not settle ("E2, E3"), empty when all do.
    virtual std::string SettleShellCountsOfGivenAreas() { return std::string(); }
    // Fits the observed coefficients of a locked design to its measured temperatures; true,
    // with nothing done, when the design is not locked or no optimiser is available.
    virtual bool Reconcile() { return true; }
    // Whether the last reconciliation matched nothing and gave the design back ("ReconcileFailed").
    virtual bool ReconcileFailed() const { return false; }

private:
    std::vector<CNode*> listOf(int (IHENDesign::*count)() const, CNode* (IHENDesign::*at)(int) const) const {
        std::vector<CNode*> out;
        const int n = (this->*count)();
        for (int i = 0; i < n; ++i) out.push_back((this->*at)(i));
        return out;
    }
};

// Makes the designs of a scenario: the scenario asks it for every new design (the network-design
// subsystem provides the real one; tests give their own).
class IHENDesignFactory {
public:
    virtual ~IHENDesignFactory() = default;
    // A new empty design owned by `scenario`, named `name`; null when none can be made.
    virtual IHENDesign* CreateDesign(IHeatIntegrationScenario& scenario, const CPString& name) = 0;
};
