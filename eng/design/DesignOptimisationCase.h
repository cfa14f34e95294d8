#pragma once
// One design prepared for an optimisation run: the run works on the design itself (mode 3, the
// retrofit driver's, or when no copy is wanted) or on a named copy in the same scenario, which
// records where it came from and what it is optimised for. For mode 2 and modes above 3 the case
// also gathers what the run starts from: one mark per stream segment, and (mode 2) the areas
// before optimisation and a duty scale.
#include "dunmor/CPString.h"

#include <string>
#include <vector>

class FlowSheet;
class IHENDesign;

class DesignOptimisationCase {
public:
    // Mode 0 minimum area, any other minimum total annual cost.
    static constexpr int MinimumArea = 0;
    static constexpr int RetrofitMode = 3;

    DesignOptimisationCase(IHENDesign* design, int mode, bool makeCopy, int weight);

    // The design the run works on; null when the copy could not be made (the scenario is then
    // as it was).
    IHENDesign* GetDesign() const { return m_design; }
    FlowSheet* GetFlowSheet() const { return m_sheet; }
    bool IsCopy() const { return m_copy; }
    int GetMode() const { return m_mode; }
    int GetWeight() const { return m_weight; }
    double GetStep() const { return m_step; }
    void SetStep(double step) { m_step = step; }
    double GetDutyScale() const { return m_dutyScale; }
    const std::vector<int>& GetStreamMarks() const { return m_streamMarks; }
    const std::vector<CPString>& GetTexts() const { return m_texts; }

private:
    IHENDesign* MakeCopy(IHENDesign& design);
    void GatherExchangerData();

    IHENDesign* m_design = nullptr;
    FlowSheet* m_sheet = nullptr;
    std::vector<CPString> m_texts;
    int m_mode;
    int m_weight;
    double m_step = 0.1;
    std::vector<int> m_streamMarks;
    std::vector<int> m_marks;
    double m_dutyScale = 100.0;
    bool m_flags[2] = {false, false};
    bool m_copy = false;
};
