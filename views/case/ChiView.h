#pragma once
// The case views: the top view of a heat-integration case holds its project viewer (a total
// site's, its total-site viewer) and remembers which view inside the case is selected. The
// grass-root kinds are what the features build; the viewer factory makes the viewers below
// them by object type.
#include "brasko/LurmetView.h"

#include <cstdint>
#include <vector>

class CpiView;
class HIDesignViewerProject;
class HIDesignViewerTotalSite;

// A new viewer of the type under `parent`, named; null for a type the factory does not make.
Viewable* CreateViewerOfType(const Text& name, Viewable* parent, const ObjectTypeInfo* type);

// How a case view drives its top viewer: the engine object type it binds (made or found by the
// engineering manager), the binding and the rename, and the word of the viewer's link in the
// form ("HIDesignViewerProject", "HIDesignViewerTotalSite"). Defined beside each case view.
template <class Viewer>
struct ChiCaseViewer;

template <>
struct ChiCaseViewer<HIDesignViewerProject> {
    static const char* const Link;
    static const int EngineType;
    static void Bind(HIDesignViewerProject& viewer, void* engineObject, std::uint8_t extractedData);
    static bool Rename(HIDesignViewerProject& viewer, const Text& name);
};

template <>
struct ChiCaseViewer<HIDesignViewerTotalSite> {
    static const char* const Link;
    static const int EngineType;
    static void Bind(HIDesignViewerTotalSite& viewer, void* engineObject, std::uint8_t extractedData);
    static bool Rename(HIDesignViewerTotalSite& viewer, const Text& name);
};

// What a case view of a project and one of a total site share: the top viewer it owns, the
// selection inside the case (the viewer, its scenario viewers and their design viewers), the
// name typed for a rename, the form's variables and command words, and the record: the viewer
// link, the selection link and the pending name. Sources: ChiCaseView.cpp.
template <class Viewer>
class ChiCaseView : public LurmetView {
public:
    ChiCaseView(Viewable* parent, const ObjectTypeInfo* type) : LurmetView(parent, type) {}
    explicit ChiCaseView(ObjectInstanceInfo& info) : LurmetView(info) {}
    ~ChiCaseView() override;

    void ChangeSelectedObject(Viewable* view);
    Viewable* GetSelObj() const { return selected; }
    const Text& GetPendingName() const { return pendingName; }

    double Value(const VarDescription& var) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Message(const Text& line) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    int AttachObject(const VarDescription& var, Viewable* object) override;
    // The selection (299) may be any view of the case a user can pick in its tree: the top
    // viewer, its scenario viewers and their design viewers.
    int GetAttachableObjects(const VarDescription& var, std::vector<Viewable*>& out) override;
    Text AttachedName(const Viewable* child) const override;
    void DisconnectDeadObject(Viewable* dead) override;
    bool CheckData() override { return false; }
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;

    static void DescribeForm(FormDescription& form);

protected:
    // 1 when a viewer of the name is made and bound (the engineering manager makes or finds its
    // engine object), else 0, leaving nothing behind.
    int addViewer(const Text& name);
    bool renameViewer(const Text& name);
    bool isViewerLink(const VarDescription& var) const;
    bool isSelectionLink(const VarDescription& var, bool either) const;

    Viewer* viewer = nullptr;
    Viewable* selected = nullptr;
    Text pendingName;
    std::uint8_t extractedData = 0;

private:
    Viewable* recalledViewer = nullptr;
    Viewable* recalledSelection = nullptr;
};

extern template class ChiCaseView<HIDesignViewerProject>;
extern template class ChiCaseView<HIDesignViewerTotalSite>;

class ChiView : public ChiCaseView<HIDesignViewerProject> {
public:
    static constexpr const char* TypeName = "HeatIntegrationObject";
    static constexpr int ClassVersion = 1;

    ChiView(Viewable* parent, const Text& name, const ObjectTypeInfo* type);
    explicit ChiView(ObjectInstanceInfo& info) : ChiCaseView(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new ChiView(info); }

    // 1 when a project viewer of the name is made and bound (the engineering manager makes or
    // finds the project), else 0.
    int AddProject(const Text& name) { return addViewer(name); }
    bool RenameProject(const Text& name) { return renameViewer(name); }
    // Builds this case from an earlier case view: its pending text, a project viewer of its
    // project view's name, and the selection its selected view stands for.
    void SetCPIView(CpiView* view);
    HIDesignViewerProject* GetProjectViewer() const { return viewer; }
    bool GetIsExtractedData() const { return extractedData != 0; }
    void SetIsExtractedData(bool flag) { extractedData = flag ? 1 : 0; }

    const ObjectTypeInfo* GetObjectType(const ObjectTypeInfo* asked = nullptr) const override;
};

// The case view the features build: its project viewer is a grass-root one.
class ChiGrassRootView : public ChiView {
public:
    static constexpr const char* TypeName = "HeatIntegrationGrassRootObject";
    using ChiView::ChiView;
    static Viewable* Create(ObjectInstanceInfo& info) { return new ChiGrassRootView(info); }
    const ObjectTypeInfo* GetObjectType(const ObjectTypeInfo* asked = nullptr) const override;
    // "Convert" hands the owner a request to convert (code 13, value 2); "OpenCornerPage" opens
    // the form "TopLeftView"; the rest is the case view's.
    int Message(const Text& line) override;
};

// The total-site twin: the top view of a total-site study holds the total-site viewer and the
// selection inside the case. Its record is the case view's: the viewer link (recalled as a
// total-site viewer), the selection link and the pending name.
class ChiTotalSiteView : public ChiCaseView<HIDesignViewerTotalSite> {
public:
    static constexpr const char* TypeName = "HeatIntegrationTotalSiteObject";
    ChiTotalSiteView(Viewable* parent, const ObjectTypeInfo* type) : ChiCaseView(parent, type) {}
    explicit ChiTotalSiteView(ObjectInstanceInfo& info) : ChiCaseView(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new ChiTotalSiteView(info); }
    const ObjectTypeInfo* GetObjectType(const ObjectTypeInfo* asked = nullptr) const override;
    // 1 when a total-site viewer of the name is made and bound (the engineering manager makes or
    // finds the site, type 502), else 0, leaving nothing behind.
    int AddTotalSite(const Text& name) { return addViewer(name); }
    bool RenameTotalSite(const Text& name) { return renameViewer(name); }
    HIDesignViewerTotalSite* GetTotalSiteViewer() const { return viewer; }
};

class ChiGrassRootTotalSiteView : public ChiTotalSiteView {
public:
    static constexpr const char* TypeName = "HeatIntegrationGrassRootTotalSiteObject";
    using ChiTotalSiteView::ChiTotalSiteView;
    static Viewable* Create(ObjectInstanceInfo& info) { return new ChiGrassRootTotalSiteView(info); }
    const ObjectTypeInfo* GetObjectType(const ObjectTypeInfo* asked = nullptr) const override;
    // The builder of a total-site study: the case view as far as it could be built (never null).
    static Viewable* BuildChiGrassRootTotalSiteView(Viewable* parent, const Text& name);
    int Message(const Text& line) override;
};
