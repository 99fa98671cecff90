#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <filesystem>

#include "platform/controls/winctl.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace visualtest {

Trace& Log()
{
    static Trace trace;
    return trace;
}

void Note(const TComponent* c, const std::string& what) { Log().push_back(c->Name() + " " + what); }

std::string MouseNote(const char* what, TMouseButton b, TShiftState s, int x, int y)
{
    std::string note = std::string(what) + (b == mbLeft ? "L" : b == mbRight ? "R" : "M");
    if (s.Contains(ssDouble)) note += " double";
    if (x >= 0) note += " " + std::to_string(x) + "," + std::to_string(y);
    return note;
}

TClass TTraceControl::StaticClass() { return DefineClass<TTraceControl, TCustomControl>("TTraceControl"); }

void TTraceControl::Construct(TComponent* owner)
{
    TCustomControl::Construct(owner);
    SetTabStop(true);
}

void TTraceControl::Dispatch(TMessage& m)
{
    if (m.Msg == WM_GETDLGCODE) {
        m.Result = dlgCode;
        return;
    }
    TCustomControl::Dispatch(m);
}

void TTraceControl::KeyDown(WORD& key, TShiftState shift)
{
    Note(this, "key " + std::to_string(key));
    TCustomControl::KeyDown(key, shift);
}
void TTraceControl::KeyPress(char& key)
{
    Note(this, std::string("char ") + key);
    TCustomControl::KeyPress(key);
}
void TTraceControl::DoEnter()
{
    Note(this, "enter");
    TCustomControl::DoEnter();
}
void TTraceControl::DragCanceled()
{
    Note(this, "drag canceled");
    TCustomControl::DragCanceled();
}

void TTraceControl::DoExit()
{
    Note(this, "exit");
    TCustomControl::DoExit();
}
void TTraceControl::Paint()
{
    if (throwInPaint) {
        Note(this, "paint");
        throw Exception("paint failed");
    }
    TTraced::Paint();
}

TClass TTraceLabel::StaticClass() { return DefineClass<TTraceLabel, TGraphicControl>("TTraceLabel"); }

TClass TTestButton::StaticClass() { return DefineClass<TTestButton, TTraceControl>("TTestButton"); }

void TTestButton::Dispatch(TMessage& m)
{
    if (m.Msg == CM_DIALOGKEY) {
        if ((m.WParam == static_cast<WPARAM>(VK_RETURN) && isDefault) ||
            (m.WParam == static_cast<WPARAM>(VK_ESCAPE) && isCancel)) {
            Click();
            m.Result = 1;
        }
        return;
    }
    if (m.Msg == CM_DIALOGCHAR) {
        if (IsAccel(static_cast<WORD>(m.WParam), Caption()) && CanFocus()) {
            Click();
            m.Result = 1;
        }
        return;
    }
    TTraceControl::Dispatch(m);
}

void TTestButton::Click()
{
    if (modalResult != mrNone)
        if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult);
    TTraceControl::Click();
}

// ---- fixture ------------------------------------------------------------------

void VisualTest::SetUp()
{
    quelvo::win::ResetWindowManager();
    char tmpl[] = "/tmp/quelvo-visual-XXXXXX";
    folder_ = mkdtemp(tmpl);
    quelvo::win::SetRuntimeFolder(folder_);
    scope_ = std::make_unique<quelvo::sys::ClockScope>(clock_);
    quelvo::ctl::InitControls();
    quelvo::ctl::AllowModalOnHeadlessDisplay(true);
    Log().clear();
    InitVisualLibrary();
    Application->SetTitle("Visual");
    Application->SetMessageBoxResponder([this](const std::string& text, const std::string& caption, UINT flags) {
        boxes.push_back(Box{text, caption, flags});
        return IDOK;
    });
    Screen().MoveMouse(POINT{1200, 1000});
}

void VisualTest::TearDown()
{
    TPopupMenu::SetTracker(nullptr);
    DoneVisualLibrary();
    quelvo::ctl::AllowModalOnHeadlessDisplay(false);
    quelvo::win::ResetWindowManager();
    scope_.reset();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
    quelvo::win::SetRuntimeFolder("");
}

void VisualTest::Pump()
{
    for (int i = 0; i < 20; ++i) {
        Application->ProcessMessages();
        Application->DoIdle();
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) break;
    }
}

void VisualTest::Advance(std::uint64_t ms)
{
    clock_.Advance(ms);
    Pump();
}

TForm* VisualTest::NewForm(int width, int height)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetName("Form" + std::to_string(hostlib::Screen->FormCount()));
    // A caption bar and a sizing frame, as users see forms: input is aimed
    // at controls by their client positions inside them.
    form->SetBorderStyle(bsSizeable);
    form->SetBounds(10, 10, width, height);
    return form;
}

void VisualTest::ClickAt(TControl* c, int x, int y)
{
    Screen().Click(At(c, x, y));
    Pump();
}

void VisualTest::Key(int vk)
{
    Screen().PressKey(vk);
    Pump();
}

void VisualTest::KeyWith(int modifier, int vk)
{
    Screen().KeyDown(modifier);
    Screen().PressKey(vk);
    Screen().KeyUp(modifier);
    Pump();
}

}  // namespace visualtest
