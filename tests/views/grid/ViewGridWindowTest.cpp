// Fitting, zooming and label shrinking of the grid diagram, with numbers worked by hand.
#include "views/grid/HENDiagramView.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewGridWindow, BoundsFitAndExtentFollowTheViewSize) {
    const HENDBounds b = DiagramBounds({0, 0, 800, 400}, false);
    EXPECT_DOUBLE_EQ(-150.0, b.left);
    EXPECT_DOUBLE_EQ(-50.0, b.top);
    EXPECT_DOUBLE_EQ(970.0, b.right);
    EXPECT_DOUBLE_EQ(520.0, b.bottom);
    // (4 x 1000 - 100 - 100) / (1100 - 100)
    EXPECT_DOUBLE_EQ(3.8, FitHorizontalScale(1015.0, 100.0, 1100.0));
    EXPECT_DOUBLE_EQ(0.0001, FitHorizontalScale(20.0, 100.0, 1100.0));
    EXPECT_DOUBLE_EQ(0.0001, FitHorizontalScale(1015.0, 100.0, 100.0));
    // (4000 x 500 / 1000 - 190) / (600 - 190)
    EXPECT_NEAR(4.41463, FitVerticalScale(4000.0, 600.0, 1015.0, 515.0, false), 1e-5);
    EXPECT_DOUBLE_EQ(0.0001, FitVerticalScale(100.0, 600.0, 1015.0, 515.0, false));
    double w = 0.0, h = 0.0;
    SceneExtent(1015.0, 515.0, 4000.0, 500.0 * 4000.0 / 1000.0, w, h);
    EXPECT_DOUBLE_EQ(4060.0, w);
    EXPECT_DOUBLE_EQ(2060.0, h);
    EXPECT_NEAR(3999.1, VisibleSceneWidth(1015.0, w), 1e-9);
}

TEST(ViewGridWindow, ZoomingOutStopsAtTheBounds) {
    double w = 500.0;
    const double expected[] = {550.0, 605.0, 665.5, 700.0, 700.0};
    for (double e : expected) {
        w = ZoomedWidth(w, 1.1, 700.0);
        EXPECT_NEAR(e, w, 1e-9);
    }
}

TEST(ViewGridWindow, LabelsThatNeverStopOverlappingShrinkToJustBelowSevenTenths) {
    EXPECT_NEAR(0.6561, ShrinkLabelScale(1.0, [](double) { return true; }), 1e-12);
    EXPECT_DOUBLE_EQ(1.0, ShrinkLabelScale(1.0, [](double) { return false; }));
    EXPECT_NEAR(0.81, ShrinkLabelScale(1.0, [](double s) { return s > 0.85; }), 1e-12);
}

}  // namespace
