#pragma once
// The segment table of one stream of a scenario, a child of the scenario viewer.
#include "lumeth/Viewable.h"

class IHeatIntegrationScenario;
class IHeatIntegrationStream;

class SegmentTable : public Viewable {
public:
    static constexpr const char* TypeName = "SegmentTableObject";

    SegmentTable(Viewable* parent, IHeatIntegrationScenario* scenario, IHeatIntegrationStream* stream);
    IHeatIntegrationScenario* GetScenario() const { return m_pScenario; }
    IHeatIntegrationStream* GetStream() const { return m_pStream; }

private:
    IHeatIntegrationScenario* m_pScenario;
    IHeatIntegrationStream* m_pStream;
};
