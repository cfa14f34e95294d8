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
// case-file magic).
ILurmetBinaryFile* KestrinOpenCaseFile(const char* path, int forWriting);
// Writes a file opened for writing to disk; false when the write fails.
int KestrinCommitCaseFile(ILurmetBinaryFile* file);
void KestrinCloseCaseFile(ILurmetBinaryFile* file);
}
