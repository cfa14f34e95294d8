#pragma once
// What a design needs of the network optimiser and of its pre-run check. Both belong to the
// automatic design and optimisation subsystem, which hands them to a design through an
// `INetworkOptimiserProvider`; a design without a provider answers that no optimiser is
// available (`IHENDesign::OptimiserNotAvailable`) and changes nothing.
#include <memory>

class CNode;
class IHENDesign;

// One optimiser run over one design: made, run once, destroyed by the caller.
class NetworkOptimiser {
public:
    virtual ~NetworkOptimiser() = default;
    // Hand the whole network to the equation-based engine instead of searching each
    // sub-network (off unless the caller sets it).
    virtual void SetUseEquationBased(bool use) = 0;
    // Modes: 3 with the MILP step, 5 and 7 reconciliation of observed coefficients. Answers 4
    // when the run left new values in the design, 3 when it did not.
    virtual int Run(int mode, bool optimiseDuties, bool optimiseSplitFractions) = 0;
    // After a reconciliation: the heat moved and the driving force (F x LMTD) from which the
    // exchanger's fitted coefficient follows as q / d / area; false when there are none.
    virtual bool GetFittedValues(CNode* exchanger, double& q, double& d) const = 0;
};

// The findings of the check a design runs before the optimiser starts.
class OptimiserCheck {
public:
    virtual ~OptimiserCheck() = default;
    virtual void Check() = 0;
    // 0 no problem, 1 warning, 2 fatal.
    virtual int GetSeverity() const = 0;
    virtual bool CanRun() const = 0;
    virtual const char* GetMessage() const = 0;
};

class INetworkOptimiserProvider {
public:
    virtual ~INetworkOptimiserProvider() = default;
    // Null when no optimiser can be made for the design.
    virtual std::unique_ptr<NetworkOptimiser> MakeOptimiser(IHENDesign& design, const char* name) = 0;
    virtual std::unique_ptr<OptimiserCheck> MakeCheck(IHENDesign& design, const char* name) = 0;
};
