// Tees and the mixers that join their branches again: candidates by composition, pairs folded
// into one chain with branches, the direction of a chain, and the choice of the chains that
// become hot or cold process streams.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "eng/extraction/CaseItemAccess.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {
const char* const kTouchClasses[] = {"htCooler",      "htHeater",      "htHeatExchanger",          "htLNGExchanger",
                                     "htAirCooler",   "htFiredHeater", "picHeatTransferEquipment", "UnknownClass"};

// Chains by their first and by their last stream, kept up to date as chains are merged.
struct ChainEnds {
    std::unordered_map<const CPItem*, StreamChain*> first, last;
    explicit ChainEnds(const VelmorToTarsilImport::ChainList& chains) {
        for (const auto& c : chains) Add(c.get());
    }
    void Add(StreamChain* c) {
        if (c->First()) first.emplace(c->First(), c);
        if (c->Last()) last.emplace(c->Last(), c);
    }
    void Remove(const StreamChain* c) {
        auto f = first.find(c->First());
        if (f != first.end() && f->second == c) first.erase(f);
        auto l = last.find(c->Last());
        if (l != last.end() && l->second == c) last.erase(l);
    }
    StreamChain* StartingWith(const CPItem* s) const {
        auto it = first.find(s);
        return it == first.end() ? nullptr : it->second;
    }
    StreamChain* EndingWith(const CPItem* s) const {
        auto it = last.find(s);
        return it == last.end() ? nullptr : it->second;
    }
};

// Whether heat changes hands between a tee's outlet and its mixer: a heat-transfer unit on the
// way. A branch with no chain among those being paired, and heat of its own, carries that heat in
// a stream apart (its chain cut where it passes a valve or pump, or taken by the other side): the
// stream folded over the pair would carry it again. The walk goes on through the tees and mixers
// of the branch itself (a tee nested in it whose branches are streams of their own, in whichever
// order it lists them) and stops only at the pair's own mixer.
bool branchTransfersHeat(CPItem* outlet, const CPItem* mixer) {
    std::vector<CPItem*> open{outlet};
    std::unordered_set<const CPItem*> seen{outlet};
    while (!open.empty()) {
        CPItem* item = open.back();
        open.pop_back();
        if (IsOneOf(item, kTouchClasses)) return true;
        if (item == mixer) continue;
        for (CPItem* d : item->RelatedNodes(CPItem::Downstream))
            if (seen.insert(d).second) open.push_back(d);
    }
    return false;
}

void markBranch(StreamChain& chain) {
    if (!chain.First()) return;
    const CPString name = chain.First()->_get_szName();
    for (CPItem* s : chain.streams)
        if (!s->GetVariable("BranchName")) s->AddVariable("BranchName")->Set(name);
}

void removeChains(VelmorToTarsilImport::ChainList& chains, const std::unordered_set<const StreamChain*>& gone) {
    chains.erase(std::remove_if(chains.begin(), chains.end(),
                                [&](const std::unique_ptr<StreamChain>& c) { return gone.count(c.get()) != 0; }),
                 chains.end());
}
}  // namespace

void VelmorToTarsilImport::MergeTeeMixerPairs(std::vector<CPItem*>& tees, std::vector<CPItem*>& mixers,
                                              ChainList& chains) {
    if (tees.empty() || mixers.empty()) return;
    std::unordered_set<const CPItem*> paired;
    std::unordered_set<const StreamChain*> gone;
    ChainEnds ends(chains);
    // Each tee tries the mixers in order until one pairs: tees x mixers tests of a few
    // neighbours each, where a plant has a handful of tees and mixers per composition.
    for (CPItem* tee : tees) {
        for (std::size_t mi = 0; mi < mixers.size(); ++mi) {
            CPItem* mixer = mixers[mi];
            const std::vector<CPItem*> outlets = tee->RelatedNodes(CPItem::Downstream);
            if (outlets.size() != mixer->RelatedNodes(CPItem::Upstream).size()) continue;
            const CPValue* teeCrc = tee->GetVariable("CompositionCRC");
            const CPValue* mixerCrc = mixer->GetVariable("CompositionCRC");
            const bool sameComposition = teeCrc && mixerCrc && teeCrc->GetAsShort() == mixerCrc->GetAsShort();
            std::vector<StreamChain*> branches;
            bool ok = true;
            for (CPItem* o : outlets) {
                StreamChain* branch = ends.StartingWith(o);
                if (!branch && branchTransfersHeat(o, mixer)) {
                    ok = false;
                    break;
                }
                if (!branch) continue;
                if (!FirstNeighbour(branch->First(), CPItem::Upstream) ||
                    !branch->Last()->IsRelatedTo(mixer, CPItem::Downstream) || !sameComposition) {
                    ok = false;
                    break;
                }
                branches.push_back(branch);
            }
            if (!ok || branches.empty()) continue;

            CPItem* inletStream = FirstNeighbour(tee, CPItem::Upstream);
            CPItem* outletStream = FirstNeighbour(mixer, CPItem::Downstream);
            StreamChain* inlet = inletStream ? ends.EndingWith(inletStream) : nullptr;
            if (!inlet && inletStream) {
                // The copy sits between the stream and the tee and starts the merged chain.
                if (CPItem* copy = DuplicateCaseItem(inletStream, 0)) {
                    chains.push_back(std::make_unique<StreamChain>());
                    inlet = chains.back().get();
                    inlet->AddItem(copy);
                    ends.Add(inlet);
                }
            }
            if (!inlet) continue;
            StreamChain* outlet = outletStream ? ends.StartingWith(outletStream) : nullptr;
            if (!outlet && outletStream) {
                if (CPItem* copy = DuplicateCaseItem(outletStream, 1)) {
                    chains.push_back(std::make_unique<StreamChain>());
                    outlet = chains.back().get();
                    outlet->AddItem(copy);
                    ends.Add(outlet);
                }
            }
            markBranch(*inlet);
            if (outlet) markBranch(*outlet);
            for (StreamChain* b : branches) markBranch(*b);

            ends.Remove(inlet);
            for (StreamChain* b : branches) {
                if (b == inlet) continue;
                inlet->Append(*b);
                gone.insert(b);
            }
            mixers.erase(mixers.begin() + static_cast<std::ptrdiff_t>(mi));
            paired.insert(tee);
            if (outlet && outlet != inlet && !gone.count(outlet)) {
                inlet->Append(*outlet);
                gone.insert(outlet);
            }
            inlet->AddItem(tee);
            inlet->AddItem(mixer);
            for (StreamChain* b : branches) ends.Remove(b);
            if (outlet) ends.Remove(outlet);
            ends.Add(inlet);
            break;
        }
    }
    removeChains(chains, gone);
    tees.erase(std::remove_if(tees.begin(), tees.end(), [&](CPItem* t) { return paired.count(t) != 0; }), tees.end());
}

void VelmorToTarsilImport::PairSplittersAndMixers(ChainList& chains) {
    std::vector<CPItem*> tees, mixers;
    std::unordered_set<const CPItem*> tested;
    auto test = [&](CPItem* unit, bool isMixer) {
        if (!unit || !tested.insert(unit).second) return;
        CPItem* reference = FirstNeighbour(unit, isMixer ? CPItem::Downstream : CPItem::Upstream);
        const std::int16_t crc = CompositionSignature(reference);
        for (CPItem* s : unit->RelatedNodes(isMixer ? CPItem::Upstream : CPItem::Downstream))
            if (CompositionSignature(s) != crc) return;
        (isMixer ? mixers : tees).push_back(unit);
        unit->AddVariable("CompositionCRC")->Set(crc, 0);
    };
    for (int pass = 0; pass < 4; ++pass) {
        const bool atEnd = pass < 2;
        const char* cls = pass % 2 == 0 ? CaseClass::Mixer : CaseClass::Tee;
        for (const auto& c : chains) {
            CPItem* unit = atEnd ? FirstNeighbour(c->Last(), CPItem::Downstream)
                                 : FirstNeighbour(c->First(), CPItem::Upstream);
            if (IsClass(unit, cls)) test(unit, cls == CaseClass::Mixer);
        }
    }
    std::size_t n = 0;
    do {
        n = chains.size();
        MergeTeeMixerPairs(tees, mixers, chains);
    } while (chains.size() < n);
}

int VelmorToTarsilImport::ChainDirection(const StreamChain& chain) {
    if (!chain.tees.empty() || chain.Length() < 2) return 2;
    const auto order = [](double first, double last) { return first > last ? 0 : first < last ? 1 : 2; };
    // A chain whose end has no temperature, given or from the tables, would make a stream of no
    // supply or target: only molar enthalpies given at both ends decide for it.
    double first = 0.0, last = 0.0;
    if (!StreamTemperature(chain.First(), first) || !StreamTemperature(chain.Last(), last)) {
        if (!KnownNumber(chain.First(), "MolarEnthalpy", first) || !KnownNumber(chain.Last(), "MolarEnthalpy", last))
            return 2;
        return order(first, last);
    }
    // The molar enthalpy decides; where the case leaves it unknown at an end, the heat flow, then
    // the temperature (from the units' tables where the stream leaves it unknown). An unknown
    // value is passed over for the next known one inward, never read as 0: a blank at a branch
    // outlet must not turn a cooled branch into one of no direction.
    const auto ends = [&chain](const char* property, double& first, double& last) {
        const auto known = [property](CPItem* s, double& v) {
            return property ? KnownNumber(s, property, v) : StreamTemperature(s, v);
        };
        const std::size_t n = chain.streams.size();
        std::size_t i = 0, j = n;
        while (i < n && !known(chain.streams[i], first)) ++i;
        while (j > i + 1 && !known(chain.streams[j - 1], last)) --j;
        return j > i + 1;
    };
    for (const char* property : {"MolarEnthalpy", "HeatFlow", static_cast<const char*>(nullptr)})
        if (ends(property, first, last)) return order(first, last);
    return 2;
}

bool VelmorToTarsilImport::TouchesHeatTransfer(const StreamChain& chain) {
    for (CPItem* s : chain.streams)
        if (IsOneOf(FirstNeighbour(s, CPItem::Downstream), kTouchClasses) ||
            IsOneOf(FirstNeighbour(s, CPItem::Upstream), kTouchClasses))
            return true;
    return false;
}

std::vector<StreamChain*> VelmorToTarsilImport::SelectProcessChains(int direction, const ChainList& chains) const {
    std::vector<StreamChain*> selected;
    for (const auto& c : chains)
        if (c->Length() >= 2 && c->LeadsToHeatTransfer() && ChainDirection(*c) == direction) selected.push_back(c.get());

    const ChainEnds ends(chains);
    // The first neighbouring chain of determined direction decides for the piece.
    auto decides = [&](const StreamChain* piece, CPItem* unit, bool viaInlets) -> bool {
        const std::vector<CPItem*> streams = unit->RelatedNodes(viaInlets ? CPItem::Upstream : CPItem::Downstream);
        for (CPItem* s : streams) {
            StreamChain* other = viaInlets ? ends.EndingWith(s) : ends.StartingWith(s);
            if (!other) continue;
            const int d = ChainDirection(*other);
            if (d == 2) continue;
            return other == piece || (d == direction && other->LeadsToHeatTransfer());
        }
        return false;
    };
    for (const auto& c : chains) {
        const bool piece = c->Length() == 1 || (c->Length() >= 2 && !c->LeadsToHeatTransfer());
        if (!piece || !c->First()) continue;
        bool take = false;
        CPItem* from = FirstNeighbour(c->First(), CPItem::Upstream);
        if (IsClass(from, CaseClass::Mixer)) take = decides(c.get(), from, true);
        else if (IsClass(from, CaseClass::Tee)) take = decides(c.get(), from, false);
        if (!take) {
            CPItem* into = FirstNeighbour(c->Last(), CPItem::Downstream);
            if (IsClass(into, CaseClass::Mixer)) take = decides(c.get(), into, true);
            else if (IsClass(into, CaseClass::Tee)) take = decides(c.get(), into, false);
        }
        if (take) selected.push_back(c.get());
    }
    return selected;
}
