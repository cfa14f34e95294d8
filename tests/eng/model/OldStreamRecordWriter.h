#pragma once
// Writes stream records of older versions field by field, as the writers of those versions did,
// so that the recall of each version can be tested against files nobody can produce any more.
#include "brasko/LurmetBinaryFile.h"
#include "eng/core/StreamSegment.h"
#include "eng/core/ValueAndFlag.h"
#include "osmeri/CPValue.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace streamtest {

struct OldValueList {
    bool present = false;
    std::vector<double> values;
};

struct OldStreamRecord {
    int version = 5;
    double cachedLoad0 = 0.0, cachedLoad1 = 0.0, storedValue = 0.0;
    double fractionPlus = 0.01, fractionMinus = 0.01, costIndex = 3.171e-06;
    std::int32_t loadFlag0 = 0, loadFlag1 = 0, storedInt = 0;
    CPString name = "Old";

    // Value set.
    int setVersion = 4;
    std::int32_t setFlags[7] = {1, 1, 1, 0, 0, 0, 1};
    ValueAndFlag contribution;
    // Versions 2 and later: the "Properties" tree of the root node.
    const CPValue* properties = nullptr;
    // Version 1: "Temperature", "Enthalpy", "SpecificHeat", "CHTCoeff", "HeatCapacityFlowrate".
    OldValueList lists[5];

    std::optional<std::vector<CPString>> links;
    std::int32_t kind = 0, hotCold = 2;
    std::optional<std::vector<StreamSegment>> segments;
    bool locked = false;  // written from version 2 on
    // Later fields when given: whether process values were kept (none are written), and whether
    // the utility earns a credit.
    std::optional<bool> keptValues, earnsCredit;

    // Damage: counts written instead of the true ones, and a record that ends after this many of
    // its fields (-1: all of them).
    std::optional<std::int32_t> linkCount, segmentCount;
    int stopAfter = -1;
};

inline bool WriteOldValueSet(ILurmetBinaryFile& f, const OldStreamRecord& r) {
    RecordHandle h;
    bool ok = f.BeginRecord(h, r.setVersion);
    for (std::int32_t flag : r.setFlags) ok = ok && f.WriteInt(flag);
    if (r.setVersion < 2) ok = ok && f.WriteInt(0);  // the field version 2 dropped
    ok = ok && r.contribution.Store(f);
    if (r.setVersion >= 2) {
        RecordHandle node;
        ok = ok && f.BeginRecord(node, 1) && f.WriteCPString("Props") && f.WriteInt(r.properties ? 1 : 0);
        if (r.properties) ok = ok && f.WriteCPValue(*r.properties);
        ok = ok && f.EndRecord(node);
    } else {
        for (const OldValueList& list : r.lists) {
            ok = ok && f.WriteBool(list.present);
            if (!list.present) continue;
            ok = ok && f.WriteInt(static_cast<std::int32_t>(list.values.size()));
            for (double v : list.values) ok = ok && f.WriteDouble(v);
        }
    }
    return ok && f.EndRecord(h);
}

inline std::vector<std::uint8_t> WriteOldStreamRecord(const OldStreamRecord& r) {
    LurmetBinaryFile f = LurmetBinaryFile::ForWriting();
    // The record's fields in order; a damaged record may stop after any of them.
    std::vector<std::function<bool()>> fields = {
        [&] { return f.WriteDouble(r.cachedLoad0) && f.WriteDouble(r.cachedLoad1) && f.WriteDouble(r.storedValue); },
        [&] { return f.WriteDouble(r.fractionPlus) && f.WriteDouble(r.fractionMinus) && f.WriteDouble(r.costIndex); },
        [&] { return f.WriteInt(r.loadFlag0) && f.WriteInt(r.loadFlag1) && f.WriteInt(r.storedInt); },
        [&] { return f.WriteCPString(r.name); },
        [&] { return WriteOldValueSet(f, r); },
        [&] {
            bool ok = f.WriteBool(r.links.has_value());
            if (r.links) {
                ok = ok && f.WriteLong(r.linkCount ? *r.linkCount : static_cast<std::int32_t>(r.links->size()));
                for (const CPString& n : *r.links) ok = ok && f.WriteCPString(n);
            }
            return ok;
        },
        [&] { return f.WriteInt(r.kind) && f.WriteInt(r.hotCold); },
        [&] {
            bool ok = f.WriteBool(r.segments.has_value());
            if (r.segments) {
                ok = ok && f.WriteLong(r.segmentCount ? *r.segmentCount : static_cast<std::int32_t>(r.segments->size()));
                for (const StreamSegment& s : *r.segments) ok = ok && s.Store(f);
            }
            return ok;
        },
        [&] { return r.version <= 1 || f.WriteBool(r.locked); },
        [&] { return (!r.keptValues || f.WriteBool(*r.keptValues)) && (!r.earnsCredit || f.WriteBool(*r.earnsCredit)); },
    };
    RecordHandle h;
    bool ok = f.BeginRecord(h, r.version);
    const std::size_t count = r.stopAfter < 0 ? fields.size() : static_cast<std::size_t>(r.stopAfter);
    for (std::size_t i = 0; ok && i < count && i < fields.size(); ++i) ok = fields[i]();
    ok = ok && f.EndRecord(h);
    return ok ? f.Bytes() : std::vector<std::uint8_t>();
}

}  // namespace streamtest
