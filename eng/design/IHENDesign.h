#pragma once
// The interface of a heat-exchanger-network design as its scenario, retrofit and automatic design
// see it. A design belongs to one scenario, holds the scenario's streams in its flowsheet and
// recalculates itself; it tells its scenario of changes of its costs or calculation through
// change codes 5, 6, 7, 27, 28 and 85, and of its exchanger data (as a retrofit base) through 95.
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"

class CPList;
class FlowSheet;
class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class ILurmetBinaryFile;

class IHENDesign : public virtual INotificationSender {
public:
    // Change code a retrofit base design sends when its exchanger data change.
    static constexpr int ChangeBaseExchangerData = 95;

    ~IHENDesign() override = default;

    // ---- identity and ownership ----
    // Null when the design has no name yet.
    virtual const char* GetDesignName() const = 0;
    // Gives the design (and its network-structure analysis) the name; the design announces it
    // with code 2.
    virtual void SetDesignName(const CPString& name) = 0;
    virtual void SetOwner(IHeatIntegrationScenario* scenario) = 0;

    // ---- what the scenario tells the design ----
    virtual void ProcessChange(int code, const CPString& text, void* data) = 0;
    // Copies the scenario's pinch points (null when it has none).
    virtual void SetPinchPoints(CPList* pinchPoints) = 0;
    virtual void UpdateOperationForStreamChange(IHeatIntegrationStream* stream) = 0;
    virtual int AddStream(IHeatIntegrationStream* stream) = 0;
    virtual int RemoveStream(const CPString& name) = 0;
    virtual int RenameStream(const CPString& oldName, const CPString& newName) = 0;
    // Reassigns every exchanger's cost model from its two streams' match cost model.
    virtual void AssignExchangerCostModels() = 0;
    // Copies flowsheet, calculator, exchanger lists, counters and settings into `target`.
    virtual int CopyTo(IHENDesign& target) const = 0;

    // ---- costs and results ----
    virtual bool IsDesignComplete() const = 0;
    virtual double GetTotalUtilityCost(int kind) const = 0;
    virtual double GetTotalAnnualizedCapitalCost() const = 0;
    virtual double GetTotalCapitalCost() const = 0;
    virtual double GetPaybackTime() const = 0;
    // side 0 hot, 1 cold.
    virtual double GetTotalUtilityLoad(int side) const = 0;
    virtual double GetDTMin() const = 0;

    // ---- units ----
    virtual int GetNumberOfHeatExchangers() const = 0;
    virtual int GetNumberOfIncompleteHeatExchangers() const = 0;
    // Whether any unit of the design sits on the stream.
    virtual bool HasUnitOnStream(const CPString& streamName) const = 0;
    virtual bool HasHeater() const = 0;
    virtual bool HasCooler() const = 0;

    // ---- retrofit and optimisation ----
    virtual bool IsLoopAnalysisEnabled() const = 0;
    virtual void SetLoopAnalysisEnabled(bool enabled) = 0;
    virtual bool AreStreamTerminalsReady() const = 0;
    virtual void RunOptimizerCheck() = 0;
    virtual bool AreExchangerPortsFreeOfUtilities() const = 0;
    virtual bool GetIgnoreInfeasibleExchangers() const = 0;
    virtual int GetInfeasibleHeatExchangers() const = 0;
    virtual void SetDTMinFromNetwork() = 0;
    virtual void MarkAsExistingNetwork() = 0;
    virtual void AddToChangeLog(const CPString& text) = 0;
    virtual void SetIntegerOption(int mode) = 0;
    virtual void SetSkipStreamEndsUpdate(bool skip) = 0;
    virtual void SetSplitFractionsFromBranchDuties() = 0;
    virtual void AddDummyUtilitiesForExtraction() = 0;
    // Status 4 on success.
    virtual int RunOptimizer(int code) = 0;
    virtual void RaiseNodeNameCounter(int by) = 0;
    virtual FlowSheet* GetFlowSheet() const = 0;

    // ---- flowsheet reads by node name (the scenario's stream links read through these) ----
    // The name of the unit directly upstream of the node `nodeName`; false when the node or an
    // upstream unit is missing.
    virtual bool GetUpstreamNodeName(const CPString& /*nodeName*/, CPString& /*out*/) const { return false; }
    // The class of the node ("htHeater", "htHeatExchanger", ...); empty when there is no such node.
    virtual CPString GetNodeClassName(const CPString& /*nodeName*/) const { return CPString(); }
    // A named value of the node ("Temperature", ...); false when the node or the value is missing.
    virtual bool GetNodeValue(const CPString& /*nodeName*/, const CPString& /*valueName*/, double& /*out*/) const {
        return false;
    }

    // Existing-network values of the exchangers: the base design gives every exchanger
    // "MaxNewArea" (answering false when an exchanger fails its consistency tests) and sets its
    // "ExArea"/"ExShell" from its "HTArea"/"TotalNShells"; the other designs take them over.
    virtual bool PrepareExchangersAsRetrofitBase(double maxNewArea) = 0;
    virtual void RefreshExistingNetworkValues() = 0;
    virtual void TakeExistingNetworkValuesFrom(const IHENDesign& base) = 0;

    // ---- case file ----
    virtual bool Store(ILurmetBinaryFile& file) const = 0;
    virtual bool Recall(ILurmetBinaryFile& file) = 0;
};

// Makes the designs of a scenario: the scenario asks it for every new design (the network-design
// subsystem provides the real one; tests give their own).
class IHENDesignFactory {
public:
    virtual ~IHENDesignFactory() = default;
    // A new empty design owned by `scenario`, named `name`; null when none can be made.
    virtual IHENDesign* CreateDesign(IHeatIntegrationScenario& scenario, const CPString& name) = 0;
};
