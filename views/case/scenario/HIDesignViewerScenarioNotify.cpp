// The scenario viewer bound to its scenario: registration, the change codes of the scenario, its
// default-utility manager and the stream-link list, dying children and the selected design.
#include "brasko/DefaultUtilManagerView.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/StreamLynxCollection.h"
#include "lumeth/Session.h"
#include "views/case/DataExtractionView.h"
#include "views/case/ChiView.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/scenario/UtilityNameView.h"
#include "views/case/streams/LinkTableCollection.h"
#include "views/case/streams/SegmentTable.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/EngineNotices.h"
#include "views/plots/ChiSuperTargetPlot.h"
#include "views/plots/ChiTable.h"
#include "views/plots/chiPlot.h"

#include <cstdlib>

namespace {

// The codes the viewer takes from its scenario, in the order it asks for them.
constexpr int kScenarioCodes[] = {0, 2, 25, 26, 30, 31, 32, 66, 1, 60, 61, 62, 64, 33, 34, 87, 94, 96, 113, 114};
constexpr int kManagerCodes[] = {55, 56, 57, 62};

}  // namespace

void HIDesignViewerScenario::Register(IHeatIntegrationScenario* scenario) {
    scenario->AddNotificationReceiver(this);
    for (int code : kScenarioCodes) scenario->AddValidMessage(this, code);
}

void HIDesignViewerScenario::RegisterWithManager() {
    IDefaultUtilityManager* manager = nullptr;
    if (!myScenario || !myScenario->GetDefaultUtilityManager(manager) || !manager) return;
    manager->AddNotificationReceiver(this);
    for (int code : kManagerCodes) manager->AddValidMessage(this, code);
}

void HIDesignViewerScenario::SetEngineeringScenario(IHeatIntegrationScenario* scenario, int recalling) {
    myScenario = scenario;
    if (!scenario) return;
    Register(scenario);
    BuildUtilityDropDownList();
    // A viewer bound a second time keeps one list of each; the plots of the first binding go.
    delete henPlotList;
    henPlotList = new HenPlotList;
    delete henTableList;
    henTableList = new HenTableList;

    if (recalling == 0) {
        for (int i = 0; i < scenario->GetNumberOfDesigns(); ++i) {
            const char* name = scenario->GetDesignName(i);
            if (name) AddDesign(name);
        }
        BuildSuperTargetPlot();
        BuildPlots();
        BuildGeneralPlots();
        for (int i = 0; i < scenario->GetNumberOfDesigns(); ++i) {
            IHENDesign* design = nullptr;
            if (!scenario->GetDesign(i, design, 0) || !design) continue;
            const char* name = scenario->GetDesignName(i);
            if (!name) continue;
            for (int p = 0; p < henPlotList->Count(); ++p) {
                chiPlot* plot = henPlotList->GetIth(p);
                plot->Update_ALPHA(name, Text(), 0);
                plot->Update_Retrofit_ALPHA(name, Text(), 0);
                plot->Update_PaybackInvest(name, Text(), 0);
                plot->Update_InvestSaving(name, Text(), 0);
                plot->Update_AreaLoad(name, Text(), 0);
            }
        }
        for (int i = 0; i < scenario->GetNumberOfDesigns(); ++i) {
            IHENDesign* design = nullptr;
            const char* name = scenario->GetDesignName(i);
            if (scenario->GetDesign(i, design, 0) && design && name && generalPlot) generalPlot->UpdateDesign(name, Text(), 0);
        }
        const int streams = scenario->GetNumberOfUtilityStreams() + scenario->GetNumberOfProcessStreams();
        for (int i = 0; i < streams; ++i) {
            IHeatIntegrationStream* stream = nullptr;
            if (!scenario->GetStream(i, stream) || !stream || stream->GetNumberOfSegments() <= 1) continue;
            SegmentTable* table = NewSegmentTable(stream);
            if (stream->GetStreamKind() == 0) processSegmentTableVector.Append(table);
            else if (stream->GetStreamKind() == 1) utilitySegmentTableVector.Append(table);
        }
    }
    RegisterWithManager();
    // A viewer bound again builds its name views afresh rather than adding a second set.
    DeleteNameViews(utilityNameViews);
    const int utilities = scenario->GetNumberOfStreamsOfKind(1, 2);
    for (int i = 0; i < utilities; ++i) {
        IHeatIntegrationStream* stream = nullptr;
        if (scenario->GetStreamOfKind(i, stream, 1, 2) && stream) utilityNameViews.Append(NewNameView(stream->GetName()));
    }
    if (recalling == 0) {
        SetMyDefaultUtilManagerView();
        SetMyHTCDatabaseView();
        // A scenario that holds temperature links before any viewer saw them made (a copy) shows
        // them as one whose links were made under the viewer does.
        if (scenario->GetStreamLinkCollection()) NotifyChange(113, CPString(), nullptr);
    }
    NotifyChange(67, CPString(), nullptr);
}

void HIDesignViewerScenario::UpdatePlotsForDesign(const Text& name, const Text& newName, int mode) {
    if (henPlotList) {
        for (int p = 0; p < henPlotList->Count(); ++p) {
            chiPlot* plot = henPlotList->GetIth(p);
            plot->Update_ALPHA(name, newName, mode);
            plot->Update_Retrofit_ALPHA(name, newName, mode);
            plot->Update_PaybackInvest(name, newName, mode);
            plot->Update_InvestSaving(name, newName, mode);
            plot->Update_AreaLoad(name, newName, mode);
        }
    }
    if (generalPlot) generalPlot->UpdateDesign(name, newName, mode);
}

void HIDesignViewerScenario::ReplaceDefaultUtilities() {
    DeleteNameViews(defaultUtilityNameViews);
    if (DefaultUtilManagerView* editor = myDefaultUtilManagerView) {
        myDefaultUtilManagerView = nullptr;
        editor->RemoveDeathPostee(this);
        delete editor;
    }
    IDefaultUtilityManager* manager = nullptr;
    if (!myScenario || !myScenario->GetDefaultUtilityManager(manager) || !manager) return;
    // The scenario replaced its manager by a new one: listen to the new one.
    RegisterWithManager();
    for (int i = 0; i < manager->GetNumberOfDefaultUtilities(); ++i) {
        const char* name = manager->GetRecommendedUtilityName(i);
        defaultUtilityNameViews.Append(NewNameView(name ? name : ""));
    }
    myDefaultUtilManagerView = new DefaultUtilManagerView(this);
    myDefaultUtilManagerView->AddDeathPostee(this);
    myDefaultUtilManagerView->SetDUM(manager);
}

void HIDesignViewerScenario::DeleteLinksOfStream(void* data) {
    if (!myScenario || !data) return;
    StreamLynxCollection* links = myScenario->GetStreamLinkCollection();
    if (!links) return;
    // The link may be one of those deleted: its stream is read once, before any goes.
    const IHeatIntegrationStream* stream = static_cast<StreamLynx*>(data)->GetLinkedStream();
    if (!stream) return;
    links->DeleteLinksOf(stream);
}

void HIDesignViewerScenario::NotifyChange(int code, const CPString& text, void* data) {
    IHeatIntegrationStream* stream = nullptr;
    auto findStream = [&]() { return myScenario && myScenario->GetStream(text, stream) && stream; };
    switch (code) {
        case 0: {
            if (!myScenario) return;
            AddDesign(text);
            IHENDesign* design = nullptr;
            if (myScenario->GetDesign(text, design) && design) UpdatePlotsForDesign(text, Text(), 0);
            return;
        }
        case 1: {
            UpdatePlotsForDesign(text, Text(), code);
            // The view of a design that is gone goes too (its death takes it out of the lists).
            const int at = FindDesignMatch(text);
            if (HIDesignViewerDesign* gone = at >= 0 ? designObjs[at] : nullptr) delete gone;
            return;
        }
        case 2: {
            UpdatePlotsForDesign(text, code == 2 && data ? Text(static_cast<const char*>(data)) : Text(), code);
            // The design's viewer is found by the design's name: it takes the new one, whoever
            // renamed the design.
            const int at = data ? FindDesignMatch(text) : -1;
            if (at >= 0) designObjs[at]->SetName(static_cast<const char*>(data));
            return;
        }
        case 25:
            // The scenario is going: so is its viewer. Nothing of this object is touched after.
            delete this;
            return;
        case 26: SetName(text); return;
        case 30:
            if (findStream() && stream->GetStreamKind() == 1) {
                utilityNameViews.Append(NewNameView(text));
                if (myScenario->IsTotalSiteScenario()) UpdateUtilityDropDownList();
            }
            if (extractionDesignFlag) {
                UpdateViews(nullptr);
                WaitForTurn(0);
            }
            return;
        case 31:
            if (findStream() && stream->GetStreamKind() == 1) {
                const int at = FindNameView(utilityNameViews, text);
                if (at >= 0) {
                    UtilityNameView* view = utilityNameViews[at];
                    utilityNameViews.RemoveAt(at);
                    view->RemoveDeathPostee(this);
                    delete view;
                }
            }
            return;
        case 32: {
            const int at = FindNameView(utilityNameViews, text);
            if (at >= 0 && data) utilityNameViews[at]->SetName(static_cast<const char*>(data));
            return;
        }
        case 33: {
            if (!findStream()) return;
            const int kind = stream->GetStreamKind();
            if (kind != 0 && kind != 1) return;
            SegmentTable* table = FindSegmentTable(stream);
            if (!table) table = NewSegmentTable(stream);
            HVector<SegmentTable*>& list = kind == 0 ? processSegmentTableVector : utilitySegmentTableVector;
            bool listed = false;
            for (SegmentTable* t : list) listed = listed || t->GetStream() == stream;
            if (!listed) list.Append(table);
            return;
        }
        case 34: {
            if (!findStream() || stream->GetNumberOfSegments() != 1) return;
            SegmentTable* table = FindSegmentTable(stream);
            if (!table) return;
            if (stream->GetStreamKind() == 1) utilitySegmentTableVector.Remove(table);
            else if (stream->GetStreamKind() == 0) processSegmentTableVector.Remove(table);
            return;
        }
        case 55:
        case 56:
        case 57: {
            IDefaultUtilityManager* manager = nullptr;
            if (!myScenario || !myScenario->GetDefaultUtilityManager(manager) || !manager) return;
            if (code == 55) {
                defaultUtilityNameViews.Append(NewNameView(text));
                return;
            }
            const int at = FindNameView(defaultUtilityNameViews, text);
            if (at < 0) return;
            if (code == 56) {
                if (data) defaultUtilityNameViews[at]->SetName(static_cast<const char*>(data));
                return;
            }
            UtilityNameView* view = defaultUtilityNameViews[at];
            defaultUtilityNameViews.RemoveAt(at);
            view->RemoveDeathPostee(this);
            delete view;
            return;
        }
        case 60:
        case 61:
        case 62:
        case 64:
            if (code == 60 && Text(text.c_str()).rfind("SubsetSearchStopped", 0) == 0) subsetSearchStopped = true;
            ShowEngineNotice(code, text);
            return;
        case 66:
            UpdateViews(nullptr);
            WaitForTurn(0);
            return;
        case 87: {
            if (!findStream() || !data) return;
            const int flag = *static_cast<const int*>(data);
            if (flag == 1 && stream->GetStreamKind() == 0) {
                const int at = FindNameView(utilityNameViews, text);
                if (at >= 0) {
                    UtilityNameView* view = utilityNameViews[at];
                    utilityNameViews.RemoveAt(at);
                    view->RemoveDeathPostee(this);
                    delete view;
                }
            } else if (flag == 0 && stream->GetStreamKind() == 1) {
                utilityNameViews.Append(NewNameView(text));
            }
            return;
        }
        case 94:
            if (selectedMainPlot == 11) selectedMainPlot = 16;
            return;
        case 96: ReplaceDefaultUtilities(); return;
        case 113: {
            if (!myScenario) return;
            StreamLynxCollection* links = myScenario->GetStreamLinkCollection();
            if (!linkTableCollection) {
                const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
                linkTableCollection = new LinkTableCollection(
                    this, registry ? registry->Find(LinkTableCollection::TypeName) : nullptr, myScenario, this);
                if (links) links->SetAdvancedLinkPreference(advanceStreamLinkPreference);
                linkTableCollection->AddNotificationReceiver(this);
                linkTableCollection->AddValidMessage(this, LinkTableCollection::DeleteLink);
                linkTableCollection->AddDeathPostee(this);
            }
            // Links the scenario holds already (a copy's, an append's) are listed as the user's
            // own are, each with its editor, none opened.
            if (links)
                for (StreamLynx* link : links->GetLinkList()) linkTableCollection->ListLink(link);
            return;
        }
        case 114:
            if (linkTableCollection && myScenario && data) linkTableCollection->OpenLinkView(static_cast<StreamLynx*>(data));
            return;
        case 116: DeleteLinksOfStream(data); return;
        default: return;
    }
}

void HIDesignViewerScenario::DisconnectDeadObject(Viewable* dead) {
    // The dying view's own class is gone already: it is forgotten by its address.
    if (dead->IsA(SegmentTable::TypeName)) {
        processSegmentTableVector.RemoveAllAt(dead);
        utilitySegmentTableVector.RemoveAllAt(dead);
        segmentTables.RemoveAllAt(dead);
    }
    if (dead->IsA(HIDesignViewerDesign::TypeName)) {
        designObjs.RemoveAllAt(dead);
        const void* gone = dead;
        HIDesignViewerDesign* before = gone == lastAddedDesign && designObjs.Find(designBeforeAdd) >= 0 ? designBeforeAdd : nullptr;
        if (gone == lastAddedDesign || gone == designBeforeAdd) lastAddedDesign = designBeforeAdd = nullptr;
        if (static_cast<const void*>(currentDesign) == gone) {
            currentDesign = before;
            if (!before) SetSelectedObject(this);
        }
    }
    if (static_cast<void*>(dataExtractionView) == dead) dataExtractionView = nullptr;
    if (static_cast<void*>(myHTCDatabaseView) == dead) myHTCDatabaseView = nullptr;
    if (static_cast<void*>(myDefaultUtilManagerView) == dead) myDefaultUtilManagerView = nullptr;
    // Children whose death the viewer also hears of: the stream-link list (whose notices it must
    // no longer take), the plots, tables and name views.
    if (static_cast<void*>(linkTableCollection) == dead) linkTableCollection = nullptr;
    if (static_cast<void*>(generalPlot) == dead) generalPlot = nullptr;
    if (static_cast<void*>(superTargetPlot) == dead) superTargetPlot = nullptr;
    if (henPlotList) henPlotList->Remove(reinterpret_cast<chiPlot*>(dead));
    if (henTableList) henTableList->Remove(reinterpret_cast<ChiTable*>(dead));
    utilityNameViews.RemoveAllAt(dead);
    defaultUtilityNameViews.RemoveAllAt(dead);
    Viewable::DisconnectDeadObject(dead);
}

void HIDesignViewerScenario::selectInCase(Viewable* view) {
    for (Viewable* owner = OwnerViewable(); owner; owner = owner->OwnerViewable()) {
        if (owner->IsA(ChiView::TypeName)) return static_cast<ChiView*>(owner)->ChangeSelectedObject(view);
        if (owner->IsA(ChiTotalSiteView::TypeName)) return static_cast<ChiTotalSiteView*>(owner)->ChangeSelectedObject(view);
    }
}

void HIDesignViewerScenario::SetSelectedObject(Viewable* object) {
    if (!object) return;
    // The case view tells the viewer what it selects (ChiCaseView::ChangeSelectedObject); a new
    // design's viewer tells the case (selectInCase).
    if (object->IsA(TypeName)) currentDesign = nullptr;
    else if (object->IsA(HIDesignViewerDesign::TypeName)) currentDesign = static_cast<HIDesignViewerDesign*>(object);
}

void HIDesignViewerScenario::SetCurrentDesign(int index) {
    if (index < 0 || index >= designObjs.Count() || !designObjs[index]) return;
    currentDesign = designObjs[index];
}

HIDesignViewerDesign* HIDesignViewerScenario::GetDesignI(int index) const {
    return index >= 0 && index < designObjs.Count() ? designObjs[index] : nullptr;
}
