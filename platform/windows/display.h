#pragma once
// Display backends present top-level windows and feed input into the
// window manager. A backend with a connection (X11) registers its file
// descriptor with AddLoopSource (loop.h) and, when it is readable, turns
// what it reads into QueueMouseInput / QueueKeyInput calls; windows moved
// or resized from outside are placed with SetWindowPos. The headless display is the default when no display is
// configured and the one every test drives: a virtual screen on which the
// top-level windows are composited in z-order; synthetic input is injected
// at screen points.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/surface.h"
#include "platform/windows/windefs.h"

namespace quelvo::win {

// The window property holding a layered window's attributes: bit 16 set,
// the LWA_* flags in bits 8-15, the constant alpha in bits 0-7.
inline constexpr const char* kLayeredAttributesProp = "Quelvo.LayeredAttributes";

enum class MouseButton { Left, Right, Middle };

// Raw input as a backend reports it; the window manager turns it into
// window messages when the program retrieves it (hit test, capture,
// double clicks, activation, hooks).
struct MouseInput {
    enum class Kind { Move, Down, Up, Wheel } kind = Kind::Move;
    POINT pt{};                      // screen coordinates
    MouseButton button = MouseButton::Left;
    int wheelDelta = 0;              // multiples of WHEEL_DELTA
};

struct KeyInput {
    int vk = 0;
    bool down = true;
    bool extended = false;
    int repeat = 1;
};

// Queue input for the current thread's windows. Backends call these from
// their loop-source callbacks.
void QueueMouseInput(const MouseInput& input);
void QueueKeyInput(const KeyInput& input);

// The display moved the keyboard focus: to one of our top-level windows,
// or (null) to another program, which deactivates ours (WM_ACTIVATEAPP).
void ForegroundChangedByDisplay(HWND hwnd);

// The display maximised (or restored from maximised) one of our top-level
// windows: WS_MAXIMIZE follows and WM_SIZE says so; the size itself comes
// with the display's SetWindowPos.
void MaximizedByDisplay(HWND hwnd, bool maximized);

class DisplayBackend {
public:
    virtual ~DisplayBackend() = default;
    virtual SIZE ScreenSize() const = 0;
    // A top-level window was shown, hidden, moved, restacked or repainted;
    // the backend may present it at its leisure.
    // Read its surface with TopLevelSurface, its place with GetWindowRect,
    // its visibility with IsWindowVisible.
    virtual void WindowChanged(HWND hwnd) = 0;
    // A top-level window is going away; its surface is still readable.
    virtual void WindowDestroyed(HWND) {}
    // The cursor shape the program asked for: a standard cursor (see
    // StandardCursorId) or one made by the drawing layer's
    // CreateIconIndirect (its pixels through GetIconInfo); null hides it.
    virtual void CursorChanged(HCURSOR cursor) = 0;

    // Screen facts. By default one monitor covering the screen with no
    // panels; 0 from the settings means the desktop gives none and the
    // layer's own value holds.
    virtual RECT WorkArea() const;               // in screen coordinates
    virtual std::vector<RECT> Monitors() const;  // the primary first
    virtual int DragThreshold() const { return 0; }        // pixels either way
    virtual int DoubleClickDistance() const { return 0; }  // pixels either way

    // The program moved the pointer (SetCursorPos) or hid or showed it
    // (ShowCursor crossing zero).
    virtual void PointerMoved(POINT) {}
    virtual void PointerVisible(bool) {}
    // Where the pointer really is, for GetCursorPos; false when the
    // display cannot tell (the layer's last known place holds).
    virtual bool PointerPosition(POINT&) const { return false; }
    // MessageBeep: the display sounds its bell.
    virtual void Beep() {}
};

class HeadlessDisplay : public DisplayBackend {
public:
    SIZE ScreenSize() const override { return size_; }
    void WindowChanged(HWND) override {}
    void CursorChanged(HCURSOR cursor) override { cursor_ = cursor; }
    RECT WorkArea() const override;
    std::vector<RECT> Monitors() const override;
    int DragThreshold() const override { return dragThreshold_; }
    int DoubleClickDistance() const override { return doubleClickDistance_; }
    void PointerVisible(bool visible) override { pointerVisible_ = visible; }
    void Beep() override { ++beeps_; }

    void SetScreenSize(int width, int height);
    HCURSOR CurrentCursor() const { return cursor_; }
    // Desktop facts for tests; an empty work area or monitor list means the
    // whole screen again.
    void SetWorkArea(const RECT& area) { workArea_ = area; }
    void SetMonitors(std::vector<RECT> monitors) { monitors_ = std::move(monitors); }
    void SetDragThreshold(int pixels) { dragThreshold_ = pixels; }
    void SetDoubleClickDistance(int pixels) { doubleClickDistance_ = pixels; }
    bool PointerShown() const { return pointerVisible_; }
    // Beeps this display was asked for (it has no speaker; tests count).
    unsigned BeepCount() const { return beeps_; }

    // Synthetic input at screen points. Each call queues raw input; call
    // PumpUntilIdle to have it delivered.
    void MoveMouse(POINT pt);
    void ButtonDown(POINT pt, MouseButton button = MouseButton::Left);
    void ButtonUp(POINT pt, MouseButton button = MouseButton::Left);
    void Click(POINT pt, MouseButton button = MouseButton::Left);
    void DoubleClick(POINT pt, MouseButton button = MouseButton::Left);
    void Wheel(POINT pt, int delta);
    void KeyDown(int vk, int repeat = 1);
    void KeyUp(int vk);
    void PressKey(int vk);  // down then up
    // Types printable ASCII text as key strokes (shift where needed).
    void TypeText(const std::string& text);

    // Pumps posted, input, paint and due timer messages until none is left
    // (bounded, so a window that never validates cannot hang a test).
    // Returns the number of messages dispatched.
    int PumpUntilIdle(int maxMessages = 10000);

    // Composites every visible top-level window in z-order (desktop colour
    // behind) and returns the screen.
    gfx::Surface CaptureScreen() const;
    std::uint32_t ScreenPixel(int x, int y) const;  // 0x00RRGGBB
    // A window's pixels as they are in its top-level surface, in the
    // window's client coordinates, as 0x00RRGGBB. Returns 0xFFFFFFFF outside.
    std::uint32_t ClientPixel(HWND hwnd, int x, int y) const;
    bool DumpPng(const std::string& path) const;

    std::uint32_t desktopColour = 0x003A6EA5;

private:
    SIZE size_{1280, 1024};
    HCURSOR cursor_ = nullptr;
    RECT workArea_{};
    std::vector<RECT> monitors_;
    int dragThreshold_ = 0;
    int doubleClickDistance_ = 0;
    bool pointerVisible_ = true;
    unsigned beeps_ = 0;
};

// The display in use; a headless display is created on first use when no
// backend was installed.
DisplayBackend& Display();
void SetDisplay(std::unique_ptr<DisplayBackend> backend);
// The headless display, installing one when another backend is in use.
HeadlessDisplay& Headless();

// The IDC_ identifier of a standard cursor handle, 0 for others.
WORD StandardCursorId(HCURSOR cursor);

// The surface of a top-level window (nullptr for children and unknown
// windows); children draw into their top-level window's surface.
gfx::Surface* TopLevelSurface(HWND hwnd);

// Writes a surface as an uncompressed PNG file.
bool WritePng(const gfx::Surface& surface, const std::string& path);

}  // namespace quelvo::win
