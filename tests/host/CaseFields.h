#pragma once
// The typed fields of a case file, found by walking its framing: a one-byte tag per field; 'R' a
// record (int32 version, uint32 body length, body); 'i' and 'l' an int32; 'b' and 'c' a byte; 'd'
// a double; 's' a uint32 length and its bytes; 'v' a value tree (name, kind byte, number or text,
// status, lock, sub-value count, sub-values). The magic is in front and a CRC-32 behind
// (CaseChecksum.h). Tests that damage one field of one record find it here. The parts of a value
// tree are fields too, each given the tag of its width ('s' the name or text, 'b' the kind byte,
// 'd' the number, 'i' the status, lock and count), its offset one before its bytes.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct CaseField {
    std::size_t at = 0;   // offset of the tag
    char tag = 0;         // 'i', 'l', 'b', 'c', 'd', 's' or 'R' (a record's version)
    int depth = 0;        // records around it
    std::string record;   // the innermost record: its first text field, or its version and depth
    std::size_t index = 0;  // the field's place in that record
    std::size_t recordAt = 0;  // where that record starts (0 outside any)
    int valuePart = 0;    // inside a value tree: 1 name, 2 kind, 3 number or text, 4 status, 5 lock, 6 count
};

inline std::uint32_t CaseU32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

inline std::string CaseLe32(std::uint32_t v) {
    std::string out;
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFFu);
    return out;
}

inline std::string CaseLe64(double d) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    std::string out;
    for (int i = 0; i < 8; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFFu);
    return out;
}

namespace case_fields_detail {
// The value tree at `pos` (its 'v' tag), each part noted as a field of `owner`'s place.
inline bool walkValue(const std::string& b, std::size_t& pos, std::size_t end, const CaseField& owner,
                      std::vector<CaseField>& out) {
    if (pos + 5 > end || b[pos] != 'v') return false;
    const auto part = [&](std::size_t at, char tag, int which) {
        CaseField f = owner;
        f.at = at - 1;
        f.tag = tag;
        f.valuePart = which;
        out.push_back(f);
    };
    part(pos + 1, 's', 1);
    pos += 1;
    std::size_t n = CaseU32(b, pos);
    pos += 4 + n;
    if (pos + 1 > end) return false;
    const bool text = b[pos] == 1;
    part(pos, 'b', 2);
    pos += 1;
    if (text) {
        if (pos + 4 > end) return false;
        part(pos, 's', 3);
        n = CaseU32(b, pos);
        pos += 4 + n;
    } else {
        part(pos, 'd', 3);
        pos += 8;
    }
    if (pos + 12 > end) return false;
    for (int k = 0; k < 3; ++k) part(pos + 4 * static_cast<std::size_t>(k), 'i', 4 + k);
    const std::uint32_t subs = CaseU32(b, pos + 8);
    pos += 12;
    for (std::uint32_t i = 0; i < subs; ++i)
        if (!walkValue(b, pos, end, owner, out)) return false;
    return pos <= end;
}

inline bool walk(const std::string& b, std::size_t pos, std::size_t end, int depth, const std::string& record,
                 std::size_t recordAt, std::vector<CaseField>& out) {
    std::string name = record;
    std::size_t index = 0;
    while (pos < end) {
        const char t = b[pos];
        CaseField f{pos, t, depth, name, index++, recordAt};
        if (t == 'R') {
            if (pos + 9 > end) return false;
            const std::size_t length = CaseU32(b, pos + 5);
            f.record = name;
            out.push_back(f);
            const std::size_t body = pos + 9;
            if (body + length > end) return false;
            // A record is known by its first text field when it starts with one (a view's type,
            // a stream's name), else by its version and depth.
            std::string inner = "R" + std::to_string(CaseU32(b, pos + 1)) + "@" + std::to_string(depth + 1);
            if (length > 5 && b[body] == 's') inner += ":" + b.substr(body + 5, CaseU32(b, body + 1));
            if (!walk(b, body, body + length, depth + 1, inner, pos, out)) return false;
            pos = body + length;
            continue;
        }
        switch (t) {
        case 'i':
        case 'l': pos += 5; break;
        case 'b':
        case 'c': pos += 2; break;
        case 'd': pos += 9; break;
        case 's': pos += 5 + CaseU32(b, pos + 1); break;
        case 'v':
            if (!walkValue(b, pos, end, f, out)) return false;
            continue;
        default: return false;
        }
        out.push_back(f);
    }
    return pos == end;
}
}  // namespace case_fields_detail

// Every typed field of `body` (a case without its trailer), records in front of their fields.
inline std::vector<CaseField> CaseFieldsOf(const std::string& body) {
    std::vector<CaseField> out;
    if (body.size() < 8 || !case_fields_detail::walk(body, 8, body.size(), 0, "file", 0, out)) out.clear();
    return out;
}

// The payload of field `f` replaced by `payload` (of the field's own width); a record's version
// when `f` is a record.
inline std::string WithField(const std::string& body, const CaseField& f, const std::string& payload) {
    std::string out = body;
    out.replace(f.at + 1, payload.size(), payload);
    return out;
}
