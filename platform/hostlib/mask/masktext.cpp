#include "platform/hostlib/mask/masktext.h"

#include <algorithm>

#include "platform/hostlib/mask/cxStandardMask.h"

namespace hostlib {

TMaskedText::TMaskedText() : compiled_(std::make_unique<TcxStandardMask>()) {}
TMaskedText::~TMaskedText() = default;

void TMaskedText::SetEditMask(const std::string& mask)
{
    const std::string shown = Text();
    mask_ = mask;
    compiled_->Compile(mask);
    editable_.clear();
    for (std::size_t i = 0; i < compiled_->Count(); ++i)
        if (compiled_->IsEditable(i)) editable_.push_back(i);
    fromRight_ = compiled_->LeadingMark();
    content_.clear();
    SetText(shown);
}

int TMaskedText::Offset(std::size_t length) const
{
    return fromRight_ ? static_cast<int>(editable_.size() - std::min(length, editable_.size())) : 0;
}

bool TMaskedText::Validate(std::string& content) const
{
    if (!IsMasked()) return true;
    if (content.size() > editable_.size()) return false;
    const int offset = Offset(content.size());
    for (std::size_t i = 0; i < content.size(); ++i) {
        const std::size_t position = editable_[static_cast<std::size_t>(offset) + i];
        if (!compiled_->Items(position).Check(content[i])) return false;
    }
    // Right-filled, the positions left empty must be optional.
    if (fromRight_) {
        for (int i = 0; i < offset; ++i) {
            const auto& item = static_cast<const TcxStandardMaskManyItem&>(compiled_->Items(editable_[static_cast<std::size_t>(i)]));
            if (!item.Optional()) return false;
        }
    }
    return true;
}

std::string TMaskedText::Text() const
{
    if (!IsMasked()) return content_;
    std::string text = compiled_->GetFullEmptyString();
    const int offset = Offset(content_.size());
    for (std::size_t i = 0; i < content_.size(); ++i) text[editable_[static_cast<std::size_t>(offset) + i]] = content_[i];
    return text;
}

bool TMaskedText::SetText(const std::string& text)
{
    const std::string before = Text();
    if (!IsMasked()) {
        content_ = text;
        return Text() != before;
    }
    // Spread like typing from the first position: each character takes the
    // first free position that accepts it; a literal matches its own
    // position and a blank or space leaves an editable position empty.
    std::vector<char> filled(compiled_->Count(), 0);
    std::vector<bool> taken(compiled_->Count(), false);
    for (char ch : text) {
        for (std::size_t p = 0; p < compiled_->Count(); ++p) {
            if (taken[p]) continue;
            char c = ch;
            if (compiled_->Items(p).Check(c)) {
                taken[p] = true;
                if (compiled_->IsEditable(p)) filled[p] = c;
                break;
            }
            if ((ch == compiled_->Blank() || ch == ' ') && compiled_->IsEditable(p)) {
                taken[p] = true;
                break;
            }
        }
    }
    std::string content;
    for (std::size_t p : editable_)
        if (filled[p]) content += filled[p];
    // Keep the longest beginning the layout accepts.
    while (!content.empty() && !Validate(content)) content.pop_back();
    content_ = content;
    return Text() != before;
}

bool TMaskedText::IsComplete() const
{
    if (!IsMasked()) return true;
    const int offset = Offset(content_.size());
    for (std::size_t i = 0; i < editable_.size(); ++i) {
        const bool empty = static_cast<int>(i) < offset || i >= static_cast<std::size_t>(offset) + content_.size();
        const auto& item = static_cast<const TcxStandardMaskManyItem&>(compiled_->Items(editable_[i]));
        if (empty && !item.Optional()) return false;
    }
    return true;
}

int TMaskedText::ContentIndexAt(int displayPos, std::size_t length) const
{
    if (!IsMasked()) return std::clamp(displayPos, 0, static_cast<int>(length));
    // Editable positions before the display position, less the empty
    // ones in front of the content.
    const auto before = std::lower_bound(editable_.begin(), editable_.end(), static_cast<std::size_t>(std::max(0, displayPos)));
    const int index = static_cast<int>(before - editable_.begin()) - Offset(length);
    return std::clamp(index, 0, static_cast<int>(length));
}

int TMaskedText::CaretFor(int contentIndex, std::size_t length) const
{
    if (!IsMasked()) return contentIndex;
    if (editable_.empty()) return 0;
    const int offset = Offset(length);
    if (contentIndex < static_cast<int>(length)) return static_cast<int>(editable_[static_cast<std::size_t>(offset + contentIndex)]);
    if (length > 0) return static_cast<int>(editable_[static_cast<std::size_t>(offset) + length - 1]) + 1;
    return fromRight_ ? static_cast<int>(editable_.back()) + 1 : static_cast<int>(editable_.front());
}

bool TMaskedText::Replace(int from, int to, const std::string& insert, int& selStart, int& selLength)
{
    std::string next = content_.substr(0, static_cast<std::size_t>(from)) + insert + content_.substr(static_cast<std::size_t>(to));
    if (!Validate(next)) return false;
    content_ = next;
    selStart = CaretFor(from + static_cast<int>(insert.size()), content_.size());
    selLength = 0;
    return true;
}

bool TMaskedText::TypeChar(char ch, int& selStart, int& selLength)
{
    const int from = ContentIndexAt(selStart, content_.size());
    const int to = std::max(from, ContentIndexAt(selStart + std::max(0, selLength), content_.size()));
    return Replace(from, to, std::string(1, ch), selStart, selLength);
}

bool TMaskedText::Backspace(int& selStart, int& selLength)
{
    int from = ContentIndexAt(selStart, content_.size());
    const int to = std::max(from, ContentIndexAt(selStart + std::max(0, selLength), content_.size()));
    if (from == to) {
        if (from == 0) return false;
        --from;
    }
    return Replace(from, to, std::string(), selStart, selLength);
}

bool TMaskedText::DeleteForward(int& selStart, int& selLength)
{
    const int from = ContentIndexAt(selStart, content_.size());
    int to = std::max(from, ContentIndexAt(selStart + std::max(0, selLength), content_.size()));
    if (from == to) {
        if (to >= static_cast<int>(content_.size())) return false;
        ++to;
    }
    return Replace(from, to, std::string(), selStart, selLength);
}

}  // namespace hostlib
