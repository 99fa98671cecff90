#pragma once
// Shared fixture of the visual host-library tests: a clean window manager
// on the headless display, a manual clock, the application objects, a
// message-box responder that records, and a trace of what controls did.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/hostlib/visual/controls.h"
#include "platform/hostlib/visual/forms.h"
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

void Note(const hostlib::TComponent* c, const std::string& what);
std::string MouseNote(const char* what, hostlib::TMouseButton b, hostlib::TShiftState s, int x, int y);

// Records the mouse and paint events of a control as "<name> <event>".
template <class Base>
class TTraced : public Base {
public:
    void Click() override
    {
        Note(this, "click");
        Base::Click();
    }

protected:
    void MouseDown(hostlib::TMouseButton b, hostlib::TShiftState s, int x, int y) override
    {
        Note(this, MouseNote("down", b, s, x, y));
        Base::MouseDown(b, s, x, y);
    }
    void MouseUp(hostlib::TMouseButton b, hostlib::TShiftState s, int x, int y) override
    {
        Note(this, MouseNote("up", b, {}, -1, -1));
        Base::MouseUp(b, s, x, y);
    }
    void DblClick() override
    {
        Note(this, "dblclick");
        Base::DblClick();
    }
    void MouseEnter() override
    {
        Note(this, "mouseenter");
        Base::MouseEnter();
    }
    void MouseLeave() override
    {
        Note(this, "mouseleave");
        Base::MouseLeave();
    }
    void Paint() override
    {
        Note(this, "paint");
        RECT r = this->ClientRect();
        this->Canvas()->Brush()->SetColor(this->Color());
        this->Canvas()->FillRect(r);
    }
};

// A windowed control that also records keys and focus.
class TTraceControl : public TTraced<hostlib::TCustomControl> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    bool throwInPaint = false;
    LRESULT dlgCode = 0;
    void DragCanceled() override;

protected:
    void Dispatch(hostlib::TMessage& m) override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void DoExit() override;
    void Paint() override;
};

// A graphic control that records the same mouse events.
class TTraceLabel : public TTraced<hostlib::TGraphicControl> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
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
