#pragma once
// One default utility: a named heating or cooling medium with its temperatures, film coefficient,
// price, physical properties and the range of process temperatures it serves. The manager that
// owns it reads and writes the fields directly and keeps the rules (which values a side accepts,
// how ranges follow from the neighbours); the utility itself only holds and stores them.
#include "brasko/DefaultUtilityTypes.h"
#include "dunmor/CPString.h"
#include "dunmor/Units.h"

#include <vector>

class ILurmetBinaryFile;

struct UtilityComponent {
    CPString name;
    double fraction = 0.0;
};

class DefaultUtility {
public:
    static constexpr int RecordVersion = 1;
    // Written only by a utility whose credit mark (see `earnsCredit`) differs from what a
    // version-1 record says of it; every other utility writes version 1, as before.
    static constexpr int EarnsCreditVersion = 2;
    static constexpr const char* kDefaultExchangerType = "Shell & Tube";

    // An empty utility, to be filled by Recall: side not set, every value empty.
    DefaultUtility();
    DefaultUtility(const char* name, SegmentHeatType side, double supply, double target, double filmCoefficient,
                   double cost, double rangeUpper, double rangeLower, double dtminContribution,
                   const char* exchangerType, double viscosity, double thermalConductivity, double massDensity,
                   double specificHeat);
    DefaultUtility(const DefaultUtility&) = default;
    DefaultUtility& operator=(const DefaultUtility&) = default;
    virtual ~DefaultUtility() = default;

    // Null when the utility may take that exchanger type, else the message key of the refusal.
    // Every utility needs a type: null and empty texts are refused.
    virtual const char* IsValidUtilType(const char* type) const;

    // Supply, target, film coefficient, cost and both range ends all set, on a known side: what
    // a utility needs before targeting may use it.
    bool IsComplete() const;
    // The range holds T: hot (lower, upper], cold [lower, upper); never for another side.
    bool RangeHolds(double T) const;

    bool Store(ILurmetBinaryFile& file) const;
    // Reads one utility record. On failure nothing of this utility changes.
    bool Recall(ILurmetBinaryFile& file);

    double supplyTemperature = Units::EmptyValue;  // C
    double targetTemperature = Units::EmptyValue;  // C
    double filmCoefficient = Units::EmptyValue;    // kW/(m2 C)
    double cost = 0.0;                             // per kJ of duty
    double rangeUpper = Units::EmptyValue;         // C
    double rangeLower = Units::EmptyValue;         // C
    double dtminContribution = Units::EmptyValue;  // C
    double viscosity = Units::EmptyValue;
    double thermalConductivity = Units::EmptyValue;
    double massDensity = Units::EmptyValue;
    double specificHeat = Units::EmptyValue;
    double emissionsCoefficient = Units::EmptyValue;
    CPString exchangerType = kDefaultExchangerType;
    SegmentHeatType side = SHT_NotSet;
    CPString name;
    bool emptyFilmCoefficient = false;  // parameter 3
    bool simulationUtility = false;     // parameter 18
    // Whether the utility earns a credit (steam raised, refrigerant recovered): what it is, set when
    // it is made or first given a credit, and kept through a rename, a copy, a price it pays typed
    // since, and the record, so that priced 2 it may be given its credit of -2 again.
    bool earnsCredit = false;
    // A price below 0 that is a price (an empty one is not).
    static bool IsCredit(double cost) { return cost < 0.0 && !Units::IsEmpty(cost); }
    // What a record without the mark says of whether a utility earns a credit.
    static bool ReadByVersionOne(const char* name, double cost);
    std::vector<UtilityComponent> composition;
};
