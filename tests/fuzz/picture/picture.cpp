// The picture readers, as the clipboard and the picture classes use them:
// the format is found from the data, and a picture that reads is written
// back as a BMP.

#include "platform/graphics/picture.h"
#include "tests/fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    quelvo::gfx::Picture picture;
    std::string error;
    if (quelvo::gfx::ReadPicture(quelvo::fuzz::Bytes(data, size), picture, error))
        quelvo::gfx::WriteBmp(picture, 24);
    return 0;
}
