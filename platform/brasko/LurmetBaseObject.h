#pragma once
// Base of every engine object: identity by numeric type, reference counting, interface queries
// by number, and storing into / recalling from the case file.
#include "dunmor/CPString.h"

class IEngineeringManager;
class ILurmetBinaryFile;

class ILurmetBaseObject {
public:
    // Factory the engineering manager calls to create an object of a registered type.
    using Factory = ILurmetBaseObject* (*)(const CPString& name, IEngineeringManager* manager);
    // Interface number under which every engine object answers its ILurmetBaseObject part.
    static constexpr int InterfaceId = 100;

    virtual ~ILurmetBaseObject() = default;

    virtual int GetObjectType() const = 0;
    virtual int AddRef() = 0;
    // Drops one reference; the object deletes itself when none is left. Answers the count left.
    virtual int Release() = 0;
    virtual int RefCount() const = 0;
    // 1 and the interface in *out when the object has the interface numbered `id`; else 0 and
    // *out null.
    virtual int QueryInterface(int id, void** out) = 0;
    virtual bool Store(ILurmetBinaryFile& file) = 0;
    virtual bool Recall(ILurmetBinaryFile& file) = 0;
    // The name by which the engineering manager finds the object.
    virtual CPString GetMyIdentifier() const = 0;

    // Registers the factory of an engine type with the engine-object registry. The first
    // factory registered for a type is kept; answers whether this call installed it.
    static bool Register(int type, Factory factory);
};

class LurmetBaseObject : public virtual ILurmetBaseObject {
public:
    LurmetBaseObject() = default;
    LurmetBaseObject(const CPString& name, IEngineeringManager* manager);
    // A copy is a new object: it starts with its own single reference.
    LurmetBaseObject(const LurmetBaseObject& other);
    LurmetBaseObject& operator=(const LurmetBaseObject& other);
    ~LurmetBaseObject() override = default;

    // A plain base object has no engine type of its own.
    int GetObjectType() const override { return 0; }
    int AddRef() override;
    int Release() override;
    int RefCount() const override { return m_refCount; }
    // Answers InterfaceId; derived classes answer their own ids and pass the rest here.
    int QueryInterface(int id, void** out) override;
    // The base has nothing of its own to write.
    bool Store(ILurmetBinaryFile& file) override;
    bool Recall(ILurmetBinaryFile& file) override;
    CPString GetMyIdentifier() const override { return m_objectName; }

    const CPString& GetObjectName() const { return m_objectName; }
    void SetObjectName(const CPString& name) { m_objectName = name; }
    IEngineeringManager* GetEngineeringManager() const { return m_manager; }
    void SetEngineeringManager(IEngineeringManager* manager) { m_manager = manager; }

private:
    // The creator holds the first reference.
    int m_refCount = 1;
    CPString m_objectName;
    IEngineeringManager* m_manager = nullptr;
};
