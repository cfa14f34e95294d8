#pragma once
// What the case-view tests share: the count of a message key in the session journal, a view tree
// through the view records and back, and the check that a record cut short is refused.
#include "brasko/CaseDocument.h"
#include "brasko/LurmetBinaryFile.h"
#include "lumeth/Session.h"
#include "lumeth/ViewRecords.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// How often the key was reported since the session was last reset.
inline int JournalKeyCount(const char* key) {
    int n = 0;
    for (const SessionEntry& e : Session::Instance().Journal()) n += e.key == key;
    return n;
}

// Stores the root's view tree (its bytes into `stored`) and reads it back under the document: the
// one root read, or null (and a test failure) when the store or the read fails or reads another
// number of roots.
inline Viewable* RecallStoredRoot(Viewable* root, CaseDocument& document, std::vector<std::uint8_t>& stored) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    if (!ViewRecords::Store(out, {root})) return ADD_FAILURE() << "the store failed", nullptr;
    stored = out.Bytes();
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(stored);
    std::vector<Viewable*> roots;
    if (!ViewRecords::Recall(in, roots, &document)) return ADD_FAILURE() << "the read failed", nullptr;
    if (roots.size() != 1u) return ADD_FAILURE() << roots.size() << " roots read", nullptr;
    return roots[0];
}

// The stored bytes cut to half their length are refused and leave no view behind.
inline ::testing::AssertionResult HalfRecordIsRefused(std::vector<std::uint8_t> bytes, CaseDocument& document) {
    bytes.resize(bytes.size() / 2);
    LurmetBinaryFile cut = LurmetBinaryFile::ForReading(bytes);
    std::vector<Viewable*> none;
    if (ViewRecords::Recall(cut, none, &document)) return ::testing::AssertionFailure() << "the cut record was read";
    if (!none.empty()) return ::testing::AssertionFailure() << "the refused read left views behind";
    return ::testing::AssertionSuccess();
}
