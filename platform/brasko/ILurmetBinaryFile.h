#pragma once
// The case file as every engine object's Store and Recall sees it: versioned records that nest,
// typed fields inside them, and a bool answer from every operation. After the first false answer
// the file stays failed, so a caller may chain operations and test the last answer only.
#include "dunmor/CPString.h"
#include "lumeth/BinaryFile.h"

#include <cstddef>
#include <cstdint>

class CPValue;

class ILurmetBinaryFile : public BinaryFile {
public:
    virtual ~ILurmetBinaryFile() = default;

    // ---- writer ----
    virtual bool BeginRecord(RecordHandle& handle, int version) = 0;
    virtual bool WriteBool(bool value) = 0;
    virtual bool WriteInt(std::int32_t value) = 0;
    // A 32-bit integer like WriteInt, kept apart by its own tag.
    virtual bool WriteLong(std::int32_t value) = 0;
    virtual bool WriteDouble(double value) = 0;
    // One byte of a counted string.
    virtual bool WriteChar(char value) = 0;
    virtual bool WriteCPString(const CPString& value) = 0;
    // The whole value tree: name, number or text, status, lock and every sub-value.
    virtual bool WriteCPValue(const CPValue& value) = 0;

    // ---- reader ----
    virtual bool BeginRecord(RecordHandle& handle) = 0;
    virtual int GetRecordVersion(const RecordHandle& handle) const = 0;
    virtual bool ReadBool(bool& value) = 0;
    // Accepts what WriteBool, WriteInt or WriteLong wrote.
    virtual bool ReadInt(std::int32_t& value) = 0;
    virtual bool ReadLong(std::int32_t& value) = 0;
    virtual bool ReadDouble(double& value) = 0;
    virtual bool ReadChar(char& value) = 0;
    virtual bool ReadCPString(CPString& value) = 0;
    virtual bool ReadCPValue(CPValue& value) = 0;
    // Skips the next record whole, whatever it holds.
    virtual bool SkipRecord() = 0;
    // Path of the file on disk; empty for a file kept in memory only.
    virtual CPString GetFileName() const = 0;

    // ---- both ----
    // Writer: patches the record's length. Reader: skips what is left unread of the record, so
    // that fields a newer writer appended do not disturb an older reader.
    virtual bool EndRecord(RecordHandle& handle) = 0;

    // False once any operation has failed.
    virtual bool Good() const = 0;

    // Counted string: WriteInt of the length including the terminating zero, then that many
    // WriteChar, the zero last.
    virtual bool WriteCountedString(const CPString& value);
    // Reads a counted string; the text ends at the first zero byte. The output is changed only
    // on success. The default reads char by char, so memory grows only with bytes really read;
    // a concrete file may refuse an impossible length up front.
    virtual bool ReadCountedString(CPString& value);
};
