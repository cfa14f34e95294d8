#pragma once
// One heat-exchanger-network design of a scenario: a flowsheet in chain form (every stream runs
// from its feed block through segments alternating with units to its product block; a process
// stream's heater or cooler is a utility placeholder "htHeater" between two segments), the
// exchanger list, the stream index (stream list and units per stream), the utility loads, the
// change log and the design-wide settings. The design reads its scenario and streams only
// through IHeatIntegrationScenario and IHeatIntegrationStream. Side 0 of an exchanger is its hot
// side, side 1 its cold side.
//
// Editing is done in small connect/disconnect steps. An edit that must not be left half done
// (adding an exchanger, moving one of its sides) runs under an undo journal: each step records
// its inverse, node deletions wait until the edit is committed, and a failed edit is rolled back
// to the network it started from.
#include "brasko/NotificationSender.h"
#include "eng/design/ControllabilityCheck.h"
#include "eng/design/IHENDesign.h"
#include "eng/design/INetworkOptimiser.h"
#include "eng/design/NetworkStructureAnalysis.h"
#include "pellin/FlowSheet.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class ControllabilityCheck;
class HeatExch;
class HENOperatingSchedule;
class HENState;
class HENTrend;
class HENCalculator;
class IExchangerCostLaw;
class NetworkStructureAnalysis;

class CPIHENDesign : public IHENDesign, public FSOwner, public NotificationSender {
public:
    // Change codes the design sends.
    static constexpr int CodeDestroyed = 1;
    static constexpr int CodeExchangerAdded = 5;
    static constexpr int CodeExchangerDeleted = 6;
    static constexpr int CodeExchangerMoved = 7;
    static constexpr int CodeSplitterMixerAdded = 27;
    static constexpr int CodeSplitterMixerRemoved = 28;
    static constexpr int CodeStreamAdded = 30;
    static constexpr int CodeStreamRemoved = 31;
    static constexpr int CodeStreamRenamed = 32;
    static constexpr int CodeUpToDate = 85;
    // What the extraction appends to an exchanger's name to name the dummy heater and cooler it
    // places beside it.
    static constexpr const char* kDummyHeaterSuffix = "_DummyHtrIgnore";
    static constexpr const char* kDummyCoolerSuffix = "_DummyClrIgnore";
    static constexpr int CodeLockedBaseRecalculated = 95;
    // Change codes the design answers.
    static constexpr int CodeFlowsheetChanged = 17;
    static constexpr int CodeRecalculate = 98;

    CPIHENDesign(IHeatIntegrationScenario* scenario, const CPString& name = CPString());
    ~CPIHENDesign() override;
    CPIHENDesign(const CPIHENDesign&) = delete;
    CPIHENDesign& operator=(const CPIHENDesign&) = delete;

    // ---- identity and ownership ----
    const char* GetDesignName() const override { return m_hasName ? m_name.c_str() : nullptr; }
    void SetDesignName(const CPString& name) override;
    void SetOwner(IHeatIntegrationScenario* scenario) override { m_scenario = scenario; }
    IHeatIntegrationScenario* GetScenario() const override { return m_scenario; }
    bool QueryInterface(const CPString& className, void** out) override;
    FlowSheet* GetFlowSheet() const override { return m_sheet.get(); }
    int CopyTo(IHENDesign& target) const override;

    // ---- FSOwner ----
    void FlowsheetChanged() override { ProcessChange(CodeFlowsheetChanged, CPString(), nullptr); }
    bool GetInterface(const CPString& className, void** out) override { return QueryInterface(className, out); }

    // ---- change handling ----
    void ProcessChange(int code, const CPString& text, void* data) override;
    int Activate(int notify) override;
    int Deactivate() override;
    void SetPinchPoints(CPList* pinchPoints) override;
    void UpdateOperationForStreamChange(IHeatIntegrationStream* stream) override;
    void AssignExchangerCostModels() override;
    void AssignExchangerCostModel(CNode* exchanger);

    // ---- recalculation (HENDesignRecalculation.cpp) ----
    // Specified split fractions of every tee become calculated ones (values kept); then the design
    // is activated and recalculates.
    void ResetCalculatedValues() override;
    // Forgets the results of the units: "Temperature", "Duty", "HTArea", "SplitFraction" and
    // "MassFlow" that are not specified become open; exchangers get "SpecStatus" 0.
    void ClearUnitResults(const std::vector<CNode*>& units);
    // The same, except that the units of `keepingDuty` keep their duties.
    void ClearUnitResults(const std::vector<CNode*>& units, const std::vector<CNode*>& keepingDuty);
    // The heaters and coolers among the units.
    void CollectFlaggedExchangers(const std::vector<CNode*>& units, std::vector<CNode*>& out) const;
    // Lets the units calculate until the number of open values stops falling; fills the one
    // missing duty of a stream whose exchangers cover it exactly. Answers the open values left.
    int PropagateUnitValues(const std::vector<CNode*>& units, const std::vector<CNode*>& flagged, int code);
    // The same, with the heaters and coolers of `held` (among the units) left out of the first
    // propagation: their duties are known and kept, and what they would calculate at the
    // utilities' earlier flows is forgotten again once the design's loads are in. `sound` tells
    // whether that held: false when a utility they lie on kept its flow, so that the first
    // propagation's temperatures on it would have stood (the caller then recalculates whole).
    // With `filling`, only those streams have their one missing duty filled: the caller's part of
    // the network, outside which no duty can be open. With `dutiesFirst`, every other heater and
    // cooler calculates in the first propagation only its duty, from its process side (and passes
    // it on along that side), not the temperatures and area at the utility's earlier flow, which
    // the second forgets; `sound` is then false too when such a unit's utility kept its flow.
    int PropagateUnitValues(const std::vector<CNode*>& units, const std::vector<CNode*>& flagged, int code,
                            const std::vector<CNode*>& held, bool& sound,
                            const std::vector<const IHeatIntegrationStream*>* filling = nullptr,
                            bool dutiesFirst = false);
    // Unit calculations the propagations of this design have made so far.
    long UnitCalculations() const { return m_unitCalculations; }
    // Open "Temperature" and "SplitFraction" of segments, "Duty" and "HTArea" of exchangers; each
    // node with one goes once into `out` when given.
    int CountOpenValues(const std::vector<CNode*>& units, std::vector<CNode*>* out) const;
    // While the design calculates, each utility it uses carries the design's load and is a
    // process stream; answers the number of utilities used. Swapping out gives them back.
    int SwapInUtilityLoads(bool pinchCheck);
    void SwapOutUtilityLoads();

    // ---- exchangers with specified areas (HENDesignSpecifiedAreas.cpp) ----
    // The full solution: tears as many exchangers as the network needs and iterates their duties
    // together until their areas meet the specified ones. False when it did not converge.
    bool SolveForSpecifiedAreas(const std::vector<CNode*>& units, const std::vector<CNode*>& flagged, int code,
                                bool reuse);
    // The partial solution: one tear exchanger at a time while open values remain.
    void SolveSingleTearExchangers(const std::vector<CNode*>& units, const std::vector<CNode*>& flagged, int code);
    std::vector<CNode*> CollectUnitsToRecalculate(const std::vector<CNode*>& units,
                                                  const std::vector<CNode*>& flagged) const;
    CNode* PickTearExchanger(std::vector<CNode*>& taken, double& specifiedArea);
    bool IdentifyTearExchangers(const std::vector<CNode*>& set, const std::vector<CNode*>& flagged, int code);
    int TearExchangerCount() const { return static_cast<int>(m_tears.size()); }
    double TearDuty(int i) const;

    // ---- node factory and stream index ----
    // A new node of the kind, already in the flowsheet, named (units) and with its first values;
    // null for a kind the factory does not make.
    CNode* CreateNode(const CPString& kind, IHeatIntegrationStream* stream);
    // Whether an exchanger, tee or mixer of the design shows the name: the three kinds share one
    // set of names, which users pick units by.
    bool IsUnitNameTaken(const CPString& name) const;
    // Every name an exchanger, tee or mixer of the design shows.
    std::unordered_set<std::string> UnitNamesInUse() const;
    // The names the extraction gives the dummy heaters and coolers it counts apart from real
    // equipment: no unit takes one by a rename.
    static bool IsReservedUnitName(const CPString& name);
    // A node name no unit shows is the network's own (a segment's "N-12", a stream's block
    // "H1Start", the first name of a unit since renamed), which a user naming units may well give
    // one: the node holding it, other than `keeper`, takes another of the network's names. False
    // when it could not. Every route that names a unit asks this first.
    bool FreeNodeName(const CPString& name, const CNode* keeper);
    // 30 a stream enters the design, 31 it leaves, 5 a unit is placed on it, 6 taken off.
    void UpdateStreamIndex(int event, IHeatIntegrationStream* stream, CNode* unit);
    void RebuildStreamIndex();
    int AddStream(IHeatIntegrationStream* stream) override;
    int RemoveStream(const CPString& name) override;
    int RenameStream(const CPString& oldName, const CPString& newName) override;
    void SetStreamEndTemperatures(IHeatIntegrationStream* stream);
    CNode* GetMixerOfSplitter(CNode* tee) const;
    CNode* GetSplitterOfMixer(CNode* mixer) const;
    bool IsNotUtilityStreamNode(CNode* node) const override;
    void MakeExchangerStreamName(const CPString& unitName, CPString& out) const override;
    void RaiseNodeNameCounter(int by) override;

    // ---- editing ----
    const char* CheckStreamMatch(CNode* a, CNode* b) const override;
    bool CanMatchStreams(CNode* a, CNode* b) const override;
    CNode* AddHeatExchanger(CNode* a, CNode* b, const char* reason, const char* kind, const char* name) override;
    bool DeleteHeatExchanger(CNode* unit, const char* reason) override;
    bool MoveHeatExchangerSide(CNode* unit, CNode* from, CNode* to, const char* reason) override;
    void LogRename(const CPString& oldName, const CPString& newName) override;
    bool AttachExchangerSide(CNode* segment, CNode* unit);
    bool DetachExchangerSide(CNode* inlet);
    CNode* StepAlongStream(CNode* node, int steps, int direction, CNode* reference) const;

    // ---- splitter-mixers and bypasses ----
    // A splitter-mixer of n branches on a segment (a is b, or only a placeholder lies between
    // them), or a bypass from segment a around the units up to segment b with n - 1 empty
    // branches beside the main one.
    bool AddSplitterMixer(CNode* a, CNode* b, CNode*& splitter, const char* reason, int branches) override;
    // Whether a bypass from a to b would enclose only whole splitter-mixers.
    bool CanAddBypass(CNode* a, CNode* b) const override;
    void AddSplitterBranch(CNode* splitterOrMixer, const char* reason, int count) override;
    bool RemoveSplitterMixer(CNode* splitterOrMixer, const char* reason) override;
    // Removes the branch holding the segment; the last branch left takes the splitter-mixer with it.
    void RemoveSplitterBranch(CNode* segment, const char* reason) override;
    // 0 editable, 1 locked or not a splitter-mixer, 2 a branch holds units.
    int GetSplitterState(CNode* splitterOrMixer) const override;
    // 0 empty branch, 1 locked or not in a branch, 2 the branch holds units.
    int GetBranchState(CNode* node) const override;
    bool InsertSplitterMixer(CNode* segment, CNode*& splitter, const char* reason, int branches);
    void DeleteChainToMixer(CNode* segment, const char* reason);
    // The first segment of the branch that holds the node; null outside any branch.
    CNode* FindBranchStart(CNode* node) const;
    CNode* GetSplitterBranch(CNode* splitter, int index) const override;
    CNode* GetSplitterAroundExchangerSide(CNode* exchanger, int side) const override;

    // ---- utilities at ports ----
    bool IsPortFreeOfUtility(CNode* unit, int port) const override;
    bool CanAddUtilityAtPort(CNode* unit, int port) const override;
    bool CanRemoveUtilityAtPort(CNode* unit, int port) override;
    bool AddUtilityAtPort(CNode* unit, int port) override;
    bool RemoveUtilityAtPort(CNode* unit, int port) override;
    int RemoveUtilitiesAtPorts(const std::vector<std::pair<CNode*, int>>& ports) override;
    bool CanAddUtilityAfterMixer(CNode* mixer) const override;
    bool CanRemoveUtilityAfterMixer(CNode* mixer) override;

    // ---- nodes ----
    int GetNumberOfNodes() const override { return m_sheet->getNumberOfNodes(); }
    CNode* GetNodeByName(const CPString& name) const override { return m_sheet->getNode(name); }
    CNode* GetStreamBlock(const CPString& streamName, bool end) const override {
        return StreamBlock(streamName, end ? "End" : "Start");
    }
    CNode* GetNodeByIndex(int index) const override { return m_sheet->getNode(index); }
    CNode* GetNodeByFingerPrint(unsigned int fp) const override { return m_sheet->getNodeByFingerPrint(fp); }
    unsigned int GetDNAFingerPrint(const CPString& name) const override { return m_sheet->getDNAFingerPrint(name); }
    unsigned int GetDNAFingerPrintByIndex(int index) const override;
    bool GetHeatExchanger(int index, CNode*& out) const override;
    int GetNumberOfHeatExchangers() const override { return static_cast<int>(m_exchangers.size()); }
    int GetNumberOfUnitsOnStream(const CPString& streamName) const override;
    bool GetUnitOnStream(const CPString& streamName, int index, CNode*& out) const override;
    bool HasUnitOnStream(const CPString& streamName) const override { return GetNumberOfUnitsOnStream(streamName) > 0; }
    int GetNumberOfIncompleteHeatExchangers(bool skipFailed) const override;
    CNode* GetIncompleteHeatExchanger(int index) const override;
    int GetNumberOfHeaters() const override;
    int GetNumberOfCoolers() const override;
    CNode* GetHeater(int index) const override;
    CNode* GetCooler(int index) const override;
    bool HasHeater() const override { return GetNumberOfHeaters() > 0; }
    bool HasCooler() const override { return GetNumberOfCoolers() > 0; }

    // ---- streams ----
    int GetNumberOfStreams() const override { return static_cast<int>(m_streams.size()); }
    int GetNumberOfProcessStreams() const override;
    int GetNumberOfUtilityStreams() const override;
    IHeatIntegrationStream* GetStream(int index) const override;
    IHeatIntegrationStream* GetProcessStream(int index) const override;
    IHeatIntegrationStream* GetUtilityStream(int index) const override;
    int GetNumberOfUnsatisfiedProcessStreams() const override;
    IHeatIntegrationStream* GetUnsatisfiedProcessStream(int index) const override;
    bool IsStreamSatisfied(IHeatIntegrationStream* stream, double* remainder) const override;
    bool HasSignificantUtilityDuty(CNode* segment) const override;
    int GetTemperatureBeforeStreamEnd(const CPString& streamName, double& out) const override;
    bool IsDesignComplete() const override;
    bool DoUtilityUnitsRunForwards() const override;
    // A heater or cooler whose known duty is negative: the other units take its stream past its target.
    bool IsBackwardsUtilityUnit(CNode* unit) const;

    // ---- counts ----
    int GetDegreesOfFreedom() const override;
    int GetNumberOfUnknowns() const override;
    int GetNumberOfAreaSpecifiedExchangers() const override;
    int GetNumberOfConfiguredExchangers(int heater) const override;
    std::vector<HeatExch*> GetInfeasibleHeatExchangers() const override;
    std::vector<CNode*> GetHeaters() const override;
    std::vector<CNode*> GetCoolers() const override;
    std::vector<CNode*> GetIncompleteHeatExchangers() const override;
    std::vector<CNode*> GetInfeasibleFlaggedExchangerNodes() const override;

    // ---- costs and loads ----
    double GetTotalCapitalCost() const override;
    double GetTotalAnnualizedCapitalCost() const override;
    double GetTotalArea() const override;
    double GetTotalAddedArea() const override;
    int GetTotalNumberOfShells() const override;
    double GetUtilityLoad(const CPString& utilityName) const override;
    double GetUsedUtilityLoad(IHeatIntegrationStream* stream) const override;
    double GetUtilityCost(const CPString& utilityName) const override;
    double GetOperatingYearShare() const override;
    double GetTotalUtilityLoad(int side) const override;
    double GetTotalUtilityCost(int side) const override;
    double GetExchangerDutyOnStream(IHeatIntegrationStream* stream, int side) const override;
    double CalculateCapitalCost() override;
    double GetPaybackTime() const override;
    // Fills the utility-load dictionary from the duties of the exchangers on utility streams.
    void UpdateUtilityLoads();
    // Every exchanger's duty (only a known one with `knownOnly`) added, in the exchangers' order,
    // to the load of the utility on either side of it; each utility's name is looked up once.
    void SumUtilityLoads(bool knownOnly);
    void CalculateCrossPinchLoads();
    // While held, recalculations leave the cross-pinch loads as they are (a search that
    // recalculates for every trial reads none of them); letting go counts them for the network as
    // it then stands, when a recalculation was held back.
    void HoldCrossPinchLoads();
    void ReleaseCrossPinchLoads();
    // While kept, each process stream's heat content is read once for a run of recalculations
    // over which the process streams stay as they are (a search that moves duties and shares):
    // only the utilities, whose loads each recalculation swaps, are read for every one.
    void KeepProcessStreamProfiles();
    void ReleaseProcessStreamProfiles();
    int GetNumberOfCrossPinchLoads() const override { return static_cast<int>(m_crossPinchLoads.size()); }
    double GetCrossPinchLoad(int index) const override;
    double GetPinchPoint(int list, int index) const override;
    double GetLargeValue() const override { return 100000.0; }

    // ---- status ----
    int GetEditLockState() const override;
    int GetScenarioLockState() const override;
    bool GetOperationLocked() const override { return m_operationLocked; }
    int GetOperatingStateStatus() const override;
    // The status of the operating state the units hold: the executed schedule's, or the default
    // state's (0 not calculated, 1 converged, 2 not converged).
    int OperatingStatusInForce() const;
    int GetCalculationStatus() override;
    int GetUnusedFlag() const override { return 0; }
    bool IsExistingNetwork() const { return m_existingNetwork; }
    bool IsExistingNetworkLocked() const { return m_existingNetworkLocked; }
    void SetExistingNetworkLocked(bool locked) { m_existingNetworkLocked = locked; }
    bool IsActive() const { return m_active; }

    // ---- texts and settings ----
    const char* GetNotes() const override { return m_notes.c_str(); }
    void SetNotes(const CPString& notes) override { m_notes = notes; }
    const char* GetChangeLog() const override { return m_changeLog.c_str(); }
    void AddToChangeLog(const CPString& text) override;
    const char* GetStoredTextA() const override { return m_textA.c_str(); }
    void SetStoredTextA(const CPString& text) override { m_textA = text; }
    const char* GetStoredTextB() const override { return m_textB.c_str(); }
    void SetStoredTextB(const CPString& text) override { m_textB = text; }
    const char* GetStoredTextC() const override { return m_textC.c_str(); }
    void SetStoredTextC(const CPString& text) override { m_textC = text; }
    double GetDTMin() const override { return m_dtMin; }
    void SetDTMin(double dtMin) override { m_dtMin = dtMin; }
    double GetHTMaxAreaShell() const override { return m_htMaxAreaShell; }
    void SetHTMaxAreaShell(double area) override { m_htMaxAreaShell = area; }
    int GetIntegerOption() const override { return m_integerOption; }
    void SetIntegerOption(int option) override { m_integerOption = option; }
    bool GetIgnoreInfeasibleExchangers() const override { return m_ignoreInfeasible; }
    void SetIgnoreInfeasibleExchangers(bool ignore) override { m_ignoreInfeasible = ignore; }
    bool GetOptimizeExchangerDuties() const override { return m_optimiserOptions[0]; }
    void SetOptimizeExchangerDuties(bool on) override { m_optimiserOptions[0] = on; }
    bool GetOptimizeSplitFractions() const override { return m_optimiserOptions[1]; }
    void SetOptimizeSplitFractions(bool on) override { m_optimiserOptions[1] = on; }
    bool GetOptimizerOptionFlag() const override { return m_optimiserOptions[2]; }
    void SetOptimizerOptionFlag(bool on) override { m_optimiserOptions[2] = on; }
    void SetSkipStreamEndsUpdate(bool skip) override { m_skipStreamEnds = skip; }
    // Outside a retrofit scenario the flag is first set back.
    bool GetSkipStreamEndsUpdate();
    void MarkAsExistingNetwork() override { m_existingNetwork = true; }
    const NodeName& ExchangerNames() const { return m_exchangerNames; }
    const NodeName& TeeNames() const { return m_teeNames; }
    const NodeName& MixerNames() const { return m_mixerNames; }

    // ---- what later parts of the network design fill in ----
    bool IsLoopAnalysisEnabled() const override;
    // Setting it reruns the structure analysis.
    void SetLoopAnalysisEnabled(bool enabled) override;
    bool AreStreamTerminalsReady() const override;
    void RunOptimizerCheck() override;
    bool AreExchangerPortsFreeOfUtilities() const override;
    void SetDTMinFromNetwork() override;
    double GetDTMinFromNetwork() const override;
    void SetSplitFractionsFromBranchDuties() override;
    void AddDummyUtilitiesForExtraction() override;
    void RefreshDummyUtilityDuties() override;
    int RunOptimizer(int mode) override;
    bool PrepareExchangersAsRetrofitBase(double maxNewArea) override;
    void RefreshExistingNetworkValues() override;
    void TakeExistingNetworkValuesFrom(const IHENDesign& base) override;
    bool GetUpstreamNodeName(const CPString& nodeName, CPString& out) const override;
    bool GetDownstreamNodeName(const CPString& nodeName, CPString& out) const override;
    CPString GetNodeClassName(const CPString& nodeName) const override;
    bool GetNodeValue(const CPString& nodeName, const CPString& valueName, double& out) const override;
    int GetNodeValueStatus(const CPString& nodeName, const CPString& valueName) const override;
    CPString GetUnitName(const CPString& nodeName) const override;
    CNode* GetStreamSegment(const CPString& streamName, int n) const override;
    bool SpecifyExchangerValue(CNode* unit, const CPString& valueName, double value) override;
    bool GetExchangerPortTemperature(CNode* unit, int port, double& out) const override;
    bool GetExchangerBranchShare(CNode* unit, int side, double& share) const override;

    // ---- structure analysis and controllability ----
    NetworkStructureAnalysis& StructureAnalysis() { return *m_analysis; }
    ControllabilityCheck& Controllability() { return *m_control; }
    // Exchanger lists, sub-networks, loops, paths, independent loops, splitters, controllability.
    void RunStructureAnalysis();
    // The analysis flags and control records over the design's present streams, from what a
    // record or another design kept by stream name (defaults for the streams they do not name).
    void RestoreStreamSettings(const AnalysisStreamFlags& flags, const ControllabilityCheck::Selections& selections);
    // Whether a non-process stream takes part in the analysis; the full rerun follows.
    bool SetAnalysisStreamFlag(IHeatIntegrationStream* stream, bool takesPart) override;
    // Stores the flag and reruns the controllability pass.
    bool SetControlUnitSelected(int index, bool selected) override;
    bool SetControlUnitKind(int index, unsigned int kind) override;
    // The control kind of a process stream; 0 for any other.
    unsigned int GetUnitControlKind(IHeatIntegrationStream* stream) const override;
    int IsHeatExchangerOnPathOrLoop(int index) const override;
    const char* GetControllabilityVerdict() const;

    // ---- what the views read of the analysis (HENDesignAnalysis.cpp) ----
    std::vector<std::uint32_t> GetAllDNAFingerPrints() const override { return m_sheet->getAllDNAFingerPrints(); }
    int GetNumberOfAnalysisStreams() const override;
    int GetAnalysisStreamFlag(int index) const override;
    int GetAnalysisStreamFlagOf(IHeatIntegrationStream* stream) const override;
    const char* GetAnalysisStreamName(int index) const override;
    int GetNumberOfSubNetworks() const override;
    int GetNumberOfUnitsInSubNetwork(int index) const override;
    std::uint32_t GetSubNetworkUnitFingerPrint(int index, int unit) const override;
    const char* GetSubNetworkName(int index) const override;
    int GetNumberOfLoops() const override;
    int GetNumberOfIndependentLoops() const override;
    int GetNumberOfUnitsInLoop(int index) const override;
    const char* GetLoopName(int index) const override;
    const char* GetLoopUnitName(int index, int unit) const override;
    std::vector<CNode*> GetLoopUnits(int index) const override;
    int GetNumberOfPaths() const override;
    int GetNumberOfIgnoredDummyUtilities() const override;
    int GetNumberOfUnitsInPath(int index) const override;
    std::vector<CNode*> GetPathUnits(int index) const override;
    const char* GetPathName(int index) const override;
    const char* GetPathUnitName(int index, int unit) const override;
    const char* GetPathStartName(int index) const override;
    const char* GetPathEndName(int index) const override;
    std::vector<CNode*> GetExchangersOnStreamSide(IHeatIntegrationStream* stream, int side) const override;
    std::vector<CNode*> GetExchangersWithUtilitiesAtPorts() const override;
    std::vector<CNode*> GetHeatExchangerNodes() const override { return m_exchangers; }
    std::vector<CNode*> GetSplittersOnStream(IHeatIntegrationStream* stream) const override;
    int GetNumberOfControlUnits() const override;
    bool IsControlUnitSelected(int index) const override;
    bool IsUnitSelectedForControl(IHeatIntegrationStream* stream) const override;
    unsigned int GetControlUnitKind(int index) const override;
    const char* GetControlUnitName(int index) const override;
    int GetNumberOfNetworkUnits() const override;
    int GetNumberOfControlSelections() const override;
    int GetRemainingControlFreedom() const override;
    int GetSubNetworkNumberOfUnits(int index) const override;
    int GetSubNetworkNumberOfControlSelections(int index) const override;
    int GetSubNetworkNumberOfLoops(int index) const override;
    int GetSubNetworkRemainingControlFreedom(int index) const override;
    const char* GetControllabilityText() const override { return GetControllabilityVerdict(); }

    // ---- case file ----
    bool Store(ILurmetBinaryFile& file) const override;
    bool Recall(ILurmetBinaryFile& file) override;

    // ---- network calculator ----
    // The design's calculator over its flowsheet (built when the design is made or read back).
    HENCalculator& GetNetworkCalculator();
    // Solves the whole network as one system (the recalculation of a locked design): builds the
    // calculator afresh, solves, closes the utility sides, refreshes the exchangers' areas and
    // the utility loads, and takes over the calculator's status text. Answers the calculation
    // status (1 converged, 2 "NotConverged", 0 failed).
    int RunNetworkCalculator();

private:
    CPString NextFreeUnitName(NodeName& names, bool nodeNames) const;
    // The splitters of utility streams with their mixers, utility by utility in the scenario's
    // order (HENDesignUtilitySplitNames.cpp).
    std::vector<std::pair<CNode*, CNode*>> UtilitySplits() const;
    // Whether a process exchanger's temperatures cross (a negative duty counts): the one fault a
    // tear duty or the loops given by area are held back for. A unit merely inside DTmin, or a
    // heater or cooler run backwards, is not one.
    bool AnyProcessExchangerCrossed() const;
    // Marks the units on a utility with their side on it while it counts as a process stream
    // (side -1 takes the mark off).
    void markUnitsOnCountedUtility(const IHeatIntegrationStream& utility, int side);

    struct Journal {
        std::vector<std::function<void()>> undo;
        std::vector<CNode*> pendingDeletes;
    };

    // Editing steps; under a journal each records its inverse.
    CNode* NewNode(const char* kind, IHeatIntegrationStream* stream);
    bool Connect(CNode* up, CNode* down, int upSlot = -1, int downSlot = -1);
    bool Disconnect(CNode* up, CNode* down);
    void RemoveNode(CNode* node);
    void SetText(CNode* node, const char* name, const CPString& text);
    void SetNumber(CNode* node, const char* name, double value, int status);
    void IndexUnit(IHeatIntegrationStream* stream, CNode* unit);
    void UnindexUnit(IHeatIntegrationStream* stream, CNode* unit);
    void BeginJournal();
    void CommitJournal();
    void RollBackJournal();

    bool IsEditLocked() const { return GetEditLockState() == 1; }
    // Whether the node is one of this design's (a node of another design is refused by every edit).
    bool Owns(const CNode* node) const { return node && node->getFlowSheet() == m_sheet.get(); }
    std::vector<CNode*>* UnitsOf(const CPString& streamName);
    const std::vector<CNode*>* UnitsOf(const CPString& streamName) const;
    bool HasStream(const IHeatIntegrationStream* stream) const;
    void Recalculate(int code);
    // Clears and propagates the set; answers the open values left.
    int RecalculateSet(const std::vector<CNode*>& set, const std::vector<CNode*>& flagged, int code);
    // The tear's duty goes back to open and its area to the specified value.
    void RestoreTear(CNode* exchanger, double specifiedArea);
    // The port's segment, and the node next to it (before an inlet, after an outlet).
    CNode* PortSegment(CNode* unit, int port) const;
    CNode* PortNeighbour(CNode* unit, int port) const;
    // Whether the network stays not over-specified without the placeholder; `degreesOfFreedom`,
    // when given, is the network's count as it stands, which spares counting it again.
    bool RemovePlaceholderTrial(CNode* placeholder, CNode* gone, const int* degreesOfFreedom = nullptr);
    bool CanRemoveUtilityAtPort(CNode* unit, int port, const int* degreesOfFreedom);
    int DegreesOfFreedomAt(CNode* unit) const;
    int localCount(const std::vector<CNode*>& nodes) const;
    CNode* StreamBlock(const CPString& streamName, const char* suffix) const;
    // "<stream><suffix>", or, when a node bears it, the first of "<stream><suffix>_2", "_3", ...
    // that no node bears.
    CPString FreeBlockName(const CPString& streamName, const char* suffix) const;
    double RetrofitCapitalCost() const;
    // After every change of the network or its prices: the retrofit capital is worked out afresh
    // when next asked, and a design set against a retrofit base (not the base itself) has what it
    // adds to each unit over the base ("AddArea", "AdShell", "AddCapCost") measured as it is now.
    void RefreshRetrofitFigures();

    IHeatIntegrationScenario* m_scenario;
    std::unique_ptr<IExchangerCostLaw> m_costLaw;
    std::unique_ptr<FlowSheet> m_sheet;
    CPString m_name;
    bool m_hasName = false;

    std::vector<CNode*> m_exchangers;
    std::unordered_map<std::string, std::vector<CNode*>> m_unitsByStream;
    std::vector<IHeatIntegrationStream*> m_streams;
    std::unordered_set<const IHeatIntegrationStream*> m_streamSet;  // the same streams, for look-ups
    std::unordered_map<std::string, double> m_utilityLoads;
    // Each exchanger's two sides as the utility loads read them: the segment a side is found
    // by, the flowsheet stream that segment belongs to, and its heat-integration stream. The loads
    // are summed after every trial of an optimiser; finding each side's stream anew (two dynamic
    // casts a side) was most of that. Checked against the exchangers and their segments at
    // every sum and found again when anything moved.
    struct ExchangerSides {
        CNode* node = nullptr;
        HeatExch* exchanger = nullptr;
        const CNode* segment[2] = {nullptr, nullptr};
        const void* flowsheetStream[2] = {nullptr, nullptr};
        IHeatIntegrationStream* stream[2] = {nullptr, nullptr};
    };
    std::vector<ExchangerSides> m_exchangerSides;
    // Whether m_exchangerSides still describes m_exchangers; finds it again otherwise.
    void RefreshExchangerSides();
    std::vector<double> m_crossPinchLoads;
    std::unique_ptr<std::vector<double>> m_firstPinch, m_secondPinch;

    mutable double m_totalCapitalCost = 0.0;
    mutable double m_retrofitCapitalCost = 0.0;
    mutable double m_paybackTime = 0.0;
    CPString m_changeLog, m_textA, m_textB, m_textC, m_notes, m_calculationStatus;
    bool m_active = true;
    int m_nesting = 0;
    NodeName m_exchangerNames{"E-", 100};
    NodeName m_teeNames{"TEE-", 100};
    NodeName m_mixerNames{"MIX-", 100};
    bool m_existingNetwork = false;
    bool m_existingNetworkLocked = false;
    bool m_operationLocked = false;
    bool m_optimiserOptions[3] = {true, true, true};
    double m_dtMin = 10.0;
    double m_htMaxAreaShell = 500.0;
    int m_integerOption = 3;
    bool m_ignoreInfeasible = false;
    bool m_skipStreamEnds = false;
    std::unique_ptr<NetworkStructureAnalysis> m_analysis;
    std::unique_ptr<ControllabilityCheck> m_control;
    int m_busy = 0;

    // Utilities swapped in while the design calculates, with the loads they had before.
    std::vector<IHeatIntegrationStream*> m_usedUtilities;
    std::unordered_map<std::string, double> m_parkedLoads;
    // Tear exchangers of the last full solution (by fingerprint, so an edit that deletes one
    // leaves nothing dangling), their specified areas and duties; the exchangers the partial
    // solution has solved, and the duty it last converged to.
    std::vector<std::uint32_t> m_tears;
    std::vector<double> m_tearAreas, m_tearDuties;
    std::vector<std::uint32_t> m_rememberedTears;
    double m_rememberedDuty = 0.0;
    int m_lastOpenValues = 0;
    long m_unitCalculations = 0;
    bool m_crossPinchHeld = false, m_crossPinchOwed = false;

    std::unique_ptr<Journal> m_journal;
    std::unique_ptr<HENCalculator> m_calculator;

public:
    // ---- utility placement and stream terminals (HENDesignUtilityPlacement.cpp,
    // HENDesignStreamTerminals.cpp) ----
    void AddMissingUtilities() override;
    void RemoveUtilitiesAfterMixers() override;
    int AddUtilitiesAtStreamEnds() override;
    int MoveUtilityToStreamEnd(CNode* exchanger, const CPString& streamName, const char* reason) override;
    int MoveUtilityBesideOthers(CNode* exchanger, const CPString& streamName, const char* reason) override;
    int MoveUnitBefore(CNode* unit, CNode* before) override;
    int StandBesideOthers(CNode* exchanger, const char* reason) override;
    UtilitySplitNumbers FirstUtilitySplitNumbers() const override;
    void NumberUtilitySplits(UtilitySplitNumbers first) override;
    int RenameUnit(const CPString& newName, CNode* unit) override;
    void SetSplitFractionsFromDuties() override;
    void UpdateStreamTerminals() override;
    // From a stream's feed block down to its product block: takes out the placeholders that
    // stand between two units or after the last unit (each with its segment), appending what it
    // took out to `removed` (the nodes are deleted). Answers the number of placeholders removed.
    int RemoveStrayPlaceholders(CNode* start, std::vector<CPString>* removed);
    // The summed "Duty" of the exchangers on a splitter's branch from its first segment down to
    // the mixer; false when the branch meets a placeholder or an exchanger without a duty.
    bool GetBranchDuty(CNode* branch, double& duty) const;

    // ---- exchanger specifications, feasibility and queries (HENDesignSpecifications.cpp) ----
    void MakeNetworkFeasible(CNode* exchanger) override;
    double GetMaximumMatchDuty(CNode* exchanger) const override;
    void ApplyDTMinToAllExchangers() override;
    void ApplyHTMaxAreaShellToAllExchangers() override;
    void SetExchangerDTMinsFromApproach(double value) override;
    void LowerNamedExchangerDuty() override;
    int LetUtilityExchangersFollowDemand() override;
    int LetEndUtilitiesFollowExchanger(CNode* exchanger) override;
    void RemoveSingleBranchSplitters() override;
    void RemoveRemovableUtilitiesAtPorts() override;

    // ---- the ends of the process streams (HENDesignStreamEnds.cpp) ----
    int CloseStreamEnds(const char* reason) override;

    // ---- shells in series of units given by their area (HENDesignShellCounts.cpp) ----
    std::string SettleShellCountsOfGivenAreas() override;

    // ---- reconciliation and optimiser runs (HENDesignReconciliation.cpp) ----
    bool Reconcile() override;
    bool ReconcileFailed() const override { return m_reconcileFailed; }
    // The maker of the optimiser and its check (not owned; null: no optimiser is available). The
    // check made by an earlier provider goes with it.
    void SetNetworkOptimiserProvider(INetworkOptimiserProvider* provider) {
        m_optimiserProvider = provider;
        m_optimiserCheck.reset();
    }
    INetworkOptimiserProvider* GetNetworkOptimiserProvider() const { return m_optimiserProvider; }
    // The findings of the last optimiser check; null before the first or without an optimiser.
    const IOptimiserCheck* GetOptimiserCheck() const override { return m_optimiserCheck.get(); }
    const char* GetOptimiserStatusText() const override { return m_optimiserStatus.c_str(); }

private:
    // The heater or cooler nearest the target of a stream that its exchangers settle, its duty
    // given up; answers 1 when one gave it up. `throughEndUtility`: also when the design's own
    // utility at the stream's end follows it (that utility goes).
    int ReleaseEndUtilityDuty(IHeatIntegrationStream* stream, bool throughEndUtility);
    // The heater or cooler that ends a process stream takes the `residual` load its end
    // placeholder carried (the placeholder goes and a given duty opens); false when the stream
    // ends otherwise or a given duty would turn round.
    bool LetEndUnitTakeResidual(IHeatIntegrationStream* stream, double residual);
    // The utility a heater (`heating`) or cooler takes a process stream on from `from` to `to` C.
    IHeatIntegrationStream* ChooseEndUtility(const std::vector<IHeatIntegrationStream*>& utilities, bool heating,
                                             double from, double to) const;
    // The heater or cooler that takes over the load the utility at the stream's end carries.
    // The segment of the utility's chain a new heater or cooler ending a stream at `target` goes on.
    CNode* EndUtilitySlot(IHeatIntegrationStream* utility, bool heating, double target) const;
    CNode* PlaceEndUtilityExchanger(IHeatIntegrationStream* stream, IHeatIntegrationStream* utility,
                                    const std::string& name, const char* reason);
    // Takes out the empty utility at the end of a stream that its units settle, giving up the
    // duty nearest the target when the network has no degree of freedom to lose; answers the
    // change of the degrees of freedom (0 or -1).
    int RemoveEmptyEndUtility(IHeatIntegrationStream* stream, int degreesOfFreedom);
    // The splitters whose branch fractions follow their branch duties (only those on utility
    // streams when `utilitiesOnly`); answers the number of splitters set.
    int SetFractionsFromDuties(bool utilitiesOnly);
    // Whether the exchanger's known values contradict each other.
    static bool IsOverSpecified(CNode* exchanger);

    INetworkOptimiserProvider* m_optimiserProvider = nullptr;
    std::unique_ptr<IOptimiserCheck> m_optimiserCheck;
    CPString m_optimiserStatus;

    // ---- operation (HENDesignOperatingLock.cpp), schedules and studies (HENDesignSchedules.cpp) ----
public:
    static constexpr int CodeScheduleAdded = 8;
    static constexpr int CodeScheduleRenamed = 9;
    static constexpr int CodeScheduleListChanged = 12;
    static constexpr int CodeDefaultStudyCreated = 100;
    static constexpr int CodeStudyAdded = 101;
    static constexpr int CodeStudyRenamed = 103;
    static constexpr int CodeOperationUnlocked = 112;

    int CheckOperationLockable() override;
    void LockOperation() override;
    void ModifyOperation() override;
    void UnlockOperation() override;
    // The recalculation of a locked design: stream links into balance, the network calculator,
    // then the duty a utility exchanger cannot carry moved to the end utilities.
    void RecalculateLockedOperation();
    // The network calculator; where its linear system cannot be solved, the units one by one.
    void SolveLockedNetwork();
    // Whether the solved locked network is at an operating point: every process stream the design
    // satisfied at the lock meets its target and no exchanger runs backwards.
    bool OperatingPointHolds() const;
    // Brings the scenario's stream links into balance with the solved network.
    void UpdateStreamLinks();
    // Whether a solved operating state other than the default one is held in the units.
    bool HoldsOperatingSolution() const { return m_operatingSolution != 0; }
    IHENState* GetDefaultState() override;
    HENState& DefaultState();
    // The operating state is taken from the network the locked operation solved, with whether
    // that solution converged.
    // `samePlant`: the default state written back and solved again (a reset), which changes no
    // result; otherwise a change of the state's inputs marks every what-if result stale.
    void TakeOperatingState(bool samePlant = false);
    // Every schedule's and study's results are not solved; with the default state as it was
    // before the change (`before`), their events follow the plant's new values.
    void MarkOperatingResultsStale(const HENState* before = nullptr);
    void LeaveOperatingSolution();
    void TakeTypedStreamValues(IHeatIntegrationStream& stream);
    void TakeTypedUnitValues();
    void ResetDefaultState() override;

    bool AddNewSchedule() override;
    int AddSchedule(const CPString& name) override;
    bool RemoveSchedule(const CPString& name) override;
    bool SelectSchedule(const CPString& name) override;
    void SetCurrentSchedule(IHENSchedule* schedule) override;
    bool RenameSchedule(const CPString& oldName, const CPString& newName) override;
    IHENSchedule* FindOperatingSchedule(const CPString& name) const override;
    IHENSchedule* GetOperatingSchedule(int index) const override;
    IHENState* GetOperatingScheduleState(int index) const override;
    const char* GetScheduleName(int index) const override;
    int GetNumberOfSchedules() const override { return static_cast<int>(m_schedules.size()); }
    bool CanExecuteSchedule(const CPString& name) const override;
    int GetScheduleSolutionStatus(const CPString& name) const override;
    const char* GetCurrentScheduleName() const override;
    const char* GetExecutedScheduleName() const override;
    const char* GetWhatIfStreamNote(const char* stream) const override;
    bool IsReservedScheduleName(const CPString& name) const override;
    void ExecuteSchedule() override;
    const char* JudgeWhatIfEvents(const IHENSchedule* run, const char* runName) override;
    const char* JudgeWhatIfResult(const char* runName) override;
    const char* GetWhatIfRunRefusal() const override { return m_whatIfRefusal.empty() ? nullptr : m_whatIfRefusal.c_str(); }
    const char* GetOperatingPointRefusal() const override {
        return m_operatingPointRefusal.empty() ? nullptr : m_operatingPointRefusal.c_str();
    }
    CPString JudgeOperatingPoint(const CPString& prefix) const;
    std::unique_ptr<KeptOperatingPoint> KeepOperatingPoint() override;
    void GiveBackOperatingPoint(KeptOperatingPoint& kept) override;
    int GetNumberOfScheduleEvents() const override;
    int GetNumberOfEventTypes() const override;
    int GetNumberOfEventTargets(const char* type) const override;
    const char* GetEventTypeName(int index) const override;
    const char* GetEventTargetName(const char* type, int index) const override;
    void SetCurrentEventNewValue(double value) override;
    const char* GetCurrentEventValueRefusal(double value) const override;
    const char* GetCurrentEventVariableName() const override;
    const char* GetEventValueRefusal(const IHENEvent* event, double value) const override;
    const char* GetTargetValueRefusal(const char* variable, const char* target, double value) const override;
    // The refusal of `value` for `variable` on `target` with the other values `run` gives the
    // stream (none without a run).
    const char* TargetValueRefusal(const HENOperatingSchedule* run, const char* variable, const char* target,
                                   double value) const;
    const char* AddEventToSchedule(const char* type, const char* target) override;
    const char* GetScheduleEventName(int index) const override;
    const char* GetCurrentEventName() const override;
    const char* GetScheduleEventDescription(int index) const override;
    const char* GetCurrentEventDescription() const override;
    const char* GetCurrentEventTypeName() const override;
    double GetCurrentEventBaseValue() const override;
    double GetCurrentEventNewValue() const override;
    int GetCurrentEventValueKind() const override;
    bool RemoveCurrentEvent() override;
    bool SelectScheduleEvent(const char* name) override;
    const char* FindScheduleEventLabel(const char* type, const char* target) const override;
    bool AddEventToCurrentSchedule(const char* type, const char* target) override;

    void AddStudy() override;
    int GetNumberOfStudies() const override { return static_cast<int>(m_studies.size()); }
    IHENTrend* GetStudy(int index) const override;
    IHENTrend* GetDefaultStudy() const override;
    bool SelectStudy(const CPString& name) override;
    bool SelectStudyCleaningEvent(const CPString& key) override;
    bool SelectStudySpecialEvent(const CPString& key) override;
    bool DeleteCurrentStudy() override;
    const char* GetCurrentStudyName() const override;
    bool RenameStudy(const CPString& oldName, const CPString& newName) override;
    void CalculateCurrentStudy() override;
    void CalculateDefaultStudy() override;
    int GetDefaultStudyStatus() const override;
    void DeleteAllStudies() override;

private:
    void RestateStreamsForOperation();
    void RemoveUtilitiesAtExchangerPorts();
    // The lock puts a utility at every stream end after an exchanger or a mixer, keeping the
    // outlet temperature it had (unlike AddUtilitiesAtStreamEnds, which stops once the network
    // is determined).
    void AddOperatingEndUtilities();
    void RespecifySplitFractions();
    // A network stored with the shares of a split on a branch taken of the whole stream (as
    // earlier builds left a locked network) gets them back as shares of the splitter's inflow.
    void RestateNestedBranchShares();
    void ResetEndUtilityDuties();
    void FreezeExchangerPerformance(bool all);
    void DestroySchedulesAndStudies();
    struct KeptPoint;
    // The trend studies go, the default one too; the next is made of the network as it then is.
    // Those set aside by a lock go as well.
    void DestroyStudies();
    // The lock's own work, from suspending the scenario's calculations to resuming them.
    void FreezeForOperation();
    // The studies made of the unlocked network, set aside while the lock is tried; taken back when
    // it is refused, destroyed when the locked network makes its first study (their views have let
    // go of them by then) or the design is unlocked.
    void SetStudiesAside();
    void TakeBackStudiesSetAside();
    void DestroyStudiesSetAside();
    // A unit or stream renamed: the operating state, the schedules and the studies follow.
    void RenameOperatingTarget(const CPString& oldName, const CPString& newName, bool stream);
    HENOperatingSchedule* FindSchedule(const CPString& name) const;
    // Makes the index of the schedules by name anew (after the list was read or reordered).
    void IndexSchedules() const;

    std::unique_ptr<HENState> m_state;
    mutable std::string m_whatIfStreamNote;  // the text GetWhatIfStreamNote answers
    std::vector<std::unique_ptr<HENOperatingSchedule>> m_schedules;
    // The position of each schedule's name in m_schedules (the first of a name): an event plan
    // makes thousands of schedules, each looked up by name as it is made and filled.
    mutable std::unordered_map<std::string, std::size_t> m_scheduleIndex;
    HENOperatingSchedule* m_currentSchedule = nullptr;
    int m_scheduleCounter = 1;
    CPString m_executedSchedule;
    // Why the last what-if run was refused; empty when it held.
    CPString m_whatIfRefusal;
    // Why the default point the units last solved is none the plant can run at (empty: it is),
    // or why the lock just undone was undone.
    CPString m_operatingPointRefusal;
    std::unique_ptr<HENTrend> m_defaultStudy;
    std::vector<std::unique_ptr<HENTrend>> m_studies;
    HENTrend* m_currentStudy = nullptr;
    int m_studyCounter = 1;
    std::unique_ptr<HENTrend> m_defaultStudyAside;
    std::vector<std::unique_ptr<HENTrend>> m_studiesAside;
    HENTrend* m_currentStudyAside = nullptr;
    int m_studyCounterAside = 1;
    int m_operatingSolution = 0;
    bool m_reconcileFailed = false;

    // ---- case file (HENDesignRecord.cpp, HENDesignRecordRead.cpp) ----
public:
    // The design record's version; versions 1 to this one are read.
    static constexpr int RecordVersion = 22;

private:
    // The operating-point refusal as the record holds it.
    CPString heldOperatingPointRefusal() const;
    // Reads the record into this design as its constructor left it: the items the record's
    // version holds and the migrations of older versions. False at the first failed read.
    bool ReadRecord(ILurmetBinaryFile& file);
    bool ReadOlderSchedules(ILurmetBinaryFile& file);
    bool ReadStudies(ILurmetBinaryFile& file);
    bool ReadSchedules(ILurmetBinaryFile& file);
    // Whether the operating records read hold together: the names they give are the case's, and
    // a locked design's state is its own snapshot of the streams.
    bool OperatingRecordsHold() const;
    // The values older records kept otherwise on their exchangers.
    void MigrateExchangerValues(int version);
    bool StoreStudies(ILurmetBinaryFile& file) const;
    bool StoreSchedules(ILurmetBinaryFile& file) const;
    // Takes over the whole of a design read from a record; `read` is left with what this design
    // held and goes with it.
    void TakeOverRecalled(CPIHENDesign& read);
};
