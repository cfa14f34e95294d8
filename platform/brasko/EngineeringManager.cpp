#include "brasko/EngineeringManager.h"

#include "dunmor/Exceptions.h"

#include <algorithm>

EngineeringManager::EngineeringManager() : m_registry(GetEngineObjectRegistry()) {}

EngineeringManager::EngineeringManager(const EngineObjectRegistry& registry) : m_registry(registry) {}

EngineeringManager::~EngineeringManager() {
    // Take the list first: an object's destructor may call back into the manager.
    std::vector<ILurmetBaseObject*> objects;
    objects.swap(m_objects);
    for (ILurmetBaseObject* object : objects) object->Release();
}

ILurmetBaseObject* EngineeringManager::CreateObject(int type, const CPString& name) {
    ILurmetBaseObject* object = nullptr;
    if (FindObject(name, type, &object)) {
        object->AddRef();
        return object;
    }
    const EngineObjectRegistry::Factory factory = m_registry.Find(type);
    if (!factory) return nullptr;
    object = factory(name, this);
    if (!object) return nullptr;
    KS_ASSERT(object->GetObjectType() == type);
    // The factory's reference stays with the manager; the caller gets one of its own.
    m_objects.push_back(object);
    object->AddRef();
    return object;
}

bool EngineeringManager::FindObject(const CPString& name, int type, ILurmetBaseObject** out) const {
    if (out) *out = nullptr;
    for (ILurmetBaseObject* object : m_objects) {
        if (object->GetObjectType() == type && object->GetMyIdentifier() == name) {
            if (out) *out = object;
            return true;
        }
    }
    return false;
}

bool EngineeringManager::ReleaseObject(ILurmetBaseObject* object) {
    if (!object || std::find(m_objects.begin(), m_objects.end(), object) == m_objects.end()) return false;
    // The last reference is the manager's own; RemoveObject is the way to let go of that one.
    if (object->RefCount() <= 1) return false;
    object->Release();
    return true;
}

std::vector<int> EngineeringManager::GetRegisteredTypes() const { return m_registry.Types(); }

bool EngineeringManager::AddObject(ILurmetBaseObject* object) {
    if (!object || std::find(m_objects.begin(), m_objects.end(), object) != m_objects.end()) return false;
    object->AddRef();
    m_objects.push_back(object);
    return true;
}

bool EngineeringManager::RemoveObject(ILurmetBaseObject* object) {
    auto it = std::find(m_objects.begin(), m_objects.end(), object);
    if (it == m_objects.end()) return false;
    m_objects.erase(it);
    object->Release();
    return true;
}

ILurmetBaseObject* EngineeringManager::GetObject(int index) const {
    if (index < 0 || index >= static_cast<int>(m_objects.size())) return nullptr;
    return m_objects[static_cast<std::size_t>(index)];
}
