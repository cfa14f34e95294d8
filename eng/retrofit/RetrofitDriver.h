#pragma once
// One network-pinch retrofit modification of a design, as a scenario starts it. The scenario fills
// the settings from its base design and hands over the new design the modification is built in.
#include "dunmor/CPString.h"

#include <array>
#include <string>

class FlowSheet;
class IHENDesign;

// Settings and results of a scenario's retrofit run.
struct ScenarioRetrofitSettings {
    FlowSheet* pBaseFlowSheet = nullptr;
    // The design the step is made from: an exchanger that ran below DTmin there need keep only
    // the approach it had.
    const IHENDesign* pBaseDesign = nullptr;
    // The scenario's retrofit base design's flowsheet: a step's added area is measured against it
    // as its capital and saving are, also when the step is made from a kept result (null: the
    // design the step is made from).
    const FlowSheet* pReferenceFlowSheet = nullptr;
    CPString strBaseDesignName;
    double dDTmin = 10.0;
    // 0 new exchanger, 1 repiping, 2 resequencing, 3 utility exchanger modification, 4 optimisation.
    int nMode = 0;
    int nPreviousModifications = 0;
    // The ids the earlier steps of each kind chose (entry i: step i + 1), kept between the steps
    // of a stepwise run.
    std::array<int, 5> newExchangerHistory{};
    std::array<int, 5> repipeHistory{};
    std::array<int, 5> resequenceHistory{};
    // The capital cost of the new design once the modification is placed, before the area check
    // weighs it against the investment budget; 0 when the run placed nothing.
    double dPlacedCapital = 0.0;
    // Why the driver did not keep the modification, in the user's words; empty when it kept it
    // or has nothing to add to its result code.
    std::string strDiscardReason;
};

class RetrofitDriver {
public:
    // Result when nothing else was set.
    static constexpr int ResultNothingDone = 35;

    virtual ~RetrofitDriver() = default;
    // Builds the modification in `newDesign`; answers a result code. The codes 0, 4, 5, 6, 10,
    // 14, 16, 17, 18, 19, 24, 26, 27, 29, 30, 32, 33, 35, 38, 40 and 41 mean the new design is
    // not kept.
    virtual int Run(ScenarioRetrofitSettings& settings, IHENDesign& newDesign) = 0;
    // The scenario's run of steps has ended: what the driver kept between its steps goes.
    virtual void EndRun() {}

    static bool IsDiscardResult(int code) {
        switch (code) {
        case 0: case 4: case 5: case 6: case 10: case 14: case 16: case 17: case 18: case 19: case 24:
        case 26: case 27: case 29: case 30: case 32: case 33: case 35: case 38: case 40: case 41:
            return true;
        default:
            return false;
        }
    }
};
