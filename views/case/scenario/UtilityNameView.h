#pragma once
// A name in a utility list: for the scenario viewer one per utility stream of the scenario and
// one per default utility of its manager (the drop-down list); for the total-site viewer one per
// site utility stream and one per default utility of the site manager; for the site
// utility-default editor one per site stream added while it is bound. The owners build them
// again whenever they are bound; they hold nothing but their name and are never stored.
#include "lumeth/Viewable.h"

class UtilityNameView : public Viewable {
public:
    static constexpr const char* TypeName = "UtilityNameViewObject";

    UtilityNameView(Viewable* parent, const Text& name) : Viewable(parent, TypeName) { SetName(name); }
};
