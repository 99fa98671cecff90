// Picture codecs. Every reader checks sizes and offsets against the data
// before touching it.
#include "platform/graphics/picture.h"

#include "platform/graphics/gdiobjects.h"
#include "platform/system/file_replace.h"

#include <jpeglib.h>
#include <jerror.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>

namespace quelvo::gfx {

namespace {

constexpr long long kMaxPixels = 1LL << 26;

std::uint32_t Le32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& v, std::uint16_t x)
{
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
}

bool Fail(std::string& error, const char* message)
{
    error = message;
    return false;
}

} // namespace

PictureFormat DetectPictureFormat(const std::vector<std::uint8_t>& b)
{
    if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M')
        return PictureFormat::Bmp;
    if (b.size() >= 8 && std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0)
        return PictureFormat::Png;
    if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return PictureFormat::Jpeg;
    return PictureFormat::Unknown;
}

// --- BMP ---------------------------------------------------------------------

bool ReadBmp(const std::vector<std::uint8_t>& b, Picture& pic, std::string& error)
{
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        return Fail(error, "not a BMP file");
    std::uint32_t dataOffset = Le32(&b[10]);
    std::uint32_t headerSize = Le32(&b[14]);
    if (headerSize < 40 || 14ull + headerSize > b.size())
        return Fail(error, "unsupported BMP header");
    auto width = static_cast<std::int32_t>(Le32(&b[18]));
    auto height = static_cast<std::int32_t>(Le32(&b[22]));
    std::uint16_t planes = Le16(&b[26]);
    std::uint16_t bits = Le16(&b[28]);
    std::uint32_t compression = Le32(&b[30]);
    std::uint32_t colorsUsed = Le32(&b[46]);
    if (planes != 1)
        return Fail(error, "BMP plane count is not 1");
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return Fail(error, "BMP size is invalid");
    bool topDown = height < 0;
    long long h = topDown ? -static_cast<long long>(height) : height;
    if (width > 32767 || h > 32767 || width * h > kMaxPixels)
        return Fail(error, "BMP is too large");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32 && bits != 16)
        return Fail(error, "unsupported BMP bit depth");
    std::uint32_t masks[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
    if (bits == 16)
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (compression == 3 /* bit fields */ && (bits == 16 || bits == 32)) {
        // The three masks follow the basic 40-byte header, inside a longer
        // header or after it; the alpha mask only inside one of 56 or more.
        if (14 + 40 + 12 > b.size())
            return Fail(error, "BMP bit fields are missing");
        const std::uint8_t* m = &b[14 + 40];
        masks[0] = Le32(m);
        masks[1] = Le32(m + 4);
        masks[2] = Le32(m + 8);
        if (headerSize >= 56)
            masks[3] = Le32(m + 12);
    } else if (compression != 0) {
        return Fail(error, "compressed BMP files are not supported");
    }
    std::vector<Pixel> palette;
    if (bits <= 8) {
        std::uint32_t count = colorsUsed ? colorsUsed : (1u << bits);
        if (count > (1u << bits))
            return Fail(error, "BMP colour table is too large");
        size_t start = 14 + headerSize;
        if (start + 4ull * count > b.size())
            return Fail(error, "BMP colour table is cut short");
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t* q = &b[start + 4 * i];
            palette.push_back((Pixel(q[2]) << 16) | (Pixel(q[1]) << 8) | q[0]);
        }
    }
    unsigned long long stride = ((static_cast<unsigned long long>(width) * bits + 31) / 32) * 4;
    if (dataOffset > b.size() || stride * h > b.size() - dataOffset)
        return Fail(error, "BMP pixel data is cut short");
    pic.width = width;
    pic.height = static_cast<int>(h);
    pic.sourceBits = bits;
    pic.pixels.assign(static_cast<size_t>(width * h), 0);
    pic.hasAlpha = false;
    auto channel = [](std::uint32_t v, std::uint32_t mask) -> std::uint32_t {
        if (!mask)
            return 0;
        int shift = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        std::uint32_t max = mask >> shift;
        return ((v & mask) >> shift) * 255 / max;
    };
    for (long long y = 0; y < h; ++y) {
        const std::uint8_t* row = &b[dataOffset + static_cast<size_t>((topDown ? y : h - 1 - y) * stride)];
        Pixel* out = &pic.pixels[static_cast<size_t>(y * width)];
        for (int x = 0; x < width; ++x) {
            Pixel p = 0;
            if (bits <= 8) {
                unsigned idx = bits == 8 ? row[x] : bits == 4 ? (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF
                                                              : (row[x >> 3] >> (7 - (x & 7))) & 1;
                p = idx < palette.size() ? palette[idx] : 0;
            } else if (bits == 24) {
                p = (Pixel(row[x * 3 + 2]) << 16) | (Pixel(row[x * 3 + 1]) << 8) | row[x * 3];
            } else {
                std::uint32_t v = bits == 16 ? Le16(&row[x * 2]) : Le32(&row[x * 4]);
                p = (channel(v, masks[0]) << 16) | (channel(v, masks[1]) << 8) | channel(v, masks[2]);
                if (bits == 32) {
                    std::uint32_t a = compression == 3 ? channel(v, masks[3]) : (v >> 24);
                    p |= a << 24;
                    if (a)
                        pic.hasAlpha = true;
                }
            }
            out[x] = p;
        }
    }
    return true;
}

namespace {

std::vector<Pixel> PaletteFor(const Picture& pic, int bits)
{
    int max = 1 << bits;
    std::vector<Pixel> distinct;
    std::map<Pixel, int> seen;
    for (Pixel p : pic.pixels) {
        p &= 0xFFFFFFu;
        if (seen.emplace(p, 0).second) {
            distinct.push_back(p);
            if (static_cast<int>(distinct.size()) > max)
                break;
        }
    }
    if (static_cast<int>(distinct.size()) <= max) {
        std::sort(distinct.begin(), distinct.end());
        if (bits == 1 && distinct.size() == 1)
            distinct.push_back(distinct[0] == 0 ? 0xFFFFFFu : 0u);
        return distinct;
    }
    std::vector<Pixel> pal;
    if (bits == 1)
        return {0u, 0xFFFFFFu};
    if (bits == 4) {
        const Pixel c[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                             0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        return std::vector<Pixel>(c, c + 16);
    }
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                pal.push_back((Pixel(r * 51) << 16) | (Pixel(g * 51) << 8) | Pixel(b * 51));
    for (int i = 0; i < 40; ++i) {
        Pixel v = static_cast<Pixel>(i * 255 / 39);
        pal.push_back((v << 16) | (v << 8) | v);
    }
    return pal;
}

unsigned Nearest(const std::vector<Pixel>& pal, Pixel p)
{
    unsigned best = 0;
    int bestD = 1 << 30;
    for (unsigned i = 0; i < pal.size(); ++i) {
        int dr = int((p >> 16) & 0xFF) - int((pal[i] >> 16) & 0xFF);
        int dg = int((p >> 8) & 0xFF) - int((pal[i] >> 8) & 0xFF);
        int db = int(p & 0xFF) - int(pal[i] & 0xFF);
        int d = dr * dr + dg * dg + db * db;
        if (d < bestD) {
            bestD = d;
            best = i;
        }
    }
    return best;
}

} // namespace

std::vector<std::uint8_t> WriteBmp(const Picture& pic, int bits)
{
    std::vector<std::uint8_t> out;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return out;
    if (pic.width <= 0 || pic.height <= 0 || pic.pixels.size() != static_cast<size_t>(pic.width) * pic.height)
        return out;
    std::vector<Pixel> pal = bits <= 8 ? PaletteFor(pic, bits) : std::vector<Pixel>{};
    std::uint32_t paletteBytes = static_cast<std::uint32_t>((bits <= 8 ? (1u << bits) : 0) * 4);
    std::uint32_t stride = ((static_cast<std::uint32_t>(pic.width) * bits + 31) / 32) * 4;
    std::uint32_t image = stride * static_cast<std::uint32_t>(pic.height);
    std::uint32_t offset = 54 + paletteBytes;
    out.reserve(offset + image);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + image);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(pic.width));
    Put32(out, static_cast<std::uint32_t>(pic.height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint16_t>(bits));
    Put32(out, 0);
    Put32(out, image);
    Put32(out, 3780); // 96 DPI in pixels per metre
    Put32(out, 3780);
    Put32(out, bits <= 8 ? static_cast<std::uint32_t>(1u << bits) : 0);
    Put32(out, 0);
    if (bits <= 8)
        for (std::uint32_t i = 0; i < (1u << bits); ++i) {
            Pixel p = i < pal.size() ? pal[i] : 0;
            out.push_back(static_cast<std::uint8_t>(p & 0xFF));
            out.push_back(static_cast<std::uint8_t>((p >> 8) & 0xFF));
            out.push_back(static_cast<std::uint8_t>((p >> 16) & 0xFF));
            out.push_back(0);
        }
    std::map<Pixel, unsigned> indexCache;
    for (int y = pic.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        const Pixel* in = &pic.pixels[static_cast<size_t>(y) * pic.width];
        for (int x = 0; x < pic.width; ++x) {
            Pixel p = in[x];
            if (bits <= 8) {
                Pixel key = p & 0xFFFFFFu;
                auto it = indexCache.find(key);
                unsigned idx = it != indexCache.end() ? it->second : (indexCache[key] = Nearest(pal, key));
                if (bits == 8)
                    row[x] = static_cast<std::uint8_t>(idx);
                else if (bits == 4)
                    row[x >> 1] |= static_cast<std::uint8_t>((x & 1) ? idx : idx << 4);
                else if (idx)
                    row[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
            } else if (bits == 24) {
                row[x * 3] = static_cast<std::uint8_t>(p & 0xFF);
                row[x * 3 + 1] = static_cast<std::uint8_t>((p >> 8) & 0xFF);
                row[x * 3 + 2] = static_cast<std::uint8_t>((p >> 16) & 0xFF);
            } else {
                std::memcpy(&row[x * 4], &p, 4);
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// --- PNG (libpng's simplified interface reports errors without jumps) --------

bool ReadPng(const std::vector<std::uint8_t>& bytes, Picture& pic, std::string& error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return Fail(error, image.message[0] ? image.message : "not a PNG file");
    if (image.width == 0 || image.height == 0 || image.width > 32767 || image.height > 32767 ||
        static_cast<long long>(image.width) * image.height > kMaxPixels) {
        png_image_free(&image);
        return Fail(error, "PNG is too large");
    }
    bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_BGRA;
    std::vector<Pixel> pixels(static_cast<size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        std::string message = image.message;
        png_image_free(&image);
        return Fail(error, message.empty() ? "damaged PNG data" : message.c_str());
    }
    pic.width = static_cast<int>(image.width);
    pic.height = static_cast<int>(image.height);
    pic.pixels = std::move(pixels);
    pic.hasAlpha = alpha;
    pic.sourceBits = alpha ? 32 : 24;
    if (!alpha)
        for (Pixel& p : pic.pixels)
            p &= 0xFFFFFFu;
    return true;
}

std::vector<std::uint8_t> WritePng(const Picture& pic)
{
    std::vector<std::uint8_t> out;
    if (pic.width <= 0 || pic.height <= 0 || pic.pixels.size() != static_cast<size_t>(pic.width) * pic.height)
        return out;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(pic.width);
    image.height = static_cast<png_uint_32>(pic.height);
    image.format = pic.hasAlpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    std::vector<std::uint8_t> packed;
    const void* source = pic.pixels.data();
    if (!pic.hasAlpha) {
        packed.reserve(pic.pixels.size() * 3);
        for (Pixel p : pic.pixels) {
            packed.push_back(static_cast<std::uint8_t>(p & 0xFF));
            packed.push_back(static_cast<std::uint8_t>((p >> 8) & 0xFF));
            packed.push_back(static_cast<std::uint8_t>((p >> 16) & 0xFF));
        }
        source = packed.data();
    }
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, source, 0, nullptr))
        return out;
    out.resize(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, source, 0, nullptr))
        out.clear();
    else
        out.resize(size);
    return out;
}

// --- JPEG --------------------------------------------------------------------

namespace {

struct JpegError {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegFail(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings stay quiet, except that data ending early is an error: the
// decoder would fill the rest of the picture with grey.
void JpegWarning(j_common_ptr cinfo, int level)
{
    if (level < 0 && (cinfo->err->msg_code == JWRN_JPEG_EOF || cinfo->err->msg_code == JWRN_HIT_MARKER))
        JpegFail(cinfo);
}

// Huffman coding takes at least one bit for every 8 x 8 block; arithmetic
// coding can take less, so a JPEG may hold 64 blocks per byte of data before
// its declared size counts as beyond what its data can hold.
bool BeyondItsData(JDIMENSION width, JDIMENSION height, unsigned long size)
{
    const unsigned long long blocks = ((width + 7ull) / 8) * ((height + 7ull) / 8);
    return blocks > 64ull * size;
}

// Decodes into `pixels`; kept free of objects with destructors between the
// jump point and the calls that may jump.
bool DecodeJpeg(const std::uint8_t* data, unsigned long size, std::vector<Pixel>& pixels, int& w, int& h,
                char* message)
{
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = JpegFail;
    err.base.emit_message = JpegWarning;
    err.message[0] = '\0';
    std::vector<std::uint8_t> row;
    if (setjmp(err.jump)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > 32767 ||
        cinfo.image_height > 32767 || static_cast<long long>(cinfo.image_width) * cinfo.image_height > kMaxPixels) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", "JPEG is too large");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (BeyondItsData(cinfo.image_width, cinfo.image_height, size)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", "JPEG size is beyond what its data can hold");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    w = static_cast<int>(cinfo.output_width);
    h = static_cast<int>(cinfo.output_height);
    pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    row.resize(static_cast<size_t>(w) * cinfo.output_components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row.data()};
        int y = static_cast<int>(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &row[static_cast<size_t>(x) * cinfo.output_components];
            pixels[static_cast<size_t>(y) * w + x] = (Pixel(p[0]) << 16) | (Pixel(p[1]) << 8) | p[2];
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool EncodeJpeg(const Picture& pic, int quality, unsigned char*& buffer, unsigned long& size)
{
    jpeg_compress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = JpegFail;
    err.base.emit_message = [](j_common_ptr, int) {};
    std::vector<std::uint8_t> row(static_cast<size_t>(pic.width) * 3);
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(pic.width);
    cinfo.image_height = static_cast<JDIMENSION>(pic.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, std::clamp(quality, 1, 100), TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const Pixel* in = &pic.pixels[static_cast<size_t>(cinfo.next_scanline) * pic.width];
        for (int x = 0; x < pic.width; ++x) {
            row[static_cast<size_t>(x) * 3] = static_cast<std::uint8_t>((in[x] >> 16) & 0xFF);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<std::uint8_t>((in[x] >> 8) & 0xFF);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<std::uint8_t>(in[x] & 0xFF);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

bool ReadJpeg(const std::vector<std::uint8_t>& bytes, Picture& pic, std::string& error)
{
    if (bytes.size() < 3 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return Fail(error, "not a JPEG file");
    char message[JMSG_LENGTH_MAX] = {};
    std::vector<Pixel> pixels;
    int w = 0, h = 0;
    if (!DecodeJpeg(bytes.data(), static_cast<unsigned long>(bytes.size()), pixels, w, h, message)) {
        error = message[0] ? message : "damaged JPEG data";
        return false;
    }
    pic.width = w;
    pic.height = h;
    pic.pixels = std::move(pixels);
    pic.hasAlpha = false;
    pic.sourceBits = 24;
    return true;
}

std::vector<std::uint8_t> WriteJpeg(const Picture& pic, int quality)
{
    std::vector<std::uint8_t> out;
    if (pic.width <= 0 || pic.height <= 0 || pic.pixels.size() != static_cast<size_t>(pic.width) * pic.height)
        return out;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (EncodeJpeg(pic, quality, buffer, size) && buffer)
        out.assign(buffer, buffer + size);
    std::free(buffer);
    return out;
}

bool ReadPicture(const std::vector<std::uint8_t>& bytes, Picture& pic, std::string& error)
{
    switch (DetectPictureFormat(bytes)) {
    case PictureFormat::Bmp: return ReadBmp(bytes, pic, error);
    case PictureFormat::Png: return ReadPng(bytes, pic, error);
    case PictureFormat::Jpeg: return ReadJpeg(bytes, pic, error);
    default: return Fail(error, "unknown picture format");
    }
}

// --- Bridges -----------------------------------------------------------------

Picture PictureFromSurface(const Surface& s, bool keepAlpha)
{
    Picture pic;
    pic.width = s.Width();
    pic.height = s.Height();
    pic.hasAlpha = keepAlpha;
    pic.pixels.reserve(static_cast<size_t>(pic.width) * pic.height);
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x)
            pic.pixels.push_back(keepAlpha ? s.At(x, y) : (s.At(x, y) & 0xFFFFFFu));
    return pic;
}

HBITMAP CreateBitmapFromPicture(const Picture& pic)
{
    if (pic.width <= 0 || pic.height <= 0 || pic.pixels.size() != static_cast<size_t>(pic.width) * pic.height)
        return nullptr;
    BITMAPINFO info;
    info.bmiHeader.biWidth = pic.width;
    info.bmiHeader.biHeight = -pic.height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits)
        return nullptr;
    std::memcpy(bits, pic.pixels.data(), pic.pixels.size() * 4);
    return bmp;
}

bool PictureFromBitmap(HBITMAP bitmap, Picture& pic)
{
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b)
        return false;
    b->Sync(BitmapAccess::Read);
    pic = PictureFromSurface(b->surface, b->bitsPixel == 32);
    pic.sourceBits = b->bitsPixel;
    return true;
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Fail(error, "cannot open the file");
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!quelvo::sys::ReplaceFileContents(path, content))
        return Fail(error, "cannot write the file");
    return true;
}

bool DumpSurfacePng(const Surface& surface, const std::string& path)
{
    std::vector<std::uint8_t> png = WritePng(PictureFromSurface(surface, false));
    std::string error;
    return !png.empty() && WriteFileBytes(path, png, error);
}

} // namespace quelvo::gfx
