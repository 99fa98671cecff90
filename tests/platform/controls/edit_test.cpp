// The EDIT control driven by synthetic keys and mouse: typing, selection,
// limits, undo, the clipboard, notifications, multi-line queries; and the
// caret and clipboard functions beneath it.
#include <cstring>
#include <memory>

#include "ctl_fixture.h"

namespace quelvo::ctl::detail {
bool CaretDrawn();
}

namespace ctltest {
namespace {

struct Step {
    int vk = 0;           // key to press when text is null
    const char* text = nullptr;
    bool shift = false;
    bool ctrl = false;
};
Step T(const char* text) { return Step{0, text}; }
Step K(int vk, bool shift = false, bool ctrl = false) { return Step{vk, nullptr, shift, ctrl}; }

class EditTest : public CtlTest {
protected:
    HWND MakeEdit(DWORD style = ES_AUTOHSCROLL, const char* text = "", int w = 200, int h = 24)
    {
        HWND e = MakeChild("EDIT", text, style | WS_BORDER, 10, 10, w, h, 30);
        SetFocus(e);
        Pump();
        return e;
    }
    void Do(HWND, const std::vector<Step>& steps)
    {
        for (const Step& s : steps) {
            if (s.text) {
                Screen().TypeText(s.text);
            } else {
                if (s.shift) Screen().KeyDown(VK_SHIFT);
                if (s.ctrl) Screen().KeyDown(VK_CONTROL);
                Screen().PressKey(s.vk);
                if (s.ctrl) Screen().KeyUp(VK_CONTROL);
                if (s.shift) Screen().KeyUp(VK_SHIFT);
            }
            Pump();
        }
    }
    static std::string Text(HWND e)
    {
        char buf[256];
        GetWindowTextA(e, buf, sizeof buf);
        return buf;
    }
    static std::pair<DWORD, DWORD> Sel(HWND e)
    {
        DWORD s = 0, t = 0;
        SendMessageA(e, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&t));
        return {s, t};
    }
    static void Select(HWND e, int s, int t) { SendMessageA(e, EM_SETSEL, static_cast<WPARAM>(s), t); }
};

TEST_F(EditTest, TypingAndMovingBySelection)
{
    struct Case {
        const char* name;
        DWORD style;
        const char* initial;
        int selStart, selEnd;
        std::vector<Step> steps;
        const char* text;
        DWORD expStart, expEnd;
    };
    // "a", "é" (2 bytes), "€" (3 bytes), "b": boundaries 0 1 3 6 7.
    const char* mixed = "a\xC3\xA9\xE2\x82\xAC" "b";
    const std::vector<Case> cases = {
        {"type into empty", 0, "", 0, 0, {T("hello")}, "hello", 5, 5},
        {"typing replaces the selection", 0, "hello world", 0, 5, {T("bye")}, "bye world", 3, 3},
        {"shift+home selects to the start", 0, "hello world", 11, 11, {K(VK_HOME, true)}, "hello world", 0, 11},
        {"ctrl+left moves by word", 0, "hello world", 11, 11, {K(VK_LEFT, false, true)}, "hello world", 6, 6},
        {"ctrl+shift+right extends by words", 0, "one two three", 0, 0, {K(VK_RIGHT, true, true), K(VK_RIGHT, true, true)},
         "one two three", 0, 8},
        {"left collapses a selection to its start", 0, "abcdef", 1, 4, {K(VK_LEFT)}, "abcdef", 1, 1},
        {"right collapses to its end", 0, "abcdef", 1, 4, {K(VK_RIGHT)}, "abcdef", 4, 4},
        {"backspace", 0, "abc", 3, 3, {K(VK_BACK)}, "ab", 2, 2},
        {"delete", 0, "abc", 0, 0, {K(VK_DELETE)}, "bc", 0, 0},
        {"delete the selection", 0, "abcdef", 1, 4, {K(VK_DELETE)}, "aef", 1, 1},
        {"end then type", 0, "abc", 0, 0, {K(VK_END), T("d")}, "abcd", 4, 4},
        {"whole characters left", 0, mixed, 7, 7, {K(VK_LEFT), K(VK_LEFT)}, mixed, 3, 3},
        {"whole characters back", 0, mixed, 6, 6, {K(VK_BACK)}, "a\xC3\xA9" "b", 3, 3},
        {"selection snaps to characters", 0, mixed, 2, 5, {K(VK_DELETE)}, "a\xE2\x82\xAC" "b", 1, 1},
        {"number only", ES_NUMBER, "", 0, 0, {T("1a2-")}, "12", 2, 2},
        {"upper case", ES_UPPERCASE, "", 0, 0, {T("abC")}, "ABC", 3, 3},
        {"lower case", ES_LOWERCASE, "", 0, 0, {T("AbC")}, "abc", 3, 3},
        {"read only refuses", ES_READONLY, "keep", 4, 4, {T("x"), K(VK_BACK), K(VK_DELETE)}, "keep", 4, 4},
        {"enter does nothing on one line", 0, "ab", 2, 2, {K(VK_RETURN)}, "ab", 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND e = MakeEdit(ES_AUTOHSCROLL | c.style, c.initial);
        Select(e, c.selStart, c.selEnd);
        Do(e, c.steps);
        EXPECT_EQ(Text(e), c.text);
        EXPECT_EQ(Sel(e), std::make_pair(c.expStart, c.expEnd));
        DestroyWindow(e);
    }
}

TEST_F(EditTest, CharactersArriveAsBytesOrWhole)
{
    HWND e = MakeEdit();
    // "é" as two byte messages, a stray continuation byte, "€" as a character.
    for (WPARAM c : {WPARAM{'a'}, WPARAM{0xC3}, WPARAM{0xA9}, WPARAM{0x82}, WPARAM{0x20AC}, WPARAM{0x1F600}})
        SendMessageA(e, WM_CHAR, c, 1);
    EXPECT_EQ(Text(e), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    // A lead byte left without its rest is dropped by the next plain character.
    SendMessageA(e, WM_CHAR, 0xE2, 1);
    SendMessageA(e, WM_CHAR, 'b', 1);
    EXPECT_EQ(Text(e), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80" "b");
    Do(e, {K(VK_LEFT), K(VK_LEFT), K(VK_BACK)});
    EXPECT_EQ(Text(e), "a\xC3\xA9\xF0\x9F\x98\x80" "b");
}

TEST_F(EditTest, LimitAndWhatReplaceSelectionKeeps)
{
    struct Case {
        int limit;
        const char* text;
        int selStart, selEnd;
        const char* replacement;
        const char* expected;
        bool maxText;
    } cases[] = {
        {5, "abc", 3, 3, "defgh", "abcde", true},
        {5, "abc", 0, 3, "123456789", "12345", true},
        {3, "ab", 1, 1, "\xE2\x82\xAC\xE2\x82\xAC", "a\xE2\x82\xAC" "b", true},  // the limit counts characters
        {5, "", 0, 0, "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4", "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4", false},
        {5, "abcd", 2, 2, "xyz", "abxcd", true},  // what follows the selection stays
        {5, "abc", 1, 2, "X", "aXc", false},
        {0, "abc", 3, 3, "defgh", "abcdefgh", false},  // 0: the largest limit
    };
    for (const Case& c : cases) {
        HWND e = MakeEdit(ES_AUTOHSCROLL, c.text);
        SendMessageA(e, EM_LIMITTEXT, static_cast<WPARAM>(c.limit), 0);
        Select(e, c.selStart, c.selEnd);
        H().log.clear();
        SendMessageA(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(c.replacement));
        EXPECT_EQ(Text(e), c.expected) << c.replacement;
        EXPECT_EQ(H().Commands(EN_MAXTEXT).size() == 1, c.maxText) << c.replacement;
        DestroyWindow(e);
    }
    HWND e = MakeEdit();
    EXPECT_EQ(SendMessageA(e, EM_GETLIMITTEXT, 0, 0), 32767);
    SendMessageA(e, EM_SETLIMITTEXT, 3, 0);
    EXPECT_EQ(SendMessageA(e, EM_GETLIMITTEXT, 0, 0), 3);
    Do(e, {T("abcdef")});
    EXPECT_EQ(Text(e), "abc");
    SetWindowTextA(e, "longer than the limit");  // setting the text ignores it
    EXPECT_EQ(Text(e), "longer than the limit");
}

TEST_F(EditTest, SingleLevelUndo)
{
    HWND e = MakeEdit();
    EXPECT_FALSE(SendMessageA(e, EM_CANUNDO, 0, 0));
    Do(e, {T("abc")});
    EXPECT_TRUE(SendMessageA(e, EM_CANUNDO, 0, 0));
    SendMessageA(e, WM_UNDO, 0, 0);
    EXPECT_EQ(Text(e), "");  // the typing went as one step
    SendMessageA(e, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(e), "abc");  // undoing the undo brings it back

    Do(e, {K(VK_LEFT), T("x")});
    EXPECT_EQ(Text(e), "abxc");
    SendMessageA(e, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(e), "abc");  // only the last step

    Do(e, {K(VK_END), K(VK_BACK)});
    SendMessageA(e, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(e), "abc");

    SendMessageA(e, EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_FALSE(SendMessageA(e, EM_CANUNDO, 0, 0));
    EXPECT_FALSE(SendMessageA(e, EM_UNDO, 0, 0));
    Do(e, {T("d")});
    SetWindowTextA(e, "new");
    EXPECT_FALSE(SendMessageA(e, EM_CANUNDO, 0, 0));
    SendMessageA(e, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("z"));
    EXPECT_FALSE(SendMessageA(e, EM_CANUNDO, 0, 0));
    SendMessageA(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("y"));
    SendMessageA(e, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(e), "znew");
}

TEST_F(EditTest, ClipboardMessagesAndKeys)
{
    HWND e = MakeEdit(ES_AUTOHSCROLL, "hello world");
    Select(e, 6, 11);
    SendMessageA(e, WM_COPY, 0, 0);
    EXPECT_EQ(quelvo::ctl::ClipboardText(), "world");
    SendMessageA(e, WM_CUT, 0, 0);
    EXPECT_EQ(Text(e), "hello ");
    Select(e, 0, 0);
    SendMessageA(e, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(e), "worldhello ");
    Select(e, 0, 5);
    SendMessageA(e, WM_CLEAR, 0, 0);
    EXPECT_EQ(Text(e), "hello ");
    SendMessageA(e, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(e), "worldhello ");

    // By keys: Ctrl+Insert copies, Shift+Delete cuts, Shift+Insert pastes.
    Select(e, 0, 5);
    Do(e, {K(VK_INSERT, false, true), K(VK_END), K(VK_INSERT, true)});
    EXPECT_EQ(Text(e), "worldhello world");
    Select(e, 0, 5);
    Do(e, {K(VK_DELETE, true)});
    EXPECT_EQ(Text(e), "hello world");
    EXPECT_EQ(quelvo::ctl::ClipboardText(), "world");

    struct Guard {
        DWORD style;
        const char* text;
        bool copies;
        bool cuts;
    } guards[] = {{ES_READONLY, "fixed", true, false}, {ES_PASSWORD, "secret", false, false}};
    for (const Guard& g : guards) {
        HWND x = MakeEdit(ES_AUTOHSCROLL | g.style, g.text);
        OpenClipboard(nullptr);
        EmptyClipboard();
        CloseClipboard();
        Select(x, 0, -1);
        SendMessageA(x, WM_COPY, 0, 0);
        EXPECT_EQ(quelvo::ctl::ClipboardText() == g.text, g.copies) << g.text;
        SendMessageA(x, WM_CUT, 0, 0);
        EXPECT_EQ(Text(x) == "", g.cuts) << g.text;
        DestroyWindow(x);
    }
    HWND digits = MakeEdit(ES_NUMBER, "1");
    ASSERT_TRUE(quelvo::ctl::SetClipboardText(nullptr, "2x3"));
    Select(digits, 1, 1);
    SendMessageA(digits, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(digits), "1");
}

// Clipboard keys arrive at the window procedure as clipboard messages, so
// a subclass sees them; the control's own handling stays behind them.
TEST_F(EditTest, ClipboardKeysBecomeMessagesToItself)
{
    static std::vector<UINT> seen;
    static WNDPROC original = nullptr;
    static bool swallow = false;
    auto spy = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_COPY || msg == WM_CUT || msg == WM_PASTE || msg == WM_UNDO) {
            seen.push_back(msg);
            if (swallow) return 0;
        }
        return CallWindowProcA(original, hwnd, msg, wParam, lParam);
    };
    struct Case {
        int vk;
        bool shift, ctrl;
        UINT message;
    } cases[] = {
        {'C', false, true, WM_COPY},       {'X', false, true, WM_CUT},
        {'V', false, true, WM_PASTE},      {'Z', false, true, WM_UNDO},
        {VK_INSERT, false, true, WM_COPY}, {VK_DELETE, true, false, WM_CUT},
        {VK_INSERT, true, false, WM_PASTE},
    };
    for (bool readOnly : {false, true}) {
        HWND e = MakeEdit(ES_AUTOHSCROLL | (readOnly ? ES_READONLY : 0), "abc");
        original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(e, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(static_cast<WNDPROC>(spy))));
        swallow = true;
        for (const Case& c : cases) {
            seen.clear();
            Select(e, 0, -1);
            Do(e, {K(c.vk, c.shift, c.ctrl)});
            ASSERT_EQ(seen.size(), 1u) << c.vk;
            EXPECT_EQ(seen[0], c.message) << c.vk;
            EXPECT_EQ(Text(e), "abc") << "the subclass kept it from the control";
        }
        swallow = false;
        ASSERT_TRUE(quelvo::ctl::SetClipboardText(nullptr, "z"));
        Select(e, 0, 1);
        Do(e, {K('V', false, true)});
        EXPECT_EQ(Text(e), readOnly ? "abc" : "zbc");
        DestroyWindow(e);
    }
}

TEST_F(EditTest, CaretIndexCountsCharactersAtTheMovedEnd)
{
    HWND e = MakeEdit(ES_AUTOHSCROLL, "a\xC3\xA9\xE2\x82\xAC" "b");
    struct Case {
        int anchor, caret;  // bytes
        LRESULT index;      // characters
    } cases[] = {{0, 0, 0}, {0, 3, 2}, {6, 1, 1}, {1, 7, 4}, {0, -1, 4}};
    for (const Case& c : cases) {
        Select(e, c.anchor, c.caret);
        EXPECT_EQ(SendMessageA(e, EM_GETCARETINDEX, 0, 0), c.index) << c.anchor << "," << c.caret;
    }
}

TEST_F(EditTest, NotificationsAndColours)
{
    HWND e = MakeEdit();
    EXPECT_EQ(H().Commands(EN_SETFOCUS), std::vector<WORD>{30});
    H().log.clear();
    Do(e, {T("a")});
    std::vector<WORD> codes;
    for (const Seen& s : H().log)
        if (s.msg == WM_COMMAND) codes.push_back(HIWORD(s.wParam));
    EXPECT_EQ(codes, (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
    EXPECT_GE(H().Count(WM_CTLCOLOREDIT), 1);
    EXPECT_TRUE(SendMessageA(e, EM_GETMODIFY, 0, 0));
    SendMessageA(e, EM_SETMODIFY, FALSE, 0);
    EXPECT_FALSE(SendMessageA(e, EM_GETMODIFY, 0, 0));
    H().log.clear();
    SetWindowTextA(e, "set");
    EXPECT_EQ(H().Commands(EN_CHANGE).size(), 1u);
    EXPECT_FALSE(SendMessageA(e, EM_GETMODIFY, 0, 0));
    H().log.clear();
    SendMessageA(e, EM_SETREADONLY, TRUE, 0);
    Pump();
    EXPECT_GE(H().Count(WM_CTLCOLORSTATIC), 1);
    SetFocus(host_);
    EXPECT_EQ(H().Commands(EN_KILLFOCUS), std::vector<WORD>{30});

    struct Code {
        DWORD style;
        int vk;
        LRESULT expected;
    } dlg[] = {
        {0, 'A', DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS},
        {ES_MULTILINE, 'A', DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS},
        {ES_MULTILINE, VK_RETURN, DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS},
        {ES_MULTILINE | ES_WANTRETURN, VK_RETURN, DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS},
        {ES_MULTILINE, VK_ESCAPE, DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS},
    };
    for (const Code& c : dlg) {
        HWND x = MakeChild("EDIT", "", c.style, 0, 100, 100, 40, 31);
        MSG m;
        m.hwnd = x;
        m.message = WM_KEYDOWN;
        m.wParam = static_cast<WPARAM>(c.vk);
        EXPECT_EQ(SendMessageA(x, WM_GETDLGCODE, m.wParam, reinterpret_cast<LPARAM>(&m)), c.expected) << c.style;
        DestroyWindow(x);
    }
}

TEST_F(EditTest, MultiLineQueriesAndKeys)
{
    HWND e = MakeEdit(ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL, "one\r\ntwo\r\nthree", 200, 40);
    EXPECT_EQ(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 3);
    struct Query {
        UINT msg;
        WPARAM wParam;
        LRESULT expected;
    } queries[] = {
        {EM_LINEINDEX, 0, 0},     {EM_LINEINDEX, 1, 5},      {EM_LINEINDEX, 2, 10}, {EM_LINEINDEX, 3, -1},
        {EM_LINELENGTH, 5, 3},    {EM_LINELENGTH, 12, 5},    {EM_LINELENGTH, 99, 0}, {EM_LINEFROMCHAR, 7, 1},
        {EM_LINEFROMCHAR, 4, 0},  {EM_LINEFROMCHAR, 15, 2},
    };
    for (const Query& q : queries) EXPECT_EQ(SendMessageA(e, q.msg, q.wParam, 0), q.expected) << q.msg << " " << q.wParam;
    char line[16];
    WORD size = sizeof line;
    std::memcpy(line, &size, sizeof size);
    LRESULT n = SendMessageA(e, EM_GETLINE, 2, reinterpret_cast<LPARAM>(line));
    EXPECT_EQ(std::string(line, static_cast<std::size_t>(n)), "three");
    size = 2;
    std::memcpy(line, &size, sizeof size);
    EXPECT_EQ(SendMessageA(e, EM_GETLINE, 2, reinterpret_cast<LPARAM>(line)), 2);  // cut to the buffer

    Select(e, 1, 1);
    Do(e, {K(VK_DOWN)});
    EXPECT_EQ(Sel(e).first, 6u);  // same column on the next line
    Do(e, {K(VK_END), K(VK_RETURN), T("x")});
    EXPECT_EQ(Text(e), "one\r\ntwo\r\nx\r\nthree");
    EXPECT_EQ(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 4);
    Do(e, {K(VK_LEFT), K(VK_LEFT)});
    EXPECT_EQ(Sel(e).first, 8u);  // a line break is one step

    // Scrolling: the first visible line follows the caret and EM_LINESCROLL.
    Do(e, {K(VK_END, false, true)});
    EXPECT_GT(SendMessageA(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SendMessageA(e, EM_LINESCROLL, 0, -10);
    EXPECT_EQ(SendMessageA(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(e, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 3);
    EXPECT_EQ(si.nPos, 0);
    SendMessageA(e, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(SendMessageA(e, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
    SendMessageA(e, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA)), 0);
    EXPECT_EQ(SendMessageA(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SendMessageA(e, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(SendMessageA(e, EM_GETFIRSTVISIBLELINE, 0, 0), 3);
    SendMessageA(e, WM_VSCROLL, SB_TOP, 0);
    SendMessageA(e, WM_VSCROLL, SB_LINEDOWN, 0);

    for (int pos : {5, 7, 10, 13, 15}) {  // lines from the first visible one on
        LRESULT p = SendMessageA(e, EM_POSFROMCHAR, static_cast<WPARAM>(pos), 0);
        LRESULT back = SendMessageA(e, EM_CHARFROMPOS, 0, MAKELPARAM(LOWORD(p) + 1, HIWORD(p) + 2));
        EXPECT_EQ(LOWORD(back), pos) << pos;
    }
    EXPECT_EQ(SendMessageA(e, EM_LINEFROMCHAR, 4, 0), 0);  // inside a line break: its line
    EXPECT_EQ(SendMessageA(e, EM_POSFROMCHAR, 500, 0), -1);

    // EM_SCROLL answers how many lines it moved; EM_SETRECT moves the text.
    SendMessageA(e, EM_LINESCROLL, 0, -10);
    EXPECT_EQ(SendMessageA(e, EM_SCROLL, SB_LINEDOWN, 0), MAKELONG(1, TRUE));
    EXPECT_EQ(SendMessageA(e, EM_SCROLL, SB_LINEUP, 0), MAKELONG(static_cast<WORD>(-1), TRUE));
    EXPECT_EQ(SendMessageA(e, EM_SCROLL, SB_THUMBTRACK, 0), FALSE);
    RECT inset{10, 4, 150, 40};
    Select(e, 0, 0);
    SendMessageA(e, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&inset));
    RECT got{};
    SendMessageA(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_TRUE(EqualRect(&got, &inset));
    LRESULT p0 = SendMessageA(e, EM_POSFROMCHAR, 0, 0);
    EXPECT_EQ(LOWORD(p0), 10);
    EXPECT_EQ(HIWORD(p0), 4);
}

TEST_F(EditTest, MultiLineTextWrapsAtTheWidth)
{
    HWND e = MakeEdit(ES_MULTILINE, "", 120, 200);
    std::string words = "alpha beta gamma delta epsilon zeta eta theta";
    SetWindowTextA(e, words.c_str());
    LRESULT lines = SendMessageA(e, EM_GETLINECOUNT, 0, 0);
    EXPECT_GT(lines, 2);
    std::string joined;
    for (LRESULT i = 0; i < lines; ++i) {
        LRESULT start = SendMessageA(e, EM_LINEINDEX, static_cast<WPARAM>(i), 0);
        LRESULT len = SendMessageA(e, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
        std::string line = words.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(len));
        if (i + 1 < lines) {
            EXPECT_EQ(line.back(), ' ') << line;  // broken after a blank
        }
        LRESULT first = SendMessageA(e, EM_POSFROMCHAR, static_cast<WPARAM>(start), 0);
        EXPECT_LE(static_cast<SHORT>(LOWORD(first)), 2);  // every line starts at the left
        joined += line;
    }
    EXPECT_EQ(joined, words);  // nothing lost, nothing added
    EXPECT_EQ(Text(e), words);

    // A word longer than the width is cut inside; a wider control needs fewer lines.
    SetWindowTextA(e, "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz");
    EXPECT_GT(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 1);
    SetWindowTextA(e, words.c_str());
    MoveWindow(e, 10, 10, 1000, 200, TRUE);
    EXPECT_EQ(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 1);
    // With sideways scrolling nothing wraps.
    HWND wide = MakeEdit(ES_MULTILINE | ES_AUTOHSCROLL, words.c_str(), 120, 200);
    EXPECT_EQ(SendMessageA(wide, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(EditTest, MouseSelectsByClickDragAndDoubleClick)
{
    HWND e = MakeEdit(ES_AUTOHSCROLL, "alpha beta gamma", 300);
    auto at = [&](int pos) {
        LRESULT p = SendMessageA(e, EM_POSFROMCHAR, static_cast<WPARAM>(pos), 0);
        return ScreenPoint(e, LOWORD(p) + 1, HIWORD(p) + 3);
    };
    Screen().Click(at(3));
    Pump();
    clock_.Advance(600);
    EXPECT_EQ(Sel(e), std::make_pair(3u, 3u));
    Screen().ButtonDown(at(2));
    Screen().MoveMouse(at(8));
    Screen().ButtonUp(at(8));
    Pump();
    clock_.Advance(600);
    EXPECT_EQ(Sel(e), std::make_pair(2u, 8u));
    EXPECT_EQ(GetCapture(), nullptr);
    Screen().DoubleClick(at(8));
    Pump();
    clock_.Advance(600);
    EXPECT_EQ(Sel(e), std::make_pair(6u, 10u));  // "beta"
    Screen().KeyDown(VK_SHIFT);
    Screen().Click(at(13));
    Screen().KeyUp(VK_SHIFT);
    Pump();
    EXPECT_EQ(Sel(e), std::make_pair(6u, 13u));
    clock_.Advance(600);

    // Held past the edge of a narrow field, the selection keeps growing.
    DestroyWindow(e);
    HWND narrow = MakeEdit(ES_AUTOHSCROLL, "one two three four five six seven eight nine ten", 60);
    Select(narrow, 0, 0);
    RECT r;
    GetClientRect(narrow, &r);
    Screen().ButtonDown(ScreenPoint(narrow, 2, r.bottom / 2));
    Screen().MoveMouse(ScreenPoint(narrow, r.right + 20, r.bottom / 2));
    Pump();
    DWORD before = Sel(narrow).second;
    Advance(60);
    Advance(60);
    Advance(60);
    EXPECT_EQ(Sel(narrow).second, before + 3);
    EXPECT_GT(SendMessageA(narrow, EM_POSFROMCHAR, 0, 0) & 0x8000, 0);  // scrolled: the start is off to the left
    Screen().ButtonUp(ScreenPoint(narrow, r.right + 20, r.bottom / 2));
    Pump();
    Advance(200);
    EXPECT_EQ(Sel(narrow).second, before + 3);  // no more after the release
}

TEST_F(EditTest, CaretFollowsAndBlinks)
{
    HWND e = MakeEdit(ES_AUTOHSCROLL, "abc");
    Select(e, 2, 2);
    Pump();
    POINT caret{};
    ASSERT_TRUE(GetCaretPos(&caret));
    LRESULT p = SendMessageA(e, EM_POSFROMCHAR, 2, 0);
    EXPECT_EQ(caret.x, LOWORD(p));
    EXPECT_EQ(caret.y, HIWORD(p));
    bool first = quelvo::ctl::detail::CaretDrawn();
    Advance(GetCaretBlinkTime());
    EXPECT_NE(quelvo::ctl::detail::CaretDrawn(), first);
    Advance(GetCaretBlinkTime());
    EXPECT_EQ(quelvo::ctl::detail::CaretDrawn(), first);
    // Hiding nests.
    EXPECT_TRUE(HideCaret(e));
    EXPECT_TRUE(HideCaret(e));
    EXPECT_FALSE(quelvo::ctl::detail::CaretDrawn());
    EXPECT_TRUE(ShowCaret(e));
    EXPECT_FALSE(quelvo::ctl::detail::CaretDrawn());
    EXPECT_TRUE(ShowCaret(e));
    EXPECT_TRUE(quelvo::ctl::detail::CaretDrawn());
    EXPECT_FALSE(ShowCaret(host_));  // not its caret
    SetFocus(host_);
    EXPECT_FALSE(GetCaretPos(&caret));  // destroyed with the focus
}

TEST_F(EditTest, EmptyRectangleKeepsFocusAndTyping)
{
    HWND e = MakeEdit(ES_AUTOHSCROLL, "", 0, 0);
    EXPECT_EQ(GetFocus(), e);
    Do(e, {T("ab"), K(VK_LEFT), T("x")});
    EXPECT_EQ(Text(e), "axb");
    EXPECT_EQ(GetFocus(), e);
    SendMessageA(e, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 1));
    EXPECT_EQ(SendMessageA(e, EM_GETMARGINS, 0, 0), MAKELONG(0, 1));
    SendMessageA(e, EM_SETPASSWORDCHAR, '#', 0);
    EXPECT_EQ(SendMessageA(e, EM_GETPASSWORDCHAR, 0, 0), '#');
    EXPECT_EQ(Text(e), "axb");
}

TEST_F(CtlTest, ClipboardStoresFormatsAndRefusesMisuse)
{
    EXPECT_EQ(SetClipboardData(CF_TEXT, GlobalAlloc(0, 2)), nullptr);  // not open
    ASSERT_TRUE(OpenClipboard(host_));
    EXPECT_FALSE(OpenClipboard(host_));  // already open
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardOwner(), host_);
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 6);
    std::memcpy(GlobalLock(text), "hello", 6);
    GlobalUnlock(text);
    EXPECT_EQ(SetClipboardData(CF_TEXT, text), text);
    EXPECT_EQ(SetClipboardData(CF_TEXT, reinterpret_cast<HANDLE>(0x1234)), nullptr);  // not a memory block
    UINT custom = RegisterClipboardFormatA("Quelvo Rule");
    EXPECT_GE(custom, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatA("quelvo rule"), custom);
    EXPECT_EQ(RegisterClipboardFormatA(""), 0u);
    HGLOBAL blob = GlobalAlloc(GHND, 3);
    EXPECT_EQ(SetClipboardData(custom, blob), blob);
    HBITMAP bmp = CreateBitmap(2, 2, 1, 32, nullptr);
    EXPECT_EQ(SetClipboardData(CF_BITMAP, bmp), bmp);
    EXPECT_EQ(CountClipboardFormats(), 3);
    EXPECT_EQ(GetClipboardData(CF_TEXT), text);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
    EXPECT_TRUE(IsClipboardFormatAvailable(custom));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));  // made from the bitmap on demand
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_METAFILEPICT));
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);  // closed
    EXPECT_EQ(quelvo::ctl::ClipboardText(), "hello");
    // Text without a terminating zero never reads past its block.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    EXPECT_EQ(GlobalSize(text), 0u);  // freed by emptying
    HGLOBAL raw = GlobalAlloc(GMEM_MOVEABLE, 3);
    std::memcpy(GlobalLock(raw), "abc", 3);
    GlobalUnlock(raw);
    SetClipboardData(CF_TEXT, raw);
    CloseClipboard();
    EXPECT_EQ(quelvo::ctl::ClipboardText(), "abc");

    // A bitmap is offered as a DIB too, and a DIB as a bitmap.
    const std::uint32_t pixels[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF};
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, CreateBitmap(2, 2, 1, 32, pixels));
    CloseClipboard();
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL dib = GetClipboardData(CF_DIB);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(GlobalSize(dib), sizeof(BITMAPINFOHEADER) + 16);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    EXPECT_EQ(header->biWidth, 2);
    EXPECT_EQ(header->biBitCount, 32);
    GlobalUnlock(dib);
    // Back again: a DIB alone gives a bitmap with its pixels.
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, GlobalSize(dib));
    std::memcpy(GlobalLock(copy), GlobalLock(dib), GlobalSize(dib));
    GlobalUnlock(copy);
    GlobalUnlock(dib);
    EmptyClipboard();
    SetClipboardData(CF_DIB, copy);
    auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(bitmap, nullptr);
    std::uint32_t back[4] = {};
    EXPECT_EQ(GetBitmapBits(bitmap, sizeof back, back), static_cast<LONG>(sizeof back));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(back[i] & 0xFFFFFF, pixels[i]) << i;
    // A DIB whose header promises more than the block holds gives nothing.
    EmptyClipboard();
    HGLOBAL bad = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + 4);
    BITMAPINFOHEADER lie;
    lie.biWidth = 1000;
    lie.biHeight = 1000;
    lie.biBitCount = 32;
    std::memcpy(GlobalLock(bad), &lie, sizeof lie);
    GlobalUnlock(bad);
    SetClipboardData(CF_DIB, bad);
    EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr);
    EmptyClipboard();
    CloseClipboard();

    struct Desktop : quelvo::ctl::ClipboardBackend {
        std::string* published;
        explicit Desktop(std::string* p) : published(p) {}
        void Published(const std::string& t) override { *published = t; }
        bool Fetch(std::string& t) override
        {
            t = "from desktop";
            return true;
        }
    };
    std::string published;
    quelvo::ctl::SetClipboardBackend(std::make_unique<Desktop>(&published));
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(quelvo::ctl::ClipboardText(), "from desktop");
    ASSERT_TRUE(quelvo::ctl::SetClipboardText(host_, "mine"));
    EXPECT_EQ(published, "mine");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(quelvo::ctl::SetClipboardText(host_, "while open elsewhere"));
    CloseClipboard();
    quelvo::ctl::SetClipboardBackend(nullptr);
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
}


// A desktop clipboard whose text the test changes behind the program's back.
class DesktopStandIn : public quelvo::ctl::ClipboardBackend {
public:
    explicit DesktopStandIn(std::string* desktop) : desktop_(desktop) {}
    void Published(const std::string& text) override { *desktop_ = text; }
    bool Fetch(std::string& text) override
    {
        if (desktop_->empty()) return false;
        text = *desktop_;
        return true;
    }

private:
    std::string* desktop_ = nullptr;
};

TEST_F(CtlTest, ClipboardFollowsTheDesktopOnceAnotherProgramTakesIt)
{
    std::string desktop;
    quelvo::ctl::SetClipboardBackend(std::make_unique<DesktopStandIn>(&desktop));
    ASSERT_TRUE(quelvo::ctl::SetClipboardText(host_, "ours"));
    EXPECT_EQ(desktop, "ours");
    desktop = "changed by the desktop without taking it";
    EXPECT_EQ(quelvo::ctl::ClipboardText(), "ours") << "while we own it, pastes stay in the process";

    struct Step {
        const char* what;
        std::string desktopText;
        bool taken;
        std::string expected;
    };
    const Step steps[] = {
        {"another program takes it", "theirs", true, "theirs"},
        {"and changes it again: fetched text is asked for anew", "theirs again", false, "theirs again"},
        {"and empties it", "", true, ""},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        desktop = s.desktopText;
        if (s.taken) quelvo::ctl::ClipboardTakenElsewhere();
        EXPECT_EQ(quelvo::ctl::ClipboardText(), s.expected);
        EXPECT_EQ(IsClipboardFormatAvailable(CF_TEXT) != FALSE, !s.expected.empty());
    }

    // Taken while open: the handles stay good until the clipboard closes.
    ASSERT_TRUE(quelvo::ctl::SetClipboardText(host_, "mine"));
    ASSERT_TRUE(OpenClipboard(host_));
    HANDLE held = GetClipboardData(CF_TEXT);
    ASSERT_NE(held, nullptr);
    desktop = "later";
    quelvo::ctl::ClipboardTakenElsewhere();
    EXPECT_EQ(GetClipboardData(CF_TEXT), held);
    EXPECT_EQ(GetClipboardOwner(), host_);
    CloseClipboard();
    EXPECT_EQ(GetClipboardOwner(), nullptr);
    EXPECT_EQ(quelvo::ctl::ClipboardText(), "later");

    // Taken while open, then filled again by the opener: ours stays.
    ASSERT_TRUE(OpenClipboard(host_));
    quelvo::ctl::ClipboardTakenElsewhere();
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(GlobalLock(text), "new", 4);
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    desktop = "elsewhere";
    EXPECT_EQ(quelvo::ctl::ClipboardText(), "new");

    quelvo::ctl::SetClipboardBackend(nullptr);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
}

}  // namespace
}  // namespace ctltest
