// The segment table's property plot: temperature against heat load, density, thermal
// conductivity or viscosity, drawn from the table's own series. Segment properties are drawn as
// steps: points 2r and 2r+1 carry segment r's property at its inlet and outlet temperature.
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/TwoDimPlot.h"
#include "views/case/streams/SegmentTable.h"

#include <algorithm>
#include <cmath>

namespace {

struct PlotRow {
    int type;
    const char* title;
    const char* xTitle;
    const char* x;
    const char* y;
    const char* label;
    const char* rawX;
    const char* rawPrefix;
};

constexpr PlotRow kPlots[] = {
    {SegmentTable::EnthalpyPlot, "Temperature - Enthalpy Diagram", "Enthalpy", ":HeatFlow.201.[]",
     ":Temperature.201.[]", "Temperature vs Enthalpy", ":HeatFlow.211.[]", "Temperature vs Enthalpy ("},
    {SegmentTable::DensityPlot, "Temperature - Density Diagram", "Density", ":MassDensity.104.[]",
     ":Temperature.202.[]", "Temperature vs Density", ":MassDensity.211.[]", "Temperature vs Density ("},
    {SegmentTable::ConductivityPlot, "Temperature - Thermal Conductivity Diagram", "Thermal Conductivity",
     ":ThermCond.103.[]", ":Temperature.202.[]", "Temperature vs Thermal Conductivity", ":ThermCond.211.[]",
     "Temperature vs Thermal Conductivity ("},
    {SegmentTable::ViscosityPlot, "Temperature - Viscosity Diagram", "Viscosity", ":Viscosity.102.[]",
     ":Temperature.202.[]", "Temperature - Viscosity", ":Viscosity.211.[]", "Temperature - Viscosity ("},
};

const PlotRow* plotRowOf(int type) {
    for (const PlotRow& row : kPlots)
        if (row.type == type) return &row;
    return nullptr;
}

// The raw series by type code.
const char* rawNameOf(int type) {
    switch (type) {
        case 1: return "Raw_Temperature_DataSet";
        case 6: return "Raw_MassEnthalpy_DataSet";
        case 1012: return "Raw_MassDensity_DataSet";
        case 1007: return "Raw_ThermalConductivity_DataSet";
        case 1008: return "Raw_Viscosity_DataSet";
        case 1011: return "Raw_SpecificHeat_DataSet";
        default: return nullptr;
    }
}

// The segment property of a step series by type code.
const char* propertyNameOf(int type) {
    switch (type) {
        case 1011: return "SpecificHeat";
        case 1008: return "Viscosity";
        case 1007: return "ThermalConductivity";
        case 1012: return "MassDensity";
        default: return nullptr;
    }
}

int index(const VarDescription& var) { return std::clamp(var.Offset(0), 0, 1 << 24); }

}  // namespace

void SegmentTable::BuildPlot() {
    if (myPlot) {
        TwoDimPlot* old = myPlot;
        myPlot = nullptr;
        delete old;
    }
    myPlot = new TwoDimPlot(this, myPlotParameters);
    myPlot->SetName("TwoDimPlotNTW");
    myPlot->GetYAxisPtr(-32767)->title = "Temperature";
    myPlot->GetYAxisPtr(-32767)->showLabels = true;
    myPlot->GetXAxisPtr(-32767)->showLabels = true;
    myPlot->GetLegend().Show();
    const PlotRow* row = plotRowOf(plotType);
    if (!row) return;
    myPlot->title = row->title;
    myPlot->GetXAxisPtr(-32767)->title = row->xTitle;
    XYDataStruct segments;
    segments.xVariable = row->x;
    segments.yVariable = row->y;
    segments.appearance.colour = myStream && myStream->GetHotCold() == 0 ? RedColour() : BlueColour();
    segments.appearance.style = 0;
    segments.one = 1;
    segments.label = row->label;
    if (PlottedData* set = myPlot->GetPlotArea().CreateDataSet(&segments, 1)) set->appearance.flag = 0;
    if (hasRawData) AddRawCurve();
}

void SegmentTable::AddRawCurve() {
    const PlotRow* row = plotRowOf(plotType);
    if (!myPlot || !row) return;
    XYDataStruct raw;
    raw.xVariable = row->rawX;
    raw.yVariable = ":Temperature.211.[]";
    raw.appearance.colour = GreenColour();
    raw.appearance.style = 1;
    raw.one = 1;
    // A site-mode table has no scenario to name the simulator the data came from.
    const char* simulator = myScenario ? myScenario->GetSimulatorFileType() : nullptr;
    raw.label = myScenario ? Text(row->rawPrefix) + (simulator ? simulator : "") + ")" : Text(row->label);
    if (PlottedData* set = myPlot->GetPlotArea().CreateDataSet(&raw, 2)) set->appearance.flag = 0;
}

// ---- series ----

double SegmentTable::PointTemperature(const VarDescription& var) {
    const int side = myStream->GetHotCold();
    if (side != 0 && side != 1) return EmptyValue;
    const double t = StreamValue("Temperature", index(var));
    return t == EmptyValue ? 0.0 : t;
}

int SegmentTable::PointRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(myStream->GetNumberOfSegments() + 1);
    return 1;
}

// Hot: the load still to give from point i to the target, falling to 0. Cold: the load taken up
// from the supply to point i, rising from 0.
double SegmentTable::CumulativeLoad(const VarDescription& var) {
    const int i = index(var);
    const int segments = myStream->GetNumberOfSegments();
    double sum = 0.0;
    if (myStream->GetHotCold() == 0) {
        for (int k = i; k < segments; ++k) {
            const double h = StreamValue("Enthalpy", k);
            if (h == EmptyValue) break;
            sum += h;
        }
    } else {
        for (int k = 0; k < i && k < segments; ++k) {
            const double h = StreamValue("Enthalpy", k);
            if (h != EmptyValue) sum += h;
        }
    }
    return std::fabs(sum);
}

double SegmentTable::StepTemperature(const VarDescription& var) {
    const int side = myStream->GetHotCold();
    if (side != 0 && side != 1) return EmptyValue;
    const double t = StreamValue("Temperature", (index(var) + 1) / 2);
    return t == EmptyValue ? 0.0 : t;
}

int SegmentTable::StepRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(2 * myStream->GetNumberOfSegments());
    return 1;
}

double SegmentTable::StepProperty(const VarDescription& var) {
    const char* name = propertyNameOf(var.Type());
    return name ? StreamValue(name, index(var) / 2) : EmptyValue;
}

int SegmentTable::PropertyStepRows(const VarDescription&, DimInfo& dims) {
    const int n = StreamRows("SpecificHeat");
    dims.AddDim(n > 0 ? 2 * n : 1);
    return 1;
}

double SegmentTable::RawValue(const VarDescription& var) {
    const int side = myStream->GetHotCold();
    if (side != 0 && side != 1) return EmptyValue;
    const char* name = rawNameOf(var.Type());
    if (!name) return EmptyValue;
    const double v = StreamValue(name, index(var));
    // A missing raw temperature reads 0.0, a missing raw property is empty.
    return v == EmptyValue && var.Type() == 1 ? 0.0 : v;
}

double SegmentTable::RawHeatFlow(const VarDescription& var) {
    const int side = myStream->GetHotCold();
    if (side != 0 && side != 1) return EmptyValue;
    const int i = index(var);
    const double hi = StreamValue("Raw_MassEnthalpy_DataSet", i);
    const double m = StreamValue("MassFlow", 0);
    if (side == 1) {
        const double h0 = StreamValue("Raw_MassEnthalpy_DataSet", 0);
        if (h0 == EmptyValue || hi == EmptyValue || m == EmptyValue) return EmptyValue;
        return std::fabs(hi - h0) * m;
    }
    // Hot: measured from the enthalpy the stream reaches at its target.
    const int n = StreamRows("Raw_Temperature_DataSet");
    double reference = StreamValue("Raw_MassEnthalpy_DataSet", 0);
    if (m != EmptyValue && m > 1e-8) {
        const double last = StreamValue("Raw_MassEnthalpy_DataSet", n - 1);
        if (last != EmptyValue) reference = last - myStream->GetHeatLoad(0) / m;
    }
    if (hi == EmptyValue || m == EmptyValue || reference == EmptyValue) return EmptyValue;
    return (hi - reference) * m;
}

int SegmentTable::RawRows(const VarDescription& var, DimInfo& dims) {
    const char* name = rawNameOf(var.Type());
    if (var.Type() == 1) ReadRawDataFlag();
    dims.AddDim(name ? StreamRows(name) : 0);
    return 1;
}

// Tints the segment curve with the stream's side and answers 0 hot, 2 cold, 1 undetermined.
double SegmentTable::StreamColour(const VarDescription&) {
    const int side = myStream->GetHotCold();
    if (side != 0 && side != 1) return 1.0;
    if (PlottedData* set = myPlot ? myPlot->GetPlotArea().GetDataSet(1) : nullptr) {
        set->SetColour(side == 0 ? RedColour() : BlueColour());
        set->appearance.style = 0;
    }
    return side == 0 ? 0.0 : 2.0;
}
