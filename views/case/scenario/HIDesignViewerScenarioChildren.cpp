// The scenario viewer's children: design viewers, segment tables, plots and utility lists, the
// names under which the forms reach them and the objects their addresses find.
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/VarEnumInfo.h"
#include "views/case/DataExtractionView.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/scenario/UtilityNameView.h"
#include "views/case/streams/LinkTableCollection.h"
#include "views/case/streams/SegmentTable.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/grid/HENDiagram.h"
#include "brasko/DefaultUtilManagerView.h"
#include "views/plots/ChiSuperTargetPlot.h"
#include "views/plots/ChiTable.h"
#include "views/plots/chiPlot.h"

#include "brasko/DefaultManager.h"

namespace {

template <typename E>
int positionOf(const HVector<E>& list, const Viewable* view) {
    for (int i = 0; i < list.Count(); ++i)
        if (static_cast<const void*>(list[i]) == static_cast<const void*>(view)) return i;
    return -1;
}

}  // namespace

// ---- design viewers ----

const ObjectTypeInfo* HIDesignViewerScenario::GetObjectType(const ObjectTypeInfo*) const {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->Find(HIDesignViewerDesign::TypeName) : nullptr;
}

void HIDesignViewerScenario::AddDesign(const Text& name) {
    const ObjectTypeInfo* type = GetObjectType();
    Viewable* made = type ? type->CreateInstance(this, name) : nullptr;
    if (!made) return;
    if (!made->IsA(HIDesignViewerDesign::TypeName)) {
        delete made;
        return;
    }
    auto* viewer = static_cast<HIDesignViewerDesign*>(made);
    designBeforeAdd = currentDesign;
    lastAddedDesign = viewer;
    currentDesign = viewer;
    viewer->SetName(name);
    viewer->nSetting200 = 10;
    viewer->SetScenario(myScenario);
    IHENDesign* design = nullptr;
    if (myScenario) myScenario->GetDesign(name, design);
    auto* diagram = new HENDiagram(viewer, name + " HENDiagram");
    viewer->ReplaceGridDiagram(diagram);
    viewer->SetEngineeringDesign(design, false);
    designObjs.Append(viewer);
    viewer->AddDeathPostee(this);
    if (extractionDesignFlag) diagram->bHold = 1;
    // The owning case view would be told that the new design viewer is selected; the case views
    // are not part of the module yet.
}

int HIDesignViewerScenario::FindDesignMatch(const Text& name) const {
    for (int i = 0; i < designObjs.Count(); ++i)
        if (designObjs[i] && designObjs[i]->GetName() == name) return i;
    return -1;
}

// ---- segment tables ----

SegmentTable* HIDesignViewerScenario::FindSegmentTable(const IHeatIntegrationStream* stream) const {
    for (SegmentTable* table : segmentTables)
        if (table->GetStream() == stream) return table;
    return nullptr;
}

SegmentTable* HIDesignViewerScenario::NewSegmentTable(IHeatIntegrationStream* stream) {
    auto* table = new SegmentTable(this, myScenario, stream);
    table->AddDeathPostee(this);
    segmentTables.Append(table);
    return table;
}

Viewable* HIDesignViewerScenario::GetSegmentTableView(IHeatIntegrationStream* stream) {
    if (SegmentTable* table = FindSegmentTable(stream)) return table;
    return NewSegmentTable(stream);
}

void HIDesignViewerScenario::SegmentCoefficientFromDefault(const IHeatIntegrationStream* stream, int segment) {
    if (SegmentTable* table = FindSegmentTable(stream)) table->CoefficientFromDefault(segment);
}

void HIDesignViewerScenario::ShowSegmentTable(IHeatIntegrationStream* stream) {
    if (Viewable* table = GetSegmentTableView(stream)) table->View();
}

// ---- plots ----

void HIDesignViewerScenario::BuildSuperTargetPlot() {
    auto* plot = new ChiSuperTargetPlot(this, myScenario, ChiSuperTargetPlot::RangeTargets);
    plot->SetXQuantity(QuantityDTmin);
    plot->SetLeftQuantity(QuantityTotalCost);
    plot->SetRightQuantity(QuantityNone);
    plot->AddDeathPostee(this);
    if (ChiSuperTargetPlot* old = superTargetPlot) {
        superTargetPlot = nullptr;
        old->RemoveDeathPostee(this);
        delete old;
    }
    superTargetPlot = plot;
    plot->ConstructPlot();
}

void HIDesignViewerScenario::BuildGeneralPlots() {
    auto* plot = new ChiSuperTargetPlot(this, myScenario, ChiSuperTargetPlot::GeneralPlot);
    plot->AddDeathPostee(this);
    if (ChiSuperTargetPlot* old = generalPlot) {
        generalPlot = nullptr;
        old->RemoveDeathPostee(this);
        delete old;
    }
    generalPlot = plot;
    plot->ConstructPlot();
}

void HIDesignViewerScenario::BuildPlots() {
    if (!henPlotList) henPlotList = new HenPlotList;
    for (int kind = 1; kind <= 16; ++kind) {
        // The plot enters the list on its own construction.
        auto* plot = new chiPlot(this, myScenario, true);
        plot->ConstructPlot(kind);
    }
}

void HIDesignViewerScenario::AddPlot(chiPlot* plot) {
    if (!plot) return;
    if (!henPlotList) henPlotList = new HenPlotList;
    if (henPlotList->IndexOf(plot) >= 0) return;
    henPlotList->Add(plot);
    plot->AddDeathPostee(this);
}

void HIDesignViewerScenario::RemovePlot(chiPlot* plot) {
    if (henPlotList && henPlotList->Remove(plot)) plot->RemoveDeathPostee(this);
}

void* HIDesignViewerScenario::PlotObjectAt(int position) const {
    if (!henPlotList) return nullptr;
    chiPlot* plot = henPlotList->GetIth(position);
    return plot ? plot->GetPlot() : nullptr;
}

bool HIDesignViewerScenario::GenMessage(MessageInfo& info) {
    if (info.code != 6) return Viewable::GenMessage(info);
    info.answer = nullptr;
    const Text& name = info.name;
    if (name == ":SuperTargetPlot") {
        if (myScenario && superTargetPlot) info.answer = superTargetPlot->GetPlot();
    } else if (name == ":SelectedPlot") {
        info.answer = PlotObjectAt(selectedPlot - 1);
    } else if (name == ":SelectedMainPlot") {
        info.answer = PlotObjectAt(selectedMainPlot - 1);
    } else if (name == ":SelectedLeftPlot") {
        info.answer = PlotObjectAt(selectedLeftPlot - 1);
    } else if (name == ":SelectedRightPlot") {
        info.answer = PlotObjectAt(selectedRightPlot - 1);
    } else if (name == ":RetroSelectedMainPlot") {
        info.answer = PlotObjectAt(retroSelectedMainPlot - 1);
    } else if (name == ":GeneralPlot") {
        if (myScenario && generalPlot) info.answer = generalPlot->GetPlot();
    }
    return true;
}

// ---- names and addresses ----

Text HIDesignViewerScenario::AttachedName(const Viewable* child) const {
    if (!child) return Text();
    const Text name = VarDescription::EscapeChildName(child->GetName());
    if (child->IsA(HIDesignViewerDesign::TypeName))
        return FormattedText("HIDesignViewerDesign.200.%d (%s)", FindDesignMatch(child->GetName()), name.c_str());
    if (child->IsA(SegmentTable::TypeName)) {
        int at = positionOf(segmentTables, child);
        if (at < 0) at = segmentTables.Count();
        return FormattedText("SegmentTable.200.%d(%s)", at, name.c_str());
    }
    if (child->IsA(UtilityNameView::TypeName)) {
        int at = positionOf(utilityNameViews, child);
        if (at < 0) {
            at = positionOf(defaultUtilityNameViews, child);
            if (at < 0) return Text();
            at += 10000;
        }
        return FormattedText("UtilityNameView.599.%d(%s)", at, name.c_str());
    }
    if (child->IsA(chiPlot::TypeName)) {
        int at = henPlotList ? henPlotList->IndexOf(static_cast<const chiPlot*>(child)) : -1;
        if (at < 0) at = henPlotList ? henPlotList->Count() : 0;
        return FormattedText("chiPlot.200.%d", at);
    }
    if (child->IsA(ChiSuperTargetPlot::TypeName)) {
        if (child == generalPlot) return "ChiSuperTargetPlot.200.1";
        if (child == superTargetPlot) return "ChiSuperTargetPlot.200.2";
        return Text();
    }
    if (child->IsA(DataExtractionView::TypeName)) return "DataExtractionView.200";
    if (child->IsA(HTCDatabaseView::TypeName)) return "HTCDatabaseView.200";
    if (child->IsA(DefaultUtilManagerView::TypeName)) return "DefaultUtilManagerView.200";
    if (child->IsA(LinkTableCollection::TypeName)) return "LinkTableCollection.200";
    return Viewable::AttachedName(child);
}

Viewable* HIDesignViewerScenario::AttachedObject(const VarDescription& var) {
    Viewable* found = nullptr;
    const Text& type = var.ObjectType();
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* info = registry && !type.empty() ? registry->Find(type) : nullptr;
    auto isA = [&](const char* name) { return info && info->IsA(name); };
    const int i = var.Offset(0);
    const int number = var.Number();
    if (var.Flags() & VarDescription::FlagSelf) {
        found = this;
    } else if (isA(HIDesignViewerDesign::TypeName) && number == 200) {
        found = i >= 0 && i < designObjs.Count() ? designObjs[i] : nullptr;
    } else if (isA(SegmentTable::TypeName)) {
        const HVector<SegmentTable*>& list =
            number == 201 ? processSegmentTableVector : number == 202 ? utilitySegmentTableVector : segmentTables;
        found = i >= 0 && i < list.Count() ? list[i] : nullptr;
    } else if (type == UtilityNameView::TypeName && (number == 599 || number == 600)) {
        if (i >= 0 && i < utilityNameViews.Count()) found = utilityNameViews[i];
        else if (i >= 10000 && i < 10000 + defaultUtilityNameViews.Count()) found = defaultUtilityNameViews[i - 10000];
    } else if (isA(chiPlot::TypeName)) {
        found = henPlotList ? henPlotList->GetIth(i) : nullptr;
    } else if (isA(ChiSuperTargetPlot::TypeName) && number == 200 && (i == 1 || i == 2)) {
        found = i == 1 ? generalPlot : superTargetPlot;
    } else if (type == "ViewableObject" && number == 9999) {
        selectedRow = i;
        found = this;
    } else if (type == DataExtractionView::TypeName) {
        found = dataExtractionView;
    } else if (type == DefaultUtilManagerView::TypeName) {
        found = myDefaultUtilManagerView;
    } else if (type == HTCDatabaseView::TypeName) {
        found = myHTCDatabaseView;
    } else if (type == LinkTableCollection::TypeName) {
        found = linkTableCollection;
    } else {
        // The framework follows any further link itself.
        return Viewable::AttachedObject(var);
    }
    const VarDescription* next = var.GetNextLink();
    if (found && next && next->IsObjectLink()) return found->AttachedObject(*next);
    return found;
}

int HIDesignViewerScenario::GetAttachableObjects(const VarDescription& var, std::vector<Viewable*>& out) {
    if (myScenario && (var.Number() == 599 || var.Number() == 600)) {
        const std::size_t before = out.size();
        for (UtilityNameView* view : defaultUtilityNameViews) out.push_back(view);
        return static_cast<int>(out.size() - before);
    }
    return Viewable::GetAttachableObjects(var, out);
}

int HIDesignViewerScenario::AttachObject(const VarDescription& var, Viewable* object) {
    if (var.ObjectType() != UtilityNameView::TypeName || (var.Number() != 599 && var.Number() != 600))
        return Viewable::AttachObject(var, object);
    if (myScenario && myScenario->IsRetrofitScenario()) {
        const char* base = myScenario->GetRetrofitBaseDesignName();
        if (base && *base) {
            ErrorMsg("NoChangeinHENRBaseCase");
            return 0;
        }
    }
    // A row past the spare row holds nothing to rename or delete and adds nothing: refused (and
    // said so) rather than answered as done.
    const int row = var.Offset(0);
    const bool past = myScenario && (row < 0 || row > myScenario->GetNumberOfStreamsOfKind(1, 2));
    CreateUtilityStream(object ? object->GetName() : Text(), row);
    return past ? 0 : 1;
}

Viewable* HIDesignViewerScenario::AttachNewObject(const VarDescription& var, const Text& name) {
    if (var.ObjectType() != UtilityNameView::TypeName || (var.Number() != 599 && var.Number() != 600)) return nullptr;
    tableColumn += 2;
    if (myScenario && myScenario->IsRetrofitScenario()) {
        const char* base = myScenario->GetRetrofitBaseDesignName();
        if (base && *base) {
            ErrorMsg("NoChangeinHENRBaseCase");
            return nullptr;
        }
    }
    const int before = myScenario ? myScenario->GetNumberOfStreamsOfKind(1, 2) : 0;
    Viewable* view = CreateUtilityStream(name, var.Offset(0));
    // A deletion leaves no view of its name to answer with: the viewer whose table lost the row
    // answers that it was done, as a name emptied in the table does.
    const bool deleted = name.empty() && myScenario && myScenario->GetNumberOfStreamsOfKind(1, 2) < before;
    return view ? view : deleted ? this : nullptr;
}

// ---- utility lists ----

UtilityNameView* HIDesignViewerScenario::NewNameView(const Text& name) {
    auto* view = new UtilityNameView(this, name);
    view->AddDeathPostee(this);
    return view;
}

int HIDesignViewerScenario::FindNameView(const HVector<UtilityNameView*>& list, const Text& name) {
    for (int i = 0; i < list.Count(); ++i)
        if (list[i]->GetName() == name) return i;
    return -1;
}

void HIDesignViewerScenario::DeleteNameViews(HVector<UtilityNameView*>& list) {
    for (UtilityNameView* view : list) view->RemoveDeathPostee(this);
    list.DeleteAll();
}

Viewable* HIDesignViewerScenario::CreateUtilityStream(const Text& name, int row) {
    const int n = myScenario ? myScenario->GetNumberOfStreamsOfKind(1, 2) : 0;
    if (myScenario && (row < 0 || row > utilityNameViews.Count() || row > n)) {
        // Past the spare row there is no utility and no row to add one.
        ErrorMsg("GetStreamError");
    } else if (myScenario) {
        if (row < n) {
            if (!name.empty()) {
                workStream = nullptr;
                if (myScenario->GetStreamOfKind(row, workStream, 1, 2) && workStream) {
                    const Text old = workStream->GetName();
                    if (myScenario->RenameStream(old, name)) {
                        // The scenario's change code renames the view already; a renaming the
                        // viewer was not told of is caught here.
                        const int at = FindNameView(utilityNameViews, old);
                        if (at >= 0) utilityNameViews[at]->SetName(name);
                    } else {
                        ErrorMsg("RenameStreamError");
                    }
                }
                workStream = nullptr;
            } else if (myScenario->IsTotalSiteScenario()) {
                // A site stream is deleted on the site, from every scenario at once.
                ErrorMsg("SiteUtilityStaysInEveryScenario");
            } else if (ResponseMsg("DeleteStreamError", 2) == 1) {
                SignalBusy(true);
                workStream = nullptr;
                if (myScenario->GetStreamOfKind(row, workStream, 1, 2) && workStream) {
                    const Text streamName = workStream->GetName();
                    const char* held = myScenario->GetNotes();
                    const Text notes = held ? held : "";
                    myScenario->SetNotes(notes + "Deleted Utility Stream " + streamName + "\n");
                    // A refused deletion has told the user why and leaves the notes as they were.
                    if (myScenario->DeleteStream(streamName) != 1) myScenario->SetNotes(notes);
                } else {
                    ErrorMsg("GetStreamError");
                }
                workStream = nullptr;
                SignalBusy(false);
            }
        } else if (!name.empty() && myScenario->IsTotalSiteScenario()) {
            // The utilities of a total-site scenario are the site's streams: one is added on the
            // site, for every scenario.
            ErrorMsg("PickTotalSiteUtilityFromDropDownList");
        } else if (!name.empty() && !myScenario->IsRetrofitScenario()) {
            if (myScenario->AddStream(name, 1) != 1) {
                ErrorMsg("AddStreamError");
            } else {
                IDefaultUtilityManager* manager = nullptr;
                const char* exchanger = nullptr;
                if (myScenario->GetDefaultUtilityManager(manager) && manager) exchanger = manager->GetExchangerType(name.c_str());
                if (exchanger && Text(exchanger) == "Fired Heater") ErrorMsg("FiredHeaterEconomics");
            }
        }
    }
    const int at = FindNameView(utilityNameViews, name);
    return at >= 0 ? utilityNameViews[at] : nullptr;
}

void HIDesignViewerScenario::FillDefaultNameViews() {
    if (!myScenario) return;
    IDefaultUtilityManager* manager = nullptr;
    if (myScenario->IsTotalSiteScenario()) {
        DefaultManager* site = nullptr;
        if (myScenario->GetSiteUtilityManager(site) && site) manager = site;
    } else {
        myScenario->GetDefaultUtilityManager(manager);
    }
    if (!manager) return;
    for (int i = 0; i < manager->GetNumberOfDefaultUtilities(); ++i) {
        const char* name = manager->GetRecommendedUtilityName(i);
        defaultUtilityNameViews.Append(NewNameView(name ? name : ""));
    }
}

void HIDesignViewerScenario::BuildUtilityDropDownList() {
    // Bound again, the viewer lists the manager's utilities once.
    DeleteNameViews(defaultUtilityNameViews);
    FillDefaultNameViews();
}

void HIDesignViewerScenario::UpdateUtilityDropDownList() {
    if (!myScenario || !myScenario->IsTotalSiteScenario()) return;
    DefaultManager* site = nullptr;
    if (!myScenario->GetSiteUtilityManager(site) || !site) return;
    const int count = site->GetNumberOfDefaultUtilities();
    if (count < 1 || count == defaultUtilityNameViews.Count()) return;
    // One view per site utility, in the manager's order: the list is built again.
    DeleteNameViews(defaultUtilityNameViews);
    FillDefaultNameViews();
}

void HIDesignViewerScenario::SetEconomicData() {
    if (!economicDataEnum) economicDataEnum = new VarEnumInfo;
    economicDataEnum->DeleteEntries();
    if (!myScenario) return;
    for (int i = 0; i < myScenario->GetNumberOfEconomicData(); ++i) {
        const char* name = i == 0 ? "DEFAULT" : myScenario->GetEconomicDataName(i);
        economicDataEnum->AddEntry(i, name ? name : "");
    }
}

Text HIDesignViewerScenario::GetUnitNameFromMoniker(const Text& moniker) const {
    // ":Temperature" names the kind of quantity alone.
    if (!moniker.empty() && moniker[0] == ':') {
        const QuantityInfo* q = FindQuantityByName(Text(moniker.substr(1)));
        return q ? DefUnitConv(q->code, DefaultUnits).name : Text();
    }
    VarDescription var;
    if (!VarDescription::Parse(moniker, var)) return Text();
    return DefUnitConv(var.Final().Type(), DefaultUnits).name;
}
