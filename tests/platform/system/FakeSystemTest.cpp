// The Windows-named functions over the scripted fake system, and the
// layer's pure helpers.

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <thread>
#include <string>
#include <utility>
#include <vector>

#include "platform/system/command_line.h"
#include "platform/system/fake_system.h"
#include "platform/system/muldiv.h"
#include "platform/system/priority_map.h"
#include "platform/system/registry_store.h"
#include "platform/system/text_conversion.h"
#include "platform/system/winsys.h"
#include "tests/platform/system/perf_walker.h"

namespace quelvo::sys {
namespace {

constexpr UINT kWmClose = 0x0010;

class FakeSystemTest : public ::testing::Test {
protected:
    FakeSystem fake;
    FakeSystemScope scope{fake};
};

std::string BaseNameOf(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (process == nullptr) return "<unopened>";
    char name[MAX_PATH] = {};
    const DWORD length = GetModuleBaseNameA(process, nullptr, name, sizeof(name));
    CloseHandle(process);
    return length == 0 ? "<failed>" : name;
}

TEST_F(FakeSystemTest, ProcessListNamesAndToolhelpAgree)
{
    fake.AddProcess(8, "/usr/bin/explorer.exe");
    fake.AddProcess(300, "/opt/tools/a very long program name.exe").pathReadable = false;

    DWORD pids[4] = {};
    DWORD bytes = 0;
    ASSERT_TRUE(EnumProcesses(pids, sizeof(pids), &bytes));
    ASSERT_EQ(bytes, 2 * sizeof(DWORD));
    EXPECT_EQ(pids[0], 8u);
    EXPECT_EQ(pids[1], 300u);
    // A buffer that holds one id: filled, and the caller sees it is full.
    ASSERT_TRUE(EnumProcesses(pids, sizeof(DWORD), &bytes));
    EXPECT_EQ(bytes, sizeof(DWORD));

    EXPECT_EQ(BaseNameOf(8), "explorer.exe");
    // An unreadable path falls back to the short name (cut to 15 bytes).
    EXPECT_EQ(BaseNameOf(300), "a very long pro");
    EXPECT_EQ(BaseNameOf(999), "<unopened>");
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry) - 1;
    EXPECT_FALSE(Process32First(snapshot, &entry));
    EXPECT_EQ(GetLastError(), ERROR_BAD_LENGTH);
    entry.dwSize = sizeof(entry);
    std::vector<std::pair<DWORD, std::string>> seen;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
        seen.emplace_back(entry.th32ProcessID, entry.szExeFile);
    }
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_EQ(seen, (std::vector<std::pair<DWORD, std::string>>{{8, "explorer.exe"},
                                                                  {300, "a very long program name.exe"}}));
    EXPECT_TRUE(CloseHandle(snapshot));
    EXPECT_FALSE(CloseHandle(snapshot));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(FakeSystemTest, ModuleBuffersAreCutAndTerminated)
{
    fake.AddProcess(12, "/usr/bin/explorer.exe");
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, 12);
    ASSERT_NE(process, nullptr);
    HMODULE modules[2] = {};
    DWORD needed = 0;
    ASSERT_TRUE(EnumProcessModules(process, modules, sizeof(modules), &needed));
    EXPECT_EQ(needed, sizeof(HMODULE));
    char small[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(GetModuleFileNameExA(process, modules[0], small, sizeof(small)), 4u);
    EXPECT_STREQ(small, "/usr");
    EXPECT_EQ(GetModuleBaseNameA(process, modules[0], small, 0), 0u);
    HMODULE foreign = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x1234));
    EXPECT_EQ(GetModuleFileNameExA(process, foreign, small, sizeof(small)), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    CloseHandle(process);
}

TEST_F(FakeSystemTest, AccessRightsAreCheckedPerCall)
{
    FakeProcess& hog = fake.AddProcess(40, "/usr/bin/hog");
    hog.deniedAccess = PROCESS_SET_INFORMATION;
    EXPECT_EQ(OpenProcess(PROCESS_SET_INFORMATION, TRUE, 40), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    HANDLE query = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, 40);
    ASSERT_NE(query, nullptr);
    EXPECT_EQ(GetPriorityClass(query), NORMAL_PRIORITY_CLASS);
    EXPECT_FALSE(SetPriorityClass(query, IDLE_PRIORITY_CLASS));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(TerminateProcess(query, 1));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(WaitForSingleObject(query, 0), WAIT_FAILED);
    CloseHandle(query);

    // Asking for every right gets the rest; the refused right fails at use.
    HANDLE everything = OpenProcess(PROCESS_ALL_ACCESS, FALSE, 40);
    ASSERT_NE(everything, nullptr);
    EXPECT_FALSE(SetPriorityClass(everything, IDLE_PRIORITY_CLASS));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(WaitForSingleObject(everything, 0), WAIT_TIMEOUT);
    CloseHandle(everything);
    EXPECT_TRUE(fake.priorityChanges.empty());
    EXPECT_EQ(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(FakeSystemTest, PriorityClassesAreValidatedAndRecorded)
{
    fake.AddProcess(50, "/usr/bin/hog");
    HANDLE process = OpenProcess(PROCESS_SET_INFORMATION | PROCESS_QUERY_INFORMATION, TRUE, 50);
    ASSERT_NE(process, nullptr);
    EXPECT_FALSE(SetPriorityClass(process, 0x1234));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(SetPriorityClass(process, BELOW_NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(GetPriorityClass(process), BELOW_NORMAL_PRIORITY_CLASS);
    ASSERT_EQ(fake.priorityChanges.size(), 1u);
    EXPECT_EQ(fake.priorityChanges[0].pid, 50u);
    EXPECT_EQ(fake.priorityChanges[0].priorityClass, BELOW_NORMAL_PRIORITY_CLASS);

    fake.Process(50)->setPriorityFails = true;
    EXPECT_FALSE(SetPriorityClass(process, HIGH_PRIORITY_CLASS));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    CloseHandle(process);
}

TEST_F(FakeSystemTest, OldHandleNeverReachesAReusedId)
{
    fake.AddProcess(60, "/usr/bin/first");
    HANDLE old = OpenProcess(PROCESS_ALL_ACCESS, FALSE, 60);
    ASSERT_NE(old, nullptr);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(old, &code));
    EXPECT_EQ(code, STILL_ACTIVE);

    fake.EndProcess(60, 7);
    fake.AddProcess(60, "/usr/bin/second");
    EXPECT_FALSE(SetPriorityClass(old, IDLE_PRIORITY_CLASS));
    EXPECT_FALSE(TerminateProcess(old, 1));
    EXPECT_EQ(WaitForSingleObject(old, 0), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeProcess(old, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_TRUE(fake.Process(60)->alive);
    EXPECT_TRUE(fake.priorityChanges.empty());
    EXPECT_TRUE(fake.terminations.empty());
    CloseHandle(old);
}

TEST_F(FakeSystemTest, WindowsAndMessagesPerProcess)
{
    fake.AddProcess(70, "/opt/QuelvoTray.exe");
    FakeProcess& stubborn = fake.AddProcess(71, "/opt/stubborn");
    stubborn.closesOnWmClose = false;
    const HWND trayWindow = fake.AddWindow(70);
    const HWND first = fake.AddWindow(71);
    const HWND second = fake.AddWindow(71);

    EXPECT_EQ(WindowsOfProcess(71), (std::vector<HWND>{first, second}));
    EXPECT_TRUE(WindowsOfProcess(72).empty());
    EXPECT_EQ(ProcessOfWindow(trayWindow), 70u);

    fake.onSend = [](const FakeMessage& m) { return static_cast<LRESULT>(m.wParam + 1); };
    EXPECT_EQ(Windows().SendMessageTo(trayWindow, 0x0111, 777, 1), 778);
    EXPECT_TRUE(Windows().PostMessageTo(first, kWmClose, 0, 0));
    EXPECT_TRUE(fake.Process(71) != nullptr);  // ignores WM_CLOSE
    EXPECT_TRUE(Windows().PostMessageTo(trayWindow, kWmClose, 0, 0));
    EXPECT_EQ(fake.Process(70), nullptr);
    EXPECT_FALSE(Windows().PostMessageTo(trayWindow, kWmClose, 0, 0));  // gone with its process

    ASSERT_EQ(fake.messages.size(), 3u);
    EXPECT_TRUE(fake.messages[0].sent);
    EXPECT_EQ(fake.messages[0].pid, 70u);
    EXPECT_EQ(fake.messages[1].window, first);
    EXPECT_FALSE(fake.messages[1].sent);
}

TEST_F(FakeSystemTest, TerminateEndsTheProcessWithItsCode)
{
    fake.AddProcess(80, "/usr/bin/victim");
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, 80);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(WaitForSingleObject(process, 3), WAIT_TIMEOUT);
    EXPECT_TRUE(TerminateProcess(process, 0));
    EXPECT_EQ(WaitForSingleObject(process, 3), WAIT_OBJECT_0);
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(GetExitCodeProcess(process, &code));
    EXPECT_EQ(code, 0u);
    ASSERT_EQ(fake.terminations.size(), 1u);
    EXPECT_EQ(fake.terminations[0].pid, 80u);
    CloseHandle(process);
}

TEST_F(FakeSystemTest, LibrariesResolveByNameAndCanGoMissing)
{
    HMODULE psapi = LoadLibraryA("psapi.dll");
    ASSERT_NE(psapi, nullptr);
    EXPECT_EQ(LoadLibraryA("PSAPI"), psapi);
    EXPECT_EQ(GetProcAddress(psapi, "EnumProcesses"), reinterpret_cast<FARPROC>(&EnumProcesses));
    EXPECT_EQ(GetProcAddress(psapi, "enumprocesses"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(GetProcAddress(kernel, "Process32Next"), reinterpret_cast<FARPROC>(&Process32Next));
    EXPECT_NE(LoadLibraryA("VDMDBG.DLL"), nullptr);
    EXPECT_EQ(LoadLibraryA("NOSUCH.DLL"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

    fake.SetLibraryMissing("vdmdbg.dll");
    EXPECT_EQ(LoadLibraryA("VDMDBG.DLL"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_TRUE(FreeLibrary(psapi));
    EXPECT_TRUE(FreeLibrary(psapi));
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&fake)));
}

TEST_F(FakeSystemTest, VersionAndProcessors)
{
    OSVERSIONINFOA info;
    EXPECT_FALSE(GetVersionExA(&info));  // size not set
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(info.dwMajorVersion, 10u);
    fake.SetProcessorCount(6);
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    EXPECT_EQ(system.dwNumberOfProcessors, 6u);
    EXPECT_EQ(system.dwActiveProcessorMask, 0x3Fu);
}

TEST_F(FakeSystemTest, ClockIsDrivenByHandAndTellsListeners)
{
    EXPECT_EQ(GetTickCount64(), 1000u);
    std::vector<std::uint64_t> told;
    const int id = fake.Clock().AddListener([&told](std::uint64_t now) { told.push_back(now); });
    fake.Clock().Advance(250);
    fake.Clock().Set(0x1'0000'0005ull);
    fake.Clock().RemoveListener(id);
    fake.Clock().Advance(1);
    EXPECT_EQ(told, (std::vector<std::uint64_t>{1250, 0x1'0000'0005ull}));
    EXPECT_EQ(GetTickCount64(), 0x1'0000'0006ull);
    EXPECT_EQ(GetTickCount(), 6u);  // wraps at 32 bits
}

TEST_F(FakeSystemTest, NamedMutexSecondCreatorSeesItExists)
{
    HANDLE first = CreateMutexA(nullptr, FALSE, "Bellwick_Quelvo_Mutex");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE second = CreateMutexA(nullptr, FALSE, "Bellwick_Quelvo_Mutex");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(second);
    CloseHandle(first);
    EXPECT_FALSE(fake.MutexHeld("Bellwick_Quelvo_Mutex"));
    fake.HoldMutex("other");
    HANDLE third = CreateMutexA(nullptr, TRUE, "other");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(ReleaseMutex(third));  // never owned
    CloseHandle(third);
}

TEST_F(FakeSystemTest, UnnamedMutexOwnershipIsPerThread)
{
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // recursive
    EXPECT_TRUE(ReleaseMutex(mutex));
    DWORD otherResult = 0;
    std::thread([&] { otherResult = WaitForSingleObject(mutex, 0); }).join();
    EXPECT_EQ(otherResult, WAIT_TIMEOUT);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    CloseHandle(mutex);
}

TEST_F(FakeSystemTest, FilesFoldersAndShellCallsAreScripted)
{
    fake.SetSelfPath("/opt/quelvo/QuelvoTray.exe");
    char path[MAX_PATH] = {};
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, sizeof(path)), 26u);
    EXPECT_STREQ(path, "/opt/quelvo/QuelvoTray.exe");
    char tiny[8] = {};
    EXPECT_EQ(GetModuleFileNameA(nullptr, tiny, sizeof(tiny)), 8u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(tiny, "/opt/qu");

    EXPECT_TRUE(SetCurrentDirectoryA("/opt/quelvo"));
    EXPECT_EQ(GetCurrentDirectoryA(4, tiny), 12u);  // size needed
    EXPECT_EQ(GetCurrentDirectoryA(sizeof(path), path), 11u);
    EXPECT_STREQ(path, "/opt/quelvo");
    EXPECT_EQ(fake.directoryChanges, std::vector<std::string>{"/opt/quelvo"});

    fake.AddFile("C:/Program Files/tool.exe");
    EXPECT_EQ(GetFileAttributesA("C:/Program Files/tool.exe"), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(GetFileAttributesA("/no/such/file"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(GetFileAttributesA("/") & FILE_ATTRIBUTE_DIRECTORY, 0u);  // real file system below

    EXPECT_EQ(reinterpret_cast<std::intptr_t>(ShellExecuteA(nullptr, "open", "Quelvo.chm", nullptr, nullptr, SW_SHOWNORMAL)), 42);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(ShellExecuteA(nullptr, "print", "Quelvo.chm", nullptr, nullptr, SW_SHOWNORMAL)),
              SE_ERR_NOASSOC);
    ASSERT_EQ(fake.shellCalls.size(), 1u);
    EXPECT_EQ(fake.shellCalls[0].file, "Quelvo.chm");

    STARTUPINFOA startup;
    PROCESS_INFORMATION info;
    char commandLine[] = "Quelvo.exe /x";
    ASSERT_TRUE(CreateProcessA("Quelvo.exe", commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    EXPECT_NE(info.dwProcessId, 0u);
    EXPECT_NE(info.hProcess, nullptr);
    EXPECT_TRUE(CloseHandle(info.hThread));
    EXPECT_TRUE(CloseHandle(info.hProcess));
    ASSERT_EQ(fake.createdProcesses.size(), 1u);
    EXPECT_EQ(fake.createdProcesses[0].request.commandLine, "Quelvo.exe /x");
    fake.SetCreateProcessFails(true);
    EXPECT_FALSE(CreateProcessA("Quelvo.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
}

TEST_F(FakeSystemTest, SpecialFolderThroughItemList)
{
    fake.SetSpecialFolder(CSIDL_STARTUP, "/home/u/.config/autostart");
    LPMALLOC allocator = nullptr;
    ASSERT_EQ(SHGetMalloc(&allocator), S_OK);
    LPITEMIDLIST list = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_STARTUP, &list), S_OK);
    char path[MAX_PATH] = {};
    ASSERT_TRUE(SHGetPathFromIDListA(list, path));
    EXPECT_STREQ(path, "/home/u/.config/autostart");
    allocator->Free(list);
    EXPECT_NE(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &list), S_OK);
    EXPECT_EQ(list, nullptr);
    EXPECT_FALSE(SHGetPathFromIDListA(nullptr, path));
    EXPECT_STREQ(path, "");
}

TEST_F(FakeSystemTest, PerformanceBlockCarriesTheScriptedCounters)
{
    fake.AddProcess(100, "/usr/bin/hog.exe");
    fake.Clock().Advance(500);
    fake.AddProcess(7, "/sbin/init");
    fake.AddProcess(9, "/usr/bin/caf\xC3\xA9-\xF0\x9F\x98\x80");
    fake.AddCpuTime(100, 1500);

    std::vector<unsigned char> bytes;
    ASSERT_EQ(test::QueryPerfBlock("230", bytes), ERROR_SUCCESS);
    test::WalkedBlock block = test::PerfWalker(bytes).Walk();
    ASSERT_EQ(block.error, "");
    ASSERT_TRUE(block.hasProcessObject);
    EXPECT_EQ(block.perfTime100nSec, 1500 * 10000);
    ASSERT_EQ(block.instances.size(), 3u);
    EXPECT_EQ(block.instances[0].name, "init");
    EXPECT_EQ(block.instances[0].pid, 7u);
    EXPECT_EQ(block.instances[1].wideName, u"caf\u00E9-\U0001F600");
    EXPECT_EQ(block.instances[2].name, "hog.exe");
    EXPECT_EQ(block.instances[2].processorTime, 1500 * 10000);
    EXPECT_LT(block.instances[2].startTime, block.instances[0].startTime);

    // Too small: ERROR_MORE_DATA with the size needed.
    DWORD size = 16;
    unsigned char small[16] = {};
    EXPECT_EQ(RegQueryValueExA(HKEY_PERFORMANCE_DATA, "230", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, bytes.size());

    fake.SetPerfQueryFails(true);
    size = static_cast<DWORD>(bytes.size());
    EXPECT_NE(RegQueryValueExA(HKEY_PERFORMANCE_DATA, "230", nullptr, nullptr, bytes.data(), &size), ERROR_SUCCESS);
}

TEST_F(FakeSystemTest, PerformanceObjectFollowsTheQueryAndTheSwitch)
{
    fake.AddProcess(100, "/usr/bin/hog.exe");
    struct Case {
        const char* valueName;
        DWORD disabled;
        bool expectProcesses;
    };
    for (const Case& c : {Case{"230", 0, true}, Case{"Global", 0, true}, Case{"238 230", 0, true},
                          Case{"238", 0, false}, Case{"Costly", 0, false}, Case{"2300", 0, false},
                          Case{"230", 1, false}, Case{"Global", 5, false}}) {
        fake.Store().SetDword(kRootLocalMachine, kPerfProcKey, kDisablePerfCountersValue, c.disabled);
        std::vector<unsigned char> bytes;
        ASSERT_EQ(test::QueryPerfBlock(c.valueName, bytes), ERROR_SUCCESS);
        const test::WalkedBlock block = test::PerfWalker(bytes).Walk();
        EXPECT_EQ(block.error, "") << c.valueName;
        EXPECT_EQ(block.hasProcessObject, c.expectProcesses) << c.valueName << " disabled " << c.disabled;
        EXPECT_EQ(block.objectCount, c.expectProcesses ? 1u : 0u) << c.valueName;
    }
}

TEST_F(FakeSystemTest, RegistryKeysAndValues)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "system\\currentcontrolset\\services\\PERFPROC\\performance", 0,
                            KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &key),
              ERROR_SUCCESS);
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Disable Performance Counters", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_FILE_NOT_FOUND);
    value = 1;
    ASSERT_EQ(RegSetValueExA(key, "Disable Performance Counters", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value),
                             sizeof(value)),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "Bad", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 2), ERROR_INVALID_PARAMETER);
    value = 0;
    EXPECT_EQ(RegQueryValueExA(key, "DISABLE performance counters", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                               &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(value, 1u);
    const char text[] = "hello";
    ASSERT_EQ(RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text)), ERROR_SUCCESS);
    char small[3] = {};
    size = sizeof(small);
    EXPECT_EQ(RegQueryValueExA(key, "text", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof(text));
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "text", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof(text));

    char name[64] = {};
    DWORD nameSize = sizeof(name);
    EXPECT_EQ(RegEnumValueA(key, 1, name, &nameSize, nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Text");
    nameSize = sizeof(name);
    EXPECT_EQ(RegEnumValueA(key, 2, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegDeleteValueA(key, "TEXT"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "TEXT"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(key, "x", nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);

    // Read-only keys refuse writes; missing keys are not created by opening.
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "x", 0, REG_SZ, nullptr, 0), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quelvo", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quelvo\\Layout", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    nameSize = sizeof(name);
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Quelvo");
    EXPECT_EQ(RegDeleteKeyA(key, "Quelvo"), ERROR_ACCESS_DENIED);  // has a sub-key
    EXPECT_EQ(RegDeleteKeyA(key, "Quelvo\\Layout"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(key, "Quelvo"), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST(SystemHelpers, SplitParametersOnBlanksAndQuotes)
{
    struct Case {
        const char* text;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"\"C:/Program Files/x.exe\" /s", {"C:/Program Files/x.exe", "/s"}},
        {"pre\"fix mid\"post", {"prefix midpost"}},
        {"\"\" x", {"", "x"}},
        {"\"unterminated tail", {"unterminated tail"}},
        {"  lead  trail  ", {"lead", "trail"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitParameters(c.text), c.expected) << c.text;
}

TEST(SystemHelpers, PriorityClassesAndNiceValues)
{
    struct Case {
        long nice;
        DWORD expected;
    };
    const Case cases[] = {{19, IDLE_PRIORITY_CLASS},        {15, IDLE_PRIORITY_CLASS},
                          {14, BELOW_NORMAL_PRIORITY_CLASS}, {5, BELOW_NORMAL_PRIORITY_CLASS},
                          {4, NORMAL_PRIORITY_CLASS},        {-2, NORMAL_PRIORITY_CLASS},
                          {-3, ABOVE_NORMAL_PRIORITY_CLASS}, {-7, ABOVE_NORMAL_PRIORITY_CLASS},
                          {-8, HIGH_PRIORITY_CLASS},         {-15, HIGH_PRIORITY_CLASS},
                          {-16, REALTIME_PRIORITY_CLASS},    {-20, REALTIME_PRIORITY_CLASS}};
    for (const Case& c : cases) EXPECT_EQ(ClassOfNice(c.nice), c.expected) << c.nice;
    for (DWORD priorityClass : {IDLE_PRIORITY_CLASS, BELOW_NORMAL_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS,
                                ABOVE_NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS, REALTIME_PRIORITY_CLASS}) {
        EXPECT_EQ(ClassOfNice(NiceOfClass(priorityClass)), priorityClass);
    }
}

TEST(SystemHelpers, TextConversionKeepsEveryByte)
{
    struct Case {
        std::string narrow;
        std::u16string wide;
    };
    const Case cases[] = {
        {"plain", u"plain"},
        {"caf\xC3\xA9", u"caf\u00E9"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"bad\xE9", u"bad\u00E9"},          // a stray Latin-1 byte
        {"\xC0\xAF", u"\u00C0\u00AF"},      // overlong form: bytes kept
    };
    for (const Case& c : cases) EXPECT_EQ(WidenText(c.narrow), c.wide) << c.narrow;
    EXPECT_EQ(NarrowText(u"caf\u00E9 \U0001F600"), "caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(NarrowText(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");

    WCHAR wide[8] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 8), 4);
    EXPECT_EQ(std::u16string(wide), u"abc");
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdefghij", -1, wide, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    char narrow[8] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u00E9", -1, narrow, 8, nullptr, nullptr), 3);
    EXPECT_STREQ(narrow, "\xC3\xA9");
}

TEST(SystemHelpers, Utf8StepsRefuseMalformedSequences)
{
    struct Case {
        std::string bytes;
        std::size_t length;  // 0: not a well-formed sequence
        char32_t cp;
    };
    const Case cases[] = {
        {"A", 1, U'A'},
        {"\xC3\xA9", 2, U'\u00E9'},
        {"\xE2\x82\xAC", 3, U'\u20AC'},
        {"\xF4\x8F\xBF\xBF", 4, U'\U0010FFFF'},
        {"\xC0\xAF", 0, 0},          // overlong
        {"\xE0\x80\x80", 0, 0},      // overlong
        {"\xED\xA0\x80", 0, 0},      // a surrogate
        {"\xF4\x90\x80\x80", 0, 0},  // above U+10FFFF
        {"\xE2\x82", 0, 0},          // cut off by the end
        {"\xE2\x41\x41", 0, 0},      // continuation missing
        {"\x80", 0, 0},              // lone continuation
        {"\xFF", 0, 0},
    };
    for (const Case& c : cases) {
        char32_t cp = 0;
        const std::size_t length = DecodeUtf8(c.bytes, 0, cp);
        EXPECT_EQ(length, c.length) << testing::PrintToString(c.bytes);
        if (length == 0) continue;
        EXPECT_EQ(cp, c.cp);
        std::string encoded;
        AppendUtf8(encoded, cp);
        EXPECT_EQ(encoded, c.bytes);
    }
    char32_t cp = 0;
    EXPECT_EQ(DecodeUtf8("ab", 2, cp), 0u);  // past the end
}

TEST(SystemHelpers, EscapedTextsRoundTripAndMalformedEscapesAreRefused)
{
    struct Case {
        std::string text;
        std::string escaped;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"a\\b\"c", "a\\\\b\\\"c"},
        {"line\nnext\r\tend", "line\\nnext\\r\\tend"},
        {std::string("\0\x1F\x7F", 3), "\\x00\\x1F\\x7F"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},  // bytes above 127 stay as they are
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapeText(c.text), c.escaped);
        std::string back;
        EXPECT_TRUE(UnescapeText(c.escaped, back)) << c.escaped;
        EXPECT_EQ(back, c.text);
    }
    std::string out;
    EXPECT_TRUE(UnescapeText("\\x4a\\x4A", out));
    EXPECT_EQ(out, "JJ");
    for (const char* bad : {"end\\", "\\q", "\\x4", "\\x", "\\xG0", "\\x-1", "\\x 1"})
        EXPECT_FALSE(UnescapeText(bad, out)) << bad;

    const std::pair<char, int> digits[] = {{'0', 0}, {'9', 9}, {'a', 10}, {'f', 15}, {'A', 10}, {'F', 15},
                                           {'/', -1}, {':', -1}, {'@', -1}, {'G', -1}, {'g', -1}, {'\xFF', -1}};
    for (const auto& [c, value] : digits) EXPECT_EQ(HexDigitValue(c), value) << c;
}

TEST(SystemHelpers, AsciiCaseLeavesOtherBytesAlone)
{
    EXPECT_EQ(AsciiLowerCase("Segoe UI 9"), "segoe ui 9");
    EXPECT_EQ(AsciiLowerCase("\xC3\x89T\xC3\x89"), "\xC3\x89t\xC3\x89");  // the accented capital stays
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"Software\\Quelvo", "SOFTWARE\\quelvo", true},
        {"", "", true},
        {"abc", "abcd", false},
        {"[", "{", false},  // 0x5B and 0x7B differ by 32 but are no letters
        {"@", "`", false},
        {"\xC3\x89", "\xC3\xA9", false},
    };
    for (const Case& c : cases) EXPECT_EQ(SameTextIgnoringAsciiCase(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(SystemHelpers, MulDivAtTheEdgesOfTheIntegerRange)
{
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    struct Case {
        int number, numerator, denominator, expected;
    };
    const Case cases[] = {
        {kMin, kMin, kMin, kMin},
        {kMax, kMax, kMax, kMax},
        {kMin, 1, -1, -1},  // 2^31 does not fit
        {kMin, -1, 1, -1},
        {kMax, -1, 1, -kMax},
        {kMin, 1, 1, kMin},
        {kMax, 2, 4, kMax / 2 + 1},  // 1073741823.5 rounds away from zero
        {-kMax, 2, 4, -(kMax / 2 + 1)},
        {kMax, 1, kMin, -1},  // just under one, rounded
        {1, 1, kMin, 0},      // far under a half
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << " * " << c.numerator << " / " << c.denominator;
}

}  // namespace
}  // namespace quelvo::sys
