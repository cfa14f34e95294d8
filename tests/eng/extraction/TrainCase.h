#pragma once
// The exchanger train the existing-network tests share: a hot stream cooled against a cold one
// in an exchanger, then trimmed in a cooler; the cold one finished in a heater.
#include "tests/eng/extraction/CaseBuilder.h"
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "brasko/ReportHolder.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/VelmorToTarsilImport.h"
#include "pellin/CNode.h"
#include "quenta/RalvexInterface.h"

#include <memory>
#include <utility>

namespace extraction_test {

// A hot stream 200 -> 140 C through exchanger X1, then 140 -> 60 C in cooler C1; a cold stream
// 40 -> 90 C through X1, then 90 -> 180 C in heater E1. 2 kg/s each, specific heats 2.5 and 3.0.
struct Train {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    CPItem *h1, *h2, *h3, *k1, *k2, *k3, *x1, *c1, *e1;
    explicit Train(double exchangerDuty = 300.0) {
        h1 = stream("H1", 200, 1000, -40000, 0.2);
        k1 = stream("K1", 40, 0, -60000, 0.7);
        h2 = stream("H2", 140, 700, -41000, 0.2);
        k2 = stream("K2", 90, 300, -59000, 0.7);
        h3 = stream("H3", 60, 300, -42000, 0.2);
        k3 = stream("K3", 180, 840, -57000, 0.7);
        x1 = b.Item("X1", "htHeatExchanger");
        CaseBuilder::Link(h1, x1);
        CaseBuilder::Link(k1, x1);
        CaseBuilder::Link(x1, h2);
        CaseBuilder::Link(x1, k2);
        if (exchangerDuty != CPValue::Empty) CaseBuilder::Num(x1, "Duty", exchangerDuty);
        for (auto [side, name] : {std::pair{"TubeSideFeed", "K1"}, {"TubeSideProduct", "K2"}, {"ShellSideFeed", "H1"},
                                  {"ShellSideProduct", "H2"}})
            x1->AddVariable(side)->Set(name);
        CaseBuilder::Table(x1, "H1", {200, 170, 140}, {500, 425, 350});
        CaseBuilder::Table(x1, "K1", {40, 65, 90}, {0, 75, 150});
        c1 = b.Through(h2, "C1", "htCooler", h3);
        CaseBuilder::Num(c1, "Duty", 400);
        CaseBuilder::Table(c1, "H2", {140, 100, 60}, {350, 250, 150});
        e1 = b.Through(k2, "E1", "htHeater", k3);
        CaseBuilder::Num(e1, "Duty", 540);
        CaseBuilder::Table(e1, "K2", {90, 135, 180}, {150, 285, 420});
    }
    CPItem* stream(const char* name, double t, double heatFlow, double h, double x) {
        CPItem* s = b.Stream(name, t, h);
        CaseBuilder::Num(s, "MassFlow", 2.0);
        CaseBuilder::Num(s, "HeatFlow", heatFlow);
        CPValue* fractions = s->AddVariable("CompMolarFraction");
        fractions->AddSubValue("", x, CPValue::Specified);
        fractions->AddSubValue("", 1.0 - x, CPValue::Specified);
        return s;
    }
    // The scenario the train goes into: the project's own unless a test names another.
    IHeatIntegrationScenario* Target() { return target ? target : p.scenario; }
    VelmorToTarsilImport& Run() {
        import = std::make_unique<VelmorToTarsilImport>(Target(), &access, &b.simulatorCase);
        import->Extract();
        return *import;
    }
    IHENDesign* Design() { return import ? import->GetBaseDesign() : nullptr; }
    CNode* Node(const char* name) { return Design() ? Design()->GetNodeByName(name) : nullptr; }
    ReportHolder* Report() {
        ReportHolder* r = nullptr;
        Target()->GetReportHolder(r);
        return r;
    }
    IHeatIntegrationScenario* target = nullptr;
    std::unique_ptr<VelmorToTarsilImport> import;
};

inline double value(const CNode* node, const char* name) {
    double v = -32767.0;
    if (node) node->getVariableAsDouble(name, v);
    return v;
}

}  // namespace extraction_test
