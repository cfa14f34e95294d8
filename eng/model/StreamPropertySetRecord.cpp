// The value-set record inside the stream record, and the migrations of its older versions.
#include "eng/model/StreamPropertySet.h"

#include "brasko/ILurmetBinaryFile.h"
#include "dunmor/Units.h"
#include "eng/model/StreamValueNames.h"
#include "osmeri/CPItem.h"
#include "osmeri/CPValue.h"

namespace N = StreamValueNames;

namespace {

void SetNode(CPValue& v, double value, int status, int lock) {
    v.SetValue(value, status);
    v.SetStatus(status);  // a file may give an empty value a status: it is written back as it came
    v._set_nLockStatus(lock);
}

}  // namespace

CPValue StreamPropertySet::BuildProperties() const {
    CPValue properties(N::Properties);
    if (m_pUnusual) {
        const Node& p = m_pUnusual->properties;
        SetNode(properties, p.value, p.status, p.lock);
    }
    for (std::size_t k = 0; k < SlotCount(); ++k) {
        const Slot slot = SlotAt(k);
        const SlotNodes nodes = NodesOf(k);
        CPValue* v = properties.AddSubValue(NameOf(slot.name));
        SetNode(*v, nodes.value.value, nodes.value.status, nodes.value.lock);
        SetNode(*v->AddSubValue(N::Segmentable), nodes.flag.value, nodes.flag.status, nodes.flag.lock);
        CPValue* entries = v->AddSubValue(N::SegmentValues);
        SetNode(*entries, nodes.entries.value, nodes.entries.status, nodes.entries.lock);
        for (std::uint32_t i = 0; i < slot.count; ++i) {
            const std::size_t position = slot.first + i;
            SetNode(*entries->AddSubValue(CPString()), m_entries[position].GetValue(), StatusOf(position),
                    LockOf(position));
        }
    }
    return properties;
}

const CPValue* StreamPropertySet::GetProperties() const {
    m_pShownProperties = std::make_unique<CPValue>(BuildProperties());
    return m_pShownProperties.get();
}

// The root node as one record: its name, then each of its variables as a whole value tree.
bool StreamPropertySet::StoreNode(ILurmetBinaryFile& file) const {
    RecordHandle h;
    const bool named = m_pUnusual && m_pUnusual->hasRootName;
    const CPString root = named ? m_pUnusual->rootName : CPString(N::RootNode);
    const std::size_t others = m_pUnusual ? m_pUnusual->otherVariables.size() : 0;
    bool ok = file.BeginRecord(h, NodeRecordVersion) && file.WriteCPString(root) &&
              file.WriteInt(static_cast<std::int32_t>(1 + others)) && file.WriteCPValue(BuildProperties());
    for (std::size_t i = 0; ok && i < others; ++i) ok = file.WriteCPValue(m_pUnusual->otherVariables[i]);
    return ok && file.EndRecord(h);
}

bool StreamPropertySet::RecallNode(ILurmetBinaryFile& file, std::unique_ptr<CPItem>& root) {
    RecordHandle h;
    CPString name;
    std::int32_t count = 0;
    if (!file.BeginRecord(h) || !file.ReadCPString(name) || !file.ReadItemCount(count)) return false;
    auto node = std::make_unique<CPItem>(name.empty() ? CPString(N::RecalledRootNode) : name);
    // Variables are read one at a time: memory grows only with what the file really holds.
    for (std::int32_t i = 0; i < count; ++i) {
        CPValue value;
        if (!file.ReadCPValue(value)) return false;
        *node->InternVariable(value.GetName()) = value;
    }
    if (!file.EndRecord(h)) return false;
    root = std::move(node);
    return true;
}

bool StreamPropertySet::AdoptTree(std::unique_ptr<CPItem> root) {
    const CPValue* properties = root ? root->FindVariable(N::Properties) : nullptr;
    if (!properties) return false;
    auto segmentable = [](const CPValue& v) {
        const CPValue* flag = v.FindSubValue(N::Segmentable);
        return flag && !flag->IsEmpty() && flag->GetValue() != 0.0;
    };
    const CPValue* temperature = properties->FindSubValue(N::Temperature);
    const CPValue* points = temperature ? temperature->FindSubValue(N::SegmentValues) : nullptr;
    if (!points || !segmentable(*temperature) || points->GetNumberOfSubValues() == 0 ||
        points->GetNumberOfSubValues() > static_cast<std::size_t>(MaxSegments) + 1)
        return false;
    const std::size_t segments = points->GetNumberOfSubValues() - 1;
    std::size_t entryCount = 0;
    for (std::size_t k = 0; k < properties->GetNumberOfSubValues(); ++k) {
        const CPValue& v = *properties->GetSubValue(k);
        const CPValue* entries = v.FindSubValue(N::SegmentValues);
        if (!entries || !v.FindSubValue(N::Segmentable)) return false;
        if (segmentable(v) && v.GetName() != N::Temperature && entries->GetNumberOfSubValues() != segments) return false;
        if (entries->GetNumberOfSubValues() > static_cast<std::size_t>(MaxEntries)) return false;
        entryCount += entries->GetNumberOfSubValues();
    }

    // The tree holds together: its values become slots and entries.
    auto node = [](const CPValue& v) { return Node{v.GetValue(), v.GetStatus(), v.GetLockStatus()}; };
    std::vector<Slot> slots;
    std::vector<Entry> entries;
    slots.reserve(properties->GetNumberOfSubValues());
    entries.reserve(entryCount);
    auto unusual = std::make_unique<Unusual>();
    unusual->properties = node(*properties);
    unusual->hasRootName = root->GetName() != N::RootNode;
    if (unusual->hasRootName) unusual->rootName = root->GetName();
    for (std::size_t k = 0; k < root->GetNumberOfVariables(); ++k) {
        const CPValue* variable = root->GetVariable(k);
        if (variable != properties) unusual->otherVariables.push_back(*variable);
    }
    for (std::size_t k = 0; k < properties->GetNumberOfSubValues(); ++k) {
        const CPValue& v = *properties->GetSubValue(k);
        const CPValue& values = *v.FindSubValue(N::SegmentValues);
        std::uint32_t id = KnownName(v.GetName());
        if (id == NoName) {
            if (KnownValueCount + unusual->names.size() >= MaxNames) return false;
            id = KnownValueCount + static_cast<std::uint32_t>(unusual->names.size());
            unusual->names.push_back(v.GetName());
        }
        Slot slot;
        slot.name = static_cast<std::uint16_t>(id);
        slot.first = static_cast<std::uint32_t>(entries.size());
        slot.count = static_cast<std::uint16_t>(values.GetNumberOfSubValues());
        slot.segmentable = segmentable(v) ? 1 : 0;
        const SlotNodes nodes{node(v), node(*v.FindSubValue(N::Segmentable)), node(values)};
        const SlotNodes usual{Node{}, Node{slot.segmentable ? 1.0 : 0.0, CPValue::Specified, 0}, Node{}};
        std::int32_t nodesAt = -1;
        if (!(nodes.value == usual.value && nodes.flag == usual.flag && nodes.entries == usual.entries)) {
            nodesAt = static_cast<std::int32_t>(unusual->nodes.size());
            unusual->nodes.push_back(nodes);
        }
        unusual->nodesOf.push_back(nodesAt);
        for (std::size_t i = 0; i < values.GetNumberOfSubValues(); ++i) {
            const CPValue& e = *values.GetSubValue(i);
            Entry entry;
            entry.SetNumber(e.GetValue());
            PutFlags(entry, entries.size(), e.GetStatus(), e.GetLockStatus(), unusual->wide);
            entries.push_back(entry);
        }
        slots.push_back(slot);
    }
    if (unusual->nodes.empty()) unusual->nodesOf.clear();
    const bool plain = unusual->names.empty() && unusual->nodes.empty() && unusual->properties == Node{} &&
                       !unusual->hasRootName && unusual->otherVariables.empty() && unusual->wide.empty() &&
                       !HasWideFlags();
    // The flags are the set's, not the tree's: they stay.
    if (m_pUnusual) std::copy(m_pUnusual->flags, m_pUnusual->flags + WideFlagCount, unusual->flags);
    m_slots = std::move(slots);
    m_entries = EntryArray(entries);
    m_pUnusual = plain ? nullptr : std::move(unusual);
    m_nSegments = static_cast<int>(segments);
    Normalize();
    return true;
}

bool StreamPropertySet::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    return file.BeginRecord(h, RecordVersion) && file.WriteInt(m_nSegments) && file.WriteInt(AreTemperaturesComplete()) &&
           file.WriteInt(AreEnthalpiesComplete()) && file.WriteInt(IsCopied()) && file.WriteInt(IsSegmentTableBuilt()) &&
           file.WriteInt(IsUpdating()) && file.WriteInt(AreSpecificHeatsComplete()) && m_DTminContribution.Store(file) &&
           StoreNode(file) && file.EndRecord(h);
}

bool StreamPropertySet::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    const int version = file.GetRecordVersion(h);
    std::int32_t flags[7] = {};
    for (std::int32_t& f : flags)
        if (!file.ReadInt(f)) return false;
    if (version < 2) {
        std::int32_t discarded = 0;
        if (!file.ReadInt(discarded)) return false;
    }
    if (!m_DTminContribution.Recall(file)) return false;

    auto applyFlags = [&] {
        PutFlag(m_bTemperaturesComplete, TemperaturesFlag, flags[1]);
        PutFlag(m_bEnthalpiesComplete, EnthalpiesFlag, flags[2]);
        PutFlag(m_bCopied, CopiedFlag, flags[3]);
        PutFlag(m_bSegmentTableBuilt, SegmentTableFlag, flags[4]);
        PutFlag(m_bUpdating, UpdatingFlag, flags[5]);
        PutFlag(m_bSpecificHeatsComplete, SpecificHeatsFlag, flags[6]);
    };
    if (version >= 2) {
        std::unique_ptr<CPItem> root;
        if (!RecallNode(file, root) || !AdoptTree(std::move(root))) return false;
        applyFlags();
    } else {
        applyFlags();
        if (!RecallOldLists(file)) return false;
    }
    if (version == 2 || version == 3) MoveCleanCoefficients();
    if (version == 4) MakeSpecifiedCoefficientsClean();
    return file.EndRecord(h);
}

// Version 1 kept five values as plain lists of doubles, each behind a presence flag.
bool StreamPropertySet::RecallOldLists(ILurmetBinaryFile& file) {
    const struct {
        const char* name;
        int status;
    } lists[] = {
        {N::Temperature, CPValue::Specified},  {N::Enthalpy, CPValue::Calculated},
        {N::SpecificHeat, CPValue::Calculated}, {N::CHTCoeff, CPValue::Specified},
        {N::HeatCapacityFlowrate, CPValue::Specified},
    };
    for (const auto& list : lists) {
        bool present = false;
        if (!file.ReadBool(present)) return false;
        if (!present) continue;
        std::int32_t count = 0;
        if (!file.ReadItemCount(count) || count > MaxSegments + 1) return false;
        std::vector<double> values;
        for (std::int32_t i = 0; i < count; ++i) {
            double v = 0.0;
            if (!file.ReadDouble(v)) return false;
            values.push_back(v);
        }
        if (CPString(list.name) == N::Temperature)
            for (int i = 1; i < count - 1; ++i) InsertSegment(i);
        for (int i = 0; i < count; ++i) SetSegmentValue(list.name, values[static_cast<std::size_t>(i)], i, list.status);
    }
    return true;
}

// Versions 2 and 3 stored the clean film coefficient where the coefficient in use is kept now,
// and had no fouling: the clean value moves over, the fouling starts at zero, and the rules give
// the coefficient in use again.
void StreamPropertySet::MoveCleanCoefficients() {
    CreateValue(N::FoulingFactor, true);
    CreateValue(N::CHTCoeff, true);
    for (int i = 0; i < m_nSegments; ++i) {
        Entry* clean = MutableEntry(CHTCoeff, i);
        Entry* fouling = MutableEntry(FoulingFactor, i);
        if (clean) clean->SetValue(Units::EmptyValue, CPValue::Unset);
        if (fouling) fouling->SetValue(0.0, CPValue::Specified);
        Entry* inUse = MutableEntry(HTCoeff, i);
        if (inUse && inUse->lock == 0 && inUse->status == CPValue::Specified) {
            const double old = inUse->GetValue();
            inUse->SetValue(Units::EmptyValue, CPValue::Unset);
            if (clean) clean->SetValue(old, CPValue::Specified);
        }
    }
    Recalculate(nullptr);
}

// Version 4 kept a coefficient read from a stream table as the coefficient in use, given, where
// the forms give the clean one: a coefficient or fouling typed later found the coefficient in use
// already given and changed nothing (a clean one beside it, given by default or typed, was shown
// and never used). Such a coefficient becomes the clean one that, with the fouling the segment
// has, gives the same coefficient in use; the rules then work that out again, so the targets of
// the case stay as they were and what is typed afterwards reaches them.
void StreamPropertySet::MakeSpecifiedCoefficientsClean() {
    bool moved = false;
    for (int i = 0; i < m_nSegments; ++i) {
        Entry* inUse = MutableEntry(HTCoeff, i);
        Entry* clean = MutableEntry(CHTCoeff, i);
        Entry* fouling = MutableEntry(FoulingFactor, i);
        if (!inUse || !clean || inUse->lock != 0 || clean->lock != 0 || (fouling && fouling->lock != 0)) continue;
        if (inUse->status != CPValue::Specified || inUse->IsEmpty()) continue;
        const double h = inUse->GetValue();
        const double f = fouling && fouling->status != CPValue::Unset && !fouling->IsEmpty() ? fouling->GetValue() : 0.0;
        const double denominator = 1.0 - h * f;
        // A fouling at or beyond the whole resistance of the coefficient leaves no clean one: the
        // segment is left as the file has it.
        if (!(h > 0.0) || !(denominator > 0.0)) continue;
        inUse->SetValue(Units::EmptyValue, CPValue::Unset);
        clean->SetValue(h / denominator, CPValue::Specified);
        // The fouling the clean coefficient was worked out with is kept as given, so that the
        // rules cannot take another one.
        if (fouling && fouling->status != CPValue::Specified) fouling->SetValue(f, CPValue::Specified);
        moved = true;
    }
    if (moved) Recalculate(nullptr);
}
