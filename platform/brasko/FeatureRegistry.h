#pragma once
// Features: what a user can create in a case ("HI Case", "HI Project"). A feature names its
// category, the prefix of the names of new features, the view type it creates and the builder
// that creates it. The module registers its features while it loads.
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Text.h"

#include <vector>

class Viewable;

// The engineering manager's type number of heat-integration objects, which the viewers that
// the framework may open on a heat-integration case say they support.
constexpr int HeatIntegrationType = 501;

using FeatureBuilder = Viewable* (*)(Viewable* owner, const Text& name);

struct FeatureInfo {
    Text name;
    Text prefix;
    Text category;
    // The view type by name: a feature may be registered a step before its type.
    Text objectTypeName;
    FeatureBuilder builder = nullptr;
    // The registration in the installed type registry (null before it is registered).
    const ObjectTypeInfo* ObjectType() const;
};

class FeatureRegistry {
public:
    FeatureRegistry() = default;
    ~FeatureRegistry();
    FeatureRegistry(const FeatureRegistry&) = delete;
    FeatureRegistry& operator=(const FeatureRegistry&) = delete;

    // False when a feature of the name exists.
    bool _add_FeatureInfo(const Text& name, const Text& prefix, const Text& category, const Text& objectTypeName,
                          FeatureBuilder builder);
    const FeatureInfo* Find(const Text& name) const;
    // Sets the builder once the feature's view class is part of the module.
    bool SetBuilder(const Text& name, FeatureBuilder builder);
    const std::vector<FeatureInfo>& Features() const { return m_features; }

    static FeatureRegistry* Current();
    static void Install(FeatureRegistry* registry);

private:
    std::vector<FeatureInfo> m_features;
};
