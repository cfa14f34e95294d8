// Composition groups: each material stream's signature of its mole fractions, rounded to the
// composition tolerance. Streams of one signature are one material: chains are joined, and tees
// paired with mixers, only within a group. A mole fraction the case leaves unknown is passed over.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "dunmor/Crc16.h"
#include "eng/extraction/CaseItemAccess.h"
#include "quenta/RalvexInterface.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// A stream's mole fractions as the case gives them, each entry known or not. A stream that gives
// none (no list, or an empty one) is of unknown composition, as one whose entries are all unknown.
struct Fractions {
    std::vector<double> x;
    std::vector<bool> known;
    bool Partial() const { return x.empty() || std::find(known.begin(), known.end(), false) != known.end(); }
};

Fractions ReadFractions(const CPValue* list) {
    Fractions f;
    if (!list) return f;
    for (std::size_t i = 0; i < list->GetNumberOfSubValues(); ++i) {
        const CPValue* entry = list->GetSubValue(i);
        const bool known = entry && entry->IsKnown() && !entry->IsEmpty();
        f.x.push_back(known ? entry->GetAsDouble() : 0.0);
        f.known.push_back(known);
    }
    return f;
}

// Whether a composition with unknown entries may be the other's: nothing known of either, or the
// same number of components with every entry both know alike within the tolerance of the grouping.
bool AgreesWhereKnown(const Fractions& partial, const Fractions& other, double tolerance) {
    if (partial.x.empty() || other.x.empty()) return true;
    if (partial.x.size() != other.x.size()) return false;
    for (std::size_t i = 0; i < partial.x.size(); ++i)
        if (partial.known[i] && other.known[i] &&
            VelmorToTarsilImport::RoundMoleFraction(partial.x[i], tolerance) !=
                VelmorToTarsilImport::RoundMoleFraction(other.x[i], tolerance))
            return false;
    return true;
}

// Whether an exchanger's side texts make `a` and `b` the feed and product of one side.
bool OneSide(const CPItem* exchanger, const CPItem* a, const CPItem* b) {
    for (const auto& [feedKey, productKey] : {std::pair{"TubeSideFeed", "TubeSideProduct"}, std::pair{"ShellSideFeed", "ShellSideProduct"}}) {
        CPString feed, product;
        if (!TextValue(exchanger, feedKey, feed) || !TextValue(exchanger, productKey, product)) continue;
        if ((feed == a->_get_szName() && product == b->_get_szName()) || (feed == b->_get_szName() && product == a->_get_szName()))
            return true;
    }
    return false;
}

// The material streams one unit away that carry the same material: across a unit on the path (a
// heater, cooler, pump, valve, an exchanger along the side its texts name), a tee or a mixer,
// upstream and downstream. An exchanger's other side, or an LNG exchanger's many, is another
// material.
std::vector<CPItem*> SameMaterialNeighbours(CPItem* stream) {
    static const char* const kSplit[] = {CaseClass::Tee, CaseClass::Mixer};
    std::vector<CPItem*> out;
    for (int kind : {CPItem::Upstream, CPItem::Downstream})
        for (CPItem* unit : stream->RelatedNodes(kind)) {
            if ((!IsNetworkPathUnit(unit) && !IsOneOf(unit, kSplit)) || IsClass(unit, "htLNGExchanger")) continue;
            const bool exchanger = IsClass(unit, "htHeatExchanger");
            for (CPItem* s : unit->RelatedNodes(kind))
                if (s != stream && IsClass(s, CaseClass::MaterialStream) && (!exchanger || OneSide(unit, stream, s)))
                    out.push_back(s);
        }
    return out;
}

}  // namespace

double VelmorToTarsilImport::RoundMoleFraction(double x, double tolerance) {
    if (!(x > 0.0) || !(tolerance > 0.0)) return 0.0;
    return std::floor(std::sqrt(x) / tolerance + 0.5) * tolerance;
}

std::uint16_t VelmorToTarsilImport::CompositionSignatureOf(const std::vector<double>& fractions, double tolerance) {
    std::vector<double> rounded;
    rounded.reserve(fractions.size());
    for (double x : fractions) rounded.push_back(RoundMoleFraction(x, tolerance));
    return crc16(rounded.data(), rounded.size() * sizeof(double));
}

void VelmorToTarsilImport::AssignCompositionSignatures(const std::vector<CPItem*>& materialStreams) {
    // An unknown mole fraction is passed over, never read as 0: a stream whose composition is
    // known only in part takes the signature of a stream one unit away on its path whose known
    // entries it shares, so that it joins its neighbours' group rather than make one of its own.
    // Each stream is settled once, from a queue of settled streams: linear in the streams.
    std::unordered_map<const CPItem*, Fractions> partial;
    std::vector<CPItem*> settled;
    for (CPItem* s : materialStreams) {
        if (m_caseInterface->ITGetVal(s, "CompositionCRC")) {
            settled.push_back(s);
            continue;
        }
        Fractions f = ReadFractions(m_caseInterface->ITGetVal(s, "CompMolarFraction"));
        if (f.Partial()) {
            partial.emplace(s, std::move(f));
            continue;
        }
        const std::uint16_t signature = CompositionSignatureOf(f.x, m_compositionTolerance);
        s->AddVariable("CompositionCRC")->Set(static_cast<std::int16_t>(signature), 0);
        settled.push_back(s);
    }
    for (std::size_t next = 0; next < settled.size() && !partial.empty(); ++next) {
        CPItem* from = settled[next];
        const Fractions known = ReadFractions(m_caseInterface->ITGetVal(from, "CompMolarFraction"));
        for (CPItem* n : SameMaterialNeighbours(from)) {
            auto it = partial.find(n);
            if (it == partial.end() || !AgreesWhereKnown(it->second, known, m_compositionTolerance))
                continue;
            n->AddVariable("CompositionCRC")->Set(CompositionSignature(from), 0);
            partial.erase(it);
            settled.push_back(n);
        }
    }
    // No known neighbour to take it from: streams of unknown composition joined one unit apart whose
    // known entries agree are one material, under the signature of what they know together (unknown
    // entries left out), whichever of them the case lists first.
    for (CPItem* s : materialStreams) {
        auto first = partial.find(s);
        if (first == partial.end()) continue;
        std::vector<CPItem*> material{s};
        Fractions together = std::move(first->second);
        partial.erase(first);
        for (std::size_t k = 0; k < material.size() && !partial.empty(); ++k) {
            const Fractions own = ReadFractions(m_caseInterface->ITGetVal(material[k], "CompMolarFraction"));
            for (CPItem* n : SameMaterialNeighbours(material[k])) {
                auto it = partial.find(n);
                if (it == partial.end() || !AgreesWhereKnown(it->second, own, m_compositionTolerance)) continue;
                const Fractions& more = it->second;
                if (together.x.empty()) {
                    together = more;
                } else if (more.x.size() == together.x.size()) {
                    for (std::size_t i = 0; i < more.x.size(); ++i)
                        if (!together.known[i] && more.known[i]) {
                            together.x[i] = more.x[i];
                            together.known[i] = true;
                        }
                }
                material.push_back(n);
                partial.erase(it);
            }
        }
        std::vector<double> x;
        for (std::size_t i = 0; i < together.x.size(); ++i)
            if (together.known[i]) x.push_back(together.x[i]);
        const auto signature = static_cast<std::int16_t>(CompositionSignatureOf(x, m_compositionTolerance));
        for (CPItem* m : material) m->AddVariable("CompositionCRC")->Set(signature, 0);
    }
}
