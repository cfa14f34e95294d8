#include "eng/startup/HostServices.h"

#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/startup/ModuleEntry.h"

#include <memory>

extern "C" IEngineeringManager* KestrinCreateEngineeringManager() {
    AttachCallingThread();
    return new EngineeringManager();
}

extern "C" void KestrinDestroyEngineeringManager(IEngineeringManager* manager) {
    AttachCallingThread();
    delete manager;
}

extern "C" ILurmetBinaryFile* KestrinOpenCaseFile(const char* path, int forWriting) {
    AttachCallingThread();
    if (!path) return nullptr;
    auto file = std::make_unique<LurmetBinaryFile>();
    bool opened = forWriting ? file->OpenForWrite(path) : file->OpenForRead(path);
    return opened ? file.release() : nullptr;
}

extern "C" int KestrinCommitCaseFile(ILurmetBinaryFile* file) {
    AttachCallingThread();
    auto* f = dynamic_cast<LurmetBinaryFile*>(file);
    return f && f->Commit() ? 1 : 0;
}

extern "C" void KestrinCloseCaseFile(ILurmetBinaryFile* file) {
    AttachCallingThread();
    delete file;
}
