#pragma once
// Addresses of the scenario viewer's variables, and a viewer bound to a sentinel scenario of the
// four-stream project (the scenario answers every engine call with a number of its own).
#include "brasko/CaseDocument.h"
#include "lumeth/Session.h"
#include "lumeth/VarDescription.h"
#include "tests/support/FourStreamProject.h"
#include "tests/views/case/scenario/ScenarioViewerFixture.h"
#include "tests/views/case/scenario/ScenarioSentinel.h"
#include "views/case/scenario/HIDesignViewerScenario.h"

#include <gtest/gtest.h>

inline VarDescription var(int type, int number, int i = -1, int j = -1) {
    VarDescription v(type, number);
    if (i != -1) v.SetOffset(0, i);
    if (j != -1) v.SetOffset(1, j);
    return v;
}

inline VarDescription named(const char* name, int number, int i = -1, int j = -1) {
    VarDescription v(name, number);
    if (i != -1) v.SetOffset(0, i);
    if (j != -1) v.SetOffset(1, j);
    return v;
}

template <class Scenario = SentinelScenario>
class SentinelScenarioViewerTest : public ::testing::Test {
protected:
    SentinelScenarioViewerTest() {
        Session::Instance().Reset();
        owner = NewProjectViewerStandIn(document);
        scenario = new Scenario(p.project);
        scenario->SetName("Base");
        scenario->streams = false;
        viewer = NewBoundScenarioViewer(owner, scenario);
        scenario->streams = true;
    }
    ~SentinelScenarioViewerTest() override {
        delete owner;
        delete scenario;
        Session::Instance().Reset();
    }
    FourStreamProject p{false};
    CaseDocument document{"case", &p.manager};
    Viewable* owner = nullptr;
    Scenario* scenario = nullptr;
    HIDesignViewerScenario* viewer = nullptr;
};
