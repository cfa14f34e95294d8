#pragma once
// The interface of a total site: a heat-integration project whose scenarios share one set of site
// utility streams and one site utility manager. The scenario operations are the project's; the
// remaining slots reach the site streams, the manager and the notes.
#include "dunmor/CPString.h"
#include "eng/model/IHeatIntegrationProject.h"

class IHeatIntegrationStream;
class ITotalSiteUtilityManager;

class IHeatIntegrationTotalSite : public virtual IHeatIntegrationProject {
public:
    // The engine-object type and interface number of a total site.
    static constexpr int TotalSiteType = 502;

    ~IHeatIntegrationTotalSite() override = default;

    virtual int GetNumberOfStreams() const = 0;
    // Takes the manager's utility stream of that name as a site stream of every scenario. 0 when
    // a site stream has the name; 1 otherwise, also for a name the manager has no utility of,
    // which adds nothing and asks the user (code 60) to pick one of the manager's utilities.
    virtual int AddStream(const CPString& name) = 0;
    // Always 1; `out` is the manager's site face.
    virtual int GetDefaultUtilityManager(ITotalSiteUtilityManager*& out) = 0;
    virtual int GetStream(int index, IHeatIntegrationStream*& out) const = 0;
    virtual int GetStream(const CPString& name, IHeatIntegrationStream*& out) const = 0;
    virtual const CPString& GetNotes() const = 0;
    virtual void SetNotes(const CPString& notes) = 0;
    virtual int DeleteStream(const CPString& name) = 0;
    virtual int RenameStream(const CPString& oldName, const CPString& newName) = 0;
    // The name of a scenario of the site that holds a stream of its own by that name (which a
    // site stream of that name would meet); null when none does.
    virtual const char* ScenarioHoldingStream(const CPString& /*name*/) const { return nullptr; }
    virtual bool RecallFixUp() = 0;
};
