#pragma once
// Fixture of the controls tests: a clean window manager with the control
// classes, a manual clock, the headless screen, and a parent window class
// whose procedure records notifications and can run a scripted action
// whenever a modal loop of the controls layer goes idle.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/winctl.h"
#include "platform/system/clock.h"
#include "platform/windows/display.h"
#include "platform/windows/loop.h"

namespace ctltest {

struct Seen {
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// What the "host" window procedure records and does.
struct Host {
    std::vector<Seen> log;
    // Run on WM_ENTERIDLE; each call pops the first action.
    std::vector<std::function<void()>> idle;
    // Answers to WM_MEASUREITEM / WM_DRAWITEM observed.
    std::vector<DRAWITEMSTRUCT> drawn;
    UINT measureHeight = 0;
    std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool&)> extra;

    int Count(UINT msg) const;
    std::vector<WORD> Commands(WORD code) const;  // WM_COMMAND notification codes
};
Host& H();

class CtlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND MakeHost(int x = 100, int y = 100, int w = 400, int h = 300);
    HWND MakeChild(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
                   DWORD exStyle = 0);
    quelvo::win::HeadlessDisplay& Screen() { return quelvo::win::Headless(); }
    int Pump() { return Screen().PumpUntilIdle(); }
    POINT ScreenPoint(HWND hwnd, int x, int y) const;
    void Click(HWND hwnd, int x, int y);
    void Keys(const std::vector<int>& vks);
    void Advance(std::uint64_t ms)
    {
        clock_.Advance(ms);
        Pump();
    }

    quelvo::sys::ManualClock clock_{500000};
    HWND host_ = nullptr;

private:
    std::unique_ptr<quelvo::sys::ClockScope> scope_;
    std::string folder_;
};

}  // namespace ctltest
