#include "ralvex/CaseReader.h"

#include "osmeri/CPItem.h"
#include "ralvex/Case.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

const char* const kDefaultFlowsheet = "Main";

struct Failure {
    CaseReadStatus status;
    int line;
    std::string what;
};

// ---------------------------------------------------------------- small helpers

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

int lineOf(const xmlNode* node) { return node ? static_cast<int>(xmlGetLineNo(node)) : 0; }

std::string elementName(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

// Quotes user text in a message, cut short and without control characters.
std::string quoted(std::string_view text) {
    std::string out = "\"";
    std::size_t n = 0;
    for (char c : text) {
        if (++n > 40) {
            out += "...";
            break;
        }
        out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return out + "\"";
}

// A decimal number: sign, digits, point, exponent. Hex, "inf" and "nan" are not numbers here.
bool parseNumber(std::string_view text, double& value) {
    text = trim(text);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != text.size()) return false;
    std::string_view body = text;
    if (!body.empty() && body.front() == '+') body.remove_prefix(1);
    auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    return ec == std::errc() && end == body.data() + body.size();
}

// The text content of an element that may hold only text (no child elements).
bool textContent(const xmlNode* node, std::string& out, Failure& failure) {
    out.clear();
    for (const xmlNode* c = node->children; c; c = c->next) {
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
            if (c->content) out += reinterpret_cast<const char*>(c->content);
        } else if (c->type == XML_ELEMENT_NODE) {
            failure = {CaseReadStatus::UnknownElement, lineOf(c),
                       "<" + elementName(node) + "> holds text only, not <" + elementName(c) + ">"};
            return false;
        } else if (c->type == XML_ENTITY_REF_NODE) {
            failure = {CaseReadStatus::Doctype, lineOf(node), "entity references are not read"};
            return false;
        }
    }
    return true;
}

// The names met among the values of one owner: a short list while there are few (an item has
// about ten), a hash set beyond.
class NameSet {
public:
    // False when the name was there already.
    bool Insert(const std::string& name) {
        if (m_set.empty()) {
            for (const std::string& n : m_few)
                if (n == name) return false;
            if (m_few.size() < 16) {
                m_few.push_back(name);
                return true;
            }
            m_set.insert(m_few.begin(), m_few.end());
        }
        return m_set.insert(name).second;
    }
    bool Contains(const std::string& name) const {
        if (!m_set.empty()) return m_set.count(name) != 0;
        for (const std::string& n : m_few)
            if (n == name) return true;
        return false;
    }

private:
    std::vector<std::string> m_few;
    std::unordered_set<std::string> m_set;
};

// ---------------------------------------------------------------- the document walk

class Builder {
public:
    Builder(Case& c) : m_case(c) {}

    bool Root(const xmlNode* root, Failure& f);

private:
    struct PendingLink {
        CPItem* from;
        std::string to;
        int line;
    };

    // Checks that every attribute of the element is one of `allowed` (null-terminated list).
    bool Attributes(const xmlNode* node, const char* const* allowed, Failure& f) const;
    // The attribute's value; false (no failure) when missing.
    static bool Attribute(const xmlNode* node, const char* name, std::string& out);
    bool RequiredAttribute(const xmlNode* node, const char* name, std::string& out, Failure& f) const;
    bool Depth(const xmlNode* node, int depth, Failure& f) const;

    bool Class(const xmlNode* node, Failure& f);
    bool Item(const xmlNode* node, Failure& f);
    // A value element under an item (`named`: a name is required) or a group.
    // A value element: under an item (`item` given; its values need names) or under a group
    // (`parent`; an unnamed group there is an indexed entry).
    bool Value(const xmlNode* node, CPItem* item, CPValue* parent, NameSet& names, int depth, Failure& f);
    bool Links(Failure& f);

    Case& m_case;
    std::vector<PendingLink> m_links;
};

bool Builder::Attribute(const xmlNode* node, const char* name, std::string& out) {
    for (const xmlAttr* a = node->properties; a; a = a->next) {
        if (a->ns || std::strcmp(reinterpret_cast<const char*>(a->name), name) != 0) continue;
        out.clear();
        for (const xmlNode* c = a->children; c; c = c->next)
            if (c->content) out += reinterpret_cast<const char*>(c->content);
        return true;
    }
    return false;
}

bool Builder::Attributes(const xmlNode* node, const char* const* allowed, Failure& f) const {
    for (const xmlAttr* a = node->properties; a; a = a->next) {
        bool known = a->ns == nullptr;
        if (known) {
            known = false;
            for (const char* const* n = allowed; *n; ++n)
                if (std::strcmp(reinterpret_cast<const char*>(a->name), *n) == 0) known = true;
        }
        if (!known) {
            f = {CaseReadStatus::UnknownAttribute, lineOf(node),
                 "<" + elementName(node) + "> has no attribute " + quoted(reinterpret_cast<const char*>(a->name))};
            return false;
        }
    }
    return true;
}

bool Builder::RequiredAttribute(const xmlNode* node, const char* name, std::string& out, Failure& f) const {
    if (Attribute(node, name, out) && !out.empty()) return true;
    f = {CaseReadStatus::MissingAttribute, lineOf(node), "<" + elementName(node) + "> needs a " + name};
    return false;
}

bool Builder::Depth(const xmlNode* node, int depth, Failure& f) const {
    if (depth <= CaseReader::MaxDepth) return true;
    f = {CaseReadStatus::TooDeep, lineOf(node), "elements nest deeper than " + std::to_string(CaseReader::MaxDepth)};
    return false;
}

bool Builder::Root(const xmlNode* root, Failure& f) {
    if (!root || root->ns || elementName(root) != "simcase") {
        f = {CaseReadStatus::UnknownElement, lineOf(root), "the document is not a <simcase>"};
        return false;
    }
    static const char* const kRootAttributes[] = {"version", "name", "source", "segmentation", nullptr};
    std::string version, name, source, segmentation;
    if (!Attributes(root, kRootAttributes, f) || !RequiredAttribute(root, "version", version, f)) return false;
    if (version != "1") {
        f = {CaseReadStatus::BadVersion, lineOf(root), "version " + quoted(version) + " is not read (only 1)"};
        return false;
    }
    if (!RequiredAttribute(root, "name", name, f)) return false;
    if (Attribute(root, "source", source)) {
        if (source != "simulator" && source != "spreadsheet") {
            f = {CaseReadStatus::UnknownAttribute, lineOf(root),
                 "source " + quoted(source) + " is neither \"simulator\" nor \"spreadsheet\""};
            return false;
        }
        m_case.SetSource(source);
    }
    if (Attribute(root, "segmentation", segmentation)) m_case.SetSegmentation(segmentation);

    std::size_t items = 0;
    for (const xmlNode* c = root->children; c; c = c->next) items += c->type == XML_ELEMENT_NODE;
    m_case.Reserve(items);
    for (const xmlNode* c = root->children; c; c = c->next) {
        if (c->type == XML_COMMENT_NODE || c->type == XML_PI_NODE) continue;
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
            if (c->content && !trim(reinterpret_cast<const char*>(c->content)).empty()) {
                f = {CaseReadStatus::UnknownElement, lineOf(c), "text is not allowed in <simcase>"};
                return false;
            }
            continue;
        }
        if (c->type != XML_ELEMENT_NODE) {
            f = {CaseReadStatus::UnknownElement, lineOf(c), "unexpected content in <simcase>"};
            return false;
        }
        const std::string e = elementName(c);
        if (c->ns || (e != "class" && e != "item")) {
            f = {CaseReadStatus::UnknownElement, lineOf(c), "<simcase> has no element <" + e + ">"};
            return false;
        }
        if (!Depth(c, 2, f)) return false;
        if (e == "class" ? !Class(c, f) : !Item(c, f)) return false;
    }
    return Links(f);
}

bool Builder::Class(const xmlNode* node, Failure& f) {
    static const char* const kAllowed[] = {"name", "parent", nullptr};
    std::string name, parent;
    if (!Attributes(node, kAllowed, f) || !RequiredAttribute(node, "name", name, f)) return false;
    Attribute(node, "parent", parent);
    for (const xmlNode* c = node->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE || (c->type == XML_TEXT_NODE && c->content &&
                                            !trim(reinterpret_cast<const char*>(c->content)).empty())) {
            f = {CaseReadStatus::UnknownElement, lineOf(c), "<class> holds nothing"};
            return false;
        }
    Model& model = *m_case._get_pmdlThis();
    if (model.IsDeclared(name)) {
        f = {CaseReadStatus::DuplicateName, lineOf(node), "class " + quoted(name) + " is declared twice"};
        return false;
    }
    if (!model.DeclareClass(name, parent)) {
        f = {CaseReadStatus::BadClass, lineOf(node), "class " + quoted(name) + " would derive from itself"};
        return false;
    }
    return true;
}

bool Builder::Item(const xmlNode* node, Failure& f) {
    static const char* const kAllowed[] = {"name", "class", "flowsheet", nullptr};
    std::string name, className, flowsheet = kDefaultFlowsheet;
    if (!Attributes(node, kAllowed, f) || !RequiredAttribute(node, "name", name, f) ||
        !RequiredAttribute(node, "class", className, f))
        return false;
    Attribute(node, "flowsheet", flowsheet);
    if (m_case.GetItemByName(name)) {
        f = {CaseReadStatus::DuplicateName, lineOf(node), "item " + quoted(name) + " appears twice"};
        return false;
    }
    auto item = std::make_unique<CPItem>(name, className);
    // The variables live in one tree while they are read, so that groups and items share the
    // value walk; they are moved onto the item at the end.
    NameSet names;
    for (const xmlNode* c = node->children; c; c = c->next) {
        if (c->type == XML_COMMENT_NODE || c->type == XML_PI_NODE) continue;
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
            if (c->content && !trim(reinterpret_cast<const char*>(c->content)).empty()) {
                f = {CaseReadStatus::UnknownElement, lineOf(c), "text is not allowed in <item>"};
                return false;
            }
            continue;
        }
        if (c->type != XML_ELEMENT_NODE) {
            f = {CaseReadStatus::UnknownElement, lineOf(c), "unexpected content in <item>"};
            return false;
        }
        if (!Depth(c, 3, f)) return false;
        if (!c->ns && elementName(c) == "link") {
            static const char* const kLink[] = {"to", nullptr};
            std::string to;
            if (!Attributes(c, kLink, f) || !RequiredAttribute(c, "to", to, f)) return false;
            if (c->children) {
                f = {CaseReadStatus::UnknownElement, lineOf(c), "<link> holds nothing"};
                return false;
            }
            m_links.push_back({item.get(), to, lineOf(c)});
            continue;
        }
        if (!Value(c, item.get(), nullptr, names, 3, f)) return false;
    }
    // The sub-flowsheet and the simulator's own name, unless the item gives them itself.
    if (!flowsheet.empty()) {
        if (!names.Contains("MySubFlowsheet")) item->AddVariable("MySubFlowsheet")->Set(CPString(flowsheet));
        if (!names.Contains("VelmorFlowsheetName")) item->AddVariable("VelmorFlowsheetName")->Set(CPString(flowsheet));
    }
    if (!names.Contains("VelmorName")) item->AddVariable("VelmorName")->Set(CPString(name));
    m_case.Add(std::move(item));
    return true;
}

bool Builder::Value(const xmlNode* node, CPItem* item, CPValue* parent, NameSet& names, int depth, Failure& f) {
    const bool insideGroup = item == nullptr;
    const std::string e = elementName(node);
    const bool known = !node->ns && (e == "num" || e == "short" || e == "text" || e == "list" || e == "texts" ||
                                     e == "group");
    if (!known) {
        f = {CaseReadStatus::UnknownElement, lineOf(node),
             "<" + e + "> is not a value (num, short, text, list, texts, group" + (insideGroup ? "" : ", link") + ")"};
        return false;
    }
    static const char* const kNamed[] = {"name", nullptr};
    static const char* const kNum[] = {"name", "units", nullptr};
    if (!Attributes(node, e == "num" ? kNum : kNamed, f)) return false;
    std::string name;
    const bool hasName = Attribute(node, "name", name) && !name.empty();
    // Only a group inside a group may go without a name: it is an indexed entry.
    if (!hasName && !(insideGroup && e == "group")) return RequiredAttribute(node, "name", name, f);
    if (hasName && !names.Insert(name)) {
        f = {CaseReadStatus::DuplicateName, lineOf(node), "value " + quoted(name) + " appears twice"};
        return false;
    }
    // Names were checked just above: an item's value is appended without a look-up.
    CPValue* value = item ? item->AppendVariable(CPValue(CPString(name))) : parent->AddSubValue(CPString(name));
    std::string text;
    if (e == "num" || e == "short") {
        if (!textContent(node, text, f)) return false;
        if (trim(text).empty()) return true;  // empty: unknown
        double number = 0.0;
        if (!parseNumber(text, number) ||
            (e == "short" && (number < -32768.0 || number > 65535.0 || number != std::trunc(number)))) {
            f = {CaseReadStatus::BadNumber, lineOf(node),
                 "value " + quoted(name) + ": " + quoted(trim(text)) +
                     (e == "short" ? " is not a 16-bit integer" : " is not a number")};
            return false;
        }
        value->Set(number);
        if (e == "num") {
            std::string units;
            if (Attribute(node, "units", units)) value->SetUnits(units);
        }
        return true;
    }
    if (e == "text") {
        if (!textContent(node, text, f)) return false;
        value->Set(CPString(text));
        return true;
    }
    if (e == "list") {
        if (!textContent(node, text, f)) return false;
        std::string_view rest = text;
        while (true) {
            while (!rest.empty() && (isSpace(rest.front()) || rest.front() == ',')) rest.remove_prefix(1);
            if (rest.empty()) break;
            std::size_t n = 0;
            while (n < rest.size() && !isSpace(rest[n]) && rest[n] != ',') ++n;
            const std::string_view token = rest.substr(0, n);
            rest.remove_prefix(n);
            double number = 0.0;
            if (token == "?") {
                value->AddSubValue(CPString());  // an unknown entry
            } else if (parseNumber(token, number)) {
                value->AddSubValue(CPString(), number, CPValue::Specified);
            } else {
                f = {CaseReadStatus::BadNumber, lineOf(node),
                     "list " + quoted(name) + ": " + quoted(token) + " is not a number"};
                return false;
            }
        }
        return true;
    }
    if (e == "texts") {
        for (const xmlNode* c = node->children; c; c = c->next) {
            if (c->type == XML_COMMENT_NODE || c->type == XML_PI_NODE) continue;
            if (c->type == XML_TEXT_NODE && c->content && trim(reinterpret_cast<const char*>(c->content)).empty())
                continue;
            if (c->type != XML_ELEMENT_NODE || c->ns || elementName(c) != "t") {
                f = {CaseReadStatus::UnknownElement, lineOf(c), "<texts> holds only <t> entries"};
                return false;
            }
            if (!Depth(c, depth + 1, f)) return false;
            static const char* const kNone[] = {nullptr};
            if (!Attributes(c, kNone, f) || !textContent(c, text, f)) return false;
            value->AddSubValue(CPString())->Set(CPString(text));
        }
        return true;
    }
    // A group: named values and indexed (unnamed) groups.
    NameSet inner;
    for (const xmlNode* c = node->children; c; c = c->next) {
        if (c->type == XML_COMMENT_NODE || c->type == XML_PI_NODE) continue;
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
            if (c->content && !trim(reinterpret_cast<const char*>(c->content)).empty()) {
                f = {CaseReadStatus::UnknownElement, lineOf(c), "text is not allowed in <group>"};
                return false;
            }
            continue;
        }
        if (c->type != XML_ELEMENT_NODE) {
            f = {CaseReadStatus::UnknownElement, lineOf(c), "unexpected content in <group>"};
            return false;
        }
        if (!Depth(c, depth + 1, f) || !Value(c, nullptr, value, inner, depth + 1, f)) return false;
    }
    return true;
}

bool Builder::Links(Failure& f) {
    // Repeats are found by the pair of items, so a unit with many neighbours costs no more per link.
    struct PairHash {
        std::size_t operator()(const std::pair<const CPItem*, const CPItem*>& p) const {
            return std::hash<const void*>()(p.first) * 31u ^ std::hash<const void*>()(p.second);
        }
    };
    std::unordered_set<std::pair<const CPItem*, const CPItem*>, PairHash> seen;
    seen.reserve(m_links.size());
    for (const PendingLink& link : m_links) {
        CPItem* to = m_case.GetItemByName(link.to);
        if (!to) {
            f = {CaseReadStatus::BadLink, link.line, "link to " + quoted(link.to) + ", which is no item"};
            return false;
        }
        if (to == link.from) {
            f = {CaseReadStatus::BadLink, link.line, "item " + quoted(link.to) + " links to itself"};
            return false;
        }
        if (!seen.insert({link.from, to}).second) {
            f = {CaseReadStatus::BadLink, link.line,
                 "item " + quoted(link.from->GetName()) + " links to " + quoted(link.to) + " twice"};
            return false;
        }
        link.from->AddRelatedNode(to, CPItem::Downstream);
    }
    return true;
}

// ---------------------------------------------------------------- the prolog

// Finds a DOCTYPE before the root element without parsing anything: the prolog may hold only an
// XML declaration, comments, processing instructions and blanks besides it. Answers its line, or
// 0 when there is none.
int doctypeLine(std::string_view bytes) {
    std::size_t i = 0;
    int line = 1;
    auto skipTo = [&](std::string_view end) {
        const std::size_t at = bytes.find(end, i);
        const std::size_t stop = at == std::string_view::npos ? bytes.size() : at + end.size();
        for (; i < stop; ++i)
            if (bytes[i] == '\n') ++line;
    };
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") i = 3;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (isSpace(c)) {
            if (c == '\n') ++line;
            ++i;
        } else if (bytes.compare(i, 4, "<!--") == 0) {
            skipTo("-->");
        } else if (bytes.compare(i, 2, "<?") == 0) {
            skipTo("?>");
        } else if (bytes.compare(i, 9, "<!DOCTYPE") == 0) {
            return line;
        } else {
            return 0;
        }
    }
    return 0;
}

CaseReadResult refuse(const CPString& file, CaseReadStatus status, int line, const std::string& what) {
    CaseReadResult r;
    r.status = status;
    r.line = line;
    r.message = file + ":" + std::to_string(line) + ": " + what;
    return r;
}

}  // namespace

CaseReadResult CaseReader::ReadMemory(std::string_view bytes, const CPString& fileName, std::unique_ptr<Case>& out) {
    if (bytes.size() > MaxDocumentBytes)
        return refuse(fileName, CaseReadStatus::TooLarge, 0, "the document is larger than 64 MB");
    if (const int line = doctypeLine(bytes))
        return refuse(fileName, CaseReadStatus::Doctype, line, "a DOCTYPE is not allowed (no entity is read)");

    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) return refuse(fileName, CaseReadStatus::Malformed, 0, "the XML parser could not be started");
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES |
                        XML_PARSE_COMPACT;
    // Read as UTF-8 whatever the document declares, so the parser sees exactly the bytes the
    // DOCTYPE check above saw (a UTF-16 or EBCDIC document is malformed here).
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()), fileName.c_str(), "UTF-8",
                                      options);
    const bool wellFormed = doc && ctxt->wellFormed;
    if (!wellFormed) {
        // The parser keeps its last error; nothing is printed (NOERROR, NOWARNING).
        const xmlError* last = &ctxt->lastError;
        const int line = last->line;
        std::string what = last->message ? std::string(last->message) : std::string("not well-formed");
        while (!what.empty() && isSpace(what.back())) what.pop_back();
        if (doc) xmlFreeDoc(doc);
        xmlFreeParserCtxt(ctxt);
        return refuse(fileName, CaseReadStatus::Malformed, line, "malformed XML: " + what);
    }
    xmlFreeParserCtxt(ctxt);
    if (doc->intSubset || doc->extSubset) {
        xmlFreeDoc(doc);
        return refuse(fileName, CaseReadStatus::Doctype, 1, "a DOCTYPE is not allowed (no entity is read)");
    }

    std::string name;
    const xmlNode* root = xmlDocGetRootElement(doc);
    if (root) {
        for (const xmlAttr* a = root->properties; a; a = a->next)
            if (!a->ns && std::strcmp(reinterpret_cast<const char*>(a->name), "name") == 0 && a->children &&
                a->children->content)
                name = reinterpret_cast<const char*>(a->children->content);
    }
    auto made = std::make_unique<Case>(name);
    Builder builder(*made);
    Failure failure{CaseReadStatus::Ok, 0, std::string()};
    const bool ok = builder.Root(root, failure);
    xmlFreeDoc(doc);
    if (!ok) return refuse(fileName, failure.status, failure.line, failure.what);
    made->RememberDocument();
    out = std::move(made);
    return CaseReadResult{};
}

namespace {

// The whole file, refused when it is no regular file or above the largest document.
CaseReadResult readWhole(const CPString& path, std::string& bytes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return refuse(path, CaseReadStatus::CannotOpen, 0, "cannot be read as a file");
    if (static_cast<unsigned long long>(info.st_size) > CaseReader::MaxDocumentBytes)
        return refuse(path, CaseReadStatus::TooLarge, 0, "the document is larger than 64 MB");
    std::ifstream in(path, std::ios::binary);
    if (!in) return refuse(path, CaseReadStatus::CannotOpen, 0, "cannot be opened");
    bytes.resize(static_cast<std::size_t>(info.st_size));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    // A file that grew meanwhile is read no further than its size at the start.
    if (static_cast<std::size_t>(in.gcount()) != bytes.size())
        return refuse(path, CaseReadStatus::CannotOpen, 0, "could not be read whole");
    return CaseReadResult{};
}

}  // namespace

CaseReadResult CaseReader::ReadFile(const CPString& path, std::unique_ptr<Case>& out) {
    std::string bytes;
    const CaseReadResult read = readWhole(path, bytes);
    return read.status == CaseReadStatus::Ok ? ReadMemory(bytes, path, out) : read;
}

const char* CaseReadStatusWord(CaseReadStatus status) {
    switch (status) {
        case CaseReadStatus::Ok: return "ok";
        case CaseReadStatus::CannotOpen: return "cannot-open";
        case CaseReadStatus::TooLarge: return "too-large";
        case CaseReadStatus::Malformed: return "malformed";
        case CaseReadStatus::Doctype: return "doctype";
        case CaseReadStatus::UnknownElement: return "unknown-element";
        case CaseReadStatus::UnknownAttribute: return "unknown-attribute";
        case CaseReadStatus::MissingAttribute: return "missing-attribute";
        case CaseReadStatus::BadVersion: return "bad-version";
        case CaseReadStatus::DuplicateName: return "duplicate-name";
        case CaseReadStatus::BadLink: return "bad-link";
        case CaseReadStatus::BadNumber: return "bad-number";
        case CaseReadStatus::TooDeep: return "too-deep";
        case CaseReadStatus::BadClass: return "bad-class";
        case CaseReadStatus::DifferentCase: return "different-case";
    }
    return "unknown";
}
