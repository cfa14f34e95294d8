#pragma once
// Start-up registry of engine-object factories by numeric type. Engine classes register here
// while the module loads (through ILurmetBaseObject::Register); the engineering manager looks
// the factories up when the host asks for an object of a type.
#include "brasko/LurmetBaseObject.h"

#include <vector>

class EngineObjectRegistry {
public:
    using Factory = ILurmetBaseObject::Factory;

    // Keeps the first factory of a type; later registrations of the type are counted but do
    // not replace it. A null factory is refused and not counted. Answers whether this call
    // installed the factory.
    bool Register(int type, Factory factory);
    // The factory of a type, null when none is registered.
    Factory Find(int type) const;
    bool IsRegistered(int type) const { return Find(type) != nullptr; }
    // How many times the type was registered (0 when never).
    int RegistrationCount(int type) const;
    // Registered types in the order of their first registration.
    std::vector<int> Types() const;

private:
    struct Entry {
        int type;
        Factory factory;
        int count;
    };
    const Entry* Lookup(int type) const;
    std::vector<Entry> m_entries;
};

// The registry of the engineering-manager layer: one per process, built on first use.
EngineObjectRegistry& GetEngineObjectRegistry();
