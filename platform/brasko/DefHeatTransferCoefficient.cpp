#include "brasko/DefHeatTransferCoefficient.h"

#include "brasko/ILurmetBinaryFile.h"

bool DefHeatTransferCoefficient::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    return file.BeginRecord(record, RecordVersion) && file.WriteCPString(m_name) && file.WriteDouble(m_value) &&
           file.WriteCPString(m_note) && file.EndRecord(record);
}

bool DefHeatTransferCoefficient::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    CPString name, note;
    double value = 0.0;
    if (!file.BeginRecord(record) || file.GetRecordVersion(record) < 1 || !file.ReadCPString(name) ||
        !file.ReadDouble(value) || !file.ReadCPString(note) || !file.EndRecord(record))
        return false;
    m_name = std::move(name);
    m_value = value;
    m_note = std::move(note);
    return true;
}
