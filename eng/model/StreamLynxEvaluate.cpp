// A stream link: reading the candidates in the design and in their streams, the constants and DT,
// evaluation of a target and writing the result into the linked stream.
#include "eng/model/StreamLynx.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Messages.h"
#include "pellin/CNode.h"

namespace {

constexpr double kEmpty = StreamLynx::kEmpty;

// Shows a message key with the name of the stream it is about.
void showMessage(const char* key, const CPString& streamName) {
    ErrorJournal::Instance().Add(key, FindString(key) + " " + streamName);
}

// The temperature at which the stream leaves the network: the unit upstream of its end node, or,
// when a heater sits behind that unit, the unit in front of the heater (the heater is the
// stream's end utility, not the process side of the link).
double temperatureAtStreamEnd(const IHENDesign& design, const CPString& streamName) {
    CPString unit;
    const CNode* end = design.GetStreamBlock(streamName, true);
    if (!end || !design.GetUpstreamNodeName(end->getName(), unit)) return kEmpty;
    CPString beyond;
    if (design.GetUpstreamNodeName(unit, beyond) && design.GetNodeClassName(beyond) == "htHeater" &&
        !design.GetUpstreamNodeName(beyond, unit))
        return kEmpty;
    double temperature = kEmpty;
    return design.GetNodeValue(unit, "Temperature", temperature) ? temperature : kEmpty;
}

double streamValue(const IHeatIntegrationStream* stream, const char* name) {
    double value = kEmpty;
    if (!stream || !stream->GetValue(name, value, 0)) return kEmpty;
    return value;
}

}  // namespace

IHENDesign* StreamLynx::CurrentDesign() const {
    IHENDesign* design = nullptr;
    if (!m_pScenario || !m_pScenario->GetDesign(0, design, 0)) return nullptr;
    return design;
}

double StreamLynx::LinkedStreamValue(const char* name) const { return streamValue(GetLinkedStream(), name); }

double StreamLynx::GetCandidateTemperature(int i) const {
    const IHeatIntegrationStream* candidate = GetCandidate(i);
    const IHENDesign* design = CurrentDesign();
    if (!candidate || !design) return kEmpty;
    return temperatureAtStreamEnd(*design, candidate->GetName());
}

double StreamLynx::GetCandidateMassFlow(int i) const { return streamValue(GetCandidate(i), "MassFlow"); }

void StreamLynx::InitTemperatureConstant() {
    m_temperatureConstant.SetValue(LinkedStreamValue("Temperature"), CPValue::Specified);
}

void StreamLynx::InitMassFlowConstant() {
    m_massFlowConstant.SetValue(LinkedStreamValue("MassFlow"), CPValue::Specified);
}

void StreamLynx::RefreshStreamTemperature() { m_dReferenceTemperature = LinkedStreamValue("Temperature"); }

void StreamLynx::UpdateSimpleLinkOffset() {
    m_dSimpleOffset = 0.0;
    for (IHeatIntegrationStream* source : m_terms[TempTemp]) {
        const std::int64_t i = m_candidates.IndexOf(source);
        const double t = i < 0 ? kEmpty : GetCandidateTemperature(static_cast<int>(i));
        // A temperature that cannot be read gives no difference rather than one of -32767.
        m_dSimpleOffset = t == kEmpty || m_dReferenceTemperature == kEmpty ? 0.0 : m_dReferenceTemperature - t;
        if (!IsAdvanced()) m_temperatureConstant.SetValue(m_dSimpleOffset, CPValue::Specified);
    }
}

double StreamLynx::EvaluateTerms(int list, bool temperatureSource, double value, IHENDesign* design) {
    for (std::size_t i = 0; i < m_candidates.Length(); ++i) {
        IHeatIntegrationStream* candidate = m_candidates[i];
        if (!m_terms[list].Contains(candidate)) continue;
        IHeatIntegrationStream* live = Live(candidate);
        if (!live) return kEmpty;
        const double source =
            temperatureSource ? temperatureAtStreamEnd(*design, live->GetName()) : streamValue(live, "MassFlow");
        if (source == kEmpty) return kEmpty;
        if (m_boundEnabled[list][i]) {
            // A bound nobody gave is its default, not 0.
            const CPString target = list == TempTemp || list == TempFlow ? "Temperature" : "MassFlow";
            const int k = static_cast<int>(i);
            const double lower = m_lowerBoundSet[list][i] ? m_lowerBounds[list][i]
                                                          : DefaultBound(target, k, temperatureSource, false);
            const double upper = m_upperBoundSet[list][i] ? m_upperBounds[list][i]
                                                          : DefaultBound(target, k, temperatureSource, true);
            if ((lower != kEmpty && source < lower) || (upper != kEmpty && source > upper))
                showMessage(temperatureSource ? "TempBound" : "FlowBound", live->GetName());
        }
        value += source * m_coefficients[list][i];
    }
    return value;
}

double StreamLynx::Evaluate(const CPString& target) {
    const int temperatureList = ListOf(target, true);
    if (temperatureList < 0 || m_candidates.Length() == 0) return 0.0;
    // The design is looked up afresh: the one there was when the link was made may be gone.
    IHENDesign* design = CurrentDesign();
    if (!design) return kEmpty;
    const double constant = GetConstant(target);
    if (constant == kEmpty) return kEmpty;
    const double value = EvaluateTerms(temperatureList, true, constant, design);
    if (value == kEmpty) return kEmpty;
    return EvaluateTerms(ListOf(target, false), false, value, design);
}

int StreamLynx::UpdateLinkedStream(const CPString& name, double value) {
    IHeatIntegrationStream* stream = GetLinkedStream();
    if (name == "Temperature") {
        // An empty result would wipe the stream's supply temperature: it is not written.
        if (stream && value != kEmpty && stream->SetValue("Temperature", value, 0)) return 1;
        showMessage("TempUpdateError", stream ? stream->GetName() : CPString());
        return 0;
    }
    if (name == "MassFlow" && stream && value != kEmpty) return stream->SetValue("MassFlow", value, 0) ? 1 : 0;
    return 0;
}

void StreamLynx::ClearModified() {
    const IHeatIntegrationStream* stream = GetLinkedStream();
    UpdateLinkedStream("Temperature", stream ? stream->GetSupplyTemperature() : kEmpty);
    m_nModified = 0;
}
