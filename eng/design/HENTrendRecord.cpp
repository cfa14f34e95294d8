// Trend studies in the case file, with their cleanings and flow changes. The study is read into
// local lists and takes them over only when the whole record has been read.
#include "eng/design/HENTrend.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/design/HENState.h"
#include "eng/design/IHENDesign.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace {
constexpr int kCleaningVersion = 2;
constexpr int kFlowChangeVersion = 3;
constexpr const char* kDefaultStudy = "Default Study";

bool writeSelection(ILurmetBinaryFile& file, const char* name) {
    return file.WriteInt(name ? 1 : 0) && (!name || file.WriteCPString(CPString(name)));
}

bool readSelection(ILurmetBinaryFile& file, bool& present, CPString& name) {
    std::int32_t flag = 0;
    if (!file.ReadInt(flag) || (flag != 0 && flag != 1)) return false;
    present = flag == 1;
    return !present || file.ReadCPString(name);
}

bool readCount(ILurmetBinaryFile& file, std::int32_t& count) { return file.ReadItemCount(count); }

bool readCleaning(ILurmetBinaryFile& file, std::unique_ptr<HENTrendCleanExchEvent>& out) {
    RecordHandle record;
    if (!file.BeginRecord(record)) return false;
    const int version = file.GetRecordVersion(record);
    CPString exchanger, dropped;
    std::int32_t from = 0, to = 0, extra = 0;
    if (version < 1 || version > kCleaningVersion || !file.ReadCPString(exchanger) ||
        (version < 2 && !file.ReadCPString(dropped)) || !file.ReadInt(from) || !file.ReadInt(to) ||
        (version < 2 && (!file.ReadInt(extra) || !file.ReadInt(extra))) || !file.EndRecord(record))
        return false;
    out = std::make_unique<HENTrendCleanExchEvent>(exchanger, from, to);  // its name follows from these
    return true;
}

bool readFlowChange(ILurmetBinaryFile& file, std::unique_ptr<HENTrendSpecialEvent>& out) {
    RecordHandle record;
    if (!file.BeginRecord(record)) return false;
    CPString stream, variable, name;
    std::int32_t point = 0;
    double value = 0.0;
    if (file.GetRecordVersion(record) != kFlowChangeVersion || !file.ReadCPString(stream) ||
        !file.ReadCPString(variable) || !file.ReadCPString(name) || !file.ReadInt(point) || !file.ReadDouble(value) ||
        !file.EndRecord(record))
        return false;
    out = std::make_unique<HENTrendSpecialEvent>(stream, variable, point, value);  // the name is rebuilt
    return true;
}
}  // namespace

bool HENTrend::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    bool ok = file.BeginRecord(record, RecordVersion) && file.WriteCPString(m_name) && file.WriteCPString(m_timeUnit) &&
              file.WriteInt(m_intervals) && file.WriteInt(m_referencePoint) &&
              file.WriteInt(static_cast<std::int32_t>(m_points.size()));
    for (const auto& point : m_points) ok = ok && point->Store(file);
    ok = ok && writeSelection(file, m_selectedCleaning ? m_selectedCleaning->GetName() : nullptr) &&
         file.WriteInt(static_cast<std::int32_t>(m_cleanings.size()));
    for (const auto& e : m_cleanings) {
        RecordHandle event;
        ok = ok && file.BeginRecord(event, kCleaningVersion) && file.WriteCPString(CPString(e->GetHeatExchangerName())) &&
             file.WriteInt(e->GetStartingPoint()) && file.WriteInt(e->GetEndingPoint()) && file.EndRecord(event);
    }
    ok = ok && writeSelection(file, m_selectedSpecial ? m_selectedSpecial->GetName() : nullptr) &&
         file.WriteInt(static_cast<std::int32_t>(m_specials.size()));
    for (const auto& e : m_specials) {
        RecordHandle event;
        ok = ok && file.BeginRecord(event, kFlowChangeVersion) && file.WriteCPString(CPString(e->GetStreamName())) &&
             file.WriteCPString(CPString(e->GetVariable())) && file.WriteCPString(CPString(e->GetName())) &&
             file.WriteInt(e->GetTimePoint()) && file.WriteDouble(e->GetNewValue()) && file.EndRecord(event);
    }
    ok = ok && file.WriteInt(static_cast<std::int32_t>(m_fouled.size()));
    for (const auto& [name, unit] : m_fouled) ok = ok && file.WriteCPString(name);
    // One time per point, whatever the times array holds.
    for (int i = 0; i <= m_intervals; ++i)
        ok = ok && file.WriteDouble(i < static_cast<int>(m_times.size()) ? m_times[i] : 0.0);
    return ok && file.WriteChar(static_cast<char>(m_status)) && file.WriteDouble(m_cumulativeProfit) &&
           file.WriteChar(m_seriesBuilt ? 1 : 0) && file.EndRecord(record);
}

bool HENTrend::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    if (!file.BeginRecord(record)) return false;
    const int version = file.GetRecordVersion(record);
    CPString name, timeUnit;
    std::int32_t intervals = 0, referencePoint = 0, pointCount = 0;
    if (version < 1 || version > RecordVersion || !file.ReadCPString(name) || !file.ReadCPString(timeUnit) ||
        !file.ReadInt(intervals) || !file.ReadInt(referencePoint) || !readCount(file, pointCount))
        return false;
    // Every point 0 .. N has its schedule: a count that disagrees with N is damage.
    if (intervals < 0 || pointCount != intervals + 1) return false;

    HENState* defaultState = m_design ? dynamic_cast<HENState*>(m_design->GetDefaultState()) : nullptr;
    const HENState empty;
    std::vector<std::unique_ptr<HENOperatingSchedule>> points;
    for (std::int32_t i = 0; i < pointCount; ++i) {
        auto point = std::make_unique<HENOperatingSchedule>(CPString(), defaultState ? *defaultState : empty);
        if (!point->Recall(file)) return false;
        if (m_design) point->State().ReattachUnits(*m_design);
        points.push_back(std::move(point));
    }

    bool hasCleaning = false, hasSpecial = false;
    CPString cleaningName, specialName;
    std::int32_t count = 0;
    std::vector<std::unique_ptr<HENTrendCleanExchEvent>> cleanings;
    if (!readSelection(file, hasCleaning, cleaningName) || !readCount(file, count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        std::unique_ptr<HENTrendCleanExchEvent> e;
        if (!readCleaning(file, e)) return false;
        cleanings.push_back(std::move(e));
    }
    std::vector<std::unique_ptr<HENTrendSpecialEvent>> specials;
    if (!readSelection(file, hasSpecial, specialName) || !readCount(file, count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        std::unique_ptr<HENTrendSpecialEvent> e;
        if (!readFlowChange(file, e)) return false;
        specials.push_back(std::move(e));
    }
    std::vector<std::pair<CPString, CNode*>> fouled;
    if (!readCount(file, count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        CPString exchanger;
        if (!file.ReadCPString(exchanger)) return false;
        // Only an exchanger the study may foul (its area specified in the design) is kept.
        for (const auto& [candidate, unit] : m_exchangers)
            if (candidate == exchanger) {
                fouled.emplace_back(candidate, unit);
                break;
            }
    }
    std::vector<double> times;
    for (std::int32_t i = 0; i <= intervals; ++i) {
        double t = 0.0;
        if (!file.ReadDouble(t)) return false;
        times.push_back(t);
    }
    char status = 0, seriesBuilt = 0;
    double cumulative = 0.0;
    if (!file.ReadChar(status) || status < 0 || status > 2 || !file.ReadDouble(cumulative) ||
        !file.ReadChar(seriesBuilt) || !file.EndRecord(record))
        return false;

    // The whole study was read: it replaces what the study held.
    m_selectedCleaning = nullptr;
    m_selectedSpecial = nullptr;
    for (const auto& e : m_cleanings) e->RemoveNotificationReceiver(this);
    for (const auto& e : m_specials) e->RemoveNotificationReceiver(this);
    m_cleanings = std::move(cleanings);
    m_specials = std::move(specials);
    for (const auto& e : m_cleanings) {
        e->AddNotificationReceiver(this);
        e->AddValidMessage(this, IHENTrendCleanExchEvent::CodeMoveRequest);
        if (!m_selectedCleaning && hasCleaning && cleaningName == e->GetName()) m_selectedCleaning = e.get();
    }
    for (const auto& e : m_specials) {
        e->AddNotificationReceiver(this);
        e->AddValidMessage(this, IHENTrendSpecialEvent::CodeMoveRequest);
        if (!m_selectedSpecial && hasSpecial && specialName == e->GetName()) m_selectedSpecial = e.get();
    }
    m_name = name;
    m_timeUnit = timeUnit;
    m_intervals = intervals;
    m_referencePoint = referencePoint;
    m_points = std::move(points);
    m_fouled = std::move(fouled);
    m_times = std::move(times);
    m_status = static_cast<unsigned char>(status);
    m_cumulativeProfit = version < 2 ? -cumulative : cumulative;
    m_seriesBuilt = seriesBuilt != 0;
    m_utilitySeries.clear();
    m_outletSeries.clear();
    m_profitSeries.clear();
    if (m_seriesBuilt) BuildSeries();
    if (m_name != kDefaultStudy && m_design && m_design->GetDefaultStudy() != this)
        m_reference = m_design->GetDefaultStudy();
    return true;
}
