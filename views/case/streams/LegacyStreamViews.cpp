#include "views/case/streams/LegacyStreamViews.h"

#include "brasko/CaseDocument.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/VarEnumInfo.h"
#include "lumeth/ViewRecords.h"
#include "views/EnginePointers.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/streams/SegmentTable.h"

#include <algorithm>

namespace {

const ObjectTypeInfo* typeNamed(const char* name) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->FindByClassOrName(name) : nullptr;
}

// A record linking a view that owns the one read (or that view itself) as one it owns: damage,
// named with the view linked.
bool RefuseOwnerLink(const Viewable& linked) {
    const ObjectTypeInfo* type = linked.GetViewType();
    return ViewRecords::Refuse("it links its own owner, the view \"" +
                               std::string(type ? type->GetName().c_str() : "") + "\" \"" +
                               std::string(linked.GetName().c_str()) + "\", as one it owns");
}

// Deletes a view this one owns, after leaving its postee list. A link to the view itself or to
// one of its owners (a damaged record's) is only let go of: that view is deleting this one.
void deleteOwned(Viewable* owner, Viewable*& view) {
    Viewable* v = view;
    view = nullptr;
    if (!v || owner->IsSelfOrOwner(v)) return;
    v->RemoveDeathPostee(owner);
    delete v;
}

}  // namespace

// ---- ProcessStream ----

ProcessStream::~ProcessStream() {
    delete choices;
    choices = nullptr;
    deleteOwned(this, plot);
    DeletePlotParameters(plotParameters);
    deleteOwned(this, segmentTable);
}

bool ProcessStream::RecallClassData(BinaryFile& file, int version) {
    CPString t;
    if (!file.ReadCPString(t)) return false;
    text = t;
    if (!file.ReadBool(flag)) return false;
    for (double& v : values)
        if (!file.ReadDouble(v)) return false;
    for (int i = 0; i < 3; ++i)
        if (!file.ReadInt(integers[i])) return false;
    if (!RecallScenarioPointer(file, CaseEngineeringManager2(this), scenario)) return false;
    bool hasText = false;
    if (!file.ReadBool(hasText)) return false;
    CPString dropped;
    if (hasText && !file.ReadCPString(dropped)) return false;
    if (!RecallPointerX(file, segmentTable, typeNamed(SegmentTable::TypeName))) return false;
    if (!file.ReadInt(integers[3])) return false;
    if (!RecallPlotParameters(file, plotParameters, this)) return false;
    return version < 3 || RecallPointerX(file, plot, typeNamed("TwoDimPlotNTW"));
}

// The table and plot it names are watched, so that one another view deletes first is not
// deleted again. The view deletes them when it goes: a record that names the view itself or one
// of its owners (its own parent table) is damage.
bool ProcessStream::CheckRecalledPointers() {
    for (Viewable* v : {segmentTable, plot})
        if (v && IsSelfOrOwner(v)) return RefuseOwnerLink(*v);
    for (Viewable* v : {segmentTable, plot})
        if (v) v->AddDeathPostee(this);
    return true;
}

bool ProcessStream::RecallFixUp() {
    delete this;
    return true;
}

void ProcessStream::DisconnectDeadObject(Viewable* dead) {
    if (dead == segmentTable) segmentTable = nullptr;
    if (dead == plot) plot = nullptr;
    Viewable::DisconnectDeadObject(dead);
}

// ---- HenEngData ----

HenEngData::HenEngData(ObjectInstanceInfo& info) : Viewable(info), plotList(new HenPlotList) {}

HenEngData::~HenEngData() {
    HenPlotList* plots = plotList;
    plotList = nullptr;
    delete plots;
    while (segmentTables.Count() > 0) {
        Viewable* table = segmentTables[segmentTables.Count() - 1];
        segmentTables.RemoveAt(segmentTables.Count() - 1);
        deleteOwned(this, table);
    }
    for (Viewable* v : {processStream, caseView})
        if (v && v != this) v->RemoveDeathPostee(this);
    textList.Clear();
}

bool HenEngData::RecallClassData(BinaryFile& file, int) {
    for (std::int32_t& n : integers)
        if (!file.ReadInt(n)) return false;
    CPString text;
    if (!file.ReadCPString(text)) return false;
    name = text;
    for (double& v : numbers)
        if (!file.ReadDouble(v)) return false;
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    if (!RecallScenarioPointer(file, manager, scenario) || !RecallDesignPointer(file, manager, design) ||
        !RecallPointerX(file, processStream, typeNamed("ProcessStreamObject")) ||
        !RecallPointerX(file, caseView, typeNamed("ProcessIntegrationObject")) || !file.ReadInt(flagA) ||
        !file.ReadInt(flagB))
        return false;
    std::int32_t count = 0;
    if (!file.ReadItemCount(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        recalledTables.push_back(nullptr);
        if (!RecallPointerX(file, recalledTables.back(), typeNamed(SegmentTable::TypeName))) return false;
    }
    if (!file.ReadItemCount(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        if (!file.ReadCPString(text)) return false;
        textList.Append(Text(text));
    }
    return true;
}

bool HenEngData::CheckRecalledPointers() {
    // The tables it names die with it: one of them its own owner is damage.
    for (Viewable* v : recalledTables)
        if (v && IsSelfOrOwner(v)) return RefuseOwnerLink(*v);
    for (Viewable* v : recalledTables)
        if (v && v->IsA(SegmentTable::TypeName) && segmentTables.Find(static_cast<SegmentTable*>(v)) < 0) {
            segmentTables.Append(static_cast<SegmentTable*>(v));
            v->AddDeathPostee(this);
        }
    recalledTables.clear();
    for (Viewable* v : {processStream, caseView})
        if (v && v != this) v->AddDeathPostee(this);
    return true;
}

void HenEngData::DisconnectDeadObject(Viewable* dead) {
    segmentTables.RemoveAllAt(dead);
    std::replace(recalledTables.begin(), recalledTables.end(), dead, static_cast<Viewable*>(nullptr));
    if (dead == processStream) processStream = nullptr;
    if (dead == caseView) caseView = nullptr;
    if (plotList) plotList->Remove(reinterpret_cast<chiPlot*>(dead));
    Viewable::DisconnectDeadObject(dead);
}
