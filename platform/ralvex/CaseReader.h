#pragma once
// Reads a simulator-case document (docs/simulator-case-format.md) into a `Case`. The document is
// input from outside: anything malformed, hostile or too large is refused with a status and a
// message naming the file and the line, and no case is made. The reader never loads a DTD or an
// external entity and never touches the network: a DOCTYPE is refused before the parser sees it.
#include "dunmor/CPString.h"

#include <cstddef>
#include <memory>
#include <string_view>

class Case;

enum class CaseReadStatus : int {
    Ok = 0,
    CannotOpen,        // the file cannot be read (or is not a regular file)
    TooLarge,          // above MaxDocumentBytes
    Malformed,         // not well-formed XML
    Doctype,           // a DOCTYPE (no entity is expanded or fetched)
    UnknownElement,    // an element the format does not have there, or text where none belongs
    UnknownAttribute,  // an attribute the element does not have
    MissingAttribute,  // a required attribute is missing or empty
    BadVersion,        // a document version other than 1
    DuplicateName,     // two items, two classes or two named values of one owner share a name
    BadLink,           // a link to no item, to its own item, or repeated
    BadNumber,         // a number (or a 16-bit integer) that cannot be read
    TooDeep,           // elements nested deeper than MaxDepth
    BadClass,          // a class declaration whose parents would loop
    DifferentCase,     // a solved document whose items or links are not those of the open case
};

struct CaseReadResult {
    CaseReadStatus status = CaseReadStatus::Ok;
    // "file:line: what" for a refusal; empty on success.
    CPString message;
    int line = 0;
};

class CaseReader {
public:
    static constexpr std::size_t MaxDocumentBytes = std::size_t{64} << 20;
    static constexpr int MaxDepth = 32;

    // Reads the document at `path`; on success `out` holds the new case.
    static CaseReadResult ReadFile(const CPString& path, std::unique_ptr<Case>& out);
    // Reads a document held in memory; `fileName` is only used in messages.
    static CaseReadResult ReadMemory(std::string_view bytes, const CPString& fileName, std::unique_ptr<Case>& out);

    // The open case solved again: the document at `path` must hold the items (names and classes)
    // and links of the document `open` was read from. Then each of its items' values replace the
    // values of the open item of that name (a value the first document gave and this one does
    // not becomes unknown; values the extraction added stay) and the case asks for a refresh.
    // Refused, with the first difference named, the open case is left as it was.
    static CaseReadResult ApplySolvedFile(const CPString& path, Case& open);
    static CaseReadResult ApplySolvedMemory(std::string_view bytes, const CPString& fileName, Case& open);
};

// A short word for a status ("malformed", "doctype", ...), for messages and tests.
const char* CaseReadStatusWord(CaseReadStatus status);
