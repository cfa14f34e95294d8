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
        return site ? site->AddStream(name) : 0;
    }
    return scenario.AddStream(name, 1);
}
