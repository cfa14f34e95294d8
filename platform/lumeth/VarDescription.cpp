#include "lumeth/VarDescription.h"

#include "lumeth/DisplayUnits.h"
#include "lumeth/ObjectTypeInfo.h"

#include <cctype>
#include <cstring>
#include <strings.h>

namespace {
// The type code of a variable known only by its name: no kind of quantity, so a view that
// tells its variables apart by type code sees it as none of them and looks at the name.
constexpr int kNamedVariableType = 0;
}  // namespace

int VarDescription::TypeCodeOfName(const Text& name) {
    const QuantityInfo* q = FindQuantityByName(name);
    return q ? q->code : -1;
}

Text VarDescription::DefFormat() const {
    const QuantityInfo* q = FindQuantity(Final().m_type);
    return q ? q->format : Text("%g");
}

Text VarDescription::EscapeChildName(const Text& name) {
    Text out;
    out.reserve(name.size());
    for (char c : name) {
        if (c == '(' || c == ')' || c == '\\' || c == '/' || c == ':') out += '\\';
        out += c;
    }
    return out;
}

std::vector<Text> VarDescription::SplitPath(const Text& path) {
    std::vector<Text> steps;
    if (path.empty()) return steps;
    Text step;
    int depth = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '\\' && i + 1 < path.size()) {
            step += c;
            step += path[++i];
            continue;
        }
        if (c == '(') ++depth;
        else if (c == ')' && depth > 0) --depth;
        if (c == '/' && depth == 0) {
            steps.push_back(step);
            step.clear();
            continue;
        }
        step += c;
    }
    steps.push_back(step);
    return steps;
}

VarDescription::VarDescription(const Text& name, int number) : m_number(number), m_name(name) {
    const int code = TypeCodeOfName(name);
    m_type = code >= 0 ? code : kNamedVariableType;
}

VarDescription::VarDescription(const VarDescription& other)
    : m_type(other.m_type),
      m_number(other.m_number),
      m_indexCount(other.m_indexCount),
      m_running(other.m_running),
      m_rowRunning(other.m_rowRunning),
      m_flags(other.m_flags),
      m_name(other.m_name),
      m_objectType(other.m_objectType),
      m_childName(other.m_childName),
      m_hasChildName(other.m_hasChildName),
      m_path(other.m_path) {
    std::memcpy(m_indices, other.m_indices, sizeof m_indices);
    // The rest of the chain, one link after the other.
    VarDescription* to = this;
    for (const VarDescription* from = other.m_next.get(); from; from = from->m_next.get()) {
        to->m_next = std::make_unique<VarDescription>();
        to = to->m_next.get();
        to->CopyElementFrom(*from);
    }
}

void VarDescription::CopyElementFrom(const VarDescription& o) {
    m_type = o.m_type;
    m_number = o.m_number;
    std::memcpy(m_indices, o.m_indices, sizeof m_indices);
    m_indexCount = o.m_indexCount;
    m_running = o.m_running;
    m_rowRunning = o.m_rowRunning;
    m_flags = o.m_flags;
    m_name = o.m_name;
    m_objectType = o.m_objectType;
    m_childName = o.m_childName;
    m_hasChildName = o.m_hasChildName;
    m_path = o.m_path;
}

VarDescription& VarDescription::operator=(const VarDescription& other) {
    if (this != &other) {
        VarDescription copy(other);
        *this = std::move(copy);
    }
    return *this;
}

VarDescription& VarDescription::operator=(VarDescription&& other) noexcept {
    if (this != &other) {
        DropNextLinks();
        CopyElementFrom(other);
        m_next = std::move(other.m_next);
    }
    return *this;
}

VarDescription::~VarDescription() { DropNextLinks(); }

void VarDescription::DropNextLinks() {
    // Unlink each element before it goes, so that no destructor walks the rest of the chain.
    std::unique_ptr<VarDescription> next = std::move(m_next);
    while (next) next = std::move(next->m_next);
}

int VarDescription::Offset(int i) const { return i >= 0 && i < m_indexCount ? m_indices[i] : -1; }

void VarDescription::SetOffset(int i, int value) {
    if (i < 0 || i >= MaxIndices) return;
    m_indices[i] = value;
    if (i >= m_indexCount) m_indexCount = i + 1;
}

bool VarDescription::VariableIs(const Text& name) const {
    return !m_name.empty() && strcasecmp(m_name.c_str(), name.c_str()) == 0;
}

const VarDescription& VarDescription::Final() const {
    const VarDescription* d = this;
    while (d->m_next) d = d->m_next.get();
    return *d;
}

// Reads one address from left to right. Every step checks the characters that are really left;
// anything unexpected makes the whole parse fail.
class VarAddressParser {
public:
    explicit VarAddressParser(const Text& s) : m_s(s) {}

    // chain := element ('.' element)*, an element starting with a letter.
    bool Chain(VarDescription& head, bool allowBareName) {
        VarDescription* current = &head;
        if (!Element(*current, allowBareName)) return false;
        while (m_pos < m_s.size()) {
            if (m_s[m_pos] != '.' || m_pos + 1 >= m_s.size() || !isNameStart(m_s[m_pos + 1])) return false;
            ++m_pos;
            current->m_next = std::make_unique<VarDescription>();
            current = current->m_next.get();
            if (!Element(*current, allowBareName)) return false;
        }
        return true;
    }

private:
    static bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
    static bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

    bool Number(int& value) {
        const std::size_t start = m_pos;
        if (m_pos < m_s.size() && m_s[m_pos] == '-') ++m_pos;
        long v = 0;
        std::size_t digits = 0;
        while (m_pos < m_s.size() && std::isdigit(static_cast<unsigned char>(m_s[m_pos]))) {
            v = v * 10 + (m_s[m_pos++] - '0');
            if (v > 100000000) return false;
            ++digits;
        }
        if (digits == 0) {
            m_pos = start;
            return false;
        }
        value = static_cast<int>(m_s[start] == '-' ? -v : v);
        return true;
    }

    // element := name ['.' number ('.' (number | "[]")){0,3}] [blanks] ['(' child name ')']
    bool Element(VarDescription& d, bool allowBareName) {
        if (m_pos >= m_s.size() || !isNameStart(m_s[m_pos])) return false;
        const std::size_t start = m_pos;
        while (m_pos < m_s.size() && isNameChar(m_s[m_pos])) ++m_pos;
        d.m_name = m_s.substr(start, m_pos - start);
        bool numbered = false;
        if (m_pos + 1 < m_s.size() && m_s[m_pos] == '.' && !isNameStart(m_s[m_pos + 1])) {
            ++m_pos;
            if (!Number(d.m_number)) return false;
            numbered = true;
            while (m_pos + 1 < m_s.size() && m_s[m_pos] == '.' && !isNameStart(m_s[m_pos + 1])) {
                if (d.m_indexCount == VarDescription::MaxIndices) return false;
                ++m_pos;
                if (m_s.compare(m_pos, 2, "[]") == 0) {
                    m_pos += 2;
                    // A second running index: the first runs over the rows.
                    if (d.m_running >= 0) d.m_rowRunning = d.m_running;
                    d.m_running = d.m_indexCount;
                    d.m_indices[d.m_indexCount++] = 0;
                } else if (!Number(d.m_indices[d.m_indexCount++])) {
                    return false;
                }
            }
        }
        std::size_t look = m_pos;
        while (look < m_s.size() && m_s[look] == ' ') ++look;
        if (look < m_s.size() && m_s[look] == '(') {
            // The name runs to the first ')' that is not escaped; a backslash keeps the next
            // character whatever it is. Unescaped '(' pairs are kept as they stand (names such
            // as "Design 1 (old)" written by older forms).
            Text name;
            int depth = 0;
            std::size_t i = look + 1;
            bool closed = false;
            for (; i < m_s.size(); ++i) {
                const char c = m_s[i];
                if (c == '\\') {
                    if (++i >= m_s.size()) return false;
                    name += m_s[i];
                    continue;
                }
                if (c == '(') ++depth;
                else if (c == ')' && depth-- == 0) {
                    closed = true;
                    break;
                }
                name += c;
            }
            if (!closed) return false;
            d.m_childName = name;
            d.m_hasChildName = true;
            m_pos = i + 1;
        }
        if (!numbered && !allowBareName) return false;
        Classify(d);
        return true;
    }

    static void Classify(VarDescription& d) {
        const int code = VarDescription::TypeCodeOfName(d.m_name);
        if (code >= 0) {
            d.m_type = code;
            return;
        }
        if (const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current()) {
            if (const ObjectTypeInfo* type = registry->FindByClassOrName(d.m_name)) {
                d.m_objectType = type->GetName();
                d.m_type = 0;
                return;
            }
        }
        d.m_type = kNamedVariableType;
    }

    const Text& m_s;
    std::size_t m_pos = 0;
};

bool VarDescription::Parse(const Text& address, VarDescription& out) {
    Text text = address;
    text.TrimEndsOfWhitespace();
    if (text.empty()) return false;
    // The moniker's path ends at the first colon outside a child name.
    std::size_t colon = Text::npos;
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
            continue;
        }
        if (text[i] == '(') ++depth;
        else if (text[i] == ')') --depth;
        else if (text[i] == ':' && depth == 0) {
            colon = i;
            break;
        }
    }
    VarDescription result;
    Text chain = text;
    if (colon != Text::npos) {
        result.m_path = text.substr(0, colon);
        chain = text.substr(colon + 1);
        // Every step of the path must itself be a link or a bare name.
        for (const Text& step : SplitPath(result.m_path)) {
            VarDescription probe;
            if (step.empty() || !VarAddressParser(step).Chain(probe, true)) return false;
        }
    }
    if (!VarAddressParser(chain).Chain(result, false)) return false;
    out = std::move(result);
    return true;
}

Text VarDescription::ToString() const {
    Text out;
    if (!m_path.empty()) out = m_path + ":";
    for (const VarDescription* d = this; d; d = d->m_next.get()) {
        if (d != this) out += ".";
        Text name = d->m_name;
        if (name.empty())
            if (const QuantityInfo* q = FindQuantity(d->m_type)) name = q->name;
        out += name.empty() ? Text("Unknown") : name;
        out += FormattedText(".%d", d->m_number);
        for (int i = 0; i < d->m_indexCount; ++i)
            out += i == d->m_running || i == d->m_rowRunning ? Text(".[]") : FormattedText(".%d", d->m_indices[i]);
        if (d->m_hasChildName || !d->m_childName.empty()) out += "(" + EscapeChildName(d->m_childName) + ")";
    }
    return out;
}
