#pragma once
// View object types: the framework creates views by type name, stores them with their class
// version and recalls them through their type's hooks. The module registers its types while it
// loads, in one explicit order, into the registry that start-up owns and installs.
#include "lumeth/Text.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class BinaryFile;
class ObjectTypeInfo;
class Viewable;

// What the framework hands a view that it creates while recalling a case file.
struct ObjectInstanceInfo {
    const ObjectTypeInfo* type = nullptr;
    Text name;
    Viewable* parent = nullptr;
};

using ViewFactory = Viewable* (*)(ObjectInstanceInfo& info);
class FormDescription;
using LoadVariablesHook = void (*)(FormDescription& form);

class ObjectTypeInfo {
public:
    // The class version a registration carries unless one is set.
    static constexpr std::int16_t DefaultClassVersion = 1;

    ObjectTypeInfo(const Text& objectName, const ObjectTypeInfo* parent, const Text& className, std::uint8_t baseFlag,
                   std::int16_t versionArgument, const Text& formKey);
    virtual ~ObjectTypeInfo() = default;
    ObjectTypeInfo(const ObjectTypeInfo&) = delete;
    ObjectTypeInfo& operator=(const ObjectTypeInfo&) = delete;

    const Text& GetName() const { return m_name; }
    const Text& GetClassName() const { return m_className; }
    const Text& GetFormKey() const { return m_formKey; }
    const ObjectTypeInfo* GetParent() const { return m_parent; }
    std::uint8_t GetBaseFlag() const { return m_baseFlag; }
    std::int16_t GetVersionArgument() const { return m_versionArgument; }
    std::int16_t GetClassVersion() const { return m_classVersion; }
    void SetClassVersion(std::int16_t version) { m_classVersion = version; }
    // A form-only type: a form key and no view class.
    bool IsFormOnly() const { return m_className.empty(); }

    // The type itself or one of its ancestors, walking the registered parent chain.
    bool IsA(const ObjectTypeInfo* type) const;
    bool IsA(const Text& objectName) const;

    void SupportsType(int type) { m_supportedTypes.push_back(type); }
    bool Supports(int type) const;
    std::int32_t GetExtraValue() const { return m_extraValue; }
    void SetExtraValue(std::int32_t value) { m_extraValue = value; }

    // The view class's constructor for recall; set when the class is part of the module.
    void SetFactory(ViewFactory factory) { m_factory = factory; }
    bool HasFactory() const { return m_factory != nullptr; }
    // Whether a stored view of this type can be read back (the type makes views for recall).
    virtual bool CanRecall() const { return HasFactory(); }

    // A transient type's views are rebuilt by their owner (plots, plot parameters, canvas
    // items, name views of a list): they are left out of a stored view set, with everything
    // under them, and a link to one is stored as none.
    void SetTransient(bool transient) { m_transient = transient; }
    bool IsTransient() const;
    // A type whose views refuse to be written (read from older cases, or open only while the
    // user works with them): a stored view set leaves them out with everything under them and a
    // link to one is stored as none, so the case around them still saves. Derived types too.
    void SetNeverWritten(bool neverWritten) { m_neverWritten = neverWritten; }
    bool IsNeverWritten() const;
    // Whether a store passes over the type's views: transient or never written.
    bool IsLeftOutOfStore() const { return IsTransient() || IsNeverWritten(); }

    // The variables a view class declares (its form description); set by the class's
    // registration. The listing includes the variables of the types it derives from.
    void SetLoadVariables(LoadVariablesHook hook) { m_loadVariables = hook; }
    // Adds the declared variables of this type, then of its parents; false when none declare any.
    bool LoadVariables(FormDescription& form) const;

    // ---- hooks ----
    // A new view of this type under `parent` (the factory with a fresh instance record).
    virtual Viewable* CreateInstance(Viewable* parent, const Text& name) const;
    // The view to read a stored record into; null when the type has no class in the module.
    virtual Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const;
    // The class data of a view of this type; the defaults hand over to the view's own hooks.
    virtual bool StoreClassData(BinaryFile& file, Viewable& view) const;
    virtual bool RecallClassData(BinaryFile& file, Viewable& view, int version) const;
    virtual bool CheckRecalledPointers(Viewable& view) const;
    virtual bool RecallFixUp(Viewable& view) const;

private:
    Text m_name;
    const ObjectTypeInfo* m_parent;
    Text m_className;
    std::uint8_t m_baseFlag;
    std::int16_t m_versionArgument;
    Text m_formKey;
    std::int16_t m_classVersion = DefaultClassVersion;
    std::vector<int> m_supportedTypes;
    std::int32_t m_extraValue = 0;
    ViewFactory m_factory = nullptr;
    bool m_transient = false;
    bool m_neverWritten = false;
    LoadVariablesHook m_loadVariables = nullptr;
};

// The registrations of one loaded module, owned here, destroyed in reverse order of registration.
// The framework's own types come first: "ViewableObject" and the canvas, plot and host view types.
class ObjectTypeRegistry {
public:
    ObjectTypeRegistry();
    ~ObjectTypeRegistry();
    ObjectTypeRegistry(const ObjectTypeRegistry&) = delete;
    ObjectTypeRegistry& operator=(const ObjectTypeRegistry&) = delete;

    // Takes the registration; null (and the registration dropped) when the name is taken or the
    // parent is not registered here.
    ObjectTypeInfo* Add(std::unique_ptr<ObjectTypeInfo> info);
    const ObjectTypeInfo* Find(const Text& objectName) const;
    ObjectTypeInfo* FindMutable(const Text& objectName);
    // By class name ("CanvasConnection"), else by object name.
    const ObjectTypeInfo* FindByClassOrName(const Text& name) const;
    int Count() const { return static_cast<int>(m_types.size()); }
    const ObjectTypeInfo* At(int index) const;

    // The registry the framework looks types up in: installed by start-up, null otherwise.
    static ObjectTypeRegistry* Current();
    static void Install(ObjectTypeRegistry* registry);

private:
    std::vector<std::unique_ptr<ObjectTypeInfo>> m_types;
    std::map<Text, ObjectTypeInfo*> m_byName;
    std::map<Text, ObjectTypeInfo*> m_byClass;
};

// Installs a registry for the life of the object and puts the previous one back afterwards.
class ScopedObjectTypeRegistry {
public:
    explicit ScopedObjectTypeRegistry(ObjectTypeRegistry& registry)
        : m_previous(ObjectTypeRegistry::Current()) { ObjectTypeRegistry::Install(&registry); }
    ~ScopedObjectTypeRegistry() { ObjectTypeRegistry::Install(m_previous); }

private:
    ObjectTypeRegistry* m_previous;
};
