#include "eng/model/MatchwiseStreamData.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "tevrin/CPDictionary.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr const char* kLimitKeys[] = {"HotInlet", "HotOutlet", "ColdInlet", "ColdOutlet"};
constexpr double kLimitDefaults[] = {-273.15, 3000.0, 3000.0, -273.15};

int limitIndex(const CPString& key) {
    for (int i = 0; i < 4; ++i)
        if (key == kLimitKeys[i]) return i;
    return -1;
}

bool isUtility(const IHeatIntegrationStream* s) { return s && s->GetStreamKind() == 1; }

CPString upper(const CPString& text) {
    CPString out = text;
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

MatchwiseStreamData::MatchwiseStreamData(IHeatIntegrationStream* hot, IHeatIntegrationStream* cold)
    : nUtility(isUtility(hot) || isUtility(cold) ? 1 : 0), m_pHot(hot), m_pCold(cold) {}

const CPString& MatchwiseStreamData::GetCostModelName() {
    if (!m_pCostModelName) m_pCostModelName = std::make_unique<CPString>(kDefaultCostModel);
    return *m_pCostModelName;
}

void MatchwiseStreamData::SetTemperatureLimit(const CPString& key, double value) {
    const int i = limitIndex(key);
    if (i < 0) return;
    if (!m_limits) m_limits.emplace(std::begin(kLimitDefaults), std::end(kLimitDefaults));
    (*m_limits)[static_cast<std::size_t>(i)] = value;
}

double MatchwiseStreamData::GetTemperatureLimit(const CPString& key) const {
    const int i = limitIndex(key);
    if (i < 0 || !m_limits) return kNoLimit;
    return (*m_limits)[static_cast<std::size_t>(i)];
}

bool MatchwiseStreamData::LimitsOverlap(const MatchwiseStreamData& a, const MatchwiseStreamData& b, int side) {
    // Each window runs from q up to p.
    const char* p = side == 0 ? "HotInlet" : "ColdOutlet";
    const char* q = side == 0 ? "HotOutlet" : "ColdInlet";
    const double aTop = a.GetTemperatureLimit(p), bTop = b.GetTemperatureLimit(p);
    if (!(bTop > aTop)) return !(a.GetTemperatureLimit(q) > bTop);
    return !(b.GetTemperatureLimit(q) > aTop);
}

MatchwiseStreamDataList::MatchwiseStreamDataList(const CPDictionary* streams) : m_pStreams(streams) {
    if (!m_pStreams) return;
    for (std::size_t i = 0; i < m_pStreams->Length(); ++i) {
        auto* s = static_cast<IHeatIntegrationStream*>((*m_pStreams)[i]);
        if (s && s->GetHotCold() == 0) AddStream(s);
    }
}

void MatchwiseStreamDataList::AddStream(IHeatIntegrationStream* stream) {
    if (!stream || !m_pStreams) return;
    const int side = stream->GetHotCold();
    if (side != 0 && side != 1) return;
    for (std::size_t i = 0; i < m_pStreams->Length(); ++i) {
        auto* other = static_cast<IHeatIntegrationStream*>((*m_pStreams)[i]);
        if (!other || other == stream || other->GetHotCold() != 1 - side) continue;
        if (isUtility(stream) && isUtility(other)) continue;
        IHeatIntegrationStream* hot = side == 0 ? stream : other;
        IHeatIntegrationStream* cold = side == 0 ? other : stream;
        if (FindMatch(hot, cold)) continue;
        m_records.push_back(std::make_unique<MatchwiseStreamData>(hot, cold));
    }
}

void MatchwiseStreamDataList::RemoveStream(const IHeatIntegrationStream* stream) {
    m_records.erase(std::remove_if(m_records.begin(), m_records.end(),
                                   [stream](const auto& r) { return r->Involves(stream); }),
                    m_records.end());
}

MatchwiseStreamData* MatchwiseStreamDataList::FindMatch(const IHeatIntegrationStream* hot,
                                                        const IHeatIntegrationStream* cold) const {
    for (const auto& r : m_records)
        if (r->GetHotStream() == hot && r->GetColdStream() == cold) return r.get();
    return nullptr;
}

std::unique_ptr<CPTypedList<MatchwiseStreamData>> MatchwiseStreamDataList::GetMatchesOfStream(
    const IHeatIntegrationStream* stream) const {
    if (!stream) return nullptr;
    auto matches = std::make_unique<CPTypedList<MatchwiseStreamData>>();
    const int side = stream->GetHotCold();
    for (const auto& r : m_records)
        if ((side == 0 && r->GetHotStream() == stream) || (side == 1 && r->GetColdStream() == stream))
            matches->Append(r.get());
    return matches;
}

int MatchwiseStreamDataList::SetCostModelName(const CPString& hotName, const CPString& coldName,
                                              const CPString& model) {
    int changed = 0;
    for (const auto& r : m_records) {
        if (r->GetHotStream() && r->GetColdStream() && r->GetHotStream()->GetName() == hotName &&
            r->GetColdStream()->GetName() == coldName) {
            r->SetCostModelName(model);
            changed = 1;
        }
    }
    return changed;
}

void MatchwiseStreamDataList::RenameCostModel(const CPString& oldName, const CPString& newName) {
    for (const auto& r : m_records) {
        const CPString* name = r->PeekCostModelName();
        if (name && upper(*name) == upper(oldName)) r->SetCostModelName(newName);
    }
}

bool MatchwiseStreamDataList::UsesCostModel(const CPString& name) const {
    const CPString key = upper(name);
    for (const auto& r : m_records) {
        const CPString* model = r->PeekCostModelName();
        if (upper(model ? *model : CPString(MatchwiseStreamData::kDefaultCostModel)) == key) return true;
    }
    return false;
}

void MatchwiseStreamDataList::Reset() {
    for (const auto& r : m_records) {
        r->dFirstValue = r->dCountercurrentArea = r->dShellAndTubeArea = r->dFourthValue = r->dMatchValue = 0.0;
        r->dTolerance[0] = 1e-8;
    }
}

void MatchwiseStreamDataList::ResetAreaValues() {
    for (const auto& r : m_records) {
        r->dCountercurrentArea = r->dShellAndTubeArea = r->dMatchValue = 0.0;
        r->dTolerance[0] = 1e-8;
    }
}

MatchwiseStreamData* MatchwiseStreamDataList::GetMatch(int index) const {
    if (index < 0 || index >= GetNumberOfMatches()) return nullptr;
    return m_records[static_cast<std::size_t>(index)].get();
}
