#pragma once
// Internal: fonts resolved through fontconfig and rendered with FreeType,
// with a glyph cache per face and size. When no font file can be found or
// opened, a built-in face draws each character as a hollow box so that
// layout still works.

#include "platform/graphics/gdiobjects.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace quelvo::gfx {

struct Glyph {
    int advance = 0;       // pixels
    int left = 0;          // bitmap offset from the pen position
    int top = 0;           // rows above the baseline
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage; // width * height, 0..255
    // Per row, the first and one past the last column with coverage (equal
    // for an empty row), so drawing skips the blank margins.
    std::vector<std::uint16_t> rowStart, rowEnd;
    void Trim();
};

class FontFace {
public:
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // The face for a logical font (shared between fonts that resolve alike).
    static std::shared_ptr<FontFace> For(const LOGFONTA& log);

    const Glyph& Get(std::uint32_t codepoint);
    int Ascent() const { return ascent_; }
    int Descent() const { return descent_; }
    int Height() const { return ascent_ + descent_; }
    int InternalLeading() const { return internalLeading_; }
    int ExternalLeading() const { return externalLeading_; }
    int AveCharWidth() const { return aveWidth_; }
    int MaxCharWidth() const { return maxWidth_; }
    int UnderlinePosition() const { return underlinePos_; }   // rows below baseline
    int UnderlineThickness() const { return underlineThick_; }
    int StrikeoutPosition() const { return strikePos_; }       // rows above baseline
    bool FixedPitch() const { return fixedPitch_; }
    bool Builtin() const { return face_ == nullptr; }
    const std::string& File() const { return file_; }
    int PixelSize() const { return pixelSize_; }

private:
    FontFace() = default;
    bool Open(const std::string& file, int index, const LOGFONTA& log, bool fileIsBold, bool fileIsItalic);
    void OpenBuiltin(const LOGFONTA& log);
    void Render(std::uint32_t codepoint, Glyph& g);

    void* face_ = nullptr; // FT_Face
    std::string file_;
    int pixelSize_ = 0;
    bool emboldenSynth_ = false;
    bool mono_ = false;
    int ascent_ = 0, descent_ = 0, internalLeading_ = 0, externalLeading_ = 0;
    int aveWidth_ = 0, maxWidth_ = 0;
    int underlinePos_ = 1, underlineThick_ = 1, strikePos_ = 0;
    bool fixedPitch_ = false;
    std::array<std::unique_ptr<Glyph>, 128> ascii_{};
    std::unordered_map<std::uint32_t, std::unique_ptr<Glyph>> others_;
};

// Faces, their glyph caches and the font lookups are shared by every
// thread: text calls hold this lock while they use them.
std::recursive_mutex& TextLock();

// The face of the font selected into a DC (call with TextLock held).
FontFace& FaceOf(DCObj& dc);
const LOGFONTA& LogFontOf(DCObj& dc);

// UTF-8 to code points; a byte that starts no valid sequence becomes U+FFFD
// on its own, so every byte is accounted for.
std::vector<std::uint32_t> DecodeUtf8(const char* text, int length);
// Byte offset where each code point starts, plus one entry for the end.
std::vector<int> Utf8Offsets(const char* text, int length);

} // namespace quelvo::gfx
