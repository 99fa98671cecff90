// Canvas, bitmaps, picture formats and their registry, image lists and the
// clipboard.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <cstring>

#include "platform/controls/winctl.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/hostlib/visual/clipboard.h"
#include "platform/hostlib/visual/imagelist.h"
#include "platform/hostlib/visual/pictures.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/core/resources.h"
#include "platform/hostlib/core/streams.h"

using namespace hostlib;
using namespace visualtest;
namespace gfx = quelvo::gfx;

namespace {

class Graphics : public VisualTest {};

// A w x h bitmap whose pixel (x, y) has colour RGB(x*16, y*16, 0x40).
ObjectPtr<TBitmap> Gradient(int w, int h, TPixelFormat format = pf24bit)
{
    ObjectPtr<TBitmap> b(CreateObject<TBitmap>());
    b->SetPixelFormat(format);
    b->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b->Canvas()->SetPixel(x, y, static_cast<TColor>(RGB(x * 16, y * 16, 0x40)));
    return b;
}

std::vector<std::uint8_t> Bytes(TGraphic& g)
{
    auto stream = MakeObject<TMemoryStream>();
    g.SaveToStream(*stream);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream->Size()));
    stream->SetPosition(0);
    if (!bytes.empty()) stream->ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    return bytes;
}

void Load(TGraphic& g, const std::vector<std::uint8_t>& bytes)
{
    auto stream = MakeObject<TMemoryStream>();
    if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream->SetPosition(0);
    g.LoadFromStream(*stream);
}

TEST_F(Graphics, ScanLinesAreTopDownRowsPaddedToFourBytes)
{
    struct Case {
        TPixelFormat format;
        int width;
        int bytesPerLine;
    };
    const Case cases[] = {{pf1bit, 10, 4}, {pf1bit, 33, 8}, {pf4bit, 10, 8}, {pf8bit, 10, 12},
                          {pf24bit, 10, 32}, {pf24bit, 1, 4}, {pf32bit, 10, 40}};
    for (const Case& k : cases) {
        ObjectPtr<TBitmap> b(CreateObject<TBitmap>());
        b->SetPixelFormat(k.format);
        b->SetSize(k.width, 3);
        EXPECT_EQ(b->BytesPerScanLine(), k.bytesPerLine) << k.format << " " << k.width;
        EXPECT_EQ(b->ScanLine(1) - b->ScanLine(0), k.bytesPerLine);
        EXPECT_THROW(b->ScanLine(3), EInvalidGraphic);
        EXPECT_THROW(b->ScanLine(-1), EInvalidGraphic);
    }
    ObjectPtr<TBitmap> b(CreateObject<TBitmap>());
    b->SetPixelFormat(pf24bit);
    b->SetSize(4, 4);
    std::uint8_t* top = b->ScanLine(0);
    top[0] = 0x11;  // blue
    top[1] = 0x22;  // green
    top[2] = 0x33;  // red
    EXPECT_EQ(b->Canvas()->Pixel(0, 0), static_cast<TColor>(RGB(0x33, 0x22, 0x11))) << "row 0 is the top row";
    EXPECT_THROW(b->SetSize(16385, 1), EInvalidGraphic);
    EXPECT_THROW(b->SetSize(-1, 1), EInvalidGraphic);
}

TEST_F(Graphics, TheAutomaticTransparentColourIsTheBottomLeftPixel)
{
    auto b = Gradient(4, 4);
    EXPECT_EQ(b->TransparentColor(), static_cast<TColor>(RGB(0, 48, 0x40)));
    b->SetTransparentColor(clRed);
    EXPECT_EQ(b->TransparentMode(), tmFixed);
    EXPECT_EQ(b->TransparentColor(), clRed);
    b->SetTransparentMode(tmAuto);
    EXPECT_EQ(b->TransparentColor(), static_cast<TColor>(RGB(0, 48, 0x40)));
}

TEST_F(Graphics, PictureFormatsRoundTrip)
{
    auto source = Gradient(8, 6);
    struct Case {
        TClass cls;
        int tolerance;
    };
    const Case cases[] = {{TBitmap::StaticClass(), 0}, {TPngImage::StaticClass(), 0}, {TIcon::StaticClass(), 0},
                          {TJPEGImage::StaticClass(), 40}};
    for (const Case& k : cases) {
        ObjectPtr<TGraphic> written(CreateInstance<TGraphic>(k.cls));
        written->Assign(source.get());
        const auto bytes = Bytes(*written);
        ASSERT_FALSE(bytes.empty()) << k.cls->ClassName();
        ObjectPtr<TGraphic> read(CreateInstance<TGraphic>(k.cls));
        Load(*read, bytes);
        ASSERT_EQ(read->Width(), 8) << k.cls->ClassName();
        ASSERT_EQ(read->Height(), 6);
        ObjectPtr<TBitmap> back(CreateObject<TBitmap>());
        back->Assign(read.get());
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const COLORREF got = static_cast<COLORREF>(back->Canvas()->Pixel(x, y));
                const COLORREF want = RGB(x * 16, y * 16, 0x40);
                for (int shift = 0; shift < 24; shift += 8)
                    EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((want >> shift) & 0xFF), k.tolerance)
                        << k.cls->ClassName() << " " << x << "," << y;
            }
    }
}

TEST_F(Graphics, IconsKeepTheirTransparency)
{
    gfx::Picture p;
    p.width = 2;
    p.height = 2;
    p.hasAlpha = true;
    p.pixels = {0xFFFF0000u, 0x00000000u, 0x00000000u, 0xFF0000FFu};
    ObjectPtr<TIcon> icon(CreateObject<TIcon>());
    icon->SetPixels(p);
    ObjectPtr<TIcon> read(CreateObject<TIcon>());
    Load(*read, Bytes(*icon));
    EXPECT_EQ(read->Pixels().pixels, p.pixels);
    EXPECT_NE(icon->Handle(), nullptr);
    // Drawn over white: transparent pixels keep the background.
    auto canvasBitmap = Gradient(2, 2);
    canvasBitmap->Canvas()->Brush()->SetColor(clWhite);
    canvasBitmap->Canvas()->FillRect(RECT{0, 0, 2, 2});
    canvasBitmap->Canvas()->Draw(0, 0, read.get());
    EXPECT_EQ(canvasBitmap->Canvas()->Pixel(0, 0), clRed);
    EXPECT_EQ(canvasBitmap->Canvas()->Pixel(1, 0), clWhite);
    EXPECT_EQ(canvasBitmap->Canvas()->Pixel(1, 1), clBlue);
}

TEST_F(Graphics, BitmapsAndIconsFromResources)
{
    auto source = Gradient(3, 2);
    ObjectPtr<TBitmap> bmp(CreateObject<TBitmap>());
    bmp->Assign(source.get());
    const auto file = Bytes(*bmp);
    RegisterResource("TEST_FILE_BMP", "BITMAP", file.data(), file.size());
    RegisterResource("TEST_BARE_DIB", "BITMAP", file.data() + 14, file.size() - 14);
    RegisterResource("TEST_BAD_DIB", "BITMAP", file.data() + 20, file.size() - 20);
    ObjectPtr<TIcon> icon(CreateObject<TIcon>());
    icon->Assign(source.get());
    const auto ico = Bytes(*icon);
    RegisterResource("TEST_ICON", "ICON", ico.data(), ico.size());
    for (const char* name : {"TEST_FILE_BMP", "test_bare_dib"}) {
        ObjectPtr<TBitmap> loaded(CreateObject<TBitmap>());
        loaded->LoadFromResourceName(name);
        ASSERT_EQ(loaded->Width(), 3) << name;
        EXPECT_EQ(loaded->Canvas()->Pixel(2, 1), static_cast<TColor>(RGB(32, 16, 0x40))) << name;
    }
    ObjectPtr<TBitmap> bad(CreateObject<TBitmap>());
    EXPECT_THROW(bad->LoadFromResourceName("TEST_BAD_DIB"), EInvalidGraphic);
    EXPECT_THROW(bad->LoadFromResourceName("NO_SUCH_BITMAP"), EResNotFound);
    ObjectPtr<TIcon> loadedIcon(CreateObject<TIcon>());
    loadedIcon->LoadFromResourceName("TEST_ICON");
    EXPECT_EQ(loadedIcon->Width(), 3);
}

// A component with a bitmap, as buttons carry their glyphs.
class TGlyphHolder : public TComponent {
public:
    static TClass StaticClass()
    {
        return DefineClass<TGlyphHolder, TComponent>(
            "TGlyphHolder", [](ClassBuilder<TGlyphHolder>& b) { b.Property("Glyph", &TGlyphHolder::Glyph); });
    }
    TClass ClassType() const override { return StaticClass(); }
    TBitmap* Glyph() const { return glyph_.get(); }

private:
    ObjectPtr<TBitmap> glyph_{CreateObject<TBitmap>()};
};

std::string HexText(const std::vector<std::uint8_t>& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

TEST_F(Graphics, BitmapPixelsTravelThroughFormResources)
{
    RegisterClasses({TGlyphHolder::StaticClass()});
    auto source = Gradient(3, 2);
    const std::string text = "Holder : TGlyphHolder {\n  Glyph.Data = hex{" + HexText(Bytes(*source)) + "};\n}\n";
    ObjectPtr<TComponent> holder(CreateFromFormResource(text, "glyph.form", nullptr));
    TBitmap* glyph = static_cast<TGlyphHolder*>(holder.get())->Glyph();
    ASSERT_EQ(glyph->Width(), 3);
    ASSERT_EQ(glyph->Height(), 2);
    EXPECT_EQ(glyph->Canvas()->Pixel(2, 1), static_cast<TColor>(RGB(32, 16, 0x40)));
    // Written back, the pixels read the same; an empty glyph writes nothing.
    const std::string written = WriteFormResource(holder.get());
    EXPECT_NE(written.find("Glyph.Data = hex{"), std::string::npos) << written;
    ObjectPtr<TComponent> again(CreateFromFormResource(written, "again.form", nullptr));
    EXPECT_EQ(static_cast<TGlyphHolder*>(again.get())->Glyph()->Canvas()->Pixel(2, 1), static_cast<TColor>(RGB(32, 16, 0x40)));
    ObjectPtr<TGlyphHolder> empty(CreateObject<TGlyphHolder>());
    EXPECT_EQ(WriteFormResource(empty.get()).find("Glyph.Data"), std::string::npos);
    // Bytes that are no bitmap fail with the line that holds them.
    for (const char* bad : {"Holder : TGlyphHolder {\n  Glyph.Data = hex{424D00};\n}\n",
                            "Holder : TGlyphHolder {\n  Glyph.Data = \"x\";\n}\n"}) {
        try {
            ObjectPtr<TComponent> broken(CreateFromFormResource(bad, "bad.form", nullptr));
            ADD_FAILURE() << "read " << bad;
        } catch (const EFormResourceError& e) {
            EXPECT_NE(std::string(e.what()).find("bad.form:2:"), std::string::npos) << e.what();
        }
    }
}

TEST_F(Graphics, CursorsFromResources)
{
    // 8 x 8, one bit, hot spot (5, 6), every pixel black and opaque.
    std::vector<std::uint8_t> file;
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) file.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(0, 2), put(2, 2), put(1, 2);
    put(8, 1), put(8, 1), put(0, 2), put(5, 2), put(6, 2), put(40 + 8 + 64, 4), put(22, 4);
    put(40, 4), put(8, 4), put(16, 4), put(1, 2), put(1, 2);
    for (int i = 0; i < 6; ++i) put(0, 4);
    put(0, 4), put(0xFFFFFF, 4);
    for (int i = 0; i < 16; ++i) put(0, 4);
    RegisterResource("TEST_CURSOR", restype::Cursor, file.data(), file.size());
    RegisterResource("TEST_BAD_CURSOR", restype::Cursor, file.data(), file.size() - 10);
    HCURSOR cursor = LoadCursorFromResourceName("test_cursor");
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 6u);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyCursor(cursor);
    EXPECT_THROW(LoadCursorFromResourceName("TEST_BAD_CURSOR"), EInvalidGraphic);
    EXPECT_THROW(LoadCursorFromResourceName("NO_SUCH_CURSOR"), EResNotFound);
}

TEST_F(Graphics, JpegCompressionQualityChangesTheData)
{
    auto source = Gradient(16, 16);
    ObjectPtr<TJPEGImage> jpeg(CreateObject<TJPEGImage>());
    jpeg->Assign(source.get());
    jpeg->SetCompressionQuality(10);
    jpeg->Compress();
    const std::size_t small = jpeg->DataSize();
    jpeg->SetCompressionQuality(100);
    jpeg->Compress();
    EXPECT_GT(jpeg->DataSize(), small);
    EXPECT_EQ(Bytes(*jpeg).size(), jpeg->DataSize()) << "saving writes the compressed data";
    jpeg->SetCompressionQuality(500);
    EXPECT_EQ(jpeg->CompressionQuality(), 100);
}

std::vector<std::uint8_t> Le32(std::vector<std::uint8_t> b, std::size_t at, std::uint32_t v)
{
    if (b.size() < at + 4) b.resize(at + 4);
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    return b;
}

TEST_F(Graphics, CorruptDataRaisesInvalidGraphicWithoutCrashing)
{
    auto source = Gradient(4, 4);
    ObjectPtr<TBitmap> bmp(CreateObject<TBitmap>());
    bmp->Assign(source.get());
    const auto goodBmp = Bytes(*bmp);
    ObjectPtr<TIcon> ico(CreateObject<TIcon>());
    ico->Assign(source.get());
    const auto goodIco = Bytes(*ico);
    ObjectPtr<TPngImage> png(CreateObject<TPngImage>());
    png->Assign(source.get());
    const auto goodPng = Bytes(*png);
    ObjectPtr<TJPEGImage> jpg(CreateObject<TJPEGImage>());
    jpg->Assign(source.get());
    const auto goodJpg = Bytes(*jpg);
    auto cut = [](std::vector<std::uint8_t> b, std::size_t n) {
        b.resize(std::min(n, b.size()));
        return b;
    };
    struct Case {
        std::string name;
        TClass cls;
        std::vector<std::uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"empty bitmap", TBitmap::StaticClass(), {}},
        {"truncated bitmap", TBitmap::StaticClass(), cut(goodBmp, 30)},
        {"bitmap of 100000 pixels wide", TBitmap::StaticClass(), Le32(goodBmp, 18, 100000)},
        {"jpeg data as a bitmap", TBitmap::StaticClass(), goodJpg},
        {"garbage icon", TIcon::StaticClass(), {1, 2, 3, 4, 5, 6, 7, 8}},
        {"icon image outside the file", TIcon::StaticClass(), Le32(goodIco, 18, 1u << 30)},
        {"icon image size past the end", TIcon::StaticClass(), Le32(goodIco, 14, 1u << 20)},
        {"icon of 0 images", TIcon::StaticClass(), {0, 0, 1, 0, 0, 0}},
        {"icon with a huge width", TIcon::StaticClass(), Le32(goodIco, 22 + 4, 40000)},
        {"truncated icon pixels", TIcon::StaticClass(), cut(goodIco, 70)},
        {"truncated png", TPngImage::StaticClass(), cut(goodPng, 40)},
        {"png of 20000 rows", TPngImage::StaticClass(), [&] {
             auto b = goodPng;
             b[20] = 0;
             b[21] = 0;
             b[22] = 0x4E;
             b[23] = 0x20;
             return b;
         }()},
        {"bitmap of 20000 rows", TBitmap::StaticClass(), Le32(goodBmp, 22, 20000)},
        {"bitmap as png", TPngImage::StaticClass(), goodBmp},
        {"truncated jpeg", TJPEGImage::StaticClass(), cut(goodJpg, 20)},
        {"metafile", TMetafile::StaticClass(), {1, 0, 9, 0}},
    };
    for (const Case& k : cases) {
        ObjectPtr<TGraphic> g(CreateInstance<TGraphic>(k.cls));
        EXPECT_THROW(Load(*g, k.bytes), EInvalidGraphic) << k.name;
    }
}

TEST_F(Graphics, TheRegistryFindsClassesByExtensionAndName)
{
    struct Case {
        std::string extension;
        TClass cls;
    };
    const Case cases[] = {{"bmp", TBitmap::StaticClass()}, {".ICO", TIcon::StaticClass()},
                          {"Png", TPngImage::StaticClass()}, {".jpg", TJPEGImage::StaticClass()},
                          {"jpeg", TJPEGImage::StaticClass()}, {"wmf", TMetafile::StaticClass()}, {"xyz", nullptr}};
    for (const Case& k : cases) EXPECT_EQ(GraphicClassForExtension(k.extension), k.cls) << k.extension;
    EXPECT_EQ(FindGraphicClass("tjpegimage"), TJPEGImage::StaticClass());
    EXPECT_EQ(FindGraphicClass("TNothing"), nullptr);
    EXPECT_EQ(GraphicFilter(TBitmap::StaticClass()), "Bitmaps (*.bmp)|*.bmp");
    EXPECT_EQ(GraphicFilter(TJPEGImage::StaticClass()),
              "All (*.jpg;*.jpeg)|*.jpg;*.jpeg|JPEG image file (*.jpg)|*.jpg|JPEG image file (*.jpeg)|*.jpeg");
    EXPECT_EQ(GraphicExtension(TJPEGImage::StaticClass()), "jpg");
    EXPECT_EQ(GraphicFileMask(TGraphic::StaticClass()), "*.bmp;*.ico;*.png;*.jpg;*.jpeg;*.wmf;*.emf");
}

TEST_F(Graphics, PicturesLoadByExtensionAndKeepTheirGraphicOnFailure)
{
    const std::string dir = ::testing::TempDir();
    auto source = Gradient(5, 3);
    ObjectPtr<TPicture> picture(CreateObject<TPicture>());
    int changes = 0;
    picture->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    picture->SetGraphic(source.get());
    EXPECT_NE(picture->Graphic(), source.get()) << "the picture keeps a copy";
    for (const std::string ext : {"bmp", "png", "ico", "jpg"}) {
        ObjectPtr<TGraphic> g(CreateInstance<TGraphic>(GraphicClassForExtension(ext)));
        g->Assign(source.get());
        const std::string path = dir + "/pic." + ext;
        g->SaveToFile(path);
        picture->LoadFromFile(path);
        EXPECT_EQ(picture->Graphic()->ClassType(), GraphicClassForExtension(ext)) << ext;
        EXPECT_EQ(picture->Width(), 5);
    }
    TGraphic* before = picture->Graphic();
    EXPECT_THROW(picture->LoadFromFile(dir + "/pic.xyz"), EInvalidGraphic);
    {
        auto f = MakeObject<TFileStream>(dir + "/bad.png", fmCreate);
        f->WriteBuffer("nonsense", 8);
    }
    EXPECT_THROW(picture->LoadFromFile(dir + "/bad.png"), EInvalidGraphic);
    EXPECT_EQ(picture->Graphic(), before);
    EXPECT_GE(changes, 5);
    picture->Assign(nullptr);
    EXPECT_EQ(picture->Graphic(), nullptr);
}

TEST_F(Graphics, ImageListsSplitMaskAndDrawDisabled)
{
    // Three 4x4 images side by side; the bottom-left pixel is the key.
    ObjectPtr<TBitmap> strip(CreateObject<TBitmap>());
    strip->SetPixelFormat(pf24bit);
    strip->SetSize(12, 4);
    strip->Canvas()->Brush()->SetColor(clFuchsia);
    strip->Canvas()->FillRect(RECT{0, 0, 12, 4});
    strip->Canvas()->SetPixel(1, 1, clRed);
    strip->Canvas()->SetPixel(5, 1, clLime);
    strip->Canvas()->SetPixel(9, 1, clBlue);
    ObjectPtr<TImageList> list(CreateObject<TImageList>(nullptr));
    list->SetSize(4, 4);
    int linkChanges = 0;
    ObjectPtr<TChangeLink> link(CreateObject<TChangeLink>());
    link->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++linkChanges; });
    list->RegisterChanges(link.get());
    EXPECT_EQ(list->AddMasked(strip.get(), clDefault), 0);
    EXPECT_EQ(list->Count(), 3);
    EXPECT_EQ(linkChanges, 1);
    struct Case {
        int index;
        bool enabled;
        TColor at11;
        TColor at22;
    };
    const Case cases[] = {
        {0, true, clRed, clWhite},
        {1, true, clLime, clWhite},
        {2, true, clBlue, clWhite},
        {0, false, clBtnShadow, clBtnHighlight},
    };
    for (const Case& k : cases) {
        ObjectPtr<TBitmap> target(CreateObject<TBitmap>());
        target->SetPixelFormat(pf24bit);
        target->SetSize(6, 6);
        target->Canvas()->Brush()->SetColor(clWhite);
        target->Canvas()->FillRect(RECT{0, 0, 6, 6});
        list->Draw(target->Canvas(), 0, 0, k.index, k.enabled);
        EXPECT_EQ(target->Canvas()->Pixel(1, 1), static_cast<TColor>(ColorToRGB(k.at11))) << k.index << k.enabled;
        EXPECT_EQ(target->Canvas()->Pixel(2, 2), static_cast<TColor>(ColorToRGB(k.at22))) << k.index << k.enabled;
        EXPECT_EQ(target->Canvas()->Pixel(3, 3), clWhite) << "masked pixels stay";
    }
    list->UnRegisterChanges(link.get());
    list->Delete(0);
    EXPECT_EQ(linkChanges, 1);
    EXPECT_EQ(list->Count(), 2);
    EXPECT_THROW(list->Delete(5), EInvalidOperation);
    list->RegisterChanges(link.get());
    list.reset();
    EXPECT_EQ(link->Sender(), nullptr) << "a freed list lets its links go";
}

TEST_F(Graphics, CanvasTextUnderAClearBrushLeavesTheBackground)
{
    ObjectPtr<TBitmap> b(CreateObject<TBitmap>());
    b->SetSize(60, 20);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clYellow);
    c->FillRect(RECT{0, 0, 60, 20});
    c->Brush()->SetColor(clBlue);
    c->TextOut(0, 0, "  ");
    EXPECT_EQ(c->Pixel(2, 5), clBlue) << "an opaque brush fills behind the text";
    c->Brush()->SetColor(clYellow);
    c->FillRect(RECT{0, 0, 60, 20});
    c->Brush()->SetStyle(bsClear);
    c->TextOut(0, 0, "  ");
    EXPECT_EQ(c->Pixel(2, 5), clYellow);
    EXPECT_GT(c->TextWidth("WW"), c->TextWidth("W"));
    c->Lock();
    c->Lock();
    c->Unlock();
    EXPECT_EQ(c->LockCount(), 1);
}

TEST_F(Graphics, CopyRectFollowsTheCopyMode)
{
    auto source = Gradient(4, 4);
    ObjectPtr<TBitmap> target(CreateObject<TBitmap>());
    target->SetSize(8, 4);
    struct Case {
        DWORD mode;
        COLORREF (*expected)(COLORREF);
    };
    const Case cases[] = {
        {SRCCOPY, [](COLORREF c) { return c; }},
        {NOTSRCCOPY, [](COLORREF c) { return static_cast<COLORREF>(~c & 0xFFFFFF); }},
    };
    ASSERT_EQ(source->Canvas()->Pixel(2, 1), static_cast<TColor>(RGB(32, 16, 0x40)));
    for (const Case& k : cases) {
        target->Canvas()->SetCopyMode(k.mode);
        target->Canvas()->CopyRect(RECT{4, 0, 8, 4}, source->Canvas(), RECT{0, 0, 4, 4});
        EXPECT_EQ(static_cast<COLORREF>(target->Canvas()->Pixel(6, 1)), k.expected(RGB(32, 16, 0x40))) << k.mode;
    }
    for (TPixelFormat format : {pf8bit, pf24bit, pf32bit}) {
        auto drawn = Gradient(4, 4, format);
        target->Canvas()->Draw(0, 0, drawn.get());
        const COLORREF got = static_cast<COLORREF>(target->Canvas()->Pixel(2, 1));
        if (format == pf8bit) EXPECT_NE(got, 0u) << "drawn through its canvas, copied as a source";
        else EXPECT_EQ(got, RGB(32, 16, 0x40)) << format;
    }
    target->Canvas()->Pen()->SetColor(clRed);
    target->Canvas()->Brush()->SetColor(clWhite);
    target->Canvas()->RoundRect(0, 0, 4, 4, 2, 2);
    EXPECT_EQ(target->Canvas()->Pixel(2, 0), clRed);
    EXPECT_EQ(target->Canvas()->Pixel(2, 2), clWhite);
    // An exclusive-or pen drawn twice leaves the picture as it was.
    target->Canvas()->Pen()->SetMode(pmXor);
    target->Canvas()->Pen()->SetColor(clYellow);
    const TColor before = target->Canvas()->Pixel(2, 2);
    for (int pass = 0; pass < 2; ++pass) {
        target->Canvas()->MoveTo(0, 2);
        target->Canvas()->LineTo(4, 2);
        EXPECT_EQ(target->Canvas()->Pixel(2, 2), pass == 0 ? (before ^ clYellow) : before);
    }
}

TEST_F(Graphics, ClipboardTextAndPictures)
{
    Clipboard()->SetAsText("hello clipboard");
    EXPECT_EQ(Clipboard()->AsText(), "hello clipboard");
    EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
    auto source = Gradient(3, 3);
    Clipboard()->Assign(source.get());
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_METAFILEPICT));
    ObjectPtr<TPicture> picture(CreateObject<TPicture>());
    picture->Assign(Clipboard());
    ASSERT_NE(As<TBitmap>(picture->Graphic()), nullptr);
    EXPECT_EQ(picture->Bitmap()->Canvas()->Pixel(2, 1), static_cast<TColor>(RGB(32, 16, 0x40)));
    Clipboard()->Clear();
    EXPECT_THROW(picture->Assign(Clipboard()), EInvalidGraphic);
}


TEST_F(Graphics, SystemColoursAreTheHighBitPlusTheIndex)
{
    EXPECT_EQ(clWindow, -2147483643);
    EXPECT_EQ(clBtnFace, static_cast<TColor>(0x8000000Fu));
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(ColorToRGB(clNone), 0u);
}

TEST_F(Graphics, BrushAdoptsAHandle)
{
    {
        // A system colour brush is not owned: it outlives the brush.
        auto brush = MakeObject<TBrush>();
        brush->SetHandle(GetSysColorBrush(COLOR_WINDOW));
        EXPECT_EQ(brush->Color(), clWindow);
        EXPECT_EQ(brush->Handle(), GetSysColorBrush(COLOR_WINDOW));
    }
    LOGBRUSH lb{};
    EXPECT_EQ(GetObjectA(GetSysColorBrush(COLOR_WINDOW), sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
    // Any other brush is owned and deleted with the brush.
    HBRUSH own = CreateSolidBrush(RGB(1, 2, 3));
    {
        auto brush = MakeObject<TBrush>();
        brush->SetHandle(own);
        EXPECT_EQ(brush->Color(), static_cast<TColor>(RGB(1, 2, 3)));
        auto bitmap = MakeObject<TBitmap>();
        bitmap->SetSize(2, 2);
        bitmap->Canvas()->Brush()->Assign(brush.get());
        bitmap->Canvas()->Brush()->SetHandle(CreateSolidBrush(RGB(9, 8, 7)));
        bitmap->Canvas()->FillRect(RECT{0, 0, 2, 2});
        EXPECT_EQ(bitmap->Canvas()->Pixel(1, 1), static_cast<TColor>(RGB(9, 8, 7)));
    }
    EXPECT_EQ(GetObjectA(own, sizeof(lb), &lb), 0);
}

TEST_F(Graphics, BrushOfABitmapFollowsTheBitmapsPixels)
{
    // An 8 x 8 pattern of two colours by parity, as the scroll-bar tracks use.
    ObjectPtr<TBitmap> pattern(CreateObject<TBitmap>());
    pattern->SetSize(8, 8);
    auto paint = [&](TColor even, TColor odd) {
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) pattern->Canvas()->SetPixel(x, y, (x + y) % 2 ? odd : even);
    };
    paint(clRed, clBlue);
    ObjectPtr<TBitmap> target(CreateObject<TBitmap>());
    target->SetSize(20, 10);
    TCanvas* c = target->Canvas();
    c->Brush()->SetColor(clYellow);
    c->Brush()->SetBitmap(pattern.get());
    auto filled = [&](TColor even, TColor odd) {
        c->FillRect(RECT{0, 0, 20, 10});
        for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {9, 0}, {12, 3}, {19, 9}, {18, 9}})
            if (c->Pixel(x, y) != ((x + y) % 2 ? odd : even)) return false;
        return true;
    };
    EXPECT_TRUE(filled(clRed, clBlue)) << "the pattern repeats every 8 pixels";
    // The bitmap changes while the brush stays selected in the canvas.
    paint(clGreen, clWhite);
    EXPECT_TRUE(filled(clGreen, clWhite)) << "drawn on through its canvas";
    for (int y = 0; y < 8; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(pattern->ScanLine(y));
        for (int x = 0; x < 8; ++x) row[x] = (x + y) % 2 ? 0x000000 : 0x00FFFF; // 0xRRGGBB: aqua
    }
    EXPECT_TRUE(filled(clAqua, clBlack)) << "written through its scan lines";
    ObjectPtr<TBrush> copy(CreateObject<TBrush>());
    copy->Assign(c->Brush());
    EXPECT_EQ(copy->Bitmap(), pattern.get());
    c->Brush()->SetBitmap(nullptr);
    EXPECT_TRUE(filled(clYellow, clYellow)) << "without the bitmap the colour is back";
}

TEST_F(Graphics, BitmapAdoptsAHandle)
{
    auto source = Gradient(3, 2, pf32bit);
    HBITMAP handle = CreateBitmap(3, 2, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, handle);
    BitBlt(dc, 0, 0, 3, 2, source->Canvas()->Handle(), 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
    auto bitmap = MakeObject<TBitmap>();
    bitmap->SetHandle(handle);
    EXPECT_EQ(bitmap->Width(), 3);
    EXPECT_EQ(bitmap->Height(), 2);
    EXPECT_EQ(bitmap->PixelFormat(), pf32bit);
    EXPECT_EQ(bitmap->Canvas()->Pixel(2, 1), static_cast<TColor>(RGB(32, 16, 0x40)));
    BITMAP info{};
    EXPECT_EQ(GetObjectA(handle, sizeof(info), &info), 0) << "the adopted handle is deleted";
}

TEST_F(Graphics, BrushCopyReplacesTheTransparentColour)
{
    // Glyph: a red frame around a green centre of 1 x 1, on a 3 x 3 bitmap.
    auto glyph = MakeObject<TBitmap>();
    glyph->SetSize(3, 3);
    glyph->Canvas()->Brush()->SetColor(clRed);
    glyph->Canvas()->FillRect(RECT{0, 0, 3, 3});
    glyph->Canvas()->SetPixel(1, 1, clLime);
    auto target = MakeObject<TBitmap>();
    target->SetSize(5, 5);
    target->Canvas()->Brush()->SetColor(clBlue);
    target->Canvas()->FillRect(RECT{0, 0, 5, 5});
    auto art = [&] {
        std::string s;
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 5; ++x) {
                const TColor c = target->Canvas()->Pixel(x, y);
                s += c == clBlue ? 'b' : c == clRed ? 'r' : c == clLime ? 'g' : c == clYellow ? 'y' : '?';
            }
            s += '\n';
        }
        return s;
    };
    target->Canvas()->Brush()->SetColor(clYellow);
    target->Canvas()->BrushCopy(RECT{1, 1, 4, 4}, glyph.get(), RECT{0, 0, 3, 3}, clRed);
    EXPECT_EQ(art(), "bbbbb\nbyyyb\nbygyb\nbyyyb\nbbbbb\n");
    target->Canvas()->Brush()->SetStyle(bsClear);
    target->Canvas()->BrushCopy(RECT{0, 0, 3, 3}, glyph.get(), RECT{0, 0, 3, 3}, clLime);
    EXPECT_EQ(art(), "rrrbb\nryryb\nrrryb\nbyyyb\nbbbbb\n");
}

}  // namespace

TEST(ColorIdentifiers, NameEveryIdentifierAndReadBackTheSameColour)
{
    const struct {
        const char* ident;
        TColor color;
    } cases[] = {
        {"clBlack", 0x000000},          {"clMaroon", 0x000080},         {"clNavy", 0x800000},
        {"clMoneyGreen", 0xC0DCC0},     {"clSkyBlue", 0xF0CAA6},        {"clCream", 0xF0FBFF},
        {"clMedGray", 0xA4A0A0},        {"clScrollBar", SystemColor(0)}, {"clBackground", SystemColor(1)},
        {"clBtnFace", SystemColor(15)}, {"clGradientActiveCaption", SystemColor(27)},
        {"clGradientInactiveCaption", SystemColor(28)}, {"clMenuHighlight", SystemColor(29)},
        {"clMenuBar", SystemColor(30)}, {"clNone", 0x1FFFFFFF},     {"clDefault", 0x20000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ident);
        TColor color = 12345;
        ASSERT_TRUE(IdentToColor(c.ident, color));
        EXPECT_EQ(color, c.color);
        std::string ident;
        ASSERT_TRUE(ColorToIdent(c.color, ident));
        EXPECT_EQ(ident, c.ident);
    }
    EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0x8000000Fu);
    ASSERT_EQ(ColorIdents().size(), 52u);
    for (const TIdentMapEntry& e : ColorIdents()) {
        TColor color = 0;
        EXPECT_TRUE(IdentToColor(e.Name, color)) << e.Name;
        std::string back;
        EXPECT_TRUE(ColorToIdent(color, back) && back == e.Name) << e.Name << " names one colour only";
    }
}

TEST(ColorIdentifiers, UnknownTextsLeaveTheColourAlone)
{
    TColor color = 77;
    EXPECT_TRUE(IdentToColor("CLBTNFACE", color)) << "identifiers ignore case";
    EXPECT_EQ(color, clBtnFace);
    color = 77;
    for (const char* text : {"", "cl", "clBtnFace ", "Black", "12"}) EXPECT_FALSE(IdentToColor(text, color)) << text;
    EXPECT_EQ(color, 77);
    std::string ident = "kept";
    EXPECT_FALSE(ColorToIdent(0x123456, ident));
    EXPECT_EQ(ident, "kept");
}

TEST(ColorIdentifiers, ColourPropertiesTakeAndGiveIdentifiers)
{
    ObjectPtr<TFont> font(CreateObject<TFont>());
    SetPropValue(font.get(), "Color", Variant(std::string("clSkyBlue")));
    EXPECT_EQ(font->Color(), clSkyBlue);
    const TPropInfo* prop = GetPropInfo(font.get(), "Color");
    ASSERT_NE(prop, nullptr);
    EXPECT_EQ(prop->Idents, &ColorIdents());
}

TEST_F(Graphics, AnEscapementTurnsTheTextAndSurvivesCopiesAndAdoption)
{
    ObjectPtr<TBitmap> b(CreateObject<TBitmap>());
    b->SetSize(80, 80);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(RECT{0, 0, 80, 80});
    b->Canvas()->Font()->SetName(gfx::kFixedTestFace);
    b->Canvas()->Font()->SetHeight(-16);
    b->Canvas()->Font()->SetColor(clBlack);
    b->Canvas()->Font()->SetEscapement(2700);
    b->Canvas()->Brush()->SetStyle(bsClear);
    b->Canvas()->TextOut(40, 4, "MMMM");
    RECT ink{80, 80, -1, -1};
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
            if (b->Canvas()->Pixel(x, y) == clBlack) ink = RECT{std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y),
                                                                 std::max<LONG>(ink.right, x + 1), std::max<LONG>(ink.bottom, y + 1)};
    EXPECT_GT(ink.bottom - ink.top, 24) << "four glyphs run downwards";
    EXPECT_LE(ink.right - ink.left, 16) << "one glyph high across";
    EXPECT_LE(ink.right, 41) << "the glyph tops lie to the right of the origin";

    ObjectPtr<TFont> copy(CreateObject<TFont>());
    copy->Assign(b->Canvas()->Font());
    EXPECT_EQ(copy->Escapement(), 2700);
    const LOGFONTA lf = copy->LogFont();
    ObjectPtr<TFont> adopted(CreateObject<TFont>());
    HFONT handle = CreateFontIndirectA(&lf);
    adopted->SetHandle(handle);
    DeleteObject(handle);
    EXPECT_EQ(adopted->Escapement(), 2700);
}
