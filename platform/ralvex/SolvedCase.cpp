// An open case solved again: a second document of the same items and links whose values replace
// the open case's. The structure is compared with the document the case was first read from, not
// with the case itself, since the extraction adds items and relinks streams in the open case.
#include "osmeri/CPItem.h"
#include "osmeri/CPValue.h"
#include "ralvex/Case.h"
#include "ralvex/CaseReader.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

std::string joined(const std::vector<CPString>& names) {
    std::string out;
    for (const CPString& n : names) out += (out.empty() ? "" : ", ") + std::string(n);
    return out.empty() ? "nothing" : out;
}

// The first way the solved document's items differ from the open case's document; empty when
// they hold the same items, classes and links.
std::string firstDifference(const std::vector<Case::DocumentItem>& was, const std::vector<Case::DocumentItem>& now) {
    std::unordered_map<std::string, const Case::DocumentItem*> byName;
    byName.reserve(now.size());
    for (const Case::DocumentItem& d : now) byName.emplace(d.name, &d);
    // Items and classes first, then links: a missing item is named as such, not by the links
    // that lead to it.
    for (const Case::DocumentItem& d : was) {
        auto it = byName.find(d.name);
        if (it == byName.end()) return "item " + std::string(d.name) + " of the case is missing";
        if (it->second->className != d.className)
            return "item " + std::string(d.name) + " is of class " + std::string(it->second->className) + ", not " +
                   std::string(d.className);
    }
    if (now.size() != was.size()) {
        std::unordered_set<std::string> known;
        for (const Case::DocumentItem& d : was) known.insert(d.name);
        for (const Case::DocumentItem& n : now)
            if (!known.count(n.name)) return "item " + std::string(n.name) + " is not in the case";
    }
    for (const Case::DocumentItem& d : was) {
        const Case::DocumentItem& n = *byName.at(d.name);
        if (n.feeds != d.feeds)
            return "item " + std::string(d.name) + " feeds " + joined(n.feeds) + ", not " + joined(d.feeds);
    }
    return std::string();
}

CaseReadResult differentCase(const CPString& file, const std::string& what) {
    CaseReadResult r;
    r.status = CaseReadStatus::DifferentCase;
    r.message = file + ":0: is not the open case solved again: " + what;
    return r;
}

CaseReadResult applySolved(Case& solved, const CPString& fileName, Case& open) {
    const std::vector<Case::DocumentItem>& was = open.GetDocument();
    const std::vector<Case::DocumentItem>& now = solved.GetDocument();
    const std::string difference = firstDifference(was, now);
    if (!difference.empty()) return differentCase(fileName, difference);

    std::unordered_map<std::string, const Case::DocumentItem*> before;
    before.reserve(was.size());
    for (const Case::DocumentItem& d : was) before.emplace(d.name, &d);
    for (const Case::DocumentItem& d : now) {
        CPItem* target = open.GetItemByName(d.name);
        CPItem* source = solved.GetItemByName(d.name);
        // An item the extraction took out of the case (one of a class it does not know) stays out.
        if (!target || !source) continue;
        for (std::size_t i = 0; i < source->GetNumberOfVariables(); ++i) {
            const CPValue* v = source->GetVariable(i);
            if (CPValue* own = target->FindVariable(v->GetName())) *own = *v;
            else target->AppendVariable(CPValue(*v));
        }
        // What the first document gave and this one does not is no longer known.
        for (const CPString& name : before.at(d.name)->values)
            if (!source->FindVariable(name))
                if (CPValue* own = target->FindVariable(name)) *own = CPValue(name);
    }
    open.SetDocument(now);
    open.SetCaseRefresh(true);
    return CaseReadResult{};
}

}  // namespace

CaseReadResult CaseReader::ApplySolvedMemory(std::string_view bytes, const CPString& fileName, Case& open) {
    std::unique_ptr<Case> solved;
    const CaseReadResult read = ReadMemory(bytes, fileName, solved);
    return read.status == CaseReadStatus::Ok ? applySolved(*solved, fileName, open) : read;
}

CaseReadResult CaseReader::ApplySolvedFile(const CPString& path, Case& open) {
    std::unique_ptr<Case> solved;
    const CaseReadResult read = ReadFile(path, solved);
    return read.status == CaseReadStatus::Ok ? applySolved(*solved, path, open) : read;
}
