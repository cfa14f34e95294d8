#pragma once
// The view of one network design. It is bound to its design and to the scenario that holds it;
// it owns the design's grid diagram, its driving-force plot and its exchanger bar chart, keeps
// the slots of the views opened from it (exchangers, splitters, the event summary, the
// operating state, trend studies, the event planner), lists and filters the exchangers,
// compares the network with its targets, and turns what the engine reports into messages.
// Created by the scenario viewer when a design is added, or read back from a case file.
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/HVector.h"
#include "lumeth/Viewable.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

class CNode;
class HENDiagram;
class HIDesignViewerScenario;
class IHENDesign;
class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class TwoDimPlot;
class VarEnumInfo;
class chiHXBarPlot;

// An exchanger shown on the driving-force plot: its name and the number of its data set.
struct DrivingForceSet {
    Text name;
    std::int32_t dataSet = 0;
};

class HIDesignViewerDesign : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "HIDesignViewerDesignObject";
    static constexpr int ClassVersion = 20;
    static constexpr int EmptyInt = -32767;
    // The change codes the viewer hears from its design, in the order it subscribes to them.
    static const std::vector<int>& SubscribedCodes();

    // A new viewer, also the one the framework makes before reading a record: what an older
    // record lacks keeps a new viewer's value.
    HIDesignViewerDesign(Viewable* parent, const Text& name, const ObjectTypeInfo* type);
    static Viewable* Create(ObjectInstanceInfo& info) { return new HIDesignViewerDesign(info.parent, info.name, info.type); }
    ~HIDesignViewerDesign() override;

    // ---- binding ----
    // Binds the viewer to its design (subscribing to its change codes) and the grid diagram to
    // the same design; a new viewer (`recalled` false) builds its driving-force plot and bar
    // chart afresh.
    void SetEngineeringDesign(IHENDesign* design, bool recalled);
    IHENDesign* GetDesign() const { return pDesign; }
    void SetScenario(IHeatIntegrationScenario* scenario) { pScenario = scenario; }
    IHeatIntegrationScenario* GetScenario() const { return pScenario; }
    HENDiagram* GetGridDiagram() const { return pGridDiagram; }
    // Deletes the diagram held and takes `diagram` in its place.
    void ReplaceGridDiagram(HENDiagram* diagram);
    TwoDimPlot* GetDrivingForcePlot() const { return pDrivingForcePlot; }
    chiHXBarPlot* GetBarChart() const { return pBarChart; }
    const std::vector<DrivingForceSet>& GetDrivingForceSets() const { return lstDrivingForceSets; }
    Text GetSelectedStream() const { return strSelectedStream; }
    bool IsRecalled() const { return bRecalled != 0; }

    // ---- children ----
    // The view of a flowsheet node, made on first use: an exchanger's view, a split's view (by its
    // tee or its mixer), a stream's segment table through the owning scenario viewer (null with no
    // scenario viewer above); null for any other kind.
    Viewable* GetEquipmentView(CNode* node);
    HIDesignViewerScenario* GetOwningScenarioViewer() const;
    // A design viewer chosen in the scenario viewer's lists becomes its selected design.
    void SelectInOwnerScenario(Viewable* selected);
    Viewable* AttachedObject(const VarDescription& var) override;
    int AttachObject(const VarDescription& var, Viewable* object) override;
    Text AttachedName(const Viewable* child) const override;
    void DisconnectDeadObject(Viewable* dead) override;

    // ---- the record ----
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;
    bool RecallFixUp() override;

    // ---- results and notices ----
    // The message key of a network-optimisation, retrofit and operations result code (success
    // keys too). A code no table lists is a failure: its number goes to the trace.
    static Text NetworkOptimisationKey(int result);
    static Text RetrofitKey(int result);
    // Whether a retrofit run's code is one of a run that went through ("RetOk" and the steps' "...Ok").
    static bool RetrofitWentThrough(int result);
    static Text OperationsKey(int result);
    // What OptimizeDesign answers for a run that improved the network.
    static constexpr int kNetworkOptimised = 4;
    void ReportNetworkOptimisationResult(int result);
    void ReportRetrofitResult(int result);
    void ReportOperationsResult(int result);
    void NotifyChange(int code, const CPString& text, void* data) override;
    void ViewNotification(int kind, Viewable* from, const Text& form) override;
    bool GenMessage(MessageInfo& info) override;
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    int GetEDVarType(const VarDescription& var) override;
    // The what-if event kinds 0 to 7: class name and selection prompt key (any other kind: the
    // flow-rate change and "ChangetoAnalyse").
    static const char* EventClassName(int kind);
    static const char* EventPromptKey(int kind);

    // ---- form ----
    static const ViewForm<HIDesignViewerDesign>& Form();
    static void LoadVariables(FormDescription& form);
    // The texts of the design forms, for the form description (those not listed already).
    static void DescribeTexts(FormDescription& form);
    // The numbers of the design forms as rows of data (DesignValueRows.h).
    struct ValueRow;
    static const std::vector<ValueRow>& ValueRows();
    static const ValueRow* FindValueRow(const VarDescription& var);
    double ReadRow(const ValueRow& row, const VarDescription& var);
    // The count that gives a list of the forms its rows.
    enum class ListSize : std::uint8_t {
        Exchangers, Filtered, AreaSpecified, ConfiguredHeaters, UnconfiguredCoolers, UnconfiguredHeaters, NewExchangers,
        ExchangerListMode, StreamListMode, UnitsOnStream, UtilityStreams, CrossPinchLoads, UtilitySideStreams,
        ProcessStreams, SubNetworks, Loops, Paths, Schedules, ScheduleEvents, One, Two, Three, Five,
        OptimizerCheckUnits, OptimizerCheckInfeasible, OptimizerCheckUntied, OptimizerCheckTemperatureSpecs,
        ExtractionItems, EventTargets
    };
    static bool FindListSize(int type, int number, ListSize& size);
    // The rows of a list of that size; -1 when the list has no dimension (a list mode the
    // forms do not know, no scenario).
    int ListLength(ListSize size);
    // The exchanger at a row of a row list (a `ValueRow::List`); null past a list that has none.
    CNode* RowUnit(int list, int row);
    // The write of an exchanger value: 1 written, 0 refused or no exchanger at the row, -1 not
    // an exchanger value.
    int SpecifyExchangerRow(const VarDescription& var, double value);
    // The exchanger a write on a row of a row list (a `ValueRow::List`) edits: null past the end
    // of the list, so that a stale row never edits the last exchanger.
    CNode* WriteRowUnit(int list, int row);
    // The writes of the viewer's own settings and of design-wide settings, and the exchanger
    // switches: 1 done, 0 refused or ignored, -1 not a variable of theirs.
    int SpecifySetting(const VarDescription& var, double value);
    int SpecifyExchangerSwitch(const VarDescription& var, double value);
    int SpecifyText(const VarDescription& var, const Text& text) override;
    // The variables the design forms write (the form description marks them writable), and
    // the dimensions of each: 1 for a row of a list.
    struct WriteAddress {
        int type, number, dims;
        const char* refusals = "";  // the keys a write may be refused with, blank-separated
        CellDomain domain{};         // what the cell's quantity can be, beyond its kind's
    };
    static const std::vector<WriteAddress>& WriteAddresses();
    static void AddSettingAddresses(std::vector<WriteAddress>& out);
    static void AddSwitchAddresses(std::vector<WriteAddress>& out);
    static bool IsWritableAddress(int type, int number);
    // Whether a written cell edits the network itself, which the existing network of a retrofit
    // (its base) keeps as it is: such a cell is read-only there.
    static bool IsBaseNetworkEdit(int type, int number);
    // The kind of quantity a written cell takes, in the user's unit: its type code, but for the
    // outlet temperature of a heater or cooler typed beside its duty (6: 355, 356).
    static int WrittenKind(int type, int number);
    // The streams the choice of a stream by name (105/764) offers: the scenario's process and
    // utility streams.
    static int StreamChoiceCount(Viewable& view, const VarDescription& var);
    // The texts the design forms write: address and dimensions.
    struct TextInput {
        const char* address;
        int dims;
        const char* refusals = "";
    };
    static const std::vector<TextInput>& TextInputs();
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    // The texts' row look-up: the exchanger at a row of a row list (a `ValueRow::List`), null
    // past the list's end (a text row past its list names nothing).
    CNode* TextRowUnit(int list, int row);
    // The newest result design that the scenario's last retrofit run kept, when that run started
    // from this design in the current mode; null (an empty name) when there is none.
    IHENDesign* RetrofitResult() const;
    Text RetrofitResultName() const;
    // The feasibility of the newest retrofit result: 1 over the investment limit, 2 no payback,
    // 0 otherwise or without a result; keeps its capital cost and payback for the texts.
    int RetrofitFeasibility();
    // The name of the exchanger at a row of the cross-pinch list; empty past its end.
    Text CrossPinchName(int row);
    // The utility stream at a row of the utility list (it becomes the current stream); the row
    // after the last is "**New**".
    Text UtilityStreamName(int row);
    // ---- commands (HIDesignViewerDesignCommands.cpp, HIDesignViewerDesignOperations.cpp) ----
    // One row per command word, in the order the words are compared: the member that acts on
    // the rest of the line, then the form it opens (either may be absent).
    struct Command;
    static const std::vector<Command>& Commands();
    static void DescribeCommands(FormDescription& form);
    // Nothing before a design is bound (0); a word no row takes goes to the framework whole.
    int Message(const Text& line) override;
    // The code of the retrofit run just made in `mode`: the overall status of a single run, the
    // last step reached of a stepwise one.
    int RetrofitRunCode(int mode) const;
    // The event planner, made for this viewer on first use by "ShowEventPlannerView"; a planner
    // read back with the case takes the slot (an earlier one is destroyed).
    Viewable* GetEventPlanner() const { return pEventPlanner; }
    void AdoptEventPlanner(Viewable* planner);
    // The candidate targets of the chosen event kind, from the design.
    void RebuildEventTargets();
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    // The cross-pinch table's rows (the filtered exchangers) and columns (the pinches).
    int CrossPinchTable(const VarDescription& var, DimInfo& dims);
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;

    // ---- exchanger lists ----
    // The exchanger filter: the sum of three toggles, process-to-process exchangers 1, heaters 3,
    // coolers 5 (each 0 or its value); 9 shows all, 0 none.
    double GetExchangerFilter() const { return nFilterProcess + nFilterHeaters + nFilterCoolers; }
    // The group of design exchanger i: 1 process exchanger, 3 heater, 5 cooler; 0 none of them.
    int ExchangerGroup(int index) const;
    bool PassesExchangerFilter(int index) const;
    int CountFilteredExchangers() const;
    // Row of the filtered list to design exchanger index: -1 when the filter shows nothing.
    int GetFilteredExchangerIndex(int row) const;
    // The design exchanger of a row of the process-exchanger list and of the utility-exchanger
    // list of the current filter; the last exchanger past the end, -1 without exchangers.
    int GetProcessExchangerIndex(int row) const;
    int GetUtilityExchangerIndex(int row) const;
    int GetAreaSpecifiedExchangerIndex(int row) const;
    int GetConfiguredExchangerIndex(int row) const;
    int GetUnconfiguredCoolerIndex(int row) const;
    int GetUnconfiguredHeaterIndex(int row) const;
    // The n-th (from 1) exchanger without an existing area; the last one when fewer qualify.
    CNode* GetExchangerWithoutExistingArea(int n) const;
    CNode* FindExchangerByName(const Text& name) const;
    // The stream entering side 0 (hot) or 1 (cold) of an exchanger; it becomes the current stream.
    Text GetSideStreamName(CNode* exchanger, int side);
    // 1 hot utility, 0 cold utility on either port node (the first examined first), 255 none.
    static std::uint8_t GetUtilitySide(CNode* first, CNode* second);
    int GetDesignPinchIndex() const;
    double GetFilteredTotal(const VarDescription& var) const;
    // Design exchanger indices of the filtered rows, largest cross-pinch load (entry `pinch`)
    // first; kept for the elimination view.
    const std::vector<int>& BuildCrossPinchList(int pinch);
    const std::vector<int>& GetCrossPinchOrder() const { return crossPinchOrder; }
    // The names the current event kind may act on (the exchanger selection list).
    const std::vector<Text>& GetEventTargets() const { return pEventTargets; }
    bool IsCoolerAboveHotPinch(CNode* exchanger) const;
    bool IsCoolerBelowColdPinch(CNode* exchanger) const;
    bool IsHeaterAboveHotPinch(CNode* exchanger) const;
    bool IsHeaterBelowColdPinch(CNode* exchanger) const;
    bool HasCondenserReboilerPartnerAcrossPinch(int row) const;
    // The performance table: variable 752, 753, 756 to 763 with first index 0 the design's
    // figure, 1 its agreement with the target (or the retrofit base design).
    double GetPerformanceValue(const VarDescription& var) const;
    void SetPinchDiagram(bool on);
    int GetPinchDiagram() const;
    IHeatIntegrationStream* GetCurrentStream() const { return pCurrentStream; }
    void SetCurrentStream(IHeatIntegrationStream* stream) { pCurrentStream = stream; }
    // The stream names of the stream choice, once the form has asked for them; null before.
    const VarEnumInfo* GetStreamNameEnum() const { return pStreamNameEnum.get(); }
    // The process stream at a row of the current stream list (`nStreamListMode` 0 the
    // unsatisfied ones, 1 all); null past the list or in another mode.
    IHeatIntegrationStream* StreamRow(int row) const;
    // The design exchanger at a row of the cross-pinch list, which is rebuilt for the sort
    // column first when the filter has changed its length; -1 past its end.
    int CrossPinchRow(int row);
    // An exchanger's "UnitOperationName"; empty when it has none.
    static Text UnitName(const CNode* unit);

    // ---- driving-force plot ----
    void BuildDrivingForcePlot();
    void AddDrivingForceCurve(const Text& name);
    void RemoveDrivingForceCurve(const Text& name);
    void RenameDrivingForceCurve(const Text& oldName, const Text& newName);
    // Shows the plot's form: "All" every exchanger, a name that exchanger with the reference
    // curves, empty leaves the curves as they are.
    void ShowDrivingForcePlot(const Text& filter);
    void BuildBarChart();

    // ---- fields (the forms read and write them through the variables of the form) ----
    std::int32_t nOptimizationMode = 1;
    std::uint8_t bOption206 = 0;
    std::int32_t nSetting204 = 0;
    std::int32_t nSetting210 = 1, nSetting212 = 1, nSetting211 = 1, nSetting216 = 1;
    std::int32_t nFilterProcess = 1;
    std::int32_t nSetting201 = 1;
    std::int32_t nSetting200 = 10;
    std::int32_t nSetting207 = 0, nSetting208 = 0;
    std::int32_t nSetting203 = 0;
    std::int32_t nSelectedRowA = -1, nSelectedRowB = -1;
    std::int32_t nStreamListMode = 0, nExchangerListMode = 0;
    std::int32_t nCurrentExchangerRow = 0, nCurrentStreamRow = 0;
    std::int32_t nSetting707 = 1;
    std::int32_t nFilterHeaters = 3, nFilterCoolers = 5;
    std::int32_t nSetting412 = 0;
    std::int32_t nRetrofitOption = 0;
    std::uint8_t bStoredFlag = 0;
    std::uint8_t bFlag434 = 1;
    std::uint8_t bOperationsMode = 0;
    // Set by ModifyOperation: the sizes of a locked network (areas, shells, the coefficient
    // switch) may change until the next lock or unlock.
    bool bSizesModifiable = false;
    Text strSelectedStream;
    Text strText208;
    Text strExchangerSearchName;
    std::int32_t nEventKind = EmptyInt;
    Text strHXSelection;
    std::int32_t nCrossPinchSortColumn = 0;
    double dPercentage = 0.0;
    std::int32_t nSelectedTargetPlot = 3;
    std::int32_t nRetrofitMode = 0;
    double dRetrofitCapitalCost = EmptyValue, dRetrofitPayback = EmptyValue;
    std::int32_t nRetrofitResult = 0;
    // The optimisation mode switch of the single-scenario design form: set, the optimiser runs
    // in mode 1.
    std::uint8_t optimiseOption = 0;

    // Children that other views of the design own; their classes come with those views.
    Viewable* GetEventSummaryView() const { return pEventSummaryView; }
    Viewable* GetSelectedItemView() const { return pSelectedItemView; }
    Viewable* GetTrendAnalysisView() const { return pTrendAnalysisView; }
    Viewable* GetStateView() const { return pStateView; }
    const HVector<Viewable*>& GetExchangerViews() const { return lstExchangerViews; }
    const HVector<Viewable*>& GetSplitterViews() const { return lstSplitterViews; }

    // ---- what-if views (HIDesignViewerDesignWhatIf.cpp) ----
    // The "Event Summary" schedule list of a design whose operation is locked, made once.
    void MakeEventSummary();
    // The trend-analysis view of a design that has its default study, made once; a new study
    // gets its times spaced one unit apart, a study read back keeps them.
    void MakeTrendAnalysisView(bool newStudy = false);
    // A what-if item chosen in the schedule lists becomes the selected item (watched), and its
    // schedule (and event) the design's current one, which the schedule commands act on.
    void SelectWhatIfItem(Viewable* view);
    void MakeSelectionCurrent(Viewable* item);
    // Whether the cell is a size the lock froze (area, shells, the coefficient switch) and the
    // operation was not opened for modification.
    bool IsSizeFrozen(int type, int number) const;
    // Refuses a network that does not calculate as a retrofit's base, saying what does not; 0.
    int refuseUncalculatedBase();
public:
    // When the network does not calculate, and so can be no retrofit's base: shows
    // "RetrofitBaseNotCalculated" on `shown` with what does not calculate, and answers true.
    static bool RefuseUncalculatedBase(IHENDesign* design, Viewable& shown);
private:
    // Whether the view is a child the viewer watches for a slot of its own (so that a selection
    // moving away from it does not stop watching it).
    bool IsWatchedChild(const Viewable* view) const;
    // The schedule and study notices (8, 9, 12, 100, 112); false for another code.
    bool WhatIfNotice(int code, const CPString& text, void* data);

private:
    // ---- command handlers: each answers whether it handled the line ----
    int retrofitStep(int mode);
    int openFreedomView(const Text&); int openHXStatus(const Text&); int openOptimizerWizardView(const Text&);
    int openDrivingForcePlot(const Text&); int openHXView(const Text&); int viewPlotStandalone(const Text&);
    int openCPEliminationView(const Text&); int openColdSegmentTable(const Text&); int openHotSegmentTable(const Text&);
    int openSegmentTable(int side);
    int reconcile(const Text&); int optimize(const Text&); int runSplitOptimization(const Text&);
    int optimizeSplitFlows(const Text&);
    // Whether the network splits no stream (said with "NoSplitToOptimise").
    bool refusedWithNoSplit();
    int openRetrofitOptionView(const Text&); int retrofitNow(const Text&); int addNewHX(const Text&);
    int resqHX(const Text&); int repipHX(const Text&); int utilHX(const Text&); int openAddAreaHXView(const Text&);
    int runRetrofitOptimization(const Text&); int deleteNewRetrofitDesign(const Text&);
    int lockOperation(const Text&); int solveOperations(const Text&); int unlockOperation(const Text&);
    int modifyOperation(const Text&); int addScheduleToDesign(const Text&); int removeScheduleFromDesign(const Text&);
    int removeEventFromSchedule(const Text&); int executeSchedule(const Text&); int addEventToSchedule(const Text&);
    int buildTextList(const Text&); int clearStatusBar(const Text&); int setSelectedObjToSchedule(const Text&);
    int popUpEventToScheduleView(const Text&); int acceptThroughputChanges(const Text&);
    int openWhatifAnalysisView(const Text&); int openTrendAnalysisView(const Text&); int resetDefaultState(const Text&);
    int openDefaultStateView(const Text&); int showEventPlannerView(const Text&);
    // Stops watching a child of a slot, destroys it and empties the slot.
    void DestroyChild(Viewable*& slot);
    // True, with "OperationNotLocked" shown, when the network is not locked for operation.
    bool RefuseUnlockedOperation() const;

    void InitCommon();
    void Unbind();
    // The form's members.
    // The texts known by name (`answered` false for another), and the plain-number texts.
    Text NamedText(const VarDescription& var, bool& answered);
    Text PlainText(const VarDescription& var);
    double FilterPart(const VarDescription& var);
    int SetFilterPart(const VarDescription& var, double value);
    double DrivingForceTemperature(const VarDescription& var);
    int DrivingForceRows(const VarDescription& var, DimInfo& dims);
    double Performance(const VarDescription& var);
    double FilteredCount(const VarDescription& var);
    int ExchangerRows(const VarDescription& var, DimInfo& dims);
    Text FilteredExchangerName(const VarDescription& var);
    double EnumSelection(const VarDescription& var);
    int SetEnumSelection(const VarDescription& var, double value);
    // Data set of a driving-force curve.
    void CreateDrivingForceDataSet(const DrivingForceSet& set);
    int ExchangerIndexWhere(int row, bool (*test)(CNode*)) const;
    bool Placement(CNode* exchanger, int test) const;

    IHeatIntegrationScenario* pScenario = nullptr;
    IHENDesign* pDesign = nullptr;
    std::uint8_t bRecalled = 0;
    int recallVersion = ClassVersion;
    HENDiagram* pGridDiagram = nullptr;
    Viewable* pTrendAnalysisView = nullptr;
    IHeatIntegrationStream* pCurrentStream = nullptr;
    std::unique_ptr<VarEnumInfo> pStreamNameEnum;
    std::unique_ptr<VarEnumInfo> pEnum240;
    std::unique_ptr<VarEnumInfo> pPriorityEnum;
    std::unique_ptr<VarEnumInfo> pCrossPinchColumnEnum;
    TwoDimPlot* pDrivingForcePlot = nullptr;
    chiHXBarPlot* pBarChart = nullptr;
    Viewable* pStateView = nullptr;
    HVector<Viewable*> lstExchangerViews{10};
    HVector<Viewable*> lstSplitterViews{10};
    std::vector<DrivingForceSet> lstDrivingForceSets;
    // FindExchangerByName's index: design exchanger index by unit name, with the design and the
    // exchanger count it was built for.
    mutable std::unordered_map<std::string, int> exchangerIndexByName;
    mutable const IHENDesign* exchangerIndexDesign = nullptr;
    mutable int exchangerIndexCount = -1;
    Viewable* pEventSummaryView = nullptr;
    Viewable* pCurrentScheduleView = nullptr;
    Viewable* pEventPlanner = nullptr;
    std::vector<Text> pEventTargets;
    Viewable* pSelectedItemView = nullptr;
    std::vector<int> crossPinchOrder;
    // Main form open, palette open (the form notices).
    bool mainFormOpen = false;
    // Links read from the record, filled before the fix-ups.
    struct RecalledLinks {
        // Each slot is filled by the framework after the whole case is read: they must not move.
        Viewable* gridDiagram = nullptr;
        std::deque<Viewable*> exchangerViews, splitterViews, droppedViews;
        Viewable* drivingForcePlot = nullptr;
        Viewable* barChart = nullptr;
        Viewable* selectedItem = nullptr;
        Viewable* trendAnalysis = nullptr;
    };
    std::unique_ptr<RecalledLinks> recalled;
    // The exchanger and splitter views by their node (a split by its tee) and back: opening one
    // unit opens the units around it, each looked up here.
    std::unordered_map<const CNode*, Viewable*> equipmentViews;
    std::unordered_map<const Viewable*, const CNode*> equipmentNodes;
    void IndexEquipmentView(const CNode* node, Viewable* view);
};
