#pragma once
// The editing, query and settings operations of a design answered neutrally (refused, none, 0),
// for design doubles that only play the scenario's side of a design.
#include "eng/design/IHENDesign.h"

class NullHENDesign : public IHENDesign {
public:
    const char* CheckStreamMatch(CNode*, CNode*) const override { return "NodesUndefined"; }
    bool CanMatchStreams(CNode*, CNode*) const override { return false; }
    CNode* AddHeatExchanger(CNode*, CNode*, const char*, const char*, const char*) override { return nullptr; }
    bool DeleteHeatExchanger(CNode*, const char*) override { return false; }
    bool MoveHeatExchangerSide(CNode*, CNode*, CNode*, const char*) override { return false; }
    void LogRename(const CPString&, const CPString&) override {}
    bool IsPortFreeOfUtility(CNode*, int) const override { return false; }
    bool CanAddUtilityAtPort(CNode*, int) const override { return false; }
    bool CanRemoveUtilityAtPort(CNode*, int) override { return false; }
    bool AddUtilityAtPort(CNode*, int) override { return false; }
    bool RemoveUtilityAtPort(CNode*, int) override { return false; }
    bool CanAddUtilityAfterMixer(CNode*) const override { return false; }
    bool CanRemoveUtilityAfterMixer(CNode*) override { return false; }
    bool IsNotUtilityStreamNode(CNode*) const override { return true; }
    int GetUnusedFlag() const override { return 0; }
    int GetNumberOfNodes() const override { return 0; }
    CNode* GetNodeByName(const CPString&) const override { return nullptr; }
    CNode* GetNodeByIndex(int) const override { return nullptr; }
    CNode* GetNodeByFingerPrint(unsigned int) const override { return nullptr; }
    unsigned int GetDNAFingerPrint(const CPString&) const override { return 0; }
    unsigned int GetDNAFingerPrintByIndex(int) const override { return 0; }
    bool GetHeatExchanger(int, CNode*&) const override { return false; }
    int GetNumberOfUnitsOnStream(const CPString&) const override { return 0; }
    bool GetUnitOnStream(const CPString&, int, CNode*&) const override { return false; }
    CNode* GetIncompleteHeatExchanger(int) const override { return nullptr; }
    int GetNumberOfHeaters() const override { return 0; }
    int GetNumberOfCoolers() const override { return 0; }
    CNode* GetHeater(int) const override { return nullptr; }
    CNode* GetCooler(int) const override { return nullptr; }
    void MakeExchangerStreamName(const CPString& name, CPString& out) const override { out = name; }
    int GetNumberOfStreams() const override { return 0; }
    int GetNumberOfProcessStreams() const override { return 0; }
    int GetNumberOfUtilityStreams() const override { return 0; }
    IHeatIntegrationStream* GetStream(int) const override { return nullptr; }
    IHeatIntegrationStream* GetProcessStream(int) const override { return nullptr; }
    IHeatIntegrationStream* GetUtilityStream(int) const override { return nullptr; }
    int GetNumberOfUnsatisfiedProcessStreams() const override { return 0; }
    IHeatIntegrationStream* GetUnsatisfiedProcessStream(int) const override { return nullptr; }
    bool IsStreamSatisfied(IHeatIntegrationStream*, double*) const override { return true; }
    bool HasSignificantUtilityDuty(CNode*) const override { return false; }
    int GetTemperatureBeforeStreamEnd(const CPString&, double&) const override { return 0; }
    int GetDegreesOfFreedom() const override { return 0; }
    int GetNumberOfUnknowns() const override { return 0; }
    int GetNumberOfAreaSpecifiedExchangers() const override { return 0; }
    int GetNumberOfConfiguredExchangers(int) const override { return 0; }
    double GetUtilityLoad(const CPString&) const override { return 0.0; }
    double GetUsedUtilityLoad(IHeatIntegrationStream*) const override { return 0.0; }
    double GetUtilityCost(const CPString&) const override { return 0.0; }
    double GetExchangerDutyOnStream(IHeatIntegrationStream*, int) const override { return 0.0; }
    double GetTotalArea() const override { return 0.0; }
    double GetTotalAddedArea() const override { return 0.0; }
    int GetTotalNumberOfShells() const override { return 0; }
    double CalculateCapitalCost() override { return 0.0; }
    int GetNumberOfCrossPinchLoads() const override { return 0; }
    double GetCrossPinchLoad(int) const override { return 0.0; }
    double GetPinchPoint(int, int) const override { return -32767.0; }
    double GetLargeValue() const override { return 100000.0; }
    int GetEditLockState() const override { return 0; }
    int GetScenarioLockState() const override { return 0; }
    bool GetOperationLocked() const override { return false; }
    int GetOperatingStateStatus() const override { return 0; }
    int GetCalculationStatus() override { return 1; }
    bool QueryInterface(const CPString&, void**) override { return false; }
    int Activate(int) override { return 1; }
    int Deactivate() override { return 1; }
    IHeatIntegrationScenario* GetScenario() const override { return nullptr; }
    const char* GetNotes() const override { return ""; }
    void SetNotes(const CPString&) override {}
    const char* GetChangeLog() const override { return ""; }
    const char* GetStoredTextA() const override { return ""; }
    void SetStoredTextA(const CPString&) override {}
    const char* GetStoredTextB() const override { return ""; }
    void SetStoredTextB(const CPString&) override {}
    const char* GetStoredTextC() const override { return ""; }
    void SetStoredTextC(const CPString&) override {}
    void SetDTMin(double) override {}
    double GetHTMaxAreaShell() const override { return 500.0; }
    void SetHTMaxAreaShell(double) override {}
    int GetIntegerOption() const override { return 3; }
    void SetIgnoreInfeasibleExchangers(bool) override {}
    bool GetOptimizeExchangerDuties() const override { return true; }
    void SetOptimizeExchangerDuties(bool) override {}
    bool GetOptimizeSplitFractions() const override { return true; }
    void SetOptimizeSplitFractions(bool) override {}
    bool GetOptimizerOptionFlag() const override { return true; }
    void SetOptimizerOptionFlag(bool) override {}
};
