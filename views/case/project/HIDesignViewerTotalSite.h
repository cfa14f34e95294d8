#pragma once
// The total-site viewer: the view of one total site (engine type 502), a site-wide project whose
// process scenarios share the site utility streams and one site utility manager. Like the
// project viewer it owns a scenario viewer per scenario, adds, renames and deletes scenarios,
// keeps the site's notes and opens the clone tool; it also adds, renames and deletes the site
// utility streams by typing into a name table, lists the manager's default utilities and opens
// the site's utility-default editor.
//
// Record (class version 2): the site as a project pointer record, the current scenario viewer,
// the count and links of the scenario viewers, then (from 2) the selected note and the new
// scenario name. The utility-default editor is stored as a child view without a link in the
// record; the fix-up takes a recalled one back and binds it to the site's manager. Sources: HIDesignViewerTotalSite.cpp (binding, commands, children, record),
// HIDesignViewerTotalSiteVariables.cpp (the form's variables); what it shares with the project
// viewer is HIScenarioOwnerViewer's.
#include "lumeth/FormDescription.h"
#include "views/case/project/HIScenarioOwnerViewer.h"

class IHeatIntegrationStream;
class IHeatIntegrationTotalSite;
class ITotalSiteUtilityManager;
class TotalSiteUtilManagerView;
class UtilityNameView;

class HIDesignViewerTotalSite : public HIScenarioOwnerViewer {
public:
    static constexpr const char* TypeName = "HIDesignViewerTotalSiteObject";
    static constexpr int ClassVersion = 2;
    // Default-utility name views are addressed from this index on (599-600).
    static constexpr int DefaultNameBase = 10000;

    HIDesignViewerTotalSite(Viewable* parent, const Text& name, const ObjectTypeInfo* type);
    explicit HIDesignViewerTotalSite(ObjectInstanceInfo& info) : HIScenarioOwnerViewer(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new HIDesignViewerTotalSite(info); }
    ~HIDesignViewerTotalSite() override;

    // Binds to the site; unless recalled, adds a scenario viewer per scenario of the site.
    void SetEngineeringTotalSite(IHeatIntegrationTotalSite* site, bool recalled);
    void AddScenarioView(const Text& name) override;
    // Adds (row == number of site streams), renames or deletes (empty name) a site stream; the
    // name view of that name afterwards, or null. A name the defaults hold in other letters is
    // taken in the defaults' own spelling.
    UtilityNameView* EditUtilityStream(const Text& name, int row);
    // True when the site bears the name afterwards (its own name typed again included); false,
    // changing nothing, for an empty name or another project's (that one with a message).
    bool RenameTotalSite(const Text& name);
    void SetSelectedObject(Viewable* view);
    Viewable* GetCaseView() const;

    IHeatIntegrationTotalSite* GetTotalSite() const { return myTotalSite; }
    TotalSiteUtilManagerView* GetUtilManagerView() const { return utilManagerView; }
    const HVector<UtilityNameView*>& GetSiteStreamNameViews() const { return siteStreamNameViews; }
    const HVector<UtilityNameView*>& GetDefaultUtilityNameViews() const { return defaultUtilityNameViews; }
    int GetTableColumn() const { return tableColumn; }

    void NotifyChange(int code, const CPString& text, void* data) override;

    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    int GetEDVarType(const VarDescription& var) override;
    int Message(const Text& line) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    int AttachObject(const VarDescription& var, Viewable* object) override;
    Viewable* AttachNewObject(const VarDescription& var, const Text& name) override;
    int GetAttachableObjects(const VarDescription& var, std::vector<Viewable*>& out) override;
    Text AttachedName(const Viewable* child) const override;
    void DisconnectDeadObject(Viewable* dead) override;
    const ObjectTypeInfo* GetObjectType(const ObjectTypeInfo* asked = nullptr) const override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool RecallFixUp() override;

    // The variables and command words of the form.
    static void DescribeForm(FormDescription& form);

private:
    struct Form;
    IHeatIntegrationProject* engineProject() const override;
    int engineType() const override;
    bool renameEngineProject(const Text& name) override { return RenameTotalSite(name); }
    // ---- variables (HIDesignViewerTotalSiteVariables.cpp) ----
    double constant(const VarDescription& var);
    double objectStatus(const VarDescription&);
    double streamValue(const VarDescription& var);
    int specifyStream(const VarDescription& var, double value);
    double placedLoad(const VarDescription& var);
    double massFlow(const VarDescription& var);
    int specifyMassFlow(const VarDescription& var, double value);
    double column(const VarDescription&) { return tableColumn; }
    int setColumn(const VarDescription& var, double value);
    double row(const VarDescription&) { return tableRow; }
    int setRow(const VarDescription& var, double value);
    double countU(const VarDescription& var);
    Text streamName(const VarDescription& var);
    int setSiteText(const VarDescription& var, const Text& text);
    Text title(const VarDescription& var);
    // The site stream of row i into workStream; false (workStream cleared) when there is none.
    bool lookUp(int i);
    int numberOfStreams() const;

    // ---- commands and children (HIDesignViewerTotalSite.cpp) ----
    int cloneAndRetrofit(const Text& name);
    bool ensureUtilManagerView();
    void adoptRecalledEditor();
    int addUtilityToUtilityStreams();
    void rebuildDefaultUtilityNameViews();
    void rebuildSiteStreamNameViews();
    static void deleteNameViews(HVector<UtilityNameView*>& views, Viewable* owner);
    UtilityNameView* findNameView(const HVector<UtilityNameView*>& views, const Text& name) const;
    // A site stream by a name a scenario holds a stream of its own by is refused, naming the
    // scenario ("SameStreamErrorMsg"); false when no scenario holds one.
    bool refuseScenarioStreamName(const Text& name) const;
    // What an edit of the stream table did: whether the add, rename or deletion was done, and the
    // name view of the name typed afterwards.
    struct StreamEdit {
        bool done = false;
        UtilityNameView* view = nullptr;
    };
    StreamEdit editUtilityStream(const Text& name, int row);
    // The default utility's own spelling of a name it holds in any letter case; the name itself
    // otherwise.
    Text defaultSpelling(const Text& name) const;
    bool isNameViewLink(const VarDescription& var) const;

    IHeatIntegrationTotalSite* myTotalSite = nullptr;
    HVector<UtilityNameView*> siteStreamNameViews{10};
    HVector<UtilityNameView*> defaultUtilityNameViews{10};
    IHeatIntegrationStream* workStream = nullptr;
    TotalSiteUtilManagerView* utilManagerView = nullptr;
    std::int32_t tableColumn = 0;
    std::int32_t tableRow = 0;
    // The utility table row chosen for its segments; -1 until one is chosen.
    std::int32_t segmentTableRow = -1;
    ITotalSiteUtilityManager* siteManager = nullptr;
    // Set when the site names a refusal itself (its message notice): the viewer adds none.
    bool siteGaveReason = false;
};
