#include "host/NetworkBuild.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/ModuleLoader.h"
#include "host/OutputText.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

const char* const kReason = "from the exchanger table";

std::string at(const NetworkRow& row) { return AtLine(row.line); }

std::string streamName(const IHeatIntegrationStream* s) { return s->GetName().c_str(); }

using MessageLookupFn = int (*)(const char*, char*, int);

std::string reasonText(ModuleLoader& module, const char* key) {
    std::string text = key ? key : "refused";
    while (!text.empty() && text.back() == ' ') text.pop_back();
    auto find = reinterpret_cast<MessageLookupFn>(module.Entry("KestrinFindString"));
    if (find && key) {
        std::vector<char> buffer(1024);
        if (find(key, buffer.data(), static_cast<int>(buffer.size())) == 1 && buffer[0] != '\0')
            text += " (" + std::string(buffer.data()) + ")";
    }
    return text;
}

// What the design reads of a stream, as numbers to order by: kind, side, supply and target, then
// each run of segments alike in rate and film coefficient (its far end, rate and coefficient), so
// that a stream cut where nothing changes keys as the whole stream. Linear in the segments.
std::vector<double> StreamDataKey(const IHeatIntegrationStream& s) {
    std::vector<double> key{static_cast<double>(s.GetStreamKind()), static_cast<double>(s.GetHotCold()),
                            s.GetSupplyTemperature(), s.GetTargetTemperature()};
    const std::size_t head = key.size();
    for (int k = 0; k < s.GetNumberOfSegments(); ++k) {
        double to = 0.0, h = 0.0;
        s.GetValue("Temperature", to, k + 1);
        if (s.GetValue("HTCoeff", h, k) != 1) h = 0.0;
        const double cp = s.GetSegmentHeatCapacityFlowrate(k);
        if (key.size() > head && key[key.size() - 2] == cp && key.back() == h)
            key[key.size() - 3] = to;
        else
            key.insert(key.end(), {to, cp, h});
    }
    return key;
}

// Names compared regardless of letter case, then as written: -1, 0 or 1.
int CompareNames(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int x = std::tolower(static_cast<unsigned char>(a[i])), y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int asWritten = a.compare(b);
    return asWritten < 0 ? -1 : asWritten > 0 ? 1 : 0;
}

// Builds the rows on the design in one batch. Along a process stream a place holds one row (a
// unit in series) or several (one branch each of a splitter-mixer, made when the first of them
// is placed; the branches in an order the plant gives, names last).
class NetworkBuilder {
public:
    NetworkBuilder(ModuleLoader& module, IHENDesign& design, const std::vector<Placement>& placed)
        : m_module(module), m_design(design), m_placed(placed), m_units(placed.size(), nullptr),
          m_done(placed.size(), false) {
        for (std::size_t i = 0; i < placed.size(); ++i)
            for (const Side* side : {&placed[i].hot, &placed[i].cold})
                if (!side->utility) {
                    m_streams[side->stream].rows[side->order].push_back(i);
                    if (!isUtilityRow(i)) {
                        int& last = m_streams[side->stream].lastProcessPlace;
                        last = std::max(last, side->order);
                    }
                }
        // The branches of a split go in an order the plant gives, whichever row the table gives
        // first or however the units are named: the branch that carries the most heat first, then
        // by the stream each branch's unit joins (its data) and its place there; a name, regardless
        // of letter case first, only between branches alike in all of that. One plant is one
        // network. Each branch's share of the flow follows from its own duty afterwards, so the
        // order decides only where a branch sits, never what it carries.
        std::unordered_map<const IHeatIntegrationStream*, std::vector<double>> streamKey;
        auto keyOf = [&streamKey](const IHeatIntegrationStream* s) -> const std::vector<double>& {
            auto [at, made] = streamKey.try_emplace(s);
            if (made && s) at->second = StreamDataKey(*s);
            return at->second;
        };
        for (auto& [stream, places] : m_streams)
            for (auto& [place, rows] : places.rows) {
                if (rows.size() < 2) continue;
                std::vector<std::pair<std::vector<double>, std::size_t>> keyed;
                for (std::size_t i : rows) {
                    const Placement& p = placed[i];
                    const Side& other = p.hot.stream == stream ? p.cold : p.hot;
                    // Parallel branches give their duties (SettleOrders refuses an area there).
                    std::vector<double> key{p.row->hasDuty ? -p.row->duty : 0.0};
                    const std::vector<double>& data = keyOf(other.stream);
                    key.insert(key.end(), data.begin(), data.end());
                    key.insert(key.end(), {other.utility ? 1.0 : 0.0, static_cast<double>(other.order)});
                    keyed.emplace_back(std::move(key), i);
                }
                std::stable_sort(keyed.begin(), keyed.end(), [&placed](const auto& a, const auto& b) {
                    if (a.first != b.first) return a.first < b.first;
                    return CompareNames(placed[a.second].row->name, placed[b.second].row->name) < 0;
                });
                for (std::size_t k = 0; k < rows.size(); ++k) rows[k] = keyed[k].second;
            }
    }

    bool Run(std::string& error);

private:
    struct StreamPlaces {
        std::map<int, std::vector<std::size_t>> rows;  // place -> rows there, branches in the plant's order
        std::map<int, CNode*> splitters;               // place -> its splitter, once made
        int lastProcessPlace = 0;                      // the last place of a process exchanger
    };

    bool isUtilityRow(std::size_t i) const { return m_placed[i].hot.utility || m_placed[i].cold.utility; }
    bool metBefore(std::size_t a, std::size_t b) const;
    bool refuse(const NetworkRow& row, const std::string& what, std::string& error);
    int unitsBefore(const IHeatIntegrationStream* stream, int order) const;
    CNode* segmentFor(std::size_t i, const Side& side, std::string& why);
    void trimUtilities();

    ModuleLoader& m_module;
    IHENDesign& m_design;
    const std::vector<Placement>& m_placed;
    std::vector<CNode*> m_units;
    std::vector<bool> m_done;
    std::map<const IHeatIntegrationStream*, StreamPlaces> m_streams;
};

bool NetworkBuilder::refuse(const NetworkRow& row, const std::string& what, std::string& error) {
    error = at(row) + what;
    m_design.Activate(0);
    return false;
}

// Whether the utility of heater or cooler rows `a` and `b` meets `a` first. A utility meets the
// process outlets in order of their temperatures, whatever the table's rows say: a hot utility the
// hottest outlet first, a cold one the coldest first. A unit's outlet is taken as its stream's
// target (where the last unit of the stream leaves); of two units on one stream the later place
// leaves nearer the target and is met first. Names settle what is left.
bool NetworkBuilder::metBefore(std::size_t a, std::size_t b) const {
    auto key = [this](std::size_t i) {
        const Placement& p = m_placed[i];
        const Side& process = p.hot.utility ? p.cold : p.hot;
        // A heater's hotter outlet, a cooler's colder one, comes first.
        const double outlet = (p.hot.utility ? -1.0 : 1.0) * process.stream->GetTargetTemperature();
        return std::make_tuple(outlet, -process.order, p.row->name);
    };
    return key(a) < key(b);
}

// The units the design has already placed on the stream ahead of the side's place, counted as
// the design counts them along the chain: an exchanger in series, and for a splitter-mixer the
// splitter, the unit on its first branch and the mixer. Linear in the places of one stream, as
// the design's own walk to the segment is.
int NetworkBuilder::unitsBefore(const IHeatIntegrationStream* stream, int order) const {
    const StreamPlaces& places = m_streams.at(stream);
    int n = 0;
    for (const auto& [place, rows] : places.rows) {
        if (place >= order) break;
        if (rows.size() == 1) n += m_done[rows.front()] ? 1 : 0;
        else if (places.splitters.count(place)) n += 2 + (m_done[rows.front()] ? 1 : 0);
    }
    return n;
}

// The segment where a row's side goes: a utility's own first segment, the segment after the
// units placed nearer the supply end of a process stream, or the row's own branch of the
// splitter-mixer at a shared place.
CNode* NetworkBuilder::segmentFor(std::size_t i, const Side& side, std::string& why) {
    const CPString name = side.stream->GetName();
    if (side.utility) {
        // After the units already on the utility that it meets first: the rows' order never
        // decides the utility's chain. One pass over the rows per heater or cooler row: quadratic
        // only in the heaters and coolers a table names, a handful in any table.
        int before = 0;
        for (std::size_t j = 0; j < m_placed.size(); ++j) {
            if (j == i || !m_done[j] || !isUtilityRow(j)) continue;
            const Side& other = m_placed[j].hot.utility ? m_placed[j].hot : m_placed[j].cold;
            if (other.stream == side.stream && metBefore(j, i)) ++before;
        }
        return m_design.GetStreamSegment(name, before);
    }
    StreamPlaces& places = m_streams[side.stream];
    const std::vector<std::size_t>& group = places.rows[side.order];
    if (group.size() == 1) return m_design.GetStreamSegment(name, unitsBefore(side.stream, side.order));
    auto made = places.splitters.find(side.order);
    if (made == places.splitters.end()) {
        CNode* segment = m_design.GetStreamSegment(name, unitsBefore(side.stream, side.order));
        CNode* splitter = nullptr;
        if (!segment ||
            !m_design.AddSplitterMixer(segment, segment, splitter, kReason, static_cast<int>(group.size())) ||
            !splitter) {
            why = "the design refused a splitter-mixer on " + QuotedField(name.c_str()) + " for " +
                  QuotedField(m_placed[i].row->name);
            return nullptr;
        }
        made = places.splitters.emplace(side.order, splitter).first;
    }
    const auto branch = std::find(group.begin(), group.end(), i) - group.begin();
    return m_design.GetSplitterBranch(made->second, static_cast<int>(branch));
}

// The utilities the edits placed at the ports of the process exchangers go, except the one at
// the end of each process stream, which carries what the rows leave of the stream's load. On a
// branch this leaves the exchanger alone between splitter and mixer.
void NetworkBuilder::trimUtilities() {
    std::vector<std::pair<CNode*, int>> ports;
    for (std::size_t i = 0; i < m_placed.size(); ++i) {
        if (!m_units[i] || isUtilityRow(i)) continue;
        for (int port = 0; port < 4; ++port) {
            const Side& s = port < 2 ? m_placed[i].hot : m_placed[i].cold;
            const bool outlet = port == 1 || port == 3;
            if (outlet && s.order >= m_streams[s.stream].lastProcessPlace) continue;
            ports.emplace_back(m_units[i], port);
        }
    }
    m_design.RemoveUtilitiesAtPorts(ports);
}

// The process exchangers go first, each stream keeping only the utility at its end, then the
// heaters and coolers, which take the place of that end utility; the design then adds the
// utilities still missing, takes the split fractions from the branch duties and recalculates
// once.
bool NetworkBuilder::Run(std::string& error) {
    m_design.Deactivate();
    // Cold streams are built from their supply ends onwards (a cold side that goes in before a
    // unit already placed on its stream does not take that unit's inlet over); heaters and
    // coolers after every process exchanger.
    std::vector<std::size_t> sequence(m_placed.size());
    for (std::size_t i = 0; i < m_placed.size(); ++i) sequence[i] = i;
    std::stable_sort(sequence.begin(), sequence.end(), [&](std::size_t a, std::size_t b) {
        if (isUtilityRow(a) != isUtilityRow(b)) return isUtilityRow(b);
        const int ka = m_placed[a].cold.utility ? 1 << 30 : m_placed[a].cold.order;
        const int kb = m_placed[b].cold.utility ? 1 << 30 : m_placed[b].cold.order;
        return ka < kb;
    });
    bool utilitiesTrimmed = false;
    for (std::size_t i : sequence) {
        const Placement& p = m_placed[i];
        if (isUtilityRow(i) && !utilitiesTrimmed) {
            trimUtilities();
            utilitiesTrimmed = true;
        }
        std::string why;
        CNode* hot = segmentFor(i, p.hot, why);
        CNode* cold = hot ? segmentFor(i, p.cold, why) : nullptr;
        if (!why.empty()) return refuse(*p.row, why, error);
        if (!hot || !cold) return refuse(*p.row, "the design has no place for " + QuotedField(p.row->name), error);
        if (const char* reason = m_design.CheckStreamMatch(hot, cold))
            return refuse(*p.row, "the design refused " + QuotedField(p.row->name) + ": " + reasonText(m_module, reason),
                          error);
        const char* kind = p.row->shellAndTube ? NodeKind::HeatExchanger : NodeKind::CountercurrentHX;
        CNode* unit = m_design.AddHeatExchanger(hot, cold, kReason, kind, p.row->name.c_str());
        if (!unit) return refuse(*p.row, "the design refused to add " + QuotedField(p.row->name), error);
        m_units[i] = unit;
        m_done[i] = true;
        const bool specified =
            m_design.SpecifyExchangerValue(unit, NodeValue::HXType, p.row->shellAndTube ? 1.0 : 0.0) &&
            (p.row->hasDuty ? m_design.SpecifyExchangerValue(unit, NodeValue::Duty, p.row->duty)
                            : m_design.SpecifyExchangerValue(unit, NodeValue::HTArea, p.row->area)) &&
            (p.row->shells == 0 || m_design.SpecifyExchangerValue(unit, NodeValue::NShellsInSeries, p.row->shells));
        if (!specified)
            return refuse(*p.row, "the design refused the duty, area, type or shells given for " + QuotedField(p.row->name),
                          error);
        // A heater or cooler carries the end load itself: the utilities beside it go.
        if (isUtilityRow(i)) m_design.RemoveUtilitiesAtPorts({{unit, 0}, {unit, 1}, {unit, 2}, {unit, 3}});
    }
    if (!utilitiesTrimmed) trimUtilities();
    m_design.AddMissingUtilities();
    m_design.AddUtilitiesAtStreamEnds();
    m_design.SetSplitFractionsFromDuties();
    m_design.SetSplitFractionsFromBranchDuties();
    m_design.UpdateStreamTerminals();
    // Every exchanger is judged against the scenario's DTmin.
    if (IHeatIntegrationScenario* scenario = m_design.GetScenario()) m_design.SetDTMin(scenario->GetDTmin());
    m_design.ApplyDTMinToAllExchangers();
    m_design.Activate(1);
    // A shell-and-tube unit given by its area alone gets its shells before the ends are closed
    // from the loads the network calculates.
    if (const std::string unsettled = m_design.SettleShellCountsOfGivenAreas(); !unsettled.empty()) {
        error = "the shells in series of " + unsettled + " do not settle on one count: give them in a shells column";
        return false;
    }
    // What the rows leave of a stream's load goes to a heater or cooler at its end, and a stream
    // the rows settle ends without a utility: the design finishes the ends from the loads it has
    // just calculated.
    m_design.CloseStreamEnds(kReason);
    return true;
}

}  // namespace

bool SettleOrders(std::vector<Placement>& placed, std::string& error) {
    std::map<const IHeatIntegrationStream*, std::vector<Side*>> byStream;
    std::map<const Side*, const NetworkRow*> rowOf;
    for (Placement& p : placed)
        for (Side* side : {&p.hot, &p.cold})
            if (!side->utility) {
                byStream[side->stream].push_back(side);
                rowOf[side] = p.row;
            }
    for (auto& [stream, sides] : byStream) {
        const bool anyGiven = std::any_of(sides.begin(), sides.end(), [](const Side* s) { return s->order > 0; });
        const std::string name = streamName(stream);
        const char* column = stream->GetHotCold() == 0 ? "hot_order" : "cold_order";
        for (std::size_t i = 0; i < sides.size(); ++i) {
            if (!anyGiven) sides[i]->order = static_cast<int>(i) + 1;
            else if (sides[i]->order == 0) {
                error = at(*rowOf[sides[i]]) + QuotedField(rowOf[sides[i]]->name) + " has no " + column + " on " +
                        QuotedField(name) + ", where other exchangers have one";
                return false;
            }
        }
        std::vector<Side*> sorted = sides;
        std::stable_sort(sorted.begin(), sorted.end(), [](const Side* a, const Side* b) { return a->order < b->order; });
        int expected = 1;
        const Side* first = nullptr;  // the first row at the current place
        for (const Side* s : sorted) {
            if (s->order == expected - 1) {
                // A parallel branch of the place before: its share of the flow follows from its
                // duty, which an area leaves open until the network is calculated.
                for (const Side* branch : {first, s})
                    if (rowOf[branch]->hasArea) {
                        const Side* other = branch == first ? s : first;
                        error = at(*rowOf[branch]) + QuotedField(rowOf[branch]->name) + " shares its place on " +
                                QuotedField(name) + " with " + QuotedField(rowOf[other]->name) +
                                ": exchangers on parallel branches give their duty, from which the split fractions "
                                "follow, not an area";
                        return false;
                    }
                continue;
            }
            if (s->order != expected) {
                error = at(*rowOf[s]) + column + " " + std::to_string(s->order) + " on " + QuotedField(name) +
                        " leaves a gap: no exchanger has " + std::to_string(expected);
                return false;
            }
            first = s;
            ++expected;
        }
    }
    return true;
}

bool BuildNetwork(ModuleLoader& module, IHENDesign& design, const std::vector<Placement>& placed, std::string& error) {
    return NetworkBuilder(module, design, placed).Run(error);
}
