#pragma once
// Views in the case file. One record holds a set of view trees: every view in preorder, each in
// a record of its own carrying its class version, its type, its place in the tree, its name and
// then its class data (written by its type's hooks). Links between views are pointer records:
// the number of the linked view in the same set, 0 for none.
//
// Recall reads every view first; links are filled in only when the whole set has been read, then
// every view checks its pointers, then every view runs its fix-up, each pass in reading order.
// Any failed read ends the recall: the views read so far are deleted and nothing is handed out.
// A refused set says why: the view whose record is at fault (its number, type and name) and, where
// a check named it, the value, so that whoever opened the case can name them.
#include "lumeth/Viewable.h"

#include <string>
#include <vector>

class ViewRecords {
public:
    static constexpr int SetVersion = 1;

    // Writes the trees under `roots` (each root with every view under it).
    static bool Store(BinaryFile& file, const std::vector<Viewable*>& roots);
    // Reads a set back into new views; on success the caller owns the recalled roots, which
    // carry `document`. The types are looked up in the installed registry.
    static bool Recall(BinaryFile& file, std::vector<Viewable*>& roots, Document* document = nullptr);

    // Why the calling thread's last Recall refused its set ("view 12 \"...\" \"name\": ..."); empty
    // after a set that read.
    static const std::string& Refusal();
    // Notes why the view being read is damaged: the value it holds and why no form gives it. The
    // first note of a recall holds (the deepest check refuses first). False, so that a check can
    // refuse with `return ViewRecords::Refuse(...)`.
    static bool Refuse(const std::string& what);
};
