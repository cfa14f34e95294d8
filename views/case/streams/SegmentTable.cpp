// The segment table: construction in either setting, change notices, commands, children and
// the record.
#include "views/case/streams/SegmentTable.h"

#include "brasko/CaseDocument.h"
#include "brasko/DefaultUtilManagerView.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/targeting/ITotalSiteUtilityManager.h"
#include "lumeth/CommandAnswer.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "views/EnginePointers.h"

#include <algorithm>

namespace {

const ObjectTypeInfo* typeNamed(const char* name) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->FindByClassOrName(name) : nullptr;
}

}  // namespace

SegmentTable::SegmentTable(Viewable* parent, IHeatIntegrationScenario* scenario, IHeatIntegrationStream* stream)
    : Viewable(parent, TypeName), myScenario(scenario), myStream(stream), myParentView(parent) {
    if (stream) SetName(stream->GetName());
    FillPlotTypes();
    ReadRawDataFlag();
    Register();
    BuildPlot();
}

SegmentTable::SegmentTable(Viewable* parent, ITotalSiteUtilityManager* siteManager, IHeatIntegrationStream* stream)
    : Viewable(parent, TypeName), mySiteManager(siteManager), myStream(stream), myParentView(parent) {
    if (stream) SetName(stream->GetName());
    FillPlotTypes();
    ReadRawDataFlag();
    Register();
    BuildPlot();
}

SegmentTable::SegmentTable(ObjectInstanceInfo& info) : Viewable(info) {
    myParentView = GetParent();
    FillPlotTypes();
}

SegmentTable::~SegmentTable() {
    plotTypeList.reset();
    TwoDimPlot* plot = myPlot;
    myPlot = nullptr;
    delete plot;
    auto deleteChild = [this](auto*& child) {
        Viewable* view = child;
        child = nullptr;
        if (!view) return;
        view->RemoveDeathPostee(this);
        delete view;
    };
    deleteChild(defaultUtilView);
    deleteChild(htcDatabaseView);
    DeletePlotParameters(myPlotParameters);
    Unregister();
}

void SegmentTable::FillPlotTypes() {
    plotTypeList = std::make_unique<VarEnumInfo>();
    plotTypeList->AddEntry(EnthalpyPlot, "Temperature vs Enthalpy");
    plotTypeList->AddEntry(DensityPlot, "Temperature vs Density");
    plotTypeList->AddEntry(ConductivityPlot, "Temperature vs Thermal Conductivity");
    plotTypeList->AddEntry(ViscosityPlot, "Temperature vs Viscosity");
}

void SegmentTable::ReadRawDataFlag() {
    hasRawData = myStream && myStream->GetNumberOfSubvalues("Raw_Temperature_DataSet") > 0;
}

void SegmentTable::Register() {
    Unregister();
    INotificationSender* owner = myScenario ? static_cast<INotificationSender*>(myScenario)
                                            : static_cast<INotificationSender*>(mySiteManager);
    if (owner && owner->AddNotificationReceiver(this)) {
        owner->AddValidMessage(this, 31);
        owner->AddValidMessage(this, 25);
        registeredOwner = owner;
    }
    if (myStream && myStream->AddNotificationReceiver(this)) {
        myStream->AddValidMessage(this, 37);
        registeredStream = myStream;
    }
}

void SegmentTable::Unregister() {
    if (registeredOwner) registeredOwner->RemoveNotificationReceiver(this);
    if (registeredStream) registeredStream->RemoveNotificationReceiver(this);
    registeredOwner = registeredStream = nullptr;
}

bool SegmentTable::IsLeftOutOfRecords() const { return !myScenario && mySiteManager; }

double SegmentTable::StreamValue(const char* name, int index) const {
    double value = EmptyValue;
    if (!myStream || !myStream->GetValue(name, value, index)) return EmptyValue;
    return value;
}

int SegmentTable::StreamRows(const char* name) const { return myStream ? myStream->GetNumberOfSubvalues(name) : 0; }

// ---- change notices ----

void SegmentTable::NotifyChange(int code, const CPString& text, void* /*data*/) {
    const CPString streamName = myStream ? myStream->GetName() : CPString();
    if (code == 25 || (code == 31 && text == streamName)) {
        // The scenario goes, or the stream: the table goes with it, and touches nothing after.
        delete this;
        return;
    }
    if (code == 37 && text == "Raw_Temperature_DataSet") AddRawCurve();
}

// ---- commands ----

int SegmentTable::Message(const Text& line) {
    Text word, rest;
    line.Token(word, rest);
    if (myStream) {
        const int segments = myStream->GetNumberOfSegments();
        // The segments of a stream of a retrofit study's existing network are that network's.
        const bool editsSegments = word == "InsSeg" || word == "DeleteSegment" || word == "DeleteAllSegments";
        if (editsSegments && myStream->IsHeldByRetrofitBase(nullptr)) {
            ErrorMsg("NoChangeinHENRBaseCase");
            return 0;
        }
        // The table's own words answer 1 when done and 0 when refused (with the refusal's
        // message); anything else is the framework's.
        if (word == "InsSeg") {
            // The target row past the last segment is no segment: there is nothing there to
            // split, as with no row selected.
            if (selectedRow < 0 || selectedRow >= segments) {
                ErrorMsg("InsertSegmentErrorMsg");
                return 0;
            } else {
                const int at = selectedRow + 1;
                myStream->InsertSegment(at);
                // The new segment takes the row's coefficient, and whose it is.
                ShiftOwnCoefficientRows(at, 1);
                MarkOwnCoefficientRow(at, IsOwnCoefficientRow(selectedRow));
                // The new segment below the row takes the row's coefficient and fouling.
                for (const char* name : {"CHTCoeff", "FoulingFactor"}) {
                    double value = EmptyValue;
                    if (myStream->GetValue(name, value, at)) myStream->SetValue(name, value, selectedRow);
                }
                double branches = EmptyValue;
                if (myStream->GetValue("MaxSplitBranches", branches, at)) myStream->SetValue("MaxSplitBranches", branches, 0);
                // The new segment has no temperature or load yet: the stream is incomplete and
                // the targets leave it out. The user is told so, and why, rather than seeing the
                // targets move. The segment is inserted all the same: what is left to do is a
                // notice beside the command's answer, not an error.
                if (!myStream->AreDesignSegmentsComplete())
                    NoteNotDone("InsertedSegmentIncomplete", {Text(myStream->GetName())});
                return 1;
            }
        } else if (word == "DeleteSegment") {
            // Deleting point i merges segments i-1 and i into the values of segment i, which
            // moves up a row: the mark of segment i-1 goes with its values.
            if (selectedRow <= 0 || selectedRow >= segments) {
                ErrorMsg("DeleteSegmentErrorMsg");
                return 0;
            }
            if (!myStream->DeleteSegment(selectedRow)) return 0;
            ShiftOwnCoefficientRows(selectedRow - 1, -1);
            return 1;
        } else if (word == "DeleteAllSegments") {
            int done = 1;
            while (done == 1 && myStream->GetNumberOfSegments() > 1)
                if ((done = myStream->DeleteSegment(1)) == 1) ShiftOwnCoefficientRows(0, -1);
            return done;
        } else if (word == "PlotViewStandAlone") {
            View("PlotStandAlone");
        } else if (word == "ViewHTCDefaultValueView") {
            ShowHTCDatabaseView();
        }
    }
    return Viewable::Message(line);
}

void SegmentTable::ShowHTCDatabaseView() {
    if (!htcDatabaseView) {
        htcDatabaseView = new HTCDatabaseView(this);
        htcDatabaseView->AddDeathPostee(this);
        IDefaultUtilityManager* manager = nullptr;
        if (myScenario && myScenario->GetDefaultUtilityManager(manager) == 1 && manager) htcDatabaseView->SetDUM(manager);
    }
    htcDatabaseView->View("HTCDefaultValueView");
}

bool SegmentTable::GenMessage(MessageInfo& info) {
    if (info.code == 6 && info.name == ":THDiagram") {
        info.answer = myPlot;
        return true;
    }
    return Viewable::GenMessage(info);
}

// ---- children ----

Text SegmentTable::AttachedName(const Viewable* child) const {
    if (!child) return Text();
    if (child == myPlot) return "TwoDimPlotNTW.200";
    if (child == myPlotParameters) return "Dim2GraphControl.200";
    if (child == htcDatabaseView) return "HTCDatabaseView.200";
    if (child == defaultUtilView) return "DefaultUtilManagerView.200";
    return Viewable::AttachedName(child);
}

Viewable* SegmentTable::AttachedObject(const VarDescription& var) {
    if (var.Flags() & VarDescription::FlagSelf) return this;
    const ObjectTypeInfo* info = var.IsObjectLink() ? typeNamed(var.ObjectType().c_str()) : nullptr;
    if (!info) return Viewable::AttachedObject(var);
    Viewable* found = nullptr;
    if (info->IsA(TypeName)) found = this;
    else if (info->IsA(HTCDatabaseView::TypeName)) found = htcDatabaseView;
    else if (info->IsA(DefaultUtilManagerView::TypeName)) found = defaultUtilView;
    else if (info->IsA("TwoDimPlotObject")) found = myPlot;
    else if (info->IsA("Dim2GraphControlObject")) found = myPlotParameters;
    else return Viewable::AttachedObject(var);
    const VarDescription* next = var.GetNextLink();
    if (found && next && next->IsObjectLink()) return found->AttachedObject(*next);
    return found;
}

void SegmentTable::DisconnectDeadObject(Viewable* dead) {
    if (static_cast<const void*>(dead) == static_cast<const void*>(htcDatabaseView)) htcDatabaseView = nullptr;
    if (static_cast<const void*>(dead) == static_cast<const void*>(defaultUtilView)) defaultUtilView = nullptr;
    if (dead == myPlot) myPlot = nullptr;
    if (dead == recalledPlot) recalledPlot = nullptr;
    if (dead == recalledDefaultUtilView) recalledDefaultUtilView = nullptr;
    if (dead == recalledHTCView) recalledHTCView = nullptr;
    Viewable::DisconnectDeadObject(dead);
}

// ---- record ----

bool SegmentTable::StoreClassData(BinaryFile& file) {
    // A table without a scenario writes an empty scenario link, so that its record reads back.
    const bool site = myScenario && myScenario->IsTotalSiteScenario();
    const bool hasStream = myStream != nullptr;
    return StorePlotParameters(file, myPlotParameters) && file.WriteBool(site) &&
           StoreScenarioPointer(file, myScenario) && file.WriteBool(hasStream) &&
           (!hasStream || file.WriteCPString(myStream->GetName())) && file.WriteInt(selectedRow) &&
           StorePointer(file, myPlot) && StorePointer(file, defaultUtilView) && StorePointer(file, htcDatabaseView) &&
           file.WriteInt(plotType) && file.WriteInt(static_cast<std::int32_t>(ownCoefficientRows.size())) &&
           std::all_of(ownCoefficientRows.begin(), ownCoefficientRows.end(),
                       [&](std::int32_t row) { return file.WriteInt(row); });
}

bool SegmentTable::RecallClassData(BinaryFile& file, int version) {
    recallVersion = version;
    if (!RecallPlotParameters(file, myPlotParameters, this)) return false;
    bool site = false;
    if (version > 3 && !file.ReadBool(site)) return false;
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    if (!(site ? RecallScenarioTotalSitePointer(file, manager, myScenario) : RecallScenarioPointer(file, manager, myScenario)))
        return false;
    bool hasStream = false;
    if (!file.ReadBool(hasStream)) return false;
    if (hasStream) {
        CPString name;
        if (!file.ReadCPString(name)) return false;
        IHeatIntegrationStream* stream = nullptr;
        if (myScenario && myScenario->GetStream(name, stream)) myStream = stream;
        SetName(name);
    }
    std::int32_t row = 0;
    if (!file.ReadInt(row)) return false;
    selectedRow = row;
    if (version >= 2 && !RecallPointerX(file, recalledPlot, typeNamed("TwoDimPlotNTW"))) return false;
    if (version >= 3 && (!RecallPointerX(file, recalledDefaultUtilView, typeNamed(DefaultUtilManagerView::TypeName)) ||
                         !RecallPointerX(file, recalledHTCView, typeNamed(HTCDatabaseView::TypeName))))
        return false;
    std::int32_t type = 0;
    if (version >= 5 && !file.ReadInt(type)) return false;
    // Only a type the list offers; another (a damaged record) shows the first.
    plotType = plotTypeList && plotTypeList->FindEntry(type) >= 0 ? type : 0;
    ownCoefficientRows.clear();
    if (version < 6) return true;
    std::int32_t count = 0;
    if (!file.ReadItemCount(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t row = 0;
        if (!file.ReadInt(row)) return false;
        MarkOwnCoefficientRow(row, true);
    }
    return true;
}

bool SegmentTable::RecallFixUp() {
    if (recalledPlot && recalledPlot->IsA("TwoDimPlotObject")) myPlot = static_cast<TwoDimPlot*>(recalledPlot);
    if (recalledHTCView && recalledHTCView->IsA(HTCDatabaseView::TypeName)) {
        htcDatabaseView = static_cast<HTCDatabaseView*>(recalledHTCView);
        htcDatabaseView->AddDeathPostee(this);
    }
    if (recalledDefaultUtilView && recalledDefaultUtilView->IsA(DefaultUtilManagerView::TypeName) &&
        !recalledDefaultUtilView->IsA(HTCDatabaseView::TypeName)) {
        defaultUtilView = static_cast<DefaultUtilManagerView*>(recalledDefaultUtilView);
        defaultUtilView->AddDeathPostee(this);
    }
    recalledPlot = recalledDefaultUtilView = recalledHTCView = nullptr;
    IDefaultUtilityManager* manager = nullptr;
    if ((defaultUtilView || htcDatabaseView) && myScenario && myScenario->GetDefaultUtilityManager(manager) == 1) {
        if (defaultUtilView) defaultUtilView->SetDUM(manager);
        if (htcDatabaseView) htcDatabaseView->SetDUM(manager);
    }
    ReadRawDataFlag();
    Register();
    // Plots are rebuilt rather than stored: a record of any version without one gets it anew.
    if (!myPlot) BuildPlot();
    return true;
}
