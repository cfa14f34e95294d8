#pragma once
// The list of a scenario's stream links, a child of the scenario viewer. It tells its receivers
// (the scenario viewer) with change code 116 when a link is to be deleted.
#include "brasko/NotificationSender.h"
#include "lumeth/Viewable.h"

class IHeatIntegrationScenario;
class StreamLynx;

class LinkTableCollection : public Viewable, public NotificationSender {
public:
    static constexpr const char* TypeName = "LinkTableCollectionObject";
    // Change code of a link that is to be deleted (data: the link).
    static constexpr int DeleteLink = 116;

    LinkTableCollection(Viewable* parent, const ObjectTypeInfo* type, IHeatIntegrationScenario* scenario,
                        Viewable* owner);
    IHeatIntegrationScenario* GetScenario() const { return m_pScenario; }
    Viewable* GetOwner() const { return m_pOwner; }
    // Opens the editor of a link.
    void OpenLinkView(StreamLynx* link);

private:
    IHeatIntegrationScenario* m_pScenario;
    Viewable* m_pOwner;
};
