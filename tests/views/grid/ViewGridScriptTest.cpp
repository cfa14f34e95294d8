// A view script works the grid diagram with the pointer: a marker dropped on a line, dragged to
// another line and dropped there adds an exchanger; a rubber band zooms; gestures off a canvas
// or with bad numbers stop the script at their line.
#include "views/grid/HENDiagram.h"

#include "lumeth/Session.h"
#include "tests/eng/design/OperationTestSupport.h"
#include "views/session/ViewScript.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

struct Scripted : design_test::DesignScenario {
    Scripted() {
        Session::Instance().Reset();
        Add("H", 150.0, 50.0, 1.0);
        Add("C", 40.0, 120.0, 1.0);
        d = Design("Script");
        g.zoomMode = g.previousZoomMode = 2;
        g.SetDesign(d);
    }
    // The middle of the longest drawn segment of a stream that stands for a segment node.
    CanvasPoint Middle(const Text& stream) {
        g.PaintNow();
        const HENDStreamSegment* best = nullptr;
        for (const HENDNode* item : g.Items())
            if (auto* s = dynamic_cast<const HENDStreamSegment*>(item); s && s->streamName == stream && s->Node())
                if (!best || std::abs(s->x2 - s->x1) > std::abs(best->x2 - best->x1)) best = s;
        return best ? CanvasPoint{(best->x1 + best->x2) / 2.0, best->y} : CanvasPoint{0.0, 0.0};
    }
    CPIHENDesign* d = nullptr;
    HENDiagram g;
};

Text at(const char* action, CanvasPoint p) {
    char line[128];
    std::snprintf(line, sizeof line, "%s %.3f %.3f\n", action, p.x, p.y);
    return Text(line);
}

TEST(ViewGridScript, AMarkerDraggedToAnotherLineAddsAnExchanger) {
    Scripted t;
    const CanvasPoint h = t.Middle("H"), c = t.Middle("C");
    const Text script = at("drop marker1", h) + at("click", h) + at("move", c) + at("click", c);
    ViewScriptRunner runner(&t.g, &t.g);
    ASSERT_EQ(0, runner.Run(script, "drag")) << runner.Error();
    EXPECT_EQ(1, t.d->GetNumberOfHeatExchangers());
    EXPECT_TRUE(t.g.MarkerText(1).empty());
    const Text report = runner.Report(false);
    EXPECT_NE(Text::npos, report.find("addhxtemp \"")) << report;
}

TEST(ViewGridScript, ARubberBandZoomsAndBadGesturesStopAtTheirLine) {
    Scripted t;
    t.g.zoomMode = t.g.previousZoomMode = 1;
    t.g.SetDesign(t.d);
    ViewScriptRunner zoom(&t.g, &t.g);
    ASSERT_EQ(0, zoom.Run("rubber 0 0 300 200\n", "zoom")) << zoom.Error();
    EXPECT_EQ(2, t.g.zoomMode);
    struct Bad {
        const char* script;
        const char* reason;
    };
    for (const Bad& b : {Bad{"move 1\n", "zoom:1: move needs 2 numbers"}, Bad{"\nclick 1 x\n", "zoom:2: click needs 2"},
                         Bad{"choose 5615\n", "zoom:1: the open menu offers no item 5615"},
                         Bad{"menu 0 0\nchoose 99999\n", "zoom:2: the open menu offers no item 99999"},
                         Bad{"drop marker 1 1\n", "zoom:1: drop takes marker1 or marker2"}}) {
        ViewScriptRunner runner(&t.g, &t.g);
        EXPECT_EQ(1, runner.Run(b.script, "zoom")) << b.script;
        EXPECT_EQ(0u, runner.Error().find(b.reason)) << runner.Error();
    }
    // A view that is no canvas takes no gestures.
    Viewable plain(nullptr, Text("ViewableObject"));
    ViewScriptRunner off(&plain, &plain);
    EXPECT_EQ(1, off.Run("click 1 1\n", "plain"));
    EXPECT_NE(Text::npos, off.Error().find("is no canvas")) << off.Error();
}

}  // namespace
