#include "eng/model/PlantNormalForm.h"

#include "eng/model/IHeatIntegrationStream.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace {

bool Touch(double a, double b) {
    return std::fabs(a - b) <= PlantNormalForm::TouchTolerance * std::max({1.0, std::fabs(a), std::fabs(b)});
}

bool Same(double a, double b) {
    if (a == b) return true;
    return std::fabs(a - b) <= PlantNormalForm::SameValueTolerance * std::max(std::fabs(a), std::fabs(b));
}

// A utility placed on a segment uses it up to the far end of its link; a segment used only in
// part ends there, so nothing continues it.
bool UsedToItsEnd(const StreamSegment& s) {
    if (!s.pLink) return true;
    return Touch(s.pLink->dFarEndTemperature, s.dOutletTemperature) &&
           Touch(s.pLink->dShiftedFarEndTemperature, s.dShiftedOutletTemperature);
}

bool Placed(const StreamSegment& s) { return s.pLink && s.pLink->nConnected != 0; }

}  // namespace

bool PlantNormalForm::Joinable(const StreamSegment& a, const StreamSegment& b) {
    if (a.pStream != b.pStream || a.StreamName() != b.StreamName()) return false;
    if (a.nHotCold != b.nHotCold || a.nKind != b.nKind || (a.nHotCold != 0 && a.nHotCold != 1)) return false;
    if (!(a.DTminContribution == b.DTminContribution)) return false;
    if (!Same(a.dFilmCoefficient, b.dFilmCoefficient)) return false;
    if (!Touch(a.dOutletTemperature, b.dInletTemperature) ||
        !Touch(a.dShiftedOutletTemperature, b.dShiftedInletTemperature))
        return false;
    if ((a.pLink != nullptr) != (b.pLink != nullptr)) return false;
    if (a.nKind == 1) {
        // A utility's rows are one range: its rate follows from the load placed on it, so two rows
        // that are both placed (or both not) and the first used to its end are one segment.
        return Placed(a) == Placed(b) && UsedToItsEnd(a);
    }
    return Same(a.dHeatCapacityFlowrate, b.dHeatCapacityFlowrate) && UsedToItsEnd(a);
}

void PlantNormalForm::OrderByName(std::vector<IHeatIntegrationStream*>& streams) {
    std::stable_sort(streams.begin(), streams.end(), [](const IHeatIntegrationStream* a, const IHeatIntegrationStream* b) {
        if (!a || !b) return b != nullptr && a == nullptr;
        return a->GetName() < b->GetName();
    });
}

PlantNormalForm::Plan PlantNormalForm::PlanOf(std::span<StreamSegment* const> userSegments) {
    Plan plan;
    plan.order.reserve(userSegments.size());
    for (StreamSegment* s : userSegments)
        if (s) plan.order.push_back(s);
    // Each stream's segments keep their order: a stable sort by the stream's name, then by the
    // stream itself (a segment without a stream groups by its own name alone).
    std::unordered_map<const void*, std::size_t> firstSeen;
    for (std::size_t k = 0; k < plan.order.size(); ++k) firstSeen.emplace(plan.order[k]->pStream, k);
    std::stable_sort(plan.order.begin(), plan.order.end(), [&](const StreamSegment* a, const StreamSegment* b) {
        const int byName = a->StreamName().compare(b->StreamName());
        if (byName != 0) return byName < 0;
        if (a->pStream == b->pStream) return false;
        return firstSeen.at(a->pStream) < firstSeen.at(b->pStream);
    });
    for (std::size_t k = 0; k < plan.order.size(); ++k)
        if (k == 0 || !Joinable(*plan.order[k - 1], *plan.order[k])) plan.runStarts.push_back(k);
    return plan;
}

void PlantNormalForm::Join(const StreamSegment* const* from, const StreamSegment* const* to, StreamSegment& into) {
    const StreamSegment& first = **from;
    const StreamSegment& last = *to[-1];
    into.dInletTemperature = first.dInletTemperature;
    into.dOutletTemperature = last.dOutletTemperature;
    into.dShiftedInletTemperature = first.dShiftedInletTemperature;
    into.dShiftedOutletTemperature = last.dShiftedOutletTemperature;
    into.dFilmCoefficient = first.dFilmCoefficient;
    into.dEndToleranceLoad[0] = first.dEndToleranceLoad[0];
    into.dEndToleranceLoad[1] = last.dEndToleranceLoad[1];
    into.DTminContribution = first.DTminContribution;
    into.nIndex = first.nIndex;
    into.nHotCold = first.nHotCold;
    into.nKind = first.nKind;
    into.nIntervalCount = 0;
    into.nFirstInterval = 0;
    into.nLastInterval = 0;
    into.pStream = first.pStream;
    into.strStreamName = first.strStreamName;
    // The rate over the joined range: the span-weighted mean of the parts' rates, which is each
    // part's rate for a process stream and spreads a utility's placed load over its whole range.
    double load = 0.0, summed = 0.0, heat = 0.0, span = 0.0;
    for (const StreamSegment* const* s = from; s != to; ++s) {
        load += (*s)->dLoad;
        summed += (*s)->dSummedLoad;
        const double width = std::fabs((*s)->dInletTemperature - (*s)->dOutletTemperature);
        heat += (*s)->dHeatCapacityFlowrate * width;
        span += width;
    }
    into.dLoad = load;
    into.dSummedLoad = summed;
    into.dHeatCapacityFlowrate = span > 0.0 ? heat / span : first.dHeatCapacityFlowrate;
    if (first.pLink) {
        if (!into.pLink) into.pLink = std::make_unique<StreamSegmentLink>();
        *into.pLink = *first.pLink;
        into.pLink->dFarEndTemperature = last.pLink->dFarEndTemperature;
        into.pLink->dShiftedFarEndTemperature = last.pLink->dShiftedFarEndTemperature;
        for (const StreamSegment* const* s = from; s != to; ++s) {
            into.pLink->nLoaded |= (*s)->pLink->nLoaded;
            into.pLink->nSelected |= (*s)->pLink->nSelected;
            into.pLink->nCrossPinch |= (*s)->pLink->nCrossPinch;
        }
    } else {
        into.pLink.reset();
    }
}

void PlantNormalForm::Build(std::span<StreamSegment* const> userSegments) {
    m_plan = PlanOf(userSegments);
    m_segments.clear();
    m_refs.clear();
    m_normalOf.clear();
    const std::size_t runs = m_plan.runStarts.size();
    m_segments.reserve(runs);
    m_refs.reserve(runs);
    for (std::size_t r = 0; r < runs; ++r) {
        const std::size_t end = r + 1 < runs ? m_plan.runStarts[r + 1] : m_plan.order.size();
        auto joined = std::make_unique<StreamSegment>();
        Join(m_plan.order.data() + m_plan.runStarts[r], m_plan.order.data() + end, *joined);
        for (std::size_t k = m_plan.runStarts[r]; k < end; ++k) m_normalOf.emplace(m_plan.order[k], r);
        m_refs.push_back(joined.get());
        m_segments.push_back(std::move(joined));
    }
}

bool PlantNormalForm::Retake(std::span<StreamSegment* const> userSegments) {
    Plan plan = PlanOf(userSegments);
    if (plan.order != m_plan.order || plan.runStarts != m_plan.runStarts) return false;
    const std::size_t runs = m_plan.runStarts.size();
    for (std::size_t r = 0; r < runs; ++r) {
        const std::size_t end = r + 1 < runs ? m_plan.runStarts[r + 1] : m_plan.order.size();
        Join(m_plan.order.data() + m_plan.runStarts[r], m_plan.order.data() + end, *m_segments[r]);
    }
    return true;
}

std::span<StreamSegment* const> PlantNormalForm::SourcesOf(std::size_t k) const {
    if (k >= m_plan.runStarts.size()) return {};
    const std::size_t end = k + 1 < m_plan.runStarts.size() ? m_plan.runStarts[k + 1] : m_plan.order.size();
    return std::span<StreamSegment* const>(m_plan.order.data() + m_plan.runStarts[k], end - m_plan.runStarts[k]);
}

StreamSegment* PlantNormalForm::NormalOf(const StreamSegment* user) const {
    const auto at = m_normalOf.find(user);
    return at == m_normalOf.end() ? nullptr : m_refs[at->second];
}

std::vector<PlantNormalForm::Run> PlantNormalForm::RunsOf(const IHeatIntegrationStream& stream) {
    const int n = std::max(0, stream.GetNumberOfSegments());
    std::vector<StreamSegment> made(static_cast<std::size_t>(n));
    std::vector<StreamSegment*> refs;
    refs.reserve(made.size());
    const int side = stream.GetHotCold(), kind = stream.GetStreamKind();
    for (int k = 0; k < n; ++k) {
        StreamSegment& seg = made[static_cast<std::size_t>(k)];
        double from = 0.0, to = 0.0, h = 0.0;
        stream.GetValue("Temperature", from, k);
        stream.GetValue("Temperature", to, k + 1);
        if (stream.GetValue("HTCoeff", h, k) != 1) h = 0.0;
        seg.dInletTemperature = seg.dShiftedInletTemperature = from;
        seg.dOutletTemperature = seg.dShiftedOutletTemperature = to;
        seg.dHeatCapacityFlowrate = stream.GetSegmentHeatCapacityFlowrate(k);
        seg.dFilmCoefficient = h;
        seg.nHotCold = static_cast<std::int8_t>(side);
        seg.nKind = static_cast<std::int8_t>(kind == 1 || kind == 2 ? kind : 0);
        seg.nIndex = k;
        seg.strStreamName = stream.GetName();
        refs.push_back(&seg);
    }
    std::vector<Run> runs;
    for (int k = 0; k < n; ++k) {
        if (k == 0 || !Joinable(*refs[static_cast<std::size_t>(k) - 1], *refs[static_cast<std::size_t>(k)]))
            runs.push_back(Run{k, 0});
        ++runs.back().count;
    }
    return runs;
}
