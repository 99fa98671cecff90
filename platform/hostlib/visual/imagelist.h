#pragma once
// Image lists: equally sized images with masks, drawn normally or
// disabled, with change links that tell their users about changes; and the
// drag image list, which shows an image beside the mouse while dragging.

#include <vector>

#include "platform/hostlib/visual/graphics.h"

namespace hostlib {

class TCustomImageList;

// Tells a user of an image list about its changes.
class TChangeLink : public TObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    ~TChangeLink() override;
    TCustomImageList* Sender() const { return sender_; }
    void SetSender(TCustomImageList* sender) { sender_ = sender; }
    virtual void Change();
    TNotifyEvent OnChange;

private:
    TCustomImageList* sender_ = nullptr;
};

class TCustomImageList : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size clears the list. Sides from 1 to 16384.
    void SetSize(int width, int height);
    void SetWidth(int value) { SetSize(value, height_); }
    void SetHeight(int value) { SetSize(width_, value); }
    int Count() const { return static_cast<int>(images_.size()); }
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor value) { bkColor_ = value; }

    // Adds the images of a bitmap that is n images wide; pixels of mask
    // (a 1-bit-style bitmap: black = opaque) or of maskColor are
    // transparent. clDefault: the bitmap's transparent colour; clNone: no
    // transparency. Returns the index of the first added image.
    int Add(TBitmap* image, TBitmap* mask);
    int AddMasked(TBitmap* image, TColor maskColor);
    int AddPixels(const quelvo::gfx::Picture& picture);
    void Delete(int index);
    void Clear();
    void Move(int from, int to);
    void Replace(int index, TBitmap* image, TBitmap* mask);
    // Draws image index; disabled images draw their opaque pixels in
    // clBtnHighlight at (+1, +1), then in clBtnShadow.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    void GetBitmap(int index, TBitmap* bitmap);
    // The image as straight ARGB (transparent pixels have alpha 0).
    const quelvo::gfx::Picture& Image(int index) const;

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    TNotifyEvent OnChange;

protected:
    void Destroy() override;
    virtual void Change();

private:
    void CheckIndex(int index) const;
    int AddSplit(const quelvo::gfx::Picture& source, const std::vector<bool>& transparent);

    int width_ = 16;
    int height_ = 16;
    TColor bkColor_ = clNone;
    std::vector<quelvo::gfx::Picture> images_;
    std::vector<TChangeLink*> links_;
    int updateCount_ = 0;
    bool changedInUpdate_ = false;
};

class TImageList : public TCustomImageList {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
};

// Shows one image of the list beside the cursor in a topmost, disabled
// window that never takes the activation.
class TDragImageList : public TCustomImageList {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void SetDragImage(int index, int hotSpotX, int hotSpotY);
    // Starts showing at screen point (x, y); false when there is no image.
    bool BeginDrag(int x, int y);
    void DragMove(int x, int y);
    void EndDrag();
    bool Dragging() const { return window_ != nullptr; }
    HWND DragWindow() const { return window_; }
    // Paints the drag image at the drag window's origin.
    void PaintDragImage(HDC dc);

protected:
    void Destroy() override;

private:
    int dragIndex_ = 0;
    POINT hotSpot_{};
    HWND window_ = nullptr;
};

}  // namespace hostlib
