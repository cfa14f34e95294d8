#include "eng/startup/HostServices.h"

#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBinaryFile.h"

#include <memory>

extern "C" IEngineeringManager* KestrinCreateEngineeringManager() { return new EngineeringManager(); }

extern "C" void KestrinDestroyEngineeringManager(IEngineeringManager* manager) { delete manager; }

extern "C" ILurmetBinaryFile* KestrinOpenCaseFile(const char* path, int forWriting) {
    if (!path) return nullptr;
    auto file = std::make_unique<LurmetBinaryFile>();
    bool opened = forWriting ? file->OpenForWrite(path) : file->OpenForRead(path);
    return opened ? file.release() : nullptr;
}

extern "C" int KestrinCommitCaseFile(ILurmetBinaryFile* file) {
    auto* f = dynamic_cast<LurmetBinaryFile*>(file);
    return f && f->Commit() ? 1 : 0;
}

extern "C" void KestrinCloseCaseFile(ILurmetBinaryFile* file) { delete file; }
