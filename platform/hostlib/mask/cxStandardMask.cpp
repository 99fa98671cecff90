#include "platform/hostlib/mask/cxStandardMask.h"

#include <algorithm>
#include <map>
#include <typeinfo>

#include "platform/hostlib/core/format_settings.h"

namespace {

bool IsAsciiLetter(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }

bool IsAsciiDigit(char ch) { return ch >= '0' && ch <= '9'; }

bool IsSaveFlag(char ch) { return ch == '0' || ch == '1'; }

// Positions that take the same characters in the same way, and the first of
// them still open.
struct PositionGroup {
    const TcxStandardMaskCustomItem* sample = nullptr;
    std::vector<std::size_t> positions;
    std::size_t next = 0;
};

std::vector<PositionGroup> GroupPositions(const std::vector<std::unique_ptr<TcxStandardMaskCustomItem>>& items)
{
    std::vector<PositionGroup> groups;
    std::map<std::string, std::size_t> byKind;
    for (std::size_t pos = 0; pos < items.size(); ++pos) {
        const auto* item = items[pos].get();
        std::string kind;
        if (const auto* literal = dynamic_cast<const TcxStandardMaskLiteralItem*>(item)) {
            kind = std::string(1, literal->Literal());
        } else {
            const TcxStandardMaskCustomItem& editable = *item;
            kind = typeid(editable).name();
            kind += static_cast<char>(static_cast<const TcxStandardMaskManyItem*>(item)->CaseControl());
        }
        const auto [it, added] = byKind.emplace(kind, groups.size());
        if (added) groups.push_back({item, {}, 0});
        groups[it->second].positions.push_back(pos);
    }
    return groups;
}

}  // namespace

void TcxStandardMaskManyItem::DoCaseControl(char& ch) const
{
    switch (FCaseControl) {
    case TcxCaseControl::ccUpperCase:
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        break;
    case TcxCaseControl::ccLowerCase:
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        break;
    case TcxCaseControl::ccUserCase: break;
    }
}

bool TcxStandardMaskManyItem::Check(char& ch) const
{
    const char typed = ch;
    DoCaseControl(ch);
    return Accepts(typed);
}

bool TcxStandardMaskAlphaItem::Accepts(char ch) const { return IsAsciiLetter(ch); }

bool TcxStandardMaskAlphaNumericItem::Accepts(char ch) const { return IsAsciiLetter(ch) || IsAsciiDigit(ch); }

bool TcxStandardMaskNumericItem::Accepts(char ch) const { return IsAsciiDigit(ch); }

bool TcxStandardMaskNumericSymbolItem::Accepts(char ch) const { return IsAsciiDigit(ch) || ch == '+' || ch == '-'; }

void TcxStandardMask::Clear()
{
    FMask.clear();
    FItems.clear();
    FBlank = DefaultBlank;
    FSaveLiteralChars = true;
    FLeadingMark = false;
}

void TcxStandardMask::AddEditable(std::unique_ptr<TcxStandardMaskManyItem> item, bool optional,
                                  TcxCaseControl caseControl)
{
    item->SetOptional(optional);
    item->SetCaseControl(caseControl);
    FItems.push_back(std::move(item));
}

void TcxStandardMask::AddLiteral(char literal) { FItems.push_back(std::make_unique<TcxStandardMaskLiteralItem>(literal)); }

void TcxStandardMask::Compile(const std::string& mask)
{
    Clear();
    FMask = mask;
    std::size_t pos = 0;
    if (!mask.empty() && mask[0] == '!') {
        FLeadingMark = true;
        pos = 1;
    }
    const auto& settings = hostlib::FormatSettings();
    TcxCaseControl caseControl = TcxCaseControl::ccUserCase;
    for (; pos < mask.size(); ++pos) {
        const char ch = mask[pos];
        const std::size_t rest = mask.size() - pos - 1;
        switch (ch) {
        case 'L': AddEditable(std::make_unique<TcxStandardMaskAlphaItem>(), false, caseControl); break;
        case 'l': AddEditable(std::make_unique<TcxStandardMaskAlphaItem>(), true, caseControl); break;
        case 'A': AddEditable(std::make_unique<TcxStandardMaskAlphaNumericItem>(), false, caseControl); break;
        case 'a': AddEditable(std::make_unique<TcxStandardMaskAlphaNumericItem>(), true, caseControl); break;
        case 'C': AddEditable(std::make_unique<TcxStandardMaskASCIIItem>(), false, caseControl); break;
        case 'c': AddEditable(std::make_unique<TcxStandardMaskASCIIItem>(), true, caseControl); break;
        case '0': AddEditable(std::make_unique<TcxStandardMaskNumericItem>(), false, caseControl); break;
        case '9': AddEditable(std::make_unique<TcxStandardMaskNumericItem>(), true, caseControl); break;
        case '#': AddEditable(std::make_unique<TcxStandardMaskNumericSymbolItem>(), true, caseControl); break;
        case '>': caseControl = TcxCaseControl::ccUpperCase; break;
        case '<':
            if (rest > 0 && mask[pos + 1] == '>') {
                caseControl = TcxCaseControl::ccUserCase;
                ++pos;
            } else {
                caseControl = TcxCaseControl::ccLowerCase;
            }
            break;
        case '\\':
            if (rest > 0) AddLiteral(mask[++pos]);
            break;
        case '/': AddLiteral(settings.DateSeparator); break;
        case ':': AddLiteral(settings.TimeSeparator); break;
        case ';':
            if (rest == 3 && IsSaveFlag(mask[pos + 1]) && mask[pos + 2] == ';') {
                FSaveLiteralChars = mask[pos + 1] == '1';
                FBlank = mask[pos + 3];
                return;
            }
            if (rest == 1 && IsSaveFlag(mask[pos + 1])) {
                FSaveLiteralChars = mask[pos + 1] == '1';
                return;
            }
            AddLiteral(ch);
            break;
        default: AddLiteral(ch); break;
        }
    }
}

bool TcxStandardMask::IsEditable(std::size_t index) const
{
    return dynamic_cast<const TcxStandardMaskManyItem*>(FItems.at(index).get()) != nullptr;
}

bool TcxStandardMask::BlankAtEditable(char ch, std::size_t index) const
{
    return (ch == FBlank || ch == ' ') && IsEditable(index);
}

std::string TcxStandardMask::GetFullEmptyString() const
{
    std::string text;
    text.reserve(FItems.size());
    for (const auto& item : FItems) {
        const auto* literal = dynamic_cast<const TcxStandardMaskLiteralItem*>(item.get());
        text += literal ? literal->Literal() : FBlank;
    }
    return text;
}

std::string TcxStandardMask::GetEmptyString() const
{
    std::string text;
    for (const auto& item : FItems) {
        if (const auto* literal = dynamic_cast<const TcxStandardMaskLiteralItem*>(item.get())) {
            if (FSaveLiteralChars) text += literal->Literal();
        } else {
            text += ' ';
        }
    }
    return text;
}

void TcxStandardMask::Format(std::string& text, bool convertCase) const
{
    // Every typed character fills the first open position that takes it (or
    // that it leaves blank). Positions are grouped by what they take, so a
    // character costs one test per group rather than one per position.
    std::string result = GetFullEmptyString();
    std::vector<PositionGroup> groups = GroupPositions(FItems);
    for (const char typed : text) {
        PositionGroup* first = nullptr;
        bool takes = false;
        char taken = typed;
        for (auto& group : groups) {
            if (group.next == group.positions.size()) continue;
            const std::size_t pos = group.positions[group.next];
            if (first && pos > first->positions[first->next]) continue;
            char ch = typed;
            if (group.sample->Check(ch)) {
                first = &group;
                takes = true;
                taken = ch;
            } else if (BlankAtEditable(typed, pos)) {
                first = &group;
                takes = false;
            }
        }
        if (!first) continue;
        const std::size_t pos = first->positions[first->next++];
        if (takes) result[pos] = convertCase ? taken : typed;
    }
    text = std::move(result);
}

void TcxStandardMask::Format2(std::string& text) const
{
    const std::size_t count = std::min(text.size(), FItems.size());
    std::string result;
    result.reserve(count);
    for (std::size_t pos = 0; pos < count; ++pos) {
        if (IsEditable(pos)) {
            result += text[pos] == FBlank ? ' ' : text[pos];
        } else if (FSaveLiteralChars) {
            result += text[pos];
        }
    }
    text = std::move(result);
}

bool TcxStandardMask::IsValid(std::string& text) const
{
    if (text.size() > FItems.size()) return false;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (!FItems[pos]->Check(text[pos]) && !BlankAtEditable(text[pos], pos)) return false;
    }
    return true;
}

bool TcxStandardMask::IsFullValid(std::string& text) const
{
    if (text.size() != FItems.size()) return false;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (FItems[pos]->Check(text[pos])) continue;
        if (!BlankAtEditable(text[pos], pos)) return false;
        if (!static_cast<const TcxStandardMaskManyItem&>(*FItems[pos]).Optional()) return false;
    }
    return true;
}

namespace cxStandardMask {

namespace {

TcxStandardMask Compiled(const std::string& mask, char blank = '\0')
{
    TcxStandardMask result;
    result.Compile(mask);
    if (blank != '\0') result.SetBlank(blank);
    return result;
}

}  // namespace

std::string EmptyString(const std::string& mask, char blank) { return Compiled(mask, blank).GetEmptyString(); }

std::string FormatText(const std::string& text, const std::string& mask, char blank)
{
    std::string result = text;
    Compiled(mask, blank).Format(result, true);
    return result;
}

bool IsTextValid(const std::string& text, const std::string& mask)
{
    std::string copy = text;
    return Compiled(mask).IsValid(copy);
}

bool IsTextFullValid(const std::string& text, const std::string& mask)
{
    std::string copy = text;
    return Compiled(mask).IsFullValid(copy);
}

char MaskBlank(const std::string& mask) { return Compiled(mask).Blank(); }

bool SaveLiteralChars(const std::string& mask) { return Compiled(mask).SaveLiteralChars(); }

}  // namespace cxStandardMask
