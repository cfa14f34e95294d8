#include "eng/design/UnitWorkList.h"

#include "pellin/CNode.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <cstring>

namespace {
// Most calculations of one unit in a propagation, on average over the units: units that keep
// overwriting each other are cut off here.
constexpr int kMaxPasses = 250;
}  // namespace

UnitWorkList::UnitWorkList(const std::vector<CNode*>& units, const FlowSheet& sheet) : m_units(units), m_sheet(sheet) {
    std::size_t size = 16;
    while (size < 2 * units.size()) size *= 2;
    m_slots.assign(size, nullptr);
    m_slotIndex.assign(size, kNone);
    m_slotMask = size - 1;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const CNode* unit = units[i];
        if (!unit) continue;
        std::size_t b = std::hash<const CNode*>()(unit) * 0x9E3779B97F4A7C15ull >> 20 & m_slotMask;
        while (m_slots[b] && m_slots[b] != unit) b = (b + 1) & m_slotMask;
        // A unit listed twice is found at its first place.
        if (m_slots[b]) continue;
        m_slots[b] = unit;
        m_slotIndex[b] = i;
    }
    auto indexOf = [&](const CNode* node) { return IndexOf(node); };
    m_firstPort.reserve(units.size() + 1);
    for (const CNode* unit : units) {
        m_firstPort.push_back(m_ports.size());
        for (int k = 0; k < unit->getNumberOfUpStreamSlots(); ++k) {
            const CNode* segment = unit->getIthUpStreamNode(k);
            m_ports.push_back({segment, segment ? indexOf(segment->getIthUpStreamNode(0)) : kNone});
        }
        for (int k = 0; k < unit->getNumberOfDownStreamSlots(); ++k) {
            const CNode* segment = unit->getIthDownStreamNode(k);
            m_ports.push_back({segment, segment ? indexOf(segment->getIthDownStreamNode(0)) : kNone});
        }
    }
    m_firstPort.push_back(m_ports.size());
    m_queued.assign(units.size(), false);
    m_held.assign(units.size(), false);
    // Nothing has calculated yet.
    m_stirred.assign(units.size(), true);
    m_ownWritesOnly.assign(units.size(), false);
}

std::size_t UnitWorkList::IndexOf(const CNode* node) const {
    if (!node) return kNone;
    for (std::size_t b = std::hash<const CNode*>()(node) * 0x9E3779B97F4A7C15ull >> 20 & m_slotMask; m_slots[b];
         b = (b + 1) & m_slotMask)
        if (m_slots[b] == node) return m_slotIndex[b];
    return kNone;
}

void UnitWorkList::Hold(CNode* unit) {
    const std::size_t i = IndexOf(unit);
    if (i != kNone) m_held[i] = true;
}

void UnitWorkList::Mark(CNode* unit) {
    const std::size_t i = IndexOf(unit);
    if (i != kNone) {
        m_stirred[i] = true;
        m_ownWritesOnly[i] = false;
    }
}

int UnitWorkList::Run(int code, const std::function<void(std::vector<CNode*>&)>& whenIdle) {
    EnqueueAll();
    long budget = static_cast<long>(kMaxPasses) * static_cast<long>(m_units.size() + 1);
    int written = 0;
    std::vector<CNode*> touched;
    for (;;) {
        while (!m_queue.empty() && budget-- > 0) {
            const std::size_t i = m_queue.front();
            m_queue.pop_front();
            m_queued[i] = false;
            if (!m_stirred[i] || m_held[i]) continue;
            CNode* unit = m_units[i];
            // Stirred only by its own writes, an exchanger that knows a repeat would write
            // nothing is at rest already.
            if (m_ownWritesOnly[i]) {
                m_ownWritesOnly[i] = false;
                if (const HeatExch* x = unit->asHeatExch(); x && x->IsSettled()) {
                    m_stirred[i] = false;
                    continue;
                }
            }
            const std::uint64_t epoch = m_sheet.FractionEpoch();
            ReadPorts(i);
            ++m_calculations;
            const int n = unit->Calculate(code);
            written += n;
            m_stirred[i] = false;
            if (m_sheet.FractionEpoch() != epoch) StirAll();
            else if (n > 0) {
                Enqueue(i, true);
                m_ownWritesOnly[i] = true;
                EnqueueNeighbours(i, true);
            }
        }
        if (budget <= 0 || !whenIdle) break;
        touched.clear();
        whenIdle(touched);
        if (touched.empty()) break;
        // What the idle step wrote is not read back here: every unit next to it calculates.
        for (CNode* unit : touched) {
            if (const std::size_t i = IndexOf(unit); i != kNone) {
                Enqueue(i, true);
                EnqueueNeighbours(i, false);
                continue;
            }
            // A unit outside the list (a recalculation of part of the network): the ones of the
            // list next to it still calculate.
            for (int k = 0; k < unit->getNumberOfUpStreamSlots(); ++k)
                if (const CNode* segment = unit->getIthUpStreamNode(k)) EnqueueNode(segment->getIthUpStreamNode(0));
            for (int k = 0; k < unit->getNumberOfDownStreamSlots(); ++k)
                if (const CNode* segment = unit->getIthDownStreamNode(k)) EnqueueNode(segment->getIthDownStreamNode(0));
        }
    }
    // Cut off before the units came to rest: none of them is known to be at rest.
    if (budget <= 0) {
        m_stirred.assign(m_units.size(), true);
        m_ownWritesOnly.assign(m_units.size(), false);
    }
    return written;
}

void UnitWorkList::ReadPort(const CNode* segment, std::vector<Entry>& out, std::vector<CPString>& texts) {
    if (!segment) return;
    const CPValue& values = segment->getValues();
    for (std::size_t k = 0; k < values.GetNumberOfSubValues(); ++k) {
        const CPValue& v = *values.GetSubValue(k);
        Entry e{};
        const double number = v.IsText() ? 0.0 : v.GetValue();
        std::memcpy(&e.bits, &number, sizeof number);
        e.status = v.GetStatus();
        e.text = kNone;
        if (v.IsText()) {
            e.text = texts.size();
            texts.push_back(v.GetText());
        }
        e.subValues = v.GetNumberOfSubValues();
        out.push_back(e);
    }
}

bool UnitWorkList::PortChanged(const CNode* segment, std::size_t first, std::size_t end) {
    const CPValue& values = segment->getValues();
    if (values.GetNumberOfSubValues() != end - first) return true;
    for (std::size_t k = 0; k < end - first; ++k) {
        const CPValue& v = *values.GetSubValue(k);
        const Entry& a = m_before[first + k];
        const double number = v.IsText() ? 0.0 : v.GetValue();
        std::uint64_t bits = 0;
        std::memcpy(&bits, &number, sizeof number);
        if (a.bits != bits || a.status != v.GetStatus() || a.subValues != v.GetNumberOfSubValues() ||
            (a.text != kNone) != v.IsText() || (a.text != kNone && m_texts[a.text] != v.GetText()))
            return true;
    }
    return false;
}

// Only the ports with a unit of the list across them are compared after the unit writes.
void UnitWorkList::ReadPorts(std::size_t unit) {
    m_before.clear();
    m_texts.clear();
    m_portStart.clear();
    for (std::size_t p = m_firstPort[unit]; p < m_firstPort[unit + 1]; ++p) {
        m_portStart.push_back(m_before.size());
        if (m_ports[p].neighbour != kNone) ReadPort(m_ports[p].segment, m_before, m_texts);
    }
    m_portStart.push_back(m_before.size());
}

void UnitWorkList::Enqueue(std::size_t unit, bool stir) {
    if (stir) {
        m_stirred[unit] = true;
        m_ownWritesOnly[unit] = false;
    }
    if (m_queued[unit]) return;
    m_queued[unit] = true;
    m_queue.push_back(unit);
}

void UnitWorkList::EnqueueNode(const CNode* unit) {
    if (const std::size_t i = IndexOf(unit); i != kNone) Enqueue(i, true);
}

void UnitWorkList::EnqueueAll() {
    for (std::size_t i = 0; i < m_units.size(); ++i)
        if (!m_queued[i]) {
            m_queued[i] = true;
            m_queue.push_back(i);
        }
}

void UnitWorkList::StirAll() {
    m_stirred.assign(m_units.size(), true);
    m_ownWritesOnly.assign(m_units.size(), false);
    EnqueueAll();
}

void UnitWorkList::EnqueueNeighbours(std::size_t unit, bool changedOnly) {
    const std::size_t first = m_firstPort[unit];
    for (std::size_t p = first; p < m_firstPort[unit + 1]; ++p) {
        const Port& port = m_ports[p];
        if (!port.segment || port.neighbour == kNone) continue;
        Enqueue(port.neighbour, !changedOnly || PortChanged(port.segment, m_portStart[p - first],
                                                             m_portStart[p - first + 1]));
    }
}
