#pragma once
// What the grid diagram reads of flowsheet nodes: names, kinds and known values.
#include "lumeth/Text.h"
#include "pellin/CNode.h"
#include "pellin/NodeKinds.h"

namespace hend {

constexpr double kEmpty = -32767.0;

// The name a unit shows: its unit operation name, else its node's name.
inline Text unitNameOf(const CNode* node) {
    CPString s;
    if (node && node->getVariableAsString("UnitOperationName", s) && !s.empty()) return Text(s);
    return node ? Text(node->getName()) : Text();
}

inline Text parentStream(const CNode* node) {
    CPString s;
    if (node && node->getVariableAsString(NodeValue::ParentStream, s)) return Text(s);
    return Text();
}

inline bool isKind(const CNode* n, const char* kind) { return n && n->getClassName() == kind; }
inline bool isSegment(const CNode* n) { return isKind(n, NodeKind::MaterialStream); }
inline bool isUnit(const CNode* n) {
    return isKind(n, NodeKind::HeatExchanger) || isKind(n, NodeKind::CountercurrentHX) || isKind(n, NodeKind::Heater);
}

// A value the design knows (specified or calculated); -32767 otherwise.
inline double knownValue(const CNode* n, const char* name) {
    double v = kEmpty;
    if (!n || n->getVariableStatus(name) == 0 || !n->getVariableAsDouble(name, v)) return kEmpty;
    return v;
}


// A node's name as one word of a command line the grid sends its diagram: quoted, with a quote or
// backslash in it escaped (Text::Token reads it back), so that a name holding either still
// reaches its own node.
inline Text quoted(const CNode* node) {
    Text out("\"");
    if (node)
        for (const char c : Text(node->getName())) {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
    return out + "\"";
}

}  // namespace hend
