// Form resources: parsed, then loaded into a form whose classes publish
// every kind of property the loader knows (the form tests' classes), then
// written back and read again.

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/form_resource.h"
#include "tests/fuzz/harness.h"
#include "tests/platform/hostlib/core/form_classes.h"

using namespace form_classes;

namespace {

void Load(std::string_view text)
{
    auto form = MakeObject<TTestForm>(nullptr);
    ReadFormResource(form.get(), text, "fuzz.form");
    const std::string written = WriteFormResource(form.get());
    auto again = MakeObject<TTestForm>(nullptr);
    ReadFormResource(again.get(), written, "written.form");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool registered = [] {
        RegisterClasses({TTestForm::StaticClass(), TPanel::StaticClass(), TSpinProps::StaticClass(),
                         TBaseProps::StaticClass(), TStringList::StaticClass()});
        return true;
    }();
    (void)registered;
    const std::string_view text = quelvo::fuzz::Text(data, size);
    quelvo::fuzz::Guarded<Exception>([&] { ParseFormResource(text, "fuzz.form"); });
    quelvo::fuzz::Guarded<Exception>([&] { Load(text); });
    gEvents.clear();
    return 0;
}
