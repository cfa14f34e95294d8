#pragma once
// The view of one network design. It is bound to its design and to the scenario that holds it,
// and it owns the design's grid diagram. Created by the scenario viewer when a design is added.
#include "lumeth/Viewable.h"

#include <cstdint>

class CNode;
class HENDiagram;
class IHENDesign;
class IHeatIntegrationScenario;

class HIDesignViewerDesign : public Viewable {
public:
    static constexpr const char* TypeName = "HIDesignViewerDesignObject";

    HIDesignViewerDesign(Viewable* parent, const Text& name, const ObjectTypeInfo* type);
    static Viewable* Create(ObjectInstanceInfo& info) { return new HIDesignViewerDesign(info.parent, info.name, info.type); }
    ~HIDesignViewerDesign() override;

    // Binds the viewer to its design and the grid diagram to the same design; `recalled` tells
    // a viewer read back from a case from a new one.
    void SetEngineeringDesign(IHENDesign* design, bool recalled);
    IHENDesign* GetDesign() const { return pDesign; }
    void SetScenario(IHeatIntegrationScenario* scenario) { pScenario = scenario; }
    IHeatIntegrationScenario* GetScenario() const { return pScenario; }
    HENDiagram* GetGridDiagram() const { return pGridDiagram; }
    // The view of one flowsheet node of the design (an exchanger's, a splitter's, a segment's
    // operating state); null while no view of that kind exists.
    Viewable* GetEquipmentView(CNode* node);
    // Deletes the diagram held and takes `diagram` in its place.
    void ReplaceGridDiagram(HENDiagram* diagram);

    void DisconnectDeadObject(Viewable* dead) override;

    // Show the message key of a network-optimisation result code and of a retrofit result code
    // (success keys too).
    static Text NetworkOptimisationKey(int result);
    static Text RetrofitKey(int result);
    void ReportNetworkOptimisationResult(int result) { ErrorMsg(NetworkOptimisationKey(result)); }
    void ReportRetrofitResult(int result) { ErrorMsg(RetrofitKey(result)); }

    // The exchanger filter: the sum of three toggles, process-to-process exchangers 1, heaters 3,
    // coolers 5 (each 0 or its value); 9 shows all, 0 none.
    double GetExchangerFilter() const { return filterToggles[0] + filterToggles[1] + filterToggles[2]; }
    // The group of design exchanger i: 1 process exchanger, 3 heater, 5 cooler; 0 when none.
    int ExchangerGroup(int index) const;
    bool PassesExchangerFilter(int index) const;
    int CountFilteredExchangers() const;
    // The design exchanger of a row of the process-exchanger list and of the utility-exchanger
    // list of the current filter; -1 when none.
    int GetProcessExchangerIndex(int row) const;
    int GetUtilityExchangerIndex(int row) const;

    std::int32_t filterToggles[3] = {1, 3, 5};
    std::int32_t nSetting200 = 10;
    // The optimisation mode switch of the viewer's forms: set, the optimiser runs in mode 1.
    std::uint8_t optimiseOption = 0;

private:
    IHeatIntegrationScenario* pScenario = nullptr;
    IHENDesign* pDesign = nullptr;
    HENDiagram* pGridDiagram = nullptr;
};
