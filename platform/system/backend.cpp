#include "platform/system/backend.h"

#include <atomic>

namespace quelvo::sys {
namespace {
std::atomic<SystemBackend*> g_backend{nullptr};
}

SystemBackend& Backend()
{
    SystemBackend* backend = g_backend.load();
    return backend != nullptr ? *backend : LinuxBackend();
}

SystemBackend* InstallBackend(SystemBackend* backend) { return g_backend.exchange(backend); }

}  // namespace quelvo::sys
