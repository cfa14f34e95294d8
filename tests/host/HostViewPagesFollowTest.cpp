// kestrin-host view on the four-stream case and its textbook design: one input changed in the
// scenario viewer, then the pages that depend on it read at once, with no other action, and again
// after a save and a reopen: the composite and grand composite curves as the scenario's plots draw
// them, the design viewer's exchanger table (duties, areas, the four temperatures) and cross-pinch
// load, and the exchanger view of the unit the change reaches. Each equals what `plot` and
// `design` work out afresh from the table with the same change. The stream-link editors follow
// their streams the same way.
#include "../support/SvgReadBack.h"
#include "InputsFollow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct PageChange {
    const char* name;
    const char* line;
    const char* before;
    const char* after;
    const char* options;  // the change on the `plot` and `design` command lines
    int exchanger;        // the design row the change reaches, shown on the exchanger view
};
void PrintTo(const PageChange& c, std::ostream* out) { *out << c.name; }

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The points of each data set of a picture, in axis values, by the set's label.
std::map<std::string, std::vector<SvgPoint>> curvesOf(const std::string& svgPath) {
    std::map<std::string, std::vector<SvgPoint>> curves;
    const SvgPicture picture = ReadSvg(fileText(svgPath));
    if (!picture.parsed || !picture.PlotArea()) return curves;
    const SvgAxes axes(*picture.PlotArea());
    for (const SvgElement* set : picture.OfClass("data-set"))
        for (const SvgPoint& p : set->Points()) curves[set->Attribute("data-label")].push_back({axes.X(p.x), axes.Y(p.y)});
    return curves;
}

// The data sets of `plot --json`: label, then the points as numbers in pairs.
std::map<std::string, std::vector<SvgPoint>> curvesOfJson(const std::string& json) {
    std::map<std::string, std::vector<SvgPoint>> curves;
    for (std::size_t at = json.find("\"label\":"); at != std::string::npos; at = json.find("\"label\":", at + 1)) {
        const std::size_t open = json.find('"', at + 8) + 1;
        const std::string label = json.substr(open, json.find('"', open) - open);
        const std::size_t points = json.find("\"points\":[", at);
        const std::size_t end = json.find("]]", points);
        if (points == std::string::npos || end == std::string::npos) break;
        std::string list = json.substr(points + 10, end - points - 10);
        for (char& ch : list)
            if (ch == '[' || ch == ']' || ch == ',') ch = ' ';
        std::istringstream in(list);
        for (double x = 0, y = 0; in >> x >> y;) curves[label].push_back({x, y});
    }
    return curves;
}

// A curve of the view's picture against the fresh one, to a ten-thousandth of the axis spans.
void expectSameCurves(const std::string& freshJson, const std::string& viewSvg, const std::string& what) {
    const auto fresh = curvesOfJson(freshJson);
    const auto shown = curvesOf(viewSvg);
    ASSERT_FALSE(fresh.empty()) << what << freshJson;
    const SvgPicture picture = ReadSvg(fileText(viewSvg));
    ASSERT_NE(nullptr, picture.PlotArea()) << what;
    const SvgAxes axes(*picture.PlotArea());
    const double xSpan = axes.xMax - axes.xMin, ySpan = axes.yMax - axes.yMin;
    for (const auto& [label, points] : fresh) {
        const auto found = shown.find(label);
        ASSERT_NE(shown.end(), found) << what << " " << label;
        ASSERT_EQ(points.size(), found->second.size()) << what << " " << label;
        for (std::size_t i = 0; i < points.size(); ++i) {
            EXPECT_NEAR(points[i].x, found->second[i].x, 1e-4 * xSpan) << what << " " << label << " point " << i;
            EXPECT_NEAR(points[i].y, found->second[i].y, 1e-4 * ySpan) << what << " " << label << " point " << i;
        }
    }
}

// The reads after the change: two plots (steps first, first + 1), then the design viewer's
// exchanger table from step first + 3, its cross-pinch load at first + 9 and the exchanger view's
// duty, area, hot and cold ends from first + 13.
std::string pageReads(const std::string& composite, const std::string& grand, int exchanger) {
    return "svg chiPlot.200.2 " + composite + "\nsvg chiPlot.200.0 " + grand +
           "\nopen HIDesignViewerDesign.200.0\n"
           "get HeatFlow.304.[]\nget Area.302.[]\nget Temperature.347.[]\nget Temperature.346.[]\n"
           "get Temperature.344.[]\nget Temperature.343.[]\nget HeatFlow.150.[]\n"
           "set Index.414 1\nset Index.415 " +
           std::to_string(exchanger) +
           "\nopen HeatExchangerViewObject.400\n"
           "get HeatFlow.200\nget Area.200\nget Temperature.200.[]\nget Temperature.201.[]\n";
}

// The numbers of one key in each entry of the design report's "units" list.
std::vector<double> unitColumn(const std::string& json, const std::string& key) {
    std::vector<double> values;
    const std::size_t units = json.find("\"units\"");
    const std::size_t end = json.find("\"splitters\"", units);
    for (std::size_t at = json.find("\"name\"", units); at != std::string::npos && at < end;
         at = json.find("\"name\"", at + 1))
        values.push_back(JsonNumber(json, key, at));
    return values;
}

class HostViewPagesFollow : public ::testing::TestWithParam<PageChange> {};

TEST_P(HostViewPagesFollow, PlotsAndDesignPagesEqualAFreshCalculationBeforeAndAfterAReopen) {
    const PageChange& c = GetParam();
    const std::string table = ChangedTable(c.before, c.after);
    ASSERT_FALSE(table.empty());
    const InputsFollowFiles files("pagesfollow", table);
    ASSERT_TRUE(files.Designed());
    const ScratchFile &changed = files.changed, &start = files.start, &saved = files.saved;
    const std::string& network = files.network;
    ScratchFile picture("pagesfollow", "fresh.svg", "", false);
    ScratchFile composite("pagesfollow", "composite.svg", "", false), grand("pagesfollow", "grand.svg", "", false);
    ScratchFile composite2("pagesfollow", "composite2.svg", "", false), grand2("pagesfollow", "grand2.svg", "", false);

    const HostRun freshComposite =
        RunHost("plot " + changed.path + " --kind composite --svg " + picture.path + " " + c.options + " --json");
    const HostRun freshGrand =
        RunHost("plot " + changed.path + " --kind grand --svg " + picture.path + " " + c.options + " --json");
    const HostRun design = RunHost("design " + changed.path + network + " " + c.options + " --json");
    ASSERT_EQ(0, freshComposite.exitCode) << freshComposite.out;
    ASSERT_EQ(0, freshGrand.exitCode) << freshGrand.out;
    ASSERT_EQ(0, design.exitCode) << design.out;

    const char* column[] = {"duty", "area", "hot_in", "hot_out", "cold_in", "cold_out"};
    auto check = [&](const std::string& out, int first, const std::string& compositePath, const std::string& grandPath,
                     const std::string& when) {
        expectSameCurves(freshComposite.out, compositePath, when + " composite curves");
        expectSameCurves(freshGrand.out, grandPath, when + " grand composite curve");
        for (int k = 0; k < 6; ++k) {
            const std::vector<double> fresh = unitColumn(design.out, column[k]);
            const std::vector<double> shown = ScriptValues(out, first + 3 + k);
            ASSERT_EQ(fresh.size(), shown.size()) << when << " " << column[k] << out;
            for (std::size_t u = 0; u < fresh.size(); ++u)
                ExpectNearFresh(fresh[u], shown[u], when + " " + column[k] + " of unit " + std::to_string(u));
        }
        ExpectNearFresh(JsonNumber(design.out, "cross_pinch_load"), OnlyValue(out, first + 9), when + " cross-pinch load");
        const std::size_t unit = design.out.find("\"name\"", design.out.find("\"units\""));
        std::size_t at = unit;
        for (int u = 0; u < c.exchanger; ++u) at = design.out.find("\"name\"", at + 1);
        ExpectNearFresh(JsonNumber(design.out, "duty", at), OnlyValue(out, first + 13), when + " exchanger view duty");
        ExpectNearFresh(JsonNumber(design.out, "area", at), OnlyValue(out, first + 14), when + " exchanger view area");
        const std::vector<double> hot = ScriptValues(out, first + 15), cold = ScriptValues(out, first + 16);
        ASSERT_EQ(2u, hot.size()) << when << out;
        ASSERT_EQ(2u, cold.size()) << when << out;
        ExpectNearFresh(JsonNumber(design.out, "hot_out", at), hot[0], when + " exchanger view hot outlet");
        ExpectNearFresh(JsonNumber(design.out, "hot_in", at), hot[1], when + " exchanger view hot inlet");
        ExpectNearFresh(JsonNumber(design.out, "cold_in", at), cold[0], when + " exchanger view cold inlet");
        ExpectNearFresh(JsonNumber(design.out, "cold_out", at), cold[1], when + " exchanger view cold outlet");
    };

    const HostRun run = RunViewScript(start.path, std::string(c.line) + "\n" + pageReads(composite.path, grand.path, c.exchanger),
                                      " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    check(run.out, 2, composite.path, grand.path, "after the change");
    const HostRun again = RunViewScript(saved.path, pageReads(composite2.path, grand2.path, c.exchanger));
    ASSERT_EQ(0, again.exitCode) << again.out;
    check(again.out, 1, composite2.path, grand2.path, "after the reopen");
}

// The exchangers of the design, in order: E1 (H1-C2), E4, E3, E2 (H2-C1), Heater, Cooler.
INSTANTIATE_TEST_SUITE_P(
    Inputs, HostViewPagesFollow,
    ::testing::Values(PageChange{"HeatCapacityFlow", "set HeatCapacityFlow.404.2 2.5", "C1,20,135,2,", "C1,20,135,2.5,", "", 3},
                      PageChange{"FilmCoefficient", "set HeatTransferCoeff.413.0 0.4", "H1,170,60,3,0.2",
                                 "H1,170,60,3,0.4", "", 0},
                      PageChange{"DTmin", "set DeltaTemp.1 15", "", "", "--dtmin 15", 3},
                      PageChange{"StreamContribution", "set DeltaTemp.406.2 14", "C1,20,135,2,0.2,process,,",
                                 "C1,20,135,2,0.2,process,,14", "", 3}),
    [](const ::testing::TestParamInfo<PageChange>& info) { return std::string(info.param.name); });

// Stream links on the four-stream table: C2's inlet is H1's plus a difference, C1's a constant
// plus half of H2's. H1 and H2 move to 180 and 160 C and C2's own inlet to 85 C: each editor
// lists its candidates at their new temperatures and its equation line shows its stream's
// inlet now, as editors made afresh on the changed table do, and the same after a reopen.
TEST(HostViewLinksFollow, TheLinkEditorsShowTheirStreamsAsTheyAreNow) {
    const std::string make =
        "cmd AddDefaultDesign\nset Switch.600.3 1\nopen @last\nset Switch.100.0 1\ncmd UpdateSimpleLink\n"
        "open MyOwnerObject\nopen MyOwnerObject\nset Switch.601 1\nset Switch.600.2 1\nopen @last\n"
        "set Switch.100.1 1\nset TempCoefficient.100.1 0.5\nopen MyOwnerObject\nopen MyOwnerObject\n";
    const std::string change = "set Temperature.402.0 180\nset Temperature.402.1 160\nset Temperature.402.3 85\n";
    const std::string reads = "open LinkTableCollection.200\nopen LinkTable.200.0\nget Temperature.100.[]\n"
                              "text TempPropertyValue.101\nopen MyOwnerObject\nopen LinkTable.200.1\n"
                              "get Temperature.100.[]\ntext TempPropertyValue.102\n";
    ScratchFile changed("linksfollow", "changed.csv",
                        "name,supply,target,cp\nH1,180,60,3\nH2,160,30,1.5\nC1,20,135,2\nC2,85,140,4\n");
    ScratchFile saved("linksfollow", "saved.kcase", "", false);
    const HostRun fresh = RunViewScript(changed.path, make + reads);
    ASSERT_EQ(0, fresh.exitCode) << fresh.out;
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"), make + change + reads, " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const HostRun again = RunViewScript(saved.path, reads);
    ASSERT_EQ(0, again.exitCode) << again.out;

    // The reads begin at step 15 of the fresh run, 18 after the change, 1 after the reopen.
    auto text = [](const std::string& out, int step) {
        const std::size_t at = ("\n" + out).find("\n" + std::to_string(step) + ": text ");
        if (at == std::string::npos) return std::string();
        const std::size_t line = out.find("\n  text ", at);
        return line == std::string::npos ? std::string() : out.substr(line + 8, out.find('\n', line + 1) - line - 8);
    };
    EXPECT_EQ((std::vector<double>{180, 160, 20}), ScriptValues(fresh.out, 17)) << fresh.out;
    EXPECT_EQ((std::vector<double>{180, 160, 85}), ScriptValues(fresh.out, 21)) << fresh.out;
    EXPECT_EQ("Inlet Temperature  = T + DT = 85  C", text(fresh.out, 18)) << fresh.out;
    EXPECT_EQ("Inlet Temperature  =  A + Sum  (Bi * Ti)  +  Sum  (Ci * Fi)  =  20  C", text(fresh.out, 22));
    for (const auto& [out, first] : {std::pair<const std::string&, int>{run.out, 18}, {again.out, 1}}) {
        EXPECT_EQ(ScriptValues(fresh.out, 17), ScriptValues(out, first + 2)) << out;
        EXPECT_EQ(ScriptValues(fresh.out, 21), ScriptValues(out, first + 6)) << out;
        EXPECT_EQ(text(fresh.out, 18), text(out, first + 3)) << out;
        EXPECT_EQ(text(fresh.out, 22), text(out, first + 7)) << out;
    }
}

}  // namespace

namespace {

// The listing of the scenario viewer and every view below it (`form`: the design viewer with its
// grid and bar chart, the sixteen plots, the range plots), without the table's cursor column,
// which a typed cell moves on.
std::string formListing(const std::string& out) {
    const std::size_t at = out.find("\n  form {");
    if (at == std::string::npos) return std::string();
    std::string form = out.substr(at + 8, out.find('\n', at + 1) - at - 8);
    for (std::size_t cursor = form.find("{\"address\":\"ColPos"); cursor != std::string::npos;
         cursor = form.find("{\"address\":\"ColPos", cursor)) {
        std::size_t end = form.find('}', cursor) + 1;
        if (end < form.size() && form[end] == ',') ++end;
        form.erase(cursor, end - cursor);
    }
    return form;
}

// Where two listings part (numbers agreeing to a millionth, relative, are the same), with some
// context; empty where they agree.
std::string firstDifference(const std::string& a, const std::string& b) {
    auto number = [](const std::string& t, std::size_t i) {
        return i < t.size() && (std::isdigit(static_cast<unsigned char>(t[i])) ||
                                (t[i] == '-' && i + 1 < t.size() && std::isdigit(static_cast<unsigned char>(t[i + 1]))));
    };
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (number(a, i) && number(b, j)) {
            char* endA = nullptr;
            char* endB = nullptr;
            const double x = std::strtod(a.c_str() + i, &endA), y = std::strtod(b.c_str() + j, &endB);
            if (std::fabs(x - y) > 1e-6 * std::max(1.0, std::fabs(x))) break;
            i = static_cast<std::size_t>(endA - a.c_str());
            j = static_cast<std::size_t>(endB - b.c_str());
            continue;
        }
        if (a[i] != b[j]) break;
        ++i;
        ++j;
    }
    if (i == a.size() && j == b.size()) return std::string();
    const std::size_t from = a.rfind("{\"address\"", i), to = b.rfind("{\"address\"", j);
    return a.substr(from == std::string::npos ? 0 : from, 300) + "\n  against\n" +
           b.substr(to == std::string::npos ? 0 : to, 300);
}

struct FormChange {
    const char* name;
    const char* line;
    const char* before;  // the table's text the change replaces; nullptr: a setting the table
    const char* after;   // does not hold, held to what the run showed before the save
};
void PrintTo(const FormChange& c, std::ostream* out) { *out << c.name; }

class HostViewFormFollows : public ::testing::TestWithParam<FormChange> {};

// Every value the views list after the change equals (to a millionth) the listing of the case
// designed afresh on the changed table, and the reopened case lists the same.
TEST_P(HostViewFormFollows, EveryListedValueEqualsTheFreshCaseBeforeAndAfterAReopen) {
    const FormChange& c = GetParam();
    const std::string table = c.before ? ChangedTable(c.before, c.after) : kInputsFollowTable;
    ASSERT_FALSE(table.empty());
    const InputsFollowFiles files("formfollows", table);
    ASSERT_TRUE(files.Designed());
    const ScratchFile &start = files.start, &saved = files.saved;
    const HostRun run = RunViewScript(start.path, std::string(c.line) + "\nform\n", " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string shown = formListing(run.out);
    ASSERT_FALSE(shown.empty()) << run.out;
    const HostRun again = RunViewScript(saved.path, "form\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_EQ("", firstDifference(shown, formListing(again.out))) << "after the reopen";
    if (!c.before) return;
    ScratchFile fresh("formfollows", "fresh.kcase", "", false);
    ASSERT_EQ(0, RunHost("design " + files.changed.path + files.network + " --save " + fresh.path).exitCode);
    const HostRun freshRun = RunViewScript(fresh.path, "form\n");
    ASSERT_EQ(0, freshRun.exitCode) << freshRun.out;
    EXPECT_EQ("", firstDifference(formListing(freshRun.out), shown)) << "the fresh case against the changed one";
}

// A site scenario with its loads assigned by hand, one of them given on the site's table, and a
// site utility's approach changed: the reopened case lists every value of the scenario's views as
// the run did.
TEST(HostViewFormFollowsSite, EveryListedValueOfASiteScenarioIsTheSameAfterAReopen) {
    ScratchFile saved("formfollows", "site.kcase", "", false);
    ScratchFile script("formfollows", "site.txt",
                       kFourStreamSite + "set TargetMethod.450 0\nset HeatFlow.440.1 65\nset DeltaTemp.442.1 20\n"
                                         "open MyOwnerObject\nset HeatFlow.440.0 25\nopen HIDesignViewerScenario.200.0\nform\n");
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out.substr(0, 2000);
    const std::string shown = formListing(run.out);
    ASSERT_FALSE(shown.empty());
    const HostRun again = RunViewScript(saved.path, "open HIDesignViewerScenario.200.0\nform\n");
    ASSERT_EQ(0, again.exitCode) << again.out.substr(0, 2000);
    EXPECT_EQ("", firstDifference(shown, formListing(again.out)));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostViewFormFollows,
    ::testing::Values(
        FormChange{"HeatCapacityFlow", "set HeatCapacityFlow.404.2 2.5", "C1,20,135,2,", "C1,20,135,2.5,"},
        FormChange{"FilmCoefficient", "set HeatTransferCoeff.413.0 0.4", "H1,170,60,3,0.2", "H1,170,60,3,0.4"},
        FormChange{"StreamContribution", "set DeltaTemp.406.2 14", "C1,20,135,2,0.2,process,,",
                   "C1,20,135,2,0.2,process,,14"},
        FormChange{"UtilityPrice", "set CostPerEnergy.445.0 0.018", "utility,78.84", "utility,157.68"},
        // The design keeps its own DTmin, where a design made afresh at 15 C takes that one.
        FormChange{"DTmin", "set DeltaTemp.1 15", nullptr, nullptr},
        FormChange{"AreaTargetOption", "set TargetMethod.101 0", nullptr, nullptr},
        FormChange{"UtilityLoadsByHand", "set TargetMethod.450 0\nset HeatFlow.440.0 25", nullptr, nullptr},
        FormChange{"Fouling", "set Fouling.412.0 0.5", nullptr, nullptr}),
    [](const ::testing::TestParamInfo<FormChange>& info) { return std::string(info.param.name); });

}  // namespace
