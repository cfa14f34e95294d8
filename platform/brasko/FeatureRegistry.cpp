#include "brasko/FeatureRegistry.h"

namespace {
FeatureRegistry*& currentFeatures() {
    static FeatureRegistry* registry = nullptr;
    return registry;
}
}  // namespace

const ObjectTypeInfo* FeatureInfo::ObjectType() const {
    const ObjectTypeRegistry* types = ObjectTypeRegistry::Current();
    return types ? types->Find(objectTypeName) : nullptr;
}

FeatureRegistry::~FeatureRegistry() {
    if (currentFeatures() == this) currentFeatures() = nullptr;
}

bool FeatureRegistry::_add_FeatureInfo(const Text& name, const Text& prefix, const Text& category,
                                       const Text& objectTypeName, FeatureBuilder builder) {
    if (name.empty() || Find(name)) return false;
    m_features.push_back({name, prefix, category, objectTypeName, builder});
    return true;
}

const FeatureInfo* FeatureRegistry::Find(const Text& name) const {
    for (const FeatureInfo& f : m_features)
        if (f.name == name) return &f;
    return nullptr;
}

bool FeatureRegistry::SetBuilder(const Text& name, FeatureBuilder builder) {
    for (FeatureInfo& f : m_features)
        if (f.name == name) return f.builder = builder, true;
    return false;
}

FeatureRegistry* FeatureRegistry::Current() { return currentFeatures(); }
void FeatureRegistry::Install(FeatureRegistry* registry) { currentFeatures() = registry; }
