#include "brasko/EngineObjectRegistry.h"

const EngineObjectRegistry::Entry* EngineObjectRegistry::Lookup(int type) const {
    for (const Entry& e : m_entries)
        if (e.type == type) return &e;
    return nullptr;
}

bool EngineObjectRegistry::Register(int type, Factory factory) {
    if (!factory) return false;
    for (Entry& e : m_entries) {
        if (e.type == type) {
            ++e.count;
            return false;
        }
    }
    m_entries.push_back({type, factory, 1});
    return true;
}

EngineObjectRegistry::Factory EngineObjectRegistry::Find(int type) const {
    const Entry* e = Lookup(type);
    return e ? e->factory : nullptr;
}

int EngineObjectRegistry::RegistrationCount(int type) const {
    const Entry* e = Lookup(type);
    return e ? e->count : 0;
}

std::vector<int> EngineObjectRegistry::Types() const {
    std::vector<int> types;
    types.reserve(m_entries.size());
    for (const Entry& e : m_entries) types.push_back(e.type);
    return types;
}

EngineObjectRegistry& GetEngineObjectRegistry() {
    static EngineObjectRegistry registry;
    return registry;
}
