#include "brasko/DefaultUtility.h"

#include "brasko/DefaultManager.h"
#include "brasko/ILurmetBinaryFile.h"
#include "dunmor/Units.h"
#include "lumeth/KindRanges.h"
#include "lumeth/MessageKey.h"

#include <cmath>

DefaultUtility::DefaultUtility() = default;

DefaultUtility::DefaultUtility(const char* name_, SegmentHeatType side_, double supply, double target,
                               double filmCoefficient_, double cost_, double rangeUpper_, double rangeLower_,
                               double dtminContribution_, const char* exchangerType_, double viscosity_,
                               double thermalConductivity_, double massDensity_, double specificHeat_)
    : supplyTemperature(supply),
      targetTemperature(target),
      filmCoefficient(filmCoefficient_),
      cost(cost_),
      rangeUpper(rangeUpper_),
      rangeLower(rangeLower_),
      dtminContribution(dtminContribution_),
      viscosity(viscosity_),
      thermalConductivity(thermalConductivity_),
      massDensity(massDensity_),
      specificHeat(specificHeat_),
      exchangerType(exchangerType_ ? exchangerType_ : kDefaultExchangerType),
      side(side_),
      name(name_),
      earnsCredit(IsCredit(cost_)) {}

const char* DefaultUtility::IsValidUtilType(const char* type) const {
    if (!type || !*type) return MessageKey("InvalidExchangerType");
    return nullptr;
}

bool DefaultUtility::IsComplete() const {
    if (side != SHT_Hot && side != SHT_Cold) return false;
    for (double v : {supplyTemperature, targetTemperature, filmCoefficient, cost, rangeUpper, rangeLower})
        if (Units::IsEmpty(v)) return false;
    return true;
}

bool DefaultUtility::RangeHolds(double T) const {
    if (side == SHT_Hot) return rangeLower < T && T <= rangeUpper;
    if (side == SHT_Cold) return rangeLower <= T && T < rangeUpper;
    return false;
}

// Record version 1: name, side, the eleven numbers of the utility table in declared order, the
// exchanger type, the emissions coefficient, the two flags, then the composition (count, and per
// component its name and fraction). Version 2 adds one flag after them: whether the utility earns
// a credit; written only where a version-1 reader would take it otherwise (see ReadByVersionOne),
// so files of utilities that need no mark read as they always did.
bool DefaultUtility::ReadByVersionOne(const char* name, double cost) {
    // Files written before the mark existed say it by the price, or for a generation utility of
    // the factory set priced to pay, by its name.
    return IsCredit(cost) || DefaultManager::FactoryUtilityEarnsCredit(name);
}

bool DefaultUtility::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    const bool markWritten = earnsCredit != ReadByVersionOne(name.c_str(), cost);
    bool ok = file.BeginRecord(record, markWritten ? EarnsCreditVersion : RecordVersion) && file.WriteCPString(name) &&
              file.WriteInt(side);
    for (double v : {supplyTemperature, targetTemperature, filmCoefficient, cost, rangeUpper, rangeLower,
                     dtminContribution, viscosity, thermalConductivity, massDensity, specificHeat})
        ok = ok && file.WriteDouble(v);
    ok = ok && file.WriteCPString(exchangerType) && file.WriteDouble(emissionsCoefficient) &&
         file.WriteBool(emptyFilmCoefficient) && file.WriteBool(simulationUtility) &&
         file.WriteInt(static_cast<std::int32_t>(composition.size()));
    for (const UtilityComponent& c : composition) ok = ok && file.WriteCPString(c.name) && file.WriteDouble(c.fraction);
    if (markWritten) ok = ok && file.WriteBool(earnsCredit);
    return ok && file.EndRecord(record);
}

namespace {

// The values the editor of default utilities takes, in the ranges a case holds for their kinds:
// a file or record that brings anything else is damaged, not a utility to price or size with.
bool HoldsEditorRanges(const DefaultUtility& u) {
    auto inKind = [](int kind, double value) {
        if (Units::IsEmpty(value)) return true;
        if (!std::isfinite(value)) return false;
        const KindRange* range = FindKindRange(kind);
        return !range || (value >= range->low && value <= range->high);
    };
    const bool supplyKnown = !Units::IsEmpty(u.supplyTemperature), targetKnown = !Units::IsEmpty(u.targetTemperature);
    if (!inKind(1, u.supplyTemperature) || !inKind(1, u.targetTemperature)) return false;
    // A hot utility gives heat from its supply down to its target, a cold one the other way.
    if (supplyKnown && targetKnown && ((u.side == SHT_Hot && !(u.supplyTemperature > u.targetTemperature)) ||
                                       (u.side == SHT_Cold && !(u.supplyTemperature < u.targetTemperature))))
        return false;
    if (!inKind(1524, u.filmCoefficient) || (!Units::IsEmpty(u.filmCoefficient) && u.filmCoefficient < 0.0)) return false;
    if (!inKind(31002, u.cost)) return false;
    if (!inKind(1517, u.dtminContribution) || (!Units::IsEmpty(u.dtminContribution) && u.dtminContribution < 1.0))
        return false;
    for (double v : {u.viscosity, u.thermalConductivity, u.massDensity, u.specificHeat})
        if (!Units::IsEmpty(v) && !(std::isfinite(v) && v > 0.0)) return false;
    return true;
}

}  // namespace

bool DefaultUtility::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    if (!file.BeginRecord(record)) return false;
    const int version = file.GetRecordVersion(record);
    if (version < 1 || version > EarnsCreditVersion) return false;
    DefaultUtility read;
    std::int32_t sideValue = 0;
    if (!file.ReadCPString(read.name) || !file.ReadInt(sideValue)) return false;
    if (sideValue < SHT_Hot || sideValue > SHT_NotSet) return false;
    read.side = static_cast<SegmentHeatType>(sideValue);
    for (double* v : {&read.supplyTemperature, &read.targetTemperature, &read.filmCoefficient, &read.cost,
                      &read.rangeUpper, &read.rangeLower, &read.dtminContribution, &read.viscosity,
                      &read.thermalConductivity, &read.massDensity, &read.specificHeat})
        if (!file.ReadDouble(*v)) return false;
    std::int32_t count = 0;
    if (!file.ReadCPString(read.exchangerType) || !file.ReadDouble(read.emissionsCoefficient) ||
        !file.ReadBool(read.emptyFilmCoefficient) || !file.ReadBool(read.simulationUtility) ||
        !file.ReadItemCount(count))
        return false;
    // Components are added as they are read, so a false count allocates nothing the file lacks.
    for (std::int32_t i = 0; i < count; ++i) {
        UtilityComponent c;
        if (!file.ReadCPString(c.name) || !file.ReadDouble(c.fraction)) return false;
        read.composition.push_back(std::move(c));
    }
    read.earnsCredit = ReadByVersionOne(read.name.c_str(), read.cost);
    if (version >= EarnsCreditVersion) {
        bool mark = false;
        // The flag is written only where it differs from what version 1 says, and a credit price
        // always earns: a record that says otherwise is not one this writer made.
        if (!file.ReadBool(mark) || mark == read.earnsCredit || (!mark && IsCredit(read.cost))) return false;
        read.earnsCredit = mark;
    }
    if (!file.EndRecord(record)) return false;
    if (!HoldsEditorRanges(read)) return false;
    *this = std::move(read);
    return true;
}

