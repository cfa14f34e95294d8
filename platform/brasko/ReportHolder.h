#pragma once
// Report texts of a scenario, kept as a tree of entries: top-level sections ("Streams",
// "Warnings" ...), entries under them, each with an optional title and a text that grows as lines
// are appended. An entry is addressed by its path, the keys of its ancestors and its own joined by
// ':' ("Assumptions:Heaters_and_coolers"). The report is the tree written out as indented text.
#include "dunmor/CPString.h"

#include <memory>
#include <vector>

class ILurmetBinaryFile;

class ReportHolder {
public:
    static constexpr int RecordVersion = 1;
    // Deepest entry a recalled report may hold; deeper trees are taken for damage.
    static constexpr int kMaxDepth = 32;

    ReportHolder() = default;
    ReportHolder(const ReportHolder& other);
    ReportHolder& operator=(const ReportHolder& other);
    ~ReportHolder() = default;

    // Creates the entry `key` under the section at path `section` (top level for null or empty)
    // or finds it when it exists; missing sections on the path are created. A title given
    // replaces the entry's title. False for a null or empty key or a key holding ':'.
    bool AddEntry(const char* section, const char* key, const char* title = nullptr);
    // Appends a line of text to the entry at `path`, creating the entry (and its sections) when
    // missing. False for an empty path or null text.
    bool AppendText(const char* path, const char* text);
    // Replaces the text of the entry at `path` (which must exist); an empty text takes the entry,
    // and its children, out of the report. False when there is no such entry.
    bool SetText(const char* path, const char* text);

    bool HasEntry(const char* path) const;
    // The entry's title and text; empty when there is no such entry.
    CPString GetTitle(const char* path) const;
    CPString GetText(const char* path) const;
    int GetNumberOfSections() const { return static_cast<int>(m_roots.size()); }
    // The keys of the entries directly under `path` (the top level for null or empty), in order.
    std::vector<CPString> GetEntryKeys(const char* path) const;

    // The whole report: every entry in order, its title (or its key when it has none) indented two
    // blanks per level, then its text lines one level deeper. Valid until the next change.
    const char* GetReport() const;
    void Clear();

    bool Store(ILurmetBinaryFile& file) const;
    // Replaces the report only when the whole record was read; on failure it is left as it was.
    bool Recall(ILurmetBinaryFile& file);

private:
    struct Entry {
        CPString key;
        CPString title;
        bool hasTitle = false;
        CPString text;
        std::vector<std::unique_ptr<Entry>> children;
    };
    using Entries = std::vector<std::unique_ptr<Entry>>;

    static Entries CopyEntries(const Entries& from);
    static Entry* Find(const Entries& in, const CPString& key);
    // The entry at the path, created with its ancestors when `create`; null when absent or the
    // path is malformed.
    Entry* Resolve(const char* path, bool create);
    const Entry* Resolve(const char* path) const;
    static void Render(const Entries& entries, int depth, CPString& out);
    static bool StoreEntry(ILurmetBinaryFile& file, const Entry& entry);
    static bool RecallEntry(ILurmetBinaryFile& file, Entry& entry, int depth);

    Entries m_roots;
    mutable CPString m_report;
};
