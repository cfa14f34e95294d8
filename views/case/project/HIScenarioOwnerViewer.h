#pragma once
// What the project viewer and the total-site viewer share: they own a scenario viewer per
// scenario of their engine project (a total site is a project whose scenarios share the site
// utilities), follow the current one, open the clone tool on it, keep the project's notes and a
// typed new scenario name, and write the same record of scenario links. The engine project is
// the derived viewer's; it answers it through engineProject().
#include "brasko/NotificationSender.h"
#include "lumeth/HVector.h"
#include "lumeth/Viewable.h"

#include <cstdint>
#include <deque>

class CloneHIScenarioTool;
class HIDesignViewerScenario;
class IHeatIntegrationProject;
class IHeatIntegrationScenario;

class HIScenarioOwnerViewer : public Viewable, public INotificationReceiver {
public:
    HIScenarioOwnerViewer(Viewable* parent, const Text& name, const ObjectTypeInfo* type);
    explicit HIScenarioOwnerViewer(ObjectInstanceInfo& info) : Viewable(info) {}

    virtual void AddScenarioView(const Text& name) = 0;
    // The index of the first scenario viewer of the name; 0 when none has it.
    int FindScenarioView(const Text& name) const;
    HIDesignViewerScenario* GetCurrentScenario() const { return currentScenario; }
    // A scenario viewer of this owner asks to be the current one (before it asks the owner for
    // something done to the current scenario); any other viewer is ignored.
    void SelectScenarioView(HIDesignViewerScenario* view) {
        if (view && scenarioViews.Find(view) >= 0) currentScenario = view;
    }
    CloneHIScenarioTool* GetCloneTool() const { return cloneTool; }
    // Renames a scenario of the bound project by the project's one rule, whatever route the name
    // came by (the owner's rename, a name typed on the scenario's own viewer): a name the rule
    // below refuses, or one another scenario bears ("ThisScenarioNameAlreadyExists"). The
    // scenario's own name typed again renames nothing and is taken. Answers 1 when the scenario
    // bears the name now (its viewer follows through the scenario's notice), 0 refused.
    int RenameScenario(const Text& oldName, const Text& newName);
    // What no scenario may be named, on any route a name takes (added, renamed, cloned into, typed
    // on the scenario's viewer): no name, the lists' new-row marker in any letter case (the name
    // would read as the row that adds one), or a name with a blank at either end (it would read as
    // another's). Shows "ThisScenarioNameIsInvalid" with the name and answers true for such a name.
    static bool RefuseInvalidScenarioName(const Text& name);
    const HVector<HIDesignViewerScenario*>& GetScenarioViews() const { return scenarioViews; }

    void DisconnectDeadObject(Viewable* dead) override;
    // The project pointer record, the current scenario viewer, the count and links of the
    // scenario viewers, then the selected note and the new scenario name.
    bool StoreClassData(BinaryFile& file) override;
    bool CheckRecalledPointers() override;

protected:
    // The bound engine project (a total site for the site viewer); null while unbound.
    virtual IHeatIntegrationProject* engineProject() const = 0;
    // The engine type of the project (501, a total site 502).
    virtual int engineType() const = 0;
    // Renames the project and this viewer (the name typed into the project's text, offset 1).
    virtual bool renameEngineProject(const Text& name) = 0;

    // A scenario viewer per scenario of the bound project, in its order.
    void addScenarioViewsOfProject();
    // Keeps a viewer just made for a scenario when it is a scenario viewer and `setUp` binds it
    // to its scenario; deletes it otherwise. The kept viewer (or null) is the current one.
    HIDesignViewerScenario* adoptScenarioView(Viewable* made, bool (HIDesignViewerScenario::*setUp)());
    void deleteScenarioViews();
    // The type of scenario viewer made below: the grass-root one below a grass-root viewer.
    const ObjectTypeInfo* scenarioViewerType(const char* grassRootKind) const;

    // ---- commands ----
    // The words alike for both viewers (notes, deleting the current scenario, the clone tool);
    // -1 for any other word.
    int sharedWord(const Text& word);
    int addScenario(const Text& name);
    // The scenario a retrofit copy is made of, whatever the route: the current one, holding a
    // design of the name that calculates. Null, with the reason shown, when there is none: no
    // scenario chosen, no design named or none of the name ("RetNoDes", saying which), or a
    // design that does not calculate ("RetrofitBaseNotCalculated").
    IHeatIntegrationScenario* retrofitSource(const Text& designName);
    int removeCurrentScenario();
    int openCloneTool(int mode);
    void closeCloneTool();

    // ---- children ----
    // The viewer a 200 link names: a scenario viewer (by index, or by child name when it has
    // one) or this viewer itself (a link of its own kind, index 0); null for none.
    Viewable* scenarioLink(const VarDescription& var, const ObjectTypeInfo* asked, const char* ownKind) const;
    // The object found, or the one its next link names from there.
    static Viewable* followLink(Viewable* found, const VarDescription& var);
    // Binds the clone tool through its link (298); false for any other link.
    bool attachCloneTool(const VarDescription& var, Viewable* object, int& result);

    // ---- variables ----
    double noteCount(const VarDescription&);
    // The project's texts by offset (210): 1 name, 2 engineer, 4 comments, 5-7 the selected
    // note's title, text and date, 8 the date. Writing answers -1 for an offset not written.
    Text projectText(const VarDescription& var);
    int writeProjectText(const VarDescription& var, const Text& text);
    Text noteColumn(const VarDescription& var);
    Text currentNoteTitle(const VarDescription&);
    int chooseNote(const VarDescription&, const Text& title);
    Text newName(const VarDescription&) { return newScenarioName; }
    int setNewName(const VarDescription&, const Text& t) { return newScenarioName = t, 1; }
    Text comments(const VarDescription&);
    int setComments(const VarDescription&, const Text& t);

    // The rest of the record once the project pointer is read and bound.
    bool recallScenarioLinks(BinaryFile& file, int version);

    HIDesignViewerScenario* currentScenario = nullptr;
    CloneHIScenarioTool* cloneTool = nullptr;
    HVector<HIDesignViewerScenario*> scenarioViews{10};
    std::int32_t currentNote = -1;
    Text newScenarioName;
    std::int32_t extractedData = 0;

private:
    // Links read from a record, adopted once the whole case is read.
    std::deque<Viewable*> recalledViews;
    Viewable* recalledCurrent = nullptr;
};
