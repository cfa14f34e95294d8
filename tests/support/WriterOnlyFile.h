#pragma once
// Base of the test doubles that stand for a case file being written: every read fails, so a
// double only says how its writes behave.
#include "brasko/ILurmetBinaryFile.h"
#include "dunmor/CPString.h"

class WriterOnlyFile : public ILurmetBinaryFile {
public:
    bool BeginRecord(RecordHandle&) override { return false; }
    int GetRecordVersion(const RecordHandle&) const override { return -1; }
    bool ReadBool(bool&) override { return false; }
    bool ReadInt(std::int32_t&) override { return false; }
    bool ReadLong(std::int32_t&) override { return false; }
    bool ReadDouble(double&) override { return false; }
    bool ReadChar(char&) override { return false; }
    bool ReadCPString(CPString&) override { return false; }
    bool ReadCPValue(CPValue&) override { return false; }
    bool SkipRecord() override { return false; }
    CPString GetFileName() const override { return CPString(); }
};
