#include "views/ViewRegistration.h"

#include "views/case/HITargeting.h"
#include "views/case/scenario/HIDesignViewerScenario.h"

#include "eng/model/CaseValueLimits.h"
#include "lumeth/CellDomain.h"
#include "lumeth/KindRanges.h"

#include <algorithm>

namespace {

// The range of each kind of quantity the forms take: what a case holds, so that every number a
// form takes is one a saved case reopens with. A kind a case holds only from zero up is held here
// to its size on both sides; its views tell the user themselves why a negative value is refused.
std::vector<KindRange> caseKindRanges() {
    namespace L = CaseValueLimits;
    const auto both = [](int kind, double most) { return KindRange{kind, -most, most}; };
    return {
        {1, L::MinTemperature, L::MaxTemperature},
        both(24, L::MaxContribution),
        both(1517, L::MaxContribution),
        both(6, L::MaxDuty),
        both(1516, L::MaxCp),
        both(1524, L::MaxH),
        both(4101, L::MaxMagnitude),
        both(1508, L::MaxMagnitude),
        both(4, L::MaxMagnitude),
        both(1007, L::MaxConductivity),
        both(1008, L::MaxViscosity),
        both(1011, L::MaxSpecificHeat),
        both(1012, L::MaxDensity),
        both(1027, L::MaxMagnitude),
        both(1507, L::MaxMagnitude),
        both(31000, L::MaxMagnitude),
        // Held per second: a price per kW and year, a cost per year.
        both(31002, L::MaxCost * L::PerYearToPerSecond),
        both(31001, L::MaxMagnitude * L::PerYearToPerSecond),
    };
}

// What a cell of each kind of quantity takes where its row declares nothing of its own: a
// difference of temperatures, an area, a film coefficient or a fluid property above zero, a duty,
// a fouling resistance or a cost from zero up, a fraction from 0 to 1, a switch 0 or 1, an index,
// a choice or a count a whole number. A cell whose quantity differs (a heat flow that may be a
// change, a price that may be a credit) says so with its row.
std::vector<KindDomain> caseKindDomains() {
    using D = CellDomain;
    const double most = 2147483647.0;
    return {
        {1517, D::Above(0.0)},
        {1508, D::Above(0.0)},
        {1524, D::Above(0.0)},
        {1516, D::Above(0.0)},
        {1007, D::Above(0.0)},
        {1008, D::Above(0.0)},
        {1011, D::Above(0.0)},
        {1012, D::Above(0.0)},
        {1027, D::Above(0.0)},
        {1507, D::Above(0.0)},
        {4, D::Above(0.0)},
        {6, D::AtLeast(0.0)},
        {4101, D::AtLeast(0.0)},
        {31000, D::AtLeast(0.0)},
        {11, D::Fraction()},
        {9, D::Fraction()},
        {104, D::Switch()},
        {100, D::Whole(0, most)},
        {105, D::Whole(0, most)},
        {107, D::Whole(0, most)},
        {109, D::Whole(0, most)},
        {32009, D::Whole(0, most)},
        {32010, D::Whole(0, most)},
        {32011, D::Count()},
    };
}

}  // namespace

void ViewRegistries::Install() {
    ObjectTypeRegistry::Install(&types);
    ResourceRegistry::Install(&resources);
    FeatureRegistry::Install(&features);
    InstallKindRanges(caseKindRanges());
    InstallKindDomains(caseKindDomains());
}

void ViewRegistrationPlan::AddType(const ViewTypeRow& row) {
    m_steps.push_back({row.step, std::string("ObjectType ") + row.objectName, [row](ViewRegistries& r) {
                           const ObjectTypeInfo* parent = r.types.Find(row.parent);
                           if (!parent) return false;
                           auto info = std::make_unique<ObjectTypeInfo>(
                               row.objectName, parent, row.className, static_cast<std::uint8_t>(row.baseFlag),
                               static_cast<std::int16_t>(row.versionArgument), row.formKey);
                           if (row.classVersion > 0) info->SetClassVersion(static_cast<std::int16_t>(row.classVersion));
                           if (row.supportsHeatIntegration) info->SupportsType(HeatIntegrationType);
                           if (row.extraValue) info->SetExtraValue(row.extraValue);
                           info->SetFactory(row.factory);
                           info->SetTransient(row.transient);
                           info->SetNeverWritten(row.neverWritten);
                           info->SetLoadVariables(row.loadVariables);
                           return r.types.Add(std::move(info)) != nullptr;
                       }});
}

void ViewRegistrationPlan::AddColour(int step, const char* name, int red, int green, int blue) {
    m_steps.push_back({step, std::string("Colour ") + name, [=](ViewRegistries& r) {
                           r.resources.AddColour(name, red, green, blue);
                           return true;
                       }});
}

void ViewRegistrationPlan::AddFont(int step, int number, const char* name, int style) {
    m_steps.push_back({step, std::string("Font ") + name, [=](ViewRegistries& r) {
                           r.resources.AddFont(number, name, style);
                           return true;
                       }});
}

void ViewRegistrationPlan::AddIcon(int step, int id, const char* name) {
    m_steps.push_back({step, std::string("Icon ") + name, [=](ViewRegistries& r) {
                           r.resources.AddIcon(id, name);
                           return true;
                       }});
}

void ViewRegistrationPlan::AddFeature(int step, const char* name, const char* prefix, const char* category,
                                      const char* objectType, FeatureBuilder builder) {
    m_steps.push_back({step, std::string("Feature ") + name, [=](ViewRegistries& r) {
                           return r.features._add_FeatureInfo(name, prefix, category, objectType, builder);
                       }});
}

void ViewRegistrationPlan::AddOther(int step, const char* name, std::function<void(ViewRegistries&)> action) {
    m_steps.push_back({step, name, [action](ViewRegistries& r) {
                           if (action) action(r);
                           return true;
                       }});
}

bool ViewRegistrationPlan::Run(ViewRegistries& registries, std::vector<std::string>& stepNames) const {
    std::vector<const Step*> order;
    for (const Step& s : m_steps) order.push_back(&s);
    std::stable_sort(order.begin(), order.end(), [](const Step* a, const Step* b) { return a->step < b->step; });
    bool ok = true;
    for (const Step* s : order) {
        ok = s->action(registries) && ok;
        stepNames.push_back(s->name);
    }
    return ok;
}

ViewRegistrationPlan BuildViewRegistrationPlan() {
    ViewRegistrationPlan plan;
    PlanViewResourceRegistrations(plan);
    PlanCaseViewRegistrations(plan);
    PlanDesignViewRegistrations(plan);
    PlanGridViewRegistrations(plan);
    PlanPlotViewRegistrations(plan);
    return plan;
}

void PlanViewResourceRegistrations(ViewRegistrationPlan& plan) {
    plan.AddColour(45, "PFDBackground", 0, 128, 128);
    plan.AddFont(64, 7, "HENFont", 0);
    plan.AddColour(65, "HENDBackground", 192, 192, 192);
    plan.AddColour(66, "HENDProcProc", 255, 255, 255);
    plan.AddColour(67, "HENDModHX", 0, 255, 0);
    plan.AddColour(68, "HENDHProcCUtil", 0, 0, 255);
    plan.AddColour(69, "HENDCProcHUtil", 255, 0, 0);
    plan.AddColour(70, "HENDInfeasible", 255, 255, 0);
    plan.AddColour(71, "HENDLoopPath", 255, 255, 140);
    // The grid diagram's shade cache and the event plan's XML names belong to views not yet in
    // the module; their steps keep their places.
    plan.AddOther(72, "ShadeColourCache");
    plan.AddOther(85, "Static extractionLimitations",
                  [](ViewRegistries&) { HIDesignViewerScenario::InitializeLimitationsText(); });
    plan.AddOther(136, "InitEventPlanXmlNames");
    struct Icon {
        int step;
        int id;
        const char* name;
    };
    // Three names are registered twice, as separate entries with the same id.
    static constexpr Icon kIcons[] = {
        {74, 2352, "RetrofitBaseCaseIco"},   {75, 2105, "StatusOKIco"},          {76, 2106, "StatusWarningIco"},
        {77, 2354, "HIDesignRetrofitIco"},   {79, 2353, "HIProjectIco"},         {81, 2353, "HIProjectIco"},
        {83, 2351, "HIScenarioIco"},         {84, 2350, "Small_RIco"},           {109, 2496, "TrendSummaryIco"},
        {110, 2484, "CleanHxIco"},           {111, 2490, "ModifyFlowStreamHxIco"}, {112, 2498, "StudyNonExecutedIco"},
        {113, 2497, "StudyExecutedConvIco"}, {114, 2499, "StudyExecutedNonConvIco"}, {119, 2495, "WhatIfSummaryIco"},
        {120, 2493, "EventNonExecutedIco"},  {121, 2492, "EventExecutedConvIco"}, {122, 2494, "EventExecutedNonConvIco"},
        {123, 2484, "CleanHxIco"},           {124, 2485, "RemoveHxIco"},         {125, 2486, "AddAreaHxIco"},
        {126, 2487, "AddShellsHxIco"},       {127, 2488, "FoulingHxIco"},        {128, 2489, "ModifyFlowTeeHxIco"},
        {129, 2490, "ModifyFlowStreamHxIco"}, {130, 2491, "InletTempChangeHxIco"},
    };
    for (const Icon& i : kIcons) plan.AddIcon(i.step, i.id, i.name);
    plan.AddFeature(88, "HI Case", "Case ", "Heat Integration", "HITargetingObject", &HITargeting::BuildHITargeting);
    plan.AddFeature(95, "HI Project", "HIP", "Heat Integration", "HeatIntegrationGrassRootObject", &BuildChiGrassRootView);
}
