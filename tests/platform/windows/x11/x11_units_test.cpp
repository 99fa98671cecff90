// The display-independent parts: key translation rules, uri lists, drop
// handles and layered attributes (on the headless display).
#include <gtest/gtest.h>
#include <X11/keysym.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/windows/loop.h"
#include "platform/windows/x11/dropfiles.h"
#include "platform/windows/x11/layered.h"
#include "platform/graphics/wingdi.h"
#include "platform/windows/x11/x11_icons.h"
#include "platform/windows/x11/x11_keys.h"
#include "platform/windows/x11/x11_settings.h"
#include "tests/platform/windows/x11/test_icons.h"

namespace {

using quelvo::win::x11::kVkPacket;
using quelvo::win::x11::PlanKeyPress;
using quelvo::win::x11::TextForKeysym;
using quelvo::win::x11::VirtualKey;
using quelvo::win::x11::VirtualKeyFor;

TEST(X11Keys, SymbolsNameTheirKeys)
{
    struct Case {
        unsigned long sym;
        int vk;
        bool extended;
    };
    const Case cases[] = {
        {XK_a, 'A', false},          {XK_Z, 'Z', false},           {XK_7, '7', false},
        {XK_KP_3, VK_NUMPAD0 + 3, false}, {XK_F1, VK_F1, false},   {XK_F12, VK_F12, false},
        {XK_Left, VK_LEFT, true},    {XK_KP_Left, VK_LEFT, false}, {XK_Delete, VK_DELETE, true},
        {XK_Return, VK_RETURN, false}, {XK_KP_Enter, VK_RETURN, true}, {XK_ISO_Left_Tab, VK_TAB, false},
        {XK_Shift_R, VK_SHIFT, false}, {XK_Control_R, VK_CONTROL, true}, {XK_Alt_L, VK_MENU, false},
        {XK_semicolon, 0xBA, false}, {XK_colon, 0xBA, false},      {XK_bracketright, 0xDD, false},
        {XK_apostrophe, 0xDE, false}, {XK_eacute, 0, false},       {XK_dead_acute, 0, false},
    };
    for (const Case& c : cases) {
        VirtualKey k = VirtualKeyFor(c.sym);
        EXPECT_EQ(k.vk, c.vk) << std::hex << c.sym;
        EXPECT_EQ(k.extended, c.extended) << std::hex << c.sym;
    }
}

TEST(X11Keys, TextTheLayerCannotDeriveIsPostedBesideAPacketKey)
{
    struct Case {
        const char* what;
        int vk;
        std::string text;
        bool shift, caps, ctrl;
        int wantVk;
        std::string wantPosted;
    };
    const Case cases[] = {
        {"plain letter", 'A', "a", false, false, false, 'A', ""},
        {"shifted letter", 'A', "A", true, false, false, 'A', ""},
        {"caps lock letter", 'A', "A", false, true, false, 'A', ""},
        {"shifted digit", '1', "!", true, false, false, '1', ""},
        {"Ctrl+C control code", 'C', "\x03", false, false, true, 'C', ""},
        {"Ctrl+1 types nothing", '1', "1", false, false, true, '1', ""},
        {"Delete's DEL byte", VK_DELETE, "\x7f", false, false, false, VK_DELETE, ""},
        {"arrow without text", VK_LEFT, "", false, false, false, VK_LEFT, ""},
        {"other layout: Shift+7 is a slash", '7', "/", true, false, false, kVkPacket, "/"},
        {"other layout: y key types z", 'Y', "z", false, false, false, kVkPacket, "z"},
        {"accented letter on its own key", 0, "\xC3\xA9", false, false, false, kVkPacket, "\xC3\xA9"},
        {"accented letter on an F key", VK_F5, "\xC3\xA9", false, false, false, VK_F5, "\xC3\xA9"},
    };
    for (const Case& c : cases) {
        auto plan = PlanKeyPress(VirtualKey{c.vk, false}, c.text, c.shift, c.caps, c.ctrl);
        EXPECT_EQ(plan.vk, c.wantVk) << c.what;
        EXPECT_EQ(plan.postedText, c.wantPosted) << c.what;
    }
}

TEST(X11Keys, SymbolTextIsUtf8)
{
    EXPECT_EQ(TextForKeysym(XK_a), "a");
    EXPECT_EQ(TextForKeysym(XK_eacute), "\xC3\xA9");
    EXPECT_EQ(TextForKeysym(0x010020AC), "\xE2\x82\xAC");      // euro sign
    EXPECT_EQ(TextForKeysym(0x0101F600), "\xF0\x9F\x98\x80");  // beyond the basic plane
    EXPECT_EQ(TextForKeysym(0x0100D800), "");                  // a lone surrogate is no character
    EXPECT_EQ(TextForKeysym(XK_Left), "");
    EXPECT_EQ(TextForKeysym(0x01110000), "");
}

TEST(UriList, LocalPathsAreDecodedAndTheRestSkipped)
{
    struct Case {
        const char* what;
        std::string list;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"two files, CRLF", "file:///tmp/a.txt\r\nfile:///home/u/b%20c.txt\r\n", {"/tmp/a.txt", "/home/u/b c.txt"}},
        {"localhost and own host", "file://localhost/x\nfile://box/y\nfile://other/z\n", {"/x", "/y"}},
        {"short form", "file:/etc/hosts", {"/etc/hosts"}},
        {"comments and other schemes", "# from a browser\nhttp://example.org/a\nFILE:///upper\n", {"/upper"}},
        {"UTF-8 escapes", "file:///tmp/Gr%C3%BC%C3%9Fe", {"/tmp/Gr\xC3\xBC\xC3\x9F" "e"}},
        {"bad escapes stay as they are", "file:///tmp/100%/x%zz", {"/tmp/100%/x%zz"}},
        {"an escaped NUL drops the entry", "file:///tmp/a%00b\nfile:///ok", {"/ok"}},
        {"relative or empty", "file:relative\nfile://\n\n", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(quelvo::win::PathsFromUriList(c.list, "box"), c.want) << c.what;
}

// XSETTINGS data as a manager writes it, little- or big-endian.
class SettingsWriter {
public:
    explicit SettingsWriter(bool msb) : msb_(msb) { bytes_ = std::string(1, msb ? '\1' : '\0') + std::string(3, '\0'); }
    SettingsWriter& Count(std::uint32_t n)
    {
        U32(7);  // serial
        U32(n);
        return *this;
    }
    SettingsWriter& Int(const std::string& name, std::int32_t v)
    {
        Head(0, name);
        U32(static_cast<std::uint32_t>(v));
        return *this;
    }
    SettingsWriter& Text(const std::string& name, const std::string& v)
    {
        Head(1, name);
        U32(static_cast<std::uint32_t>(v.size()));
        Pad(v);
        return *this;
    }
    SettingsWriter& Colour(const std::string& name)
    {
        Head(2, name);
        bytes_.append(8, '\x7f');
        return *this;
    }
    std::string bytes_;

private:
    void Head(char type, const std::string& name)
    {
        bytes_ += type;
        bytes_ += '\0';
        U16(static_cast<std::uint16_t>(name.size()));
        Pad(name);
        U32(1);  // last change
    }
    void Pad(const std::string& s)
    {
        bytes_ += s;
        bytes_.append((4 - s.size() % 4) % 4, '\0');
    }
    void U16(std::uint16_t v) { Put(v, 2); }
    void U32(std::uint32_t v) { Put(v, 4); }
    void Put(std::uint32_t v, int n)
    {
        for (int i = 0; i < n; ++i) bytes_ += static_cast<char>(v >> (8 * (msb_ ? n - 1 - i : i)));
    }
    bool msb_;
};

TEST(XSettings, IntegersAreReadInEitherByteOrderAndFaultsStopTheReading)
{
    for (bool msb : {false, true}) {
        SettingsWriter w(msb);
        w.Count(4).Text("Net/ThemeName", "Adwaita").Int("Net/DoubleClickTime", 400).Colour("Gtk/Colour").Int("Net/DndDragThreshold", -8);
        auto v = quelvo::win::x11::ParseXSettingsIntegers(w.bytes_);
        EXPECT_EQ(v.size(), 2u) << msb;
        EXPECT_EQ(v["Net/DoubleClickTime"], 400) << msb;
        EXPECT_EQ(v["Net/DndDragThreshold"], -8) << msb;
    }
    SettingsWriter full(false);
    full.Count(2).Int("A", 1).Int("B", 2);
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t want;
    };
    const Case cases[] = {
        {"empty", "", 0},
        {"header only", full.bytes_.substr(0, 12), 0},
        {"cut in the second setting", full.bytes_.substr(0, full.bytes_.size() - 2), 1},
        {"more settings announced than present", SettingsWriter(false).Count(1000).Int("A", 1).bytes_, 1},
        {"a name longer than the data", SettingsWriter(false).Count(1).bytes_ + std::string("\0\0\xff\xff", 4), 0},
        {"an unknown type", SettingsWriter(false).Count(2).Int("A", 1).bytes_ + std::string("\x09\0\1\0", 4), 1},
    };
    for (const Case& c : cases) EXPECT_EQ(quelvo::win::x11::ParseXSettingsIntegers(c.bytes).size(), c.want) << c.what;
}

TEST(IconPictures, AlphaComesFromTheColourOrTheMask)
{
    using quelvo::win::x11::IconImage;
    EXPECT_TRUE(IconImage(nullptr).Empty());
    EXPECT_TRUE(IconImage(reinterpret_cast<HICON>(static_cast<std::uintptr_t>(0x4321))).Empty());

    // Colour icon without alpha: the mask's set bit is a hole.
    const std::uint32_t colours[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF};
    const unsigned char maskBits[4] = {0x40, 0, 0x00, 0};  // rows of 2 bytes: pixel (1, 0) set
    HICON icon = x11test::MakeTestIcon(colours, maskBits);
    ASSERT_NE(icon, nullptr);
    auto image = IconImage(icon);
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0, 0xFF0000FF, 0xFFFFFFFF}));
    DestroyIcon(icon);

    // Colour with alpha of its own: the mask no longer counts.
    const std::uint32_t translucent[4] = {0x80FF0000, 0x00000000, 0xFF00FF00, 0x40000000};
    icon = x11test::MakeTestIcon(translucent, maskBits);
    image = IconImage(icon);
    EXPECT_EQ(image.pixels, (std::vector<std::uint32_t>(translucent, translucent + 4)));
    DestroyIcon(icon);

    // Monochrome cursor: AND rows over XOR rows, hot spot kept.
    const unsigned char mono[8] = {0x00, 0, 0xC0, 0,   // AND: row 0 opaque, row 1 transparent-ish
                                   0x40, 0, 0x40, 0};  // XOR
    HBITMAP cursorMask = CreateBitmap(2, 4, 1, 1, mono);
    ICONINFO cursorInfo;
    cursorInfo.fIcon = FALSE;
    cursorInfo.xHotspot = 1;
    cursorInfo.yHotspot = 0;
    cursorInfo.hbmMask = cursorMask;
    HICON cursor = CreateIconIndirect(&cursorInfo);
    image = IconImage(cursor);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.hotspot.x, 1);
    // black, white, transparent, inverted (shown black)
    EXPECT_EQ(image.pixels, (std::vector<std::uint32_t>{0xFF000000, 0xFFFFFFFF, 0, 0xFF000000}));
    DestroyIcon(cursor);
    DeleteObject(cursorMask);
}

LRESULT DefProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return DefWindowProcA(hwnd, msg, wParam, lParam); }

class HeadlessWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        quelvo::win::ResetWindowManager();
        char tmpl[] = "/tmp/quelvo-x11units-XXXXXX";
        folder_ = mkdtemp(tmpl);
        quelvo::win::SetRuntimeFolder(folder_);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefProc;
        wc.lpszClassName = "x11units";
        ASSERT_NE(RegisterClassA(&wc), 0);
        hwnd_ = CreateWindowExA(0, "x11units", "w", WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override
    {
        quelvo::win::ResetWindowManager();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
        quelvo::win::SetRuntimeFolder("");
    }
    // The drop handle of the next WM_DROPFILES for the window, or null.
    HDROP NextDrop()
    {
        MSG msg;
        while (PeekMessageA(&msg, hwnd_, 0, 0, PM_REMOVE))
            if (msg.message == WM_DROPFILES) return reinterpret_cast<HDROP>(msg.wParam);
        return nullptr;
    }

    HWND hwnd_ = nullptr;
    std::string folder_;
};

TEST_F(HeadlessWindows, DropHandlesAnswerLikeTheShell)
{
    EXPECT_FALSE(quelvo::win::PostDroppedFiles(hwnd_, {"/tmp/a"}, POINT{1, 1})) << "the window takes no files yet";
    DragAcceptFiles(hwnd_, TRUE);
    EXPECT_TRUE(GetWindowLongA(hwnd_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_FALSE(quelvo::win::PostDroppedFiles(hwnd_, {}, POINT{1, 1})) << "an empty drop is no drop";

    std::size_t before = quelvo::win::PendingDrops();
    ASSERT_TRUE(quelvo::win::PostDroppedFiles(hwnd_, {"/tmp/first.txt", "/home/u/a longer name"}, POINT{12, 34}));
    HDROP drop = NextDrop();
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0), 2u);
    EXPECT_EQ(DragQueryFileA(drop, 1, nullptr, 0), 21u);
    char buf[8];
    EXPECT_EQ(DragQueryFileA(drop, 0, buf, sizeof buf), 7u) << "cut to the buffer";
    EXPECT_STREQ(buf, "/tmp/fi");
    char full[64];
    EXPECT_EQ(DragQueryFileA(drop, 0, full, sizeof full), 14u);
    EXPECT_STREQ(full, "/tmp/first.txt");
    EXPECT_EQ(DragQueryFileA(drop, 2, full, sizeof full), 0u);
    EXPECT_EQ(DragQueryFileA(drop, 0, full, 0), 0u);
    POINT pt{};
    EXPECT_TRUE(DragQueryPoint(drop, &pt));
    EXPECT_EQ(pt.x, 12);
    EXPECT_EQ(pt.y, 34);
    DragFinish(drop);
    EXPECT_EQ(quelvo::win::PendingDrops(), before);
    // A finished or forged handle reads as nothing and frees nothing.
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0), 0u);
    EXPECT_FALSE(DragQueryPoint(drop, &pt));
    DragFinish(drop);
    DragFinish(reinterpret_cast<HDROP>(static_cast<std::uintptr_t>(0x1234)));

    ASSERT_TRUE(quelvo::win::PostDroppedFiles(hwnd_, {"/x"}, POINT{-5, 3}));
    drop = NextDrop();
    EXPECT_FALSE(DragQueryPoint(drop, &pt)) << "outside the client area";
    DragFinish(drop);

    DragAcceptFiles(hwnd_, FALSE);
    EXPECT_FALSE(quelvo::win::AcceptsDroppedFiles(hwnd_));
}

TEST_F(HeadlessWindows, LayeredAttributesNeedTheLayeredStyle)
{
    EXPECT_FALSE(SetLayeredWindowAttributes(hwnd_, 0, 128, LWA_ALPHA));
    EXPECT_EQ(quelvo::win::WindowAlpha(hwnd_), 255);
    SetWindowLongA(hwnd_, GWL_EXSTYLE, GetWindowLongA(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
    EXPECT_EQ(quelvo::win::WindowAlpha(hwnd_), 255) << "layered without attributes is opaque";
    ASSERT_TRUE(SetLayeredWindowAttributes(hwnd_, RGB(1, 2, 3), 200, LWA_ALPHA | LWA_COLORKEY));
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(hwnd_, &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(1, 2, 3));
    EXPECT_EQ(alpha, 200);
    EXPECT_EQ(flags, LWA_ALPHA | LWA_COLORKEY);
    EXPECT_EQ(quelvo::win::WindowAlpha(hwnd_), 200);
    ASSERT_TRUE(SetLayeredWindowAttributes(hwnd_, 0, 0, LWA_COLORKEY));
    EXPECT_EQ(quelvo::win::WindowAlpha(hwnd_), 255) << "alpha counts only with LWA_ALPHA";
    ASSERT_TRUE(SetLayeredWindowAttributes(hwnd_, 0, 0, LWA_ALPHA));
    EXPECT_EQ(quelvo::win::WindowAlpha(hwnd_), 0);
    EXPECT_FALSE(SetLayeredWindowAttributes(nullptr, 0, 0, LWA_ALPHA));
}

}  // namespace
