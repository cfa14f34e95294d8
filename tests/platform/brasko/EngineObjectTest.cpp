#include "brasko/CLurmetProject.h"
#include "brasko/EngineObjectRegistry.h"
#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBaseObject.h"
#include "dunmor/Exceptions.h"

#include <gtest/gtest.h>

namespace {

// An engine object that reports its destruction through a counter it is handed.
class Gauge : public LurmetBaseObject {
public:
    static constexpr int Type = 7701;
    Gauge(const CPString& name, IEngineeringManager* manager) : LurmetBaseObject(name, manager) {}
    ~Gauge() override {
        if (destroyed) ++*destroyed;
    }
    int GetObjectType() const override { return Type; }
    int QueryInterface(int id, void** out) override {
        if (id == Type && out) {
            *out = this;
            return 1;
        }
        return LurmetBaseObject::QueryInterface(id, out);
    }
    int* destroyed = nullptr;
};

ILurmetBaseObject* MakeGauge(const CPString& name, IEngineeringManager* manager) { return new Gauge(name, manager); }
ILurmetBaseObject* MakeOtherGauge(const CPString& name, IEngineeringManager* manager) {
    return new Gauge("other:" + name, manager);
}
ILurmetBaseObject* MakeNothing(const CPString&, IEngineeringManager*) { return nullptr; }

TEST(EngineObjectRegistryTest, FirstRegistrationWinsAndEveryCallIsCounted) {
    EngineObjectRegistry registry;
    EXPECT_EQ(registry.RegistrationCount(501), 0);
    EXPECT_TRUE(registry.Register(501, &MakeGauge));
    EXPECT_FALSE(registry.Register(501, &MakeOtherGauge));
    EXPECT_FALSE(registry.Register(502, nullptr));  // refused, not counted
    EXPECT_TRUE(registry.Register(6672, &MakeOtherGauge));
    EXPECT_EQ(registry.Find(501), &MakeGauge);
    EXPECT_EQ(registry.RegistrationCount(501), 2);
    EXPECT_EQ(registry.RegistrationCount(502), 0);
    EXPECT_FALSE(registry.IsRegistered(502));
    EXPECT_EQ(registry.Types(), (std::vector<int>{501, 6672}));
}

class EngineeringManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        registry.Register(Gauge::Type, &MakeGauge);
        registry.Register(Gauge::Type + 1, &MakeNothing);
    }
    EngineObjectRegistry registry;
};

TEST_F(EngineeringManagerTest, CreatesByTypeAndFindsAgainByName) {
    int destroyed = 0;
    {
        EngineeringManager manager(registry);
        EXPECT_EQ(manager.CreateObject(12345, "x"), nullptr);        // unknown type
        EXPECT_EQ(manager.CreateObject(Gauge::Type + 1, "x"), nullptr);  // factory made nothing
        EXPECT_EQ(manager.GetRegisteredTypes(), (std::vector<int>{Gauge::Type, Gauge::Type + 1}));

        ILurmetBaseObject* a = manager.CreateObject(Gauge::Type, "A");
        ASSERT_NE(a, nullptr);
        dynamic_cast<Gauge*>(a)->destroyed = &destroyed;
        EXPECT_EQ(a->GetObjectType(), Gauge::Type);
        EXPECT_EQ(a->GetMyIdentifier(), "A");
        EXPECT_EQ(dynamic_cast<Gauge*>(a)->GetEngineeringManager(), &manager);
        EXPECT_EQ(a->RefCount(), 2);  // the manager's and the caller's

        EXPECT_EQ(manager.CreateObject(Gauge::Type, "A"), a);  // the same object again
        EXPECT_EQ(a->RefCount(), 3);
        ILurmetBaseObject* b = manager.CreateObject(Gauge::Type, "B");
        ASSERT_NE(b, a);
        dynamic_cast<Gauge*>(b)->destroyed = &destroyed;

        ILurmetBaseObject* found = nullptr;
        EXPECT_TRUE(manager.FindObject("B", Gauge::Type, &found));
        EXPECT_EQ(found, b);
        EXPECT_FALSE(manager.FindObject("B", 501, &found));
        EXPECT_EQ(found, nullptr);
        EXPECT_EQ(manager.GetNumberOfObjects(), 2);

        EXPECT_TRUE(manager.ReleaseObject(a));
        EXPECT_TRUE(manager.ReleaseObject(a));
        EXPECT_FALSE(manager.ReleaseObject(a));  // only the manager's own reference is left
        EXPECT_EQ(a->RefCount(), 1);

        EXPECT_TRUE(manager.RemoveObject(a));
        EXPECT_EQ(destroyed, 1);
        EXPECT_FALSE(manager.RemoveObject(a));
        EXPECT_EQ(manager.GetNumberOfObjects(), 1);
        EXPECT_TRUE(manager.ReleaseObject(b));
    }
    EXPECT_EQ(destroyed, 2);  // the manager let go of B when it went
}

TEST_F(EngineeringManagerTest, AdoptsObjectsMadeElsewhere) {
    int destroyed = 0;
    auto* g = new Gauge("recalled", nullptr);
    g->destroyed = &destroyed;
    {
        EngineeringManager manager(registry);
        EXPECT_TRUE(manager.AddObject(g));
        EXPECT_FALSE(manager.AddObject(g));
        EXPECT_FALSE(manager.AddObject(nullptr));
        EXPECT_EQ(g->RefCount(), 2);
        EXPECT_EQ(manager.CreateObject(Gauge::Type, "recalled"), g);
        EXPECT_TRUE(manager.ReleaseObject(g));
        EXPECT_EQ(manager.GetObject(0), g);
        EXPECT_EQ(manager.GetObject(1), nullptr);
    }
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(g->Release(), 0);
    EXPECT_EQ(destroyed, 1);
}

}  // namespace
