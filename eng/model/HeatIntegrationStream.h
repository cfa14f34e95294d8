#pragma once
// One process or utility stream of a scenario, or of a site utility manager: its name, kind and
// side, its named values and segments (StreamPropertySet), its share of the minimum approach
// temperature, its energy price, its segments as the designs see them, and the streams it is
// linked to. Views and the owner hear of every change through change codes
// (IHeatIntegrationStream.h lists them).
//
// Sources by concern: HeatIntegrationStream.cpp (values, segments, kind, contribution),
// HeatIntegrationStreamLinks.cpp (links), HeatIntegrationStreamLoads.cpp (loads and
// temperatures), HeatIntegrationStreamRecord.cpp (case-file record),
// HeatIntegrationStreamRawData.cpp (raw property curves and the specific-heat fit).
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"
#include "eng/model/IHeatIntegrationStreamForTargeting.h"
#include "eng/model/StreamPropertySet.h"
#include "eng/core/StreamSegment.h"

#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

class ILurmetBinaryFile;
class IStreamOwner;

class CPIHeatIntegrationStream : public IHeatIntegrationStreamForTargeting, public NotificationSender {
public:
    static constexpr int RecordVersion = 5;
    // The record of a utility that keeps the process data it had as a process stream.
    static constexpr int KeptProcessValuesVersion = 6;
    // Version 7 adds whether the utility earns a credit, for one that holds a price it pays.
    static constexpr int EarnsCreditVersion = 7;
    static constexpr double DefaultLoadFraction = 0.01;
    // 100 per kW and year, held per second.
    static constexpr double DefaultCostIndex = 3.171e-06;
    static constexpr double DefaultMassEmissionsCoefficient = 5.589e-05;

    // `owner` is the scenario or site utility manager (may be null for a free-standing stream).
    // A clean coefficient given is stored after the defaults, as SetValue would store it.
    CPIHeatIntegrationStream(IStreamOwner* owner, const CPString& name, double cleanCoefficient = -32767.0);
    // Removes this stream from every stream it is linked to, then frees what it owns.
    ~CPIHeatIntegrationStream() override;
    CPIHeatIntegrationStream(const CPIHeatIntegrationStream&) = delete;
    CPIHeatIntegrationStream& operator=(const CPIHeatIntegrationStream&) = delete;

    // ---- IHeatIntegrationStream ----------------------------------------------------------------
    int GetValue(const CPString& name, double& out, int index) const override;
    int SetValue(const CPString& name, double value, int index) override;
    int SetValues(const StreamValueSetting* values, int count) override;
    int SetName(const CPString& name) override;
    int SetDTminContribution(double dTmin, const CPString& scope, int reserved, int notify) override;
    int InsertSegment(int index) override;
    int DeleteSegment(int index) override;
    int SetStreamKind(int kind, int notify) override;
    int NotifyValueChanged(double value) override;
    int LinearizeRawData(const CPString& curve, const CPString& specificHeatName, double tolerance,
                         unsigned char merge) override;
    int UpdateSegmentPropertiesFromRawData(const CPString& curve) override;
    int SetValueFromRawEnthalpy(const CPString& name, int segmented) override;
    int TruncateRawData(const CPString& name, int count) override { return m_set.TruncateEntries(name, count); }
    int GetStreamKind() const override { return m_nKind; }
    int GetHotCold() const override { return m_nHotCold; }
    int GetDTminContributionScope() const override { return m_set.GetDTminContribution().nFlag; }
    const CPString& GetName() const override { return m_strName; }
    unsigned char GetValueStatus(const CPString& name, int index) const override;
    int GetStoredInt() const override { return m_nStoredInt; }
    int GetNumberOfSegments() const override { return m_set.GetNumberOfSegments(); }
    bool WouldHold(const CPString& name, double value, int index) const override;
    bool WouldHoldAll(const TrialValues& values, int index) const override;
    int GetNumberOfSubvalues(const CPString& name) const override { return m_set.GetNumberOfEntries(name); }
    bool IsLinkedTo(const CPString& name) const override;
    bool AreDesignSegmentsComplete() const override;
    int CopyFrom(IHeatIntegrationStream* other) override;
    // The values of `other` (a copy of this stream taken earlier) exactly as it holds them, with
    // nothing worked out again: a stream given back as it was before a refused change. Its name,
    // owner and links stay this stream's; its owner re-takes its segments when told.
    void TakeValuesExactly(const CPIHeatIntegrationStream& other);
    int LinkStream(const CPString& name) override;
    int UnlinkStream(const CPString& name) override;
    void WidenIsothermalStream() override;
    void SetLoadFraction(double fraction, int end) override;
    void SetCostIndex(double costIndex) override;
    void SetMassEmissionsCoefficient(double coefficient) override {
        SetRareValue(&Rare::massEmissionsCoefficient, coefficient, DefaultMassEmissionsCoefficient);
    }
    void SetUpdating(int updating) override { m_set.SetUpdating(updating); }
    int IsUpdating() const override { return m_set.IsUpdating(); }
    double GetDTminContribution() const override { return m_set.GetDTminContribution().dValue; }
    double GetHeatLoadInRange(double from, double to, int mode) const override;
    double GetHeatLoad(int mode) override;
    double GetSegmentHeatCapacityFlowrate(int segment) const override;
    double GetHeatLoadFromSupply(double temperature) const override;
    double GetTemperatureAtLoad(double load) const override;
    double GetSupplyTemperature() const override;
    double GetTargetTemperature() const override;
    double GetStoredValue() const override { return m_pRare ? m_pRare->storedValue : 0.0; }
    double GetCostIndex() const override { return m_pRare ? m_pRare->costIndex : DefaultCostIndex; }
    bool EarnsCredit() const override { return m_pRare && m_pRare->earnsCredit; }
    void MarkEarnsCredit() override { TheRare().earnsCredit = true; }
    double GetMassEmissionsCoefficient() const override {
        return m_pRare ? m_pRare->massEmissionsCoefficient : DefaultMassEmissionsCoefficient;
    }
    double GetOperatingCost() const override;
    double GetLoadFraction(int end) const override;
    double GetSegmentValueAtTemperature(double temperature, const CPString& name) const override;
    int GetPointIndexAtTemperature(double temperature) const override;
    bool IsSpecificHeatSignConsistent() const override;
    bool IsLocked() const override { return m_bLocked; }
    bool IsHeldByRetrofitBase(const char* name) const override;
    void SetHeatLoad(double load, int mode) override;
    int FitSpecificHeatPolynomial() override;
    int GetMeanSpecificHeat(double t1, double t2, double* reserved, double* mean) const override;

    // ---- for the owner and targeting ----------------------------------------------------------
    IStreamOwner* GetOwner() const { return m_pOwner; }
    // Takes what a total site shares of its utility stream: the values and segments, the approach,
    // the side, the price and the emissions. The name, the kind, the loads and the placement stay
    // this stream's: they belong to the scenario that holds it. Nobody is told.
    void TakeSiteData(const CPIHeatIntegrationStream& site);
    // The scenario gives each stream a distinct number (its identity for retrofit).
    void SetStoredInt(std::int32_t value) override { m_nStoredInt = value; }
    // A locked stream keeps its cost index and its links.
    void SetLocked(bool locked) { m_bLocked = locked; }
    // Utility placement: the temperature a placed utility is used to (read by GetStoredValue and
    // kept in the record), and forgetting the loads computed so far, so that the next GetHeatLoad
    // of either view sums the placed segments afresh.
    void SetStoredValue(double value) override { SetRareValue(&Rare::storedValue, value, 0.0); }
    void ForgetComputedLoads() override { ClearLoadFlags(); }

    StreamPropertySet& GetPropertySet() override { return m_set; }
    const StreamPropertySet& GetPropertySet() const override { return m_set; }
    bool IsComplete() const { return m_set.IsComplete(); }

    // The design segments (null until built or recalled).
    StreamSegmentList* GetDesignSegments() override { return DesignList(); }
    const StreamSegmentList* GetDesignSegments() const override { return DesignList(); }
    // A new list of design segments from the value set.
    std::unique_ptr<StreamSegmentList> BuildDesignSegments() { return m_set.BuildDesignSegments(); }
    // Takes over a list, freeing the previous one.
    void SetDesignSegments(std::unique_ptr<StreamSegmentList> segments);
    // Hands the list over to the caller; the stream keeps none.
    std::unique_ptr<StreamSegmentList> DetachDesignSegments();

    // Names of the linked streams, in the order they were linked (recalled names whose streams are
    // not known yet come last).
    std::vector<CPString> GetLinkedStreamNames() const;
    int GetNumberOfLinkedStreams() const;
    // Drops every link, on both sides, without notifications (an owner about to delete streams).
    void ForgetLinkedStreams();
    // Links the two streams, on both sides, without notifications (an owner copying links from
    // another scenario counts them itself); nothing for the stream itself or one linked already.
    void JoinLinkWith(CPIHeatIntegrationStream& other);
    // After all streams of a file are read: links recalled before their streams existed are made
    // now; a name with no stream behind it is dropped. Answers the number dropped.
    int ResolvePendingLinks();

    bool IsInInterval(double upper, double lower) const override;
    void UpdateEndToleranceLoad(int end) override;
    void SetTemporaryDTmin(double dTmin);
    void RestoreDTminContribution();

    // Record version 5 (reads 1 to 5).
    bool Store(ILurmetBinaryFile& file) const override;
    bool Recall(ILurmetBinaryFile& file) override;

    // Load flags (a load once taken or set is read from the design segments).
    // A utility of the site's own list (its owner is the site utility manager, not a scenario).
    bool IsSiteUtility() const;
    bool IsLoadInStep(int mode) const { return (mode == 0 || mode == 1) && m_bLoadInStep[mode] != 0; }
    // The load a utility holds as its own in a view (0 targeting, 1 network; 0 for a process
    // stream): summed from its design segments while it has them, else the one set or summed last
    // (its segments withdrawn to be made again). Reading it changes nothing.
    double GetOwnHeatLoad(int mode) const;

    // The specific-heat polynomial: a0..an of the cumulative heat h(T) over n segments, written
    // by FitSpecificHeatPolynomial; empty until then, entry 0 = -32767.0 when unusable.
    const std::vector<double>& GetSpecificHeatPolynomial() const {
        static const std::vector<double> none;
        return m_pRare && m_pRare->specificHeatPolynomial ? *m_pRare->specificHeatPolynomial : none;
    }

    // ---- visitors over lists of streams (items: CPIHeatIntegrationStream*) --------------------
    // Adds the stream's number of segments to the int the context points to.
    static void AddNumberOfSegments(void* item, void* context);
    // 1 when the stream's name equals the CPString the key points to.
    static int HasName(void* item, void* key);
    // By cost index: -1 less, 1 greater, 0 equal.
    static int CompareCostIndex(const void* a, const void* b);

private:
    friend class StreamPropertySet;

    struct LinkEntry {
        CPString name;
        CPIHeatIntegrationStream* stream;
    };

    // Hot/cold as the value set determines it; notifies 71 and 73 when it changes.
    void SetHotColdFromValues(int hotCold);
    void ClearLoadFlags() { m_bLoadInStep[0] = m_bLoadInStep[1] = 0; }
    // The load flag a case stores for the view: a utility's load is always read from its segments,
    // so its flag only says whether the kept load is what they hold.
    std::int32_t StoredLoadFlag(int mode) const;
    // The load the design segments hold, unsigned. A utility's, in either mode, is each segment's
    // heat-capacity flow rate times the range it serves as placed; a process stream's in mode 1
    // the connected segments' loads, else each segment's range times its heat-capacity flow rate.
    double SegmentLoadSum(int mode) const;
    // The range a utility segment serves: from its inlet to its placed far end while connected;
    // none while unused, unless a design runs its own load through it (its whole range).
    static double ServedRange(const StreamSegment& s, bool designOwn);
    // Spreads a utility's load over its segments by what they serve (SetHeatLoad).
    void SpreadUtilityLoad(double load, bool designOwn);
    void Notify(int code, const CPString& text, void* data) { SendAMessage(code, text, data); }
    void PushToDesignSegment(const CPString& name, double value, int index);
    void NotifyValuesSet(const std::vector<const char*>& names);
    void* AsData() { return static_cast<IHeatIntegrationStream*>(this); }
    double PointValue(int index) const;

    // Links, kept symmetric: when this stream holds another, the other holds this one.
    LinkEntry* FindLink(const CPString& name);
    const LinkEntry* FindLink(const CPString& name) const;
    bool HoldsLinkTo(const CPIHeatIntegrationStream* other) const;
    // Adds (name, other) here; creating the dictionary makes a process stream a linked one when
    // `adjustKind` is set (a utility keeps its kind).
    void AddLinkEntry(const CPString& name, CPIHeatIntegrationStream* other, bool adjustKind);
    // Removes every entry that holds `other`; an emptied dictionary is deleted and a linked stream
    // becomes a process stream again (no notification). Answers whether anything was removed.
    bool RemoveLinksTo(const CPIHeatIntegrationStream* other);
    // Links this stream and `other` both ways, silently.
    void JoinLinks(CPIHeatIntegrationStream* other, bool adjustOwnKind);
    void RenameInLinkedStreams();

    StreamSegmentList* DesignList() { return m_bHasDesignSegments ? &m_designSegments : nullptr; }
    const StreamSegmentList* DesignList() const { return m_bHasDesignSegments ? &m_designSegments : nullptr; }

    // Segments as the network sees them: the end segment of a utility is its last connected one.
    StreamSegment* EndSegment() const;

    // What few streams hold: settings off their defaults (the utilities'), the placed temperature,
    // the fit of the raw data's specific heats, links and the names of links recalled before their
    // streams. A table of many process streams pays one pointer a stream for all of it; a setting
    // given its default value bit for bit makes no block.
    struct Rare {
        double loadFraction0 = DefaultLoadFraction;  // end +1
        double loadFraction1 = DefaultLoadFraction;  // end -1
        double costIndex = DefaultCostIndex;
        double massEmissionsCoefficient = DefaultMassEmissionsCoefficient;
        double storedValue = 0.0;
        std::unique_ptr<std::vector<double>> specificHeatPolynomial;
        // Linked streams, in the order they were linked; exists only while there are links.
        std::unique_ptr<std::vector<LinkEntry>> linkedStreams;
        // Names recalled from a file whose streams were not there yet (null while there are none).
        std::unique_ptr<std::vector<CPString>> pendingLinkNames;
        // The flow rates and loads a process stream was given, kept while it is a utility (whose
        // placed loads write its rates) so that it gets them back as a process stream again.
        struct KeptValue {
            const char* name;
            int index;
            double value;
        };
        std::unique_ptr<std::vector<KeptValue>> processValues;
        // Set by the first credit the utility holds and kept through any price typed after it.
        bool earnsCredit = false;
    };
    // Keeps, and gives back, what a switch to a utility overwrites.
    void KeepProcessValues();
    void RestoreProcessValues();
    const std::vector<Rare::KeptValue>* KeptProcessValues() const {
        return m_pRare ? m_pRare->processValues.get() : nullptr;
    }
    int StoredRecordVersion() const;
    bool RecallKeptProcessValues(ILurmetBinaryFile& file, bool mayBeNone);
    static bool Same(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }
    Rare& TheRare() {
        if (!m_pRare) m_pRare = std::make_unique<Rare>();
        return *m_pRare;
    }
    std::vector<LinkEntry>* Links() const { return m_pRare ? m_pRare->linkedStreams.get() : nullptr; }
    std::vector<CPString>* PendingLinks() const { return m_pRare ? m_pRare->pendingLinkNames.get() : nullptr; }
    // Stores a value read from a file or copied, making the block only for one off its default.
    void SetRareValue(double Rare::*member, double value, double defaultValue) {
        if (m_pRare || !Same(value, defaultValue)) TheRare().*member = value;
    }
    double LoadFractionAt(int k) const {
        return !m_pRare ? DefaultLoadFraction : k == 0 ? m_pRare->loadFraction0 : m_pRare->loadFraction1;
    }

    std::int32_t m_nStoredInt = 0;
    bool m_bLocked = false;
    // Whether the design segments are built or recalled (an empty list is still a list).
    bool m_bHasDesignSegments = false;
    // Kind and side as bytes: only the values of their enums are ever taken (a record with
    // another is refused).
    std::int8_t m_nKind = KindNotSet;
    std::int8_t m_nHotCold = SideUndetermined;
    CPString m_strName;
    IStreamOwner* m_pOwner = nullptr;
    StreamPropertySet m_set;
    double m_dCachedHeatLoad[2] = {0.0, 0.0};
    std::int32_t m_bLoadInStep[2] = {0, 0};
    StreamSegmentList m_designSegments;
    std::unique_ptr<Rare> m_pRare;
    const std::vector<CPString>& PendingLinkNames() const {
        static const std::vector<CPString> none;
        return PendingLinks() ? *PendingLinks() : none;
    }
    void ErasePendingLinkName(const CPString& name);
};
