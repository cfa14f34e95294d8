#pragma once
// The data-extraction wizard of a scenario, a child of the scenario viewer.
#include "lumeth/Viewable.h"

class DataExtractionConfig;
class IHeatIntegrationScenario;

class DataExtractionView : public Viewable {
public:
    static constexpr const char* TypeName = "DataExtractionViewObject";

    DataExtractionView(Viewable* parent, DataExtractionConfig* config, IHeatIntegrationScenario* scenario);
    DataExtractionConfig* GetConfig() const { return m_pConfig; }
    IHeatIntegrationScenario* GetScenario() const { return m_pScenario; }

private:
    DataExtractionConfig* m_pConfig;
    IHeatIntegrationScenario* m_pScenario;
};
