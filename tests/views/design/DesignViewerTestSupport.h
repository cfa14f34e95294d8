#pragma once
// A network for the design viewer: the four textbook streams with steam and cooling water, and
// the design "D1" whose exchangers stand in the order the test makes them (process exchangers,
// heaters on steam, coolers on cooling water); and a design viewer bound to it. Also the key of
// the last message the session showed, which refused writes are checked by.
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "tests/eng/design/DesignTestSupport.h"
#include "views/design/HIDesignViewerDesign.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace design_viewer_test {

struct ViewerNetwork : design_test::DesignScenario {
    ViewerNetwork() {
        Add("H1", 170, 60, 3.0);
        Add("H2", 150, 30, 1.5);
        Add("C1", 20, 135, 2.0);
        Add("C2", 80, 140, 4.0);
        Add("ST", 250, 249, 0.5, 1);
        Add("CW", 20, 30, 0.1, 1);
        d = Design("D1");
    }
    // A unit between the first segments of the two streams (hot side first).
    CNode* Unit(const std::string& hot, const std::string& cold) {
        return d->AddHeatExchanger(design_test::NthSegment(*d, hot, 0), design_test::NthSegment(*d, cold, 0), nullptr,
                                   nullptr, nullptr);
    }
    // Units in the order of the letters: p process (H1/C1, then H2/C2), h heater on C2 or C1,
    // c cooler on H2 or H1.
    void Units(const std::string& kinds) {
        int process = 0, heaters = 0, coolers = 0;
        for (char k : kinds) {
            if (k == 'p') {
                const bool second = process++ % 2 != 0;
                Unit(second ? "H2" : "H1", second ? "C2" : "C1");
            }
            if (k == 'h') Unit("ST", heaters++ % 2 ? "C1" : "C2");
            if (k == 'c') Unit(coolers++ % 2 ? "H1" : "H2", "CW");
        }
    }
    std::unique_ptr<HIDesignViewerDesign> Viewer(bool bind = true) {
        auto viewer = std::make_unique<HIDesignViewerDesign>(
            nullptr, "D1", ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
        viewer->SetScenario(scenario.get());
        if (bind) viewer->SetEngineeringDesign(d, false);
        return viewer;
    }
    CPIHENDesign* d = nullptr;
};

// The key of the last error the session showed; empty when none.
inline Text lastShown() {
    const auto entries = Session::Instance().Entries(SessionEvent::Error);
    return entries.empty() ? Text() : entries.back().key;
}

// The design's exchanger at an index (null, and a failed expectation, when there is none).
inline CNode* unitAt(ViewerNetwork& n, int i) {
    CNode* unit = nullptr;
    EXPECT_TRUE(n.d->GetHeatExchanger(i, unit));
    return unit;
}

}  // namespace design_viewer_test
