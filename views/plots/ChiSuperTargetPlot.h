#pragma once
// The range-target plot of a scenario over the minimum approach temperature: mode 0 the
// scenario's general plot, mode 1 its super-target plot. Each quantity setting picks what an
// axis shows; the designs' series follow the scenario's designs.
#include "lumeth/Viewable.h"

#include <cstdint>
#include <vector>

class IHeatIntegrationScenario;
class TwoDimPlot;

class ChiSuperTargetPlot : public Viewable {
public:
    static constexpr const char* TypeName = "ChiSuperTargetPlotObject";

    // `parent`: the scenario viewer.
    ChiSuperTargetPlot(Viewable* parent, int mode, IHeatIntegrationScenario* scenario);
    ~ChiSuperTargetPlot() override;
    ChiSuperTargetPlot(const ChiSuperTargetPlot&) = delete;
    ChiSuperTargetPlot& operator=(const ChiSuperTargetPlot&) = delete;

    void ConstructPlot();
    // mode 0 add, 1 delete, 2 rename to `newName`.
    void UpdateDesign(const Text& design, const Text& newName, int mode);
    void SetXQuantity(int quantity) { m_nXQuantity = quantity; }
    void SetLeftQuantity(int quantity) { m_nLeftQuantity = quantity; }
    void SetRightQuantity(int quantity) { m_nRightQuantity = quantity; }
    void ShowSeries(int show, const Text& series);

    TwoDimPlot* GetPlot() const { return m_pPlot; }
    IHeatIntegrationScenario* GetScenario() const { return m_pScenario; }
    int GetMode() const { return m_nMode; }
    void SetMode(int mode) { m_nMode = mode; }
    const std::vector<Text>& GetDesigns() const { return m_designs; }
    void DisconnectDeadObject(Viewable* dead) override;

    int m_nXQuantity = 0, m_nLeftQuantity = 9, m_nRightQuantity = 10;
    // The integer limit and the setting after it.
    std::int32_t m_nIntSettings[2] = {32767, 0};
    double m_dValues[3] = {-32767.0, -32767.0, -32767.0};

private:
    int m_nMode;
    IHeatIntegrationScenario* m_pScenario;
    TwoDimPlot* m_pPlot = nullptr;
    std::vector<Text> m_designs;
};
