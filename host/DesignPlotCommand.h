#pragma once
// kestrin-host plot FILE [NETWORK] --kind bar|driving-force: a design's exchanger bar chart or
// driving-force plot, drawn by the design's viewer, written as an SVG picture (its data as JSON).
#include <string>

class ModuleLoader;

// Whether the command line asks for a design's plot (its --kind is bar or driving-force).
bool IsDesignPlotRequest(int argc, char** argv);
int RunDesignPlot(ModuleLoader& module, int argc, char** argv);
