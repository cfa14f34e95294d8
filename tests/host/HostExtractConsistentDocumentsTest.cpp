// Consistent documents unlike the project's own generator, each small and worked by hand (specific
// heat 2 kJ/kg K, heat flows m c T): tees of three branches with a bypass, tees nested either way,
// tables that each start their enthalpy at 0, an air cooler before a cooler, an unknown mole
// fraction, a tiny vessel duty. Each extracts with the plant's streams, placements and targets.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string num(double v) {
    char b[40];
    std::snprintf(b, sizeof b, "%.10g", v);
    return b;
}

// A material stream at t C and m kg/s: heat flow m c T, molar enthalpy rising with t.
std::string S(const std::string& name, double t, double m, std::vector<std::string> to, const char* x = "0.4 0.6") {
    std::string d = "<item name=\"" + name + "\" class=\"ppMaterialStream\"><num name=\"Temperature\">" + num(t) +
                    "</num><num name=\"MassFlow\">" + num(m) + "</num><num name=\"HeatFlow\">" + num(2 * m * t) +
                    "</num><num name=\"MolarEnthalpy\">" + num(100 * t - 100000) +
                    "</num><list name=\"CompMolarFraction\">" + x + "</list>";
    for (const std::string& l : to) d += "<link to=\"" + l + "\"/>";
    return d + "</item>\n";
}

// A unit with its duty and the table of its feed from t0 to t1 (enthalpies h0, h1; by default c T).
std::string U(const std::string& name, const std::string& cls, double duty, const std::string& feed, double t0,
              double t1, std::vector<std::string> to, double h0 = -1e9, double h1 = -1e9) {
    std::string d = "<item name=\"" + name + "\" class=\"" + cls + "\">";
    if (duty > 0)
        d += "<num name=\"Duty\">" + num(duty) + "</num><group name=\"PropertyTable\"><group name=\"" + feed +
             "\"><list name=\"prpTemperature\">" + num(t0) + " " + num(t1) + "</list><list name=\"prpMassEnthalpy\">" +
             num(h0 == -1e9 ? 2 * t0 : h0) + " " + num(h1 == -1e9 ? 2 * t1 : h1) +
             "</list><list name=\"prpMassVapourFraction\">0 0</list></group></group>";
    for (const std::string& l : to) d += "<link to=\"" + l + "\"/>";
    return d + "</item>\n";
}

// A process exchanger of `duty` kW: the hot feed from th0 to th1 on the shell side, the cold one from
// tc0 to tc1 on the tube side.
std::string X(const std::string& name, double duty, const std::string& hot, const std::string& hotOut, double th0,
              double th1, const std::string& cold, const std::string& coldOut, double tc0, double tc1) {
    const auto table = [](const std::string& feed, double t0, double t1) {
        return "<group name=\"" + feed + "\"><list name=\"prpTemperature\">" + num(t0) + " " + num(t1) +
               "</list><list name=\"prpMassEnthalpy\">" + num(2 * t0) + " " + num(2 * t1) +
               "</list><list name=\"prpMassVapourFraction\">0 0</list></group>";
    };
    return "<item name=\"" + name + "\" class=\"htHeatExchanger\"><num name=\"Duty\">" + num(duty) +
           "</num><num name=\"OverallU\">0.45</num><text name=\"TubeSideFeed\">" + cold +
           "</text><text name=\"TubeSideProduct\">" + coldOut + "</text><text name=\"ShellSideFeed\">" + hot +
           "</text><text name=\"ShellSideProduct\">" + hotOut + "</text><group name=\"PropertyTable\">" +
           table(hot, th0, th1) + table(cold, tc0, tc1) + "</group><link to=\"" + hotOut + "\"/><link to=\"" +
           coldOut + "\"/></item>\n";
}

std::string Doc(const std::string& items) { return "<?xml version=\"1.0\"?>\n<simcase version=\"1\" name=\"r\">\n" + items + "</simcase>\n"; }

// The stream `s` with each value named in `blanks` left empty, as a case leaves a value unknown.
std::string Blank(std::string s, const std::vector<std::string>& blanks) {
    for (const std::string& name : blanks) {
        const std::size_t at = s.find("<num name=\"" + name + "\">"), end = s.find("</num>", at);
        if (at != std::string::npos) s.replace(at, end - at, "<num name=\"" + name + "\">");
    }
    return s;
}

// F 200 C, 3 kg/s teed into three 1 kg/s branches: A cooled 120 kW to 140 C, B 160 kW to 120 C, C
// passing by; mixed at 153.33 C. The values named in `blankA2` are left empty on A's outlet.
std::string ThreeBranchesWithBypass(const std::vector<std::string>& blankA2 = {}) {
    return Doc(S("F", 200, 3, {"T1"}) + U("T1", "ppTee", 0, "", 0, 0, {"A", "B", "C"}) + S("A", 200, 1, {"C1"}) +
               U("C1", "htCooler", 120, "A", 200, 140, {"A2"}) + Blank(S("A2", 140, 1, {"M1"}), blankA2) + S("B", 200, 1, {"C2"}) +
               U("C2", "htCooler", 160, "B", 200, 120, {"B2"}) + S("B2", 120, 1, {"M1"}) + S("C", 200, 1, {"M1"}) +
               U("M1", "ppMixer", 0, "", 0, 0, {"P"}) + S("P", 460.0 / 3, 3, {}));
}

// The same with the bypass C carrying `c` kg/s, its branches together more than the tee's feed by
// rounding.
std::string BypassOf(double c) {
    std::string d = ThreeBranchesWithBypass();
    const std::string given = "<item name=\"C\" class=\"ppMaterialStream\"><num name=\"Temperature\">200</num><num name=\"MassFlow\">1</num>";
    const std::size_t at = d.find(given);
    return at == std::string::npos ? d
                                   : d.replace(at, given.size(), "<item name=\"C\" class=\"ppMaterialStream\"><num name=\"Temperature\">200</num><num name=\"MassFlow\">" + num(c) + "</num>");
}

// F 100 C, 3 kg/s -> T1 -> A (1 kg/s -> T3 -> two heaters of 50 kW to 150 C -> M3) and B (2 kg/s
// -> T2 -> heater B1 120 kW to 160 C and cooler B2 80 kW to 60 C -> M2 at 110 C) -> M1 -> 123.33 C.
// Solved again with B1's outlet at `b1`, the mixed temperatures follow.
std::string NestedTees(bool coolerFirst, double b1 = 160) {
    const double bo = (b1 + 60) / 2;
    const std::vector<std::string> t2 = coolerFirst ? std::vector<std::string>{"Bb", "Ba"} : std::vector<std::string>{"Ba", "Bb"};
    return Doc(S("F", 100, 3, {"T1"}) + U("T1", "ppTee", 0, "", 0, 0, {"A", "B"}) + S("A", 100, 1, {"T3"}) +
               U("T3", "ppTee", 0, "", 0, 0, {"A1", "A2"}) + S("A1", 100, 0.5, {"H1"}) +
               U("H1", "htHeater", 50, "A1", 100, 150, {"A1o"}) + S("A1o", 150, 0.5, {"M3"}) + S("A2", 100, 0.5, {"H2"}) +
               U("H2", "htHeater", 50, "A2", 100, 150, {"A2o"}) + S("A2o", 150, 0.5, {"M3"}) +
               U("M3", "ppMixer", 0, "", 0, 0, {"Ao"}) + S("Ao", 150, 1, {"M1"}) + S("B", 100, 2, {"T2"}) +
               U("T2", "ppTee", 0, "", 0, 0, t2) + S("Ba", 100, 1, {"B1"}) + U("B1", "htHeater", 2 * (b1 - 100), "Ba", 100, b1, {"Bao"}) +
               S("Bao", b1, 1, {"M2"}) + S("Bb", 100, 1, {"B2"}) + U("B2", "htCooler", 80, "Bb", 100, 60, {"Bbo"}) +
               S("Bbo", 60, 1, {"M2"}) + U("M2", "ppMixer", 0, "", 0, 0, {"Bo"}) + S("Bo", bo, 2, {"M1"}) +
               U("M1", "ppMixer", 0, "", 0, 0, {"P"}) + S("P", (150 + 2 * bo) / 3, 3, {}));
}

// S1 170 C, 2 kg/s, cooled 80 kW to 150 C and 120 kW to 120 C; each table starts its enthalpy at 0.
// Then heated, asked for: 80 kW to 140 C by H1, S3 between leaving its heat flow unknown.
std::string TablesOfTheirOwnReference(bool thenHeated = false) {
    std::string d = S("S1", 170, 2, {"C1"}) + U("C1", "htCooler", 80, "S1", 170, 150, {"S2"}, 0, -40) + S("S2", 150, 2, {"C2"}) +
                    U("C2", "htCooler", 120, "S2", 150, 120, {"S3"}, 0, -60);
    if (!thenHeated) return Doc(d + S("S3", 120, 2, {}));
    std::string s3 = S("S3", 120, 2, {"H1"});
    const std::string flow = "<num name=\"HeatFlow\">480</num>";
    s3.replace(s3.find(flow), flow.size(), "<num name=\"HeatFlow\"/>");
    return Doc(d + s3 + U("H1", "htHeater", 80, "S3", 120, 140, {"S4"}) + S("S4", 140, 2, {}));
}

// F 200 C, 2 kg/s teed into two 1 kg/s branches: A cooled 120 kW to 140 C with a table that starts
// its enthalpy at 0, B 160 kW to 120 C with one of c T; mixed at 130 C.
std::string BranchTablesOfTheirOwnReference() {
    return Doc(S("F", 200, 2, {"T1"}) + U("T1", "ppTee", 0, "", 0, 0, {"A", "B"}) + S("A", 200, 1, {"C1"}) +
               U("C1", "htCooler", 120, "A", 200, 140, {"A2"}, 0, -120) + S("A2", 140, 1, {"M1"}) + S("B", 200, 1, {"C2"}) +
               U("C2", "htCooler", 160, "B", 200, 120, {"B2"}) + S("B2", 120, 1, {"M1"}) +
               U("M1", "ppMixer", 0, "", 0, 0, {"P"}) + S("P", 130, 2, {}));
}

// F 150 C, 1 kg/s: an air cooler of 60 kW to 120 C, then a cooler of 140 kW to 50 C; listed in flow
// order or the other way round.
std::string AirCoolerFirst(bool reversed) {
    const std::string air = U("C1", "htAirCooler", 60, "F", 150, 120, {"F2"}), cooler = U("C2", "htCooler", 140, "F2", 120, 50, {"F3"});
    const std::string streams = S("F", 150, 1, {"C1"}) + S("F2", 120, 1, {"C2"}) + S("F3", 50, 1, {});
    return Doc(reversed ? cooler + streams + air : air + streams + cooler);
}

// Line Q 230 C, 1 kg/s: the hot side of Xb (60 kW) to 200 C, a pump or valve (`between`, none when
// empty), cooler Cq 160 kW to 120 C, the cold side of Xc (40 kW) to 140 C; line P 150 C through the
// cold side of Xb to 180 C and the hot side of Xc to 160 C.
std::string UnitBetweenExchangerAndCooler(const std::string& between) {
    std::string d = S("Q1", 230, 1, {"Xb"}) + X("Xb", 60, "Q1", "Q2", 230, 200, "P1", "P2", 150, 180);
    const std::string feed = between.empty() ? "Q2" : "Q3";
    d += S("Q2", 200, 1, {between.empty() ? "Cq" : "PU"});
    if (!between.empty()) d += U("PU", between, 0, "", 0, 0, {"Q3"}) + S("Q3", 200, 1, {"Cq"});
    d += U("Cq", "htCooler", 160, feed, 200, 120, {"Q4"}) + S("Q4", 120, 1, {"Xc"}) +
         X("Xc", 40, "P2", "P3", 180, 160, "Q4", "Q5", 120, 140) + S("Q5", 140, 1, {}) + S("P1", 150, 1, {"Xb"}) +
         S("P2", 180, 1, {"Xc"}) + S("P3", 160, 1, {});
    return Doc(d);
}

// Without the unit between, with the cold side of Xb taking line P to `p2` C: line Q gives Xb the same
// heat, falling to q2 C, Cq cools it on to 120 C, and line P leaves Xc at p3 C.
std::string ExchangerTakenTo(double p2) {
    const double q2 = 230 - (p2 - 150), p3 = p2 - 20;
    return Doc(S("Q1", 230, 1, {"Xb"}) + X("Xb", 2 * (p2 - 150), "Q1", "Q2", 230, q2, "P1", "P2", 150, p2) +
               S("Q2", q2, 1, {"Cq"}) + U("Cq", "htCooler", 2 * (q2 - 120), "Q2", q2, 120, {"Q4"}) + S("Q4", 120, 1, {"Xc"}) +
               X("Xc", 40, "P2", "P3", p2, p3, "Q4", "Q5", 120, 140) + S("Q5", 140, 1, {}) + S("P1", 150, 1, {"Xb"}) +
               S("P2", p2, 1, {"Xc"}) + S("P3", p3, 1, {}));
}

// The same on a cold line: K 50 C through the cold side of Xa (40 kW) to 70 C, a pump, heater H
// 160 kW to 150 C, the hot side of Xd (40 kW) to 130 C.
std::string PumpBetweenExchangerAndHeater() {
    return Doc(S("K1", 50, 1, {"Xa"}) + X("Xa", 40, "P1", "P2", 160, 140, "K1", "K2", 50, 70) + S("K2", 70, 1, {"PU"}) +
               U("PU", "rtPump", 0, "", 0, 0, {"K3"}) + S("K3", 70, 1, {"H"}) + U("H", "htHeater", 160, "K3", 70, 150, {"K4"}) +
               S("K4", 150, 1, {"Xd"}) + X("Xd", 40, "K4", "K5", 150, 130, "R1", "R2", 90, 110) + S("K5", 130, 1, {}) +
               S("P1", 160, 1, {"Xa"}) + S("P2", 140, 1, {}) + S("R1", 90, 1, {"Xd"}) + S("R2", 110, 1, {}));
}

// F 150 C, m kg/s: cooler C1 of `duty` kW, then cooler C2 of 100 m kW (50 K); both of class `cls`.
std::string SmallCoolerFirst(double duty, double m = 1, const std::string& cls = "htCooler") {
    const double t1 = 150 - duty / (2 * m), t2 = t1 - 50;
    return Doc(S("F", 150, m, {"C1"}) + U("C1", cls, duty, "F", 150, t1, {"F2"}) + S("F2", t1, m, {"C2"}) +
               U("C2", cls, 100 * m, "F2", t1, t2, {"F3"}) + S("F3", t2, m, {}));
}

// The stream F2 at t C, 1 kg/s, feeding `to`, with its heat flow or its temperature unknown.
std::string Between(double t, const std::string& to, bool heatFlowKnown, bool temperatureKnown) {
    std::string between = S("F2", t, 1, {to});
    const auto forget = [&between](const std::string& name, const std::string& value) {
        const std::string given = "<num name=\"" + name + "\">" + value + "</num>";
        between.replace(between.find(given), given.size(), "<num name=\"" + name + "\"/>");
    };
    if (!heatFlowKnown) forget("HeatFlow", num(2 * t));
    if (!temperatureKnown) forget("Temperature", num(t));
    return between;
}

// F 50 C, 1 kg/s heated 60 kW to 80 C in H1 and 100 kW to 130 C in H2; the stream between them
// leaves its heat flow or its temperature unknown.
std::string HeatedTwice(bool heatFlowKnown, bool temperatureKnown) {
    return Doc(S("F", 50, 1, {"H1"}) + U("H1", "htHeater", 60, "F", 50, 80, {"F2"}) +
               Between(80, "H2", heatFlowKnown, temperatureKnown) + U("H2", "htHeater", 100, "F2", 80, 130, {"F3"}) +
               S("F3", 130, 1, {}));
}

// F 50 C, 1 kg/s heated by H1 to `t1` C and by H2 on to 130 C.
std::string HeatedTwiceTo(double t1) {
    return Doc(S("F", 50, 1, {"H1"}) + U("H1", "htHeater", 2 * (t1 - 50), "F", 50, t1, {"F2"}) + S("F2", t1, 1, {"H2"}) +
               U("H2", "htHeater", 2 * (130 - t1), "F2", t1, 130, {"F3"}) + S("F3", 130, 1, {}));
}

// F 50 C, 1 kg/s through the heaters H1 to `t1` C and H2 on to `t2` C, each given the duty its
// temperatures make: a heater the case runs as a cooler has a negative one.
std::string HeatersTo(double t1, double t2) {
    const auto heater = [](const std::string& name, const std::string& feed, double t0, double t, const std::string& to) {
        std::string d = U(name, "htHeater", std::fabs(2 * (t - t0)), feed, t0, t, {to});
        const std::string duty = "<num name=\"Duty\">" + num(std::fabs(2 * (t - t0))) + "</num>";
        return d.replace(d.find(duty), duty.size(), "<num name=\"Duty\">" + num(2 * (t - t0)) + "</num>");
    };
    return Doc(S("F", 50, 1, {"H1"}) + heater("H1", "F", 50, t1, "F2") + S("F2", t1, 1, {"H2"}) +
               heater("H2", "F2", t1, t2, "F3") + S("F3", t2, 1, {}));
}

// F 150 C, 1 kg/s cooled 100 kW to 100 C in C1, then heated 40 kW to 120 C in H1: the temperature
// turns at F2, which leaves its temperature unknown.
std::string TurnAtAnUnknownTemperature() {
    return Doc(S("F", 150, 1, {"C1"}) + U("C1", "htCooler", 100, "F", 150, 100, {"F2"}) + Between(100, "H1", true, false) +
               U("H1", "htHeater", 40, "F2", 100, 120, {"F4"}) + S("F4", 120, 1, {}));
}

// F 150 C, 1 kg/s cooled by C1 to `t2` C, then taken on by H1 to `t3` C: heated where t3 is above t2,
// the temperature turning at F2.
std::string CooledThenHeated(double t2, double t3) {
    return Doc(S("F", 150, 1, {"C1"}) + U("C1", "htCooler", 2 * (150 - t2), "F", 150, t2, {"F2"}) + S("F2", t2, 1, {"H1"}) +
               U("H1", "htHeater", std::fabs(2 * (t3 - t2)), "F2", t2, t3, {"F3"}) + S("F3", t3, 1, {}));
}

// F 150 C, 1 kg/s through three air coolers: C1 of `c1` kW, C2 of 100 kW and C3 of 20 kW.
std::string ThreeAirCoolers(double c1) {
    const double t1 = 150 - c1 / 2, t2 = t1 - 50, t3 = t2 - 10;
    return Doc(S("F", 150, 1, {"C1"}) + U("C1", "htAirCooler", c1, "F", 150, t1, {"F2"}) + S("F2", t1, 1, {"C2"}) +
               U("C2", "htAirCooler", 100, "F2", t1, t2, {"F3"}) + S("F3", t2, 1, {"C3"}) +
               U("C3", "htAirCooler", 20, "F3", t2, t3, {"F4"}) + S("F4", t3, 1, {}));
}

std::string ReadExample(const std::string& name) {
    std::ifstream in(std::string(KESTRIN_EXAMPLES) + "/extraction/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// F 150 C, 1 kg/s cooled 100 kW to 100 C (unless `alone`); K 200 C, 1 kg/s, heated `duty` kW by H1
// (0.05 kW: too little for the network to place), and `second` kW by H2 after it when given.
std::string TinyHeaterOnAStreamOfItsOwn(double duty = 0.05, double second = 0, bool alone = false) {
    const double t1 = 200 + duty / 2, t2 = t1 + second / 2;
    std::string d = (alone ? std::string() : S("F", 150, 1, {"C1"}) + U("C1", "htCooler", 100, "F", 150, 100, {"F2"}) + S("F2", 100, 1, {})) +
                    S("K", 200, 1, {"H1"}) + U("H1", "htHeater", duty, "K", 200, t1, {"K2"});
    if (second <= 0) return Doc(d + S("K2", t1, 1, {}));
    return Doc(d + S("K2", t1, 1, {"H2"}) + U("H2", "htHeater", second, "K2", t1, t2, {"K3"}) + S("K3", t2, 1, {}));
}

// F cooled 100 kW as above; K 200 C, 1 kg/s, heated 0.05 kW by H1, then to 250 C by H2, whose
// duty the case leaves unknown, and K3's heat flow with it.
std::string TinyHeaterBeforeOneOfUnknownDuty() {
    return Doc(S("F", 150, 1, {"C1"}) + U("C1", "htCooler", 100, "F", 150, 100, {"F2"}) + S("F2", 100, 1, {}) +
               S("K", 200, 1, {"H1"}) + U("H1", "htHeater", 0.05, "K", 200, 200.025, {"K2"}) + S("K2", 200.025, 1, {"H2"}) +
               "<item name=\"H2\" class=\"htHeater\"><num name=\"Duty\"/><link to=\"K3\"/></item>\n" +
               Blank(S("K3", 250, 1, {}), {"HeatFlow"}));
}

// F 150 C, 1 kg/s cooled 20 kW to 140 C by C1 and 100 kW to 90 C by C2, C1's duty left unknown.
std::string CoolerOfUnknownDutyFirst() {
    std::string d = SmallCoolerFirst(20);
    const std::string given = "<num name=\"Duty\">20</num>";
    return d.replace(d.find(given), given.size(), "<num name=\"Duty\"></num>");
}

// F cooled 100 kW as above; K 200 C, 3 kg/s, teed into A heated `a` kW by H1, B heated `b` kW by
// H2 and C passing by, mixed again.
std::string TinyHeatersOverATee(double a, double b) {
    return Doc(S("F", 150, 1, {"C1"}) + U("C1", "htCooler", 100, "F", 150, 100, {"F2"}) + S("F2", 100, 1, {}) +
               S("K", 200, 3, {"T1"}) + U("T1", "ppTee", 0, "", 0, 0, {"A", "B", "C"}) + S("A", 200, 1, {"H1"}) +
               U("H1", "htHeater", a, "A", 200, 200 + a / 2, {"A2"}) + S("A2", 200 + a / 2, 1, {"M1"}) +
               S("B", 200, 1, {"H2"}) + U("H2", "htHeater", b, "B", 200, 200 + b / 2, {"B2"}) +
               S("B2", 200 + b / 2, 1, {"M1"}) + S("C", 200, 1, {"M1"}) + U("M1", "ppMixer", 0, "", 0, 0, {"P"}) +
               S("P", 200 + (a + b) / 6, 3, {}));
}

// The document with stream `name`'s mole fractions given as `list` ("" an empty list), or not given
// at all when `list` is null.
std::string Composition(std::string doc, const std::string& name, const char* list) {
    const std::size_t item = doc.find("<item name=\"" + name + "\" class=\"ppMaterialStream\">");
    const std::string open = "<list name=\"CompMolarFraction\">", close = "</list>";
    const std::size_t at = doc.find(open, item), end = doc.find(close, at);
    if (item == std::string::npos || at == std::string::npos || end > doc.find("</item>", item)) return doc;
    return doc.replace(at, end + close.size() - at, list ? open + list + close : std::string());
}

// The preheat train with F1's first mole fraction not known.
std::string UnknownMoleFraction() {
    std::string d = ReadExample("preheat-train.vmc");
    const std::string known = "<list name=\"CompMolarFraction\">0.4 0.6</list>";
    const std::size_t at = d.find(known);
    return at == std::string::npos ? d : d.replace(at, known.size(), "<list name=\"CompMolarFraction\">? 0.6</list>");
}

constexpr double kUnknown = -1e9;

// The preheat train beside a shortcut column D1 fed at 100 C, its reboiler at `reboiler` C taking
// 100 kW on QR, its condenser at `condenser` C giving 90 kW on QC.
std::string ColumnBeside(double reboiler, double condenser) {
    std::string d = ReadExample("preheat-train.vmc");
    const auto stream = [](const char* name, double t, const char* x, const char* to) {
        return "<item name=\"" + std::string(name) + "\" class=\"ppMaterialStream\"><num name=\"Temperature\">" + num(t) +
               "</num><num name=\"MassFlow\">0.5</num><list name=\"CompMolarFraction\">" + x + "</list>" +
               (*to ? "<link to=\"" + std::string(to) + "\"/>" : std::string()) + "</item>\n";
    };
    const std::string column =
        stream("SF", 100, "0.5 0.5", "D1") +
        "<item name=\"QR\" class=\"ppEnergyStream\"><num name=\"HeatFlow\">100</num><link to=\"D1\"/></item>\n"
        "<item name=\"D1\" class=\"scShortcutDistillation\"><num name=\"ReboilerDuty\">100</num><num name=\"ReboilerTemperature\">" +
        num(reboiler) + "</num><num name=\"CondenserDuty\">-90</num><num name=\"CondenserTemperature\">" + num(condenser) +
        "</num><link to=\"QC\"/><link to=\"ST\"/><link to=\"SB\"/></item>\n"
        "<item name=\"QC\" class=\"ppEnergyStream\"><num name=\"HeatFlow\">-90</num></item>\n" +
        stream("ST", condenser, "0.9 0.1", "") + stream("SB", reboiler, "0.1 0.9", "");
    const std::size_t at = d.find("</simcase>");
    return at == std::string::npos ? d : d.insert(at, column);
}

// The preheat train beside a two-phase separator V fed at `feed` C whose product leaves at `product`
// C, given `duty` kW.
std::string FlashBeside(double feed, double product, double duty) {
    std::string d = ReadExample("preheat-train.vmc");
    const std::string flash =
        "<item name=\"VF\" class=\"ppMaterialStream\"><num name=\"Temperature\">" + num(feed) +
        "</num><num name=\"MassFlow\">1</num><list name=\"CompMolarFraction\">0.9 0.1</list><link to=\"V\"/></item>\n"
        "<item name=\"V\" class=\"vsSeparatorTwoPhase\"><num name=\"Duty\">" + num(duty) + "</num><link to=\"VP\"/></item>\n"
        "<item name=\"VP\" class=\"ppMaterialStream\"><num name=\"Temperature\">" + num(product) +
        "</num><num name=\"MassFlow\">1</num><list name=\"CompMolarFraction\">0.9 0.1</list></item>\n";
    const std::size_t at = d.find("</simcase>");
    return at == std::string::npos ? d : d.insert(at, flash);
}

// The preheat train beside a tank (or a vessel of class `cls`) whose feed enters at `feed` C and
// whose liquid leaves at `liquid` C (unknown at kUnknown), given `duty` kW on an energy stream (its
// heat flow unknown when `duty` is 0).
std::string TankBeside(double duty, double feed = 80, double liquid = 60, const std::string& cls = "vsTank") {
    std::string d = ReadExample("preheat-train.vmc");
    const auto temperature = [](double t) {
        return t == kUnknown ? std::string("<num name=\"Temperature\"/>") : "<num name=\"Temperature\">" + num(t) + "</num>";
    };
    const std::string tank =
        "<item name=\"TK1\" class=\"" + cls + "\"><text name=\"LiquidProduct\">TL</text><link to=\"TL\"/></item>\n"
        "<item name=\"TF\" class=\"ppMaterialStream\">" + temperature(feed) + "<num name=\"MassFlow\">1</num>"
        "<list name=\"CompMolarFraction\">0.9 0.1</list><link to=\"TK1\"/></item>\n"
        "<item name=\"TL\" class=\"ppMaterialStream\">" + temperature(liquid) + "<num name=\"MassFlow\">1</num>"
        "<list name=\"CompMolarFraction\">0.9 0.1</list></item>\n"
        "<item name=\"QT\" class=\"ppEnergyStream\">" +
        (duty == 0 ? std::string("<num name=\"HeatFlow\"/>") : "<num name=\"HeatFlow\">" + num(duty) + "</num>") +
        "<link to=\"TK1\"/></item>\n";
    const std::size_t at = d.find("</simcase>");
    return at == std::string::npos ? d : d.insert(at, tank);
}

// TankBeside(duty) with its liquid product named NOPE, none of its outlets.
std::string TankOfNoLiquidOutlet(double duty) {
    std::string d = TankBeside(duty);
    const std::string named = "<text name=\"LiquidProduct\">TL</text>";
    return d.replace(d.find(named), named.size(), "<text name=\"LiquidProduct\">NOPE</text>");
}

// F 150 C, 4 kg/s teed three ways: b3 (0.8 kg/s) heated 16 kW to 160 C by H4 on MP steam and 48 kW
// to 190 C by H6 on HP steam, b8 (2.4 kg/s) 144 kW to 180 C by H9 on HP steam, b11 (0.8 kg/s) 16 kW to
// 160 C by H12 on MP steam; mixed at 178 C. Each steam serves two heaters, so each is split. Solved
// again with H4 and H12 heating to `h4` C, H6 from there.
std::string FourHeatersOnTwoSteams(double h4 = 160) {
    const double d4 = 1.6 * (h4 - 150), d6 = 1.6 * (190 - h4), s14 = (584 + 0.8 * h4) / 4;
    return Doc(S("FEED", 150, 4, {"T1"}) + U("T1", "ppTee", 0, "", 0, 0, {"b3", "b8", "b11"}) + S("b3", 150, 0.8, {"H4"}) +
               U("H4", "htHeater", d4, "b3", 150, h4, {"s5"}) + S("s5", h4, 0.8, {"H6"}) +
               U("H6", "htHeater", d6, "s5", h4, 190, {"s7"}) + S("s7", 190, 0.8, {"M2"}) + S("b8", 150, 2.4, {"H9"}) +
               U("H9", "htHeater", 144, "b8", 150, 180, {"s10"}) + S("s10", 180, 2.4, {"M2"}) + S("b11", 150, 0.8, {"H12"}) +
               U("H12", "htHeater", d4, "b11", 150, h4, {"s13"}) + S("s13", h4, 0.8, {"M2"}) +
               U("M2", "ppMixer", 0, "", 0, 0, {"s14"}) + S("s14", s14, 4, {}));
}

// The preheat train beside the tank of TankBeside(-40) and the column of ColumnBeside(150, 60),
// the tank's items listed before the column's or after them.
std::string TankAndColumnBeside(bool tankFirst) {
    const std::string train = ReadExample("preheat-train.vmc"), tank = TankBeside(-40), column = ColumnBeside(150, 60);
    const std::size_t at = train.find("</simcase>");
    if (at == std::string::npos) return train;
    const std::string tankItems = tank.substr(at, tank.size() - train.size());
    const std::string columnItems = column.substr(at, column.size() - train.size());
    return std::string(train).insert(at, tankFirst ? tankItems + columnItems : columnItems + tankItems);
}

// Two streams of other compositions, heated (120 and 100 kW) and mixed into D, of no composition
// given, which a cooler takes from 80 to 50 C (120 kW) into E, a third composition.
std::string MixedThenCooled() {
    return Doc(S("A0", 20, 1, {"HA"}, "0.9 0.1") + U("HA", "htHeater", 120, "A0", 20, 80, {"A1"}) +
               S("A1", 80, 1, {"M"}, "0.9 0.1") + S("B0", 30, 1, {"HB"}, "0.2 0.8") +
               U("HB", "htHeater", 100, "B0", 30, 80, {"B1"}) + S("B1", 80, 1, {"M"}, "0.2 0.8") +
               U("M", "ppMixer", 0, "", 0, 0, {"D"}) + Composition(S("D", 80, 2, {"CD"}), "D", nullptr) +
               U("CD", "htCooler", 120, "D", 80, 50, {"E"}) + S("E", 50, 2, {}, "0.55 0.45"));
}

// The document with `loss` kW of heat lost from C2.
std::string WithHeatLoss(std::string doc, double loss) {
    const std::string unit = "<item name=\"C2\" class=\"htCooler\">";
    const std::size_t at = doc.find(unit);
    return at == std::string::npos ? doc : doc.insert(at + unit.size(), "<num name=\"HeatLoss\">" + num(loss) + "</num>");
}

// The same document with its items listed last to first (one item a line).
std::string Backwards(const std::string& doc) {
    const std::size_t from = doc.find("<item"), to = doc.rfind("</simcase>");
    std::vector<std::string> lines;
    std::istringstream in(doc.substr(from, to - from));
    for (std::string line; std::getline(in, line);) lines.insert(lines.begin(), line + "\n");
    std::string out = doc.substr(0, from);
    for (const std::string& l : lines) out += l;
    return out + doc.substr(to);
}

struct Row {
    const char* name;
    std::string document;
    std::vector<std::string> present, absent;
    std::string options = "";  // after the case file on the command line
};

}  // namespace

TEST(HostExtractConsistentDocuments, EachExtractsWithItsStreamsUnitsAndTargets) {
    const std::string none = "unsatisfied streams       none";
    const std::vector<Row> rows = {
        {"three branches, one a bypass", ThreeBranchesWithBypass(),
         {"F_To_P (hot): 200 -> 153.3333333 C, 280 kW, 3 kg/s", "Splitter T1 on F_To_P: C1 0.3333, C2 0.3333, bypass 0.3333",
          "cold utility              280.000 kW", "hot 200.00 -> 140.00", "hot 200.00 -> 120.00", none},
         {}},
        // A branch outlet's unknown molar enthalpy is passed over: the heat flow, else the
        // temperature the cooler's table gives, says the branch is cooled.
        {"three branches, molar enthalpy unknown at a branch outlet", ThreeBranchesWithBypass({"MolarEnthalpy"}),
         {"F_To_P (hot): 200 -> 153.3333333 C, 280 kW, 3 kg/s", "Splitter T1 on F_To_P: C1 0.3333, C2 0.3333, bypass 0.3333",
          "cold utility              280.000 kW", none},
         {"no utility was found"}},
        {"three branches, a branch outlet's values all unknown", ThreeBranchesWithBypass({"MolarEnthalpy", "HeatFlow", "Temperature"}),
         {"F_To_P (hot): 200 -> 153.3333333 C, 280 kW, 3 kg/s", "Splitter T1 on F_To_P: C1 0.3333, C2 0.3333, bypass 0.3333",
          "cold utility              280.000 kW", none},
         {"no utility was found"}},
        // The outer tee's branch B is carried by the streams of its own branches: the stream around
        // it does not count that heat again, whichever branch its tee lists first.
        {"nested tees, heater listed first", NestedTees(false),
         {"hot utility               220.000 kW", "cold utility              80.000 kW", none}, {"F_To_P"}},
        {"nested tees, cooler listed first", NestedTees(true),
         {"hot utility               220.000 kW", "cold utility              80.000 kW", none}, {"F_To_P"}},
        {"tables each from 0", TablesOfTheirOwnReference(),
         {"S1_To_S3 (hot): 170 -> 120 C, 200 kW, 2 kg/s", "hot 170.00 -> 150.00", "hot 150.00 -> 120.00", none},
         {}},
        // Cut where the temperature turns at a stream of unknown heat flow: the coolers' duties are
        // the heat the stream gives.
        {"tables each from 0, then a turn of unknown heat flow", TablesOfTheirOwnReference(true),
         {"S1_To_S3 (hot): 170 -> 120 C, 200 kW, 2 kg/s", "S3_To_S4 (cold): 120 -> 140 C, 80 kW, 2 kg/s",
          "hot 170.00 -> 150.00", "hot 150.00 -> 120.00", none},
         {}},
        // Taken together the two tables lose heat as they warm: their fit is no shape of the
        // stream's, which is one segment at the heat flows' load, and each cooler keeps its outlet.
        {"branch tables, one from 0", BranchTablesOfTheirOwnReference(),
         {"F_To_P (hot): 200 -> 130 C, 280 kW, 2 kg/s\n    200 -> 130 C, 280 kW\n", "hot 200.00 -> 140.00",
          "hot 200.00 -> 120.00", none},
         {}},
        {"air cooler first", AirCoolerFirst(false),
         {"C1 (cooler) F_To_F3 -> Air: duty 60.00, hot 150.00 -> 120.00", "C2 (cooler) F_To_F3 -> Air: duty 140.00, hot 120.00 -> 50.00"},
         {}},
        {"air cooler first, listed last", AirCoolerFirst(true),
         {"C1 (cooler) F_To_F3 -> Air: duty 60.00, hot 150.00 -> 120.00", "C2 (cooler) F_To_F3 -> Air: duty 140.00, hot 120.00 -> 50.00"},
         {}},
        {"unknown mole fraction", UnknownMoleFraction(),
         {"F1_To_F3 (cold): 30 -> 150 C, 600 kW", "hot utility               120.000 kW", "E1 (heater)"},
         {"no utility was found"}},
        // A stream of no composition given (no list, or an empty one) is of unknown composition, as
        // one of a list of "?": it joins its neighbours across a unit, tee or mixer, and the branch
        // streams stay on the stream they carry.
        {"branch of no composition", Composition(ThreeBranchesWithBypass(), "A", nullptr),
         {"F_To_P (hot): 200 -> 153.3333333 C, 280 kW, 3 kg/s", "Splitter T1 on F_To_P: C1 0.3333, C2 0.3333, bypass 0.3333",
          "cold utility              280.000 kW", none},
         {"no process stream was made"}},
        {"branch outlet of an empty composition", Composition(ThreeBranchesWithBypass(), "B2", ""),
         {"F_To_P (hot): 200 -> 153.3333333 C, 280 kW, 3 kg/s", "Splitter T1 on F_To_P: C1 0.3333, C2 0.3333, bypass 0.3333",
          "cold utility              280.000 kW", none},
         {"no process stream was made"}},
        {"bypass of an empty composition", Composition(ThreeBranchesWithBypass(), "C", ""),
         {"F_To_P (hot): 200 -> 153.3333333 C, 280 kW, 3 kg/s", "Splitter T1 on F_To_P: C1 0.3333, C2 0.3333, bypass 0.3333", none},
         {"A_To_A2"}},
        {"mixed stream of no composition", Composition(ThreeBranchesWithBypass(), "P", nullptr),
         {"F_To_P (hot): 200 -> 153.3333333 C, 280 kW, 3 kg/s", "Splitter T1 on F_To_P: C1 0.3333, C2 0.3333, bypass 0.3333", none},
         {"A_To_A2"}},
        // Neither stream around the cooler knows all its composition, nor has a neighbour that does:
        // what they know together agrees, so they are one material.
        {"cooler between streams of unknown composition",
         Doc(S("F", 150, 1, {"C1"}, "? ?") + U("C1", "htCooler", 100, "F", 150, 100, {"F2"}) + S("F2", 100, 1, {}, "? 0.6")),
         {"F_To_F2 (hot): 150 -> 100 C, 100 kW, 1 kg/s", "C1 (cooler) F_To_F2 -> Air: duty 100.00", none},
         {"no process stream was made"}},
        // A component of none at the end of a list is the same composition; a component a shorter
        // list leaves out is unknown, and only the entries both lists give are compared.
        {"cooler between lists, one ending in a zero",
         Doc(S("F", 150, 1, {"C1"}, "0.4 0.6 0") + U("C1", "htCooler", 100, "F", 150, 100, {"F2"}) + S("F2", 100, 1, {}, "0.4 0.6")),
         {"F_To_F2 (hot): 150 -> 100 C, 100 kW, 1 kg/s", "C1 (cooler) F_To_F2 -> Air: duty 100.00", none},
         {"no process stream was made"}},
        {"cooler between lists, one short of an entry",
         Doc(S("F", 150, 1, {"C1"}, "0.4") + U("C1", "htCooler", 100, "F", 150, 100, {"F2"}) + S("F2", 100, 1, {}, "0.4 0.6")),
         {"F_To_F2 (hot): 150 -> 100 C, 100 kW, 1 kg/s", "C1 (cooler) F_To_F2 -> Air: duty 100.00", none},
         {"no process stream was made"}},
        // The mixed stream is the cooled one's material, not that of whichever inlet is listed first.
        {"mixed stream of no composition before a cooler", MixedThenCooled(),
         {"D_To_E (hot): 80 -> 50 C, 120 kW, 2 kg/s", "CD (cooler) D_To_E -> Air: duty 120.00", none},
         {"no process stream was made"}},
        {"mixed stream of no composition before a cooler, listed backwards", Backwards(MixedThenCooled()),
         {"D_To_E (hot): 80 -> 50 C, 120 kW, 2 kg/s", "CD (cooler) D_To_E -> Air: duty 120.00", none},
         {"no process stream was made"}},
        // A tank listed before a shortcut column sharing its cooling utility: the network is
        // calculated as with the column listed first.
        {"tank listed before a column", TankAndColumnBeside(true),
         {"QT_Exchanger (cooler) QT -> Air: duty 40.00", "calculation               calculated", none},
         {"incomplete", "not known"}},
        {"tank listed after a column", TankAndColumnBeside(false),
         {"QT_Exchanger (cooler) QT -> Air: duty 40.00", "calculation               calculated", none},
         {"incomplete", "not known"}},
        {"inner branch of no composition", Composition(NestedTees(false), "Ba", nullptr),
         {"hot utility               220.000 kW", "cold utility              80.000 kW", none}, {"F_To_P"}},
        {"tiny tank duty", TankBeside(-0.01),
         {"Energy stream QT of unit TK1 carries 0.01 kW, too little for a stream", "hot utility               120.000 kW"},
         {"QT ("}},
        {"vanishing tank duty", TankBeside(-1e-9),
         {"Energy stream QT of unit TK1 carries 1e-09 kW, too little for a stream", "hot utility               120.000 kW"},
         {"QT ("}},
        // A pump or valve cuts the line between an exchanger and the cooler: the network calculates
        // as it does without one (the same total annual cost), each stream satisfied.
        {"no unit between exchanger and cooler", UnitBetweenExchangerAndCooler(""),
         {"Cq (cooler) Q1_To_Q4 -> Air: duty 160.00, hot 200.00 -> 120.00", "total annual cost         13071.11 per year",
          "calculation               calculated", none},
         {"incomplete"}},
        // The pump cuts the line where nothing turns: only the turn at Xc is reported.
        {"pump between exchanger and cooler", UnitBetweenExchangerAndCooler("rtPump"),
         {"Cq (cooler) Q3_To_Q4 -> Air: duty 160.00, hot 200.00 -> 120.00", "total annual cost         13071.11 per year",
          "calculation               calculated", "The temperature turns at stream Q4", none},
         {"incomplete", "turns at stream Q2", "turns at stream Q3"}},
        {"valve between exchanger and cooler", UnitBetweenExchangerAndCooler("ppValve"),
         {"Cq (cooler) Q3_To_Q4 -> Air: duty 160.00, hot 200.00 -> 120.00", "calculation               calculated", none},
         {"incomplete"}},
        {"pump between exchanger and heater", PumpBetweenExchangerAndHeater(),
         {"H (heater) MP Steam -> K3_To_K4: duty 160.00, hot 175.00 -> 174.00, cold 70.00 -> 150.00",
          "calculation               calculated", none},
         {"incomplete"}},
        // H1 is left out of the network, and its 0.05 kW with it: the targets ask for no hot
        // utility that nothing would supply, and area and costs are had.
        {"tiny heater on a stream of its own", TinyHeaterOnAStreamOfItsOwn(),
         {"Unit H1 could not be placed in the existing network (Load = 0.05 kW)", "hot utility               0.000 kW",
          "cold utility              100.000 kW", "total annual cost         4535.23 per year", none},
         {"K_To_K2", "not available"}},
        // However many such units the stream passes, and whatever they add up to.
        {"two tiny heaters on a stream of their own", TinyHeaterOnAStreamOfItsOwn(0.08, 0.09),
         {"(Load = 0.08 kW)", "(Load = 0.09 kW)", "hot utility               0.000 kW",
          "total annual cost         4535.23 per year", none},
         {"K_To_K3", "not available"}},
        // A case of such units alone yields nothing to target.
        {"tiny heaters alone", TinyHeaterOnAStreamOfItsOwn(0.08, 0.09, true),
         {"(Load = 0.08 kW)", "(Load = 0.09 kW)", "yielded no process stream and no utility: nothing to target"},
         {"K_To_K3", "unsatisfied"}},
        // A unit whose duty is not known may carry any heat: its stream stays, said not satisfied.
        {"tiny heater before one of unknown duty", TinyHeaterBeforeOneOfUnknownDuty(),
         {"K_To_K3 (cold): 200 -> 250 C, 100 kW", "(Load = 0.05 kW)", "(Load not known)",
          "unsatisfied streams       K_To_K3"},
         {}},
        // The heat flows around a cooler whose own duty is unknown give it.
        {"cooler of unknown duty between known heat flows", CoolerOfUnknownDutyFirst(),
         {"F_To_F3 (hot): 150 -> 90 C, 120 kW", "C1 (cooler) F_To_F3 -> LP Steam Generation: duty 20.00, hot 150.00 -> 140.00",
          "cold utility              120.00 kW (target 120.00)", none},
         {"Load not known"}},
        {"tiny heaters over a tee with a bypass", TinyHeatersOverATee(0.06, 0.07),
         {"(Load = 0.06 kW)", "(Load = 0.07 kW)", "hot utility               0.000 kW", none},
         {"K_To_P", "not available"}},
        // Beside a heater on the next branch the stream stays: its end is the mix of every branch,
        // the tiny one's heat included (200 + 40.04 / (3 x 2) C), done by that heater.
        {"tiny heater beside a heater over a tee", TinyHeatersOverATee(0.04, 40),
         {"K_To_P (cold): 200 -> 206.6733333 C, 40.04 kW, 3 kg/s", "H2 (heater) HP Steam -> K_To_P: duty 40.04", none},
         {"not available"}},
        // A unit left out beside others on its stream: its heat is the next cooler's, so the
        // network satisfies the stream the targets count, with no unit of its own.
        // A utility serving several heaters is split, and its heaters placed, in the plant's order
        // (stream, then along it, then name), however the case lists its items.
        {"heaters sharing steams", FourHeatersOnTwoSteams(),
         {"Splitter TEE-101 on MP Steam: H12 0.5000, H4 0.5000\nSplitter TEE-102 on HP Steam: H9 0.7500, H6 0.2500\n",
          "  MP Steam (hot): 175 -> 174 C, 120 kW\n    175 -> 174 C, 120 kW\n  HP Steam (hot)", none},
         {}},
        // A unit moved off a split utility takes its branch with it: none is left there as a bypass
        // (here one branch is left, and the split goes).
        {"heater assigned off a split steam", FourHeatersOnTwoSteams(),
         {"H12 (heater) HP Steam -> FEED_To_s14: duty 16.00", "H4 (heater) MP Steam -> FEED_To_s14: duty 16.00", none},
         {"bypass", "on MP Steam"},
         " --assign \"H12=HP Steam\""},
        // Units assigned onto a utility that serves others stand beside them, each on a branch of
        // its own in the plant's order, whatever order they are assigned in; the steam no unit
        // stands on any more goes, as the extraction never makes one, and the splitter left is
        // named as the extraction names the first utility's.
        {"two heaters assigned onto a split steam", FourHeatersOnTwoSteams(),
         {"Splitter TEE-101 on HP Steam: H12 0.0714, H4 0.0714, H9 0.6429, H6 0.2143\n", none},
         {"MP Steam (hot)", "on MP Steam"},
         " --assign \"H4=HP Steam\" --assign \"H12=HP Steam\""},
        {"two heaters assigned onto a split steam, the other way round", FourHeatersOnTwoSteams(),
         {"Splitter TEE-101 on HP Steam: H12 0.0714, H4 0.0714, H9 0.6429, H6 0.2143\n", none},
         {"MP Steam (hot)", "on MP Steam"},
         " --assign \"H12=HP Steam\" --assign \"H4=HP Steam\""},
        {"heater assigned beside another", HeatedTwice(true, true),
         {"on MP Steam: H1 0.3750, H2 0.6250\n", none},
         {"LP Steam (hot)", "on LP Steam"},
         " --assign \"H1=MP Steam\""},
        // The report quotes a number to ten figures, not the binary sum of the branch flows.
        {"tee's branch flows rounded, said to ten figures", BypassOf(1.0001),
         {"The branches of tee T1 carry 3.0001 kg/s of the 3 kg/s fed to it"}, {"3.0000999"}},
        // The report's assumptions name the utility a unit was assigned to, not the one it left.
        {"heater assigned: the assumptions name its new steam", ReadExample("preheat-train.vmc"),
         {"Utility HP Steam is taken for a heater at unit E1."}, {"Utility LP Steam is taken for a heater at unit E1."},
         " --json --assign \"E1=HP Steam\""},
        {"heaters sharing steams, listed backwards", Backwards(FourHeatersOnTwoSteams()),
         {"Splitter TEE-101 on MP Steam: H12 0.5000, H4 0.5000\nSplitter TEE-102 on HP Steam: H9 0.7500, H6 0.2500\n",
          "  MP Steam (hot): 175 -> 174 C, 120 kW\n    175 -> 174 C, 120 kW\n  HP Steam (hot)", none},
         {}},
        {"tiny cooler before a cooler", SmallCoolerFirst(0.05, 0.1),
         {"F_To_F3 (hot): 150 -> 99.75 C, 10.05 kW", "C2 (cooler) F_To_F3 -> Air: duty 10.05, hot 150.00 -> 99.75",
          "cold utility              10.05 kW (target 10.05)", "exchangers                1\n", none},
         {"not available"}},
        // An unknown heat flow or temperature between two heaters is passed over: each heater does
        // its duty where it stands.
        {"unknown heat flow between heaters", HeatedTwice(false, true),
         {"H1 (heater) LP Steam -> F_To_F3: duty 60.00, hot 125.00 -> 124.00, cold 50.00 -> 80.00",
          "H2 (heater) MP Steam -> F_To_F3: duty 100.00, hot 175.00 -> 174.00, cold 80.00 -> 130.00",
          "calculation               calculated", none},
         {"not known", "Warning"}},
        {"unknown temperature between heaters", HeatedTwice(true, false),
         {"H1 (heater) LP Steam -> F_To_F3: duty 60.00, hot 125.00 -> 124.00, cold 50.00 -> 80.00",
          "H2 (heater) MP Steam -> F_To_F3: duty 100.00, hot 175.00 -> 174.00, cold 80.00 -> 130.00",
          "calculation               calculated", none},
         {"not known", "Warning"}},
        // Across a heater whose product has another composition no stream is followed: that is
        // the cause named, not the utilities.
        {"composition changed across a heater",
         Doc(S("F", 50, 1, {"H1"}) + U("H1", "htHeater", 60, "F", 50, 80, {"F2"}) + S("F2", 80, 1, {}, "0.9 0.1")),
         {"Unit H1 on stream F: no process stream was made through it"},
         {"no utility was found"}},
        {"unknown temperature where the stream turns", TurnAtAnUnknownTemperature(),
         {"F_To_F2 (hot): 150 -> 100 C, 100 kW", "F2_To_F4 (cold): 100 -> 120 C, 40 kW",
          "C1 (cooler) F_To_F2 -> Air: duty 100.00, hot 150.00 -> 100.00",
          "H1 (heater) MP Steam -> F2_To_F4: duty 40.00, hot 175.00 -> 174.00, cold 100.00 -> 120.00", none},
         {"no utility was found"}},
        {"tank duty not known", TankBeside(0),
         {"Energy stream QT of unit TK1: the case leaves its heat flow unknown: it was not extracted.",
          "hot utility               120.000 kW"},
         {"QT ("}},
        // Without its liquid's temperature a vessel's duty has no end: it is passed over with a
        // word, and the rest of the plant is costed.
        {"tank liquid temperature not known", TankBeside(-40, 80, kUnknown),
         {"Energy stream QT of unit TK1: the case leaves the temperature of TL unknown", "hot utility               120.000 kW",
          none},
         {"QT (", "no utility was found", "not available"}},
        {"reactor feed temperature not known", TankBeside(-40, kUnknown, 60, "rxConversionReactor"),
         {"Energy stream QT of unit TK1: the case leaves the temperature of TF unknown", none},
         {"QT (", "no utility was found", "not available"}},
        // A shortcut column's end whose temperature is unknown has no stream either; its other end
        // is extracted.
        {"column reboiler temperature not known",
         [] {
             std::string d = ColumnBeside(150, 60);
             const std::string known = "<num name=\"ReboilerTemperature\">150</num>";
             return d.replace(d.find(known), known.size(), "<num name=\"ReboilerTemperature\"/>");
         }(),
         {"Energy stream QR of unit D1: the case leaves the reboiler temperature of D1 unknown",
          "QC_Exchanger (cooler) QC -> ", none},
         {"QR (", "not available"}},
        // A vessel whose liquid product names none of its outlets keeps the stream its duty makes,
        // of one end: the network it leaves uncosted says why.
        {"tank whose liquid product is none of its outlets", TankOfNoLiquidOutlet(-40),
         {"QT (undetermined): 80 -> not known C", "Unit QT_Exchanger could not be placed in the existing network",
          "unsatisfied streams       QT", "Note: stream \"QT\" is left out of the targets: it has no target temperature"},
         {}},
        {"heat added to a tank that leaves colder", TankBeside(50),
         {"QT (hot): 80 -> 60 C, 50 kW", "Unit TK1 is given 50 kW in the simulation, yet its liquid leaves at 60 C"},
         {}},
    };
    for (const Row& row : rows) {
        ScratchFile file("consistent", "document.vmc", row.document);
        const HostRun run = RunHost("extract " + file.path + row.options);
        EXPECT_EQ(0, run.exitCode) << row.name << "\n" << run.out;
        for (const std::string& p : row.present) EXPECT_NE(std::string::npos, run.out.find(p)) << row.name << ": " << p << "\n" << run.out;
        for (const std::string& a : row.absent) EXPECT_EQ(std::string::npos, run.out.find(a)) << row.name << ": " << a << "\n" << run.out;
    }
}

// A unit whose name holds "=" is reached by --assign: the last "=" parts unit and utility.
TEST(HostExtractConsistentDocuments, AssignReachesAUnitNamedWithAnEqualsSign) {
    std::string d = ReadExample("preheat-train.vmc");
    for (const std::string from : {"name=\"E1\"", "to=\"E1\""})
        for (std::size_t at = d.find(from); at != std::string::npos; at = d.find(from, at + 1))
            d.replace(at, from.size(), from.substr(0, from.size() - 3) + "E=1\"");
    ScratchFile file("consistent", "equals.vmc", d);
    const HostRun run = RunHost("extract " + file.path + " --assign \"E=1=HP Steam\"");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("E=1 (heater) HP Steam -> F1_To_F3")) << run.out;
}

// Solved again with B1 heating to 170 C, which medium-pressure steam at 175 C no longer does at
// DTmin: B1 moves to high-pressure steam, and its branch of the split medium-pressure steam goes
// with it (no empty branch is left there as a bypass).
TEST(HostExtractConsistentDocuments, ARefreshMovingAHeaterOffASplitUtilityLeavesNoEmptyBranch) {
    ScratchFile file("consistent", "nested.vmc", NestedTees(false)), solved("consistent", "solved.vmc", NestedTees(false, 170));
    const HostRun run = RunHost("extract " + file.path + " --refresh " + solved.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("B1 (heater) HP Steam -> Ba_To_Bao: duty 140.00")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Splitter TEE-101 on MP Steam: H1 0.5000, H2 0.5000\n")) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("bypass 0.0000")) << run.out;
}

// C1, placed by the refresh beside C2 and C3 on the split air, keeps its place first among the units
// in the case saved: the design reads its units back in the flowsheet's order.
TEST(HostExtractConsistentDocuments, AUnitPlacedByARefreshKeepsItsPlaceInTheCaseSaved) {
    ScratchFile file("consistent", "air.vmc", ThreeAirCoolers(0.05)), solved("consistent", "air-solved.vmc", ThreeAirCoolers(20)),
        saved("consistent", "air.case", "", false);
    const HostRun run = RunHost("extract " + file.path + " --refresh " + solved.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const HostRun design = RunHost("design " + saved.path + " --design SimulationBaseCase");
    EXPECT_EQ(0, design.exitCode) << design.out;
    const std::size_t c1 = design.out.find("  C1 (cooler)"), c2 = design.out.find("  C2 (cooler)");
    EXPECT_TRUE(c1 != std::string::npos && c2 != std::string::npos && c1 < c2) << design.out;
    EXPECT_NE(std::string::npos, design.out.find("Splitter TEE-100 on Air: C1 0.1429, C2 0.7143, C3 0.1429\n")) << design.out;
}

// Solved again with H3's temperature unknown: H1_To_H3 keeps its values and X1 its earlier duty,
// and the report names K1_To_K3 across X1, refreshed beside a duty it may not balance with.
TEST(HostExtractConsistentDocuments, AStreamKeptByARefreshNamesItsExchangersRefreshedPartner) {
    std::string solved = ReadExample("exchanger-train-solved.vmc");
    const std::string known = "<num name=\"Temperature\" units=\"C\">65</num>";
    ASSERT_NE(std::string::npos, solved.find(known));
    solved.replace(solved.find(known), known.size(), "<num name=\"Temperature\" units=\"C\"/>");
    ScratchFile file("consistent", "solved-unknown.vmc", solved);
    const HostRun run =
        RunHost("extract " + std::string(KESTRIN_EXAMPLES) + "/extraction/exchanger-train.vmc --refresh " + file.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Exchanger X1 keeps its earlier duty with stream H1_To_H3, which was not "
                                              "refreshed: stream K1_To_K3 across it was refreshed")) << run.out;
}

// Each document extracted, then refreshed from the same plant solved again: the streams, units and
// warnings the solved case gives.
//
// C1 is left out of the network at 0.05 kW. Solved again at 20 kW it is placed where a first
// extraction places it, and the network calculates; solved at 0.07 kW it stays out, the warning
// quoting the load the case now gives. Air coolers lifted onto the utility of the next stand beside
// it as the extraction places them; a unit the solved case takes below 0.1 kW keeps its place,
// and the report says so.
TEST(HostExtractConsistentDocuments, EachRefreshTakesTheSolvedCase) {
    const std::string none = "unsatisfied streams       none";
    const struct {
        const char* name;
        std::string document, solved;
        std::vector<std::string> present, absent;
        std::string settings = "";  // the settings file's lines, when there is one
        std::string options = "";   // after the solved case on the command line
    } rows[] = {
        {"cooler lifted to 20 kW", SmallCoolerFirst(0.05), SmallCoolerFirst(20),
         {"C1 (cooler) F_To_F3 -> LP Steam Generation: duty 20.00, hot 150.00 -> 140.00, cold 124.00 -> 125.00",
          "C2 (cooler) F_To_F3 -> Air: duty 100.00, hot 140.00 -> 90.00", "calculation               calculated",
          "total annual cost         6956.56 per year"},
         {"Load = 0.05", "incomplete"}},
        {"cooler lifted to 0.07 kW", SmallCoolerFirst(0.05), SmallCoolerFirst(0.07),
         {"Unit C1 could not be placed in the existing network (Load = 0.07 kW)"}, {"Load = 0.05", "C1 (cooler)"}},
        {"air cooler lifted to 20 kW", SmallCoolerFirst(0.05, 1, "htAirCooler"), SmallCoolerFirst(20, 1, "htAirCooler"),
         {"C1 (cooler) F_To_F3 -> Air: duty 20.00, hot 150.00 -> 140.00, cold 30.00 -> 35.00",
          "C2 (cooler) F_To_F3 -> Air: duty 100.00, hot 140.00 -> 90.00, cold 30.00 -> 35.00",
          "Splitter TEE-100 on Air: C1 0.1667, C2 0.8333", "calculation               calculated"},
         {"Load = 0.05", "incomplete"}},
        {"cooler taken below 0.1 kW", SmallCoolerFirst(20), SmallCoolerFirst(0.05),
         {"Unit C1 carries 0.05 kW in the solved case, less than the 0.1 kW a unit of the existing network is placed "
          "for: it keeps its place with that duty.",
          "C1 (cooler) F_To_F3 -> LP Steam Generation: duty 0.05", "calculation               calculated"},
         {"incomplete"}},
        // Idle in the solved case, C1 keeps its place at no duty, and the network still calculates.
        {"cooler taken to no duty", SmallCoolerFirst(20),
         [] {
             std::string d = SmallCoolerFirst(0.05);
             const std::string duty = "<num name=\"Duty\">0.05</num>";
             return d.replace(d.find(duty), duty.size(), "<num name=\"Duty\">0</num>");
         }(),
         {"Unit C1 carries 0 kW in the solved case", "C1 (cooler) F_To_F3 -> LP Steam Generation: duty 0.00",
          "area 0.00", "calculation               calculated"},
         {"incomplete", "area not known"}},
        // A vessel's or reactor's stream follows its feed and liquid wherever the solved case takes
        // them, past its old ends too; one the case turns round, or leaves without a temperature,
        // keeps its values, and the report says why.
        {"tank moved below its old end", TankBeside(-40), TankBeside(-40, 60, 40),
         {"QT (hot): 60 -> 40 C, 40 kW", "QT_Exchanger (cooler) QT -> Air: duty 40.00, hot 60.00 -> 40.00", none},
         {"keeps its earlier values"}},
        {"tank moved above its old end", TankBeside(-40), TankBeside(-40, 120, 100),
         {"QT (hot): 120 -> 100 C, 40 kW", none}, {"keeps its earlier values"}},
        {"reactor moved below its old end", TankBeside(-40, 80, 60, "rxContinuouslyStirredTankReactor"),
         TankBeside(-30, 60, 40, "rxContinuouslyStirredTankReactor"), {"QT (hot): 60 -> 40 C, 30 kW", none},
         {"keeps its earlier values"}},
        {"tank turned round", TankBeside(-40), TankBeside(-40, 60, 80),
         {"Stream QT keeps its earlier values: the solved case runs it the other way round, from 60 to 80 C",
          "QT (hot): 80 -> 60 C, 40 kW", "QT_Exchanger (cooler) QT -> Air: duty 40.00, hot 80.00 -> 60.00"},
         {}},
        {"tank liquid temperature not known", TankBeside(-40), TankBeside(-40, 80, kUnknown),
         {"Stream QT keeps its earlier values: the solved case leaves the temperature of TL unknown.",
          "QT (hot): 80 -> 60 C, 40 kW"},
         {}},
        {"tank duty taken to a trace", TankBeside(-40), TankBeside(-0.0005),
         {"Stream QT keeps its earlier values: the solved case gives it 0.0005 kW over 20 K", "QT (hot): 80 -> 60 C, 40 kW",
          "calculation               calculated"},
         {}},
        // A vessel's or column's energy stream the extraction did not take is judged again by the
        // solved case: said with its new load, or as a duty taken by the next extraction.
        {"tank trace solved to a duty", TankBeside(-0.0005), TankBeside(-40),
         {"Energy stream QT of unit TK1 carries 40 kW in the solved case, a duty the extraction did not take"},
         {"0.0005", "QT (hot)"}},
        {"tank trace solved to another trace", TankBeside(-0.0005), TankBeside(-0.0008),
         {"Energy stream QT of unit TK1 carries 0.0008 kW, too little for a stream"}, {"0.0005"}},
        {"tank trace solved to no known duty", TankBeside(-0.0005), TankBeside(0),
         {"Energy stream QT of unit TK1: the case leaves its heat flow unknown"}, {"0.0005"}},
        {"tank duty known again", TankBeside(0), TankBeside(-40),
         {"Energy stream QT of unit TK1 carries 40 kW in the solved case"}, {"heat flow unknown"}},
        {"tank liquid temperature known again", TankBeside(-40, 80, kUnknown), TankBeside(-40),
         {"Energy stream QT of unit TK1 carries 40 kW in the solved case"}, {"temperature of TL unknown"}},
        {"column heat flow known again",
         [] {
             std::string d = ColumnBeside(150, 80);
             const std::string known = "<item name=\"QR\" class=\"ppEnergyStream\"><num name=\"HeatFlow\">100</num>";
             return d.replace(d.find(known), known.size(), "<item name=\"QR\" class=\"ppEnergyStream\"><num name=\"HeatFlow\"/>");
         }(),
         ColumnBeside(150, 80), {"Energy stream QR of unit D1 carries 100 kW in the solved case", "QC (hot)"},
         {"heat flow unknown", "QR (cold)"}},
        // A shortcut column's ends move with its temperatures, by more than the half kelvin each
        // spans.
        {"column ends moved", ColumnBeside(150, 80), ColumnBeside(120, 100),
         {"QR (cold): 119.5 -> 120 C, 100 kW", "QC (hot): 100.5 -> 100 C, 90 kW", none},
         {"keeps its earlier values"}},
        // An energy stream of heat flow unknown is one the extraction would not take: the column's
        // stream keeps its values, named, beside the other end refreshed.
        {"column heat flow not known", ColumnBeside(150, 80),
         [] {
             std::string d = ColumnBeside(120, 100);
             const std::string known = "<item name=\"QR\" class=\"ppEnergyStream\"><num name=\"HeatFlow\">100</num>";
             return d.replace(d.find(known), known.size(), "<item name=\"QR\" class=\"ppEnergyStream\"><num name=\"HeatFlow\"/>");
         }(),
         {"Stream QR keeps its earlier values: the solved case leaves the heat flow of QR unknown.",
          "QR (cold): 149.5 -> 150 C, 100 kW", "QC (hot): 100.5 -> 100 C, 90 kW"},
         {"QR (cold): 119.5"}},
        // The warnings quote the solved case: a vessel's duty against its temperatures as it is now,
        // and none where the solved case no longer sets the two against each other; a heat loss as
        // the solved case gives it.
        {"tank heated, its liquid leaving colder still", TankBeside(50), TankBeside(50, 80, 40),
         {"QT (hot): 80 -> 40 C, 50 kW", "Unit TK1 is given 50 kW in the simulation, yet its liquid leaves at 40 C"},
         {"leaves at 60 C"}},
        {"tank no longer heated against its temperatures", TankBeside(50), TankBeside(-50),
         {"QT (hot): 80 -> 60 C, 50 kW", none}, {"yet its liquid"}},
        {"unplaced duty unit solved again", TankOfNoLiquidOutlet(-40), TankOfNoLiquidOutlet(-50),
         {"Unit QT_Exchanger could not be placed in the existing network (Load = 50 kW)"}, {"Load = 40"}},
        // Xb judged again: its cold side now leaves above its hot side's inlet, or no longer does.
        {"exchanger solved past its hot inlet", ExchangerTakenTo(180), ExchangerTakenTo(235),
         {"Exchanger Xb is infeasible in the simulation"}, {}},
        {"exchanger solved back within its hot inlet", ExchangerTakenTo(235), ExchangerTakenTo(180),
         {"P1_To_P2 (cold): 150 -> 180 C"}, {"Exchanger Xb is"}},
        {"tee's branch flows rounded otherwise", BypassOf(1.0002), BypassOf(1 + 1.0 / 16384),
         {"The branches of tee T1 carry 3.000061035 kg/s of the 3 kg/s fed to it"}, {"3.0002", "3.0000610351"}},
        {"tee's branch flows no longer rounded", BypassOf(1.0002), BypassOf(1),
         {"F_To_P (hot): 200 -> 153.3333333 C"}, {"The branches of tee T1"}},
        {"heat loss solved again", WithHeatLoss(SmallCoolerFirst(20), 5), WithHeatLoss(SmallCoolerFirst(20), 8),
         {"C2 (Loss = 8"}, {"Loss = 5"}},
        // A PRO/II separator's duty stream is the separator's again.
        {"separator solved again", FlashBeside(40, 60, 50), FlashBeside(50, 80, 90),
         {"V (cold): 50 -> 80 C, 90 kW, 1 kg/s", "V_Exchanger (heater)", "duty 90.00", none},
         {"keeps its earlier values"},
         "SimulatorFileType = 2\n"},
        // A heater the solved case runs as a cooler would run its stream the other way round, at
        // its ends or between them: the stream keeps its values, and its units their duties.
        {"heater turned to a cooler", HeatersTo(80, 130), HeatersTo(40, 30),
         {"Stream F_To_F3 keeps its earlier values: the solved case runs it the other way round, from 50 to 30 C",
          "F_To_F3 (cold): 50 -> 130 C, 160 kW", "H1 (heater) LP Steam -> F_To_F3: duty 60.00",
          "calculation               calculated"},
         {"not known", "incomplete"}},
        {"heater turned to a cooler within its stream", HeatersTo(80, 130), HeatersTo(90, 80),
         {"Stream F_To_F3 keeps its earlier values: the solved case runs it the other way round, from 90 to 80 C",
          "F_To_F3 (cold): 50 -> 130 C, 160 kW", "H2 (heater) MP Steam -> F_To_F3: duty 100.00",
          "calculation               calculated", "The temperature turns at stream F2: the stream was cut there."},
         {"not known", "incomplete", "duty 20.00"}},
        // Cut where it turned, the line is judged again whole: solved running one way, the part the
        // solved case would run backwards keeps its values, the part before it with it (or the two
        // would no longer meet at one temperature), and the turn is no longer reported.
        {"cut where it turned, solved running one way", CooledThenHeated(100, 120), CooledThenHeated(110, 90),
         {"Stream F2_To_F3 keeps its earlier values: the solved case runs it the other way round, from 110 to 90 C",
          "Stream F_To_F2 keeps its earlier values: it meets stream F2_To_F3, which keeps its own, where the "
          "extraction cut them apart at F2.",
          "F_To_F2 (hot): 150 -> 100 C, 100 kW", "C1 (cooler) F_To_F2 -> Air: duty 100.00", "calculation               calculated"},
         {"The temperature turns", "F_To_F2 (hot): 150 -> 110"}},
        {"cut where it turned, refreshed from the same case", CooledThenHeated(100, 120), CooledThenHeated(100, 120),
         {"The temperature turns at stream F2: the stream was cut there.", "F_To_F2 (hot): 150 -> 100 C, 100 kW",
          "F2_To_F3 (cold): 100 -> 120 C, 40 kW"},
         {"keeps its earlier values"}},
        // A unit lifted onto a utility split already takes its branch, and its place among the units,
        // in the plant's order, as an extraction of the solved case places them.
        {"air cooler lifted beside two on a split", ThreeAirCoolers(0.05), ThreeAirCoolers(20),
         {"Splitter TEE-100 on Air: C1 0.1429, C2 0.7143, C3 0.1429\n",
          "Ft 0.9993, shells 1, complete\n  C2 (cooler) F_To_F4 -> Air: duty 100.00", "calculation               calculated"},
         {"Load = 0.05"}},
        // Heaters the refresh moves onto a split steam: the splitter is named as the extraction of the
        // solved case names it.
        {"heaters moved onto a split steam", FourHeatersOnTwoSteams(), FourHeatersOnTwoSteams(170),
         {"Splitter TEE-101 on HP Steam: H12 0.1333, H4 0.1333, H9 0.6000, H6 0.1333\n", none},
         {"TEE-102", "MP Steam"}},
        // Moved onto a utility that serves another unit, a heater stands beside it on a branch of
        // its own, as the extraction places two units on one utility.
        {"heater moved beside another", HeatedTwiceTo(80), HeatedTwiceTo(120),
         {"H1 (heater) MP Steam -> F_To_F3: duty 140.00", "H2 (heater) MP Steam -> F_To_F3: duty 20.00",
          "Splitter TEE-100 on MP Steam: ", "H1 0.8750", "H2 0.1250", none},
         {"(heater) LP Steam"}},
        // The steam no unit stands on any more goes before the targets, as a fresh extraction of
        // the solved case never makes it: its targets are the fresh one's.
        {"heater moved off the only unit's steam", HeatedTwiceTo(80), HeatedTwiceTo(120),
         {"  MP Steam (hot): 175 -> 174 C, 160 kW\n", "total annual cost         15137.04 per year", none},
         {"LP Steam (hot)"}},
        // The report's assumptions name the steam the refresh moved the heater to.
        {"heater moved: the assumptions name its new steam", HeatedTwiceTo(80), HeatedTwiceTo(120),
         {"Utility MP Steam is taken for a heater at unit H1."}, {"Utility LP Steam is taken for a heater at unit H1."},
         "", " --json"},
    };
    for (const auto& row : rows) {
        ScratchFile file("consistent", "refreshed.vmc", row.document), solved("consistent", "solved.vmc", row.solved),
            settings("consistent", "refreshed.settings", row.settings);
        const HostRun run = RunHost("extract " + file.path + " --refresh " + solved.path + row.options +
                                    (row.settings.empty() ? std::string() : " --settings " + settings.path));
        EXPECT_EQ(0, run.exitCode) << row.name << "\n" << run.out;
        for (const std::string& p : row.present) EXPECT_NE(std::string::npos, run.out.find(p)) << row.name << ": " << p << "\n" << run.out;
        for (const std::string& a : row.absent) EXPECT_EQ(std::string::npos, run.out.find(a)) << row.name << ": " << a << "\n" << run.out;
    }
}

// H1's stream was not kept at 0.05 kW: solved again at 20 kW, H1 stays out, said with its new load
// (and not as a unit no utility serves), and the rest refreshes as before.
TEST(HostExtractConsistentDocuments, ARefreshLeavesOutAUnitWhoseStreamWasNotKept) {
    ScratchFile file("consistent", "tiny.vmc", TinyHeaterOnAStreamOfItsOwn()),
        solved("consistent", "tiny-solved.vmc", TinyHeaterOnAStreamOfItsOwn(20));
    const HostRun run = RunHost("extract " + file.path + " --refresh " + solved.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Unit H1 could not be placed in the existing network (Load = 20 kW)")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("calculation               calculated")) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("no utility was found")) << run.out;
}
