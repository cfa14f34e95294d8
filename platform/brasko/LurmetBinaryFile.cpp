#include "brasko/LurmetBinaryFile.h"

#include "brasko/CaseFileTemporaries.h"

#include "dunmor/Crc32.h"
#include "osmeri/CPValue.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <limits>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Smallest number of bytes one value of a tree can take: tag, empty name, kind, empty text,
// status, lock and sub-value count. A declared sub-value count is checked against it.
constexpr std::size_t MinValueBytes = 1 + 4 + 1 + 4 + 4 + 4 + 4;
constexpr std::size_t RecordHeaderBytes = 1 + 4 + 4;
constexpr std::uint8_t ValueIsNumber = 0;
constexpr std::uint8_t ValueIsText = 1;

// Levels of a value tree, counting the value itself; stops counting past `limit`.
int TreeDepth(const CPValue& value, int limit) {
    if (limit <= 0) return 1;
    int deepest = 0;
    for (std::size_t i = 0; i < value.GetNumberOfSubValues(); ++i) {
        const int d = TreeDepth(*value.GetSubValue(i), limit - 1);
        if (d > deepest) deepest = d;
        if (deepest >= limit) break;
    }
    return 1 + deepest;
}

}  // namespace

// ---------------------------------------------------------------- opening and closing

LurmetBinaryFile::Mapping::Mapping(Mapping&& other) noexcept
    : data(other.data), size(other.size), dropped(other.dropped) {
    other.data = nullptr;
    other.size = 0;
}

LurmetBinaryFile::Mapping& LurmetBinaryFile::Mapping::operator=(Mapping&& other) noexcept {
    if (this != &other) {
        Release();
        data = other.data;
        size = other.size;
        dropped = other.dropped;
        other.data = nullptr;
        other.size = 0;
    }
    return *this;
}

LurmetBinaryFile::Mapping::~Mapping() { Release(); }

void LurmetBinaryFile::Mapping::Release() {
    if (data) ::munmap(const_cast<std::uint8_t*>(data), size);
    data = nullptr;
    size = 0;
    dropped = 0;
}

LurmetBinaryFile LurmetBinaryFile::ForWriting() {
    LurmetBinaryFile file;
    file.OpenForWrite(CPString());
    return file;
}

LurmetBinaryFile LurmetBinaryFile::ForReading(std::vector<std::uint8_t> bytes, const CPString& name) {
    LurmetBinaryFile file;
    file.m_mode = Mode::Reading;
    file.m_path = name;
    file.m_bytes = std::move(bytes);
    file.m_pos = 0;
    file.AcceptImage();
    return file;
}

std::vector<std::uint8_t> LurmetBinaryFile::CheckedImage(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> image(bytes);
    if (image.size() < MagicSize) image.resize(MagicSize);
    std::memcpy(image.data(), CheckedMagic, MagicSize);
    const std::uint32_t sum = crc32(image.data(), image.size());
    for (int i = 0; i < 4; ++i) image.push_back(static_cast<std::uint8_t>(sum >> (8 * i)));
    return image;
}

bool LurmetBinaryFile::AcceptImage() {
    m_checked = false;
    if (m_bytes.size() >= MagicSize && std::memcmp(m_bytes.data(), Magic, MagicSize) == 0) {
        m_pos = MagicSize;
        return true;
    }
    if (m_bytes.size() < MagicSize + ChecksumSize || std::memcmp(m_bytes.data(), CheckedMagic, MagicSize) != 0) {
        m_bytes.clear();
        m_error = "not a Kestrin case file";
        return Fail();
    }
    const std::size_t body = m_bytes.size() - ChecksumSize;
    std::uint32_t stored = 0;
    for (std::size_t i = 0; i < ChecksumSize; ++i) stored |= static_cast<std::uint32_t>(m_bytes[body + i]) << (8 * i);
    if (crc32(m_bytes.data(), body) != stored) {
        m_bytes.clear();
        m_error = "the case file is damaged (its checksum does not match its contents)";
        return Fail();
    }
    m_bytes.resize(body);
    m_checked = true;
    m_pos = MagicSize;
    return true;
}

bool LurmetBinaryFile::OpenForWrite(const CPString& path) {
    m_mode = Mode::Writing;
    m_failed = false;
    m_checked = false;
    m_error.clear();
    m_path = path;
    m_open.clear();
    m_pos = 0;
    // A streaming writer's buffer is taken once, with room for the field that crosses the spill
    // mark (a larger field grows it for itself).
    if (!path.empty()) m_bytes.reserve(SpillBytes + SpillBytes / 4);
    m_bytes.assign(Magic, Magic + MagicSize);
    m_disk.Abandon();
    m_base = 0;
    m_sealed = false;
    m_map.Release();
    return true;
}

bool LurmetBinaryFile::OpenForRead(const CPString& path) {
    m_mode = Mode::Reading;
    m_failed = false;
    m_checked = false;
    m_error.clear();
    m_path = path;
    m_open.clear();
    m_pos = 0;
    m_bytes.clear();
    m_disk.Abandon();
    m_map.Release();

    // The file is looked at before anything is read from it: opening a pipe for reading waits
    // for a writer, for ever if none comes, and a device or directory holds no case.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_error = std::strerror(errno);
        return Fail();
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        m_error = "not a regular file (only a regular file is read)";
        return Fail();
    }
    const int flags = ::fcntl(fd, F_GETFL);
    std::FILE* f = flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1 ? nullptr : ::fdopen(fd, "rb");
    if (!f) {
        m_error = std::strerror(errno);
        ::close(fd);
        return Fail();
    }
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && static_cast<unsigned long>(size) <= MaxFileSize && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        m_bytes.resize(static_cast<std::size_t>(size));
        ok = m_bytes.empty() || std::fread(m_bytes.data(), 1, m_bytes.size(), f) == m_bytes.size();
    }
    const int readError = errno;
    std::fclose(f);
    if (!ok) {
        m_bytes.clear();
        m_error = size > 0 && static_cast<unsigned long>(size) > MaxFileSize ? "the file is larger than a case file can be"
                                                                            : std::strerror(readError);
        return Fail();
    }
    return AcceptImage();
}

bool LurmetBinaryFile::Commit() {
    if (m_mode != Mode::Writing || m_failed || !m_open.empty()) {
        // A failed disk write keeps its own reason; what reached the temporary file is dropped.
        if (m_error.empty()) m_error = "the case could not be written in full";
        if (m_mode == Mode::Writing) m_disk.Abandon();
        return false;
    }
    if (m_path.empty()) return true;
    // Committed already: the temporary file is the target now.
    if (m_sealed && !m_disk.IsOpen()) return true;
    m_error.clear();
    if (!Seal()) return false;
    std::string error;
    if (m_disk.Finish(error)) return true;
    m_error = error;
    return Fail();
}

bool LurmetBinaryFile::Spill() {
    if (m_sealed) return Fail();
    std::string error;
    if (!m_disk.IsOpen() && !m_disk.Begin(m_path.c_str(), "KSTRNCF", error)) {
        m_error = error;
        return Fail();
    }
    // On disk the file carries the checked magic and, at the end, its checksum.
    if (m_base == 0 && m_bytes.size() >= MagicSize) std::memcpy(m_bytes.data(), CheckedMagic, MagicSize);
    if (!m_disk.Append(m_bytes.data(), m_bytes.size(), error)) {
        m_error = error;
        return Fail();
    }
    m_base += m_bytes.size();
    m_bytes.clear();
    return true;
}

bool LurmetBinaryFile::PatchU32(std::size_t offset, std::uint32_t value) {
    std::uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t at = offset + i;
        if (at >= m_base) {
            m_bytes[at - m_base] = bytes[i];
            continue;
        }
        // Already on disk: the bytes there are written again in place.
        const std::size_t onDisk = std::min<std::size_t>(4 - i, m_base - at);
        std::string error;
        if (!m_disk.WriteAt(at, bytes + i, onDisk, error)) {
            m_error = error;
            return Fail();
        }
        i += onDisk - 1;
    }
    return true;
}

bool LurmetBinaryFile::Seal() {
    if (m_sealed) return true;
    if (m_mode != Mode::Writing || m_path.empty() || m_failed || !m_open.empty()) {
        if (m_error.empty()) m_error = "the case could not be written in full";
        return Fail();
    }
    if (!Spill()) return false;
    // The checksum of what the disk holds: record lengths were patched in place after their
    // bytes went out, so it is taken from the file, a piece at a time.
    std::vector<std::uint8_t> piece(std::min(m_base, std::size_t{1} << 20));
    std::uint32_t sum = 0;
    for (std::size_t done = 0; done < m_base;) {
        const ssize_t n = ::pread(m_disk.Descriptor(), piece.data(), std::min(piece.size(), m_base - done),
                                  static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_error = std::string("cannot write the file: ") + std::strerror(n < 0 ? errno : EIO);
            m_disk.Abandon();
            return Fail();
        }
        sum = crc32(piece.data(), static_cast<std::size_t>(n), sum);
        done += static_cast<std::size_t>(n);
    }
    for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<std::uint8_t>(sum >> (8 * i)));
    if (!Spill()) return false;
    m_sealed = true;
    return true;
}

LurmetBinaryFile LurmetBinaryFile::ReadBack() {
    if (m_mode != Mode::Writing || m_failed || !m_open.empty()) {
        LurmetBinaryFile none;
        none.m_mode = Mode::Reading;
        none.m_error = m_error.empty() ? "the case could not be written in full" : m_error;
        none.Fail();
        return none;
    }
    if (m_path.empty()) return ForReading(CheckedImage(m_bytes), m_path);
    LurmetBinaryFile reader;
    reader.m_mode = Mode::Reading;
    reader.m_path = m_path;
    if (!Seal()) {
        reader.m_error = m_error;
        reader.Fail();
        return reader;
    }
    const std::size_t size = m_disk.Size();
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, m_disk.Descriptor(), 0);
    if (mapped == MAP_FAILED) {
        reader.m_error = std::string("cannot read the file back: ") + std::strerror(errno);
        reader.Fail();
        return reader;
    }
    ::madvise(mapped, size, MADV_SEQUENTIAL);
    reader.m_map.data = static_cast<const std::uint8_t*>(mapped);
    reader.m_map.size = size;
    // The checksum was just taken from these very bytes (Seal); the magic is checked as any file's.
    reader.m_readable = size - ChecksumSize;
    if (size < MagicSize + ChecksumSize || std::memcmp(mapped, CheckedMagic, MagicSize) != 0) {
        reader.m_error = "not a Kestrin case file";
        reader.Fail();
        return reader;
    }
    reader.m_checked = true;
    reader.m_pos = MagicSize;
    return reader;
}

void LurmetBinaryFile::DropReadPages() {
    if (!m_map.data || m_pos < m_map.dropped + DropStep) return;
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t upTo = m_pos / page * page;
    ::madvise(const_cast<std::uint8_t*>(m_map.data) + m_map.dropped, upTo - m_map.dropped, MADV_DONTNEED);
    m_map.dropped = upTo;
}

bool LurmetBinaryFile::Close() {
    const bool ok = (m_mode == Mode::Writing) ? Commit() : !m_failed;
    m_mode = Mode::Closed;
    m_open.clear();
    m_disk.Abandon();
    m_map.Release();
    return ok;
}

// ---------------------------------------------------------------- state

bool LurmetBinaryFile::Fail() {
    m_failed = true;
    return false;
}

// A sealed writer takes no more fields: its checksum is already on disk.
bool LurmetBinaryFile::CanWrite() const { return m_mode == Mode::Writing && !m_failed && !m_sealed; }
bool LurmetBinaryFile::CanRead() const { return m_mode == Mode::Reading && !m_failed; }

std::size_t LurmetBinaryFile::BytesLeft() const {
    if (m_mode != Mode::Reading) return 0;
    const std::size_t limit = m_open.empty() ? Size() : m_open.back().bodyEnd;
    return limit > m_pos ? limit - m_pos : 0;
}

// ---------------------------------------------------------------- writer

void LurmetBinaryFile::PutU32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void LurmetBinaryFile::PutU64(std::uint64_t v) {
    for (int i = 0; i < 8; ++i) m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void LurmetBinaryFile::PutText(const CPString& text) {
    PutU32(static_cast<std::uint32_t>(text.size()));
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
}

void LurmetBinaryFile::PutValue(const CPValue& value) {
    PutU8(TagValue);
    PutText(value.GetName());
    if (value.IsText()) {
        PutU8(ValueIsText);
        PutText(value.GetText());
    } else {
        PutU8(ValueIsNumber);
        std::uint64_t bits = 0;
        const double number = value.GetValue();
        std::memcpy(&bits, &number, sizeof bits);
        PutU64(bits);
    }
    PutU32(static_cast<std::uint32_t>(value.GetStatus()));
    PutU32(static_cast<std::uint32_t>(value.GetLockStatus()));
    PutU32(static_cast<std::uint32_t>(value.GetNumberOfSubValues()));
    for (std::size_t i = 0; i < value.GetNumberOfSubValues(); ++i) PutValue(*value.GetSubValue(i));
}

bool LurmetBinaryFile::BeginRecord(RecordHandle& handle, int version) {
    if (!CanWrite()) return Fail();
    PutU8(TagRecord);
    PutU32(static_cast<std::uint32_t>(version));
    PutU32(0);  // body length, patched at EndRecord
    handle.version = version;
    handle.depth = static_cast<int>(m_open.size());
    handle.bodyStart = m_base + m_bytes.size();
    handle.bodyEnd = 0;
    m_open.push_back({handle.bodyStart, 0});
    return MaybeSpill();
}

bool LurmetBinaryFile::WriteBool(bool value) {
    if (!CanWrite()) return Fail();
    PutU8(TagBool);
    PutU8(value ? 1 : 0);
    return MaybeSpill();
}

bool LurmetBinaryFile::WriteInt(std::int32_t value) {
    if (!CanWrite()) return Fail();
    PutU8(TagInt);
    PutU32(static_cast<std::uint32_t>(value));
    return MaybeSpill();
}

bool LurmetBinaryFile::WriteLong(std::int32_t value) {
    if (!CanWrite()) return Fail();
    PutU8(TagLong);
    PutU32(static_cast<std::uint32_t>(value));
    return MaybeSpill();
}

bool LurmetBinaryFile::WriteDouble(double value) {
    if (!CanWrite()) return Fail();
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    PutU8(TagDouble);
    PutU64(bits);
    return MaybeSpill();
}

bool LurmetBinaryFile::WriteChar(char value) {
    if (!CanWrite()) return Fail();
    PutU8(TagChar);
    PutU8(static_cast<std::uint8_t>(value));
    return MaybeSpill();
}

bool LurmetBinaryFile::WriteCPString(const CPString& value) {
    if (!CanWrite() || value.size() > std::numeric_limits<std::uint32_t>::max()) return Fail();
    PutU8(TagString);
    PutText(value);
    return MaybeSpill();
}

bool LurmetBinaryFile::WriteCPValue(const CPValue& value) {
    // Never write a tree that a reader would refuse as too deep.
    if (!CanWrite() || TreeDepth(value, MaxValueDepth + 1) > MaxValueDepth) return Fail();
    PutValue(value);
    return MaybeSpill();
}

bool LurmetBinaryFile::EndRecord(RecordHandle& handle) {
    if (m_failed || m_open.empty() || handle.depth != static_cast<int>(m_open.size()) - 1 ||
        handle.bodyStart != m_open.back().bodyStart)
        return Fail();
    if (m_mode == Mode::Writing) {
        const std::size_t length = m_base + m_bytes.size() - handle.bodyStart;
        if (length > std::numeric_limits<std::uint32_t>::max()) return Fail();
        if (!PatchU32(handle.bodyStart - 4, static_cast<std::uint32_t>(length))) return false;
    } else if (m_mode == Mode::Reading) {
        m_pos = m_open.back().bodyEnd;  // skip whatever this reader does not know
    } else {
        return Fail();
    }
    m_open.pop_back();
    handle.depth = -1;
    return true;
}

bool LurmetBinaryFile::AbandonRecord(RecordHandle& handle) {
    if (m_mode != Mode::Reading || handle.depth < 0 || static_cast<std::size_t>(handle.depth) >= m_open.size() ||
        m_open[static_cast<std::size_t>(handle.depth)].bodyStart != handle.bodyStart)
        return false;
    m_pos = m_open[static_cast<std::size_t>(handle.depth)].bodyEnd;
    m_open.resize(static_cast<std::size_t>(handle.depth));
    m_failed = false;
    handle.depth = -1;
    return true;
}

// ---------------------------------------------------------------- reader

bool LurmetBinaryFile::Need(std::size_t n) {
    if (!CanRead()) return Fail();
    if (BytesLeft() < n) return Fail();
    if (m_map.data && m_pos >= m_map.dropped + DropStep) DropReadPages();
    return true;
}

std::uint32_t LurmetBinaryFile::GetU32() {
    std::uint32_t v = 0;
    const std::uint8_t* data = Data();
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(data[m_pos++]) << (8 * i);
    return v;
}

std::uint64_t LurmetBinaryFile::GetU64() {
    std::uint64_t v = 0;
    const std::uint8_t* data = Data();
    for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(data[m_pos++]) << (8 * i);
    return v;
}

bool LurmetBinaryFile::ExpectTag(std::uint8_t tag) {
    if (!Need(1)) return false;
    if (GetU8() != tag) return Fail();
    return true;
}

bool LurmetBinaryFile::ReadRecordHeader(int& version, std::size_t& bodyStart, std::size_t& bodyEnd) {
    if (!Need(RecordHeaderBytes)) return false;
    if (GetU8() != TagRecord) return Fail();
    version = static_cast<std::int32_t>(GetU32());
    const std::uint32_t length = GetU32();
    if (length > BytesLeft()) return Fail();
    bodyStart = m_pos;
    bodyEnd = m_pos + length;
    return true;
}

bool LurmetBinaryFile::BeginRecord(RecordHandle& handle) {
    int version = 0;
    std::size_t start = 0, end = 0;
    if (!ReadRecordHeader(version, start, end)) return false;
    handle.version = version;
    handle.depth = static_cast<int>(m_open.size());
    handle.bodyStart = start;
    handle.bodyEnd = end;
    m_open.push_back({start, end});
    return true;
}

int LurmetBinaryFile::GetRecordVersion(const RecordHandle& handle) const { return handle.version; }

bool LurmetBinaryFile::SkipRecord() {
    int version = 0;
    std::size_t start = 0, end = 0;
    if (!ReadRecordHeader(version, start, end)) return false;
    m_pos = end;
    return true;
}

bool LurmetBinaryFile::ReadInteger(std::int32_t& value) {
    if (!Need(1)) return false;
    const std::uint8_t tag = GetU8();
    if (tag == TagBool) {
        if (!Need(1)) return false;
        value = GetU8() != 0 ? 1 : 0;
        return true;
    }
    if (tag != TagInt && tag != TagLong) return Fail();
    if (!Need(4)) return false;
    value = static_cast<std::int32_t>(GetU32());
    return true;
}

bool LurmetBinaryFile::ReadBool(bool& value) {
    std::int32_t v = 0;
    if (!ReadInteger(v)) return false;
    value = v != 0;
    return true;
}

bool LurmetBinaryFile::ReadInt(std::int32_t& value) { return ReadInteger(value); }
bool LurmetBinaryFile::ReadLong(std::int32_t& value) { return ReadInteger(value); }

bool LurmetBinaryFile::ReadDouble(double& value) {
    if (!ExpectTag(TagDouble) || !Need(8)) return false;
    const std::uint64_t bits = GetU64();
    double read = 0.0;
    std::memcpy(&read, &bits, sizeof read);
    // No quantity of a case is NaN or infinite: such a value is damage.
    if (!std::isfinite(read)) return Fail();
    value = read;
    return true;
}

bool LurmetBinaryFile::ReadChar(char& value) {
    if (!ExpectTag(TagChar) || !Need(1)) return false;
    value = static_cast<char>(GetU8());
    return true;
}

bool LurmetBinaryFile::GetText(CPString& text) {
    if (!Need(4)) return false;
    const std::uint32_t count = GetU32();
    // The count is checked against the bytes left before any memory is taken for it.
    if (!Need(count)) return false;
    text.assign(reinterpret_cast<const char*>(Data() + m_pos), count);
    m_pos += count;
    return true;
}

bool LurmetBinaryFile::ReadCPString(CPString& value) {
    CPString text;
    if (!ExpectTag(TagString) || !GetText(text)) return false;
    value = std::move(text);
    return true;
}

bool LurmetBinaryFile::GetValue(CPValue& value, int depth) {
    if (depth > MaxValueDepth) return Fail();
    CPString name;
    if (!ExpectTag(TagValue) || !GetText(name) || !Need(1)) return false;
    value.SetName(name);
    const std::uint8_t kind = GetU8();
    if (kind == ValueIsText) {
        CPString text;
        if (!GetText(text)) return false;
        value.SetText(text, CPValue::Unset);
    } else if (kind == ValueIsNumber) {
        if (!Need(8)) return false;
        const std::uint64_t bits = GetU64();
        double number = 0.0;
        std::memcpy(&number, &bits, sizeof number);
        if (!std::isfinite(number)) return Fail();
        value.SetValue(number, CPValue::Unset);
    } else {
        return Fail();
    }
    if (!Need(12)) return false;
    // Set the status after the value: an empty number keeps whatever status was stored.
    value.SetStatus(static_cast<std::int32_t>(GetU32()));
    value._set_nLockStatus(static_cast<std::int32_t>(GetU32()));
    const std::uint32_t count = GetU32();
    if (count > BytesLeft() / MinValueBytes) return Fail();
    for (std::uint32_t i = 0; i < count; ++i) {
        CPValue* sub = value.AddSubValue(CPString());
        if (!GetValue(*sub, depth + 1)) return false;
    }
    return true;
}

bool LurmetBinaryFile::ReadCPValue(CPValue& value) {
    CPValue tree;
    if (!GetValue(tree, 1)) return false;
    value = std::move(tree);
    return true;
}

bool LurmetBinaryFile::ReadItemCount(std::int32_t& count) {
    if (!ReadInteger(count)) return false;
    if (count < 0 || static_cast<std::size_t>(count) > BytesLeft()) return Fail();
    return true;
}

bool LurmetBinaryFile::ReadCountedString(CPString& value) {
    std::int32_t count = 0;
    if (!ReadInteger(count)) return false;
    // Each character is a tagged byte: refuse a count the bytes left cannot hold.
    if (count < 0 || static_cast<std::size_t>(count) > BytesLeft() / 2) return Fail();
    CPString text;
    text.reserve(static_cast<std::size_t>(count));
    bool ended = false;
    for (std::int32_t i = 0; i < count; ++i) {
        char c = 0;
        if (!ReadChar(c)) return false;
        if (c == '\0') ended = true;
        if (!ended) text.push_back(c);
    }
    value = std::move(text);
    return true;
}
