#pragma once
// Economic data of a default-utility manager. A named set (`EconomicData`) holds the capital cost
// law of a cost model: per unit a + b (A/shell)^c, the law's kind (0 costs shells, 1 costs units);
// the economic info (`EconomicInfo`) holds what every set of a manager shares: rate of return,
// plant life and operating hours. Each value carries a status; a locked set or info refuses every
// change of its values (a retrofit study freezes the economics of its base case this way).
#include "brasko/DefaultUtilityTypes.h"
#include "dunmor/CPString.h"

#include <array>
#include <cstdint>

class ILurmetBinaryFile;

// Values by EconomicDataType item, of which a set holds some.
class EconomicValueSet {
public:
    static constexpr char StatusUnset = 0;
    static constexpr char StatusSpecified = 1;
    static constexpr char StatusLocked = 2;
    // The outer ends of what the editors of the economics take: the hours of a leap year, and the
    // largest area exponent a cost law is given (the scenario form takes up to 1, the command
    // line's economics up to 2).
    static constexpr double MaxOperatingHours = 8784.0;
    static constexpr double MaxAreaExponent = 2.0;

    EconomicValueSet(const EconomicValueSet&) = default;
    EconomicValueSet& operator=(const EconomicValueSet&) = default;
    virtual ~EconomicValueSet() = default;

    bool Holds(int type) const;
    // 0.0 for an item the set does not hold.
    double Value(int type) const;
    // 0 when the item is not held, the set is locked or the value is not a finite number.
    hresult SetValue(int type, double value);
    // StatusLocked for every held item while locked; 0 for an item not held.
    char GetVariableStatus(int type) const;

    // Whether every held value lies where the editors of the economics (the scenario's
    // economics page, the host's --economics) take it: the law's constant and coefficient within
    // 1e12 either side, its exponent 0 to 2, its basis 0 (area) or 1 (duty), a rate of return 0 to
    // 1, a plant life of 0 years or more, 0 to 8784 operating hours a year.
    bool HoldsEditorRanges() const;
    static bool InEditorRange(int type, double value);

    void Lock() { m_locked = true; }
    void Unlock() { m_locked = false; }
    bool IsLocked() const { return m_locked; }

protected:
    explicit EconomicValueSet(std::uint32_t heldItems) : m_held(heldItems) {}
    // Value and status of every held item in item order. The lock is the owner's state and is
    // not written.
    bool StoreValues(ILurmetBinaryFile& file) const;
    // Reads into `into` (a set of the same kind); this set is not touched.
    bool RecallValues(ILurmetBinaryFile& file, EconomicValueSet& into) const;
    void Put(int type, double value, char status);

private:
    std::uint32_t m_held;
    std::array<double, kNumberOfEconomicDataTypes> m_values{};
    std::array<char, kNumberOfEconomicDataTypes> m_status{};
    bool m_locked = false;
};

// One named economic data set: items 0, 1, 2 and 5.
class EconomicData : public EconomicValueSet {
public:
    static constexpr int RecordVersion = 1;
    static constexpr double kDefaultFixedCost = 10000.0;    // a, cost units per unit
    static constexpr double kDefaultAreaCost = 800.0;       // b, cost units per m2^c
    static constexpr double kDefaultAreaExponent = 0.8;     // c
    static constexpr double kDefaultCostLaw = 0.0;          // costs shells

    // A new set holds the factory capital cost law, specified.
    EconomicData();
    explicit EconomicData(const CPString& name);

    const CPString& GetName() const { return m_name; }
    void SetName(const CPString& name) { m_name = name; }
    // The host's callers name a set through this operation.
    void SetExchangerType(const CPString& name) { m_name = name; }

    double GetEconomicData(EconomicDataType type) const { return Value(type); }
    hresult SetEconomicData(EconomicDataType type, double value) { return SetValue(type, value); }

    // Record version 1: the name, then the values.
    bool Store(ILurmetBinaryFile& file) const;
    // On failure the set is left as it was. The lock is kept.
    bool Recall(ILurmetBinaryFile& file);

private:
    CPString m_name;
};

// The economic values shared by every set of a manager: items 3, 4 and 6.
class EconomicInfo : public EconomicValueSet {
public:
    static constexpr int RecordVersion = 1;

    // A new info holds no values (each 0.0, unset).
    EconomicInfo();

    double GetEconomicInfo(EconomicDataType type) const { return Value(type); }
    hresult SetEconomicInfo(EconomicDataType type, double value) { return SetValue(type, value); }

    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);
};
