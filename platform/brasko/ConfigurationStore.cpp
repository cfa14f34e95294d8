#include "brasko/ConfigurationStore.h"

namespace {
const CPString FilePathSuffix = "FilePath";

bool EndsWith(const CPString& text, const CPString& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}
}  // namespace

CPString ConfigurationStore::Get(const CPString& key) const {
    auto it = m_values.find(key);
    return it == m_values.end() ? CPString() : it->second;
}

ConfigurationStore& GetConfigurationStore() {
    static ConfigurationStore store;
    return store;
}

bool FindFilePath(const ConfigurationStore& store, const CPString& key, CPString& path) {
    const CPString pathKey = EndsWith(key, FilePathSuffix) ? key : CPString(key + FilePathSuffix);
    path = store.Get(pathKey);
    return !path.empty();
}

bool FindFilePath(const CPString& key, CPString& path) { return FindFilePath(GetConfigurationStore(), key, path); }

CPString GetDefaultFileName(const ConfigurationStore& store, const CPString& key) { return store.Get(key); }

CPString GetDefaultFileName(const CPString& key) { return GetDefaultFileName(GetConfigurationStore(), key); }
