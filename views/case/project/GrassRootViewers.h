#pragma once
// The grass-root viewers the features build: they behave as their base viewers and differ in
// the viewers they make below themselves and in their forms. Their records are their bases'
// records; the registration's class version of a grass-root type counts the type, not the
// layout, so a record is read as the base's current layout.
#include "views/case/project/HIDesignViewerProject.h"
#include "views/case/project/HIDesignViewerTotalSite.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"

class HIDesignViewerGrassRootProject : public HIDesignViewerProject {
public:
    static constexpr const char* TypeName = "HIDesignViewerGrassRootProjectObject";
    using HIDesignViewerProject::HIDesignViewerProject;
    static Viewable* Create(ObjectInstanceInfo& info) { return new HIDesignViewerGrassRootProject(info); }
    bool RecallClassData(BinaryFile& file, int) override {
        return HIDesignViewerProject::RecallClassData(file, HIDesignViewerProject::ClassVersion);
    }
};

class HIDesignViewerGrassRootScenario : public HIDesignViewerScenario {
public:
    static constexpr const char* TypeName = "HIDesignViewerGrassRootScenarioObject";
    using HIDesignViewerScenario::HIDesignViewerScenario;
    static Viewable* Create(ObjectInstanceInfo& info) { return new HIDesignViewerGrassRootScenario(info); }
    const ObjectTypeInfo* GetObjectType(const ObjectTypeInfo* asked = nullptr) const override;
    bool RecallClassData(BinaryFile& file, int) override {
        return HIDesignViewerScenario::RecallClassData(file, HIDesignViewerScenario::ClassVersion);
    }
};

class HIDesignViewerGrassRootDesign : public HIDesignViewerDesign {
public:
    static constexpr const char* TypeName = "HIDesignViewerGrassRootDesignObject";
    using HIDesignViewerDesign::HIDesignViewerDesign;
    static Viewable* Create(ObjectInstanceInfo& info) {
        return new HIDesignViewerGrassRootDesign(info.parent, info.name, info.type);
    }
    bool RecallClassData(BinaryFile& file, int) override {
        return HIDesignViewerDesign::RecallClassData(file, HIDesignViewerDesign::ClassVersion);
    }
};

class HIDesignViewerGrassRootTotalSite : public HIDesignViewerTotalSite {
public:
    static constexpr const char* TypeName = "HIDesignViewerGrassRootTotalSiteObject";
    using HIDesignViewerTotalSite::HIDesignViewerTotalSite;
    static Viewable* Create(ObjectInstanceInfo& info) { return new HIDesignViewerGrassRootTotalSite(info); }
    bool RecallClassData(BinaryFile& file, int) override {
        return HIDesignViewerTotalSite::RecallClassData(file, HIDesignViewerTotalSite::ClassVersion);
    }
};
