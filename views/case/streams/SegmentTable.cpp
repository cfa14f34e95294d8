#include "views/case/streams/SegmentTable.h"

#include "eng/model/IHeatIntegrationStream.h"

SegmentTable::SegmentTable(Viewable* parent, IHeatIntegrationScenario* scenario, IHeatIntegrationStream* stream)
    : Viewable(parent, TypeName), m_pScenario(scenario), m_pStream(stream) {
    if (stream) SetName(stream->GetName());
}
