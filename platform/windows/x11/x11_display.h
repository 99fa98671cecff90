#pragma once
// The real desktop: an X11 display backend. Every visible top-level window
// is one X window showing the window's surface (drawn by our rasteriser,
// presented with shared-memory images where the server allows); child
// windows stay ours. Framed windows get the desktop's frame around their
// inner part, captionless popups are override-redirect windows, layered
// windows translucent ones. X input becomes the layer's raw input; the
// window manager's activation, moves, sizes and close requests become the
// usual messages. Xlib stays inside the source files.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/display.h"

namespace quelvo::win::x11 {

class X11Display : public DisplayBackend {
public:
    // Connects to the named display (nullptr or "": $DISPLAY). Returns null
    // with the reason in *error when the server cannot be reached.
    static std::unique_ptr<X11Display> Open(const std::string& name = {}, std::string* error = nullptr);
    ~X11Display() override;
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    SIZE ScreenSize() const override;
    void WindowChanged(HWND hwnd) override;
    void CursorChanged(HCURSOR cursor) override;

    // Screen facts beyond the screen size.
    RECT WorkArea() const override;               // _NET_WORKAREA, else the screen
    std::vector<RECT> Monitors() const override;  // RandR monitors (primary first), else the screen

    // From the desktop's settings (XSETTINGS); 0 when not given. The
    // double-click time is applied to the window layer directly.
    int DragThreshold() const override;
    int DoubleClickDistance() const override;

    // Warps the real pointer; hides it with an invisible cursor.
    void PointerMoved(POINT pt) override;
    void PointerVisible(bool visible) override;
    bool PointerPosition(POINT& out) const override;
    // Rings the server's bell at its base volume.
    void Beep() override;

    // The X window showing a top-level window (0 when it has none).
    unsigned long XWindowOf(HWND hwnd) const;
    // Reads and handles every X event that has arrived, then presents what
    // changed. The message loop does this by itself; tests call it while
    // waiting for another client.
    void Dispatch();
    // Presents every changed window now and waits until the server has it.
    void Flush();

    // The CLIPBOARD selection. Offering replaces what this program offered
    // before; each item is served under its type name ("UTF8_STRING",
    // "image/png", ...). Reading asks the owner (another program or this
    // one) and waits up to timeoutMs.
    struct ClipboardItem {
        std::string type;
        std::string data;
    };
    bool OfferClipboard(std::vector<ClipboardItem> items);
    // Called when another client takes the CLIPBOARD selection from us.
    void SetClipboardLostHandler(std::function<void()> handler);
    bool ReadClipboard(const std::string& type, std::string& out, int timeoutMs = 1000);
    std::vector<std::string> ClipboardTypes(int timeoutMs = 1000);

    struct Impl;
    // For the display's own source files only.
    Impl& Internal() const { return *impl_; }

private:
    explicit X11Display(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// Installs the X11 display when $DISPLAY names a reachable server; keeps
// the headless display otherwise (and says why on standard error when
// $DISPLAY was set). Returns whether the X11 display is in use.
bool UseDesktopDisplay();

// The X11 display in use, or null.
X11Display* CurrentX11Display();

// Text on the desktop clipboard through the X11 display in use; false
// without one.
bool SetClipboardText(const std::string& utf8);
bool GetClipboardText(std::string& utf8, int timeoutMs = 1000);

}  // namespace quelvo::win::x11
