// What a locked design's what-if leaves in the scenario's streams: running a schedule or a
// study point writes its supply temperatures and mass flows into the streams themselves, while
// the default operating state keeps the process data. The views and reports that show the
// streams say so, rather than pass the what-if's values off as the process data.
#include "eng/design/HENDesign.h"

#include "eng/design/HENState.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr double kEmpty = -32767.0;

bool differs(double held, double process) {
    return held != kEmpty && process != kEmpty && std::fabs(held - process) > 1e-9 * (1.0 + std::fabs(process));
}

void append(std::string& out, const char* stream, const char* quantity, double held, double process, const char* unit) {
    char line[256];
    std::snprintf(line, sizeof line, "%s%s %s %g %s (process data %g %s)", out.empty() ? "" : "; ", stream, quantity,
                  held, unit, process, unit);
    out += line;
}
}  // namespace

const char* CPIHENDesign::GetWhatIfStreamNote(const char* stream) const {
    m_whatIfStreamNote.clear();
    if (!m_operationLocked || !m_state || !m_scenario) return nullptr;
    const HENState& state = *m_state;
    for (int i = 0; i < state.GetNumberOfStreams(); ++i) {
        const char* name = state.GetStreamName(i);
        if (!name || (stream && std::strcmp(stream, name) != 0)) continue;
        IHeatIntegrationStream* s = nullptr;
        if (!m_scenario->GetStream(CPString(name), s) || !s) continue;
        const double supply = s->GetSupplyTemperature(), processSupply = state.GetStreamSupplyTemperature(i);
        if (differs(supply, processSupply)) append(m_whatIfStreamNote, name, "supply temperature", supply, processSupply, "C");
        double flow = kEmpty;
        if (!s->GetValue("MassFlow", flow, 0)) flow = kEmpty;
        const double processFlow = state.GetStreamMassFlow(i);
        if (differs(flow, processFlow)) append(m_whatIfStreamNote, name, "mass flow", flow, processFlow, "kg/s");
    }
    return m_whatIfStreamNote.empty() ? nullptr : m_whatIfStreamNote.c_str();
}
