#include "host/ScenarioInput.h"
#include "host/CaseContentChecks.h"

#include "eng/model/CaseValueLimits.h"
#include "eng/model/UtilityPrice.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "brasko/DefaultUtilityTypes.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/OutputText.h"
#include "lumeth/NewRowMarker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace {
constexpr double kEmpty = -32767.0;
// Utility prices arrive per kW and year; the engine holds them per kW and second.
constexpr double kPerYearToPerSecond = CaseValueLimits::PerYearToPerSecond;

std::string shortNumber(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

std::string at(const StreamTableStream& s, int line, const std::string& what) {
    return "line " + std::to_string(line) + ": stream " + QuotedField(s.name) + " " + what;
}

bool setValue(IHeatIntegrationStream& stream, const char* name, double value, int index) {
    return stream.SetValue(name, value, index) == 1;
}

// One value of a row, with what to say when the stream refuses it.
struct RowValue {
    StreamValueSetting setting;
    int line;
    std::string refusal;
};

// The values of the row's segments in the order the stream takes them: the supply temperature,
// then for each segment its target temperature, heat-capacity flow rate, film coefficient and
// properties.
bool rowValues(const StreamTableStream& s, std::vector<RowValue>& values, std::string& error) {
    const auto& segs = s.segments;
    values.push_back({{"Temperature", segs.front().supply, 0}, segs.front().line, "refused its supply temperature"});
    for (std::size_t i = 0; i < segs.size(); ++i) {
        const StreamTableSegment& seg = segs[i];
        const int index = static_cast<int>(i);
        values.push_back({{"Temperature", seg.target, index + 1}, seg.line, "refused its target temperature"});
        double cp = seg.cp;
        if (cp == kEmpty && seg.duty != kEmpty) {
            double span = std::fabs(seg.supply - seg.target);
            if (span <= 0.0) {
                error = at(s, seg.line, "has a duty over no temperature change");
                return false;
            }
            cp = std::fabs(seg.duty) / span;
        }
        if (cp != kEmpty) values.push_back({{"HeatCapacityFlowrate", cp, index}, seg.line, "refused its heat-capacity flow rate"});
        // The table's h is the segment's film coefficient as the forms take it: the clean one,
        // from which the coefficient in use follows with the fouling (none until one is typed).
        if (seg.h != kEmpty) values.push_back({{"CHTCoeff", seg.h, index}, seg.line, "refused its film coefficient"});
        // The table's units are the engine's: W/(m.C), cP, kg/m3, kJ/(kg.C).
        const std::pair<const char*, double> properties[] = {{"ThermalConductivity", seg.thermalConductivity},
                                                             {"Viscosity", seg.viscosity},
                                                             {"MassDensity", seg.density},
                                                             {"SpecificHeat", seg.specificHeat}};
        for (const auto& [property, value] : properties)
            if (value != kEmpty) values.push_back({{property, value, index}, seg.line, std::string("refused its ") + property});
    }
    return true;
}

bool fillSegments(IHeatIntegrationStream& stream, const StreamTableStream& s, std::string& error) {
    const auto& segs = s.segments;
    // A utility named after a default utility arrives with the default's specific heat on its one
    // segment; the rows that cut it are the same fluid, so each of its segments takes it (the
    // table gives a utility no specific heat of its own), and the load spreads over them by it.
    double utilitySpecificHeat = kEmpty;
    if (s.utility && segs.size() > 1 && stream.GetValue("SpecificHeat", utilitySpecificHeat, 0) != 1)
        utilitySpecificHeat = kEmpty;
    for (std::size_t i = 1; i < segs.size(); ++i) {
        if (std::fabs(segs[i].supply - segs[i - 1].target) > 1e-9) {
            error = at(s, segs[i].line, "has a segment that does not start where the previous one ends");
            return false;
        }
        if (stream.InsertSegment(0) != 1) {
            error = at(s, segs[i].line, "could not take another segment");
            return false;
        }
    }
    std::vector<RowValue> values;
    if (!rowValues(s, values, error)) return false;
    if (utilitySpecificHeat != kEmpty)
        for (std::size_t i = 0; i < segs.size(); ++i)
            values.push_back({{"SpecificHeat", utilitySpecificHeat, static_cast<int>(i)}, segs[i].line,
                              "refused its SpecificHeat"});
    // The row goes in as one batch; when the stream refuses it, the values are given again one by
    // one (those already stored take the same values once more) to find the one refused.
    std::vector<StreamValueSetting> batch;
    batch.reserve(values.size());
    for (const RowValue& v : values) batch.push_back(v.setting);
    if (stream.SetValues(batch.data(), static_cast<int>(batch.size())) != 1) {
        for (const RowValue& v : values)
            if (!setValue(stream, v.setting.name, v.setting.value, v.setting.index)) {
                error = at(s, v.line, v.refusal);
                return false;
            }
    }
    const StreamTableSegment& first = segs.front();
    // The column is the approach the stream asks for, as the DTmin is one and as the stream tables
    // of the views and the spreadsheet transfer take it: two streams of contribution 10 meet at
    // 10 K, each shifted by half of it.
    if (first.dtminContribution != kEmpty &&
        stream.SetDTminContribution(first.dtminContribution, "Local", 0, 1) != 1) {
        error = at(s, first.line, "refused its DTmin contribution");
        return false;
    }
    // The rule of every table that types a price, on every row of the stream: below 0 only for a
    // utility that earns a credit, as one made from a generation utility of the default set does.
    for (const StreamTableSegment& seg : segs)
        if (seg.cost != kEmpty &&
            !CaseValueLimits::UtilityPriceTaken(seg.cost * kPerYearToPerSecond, s.utility && stream.EarnsCredit())) {
            error = at(s, seg.line,
                       "column cost: " + std::string(s.utility ? "a utility bought" : "a process stream") +
                           " cannot take a negative cost (got " + shortNumber(seg.cost) +
                           "); only a utility that earns a credit, as a generation utility of the default set does, "
                           "takes one");
            return false;
        }
    if (first.cost != kEmpty) {
        stream.SetCostIndex(first.cost * kPerYearToPerSecond);
    }
    return true;
}
// The approach a name-only utility row takes: its own dtmin_contribution when given, otherwise
// the default utility's (a negative one counting as 0); none when the default has none.
bool applyDefaultApproach(IHeatIntegrationStream& stream, const StreamTableStream& s, IDefaultUtilityManager& defaults,
                          std::string& error) {
    const StreamTableSegment& first = s.segments.front();
    double contribution = first.dtminContribution;
    if (contribution == kEmpty) {
        contribution = defaults.GetValue(s.name.c_str(), DUP_DTminContribution);
        if (contribution == kEmpty || !std::isfinite(contribution)) return true;
        contribution = std::max(0.0, contribution);
    }
    if (stream.SetDTminContribution(contribution, "Local", 0, 1) != 1) {
        error = at(s, first.line, "refused its DTmin contribution");
        return false;
    }
    return true;
}
}  // namespace

bool FillScenario(IHeatIntegrationScenario& scenario, const StreamTable& table, std::string& error) {
    scenario.SuspendCalculations();
    bool ok = true;
    for (const StreamTableStream& s : table.streams) {
        const int line = s.segments.empty() ? 0 : s.segments.front().line;
        IDefaultUtilityManager* defaults = nullptr;
        if (scenario.GetDefaultUtilityManager(defaults) != 1) defaults = nullptr;
        const bool defaultUtilityName = defaults && defaults->Exists(s.name.c_str());
        if (s.utility && s.NameOnly() && !defaultUtilityName) {
            // The names it could have meant, so that a misspelt one is seen at once.
            std::string names;
            for (int i = 0; defaults && i < defaults->GetNumberOfDefaultUtilities(); ++i)
                if (const char* name = defaults->GetDefaultUtilityName(i))
                    names += (names.empty() ? "" : ", ") + PrintableText(name, 40);
            error = at(s, line, "names no default utility; give its temperatures, h and cost" +
                                    (names.empty() ? std::string() : " (the default utilities: " + names + ")"));
            ok = false;
            break;
        }
        if (scenario.AddStream(s.name.c_str(), s.utility ? 1 : 0) != 1) {
            // A process stream may not take the name of a default utility: the scenario keeps
            // those names for its utilities.
            error = at(s, line,
                       IsNewRowMarker(s.name.c_str())
                           ? "is named as the tables' new-row marker " + QuotedField(kNewRowMarker) +
                                 ", which no stream may bear (in any letter case); give it another name"
                       : !s.utility && defaultUtilityName
                           ? "has the name of a default utility; give the process stream another name (or mark "
                             "the row kind utility to take that utility)"
                           : "was refused by the scenario (is the name taken?)");
            ok = false;
            break;
        }
        // The stream just added is the last of the scenario's list: taken from there when it
        // bears the name (found by the name otherwise), where a look-up in 100,000 names missed
        // the cache at each.
        IHeatIntegrationStream* stream = nullptr;
        const int last = scenario.GetNumberOfProcessStreams() + scenario.GetNumberOfUtilityStreams() - 1;
        if (!scenario.GetStream(last, stream) || !stream || static_cast<const std::string&>(stream->GetName()) != s.name)
            stream = nullptr;
        if (!stream && (!scenario.GetStream(s.name.c_str(), stream) || !stream)) {
            error = at(s, line, "could not be found after it was added");
            ok = false;
            break;
        }
        // A utility named after a default utility takes everything from it, the approach it asks
        // for included (as `info` lists it), unless the row gives one of its own.
        if (s.utility && s.NameOnly()) {
            if (!applyDefaultApproach(*stream, s, *defaults, error)) {
                ok = false;
                break;
            }
            continue;
        }
        if (!fillSegments(*stream, s, error)) {
            ok = false;
            break;
        }
    }
    scenario.ResumeCalculations(ok);
    return ok;
}

bool LoadInputFile(HostSession& session, const std::string& file, std::string& error, bool& held,
                   const HostSession::CaseMore* more) {
    held = false;
    if (IsCaseFile(file)) {
        if (!(more ? session.RecallCase(file, error, *more) : session.RecallCase(file, error))) return false;
        // A checksum guards the bytes on their way, not values that a file was written with: what
        // the case holds must lie where a stream table's values must.
        for (int i = 0; IHeatIntegrationScenario* scenario = session.ScenarioAt(i); ++i)
            if (!CheckCaseContent(*scenario, error)) {
                error = file + ": the case file is damaged: " + error;
                return false;
            }
        return true;
    }
    StreamTable table;
    if (!ReadStreamTableFile(file, table, error)) return false;
    IHeatIntegrationScenario* scenario = session.NewScenario("base", error);
    if (!scenario) return false;
    scenario->SuspendCalculations();
    held = true;
    if (!FillScenario(*scenario, table, error)) {
        error = file + ": " + error;
        return false;
    }
    return true;
}
