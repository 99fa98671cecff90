#pragma once
// What every fuzz target shares. A target defines the libFuzzer entry point
// LLVMFuzzerTestOneInput and drives one reader of outside data as a program
// would; the reader's own exception is a normal outcome for hostile input,
// anything else (another exception, a sanitizer report, a hang) is a fault.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quelvo::fuzz {

inline std::string_view Text(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

inline std::vector<std::uint8_t> Bytes(const std::uint8_t* data, std::size_t size)
{
    return {data, data + size};
}

// The text before the first `separator` and the text after it (all of it
// and nothing when there is none): targets with two inputs take them so.
inline std::pair<std::string_view, std::string_view> SplitOnce(std::string_view text, char separator)
{
    const std::size_t at = text.find(separator);
    if (at == std::string_view::npos) return {text, {}};
    return {text.substr(0, at), text.substr(at + 1)};
}

// Runs one input through `body`; `Expected` is the reader's own error.
template <class Expected, class Body>
void Guarded(Body&& body)
{
    try {
        body();
    } catch (const Expected&) {
    }
}

// A file of this process for readers that only take a path; removed when
// the process ends.
class ScratchFile {
public:
    explicit ScratchFile(std::string_view name);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Path() const { return path_; }
    // Replaces the content; false when the file cannot be written.
    bool Write(std::string_view content) const;

private:
    std::string path_;
};

}  // namespace quelvo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
