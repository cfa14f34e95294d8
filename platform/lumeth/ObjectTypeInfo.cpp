#include "lumeth/ObjectTypeInfo.h"

#include "lumeth/Viewable.h"

#include <algorithm>

ObjectTypeInfo::ObjectTypeInfo(const Text& objectName, const ObjectTypeInfo* parent, const Text& className,
                               std::uint8_t baseFlag, std::int16_t versionArgument, const Text& formKey)
    : m_name(objectName),
      m_parent(parent),
      m_className(className),
      m_baseFlag(baseFlag),
      m_versionArgument(versionArgument),
      m_formKey(formKey) {}

bool ObjectTypeInfo::IsA(const ObjectTypeInfo* type) const {
    if (!type) return false;
    for (const ObjectTypeInfo* t = this; t; t = t->m_parent)
        if (t == type) return true;
    return false;
}

bool ObjectTypeInfo::IsA(const Text& objectName) const {
    for (const ObjectTypeInfo* t = this; t; t = t->m_parent)
        if (t->m_name == objectName) return true;
    return false;
}

bool ObjectTypeInfo::IsTransient() const {
    // A type derived from a transient one is rebuilt by its owner too.
    for (const ObjectTypeInfo* t = this; t; t = t->m_parent)
        if (t->m_transient) return true;
    return false;
}

bool ObjectTypeInfo::IsNeverWritten() const {
    for (const ObjectTypeInfo* t = this; t; t = t->m_parent)
        if (t->m_neverWritten) return true;
    return false;
}

bool ObjectTypeInfo::LoadVariables(FormDescription& form) const {
    bool any = false;
    for (const ObjectTypeInfo* t = this; t; t = t->m_parent) {
        if (!t->m_loadVariables) continue;
        t->m_loadVariables(form);
        any = true;
    }
    return any;
}

bool ObjectTypeInfo::Supports(int type) const {
    return std::find(m_supportedTypes.begin(), m_supportedTypes.end(), type) != m_supportedTypes.end();
}

Viewable* ObjectTypeInfo::CreateInstance(Viewable* parent, const Text& name) const {
    ObjectInstanceInfo info{this, name, parent};
    return CreateInstanceForRecall(info);
}

Viewable* ObjectTypeInfo::CreateInstanceForRecall(ObjectInstanceInfo& info) const {
    if (!m_factory) return nullptr;
    info.type = this;
    return m_factory(info);
}

bool ObjectTypeInfo::StoreClassData(BinaryFile& file, Viewable& view) const { return view.StoreClassData(file); }
bool ObjectTypeInfo::RecallClassData(BinaryFile& file, Viewable& view, int version) const {
    return view.RecallClassData(file, version);
}
bool ObjectTypeInfo::CheckRecalledPointers(Viewable& view) const { return view.CheckRecalledPointers(); }
bool ObjectTypeInfo::RecallFixUp(Viewable& view) const { return view.RecallFixUp(); }

namespace {
ObjectTypeRegistry*& currentRegistry() {
    static ObjectTypeRegistry* registry = nullptr;
    return registry;
}
}  // namespace

ObjectTypeRegistry::ObjectTypeRegistry() {
    // The framework's and the host's own types that the module's registrations derive from.
    ObjectTypeInfo* viewable = Add(std::make_unique<ObjectTypeInfo>("ViewableObject", nullptr, "Viewable", 1, 1, ""));
    Add(std::make_unique<ObjectTypeInfo>("CanvasPlaneObject", viewable, "CanvasPlane", 1, 1, ""));
    // Canvas items, plots and plot parameters are rebuilt by the views that own them (the
    // parameters are stored in their owner's record): never stored as views of their own.
    Add(std::make_unique<ObjectTypeInfo>("CanvasConnectionObject", viewable, "CanvasConnection", 1, 1, ""))->SetTransient(true);
    Add(std::make_unique<ObjectTypeInfo>("TwoDimPlotObject", viewable, "TwoDimPlotNTW", 1, 1, ""))->SetTransient(true);
    Add(std::make_unique<ObjectTypeInfo>("Dim2GraphControlObject", viewable, "Dim2GraphControl", 1, 1, ""))
        ->SetTransient(true);
    Add(std::make_unique<ObjectTypeInfo>("LurmetViewObject", viewable, "LurmetView", 1, 1, ""));
    Add(std::make_unique<ObjectTypeInfo>("DesignViewerDesignObject", viewable, "DesignViewerDesign", 1, 1, ""));
    // The engineering manager's default-utility and coefficient editors: their owner builds them
    // again when it is bound.
    ObjectTypeInfo* editor =
        Add(std::make_unique<ObjectTypeInfo>("DefaultUtilManagerViewObject", viewable, "DefaultUtilManagerView", 1, 1, ""));
    editor->SetTransient(true);
    Add(std::make_unique<ObjectTypeInfo>("HTCDatabaseViewObject", editor, "HTCDatabaseView", 1, 1, ""));
}

ObjectTypeRegistry::~ObjectTypeRegistry() {
    if (currentRegistry() == this) currentRegistry() = nullptr;
    while (!m_types.empty()) m_types.pop_back();
}

ObjectTypeInfo* ObjectTypeRegistry::Add(std::unique_ptr<ObjectTypeInfo> info) {
    if (!info || m_byName.count(info->GetName())) return nullptr;
    const ObjectTypeInfo* parent = info->GetParent();
    if (parent && Find(parent->GetName()) != parent) return nullptr;
    ObjectTypeInfo* raw = info.get();
    m_types.push_back(std::move(info));
    m_byName[raw->GetName()] = raw;
    if (!raw->GetClassName().empty() && !m_byClass.count(raw->GetClassName())) m_byClass[raw->GetClassName()] = raw;
    return raw;
}

const ObjectTypeInfo* ObjectTypeRegistry::Find(const Text& objectName) const {
    auto it = m_byName.find(objectName);
    return it == m_byName.end() ? nullptr : it->second;
}

ObjectTypeInfo* ObjectTypeRegistry::FindMutable(const Text& objectName) {
    auto it = m_byName.find(objectName);
    return it == m_byName.end() ? nullptr : it->second;
}

const ObjectTypeInfo* ObjectTypeRegistry::FindByClassOrName(const Text& name) const {
    auto it = m_byClass.find(name);
    if (it != m_byClass.end()) return it->second;
    return Find(name);
}

const ObjectTypeInfo* ObjectTypeRegistry::At(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return m_types[static_cast<std::size_t>(index)].get();
}

ObjectTypeRegistry* ObjectTypeRegistry::Current() { return currentRegistry(); }
void ObjectTypeRegistry::Install(ObjectTypeRegistry* registry) { currentRegistry() = registry; }
