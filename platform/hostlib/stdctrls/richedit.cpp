#include "platform/hostlib/stdctrls/richedit.h"

#include "platform/controls/winctl.h"
#include "platform/hostlib/core/format.h"

namespace hostlib {

std::string SanitizeUtf8(std::string_view text)
{
    // The run-time library's converter already replaces malformed bytes;
    // a round trip through UTF-16 keeps the well-formed text as it is.
    return Utf16ToUtf8(Utf8ToUtf16(text));
}

// ---- TRichEditLines --------------------------------------------------------------------

TClass TRichEditLines::StaticClass() { return DefineClass<TRichEditLines, TStringList>("TRichEditLines"); }

void TRichEditLines::SetText(std::string_view text) { TStringList::SetText(SanitizeUtf8(text)); }

void TRichEditLines::Changed()
{
    TStringList::Changed();
    if (edit_ && UpdateCount() == 0) edit_->LinesChanged();
}

// ---- TRichEdit -------------------------------------------------------------------------

TClass TRichEdit::StaticClass()
{
    return DefineClass<TRichEdit, TCustomMemo>("TRichEdit", [](ClassBuilder<TRichEdit>& b) {
        b.Property("Lines", &TRichEdit::Lines, &TRichEdit::SetLines);
        b.Property("PlainText", &TRichEdit::PlainText, &TRichEdit::SetPlainText).Default(true);
    });
}

void TRichEdit::Construct(TComponent* owner)
{
    TCustomMemo::Construct(owner);
    lines_.reset(CreateObject<TRichEditLines>());
    lines_->SetEdit(this);
    SetBounds(0, 0, 185, 89);
    SetAutoSelect(false);
}

void TRichEdit::Destroy()
{
    lines_->SetEdit(nullptr);
    lines_.reset();
    TCustomMemo::Destroy();
}

void TRichEdit::CreateParams(TCreateParams& p)
{
    TCustomMemo::CreateParams(p);
    p.Style |= ES_NOHIDESEL;
}

void TRichEdit::CreateWnd()
{
    TCustomMemo::CreateWnd();
    LinesChanged();
}

std::string TRichEdit::Text() const
{
    std::string text;
    for (int i = 0; i < lines_->Count(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines_->Get(i);
    }
    return text;
}

void TRichEdit::SetText(const std::string& value) { lines_->SetText(value); }

void TRichEdit::LinesChanged()
{
    if (syncing_ || !HandleAllocated()) return;
    syncing_ = true;
    // Text() already reads the lines, so the window is written directly.
    const std::string text = Text();
    ::SetWindowTextA(handle_, text.c_str());
    syncing_ = false;
}

int TRichEdit::TopLine() { return static_cast<int>(SendMessageA(Handle(), EM_GETFIRSTVISIBLELINE, 0, 0)); }

}  // namespace hostlib
