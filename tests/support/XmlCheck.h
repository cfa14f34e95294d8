#pragma once
// Whether a text is well-formed XML, by libxml2's parser.
#include <libxml/parser.h>

#include <string>

inline bool IsWellFormedXml(const std::string& text) {
    xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "export.svg", nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    const bool ok = doc != nullptr && xmlDocGetRootElement(doc) != nullptr;
    if (doc) xmlFreeDoc(doc);
    return ok;
}
