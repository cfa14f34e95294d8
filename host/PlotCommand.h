#pragma once
// kestrin-host plot: a scenario's plot drawn by the module, written as an SVG picture, its data
// as JSON, or the streams at a point of a curve.
#include <string>

class IHeatIntegrationScenario;
class ModuleLoader;

struct PlotRequest {
    int graphType = 0;
    std::string svg;      // the picture's file; empty: none
    bool json = false;
    bool haveAt = false;  // a point to describe: heat flow and temperature in display units
    double atHeatFlow = 0.0, atTemperature = 0.0;
    // The range-target plots: the quantities of the x, left and right axes by name (empty: the
    // plot's own choice).
    std::string x, left, right;
};

// Graph types the host gives the two range-target plots.
constexpr int SuperTargetPlotKind = 100;  // the general plot: capital against operating cost
constexpr int RangeTargetPlotKind = 101;  // the range targets over DTmin
inline bool IsRangeTargetPlot(int graphType) {
    return graphType == SuperTargetPlotKind || graphType == RangeTargetPlotKind;
}
// The quantity of a name ("dtmin" 0 ... "none" 10); -1 for another name.
int RangeQuantity(const std::string& name);
std::string RangeQuantityNames();
// Checks the quantities of a request: known names, given only for the range-target plots.
bool CheckRangeQuantities(const PlotRequest& request, std::string& error);

// The graph type of a kind's name ("composite" 3, ...); 0 for an unknown kind.
int PlotGraphType(const std::string& kind);
// Whether the graph type plots costs over range targets and designs.
bool IsCostPlot(int graphType);
// The kinds by name, for messages.
std::string PlotKindNames();
// Reads "H,T" into the request.
bool ParsePlotPoint(const std::string& text, PlotRequest& request);
// Draws the plot of an input that is loaded and targeted; 0 done, 1 failed (`error` says why;
// no file is written then).
int RunPlotRequest(const ModuleLoader& module, IHeatIntegrationScenario& scenario, const PlotRequest& request,
                   std::string& error);
