#pragma once
// What the host application gets from the module besides its registrations: the engineering
// manager that creates engine objects by type, and the case files engine objects store themselves
// in. C linkage, so a host that loads the module with dlopen can look them up by name.
#include <cstdint>

class IEngineeringManager;
class ILurmetBinaryFile;

extern "C" {
IEngineeringManager* KestrinCreateEngineeringManager();
void KestrinDestroyEngineeringManager(IEngineeringManager* manager);

// Opens a case file on disk (null when it cannot be opened; a file for reading must carry the
// case-file magic and, in the checked form, a matching checksum).
ILurmetBinaryFile* KestrinOpenCaseFile(const char* path, int forWriting);
// As KestrinOpenCaseFile for reading; when the file cannot be opened, `error` (of `size` bytes)
// receives why.
ILurmetBinaryFile* KestrinOpenCaseFileForReading(const char* path, char* error, int size);
// Writes a file opened for writing to disk; false when the write fails.
int KestrinCommitCaseFile(ILurmetBinaryFile* file);
// A reader over the bytes a writer wrote, exactly as its commit puts them on disk (checked form),
// so that a save can be read back before it replaces the file: for a writer with a path, its
// temporary file, whole (the writer takes no more fields after). Null when the file is not a
// writer or a write into it failed (KestrinCaseFileError of the writer then says why). Closed
// with KestrinCloseCaseFile.
ILurmetBinaryFile* KestrinReadBackCaseFile(ILurmetBinaryFile* writer);
// Why the last open or commit of the file failed (empty text when it did not).
const char* KestrinCaseFileError(ILurmetBinaryFile* file);
// When the last case opened for reading on this thread was refused by a check that named the
// record and the value: that record and value ("design \"D\": ..."); else empty text.
const char* KestrinCaseDamage();
// After a file was read: 1 when every byte was read and its checksum matched, 2 when every byte
// was read but the file predates the checksum (unchecked), 0 when the read failed or bytes trail
// the last record (damage).
int KestrinFinishCaseFile(ILurmetBinaryFile* file);
void KestrinCloseCaseFile(ILurmetBinaryFile* file);

// The text of a message key from the module's catalogue, copied into `out` (of `size` bytes, cut
// and zero-ended). 1 when the catalogue knows the key, 0 when not (`out` then holds the key).
int KestrinFindString(const char* key, char* out, int size);

// Keeps a file the host's run reads (its input, its script) from every writer of the module until
// KestrinReleaseKeptFiles: a picture, a plan or a cost file aimed at it is refused and the file kept.
// `what` names the file in the refusal.
void KestrinKeepFromWriters(const char* path, const char* what);
void KestrinReleaseKeptFiles();
}
