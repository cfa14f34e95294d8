// What a segment table writes into its stream: the value typed, the values it overrules, and the
// check that the stream then holds only what a case holds. A value taken beyond that would be
// shown, and then refuse the whole case when it is saved, losing everything typed in the session.
#include "eng/model/CaseValueLimits.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/FormWrites.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "views/case/streams/SegmentLimits.h"
#include "views/case/streams/SegmentTable.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

namespace {

namespace L = CaseValueLimits;

constexpr double EmptyValue = L::EmptyValue;

bool insideOrEmpty(double v, double low, double high) { return v == EmptyValue || (v >= low && v <= high); }

}  // namespace

// A segment's load, its heat-capacity flow rate and, with the stream's mass flow, its specific heat
// are one fact told several ways: the one typed last stands and the others follow from it. Over
// ends the user gave, the load and the rate follow each other over the segment's span; beside a
// mass flow the user gave, the rate and the specific heat follow each other; a mass flow typed
// beside specific heats the user gave carries each such segment's rate (specific heat x mass
// flow), and the rate its load over given ends. Left standing, an overruled value would be shown
// and saved beside a load the targets and designs work from, and the case would then be refused
// as disagreeing with itself. A utility's loads and rates are the targets' (no value of it gives
// way). Nor does a value a retrofit study's base holds: its mass flow, left to the user, carries
// no rate or load of the existing network.
std::vector<SegmentTable::Overruled> SegmentTable::OverruledBy(const char* name, int r) const {
    std::vector<Overruled> overruled;
    if (myStream->GetStreamKind() == 1) return overruled;
    const auto givesWay = [this](const char* n, int i) { return Given(n, i) && !myStream->IsHeldByRetrofitBase(n); };
    const std::string_view typed(name);
    if (typed == "MassFlow") {
        for (int i = 0; i < myStream->GetNumberOfSegments(); ++i) {
            if (!Given("SpecificHeat", i)) continue;
            if (givesWay("HeatCapacityFlowrate", i))
                overruled.push_back({"HeatCapacityFlowrate", i, StreamValue("HeatCapacityFlowrate", i)});
            if (givesWay("Enthalpy", i) && Given("Temperature", i) && Given("Temperature", i + 1))
                overruled.push_back({"Enthalpy", i, StreamValue("Enthalpy", i)});
        }
        return overruled;
    }
    const bool overSpan = Given("Temperature", r) && Given("Temperature", r + 1);
    const bool byMassFlow = Given("MassFlow", 0);
    const bool load = typed == "Enthalpy", rate = typed == "HeatCapacityFlowrate", specificHeat = typed == "SpecificHeat";
    const std::pair<const char*, bool> follows[] = {
        {"HeatCapacityFlowrate", (load && overSpan) || (specificHeat && byMassFlow)},
        {"Enthalpy", overSpan && (rate || (specificHeat && byMassFlow))},
        {"SpecificHeat", byMassFlow && (rate || (load && overSpan))},
    };
    for (const auto& [n, follow] : follows)
        if (follow && givesWay(n, r)) overruled.push_back({n, r, StreamValue(n, r)});
    return overruled;
}

SegmentTable::Put SegmentTable::SetOverruling(const char* name, double value, int r) {
    return PutOverruling(name, value, r, value != EmptyValue ? OverruledBy(name, r) : std::vector<Overruled>{}, r, r);
}

// The mass flow is the stream's: what it overrules may lie in any segment (see OverruledBy).
SegmentTable::Put SegmentTable::SetMassFlow(double value) {
    const std::vector<Overruled> overruled = value != EmptyValue ? OverruledBy("MassFlow", 0) : std::vector<Overruled>{};
    return PutOverruling("MassFlow", value, 0, overruled, 0, myStream->GetNumberOfSegments() - 1);
}

bool SegmentTable::Given(const char* name, int index) const {
    constexpr unsigned char kSpecified = 1;
    return myStream->GetValueStatus(name, index) == kSpecified;
}

// The typed value goes in first, so that the stream is never without a load; should an overruled
// value not give way, or a segment from `first` to `last` come out as no case holds it, everything
// is put back as it was.
SegmentTable::Put SegmentTable::PutOverruling(const char* name, double value, int index,
                                               const std::vector<Overruled>& overruled, int first, int last) {
    const bool wasGiven = Given(name, index);
    const double before = StreamValue(name, index);
    if (!myStream->SetValue(name, value, index)) return Put::Refused;
    const auto putBack = [&](std::size_t cleared) {
        while (cleared-- > 0) myStream->SetValue(overruled[cleared].name, overruled[cleared].value, overruled[cleared].index);
        myStream->SetValue(name, wasGiven ? before : EmptyValue, index);
    };
    for (std::size_t k = 0; k < overruled.size(); ++k) {
        if (myStream->SetValue(overruled[k].name, EmptyValue, overruled[k].index)) continue;
        putBack(k);
        return Put::Refused;
    }
    const int segments = myStream->GetNumberOfSegments();
    for (int i = std::max(first, 0); i <= std::min(last, segments - 1); ++i) {
        if (SegmentHolds(i)) continue;
        putBack(overruled.size());
        return Put::OutsideACase;
    }
    return Put::Done;
}

bool SegmentTable::SegmentHolds(int i) const { return segment_limits::Holds(*myStream, i); }

namespace {
// The range of a column's typed number: a rate, a specific heat, a film coefficient and the
// transport properties (from the thinnest gas to the heaviest melt) as a case holds them, a
// fouling factor a resistance of 0 or more.
struct TypedRange {
    int column;
    double low, high;
    bool lowOpen;
};
constexpr TypedRange kTypedRanges[] = {
    {1516, L::MinCp, L::MaxCp, false},
    {1011, 0.0, L::MaxSpecificHeat, true},
    {1524, L::MinH, L::MaxH, false},
    {4101, 0.0, L::MaxMagnitude, false},
    {1008, L::MinViscosity, L::MaxViscosity, false},
    {1007, L::MinConductivity, L::MaxConductivity, false},
    {1012, L::MinDensity, L::MaxDensity, false},
};
const TypedRange* typedRangeOf(int column) {
    for (const TypedRange& r : kTypedRanges)
        if (r.column == column) return &r;
    return nullptr;
}
Text fromTo(double low, double high, bool lowOpen = false) {
    return Text(lowOpen ? "a value above " : "a value from ") + MessageParameter(low) + (lowOpen ? " and up to " : " to ") +
           MessageParameter(high);
}
}  // namespace

// A typed number inside the range of its column, or the cleared cell.
bool SegmentTable::TypedInRange(int column, double value) {
    const TypedRange* r = typedRangeOf(column);
    if (!r || value == EmptyValue) return true;
    return (r->lowOpen ? value > r->low : value >= r->low) && value <= r->high;
}

// A number outside what a case holds is refused with what the cell takes, as the forms' own range
// refusals say it.
void SegmentTable::RefuseOutOfRange(const Text& takes) {
    ErrorMsg(WriteRefusal::OutOfRange,
             MessageParameters{FormatMessage(FindString(WriteRefusal::DomainTold, 0), {takes})});
}

void SegmentTable::RefuseOutOfColumnRange(int column) {
    const TypedRange* r = typedRangeOf(column);
    RefuseOutOfRange(r ? fromTo(r->low, r->high, r->lowOpen) : Text("a value a case holds"));
}

void SegmentTable::RefuseOutOfLoadRange() { RefuseOutOfRange(fromTo(L::MinDuty, L::MaxDuty)); }

// The answer to a write: taken, or refused with the stream's own key, or as out of range when a
// value it carries would lie outside what a case holds.
int SegmentTable::Answer(Put put, const char* refused) {
    if (put == Put::Done) return 1;
    if (put == Put::OutsideACase) {
        RefuseOutOfRange("a value that leaves each segment it carries a heat-capacity flow rate from " +
                         MessageParameter(L::MinCp) + " to " + MessageParameter(L::MaxCp) + " and a load from " +
                         MessageParameter(L::MinDuty) + " to " + MessageParameter(L::MaxDuty));
        return 0;
    }
    if (refused) ErrorMsg(refused);
    return 0;
}

// A segment end: typed within the temperature range, and leaving both segments it bounds as a
// case holds them.
int SegmentTable::SetPoint(int point, double value) {
    if (!insideOrEmpty(value, L::MinTemperature, L::MaxTemperature)) {
        ErrorMsg("TemperatureUpdateError");
        return 0;
    }
    return Answer(PutOverruling("Temperature", value, point, {}, point - 1, point), MessageKey("TemperatureUpdateError"));
}
