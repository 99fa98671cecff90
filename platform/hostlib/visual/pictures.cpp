#include "platform/hostlib/visual/pictures.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/graphics/cursor_file.h"
#include "platform/hostlib/core/resources.h"
#include "platform/hostlib/visual/clipboard.h"
#include "platform/hostlib/core/streams.h"
#include "platform/system/little_endian.h"

namespace hostlib {

namespace gfx = quelvo::gfx;

namespace {

constexpr int kMaxSide = 16384;

std::vector<std::uint8_t> ReadRest(TStream& stream)
{
    const std::int64_t size = stream.Size() - stream.Position();
    if (size < 0 || size > (std::int64_t{1} << 30)) throw EInvalidGraphic("Picture data too large");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0) stream.ReadBuffer(bytes.data(), size);
    return bytes;
}

bool ValidPicture(const gfx::Picture& p)
{
    return p.width >= 0 && p.height >= 0 && p.width <= kMaxSide && p.height <= kMaxSide &&
           p.pixels.size() == static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height);
}

std::uint32_t Read16(const std::vector<std::uint8_t>& b, std::size_t at) { return quelvo::sys::ReadLe16(&b[at]); }
std::uint32_t Read32(const std::vector<std::uint8_t>& b, std::size_t at) { return quelvo::sys::ReadLe32(&b[at]); }
void Put16(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// One icon image stored as a device-independent bitmap: colour rows then
// the AND mask, both bottom-up, the header's height doubled.
bool DecodeIconDib(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t size, gfx::Picture& out,
                   std::string& error)
{
    const std::size_t end = at + size;
    if (size < 40 || Read32(b, at) < 40 || Read32(b, at) > size) return error = "icon image header truncated", false;
    const std::uint32_t headerSize = Read32(b, at);
    const auto width = static_cast<std::int32_t>(Read32(b, at + 4));
    const auto doubled = static_cast<std::int32_t>(Read32(b, at + 8));
    const std::uint32_t bpp = Read16(b, at + 14);
    const std::uint32_t compression = Read32(b, at + 16);
    std::uint32_t colours = Read32(b, at + 32);
    if (width <= 0 || width > kMaxSide || doubled <= 1 || doubled / 2 > kMaxSide) return error = "icon size invalid", false;
    if (compression != 0) return error = "compressed icon images are not supported", false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return error = "icon bit count invalid", false;
    const int height = doubled / 2;
    if (bpp <= 8 && colours == 0) colours = 1u << bpp;
    if (bpp > 8) colours = 0;
    if (colours > 256) return error = "icon palette too large", false;
    const std::uint64_t paletteAt = at + headerSize;
    const std::uint64_t xorAt = paletteAt + std::uint64_t{colours} * 4;
    const std::uint64_t xorStride = ((std::uint64_t(width) * bpp + 31) / 32) * 4;
    const std::uint64_t andAt = xorAt + xorStride * height;
    const std::uint64_t andStride = ((std::uint64_t(width) + 31) / 32) * 4;
    const bool hasMask = andAt + andStride * height <= end;
    if (andAt > end || (!hasMask && bpp != 32)) return error = "icon image data truncated", false;
    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    out.sourceBits = static_cast<int>(bpp);
    bool anyAlpha = false;
    for (int row = 0; row < height; ++row) {
        const std::size_t src = static_cast<std::size_t>(xorAt + xorStride * (height - 1 - row));
        for (int x = 0; x < width; ++x) {
            gfx::Pixel p = 0;
            if (bpp == 32) {
                const std::size_t q = src + static_cast<std::size_t>(x) * 4;
                p = Read32(b, q);
                if (p >> 24) anyAlpha = true;
            } else if (bpp == 24) {
                const std::size_t q = src + static_cast<std::size_t>(x) * 3;
                p = 0xFF000000u | (b[q + 2] << 16) | (b[q + 1] << 8) | b[q];
            } else {
                const std::size_t bit = static_cast<std::size_t>(x) * bpp;
                const unsigned byte = b[src + bit / 8];
                const unsigned index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                if (index >= colours) return error = "icon colour index out of range", false;
                const std::size_t q = static_cast<std::size_t>(paletteAt) + index * 4;
                p = 0xFF000000u | (b[q + 2] << 16) | (b[q + 1] << 8) | b[q];
            }
            out.pixels[static_cast<std::size_t>(row) * width + x] = p;
        }
    }
    if (bpp == 32 && anyAlpha) {
        out.hasAlpha = true;
        return true;
    }
    for (int row = 0; row < height; ++row) {
        const std::size_t src = static_cast<std::size_t>(andAt + andStride * (height - 1 - row));
        for (int x = 0; x < width; ++x) {
            gfx::Pixel& p = out.pixels[static_cast<std::size_t>(row) * width + x];
            const bool transparent = hasMask && ((b[src + x / 8] >> (7 - x % 8)) & 1);
            p = transparent ? (p & 0x00FFFFFF) : (p | 0xFF000000u);
        }
    }
    out.hasAlpha = true;
    return true;
}

bool DecodeIcon(const std::vector<std::uint8_t>& b, gfx::Picture& out, std::string& error)
{
    if (b.size() < 6 || Read16(b, 0) != 0 || (Read16(b, 2) != 1 && Read16(b, 2) != 2))
        return error = "not an icon", false;
    const std::uint32_t count = Read16(b, 4);
    if (count == 0 || 6 + std::size_t{count} * 16 > b.size()) return error = "icon directory truncated", false;
    // The largest image, then the deepest.
    std::size_t best = 0;
    std::uint64_t bestScore = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t e = 6 + std::size_t{i} * 16;
        const std::uint64_t w = b[e] ? b[e] : 256, h = b[e + 1] ? b[e + 1] : 256;
        const std::uint64_t score = (w * h) << 8 | std::min<std::uint32_t>(Read16(b, e + 6), 255);
        if (i == 0 || score > bestScore) {
            best = e;
            bestScore = score;
        }
    }
    const std::uint64_t size = Read32(b, best + 8);
    const std::uint64_t offset = Read32(b, best + 12);
    if (offset + size > b.size() || size < 8) return error = "icon image outside the file", false;
    static constexpr std::uint8_t kPng[] = {0x89, 'P', 'N', 'G'};
    if (std::equal(std::begin(kPng), std::end(kPng), b.begin() + static_cast<std::ptrdiff_t>(offset))) {
        std::vector<std::uint8_t> png(b.begin() + static_cast<std::ptrdiff_t>(offset),
                                      b.begin() + static_cast<std::ptrdiff_t>(offset + size));
        return gfx::ReadPng(png, out, error);
    }
    return DecodeIconDib(b, static_cast<std::size_t>(offset), static_cast<std::size_t>(size), out, error);
}

std::vector<std::uint8_t> EncodeIcon(const gfx::Picture& p)
{
    const std::uint32_t w = static_cast<std::uint32_t>(p.width), h = static_cast<std::uint32_t>(p.height);
    const std::uint32_t andStride = ((w + 31) / 32) * 4;
    const std::uint32_t imageSize = 40 + w * h * 4 + andStride * h;
    std::vector<std::uint8_t> b;
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, 1);
    b.push_back(static_cast<std::uint8_t>(w >= 256 ? 0 : w));
    b.push_back(static_cast<std::uint8_t>(h >= 256 ? 0 : h));
    b.push_back(0);
    b.push_back(0);
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, imageSize);
    Put32(b, 22);
    Put32(b, 40);
    Put32(b, w);
    Put32(b, h * 2);
    Put16(b, 1);
    Put16(b, 32);
    for (int i = 0; i < 6; ++i) Put32(b, 0);
    for (std::uint32_t row = 0; row < h; ++row)
        for (std::uint32_t x = 0; x < w; ++x) Put32(b, p.pixels[static_cast<std::size_t>(h - 1 - row) * w + x]);
    for (std::uint32_t row = 0; row < h; ++row) {
        std::vector<std::uint8_t> mask(andStride, 0);
        for (std::uint32_t x = 0; x < w; ++x)
            if ((p.pixels[static_cast<std::size_t>(h - 1 - row) * w + x] >> 24) == 0) mask[x / 8] |= 0x80 >> (x % 8);
        b.insert(b.end(), mask.begin(), mask.end());
    }
    return b;
}

std::vector<TFileFormat>& Formats()
{
    static std::vector<TFileFormat> formats;
    static bool initialised = false;
    if (!initialised) {
        initialised = true;
        formats = {
            {"bmp", "Bitmaps", TBitmap::StaticClass()},
            {"ico", "Icons", TIcon::StaticClass()},
            {"png", "Portable network graphics", TPngImage::StaticClass()},
            {"jpg", "JPEG image file", TJPEGImage::StaticClass()},
            {"jpeg", "JPEG image file", TJPEGImage::StaticClass()},
            {"wmf", "Metafiles", TMetafile::StaticClass()},
            {"emf", "Enhanced metafiles", TMetafile::StaticClass()},
        };
    }
    return formats;
}

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

void DrawPixels(HDC dc, const RECT& rect, const gfx::Picture& picture)
{
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (!ValidPicture(picture) || picture.width == 0 || picture.height == 0 || w <= 0 || h <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp) return;
    auto* out = static_cast<gfx::Pixel*>(bits);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    if (!picture.hasAlpha) {
        // Opaque: blending at full alpha is a copy, without weighing each
        // pixel of a large picture for the few a small rectangle shows.
        for (std::size_t i = 0; i < picture.pixels.size(); ++i) out[i] = picture.pixels[i] | 0xFF000000u;
        StretchBlt(dc, rect.left, rect.top, w, h, mem, 0, 0, picture.width, picture.height, SRCCOPY);
    } else {
        for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
            const gfx::Pixel p = picture.pixels[i];
            const unsigned a = p >> 24;
            auto scale = [a](unsigned v) { return (v * a + 127) / 255; };
            out[i] = (a << 24) | (scale((p >> 16) & 0xFF) << 16) | (scale((p >> 8) & 0xFF) << 8) | scale(p & 0xFF);
        }
        BLENDFUNCTION blend;
        blend.AlphaFormat = AC_SRC_ALPHA;
        AlphaBlend(dc, rect.left, rect.top, w, h, mem, 0, 0, picture.width, picture.height, blend);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
}

// ---- TPixelGraphic ---------------------------------------------------------------------

TClass TPixelGraphic::StaticClass() { return DefineClass<TPixelGraphic, TGraphic>("TPixelGraphic"); }

void TPixelGraphic::SetSize(int width, int height)
{
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide) throw EInvalidGraphic("Invalid picture size");
    gfx::Picture resized;
    resized.width = width;
    resized.height = height;
    resized.hasAlpha = picture_.hasAlpha;
    resized.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    for (int y = 0; y < std::min(height, picture_.height); ++y)
        for (int x = 0; x < std::min(width, picture_.width); ++x)
            resized.pixels[static_cast<std::size_t>(y) * width + x] = picture_.pixels[static_cast<std::size_t>(y) * picture_.width + x];
    picture_ = std::move(resized);
    Changed();
}

void TPixelGraphic::SetPixels(const gfx::Picture& picture)
{
    if (!ValidPicture(picture)) throw EInvalidGraphic("Invalid picture size");
    picture_ = picture;
    Changed();
}

void TPixelGraphic::LoadFromStream(TStream& stream)
{
    const auto bytes = ReadRest(stream);
    gfx::Picture picture;
    std::string error;
    if (!Decode(bytes, picture, error) || !ValidPicture(picture))
        throw EInvalidGraphic(std::string(FormatName()) + " is not valid" + (error.empty() ? "" : ": " + error));
    picture_ = std::move(picture);
    Changed();
}

void TPixelGraphic::SaveToStream(TStream& stream)
{
    const auto bytes = Encode();
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TPixelGraphic::Draw(TCanvas& canvas, const RECT& rect) { DrawPixels(canvas.Handle(), rect, picture_); }

void TPixelGraphic::Assign(TPersistent* source)
{
    if (auto* other = As<TPixelGraphic>(source)) {
        SetPixels(other->picture_);
        return;
    }
    if (auto* bitmap = As<TBitmap>(source)) {
        gfx::Picture p = bitmap->ToPicture();
        p.hasAlpha = false;
        for (auto& px : p.pixels) px |= 0xFF000000u;
        SetPixels(p);
        return;
    }
    TGraphic::Assign(source);
}

void TPixelGraphic::AssignTo(TPersistent* dest)
{
    if (auto* bitmap = As<TBitmap>(dest)) {
        bitmap->LoadFromPicture(picture_);
        return;
    }
    TGraphic::AssignTo(dest);
}

// ---- TIcon -------------------------------------------------------------------------------

TClass TIcon::StaticClass() { return DefineClass<TIcon, TPixelGraphic>("TIcon"); }

TIcon::~TIcon()
{
    if (handle_) DestroyIcon(handle_);
}

void TIcon::Changed()
{
    if (handle_) DestroyIcon(handle_);
    handle_ = nullptr;
    TPixelGraphic::Changed();
}

HICON TIcon::Handle()
{
    if (!handle_ && picture_.width > 0 && picture_.height > 0) {
        HBITMAP colour = gfx::CreateBitmapFromPicture(picture_);
        HBITMAP mask = CreateBitmap(picture_.width, picture_.height, 1, 1, nullptr);
        ICONINFO info;
        info.hbmColor = colour;
        info.hbmMask = mask;
        handle_ = CreateIconIndirect(&info);
        DeleteObject(colour);
        DeleteObject(mask);
    }
    return handle_;
}

void TIcon::SetHandle(HICON icon)
{
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info)) throw EInvalidGraphic("Icon image is not valid");
    gfx::Picture p;
    const bool ok = info.hbmColor && gfx::PictureFromBitmap(info.hbmColor, p);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (!ok) throw EInvalidGraphic("Icon image is not valid");
    SetPixels(p);
}

void TIcon::LoadFromResourceName(const std::string& name)
{
    TResourceStream resource(name, restype::Icon);
    LoadFromStream(resource);
}

HCURSOR LoadCursorFromResourceName(const std::string& name)
{
    TResourceStream resource(name, restype::Cursor);
    std::string error;
    HCURSOR cursor = gfx::CreateCursorFromFile(ReadRest(resource), error);
    if (!cursor) throw EInvalidGraphic("Cursor " + name + " is not valid: " + error);
    return cursor;
}

bool TIcon::Decode(const std::vector<std::uint8_t>& bytes, gfx::Picture& picture, std::string& error)
{
    return DecodeIcon(bytes, picture, error);
}

std::vector<std::uint8_t> TIcon::Encode() { return picture_.width > 0 ? EncodeIcon(picture_) : std::vector<std::uint8_t>{}; }

// ---- TPngImage / TJPEGImage / TMetafile -------------------------------------------------------

TClass TPngImage::StaticClass() { return DefineClass<TPngImage, TPixelGraphic>("TPngImage"); }

bool TPngImage::Decode(const std::vector<std::uint8_t>& bytes, gfx::Picture& picture, std::string& error)
{
    // The header's size first, before any pixel is decoded.
    if (bytes.size() >= 24) {
        auto be32 = [&](std::size_t at) {
            return (std::uint32_t{bytes[at]} << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
        };
        if (be32(16) > kMaxSide || be32(20) > kMaxSide) return error = "PNG image too large", false;
    }
    return gfx::DetectPictureFormat(bytes) == gfx::PictureFormat::Png ? gfx::ReadPng(bytes, picture, error)
                                                                      : (error = "not a PNG image", false);
}

std::vector<std::uint8_t> TPngImage::Encode() { return gfx::WritePng(picture_); }

TClass TJPEGImage::StaticClass() { return DefineClass<TJPEGImage, TPixelGraphic>("TJPEGImage"); }

void TJPEGImage::SetCompressionQuality(int value) { quality_ = std::clamp(value, 1, 100); }

void TJPEGImage::Changed()
{
    // Data just loaded or copied stays; any other change makes it stale.
    if (!keepData_) data_.clear();
    keepData_ = false;
    TPixelGraphic::Changed();
}

void TJPEGImage::Compress()
{
    gfx::Picture opaque = picture_;
    for (auto& p : opaque.pixels) p |= 0xFF000000u;
    data_ = picture_.width > 0 ? gfx::WriteJpeg(opaque, quality_) : std::vector<std::uint8_t>{};
}

void TJPEGImage::SaveToStream(TStream& stream)
{
    if (data_.empty()) Compress();
    if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TJPEGImage::Assign(TPersistent* source)
{
    if (auto* other = As<TJPEGImage>(source)) {
        const std::vector<std::uint8_t> data = other->data_;
        quality_ = other->quality_;
        keepData_ = true;
        data_ = data;
        SetPixels(other->picture_);
        return;
    }
    TPixelGraphic::Assign(source);
}

bool TJPEGImage::Decode(const std::vector<std::uint8_t>& bytes, gfx::Picture& picture, std::string& error)
{
    if (gfx::DetectPictureFormat(bytes) != gfx::PictureFormat::Jpeg) return error = "not a JPEG image", false;
    if (!gfx::ReadJpeg(bytes, picture, error)) return false;
    picture.hasAlpha = false;
    // The loaded data is what saving writes back.
    keepData_ = true;
    data_ = bytes;
    return true;
}

std::vector<std::uint8_t> TJPEGImage::Encode()
{
    if (data_.empty()) Compress();
    return data_;
}

TClass TMetafile::StaticClass() { return DefineClass<TMetafile, TGraphic>("TMetafile"); }

void TMetafile::LoadFromStream(TStream&) { throw EInvalidGraphic("Metafile is not valid"); }

// ---- registry --------------------------------------------------------------------------------

void RegisterFileFormat(const std::string& extension, const std::string& description, TClass graphicClass)
{
    if (!graphicClass || !graphicClass->InheritsFrom(TGraphic::StaticClass()))
        throw EInvalidGraphic("Not a graphic class");
    std::string ext = Lower(extension);
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    auto& formats = Formats();
    formats.erase(std::remove_if(formats.begin(), formats.end(), [&](const TFileFormat& f) { return f.Extension == ext; }),
                  formats.end());
    formats.push_back(TFileFormat{ext, description, graphicClass});
}

void UnregisterGraphicClass(TClass graphicClass)
{
    auto& formats = Formats();
    formats.erase(std::remove_if(formats.begin(), formats.end(),
                                 [&](const TFileFormat& f) { return f.GraphicClass == graphicClass; }),
                  formats.end());
}

const std::vector<TFileFormat>& FileFormats() { return Formats(); }

TClass GraphicClassForExtension(const std::string& extension)
{
    std::string ext = Lower(extension);
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    for (const auto& f : Formats())
        if (f.Extension == ext) return f.GraphicClass;
    return nullptr;
}

TClass FindGraphicClass(const std::string& className)
{
    const std::string name = Lower(className);
    for (const auto& f : Formats())
        if (Lower(f.GraphicClass->ClassName()) == name) return f.GraphicClass;
    return nullptr;
}

std::string GraphicFileMask(TClass graphicClass)
{
    std::string mask;
    for (const auto& f : Formats()) {
        if (graphicClass && !f.GraphicClass->InheritsFrom(graphicClass)) continue;
        if (!mask.empty()) mask += ';';
        mask += "*." + f.Extension;
    }
    return mask;
}

std::string GraphicFilter(TClass graphicClass)
{
    const std::string all = GraphicFileMask(graphicClass);
    std::string filter;
    int count = 0;
    for (const auto& f : Formats()) {
        if (graphicClass && !f.GraphicClass->InheritsFrom(graphicClass)) continue;
        filter += "|" + f.Description + " (*." + f.Extension + ")|*." + f.Extension;
        ++count;
    }
    if (count > 1) filter = "All (" + all + ")|" + all + filter;
    else if (!filter.empty()) filter.erase(0, 1);
    return filter;
}

std::string GraphicExtension(TClass graphicClass)
{
    for (const auto& f : Formats())
        if (f.GraphicClass == graphicClass) return f.Extension;
    for (const auto& f : Formats())
        if (graphicClass && f.GraphicClass->InheritsFrom(graphicClass)) return f.Extension;
    return "";
}

// ---- TPicture ---------------------------------------------------------------------------------

TClass TPicture::StaticClass() { return DefineClass<TPicture, TPersistent>("TPicture"); }

TPicture::~TPicture()
{
    if (graphic_) graphic_->Free();
}

void TPicture::Take(TGraphic* graphic)
{
    TGraphic* old = graphic_;
    graphic_ = graphic;
    if (graphic_) graphic_->OnChange = TNotifyEvent::Bind(this, &TPicture::GraphicChanged);
    if (old) old->Free();
    OnChange(this);
}

void TPicture::SetGraphic(TGraphic* graphic)
{
    if (graphic == graphic_) return;
    if (!graphic) {
        Take(nullptr);
        return;
    }
    ObjectPtr<TGraphic> copy(CreateInstance<TGraphic>(graphic->ClassType()));
    copy->Assign(graphic);
    Take(copy.release());
}

TBitmap* TPicture::Bitmap()
{
    if (!As<TBitmap>(graphic_)) Take(CreateObject<TBitmap>());
    return static_cast<TBitmap*>(graphic_);
}

TIcon* TPicture::Icon()
{
    if (!As<TIcon>(graphic_)) Take(CreateObject<TIcon>());
    return static_cast<TIcon*>(graphic_);
}

void TPicture::LoadFromFile(const std::string& path)
{
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    const std::string ext = dot == std::string::npos || (slash != std::string::npos && dot < slash) ? "" : path.substr(dot);
    TClass cls = GraphicClassForExtension(ext);
    if (!cls) throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
    ObjectPtr<TGraphic> graphic(CreateInstance<TGraphic>(cls));
    graphic->LoadFromFile(path);
    Take(graphic.release());
}

void TPicture::SaveToFile(const std::string& path)
{
    if (graphic_) graphic_->SaveToFile(path);
}

void TPicture::Assign(TPersistent* source)
{
    if (!source) return SetGraphic(nullptr);
    if (auto* picture = As<TPicture>(source)) return SetGraphic(picture->graphic_);
    if (auto* graphic = As<TGraphic>(source)) return SetGraphic(graphic);
    TPersistent::Assign(source);
}

void TPicture::AssignTo(TPersistent* dest)
{
    if (graphic_ && As<TGraphic>(dest)) {
        static_cast<TGraphic*>(dest)->Assign(graphic_);
        return;
    }
    TPersistent::AssignTo(dest);
}

bool TPicture::SupportsClipboardFormat(UINT format) { return format == 2 || format == CF_PICTURE(); }

}  // namespace hostlib
