#pragma once
// Field by field checks of a case-file record, for every record type registered in a table:
//  - a store through a writer that fails at its k-th write (every k) reports the failure;
//  - a read of the record cut after its k-th field (every k, records still closed, so the cut
//    meets the reader at a field and not at the file's length check) fails and leaves the object
//    it read into as it was, compared by that object's own stored bytes;
//  - the record read into another object re-stores byte for byte.
// Also the plain round-trip helpers the record tests use.
#include "brasko/LurmetBinaryFile.h"
#include "tests/support/FailingWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The bytes of an object's record, empty when the store failed.
template <typename T>
Bytes StoredBytes(const T& object) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    if (!object.Store(out)) return Bytes();
    return out.Bytes();
}

template <typename T>
bool RecallBytes(T& object, const Bytes& bytes) {
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
    return object.Recall(in);
}

// Stores `from`, reads the bytes into `into` and answers whether `into` re-stores the same bytes.
template <typename T>
::testing::AssertionResult RoundTrips(const T& from, T& into) {
    const Bytes stored = StoredBytes(from);
    if (stored.empty()) return ::testing::AssertionFailure() << "the store failed";
    if (!RecallBytes(into, stored)) return ::testing::AssertionFailure() << "the read failed";
    if (StoredBytes(into) != stored) return ::testing::AssertionFailure() << "the read object stores other bytes";
    return ::testing::AssertionSuccess();
}

// One object of a registered record type, seen through its store and read.
class RecordSubject {
public:
    virtual ~RecordSubject() = default;
    virtual bool Store(ILurmetBinaryFile& file) const = 0;
    virtual bool Recall(ILurmetBinaryFile& file) = 0;
};

struct RecordType {
    const char* name;
    std::function<std::unique_ptr<RecordSubject>()> full;   // the object whose record is cut
    std::function<std::unique_ptr<RecordSubject>()> other;  // an object holding something else
    // False for a record read in place, whose owner discards the object after a failed read:
    // then only the failure itself is checked.
    bool keepsObjectOnFailure = true;
};

template <typename T, typename StoreFn, typename RecallFn>
class BoundSubject : public RecordSubject {
public:
    BoundSubject(std::shared_ptr<T> object, StoreFn store, RecallFn recall)
        : m_object(std::move(object)), m_store(store), m_recall(recall) {}
    bool Store(ILurmetBinaryFile& file) const override { return m_store(*m_object, file); }
    bool Recall(ILurmetBinaryFile& file) override { return m_recall(*m_object, file); }

private:
    std::shared_ptr<T> m_object;
    StoreFn m_store;
    RecallFn m_recall;
};

// A record type from two makers of shared objects and the type's store and read.
template <typename T, typename StoreFn, typename RecallFn>
RecordType Record(const char* name, std::function<std::shared_ptr<T>()> full, std::function<std::shared_ptr<T>()> other,
                  StoreFn store, RecallFn recall, bool keepsObjectOnFailure = true) {
    auto wrap = [store, recall](std::function<std::shared_ptr<T>()> make) {
        return [make, store, recall]() -> std::unique_ptr<RecordSubject> {
            return std::make_unique<BoundSubject<T, StoreFn, RecallFn>>(make(), store, recall);
        };
    };
    return RecordType{name, wrap(full), wrap(other), keepsObjectOnFailure};
}

// The common case: `bool Store(ILurmetBinaryFile&) const` and `bool Recall(ILurmetBinaryFile&)`.
template <typename T>
RecordType Record(const char* name, std::function<std::shared_ptr<T>()> full, std::function<std::shared_ptr<T>()> other,
                  bool keepsObjectOnFailure = true) {
    return Record<T>(
        name, std::move(full), std::move(other), [](const T& o, ILurmetBinaryFile& f) { return o.Store(f); },
        [](T& o, ILurmetBinaryFile& f) { return o.Recall(f); }, keepsObjectOnFailure);
}

inline void ExpectRecordHarnessHolds(const RecordType& type) {
    SCOPED_TRACE(type.name);
    const std::unique_ptr<RecordSubject> full = type.full();
    FailingWriter counter;
    ASSERT_TRUE(full->Store(counter)) << "the full store failed";
    const std::size_t writes = counter.Writes();
    const Bytes stored = counter.Written();

    const std::unique_ptr<RecordSubject> into = type.other();
    const Bytes intoBefore = StoredBytes(*into);
    ASSERT_FALSE(intoBefore.empty());
    ASSERT_NE(intoBefore, stored) << "the other object must hold something else";
    ASSERT_TRUE(RecallBytes(*into, stored)) << "the full record was not read";
    EXPECT_EQ(StoredBytes(*into), stored) << "the read object re-stores other bytes";

    // One object is read into at every cut: a failed read must leave it exactly as it was, so each
    // cut starts from the same object (a fresh one after a read that changed it).
    std::unique_ptr<RecordSubject> target = type.other();
    const Bytes before = StoredBytes(*target);
    for (std::size_t k = 0; k < writes; ++k) {
        SCOPED_TRACE(::testing::Message() << "write " << k << " of " << writes);
        FailingWriter failing(k);
        EXPECT_FALSE(full->Store(failing)) << "a failed write was reported as a stored record";

        FailingWriter cut(k, FailingWriter::After::Drop);
        ASSERT_TRUE(full->Store(cut));
        EXPECT_FALSE(RecallBytes(*target, cut.Written())) << "a record cut short was read";
        if (type.keepsObjectOnFailure && StoredBytes(*target) != before) {
            ADD_FAILURE() << "a failed read changed the object";
            target = type.other();
        }
    }
}

// A record written by hand item by item, as an older build wrote it; every item after the
// first `cut` is left out, so a reader meets the record broken off there.
class HandMadeRecord {
public:
    explicit HandMadeRecord(int cut = 1000) : m_cut(cut) {}
    LurmetBinaryFile& File() { return m_file; }
    void Item(const std::function<bool()>& write) {
        if (m_items++ < m_cut) {
            EXPECT_TRUE(write());
        }
    }
    void Ints(std::initializer_list<int> values) {
        Item([&] {
            for (int value : values)
                if (!m_file.WriteInt(value)) return false;
            return true;
        });
    }
    void Byte(char value) { Item([&] { return m_file.WriteChar(value); }); }
    Bytes Finish() {
        EXPECT_TRUE(m_file.Commit());
        return m_file.Bytes();
    }

private:
    LurmetBinaryFile m_file = LurmetBinaryFile::ForWriting();
    int m_items = 0;
    int m_cut;
};

// Every record a hand-made writer gives when it stops after 0, 1, 2, ... items (until it writes
// the whole record): `recall` reads each into a fresh object and must fail.
inline void ExpectEveryCutRecordFails(const std::function<Bytes(int cut)>& record,
                                      const std::function<bool(const Bytes&)>& recall, const char* what) {
    const Bytes whole = record(1000);
    for (int cut = 0;; ++cut) {
        const Bytes bytes = record(cut);
        if (bytes == whole) break;
        EXPECT_FALSE(recall(bytes)) << what << " cut after " << cut << " items";
    }
}
