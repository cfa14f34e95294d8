// The case-file record of the units target (inside the scenario's record and the trade-off
// object's record), and the store visitors of its groups and entries.
//
// Counts read from a file are never trusted for allocation: items are appended as they are
// read, and a short or damaged file fails at the first missing one.
#include "brasko/ILurmetBinaryFile.h"
#include "eng/core/SharedCallbacks.h"
#include "eng/targeting/UnitsTarget.h"

#include <algorithm>

namespace {

constexpr std::int32_t kReserveLimit = 256;

// Runs one store step at the outer level of a walk, keeping the first failure.
template <typename Write>
void StoreItem(void* context, Write write) {
    auto* ctx = static_cast<StoreContext*>(context);
    if (!ctx || !ctx->ok || !ctx->file) return;
    ctx->ok = write(*ctx->file);
}

// A count below 0 stands for a list that is not there; any other is held by the bytes left in the
// record, as every count a record reads is.
bool readListCount(ILurmetBinaryFile& file, std::int32_t& count) {
    return file.ReadInt(count) && (count < 0 || static_cast<std::size_t>(count) <= file.BytesLeft());
}
}  // namespace

// ---------------------------------------------------------------- entry

bool UnitsTargetEntry::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    if (!file.BeginRecord(h, RecordVersion)) return false;
    bool ok = file.WriteInt(m_pNames ? 1 : 0);
    if (ok && m_pNames) {
        ok = file.WriteInt(static_cast<std::int32_t>(m_pNames->size()));
        // Each name through the shared text visitor, with a context of its own.
        StoreContext names{&file, ok};
        for (CPString& name : *m_pNames) StoreEachText(&name, &names);
        ok = names.ok;
    }
    ok = ok && file.WriteInt(m_pValues ? 1 : 0);
    if (ok && m_pValues) {
        ok = file.WriteLong(static_cast<std::int32_t>(m_pValues->size()));
        StoreContext values{&file, ok};
        for (double& v : *m_pValues) StoreEachDouble(&v, &values);
        ok = values.ok;
    }
    return ok && file.EndRecord(h);
}

bool UnitsTargetEntry::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    std::unique_ptr<std::vector<CPString>> names;
    std::unique_ptr<std::vector<double>> values;

    std::int32_t present = 0;
    if (!file.ReadInt(present)) return false;
    if (present) {
        std::int32_t count = 0;
        if (!readListCount(file, count)) return false;
        // A negative count leaves the entry without names; the values still follow.
        if (count >= 0) {
            names = std::make_unique<std::vector<CPString>>();
            names->reserve(static_cast<std::size_t>(std::min(count, kReserveLimit)));
            for (std::int32_t i = 0; i < count; ++i) {
                CPString name;
                if (!file.ReadCPString(name)) return false;
                names->push_back(std::move(name));
            }
        }
    }
    if (!file.ReadInt(present)) return false;
    if (present) {
        std::int32_t count = 0;
        if (!readListCount(file, count)) return false;
        if (count >= 0) {
            values = std::make_unique<std::vector<double>>();
            values->reserve(static_cast<std::size_t>(std::min(count, kReserveLimit)));
            for (std::int32_t i = 0; i < count; ++i) {
                double v = 0.0;
                if (!file.ReadDouble(v)) return false;
                values->push_back(v);
            }
        }
    }
    if (!file.EndRecord(h)) return false;
    m_pNames = std::move(names);
    m_pValues = std::move(values);
    return true;
}

void StoreEachUnitsTargetEntry(void* item, void* context) {
    StoreItem(context, [&](ILurmetBinaryFile& f) {
        const auto* entry = static_cast<const UnitsTargetEntry*>(item);
        return entry && entry->Store(f);
    });
}

// ---------------------------------------------------------------- group

bool UnitsTargetGroup::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    if (!file.BeginRecord(h, RecordVersion)) return false;
    bool ok = file.WriteInt(m_pEntries ? 1 : 0);
    if (ok && m_pEntries) {
        ok = file.WriteLong(static_cast<std::int32_t>(m_pEntries->size()));
        StoreContext entries{&file, ok};
        for (const auto& e : *m_pEntries) StoreEachUnitsTargetEntry(e.get(), &entries);
        ok = entries.ok;
    }
    return ok && file.EndRecord(h);
}

bool UnitsTargetGroup::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    std::int32_t present = 0;
    if (!file.ReadInt(present)) return false;
    std::unique_ptr<EntryList> entries;
    if (present) {
        std::int32_t count = 0;
        if (!readListCount(file, count)) return false;
        if (count >= 0) {
            entries = std::make_unique<EntryList>();
            entries->reserve(static_cast<std::size_t>(std::min(count, kReserveLimit)));
            for (std::int32_t i = 0; i < count; ++i) {
                auto entry = std::make_unique<UnitsTargetEntry>();
                if (!entry->Recall(file)) {
                    // A damaged entry takes the group's whole list with it; the group stays.
                    entries.reset();
                    break;
                }
                entries->push_back(std::move(entry));
            }
        }
    }
    m_pEntries = std::move(entries);
    // The end of the group's record skips whatever a damaged entry left unread.
    return file.EndRecord(h);
}

void StoreEachUnitsTargetGroup(void* item, void* context) {
    StoreItem(context, [&](ILurmetBinaryFile& f) {
        const auto* group = static_cast<const UnitsTargetGroup*>(item);
        return group && group->Store(f);
    });
}

// ---------------------------------------------------------------- the record

bool UnitsTargetData::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    bool ok = file.BeginRecord(h, RecordVersion) && file.WriteInt(m_nUnitsWithPinchDivision) &&
              file.WriteInt(m_nUnitsOverall) && file.WriteInt(m_nMILPCount) && file.WriteInt(m_nLargestGroup) &&
              file.WriteInt(m_nMILPOnUpdate) && file.WriteInt(m_nAssignmentMethod) &&
              file.WriteInt(m_pGroups ? 1 : 0);
    if (ok && m_pGroups) {
        ok = file.WriteLong(static_cast<std::int32_t>(m_pGroups->size()));
        StoreContext groups{&file, ok};
        for (const auto& g : *m_pGroups) StoreEachUnitsTargetGroup(g.get(), &groups);
        ok = groups.ok;
    }
    return ok && file.WriteInt(m_nMILPFlag) && file.EndRecord(h);
}

bool UnitsTargetData::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    const int version = file.GetRecordVersion(h);
    std::int32_t withPinch = 0, overall = 0, milpCount = 0, largest = 0, milpOnUpdate = 0, method = 0;
    if (!file.ReadInt(withPinch) || !file.ReadInt(overall) || !file.ReadInt(milpCount) || !file.ReadInt(largest) ||
        !file.ReadInt(milpOnUpdate) || !file.ReadInt(method))
        return false;

    std::int32_t present = 0;
    if (!file.ReadInt(present)) return false;
    std::unique_ptr<UnitsTargetGroupList> groups;
    if (present) {
        std::int32_t count = 0;
        if (!file.ReadItemCount(count)) return false;
        groups = std::make_unique<UnitsTargetGroupList>();
        groups->reserve(static_cast<std::size_t>(std::min(count, kReserveLimit)));
        for (std::int32_t i = 0; i < count; ++i) {
            auto group = std::make_unique<UnitsTargetGroup>();
            if (!group->Recall(file)) return false;
            groups->push_back(std::move(group));
        }
    }
    // The MILP flag came with version 2; an older record keeps the flag the record has.
    std::int32_t flag = m_nMILPFlag;
    if (version >= 2 && !file.ReadInt(flag)) return false;
    if (!file.EndRecord(h)) return false;

    m_nUnitsWithPinchDivision = withPinch;
    m_nUnitsOverall = overall;
    m_nMILPCount = milpCount;
    m_nLargestGroup = largest;
    m_nMILPOnUpdate = milpOnUpdate;
    m_nAssignmentMethod = method;
    m_pGroups = std::move(groups);
    m_nMILPFlag = flag;
    return true;
}
