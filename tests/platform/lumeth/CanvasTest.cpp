#include "lumeth/CanvasPlane.h"
#include "lumeth/Timer.h"
#include "tests/support/ProbeView.h"
#include "tests/support/XmlCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

Canvas oneOfEach() {
    Canvas c;
    c.SetExtent(200, 100);
    c.AddLine({0, 0}, {50, 0}, {RedColour(), 2, 1});
    c.AddPolyline({{0, 10}, {20, 30}, {40, 10}}, {BlueColour(), 1, 0});
    c.AddRectangle({60, 60}, -10, 20, {DefaultColour(), 1, 2}, true, GetCommonColour(11));
    c.AddCircle({100, 50}, 10, {}, false);
    c.AddArc({150, 50}, 20, 0, 90, {});
    c.SetTag(4);
    c.AddText({10, 80}, "H1 & <C2>", FontResource{7, "HENFont", 0, 10}, RedColour());
    return c;
}

TEST(Canvas, OneOfEachPrimitiveDumpsStablyAndExportsWellFormedSvg) {
    const Canvas c = oneOfEach();
    const char* expected =
        "canvas 200 100 background=#ffffff\n"
        "line 0,0 50,0 colour=#ff0000 width=2 style=1 tag=0\n"
        "polyline 0,10 20,30 40,10 colour=#0000ff width=1 style=0 tag=0\n"
        "rect 50,60 10,20 colour=#000000 width=1 style=2 fill=#ffff00 tag=0\n"
        "circle 100,50 r=10 colour=#000000 width=1 style=0 tag=0\n"
        "arc 150,50 r=20 start=0 sweep=90 colour=#000000 width=1 style=0 tag=0\n"
        "text 10,80 \"H1 & <C2>\" font=HENFont/10 colour=#ff0000 tag=4\n";
    EXPECT_EQ(expected, c.Dump());
    EXPECT_EQ(c.Dump(), oneOfEach().Dump());
    const Text svg = c.ExportSVG();
    EXPECT_TRUE(IsWellFormedXml(svg)) << svg;
    EXPECT_NE(Text::npos, svg.find("H1 &amp; &lt;C2&gt;"));
}

TEST(Canvas, HitTestsAnswerTheTopmostPrimitive) {
    const Canvas c = oneOfEach();
    struct Case {
        CanvasPoint p;
        int hit;
    };
    const Case cases[] = {
        {{25, 1}, 0},   {{25, 6}, -1},   {{10, 20}, 1},  {{55, 70}, 2},  {{110, 50}, 3}, {{100, 50}, -1},
        {{150, 30}, 4}, {{130, 50}, -1}, {{150, 70}, -1}, {{12, 85}, 5},
    };
    for (const Case& k : cases) EXPECT_EQ(k.hit, c.HitTest(k.p)) << k.p.x << "," << k.p.y;
}

TEST(Canvas, BadTextIsRepairedAndNoNonFiniteNumberReachesTheSvg) {
    const double nan = std::nan(""), inf = HUGE_VAL;
    Canvas c;
    c.SetExtent(inf, 100);
    // A degree sign typed in the Windows code page, a stray continuation byte, a control char.
    c.AddText({10, 10}, "T = 120\xB0" "C \x80\x01 \xC3\xA9 end", DefaultFont(), DefaultColour());
    c.AddPolyline({{0, 0}, {10, 10}, {nan, 5}, {20, 20}, {30, 10}, {inf, 0}}, {});
    c.AddLine({0, 0}, {inf, 0}, {});
    c.AddCircle({nan, 5}, 3, {});
    const std::string svg = c.ExportSVG();
    EXPECT_TRUE(IsWellFormedXml(svg)) << svg;
    EXPECT_NE(std::string::npos, svg.find("120\xC2\xB0" "C \xE2\x82\xAC  \xC3\xA9 end"));
    for (const char* word : {"nan", "inf", "NAN", "INF"}) EXPECT_EQ(std::string::npos, svg.find(word)) << word;
    EXPECT_NE(std::string::npos, svg.find("points=\"0,0 10,10\""));
    EXPECT_NE(std::string::npos, svg.find("points=\"20,20 30,10\""));
    EXPECT_EQ(std::string::npos, svg.find("<line"));
    EXPECT_EQ(std::string::npos, svg.find("<circle"));
}

class Item : public CanvasConnection {
public:
    Item(CanvasPlane* plane, const Text& name) : CanvasConnection(plane, "CanvasConnectionObject") {
        SetName(name);
        SetSize(10, 10);
    }
    void Draw(Canvas& c) override { c.AddRectangle(GetPosition(), Width(), Height(), {}); }
    void NotifySingleClickAt(CanvasPoint) override { OwnerPlane()->AddToSelectedVector(this); }
    void NotifyDoubleClickAt(CanvasPoint) override { delete this; }
    void PrepareForObjectInspection(MenuModel& m) override {
        m.AddItem(5608, "oiView");
        m.AddItem(MenuModel::OpenSubMenu, "More");
        m.AddItem(5609, "oiDelete");
        m.AddItem(MenuModel::CloseSubMenu, "");
        m.AddItem(MenuModel::Separator, "");
    }
    int ProcessInspectionCommand(int n) override {
        if (n != 5609) return 0;
        delete this;
        return 1;
    }
};

TEST(CanvasDriver, GesturesReachTheItemsEvenWhenTheyDeleteThemselves) {
    ProbeRegistry registry;
    CanvasPlane plane(nullptr, "CanvasPlaneObject");
    auto* a = new Item(&plane, "A");
    auto* b = new Item(&plane, "B");
    b->SetPosition({20, 0});
    plane.Paint();
    EXPECT_EQ(2, plane.GetCanvas().Count());
    CanvasDriver driver(plane);
    EXPECT_EQ("B", driver.Move({25, 5}));
    driver.Click({5, 5});
    driver.Move({40, 40});
    EXPECT_EQ(40.0, a->GetPosition().x);
    const MenuModel& menu = driver.OpenMenu({45, 45});
    EXPECT_EQ("5608 oiView\n> More\n  5609 oiDelete\n----\n", menu.Dump());
    EXPECT_EQ(0, driver.Choose(1234));
    driver.OpenMenu({45, 45});
    EXPECT_EQ(1, driver.Choose(5609));
    EXPECT_EQ(1, plane.GetNumberOfItems());
    EXPECT_TRUE(plane.Selection().empty());
    driver.DoubleClick({25, 5});
    EXPECT_EQ(0, plane.GetNumberOfItems());
    EXPECT_EQ(0, plane.GetCanvas().Count());
    EXPECT_EQ("", driver.Move({25, 5}));
}

// A plane that keeps what was dropped on it and the rubber bands drawn over it.
class DropPlane : public CanvasPlane {
public:
    using CanvasPlane::CanvasPlane;
    void DropPackage(CanvasPoint p, int package) override { drops.push_back({p.x, p.y, static_cast<double>(package)}); }
    void RubberBand(CanvasPoint a, CanvasPoint b) override { bands.push_back({a.x, a.y, b.x, b.y}); }
    std::vector<std::vector<double>> drops, bands;
};

TEST(CanvasDriver, DropsRubberBandsAndResizesReachThePlaneWhileItLives) {
    ProbeRegistry registry;
    auto* plane = new DropPlane(nullptr, "CanvasPlaneObject");
    CanvasDriver driver(*plane);
    driver.OpenMenu({0, 0});
    driver.Drop(2, {10, 20});
    EXPECT_FALSE(driver.MenuOffers(5608));  // a drop closes the menu
    driver.Rubber({1, 2}, {3, 4});
    driver.Resize(300, 200);
    EXPECT_EQ((std::vector<std::vector<double>>{{10, 20, 2}}), plane->drops);
    EXPECT_EQ((std::vector<std::vector<double>>{{1, 2, 3, 4}}), plane->bands);
    EXPECT_EQ(300.0, plane->PixelWidth());
    delete plane;
    driver.Drop(1, {0, 0});
    driver.Rubber({0, 0}, {1, 1});
    driver.Resize(10, 10);
    EXPECT_FALSE(driver.PlaneAlive());
    // The base plane takes neither.
    CanvasPlane base(nullptr, "CanvasPlaneObject");
    CanvasDriver plain(base);
    plain.Drop(1, {0, 0});
    plain.Rubber({0, 0}, {100, 100});
    EXPECT_EQ(0, base.GetCanvas().Count());
}

// An item whose drawing deletes another item of the plane (or the plane itself).
class Deleter : public Item {
public:
    using Item::Item;
    void Draw(Canvas& c) override {
        Item::Draw(c);
        Viewable* v = victim;
        victim = nullptr;
        delete v;
    }
    Viewable* victim = nullptr;
};

// A plane that fits its visible extent to the window, as the grid diagram does.
class FittingPlane : public CanvasPlane {
public:
    using CanvasPlane::CanvasPlane;
    void OnResize() override {
        ++resized;
        SetVisibleExtent(PixelWidth() * 2.0, PixelHeight() * 2.0);
    }
    int resized = 0;
};

TEST(CanvasPlane, PaintingSurvivesDrawingsThatDeleteItemsOrThePlane) {
    ProbeRegistry registry;
    CanvasPlane plane(nullptr, "CanvasPlaneObject");
    new Item(&plane, "A");
    auto* d = new Deleter(&plane, "D");
    d->victim = new Item(&plane, "later");
    new Item(&plane, "last");
    EXPECT_TRUE(plane.PaintNow());
    EXPECT_EQ(3, plane.GetNumberOfItems());
    EXPECT_EQ(3, plane.GetCanvas().Count());
    EXPECT_EQ(1, plane.PaintCount());
    auto* doomed = new CanvasPlane(nullptr, "CanvasPlaneObject");
    auto* e = new Deleter(doomed, "E");
    new Item(doomed, "after");
    e->victim = doomed;
    EXPECT_FALSE(doomed->PaintNow());
}

TEST(CanvasPlane, TheWindowConvertsScreenLengthsToCanvasUnits) {
    ProbeRegistry registry;
    FittingPlane plane(nullptr, "CanvasPlaneObject");
    EXPECT_EQ(6.0, plane.ConvertToCanvasFromScene(6.0)) << "one to one before the window has a size";
    plane.SetPixelSize(400, 300);
    plane.SetPixelSize(400, 300);
    EXPECT_EQ(1, plane.resized) << "only a change of size is a resize";
    EXPECT_EQ(800.0, plane.VisibleWidth());
    plane.SetOrigin({100, 50});
    EXPECT_EQ(12.0, plane.ConvertToCanvasFromScene(6.0));
    const CanvasPoint p = plane.ConvertToCanvasFromScene(CanvasPoint{10, 20});
    EXPECT_EQ(120.0, p.x);
    EXPECT_EQ(90.0, p.y);
    const CanvasPoint q = plane.ConvertToSceneFromCanvas(p);
    EXPECT_EQ(10.0, q.x);
    EXPECT_EQ(20.0, q.y);
}

class CountingTimer : public TimerBase {
public:
    int ticks = 0;
    bool stopAtTwo = false;
    void Tick() override {
        ++ticks;
        if (stopAtTwo && ticks == 2) Stop();
    }
};

TEST(TimerService, TicksAreFiredWhenTimeIsAdvancedByHand) {
    TimerService::Instance().Reset();
    CountingTimer scroll, other;
    scroll.stopAtTwo = true;
    EXPECT_TRUE(scroll.Start(125));
    EXPECT_TRUE(other.Start(100));
    TimerService::Instance().Advance(500);
    EXPECT_EQ(2, scroll.ticks);
    EXPECT_FALSE(scroll.IsTicking());
    EXPECT_EQ(5, other.ticks);
    TimerService::Instance().FailNextRequest();
    EXPECT_FALSE(other.Stop());
    EXPECT_TRUE(other.IsTicking());
    EXPECT_TRUE(other.Stop());
    EXPECT_EQ(0, TimerService::Instance().NumberOfTickingTimers());
}

}  // namespace

namespace {

// Three primitives each of tags 1, 2 and 3, drawn interleaved.
Canvas threeTags() {
    Canvas c;
    c.SetExtent(100, 100);
    for (int round = 0; round < 3; ++round)
        for (int tag = 1; tag <= 3; ++tag) {
            c.SetTag(tag);
            c.AddCircle({10.0 * tag, 10.0 * round}, 1, {});
        }
    return c;
}

// The primitives' tags and x positions in drawing order.
std::vector<std::pair<int, double>> tagsOf(const Canvas& c) {
    std::vector<std::pair<int, double>> out;
    for (int i = 0; i < c.Count(); ++i) out.emplace_back(c.At(i).tag, c.At(i).points.front().x);
    return out;
}

}  // namespace

TEST(Canvas, RemovedTagsLeaveTheOthersInDrawingOrderForEveryReader) {
    Canvas c = threeTags();
    c.RemoveTagged(2);
    c.RemoveTagged(2);  // twice is once
    const std::vector<std::pair<int, double>> expected{{1, 10}, {3, 30}, {1, 10}, {3, 30}, {1, 10}, {3, 30}};
    EXPECT_EQ(expected, tagsOf(c));
    // The dump and the picture show what the count shows.
    Canvas d = threeTags();
    d.RemoveTagged(2);
    EXPECT_EQ(std::string::npos, d.Dump().find("tag=2"));
    Canvas e = threeTags();
    e.RemoveTagged(2);
    EXPECT_EQ(std::string::npos, e.ExportSVG().find("cx=\"20\""));
    EXPECT_NE(std::string::npos, e.ExportSVG().find("cx=\"30\""));
    // A hit test does not find a removed primitive: the circle of tag 2 at (20, 0) is gone and
    // the one of tag 1 at (10, 0) answers at its place, now the first primitive.
    Canvas h = threeTags();
    h.RemoveTagged(2);
    EXPECT_EQ(-1, h.HitTest({20, 0}, 0.5));
    EXPECT_EQ(0, h.HitTest({10, 0}, 0.5));
}

TEST(Canvas, ATagDrawnAgainAfterItsRemovalKeepsItsNewPrimitives) {
    Canvas c = threeTags();
    c.RemoveTagged(1);
    c.SetTag(1);
    const int i = c.AddCircle({50, 50}, 1, {});
    c.SetMarkup(i, CanvasMarkup{"again", {}});
    ASSERT_EQ(7, c.Count());
    EXPECT_EQ(6, i);
    EXPECT_EQ(1, c.At(6).tag);
    EXPECT_EQ("again", c.At(6).markup.cssClass);
    c.RemoveTagged(3);
    c.Clear();
    c.SetTag(3);
    c.AddCircle({1, 1}, 1, {});
    EXPECT_EQ(1, c.Count());  // a removal pending when the canvas is cleared does not reach later drawings
}

TEST(CanvasPlane, ItemsDeletedInAnyOrderTakeTheirPrimitivesAlong) {
    ProbeRegistry registry;
    CanvasPlane plane(nullptr, "CanvasPlaneObject");
    std::vector<Item*> items;
    for (int k = 0; k < 6; ++k) {
        items.push_back(new Item(&plane, "I" + std::to_string(k)));
        items.back()->SetPosition({20.0 * k, 0});
    }
    ASSERT_TRUE(plane.PaintNow());
    ASSERT_EQ(6, plane.GetCanvas().Count());
    for (int k : {5, 0, 3}) delete items[static_cast<std::size_t>(k)];
    ASSERT_EQ(3, plane.GetNumberOfItems());
    EXPECT_EQ(items[1], plane.GetItem(0));
    EXPECT_EQ(items[2], plane.GetItem(1));
    EXPECT_EQ(items[4], plane.GetItem(2));
    ASSERT_EQ(3, plane.GetCanvas().Count());
    EXPECT_EQ(20, plane.GetCanvas().At(0).points.front().x);
    EXPECT_EQ(40, plane.GetCanvas().At(1).points.front().x);
    EXPECT_EQ(80, plane.GetCanvas().At(2).points.front().x);
}

namespace {

// The SVG writes every number as "%.6g" does: six significant digits, fixed notation from 1e-4
// up to a million, the exponent form beyond, an exact half rounded to the even digit.
struct NumberCase {
    const char* what;
    double value;
    const char* written;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.what; }

class SvgNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(SvgNumber, IsWrittenAsSixSignificantDigits) {
    const NumberCase& c = GetParam();
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.6g", c.value);
    ASSERT_STREQ(c.written, printed) << "the case's own figure";
    Canvas canvas;
    canvas.SetExtent(100, 100);
    canvas.AddCircle({c.value, -c.value}, 1, {});
    const std::string svg = canvas.ExportSVG();
    const std::string negated = c.value == 0.0 ? (std::signbit(c.value) ? "0" : "-0")
                                : c.written[0] == '-' ? std::string(c.written + 1)
                                                      : "-" + std::string(c.written);
    EXPECT_NE(std::string::npos, svg.find("cx=\"" + std::string(c.written) + "\" cy=\"" + negated + "\"")) << svg;
    EXPECT_NE(std::string::npos, canvas.Dump().find("circle " + std::string(c.written) + "," + negated + " "));
}

INSTANTIATE_TEST_SUITE_P(
    Canvas, SvgNumber,
    ::testing::Values(NumberCase{"Whole", 42.0, "42"}, NumberCase{"Zero", 0.0, "0"},
                      NumberCase{"NegativeZero", -0.0, "-0"}, NumberCase{"RoundedToSixDigits", 1234.5678, "1234.57"},
                      NumberCase{"NegativeRounded", -4855.1249, "-4855.12"},
                      NumberCase{"TrailingZerosDropped", 2.5, "2.5"},
                      NumberCase{"SmallestFixed", 0.0001, "0.0001"},
                      NumberCase{"SmallFixedRounded", 0.000123456789, "0.000123457"},
                      NumberCase{"BelowTheFixedRange", 0.0000123, "1.23e-05"},
                      NumberCase{"RoundedUpIntoTheNextDecade", 99999.97, "100000"},
                      NumberCase{"RoundedUpToAMillion", 999999.7, "1e+06"},
                      NumberCase{"AMillionAndMore", 1234567.0, "1.23457e+06"},
                      NumberCase{"ExactHalfDownToEven", 100000.5, "100000"},
                      NumberCase{"ExactHalfUpToEven", 100001.5, "100002"},
                      NumberCase{"ExactHalfOfADecimal", 0.0009765625, "0.000976562"}),
    [](const ::testing::TestParamInfo<NumberCase>& info) { return std::string(info.param.what); });

}  // namespace
