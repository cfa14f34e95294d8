#pragma once
// Random well-formed simulator-case documents (docs/simulator-case-format.md) of consistent plants,
// for sweeps of the extraction: feeds heated and cooled along their paths by heaters, coolers, air
// coolers, fired heaters and exchangers against one another, passed through pumps, valves, pipes
// and recycles, split by tees and mixed again, heaters and coolers given their duty by energy
// streams, and shortcut columns whose reboiler and condenser duties come and go by energy streams
// (the path goes on from the column's bottoms). Every material stream's temperature, mass flow, heat flow and molar enthalpy agrees with
// the units': a path of mass flow m and specific heat c holds a heat flow of m c T at T, and every
// heat-transfer unit carries the property table of the stream it takes in.
//
// The generator knows what a sound extraction makes of a document: the heat each unit gives or
// takes, the temperatures of the material streams, the total heating and cooling. A sweep checks
// the extraction against these, with nothing of the extraction's own code.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace random_case {

// Which parts a document may hold; everything by default.
struct Options {
    int maxPaths = 3;        // feeds, 1 to this many
    int maxSteps = 4;        // units along a path, 1 to this many
    bool exchangers = true;  // process-to-process exchangers between paths
    bool passThrough = true; // pumps, valves, pipe segments, recycles
    bool tees = true;        // a tee into two branches and a mixer after them
    bool energyStreams = true;
    bool kinks = true;       // property tables whose specific heat steps once inside a unit
    bool compositions = true;  // material streams give their mole fractions (CompMolarFraction)

    // A tee branch passed through a pump, valve, pipe or recycle is then heated or cooled too.
    bool passThenTransfer = false;
    // The first branch of a tee carries 1e-6 kg/s less than its share, as a simulator writes a
    // flow rounded (the branches then fall short of the feed by that much).
    bool roundedBranchFlows = false;
    bool columns = true;     // shortcut columns with a reboiler and a condenser

    // What the options below add is drawn only when asked for: the documents without them stay as
    // they were.
    int maxBranches = 2;        // a tee's branches, 2 to this many (with three and more, bypasses too)
    int teeDepth = 1;           // tees nested in branches down to this depth (1: none)
    bool shuffleBranches = false;  // a tee lists its branches in any order
    bool ownReference = false;  // a table may start its enthalpy at 0 at its own first point
    bool passBetween = false;   // a pump or valve may stand before any unit of a path
    bool series = false;        // an air cooler or fired heater may be followed by a unit of the same way
    bool unknowns = false;      // a mole fraction, an inner stream's mass flow, a table's inner point not known
    // With unknowns, a stream of unknown composition gives it, in turn, with its first mole fraction
    // "?", with no list, with an empty list, or all "?" (drawing nothing more: the seeds stay).
    bool bareCompositions = false;
    bool tinyDuties = false;    // tanks and separators given a duty too small for a stream, tiny column duties
    bool networkNames = false;  // units named like the network's own nodes ("N-7")
    // A heater or cooler below the 0.1 kW a unit of the network is placed for, before a unit of the
    // same way on its path.
    bool tinyUnits = false;
    // An inner stream (fed by a heat-transfer unit and feeding one) leaves its heat flow or its
    // temperature unknown now and then.
    bool unknownInner = false;
    // The temperatures the paths keep to (C): by default where air cools and high-pressure steam
    // heats at a minimum approach of 10 K.
    double lowest = 45.0, highest = 240.0;
};

// One heat-transfer unit as the document has it.
struct Unit {
    std::string name, cls;
    double inlet = 0.0, outlet = 0.0;  // the temperatures of the stream it heats or cools (C)
    double duty = 0.0;                 // kW, > 0
    bool heats = false;                // the stream it takes in gains the heat
    // On a branch of a tee, or behind a valve or pump (passed pipes and recycles aside): a cut there
    // may leave it a stream of its own.
    bool mayStandAlone = false;
};

struct Document {
    std::string text;
    std::vector<Unit> units;                // exchangers twice: once per side
    // Of every material stream, and the ends a column's duty streams take: half a degree short of
    // the column's reboiler and condenser temperatures, up to them.
    std::vector<double> temperatures;
    double heating = 0.0, cooling = 0.0;    // total kW taken in by heated and given off by cooled streams
    int exchangers = 0, tees = 0, passThroughs = 0, energyStreams = 0, columns = 0;
    int nestedTees = 0, bypasses = 0, unknowns = 0, tinyDuties = 0;
    std::vector<std::string> items;  // the text of each item, in document order

    // The same document with its items in another order (the same items and links).
    std::string Shuffled(std::uint32_t seed) const;
};

// A small deterministic source of numbers (the same documents on every platform).
class Numbers {
public:
    explicit Numbers(std::uint32_t seed) : m_state(seed * 2654435761u + 0x9E3779B9u) {}
    std::uint32_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    int Below(int n) { return n <= 1 ? 0 : static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
    // On a grid of 1/4: the documents' numbers stay short and exact in decimal.
    double Between(double a, double b) { return a + std::round((b - a) * (Next() % 10001) / 10000.0 * 4.0) / 4.0; }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    std::uint32_t m_state;
};

namespace detail {

inline std::string Number(double v) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.12g", v);
    return buffer;
}

struct Path {
    int index = 0;
    double mass = 0.0, cp = 0.0, temperature = 0.0;
    std::string stream;  // the material stream now at the path's end
    std::string composition;
};

class Writer {
public:
    Writer(std::uint32_t seed, const Options& options) : m_n(seed), m_options(options) {}

    Document Make() {
        const int paths = 1 + m_n.Below(m_options.maxPaths);
        for (int p = 0; p < paths; ++p) {
            Path path;
            path.index = p;
            path.mass = m_n.Between(0.5, 4.0);
            path.cp = m_n.Between(1.5, 4.5);
            path.temperature = m_n.Between(m_options.lowest, m_options.highest);
            // Paths differ in composition: a tee and mixer pair is never found across two of them.
            path.composition = Number(0.1 + 0.1 * p) + " " + Number(0.9 - 0.1 * p);
            path.stream = NewStream(path, path.temperature, path.mass, "");
            m_paths.push_back(path);
        }
        for (Path& path : m_paths) {
            const int steps = 1 + m_n.Below(m_options.maxSteps);
            for (int s = 0; s < steps; ++s) Step(path);
        }
        if (m_options.unknowns) ForgetInnerFlows();
        if (m_options.unknownInner) ForgetInnerValues();
        if (m_options.tinyDuties) TinyVesselDuty();
        Document d = m_doc;
        d.text = "<?xml version=\"1.0\"?>\n<simcase version=\"1\" name=\"random\">\n";
        for (const Item& i : m_items) {
            d.items.push_back(i.Text());
            d.text += d.items.back();
        }
        d.text += "</simcase>\n";
        return d;
    }

private:
    struct Item {
        std::string name, cls, body;
        std::vector<std::string> links;
        std::string Text() const {
            std::string out = "  <item name=\"" + name + "\" class=\"" + cls + "\">" + body;
            for (const std::string& l : links) out += "\n    <link to=\"" + l + "\"/>";
            return out + "\n  </item>\n";
        }
    };

    Item& At(const std::string& name) {
        for (Item& i : m_items)
            if (i.name == name) return i;
        return m_items.front();
    }
    std::string Name(const char* prefix) { return prefix + std::to_string(++m_count); }
    // A unit's name: its own prefix, or one like the network's nodes when asked.
    std::string UnitName(const char* prefix) { return m_options.networkNames ? Name("N-") : Name(prefix); }

    std::string NewStream(const Path& path, double t, double mass, const std::string& branch) {
        const std::string name = Name("S");
        Item s{name, "ppMaterialStream", "", {}};
        if (!branch.empty()) s.body += "\n    <text name=\"BranchName\">" + branch + "</text>";
        s.body += "\n    <num name=\"Temperature\">" + Number(t) + "</num>";
        s.body += "\n    <num name=\"MassFlow\">" + Number(mass) + "</num>";
        s.body += "\n    <num name=\"HeatFlow\">" + Number(mass * path.cp * t) + "</num>";
        s.body += "\n    <num name=\"MolarEnthalpy\">" + Number(50.0 * path.cp * t - 100000.0 * (path.index + 1)) + "</num>";
        std::string composition = path.composition;
        bool listed = m_options.compositions;
        if (m_options.unknowns && m_n.Chance(10)) {
            // Its first mole fraction not known.
            const std::string rest = composition.substr(composition.find(' '));
            composition = "?" + rest;
            if (m_options.bareCompositions) {
                const int form = m_doc.unknowns % 4;
                if (form == 1) listed = false;
                else if (form == 2) composition.clear();
                else if (form == 3) composition = "? ?";
            }
            ++m_doc.unknowns;
        }
        if (listed) s.body += "\n    <list name=\"CompMolarFraction\">" + composition + "</list>";
        m_items.push_back(s);
        m_doc.temperatures.push_back(t);
        return name;
    }

    // The property table a unit holds of the stream it takes in, from t0 to t1 at specific heat
    // cp: three or five points, the curve kinked once (same end enthalpies) when asked.
    std::string Table(const std::string& stream, double t0, double t1, double cp) {
        std::vector<double> t{t0, (t0 + t1) / 2, t1};
        std::vector<double> h{cp * t0, cp * (t0 + t1) / 2, cp * t1};
        if (m_options.kinks && m_n.Chance(30)) {
            // A step in the specific heat at the middle: the first half steeper by a quarter.
            const double mid = (t0 + t1) / 2, slope = 1.25 * cp;
            t = {t0, (t0 + mid) / 2, mid, (mid + t1) / 2, t1};
            const double hMid = cp * t0 + slope * (mid - t0);
            const double slope2 = (cp * t1 - hMid) / (t1 - mid);
            h = {cp * t0, cp * t0 + slope * (t[1] - t0), hMid, hMid + slope2 * (t[3] - mid), cp * t1};
        }
        if (m_options.ownReference && m_n.Chance(50))
            for (std::size_t k = h.size(); k-- > 0;) h[k] -= h[0];  // the table's own zero at its first point
        // An inner point's enthalpy not known (none: past the last point).
        const std::size_t unknown = m_options.unknowns && m_n.Chance(20) ? 1 + m_n.Below(static_cast<int>(t.size()) - 2) : t.size();
        if (unknown < t.size()) ++m_doc.unknowns;
        std::string list[3];
        for (std::size_t k = 0; k < t.size(); ++k) {
            const char* gap = k ? " " : "";
            list[0] += gap + Number(t[k]);
            list[1] += gap + (k == unknown ? std::string("?") : Number(h[k]));
            list[2] += gap + std::string("0");
        }
        return "\n      <group name=\"" + stream + "\"><list name=\"prpTemperature\">" + list[0] +
               "</list><list name=\"prpMassEnthalpy\">" + list[1] + "</list><list name=\"prpMassVapourFraction\">" +
               list[2] + "</list></group>";
    }

    void Record(const std::string& unit, const std::string& cls, double t0, double t1, double duty) {
        Unit u{unit, cls, t0, t1, duty, t1 > t0};
        m_doc.units.push_back(u);
        (u.heats ? m_doc.heating : m_doc.cooling) += duty;
    }

    // A heater or cooler moving the path by dt (one unit, with its table, maybe its energy stream).
    void Utility(Path& path, double dt, double mass, const std::string& branch, const char* given = nullptr) {
        static const char* const kHeaters[] = {"htHeater", "htHeater", "htFiredHeater"};
        static const char* const kCoolers[] = {"htCooler", "htCooler", "htAirCooler"};
        const bool heat = dt > 0;
        const std::string cls = given ? given : heat ? kHeaters[m_n.Below(3)] : kCoolers[m_n.Below(3)];
        const std::string unit = UnitName(heat ? "E" : "C");
        const double t1 = path.temperature + dt, duty = mass * path.cp * std::fabs(dt);
        Item u{unit, cls, "\n    <num name=\"Duty\">" + Number(duty) + "</num>", {}};
        u.body += "\n    <group name=\"PropertyTable\">" + Table(path.stream, path.temperature, t1, path.cp) + "\n    </group>";
        if (m_options.energyStreams && m_n.Chance(25)) {
            // The duty also reaches the unit through an energy stream: into a heater, out of a cooler.
            const std::string q = Name("Q");
            Item e{q, "ppEnergyStream", "\n    <num name=\"HeatFlow\">" + Number(duty) + "</num>", {}};
            if (heat) e.links.push_back(unit);
            else u.links.push_back(q);
            m_items.push_back(e);
            ++m_doc.energyStreams;
        }
        At(path.stream).links.push_back(unit);
        m_items.push_back(u);
        Record(unit, cls, path.temperature, t1, duty);
        m_doc.units.back().mayStandAlone = !branch.empty() || BehindValveOrPump(path.stream);
        path.temperature = t1;
        path.stream = NewStream(path, t1, mass, branch);
        At(unit).links.push_back(path.stream);
    }

    // Whether the stream comes out of a valve or pump, passing pipes and recycles on the way back.
    bool BehindValveOrPump(const std::string& stream) {
        std::string at = stream;
        for (int guard = 0; guard < 64; ++guard) {
            const Item* feeder = nullptr;
            for (const Item& i : m_items)
                if (std::find(i.links.begin(), i.links.end(), at) != i.links.end()) feeder = &i;
            if (!feeder) return false;
            if (feeder->cls == "rtPump" || feeder->cls == "ppValve") return true;
            if (feeder->cls != "ppPipeSegment" && feeder->cls != "lgRecycle") return false;
            const Item* feed = nullptr;
            for (const Item& i : m_items)
                if (std::find(i.links.begin(), i.links.end(), feeder->name) != i.links.end()) feed = &i;
            if (!feed) return false;
            at = feed->name;
        }
        return false;
    }

    void PassThrough(Path& path, double mass, const std::string& branch, bool pumpOrValve = false) {
        static const char* const kClasses[] = {"rtPump", "ppValve", "ppPipeSegment", "lgRecycle"};
        const std::string cls = kClasses[m_n.Below(pumpOrValve ? 2 : 4)];
        const std::string unit = Name(cls == "rtPump" ? "P" : cls == "ppValve" ? "V" : cls == "lgRecycle" ? "R" : "L");
        m_items.push_back(Item{unit, cls, "", {}});
        At(path.stream).links.push_back(unit);
        path.stream = NewStream(path, path.temperature, mass, branch);
        At(unit).links.push_back(path.stream);
        ++m_doc.passThroughs;
    }

    double Swing(const Path& path) {
        // Rises and falls of 10 to 80 K, kept within the range (a shorter one at its edges).
        double dt = m_n.Between(10.0, 80.0);
        const double up = m_options.highest - path.temperature, down = path.temperature - m_options.lowest;
        const bool rise = up >= dt && (down < dt || m_n.Chance(50));
        if (rise || down >= dt) return rise ? dt : -dt;
        // Neither way is wide enough: the wider, at least 2 K.
        return up > down ? std::max(2.0, up) : -std::max(2.0, down);
    }

    // A process-to-process exchanger: `hot` gives what `cold` takes, with an approach of at least
    // 0.4 of the temperature difference between them at both ends.
    bool Exchanger(Path& a) {
        std::vector<Path*> others;
        for (Path& p : m_paths)
            if (&p != &a && std::fabs(p.temperature - a.temperature) >= 20.0 && p.stream.size()) others.push_back(&p);
        if (others.empty()) return false;
        Path& b = *others[static_cast<std::size_t>(m_n.Below(static_cast<int>(others.size())))];
        Path& hot = a.temperature > b.temperature ? a : b;
        Path& cold = a.temperature > b.temperature ? b : a;
        const double gap = hot.temperature - cold.temperature;
        const double duty = std::min(hot.mass * hot.cp, cold.mass * cold.cp) * m_n.Between(0.2, 0.6) * gap;
        if (!(duty > 1.0)) return false;
        const double hot1 = hot.temperature - duty / (hot.mass * hot.cp);
        const double cold1 = cold.temperature + duty / (cold.mass * cold.cp);
        const std::string unit = UnitName("X");
        Item x{unit, "htHeatExchanger", "\n    <num name=\"Duty\">" + Number(duty) + "</num>", {}};
        x.body += "\n    <num name=\"OverallU\">0.5</num>";
        const std::string hotIn = hot.stream, coldIn = cold.stream;
        x.body += "\n    <group name=\"PropertyTable\">" + Table(hotIn, hot.temperature, hot1, hot.cp) +
                  Table(coldIn, cold.temperature, cold1, cold.cp) + "\n    </group>";
        At(hotIn).links.push_back(unit);
        At(coldIn).links.push_back(unit);
        m_items.push_back(x);
        Record(unit, "htHeatExchanger", hot.temperature, hot1, duty);
        Record(unit, "htHeatExchanger", cold.temperature, cold1, duty);
        hot.temperature = hot1;
        cold.temperature = cold1;
        hot.stream = NewStream(hot, hot1, hot.mass, "");
        cold.stream = NewStream(cold, cold1, cold.mass, "");
        Item& placed = At(unit);
        placed.links.push_back(hot.stream);
        placed.links.push_back(cold.stream);
        placed.body = placed.body + "\n    <text name=\"ShellSideFeed\">" + hotIn + "</text><text name=\"ShellSideProduct\">" +
                      hot.stream + "</text>\n    <text name=\"TubeSideFeed\">" + coldIn +
                      "</text><text name=\"TubeSideProduct\">" + cold.stream + "</text>";
        ++m_doc.exchangers;
        return true;
    }

    // A tee into two branches (share r and 1 - r), each heated, cooled or passed through, mixed
    // again at the flow-weighted temperature. Asked for, a tee of up to `maxBranches` branches
    // (shares of random weights, some passing by), a branch teed again down to `teeDepth`, and
    // the branches listed in any order. `branch` names the branch the path is on (a nested tee's).
    void Branches(Path& path, int depth = 1, const std::string& onBranch = "") {
        const std::string tee = Name("T"), mixer = Name("M");
        m_items.push_back(Item{tee, "ppTee", "", {}});
        At(path.stream).links.push_back(tee);
        const int count = m_options.maxBranches > 2 ? 2 + m_n.Below(m_options.maxBranches - 1) : 2;
        std::vector<double> shares;
        if (count == 2) {
            const double r = m_n.Between(0.2, 0.8);
            shares = {r, 1.0 - r};
        } else {
            double sum = 0.0;
            for (int b = 0; b < count; ++b) sum += shares.emplace_back(m_n.Between(1.0, 4.0));
            for (double& w : shares) w /= sum;
        }
        const double t0 = path.temperature;
        double mixed = 0.0, carried = 0.0;
        std::vector<std::string> ends;
        for (int b = 0; b < count; ++b) {
            const double mass = path.mass * shares[static_cast<std::size_t>(b)] - (b == 0 && m_options.roundedBranchFlows ? 1e-6 : 0.0);
            const std::string branch = "Branch " + std::to_string(m_count) + "." + std::to_string(b + 1);
            Path side = path;
            side.temperature = t0;
            side.mass = mass;
            side.stream = NewStream(path, t0, mass, branch);
            At(tee).links.push_back(side.stream);
            if (depth < m_options.teeDepth && m_n.Chance(40)) {
                Branches(side, depth + 1, branch);
                ++m_doc.nestedTees;
            } else {
                const int what = m_n.Below(m_options.passThrough ? 3 : 2);
                if (what == 0) Utility(side, Swing(side), mass, branch);
                else if (what == 2) {
                    PassThrough(side, mass, branch);
                    if (m_options.passThenTransfer) Utility(side, Swing(side), mass, branch);
                } else {
                    ++m_doc.bypasses;
                }
            }
            mixed += mass * side.temperature;
            carried += mass;
            ends.push_back(side.stream);
        }
        if (m_options.shuffleBranches)
            for (std::size_t k = At(tee).links.size(); k > 1; --k)
                std::swap(At(tee).links[k - 1], At(tee).links[static_cast<std::size_t>(m_n.Below(static_cast<int>(k)))]);
        m_items.push_back(Item{mixer, "ppMixer", "", {}});
        for (const std::string& e : ends) At(e).links.push_back(mixer);
        path.temperature = mixed / carried;
        path.stream = NewStream(path, path.temperature, path.mass, onBranch);
        At(mixer).links.push_back(path.stream);
        ++m_doc.tees;
    }

    // A shortcut column fed by the path: its condenser below the feed, its reboiler above the
    // condenser, their duties by energy streams (into the column for the reboiler, out of it for
    // the condenser) and on the column. The distillate leaves; the path goes on from the bottoms
    // (a share of the flow, of a composition of its own), at the reboiler's temperature.
    void Column(Path& path) {
        const std::string column = Name("D"), reboiler = Name("Q"), condenser = Name("Q");
        const double low = m_options.lowest, high = m_options.highest;
        const double tc = std::min(std::max(low, path.temperature - m_n.Between(5.0, 40.0)), high - 20.0);
        // The reboiler's stream takes half a degree below its temperature: that end too stays
        // within the steam's reach.
        const double tr = std::min(high - 0.5, tc + m_n.Between(20.0, 60.0));
        const double qr = m_n.Between(50.0, 400.0);
        double qc = m_n.Between(50.0, 400.0);
        // A condenser duty too small for a stream: passed over, neither heating nor cooling.
        const bool tinyCondenser = m_options.tinyDuties && m_n.Chance(30);
        if (tinyCondenser) {
            qc = 0.0002;
            ++m_doc.tinyDuties;
        }
        const double share = m_n.Between(0.3, 0.7);
        Item c{column, "scShortcutDistillation", "", {}};
        c.body += "\n    <num name=\"ReboilerDuty\">" + Number(qr) + "</num><num name=\"ReboilerTemperature\">" + Number(tr) + "</num>";
        c.body += "\n    <num name=\"CondenserDuty\">" + Number(-qc) + "</num><num name=\"CondenserTemperature\">" + Number(tc) + "</num>";
        m_items.push_back(Item{reboiler, "ppEnergyStream", "\n    <num name=\"HeatFlow\">" + Number(qr) + "</num>", {column}});
        m_items.push_back(c);
        m_items.push_back(Item{condenser, "ppEnergyStream", "\n    <num name=\"HeatFlow\">" + Number(qc) + "</num>", {}});
        At(path.stream).links.push_back(column);
        At(column).links.push_back(condenser);
        Record(reboiler, "scShortcutDistillation", tr - 0.5, tr, qr);
        if (!tinyCondenser) Record(condenser, "scShortcutDistillation", tc + 0.5, tc, qc);
        for (double t : {tr - 0.5, tc + 0.5}) m_doc.temperatures.push_back(t);
        Path top = path;
        top.composition = "0.95 0.05";
        const std::string distillate = NewStream(top, tc, path.mass * (1.0 - share), "");
        path.mass *= share;
        path.temperature = tr;
        path.composition = Number(0.01 + 0.1 * path.index) + " " + Number(0.99 - 0.1 * path.index);
        path.stream = NewStream(path, tr, path.mass, "");
        At(column).links.push_back(distillate);
        At(column).links.push_back(path.stream);
        ++m_doc.energyStreams;
        ++m_doc.columns;
    }

    void Step(Path& path) {
        if (m_options.passBetween && m_n.Chance(30)) PassThrough(path, path.mass, "", true);
        const int roll = m_n.Below(100);
        if (m_options.exchangers && roll < 25 && Exchanger(path)) return;
        if (m_options.passThrough && roll >= 25 && roll < 40) return PassThrough(path, path.mass, "");
        if (m_options.tees && roll >= 40 && roll < 52) return Branches(path);
        // Drawn only when columns are asked for: the documents without them stay as they were.
        if (m_options.columns && roll >= 52 && roll < 57) return Column(path);
        if (m_options.tinyUnits && m_n.Chance(20)) {
            // A unit of 0.05 kW, then the rest of the swing the same way.
            const double dt = Swing(path), tiny = (dt > 0 ? 0.05 : -0.05) / (path.mass * path.cp);
            Utility(path, tiny, path.mass, "");
            ++m_doc.tinyDuties;
            return Utility(path, dt - tiny, path.mass, "");
        }
        if (m_options.series && m_n.Chance(40)) {
            // An air cooler or fired heater, then another unit the same way: the swing in two.
            const double dt = Swing(path);
            const double first = std::round(dt * m_n.Between(0.25, 0.75) * 4.0) / 4.0;
            if (std::fabs(first) >= 1.0 && std::fabs(dt - first) >= 1.0) {
                Utility(path, first, path.mass, "", dt > 0 ? "htFiredHeater" : "htAirCooler");
                return Utility(path, dt - first, path.mass, "");
            }
            return Utility(path, dt, path.mass, "");
        }
        Utility(path, Swing(path), path.mass, "");
    }

    // A material stream fed by a heat-transfer unit and feeding one.
    bool BetweenTwoUnits(const Item& s) {
        if (s.cls != "ppMaterialStream" || s.links.size() != 1 || At(s.links.front()).cls.rfind("ht", 0) != 0) return false;
        for (const Item& u : m_items)
            if (u.cls.rfind("ht", 0) == 0 && std::find(u.links.begin(), u.links.end(), s.name) != u.links.end()) return true;
        return false;
    }

    // Inner streams (fed by a heat-transfer unit and feeding one) leave their mass flow unknown
    // now and then: nothing of a sound extraction reads it there.
    void ForgetInnerFlows() {
        for (Item& s : m_items) {
            if (!BetweenTwoUnits(s)) continue;
            const std::size_t at = s.body.find("<num name=\"MassFlow\">");
            if (at == std::string::npos || !m_n.Chance(15)) continue;
            s.body.replace(at, s.body.find("</num>", at) + 6 - at, "<num name=\"MassFlow\"/>");
            ++m_doc.unknowns;
        }
    }

    // Inner streams between two heat-transfer units leave their heat flow or their temperature
    // unknown now and then: every unit gives its duty and its table, so nothing is lost by it.
    void ForgetInnerValues() {
        for (Item& s : m_items) {
            if (!BetweenTwoUnits(s) || !m_n.Chance(25)) continue;
            const std::string value = m_n.Chance(50) ? "HeatFlow" : "Temperature";
            const std::size_t at = s.body.find("<num name=\"" + value + "\">");
            if (at == std::string::npos) continue;
            s.body.replace(at, s.body.find("</num>", at) + 6 - at, "<num name=\"" + value + "\"/>");
            ++m_doc.unknowns;
        }
    }

    // A tank or separator beside the plant, its feed and liquid 20 K apart, given a duty on an
    // energy stream too small for a stream (below 0.001 kW/C over its span): passed over.
    void TinyVesselDuty() {
        const std::string vessel = Name(m_n.Chance(50) ? "K" : "V"), feed = Name("S"), liquid = Name("S"), q = Name("Q");
        const char* cls = vessel[0] == 'K' ? "vsTank" : "vsSeparatorTwoPhase";
        const double t = m_n.Between(m_options.lowest + 20.0, m_options.highest);
        m_items.push_back(Item{feed, "ppMaterialStream", "\n    <num name=\"Temperature\">" + Number(t) +
                                   "</num><num name=\"MassFlow\">1</num><list name=\"CompMolarFraction\">0.5 0.5</list>", {vessel}});
        m_items.push_back(Item{vessel, cls, "\n    <text name=\"LiquidProduct\">" + liquid + "</text>", {liquid}});
        m_items.push_back(Item{liquid, "ppMaterialStream", "\n    <num name=\"Temperature\">" + Number(t - 20.0) +
                                   "</num><num name=\"MassFlow\">1</num><list name=\"CompMolarFraction\">0.5 0.5</list>", {}});
        const std::string flow = "\n    <num name=\"HeatFlow\">" + Number(m_n.Chance(50) ? -0.01 : 0.0005) + "</num>";
        // Its heat flow not known, asked for: passed over with a word too.
        const bool unknown = m_options.unknownInner && m_n.Chance(30);
        m_items.push_back(Item{q, "ppEnergyStream", unknown ? "\n    <num name=\"HeatFlow\"/>" : flow, {vessel}});
        ++m_doc.tinyDuties;
    }

    Numbers m_n;
    Options m_options;
    std::vector<Path> m_paths;
    std::vector<Item> m_items;
    Document m_doc;
    int m_count = 0;
};

}  // namespace detail

inline std::string Document::Shuffled(std::uint32_t seed) const {
    std::vector<std::string> order = items;
    Numbers n(seed);
    for (std::size_t k = order.size(); k > 1; --k) std::swap(order[k - 1], order[static_cast<std::size_t>(n.Below(static_cast<int>(k)))]);
    // A tee lists its branches in another order too.
    const std::string link = "\n    <link to=";
    for (std::string& item : order) {
        const std::size_t first = item.find(link);
        if (item.find("class=\"ppTee\"") == std::string::npos || first == std::string::npos) continue;
        const std::size_t end = item.rfind("\n  </item>");
        std::vector<std::string> links;
        for (std::size_t at = first; at < end;) {
            const std::size_t next = std::min(item.find(link, at + 1), end);
            links.push_back(item.substr(at, next - at));
            at = next;
        }
        for (std::size_t k = links.size(); k > 1; --k)
            std::swap(links[k - 1], links[static_cast<std::size_t>(n.Below(static_cast<int>(k)))]);
        std::string joined;
        for (const std::string& l : links) joined += l;
        item = item.substr(0, first) + joined + item.substr(end);
    }
    std::string out = "<?xml version=\"1.0\"?>\n<simcase version=\"1\" name=\"random\">\n";
    for (const std::string& i : order) out += i;
    return out + "</simcase>\n";
}

// The document of `seed`: the same one every time.
inline Document Generate(std::uint32_t seed, const Options& options = {}) {
    return detail::Writer(seed, options).Make();
}

}  // namespace random_case
