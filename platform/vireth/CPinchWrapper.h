#pragma once
// The network-pinch engine: a whole heat-exchanger network is declared to it piece by piece
// (streams with their segments, the stream segments between units, splitters with their mixers,
// exchangers, the economics), it optimises the duties of the exchangers for the total annual
// cost, and answers the duty, area and end temperatures of each exchanger and the branch shares
// of each utility splitter. The model it solves is in PinchModel.h; docs/architecture.md
// ("Numerical methods") states it.
//
// Every operation is virtual so that a caller's tests can record the declarations instead.
// Labels and names are cut to 2047 characters. Operations answer 1 when the declaration was
// taken, 0 when it was refused (an unknown label, a count that does not match its lists).
#include <string>
#include <vector>

namespace vireth {
class PinchModel;
}

// The 29 values that declare one exchanger.
struct ExchangerDeclaration {
    std::string name;
    std::string hotIn, hotOut, coldIn, coldOut;  // segment labels
    bool utility = false;
    bool hotUtility = false;
    bool isNew = false;
    bool onPath = false;
    bool onLoop = false;
    bool areaLocked = false;
    std::string costModel;
    double fixedCost = 0.0, areaCost = 0.0, areaExponent = 1.0;  // a, b, c of the cost law
    double duty = 0.0;
    double maxDuty = 0.0;        // 0 or below: no upper bound of its own
    double area = 0.0;           // the area the exchanger has (its own, or its namesake's)
    double maxAreaPerShell = 0.0;
    double shellsInSeries = 1.0;
    double shellsInParallel = 1.0;
    double fFactor = 1.0;
    double minFFactor = 0.75;
    double dtMin = 1.0;
    double maxNewArea = 10000.0;
    bool fixedDuty = false;
    bool areaSpecified = false;
    int arrangement = 1;         // 2 countercurrent, 1 shell-and-tube (1-2N shells)
    double overallHTC = 0.0;     // 0 or below: from the two sides' film coefficients
};

class CPinchWrapper {
public:
    CPinchWrapper();
    virtual ~CPinchWrapper();
    CPinchWrapper(const CPinchWrapper&) = delete;
    CPinchWrapper& operator=(const CPinchWrapper&) = delete;

    virtual int CreateStream(const char* stream, double supplyT, double targetT, double load, int cold,
                             int segments);
    virtual int CreateUtility(const char* stream, double supplyT, double targetT, double load, int cold,
                              int segments, double htc, double costIndex);
    // A segment of the stream declared next (numbers from 1).
    virtual int CreateSegment(const char* stream, int number, double inletT, double outletT, double load,
                              double massFlow, double htc, double specificHeat);
    virtual int CreateNode(const char* segment, const char* stream, const char* from, const char* to,
                           double temperature);
    virtual int CreateSplitMixer(const char* inlet, const char* mixerOutlet, const char* splitter, int branches,
                                 const std::vector<std::vector<int>>& branchSegments,
                                 const std::vector<double>& fractions, const char* mixer, int mixerInlets,
                                 const std::vector<int>& mixerInletSegments,
                                 const std::vector<double>& mixerInletFractions, int utility);
    virtual int CreateIntSplitter(const char* inlet, const char* splitter, int branches,
                                  const std::vector<std::vector<int>>& branchSegments,
                                  const std::vector<double>& fractions, int utility);
    virtual int CreateIntMixer(const char* outlet, const char* mixer, int inlets,
                               const std::vector<int>& inletSegments, const std::vector<double>& inletFractions);
    virtual int ConnectSplittersAndMixers();
    virtual int CreateExchanger(const ExchangerDeclaration& exchanger);
    // Rate of return (fraction per year), plant life (years), operating hours per year, and a cap
    // on the capital of new exchangers (0 or below: none).
    virtual int SetEconomicParameters(double rate, double life, double hours, double capitalCap);
    // 0 when a solved or acceptable point was found whose cost is not above that of the declared
    // network; 1 when the declarations do not make a model; 2 when the solver failed; 3 when its
    // point costs more than the start.
    virtual long RunOptimization(const char* scenario, const char* design);
    virtual int GetExchangerResults(const char* exchanger, double& duty, double& area, double& hotIn,
                                    double& hotOut, double& coldIn, double& coldOut);
    virtual int GetSplitterResults(const char* splitter, int branches, const std::vector<std::vector<int>>& segments,
                                   std::vector<double>& fractions);

    // ---- what the run found ----
    double StartCost() const;
    double FinalCost() const;
    int Solves() const;

private:
    vireth::PinchModel* m_model;
};
