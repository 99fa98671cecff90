// The check-state decoder, reading a stored value as a group of check items.
// Input: the first byte chooses the format and the item count (0 to 15),
// the rest is the text; items are named "a", "b", ... and one item holds
// "ü" so that character counts differ from byte counts.

#include <string>
#include <vector>

#include "components/editor-catalogue/cxCheckBox.h"
#include "tests/fuzz/harness.h"

namespace {

class Items : public IcxCheckItems {
public:
    explicit Items(int count)
    {
        for (int i = 0; i < count; ++i) captions_.push_back(i == 3 ? "ü" : std::string(1, static_cast<char>('a' + i)));
    }
    std::string GetCaption(int index) override { return captions_.at(static_cast<std::size_t>(index)); }
    int GetCount() override { return static_cast<int>(captions_.size()); }

private:
    std::vector<std::string> captions_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const auto format = static_cast<TcxCheckStatesValueFormat>(data[0] % 4);
    Items items((data[0] >> 2) % 16);
    const std::string text(quelvo::fuzz::Text(data + 1, size - 1));
    TcxCheckStates states;
    if (!CalculateCheckStates(hostlib::Variant(text), format, &items, &states)) {
        for (TcxCheckBoxState s : states)
            if (s != cbsUnchecked) __builtin_trap();  // a failure leaves every item unchecked
        return 0;
    }
    // What was understood encodes and decodes to the same states.
    hostlib::Variant again;
    CalculateCheckStatesValue(format, &items, again, &states);
    TcxCheckStates back;
    if (!CalculateCheckStates(again, format, &items, &back) || back != states)
        __builtin_trap();
    return 0;
}
