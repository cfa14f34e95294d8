#pragma once
// The case file as every engine object's Store and Recall sees it: versioned records that nest,
// typed fields inside them, and a bool answer from every operation. After the first false answer
// the file stays failed, so a caller may chain operations and test the last answer only.
#include "dunmor/CPString.h"
#include "lumeth/BinaryFile.h"

#include <cstddef>
#include <cstdint>

class CPValue;

class ILurmetBinaryFile : public BinaryFile {
public:
    // The typed fields, records and failure rule are the framework file's (BinaryFile); an engine
    // object's record adds value trees and counted strings.

    // The whole value tree: name, number or text, status, lock and every sub-value.
    virtual bool WriteCPValue(const CPValue& value) = 0;
    virtual bool ReadCPValue(CPValue& value) = 0;

    // Counted string: WriteInt of the length including the terminating zero, then that many
    // WriteChar, the zero last.
    virtual bool WriteCountedString(const CPString& value);
    // Reads a counted string; the text ends at the first zero byte. The output is changed only
    // on success. The default reads char by char, so memory grows only with bytes really read;
    // a concrete file may refuse an impossible length up front.
    virtual bool ReadCountedString(CPString& value);

    // Reader: gives up the open record `handle` after a read inside it failed: skips what is
    // left of it, closes it (and any record opened inside it) and clears the failure, so that
    // the caller can drop the part that record held and read on. The record's length was checked
    // when it was opened, so what follows it is where its writer put it. False (the file stays
    // as it is) when the handle is not an open record of this reader; the default cannot tell.
    virtual bool AbandonRecord(RecordHandle& handle);
};
