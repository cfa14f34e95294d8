// Changes of a network locked for operation (a stream's value typed, the lock itself) that the
// plant may refuse: the change is tried, and where the plant cannot run at the operating point it
// leaves, the scenario gives back the streams, its targets and its designs exactly as they were,
// so that a refused change leaves nothing the case holds changed.
#include "eng/model/Scenario.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/StreamValueNames.h"

#include <memory>
#include <unordered_set>
#include <vector>

const char* CPIScenario::TryOperatingChange(const std::vector<IHeatIntegrationStream*>& streams,
                                            const std::function<const char*(CPString& reason)>& change,
                                            CPString& reason) {
    // Every design is kept, not only the one changed: the change and its giving back would make
    // another calculate twice, and land it within its solver's precision of where it was.
    std::vector<IHENDesign*> designs;
    if (m_pDesigns)
        for (IHENDesign* design : *m_pDesigns)
            if (design) designs.push_back(design);
    // Every stream is kept too: the targets taken again write the utilities' flows as placed,
    // which the designs had written over since with the flows their units carry.
    std::vector<std::pair<CPIHeatIntegrationStream*, std::unique_ptr<CPIHeatIntegrationStream>>> before;
    std::unordered_set<const CPIHeatIntegrationStream*> taken;
    const auto keep = [&before, &taken](CPIHeatIntegrationStream* own) {
        if (!taken.insert(own).second) return;
        auto copy = std::make_unique<CPIHeatIntegrationStream>(nullptr, own->GetName());
        copy->TakeValuesExactly(*own);
        before.emplace_back(own, std::move(copy));
    };
    std::vector<CPIHeatIntegrationStream*> changed;
    for (IHeatIntegrationStream* stream : streams)
        if (auto* own = dynamic_cast<CPIHeatIntegrationStream*>(stream)) {
            changed.push_back(own);
            keep(own);
        }
    if (m_pStreams)
        for (CPIHeatIntegrationStream* own : *m_pStreams)
            if (own) keep(own);
    // The stream last changed names the change the scenario's figures were last worked out for;
    // the case keeps it.
    IHeatIntegrationStream* const lastChanged = m_pLastChangeSource;
    std::vector<std::unique_ptr<IHENDesign::KeptOperatingPoint>> kept;
    kept.reserve(designs.size());
    for (IHENDesign* design : designs) kept.push_back(design->KeepOperatingPoint());
    reason = CPString();
    const char* key = change(reason);
    if (reason.empty()) return key;
    // The streams' values go back, and the scenario takes their segments and targets from them
    // again, once, while the designs, stopped, let them pass; then each design takes back what it
    // held.
    for (IHENDesign* design : designs) design->Deactivate();
    SuspendCalculations();
    for (auto& [own, copy] : before) own->TakeValuesExactly(*copy);
    for (CPIHeatIntegrationStream* own : changed)
        NotifyChange(37, CPString(StreamValueNames::Temperature), static_cast<IHeatIntegrationStream*>(own));
    ResumeCalculations(true);
    for (auto& [own, copy] : before) own->TakeValuesExactly(*copy);
    m_pLastChangeSource = lastChanged;
    for (std::size_t i = 0; i < designs.size(); ++i)
        if (kept[i]) designs[i]->GiveBackOperatingPoint(*kept[i]);
    return key;
}

const char* CPIScenario::TryStreamEditOnLockedDesigns(IHeatIntegrationStream& stream,
                                                     const std::function<const char*()>& edit, CPString& reason) {
    std::vector<IHENDesign*> locked;
    if (m_pDesigns)
        for (IHENDesign* design : *m_pDesigns)
            // A locked point already refused is none this edit spoils.
            if (design && design->GetOperationLocked() && !design->GetOperatingPointRefusal()) locked.push_back(design);
    if (locked.empty()) return edit();
    return TryOperatingChange({&stream}, [&](CPString& why) -> const char* {
        // A value the edit refuses itself it puts back itself, as it does on any network.
        if (const char* key = edit()) return key;
        for (IHENDesign* design : locked)
            if (const char* refusal = design->GetOperatingPointRefusal()) {
                why = refusal;
                return "OpDesInfes";
            }
        return nullptr;
    }, reason);
}
