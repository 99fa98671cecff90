// The image editor's value reader: the first byte picks the graphic class
// (or none), the rest is the value as a field or a form would hold it; a
// picture that reads is saved back as the editor would store it.

#include <string>

#include "components/editor-catalogue/cxImage.h"
#include "tests/fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const auto& classes = GetRegisteredGraphicClasses();
    const std::size_t pick = data[0] % (classes.size() + 1);
    hostlib::TClass graphicClass = pick < classes.size() ? classes[pick] : nullptr;
    hostlib::ObjectPtr<hostlib::TPicture> picture(hostlib::CreateObject<hostlib::TPicture>());
    LoadPicture(picture.get(), graphicClass,
                hostlib::Variant(std::string(reinterpret_cast<const char*>(data + 1), size - 1)));
    std::string saved;
    SavePicture(picture.get(), saved);
    return 0;
}
