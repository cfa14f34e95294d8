#pragma once
// The design view of an earlier generation of case views: read from older case files (its
// design, grid diagram and the views of its exchangers, splitters and streams) and never
// written, so a case holding one saves without it.
#include "lumeth/HVector.h"
#include "lumeth/Viewable.h"

#include <deque>

class HENDiagram;
class IHENDesign;

class CPIDesignViewerDesign : public Viewable {
public:
    static constexpr const char* TypeName = "CPIDesignViewerDesignObject";

    explicit CPIDesignViewerDesign(ObjectInstanceInfo& info) : Viewable(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new CPIDesignViewerDesign(info); }
    ~CPIDesignViewerDesign() override;

    IHENDesign* GetDesign() const { return design; }
    HENDiagram* GetGridDiagram() const { return gridDiagram; }
    const Text& GetText() const { return text; }
    const HVector<Viewable*>& GetExchangerViews() const { return exchangerViews; }
    const HVector<Viewable*>& GetSplitterViews() const { return splitterViews; }
    const HVector<Viewable*>& GetStreamViews() const { return streamViews; }

    // Refused: the view is read, never written.
    bool StoreClassData(BinaryFile&) override { return false; }
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;
    void DisconnectDeadObject(Viewable* dead) override;

private:
    // Adopts the recalled links of one list (null links are skipped).
    void adopt(std::deque<Viewable*>& links, HVector<Viewable*>& list, const char* type);

    HVector<Viewable*> exchangerViews{10};
    HVector<Viewable*> splitterViews{10};
    HVector<Viewable*> streamViews{10};
    IHENDesign* design = nullptr;
    HENDiagram* gridDiagram = nullptr;
    Text text;
    // Links read from the record, adopted once the whole case is read.
    Viewable* recalledDiagram = nullptr;
    std::deque<Viewable*> recalledExchangers, recalledSplitters, recalledStreams;
};
