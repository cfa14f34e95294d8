#pragma once
// The segment table: the view of one heat-integration stream split into temperature segments.
// A grid of one row per segment (inlet and outlet temperature, load, heat-capacity flow rate,
// specific heat, coefficients, fouling, transport properties), the stream-wide fields, the
// commands that insert and delete segments, and one property plot of the stream (temperature
// against heat load, density, conductivity or viscosity).
//
// Two settings: scenario mode (a stream of a scenario, opened from the scenario viewer) and site
// mode (a site utility stream, opened from the site's utility editor: the table holds the site's
// utility manager and no scenario). A site-mode table is not stored: its record could not name
// the site manager, so the site editor makes it again when asked.
//
// Record (class version 5, read from 1 to 5): plot parameters; site flag (from 4); scenario
// link; has-stream flag and stream name; selected row; plot link (from 2); the default-utility
// and coefficient editor links (from 3); the plot type (from 5: the plot itself is built anew,
// and an older record reopens with the temperature-enthalpy diagram); the rows that hold their
// own coefficient although it equals the default one, as a count and the rows (from 6; an older
// record has none). Sources: SegmentTable.cpp (binding, commands, record),
// SegmentTableValues.cpp (the form), SegmentTablePlot.cpp (the plot and its series).
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/VarEnumInfo.h"
#include "lumeth/Viewable.h"

#include <cstdint>
#include <memory>
#include <vector>

class DefaultUtilManagerView;
class Dim2GraphControl;
class HTCDatabaseView;
class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class ITotalSiteUtilityManager;
class TwoDimPlot;

class SegmentTable : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "SegmentTableObject";
    static constexpr int ClassVersion = 6;
    // The plot types; there is no 1, and any other value gives a plot without data sets.
    enum PlotType : int { EnthalpyPlot = 0, DensityPlot = 2, ConductivityPlot = 3, ViscosityPlot = 4 };

    // Scenario mode.
    SegmentTable(Viewable* parent, IHeatIntegrationScenario* scenario, IHeatIntegrationStream* stream);
    // Site mode.
    SegmentTable(Viewable* parent, ITotalSiteUtilityManager* siteManager, IHeatIntegrationStream* stream);
    // An empty table that its record fills.
    explicit SegmentTable(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new SegmentTable(info); }
    ~SegmentTable() override;
    SegmentTable(const SegmentTable&) = delete;
    SegmentTable& operator=(const SegmentTable&) = delete;

    IHeatIntegrationScenario* GetScenario() const { return myScenario; }
    ITotalSiteUtilityManager* GetSiteManager() const { return mySiteManager; }
    IHeatIntegrationStream* GetStream() const { return myStream; }
    TwoDimPlot* GetPlot() const { return myPlot; }
    Dim2GraphControl* GetPlotParameters() const { return myPlotParameters; }
    int GetPlotType() const { return plotType; }
    int GetSelectedRow() const { return selectedRow; }
    bool HasRawData() const { return hasRawData; }
    int GetDefaultHTCIndex() const { return defaultHTCIndex; }
    DefaultUtilManagerView* GetDefaultUtilView() const { return defaultUtilView; }
    HTCDatabaseView* GetHTCDatabaseView() const { return htcDatabaseView; }
    const VarEnumInfo* GetPlotTypeList() const { return plotTypeList.get(); }

    // The segment's coefficient is a default one, chosen elsewhere (the stream table).
    void CoefficientFromDefault(int row) { MarkOwnCoefficientRow(row, false); }

    // The plot built anew for the current plot type.
    void BuildPlot();
    // Data set 2, the raw-data curve, for the current plot type.
    void AddRawCurve();

    // ---- framework hooks ----
    static const ViewForm<SegmentTable>& Form();
    // The variables of the form rows and the command words of Message.
    static void LoadVariables(FormDescription& form);
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    int GetEDVarType(const VarDescription& var) override;
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    int Message(const Text& line) override;
    bool GenMessage(MessageInfo& info) override;
    Text AttachedName(const Viewable* child) const override;
    Viewable* AttachedObject(const VarDescription& var) override;
    void DisconnectDeadObject(Viewable* dead) override;
    void NotifyChange(int code, const CPString& text, void* data) override;

    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override { return true; }
    bool RecallFixUp() override;
    bool IsLeftOutOfRecords() const override;

private:
    void FillPlotTypes();
    void Register();
    void Unregister();
    void ReadRawDataFlag();
    double StreamValue(const char* name, int index) const;
    int StreamRows(const char* name) const;
    void ShowHTCDatabaseView();

    // Form members (SegmentTableValues.cpp).
    double InletTemperature(const VarDescription& var);
    double OutletTemperature(const VarDescription& var);
    int SetInletTemperature(const VarDescription& var, double value);
    int SetOutletTemperature(const VarDescription& var, double value);
    int TemperatureRows(const VarDescription& var, DimInfo& dims);
    double SegmentLoad(const VarDescription& var);
    int SetSegmentLoad(const VarDescription& var, double value);
    int EnthalpyRows(const VarDescription& var, DimInfo& dims);
    double SegmentValue(const VarDescription& var);
    int SetSegmentValue(const VarDescription& var, double value);
    // A value of a segment that gives way to one typed after it, and what it held.
    struct Overruled {
        const char* name;
        int index;
        double value;
    };
    // Writes into the stream (SegmentTableWrites.cpp): taken, refused by the stream, or put back
    // because a value it carries would lie outside what a case holds.
    enum class Put { Done, Refused, OutsideACase };
    Put SetOverruling(const char* name, double value, int row);
    // The values the user gave that a value typed into `name` at `row` would overrule (for the
    // mass flow, every segment's): what a calculated value follows from, when it may be typed over.
    std::vector<Overruled> OverruledBy(const char* name, int row) const;
    Put SetMassFlow(double value);
    bool Given(const char* name, int index) const;
    Put PutOverruling(const char* name, double value, int index, const std::vector<Overruled>& overruled, int first,
                      int last);
    bool SegmentHolds(int segment) const;
    static bool TypedInRange(int column, double value);
    static void RefuseOutOfRange(const Text& takes);
    static void RefuseOutOfColumnRange(int column);
    static void RefuseOutOfLoadRange();
    int Answer(Put put, const char* refused);
    bool IsUtilityLoad(const VarDescription& var) const;
    // The stream value a write of the cell changes (null: a setting of the view alone), and
    // whether the existing network of a retrofit study holds it: the cell then reads read-only
    // and takes nothing.
    static const char* WrittenValue(const VarDescription& var);
    bool HeldByRetrofitBase(const VarDescription& var) const;
    bool UtilityLoadCell(const VarDescription& var);
    int SetPoint(int point, double value);
    int HeatCapacityRows(const VarDescription& var, DimInfo& dims);
    int SpecificHeatRows(const VarDescription& var, DimInfo& dims);
    int CoefficientRows(const VarDescription& var, DimInfo& dims);
    double DefaultBox(const VarDescription& var);
    // The rows whose coefficient the user gave, though it equals the one the stream fills in.
    bool IsOwnCoefficientRow(int row) const;
    void MarkOwnCoefficientRow(int row, bool own);
    // Rows from `row` on move by `by` (a segment inserted, +1, or deleted, -1, at `row`).
    void ShiftOwnCoefficientRows(int row, int by);
    int SetDefaultBox(const VarDescription& var, double value);
    double StreamWideValue(const VarDescription& var);
    int SetStreamWideValue(const VarDescription& var, double value);
    double TotalLoad(const VarDescription& var);
    Text TotalLoadText(const VarDescription& var);
    double SupplyTemperature(const VarDescription& var);
    double TargetTemperature(const VarDescription& var);
    double UtilityFlag(const VarDescription& var);
    double HotCold(const VarDescription& var);
    double SegmentFlag(const VarDescription& var);
    double Zero(const VarDescription& var);
    double PlotTypeValue(const VarDescription& var);
    int SetPlotType(const VarDescription& var, double value);
    double DefaultHTCValue(const VarDescription& var);
    int SetDefaultHTC(const VarDescription& var, double value);
    double SelectedRowValue(const VarDescription& var);
    int SetSelectedRow(const VarDescription& var, double value);
    double InsertAllowed(const VarDescription& var);
    double DeleteAllowed(const VarDescription& var);
    Text StreamName(const VarDescription& var);
    Text Title(const VarDescription& var);
    Text LoadLabel(const VarDescription& var);

    // Plot series (SegmentTablePlot.cpp).
    double PointTemperature(const VarDescription& var);
    int PointRows(const VarDescription& var, DimInfo& dims);
    double CumulativeLoad(const VarDescription& var);
    double StepTemperature(const VarDescription& var);
    int StepRows(const VarDescription& var, DimInfo& dims);
    double StepProperty(const VarDescription& var);
    int PropertyStepRows(const VarDescription& var, DimInfo& dims);
    double RawValue(const VarDescription& var);
    double RawHeatFlow(const VarDescription& var);
    int RawRows(const VarDescription& var, DimInfo& dims);
    double StreamColour(const VarDescription& var);

    int defaultHTCIndex = 0;
    IHeatIntegrationScenario* myScenario = nullptr;
    ITotalSiteUtilityManager* mySiteManager = nullptr;
    IHeatIntegrationStream* myStream = nullptr;
    TwoDimPlot* myPlot = nullptr;
    Dim2GraphControl* myPlotParameters = nullptr;
    Viewable* myParentView = nullptr;
    std::unique_ptr<VarEnumInfo> plotTypeList;
    std::int32_t plotType = EnthalpyPlot;
    std::int32_t selectedRow = 0;
    // Sorted; see IsOwnCoefficientRow.
    std::vector<std::int32_t> ownCoefficientRows;
    bool hasRawData = false;
    DefaultUtilManagerView* defaultUtilView = nullptr;
    HTCDatabaseView* htcDatabaseView = nullptr;

    // The sender the table registered with (the scenario's or the site manager's) and the
    // stream's, so that it leaves exactly those.
    INotificationSender* registeredOwner = nullptr;
    INotificationSender* registeredStream = nullptr;
    // Filled by a recall, taken by the fix-up.
    Viewable* recalledPlot = nullptr;
    Viewable* recalledDefaultUtilView = nullptr;
    Viewable* recalledHTCView = nullptr;
    int recallVersion = ClassVersion;
};
