#include "brasko/LurmetBaseObject.h"

#include "brasko/EngineObjectRegistry.h"
#include "dunmor/Exceptions.h"

bool ILurmetBaseObject::Register(int type, Factory factory) {
    return GetEngineObjectRegistry().Register(type, factory);
}

LurmetBaseObject::LurmetBaseObject(const CPString& name, IEngineeringManager* manager)
    : m_objectName(name), m_manager(manager) {}

LurmetBaseObject::LurmetBaseObject(const LurmetBaseObject& other)
    : ILurmetBaseObject(other), m_objectName(other.m_objectName), m_manager(other.m_manager) {}

LurmetBaseObject& LurmetBaseObject::operator=(const LurmetBaseObject& other) {
    // The reference count belongs to the object, not to its contents.
    m_objectName = other.m_objectName;
    m_manager = other.m_manager;
    return *this;
}

int LurmetBaseObject::AddRef() { return ++m_refCount; }

int LurmetBaseObject::Release() {
    KS_ASSERT(m_refCount > 0);
    if (m_refCount <= 0) return 0;
    const int left = --m_refCount;
    if (left == 0) delete this;
    return left;
}

int LurmetBaseObject::QueryInterface(int id, void** out) {
    if (!out) return 0;
    if (id == InterfaceId) {
        *out = static_cast<ILurmetBaseObject*>(this);
        return 1;
    }
    *out = nullptr;
    return 0;
}

bool LurmetBaseObject::Store(ILurmetBinaryFile&) { return true; }
bool LurmetBaseObject::Recall(ILurmetBinaryFile&) { return true; }
