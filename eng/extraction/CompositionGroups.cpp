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
// none (no list, or an empty one) is of unknown composition, as one whose entries are all unknown;
// a list shorter than the case's longest leaves its missing components unknown.
struct Fractions {
    std::vector<double> x;
    std::vector<bool> known;
    bool Partial() const { return x.empty() || std::find(known.begin(), known.end(), false) != known.end(); }
};

Fractions ReadFractions(const CPValue* list, std::size_t components) {
    Fractions f;
    if (!list || list->GetNumberOfSubValues() == 0) return f;
    for (std::size_t i = 0; i < list->GetNumberOfSubValues(); ++i) {
        const CPValue* entry = list->GetSubValue(i);
        const bool known = entry && entry->IsKnown() && !entry->IsEmpty();
        f.x.push_back(known ? entry->GetAsDouble() : 0.0);
        f.known.push_back(known);
    }
    f.x.resize(std::max(f.x.size(), components), 0.0);
    f.known.resize(f.x.size(), false);
    return f;
}

// Whether a composition with unknown entries may be the other's: nothing known of either, or the
// entries both know alike within the tolerance of the grouping.
bool AgreesWhereKnown(const Fractions& partial, const Fractions& other, double tolerance) {
    for (std::size_t i = 0; i < std::min(partial.x.size(), other.x.size()); ++i)
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

// Whether the streams around a mixer that carry a composition signature all carry one.
bool MixerOfOneMaterial(CPItem* mixer) {
    const CPValue* first = nullptr;
    for (int kind : {CPItem::Upstream, CPItem::Downstream})
        for (CPItem* s : mixer->RelatedNodes(kind)) {
            const CPValue* crc = IsClass(s, CaseClass::MaterialStream) ? s->GetVariable("CompositionCRC") : nullptr;
            if (!crc) continue;
            if (first && first->GetAsShort() != crc->GetAsShort()) return false;
            first = crc;
        }
    return true;
}

enum class Mixers { Never, OfOneMaterial, Always };

// The material streams one unit away that carry the same material: across a unit on the path (a
// heater, cooler, pump, valve, an exchanger along the side its texts name), a tee, and as `mixers`
// says a mixer, upstream and downstream. A mixer's outlet is the mix of its inlets: it is the
// material of one only where the streams around it known so far are all one. An exchanger's other
// side, or an LNG exchanger's many, is another material.
std::vector<CPItem*> SameMaterialNeighbours(CPItem* stream, Mixers mixers = Mixers::Always) {
    std::vector<CPItem*> out;
    for (int kind : {CPItem::Upstream, CPItem::Downstream})
        for (CPItem* unit : stream->RelatedNodes(kind)) {
            const bool mixer = IsClass(unit, CaseClass::Mixer);
            if (mixer && (mixers == Mixers::Never || (mixers == Mixers::OfOneMaterial && !MixerOfOneMaterial(unit)))) continue;
            if ((!IsNetworkPathUnit(unit) && !IsClass(unit, CaseClass::Tee) && !mixer) || IsClass(unit, "htLNGExchanger")) continue;
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
    // A component of none is no component: a list that ends in zeros is the same composition.
    while (!rounded.empty() && rounded.back() == 0.0) rounded.pop_back();
    return crc16(rounded.data(), rounded.size() * sizeof(double));
}

void VelmorToTarsilImport::AssignCompositionSignatures(const std::vector<CPItem*>& materialStreams) {
    // An unknown mole fraction is passed over, never read as 0: a stream whose composition is
    // known only in part takes the signature of a stream one unit away on its path whose known
    // entries it shares, so that it joins its neighbours' group rather than make one of its own.
    // Each stream is settled once, from a queue of settled streams: linear in the streams.
    std::size_t components = 0;
    for (CPItem* s : materialStreams)
        if (const CPValue* list = m_caseInterface->ITGetVal(s, "CompMolarFraction"))
            components = std::max(components, list->GetNumberOfSubValues());
    const auto fractionsOf = [&](CPItem* s) { return ReadFractions(m_caseInterface->ITGetVal(s, "CompMolarFraction"), components); };
    std::unordered_map<const CPItem*, Fractions> partial;
    std::vector<CPItem*> settled;
    for (CPItem* s : materialStreams) {
        if (m_caseInterface->ITGetVal(s, "CompositionCRC")) {
            settled.push_back(s);
            continue;
        }
        Fractions f = fractionsOf(s);
        if (f.Partial()) {
            partial.emplace(s, std::move(f));
            continue;
        }
        const std::uint16_t signature = CompositionSignatureOf(f.x, m_compositionTolerance);
        s->AddVariable("CompositionCRC")->Set(static_cast<std::int16_t>(signature), 0);
        settled.push_back(s);
    }
    // First along the paths and across tees, which keep the material, then across mixers: which
    // inlet a mixer's outlet took its composition from must not follow the case's order.
    for (Mixers mixers : {Mixers::Never, Mixers::OfOneMaterial})
        for (std::size_t next = 0; next < settled.size() && !partial.empty(); ++next) {
            CPItem* from = settled[next];
            const Fractions known = fractionsOf(from);
            for (CPItem* n : SameMaterialNeighbours(from, mixers)) {
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
            const Fractions own = fractionsOf(material[k]);
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
