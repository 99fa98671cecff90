#pragma once
// The month calendar of the date editor's drop-down: one month as a grid of
// six weeks under a header with month and year, arrows and a pop-up list of
// months to move through time, push buttons (Today, Now, Clear, OK), and in
// the date-and-time kind a header bar, an analogue clock and a time editor.

#include <string>

#include "components/editor-catalogue/cxButtons.h"
#include "components/editor-catalogue/cxTimeEdit.h"
#include "components/foundation/cxContainerPopup.h"
#include "components/foundation/cxControls.h"
#include "platform/hostlib/core/datetime.h"
#include "platform/hostlib/visual/timer.h"

enum TcxCalendarKind { ckDate, ckDateTime };
enum TDateButton { btnClear, btnNow, btnToday };
using TDateButtons = hostlib::TSet<TDateButton>;
enum TcxCalendarArrow { caPrevMonth, caNextMonth, caPrevYear, caNextYear };
enum TcxCalendarHotTrackRegion { chrNone, chrMonth, chrYear };
const hostlib::TEnumInfo& EnumTypeInfo(TcxCalendarKind*);
const hostlib::TEnumInfo& EnumTypeInfo(TDateButton*);

// Stands for no date in every calendar operation.
inline constexpr hostlib::TDateTime cxCalendarNullDate = -700000.0;

inline constexpr TcxResourceString cxSDateTodayButton{64341, "Today"};
inline constexpr TcxResourceString cxSDateNowButton{64342, "Now"};
inline constexpr TcxResourceString cxSDateClear{64343, "Clear"};
inline constexpr TcxResourceString cxSDateOK{64344, "OK"};

class TcxCustomCalendar;

// The analogue clock of the date-and-time kind.
class TcxClock : public TcxControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;

    hostlib::TDateTime Time() const { return time_; }
    // Only the time of day is kept.
    void SetTime(hostlib::TDateTime value);
    hostlib::TColor MinuteDotColor() const { return minuteDotColor_; }
    void SetMinuteDotColor(hostlib::TColor value);

protected:
    void Paint() override;

private:
    POINT At(double angle, double fraction) const;
    void DrawHourMarks();
    void DrawHand(double angle, double tip, double side, double tail);

    hostlib::TDateTime time_ = 0;
    hostlib::TColor minuteDotColor_ = hostlib::clWindow;
};

// The pop-up list of months over the calendar's month text: the months
// around the shown one with their years (year mode), or the twelve months
// of the shown year.
class TMonthListBox : public TcxCustomPopupWindow {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TWinControl* ownerControl) override;
    using TcxCustomPopupWindow::Construct;

    void Popup(hostlib::TWinControl* focusedControl) override;
    using TcxCustomPopupWindow::Popup;
    void CloseUp(bool askCloseQuery) override;
    using TcxCustomPopupWindow::CloseUp;
    void DoShowed() override;
    POINT CalculatePosition() override { return position_; }
    void CalculateSize() override {}

    bool IsYearMode() const;
    hostlib::TDateTime TopDate() const { return topDate_; }
    int HotRow() const { return hotRow_; }
    int RowHeight() const { return rowHeight_; }
    hostlib::TTimer* Timer() const { return timer_.get(); }
    // What row i shows.
    std::string RowText(int row) const;
    // The timer interval for the pointer this far above (negative) or below
    // the list, in rows; 0 when the pointer is beside it.
    static unsigned IntervalForRows(int rows);

protected:
    void Destroy() override;
    void CreateParams(hostlib::TCreateParams& params) override;
    void Click() override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void Paint() override;

private:
    TcxCustomCalendar* Calendar() const;
    int RowCount() const { return IsYearMode() ? 7 : 12; }
    void SetHotRow(int row);
    void InvalidateRow(int row);
    void TimerTick(hostlib::TObject* sender);

    hostlib::TDateTime topDate_ = cxCalendarNullDate;
    int hotRow_ = 3;
    int rowHeight_ = 0;
    int direction_ = 1;
    POINT position_{};
    hostlib::ObjectPtr<hostlib::TTimer> timer_;
};

class TcxCustomCalendar : public TcxControl, public IcxMouseTrackingCaller {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    void BeforeDestruction() override;

    // Metrics, size, rectangles and child places; nothing before the window exists.
    virtual void Calculate();
    virtual void CheckHotTrack();
    virtual int GetButtonsRegionOffset();
    virtual hostlib::TDateTime GetLastDate();
    virtual POINT GetMonthCalendarOffset();
    virtual hostlib::TDateTime GetRealFirstDate();
    virtual hostlib::TDateTime GetRealLastDate();
    virtual void GetSize(int& width, int& height);
    virtual void HidePopup();
    virtual hostlib::TDateTime PosToDateTime(POINT p);
    virtual void SetFirstDate(hostlib::TDateTime value);
    virtual void SetSelectDate(hostlib::TDateTime value);

    bool CanResize(int& width, int& height) override;
    bool HasBackground() override;
    void InitControl() override;

    // Grid column of a date with the format controller's first day of the week.
    static int ColOfDate(hostlib::TDateTime date);
    void DoStep(TcxCalendarArrow arrow);
    void StepToFuture();
    void StepToPast();
    void SetSize();
    void DoDateTimeChanged();
    bool GetShowButtonsRegion();
    void CalculateViewInfo();
    void AdjustCalendarControlsPosition();

    bool ArrowsForYear() const { return arrowsForYear_; }
    void SetArrowsForYear(bool value);
    TDateButtons CalendarButtons() const { return calendarButtons_; }
    void SetCalendarButtons(TDateButtons value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    TcxCalendarKind Kind() const { return kind_; }
    void SetKind(TcxCalendarKind value);
    TcxTimeEditTimeFormat GetTimeFormat() const;
    void SetTimeFormat(TcxTimeEditTimeFormat value);
    bool GetUse24HourFormat() const;
    void SetUse24HourFormat(bool value);
    hostlib::TDateTime FirstDate() const { return firstDate_; }
    hostlib::TDateTime SelectDate() const { return selectDate_; }
    TcxCalendarHotTrackRegion HotTrackRegion() const { return hotTrackRegion_; }

    TcxButton* TodayButton() const { return todayButton_; }
    TcxButton* NowButton() const { return nowButton_; }
    TcxButton* ClearButton() const { return clearButton_; }
    TcxButton* OKButton() const { return okButton_; }
    TcxClock* Clock() const { return clock_; }
    TcxTimeEdit* TimeEdit() const { return timeEdit_; }
    TMonthListBox* MonthListBox() const { return monthListBox_.get(); }
    hostlib::TTimer* ArrowTimer() const { return timer_.get(); }

    // Metrics.
    int ColWidth() const { return colWidth_; }
    int SideWidth() const { return sideWidth_; }
    int RowHeight() const { return rowHeight_; }
    int HeaderHeight() const { return headerHeight_; }
    int DaysOfWeekHeight() const { return daysOfWeekHeight_; }
    int ButtonWidth() const { return buttonWidth_; }
    int ButtonHeight() const { return buttonHeight_; }
    int ButtonsRegionHeight() const { return buttonsRegionHeight_; }
    int DateRegionWidth() const { return 2 * sideWidth_ + 7 * colWidth_; }
    // Rectangles.
    const RECT& ArrowRect(TcxCalendarArrow arrow) const { return arrowRects_[arrow]; }
    const RECT& MonthTextRect() const { return monthTextRect_; }
    const RECT& YearTextRect() const { return yearTextRect_; }
    const RECT& HeaderRect() const { return headerRect_; }
    const RECT& DaysRect() const { return daysRect_; }
    RECT CellRect(int row, int col) const;
    // The letter shown over a weekday column (0 = first day of the week).
    std::string WeekdayLetter(int column);

    bool YearsInMonthList = true;
    hostlib::TNotifyEvent OnDateTimeChanged;

    // IcxMouseTrackingCaller.
    void MouseLeave() override;

protected:
    void Destroy() override;
    void Paint() override;
    void DblClick() override;
    bool DoMouseWheel(hostlib::TShiftState shift, int wheelDelta, POINT mousePos) override;
    void FontChanged() override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    using TcxControl::MouseEnter;
    void MouseEnter(hostlib::TControl* control) override;
    using TcxControl::MouseLeave;
    void MouseLeave(hostlib::TControl* control) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;

    void SetHotTrackRegion(TcxCalendarHotTrackRegion value);
    RECT CorrectHeaderTextRect(RECT r) const;
    bool IsDateOnGrid(POINT p, hostlib::TDateTime& date);

private:
    void CreateButtons();
    TcxButton* NewButton(const TcxResourceString& caption, int tabOrder);
    void ButtonClick(hostlib::TObject* sender);
    void TimeChanged(hostlib::TObject* sender);
    void DoScrollArrow(hostlib::TObject* sender);
    void CalculateMetrics();
    void UpdateTabStops();
    void CalculateArrows(int e);
    void PlaceDateButtons();
    void PlaceDateTimeButtons();
    int ClockAreaGap() const;
    int GetTimeEditWidth();
    hostlib::TDateTime KeyMove(WORD key, hostlib::TShiftState shift);
    bool ArrowAt(POINT p, TcxCalendarArrow& arrow) const;
    TcxCalendarHotTrackRegion RegionAt(POINT p) const;
    RECT RegionRect(TcxCalendarHotTrackRegion region) const;
    // One per part of the painting, each clipping its area out afterwards.
    void PaintDateTimeHeader();
    void PaintArrows();
    void PaintHeaderTexts();
    void PaintDaysOfWeek();
    void PaintCells();
    void PaintCell(int row, int col, hostlib::TDateTime date, hostlib::TDateTime today);
    void PaintRest();
    void DrawText(const std::string& text, RECT r, unsigned flags, hostlib::TColor color, hostlib::TColor brush);

    bool arrowsForYear_ = true;
    TDateButtons calendarButtons_{btnClear, btnToday};
    bool flat_ = true;
    TcxCalendarKind kind_ = ckDate;
    hostlib::TDateTime firstDate_ = 0;
    hostlib::TDateTime selectDate_ = cxCalendarNullDate;
    TcxCalendarHotTrackRegion hotTrackRegion_ = chrNone;
    hostlib::TCursor savedCursor_ = hostlib::crDefault;
    bool tracking_ = false;

    TcxButton* todayButton_ = nullptr;
    TcxButton* nowButton_ = nullptr;
    TcxButton* clearButton_ = nullptr;
    TcxButton* okButton_ = nullptr;
    TcxClock* clock_ = nullptr;
    TcxTimeEdit* timeEdit_ = nullptr;
    hostlib::ObjectPtr<TMonthListBox> monthListBox_;
    hostlib::ObjectPtr<hostlib::TTimer> timer_;

    int colWidth_ = 0;
    int sideWidth_ = 0;
    int rowHeight_ = 0;
    int headerHeight_ = 0;
    int daysOfWeekHeight_ = 0;
    int buttonWidth_ = 0;
    int buttonHeight_ = 0;
    int buttonsRegionHeight_ = 0;
    int clockSize_ = 0;

    RECT dateTimeHeaderRect_{};
    RECT arrowRects_[4]{};
    int arrowCount_ = 2;
    RECT monthTextRect_{};
    RECT yearTextRect_{};
    RECT headerRect_{};
    RECT daysRect_{};
};
