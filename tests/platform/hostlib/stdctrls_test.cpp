// Standard controls on the headless screen: when their change events fire,
// the mask edit's keys and the track bar's keys and mouse.

#include <functional>
#include <string>
#include <vector>

#include "platform/hostlib/comctrls.h"
#include "platform/hostlib/stdctrls.h"
#include "platform/windows/winuser.h"
#include "tests/platform/hostlib/visual_fixture.h"

using namespace hostlib;
using namespace visualtest;

namespace {

class StdCtrlsTest : public VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        form = NewForm(320, 200);
        edit = Add<TEdit>(form, "Edit1", 10, 10, 100, 21);
        mask = Add<TMaskEdit>(form, "Mask1", 10, 40, 40, 21);
        mask->SetEditMask("!99;1;0");
        mask->SetMaxLength(2);
        check = Add<TCheckBox>(form, "Check1", 10, 70, 100, 17);
        track = Add<TTrackBar>(form, "Track1", 10, 100, 200, 45);
        track->SetMax(100);
        form->Show();
        Pump();
        auto count = [this](const char* name) { return TNotifyEvent::FromFunction([this, name](TObject*) { events.push_back(name); }); };
        edit->OnChange = count("edit");
        mask->OnChange = count("mask");
        check->OnClick = count("check");
        track->OnChange = count("track");
    }

    void Type(TWinControl* c, const std::string& text)
    {
        c->SetFocus();
        Pump();
        Screen().TypeText(text);
        Pump();
    }

    TForm* form = nullptr;
    TEdit* edit = nullptr;
    TMaskEdit* mask = nullptr;
    TCheckBox* check = nullptr;
    TTrackBar* track = nullptr;
    std::vector<std::string> events;
};

}  // namespace

TEST_F(StdCtrlsTest, WhenChangeEventsFire)
{
    struct Step {
        const char* what;
        std::function<void()> run;
        std::vector<std::string> events;
        std::function<bool()> check;
    };
    const std::vector<Step> steps = {
        {"edit text set", [&] { edit->SetText("abc"); }, {"edit"}, [&] { return edit->Text() == "abc"; }},
        {"edit same text", [&] { edit->SetText("abc"); }, {}, [&] { return edit->Text() == "abc"; }},
        {"edit typing", [&] {
             edit->SetText("");
             events.clear();
             Type(edit, "xy");
         }, {"edit", "edit"}, [&] { return edit->Text() == "xy"; }},
        {"mask text set", [&] { mask->SetText("8"); }, {"mask"}, [&] { return mask->Text() == "08"; }},
        {"mask same shown text", [&] { mask->SetText("08"); }, {}, [&] { return mask->Text() == "08"; }},
        {"mask emptied", [&] { mask->SetText(""); }, {"mask"}, [&] { return mask->Text() == "00"; }},
        {"mask typing", [&] { Type(mask, "7"); }, {"mask"}, [&] { return mask->Text() == "07"; }},
        {"mask refused letter", [&] { Type(mask, "q"); }, {}, [&] { return mask->Text() == "07"; }},
        {"check set", [&] { check->SetChecked(true); }, {"check"}, [&] { return check->Checked(); }},
        {"check same", [&] { check->SetChecked(true); }, {}, [&] { return check->Checked(); }},
        {"check click", [&] { ClickAt(check); }, {"check"}, [&] { return !check->Checked(); }},
        {"track set", [&] { track->SetPosition(40); }, {"track"}, [&] { return track->Position() == 40; }},
        {"track same", [&] { track->SetPosition(40); }, {}, [&] { return track->Position() == 40; }},
        {"track clamped", [&] { track->SetPosition(500); }, {"track"}, [&] { return track->Position() == 100; }},
        {"track clamped again", [&] { track->SetPosition(101); }, {}, [&] { return track->Position() == 100; }},
        {"track max lowered", [&] { track->SetMax(60); }, {"track"}, [&] { return track->Position() == 60; }},
    };
    for (const Step& s : steps) {
        events.clear();
        s.run();
        EXPECT_EQ(events, s.events) << s.what;
        EXPECT_TRUE(s.check()) << s.what;
    }
}

TEST_F(StdCtrlsTest, MaskEditKeys)
{
    struct Case {
        const char* start;
        const char* typed;  // '<' is Backspace
        const char* shown;
    };
    const Case cases[] = {
        {"", "8", "08"},     {"", "123", "12"}, {"", "a9b", "09"}, {"45", "<", "04"},
        {"45", "<<<", "00"}, {"", "70", "70"},
    };
    for (const Case& c : cases) {
        mask->SetText(c.start);
        mask->SetFocus();
        Pump();
        mask->SetSelStart(2);  // caret at the end
        for (const char* p = c.typed; *p; ++p) {
            if (*p == '<') Screen().PressKey(VK_BACK);
            else Screen().TypeText(std::string(1, *p));
        }
        Pump();
        EXPECT_EQ(mask->Text(), c.shown) << c.start << " + " << c.typed;
    }
    // Typing over the selected text replaces it.
    mask->SetText("45");
    mask->SelectAll();
    Screen().TypeText("3");
    Pump();
    EXPECT_EQ(mask->Text(), "03");
    // Delete removes the character after the caret.
    mask->SetText("45");
    mask->SetSelStart(0);
    Key(VK_DELETE);
    EXPECT_EQ(mask->Text(), "05");
}

TEST_F(StdCtrlsTest, TrackBarKeysAndMouse)
{
    track->SetPageSize(10);
    track->SetPosition(50);
    track->SetFocus();
    Pump();
    struct Case {
        int vk;
        int position;
    };
    const Case cases[] = {{VK_RIGHT, 51}, {VK_LEFT, 50}, {VK_UP, 49}, {VK_DOWN, 50}, {VK_NEXT, 60}, {VK_PRIOR, 50},
                          {VK_END, 100},  {VK_RIGHT, 100}, {VK_HOME, 0}, {VK_LEFT, 0}, {VK_PRIOR, 0}};
    for (const Case& c : cases) {
        Key(c.vk);
        EXPECT_EQ(track->Position(), c.position) << c.vk;
    }
    events.clear();
    // A click right of the thumb pages towards it.
    ClickAt(track, 150, 10);
    EXPECT_EQ(track->Position(), 10);
    // Dragging the thumb to the far end.
    const RECT thumb = track->ThumbRect();
    const POINT from = track->ClientToScreen(POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
    Screen().ButtonDown(from);
    Screen().MoveMouse(track->ClientToScreen(POINT{400, from.y}));
    Screen().ButtonUp(track->ClientToScreen(POINT{400, from.y}));
    Pump();
    EXPECT_EQ(track->Position(), 100);
    EXPECT_EQ(events.front(), "track");
}
