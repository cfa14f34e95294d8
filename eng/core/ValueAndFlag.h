#pragma once
// A value with a word that says how to read it. Streams and their segments keep their share of
// the minimum approach temperature this way: the value is half of the difference the user gave,
// the flag its scope (1 "Local": the value is the stream's own shift; 0 "Global": the stream takes
// half of the scenario's difference).
#include "brasko/ILurmetBinaryFile.h"

#include <cstdint>

struct ValueAndFlag {
    static constexpr int RecordVersion = 1;
    static constexpr std::int32_t ScopeGlobal = 0;
    static constexpr std::int32_t ScopeLocal = 1;

    double dValue = 0.0;
    std::int32_t nFlag = ScopeGlobal;

    bool operator==(const ValueAndFlag& other) const { return dValue == other.dValue && nFlag == other.nFlag; }

    // Record version 1: the value, then the flag.
    bool Store(ILurmetBinaryFile& file) const {
        RecordHandle h;
        return file.BeginRecord(h, RecordVersion) && file.WriteDouble(dValue) && file.WriteInt(nFlag) &&
               file.EndRecord(h);
    }

    // Reads what Store wrote. Each field is taken only when its own read succeeds, so a short
    // record leaves the rest as it was.
    bool Recall(ILurmetBinaryFile& file) {
        RecordHandle h;
        if (!file.BeginRecord(h)) return false;
        double value = 0.0;
        if (!file.ReadDouble(value)) return false;
        dValue = value;
        std::int32_t flag = 0;
        if (!file.ReadInt(flag)) return false;
        nFlag = flag;
        return file.EndRecord(h);
    }
};
