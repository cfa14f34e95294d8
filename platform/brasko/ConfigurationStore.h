#pragma once
// Values of the configuration keys, as the host (or a test) sets them, and the two look-ups the
// engine makes of them: the folder a key's files live in and the key's default file name.
//
// Keys come in pairs: "<Key>FilePath" holds a folder and "<Key>" a file name (for instance
// "DefaultUtilityFilePath" and "DefaultUtility"). FindFilePath("<Key>") reads the first,
// GetDefaultFileName("<Key>") the second.
#include "dunmor/CPString.h"

#include <map>

class ConfigurationStore {
public:
    void Set(const CPString& key, const CPString& value) { m_values[key] = value; }
    // The value of a key; empty when unset.
    CPString Get(const CPString& key) const;
    bool Has(const CPString& key) const { return m_values.count(key) != 0; }
    bool Remove(const CPString& key) { return m_values.erase(key) != 0; }
    void Clear() { m_values.clear(); }

private:
    std::map<CPString, CPString> m_values;
};

// The host's configuration values, built on first use.
ConfigurationStore& GetConfigurationStore();

// Folder configured for a key: the value of "<key>FilePath" (or of the key itself when it already
// ends in "FilePath"). False, with `path` emptied, when no folder is set.
bool FindFilePath(const ConfigurationStore& store, const CPString& key, CPString& path);
bool FindFilePath(const CPString& key, CPString& path);
// Default file name configured for a key: the key's own value; empty when unset.
CPString GetDefaultFileName(const ConfigurationStore& store, const CPString& key);
CPString GetDefaultFileName(const CPString& key);
