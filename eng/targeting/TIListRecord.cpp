// The case-file record of a temperature-interval list. Only the boundaries are kept; the
// membership is rebuilt from the segments by the next Build.
#include "brasko/ILurmetBinaryFile.h"
#include "eng/targeting/TemperatureInterval.h"

#include <cmath>

bool TIList::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    bool ok = file.BeginRecord(h, RecordVersion) && file.WriteInt(m_nMode) && file.WriteInt(m_pIntervals ? 1 : 0);
    if (ok && m_pIntervals) {
        ok = file.WriteLong(static_cast<std::int32_t>(m_pIntervals->size()));
        for (std::size_t i = 0; ok && i < m_pIntervals->size(); ++i) {
            const TemperatureInterval& e = (*m_pIntervals)[i];
            RecordHandle eh;
            ok = file.BeginRecord(eh, TemperatureInterval::RecordVersion) && file.WriteDouble(e.dTemperature) &&
                 file.WriteDouble(e.dValue) && file.WriteInt(GetKind(static_cast<int>(i))) && file.EndRecord(eh);
        }
    }
    return ok && file.EndRecord(h);
}

bool TIList::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    std::int32_t mode = 0, present = 0;
    if (!file.ReadInt(mode) || !file.ReadInt(present)) return false;

    std::unique_ptr<std::vector<TemperatureInterval>> intervals;
    std::vector<std::int32_t> kinds;
    if (present) {
        std::int32_t count = 0;
        if (!file.ReadItemCount(count)) return false;
        // The count is not trusted for allocation: boundaries are appended as they are read, and
        // a short file fails at the first missing one.
        intervals = std::make_unique<std::vector<TemperatureInterval>>();
        intervals->reserve(256);
        for (std::int32_t i = 0; i < count; ++i) {
            RecordHandle eh;
            TemperatureInterval e;
            std::int32_t kind = 0;
            if (!file.BeginRecord(eh) || !file.ReadDouble(e.dTemperature) || !file.ReadDouble(e.dValue) ||
                !file.ReadInt(kind) || !file.EndRecord(eh))
                return false;
            // Boundaries are sorted and compared: a temperature that is not a number is damage.
            if (!std::isfinite(e.dTemperature)) return false;
            intervals->push_back(e);
            kinds.push_back(kind);
        }
    }
    if (!file.EndRecord(h)) return false;
    m_nMode = mode;
    TakeBoundaries(std::move(intervals), std::move(kinds));
    m_spans.clear();
    return true;
}
