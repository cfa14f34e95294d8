#include "views/grid/HENDiagramView.h"

#include <algorithm>

HENDBounds DiagramBounds(const HENDBounds& content, bool pinches) {
    // The empty box starts at the origin.
    HENDBounds b{std::min(0.0, content.left), std::min(0.0, content.top), std::max(0.0, content.right),
                 std::max(0.0, content.bottom)};
    const double margin = pinches ? 100.0 : 50.0;
    b.left -= 150.0;
    b.right += 170.0;
    b.top -= margin;
    b.bottom += margin + 70.0;
    return b;
}

double FitHorizontalScale(double viewWidth, double labelWidth, double boundsWidth) {
    const double room = boundsWidth - labelWidth;
    const double s = room != 0.0 ? (4.0 * (viewWidth - 15.0) - labelWidth - 100.0) / room : 0.0;
    return s > 0.0 ? s : 0.0001;
}

double FitVerticalScale(double boundsWidth, double boundsHeight, double viewWidth, double viewHeight, bool pinches) {
    const double m = pinches ? 2.0 * 100.0 + 90.0 : 2.0 * 50.0 + 90.0;
    if (viewWidth <= 15.0 || boundsHeight == m) return 0.0001;
    const double s = (boundsWidth * (viewHeight - 15.0) / (viewWidth - 15.0) - m) / (boundsHeight - m);
    return s > 0.0 ? s : 0.0001;
}

void SceneExtent(double viewWidth, double viewHeight, double w, double h, double& sceneWidth, double& sceneHeight) {
    const double W = viewWidth - 15.0, H = viewHeight - 15.0;
    sceneWidth = W > 0.0 ? (W + 15.0) * w / W : w;
    sceneHeight = H > 0.0 ? (H + 15.0) * h / H : h;
}

double VisibleSceneWidth(double viewWidth, double sceneWidth) {
    return viewWidth > 15.0 ? (viewWidth - 30.0) * sceneWidth / (viewWidth - 15.0) : sceneWidth;
}

double ZoomedWidth(double visibleWidth, double factor, double boundsWidth) {
    return 2.0 * std::min(factor * visibleWidth / 2.0, boundsWidth / 2.0);
}
