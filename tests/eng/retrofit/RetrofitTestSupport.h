#pragma once
// Networks for the retrofit tests, built as a user would in a real design.
//
// The worked network: hot H 150 -> 50 C (CP 2, 200 kW), cold C 100 -> 160 C (CP 4, 240 kW), one
// exchanger X between them with a heater on C after it (steam ST) and a cooler on H after it
// (cooling water CW). With DTmin 10 the network recovers at most 80 kW in X: its cold end closes
// to 110 - 100 = 10 C.
#include "tests/eng/design/DesignTestSupport.h"

namespace retrofit_test {

struct WorkedNetwork : design_test::DesignScenario {
    // xDuty: X's duty as the plant runs it (kW).
    explicit WorkedNetwork(bool withHeater = true, bool withCooler = true, double xDuty = 60.0) {
        Add("H", 150, 50, 2.0);
        Add("C", 100, 160, 4.0);
        Add("ST", 250, 249, 0.5, 1);
        Add("CW", 20, 30, 0.1, 1);
        d = Design("D1");
        using design_test::NthSegment;
        x = d->AddHeatExchanger(NthSegment(*d, "H", 0), NthSegment(*d, "C", 0), nullptr, nullptr, nullptr);
        for (int port = 0; port < 4; ++port) d->RemoveUtilityAtPort(x, port);
        if (withHeater)
            heater = d->AddHeatExchanger(NthSegment(*d, "ST", 0), NthSegment(*d, "C", 1), nullptr, nullptr, nullptr);
        if (withCooler)
            cooler = d->AddHeatExchanger(NthSegment(*d, "H", 1), NthSegment(*d, "CW", 0), nullptr, nullptr, nullptr);
        for (int port = 0; port < 4; ++port) {
            if (heater) d->RemoveUtilityAtPort(heater, port);
            if (cooler) d->RemoveUtilityAtPort(cooler, port);
        }
        x->addVariable("Duty", xDuty, ValueStatus::Specified);
        d->ProcessChange(17, CPString(), nullptr);
    }
    CPIHENDesign* d = nullptr;
    CNode* x = nullptr;
    CNode* heater = nullptr;
    CNode* cooler = nullptr;
};

inline double Celsius(double kelvin) { return kelvin - 273.15; }

}  // namespace retrofit_test
