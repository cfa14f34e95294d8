#include "eng/startup/HostServices.h"

#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBinaryFile.h"

#include <cstdio>
#include <memory>

extern "C" IEngineeringManager* KestrinCreateEngineeringManager() { return new EngineeringManager(); }

extern "C" void KestrinDestroyEngineeringManager(IEngineeringManager* manager) { delete manager; }

extern "C" ILurmetBinaryFile* KestrinOpenCaseFile(const char* path, int forWriting) {
    if (!path) return nullptr;
    auto file = std::make_unique<LurmetBinaryFile>();
    bool opened = forWriting ? file->OpenForWrite(path) : file->OpenForRead(path);
    return opened ? file.release() : nullptr;
}

extern "C" ILurmetBinaryFile* KestrinOpenCaseFileForReading(const char* path, char* error, int size) {
    if (!path) return nullptr;
    auto file = std::make_unique<LurmetBinaryFile>();
    if (file->OpenForRead(path)) return file.release();
    if (error && size > 0) std::snprintf(error, static_cast<std::size_t>(size), "%s", file->ErrorText().c_str());
    return nullptr;
}

extern "C" int KestrinCommitCaseFile(ILurmetBinaryFile* file) {
    auto* f = dynamic_cast<LurmetBinaryFile*>(file);
    return f && f->Commit() ? 1 : 0;
}

extern "C" void KestrinCloseCaseFile(ILurmetBinaryFile* file) { delete file; }

extern "C" const char* KestrinCaseFileError(ILurmetBinaryFile* file) {
    auto* f = dynamic_cast<LurmetBinaryFile*>(file);
    return f ? f->ErrorText().c_str() : "";
}

extern "C" int KestrinFinishCaseFile(ILurmetBinaryFile* file) {
    auto* f = dynamic_cast<LurmetBinaryFile*>(file);
    if (!f || !f->AtEnd()) return 0;
    return f->IsChecked() ? 1 : 2;
}
