// kestrin-host extract on simulator cases whose names meet the names the extraction makes, and whose
// units and values are of the kinds that used to go missing: every stream, load and unit of the
// case comes across, or the report names what could not. The documents are made by a small
// generator, in the shapes of the examples' documents (a unit's property table gives each heater
// or cooler its curve).
#include "HostProcess.h"
#include "tests/support/RandomSimulatorCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

// ---- the generator ----
std::string number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", v);
    return buffer;
}
using Values = std::vector<std::pair<std::string, std::optional<double>>>;
std::string num(const std::string& name, std::optional<double> v) {
    return v ? "<num name=\"" + name + "\">" + number(*v) + "</num>" : "<num name=\"" + name + "\"/>";
}
std::string item(const std::string& name, const std::string& cls, const Values& values = {},
                 const std::vector<std::string>& links = {}, const std::string& extra = "") {
    std::string out = "  <item name=\"" + name + "\" class=\"" + cls + "\">";
    for (const auto& [k, v] : values) out += "\n    " + num(k, v);
    out += extra;
    for (const std::string& l : links) out += "\n    <link to=\"" + l + "\"/>";
    return out + "\n  </item>\n";
}
std::string doc(const std::string& name, const std::vector<std::string>& items, const std::string& classes = "") {
    std::string out = "<?xml version=\"1.0\"?>\n<simcase version=\"1\" name=\"" + name + "\">\n" + classes;
    for (const std::string& i : items) out += i;
    return out + "</simcase>\n";
}
std::string joined(const std::vector<double>& xs) {
    std::string out;
    for (double x : xs) out += (out.empty() ? "" : " ") + number(x);
    return out;
}
std::string ptable(const std::string& stream, const std::vector<double>& t, const std::vector<double>& h,
                   std::vector<double> vf = {}) {
    if (vf.empty()) vf.assign(t.size(), 0.0);
    return "\n    <group name=\"PropertyTable\"><group name=\"" + stream + "\"><list name=\"prpTemperature\">" + joined(t) +
           "</list><list name=\"prpMassEnthalpy\">" + joined(h) + "</list><list name=\"prpMassVapourFraction\">" +
           joined(vf) + "</list></group></group>";
}
std::string ms(const std::string& name, std::optional<double> t, double h, const std::vector<std::string>& links = {},
               double m = 2, std::optional<double> mh = std::nullopt) {
    Values v{{"Temperature", t}, {"MassFlow", m}, {"HeatFlow", h}};
    if (mh) v.emplace_back("MolarEnthalpy", mh);
    return item(name, "ppMaterialStream", v, links, "\n    <list name=\"CompMolarFraction\">0.4 0.6</list>");
}
std::vector<std::string> heat(const std::string& a, const std::string& b, const std::string& u, double t0, double t1,
                              double duty, const std::string& cls = "htHeater") {
    return {ms(a, t0, 0, {u}, 2, -30000),
            item(u, cls, {{"Duty", duty}}, {b}, ptable(a, {t0, (t0 + t1) / 2, t1}, {0, duty / 4, duty / 2})),
            ms(b, t1, duty, {}, 2, -29000)};
}
std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A feed heated to T2 in E1 and cooled back to 40 C in C1; the solved one leaves P2's temperature
// (or E1's duty) unknown.
std::string train(double t2, double duty, bool unknown = false, bool dutyUnknown = false) {
    return doc("train",
               {ms("P1", 40, 0, {"E1"}, 2, -30000),
                item("E1", "htHeater", {{"Duty", dutyUnknown ? std::nullopt : std::optional<double>(duty)}}, {"P2"}, ptable("P1", {40, (40 + t2) / 2, t2}, {0, duty / 4, duty / 2})),
                ms("P2", unknown ? std::nullopt : std::optional<double>(t2), duty, {"C1"}, 2, -29000),
                item("C1", "htCooler", {{"Duty", duty}}, {"P3"}, ptable("P2", {t2, (40 + t2) / 2, 40}, {duty / 2, duty / 4, 0})),
                ms("P3", 40, 0, {}, 2, -30000)});
}

std::string example(const std::string& name) { return FileContents(ExamplePath("extraction/" + name)); }

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string withItems(std::string text, const std::string& items) {
    text.insert(text.rfind("</simcase>"), items);
    return text;
}

// The exchanger train with a PRO/II two-phase separator V between VF and VP (1 kg/s, phase heat
// capacity 4.0).
std::string trainWithSeparator(std::optional<double> feed, std::optional<double> product, std::optional<double> duty,
                               const std::string& cls = "vsSeparatorTwoPhase") {
    const Values stream{{"Temperature", feed}, {"MassFlow", 1}, {"PhaseMassHeatCapacity", 4.0}};
    Values out = stream;
    out[0].second = product;
    return withItems(example("exchanger-train.vmc"), item("VF", "ppMaterialStream", stream, {"V"}) +
                                                         item("V", cls, {{"Duty", duty}}, {"VP"}) +
                                                         item("VP", "ppMaterialStream", out));
}

// X cooled in CX to BTM, which a reboiler boils to BOIL; the solved one may leave the reboiler's
// duty and the heat flows of its streams unknown.
std::string reboilerFeed(bool unknown = false) {
    const auto known = [unknown](double v) { return unknown ? std::nullopt : std::optional<double>(v); };
    auto stream = [&](const char* name, double t, std::optional<double> h, std::vector<std::string> links, double mh) {
        return item(name, "ppMaterialStream", {{"Temperature", t}, {"MassFlow", 1.6}, {"HeatFlow", h}, {"MolarEnthalpy", mh}},
                    links, "\n    <list name=\"CompMolarFraction\">0.4 0.6</list>");
    };
    return doc("rf", {stream("X", 150, 500, {"CX"}, -110000),
                      item("CX", "htCooler", {{"Duty", 100}}, {"BTM"}, ptable("X", {150, 135, 120}, {62.5, 31.25, 0})),
                      stream("BTM", 120, known(400), {"REB"}, -120000),
                      item("REB", "htReboiler", {{"Duty", known(700)}}, {"BOIL"},
                           ptable("BTM", {120, 120}, {0, 437.5}, {0, 0.5})),
                      stream("BOIL", 120, known(1100), {}, -100000)});
}

// B passes through `unit` to C, and the unit feeds B again: a loop of pass-through units upstream
// of C, which a fired heater heats to D. Either side of the loop may leave its values unknown.
std::string passThroughLoop(const std::string& unit, bool feedKnown, bool productKnown) {
    auto stream = [](const char* name, bool known, const char* to) {
        const Values v = known ? Values{{"Temperature", 100}, {"MassFlow", 2}, {"HeatFlow", 0}, {"MolarEnthalpy", -30000}}
                               : Values{};
        return item(name, "ppMaterialStream", v, {to}, "\n    <list name=\"CompMolarFraction\">0.4 0.6</list>");
    };
    return doc("loop", {stream("B", feedKnown, unit.c_str()), item(unit, unit == "P1" ? "rtPump" : "lgRecycle", {}, {"C", "B"}),
                        stream("C", productKnown, "F1"),
                        item("F1", "htFiredHeater", {{"Duty", 500}}, {"D"}, ptable("C", {100, 150, 200}, {0, 125, 250})),
                        ms("D", 200, 500, {}, 2, -29000)});
}

// K1 heated from 20 to 80 C by 100 kW in E1, whose table of K1 falls back in its middle: the
// specific heats of a fit change sign.
std::string signChangingFit() {
    return doc("sign", {ms("K1", 20, 0, {"E1"}, 2, -30000),
                        item("E1", "htHeater", {{"Duty", 100}}, {"K2"}, ptable("K1", {20, 40, 60, 80}, {0, 80, 40, 100})),
                        ms("K2", 80, 100, {}, 2, -29000)});
}

// H1 cooled from 346.791 to 143.273 C by 563.7 kW in C1, whose table of H1 spans only 23.79 to
// 275.38 C, at a specific heat the heat flows do not give.
std::string tableShortOfTheStream() {
    return doc("span", {ms("H1", 346.791, 1000, {"C1"}, 1, -30000),
                        item("C1", "htCooler", {{"Duty", 563.7}}, {"H2"},
                             ptable("H1", {23.79, 275.38}, {0, 1800})),
                        ms("H2", 143.273, 436.3, {}, 1, -31000)});
}

// F0 passes through a unit of class `cls` to F1 at the same 200 C, is cooled to 100 C in C1 and
// C2 and heated again to 150 C in E1: the chain turns at F3.
std::string passThenTurn(const std::string& cls) {
    auto unit = [](const char* name, const char* c, double duty, const char* in, double t0, double t1, const char* out) {
        return item(name, c, {{"Duty", duty}}, {out}, ptable(in, {t0, (t0 + t1) / 2, t1}, {2.5 * t0, 1.25 * (t0 + t1), 2.5 * t1}));
    };
    return doc("pass", {ms("F0", 200, 1000, {"U1"}, 2, -20000), item("U1", cls, {}, {"F1"}), ms("F1", 200, 1000, {"C1"}, 2, -20000),
                        unit("C1", "htCooler", 250, "F1", 200, 150, "F2"), ms("F2", 150, 750, {"C2"}, 2, -22500),
                        unit("C2", "htCooler", 250, "F2", 150, 100, "F3"), ms("F3", 100, 500, {"E1"}, 2, -25000),
                        unit("E1", "htHeater", 250, "F3", 100, 150, "F4"), ms("F4", 150, 750, {}, 2, -22500)});
}

// K0 at 60 C cooled to 20 C in C1 (160 kW), heated to 50 C in E1 (120 kW) and to 100 C in X1
// (200 kW) against H1, 150 -> 100 C: the chain turns at K1. Without the cooler the feed is K1.
std::string turnBeforeExchanger(bool cooler) {
    auto table = [](const char* s, double t0, double t1, double h0, double h1) {
        return "<group name=\"" + std::string(s) + "\"><list name=\"prpTemperature\">" + joined({t0, (t0 + t1) / 2, t1}) +
               "</list><list name=\"prpMassEnthalpy\">" + joined({h0, (h0 + h1) / 2, h1}) +
               "</list><list name=\"prpMassVapourFraction\">0 0 0</list></group>";
    };
    std::vector<std::string> items;
    if (cooler)
        items = {ms("K0", 60, 240, {"C1"}, 2, -28000),
                 item("C1", "htCooler", {{"Duty", 160}}, {"K1"}, ptable("K0", {60, 40, 20}, {120, 80, 40}))};
    return doc("turn", items + std::vector<std::string>{
        ms("K1", 20, 80, {"E1"}, 2, -30000),
        item("E1", "htHeater", {{"Duty", 120}}, {"K2"}, ptable("K1", {20, 35, 50}, {40, 70, 100})),
        ms("K2", 50, 200, {"X1"}, 2, -29000),
        item("H1", "ppMaterialStream", {{"Temperature", 150}, {"MassFlow", 2}, {"HeatFlow", 600}, {"MolarEnthalpy", -40000}},
             {"X1"}, "\n    <list name=\"CompMolarFraction\">0.2 0.8</list>"),
        item("X1", "htHeatExchanger", {{"Duty", 200}}, {"H2", "K3"},
             "\n    <text name=\"TubeSideFeed\">K2</text><text name=\"TubeSideProduct\">K3</text>"
             "<text name=\"ShellSideFeed\">H1</text><text name=\"ShellSideProduct\">H2</text>"
             "\n    <group name=\"PropertyTable\">" + table("H1", 150, 100, 300, 200) + table("K2", 50, 100, 100, 200) + "</group>"),
        item("H2", "ppMaterialStream", {{"Temperature", 100}, {"MassFlow", 2}, {"HeatFlow", 400}, {"MolarEnthalpy", -41000}},
             {}, "\n    <list name=\"CompMolarFraction\">0.2 0.8</list>"),
        ms("K3", 100, 400, {}, 2, -27000)});
}

// A 2 kg/s stream of the given mole fractions whose molar enthalpy rises by `slope` a degree, and
// an exchanger side's table whose mass enthalpy is its temperature.
std::string fractionsStream(const char* name, double t, double h, std::vector<std::string> links, const char* fractions,
                            double slope) {
    return item(name, "ppMaterialStream", {{"Temperature", t}, {"MassFlow", 2}, {"HeatFlow", h}, {"MolarEnthalpy", -30000 + slope * t}},
                links, std::string("\n    <list name=\"CompMolarFraction\">") + fractions + "</list>");
}
std::string sideTable(const char* s, double t0, double t1) {
    return "<group name=\"" + std::string(s) + "\"><list name=\"prpTemperature\">" + joined({t0, (t0 + t1) / 2, t1}) +
           "</list><list name=\"prpMassEnthalpy\">" + joined({t0, (t0 + t1) / 2, t1}) +
           "</list><list name=\"prpMassVapourFraction\">0 0 0</list></group>";
}

// X2 (48 kW) between H1 (200 -> 176 C) and K1 (50 -> 74 C), each stream starting and ending at
// it, beside a heated feed (E1) and a cooled one (C1).
std::string exchangerEndsBothStreams() {
    auto stream = [](const char* name, double t, double h, std::vector<std::string> links, const char* fractions) {
        return fractionsStream(name, t, h, std::move(links), fractions, 50);
    };
    const auto table = sideTable;
    return doc("ends", std::vector<std::string>{stream("H1", 200, 400, {"X2"}, "0.2 0.8"), stream("K1", 50, 100, {"X2"}, "0.7 0.3"),
                        item("X2", "htHeatExchanger", {{"Duty", 48}}, {"H2", "K2"},
                             "\n    <text name=\"TubeSideFeed\">K1</text><text name=\"TubeSideProduct\">K2</text>"
                             "<text name=\"ShellSideFeed\">H1</text><text name=\"ShellSideProduct\">H2</text>"
                             "\n    <group name=\"PropertyTable\">" + table("H1", 200, 176) + table("K1", 50, 74) + "</group>"),
                        stream("H2", 176, 352, {}, "0.2 0.8"), stream("K2", 74, 148, {}, "0.7 0.3")} +
                           heat("P1", "P2", "E1", 40, 100, 240) +
                           std::vector<std::string>{ms("Q1", 150, 560, {"C1"}, 2, -20000),
                                                    item("C1", "htCooler", {{"Duty", 280}}, {"Q2"},
                                                         ptable("Q1", {150, 115, 80}, {140, 70, 0})),
                                                    ms("Q2", 80, 280, {}, 2, -21000)});
}

// F0 (2 kg/s, 1 kJ/kg K) heated from 40 C by E1 (40 kW) and E2 (180 kW) to 150 C, split by T1
// into two branches of 1 kg/s, each heated by 10 kW to 160 C (the first by two heaters in series,
// 6 and 4 kW), mixed again in M1. The document may list the units against the flow.
std::string heatersBeforeATee(bool againstTheFlow) {
    auto stream = [](const std::string& name, double t, double m, std::vector<std::string> links, const char* branch = "") {
        return item(name, "ppMaterialStream", {{"Temperature", t}, {"MassFlow", m}, {"HeatFlow", m * t}, {"MolarEnthalpy", 30 * t - 30000}},
                    links, (*branch ? "\n    <text name=\"BranchName\">" + std::string(branch) + "</text>" : std::string()) +
                               "\n    <list name=\"CompMolarFraction\">0.4 0.6</list>");
    };
    auto heater = [](const std::string& name, const std::string& in, double t0, double t1, double m, const std::string& out) {
        return item(name, "htHeater", {{"Duty", m * (t1 - t0)}}, {out}, ptable(in, {t0, (t0 + t1) / 2, t1}, {t0, (t0 + t1) / 2, t1}));
    };
    std::vector<std::string> units = {heater("E1", "F0", 40, 60, 2, "F1"), heater("E2", "F1", 60, 150, 2, "F2"),
                                      heater("E3", "B1", 150, 156, 1, "B3"), heater("E5", "B3", 156, 160, 1, "D1"),
                                      heater("E4", "B2", 150, 160, 1, "D2")};
    if (againstTheFlow) std::reverse(units.begin(), units.end());
    return doc("tee", units + std::vector<std::string>{
        stream("F0", 40, 2, {"E1"}), stream("F1", 60, 2, {"E2"}), stream("F2", 150, 2, {"T1"}),
        item("T1", "ppTee", {}, {"B1", "B2"}), stream("B1", 150, 1, {"E3"}, "Branch 1"), stream("B2", 150, 1, {"E4"}, "Branch 2"),
        stream("B3", 156, 1, {"E5"}, "Branch 1"), stream("D1", 160, 1, {"M1"}, "Branch 1"), stream("D2", 160, 1, {"M1"}, "Branch 2"),
        item("M1", "ppMixer", {}, {"P"}), stream("P", 160, 2, {})});
}

// H1 (2 kg/s) cooled from 200 to 70 C by C1 (260 kW), whose energy stream Q1, linked before its
// product, heats K1 (2 kg/s) from 40 to 105 C in E1. The streams give no composition.
std::string coolerHeatsHeater() {
    // Heat-capacity flow rates of 2 kW/C (H) and 4 kW/C (K).
    auto stream = [](const char* name, double t, double rate, std::vector<std::string> links) {
        return item(name, "ppMaterialStream", {{"Temperature", t}, {"MassFlow", 2}, {"HeatFlow", rate * t}, {"MolarEnthalpy", 50 * t - 30000}},
                    links);
    };
    return doc("joined", {stream("H1", 200, 2, {"C1"}),
                          item("C1", "htCooler", {{"Duty", 260}}, {"Q1", "H2"}, ptable("H1", {200, 135, 70}, {130, 65, 0})),
                          item("Q1", "ppEnergyStream", {{"HeatFlow", 260}}, {"E1"}), stream("H2", 70, 2, {}),
                          stream("K1", 40, 4, {"E1"}),
                          item("E1", "htHeater", {{"Duty", 260}}, {"K2"}, ptable("K1", {40, 72.5, 105}, {0, 65, 130})),
                          stream("K2", 105, 4, {})});
}

// A feed A of 2 kg/s at 200 C split 1:1 by T1 and mixed again by M1 into P: B1 cooled to 100 C
// by C1 (250 kW); B2 passed through a unit of class `passThrough` (none when empty) to B3, then
// cooled to 100 C by C2, or heated to 300 C by E2 (250 kW each).
std::string teeBranches(const std::string& passThrough, bool secondHeated = false) {
    auto unit = [](const char* name, const char* cls, const char* in, double t0, double t1, const char* out) {
        return item(name, cls, {{"Duty", 250}}, {out}, ptable(in, {t0, (t0 + t1) / 2, t1}, {2.5 * t0, 1.25 * (t0 + t1), 2.5 * t1}));
    };
    const char* second = passThrough.empty() ? "B2" : "B3";
    const double end = secondHeated ? 300 : 100;
    std::vector<std::string> items{ms("A", 200, 1000, {"T1"}, 2, -20000), item("T1", "ppTee", {}, {"B1", "B2"}),
                                   ms("B1", 200, 500, {"C1"}, 1, -20000), unit("C1", "htCooler", "B1", 200, 100, "D1"),
                                   ms("D1", 100, 250, {"M1"}, 1, -25000)};
    if (!passThrough.empty())
        items = items + std::vector<std::string>{ms("B2", 200, 500, {"U1"}, 1, -20000), item("U1", passThrough, {}, {"B3"})};
    return doc("tee", items + std::vector<std::string>{
        ms(second, 200, 500, {secondHeated ? "E2" : "C2"}, 1, -20000),
        secondHeated ? unit("E2", "htHeater", second, 200, 300, "D2") : unit("C2", "htCooler", second, 200, 100, "D2"),
        ms("D2", end, 2.5 * end, {"M1"}, 1, secondHeated ? -15000 : -25000), item("M1", "ppMixer", {}, {"P"}),
        ms("P", (100 + end) / 2, 2.5 * (100 + end), {}, 2, secondHeated ? -20000 : -25000)});
}

// A feed A of 3 kg/s at 50 C split by T1 into branches of m1 and m2 kg/s, each heated to 100 C,
// mixed again into P and heated on to Q by E3 (697.8 kW): branch flows as a simulator rounds them.
std::string roundedBranches(double m1, double m2) {
    auto heater = [](const char* name, const char* in, double t0, double t1, double m, const char* out) {
        return item(name, "htHeater", {{"Duty", 2.5 * m * (t1 - t0)}}, {out},
                    ptable(in, {t0, (t0 + t1) / 2, t1}, {2.5 * t0, 1.25 * (t0 + t1), 2.5 * t1}));
    };
    const double t3 = 100 + 697.8 / 7.5;
    return doc("rounded", {ms("A", 50, 375, {"T1"}, 3, -30000), item("T1", "ppTee", {}, {"B1", "B2"}),
                           ms("B1", 50, 125 * m1, {"E1"}, m1, -30000), heater("E1", "B1", 50, 100, m1, "D1"),
                           ms("D1", 100, 250 * m1, {"M1"}, m1, -25000), ms("B2", 50, 125 * m2, {"E2"}, m2, -30000),
                           heater("E2", "B2", 50, 100, m2, "D2"), ms("D2", 100, 250 * m2, {"M1"}, m2, -25000),
                           item("M1", "ppMixer", {}, {"P"}), ms("P", 100, 750, {"E3"}, 3, -25000),
                           heater("E3", "P", 100, t3, 3, "Q"), ms("Q", t3, 7.5 * t3, {}, 3, -20000)});
}

// A feed A of 3 kg/s at 50 C split by T1: B1 (2 kg/s) heated to 150 C by E1, B2 (1 kg/s) passed by;
// mixed again into P at 116.67 C and heated on to 140 C by E3. E1's curve is steeper in its first
// half (3.125 kJ/(kg.K), then 1.875): the units' curves taken together fall back where E3's begins.
std::string heatedBranchAndBypass() {
    auto heater = [](const char* name, const char* in, double t0, double t1, double m, const char* out) {
        return item(name, "htHeater", {{"Duty", 2.5 * m * (t1 - t0)}}, {out},
                    ptable(in, {t0, (t0 + t1) / 2, t1}, {2.5 * t0, 1.25 * (t0 + t1), 2.5 * t1}));
    };
    const double mixed = (2 * 150 + 50) / 3.0;
    return doc("bypass", {ms("A", 50, 375, {"T1"}, 3, -30000), item("T1", "ppTee", {}, {"B1", "B2"}),
                          ms("B1", 50, 250, {"E1"}, 2, -30000),
                          item("E1", "htHeater", {{"Duty", 500}}, {"D1"},
                               ptable("B1", {50, 75, 100, 125, 150}, {125, 203.125, 281.25, 328.125, 375})),
                          ms("D1", 150, 750, {"M1"}, 2, -22500), ms("B2", 50, 125, {"M1"}, 1, -30000),
                          item("M1", "ppMixer", {}, {"P"}), ms("P", mixed, 7.5 * mixed, {"E3"}, 3, -25000),
                          heater("E3", "P", mixed, 140, 3, "Q"), ms("Q", 140, 1050, {}, 3, -23000)});
}

// H1 cooled from 118 to 78 C by C1 (200 kW), whose duty an energy stream carries to E1, heating K1
// from 70 to 110 C: the pair is one exchanger, at an approach of 8 K, and the targets at a DTmin
// of 10 K ask 10 kW of hot utility that no unit is left to bring. G1 is cooled from 60 to 45 C.
std::string jointPairShortOfHeat() {
    auto unit = [](const char* name, const char* cls, const char* in, double t0, double t1, double duty,
                   std::vector<std::string> links) {
        const double cp = duty / 2 / std::fabs(t1 - t0);  // of 2 kg/s, kJ/(kg.K)
        return item(name, cls, {{"Duty", duty}}, links,
                    ptable(in, {t0, (t0 + t1) / 2, t1}, {cp * t0, cp * (t0 + t1) / 2, cp * t1}));
    };
    return doc("pair", {ms("H1", 118, 590, {"C1"}, 2, -20000), unit("C1", "htCooler", "H1", 118, 78, 200, {"H2", "Q1"}),
                        ms("H2", 78, 390, {}, 2, -22000), item("Q1", "ppEnergyStream", {{"HeatFlow", 200}}, {"E1"}),
                        ms("K1", 70, 350, {"E1"}, 2, -30000), unit("E1", "htHeater", "K1", 70, 110, 200, {"K2"}),
                        ms("K2", 110, 550, {}, 2, -29000), ms("G1", 60, 300, {"C2"}, 2, -10000),
                        unit("C2", "htCooler", "G1", 60, 45, 75, {"G2"}), ms("G2", 45, 225, {}, 2, -12000)});
}

// F0 (2 kg/s, 200 C) passes a pump P1 and a pipe L1 to a tee T1: B1 (1 kg/s) is cooled to 100 C by
// C1 (250 kW), B2 passes a pipe; mixed again at 150 C into P, cooled to 120 C by C2 (150 kW).
std::string pumpAndPipeBeforeATee() {
    auto cooler = [](const char* name, const char* in, double t0, double t1, double m, const char* out) {
        return item(name, "htCooler", {{"Duty", 2.5 * m * (t0 - t1)}}, {out},
                    ptable(in, {t0, (t0 + t1) / 2, t1}, {2.5 * t0, 1.25 * (t0 + t1), 2.5 * t1}));
    };
    return doc("pumped", {ms("F0", 200, 1000, {"P1"}, 2, -20000), item("P1", "rtPump", {}, {"F1"}),
                          ms("F1", 200, 1000, {"L1"}, 2, -20000), item("L1", "ppPipeSegment", {}, {"F2"}),
                          ms("F2", 200, 1000, {"T1"}, 2, -20000), item("T1", "ppTee", {}, {"B1", "B2"}),
                          ms("B1", 200, 500, {"C1"}, 1, -20000), cooler("C1", "B1", 200, 100, 1, "D1"),
                          ms("D1", 100, 250, {"M1"}, 1, -25000), ms("B2", 200, 500, {"L2"}, 1, -20000),
                          item("L2", "ppPipeSegment", {}, {"B3"}), ms("B3", 200, 500, {"M1"}, 1, -20000),
                          item("M1", "ppMixer", {}, {"P"}), ms("P", 150, 750, {"C2"}, 2, -22500),
                          cooler("C2", "P", 150, 120, 2, "Q"), ms("Q", 120, 600, {}, 2, -24000)});
}

// Generated plants of up to four feeds of up to seven units each, without tees.
random_case::Options largerPlants() {
    random_case::Options o;
    o.tees = false;
    o.maxPaths = 4;
    o.maxSteps = 7;
    o.columns = false;  // the plants these seeds made before columns were generated
    return o;
}

// The document with the streams of each tee branch named, as a simulator names them.
std::string branchesNamed(std::string text) {
    for (const char* s : {"B1", "D1", "B2", "B3", "D2"}) {
        const std::string from = "<item name=\"" + std::string(s) + "\" class=\"ppMaterialStream\">";
        const char* branch = s[1] == '1' ? "Branch 1" : "Branch 2";
        text = replaced(text, from, from + "\n    <text name=\"BranchName\">" + branch + "</text>");
    }
    return text;
}

// ---- the cases ----
// A feed heated into a shortcut column whose reboiler takes its duty through QR and whose
// condenser gives its off through QC (duties and temperatures on the column).
std::string shortcutColumn(double reboilerDuty, double reboilerT, double condenserDuty, double condenserT) {
    auto product = [](const char* name, double t, const char* fractions) {
        return item(name, "ppMaterialStream", {{"Temperature", t}, {"MassFlow", 1}, {"HeatFlow", 100}, {"MolarEnthalpy", -20000}},
                    {}, std::string("\n    <list name=\"CompMolarFraction\">") + fractions + "</list>");
    };
    return doc("shortcut", heat("F1", "F2", "E1", 40, 100, 200) + std::vector<std::string>{
        item("QR", "ppEnergyStream", {{"HeatFlow", reboilerDuty}}, {"COL"}),
        item("COL", "scShortcutDistillation",
             {{"ReboilerDuty", reboilerDuty}, {"ReboilerTemperature", reboilerT}, {"CondenserDuty", condenserDuty},
              {"CondenserTemperature", condenserT}},
             {"QC", "DIST", "BTMS"}),
        item("QC", "ppEnergyStream", {{"HeatFlow", -condenserDuty}}),
        product("DIST", condenserT, "0.9 0.1"), product("BTMS", reboilerT, "0.1 0.9")});
}

// X1 (duty `duty`) between H1, from 200 C at 2 kW/C, which also loses 10 kW in it, and K1 from
// 50 C at 2 kW/C, with nothing else on either stream: the 10 kW at H1's end gives X1 a utility at
// its port, and dummies (0.5 % of its duty) beside it. Elsewhere a feed is heated and cooled.
std::string exchangerLosingHeat(double duty) {
    const double hot = 200 - (duty + 10) / 2, cold = 50 + duty / 2;
    auto stream = [](const char* name, double t, double h, std::vector<std::string> links, const char* fractions) {
        return fractionsStream(name, t, h, std::move(links), fractions, 10);
    };
    const auto table = sideTable;
    return doc("losing", std::vector<std::string>{
        stream("H1", 200, 400, {"X1"}, "0.2 0.8"), stream("K1", 50, 100, {"X1"}, "0.7 0.3"),
        item("X1", "htHeatExchanger", {{"Duty", duty}, {"HeatLoss", 10}}, {"H2", "K2"},
             "\n    <text name=\"TubeSideFeed\">K1</text><text name=\"TubeSideProduct\">K2</text>"
             "<text name=\"ShellSideFeed\">H1</text><text name=\"ShellSideProduct\">H2</text>"
             "\n    <group name=\"PropertyTable\">" + table("H1", 200, hot) + table("K1", 50, cold) + "</group>"),
        stream("H2", hot, 390 - duty, {}, "0.2 0.8"), stream("K2", cold, 100 + duty, {}, "0.7 0.3"),
        ms("F1", 40, 0, {"E1"}, 2, -50000),
        item("E1", "htHeater", {{"Duty", 120}}, {"F2"}, ptable("F1", {40, 55, 70}, {0, 60, 120})),
        ms("F2", 70, 120, {"C1"}, 2, -49000),
        item("C1", "htCooler", {{"Duty", 60}}, {"F3"}, ptable("F2", {70, 62.5, 55}, {120, 90, 60})),
        ms("F3", 55, 60, {}, 2, -49500)});
}

// A random document of the sweep's generator, without tees (and columns unless asked for)
// (tests/support/RandomSimulatorCase.h).
std::string randomDocument(std::uint32_t seed, bool columns = false) {
    random_case::Options options;
    options.tees = false;
    options.columns = columns;
    return random_case::Generate(seed, options).text;
}
const std::vector<std::string> kSoundNetwork = {"  degrees of freedom        0\n", "  unsatisfied streams       none\n"};

struct WholeCase {
    const char* name;
    std::string document;
    std::string settings;  // empty: none
    std::string solved;    // empty: no refresh
    std::vector<std::string> present;
    std::vector<std::string> absent;
    int exitCode = 0;  // the extraction's exit: 1 where the case is refused whole
};
void PrintTo(const WholeCase& c, std::ostream* out) { *out << c.name; }

class HostExtractWholeCase : public ::testing::TestWithParam<WholeCase> {};

TEST_P(HostExtractWholeCase, ComesAcrossWholeOrNamesWhatDidNot) {
    const WholeCase& c = GetParam();
    ScratchFile document("extract-whole", std::string(c.name) + ".vmc", c.document);
    ScratchFile settings("extract-whole", std::string(c.name) + ".settings", c.settings, !c.settings.empty());
    ScratchFile solved("extract-whole", std::string(c.name) + "-solved.vmc", c.solved, !c.solved.empty());
    std::string arguments = "extract " + document.path;
    if (!c.settings.empty()) arguments += " --settings " + settings.path;
    if (!c.solved.empty()) arguments += " --refresh " + solved.path;
    // Every document extracts in bounded time: a walk that never ends is a failure, not a wait.
    const HostRun run = RunShell("timeout 60 " + std::string(KESTRIN_HOST_EXE) + " " + arguments + " 2>&1");
    ASSERT_EQ(c.exitCode, run.exitCode) << run.out;
    for (const std::string& p : c.present) EXPECT_NE(std::string::npos, run.out.find(p)) << p << "\n" << run.out;
    for (const std::string& a : c.absent) EXPECT_EQ(std::string::npos, run.out.find(a)) << a << "\n" << run.out;
}

const std::string kStrippingSettings = example("stripping-column.settings");
const std::string kProII = "SimulatorFileType = 2\n";
// Each unit of heatersBeforeATee at its own temperatures, on the utility those reach.
const std::vector<std::string> kHeatersBeforeATee = {
    "  F0_To_P (cold): 40 -> 160 C, 240 kW, 2 kg/s\n",
    "  E1 (heater) LP Steam -> F0_To_P: duty 40.00, hot 125.00 -> 124.00, cold 40.00 -> 60.00",
    "  E2 (heater) MP Steam -> F0_To_P: duty 180.00, hot 175.00 -> 174.00, cold 60.00 -> 150.00",
    "  E3 (heater) MP Steam -> F0_To_P: duty 6.00, hot 175.00 -> 174.00, cold 150.00 -> 156.00",
    "  E5 (heater) MP Steam -> F0_To_P: duty 4.00, hot 175.00 -> 174.00, cold 156.00 -> 160.00",
    "  E4 (heater) MP Steam -> F0_To_P: duty 10.00, hot 175.00 -> 174.00, cold 150.00 -> 160.00",
    "  unsatisfied streams       none\n", "  calculation               calculated\n"};
const std::string kTrainStreams[] = {"  H1_To_H3 (hot): 200 -> 60 C, 700 kW, 2 kg/s\n",
                                     "  K1_To_K3 (cold): 40 -> 180 C, 840 kW, 2 kg/s\n"};

INSTANTIATE_TEST_SUITE_P(
    Cases, HostExtractWholeCase,
    ::testing::Values(
        // A duplicate an earlier extraction left in the case: the cut still ends on a copy of its own.
        WholeCase{"DuplicateNameTaken",
                  withItems(example("preheat-train.vmc"), "  <item name=\"F3Duplicate\" class=\"ppMaterialStream\"/>\n"),
                  "", "",
                  {"  F1_To_F3 (cold): 30 -> 150 C, 600 kW, 2 kg/s\n", "  F3_To_F4 (hot): 150 -> 60 C, 480 kW, 2 kg/s\n",
                   "  unsatisfied streams       none\n"},
                  {"F1_To_F2"}},
        // Two chains whose end names join to one name: two streams.
        WholeCase{"TwoChainsOneName",
                  doc("names", heat("A_To", "B", "U1", 20, 70, 100) + heat("A", "To_B", "U2", 30, 90, 240)), "", "",
                  {"  A_To_To_B (cold): 20 -> 70 C, 100 kW, 2 kg/s\n", "  A_To_To_B_2 (cold): 30 -> 90 C, 240 kW, 2 kg/s\n",
                   "U1 (heater) LP Steam -> A_To_To_B: duty 100.00, hot 125.00 -> 124.00, cold 20.00 -> 70.00",
                   "U2 (heater) LP Steam -> A_To_To_B_2: duty 240.00", "  unsatisfied streams       none\n"},
                  {}},
        // A case heater holding the name the live-steam match would take keeps it.
        WholeCase{"LiveSteamMatchNameTaken", replaced(example("stripping-column.vmc"), "\"E1\"", "\"STEAM_HeatExchange\""),
                  kStrippingSettings, "",
                  {"  STEAM_HeatExchange (heater) LP Steam -> FEED_To_F2: duty 275.00",
                   "  STEAM_HeatExchange_2 (heater) MP Steam -> STEAM: duty 1338.80", "  unsatisfied streams       none\n"},
                  {"could not be placed"}},
        // Steam named like a default utility is extracted under a free name.
        WholeCase{"LiveSteamNamedLikeUtility", replaced(example("stripping-column.vmc"), "STEAM\"", "LP Steam\""),
                  kStrippingSettings, "",
                  {"  LP Steam_2 (cold): 20 -> 150 C, 1338.799 kW, 0.5 kg/s\n",
                   "  LP Steam_2_HeatExchange (heater) MP Steam -> LP Steam_2: duty 1338.80"},
                  {}},
        // The reboiler's table of its feed is the reboiler stream's, not the feed's own stream's.
        WholeCase{"ReboilerFeed", reboilerFeed(), "", "",
                  {"  X_To_BTM (hot): 150 -> 120 C, 100 kW, 1.6 kg/s\n", "  BTMDuplicate_TO_BOIL (cold): 120 -> 120.5 C, 700 kW",
                   "CX (cooler) X_To_BTM -> Air: duty 100.00, hot 150.00 -> 120.00"},
                  {}},
        // A loop of pass-through units upstream of the heated stream: the walk to the stream's
        // name passes each unit once, and the heater is placed, or named where the loop leaves
        // its stream unknown.
        WholeCase{"RecycleLoopUpstream", passThroughLoop("R1", true, true), "", "",
                  {"  B_To_D (cold): 100 -> 200 C, 500 kW, 2 kg/s\n", "  F1 (heater) HP Steam -> B_To_D: duty 500.00",
                   "  unsatisfied streams       none\n"},
                  {}},
        WholeCase{"PumpLoopUpstream", passThroughLoop("P1", true, false), "", "",
                  {"  B_To_D (cold): 100 -> 200 C, 500 kW, 2 kg/s\n", "  F1 (heater) HP Steam -> B_To_D: duty 500.00",
                   "  unsatisfied streams       none\n"},
                  {}},
        WholeCase{"RecycleLoopFeedUnknown", passThroughLoop("R1", false, true), "", "",
                  {"Warning (Empty_Utility): Unit F1 on stream C: no process stream was made through it"},
                  {"no utility was found"}},
        // A fit whose specific heats change sign is one segment from the stream's supply to its
        // target, carrying the heat flows' load.
        WholeCase{"SignChangingFit", signChangingFit(), "", "",
                  {"  K1_To_K2 (cold): 20 -> 80 C, 100 kW, 2 kg/s\n    20 -> 80 C, 100 kW\n",
                   "  E1 (heater) LP Steam -> K1_To_K2: duty 100.00", "  unsatisfied streams       none\n"},
                  {"20 -> 40 C"}},
        // A refresh from the very document extracted reproduces the stream, whatever the span of
        // its units' tables.
        WholeCase{"RefreshTableShortOfTheStream", tableShortOfTheStream(), "", tableShortOfTheStream(),
                  {"  H1_To_H2 (hot): 346.791 -> 143.273 C, 563.7 kW, 1 kg/s\n    346.791 -> 143.273 C, 563.7 kW\n",
                   "  unsatisfied streams       none\n"},
                  {"keeps its earlier values"}},
        // A pipe at the chain's start, passing the stream on at its temperature, neither cuts the
        // chain nor is carried into a second stream when the chain is cut where it turns.
        WholeCase{"PipeBeforeATurn", passThenTurn("ppPipeSegment"), "", "",
                  {"  F0_To_F3 (hot): 200 -> 100 C, 500 kW, 2 kg/s\n", "  F3_To_F4 (cold): 100 -> 150 C, 250 kW, 2 kg/s\n",
                   "  unsatisfied streams       none\n"},
                  {"F1_To_F3"}},
        WholeCase{"RecycleBeforeATurn", passThenTurn("lgRecycle"), "", "",
                  {"  F0_To_F3 (hot): 200 -> 100 C, 500 kW, 2 kg/s\n", "  F3_To_F4 (cold): 100 -> 150 C, 250 kW, 2 kg/s\n",
                   "  unsatisfied streams       none\n"},
                  {"F1_To_F3"}},
        // A cut where the temperature turns leaves the network exactly specified: the utilities
        // that end the exchanger's streams stay where the network needs them.
        WholeCase{"TurnBeforeExchanger", turnBeforeExchanger(true), "", "",
                  {"  K0_To_K1 (hot): 60 -> 20 C, 160 kW, 2 kg/s\n", "  K1_To_K3 (cold): 20 -> 100 C, 320 kW, 2 kg/s\n",
                   "  X1 (exchanger) H1_To_H2 -> K1_To_K3: duty 200.00", "  degrees of freedom        0\n",
                   "  unsatisfied streams       none\n", "  calculation               calculated\n"},
                  {}},
        WholeCase{"NoTurnBeforeExchanger", turnBeforeExchanger(false), "", "",
                  {"  K1_To_K3 (cold): 20 -> 100 C, 320 kW, 2 kg/s\n", "  degrees of freedom        0\n",
                   "  unsatisfied streams       none\n"},
                  {}},
        // An exchanger that starts and ends both its streams holds no utility at its ports: no
        // dummies go beside it, past its streams' ends.
        WholeCase{"ExchangerEndsBothStreams", exchangerEndsBothStreams(), "", "",
                  {"  H1_To_H2 (hot): 200 -> 176 C, 48 kW, 2 kg/s\n", "  K1_To_K2 (cold): 50 -> 74 C, 48 kW, 2 kg/s\n",
                   "  X2 (exchanger) H1_To_H2 -> K1_To_K2: duty 48.00", "  degrees of freedom        0\n",
                   "  unsatisfied streams       none\n", "  calculation               calculated\n"},
                  {"DummyHtrIgnore", "DummyClrIgnore"}},
        // A tee whose branches are each cooled by 250 kW folds into one stream of 500 kW; where a
        // valve or pump cuts one branch off, or one branch is heated, each branch is a stream of
        // its own and the feed is carried by none again.
        WholeCase{"TeeBranchesCooled", teeBranches(""), "", "",
                  {"  A_To_P (hot): 200 -> 100 C, 500 kW, 2 kg/s\n", "Splitter T1 on A_To_P: C1 0.5000, C2 0.5000",
                   "  cold utility              500.00 kW (target 500.00)\n", "  unsatisfied streams       none\n"},
                  {}},
        WholeCase{"ValveOnATeeBranch", teeBranches("ppValve"), "", "",
                  {"  B1_To_D1 (hot): 200 -> 100 C, 250 kW, 1 kg/s\n", "  B3_To_D2 (hot): 200 -> 100 C, 250 kW, 1 kg/s\n",
                   "  cold utility              500.00 kW (target 500.00)\n", "  unsatisfied streams       none\n"},
                  {"A_To_P"}},
        WholeCase{"PumpOnATeeBranch", teeBranches("rtPump"), "", "",
                  {"  B1_To_D1 (hot): 200 -> 100 C, 250 kW, 1 kg/s\n", "  B3_To_D2 (hot): 200 -> 100 C, 250 kW, 1 kg/s\n",
                   "  cold utility              500.00 kW (target 500.00)\n", "  unsatisfied streams       none\n"},
                  {"A_To_P"}},
        WholeCase{"TeeBranchesHeatedAndCooled", teeBranches("", true), "", "",
                  {"  B1_To_D1 (hot): 200 -> 100 C, 250 kW, 1 kg/s\n", "  B2_To_D2 (cold): 200 -> 300 C, 250 kW, 1 kg/s\n",
                   "  hot utility               250.00 kW (target 250.00)\n",
                   "  cold utility              250.00 kW (target 250.00)\n", "  unsatisfied streams       none\n"},
                  {"A_To_P"}},
        WholeCase{"NamedTeeBranchesHeatedAndCooled", branchesNamed(teeBranches("", true)), "", "",
                  {"  B2_To_D2 (cold): 200 -> 300 C, 250 kW, 1 kg/s\n", "  C1 (cooler) B1_To_D1 -> ",
                   "  E2 (heater) Fired Heat (1000) -> B2_To_D2: duty 250.00", "  unsatisfied streams       none\n"},
                  {"A_To_P", "could not be placed"}},
        WholeCase{"NamedTeeBranchesCooled", branchesNamed(teeBranches("")), "", "",
                  {"Splitter T1 on A_To_P: C1 0.5000, C2 0.5000", "  unsatisfied streams       none\n"},
                  {"could not be placed"}},
        // A refresh from the very document extracted fits the folded stream as the extraction did.
        WholeCase{"RefreshHeatedBranchAndBypass", heatedBranchAndBypass(), "", heatedBranchAndBypass(),
                  {"  A_To_Q (cold): 50 -> 140 C, 675 kW, 3 kg/s\n", "Splitter T1 on A_To_Q: E1 0.6667",
                   "  unsatisfied streams       none\n"},
                  {"keeps its earlier values"}},
        // A pump and a pipe before a tee: the stream folded over the tee is one, from the feed to
        // the last cooler, and no cut passes through its branches.
        WholeCase{"PumpAndPipeBeforeATee", pumpAndPipeBeforeATee(), "", "",
                  {"  F0_To_Q (hot): 200 -> 120 C, 400 kW, 2 kg/s\n", "Splitter T1 on F0_To_Q: C1 0.5000, bypass 0.5000",
                   "  unsatisfied streams       none\n"},
                  {"B1_To", "could not be placed"}},
        // Branch flows written rounded add up to the feed's but for a few ppm: the split takes
        // shares of what the branches carry, says so, and every unit after the mixer is placed.
        WholeCase{"BranchFlowsExact", roundedBranches(2.55, 0.45), "", "",
                  {"Splitter T1 on A_To_Q: E1 0.8500, E2 0.1500", "  E3 (heater) HP Steam -> A_To_Q: duty 697.80",
                   "  unsatisfied streams       none\n"},
                  {"Split_Flows_Rounded"}},
        WholeCase{"BranchFlowsRounded", roundedBranches(2.55, 0.449999), "", "",
                  {"Warning (Split_Flows_Rounded): The branches of tee T1 carry 2.999999 kg/s of the 3 kg/s fed to it",
                   "Splitter T1 on A_To_Q: E1 0.8500, E2 0.1500", "  E3 (heater) HP Steam -> A_To_Q: duty 697.80",
                   "  unsatisfied streams       none\n"},
                  {"could not be placed"}},
        WholeCase{"BranchFlowsAFewPpmShort", roundedBranches(2.55, 0.44999), "", "",
                  {"Warning (Split_Flows_Rounded): The branches of tee T1 carry 2.99999 kg/s of the 3 kg/s fed to it",
                   "  E3 (heater) HP Steam -> A_To_Q: duty 697.80", "  unsatisfied streams       none\n"},
                  {"could not be placed"}},
        // Branches a thousandth short of their feed are more than rounding: refused, and said.
        WholeCase{"BranchFlowsShort", roundedBranches(2.55, 0.447), "", "",
                  {"splitter \"T1\" on stream \"A_To_Q\": its branches carry 0.999 of the flow that reaches it"},
                  {"Split_Flows_Rounded"}, 1},
        // Two feeds of different composition exchanging heat three times, each turning at the
        // exchangers (a generated plant): every exchanger takes its duty from the case's heat
        // flows, also where the chain is cut at its outlet.
        WholeCase{"ExchangersWhereChainsTurn", random_case::Generate(171, largerPlants()).text, "", "",
                  {"  degrees of freedom        0\n", "  unsatisfied streams       none\n",
                   "  calculation               calculated\n"},
                  {"duty not known", "incomplete"}},
        // A heater or cooler goes on a utility that does its duty at DTmin at both ends: the one
        // its outlet recommends where that one does, else the cheapest that does; where none
        // does, the report says so.
        WholeCase{"HeaterAtTheHotOilApproach", doc("oil", heat("K1", "K2", "E1", 240, 260, 100)), "", "",
                  {"  E1 (heater) Hot Oil -> K1_To_K2: duty 100.00", "  calculation               calculated\n"},
                  {"No_Utility_Serves"}},
        WholeCase{"HeaterInletBelowHotOil", doc("oil", heat("K1", "K2", "E1", 241, 260, 95)), "", "",
                  {"  E1 (heater) Fired Heat (1000) -> K1_To_K2: duty 95.00", "  degrees of freedom        0\n",
                   "  calculation               calculated\n"},
                  {"Hot Oil", "No_Utility_Serves"}},
        WholeCase{"HeaterOutletNearLPSteam", doc("lp", heat("K1", "K2", "E1", 40, 115.3, 300)), "", "",
                  {"  E1 (heater) MP Steam -> K1_To_K2: duty 300.00", "  calculation               calculated\n"},
                  {"LP Steam"}},
        WholeCase{"CoolerBelowEveryUtility", doc("cold", {ms("K1", -255, 70, {"C1"}, 2, -30000),
                                                        item("C1", "htCooler", {{"Duty", 70}}, {"K2"},
                                                             ptable("K1", {-255, -258.5, -262}, {35, 17.5, 0})),
                                                        ms("K2", -262, 0, {}, 2, -31000)}), "", "",
                  {"Warning (No_Utility_Serves): Unit C1 on stream K1_To_K2, from -255 to -262 C: no utility does its duty "
                   "at an approach of 10 C; it was put on Very Low Temperature.",
                   "  C1 (cooler) K1_To_K2 -> Very Low Temperature: duty 70.00"},
                  {}},
        // A refresh that takes a heater beyond its utility's reach moves it to one that does its duty.
        WholeCase{"RefreshBeyondTheUtility", doc("lp", heat("K1", "K2", "E1", 40, 100, 300)), "",
                  doc("lp", heat("K1", "K2", "E1", 40, 115.3, 377.5)),
                  {"  K1_To_K2 (cold): 40 -> 115.3 C, 377.5 kW, 2 kg/s\n", "  E1 (heater) MP Steam -> K1_To_K2: duty 377.50",
                   "  calculation               calculated\n"},
                  {"LP Steam ->"}},
        // A heater and cooler joined into one exchanger leave their utilities unused: the targets
        // reported are taken without them, as the case saved has them.
        WholeCase{"JointPairTargetsWithoutItsUtilities", jointPairShortOfHeat(), "", "",
                  {"  C1_E1 (exchanger) H1_To_H2 -> K1_To_K2: duty 200.00", "  area, countercurrent      not available\n",
                   "hot utility placed 0.000 kW of 10.000 kW"},
                  {"LP Steam", "  area, countercurrent      2"}},
        // A chain cut where its temperature turns at an exchanger's outlet: the cut's own copy of
        // the outlet stream stands beside the exchanger, which still takes its duty from the heat
        // flows, so that every stream's end gets its utility where the network needs one (the
        // duty was left free, specified later past the network's freedom: -1, or streams left
        // unsatisfied). Random documents of the sweep, each also refreshed from itself.
        WholeCase{"RandomTurnAtExchangerOutlet71", randomDocument(71), "", randomDocument(71), kSoundNetwork, {}},
        WholeCase{"RandomTurnAtExchangerOutlet79", randomDocument(79), "", "", kSoundNetwork, {}},
        WholeCase{"RandomTurnAtExchangerOutlet108", randomDocument(108), "", randomDocument(108), kSoundNetwork, {}},
        WholeCase{"RandomTurnAtExchangerOutlet190", randomDocument(190), "", "", kSoundNetwork, {"_DummyClrIgnore"}},
        // A shortcut column's reboiler and condenser on a steam shared with other units: their units
        // do the column's duties (once left free, they got no share of the steam and their streams
        // went unsatisfied).
        WholeCase{"RandomColumnOnASharedUtility60", randomDocument(60, true), "", randomDocument(60, true), kSoundNetwork, {}},
        WholeCase{"RandomColumnOnASharedUtility88", randomDocument(88, true), "", "", kSoundNetwork, {}},
        // A shortcut column solved again: its reboiler's and condenser's streams take the column's
        // new duties and temperatures (they once kept the first document's, named as streams not
        // refreshed), and so do their units.
        WholeCase{"ShortcutColumnRefreshed", shortcutColumn(500, 140, -450, 80), "", shortcutColumn(600, 145, -520, 75),
                  {"  QR (cold): 144.5 -> 145 C, 600 kW\n", "  QC (hot): 75.5 -> 75 C, 520 kW\n",
                   "  QR_Exchanger (heater) MP Steam -> QR: duty 600.00", "  QC_Exchanger (cooler) QC -> Air: duty 520.00"},
                  {"Streams_Not_Refreshed"}},
        // The dummies beside an exchanger solved again take their share of its new duty (they once
        // kept the first document's).
        WholeCase{"DummiesFollowTheRefreshedDuty", exchangerLosingHeat(100), "", exchangerLosingHeat(160),
                  {"  X1 (exchanger) H1_To_H2 -> K1_To_K2: duty 160.00", "  X1_DummyClrIgnore (cooler) H1_To_H2 -> ",
                   "  X1_DummyHtrIgnore (heater) ", "-> K1_To_K2: duty 0.80, "},
                  {"duty 0.50, "}},
        // A fired heater is placed as the heater it is.
        WholeCase{"FiredHeater", doc("fired", heat("K1", "K2", "F1", 200, 350, 300, "htFiredHeater")), "", "",
                  {"  K1_To_K2 (cold): 200 -> 350 C, 300 kW, 2 kg/s\n", "  F1 (heater) ", "-> K1_To_K2: duty 300.00",
                   "  unsatisfied streams       none\n"},
                  {}},
        // Units in series before a tee, and on a branch, are placed in the order of the flow,
        // whatever order the document lists them in.
        WholeCase{"HeatersBeforeATee", heatersBeforeATee(false), "", "", kHeatersBeforeATee, {"Heat_Exchangers_Placement_Failed"}},
        WholeCase{"HeatersBeforeATeeListedAgainstTheFlow", heatersBeforeATee(true), "", "", kHeatersBeforeATee,
                  {"Heat_Exchangers_Placement_Failed"}},
        // A cooler's energy stream continues no chain, whichever of its outlets the case lists
        // first: the cooled stream is extracted, and the pair joined into one exchanger.
        WholeCase{"EnergyStreamListedBeforeTheProduct", coolerHeatsHeater(), "", "",
                  {"  H1_To_H2 (hot): 200 -> 70 C, 260 kW, 2 kg/s\n", "  K1_To_K2 (cold): 40 -> 105 C, 260 kW, 2 kg/s\n",
                   "  C1_E1 (exchanger) H1_To_H2 -> K1_To_K2: duty 260.00", "  unsatisfied streams       none\n"},
                  {"Empty_Utility"}},
        // Heat-transfer equipment of a class of the case's own is named in the report.
        WholeCase{"UnknownHeatTransferClass",
                  doc("own", heat("K1", "K2", "F1", 200, 350, 300, "myHeater"), "  <class name=\"myHeater\" parent=\"htHeater\"/>\n"),
                  "", "",
                  {"Warning (Units_Not_Taken): Unit F1, of class myHeater, is no kind of unit the existing network takes"},
                  {}},
        // A refresh that finds a temperature unknown leaves the stream as it was, and says so.
        WholeCase{"RefreshValueUnknown", train(100, 240), "", train(130, 360, true),
                  {"  P1_To_P2 (cold): 40 -> 100 C, 240 kW, 2 kg/s\n",
                   "Stream P1_To_P2 keeps its earlier values: the solved case leaves the temperature of P2Duplicate unknown.",
                   "Stream P2_To_P3 keeps its earlier values: the solved case leaves the temperature of P2 unknown."},
                  {"null", "not known"}},
        // The units on streams that keep their earlier values keep their earlier duties, and their
        // utilities: the network stays the one the streams describe.
        WholeCase{"RefreshValueUnknownKeepsUnits", train(100, 240), "", train(130, 360, true),
                  {"  E1 (heater) LP Steam -> P1_To_P2: duty 240.00, hot 125.00 -> 124.00, cold 40.00 -> 100.00",
                   "  C1 (cooler) P2_To_P3 -> Cooling Water: duty 240.00, hot 100.00 -> 40.00",
                   "  unsatisfied streams       none\n"},
                  {"Refrigerant 1"}},
        // An exchanger solved again without its duty: both its streams, and their units, keep
        // what they had.
        WholeCase{"RefreshExchangerDutyUnknown", example("exchanger-train.vmc"), "",
                  replaced(example("exchanger-train-solved.vmc"), "<num name=\"Duty\" units=\"kW\">330</num>",
                           "<num name=\"Duty\" units=\"kW\"/>"),
                  {kTrainStreams[0], kTrainStreams[1],
                   "Stream H1_To_H3 keeps its earlier values: the solved case leaves the duty of X1 unknown.",
                   "Stream K1_To_K3 keeps its earlier values: the solved case leaves the duty of X1 unknown.",
                   "  X1 (exchanger) H1_To_H3 -> K1_To_K3: duty 300.00, hot 200.00 -> 140.00, cold 40.00 -> 90.00",
                   "  C1 (cooler) H1_To_H3 -> Air: duty 400.00", "  E1 (heater) HP Steam -> K1_To_K3: duty 540.00",
                   "  unsatisfied streams       none\n"},
                  {}},
        // A heater solved again without its duty: its stream and the heater keep what they had, and
        // so do the stream cut from it at P2 and its cooler (refreshed, it would start at 130 C where
        // the kept stream still ends at 100 C).
        WholeCase{"RefreshUnitDutyUnknown", train(100, 240), "", train(130, 360, false, true),
                  {"  P1_To_P2 (cold): 40 -> 100 C, 240 kW, 2 kg/s\n",
                   "Stream P1_To_P2 keeps its earlier values: the solved case leaves the duty of E1 unknown.",
                   "  E1 (heater) LP Steam -> P1_To_P2: duty 240.00",
                   "Stream P2_To_P3 keeps its earlier values: it meets stream P1_To_P2, which keeps its own, where the "
                   "extraction cut them apart at P2.",
                   "  P2_To_P3 (hot): 100 -> 40 C, 240 kW, 2 kg/s\n", "  C1 (cooler) P2_To_P3 -> Cooling Water: duty 240.00",
                   "  unsatisfied streams       none\n"},
                  {"P2_To_P3 (hot): 130"}},
        // A reboiler solved again without its duty keeps the duty it had.
        WholeCase{"RefreshReboilerDutyUnknown", reboilerFeed(), "", reboilerFeed(true),
                  {"  BTMDuplicate_TO_BOIL (cold): 120 -> 120.5 C, 700 kW, 1.6 kg/s\n",
                   "Stream BTMDuplicate_TO_BOIL keeps its earlier values: the solved case leaves the duty of REB unknown.",
                   "  X_To_BTM (hot): 150 -> 120 C, 100 kW, 1.6 kg/s\n"},
                  {}},
        // LNG exchangers stay out of the network: the warning names them.
        WholeCase{"LNGExchangersNamed",
                  doc("lng", heat("K1", "K2", "L1", 200, 350, 300, "htLNGExchanger") +
                                 heat("M1", "M2", "L2", 20, 60, 100, "htLNGExchanger")),
                  "", "", {"Warning (LNGExchangers): LNG exchangers are not taken into the existing network: L1, L2.\n"}, {}},
        // A duty on a vessel of a class the case derives from a tank has no rule: it is named.
        WholeCase{"DerivedVesselDuty",
                  withItems(replaced(example("exchanger-train.vmc"), "<simcase version=\"1\" name=\"Exchanger train\">",
                                     "<simcase version=\"1\" name=\"Exchanger train\">\n  <class name=\"myTank\" parent=\"vsTank\"/>"),
                            item("Q", "ppEnergyStream", {{"HeatFlow", 100}}, {"T"}) + item("T", "myTank")),
                  "", "",
                  {kTrainStreams[0], kTrainStreams[1],
                   "Warning (Units_Not_Taken): Energy stream Q of unit T, of class myTank, carries 100 kW"},
                  {}},
        // A tank's own duty, with no energy stream to carry it, is named, not dropped.
        WholeCase{"TankDuty",
                  withItems(example("exchanger-train.vmc"),
                            item("TF", "ppMaterialStream", {{"Temperature", 80}, {"MassFlow", 1}}, {"TK"}) +
                                item("TK", "vsTank", {{"Duty", -75}}, {"TP"}) +
                                item("TP", "ppMaterialStream", {{"Temperature", 60}, {"MassFlow", 1}})),
                  "", "",
                  {kTrainStreams[0], kTrainStreams[1],
                   "Warning (Units_Not_Taken): Unit TK, of class vsTank, carries a duty of 75 kW and no energy stream: "
                   "its duty is not extracted."},
                  {}},
        // PRO/II separators with no usable duty or span are passed over by name; the rest comes across.
        WholeCase{"AdiabaticFlash", trainWithSeparator(80, 65, 0), kProII, "",
                  {kTrainStreams[0], kTrainStreams[1],
                   "Warning (Separators_Not_Extracted): Separator V carries 0 kW, too little for a stream"},
                  {"  V ("}},
        WholeCase{"FlashDutyResidue", trainWithSeparator(80, 65, 1e-9), kProII, "",
                  {kTrainStreams[0], kTrainStreams[1], "Separator V carries 1e-09 kW, too little for a stream"},
                  {"  V ("}},
        WholeCase{"FlashDutyBelowAStream", trainWithSeparator(80, 65, 0.0005), kProII, "",
                  {kTrainStreams[0], kTrainStreams[1], "Separator V carries 0.0005 kW, too little for a stream"},
                  {"  V ("}},
        WholeCase{"DerivedSeparator",
                  replaced(replaced(trainWithSeparator(40, 60, 50), "class=\"vsSeparatorTwoPhase\"", "class=\"myFlash\""),
                           "<simcase version=\"1\" name=\"Exchanger train\">",
                           "<simcase version=\"1\" name=\"Exchanger train\">\n  <class name=\"myFlash\" parent=\"vsSeparatorTwoPhase\"/>"),
                  kProII, "", {kTrainStreams[0], kTrainStreams[1], "  V (cold): 40 -> 60 C, 50 kW, 1 kg/s\n"}, {}},
        WholeCase{"FlashSpanResidue", trainWithSeparator(80, 80.00001, 50), kProII, "",
                  {kTrainStreams[0], kTrainStreams[1], "  V (cold): 80 -> 80.5 C, 50 kW, 1 kg/s\n"},
                  {"Separators_Not_Extracted"}},
        WholeCase{"FlashSpanBeyondAStream", trainWithSeparator(80, 81, 2e9), kProII, "",
                  {kTrainStreams[0], kTrainStreams[1],
                   "Separator V carries 2000000000 kW over 1 K from its feed to its product, a heat-capacity flow rate no "
                   "stream takes"},
                  {"  V ("}},
        // A separator whose feed, product or duty the case leaves unknown has no span or load:
        // passed over by name, never given a temperature of the stream's own making.
        WholeCase{"FlashFeedUnknown", trainWithSeparator(std::nullopt, 65, 50), kProII, "",
                  {kTrainStreams[0], kTrainStreams[1],
                   "Warning (Separators_Not_Extracted): Separator V: the case leaves the temperature of VF unknown"},
                  {"  V (", "52.5"}},
        WholeCase{"FlashProductUnknown", trainWithSeparator(80, std::nullopt, 50), kProII, "",
                  {kTrainStreams[0], kTrainStreams[1], "Separator V: the case leaves the temperature of VP unknown",
                   "  unsatisfied streams       none\n"},
                  {"  V (", "92.5"}},
        WholeCase{"FlashDutyUnknown", trainWithSeparator(80, 65, std::nullopt), kProII, "",
                  {kTrainStreams[0], kTrainStreams[1], "Separator V: the case leaves the duty of V unknown"},
                  {"  V ("}},
        // A three-phase separator's duty has no rule of its own: it is named, not lost.
        WholeCase{"ThreePhaseFlashDuty", trainWithSeparator(80, 65, 50, "vsSeparatorThreePhase"), kProII, "",
                  {kTrainStreams[0], kTrainStreams[1],
                   "Warning (Separators_Not_Extracted): Separator V, of class vsSeparatorThreePhase, carries 50 kW"},
                  {"  V ("}},
        // A heater whose stream has no known side gets no utility: the warning names the unit and
        // its stream, and the unknown target is said in words.
        WholeCase{"NoUtility",
                  doc("nt", {ms("K1", 20, 0, {"U9"}, 2, -30000),
                             item("U9", "htHeater", {{"Duty", 300}}, {"K2"}, ptable("K1", {20, 50, 80}, {0, 75, 150})),
                             ms("K2", std::nullopt, 300, {}, 2, -29000)}),
                  "", "",
                  {"Warning (Empty_Utility): Unit U9 on stream K1_To_K2: no utility was found for it",
                   "  K1_To_K2 (undetermined): 20 -> not known C"},
                  {"null"}},
        // An exchanger whose side text names a stream it does not take: the warning names it.
        WholeCase{"ExchangerSideMisnamed",
                  replaced(example("exchanger-train.vmc"), "<text name=\"TubeSideFeed\">K1</text>",
                           "<text name=\"TubeSideFeed\">H3</text>"),
                  "", "",
                  {"Exchanger X1: TubeSideFeed names stream H3, which is not among its inlets.",
                   "Exchanger X1: inlet stream K1 is named by neither TubeSideFeed nor ShellSideFeed, so its stream ends at "
                   "the exchanger."},
                  {}}),
    [](const ::testing::TestParamInfo<WholeCase>& info) { return std::string(info.param.name); });

// The targets `extract` reports are those of the case it saves: `targets` on the saved case reads
// them again, for documents of the kinds whose units the extraction rejoins or whose utilities it
// drops, and for generated documents of every kind.
TEST(HostExtractWholeCaseTargets, AreThoseOfTheCaseSaved) {
    std::vector<std::pair<std::string, std::string>> documents{{"pair", jointPairShortOfHeat()},
                                                               {"train", example("exchanger-train.vmc")},
                                                               {"bypass", heatedBranchAndBypass()}};
    for (std::uint32_t seed : {3u, 8u, 15u, 22u, 41u, 56u, 97u})
        documents.emplace_back("random-" + std::to_string(seed), random_case::Generate(seed).text);
    const auto targetsOf = [](const std::string& out) {
        const std::size_t from = out.find("Targets at DTmin");
        const std::size_t to = out.find("\nNetwork design", from);
        return from == std::string::npos ? std::string() : out.substr(from, to == std::string::npos ? to : to + 1 - from);
    };
    for (const auto& [name, text] : documents) {
        ScratchFile document("extract-targets", name + ".vmc", text);
        ScratchFile saved("extract-targets", name + ".case", "", false);
        const HostRun extracted = RunHost("extract " + document.path + " --save " + saved.path);
        ASSERT_EQ(0, extracted.exitCode) << name << "\n" << extracted.out;
        const HostRun again = RunHost("targets " + saved.path);
        ASSERT_EQ(0, again.exitCode) << name << "\n" << again.out;
        EXPECT_FALSE(targetsOf(extracted.out).empty()) << name << "\n" << extracted.out;
        EXPECT_EQ(targetsOf(extracted.out), targetsOf(again.out + "Network design")) << name;
    }
}

}  // namespace
