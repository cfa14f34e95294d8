#include "brasko/FeatureRegistry.h"
#include "eng/core/Registries.h"
#include "lumeth/Viewable.h"
#include "views/ViewRegistration.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewRegistration, TheModuleRegistersItsViewTypesFeaturesAndResourcesAtLoad) {
    const ModuleRegistries* r = ModuleRegistries::Get();
    ASSERT_NE(nullptr, r);
    ASSERT_TRUE(r->Views);
    const ObjectTypeRegistry& types = r->Views->types;
    EXPECT_EQ(&types, ObjectTypeRegistry::Current());
    int own = 0;
    for (int i = 0; i < types.Count(); ++i)
        if (types.At(i)->GetName() != "ProbeViewObject" && types.At(i)->GetName() != "ScenarioProbeObject" &&
            types.At(i)->GetName().find("TestObject") == Text::npos)  // types other tests add
            ++own;
    EXPECT_EQ(9 + 53, own);  // the framework's nine and the module's 53

    struct Case {
        const char* name;
        const char* parent;
        const char* formKey;
        int version;
        bool heatIntegration;
        bool formOnly;
    };
    const Case cases[] = {
        {"chiPlotObject", "ViewableObject", "chiPlot", 7, false, false},
        {"HITargetingObject", "HIDesignViewerScenarioObject", "chitargeting", 1, true, false},
        {"HIDesignViewerScenarioObject", "ViewableObject", "", 24, false, false},
        {"HENDStreamSplitEndObject", "HENDStreamSplitObject", "cpiview", 1, false, false},
        {"HIDesignViewerGrassRootDesignObject", "HIDesignViewerDesignObject", "chigrdesign", 1, true, false},
        {"EventItemViewObject", "ViewableObject", "eventitem", 1, false, false},
        {"ProcessIntegrationObject", "LurmetViewObject", "cpiview", 2, false, false},
        {"EventPlannerObject", "ViewableObject", "EventPlanner", 1, false, false},
    };
    for (const Case& c : cases) {
        const ObjectTypeInfo* t = types.Find(c.name);
        ASSERT_NE(nullptr, t) << c.name;
        EXPECT_EQ(c.parent, t->GetParent()->GetName()) << c.name;
        EXPECT_EQ(c.formKey, t->GetFormKey()) << c.name;
        EXPECT_EQ(c.version, t->GetClassVersion()) << c.name;
        EXPECT_EQ(c.heatIntegration, t->Supports(HeatIntegrationType)) << c.name;
        EXPECT_EQ(c.formOnly, t->IsFormOnly()) << c.name;
        EXPECT_TRUE(t->IsA("ViewableObject")) << c.name;
        // Only the view classes that are part of the module create views for recall.
        ObjectInstanceInfo info{t, "x", nullptr};
        Viewable* made = t->CreateInstanceForRecall(info);
        const std::string name = c.name;
        EXPECT_EQ(name == "chiPlotObject" || name == "ChiTableObject" || name == "ChiSuperTargetPlotObject" ||
                      name == "cpiPlotObject" || name == "ProcessIntegrationObject" || name == "HIDesignViewerScenarioObject" ||
                      name == "HIDesignViewerGrassRootScenarioObject" || name == "HIDesignViewerGrassRootDesignObject" ||
                      name == "HIDesignViewerProjectObject" || name == "HIDesignViewerGrassRootProjectObject" ||
                      name == "HeatIntegrationObject" || name == "HeatIntegrationGrassRootObject" ||
                      name == "HITargetingObject" || name == "CPIDesignViewerDesignObject" || name == "chiPopUpObject" ||
                      name == "EventPlannerObject",
                  made != nullptr)
            << c.name;
        delete made;
    }
    EXPECT_EQ(30, types.Find("HIDesignViewerGrassRootScenarioObject")->GetExtraValue());

    const FeatureInfo* hiCase = r->Views->features.Find("HI Case");
    ASSERT_NE(nullptr, hiCase);
    EXPECT_EQ("Case ", hiCase->prefix);
    EXPECT_EQ(types.Find("HITargetingObject"), hiCase->ObjectType());
    EXPECT_EQ("HIP", r->Views->features.Find("HI Project")->prefix);

    const ResourceRegistry& res = r->Views->resources;
    EXPECT_EQ(8u, res.Colours().size());
    ColourResource loop;
    ASSERT_TRUE(res.FindColour("HENDLoopPath", loop));
    EXPECT_EQ(0x8cffffu, loop.Packed());
    FontResource font;
    ASSERT_TRUE(res.FindFont("HENFont", font));
    EXPECT_EQ(7, font.number);
    EXPECT_EQ(26u, res.Icons().size());
    int cleanHx = 0;
    for (const IconResource& icon : res.Icons()) cleanHx += icon.name == "CleanHxIco" && icon.id == 2484;
    EXPECT_EQ(2, cleanHx);
}

TEST(ViewRegistration, ThePlanCoversSteps45To137AndRefusesAnOrphanType) {
    EXPECT_EQ(93, BuildViewRegistrationPlan().NumberOfSteps());
    ViewRegistrationPlan plan;
    plan.AddType({2, "ChildObject", "ParentObject", "Child", 0, 1, "", 0, 0, false, nullptr});
    plan.AddType({1, "ParentObject", "ViewableObject", "Parent", 1, 1, "", 0, 0, false, nullptr});
    plan.AddType({3, "OrphanObject", "NoSuchObject", "Orphan", 0, 1, "", 0, 0, false, nullptr});
    ViewRegistries registries;
    std::vector<std::string> names;
    EXPECT_FALSE(plan.Run(registries, names));
    EXPECT_EQ((std::vector<std::string>{"ObjectType ParentObject", "ObjectType ChildObject", "ObjectType OrphanObject"}),
              names);
    EXPECT_NE(nullptr, registries.types.Find("ChildObject"));
    EXPECT_EQ(nullptr, registries.types.Find("OrphanObject"));
}

}  // namespace
