#include "views/case/CPIDesignViewerDesign.h"

#include "brasko/CaseDocument.h"
#include "lumeth/BinaryFile.h"
#include "views/EnginePointers.h"
#include "views/grid/HENDiagram.h"


namespace {
const ObjectTypeInfo* findType(const char* name) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->Find(name) : nullptr;
}

// A count of links followed by the links. The slots live in a deque, which never moves what it
// holds: the framework fills them once the whole case is read. A damaged count ends at the
// first link the file does not hold.
bool readLinks(BinaryFile& file, std::deque<Viewable*>& out, const char* type) {
    std::int32_t n = 0;
    if (!file.ReadItemCount(n)) return false;
    out.clear();
    for (std::int32_t i = 0; i < n; ++i) {
        out.push_back(nullptr);
        if (!Viewable::RecallPointerX(file, out.back(), findType(type))) return false;
    }
    return true;
}
}  // namespace

CPIDesignViewerDesign::~CPIDesignViewerDesign() {
    for (HVector<Viewable*>* list : {&exchangerViews, &splitterViews, &streamViews}) {
        while (!list->IsEmpty()) {
            Viewable* view = (*list)[0];
            list->RemoveAll(view);
            if (view) {
                view->RemoveDeathPostee(this);
                delete view;
            }
        }
    }
    HENDiagram* diagram = gridDiagram;
    gridDiagram = nullptr;
    if (diagram) {
        diagram->RemoveDeathPostee(this);
        delete diagram;
    }
}

bool CPIDesignViewerDesign::RecallClassData(BinaryFile& file, int) {
    CPString stored;
    if (!file.ReadCPString(stored)) return false;
    text = stored;
    if (!RecallDesignPointer(file, CaseEngineeringManager2(this), design)) return false;
    if (!RecallPointerX(file, recalledDiagram, findType("HENDiagramObject"))) return false;
    return readLinks(file, recalledExchangers, "HeatExchangerViewObject") &&
           readLinks(file, recalledSplitters, "SplitterViewObject") && readLinks(file, recalledStreams, "ProcessStreamObject");
}

void CPIDesignViewerDesign::adopt(std::deque<Viewable*>& links, HVector<Viewable*>& list, const char* type) {
    for (Viewable* view : links) {
        if (!view || !view->IsA(type)) continue;
        list.Append(view);
        view->AddDeathPostee(this);
    }
    links.clear();
}

bool CPIDesignViewerDesign::CheckRecalledPointers() {
    if (recalledDiagram && recalledDiagram->IsA("HENDiagramObject")) {
        gridDiagram = static_cast<HENDiagram*>(recalledDiagram);
        gridDiagram->AddDeathPostee(this);
        if (design) gridDiagram->SetDesign(design);
    }
    recalledDiagram = nullptr;
    adopt(recalledExchangers, exchangerViews, "HeatExchangerViewObject");
    adopt(recalledSplitters, splitterViews, "SplitterViewObject");
    adopt(recalledStreams, streamViews, "ProcessStreamObject");
    return true;
}

void CPIDesignViewerDesign::DisconnectDeadObject(Viewable* dead) {
    exchangerViews.RemoveAll(dead);
    splitterViews.RemoveAll(dead);
    streamViews.RemoveAll(dead);
    if (dead == static_cast<Viewable*>(gridDiagram)) gridDiagram = nullptr;
    Viewable::DisconnectDeadObject(dead);
}
