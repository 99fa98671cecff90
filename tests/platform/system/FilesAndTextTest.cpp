// Desktop entries and the shell-link writer, the runtime folder, and the
// reading of /proc stat lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <pwd.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/system/desktop_entry.h"
#include "platform/system/fd_io.h"
#include "platform/system/file_replace.h"
#include "platform/system/linux_proc.h"
#include "platform/system/runtime_folder.h"
#include "platform/system/text_conversion.h"
#include "platform/system/winsys.h"
#include "tests/common/TempFolder.h"

namespace quelvo::sys {
namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(DesktopEntry, ExecLineQuotingAndEscaping)
{
    struct Case {
        const char* target;
        const char* arguments;
        const char* execLine;
    };
    const Case cases[] = {
        {"/opt/quelvo/QuelvoTray.exe", "", "Exec=/opt/quelvo/QuelvoTray.exe"},
        {"/opt/my apps/Quelvo Tray.exe", "", R"(Exec="/opt/my apps/Quelvo Tray.exe")"},
        {R"(/opt/say "hi"/t)", "", R"(Exec="/opt/say \\"hi\\"/t")"},
        {"/opt/$HOME/t", "", R"(Exec="/opt/\\$HOME/t")"},
        {"/opt/100%/t", "", "Exec=/opt/100%%/t"},
        {"/opt/50% off/t", "", R"(Exec="/opt/50%% off/t")"},
        {R"(/opt/back\slash)", "", R"(Exec="/opt/back\\\\slash")"},
        {"/opt/`cmd`", "", R"(Exec="/opt/\\`cmd\\`")"},
        {"/opt/t", R"(-x "two words" %u)", R"(Exec=/opt/t -x "two words" %%u)"},
        {"/opt/t", R"("")", R"(Exec=/opt/t "")"},
    };
    for (const Case& c : cases) {
        DesktopEntry entry;
        entry.name = "Quelvo";
        entry.target = c.target;
        entry.arguments = c.arguments;
        const std::string text = FormatDesktopEntry(entry);
        EXPECT_NE(text.find(std::string("\n") + c.execLine + "\n"), std::string::npos)
            << c.target << " gave:\n" << text;
    }
}

TEST(DesktopEntry, StringValuesAreEscaped)
{
    EXPECT_EQ(EscapeDesktopString(" lead"), "\\slead");
    EXPECT_EQ(EscapeDesktopString("a\nb\tc\rd\\e f"), "a\\nb\\tc\\rd\\\\e f");
    DesktopEntry entry;
    entry.name = "Quelvo";
    entry.comment = "two\nlines";
    entry.target = "/t";
    entry.workingDirectory = "/opt/my apps";
    EXPECT_EQ(FormatDesktopEntry(entry),
              "[Desktop Entry]\nType=Application\nName=Quelvo\nComment=two\\nlines\nExec=/t\n"
              "Path=/opt/my apps\nTerminal=false\n");
}

TEST(ShellLink, SavesADesktopEntryAndMakesItsFolder)
{
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string linkPath = folder.File("autostart/Quelvo.desktop");
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    IShellLinkA* link = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    link->SetPath("/opt/my apps/$pecial \"q\" 100%/QuelvoTray.exe");
    link->SetDescription("");
    link->SetWorkingDirectory("/opt/my apps");
    link->SetArguments("");
    link->SetShowCmd(SW_SHOW);
    IPersistFile* file = nullptr;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    const std::u16string wide = WidenText(linkPath);
    EXPECT_EQ(file->Save(wide.c_str(), TRUE), S_OK);
    file->Release();
    link->Release();
    CoUninitialize();

    EXPECT_EQ(ReadFile(linkPath),
              "[Desktop Entry]\nType=Application\nName=Quelvo\n"
              "Exec=\"/opt/my apps/\\\\$pecial \\\\\"q\\\\\" 100%%/QuelvoTray.exe\"\n"
              "Path=/opt/my apps\nTerminal=false\n");
}

TEST(ShellLink, RefusesWhatItDoesNotKnow)
{
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(IID_IMalloc, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IMalloc, &object), E_NOINTERFACE);
    IShellLinkA* link = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    IPersistFile* file = nullptr;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    EXPECT_EQ(file->Save(nullptr, TRUE), E_INVALIDARG);
    EXPECT_TRUE(FAILED(file->Save(u"/proc/no/such/place.desktop", TRUE)));
    char path[8] = {};
    link->SetPath("/a/long/path");
    EXPECT_EQ(link->GetPath(path, sizeof(path), nullptr, 0), S_OK);
    EXPECT_STREQ(path, "/a/long");
    file->Release();
    link->Release();
}

// Sets or unsets (null) an environment variable for its lifetime.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name)
    {
        const char* saved = std::getenv(name);
        had_ = saved != nullptr;
        if (had_) saved_ = saved;
        Set(value);
    }
    ~ScopedVariable() { Set(had_ ? saved_.c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void Set(const char* value) const
    {
        if (value != nullptr) {
            setenv(name_, value, 1);
        } else {
            unsetenv(name_);
        }
    }
    const char* name_;
    std::string saved_;
    bool had_ = false;
};

// The folder a special folder id names; "" when there is none.
std::string SpecialFolder(int id)
{
    LPITEMIDLIST list = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, id, &list) != S_OK) return {};
    char path[MAX_PATH] = {};
    EXPECT_TRUE(SHGetPathFromIDListA(list, path));
    CoTaskMemFree(list);
    return path;
}

TEST(StartupFolder, FollowsXdgConfigHomeThenTheHomeOfTheUser)
{
    const passwd* entry = getpwuid(geteuid());
    const std::string account = entry != nullptr && entry->pw_dir[0] == '/' ? entry->pw_dir : "";
    const std::string accountConfig = account.empty() ? "" : account + "/.config/autostart";
    struct Case {
        const char* config;  // XDG_CONFIG_HOME; null = unset
        const char* home;    // HOME; null = unset
        std::string expected;
    };
    const Case cases[] = {{"/cfg", "/h", "/cfg/autostart"},
                          {nullptr, "/h", "/h/.config/autostart"},
                          {"relative/ignored", "/h", "/h/.config/autostart"},
                          {"/cfg", nullptr, "/cfg/autostart"},
                          {nullptr, nullptr, accountConfig},
                          {nullptr, "", accountConfig},
                          {nullptr, "relative", accountConfig}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.config ? c.config : "(unset)") + " " + (c.home ? c.home : "(unset)"));
        const ScopedVariable config("XDG_CONFIG_HOME", c.config);
        const ScopedVariable home("HOME", c.home);
        EXPECT_EQ(SpecialFolder(CSIDL_STARTUP), c.expected);
    }
}

TEST(RuntimeFolder, CreatedPrivateAndRefusedWhenNotOurs)
{
    TempFolder base;
    const uid_t uid = geteuid();
    RuntimeFolderResult made = RuntimeFolderFor(base.Path(), uid);
    ASSERT_TRUE(made) << made.error;
    EXPECT_EQ(made.path, base.File("quelvo"));
    struct stat st{};
    ASSERT_EQ(stat(made.path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    chmod(made.path.c_str(), 0777);  // ours but open: tightened
    ASSERT_TRUE(RuntimeFolderFor(base.Path(), uid));
    ASSERT_EQ(stat(made.path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Someone else's folder (as far as the check can tell) is refused.
    RuntimeFolderResult foreign = RuntimeFolderFor(base.Path(), uid + 1);
    EXPECT_FALSE(foreign);
    EXPECT_NE(foreign.error.find("another user"), std::string::npos);

    TempFolder other;
    std::ofstream(other.File("quelvo")) << "a file";
    EXPECT_FALSE(RuntimeFolderFor(other.Path(), uid));
    ASSERT_EQ(symlink(base.Path().c_str(), (other.File("link")).c_str()), 0);
    EXPECT_FALSE(RuntimeFolderFor(other.File("link/.."), uid + 1));

}

TEST(RuntimeFolder, WithoutTheVariableNoPlaceOthersCanMakeFirstComesBeforeTmp)
{
    const uid_t uid = geteuid();
    const std::string id = std::to_string(uid);
    struct Case {
        const char* what;
        const char* xdg;
        bool runUser;         // the system made a runtime folder for the user
        mode_t runUserMode;
        bool home;
        const char* expected;  // below the test's folder; "" for a refusal
    };
    const Case cases[] = {
        {"the system's folder", "", true, 0700, true, "run/ID/quelvo"},
        {"a relative variable counts as none", "relative", true, 0700, true, "run/ID/quelvo"},
        {"the home folder without it", "", false, 0700, true, "home/.local/state/quelvo/run"},
        {"not the system's folder when others may write it", "", true, 0777, true, "home/.local/state/quelvo/run"},
        {"tmp only without a home", "", false, 0700, false, "tmp/quelvo-ID"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder base;
        UserPlaces places;
        places.xdgRuntimeDir = c.xdg;
        places.runUser = base.File("run");
        places.tmp = base.File("tmp");
        mkdir(places.tmp.c_str(), 0777);
        mkdir(places.runUser.c_str(), 0755);
        if (c.runUser) {
            mkdir((places.runUser + "/" + id).c_str(), 0700);
            chmod((places.runUser + "/" + id).c_str(), c.runUserMode);
        }
        if (c.home) {
            places.home = base.File("home");
            mkdir(places.home.c_str(), 0700);
        }
        std::string expected = c.expected;
        if (const auto at = expected.find("ID"); at != std::string::npos)
            expected.replace(at, 2, id);
        const RuntimeFolderResult folder = RuntimeFolderFor(places, uid);
        EXPECT_EQ(folder.path, base.File(expected)) << folder.error;
    }

    // The last resort made first by someone else: refused, saying why.
    TempFolder base;
    UserPlaces places;
    places.runUser = base.File("run");
    places.tmp = base.Path();
    mkdir((base.File("quelvo-" + std::to_string(uid + 1))).c_str(), 0700);
    const RuntimeFolderResult squatted = RuntimeFolderFor(places, uid + 1);
    EXPECT_FALSE(squatted);
    EXPECT_NE(squatted.error.find("owned by another user"), std::string::npos) << squatted.error;
}

TEST(RuntimeFolder, StateFolderIsTheSameForEverySession)
{
    TempFolder base;
    const uid_t uid = geteuid();
    UserPlaces places;
    places.home = base.File("home");
    mkdir(places.home.c_str(), 0700);
    const RuntimeFolderResult state = StateFolderFor(places, uid);
    EXPECT_EQ(state.path, places.home + "/.local/state/quelvo") << state.error;
    places.xdgRuntimeDir = base.File("elsewhere");
    EXPECT_EQ(StateFolderFor(places, uid).path, state.path) << "the runtime folder does not matter";
    places.xdgStateHome = base.File("state");
    EXPECT_EQ(StateFolderFor(places, uid).path, base.File("state/quelvo"));
    places.xdgStateHome.clear();
    places.home.clear();
    EXPECT_FALSE(StateFolderFor(places, uid));
}

TEST(ProcStat, ParsesTheFieldsItNeeds)
{
    ProcStat stat;
    const std::string line =
        "1234 (a (weird) name) S 1 1234 1234 0 -1 4194560 100 0 0 0 250 50 0 0 20 5 3 0 987654 1000 200 "
        "18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 2 0 0 0 0 0 0 0 0 0 0 0 0 9\n";
    ASSERT_TRUE(ParseProcStat(line, stat));
    EXPECT_EQ(stat.pid, 1234);
    EXPECT_STREQ(stat.comm, "a (weird) name");
    EXPECT_EQ(stat.state, 'S');
    EXPECT_EQ(stat.parentPid, 1);
    EXPECT_EQ(stat.flags, 4194560u);
    EXPECT_EQ(stat.userTicks, 250u);
    EXPECT_EQ(stat.systemTicks, 50u);
    EXPECT_EQ(stat.nice, 5);
    EXPECT_EQ(stat.threads, 3);
    EXPECT_EQ(stat.startTicks, 987654u);
    EXPECT_EQ(stat.exitCode, 9);

    const char* broken[] = {"", "1234", "1234 (name", "1234 (name) S 1", "x (name) S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 "
                                                                           "15 16 17 18 19 20"};
    for (const char* text : broken) EXPECT_FALSE(ParseProcStat(text, stat)) << text;

    ASSERT_TRUE(ParseProcStat("2 (kthreadd) S 0 0 0 0 -1 2129984 0 0 0 0 0 0 0 0 20 -7 1 0 3", stat));
    EXPECT_TRUE(IsKernelThread(stat));
    EXPECT_EQ(stat.nice, -7);
    EXPECT_EQ(stat.exitCode, -1);
}

TEST(FileReplace, ReplacesWholeFilesKeepingModeAndLinks)
{
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string file = folder.File("settings.ini");

    ASSERT_TRUE(ReplaceFileContents(file, "first"));
    EXPECT_EQ(ReadFile(file), "first");
    const mode_t mask = umask(0);
    umask(mask);
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);

    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    ASSERT_TRUE(ReplaceFileContents(file, std::string("sec\0ond", 7)));
    EXPECT_EQ(ReadFile(file), std::string("sec\0ond", 7));
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    const std::string link = folder.File("link.ini");
    ASSERT_EQ(symlink("settings.ini", link.c_str()), 0);
    ASSERT_TRUE(ReplaceFileContents(link, "through the link"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(file), "through the link");

    // Failures leave nothing behind: not the target, not a temporary file.
    EXPECT_FALSE(ReplaceFileContents(folder.File("missing/settings.ini"), "x"));
    EXPECT_FALSE(ReplaceFileContents("", "x"));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"link.ini", "settings.ini"}));
}

TEST(FdIo, WholeReadsStopAtTheEndAndReportErrors)
{
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    std::string data(300000, '\0');  // larger than one pipe or read buffer
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
    const std::string file = folder.File("data.bin");
    const int out = open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(out, 0);
    EXPECT_EQ(WriteFully(out, data.data(), data.size()), data.size());
    close(out);

    const int in = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(in, 0);
    std::string back(data.size() + 100, 'x');
    bool failed = true;
    EXPECT_EQ(ReadFully(in, back.data(), back.size(), &failed), data.size());  // the end stops it
    EXPECT_FALSE(failed);
    back.resize(data.size());
    EXPECT_EQ(back, data);
    close(in);

    int ends[2] = {-1, -1};
    ASSERT_EQ(pipe(ends), 0);
    EXPECT_EQ(WriteFully(ends[1], "abc", 3), 3u);
    close(ends[1]);
    char small[8] = {};
    EXPECT_EQ(ReadFully(ends[0], small, sizeof small), 3u);
    close(ends[0]);

    failed = false;
    EXPECT_EQ(ReadFully(-1, small, sizeof small, &failed), 0u);
    EXPECT_TRUE(failed);
    EXPECT_EQ(WriteFully(-1, "abc", 3), 0u);
}

}  // namespace
}  // namespace quelvo::sys
