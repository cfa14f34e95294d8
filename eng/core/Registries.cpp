#include "eng/core/Registries.h"

#include "eng/core/PropertyBounds.h"

namespace {
// A plain pointer, not a static object: the loader's detach destroys the registries explicitly,
// after the library's static objects may already be gone, so nothing here may have a destructor
// of its own.
ModuleRegistries*& instance() {
    static ModuleRegistries* registries = nullptr;
    return registries;
}

template <typename Fn>
void* asItem(Fn fn) {
    return reinterpret_cast<void*>(fn);
}
template <typename Fn>
Fn asFunction(void* item) {
    return reinterpret_cast<Fn>(item);
}

bool addOnce(CPDictionary* dictionary, const char* key, void* value) {
    if (!dictionary || dictionary->ExistsKeyString(key)) return false;
    return dictionary->AddKeyString(key, value, 0) != 0;
}
}  // namespace

ModuleRegistries::ModuleRegistries() = default;

ModuleRegistries::~ModuleRegistries() {
    // The property bounds are the only values the registries own; factories are functions.
    if (PropertyBounds) PropertyBounds->DestroyAll([](void* item) { delete static_cast<PropertyBound*>(item); });
}

const ModuleRegistries* ModuleRegistries::Get() { return instance(); }
ModuleRegistries* ModuleRegistries::GetMutable() { return instance(); }

bool ModuleRegistries::RegisterNodeType(const char* kind, UnitEquationGenerator generator) {
    ModuleRegistries* r = GetMutable();
    return r && addOnce(r->HENNodeTypeFactories.get(), kind, asItem(generator));
}

bool ModuleRegistries::RegisterEquation(const char* key, EquationFactory factory) {
    ModuleRegistries* r = GetMutable();
    return r && addOnce(r->HENEquationRegistry.get(), key, asItem(factory));
}

bool ModuleRegistries::RegisterEvent(const char* typeName, EventFactory factory) {
    ModuleRegistries* r = GetMutable();
    return r && addOnce(r->HENEventRegistry.get(), typeName, asItem(factory));
}

EquationFactory ModuleRegistries::FindEquation(const CPString& key) {
    const ModuleRegistries* r = Get();
    if (!r || !r->HENEquationRegistry) return nullptr;
    return asFunction<EquationFactory>(r->HENEquationRegistry->FindKeyString(key));
}

UnitEquationGenerator ModuleRegistries::FindNodeType(const CPString& kind) {
    const ModuleRegistries* r = Get();
    if (!r || !r->HENNodeTypeFactories) return nullptr;
    return asFunction<UnitEquationGenerator>(r->HENNodeTypeFactories->FindKeyString(kind));
}

EventFactory ModuleRegistries::FindEvent(const CPString& typeName) {
    const ModuleRegistries* r = Get();
    if (!r || !r->HENEventRegistry) return nullptr;
    return asFunction<EventFactory>(r->HENEventRegistry->FindKeyString(typeName));
}

ModuleRegistries& ModuleRegistries::Create() {
    ModuleRegistries*& r = instance();
    if (!r) r = new ModuleRegistries();
    return *r;
}

void ModuleRegistries::Destroy() {
    ModuleRegistries*& r = instance();
    delete r;
    r = nullptr;
}
