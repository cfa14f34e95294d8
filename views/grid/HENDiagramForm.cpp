// The grid diagram's form: its switches, choices and texts, the configurations they select and
// edit, the command words of its buttons and menus, and the design's change codes.
#include "views/grid/HENDiagram.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "lumeth/Timer.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kEmpty = -32767.0;
// The form's choice variables 200 to 205 are the annotation positions 1, 2, 3, 0, 4 and 5.
constexpr int kPositionOfChoice[6] = {1, 2, 3, 0, 4, 5};
constexpr int kLastLabelChoice = HENDiagramConfiguration::LastLabelChoice;
constexpr int kPresets = 6;

// The first number of the select (0), edit (1) and clone (2) items of n configurations: select
// and edit follow each other from 5621, clone starts past the loop and path numbers.
int CloneBase(int menu, int n) { return menu == 2 ? 6248 : 5621 + menu * n; }

Text firstWord(const Text& line, Text& rest) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == Text::npos) return Text();
    const std::size_t end = line.find(' ', start);
    rest = end == Text::npos ? Text() : Text(line.substr(end + 1));
    return Text(line.substr(start, end == Text::npos ? Text::npos : end - start));
}
}  // namespace

const ViewForm<HENDiagram>& HENDiagram::Form() {
    using V = HENDiagram;
    static const ViewForm<HENDiagram> form{
        {{"Switch.200", FormHook::Value, 104, true, 0}, &V::SwitchValue, &V::SetSwitch},
        {{"Switch.201", FormHook::Value, 104, true, 0}, &V::SwitchValue, &V::SetSwitch},
        {{"Switch.202", FormHook::Value, 104, true, 0}, &V::SwitchValue, &V::SetSwitch},
        {{"Switch.220", FormHook::Value, 104, true, 1}, &V::SwitchValue, &V::SetSwitch, nullptr, nullptr, &V::StreamRows},
        {{"Switch.230", FormHook::Value, 104, true, 1}, &V::SwitchValue, &V::SetSwitch, nullptr, nullptr, &V::StreamRows},
        {{"Switch.240", FormHook::Value, 104, false, 0}, &V::SwitchValue},
        {{"Switch.250", FormHook::Value, 104, false, 1}, &V::SwitchValue, nullptr, nullptr, nullptr, &V::StreamRows},
        {{"Enum.200", FormHook::Value, 105, true, 0}, &V::ChoiceValue, &V::SetChoice},
        {{"Enum.201", FormHook::Value, 105, true, 0}, &V::ChoiceValue, &V::SetChoice},
        {{"Enum.202", FormHook::Value, 105, true, 0}, &V::ChoiceValue, &V::SetChoice},
        {{"Enum.203", FormHook::Value, 105, true, 0}, &V::ChoiceValue, &V::SetChoice},
        {{"Enum.204", FormHook::Value, 105, true, 0}, &V::ChoiceValue, &V::SetChoice},
        {{"Enum.205", FormHook::Value, 105, true, 0}, &V::ChoiceValue, &V::SetChoice},
        {{"Enum.206", FormHook::Value, 105, true, 0}, &V::ChoiceValue, &V::SetChoice},
        {{"OptionArray.200", FormHook::Value, 109, true, 0}, &V::EditMode, &V::SetEditMode},
        {{"YIndex.200", FormHook::Value, 100, true, 0}, &V::YIndex, &V::SetYIndex},
        {{"ExtraData.200", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &V::ConfigurationText, &V::SetConfigurationText},
        {{"ExtraData.201", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &V::ConfigurationText, &V::SetConfigurationText},
        {{"ExtraData.202", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &V::ConfigurationText, &V::SetConfigurationText},
        {{"StreamsOrder.200", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::StreamName, nullptr, &V::StreamRows},
        {{"StreamVisible.200", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::StreamName, nullptr, &V::StreamRows},
    };
    return form;
}

void HENDiagram::LoadVariables(FormDescription& form) {
    Form().Describe(form);
    for (const char* word : {"FitWidth", "FitBoth", "ZoomIn", "ZoomOut", "NormalZoom", "DeleteConfiguration",
                             "OpenNewConfig", "OpenStreamConfigs", "OpenNotes", "OpenNewOrderView", "ShowAll", "HideAll",
                             "NewStreamOrderView", "StepUp", "StepDown", "TopOfList", "BttmOfList", "ShowPinch",
                             "SwitchDirections"})
        form.AddCommand(word);
    // A configuration name that is empty or taken.
    for (const char* address : {"ExtraData.200", "ExtraData.202"}) form.SetRefusals(address, "AddConfigError");
    for (int n = 200; n <= 206; ++n) form.SetRefusals(FormattedText("Enum.%d", n), "ValidOptionError");
    // A label is one of the diagram's entries, from nothing (0) to the unit's name; the line a
    // step moves is one of the lines shown.
    for (int n = 200; n <= 205; ++n)
        form.SetDomain(FormattedText("Enum.%d", n), CellDomain::Whole(0, kLastLabelChoice).RefusedWith("ValidOptionError"));
    form.SetDomain("YIndex.200", CellDomain::EntriesOf([](Viewable& view, const VarDescription&) {
                       return static_cast<int>(static_cast<HENDiagram&>(view).ShownStreamOrder().size());
                   }));
}

double HENDiagram::Value(const VarDescription& var) {
    double out = kEmpty;
    return Form().Value(*this, var, out) ? out : CanvasPlane::Value(var);
}

int HENDiagram::Specify(const VarDescription& var, double value) {
    int result = 0;
    return Form().Specify(*this, var, value, result) ? result : CanvasPlane::Specify(var, value);
}

Text HENDiagram::TextValue(const VarDescription& var) {
    Text out;
    return Form().TextValue(*this, var, out) ? out : CanvasPlane::TextValue(var);
}

int HENDiagram::SpecifyText(const VarDescription& var, const Text& text) {
    int result = 0;
    return Form().SpecifyText(*this, var, text, result) ? result : CanvasPlane::SpecifyText(var, text);
}

int HENDiagram::Dimensions(const VarDescription& var, DimInfo& dims) {
    int added = 0;
    return Form().Dimensions(*this, var, dims, added) ? added : CanvasPlane::Dimensions(var, dims);
}

int HENDiagram::GetEDVarType(const VarDescription& var) {
    int type = 0;
    return Form().EDVarType(var, type) ? type : CanvasPlane::GetEDVarType(var);
}

void HENDiagram::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (!Form().VariableStatus(var, state)) return CanvasPlane::VariableStatus(var, state, detail);
    // Only a user configuration can be renamed.
    if (var.Type() == 1519 && var.Number() == 202 && !UserConfigurationSelected()) state = ReadOnlyState;
}

int HENDiagram::StreamRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(static_cast<int>(ShownStreamOrder().size()));
    return 1;
}

Text HENDiagram::StreamName(const VarDescription& var) {
    const int i = var.Offset(0);
    const auto& order = ShownStreamOrder();
    if (i < 0 || i >= static_cast<int>(order.size())) return Text("<OutOfRange>");
    return order[static_cast<std::size_t>(i)].name;
}

double HENDiagram::SwitchValue(const VarDescription& var) {
    const int i = var.Offset(0);
    auto& order = ShownStreamOrder();
    const bool inRange = i >= 0 && i < static_cast<int>(order.size());
    switch (var.Number()) {
    case 200: return reverseDirection ? 1.0 : 0.0;
    case 201: return hideUtilityUnits ? 1.0 : 0.0;
    case 202: return showPinch ? 1.0 : 0.0;
    case 220:
    case 230: return inRange && order[static_cast<std::size_t>(i)].visible ? 1.0 : 0.0;
    case 240: return UserConfigurationSelected() ? 1.0 : 0.0;
    case 250: {
        if (!inRange) return 1.0;
        const StreamVisibilityEntry* e = m_configurations.front()->FindStream(order[static_cast<std::size_t>(i)].name);
        return e ? (e->cold ? 1.0 : 0.0) : kEmpty;
    }
    default: return kEmpty;
    }
}

int HENDiagram::SetSwitch(const VarDescription& var, double value) {
    const bool on = value != 0.0;
    switch (var.Number()) {
    case 200: reverseDirection = on; break;
    case 201: hideUtilityUnits = on; break;
    case 202: showPinch = on; break;
    case 220:
    case 230: {
        const int i = var.Offset(0);
        auto& order = ShownStreamOrder();
        if (i < 0 || i >= static_cast<int>(order.size())) return 1;  // ignored
        order[static_cast<std::size_t>(i)].visible = on;
        break;
    }
    default: return 0;
    }
    SortConfigurationStreams();
    Invalidate();
    return 1;
}

double HENDiagram::ChoiceValue(const VarDescription& var) {
    const int n = var.Number();
    if (n >= 200 && n <= 205) return m_annotation[kPositionOfChoice[n - 200]];
    if (n != 206) return kEmpty;
    // A read shows the configuration in force; it never chooses another.
    return m_selected;
}

int HENDiagram::SetChoice(const VarDescription& var, double value) {
    const int n = var.Number();
    int k = 0;
    // A choice is one of its list's entries: anything else is refused and said to be so.
    const auto refused = [] {
        ErrorMsg("ValidOptionError");
        return 0;
    };
    if (!WholeNumber(value, k)) return refused();
    if (n >= 200 && n <= 205) {
        // A label is one of the diagram's entries, from nothing (0) to the unit's name (8).
        if (!HENDiagramConfiguration::IsLabelChoice(k)) return refused();
        m_annotation[kPositionOfChoice[n - 200]] = k;
        SortConfigurationStreams();
        Invalidate();
        return 1;
    }
    if (n != 206) return 0;
    SortConfigurationStreams();
    if (value != std::floor(value) || !SelectConfiguration(k)) return refused();
    RebuildEnumeration();
    Invalidate();
    return 1;
}

Text HENDiagram::ConfigurationText(const VarDescription& var) {
    switch (var.Number()) {
    case 200: return m_newConfigurationName;
    case 201: {
        // A preset's own notes are a key of the host's strings; the words are shown.
        const HENDiagramConfiguration& c = *m_configurations[static_cast<std::size_t>(m_selected)];
        return c.preset && MessageCatalogue::Instance().Contains(c.notes) ? FindString(c.notes) : c.notes;
    }
    case 202: return m_selectedName;
    default: return Text();
    }
}

int HENDiagram::SetConfigurationText(const VarDescription& var, const Text& text) {
    auto taken = [&](const Text& name) {
        return std::any_of(m_configurations.begin(), m_configurations.end(),
                           [&](const auto& c) { return c->name == name; });
    };
    HENDiagramConfiguration& selected = *m_configurations[static_cast<std::size_t>(m_selected)];
    switch (var.Number()) {
    case 200: {
        if (text.empty() || taken(text)) {
            ErrorMsg("AddConfigError", MessageParameters{text});
            return 0;
        }
        m_newConfigurationName = text;
        // The new configuration starts from what is in force: the streams in their order, all
        // shown, the annotation choices and the switches.
        SortConfigurationStreams();
        auto c = HENDiagramConfiguration::Create(Text());
        c->name = text;
        for (const StreamVisibilityEntry& e : selected.streams) {
            StreamVisibilityEntry copy = e;
            copy.visible = true;
            c->streams.push_back(copy);
        }
        std::copy(std::begin(selected.annotationChoices), std::end(selected.annotationChoices), c->annotationChoices);
        c->reverseDirection = reverseDirection, c->showPinch = showPinch;
        m_configurations.push_back(std::move(c));
        SelectConfiguration(NumberOfConfigurations() - 1);
        RebuildEnumeration();
        Invalidate();
        return 1;
    }
    case 201:
        // Notes go to the configuration selected, a preset's too.
        selected.notes = text;
        return 1;
    case 202:
        // Only a user configuration is renamed, and never to a name another one has.
        if (!UserConfigurationSelected()) return 0;
        if (text.empty() || (text != selected.name && taken(text))) {
            ErrorMsg("AddConfigError", MessageParameters{text});
            return 0;
        }
        selected.name = text;
        m_selectedName = text;
        RebuildEnumeration();
        return 1;
    default: return 0;
    }
}

VarEnumInfo* HENDiagram::GetEnumInfo(const VariableNameInfo& var) {
    if (var.Var().Type() == 105 && var.Var().Number() == 206) {
        RebuildEnumeration();
        return m_enumeration.get();
    }
    if (var.Var().Type() == 105 && var.Var().Number() >= 200 && var.Var().Number() <= 205) {
        // The rows of the label table a choice takes, by the names the labels are read by: the
        // node's variable, or nothing at rows 0 and 7.
        if (!m_labelEnumeration) {
            static const char* const kRowNames[kLastLabelChoice + 1] = {"(none)", "Temperature", "Duty",
                                                                        "HTArea", "OverallHTC",  "LMTD",
                                                                        "SplitFraction", "none", "UnitOperationName"};
            m_labelEnumeration = std::make_unique<VarEnumInfo>();
            for (int row = 0; row <= kLastLabelChoice; ++row) m_labelEnumeration->AddEntry(row, kRowNames[row]);
        }
        return m_labelEnumeration.get();
    }
    return CanvasPlane::GetEnumInfo(var);
}

void HENDiagram::RebuildEnumeration() {
    if (!m_enumeration) m_enumeration = std::make_unique<VarEnumInfo>();
    m_enumeration->DeleteEntries();
    for (int i = 0; i < NumberOfConfigurations(); ++i) m_enumeration->AddEntry(i, m_configurations[static_cast<std::size_t>(i)]->name);
}

void HENDiagram::SortConfigurationStreams() {
    HENDiagramConfiguration& c = *m_configurations[static_cast<std::size_t>(m_selected)];
    for (int k = 0; k < 6; ++k) c.annotationChoices[k] = m_annotation[kPositionOfChoice[k]];
    c.reverseDirection = reverseDirection;
    c.showPinch = showPinch;
}

bool HENDiagram::SelectConfiguration(int index) {
    if (index < 0 || index >= NumberOfConfigurations()) return false;
    m_selected = index;
    const HENDiagramConfiguration& c = *m_configurations[static_cast<std::size_t>(index)];
    m_selectedName = c.name;
    for (int k = 0; k < 6; ++k) m_annotation[kPositionOfChoice[k]] = c.annotationChoices[k];
    reverseDirection = c.reverseDirection;
    showPinch = c.showPinch;
    Invalidate();
    return true;
}

void HENDiagram::SelectPreset(int index) {
    if (index >= 0 && index < kPresets) SelectConfiguration(index);
}

// ---- commands ----

int HENDiagram::Message(const Text& line) {
    if (const int edited = TextCommand(line); edited >= 0) return edited;
    Text rest;
    const Text word = firstWord(line, rest);
    auto& order = ShownStreamOrder();
    const int last = static_cast<int>(order.size()) - 1;
    auto swapLines = [&](int a, int b) {
        std::swap(order[static_cast<std::size_t>(a)], order[static_cast<std::size_t>(b)]);
        SortConfigurationStreams();
        Invalidate();
    };
    if (word == "FitWidth" || word == "FitBoth" || word == "NormalZoom") {
        if (word == "NormalZoom" && zoomMode == 1) return 1;
        zoomMode = previousZoomMode = word == "FitBoth" ? 1 : 0;
        Rebuild();
        m_layoutValid = true;
        return 1;
    }
    if (word == "ZoomIn" || word == "ZoomOut") {
        ZoomBy(word == "ZoomIn" ? 1.0 / 1.1 : 1.1);
        return 1;
    }
    if (word == "DeleteConfiguration") {
        if (m_selected < kPresets) return ErrorMsg("DeleteConfigError"), 0;
        m_configurations.erase(m_configurations.begin() + m_selected);
        SelectConfiguration(m_selected - 1);
        RebuildEnumeration();
        return 1;
    }
    if (word == "OpenNewConfig" || word == "OpenStreamConfigs" || word == "OpenNotes" || word == "OpenNewOrderView") {
        static const char* const kForms[][2] = {{"OpenNewConfig", "AddNewStream"},
                                                {"OpenStreamConfigs", "StreamConfigs"},
                                                {"OpenNotes", "Notes"},
                                                {"OpenNewOrderView", "NewStreamOrder"}};
        if (word == "OpenStreamConfigs") Invalidate();
        for (const auto& f : kForms)
            if (word == f[0]) View(f[1]);
        return 1;
    }
    if (word == "ShowAll" || word == "HideAll") {
        for (StreamVisibilityEntry& e : order) e.visible = word == "ShowAll";
        SortConfigurationStreams();
        Invalidate();
        return 1;
    }
    if (word == "NewStreamOrderView") {
        m_newConfigurationName.clear();
        return 1;
    }
    // The order words exchange lines of the order in force; at its ends they do nothing.
    if (word == "StepUp" || word == "TopOfList") {
        if (m_yIndex > 0 && m_yIndex <= last) {
            const int to = word == "StepUp" ? m_yIndex - 1 : 0;
            swapLines(m_yIndex, to);
            m_yIndex = to;
        }
        return 1;
    }
    if (word == "StepDown" || word == "BttmOfList") {
        if (m_yIndex >= 0 && m_yIndex < last) {
            const int to = word == "StepDown" ? m_yIndex + 1 : last;
            swapLines(m_yIndex, to);
            m_yIndex = to;
        }
        return 1;
    }
    if (word == "ShowPinch") {
        showPinch = !showPinch;
        IHeatIntegrationScenario* scenario = m_design ? m_design->GetScenario() : nullptr;
        if (showPinch && (!scenario || scenario->GetNumberOfProcessPinchPoints() == 0))
            TraceLine(FindString("NoProcessPinch"));
        SortConfigurationStreams();
        Invalidate();
        return 1;
    }
    if (word == "SwitchDirections") {
        reverseDirection = !reverseDirection;
        SortConfigurationStreams();
        Invalidate();
        return 1;
    }
    return CanvasPlane::Message(line);
}

void HENDiagram::PrepareForPlaneInspection(CanvasPoint, MenuModel& menu) {
    menu.AddItemWithIcon(5615, FindString("oiZoomIn"), "ZoominIco");
    menu.AddItemWithIcon(5616, FindString("oiZoomOut"), "ZoomoutIco");
    menu.AddItemWithIcon(5620, FindString("oiFitBoth"), "FitbothIco");
    menu.AddItemWithIcon(5618, FindString("oiFitWidth"), "FitWidthIco");
    menu.AddItem(MenuModel::Separator, Text());
    menu.AddItemWithIcon(5619, FindString("oiSwitchDirections"), "GridIco");
    if (!OperationLocked()) menu.AddItemWithIcon(5607, FindString("oiShowPinch"), "GridWithPinchIco");
    menu.AddItem(5613, FindString("oiClearMarkers"));
    if (m_design && m_design->IsLoopAnalysisEnabled()) {
        // The loops and paths of the network, each to be highlighted.
        struct Family {
            const char* label;
            int none, count;
            const char* (IHENDesign::*name)(int) const;
        };
        const Family families[] = {
            {MessageKey("oiLoops"), 5648, m_design->GetNumberOfLoops(), &IHENDesign::GetLoopName},
            {MessageKey("oiPaths"), 5948, m_design->GetNumberOfPaths(), &IHENDesign::GetPathName}};
        for (const Family& f : families) {
            if (f.count <= 0) continue;
            menu.AddItem(MenuModel::OpenSubMenu, FindString(f.label));
            menu.AddItem(f.none, FindString("oiDoNotShow"));
            // Only as many as the menu has numbers for.
            for (int i = 0; i < f.count && i < 299; ++i) {
                const char* name = (m_design->*f.name)(i);
                menu.AddItem(f.none + 1 + i, name ? Text(name) : Text());
            }
            menu.AddItem(MenuModel::CloseSubMenu, Text());
        }
    }
    menu.AddItem(MenuModel::Separator, Text());
    menu.AddItemWithIcon(5612, FindString("oiProperties"), "StreamSortingIco");
    menu.AddItem(MenuModel::Separator, Text());
    // Select, edit and clone a configuration: the presets by their sorting, then every user
    // configuration by its name.
    const int n = NumberOfConfigurations();
    const char* const kMenus[] = {"Select Configuration", "Edit Configuration", "Clone Configuration"};
    for (int m = 0; m < 3; ++m) {
        const int base = CloneBase(m, n);
        menu.AddItem(MenuModel::OpenSubMenu, kMenus[m]);
        const char* const kSorts[] = {"Temperature Sorted", "HeatLoad Sorted", "Alphabeticaly Sorted"};
        for (int p = 0; p < 3; ++p) {
            menu.AddItem(MenuModel::OpenSubMenu, kSorts[p]);
            menu.AddItem(base + p, "No Utility Streams");
            menu.AddItem(base + p + 3, "All Streams");
            menu.AddItem(MenuModel::CloseSubMenu, Text());
        }
        for (int i = kPresets; i < n; ++i) menu.AddItem(base + i, m_configurations[static_cast<std::size_t>(i)]->name);
        menu.AddItem(MenuModel::CloseSubMenu, Text());
    }
    menu.AddItem(MenuModel::Separator, Text());
}

void HENDiagram::SelectConfigurationFromMenu(int index) {
    SelectConfiguration(index);
    RebuildEnumeration();
    Invalidate();
}

int HENDiagram::ProcessInspectionCommand(int id) {
    static const char* const kWords[] = {"ZoomIn", "ZoomOut", "NormalZoom", "FitWidth", "SwitchDirections", "FitBoth"};
    if (id >= 5615 && id <= 5620) return Message(kWords[id - 5615]);
    if (id == 5607) return Message("ShowPinch");
    if (id == 5612) return Message("View");
    if (id == 5613) {
        ClearMarkers();
        return 1;
    }
    const int n = NumberOfConfigurations();
    // Select and edit follow one another from 5621; clone lies beyond the loops and paths.
    for (int menu = 0; menu < 3; ++menu) {
        const int base = CloneBase(menu, n);
        if (id < base || id >= base + n) continue;
        if (menu < 2 && id >= 5648 && id <= 6247) break;  // a loop or path number
        SelectConfigurationFromMenu(id - base);
        if (menu > 0) {
            m_editMode = 1;
            Message(menu == 1 ? "OpenStreamConfigs" : "OpenNewConfig");
        }
        return 1;
    }
    if (id >= 5648 && id <= 6247) {
        // A loop or a path, remembered with its name: a changed analysis drops it.
        const bool loop = id <= 5947;
        const int index = id - (loop ? 5649 : 5949);
        const char* name = nullptr;
        if (index >= 0 && m_design) name = loop ? m_design->GetLoopName(index) : m_design->GetPathName(index);
        (loop ? m_selectedLoop : m_selectedPath) = index >= 0 ? index : -1;
        (loop ? m_selectedLoopName : m_selectedPathName) = name ? Text(name) : Text();
        (loop ? m_selectedPath : m_selectedLoop) = -1;
        (loop ? m_selectedPathName : m_selectedLoopName).clear();
        Invalidate();
        return 1;
    }
    return CanvasPlane::ProcessInspectionCommand(id);
}

// ---- notifications and painting ----

void HENDiagram::NotifyChange(int code, const CPString& text, void* data) {
    Invalidate();
    const Text name(text);
    switch (code) {
    case 1:
        // The design is going: nothing of it is touched again, and the items go with it.
        m_design = nullptr;
        if (m_ghost) m_ghost->Reset();
        m_dragActive = false;
        m_hit = HENDHitRecord{};
        Clear();
        m_layoutValid = true;
        return;
    case 30:
        for (auto& c : m_configurations) c->AddStream(name);
        break;
    case 31:
        m_branchRemoved = true;
        for (auto& c : m_configurations)
            std::erase_if(c->streams, [&](const StreamVisibilityEntry& e) { return e.name == name; });
        break;
    case 32: {
        const Text renamed(data ? static_cast<const char*>(data) : "");
        if (renamed.empty()) break;
        for (auto& c : m_configurations)
            for (StreamVisibilityEntry& e : c->streams)
                if (e.name == name) e.name = renamed;
        break;
    }
    case 99: m_selectedLoop = m_selectedPath = -1; break;
    default: break;
    }
}

void HENDiagram::PrepareLayout() {
    if (m_layoutValid || bHold) return;
    SetDesign(m_design);
    m_layoutValid = true;
}

void HENDiagram::ApplyView(double w, double h, CanvasPoint origin) {
    double sceneW = 0.0, sceneH = 0.0;
    SceneExtent(PixelWidth(), PixelHeight(), w, h, sceneW, sceneH);
    SetVisibleExtent(sceneW, sceneH);
    const double shownW = ShownWidth(), shownH = ShownHeight();
    origin.x = std::clamp(origin.x, m_bounds.left, std::max(m_bounds.left, m_bounds.right - shownW));
    origin.y = std::clamp(origin.y, m_bounds.top, std::max(m_bounds.top, m_bounds.bottom - shownH));
    SetOrigin(origin);
}

void HENDiagram::ZoomBy(double factor) {
    // Free zoom about the centre of the view, never wider than the bounds nor outside them.
    if (zoomMode != 2) previousZoomMode = zoomMode;
    zoomMode = 2;
    const double halfW = std::min(factor * ShownWidth() / 2.0, m_bounds.Width() / 2.0);
    const double halfH = std::min(factor * ShownHeight() / 2.0, m_bounds.Height() / 2.0);
    const CanvasPoint o = GetOrigin();
    const double cx = o.x + ShownWidth() / 2.0, cy = o.y + ShownHeight() / 2.0;
    ApplyView(2.0 * halfW, 2.0 * halfH, {std::max(m_bounds.left, cx - halfW), std::max(m_bounds.top, cy - halfH)});
    m_layoutValid = true;
}

Text HENDiagram::BorderText() const {
    const Text date = m_clock ? m_clock() : Text();
    Text names;
    if (m_design) {
        IHeatIntegrationScenario* s = m_design->GetScenario();
        names = (s ? Text(s->GetName()) : Text()) + " - " + Text(m_design->GetDesignName());
    }
    return "  " + date + "\n" + names;
}

// ---- scrolling ----

void HENDiagram::ScrollTimer::Tick() { m_diagram.ScrollBy(m_diagram.m_scrollX, m_diagram.m_scrollY); }

bool HENDiagram::ScrollBy(double dx, double dy) {
    const CanvasPoint o = GetOrigin();
    const double x = o.x + dx, y = o.y + dy;
    if (x < m_bounds.left - 1e-9 || y < m_bounds.top - 1e-9 || x + ShownWidth() > m_bounds.right + 1e-9 ||
        y + ShownHeight() > m_bounds.bottom + 1e-9)
        return false;
    SetOrigin({x, y});
    return true;
}

void HENDiagram::ScrollStep(int direction, int axis, bool page) {
    const double extent = axis == 0 ? ShownWidth() : ShownHeight();
    const double step = (page ? extent : extent / 10.0) * (direction < 0 ? -1.0 : 1.0);
    CanvasPoint o = GetOrigin();
    double& at = axis == 0 ? o.x : o.y;
    const double low = axis == 0 ? m_bounds.left : m_bounds.top;
    const double high = std::max(low, (axis == 0 ? m_bounds.right - ShownWidth() : m_bounds.bottom - ShownHeight()));
    at = std::clamp(at + step, low, high);
    SetOrigin(o);
}

bool HENDiagram::AutoScrolling() const { return m_scrollTimer && m_scrollTimer->IsTicking(); }

void HENDiagram::AutoScroll(CanvasPoint p) {
    const CanvasPoint o = GetOrigin();
    const double w = ShownWidth(), h = ShownHeight();
    m_scrollX = p.x < o.x ? -w / 10.0 : p.x > o.x + w ? w / 10.0 : 0.0;
    m_scrollY = p.y < o.y ? -h / 10.0 : p.y > o.y + h ? h / 10.0 : 0.0;
    if (!m_scrollTimer) m_scrollTimer = std::make_unique<ScrollTimer>(*this);
    const bool scroll = m_scrollX != 0.0 || m_scrollY != 0.0;
    if (scroll && !m_scrollTimer->IsTicking()) {
        if (!m_scrollTimer->Start(125)) ErrorMsg("TimerError");
    } else if (!scroll && m_scrollTimer->IsTicking()) {
        if (!m_scrollTimer->Stop()) ErrorMsg("TimerError");
    }
}

void HENDiagram::StopAutoScroll() {
    m_scrollX = m_scrollY = 0.0;
    if (m_scrollTimer && m_scrollTimer->IsTicking() && !m_scrollTimer->Stop()) ErrorMsg("TimerError");
}

void HENDiagram::ZoomToRectangle(CanvasPoint a, CanvasPoint b) {
    const double px = ConvertToSceneFromCanvas(std::abs(b.x - a.x)), py = ConvertToSceneFromCanvas(std::abs(b.y - a.y));
    if (px < 25.0 && py < 25.0) return;
    // Widened one way to the view's aspect.
    double w = std::abs(b.x - a.x), h = std::abs(b.y - a.y);
    const double aspect = (PixelWidth() - 15.0) / (PixelHeight() - 15.0);
    if (w < h * aspect) w = h * aspect;
    else h = w / aspect;
    if (zoomMode != 2) previousZoomMode = zoomMode;
    zoomMode = 2;
    ApplyView(w, h, {std::min(a.x, b.x), std::min(a.y, b.y)});
    m_layoutValid = true;
}

std::vector<StreamVisibilityEntry>& HENDiagram::ShownStreamOrder() {
    if (!m_layoutValid) ArrangeConfigurationStreams(*m_configurations[static_cast<std::size_t>(m_selected)]);
    return StreamOrder();
}
