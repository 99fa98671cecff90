#pragma once
// A small memory canvas for pixel tests: a 32-bit bitmap in a memory DC,
// with an ASCII view of its pixels through a legend of colours.

#include "platform/graphics/wingdi.h"
#include "platform/graphics/winuserdraw.h"

#include <map>
#include <string>
#include <vector>

namespace quelvo::gfx::test {

inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);

class Canvas {
public:
    Canvas(int width, int height, COLORREF background = RGB(255, 255, 255))
        : width_(width), height_(height)
    {
        dc_ = CreateCompatibleDC(nullptr);
        HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        DeleteDC(screen);
        old_ = SelectObject(dc_, bitmap_);
        Clear(background);
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void Clear(COLORREF c)
    {
        HBRUSH b = CreateSolidBrush(c);
        RECT r{0, 0, width_, height_};
        POINT org;
        SetWindowOrgEx(dc_, 0, 0, &org);
        FillRect(dc_, &r, b);
        SetWindowOrgEx(dc_, org.x, org.y, nullptr);
        DeleteObject(b);
    }

    // The pixel in device coordinates, whatever the window origin.
    COLORREF At(int x, int y) const
    {
        POINT org;
        GetWindowOrgEx(dc_, &org);
        return GetPixel(dc_, x + org.x, y + org.y);
    }

    // One string per row: each pixel's colour through the legend, `other`
    // for colours missing from it.
    std::vector<std::string> Art(const std::map<COLORREF, char>& legend, char other = '?') const
    {
        std::vector<std::string> rows;
        for (int y = 0; y < height_; ++y) {
            std::string row;
            for (int x = 0; x < width_; ++x) {
                auto it = legend.find(At(x, y));
                row += it == legend.end() ? other : it->second;
            }
            rows.push_back(row);
        }
        return rows;
    }
    // The usual legend: white '.', black '#'.
    std::vector<std::string> Art() const { return Art({{RGB(255, 255, 255), '.'}, {RGB(0, 0, 0), '#'}}); }

    // Bounding box of pixels that differ from `background`.
    RECT InkBox(COLORREF background = RGB(255, 255, 255)) const
    {
        RECT r{width_, height_, 0, 0};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (At(x, y) != background) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        if (r.left >= r.right)
            r = RECT{};
        return r;
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// Selects an object for the life of the guard.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object, bool owned = true) : dc_(dc), object_(object), owned_(owned)
    {
        old_ = SelectObject(dc, object);
    }
    ~Selected()
    {
        SelectObject(dc_, old_);
        if (owned_)
            DeleteObject(object_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ old_ = nullptr;
    bool owned_;
};

// A distinct palette gives every system colour its own value, so a pixel
// tells which colour role drew it; ResetSysColors restores the default.
inline COLORREF Distinct(int index) { return RGB(index * 7 + 1, 100, 200); }
inline void SetDistinctSysColors()
{
    INT elements[SYS_COLOR_COUNT];
    COLORREF values[SYS_COLOR_COUNT];
    for (int i = 0; i < SYS_COLOR_COUNT; ++i) {
        elements[i] = i;
        values[i] = Distinct(i);
    }
    SetSysColors(SYS_COLOR_COUNT, elements, values);
}

inline std::string Joined(const std::vector<std::string>& rows)
{
    std::string s = "\n";
    for (const auto& r : rows)
        s += r + "\n";
    return s;
}

} // namespace quelvo::gfx::test
