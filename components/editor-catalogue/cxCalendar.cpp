#include "components/editor-catalogue/cxCalendar.h"

#include <algorithm>
#include <cmath>

#include "components/editors/cxDateUtils.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditUtils.h"
#include "components/editors/cxFormats.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/graphics/wingdi.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/muldiv.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

constexpr unsigned kArrowInterval = 200;
constexpr double kPi = 3.14159265358979323846;

TDateTime Today() { return std::trunc(cxDateUtils::NowFunc()()); }

TDateTime FirstOfMonth(TDateTime date)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(date, y, m, d);
    return EncodeDate(y, m, 1);
}

// The date D plus the time T, the time counted backwards before 1899-12-30.
TDateTime WithTime(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

void Fill(TcxCanvas* canvas, const RECT& r, TColor color)
{
    cxEditFillRect(canvas->Handle(), r, GetSolidBrush(color));
}

// Year, month and day in the widths the month stepping takes.
void DecodeDate(TDateTime date, std::uint16_t& year, std::uint16_t& month, std::uint16_t& day)
{
    int y = 0, m = 0, d = 0;
    hostlib::DecodeDate(date, y, m, d);
    year = static_cast<std::uint16_t>(y), month = static_cast<std::uint16_t>(m), day = static_cast<std::uint16_t>(d);
}

bool InCalendarRange(TDateTime date) { return date >= EncodeDate(1, 1, 1) && date < EncodeDate(9999, 12, 31) + 1; }

int FontSize(TcxControl* control) { return control->Font()->Size(); }

// The first character of a UTF-8 text, or its last.
std::string FirstChar(const std::string& text)
{
    if (text.empty())
        return {};
    size_t n = 1;
    while (n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        ++n;
    return text.substr(0, n);
}

std::string LastChar(const std::string& text)
{
    if (text.empty())
        return {};
    size_t start = text.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return text.substr(start);
}

}  // namespace

const TEnumInfo& EnumTypeInfo(TcxCalendarKind*)
{
    static const TEnumInfo info{"TcxCalendarKind", {"ckDate", "ckDateTime"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TDateButton*)
{
    static const TEnumInfo info{"TDateButton", {"btnClear", "btnNow", "btnToday"}, 0};
    return info;
}

// ---- clock --------------------------------------------------------------------------------------

TClass TcxClock::StaticClass()
{
    return DefineClass<TcxClock, TcxControl>("TcxClock", [](ClassBuilder<TcxClock>& b) {
        b.Property("MinuteDotColor", &TcxClock::MinuteDotColor, &TcxClock::SetMinuteDotColor)
            .Default(clWindow)
            .Idents(&ColorIdents());
        b.Property("Time", &TcxClock::Time, &TcxClock::SetTime);
    });
}

void TcxClock::Construct(TComponent* owner)
{
    TcxControl::Construct(owner);
    minuteDotColor_ = clWindow;
    SetColor(clWindow);
    SetTabStop(false);
}

void TcxClock::SetTime(TDateTime value)
{
    value = std::fabs(value - std::trunc(value));
    if (value == time_)
        return;
    time_ = value;
    Invalidate();
}

void TcxClock::SetMinuteDotColor(TColor value)
{
    if (value == minuteDotColor_)
        return;
    minuteDotColor_ = value;
    Invalidate();
}

POINT TcxClock::At(double angle, double fraction) const
{
    const double a = Width() / 2.0 - 2, b = Height() / 2.0 - 2;
    return POINT{static_cast<LONG>(std::lround(Width() / 2 + fraction * a * std::cos(angle))),
                 static_cast<LONG>(std::lround(Height() / 2 + fraction * b * std::sin(angle)))};
}

void TcxClock::DrawHourMarks()
{
    TcxCanvas* canvas = Canvas();
    for (int i = 0; i < 60; i += 5) {
        const POINT p = At(i * 2 * kPi / 60, 1);
        const RECT dot{p.x - 1, p.y - 1, p.x + 2, p.y + 2};
        Fill(canvas, RECT{p.x - 1, p.y - 1, p.x + 2, p.y + 2}, clBtnText);
        Fill(canvas, RECT{p.x - 1, p.y - 1, p.x, p.y + 2}, clAqua);
        Fill(canvas, RECT{p.x - 1, p.y - 1, p.x + 2, p.y}, clAqua);
        Fill(canvas, RECT{p.x, p.y, p.x + 1, p.y + 1}, clTeal);
        canvas->ExcludeClipRect(dot);
    }
}

void TcxClock::DrawHand(double angle, double tip, double side, double tail)
{
    const POINT c{Width() / 2, Height() / 2};
    auto sidePoint = [&](double t) {
        return POINT{static_cast<LONG>(std::lround(c.x + side * std::cos(t))),
                     static_cast<LONG>(std::lround(c.y + side * std::sin(t)))};
    };
    const std::vector<POINT> points{At(angle, tip), sidePoint(angle + kPi / 2), At(angle + kPi, tail),
                                    sidePoint(angle + 3 * kPi / 2), At(angle, tip)};
    Canvas()->Pen()->SetColor(clTeal);
    Canvas()->Brush()->SetColor(clTeal);
    Canvas()->Polygon(points);
}

void TcxClock::Paint()
{
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(time_, h, m, s, ms);
    DrawHourMarks();
    Fill(Canvas(), ClientRect(), Color());
    DrawHand((h % 12 * 3600 + m * 60 + s - 10800) * 2 * kPi / 43200, 0.75, 4.5, 0.15);
    DrawHand((m * 60 + s - 900) * 2 * kPi / 3600, 0.85, 3.5, 0.2);
    Canvas()->Pen()->SetColor(clRed);
    const POINT c{Width() / 2, Height() / 2}, tip = At((s - 15) * 2 * kPi / 60, 0.9);
    Canvas()->MoveTo(c.x, c.y);
    Canvas()->LineTo(tip.x, tip.y);
}

// ---- month list ---------------------------------------------------------------------------------

TClass TMonthListBox::StaticClass() { return DefineClass<TMonthListBox, TcxCustomPopupWindow>("TMonthListBox"); }

void TMonthListBox::Construct(TWinControl* ownerControl)
{
    TcxCustomPopupWindow::Construct(ownerControl);
    SetBorderStyle(pbsFlat);
    SetAutoFit(false);
    timer_ = MakeObject<TTimer>(static_cast<TComponent*>(nullptr));
    timer_->SetEnabled(false);
    timer_->SetInterval(kArrowInterval);
    timer_->OnTimer = TNotifyEvent::Bind(this, &TMonthListBox::TimerTick);
}

void TMonthListBox::Destroy()
{
    timer_.reset();
    TcxCustomPopupWindow::Destroy();
}

TcxCustomCalendar* TMonthListBox::Calendar() const { return static_cast<TcxCustomCalendar*>(OwnerControl()); }

bool TMonthListBox::IsYearMode() const { return !Calendar()->ArrowsForYear() || Calendar()->YearsInMonthList; }

void TMonthListBox::CreateParams(TCreateParams& params)
{
    TcxCustomPopupWindow::CreateParams(params);
    params.WindowClass.style |= 0x0800;  // CS_SAVEBITS
}

std::string TMonthListBox::RowText(int row) const
{
    const TFormatSettings& fs = FormatSettings();
    if (!IsYearMode())
        return fs.LongMonthNames[static_cast<size_t>(std::clamp(row, 0, 11))];
    std::uint16_t year = 0, month = 0, day = 0;
    DecodeDate(topDate_, year, month, day);
    cxDateUtils::ChangeMonth(year, month, row);
    return fs.LongMonthNames[month - 1u] + " " + std::to_string(year);
}

unsigned TMonthListBox::IntervalForRows(int rows)
{
    static const unsigned intervals[] = {500, 250, 100, 50};
    return intervals[std::min(std::abs(rows), 3)];
}

void TMonthListBox::Popup(TWinControl* focusedControl)
{
    TcxCustomCalendar* calendar = Calendar();
    std::uint16_t year = 0, month = 0, day = 0;
    DecodeDate(calendar->FirstDate(), year, month, day);
    cxDateUtils::ChangeMonth(year, month, -3);
    topDate_ = EncodeDate(year, month, 1);
    Font()->Assign(calendar->Font());
    rowHeight_ = calendar->HeaderHeight() - 2;
    const int width = 6 * calendar->ColWidth() + 2, height = rowHeight_ * RowCount() + 2;
    const RECT text = calendar->MonthTextRect();
    const POINT centre = calendar->ClientToScreen(POINT{(text.left + text.right) / 2, (text.top + text.bottom) / 2});
    position_ = POINT{centre.x - width / 2, centre.y - height / 2};
    SetBounds(position_.x, position_.y, width, height);
    hotRow_ = 3;
    direction_ = 1;
    TcxCustomPopupWindow::Popup(focusedControl);
}

void TMonthListBox::DoShowed()
{
    TcxCustomPopupWindow::DoShowed();
    if (IsYearMode())
        SetCapture(Handle());
}

void TMonthListBox::CloseUp(bool askCloseQuery)
{
    if (HandleAllocated() && GetCapture() == Handle())
        ReleaseCapture();
    if (!IsVisible())
        return;
    TcxCustomPopupWindow::CloseUp(askCloseQuery);
    timer_->SetEnabled(false);
    if (IsYearMode() && hotRow_ >= 0) {
        std::uint16_t year = 0, month = 0, day = 0;
        DecodeDate(topDate_, year, month, day);
        cxDateUtils::ChangeMonth(year, month, hotRow_);
        Calendar()->SetFirstDate(EncodeDate(year, month, 1));
    }
}

void TMonthListBox::Click()
{
    TcxCustomPopupWindow::Click();
    if (IsYearMode())
        return;
    const int row = hotRow_;
    CloseUp(false);
    if (row < 0)
        return;
    std::uint16_t year = 0, month = 0, day = 0;
    DecodeDate(Calendar()->FirstDate(), year, month, day);
    Calendar()->SetFirstDate(EncodeDate(year, row + 1, 1));
}

void TMonthListBox::InvalidateRow(int row)
{
    if (row < 0 || !HandleAllocated())
        return;
    const RECT r{1, 1 + row * rowHeight_, ClientWidth() - 1, 1 + (row + 1) * rowHeight_};
    ::InvalidateRect(Handle(), &r, FALSE);
}

void TMonthListBox::SetHotRow(int row)
{
    if (row == hotRow_)
        return;
    InvalidateRow(hotRow_);
    hotRow_ = row;
    InvalidateRow(hotRow_);
}

void TMonthListBox::MouseMove(TShiftState shift, int x, int y)
{
    TcxCustomPopupWindow::MouseMove(shift, x, y);
    if (rowHeight_ <= 0)
        return;
    const RECT client = ClientRect();
    if (x >= client.left && x < client.right && y >= client.top && y < client.bottom) {
        timer_->SetEnabled(false);
        SetHotRow(std::min(y / rowHeight_, RowCount() - 1));
        return;
    }
    SetHotRow(-1);
    if (y >= 0 && y < client.bottom) {
        timer_->SetEnabled(false);
        return;
    }
    const int d = y < 0 ? y : y + 1 - client.bottom;
    direction_ = d < 0 ? -1 : 1;
    const unsigned interval = IntervalForRows(d / rowHeight_);
    if (timer_->Enabled() && timer_->Interval() == interval)
        return;
    timer_->SetInterval(interval);
    timer_->SetEnabled(true);
}

void TMonthListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxCustomPopupWindow::MouseUp(button, shift, x, y);
    if (IsYearMode())
        CloseUp(false);
}

void TMonthListBox::TimerTick(TObject*)
{
    std::uint16_t year = 0, month = 0, day = 0;
    DecodeDate(topDate_, year, month, day);
    cxDateUtils::ChangeMonth(year, month, direction_);
    if (year < 1 || year > 9999)
        return;
    topDate_ = EncodeDate(year, month, 1);
    Invalidate();
}

void TMonthListBox::Paint()
{
    TcxCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    const RECT client = ClientRect();
    canvas->FrameRect(client, clBlack);
    for (int row = 0; row < RowCount(); ++row) {
        const RECT r{1, 1 + row * rowHeight_, client.right - 1, 1 + (row + 1) * rowHeight_};
        const bool hot = row == hotRow_;
        Fill(canvas, r, hot ? clWindowText : clWindow);
        canvas->Font()->SetColor(hot ? clWindow : clWindowText);
        canvas->Brush()->SetStyle(bsClear);
        RECT textRect = r;
        canvas->Canvas()->DrawText(RowText(row), textRect, cxFlagsToDTFlags(cxtfHCenter | cxtfVCenter | cxtfSingleLine));
    }
}

// ---- calendar: set-up and settings --------------------------------------------------------------

TClass TcxCustomCalendar::StaticClass() { return DefineClass<TcxCustomCalendar, TcxControl>("TcxCustomCalendar"); }

void TcxCustomCalendar::Construct(TComponent* owner)
{
    TcxControl::Construct(owner);
    SetControlStyle(ControlStyle() + TControlStyle{csCaptureMouse, csOpaque});
    SetBounds(Left(), Top(), 20, 20);
    timer_ = MakeObject<TTimer>(static_cast<TComponent*>(nullptr));
    timer_->SetEnabled(false);
    timer_->SetInterval(kArrowInterval);
    timer_->OnTimer = TNotifyEvent::Bind(this, &TcxCustomCalendar::DoScrollArrow);
    monthListBox_.reset(CreateObject<TMonthListBox>(static_cast<TWinControl*>(this)));
    monthListBox_->SetCaptureFocus(false);
    monthListBox_->SetIsTopMost(true);
    SetKeys(TcxKeys{kAll, kArrows, kChars, kTab});
    selectDate_ = Today();
    firstDate_ = FirstOfMonth(selectDate_);
    CreateButtons();
    SetKind(ckDate);
    SetCalendarButtons(TDateButtons{btnClear, btnToday});
}

void TcxCustomCalendar::BeforeDestruction()
{
    timer_.reset();
    TcxControl::BeforeDestruction();
}

void TcxCustomCalendar::Destroy()
{
    if (tracking_)
        EndMouseTracking(this);
    monthListBox_.reset();
    TcxControl::Destroy();
}

TcxButton* TcxCustomCalendar::NewButton(const TcxResourceString& caption, int tabOrder)
{
    auto* button = CreateObject<TcxButton>(static_cast<TComponent*>(this));
    button->SetCaption(cxGetResourceString(caption));
    button->SetTabOrder(tabOrder);
    button->SetUseSystemPaint(false);
    button->OnClick = TNotifyEvent::Bind(this, &TcxCustomCalendar::ButtonClick);
    return button;
}

void TcxCustomCalendar::CreateButtons()
{
    todayButton_ = NewButton(cxSDateTodayButton, 1);
    nowButton_ = NewButton(cxSDateNowButton, 2);
    clearButton_ = NewButton(cxSDateClear, 3);
    okButton_ = NewButton(cxSDateOK, 4);
    okButton_->SetDefault(true);
    clock_ = CreateObject<TcxClock>(static_cast<TComponent*>(this));
    clock_->SetTabStop(false);
    timeEdit_ = CreateObject<TcxTimeEdit>(static_cast<TComponent*>(this));
    timeEdit_->Properties()->SetCircular(true);
    timeEdit_->Properties()->OnChange = TNotifyEvent::Bind(this, &TcxCustomCalendar::TimeChanged);
    timeEdit_->SetTabOrder(0);
}

void TcxCustomCalendar::InitControl()
{
    TcxControl::InitControl();
    for (TControl* child : std::initializer_list<TControl*>{todayButton_, nowButton_, clearButton_, okButton_,
                                                             clock_, timeEdit_})
        child->SetParent(this);
    FontChanged();
}

void TcxCustomCalendar::SetArrowsForYear(bool value)
{
    if (value == arrowsForYear_)
        return;
    arrowsForYear_ = value;
    Calculate();
}

void TcxCustomCalendar::SetFlat(bool value)
{
    if (value == flat_)
        return;
    flat_ = value;
    Calculate();
}

void TcxCustomCalendar::SetKind(TcxCalendarKind value)
{
    kind_ = value;
    Calculate();
    const TControlStyle clicks{csClickEvents, csDoubleClicks};
    SetControlStyle(value == ckDateTime ? ControlStyle() + clicks : ControlStyle() - clicks);
}

void TcxCustomCalendar::SetCalendarButtons(TDateButtons value)
{
    calendarButtons_ = value;
    clearButton_->SetVisible(value.Contains(btnClear));
    nowButton_->SetVisible(value.Contains(btnNow));
    todayButton_->SetVisible(value.Contains(btnToday));
    Calculate();
}

TcxTimeEditTimeFormat TcxCustomCalendar::GetTimeFormat() const { return timeEdit_->Properties()->TimeFormat(); }

void TcxCustomCalendar::SetTimeFormat(TcxTimeEditTimeFormat value)
{
    if (value == GetTimeFormat())
        return;
    timeEdit_->Properties()->SetTimeFormat(value);
    Calculate();
}

bool TcxCustomCalendar::GetUse24HourFormat() const { return timeEdit_->Properties()->Use24HourFormat(); }

void TcxCustomCalendar::SetUse24HourFormat(bool value)
{
    if (value == GetUse24HourFormat())
        return;
    timeEdit_->Properties()->SetUse24HourFormat(value);
    Calculate();
}

bool TcxCustomCalendar::HasBackground()
{
    return todayButton_->LookAndFeel()->NativeStyle() && AreVisualStylesAvailable();
}

void TcxCustomCalendar::FontChanged()
{
    TcxControl::FontChanged();
    Calculate();
}

// ---- calendar: dates ----------------------------------------------------------------------------

int TcxCustomCalendar::ColOfDate(TDateTime date)
{
    const int w = DayOfWeek(date);
    const int s = cxFormatController()->StartOfWeek();
    return w - s > 0 ? w - s - 1 : w - s + 6;
}

void TcxCustomCalendar::SetFirstDate(TDateTime value)
{
    const TDateTime first = FirstOfMonth(value);
    if (first == firstDate_)
        return;
    firstDate_ = first;
    Invalidate();
}

TDateTime TcxCustomCalendar::GetLastDate()
{
    int y = 0, m = 0, d = 0;
    DecodeDate(firstDate_, y, m, d);
    return EncodeDate(y, m, DaysInMonth(y, m));
}

TDateTime TcxCustomCalendar::GetRealFirstDate()
{
    const int k = ColOfDate(firstDate_);
    return firstDate_ - (k == 0 ? 7 : k);
}

TDateTime TcxCustomCalendar::GetRealLastDate() { return GetRealFirstDate() + 41; }

void TcxCustomCalendar::SetSelectDate(TDateTime value)
{
    if (value == selectDate_)
        return;
    selectDate_ = value;
    if (value == cxCalendarNullDate)
        return;
    const TDateTime day = std::trunc(value);
    if (GetRealFirstDate() > day) {
        std::uint16_t y = 0, m = 0, d = 0;
        DecodeDate(day, y, m, d);
        cxDateUtils::DecMonth(y, m);
        // January of year 1 has no month before it.
        firstDate_ = y >= 1 ? EncodeDate(y, m, 1) : FirstOfMonth(day);
    }
    if (GetRealLastDate() < day)
        firstDate_ = FirstOfMonth(day);
    Invalidate();
}

RECT TcxCustomCalendar::CellRect(int row, int col) const
{
    const int left = daysRect_.left + sideWidth_ + col * colWidth_;
    const int top = daysRect_.top + daysOfWeekHeight_ + row * rowHeight_;
    return RECT{left, top, left + colWidth_, top + rowHeight_};
}

TDateTime TcxCustomCalendar::PosToDateTime(POINT p)
{
    const RECT client = ClientRect();
    if (!PtInRect(&client, p) || colWidth_ <= 0 || rowHeight_ <= 0)
        return cxCalendarNullDate;
    const int left = daysRect_.left + sideWidth_, top = daysRect_.top + daysOfWeekHeight_;
    if (p.x < left || p.x >= left + 7 * colWidth_ || p.y < top || p.y >= top + 6 * rowHeight_)
        return cxCalendarNullDate;
    return GetRealFirstDate() + 7 * ((p.y - top) / rowHeight_) + (p.x - left) / colWidth_;
}

bool TcxCustomCalendar::IsDateOnGrid(POINT p, TDateTime& date)
{
    date = PosToDateTime(p);
    return date != cxCalendarNullDate;
}

void TcxCustomCalendar::DoStep(TcxCalendarArrow arrow)
{
    std::uint16_t year = 0, month = 0, day = 0;
    DecodeDate(firstDate_, year, month, day);
    const std::uint16_t oldYear = year, oldMonth = month;
    switch (arrow) {
    case caPrevMonth:
        if (year > 1 || month > 1)
            cxDateUtils::DecMonth(year, month);
        break;
    case caNextMonth:
        if (year < 9999 || month < 12)
            cxDateUtils::IncMonth(year, month);
        break;
    case caPrevYear:
        if (year > 1)
            --year;
        break;
    case caNextYear:
        if (year < 9999)
            ++year;
        break;
    }
    if (year == oldYear && month == oldMonth)
        return;
    SetFirstDate(EncodeDate(year, month, 1));
}

void TcxCustomCalendar::StepToFuture()
{
    if (FirstOfMonth(firstDate_) < EncodeDate(9999, 12, 1))
        DoStep(caNextMonth);
}

void TcxCustomCalendar::StepToPast()
{
    if (firstDate_ > EncodeDate(1, 1, 1))
        DoStep(caPrevMonth);
}

void TcxCustomCalendar::DoDateTimeChanged() { OnDateTimeChanged(this); }

void TcxCustomCalendar::HidePopup()
{
    timer_->SetEnabled(false);
    monthListBox_->Timer()->SetEnabled(false);
    if (monthListBox_->IsVisible())
        monthListBox_->CloseUp(false);
}

// ---- calendar: metrics and layout ---------------------------------------------------------------

bool TcxCustomCalendar::GetShowButtonsRegion()
{
    return kind_ == ckDateTime || todayButton_->Visible() || clearButton_->Visible();
}

int TcxCustomCalendar::GetButtonsRegionOffset() { return FontSize(this) / 2; }

POINT TcxCustomCalendar::GetMonthCalendarOffset()
{
    const int v = MulDiv(FontSize(this), 3, 4);
    return POINT{v, v};
}

void TcxCustomCalendar::UpdateTabStops()
{
    const bool tabs = kind_ == ckDateTime;
    for (TWinControl* c : std::initializer_list<TWinControl*>{todayButton_, nowButton_, clearButton_, okButton_,
                                                              timeEdit_})
        c->SetTabStop(tabs);
    TcxKeys keys = Keys();
    if (tabs)
        keys.Exclude(kTab);
    else
        keys.Include(kTab);
    SetKeys(keys);
}

void TcxCustomCalendar::CalculateMetrics()
{
    TcxCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    const SIZE zero = canvas->TextExtent("0");
    colWidth_ = 3 * zero.cx;
    sideWidth_ = 2 * zero.cx;
    rowHeight_ = zero.cy + 2;
    headerHeight_ = zero.cy + 5;
    daysOfWeekHeight_ = rowHeight_ + 1;
    int widest = 0;
    for (TcxButton* b : {todayButton_, nowButton_, clearButton_, okButton_})
        widest = std::max(widest, canvas->TextWidth(b->Caption()));
    buttonWidth_ = widest + colWidth_;
    const int wg = canvas->TextHeight("Wg");
    buttonHeight_ = MulDiv(wg, 20, 13) + 1;
    const int size = FontSize(this);
    if (kind_ == ckDateTime) {
        const int b = MulDiv(size, 5, 4);
        buttonsRegionHeight_ = b + 1 + (b % 2 == 1 ? 1 : 0) + buttonHeight_;
    } else {
        buttonsRegionHeight_ = MulDiv(size, 3, 4) + MulDiv(wg, 20, 13) + size / 2;
    }
}

void TcxCustomCalendar::Calculate()
{
    if (!HandleAllocated())
        return;
    UpdateTabStops();
    CalculateMetrics();
    SetSize();
    CalculateViewInfo();
    Invalidate();
}

int TcxCustomCalendar::ClockAreaGap() const { return (buttonsRegionHeight_ - buttonHeight_ - 1) / 2; }

int TcxCustomCalendar::GetTimeEditWidth()
{
    TcxCanvas* canvas = ActiveCanvas();
    canvas->SetFont(Font());
    const SIZE size = timeEdit_->Properties()->GetEditSize(canvas, timeEdit_->Style(), false,
                                                           Variant::FromDate(0), TcxEditSizeProperties{});
    return size.cx + canvas->TextWidth("0");
}

void TcxCustomCalendar::GetSize(int& width, int& height)
{
    const POINT offset = GetMonthCalendarOffset();
    width = DateRegionWidth();
    height = daysOfWeekHeight_ + 6 * rowHeight_ + headerHeight_ + 1;
    if (GetShowButtonsRegion())
        height += buttonsRegionHeight_;
    if (kind_ == ckDate) {
        ++height;
        return;
    }
    height += offset.y + headerHeight_ + GetButtonsRegionOffset();
    const int g = ClockAreaGap();
    clockSize_ = height - headerHeight_ - offset.y - buttonsRegionHeight_ - timeEdit_->Height() - 3 * g;
    width += 2 * offset.x + colWidth_ + 2 * g + std::max(clockSize_, GetTimeEditWidth());
}

void TcxCustomCalendar::SetSize()
{
    int width = 0, height = 0;
    GetSize(width, height);
    SetBounds(Left(), Top(), width, height);
    AdjustCalendarControlsPosition();
}

bool TcxCustomCalendar::CanResize(int& width, int& height)
{
    if (colWidth_ > 0)
        GetSize(width, height);
    return true;
}

RECT TcxCustomCalendar::CorrectHeaderTextRect(RECT r) const
{
    const int e = kind_ == ckDateTime || !flat_ ? 1 : 0;
    r.top += e;
    r.bottom -= 1;
    return r;
}

void TcxCustomCalendar::CalculateArrows(int e)
{
    const int w = DateRegionWidth();
    arrowRects_[caPrevMonth] = RECT{e, e, colWidth_ + e - 2, headerHeight_ - 1};
    const RECT last{w - e - colWidth_ + 2, e, w - e, headerHeight_ - 1};
    if (!arrowsForYear_) {
        arrowCount_ = 2;
        arrowRects_[caNextMonth] = last;
        arrowRects_[caPrevYear] = arrowRects_[caNextYear] = RECT{};
        monthTextRect_ = RECT{arrowRects_[caPrevMonth].right, 0, last.left, headerHeight_};
        yearTextRect_ = RECT{};
        return;
    }
    arrowCount_ = 4;
    TcxCanvas* canvas = Canvas();
    int m = 0;
    for (const std::string& name : FormatSettings().LongMonthNames)
        m = std::max(m, canvas->TextWidth(name));
    const int y = canvas->TextWidth("9999");
    const int spare = w - 2 * e - m - y - 4 * colWidth_ + 8;
    const int nextLeft = arrowRects_[caPrevMonth].right + m + (m + y > 0 ? m * spare / (m + y) : 0);
    arrowRects_[caNextMonth] = RECT{nextLeft, e, nextLeft + colWidth_ - 2, headerHeight_ - 1};
    arrowRects_[caPrevYear] = RECT{nextLeft + colWidth_ - 2, e, nextLeft + 2 * (colWidth_ - 2), headerHeight_ - 1};
    arrowRects_[caNextYear] = last;
    monthTextRect_ = RECT{arrowRects_[caPrevMonth].right, 0, nextLeft, headerHeight_};
    yearTextRect_ = RECT{arrowRects_[caPrevYear].right, 0, last.left, headerHeight_};
}

void TcxCustomCalendar::CalculateViewInfo()
{
    const int e = kind_ == ckDateTime ? 1 : flat_ ? 0 : 1;
    dateTimeHeaderRect_ = kind_ == ckDateTime ? RECT{0, 0, Width(), headerHeight_} : RECT{};
    CalculateArrows(e);
    headerRect_ = RECT{0, monthTextRect_.top, DateRegionWidth(), monthTextRect_.bottom};
    daysRect_ = RECT{0, headerHeight_ + 1, DateRegionWidth(),
                     headerHeight_ + 1 + daysOfWeekHeight_ + 6 * rowHeight_ + 1};
    if (kind_ != ckDateTime)
        return;
    const POINT offset = GetMonthCalendarOffset();
    const int dx = offset.x, dy = offset.y + dateTimeHeaderRect_.bottom;
    for (RECT* r : {&arrowRects_[0], &arrowRects_[1], &arrowRects_[2], &arrowRects_[3], &monthTextRect_,
                    &yearTextRect_, &headerRect_, &daysRect_})
        if (!IsRectEmpty(r))
            OffsetRect(r, dx, dy);
}

void TcxCustomCalendar::AdjustCalendarControlsPosition()
{
    if (!HandleAllocated())
        return;
    const bool dateTime = kind_ == ckDateTime;
    clearButton_->SetVisible(calendarButtons_.Contains(btnClear));
    nowButton_->SetVisible(dateTime && calendarButtons_.Contains(btnNow));
    okButton_->SetVisible(dateTime);
    todayButton_->SetVisible(calendarButtons_.Contains(btnToday));
    clock_->SetVisible(dateTime);
    timeEdit_->SetVisible(dateTime);
    for (TcxButton* b : {todayButton_, nowButton_, clearButton_, okButton_})
        b->SetBounds(b->Left(), b->Top(), buttonWidth_ + 1, buttonHeight_);
    if (dateTime)
        PlaceDateTimeButtons();
    else
        PlaceDateButtons();
}

// One button is centred in the date region; two split the free width in thirds.
void TcxCustomCalendar::PlaceDateButtons()
{
    const int w = DateRegionWidth(), top = ClientHeight() - buttonsRegionHeight_ + GetButtonsRegionOffset();
    const bool clear = clearButton_->Visible(), today = todayButton_->Visible();
    todayButton_->SetBounds((w - buttonWidth_ - (clear ? buttonWidth_ : 0)) / (clear ? 3 : 2), top,
                            buttonWidth_ + 1, buttonHeight_);
    clearButton_->SetBounds(w - buttonWidth_ - (w - buttonWidth_ - (today ? buttonWidth_ : 0)) / (today ? 3 : 2),
                            top, buttonWidth_ + 1, buttonHeight_);
}

void TcxCustomCalendar::PlaceDateTimeButtons()
{
    std::vector<TcxButton*> shown;
    for (TcxButton* b : {todayButton_, nowButton_, clearButton_, okButton_})
        if (b->Visible())
            shown.push_back(b);
    const int c = MulDiv(FontSize(this), 5, 4);
    const int top = Height() - buttonsRegionHeight_ + 1 + (buttonsRegionHeight_ - buttonHeight_ - 1) / 2;
    const int lastLeft = Width() - c - buttonWidth_ - 1;
    for (size_t i = 0; i < shown.size(); ++i) {
        int left = c + static_cast<int>(i) * (c + buttonWidth_ + 1);
        if (i + 1 == shown.size())
            left = lastLeft;
        else if (shown.size() == 2)
            left = lastLeft - c - buttonWidth_ - 1;
        shown[i]->SetBounds(left, top, buttonWidth_ + 1, buttonHeight_);
    }
    const POINT offset = GetMonthCalendarOffset();
    const int g = ClockAreaGap(), editWidth = GetTimeEditWidth();
    const int areaLeft = Width() - offset.x - 2 * g - std::max(clockSize_, editWidth);
    const int areaWidth = Width() - offset.x - areaLeft;
    timeEdit_->SetBounds(areaLeft + (areaWidth - editWidth) / 2,
                         Height() - buttonsRegionHeight_ - timeEdit_->Height() - g, editWidth, timeEdit_->Height());
    clock_->SetBounds(Width() - offset.x - g - clockSize_, offset.y + headerHeight_ + g, clockSize_, clockSize_);
}

std::string TcxCustomCalendar::WeekdayLetter(int column)
{
    const int day = (cxFormatController()->StartOfWeek() + column) % 7;
    const std::string& name = FormatSettings().ShortDayNames[static_cast<size_t>(day)];
    const int charset = GetTextCharset(Canvas()->Handle());
    const bool last = charset == GB2312_CHARSET || charset == CHINESEBIG5_CHARSET || charset == ARABIC_CHARSET;
    return last ? LastChar(name) : FirstChar(name);
}

// ---- calendar: keys, wheel and mouse ------------------------------------------------------------

TDateTime TcxCustomCalendar::KeyMove(WORD key, TShiftState shift)
{
    const TDateTime d = std::trunc(selectDate_ == cxCalendarNullDate ? Today() : selectDate_);
    std::uint16_t year = 0, month = 0, day = 0;
    DecodeDate(d, year, month, day);
    const bool ctrl = shift == TShiftState{ssCtrl};
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
        cxDateUtils::ChangeMonth(year, month, key == VK_PRIOR ? -1 : 1);
        if (year < 1 || year > 9999)
            return cxCalendarNullDate;
        return EncodeDate(year, month, cxDateUtils::CheckDay(year, month, day));
    case VK_HOME: return ctrl ? EncodeDate(year, month, 1) : d - ColOfDate(d);
    case VK_END: return ctrl ? EncodeDate(year, month, DaysInMonth(year, month)) : d + 6 - ColOfDate(d);
    case VK_LEFT: return d - 1;
    case VK_RIGHT: return d + 1;
    case VK_UP: return shift == TShiftState{ssAlt} ? cxCalendarNullDate : d - 7;
    case VK_DOWN: return shift == TShiftState{ssAlt} ? cxCalendarNullDate : d + 7;
    default: return cxCalendarNullDate;
    }
}

// A move that would leave the years 1 to 9999 is ignored, as the arrows do.
void TcxCustomCalendar::KeyDown(WORD& key, TShiftState shift)
{
    const TDateTime moved = KeyMove(key, shift);
    if (moved != cxCalendarNullDate && InCalendarRange(moved))
        SetSelectDate(moved);
    TcxControl::KeyDown(key, shift);
}

bool TcxCustomCalendar::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos)
{
    if (TcxControl::DoMouseWheel(shift, wheelDelta, mousePos))
        return true;
    if (monthListBox_->IsVisible())
        return false;
    const POINT p = ScreenToClient(mousePos);
    if (PtInRect(&monthTextRect_, p))
        DoStep(wheelDelta > 0 ? caPrevMonth : caNextMonth);
    else if (PtInRect(&yearTextRect_, p))
        DoStep(wheelDelta > 0 ? caPrevYear : caNextYear);
    else
        return false;
    return true;
}

bool TcxCustomCalendar::ArrowAt(POINT p, TcxCalendarArrow& arrow) const
{
    for (int i = 0; i < 4; ++i)
        if (PtInRect(&arrowRects_[i], p)) {
            arrow = static_cast<TcxCalendarArrow>(i);
            return true;
        }
    return false;
}

void TcxCustomCalendar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxControl::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    const POINT p{x, y};
    TDateTime date = 0;
    TcxCalendarArrow arrow = caPrevMonth;
    const RECT monthText = CorrectHeaderTextRect(monthTextRect_);
    if (IsDateOnGrid(p, date))
        SetSelectDate(date);
    else if (ArrowAt(p, arrow)) {
        DoStep(arrow);
        timer_->SetEnabled(true);
    } else if (PtInRect(&monthText, p))
        monthListBox_->Popup(nullptr);
}

void TcxCustomCalendar::MouseMove(TShiftState shift, int x, int y)
{
    TcxControl::MouseMove(shift, x, y);
    if (!tracking_) {
        tracking_ = true;
        BeginMouseTracking(this, GetControlRect(this), this);
    }
    CheckHotTrack();
    TDateTime date = 0;
    if (timer_->Enabled() || !shift.Contains(ssLeft) || !IsDateOnGrid(POINT{x, y}, date) || date == selectDate_)
        return;
    selectDate_ = date;
    RECT days = daysRect_;
    days.top += daysOfWeekHeight_;
    InvalidateRect(days, false);
}

void TcxCustomCalendar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxControl::MouseUp(button, shift, x, y);
    if (timer_->Enabled()) {
        timer_->SetEnabled(false);
        return;
    }
    const POINT p{x, y};
    const RECT client = ClientRect(), month = CorrectHeaderTextRect(monthTextRect_),
               year = CorrectHeaderTextRect(yearTextRect_);
    if (kind_ != ckDate || !PtInRect(&client, p) || PtInRect(&month, p) || PtInRect(&year, p))
        return;
    TDateTime date = 0;
    const bool onGrid = IsDateOnGrid(p, date);
    HidePopup();
    if (onGrid)
        DoDateTimeChanged();
}

void TcxCustomCalendar::DblClick()
{
    TcxControl::DblClick();
    if (kind_ != ckDateTime)
        return;
    POINT p{};
    GetCursorPos(&p);
    TDateTime date = 0;
    if (!IsDateOnGrid(ScreenToClient(p), date))
        return;
    SetSelectDate(date);
    HidePopup();
    DoDateTimeChanged();
}

void TcxCustomCalendar::DoScrollArrow(TObject*)
{
    POINT p{};
    GetCursorPos(&p);
    p = ScreenToClient(p);
    for (int i = 0; i < arrowCount_; ++i)
        if (PtInRect(&arrowRects_[i], p))
            DoStep(static_cast<TcxCalendarArrow>(i));
}

void TcxCustomCalendar::ButtonClick(TObject* sender)
{
    TDateTime date = cxCalendarNullDate;
    const TDateTime clockTime = clock_->Time();
    if (sender == nowButton_)
        date = cxDateUtils::NowFunc()();
    else if (sender == todayButton_)
        date = WithTime(Today(), clockTime);
    else if (sender == okButton_)
        date = WithTime(selectDate_, clockTime);
    const TDateTime time = date == cxCalendarNullDate ? 0 : std::fabs(date - std::trunc(date));
    clock_->SetTime(time);
    timeEdit_->SetTime(time);
    SetSelectDate(date);
    DoDateTimeChanged();
    HidePopup();
}

void TcxCustomCalendar::TimeChanged(TObject*)
{
    clock_->SetTime(timeEdit_->GetTime());
    RECT strip{0, 0, Width(), headerHeight_ - 1};
    if (!flat_)
        InflateRect(&strip, -1, -1);
    InvalidateRect(strip, false);
}

// ---- calendar: hot tracking ---------------------------------------------------------------------

TcxCalendarHotTrackRegion TcxCustomCalendar::RegionAt(POINT p) const
{
    if (PtInRect(&monthTextRect_, p))
        return chrMonth;
    if (PtInRect(&yearTextRect_, p))
        return chrYear;
    return chrNone;
}

RECT TcxCustomCalendar::RegionRect(TcxCalendarHotTrackRegion region) const
{
    return region == chrMonth ? monthTextRect_ : region == chrYear ? yearTextRect_ : RECT{};
}

void TcxCustomCalendar::CheckHotTrack()
{
    POINT p{};
    GetCursorPos(&p);
    const bool blocked = monthListBox_->IsVisible() || GetCapture() != nullptr;
    SetHotTrackRegion(blocked || !HandleAllocated() ? chrNone : RegionAt(ScreenToClient(p)));
}

void TcxCustomCalendar::SetHotTrackRegion(TcxCalendarHotTrackRegion value)
{
    if (value == hotTrackRegion_)
        return;
    if (HandleAllocated()) {
        InvalidateRect(RegionRect(hotTrackRegion_), false);
        InvalidateRect(RegionRect(value), false);
    }
    if (hotTrackRegion_ == chrNone)
        savedCursor_ = Screen->Cursor();
    else if (value == chrNone)
        Screen->SetCursor(savedCursor_);
    hotTrackRegion_ = value;
}

void TcxCustomCalendar::MouseEnter(TControl* control)
{
    TcxControl::MouseEnter(control);
    if (!tracking_) {
        tracking_ = true;
        BeginMouseTracking(this, GetControlRect(this), this);
    }
}

void TcxCustomCalendar::MouseLeave(TControl* control)
{
    TcxControl::MouseLeave(control);
    MouseLeave();
}

void TcxCustomCalendar::MouseLeave()
{
    CheckHotTrack();
    if (tracking_) {
        tracking_ = false;
        EndMouseTracking(this);
    }
}

// ---- calendar: painting -------------------------------------------------------------------------

void TcxCustomCalendar::DrawText(const std::string& text, RECT r, unsigned flags, TColor color, TColor brush)
{
    TcxCanvas* canvas = Canvas();
    Fill(canvas, r, brush);
    canvas->Font()->SetColor(color);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Canvas()->DrawText(text, r, cxFlagsToDTFlags(static_cast<int>(flags) | cxtfSingleLine));
}

void TcxCustomCalendar::PaintDateTimeHeader()
{
    TcxCanvas* canvas = Canvas();
    RECT r = dateTimeHeaderRect_;
    if (flat_) {
        Fill(canvas, RECT{r.left, r.bottom - 1, r.right, r.bottom}, clBtnText);
        --r.bottom;
    } else {
        canvas->DrawEdge(r, false, false);
        InflateRect(&r, -1, -1);
    }
    const TDateTime shown = selectDate_ == cxCalendarNullDate ? 0 : WithTime(std::trunc(selectDate_), timeEdit_->GetTime());
    std::string text;
    try {
        text = DateTimeToStr(shown);
    } catch (const Exception&) {
        text.clear();
    }
    DrawText(text, r, cxtfHCenter | cxtfVCenter, clBtnText, clBtnFace);
    canvas->ExcludeClipRect(dateTimeHeaderRect_);
}

void TcxCustomCalendar::PaintArrows()
{
    TcxCanvas* canvas = Canvas();
    const TcxCustomLookAndFeelPainterClass painter = cxLookAndFeelPainterOfStyle(lfsUltraFlat);
    for (int i = 0; i < arrowCount_; ++i) {
        RECT r = arrowRects_[i];
        Fill(canvas, RECT{r.left, r.bottom - 1, r.right, r.bottom}, clBtnFace);
        --r.bottom;
        if (flat_ && kind_ == ckDate) {
            Fill(canvas, RECT{r.left, r.top, r.right, r.top + 1}, clBtnFace);
            ++r.top;
        }
        const bool previous = i == caPrevMonth || i == caPrevYear;
        painter->DrawArrow(canvas, r, cxbsDefault, previous ? adLeft : adRight, true);
        canvas->ExcludeClipRect(arrowRects_[i]);
    }
}

void TcxCustomCalendar::PaintHeaderTexts()
{
    TcxCanvas* canvas = Canvas();
    const TFormatSettings& fs = FormatSettings();
    int year = 0, month = 0, day = 0;
    DecodeDate(firstDate_, year, month, day);
    const std::string monthName = fs.LongMonthNames[static_cast<size_t>(month - 1)];
    const TColor hot = GetHotTrackColor();
    const unsigned flags = cxtfHCenter | cxtfVCenter;
    if (arrowsForYear_) {
        DrawText(monthName, CorrectHeaderTextRect(monthTextRect_), flags, hotTrackRegion_ == chrMonth ? hot : clBtnText,
                 clBtnFace);
        DrawText(std::to_string(year), CorrectHeaderTextRect(yearTextRect_), flags,
                 hotTrackRegion_ == chrYear ? hot : clBtnText, clBtnFace);
    } else {
        DrawText(monthName + " " + std::to_string(year), CorrectHeaderTextRect(monthTextRect_), flags,
                 hotTrackRegion_ == chrMonth ? hot : clBtnText, clBtnFace);
    }
    const RECT h = headerRect_;
    if (!flat_)
        canvas->DrawEdge(h, false, false);
    else if (kind_ == ckDateTime)
        canvas->FrameRect(h, clBtnShadow);
    else
        Fill(canvas, RECT{h.left, h.bottom - 1, h.right, h.bottom}, clBtnText);
    canvas->ExcludeClipRect(headerRect_);
}

void TcxCustomCalendar::PaintDaysOfWeek()
{
    TcxCanvas* canvas = Canvas();
    const RECT row{daysRect_.left, daysRect_.top, daysRect_.right, daysRect_.top + daysOfWeekHeight_};
    const int gridLeft = daysRect_.left + sideWidth_, gridRight = gridLeft + 7 * colWidth_;
    Fill(canvas, RECT{row.left, row.top, gridLeft, row.bottom}, Color());
    Fill(canvas, RECT{gridRight, row.top, row.right, row.bottom}, Color());
    Fill(canvas, RECT{gridLeft, row.top, gridRight, row.bottom}, Color());
    const int lineY = row.top + daysOfWeekHeight_ - 2;
    Fill(canvas, RECT{gridLeft, lineY, gridRight, lineY + 1}, clBtnShadow);
    Fill(canvas, RECT{gridLeft, lineY + 1, gridRight, lineY + 2}, clWindow);
    if (kind_ == ckDate && GetShowButtonsRegion()) {
        const int y = ClientHeight() - buttonsRegionHeight_ - 1;
        Fill(canvas, RECT{gridLeft, y, gridRight, y + 1}, clBtnShadow);
        canvas->ExcludeClipRect(RECT{gridLeft, y, gridRight, y + 1});
    }
    for (int c = 0; c < 7; ++c) {
        const RECT cell{gridLeft + c * colWidth_, row.top, gridLeft + (c + 1) * colWidth_ - 3, lineY};
        canvas->Font()->SetColor(clBtnText);
        canvas->Brush()->SetStyle(bsClear);
        RECT textRect = cell;
        canvas->Canvas()->DrawText(WeekdayLetter(c), textRect, cxFlagsToDTFlags(cxtfRight | cxtfVCenter | cxtfSingleLine));
    }
    canvas->ExcludeClipRect(row);
}

void TcxCustomCalendar::PaintCell(int row, int col, TDateTime date, TDateTime today)
{
    TcxCanvas* canvas = Canvas();
    RECT r = CellRect(row, col);
    const bool selected = date == std::trunc(selectDate_) || (selectDate_ == cxCalendarNullDate && date == today);
    Fill(canvas, r, selected ? clHighlight : Color());
    if (date == today) {
        canvas->FrameRect(r, clMaroon);
        InflateRect(&r, -1, -1);
    }
    const bool outside = date < firstDate_ || date > GetLastDate();
    const TColor text = selected ? clHighlightText : outside ? clGrayText : clWindowText;
    int y = 0, m = 0, d = 0;
    DecodeDate(date, y, m, d);
    r.right -= 3;
    canvas->Font()->SetColor(text);
    canvas->Brush()->SetStyle(bsClear);
    // The cells before 0001-01-01 in January of year 1 stay blank.
    if (d > 0)
        canvas->Canvas()->DrawText(std::to_string(d), r, cxFlagsToDTFlags(cxtfRight | cxtfVCenter | cxtfSingleLine));
    canvas->ExcludeClipRect(CellRect(row, col));
}

void TcxCustomCalendar::PaintCells()
{
    const TDateTime today = Today();
    TDateTime date = GetRealFirstDate();
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 7; ++col, date += 1)
            if (date >= EncodeDate(1, 1, 1) && date <= EncodeDate(9999, 12, 31))
                PaintCell(row, col, date, today);
}

void TcxCustomCalendar::PaintRest()
{
    TcxCanvas* canvas = Canvas();
    if (kind_ == ckDate && GetShowButtonsRegion())
        canvas->ExcludeClipRect(RECT{sideWidth_, ClientHeight() - buttonsRegionHeight_, DateRegionWidth() - sideWidth_,
                                     ClientHeight()});
    if (kind_ == ckDateTime) {
        RECT b{0, Height() - buttonsRegionHeight_, Width(), Height()};
        Fill(canvas, RECT{b.left, b.top, b.right, b.top + 1}, clBtnText);
        ++b.top;
        if (!flat_) {
            canvas->DrawEdge(b, false, false);
            InflateRect(&b, -1, -1);
        }
        Fill(canvas, b, Color());
        canvas->ExcludeClipRect(RECT{0, Height() - buttonsRegionHeight_, Width(), Height()});
    }
    Fill(canvas, ClientRect(), Color());
    if (kind_ == ckDateTime) {
        const int x = daysRect_.right + colWidth_ / 2;
        Fill(canvas, RECT{x, daysRect_.top, x + 1, timeEdit_->Top() + timeEdit_->Height()}, clBtnShadow);
    }
}

void TcxCustomCalendar::Paint()
{
    if (colWidth_ <= 0)
        return;
    Canvas()->SetFont(Font());
    const int saved = SaveDC(Canvas()->Handle());
    quelvo::sys::ScopeGuard restore([this, saved] { RestoreDC(Canvas()->Handle(), saved); });
    if (kind_ == ckDateTime)
        PaintDateTimeHeader();
    PaintArrows();
    PaintHeaderTexts();
    PaintDaysOfWeek();
    PaintCells();
    PaintRest();
}
