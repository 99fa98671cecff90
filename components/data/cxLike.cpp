#include "components/data/cxLike.h"

#include <vector>

bool LikeStr(const std::string& text, const std::string& pattern, char percent, char underscore)
{
    // match[i]: pattern[j..] matches text[i..], for the column j being
    // filled; next holds column j + 1. Filled from the pattern's end.
    const std::size_t textLength = text.size();
    std::vector<char> next(textLength + 1, 0);
    std::vector<char> match(textLength + 1, 0);
    next[textLength] = 1; // empty pattern, empty text
    for (std::size_t j = pattern.size(); j-- > 0;) {
        const char p = pattern[j];
        if (p == percent) {
            if (j + 1 == pattern.size()) {
                match.assign(textLength + 1, 1);
            } else {
                // The rest is tried at every position with a character left.
                char any = 0;
                match[textLength] = 0;
                for (std::size_t i = textLength; i-- > 0;) {
                    any = static_cast<char>(any | next[i]);
                    match[i] = any;
                }
            }
        } else {
            match[textLength] = 0;
            for (std::size_t i = 0; i < textLength; ++i)
                match[i] = static_cast<char>((p == underscore || p == text[i]) && next[i + 1]);
        }
        next.swap(match);
    }
    return next[0] != 0;
}

std::uint8_t LikeOperatorByPattern(std::string& pattern, char percent)
{
    std::string collapsed;
    collapsed.reserve(pattern.size());
    for (const char c : pattern)
        if (c != percent || collapsed.empty() || collapsed.back() != percent) collapsed.push_back(c);
    pattern = collapsed;
    if (pattern.size() < 2) return 0;
    const bool leading = pattern.front() == percent;
    const bool trailing = pattern.back() == percent;
    if (trailing) pattern.pop_back();
    if (leading) pattern.erase(0, 1);
    if (leading && trailing) return 3;
    if (leading) return 2;
    return trailing ? 1 : 0;
}
