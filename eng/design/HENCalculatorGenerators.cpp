// The unit equation generators of the network calculator: which balance equations a flowsheet
// unit contributes. Stream pieces contribute none of their own; their values are the variables
// the units' equations share.
#include "eng/design/HENCalculatorGenerators.h"

#include "eng/design/HENCalculator.h"
#include "eng/design/HENCalculatorEquation.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/core/Registries.h"
#include "osmeri/CPValue.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <cmath>
#include <string_view>

namespace {
constexpr int kSegments = 10;

// Creates an equation of the kind and appends it to the calculator; null (skipped) when the
// kind is not registered.
HENCalculatorEquation* Make(HENCalculator& c, const char* kind) {
    EquationFactory factory = ModuleRegistries::FindEquation(CPString(kind));
    HENCalculatorEquation* e = factory ? factory() : nullptr;
    c.AppendEquation(e);
    return e;
}

CPValue* Holder(CNode* node, const char* name) {
    if (!node) return nullptr;
    if (!node->hasVariable(name)) node->addVariable(name, 0.0, ValueStatus::Open);
    return node->findValue(name);
}

double ValueOf(CNode* node, const char* name) {
    double v = 0.0;
    return node && node->getVariableAsDouble(name, v) ? v : 0.0;
}

IHeatIntegrationStream* StreamOf(CNode* node) {
    StreamNode* s = AsStreamNode(node);
    return s ? dynamic_cast<IHeatIntegrationStream*>(s->getParentPIStream()) : nullptr;
}

void GenerateSegmentedExchanger(HENCalculator& c, HeatExch& x) {
    StreamNode* hotIn = x.getInlet(0);
    StreamNode* hotOut = x.getOutlet(0);
    StreamNode* coldIn = x.getInlet(1);
    StreamNode* coldOut = x.getOutlet(1);
    IHeatIntegrationStream* hotStream = StreamOf(hotIn);
    IHeatIntegrationStream* coldStream = StreamOf(coldIn);

    CalculatorVariable* tHotIn = c.RegisterVariable(Holder(hotIn, NodeValue::Temperature), "T");
    CalculatorVariable* tColdOut = c.RegisterVariable(Holder(coldOut, NodeValue::Temperature), "T");
    CalculatorVariable* mfHotIn = c.FlowShare(hotIn);
    CalculatorVariable* mfColdOut = c.FlowShare(coldOut);
    CalculatorVariable* highEnd = c.RegisterVariable(Holder(&x, NodeValue::HighEndDelT), "delT");
    CalculatorVariable* duty = c.RegisterVariable(Holder(&x, NodeValue::Duty), "Q");
    CalculatorVariable* area = c.RegisterVariable(Holder(&x, NodeValue::HTArea), "A");
    CalculatorVariable* flow = nullptr;
    if (x.IsHeater() && hotStream) flow = c.RegisterVariable(c.UtilityFlow(hotStream->GetName()), "M");
    else if (x.IsCooler() && coldStream) flow = c.RegisterVariable(c.UtilityFlow(coldStream->GetName()), "M");

    // First estimates of the inner points, from the hot-inlet end.
    const double th0 = ValueOf(hotIn, NodeValue::Temperature), th10 = ValueOf(hotOut, NodeValue::Temperature);
    const double tc0 = ValueOf(coldOut, NodeValue::Temperature), tc10 = ValueOf(coldIn, NodeValue::Temperature);
    const double stepH = std::fabs(th0 - th10) / kSegments, stepC = std::fabs(tc0 - tc10) / kSegments;
    const double q = ValueOf(&x, NodeValue::Duty), dq = q / kSegments;
    double lh = hotIn ? hotIn->getEnthalpy() : 0.0;
    double lc = (coldIn ? coldIn->getEnthalpy() : 0.0) + q;
    const double fh = hotIn ? hotIn->getSplitFraction() : 0.0, fc = coldIn ? coldIn->getSplitFraction() : 0.0;

    std::vector<CalculatorVariable*> hotT{tHotIn}, coldT{tColdOut}, hotMf{mfHotIn}, coldMf{mfColdOut};
    for (int k = 1; k < kSegments; ++k) {
        double h = th0 - k * stepH, cold = tc10 + (kSegments - k) * stepC;
        if (!x.IsUtilityExch()) {
            lh += dq;
            lc -= dq;
            if (fh > 1e-8 && hotStream) h = hotStream->GetTemperatureAtLoad(lh / fh);
            if (fc > 1e-8 && coldStream) cold = coldStream->GetTemperatureAtLoad(lc / fc);
        }
        hotT.push_back(c.RegisterVariable(c.CreateValue(h), "T"));
        coldT.push_back(c.RegisterVariable(c.CreateValue(cold), "T"));
        hotMf.push_back(c.RegisterVariable(nullptr, "mf"));
        coldMf.push_back(c.RegisterVariable(nullptr, "mf"));
    }
    hotT.push_back(c.RegisterVariable(Holder(hotOut, NodeValue::Temperature), "T"));
    coldT.push_back(c.RegisterVariable(Holder(coldIn, NodeValue::Temperature), "T"));
    hotMf.push_back(c.FlowShare(hotOut));
    coldMf.push_back(c.FlowShare(coldIn));
    std::vector<CalculatorVariable*> q10, highT{highEnd}, lowT;
    for (int k = 0; k < kSegments; ++k) q10.push_back(c.RegisterVariable(nullptr, "Q"));
    for (int k = 1; k < kSegments; ++k) {
        CalculatorVariable* d = c.RegisterVariable(nullptr, "delT");
        highT.push_back(d);
        lowT.push_back(d);
    }
    lowT.push_back(c.RegisterVariable(Holder(&x, NodeValue::LowEndDelT), "delT"));

    // A utility's outlet is the calculator's to find, whatever the flowsheet says.
    if (x.IsHeater() && hotT.back()->status == 1) hotT.back()->SetStatus(2);
    if (x.IsCooler() && coldT.front()->status == 1) coldT.front()->SetStatus(2);

    for (int k = 0; k < kSegments; ++k) {
        const auto i = static_cast<std::size_t>(k);
        SegmentVariableSet set{{1, highT[i]},    {2, lowT[i]},        {3, hotT[i]},  {4, coldT[i]},  {5, hotT[i + 1]},
                               {6, coldT[i + 1]}, {7, hotMf[i]},      {8, hotMf[i + 1]}, {10, coldMf[i]}, {9, coldMf[i + 1]},
                               {11, q10[i]},     {12, area}};
        if (x.IsHeater() && flow) set[13] = flow;
        if (x.IsCooler() && flow) set[14] = flow;
        // The temperature difference between two segments is the low end of the one and the high
        // end of the next: it is defined once. A second, identical row makes the system
        // redundant, and the simplex's dual start then takes such a system for infeasible.
        HENCalculatorEquation *hotSide = nullptr, *coldSide = nullptr;
        for (const char* kind : {"HotSideHeatExchangerMassBalance", "ColdSideHeatExchangerMassBalance",
                                 "HotSideHeatExchangerHeatBalance", "ColdSideHeatExchangerHeatBalance",
                                 "HighEndHeatExchangerDeltaT", "LowEndHeatExchangerDeltaT"})
            if (k == 0 || std::string_view(kind) != "HighEndHeatExchangerDeltaT")
                if (HENCalculatorEquation* e = Make(c, kind)) {
                    e->SetUpExchangerSide(c, set, &x);
                    if (std::string_view(kind) == "HotSideHeatExchangerHeatBalance") hotSide = e;
                    if (std::string_view(kind) == "ColdSideHeatExchangerHeatBalance") coldSide = e;
                }
        if (HENCalculatorEquation* e = Make(c, "HeatExchangerArea")) {
            e->SetUpArea(c, set, &x, k);
            if (auto* areaEquation = dynamic_cast<HeatExchangerAreaEquation*>(e)) areaEquation->SetSegmentSides(hotSide, coldSide);
        }
    }
    std::vector<CalculatorVariable*> list(q10);
    list.push_back(duty);
    list.push_back(hotT.back());
    list.push_back(tHotIn);
    list.push_back(coldT.back());
    list.push_back(tColdOut);
    list.push_back(area);
    if (HENCalculatorEquation* e = Make(c, "HeatExchangerTotalHeatBalance")) e->SetUpTotalBalance(c, list, &x);
}
}  // namespace

int GenerateExchangerEquations(HENCalculator& c, CNode& unit) {
    HeatExch* x = NodeCast<HeatExch>(&unit, NodeKind::CountercurrentHX);
    if (!x) return 0;
    if (unit.getVariableStatus(NodeValue::HTArea) == ValueStatus::Specified) {
        GenerateSegmentedExchanger(c, *x);
        return 0;
    }
    for (const char* kind : {"HotSideHeatExchangerMassBalance", "ColdSideHeatExchangerMassBalance",
                             "HotSideHeatExchangerHeatBalance", "ColdSideHeatExchangerHeatBalance",
                             "HighEndHeatExchangerDeltaT", "LowEndHeatExchangerDeltaT"})
        if (HENCalculatorEquation* e = Make(c, kind)) e->SetUp(c, &unit);
    return 0;
}

// The branches whose share of the splitter's inflow fixes their flow: every specified one, and of
// those left to the network all but the last that hold a share; the mass balance gives the last.
// (A branch left open beside another open one has no share to go by: the network is then not
// determined.)
std::vector<bool> BranchesHeldByShare(const CNode& splitter) {
    const int n = splitter.getNumberOfDownStreamNodes();
    std::vector<bool> held(static_cast<std::size_t>(n), false);
    int lastFree = -1, lastSpecified = -1;
    bool open = false;
    for (int b = 0; b < n; ++b) {
        CNode* branch = splitter.getIthDownStreamNode(b);
        const int status = branch ? branch->getVariableStatus(NodeValue::SplitFraction) : ValueStatus::Open;
        if (status == ValueStatus::Specified) {
            held[static_cast<std::size_t>(b)] = true;
            lastSpecified = b;
        } else if (status != ValueStatus::Open) {
            held[static_cast<std::size_t>(b)] = true;
            lastFree = b;
        } else {
            open = true;  // the mass balance gives an open branch its flow
        }
    }
    if (open) return held;
    if (lastFree >= 0) held[static_cast<std::size_t>(lastFree)] = false;
    else if (lastSpecified >= 0) held[static_cast<std::size_t>(lastSpecified)] = false;
    return held;
}

int GenerateSplitterEquations(HENCalculator& c, CNode& unit) {
    if (HENCalculatorEquation* e = Make(c, "SplitterMassBalance")) e->SetUp(c, &unit);
    const std::vector<bool> held = BranchesHeldByShare(unit);
    for (int b = 0; b < unit.getNumberOfDownStreamNodes(); ++b) {
        if (held[static_cast<std::size_t>(b)])
            if (HENCalculatorEquation* e = Make(c, "SplitterPercentBalance")) e->SetUpBranch(c, &unit, b);
        if (HENCalculatorEquation* e = Make(c, "SplitterHeatBalance")) e->SetUpBranch(c, &unit, b);
    }
    return 0;
}

int GenerateMixerEquations(HENCalculator& c, CNode& unit) {
    if (HENCalculatorEquation* e = Make(c, "MixerMassBalance")) e->SetUp(c, &unit);
    if (HENCalculatorEquation* e = Make(c, "MixerHeatBalance")) e->SetUp(c, &unit);
    return 0;
}

int GenerateHeaterEquations(HENCalculator& c, CNode& unit) {
    CNode* up = unit.getIthUpStreamNode(0);
    StreamNode* segment = AsStreamNode(up);
    if (!segment || !segment->getParentPIStream()) return 0;
    if (HENCalculatorEquation* e = Make(c, "DummyHeatExchangerMassBalance")) e->SetUp(c, &unit);
    if (HENCalculatorEquation* e = Make(c, "DummyHeatExchangerHeatBalance")) e->SetUp(c, &unit);
    return 0;
}

void RegisterUnitEquationGenerator(int index) {
    switch (index) {
        case 0:
            // Both exchanger kinds are the same unit model: both give the exchanger equations.
            ModuleRegistries::RegisterNodeType(NodeKind::HeatExchanger, GenerateExchangerEquations);
            ModuleRegistries::RegisterNodeType(NodeKind::CountercurrentHX, GenerateExchangerEquations);
            break;
        case 1: ModuleRegistries::RegisterNodeType(NodeKind::Tee, GenerateSplitterEquations); break;
        case 2: ModuleRegistries::RegisterNodeType(NodeKind::Mixer, GenerateMixerEquations); break;
        case 3: ModuleRegistries::RegisterNodeType(NodeKind::Heater, GenerateHeaterEquations); break;
        default: break;
    }
}
