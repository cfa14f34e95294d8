#include "module/HostServices.h"

#include "brasko/CaseDamage.h"
#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "brasko/ReplaceChecks.h"
#include "eng/core/ModuleEntry.h"
#include "lumeth/Messages.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
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
    if (!forWriting) ClearCaseDamage();
    bool opened = forWriting ? file->OpenForWrite(path) : file->OpenForRead(path);
    return opened ? file.release() : nullptr;
}

extern "C" ILurmetBinaryFile* KestrinOpenCaseFileForReading(const char* path, char* error, int size) {
    AttachCallingThread();
    if (!path) return nullptr;
    auto file = std::make_unique<LurmetBinaryFile>();
    ClearCaseDamage();
    if (file->OpenForRead(path)) return file.release();
    if (error && size > 0) std::snprintf(error, static_cast<std::size_t>(size), "%s", file->ErrorText().c_str());
    return nullptr;
}

extern "C" int KestrinCommitCaseFile(ILurmetBinaryFile* file) {
    AttachCallingThread();
    auto* f = dynamic_cast<LurmetBinaryFile*>(file);
    return f && f->Commit() ? 1 : 0;
}

extern "C" ILurmetBinaryFile* KestrinReadBackCaseFile(ILurmetBinaryFile* writer) {
    AttachCallingThread();
    auto* w = dynamic_cast<LurmetBinaryFile*>(writer);
    if (!w || w->GetMode() != LurmetBinaryFile::Mode::Writing || !w->Good()) return nullptr;
    ClearCaseDamage();
    // Read from what the writer put on disk, not from a copy of it.
    auto file = std::make_unique<LurmetBinaryFile>(w->ReadBack());
    return file->Good() ? file.release() : nullptr;
}

extern "C" void KestrinCloseCaseFile(ILurmetBinaryFile* file) {
    AttachCallingThread();
    delete file;
}

extern "C" const char* KestrinCaseFileError(ILurmetBinaryFile* file) {
    AttachCallingThread();
    auto* f = dynamic_cast<LurmetBinaryFile*>(file);
    return f ? f->ErrorText().c_str() : "";
}

extern "C" const char* KestrinCaseDamage() {
    AttachCallingThread();
    return CaseDamage().c_str();
}

extern "C" int KestrinFinishCaseFile(ILurmetBinaryFile* file) {
    AttachCallingThread();
    auto* f = dynamic_cast<LurmetBinaryFile*>(file);
    if (!f || !f->AtEnd()) return 0;
    return f->IsChecked() ? 1 : 2;
}

extern "C" int KestrinFindString(const char* key, char* out, int size) {
    AttachCallingThread();
    if (!key) return 0;
    const MessageCatalogue& catalogue = MessageCatalogue::Instance();
    const bool known = catalogue.Contains(key);
    if (out && size > 0) {
        const Text text = catalogue.FindString(key);
        const std::size_t n = std::min(static_cast<std::size_t>(size - 1), text.size());
        std::memcpy(out, text.c_str(), n);
        out[n] = '\0';
    }
    return known ? 1 : 0;
}

extern "C" void KestrinKeepFromWriters(const char* path, const char* what) {
    AttachCallingThread();
    if (path && what) KeepFromWriters(path, what);
}

extern "C" void KestrinReleaseKeptFiles() {
    AttachCallingThread();
    ReleaseKeptFiles();
}
