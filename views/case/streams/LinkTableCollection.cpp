#include "views/case/streams/LinkTableCollection.h"

LinkTableCollection::LinkTableCollection(Viewable* parent, const ObjectTypeInfo* type,
                                         IHeatIntegrationScenario* scenario, Viewable* owner)
    : Viewable(parent, type), m_pScenario(scenario), m_pOwner(owner) {
    SetName("LinkTableCollection");
}

void LinkTableCollection::OpenLinkView(StreamLynx*) { View(); }
