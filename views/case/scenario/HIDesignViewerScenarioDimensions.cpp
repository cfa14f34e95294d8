// The sizes of the scenario viewer's tables, as ordered rules (the first that applies answers),
// and its choice lists.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/StreamLynx.h"
#include "eng/model/StreamLynxCollection.h"
#include "brasko/IDefaultUtilityManager.h"
#include "lumeth/VarEnumInfo.h"
#include "pellin/CNode.h"
#include "pellin/NodeKinds.h"
#include "views/case/scenario/DesignValueHelpers.h"
#include "views/case/scenario/ScenarioPinches.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"

#include <unordered_set>

namespace {

// A size the engine reports as the largest unsigned 32-bit value means none.
int countOrZero(int n) { return n == -1 ? 0 : n; }

bool linksTo(const VarDescription& var, const char* objectType) {
    if (!var.IsObjectLink()) return false;
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* type = registry ? registry->Find(var.ObjectType()) : nullptr;
    return type ? type->IsA(objectType) : var.ObjectType() == objectType;
}

bool among(int v, std::initializer_list<int> values) {
    for (int x : values)
        if (x == v) return true;
    return false;
}

int add(DimInfo& dims, int n) {
    dims.AddDim(n);
    return 1;
}
int add(DimInfo& dims, int n, int m) {
    dims.AddDim(n);
    dims.AddDim(m);
    return 2;
}

CPString exchangerName(const CNode* unit) {
    CPString name;
    if (unit && unit->getVariableAsString(NodeValue::UnitOperationName, name) && !name.empty()) return name;
    return unit ? unit->getName() : CPString();
}

// The columns of the per-type table of rule 20.
enum class Col { Designs, AllDesigns, Three, HotUtilities, ColdUtilities, Two, Utilities, Retrofit, Base, Selected, One };

struct TypeRule {
    int type;
    Col column;
    std::vector<int> numbers;
};

std::vector<int> span(std::initializer_list<std::pair<int, int>> ranges) {
    std::vector<int> out;
    for (auto [a, b] : ranges)
        for (int v = a; v <= b; ++v) out.push_back(v);
    return out;
}

const std::vector<TypeRule>& typeRules() {
    static const std::vector<TypeRule> rules = {
        {1519, Col::Designs, {771, 201, 245, 246, 248, 610, 650, 800, 607}},
        {1519, Col::AllDesigns, {760}},
        {1519, Col::Three, span({{204, 204}, {250, 251}, {270, 273}, {260, 267}, {208, 209}})},
        {1519, Col::HotUtilities, {601, 632, 602, 600}},
        {1519, Col::ColdUtilities, {604, 633, 603, 599}},
        {1519, Col::Two, span({{608, 608}, {611, 611}, {623, 629}})},
        {1519, Col::Utilities, span({{280, 282}})},
        {1519, Col::Retrofit, {714, 770, 772, 292, 708, 709, 705}},
        {1519, Col::Base, {290, 291}},
        {1519, Col::Selected, {773, 203, 205, 206}},
        {1519, Col::One, {622, 330, 333, 596}},
        {1508, Col::Designs, {759, 760, 206, 609}},
        {1508, Col::AllDesigns, {758}},
        {1508, Col::Three, {250, 251}},
        {1508, Col::Two, {610}},
        {1508, Col::Retrofit, {292, 710}},
        {1508, Col::Base, {290, 291}},
        {1508, Col::Selected, span({{203, 205}, {711, 711}})},
        {1508, Col::One, {330}},
        {31000, Col::Designs, {202, 611}},
        {31000, Col::Two, {613}},
        {31000, Col::Retrofit, {292, 711}},
        {31000, Col::Selected, {203}},
        {31000, Col::One, {330}},
        {6, Col::Designs, {754, 755, 612, 613}},
        {6, Col::AllDesigns, {752, 753}},
        {6, Col::Three, {271, 273}},
        {6, Col::HotUtilities, {602, 630, 603}},
        {6, Col::ColdUtilities, {605, 631, 604}},
        {6, Col::Two, {614, 615}},
        {6, Col::Utilities, span({{280, 282}})},
        {6, Col::Retrofit, {292, 712}},
        {6, Col::Base, {290, 291}},
        {6, Col::One, {622, 301, 330, 750}},
        {31001, Col::Designs, span({{764, 764}, {201, 203}, {608, 608}, {614, 614}})},
        {31001, Col::AllDesigns, {761}},
        {31001, Col::Three, {270, 272}},
        {31001, Col::HotUtilities, {603, 604}},
        {31001, Col::ColdUtilities, {606, 605}},
        {31001, Col::Two, {609, 615}},
        {31001, Col::Utilities, span({{280, 282}})},
        {31001, Col::One, span({{622, 622}, {311, 314}})},
        {110, Col::Designs, span({{240, 244}, {247, 247}, {201, 208}})},
        {104, Col::Designs, {850}},
        {1, Col::Retrofit, {703, 704, 706, 707}},
        {1517, Col::Retrofit, {702}},
        {1524, Col::Retrofit, {701}},
    };
    return rules;
}

const TypeRule* findTypeRule(int t, int v) {
    for (const TypeRule& r : typeRules())
        if (r.type == t)
            for (int n : r.numbers)
                if (n == v) return &r;
    return nullptr;
}

}  // namespace

int HIDesignViewerScenario::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (!myScenario) return add(dims, 0);
    return DimensionsBound(var, dims);
}

// (1, 1) all utilities, (1, 0) the hot, (0, 1) the cold ones, (0, 0) none; other pairs no size.
int HIDesignViewerScenario::SideChoiceSize(int hot, int cold, DimInfo& dims) const {
    if (hot == 1 && cold == 1) return add(dims, myScenario->GetNumberOfStreamsOfKind(1, 2));
    if (hot == 1 && cold == 0) return add(dims, myScenario->GetNumberOfStreamsOfKind(1, 0));
    if (hot == 0 && cold == 1) return add(dims, myScenario->GetNumberOfStreamsOfKind(1, 1));
    if (hot == 0 && cold == 0) return add(dims, 0);
    return 0;
}

int HIDesignViewerScenario::DesignListSize(const VarDescription&, DimInfo& dims) const {
    if (option100_251 == 0) return add(dims, myScenario->GetNumberOfDesigns());
    if (option100_251 == 1) return add(dims, myScenario->GetNumberOfCompleteDesigns());
    return 0;
}

// Exchangers of the current design, less those that stand in the existing network (matched by
// name through an index of the base's names), plus the base's own for the totals rows.
int HIDesignViewerScenario::RetrofitCount(const VarDescription& var, DimInfo& dims) const {
    const int t = var.Type(), v = var.Number();
    if (t == 6 && v == 712) return 0;
    const IHENDesign* current = GetSelectedDesign(currentDesign);
    IHENDesign* base = nullptr;
    const char* baseName = myScenario->GetRetrofitBaseDesignName();
    if (baseName && *baseName) myScenario->GetDesign(CPString(baseName), base);
    const int xCurrent = current ? current->GetNumberOfHeatExchangers() : 0;
    const int xBase = base ? base->GetNumberOfHeatExchangers() : 0;
    std::unordered_set<std::string> baseNames;
    for (int i = 0; i < xBase; ++i)
        if (const CNode* unit = design_values::exchangerAt(base, i)) baseNames.insert(exchangerName(unit));
    int kept = 0;
    for (int i = 0; i < xCurrent; ++i)
        if (const CNode* unit = design_values::exchangerAt(current, i); unit && baseNames.count(exchangerName(unit))) ++kept;
    const bool totals = (v == 292 && among(t, {1519, 1508, 6, 31000})) || (t == 1519 && v == 770);
    return add(dims, xCurrent - kept + (totals ? xBase : 0));
}

int HIDesignViewerScenario::DimensionsBound(const VarDescription& var, DimInfo& dims) {
    IHeatIntegrationScenario& s = *myScenario;
    const int t = var.Type(), v = var.Number(), i = var.Offset(0), j = var.Offset(1);
    auto named = [&](const char* n) { return var.VariableIs(n); };
    const int P = s.GetNumberOfStreamsOfKind(0, 2);
    const int U = s.GetNumberOfStreamsOfKind(1, 2);

    // 1. Child lists.
    if (v == 200 && linksTo(var, "HIDesignViewerDesignObject")) return add(dims, designObjs.Count());
    if (linksTo(var, "SegmentTableObject")) {
        if (v == 200) return add(dims, segmentTables.Count());
        if (v == 201) return add(dims, processSegmentTableVector.Count());
        if (v == 202) return add(dims, utilitySegmentTableVector.Count());
    }
    // 2. Pinches.
    if ((v == 200 && named("CountPinch")) || (t == 1 && (v == 200 || v == 203)))
        return add(dims, scenario_pinches::Count(s));
    // 3. Area-target matches and their two ends.
    if (t == 1 && (v == 226 || v == 228)) return add(dims, s.GetNumberOfAreaTargetMatches());
    if (t == 1 && (v == 701 || v == 702)) return add(dims, 2);
    // 4. End tolerances.
    if (t == 9 && (v == 200 || v == 201)) return add(dims, P);
    if (t == 9 && (v == 202 || v == 203)) return add(dims, U);
    // 5. Pockets.
    if ((v == 201 && named("cntPock")) || ((v == 201 || v == 202) && t == 1) || (v == 201 && named("Position")))
        return add(dims, countOrZero(s.GetNumberOfPockets()));
    // 6. Curve points.
    if (v == 220 && t == 1) return add(dims, s.GetNumberOfCurvePoints(0));
    if (v == 221 && t == 6) return add(dims, s.GetNumberOfCurvePoints(0));
    if (v == 250 && (t == 1 || t == 6)) return add(dims, s.GetNumberOfCurvePoints(3));
    if (v == 251) return add(dims, s.GetNumberOfCurvePoints(4));
    if (v == 252) return add(dims, s.GetNumberOfCurvePoints(8));
    if (v == 253) return add(dims, s.GetNumberOfCurvePoints(9));
    if (v == 254) return add(dims, s.GetNumberOfCurvePoints(7) + s.GetNumberOfCurvePoints(6));
    if (v == 222 && t == 1) return add(dims, s.GetNumberOfCurvePoints(5));
    if (v == 223 && t == 6) return add(dims, s.GetNumberOfCurvePoints(5));
    // 7. Heat-transfer coefficient defaults.
    if ((t == 1519 && (v == 227 || v == 230)) || (t == 1524 && v == 229)) {
        IDefaultUtilityManager* manager = nullptr;
        const int h = s.GetDefaultUtilityManager(manager) && manager ? manager->GetNumberOfHTCDefaultValues() : 0;
        return add(dims, t == 1519 && v == 227 ? h + 1 : h);
    }
    // 8. Mass flows and prices of process streams.
    if (v == 105 && (t == 4 || t == 32039)) return add(dims, P);
    // 9. Stream links.
    if (named("StrName") && v >= 402 && v <= 407) {
        const char* key = v <= 404 ? "Temp_All" : "Flow_All";
        StreamLynxCollection* links = s.GetStreamLinkCollection();
        const int count = links ? links->CountLinks(key) : 0;
        if (v == 402 || v == 405) return add(dims, count);
        int terms = 0;
        if (links && i >= 0)
            if (StreamLynx* link = links->GetLink(links->FindNthLink(key, i))) terms = link->GetNumberOfCoefficients(key);
        return add(dims, count, terms);
    }
    // 10. Process-stream tables with their insert row.
    if ((v == 401 && named("StrName")) || (t == 1519 && v == 212) || (v == 409 && named("Status")) ||
        (v == 410 && named("Count")) || (t == 104 && v == 412))
        return add(dims, P + 1);
    // 11. Process-stream tables.
    if ((t == 104 && (v == 411 || v == 413)) || (t == 1 && (v == 402 || v == 403)) ||
        (t == 1524 && (v == 412 || v == 413)) || (t == 1517 && v == 406) || (t == 104 && v == 600) ||
        (t == 100 && v == 310) || (t == 1516 && v == 404) || (t == 6 && v == 405) || (t == 1011 && v == 200) ||
        (t == 4101 && v == 412) || (t == 1519 && v == 415))
        return add(dims, P);
    // 12. Utility tables.
    const bool utilityNamed = named("StrNameU") || named("CountU") || named("StatusU") || named("Cp");
    if ((v == 440 && !utilityNamed && among(t, {104, 1, 1524, 6, 4101})) || (t == 31002 && v == 445 && !named("HeatFlow")) ||
        (t == 6 && v == 765) || (t == 4 && (v == 104 || v == 106)) || (t == 1519 && v == 764) || (t == 1517 && v == 442) ||
        (t == 104 && v == 214) || (t == 1011 && v == 201) || ((t == 1 || t == 1524) && v == 441) ||
        (t == 32053 && v == 786) || (t == 31001 && v == 766) || ((v == 234 || v == 659) && named("Name")))
        return add(dims, U);
    // 13. Utility lists of a side choice.
    if ((v == 440 && named("StrNameUE")) || (t == 6 && v == 450) || (t == 31001 && v == 310) || (t == 1 && v == 443) ||
        ((t == 6 || t == 104) && v == 451) || (t == 104 && (v == 453 || v == 454))) {
        int hot = option100_250, cold = option100_249;
        if (j == 2) hot = option100_247, cold = option100_248;
        if (j == 3 || (t == 104 && v == 453)) hot = 1, cold = 0;
        if (j == 4 || (t == 104 && v == 454)) hot = 0, cold = 1;
        return SideChoiceSize(hot, cold, dims);
    }
    // 14. The utility table of one side.
    if (v == 600 && linksTo(var, "UtilityNameViewObject")) return add(dims, U + 1);
    if ((t == 1519 && among(v, {598, 660, 310, 311, 312, 313})) || (v == 660 && named("Name")) || (t == 104 && v == 450) ||
        ((t == 6 || t == 31001) && v == 600)) {
        if (i >= s.GetNumberOfUtilityStreams()) return 0;
        const int side = GetUtilHeatType();
        const int n = s.GetNumberOfStreamsOfKind(1, side);
        if (option100_245 == 0 && option100_246 == 0) return add(dims, n, 0);
        return add(dims, n);
    }
    // 15. Utility tables with their insert row (none on a total site).
    if ((v == 440 && utilityNamed) || (v == 445 && named("HeatFlow")) || (t == 104 && v == 452) ||
        (v == 599 && linksTo(var, "UtilityNameViewObject")) || (t == 1519 && v == 207))
        return add(dims, s.IsTotalSiteScenario() ? U : U + 1);
    // 16. Stream pairs.
    if (named("SVMHotStName")) return add(dims, s.GetNumberOfStreamsOfKind(0, 0));
    if (v == 100 && named("ColdStream")) return add(dims, s.GetNumberOfStreamsOfKind(0, 1));
    if (t == 104 && v == 1200) return add(dims, s.GetNumberOfStreamsOfKind(0, 1), s.GetNumberOfStreamsOfKind(0, 0));
    if (t == 105 && v == 510) return add(dims, s.GetNumberOfStreamsOfKind(4, 1), s.GetNumberOfStreamsOfKind(4, 0));
    if ((t == 1519 || named("Name")) && v == 511) return add(dims, s.GetNumberOfStreamsOfKind(4, 0));
    if ((t == 1519 || named("Name")) && v == 512) return add(dims, s.GetNumberOfStreamsOfKind(4, 1));
    // 17. Economic data sets, with the insert row unless the framework's state word says 2.
    if ((t == 1519 && among(v, {500, 502, 503})) || (t == 31000 && v == 501) || (t == 105 && v == 101) ||
        (v == 500 && named("Name")))
        return add(dims, s.GetNumberOfEconomicData() + (FrameworkState() == 2 ? 0 : 1));
    // 18. Units-target solutions.
    if (v == 9999 && linksTo(var, "ViewableObject")) return add(dims, s.GetNumberOfUnitsTargetGroups());
    // 19. Units-target tables.
    if ((v == 125 && named("SubsetNumber")) || (t == 6 && v == 800))
        return add(dims, s.GetNumberOfUnitsTargetEntries(option105_127));
    if ((v == 126 && named("SubsetNumber")) || (t == 6 && v == 801))
        return add(dims, s.GetNumberOfUnitsTargetEntries(selectedRow));
    if ((t == 1 && v >= 125 && v <= 127) || (t == 1519 && v == 125))
        return add(dims, s.GetNumberOfUnitsTargetEntries(option105_127), s.GetNumberOfUnitsTargetEntryNames(option105_127, i));
    if ((t == 1 && v >= 128 && v <= 130) || (t == 1519 && v == 126))
        return add(dims, s.GetNumberOfUnitsTargetEntries(selectedRow), s.GetNumberOfUnitsTargetEntryNames(selectedRow, i));
    // 20. Design, utility and exchanger lists by type.
    if (t == 1519 && v == 704) {
        IHENDesign* simulated = nullptr;
        return add(dims, s.GetDesign(CPString(IHeatIntegrationScenario::ExtractedNetworkDesignName), simulated) && simulated
                             ? simulated->GetNumberOfHeatExchangers() : 0);
    }
    if (const TypeRule* rule = findTypeRule(t, v)) {
        switch (rule->column) {
            case Col::Designs: return DesignListSize(var, dims);
            case Col::AllDesigns: return add(dims, s.GetNumberOfDesigns());
            case Col::Three: return add(dims, 3);
            case Col::HotUtilities: return add(dims, s.GetNumberOfStreamsOfKind(1, 0));
            case Col::ColdUtilities: return add(dims, s.GetNumberOfStreamsOfKind(1, 1));
            case Col::Two: return add(dims, 2);
            case Col::Utilities: return add(dims, U);
            case Col::Retrofit: return RetrofitCount(var, dims);
            case Col::Base: {
                IHENDesign* base = nullptr;
                const char* name = s.GetRetrofitBaseDesignName();
                if (!name || !*name || !s.GetDesign(CPString(name), base) || !base) return 0;
                return add(dims, base->GetNumberOfHeatExchangers());
            }
            case Col::Selected: {
                const IHENDesign* selected = GetSelectedDesign(currentDesign);
                return selected ? add(dims, selected->GetNumberOfHeatExchangers()) : 0;
            }
            case Col::One: return add(dims, 1);
        }
    }
    // 21. The last rules.
    if (v == 752) return add(dims, 1);
    if (t == 31001 && v == 750) return add(dims, 1);
    if ((t == 31001 || t == 6) && v == 320) return add(dims, 2);
    if (named("HeatType")) return add(dims, 2);
    if (t == 1519 && v >= 301 && v <= 307) return add(dims, 3);
    if ((t == 6 && v == 106) || (t == 31001 && v == 301)) {
        const bool second = i == 1;
        const int hot = second ? option100_247 : option100_250, cold = second ? option100_248 : option100_249;
        return add(dims, hot == 0 && cold == 0 ? 0 : 1);
    }
    if ((v == 301 || v == 302) && named("ShellTarget")) return add(dims, 3);
    if ((t == 1508 && v >= 320 && v <= 322) || (t == 6 && (v == 318 || v == 319)) || ((t == 31000 || t == 1519) && v == 320) ||
        (t == 110 && v >= 209 && v <= 217) || (t == 104 && v == 315))
        return add(dims, currentDesign ? currentDesign->CountFilteredExchangers() : 0);
    // 22. The framework.
    return Viewable::Dimensions(var, dims);
}

// ---- choice lists ----

VarEnumInfo* HIDesignViewerScenario::CopiedChoices(VarEnumInfo*& slot, const VariableNameInfo& info,
                                                   std::initializer_list<int> numbers) {
    if (slot) return slot;
    slot = info.GetParsedEnumInfo().release();
    // A form that lists no choices of its own (the host asks so): the choice numbers themselves.
    if (slot->NumberOfEntries() == 0)
        for (int n : numbers) slot->AddEntry(n, FormattedText("%d", n));
    return slot;
}

VarEnumInfo* HIDesignViewerScenario::GetEnumInfo(const VariableNameInfo& info) {
    const VarDescription& var = info.Var();
    const int t = var.Type(), v = var.Number();
    if (t != 105) return Viewable::GetEnumInfo(info);
    const bool retrofit = myScenario && myScenario->IsRetrofitScenario();
    if (v == 401) {
        VarEnumInfo* list = CopiedChoices(enumB, info, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        // The choice that leads to a retrofit is offered only to a scenario that is not one.
        if (myScenario && !retrofit) list->FindAndShowEntry(9);
        else list->FindAndHideEntry(9);
        return list;
    }
    if (v == 402) {
        VarEnumInfo* list = CopiedChoices(enumC, info, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
        for (int n : {12, 13, 14, 16}) retrofit ? list->FindAndShowEntry(n) : list->FindAndHideEntry(n);
        retrofit ? list->FindAndHideEntry(11) : list->FindAndShowEntry(11);
        return list;
    }
    if (!myScenario) return Viewable::GetEnumInfo(info);
    if (v == 510) {
        SetEconomicData();
        return economicDataEnum;
    }
    if (v == 125 || v == 126) {
        const int n = myScenario->GetNumberOfUnitsTargetGroups();
        if (!enumA) enumA = new VarEnumInfo;
        if (enumA->NumberOfEntries() != n) {
            enumA->DeleteEntries();
            for (int k = 0; k < n; ++k) enumA->AddEntry(k, FormattedText("Solution %d", k + 1));
        }
        return enumA;
    }
    if (v == 222) {
        if (!enumD) enumD = new VarEnumInfo;
        enumD->DeleteEntries();
        for (int k = 0; k < myScenario->GetNumberOfDesigns(); ++k) {
            const char* name = myScenario->GetDesignName(k);
            enumD->AddEntry(k, name ? name : "");
        }
        return enumD;
    }
    return Viewable::GetEnumInfo(info);
}
