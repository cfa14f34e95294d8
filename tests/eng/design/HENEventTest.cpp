// What-if events: the registry the start-up fills, each kind's start from its target record,
// the cleaning formula and its refusal of a resistance beyond the coefficient, names and the
// change codes an event sends.
#include "DesignTestSupport.h"

#include "eng/design/HENEvent.h"
#include "eng/design/HENState.h"

#include <gtest/gtest.h>

#include <memory>

using namespace design_test;

namespace {
HeatExchStateStruct Record(double observed, double fouling, double area, double shells) {
    HeatExchStateStruct r;
    r.unitName = "E-101";
    r.SetValue(NodeValue::ObservedHTC, observed);
    r.SetValue(NodeValue::HXFoulingFactor, fouling);
    r.SetValue(NodeValue::HTArea, area);
    r.SetValue(NodeValue::NShellsInSeries, shells);
    return r;
}
}  // namespace

TEST(HENEvent, TheRegistryHoldsTheEightKindsInOneOrder) {
    const ModuleRegistries& r = LoadModuleRegistries();
    const char* names[] = {"CleaningHENEvent",          "AdditionalAreaHENEvent",    "AdditionalShellHENEvent",
                           "SplitflowmodificationEvent", "HeatExchangerRemovalEvent", "HeatExchangerFoulingEvent",
                           "StreamFlowrateChangeEvent", "InletTemperatureChangeEvent"};
    ASSERT_EQ(8u, r.HENEventTypeNames.size());
    EXPECT_EQ(8u, r.HENEventRegistry->Length());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(CPString(names[i]), r.HENEventTypeNames[i]);
        EXPECT_EQ(i, HENEvent::KindIndexOf(names[i]));
        std::unique_ptr<HENEvent> e(HENEvent::Create(names[i], "E-101"));
        ASSERT_TRUE(e) << names[i];
        EXPECT_STREQ(names[i], e->GetTypeName());
        EXPECT_DOUBLE_EQ(-32767.0, e->GetNewValue());
        EXPECT_EQ(-32767, e->GetEventTypeIcon());
    }
    EXPECT_EQ(nullptr, HENEvent::Create("NoSuchEvent", "E-101"));
    EXPECT_EQ(-1, HENEvent::KindIndexOf("NoSuchEvent"));
}

TEST(HENEvent, EachKindStartsFromItsTargetRecord) {
    LoadModuleRegistries();
    const struct {
        const char* kind;
        double observed, fouling;
        double base, proposed;
        int valueType;
    } rows[] = {
        {"CleaningHENEvent", 500.0, 0.0002, 500.0, 1.0 / (0.002 - 0.0002), 1524},
        {"CleaningHENEvent", 0.0, 0.0002, 0.0, 0.0, 1524},
        // A resistance at or beyond 1/U would make the coefficient infinite or negative: the
        // cleaning then proposes no change.
        {"CleaningHENEvent", 500.0, 0.002, 500.0, 500.0, 1524},
        {"CleaningHENEvent", 500.0, 0.003, 500.0, 500.0, 1524},
        {"AdditionalAreaHENEvent", 500.0, 0.0, 80.0, 80.0, 1508},
        {"AdditionalShellHENEvent", 500.0, 0.0, 2.0, 3.0, 32009},
        {"HeatExchangerRemovalEvent", 500.0, 0.0, 80.0, 0.0, 1508},
        {"HeatExchangerFoulingEvent", 420.0, 0.0, 420.0, 420.0, 1524},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.kind);
        HeatExchStateStruct record = Record(r.observed, r.fouling, 80.0, 2.0);
        std::unique_ptr<HENEvent> e(HENEvent::Create(r.kind, "E-101"));
        ASSERT_TRUE(e);
        e->InitialiseFromTarget(record);
        EXPECT_DOUBLE_EQ(r.base, e->GetBaseValue());
        EXPECT_NEAR(r.proposed, e->GetNewValue(), 1e-9);
        EXPECT_EQ(r.valueType, e->GetValueType());
    }
    HeatExchStateStruct record = Record(500.0, 0.0002, 80.0, 2.0);
    std::unique_ptr<HENEvent> cleaning(HENEvent::Create("CleaningHENEvent", "E-101"));
    cleaning->InitialiseFromTarget(record);
    EXPECT_NEAR(555.5556, cleaning->GetNewValue(), 5e-5);
}

TEST(HENEvent, StreamEventsChangeTheStreamRecord) {
    LoadModuleRegistries();
    StreamStateStruct record;
    record.name = "H1";
    record.massFlow = 1.5;
    record.supply = 170.0;
    std::unique_ptr<HENEvent> flow(HENEvent::Create("StreamFlowrateChangeEvent", "H1"));
    std::unique_ptr<HENEvent> inlet(HENEvent::Create("InletTemperatureChangeEvent", "H1"));
    flow->InitialiseFromTarget(record);
    inlet->InitialiseFromTarget(record);
    EXPECT_DOUBLE_EQ(1.5, flow->GetBaseValue());
    EXPECT_DOUBLE_EQ(170.0, inlet->GetNewValue());
    flow->SetNewValue(2.0);
    inlet->SetNewValue(160.0);
    flow->ApplyTo(record);  // no stream attached: only the record changes
    inlet->ApplyTo(record);
    EXPECT_DOUBLE_EQ(2.0, record.massFlow);
    EXPECT_DOUBLE_EQ(160.0, record.supply);
}

TEST(HENEvent, NamesAndChangeCodes) {
    LoadModuleRegistries();
    std::unique_ptr<HENEvent> e(HENEvent::Create("HeatExchangerRemovalEvent", "E-101"));
    EXPECT_STREQ("E-101: Remove exchanger from service", e->GetName());
    Listener view(*e);
    e->SetTargetName("E-102");
    EXPECT_STREQ("E-102: Remove exchanger from service", e->GetName());
    e->SetBaseValue(3.0);
    EXPECT_TRUE(view.changes.empty());
    e->SetNewValue(4.0);
    EXPECT_EQ(1, view.Count(IHENEvent::CodeNewValue));
    view.Forget();
    e->RemoveNotificationReceiver(&view);
    Listener farewell(*e);
    farewell.Forget();
    e.reset();
    EXPECT_EQ(1, farewell.Count(IHENEvent::CodeDestroyed));
}
