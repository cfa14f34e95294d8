#pragma once
// The operating state of a design: a snapshot of what operating studies change and read back,
// one record per exchanger, splitter, process stream and utility stream. A design owns one
// default state; every schedule owns its own. What-if events change one value of one record and
// write it to the record's unit or stream; writing the whole state back undoes the events.
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"
#include "eng/design/IHENState.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class CNode;
class IHENDesign;
class ILurmetBinaryFile;
class IHENEvent;
class IHeatIntegrationStream;

// One record of a state.
class BasicStateStruct {
public:
    virtual ~BasicStateStruct() = default;
    // Writes the record as a nested record of its own; true when every write succeeded.
    virtual bool Store(ILurmetBinaryFile& file) const = 0;
    // Writes the record's values to its unit or stream; null writes all it writes back.
    virtual void ApplyToUnit(const char* name) = 0;
    // Takes the event's new value into the record under the variable's name.
    virtual void SetValueFromEvent(const char* name, const IHENEvent& event) = 0;
};

class HeatExchStateStruct : public BasicStateStruct {
public:
    bool Store(ILurmetBinaryFile& file) const override;
    // Reads a record written by Store (or an older version of it) into this one.
    bool Recall(ILurmetBinaryFile& file);
    HeatExchStateStruct() = default;
    HeatExchStateStruct(const HeatExchStateStruct& other);
    // Reads the unit's values; a value the unit cannot supply is recorded as -32767.0.
    void SetFromUnit(CNode* unit);
    void ApplyToUnit(const char* name) override;
    void SetValueFromEvent(const char* name, const IHENEvent& event) override;
    // A heater or cooler: a unit on a utility, whose area is a result of the stream it closes.
    bool IsUtilityExchanger() const;
    // False when the record lacks the value.
    bool GetValue(const char* name, double& out) const;
    void SetValue(const char* name, double value);

    CNode* unit = nullptr;
    CPString nodeName, unitName;
    bool selectable = true;
    std::vector<std::pair<std::string, double>> values;  // in the order first set
};

class SplitStateStruct : public BasicStateStruct {
public:
    bool Store(ILurmetBinaryFile& file) const override;
    // Reads a record written by Store (or an older version of it) into this one.
    bool Recall(ILurmetBinaryFile& file);
    SplitStateStruct() = default;
    SplitStateStruct(const SplitStateStruct& other);
    void SetFromUnit(CNode* unit);
    void ApplyToUnit(const char* name) override;
    void SetValueFromEvent(const char* name, const IHENEvent& event) override;
    void RebuildBranchNames();
    // The branch a target name stands for: the number after its last blank, less one; -1 when
    // there is no number there.
    static int GetBranchIndexFromName(const char* target);

    CNode* unit = nullptr;
    CPString nodeName, unitName;
    std::vector<double> fractions;  // percent
    std::vector<CPString> branchNames;
    int position = -1;
};

class StreamStateStruct : public BasicStateStruct {
public:
    bool Store(ILurmetBinaryFile& file) const override;
    // Reads a record written by Store (or an older version of it) into this one.
    bool Recall(ILurmetBinaryFile& file);
    void SetFromStream(IHENDesign& design, IHeatIntegrationStream* stream);
    void ApplyToUnit(const char* name) override;
    void SetValueFromEvent(const char* name, const IHENEvent& event) override;
    // The message key that refuses `value` as the stream's new supply ("Temperature") or mass flow
    // ("MassFlow"): a supply at or past its target would turn the stream round, and a value that
    // leaves a segment no case holds (a rate or load below what a case takes) would make a run no
    // case can be saved with. Null when the stream can run at it (or for another variable).
    // The stream is judged as the what-if would have it: at this record's supply and flow (the
    // default point as it is now, process data typed since included), with the other values the
    // same schedule or study point gives it (`with`), and `value` last.
    using WhatIfValues = std::vector<std::pair<CPString, double>>;
    const char* ValueRefusal(const char* variable, double value, const WhatIfValues& with = {}) const;

    IHeatIntegrationStream* stream = nullptr;
    CPString name;
    double supply = -32767.0, target = -32767.0, outlet = -32767.0, massFlow = -32767.0, price = 0.0;
    // A unit of the network stands on the stream (one added while the network is locked has
    // none): an event on a stream nothing serves would change nothing. Not stored; set again
    // when the record is filled or re-attached.
    bool served = true;
};

class UtilityStateStruct : public BasicStateStruct {
public:
    bool Store(ILurmetBinaryFile& file) const override;
    // Reads a record written by Store (or an older version of it) into this one.
    bool Recall(ILurmetBinaryFile& file);
    void ApplyToUnit(const char*) override {}
    void SetValueFromEvent(const char*, const IHENEvent&) override {}

    CPString name;
    double load = 0.0, cost = 0.0;
};

class HENState : public IHENState, public NotificationSender {
public:
    HENState() = default;
    HENState(const HENState& other);
    HENState& operator=(const HENState&) = delete;
    // Tells its receivers that it goes (change code 10), so that no view keeps showing it.
    ~HENState() override;
    static constexpr int CodeDestroyed = 10;

    // ---- IHENState ----
    int GetNumberOfStreams() const override { return static_cast<int>(m_streams.size()); }
    int GetNumberOfUtilities() const override { return static_cast<int>(m_utilities.size()); }
    int GetNumberOfHeatExchangers() const override { return static_cast<int>(m_exchangers.size()); }
    int GetNumberOfSelectableHeatExchangers() const override { return static_cast<int>(m_selectable.size()); }
    int GetNumberOfSplitters() const override { return static_cast<int>(m_splitters.size()); }
    void GetHeatExchangerValue(int index, const CPString& name, double& out) const override;
    const char* GetSelectableHeatExchangerName(int index) const override;
    const char* GetHeatExchangerName(int index) const override;
    const char* GetUtilityName(int index) const override;
    const char* GetStreamName(int index) const override;
    const char* GetSplitterName(int index) const override;
    int GetNumberOfBranches(int splitter) const override;
    double GetBranchFraction(int splitter, int branch) const override;
    // Divides the kept branch fractions of the splitter of that node name by `divisor`.
    void DivideBranchFractions(const CPString& nodeName, double divisor);
    double GetStreamSupplyTemperature(int index) const override;
    double GetStreamTargetTemperature(int index) const override;
    double GetStreamOutletTemperature(int index) const override;
    double GetStreamMassFlow(int index) const override;
    double GetStreamPricePerMass(int index) const override;
    double GetUtilityDuty(int index) const override;
    double GetUtilityCost(int index) const override;
    double GetTotalUtilityCost() const override { return m_totalUtilityCost; }
    unsigned char GetStatus() const override { return static_cast<unsigned char>(m_status); }
    void SetStatus(const CPString& text) override { m_status = text == "NotConverged" ? 2 : 1; }

    // ---- outside the interface ----
    void ResetStatus() { m_status = 0; }
    void SetStatusValue(int status) { m_status = status; }
    // Refills every record from the design; the status stays.
    void SetFromDesign(IHENDesign& design);
    // Takes every record and the status of `other` exactly (a state taken earlier by this same
    // means): the state stays the one its views show.
    void TakeRecordsOf(const HENState& other);
    // Writes area, shells and observed coefficient of each selectable exchanger, the split
    // shares and each process stream's mass flow and supply temperature back.
    void ApplyToDesign();
    // Links the records to the design's nodes and streams again (after the network was rebuilt).
    void ReattachUnits(IHENDesign& design);
    // What a what-if starts from and prices by, in record order: each exchanger's area, shells,
    // observed coefficient and fouling; each split share; each process stream's supply and target
    // temperature, mass flow and price; each utility's cost and the total. Two states whose lists
    // agree give every schedule and study the same results.
    std::vector<double> OperatingInputs() const;
    // The records of the exchanger or splitter (or of the stream) renamed take its new name:
    // their key everywhere, and what ReattachUnits finds the unit or stream by.
    void RenameUnit(const CPString& oldName, const CPString& newName);
    void RenameStream(const CPString& oldName, const CPString& newName);
    // The n-th adjustable split branch (every branch but each splitter's last); null beyond.
    const char* GetSplitBranchName(int n) const;
    int GetNumberOfSplitBranches() const;

    // ---- case file ----
    // Version 2: the exchanger, splitter, stream and utility records, each list after its count;
    // the total utility cost; the status (not in version 1). A failed read leaves the state as
    // it was; the records read are linked to a design's units by ReattachUnits.
    static constexpr int RecordVersion = 2;
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);

    // Records by key, for the events' targets.
    HeatExchStateStruct* FindHeatExchanger(const char* unitName) const;
    SplitStateStruct* FindSplitterOf(const char* branchName) const;
    StreamStateStruct* FindStream(const char* name) const;

private:
    void RebuildSelectable();

    std::vector<std::unique_ptr<HeatExchStateStruct>> m_exchangers;
    std::vector<HeatExchStateStruct*> m_selectable;
    std::vector<std::unique_ptr<SplitStateStruct>> m_splitters;
    std::vector<std::unique_ptr<StreamStateStruct>> m_streams;
    std::vector<std::unique_ptr<UtilityStateStruct>> m_utilities;
    double m_totalUtilityCost = -32767.0;
    int m_status = 0;
};
