// The scenario viewer's text dispatcher and the words of its stream and utility lists, of its
// targets and methods, and of its economics and titles.
#include "brasko/IDefaultUtilityManager.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Messages.h"
#include "views/case/scenario/ScenarioTextRows.h"
#include "views/AnnualisedCosts.h"
#include "views/case/scenario/ScenarioPinches.h"

#include <cmath>
#include <cstring>

using namespace scenario_values;

namespace {

using T = HIDesignViewerScenario::TextRow;
using Var = const VarDescription&;
using S = IHeatIntegrationStream&;

const char* const kNew = "**New**";

Text orEmpty(const char* s) { return s ? Text(s) : Text(); }

// The unit of a kind of quantity in the session's unit set.
UnitConversion sessionUnit(int kind) {
    UnitConversion u;
    if (!get_unit(kind, Text(), DefaultUnits, u)) u = DefUnitConv(kind, DefaultUnits);
    return u;
}

Text hotColdWord(S s) {
    const int side = s.GetHotCold();
    return FindString(side == 1 ? "COLD" : side == 0 ? "HOT" : "Unknown", 0);
}

// The minimum-approach contribution of a stream: its own value when local, else the global word.
// The stream keeps half of the difference typed for it; the column shows the difference typed, as
// the number column (1517) does.
// The stream's values that a locked design's running what-if holds in place of its process data.
Text whatIfValues(V& v, S s, Var) {
    const IHeatIntegrationScenario* scenario = v.GetmyScenario();
    Text out;
    for (int i = 0; scenario && i < scenario->GetNumberOfDesigns(); ++i) {
        IHENDesign* design = nullptr;
        if (!scenario->GetDesign(i, design, 0) || !design) continue;
        if (const char* note = design->GetWhatIfStreamNote(s.GetName().c_str()))
            out += FormattedText("%s%s: %s", out.empty() ? "" : "; ", design->GetDesignName(), note);
    }
    return out;
}

Text contribution(V&, S s, Var) {
    if (s.GetDTminContributionScope() != 1) return FindString("GLOBAL", 0);
    const double v = s.GetDTminContribution();
    if (v == kEmpty) return Text();
    return FormattedText("%.2f *", calc_ounit(2.0 * v, DefUnitConv(24, DefaultUnits)));
}

// Whether a utility sets the extreme supply temperature of its side: the hottest hot utility or
// the coldest cold one (equal extremes mark every utility that has them).
bool atExtremeSupply(V& v, S s) {
    IHeatIntegrationScenario* sc = v.GetmyScenario();
    const int side = s.GetHotCold();
    if (side != 0 && side != 1) return false;
    double extreme = side == 0 ? -1000.0 : 1000.0;
    const int n = sc->GetNumberOfUtilityStreams();
    for (int i = 0; i < n; ++i) {
        IHeatIntegrationStream* u = nullptr;
        if (!sc->GetStreamOfKind(i, u, 1, side) || !u) continue;
        const double t = u->GetSupplyTemperature();
        extreme = side == 0 ? std::max(extreme, t) : std::min(extreme, t);
    }
    return s.GetSupplyTemperature() == extreme;
}

// Whether the last of a utility's design segments carries the placement's cross-pinch mark. The
// segments are walked in order and each one overwrites the answer, so the last one decides; a
// stream without segments has none.
bool lastSegmentCrossesPinch(S s) {
    const StreamSegmentList* segments = s.GetDesignSegments();
    bool crosses = false;
    if (segments)
        for (const auto& segment : *segments) crosses = segment && segment->IsCrossPinch();
    return crosses;
}

// The placement status of one utility: "Insufficient" for the utility at its side's extreme
// supply while the side is short; "Load assigned" for one the placement gave load to while its
// side has no shortfall. (The placement marks every utility segment it loads, whichever side of
// the pinch the utility stands on: the mark says the load was placed, not that it crosses.)
Text placement(V& v, S s, Var) {
    const int st = v.GetmyScenario()->GetUtilityAssignmentStatus(s.GetHotCold());
    if (st == 1) return atExtremeSupply(v, s) ? Text("Insufficient") : Text();
    if (st == 2) return lastSegmentCrossesPinch(s) ? Text("Load assigned") : Text();
    return Text();
}

// A side's placement status: 0 nothing to place, 1 a shortfall and nothing placed, 2 loads placed
// with no shortfall, 3 loads placed and a shortfall left, 4 loads that could not be evaluated; the
// trade-off stops with 5 without valid economic data and 6 when no utility of a side it must share
// has a price, and its loads are then not available, for that reason.
Text placementWord(int status) {
    static const char* const words[] = {"Sufficient",
                                        "Insufficient",
                                        "Sufficient",
                                        "Insufficient",
                                        "Infeasible",
                                        "Not available: the economic data are not valid",
                                        "Not available: no utility of a side to share has a price"};
    return status >= 0 && status < 7 ? Text(words[status]) : Text("Not available");
}

// One side of the pinch in display units; a side the scenario leaves empty shows nothing.
Text pinchSide(double t, const Text& unit) {
    if (t == kEmpty) return Text();
    return FormattedText("%.2f %s", calc_ounit(t, DefUnitConv(1, DefaultUnits)), unit.c_str());
}

Text pinchText(V& v, Var) {
    IHeatIntegrationScenario* sc = v.GetmyScenario();
    const int n = scenario_pinches::Count(*sc);
    if (n > 1) return "Multiple Pinches";
    if (n != 1) return Text();
    const Text u = v.GetUnitNameFromMoniker(":Temperature");
    return Text(pinchSide(scenario_pinches::Temperature(*sc, 0, 0), u) + " \\ " +
                pinchSide(scenario_pinches::Temperature(*sc, 1, 0), u));
}

// Whether some cold process stream may not be matched with some hot one. Each pair is asked
// through the stream interface, which answers one name at a time; the heading stops at the
// first forbidden pair.
bool anyForbiddenMatch(IHeatIntegrationScenario& sc) {
    const int cold = sc.GetNumberOfStreamsOfKind(0, 1), hot = sc.GetNumberOfStreamsOfKind(0, 0);
    for (int j = 0; j < cold; ++j) {
        IHeatIntegrationStream* c = nullptr;
        if (!sc.GetStreamOfKind(j, c, 0, 1) || !c) {
            Viewable::ErrorMsg("GetStreamError");
            continue;
        }
        for (int i = 0; i < hot; ++i) {
            IHeatIntegrationStream* h = nullptr;
            if (!sc.GetStreamOfKind(i, h, 0, 0) || !h) {
                Viewable::ErrorMsg("GetStreamError");
                continue;
            }
            if (c->IsLinkedTo(h->GetName())) return true;
        }
    }
    return false;
}

Text targetsHeading(V& v, Var) {
    IHeatIntegrationScenario* sc = v.GetmyScenario();
    const UnitConversion u = sessionUnit(24);
    const double d = calc_ounit(sc->GetDTmin(), u);
    return anyForbiddenMatch(*sc) ? FormattedText("Targets @ %.2f %s (FM)", d, u.name.c_str())
                                  : FormattedText("Targets @ %.2f %s", d, u.name.c_str());
}

Text superTargetRange(V& v, Var) {
    double a = kEmpty, b = kEmpty;
    v.GetmyScenario()->GetSuperTargetOptimum(a, b);
    if (a == kEmpty || b == kEmpty) return "---";
    const UnitConversion u = sessionUnit(24);
    return FormattedText("%.1f - %.1f %s", calc_ounit(b, u), calc_ounit(a, u), u.name.c_str());
}

// The total annual cost as a whole number with its sign; none (zero or empty) shows nothing.
Text totalAnnualCost(V& v, Var) {
    const double target = annualised_costs::TotalAnnualCostTarget(*v.GetmyScenario());
    if (target == 0.0 || target == kEmpty || !std::isfinite(target)) return Text();
    // The target is a cost per second; the text shows it in the cost-per-time unit, as the number does.
    const double c = calc_ounit(target, sessionUnit(31001));
    if (!std::isfinite(c) || std::fabs(c) > 9e18) return Text();
    return FormattedText("%lld", std::llround(c));
}

Text curvePointStreams(V& v, int curve) {
    CPString buffer;
    if (!v.GetmyScenario()->GetStreamsAtCurvePoint(curve, v.value1519_555, v.value1519_556, buffer)) return Text();
    return Text(buffer);
}

// The label of a capital-cost formula: its index text, the cost unit, its formula.
Text costFormula(const Text& index, const char* formula) {
    return FormattedText("%s [%s] %s", index.c_str(), sessionUnit(99).name.c_str(), FindString(formula, 0).c_str());
}

// The exponent is the one the coefficient dialog proposes; before the dialog has proposed one,
// that of the set under edit (the default set when none is), and none when the set has none.
Text costLawUnits(V& v, const char* basis) {
    double exponent = v.valueComputed;
    if (exponent == kEmpty)
        exponent = v.GetmyScenario()->GetEconomicData(2, v.workText.empty() ? "DEFAULT" : v.workText.c_str());
    const Text cost = v.GetUnitNameFromMoniker(":Cost"), unit = v.GetUnitNameFromMoniker(basis);
    if (exponent == kEmpty) return FormattedText("[ %s / %s ]", cost.c_str(), unit.c_str());
    return FormattedText("[ %s / %s ^ %3.2f ]", cost.c_str(), unit.c_str(), exponent);
}

// The viewer's parent: the total-site viewer of a total-site scenario, else the project viewer.
Viewable* parentOf(V& v) { return v.GetmyScenario()->IsTotalSiteScenario() ? v.ParentTotalSite() : v.Parent(); }

Text htcDefault(V& v, Var var, bool note) {
    IDefaultUtilityManager* m = nullptr;
    if (v.GetmyScenario()->GetDefaultUtilityManager(m) != 1 || !m) return Text();
    const int i = var.Offset(0);
    if (!note && i == m->GetNumberOfHTCDefaultValues()) return kNew;
    return orEmpty(note ? m->GetHTCDefaultValueNote(i) : m->GetHTCDefaultValueName(i));
}

Text fromKey(int choice, std::initializer_list<const char*> keys) {
    int i = 0;
    for (const char* key : keys)
        if (i++ == choice) return FindString(key, 0);
    return Text();
}

Text streamName(V&, S s, Var) { return Text(s.GetName()); }
Text streamSide(V&, S s, Var) { return hotColdWord(s); }

}  // namespace

Text HIDesignViewerScenario::TextRow::Address() const {
    if (name) return FormattedText("%s.%d", name, number == AnyNumber ? 0 : number);
    const QuantityInfo* q = FindQuantity(type);
    return FormattedText("%s.%d", q ? q->name.c_str() : "ExtraData", number);
}

const std::vector<const HIDesignViewerScenario::TextRow*>& HIDesignViewerScenario::TextRows() {
    // The names before type 1519 in the order of the dispatch, then the numbered variables,
    // the other names, the cost and the heat type.
    static const std::vector<T> rows = {
        // ---- "Name" ----
        {.name = "Name", .number = 234, .rows = R::MainSideChoice, .streamText = placement, .dims = 1},
        {.name = "Name", .number = 400, .read = [](V& v, Var) { return Text(v.GetName()); }},
        {.name = "Name", .number = 511, .rows = R::NonEmptyKind, .kind = 4, .side = 0, .streamText = streamName, .dims = 1},
        {.name = "Name", .number = 512, .rows = R::NonEmptyKind, .kind = 4, .side = 1, .streamText = streamName, .dims = 1},
        {.name = "Name", .number = 659, .rows = R::UtilityList, .kind = 1, .side = 2, .streamText = streamName, .dims = 1},
        {.name = "Name", .number = 660, .rows = R::MainSideChoice, .streamText = streamName, .dims = 1},
        // ---- "TitleText" ----
        {.name = "TitleText", .number = 233,
         .read = [](V& v, Var) { return FormattedText("Set Cost Coefficients for %s", v.workText.c_str()); }},
        {.name = "TitleText", .number = 301, .read = [](V&, Var) { return Text("Add Design"); }},
        {.name = "TitleText", .number = 302, .read = [](V&, Var) { return Text("Rename Scenario"); }},
        {.name = "TitleText", .number = 303, .read = [](V& v, Var) {
             Viewable* p = parentOf(v);
             return Text((p ? p->GetName() : Text()) + " (" + v.GetName() + ")");
         }},
        // ---- "CCUnits" ----
        {.name = "CCUnits", .number = 201, .read = [](V& v, Var) { return costLawUnits(v, ":Area"); }},
        {.name = "CCUnits", .number = 202, .read = [](V& v, Var) { return costLawUnits(v, ":HeatFlow"); }},
        // ---- "PlotName" ----
        {.name = "PlotName", .number = 1, .read = [](V& v, Var) {
             static const char* const names[] = {"GCC_0", "Comb_HCC_0", "Unshif_CC_0", "Infeasible"};
             return v.selectedPlot >= 1 && v.selectedPlot <= 4 ? Text(names[v.selectedPlot - 1]) : Text();
         }},
        // ---- type 1519 ----
        {.type = 1519, .number = 125, .read = [](V& v, Var var) {
             return orEmpty(v.GetmyScenario()->GetUnitsTargetEntryName(var.Offset(1), var.Offset(0), v.option105_127));
         }, .dims = 2},
        {.type = 1519, .number = 126, .read = [](V& v, Var var) {
             return orEmpty(v.GetmyScenario()->GetUnitsTargetEntryName(var.Offset(1), var.Offset(0), v.selectedRow));
         }, .dims = 2},
        {.type = 1519, .number = 203, .read = pinchText},
        {.type = 1519, .number = 204, .read = [](V&, Var var) {
             const int i = var.Offset(0);
             return Text(i == 0 ? "Targets" : i == 1 ? "Base Case" : i == 2 ? " % " : "");
         }, .dims = 1},
        {.type = 1519, .number = 207, .rows = R::Kind, .kind = 1, .side = 2, .streamText = contribution, .dims = 1},
        {.type = 1519, .number = 208, .read = [](V& v, Var) { return v.newDesignName; }},
        // The viewer's name is its scenario's: the cell a rename is typed into reads it.
        {.type = 1519, .number = 1000, .read = [](V& v, Var) { return orEmpty(v.GetmyScenario()->GetName()); }},
        {.type = 1519, .number = 210, .read = [](V& v, Var) {
             return fromKey(v.GetmyScenario()->GetUtilityAssignmentMethod(),
                            {MessageKey("GCCBased"), MessageKey("UserSuppliedUtilityLoads"),
                             MessageKey("CheapestUtilityPrinciple")});
         }},
        {.type = 1519, .number = 211, .read = [](V& v, Var) {
             return fromKey(v.GetmyScenario()->GetAreaTargetOption(),
                            {MessageKey("Calculate11Area"), MessageKey("Calculate12Area"),
                             MessageKey("CalculateBoth")});
         }},
        {.type = 1519, .number = 212, .rows = R::Process, .kind = 0, .side = 2, .streamText = contribution, .dims = 1},
        {.type = 1519, .number = 415, .rows = R::Process, .kind = 0, .side = 2, .streamText = whatIfValues, .dims = 1},
        {.type = 1519, .number = 214, .read = [](V& v, Var) {
             return fromKey(v.option100_217,
                            {MessageKey("RetrofitFromNewScenario"), MessageKey("RetrofitFromExistScenario")});
         }},
        {.type = 1519, .number = 215, .read = [](V&, Var) { return FindString("RetrofitTips", 0); }},
        {.type = 1519, .number = 220, .read = [](V&, Var) { return FindString("RecommendDesignsTips", 0); }},
        {.type = 1519, .number = 225, .read = [](V& v, Var) {
             return FindString(v.GetmyScenario()->GetAreaTargetMethod() == 1 ? "LinearProgram" : "BathFormula", 0);
         }},
        {.type = 1519, .number = 227, .read = [](V& v, Var var) { return htcDefault(v, var, false); }, .dims = 1},
        {.type = 1519, .number = 230, .read = [](V& v, Var var) { return htcDefault(v, var, true); }, .dims = 1},
        {.type = 1519, .number = 350, .read = [](V&, Var) { return V::extractionLimitations(); }},
        {.type = 1519, .number = 500, .read = [](V& v, Var var) {
             const int i = var.Offset(0);
             return i < v.GetmyScenario()->GetNumberOfEconomicData() ? orEmpty(v.GetmyScenario()->GetEconomicDataName(i))
                                                                     : Text(kNew);
         }, .dims = 1},
        {.type = 1519, .number = 511, .rows = R::NonEmptyKind, .kind = 4, .side = 0, .shows = true,
         .streamText = streamName, .dims = 1},
        {.type = 1519, .number = 512, .rows = R::NonEmptyKind, .kind = 4, .side = 1, .shows = true,
         .streamText = streamName, .dims = 1},
        {.type = 1519, .number = 601, .rows = R::Kind, .kind = 1, .side = 0, .shows = true, .missing = "*Unknown*",
         .streamText = streamName, .dims = 1},
        {.type = 1519, .number = 602, .rows = R::Unbounded, .kind = 1, .side = 0, .streamText = streamName, .dims = 1},
        {.type = 1519, .number = 603, .rows = R::Unbounded, .kind = 1, .side = 1, .streamText = streamName, .dims = 1},
        {.type = 1519, .number = 604, .rows = R::Kind, .kind = 1, .side = 1, .shows = true, .missing = "*Unknown*",
         .streamText = streamName, .dims = 1},
        {.type = 1519, .number = 660, .rows = R::MainSideChoice, .streamText = streamName, .dims = 1},
        {.type = 1519, .number = 661, .read = [](V& v, Var) { return curvePointStreams(v, 3); }},
        {.type = 1519, .number = 662, .read = [](V& v, Var) { return curvePointStreams(v, 1); }},
        {.type = 1519, .number = 702, .read = targetsHeading},
        {.type = 1519, .number = 710, .read = [](V&, Var) {
             return costFormula(FindString("CapitalCostIndex", 0) + "(Heat Exchanger)",
                                MessageKey("HeatExchangerCapitalCostFormula"));
         }},
        {.type = 1519, .number = 711, .read = [](V&, Var) {
             return costFormula(FindString("CapitalCostIndex", 0) + "(Fired Heater)",
                                MessageKey("FiredHeaterCapitalCostFormula"));
         }},
        {.type = 1519, .number = 712, .read = [](V&, Var) {
             return costFormula(FindString("CapitalCostIndexTarget", 0),
                                MessageKey("HeatExchangerCapitalCostTargetFormula"));
         }},
        {.type = 1519, .number = 801, .read = [](V& v, Var) { return orEmpty(v.GetmyScenario()->GetReport()); }},
        {.type = 1519, .number = 951, .read = superTargetRange},
        {.type = 1519, .number = 952, .read = [](V&, Var) { return Text("Utility Database"); }},
        // ---- the other names ----
        {.name = "StrNameU", .number = 440, .rows = R::Kind, .kind = 1, .side = 2, .shows = true, .missing = "*Unknown*",
         .streamText = streamName, .dims = 1},
        {.name = "StrNameUE", .number = 440, .rows = R::SideChoice, .shows = true, .missing = "*Unknown*",
         .streamText = streamName, .dims = 1},
        {.name = "Notes", .number = 400, .read = [](V& v, Var) { return orEmpty(v.GetmyScenario()->GetNotes()); }},
        {.name = "StrName", .number = 401, .rows = R::Process, .kind = 0, .side = 2, .newRow = true, .shows = true,
         .missing = "*Unknown*", .streamText = streamName, .dims = 1},
        {.name = "Status", .number = 409, .rows = R::Process, .kind = 0, .side = 2, .shows = true, .streamText = streamSide,
         .dims = 1},
        {.name = "StatusU", .number = 440, .rows = R::Kind, .kind = 1, .side = 2, .shows = true, .streamText = streamSide,
         .dims = 1},
        {.name = "ProjectName", .number = 400, .read = [](V& v, Var) {
             Viewable* p = parentOf(v);
             return p ? p->GetName() : Text();
         }},
        {.name = "ProblemType", .number = 109, .read = [](V& v, Var) {
             const int type = v.GetmyScenario()->GetNumberOfStreamsOfKind(0, 2) > 0 ? v.GetmyScenario()->GetPinchProblemType() : -1;
             v.spareText = type == 0 ? "Pinched" : type == 1 || type == 2 ? "Threshold" : type == 3 ? "Balanced" : "";
             return v.spareText;
         }},
        {.name = "Position", .number = 201, .read = [](V& v, Var var) {
             return Text(v.GetmyScenario()->GetPinchListEntrySide(var.Offset(0)) == 0 ? "Above Pinch" : "Below Pinch");
         }, .dims = 1},
        {.name = "HotUtilInfo", .number = 1, .read = [](V& v, Var) {
             return placementWord(v.GetmyScenario()->GetUtilityAssignmentStatus(0));
         }},
        {.name = "ColdUtilInfo", .number = 1, .read = [](V& v, Var) {
             return placementWord(v.GetmyScenario()->GetUtilityAssignmentStatus(1));
         }},
        {.name = "SVMHotStName", .number = T::AnyNumber, .read = [](V& v, Var var) {
             IHeatIntegrationScenario* sc = v.GetmyScenario();
             if (sc->GetNumberOfStreamsOfKind(0, 1) < 1) return Text();
             IHeatIntegrationStream* s = nullptr;
             if (!sc->GetStreamOfKind(var.Number(), s, 0, 0) || !s) {
                 Viewable::ErrorMsg("GetStreamError");
                 return Text();
             }
             v.workStream = s;
             return Text(s->GetName());
         }},
        {.name = "ColdStream", .number = 100, .rows = R::Kind, .kind = 0, .side = 1, .streamText = streamName, .dims = 1},
        // ---- the total annual cost and the heat type ----
        {.type = 31001, .number = 751, .read = totalAnnualCost},
        {.name = "HeatType", .number = 950, .read = [](V&, Var var) {
             const int i = var.Offset(0);
             return Text(i == 0 ? "Heating" : i == 1 ? "Cooling" : "");
         }, .dims = 1},
    };
    static const std::vector<const T*> all = [] {
        std::vector<const T*> out;
        for (const T& r : rows) out.push_back(&r);
        for (const T& r : V::DesignTextRows()) out.push_back(&r);
        return out;
    }();
    return all;
}

const HIDesignViewerScenario::TextRow* HIDesignViewerScenario::FindTextRow(const VarDescription& var) {
    const auto& rows = TextRows();
    auto byName = [&](const char* name) -> const TextRow* {
        for (const TextRow* r : rows)
            if (r->name && std::strcmp(r->name, name) == 0 && (r->number == TextRow::AnyNumber || r->number == var.Number()))
                return r;
        return nullptr;
    };
    auto byType = [&](int type) -> const TextRow* {
        for (const TextRow* r : rows)
            if (!r->name && r->type == type && r->number == var.Number()) return r;
        return nullptr;
    };
    for (const char* n : {"Name", "TitleText"})
        if (var.VariableIs(n)) return byName(n);
    if (var.VariableIs("CCUnits"))
        if (const TextRow* r = byName("CCUnits")) return r;
    if (var.VariableIs("PlotName")) return byName("PlotName");
    if (var.Type() == 1519) return byType(1519);
    for (const char* n : {"StrNameU", "StrNameUE", "Notes", "StrName", "Status", "StatusU", "ProjectName", "ProblemType",
                          "Position", "HotUtilInfo", "ColdUtilInfo", "SVMHotStName", "ColdStream"})
        if (var.VariableIs(n)) return byName(n);
    if (var.Type() == 31001) return byType(31001);
    if (var.VariableIs("HeatType")) return byName("HeatType");
    return nullptr;
}

Text HIDesignViewerScenario::TextValue(const VarDescription& named) {
    if (!myScenario) return Text();
    const TextRow* row = FindTextRow(named);
    if (!row) return Viewable::TextValue(named);
    if (!row->streamText) return row->read(*this, named);
    const VarDescription var = FirstRowWhenUnindexed(named);
    const int i = var.Offset(0);
    int kind = row->kind, side = row->side, bound = 0;
    if (!rowList(*this, row->rows, var, kind, side, bound)) return Text();
    if (row->newRow && i == bound) return kNew;
    if (i < 0 || i >= bound) return Text();
    IHeatIntegrationStream* found = nullptr;
    if (!myScenario->GetStreamOfKind(i, found, kind, side) || !found) {
        workStream = nullptr;
        if (row->shows) ErrorMsg("GetStreamError");
        return row->missing;
    }
    workStream = found;
    return row->streamText(*this, *found, var);
}
