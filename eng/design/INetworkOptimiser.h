#pragma once
// What a design needs of the network optimiser and of its pre-run check. Both belong to the
// automatic design and optimisation subsystem, which hands them to a design through an
// `INetworkOptimiserProvider`; a design without a provider answers that no optimiser is
// available (`IHENDesign::OptimiserNotAvailable`) and changes nothing.
#include <memory>

class CNode;
class IHENDesign;

// One optimiser run over one design: made, run once, destroyed by the caller.
class INetworkOptimiser {
public:
    virtual ~INetworkOptimiser() = default;
    // Hand the whole network to the equation-based engine instead of searching each
    // sub-network (off unless the caller sets it).
    virtual void SetUseEquationBased(bool use) = 0;
    // Modes: 0 least area, 1 least total annual cost, 3 retrofit budget (with the feasibility
    // step), 5 heater margins, 7 reconciliation with measured temperatures. Answers 4 when the
    // run left new values in the design, 3 when it did not.
    virtual int Run(int mode, bool optimiseDuties, bool optimiseSplitFractions) = 0;
    // After a reconciliation: the heat moved and the driving force (F x LMTD) from which the
    // exchanger's fitted coefficient follows as q / d / area; false when there are none.
    virtual bool GetFittedValues(CNode* exchanger, double& q, double& d) const = 0;
    // The last line the run showed on the status line (empty before any).
    virtual const char* GetStatusText() const { return ""; }
};

// The findings of the check a design runs before the optimiser starts.
class IOptimiserCheck {
public:
    // The parts of the check, each with its verdict and its message.
    enum Part { DegreesOfFreedom = 0, Feasibility, UntiedStreams, TemperatureSpecs, Options, PartCount };

    virtual ~IOptimiserCheck() = default;
    virtual void Check() = 0;
    // 0 no problem, 1 warning, 2 fatal.
    virtual int GetSeverity() const = 0;
    virtual bool CanRun() const = 0;
    virtual const char* GetMessage() const = 0;
    virtual bool IsPartOK(int /*part*/) const { return true; }
    virtual const char* GetPartMessage(int /*part*/) const { return ""; }
    // The units a part lists (degrees of freedom: every exchanger checked; feasibility: the
    // infeasible ones; untied streams: every exchanger checked; temperatures: one entry per
    // specified inner port, with the port's word).
    virtual int GetNumberOfPartUnits(int /*part*/) const { return 0; }
    virtual CNode* GetPartUnit(int /*part*/, int /*index*/) const { return nullptr; }
    virtual const char* GetTemperaturePortWord(int /*index*/) const { return ""; }
    // The calculation-status text of unit i of the degrees-of-freedom list; empty beyond it.
    virtual const char* GetUnitStatusText(int /*index*/) const { return ""; }
};

class INetworkOptimiserProvider {
public:
    virtual ~INetworkOptimiserProvider() = default;
    // Null when no optimiser can be made for the design.
    virtual std::unique_ptr<INetworkOptimiser> MakeOptimiser(IHENDesign& design, const char* name) = 0;
    virtual std::unique_ptr<IOptimiserCheck> MakeCheck(IHENDesign& design, const char* name) = 0;
};
