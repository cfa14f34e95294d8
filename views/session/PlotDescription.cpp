// A plot's JSON description for the host: what its picture shows, in display units.
#include "views/session/PlotDescription.h"

#include "lumeth/TwoDimPlot.h"
#include "views/session/ViewJson.h"

#include <cmath>

Text DescribePlotJSON(const TwoDimPlot& plot) {
    auto axis = [&](const char* name, const Axis& a) {
        return FormattedText("{\"axis\":\"%s\",\"title\":", name) + ViewJsonText(a.title) +
               ",\"unit\":" + ViewJsonText(plot.AxisUnit(a)) + "}";
    };
    TwoDimPlot& p = const_cast<TwoDimPlot&>(plot);
    Text out = "{\"title\":" + ViewJsonText(plot.title) + ",\"axes\":[" + axis("x", *p.GetXAxisPtr()) + "," +
               axis("left", *p.GetYAxisPtr());
    const Axis* right = p.GetRightYAxisPtr();
    const bool rightShown = right && right->IsVisible();
    if (rightShown) out += "," + axis("right", *right);
    out += "],\"data_sets\":[";
    bool first = true;
    for (const PlottedData* set : plot.GetPlotArea().DataSets()) {
        // What the picture shows: visible sets, and none on a hidden right axis.
        if (!set->IsVisible() || (set->GetYAxis()->GetKind() == Axis::RightY && !rightShown)) continue;
        out += first ? "" : ",";
        first = false;
        out += FormattedText("{\"number\":%d,\"label\":", set->Number()) + ViewJsonText(set->Label()) + ",\"axis\":\"" +
               (set->GetYAxis()->GetKind() == Axis::RightY ? "right" : "left") + "\",\"points\":[";
        bool firstPoint = true;
        for (const CanvasPoint& pt : plot.ResolvePoints(*set)) {
            out += firstPoint ? "" : ",";
            firstPoint = false;
            const bool empty = pt.x == Viewable::EmptyValue || pt.y == Viewable::EmptyValue;
            out += empty ? Text("null") : "[" + ViewJsonNumber(pt.x) + "," + ViewJsonNumber(pt.y) + "]";
        }
        out += "]}";
    }
    return out + "]}\n";
}

