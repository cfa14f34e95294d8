#include "views/case/project/HIDesignViewerProject.h"

#include "brasko/CaseDocument.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/Framework.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "views/EnginePointers.h"
#include "views/case/ChiView.h"
#include "views/case/CloneHIScenarioTool.h"
#include "views/case/scenario/HIDesignViewerScenario.h"

#include <vector>

namespace {
constexpr int kScenarioAdded = 24;
constexpr int kSwitch = 104;
}  // namespace

struct HIDesignViewerProject::Form {
    using V = HIDesignViewerProject;
    static const ViewForm<V>& Rows() {
        static const ViewForm<V> form{
            {{"Switch.201", FormHook::Value, kSwitch, false, 0}, &V::constant},
            {{"Switch.202", FormHook::Value, kSwitch, false, 0}, &V::constant},
            {{"Switch.203", FormHook::Value, kSwitch, false, 0}, &V::constant},
            {{"Switch.204", FormHook::Value, kSwitch, false, 0}, &V::constant},
            {{"Switch.205", FormHook::Value, kSwitch, false, 0}, &V::noteCount},
            {{"ExtraData.200", FormHook::Value, 1519, false, 0}, &V::constant},
            {{"ExtraData.205", FormHook::Value, 1519, false, 1}, &V::firstProcessScenario, nullptr, nullptr, nullptr,
             &V::oneIfBound},
            {{"ExtraData.208", FormHook::Text, 1519, true, 1}, nullptr, nullptr, &V::newName, &V::setNewName,
             &V::oneIfBound},
            {{"ExtraData.210", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &V::projectText, &V::setProjectText},
            {{"ExtraData.211", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::noteColumn, nullptr, &V::notesDims},
            {{"ExtraData.212", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &V::currentNoteTitle, &V::chooseNote},
            {{"ExtraData.213", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::noteColumn, nullptr, &V::notesDims},
            {{"ExtraData.214", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::noteColumn, nullptr, &V::notesDims},
            {{"ExtraData.255", FormHook::Value, 1519, false, 1}, &V::lastScenarioIndex, nullptr, nullptr, nullptr,
             &V::oneIfBound},
            {{"ExtraData.258", FormHook::Text, 1519, true, 1}, nullptr, nullptr, &V::lastScenario, &V::setLastScenario,
             &V::oneIfBound},
            {{"ExtraData.308", FormHook::Text, 1519, true, 1}, nullptr, nullptr, &V::simulator, &V::setSimulator,
             &V::oneIfBound},
            {{"Notes.400", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &V::comments, &V::setComments},
            {{"TitleText.301", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::title},
            {{"TitleText.302", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::title},
            {{"ObjectStatus.200", FormHook::Value, 1519, false, 0}, &V::constant},
            {{"HIDesignViewerScenario.200", FormHook::Object, 0, false, 1}, nullptr, nullptr, nullptr, nullptr,
             &V::scenarioDims},
            {{"CloneHIScenarioTool.298", FormHook::Object, 0, true, 0}},
        };
        return form;
    }
};

// The command words of Message, in the order it tests them.
static const char* const kCommands[] = {"AddNote",          "DeleteNote", "AddToDesignView", "RemoveFromDesignView",
                                        "RemoveNonRetrofitScenario", "RenameView", "AddDefaultScenario", "CloneHI",
                                        "CopyHI",           "CloneAndRetrofit"};

void HIDesignViewerProject::DescribeForm(FormDescription& form) {
    Form::Rows().Describe(form);
    for (const char* word : kCommands) form.AddCommand(word);
}

HIDesignViewerProject::HIDesignViewerProject(Viewable* parent, const Text& name, const ObjectTypeInfo* type)
    : HIScenarioOwnerViewer(parent, name, type) {}

int HIDesignViewerProject::engineType() const { return IHeatIntegrationProject::ObjectType; }

HIDesignViewerProject::~HIDesignViewerProject() {
    deleteScenarioViews();
    if (project) project->RemoveNotificationReceiver(this);
    closeCloneTool();
}

int HIDesignViewerProject::cloneAndRetrofit(const Text& designName) {
    // With no scenario chosen, or no design of that name in it, there is nothing to retrofit:
    // said, and nothing made.
    IHeatIntegrationScenario* scenario = retrofitSource(designName);
    if (!scenario) return 0;
    // The project names the copy by the same rule; the name is kept for the form (255, 258).
    const Text made = project->CreateScenarioName(scenario->GetName());
    if (!project->AddScenario(scenario, designName)) return ErrorMsg("CommandNotDone", Text("CloneAndRetrofit")), 0;
    lastScenarioName = made;
    return 1;
}

void HIDesignViewerProject::SetEngineeringProject(IHeatIntegrationProject* bound, int recalled) {
    project = bound;
    if (!project) return;
    project->AddNotificationReceiver(this);
    project->AddValidMessage(this, kScenarioAdded);
    for (int code : {60, 61, 62, 64}) project->AddValidMessage(this, code);
    if (!recalled) addScenarioViewsOfProject();
}

void HIDesignViewerProject::AddScenarioView(const Text& name) {
    if (!project) return;
    adoptScenarioView(CreateViewerOfType(name, this, GetObjectType(nullptr)), &HIDesignViewerScenario::SetVariables);
    if (Viewable* owner = OwnerViewable(ChiView::TypeName)) static_cast<ChiView*>(owner)->ChangeSelectedObject(currentScenario);
}

bool HIDesignViewerProject::RenameProject(const Text& name) {
    if (name.empty()) return false;
    // The project's own name typed again names no other project: nothing to change.
    if (project && name == Text(project->GetProjectName())) return true;
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    ILurmetBaseObject* other = nullptr;
    if (manager && manager->FindObject(name, IHeatIntegrationProject::ObjectType, &other) && other) {
        ErrorMsg("ThisProjectNameAlreadyExists", name);
        return false;
    }
    if (project) project->SetProjectName(name);
    SetName(name);
    if (Viewable* owner = OwnerViewable("HeatIntegrationObject")) owner->SetName(name);
    return true;
}

void HIDesignViewerProject::SetSelectedObject(Viewable* view) {
    if (!view) return;
    if (view->IsA(TypeName)) currentScenario = nullptr;
    else if (view->IsA(HIDesignViewerScenario::TypeName) && scenarioViews.Find(static_cast<HIDesignViewerScenario*>(view)) >= 0)
        currentScenario = static_cast<HIDesignViewerScenario*>(view);
}

void HIDesignViewerProject::NotifyChange(int code, const CPString& text, void*) {
    switch (code) {
        case kScenarioAdded: AddScenarioView(text); break;
        case 60: {
            // A key followed by three numbers, the message's parameters.
            std::vector<Text> words;
            std::size_t at = 0;
            while (at < text.size()) {
                const std::size_t end = text.find(' ', at);
                words.push_back(Text(text.substr(at, end == CPString::npos ? CPString::npos : end - at)));
                if (end == CPString::npos) break;
                at = end + 1;
            }
            MessageParameters parameters;
            for (std::size_t i = 1; i < words.size() && i < 4; ++i) parameters.push_back(words[i]);
            ErrorMsg(words.empty() ? Text() : words[0], parameters);
            break;
        }
        case 61: ResponseMsg(text, 1); break;
        case 62: TraceLine(text); break;
        case 64:
            if (text.empty()) UserStatusClear(2);
            else UserStatusReport(text, 2);
            break;
        default: break;
    }
}

// ---- commands ----

int HIDesignViewerProject::removeNonRetrofitScenarios() {
    if (!project) return 1;
    // The names first: deleting while walking the indices would skip the scenario after each one
    // deleted.
    std::vector<Text> names;
    IHeatIntegrationScenario* scenario = nullptr;
    for (int i = 0; project->GetScenario(i, scenario) && scenario; ++i)
        if (!scenario->IsRetrofitScenario()) names.push_back(scenario->GetName());
    int result = 1;
    for (const Text& name : names)
        if (project->DeleteScenario(name) != 1) result = 0;
    return result;
}

int HIDesignViewerProject::Message(const Text& line) {
    const std::size_t space = line.find(' ');
    const Text word = Text(line.substr(0, space));
    const Text rest = space == Text::npos ? Text() : Text(line.substr(space + 1));
    if (const int answer = sharedWord(word); answer >= 0) return answer;
    if (word == "AddToDesignView") {
        const int added = addScenario(newScenarioName);
        // A refused name stays typed for the user to mend: the case is as it was.
        if (!added) return 0;
        lastScenarioName = newScenarioName;
        newScenarioName.clear();
        return added;
    }
    if (word == "RemoveNonRetrofitScenario") return removeNonRetrofitScenarios();
    if (word == "RenameView") {
        const Text name = newScenarioName;
        newScenarioName.clear();
        if (!currentScenario) return ErrorMsg("NoScenarioToRename"), 0;
        return RenameScenario(currentScenario->GetName(), name);
    }
    if (word == "AddDefaultScenario") return addScenario(rest.empty() ? Text("Scenario 1") : rest);
    if (word == "CloneAndRetrofit") return cloneAndRetrofit(rest);
    return Viewable::Message(line);
}

// ---- variables ----

double HIDesignViewerProject::Value(const VarDescription& var) {
    double out = 0.0;
    return Form::Rows().Value(*this, var, out) ? out : Viewable::Value(var);
}
Text HIDesignViewerProject::TextValue(const VarDescription& var) {
    Text out;
    return Form::Rows().TextValue(*this, var, out) ? out : Viewable::TextValue(var);
}
int HIDesignViewerProject::SpecifyText(const VarDescription& var, const Text& text) {
    int result = 0;
    return Form::Rows().SpecifyText(*this, var, text, result) ? result : Viewable::SpecifyText(var, text);
}
int HIDesignViewerProject::Dimensions(const VarDescription& var, DimInfo& dims) {
    int added = 0;
    return Form::Rows().Dimensions(*this, var, dims, added) ? added : Viewable::Dimensions(var, dims);
}

double HIDesignViewerProject::constant(const VarDescription& var) {
    return var.Type() == kSwitch && var.Number() == 201 ? 1.0 : 0.0;
}
double HIDesignViewerProject::firstProcessScenario(const VarDescription&) {
    IHeatIntegrationScenario* scenario = nullptr;
    for (int i = 0; project && project->GetScenario(i, scenario) && scenario; ++i)
        if (!scenario->IsRetrofitScenario()) {
            for (int v = 0; v < scenarioViews.Count(); ++v)
                if (scenarioViews[v]->GetmyScenario() == scenario) return v;
        }
    return 0;
}
double HIDesignViewerProject::lastScenarioIndex(const VarDescription&) { return FindScenarioView(lastScenarioName); }

int HIDesignViewerProject::setProjectText(const VarDescription& var, const Text& text) {
    const int result = writeProjectText(var, text);
    return result < 0 ? 0 : result;
}
Text HIDesignViewerProject::lastScenario(const VarDescription&) {
    if (scenarioViews.IsEmpty()) return Text();
    lastScenarioName = scenarioViews[scenarioViews.Count() - 1]->GetName();
    return lastScenarioName;
}
Text HIDesignViewerProject::title(const VarDescription& var) {
    return var.Number() == 301 ? Text("Add Scenario") : Text("Rename Project");
}
int HIDesignViewerProject::oneIfBound(const VarDescription&, DimInfo& dims) {
    if (!project) return 0;
    dims.AddDim(1);
    return 1;
}
int HIDesignViewerProject::notesDims(const VarDescription&, DimInfo& dims) {
    dims.AddDim(project ? project->GetNumberOfNotes() : 0);
    return 1;
}
int HIDesignViewerProject::scenarioDims(const VarDescription&, DimInfo& dims) {
    dims.AddDim(project ? project->GetNumberOfScenarios() : 0);
    return 1;
}

// ---- children ----

Viewable* HIDesignViewerProject::AttachedObject(const VarDescription& var) {
    if (var.IsObjectLink() && var.Number() == 200)
        return followLink(scenarioLink(var, ObjectTypeRegistry::Current()->Find(var.ObjectType()), TypeName), var);
    if (var.IsObjectLink() && var.Number() == 298) {
        const ObjectTypeInfo* asked = ObjectTypeRegistry::Current()->Find(var.ObjectType());
        return followLink(asked && asked->IsA(CloneHIScenarioTool::TypeName) ? cloneTool : nullptr, var);
    }
    return Viewable::AttachedObject(var);
}

int HIDesignViewerProject::AttachObject(const VarDescription& var, Viewable* object) {
    int result = 0;
    return attachCloneTool(var, object, result) ? result : Viewable::AttachObject(var, object);
}

Text HIDesignViewerProject::AttachedName(const Viewable* child) const {
    if (child && child == cloneTool)
        return "CloneHIScenarioTool.298.0(" + VarDescription::EscapeChildName(child->GetName()) + ")";
    for (int i = 0; i < scenarioViews.Count(); ++i)
        if (scenarioViews[i] == child)
            return FormattedText("HIDesignViewerScenario.200.%d(%s)", i, VarDescription::EscapeChildName(child->GetName()).c_str());
    return Viewable::AttachedName(child);
}

const ObjectTypeInfo* HIDesignViewerProject::GetObjectType(const ObjectTypeInfo* asked) const {
    if (asked) return Viewable::GetObjectType(asked);
    return scenarioViewerType("HIDesignViewerGrassRootProjectObject");
}

// ---- record ----

bool HIDesignViewerProject::RecallClassData(BinaryFile& file, int version) {
    IHeatIntegrationProject* recalled = nullptr;
    if (!RecallProjectPointer(file, CaseEngineeringManager2(this), recalled)) return false;
    SetEngineeringProject(recalled, 1);
    return recallScenarioLinks(file, version);
}
