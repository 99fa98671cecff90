// A small program the real-system tests start as a child: busy threads,
// threads with their own nice values, a thread spawner, a mutex holder, and
// probes of the access rules run under another user.
//
//   busy N                 N threads spinning, each on a processor of its
//                          own where there are enough; prints each one's
//                          "tid processor", then "ready"
//   sleep                  sleeps until killed
//   nices V1 V2 ...        one thread per value, each setting its own nice;
//                          prints "tid nice" per thread, then "ready"
//   spawner N              starts N/2 sleeping threads, then a thread that
//                          starts more as fast as it can until N exist;
//                          prints "started", and "done" at the end
//   mutex NAME             creates the named mutex, prints GetLastError(),
//                          then holds it until stdin closes
//   probe PID ACCESS       OpenProcess(ACCESS, PID); prints "granted" or
//                          "denied <error>"
//   roundtrip PID          lowers PID to Low and puts it back; prints the
//                          classes read after each step
//   name PID               prints GetModuleFileNameExA of PID

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/system/winsys.h"

namespace {

pid_t ThreadId() { return static_cast<pid_t>(syscall(SYS_gettid)); }

[[noreturn]] void SleepForever()
{
    while (true) pause();
}

int Busy(int threads)
{
    cpu_set_t usable;
    CPU_ZERO(&usable);
    sched_getaffinity(0, sizeof(usable), &usable);
    std::vector<int> processors;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
        if (CPU_ISSET(cpu, &usable)) processors.push_back(cpu);
    std::mutex printLock;
    std::atomic<int> started{0};
    for (int i = 0; i < threads; ++i) {
        const int processor = processors.empty() ? -1 : processors[static_cast<std::size_t>(i) % processors.size()];
        std::thread([&, processor] {
            if (processor >= 0) {
                cpu_set_t one;
                CPU_ZERO(&one);
                CPU_SET(processor, &one);
                sched_setaffinity(0, sizeof(one), &one);
            }
            {
                const std::lock_guard<std::mutex> hold(printLock);
                std::printf("%d %d\n", ThreadId(), processor);
            }
            ++started;
            volatile unsigned long counter = 0;
            for (;;) counter = counter + 1;
        }).detach();
    }
    while (started < threads) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::printf("ready\n");
    std::fflush(stdout);
    SleepForever();
}

int Nices(int count, char** values)
{
    std::mutex printLock;
    std::atomic<int> done{0};
    const int mainNice = std::atoi(values[0]);
    setpriority(PRIO_PROCESS, static_cast<id_t>(ThreadId()), mainNice);
    std::printf("%d %d\n", ThreadId(), mainNice);
    for (int i = 1; i < count; ++i) {
        const int nice = std::atoi(values[i]);
        std::thread([&, nice] {
            setpriority(PRIO_PROCESS, static_cast<id_t>(ThreadId()), nice);
            {
                std::lock_guard lock(printLock);
                std::printf("%d %d\n", ThreadId(), nice);
            }
            ++done;
            SleepForever();
        }).detach();
    }
    while (done.load() < count - 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::printf("ready\n");
    std::fflush(stdout);
    SleepForever();
}

int Spawner(int count)
{
    // Half the threads exist first; the spawning thread comes after them,
    // so a single walk over the threads would reach it late and miss what
    // it started meanwhile.
    for (int i = 0; i < count / 2; ++i) std::thread(SleepForever).detach();
    std::atomic<bool> done{false};
    std::thread([count, &done] {
        for (int i = count / 2; i < count; ++i) {
            std::thread(SleepForever).detach();
        }
        done = true;
        SleepForever();
    }).detach();
    std::printf("started\n");
    std::fflush(stdout);
    while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::printf("done\n");
    std::fflush(stdout);
    SleepForever();
}

int Mutex(const char* name)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    std::printf("%u\n", mutex == nullptr ? 0xFFFFFFFFu : GetLastError());
    std::fflush(stdout);
    char c = 0;
    while (read(0, &c, 1) > 0) {
    }
    if (mutex != nullptr) CloseHandle(mutex);
    return 0;
}

int Probe(DWORD pid, DWORD access)
{
    HANDLE process = OpenProcess(access, FALSE, pid);
    if (process == nullptr) {
        std::printf("denied %u\n", GetLastError());
        return 0;
    }
    std::printf("granted\n");
    CloseHandle(process);
    return 0;
}

int RoundTrip(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_SET_INFORMATION | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        std::printf("denied %u\n", GetLastError());
        return 0;
    }
    const DWORD original = GetPriorityClass(process);
    const BOOL lowered = SetPriorityClass(process, IDLE_PRIORITY_CLASS);
    const DWORD low = GetPriorityClass(process);
    const BOOL restored = SetPriorityClass(process, original);
    const DWORD back = GetPriorityClass(process);
    std::printf("%u %d %u %d %u\n", original, lowered, low, restored, back);
    CloseHandle(process);
    return 0;
}

int Name(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    char path[MAX_PATH] = {};
    if (process == nullptr || GetModuleFileNameExA(process, nullptr, path, sizeof(path)) == 0) {
        std::printf("failed %u\n", GetLastError());
    } else {
        std::printf("%s\n", path);
    }
    if (process != nullptr) CloseHandle(process);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const std::string mode = argv[1];
    if (mode == "busy" && argc == 3) return Busy(std::atoi(argv[2]));
    if (mode == "sleep") SleepForever();
    if (mode == "nices" && argc >= 3) return Nices(argc - 2, argv + 2);
    if (mode == "spawner" && argc == 3) return Spawner(std::atoi(argv[2]));
    if (mode == "mutex" && argc == 3) return Mutex(argv[2]);
    if (mode == "probe" && argc == 4) return Probe(std::strtoul(argv[2], nullptr, 10), std::strtoul(argv[3], nullptr, 0));
    if (mode == "name" && argc == 3) return Name(std::strtoul(argv[2], nullptr, 10));
    if (mode == "roundtrip" && argc == 3) return RoundTrip(std::strtoul(argv[2], nullptr, 10));
    return 2;
}
