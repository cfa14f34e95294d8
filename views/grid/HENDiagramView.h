#pragma once
// The window arithmetic of the grid diagram: the bounds around its content, the scales that fit
// it into a view, the visible region a zoom leaves, and the shrinking of labels that overlap.
// Lengths are canvas units, view sizes pixels.

struct HENDBounds {
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

// The diagram's bounds around its content box: room on the left and right for the names and the
// end labels, 100 above and below while pinch markers are drawn (50 otherwise), 70 more below.
HENDBounds DiagramBounds(const HENDBounds& content, bool pinches);

// The horizontal scale that fits the bounds (labels adding `labelWidth`) into a view; 0.0001 when
// the result is not positive, as for the vertical one.
double FitHorizontalScale(double viewWidth, double labelWidth, double boundsWidth);
// The vertical scale that keeps the view's aspect for the bounds; 0.0001 when not positive.
double FitVerticalScale(double boundsWidth, double boundsHeight, double viewWidth, double viewHeight, bool pinches);

// The scene extent a visible size of w x h takes in a view (15 pixels go to the scroll bars).
void SceneExtent(double viewWidth, double viewHeight, double w, double h, double& sceneWidth, double& sceneHeight);
// The scene width the window shows of a scene extent.
double VisibleSceneWidth(double viewWidth, double sceneWidth);

// The visible width after zooming by `factor` (out 1.1, in 1/1.1): never wider than the bounds.
double ZoomedWidth(double visibleWidth, double factor, double boundsWidth);

// Label scales after shrinking overlapping labels: 0.9 a pass until they stop overlapping
// (`overlapAt` answers for a scale) or the scale is 0.7 or less; at most 100 passes.
template <typename Overlap>
double ShrinkLabelScale(double scale, Overlap overlapAt) {
    for (int pass = 0; pass < 100; ++pass) {
        if (!overlapAt(scale) || scale <= 0.7) break;
        scale *= 0.9;
    }
    return scale;
}
