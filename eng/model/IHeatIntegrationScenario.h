#pragma once
// The interface of a scenario: one heat-integration case study of a project, with its streams,
// utilities, designs, targets and settings. Targeting, designs, retrofit, automatic design,
// extraction, the views and the plots reach the scenario only through it. The operations keep
// the order the host's callers were built against.
//
// Conventions: 1 done / 0 refused; texts handed out as const char* point into the scenario and
// stay valid until what they name changes; a query whose record does not exist answers its
// neutral value (0, 0.0, -1, -32767.0 or null).
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"

#include <functional>
#include <vector>

class Case;
class CPList;
class DataExtractionConfig;
class DefaultManager;
class IAdvancedSuperTarget;
class IDefaultUtilityManager;
class IHENDesign;
class IHeatIntegrationProject;
class IHeatIntegrationStream;
class ReportHolder;
class StreamLynxCollection;
class UnitsTargetData;

class IHeatIntegrationScenario : public virtual INotificationSender, public virtual INotificationReceiver {
public:
    ~IHeatIntegrationScenario() override = default;

    // The design in which an extraction from a simulator case holds the plant's existing network.
    static constexpr const char* ExtractedNetworkDesignName = "SimulationBaseCase";

    virtual int GetNumberOfDesigns() const = 0;
    // Designs added over the scenario's life (deleted ones still count); names new designs.
    virtual int GetDesignCounter() const { return GetNumberOfDesigns(); }
    virtual const char* GetDesignName(int index) const = 0;
    virtual const char* GetName() const = 0;
    virtual IHeatIntegrationProject* GetProject() const = 0;
    // kind 0 process, 1 utility, 2 linked process stream.
    virtual int AddStream(const CPString& name, int kind) = 0;
    virtual void UpdateStreamFromDefaultUtility(const CPString& name) = 0;
    virtual int InsertStream(const CPString& name, IHeatIntegrationStream* stream, DefaultManager* siteManager) = 0;
    virtual int DeleteStream(const CPString& name) = 0;
    // kind 0 process, 1 utility, 4 any; side 0 hot, 1 cold, 2 both.
    virtual bool GetStreamOfKind(int index, IHeatIntegrationStream*& out, int kind, int side) const = 0;
    virtual bool GetStream(const CPString& name, IHeatIntegrationStream*& out) const = 0;
    virtual bool GetStream(int index, IHeatIntegrationStream*& out) const = 0;
    virtual int RenameStream(const CPString& oldName, const CPString& newName) = 0;
    // kind 0 by dictionary order, 1 all designs ranked, 2 complete designs ranked.
    virtual bool GetDesign(int index, IHENDesign*& out, int kind) const = 0;
    virtual bool GetDesign(const CPString& name, IHENDesign*& out) const = 0;
    virtual bool GetRetrofitBaseDesign(IHENDesign*& out) const = 0;
    virtual int AddDesign(const CPString& name) = 0;
    // Refused (0) for a name in use and for the extraction's own design name, which no design
    // of the user's may take: the extraction writes the plant's existing network into it.
    virtual int RenameDesign(const CPString& oldName, const CPString& newName) = 0;
    virtual int DeleteDesign(const CPString& name) = 0;
    virtual int CloneDesign(const CPString& name, IHENDesign* source) = 0;
    virtual int SetDTmin(double dTmin) = 0;
    virtual int ResumeCalculations(bool recompute) = 0;
    virtual int SuspendCalculations() = 0;
    // An edit of one of the scenario's streams (`edit` answers the key it refuses with, or null),
    // tried on the designs locked for operation: where a locked design's heaters, coolers or
    // utilities cannot run at the point the edit leaves, the stream, the targets and every design
    // are given back exactly as they were (nothing is calculated again), "OpDesInfes" is
    // answered and the design's reason goes to `reason`. Otherwise the edit's own answer.
    virtual const char* TryStreamEditOnLockedDesigns(IHeatIntegrationStream& stream,
                                                     const std::function<const char*()>& edit, CPString& reason) {
        (void)stream;
        (void)reason;
        return edit();
    }
    // A change of the operated plant (a lock, say) that judges itself: `change` answers its key and
    // leaves a reason where the plant cannot run at the point it leaves. Then the `streams` it may
    // have changed, the targets and every design are given back exactly as they were before it.
    // Answers the change's key.
    virtual const char* TryOperatingChange(const std::vector<IHeatIntegrationStream*>& streams,
                                           const std::function<const char*(CPString& reason)>& change, CPString& reason) {
        (void)streams;
        return change(reason);
    }
    virtual void CalculateMinimumUnitsTarget() = 0;
    virtual bool IsStreamNameFree(const CPString& name) const = 0;
    // The extractions answer 1 when the case was read into the scenario (a spreadsheet: its
    // case extracted or its segment table written), 0 when it was not.
    virtual int ExtractFromVelmorCase(const CPString& path, Case* caseObject) = 0;
    virtual int ExtractFromQuorvexCase(const CPString& path, Case* caseObject) = 0;
    virtual int ExtractFromProIICase(const CPString& path, Case* caseObject) = 0;
    virtual int ExtractFromExcelFile(const CPString& path, Case* caseObject) = 0;
    virtual int ExtractFromCase(const char* caseName) = 0;
    virtual bool HasCaseDesign(const CPString& designName) const = 0;
    virtual int AssignUtilityLoads() = 0;
    virtual int GetDefaultUtilityManager(IDefaultUtilityManager*& out) = 0;
    virtual void SmartCompleteDesign(const CPString& designName) = 0;
    virtual void AutomaticHENDesign(void* argument) = 0;
    virtual int GetReportHolder(ReportHolder*& out) = 0;
    virtual bool HasSuperTargetResults() const = 0;
    virtual bool IsRetrofitScenario() const = 0;
    virtual bool HasSegmentedStreams() const = 0;
    virtual double GetUnitsTargetEntryValue(int position, int entry, int group) const = 0;
    virtual double GetAreaTarget(int kind) const = 0;
    virtual double GetEconomicData(int type, const char* setName) const = 0;
    virtual double GetAreaTargetMatchValue(int selector, int index) const = 0;
    virtual double GetPinchTemperature(int side, int index) const = 0;
    virtual double GetProcessPinchTemperature(int side) const = 0;
    virtual double GetPinchListEntryFirstValue(int index) const = 0;
    virtual double GetPinchListEntryThirdValue(int index) const = 0;
    // A point of a curve (coordinate 0 temperature, 1 heat flow). Kind 6 is the utility
    // composite profile through the boundaries of the hot and the cold utilities, 7 its cold
    // utilities alone, 16 the part of 6 the hot utilities span (its points from the top down to
    // the last hot-utility boundary).
    virtual double GetTargetCurveValue(int kind, int coordinate, int index) const = 0;
    virtual double GetMatchValue(int index) const = 0;
    virtual double GetUtilityTarget(int side) const = 0;
    virtual double GetCostTarget(int code) const = 0;
    virtual double PointTargetValue(int index, int selector) const = 0;
    virtual double GetDTmin() const = 0;
    virtual double GetAutomaticDesignResultA() const = 0;
    virtual double GetAutomaticDesignResultB() const = 0;
    virtual double GetAutomaticDesignSumValue(int index) const = 0;
    virtual double GetAutomaticDesignMatchLoad(int index) const = 0;
    virtual int GetStreamsAtCurvePoint(int kind, double load, double temperature, CPString& out) const = 0;
    virtual const char* GetMatchCostModelName(const CPString& hotName, const CPString& coldName) = 0;
    virtual const char* GetUnitsTargetEntryName(int position, int entry, int group) const = 0;
    virtual const char* GetAutomaticDesignListName(int index) const = 0;
    virtual const char* GetAutomaticDesignMatchStreamName(int index, int side) const = 0;
    virtual const char* GetAutomaticDesignUnloadedMatchStreamName(int index, int side) const = 0;
    virtual const char* GetNotes() const = 0;
    virtual const char* GetMatchCostModelNameAt(int index) = 0;
    virtual const char* FindIncompleteCostModel() = 0;
    virtual const char* GetAutomaticDesignMessage() const = 0;
    virtual int SetMatchCostModelName(const CPString& hotName, const CPString& coldName, const CPString& model) = 0;
    virtual void RetrofitDesign(IHENDesign* design, int mode) = 0;
    virtual void SetRetrofitBaseDesign(const CPString& name) = 0;
    virtual const char* GetRetrofitBaseDesignName() const = 0;
    virtual void DeleteRetrofitResultDesign() = 0;
    // The newest design that the last retrofit run kept, when that run started from `from` in
    // `mode`; null when it kept none, another run came since or the design has been deleted.
    virtual IHENDesign* GetRetrofitRunResult(const IHENDesign* from, int mode) const = 0;
    // The mode of the last retrofit run when it started from `from` and kept a design; -1 otherwise.
    virtual int GetRetrofitRunMode(const IHENDesign* from) const {
        (void)from;
        return -1;
    }
    virtual double GetRetrofitBaseUtilityCost() const = 0;
    virtual double GetRetrofitBaseCapitalCost() const = 0;
    virtual int CheckRetrofitDesign(IHENDesign* design) = 0;
    virtual bool CanRetrofitDesign(IHENDesign* design) const = 0;
    virtual int OptimizeDesign(IHENDesign* design, int mode, bool keep) = 0;
    virtual int GetNumberOfCompleteDesigns() const = 0;
    virtual int GetNumberOfProcessStreams() const = 0;
    virtual int GetNumberOfUtilityStreams() const = 0;
    virtual int GetNumberOfStreamsOfKind(int kind, int side) const = 0;
    virtual int GetPinchListEntrySide(int index) const = 0;
    virtual int GetMinimumNumberOfUnits(int kind) const = 0;
    virtual int GetNumberOfUnitsTargetGroups() const = 0;
    virtual int GetNumberOfUnitsTargetEntries(int group) const = 0;
    virtual int GetNumberOfUnitsTargetEntryNames(int group, int entry) const = 0;
    virtual int GetNumberOfAreaTargetMatches() const = 0;
    virtual int GetMinimumNumberOfUnitsByMILP() const = 0;
    virtual int GetNumberOfPinchPoints() const = 0;
    virtual int GetNumberOfPockets() const = 0;
    virtual int GetNumberOfCurvePoints(int kind) const = 0;
    virtual int GetPinchProblemType() const = 0;
    virtual int GetNumberOfShellsTarget() const = 0;
    // Whether the shells target is a cap reached rather than a count.
    virtual bool IsShellsTargetCapped() const { return false; }
    // The same for supertargeting point `index` (false for no such point).
    virtual bool IsPointShellsTargetCapped(int /*index*/) const { return false; }
    // Whether the area and shells targets, and the capital and total annual costs that rest on
    // them, are results: 0 not computed (no valid utility placement), 1 computed, 2 not available
    // because heat would have to pass where the balanced composite curves touch or cross (no
    // positive driving force), 3 not available because the area LP could not exchange the loads,
    // 4 not available because the area LP is too large to solve even over a grid of temperatures
    // (more stream segments than the load rows it is solved with; it was not built).
    // Where they are not results they answer 0.
    virtual int GetAreaTargetState() const { return 0; }
    // The width (K) of the grid of shifted temperatures the area LP was last solved over (a
    // scenario too large for its own intervals: every stream's shifted ends moved to the grid,
    // loads kept); 0 when it was solved over its own intervals or not at all.
    virtual double GetAreaLPGridStep() const { return 0.0; }
    virtual int GetUtilityAssignmentStatus(int side) = 0;
    virtual int GetNumberOfSuperTargetPoints() const = 0;
    virtual int ValidateTargetMethodsForForbiddenMatches() = 0;
    virtual int HasSuperTargetPointAtDTmin(double dTmin) const = 0;
    virtual int GetAutoDesignListLength() const = 0;
    virtual int GetNumberOfAutoDesignLoadedItems() const = 0;
    virtual int GetNumberOfAutoDesignUnloadedItems() const = 0;
    virtual int GetNumberOfDesignsWanted() const = 0;
    virtual int GetUnitsTargetMILPFlag() const = 0;
    virtual CPList* GetSiteStreamList() = 0;
    virtual CPList* GetPinchPointList() const = 0;
    virtual void DeleteDesignsExceptBase() = 0;
    virtual void EndForbiddenMatchChanges() = 0;
    virtual void ClearUnitsTargetMILPResult() = 0;
    virtual void SetNumberOfDesignsWanted(int count) = 0;
    virtual void Destroy() = 0;
    virtual int SetUtilityAssignmentMethod(int method) = 0;
    virtual void SetEconomicData(int type, double value, const char* setName) = 0;
    virtual void CalculateSuperTargets(double from, double to, double step) = 0;
    virtual void RecalculateSuperTargets() = 0;
    virtual void OnTargetsChanged() = 0;
    virtual void OnTargetMethodChanged() = 0;
    virtual void SetAreaTargetOption(int option) = 0;
    virtual void SetNotes(const CPString& notes) = 0;
    virtual void AddSuperTargetPoint(double dTmin) = 0;
    virtual int ChangeNumberOfForbiddenMatches(int delta) = 0;
    virtual IAdvancedSuperTarget* GetAdvancedSuperTarget(int mode) = 0;
    virtual IAdvancedSuperTarget* ToggleAdvancedSuperTargetFlag() = 0;
    // The run that completes a named design (SmartCompleteDesign), whose message, objective and
    // search the read-outs above do not give (they are the automatic design's); null before the
    // first completion.
    virtual const IAdvancedSuperTarget* GetDesignCompletion() const { return nullptr; }
    virtual void GetSuperTargetOptimum(double& first, double& second) const = 0;
    virtual void ClearSuperTargets() = 0;
    virtual void ClearRetrofitBaseDesign() = 0;
    virtual void UpdateRetrofitSuperTargetCurve() = 0;
    virtual UnitsTargetData* SetUnitsTargetMILPFlag(int flag) = 0;
    virtual void RemoveUnusedUtilities() = 0;
    virtual void RemoveUnloadedUtilities() = 0;
    virtual double GetSuperTargetValueAtBaseOperatingCost() const = 0;
    virtual int GetUtilityAssignmentMethod() const = 0;
    virtual int GetAreaTargetMethod() const = 0;
    // The area-target method the user asks for: 0 the Bath formula (the area LP all the same
    // while matches are forbidden), 1 the area LP. 1 done, 0 refused (another value).
    virtual int SetAreaTargetMethod(int method) = 0;
    virtual int GetAreaTargetOption() const = 0;
    virtual int GetCapitalCostTargetKind() = 0;
    virtual int GetNumberOfForbiddenMatches() const = 0;
    virtual int GetNumberOfEconomicData() const = 0;
    virtual const char* GetEconomicDataName(int index) const = 0;
    virtual const char* GetReport() = 0;
    virtual void AddEconomicData(const char* name) = 0;
    virtual int RenameEconomicData(const char* newName, const char* oldName) = 0;
    virtual int DeleteEconomicData(const char* name) = 0;
    virtual DataExtractionConfig* GetDataExtractionConfig() = 0;
    virtual double GetOptimizerEconomicParameter() const = 0;
    virtual void SetOptimizerEconomicParameter(double value) = 0;
    virtual const char* GetSimulatorFileType() const = 0;
    virtual void AddStreamLink(IHeatIntegrationStream* stream) = 0;
    virtual StreamLynxCollection* GetStreamLinkCollection() const = 0;
    virtual void SetTotalSiteScenario(int flag) = 0;
    virtual int IsTotalSiteScenario() const = 0;
    virtual const char* GetRecommendedSiteUtilityName(double temperature, int heatType, const char* exchangerType) const = 0;
    virtual int GetSiteUtilityManager(DefaultManager*& out) const = 0;
    virtual int GetRetrofitStepStatus(int index) const = 0;
    virtual int GetRetrofitStatus() const = 0;
    // The capital cost a retrofit step's modification needed as placed, before the area check
    // (index as for the step status; 0 when the step placed nothing).
    virtual double GetRetrofitStepCapital(int index) const = 0;
    // Why the scenario did not keep a retrofit step the driver had made (index as for the step
    // status): the stream left short, the exchanger below DTmin, the capital beyond the budget;
    // empty when the step was kept or the driver's own code says why.
    virtual const char* GetRetrofitStepReason(int /*index*/) const { return ""; }
    virtual int GetExcelTransferResult() const = 0;
    virtual bool GetUseEquationBasedOptimization() const = 0;
    virtual void SetUseEquationBasedOptimization(bool use) = 0;
    virtual void SetMinimumFFactor(double value) = 0;
    virtual double GetMinimumFFactor() const = 0;
    virtual bool GetSuppressTargetUpdate() const = 0;
    virtual void SetSuppressTargetUpdate(bool suppress) = 0;
    virtual void SetLevelSetting1(int value) = 0;
    virtual int GetLevelSetting1() const = 0;
    virtual void SetLevelSetting2(int value) = 0;
    virtual int GetLevelSetting2() const = 0;
    virtual void SetLevelSetting3(int value) = 0;
    virtual int GetLevelSetting3() const = 0;
    virtual void SetLevelSetting4(int value) = 0;
    virtual int GetLevelSetting4() const = 0;
    virtual void AddExtractionItemName(const CPString& name) = 0;
    virtual const char* GetExtractionItemName(int index) const = 0;
    virtual int GetNumberOfExtractionItems() const = 0;
    virtual bool GetAllowUtilitiesAtExchangerPorts() const = 0;
    virtual void SetAllowUtilitiesAtExchangerPorts(bool allow) = 0;
    // The process pinches alone (the energy target's list), without the boundaries that only the
    // placed utilities bring: GetPinchTemperature counts those too once a placement holds.
    virtual int GetNumberOfProcessPinchPoints() const = 0;
    virtual double GetProcessPinchTemperatureAt(int side, int index) const = 0;
    // The process pinches as GetPinchPointList hands pinch points to a design (items:
    // PinchRecord*); null when there are none.
    virtual CPList* GetProcessPinchPointList() const = 0;
};

// One of the plant's shared economics (rate of return, plant life, hours: the items every cost set
// shares), held under the first set's name, "DEFAULT" while there is none.
inline double SharedEconomicData(const IHeatIntegrationScenario& scenario, int type) {
    const char* shared = scenario.GetEconomicDataName(0);
    return scenario.GetEconomicData(type, shared ? shared : "DEFAULT");
}
