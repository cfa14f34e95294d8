// Event-plan files on libxml2: the document built as a tree and serialised in UTF-8, and parsed
// with network access, entity substitution and DTD loading left off; a document with a DOCTYPE is
// refused the moment the parser meets it, in whatever encoding (its entities could expand
// without bound).
#include "views/design/EventPlanFile.h"

#include "brasko/CaseFileTemporaries.h"
#include "eng/model/CaseValueLimits.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace event_plan_file {

namespace {

const xmlChar* x(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

xmlNode* child(xmlNode* parent, const char* name) { return xmlNewChild(parent, nullptr, x(name), nullptr); }
void attribute(xmlNode* node, const char* name, const std::string& value) { xmlNewProp(node, x(name), x(value.c_str())); }

void writeTask(xmlNode* event, const EventTask& t) {
    xmlNode* task = child(event, Task);
    attribute(task, Type, t.keyword);
    xmlNode* data = child(task, Data);
    attribute(data, UnitName, t.unitName);
    attribute(data, NewValue, FormatValue(t.newValue));
    attribute(data, Units, t.units);
}

bool isElement(const xmlNode* n, const char* name = nullptr) {
    return n && n->type == XML_ELEMENT_NODE && (!name || xmlStrcmp(n->name, x(name)) == 0);
}

std::string valueOf(const xmlAttr* a) {
    if (!a || !a->children) return std::string();
    xmlChar* v = xmlNodeListGetString(a->doc, a->children, 1);
    std::string out = v ? reinterpret_cast<const char*>(v) : "";
    xmlFree(v);
    return out;
}

// The attribute of the name; where it is missing, the attribute at the position, unless that
// one carries another name of the same element (it belongs to its own field then).
std::string readAttribute(const xmlNode* node, const char* name, int position,
                          std::initializer_list<const char*> names, bool& present) {
    present = false;
    for (const xmlAttr* a = node->properties; a; a = a->next)
        if (xmlStrcmp(a->name, x(name)) == 0) return present = true, valueOf(a);
    int i = 0;
    for (const xmlAttr* a = node->properties; a; a = a->next, ++i) {
        if (i != position) continue;
        for (const char* other : names)
            if (xmlStrcmp(a->name, x(other)) == 0) return std::string();
        present = true;
        return valueOf(a);
    }
    return std::string();
}

std::string readAttribute(const xmlNode* node, const char* name, int position = 0) {
    bool present = false;
    return readAttribute(node, name, position, {}, present);
}

// Whether a task can carry the value out: an inlet temperature lies from absolute zero (in the
// unit of the lowest number, -459.67 F) to 5000 C (9032 F); an area, a number of shells, a flow
// or a fouling is not negative; none is larger than any plant (a value read from a file that no
// task can hold reads as none given, and is written back so).
bool fitsTask(const Text& keyword, double value) {
    if (value == -32767.0) return true;
    if (keyword == "InletTemp") return value >= -459.67 && value <= 9032.0;
    return value >= 0.0 && value <= CaseValueLimits::MaxMagnitude;
}

void readTask(xmlNode* task, EventPlan& plan) {
    const Text keyword = readAttribute(task, Type);
    // The "Data" of the task, or its first element where none is called so.
    xmlNode* data = nullptr;
    for (xmlNode* c = task->children; c && !data; c = c->next)
        if (isElement(c, Data)) data = c;
    for (xmlNode* c = task->children; c && !data; c = c->next)
        if (isElement(c)) data = c;
    const event_tasks::Group group = event_tasks::GroupOf(keyword);
    if (group == event_tasks::Group::None) return;
    EventTask t;
    t.keyword = keyword;
    if (data) {
        const std::initializer_list<const char*> names = {UnitName, NewValue, Units};
        bool present = false;
        t.unitName = readAttribute(data, UnitName, 0, names, present);
        const std::string value = readAttribute(data, NewValue, 1, names, present);
        t.newValue = present ? ParseValue(value) : -32767.0;
        if (!fitsTask(keyword, t.newValue)) t.newValue = -32767.0;
        t.units = readAttribute(data, Units, 2, names, present);
    }
    (group == event_tasks::Group::Exchanger ? plan.exchangerTasks : plan.flowTasks).push_back(std::move(t));
}

std::unique_ptr<EventPlan> readEvent(xmlNode* event) {
    auto plan = std::make_unique<EventPlan>();
    plan->name = readAttribute(event, Name);
    bool first = true;
    for (xmlNode* c = event->children; c; c = c->next) {
        if (!isElement(c)) continue;
        // Children are known by their names; one of another name counts by its place: the
        // first holds the notes, the others are tasks.
        const bool notes = isElement(c, Notes) || (!isElement(c, Task) && first);
        first = false;
        if (notes) plan->notes = readAttribute(c, Notes);
        else readTask(c, *plan);
    }
    return plan;
}

// The parser stops at a DOCTYPE, before any of its declarations is read.
void stopAtDoctype(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    *static_cast<bool*>(ctxt->_private) = true;
    xmlStopParser(ctxt);
}

// The document, or null when it is not well-formed or has a DOCTYPE.
xmlDoc* parseWithoutDoctype(const std::string& bytes, int options) {
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) return nullptr;
    bool doctype = false;
    ctxt->_private = &doctype;
    ctxt->sax->internalSubset = stopAtDoctype;
    xmlDoc* doc = xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, options);
    const bool refused = doctype || !ctxt->wellFormed || (doc && (doc->intSubset || doc->extSubset));
    xmlFreeParserCtxt(ctxt);
    if (refused && doc) {
        xmlFreeDoc(doc);
        doc = nullptr;
    }
    return doc;
}

}  // namespace

std::string FormatValue(double value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

double ParseValue(const std::string& text) {
    std::size_t a = 0, b = text.size();
    while (a < b && (text[a] == ' ' || text[a] == '\t' || text[a] == '\n' || text[a] == '\r')) ++a;
    while (b > a && (text[b - 1] == ' ' || text[b - 1] == '\t' || text[b - 1] == '\n' || text[b - 1] == '\r')) --b;
    if (a < b && text[a] == '+') ++a;
    double out = 0.0;
    const auto r = std::from_chars(text.data() + a, text.data() + b, out);
    // "nan" and "inf" parse, and are no value of any task.
    return r.ec == std::errc() && r.ptr == text.data() + b && a < b && std::isfinite(out) ? out : -32767.0;
}

std::string Write(const EventPlanList& plans, const Text& fileNotes) {
    DocPtr doc(xmlNewDoc(x("1.0")));
    xmlNode* root = xmlNewNode(nullptr, x(RootPlan));
    xmlDocSetRootElement(doc.get(), root);
    for (const auto& plan : plans) {
        xmlNode* event = child(root, Event);
        attribute(event, Name, plan->name);
        attribute(child(event, Notes), Notes, plan->notes);
        for (const EventTask& t : plan->exchangerTasks) writeTask(event, t);
        for (const EventTask& t : plan->flowTasks) writeTask(event, t);
    }
    attribute(child(root, RootNotes), Notes, fileNotes);
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc.get(), &text, &size, "UTF-8", 1);
    std::string out = text && size > 0 ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size)) : "";
    xmlFree(text);
    return out;
}

bool Save(const Text& path, const EventPlanList& plans, const Text& fileNotes, std::string* why) {
    std::string error;
    const auto fail = [&](const char* reason) {
        if (why) *why = reason ? std::string(reason) : error;
        return false;
    };
    const std::string text = Write(plans, fileNotes);
    if (path.empty()) return fail("no file name");
    if (text.empty()) return fail("the plans could not be written as a document");
    // A document that would not read back (a name or note typed in another encoding than
    // UTF-8 is copied through by the writer as it stands) is not written: it would replace a
    // good file with one that no longer opens.
    PlanDocument check;
    if (!Parse(text, check)) return fail("the document would not read back (a name or note that is not UTF-8)");
    // As a case is saved: a failed write leaves any earlier file whole, a user's file beside it
    // is never touched, a link's file is written and the file keeps its mode.
    if (!ReplaceFileAtomically(path.c_str(), text.data(), text.size(), "<?xml", error)) return fail(nullptr);
    return true;
}

bool Parse(const std::string& bytes, PlanDocument& out) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT32_MAX)) return false;
    // No DOCTYPE, no network, no entity substitution, no DTD: a plan file names nothing outside
    // itself.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    DocPtr doc(parseWithoutDoctype(bytes, options));
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!isElement(root, RootPlan)) return false;
    PlanDocument read;
    bool notesRead = false;
    // Document order, any depth, without recursion.
    std::vector<xmlNode*> pending{root};
    while (!pending.empty()) {
        xmlNode* n = pending.back();
        pending.pop_back();
        if (isElement(n, Event)) read.plans.push_back(readEvent(n));
        if (isElement(n, RootNotes) && !notesRead) {
            read.notes = readAttribute(n, Notes);
            notesRead = true;
        }
        std::vector<xmlNode*> children;
        for (xmlNode* c = n->children; c; c = c->next)
            if (isElement(c)) children.push_back(c);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    out = std::move(read);
    return true;
}

bool Load(const Text& path, PlanDocument& out) {
    // Only a regular file of a plan's size is read: a pipe would wait for a writer, a device
    // would never end.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        static_cast<std::uint64_t>(info.st_size) > MaxFileBytes)
        return false;
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in && !in.eof()) return false;
    return Parse(bytes.str(), out);
}

}  // namespace event_plan_file
