#pragma once
// TRichEdit as a plain-text view: a multi-line "EDIT" window whose Lines
// load files with LF, CR LF or CR line ends; bytes that are not UTF-8 show
// as replacement characters. SelStart past the end stays at the end.

#include <string>

#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/stdctrls/stdctrls.h"

namespace hostlib {

class TRichEdit;

// The lines of a rich edit; every change reaches the window.
class TRichEditLines : public TStringList {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void SetText(std::string_view text) override;
    void SetEdit(TRichEdit* edit) { edit_ = edit; }

protected:
    void Changed() override;

private:
    TRichEdit* edit_ = nullptr;
};

class TRichEdit : public TCustomMemo {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    TStrings* Lines() const { return lines_.get(); }
    void SetLines(TStrings* value) { lines_->Assign(value); }
    bool PlainText() const { return true; }
    void SetPlainText(bool) {}
    // The whole text with CR LF between lines.
    std::string Text() const override;
    void SetText(const std::string& value) override;
    // First line shown at the top.
    int TopLine();

    // Called by the lines.
    void LinesChanged();

protected:
    void Destroy() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    ObjectPtr<TRichEditLines> lines_;
    bool syncing_ = false;
};

// Text with every byte sequence that is not UTF-8 replaced by U+FFFD.
std::string SanitizeUtf8(std::string_view text);

}  // namespace hostlib
