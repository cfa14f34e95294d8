#pragma once
// kestrin-host design STREAMS NETWORK [--dtmin X] [--json] [--save CASE] and
// kestrin-host design CASE [--json]: builds a network from an exchanger table through the design's
// own editing operations (or takes the first design of a saved case), calculates it and prints
// what the design's queries answer for every unit and for the whole network.
#include "views/session/DesignPlotEntries.h"
#include "views/session/GridEntries.h"

#include <string>
#include <type_traits>
#include <vector>

struct EconomicsOption;
class HostSession;
class IHENDesign;
class IHeatIntegrationScenario;
class ModuleLoader;

int RunDesign(ModuleLoader& module, int argc, char** argv);

// Builds the network of an exchanger table (NETWORK) on the scenario's streams as a new design
// named `name`; false with the reason (the table's line) when it cannot be built.
bool BuildNetworkFromFile(ModuleLoader& module, IHeatIntegrationScenario& scenario, const std::string& networkFile,
                          const char* name, IHENDesign*& design, std::string& error);
// The design of a stream table with a network table (built as `design` builds it) or of a case
// (the named design, or its first). On failure false with the message.
bool OpenHostDesign(ModuleLoader& module, HostSession& session, const std::vector<std::string>& files,
                    const std::string& designName, IHENDesign*& design, std::string& error);
// The same, with the scenario's DTmin (when given) and economics set before the network table is
// built; a case keeps its own.
bool OpenHostDesign(ModuleLoader& module, HostSession& session, const std::vector<std::string>& files,
                    const std::string& designName, const double* dtmin, const EconomicsOption& economics,
                    IHENDesign*& design, std::string& error);

// The pictures of a design drawn by the module (the grid diagram, the design viewer's plots): an
// entry that writes what `what` asks (0 the SVG, 1 the JSON) of the design into a buffer and
// answers the size it needs with the closing zero.
// The entries are called through the type of their own declaration (both share it).
using DesignPictureFn = decltype(&KestrinDesignPlot);
static_assert(std::is_same_v<DesignPictureFn, decltype(&KestrinGridDiagram)>);
std::string RenderDesignPicture(DesignPictureFn fn, IHENDesign* design, int a, int b, int what);
// The inputs of a picture job: `--design` only names a design of a case, and the picture may not
// overwrite an input. False with the message otherwise.
bool CheckPictureInputs(const std::vector<std::string>& files, bool haveDesign, const std::string& svg,
                        std::string& error);
