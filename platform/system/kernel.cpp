// Kernel functions by their Windows names, dispatched to the backend.

#include <cstring>
#include <limits>
#include <memory>
#include <thread>
#include <unistd.h>

#include "platform/system/backend.h"
#include "platform/system/clock.h"
#include "platform/system/copy_text.h"
#include "platform/system/handle_table.h"
#include "platform/system/text_conversion.h"
#include "platform/system/muldiv.h"
#include "platform/system/winbase.h"

using namespace quelvo::sys;

namespace {

const HANDLE kCurrentProcessPseudoHandle = INVALID_HANDLE_VALUE;



BOOL Result(DWORD error)
{
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

bool IsPriorityClass(DWORD value)
{
    switch (value) {
    case IDLE_PRIORITY_CLASS:
    case BELOW_NORMAL_PRIORITY_CLASS:
    case NORMAL_PRIORITY_CLASS:
    case ABOVE_NORMAL_PRIORITY_CLASS:
    case HIGH_PRIORITY_CLASS:
    case REALTIME_PRIORITY_CLASS:
        return true;
    default:
        return false;
    }
}

}  // namespace

namespace quelvo::sys {

std::shared_ptr<ProcessObject> ProcessForHandle(HANDLE handle, DWORD anyOfRights)
{
    if (handle == kCurrentProcessPseudoHandle) {
        std::unique_ptr<ProcessHandleState> state;
        const DWORD error = Backend().OpenProcess(Backend().CurrentProcessId(), PROCESS_ALL_ACCESS, state);
        if (error != ERROR_SUCCESS) {
            SetLastError(error);
            return nullptr;
        }
        return std::make_shared<ProcessObject>(std::move(state));
    }
    auto process = LookupHandleAs<ProcessObject>(handle);
    if (!process) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if ((process->State().Access() & anyOfRights) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return process;
}

}  // namespace quelvo::sys

BOOL GetVersionExA(LPOSVERSIONINFOA info)
{
    if (info == nullptr || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    info->dwMajorVersion = 10;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = 19041;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    info->szCSDVersion[0] = '\0';
    return TRUE;
}

void GetSystemInfo(LPSYSTEM_INFO info)
{
    if (info == nullptr) return;
    *info = SYSTEM_INFO{};
#if defined(__x86_64__)
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
#elif defined(__aarch64__)
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM64;
#endif
    const long page = sysconf(_SC_PAGESIZE);
    info->dwPageSize = page > 0 ? static_cast<DWORD>(page) : 4096;
    info->dwAllocationGranularity = 65536;
    info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(info->dwPageSize));
    info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(0x7FFFFFFEFFFFull));
    const DWORD processors = Backend().ProcessorCount();
    info->dwNumberOfProcessors = processors;
    info->dwActiveProcessorMask =
        processors >= sizeof(DWORD_PTR) * 8 ? ~DWORD_PTR{0} : ((DWORD_PTR{1} << processors) - 1);
}

BOOL CloseHandle(HANDLE handle)
{
    if (handle == kCurrentProcessPseudoHandle) return TRUE;
    if (!RemoveHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    if (auto mutex = LookupHandleAs<MutexObject>(handle)) {
        return mutex->Acquire(milliseconds) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }
    std::shared_ptr<ProcessObject> process;
    if (auto thread = LookupHandleAs<ThreadObject>(handle))
        process = std::shared_ptr<ProcessObject>(thread, &thread->Process());
    else
        process = ProcessForHandle(handle, SYNCHRONIZE);
    if (!process) return WAIT_FAILED;
    bool ended = false;
    const DWORD error = process->State().Wait(milliseconds, ended);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return WAIT_FAILED;
    }
    return ended ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

HANDLE OpenProcess(DWORD desiredAccess, BOOL /*inheritHandle*/, DWORD processId)
{
    if (processId == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::unique_ptr<ProcessHandleState> state;
    const DWORD error = Backend().OpenProcess(processId, desiredAccess, state);
    if (error != ERROR_SUCCESS || !state) {
        SetLastError(error != ERROR_SUCCESS ? error : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return AddHandle(std::make_shared<ProcessObject>(std::move(state)));
}

DWORD GetCurrentProcessId() { return Backend().CurrentProcessId(); }

HANDLE GetCurrentProcess() { return kCurrentProcessPseudoHandle; }

DWORD GetProcessId(HANDLE process)
{
    auto object = ProcessForHandle(process, ~DWORD{0});
    return object ? object->State().Pid() : 0;
}

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode)
{
    if (exitCode == nullptr) return Result(ERROR_INVALID_PARAMETER);
    auto object = ProcessForHandle(process, PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION);
    if (!object) return FALSE;
    return Result(object->State().ExitCode(*exitCode));
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode)
{
    if (exitCode == nullptr) return Result(ERROR_INVALID_PARAMETER);
    auto object = LookupHandleAs<ThreadObject>(thread);
    if (!object) return Result(ERROR_INVALID_HANDLE);
    return Result(object->Process().State().ExitCode(*exitCode));
}

BOOL TerminateProcess(HANDLE process, UINT exitCode)
{
    auto object = ProcessForHandle(process, PROCESS_TERMINATE);
    if (!object) return FALSE;
    return Result(object->State().Terminate(exitCode));
}

BOOL RequestProcessClose(HANDLE process)
{
    auto object = ProcessForHandle(process, PROCESS_TERMINATE);
    if (!object) return FALSE;
    return Result(object->State().RequestClose());
}

DWORD GetPriorityClass(HANDLE process)
{
    auto object = ProcessForHandle(process, PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION);
    if (!object) return 0;
    DWORD priorityClass = 0;
    const DWORD error = object->State().PriorityClass(priorityClass);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return 0;
    }
    return priorityClass;
}

BOOL SetPriorityClass(HANDLE process, DWORD priorityClass)
{
    if (!IsPriorityClass(priorityClass)) return Result(ERROR_INVALID_PARAMETER);
    auto object = ProcessForHandle(process, PROCESS_SET_INFORMATION);
    if (!object) return FALSE;
    return Result(object->State().SetPriorityClass(priorityClass));
}

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                    DWORD, LPVOID, LPCSTR currentDirectory, LPSTARTUPINFOA, LPPROCESS_INFORMATION processInformation)
{
    CreateProcessRequest request;
    request.application = applicationName != nullptr ? applicationName : "";
    request.commandLine = commandLine != nullptr ? commandLine : "";
    request.directory = currentDirectory != nullptr ? currentDirectory : "";
    if (request.application.empty() && request.commandLine.empty()) return Result(ERROR_INVALID_PARAMETER);
    DWORD pid = 0;
    const DWORD error = Backend().CreateProcess(request, pid);
    if (error != ERROR_SUCCESS) return Result(error);
    if (processInformation != nullptr) {
        *processInformation = PROCESS_INFORMATION{};
        processInformation->dwProcessId = pid;
        processInformation->dwThreadId = pid;
        HANDLE handle = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
        if (handle == nullptr) {
            handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        }
        processInformation->hProcess = handle;
        if (auto process = LookupHandleAs<ProcessObject>(handle))
            processInformation->hThread = AddHandle(std::make_shared<ThreadObject>(std::move(process)));
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name)
{
    std::unique_ptr<NamedMutexState> named;
    bool alreadyExists = false;
    if (name != nullptr && name[0] != '\0') {
        const DWORD error = Backend().CreateNamedMutex(name, named, alreadyExists);
        if (error != ERROR_SUCCESS) {
            SetLastError(error);
            return nullptr;
        }
    }
    auto mutex = std::make_shared<MutexObject>(std::move(named));
    if (initialOwner && !alreadyExists) mutex->Acquire(0);
    HANDLE handle = AddHandle(std::move(mutex));
    SetLastError(alreadyExists ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReleaseMutex(HANDLE handle)
{
    auto mutex = LookupHandleAs<MutexObject>(handle);
    if (!mutex) return Result(ERROR_INVALID_HANDLE);
    return mutex->Release() ? TRUE : Result(ERROR_NOT_OWNER);
}

DWORD GetTickCount() { return static_cast<DWORD>(CurrentClock().NowMs()); }
ULONGLONG GetTickCount64() { return CurrentClock().NowMs(); }

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

DWORD GetModuleFileNameA(HMODULE, LPSTR fileName, DWORD size)
{
    // Every module of this layer lives in the program's own file.
    const std::string path = Backend().SelfExecutablePath();
    if (path.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (fileName == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const DWORD copied = CopyTextOut(path, fileName, size);
    if (copied < path.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    SetLastError(ERROR_SUCCESS);
    return copied;
}

BOOL SetCurrentDirectoryA(LPCSTR path)
{
    if (path == nullptr || path[0] == '\0') return Result(ERROR_INVALID_PARAMETER);
    return Result(Backend().SetCurrentDirectory(path));
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer)
{
    const std::string path = Backend().CurrentDirectory();
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    if (buffer == nullptr || size <= path.size()) return static_cast<DWORD>(path.size() + 1);
    return CopyTextOut(path, buffer, size);
}

DWORD GetFileAttributesA(LPCSTR fileName)
{
    if (fileName == nullptr || fileName[0] == '\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD error = ERROR_SUCCESS;
    const DWORD attributes = Backend().FileAttributes(fileName, error);
    if (attributes == INVALID_FILE_ATTRIBUTES) SetLastError(error);
    return attributes;
}

int MultiByteToWideChar(UINT, DWORD, LPCSTR text, int length, WCHAR* wide, int wideSize)
{
    if (text == nullptr || length < -1 || wideSize < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::size_t byteCount = length == -1 ? std::strlen(text) + 1 : static_cast<std::size_t>(length);
    const std::u16string converted = WidenText(std::string_view(text, byteCount));
    if (converted.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (wideSize == 0) return static_cast<int>(converted.size());
    if (wide == nullptr || static_cast<std::size_t>(wideSize) < converted.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(wide, converted.data(), converted.size() * sizeof(WCHAR));
    return static_cast<int>(converted.size());
}

int WideCharToMultiByte(UINT, DWORD, const WCHAR* wide, int length, LPSTR text, int size, LPCSTR, BOOL* usedDefault)
{
    if (wide == nullptr || length < -1 || size < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t count = 0;
    if (length == -1) {
        while (wide[count] != 0) ++count;
        ++count;
    } else {
        count = static_cast<std::size_t>(length);
    }
    const std::string converted = NarrowText(std::u16string_view(wide, count));
    if (usedDefault != nullptr) *usedDefault = FALSE;
    if (converted.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (size == 0) return static_cast<int>(converted.size());
    if (text == nullptr || static_cast<std::size_t>(size) < converted.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(text, converted.data(), converted.size());
    return static_cast<int>(converted.size());
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0) return -1;
    // Both fit in 64 bits with their signs dropped: |product| <= 2^62.
    long long product = static_cast<long long>(number) * numerator;
    long long divisor = denominator;
    if (divisor < 0) {
        divisor = -divisor;
        product = -product;
    }
    const long long magnitude = ((product < 0 ? -product : product) + divisor / 2) / divisor;
    const long long result = product < 0 ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(result);
}
