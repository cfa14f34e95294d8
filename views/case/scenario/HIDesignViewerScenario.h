#pragma once
// The scenario viewer: the view of one scenario that its forms bind to. It owns every child view
// of the scenario (design viewers, segment tables, plots and tables, utility name views, the
// default-utility and coefficient editors, the extraction view and the stream-link list), keeps
// them in step with the change codes of the scenario and its default-utility manager, names them
// for the forms, and stores itself in the case file (class version 24, read from 1 to 24).
#include "brasko/NotificationSender.h"
#include "lumeth/HVector.h"
#include "lumeth/PointerList.h"
#include "lumeth/Viewable.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

class ChiSuperTargetPlot;
class FormDescription;
class ChiTable;
class DataExtractionView;
class DefaultUtilManagerView;
class Dim2GraphControl;
class HIDesignViewerDesign;
class HTCDatabaseView;
class IHENDesign;
class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class LinkTableCollection;
class SegmentTable;
class UtilityNameView;
class VarEnumInfo;
class chiPlot;

// The scenario's heat-integration plots and target tables; destroying a list deletes what it
// still holds.
class HenPlotList : public PointerList<chiPlot> {
public:
    HenPlotList();
    ~HenPlotList();
    HenPlotList(const HenPlotList&) = delete;
    HenPlotList& operator=(const HenPlotList&) = delete;
};
class HenTableList : public PointerList<ChiTable> {
public:
    HenTableList();
    ~HenTableList();
    HenTableList(const HenTableList&) = delete;
    HenTableList& operator=(const HenTableList&) = delete;
};

class HIDesignViewerScenario : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "HIDesignViewerScenarioObject";
    static constexpr int ClassVersion = 24;
    static constexpr int EmptyInt = -32767;

    // A new viewer under `parent`, named like its scenario.
    HIDesignViewerScenario(Viewable* parent, const Text& name, const ObjectTypeInfo* type);
    // A viewer the framework makes before reading its record.
    explicit HIDesignViewerScenario(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new HIDesignViewerScenario(info); }
    ~HIDesignViewerScenario() override;

    // The limitations notice of the extraction, looked up once per process. The text is made on
    // first use: the load routine fills it before the module's other globals are built.
    static bool dontShowLimitsView;
    static Text& extractionLimitations();
    static void InitializeLimitationsText();

    // ---- accessors ----
    HVector<HIDesignViewerDesign*> GetDesignObjs() const { return designObjs; }
    IHeatIntegrationScenario* GetmyScenario() const { return myScenario; }
    HIDesignViewerDesign* GetCurrentDesign() const { return currentDesign; }
    HenPlotList* GetHenPlotList() const { return henPlotList; }
    HenTableList* GetHenTableList() const { return henTableList; }
    HVector<SegmentTable*>& GetProcessSegmentTableVector() { return processSegmentTableVector; }
    HVector<SegmentTable*>& GetUtilitySegmentTableVector() { return utilitySegmentTableVector; }
    const HVector<SegmentTable*>& GetSegmentTables() const { return segmentTables; }
    const HVector<UtilityNameView*>& GetUtilityNameViews() const { return utilityNameViews; }
    const HVector<UtilityNameView*>& GetDefaultUtilityNameViews() const { return defaultUtilityNameViews; }
    ChiSuperTargetPlot* GetGeneralPlot() const { return generalPlot; }
    ChiSuperTargetPlot* GetSuperTargetPlot() const { return superTargetPlot; }
    DefaultUtilManagerView* GetDefaultUtilManagerView() const { return myDefaultUtilManagerView; }
    HTCDatabaseView* GetHTCDatabaseView() const { return myHTCDatabaseView; }
    DataExtractionView* GetDataExtractionView() const { return dataExtractionView; }
    LinkTableCollection* GetLinkTableCollection() const { return linkTableCollection; }
    VarEnumInfo* GetEconomicDataEnum() const { return economicDataEnum; }
    void SetExtractedData(int extracted) { extractedData = extracted; }
    int GetExtractedData() const { return extractedData; }

    // ---- binding ----
    // Binds the viewer a project viewer has just made to the scenario of its name; false when
    // the owner is not a project viewer (total-site viewer for the second).
    bool SetVariables();
    bool SetVariablesTotalSite();
    // `recalling` 0: the children are built; 1: they come from the record.
    void SetEngineeringScenario(IHeatIntegrationScenario* scenario, int recalling);
    void NotifyChange(int code, const CPString& text, void* data) override;
    void SetSelectedObject(Viewable* object);
    void SetCurrentDesign(int index);
    HIDesignViewerDesign* GetDesignI(int index) const;
    // The owning project viewer or total-site viewer, null when the owner is neither.
    Viewable* Parent() const;
    Viewable* ParentTotalSite() const;

    // ---- children ----
    void AddDesign(const Text& name);
    int FindDesignMatch(const Text& name) const;
    void SetMyDefaultUtilManagerView();
    void SetMyHTCDatabaseView();
    void ShowSegmentTable(IHeatIntegrationStream* stream);
    Viewable* GetSegmentTableView(IHeatIntegrationStream* stream);
    // A default coefficient chosen for a segment of the stream outside its segment table: the
    // table, when open, no longer counts the segment's coefficient as the user's own.
    void SegmentCoefficientFromDefault(const IHeatIntegrationStream* stream, int segment);
    void BuildSuperTargetPlot();
    void BuildPlots();
    void BuildGeneralPlots();
    void AddPlot(chiPlot* plot);
    void RemovePlot(chiPlot* plot);
    Viewable* CreateUtilityStream(const Text& name, int row);
    void BuildUtilityDropDownList();
    void UpdateUtilityDropDownList();
    void SetEconomicData();
    Text GetUnitNameFromMoniker(const Text& moniker) const;
    // The extraction view of the scenario (made by the extraction commands).
    void SetDataExtractionView(DataExtractionView* view);
    // The import-running flag: a design viewer added meanwhile holds its diagram's layout.
    void SetExtractionDesignFlag(int flag) { extractionDesignFlag = flag; }

    // ---- design comparisons (the design pages' numbers) ----
    // The share b keeps of the reference a, in percent: (1 - (a - b) / |a|) x 100; empty when
    // either is empty; with a zero reference 0.0 for a zero b, else -32768.0.
    static double Compare(double a, double b);
    // 0.0 for a zero value, empty for an empty one, else 100.0.
    static double ComparisonBasis(double x);
    IHENDesign* GetSelectedDesign(const HIDesignViewerDesign* viewer) const;
    IHENDesign* GetEngineeringDesign(int index, int unused = 0) const;
    IHENDesign* GetCostIndexSortedNthSatisfiedDesign(int n) const;
    IHENDesign* GetBaseDesign() const;
    bool checkIfBaseCase(const IHENDesign* design) const;
    const char* GetDesignName(const VarDescription& var) const;
    const char* GetDesignName(const Text& leaveOut, const VarDescription& var) const;
    double GetMatrixInfo(const VarDescription& var, int unused = 0) const;
    double GetDesignInfo(const VarDescription& var) const;
    Text GetHXinDesign(IHENDesign* design, int n) const;
    double GetOldExchangers(const VarDescription& var) const;
    double GetNewExchangers(const VarDescription& var) const;
    double GetNewHX(const VarDescription& var) const;
    double NewEquipment(const VarDescription& var) const;
    double NewEquipment(const Text& designName, const VarDescription& var) const;
    double GetHXInfoByDNA(const Text& designName, const VarDescription& var) const;
    double GetAdditionalLoad(int index) const;
    double GetTotalLoadCostArea(const VarDescription& var) const;
    int GetEDVarType(const VarDescription& var) override;
    // Retrofit summary, base case and utilities.
    int GetUtilHeatType() const;
    double UtilityCost(int side) const;
    double GetUtilityTargetCost(int side) const;
    double GetRetroSummary(const VarDescription& var) const;
    double GetRetroSummaryInfo(IHENDesign* design, const VarDescription& var, int column) const;
    double GetBaseCaseInfo(const VarDescription& var);
    double GetUtilityStreamInfo(const VarDescription& var);
    double GetUtilityDesignInfo(const VarDescription& var, IHeatIntegrationStream* stream) const;
    double GetRetroUtility(const VarDescription& var, IHeatIntegrationStream* stream) const;
    double GetTotalUtilityInfo(const VarDescription& var) const;
    double GetRetroHX(const VarDescription& var) const;
    double GetRetroHXInfo(const VarDescription& var, int index) const;

    // ---- commands ----
    int Message(const Text& line) override;
    // Every text goes through one dispatcher over the text rows (ScenarioTextRows.h), in the
    // order of its steps; what no row answers goes to the framework. Unbound, every text is empty.
    Text TextValue(const VarDescription& var) override;
    struct TextRow;
    // Every text row, in dispatch order (the form listing and the tests walk them).
    static const std::vector<const TextRow*>& TextRows();
    // The text row that answers a variable (null: the framework answers).
    static const TextRow* FindTextRow(const VarDescription& var);
    // The words of the design-comparison and retrofit tables and of the stream-link table.
    static const std::vector<TextRow>& DesignTextRows();
    // Typed numbers and texts: one dispatcher per hook over the input rows
    // (ScenarioInputRows.h); unbound, nothing happens.
    int Specify(const VarDescription& var, double value) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    // Whether a cell may be typed into: 1 writable, 0 read-only (unbound: nothing is set).
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    struct InputRow;
    // Every input row, in dispatch order (the form listing and the tests walk them).
    static const std::vector<const InputRow*>& InputRows();
    // The input row a typed number reaches (null: the framework takes it).
    static const InputRow* FindInputRow(const VarDescription& var);
    static const std::vector<InputRow>& FormStateInputRows();
    static const std::vector<InputRow>& StreamInputRows();
    static const std::vector<InputRow>& EconomicInputRows();
    static const std::vector<InputRow>& SettingInputRows();
    // The base-case lock: a retrofit scenario with a base design takes no edit of its data.
    bool BaseCaseLocked() const;
    // On a retrofit study: tells the user its streams are held for the base, and answers true.
    bool RefusedOnRetrofitBase();
    // The form rows and command words the viewer answers so far.
    static void DescribeForm(FormDescription& form);
    void ViewNotification(int code, Viewable* from, const Text& form) override;
    // The framework task of an automatic design: signal 4 runs it, others do nothing.
    static bool AutomaticHENDesignTask(void* task, int signal, int, void* data);
    // ---- case import ----
    // Runs the extraction the wizard set up, from a simulator case of its kind: 1 on success,
    // 0 on failure or without a wizard.
    int BuildRalvexCase();
    // Extracts the case the extraction holds under `path` again (marked cached when asked):
    // 1 when the streams grew (under automation, when the extraction succeeded).
    int ImportVelmorScenario(const Text& path, bool cached);
    // Reads a spreadsheet: 1 when its case was extracted or its segment table written.
    int TransferInformationFromExcel(const Text& path);
    // The row of the command table the last Message ran (-1: none), for the forms' tests.
    int LastCommandRow() const { return lastCommandRow; }
    static const std::vector<Text>& CommandWords();
    int automaticDesignBusy = 0;

    // ---- values, table sizes and choice lists (the numbers the forms read) ----
    // Every number goes through one dispatcher over the rows of the value tables
    // (ScenarioValueRows.h): "ColPos"/"RowPos" first, then the handled type codes in their
    // order, names only for other codes, then the last rows; what no row answers goes to the
    // framework. Unbound, every variable is empty.
    double Value(const VarDescription& var) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    struct ValueRow;
    // Every value row, in dispatch order, each once (the form listing and the tests walk them).
    static const std::vector<const ValueRow*>& ValueRows();
    // The row that answers a variable (null: the framework answers), as Value finds it.
    static const ValueRow* FindValueRow(const VarDescription& var);
    // The handled type codes in the order Value compares them.
    static const std::vector<int>& HandledTypeCodes();
    // The value tables by page: form state, names, the rows after the names, targets and
    // curves, stream tables, economics and settings.
    static const std::vector<ValueRow>& FormStateRows();
    static const std::vector<ValueRow>& NamedRows();
    static const std::vector<ValueRow>& LastRows();
    static const std::vector<ValueRow>& TargetRows();
    static const std::vector<ValueRow>& StreamRows();
    static const std::vector<ValueRow>& EconomicRows();
    // The design pages (selected design, design rows, design matrix, base case, comparison
    // columns) and the retrofit pages (routed getters, values against the base design).
    static const std::vector<ValueRow>& DesignRows();
    static const std::vector<ValueRow>& RetrofitRows();
    // A design's payback time in the display unit "years"; empty without a retrofit base design,
    // for the base itself and for a design without exchangers.
    double PaybackYears(const IHENDesign& design) const;

    // ---- framework hooks ----
    bool GenMessage(MessageInfo& info) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    int AttachObject(const VarDescription& var, Viewable* object) override;
    int GetAttachableObjects(const VarDescription& var, std::vector<Viewable*>& out) override;
    Viewable* AttachNewObject(const VarDescription& var, const Text& name) override;
    Text AttachedName(const Viewable* child) const override;
    void DisconnectDeadObject(Viewable* dead) override;
    const ObjectTypeInfo* GetObjectType(const ObjectTypeInfo* asked = nullptr) const override;
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;
    bool RecallFixUp() override;

    // ---- form state (read and written by the value and input hooks) ----
    Text spareText;
    Text newDesignName;
    std::int32_t spareInt = 2;
    std::int32_t tableColumn = 0;
    std::int32_t processRow = 0;
    std::int32_t option540 = 0;
    std::int32_t option1519_660 = 0, option1519_515 = 0, option1519_516 = 0;
    std::int32_t option105_127 = 0;
    std::int32_t selectedRow = 0;
    std::int32_t processHTCDefaultIndex = 25;
    std::int32_t option100_202 = 0, option100_203 = 2;
    // The utility table's chosen row; -1 until the user chooses one (it is not kept in the case).
    std::int32_t utilityRow = -1;
    std::int32_t option1519_288 = 0;
    std::int32_t option100_204 = 0;
    std::int32_t option100_250 = 1, option100_249 = 1, option100_251 = 1;
    std::int32_t showDesignSeries = 1, showTargetSeries = 1;
    std::int32_t option100_247 = 1, option100_248 = 1, option100_245 = 1, option100_246 = 1;
    bool flag104_310 = false, flag104_311 = false, flag104_312 = false, flag104_313 = false, flag104_314 = false;
    bool flag104_270 = false, showManagerFlag400 = false, showManagerFlag409 = false;
    std::int32_t selectedPlot = 3, option105_203 = 3, selectedMainPlot = 3, selectedLeftPlot = 7;
    std::int32_t selectedRightPlot = 3, retroSelectedMainPlot = 11;
    std::int32_t oldValue = EmptyInt;
    std::int32_t extractionDesignFlag = 0;
    Text workText;
    double value1519_210 = EmptyValue, valueComputed = EmptyValue;
    std::int32_t option105_222 = 0, option100_217 = 0;
    std::int32_t intArray109_250[3] = {1, 1, 1};
    std::int32_t extractedData = 0;
    std::uint8_t advanceStreamLinkPreference = 0;
    double value1519_555 = 0.0, value1519_556 = 0.0;

private:
    // Recall defaults and the version the record was read from (0: not recalled).
    void SetRecallDefaults();
    void Register(IHeatIntegrationScenario* scenario);
    void RegisterWithManager();
    IHeatIntegrationScenario* FindProjectScenario(int engineType) const;
    SegmentTable* NewSegmentTable(IHeatIntegrationStream* stream);
    SegmentTable* FindSegmentTable(const IHeatIntegrationStream* stream) const;
    UtilityNameView* NewNameView(const Text& name);
    // The first view of the list called `name`, -1 when none.
    static int FindNameView(const HVector<UtilityNameView*>& list, const Text& name);
    void DeleteNameViews(HVector<UtilityNameView*>& list);
    void FillDefaultNameViews();
    void UpdatePlotsForDesign(const Text& name, const Text& newName, int mode);
    void ReplaceDefaultUtilities();
    void DeleteLinksOfStream(void* link);
    void* PlotObjectAt(int position) const;
    void TellCaseOfSelection(Viewable* selected);
    bool RecalledLinksOwnDistinctViews() const;
    void AdoptRecalledChildren();
    void DeleteRecalledLinks();
    // Commands of the dispatch table.
    struct Command;
    static const std::vector<Command>& Commands();
    int addToDesignView(const Text&);
    int addDefaultDesign(const Text& rest);
    int noDesignSelected();
    int renameView(const Text&);
    int removeFromDesignView(const Text&);
    int removeDesignFromEAC(const Text&);
    int swapDesigns(const Text&);
    int cloneDesign(const Text&);
    int clearAllSubsets(const Text&);
    int searchSubsets(const Text&);
    int makeUtilitySufficient(const Text&);
    int automaticHENDesign(const Text&);
    int smartCompleteDesign(const Text&);
    int openDesignView(const Text&);
    int recommendDesign(const Text&);
    int calculate(const Text&);
    int unlockRetrofit(const Text&);
    int selectRetrofitNow(const Text&);
    int retrofitNow(const Text&);
    // Views, plots and tables.
    int viewSegTableView(const Text&);
    int viewSegTableViewU(const Text&);
    int viewHTCDefaultValueView(const Text&);
    int viewUtilHTCDefaultValueView(const Text&);
    int standAloneSuperTarget(const Text&);
    int viewPlotStandalone(const Text&);
    int viewCompositeCurves(const Text&);
    int viewGrandCompositeCurve(const Text&);
    int viewUtilityCompositeCurve(const Text&);
    int viewLeftPlotStandalone(const Text&);
    int viewRightPlotStandalone(const Text&);
    int viewDriveForcePlotStandalone(const Text&);
    int viewTableStandalone(const Text&);
    int openEconomicView(const Text&);
    int openTargetView(const Text&);
    int openHotTargetUtil(const Text&);
    int openCoolTargetUtil(const Text&);
    int openTopRightView(const Text&);
    int openSummaryView(const Text&);
    int openUDB(const Text&);
    int openHTC(const Text&);
    int openForbidden(const Text&);
    int openTotalSiteUtilityDatabase(const Text&);
    int useActivatedAnalysis(const Text&);
    // Streams and defaults.
    int removeAllForbMatches(const Text&);
    int resetEconomicData(const Text&);
    int addUtilityToUtilityStreams(const Text&);
    int switchProcessToUtil(const Text&);
    int switchUtilToProcess(const Text&);
    int applyNewBCValues(const Text&);
    // Files, imports and extraction.
    int saveHXCapitalCostDefaultSet(const Text&);
    int openHXCapitalCostDefaultSet(const Text&);
    int openExcelFile(const Text&);
    int buildRalvexCase(const Text&);
    int importVelmorScenario(const Text& rest);
    int importFromVelmor(const Text& rest);
    int finishExtraction(const Text&);
    int deleteUnusedUtilities(const Text&);
    int checkForSimulationReady(const Text&);
    int checkForQuorvexReady(const Text&);
    int exportVelmor(const Text&);
    // The shared steps: a plot of the list by its 1-based number; a stream's segment table or
    // coefficient form; the hold flag of every design viewer's grid diagram; DTmin at the
    // middle of the range-target optimum; the summary form opened afresh.
    void viewPlotNumber(int number);
    int viewStreamOfRow(int row, int kind, const char* coefficientForm);
    void holdDiagrams(bool hold);
    void setDTminToOptimum();
    void reopenSummary();
    void openExtractionWizard(double simulatorKind);
    int lastCommandRow = -1;
    // The reads that need more than one engine call.
    double ReadRow(const ValueRow& row, const VarDescription& var);
    // A variable of rows named without an index names its first row, as ".0" does: for reads
    // and writes, of values and texts alike. Any other is returned as it is.
    static VarDescription FirstRowWhenUnindexed(const VarDescription& var);
    double ReadStreamRow(const ValueRow& row, const VarDescription& var);
    // The stream of a row into workStream, without a message when it is not found.
    void LookUpQuietly(int row, int kind);
    int WriteRow(const InputRow& row, const VarDescription& var, double value);
    int SpecifyStreamName(const VarDescription& var, const Text& text, int kind);
    // A name typed for the viewer itself (1519/1000): its scenario renamed by the project's rule.
    int renameOwnScenario(const Text& name);
    // Deletes the selected design (asking first when `ask`), never a retrofit's base.
    int deleteSelectedDesign(bool ask);
    // Makes the view the selection of the case view this viewer is under (none: nothing to do).
    void selectInCase(Viewable* view);
    // Makes the viewer of the design just added under the name the case's selection; answers 1.
    int selectAdded(const Text& name);
    int SpecifyEconomicText(const VarDescription& var, const Text& text, bool named);
    int SpecifyHTCText(const VarDescription& var, const Text& text);
    double TargetTableValue(const VarDescription& var, double (*target)(const IHeatIntegrationScenario&));
    double UnitsTargetStreamValue(const VarDescription& var, int group, bool supply);
    double LoadBalance(int entry, int group, bool emptyWithoutNames);
    double EconomicItem(int item, const char* set) const;
    double EconomicRowItem(const VarDescription& var, int item) const;
    double CostCoefficient(const VarDescription& var) const;
    double AnnualisationFactor() const;
    double MatchCostModel(const VarDescription& var);
    bool AnyLocalContribution() const;
    double ForbiddenMatchFlag(const VarDescription& var);
    // Table sizes: the counts the rules share.
    int DimensionsBound(const VarDescription& var, DimInfo& dims);
    int SideChoiceSize(int hot, int cold, DimInfo& dims) const;
    int RetrofitCount(const VarDescription& var, DimInfo& dims) const;
    int DesignListSize(const VarDescription& var, DimInfo& dims) const;
    // A copy of the form's own choices (or of the choice numbers when the form gives none).
    VarEnumInfo* CopiedChoices(VarEnumInfo*& slot, const VariableNameInfo& info, std::initializer_list<int> numbers);

    Viewable* oldTwoDimPlotA = nullptr;
    Viewable* oldTwoDimPlotB = nullptr;
    Dim2GraphControl* oldPlotParameters = nullptr;
    ChiSuperTargetPlot* generalPlot = nullptr;
    ChiSuperTargetPlot* superTargetPlot = nullptr;
    IHeatIntegrationScenario* myScenario = nullptr;
    HVector<HIDesignViewerDesign*> designObjs{10};
    DefaultUtilManagerView* myDefaultUtilManagerView = nullptr;
    HTCDatabaseView* myHTCDatabaseView = nullptr;
    HIDesignViewerDesign* currentDesign = nullptr;
    // The design last added (it became the current one) and the one current before it: when the
    // added one goes while still current (a retrofit step's trial design the step discards), the
    // selection returns to the design the user had selected.
    HIDesignViewerDesign* lastAddedDesign = nullptr;
    HIDesignViewerDesign* designBeforeAdd = nullptr;
    IHeatIntegrationStream* workStream = nullptr;
    LinkTableCollection* linkTableCollection = nullptr;
    HVector<SegmentTable*> segmentTables{10};
    HVector<SegmentTable*> processSegmentTableVector{10};
    HVector<SegmentTable*> utilitySegmentTableVector{10};
    VarEnumInfo* economicDataEnum = nullptr;
    VarEnumInfo* enumA = nullptr;
    // Set when the scenario says its sub-network search ended at its time limit.
    bool subsetSearchStopped = false;
    VarEnumInfo* enumB = nullptr;
    VarEnumInfo* enumC = nullptr;
    VarEnumInfo* enumD = nullptr;
    HenPlotList* henPlotList = nullptr;
    HenTableList* henTableList = nullptr;
    DataExtractionView* dataExtractionView = nullptr;
    HVector<UtilityNameView*> utilityNameViews{10};
    HVector<UtilityNameView*> defaultUtilityNameViews{10};

    // The links of a record, filled by the framework once the whole case is read.
    struct RecalledLinks;
    RecalledLinks* recalled = nullptr;
    int recallVersion = 0;
    bool superTargetSettingsRead = false;
    std::int32_t superTargetQuantities[3] = {10, 10, 10};
};
