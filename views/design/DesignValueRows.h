#pragma once
// The numbers of the design forms, as rows of data: one row per (kind, variable), in the order
// the kinds are tested. A row names the list its first index is a row of (none, the design's own
// exchanger numbers, the filtered list, the area-specified, configured, unconfigured cooler and
// heater lists, the exchangers without existing area, the units on the selected stream) and
// either the exchanger value it shows or the read that works the answer out. One dispatcher
// (`HIDesignViewerDesign::Value`) walks these rows; the form description lists the same rows.
#include "views/design/HIDesignViewerDesign.h"

#include <cstdint>
#include <vector>

class IHeatIntegrationStream;

struct HIDesignViewerDesign::ValueRow {
    using V = HIDesignViewerDesign;
    enum class List : std::uint8_t {
        None, Direct, Filtered, AreaSpecified, Configured, UnconfiguredCooler, UnconfiguredHeater, New, OnStream
    };
    int type = 0;                    // value kind; 0 for a variable known by name only
    const char* name = nullptr;      // the name of a variable known by name
    int number = 0;
    List list = List::None;
    const char* value = nullptr;     // the exchanger value shown (read on the exchanger node)
    double (*read)(V&, const VarDescription&) = nullptr;          // a row of no list
    double (*unitRead)(V&, CNode&, const VarDescription&) = nullptr;  // a row of a list
    int unit = -1;                   // the form's kind of quantity; -1 that of the value kind
    int dims = -1;                   // dimensions a row of no list has (a row index); -1 by its list

    Text Address() const;
    int Dims() const { return dims >= 0 ? dims : list == List::None ? 0 : 1; }
};

namespace design_rows {
// Where a stream lies against the pinch: 0 below, 1 above, 2 across. `side` 0 takes a hot
// stream against the hot pinch temperature, 1 a cold stream against the cold one; temperatures
// within 0.0001 of the pinch count as on it.
int PinchPosition(int side, double pinch, double supply, double target);
// What a what-if event kind changes: 1 a unit (kinds 3, 6, 7), 0 a stream (0, 1, 2, 4, 5),
// 2 nothing known.
int EventKindClass(int kind);
// The utility flow that carries `duty` over the stream's temperatures with its specific heat;
// `flow` (the stream's own) when either factor is not above 0.
double RequiredFlow(double duty, double specificHeat, double supply, double target, double flow);
}  // namespace design_rows

namespace design_rows {
using Rows = std::vector<HIDesignViewerDesign::ValueRow>;
// The further pages of rows, appended to the table in this order: streams and their loads, the
// network's structure and checks with the viewer's states, retrofit comparisons and costs.
void AddStreamRows(Rows& rows);
void AddNetworkRows(Rows& rows);
void AddRetrofitRows(Rows& rows);
// An exchanger value read on a node; -32767 when the node lacks it.
double NodeValue(const CNode* node, const char* name);
// The stream a side node belongs to; null for another node.
IHeatIntegrationStream* NodeStream(const CNode* node);
// The inlet (or outlet) node of side 0 (hot) or 1 (cold) of an exchanger; null for another unit.
CNode* Port(const CNode* unit, int side, bool outlet);
// The form background colour as a cell colour number (the colour table's 46.0 and 45.0 are
// the other answers of the colour cells).
double FormBackground();
// A pinch as a text: the hot and the cold pinch temperature in the user's temperature unit,
// "%.2f %s / %.2f %s"; empty when either is unknown.
Text PinchText(double hot, double cold);
// The message key of an exchanger's calculation status; null for the two states that show no
// text (1 and 5).
const char* StatusKey(int status);
}  // namespace design_rows
