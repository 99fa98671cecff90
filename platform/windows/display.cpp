// The display backend in use, and the headless display.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/windows/wm_state.h"

namespace quelvo::win {

using detail::S;

DisplayBackend& Display()
{
    auto& d = S().display;
    if (!d) d = std::make_unique<HeadlessDisplay>();
    return *d;
}

void SetDisplay(std::unique_ptr<DisplayBackend> backend) { S().display = std::move(backend); }

HeadlessDisplay& Headless()
{
    auto* h = dynamic_cast<HeadlessDisplay*>(&Display());
    if (h) return *h;
    SetDisplay(std::make_unique<HeadlessDisplay>());
    return static_cast<HeadlessDisplay&>(Display());
}

gfx::Surface* TopLevelSurface(HWND hwnd)
{
    detail::Window* w = detail::Find(hwnd);
    if (!w || w->parent || w->messageOnly) return nullptr;
    detail::EnsureSurface(w);
    return w->surface.get();
}

RECT DisplayBackend::WorkArea() const
{
    SIZE s = ScreenSize();
    return RECT{0, 0, s.cx, s.cy};
}

std::vector<RECT> DisplayBackend::Monitors() const
{
    SIZE s = ScreenSize();
    return {RECT{0, 0, s.cx, s.cy}};
}

RECT HeadlessDisplay::WorkArea() const
{
    bool set = workArea_.right > workArea_.left && workArea_.bottom > workArea_.top;
    return set ? workArea_ : DisplayBackend::WorkArea();
}

std::vector<RECT> HeadlessDisplay::Monitors() const
{
    return monitors_.empty() ? DisplayBackend::Monitors() : monitors_;
}

void HeadlessDisplay::SetScreenSize(int width, int height)
{
    size_.cx = std::clamp(width, 1, 16384);
    size_.cy = std::clamp(height, 1, 16384);
}

namespace {
void QueueMouse(MouseInput::Kind kind, POINT pt, MouseButton button = MouseButton::Left, int wheel = 0)
{
    MouseInput m;
    m.kind = kind;
    m.pt = pt;
    m.button = button;
    m.wheelDelta = wheel;
    QueueMouseInput(m);
}
}  // namespace

void HeadlessDisplay::MoveMouse(POINT pt) { QueueMouse(MouseInput::Kind::Move, pt); }
void HeadlessDisplay::ButtonDown(POINT pt, MouseButton button) { QueueMouse(MouseInput::Kind::Down, pt, button); }
void HeadlessDisplay::ButtonUp(POINT pt, MouseButton button) { QueueMouse(MouseInput::Kind::Up, pt, button); }

void HeadlessDisplay::Click(POINT pt, MouseButton button)
{
    MoveMouse(pt);
    ButtonDown(pt, button);
    ButtonUp(pt, button);
}

void HeadlessDisplay::DoubleClick(POINT pt, MouseButton button)
{
    Click(pt, button);
    ButtonDown(pt, button);
    ButtonUp(pt, button);
}

void HeadlessDisplay::Wheel(POINT pt, int delta) { QueueMouse(MouseInput::Kind::Wheel, pt, MouseButton::Left, delta); }

void HeadlessDisplay::KeyDown(int vk, int repeat)
{
    KeyInput k;
    k.vk = vk;
    k.down = true;
    k.repeat = repeat;
    QueueKeyInput(k);
}

void HeadlessDisplay::KeyUp(int vk)
{
    KeyInput k;
    k.vk = vk;
    k.down = false;
    QueueKeyInput(k);
}

void HeadlessDisplay::PressKey(int vk)
{
    KeyDown(vk);
    KeyUp(vk);
}

void HeadlessDisplay::TypeText(const std::string& text)
{
    static const std::string shiftedDigits = ")!@#$%^&*(";
    struct Key {
        char c;
        int vk;
        bool shift;
    };
    static const Key punct[] = {{';', 0xBA, false}, {':', 0xBA, true}, {'=', 0xBB, false}, {'+', 0xBB, true},
                                {',', 0xBC, false}, {'<', 0xBC, true}, {'-', 0xBD, false}, {'_', 0xBD, true},
                                {'.', 0xBE, false}, {'>', 0xBE, true}, {'/', 0xBF, false}, {'?', 0xBF, true},
                                {'`', 0xC0, false}, {'~', 0xC0, true}, {'[', 0xDB, false}, {'{', 0xDB, true},
                                {'\\', 0xDC, false}, {'|', 0xDC, true}, {']', 0xDD, false}, {'}', 0xDD, true},
                                {'\'', 0xDE, false}, {'"', 0xDE, true}, {' ', VK_SPACE, false},
                                {'\r', VK_RETURN, false}, {'\n', VK_RETURN, false}, {'\t', VK_TAB, false}};
    for (char c : text) {
        int vk = 0;
        bool shift = false;
        if (c >= 'a' && c <= 'z') vk = c - 'a' + 'A';
        else if (c >= 'A' && c <= 'Z') {
            vk = c;
            shift = true;
        } else if (c >= '0' && c <= '9') vk = c;
        else if (auto p = shiftedDigits.find(c); p != std::string::npos) {
            vk = static_cast<int>('0' + p);
            shift = true;
        } else {
            for (const Key& k : punct)
                if (k.c == c) {
                    vk = k.vk;
                    shift = k.shift;
                }
        }
        if (!vk) continue;  // not on the keyboard we simulate
        if (shift) KeyDown(VK_SHIFT);
        PressKey(vk);
        if (shift) KeyUp(VK_SHIFT);
    }
}

int HeadlessDisplay::PumpUntilIdle(int maxMessages)
{
    int count = 0;
    MSG msg;
    while (count < maxMessages) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) break;
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // left for the program's own loop
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        ++count;
    }
    return count;
}

namespace {

// The constant alpha of a layered window with LWA_ALPHA, else 255.
unsigned LayeredAlpha(const detail::Window* w)
{
    if (!(w->exStyle & WS_EX_LAYERED)) return 255;
    for (const auto& [name, value] : w->props) {
        if (name != kLayeredAttributesProp) continue;
        const auto packed = reinterpret_cast<std::uintptr_t>(value);
        return (packed >> 8) & 0x02 ? static_cast<unsigned>(packed & 0xFF) : 255;
    }
    return 255;
}

unsigned ScaleByte(unsigned v, unsigned a) { return (v * a * 2 + 255) / 510; }

// The drawing layer's constant-alpha blend of src over dst.
std::uint32_t Blend(std::uint32_t src, std::uint32_t dst, unsigned alpha)
{
    if (alpha >= 255) return src;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        unsigned v = ScaleByte((dst >> shift) & 0xFF, 255 - alpha) + ScaleByte((src >> shift) & 0xFF, alpha);
        out |= static_cast<std::uint32_t>(std::min(255u, v)) << shift;
    }
    return out;
}

bool CoversPixel(const detail::Window* w, int sx, int sy, int& lx, int& ly)
{
    if (!(w->style & WS_VISIBLE) || !w->surface) return false;
    lx = sx - w->window.left;
    ly = sy - w->window.top;
    if (!w->surface->Contains(lx, ly)) return false;
    return !w->shapeRegion || PtInRegion(w->shapeRegion, lx, ly);
}

}  // namespace

gfx::Surface HeadlessDisplay::CaptureScreen() const
{
    gfx::Surface screen(size_.cx, size_.cy);
    screen.Fill(desktopColour);
    auto& tops = S().topLevels;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        detail::Window* w = *it;
        if (!(w->style & WS_VISIBLE) || !w->surface) continue;
        const gfx::Surface& s = *w->surface;
        const unsigned alpha = LayeredAlpha(w);
        for (int y = 0; y < s.Height(); ++y) {
            int sy = w->window.top + y;
            if (sy < 0 || sy >= size_.cy) continue;
            for (int x = 0; x < s.Width(); ++x) {
                int sx = w->window.left + x;
                if (sx < 0 || sx >= size_.cx) continue;
                if (w->shapeRegion && !PtInRegion(w->shapeRegion, x, y)) continue;
                screen.Set(sx, sy, Blend(s.At(x, y), screen.At(sx, sy), alpha));
            }
        }
    }
    return screen;
}

// Composites from the topmost opaque window down to the point's pixel, so
// translucent windows blend over what lies below them.
std::uint32_t HeadlessDisplay::ScreenPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= size_.cx || y >= size_.cy) return 0xFFFFFFFF;
    std::vector<const detail::Window*> covering;
    std::uint32_t pixel = desktopColour & 0x00FFFFFF;
    for (const detail::Window* w : S().topLevels) {
        int lx = 0;
        int ly = 0;
        if (!CoversPixel(w, x, y, lx, ly)) continue;
        covering.push_back(w);
        if (LayeredAlpha(w) >= 255) break;
    }
    for (auto it = covering.rbegin(); it != covering.rend(); ++it) {
        int lx = 0;
        int ly = 0;
        CoversPixel(*it, x, y, lx, ly);
        pixel = Blend((*it)->surface->At(lx, ly) & 0x00FFFFFF, pixel, LayeredAlpha(*it));
    }
    return pixel;
}

std::uint32_t HeadlessDisplay::ClientPixel(HWND hwnd, int x, int y) const
{
    detail::Window* w = detail::Find(hwnd);
    if (!w) return 0xFFFFFFFF;
    detail::Window* top = detail::TopLevelOf(w);
    if (!top->surface) return 0xFFFFFFFF;
    POINT o = detail::ClientOrigin(w);
    POINT t = detail::WindowOrigin(top);
    int sx = x + o.x - t.x;
    int sy = y + o.y - t.y;
    if (x < 0 || y < 0 || x >= w->client.right - w->client.left || y >= w->client.bottom - w->client.top) return 0xFFFFFFFF;
    if (!top->surface->Contains(sx, sy)) return 0xFFFFFFFF;
    return top->surface->At(sx, sy) & 0x00FFFFFF;
}

bool HeadlessDisplay::DumpPng(const std::string& path) const { return WritePng(CaptureScreen(), path); }

namespace {

std::uint32_t Crc(const std::uint8_t* data, std::size_t n, std::uint32_t crc = 0xFFFFFFFFu)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

void Chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data)
{
    PutBe32(out, static_cast<std::uint32_t>(data.size()));
    std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, Crc(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}

}  // namespace

bool WritePng(const gfx::Surface& surface, const std::string& path)
{
    if (surface.Empty()) return false;
    const auto width = static_cast<std::uint32_t>(surface.Width());
    const auto height = static_cast<std::uint32_t>(surface.Height());
    std::vector<std::uint8_t> raw;
    raw.reserve((width * 3 + 1) * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint32_t p = surface.At(static_cast<int>(x), static_cast<int>(y));
            raw.push_back(static_cast<std::uint8_t>(p >> 16));
            raw.push_back(static_cast<std::uint8_t>(p >> 8));
            raw.push_back(static_cast<std::uint8_t>(p));
        }
    }
    // zlib stream of stored blocks: no compressor needed.
    std::vector<std::uint8_t> z{0x78, 0x01};
    std::size_t pos = 0;
    do {
        std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(n));
        z.push_back(static_cast<std::uint8_t>(n >> 8));
        z.push_back(static_cast<std::uint8_t>(~n));
        z.push_back(static_cast<std::uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos), raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBe32(z, (b << 16) | a);

    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    PutBe32(ihdr, width);
    PutBe32(ihdr, height);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    Chunk(out, "IHDR", ihdr);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", {});
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f) return false;
    return std::fwrite(out.data(), 1, out.size(), f.get()) == out.size();
}

}  // namespace quelvo::win
