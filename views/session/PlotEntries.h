#pragma once
// The host's road to a scenario's plots: the module draws the plot view of a graph type on the
// scenario (with a data set per design on the cost plots) and hands out its picture, its data
// or the streams at a point of its curves. C linkage, looked up by name after dlopen.
class IHeatIntegrationScenario;

extern "C" {
// The plot of graph type 1-16 of the scenario: `what` 0 gives the SVG picture, 1 a JSON text
// (title, axes with title and unit, data sets with number, label, axis and points in display
// units; an empty point is null). Copies into `out` (of `size` bytes, zero-ended) and returns
// the bytes the whole text needs with its zero; 0 when there is no such graph or nothing drawn.
// Graph 12 (area over heat demand) is drawn by a scenario viewer bound to the scenario for the
// call: the curve is its range-target plot's hot-utility and shell-and-tube area targets.
int KestrinScenarioPlot(IHeatIntegrationScenario* scenario, int graphType, int what, char* out, int size);
// The range-target plot of the scenario's range targets: mode 0 the general plot (with every
// design as its pair of points), 1 the range targets over DTmin. `x`, `left`, `right`: the
// quantities 0-10 of the plot's axes (-1: the mode's own). `what` and the text as above; -1, -2
// or -3 when the plot refuses the x, left or right quantity; 0 for another mode.
int KestrinRangeTargetPlot(IHeatIntegrationScenario* scenario, int mode, int x, int left, int right, int what, char* out,
                           int size);
// The streams at a point (heat flow, temperature in display units) of a curve plot: the text
// "\n" and their names, empty when the point is on no curve. Returns the bytes needed as above.
int KestrinDescribePlotPoint(IHeatIntegrationScenario* scenario, int graphType, double heatFlow, double temperature,
                             char* out, int size);
}
