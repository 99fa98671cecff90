// The per-user registry store as a program meets it at start: loaded from
// its file, every key walked and every value read in the form its type
// gives. (Writing back syncs the file to disk: too slow to fuzz.)

#include <cstring>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/registry.h"
#include "tests/fuzz/harness.h"

using namespace hostlib;

namespace {

constexpr int kMaxKeysWalked = 10000;

void ReadValues(TRegistry& registry)
{
    auto names = MakeObject<TStringList>();
    registry.GetValueNames(names.get());
    for (int i = 0; i < names->Count(); ++i) {
        const std::string name = names->Strings(i);
        quelvo::fuzz::Guarded<ERegistryException>([&] {
            switch (registry.GetDataType(name)) {
            case rdString:
            case rdExpandString: registry.ReadString(name); break;
            case rdInteger: registry.ReadInteger(name); break;
            default: {
                std::uint8_t buffer[8];
                if (registry.ReadBinaryData(name, buffer, sizeof buffer) == 8) registry.ReadFloat(name);
                registry.ReadBinary(name);
                std::uint8_t none = 0;
                registry.ReadBinaryData(name, &none, 0);
            }
            }
        });
    }
}

// Breadth first, so a deep store costs no stack here.
void WalkKeys(TRegistry& registry)
{
    std::vector<std::string> pending{"\\"};
    auto children = MakeObject<TStringList>();
    for (std::size_t next = 0; next < pending.size() && next < kMaxKeysWalked; ++next) {
        if (!registry.OpenKeyReadOnly(pending[next])) continue;
        ReadValues(registry);
        registry.GetKeyNames(children.get());
        const std::string prefix = pending[next] == "\\" ? "\\" : pending[next] + "\\";
        for (int i = 0; i < children->Count(); ++i) pending.push_back(prefix + children->Strings(i));
        registry.CloseKey();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const quelvo::fuzz::ScratchFile file("registry");
    if (!file.Write(quelvo::fuzz::Text(data, size))) return 0;
    SetRegistryStoreFile(file.Path());
    auto registry = MakeObject<TRegistry>();
    WalkKeys(*registry);
    return 0;
}
