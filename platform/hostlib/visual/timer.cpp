#include "platform/hostlib/visual/timer.h"

#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/property_set.h"
#include "platform/windows/winuser.h"

namespace hostlib {

namespace {
constexpr const char* kUtilClass = "HostUtilWindow";
constexpr const char* kMethodProp = "hostlib.method";

LRESULT UtilWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // A utility window ends with the object it serves, never on request:
    // close requests reach every top-level window of a program (signals,
    // other programs closing it).
    if (msg == WM_CLOSE) return 0;
    if (msg == WM_NCDESTROY) {
        delete static_cast<TWndMethod*>(RemovePropA(hwnd, kMethodProp));
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    auto* holder = static_cast<TWndMethod*>(GetPropA(hwnd, kMethodProp));
    if (!holder || !*holder) return DefWindowProcA(hwnd, msg, wParam, lParam);
    // A copy: the method may free its window (and the holder) meanwhile.
    TWndMethod method = *holder;
    TMessage m{msg, wParam, lParam, 0};
    try {
        method(m);
    } catch (...) {
        if (Application) Application->HandleException(nullptr);
    }
    return m.Result;
}
}  // namespace

HWND AllocateHWnd(TWndMethod method)
{
    WNDCLASSA existing;
    if (!GetClassInfoA(nullptr, kUtilClass, &existing)) {
        WNDCLASSA wc;
        wc.lpfnWndProc = &UtilWindowProc;
        wc.lpszClassName = kUtilClass;
        if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register the utility window class");
    }
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, kUtilClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                                nullptr);
    if (!hwnd) throw EOutOfResources("Error creating window");
    SetPropA(hwnd, kMethodProp, new TWndMethod(std::move(method)));
    return hwnd;
}

void DeallocateHWnd(HWND hwnd)
{
    if (!hwnd) return;
    delete static_cast<TWndMethod*>(RemovePropA(hwnd, kMethodProp));
    DestroyWindow(hwnd);
}

TClass TTimer::StaticClass()
{
    return DefineClass<TTimer, TComponent>("TTimer", [](ClassBuilder<TTimer>& b) {
        b.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
        b.Property("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000LL);
        b.EventProperty("OnTimer", &TTimer::OnTimer);
    });
}

void TTimer::Construct(TComponent* owner)
{
    TComponent::Construct(owner);
    window_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
    UpdateTimer();
}

void TTimer::Destroy()
{
    if (window_) {
        KillTimer(window_, 1);
        DeallocateHWnd(window_);
        window_ = nullptr;
    }
    TComponent::Destroy();
}

void TTimer::Loaded()
{
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::SetEnabled(bool value)
{
    SetIfChanged(enabled_, value, [this] { UpdateTimer(); });
}

void TTimer::SetInterval(unsigned value)
{
    SetIfChanged(interval_, value, [this] { UpdateTimer(); });
}

void TTimer::UpdateTimer()
{
    if (!window_) return;
    KillTimer(window_, 1);
    if (enabled_ && interval_ != 0 && !IsLoading()) {
        if (!SetTimer(window_, 1, interval_, nullptr)) throw EOutOfResources("Not enough timers available");
    }
}

void TTimer::WndProc(TMessage& m)
{
    if (m.Msg == WM_TIMER) {
        // The handler may free the timer: nothing of it is touched after.
        Timer();
        return;
    }
    m.Result = DefWindowProcA(window_, m.Msg, m.WParam, m.LParam);
}

}  // namespace hostlib
