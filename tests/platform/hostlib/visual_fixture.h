#pragma once
// Shared fixture of the visual host-library tests: a clean window manager
// on the headless display, a manual clock, the application objects, a
// message-box responder that records, and a trace of what controls did.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/hostlib/controls.h"
#include "platform/hostlib/forms.h"
#include "platform/system/clock.h"
#include "platform/windows/display.h"

namespace visualtest {

using Trace = std::vector<std::string>;
Trace& Log();

struct Box {
    std::string text;
    std::string caption;
    UINT flags = 0;
};

// A windowed control that records its mouse, key, focus and paint
// events as "<name> <event>".
class TTraceControl : public hostlib::TCustomControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    bool throwInPaint = false;
    LRESULT dlgCode = 0;

protected:
    void Dispatch(hostlib::TMessage& m) override;
    void MouseDown(hostlib::TMouseButton b, hostlib::TShiftState s, int x, int y) override;
    void MouseUp(hostlib::TMouseButton b, hostlib::TShiftState s, int x, int y) override;
    void Click() override;
    void DblClick() override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void DoExit() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Paint() override;
};

// A graphic control that records the same events.
class TTraceLabel : public hostlib::TGraphicControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

protected:
    void MouseDown(hostlib::TMouseButton b, hostlib::TShiftState s, int x, int y) override;
    void MouseUp(hostlib::TMouseButton b, hostlib::TShiftState s, int x, int y) override;
    void Click() override;
    void DblClick() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Paint() override;
};

// A push button: Enter clicks the default one, Escape the cancel one,
// Alt+its accelerator clicks it; a click sets the form's ModalResult.
class TTestButton : public TTraceControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool isDefault = false;
    bool isCancel = false;
    hostlib::TModalResult modalResult = hostlib::mrNone;

protected:
    void Dispatch(hostlib::TMessage& m) override;
    void Click() override;
};

class VisualTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    quelvo::win::HeadlessDisplay& Screen() { return quelvo::win::Headless(); }
    // Messages, then the idle step, until quiet.
    void Pump();
    void Advance(std::uint64_t ms);
    hostlib::TForm* NewForm(int width = 300, int height = 200);
    template <class T>
    T* Add(hostlib::TWinControl* parent, const std::string& name, int x, int y, int w, int h)
    {
        T* c = hostlib::CreateObject<T>(parent);
        c->SetName(name);
        c->SetBounds(x, y, w, h);
        c->SetParent(parent);
        return c;
    }
    POINT At(hostlib::TControl* c, int x = 5, int y = 5) { return c->ClientToScreen(POINT{x, y}); }
    void ClickAt(hostlib::TControl* c, int x = 5, int y = 5);
    void Key(int vk);
    void KeyWith(int modifier, int vk);

    std::vector<Box> boxes;
    quelvo::sys::ManualClock clock_{100000};

private:
    std::unique_ptr<quelvo::sys::ClockScope> scope_;
    std::string folder_;
};

}  // namespace visualtest
