#pragma once
// A scenario whose every read answers a number that tells the operation and its arguments
// apart, and streams that do the same, so a test sees which call a form variable reached.
//
// Scenario answers: utility target 100 + side; area target 200 + kind; cost target 300 + code;
// pinch temperature 400 + 10 side + index; pinch list 500 + index (first) and 550 + index
// (third); curve value 1000 + 100 kind + 10 coordinate + point; area-target match
// 2000 + 100 selector + match (5 matches); DTmin 10.5; curve points 30 + kind; MILP flag 7;
// minimum units 40 + kind; shells 50; units-target entry value 3000 + 100 group + 10 entry +
// position. Economic item i of "DEFAULT" 60 + i, of "Steel" 70 + i. Methods and settings 81 to
// 90 (see below).
//
// Stream n (1 H1 hot process, 2 C1 cold process, 3 HU hot utility, 4 CU cold utility) answers
// 1000 n plus: supply 1, target 2, stored 3, cost index 5, emissions 6, operating cost 7,
// DTmin contribution 8, load 10 + mode, load fraction 20 + end, heat-capacity flow rate
// 30 + segment, and the named values "MassFlow" 40, "MaxMassFlow" 41, "PricePerMass" 42,
// "SpecificHeat" 43, "HTCoeff" 44, "CHTCoeff" 45, "FoulingFactor" 46, "MaxSplitBranches" 47.
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"
#include "tests/support/NeutralStream.h"

#include <map>
#include <string>
#include <vector>

class SentinelStream : public NeutralStream {
public:
    SentinelStream(const char* name, int id, int side, int segments, int scope)
        : m_name(name), m_id(id), m_side(side), m_segments(segments), m_scope(scope) {}
    double base() const { return 1000.0 * m_id; }
    const CPString& GetName() const override { return m_name; }
    int GetHotCold() const override { return m_side; }
    int GetNumberOfSegments() const override { return m_segments; }
    int GetDTminContributionScope() const override { return m_scope; }
    double GetSupplyTemperature() const override { return base() + 1; }
    double GetTargetTemperature() const override { return base() + 2; }
    double GetStoredValue() const override { return base() + 3; }
    double GetCostIndex() const override { return base() + 5; }
    double GetMassEmissionsCoefficient() const override { return base() + 6; }
    double GetOperatingCost() const override { return base() + 7; }
    double GetDTminContribution() const override { return contribution != -1 ? contribution : base() + 8; }
    double GetHeatLoad(int mode) override { return load >= 0 ? load : base() + 10 + mode; }
    double GetLoadFraction(int end) const override { return base() + 20 + end; }
    double GetSegmentHeatCapacityFlowrate(int segment) const override { return base() + 30 + segment; }
    int GetValue(const CPString& name, double& out, int) const override {
        static const std::map<std::string, double> offsets = {
            {"MassFlow", 40},     {"MaxMassFlow", 41}, {"PricePerMass", 42},  {"SpecificHeat", 43},
            {"HTCoeff", 44},      {"CHTCoeff", 45},    {"FoulingFactor", 46}, {"MaxSplitBranches", 47}};
        auto it = offsets.find(name);
        if (it == offsets.end()) return 0;
        out = base() + it->second;
        return 1;
    }
    bool IsLinkedTo(const CPString& name) const override { return linkedTo == name; }
    const StreamSegmentList* GetDesignSegments() const override { return designSegments; }
    CPString linkedTo;
    const StreamSegmentList* designSegments = nullptr;  // none unless a test gives some
    double load = -1, contribution = -1;  // given values in place of the sentinels

private:
    CPString m_name;
    int m_id, m_side, m_segments, m_scope;
};

class SentinelScenario : public CPIScenario {
public:
    explicit SentinelScenario(IHeatIntegrationProject* project) : CPIScenario(project, DefaultScenarioServices()) {
        h1.linkedTo = "";
        c1.linkedTo = "H1";
    }
    // H1 one segment, local DTmin contribution; C1 two segments, global; HU one segment; CU
    // one segment, local.
    SentinelStream h1{"H1", 1, 0, 1, 1}, c1{"C1", 2, 1, 2, 0}, hu{"HU", 3, 0, 1, 0}, cu{"CU", 4, 1, 1, 1};
    bool streams = true;
    int assignmentMethod = 0, assignmentStatus[2] = {0, 0};
    int pinchPoints = 3, pockets = -1;
    bool retrofit = false;
    std::map<std::pair<int, int>, std::vector<std::string>> unitsTargetNames = {{{0, 0}, {"H1", "C1"}},
                                                                                 {{2, 1}, {"C1"}}};

    std::vector<SentinelStream*> list(int kind, int side) const {
        auto* self = const_cast<SentinelScenario*>(this);
        std::vector<SentinelStream*> all = {&self->h1, &self->c1, &self->hu, &self->cu};
        std::vector<SentinelStream*> out;
        if (!streams) return out;
        for (std::size_t i = 0; i < all.size(); ++i) {
            const int k = i < 2 ? 0 : 1;
            if ((kind == 4 || kind == k) && (side == 2 || all[i]->GetHotCold() == side)) out.push_back(all[i]);
        }
        return out;
    }
    bool GetStreamOfKind(int index, IHeatIntegrationStream*& out, int kind, int side) const override {
        const auto l = list(kind, side);
        if (index < 0 || index >= static_cast<int>(l.size())) return false;
        out = l[static_cast<std::size_t>(index)];
        return true;
    }
    bool GetStream(int index, IHeatIntegrationStream*& out) const override { return GetStreamOfKind(index, out, 4, 2); }
    bool GetStream(const CPString& name, IHeatIntegrationStream*& out) const override {
        for (SentinelStream* s : list(4, 2))
            if (s->GetName() == name) return out = s, true;
        return false;
    }
    int GetNumberOfProcessStreams() const override { return static_cast<int>(list(0, 2).size()); }
    int GetNumberOfUtilityStreams() const override { return static_cast<int>(list(1, 2).size()); }
    int GetNumberOfStreamsOfKind(int kind, int side) const override { return static_cast<int>(list(kind, side).size()); }

    double utilityTargets[2] = {100, 101}, capitalTarget = 307;
    double GetUtilityTarget(int side) const override { return utilityTargets[side == 0 ? 0 : 1]; }
    double GetAreaTarget(int kind) const override { return 200 + kind; }
    double GetCostTarget(int code) const override { return code == 7 ? capitalTarget : 300 + code; }
    double GetPinchTemperature(int side, int index) const override { return 400 + 10 * side + index; }
    double GetPinchListEntryFirstValue(int index) const override { return 500 + index; }
    double GetPinchListEntryThirdValue(int index) const override { return 550 + index; }
    double GetTargetCurveValue(int kind, int coordinate, int point) const override {
        return 1000 + 100 * kind + 10 * coordinate + point;
    }
    double GetAreaTargetMatchValue(int selector, int match) const override { return 2000 + 100 * selector + match; }
    int GetNumberOfAreaTargetMatches() const override { return 5; }
    double GetDTmin() const override { return 10.5; }
    int GetNumberOfCurvePoints(int kind) const override { return 30 + kind; }
    int GetUnitsTargetMILPFlag() const override { return 7; }
    int GetMinimumNumberOfUnits(int kind) const override { return 40 + kind; }
    int GetNumberOfShellsTarget() const override { return 50; }
    int GetNumberOfPinchPoints() const override { return pinchPoints; }
    int GetNumberOfPockets() const override { return pockets; }
    double GetUnitsTargetEntryValue(int p, int e, int g) const override { return 3000 + 100 * g + 10 * e + p; }
    int GetNumberOfUnitsTargetEntryNames(int g, int e) const override {
        auto it = unitsTargetNames.find({g, e});
        return it == unitsTargetNames.end() ? 0 : static_cast<int>(it->second.size());
    }
    const char* GetUnitsTargetEntryName(int p, int e, int g) const override {
        auto it = unitsTargetNames.find({g, e});
        if (it == unitsTargetNames.end() || p < 0 || p >= static_cast<int>(it->second.size())) return nullptr;
        return it->second[static_cast<std::size_t>(p)].c_str();
    }

    int GetNumberOfEconomicData() const override { return 2; }
    const char* GetEconomicDataName(int i) const override { return i == 0 ? "DEFAULT" : i == 1 ? "Steel" : nullptr; }
    std::map<int, double> steel;  // given items of "Steel" in place of the sentinels
    double GetEconomicData(int item, const char* set) const override {
        const std::string s = set ? set : "";
        if (s == "Steel" && steel.count(item)) return steel.at(item);
        return s == "DEFAULT" ? 60 + item : s == "Steel" ? 70 + item : -32767.0;
    }
    const char* GetMatchCostModelName(const CPString& hot, const CPString& cold) override {
        return hot == "HU" && cold == "C1" ? "Steel" : "Nothing";
    }
    int GetAreaTargetOption() const override { return 81; }
    int GetUtilityAssignmentMethod() const override { return assignmentMethod; }
    int GetUtilityAssignmentStatus(int side) override { return assignmentStatus[side == 0 ? 0 : 1]; }
    int GetCapitalCostTargetKind() override { return 83; }
    int GetAreaTargetMethod() const override { return 84; }
    int GetNumberOfDesignsWanted() const override { return 85; }
    double GetMinimumFFactor() const override { return 0.86; }
    int GetLevelSetting1() const override { return 87; }
    int GetLevelSetting2() const override { return 88; }
    int GetLevelSetting3() const override { return 89; }
    int GetLevelSetting4() const override { return 90; }
    bool IsRetrofitScenario() const override { return retrofit; }

    // Table sizes: 5 designs (6 complete, to tell them apart), 3 units-target solutions with
    // 4 + group entries, no stream links unless given.
    int designs = 0, unitsTargetGroups = 3;
    StreamLynxCollection* links = nullptr;
    int GetNumberOfDesigns() const override { return designs; }
    int GetNumberOfCompleteDesigns() const override { return designs ? 6 : 0; }
    int GetNumberOfUnitsTargetGroups() const override { return unitsTargetGroups; }
    int GetNumberOfUnitsTargetEntries(int group) const override { return 4 + group; }
    StreamLynxCollection* GetStreamLinkCollection() const override { return links; }
    void CalculateMinimumUnitsTarget() override {}
    // The existing network of a retrofit, "Existing" when given.
    IHENDesign* existing = nullptr;
    const char* GetRetrofitBaseDesignName() const override { return existing ? "Existing" : ""; }
    using CPIScenario::GetDesign;
    bool GetDesign(const CPString& name, IHENDesign*& out) const override {
        if (existing && name == "Existing") return out = existing, true;
        return CPIScenario::GetDesign(name, out);
    }
    int GetMinimumNumberOfUnitsByMILP() const override { return 1; }
};
