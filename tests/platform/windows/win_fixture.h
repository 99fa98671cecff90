#pragma once
// Shared fixture of the window-layer tests: a clean window manager, a
// manual clock, a headless screen, and a window procedure that records the
// messages its windows receive by name.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/system/clock.h"
#include "platform/windows/display.h"
#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"

namespace wintest {

std::string MessageName(UINT msg);

// What each recorded window answers to a few messages, by window name.
struct Answers {
    std::map<UINT, LRESULT> byMessage;
};

class Recorder {
public:
    void Name(HWND hwnd, const std::string& name) { names_[hwnd] = name; }
    std::string NameOf(HWND hwnd) const;
    void Add(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Log entries whose message is in `keep` ("name WM_X" or, for focus and
    // activation messages, "name WM_X other").
    std::vector<std::string> Only(const std::set<std::string>& keep) const;
    const std::vector<std::string>& All() const { return log_; }
    void Clear() { log_.clear(); }
    std::map<std::string, Answers> answers;

private:
    std::map<HWND, std::string> names_;
    std::vector<std::string> log_;
};

Recorder& Rec();

// Registered by the fixture: "rec" (CS_DBLCLKS) and "plain" (no double clicks).
LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

class WinTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND Make(const std::string& name, DWORD style, int x, int y, int w, int h, HWND parent = nullptr,
              int id = 0, DWORD exStyle = 0, const char* cls = "rec");
    quelvo::win::HeadlessDisplay& Screen() { return quelvo::win::Headless(); }
    int Pump() { return Screen().PumpUntilIdle(); }
    void Advance(std::uint64_t ms)
    {
        clock_.Advance(ms);
        Pump();
    }

    quelvo::sys::ManualClock clock_{100000};

private:
    std::unique_ptr<quelvo::sys::ClockScope> scope_;
    std::string folder_;
};

}  // namespace wintest
