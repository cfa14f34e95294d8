// Trend studies: time points, fouled exchangers, the calculation over the points and the
// trends built from it.
#include "eng/design/HENTrend.h"

#include "eng/design/HENEvent.h"
#include "eng/design/HENState.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {
constexpr double kEmpty = -32767.0;
constexpr const char* kFouling = "HeatExchangerFoulingEvent";

CPString foulingName(const CPString& exchanger) { return exchanger + ": Change observed heat transfer coefficient"; }

HENState* defaultStateOf(IHENDesign* design) {
    return design ? dynamic_cast<HENState*>(design->GetDefaultState()) : nullptr;
}
}  // namespace

HENTrend::HENTrend(IHENDesign* design) : m_design(design) {
    CNode* unit = nullptr;
    for (int i = 0; design && i < design->GetNumberOfHeatExchangers(); ++i) {
        if (!design->GetHeatExchanger(i, unit) || !unit) continue;
        CPString name;
        unit->getVariableAsString(NodeValue::UnitOperationName, name);
        if (unit->getVariableStatus(NodeValue::HTArea) == ValueStatus::Specified) m_exchangers.emplace_back(name, unit);
        else if (HeatExch* x = AsHeatExch(unit); x && x->IsUtilityExch()) m_utilityExchangers.push_back(unit);
    }
    SetUpTimePoints();
}

HENTrend::HENTrend(HENTrend& source)
    : IHENTrend(source), NotificationSender(), m_timeUnit(source.m_timeUnit), m_design(source.m_design),
      m_intervals(source.m_intervals), m_referencePoint(source.m_referencePoint), m_times(source.m_times),
      m_exchangers(source.m_exchangers), m_utilityExchangers(source.m_utilityExchangers), m_fouled(source.m_fouled),
      m_reference(&source), m_cumulativeProfit(source.m_cumulativeProfit) {
    for (const auto& point : source.m_points) {
        auto copy = std::make_unique<HENOperatingSchedule>(*point);
        // The study's points follow their events' values, as the source's do.
        for (int i = 0; i < copy->GetNumberOfEvents(); ++i)
            if (IHENEvent* e = copy->GetEvent(i)) {
                e->AddNotificationReceiver(copy.get());
                e->AddValidMessage(copy.get(), IHENEvent::CodeNewValue);
            }
        m_points.push_back(std::move(copy));
    }
}

HENTrend::~HENTrend() {
    m_selectedCleaning = nullptr;
    m_selectedSpecial = nullptr;
    for (const auto& e : m_cleanings) e->RemoveNotificationReceiver(this);
    for (const auto& e : m_specials) e->RemoveNotificationReceiver(this);
    m_utilitySeries.clear();
    m_outletSeries.clear();
    m_profitSeries.clear();
    m_cleanings.clear();
    m_specials.clear();
    m_points.clear();
    SendAMessage(CodeDestroyed, CPString(), this);
}

void HENTrend::SetUpTimePoints() {
    m_points.clear();
    m_times.assign(static_cast<std::size_t>(m_intervals) + 1, 0.0);
    const HENState* state = defaultStateOf(m_design);
    const HENState empty;
    for (int i = 0; i <= m_intervals; ++i)
        m_points.push_back(std::make_unique<HENOperatingSchedule>(CPString("t") + std::to_string(i).c_str(),
                                                                  state ? *state : empty));
}

int HENTrend::SetNumberOfIntervals(int n) {
    if (n < 0 || n > MaxIntervals) return -1;
    // The fouled exchangers' coefficients live in the points' fouling events: each point that
    // stays keeps them, and a new point starts from no change, as a newly fouled exchanger does.
    std::vector<std::vector<double>> kept(m_fouled.size());
    for (std::size_t j = 0; j < m_fouled.size(); ++j)
        for (const auto& point : m_points) {
            double v = kEmpty;
            if (point->SelectEvent(foulingName(m_fouled[j].first).c_str())) v = point->GetCurrentEventNewValue();
            kept[j].push_back(v);
        }
    m_intervals = n;
    SetUpTimePoints();
    for (std::size_t j = 0; j < m_fouled.size(); ++j)
        for (std::size_t i = 0; i < m_points.size(); ++i) {
            HENOperatingSchedule& point = *m_points[i];
            if (point.AddEvent(kFouling, m_fouled[j].first.c_str())) continue;
            const double v = i < kept[j].size() ? kept[j][i] : kEmpty;
            point.SetCurrentEventNewValue(v != kEmpty ? v : point.GetCurrentEventBaseValue());
        }
    const int dropped = RewriteStudyEvents();
    InvalidateResults();
    return dropped;
}

HENOperatingSchedule* HENTrend::GetTimePointSchedule(int point) const {
    return point >= 0 && point < static_cast<int>(m_points.size()) ? m_points[point].get() : nullptr;
}

// ---------------------------------------------------------------- exchangers

void HENTrend::RenameTarget(const CPString& oldName, const CPString& newName, bool stream) {
    // An event's name is built from its exchanger's or stream's: the study's tree node follows it.
    auto rename = [&](auto& event, auto set) {
        const CPString previous = event.GetName();
        set(event);
        SendAMessage(CodeCleaningMoved, previous, const_cast<char*>(event.GetName()));
    };
    if (stream) {
        for (const auto& change : m_specials)
            if (oldName == change->GetStreamName()) rename(*change, [&](auto& e) { e.SetStreamName(newName); });
        for (auto* series : {&m_utilitySeries, &m_outletSeries})
            for (auto& [name, values] : *series)
                if (name == oldName) name = newName;
    } else {
        for (auto* list : {&m_exchangers, &m_fouled})
            for (auto& [name, unit] : *list)
                if (name == oldName) name = newName;
        for (const auto& cleaning : m_cleanings)
            if (oldName == cleaning->GetHeatExchangerName())
                rename(*cleaning, [&](auto& e) { e.SetHeatExchangerName(newName); });
    }
    for (const auto& point : m_points) point->RenameTarget(oldName, newName, stream);
}

HENTrend::Kept HENTrend::Keep() const {
    Kept kept;
    kept.status = m_status;
    kept.seriesBuilt = m_seriesBuilt;
    kept.utilitySeries = m_utilitySeries;
    kept.outletSeries = m_outletSeries;
    kept.profitSeries = m_profitSeries;
    kept.cumulativeProfit = m_cumulativeProfit;
    for (const auto& point : m_points) kept.points.push_back(point->Keep());
    return kept;
}

void HENTrend::GiveBack(const Kept& kept) {
    m_status = kept.status;
    m_seriesBuilt = kept.seriesBuilt;
    m_utilitySeries = kept.utilitySeries;
    m_outletSeries = kept.outletSeries;
    m_profitSeries = kept.profitSeries;
    m_cumulativeProfit = kept.cumulativeProfit;
    if (kept.points.size() != m_points.size()) return;
    for (std::size_t i = 0; i < m_points.size(); ++i) m_points[i]->GiveBack(kept.points[i]);
}

void HENTrend::FollowPlant(const HENState* before, const HENState& now) {
    for (const auto& point : m_points) point->FollowPlant(before, now);
    InvalidateResults();
}

bool HENTrend::IsStudyExchanger(const CPString& name) const {
    return std::any_of(m_exchangers.begin(), m_exchangers.end(), [&](const auto& e) { return e.first == name; });
}

void HENTrend::GetHeatExchangerName(int index, CPString& out) const {
    if (index >= 0 && index < static_cast<int>(m_exchangers.size())) out = m_exchangers[index].first;
}

void HENTrend::GetFouledHeatExchangerName(int index, CPString& out) const {
    if (index >= 0 && index < static_cast<int>(m_fouled.size())) out = m_fouled[index].first;
}

void HENTrend::AddFouledHeatExchanger(const CPString& name) {
    const auto found = std::find_if(m_exchangers.begin(), m_exchangers.end(), [&](const auto& e) { return e.first == name; });
    if (found != m_exchangers.end() &&
        std::none_of(m_fouled.begin(), m_fouled.end(), [&](const auto& e) { return e.first == name; }))
        m_fouled.push_back(*found);
    // Each point fouls from no change at all: the new value starts as the base value.
    for (const auto& point : m_points)
        if (!point->AddEvent(kFouling, name.c_str())) point->SetCurrentEventNewValue(point->GetCurrentEventBaseValue());
    InvalidateResults();
}

void HENTrend::RemoveFouledHeatExchanger(const CPString& name) {
    const auto found = std::find_if(m_fouled.begin(), m_fouled.end(), [&](const auto& e) { return e.first == name; });
    if (!IsStudyExchanger(name) || found == m_fouled.end()) return;
    m_fouled.erase(found);
    const CPString label = foulingName(name);
    for (const auto& point : m_points)
        if (point->SelectEvent(label.c_str())) point->DeleteCurrentEvent();
    InvalidateResults();
}

void HENTrend::SetFouledHTC(const CPString& exchanger, int point, double value) {
    HENOperatingSchedule* s = GetTimePointSchedule(point);
    if (!s || !s->SelectEvent(foulingName(exchanger).c_str())) return;
    s->SetCurrentEventNewValue(value);
    InvalidateResults();
}

double HENTrend::GetFouledHTC(const CPString& exchanger, int point) {
    HENOperatingSchedule* s = GetTimePointSchedule(point);
    if (!s || !s->SelectEvent(foulingName(exchanger).c_str())) return kEmpty;
    return point == m_referencePoint ? s->GetCurrentEventBaseValue() : s->GetCurrentEventNewValue();
}

// ---------------------------------------------------------------- streams and times

int HENTrend::GetNumberOfStreams() const { return m_design ? m_design->GetNumberOfProcessStreams() : 0; }

const char* HENTrend::GetStreamName(int index) const {
    IHeatIntegrationStream* s = m_design ? m_design->GetProcessStream(index) : nullptr;
    return s ? s->GetName().c_str() : nullptr;
}

double HENTrend::GetStreamMassFlow(int index) const {
    IHeatIntegrationStream* s = m_design ? m_design->GetProcessStream(index) : nullptr;
    double flow = 0.0;
    return s && s->GetValue("MassFlow", flow, 0) ? flow : 0.0;
}

void HENTrend::SetTimeAtPoint(int point, double time) {
    if (point < 0 || point >= static_cast<int>(m_times.size())) return;
    m_times[point] = time;
    // The cumulative figure integrates over the times: it follows a new time (or time unit) at
    // once from the profit index of each point, which the times do not change.
    if (m_seriesBuilt && m_profitSeries.size() == m_times.size())
        m_cumulativeProfit = IntegrateProfitIndex(m_times, m_profitSeries);
}

double HENTrend::GetTimeAtPoint(int point) const {
    return point >= 0 && point < static_cast<int>(m_times.size()) ? m_times[point] : kEmpty;
}

// ---------------------------------------------------------------- calculation

bool HENTrend::AllTimePointsNeedCalculation() const {
    return std::all_of(m_points.begin(), m_points.end(), [](const auto& p) { return p->NeedsCalculation(); });
}

// A study runs whatever its points' events are (a fouling profile alone is a study): one with
// no event at any point has nothing to follow.
bool HENTrend::NeedsCalculation() const {
    if (m_status != 0) return false;
    if (!m_cleanings.empty() || !m_specials.empty()) return true;
    return std::any_of(m_points.begin(), m_points.end(), [](const auto& p) { return p->GetNumberOfEvents() > 0; });
}

// The one mark of a study's results: not calculated, no trends and no cumulative figure, and each
// point not solved, until the study runs again.
void HENTrend::InvalidateResults() {
    m_status = 0;
    m_seriesBuilt = false;
    m_utilitySeries.clear();
    m_outletSeries.clear();
    m_profitSeries.clear();
    m_cumulativeProfit = kEmpty;
    for (const auto& point : m_points)
        if (point->GetStatus() != 0) point->InvalidateResults();
}

double HENTrend::ProfitIndexOf(const IHENState& state) const {
    double profit = 0.0;
    const int streams = m_design ? m_design->GetNumberOfProcessStreams() : state.GetNumberOfStreams();
    for (int k = 0; k < streams; ++k) {
        const double flow = state.GetStreamMassFlow(k);
        if (flow != kEmpty) profit += state.GetStreamPricePerMass(k) * flow;
    }
    // The utility cost is paid over the hours the plant operates; so is the product made.
    if (m_design) profit *= m_design->GetOperatingYearShare();
    const double utilities = state.GetTotalUtilityCost();
    return utilities == kEmpty ? profit : profit - utilities;
}

double HENTrend::IntegrateProfitIndex(const std::vector<double>& times, const std::vector<double>& profits) {
    double sum = 0.0;
    const std::size_t n = std::min(times.size(), profits.size());
    for (std::size_t i = 0; i + 1 < n; ++i) sum += (times[i + 1] - times[i]) * (profits[i] + profits[i + 1]) * 0.5;
    return sum;
}

void HENTrend::Calculate() {
    HENState* state = defaultStateOf(m_design);
    if (!m_design) return;
    bool anyNotConverged = false;
    bool refused = false;
    for (int i = 0; i <= m_intervals && !refused; ++i) {
        HENOperatingSchedule* point = GetTimePointSchedule(i);
        if (!point) continue;
        // A point is run and judged as a schedule is: a flow change the stream as it now is
        // cannot take, or a solution no heater, cooler or utility can run at, is no result, and
        // the study is then not calculated.
        const CPString name = CPString(GetName()) + " " + point->GetName();
        if (m_design->JudgeWhatIfEvents(point, name.c_str())) {
            refused = true;
            break;
        }
        m_design->Deactivate();
        if (state) state->ApplyToDesign();
        for (int e = 0; e < point->GetNumberOfEvents(); ++e)
            if (auto* event = dynamic_cast<HENEvent*>(point->GetEvent(e))) ApplyEventToSchedule(*event, *point);
        UserStatusClear(2);
        UserStatusReport(FormattedText("Calculating Default Study: time interval %i", i), 2);
        m_design->Activate(1);
        if (m_design->JudgeWhatIfResult(name.c_str())) {
            refused = true;
            break;
        }
        point->State().SetFromDesign(*m_design);
        const int result = m_design->GetCalculationStatus();
        if (result == 1) {
            point->SetStatus(CPString());
            if (m_intervals != 0 && !anyNotConverged) m_status = 1;
        } else if (result == 2) {
            point->SetStatus("NotConverged");
            // One point that did not settle makes the whole study not converged.
            m_status = 2;
            anyNotConverged = true;
        }
    }
    if (refused) {
        for (const auto& point : m_points) point->InvalidateResults();
        m_status = 0;
        m_utilitySeries.clear();
        m_outletSeries.clear();
        m_profitSeries.clear();
        m_seriesBuilt = false;
        m_cumulativeProfit = kEmpty;
        return;
    }
    BuildSeries();
    std::vector<double> profits;
    for (const auto& point : m_points) profits.push_back(ProfitIndexOf(point->State()));
    m_cumulativeProfit = IntegrateProfitIndex(m_times, profits);
    m_seriesBuilt = true;
}

void HENTrend::BuildSeries() {
    m_utilitySeries.clear();
    m_outletSeries.clear();
    m_profitSeries.clear();
    if (!m_design) return;
    for (int u = 0; u < m_design->GetNumberOfUtilityStreams(); ++u) {
        IHeatIntegrationStream* s = m_design->GetUtilityStream(u);
        if (!s) continue;
        std::vector<double> values;
        for (const auto& point : m_points) values.push_back(point->State().GetUtilityDuty(u));
        m_utilitySeries.emplace_back(s->GetName().c_str(), std::move(values));
    }
    for (const auto& point : m_points) m_profitSeries.push_back(ProfitIndexOf(point->State()));
    for (int k = 0; k < m_design->GetNumberOfProcessStreams(); ++k) {
        IHeatIntegrationStream* s = m_design->GetProcessStream(k);
        if (!s) continue;
        std::vector<double> values;
        for (const auto& point : m_points) values.push_back(point->State().GetStreamOutletTemperature(k));
        m_outletSeries.emplace_back(s->GetName().c_str(), std::move(values));
    }
}

// ---------------------------------------------------------------- series

const std::vector<double>* HENTrend::FindSeries(const Series& series, const CPString& name) {
    for (const auto& [key, values] : series)
        if (name == key.c_str()) return &values;
    return nullptr;
}

int HENTrend::GetNumberOfTrendSeries(const CPString& kind) const {
    if (kind == "Utility Stream Trend") return m_design ? m_design->GetNumberOfUtilityStreams() : 0;
    if (kind == "Utility Exch Load Trend" || kind == "Utility Exch Inlet Temp Trend")
        return static_cast<int>(m_utilityExchangers.size());
    if (kind == "Stream Outlet Temp Trend") return m_design ? m_design->GetNumberOfProcessStreams() : 0;
    return 0;
}

void HENTrend::GetTrendSeriesName(const CPString& kind, int index, CPString& out) const {
    IHeatIntegrationStream* s = nullptr;
    if (kind == "Utility Stream Trend" && m_design) s = m_design->GetUtilityStream(index);
    else if (kind == "Stream Outlet Temp Trend" && m_design) s = m_design->GetProcessStream(index);
    else if ((kind == "Utility Exch Load Trend" || kind == "Utility Exch Inlet Temp Trend") && index >= 0 &&
             index < static_cast<int>(m_utilityExchangers.size()))
        m_utilityExchangers[index]->getVariableAsString(NodeValue::UnitOperationName, out);
    if (s) out = s->GetName();
}

double HENTrend::GetTrendValue(const CPString& kind, int point, const CPString& series) const {
    const std::vector<double>* values = nullptr;
    if (kind == "Profit Index Trend") values = m_profitSeries.empty() ? nullptr : &m_profitSeries;
    else if (kind == "Utility Stream Trend") values = FindSeries(m_utilitySeries, series);
    else if (kind == "Stream Outlet Temp Trend") values = FindSeries(m_outletSeries, series);
    if (!values || point < 0 || point >= static_cast<int>(values->size())) return kEmpty;
    return (*values)[point];
}
