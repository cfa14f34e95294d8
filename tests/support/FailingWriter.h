#pragma once
// The one writer the tests store through when a write must go wrong. It passes the first `limit`
// writes (opening a record counts as one) to a file in memory; after that it either fails every
// write, as a full disk does, or drops them silently while still closing every record it opened,
// which leaves a well-framed file whose records end too soon. With no limit it counts the writes
// of a store. Every read fails: it stands for a file being written.
#include "brasko/LurmetBinaryFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class FailingWriter : public ILurmetBinaryFile {
public:
    enum class After { Fail, Drop };
    static constexpr std::size_t NoLimit = static_cast<std::size_t>(-1);
    explicit FailingWriter(std::size_t limit = NoLimit, After after = After::Fail) : m_limit(limit), m_after(after) {}

    std::size_t Writes() const { return m_count; }
    const std::vector<std::uint8_t>& Written() const { return m_file.Bytes(); }

    bool BeginRecord(RecordHandle& h, int version) override {
        if (Take()) return m_file.BeginRecord(h, version);
        h.depth = kDropped;
        return Dropping();
    }
    bool EndRecord(RecordHandle& h) override {
        if (h.depth == kDropped) return Dropping();
        return m_file.EndRecord(h) && (Dropping() || m_count <= m_limit);
    }
    bool WriteBool(bool v) override { return Take() ? m_file.WriteBool(v) : Dropping(); }
    bool WriteInt(std::int32_t v) override { return Take() ? m_file.WriteInt(v) : Dropping(); }
    bool WriteLong(std::int32_t v) override { return Take() ? m_file.WriteLong(v) : Dropping(); }
    bool WriteDouble(double v) override { return Take() ? m_file.WriteDouble(v) : Dropping(); }
    bool WriteChar(char v) override { return Take() ? m_file.WriteChar(v) : Dropping(); }
    bool WriteCPString(const CPString& v) override { return Take() ? m_file.WriteCPString(v) : Dropping(); }
    bool WriteCPValue(const CPValue& v) override { return Take() ? m_file.WriteCPValue(v) : Dropping(); }
    bool Good() const override { return m_file.Good() && (Dropping() || m_count <= m_limit); }

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
    std::size_t BytesLeft() const override { return 0; }
    bool ReadItemCount(std::int32_t&) override { return false; }

private:
    static constexpr int kDropped = -7;
    bool Take() { return m_count++ < m_limit; }
    bool Dropping() const { return m_after == After::Drop; }

    LurmetBinaryFile m_file = LurmetBinaryFile::ForWriting();
    std::size_t m_limit;
    After m_after;
    std::size_t m_count = 0;
};
