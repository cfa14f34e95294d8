#include "views/case/DataExtractionView.h"

DataExtractionView::DataExtractionView(Viewable* parent, DataExtractionConfig* config, IHeatIntegrationScenario* scenario)
    : Viewable(parent, TypeName), m_pConfig(config), m_pScenario(scenario) {
    SetName("DataExtractionView");
}
