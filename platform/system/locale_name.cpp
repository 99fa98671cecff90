#include "platform/system/locale_name.h"

#include <cstdlib>
#include <mutex>

namespace quelvo::sys {

namespace {

std::mutex& OverrideLock()
{
    static std::mutex lock;
    return lock;
}

std::optional<std::string>& Override()
{
    static std::optional<std::string> name;
    return name;
}

}  // namespace

std::string UserLocaleName()
{
    {
        std::lock_guard<std::mutex> guard(OverrideLock());
        if (Override())
            return *Override();
    }
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value)
            return value;
    }
    return "C";
}

void SetUserLocaleNameOverride(std::optional<std::string> name)
{
    std::lock_guard<std::mutex> guard(OverrideLock());
    Override() = std::move(name);
}

}  // namespace quelvo::sys
