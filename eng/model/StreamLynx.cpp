// A stream link: construction, terms, coefficients and bounds.
#include "eng/model/StreamLynx.h"

#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Framework.h"

#include <cmath>

namespace {

bool isTemperature(const CPString& target) { return target == "Temperature"; }
bool isMassFlow(const CPString& target) { return target == "MassFlow"; }

double preference(const char* key, double fallback) {
    double value = fallback;
    return ConfigData::Instance().GetDouble(StreamLynx::PreferenceSection, key, value) ? value : fallback;
}

}  // namespace

StreamLynx::StreamLynx(IHeatIntegrationScenario* scenario, IHeatIntegrationStream* linkedStream)
    : m_pScenario(scenario) {
    SetUp(linkedStream);
}

StreamLynx::StreamLynx(IHeatIntegrationScenario* scenario) : m_pScenario(scenario) {}

void StreamLynx::SetUp(IHeatIntegrationStream* linkedStream) {
    m_pLinkedStream = linkedStream;
    m_candidates.Clear();
    for (CPTypedList<IHeatIntegrationStream>& terms : m_terms) terms.Clear();
    if (m_pScenario && linkedStream) {
        const int processStreams = m_pScenario->GetNumberOfProcessStreams();
        for (int k = 0; k < processStreams; ++k) {
            IHeatIntegrationStream* stream = nullptr;
            if (m_pScenario->GetStreamOfKind(k, stream, 0, 2) && stream && stream != linkedStream)
                m_candidates.Append(stream);
        }
    }
    for (int list = 0; list < NumberOfTermLists; ++list) {
        ResetArray(m_coefficients[list]);
        ResetArray(m_lowerBounds[list]);
        ResetArray(m_upperBounds[list]);
        m_boundEnabled[list].assign(m_candidates.Length(), 0);
        m_lowerBoundSet[list].assign(m_candidates.Length(), 0);
        m_upperBoundSet[list].assign(m_candidates.Length(), 0);
    }
    InitTemperatureConstant();
    InitMassFlowConstant();
    RefreshStreamTemperature();
    m_dSimpleOffset = 0.0;
    m_nAdvanced = m_nModified = m_nAdvancedPreference = 0;
}

IHeatIntegrationStream* StreamLynx::Live(IHeatIntegrationStream* stream) const {
    if (!stream || !m_pScenario) return nullptr;
    IHeatIntegrationStream* held = nullptr;
    for (int k = 0; m_pScenario->GetStream(k, held); ++k)
        if (held == stream) return stream;
    return nullptr;
}

IHeatIntegrationStream* StreamLynx::GetLinkedStream() const { return Live(m_pLinkedStream); }

IHeatIntegrationStream* StreamLynx::GetCandidate(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= m_candidates.Length()) return nullptr;
    return Live(m_candidates[static_cast<std::size_t>(i)]);
}

int StreamLynx::GetNumberOfCoefficients(const CPString& key) const {
    auto length = [this](TermList list) { return static_cast<int>(m_terms[list].Length()); };
    if (key == "Temp_Temp") return length(TempTemp);
    if (key == "Temp_Flow") return length(TempFlow);
    if (key == "Flow_Temp") return length(FlowTemp);
    if (key == "Flow_Flow") return length(FlowFlow);
    if (key == "Temp_All") return length(TempTemp) + length(TempFlow);
    if (key == "Flow_All") return length(FlowTemp) + length(FlowFlow);
    return 0;
}

double StreamLynx::GetConstant(const CPString& target) const {
    if (isTemperature(target)) return m_temperatureConstant.GetValue();
    if (isMassFlow(target)) return m_massFlowConstant.GetValue();
    return kEmpty;
}

void StreamLynx::SetConstant(const CPString& target, double value) {
    if (isTemperature(target)) m_temperatureConstant.SetValue(value, CPValue::Specified);
    if (isMassFlow(target)) m_massFlowConstant.SetValue(value, CPValue::Specified);
}

// ---------------------------------------------------------------- terms

int StreamLynx::ListOf(const CPString& target, bool temperatureSource) {
    if (isTemperature(target)) return temperatureSource ? TempTemp : TempFlow;
    if (isMassFlow(target)) return temperatureSource ? FlowTemp : FlowFlow;
    return -1;
}

int StreamLynx::Checked(const CPString& target, int i, bool temperatureSource) const {
    if (i < 0 || static_cast<std::size_t>(i) >= m_candidates.Length()) return -1;
    return ListOf(target, temperatureSource);
}

bool StreamLynx::IsTerm(int list, int i) const {
    return list >= 0 && m_terms[list].Contains(m_candidates[static_cast<std::size_t>(i)]);
}

bool StreamLynx::IsTemperatureTerm(const CPString& target, int i) const {
    return IsTerm(Checked(target, i, true), i);
}

bool StreamLynx::IsMassFlowTerm(const CPString& target, int i) const { return IsTerm(Checked(target, i, false), i); }

void StreamLynx::ClearTermValues(int list, std::size_t i) {
    m_coefficients[list][i] = 0.0;
    m_lowerBounds[list][i] = 0.0;
    m_upperBounds[list][i] = 0.0;
    m_boundEnabled[list][i] = 0;
    m_lowerBoundSet[list][i] = m_upperBoundSet[list][i] = 0;
}

void StreamLynx::SetTerm(const CPString& target, int i, bool on, bool temperatureSource) {
    const int list = Checked(target, i, temperatureSource);
    if (list < 0) return;
    const auto at = static_cast<std::size_t>(i);
    IHeatIntegrationStream* candidate = m_candidates[at];
    // Only a simple link's Temperature target keeps DT; its one source is the Temp_Temp term.
    const bool simpleOffset = list == TempTemp && !IsAdvanced();
    const bool isTerm = m_terms[list].Contains(candidate);
    if (on && !isTerm) {
        if (simpleOffset) {
            // A simple link has one source: the new one replaces whatever was there.
            for (IHeatIntegrationStream* old : m_terms[list]) {
                const std::int64_t k = m_candidates.IndexOf(old);
                if (k >= 0) ClearTermValues(list, static_cast<std::size_t>(k));
            }
            m_terms[list].Clear();
        }
        m_terms[list].Append(candidate);
        m_coefficients[list][at] = 1.0;
    } else if (!on && isTerm) {
        m_terms[list].Remove(candidate);
        ClearTermValues(list, at);
    } else {
        return;
    }
    m_nModified = 1;
    if (simpleOffset) UpdateSimpleLinkOffset();
}

void StreamLynx::SetTemperatureTerm(const CPString& target, int i, bool on) { SetTerm(target, i, on, true); }
void StreamLynx::SetMassFlowTerm(const CPString& target, int i, bool on) { SetTerm(target, i, on, false); }

void StreamLynx::ClearTermLists() {
    for (CPTypedList<IHeatIntegrationStream>& terms : m_terms) terms.Clear();
}

// ---------------------------------------------------------------- coefficients and bounds

double StreamLynx::GetArrayValue(const Doubles (&arrays)[NumberOfTermLists], const CPString& target, int i,
                                 bool temperatureSource) const {
    const int list = Checked(target, i, temperatureSource);
    return list < 0 ? kEmpty : arrays[list][static_cast<std::size_t>(i)];
}

void StreamLynx::SetArrayValue(Doubles (&arrays)[NumberOfTermLists], const CPString& target, int i,
                               bool temperatureSource, double value) {
    const int list = Checked(target, i, temperatureSource);
    if (list < 0) return;
    arrays[list][static_cast<std::size_t>(i)] = value;
    m_nModified = 1;
}

double StreamLynx::GetTemperatureCoefficient(const CPString& target, int i) const {
    return GetArrayValue(m_coefficients, target, i, true);
}
double StreamLynx::GetMassFlowCoefficient(const CPString& target, int i) const {
    return GetArrayValue(m_coefficients, target, i, false);
}
void StreamLynx::SetTemperatureCoefficient(const CPString& target, int i, double value) {
    SetArrayValue(m_coefficients, target, i, true, value);
}
void StreamLynx::SetMassFlowCoefficient(const CPString& target, int i, double value) {
    SetArrayValue(m_coefficients, target, i, false, value);
}

double StreamLynx::GetTemperatureLowerBound(const CPString& target, int i) const {
    return GetArrayValue(m_lowerBounds, target, i, true);
}
double StreamLynx::GetTemperatureUpperBound(const CPString& target, int i) const {
    return GetArrayValue(m_upperBounds, target, i, true);
}
double StreamLynx::GetMassFlowLowerBound(const CPString& target, int i) const {
    return GetArrayValue(m_lowerBounds, target, i, false);
}
double StreamLynx::GetMassFlowUpperBound(const CPString& target, int i) const {
    return GetArrayValue(m_upperBounds, target, i, false);
}
void StreamLynx::SetBound(const CPString& target, int i, bool temperatureSource, bool upper, double value) {
    const int list = Checked(target, i, temperatureSource);
    if (list < 0) return;
    SetArrayValue(upper ? m_upperBounds : m_lowerBounds, target, i, temperatureSource, value);
    (upper ? m_upperBoundSet : m_lowerBoundSet)[list][static_cast<std::size_t>(i)] = 1;
}
void StreamLynx::SetTemperatureLowerBound(const CPString& target, int i, double value) {
    SetBound(target, i, true, false, value);
}
void StreamLynx::SetTemperatureUpperBound(const CPString& target, int i, double value) {
    SetBound(target, i, true, true, value);
}
void StreamLynx::SetMassFlowLowerBound(const CPString& target, int i, double value) {
    SetBound(target, i, false, false, value);
}
void StreamLynx::SetMassFlowUpperBound(const CPString& target, int i, double value) {
    SetBound(target, i, false, true, value);
}

bool StreamLynx::IsBoundSet(const CPString& target, int i, bool temperatureSource, bool upper) const {
    const int list = Checked(target, i, temperatureSource);
    return list >= 0 && (upper ? m_upperBoundSet : m_lowerBoundSet)[list][static_cast<std::size_t>(i)] != 0;
}

int StreamLynx::IsBoundEnabled(const CPString& target, int i, bool temperatureSource) const {
    const int list = Checked(target, i, temperatureSource);
    return list < 0 ? 1 : m_boundEnabled[list][static_cast<std::size_t>(i)];
}
int StreamLynx::IsTemperatureBoundEnabled(const CPString& target, int i) const {
    return IsBoundEnabled(target, i, true);
}
int StreamLynx::IsMassFlowBoundEnabled(const CPString& target, int i) const { return IsBoundEnabled(target, i, false); }

void StreamLynx::EnableBound(const CPString& target, int i, int on, bool temperatureSource) {
    const int list = Checked(target, i, temperatureSource);
    if (list < 0) return;
    const auto at = static_cast<std::size_t>(i);
    m_boundEnabled[list][at] = on != 0 ? 1 : 0;
    if (on == 0) {
        m_lowerBounds[list][at] = m_upperBounds[list][at] = 0.0;
        m_lowerBoundSet[list][at] = m_upperBoundSet[list][at] = 0;
    }
    m_nModified = 1;
}
void StreamLynx::EnableTemperatureBound(const CPString& target, int i, int on) { EnableBound(target, i, on, true); }
void StreamLynx::EnableMassFlowBound(const CPString& target, int i, int on) { EnableBound(target, i, on, false); }

double StreamLynx::DefaultBound(const CPString& target, int i, bool temperatureSource, bool upper) const {
    const int list = Checked(target, i, temperatureSource);
    if (list < 0) return kEmpty;
    if (!m_boundEnabled[list][static_cast<std::size_t>(i)]) return kEmpty;
    const double v = temperatureSource ? GetCandidateTemperature(i) : GetCandidateMassFlow(i);
    if (v == kEmpty) return kEmpty;

    const int index = static_cast<int>(preference(temperatureSource ? "TempBoundIndex" : "FlowBoundIndex", 0.0));
    if (index != 0 && index != 1) return 0.0;
    // A percentage is taken of the value's size, so that a value below zero (a refrigerant's
    // temperature) still gets its lower bound below its upper one.
    const double offset =
        index == 0 ? preference(temperatureSource ? "TempPercentageBoundValue" : "FlowPercentageBoundValue", 10.0) *
                         std::fabs(v) / 100.0
                   : preference(temperatureSource ? "TemperatureAbsBoundValue" : "MassFlowAbsBoundValue", 10.0);
    return upper ? v + offset : v - offset;
}

double StreamLynx::SetDefaultBound(const CPString& target, int i, bool temperatureSource, bool upper) {
    const double bound = DefaultBound(target, i, temperatureSource, upper);
    if (bound == kEmpty) return kEmpty;
    const int list = Checked(target, i, temperatureSource);
    const auto at = static_cast<std::size_t>(i);
    (upper ? m_upperBounds : m_lowerBounds)[list][at] = bound;
    (upper ? m_upperBoundSet : m_lowerBoundSet)[list][at] = 1;
    return bound;
}

double StreamLynx::SetDefaultTemperatureLowerBound(const CPString& target, int i) {
    return SetDefaultBound(target, i, true, false);
}
double StreamLynx::SetDefaultTemperatureUpperBound(const CPString& target, int i) {
    return SetDefaultBound(target, i, true, true);
}
double StreamLynx::SetDefaultMassFlowLowerBound(const CPString& target, int i) {
    return SetDefaultBound(target, i, false, false);
}
double StreamLynx::SetDefaultMassFlowUpperBound(const CPString& target, int i) {
    return SetDefaultBound(target, i, false, true);
}

bool StreamLynx::AddCandidate(IHeatIntegrationStream* stream) {
    if (!stream || stream == m_pLinkedStream || m_candidates.Contains(stream)) return false;
    m_candidates.Append(stream);
    for (int list = 0; list < NumberOfTermLists; ++list) {
        for (Doubles* array : {&m_coefficients[list], &m_lowerBounds[list], &m_upperBounds[list]})
            array->resize(m_candidates.Length(), 0.0);
        for (Bytes* flags : {&m_boundEnabled[list], &m_lowerBoundSet[list], &m_upperBoundSet[list]})
            flags->resize(m_candidates.Length(), 0);
    }
    return true;
}

void StreamLynx::CopyTermsFrom(const StreamLynx& source,
                               const std::function<IHeatIntegrationStream*(const IHeatIntegrationStream*)>& copyOf) {
    for (std::size_t k = 0; k < source.m_candidates.Length(); ++k) {
        const std::int64_t at = m_candidates.IndexOf(copyOf(source.m_candidates[k]));
        if (at < 0) continue;
        const auto to = static_cast<std::size_t>(at);
        for (int list = 0; list < NumberOfTermLists; ++list) {
            auto take = [&](auto& mine, const auto& theirs) {
                if (k < theirs.size() && to < mine.size()) mine[to] = theirs[k];
            };
            take(m_coefficients[list], source.m_coefficients[list]);
            take(m_lowerBounds[list], source.m_lowerBounds[list]);
            take(m_upperBounds[list], source.m_upperBounds[list]);
            take(m_boundEnabled[list], source.m_boundEnabled[list]);
            take(m_lowerBoundSet[list], source.m_lowerBoundSet[list]);
            take(m_upperBoundSet[list], source.m_upperBoundSet[list]);
        }
    }
    for (int list = 0; list < NumberOfTermLists; ++list)
        for (IHeatIntegrationStream* term : source.m_terms[list]) {
            IHeatIntegrationStream* copy = copyOf(term);
            if (copy && m_candidates.Contains(copy) && !m_terms[list].Contains(copy)) m_terms[list].Append(copy);
        }
    m_temperatureConstant = source.m_temperatureConstant;
    m_massFlowConstant = source.m_massFlowConstant;
    m_dReferenceTemperature = source.m_dReferenceTemperature;
    m_dSimpleOffset = source.m_dSimpleOffset;
    m_nAdvanced = source.m_nAdvanced;
    m_nModified = source.m_nModified;
    m_nAdvancedPreference = source.m_nAdvancedPreference;
}

bool StreamLynx::DropCandidate(const IHeatIntegrationStream* stream) {
    std::size_t at = m_candidates.Length();
    for (std::size_t i = 0; i < m_candidates.Length(); ++i)
        if (m_candidates[i] == stream) at = i;
    if (!stream || at == m_candidates.Length()) return false;
    m_candidates.RemoveAt(at);
    for (int list = 0; list < NumberOfTermLists; ++list) {
        while (m_terms[list].Remove(stream)) {
        }
        auto erase = [at](auto& array) {
            if (at < array.size()) array.erase(array.begin() + static_cast<std::ptrdiff_t>(at));
        };
        erase(m_coefficients[list]);
        erase(m_lowerBounds[list]);
        erase(m_upperBounds[list]);
        erase(m_boundEnabled[list]);
        erase(m_lowerBoundSet[list]);
        erase(m_upperBoundSet[list]);
    }
    return true;
}
