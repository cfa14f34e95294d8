#pragma once
// The exchanger bar chart of a design: one bar per exchanger that passes the design viewer's
// exchanger filter, in filter order, as high as the quantity the user picks (number of shells,
// area, duty or UA value) and coloured by the unit's service (process exchanger, heater,
// cooler). It owns a TwoDimPlot whose bar data sets read the chart's own variables: bar i
// spans x from i + 0.7 to i + 1.3 and y from 0 to its height.
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"

#include <cstdint>
#include <memory>
#include <vector>

class CNode;
class Dim2GraphControl;
class HIDesignViewerDesign;
class IHENDesign;
class TwoDimPlot;
class VarEnumInfo;

class chiHXBarPlot : public Viewable {
public:
    static constexpr const char* TypeName = "chiHXBarPlotObject";
    static constexpr int ClassVersion = 3;
    // The colour numbers of the three services.
    static constexpr int ExchangerColour = 13, HeaterColour = 8, CoolerColour = 2;

    chiHXBarPlot(const ObjectTypeInfo* type, Viewable* parent, IHENDesign* design, HIDesignViewerDesign* viewer);
    explicit chiHXBarPlot(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new chiHXBarPlot(info); }
    ~chiHXBarPlot() override;

    TwoDimPlot* GetPlot() const { return m_pPlot; }
    IHENDesign* GetDesign() const { return m_pDesign; }
    HIDesignViewerDesign* GetViewer() const { return m_pViewer; }
    int GetSelectedQuantity() const { return m_nSelected; }
    int GetBarCount() const { return m_nBars; }

    // Builds the plot: layout, the legend of the three services, the x axis; then the bars.
    void ConstructPlot();
    // Replaces the bar data sets by those of the exchangers the viewer's filter shows now.
    void UpdatePlot();
    // 1 a heater, 0 a cooler (by the utility on the hot or else the cold inlet's stream), 255
    // neither or an inlet without a stream.
    static int GetHXType(CNode* hotInlet, CNode* coldInlet);

    // ---- form ----
    static const ViewForm<chiHXBarPlot>& Form();
    static void LoadVariables(FormDescription& form);
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int Message(const Text& line) override;
    bool GenMessage(MessageInfo& info) override;
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    int GetEDVarType(const VarDescription& var) override;
    Text AttachedName(const Viewable* child) const override;
    Viewable* AttachedObject(const VarDescription& var) override;
    void DisconnectDeadObject(Viewable* dead) override;

    // ---- record ----
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;
    bool RecallFixUp() override;

private:
    struct Quantity {
        const char* key;
        const char* description;
        const char* caption;
    };
    static const std::vector<Quantity>& Quantities();
    void SetUpPlotType();
    // The design exchanger of bar (or row) i; null when it cannot be fetched.
    CNode* ExchangerOfBar(int bar) const;
    int FilteredCount() const;
    void ApplyQuantityAxis();
    double BarEdge(const VarDescription& var);
    double BarHeight(const VarDescription& var);
    int BarPoints(const VarDescription& var, DimInfo& dims);
    int BarRows(const VarDescription& var, DimInfo& dims);
    double Selected(const VarDescription& var);
    int SetSelected(const VarDescription& var, double value);
    Text RowName(const VarDescription& var);
    Text RowNumber(const VarDescription& var);
    Text QuantityCaption(const VarDescription& var);

    TwoDimPlot* m_pPlot = nullptr;
    Dim2GraphControl* m_pPlotParameters = nullptr;
    IHENDesign* m_pDesign = nullptr;
    HIDesignViewerDesign* m_pViewer = nullptr;
    std::int32_t m_nSelected = 0;
    std::int32_t m_nBars = 0;
    std::unique_ptr<VarEnumInfo> m_pQuantityList;
    // Links read from the record, filled before the fix-ups.
    Viewable* m_recalledPlot = nullptr;
    Viewable* m_recalledViewer = nullptr;
    int m_recallVersion = ClassVersion;
};
