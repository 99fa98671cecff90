#include "platform/graphics/fonts.h"
#include "platform/system/text_conversion.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <tuple>

namespace quelvo::gfx {

namespace {

FT_Library Library()
{
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0)
            return static_cast<FT_Library>(nullptr);
        return l;
    }();
    return lib;
}

// Classic face names to families that Linux machines ship. Unknown names go
// to fontconfig as they are; it substitutes by its own rules.
std::vector<std::string> Families(const LOGFONTA& log)
{
    std::string name(log.lfFaceName, strnlen(log.lfFaceName, LF_FACESIZE));
    std::string key = quelvo::sys::AsciiLowerCase(name);
    static const std::map<std::string, std::vector<std::string>> map = {
        {"ms sans serif", {"Liberation Sans", "DejaVu Sans", "sans-serif"}},
        {"ms shell dlg", {"Liberation Sans", "DejaVu Sans", "sans-serif"}},
        {"ms shell dlg 2", {"Liberation Sans", "DejaVu Sans", "sans-serif"}},
        {"tahoma", {"Liberation Sans", "DejaVu Sans", "sans-serif"}},
        {"arial", {"Liberation Sans", "DejaVu Sans", "sans-serif"}},
        {"segoe ui", {"Liberation Sans", "DejaVu Sans", "sans-serif"}},
        {"verdana", {"DejaVu Sans", "sans-serif"}},
        {"courier new", {"Liberation Mono", "DejaVu Sans Mono", "monospace"}},
        {"courier", {"Liberation Mono", "DejaVu Sans Mono", "monospace"}},
        {"times new roman", {"Liberation Serif", "DejaVu Serif", "serif"}},
        {"system", {"DejaVu Sans", "sans-serif"}},
    };
    if (auto it = map.find(key); it != map.end())
        return it->second;
    if (key.empty()) {
        if ((log.lfPitchAndFamily & 0x3) == FIXED_PITCH || (log.lfPitchAndFamily & 0xF0) == FF_MODERN)
            return {"DejaVu Sans Mono", "monospace"};
        return {"Liberation Sans", "DejaVu Sans", "sans-serif"};
    }
    return {name, "sans-serif"};
}

struct Match {
    std::string file;
    int index = 0;
    bool bold = false;
    bool italic = false;
};

// Fontconfig lookups are slow: remember them per family, weight and slant.
bool FindFont(const std::vector<std::string>& families, bool bold, bool italic, Match& out)
{
    static std::map<std::tuple<std::string, bool, bool>, Match> cache;
    std::string cacheKey;
    for (const auto& f : families)
        cacheKey += f + ";";
    auto key = std::make_tuple(cacheKey, bold, italic);
    if (auto it = cache.find(key); it != cache.end()) {
        out = it->second;
        return !out.file.empty();
    }
    static bool ready = [] {
        if (FcInit() != FcTrue)
            return false;
        std::atexit(FcFini); // fontconfig keeps its configuration until told
        return true;
    }();
    Match m;
    if (ready) {
        for (const auto& family : families) {
            FcPattern* pat = FcPatternCreate();
            FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
            FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
            FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
            FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
            FcConfigSubstitute(nullptr, pat, FcMatchPattern);
            FcDefaultSubstitute(pat);
            FcResult result = FcResultNoMatch;
            FcPattern* found = FcFontMatch(nullptr, pat, &result);
            FcPatternDestroy(pat);
            if (!found)
                continue;
            FcChar8* file = nullptr;
            FcChar8* foundFamily = nullptr;
            int index = 0, weight = 0, slant = 0;
            bool familyOk = true;
            if (FcPatternGetString(found, FC_FAMILY, 0, &foundFamily) == FcResultMatch && family != families.back())
                familyOk = quelvo::sys::SameTextIgnoringAsciiCase(reinterpret_cast<const char*>(foundFamily), family);
            if (familyOk && FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch) {
                FcPatternGetInteger(found, FC_INDEX, 0, &index);
                FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
                FcPatternGetInteger(found, FC_SLANT, 0, &slant);
                m.file = reinterpret_cast<const char*>(file);
                m.index = index;
                m.bold = weight >= FC_WEIGHT_DEMIBOLD;
                m.italic = slant != FC_SLANT_ROMAN;
            }
            FcPatternDestroy(found);
            if (!m.file.empty())
                break;
        }
    }
    cache[key] = m;
    out = m;
    return !m.file.empty();
}

int EmFromHeight(const LOGFONTA& log, FT_Face face)
{
    if (log.lfHeight < 0)
        return std::min(-static_cast<long long>(log.lfHeight), 2048LL) > 0
                   ? static_cast<int>(std::min(-static_cast<long long>(log.lfHeight), 2048LL))
                   : 1;
    int cell = log.lfHeight == 0 ? 16 : std::min<int>(log.lfHeight, 2048);
    int upem = face && face->units_per_EM ? face->units_per_EM : 2048;
    int asc = face ? face->ascender : 1638, desc = face ? -face->descender : 410;
    if (face) {
        if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->usWinAscent) {
            asc = os2->usWinAscent;
            desc = os2->usWinDescent;
        }
    }
    int units = std::max(1, asc + desc);
    return std::max(1, static_cast<int>(std::lround(static_cast<double>(cell) * upem / units)));
}

} // namespace

FontFace::~FontFace()
{
    if (face_)
        FT_Done_Face(static_cast<FT_Face>(face_));
}

std::shared_ptr<FontFace> FontFace::For(const LOGFONTA& log)
{
    bool bold = log.lfWeight >= FW_SEMIBOLD;
    bool italic = log.lfItalic != 0;
    Match m;
    // The test face never goes to fontconfig: no file, the built-in face.
    if (!quelvo::sys::SameTextIgnoringAsciiCase(std::string(log.lfFaceName, strnlen(log.lfFaceName, LF_FACESIZE)),
                                                kFixedTestFace))
        FindFont(Families(log), bold, italic, m);
    // One face object per file, size and synthesis.
    static std::map<std::tuple<std::string, int, int, bool, bool, bool>, std::weak_ptr<FontFace>> faces;
    // The em size for a cell height needs the face's metrics: opened once
    // per file, index and height.
    static std::map<std::tuple<std::string, int, LONG>, int> ems;
    int em = 0;
    auto emKey = std::make_tuple(m.file, m.index, log.lfHeight);
    if (auto it = ems.find(emKey); it != ems.end()) {
        em = it->second;
    } else {
        FT_Face probe = nullptr;
        if (log.lfHeight >= 0 && !m.file.empty() && Library())
            FT_New_Face(Library(), m.file.c_str(), m.index, &probe);
        em = EmFromHeight(log, probe);
        if (probe)
            FT_Done_Face(probe);
        ems[emKey] = em;
    }
    bool mono = log.lfQuality == NONANTIALIASED_QUALITY;
    auto key = std::make_tuple(m.file, m.index, em, bold && !m.bold, italic && !m.italic, mono);
    if (auto it = faces.find(key); it != faces.end())
        if (auto live = it->second.lock())
            return live;
    std::shared_ptr<FontFace> f(new FontFace());
    LOGFONTA sized = log;
    sized.lfHeight = -em;
    if (m.file.empty() || !f->Open(m.file, m.index, sized, m.bold, m.italic))
        f->OpenBuiltin(sized);
    faces[key] = f;
    // Programs create and delete the same few fonts over and over: the most
    // recent faces stay open even when no font object holds them.
    static std::vector<std::shared_ptr<FontFace>> recent;
    recent.push_back(f);
    if (recent.size() > 32)
        recent.erase(recent.begin());
    return f;
}

bool FontFace::Open(const std::string& file, int index, const LOGFONTA& log, bool fileIsBold, bool fileIsItalic)
{
    if (!Library())
        return false;
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), file.c_str(), index, &face) != 0)
        return false;
    pixelSize_ = std::max(1, -log.lfHeight);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize_)) != 0) {
        FT_Done_Face(face);
        return false;
    }
    face_ = face;
    file_ = file;
    mono_ = log.lfQuality == NONANTIALIASED_QUALITY;
    emboldenSynth_ = log.lfWeight >= FW_SEMIBOLD && !fileIsBold;
    if (log.lfItalic && !fileIsItalic) {
        FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000}; // about 12 degrees
        FT_Set_Transform(face, &shear, nullptr);
    }
    int upem = face->units_per_EM ? face->units_per_EM : 2048;
    int asc = face->ascender, desc = -face->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->usWinAscent) {
        asc = os2->usWinAscent;
        desc = os2->usWinDescent;
    }
    auto px = [&](long units) { return static_cast<int>(std::lround(static_cast<double>(units) * pixelSize_ / upem)); };
    ascent_ = std::max(1, px(asc));
    descent_ = std::max(0, px(desc));
    internalLeading_ = std::max(0, ascent_ + descent_ - pixelSize_);
    externalLeading_ = std::max(0, px(face->height - (face->ascender - face->descender)));
    underlinePos_ = std::max(1, px(-face->underline_position));
    underlineThick_ = std::max(1, px(face->underline_thickness));
    strikePos_ = std::max(1, ascent_ / 3);
    fixedPitch_ = FT_IS_FIXED_WIDTH(face);
    // Average width as the classic metric: the width of 'x' is close to the
    // mean of lower-case letters; the maximum is the widest of ' '..'~'.
    aveWidth_ = std::max(1, Get('x').advance);
    for (std::uint32_t c = 32; c < 127; ++c)
        maxWidth_ = std::max(maxWidth_, Get(c).advance);
    return true;
}

void FontFace::OpenBuiltin(const LOGFONTA& log)
{
    face_ = nullptr;
    pixelSize_ = std::max(1, -log.lfHeight);
    ascent_ = std::max(1, pixelSize_ * 4 / 5);
    descent_ = std::max(1, pixelSize_ - ascent_);
    internalLeading_ = 0;
    aveWidth_ = maxWidth_ = std::max(1, pixelSize_ / 2);
    fixedPitch_ = true;
    strikePos_ = std::max(1, ascent_ / 3);
}

void FontFace::Render(std::uint32_t cp, Glyph& g)
{
    if (!face_) {
        g.advance = aveWidth_;
        if (cp == ' ' || cp == '\t')
            return;
        g.width = std::max(1, aveWidth_ - 1);
        g.height = std::max(1, ascent_ - 1);
        g.left = 0;
        g.top = g.height;
        g.coverage.assign(static_cast<size_t>(g.width * g.height), 0);
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                if (x == 0 || y == 0 || x == g.width - 1 || y == g.height - 1)
                    g.coverage[static_cast<size_t>(y * g.width + x)] = 255;
        return;
    }
    auto face = static_cast<FT_Face>(face_);
    FT_Int32 flags = FT_LOAD_DEFAULT | (mono_ ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
    if (FT_Load_Char(face, cp, flags) != 0 && FT_Load_Char(face, 0xFFFD, flags) != 0) {
        g.advance = aveWidth_;
        return;
    }
    FT_GlyphSlot slot = face->glyph;
    if (emboldenSynth_ && slot->format == FT_GLYPH_FORMAT_OUTLINE)
        FT_Outline_Embolden(&slot->outline, std::max<FT_Pos>(32, pixelSize_ * 2));
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6) + (emboldenSynth_ ? 1 : 0);
    if (FT_Render_Glyph(slot, mono_ ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return;
    const FT_Bitmap& bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.height = static_cast<int>(bm.rows);
    g.coverage.assign(static_cast<size_t>(g.width) * static_cast<size_t>(g.height), 0);
    for (int y = 0; y < g.height; ++y) {
        const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
        for (int x = 0; x < g.width; ++x) {
            std::uint8_t v = bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0)
                                                                 : row[x];
            g.coverage[static_cast<size_t>(y * g.width + x)] = v;
        }
    }
}

void Glyph::Trim()
{
    rowStart.assign(static_cast<size_t>(height), 0);
    rowEnd.assign(static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = coverage.data() + static_cast<size_t>(y) * width;
        int a = 0, b = width;
        while (a < b && row[a] == 0)
            ++a;
        while (b > a && row[b - 1] == 0)
            --b;
        rowStart[static_cast<size_t>(y)] = static_cast<std::uint16_t>(a);
        rowEnd[static_cast<size_t>(y)] = static_cast<std::uint16_t>(b);
    }
}

const Glyph& FontFace::Get(std::uint32_t cp)
{
    std::unique_ptr<Glyph>& slot = cp < 128 ? ascii_[cp] : others_[cp];
    if (!slot) {
        slot = std::make_unique<Glyph>();
        Render(cp, *slot);
        // Glyph bitmaps are far narrower than 65536 columns; wider ones are
        // dropped rather than trimmed wrongly.
        if (slot->width > 0xFFFF) {
            slot->width = slot->height = 0;
            slot->coverage.clear();
        }
        slot->Trim();
    }
    return *slot;
}

std::recursive_mutex& TextLock()
{
    static std::recursive_mutex lock;
    return lock;
}

const LOGFONTA& LogFontOf(DCObj& dc)
{
    FontObj* f = LookupFont(dc.st.font);
    if (!f)
        f = LookupFont(GetStockObject(SYSTEM_FONT));
    return f->log;
}

FontFace& FaceOf(DCObj& dc)
{
    FontObj* f = LookupFont(dc.st.font);
    if (!f)
        f = LookupFont(GetStockObject(SYSTEM_FONT));
    if (!f->face)
        f->face = FontFace::For(f->log);
    return *f->face;
}

std::vector<int> Utf8Offsets(const char* text, int length)
{
    std::vector<int> offsets;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    int i = 0;
    while (i < length) {
        offsets.push_back(i);
        unsigned char c = s[i];
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        bool ok = n > 0 && i + n <= length;
        for (int k = 1; ok && k < n; ++k)
            ok = (s[i + k] & 0xC0) == 0x80;
        i += ok ? n : 1;
    }
    offsets.push_back(length);
    return offsets;
}

std::vector<std::uint32_t> DecodeUtf8(const char* text, int length)
{
    std::vector<std::uint32_t> out;
    std::vector<int> offsets = Utf8Offsets(text, length);
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    out.reserve(offsets.size());
    for (size_t k = 0; k + 1 < offsets.size(); ++k) {
        int a = offsets[k], n = offsets[k + 1] - a;
        unsigned char c = s[a];
        std::uint32_t cp;
        if (n == 1)
            cp = c < 0x80 ? c : 0xFFFD;
        else if (n == 2)
            cp = ((c & 0x1Fu) << 6) | (s[a + 1] & 0x3Fu);
        else if (n == 3)
            cp = ((c & 0x0Fu) << 12) | ((s[a + 1] & 0x3Fu) << 6) | (s[a + 2] & 0x3Fu);
        else
            cp = ((c & 0x07u) << 18) | ((s[a + 1] & 0x3Fu) << 12) | ((s[a + 2] & 0x3Fu) << 6) | (s[a + 3] & 0x3Fu);
        out.push_back(cp);
    }
    return out;
}

} // namespace quelvo::gfx
