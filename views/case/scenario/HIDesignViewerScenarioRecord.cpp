// The scenario viewer in the case file: version 24 is written; every version from 1 to 24 is
// read, older ones taking the defaults of what they lack and their fix-ups after the case is read.
#include "brasko/CaseDocument.h"
#include "brasko/DefaultUtilManagerView.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/ViewRecords.h"
#include "views/EnginePointers.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/streams/LinkTableCollection.h"
#include "views/case/streams/SegmentTable.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/plots/ChiSuperTargetPlot.h"
#include "views/plots/ChiTable.h"
#include "views/plots/chiPlot.h"

#include <algorithm>
#include <deque>
#include <map>

namespace {

const ObjectTypeInfo* typeNamed(const char* name) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->FindByClassOrName(name) : nullptr;
}

template <typename V>
bool storeList(BinaryFile& file, const HVector<V*>& list) {
    if (!file.WriteInt(list.Count())) return false;
    for (const V* view : list)
        if (!Viewable::StorePointer(file, view)) return false;
    return true;
}

// A count and that many links. The slots stay where they are until the framework fills them.
bool recallList(BinaryFile& file, std::deque<Viewable*>& slots, const char* type) {
    std::int32_t n = 0;
    if (!file.ReadItemCount(n)) return false;
    const ObjectTypeInfo* info = typeNamed(type);
    for (std::int32_t i = 0; i < n; ++i) {
        slots.push_back(nullptr);
        if (!Viewable::RecallPointerX(file, slots.back(), info)) return false;
    }
    return true;
}

bool writeByte(BinaryFile& file, bool value) { return file.WriteChar(value ? 1 : 0); }
bool readByte(BinaryFile& file, bool& value) {
    char c = 0;
    if (!file.ReadChar(c)) return false;
    value = c != 0;
    return true;
}

}  // namespace

// The links of a record wait here until the whole case is read.
struct HIDesignViewerScenario::RecalledLinks {
    Viewable* currentDesign = nullptr;
    std::deque<Viewable*> designs, segmentTables, tables, plots, processTables, utilityTables;
    Viewable* generalPlot = nullptr;
    Viewable* superTargetPlot = nullptr;
    Viewable* defaultUtilManagerView = nullptr;
    Viewable* htcDatabaseView = nullptr;
    Viewable* linkTableCollection = nullptr;
    Viewable* oldTwoDimPlotA = nullptr;
    Viewable* oldTwoDimPlotB = nullptr;
    Viewable* popUps[6] = {};
};

void HIDesignViewerScenario::DeleteRecalledLinks() {
    delete recalled;
    recalled = nullptr;
}

bool HIDesignViewerScenario::StoreClassData(BinaryFile& file) {
    const bool totalSite = myScenario && myScenario->IsTotalSiteScenario();
    bool ok = writeByte(file, totalSite) && StoreScenarioPointer(file, myScenario) && StorePointer(file, currentDesign) &&
              storeList(file, designObjs) && file.WriteInt(spareInt) && file.WriteInt(tableColumn) &&
              file.WriteInt(processRow) && file.WriteInt(option540) && file.WriteInt(option1519_660) &&
              file.WriteInt(option1519_515) && file.WriteInt(option1519_516) && file.WriteInt(option105_127) &&
              file.WriteCPString(spareText) && file.WriteInt(option100_202) && file.WriteInt(selectedPlot) &&
              file.WriteInt(selectedMainPlot) && file.WriteInt(selectedLeftPlot) && file.WriteInt(selectedRightPlot) &&
              file.WriteInt(retroSelectedMainPlot) && storeList(file, segmentTables) &&
              // The design name typed for the next design command is a form entry, not part of
              // the case (a reader drops it): the field is written empty, so that a command
              // refused with a name typed leaves the saved case as it was.
              file.WriteCPString(CPString()) && file.WriteInt(option105_203);
    if (!ok) return false;
    const int tables = henTableList ? henTableList->Count() : 0;
    if (!file.WriteInt(tables)) return false;
    for (int i = 0; i < tables; ++i)
        if (!StorePointer(file, henTableList->GetIth(i))) return false;
    const int plots = henPlotList ? henPlotList->Count() : 0;
    if (!file.WriteInt(plots)) return false;
    for (int i = 0; i < plots; ++i)
        if (!StorePointer(file, henPlotList->GetIth(i))) return false;
    return file.WriteInt(processHTCDefaultIndex) && file.WriteInt(option100_203) &&
           storeList(file, processSegmentTableVector) && storeList(file, utilitySegmentTableVector) &&
           file.WriteInt(option100_250) && file.WriteInt(option100_251) && StorePointer(file, generalPlot) &&
           file.WriteInt(showDesignSeries) && file.WriteInt(showTargetSeries) && StorePointer(file, superTargetPlot) &&
           file.WriteInt(option100_249) && file.WriteInt(option100_247) && file.WriteInt(option100_248) &&
           file.WriteInt(option100_245) && file.WriteInt(option100_246) && file.WriteInt(extractedData) &&
           file.WriteInt(option100_204) && writeByte(file, flag104_310) && writeByte(file, flag104_311) &&
           writeByte(file, flag104_312) && writeByte(file, flag104_313) && writeByte(file, flag104_314) &&
           writeByte(file, flag104_270) && StorePointer(file, myDefaultUtilManagerView) &&
           StorePointer(file, myHTCDatabaseView) && writeByte(file, showManagerFlag400) &&
           writeByte(file, showManagerFlag409) && file.WriteInt(intArray109_250[0]) &&
           file.WriteInt(intArray109_250[1]) && file.WriteInt(intArray109_250[2]) &&
           StorePointer(file, linkTableCollection);
}

bool HIDesignViewerScenario::RecallClassData(BinaryFile& file, int version) {
    const int v = version;
    recallVersion = v;
    DeleteRecalledLinks();
    recalled = new RecalledLinks;
    RecalledLinks& links = *recalled;
    IEngineeringManager* manager = CaseEngineeringManager2(this);

    // 1, 2, 3: the project of old records, the total-site byte, the scenario.
    if (v < 5) {
        IHeatIntegrationProject* project = nullptr;
        if (!RecallProjectPointer(file, manager, project)) return false;
    }
    bool totalSite = false;
    if (v > 23 && !readByte(file, totalSite)) return false;
    IHeatIntegrationScenario* scenario = nullptr;
    const bool found = totalSite ? RecallScenarioTotalSitePointer(file, manager, scenario)
                                 : RecallScenarioPointer(file, manager, scenario);
    if (!found) return false;
    myScenario = scenario;
    SetEngineeringScenario(myScenario, 1);

    // 4 to 8.
    if (!RecallPointerX(file, links.currentDesign, typeNamed(HIDesignViewerDesign::TypeName)) ||
        !recallList(file, links.designs, HIDesignViewerDesign::TypeName) || !file.ReadInt(spareInt) ||
        !file.ReadInt(tableColumn))
        return false;
    processRow = 0;
    if (v > 8) {
        if (!file.ReadInt(processRow)) return false;
        const int processStreams = myScenario ? myScenario->GetNumberOfProcessStreams() : 0;
        if (processRow < 0 || processRow > processStreams) processRow = 0;
    }
    if (!file.ReadInt(option540) || !file.ReadInt(option1519_660) || !file.ReadInt(option1519_515) ||
        !file.ReadInt(option1519_516) || !file.ReadInt(option105_127))
        return false;
    // 9: the two integer settings of the super-target plot in records before version 13.
    if (v < 13) {
        BuildSuperTargetPlot();
        std::int32_t active = 0, entered = 0;
        if (!file.ReadInt(active) || !file.ReadInt(entered)) return false;
        superTargetPlot->SetInsertSettings(active, entered);
    }
    // 10 to 15.
    if (!file.ReadCPString(spareText) || !file.ReadInt(option100_202)) return false;
    if (v < 7 && !file.ReadInt(oldValue)) return false;
    if (!file.ReadInt(selectedPlot) || !file.ReadInt(selectedMainPlot) || !file.ReadInt(selectedLeftPlot) ||
        !file.ReadInt(selectedRightPlot))
        return false;
    if (v > 5 && !file.ReadInt(retroSelectedMainPlot)) return false;
    if (!recallList(file, links.segmentTables, SegmentTable::TypeName)) return false;
    if (v < 5) {
        std::int32_t n = 0;
        if (!file.ReadItemCount(n)) return false;
        for (std::int32_t i = 0; i < n; ++i) {
            CPString dropped;
            if (!file.ReadCPString(dropped)) return false;
        }
    }
    // 16: the quantities of the super-target plot's axes.
    if (v < 13) {
        std::int32_t x = 10, left = 10, right = 10;
        if (!file.ReadInt(x) || !file.ReadInt(left) || !file.ReadInt(right)) return false;
        superTargetPlot->SetXQuantity(x);
        superTargetPlot->SetLeftQuantity(left);
        superTargetPlot->SetRightQuantity(right);
    }
    // 17: plot parameters of records 5 to 12.
    if (v >= 5 && v <= 12) {
        DeletePlotParameters(oldPlotParameters);
        if (!RecallPlotParameters(file, oldPlotParameters, this)) return false;
    }
    // 18 to 22.
    if (!file.ReadCPString(newDesignName)) return false;
    newDesignName.clear();
    if (!file.ReadInt(option105_203)) return false;
    if (option105_203 == 0) option105_203 = 3;
    if (!recallList(file, links.tables, ChiTable::TypeName) || !recallList(file, links.plots, chiPlot::TypeName))
        return false;
    if (v < 6) BuildPlots();
    if (v > 1 && !file.ReadInt(processHTCDefaultIndex)) return false;
    // 23 to 27: views of old records that the fix-up deletes.
    if (v >= 3 && v <= 12 && !RecallPointerX(file, links.oldTwoDimPlotB, typeNamed("TwoDimPlotNTW"))) return false;
    if (v >= 7 && v <= 19)
        for (Viewable*& popUp : links.popUps)
            if (!RecallPointerX(file, popUp, typeNamed("chiPopUpObject"))) return false;
    if (v > 7 && !file.ReadInt(option100_203)) return false;
    if (v > 9 && (!recallList(file, links.processTables, SegmentTable::TypeName) ||
                  !recallList(file, links.utilityTables, SegmentTable::TypeName)))
        return false;
    if (v == 11 && !RecallPointerX(file, links.oldTwoDimPlotA, typeNamed("TwoDimPlotNTW"))) return false;
    // 28: the range-target plots.
    if (v > 12) {
        const ObjectTypeInfo* plotType = typeNamed(ChiSuperTargetPlot::TypeName);
        if (!file.ReadInt(option100_250) || !file.ReadInt(option100_251) ||
            !RecallPointerX(file, links.generalPlot, plotType) || !file.ReadInt(showDesignSeries) ||
            !file.ReadInt(showTargetSeries) || !RecallPointerX(file, links.superTargetPlot, plotType))
            return false;
    } else {
        BuildGeneralPlots();
        option100_250 = 1;
    }
    // 29 to 37.
    if (v > 13 && (!file.ReadInt(option100_249) || !file.ReadInt(option100_247) || !file.ReadInt(option100_248)))
        return false;
    if (v > 14 && (!file.ReadInt(option100_245) || !file.ReadInt(option100_246))) return false;
    if (v > 15 && (!file.ReadInt(extractedData) || !file.ReadInt(option100_204))) return false;
    if (v > 16 && (!readByte(file, flag104_310) || !readByte(file, flag104_311) || !readByte(file, flag104_312) ||
                   !readByte(file, flag104_313) || !readByte(file, flag104_314) || !readByte(file, flag104_270)))
        return false;
    if (v > 17 && (!RecallPointerX(file, links.defaultUtilManagerView, typeNamed(DefaultUtilManagerView::TypeName)) ||
                   !RecallPointerX(file, links.htcDatabaseView, typeNamed(HTCDatabaseView::TypeName))))
        return false;
    if (v > 18 && !readByte(file, showManagerFlag400)) return false;
    if (v > 20 && !readByte(file, showManagerFlag409)) return false;
    if (v > 21 && (!file.ReadInt(intArray109_250[0]) || !file.ReadInt(intArray109_250[1]) ||
                   !file.ReadInt(intArray109_250[2])))
        return false;
    if (v > 22 && !RecallPointerX(file, links.linkTableCollection, typeNamed(LinkTableCollection::TypeName)))
        return false;
    return true;
}

// The links are filled now: the recalled children join their lists (the viewer hears of their
// death like that of the children it builds itself).
bool HIDesignViewerScenario::CheckRecalledPointers() {
    if (!RecalledLinksOwnDistinctViews()) return false;
    AdoptRecalledChildren();
    return true;
}

// The viewer owns what its record links to, each child in one place: one view named as two
// children (the general plot and the super-target plot, a plot and a table) would be deleted
// twice. A list may name one of its own views again (it is taken once); the process and utility
// table lists only point into the segment tables.
bool HIDesignViewerScenario::RecalledLinksOwnDistinctViews() const {
    if (!recalled) return true;
    const RecalledLinks& links = *recalled;
    std::map<const Viewable*, int> place;
    int role = 0;
    const auto claim = [&](const Viewable* view) {
        if (!view) return true;
        const auto [it, added] = place.emplace(view, role);
        if (added || it->second == role) return true;
        const ObjectTypeInfo* type = view->GetViewType();
        return ViewRecords::Refuse("it links the view \"" + std::string(type ? type->GetName().c_str() : "") + "\" \"" +
                                   std::string(view->GetName().c_str()) + "\" as two of its children");
    };
    const auto claimAll = [&](const std::deque<Viewable*>& list) {
        ++role;
        return std::all_of(list.begin(), list.end(), claim);
    };
    const auto claimOne = [&](const Viewable* view) {
        ++role;
        return claim(view);
    };
    bool distinct = claimAll(links.designs) && claimAll(links.segmentTables) && claimAll(links.tables) &&
                    claimAll(links.plots) && claimOne(links.generalPlot) && claimOne(links.superTargetPlot) &&
                    claimOne(links.defaultUtilManagerView) && claimOne(links.htcDatabaseView) &&
                    claimOne(links.linkTableCollection) && claimOne(links.oldTwoDimPlotA) &&
                    claimOne(links.oldTwoDimPlotB);
    for (const Viewable* popUp : links.popUps) distinct = distinct && claimOne(popUp);
    return distinct;
}

void HIDesignViewerScenario::AdoptRecalledChildren() {
    if (!recalled) return;
    RecalledLinks& links = *recalled;
    for (Viewable* view : links.designs)
        if (view && view->IsA(HIDesignViewerDesign::TypeName) && designObjs.Find(static_cast<HIDesignViewerDesign*>(view)) < 0) {
            designObjs.Append(static_cast<HIDesignViewerDesign*>(view));
            view->AddDeathPostee(this);
        }
    if (links.currentDesign && links.currentDesign->IsA(HIDesignViewerDesign::TypeName))
        currentDesign = static_cast<HIDesignViewerDesign*>(links.currentDesign);
    auto adoptTables = [&](std::deque<Viewable*>& from, HVector<SegmentTable*>& to) {
        for (Viewable* view : from)
            if (view && view->IsA(SegmentTable::TypeName) && to.Find(static_cast<SegmentTable*>(view)) < 0) {
                to.Append(static_cast<SegmentTable*>(view));
                view->AddDeathPostee(this);
            }
    };
    adoptTables(links.segmentTables, segmentTables);
    adoptTables(links.processTables, processSegmentTableVector);
    adoptTables(links.utilityTables, utilitySegmentTableVector);
    if (!henTableList) henTableList = new HenTableList;
    for (Viewable* view : links.tables)
        if (view && view->IsA(ChiTable::TypeName) && henTableList->IndexOf(static_cast<ChiTable*>(view)) < 0) {
            henTableList->Add(static_cast<ChiTable*>(view));
            view->AddDeathPostee(this);
        }
    if (recallVersion > 5)
        for (Viewable* view : links.plots)
            if (view && view->IsA(chiPlot::TypeName)) AddPlot(static_cast<chiPlot*>(view));
    if (recallVersion > 12) {
        auto adoptPlot = [&](Viewable* view, ChiSuperTargetPlot*& field) {
            if (!view || !view->IsA(ChiSuperTargetPlot::TypeName) || field) return;
            field = static_cast<ChiSuperTargetPlot*>(view);
            view->AddDeathPostee(this);
        };
        adoptPlot(links.generalPlot, generalPlot);
        adoptPlot(links.superTargetPlot, superTargetPlot);
    }
    if (!myDefaultUtilManagerView && links.defaultUtilManagerView &&
        links.defaultUtilManagerView->IsA(DefaultUtilManagerView::TypeName) &&
        !links.defaultUtilManagerView->IsA(HTCDatabaseView::TypeName)) {
        myDefaultUtilManagerView = static_cast<DefaultUtilManagerView*>(links.defaultUtilManagerView);
        myDefaultUtilManagerView->AddDeathPostee(this);
    }
    if (!myHTCDatabaseView && links.htcDatabaseView && links.htcDatabaseView->IsA(HTCDatabaseView::TypeName)) {
        myHTCDatabaseView = static_cast<HTCDatabaseView*>(links.htcDatabaseView);
        myHTCDatabaseView->AddDeathPostee(this);
    }
    if (!linkTableCollection && links.linkTableCollection &&
        links.linkTableCollection->IsA(LinkTableCollection::TypeName)) {
        linkTableCollection = static_cast<LinkTableCollection*>(links.linkTableCollection);
        linkTableCollection->AddNotificationReceiver(this);
        linkTableCollection->AddValidMessage(this, LinkTableCollection::DeleteLink);
        linkTableCollection->AddDeathPostee(this);
    }
    oldTwoDimPlotA = links.oldTwoDimPlotA;
    oldTwoDimPlotB = links.oldTwoDimPlotB;
}

bool HIDesignViewerScenario::RecallFixUp() {
    const int v = recallVersion;
    RecalledLinks* links = recalled;
    recalled = nullptr;
    if (links) {
        // Views of old records that are not kept: the pop-ups, and the plots of records before
        // version 6 (the sixteen standard plots were built in their place).
        std::vector<Viewable*> dropped;
        auto drop = [&](Viewable* view, const char* type) {
            // Only a view of the kind the record names, and each once.
            if (!view || view == this || !view->IsA(type)) return;
            if (std::find(dropped.begin(), dropped.end(), view) != dropped.end()) return;
            if (henPlotList && henPlotList->IndexOf(reinterpret_cast<chiPlot*>(view)) >= 0) return;
            dropped.push_back(view);
        };
        for (Viewable* view : links->popUps) drop(view, "chiPopUpObject");
        if (v < 6)
            for (Viewable* view : links->plots) drop(view, chiPlot::TypeName);
        delete links;
        // A view deleted earlier in this loop may have taken later ones with it.
        std::vector<std::weak_ptr<const bool>> alive;
        for (Viewable* view : dropped) alive.push_back(view->LifeToken());
        for (std::size_t i = 0; i < dropped.size(); ++i)
            if (!alive[i].expired()) delete dropped[i];
    }
    // The editors get the scenario's manager; a missing one is made.
    IDefaultUtilityManager* manager = nullptr;
    if (myScenario && myScenario->GetDefaultUtilityManager(manager) && manager) {
        if (myDefaultUtilManagerView) myDefaultUtilManagerView->SetDUM(manager);
        if (myHTCDatabaseView) myHTCDatabaseView->SetDUM(manager);
    }
    SetMyDefaultUtilManagerView();
    SetMyHTCDatabaseView();
    // Design viewers have no record of their own yet, so none came back: the viewer makes one per
    // design of its scenario, as binding does.
    if (designObjs.IsEmpty() && myScenario) {
        std::vector<Text> names;
        for (int i = 0; i < myScenario->GetNumberOfDesigns(); ++i)
            if (const char* name = myScenario->GetDesignName(i)) names.push_back(name);
        for (const Text& name : names) AddDesign(name);
    }

    // 1. Segment tables of records before version 10 by their stream's kind.
    if (v < 10) {
        for (SegmentTable* table : segmentTables) {
            IHeatIntegrationStream* stream = table->GetStream();
            if (!stream || stream->GetNumberOfSegments() < 2) continue;
            HVector<SegmentTable*>& list = stream->GetStreamKind() != 0 ? utilitySegmentTableVector : processSegmentTableVector;
            if (list.Find(table) < 0) list.Append(table);
        }
    }
    // 2. Plots of old records.
    auto deleteOld = [this](Viewable*& view) {
        Viewable* old = view;
        view = nullptr;
        if (old && old != this && old->IsA("TwoDimPlotObject")) delete old;
    };
    if (v == 11) deleteOld(oldTwoDimPlotA);
    if (v == 11 || (v >= 3 && v <= 12)) deleteOld(oldTwoDimPlotB);
    // 3 to 5.
    if (v < 13) return true;
    if (v < 22 && generalPlot) {
        generalPlot->SetMode(0);
        generalPlot->SetLeftQuantity(generalPlot->GetLeftQuantity());
        generalPlot->SetRightQuantity(generalPlot->GetRightQuantity());
        generalPlot->SetXQuantity(generalPlot->GetXQuantity());
    }
    if (superTargetPlot) superTargetPlot->SetMode(1);
    return true;
}
