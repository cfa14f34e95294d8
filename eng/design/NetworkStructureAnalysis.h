#pragma once
// The structure of a design's network: its sub-networks (groups of streams joined by
// exchangers), its loops (closed chains of exchangers and streams), its paths (chains from a hot
// utility to a cold utility), the number of independent loops by Euler's formula, and per
// sub-network the counts the controllability verdict rests on.
//
// A process stream (kind 0) always takes part. Every other stream takes part as one node when its
// analysis flag is 1 (also when it has no entry), and is left out when its flag is 0: the
// searches do not cross it, and in the loop counts each of its exchangers is a node of its own.
// The analysis reads the design only through IHENDesign and its flowsheet.
#include "dunmor/CPString.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <unordered_set>
#include <vector>

class CNode;
class IHENDesign;
class IHeatIntegrationStream;
class ILurmetBinaryFile;

// What the analysis keeps of its streams by name: the flags of the non-process streams and the
// loop analysis flag. A record and a copy into another scenario carry it to other stream objects.
struct AnalysisStreamFlags {
    std::vector<std::pair<std::string, bool>> flags;
    bool loopAnalysis = true;
};

struct SubNetwork {
    std::vector<IHeatIntegrationStream*> members;
    CPString name;  // the members' names in order of joining, separated by " / "
    int units = 0;
    int processStreams = 0;
    int controlSelections = 0;
    int utilityNodes = 0;
    int loops = 0;
    int remainingFreedom = 0;
    std::vector<CNode*> exchangers;  // the units counted in `units`, in exchanger-list order
};

// A loop, a path or the working chain of a search: entry k is the stream reached and the
// exchanger it was reached through.
struct UnitChain {
    IHeatIntegrationStream* start = nullptr;  // where the search began (not an entry)
    std::vector<CNode*> exchangers;
    std::vector<IHeatIntegrationStream*> streams;
    CPString name;  // the exchangers' "UnitOperationName" values in order, separated by " / "
    void MakeName();
    // The same, each unit's name taken from `names` (filled as units are met).
    void MakeName(std::unordered_map<const CNode*, const CPString*>& names);
};

class NetworkStructureAnalysis {
public:
    static constexpr int RecordVersion = 2;
    // Most loops (and most paths) one search keeps, and most exchanger steps it takes. The number
    // of loops of a network can grow exponentially with its exchangers (every pair of parallel
    // matches doubles it), and so does a depth-first search through them; past these bounds the
    // search stops and the lists hold what was found, so one dense network cannot stall an edit.
    static constexpr std::size_t MaxChains = 1000;
    static constexpr long MaxSearchSteps = 20000;

    explicit NetworkStructureAnalysis(IHENDesign* design) : m_design(design) {}

    // The design whose network is analysed (a design read back takes over the analysis it read).
    void SetDesign(IHENDesign* design) { m_design = design; }
    const CPString& GetName() const { return m_name; }
    void SetName(const CPString& name) { m_name = name; }

    // ---- analysis stream flags ----
    // A stream that joins the design: a non-process stream gets an entry with flag 0.
    void StreamAdded(IHeatIntegrationStream* stream);
    void StreamRemoved(IHeatIntegrationStream* stream);
    // The flag of a non-process stream; false for a process stream (always taken part).
    bool SetStreamFlag(IHeatIntegrationStream* stream, bool takesPart);
    int GetNumberOfAnalysisStreams() const { return static_cast<int>(m_entries.size()); }
    // -1 for an index out of range.
    int GetAnalysisStreamFlag(int index) const;
    IHeatIntegrationStream* GetAnalysisStream(int index) const;
    bool TakesPart(const IHeatIntegrationStream* stream) const;

    bool IsLoopAnalysisEnabled() const { return m_loopAnalysis; }
    void SetLoopAnalysisEnabled(bool enabled) { m_loopAnalysis = enabled; }

    // ---- the passes ----
    // Exchanger lists, sub-networks, loops, paths, independent loops, splitters; the design runs
    // the controllability pass after it.
    void Run();
    void BuildExchangerLists();
    void FindSubNetworks();
    void FindLoops();
    void FindPaths();
    void CountIndependentLoops();
    // Fills units, process streams, utility nodes and loops of every sub-network.
    void CountSubNetworkLoops();

    // ---- results ----
    const std::vector<SubNetwork>& SubNetworks() const { return m_subNetworks; }
    std::vector<SubNetwork>& MutableSubNetworks() { return m_subNetworks; }
    const std::vector<UnitChain>& Loops() const { return m_loops; }
    const std::vector<UnitChain>& Paths() const { return m_paths; }
    const std::vector<CNode*>& Splitters() const { return m_splitters; }
    int GetUnits() const { return m_units; }
    int GetProcessStreamCount() const { return m_processStreams; }
    int GetUtilityNodeCount() const { return m_utilityNodes; }
    int GetIndependentLoops() const { return m_independentLoops; }
    // 1 when the exchanger is on some path or loop, or when there are neither; 0 otherwise.
    int IsExchangerOnPathOrLoop(const CNode* exchanger) const;
    // The splitters whose parent stream is the given one, in splitter-list order.
    std::vector<CNode*> CollectStreamNodes(const IHeatIntegrationStream* stream) const;
    // The stream on the given side (0 hot, 1 cold) of an exchanger; null when none.
    static IHeatIntegrationStream* StreamOnSide(const CNode* exchanger, int side);

    // ---- case file (the analysis sub-record of the design record) ----
    bool Store(ILurmetBinaryFile& file) const;
    // Entries only for stored names that match a non-process stream of the design. False, with
    // nothing changed, when the record is damaged.
    bool Recall(ILurmetBinaryFile& file);
    // Reads the sub-record without applying it (a version-1 record keeps the loop flag 1).
    static bool ReadFlags(ILurmetBinaryFile& file, AnalysisStreamFlags& out);
    AnalysisStreamFlags CaptureFlags() const;
    // Every non-process stream of the design gets an entry: its stored flag when the flags name
    // it, else 0; entries of streams the design no longer has go.
    void ApplyFlags(const AnalysisStreamFlags& stored);

private:
    struct Entry {
        IHeatIntegrationStream* stream;
        bool takesPart;
    };
    // An exchanger of a stream's list with the stream on its other side, found once per run so
    // that the searches step without looking at nodes again.
    struct Link {
        CNode* exchanger;
        IHeatIntegrationStream* other;
        bool heater;
        bool otherTakesPart;
    };
    const std::vector<Link>& ExchangersOf(const IHeatIntegrationStream* stream) const;
    void Visit(IHeatIntegrationStream* s, CNode* arrival);
    void Walk(IHeatIntegrationStream* s, CNode* arrival);
    void RemoveRepeatedLoops();
    bool InChainStreams(const IHeatIntegrationStream* s) const { return m_chainPos.count(s) > 0; }
    void PushChain(IHeatIntegrationStream* s, CNode* e);
    void PopChain();

    IHENDesign* m_design;
    CPString m_name;
    std::vector<Entry> m_entries;
    std::vector<SubNetwork> m_subNetworks;
    std::vector<UnitChain> m_loops;
    std::vector<UnitChain> m_paths;
    UnitChain m_chain;
    // Position of each stream in the working chain (a stream stands in it at most once).
    std::unordered_map<const IHeatIntegrationStream*, std::size_t> m_chainPos;
    std::vector<CNode*> m_exchangers;
    std::unordered_map<const IHeatIntegrationStream*, std::vector<Link>> m_streamExchangers;
    std::unordered_map<const IHeatIntegrationStream*, int> m_memberOf;  // sub-network of a member
    std::vector<CNode*> m_splitters;
    std::unordered_set<const CNode*> m_onPathOrLoop;  // exchangers of the loops and paths
    bool m_loopAnalysis = true;
    long m_steps = 0;
    int m_units = 0;
    int m_processStreams = 0;
    int m_utilityNodes = 0;
    int m_independentLoops = 0;
};
