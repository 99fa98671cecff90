// Windows of other processes of the same user: each process publishes its
// top-level windows in the runtime folder and listens on a datagram socket
// there; posts and sends to another process's window travel over it.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/system/runtime_folder.h"
#include "platform/system/text_conversion.h"
#include "platform/system/window_directory.h"
#include "platform/windows/loop.h"
#include "platform/windows/wm_state.h"

namespace quelvo::win::detail {

namespace {

constexpr std::uint32_t kMagic = 0x51574D31;  // "QWM1"
constexpr std::size_t kMaxListBytes = 1 << 20;
constexpr std::size_t kMaxListLines = 4096;
constexpr int kReceiveWaitMs = 20;  // the longest one receive waits
constexpr std::size_t kMaxDestinations = 64;

enum class Kind : std::uint32_t { Post = 1, Send = 2, Reply = 3 };

struct Packet {
    std::uint32_t magic = kMagic;
    Kind kind = Kind::Post;
    std::uint64_t seq = 0;
    std::uint64_t hwnd = 0;
    std::uint32_t msg = 0;
    std::uint32_t ok = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    std::int64_t result = 0;
};

struct IpcState {
    std::string folderOverride;
    int fd = -1;  // bound to our path: everything arrives here
    uid_t euid = 0;  // read once per bound socket
    std::uint32_t boundPid = 0;
    std::uint32_t filesPid = 0;  // whose list and socket files we may remove
    std::string socketPath;
    std::string listPath;
    std::uint64_t nextSeq = 1;
    std::set<std::uint64_t> awaiting;
    std::map<std::uint64_t, Packet> replies;
    // A connected socket per destination process, so a packet costs one
    // send with no path lookup.
    std::map<std::uint32_t, int> destinations;
    int sendTimeoutMs = 5000;
    bool cleanupRegistered = false;
};

IpcState& I()
{
    static IpcState state;
    return state;
}

std::string Folder()
{
    if (!I().folderOverride.empty()) return I().folderOverride;
    return quelvo::sys::RuntimeFolder().path;
}

std::string ListPathFor(std::uint32_t pid) { return Folder() + "/windows-" + std::to_string(pid) + ".list"; }
std::string SocketPathFor(std::uint32_t pid) { return Folder() + "/win-" + std::to_string(pid) + ".sock"; }

// Start time of a process in clock ticks since boot (field 22 of its stat
// line), 0 when it does not exist.
std::uint64_t StartTime(std::uint32_t pid)
{
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(f, line)) return 0;
    auto close = line.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(line.substr(close + 1));
    std::string field;
    for (int i = 3; i <= 22; ++i)
        if (!(rest >> field)) return 0;
    return std::strtoull(field.c_str(), nullptr, 10);
}


void Cleanup()
{
    IpcState& s = I();
    if (s.filesPid != OwnPid()) return;  // a forked child must not remove its parent's files
    if (!s.listPath.empty()) unlink(s.listPath.c_str());
    if (!s.socketPath.empty()) unlink(s.socketPath.c_str());
}

void RegisterCleanup()
{
    if (I().cleanupRegistered) return;
    I().cleanupRegistered = true;
    std::atexit(Cleanup);
}

// Reads one process's published list; empty when it is stale or malformed.
std::vector<RemoteWindow> ReadList(std::uint32_t pid)
{
    std::vector<RemoteWindow> out;
    std::string path = ListPathFor(pid);
    struct stat st{};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() ||
        static_cast<std::size_t>(st.st_size) > kMaxListBytes)
        return out;
    std::ifstream f(path);
    std::string header;
    if (!std::getline(f, header)) return out;
    std::istringstream h(header);
    std::string tag;
    int version = 0;
    std::uint32_t filePid = 0;
    std::uint64_t start = 0;
    if (!(h >> tag >> version >> filePid >> start) || tag != "quelvo-windows" || version != 1 || filePid != pid) return out;
    if (start == 0 || StartTime(pid) != start) return out;  // the process is gone (or the id was reused)
    std::string line;
    std::size_t lines = 0;
    while (std::getline(f, line) && ++lines <= kMaxListLines) {
        std::vector<std::string> fields;
        std::size_t from = 0;
        for (;;) {
            auto tab = line.find('\t', from);
            fields.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
        if (fields.size() != 4) continue;
        char* end = nullptr;
        std::uint64_t value = std::strtoull(fields[0].c_str(), &end, 16);
        if (!end || *end || (value >> 32) != pid) continue;
        RemoteWindow r;
        r.hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
        r.pid = pid;
        r.visible = fields[1] == "1";
        if (!quelvo::sys::UnescapeText(fields[2], r.className) || !quelvo::sys::UnescapeText(fields[3], r.title)) continue;
        out.push_back(std::move(r));
    }
    return out;
}

void ForgetDestinations()
{
    for (const auto& [pid, fd] : I().destinations) close(fd);
    I().destinations.clear();
}

// The connected socket to a process's listening socket; -1 when it has none.
int DestinationFor(std::uint32_t pid)
{
    auto& cache = I().destinations;
    if (const auto found = cache.find(pid); found != cache.end()) return found->second;
    if (cache.size() >= kMaxDestinations) ForgetDestinations();  // those of ended programs pile up
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string path = SocketPathFor(pid);
    if (path.size() >= sizeof addr.sun_path) return -1;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    cache[pid] = fd;
    return fd;
}

void ForgetDestination(std::uint32_t pid)
{
    auto& cache = I().destinations;
    if (const auto found = cache.find(pid); found != cache.end()) {
        close(found->second);
        cache.erase(found);
    }
}

// The answer to a send travels to the sender's listening socket, found by
// the process id the kernel vouches for.
bool SendPacket(std::uint32_t pid, const Packet& p)
{
    bool reconnected = false;
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int fd = DestinationFor(pid);
        if (fd < 0) return false;
        const ssize_t n = send(fd, &p, sizeof p, MSG_DONTWAIT);
        if (n == static_cast<ssize_t>(sizeof p)) return true;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            // The process went, or another one took its id since we
            // connected: once more through a fresh connection.
            ForgetDestination(pid);
            if (reconnected) return false;
            reconnected = true;
            continue;
        }
        // The receiver's queue is full: give it a moment, serving our own.
        pollfd pfd{I().fd, POLLIN, 0};
        poll(&pfd, 1, 5);
    }
    return false;
}

void Reply(std::uint32_t to, const Packet& request, LRESULT result, bool ok)
{
    Packet r;
    r.kind = Kind::Reply;
    r.seq = request.seq;
    r.hwnd = request.hwnd;
    r.msg = request.msg;
    r.ok = ok ? 1 : 0;
    r.result = result;
    SendPacket(to, r);
}

// Reads one datagram, waiting for one as the flags say; false when none
// came.
bool ReceiveOne(int flags = MSG_DONTWAIT)
{
    Packet p;
    iovec iov{&p, sizeof p};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
    msghdr mh{};
    mh.msg_iov = &iov;
    mh.msg_iovlen = 1;
    mh.msg_control = control;
    mh.msg_controllen = sizeof control;
    ssize_t n = recvmsg(I().fd, &mh, flags);
    if (n < 0) return false;
    const ucred* cred = nullptr;
    for (cmsghdr* c = CMSG_FIRSTHDR(&mh); c; c = CMSG_NXTHDR(&mh, c))
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS) cred = reinterpret_cast<const ucred*>(CMSG_DATA(c));
    // Only whole packets from processes of this user are looked at.
    if (n != static_cast<ssize_t>(sizeof p) || (mh.msg_flags & MSG_TRUNC) || !cred || cred->uid != I().euid ||
        p.magic != kMagic)
        return true;
    HWND hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(p.hwnd));
    auto lParam = static_cast<LPARAM>(p.lParam);
    bool allowed = !IsPointerMessage(p.msg, lParam);
    switch (p.kind) {
    case Kind::Post:
        if (allowed && Find(hwnd)) PostLocal(hwnd, p.msg, static_cast<WPARAM>(p.wParam), lParam);
        break;
    case Kind::Send: {
        Window* w = allowed ? Find(hwnd) : nullptr;
        LRESULT result = w ? Deliver(w, p.msg, static_cast<WPARAM>(p.wParam), lParam, true) : 0;
        if (cred->pid > 0) Reply(static_cast<std::uint32_t>(cred->pid), p, result, w != nullptr);
        break;
    }
    case Kind::Reply:
        if (I().awaiting.count(p.seq)) I().replies[p.seq] = p;
        break;
    default: break;
    }
    return true;
}

class PublishedDirectory : public quelvo::sys::WindowDirectory {
public:
    std::vector<quelvo::sys::TopLevelWindow> TopLevelWindows() override
    {
        std::vector<quelvo::sys::TopLevelWindow> out;
        for (Window* w : S().topLevels) out.push_back({w->handle, OwnPid()});
        for (const RemoteWindow& r : RemoteWindows()) out.push_back({r.hwnd, r.pid});
        return out;
    }
    bool PostMessageTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        return PostMessageA(window, message, wParam, lParam) != FALSE;
    }
    LRESULT SendMessageTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        return SendMessageA(window, message, wParam, lParam);
    }
};

// Installs the real directory unless another one (a test's scripted fake)
// is in place.
void InstallDirectory()
{
    static PublishedDirectory directory;
    quelvo::sys::WindowDirectory* previous = quelvo::sys::InstallWindowDirectory(&directory);
    if (previous && previous != &directory) quelvo::sys::InstallWindowDirectory(previous);
}

}  // namespace

int IpcSocketFd() { return I().boundPid == OwnPid() ? I().fd : -1; }

void EnsureIpc()
{
    IpcState& s = I();
    InstallDirectory();
    if (s.fd >= 0 && s.boundPid == OwnPid()) return;
    if (s.fd >= 0) close(s.fd);  // inherited across fork: not ours to serve
    s.fd = -1;
    ForgetDestinations();
    std::string folder = Folder();
    if (folder.empty()) return;
    std::string path = SocketPathFor(OwnPid());
    sockaddr_un addr{};
    if (path.size() >= sizeof addr.sun_path) return;
    // Blocking, so a sender waits for its answer in one receive (bounded by
    // the receive time-out); every other read asks not to wait.
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    unlink(path.c_str());  // left by an earlier process with our id
    int one = 1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &one, sizeof one) != 0) {
        close(fd);
        return;
    }
    int buffer = 1 << 20;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    const timeval wait{0, kReceiveWaitMs * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    s.fd = fd;
    s.euid = geteuid();
    s.boundPid = OwnPid();
    s.socketPath = path;
    s.filesPid = OwnPid();
    RegisterCleanup();
}

void HandleIpcReadable()
{
    if (IpcSocketFd() < 0) return;
    // One datagram per readiness: the loop polls again anyway, and a
    // further receive here would mostly find nothing.
    ReceiveOne();
}

void PublishWindows()
{
    IpcState& s = I();
    std::string folder = Folder();
    if (folder.empty()) return;
    std::uint32_t pid = OwnPid();
    std::string path = ListPathFor(pid);
    std::vector<Window*> list;
    for (Window* w : S().creationOrder)
        if (!w->destroyed && !w->parent && !w->messageOnly) list.push_back(w);
    if (list.empty()) {
        unlink(path.c_str());
        return;
    }
    std::ostringstream out;
    out << "quelvo-windows 1 " << pid << ' ' << StartTime(pid) << '\n';
    for (Window* w : list) {
        char hex[32];
        std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(w->handle)));
        out << hex << '\t' << ((w->style & WS_VISIBLE) ? 1 : 0) << '\t' << quelvo::sys::EscapeText(w->cls->name) << '\t' << quelvo::sys::EscapeText(w->text) << '\n';
    }
    std::string tmp = folder + "/.windows-" + std::to_string(pid) + ".tmp";
    {
        std::ofstream f(tmp, std::ios::trunc);
        if (!f) return;
        f << out.str();
        if (!f.flush()) return;
    }
    if (rename(tmp.c_str(), path.c_str()) != 0) {
        unlink(tmp.c_str());
        return;
    }
    s.listPath = path;
    s.filesPid = pid;
    RegisterCleanup();
}

std::vector<RemoteWindow> RemoteWindows()
{
    std::vector<RemoteWindow> out;
    std::string folder = Folder();
    if (folder.empty()) return out;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), &closedir);
    if (!dir) return out;
    std::vector<std::uint32_t> pids;
    while (dirent* e = readdir(dir.get())) {
        unsigned pid = 0;
        char tail[16] = {};
        if (std::sscanf(e->d_name, "windows-%u.%15s", &pid, tail) == 2 && std::strcmp(tail, "list") == 0 && pid != 0 &&
            pid != OwnPid())
            pids.push_back(pid);
    }
    std::sort(pids.begin(), pids.end());
    for (std::uint32_t pid : pids) {
        auto list = ReadList(pid);
        out.insert(out.end(), list.begin(), list.end());
    }
    return out;
}

bool RemoteWindowExists(HWND hwnd, RemoteWindow* out)
{
    auto v = reinterpret_cast<std::uintptr_t>(hwnd);
    auto pid = static_cast<std::uint32_t>(v >> 32);
    if (pid == 0 || pid == OwnPid()) return false;
    for (const RemoteWindow& r : ReadList(pid))
        if (r.hwnd == hwnd) {
            if (out) *out = r;
            return true;
        }
    return false;
}

bool RemotePost(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (IsPointerMessage(msg, lParam)) {
        SetLastError(1159);  // message can only be used with synchronous operations... or not at all here
        return false;
    }
    EnsureIpc();
    if (IpcSocketFd() < 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    Packet p;
    p.kind = Kind::Post;
    p.hwnd = reinterpret_cast<std::uintptr_t>(hwnd);
    p.msg = msg;
    p.wParam = wParam;
    p.lParam = lParam;
    if (!SendPacket(static_cast<std::uint32_t>(p.hwnd >> 32), p)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return true;
}

LRESULT RemoteSend(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool& ok)
{
    ok = false;
    if (IsPointerMessage(msg, lParam)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    EnsureIpc();
    if (IpcSocketFd() < 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    IpcState& s = I();
    Packet p;
    p.kind = Kind::Send;
    p.seq = s.nextSeq++;
    p.hwnd = reinterpret_cast<std::uintptr_t>(hwnd);
    p.msg = msg;
    p.wParam = wParam;
    p.lParam = lParam;
    s.awaiting.insert(p.seq);
    if (!SendPacket(static_cast<std::uint32_t>(p.hwnd >> 32), p)) {
        s.awaiting.erase(p.seq);
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(s.sendTimeoutMs);
    for (;;) {
        // Incoming sends are served while we wait, so two programs sending
        // to each other cannot deadlock; posts are queued as usual. The
        // receive itself waits, a little at a time, with no poll before it.
        ReceiveOne(0);
        auto it = s.replies.find(p.seq);
        if (it != s.replies.end()) {
            Packet r = it->second;
            s.replies.erase(it);
            s.awaiting.erase(p.seq);
            ok = r.ok != 0;
            if (!ok) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return ok ? static_cast<LRESULT>(r.result) : 0;
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
    }
    s.awaiting.erase(p.seq);
    SetLastError(1460);  // timeout
    return 0;
}

void ResetIpc()
{
    IpcState& s = I();
    Cleanup();
    if (s.fd >= 0) close(s.fd);
    s.fd = -1;
    ForgetDestinations();
    s.boundPid = 0;
    s.filesPid = 0;
    s.socketPath.clear();
    s.listPath.clear();
    s.awaiting.clear();
    s.replies.clear();
}

}  // namespace quelvo::win::detail

namespace quelvo::win {

void SetRuntimeFolder(const std::string& path)
{
    detail::ResetIpc();
    detail::I().folderOverride = path;
}

std::string RuntimeFolder() { return detail::Folder(); }

std::string RuntimeFolderError()
{
    if (!detail::I().folderOverride.empty()) return {};
    return quelvo::sys::RuntimeFolder().error;
}

void SetCrossProcessSendTimeout(int ms) { detail::I().sendTimeoutMs = std::max(1, ms); }

void InstallWindowDirectory() { detail::InstallDirectory(); }

}  // namespace quelvo::win
