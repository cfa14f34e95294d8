#pragma once
// A network to operate: the textbook four streams given by mass flow and specific heat with
// transport properties, and two exchangers (H1 with C2 at 240 kW, H2 with C1 at 150 kW) whose
// remaining loads stand on the stream ends as heater and coolers.
#include "DesignTestSupport.h"
#include "tests/support/FourStreams.h"

namespace design_test {

struct OperatedNetwork : DesignScenario {
    static constexpr double kSpecificHeat = 2.0;
    static constexpr double kFilm = 0.5;

    explicit OperatedNetwork(bool transport = true, bool exchangers = true) {
        scenario->SuspendCalculations();
        ForEachFourStream([&](const char* name, double s, double t, double cp) {
            scenario->AddStream(name, 0);
            CPIHeatIntegrationStream* stream = scenario->FindStream(name);
            stream->SetValue("Temperature", s, 0);
            stream->SetValue("Temperature", t, 1);
            stream->SetValue("MassFlow", cp / kSpecificHeat, 0);
            stream->SetValue("SpecificHeat", kSpecificHeat, 0);
            stream->SetValue("HTCoeff", kFilm, 0);
            if (!transport) return;
            stream->SetValue("ThermalConductivity", 0.12, 0);
            stream->SetValue("Viscosity", 0.0008, 0);
            stream->SetValue("MassDensity", 850.0, 0);
        });
        scenario->ResumeCalculations(true);
        d = Design("Operated");
        if (!exchangers) return;
        e100 = Exchanger("H1", "C2", 240.0);
        e101 = Exchanger("H2", "C1", 150.0);
    }

    // An exchanger between the first segments of the two streams with the duty given, no
    // utility before either inlet.
    CNode* Exchanger(const char* hot, const char* cold, double duty) {
        CNode* x = d->AddHeatExchanger(NthSegment(*d, hot, 0), NthSegment(*d, cold, 0), nullptr, nullptr, nullptr);
        if (!x) return nullptr;
        d->RemoveUtilityAtPort(x, 0);
        d->RemoveUtilityAtPort(x, 2);
        x->addVariable(NodeValue::HXType, 0.0, ValueStatus::Specified);
        x->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
        d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
        return x;
    }

    static double Value(const CNode* node, const char* name) {
        double v = -32767.0;
        return node && node->getVariableAsDouble(name, v) ? v : -32767.0;
    }

    CPIHENDesign* d = nullptr;
    CNode* e100 = nullptr;
    CNode* e101 = nullptr;
};

}  // namespace design_test
