#pragma once
// The engineering manager of a case document: creates engine objects by numeric type through the
// registered factories and keeps the objects of the document, so that views can find an object
// again by its type and name.
#include "brasko/EngineObjectRegistry.h"
#include "brasko/LurmetBaseObject.h"
#include "dunmor/CPString.h"

#include <vector>

class IEngineeringManager {
public:
    virtual ~IEngineeringManager() = default;

    // The object of that type and identifier: the one the manager already holds, or else a new
    // one made by the type's factory. Null for an unregistered type or a failed factory. The
    // caller receives one reference, which it hands back with ReleaseObject.
    virtual ILurmetBaseObject* CreateObject(int type, const CPString& name) = 0;
    // Looks an object up without creating one; *out is borrowed (no reference is added) and is
    // null when nothing matches.
    virtual bool FindObject(const CPString& name, int type, ILurmetBaseObject** out) const = 0;
    // Hands back a reference obtained from CreateObject. False for an object the manager does
    // not hold or when only the manager's own reference is left.
    virtual bool ReleaseObject(ILurmetBaseObject* object) = 0;
    // Types with a registered factory, in registration order.
    virtual std::vector<int> GetRegisteredTypes() const = 0;
};

class EngineeringManager : public IEngineeringManager {
public:
    // Works with the layer's start-up registry unless given another one.
    EngineeringManager();
    explicit EngineeringManager(const EngineObjectRegistry& registry);
    EngineeringManager(const EngineeringManager&) = delete;
    EngineeringManager& operator=(const EngineeringManager&) = delete;
    // Drops the manager's reference on every object it holds.
    ~EngineeringManager() override;

    ILurmetBaseObject* CreateObject(int type, const CPString& name) override;
    bool FindObject(const CPString& name, int type, ILurmetBaseObject** out) const override;
    bool ReleaseObject(ILurmetBaseObject* object) override;
    std::vector<int> GetRegisteredTypes() const override;

    // Holds an object made elsewhere (a recalled one, say); the manager takes its own reference.
    // False for null or an object already held.
    bool AddObject(ILurmetBaseObject* object);
    // Forgets an object and drops the manager's reference (which may destroy it).
    bool RemoveObject(ILurmetBaseObject* object);
    int GetNumberOfObjects() const { return static_cast<int>(m_objects.size()); }
    ILurmetBaseObject* GetObject(int index) const;

private:
    const EngineObjectRegistry& m_registry;
    std::vector<ILurmetBaseObject*> m_objects;
};
