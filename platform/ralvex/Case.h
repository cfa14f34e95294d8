#pragma once
// A simulator case as the modelling framework holds it: its items in a fixed order (the order
// they were added), a name index, the class model, and what the extraction keeps on it: whether
// the case asks for a refresh of an earlier extraction, whether it stays open (cached) after an
// extraction, and the import object of its last extraction.
//
// The case owns its items. Deleting an item unlinks it from its neighbours first. The import
// object is shared with the scenario that extracted the case: the slot holds one reference
// (`Createable` count), so it lives as long as either holder keeps it.
#include "dunmor/CPString.h"
#include "dunmor/Createable.h"
#include "ralvex/Model.h"

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CPItem;

class Case {
public:
    explicit Case(const CPString& name = CPString());
    // Releases the import object and destroys the items.
    ~Case();
    Case(const Case&) = delete;
    Case& operator=(const Case&) = delete;

    const CPString& GetName() const { return m_name; }

    // ---- items ----
    // Takes the item over; 1 when added, 0 (the item stays the caller's) for a null item, an
    // empty name or a name the case holds already.
    int Add(CPItem* item, int reserved = 0);
    int Add(std::unique_ptr<CPItem> item);
    CPItem* GetItemByName(const CPString& name, int reserved = 0) const;
    // Room in the name index for that many items (a reader that counted them first).
    void Reserve(std::size_t items) { m_index.reserve(items); }
    // Unlinks and destroys the item of that name; 1 when there was one.
    int DeleteItem(const CPString& name);
    std::size_t GetNumberOfItems() const { return m_items.size(); }
    // The walk the modelling framework's interface answers: items in case order. An item deleted
    // during the walk is stepped over.
    CPItem* GetFirstItem();
    CPItem* GetNextItem();
    // Every item in case order, for walks that must not share the cursor above.
    template <class F> void ForEachItem(F&& f) const {
        for (const auto& item : m_items) f(*item);
    }

    // ---- the class model ----
    Model* _get_pmdlThis() { return &m_model; }
    const Model& GetModel() const { return m_model; }

    // ---- what the extraction keeps on the case ----
    bool GetCaseRefresh() const { return m_refresh; }
    void SetCaseRefresh(bool refresh) { m_refresh = refresh; }
    bool GetCaseCached() const { return m_cached; }
    void SetCaseCached(bool cached) { m_cached = cached; }
    Createable* GetVelmorToTarsilImport() const { return m_import; }
    // Holds a reference to the new object and drops the one held before.
    void SetVelmorToTarsilImport(Createable* import);

    // ---- the document as it was read ----
    // Each item of the document, in document order, with its class, the items it feeds (in
    // link order) and the names of its values: what a later solution of the same case must match.
    // Items the extraction adds afterwards are not in it.
    struct DocumentItem {
        CPString name, className;
        std::vector<CPString> feeds, values;
    };
    // Records the items the case holds now as its document.
    void RememberDocument();
    const std::vector<DocumentItem>& GetDocument() const { return m_document; }
    void SetDocument(std::vector<DocumentItem> document) { m_document = std::move(document); }

    // ---- where the case came from ----
    // "simulator" or "spreadsheet", and the segmentation a spreadsheet case asks for.
    const CPString& GetSource() const { return m_source; }
    void SetSource(const CPString& source) { m_source = source; }
    const CPString& GetSegmentation() const { return m_segmentation; }
    void SetSegmentation(const CPString& segmentation) { m_segmentation = segmentation; }

private:
    using Items = std::list<std::unique_ptr<CPItem>>;

    CPString m_name;
    Items m_items;
    std::unordered_map<std::string, Items::iterator> m_index;
    Items::iterator m_cursor;
    Model m_model;
    bool m_refresh = false;
    bool m_cached = false;
    Createable* m_import = nullptr;
    CPString m_source = "simulator";
    CPString m_segmentation;
    std::vector<DocumentItem> m_document;
};
