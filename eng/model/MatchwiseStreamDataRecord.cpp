// The case-file record of one match and the key of the match list.
#include "eng/model/MatchwiseStreamData.h"

#include "brasko/ILurmetBinaryFile.h"

#include <cctype>

bool MatchwiseStreamData::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    const CPString model = m_pCostModelName ? *m_pCostModelName : CPString(kDefaultCostModel);
    return file.BeginRecord(h, RecordVersion) && file.WriteDouble(dCountercurrentArea) &&
           file.WriteDouble(dMatchValue) && file.WriteDouble(dFactor) && file.WriteDouble(dTolerance[0]) &&
           file.WriteDouble(dTolerance[1]) && file.WriteInt(nInteger[0]) && file.WriteInt(nInteger[1]) &&
           file.WriteCPString(model) && file.WriteDouble(dFirstValue) && file.WriteDouble(dShellAndTubeArea) &&
           file.WriteDouble(dFourthValue) && file.EndRecord(h);
}

bool MatchwiseStreamData::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    const int version = file.GetRecordVersion(h);
    double second = 0.0, fifth = 0.0, factor = 0.0, tolerances[2] = {0.0, 0.0};
    std::int32_t integers[2] = {0, 0};
    CPString model;
    if (!file.ReadDouble(second) || !file.ReadDouble(fifth) || !file.ReadDouble(factor) ||
        !file.ReadDouble(tolerances[0]) || !file.ReadDouble(tolerances[1]) || !file.ReadInt(integers[0]) ||
        !file.ReadInt(integers[1]) || !file.ReadCPString(model))
        return false;
    double first = dFirstValue, third = dShellAndTubeArea, fourth = dFourthValue;
    if (version >= 2 && !file.ReadDouble(first)) return false;
    if (version >= 3 && (!file.ReadDouble(third) || !file.ReadDouble(fourth))) return false;
    if (!file.EndRecord(h)) return false;

    dCountercurrentArea = second;
    dMatchValue = fifth;
    dFactor = factor;
    dTolerance[0] = tolerances[0];
    dTolerance[1] = tolerances[1];
    nInteger[0] = integers[0];
    nInteger[1] = integers[1];
    dFirstValue = first;
    dShellAndTubeArea = third;
    dFourthValue = fourth;
    // Economic data sets are keyed in upper case.
    for (char& c : model) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    SetCostModelName(model);
    return true;
}

bool MatchwiseStreamData::SkipRecord(ILurmetBinaryFile& file) { return file.SkipRecord(); }

bool MatchwiseStreamDataList::RecallKey(ILurmetBinaryFile& file) {
    CPString key;
    if (!file.ReadCPString(key)) {
        m_key.clear();
        return false;
    }
    m_key = key;
    return true;
}
