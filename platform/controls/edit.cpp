// The "EDIT" class: single and multi-line text editing with selection, the
// caret, single-level undo, the clipboard and the EM_ messages. Positions
// are byte offsets into the UTF-8 text, always on character boundaries; the
// limit counts characters. Clipboard keys reach the clipboard as messages
// the control sends itself, so a subclass sees what the user asked for.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/controls/control_base.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/system/text_conversion.h"

namespace quelvo::ctl::detail {

namespace {

constexpr int kDefaultLimit = 32767;
constexpr int kMaxLimit = 0x7FFFFFFE;
constexpr UINT_PTR kDragTimer = 0xED17;

bool IsLead(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

bool IsWordChar(char c)
{
    auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isalnum(u) || c == '_';
}

// A character beyond the bytes, as UTF-8.
std::string FromCodePoint(UINT cp)
{
    std::u16string units;
    if (cp >= 0x10000 && cp < 0x110000) {
        cp -= 0x10000;
        units = {static_cast<char16_t>(0xD800 + (cp >> 10)), static_cast<char16_t>(0xDC00 + (cp & 0x3FF))};
    } else {
        units = {static_cast<char16_t>(cp)};
    }
    return quelvo::sys::NarrowText(units);
}

// The first count characters of a UTF-8 text.
std::string FirstChars(const std::string& text, long count)
{
    std::size_t end = 0;
    for (long seen = 0; end < text.size(); ++end) {
        if (IsLead(text[end]) && seen++ == count) break;
    }
    return text.substr(0, end);
}

int Utf8Length(unsigned char lead)
{
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
}

class Edit : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // One per message of Handle.
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    LRESULT OnCreate(LPARAM lParam);
    LRESULT OnSetText(LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(UINT msg, WPARAM wParam);
    LRESULT OnSize();
    LRESULT OnSetFocus();
    LRESULT OnKillFocus();
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDblClk(LPARAM lParam);
    LRESULT OnMouseMove(LPARAM lParam);
    LRESULT OnLButtonUp();
    LRESULT OnCaptureChanged();
    LRESULT OnTimer(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(WPARAM wParam);
    LRESULT OnMouseWheel(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnUndo();
    LRESULT OnGetSel(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetSel(WPARAM wParam, LPARAM lParam);
    LRESULT OnReplaceSel(WPARAM wParam, LPARAM lParam);
    LRESULT OnLimitText(WPARAM wParam);
    LRESULT OnSetReadOnly(WPARAM wParam);
    LRESULT OnEmptyUndoBuffer();
    LRESULT OnSetMargins(WPARAM wParam, LPARAM lParam);
    LRESULT OnLineIndex(WPARAM wParam);
    LRESULT OnLineLength(WPARAM wParam);
    LRESULT OnLineFromChar(WPARAM wParam);
    LRESULT OnGetLine(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetRect(LPARAM lParam);
    LRESULT OnSetRect(UINT msg, LPARAM lParam);
    LRESULT OnScroll(WPARAM wParam);
    LRESULT OnPosFromChar(WPARAM wParam);
    LRESULT OnCharFromPos(LPARAM lParam);
    LRESULT OnSetPasswordChar(WPARAM wParam);
    LRESULT OnLineScroll(LPARAM lParam);
    LRESULT EditMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    struct Line {
        int start = 0;      // byte offset of the line's first character
        int end = 0;        // byte offset of its break (or the text's end)
        bool soft = false;  // wrapped: the next line goes on without a break
    };

    bool Multi() const { return (Style() & ES_MULTILINE) != 0; }
    // Multi-line text wraps at the width unless it scrolls sideways.
    bool Wraps() const { return Multi() && !(Style() & (ES_AUTOHSCROLL | WS_HSCROLL)); }
    void Wrap(HDC dc, int start, int end, int width);
    bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }
    int SelMin() const { return std::min(anchor_, caret_); }
    int SelMax() const { return std::max(anchor_, caret_); }
    int Len() const { return static_cast<int>(text_.size()); }
    int Chars(int from, int to) const { return CharCount(text_.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from))); }
    void SendSelf(UINT msg) { SendMessageA(hwnd_, msg, 0, 0); }
    int Snap(int pos) const;
    int NextChar(int pos) const;
    int PrevChar(int pos) const;
    int WordLeft(int pos) const;
    int WordRight(int pos) const;

    // Layout.
    void Relayout();
    int LineOf(int pos) const;
    int LineHeightPx() const { return lineH_; }
    RECT Format() const;
    int VisibleLines() const;
    std::string Shown(int from, int to) const;  // password characters in place of text
    int XOf(int pos) const;                        // client x of a position
    POINT PosOf(int pos) const;                    // client point of a position
    int PosFromPoint(POINT pt) const;
    int LineStartX(const Line& line) const;

    // Changing the text.
    bool Replace(const std::string& insert, bool canUndo, bool byUser);
    void SetSel(int anchor, int caret, bool scroll = true);
    void MoveCaret(int pos, bool extend);
    void AfterChange(bool byUser);
    void BeginUndo(bool typing);
    void Undo();
    void Copy();
    void Cut();
    void Paste();
    void Clear();
    void ScrollToCaret();
    void UpdateCaret();
    void UpdateScrollBars();
    void VScroll(int lines);

    void OnChar(UINT ch);
    void OnKey(int vk);
    void Paint(HDC dc) override;
    LRESULT DlgCode(LPARAM lParam) const;

    std::string text_;
    int anchor_ = 0;
    int caret_ = 0;
    int limit_ = kDefaultLimit;
    bool modified_ = false;
    char password_ = 0;
    int leftMargin_ = 0;
    int rightMargin_ = 0;
    int lineH_ = 16;
    int xOffset_ = 0;    // pixels scrolled to the left
    int firstLine_ = 0;  // first visible line
    std::vector<Line> lines_{Line{}};
    bool focused_ = false;
    bool dragging_ = false;
    POINT dragPoint_{};  // client point of the mouse while selecting
    // Single-level undo.
    bool canUndo_ = false;
    bool typingGroup_ = false;
    std::string undoText_;
    RECT format_{};           // set by EM_SETRECT (multi-line)
    bool hasFormat_ = false;
    std::string pending_;  // the first bytes of a character being typed
    int pendingLength_ = 0;
    int undoAnchor_ = 0;
    int undoCaret_ = 0;
};

int Edit::Snap(int pos) const
{
    pos = std::clamp(pos, 0, Len());
    while (pos > 0 && pos < Len() && !IsLead(text_[static_cast<std::size_t>(pos)])) --pos;
    // Never between the two characters of a line break.
    if (pos > 0 && pos < Len() && text_[static_cast<std::size_t>(pos)] == '\n' &&
        text_[static_cast<std::size_t>(pos) - 1] == '\r')
        --pos;
    return pos;
}

int Edit::NextChar(int pos) const
{
    if (pos >= Len()) return Len();
    if (text_[static_cast<std::size_t>(pos)] == '\r' && pos + 1 < Len() && text_[static_cast<std::size_t>(pos) + 1] == '\n')
        return pos + 2;
    ++pos;
    while (pos < Len() && !IsLead(text_[static_cast<std::size_t>(pos)])) ++pos;
    return pos;
}

int Edit::PrevChar(int pos) const
{
    if (pos <= 0) return 0;
    if (pos >= 2 && text_[static_cast<std::size_t>(pos) - 1] == '\n' && text_[static_cast<std::size_t>(pos) - 2] == '\r')
        return pos - 2;
    --pos;
    while (pos > 0 && !IsLead(text_[static_cast<std::size_t>(pos)])) --pos;
    return pos;
}

int Edit::WordLeft(int pos) const
{
    while (pos > 0 && !IsWordChar(text_[static_cast<std::size_t>(PrevChar(pos))])) pos = PrevChar(pos);
    while (pos > 0 && IsWordChar(text_[static_cast<std::size_t>(PrevChar(pos))])) pos = PrevChar(pos);
    return pos;
}

int Edit::WordRight(int pos) const
{
    while (pos < Len() && IsWordChar(text_[static_cast<std::size_t>(pos)])) pos = NextChar(pos);
    while (pos < Len() && !IsWordChar(text_[static_cast<std::size_t>(pos)])) pos = NextChar(pos);
    return pos;
}

void Edit::Relayout()
{
    lineH_ = FontHeight();
    lines_.clear();
    if (!Multi()) {
        lines_.push_back(Line{0, Len()});
        return;
    }
    RECT f = Format();
    int width = f.right - f.left;
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, Font());
    int start = 0;
    for (int i = 0; i <= Len(); ++i) {
        if (i < Len() && text_[static_cast<std::size_t>(i)] != '\n') continue;
        int end = (i > start && text_[static_cast<std::size_t>(i) - 1] == '\r') ? i - 1 : i;
        if (Wraps() && width > 0) Wrap(dc, start, end, width);
        else lines_.push_back(Line{start, end});
        start = i + 1;
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
}

// Breaks one line of text into lines that fit the width: after the last
// blank that fits, or inside a word too long for a line of its own.
void Edit::Wrap(HDC dc, int start, int end, int width)
{
    int lineStart = start, x = 0, lastBreak = -1;
    for (int p = start; p < end;) {
        int next = p + 1;
        while (next < end && !IsLead(text_[static_cast<std::size_t>(next)])) ++next;
        int w = TextWidth(dc, Shown(p, next));
        if (x + w > width && p > lineStart) {
            int cut = lastBreak > lineStart ? lastBreak : p;
            lines_.push_back(Line{lineStart, cut, true});
            lineStart = cut;
            lastBreak = -1;
            x = TextWidth(dc, Shown(cut, next));
        } else {
            x += w;
        }
        char c = text_[static_cast<std::size_t>(p)];
        if (c == ' ' || c == '\t') lastBreak = next;
        p = next;
    }
    lines_.push_back(Line{lineStart, end});
}

int Edit::LineOf(int pos) const
{
    auto after = std::upper_bound(lines_.begin(), lines_.end(), pos,
                                  [](int p, const Line& l) { return p < l.start; });
    return std::max(0, static_cast<int>(after - lines_.begin()) - 1);
}

RECT Edit::Format() const
{
    RECT rc;
    GetClientRect(hwnd_, &rc);
    if (hasFormat_ && Multi()) return format_;
    rc.left += leftMargin_;
    rc.right = std::max(rc.left, rc.right - rightMargin_);
    if (!Multi()) {
        // One line, centred vertically in a taller client.
        int extra = std::max(0, static_cast<int>(rc.bottom - rc.top) - lineH_);
        rc.top += extra / 2;
        rc.bottom = rc.top + lineH_;
    }
    return rc;
}

int Edit::VisibleLines() const
{
    RECT f = Format();
    return std::max(1, static_cast<int>(f.bottom - f.top) / std::max(1, lineH_));
}

std::string Edit::Shown(int from, int to) const
{
    std::string part = text_.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    if (!password_) return part;
    return std::string(static_cast<std::size_t>(CharCount(part)), password_);
}

int Edit::LineStartX(const Line& line) const
{
    RECT f = Format();
    DWORD align = Style() & (ES_CENTER | ES_RIGHT);
    if (!align) return f.left - xOffset_;
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, Font());
    int w = TextWidth(dc, Shown(line.start, line.end));
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    int room = f.right - f.left;
    if (w >= room && !Multi()) return f.left - xOffset_;
    return (align & ES_RIGHT) && !(align & ES_CENTER) ? f.right - w - xOffset_ : f.left + (room - w) / 2 - xOffset_;
}

int Edit::XOf(int pos) const
{
    const Line& line = lines_[static_cast<std::size_t>(LineOf(pos))];
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, Font());
    int w = TextWidth(dc, Shown(line.start, std::min(pos, line.end)));
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return LineStartX(line) + w;
}

POINT Edit::PosOf(int pos) const
{
    int line = LineOf(pos);
    return POINT{XOf(pos), static_cast<LONG>(Format().top + (line - firstLine_) * lineH_)};
}

int Edit::PosFromPoint(POINT pt) const
{
    RECT f = Format();
    int line = Multi() ? firstLine_ + static_cast<int>(pt.y - f.top) / std::max(1, lineH_) : 0;
    if (pt.y < f.top && Multi()) line = firstLine_ - 1;
    line = std::clamp(line, 0, static_cast<int>(lines_.size()) - 1);
    const Line& l = lines_[static_cast<std::size_t>(line)];
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, Font());
    int x0 = LineStartX(l);
    auto xAt = [&](int pos) { return x0 + TextWidth(dc, Shown(l.start, pos)); };
    // The last character boundary left of the point, by halving (widths
    // grow with the prefix), then the nearer of it and the next one.
    std::vector<int> bounds;
    for (int p = l.start; p < l.end; p = NextChar(p)) bounds.push_back(p);
    bounds.push_back(l.end);
    std::size_t lo = 0, hi = bounds.size() - 1;
    while (lo < hi) {
        std::size_t mid = (lo + hi + 1) / 2;
        if (xAt(bounds[mid]) <= pt.x) lo = mid;
        else hi = mid - 1;
    }
    int best = bounds[lo];
    if (lo + 1 < bounds.size()) {
        int left = xAt(bounds[lo]), right = xAt(bounds[lo + 1]);
        if (pt.x >= (left + right) / 2) best = bounds[lo + 1];
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return best;
}

void Edit::BeginUndo(bool typing)
{
    if (typing && typingGroup_ && canUndo_) return;  // typing goes on in one undo step
    undoText_ = text_;
    undoAnchor_ = anchor_;
    undoCaret_ = caret_;
    canUndo_ = true;
    typingGroup_ = typing;
}

bool Edit::Replace(const std::string& insertIn, bool canUndo, bool byUser)
{
    std::string insert = insertIn;
    if (!Multi()) {
        // A single line keeps what comes before the first line break.
        auto br = insert.find_first_of("\r\n");
        if (br != std::string::npos) insert.resize(br);
    }
    DWORD style = Style();
    if (style & (ES_UPPERCASE | ES_LOWERCASE))
        for (char& c : insert)
            c = static_cast<char>((style & ES_UPPERCASE) ? std::toupper(static_cast<unsigned char>(c))
                                                         : std::tolower(static_cast<unsigned char>(c)));
    int from = SelMin(), to = SelMax();
    long room = static_cast<long>(limit_) - (Chars(0, Len()) - Chars(from, to));
    bool cut = false;
    if (static_cast<long>(CharCount(insert)) > room) {
        insert = FirstChars(insert, std::max(0L, room));
        cut = true;
    }
    if (!Multi() && !(style & ES_AUTOHSCROLL) && byUser && !insert.empty()) {
        // Without horizontal scrolling, only what fits the width is taken.
        std::string next = text_.substr(0, static_cast<std::size_t>(from)) + insert + text_.substr(static_cast<std::size_t>(to));
        HDC dc = GetDC(hwnd_);
        HGDIOBJ old = SelectObject(dc, Font());
        int w = TextWidth(dc, password_ ? std::string(static_cast<std::size_t>(CharCount(next)), password_) : next);
        SelectObject(dc, old);
        ReleaseDC(hwnd_, dc);
        RECT f = Format();
        if (w > f.right - f.left) {
            Notify(EN_MAXTEXT);
            return false;
        }
    }
    if (cut) Notify(EN_MAXTEXT);
    if (insert.empty() && from == to) return false;
    if (canUndo) BeginUndo(byUser && to == from && !insert.empty() && insert.size() <= 4);
    text_.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), insert);
    anchor_ = caret_ = from + static_cast<int>(insert.size());
    AfterChange(true);
    return true;
}

void Edit::AfterChange(bool notify)
{
    Relayout();
    Default(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_.c_str()));
    modified_ = true;
    ScrollToCaret();
    UpdateScrollBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
    if (notify) {
        Notify(EN_UPDATE);
        Notify(EN_CHANGE);
    }
}

void Edit::SetSel(int anchor, int caret, bool scroll)
{
    anchor_ = Snap(anchor);
    caret_ = Snap(caret);
    typingGroup_ = false;
    if (scroll) ScrollToCaret();
    UpdateCaret();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Edit::MoveCaret(int pos, bool extend) { SetSel(extend ? anchor_ : pos, pos); }

void Edit::ScrollToCaret()
{
    RECT f = Format();
    int width = f.right - f.left;
    bool hScrolls = Multi() ? !Wraps() : (Style() & ES_AUTOHSCROLL) != 0;
    int line = LineOf(caret_);
    int oldFirst = firstLine_, oldX = xOffset_;
    if (Multi()) {
        int visible = VisibleLines();
        if (line < firstLine_) firstLine_ = line;
        else if (line >= firstLine_ + visible) firstLine_ = line - visible + 1;
    }
    if (hScrolls && width > 0) {
        int x = XOf(caret_) + xOffset_ - f.left;  // caret x in unscrolled text
        if (x - xOffset_ < 0) xOffset_ = std::max(0, x - width / 3);
        else if (x - xOffset_ >= width) xOffset_ = x - width + width / 3;
    } else if (!hScrolls) {
        xOffset_ = 0;
    }
    if (oldFirst != firstLine_ || oldX != xOffset_) {
        InvalidateRect(hwnd_, nullptr, TRUE);
        if (oldX != xOffset_) Notify(EN_HSCROLL);
        if (oldFirst != firstLine_) Notify(EN_VSCROLL);
        UpdateScrollBars();
    }
    UpdateCaret();
}

void Edit::UpdateCaret()
{
    if (!focused_) return;
    POINT p = PosOf(caret_);
    SetCaretPos(p.x, p.y);
}

void Edit::UpdateScrollBars()
{
    DWORD style = Style();
    if (!Multi() || !(style & WS_VSCROLL)) return;
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = static_cast<int>(lines_.size()) - 1;
    si.nPage = static_cast<UINT>(VisibleLines());
    si.nPos = firstLine_;
    SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
}

void Edit::VScroll(int lines)
{
    if (!Multi()) return;
    int maxFirst = std::max(0, static_cast<int>(lines_.size()) - 1);
    int next = std::clamp(firstLine_ + lines, 0, maxFirst);
    if (next == firstLine_) return;
    firstLine_ = next;
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateScrollBars();
    UpdateCaret();
    Notify(EN_VSCROLL);
}

void Edit::Undo()
{
    if (!canUndo_ || ReadOnly()) return;
    std::swap(text_, undoText_);
    int a = undoAnchor_, c = undoCaret_;
    undoAnchor_ = anchor_;
    undoCaret_ = caret_;
    anchor_ = Snap(std::min(a, c));
    caret_ = Snap(std::max(a, c));
    typingGroup_ = false;
    Relayout();
    anchor_ = Snap(anchor_);
    caret_ = Snap(caret_);
    AfterChange(true);
}

void Edit::Copy()
{
    if (password_ || SelMin() == SelMax()) return;
    SetClipboardText(hwnd_, text_.substr(static_cast<std::size_t>(SelMin()), static_cast<std::size_t>(SelMax() - SelMin())));
}

void Edit::Cut()
{
    if (ReadOnly() || password_ || SelMin() == SelMax()) return;
    Copy();
    Clear();
}

void Edit::Paste()
{
    if (ReadOnly()) return;
    std::string text = ClipboardText();
    if (text.empty()) return;
    if (Style() & ES_NUMBER) {
        if (!std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
            MessageBeep(0);
            return;
        }
    }
    typingGroup_ = false;
    Replace(text, true, true);
}

void Edit::Clear()
{
    if (ReadOnly() || SelMin() == SelMax()) return;
    typingGroup_ = false;
    Replace("", true, true);
}

void Edit::OnChar(UINT ch)
{
    bool ctrl = KeyDown(VK_CONTROL);
    switch (ch) {
    case 1: SetSel(0, Len()); return;          // Ctrl+A
    case 3: SendSelf(WM_COPY); return;          // Ctrl+C
    case 22: SendSelf(WM_PASTE); return;        // Ctrl+V
    case 24: SendSelf(WM_CUT); return;          // Ctrl+X
    case 26: SendSelf(WM_UNDO); return;         // Ctrl+Z
    case 8: {                                   // Backspace
        if (ReadOnly()) return;
        if (SelMin() == SelMax()) {
            if (caret_ == 0) return;
            int to = caret_;
            int from = ctrl ? WordLeft(caret_) : PrevChar(caret_);
            BeginUndo(false);
            anchor_ = from;
            caret_ = to;
            Replace("", false, true);
        } else {
            Clear();
        }
        return;
    }
    case '\r':
    case '\n':
        if (!Multi() || ReadOnly()) {
            if (!Multi()) MessageBeep(0);
            return;
        }
        typingGroup_ = false;
        Replace("\r\n", true, true);
        return;
    case '\t':
        if (!Multi() || ReadOnly()) return;
        Replace("\t", true, true);
        return;
    default: break;
    }
    if (ch < 0x20 || ch == 0x7F || ReadOnly()) return;
    // Text arrives as UTF-8 bytes, one message each: a character goes in
    // once its last byte came.
    if (ch >= 0x80 && ch <= 0xFF) {
        if (ch >= 0xC0) {
            pending_.assign(1, static_cast<char>(ch));
            pendingLength_ = Utf8Length(static_cast<unsigned char>(ch));
            return;
        }
        if (pending_.empty()) return;  // a stray continuation byte
        pending_ += static_cast<char>(ch);
        if (static_cast<int>(pending_.size()) < pendingLength_) return;
    } else {
        pending_.clear();
    }
    if ((Style() & ES_NUMBER) && !(ch >= '0' && ch <= '9')) {
        pending_.clear();
        MessageBeep(0);
        return;
    }
    std::string insert = pending_.empty() ? FromCodePoint(ch) : pending_;
    pending_.clear();
    Replace(insert, true, true);
}

void Edit::OnKey(int vk)
{
    bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
    int line = LineOf(caret_);
    switch (vk) {
    case VK_LEFT:
        if (!shift && SelMin() != SelMax()) MoveCaret(SelMin(), false);
        else MoveCaret(ctrl ? WordLeft(caret_) : PrevChar(caret_), shift);
        break;
    case VK_RIGHT:
        if (!shift && SelMin() != SelMax()) MoveCaret(SelMax(), false);
        else MoveCaret(ctrl ? WordRight(caret_) : NextChar(caret_), shift);
        break;
    case VK_HOME:
        MoveCaret(ctrl ? 0 : lines_[static_cast<std::size_t>(line)].start, shift);
        break;
    case VK_END: {
        // The end of a wrapped line stays on it: before its last blank.
        const Line& l = lines_[static_cast<std::size_t>(line)];
        MoveCaret(ctrl ? Len() : (l.soft && l.end > l.start) ? PrevChar(l.end) : l.end, shift);
        break;
    }
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
        if (!Multi()) {
            if (vk == VK_UP) MoveCaret(PrevChar(caret_), shift);
            if (vk == VK_DOWN) MoveCaret(NextChar(caret_), shift);
            break;
        }
        int step = (vk == VK_UP || vk == VK_DOWN) ? 1 : std::max(1, VisibleLines() - 1);
        int target = std::clamp(line + ((vk == VK_UP || vk == VK_PRIOR) ? -step : step), 0,
                                static_cast<int>(lines_.size()) - 1);
        POINT p = PosOf(caret_);
        p.y = Format().top + (target - firstLine_) * lineH_;
        const Line& l = lines_[static_cast<std::size_t>(target)];
        int pos = PosFromPoint(POINT{p.x, p.y + 1});
        if (pos < l.start || pos > l.end) pos = l.start;
        MoveCaret(pos, shift);
        break;
    }
    case VK_DELETE:
        if (shift) {
            SendSelf(WM_CUT);  // a read-only control decides for itself
        } else if (ReadOnly()) {
            break;
        } else if (SelMin() == SelMax()) {
            if (caret_ >= Len()) break;
            BeginUndo(false);
            anchor_ = caret_;
            caret_ = ctrl ? WordRight(caret_) : NextChar(caret_);
            Replace("", false, true);
        } else {
            Clear();
        }
        break;
    case VK_INSERT:
        if (ctrl) SendSelf(WM_COPY);
        else if (shift) SendSelf(WM_PASTE);
        break;
    default: break;
    }
}

LRESULT Edit::DlgCode(LPARAM lParam) const
{
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    if (Multi()) {
        code |= DLGC_WANTALLKEYS;
        if (const MSG* m = reinterpret_cast<const MSG*>(lParam); m && m->message == WM_KEYDOWN) {
            if (m->wParam == static_cast<WPARAM>(VK_ESCAPE) ||
                (m->wParam == static_cast<WPARAM>(VK_RETURN) && !(Style() & ES_WANTRETURN)) ||
                m->wParam == static_cast<WPARAM>(VK_TAB))
                code &= ~DLGC_WANTALLKEYS;
        }
    }
    return code;
}

void Edit::Paint(HDC dc)
{
    RECT rc;
    GetClientRect(hwnd_, &rc);
    bool enabled = IsWindowEnabled(hwnd_) != FALSE;
    HGDIOBJ oldFont = SelectObject(dc, Font());
    UINT colourMsg = (ReadOnly() || !enabled) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    HBRUSH back = ColourBrush(colourMsg, dc, (ReadOnly() || !enabled) ? COLOR_BTNFACE : COLOR_WINDOW);
    FillRect(dc, &rc, back);
    if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    COLORREF textColour = GetTextColor(dc);
    RECT f = Format();
    HRGN clip = CreateRectRgn(f.left, rc.top, f.right, rc.bottom);
    SelectClipRgn(dc, clip);
    DeleteObject(clip);
    SetBkMode(dc, TRANSPARENT);
    bool showSel = focused_ || (Style() & ES_NOHIDESEL);
    int visible = VisibleLines() + 1;
    for (int i = firstLine_; i < static_cast<int>(lines_.size()) && i < firstLine_ + visible; ++i) {
        const Line& l = lines_[static_cast<std::size_t>(i)];
        int y = f.top + (i - firstLine_) * lineH_;
        int x0 = LineStartX(l);
        std::string shown = Shown(l.start, l.end);
        SetTextColor(dc, textColour);
        TextOutA(dc, x0, y, shown.c_str(), static_cast<int>(shown.size()));
        int s = std::max(SelMin(), l.start), e = std::min(SelMax(), l.end);
        if (showSel && s < e) {
            int xs = x0 + TextWidth(dc, Shown(l.start, s));
            std::string sel = Shown(s, e);
            RECT hl{xs, y, xs + TextWidth(dc, sel), y + lineH_};
            FillRect(dc, &hl, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            TextOutA(dc, xs, y, sel.c_str(), static_cast<int>(sel.size()));
        }
    }
    SelectClipRgn(dc, nullptr);
    SelectObject(dc, oldFont);
}

LRESULT Edit::Handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (msg == WM_SETFONT) return OnSetFont(wParam, lParam);
    if (FontMessage(msg, wParam, lParam, result)) return result;
    if (HandleScrollBarMessage(hwnd_, msg, wParam, lParam, result)) return result;
    switch (msg) {
    case WM_CREATE: return OnCreate(lParam);
    case WM_GETDLGCODE: return DlgCode(lParam);
    case WM_SETTEXT: return OnSetText(lParam);
    case WM_GETTEXT: return OnGetText(wParam, lParam);
    case WM_GETTEXTLENGTH: return Len();
    case WM_PAINT: return OnPaint(msg, wParam);
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT: PaintMessage(msg, wParam, result); return result;
    case WM_SIZE: return OnSize();
    case WM_SETFOCUS: return OnSetFocus();
    case WM_KILLFOCUS: return OnKillFocus();
    case WM_ENABLE: InvalidateRect(hwnd_, nullptr, TRUE); return 0;
    case WM_CHAR: OnChar(static_cast<UINT>(wParam)); return 0;
    case WM_KEYDOWN: OnKey(static_cast<int>(wParam)); return 0;
    case WM_LBUTTONDOWN: return OnLButtonDown(wParam, lParam);
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(lParam);
    case WM_MOUSEMOVE: return OnMouseMove(lParam);
    case WM_LBUTTONUP: return OnLButtonUp();
    case WM_CAPTURECHANGED: return OnCaptureChanged();
    case WM_TIMER: return OnTimer(msg, wParam, lParam);
    case WM_VSCROLL: return OnVScroll(wParam);
    case WM_MOUSEWHEEL: return OnMouseWheel(msg, wParam, lParam);
    default: return EditMessage(msg, wParam, lParam);
    }
}

LRESULT Edit::OnSetFont(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    FontMessage(WM_SETFONT, wParam, lParam, result);
    Relayout();
    if (focused_) {
        CreateCaret(hwnd_, nullptr, 1, lineH_);
        ShowCaret(hwnd_);
    }
    ScrollToCaret();
    return 0;
}

// The clipboard, undo and the EM_ messages.
LRESULT Edit::EditMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CUT: Cut(); return 0;
    case WM_COPY: Copy(); return 0;
    case WM_PASTE: Paste(); return 0;
    case WM_CLEAR: Clear(); return 0;
    case WM_UNDO:
    case EM_UNDO: return OnUndo();
    case EM_GETSEL: return OnGetSel(wParam, lParam);
    case EM_SETSEL: return OnSetSel(wParam, lParam);
    case EM_REPLACESEL: return OnReplaceSel(wParam, lParam);
    case EM_LIMITTEXT: return OnLimitText(wParam);
    case EM_GETLIMITTEXT: return limit_;
    case EM_GETCARETINDEX: return Chars(0, caret_);
    case EM_SETREADONLY: return OnSetReadOnly(wParam);
    case EM_CANUNDO: return canUndo_ ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER: return OnEmptyUndoBuffer();
    case EM_SETMARGINS: return OnSetMargins(wParam, lParam);
    case EM_GETMARGINS: return MAKELONG(static_cast<WORD>(leftMargin_), static_cast<WORD>(rightMargin_));
    case EM_GETLINECOUNT: return static_cast<LRESULT>(lines_.size());
    case EM_LINEINDEX: return OnLineIndex(wParam);
    case EM_LINELENGTH: return OnLineLength(wParam);
    case EM_LINEFROMCHAR: return OnLineFromChar(wParam);
    case EM_GETLINE: return OnGetLine(wParam, lParam);
    case EM_SCROLLCARET: ScrollToCaret(); return TRUE;
    case EM_GETRECT: return OnGetRect(lParam);
    case EM_SETRECT:
    case EM_SETRECTNP: return OnSetRect(msg, lParam);
    case EM_SCROLL: return OnScroll(wParam);
    case EM_POSFROMCHAR: return OnPosFromChar(wParam);
    case EM_CHARFROMPOS: return OnCharFromPos(lParam);
    case EM_SETPASSWORDCHAR: return OnSetPasswordChar(wParam);
    case EM_GETPASSWORDCHAR: return static_cast<unsigned char>(password_);
    case EM_GETMODIFY: return modified_ ? TRUE : FALSE;
    case EM_SETMODIFY: modified_ = wParam != 0; return 0;
    case EM_GETFIRSTVISIBLELINE: return Multi() ? firstLine_ : 0;
    case EM_LINESCROLL: return OnLineScroll(lParam);
    default: return Default(msg, wParam, lParam);
    }
}

LRESULT Edit::OnCreate(LPARAM lParam)
{
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    text_ = (cs && cs->lpszName) ? cs->lpszName : "";
    if (!Multi()) {
        auto br = text_.find_first_of("\r\n");
        if (br != std::string::npos) text_.resize(br);
    }
    if (Style() & ES_PASSWORD) password_ = '*';
    Default(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_.c_str()));
    Relayout();
    UpdateScrollBars();
    return 0;
}

LRESULT Edit::OnSetText(LPARAM lParam)
{
    text_ = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
    if (!Multi()) {
        auto br = text_.find_first_of("\r\n");
        if (br != std::string::npos) text_.resize(br);
    }
    anchor_ = caret_ = 0;
    xOffset_ = 0;
    firstLine_ = 0;
    canUndo_ = false;
    typingGroup_ = false;
    AfterChange(true);
    modified_ = false;
    return TRUE;
}

LRESULT Edit::OnGetText(WPARAM wParam, LPARAM lParam)
{
    if (!lParam || wParam == 0) return 0;
    std::size_t n = std::min<std::size_t>(text_.size(), wParam - 1);
    while (n > 0 && n < text_.size() && !IsLead(text_[n])) --n;
    std::memcpy(reinterpret_cast<char*>(lParam), text_.data(), n);
    reinterpret_cast<char*>(lParam)[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT Edit::OnPaint(UINT msg, WPARAM wParam)
{
    LRESULT result = 0;
    // The caret is an inversion: off while the text is drawn under it.
    if (focused_) HideCaret(hwnd_);
    PaintMessage(msg, wParam, result);
    if (focused_) ShowCaret(hwnd_);
    return 0;
}

LRESULT Edit::OnSize()
{
    if (Wraps()) Relayout();
    ScrollToCaret();
    UpdateScrollBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return 0;
}

LRESULT Edit::OnSetFocus()
{
    focused_ = true;
    CreateCaret(hwnd_, nullptr, 1, lineH_);
    UpdateCaret();
    ShowCaret(hwnd_);
    InvalidateRect(hwnd_, nullptr, FALSE);
    Notify(EN_SETFOCUS);
    return 0;
}

LRESULT Edit::OnKillFocus()
{
    focused_ = false;
    dragging_ = false;
    DestroyCaret();
    InvalidateRect(hwnd_, nullptr, FALSE);
    Notify(EN_KILLFOCUS);
    return 0;
}

LRESULT Edit::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    if (GetFocus() != hwnd_) SetFocus(hwnd_);
    int pos = PosFromPoint(PointFrom(lParam));
    MoveCaret(pos, (wParam & MK_SHIFT) != 0);
    dragging_ = true;
    SetCapture(hwnd_);
    return 0;
}

LRESULT Edit::OnLButtonDblClk(LPARAM lParam)
{
    if (GetFocus() != hwnd_) SetFocus(hwnd_);
    int pos = PosFromPoint(PointFrom(lParam));
    int start = pos, end = pos;
    if (pos < Len() && IsWordChar(text_[static_cast<std::size_t>(pos)])) {
        while (start > 0 && IsWordChar(text_[static_cast<std::size_t>(PrevChar(start))])) start = PrevChar(start);
        while (end < Len() && IsWordChar(text_[static_cast<std::size_t>(end)])) end = NextChar(end);
    } else if (pos > 0 && IsWordChar(text_[static_cast<std::size_t>(PrevChar(pos))])) {
        while (start > 0 && IsWordChar(text_[static_cast<std::size_t>(PrevChar(start))])) start = PrevChar(start);
    }
    SetSel(start, end);
    return 0;
}

LRESULT Edit::OnMouseMove(LPARAM lParam)
{
    if (dragging_ && GetCapture() == hwnd_) {
        dragPoint_ = PointFrom(lParam);
        MoveCaret(PosFromPoint(dragPoint_), true);
        // Held beyond the text, the selection goes on growing.
        RECT f = Format();
        if (PtInRect(&f, dragPoint_)) KillTimer(hwnd_, kDragTimer);
        else SetTimer(hwnd_, kDragTimer, 60, nullptr);
    }
    return 0;
}

LRESULT Edit::OnLButtonUp()
{
    if (dragging_) {
        dragging_ = false;
        KillTimer(hwnd_, kDragTimer);
        if (GetCapture() == hwnd_) ReleaseCapture();
    }
    return 0;
}

LRESULT Edit::OnCaptureChanged()
{
    dragging_ = false;
    KillTimer(hwnd_, kDragTimer);
    return 0;
}

LRESULT Edit::OnTimer(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (wParam != kDragTimer) return Default(msg, wParam, lParam);
    if (!dragging_) {
        KillTimer(hwnd_, kDragTimer);
        return 0;
    }
    {
        RECT f = Format();
        int line = LineOf(caret_);
        if (Multi() && dragPoint_.y < f.top && line > 0) VScroll(-1);
        else if (Multi() && dragPoint_.y >= f.bottom) VScroll(1);
        int pos = dragPoint_.x < f.left ? PrevChar(caret_) : dragPoint_.x >= f.right ? NextChar(caret_) : PosFromPoint(dragPoint_);
        if (Multi() && (dragPoint_.y < f.top || dragPoint_.y >= f.bottom)) pos = PosFromPoint(dragPoint_);
        MoveCaret(pos, true);
    }
    return 0;
}

LRESULT Edit::OnVScroll(WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case SB_LINEUP: VScroll(-1); break;
    case SB_LINEDOWN: VScroll(1); break;
    case SB_PAGEUP: VScroll(-VisibleLines()); break;
    case SB_PAGEDOWN: VScroll(VisibleLines()); break;
    case SB_TOP: VScroll(-firstLine_); break;
    case SB_BOTTOM: VScroll(static_cast<int>(lines_.size())); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: VScroll(static_cast<int>(HIWORD(wParam)) - firstLine_); break;
    default: break;
    }
    return 0;
}

LRESULT Edit::OnMouseWheel(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!Multi()) return Default(msg, wParam, lParam);
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    VScroll(-static_cast<SHORT>(HIWORD(wParam)) / WHEEL_DELTA * static_cast<int>(std::max(1u, lines)));
    return 0;
}

LRESULT Edit::OnUndo()
{
    bool could = canUndo_;
    Undo();
    return could ? TRUE : FALSE;
}

LRESULT Edit::OnGetSel(WPARAM wParam, LPARAM lParam)
{
    if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(SelMin());
    if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(SelMax());
    return MAKELONG(static_cast<WORD>(std::min(SelMin(), 0xFFFF)), static_cast<WORD>(std::min(SelMax(), 0xFFFF)));
}

LRESULT Edit::OnSetSel(WPARAM wParam, LPARAM lParam)
{
    int s = static_cast<int>(wParam), e = static_cast<int>(lParam);
    if (s == -1) {  // remove the selection, keep the caret
        SetSel(caret_, caret_);
        return 0;
    }
    if (e < 0) e = Len();
    if (s < 0) s = Len();
    SetSel(std::min(s, Len()), std::min(e, Len()));
    return 0;
}

LRESULT Edit::OnReplaceSel(WPARAM wParam, LPARAM lParam)
{
    if (!lParam) return 0;
    typingGroup_ = false;
    Replace(reinterpret_cast<LPCSTR>(lParam), wParam != 0, false);
    if (wParam == 0) canUndo_ = false;
    return 0;
}

LRESULT Edit::OnLimitText(WPARAM wParam)
{
    limit_ = wParam == 0 ? kMaxLimit : static_cast<int>(std::min<WPARAM>(wParam, kMaxLimit));
    return 0;
}

LRESULT Edit::OnSetReadOnly(WPARAM wParam)
{
    DWORD style = Style();
    SetWindowLongA(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(wParam ? (style | ES_READONLY) : (style & ~ES_READONLY)));
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

LRESULT Edit::OnEmptyUndoBuffer()
{
    canUndo_ = false;
    typingGroup_ = false;
    undoText_.clear();
    return 0;
}

LRESULT Edit::OnSetMargins(WPARAM wParam, LPARAM lParam)
{
    auto side = [&](WORD v) { return v == EC_USEFONTINFO ? 0 : static_cast<int>(std::min<WORD>(v, 1000)); };
    if (wParam & EC_LEFTMARGIN) leftMargin_ = side(LOWORD(lParam));
    if (wParam & EC_RIGHTMARGIN) rightMargin_ = side(HIWORD(lParam));
    ScrollToCaret();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return 0;
}

LRESULT Edit::OnLineIndex(WPARAM wParam)
{
    int line = static_cast<int>(wParam);
    if (line == -1) line = LineOf(caret_);
    if (line < 0 || line >= static_cast<int>(lines_.size())) return -1;
    return lines_[static_cast<std::size_t>(line)].start;
}

LRESULT Edit::OnLineLength(WPARAM wParam)
{
    int pos = static_cast<int>(wParam);
    if (pos == -1) {
        // Unselected characters on the lines holding the selection.
        const Line& a = lines_[static_cast<std::size_t>(LineOf(SelMin()))];
        const Line& b = lines_[static_cast<std::size_t>(LineOf(SelMax()))];
        return (SelMin() - a.start) + (b.end - SelMax());
    }
    if (pos < 0 || pos > Len()) return 0;
    const Line& l = lines_[static_cast<std::size_t>(LineOf(pos))];
    return l.end - l.start;
}

LRESULT Edit::OnLineFromChar(WPARAM wParam)
{
    int pos = static_cast<int>(wParam);
    return LineOf(pos < 0 ? SelMin() : std::min(pos, Len()));
}

LRESULT Edit::OnGetLine(WPARAM wParam, LPARAM lParam)
{
    int line = static_cast<int>(wParam);
    auto* buf = reinterpret_cast<char*>(lParam);
    if (!buf || line < 0 || line >= static_cast<int>(lines_.size())) return 0;
    WORD size;
    std::memcpy(&size, buf, sizeof size);  // the buffer's first word gives its size
    const Line& l = lines_[static_cast<std::size_t>(line)];
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(l.end - l.start), size);
    std::memcpy(buf, text_.data() + l.start, n);  // not zero-terminated
    return static_cast<LRESULT>(n);
}

LRESULT Edit::OnGetRect(LPARAM lParam)
{
    if (lParam) *reinterpret_cast<RECT*>(lParam) = Format();
    return 0;
}

LRESULT Edit::OnSetRect(UINT msg, LPARAM lParam)
{
    if (!Multi()) return 0;
    hasFormat_ = lParam != 0;
    if (lParam) format_ = *reinterpret_cast<const RECT*>(lParam);
    Relayout();
    ScrollToCaret();
    if (msg == EM_SETRECT) InvalidateRect(hwnd_, nullptr, TRUE);
    return 0;
}

LRESULT Edit::OnScroll(WPARAM wParam)
{
    if (!Multi()) return FALSE;
    int before = firstLine_;
    switch (static_cast<WORD>(wParam)) {
    case SB_LINEUP: VScroll(-1); break;
    case SB_LINEDOWN: VScroll(1); break;
    case SB_PAGEUP: VScroll(-VisibleLines()); break;
    case SB_PAGEDOWN: VScroll(VisibleLines()); break;
    default: return FALSE;
    }
    return MAKELONG(static_cast<WORD>(static_cast<SHORT>(firstLine_ - before)), TRUE);
}

LRESULT Edit::OnPosFromChar(WPARAM wParam)
{
    int pos = static_cast<int>(wParam);
    if (pos < 0 || pos > Len()) return -1;
    POINT p = PosOf(Snap(pos));
    return MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
}

LRESULT Edit::OnCharFromPos(LPARAM lParam)
{
    int pos = PosFromPoint(PointFrom(lParam));
    return MAKELONG(static_cast<WORD>(std::min(pos, 0xFFFF)), static_cast<WORD>(LineOf(pos)));
}

LRESULT Edit::OnSetPasswordChar(WPARAM wParam)
{
    password_ = static_cast<char>(wParam & 0x7F);
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateCaret();
    return 0;
}

LRESULT Edit::OnLineScroll(LPARAM lParam)
{
    if (Multi()) VScroll(static_cast<int>(lParam));
    return TRUE;
}

}  // namespace

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ControlProc<Edit>(hwnd, msg, wParam, lParam);
}

}  // namespace quelvo::ctl::detail
