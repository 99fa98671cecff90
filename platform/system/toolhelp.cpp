#include "platform/system/toolhelp.h"

#include "platform/system/backend.h"
#include "platform/system/copy_text.h"
#include "platform/system/handle_table.h"
#include "platform/system/winbase.h"

using namespace quelvo::sys;

namespace {

BOOL Fill(const ProcessEntry* entry, LPPROCESSENTRY32 out)
{
    if (entry == nullptr) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    const DWORD size = out->dwSize;
    *out = PROCESSENTRY32{};
    out->dwSize = size;
    out->th32ProcessID = entry->pid;
    out->th32ParentProcessID = entry->parentPid;
    out->cntThreads = entry->threads;
    out->pcPriClassBase = 8;
    CopyTextOut(entry->baseName, out->szExeFile, sizeof(out->szExeFile));
    return TRUE;
}

std::shared_ptr<SnapshotObject> SnapshotFor(HANDLE snapshot, LPPROCESSENTRY32 entry)
{
    if (entry == nullptr || entry->dwSize < sizeof(PROCESSENTRY32)) {
        SetLastError(ERROR_BAD_LENGTH);
        return nullptr;
    }
    auto object = LookupHandleAs<SnapshotObject>(snapshot);
    if (!object) SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

}  // namespace

HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD)
{
    if ((flags & TH32CS_SNAPPROCESS) == 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return INVALID_HANDLE_VALUE;
    }
    std::vector<ProcessEntry> entries;
    const DWORD error = Backend().SnapshotProcesses(entries);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    return AddHandle(std::make_shared<SnapshotObject>(std::move(entries)));
}

BOOL Process32First(HANDLE snapshot, LPPROCESSENTRY32 entry)
{
    auto object = SnapshotFor(snapshot, entry);
    return object ? Fill(object->First(), entry) : FALSE;
}

BOOL Process32Next(HANDLE snapshot, LPPROCESSENTRY32 entry)
{
    auto object = SnapshotFor(snapshot, entry);
    return object ? Fill(object->Next(), entry) : FALSE;
}
