// Sub-networks by flood fill, loops and paths by depth-first search, independent loops by
// Euler's formula, and the analysis sub-record.
#include "eng/design/NetworkStructureAnalysis.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/design/NamedFlagEntry.h"
#include "eng/design/HENDesignChain.h"
#include "eng/design/IHENDesign.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

namespace {
bool isProcess(const IHeatIntegrationStream* s) { return s && s->GetStreamKind() == 0; }
// Kind 1 is a utility; linked streams (kind 2) count with the process streams as search starts.
bool isNotUtility(const IHeatIntegrationStream* s) { return s && s->GetStreamKind() != 1; }
}  // namespace

void UnitChain::MakeName() {
    std::unordered_map<const CNode*, const CPString*> names;
    MakeName(names);
}

// A path through a large network runs through hundreds of exchangers and a search keeps up to
// MaxChains of them: each unit's name is looked up once for all the chains named together.
void UnitChain::MakeName(std::unordered_map<const CNode*, const CPString*>& names) {
    name = CPString();
    for (std::size_t k = 0; k < exchangers.size(); ++k) {
        if (k) name += " / ";
        auto [at, added] = names.try_emplace(exchangers[k], nullptr);
        if (added)
            if (const CPValue* unit = exchangers[k]->findValue(NodeValue::UnitOperationName); unit && unit->IsText()) at->second = &unit->GetText();
        if (at->second) name += *at->second;
    }
}

// ---------------------------------------------------------------- flags

void NetworkStructureAnalysis::StreamAdded(IHeatIntegrationStream* stream) {
    if (!stream || isProcess(stream)) return;
    for (const Entry& e : m_entries)
        if (e.stream == stream) return;
    m_entries.push_back({stream, false});
}

void NetworkStructureAnalysis::StreamRemoved(IHeatIntegrationStream* stream) {
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [stream](const Entry& e) { return e.stream == stream; }),
                    m_entries.end());
}

bool NetworkStructureAnalysis::SetStreamFlag(IHeatIntegrationStream* stream, bool takesPart) {
    if (!stream || isProcess(stream)) return false;
    for (Entry& e : m_entries)
        if (e.stream == stream) {
            e.takesPart = takesPart;
            return true;
        }
    m_entries.push_back({stream, takesPart});
    return true;
}

int NetworkStructureAnalysis::GetAnalysisStreamFlag(int index) const {
    return index >= 0 && index < static_cast<int>(m_entries.size()) ? m_entries[index].takesPart : -1;
}

IHeatIntegrationStream* NetworkStructureAnalysis::GetAnalysisStream(int index) const {
    return index >= 0 && index < static_cast<int>(m_entries.size()) ? m_entries[index].stream : nullptr;
}

// A scan of the entries: there is one per utility, and utilities are few beside the process
// streams.
bool NetworkStructureAnalysis::TakesPart(const IHeatIntegrationStream* stream) const {
    if (!stream) return false;
    if (isProcess(stream)) return true;
    for (const Entry& e : m_entries)
        if (e.stream == stream) return e.takesPart;
    return true;
}

// ---------------------------------------------------------------- passes

void NetworkStructureAnalysis::Run() {
    BuildExchangerLists();
    FindSubNetworks();
    FindLoops();
    FindPaths();
    m_onPathOrLoop.clear();
    for (const auto* list : {&m_loops, &m_paths})
        for (const UnitChain& c : *list) m_onPathOrLoop.insert(c.exchangers.begin(), c.exchangers.end());
    CountIndependentLoops();
    m_splitters = m_design && m_design->GetFlowSheet() ? m_design->GetFlowSheet()->getAllNodesOfType(NodeKind::Tee)
                                                       : std::vector<CNode*>();
}

IHeatIntegrationStream* NetworkStructureAnalysis::StreamOnSide(const CNode* exchanger, int side) {
    const HeatExch* x = dynamic_cast<const HeatExch*>(exchanger);
    if (!x) return nullptr;
    CNode* segment = x->getInlet(side) ? static_cast<CNode*>(x->getInlet(side)) : x->getOutlet(side);
    return chain::StreamOf(segment);
}

void NetworkStructureAnalysis::BuildExchangerLists() {
    m_streamExchangers.clear();
    m_exchangers.clear();
    FlowSheet* sheet = m_design ? m_design->GetFlowSheet() : nullptr;
    if (!sheet) return;
    m_exchangers = sheet->getAllNodesOfType(NodeKind::HeatExchanger);
    for (CNode* x : sheet->getAllNodesOfType(NodeKind::CountercurrentHX)) m_exchangers.push_back(x);
    for (int i = 0; i < m_design->GetNumberOfStreams(); ++i) m_streamExchangers[m_design->GetStream(i)];
    // One pass over the exchangers, each filed under the stream on its side when that side is
    // the stream's own (hot streams on side 0, cold on side 1).
    for (CNode* x : m_exchangers) {
        const HeatExch* hx = dynamic_cast<const HeatExch*>(x);
        const bool heater = hx && hx->IsHeater();
        for (int side = 0; side < 2; ++side) {
            IHeatIntegrationStream* s = StreamOnSide(x, side);
            const auto it = s ? m_streamExchangers.find(s) : m_streamExchangers.end();
            if (it == m_streamExchangers.end() || s->GetHotCold() != side) continue;
            IHeatIntegrationStream* other = StreamOnSide(x, 1 - side);
            it->second.push_back({x, other, heater, other && TakesPart(other)});
        }
    }
}

const std::vector<NetworkStructureAnalysis::Link>& NetworkStructureAnalysis::ExchangersOf(
    const IHeatIntegrationStream* stream) const {
    static const std::vector<Link> none;
    const auto it = m_streamExchangers.find(stream);
    return it == m_streamExchangers.end() ? none : it->second;
}

void NetworkStructureAnalysis::FindSubNetworks() {
    m_subNetworks.clear();
    m_memberOf.clear();
    if (!m_design) return;
    // Depth first with an explicit stack (a frame is a stream and its next exchanger), so that a
    // long chain of streams cannot overflow the call stack; members join in the order a recursive
    // flood would add them.
    struct Frame {
        IHeatIntegrationStream* stream;
        std::size_t next;
    };
    for (int i = 0; i < m_design->GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* start = m_design->GetStream(i);
        if (!isNotUtility(start) || !TakesPart(start) || m_memberOf.count(start)) continue;
        const int index = static_cast<int>(m_subNetworks.size());
        SubNetwork sub;
        sub.members.push_back(start);
        sub.name = start->GetName();
        m_subNetworks.push_back(std::move(sub));
        m_memberOf[start] = index;
        std::vector<Frame> stack{{start, 0}};
        while (!stack.empty()) {
            Frame& f = stack.back();
            const std::vector<Link>& list = ExchangersOf(f.stream);
            if (f.next >= list.size()) {
                stack.pop_back();
                continue;
            }
            IHeatIntegrationStream* t = list[f.next++].other;
            if (!t || !list[f.next - 1].otherTakesPart || m_memberOf.count(t)) continue;
            SubNetwork& sub = m_subNetworks[index];
            sub.members.push_back(t);
            sub.name += " / ";
            sub.name += t->GetName();
            m_memberOf[t] = index;
            stack.push_back({t, 0});
        }
    }
}

void NetworkStructureAnalysis::PushChain(IHeatIntegrationStream* s, CNode* e) {
    m_chainPos[s] = m_chain.streams.size();
    m_chain.streams.push_back(s);
    m_chain.exchangers.push_back(e);
}

void NetworkStructureAnalysis::PopChain() {
    if (m_chain.streams.empty()) return;
    m_chainPos.erase(m_chain.streams.back());
    m_chain.streams.pop_back();
    m_chain.exchangers.pop_back();
}

void NetworkStructureAnalysis::FindLoops() {
    m_loops.clear();
    if (!m_design || !m_loopAnalysis) return;
    m_steps = 0;
    for (int i = 0; i < m_design->GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* s = m_design->GetStream(i);
        if (!isNotUtility(s) || s->GetHotCold() != 0) continue;
        m_chain = UnitChain();
        m_chain.start = s;
        m_chainPos.clear();
        Visit(s, nullptr);
    }
    RemoveRepeatedLoops();
}

// The depth of the recursion is the length of the working chain, at most one entry per stream
// (and one more for the start stream).
void NetworkStructureAnalysis::Visit(IHeatIntegrationStream* s, CNode* arrival) {
    for (const Link& link : ExchangersOf(s)) {
        CNode* e = link.exchanger;
        if (e == arrival) continue;
        if (++m_steps > MaxSearchSteps || m_loops.size() >= MaxChains) break;
        IHeatIntegrationStream* t = link.other;
        if (!t || !link.otherTakesPart) continue;
        const auto at = m_chainPos.find(t);
        if (at != m_chainPos.end()) {
            const std::size_t k = at->second;
            if (m_chain.exchangers[k] == e) {
                UnitChain loop;
                loop.start = t;
                loop.exchangers.assign(m_chain.exchangers.begin() + static_cast<std::ptrdiff_t>(k), m_chain.exchangers.end());
                loop.streams.assign(m_chain.streams.begin() + static_cast<std::ptrdiff_t>(k), m_chain.streams.end());
                m_loops.push_back(std::move(loop));
            }
            continue;
        }
        PushChain(t, e);
        Visit(t, e);
    }
    if (arrival) PopChain();
}

// Every loop is found once from each of its exchangers' directions; the first of a set of loops
// with the same exchangers stays. Loops are keyed by their exchanger sets, so the pass is
// n log n in the loops rather than a comparison of every pair.
void NetworkStructureAnalysis::RemoveRepeatedLoops() {
    std::set<std::pair<std::size_t, std::vector<const CNode*>>> seen;
    std::vector<UnitChain> kept;
    for (UnitChain& loop : m_loops) {
        std::vector<const CNode*> key(loop.exchangers.begin(), loop.exchangers.end());
        std::sort(key.begin(), key.end());
        key.erase(std::unique(key.begin(), key.end()), key.end());
        if (!seen.insert({loop.exchangers.size(), std::move(key)}).second) continue;
        loop.MakeName();  // named only when kept: most loops are found twice
        kept.push_back(std::move(loop));
    }
    m_loops = std::move(kept);
}

void NetworkStructureAnalysis::FindPaths() {
    m_paths.clear();
    if (!m_design || !m_loopAnalysis || m_design->GetNumberOfStreams() == 0) return;
    m_steps = 0;
    for (int i = 0; i < m_design->GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* s = m_design->GetStream(i);
        if (isProcess(s) || s->GetHotCold() != 0) continue;
        m_chain = UnitChain();
        m_chain.start = s;
        m_chainPos.clear();
        Walk(s, nullptr);
    }
    // Named once the search is over: the names of the units do not change while it runs.
    std::unordered_map<const CNode*, const CPString*> names;
    for (UnitChain& path : m_paths) path.MakeName(names);
}

void NetworkStructureAnalysis::Walk(IHeatIntegrationStream* s, CNode* arrival) {
    for (const Link& link : ExchangersOf(s)) {
        CNode* e = link.exchanger;
        if (e == arrival) continue;
        if (++m_steps > MaxSearchSteps || m_paths.size() >= MaxChains) break;
        IHeatIntegrationStream* t = link.other;
        if (!t) continue;
        if (t->GetHotCold() == 1 && !isProcess(t)) {
            UnitChain path = m_chain;
            path.streams.push_back(t);
            path.exchangers.push_back(e);
            m_paths.push_back(std::move(path));
            continue;
        }
        if ((!arrival || !link.heater) && !InChainStreams(t)) {
            PushChain(t, e);
            Walk(t, e);
        }
    }
    if (arrival) PopChain();
}

void NetworkStructureAnalysis::CountIndependentLoops() {
    if (!m_design) return;
    m_units = m_design->GetNumberOfHeatExchangers();
    if (m_design->GetNumberOfStreams() == 0) return;
    // Connections of each stream to exchangers (either side).
    std::unordered_map<const IHeatIntegrationStream*, int> connections;
    for (CNode* x : m_exchangers)
        for (int side = 1; side >= 0; --side)
            if (IHeatIntegrationStream* s = StreamOnSide(x, side)) ++connections[s];
    m_processStreams = 0;
    m_utilityNodes = 0;
    for (int i = 0; i < m_design->GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* s = m_design->GetStream(i);
        if (isProcess(s)) {
            ++m_processStreams;
            continue;
        }
        const auto it = connections.find(s);
        const int n = it == connections.end() ? 0 : it->second;
        // A stream taking part is one node however many exchangers it has; one left out is a node
        // per exchanger.
        m_utilityNodes += n == 0 ? 0 : TakesPart(s) ? 1 : n;
    }
    m_independentLoops = m_units - m_processStreams - m_utilityNodes + static_cast<int>(m_subNetworks.size());
}

void NetworkStructureAnalysis::CountSubNetworkLoops() {
    // Exchangers of each sub-network, and per non-process stream and sub-network the exchangers
    // joining them.
    std::vector<int> units(m_subNetworks.size(), 0);
    for (SubNetwork& sub : m_subNetworks) sub.exchangers.clear();
    std::map<std::pair<const IHeatIntegrationStream*, int>, int> utilityLinks;
    auto memberOf = [this](const IHeatIntegrationStream* s) {
        const auto it = s ? m_memberOf.find(s) : m_memberOf.end();
        return it == m_memberOf.end() ? -1 : it->second;
    };
    for (CNode* x : m_exchangers) {
        IHeatIntegrationStream* hot = StreamOnSide(x, 0);
        IHeatIntegrationStream* cold = StreamOnSide(x, 1);
        const int k = memberOf(cold) >= 0 ? memberOf(cold) : memberOf(hot);
        if (k >= 0) {
            ++units[k];
            m_subNetworks[static_cast<std::size_t>(k)].exchangers.push_back(x);
        }
        for (int side = 0; side < 2; ++side) {
            IHeatIntegrationStream* u = side == 0 ? hot : cold;
            const int other = memberOf(side == 0 ? cold : hot);
            if (u && !isProcess(u) && other >= 0) ++utilityLinks[{u, other}];
        }
    }
    for (std::size_t k = 0; k < m_subNetworks.size(); ++k) {
        SubNetwork& sub = m_subNetworks[k];
        sub.units = units[k];
        sub.processStreams = static_cast<int>(std::count_if(sub.members.begin(), sub.members.end(), isProcess));
        sub.utilityNodes = 0;
    }
    for (const auto& [key, n] : utilityLinks) m_subNetworks[key.second].utilityNodes += TakesPart(key.first) ? 1 : n;
    for (SubNetwork& sub : m_subNetworks) sub.loops = sub.units - sub.processStreams - sub.utilityNodes + 1;
}

// ---------------------------------------------------------------- results

int NetworkStructureAnalysis::IsExchangerOnPathOrLoop(const CNode* exchanger) const {
    if (m_loops.empty() && m_paths.empty()) return 1;
    return m_onPathOrLoop.count(exchanger) ? 1 : 0;
}

std::vector<CNode*> NetworkStructureAnalysis::CollectStreamNodes(const IHeatIntegrationStream* stream) const {
    std::vector<CNode*> out;
    if (!stream) return out;
    for (CNode* tee : m_splitters) {
        CPString parent;
        if (chain::StreamOf(chain::Before(tee)) == stream ||
            (tee->getVariableAsString(NodeValue::ParentStream, parent) && parent == stream->GetName()))
            out.push_back(tee);
    }
    return out;
}

// ---------------------------------------------------------------- case file

// Version 2: int32 count of analysis stream entries; per entry the int32 length of the stream's
// name with its terminating zero, the name's bytes with the zero, the flag as one byte; then the
// loop analysis flag as one byte. Version 1 has no loop analysis flag.
bool NetworkStructureAnalysis::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    bool ok = file.BeginRecord(record, RecordVersion) && file.WriteInt(static_cast<std::int32_t>(m_entries.size()));
    for (const Entry& e : m_entries) {
        const std::string name = e.stream->GetName().c_str();
        ok = ok && named_flag_entry::Write(file, name, e.takesPart);
    }
    return ok && file.WriteChar(m_loopAnalysis ? 1 : 0) && file.EndRecord(record);
}

bool NetworkStructureAnalysis::ReadFlags(ILurmetBinaryFile& file, AnalysisStreamFlags& out) {
    RecordHandle record;
    if (!file.BeginRecord(record)) return false;
    const int version = file.GetRecordVersion(record);
    std::int32_t count = 0;
    if ((version != 1 && version != 2) || !file.ReadItemCount(count)) return false;
    AnalysisStreamFlags stored;
    for (std::int32_t i = 0; i < count; ++i) {
        std::string name;
        bool flag = false;
        if (!named_flag_entry::Read(file, name, flag)) return false;
        stored.flags.emplace_back(std::move(name), flag);
    }
    char loops = 1;
    if (version >= 2 && !file.ReadChar(loops)) return false;
    if (!file.EndRecord(record)) return false;
    stored.loopAnalysis = loops != 0;
    out = std::move(stored);
    return true;
}

bool NetworkStructureAnalysis::Recall(ILurmetBinaryFile& file) {
    AnalysisStreamFlags stored;
    if (!ReadFlags(file, stored)) return false;
    std::unordered_map<std::string, IHeatIntegrationStream*> byName;
    for (int i = 0; m_design && i < m_design->GetNumberOfStreams(); ++i)
        if (IHeatIntegrationStream* s = m_design->GetStream(i)) byName[s->GetName().c_str()] = s;
    m_entries.clear();
    for (const auto& [name, flag] : stored.flags) {
        const auto it = byName.find(name);
        if (it != byName.end() && !isProcess(it->second)) m_entries.push_back({it->second, flag});
    }
    m_loopAnalysis = stored.loopAnalysis;
    return true;
}

AnalysisStreamFlags NetworkStructureAnalysis::CaptureFlags() const {
    AnalysisStreamFlags out;
    for (const Entry& e : m_entries) out.flags.emplace_back(e.stream->GetName().c_str(), e.takesPart);
    out.loopAnalysis = m_loopAnalysis;
    return out;
}

void NetworkStructureAnalysis::ApplyFlags(const AnalysisStreamFlags& stored) {
    std::unordered_map<std::string, bool> byName(stored.flags.begin(), stored.flags.end());
    m_entries.clear();
    for (int i = 0; m_design && i < m_design->GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* s = m_design->GetStream(i);
        if (!s || isProcess(s)) continue;
        const auto it = byName.find(s->GetName().c_str());
        m_entries.push_back({s, it != byName.end() && it->second});
    }
    m_loopAnalysis = stored.loopAnalysis;
}
