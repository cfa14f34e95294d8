#pragma once
// An operating state as the design views see it: per exchanger its area, shells, coefficients,
// duty and end temperatures; per splitter the percent share of each branch; per process stream
// its temperatures, mass flow and price; per utility its load and cost; the total utility cost
// and whether the calculation that produced it converged. Indices count from 0; an index without
// a record answers null, 0 or 0.0.
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"

class IHENState : public virtual INotificationSender {
public:
    ~IHENState() override = default;
    virtual int GetNumberOfStreams() const = 0;
    virtual int GetNumberOfUtilities() const = 0;
    virtual int GetNumberOfHeatExchangers() const = 0;
    // Exchangers an event may act on (fired heaters are not).
    virtual int GetNumberOfSelectableHeatExchangers() const = 0;
    virtual int GetNumberOfSplitters() const = 0;
    // The named value of the index-th exchanger record: 0.0 for an index without a record; a
    // value the record lacks leaves `out` as it was.
    virtual void GetHeatExchangerValue(int index, const CPString& name, double& out) const = 0;
    virtual const char* GetSelectableHeatExchangerName(int index) const = 0;
    virtual const char* GetHeatExchangerName(int index) const = 0;
    virtual const char* GetUtilityName(int index) const = 0;
    virtual const char* GetStreamName(int index) const = 0;
    virtual const char* GetSplitterName(int index) const = 0;
    virtual int GetNumberOfBranches(int splitter) const = 0;
    virtual double GetBranchFraction(int splitter, int branch) const = 0;
    virtual double GetStreamSupplyTemperature(int index) const = 0;
    virtual double GetStreamTargetTemperature(int index) const = 0;
    virtual double GetStreamOutletTemperature(int index) const = 0;
    virtual double GetStreamMassFlow(int index) const = 0;
    virtual double GetStreamPricePerMass(int index) const = 0;
    virtual double GetUtilityDuty(int index) const = 0;
    virtual double GetUtilityCost(int index) const = 0;
    virtual double GetTotalUtilityCost() const = 0;
    // 0 not calculated (or invalidated), 1 converged, 2 not converged.
    virtual unsigned char GetStatus() const = 0;
    // "NotConverged" gives 2, any other text (the empty one too) 1.
    virtual void SetStatus(const CPString& text) = 0;
};
