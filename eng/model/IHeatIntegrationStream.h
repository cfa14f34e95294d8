#pragma once
// The interface of a heat-integration stream: everything that targeting, designs, retrofit,
// automatic design, extraction and the views read or change of a stream goes through it.
//
// Conventions: names of values are those of the stream's value set ("Temperature", "Enthalpy",
// "HeatCapacityFlowrate", ...); a segmentable value has one entry per segment ("Temperature" one
// more: the points); -32767.0 is the empty value. Results of 1 mean done, 0 refused. Load modes:
// 0 the targeting view (shifted temperatures, all segments), 1 the network view (actual
// temperatures, connected segments).
//
// Change codes sent (data is an `IHeatIntegrationStream*` where it says "the stream"):
//   4 cost index; 16 load fraction; 33 segment inserted (name, stream); 34 segment deleted (name,
//   stream); 35 DTmin contribution (stream); 37 value set (value name, stream); 40 value changed
//   (pointer to the double); 71 links, hot/cold, value changed (stream); 72 link added/removed
//   (pointer to int 1 / -1); 73 hot/cold determined (pointer to int 2); 87 kind changed (name,
//   pointer to the previous kind).
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"
#include "eng/core/StreamSegment.h"
#include "pellin/IFlowsheetStream.h"

#include <utility>
#include <vector>

// One value of a batch given to SetValues.
struct StreamValueSetting {
    const char* name;
    double value;
    int index;
};

// A stream is also what a flowsheet keeps behind its stream nodes (the same operations).
class IHeatIntegrationStream : public virtual INotificationSender, public IFlowsheetStream {
public:
    ~IHeatIntegrationStream() override = default;

    // Values. GetValue: 1 and the entry; 0 with `out` untouched for an unknown name; 0 and
    // -32767.0 for an entry that does not exist.
    virtual int GetValue(const CPString& name, double& out, int index) const = 0;
    virtual int SetValue(const CPString& name, double value, int index) = 0;
    // The values of a row set together: the values stored are those SetValue gives for each in
    // turn, the rules run once where the result is certain, and the change is announced once per
    // kind of value (code 37 with "Temperature" or another segment value for all of them, with a
    // coefficient's name when only coefficients changed, and with each other name) rather than per
    // value. 1 when every value was stored; 0 at the first refused one (the values before it
    // stored, as SetValue one by one leaves them).
    virtual int SetValues(const StreamValueSetting* values, int count) {
        for (int k = 0; k < count; ++k)
            if (!values[k].name || SetValue(values[k].name, values[k].value, values[k].index) != 1) return 0;
        return 1;
    }
    virtual int SetName(const CPString& name) = 0;
    // scope "Local" or "Global"; the stream keeps half of `dTmin`. `reserved` is not read.
    virtual int SetDTminContribution(double dTmin, const CPString& scope, int reserved, int notify) = 0;
    virtual int InsertSegment(int index) = 0;
    // index 1..number of segments.
    virtual int DeleteSegment(int index) = 0;
    virtual int SetStreamKind(int kind, int notify) = 0;
    // Announces a change the stream does not store (codes 71 and 40).
    virtual int NotifyValueChanged(double value) = 0;

    // Raw property curves: tables along the temperature range kept as values of one entry per
    // point ("Raw_Temperature_DataSet", rising, with "Raw_MassEnthalpy_DataSet",
    // "Raw_SpecificHeat_DataSet", ...; StreamValueNames lists them).
    // Cuts `curve` (points inside the stream's range) into straight pieces, one segment per piece
    // from supply to target. With 0 < `tolerance` < 1 a piece holds when the curve's slope between
    // any two neighbouring points lies within `tolerance` x the piece's slope of it (a phase change
    // is a piece of its own); otherwise no point may lie further from its piece than 0.01 x the
    // curve's value range. Each segment takes the means of the raw properties at its piece's ends
    // (specific heat under `specificHeatName`, or the enthalpy curve's slope). `merge` drops
    // repeated points and asks for one piece. 1 when at least two usable points were linearised;
    // 0, with the stream unchanged, when a raw value cannot be read or too few points are usable.
    virtual int LinearizeRawData(const CPString& curve, const CPString& specificHeatName, double tolerance,
                                 unsigned char merge) = 0;
    // Segment properties interpolated from the raw curves at the stream's own points (means of
    // both ends). 1, or 0 with nothing changed when a raw temperature, the curve or a point
    // cannot be read.
    virtual int UpdateSegmentPropertiesFromRawData(const CPString& curve) = 0;
    // Sets `name` (an enthalpy) from the raw mass-enthalpy curve: its whole change, or with
    // `segmented` one segment per pair of raw points. The result of the last segment insertion
    // (1 when none was needed); 0, nothing changed, when the raw data are missing or not in pairs.
    virtual int SetValueFromRawEnthalpy(const CPString& name, int segmented) = 0;
    // Keeps the first `count` points of a raw property table and drops the rest, so that a table
    // written again with fewer points holds no point of the old one. 1 done; 0 refused (a segment
    // value, an unknown or locked one).
    virtual int TruncateRawData(const CPString& name, int count) {
        (void)name;
        (void)count;
        return 0;
    }

    virtual int GetStreamKind() const = 0;  // 0 process, 1 utility, 2 process with links, 5 not set
    virtual int GetHotCold() const = 0;     // 0 hot, 1 cold, 2 undetermined
    virtual int GetDTminContributionScope() const = 0;  // 1 "Local", 0 "Global"
    virtual const CPString& GetName() const = 0;
    // 0 unset, 1 specified, 2 calculated; flows of a utility always answer 2.
    virtual unsigned char GetValueStatus(const CPString& name, int index) const = 0;
    virtual int GetStoredInt() const = 0;
    virtual int GetNumberOfSegments() const = 0;
    // Whether `value` for `name` at `index`, stored as SetValue stores it, leaves every segment one
    // a case holds (CaseValueLimits::SegmentHolds): a what-if asks before it writes a stream's
    // supply or flow. Nothing is stored and no one hears of it.
    virtual bool WouldHold(const CPString& /*name*/, double /*value*/, int /*index*/) const { return true; }
    // The same for several values at once, written in the order given (a later one of the same name
    // overrides an earlier): a what-if that changes a stream's supply and its flow together is
    // judged on both, as each alone may hold where the two together do not.
    using TrialValues = std::vector<std::pair<CPString, double>>;
    virtual bool WouldHoldAll(const TrialValues& /*values*/, int /*index*/) const { return true; }
    virtual int GetNumberOfSubvalues(const CPString& name) const = 0;
    virtual bool IsLinkedTo(const CPString& name) const = 0;
    virtual bool AreDesignSegmentsComplete() const = 0;
    // The stream's segments in the designs, in segment order (null until built or recalled); the
    // views read the utility placement's cross-pinch marks from them.
    virtual const StreamSegmentList* GetDesignSegments() const = 0;
    virtual int CopyFrom(IHeatIntegrationStream* other) = 0;
    // Links are kept on both streams; 1 done, 0 refused (locked, unknown or own name).
    virtual int LinkStream(const CPString& name) = 0;
    virtual int UnlinkStream(const CPString& name) = 0;
    virtual void WidenIsothermalStream() = 0;
    // end +1 or -1.
    virtual void SetLoadFraction(double fraction, int end) = 0;
    virtual void SetCostIndex(double costIndex) = 0;
    virtual void SetMassEmissionsCoefficient(double coefficient) = 0;
    virtual void SetUpdating(int updating) = 0;
    virtual int IsUpdating() const = 0;
    virtual double GetDTminContribution() const = 0;

    // Loads and temperatures.
    virtual double GetHeatLoadInRange(double from, double to, int mode) const = 0;
    virtual double GetHeatLoad(int mode) = 0;
    virtual double GetSegmentHeatCapacityFlowrate(int segment) const = 0;
    virtual double GetHeatLoadFromSupply(double temperature) const = 0;
    virtual double GetTemperatureAtLoad(double load) const = 0;
    virtual double GetSupplyTemperature() const = 0;
    virtual double GetTargetTemperature() const = 0;
    virtual double GetStoredValue() const = 0;
    virtual double GetCostIndex() const = 0;
    // Whether the utility earns a credit (raises steam, recovers refrigerant): it came from a
    // default utility that does, or was given a credit once. A price typed since changes nothing.
    virtual bool EarnsCredit() const = 0;
    // Marks the utility as one that earns a credit, as when made from a default utility that does.
    virtual void MarkEarnsCredit() = 0;
    virtual double GetMassEmissionsCoefficient() const = 0;
    virtual double GetOperatingCost() const = 0;
    virtual double GetLoadFraction(int end) const = 0;
    virtual double GetSegmentValueAtTemperature(double temperature, const CPString& name) const = 0;
    virtual int GetPointIndexAtTemperature(double temperature) const = 0;
    // False for a process stream with a sign change of the specific heat between neighbouring
    // segments (the first of them wider than 1 °C); true otherwise.
    virtual bool IsSpecificHeatSignConsistent() const = 0;
    virtual bool IsLocked() const = 0;
    // Whether a user's change of the named value would change the existing network a retrofit
    // study starts from (the stream is locked for the study's base): every value of a locked
    // stream but those the study leaves to the user (a process stream's mass flow, its price per
    // mass and its splitting limit, the load fractions of its ends). A null name asks about the
    // stream's make-up itself (adding or removing segments). Every table that writes a stream's
    // data asks this before it writes, and writes nothing when it answers true.
    virtual bool IsHeldByRetrofitBase(const char* name) const = 0;
    // Mode 2 (a design swapping its own utility load in) is the network view, as mode 1.
    virtual void SetHeatLoad(double load, int mode) = 0;
    // Fits the cumulative heat per unit mass over the segments by one polynomial (always 1; the
    // polynomial is marked unusable when the specific heats change too steeply or the fit is not
    // trustworthy).
    virtual int FitSpecificHeatPolynomial() = 0;
    // Mean specific heat between t1 and t2 from the fitted polynomial (over less than 0.01 °C
    // the segment's own specific heat at t1). 1; 0 with both outputs 0.0 without a usable fit.
    // `reserved` is set to 0.0. Either pointer may be null.
    virtual int GetMeanSpecificHeat(double t1, double t2, double* reserved, double* mean) const = 0;
};
