#pragma once
// The case file as the framework's views see it: versioned records that nest, typed fields inside
// them, and a bool answer from every operation (after the first false answer the file stays
// failed). The engineering-manager layer's case file implements it and adds its engine-object
// fields.
#include "dunmor/CPString.h"

#include <cstddef>
#include <cstdint>

// Bookkeeping of one open record. The file fills it in at BeginRecord; the caller hands the same
// handle back at EndRecord. A handle belongs to the innermost open record until that is closed.
struct RecordHandle {
    int version = -1;          // version written with the record (reader side: as read)
    int depth = -1;            // nesting level while open, -1 when not open
    std::size_t bodyStart = 0; // offset of the first body byte
    std::size_t bodyEnd = 0;   // reader side: offset just past the body
};

class BinaryFile {
public:
    virtual ~BinaryFile() = default;

    virtual bool BeginRecord(RecordHandle& handle, int version) = 0;
    virtual bool WriteBool(bool value) = 0;
    virtual bool WriteInt(std::int32_t value) = 0;
    // A 32-bit integer like WriteInt, kept apart by its own tag.
    virtual bool WriteLong(std::int32_t value) = 0;
    virtual bool WriteDouble(double value) = 0;
    // One byte of a counted string.
    virtual bool WriteChar(char value) = 0;
    virtual bool WriteCPString(const CPString& value) = 0;

    virtual bool BeginRecord(RecordHandle& handle) = 0;
    virtual int GetRecordVersion(const RecordHandle& handle) const = 0;
    virtual bool ReadBool(bool& value) = 0;
    // Accepts what WriteBool, WriteInt or WriteLong wrote.
    virtual bool ReadInt(std::int32_t& value) = 0;
    virtual bool ReadLong(std::int32_t& value) = 0;
    virtual bool ReadDouble(double& value) = 0;
    virtual bool ReadChar(char& value) = 0;
    virtual bool ReadCPString(CPString& value) = 0;
    // Skips the next record whole, whatever it holds.
    virtual bool SkipRecord() = 0;
    // Path of the file on disk; empty for a file kept in memory only.
    virtual CPString GetFileName() const = 0;
    // Reader: the bytes left before the end of the innermost open record (of the file when none
    // is open). A writer has none.
    virtual std::size_t BytesLeft() const = 0;
    // Reads the count of the items that follow in the open record. Every item takes at least one
    // byte of it, so a count the bytes left cannot hold is damage, as a negative one is: false
    // (and the file failed, as after any failed read) before the caller makes room for a single
    // item, however large the count.
    virtual bool ReadItemCount(std::int32_t& count) = 0;

    // Writer: patches the record's length. Reader: skips what is left unread of the record, so
    // that fields a newer writer appended do not disturb an older reader.
    virtual bool EndRecord(RecordHandle& handle) = 0;
    // False once any operation has failed.
    virtual bool Good() const = 0;
};
