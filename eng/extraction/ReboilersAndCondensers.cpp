// Column reboilers and condensers: the simulator models the flow they heat or cool inside the
// column, so each becomes a process stream of its own from the unit's feed to its product, with
// the unit's duty as its load. The chains are kept so that a refresh can read them again.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "eng/extraction/CaseItemAccess.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"

#include <cmath>

namespace {
const char* const kColumnUnits[] = {"htCondenserPartial", "htCondenserTotal", "htCondenserThreePhase", "htReboiler",
                                    "htReboilerThreePhase"};

CPItem* firstMaterialStream(const CPItem* unit, int kind) {
    for (CPItem* n : unit->RelatedNodes(kind))
        if (IsClass(n, CaseClass::MaterialStream)) return n;
    return nullptr;
}
}  // namespace

void VelmorToTarsilImport::ExtractReboilersAndCondensers() {
    if (!m_scenario) return;
    std::vector<CPItem*> units;
    for (CPItem* item : m_extractedItems)
        if (IsOneOf(item, kColumnUnits)) units.push_back(item);

    for (CPItem* unit : units) {
        CPItem* feed = firstMaterialStream(unit, CPItem::Upstream);
        CPItem* product = firstMaterialStream(unit, CPItem::Downstream);
        // A stream that already belongs to a scenario stream is represented by a copy of its own.
        CPItem* feedCopy = feed && feed->GetVariable("PIStreamName") ? DuplicateCaseItem(feed, 1) : nullptr;
        CPItem* productCopy = product && product->GetVariable("PIStreamName") ? DuplicateCaseItem(product, 1) : nullptr;
        CPItem* from = feedCopy ? feedCopy : feed;
        CPItem* to = productCopy ? productCopy : product;
        CPString name = from ? from->_get_szName() : CPString();
        name += "_TO_";
        if (to) name += to->_get_szName();
        name = FreeStreamName(name);

        m_scenario->AddStream(name, 0);
        IHeatIntegrationStream* stream = nullptr;
        if (!m_scenario->GetStream(name, stream)) stream = nullptr;
        if (from && to && stream) {
            from->AddVariable("PIStreamName")->Set(name);
            auto chain = std::make_unique<StreamChain>();
            chain->AddItem(feed);
            chain->AddItem(to);
            double duty = 0.0;
            if (!KnownNumber(unit, "Duty", duty)) duty = 0.0;
            AddProcessStreamData(name, *chain, false, std::fabs(duty));
            auto [it, added] = m_reboilerChainIndex.emplace(name, m_reboilerChains.size());
            if (added) m_reboilerChains.emplace_back(name, std::move(chain));
            else m_reboilerChains[it->second].second = std::move(chain);
        }
        ReportNewStream(unit, name, stream);
        CheckReboilerFeeds(unit);
    }
}
