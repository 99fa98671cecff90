#include "platform/desktop/clipboard/desktop_clipboard.h"

#include <algorithm>
#include <memory>

#include "platform/controls/winctl.h"
#include "platform/graphics/picture.h"
#include "platform/system/little_endian.h"
#include "platform/system/text_conversion.h"
#include "platform/windows/x11/x11_display.h"

namespace quelvo::desktop {

namespace {

using win::x11::CurrentX11Display;
using win::x11::X11Display;

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;
// Short: the clipboard is asked on every availability check.
constexpr int kAskMs = 500;

using sys::ReadLe32;
using sys::WriteLe32;

// What this program offers on the desktop; the lost handler and the
// backend share it.
struct Offer {
    std::string text;
    bool hasText = false;
    std::vector<std::uint8_t> png;
    std::vector<std::uint8_t> bmp;

    bool Empty() const { return !hasText && png.empty() && bmp.empty(); }
    void Clear() { *this = Offer(); }
    void Publish() const
    {
        X11Display* x = CurrentX11Display();
        if (!x) return;
        std::vector<X11Display::ClipboardItem> items;
        if (hasText) items.push_back({"UTF8_STRING", text});
        if (!png.empty()) items.push_back({"image/png", std::string(png.begin(), png.end())});
        if (!bmp.empty()) items.push_back({"image/bmp", std::string(bmp.begin(), bmp.end())});
        x->OfferClipboard(std::move(items));
    }
};

class DesktopClipboard : public ctl::ClipboardBackend {
public:
    explicit DesktopClipboard(std::shared_ptr<Offer> offer) : offer_(std::move(offer)) {}

    void Published(const std::string& text) override
    {
        offer_->text = sys::NarrowText(sys::WidenText(DesktopLineEnds(text)));
        offer_->hasText = true;
        offer_->Publish();
    }
    bool Fetch(std::string& text) override
    {
        std::string desktop;
        if (!win::x11::GetClipboardText(desktop, kAskMs)) return false;
        text = ClipboardLineEnds(desktop);
        return true;
    }
    void PublishedImage(const std::vector<std::uint8_t>& dib) override
    {
        gfx::Picture picture;
        std::string error;
        std::vector<std::uint8_t> file = BmpFileFromDib(dib);
        if (file.empty() || !gfx::ReadBmp(file, picture, error)) return;  // not an image others could read
        offer_->png = gfx::WritePng(picture);
        offer_->bmp = gfx::WriteBmp(picture, picture.hasAlpha ? 32 : 24);
        offer_->Publish();
    }
    bool HasImage() override
    {
        X11Display* x = CurrentX11Display();
        if (!x) return false;
        std::vector<std::string> types = x->ClipboardTypes(kAskMs);
        auto has = [&](const char* type) { return std::find(types.begin(), types.end(), type) != types.end(); };
        return has("image/png") || has("image/bmp");
    }
    bool FetchImage(std::vector<std::uint8_t>& dib) override
    {
        X11Display* x = CurrentX11Display();
        if (!x) return false;
        for (const char* type : {"image/png", "image/bmp"}) {
            std::string bytes;
            if (!x->ReadClipboard(type, bytes, kAskMs)) continue;
            dib = DibFromPictureFile(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
            if (!dib.empty()) return true;
        }
        return false;
    }
    void Emptied() override
    {
        // Our earlier offer is withdrawn; another program's stays.
        if (offer_->Empty()) return;
        offer_->Clear();
        offer_->Publish();
    }

private:
    std::shared_ptr<Offer> offer_;
};

}  // namespace

bool UseDesktopClipboard()
{
    X11Display* x = CurrentX11Display();
    if (!x) return false;
    auto offer = std::make_shared<Offer>();
    ctl::SetClipboardBackend(std::make_unique<DesktopClipboard>(offer));
    x->SetClipboardLostHandler([offer] {
        offer->Clear();
        ctl::ClipboardTakenElsewhere();
    });
    return true;
}

std::vector<std::uint8_t> BmpFileFromDib(const std::vector<std::uint8_t>& dib)
{
    if (dib.size() < kInfoHeaderBytes) return {};
    std::uint32_t headerBytes = ReadLe32(&dib[0]);
    if (headerBytes < kInfoHeaderBytes || headerBytes > dib.size()) return {};
    unsigned bits = dib[14] | (unsigned(dib[15]) << 8);
    std::uint32_t compression = ReadLe32(&dib[16]);
    std::uint32_t used = ReadLe32(&dib[32]);
    std::uint64_t colours = 0;
    if (bits >= 1 && bits <= 8) colours = used && used < (1u << bits) ? used : (1u << bits);
    std::uint64_t masks = compression == 3 && headerBytes == kInfoHeaderBytes ? 12 : 0;
    std::uint64_t offset = kFileHeaderBytes + headerBytes + masks + colours * 4;
    std::uint64_t total = kFileHeaderBytes + dib.size();
    if (offset > total || total > 0xFFFFFFFFu) return {};
    std::vector<std::uint8_t> file(kFileHeaderBytes, 0);
    file[0] = 'B';
    file[1] = 'M';
    WriteLe32(&file[2], static_cast<std::uint32_t>(total));
    WriteLe32(&file[10], static_cast<std::uint32_t>(offset));
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

std::vector<std::uint8_t> DibFromPictureFile(const std::vector<std::uint8_t>& bytes)
{
    gfx::Picture picture;
    std::string error;
    gfx::PictureFormat format = gfx::DetectPictureFormat(bytes);
    if (format != gfx::PictureFormat::Png && format != gfx::PictureFormat::Bmp) return {};
    if (!gfx::ReadPicture(bytes, picture, error)) return {};
    std::vector<std::uint8_t> file = gfx::WriteBmp(picture, 32);
    if (file.size() <= kFileHeaderBytes) return {};
    return std::vector<std::uint8_t>(file.begin() + kFileHeaderBytes, file.end());
}

std::string DesktopLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string ClipboardLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

}  // namespace quelvo::desktop
