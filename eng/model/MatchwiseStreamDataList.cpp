// The match records of a scenario, held by the streams' registrations.
//
// A stream registers when it is first announced on a side. Its registration makes a block of
// pairs: the stream with every stream already registered on the other side (two utilities never
// pair), in registration order; the list's positions run through the blocks in the order they
// were made. A stream that changes side keeps the pairs it had and makes a block of its own with
// the streams of its new other side it does not pair with yet; that block names its partners.
// Finding a pair asks only the blocks of its two streams. A pair's record is made real when it is
// handed out or written; until then its values come from the distribution last laid down and its
// name from the name the pairs of its time were last given.
#include "eng/model/MatchwiseStreamData.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "tevrin/CPDictionary.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace {

enum Field { First, Countercurrent, ShellAndTube, Fourth, Match, FieldCount };

bool isUtility(const IHeatIntegrationStream* s) { return s && s->GetStreamKind() == 1; }

CPString upper(const CPString& text) {
    CPString out = text;
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

double component(const MatchDistributedValues& v, int field) {
    switch (field) {
    case First: return v.dFirst;
    case Countercurrent:
    case ShellAndTube: return v.dArea;
    case Fourth: return v.dFourth;
    default: return v.dMatch;
    }
}

double& fieldOf(MatchwiseStreamData& r, int field) {
    switch (field) {
    case First: return r.dFirstValue;
    case Countercurrent: return r.dCountercurrentArea;
    case ShellAndTube: return r.dShellAndTubeArea;
    case Fourth: return r.dFourthValue;
    default: return r.dMatchValue;
    }
}

}  // namespace

IMatchValueSource::~IMatchValueSource() = default;

struct MatchwiseStreamDataList::Entry {
    // 32 bytes: a table of many streams holds one entry a stream, so the sides are bytes.
    IHeatIntegrationStream* stream = nullptr;
    std::uint64_t registered = 0;
    int firstBlock = -1;        // the first block made by this stream
    std::int8_t firstSide = 0;  // the side taken at the registration
    std::int8_t side = 0;       // the side now (the last one taken)
    bool utility = false;
    bool alive = true;
    // What few streams have: the sides taken after the registration (side, clock it was taken) and
    // the blocks after the first. Kept apart, so that an entry of a table of many streams, which
    // takes one side and makes at most one block, is one small record without allocations.
    struct Later {
        std::vector<std::pair<int, std::uint64_t>> sides;
        std::vector<int> blocks;
    };
    std::unique_ptr<Later> later;

    void TakeSide(int s, std::uint64_t clock) {
        if (!later) later = std::make_unique<Later>();
        later->sides.push_back({s, clock});
        side = static_cast<std::int8_t>(s);
    }
    void AddBlock(int block) {
        if (firstBlock < 0) {
            firstBlock = block;
            return;
        }
        if (!later) later = std::make_unique<Later>();
        later->blocks.push_back(block);
    }
    // The first block for which `f` answers true, or -1.
    template <class F>
    int FindBlock(F f) const {
        if (firstBlock >= 0 && f(firstBlock)) return firstBlock;
        if (later)
            for (int b : later->blocks)
                if (f(b)) return b;
        return -1;
    }
};

// 32 bytes, like an entry: a table of many streams makes one block a stream.
struct MatchwiseStreamDataList::Block {
    int anchor = -1;
    std::int8_t side = 0;  // the anchor's side in these pairs
    bool anchorUtility = false;
    // Implicit: every stream registered before the block on the other side at its time.
    // Otherwise the partners listed (entries, ascending).
    bool implicit = true;
    std::uint64_t clock = 0;
    long long count = 0;
    // The listed partners of a block that is not implicit (only a stream that changed side makes
    // one): held apart, so that the implicit blocks of a large table stay small.
    std::unique_ptr<std::vector<int>> pPartners;

    const std::vector<int>& Partners() const {
        static const std::vector<int> none;
        return pPartners ? *pPartners : none;
    }
};

struct MatchwiseStreamDataList::Source {
    std::shared_ptr<const IMatchValueSource> source;
    std::uint64_t clock = 0;
};

struct MatchwiseStreamDataList::NameLayer {
    std::uint64_t until = 0;
    CPString name;
};

MatchwiseStreamDataList::MatchwiseStreamDataList(const CPDictionary* streams)
    : m_pStreams(streams), m_sources(FieldCount) {
    if (!m_pStreams) return;
    // Every stream with a side registers in the collection's order; then each hot stream pairs
    // with every cold one.
    for (std::size_t i = 0; i < m_pStreams->Length(); ++i) {
        auto* s = static_cast<IHeatIntegrationStream*>((*m_pStreams)[i]);
        const int side = s ? s->GetHotCold() : -1;
        if ((side == 0 || side == 1) && EntryOf(s) < 0) NewEntry(s, side, ++m_clock);
    }
    for (std::size_t e = 0; e < m_entries.size(); ++e)
        if (m_entries[e].side == 0) NewBlock(static_cast<int>(e), ++m_clock);
}

MatchwiseStreamDataList::~MatchwiseStreamDataList() = default;

namespace {
constexpr int kFreeSlot = -1;
constexpr int kVacatedSlot = -2;  // an entry was removed here; probing goes on past it

std::uint64_t StreamHash(const IHeatIntegrationStream* stream) {
    std::uint64_t h = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(stream)) * 0x9E3779B97F4A7C15ULL;
    h ^= h >> 32;
    return h;
}

std::size_t HomeSlot(std::uint64_t hash, std::size_t mask) { return static_cast<std::size_t>(hash) & mask; }

// The bits of the hash the slot does not come from (the table never has 2^32 slots).
std::uint32_t TagOf(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }
}  // namespace

std::size_t MatchwiseStreamDataList::IndexSlotOf(const IHeatIntegrationStream* stream) const {
    const std::size_t mask = m_entryIndex.size() - 1;
    const std::uint64_t hash = StreamHash(stream);
    const std::uint32_t tag = TagOf(hash);
    for (std::size_t i = HomeSlot(hash, mask);; i = (i + 1) & mask) {
        const IndexSlot slot = m_entryIndex[i];
        if (slot.entry == kFreeSlot) return i;
        if (slot.entry >= 0 && slot.tag == tag && m_entries[static_cast<std::size_t>(slot.entry)].stream == stream)
            return i;
    }
}

int MatchwiseStreamDataList::EntryOf(const IHeatIntegrationStream* stream) const {
    if (m_entryIndex.empty()) return -1;
    const int e = m_entryIndex[IndexSlotOf(stream)].entry;
    return e >= 0 ? e : -1;
}

void MatchwiseStreamDataList::IndexEntry(int entry) {
    static_assert(sizeof(Entry) <= 32 && sizeof(Block) <= 32);
    // At most half the slots in use (vacated ones count), so that a probe stays short.
    if ((m_entryIndexUsed + 1) * 2 > m_entryIndex.size()) {
        std::vector<IndexSlot> old(std::max<std::size_t>(16, m_entryIndex.size() * 2), IndexSlot{kFreeSlot, 0});
        old.swap(m_entryIndex);
        m_entryIndexUsed = 0;
        // The entries held are all different streams: each goes to the first free slot of its
        // probe, found from the tags alone.
        const std::size_t mask = m_entryIndex.size() - 1;
        for (const IndexSlot& moved : old) {
            if (moved.entry < 0) continue;
            const std::uint64_t hash = StreamHash(m_entries[static_cast<std::size_t>(moved.entry)].stream);
            std::size_t i = HomeSlot(hash, mask);
            while (m_entryIndex[i].entry != kFreeSlot) i = (i + 1) & mask;
            m_entryIndex[i] = moved;
            ++m_entryIndexUsed;
        }
    }
    const IHeatIntegrationStream* stream = m_entries[static_cast<std::size_t>(entry)].stream;
    IndexSlot& slot = m_entryIndex[IndexSlotOf(stream)];
    if (slot.entry == kFreeSlot) ++m_entryIndexUsed;
    slot = IndexSlot{entry, TagOf(StreamHash(stream))};
}

void MatchwiseStreamDataList::UnindexEntry(const IHeatIntegrationStream* stream) {
    if (m_entryIndex.empty()) return;
    IndexSlot& slot = m_entryIndex[IndexSlotOf(stream)];
    if (slot.entry >= 0) slot.entry = kVacatedSlot;
}

int MatchwiseStreamDataList::SideAt(const Entry& e, std::uint64_t clock) const {
    if (e.later)
        for (auto it = e.later->sides.rbegin(); it != e.later->sides.rend(); ++it)
            if (it->second < clock) return it->first;
    return e.registered < clock ? e.firstSide : -1;
}

bool MatchwiseStreamDataList::IsMember(int entry, const Block& b) const {
    if (b.count <= 0 || entry == b.anchor) return false;
    const Entry& e = m_entries[static_cast<std::size_t>(entry)];
    if (!e.alive) return false;
    if (b.implicit)
        return e.registered < b.clock && SideAt(e, b.clock) == 1 - b.side && !(b.anchorUtility && e.utility);
    const std::vector<int>& partners = b.Partners();
    return std::binary_search(partners.begin(), partners.end(), entry);
}

int MatchwiseStreamDataList::BlockOfPair(int hot, int cold) const {
    const int byHot = m_entries[static_cast<std::size_t>(hot)].FindBlock([&](int b) {
        return m_blocks[static_cast<std::size_t>(b)].side == 0 && IsMember(cold, m_blocks[static_cast<std::size_t>(b)]);
    });
    if (byHot >= 0) return byHot;
    return m_entries[static_cast<std::size_t>(cold)].FindBlock([&](int b) {
        return m_blocks[static_cast<std::size_t>(b)].side == 1 && IsMember(hot, m_blocks[static_cast<std::size_t>(b)]);
    });
}

int MatchwiseStreamDataList::NewEntry(IHeatIntegrationStream* stream, int side, std::uint64_t clock) {
    const int index = static_cast<int>(m_entries.size());
    Entry e;
    e.stream = stream;
    e.utility = isUtility(stream);
    e.registered = clock;
    e.firstSide = e.side = static_cast<std::int8_t>(side);
    ++m_alive[side][e.utility ? 1 : 0];
    m_bySide[side].push_back(index);
    if (!e.utility) m_bySideProcess[side].push_back(index);
    m_entries.push_back(std::move(e));
    IndexEntry(index);
    return index;
}

void MatchwiseStreamDataList::NewBlock(int anchor, std::uint64_t clock) {
    Entry& e = m_entries[static_cast<std::size_t>(anchor)];
    const int side = e.side;
    Block b;
    b.anchor = anchor;
    b.side = static_cast<std::int8_t>(side);
    b.clock = clock;
    b.anchorUtility = e.utility;
    b.count = m_alive[1 - side][0] + (e.utility ? 0 : m_alive[1 - side][1]);
    if (b.count <= 0) return;
    e.AddBlock(static_cast<int>(m_blocks.size()));
    m_total += b.count;
    m_blocks.push_back(std::move(b));
    m_prefixDirty = true;
}

void MatchwiseStreamDataList::Register(IHeatIntegrationStream* stream, int side) {
    const std::uint64_t clock = ++m_clock;
    NewBlock(NewEntry(stream, side, clock), clock);
}

void MatchwiseStreamDataList::AddStream(IHeatIntegrationStream* stream) {
    if (!stream || !m_pStreams) return;
    int side = stream->GetHotCold();
    const bool sided = side == 0 || side == 1;
    const int index = EntryOf(stream);
    if (index < 0) {
        if (sided) Register(stream, side);
        return;
    }
    // A stream without a side keeps its pairs but pairs with no stream that arrives meanwhile.
    if (!sided) side = 2;
    Entry& e = m_entries[static_cast<std::size_t>(index)];
    const int was = e.side;
    // Every stream registered on the other side already pairs with it.
    if (was == side) return;

    // A change of side: the old pairs stay; the stream pairs with its new other side.
    const std::uint64_t clock = ++m_clock;
    m_sideChanged = true;
    m_lastUnpairing = clock;
    if (was == 0 || was == 1) {
        for (int list : {0, 1}) {
            std::vector<int>& l = list == 0 ? m_bySide[was] : m_bySideProcess[was];
            l.erase(std::remove(l.begin(), l.end(), index), l.end());
        }
        --m_alive[was][e.utility ? 1 : 0];
    }
    if (sided) {
        Block b;
        b.anchor = index;
        b.side = static_cast<std::int8_t>(side);
        b.clock = clock;
        b.anchorUtility = e.utility;
        b.implicit = false;
        b.pPartners = std::make_unique<std::vector<int>>();
        std::vector<int>& partners = *b.pPartners;
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            const Entry& other = m_entries[i];
            const int o = static_cast<int>(i);
            if (!other.alive || o == index || other.side != 1 - side || (e.utility && other.utility))
                continue;
            const bool paired = side == 0 ? BlockOfPair(index, o) >= 0 : BlockOfPair(o, index) >= 0;
            if (!paired) partners.push_back(o);
        }
        b.count = static_cast<long long>(partners.size());
        ++m_alive[side][e.utility ? 1 : 0];
        if (b.count > 0) {
            e.AddBlock(static_cast<int>(m_blocks.size()));
            m_total += b.count;
            m_blocks.push_back(std::move(b));
            m_prefixDirty = true;
        }
    }
    e.TakeSide(side, clock);
}

void MatchwiseStreamDataList::RemoveStream(const IHeatIntegrationStream* stream) {
    const int index = EntryOf(stream);
    if (index < 0) return;
    m_lastUnpairing = ++m_clock;
    for (Block& b : m_blocks) {
        if (b.count <= 0) continue;
        if (b.anchor == index) {
            m_total -= b.count;
            b.count = 0;
        } else if (IsMember(index, b)) {
            --b.count;
            --m_total;
        }
    }
    Entry& e = m_entries[static_cast<std::size_t>(index)];
    const int side = e.side;
    if (side == 0 || side == 1) {
        --m_alive[side][e.utility ? 1 : 0];
        for (int list : {0, 1}) {
            std::vector<int>& l = list == 0 ? m_bySide[side] : m_bySideProcess[side];
            l.erase(std::remove(l.begin(), l.end(), index), l.end());
        }
    }
    e.alive = false;
    UnindexEntry(stream);
    m_prefixDirty = true;
    for (auto it = m_real.begin(); it != m_real.end();) {
        if (it->first.first == index || it->first.second == index) {
            m_realOrder.erase(std::find(m_realOrder.begin(), m_realOrder.end(), it->second.get()));
            it = m_real.erase(it);
        } else {
            ++it;
        }
    }
}

bool MatchwiseStreamDataList::Locate(long long index, int& block, int& member) const {
    if (index < 0 || index >= m_total) return false;
    if (m_prefixDirty) {
        m_prefix.assign(m_blocks.size() + 1, 0);
        for (std::size_t b = 0; b < m_blocks.size(); ++b) m_prefix[b + 1] = m_prefix[b] + m_blocks[b].count;
        m_prefixDirty = false;
    }
    // The last block that starts at or before the position and holds pairs.
    auto it = std::upper_bound(m_prefix.begin(), m_prefix.end(), index);
    std::size_t b = static_cast<std::size_t>(it - m_prefix.begin()) - 1;
    while (m_blocks[b].count == 0) ++b;
    block = static_cast<int>(b);
    member = MemberAt(m_blocks[b], index - m_prefix[b]);
    return member >= 0;
}

int MatchwiseStreamDataList::MemberAt(const Block& b, long long k) const {
    if (k < 0 || k >= b.count) return -1;
    if (!b.implicit) {
        const std::vector<int>& partners = b.Partners();
        if (static_cast<long long>(partners.size()) == b.count) return partners[static_cast<std::size_t>(k)];
        for (int p : partners)
            if (m_entries[static_cast<std::size_t>(p)].alive && k-- == 0) return p;
        return -1;
    }
    if (!m_sideChanged) {
        // The partners are the first ones registered on the other side (all of them before the
        // block), and only the living are listed.
        const std::vector<int>& l = b.anchorUtility ? m_bySideProcess[1 - b.side] : m_bySide[1 - b.side];
        return static_cast<std::size_t>(k) < l.size() ? l[static_cast<std::size_t>(k)] : -1;
    }
    for (std::size_t e = 0; e < m_entries.size() && m_entries[e].registered < b.clock; ++e)
        if (IsMember(static_cast<int>(e), b) && k-- == 0) return static_cast<int>(e);
    return -1;
}

bool MatchwiseStreamDataList::GetPairAt(int index, IHeatIntegrationStream*& hot, IHeatIntegrationStream*& cold) const {
    int block = 0, member = 0;
    if (!Locate(index, block, member)) return false;
    const Block& b = m_blocks[static_cast<std::size_t>(block)];
    IHeatIntegrationStream* anchor = m_entries[static_cast<std::size_t>(b.anchor)].stream;
    IHeatIntegrationStream* partner = m_entries[static_cast<std::size_t>(member)].stream;
    hot = b.side == 0 ? anchor : partner;
    cold = b.side == 0 ? partner : anchor;
    return true;
}

double MatchwiseStreamDataList::ImplicitValue(int field, int hot, int cold, int block) const {
    const Source& s = m_sources[static_cast<std::size_t>(field)];
    // A pair made after the distribution has had nothing laid down on it.
    if (!s.source || m_blocks[static_cast<std::size_t>(block)].clock > s.clock) return 0.0;
    return component(
        s.source->Of(m_entries[static_cast<std::size_t>(hot)].stream, m_entries[static_cast<std::size_t>(cold)].stream),
        field);
}

const CPString* MatchwiseStreamDataList::ImplicitName(std::uint64_t pairClock) const {
    for (const NameLayer& layer : m_nameLayers)
        if (pairClock < layer.until) return &layer.name;
    return nullptr;
}

MatchwiseStreamData* MatchwiseStreamDataList::Materialise(int hot, int cold, int block) const {
    auto found = m_real.find({hot, cold});
    if (found != m_real.end()) return found->second.get();
    auto record = std::make_unique<MatchwiseStreamData>(m_entries[static_cast<std::size_t>(hot)].stream,
                                                        m_entries[static_cast<std::size_t>(cold)].stream);
    for (int f = 0; f < FieldCount; ++f) fieldOf(*record, f) = ImplicitValue(f, hot, cold, block);
    if (const CPString* name = ImplicitName(m_blocks[static_cast<std::size_t>(block)].clock))
        record->SetCostModelName(*name);
    MatchwiseStreamData* raw = record.get();
    m_real.emplace(std::make_pair(hot, cold), std::move(record));
    m_realOrder.push_back(raw);
    return raw;
}

bool MatchwiseStreamDataList::HasMatch(const IHeatIntegrationStream* hot, const IHeatIntegrationStream* cold) const {
    const int h = EntryOf(hot), c = EntryOf(cold);
    return h >= 0 && c >= 0 && BlockOfPair(h, c) >= 0;
}

MatchwiseStreamData* MatchwiseStreamDataList::FindMatch(const IHeatIntegrationStream* hot,
                                                        const IHeatIntegrationStream* cold) const {
    const int h = EntryOf(hot), c = EntryOf(cold);
    if (h < 0 || c < 0) return nullptr;
    auto found = m_real.find({h, c});
    if (found != m_real.end()) return found->second.get();
    const int block = BlockOfPair(h, c);
    return block < 0 ? nullptr : Materialise(h, c, block);
}

bool MatchwiseStreamDataList::IsKnownOnSide(const IHeatIntegrationStream* stream, int side, bool& utility) const {
    const int index = EntryOf(stream);
    if (index < 0) return false;
    const Entry& e = m_entries[static_cast<std::size_t>(index)];
    utility = e.utility;
    return e.side == side;
}

std::unique_ptr<CPTypedList<MatchwiseStreamData>> MatchwiseStreamDataList::GetMatchesOfStream(
    const IHeatIntegrationStream* stream) const {
    if (!stream) return nullptr;
    auto matches = std::make_unique<CPTypedList<MatchwiseStreamData>>();
    const int index = EntryOf(stream);
    const int side = stream->GetHotCold();
    if (index < 0 || (side != 0 && side != 1)) return matches;
    for (std::size_t bi = 0; bi < m_blocks.size(); ++bi) {
        const Block& b = m_blocks[bi];
        if (b.count <= 0) continue;
        if (b.anchor == index && b.side == side) {
            for (long long k = 0; k < b.count; ++k) {
                const int partner = MemberAt(b, k);
                matches->Append(side == 0 ? Materialise(index, partner, static_cast<int>(bi))
                                          : Materialise(partner, index, static_cast<int>(bi)));
            }
        } else if (b.side == 1 - side && IsMember(index, b)) {
            matches->Append(side == 0 ? Materialise(index, b.anchor, static_cast<int>(bi))
                                      : Materialise(b.anchor, index, static_cast<int>(bi)));
        }
    }
    return matches;
}

int MatchwiseStreamDataList::SetCostModelName(const CPString& hotName, const CPString& coldName,
                                              const CPString& model) {
    if (!m_pStreams) return 0;
    auto* hot = static_cast<IHeatIntegrationStream*>(m_pStreams->FindKeyString(hotName));
    auto* cold = static_cast<IHeatIntegrationStream*>(m_pStreams->FindKeyString(coldName));
    if (!hot || !cold || hot->GetName() != hotName || cold->GetName() != coldName) return 0;
    MatchwiseStreamData* record = FindMatch(hot, cold);
    if (!record) return 0;
    record->SetCostModelName(model);
    return 1;
}

void MatchwiseStreamDataList::RenameCostModel(const CPString& oldName, const CPString& newName) {
    const CPString key = upper(oldName);
    for (MatchwiseStreamData* r : m_realOrder) {
        const CPString* name = r->PeekCostModelName();
        if (name && upper(*name) == key) r->SetCostModelName(newName);
    }
    for (NameLayer& layer : m_nameLayers)
        if (upper(layer.name) == key) layer.name = newName;
}

bool MatchwiseStreamDataList::UsesCostModel(const CPString& name) const {
    const CPString key = upper(name);
    for (const MatchwiseStreamData* r : m_realOrder) {
        const CPString* model = r->PeekCostModelName();
        if (upper(model ? *model : CPString(MatchwiseStreamData::kDefaultCostModel)) == key) return true;
    }
    if (m_total <= static_cast<long long>(m_realOrder.size())) return false;
    // The names the pairs without a record answer, by the time their blocks were made.
    for (const Block& b : m_blocks) {
        if (b.count <= 0) continue;
        const CPString* model = ImplicitName(b.clock);
        if (upper(model ? *model : CPString(MatchwiseStreamData::kDefaultCostModel)) == key) return true;
    }
    return false;
}

void MatchwiseStreamDataList::ClearSources(std::initializer_list<int> fields) {
    for (int f : fields) m_sources[static_cast<std::size_t>(f)] = Source{};
}

void MatchwiseStreamDataList::Reset() {
    for (MatchwiseStreamData* r : m_realOrder) {
        r->dFirstValue = r->dCountercurrentArea = r->dShellAndTubeArea = r->dFourthValue = r->dMatchValue = 0.0;
        r->dTolerance[0] = 1e-8;
    }
    ClearSources({First, Countercurrent, ShellAndTube, Fourth, Match});
}

void MatchwiseStreamDataList::ResetAreaValues() {
    for (MatchwiseStreamData* r : m_realOrder) {
        r->dCountercurrentArea = r->dShellAndTubeArea = r->dMatchValue = 0.0;
        r->dTolerance[0] = 1e-8;
    }
    ClearSources({Countercurrent, ShellAndTube, Match});
}

void MatchwiseStreamDataList::Distribute(int kind, std::shared_ptr<const IMatchValueSource> source) {
    std::vector<int> fields;
    if (kind == 2) {
        ResetAreaValues();
        for (MatchwiseStreamData* r : m_realOrder) r->dFirstValue = 0.0;
        ClearSources({First});
        fields = {Countercurrent, First, Match};
    } else if (kind == 3) {
        Reset();
        fields = {ShellAndTube, First, Fourth, Match};
    } else {
        return;
    }
    if (!source) return;
    const std::uint64_t clock = ++m_clock;
    for (int f : fields) m_sources[static_cast<std::size_t>(f)] = Source{source, clock};
    for (MatchwiseStreamData* r : m_realOrder) {
        const MatchDistributedValues v = source->Of(r->GetHotStream(), r->GetColdStream());
        for (int f : fields) fieldOf(*r, f) += component(v, f);
    }
}

void MatchwiseStreamDataList::ReadAllNames() {
    for (MatchwiseStreamData* r : m_realOrder) r->GetCostModelName();
    const std::uint64_t until = ++m_clock;
    if (!m_nameLayers.empty() && m_nameLayers.back().name == MatchwiseStreamData::kDefaultCostModel)
        m_nameLayers.back().until = until;
    else
        m_nameLayers.push_back(NameLayer{until, CPString(MatchwiseStreamData::kDefaultCostModel)});
}

std::vector<MatchSumsOfModel> MatchwiseStreamDataList::SumsByCostModel() {
    ReadAllNames();
    std::vector<MatchSumsOfModel> sums;
    auto groupOf = [&sums](const CPString& name) -> MatchSumsOfModel& {
        for (MatchSumsOfModel& g : sums)
            if (g.model == name) return g;
        sums.push_back(MatchSumsOfModel{name, 0.0, 0.0, 0.0, 0.0, 0.0});
        return sums.back();
    };
    auto add = [](MatchSumsOfModel& g, const double v[FieldCount]) {
        g.dFirst += v[First];
        g.dCountercurrentArea += v[Countercurrent];
        g.dShellAndTubeArea += v[ShellAndTube];
        g.dFourth += v[Fourth];
        g.dMatch += v[Match];
    };

    if (m_total > static_cast<long long>(m_realOrder.size())) {
        bool totals = m_nameLayers.size() == 1;
        for (const Source& s : m_sources)
            if (s.source && s.clock < m_lastUnpairing) totals = false;
        if (totals) {
            // Every pair without a record answers the one name: its sums are the distribution's
            // totals less what the real records were given by it.
            double v[FieldCount] = {0.0, 0.0, 0.0, 0.0, 0.0};
            for (int f = 0; f < FieldCount; ++f) {
                const Source& s = m_sources[static_cast<std::size_t>(f)];
                if (!s.source) continue;
                v[f] = component(s.source->Total(), f);
            }
            for (const auto& [pair, record] : m_real) {
                const int block = BlockOfPair(pair.first, pair.second);
                if (block < 0) continue;
                for (int f = 0; f < FieldCount; ++f) v[f] -= ImplicitValue(f, pair.first, pair.second, block);
            }
            add(groupOf(m_nameLayers.front().name), v);
        } else {
            // Pairs removed or renamed since the distribution: sum the pairs one by one.
            for (std::size_t bi = 0; bi < m_blocks.size(); ++bi) {
                const Block& b = m_blocks[bi];
                for (long long k = 0; k < b.count; ++k) {
                    const int partner = MemberAt(b, k);
                    const int hot = b.side == 0 ? b.anchor : partner;
                    const int cold = b.side == 0 ? partner : b.anchor;
                    if (m_real.count({hot, cold})) continue;
                    double v[FieldCount];
                    for (int f = 0; f < FieldCount; ++f) v[f] = ImplicitValue(f, hot, cold, static_cast<int>(bi));
                    const CPString* name = ImplicitName(b.clock);
                    add(groupOf(name ? *name : CPString(MatchwiseStreamData::kDefaultCostModel)), v);
                }
            }
        }
    }
    for (MatchwiseStreamData* r : m_realOrder) {
        const double v[FieldCount] = {r->dFirstValue, r->dCountercurrentArea, r->dShellAndTubeArea, r->dFourthValue,
                                      r->dMatchValue};
        add(groupOf(r->GetCostModelName()), v);
    }
    return sums;
}

MatchwiseStreamData* MatchwiseStreamDataList::GetMatch(int index) const {
    int block = 0, member = 0;
    if (!Locate(index, block, member)) return nullptr;
    const Block& b = m_blocks[static_cast<std::size_t>(block)];
    return b.side == 0 ? Materialise(b.anchor, member, block) : Materialise(member, b.anchor, block);
}

double MatchwiseStreamDataList::GetValueAt(int index, int field) const {
    if (field < 0 || field >= FieldCount) return -1.0;
    int block = 0, member = 0;
    if (!Locate(index, block, member)) return -1.0;
    const Block& b = m_blocks[static_cast<std::size_t>(block)];
    const int hot = b.side == 0 ? b.anchor : member;
    const int cold = b.side == 0 ? member : b.anchor;
    auto found = m_real.find({hot, cold});
    if (found != m_real.end()) return fieldOf(*found->second, field);
    return ImplicitValue(field, hot, cold, block);
}

MatchwiseStreamData* MatchwiseStreamDataList::GetRealRecord(int index) const {
    if (index < 0 || index >= GetNumberOfRealRecords()) return nullptr;
    return m_realOrder[static_cast<std::size_t>(index)];
}

const CPString* MatchwiseStreamDataList::PeekPairCostModelName(const IHeatIntegrationStream* hot,
                                                               const IHeatIntegrationStream* cold) const {
    const int h = EntryOf(hot), c = EntryOf(cold);
    if (h < 0 || c < 0) return nullptr;
    auto found = m_real.find({h, c});
    if (found != m_real.end()) return found->second->PeekCostModelName();
    const int block = BlockOfPair(h, c);
    return block < 0 ? nullptr : ImplicitName(m_blocks[static_cast<std::size_t>(block)].clock);
}

std::vector<CPString> MatchwiseStreamDataList::CostModelsNamed() const {
    std::vector<CPString> names;
    auto note = [&names](const CPString& name) {
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    };
    for (const NameLayer& layer : m_nameLayers) note(layer.name);
    for (const MatchwiseStreamData* r : m_realOrder)
        if (const CPString* name = r->PeekCostModelName()) note(*name);
    return names;
}

void MatchwiseStreamDataList::CopyCostModelNames(MatchwiseStreamDataList& from, const CopyOfStream& copyOf,
                                                 const std::function<bool(const CPString&)>& takes) {
    from.ReadAllNames();
    auto give = [&](const IHeatIntegrationStream* hot, const IHeatIntegrationStream* cold, const CPString& model) {
        const IHeatIntegrationStream* hotCopy = hot ? copyOf(hot) : nullptr;
        const IHeatIntegrationStream* coldCopy = cold ? copyOf(cold) : nullptr;
        if (hotCopy && coldCopy && takes(model)) SetCostModelName(hotCopy->GetName(), coldCopy->GetName(), model);
    };
    if (from.m_total > static_cast<long long>(from.m_realOrder.size())) {
        // The stream of the other list each stream of this one is a copy of.
        std::unordered_map<const IHeatIntegrationStream*, const IHeatIntegrationStream*> sourceOf;
        for (const Entry& e : from.m_entries)
            if (e.alive)
                if (const IHeatIntegrationStream* copy = copyOf(e.stream)) sourceOf.emplace(copy, e.stream);
        // When every stream of this list is a copy known on the same side there, its pairs are
        // pairs of the other list, and one name given to every pair of this list is what the
        // other's pairs answer.
        bool same = from.m_nameLayers.size() == 1 && !m_sideChanged && !from.m_sideChanged;
        for (std::size_t i = 0; same && i < m_entries.size(); ++i) {
            const Entry& e = m_entries[i];
            if (!e.alive) continue;
            bool utility = false;
            const auto other = sourceOf.find(e.stream);
            same = other != sourceOf.end() && from.IsKnownOnSide(other->second, e.side, utility) && utility == e.utility;
        }
        if (same) {
            const CPString name = from.m_nameLayers.front().name;
            if (takes(name)) {
                m_nameLayers.assign(1, NameLayer{++m_clock, name});
                for (MatchwiseStreamData* r : m_realOrder) r->SetCostModelName(name);
            }
        } else {
            for (std::size_t bi = 0; bi < from.m_blocks.size(); ++bi) {
                const Block& b = from.m_blocks[bi];
                // A pair made here answers "DEFAULT" until it is named: only other names are given.
                const CPString* name = from.ImplicitName(b.clock);
                if (!name || *name == MatchwiseStreamData::kDefaultCostModel) continue;
                for (long long k = 0; k < b.count; ++k) {
                    const int partner = from.MemberAt(b, k);
                    const int hot = b.side == 0 ? b.anchor : partner;
                    const int cold = b.side == 0 ? partner : b.anchor;
                    if (from.m_real.count({hot, cold})) continue;
                    give(from.m_entries[static_cast<std::size_t>(hot)].stream,
                         from.m_entries[static_cast<std::size_t>(cold)].stream, *name);
                }
            }
        }
    }
    for (MatchwiseStreamData* r : from.m_realOrder) give(r->GetHotStream(), r->GetColdStream(), r->GetCostModelName());
}
