#include "views/plots/ChiSuperTargetPlot.h"

#include "lumeth/TwoDimPlot.h"

#include <algorithm>

ChiSuperTargetPlot::ChiSuperTargetPlot(Viewable* parent, int mode, IHeatIntegrationScenario* scenario)
    : Viewable(parent, TypeName), m_nMode(mode), m_pScenario(scenario) {
    SetName("ChiSuperTargetPlot");
}

ChiSuperTargetPlot::~ChiSuperTargetPlot() {
    TwoDimPlot* plot = m_pPlot;
    m_pPlot = nullptr;
    delete plot;
}

void ChiSuperTargetPlot::ConstructPlot() {
    if (m_pPlot) return;
    m_pPlot = new TwoDimPlot(this);
    m_pPlot->AddDeathPostee(this);
}

void ChiSuperTargetPlot::UpdateDesign(const Text& design, const Text& newName, int mode) {
    auto it = std::find(m_designs.begin(), m_designs.end(), design);
    if (mode == 0) m_designs.push_back(design);
    else if (mode == 1 && it != m_designs.end()) m_designs.erase(it);
    else if (mode == 2 && it != m_designs.end()) *it = newName;
}

void ChiSuperTargetPlot::ShowSeries(int, const Text&) {}

void ChiSuperTargetPlot::DisconnectDeadObject(Viewable* dead) {
    if (dead == m_pPlot) m_pPlot = nullptr;
    Viewable::DisconnectDeadObject(dead);
}
