#include "brasko/DefaultUtilManagerView.h"

DefaultUtilManagerView::DefaultUtilManagerView(Viewable* parent) : DefaultUtilManagerView(parent, TypeName) {}

DefaultUtilManagerView::DefaultUtilManagerView(Viewable* parent, const Text& typeName) : Viewable(parent, typeName) {
    SetName(typeName == HTCDatabaseView::TypeName ? "HTCDatabaseView" : "DefaultUtilManagerView");
}

HTCDatabaseView::HTCDatabaseView(Viewable* parent) : DefaultUtilManagerView(parent, TypeName) {}
