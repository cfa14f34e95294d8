#include "host/PlotCommand.h"

#include "eng/model/IHeatIntegrationScenario.h"
#include "host/ModuleLoader.h"
#include "host/OutputFile.h"
#include "host/OutputText.h"
#include "host/StreamTable.h"

#include <cstdio>
#include <vector>

namespace {

struct Kind {
    const char* name;
    int graphType;
};
constexpr Kind kKinds[] = {{"grand", 1},
                           {"cascade", 2},
                           {"composite", 3},
                           {"shifted", 4},
                           {"balanced", 5},
                           {"shifted-balanced", 6},
                           {"utility", 7},
                           {"hot-driving-force", 8},
                           {"cold-driving-force", 9},
                           {"user-utility", 10},
                           {"alpha", 11},
                           {"area-demand", 12},
                           {"investment-saving", 13},
                           {"payback", 14},
                           {"retrofit-alpha", 16},
                           {"range", RangeTargetPlotKind},
                           {"supertarget", SuperTargetPlotKind}};

// The quantities of the range-target plots, in the plot's order.
constexpr const char* kQuantities[] = {"dtmin",    "hot-utility", "cold-utility", "area",      "area-shell-tube", "units-pinch",
                                       "shells",   "capital",     "operating",    "total",     "none"};

using PlotFn = int (*)(IHeatIntegrationScenario*, int, int, char*, int);
using RangePlotFn = int (*)(IHeatIntegrationScenario*, int, int, int, int, int, char*, int);
using PointFn = int (*)(IHeatIntegrationScenario*, int, double, double, char*, int);

// Asks an entry for its text: once for the size, once for the text.
template <typename Call>
bool fetch(Call call, std::string& text) {
    const int needed = call(nullptr, 0);
    if (needed <= 0) return false;
    std::vector<char> buffer(static_cast<std::size_t>(needed));
    call(buffer.data(), needed);
    text.assign(buffer.data());
    return true;
}

// Whether a plot's data, as its JSON description lists it, holds one point at least: every
// data set's "points" array holds [x, y] pairs and nulls for empty points.
bool HoldsAPoint(const std::string& json) {
    const std::string key = "\"points\":[";
    for (std::size_t at = json.find(key); at != std::string::npos; at = json.find(key, at + key.size())) {
        const std::size_t open = at + key.size();
        if (open < json.size() && json[open] == '[') return true;
        const std::size_t close = json.find(']', open);
        const std::size_t pair = json.find('[', open);
        if (pair != std::string::npos && (close == std::string::npos || pair < close)) return true;
    }
    return false;
}

// Why a plot of a graph type can have nothing to draw.
std::string EmptyPlotReason(int graphType) {
    switch (graphType) {
        case 10: return "the scenario places no user-supplied utility loads";
        case 11: case 12: return "neither its range targets nor its designs give a point";
        case 14: return "no design has a payback against a retrofit base design";
        default: return "the scenario gives it no point";
    }
}

}  // namespace

int PlotGraphType(const std::string& kind) {
    for (const Kind& k : kKinds)
        if (kind == k.name) return k.graphType;
    return 0;
}

bool IsCostPlot(int graphType) { return graphType >= 11; }

int RangeQuantity(const std::string& name) {
    for (int q = 0; q < 11; ++q)
        if (name == kQuantities[q]) return q;
    return -1;
}

std::string RangeQuantityNames() {
    std::string names;
    for (const char* q : kQuantities) names += (names.empty() ? "" : ", ") + std::string(q);
    return names;
}

bool CheckRangeQuantities(const PlotRequest& request, std::string& error) {
    const std::pair<const char*, const std::string*> given[] = {
        {"--x", &request.x}, {"--left", &request.left}, {"--right", &request.right}};
    for (const auto& [option, name] : given) {
        if (name->empty()) continue;
        if (!IsRangeTargetPlot(request.graphType)) {
            error = std::string(option) + " chooses a quantity of the range and supertarget plots";
            return false;
        }
        if (RangeQuantity(*name) < 0) {
            error = std::string(option) + " " + *name + " is no quantity (" + RangeQuantityNames() + ")";
            return false;
        }
    }
    return true;
}

std::string PlotKindNames() {
    std::string names;
    for (const Kind& k : kKinds) names += (names.empty() ? "" : ", ") + std::string(k.name);
    return names;
}

bool ParsePlotPoint(const std::string& text, PlotRequest& request) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos) return false;
    double h = 0.0, t = 0.0;
    if (!ParseTableNumber(text.substr(0, comma), h) || !ParseTableNumber(text.substr(comma + 1), t)) return false;
    request.atHeatFlow = h;
    request.atTemperature = t;
    request.haveAt = true;
    return true;
}

int RunPlotRequest(const ModuleLoader& module, IHeatIntegrationScenario& scenario, const PlotRequest& request,
                   std::string& error) {
    auto plot = reinterpret_cast<PlotFn>(module.Entry("KestrinScenarioPlot"));
    auto point = reinterpret_cast<PointFn>(module.Entry("KestrinDescribePlotPoint"));
    if (!plot || !point) {
        error = module.Path() + " lacks the plot entries";
        return 1;
    }
    const int graph = request.graphType;
    std::string svg, json, streams;
    if (IsRangeTargetPlot(graph)) {
        auto range = reinterpret_cast<RangePlotFn>(module.Entry("KestrinRangeTargetPlot"));
        if (!range) {
            error = module.Path() + " lacks the range-target plot entry";
            return 1;
        }
        const int mode = graph == RangeTargetPlotKind ? 1 : 0;
        auto quantity = [](const std::string& name) { return name.empty() ? -1 : RangeQuantity(name); };
        const int x = quantity(request.x), left = quantity(request.left), right = quantity(request.right);
        const int drawn = range(&scenario, mode, x, left, right, 0, nullptr, 0);
        if (drawn < 0) {
            const char* axis = drawn == -1 ? "x" : drawn == -2 ? "left" : "right";
            error = std::string("the plot refuses that quantity on its ") + axis +
                    " axis (none is only for the right axis, and the left and right axes differ)";
            return 1;
        }
        if (!fetch([&](char* out, int size) { return range(&scenario, mode, x, left, right, 0, out, size); }, svg) ||
            (request.json &&
             !fetch([&](char* out, int size) { return range(&scenario, mode, x, left, right, 1, out, size); }, json))) {
            error = "the module drew no plot of that kind";
            return 1;
        }
    } else if (!fetch([&](char* out, int size) { return plot(&scenario, graph, 0, out, size); }, svg) ||
               !fetch([&](char* out, int size) { return plot(&scenario, graph, 1, out, size); }, json)) {
        error = "the module drew no plot of that kind";
        return 1;
    }
    // A picture of empty axes tells the reader nothing and would pass for a result.
    if (!IsRangeTargetPlot(graph) && !HoldsAPoint(json)) {
        error = "the plot has nothing to draw: " + EmptyPlotReason(graph);
        return 1;
    }
    if (request.haveAt &&
        !fetch([&](char* out, int size) {
            return point(&scenario, graph, request.atHeatFlow, request.atTemperature, out, size);
        }, streams)) {
        error = "the module could not describe the point";
        return 1;
    }
    if (!request.svg.empty()) {
        // Written beside the target first, then moved over it: a failed write keeps the old file.
        if (!WriteOutputFile(request.svg, svg, "<?xml", error)) return 1;
    }
    if (request.json) std::fputs(json.c_str(), stdout);
    if (request.haveAt) {
        // The module's text is a heading line and one line per stream, indented by a blank.
        std::string names;
        for (std::size_t at = streams.find("\n "); at != std::string::npos; at = streams.find("\n ", at + 2)) {
            const std::size_t end = streams.find('\n', at + 2);
            names += (names.empty() ? "" : ", ") + streams.substr(at + 2, end == std::string::npos ? end : end - at - 2);
        }
        if (names.empty()) std::fputs("no stream at that point of the curves\n", stdout);
        else std::printf("streams at %g, %g: %s\n", request.atHeatFlow, request.atTemperature, PrintableText(names, 2048).c_str());
    }
    return 0;
}
