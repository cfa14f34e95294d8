#pragma once
// The case file. A writer without a path builds the bytes in memory. A writer with a path streams
// them into a temporary file beside the target as they come (a few megabytes are held at a time;
// a record's length is patched in place when the record ends) and renames it over the target only
// at Commit, so a failed store never damages the file already there, and a large case costs no
// copy of itself in memory. A reader loads the whole file and checks every field against
// the bytes that are really left: a truncated or damaged file gives false answers, never a crash
// and never an allocation larger than the bytes that back it.
//
// Layout (little-endian): the magic, then fields. Every field starts with a one-byte tag; a
// record is 'R', int32 version, uint32 body length, body. In memory the magic is "KSTRNCF1". A
// file on disk starts with "KSTRNCF2" and ends with a CRC-32 of every byte before it, so that a
// damaged file is refused rather than read as a different case; files of the first form (written
// before the check existed) are still read and report that they were not checked.
//
// Commit writes a unique temporary file beside the target (the target's own directory, so the
// rename is atomic), gives it the target's permissions and renames it over the target: two saves
// to one path leave one whole case, and no other file is touched. A target that is a symbolic
// link is followed to its file; a target that exists but is not a regular file is refused.
#include "brasko/CaseFileTemporaries.h"
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
    static constexpr char CheckedMagic[9] = "KSTRNCF2";
    static constexpr std::size_t MagicSize = 8;
    static constexpr std::size_t ChecksumSize = 4;
    // Deepest value tree a reader accepts; deeper trees are taken for damage.
    static constexpr int MaxValueDepth = 64;
    // Largest file a reader loads.
    static constexpr std::size_t MaxFileSize = std::size_t{1} << 30;
    // A writer with a path hands its bytes to the disk whenever it holds this many.
    static constexpr std::size_t SpillBytes = std::size_t{4} << 20;

    LurmetBinaryFile() = default;
    LurmetBinaryFile(LurmetBinaryFile&&) noexcept = default;
    LurmetBinaryFile& operator=(LurmetBinaryFile&&) noexcept = default;
    LurmetBinaryFile(const LurmetBinaryFile&) = delete;
    LurmetBinaryFile& operator=(const LurmetBinaryFile&) = delete;
    ~LurmetBinaryFile() override = default;

    // A writer in memory (no path: Commit keeps the bytes in memory only).
    static LurmetBinaryFile ForWriting();
    // A reader over bytes in memory (either form); a missing magic or a checksum that does not
    // match leaves it failed.
    static LurmetBinaryFile ForReading(std::vector<std::uint8_t> bytes, const CPString& name = CPString());
    // The bytes of the file on disk that a writer's bytes give: checked magic, checksum trailer.
    static std::vector<std::uint8_t> CheckedImage(const std::vector<std::uint8_t>& bytes);

    // Starts a new file to be written to `path` at Commit. Discards anything held before.
    bool OpenForWrite(const CPString& path);
    // Loads `path` for reading; false (and failed) when it cannot be read or lacks the magic.
    bool OpenForRead(const CPString& path);
    // A reader over what this writer wrote, as the file on disk will hold it (checked form): for a
    // writer with a path, the temporary file itself, mapped and read without a copy in memory
    // (the writer is sealed first: no more fields may be written). Failed when the writer is
    // failed, has records open or its bytes cannot be put on disk (ErrorText of both says why).
    LurmetBinaryFile ReadBack();
    // Writer: puts the bytes on disk (when a path was given). False while records are still open,
    // after any failed operation, or when the disk write fails; the old file is then untouched
    // and ErrorText says why.
    bool Commit();
    // Commits a writer, then closes. A reader just closes. Answers the commit's result.
    bool Close();

    Mode GetMode() const { return m_mode; }
    // A writer's bytes not yet handed to the disk (all of them for a writer without a path); a
    // reader's bytes loaded in memory (none for a reader over a mapped file).
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    // Reader: offset of the next byte to read.
    std::size_t Position() const { return m_pos; }
    // Reader: bytes left before the end of the innermost open record (or of the file).
    std::size_t BytesLeft() const override;
    // Number of records open now.
    int OpenRecords() const { return static_cast<int>(m_open.size()); }
    // Reader: whether the file carried a checksum (and it matched).
    bool IsChecked() const { return m_checked; }
    // Reader: good, no record open, and every byte read (nothing trails the last record).
    bool AtEnd() const { return m_mode == Mode::Reading && !m_failed && m_open.empty() && m_pos == Size(); }
    // Why the last open or commit failed, in words (empty when it did not fail).
    const std::string& ErrorText() const { return m_error; }

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
    bool ReadItemCount(std::int32_t& count) override;
    bool SkipRecord() override;
    CPString GetFileName() const override { return m_path; }

    bool EndRecord(RecordHandle& handle) override;
    bool AbandonRecord(RecordHandle& handle) override;
    bool Good() const override { return !m_failed; }

    bool ReadCountedString(CPString& value) override;

private:
    struct OpenRecord {
        std::size_t bodyStart;
        std::size_t bodyEnd; // reader only
    };

    // A file mapped read-only: a read-back of a streamed writer reads its temporary file in place.
    struct Mapping {
        const std::uint8_t* data = nullptr;
        std::size_t size = 0;      // the bytes mapped
        std::size_t dropped = 0;   // the bytes before this were given back (the reader moves forward only)
        Mapping() = default;
        Mapping(Mapping&& other) noexcept;
        Mapping& operator=(Mapping&& other) noexcept;
        Mapping(const Mapping&) = delete;
        Mapping& operator=(const Mapping&) = delete;
        ~Mapping();
        void Release();
    };

    // The bytes a reader reads: in memory or mapped. Offsets (m_pos, records) count from their start.
    const std::uint8_t* Data() const { return m_map.data ? m_map.data : m_bytes.data(); }
    std::size_t Size() const { return m_map.data ? m_readable : m_bytes.size(); }
    // Reader over a mapping: gives back the pages already read, so that a long read holds little.
    static constexpr std::size_t DropStep = std::size_t{16} << 20;
    void DropReadPages();

    bool Fail();
    // Writer with a path: hands the bytes held to the temporary file (made on first use).
    bool Spill();
    bool MaybeSpill() { return m_path.empty() || m_bytes.size() < SpillBytes || Spill(); }
    // Writer: the four bytes at `offset` (of the whole file) become `value`, on disk or in memory.
    bool PatchU32(std::size_t offset, std::uint32_t value);
    // Writer with a path: every byte on disk and the checksum after them; no field may follow.
    bool Seal();
    bool CanWrite() const;
    bool CanRead() const;

    void PutU8(std::uint8_t v) { m_bytes.push_back(v); }
    void PutU32(std::uint32_t v);
    void PutU64(std::uint64_t v);
    void PutText(const CPString& text);
    void PutValue(const CPValue& value);

    // Reader primitives: each checks the bytes left and fails (sticky) when short.
    bool Need(std::size_t n);
    std::uint8_t GetU8() { return Data()[m_pos++]; }
    std::uint32_t GetU32();
    std::uint64_t GetU64();
    bool ExpectTag(std::uint8_t tag);
    bool ReadInteger(std::int32_t& value);
    bool GetText(CPString& text);
    bool GetValue(CPValue& value, int depth);
    bool ReadRecordHeader(int& version, std::size_t& bodyStart, std::size_t& bodyEnd);

    // Takes the loaded bytes of a file: checks the magic and, in the checked form, the checksum.
    bool AcceptImage();

    Mode m_mode = Mode::Closed;
    bool m_failed = false;
    bool m_checked = false;
    std::string m_error;
    CPString m_path;
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    std::vector<OpenRecord> m_open;
    // Writer with a path: the temporary file, the offset of m_bytes[0] in the file, and whether
    // the checksum was written (the file is whole and waits for its rename).
    FileReplacement m_disk;
    std::size_t m_base = 0;
    bool m_sealed = false;
    // Reader over a mapped file: the mapping and the bytes of it to read (the checksum excluded).
    Mapping m_map;
    std::size_t m_readable = 0;
};
