#pragma once
// The content model of a mask edit: the characters the user has entered,
// laid out over the positions of a standard edit mask. A mask that starts
// with "!" fills from the right, so optional positions left empty come
// first ("!99;1;0" shows "8" as "08"). Editing works on the entered
// characters like a plain edit limited to the editable positions and to
// what each accepts; positions and selections are given in characters of
// the displayed text. Without a mask the text is plain.

#include <memory>
#include <string>
#include <vector>

class TcxStandardMask;

namespace hostlib {

class TMaskedText {
public:
    TMaskedText();
    ~TMaskedText();
    TMaskedText(const TMaskedText&) = delete;
    TMaskedText& operator=(const TMaskedText&) = delete;

    // Compiles the mask (the locale's separators are read now) and keeps
    // the current content as far as the new mask accepts it.
    void SetEditMask(const std::string& mask);
    const std::string& EditMask() const { return mask_; }
    bool IsMasked() const { return !mask_.empty(); }

    // The displayed text: literals, entered characters and the blank
    // character in empty positions.
    std::string Text() const;
    // Spreads a text over the positions like typing it; characters that fit
    // no position are dropped. Returns whether the displayed text changed.
    bool SetText(const std::string& text);
    // The entered characters, in order.
    const std::string& Content() const { return content_; }
    // Every required position holds a character.
    bool IsComplete() const;
    int EditableCount() const { return static_cast<int>(editable_.size()); }

    // Editing over the displayed text. selStart and selLength describe the
    // selection and come back as the new caret (length 0). A refused key
    // returns false and changes nothing.
    bool TypeChar(char ch, int& selStart, int& selLength);
    bool Backspace(int& selStart, int& selLength);
    bool DeleteForward(int& selStart, int& selLength);

private:
    // The content laid out: false when a character does not fit its
    // position. Characters come back case-converted.
    bool Validate(std::string& content) const;
    int Offset(std::size_t length) const;
    int ContentIndexAt(int displayPos, std::size_t length) const;
    int CaretFor(int contentIndex, std::size_t length) const;
    bool Replace(int from, int to, const std::string& insert, int& selStart, int& selLength);

    std::string mask_;
    std::unique_ptr<TcxStandardMask> compiled_;
    std::vector<std::size_t> editable_;
    bool fromRight_ = false;
    std::string content_;
};

}  // namespace hostlib
