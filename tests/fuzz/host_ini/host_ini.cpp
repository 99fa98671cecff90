// The host library's INI files as the layout storage and the style sheets
// use them: every value of every section read in each typed form, one value
// written and a section erased in memory. (Writing back syncs the file to
// disk: too slow to fuzz.)

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/inifiles.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/streams.h"
#include "tests/fuzz/harness.h"

using namespace hostlib;

namespace {

void ReadEveryValue(TCustomIniFile& ini)
{
    auto sections = MakeObject<TStringList>();
    auto keys = MakeObject<TStringList>();
    ini.ReadSections(sections.get());
    for (int s = 0; s < sections->Count(); ++s) {
        const std::string section = sections->Strings(s);
        ini.ReadSection(section, keys.get());
        for (int k = 0; k < keys->Count(); ++k) {
            const std::string key = keys->Strings(k);
            ini.ReadString(section, key, "");
            ini.ReadInteger(section, key, 0);
            ini.ReadBool(section, key, false);
            ini.ReadFloat(section, key, 0);
            ini.ReadDateTime(section, key, 0);
            TMemoryStream binary;
            ini.ReadBinaryStream(section, key, binary);
        }
        ini.ReadSectionValues(section, keys.get());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const quelvo::fuzz::ScratchFile file("layout.ini");
    if (!file.Write(quelvo::fuzz::Text(data, size))) return 0;
    quelvo::fuzz::Guarded<Exception>([] {
        auto memory = MakeObject<TMemIniFile>(file.Path());
        ReadEveryValue(*memory);
        memory->WriteString("Layout", "Width", "640");
        auto sections = MakeObject<TStringList>();
        memory->ReadSections(sections.get());
        if (sections->Count() > 0) memory->EraseSection(sections->Strings(0));
        auto lines = MakeObject<TStringList>();
        memory->GetStrings(lines.get());
        auto direct = MakeObject<TIniFile>(file.Path());
        ReadEveryValue(*direct);
    });
    return 0;
}
