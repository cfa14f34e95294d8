// A plot's JSON description for the host: what its picture shows, in display units.
#include "views/session/PlotDescription.h"

#include "lumeth/TwoDimPlot.h"

#include <cmath>

namespace {

Text jsonText(const Text& s) {
    Text out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') out += '\\', out += static_cast<char>(c);
        else if (c < 0x20) out += FormattedText("\\u%04x", c);
        else out += static_cast<char>(c);
    }
    return out + "\"";
}

Text jsonNumber(double v) { return std::isfinite(v) ? FormattedText("%.10g", v) : Text("null"); }

}  // namespace

Text DescribePlotJSON(const TwoDimPlot& plot) {
    auto axis = [&](const char* name, const Axis& a) {
        return FormattedText("{\"axis\":\"%s\",\"title\":", name) + jsonText(a.title) +
               ",\"unit\":" + jsonText(plot.AxisUnit(a)) + "}";
    };
    TwoDimPlot& p = const_cast<TwoDimPlot&>(plot);
    Text out = "{\"title\":" + jsonText(plot.title) + ",\"axes\":[" + axis("x", *p.GetXAxisPtr()) + "," +
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
        out += FormattedText("{\"number\":%d,\"label\":", set->Number()) + jsonText(set->Label()) + ",\"axis\":\"" +
               (set->GetYAxis()->GetKind() == Axis::RightY ? "right" : "left") + "\",\"points\":[";
        bool firstPoint = true;
        for (const CanvasPoint& pt : plot.ResolvePoints(*set)) {
            out += firstPoint ? "" : ",";
            firstPoint = false;
            const bool empty = pt.x == Viewable::EmptyValue || pt.y == Viewable::EmptyValue;
            out += empty ? Text("null") : "[" + jsonNumber(pt.x) + "," + jsonNumber(pt.y) + "]";
        }
        out += "]}";
    }
    return out + "]}\n";
}

