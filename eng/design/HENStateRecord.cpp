// The operating state in the case file. Each record of the four lists is a nested record of its
// own:
//  exchanger (version 1): string node name, string unit name, selectable flag as a char, int32
//    number of values, then per value its string name and double value, in the record's order;
//  splitter (version 1): string node name, string unit name, int32 branch count, that many
//    doubles (percent shares), int32 list position; branch names are rebuilt from the unit name;
//  stream (version 2): string name, doubles supply, target and outlet temperature, mass flow,
//    price per mass (not in version 1);
//  utility (version 1): string name, doubles load and cost.
// A state is read into fresh lists that replace the old ones only when the whole record read.
#include "eng/design/HENState.h"

#include "brasko/CaseDamage.h"
#include "brasko/ILurmetBinaryFile.h"
#include "eng/design/IHENEvent.h"
#include "eng/model/CaseValueLimits.h"

#include <cstdint>
#include <string>

namespace {
constexpr int kExchangerVersion = 1;
constexpr int kSplitterVersion = 1;
constexpr int kStreamVersion = 2;
constexpr int kUtilityVersion = 1;

// Opens a nested record whose version lies in [1, newest].
bool openRecord(ILurmetBinaryFile& file, RecordHandle& record, int newest, int& version) {
    if (!file.BeginRecord(record)) return false;
    version = file.GetRecordVersion(record);
    return version >= 1 && version <= newest;
}

bool readCount(ILurmetBinaryFile& file, std::int32_t& count) { return file.ReadItemCount(count); }

// A state holds the values the locked network had or an event gave it: a value the state writes
// back to the plant (an area, shells in series, an observed coefficient, a branch's share, a
// stream's flow or inlet temperature) lies where an event's new value must, or is unset; one
// outside is damage, which the next reset would carry into the plant.
// `record` names the record in a refusal.
bool heldValue(const std::string& record, const char* variable, double value) {
    return value == CaseValueLimits::EmptyValue || HENEventValueRefusal(variable, value) == nullptr ||
           NoteCaseDamage("the operating state of " + record + ": " + variable + " " + CaseDamageValue(value) +
                          " is not a value an event gives");
}

std::string quoted(const char* kind, const CPString& name) {
    return std::string(kind) + " \"" + std::string(name.c_str()) + "\"";
}

// A temperature the state only shows: unset, or one a stream can have.
bool shownTemperature(double value) {
    return value == CaseValueLimits::EmptyValue ||
           (value >= CaseValueLimits::MinTemperature && value <= CaseValueLimits::MaxTemperature);
}

template <class List>
bool storeList(ILurmetBinaryFile& file, const List& list) {
    bool ok = file.WriteInt(static_cast<std::int32_t>(list.size()));
    for (const auto& r : list) ok = ok && r->Store(file);
    return ok;
}

// Reads `count` records of type T, each from its own nested record, onto the list.
template <class T>
bool recallList(ILurmetBinaryFile& file, std::vector<std::unique_ptr<T>>& list) {
    std::int32_t count = 0;
    if (!readCount(file, count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        auto record = std::make_unique<T>();
        if (!record->Recall(file)) return false;
        list.push_back(std::move(record));
    }
    return true;
}
}  // namespace

// ---------------------------------------------------------------- exchanger records

bool HeatExchStateStruct::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    bool ok = file.BeginRecord(record, kExchangerVersion) && file.WriteCPString(nodeName) &&
              file.WriteCPString(unitName) && file.WriteChar(selectable ? 1 : 0) &&
              file.WriteInt(static_cast<std::int32_t>(values.size()));
    for (const auto& [name, value] : values) ok = ok && file.WriteCPString(CPString(name)) && file.WriteDouble(value);
    return ok && file.EndRecord(record);
}

bool HeatExchStateStruct::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    int version = 0;
    CPString node, unitKey;
    char flag = 1;
    std::int32_t count = 0;
    if (!openRecord(file, record, kExchangerVersion, version) || !file.ReadCPString(node) ||
        !file.ReadCPString(unitKey) || !file.ReadChar(flag) || !readCount(file, count))
        return false;
    std::vector<std::pair<std::string, double>> read;
    for (std::int32_t i = 0; i < count; ++i) {
        CPString name;
        double value = 0.0;
        if (!file.ReadCPString(name) || !file.ReadDouble(value)) return false;
        // Values are keyed by name: a name met again replaces the value it had.
        bool replaced = false;
        for (auto& entry : read)
            if (entry.first == name.c_str()) {
                entry.second = value;
                replaced = true;
            }
        if (!replaced) read.emplace_back(name.c_str(), value);
    }
    if (!file.EndRecord(record)) return false;
    for (const auto& [key, value] : read)
        if (!heldValue(quoted("exchanger", node), key.c_str(), value)) return false;
    nodeName = node;
    unitName = unitKey;
    selectable = flag != 0;
    values = std::move(read);
    return true;
}

// ---------------------------------------------------------------- splitter records

bool SplitStateStruct::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    bool ok = file.BeginRecord(record, kSplitterVersion) && file.WriteCPString(nodeName) &&
              file.WriteCPString(unitName) && file.WriteInt(static_cast<std::int32_t>(fractions.size()));
    for (double f : fractions) ok = ok && file.WriteDouble(f);
    return ok && file.WriteInt(position) && file.EndRecord(record);
}

bool SplitStateStruct::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    int version = 0;
    CPString node, unitKey;
    std::int32_t count = 0, listPosition = -1;
    if (!openRecord(file, record, kSplitterVersion, version) || !file.ReadCPString(node) ||
        !file.ReadCPString(unitKey) || !readCount(file, count))
        return false;
    std::vector<double> read;
    for (std::int32_t i = 0; i < count; ++i) {
        double f = 0.0;
        if (!file.ReadDouble(f)) return false;
        read.push_back(f);
    }
    if (!file.ReadInt(listPosition) || !file.EndRecord(record)) return false;
    for (double f : read)
        if (!heldValue(quoted("splitter", node), "SplitFlowValue", f)) return false;
    nodeName = node;
    unitName = unitKey;
    fractions = std::move(read);
    position = listPosition;
    RebuildBranchNames();
    return true;
}

// ---------------------------------------------------------------- stream and utility records

bool StreamStateStruct::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    return file.BeginRecord(record, kStreamVersion) && file.WriteCPString(name) && file.WriteDouble(supply) &&
           file.WriteDouble(target) && file.WriteDouble(outlet) && file.WriteDouble(massFlow) &&
           file.WriteDouble(price) && file.EndRecord(record);
}

bool StreamStateStruct::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    int version = 0;
    CPString key;
    double s = 0.0, t = 0.0, o = 0.0, m = 0.0, p = 0.0;
    if (!openRecord(file, record, kStreamVersion, version) || !file.ReadCPString(key) || !file.ReadDouble(s) ||
        !file.ReadDouble(t) || !file.ReadDouble(o) || !file.ReadDouble(m) ||
        (version >= 2 && !file.ReadDouble(p)) || !file.EndRecord(record))
        return false;
    if (!heldValue(quoted("stream", key), "MassFlow", m) || !heldValue(quoted("stream", key), "Temperature", s))
        return false;
    if (!shownTemperature(t))
        return NoteCaseDamage("the operating state of " + quoted("stream", key) + ": its target temperature " +
                              CaseDamageValue(t) + " is not one a stream can have");
    name = key;
    supply = s;
    target = t;
    outlet = o;
    massFlow = m;
    price = p;
    return true;
}

bool UtilityStateStruct::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    return file.BeginRecord(record, kUtilityVersion) && file.WriteCPString(name) && file.WriteDouble(load) &&
           file.WriteDouble(cost) && file.EndRecord(record);
}

bool UtilityStateStruct::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    int version = 0;
    CPString key;
    double l = 0.0, c = 0.0;
    if (!openRecord(file, record, kUtilityVersion, version) || !file.ReadCPString(key) || !file.ReadDouble(l) ||
        !file.ReadDouble(c) || !file.EndRecord(record))
        return false;
    name = key;
    load = l;
    cost = c;
    return true;
}

// ---------------------------------------------------------------- the state

bool HENState::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    return file.BeginRecord(record, RecordVersion) && storeList(file, m_exchangers) && storeList(file, m_splitters) &&
           storeList(file, m_streams) && storeList(file, m_utilities) && file.WriteDouble(m_totalUtilityCost) &&
           file.WriteInt(m_status) && file.EndRecord(record);
}

bool HENState::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    int version = 0;
    std::vector<std::unique_ptr<HeatExchStateStruct>> exchangers;
    std::vector<std::unique_ptr<SplitStateStruct>> splitters;
    std::vector<std::unique_ptr<StreamStateStruct>> streams;
    std::vector<std::unique_ptr<UtilityStateStruct>> utilities;
    double totalCost = 0.0;
    std::int32_t status = 0;
    if (!openRecord(file, record, RecordVersion, version) || !recallList(file, exchangers) ||
        !recallList(file, splitters) || !recallList(file, streams) || !recallList(file, utilities) ||
        !file.ReadDouble(totalCost) || (version >= 2 && !file.ReadInt(status)) || !file.EndRecord(record))
        return false;
    // A status other than the three a state knows is damage.
    if (status < 0 || status > 2) return false;
    m_selectable.clear();
    m_exchangers = std::move(exchangers);
    m_splitters = std::move(splitters);
    m_streams = std::move(streams);
    m_utilities = std::move(utilities);
    m_totalUtilityCost = totalCost;
    m_status = status;
    RebuildSelectable();
    return true;
}
