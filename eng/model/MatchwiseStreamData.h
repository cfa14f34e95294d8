#pragma once
// One record per pair of a hot and a cold stream of a scenario that could be matched: the
// match's cost-model name (which economic data set costs an exchanger of the match), temperature
// limits, and the values area targeting and automatic design write per match.
#include "dunmor/CPString.h"
#include "tevrin/CPTypedList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class CPDictionary;
class IHeatIntegrationStream;
class ILurmetBinaryFile;

class MatchwiseStreamData {
public:
    static constexpr int RecordVersion = 3;
    static constexpr const char* kDefaultCostModel = "DEFAULT";
    static constexpr double kNoLimit = -273.15;

    MatchwiseStreamData(IHeatIntegrationStream* hot, IHeatIntegrationStream* cold);

    double dFirstValue = 0.0;
    double dCountercurrentArea = 0.0;
    double dShellAndTubeArea = 0.0;
    double dFourthValue = 0.0;
    double dMatchValue = 0.0;
    double dFactor = 1.0;
    double dTolerance[2] = {1e-8, 1e-8};
    int nInteger[2] = {0, 0};
    // 1 when either stream is a utility.
    int nUtility = 0;

    IHeatIntegrationStream* GetHotStream() const { return m_pHot; }
    IHeatIntegrationStream* GetColdStream() const { return m_pCold; }
    bool Involves(const IHeatIntegrationStream* stream) const { return m_pHot == stream || m_pCold == stream; }

    // The cost-model name; a record without one gets "DEFAULT" on first read.
    const CPString& GetCostModelName();
    // Null when the record was never given a name and never read.
    const CPString* PeekCostModelName() const { return m_pCostModelName.get(); }
    void SetCostModelName(const CPString& name) { m_pCostModelName = std::make_unique<CPString>(name); }

    // Keys "HotInlet", "HotOutlet", "ColdInlet", "ColdOutlet"; an unknown key is ignored by the
    // setter and reads -273.15, as does every key before the first limit is set.
    void SetTemperatureLimit(const CPString& key, double value);
    double GetTemperatureLimit(const CPString& key) const;

    // Whether the temperature windows of two matches on one side overlap (touching counts): side 0
    // the hot windows ("HotOutlet" up to "HotInlet"), side 1 the cold ones ("ColdInlet" up to
    // "ColdOutlet").
    static bool LimitsOverlap(const MatchwiseStreamData& a, const MatchwiseStreamData& b, int side);

    // Whether the record holds anything a new record of its pair would not (a name, a limit, a
    // value); a record that does not need not be stored.
    bool DiffersFromDefaults() const;
    // Takes the values and the name of another record (of the same pair, read on its own).
    void TakeValuesOf(const MatchwiseStreamData& other);

    // Record version 3: second value, fifth value, factor, the two tolerances; the two integers;
    // the cost-model name; first, third and fourth value. The limits and the utility flag are not
    // stored (the streams are written by the owner before the record).
    bool Store(ILurmetBinaryFile& file) const;
    // Reads versions 1 to 3 (the first value from 2 on, the third and fourth from 3 on); the
    // cost-model name is taken in upper case. On failure the record is unchanged.
    bool Recall(ILurmetBinaryFile& file);
    // Reads past one record (of a match whose streams no longer pair).
    static bool SkipRecord(ILurmetBinaryFile& file);

private:
    IHeatIntegrationStream* m_pHot;
    IHeatIntegrationStream* m_pCold;
    std::unique_ptr<CPString> m_pCostModelName;
    std::optional<std::vector<double>> m_limits;
};

// The values a distribution of the area target gives the matches: what it lays down on one pair,
// and the sum over every pair that had a record when it was made.
struct MatchDistributedValues {
    double dFirst = 0.0;
    double dArea = 0.0;
    double dFourth = 0.0;
    double dMatch = 0.0;
};

class IMatchValueSource {
public:
    // Defined with the list, so that the interface's type information is the library's own.
    virtual ~IMatchValueSource();
    virtual MatchDistributedValues Of(const IHeatIntegrationStream* hot, const IHeatIntegrationStream* cold) const = 0;
    virtual MatchDistributedValues Total() const = 0;
};

// The sums of the match values of one cost model (the name as the records give it).
struct MatchSumsOfModel {
    std::string model;
    double dFirst = 0.0;
    double dCountercurrentArea = 0.0;
    double dShellAndTubeArea = 0.0;
    double dFourth = 0.0;
    double dMatch = 0.0;
};

// The match records of a scenario over its streams.
//
// Every hot stream pairs with every cold one, so the records are not all held: a pair is known
// from the streams' registrations and becomes a real record only when it is handed out or
// written; until then its values are read from the list's own state (the distribution last laid
// down, the cost-model name the pairs were last given). See docs/architecture.md.
class MatchwiseStreamDataList {
public:
    // Pairs every hot stream of the collection (items IHeatIntegrationStream*) with the cold ones.
    explicit MatchwiseStreamDataList(const CPDictionary* streams);
    ~MatchwiseStreamDataList();

    // A cold stream is paired with every hot stream the list knows, a hot one with every cold
    // one; an existing pair keeps its record and two utilities are never paired.
    void AddStream(IHeatIntegrationStream* stream);
    // Removes every record that involves the stream.
    void RemoveStream(const IHeatIntegrationStream* stream);
    // The record of the pair (made real), or null when the streams do not pair.
    MatchwiseStreamData* FindMatch(const IHeatIntegrationStream* hot, const IHeatIntegrationStream* cold) const;
    bool HasMatch(const IHeatIntegrationStream* hot, const IHeatIntegrationStream* cold) const;
    // A new list of the records the stream takes part in on its own side (as hot stream when it
    // is hot, as cold stream when it is cold); null without a stream.
    std::unique_ptr<CPTypedList<MatchwiseStreamData>> GetMatchesOfStream(const IHeatIntegrationStream* stream) const;
    // Gives every record of the pair (by stream names) the model name; 1 when a record changed.
    int SetCostModelName(const CPString& hotName, const CPString& coldName, const CPString& model);
    // Renames every cost model `oldName` to `newName` (economic data set names are compared in
    // upper case, as the manager keys them).
    void RenameCostModel(const CPString& oldName, const CPString& newName);
    // Whether some record names the model (compared without regard to case).
    bool UsesCostModel(const CPString& name) const;
    void Reset();
    void ResetAreaValues();

    // Lays down a distribution: kind 2 the countercurrent areas (the first values and shares
    // afresh, the area values cleared first), kind 3 the shell-and-tube areas, shells, first
    // values and shares (every value cleared first).
    void Distribute(int kind, std::shared_ptr<const IMatchValueSource> source);
    // The sums of every match's values per cost model, models in the order first met; every
    // match without a name takes "DEFAULT" (as reading its name one by one would).
    std::vector<MatchSumsOfModel> SumsByCostModel();
    // Whether the stream is known on that side (its segments there have records with the
    // opposite side's known streams, except two utilities), and whether it is a utility.
    // Gives every match without a name "DEFAULT" (what reading each one's name would do).
    void NameEveryMatch() { ReadAllNames(); }
    // Gives every pair of this list whose two streams are copies of a pair of the other list the
    // other's name for it: `copyOf` answers this list's copy of a stream of the other (null for
    // a stream left behind), and a name `takes` refuses is not given (the pair answers
    // "DEFAULT"). Reading the other's names gives its nameless matches "DEFAULT".
    using CopyOfStream = std::function<const IHeatIntegrationStream*(const IHeatIntegrationStream*)>;
    void CopyCostModelNames(MatchwiseStreamDataList& from, const CopyOfStream& copyOf,
                            const std::function<bool(const CPString&)>& takes);
    // Every name a match answers, once each (without regard to what pairs carry it).
    std::vector<CPString> CostModelsNamed() const;
    bool IsKnownOnSide(const IHeatIntegrationStream* stream, int side, bool& utility) const;

    int GetNumberOfMatches() const { return static_cast<int>(m_total); }
    // The record at the position (made real); null outside the list.
    MatchwiseStreamData* GetMatch(int index) const;
    // The streams of the pair at the position without making it real; false outside the list.
    bool GetPairAt(int index, IHeatIntegrationStream*& hot, IHeatIntegrationStream*& cold) const;
    // One value of the pair at the position without making it real: 0 first, 1 countercurrent
    // area, 2 shell-and-tube area, 3 fourth, 4 match value; -1.0 outside the list.
    double GetValueAt(int index, int field) const;
    // The records made real, in the order they were made.
    int GetNumberOfRealRecords() const { return static_cast<int>(m_realOrder.size()); }
    MatchwiseStreamData* GetRealRecord(int index) const;
    // The name a pair without a record of its own answers (null: never named, "DEFAULT" on read).
    const CPString* PeekPairCostModelName(const IHeatIntegrationStream* hot, const IHeatIntegrationStream* cold) const;

    CPString& Key() { return m_key; }
    // Reads the key string the scenario's record keeps with the list; a failed read empties it.
    bool RecallKey(ILurmetBinaryFile& file);

private:
    struct Entry;
    struct Block;
    struct Source;
    struct NameLayer;

    int EntryOf(const IHeatIntegrationStream* stream) const;
    std::size_t IndexSlotOf(const IHeatIntegrationStream* stream) const;
    void IndexEntry(int entry);
    void UnindexEntry(const IHeatIntegrationStream* stream);
    int SideAt(const Entry& e, std::uint64_t clock) const;
    bool IsMember(int entry, const Block& b) const;
    // The block whose pairs hold (hot, cold), or -1.
    int BlockOfPair(int hot, int cold) const;
    int MemberAt(const Block& b, long long k) const;
    bool Locate(long long index, int& block, int& member) const;
    void Register(IHeatIntegrationStream* stream, int side);
    int NewEntry(IHeatIntegrationStream* stream, int side, std::uint64_t clock);
    void NewBlock(int anchor, std::uint64_t clock);
    MatchwiseStreamData* Materialise(int hot, int cold, int block) const;
    double ImplicitValue(int field, int hot, int cold, int block) const;
    const CPString* ImplicitName(std::uint64_t pairClock) const;
    void ReadAllNames();
    void ClearSources(std::initializer_list<int> fields);

    const CPDictionary* m_pStreams;
    std::vector<Entry> m_entries;
    // The entry of each stream: entry numbers in an open-addressed table (linear probing, at most
    // half full), eight bytes a slot where a node map takes some forty a stream. Each slot keeps
    // four bytes of its stream's hash beside the entry number, so that a probe reads an entry
    // only where they agree: a stream the list does not hold yet (every stream of a table as it
    // is entered) is answered from the table alone.
    struct IndexSlot {
        int entry;
        std::uint32_t tag;
    };
    std::vector<IndexSlot> m_entryIndex;
    std::size_t m_entryIndexUsed = 0;
    std::vector<Block> m_blocks;
    // Alive entries by current side and utility flag.
    long long m_alive[2][2] = {{0, 0}, {0, 0}};
    // Alive entries by the side they were registered on, in registration order, while they keep
    // that side (a pair's partners are found by position through them).
    std::vector<int> m_bySide[2];
    std::vector<int> m_bySideProcess[2];
    bool m_sideChanged = false;
    long long m_total = 0;
    std::uint64_t m_clock = 0;
    mutable std::vector<long long> m_prefix;
    mutable bool m_prefixDirty = true;

    struct PairHash {
        std::size_t operator()(const std::pair<int, int>& k) const noexcept {
            return std::hash<std::uint64_t>()((static_cast<std::uint64_t>(static_cast<std::uint32_t>(k.first)) << 32) ^
                                              static_cast<std::uint32_t>(k.second));
        }
    };
    mutable std::unordered_map<std::pair<int, int>, std::unique_ptr<MatchwiseStreamData>, PairHash> m_real;
    mutable std::vector<MatchwiseStreamData*> m_realOrder;
    // Per value (first, countercurrent, shell and tube, fourth, match): the distribution it was
    // last laid down from, valid for pairs made before it.
    std::vector<Source> m_sources;
    // The names pairs without a record of their own answer, by the time the pair was made.
    std::vector<NameLayer> m_nameLayers;
    // The clock of the last removal or change of side (distributions made before it do not
    // total the pairs as they are now).
    std::uint64_t m_lastUnpairing = 0;
    CPString m_key;
};
