#include "tests/fuzz/harness.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace quelvo::fuzz {

ScratchFile::ScratchFile(std::string_view name)
{
    const char* tmp = std::getenv("TMPDIR");
    path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/quelvo-fuzz-" + std::to_string(::getpid()) + "-" +
            std::string(name);
}

ScratchFile::~ScratchFile()
{
    std::remove(path_.c_str());
}

bool ScratchFile::Write(std::string_view content) const
{
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace quelvo::fuzz
