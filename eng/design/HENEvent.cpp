// The eight what-if event kinds. Each counts its live instances; the first one registers the
// kind's factory with the module's event registry under the kind's type name.
#include "eng/design/HENEvent.h"

#include "eng/design/HENState.h"
#include "eng/core/Registries.h"
#include "eng/model/CaseValueLimits.h"
#include "lumeth/MessageKey.h"
#include "pellin/FFactor.h"
#include "pellin/NodeKinds.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace {
constexpr double kEmpty = -32767.0;

double recordValue(const BasicStateStruct& record, const char* name) {
    double v = kEmpty;
    if (auto* x = dynamic_cast<const HeatExchStateStruct*>(&record)) x->GetValue(name, v);
    return v;
}

// What each kind is: its registry key, description, variable, value type and how it starts
// from its target record.
enum class Start { Cleaning, Same, PlusOne, Zero, SplitShare, MassFlow, Supply };

struct KindInfo {
    const char* typeName;
    const char* description;
    const char* variable;
    int valueType;
    Start start;
};

const KindInfo kKinds[] = {
    {MessageKey("CleaningHENEvent"), "Clean heat exchanger", "ObservedHTC", 1524, Start::Cleaning},
    {MessageKey("AdditionalAreaHENEvent"), "Change heat exchanger area", "HTArea", 1508, Start::Same},
    {MessageKey("AdditionalShellHENEvent"), "Change heat exchanger shells", "NShellsInSeries", 32009, Start::PlusOne},
    {MessageKey("SplitflowmodificationEvent"), "Change splitter flow", "SplitFlowValue", 32009, Start::SplitShare},
    {MessageKey("HeatExchangerRemovalEvent"), "Remove exchanger from service", "HTArea", 1508, Start::Zero},
    {MessageKey("HeatExchangerFoulingEvent"), "Change observed heat transfer coefficient", "ObservedHTC", 1524,
     Start::Same},
    {MessageKey("StreamFlowrateChangeEvent"), "Change stream mass flowrate", "MassFlow", 4, Start::MassFlow},
    {MessageKey("InletTemperatureChangeEvent"), "Change stream inlet temperature", "Temperature", 1, Start::Supply},
};

}  // namespace

const char* HENEventValueRefusal(const char* variable, double value) {
    namespace L = CaseValueLimits;
    if (!variable) return nullptr;
    const bool finite = std::isfinite(value) && value != kEmpty;
    if (std::strcmp(variable, "ObservedHTC") == 0)
        return finite && value > 0.0 && value <= L::MaxH ? nullptr : MessageKey("HTCoeffUpdateError");
    if (std::strcmp(variable, "HTArea") == 0)
        return finite && value >= 0.0 && value <= L::MaxMagnitude ? nullptr : MessageKey("AreaInputError");
    // Whole shells, no more in series than any layout of the F-factor takes (the planner's cell,
    // the design viewer and the event's own item alike).
    if (std::strcmp(variable, "NShellsInSeries") == 0)
        return finite && value >= 1.0 && value <= kMaxShellsInSeries && value == std::floor(value)
                   ? nullptr
                   : MessageKey("ShellsInputError");
    if (std::strcmp(variable, "SplitFlowValue") == 0)
        return finite && value >= 0.0 && value <= 100.0 ? nullptr : MessageKey("CannotAcceptThisPercentValue");
    if (std::strcmp(variable, "MassFlow") == 0)
        return finite && value > 0.0 && value <= L::MaxMagnitude ? nullptr : MessageKey("FlowRateUpdateError");
    if (std::strcmp(variable, "Temperature") == 0)
        return finite && value >= L::MinTemperature && value <= L::MaxTemperature
                   ? nullptr
                   : MessageKey("TemperatureUpdateError");
    return nullptr;
}

const char* HENEventValueRange(const char* variable) {
    // Worded as HENEventValueRefusal judges: ObservedHTC up to CaseValueLimits::MaxH, a mass flow
    // up to MaxMagnitude, a temperature from MinTemperature to MaxTemperature.
    static_assert(CaseValueLimits::MaxH == 1e6 && CaseValueLimits::MaxMagnitude == 1e12);
    static const std::pair<const char*, const char*> kRanges[] = {
        {"ObservedHTC", "a value above 0 and up to 1000000"},
        {"HTArea", "a value from 0 to 1000000000000"},
        {"SplitFlowValue", "a value from 0 to 100"},
        {"MassFlow", "a value above 0 and up to 1000000000000"},
    };
    if (!variable) return nullptr;
    for (const auto& [name, words] : kRanges)
        if (std::strcmp(variable, name) == 0) return words;
    return nullptr;
}

const char* HENFoulingRefusal(double u, double fouling) {
    if (!(u > 0.0) || u == kEmpty || fouling == kEmpty || !(fouling > 0.0)) return nullptr;
    const double left = 1.0 / u - fouling;
    if (!(left > 0.0)) return MessageKey("FoulingFactorUpdateError");
    return HENEventValueRefusal("ObservedHTC", 1.0 / left);
}

template <int K>
int HENEventKind<K>::s_live = 0;

template <int K>
HENEventKind<K>::HENEventKind(const char* target) : HENEvent(target) {
    if (s_live++ == 0) ModuleRegistries::RegisterEvent(kKinds[K].typeName, &Make);
    UpdateName();
}
template <int K>
HENEventKind<K>::~HENEventKind() {
    --s_live;
}
template <int K>
const char* HENEventKind<K>::GetDescription() const {
    return kKinds[K].description;
}
template <int K>
int HENEventKind<K>::GetValueType() const {
    return kKinds[K].valueType;
}
template <int K>
const char* HENEventKind<K>::GetTypeName() const {
    return kKinds[K].typeName;
}
template <int K>
const char* HENEventKind<K>::GetVariableName() const {
    return kKinds[K].variable;
}
template <int K>
HENEvent* HENEventKind<K>::Make(const char* target) {
    return new HENEventKind<K>(target);
}

template <int K>
void HENEventKind<K>::StartingValues(const BasicStateStruct& record, double& base, double& value) const {
    base = value = kEmpty;
    switch (kKinds[K].start) {
    case Start::Cleaning: {
        base = value = recordValue(record, NodeValue::ObservedHTC);
        double rf = recordValue(record, NodeValue::HXFoulingFactor);
        if (rf == kEmpty) rf = 0.0;
        // Taking the fouling resistance away: 1/U_clean = 1/U - Rf. A resistance at or above
        // 1/U would give a negative or infinite coefficient; the coefficient then stays.
        if (base > 1e-8 && base != kEmpty && 1.0 / base - rf > 0.0) value = 1.0 / (1.0 / base - rf);
        break;
    }
    case Start::Same:
        base = value = recordValue(record, kKinds[K].variable);
        break;
    case Start::PlusOne:
        base = recordValue(record, kKinds[K].variable);
        value = base == kEmpty ? kEmpty : base + 1.0;
        break;
    case Start::Zero:
        base = recordValue(record, kKinds[K].variable);
        value = 0.0;
        break;
    case Start::SplitShare:
        if (auto* s = dynamic_cast<const SplitStateStruct*>(&record)) {
            const int branch = SplitStateStruct::GetBranchIndexFromName(GetTargetName());
            if (branch >= 0 && branch < static_cast<int>(s->fractions.size())) base = value = s->fractions[branch];
        }
        break;
    case Start::MassFlow:
        if (auto* s = dynamic_cast<const StreamStateStruct*>(&record)) base = value = s->massFlow;
        break;
    case Start::Supply:
        if (auto* s = dynamic_cast<const StreamStateStruct*>(&record)) base = value = s->supply;
        break;
    }
}

template <int K>
void HENEventKind<K>::InitialiseFromTarget(BasicStateStruct& record) {
    double base = kEmpty, value = kEmpty;
    StartingValues(record, base, value);
    SetBaseValue(base);
    SetNewValue(value);
}

template class HENEventKind<0>;
template class HENEventKind<1>;
template class HENEventKind<2>;
template class HENEventKind<3>;
template class HENEventKind<4>;
template class HENEventKind<5>;
template class HENEventKind<6>;
template class HENEventKind<7>;

HENEvent::HENEvent(const char* target) {
    if (target) m_target = target;
}

HENEvent::~HENEvent() { SendAMessage(CodeDestroyed, CPString(), this); }

void HENEvent::SetNewValue(double value) {
    m_new = value;
    SendAMessage(CodeNewValue, CPString(), this);
}

void HENEvent::SetTargetName(const CPString& target) {
    m_target = target;
    UpdateName();
}

void HENEvent::UpdateName() { m_name = m_target + ": " + GetDescription(); }

void HENEvent::FollowPlant(const BasicStateStruct* before, BasicStateStruct* now) {
    if (!now) return;
    double base = kEmpty, value = kEmpty, oldBase = kEmpty, oldValue = kEmpty;
    StartingValues(*now, base, value);
    if (base == kEmpty || !std::isfinite(base)) return;
    if (before) StartingValues(*before, oldBase, oldValue);
    const bool untouched = before && oldValue != kEmpty &&
                           std::fabs(m_new - oldValue) <= 1e-9 * (1.0 + std::fabs(oldValue));
    // Quietly: the owner marks its results stale itself, and an event's views that hear of a new
    // value select their schedule, which no change of the plant should do.
    m_base = base;
    if (untouched && value != kEmpty) m_new = value;
}

void HENEvent::ApplyTo(BasicStateStruct& record) {
    record.SetValueFromEvent(GetVariableName(), *this);
    record.ApplyToUnit(GetVariableName());
}

int HENEvent::KindIndexOf(const char* typeName) {
    if (!typeName) return -1;
    for (int i = 0; i < 8; ++i)
        if (std::strcmp(kKinds[i].typeName, typeName) == 0) return i;
    return -1;
}

HENEvent* HENEvent::Create(const char* typeName, const char* target) {
    if (!typeName) return nullptr;
    EventFactory factory = ModuleRegistries::FindEvent(CPString(typeName));
    return factory ? factory(target) : nullptr;
}

void RegisterEventPrototype(int index) {
    auto build = [](int i) {
        switch (i) {
        case 0: HENEventKind<0>{nullptr}; break;
        case 1: HENEventKind<1>{nullptr}; break;
        case 2: HENEventKind<2>{nullptr}; break;
        case 3: HENEventKind<3>{nullptr}; break;
        case 4: HENEventKind<4>{nullptr}; break;
        case 5: HENEventKind<5>{nullptr}; break;
        case 6: HENEventKind<6>{nullptr}; break;
        case 7: HENEventKind<7>{nullptr}; break;
        default: break;
        }
    };
    if (index >= 0) build(index);
    else
        for (int i = 0; i < 8; ++i) build(i);
}
