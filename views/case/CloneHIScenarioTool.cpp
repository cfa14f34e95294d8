#include "views/case/CloneHIScenarioTool.h"

#include "brasko/CaseDocument.h"
#include "eng/model/CloneEngine.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Session.h"
#include "views/case/project/HIScenarioOwnerViewer.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace {
constexpr int kSwitch = 104;
constexpr int kEnum = 105;
constexpr int kText = 1519;
// Identifiers of the tree: the six groups, then the first member of each listed group.
constexpr int kProcessGroup = 0;
constexpr int kUtilityGroup = 1;
constexpr int kDesignGroup = 5;
constexpr int kFirstProcess = 1000;
constexpr int kFirstUtility = 2000;
constexpr int kFirstDesign = 6000;
// A group's members follow it; no group lists more than this many.
constexpr int kMaxMembers = 999;

// The engine's selection kind of a group entry (identifiers 0 to 5 are kinds 1 to 6).
int kindOfGroup(int id) { return id + 1; }
// The first identifier of the members of a kind; 0 for a kind without members.
int firstMemberOf(int kind) {
    return kind == 1 ? kFirstProcess : kind == 2 ? kFirstUtility : kind == 6 ? kFirstDesign : 0;
}
}  // namespace

CloneHIScenarioTool* CloneHIScenarioTool::Open(Viewable* owner, const Text& projectName, const Text& scenarioName,
                                               int mode, int projectType) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* type = registry ? registry->Find(TypeName) : nullptr;
    if (!type) return nullptr;
    auto* tool = new CloneHIScenarioTool(owner, type, mode);
    tool->SetName(scenarioName);
    tool->View(mode == 1 ? "DefaultView" : "CloneView");
    tool->manager = CaseEngineeringManager2(tool);
    tool->engineObject = tool->manager ? tool->manager->CreateObject(CloneEngine::ObjectType, scenarioName) : nullptr;
    void* engine = nullptr;
    if (!tool->engineObject || !tool->engineObject->QueryInterface(CloneEngine::ObjectType, &engine) || !engine) {
        delete tool;
        return nullptr;
    }
    tool->engine = static_cast<ICloneEngine*>(engine);
    // The project is looked up, never made: a name the case does not hold opens no tool (a new,
    // empty project of that name would be left in the case). A total site answers the project
    // interface as well.
    ILurmetBaseObject* projectObject = nullptr;
    void* project = nullptr;
    if (!tool->manager->FindObject(projectName, projectType, &projectObject) || !projectObject ||
        !projectObject->QueryInterface(IHeatIntegrationProject::ObjectType, &project) || !project) {
        delete tool;
        return nullptr;
    }
    tool->engine->SetProject(static_cast<IHeatIntegrationProject*>(project));
    tool->buildTree();
    tool->refreshStates();
    return tool;
}

CloneHIScenarioTool::~CloneHIScenarioTool() {
    Viewable::Message("CloseView");
    engine = nullptr;
    if (engineObject && manager) manager->ReleaseObject(engineObject);
    engineObject = nullptr;
}

IHeatIntegrationScenario* CloneHIScenarioTool::scenario() const {
    return engine ? engine->GetMyClonableScenario() : nullptr;
}

bool CloneHIScenarioTool::isTotalSite() const {
    IHeatIntegrationScenario* s = scenario();
    return s && s->IsTotalSiteScenario();
}

void CloneHIScenarioTool::buildTree() {
    IHeatIntegrationScenario* s = scenario();
    if (!s) return;
    auto built = std::make_unique<VarEnumInfo>();
    // Streams whose look-up fails are left out; the others keep their index in the identifier.
    auto addStreams = [&](int kind, int first, int count) {
        for (int i = 0; i < count; ++i) {
            IHeatIntegrationStream* stream = nullptr;
            if (s->GetStreamOfKind(i, stream, kind, 2) && stream) built->AddEntry(first + i, stream->GetName(), 1);
        }
    };
    built->AddEntry(kProcessGroup, "Process Streams", 1);
    addStreams(0, kFirstProcess, s->GetNumberOfStreamsOfKind(0, 2));
    built->AddEntry(kUtilityGroup, "Utility Streams", 1);
    addStreams(1, kFirstUtility, s->GetNumberOfStreamsOfKind(1, 2));
    built->AddEntry(2, "Economics Parameters", 1);
    built->AddEntry(3, "Forbidden Matches", 1);
    built->AddEntry(4, "Matchwise Economics", 1);
    built->AddEntry(kDesignGroup, "Designs", 1);
    for (int i = 0; i < s->GetNumberOfDesigns(); ++i) {
        const char* name = s->GetDesignName(i);
        built->AddEntry(kFirstDesign + i, name ? name : "", 1);
    }
    tree = std::move(built);
}

void CloneHIScenarioTool::refreshStates() {
    if (!tree || !engine) return;
    const bool site = isTotalSite();
    const int n = tree->NumberOfEntries();
    int pos = 0;
    while (pos < n) {
        const int id = static_cast<int>(tree->GetEntry(pos)->value);
        if (id < kProcessGroup || id > kDesignGroup) {
            ++pos;
            continue;
        }
        const int kind = kindOfGroup(id);
        const bool siteUtilities = site && id == kUtilityGroup;
        tree->SetEntryStateAt(pos, siteUtilities ? 2 : GroupState(engine->GetCloneSelections(kind, 0)));
        ++pos;
        const int first = firstMemberOf(kind);
        for (int walked = 0; pos < n && walked < kMaxMembers; ++pos, ++walked) {
            const int member = static_cast<int>(tree->GetEntry(pos)->value);
            if (!first || member < first || member >= first + kMaxMembers) break;
            // The member's engine index comes from its identifier, so a stream left out of the
            // tree shifts no other member's state.
            const int raw = engine->GetCloneSelections(kind, member - first + 1);
            tree->SetEntryStateAt(pos, siteUtilities ? 2 : kind == 6 ? GroupState(raw) : raw);
        }
    }
}

bool CloneHIScenarioTool::engineEntry(int id, int& kind, int& index) const {
    kind = 0, index = 0;
    if (id >= kProcessGroup && id <= kDesignGroup) {
        kind = kindOfGroup(id);
    } else if (id >= kFirstProcess && id < kFirstUtility) {
        kind = 1, index = id - kFirstProcess + 1;
    } else if (id >= kFirstUtility && id < kFirstDesign) {
        kind = 2, index = id - kFirstUtility + 1;
    } else if (id >= kFirstDesign) {
        kind = 6, index = id - kFirstDesign + 1;
    } else {
        return false;  // 6 to 999 name nothing
    }
    return true;
}

bool CloneHIScenarioTool::copiesSomething() const {
    IHeatIntegrationScenario* s = scenario();
    if (!s || !engine) return false;
    // A site scenario's utilities are the site's: they are never copied.
    const int utilities = isTotalSite() ? 0 : s->GetNumberOfStreamsOfKind(1, 2);
    const int processStreams = s->GetNumberOfStreamsOfKind(0, 2);
    for (int i = 1; i <= processStreams; ++i)
        if (engine->GetCloneSelections(1, i) == 1) return true;
    for (int i = 1; i <= utilities; ++i)
        if (engine->GetCloneSelections(2, i) == 1) return true;
    // Into a new scenario the economic data go on their own too; an append takes streams only.
    const bool append = engine->GetCloneSelections(7, 0) == 0;
    return !append && engine->GetCloneSelections(3, 0) == 1;
}

std::vector<int> CloneHIScenarioTool::selections() const {
    std::vector<int> out;
    if (!tree || !engine) return out;
    out.reserve(static_cast<std::size_t>(tree->NumberOfEntries()));
    for (int pos = 0; pos < tree->NumberOfEntries(); ++pos) {
        int kind = 0, index = 0;
        if (engineEntry(static_cast<int>(tree->GetEntry(pos)->value), kind, index))
            out.push_back(engine->GetCloneSelections(kind, index));
    }
    return out;
}

int CloneHIScenarioTool::toggle(int id) {
    if (!engine || !tree) return -1;
    const int at = tree->FindEntry(static_cast<double>(id));
    int kind = 0, index = 0;
    if (at < 0 || !engineEntry(id, kind, index)) return -1;
    // A site scenario's utility streams are the site's: shown not available, as their group.
    if (kind == 2 && isTotalSite()) return 0;
    // An entry the engine cannot take as things stand (designs before a new name or without
    // every stream, forbidden matches and cost models that do not apply) is shown not
    // available: its toggle changes none of the selections.
    const std::vector<int> before = selections();
    engine->SetSelection(kind, index);
    refreshStates();
    return selections() != before ? 1 : 0;
}

int CloneHIScenarioTool::setCloneName(const Text& name) {
    if (!engine) return 0;
    // The target is named by the project's rule, as a scenario added or renamed is.
    if (HIScenarioOwnerViewer::RefuseInvalidScenarioName(name)) return 0;
    if (engine->SetCloneName(name, 0) == 0) {
        ErrorMsg("ThisScenarioNameAlreadyExists", name);
        return 0;
    }
    refreshStates();
    return 1;
}

bool CloneHIScenarioTool::chooseExisting(int index) {
    if (!engine) return false;
    const char* name = index >= 0 && index < engine->GetNumberOfExistingScenarios()
                           ? engine->GetExistingScenarioName(index)
                           : nullptr;
    // Only a scenario the list shows: never the source itself.
    const char* source = engine->GetClonableScenarioName();
    if (!name || (source && Text(name) == source)) return false;
    if (engine->SetCloneName(name, 1) != 1) return false;
    chosenScenario = index;
    refreshStates();
    return true;
}

// ---- hooks ----

double CloneHIScenarioTool::Value(const VarDescription& var) {
    if (var.Type() == kSwitch && var.Number() == 200) return engine && engine->GetCloneName() ? 1.0 : 0.0;
    if (var.Type() == kEnum && var.Number() == 202) return chosenScenario;
    return Viewable::Value(var);
}

int CloneHIScenarioTool::Specify(const VarDescription& var, double value) {
    if (var.Type() == kEnum && var.Number() == 202) {
        // Only an entry the list shows; any other number is refused with the key the views give
        // a choice they do not offer.
        if (value == std::floor(value) && value >= INT_MIN && value <= INT_MAX && chooseExisting(static_cast<int>(value)))
            return 1;
        ErrorMsg("ValidOptionError");
        return 0;
    }
    return Viewable::Specify(var, value);
}

Text CloneHIScenarioTool::TextValue(const VarDescription& var) {
    if (var.Type() == kText && var.Number() == 100) {
        const char* name = engine ? engine->GetCloneName() : nullptr;
        return name ? Text(name) : Text();
    }
    return Viewable::TextValue(var);
}

int CloneHIScenarioTool::SpecifyText(const VarDescription& var, const Text& text) {
    if (var.Type() == kText && var.Number() == 100) return setCloneName(text);
    return Viewable::SpecifyText(var, text);
}

int CloneHIScenarioTool::Message(const Text& line) {
    const std::size_t space = line.find(' ');
    const Text word = Text(line.substr(0, space));
    const Text rest = space == Text::npos ? Text() : Text(line.substr(space + 1));
    if (word == "clone") {
        if (!engine) return 0;
        if (!engine->GetCloneName()) return ErrorMsg("CloneNameMissing"), 0;
        // A copy with nothing ticked would make an empty scenario (or append nothing): refused,
        // the tool stays open for the user to tick what to copy.
        if (!copiesSomething()) return ErrorMsg("CloneCopiesNothing", engine->GetCloneName()), 0;
        // A clone the project refuses (its name taken meanwhile) keeps the tool open.
        if (engine->Clone() != 1) return 0;
        Viewable::Message("Delete");
        return 1;
    }
    if (word == "ObjectSelectionToggledOnDataEnum") {
        char* end = nullptr;
        const long id = std::strtol(rest.c_str(), &end, 10);
        const int done = end != rest.c_str() && *end == '\0' && id >= INT_MIN && id <= INT_MAX ? toggle(static_cast<int>(id)) : -1;
        // A toggle that cannot change anything is refused, as the views refuse a value they
        // cannot take.
        if (done < 0) return ErrorMsg("ValidOptionError", rest), 0;
        if (done == 0) {
            const int at = tree->FindEntry(static_cast<double>(id));
            return ErrorMsg("CloneEntryNotAvailable", at >= 0 ? tree->GetEntry(at)->text : rest), 0;
        }
        return 1;
    }
    return Viewable::Message(line);
}

VarEnumInfo* CloneHIScenarioTool::GetEnumInfo(const VariableNameInfo& info) {
    const VarDescription& var = info.Var();
    if (var.Type() == kEnum && var.Number() == 200) {
        if (!tree) {
            buildTree();
            refreshStates();
        }
        return tree.get();
    }
    if (var.Type() == kEnum && var.Number() == 202) {
        existing = std::make_unique<VarEnumInfo>();
        if (engine) {
            const char* source = engine->GetClonableScenarioName();
            for (int i = 0; i < engine->GetNumberOfExistingScenarios(); ++i) {
                const char* name = engine->GetExistingScenarioName(i);
                if (name && !(source && Text(name) == source)) existing->AddEntry(i, name);
            }
        }
        return existing.get();
    }
    return Viewable::GetEnumInfo(info);
}

void CloneHIScenarioTool::ViewNotification(int kind, Viewable* from, const Text& form) {
    if (kind == 1) {
        // The tool's form closed: the tool goes with it (nothing of it is touched after).
        Viewable::Message("Delete");
        return;
    }
    Viewable::ViewNotification(kind, from, form);
}

void CloneHIScenarioTool::DescribeForm(FormDescription& form) {
    form.Add({"Switch.200", FormHook::Value, kSwitch, false, 0});
    form.Add({"Enum.200", FormHook::Value, kEnum, false, 0});
    form.Add({"Enum.202", FormHook::Value, kEnum, true, 0});
    // The target is one of the scenarios offered, and the choice says so itself.
    form.SetRefusals("Enum.202", "ValidOptionError");
    form.Add({"ExtraData.100", FormHook::Text, kText, true, 0});
    form.AddCommand("clone");
    form.AddCommand("ObjectSelectionToggledOnDataEnum");
}
