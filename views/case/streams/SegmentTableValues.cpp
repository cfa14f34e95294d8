// The segment table's form: the grid, the stream-wide fields, the view settings and the texts.
// Per-segment variables take the segment from their first index; stream values are read and
// written through the stream by name.
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/CaseValueLimits.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/StreamDefaults.h"
#include "eng/targeting/ITotalSiteUtilityManager.h"
#include "lumeth/FormWrites.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Session.h"
#include "views/case/streams/SegmentTable.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A typed number as a whole number: truncated, kept inside the 32-bit range (a number too large
// for it would make the conversion undefined).
std::int32_t wholeNumber(double value) {
    if (!(value == value)) return 0;
    return static_cast<std::int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}

// The stream value behind a grid column or stream-wide field and the key shown when the stream
// refuses a write (null: nothing is shown).
struct ColumnValue {
    int type;
    int number;
    const char* name;
    const char* error;
};
constexpr ColumnValue kColumns[] = {
    {1516, 100, "HeatCapacityFlowrate", MessageKey("MCpUpdateError")},
    {1011, 100, "SpecificHeat", MessageKey("Eff.CpUpdateError")},
    {1524, 100, "CHTCoeff", MessageKey("HTCoeffUpdateError")},
    {1524, 101, "HTCoeff", nullptr},
    {4101, 100, "FoulingFactor", MessageKey("FoulingUpdateError")},
    {1008, 101, "Viscosity", nullptr},
    {1007, 102, "ThermalConductivity", nullptr},
    {1012, 103, "MassDensity", nullptr},
    {1027, 100, "Velocity", nullptr},
    {1507, 104, "Diameter", nullptr},
    {4, 104, "MassFlow", MessageKey("NegativeFlowRateError")},
};

const ColumnValue* columnOf(const VarDescription& var) {
    for (const ColumnValue& c : kColumns)
        if (c.type == var.Type() && c.number == var.Number()) return &c;
    return nullptr;
}

bool isStreamWide(const ColumnValue& c) { return c.type == 1027 || c.type == 1507 || c.type == 4; }

// The segment of a per-segment variable; far beyond any stream's segments it stays a row no
// stream has (so that the next point's index cannot overflow).
int row(const VarDescription& var) { return std::clamp(var.Offset(0), 0, 1 << 24); }

int atLeastOne(int n) { return n < 1 ? 1 : n; }

// Every input runs with the busy signal on.
class Busy {
public:
    Busy() { SignalBusy(true); }
    ~Busy() { SignalBusy(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

const char* const kCommands[] = {"InsSeg", "DeleteSegment", "DeleteAllSegments", "PlotViewStandAlone",
                                 "ViewHTCDefaultValueView"};

}  // namespace

const ViewForm<SegmentTable>& SegmentTable::Form() {
    using V = SegmentTable;
    static const ViewForm<V> form{
        // The grid, one row per segment.
        {{"Temperature.100.[]", FormHook::Value, 1, true, 1}, &V::InletTemperature, &V::SetInletTemperature, nullptr,
         nullptr, &V::TemperatureRows},
        {{"Temperature.101.[]", FormHook::Value, 1, true, 1}, &V::OutletTemperature, &V::SetOutletTemperature, nullptr,
         nullptr, &V::TemperatureRows},
        {{"HeatFlow.100.[]", FormHook::Value, 6, true, 1}, &V::SegmentLoad, &V::SetSegmentLoad, nullptr, nullptr,
         &V::EnthalpyRows},
        {{"HeatCapacityFlow.100.[]", FormHook::Value, 1516, true, 1}, &V::SegmentValue, &V::SetSegmentValue, nullptr,
         nullptr, &V::HeatCapacityRows},
        {{"SpecificHeat.100.[]", FormHook::Value, 1011, true, 1}, &V::SegmentValue, &V::SetSegmentValue, nullptr,
         nullptr, &V::SpecificHeatRows},
        {{"HeatTransferCoeff.100.[]", FormHook::Value, 1524, true, 1}, &V::SegmentValue, &V::SetSegmentValue, nullptr,
         nullptr, &V::CoefficientRows},
        {{"HeatTransferCoeff.101.[]", FormHook::Value, 1524, false, 1}, &V::SegmentValue, nullptr, nullptr, nullptr,
         &V::CoefficientRows},
        {{"Fouling.100.[]", FormHook::Value, 4101, true, 1}, &V::SegmentValue, &V::SetSegmentValue, nullptr, nullptr,
         &V::CoefficientRows},
        {{"Switch.113.[]", FormHook::Value, 104, true, 1}, &V::DefaultBox, &V::SetDefaultBox, nullptr, nullptr,
         &V::CoefficientRows},
        {{"Viscosity.101.[]", FormHook::Value, 1008, true, 1}, &V::SegmentValue, &V::SetSegmentValue, nullptr, nullptr,
         &V::CoefficientRows},
        {{"ThermCond.102.[]", FormHook::Value, 1007, true, 1}, &V::SegmentValue, &V::SetSegmentValue, nullptr, nullptr,
         &V::CoefficientRows},
        {{"MassDensity.103.[]", FormHook::Value, 1012, true, 1}, &V::SegmentValue, &V::SetSegmentValue, nullptr,
         nullptr, &V::CoefficientRows},
        // The stream-wide fields.
        {{"Velocity.100", FormHook::Value, 1027, true, 0}, &V::StreamWideValue, &V::SetStreamWideValue},
        {{"Length.104", FormHook::Value, 1507, true, 0}, &V::StreamWideValue, &V::SetStreamWideValue},
        {{"MassFlow.104", FormHook::Value, 4, true, 0}, &V::StreamWideValue, &V::SetStreamWideValue},
        {{"HeatFlow.102", FormHook::Value, 6, false, 0}, &V::TotalLoad, nullptr, &V::TotalLoadText},
        {{"Temperature.105", FormHook::Value, 1, false, 0}, &V::SupplyTemperature},
        {{"Temperature.106", FormHook::Value, 1, false, 0}, &V::TargetTemperature},
        {{"Index.205", FormHook::Value, 100, false, 0}, &V::UtilityFlag},
        {{"Index.201", FormHook::Value, 100, false, 0}, &V::HotCold},
        {{"Switch.700", FormHook::Value, 104, false, 0}, &V::SegmentFlag},
        {{"Switch.201", FormHook::Value, 104, false, 0}, &V::Zero},
        // The view's settings.
        {{"Enum.551", FormHook::Value, 105, true, 0}, &V::PlotTypeValue, &V::SetPlotType},
        {{"Enum.511", FormHook::Value, 105, true, 0}, &V::DefaultHTCValue, &V::SetDefaultHTC},
        {{"WhereToIns.200", FormHook::Value, 100, true, 0}, &V::SelectedRowValue, &V::SetSelectedRow},
        {{"InsSegEn.100", FormHook::Value, 104, false, 0}, &V::InsertAllowed},
        {{"DelSeg.102", FormHook::Value, 104, false, 0}, &V::DeleteAllowed},
        {{"DelSegAll.102", FormHook::Value, 104, false, 0}, &V::DeleteAllowed},
        {{"StrColor.100", FormHook::Value, 100, false, 0}, &V::StreamColour},
        // Texts.
        {{"StrData.3", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::StreamName},
        {{"TitleName.100", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::Title},
        {{"ExtraData.201", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::LoadLabel},
        // The plot series.
        {{"Temperature.201.[]", FormHook::Value, 1, false, 1}, &V::PointTemperature, nullptr, nullptr, nullptr,
         &V::PointRows},
        {{"HeatFlow.201.[]", FormHook::Value, 6, false, 1}, &V::CumulativeLoad, nullptr, nullptr, nullptr,
         &V::PointRows},
        {{"Temperature.202.[]", FormHook::Value, 1, false, 1}, &V::StepTemperature, nullptr, nullptr, nullptr,
         &V::StepRows},
        {{"SpecificHeat.101.[]", FormHook::Value, 1011, false, 1}, &V::StepProperty, nullptr, nullptr, nullptr,
         &V::PropertyStepRows},
        {{"Viscosity.102.[]", FormHook::Value, 1008, false, 1}, &V::StepProperty, nullptr, nullptr, nullptr,
         &V::PropertyStepRows},
        {{"ThermCond.103.[]", FormHook::Value, 1007, false, 1}, &V::StepProperty, nullptr, nullptr, nullptr,
         &V::PropertyStepRows},
        {{"MassDensity.104.[]", FormHook::Value, 1012, false, 1}, &V::StepProperty, nullptr, nullptr, nullptr,
         &V::PropertyStepRows},
        {{"Temperature.211.[]", FormHook::Value, 1, false, 1}, &V::RawValue, nullptr, nullptr, nullptr, &V::RawRows},
        {{"HeatFlow.211.[]", FormHook::Value, 6, false, 1}, &V::RawHeatFlow, nullptr, nullptr, nullptr, &V::RawRows},
        {{"MassDensity.211.[]", FormHook::Value, 1012, false, 1}, &V::RawValue, nullptr, nullptr, nullptr, &V::RawRows},
        {{"ThermCond.211.[]", FormHook::Value, 1007, false, 1}, &V::RawValue, nullptr, nullptr, nullptr, &V::RawRows},
        {{"Viscosity.211.[]", FormHook::Value, 1008, false, 1}, &V::RawValue, nullptr, nullptr, nullptr, &V::RawRows},
        {{"SpecificHeat.211.[]", FormHook::Value, 1011, false, 1}, &V::RawValue, nullptr, nullptr, nullptr,
         &V::RawRows},
    };
    return form;
}

void SegmentTable::LoadVariables(FormDescription& form) {
    Form().Describe(form);
    for (const char* word : kCommands) form.AddCommand(word);
    // The keys a write of each column may be refused with.
    const std::pair<const char*, const char*> refusals[] = {
        {"Temperature.100.[]", "TemperatureUpdateError SpecRange"},
        {"Temperature.101.[]", "TemperatureUpdateError SpecRange"},
        {"HeatFlow.100.[]", "SpecRange EnthalpyUpdateError UtilitySegmentLoadFollows"},
        {"HeatCapacityFlow.100.[]", "MCpUpdateError SpecRange UtilitySegmentLoadFollows"},
        {"SpecificHeat.100.[]", "Eff.CpUpdateError SpecRange UtilitySegmentLoadFollows"},
        {"HeatTransferCoeff.100.[]", "HTCoeffUpdateError SpecRange"},
        {"Fouling.100.[]", "FoulingUpdateError SpecRange"},
        {"Switch.113.[]", "EmptyHTCError"},
        {"Viscosity.101.[]", "SpecRange"},
        {"ThermCond.102.[]", "SpecRange"},
        {"MassDensity.103.[]", "SpecRange"},
        {"MassFlow.104", "NegativeFlowRateError SpecRange"},
        {"Enum.511", "ValidOptionError"},
    };
    for (const auto& [address, keys] : refusals) form.SetRefusals(address, keys);
    form.SetDomain("Switch.113.[]", CellDomain::Switch());
    // The row selected is one of the table's rows: a segment, or the target point after the last.
    form.SetDomain("WhereToIns.200", CellDomain::EntriesOf([](Viewable& view, const VarDescription&) {
                       const SegmentTable& table = static_cast<SegmentTable&>(view);
                       return table.myStream ? table.myStream->GetNumberOfSegments() + 1 : 0;
                   }));
}

namespace {

// The variables a table answers while it has no stream: the plot type and the constant.
bool answeredWithoutStream(const VarDescription& var) {
    return (var.Type() == 105 && var.Number() == 551) || (var.Type() == 104 && var.Number() == 201);
}

}  // namespace

double SegmentTable::Value(const VarDescription& var) {
    double out = EmptyValue;
    if (!myStream && !answeredWithoutStream(var)) return Viewable::Value(var);
    // "InsSegEn" is answered whatever its number.
    if (var.VariableIs("InsSegEn")) return InsertAllowed(var);
    return Form().Value(*this, var, out) ? out : Viewable::Value(var);
}

int SegmentTable::Specify(const VarDescription& var, double value) {
    if (!myStream && !answeredWithoutStream(var)) return Viewable::Specify(var, value);
    Busy busy;
    if (HeldByRetrofitBase(var)) {
        ErrorMsg(WriteRefusal::ReadOnly);
        return 0;
    }
    int result = 0;
    return Form().Specify(*this, var, value, result) ? result : Viewable::Specify(var, value);
}

Text SegmentTable::TextValue(const VarDescription& var) {
    Text out;
    if (!myStream) return Viewable::TextValue(var);
    return Form().TextValue(*this, var, out) ? out : Viewable::TextValue(var);
}

int SegmentTable::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (!myStream) {
        // The grid and the series have one empty dimension (the raw series none).
        const ViewForm<SegmentTable>::Row* r = Form().Find(var);
        if (!r || !r->dimensions || var.Number() == 211) return r && r->dimensions ? 0 : Viewable::Dimensions(var, dims);
        dims.AddDim(0);
        return 1;
    }
    int added = 0;
    return Form().Dimensions(*this, var, dims, added) ? added : Viewable::Dimensions(var, dims);
}

void SegmentTable::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (!myStream || !Form().VariableStatus(var, state)) {
        Viewable::VariableStatus(var, state, detail);
        return;
    }
    if (HeldByRetrofitBase(var)) {
        state = ReadOnlyState;
        return;
    }
    // Values the stream calculated are shown read-only, but for those typed over what they follow from.
    const char* name = nullptr;
    int index = row(var);
    if (var.Type() == 1 && (var.Number() == 100 || var.Number() == 101)) {
        name = "Temperature";
        index += var.Number() - 100;
    } else if (var.Type() == 6 && var.Number() == 100) {
        name = "Enthalpy";
        detail = 0;
    } else if (const ColumnValue* c = columnOf(var)) {
        name = c->name;
        if (isStreamWide(*c)) index = 0;
    }
    // A calculated load, rate, specific heat or mass flow that follows from values the user gave
    // is typed over them: the one typed last stands (SetOverruling).
    const bool calculated = name && myStream->GetValueStatus(name, index) == 2;
    if ((calculated && OverruledBy(name, index).empty()) || IsUtilityLoad(var)) state = ReadOnlyState;
}

const char* SegmentTable::WrittenValue(const VarDescription& var) {
    const int t = var.Type(), n = var.Number();
    if (t == 1 && (n == 100 || n == 101)) return "Temperature";
    if (t == 6 && n == 100) return "Enthalpy";
    // The default box and the default choice write the segments' coefficients.
    if ((t == 104 && n == 113) || (t == 105 && n == 511)) return "CHTCoeff";
    const ColumnValue* c = columnOf(var);
    return c ? c->name : nullptr;
}

bool SegmentTable::HeldByRetrofitBase(const VarDescription& var) const {
    const char* name = WrittenValue(var);
    return name && myStream && myStream->IsHeldByRetrofitBase(name);
}

// A utility's segment loads are those the targets and designs place on it, and its rates follow
// from them: the table shows them, and a value typed there would be kept beside them unseen.
bool SegmentTable::IsUtilityLoad(const VarDescription& var) const {
    const bool loadOrRate = (var.Type() == 6 || var.Type() == 1516) && var.Number() == 100;
    return loadOrRate && myStream->GetStreamKind() == 1;
}

bool SegmentTable::UtilityLoadCell(const VarDescription& var) {
    if (!IsUtilityLoad(var)) return false;
    ErrorMsg("UtilitySegmentLoadFollows");
    return true;
}

int SegmentTable::GetEDVarType(const VarDescription& var) {
    int type = 0;
    return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}

VarEnumInfo* SegmentTable::GetEnumInfo(const VariableNameInfo& var) {
    if (var.Var().Type() == 105 && var.Var().Number() == 551) return plotTypeList.get();
    return Viewable::GetEnumInfo(var);
}

// ---- the grid ----

double SegmentTable::InletTemperature(const VarDescription& var) { return StreamValue("Temperature", row(var)); }
double SegmentTable::OutletTemperature(const VarDescription& var) { return StreamValue("Temperature", row(var) + 1); }

int SegmentTable::SetInletTemperature(const VarDescription& var, double value) { return SetPoint(row(var), value); }
int SegmentTable::SetOutletTemperature(const VarDescription& var, double value) { return SetPoint(row(var) + 1, value); }

// A stream of n + 1 points has n rows; a single point (or none) still gives one row.
int SegmentTable::TemperatureRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(atLeastOne(StreamRows("Temperature") - 1));
    return 1;
}

double SegmentTable::SegmentLoad(const VarDescription& var) {
    const int r = row(var);
    if (myStream->GetStreamKind() == 1) {
        const double from = StreamValue("Temperature", r), to = StreamValue("Temperature", r + 1);
        if (from == EmptyValue || to == EmptyValue) return EmptyValue;
        return myStream->GetHeatLoadInRange(from, to, 1);
    }
    // Cold streams keep their segment enthalpies negative; the grid shows them positive.
    const double h = StreamValue("Enthalpy", r);
    return h != EmptyValue && myStream->GetHotCold() == 1 ? -h : h;
}

int SegmentTable::SetSegmentLoad(const VarDescription& var, double value) {
    if (UtilityLoadCell(var)) return 0;
    if (value != EmptyValue && !(value >= CaseValueLimits::MinDuty && value <= CaseValueLimits::MaxDuty)) {
        RefuseOutOfLoadRange();
        return 0;
    }
    if (value != EmptyValue && myStream->GetHotCold() == 1) value = -value;
    return Answer(SetOverruling("Enthalpy", value, row(var)), MessageKey("EnthalpyUpdateError"));
}

int SegmentTable::EnthalpyRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(atLeastOne(StreamRows("Enthalpy")));
    return 1;
}

double SegmentTable::SegmentValue(const VarDescription& var) {
    const ColumnValue* c = columnOf(var);
    return c ? StreamValue(c->name, row(var)) : EmptyValue;
}

int SegmentTable::SetSegmentValue(const VarDescription& var, double value) {
    const ColumnValue* c = columnOf(var);
    if (!c || UtilityLoadCell(var)) return 0;
    if (!TypedInRange(c->type, value)) {
        RefuseOutOfColumnRange(c->type);
        return 0;
    }
    // The rate and the specific heat are told with the load; the other columns stand alone.
    const int r = row(var);
    const bool told = c->type == 1516 || c->type == 1011;
    const Put put = told ? SetOverruling(c->name, value, r) : PutOverruling(c->name, value, r, {}, r, r);
    // A coefficient typed is the row's own, whatever its value; emptied, the row takes the default.
    if (put == Put::Done && c->type == 1524 && var.Number() == 100) MarkOwnCoefficientRow(r, value != EmptyValue);
    return Answer(put, c->error);
}

int SegmentTable::HeatCapacityRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(atLeastOne(StreamRows("HeatCapacityFlowrate")));
    return 1;
}

int SegmentTable::SpecificHeatRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(atLeastOne(StreamRows("SpecificHeat")));
    return 1;
}

int SegmentTable::CoefficientRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(atLeastOne(StreamRows("HTCoeff")));
    return 1;
}

// A row without a typed coefficient takes the default; so does a row whose coefficient is the
// one the stream fills in when the row's own is emptied (it stores that one as specified, so the
// status alone cannot tell it from a typed coefficient), unless the user gave it as the row's own.
double SegmentTable::DefaultBox(const VarDescription& var) {
    const int r = row(var);
    if (myStream->GetValueStatus("CHTCoeff", r) != 1) return 1.0;
    return StreamValue("CHTCoeff", r) == StreamDefaults::CleanCoefficient && !IsOwnCoefficientRow(r) ? 1.0 : 0.0;
}

bool SegmentTable::IsOwnCoefficientRow(int row) const {
    return std::binary_search(ownCoefficientRows.begin(), ownCoefficientRows.end(), row);
}

void SegmentTable::MarkOwnCoefficientRow(int row, bool own) {
    const auto at = std::lower_bound(ownCoefficientRows.begin(), ownCoefficientRows.end(), row);
    const bool there = at != ownCoefficientRows.end() && *at == row;
    if (own && !there && row >= 0) ownCoefficientRows.insert(at, row);
    if (!own && there) ownCoefficientRows.erase(at);
}

void SegmentTable::ShiftOwnCoefficientRows(int row, int by) {
    if (by < 0) MarkOwnCoefficientRow(row, false);
    for (std::int32_t& r : ownCoefficientRows)
        if (r >= row) r += by;
}

// Checked: the row takes the default coefficient (its own is emptied). Cleared: the row keeps
// the coefficient it shows, or 0.2 when it had none, as its own.
int SegmentTable::SetDefaultBox(const VarDescription& var, double value) {
    const int r = row(var);
    const double current = StreamValue("CHTCoeff", r);
    if (value == 1.0) {
        if (myStream->SetValue("CHTCoeff", EmptyValue, r)) {
            MarkOwnCoefficientRow(r, false);
            return 1;
        }
        myStream->SetValue("CHTCoeff", current, r);
        ErrorMsg("EmptyHTCError");
        return 0;
    }
    if (!myStream->SetValue("CHTCoeff", current == EmptyValue ? StreamDefaults::CleanCoefficient : current, r)) return 0;
    MarkOwnCoefficientRow(r, true);
    return 1;
}

// ---- stream-wide fields ----

double SegmentTable::StreamWideValue(const VarDescription& var) {
    const ColumnValue* c = columnOf(var);
    return c ? StreamValue(c->name, 0) : EmptyValue;
}

int SegmentTable::SetStreamWideValue(const VarDescription& var, double value) {
    const ColumnValue* c = columnOf(var);
    if (!c) return 0;
    if (c->type == 4 && value < 0.0 && value != EmptyValue) {
        ErrorMsg("NegativeFlowRateError");
        return 0;
    }
    if (c->type == 4) return Answer(SetMassFlow(value), nullptr);
    // Velocity and diameter writes report nothing.
    return myStream->SetValue(c->name, value, 0) ? 1 : 0;
}

double SegmentTable::TotalLoad(const VarDescription&) { return myStream->GetHeatLoad(0); }

Text SegmentTable::TotalLoadText(const VarDescription&) {
    const double load = myStream->GetHeatLoad(0);
    return load == EmptyValue ? Text("Unknown") : FormattedText("%.2f", load);
}

double SegmentTable::SupplyTemperature(const VarDescription&) {
    const double t = myStream->GetSupplyTemperature();
    return std::isfinite(t) ? t : EmptyValue;
}

double SegmentTable::TargetTemperature(const VarDescription&) {
    const double t = myStream->GetTargetTemperature();
    return std::isfinite(t) ? t : EmptyValue;
}

double SegmentTable::UtilityFlag(const VarDescription&) { return myStream->GetStreamKind() == 1 ? 1.0 : 0.0; }

double SegmentTable::HotCold(const VarDescription&) {
    const int side = myStream->GetHotCold();
    return side == 0 ? 0.0 : side == 1 ? 1.0 : 2.0;
}

double SegmentTable::SegmentFlag(const VarDescription&) {
    if (myStream->GetNumberOfSegments() > 1) return 1.0;
    const double supply = SupplyTemperature(VarDescription()), target = TargetTemperature(VarDescription());
    return supply != EmptyValue && target != EmptyValue && supply != target ? 0.0 : EmptyValue;
}

double SegmentTable::Zero(const VarDescription&) { return 0.0; }

// ---- settings ----

double SegmentTable::PlotTypeValue(const VarDescription&) { return plotType; }

int SegmentTable::SetPlotType(const VarDescription&, double value) {
    const auto type = wholeNumber(value);
    if (type != plotType) {
        plotType = type;
        BuildPlot();
    }
    return 1;
}

// The default chosen is the stream's: the entry whose coefficient every segment holds. The choice
// made in this view is kept while it still holds; a view opened again (its record keeps no choice)
// finds the entry from the segments, the first entry of that coefficient.
double SegmentTable::DefaultHTCValue(const VarDescription&) {
    const int segments = myStream ? myStream->GetNumberOfSegments() : 0;
    if (segments <= 0 || !ownCoefficientRows.empty()) return defaultHTCIndex;
    const double h = StreamValue("CHTCoeff", 0);
    for (int i = 1; i < segments; ++i)
        if (StreamValue("CHTCoeff", i) != h) return defaultHTCIndex;
    IDefaultUtilityManager* manager = nullptr;
    if (myScenario && (myScenario->GetDefaultUtilityManager(manager) != 1 || !manager)) return defaultHTCIndex;
    const auto entry = [&](int k) { return manager ? manager->GetHTCDefaultValue(k) : mySiteManager->GetHTCDefaultValue(k); };
    const int entries = manager ? manager->GetNumberOfHTCDefaultValues()
                                : mySiteManager ? mySiteManager->GetNumberOfHTCDefaultValues() : 0;
    if (defaultHTCIndex >= 0 && defaultHTCIndex < entries && entry(defaultHTCIndex) == h) return defaultHTCIndex;
    for (int k = 0; k < entries; ++k)
        if (entry(k) == h) return k;
    return defaultHTCIndex;
}

int SegmentTable::SetDefaultHTC(const VarDescription&, double value) {
    const int k = wholeNumber(value);
    double h = EmptyValue;
    int entries = 0;
    if (myScenario) {
        IDefaultUtilityManager* manager = nullptr;
        if (myScenario->GetDefaultUtilityManager(manager) != 1 || !manager) return 0;
        h = manager->GetHTCDefaultValue(k);
        entries = manager->GetNumberOfHTCDefaultValues();
    } else if (mySiteManager) {
        h = mySiteManager->GetHTCDefaultValue(k);
        entries = mySiteManager->GetNumberOfHTCDefaultValues();
    } else {
        return 0;
    }
    // Only an entry of the list: any other number would leave every segment without a coefficient.
    if (value != k || k < 0 || k >= entries) {
        ErrorMsg("ValidOptionError");
        return 0;
    }
    const int segments = myStream->GetNumberOfSegments();
    for (int i = 0; i < segments; ++i) myStream->SetValue("CHTCoeff", h, i);
    // Every row takes the chosen default: none holds a coefficient of its own any more.
    if (segments > 0) ownCoefficientRows.clear();
    if (segments > 0) defaultHTCIndex = k;
    return 1;
}

double SegmentTable::SelectedRowValue(const VarDescription&) { return selectedRow; }

int SegmentTable::SetSelectedRow(const VarDescription&, double value) {
    selectedRow = wholeNumber(value);
    return 1;
}

double SegmentTable::InsertAllowed(const VarDescription&) {
    if (myStream->IsLocked()) return 0.0;
    const int segments = myStream->GetNumberOfSegments();
    for (int i = 0; i < segments; ++i)
        if (StreamValue("Temperature", i) == EmptyValue) return 0.0;
    return 1.0;
}

double SegmentTable::DeleteAllowed(const VarDescription&) {
    return myStream->IsLocked() || myStream->GetNumberOfSegments() < 2 ? 0.0 : 1.0;
}

// ---- texts ----

Text SegmentTable::StreamName(const VarDescription&) { return myStream->GetName(); }

Text SegmentTable::Title(const VarDescription&) {
    return Text(myStream->GetStreamKind() == 1 ? "Utility Stream: " : "Process Stream: ") + myStream->GetName();
}

Text SegmentTable::LoadLabel(const VarDescription&) {
    const int kind = myStream->GetStreamKind();
    return kind == 1 ? "Target Heat Load " : kind == 0 ? "Total Heat Load " : "Heat Load ";
}
