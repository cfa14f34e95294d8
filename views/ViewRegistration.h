#pragma once
// What the module registers with the user-interface framework while it loads: the view object
// types, the features, and the named colours, font and icons. Each view subsystem lists its own
// registrations with the load step at which each is made; start-up runs all steps in step
// order, so a registration whose parent is one of the module's own is always made after it.
#include "brasko/FeatureRegistry.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Resources.h"

#include <functional>
#include <string>
#include <vector>

// The framework-side registries the views' load steps fill.
struct ViewRegistries {
    ObjectTypeRegistry types;
    ResourceRegistry resources;
    FeatureRegistry features;
    // Makes these the registries the framework looks names up in.
    void Install();
};

// One view object type (a row of the registration table).
struct ViewTypeRow {
    int step;
    const char* objectName;
    const char* parent;
    const char* className;  // empty: a form-only type
    int baseFlag;
    int versionArgument;
    const char* formKey;
    int classVersion;  // 0: the registration's default
    int extraValue;    // 0: none
    bool supportsHeatIntegration;
    ViewFactory factory;  // null until the view class is part of the module
    bool transient = false;  // rebuilt by its owner, never stored as a view of its own
    LoadVariablesHook loadVariables = nullptr;  // the class's form description, when it has one
    bool neverWritten = false;  // read from older cases only (or open only while used): never stored
};

class ViewRegistrationPlan {
public:
    void AddType(const ViewTypeRow& row);
    void AddColour(int step, const char* name, int red, int green, int blue);
    void AddFont(int step, int number, const char* name, int style);
    void AddIcon(int step, int id, const char* name);
    void AddFeature(int step, const char* name, const char* prefix, const char* category, const char* objectType,
                    FeatureBuilder builder);
    // A load-time global of a view class (the step keeps its place while the class is missing).
    void AddOther(int step, const char* name, std::function<void(ViewRegistries&)> action = nullptr);

    // Runs the steps in step order; appends each step's name. False when a step failed (a
    // type whose name is taken or whose parent is not registered yet); the later steps still run.
    bool Run(ViewRegistries& registries, std::vector<std::string>& stepNames) const;
    int NumberOfSteps() const { return static_cast<int>(m_steps.size()); }

private:
    struct Step {
        int step;
        std::string name;
        std::function<bool(ViewRegistries&)> action;
    };
    std::vector<Step> m_steps;
};

// The registrations of each subsystem.
void PlanCaseViewRegistrations(ViewRegistrationPlan& plan);    // case, project and scenario views
void PlanDesignViewRegistrations(ViewRegistrationPlan& plan);  // design views
void PlanGridViewRegistrations(ViewRegistrationPlan& plan);    // network grid diagram
void PlanPlotViewRegistrations(ViewRegistrationPlan& plan);    // plots
void PlanViewResourceRegistrations(ViewRegistrationPlan& plan);  // colours, font, icons, globals

// The whole plan of load steps 45 to 137.
ViewRegistrationPlan BuildViewRegistrationPlan();
