#pragma once
// A name in a utility list of the scenario viewer: one per utility stream of the scenario and
// one per default utility of its manager (the drop-down list). The viewer builds them again
// whenever it is bound; they hold nothing but their name.
#include "lumeth/Viewable.h"

class UtilityNameView : public Viewable {
public:
    static constexpr const char* TypeName = "UtilityNameViewObject";

    UtilityNameView(Viewable* parent, const Text& name) : Viewable(parent, TypeName) { SetName(name); }
};
