#pragma once
// The base of the views that head a case in the engineering manager's document: a view of the
// framework's "LurmetViewObject" kind, with nothing of its own yet.
#include "lumeth/Viewable.h"

class LurmetView : public Viewable {
public:
    static constexpr const char* TypeName = "LurmetViewObject";
    LurmetView(Viewable* parent, const ObjectTypeInfo* type) : Viewable(parent, type) {}
    explicit LurmetView(ObjectInstanceInfo& info) : Viewable(info) {}
};
