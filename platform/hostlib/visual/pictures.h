#pragma once
// Picture formats beside bitmaps (icons, PNG, JPEG, metafiles by name),
// the registry of graphic classes by file extension, and TPicture, which
// holds one graphic of any registered class.

#include <string>
#include <vector>

#include "platform/hostlib/visual/graphics.h"

namespace hostlib {

// A graphic decoded to straight (not premultiplied) ARGB pixels.
class TPixelGraphic : public TGraphic {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    int Width() const override { return picture_.width; }
    int Height() const override { return picture_.height; }
    void SetWidth(int value) override { SetSize(value, picture_.height); }
    void SetHeight(int value) override { SetSize(picture_.width, value); }
    void SetSize(int width, int height);
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void Draw(TCanvas& canvas, const RECT& rect) override;
    void Assign(TPersistent* source) override;
    const quelvo::gfx::Picture& Pixels() const { return picture_; }
    void SetPixels(const quelvo::gfx::Picture& picture);

protected:
    void AssignTo(TPersistent* dest) override;
    // Decoders check every size and offset; false with a reason refuses.
    virtual bool Decode(const std::vector<std::uint8_t>& bytes, quelvo::gfx::Picture& picture, std::string& error) = 0;
    virtual std::vector<std::uint8_t> Encode() = 0;
    virtual const char* FormatName() const = 0;
    quelvo::gfx::Picture picture_;
};

class TIcon : public TPixelGraphic {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    ~TIcon() override;
    // An icon handle of the pixels (owned by the icon).
    HICON Handle();
    // Adopts the pixels of an icon handle (the handle stays the caller's).
    void SetHandle(HICON icon);
    // An ICON resource holding an icon file; raises EResNotFound /
    // EInvalidGraphic.
    void LoadFromResourceName(const std::string& name);

protected:
    void Changed() override;
    bool Decode(const std::vector<std::uint8_t>& bytes, quelvo::gfx::Picture& picture, std::string& error) override;
    std::vector<std::uint8_t> Encode() override;
    const char* FormatName() const override { return "Icon"; }

private:
    HICON handle_ = nullptr;
};

// A CURSOR resource holding a cursor file, as a cursor handle the caller
// owns (Screen->SetCursors takes it over); raises EResNotFound /
// EInvalidGraphic.
HCURSOR LoadCursorFromResourceName(const std::string& name);

class TPngImage : public TPixelGraphic {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

protected:
    bool Decode(const std::vector<std::uint8_t>& bytes, quelvo::gfx::Picture& picture, std::string& error) override;
    std::vector<std::uint8_t> Encode() override;
    const char* FormatName() const override { return "PNG image"; }
};

// A JPEG picture: keeps its compressed data; Compress encodes the pixels
// with CompressionQuality (1-100).
class TJPEGImage : public TPixelGraphic {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    int CompressionQuality() const { return quality_; }
    void SetCompressionQuality(int value);
    void Compress();
    std::size_t DataSize() const { return data_.size(); }
    void SaveToStream(TStream& stream) override;
    void Assign(TPersistent* source) override;

protected:
    void Changed() override;
    bool Decode(const std::vector<std::uint8_t>& bytes, quelvo::gfx::Picture& picture, std::string& error) override;
    std::vector<std::uint8_t> Encode() override;
    const char* FormatName() const override { return "JPEG image"; }

private:
    std::vector<std::uint8_t> data_;
    int quality_ = 90;
    bool keepData_ = false;
};

// Metafiles exist by name only: loading one raises EInvalidGraphic.
class TMetafile : public TGraphic {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int value) override { width_ = std::max(0, value); }
    void SetHeight(int value) override { height_ = std::max(0, value); }
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream&) override {}
    void Draw(TCanvas&, const RECT&) override {}

private:
    int width_ = 0;
    int height_ = 0;
};

// ---- registry ----------------------------------------------------------------------

struct TFileFormat {
    std::string Extension;    // lower case, without the dot
    std::string Description;
    TClass GraphicClass = nullptr;
};

// The built-in formats are registered on first use: bmp, ico, png, jpg,
// jpeg, wmf, emf.
void RegisterFileFormat(const std::string& extension, const std::string& description, TClass graphicClass);
void UnregisterGraphicClass(TClass graphicClass);
const std::vector<TFileFormat>& FileFormats();
// nullptr for an unknown extension (with or without the dot, any case).
TClass GraphicClassForExtension(const std::string& extension);
// The registered graphic class of that name, ignoring case; nullptr.
TClass FindGraphicClass(const std::string& className);
// "All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|..." for the
// formats whose class derives from graphicClass.
std::string GraphicFilter(TClass graphicClass);
// The first extension of the class ("bmp"), empty when none.
std::string GraphicExtension(TClass graphicClass);
// "*.bmp;*.ico" for the formats of graphicClass.
std::string GraphicFileMask(TClass graphicClass);

class TPicture : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    TPicture() = default;
    ~TPicture() override;

    TGraphic* Graphic() const { return graphic_; }
    // Takes a copy of graphic (nullptr clears).
    void SetGraphic(TGraphic* graphic);
    // The graphic as a bitmap / icon; a graphic of another class is
    // replaced by an empty one.
    TBitmap* Bitmap();
    TIcon* Icon();
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }
    // By the file's extension; raises EInvalidGraphic for an unknown one
    // and for data the class cannot read (the picture is left as it was).
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path);
    void Assign(TPersistent* source) override;
    static bool SupportsClipboardFormat(UINT format);

    TNotifyEvent OnChange;

protected:
    void AssignTo(TPersistent* dest) override;

private:
    void Take(TGraphic* graphic);
    void GraphicChanged(TObject*) { OnChange(this); }
    TGraphic* graphic_ = nullptr;
};

// Draws straight ARGB pixels into a rectangle with their alpha.
void DrawPixels(HDC dc, const RECT& rect, const quelvo::gfx::Picture& picture);

}  // namespace hostlib
