#include "vireth/PinchModel.h"

#include "pellin/FFactor.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace vireth {
namespace {
constexpr double kInfinity = 1e19;
constexpr double kSmallestDifference = 1e-3;  // K; end differences are floored here
// The area of the cost law is offset by this much (m2): the law's slope, b c A^(c-1), grows
// without bound as an exchanger's duty goes to 0, which no quasi-Newton step survives; the offset
// bounds it and changes a cost by less than b x 0.01^c.
constexpr double kAreaOffset = 0.01;
constexpr double kSmoothing = 1.0;            // cost units of the smooth maximum
constexpr double kSmallestSpan = 1e-3;        // K of a segment without temperature change
constexpr int kMaxSolves = 5;
constexpr double kDutyAgreement = 0.001;
constexpr double kSecondsPerHour = 3600.0;

bool isEnd(const std::string& unit) { return unit == "END"; }
bool isStart(const std::string& unit) { return unit == "START"; }
}  // namespace

// ---------------------------------------------------------------- heat content

HeatContent::HeatContent(const StreamDecl& stream) : m_supply(stream.supplyT), m_sign(stream.cold ? 1.0 : -1.0) {
    double distance = 0.0, heat = 0.0;
    for (const SegmentDecl& s : stream.segments) {
        double span = std::fabs(s.outletT - s.inletT);
        double cp = span > 1e-9 ? std::fabs(s.load) / span : std::fabs(s.massFlow * s.cp);
        if (span < kSmallestSpan) {
            if (span <= 1e-9 && s.load != 0.0) cp = std::fabs(s.load) / kSmallestSpan;
            span = kSmallestSpan;
        }
        m_heat.push_back(heat);
        m_slopes.push_back(cp);
        distance += span;
        heat += cp * span;
        m_breaks.push_back(distance);
    }
}

double HeatContent::At(double t, double* slope) const {
    const double d = m_sign * (t - m_supply);
    if (m_slopes.empty()) {
        if (slope) *slope = 0.0;
        return 0.0;
    }
    std::size_t k = 0;
    if (d > 0.0) {
        k = static_cast<std::size_t>(std::lower_bound(m_breaks.begin(), m_breaks.end(), d) - m_breaks.begin());
        if (k >= m_slopes.size()) k = m_slopes.size() - 1;
    }
    const double start = k == 0 ? 0.0 : m_breaks[k - 1];
    if (slope) *slope = m_sign * m_slopes[k];
    return m_heat[k] + m_slopes[k] * (d - start);
}

double LogMean(double a, double b, double& dA, double& dB) {
    if (std::fabs(a - b) <= 1e-6 * std::max(a, b)) {
        dA = dB = 0.5;
        return 0.5 * (a + b);
    }
    const double r = std::log(a / b);
    dA = (r - (a - b) / a) / (r * r);
    dB = (-r + (a - b) / b) / (r * r);
    return (a - b) / r;
}

// ---------------------------------------------------------------- declarations

const StreamDecl* PinchModel::FindStream(const std::string& label) const {
    auto it = m_streamIndex.find(label);
    return it == m_streamIndex.end() ? nullptr : &streams[static_cast<std::size_t>(it->second)];
}
int PinchModel::FindNode(const std::string& label) const {
    auto it = m_nodeIndex.find(label);
    return it == m_nodeIndex.end() ? -1 : it->second;
}
int PinchModel::FindExchanger(const std::string& name) const {
    auto it = m_exchangerIndex.find(name);
    return it == m_exchangerIndex.end() ? -1 : it->second;
}
int PinchModel::FindSplitter(const std::string& name) const {
    auto it = m_splitterIndex.find(name);
    return it == m_splitterIndex.end() ? -1 : it->second;
}
void PinchModel::IndexStream() { m_streamIndex[streams.back().label] = static_cast<int>(streams.size()) - 1; }
void PinchModel::IndexNode() { m_nodeIndex[nodes.back().label] = static_cast<int>(nodes.size()) - 1; }
void PinchModel::IndexSplitter() { m_splitterIndex[splitters.back().name] = static_cast<int>(splitters.size()) - 1; }
void PinchModel::IndexMixer() { m_mixerIndex[mixers.back().name] = static_cast<int>(mixers.size()) - 1; }
void PinchModel::IndexExchanger() {
    m_exchangerIndex[exchangers.back().name] = static_cast<int>(exchangers.size()) - 1;
}

double PinchModel::Recovery() const {
    if (life <= 0.0) return 1.0;
    if (rate <= 0.0) return 1.0 / life;
    const double g = std::pow(1.0 + rate, life);
    return rate * g / (g - 1.0);
}

// ---------------------------------------------------------------- building the model

bool PinchModel::Build() {
    m_rows.clear();
    m_x4.assign(exchangers.size(), Exchanger{});
    m_heat.clear();
    for (const StreamDecl& s : streams) m_heat.emplace_back(s);
    // Shares: splitters are declared enclosing ones first, so an inner splitter's inlet already
    // carries its share.
    m_share.assign(nodes.size(), 1.0);
    auto nodeOf = [&](int number) { return FindNode(std::to_string(number)); };
    for (const SplitterDecl& s : splitters) {
        const int inlet = FindNode(s.inlet);
        if (inlet < 0 || s.fractions.size() != s.branches.size()) return false;
        for (std::size_t k = 0; k < s.branches.size(); ++k)
            for (int number : s.branches[k]) {
                const int n = nodeOf(number);
                if (n < 0) return false;
                m_share[static_cast<std::size_t>(n)] = m_share[static_cast<std::size_t>(inlet)] * s.fractions[k];
            }
    }
    // Variables: duties first, then the free temperatures.
    m_variables = static_cast<int>(exchangers.size());
    m_nodeRef.assign(nodes.size(), Ref{});
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        const NodeDecl& d = nodes[n];
        const StreamDecl* s = FindStream(d.stream);
        if (!s) return false;
        m_nodeRef[n].held = d.temperature;
        if (!s->utility && !isStart(d.from) && !isEnd(d.to)) m_nodeRef[n].column = m_variables++;
    }
    m_x.assign(static_cast<std::size_t>(m_variables), 0.0);
    m_xl.assign(m_x.size(), -kInfinity);
    m_xu.assign(m_x.size(), kInfinity);
    for (std::size_t n = 0; n < nodes.size(); ++n)
        if (m_nodeRef[n].column >= 0) m_x[static_cast<std::size_t>(m_nodeRef[n].column)] = nodes[n].temperature;

    auto addRow = [&](Row row) { m_rows.push_back(std::move(row)); };
    for (std::size_t e = 0; e < exchangers.size(); ++e) {
        const ExchangerDeclaration& d = exchangers[e];
        Exchanger& x = m_x4[e];
        const std::string* labels[4] = {&d.hotIn, &d.hotOut, &d.coldIn, &d.coldOut};
        int node[4];
        for (int p = 0; p < 4; ++p) {
            node[p] = FindNode(*labels[p]);
            if (node[p] < 0) return false;
            x.t[p] = m_nodeRef[static_cast<std::size_t>(node[p])];
        }
        double film[2] = {0.0, 0.0};
        for (int side = 0; side < 2; ++side) {
            const int in = node[2 * side];
            x.stream[side] = m_streamIndex.at(nodes[static_cast<std::size_t>(in)].stream);
            const StreamDecl& s = streams[static_cast<std::size_t>(x.stream[side])];
            x.share[side] = m_share[static_cast<std::size_t>(in)];
            film[side] = s.utility || s.segments.empty() ? s.htc : s.segments.front().htc;
            if (s.utility) {
                x.utilitySide = side;
                x.costIndex = s.costIndex;
            }
        }
        x.u = d.overallHTC > 0.0                      ? d.overallHTC
              : film[0] > 0.0 && film[1] > 0.0 ? 1.0 / (1.0 / film[0] + 1.0 / film[1])
                                                      : 1.0;
        const double parallel = std::max(1.0, d.shellsInParallel);
        if (d.arrangement == 2) {
            x.f = 1.0;
            x.shells = parallel;
        } else {
            x.f = d.fFactor > 0.0 && d.fFactor <= 1.0 ? d.fFactor : 1.0;
            x.shells = std::max(1.0, std::ceil(d.shellsInSeries - 1e-9)) * parallel;
        }
        x.existing = !d.isNew && !d.utility && x.utilitySide < 0 && d.area > 0.0;
        const std::size_t q = e;
        m_xl[q] = 0.0;
        m_xu[q] = x.utilitySide < 0 && d.maxDuty > 0.0 ? d.maxDuty : kInfinity;
        m_x[q] = std::clamp(d.duty, m_xl[q], m_xu[q]);

        for (int side = 0; side < 2; ++side) {
            if (side == x.utilitySide) continue;
            Row r;
            r.kind = RowKind::SideBalance;
            r.exchanger = static_cast<int>(e);
            r.side = side;
            addRow(r);
        }
        const Ref pairs[2][2] = {{x.t[0], x.t[3]}, {x.t[1], x.t[2]}};
        for (const auto& pair : pairs) {
            if (pair[0].column < 0 && pair[1].column < 0) continue;
            Row r;
            r.kind = RowKind::Approach;
            r.a = pair[0];
            r.b = pair[1];
            r.lower = d.dtMin;
            r.upper = kInfinity;
            addRow(r);
        }
        double limit = -1.0;
        bool hold = false;
        if (d.areaSpecified && d.area > 0.0) {
            limit = d.area;
            hold = true;
        } else if (d.areaLocked && d.area > 0.0) {
            limit = d.area;
        } else if (d.isNew && d.maxNewArea > 0.0) {
            limit = d.maxNewArea;
        }
        if (limit > 0.0) {
            Row r;
            r.kind = RowKind::AreaLimit;
            r.exchanger = static_cast<int>(e);
            r.constant = limit;
            r.lower = hold ? 0.0 : -kInfinity;
            r.upper = 0.0;
            addRow(r);
        }
    }
    auto addMixer = [&](const std::string& outlet, const std::vector<int>& inlets) {
        const int out = FindNode(outlet);
        if (out < 0) return false;
        const int stream = m_streamIndex.at(nodes[static_cast<std::size_t>(out)].stream);
        if (streams[static_cast<std::size_t>(stream)].utility) return true;
        Row r;
            r.kind = RowKind::Mixer;
        r.stream = stream;
        bool free = m_nodeRef[static_cast<std::size_t>(out)].column >= 0;
        r.pieces.emplace_back(m_nodeRef[static_cast<std::size_t>(out)], -m_share[static_cast<std::size_t>(out)]);
        for (int number : inlets) {
            const int n = nodeOf(number);
            if (n < 0) return false;
            free = free || m_nodeRef[static_cast<std::size_t>(n)].column >= 0;
            r.pieces.emplace_back(m_nodeRef[static_cast<std::size_t>(n)], m_share[static_cast<std::size_t>(n)]);
        }
        if (free) addRow(r);
        return true;
    };
    for (const SplitterDecl& s : splitters) {
        if (s.utility) continue;
        const Ref inlet = m_nodeRef[static_cast<std::size_t>(FindNode(s.inlet))];
        for (const std::vector<int>& branch : s.branches) {
            if (branch.empty()) continue;
            const Ref first = m_nodeRef[static_cast<std::size_t>(nodeOf(branch.front()))];
            if (first.column < 0 && inlet.column < 0) continue;
            Row r;
            r.kind = RowKind::Equal;
            r.a = first;
            r.b = inlet;
            addRow(r);
        }
    }
    for (const MixerDecl& m : mixers)
        if (!addMixer(m.outlet, m.inlets)) return false;
    if (capitalCap > 0.0) {
        Row r;
            r.kind = RowKind::CapitalCap;
        r.lower = -kInfinity;
        r.upper = capitalCap;
        addRow(r);
    }
    // Jacobian structure: every column a row's value can depend on.
    for (Row& r : m_rows) {
        Partials p;
        RowValue(r, m_x.data(), &p);
        for (const auto& [column, value] : p) {
            auto at = std::find(r.columns.begin(), r.columns.end(), column);
            r.slots.push_back(static_cast<int>(at - r.columns.begin()));
            if (at == r.columns.end()) r.columns.push_back(column);
        }
        if (r.kind == RowKind::SideBalance || r.kind == RowKind::Equal || r.kind == RowKind::Mixer) {
            r.lower = 0.0;
            r.upper = 0.0;
        }
    }
    return true;
}

// ---------------------------------------------------------------- areas and costs

double PinchModel::Area(int e, const double* x, double partial[5]) const {
    const Exchanger& h = m_x4[static_cast<std::size_t>(e)];
    const double q = x[e];
    double a = h.t[0].Value(x) - h.t[3].Value(x), b = h.t[1].Value(x) - h.t[2].Value(x);
    const bool aFloored = a < kSmallestDifference, bFloored = b < kSmallestDifference;
    a = std::max(a, kSmallestDifference);
    b = std::max(b, kSmallestDifference);
    double dA = 0.0, dB = 0.0;
    const double lmtd = LogMean(a, b, dA, dB);
    if (aFloored) dA = 0.0;
    if (bFloored) dB = 0.0;
    const double ufl = h.u * h.f * lmtd;
    const double area = q / ufl;
    const double dL = -q / (ufl * lmtd);
    partial[0] = 1.0 / ufl;
    partial[1] = dL * dA;   // hot in
    partial[2] = dL * dB;   // hot out
    partial[3] = -dL * dB;  // cold in
    partial[4] = -dL * dA;  // cold out
    return area;
}

double PinchModel::Capital(int e, double area, double& dCapital) const {
    const ExchangerDeclaration& d = exchangers[static_cast<std::size_t>(e)];
    const Exchanger& h = m_x4[static_cast<std::size_t>(e)];
    const double s = h.shells;
    auto cost = [&](double a, double* slope) {
        const double per = (std::max(a, 0.0) + kAreaOffset) / s;
        if (slope) *slope = d.areaCost * d.areaExponent * std::pow(per, d.areaExponent - 1.0);
        return s * (d.fixedCost + d.areaCost * std::pow(per, d.areaExponent));
    };
    double slope = 0.0;
    const double c = cost(area, &slope);
    if (!h.existing) {
        dCapital = slope;
        return c;
    }
    const double z = c - cost(d.area, nullptr);
    const double root = std::sqrt(z * z + kSmoothing * kSmoothing);
    dCapital = 0.5 * (1.0 + z / root) * slope;
    return 0.5 * (z + root);
}

void PinchModel::AddArea(int e, const double* x, double scale, Partials* partials, double& value) const {
    double partial[5];
    const double area = Area(e, x, partial);
    value += scale * area;
    if (!partials) return;
    partials->emplace_back(e, scale * partial[0]);
    for (int p = 0; p < 4; ++p) {
        const Ref& t = m_x4[static_cast<std::size_t>(e)].t[p];
        if (t.column >= 0) partials->emplace_back(t.column, scale * partial[p + 1]);
    }
}

double PinchModel::RowValue(const Row& row, const double* x, Partials* partials) const {
    auto add = [&](const Ref& r, double d) {
        if (partials && r.column >= 0) partials->emplace_back(r.column, d);
    };
    switch (row.kind) {
    case RowKind::SideBalance: {
        const Exchanger& h = m_x4[static_cast<std::size_t>(row.exchanger)];
        const HeatContent& heat = m_heat[static_cast<std::size_t>(h.stream[row.side])];
        const Ref& in = h.t[2 * row.side];
        const Ref& out = h.t[2 * row.side + 1];
        double sIn = 0.0, sOut = 0.0;
        const double hIn = heat.At(in.Value(x), &sIn), hOut = heat.At(out.Value(x), &sOut);
        const double share = h.share[row.side];
        add(in, -share * sIn);
        add(out, share * sOut);
        if (partials) partials->emplace_back(row.exchanger, -1.0);
        return share * (hOut - hIn) - x[row.exchanger];
    }
    case RowKind::Approach:
    case RowKind::Equal:
        add(row.a, 1.0);
        add(row.b, -1.0);
        return row.a.Value(x) - row.b.Value(x);
    case RowKind::Mixer: {
        const HeatContent& heat = m_heat[static_cast<std::size_t>(row.stream)];
        double value = 0.0;
        for (const auto& [ref, share] : row.pieces) {
            double slope = 0.0;
            value += share * heat.At(ref.Value(x), &slope);
            add(ref, share * slope);
        }
        return value;
    }
    case RowKind::AreaLimit: {
        // A - A_limit: the row is measured in area, whatever the duty's scale.
        double value = -row.constant;
        AddArea(row.exchanger, x, 1.0, partials, value);
        return value;
    }
    case RowKind::CapitalCap: {
        double value = 0.0;
        for (std::size_t e = 0; e < exchangers.size(); ++e) {
            if (!exchangers[e].isNew) continue;
            Partials local;
            double area = 0.0;
            AddArea(static_cast<int>(e), x, 1.0, partials ? &local : nullptr, area);
            double dCapital = 0.0;
            value += Capital(static_cast<int>(e), area, dCapital);
            if (partials)
                for (const auto& [column, d] : local) partials->emplace_back(column, dCapital * d);
        }
        return value;
    }
    }
    return 0.0;
}

// ---------------------------------------------------------------- SmoothProblem

void PinchModel::Bounds(std::vector<double>& xl, std::vector<double>& xu, std::vector<double>& gl,
                        std::vector<double>& gu) const {
    xl = m_xl;
    xu = m_xu;
    gl.clear();
    gu.clear();
    for (const Row& r : m_rows) {
        gl.push_back(r.lower);
        gu.push_back(r.upper);
    }
}

double PinchModel::Objective(const double* x) const {
    double value = 0.0;
    const double recovery = Recovery();
    for (std::size_t e = 0; e < exchangers.size(); ++e) {
        const Exchanger& h = m_x4[e];
        if (h.utilitySide >= 0) value += h.costIndex * x[e] * hours * kSecondsPerHour;
        double partial[5];
        double dCapital = 0.0;
        value += recovery * Capital(static_cast<int>(e), Area(static_cast<int>(e), x, partial), dCapital);
    }
    return value;
}

void PinchModel::Gradient(const double* x, double* gradient) const {
    std::fill(gradient, gradient + m_variables, 0.0);
    const double recovery = Recovery();
    for (std::size_t e = 0; e < exchangers.size(); ++e) {
        const Exchanger& h = m_x4[e];
        if (h.utilitySide >= 0) gradient[e] += h.costIndex * hours * kSecondsPerHour;
        Partials p;
        double area = 0.0, dCapital = 0.0;
        AddArea(static_cast<int>(e), x, 1.0, &p, area);
        Capital(static_cast<int>(e), area, dCapital);
        for (const auto& [column, d] : p) gradient[column] += recovery * dCapital * d;
    }
}

void PinchModel::ConstraintValues(const double* x, double* g) const {
    for (std::size_t r = 0; r < m_rows.size(); ++r) g[r] = RowValue(m_rows[r], x, nullptr);
}

void PinchModel::JacobianStructure(std::vector<int>& rows, std::vector<int>& columns) const {
    rows.clear();
    columns.clear();
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        for (int c : m_rows[r].columns) {
            rows.push_back(static_cast<int>(r));
            columns.push_back(c);
        }
}

void PinchModel::JacobianValues(const double* x, double* values) const {
    std::size_t k = 0;
    for (const Row& r : m_rows) {
        Partials p;
        RowValue(r, x, &p);
        std::fill(values + k, values + k + r.columns.size(), 0.0);
        for (std::size_t i = 0; i < p.size() && i < r.slots.size(); ++i)
            values[k + static_cast<std::size_t>(r.slots[i])] += p[i].second;
        k += r.columns.size();
    }
}

// ---------------------------------------------------------------- the run

void PinchModel::RefreshShells(const double* x) {
    for (std::size_t e = 0; e < exchangers.size(); ++e) {
        const ExchangerDeclaration& d = exchangers[e];
        Exchanger& h = m_x4[e];
        const double parallel = std::max(1.0, d.shellsInParallel);
        double series = 1.0;
        if (d.arrangement != 2) {
            double f = 1.0, shells = 1.0;
            g_CalculateFFactorAndShells(h.t[1].Value(x), h.t[0].Value(x), h.t[2].Value(x), h.t[3].Value(x),
                                        d.minFFactor, f, shells, 0, 0);
            series = std::max(1.0, std::ceil(shells - 1e-9));
            h.f = g_CalculateFFactorWithFixedShells(h.t[1].Value(x), h.t[0].Value(x), h.t[2].Value(x),
                                                    h.t[3].Value(x), series);
        }
        if (d.maxAreaPerShell > 0.0) {
            double partial[5];
            h.shells = 1.0;
            const double area = Area(static_cast<int>(e), x, partial);
            series = std::max(series, std::ceil(area / (d.maxAreaPerShell * parallel) - 1e-9));
        }
        h.shells = series * parallel;
    }
}

long PinchModel::Run() {
    m_solved = false;
    m_solves = 0;
    if (!Build() || m_variables == 0) return 1;
    m_startCost = Objective(m_x.data());
    std::vector<double> x = m_x;
    bool any = false;
    for (int solve = 0; solve < kMaxSolves; ++solve) {
        std::vector<double> trial = x;
        ++m_solves;
        if (SolveWithIpopt(*this, trial) == SolveOutcome::Failed) break;
        any = true;
        bool moved = false;
        for (std::size_t e = 0; e < exchangers.size(); ++e)
            if (std::fabs(trial[e] - x[e]) > kDutyAgreement * std::max(std::fabs(x[e]), 1e-6)) moved = true;
        x = trial;
        m_x = x;
        m_finalCost = Objective(x.data());
        if (!moved) break;
        RefreshShells(x.data());
    }
    if (!any) return 2;
    if (m_finalCost > m_startCost * (1.0 + 1e-9) + 1e-9) return 3;
    m_solved = true;
    return 0;
}

bool PinchModel::ExchangerResult(int e, double& duty, double& area, double t[4]) const {
    if (!m_solved || e < 0 || e >= static_cast<int>(exchangers.size())) return false;
    duty = m_x[static_cast<std::size_t>(e)];
    double partial[5];
    area = Area(e, m_x.data(), partial);
    for (int p = 0; p < 4; ++p) t[p] = m_x4[static_cast<std::size_t>(e)].t[p].Value(m_x.data());
    return true;
}

// A utility's flow follows its duty, so the share of each branch is the share of the utility
// duty done on it (the exchangers whose utility side leaves a segment of the branch, or of a
// splitter nested in it). A splitter without utility duty keeps its declared fractions.
bool PinchModel::SplitterResult(int s, std::vector<double>& fractions) const {
    if (!m_solved || s < 0 || s >= static_cast<int>(splitters.size())) return false;
    const SplitterDecl& d = splitters[static_cast<std::size_t>(s)];
    fractions = d.fractions;
    if (!d.utility) return true;
    std::vector<double> duty(d.branches.size(), 0.0);
    std::unordered_map<std::string, double> utilityDuty;  // by the utility inlet's label
    for (std::size_t e = 0; e < exchangers.size(); ++e) {
        const int side = m_x4[e].utilitySide;
        if (side >= 0) utilityDuty[side == 0 ? exchangers[e].hotIn : exchangers[e].coldIn] += m_x[e];
    }
    std::unordered_map<std::string, const SplitterDecl*> byInlet;
    for (const SplitterDecl& inner : splitters)
        if (&inner != &d) byInlet.emplace(inner.inlet, &inner);
    std::function<void(const std::vector<int>&, std::size_t)> collect = [&](const std::vector<int>& list,
                                                                            std::size_t k) {
        for (int number : list) {
            const std::string label = std::to_string(number);
            auto q = utilityDuty.find(label);
            if (q != utilityDuty.end()) duty[k] += q->second;
            auto inner = byInlet.find(label);
            if (inner != byInlet.end())
                for (const std::vector<int>& b : inner->second->branches) collect(b, k);
        }
    };
    for (std::size_t k = 0; k < d.branches.size(); ++k) collect(d.branches[k], k);
    double total = 0.0;
    for (double q : duty) total += q;
    if (total <= 0.0) return true;
    for (std::size_t k = 0; k < duty.size(); ++k) fractions[k] = duty[k] / total;
    return true;
}

}  // namespace vireth
