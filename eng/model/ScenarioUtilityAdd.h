#pragma once
// Adding a utility stream to a scenario from engine code (an extraction, a reconciliation): the
// utilities of a total-site scenario are the site's streams, so there the site adds it, to every
// one of its scenarios (and refuses a name that is no site utility); any other scenario adds a
// utility of its own.
#include "dunmor/CPString.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationTotalSite.h"

inline int AddUtilityStream(IHeatIntegrationScenario& scenario, const CPString& name) {
    if (scenario.IsTotalSiteScenario()) {
        auto* site = dynamic_cast<IHeatIntegrationTotalSite*>(scenario.GetProject());
        // The site answers a name it has no utility of as a request it took (the user is asked to
        // pick one): what counts here is whether the scenario now holds the stream.
        IHeatIntegrationStream* added = nullptr;
        return site && site->AddStream(name) && scenario.GetStream(name, added) && added ? 1 : 0;
    }
    return scenario.AddStream(name, 1);
}
