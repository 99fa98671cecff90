#pragma once
// Picture codecs: BMP (1, 4, 8, 24, 32 bits), PNG and JPEG, all through one
// picture value. Malformed input gives false and a message, never a crash.

#include "platform/graphics/surface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quelvo::gfx {

enum class PictureFormat { Unknown, Bmp, Png, Jpeg };

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels; // top-down rows, 0xAARRGGBB
    bool hasAlpha = false;     // the alpha bytes carry information
    int sourceBits = 32;       // bits per pixel of the file it came from
};

PictureFormat DetectPictureFormat(const std::vector<std::uint8_t>& bytes);

// Each reader fills `picture` and returns true, or returns false and sets
// `error` to a short description of what is wrong with the data.
bool ReadBmp(const std::vector<std::uint8_t>& bytes, Picture& picture, std::string& error);
bool ReadPng(const std::vector<std::uint8_t>& bytes, Picture& picture, std::string& error);
bool ReadJpeg(const std::vector<std::uint8_t>& bytes, Picture& picture, std::string& error);
bool ReadPicture(const std::vector<std::uint8_t>& bytes, Picture& picture, std::string& error);

// bits: 1, 4, 8 (grey or palette of the colours present, nearest otherwise),
// 24 or 32; 54-byte header (plus the colour table), bottom-up rows padded to
// 4 bytes.
std::vector<std::uint8_t> WriteBmp(const Picture& picture, int bits);
std::vector<std::uint8_t> WritePng(const Picture& picture);
std::vector<std::uint8_t> WriteJpeg(const Picture& picture, int quality);

Picture PictureFromSurface(const Surface& surface, bool keepAlpha);
// A 32-bit DIB section holding the picture (top-down), or 0.
HBITMAP CreateBitmapFromPicture(const Picture& picture);
bool PictureFromBitmap(HBITMAP bitmap, Picture& picture);

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);
// Writes the surface as an opaque PNG (tests and screenshots).
bool DumpSurfacePng(const Surface& surface, const std::string& path);

} // namespace quelvo::gfx
