#pragma once
// Navigable objects of the base-object library: things with a class name and a name.
#include "dunmor/CPString.h"
#include "dunmor/Createable.h"

class Navigable : public virtual Createable {
public:
    // Writes the class name of the object.
    virtual void WhoAmI(CPString& out) const { out = "Navigable"; }
};

class NamedObject : public Navigable {
public:
    NamedObject() = default;
    explicit NamedObject(const CPString& name) : m_name(name) {}
    const CPString& GetName() const { return m_name; }
    void SetName(const CPString& name) { m_name = name; }
    void WhoAmI(CPString& out) const override { out = "NamedObject"; }

private:
    CPString m_name;
};
