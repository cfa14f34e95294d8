#pragma once
// A total-site scenario hears the site manager as it hears its own: a capital-cost file read into
// the site's manager (from any scenario of the site) prices every scenario of the site at once.
#include "brasko/DefaultManager.h"

inline void ListenToSiteManager(DefaultManager* siteManager, INotificationReceiver* scenario) {
    if (!siteManager || !scenario) return;
    siteManager->AddNotificationReceiver(scenario);
    siteManager->AddValidMessage(scenario, DefaultManager::ChangeEconomicsRead);
}
