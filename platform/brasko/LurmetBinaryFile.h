#pragma once
// The case file, buffered in memory. A writer builds the bytes in memory and puts them on disk
// only at Commit, through a temporary file renamed over the target, so a failed store never
// damages the file already there. A reader loads the whole file and checks every field against
// the bytes that are really left: a truncated or damaged file gives false answers, never a crash
// and never an allocation larger than the bytes that back it.
//
// Layout (little-endian): the magic "KSTRNCF1", then fields. Every field starts with a one-byte
// tag; a record is 'R', int32 version, uint32 body length, body.
#include "brasko/ILurmetBinaryFile.h"

#include <cstdint>
#include <string>
#include <vector>

class LurmetBinaryFile : public ILurmetBinaryFile {
public:
    enum class Mode { Closed, Writing, Reading };

    // Field tags.
    static constexpr std::uint8_t TagBool = 'b';
    static constexpr std::uint8_t TagInt = 'i';
    static constexpr std::uint8_t TagLong = 'l';
    static constexpr std::uint8_t TagDouble = 'd';
    static constexpr std::uint8_t TagChar = 'c';
    static constexpr std::uint8_t TagString = 's';
    static constexpr std::uint8_t TagValue = 'v';
    static constexpr std::uint8_t TagRecord = 'R';

    static constexpr char Magic[9] = "KSTRNCF1";
    static constexpr std::size_t MagicSize = 8;
    // Deepest value tree a reader accepts; deeper trees are taken for damage.
    static constexpr int MaxValueDepth = 64;
    // Largest file a reader loads.
    static constexpr std::size_t MaxFileSize = std::size_t{1} << 30;

    LurmetBinaryFile() = default;
    LurmetBinaryFile(LurmetBinaryFile&&) noexcept = default;
    LurmetBinaryFile& operator=(LurmetBinaryFile&&) noexcept = default;
    LurmetBinaryFile(const LurmetBinaryFile&) = delete;
    LurmetBinaryFile& operator=(const LurmetBinaryFile&) = delete;
    ~LurmetBinaryFile() override = default;

    // A writer in memory (no path: Commit keeps the bytes in memory only).
    static LurmetBinaryFile ForWriting();
    // A reader over bytes in memory; a missing magic leaves it failed.
    static LurmetBinaryFile ForReading(std::vector<std::uint8_t> bytes, const CPString& name = CPString());

    // Starts a new file to be written to `path` at Commit. Discards anything held before.
    bool OpenForWrite(const CPString& path);
    // Loads `path` for reading; false (and failed) when it cannot be read or lacks the magic.
    bool OpenForRead(const CPString& path);
    // Writer: puts the bytes on disk (when a path was given). False while records are still open,
    // after any failed operation, or when the disk write fails; the old file is then untouched.
    bool Commit();
    // Commits a writer, then closes. A reader just closes. Answers the commit's result.
    bool Close();

    Mode GetMode() const { return m_mode; }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    // Reader: offset of the next byte to read.
    std::size_t Position() const { return m_pos; }
    // Reader: bytes left before the end of the innermost open record (or of the file).
    std::size_t BytesLeft() const;
    // Number of records open now.
    int OpenRecords() const { return static_cast<int>(m_open.size()); }

    // ILurmetBinaryFile
    bool BeginRecord(RecordHandle& handle, int version) override;
    bool WriteBool(bool value) override;
    bool WriteInt(std::int32_t value) override;
    bool WriteLong(std::int32_t value) override;
    bool WriteDouble(double value) override;
    bool WriteChar(char value) override;
    bool WriteCPString(const CPString& value) override;
    bool WriteCPValue(const CPValue& value) override;

    bool BeginRecord(RecordHandle& handle) override;
    int GetRecordVersion(const RecordHandle& handle) const override;
    bool ReadBool(bool& value) override;
    bool ReadInt(std::int32_t& value) override;
    bool ReadLong(std::int32_t& value) override;
    bool ReadDouble(double& value) override;
    bool ReadChar(char& value) override;
    bool ReadCPString(CPString& value) override;
    bool ReadCPValue(CPValue& value) override;
    bool SkipRecord() override;
    CPString GetFileName() const override { return m_path; }

    bool EndRecord(RecordHandle& handle) override;
    bool Good() const override { return !m_failed; }

    bool ReadCountedString(CPString& value) override;

private:
    struct OpenRecord {
        std::size_t bodyStart;
        std::size_t bodyEnd; // reader only
    };

    bool Fail();
    bool CanWrite() const;
    bool CanRead() const;

    void PutU8(std::uint8_t v) { m_bytes.push_back(v); }
    void PutU32(std::uint32_t v);
    void PutU64(std::uint64_t v);
    void PutText(const CPString& text);
    void PutValue(const CPValue& value);

    // Reader primitives: each checks the bytes left and fails (sticky) when short.
    bool Need(std::size_t n);
    std::uint8_t GetU8() { return m_bytes[m_pos++]; }
    std::uint32_t GetU32();
    std::uint64_t GetU64();
    bool ExpectTag(std::uint8_t tag);
    bool ReadInteger(std::int32_t& value);
    bool GetText(CPString& text);
    bool GetValue(CPValue& value, int depth);
    bool ReadRecordHeader(int& version, std::size_t& bodyStart, std::size_t& bodyEnd);

    Mode m_mode = Mode::Closed;
    bool m_failed = false;
    CPString m_path;
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    std::vector<OpenRecord> m_open;
};
