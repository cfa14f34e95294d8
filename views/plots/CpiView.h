#pragma once
// Two views that older case files bring back and that nothing creates any more: `cpiPlot`, a
// plot attached to a design-engine view, and `CpiView`, the supertargeting view that plotted
// one range-target quantity against another on two y axes. Both read their records, hold what
// they read and write nothing when the case is stored.
#include "lumeth/TwoDimPlot.h"
#include "lumeth/VarEnumInfo.h"
#include "lumeth/Viewable.h"

#include <memory>
#include <vector>

class Dim2GraphControl;
class IHENDesign;
class IHeatIntegrationScenario;

class cpiPlot : public Viewable {
public:
    static constexpr const char* TypeName = "cpiPlotObject";
    static constexpr int ClassVersion = 2;

    explicit cpiPlot(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new cpiPlot(info); }
    ~cpiPlot() override;
    // The plot and its parameters are the view's own: a copy would free them twice.
    cpiPlot(const cpiPlot&) = delete;
    cpiPlot& operator=(const cpiPlot&) = delete;

    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override { return true; }
    bool RecallFixUp() override { return true; }
    void DisconnectDeadObject(Viewable* dead) override;

    bool Flag() const { return m_bFlag; }
    TwoDimPlot* GetPlot() const { return m_pPlot; }
    Dim2GraphControl* GetPlotParameters() const { return m_pPlotParameters; }
    IHeatIntegrationScenario* GetScenario() const { return m_pScenario; }
    Viewable* GetOwnerView() const { return m_pOwner; }
    int GetNumber() const { return m_nNumber; }

private:
    bool m_bFlag = false;
    TwoDimPlot* m_pPlot = nullptr;
    Dim2GraphControl* m_pPlotParameters = nullptr;
    IHeatIntegrationScenario* m_pScenario = nullptr;
    Viewable* m_pOwner = nullptr;  // a "HenEngObject" view
    int m_nNumber = 0;
    Viewable* m_pRecalledPlot = nullptr;
};

// The quantities of the supertargeting view, in the order of its choice.
enum SuperTargetEnums : int {
    SuperTargetDTmin = 0,
    SuperTargetHotUtility,
    SuperTargetColdUtility,
    SuperTargetCountercurrentArea,
    SuperTargetShellAndTubeArea,
    SuperTargetUnits,
    SuperTargetShells,
    SuperTargetCapitalCost,
    SuperTargetOperatingCost,
    SuperTargetTotalCost,
    SuperTargetNone,
};

class CpiView : public Viewable {
public:
    static constexpr const char* TypeName = "ProcessIntegrationObject";
    static constexpr int ClassVersion = 2;
    static constexpr int LinkedViewCount = 6;  // four views, a design viewer, a fifth view

    explicit CpiView(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new CpiView(info); }
    ~CpiView() override;
    CpiView(const CpiView&) = delete;
    CpiView& operator=(const CpiView&) = delete;

    // The variable of a quantity; an empty description for a value above 10.
    static VarDescription BuildMoniker(int q);
    static Text Caption(int q);
    // Builds the plot when there is none, then applies the x and left quantities.
    void BuildSuperTargetPlot();
    void SetSuperTargetXAxis(int q);
    void SetSuperTargetLeftYAxis(int q);
    void SetSuperTargetRightYAxis(int q);

    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override { return true; }
    bool RecallFixUp() override;
    void DisconnectDeadObject(Viewable* dead) override;

    TwoDimPlot* GetPlot() const { return m_pPlot; }
    IHeatIntegrationScenario* GetScenario() const { return m_pScenario; }
    IHENDesign* GetDesign() const { return m_pDesign; }
    const Text& GetText() const { return m_strText; }
    Viewable* LinkedView(int i) const { return i >= 0 && i < LinkedViewCount ? m_pLinked[i] : nullptr; }
    // Sets a link as a recall fills it: the view is watched, not owned.
    void SetLinkedView(int i, Viewable* view) {
        if (i < 0 || i >= LinkedViewCount) return;
        if (m_pLinked[i]) m_pLinked[i]->RemoveDeathPostee(this);
        m_pLinked[i] = view;
        if (view) view->AddDeathPostee(this);
    }
    void SetText(const Text& text) { m_strText = text; }
    Viewable* EngineView() const { return m_pEngineView; }
    Viewable* Diagram() const { return m_pDiagram; }
    const std::vector<Viewable*>& EngineViews() const { return m_engineViews; }
    int Number(int i) const { return i >= 0 && i < 8 ? m_nNumbers[i] : 0; }
    int GetXQuantity() const { return m_nX; }
    int GetLeftQuantity() const { return m_nLeft; }
    int GetRightQuantity() const { return m_nRight; }
    const VarEnumInfo* EnumInfo(int i) const { return i >= 0 && i < 3 ? m_enums[i].get() : nullptr; }

private:
    TwoDimPlot* m_pPlot = nullptr;
    Dim2GraphControl* m_pPlotParameters = nullptr;
    Viewable* m_pLinked[LinkedViewCount] = {};
    Text m_strText;
    IHeatIntegrationScenario* m_pScenario = nullptr;
    IHENDesign* m_pDesign = nullptr;
    // Five ints, then three more after the enumerations, as the record has them in one run.
    int m_nNumbers[8] = {};
    std::vector<Viewable*> m_engineViews;  // linked "HenEngObject" views
    Viewable* m_pEngineView = nullptr;      // "HenEngObject"
    Viewable* m_pDiagram = nullptr;         // "HENDiagramObject"
    std::unique_ptr<VarEnumInfo> m_enums[3];
    int m_nX = SuperTargetDTmin;
    int m_nLeft = SuperTargetHotUtility;
    int m_nRight = SuperTargetNone;
    Viewable* m_pRecalledPlot = nullptr;
    int m_nRecallVersion = ClassVersion;
};
