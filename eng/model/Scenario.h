#pragma once
// One heat-integration case study inside a project: its streams and utilities, designs, target
// and cost records, defaults and economic data, and settings. It sends change codes to its views,
// and receives the change codes of its streams and designs.
//
// Sources by concern: ScenarioConstruction.cpp (members, copy, append, retrofit copy, destruction),
// ScenarioUpdate.cpp (recalculation, suspension, change codes received, segment pool, ranking),
// ScenarioStreams.cpp (streams and utilities), ScenarioDesigns.cpp (designs, retrofit, automatic
// design), ScenarioTargets.cpp (target queries, supertargeting), ScenarioMatches.cpp (utility
// placement, forbidden matches, cost models), ScenarioEconomics.cpp (economic data, notes,
// settings, extraction).
//
// Change codes sent: 0 design added, 1 design deleted, 2 design renamed, 3 records freed, 4
// economics, 16 refresh, 18 film coefficient or property, 19 match cost model, 20 assignment
// method, 25 destroyed, 26 named, 30 stream added, 31 stream deleted, 32 stream renamed, 33/34
// segments (forwarded), 35 all targets, 36 process stream, 38 supertargeting point, 40 utility
// load, 41 utility stream, 60 message key, 61/62 extraction (forwarded), 64 supertargeting, 66
// assignment or retrofit results, 87 stream kind (forwarded), 94 retrofit base, 96 appended.
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationScenarioForCosting.h"
#include "eng/model/IHeatIntegrationScenarioForTargeting.h"
#include "eng/model/IStreamOwner.h"
#include "eng/model/IndexedStreamList.h"
#include "eng/model/ScenarioServices.h"
#include "eng/core/SharedRecords.h"
#include "eng/retrofit/RetrofitDriver.h"
#include "tevrin/CPTypedDictionary.h"
#include "tevrin/CPTypedList.h"

#include <memory>
#include <map>
#include <string>
#include <vector>

class CloneSelection;
class CPValue;
class ITransferredTable;
class MatchwiseStreamDataList;
struct SuperTargetRange;

class CPIScenario : public IHeatIntegrationScenarioForTargeting,
                    public IHeatIntegrationScenarioForCosting,
                    public NotificationSender,
                    public IStreamOwner {
public:
    static constexpr double kEmpty = -32767.0;
    static constexpr double kDefaultDTmin = 10.0;
    static constexpr int kDictionarySlots = 256;
    static constexpr int kDefaultLevelSetting = 5;
    // The refusal of a utility that is not a site stream in a total-site scenario.
    static constexpr const char* kSiteUtilityOnlyMessage = "PickTotalSiteUtilityFromDropDownList";
    // The refusal of a change that would take a site stream out of one site scenario only (deleted
    // from its table, or made a process stream there): the case holds every site stream in every
    // scenario of the site.
    static constexpr const char* kSiteStreamStaysMessage = "SiteUtilityStaysInEveryScenario";
    // The refusal of deleting a stream that a network locked for operation runs on: its units,
    // operating state, schedules and studies hold the stream and its units until the unlock.
    static constexpr const char* kStreamInLockedNetworkMessage = "StreamInLockedOperation";
    // Codes of its streams the scenario listens to, in the order it registers them.
    static constexpr int kStreamCodes[] = {37, 33, 34, 40, 71, 35, 72, 16, 4, 73, 87};
    // Codes of its designs the scenario listens to.
    static constexpr int kDesignCodes[] = {6, 5, 7, 27, 28, 85};

    // What a total site shares with each of its scenarios: its utility manager and its site
    // streams (in the site's order). Both stay the site's.
    struct SiteShare {
        DefaultManager* manager = nullptr;
        std::vector<std::pair<CPString, CPIHeatIntegrationStream*>> streams;
    };

    // A new empty scenario of `project` (which may be null), with the factory defaults.
    explicit CPIScenario(IHeatIntegrationProject* project, ScenarioServices services = ScenarioServices());
    // A copy of `source` under the selection (every item when null): members as a new scenario
    // but without name and notes, then an append from the source. A copy made inside a total site
    // joins the site (`site`) before the append, so that it holds the site streams, not copies.
    CPIScenario(IHeatIntegrationProject* project, CPIScenario& source, const CloneSelection* selection,
                ScenarioServices services = ScenarioServices(), const SiteShare* site = nullptr);
    ~CPIScenario() override;
    CPIScenario(const CPIScenario&) = delete;
    CPIScenario& operator=(const CPIScenario&) = delete;

    // ---- construction and copying ------------------------------------------------------------
    // Replaces the name and sends code 26 with it.
    void SetName(const CPString& name);
    // Makes this a scenario of a total site: marked as such, the site's manager as its site
    // manager when it has none, and every site stream inserted (InsertStream).
    void JoinSite(const SiteShare& site);
    // The site stream that `stream` stands for in this scenario, or null for a stream of the
    // scenario's own. A site scenario holds a copy of each site stream: the site's data (values,
    // segments, approach, price) go both ways between the two, while the loads the scenario's
    // targets and designs give the copy stay with the copy, so that no scenario overwrites what
    // another placed (ScenarioSiteStreams.cpp).
    CPIHeatIntegrationStream* SiteStreamOf(const CPIHeatIntegrationStream& stream) const;
    // This scenario's copies of site utilities in the order of its stream table (never in the
    // order of their addresses, which differs from one run to the next).
    std::vector<CPIHeatIntegrationStream*> SiteStreamCopies() const;
    // The site renamed one of its streams: the scenario's copy follows. 0 when none holds the old
    // name or the new one is taken.
    int RenameSiteStream(const CPString& oldName, const CPString& newName);
    // The site deleted one of its streams: the scenario's copy goes too (DeleteStream refuses a
    // site stream's copy otherwise). 0 when the scenario holds no copy of that name.
    int DropSiteStream(const CPString& name);
    // True when a design of the scenario locked for operation has the named stream in its network.
    bool IsStreamInLockedOperation(const CPString& name) const;
    // Takes `project` as owner and appends what `selection` selects of `source`. A total-site
    // scenario takes no copy of a utility: the site streams it holds stand for the source's, and
    // a utility the site does not have is refused ("CannotCloneStreamErrorMsg"). A stream whose
    // copy meets a name in use here stays behind with "CannotCloneStreamErrorMsg" and the append
    // goes on; false, with nothing changed, when every stream it selects does. Into an existing
    // scenario (`intoExisting`) no temperature link and no match cost model comes along: that
    // scenario's links and economic data are its own.
    bool AppendFrom(IHeatIntegrationProject* project, CPIScenario& source, const CloneSelection& selection,
                    bool intoExisting = true);
    // Makes this copy the retrofit study of the source's design `designName`.
    void SetUpRetrofit(CPIScenario& source, const CPString& designName);
    // Copies the designs `selection` selects (entry 6) of `source`, after deleting "Design 1".
    void CopyDesignsFrom(CPIScenario& source, const CloneSelection& selection);
    // A copy of a retrofit study, once the designs it takes are in, holds its streams as the
    // study does, or is an ordinary scenario when its base design stayed behind.
    void HoldCopiedRetrofitStudy() {
        if (m_bRetrofit) HoldRetrofitBaseStreams();
    }
    // Adds a copy of a design of another scenario under the design's name; 1 on success.
    int CopyDesignFromScenario(IHENDesign& source);
    // The selection that takes everything of this scenario.
    CloneSelection SelectAll() const;

    // ---- recalculation -----------------------------------------------------------------------
    // The single recalculation road (see ScenarioUpdate.cpp).
    void UpdateTargets(IHeatIntegrationStream* source, int code);
    // Marks the ranking of the designs out of date; it is made again when next read, so that a
    // network built exchanger by exchanger is ranked once rather than after every edit.
    void RankDesigns();
    // Takes the stream's design segments into the segment pool afresh.
    void AddStreamSegments(CPIHeatIntegrationStream& stream);
    // Withdraws the stream's entries from the segment pool (an emptied pool is freed).
    void RemoveStreamSegments(CPIHeatIntegrationStream& stream);
    // Files the stream in the side lists: mode 2 to its current side, 1 out of its side lists, 0
    // into its kind's list (mode 1 takes it out of that list too).
    void UpdateSideLists(CPIHeatIntegrationStream& stream, int mode);
    // Marks the utility streams' segments for the utility placement to refresh.
    void MarkUtilitySegmentsForUpdate() { m_bUtilitySegmentsStale = true; }

    // ---- INotificationReceiver -----------------------------------------------------------------
    void NotifyChange(int code, const CPString& text, void* data) override;

    // ---- IStreamOwner ------------------------------------------------------------------------
    bool IsScenario() const override { return true; }
    CPIHeatIntegrationStream* FindStream(const CPString& name) override;
    void MarkSegmentsChanged(IHeatIntegrationStreamForTargeting&) override { m_bSegmentsChanged = true; }
    // Load x cost index over the scenario's operating hours, from the per-stream cost function.
    double GetStreamOperatingCost(const IHeatIntegrationStream& stream) override;
    // A copy of a site stream is held where the site's stream is (a retrofit study of another
    // scenario of the site runs on it): a write here would reach the site and that study.
    bool HoldsForRetrofitBase(const IHeatIntegrationStream& stream, const char* name) const override;

    // ---- state read by the record builders, the record and tests -------------------------------
    const ScenarioServices& GetServices() const { return m_services; }
    void SetServices(ScenarioServices services) { m_services = std::move(services); }
    CPTypedList<StreamSegment>* GetSegmentPool() const override { return m_pSegmentPool.get(); }
    MatchwiseStreamDataList* GetMatchwiseStreamData() const override { return m_pMatches.get(); }
    SuperTargetRange* GetSuperTargetRange() const { return m_pSuperTargets.get(); }
    SuperTargetRange& EnsureSuperTargetRange();
    DefaultManager& GetOwnDefaultManager() const { return *m_pDefaultManager; }
    // The manager of default utilities and economics in use: the site's in a total-site
    // scenario that has one, else the own.
    DefaultManager& GetActiveManager() const override;
    // The utility placement record exists and both its sides are settled (status 0 or 2).
    bool IsUtilityPlacementValid() const override;
    IHeatIntegrationStream* GetLastChangeSource() const { return m_pLastChangeSource; }
    int GetCalculationEnableCount() const { return m_nCalculationEnable; }
    int GetStreamCounter() const { return m_nStreamCounter; }
    int GetDesignCounter() const override { return m_nDesignCounter; }
    int GetSegmentedFlag() const { return m_nSegmented; }
    bool AreSegmentsChanged() const { return m_bSegmentsChanged; }
    bool AreUtilitySegmentsStale() const { return m_bUtilitySegmentsStale; }
    void ClearSegmentFlags() { m_bSegmentsChanged = m_bUtilitySegmentsStale = false; }
    int GetFirstIntegerSetting() const { return m_nFirstIntegerSetting; }
    void SetFirstIntegerSetting(int value) { m_nFirstIntegerSetting = value; }
    int GetSecondIntegerSetting() const { return m_nSecondIntegerSetting; }
    void SetSecondIntegerSetting(int value) { m_nSecondIntegerSetting = value; }
    ScenarioRetrofitSettings& GetRetrofitSettings() { return m_retrofitSettings; }
    const CPString& GetRetrofitResultDesignName() const { return m_strResultDesignName; }
    const CPTypedList<CPIHeatIntegrationStream>& GetProcessStreamList() const { return m_processStreams; }
    const CPTypedList<CPIHeatIntegrationStream>& GetUtilityStreamList() const { return m_utilityStreams; }
    // Side lists: kind 0 process, 1 utility, 4 all; side 0 hot, 1 cold.
    const CPTypedList<CPIHeatIntegrationStream>* GetSideList(int kind, int side) const;

    EnergyTarget* GetEnergyTargetRecord() const override { return m_pEnergyTarget; }
    UtilityPlacement* GetUtilityPlacementRecord() const override { return m_pUtilityPlacement; }
    UnitsTargetData* GetUnitsTargetRecord() const { return m_pUnitsTarget; }
    CompositeCurves* GetCompositeCurvesRecord() const override { return m_pCompositeCurves; }
    AreaTarget* GetAreaTargetRecord() const { return m_pAreaTarget; }
    CapitalCostTarget* GetCapitalCostRecord() const { return m_pCapitalCost; }
    CostTargetValue* GetOperatingCostRecord() const { return m_pOperatingCost; }
    CostTargetValue* GetTotalAnnualCostRecord() const { return m_pTotalAnnualCost; }

    // ---- IHeatIntegrationScenario ------------------------------------------------------------
    int GetNumberOfDesigns() const override;
    const char* GetDesignName(int index) const override;
    const char* GetName() const override { return m_pName ? m_pName->c_str() : nullptr; }
    IHeatIntegrationProject* GetProject() const override { return m_pProject; }
    int AddStream(const CPString& name, int kind) override;
    void UpdateStreamFromDefaultUtility(const CPString& name) override;
    int InsertStream(const CPString& name, IHeatIntegrationStream* stream, DefaultManager* siteManager) override;
    int DeleteStream(const CPString& name) override;
    bool GetStreamOfKind(int index, IHeatIntegrationStream*& out, int kind, int side) const override;
    bool GetStream(const CPString& name, IHeatIntegrationStream*& out) const override;
    bool GetStream(int index, IHeatIntegrationStream*& out) const override;
    int RenameStream(const CPString& oldName, const CPString& newName) override;
    bool GetDesign(int index, IHENDesign*& out, int kind) const override;
    bool GetDesign(const CPString& name, IHENDesign*& out) const override;
    bool GetRetrofitBaseDesign(IHENDesign*& out) const override;
    int AddDesign(const CPString& name) override;
    int RenameDesign(const CPString& oldName, const CPString& newName) override;
    int DeleteDesign(const CPString& name) override;
    int CloneDesign(const CPString& name, IHENDesign* source) override;
    int SetDTmin(double dTmin) override;
    // Gives every global stream the DTmin and recalculates, even when the value is the present one
    // (supertargeting puts the scenario back after its points this way).
    void ApplyDTmin(double dTmin);
    int ResumeCalculations(bool recompute) override;
    int SuspendCalculations() override;
    const char* TryStreamEditOnLockedDesigns(IHeatIntegrationStream& stream, const std::function<const char*()>& edit,
                                             CPString& reason) override;
    const char* TryOperatingChange(const std::vector<IHeatIntegrationStream*>& streams,
                                   const std::function<const char*(CPString& reason)>& change, CPString& reason) override;
    void CalculateMinimumUnitsTarget() override;
    bool IsStreamNameFree(const CPString& name) const override;
    int ExtractFromVelmorCase(const CPString& path, Case* caseObject) override;
    int ExtractFromQuorvexCase(const CPString& path, Case* caseObject) override;
    int ExtractFromProIICase(const CPString& path, Case* caseObject) override;
    int ExtractFromExcelFile(const CPString& path, Case* caseObject) override;
    int ExtractFromCase(const char* caseName) override;
    bool HasCaseDesign(const CPString& designName) const override;
    int AssignUtilityLoads() override;
    int GetDefaultUtilityManager(IDefaultUtilityManager*& out) override;
    void SmartCompleteDesign(const CPString& designName) override;
    void AutomaticHENDesign(void* argument) override;
    int GetReportHolder(ReportHolder*& out) override;
    bool HasSuperTargetResults() const override;
    bool IsRetrofitScenario() const override { return m_bRetrofit; }
    bool HasSegmentedStreams() const override;
    double GetUnitsTargetEntryValue(int position, int entry, int group) const override;
    double GetAreaTarget(int kind) const override;
    double GetEconomicData(int type, const char* setName) const override;
    double GetAreaTargetMatchValue(int selector, int index) const override;
    double GetPinchTemperature(int side, int index) const override;
    double GetProcessPinchTemperature(int side) const override;
    int GetNumberOfProcessPinchPoints() const override;
    double GetProcessPinchTemperatureAt(int side, int index) const override;
    CPList* GetProcessPinchPointList() const override;
    double GetPinchListEntryFirstValue(int index) const override;
    double GetPinchListEntryThirdValue(int index) const override;
    double GetTargetCurveValue(int kind, int coordinate, int index) const override;
    double GetMatchValue(int index) const override;
    double GetUtilityTarget(int side) const override;
    double GetCostTarget(int code) const override;
    double PointTargetValue(int index, int selector) const override;
    double GetDTmin() const override { return m_dDTmin; }
    double GetAutomaticDesignResultA() const override;
    double GetAutomaticDesignResultB() const override;
    double GetAutomaticDesignSumValue(int index) const override;
    double GetAutomaticDesignMatchLoad(int index) const override;
    int GetStreamsAtCurvePoint(int kind, double load, double temperature, CPString& out) const override;
    const char* GetMatchCostModelName(const CPString& hotName, const CPString& coldName) override;
    const char* GetUnitsTargetEntryName(int position, int entry, int group) const override;
    const char* GetAutomaticDesignListName(int index) const override;
    const char* GetAutomaticDesignMatchStreamName(int index, int side) const override;
    const char* GetAutomaticDesignUnloadedMatchStreamName(int index, int side) const override;
    const char* GetNotes() const override { return m_pNotes ? m_pNotes->c_str() : nullptr; }
    const char* GetMatchCostModelNameAt(int index) override;
    const char* FindIncompleteCostModel() override;
    const char* GetAutomaticDesignMessage() const override;
    const IAdvancedSuperTarget* GetDesignCompletion() const override { return m_pAutomaticDesign[1].get(); }
    int SetMatchCostModelName(const CPString& hotName, const CPString& coldName, const CPString& model) override;
    void RetrofitDesign(IHENDesign* design, int mode) override;
    // The log of a stepwise retrofit run (the step in progress), "Retrofit.log" in a directory of
    // the run's own in the temporary directory; empty while no stepwise run is going on.
    const std::string& RetrofitLogPath() const { return m_retrofitLogPath; }
    void SetRetrofitBaseDesign(const CPString& name) override;
    const char* GetRetrofitBaseDesignName() const override { return m_strBaseDesignName.c_str(); }
    void DeleteRetrofitResultDesign() override;
    IHENDesign* GetRetrofitRunResult(const IHENDesign* from, int mode) const override;
    int GetRetrofitRunMode(const IHENDesign* from) const override;
    double GetRetrofitBaseUtilityCost() const override;
    double GetRetrofitBaseCapitalCost() const override;
    int CheckRetrofitDesign(IHENDesign* design) override;
    bool CanRetrofitDesign(IHENDesign* design) const override;
    // Why a step the driver made is not kept (empty when it is): no saving, no payback, a
    // network that cannot be built, or capital beyond the budget.
    // `modificationModel`: the step came from a new-exchanger, repiping or resequencing model.
    std::string WhyRetrofitStepIsNotKept(IHENDesign& created, const IHENDesign& from, bool stepwise,
                                         bool modificationModel = false) const;
    std::string WhyStepSavesNothing(const IHENDesign& created, const IHENDesign& from, bool modificationModel) const;
    int OptimizeDesign(IHENDesign* design, int mode, bool keep) override;
    int GetNumberOfCompleteDesigns() const override {
        RankDesignsIfStale();
        return static_cast<int>(m_rankedCompleteDesigns.Length());
    }
    int GetNumberOfProcessStreams() const override;
    int GetNumberOfUtilityStreams() const override;
    int GetNumberOfStreamsOfKind(int kind, int side) const override;
    int GetPinchListEntrySide(int index) const override;
    int GetMinimumNumberOfUnits(int kind) const override;
    int GetNumberOfUnitsTargetGroups() const override;
    int GetNumberOfUnitsTargetEntries(int group) const override;
    int GetNumberOfUnitsTargetEntryNames(int group, int entry) const override;
    int GetNumberOfAreaTargetMatches() const override;
    int GetMinimumNumberOfUnitsByMILP() const override;
    int GetNumberOfPinchPoints() const override;
    int GetNumberOfPockets() const override;
    int GetNumberOfCurvePoints(int kind) const override;
    int GetPinchProblemType() const override;
    int GetNumberOfShellsTarget() const override;
    bool IsShellsTargetCapped() const override;
    bool IsPointShellsTargetCapped(int index) const override;
    int GetAreaTargetState() const override;
    double GetAreaLPGridStep() const override;
    int GetUtilityAssignmentStatus(int side) override;
    int GetNumberOfSuperTargetPoints() const override;
    int ValidateTargetMethodsForForbiddenMatches() override;
    int HasSuperTargetPointAtDTmin(double dTmin) const override;
    int GetAutoDesignListLength() const override;
    int GetNumberOfAutoDesignLoadedItems() const override;
    int GetNumberOfAutoDesignUnloadedItems() const override;
    int GetNumberOfDesignsWanted() const override { return m_nDesignsWanted; }
    int GetUnitsTargetMILPFlag() const override;
    CPList* GetSiteStreamList() override { return &m_utilityStreams; }
    CPList* GetPinchPointList() const override;
    void DeleteDesignsExceptBase() override;
    void EndForbiddenMatchChanges() override;
    void ClearUnitsTargetMILPResult() override;
    void SetNumberOfDesignsWanted(int count) override { m_nDesignsWanted = count; }
    void Destroy() override { delete this; }
    int SetUtilityAssignmentMethod(int method) override;
    void SetEconomicData(int type, double value, const char* setName) override;
    void CalculateSuperTargets(double from, double to, double step) override;
    void RecalculateSuperTargets() override;
    void OnTargetsChanged() override {}
    void OnTargetMethodChanged() override {}
    void SetAreaTargetOption(int option) override;
    void SetNotes(const CPString& notes) override;
    void AddSuperTargetPoint(double dTmin) override;
    int ChangeNumberOfForbiddenMatches(int delta) override;
    IAdvancedSuperTarget* GetAdvancedSuperTarget(int mode) override;
    IAdvancedSuperTarget* ToggleAdvancedSuperTargetFlag() override;
    void GetSuperTargetOptimum(double& first, double& second) const override;
    void ClearSuperTargets() override;
    void ClearRetrofitBaseDesign() override;
    void UpdateRetrofitSuperTargetCurve() override;
    // Targets at a trial DTmin as one supertargeting point (values 1 to 10 and the placement flag).
    SuperTargetPointRecord CalculateSuperTargetPoint(double dTmin);
    UnitsTargetData* SetUnitsTargetMILPFlag(int flag) override;
    void RemoveUnusedUtilities() override;
    void RemoveUnloadedUtilities() override;
    double GetSuperTargetValueAtBaseOperatingCost() const override;
    int GetUtilityAssignmentMethod() const override;
    int GetAreaTargetMethod() const override;
    int SetAreaTargetMethod(int method) override;
    int GetAreaTargetOption() const override;
    int GetCapitalCostTargetKind() override;
    int GetNumberOfForbiddenMatches() const override { return m_nForbiddenMatches; }
    int GetNumberOfEconomicData() const override;
    const char* GetEconomicDataName(int index) const override;
    const char* GetReport() override;
    void AddEconomicData(const char* name) override;
    int RenameEconomicData(const char* newName, const char* oldName) override;
    int DeleteEconomicData(const char* name) override;
    // Made on first use.
    DataExtractionConfig* GetDataExtractionConfig() override;
    // The settings tree of the extraction settings (null while the scenario has none).
    const CPValue* GetStoredExtractionSettings() const {
        return m_pExtractionConfig ? m_pExtractionConfig->GetSettings() : nullptr;
    }
    // The import object of the last extraction (shared with its case), or null.
    Createable* GetKeptImport() const { return m_pKeptImport; }
    double GetOptimizerEconomicParameter() const override { return m_dOptimizerEconomicParameter; }
    void SetOptimizerEconomicParameter(double value) override { m_dOptimizerEconomicParameter = value; }
    const char* GetSimulatorFileType() const override;
    void AddStreamLink(IHeatIntegrationStream* stream) override;
    StreamLynxCollection* GetStreamLinkCollection() const override { return m_pStreamLinks.get(); }
    // Installs the stream links read from the scenario record (replacing any there were).
    void SetStreamLinkCollection(std::unique_ptr<StreamLynxCollection> links);
    void SetTotalSiteScenario(int flag) override { m_bTotalSite = flag != 0; }
    int IsTotalSiteScenario() const override { return m_bTotalSite ? 1 : 0; }
    const char* GetRecommendedSiteUtilityName(double temperature, int heatType,
                                              const char* exchangerType) const override;
    int GetSiteUtilityManager(DefaultManager*& out) const override;
    int GetRetrofitStepStatus(int index) const override;
    int GetRetrofitStatus() const override { return m_nRetrofitStatus[5]; }
    double GetRetrofitStepCapital(int index) const override;
    const char* GetRetrofitStepReason(int index) const override;
    int GetExcelTransferResult() const override { return m_nExcelTransferResult; }
    bool GetUseEquationBasedOptimization() const override { return m_bEquationBasedOptimization; }
    void SetUseEquationBasedOptimization(bool use) override { m_bEquationBasedOptimization = use; }
    // A new minimum F-factor moves the area, shells and cost targets.
    void SetMinimumFFactor(double value) override;
    double GetMinimumFFactor() const override { return m_dMinimumFFactor; }
    bool GetSuppressTargetUpdate() const override { return m_bSuppressTargetUpdate; }
    void SetSuppressTargetUpdate(bool suppress) override { m_bSuppressTargetUpdate = suppress; }
    void SetLevelSetting1(int value) override { SetLevelSetting(0, value); }
    int GetLevelSetting1() const override { return m_nLevelSettings[0]; }
    void SetLevelSetting2(int value) override { SetLevelSetting(1, value); }
    int GetLevelSetting2() const override { return m_nLevelSettings[1]; }
    void SetLevelSetting3(int value) override { SetLevelSetting(2, value); }
    int GetLevelSetting3() const override { return m_nLevelSettings[2]; }
    void SetLevelSetting4(int value) override { SetLevelSetting(3, value); }
    int GetLevelSetting4() const override { return m_nLevelSettings[3]; }
    void AddExtractionItemName(const CPString& name) override { m_extractionItemNames.push_back(name); }
    const char* GetExtractionItemName(int index) const override;
    int GetNumberOfExtractionItems() const override { return static_cast<int>(m_extractionItemNames.size()); }
    bool GetAllowUtilitiesAtExchangerPorts() const override { return m_bAllowUtilitiesAtPorts; }
    void SetAllowUtilitiesAtExchangerPorts(bool allow) override { m_bAllowUtilitiesAtPorts = allow; }

    // ---- IHeatIntegrationScenarioForCosting ----------------------------------------------------
    double GetMatchFirstValue(int index) const override;
    double GetMatchCountercurrentArea(int index) const override;
    double GetMatchShellAndTubeArea(int index) const override;
    double GetMatchFourthValue(int index) const override;
    int GetNumberOfMatches() const override;
    std::vector<MatchSumsOfModel> GetMatchSumsByCostModel() override;

private:
    // The case-file record reads and writes every member (eng/model/ScenarioRecord.h).
    friend class ScenarioRecord;

    using StreamList = IndexedList<CPIHeatIntegrationStream>;
    using StreamDictionary = CPTypedDictionary<CPIHeatIntegrationStream>;
    using DesignDictionary = CPTypedDictionary<IHENDesign>;

    // The data pointer of the scenario's own change codes.
    void* Self() { return static_cast<IHeatIntegrationScenario*>(this); }
    void SendMessageKey(const char* key) { SendAMessage(60, key, Self()); }
    // A message (60) or a notice (61) that names what it speaks of: `key`, then `texts` (names).
    void SendNamingMessage(int code, const char* key, const std::vector<CPString>& texts);
    void SetLevelSetting(int which, int value) { m_nLevelSettings[which] = value >= 1 && value <= 5 ? value : 5; }
    CPIHeatIntegrationStream* StreamByName(const CPString& name) const;
    // The forbidden matches the streams' links make, each pair held by both of its streams: what
    // the count must say (the case reader holds a record to it).
    int CountForbiddenMatchLinks() const;
    // A stream's links leave with it, and the count with them (see ScenarioMatches.cpp).
    void DropForbiddenMatchesOf(CPIHeatIntegrationStream& stream);
    // The count made that of the links held, after a copy, an append or a read; a utility holds
    // none (see ScenarioMatches.cpp).
    void RecountForbiddenMatches();
    bool HasStreams() const { return m_pStreams && m_pStreams->Length() > 0; }
    void RegisterWithStream(CPIHeatIntegrationStream& stream);
    void AddStreamToDesigns(CPIHeatIntegrationStream& stream);
    StreamList* MutableSideList(int kind, int side);
    const StreamList* SideList(int kind, int side) const;
    // Applies the default utility of the stream's name; 0 when it is of the other heat type.
    int ApplyDefaultUtility(CPIHeatIntegrationStream& stream);
    // Empties the stream's clean film coefficient; when the stream does not keep it empty, its
    // previous value is restored and the answer is false.
    static bool EmptyCleanCoefficient(CPIHeatIntegrationStream& stream);
    // A site stream with both temperatures and a film coefficient of its own.
    static bool HoldsOwnUtilityData(const CPIHeatIntegrationStream& stream);
    void GiveGlobalStreamsDTmin(double dTmin);
    // Locks every stream and the defaults for a retrofit study's base.
    void HoldRetrofitBaseStreams();
    void FreeAllTargetRecords();
    void CallRecordBuilders(int code);
    void EnsureMatchwiseStreamData();
    void ForEachDesign(void (*visit)(IHENDesign&, void*), void* context) const;
    void AssignAllExchangerCostModels();
    // The scenario hears of economics read into its own default manager from a file.
    void ListenToOwnManager();
    void RegisterWithDesign(IHENDesign& design);
    IHENDesign* DesignByName(const CPString& name) const;
    // Deletes the design and its dictionary entry; re-ranks when `rank`.
    int RemoveDesign(const CPString& name, bool rank);
    void DestroyAllDesigns();
    IAdvancedSuperTarget* AutomaticDesignObject(int which);
    void RefreshExistingNetworkValues();
    void PropagateExistingNetworkValues();
    // ---- ScenarioExtraction.cpp ----
    int ExtractFromSimulatorCase(const CPString& path, Case* caseObject, int kind, const char* notePrefix);
    void PrependNote(const char* prefix, const CPString& path);
    void ReloadSubFlowsheets(Case* simulatorCase);
    // Holds the case's import object (or none) in place of the one held before.
    void KeepImport(Createable* import);
    // ---- ScenarioSpreadsheetTransfer.cpp ----
    // Fills the streams' segments from a transferred segment table; the table hears what was
    // refused, warned about or noted.
    void TransferSegmentTable(ITransferredTable& table);
    // One retrofit step of `design`; false when the run is to stop.
    bool RunRetrofitStep(IHENDesign& design, int mode, int step, bool stepwise);
    bool IsUtilityLoadNearTarget(const IHENDesign& design) const;

    IHeatIntegrationProject* m_pProject = nullptr;
    ScenarioServices m_services;

    // Side lists and kind lists of streams (not owning).
    StreamList m_processHot, m_processCold, m_utilityHot, m_utilityCold, m_allHot, m_allCold;
    StreamList m_utilityStreams;
    StreamList m_processStreams;
    // The segment entries of all streams that targeting works on (owned by their streams).
    std::unique_ptr<CPTypedList<StreamSegment>> m_pSegmentPool;
    // The segments each site stream put into the pool. A site stream's segments are shared by
    // every scenario of the site and may be rebuilt by another scenario, so they are taken out
    // of the pool by these recorded addresses, never by reading the stream's current list.
    std::map<const CPIHeatIntegrationStream*, std::vector<StreamSegment*>> m_siteStreamPoolEntries;
    // Hears one site stream for the scenario that holds a copy of it; registered with the site
    // stream for as long as the copy is held.
    class SiteStreamLink : public INotificationReceiver {
    public:
        SiteStreamLink(CPIScenario& scenario, CPIHeatIntegrationStream& copy, CPIHeatIntegrationStream& site);
        ~SiteStreamLink() override;
        SiteStreamLink(const SiteStreamLink&) = delete;
        SiteStreamLink& operator=(const SiteStreamLink&) = delete;
        void NotifyChange(int code, const CPString& text, void* data) override;
        CPIHeatIntegrationStream& Site() const { return m_site; }

    private:
        CPIScenario& m_scenario;
        CPIHeatIntegrationStream& m_copy;
        CPIHeatIntegrationStream& m_site;
    };
    // The scenario's copy of a site stream, linked to it; null when no copy can be made.
    CPIHeatIntegrationStream* MakeSiteStreamCopy(const CPString& name, CPIHeatIntegrationStream& site);
    // The site's data changed: the copy takes them and the targets are calculated again.
    void TakeSiteStreamData(CPIHeatIntegrationStream& copy, CPIHeatIntegrationStream& site);
    // A change of a copy's data made in this scenario goes to the site stream and from there to
    // every other scenario of the site.
    void PassChangeToSite(int code, const CPString& text, void* data);
    void GiveSiteStreamData(CPIHeatIntegrationStream& copy, int code, const CPString& text);
    // Renames a stream the scenario holds, in the dictionary, the designs and the units target.
    void RenameHeldStream(CPIHeatIntegrationStream& stream, const CPString& previous, const CPString& newName);
    // Each copy of a site stream with the link to its site stream.
    std::map<const CPIHeatIntegrationStream*, std::unique_ptr<SiteStreamLink>> m_siteLinks;
    // Above zero while the scenario takes the site's data into its copies (nothing goes back).
    int m_nTakingSiteData = 0;
    // Above zero while the site takes one of its streams out of the scenario.
    int m_nDroppingSiteStream = 0;
    // A stream the scenario holds but does not own: a site stream, owned by the site's manager.
    bool IsSharedSiteStream(const CPIHeatIntegrationStream& stream) const;
    // The rankings are derived from the designs and made when read after a change.
    void RankDesignsIfStale() const;
    mutable CPTypedList<IHENDesign> m_rankedDesigns;
    mutable CPTypedList<IHENDesign> m_rankedCompleteDesigns;
    mutable bool m_rankingStale = false;
    std::vector<CPString> m_extractionItemNames;
    std::unique_ptr<DesignDictionary> m_pDesigns;
    std::unique_ptr<StreamDictionary> m_pStreams;
    std::unique_ptr<MatchwiseStreamDataList> m_pMatches;

    // Target records, kept by the record builders (freed with code 3).
    std::unique_ptr<SuperTargetRange> m_pSuperTargets;
    EnergyTarget* m_pEnergyTarget = nullptr;
    UnitsTargetData* m_pUnitsTarget = nullptr;
    CompositeCurves* m_pCompositeCurves = nullptr;
    AreaTarget* m_pAreaTarget = nullptr;
    CapitalCostTarget* m_pCapitalCost = nullptr;
    CostTargetValue* m_pOperatingCost = nullptr;
    CostTargetValue* m_pTotalAnnualCost = nullptr;
    UtilityPlacement* m_pUtilityPlacement = nullptr;
    // What GetPinchPointList answers: the pinch points in use (items: PinchRecord*, owned by
    // their record), refilled on every call.
    mutable CPList m_pinchPointList;
    mutable CPList m_processPinchPointList;  // the same for GetProcessPinchPointList
    // The scenario's choice of utility assignment method while the placement record is not built.
    int m_nUtilityAssignmentMethod = 0;

    std::unique_ptr<IAdvancedSuperTarget> m_pAutomaticDesign[2];
    IHeatIntegrationStream* m_pLastChangeSource = nullptr;
    std::unique_ptr<DefaultManager> m_pDefaultManager;
    DefaultManager* m_pSiteManager = nullptr;
    ScenarioRetrofitSettings m_retrofitSettings;
    std::string m_retrofitLogPath;
    std::unique_ptr<ReportHolder> m_pReport;
    std::unique_ptr<DataExtractionConfig> m_pExtractionConfig;
    // One reference to the import object of the last extraction (its case holds another).
    Createable* m_pKeptImport = nullptr;
    // Expires with the scenario: a call queued for the host's thread finds out whether the
    // scenario is still there.
    std::shared_ptr<char> m_pAlive = std::make_shared<char>(0);
    // Created by the first stream link; only this scenario destroys it.
    std::unique_ptr<StreamLynxCollection> m_pStreamLinks;

    std::unique_ptr<CPString> m_pName;
    std::unique_ptr<CPString> m_pNotes;
    CPString m_strBaseDesignName;
    CPString m_strResultDesignName;
    // The last retrofit run: the design it started from, its mode and the designs it kept, oldest
    // first. The designs themselves are held, not their names, so a design of the user's own with
    // a name like theirs is never taken for one. A design deleted leaves the list, and so does one
    // the user renamed: he keeps it as a design of his own. The case keeps the run (item 34).
    const IHENDesign* m_retrofitRunSource = nullptr;
    int m_retrofitRunMode = -1;
    std::vector<IHENDesign*> m_retrofitRunResults;

    double m_dDTmin = kDefaultDTmin;
    int m_nDesignsWanted = 10;
    int m_nFirstIntegerSetting = 0;
    int m_nCalculationEnable = 1;
    int m_nSegmented = 0;
    int m_nSecondIntegerSetting = 0;
    int m_nStreamCounter = 0;
    int m_nDesignCounter = 0;
    int m_nForbiddenMatches = 0;
    int m_nSavedForbiddenMatches = 0;
    // The calculation count before a batch of forbidden-match changes suspended it, while the batch
    // is open (kNoForbiddenBatch otherwise).
    static constexpr int kNoForbiddenBatch = -1000000;
    int m_nEnableBeforeForbiddenBatch = kNoForbiddenBatch;
    int m_nReentrancy = 0;
    int m_nRankingEnabled = 1;
    int m_nRetrofitStatus[6] = {-1, -1, -1, -1, -1, -1};
    double m_dRetrofitStepCapital[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    std::string m_retrofitStepReason[6];
    bool m_bRetrofit = false;
    double m_dOptimizerEconomicParameter = 0.0;
    bool m_bTotalSite = false;
    bool m_bEquationBasedOptimization = false;
    bool m_bSuppressTargetUpdate = false;
    int m_nExcelTransferResult = 0;
    double m_dMinimumFFactor = 0.8;
    int m_nLevelSettings[4] = {kDefaultLevelSetting, kDefaultLevelSetting, kDefaultLevelSetting,
                               kDefaultLevelSetting};
    bool m_bAllowUtilitiesAtPorts = false;
    bool m_bSegmentsChanged = false;
    bool m_bUtilitySegmentsStale = false;
};
