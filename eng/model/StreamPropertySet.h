#pragma once
// The named values of a heat-integration stream and the rules that tie them together.
//
// In a case file the values are a value tree: a root node "Props" whose variable "Properties" has
// one sub-value per named value; each of those has "Segmentable" (1 or 0) and "SegmentValues", the
// ordered entries (value, definition status 0 unset / 1 specified / 2 calculated, lock). A
// segmentable value has one entry per segment, "Temperature" one more (the points: supply first,
// target last; segment i runs from point i to point i+1); any other value has one entry.
//
// In memory a set holds no tree: a site model has hundreds of thousands of streams, and a tree
// of named nodes costs several kilobytes per stream. The entries of all values lie in one array
// (value by value, in the tree's order), each value is a small slot (its name as a number into
// the table of known names, where its entries start, how many there are), and the nodes around
// the entries are implied: only a file that gives them unusual numbers, statuses or locks, or
// names the set does not know, makes the set keep those apart. The tree is made again, node for
// node, when the set is stored or shown whole; what a tree holds that the set has no use for
// (texts, names or sub-values of entries, nodes other than "Segmentable" and "SegmentValues") is
// not kept.
//
// Whatever the user specifies, the set derives what it can (status 2) and refuses a change that
// makes a segment inconsistent (SegmentRules.cpp).
#include "dunmor/CPString.h"
#include "eng/core/StreamSegment.h"
#include "eng/core/ValueAndFlag.h"
#include "eng/model/StreamDefaults.h"

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

class CPItem;
class CPValue;
class CPIHeatIntegrationStream;
class ILurmetBinaryFile;

class StreamPropertySet {
public:
    static constexpr int RecordVersion = 5;
    static constexpr int NodeRecordVersion = 1;
    // No stream has more segments than this (linearised property curves give a few dozen); longer
    // lists in a file are taken for damage, so a damaged count cannot cost unbounded work.
    static constexpr int MaxSegments = 1000;
    // Nor has any value more entries than this (raw property curves have some hundred points).
    static constexpr int MaxEntries = 0xFFFF;
    // Points of a stream must keep at least this distance in the stream's direction.
    static constexpr double PointMargin = 0.0001;
    static constexpr double DefaultCleanCoefficient = StreamDefaults::CleanCoefficient;
    static constexpr double DefaultFoulingFactor = 0.0;

    // Results of the value setter.
    enum SetResult : int {
        Refused = 0,
        Stored = 1,
        // Stored, and an empty clean coefficient or fouling factor had to be given its default.
        StoredWithDefaults = 2,
    };
    static bool IsStored(int result) { return result == Stored || result == StoredWithDefaults; }

    // One entry of a value: its number, its definition status and its lock, as the file has them.
    struct EntryState {
        double value = -32767.0;
        std::int32_t status = 0;
        std::int32_t lock = 0;

        double GetValue() const { return value; }
        int GetStatus() const { return status; }
        int GetLockStatus() const { return lock; }
        bool IsEmpty() const { return value == -32767.0; }
    };

    // An entry as the set holds it: ten bytes, the number's bytes (so that nothing pads the entry
    // to its alignment) and a byte each for status and lock. Statuses are 0, 1 or 2 and locks 0 or
    // 1 in every file written; a byte that reads Wide says the file gave something no byte holds,
    // kept whole beside the entries by its position (StatusOf, LockOf). Wide is none of the usual
    // values and not 0, so the rules' tests of a status or lock read the byte alone.
    struct Entry {
        static constexpr std::uint8_t Wide = 0xFF;
        static constexpr std::uint8_t Narrow(int v) { return v >= 0 && v < Wide ? static_cast<std::uint8_t>(v) : Wide; }

        Entry() { SetNumber(-32767.0); }
        double GetValue() const {
            double v;
            std::memcpy(&v, bits, sizeof v);
            return v;
        }
        bool IsEmpty() const { return GetValue() == -32767.0; }
        // An empty value always carries status 0 (unset).
        void SetValue(double v, int s) {
            SetNumber(v);
            status = v == -32767.0 ? 0 : Narrow(s);
        }
        void SetNumber(double v) { std::memcpy(bits, &v, sizeof v); }

        unsigned char bits[sizeof(double)];
        std::uint8_t status = 0;
        std::uint8_t lock = 0;
    };
    static_assert(sizeof(Entry) == 10);

    // Creates the standard values and the first segment. Without an owning stream the set can hold
    // and copy values but does not recalculate.
    explicit StreamPropertySet(CPIHeatIntegrationStream* owner = nullptr);
    ~StreamPropertySet();
    StreamPropertySet(const StreamPropertySet&) = delete;
    StreamPropertySet& operator=(const StreamPropertySet&) = delete;

    void SetOwner(CPIHeatIntegrationStream* owner) { m_pOwner = owner; }
    CPIHeatIntegrationStream* GetOwner() const { return m_pOwner; }

    // ---- values -------------------------------------------------------------------------------
    static bool IsSegmentableName(const CPString& name);
    // 1 created; 0 when the name exists or "Properties" is locked.
    int CreateValue(const CPString& name, bool segmentable);
    bool HasValue(const CPString& name) const { return FindSlot(name) >= 0; }
    bool IsSegmentable(const CPString& name) const;
    // The entry with the status and lock the file gave it; none for an unknown name or index.
    std::optional<EntryState> GetEntry(const CPString& name, int index) const;
    // 1 and the entry's value; 0 with `out` untouched for an unknown name; 0 and -32767.0 for a
    // missing entry.
    int GetValue(const CPString& name, double& out, int index) const;
    int GetNumberOfEntries(const CPString& name) const;
    bool IsPropertiesLocked() const;
    // Whether the named value or its entry is locked.
    bool IsLocked(const CPString& name, int index) const;

    // The value setter. Refuses a value outside the property's bounds, a locked or missing value,
    // a point out of order and an index out of range; stores the entry with `status`; recalculates
    // (a value stored with status 2 is kept by that recalculation); on a conflict restores the
    // entry and answers Refused; else fills the default coefficients.
    int SetSegmentValue(const CPString& name, double value, int index, int status);
    // One value of a batch stored by SetSegmentValuesTogether.
    struct ValueSetting {
        CPString name;
        double value;
        int index;
    };
    // Stores a batch of specified values (a stream's row of a table) and runs the rules once, with
    // the result of storing them one after the other through the value setter. Takes the batch
    // only when that result is certain: every name exists, no value is empty, locked, out of
    // bounds or out of range, the side is still undetermined, every clean coefficient and fouling
    // factor is already specified (so no default is filled on the way), and the points keep their
    // order afterwards. Answers Stored and in `side` the side the values give (for the stream to
    // take); Refused with nothing changed when the batch is not one of those (the caller then sets
    // the values one by one, which says which value is refused and why).
    int SetSegmentValuesTogether(const std::vector<ValueSetting>& values, int& side);
    // The state of a new stream's set: the whole-stream defaults, "MaxSplitBranches" 10, the
    // clean coefficient (the default one when empty) and the default fouling of the first segment
    // specified, then one recalculation; what storing them one by one gives. False, with nothing
    // changed, for a set that is not new or a value outside its property's bounds.
    bool TakeNewStreamDefaults(double velocity, double diameter, double maxSplitBranches, double pricePerMass,
                               double cleanCoefficient);
    // Whether "Temperature" point `index` may take `value` given the stream's side: a hot stream's
    // points fall, a cold stream's rise, by at least PointMargin from the nearest set neighbours.
    bool IsPointInOrder(int index, double value) const;

    // ---- segments -----------------------------------------------------------------------------
    int GetNumberOfSegments() const { return m_nSegments; }
    // index 0 appends a segment at the end; index i (1..n) inserts a new segment before old
    // segment i-1, with a new point i. 0 when "Properties" is locked or the index is outside 0..n.
    int InsertSegment(int index);
    // Removes the entries of segment index-1 and "Temperature" point `index` (index 1..n).
    int DeleteSegment(int index);
    // Keeps the first `count` entries of a value that is not one per segment (a raw property
    // table) and removes the rest. 1 done (also when it held no more); 0 for a segment value, an
    // unknown or locked value, a locked entry among those removed, or a negative count.
    int TruncateEntries(const CPString& name, int count);

    // ---- rules (SegmentRules.cpp) ---------------------------------------------------------------
    // Runs the rules until none fills anything; `keep` lists names whose calculated entries stay.
    // 0 on a conflict or when the stream's side would flip.
    int Recalculate(const std::vector<CPString>* keep = nullptr);
    int FillDefaultCoefficients();
    int HasTransportProperties();
    bool IsComplete() const;
    std::unique_ptr<StreamSegmentList> BuildDesignSegments();

    // Deep copy of another set's values and contribution, then a recalculation.
    int CopyFrom(const StreamPropertySet& other);
    // The other set's values, statuses, contribution and flags exactly as it holds them, with
    // nothing worked out again: a set given back as it was kept. The owner stays.
    void TakeExactly(const StreamPropertySet& other);

    // ---- flags --------------------------------------------------------------------------------
    const ValueAndFlag& GetDTminContribution() const { return m_DTminContribution; }
    void SetDTminContribution(const ValueAndFlag& contribution) { m_DTminContribution = contribution; }
    int AreTemperaturesComplete() const { return FlagOf(m_bTemperaturesComplete, TemperaturesFlag); }
    int AreEnthalpiesComplete() const { return FlagOf(m_bEnthalpiesComplete, EnthalpiesFlag); }
    void SetEnthalpiesComplete(int complete) { PutFlag(m_bEnthalpiesComplete, EnthalpiesFlag, complete); }
    int AreSpecificHeatsComplete() const { return FlagOf(m_bSpecificHeatsComplete, SpecificHeatsFlag); }
    int IsCopied() const { return FlagOf(m_bCopied, CopiedFlag); }
    int IsSegmentTableBuilt() const { return FlagOf(m_bSegmentTableBuilt, SegmentTableFlag); }
    int IsUpdating() const { return FlagOf(m_bUpdating, UpdatingFlag); }
    void SetUpdating(int updating) { PutFlag(m_bUpdating, UpdatingFlag, updating); }

    // The whole "Properties" tree as a file holds it (made afresh at each call, for tests and
    // tables; valid until the next call).
    const CPValue* GetProperties() const;

    // ---- record -------------------------------------------------------------------------------
    // Version 5: the seven flags, the contribution, the root node; a film coefficient given is
    // the clean one wherever it was entered (version 4 kept a stream table's as the one in use).
    bool Store(ILurmetBinaryFile& file) const;
    // Reads versions 1 to 5 (older ones migrated). A tree that does not hold together makes the
    // read fail and leaves the values as they were.
    bool Recall(ILurmetBinaryFile& file);

private:
    // The values every stream has, and the other names a stream's values are known by, in one
    // table; a value's name is its position in it (names outside it are kept per set).
    enum KnownValue : std::uint32_t {
        Temperature = 0,
        Enthalpy,
        HTCoeff,
        HeatCapacityFlowrate,
        SpecificHeat,
        FoulingFactor,
        CHTCoeff,
        MaxSplitBranches,
        Velocity,
        Diameter,
        MaxMassFlow,
        PricePerMass,
        MassFlow,
        Viscosity,
        MassDensity,
        ThermalConductivity,
        CannotSplit,
        RawTemperature,
        RawVapourFraction,
        RawMassEnthalpy,
        RawSpecificHeat,
        RawViscosity,
        RawMassDensity,
        RawThermalConductivity,
        LinearizationPerformance,
        KnownValueCount
    };
    static constexpr std::uint32_t NoName = 0xFFFFFFFFu;

    // The number, status and lock of a node of the tree.
    struct Node {
        double value = -32767.0;
        std::int32_t status = 0;
        std::int32_t lock = 0;
        bool operator==(const Node&) const = default;
    };
    // The three nodes of a value around its entries: the value itself, "Segmentable" and
    // "SegmentValues".
    struct SlotNodes {
        Node value;
        Node flag;
        Node entries;
    };
    // Eight bytes a value: where its entries start in m_entries, how many there are, its name
    // and whether it is segmentable.
    struct Slot {
        std::uint32_t first = 0;
        std::uint16_t count = 0;
        std::uint16_t name : 15;
        std::uint16_t segmentable : 1;
    };
    static constexpr std::uint32_t MaxNames = 0x7FFF;
    // The flags a record stores, each a byte that reads Entry::Wide when the file gave a number no
    // byte holds (the rules only ever set 0 or 1, and test the byte for zero).
    enum WideFlag : int {
        TemperaturesFlag,
        EnthalpiesFlag,
        SpecificHeatsFlag,
        CopiedFlag,
        SegmentTableFlag,
        UpdatingFlag,
        WideFlagCount
    };
    int FlagOf(std::uint8_t flag, WideFlag k) const {
        return flag != Entry::Wide || !m_pUnusual ? flag : m_pUnusual->flags[k];
    }
    void PutFlag(std::uint8_t& flag, WideFlag k, int value) {
        flag = Entry::Narrow(value);
        if (flag == Entry::Wide) TheUnusual().flags[k] = value;
    }
    // Whether a stored flag reads Wide (its number is then kept in the Unusual block).
    bool HasWideFlags() const;
    // An entry's status and lock as a file gave them, for an entry whose byte cannot hold one.
    struct WideEntry {
        std::uint32_t position;
        std::int32_t status;
        std::int32_t lock;
    };
    // What few sets hold: names outside the known table, unusual nodes (by slot, -1 for the usual
    // ones), a lock or number of the "Properties" node, the root's own name when a file gave
    // another, other root variables.
    struct Unusual {
        std::vector<CPString> names;
        std::vector<SlotNodes> nodes;
        std::vector<std::int32_t> nodesOf;
        Node properties;
        bool hasRootName = false;
        CPString rootName;
        std::vector<CPValue> otherVariables;
        // The entries whose status or lock no byte holds, by position in m_entries, ascending.
        // A record stays while its entry does (a later status of a byte leaves it unread).
        std::vector<WideEntry> wide;
        // The stored flags whose byte reads Wide, as the file gave them (by WideFlag).
        std::int32_t flags[WideFlagCount] = {};
    };
    // A value's entries where they lie now (until the next change of structure).
    struct Entries {
        Entry* data = nullptr;
        int size = 0;
        Entry* at(int i) const { return (data && i >= 0 && i < size) ? data + i : nullptr; }
        explicit operator bool() const { return data != nullptr || size > 0; }
    };

    // Most sets hold the standard values and nothing else, each with its usual number of entries
    // for the set's segments: their slots follow from the segment count and are not stored
    // (m_slots is then empty). Changes of structure work on stored slots (Materialize) and let
    // them go again when the layout is the standard one once more (Normalize).
    static constexpr std::size_t StandardSlotCount = 12;
    // The segmentable values come first ("Temperature" with one point more than segments), the
    // four whole-stream values after them with one entry each; a standard value's name is its
    // place. Every slot is found by arithmetic, here where the rules see it whole, as every value
    // look-up of every rule goes through here.
    static constexpr std::uint32_t StandardSegmentableCount = 8;
    static Slot StandardSlot(std::size_t k, int segments) {
        const std::uint32_t n = static_cast<std::uint32_t>(segments > 0 ? segments : 0);
        const auto i = static_cast<std::uint32_t>(k);
        Slot slot;
        if (i == 0) {
            slot.first = 0;
            slot.count = static_cast<std::uint16_t>(n + 1);
        } else if (i < StandardSegmentableCount) {
            slot.first = i * n + 1;
            slot.count = static_cast<std::uint16_t>(n);
        } else {
            slot.first = StandardSegmentableCount * n + 1 + (i - StandardSegmentableCount);
            slot.count = 1;
        }
        slot.name = static_cast<std::uint16_t>(i);
        slot.segmentable = i < StandardSegmentableCount ? 1 : 0;
        return slot;
    }
    std::size_t SlotCount() const { return m_slots.empty() ? StandardSlotCount : m_slots.size(); }
    Slot SlotAt(std::size_t k) const { return m_slots.empty() ? StandardSlot(k, m_nSegments) : m_slots[k]; }
    void Materialize();
    void Normalize();
    static std::uint32_t KnownName(const CPString& name);
    const CPString& NameOf(std::uint32_t name) const;
    int FindSlot(const CPString& name) const;
    int FindSlot(KnownValue value) const {
        // The standard values lie in their table's order, which is that of their names.
        if (m_slots.empty()) return value < StandardSlotCount ? static_cast<int>(value) : -1;
        return FindStoredSlot(value);
    }
    int FindStoredSlot(KnownValue value) const;
    Entries EntriesOf(int slot) const {
        if (slot < 0) return {};
        const Slot s = SlotAt(static_cast<std::size_t>(slot));
        // The entries are the set's own: handing them out for change from a const look-up keeps
        // the rules and the readers on one path.
        auto* base = const_cast<Entry*>(m_entries.data());
        return Entries{base + s.first, static_cast<int>(s.count)};
    }
    Entries EntriesOf(KnownValue value) const { return EntriesOf(FindSlot(value)); }
    Entries EntriesOf(const CPString& name) const { return EntriesOf(FindSlot(name)); }
    Entry* MutableEntry(const CPString& name, int index) { return EntriesOf(name).at(index); }
    Entry* MutableEntry(KnownValue value, int index) { return EntriesOf(value).at(index); }
    SlotNodes NodesOf(std::size_t slot) const;
    Unusual& TheUnusual();
    // Adds a value with `count` entries at the end; its slot.
    int AppendSlot(std::uint32_t name, bool segmentable, int count);
    void InsertEntry(int slot, int position);
    // The status and lock of the entry at `position` of m_entries as the file has them.
    int StatusOf(std::size_t position) const;
    int LockOf(std::size_t position) const;
    // Gives the entry at `position` its value and status (status 0 for an empty value), keeping
    // a status no byte holds beside the entries.
    void PutEntry(std::size_t position, double value, int status);
    // Gives an entry status and lock as a file has them; wide ones go to `wide`.
    static void PutFlags(Entry& entry, std::size_t position, int status, int lock, std::vector<WideEntry>& wide);
    const WideEntry* FindWide(std::size_t position) const;
    void RemoveEntry(int slot, int position);
    void RecomputeCompleteness();
    void DetermineSegmentCount();
    // The tree of "Properties" (StreamPropertySetRecord.cpp).
    CPValue BuildProperties() const;
    bool AdoptTree(std::unique_ptr<CPItem> root);
    bool RecallOldLists(ILurmetBinaryFile& file);
    void MoveCleanCoefficients();
    void MakeSpecifiedCoefficientsClean();
    bool StoreNode(ILurmetBinaryFile& file) const;
    bool RecallNode(ILurmetBinaryFile& file, std::unique_ptr<CPItem>& root);

    // Rules; each answers 1 when it filled an entry, 0 when not, -1 on a conflict.
    int HeatCapacityFromSpecificHeat();
    int MassFlowFromHeatCapacity();
    int SpecificHeatFromHeatCapacity();
    int EnthalpyFromHeatCapacity();
    int HeatCapacityFromEnthalpy();
    int InletPointFromOutlet();
    int OutletPointFromInlet();
    int CleanCoefficientFromCorrelation();
    int CleanCoefficientFromCoefficientInUse();
    int CoefficientInUseFromClean();
    // 1 fine, 0 conflict.
    int DetermineHotCold();
    // The side the rules work with: the owner's, or while a batch is checked the batch's own.
    int CurrentSide() const;
    // Whether every set point lies in order for `side` (a hot stream's falling, a cold stream's
    // rising, by at least PointMargin).
    bool ArePointsInOrder(int side) const;

    // The stored slots, held apart: nearly every set keeps none, so a stream pays a pointer for
    // them, not an empty list. Used as the list it stands for.
    class SlotList {
    public:
        SlotList() = default;
        SlotList(const SlotList& other) { *this = other; }
        SlotList& operator=(const SlotList& other) {
            if (this != &other) m_p = other.empty() ? nullptr : std::make_unique<std::vector<Slot>>(*other.m_p);
            return *this;
        }
        SlotList& operator=(std::vector<Slot>&& slots) {
            m_p = slots.empty() ? nullptr : std::make_unique<std::vector<Slot>>(std::move(slots));
            return *this;
        }
        bool empty() const { return !m_p || m_p->empty(); }
        std::size_t size() const { return m_p ? m_p->size() : 0; }
        Slot& operator[](std::size_t k) { return (*m_p)[k]; }
        const Slot& operator[](std::size_t k) const { return (*m_p)[k]; }
        void reserve(std::size_t n) { Own().reserve(n); }
        void push_back(const Slot& slot) { Own().push_back(slot); }
        // Lets the list go altogether.
        void clear() { m_p.reset(); }

    private:
        std::vector<Slot>& Own() {
            if (!m_p) m_p = std::make_unique<std::vector<Slot>>();
            return *m_p;
        }
        std::unique_ptr<std::vector<Slot>> m_p;
    };

    // The entries of all values: a pointer and two four-byte counts where a vector takes three
    // words. Made exact by every whole assignment, grown by doubling when an entry is inserted.
    class EntryArray {
    public:
        EntryArray() = default;
        EntryArray(const EntryArray& other) { *this = other; }
        EntryArray& operator=(const EntryArray& other) {
            if (this != &other) {
                Reserve(other.m_size, true);
                std::copy(other.data(), other.data() + other.m_size, data());
                m_size = other.m_size;
            }
            return *this;
        }
        explicit EntryArray(const std::vector<Entry>& entries) {
            Reserve(static_cast<std::uint32_t>(entries.size()), true);
            std::copy(entries.begin(), entries.end(), data());
            m_size = static_cast<std::uint32_t>(entries.size());
        }
        Entry* data() { return m_p.get(); }
        const Entry* data() const { return m_p.get(); }
        std::size_t size() const { return m_size; }
        Entry& operator[](std::size_t k) { return m_p[k]; }
        const Entry& operator[](std::size_t k) const { return m_p[k]; }
        // `count` entries, all empty.
        void Assign(std::size_t count) {
            Reserve(static_cast<std::uint32_t>(count), true);
            std::fill(data(), data() + count, Entry{});
            m_size = static_cast<std::uint32_t>(count);
        }
        // Empty entries appended up to `count`.
        void Grow(std::size_t count) {
            if (count <= m_size) return;
            Reserve(static_cast<std::uint32_t>(count), false);
            std::fill(data() + m_size, data() + count, Entry{});
            m_size = static_cast<std::uint32_t>(count);
        }
        void InsertAt(std::size_t at) {
            Reserve(m_size + 1, false);
            std::copy_backward(data() + at, data() + m_size, data() + m_size + 1);
            m_p[at] = Entry{};
            ++m_size;
        }
        void EraseAt(std::size_t at) {
            std::copy(data() + at + 1, data() + m_size, data() + at);
            --m_size;
        }

    private:
        // Room for `count` entries, keeping the first m_size; exactly `count` when `exact`.
        void Reserve(std::uint32_t count, bool exact) {
            if (exact ? count == m_capacity : count <= m_capacity) return;
            const std::uint32_t capacity = exact ? count : std::max(count, 2 * m_capacity);
            std::unique_ptr<Entry[]> p = capacity ? std::make_unique<Entry[]>(capacity) : nullptr;
            std::copy(data(), data() + std::min(m_size, capacity), p.get());
            m_p = std::move(p);
            m_capacity = capacity;
        }
        std::unique_ptr<Entry[]> m_p;
        std::uint32_t m_size = 0;
        std::uint32_t m_capacity = 0;
    };

    SlotList m_slots;
    EntryArray m_entries;
    std::unique_ptr<Unusual> m_pUnusual;
    mutable std::unique_ptr<CPValue> m_pShownProperties;
    CPIHeatIntegrationStream* m_pOwner = nullptr;
    // The segment count lies in the contribution's tail (the contribution is only ever assigned
    // whole, never copied as bytes): a set is eight bytes smaller for every stream.
    [[no_unique_address]] ValueAndFlag m_DTminContribution;
    int m_nSegments = 0;
    // The stored flags, a byte each (FlagOf, PutFlag): with the two below, a set is eight bytes
    // after its contribution.
    std::uint8_t m_bTemperaturesComplete = 0;
    std::uint8_t m_bEnthalpiesComplete = 0;
    std::uint8_t m_bSpecificHeatsComplete = 0;
    std::uint8_t m_bCopied = 0;
    std::uint8_t m_bSegmentTableBuilt = 0;
    std::uint8_t m_bUpdating = 0;
    std::uint8_t m_bTransportProperties : 1 = 0;
    // Set while FillDefaultCoefficients stores its defaults, so that those stores do not fill
    // again themselves.
    std::uint8_t m_bFillingDefaults : 1 = 0;
    // While a batch is checked: the side its values give, kept from the owner until the batch is
    // taken (-1 otherwise).
    std::int8_t m_nBatchSide = -1;
};
