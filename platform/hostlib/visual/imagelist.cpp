#include "platform/hostlib/visual/imagelist.h"

#include <algorithm>

#include "platform/graphics/winuserdraw.h"
#include "platform/hostlib/visual/pictures.h"
#include "platform/windows/winuser.h"

namespace hostlib {

namespace gfx = quelvo::gfx;

namespace {
constexpr int kMaxSide = 16384;

gfx::Pixel Opaque(COLORREF c)
{
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// The same image with every opaque pixel in one colour.
gfx::Picture Silhouette(const gfx::Picture& image, TColor color)
{
    gfx::Picture out = image;
    const gfx::Pixel c = Opaque(ColorToRGB(color));
    for (auto& p : out.pixels) p = (p >> 24) ? c : 0;
    out.hasAlpha = true;
    return out;
}
}  // namespace

TClass TChangeLink::StaticClass() { return DefineClass<TChangeLink, TObject>("TChangeLink"); }

void TChangeLink::Change() { OnChange(sender_); }

TChangeLink::~TChangeLink()
{
    if (sender_) sender_->UnRegisterChanges(this);
}

TClass TCustomImageList::StaticClass()
{
    return DefineClass<TCustomImageList, TComponent>("TCustomImageList", [](ClassBuilder<TCustomImageList>& b) {
        b.Property("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth).Default(16LL);
        b.Property("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight).Default(16LL);
    });
}

TClass TImageList::StaticClass() { return DefineClass<TImageList, TCustomImageList>("TImageList"); }

void TCustomImageList::Destroy()
{
    for (TChangeLink* link : links_) link->SetSender(nullptr);
    links_.clear();
    TComponent::Destroy();
}

void TCustomImageList::SetSize(int width, int height)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) throw EInvalidOperation("Invalid image size");
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    images_.clear();
    Change();
}

void TCustomImageList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid image list index " + std::to_string(index));
}

int TCustomImageList::AddSplit(const gfx::Picture& source, const std::vector<bool>& transparent)
{
    const int first = Count();
    // A bitmap n images wide gives n images; a narrower one gives one.
    const int n = std::max(1, source.width / width_);
    for (int i = 0; i < n; ++i) {
        gfx::Picture image;
        image.width = width_;
        image.height = height_;
        image.hasAlpha = true;
        image.pixels.assign(static_cast<std::size_t>(width_) * height_, 0);
        for (int y = 0; y < std::min(height_, source.height); ++y)
            for (int x = 0; x < width_; ++x) {
                const int sx = i * width_ + x;
                if (sx >= source.width) break;
                const std::size_t at = static_cast<std::size_t>(y) * source.width + sx;
                gfx::Pixel p = source.pixels[at] | 0xFF000000u;
                if (source.hasAlpha) p = source.pixels[at];
                if (transparent[at]) p = 0;
                image.pixels[static_cast<std::size_t>(y) * width_ + x] = p;
            }
        images_.push_back(std::move(image));
    }
    Change();
    return first;
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask)
{
    if (!image || image->Empty()) throw EInvalidOperation("Invalid image");
    gfx::Picture pixels = image->ToPicture();
    pixels.hasAlpha = false;
    std::vector<bool> transparent(pixels.pixels.size(), false);
    if (mask && !mask->Empty()) {
        const gfx::Picture m = mask->ToPicture();
        for (int y = 0; y < std::min(m.height, pixels.height); ++y)
            for (int x = 0; x < std::min(m.width, pixels.width); ++x)
                transparent[static_cast<std::size_t>(y) * pixels.width + x] =
                    (m.pixels[static_cast<std::size_t>(y) * m.width + x] & 0xFFFFFF) != 0;
    }
    return AddSplit(pixels, transparent);
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor)
{
    if (!image || image->Empty()) throw EInvalidOperation("Invalid image");
    gfx::Picture pixels = image->ToPicture();
    pixels.hasAlpha = false;
    std::vector<bool> transparent(pixels.pixels.size(), false);
    if (maskColor == clDefault) maskColor = image->TransparentColor();
    if (maskColor != clNone && maskColor != clDefault) {
        const gfx::Pixel key = Opaque(ColorToRGB(maskColor)) & 0xFFFFFF;
        for (std::size_t i = 0; i < pixels.pixels.size(); ++i) transparent[i] = (pixels.pixels[i] & 0xFFFFFF) == key;
    }
    return AddSplit(pixels, transparent);
}

int TCustomImageList::AddPixels(const gfx::Picture& picture)
{
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height)
        throw EInvalidOperation("Invalid image");
    std::vector<bool> transparent(picture.pixels.size(), false);
    gfx::Picture copy = picture;
    if (!copy.hasAlpha)
        for (auto& p : copy.pixels) p |= 0xFF000000u;
    copy.hasAlpha = true;
    return AddSplit(copy, transparent);
}

void TCustomImageList::Delete(int index)
{
    CheckIndex(index);
    images_.erase(images_.begin() + index);
    Change();
}

void TCustomImageList::Clear()
{
    images_.clear();
    Change();
}

void TCustomImageList::Move(int from, int to)
{
    CheckIndex(from);
    CheckIndex(to);
    gfx::Picture image = std::move(images_[static_cast<std::size_t>(from)]);
    images_.erase(images_.begin() + from);
    images_.insert(images_.begin() + to, std::move(image));
    Change();
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask)
{
    CheckIndex(index);
    BeginUpdate();
    const int added = Add(image, mask);
    images_[static_cast<std::size_t>(index)] = std::move(images_[static_cast<std::size_t>(added)]);
    images_.resize(static_cast<std::size_t>(added));
    EndUpdate();
}

const gfx::Picture& TCustomImageList::Image(int index) const
{
    CheckIndex(index);
    return images_[static_cast<std::size_t>(index)];
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled)
{
    if (!canvas || index < 0 || index >= Count()) return;
    const gfx::Picture& image = images_[static_cast<std::size_t>(index)];
    HDC dc = canvas->Handle();
    if (bkColor_ != clNone) {
        RECT r{x, y, x + width_, y + height_};
        canvas->Brush()->SetColor(bkColor_);
        canvas->FillRect(r);
    }
    if (enabled) {
        DrawPixels(dc, RECT{x, y, x + width_, y + height_}, image);
        return;
    }
    DrawPixels(dc, RECT{x + 1, y + 1, x + 1 + width_, y + 1 + height_}, Silhouette(image, clBtnHighlight));
    DrawPixels(dc, RECT{x, y, x + width_, y + height_}, Silhouette(image, clBtnShadow));
}

void TCustomImageList::GetBitmap(int index, TBitmap* bitmap)
{
    CheckIndex(index);
    if (bitmap) bitmap->LoadFromPicture(images_[static_cast<std::size_t>(index)]);
}

void TCustomImageList::RegisterChanges(TChangeLink* link)
{
    if (!link || std::find(links_.begin(), links_.end(), link) != links_.end()) return;
    if (link->Sender()) link->Sender()->UnRegisterChanges(link);
    links_.push_back(link);
    link->SetSender(this);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link)
{
    auto it = std::find(links_.begin(), links_.end(), link);
    if (it == links_.end()) return;
    links_.erase(it);
    link->SetSender(nullptr);
}

void TCustomImageList::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0 && changedInUpdate_) {
        changedInUpdate_ = false;
        Change();
    }
}

void TCustomImageList::Change()
{
    if (updateCount_ > 0) {
        changedInUpdate_ = true;
        return;
    }
    const std::vector<TChangeLink*> links = links_;
    for (TChangeLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
    OnChange(this);
}

// ---- TDragImageList -----------------------------------------------------------------------

namespace {
constexpr const char* kDragClass = "HostDragImage";
constexpr const char* kDragProp = "hostlib.dragimages";

LRESULT DragWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* list = static_cast<TDragImageList*>(GetPropA(hwnd, kDragProp));
    if (msg == WM_PAINT && list) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        list->PaintDragImage(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
}  // namespace

TClass TDragImageList::StaticClass() { return DefineClass<TDragImageList, TCustomImageList>("TDragImageList"); }

void TDragImageList::Destroy()
{
    EndDrag();
    TCustomImageList::Destroy();
}

void TDragImageList::SetDragImage(int index, int hotSpotX, int hotSpotY)
{
    dragIndex_ = index;
    hotSpot_ = POINT{hotSpotX, hotSpotY};
}

bool TDragImageList::BeginDrag(int x, int y)
{
    if (dragIndex_ < 0 || dragIndex_ >= Count()) return false;
    if (window_) return true;
    WNDCLASSA existing;
    if (!GetClassInfoA(nullptr, kDragClass, &existing)) {
        WNDCLASSA wc;
        wc.lpfnWndProc = &DragWindowProc;
        wc.lpszClassName = kDragClass;
        RegisterClassA(&wc);
    }
    window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT, kDragClass, "",
                              WS_POPUP | WS_DISABLED, x - hotSpot_.x, y - hotSpot_.y, Width(), Height(), nullptr,
                              nullptr, nullptr, nullptr);
    if (!window_) return false;
    SetPropA(window_, kDragProp, this);
    // The window shows the image's shape only.
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    const gfx::Picture& image = Image(dragIndex_);
    for (int py = 0; py < image.height; ++py) {
        const gfx::Pixel* row = image.pixels.data() + static_cast<std::size_t>(py) * image.width;
        for (int px = 0; px < image.width;) {
            if (!(row[px] >> 24)) {
                ++px;
                continue;
            }
            int end = px;
            while (end < image.width && (row[end] >> 24)) ++end;
            HRGN span = CreateRectRgn(px, py, end, py + 1);
            CombineRgn(shape, shape, span, RGN_OR);
            DeleteObject(span);
            px = end;
        }
    }
    SetWindowRgn(window_, shape, FALSE);
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    HDC dc = GetDC(window_);
    PaintDragImage(dc);
    ReleaseDC(window_, dc);
    return true;
}

void TDragImageList::PaintDragImage(HDC dc)
{
    TCanvas canvas;
    canvas.SetHandle(dc);
    Draw(&canvas, 0, 0, dragIndex_, true);
    canvas.SetHandle(nullptr);
}

void TDragImageList::DragMove(int x, int y)
{
    if (!window_) return;
    SetWindowPos(window_, HWND_TOPMOST, x - hotSpot_.x, y - hotSpot_.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    HDC dc = GetDC(window_);
    PaintDragImage(dc);
    ReleaseDC(window_, dc);
}

void TDragImageList::EndDrag()
{
    if (!window_) return;
    RemovePropA(window_, kDragProp);
    DestroyWindow(window_);
    window_ = nullptr;
}

}  // namespace hostlib
