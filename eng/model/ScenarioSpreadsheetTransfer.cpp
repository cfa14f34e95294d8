// A segment table transferred from a spreadsheet fills the segments of the scenario's streams.
//
// Layout: row 1 headings, row 2 the unit of each value column, data rows from row 3. Column A
// names the stream (a row whose name is empty or "<empty>" is no data row); the consecutive rows
// of one name are its segments in order: C and D the temperatures at the segment's first and next
// point (D of a row is C of the next), E "HeatCapacityFlowrate", F "Enthalpy", H "CHTCoeff",
// J "MassFlow", K "SpecificHeat", L the DTmin-contribution scope ("Global" takes the scenario's
// DTmin, else M is a local contribution). Column AM is not read. Each value is converted from the
// unit named in its column's unit cell (an empty unit cell: the engine's unit).
//
// The whole table is checked before anything is written: a unit that is not known, a value that
// is not a number, a missing temperature, rows of a stream that do not join or that come apart
// refuse the table, naming the row, the cell and its text. Rows naming no stream of the scenario
// are passed over with a note.
#include "eng/model/Scenario.h"

#include "eng/extraction/IDataExtraction.h"
#include "eng/model/CaseValueLimits.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Session.h"
#include "sorvil/Sheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr double kEmpty = -32767.0;
constexpr int kFirstDataRow = 3;
constexpr int kUnitRow = 2;
// Most segments a stream holds.
constexpr int kMaxSegments = 1000;

// A value column: its letter, the value it fills and the kind of quantity of its unit.
struct Column {
    const char* letter;
    const char* value;
    int kind;
    const char* quantity;
};

// Temperatures first: every other column belongs to a segment that the temperatures make.
const Column kColumns[] = {
    {"C", "Temperature", 1, "temperature"},
    {"D", "Temperature", 1, "temperature"},
    {"E", "HeatCapacityFlowrate", 1516, "heat-capacity flow rate"},
    {"F", "Enthalpy", 6, "heat flow"},
    {"H", "CHTCoeff", 1524, "heat-transfer coefficient"},
    {"J", "MassFlow", 4, "mass flow"},
    {"K", "SpecificHeat", 1011, "specific heat"},
    {"M", "DTminContribution", 1517, "temperature difference"},
};
constexpr std::size_t kColumnCount = sizeof kColumns / sizeof kColumns[0];
enum ColumnIndex { ColC, ColD, ColE, ColF, ColH, ColJ, ColK, ColM };

// Per-segment values that a transfer replaces as a whole.
const char* const kSegmentValues[] = {"HeatCapacityFlowrate", "Enthalpy", "CHTCoeff", "HTCoeff", "SpecificHeat"};

struct Row {
    int number = 0;
    double values[kColumnCount] = {};
    // Which cells held a number: a sheet's -32767 is a number like any other, not the engine's
    // empty marker.
    bool given[kColumnCount] = {};
    bool globalScope = false;
};

// Why a row's values lie outside what a case holds (the ranges of a stream table), or null.
const char* outsideCaseRange(const Row& row) {
    using namespace CaseValueLimits;
    // -32767 is the engine's empty value: typed into a sheet it would be stored as nothing, and a
    // load read as nothing makes a 0 kW stream.
    for (std::size_t c = 0; c < kColumnCount; ++c)
        if (row.given[c] && row.values[c] == kEmpty) return "the number -32767, which a case holds as empty";
    for (std::size_t c : {ColC, ColD})
        if (!(row.values[c] >= MinTemperature && row.values[c] <= MaxTemperature))
            return "a temperature outside -273.15 to 5000 C";
    if (row.values[ColC] == row.values[ColD]) return "a segment whose two temperatures are equal";
    const double cp = row.values[ColE];
    if (row.given[ColE] && !(cp >= MinCp && cp <= MaxCp)) return "a heat-capacity flow rate outside 0.001 to 1e9 kW/C";
    const double load = row.values[ColF];
    if (row.given[ColF] && !(std::fabs(load) >= MinDuty && std::fabs(load) <= MaxDuty))
        return "a heat flow outside 0.001 to 1e12 kW";
    const double h = row.values[ColH];
    if (row.given[ColH] && !(h >= MinH && h <= MaxH)) return "a heat-transfer coefficient outside 0.001 to 1e6 kW/(m2.C)";
    for (std::size_t c : {ColJ, ColK})
        if (row.given[c] && !(row.values[c] > 0.0 && std::isfinite(row.values[c])))
            return c == ColJ ? "a mass flow that is not above 0" : "a specific heat that is not above 0";
    const double contribution = row.values[ColM];
    if (row.given[ColM] && !(contribution >= 0.0 && contribution <= MaxTemperature - MinTemperature))
        return "a DTmin contribution outside 0 to the temperature span";
    return nullptr;
}

// A number to seven figures, as the sheet's own values are read back to the user.
std::string figures(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", value);
    return text;
}

struct Run {
    CPString name;
    IHeatIntegrationStream* stream = nullptr;
    std::vector<Row> rows;
};

bool isMarkerEmpty(const CPString& text) {
    std::size_t a = 0, b = text.size();
    while (a < b && (text[a] == ' ' || text[a] == '\t')) ++a;
    while (b > a && (text[b - 1] == ' ' || text[b - 1] == '\t')) --b;
    return a == b || text.compare(a, b - a, "<empty>") == 0;
}

// User text in a message: cut short, without control characters.
std::string quoted(const CPString& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == 40) {
            out += "...";
            break;
        }
        const char c = text[i];
        out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return out + "\"";
}

std::string cell(const char* letter, int row) { return std::string(letter) + std::to_string(row); }

}  // namespace

void CPIScenario::TransferSegmentTable(ITransferredTable& table) {
    // ---- units ----
    UnitConversion units[kColumnCount];
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        const std::string address = cell(kColumns[c].letter, kUnitRow);
        const CPString text = table.GetCellText(address);
        if (isMarkerEmpty(text)) continue;  // the engine's own unit
        CPString name = text;
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
        while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.erase(0, 1);
        if (!get_unit(kColumns[c].kind, name, DefaultUnits, units[c])) {
            table.ReportRefusal("row 2, cell " + address + ": " + quoted(text) + " is not a unit of " +
                                kColumns[c].quantity);
            return;
        }
    }

    // ---- rows, checked whole ----
    std::vector<Run> runs;
    std::unordered_map<std::string, int> firstRowOf;
    const int rows = table.GetNumberOfRows();
    for (int r = kFirstDataRow; r <= rows; ++r) {
        const CPString name = table.GetCellText(cell("A", r));
        if (isMarkerEmpty(name)) continue;
        Row row;
        row.number = r;
        for (std::size_t c = 0; c < kColumnCount; ++c) {
            const std::string address = cell(kColumns[c].letter, r);
            const CPString text = table.GetCellText(address);
            double value = kEmpty;
            if (!isMarkerEmpty(text)) {
                if (!Sheet::ParseNumber(text, value)) {
                    table.ReportRefusal("row " + std::to_string(r) + ", cell " + address + ": " + quoted(text) +
                                        " is not a number");
                    return;
                }
                value = calc_unit(value, units[c]);
                row.given[c] = true;
            } else if (c == ColC || c == ColD) {
                table.ReportRefusal("row " + std::to_string(r) + ", cell " + address + ": " + quoted(text) +
                                    " gives no temperature; every segment row needs both");
                return;
            }
            row.values[c] = value;
        }
        row.globalScope = table.GetCellText(cell("L", r)) == "Global";
        if (runs.empty() || runs.back().name != name) {
            auto [at, fresh] = firstRowOf.emplace(name, r);
            if (!fresh) {
                table.ReportRefusal("row " + std::to_string(r) + ", cell A" + std::to_string(r) + ": stream " +
                                    quoted(name) + " comes again after other streams (its rows start at row " +
                                    std::to_string(at->second) + " and must follow each other)");
                return;
            }
            runs.push_back(Run{name, nullptr, {}});
        }
        Run& run = runs.back();
        if (!run.rows.empty()) {
            const Row& before = run.rows.back();
            const double end = before.values[ColD], start = row.values[ColC];
            // A stream runs one way: a segment that turns back would leave it half-written.
            const Row& first = run.rows.front();
            if ((first.values[ColD] < first.values[ColC]) != (row.values[ColD] < row.values[ColC])) {
                table.ReportRefusal("row " + std::to_string(r) + ": stream " + quoted(name) +
                                    " turns back (its segments must all run from supply to target one way)");
                return;
            }
            if (std::fabs(end - start) > 1e-9 * std::max(1.0, std::fabs(end))) {
                table.ReportRefusal("row " + std::to_string(r) + ", cell C" + std::to_string(r) + ": " +
                                    quoted(table.GetCellText(cell("C", r))) + " does not join cell D" +
                                    std::to_string(before.number) + " (" +
                                    quoted(table.GetCellText(cell("D", before.number))) + ") of the row above");
                return;
            }
        }
        if (static_cast<int>(run.rows.size()) >= kMaxSegments) {
            table.ReportRefusal("row " + std::to_string(r) + ", cell A" + std::to_string(r) + ": stream " +
                                quoted(name) + " has more than " + std::to_string(kMaxSegments) + " segments");
            return;
        }
        run.rows.push_back(row);
    }
    for (Run& run : runs) {
        IHeatIntegrationStream* stream = nullptr;
        if (GetStream(run.name, stream) && stream) {
            run.stream = stream;
        } else {
            table.ReportNote("row " + std::to_string(run.rows.front().number) + ": no stream is named " +
                             quoted(run.name) + "; its rows were not read");
        }
    }

    if (runs.empty()) {
        table.ReportRefusal("the sheet holds no segment rows (data rows start at row " + std::to_string(kFirstDataRow) +
                            ")");
        return;
    }

    // What a stream table would refuse is refused here, before anything is written (rows of no
    // stream are passed over whole).
    for (const Run& run : runs)
        for (const Row& row : run.rows)
            if (const char* why = run.stream ? outsideCaseRange(row) : nullptr) {
                table.ReportRefusal("row " + std::to_string(row.number) + ": " + why);
                return;
            } else if (run.stream && row.given[ColE] && row.given[ColF]) {
                // A row may give both its cp and its heat flow, as a simulator's sheet does; they must
                // tell one story. Sheets carry their numbers to a few figures, so only a difference
                // beyond a thousandth of the load is a contradiction.
                const double fromCp = row.values[ColE] * std::fabs(row.values[ColD] - row.values[ColC]);
                const double load = std::fabs(row.values[ColF]);
                if (std::fabs(fromCp - load) > 1e-3 * std::max(fromCp, load)) {
                    table.ReportRefusal("row " + std::to_string(row.number) + ": cp " + figures(row.values[ColE]) +
                                        " and heat flow " + figures(load) + " disagree: cp x " +
                                        figures(std::fabs(row.values[ColD] - row.values[ColC])) + " C is " +
                                        figures(fromCp) + " kW");
                    return;
                }
            }
    // A sheet fills the segments of the streams there are: a hot stream stays hot and a cold one
    // cold, and a process stream's segment carries heat (its cp or its heat flow), as every
    // segment of a stream table does.
    for (const Run& run : runs) {
        if (!run.stream) continue;
        const Row& first = run.rows.front();
        const int side = run.stream->GetHotCold();
        const bool cools = first.values[ColD] < first.values[ColC];
        if ((side == 0 && !cools) || (side == 1 && cools)) {
            table.ReportRefusal("row " + std::to_string(first.number) + ": stream " + quoted(run.name) + " is " +
                                (side == 0 ? "hot" : "cold") + ", but the row runs from " +
                                quoted(table.GetCellText(cell("C", first.number))) + " to " +
                                quoted(table.GetCellText(cell("D", first.number))) + " (a " +
                                (side == 0 ? "cold" : "hot") + " stream's way)");
            return;
        }
        if (run.stream->GetStreamKind() == 1) continue;
        for (const Row& row : run.rows)
            if (!row.given[ColE] && !row.given[ColF]) {
                table.ReportRefusal("row " + std::to_string(row.number) + ": stream " + quoted(run.name) +
                                    " is a process stream, and the row gives neither its heat-capacity flow rate "
                                    "(E) nor its heat flow (F)");
                return;
            }
    }

    // ---- writes ----
    SetSuppressTargetUpdate(true);
    SuspendCalculations();
    for (const Run& run : runs) {
        IHeatIntegrationStream* s = run.stream;
        if (!s) continue;
        const int n = static_cast<int>(run.rows.size());
        // Count first, so that every value lands on its final segment.
        // A sheet whose column H is empty for the stream gives no film coefficient: the stream
        // keeps the one it was given (one for the whole stream, as a stream table gives it, or a
        // clean one); one that differed by segment goes to the default, and the report says so.
        bool givesH = false;
        for (const Row& row : run.rows) givesH = givesH || row.given[ColH];
        const char* keptName = nullptr;
        double keptH = kEmpty;
        bool hDiffered = false;
        for (const char* name : {"HTCoeff", "CHTCoeff"}) {
            if (givesH || keptName) break;
            double first = kEmpty;
            bool same = s->GetNumberOfSegments() > 0, given = false;
            for (int i = 0; i < s->GetNumberOfSegments() && same; ++i) {
                double h = kEmpty;
                const bool specified = s->GetValueStatus(name, i) == 1 && s->GetValue(name, h, i) == 1 && h != kEmpty;
                given = given || specified;
                if (!specified || (i > 0 && h != first)) same = false;
                if (i == 0) first = h;
            }
            if (same) {
                keptName = name;
                keptH = first;
            } else if (given) {
                hDiffered = true;
            }
        }
        if (keptName) hDiffered = false;
        for (int count = s->GetNumberOfSegments(); count > n; --count) s->DeleteSegment(count);
        for (int count = s->GetNumberOfSegments(); count < n; ++count) s->InsertSegment(0);
        bool refused = s->GetNumberOfSegments() != n;
        for (int i = 0; i < n; ++i)
            for (const char* value : kSegmentValues) s->SetValue(value, kEmpty, i);
        refused = refused || s->SetValue("Temperature", run.rows.front().values[ColC], 0) != 1;
        // A cold stream keeps its segment enthalpies negative (as a load typed into its segment
        // table is kept): the sheet's load, a positive heat flow, is stored so.
        const bool heated = run.rows.front().values[ColD] > run.rows.front().values[ColC];
        for (int i = 0; i < n && !refused; ++i) {
            const Row& row = run.rows[static_cast<std::size_t>(i)];
            refused = s->SetValue("Temperature", row.values[ColD], i + 1) != 1;
            for (std::size_t c : {ColE, ColF, ColH, ColK}) {
                if (refused || !row.given[c]) continue;
                const double v = c == ColF && heated ? -std::fabs(row.values[c]) : row.values[c];
                refused = s->SetValue(kColumns[c].value, v, i) != 1;
            }
            if (!refused && keptName) refused = s->SetValue(keptName, keptH, i) != 1;
        }
        if (!refused && hDiffered)
            table.ReportWarning("stream " + quoted(run.name) + " (row " + std::to_string(run.rows.front().number) +
                                "): column H gives no film coefficient and the stream's own differed by segment; "
                                "its segments take the default");
        if (refused) {
            table.ReportWarning("stream " + quoted(run.name) + " (row " + std::to_string(run.rows.front().number) +
                                ") did not take all its segment values");
            continue;
        }
        for (const Row& row : run.rows)
            if (row.given[ColJ]) {
                s->SetValue("MassFlow", row.values[ColJ], 0);
                break;
            }
        // The DTmin contribution belongs to the stream: its first row says it.
        const Row& first = run.rows.front();
        int accepted = 1;
        if (first.globalScope) accepted = s->SetDTminContribution(GetDTmin(), "Global", 0, 1);
        else if (first.given[ColM]) accepted = s->SetDTminContribution(first.values[ColM], "Local", 0, 1);
        if (accepted != 1) {
            ErrorMsg("DeltaTcUpdateError", run.name);
            table.ReportWarning("row " + std::to_string(first.number) + ": stream " + quoted(run.name) +
                                " refused its DTmin contribution (DeltaTcUpdateError)");
        }
    }
    SetSuppressTargetUpdate(false);
    ResumeCalculations(true);
}
