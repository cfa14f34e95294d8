#include "brasko/ReportHolder.h"

#include "brasko/ILurmetBinaryFile.h"

#include <cstdint>

namespace {
// Splits a path at ':' into its keys; false when a key is empty.
bool SplitPath(const char* path, std::vector<CPString>& keys) {
    keys.clear();
    if (!path || !*path) return false;
    CPString current;
    for (const char* p = path; *p; ++p) {
        if (*p == ':') {
            if (current.empty()) return false;
            keys.push_back(current);
            current.clear();
        } else {
            current.push_back(*p);
        }
    }
    if (current.empty()) return false;
    keys.push_back(current);
    return true;
}
}  // namespace

ReportHolder::ReportHolder(const ReportHolder& other) : m_roots(CopyEntries(other.m_roots)) {}

ReportHolder& ReportHolder::operator=(const ReportHolder& other) {
    if (this != &other) m_roots = CopyEntries(other.m_roots);
    return *this;
}

ReportHolder::Entries ReportHolder::CopyEntries(const Entries& from) {
    Entries copy;
    for (const auto& e : from) {
        auto c = std::make_unique<Entry>();
        c->key = e->key;
        c->title = e->title;
        c->hasTitle = e->hasTitle;
        c->text = e->text;
        c->children = CopyEntries(e->children);
        copy.push_back(std::move(c));
    }
    return copy;
}

ReportHolder::Entry* ReportHolder::Find(const Entries& in, const CPString& key) {
    for (const auto& e : in)
        if (e->key == key) return e.get();
    return nullptr;
}

ReportHolder::Entry* ReportHolder::Resolve(const char* path, bool create) {
    std::vector<CPString> keys;
    if (!SplitPath(path, keys) || static_cast<int>(keys.size()) > kMaxDepth) return nullptr;
    Entries* level = &m_roots;
    Entry* entry = nullptr;
    for (const CPString& key : keys) {
        entry = Find(*level, key);
        if (!entry) {
            if (!create) return nullptr;
            level->push_back(std::make_unique<Entry>());
            entry = level->back().get();
            entry->key = key;
        }
        level = &entry->children;
    }
    return entry;
}

const ReportHolder::Entry* ReportHolder::Resolve(const char* path) const {
    return const_cast<ReportHolder*>(this)->Resolve(path, false);
}

std::vector<CPString> ReportHolder::GetEntryKeys(const char* path) const {
    std::vector<CPString> keys;
    const Entries* level = &m_roots;
    if (path && *path) {
        const Entry* entry = Resolve(path);
        if (!entry) return keys;
        level = &entry->children;
    }
    for (const auto& e : *level) keys.push_back(e->key);
    return keys;
}

bool ReportHolder::AddEntry(const char* section, const char* key, const char* title) {
    if (!key || !*key) return false;
    for (const char* p = key; *p; ++p)
        if (*p == ':') return false;
    CPString path = (section && *section) ? CPString(section) + ":" + key : CPString(key);
    Entry* entry = Resolve(path.c_str(), true);
    if (!entry) return false;
    if (title) {
        entry->title = title;
        entry->hasTitle = true;
    }
    return true;
}

bool ReportHolder::AppendText(const char* path, const char* text) {
    if (!text) return false;
    Entry* entry = Resolve(path, true);
    if (!entry) return false;
    if (!entry->text.empty()) entry->text += "\n";
    entry->text += text;
    return true;
}

bool ReportHolder::SetText(const char* path, const char* text) {
    Entry* entry = text ? Resolve(path, false) : nullptr;
    if (!entry) return false;
    if (*text) {
        entry->text = text;
        return true;
    }
    // An entry with nothing left to say goes: the report would show its key alone.
    std::vector<CPString> keys;
    SplitPath(path, keys);
    keys.pop_back();
    Entries* level = &m_roots;
    for (const CPString& key : keys) level = &Find(*level, key)->children;
    for (auto it = level->begin(); it != level->end(); ++it)
        if (it->get() == entry) {
            level->erase(it);
            break;
        }
    return true;
}

bool ReportHolder::HasEntry(const char* path) const { return Resolve(path) != nullptr; }

CPString ReportHolder::GetTitle(const char* path) const {
    const Entry* e = Resolve(path);
    return e ? e->title : CPString();
}

CPString ReportHolder::GetText(const char* path) const {
    const Entry* e = Resolve(path);
    return e ? e->text : CPString();
}

void ReportHolder::Render(const Entries& entries, int depth, CPString& out) {
    for (const auto& e : entries) {
        const CPString indent(std::string(static_cast<std::size_t>(2 * depth), ' '));
        out += indent + (e->hasTitle ? e->title : e->key) + "\n";
        if (!e->text.empty()) {
            out += indent + "  ";
            for (char c : e->text) {
                out.push_back(c);
                if (c == '\n') out += indent + "  ";
            }
            out += "\n";
        }
        Render(e->children, depth + 1, out);
    }
}

const char* ReportHolder::GetReport() const {
    m_report.clear();
    Render(m_roots, 0, m_report);
    return m_report.c_str();
}

void ReportHolder::Clear() { m_roots.clear(); }

// Record version 1: the number of top-level entries, then each entry as its own record: key,
// title flag, title, text, number of children and the children's records.
bool ReportHolder::StoreEntry(ILurmetBinaryFile& file, const Entry& entry) {
    RecordHandle record;
    bool ok = file.BeginRecord(record, RecordVersion) && file.WriteCPString(entry.key) &&
              file.WriteBool(entry.hasTitle) && file.WriteCPString(entry.title) && file.WriteCPString(entry.text) &&
              file.WriteInt(static_cast<std::int32_t>(entry.children.size()));
    for (const auto& child : entry.children) ok = ok && StoreEntry(file, *child);
    return ok && file.EndRecord(record);
}

bool ReportHolder::RecallEntry(ILurmetBinaryFile& file, Entry& entry, int depth) {
    if (depth > kMaxDepth) return false;
    RecordHandle record;
    std::int32_t count = 0;
    if (!file.BeginRecord(record) || file.GetRecordVersion(record) < 1 || !file.ReadCPString(entry.key) ||
        !file.ReadBool(entry.hasTitle) || !file.ReadCPString(entry.title) || !file.ReadCPString(entry.text) ||
        !file.ReadItemCount(count) || entry.key.empty())
        return false;
    for (std::int32_t i = 0; i < count; ++i) {
        auto child = std::make_unique<Entry>();
        if (!RecallEntry(file, *child, depth + 1)) return false;
        entry.children.push_back(std::move(child));
    }
    return file.EndRecord(record);
}

bool ReportHolder::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    bool ok = file.BeginRecord(record, RecordVersion) && file.WriteInt(static_cast<std::int32_t>(m_roots.size()));
    for (const auto& e : m_roots) ok = ok && StoreEntry(file, *e);
    return ok && file.EndRecord(record);
}

bool ReportHolder::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    std::int32_t count = 0;
    if (!file.BeginRecord(record) || file.GetRecordVersion(record) < 1 || !file.ReadItemCount(count))
        return false;
    Entries read;
    for (std::int32_t i = 0; i < count; ++i) {
        auto entry = std::make_unique<Entry>();
        if (!RecallEntry(file, *entry, 1)) return false;
        read.push_back(std::move(entry));
    }
    if (!file.EndRecord(record)) return false;
    m_roots = std::move(read);
    return true;
}
