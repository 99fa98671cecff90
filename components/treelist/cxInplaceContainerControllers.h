#pragma once
// The controllers of an editing control: the control controller that gets
// every input and keeps the focused item, the editing controller that
// shows, places, posts and hides the one live editor, the hit test, the
// hot-track controller, the cell navigator and the drag-image helper of the
// host's drag. Derived controls replace the parts that depend on their
// layout (the focused cell, making things visible, moving between cells).

#include <cstdint>
#include <string>

#include "components/editors/cxEditInplaceList.h"
#include "components/treelist/cxInplaceContainerViewInfo.h"
#include "platform/hostlib/visual/timer.h"

// ---- editing controller ----------------------------------------------------------------

class TcxEditingController : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomControlController* controller);

    virtual void AfterViewInfoCalculate();
    virtual void BeforeViewInfoCalculate() { editPlaced_ = false; }
    virtual bool CanRemoveEditFocus();
    virtual bool GetHideEditOnExit();
    virtual bool GetHideEditOnFocusedRecordChange();
    virtual void InitEdit();
    virtual bool PrepareEdit(TcxCustomInplaceEditContainer* item, bool onMouseEvent);
    virtual void HideEdit(bool accept);
    virtual void RemoveEdit(TcxCustomEditProperties* properties);

    TcxCustomInplaceEditContainer* EditingItem() const { return editingItem_; }
    void SetEditingItem(TcxCustomInplaceEditContainer* item);
    bool IsEditing() const { return editingItem_ != nullptr; }
    bool IsHiding() const { return editHiding_; }
    TcxCustomEdit* Edit() const { return edit_; }
    bool IsDragging();
    void ShowEdit(TcxCustomInplaceEditContainer* item = nullptr);
    void ShowEdit(TcxCustomInplaceEditContainer* item, char key);
    void ShowEdit(TcxCustomInplaceEditContainer* item, hostlib::TShiftState shift, int x, int y);
    void StartEditShowingTimer(TcxCustomInplaceEditContainer* item);
    void StopEditShowingTimer();
    bool EditShowingTimerActive() const { return editShowingTimer_ != nullptr; }
    void UpdateEdit();
    void PostEditUpdate() { editUpdateNeeded_ = true; }
    bool EditUpdateNeeded() const { return editUpdateNeeded_; }
    void CheckEditUpdatePost();
    void CancelEditUpdatePost() { editUpdateNeeded_ = false; }
    void UpdateEditValue();
    void UpdateValue();
    TcxCustomEditProperties* GetEditingProperties();
    TcxInplaceEditList* EditList() const { return editList_.get(); }
    TcxCustomControlController* Controller() const { return controller_; }

    // Posting the value when the editor lost the focus failed; the editor
    // took the focus back.
    bool ErrorOnEditExit() const { return errorOnEditExit_; }

protected:
    void Destroy() override;

    // The editor's events, hooked while it edits a cell.
    virtual void EditAfterKeyDown(hostlib::TObject* sender, WORD& key, hostlib::TShiftState shift);
    virtual void EditChanged(hostlib::TObject* sender);
    virtual void EditDblClick(hostlib::TObject* sender);
    virtual void EditEditing(hostlib::TObject* sender, bool& canEdit);
    virtual void EditEnter(hostlib::TObject* sender);
    virtual void EditExit(hostlib::TObject* sender);
    virtual void EditFocusChanged(hostlib::TObject*) {}
    virtual void EditKeyDown(hostlib::TObject* sender, WORD& key, hostlib::TShiftState shift);
    virtual void EditKeyPress(hostlib::TObject* sender, char& key);
    virtual void EditKeyUp(hostlib::TObject* sender, WORD& key, hostlib::TShiftState shift);
    virtual void EditPostEditValue(hostlib::TObject* sender);
    virtual void EditValueChanged(hostlib::TObject* sender);

private:
    enum class Activation { Plain, Key, Mouse };
    void DoShowEdit(TcxCustomInplaceEditContainer* item, Activation how, char key, hostlib::TShiftState shift, int x,
                    int y);
    void DoUpdateEdit();
    void MoveEditOutOfSight();
    void HookEdit();
    void UnhookEdit();
    bool AcceptEdit();
    void TakeEditAway();
    void EditShowingTimerHandler(hostlib::TObject* sender);
    void ResendEnter(WORD key, hostlib::TShiftState shift);
    void PassEscapeToForm(WORD& key);
    TcxEditingControl* Control() const;

    TcxCustomControlController* controller_ = nullptr;
    TcxCustomEdit* edit_ = nullptr;
    bool editHiding_ = false;
    TcxCustomInplaceEditContainer* editingItem_ = nullptr;
    bool editingItemSetting_ = false;
    hostlib::ObjectPtr<TcxInplaceEditList> editList_;
    bool editPreparing_ = false;
    hostlib::ObjectPtr<hostlib::TTimer> editShowingTimer_;
    TcxCustomInplaceEditContainer* editShowingTimerItem_ = nullptr;
    bool editUpdateNeeded_ = false;
    bool initiatingEditing_ = false;
    bool editPlaced_ = false;
    bool errorOnEditExit_ = false;
    hostlib::TNotifyEvent prevOnChange_;
    hostlib::TNotifyEvent prevOnEditValueChanged_;
};

// ---- hit test --------------------------------------------------------------------------

class TcxCustomHitTestController : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomControlController* controller) { controller_ = controller; }

    virtual bool AllowDesignMouseEvents(int x, int y, hostlib::TShiftState shift);
    virtual void DoCalculate();
    virtual hostlib::TCursor GetCurrentCursor() { return hostlib::crDefault; }
    virtual void HitCodeChanged(int) {}
    virtual void HitTestItemChanged(hostlib::TObject*) {}

    void ReCalculate();
    void ReCalculate(const POINT& p);
    void RecalculateOnMouseEvent(int x, int y, hostlib::TShiftState shift);
    void ClearState() { hitState_ &= 1; }
    bool IsMouseEvent() const { return (hitState_ & 1) != 0; }
    void DestroyingItem(hostlib::TObject* item);
    const POINT& HitPoint() const { return hitPoint_; }
    void SetHitPoint(const POINT& p) { ReCalculate(p); }
    hostlib::TObject* HitTestItem() const { return hitTestItem_; }
    void SetHitTestItem(hostlib::TObject* item);
    // Forgets the item without telling anyone.
    void ResetHitTestItem() { hitTestItem_ = nullptr; }
    TcxEditCellViewInfo* EditCellViewInfo() const { return hostlib::As<TcxEditCellViewInfo>(hitTestItem_); }
    bool IsItemEditCell() const { return EditCellViewInfo() != nullptr; }
    TcxCustomControlViewInfo* ViewInfo() const;
    TcxEditingControl* GetControl() const;
    TcxCustomControlController* Controller() const { return controller_; }
    hostlib::TShiftState Shift() const { return shift_; }
    // One coordinate of the hit point (0: X, 1: Y); setting recalculates.
    int GetCoordinate(int index) const { return index == 0 ? hitPoint_.x : hitPoint_.y; }
    void SetCoordinate(int index, int value);
    // Hit codes are bits of the 64-bit state; bit 0 is the mouse-event flag.
    bool GetHasCode(std::uint64_t code) const;
    void SetHasCode(std::uint64_t code, bool value);
    std::uint64_t HitState() const { return hitState_; }

protected:
    // Puts back codes of an earlier calculation, keeping the mouse-event flag.
    void RestoreHitState(std::uint64_t state) { hitState_ = (state & ~std::uint64_t{1}) | (hitState_ & 1); }
    void SetShift(hostlib::TShiftState shift) { shift_ = shift; }
    void SetMouseEvent(bool value) { hitState_ = value ? (hitState_ | 1) : (hitState_ & ~std::uint64_t{1}); }

private:
    TcxCustomControlController* controller_ = nullptr;
    POINT hitPoint_{-1, -1};
    hostlib::TObject* hitTestItem_ = nullptr;
    hostlib::TShiftState shift_;
    std::uint64_t hitState_ = 0;
};

// ---- hot tracking ------------------------------------------------------------------------

class TcxHotTrackController : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxEditingControl* control);

    virtual void DoHideHint() {}
    virtual void DoShowHint() {}

    void SetHotElement(hostlib::TObject* element, const POINT& p);
    void CheckDestroyingElement(hostlib::TObject* element);
    void CancelHint() { InternalHideHint(); }
    void Clear();
    bool CanShowHint();
    bool HintNeeded();
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value) { showHint_ = value; }
    hostlib::TObject* HotElement() const { return prevElement_; }
    const POINT& PrevHitPoint() const { return prevHitPoint_; }
    bool HintVisible() const { return hintVisible_; }
    const std::string& Hint() const { return hint_; }
    // Screen rectangle of the hint window.
    const RECT& HintRect() const { return hintRect_; }
    hostlib::THintWindow* HintWindow() const { return hintWindow_.get(); }
    // How far the current cursor reaches below its hot spot, in pixels.
    int CursorOffset();

    // How long a shown hint stays, in ms.
    static constexpr int kHideHintWait = 5000;
    static constexpr int kShowHintWait = 1000;

protected:
    void Destroy() override;

private:
    static void UpdateState(hostlib::TObject* element, const POINT& p);
    bool FormAllowsHint();
    void InternalShowHint();
    void InternalHideHint();
    void ResetTimer();
    void HintTimerShow(hostlib::TObject*) { InternalShowHint(); }
    void HintTimerHide(hostlib::TObject*) { InternalHideHint(); }

    TcxEditingControl* control_ = nullptr;
    bool showHint_ = false;
    std::string hint_;
    bool hintMultiLine_ = false;
    hostlib::ObjectPtr<hostlib::TTimer> hintTimer_;
    RECT hintRect_{};
    bool hintVisible_ = false;
    hostlib::TObject* hintElement_ = nullptr;
    hostlib::ObjectPtr<hostlib::THintWindow> hintWindow_;
    POINT prevHitPoint_{-1, -1};
    hostlib::TObject* prevElement_ = nullptr;
};

// ---- cell navigator -----------------------------------------------------------------------

class TcxCustomCellNavigator : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomControlController* controller) { controller_ = controller; }

    // Rows and cells are what the derived navigator makes of them.
    virtual TcxCustomInplaceEditContainer* SelectCell(bool forward, bool nextRow, int& rowIndex, int& cellIndex);
    virtual void CalcNextRow(bool, int&, int&) { cxAbstractError(); }
    virtual TcxCustomInplaceEditContainer* GetCellContainer(int, int) { cxAbstractError(); }
    virtual int GetCount(int) { cxAbstractError(); }
    virtual void Init(int&, int&, int&) { cxAbstractError(); }
    virtual bool MayFocusedEmptyRow(int) { return false; }
    virtual void SetFocusCell(int, int, hostlib::TShiftState) { cxAbstractError(); }
    virtual void DoKeyPress(char& key) { KeyPress(key); }
    virtual void FocusNextCell(bool forward, bool nextRow, hostlib::TShiftState shift);
    virtual void KeyDown(WORD& key, hostlib::TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void Refresh() {}

    TcxCustomControlController* Controller() const { return controller_; }
    TcxControlDataController* DataController() const;
    int RowCount() const { return rowCount_; }

private:
    // Steps along the row from cellIndex to the first cell that takes the
    // focus by Tab; none when the row runs out.
    TcxCustomInplaceEditContainer* ScanRow(bool forward, int rowIndex, int& cellIndex);

    TcxCustomControlController* controller_ = nullptr;
    int rowCount_ = 0;
};

// ---- design selection ---------------------------------------------------------------------

// What a design environment selects in a control it edits; the running
// program never has one.
class TcxCustomDesignSelectionHelper : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomControlController* controller) { controller_ = controller; }

    virtual bool IsObjectSelected(hostlib::TPersistent*) { cxAbstractError(); }
    virtual void Select(hostlib::TPersistent*, hostlib::TShiftState) { cxAbstractError(); }
    virtual void UnselectObject(hostlib::TPersistent*) { cxAbstractError(); }

    TcxCustomControlController* Controller() const { return controller_; }
    TcxEditingControl* GetControl() const;

private:
    TcxCustomControlController* controller_ = nullptr;
};

// The class a design environment supplies; none by default.
extern hostlib::TClass cxDesignSelectionHelperClass;

// ---- control controller --------------------------------------------------------------------

class TcxCustomControlController : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxEditingControl* control);

    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void DoCancelMode() { FocusChanged(); }
    virtual void AfterPaint() { ProcessCheckEditPost(); }
    virtual void BeforeEditKeyDown(WORD&, hostlib::TShiftState&) {}
    virtual void BeforeMouseDown(hostlib::TMouseButton, hostlib::TShiftState, int, int);
    virtual void BeforePaint();
    virtual void BeforeShowEdit() {}
    virtual void BehaviorChanged();
    virtual bool CanFocusedRecordIndex(int) { return true; }
    virtual void CheckEdit();
    virtual void DoEditDblClick(hostlib::TObject* sender);
    virtual void DoMouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y);
    virtual void DoMouseMove(hostlib::TShiftState shift, int x, int y);
    virtual void DoMouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y);
    virtual void DoNextPage(bool, hostlib::TShiftState) {}
    virtual TcxEditCellViewInfo* GetEditingViewInfo() { return GetFocusedCellViewInfo(EditingItem()); }
    virtual bool GetFocused() { return focused_; }
    // The derived controller knows its layout.
    virtual TcxEditCellViewInfo* GetFocusedCellViewInfo(TcxCustomInplaceEditContainer*) { cxAbstractError(); }
    virtual int GetFocusedRecordIndex();
    virtual void FocusedItemChanged(TcxCustomInplaceEditContainer* prevFocusedItem);
    virtual void FocusedRecordChanged(int prevFocusedRowIndex, int focusedRowIndex);
    virtual bool HasFocusedControls();
    virtual void HideHint();
    virtual WORD IncSearchKeyDown(WORD key, hostlib::TShiftState shift);
    virtual bool IsImmediatePost() { return false; }
    virtual bool IsKeyForController(WORD key, hostlib::TShiftState shift);
    virtual void RefreshFocusedCellViewInfo(TcxCustomInplaceEditContainer* item);
    virtual void RefreshFocusedRecord();
    virtual void SetFocused(bool value) { focused_ = value; }
    virtual void SetFocusedItem(TcxCustomInplaceEditContainer* value);
    virtual void SetFocusedRecordIndex(int value);
    virtual bool GetAlwaysShowEditor();
    virtual bool GetCancelEditingOnExit();
    virtual bool GetFocusCellOnCycle();
    virtual bool GetGoToNextCellOnEnter();
    virtual bool GetGoToNextCellOnTab();
    virtual bool GetImmediateEditor();
    virtual bool CanDrag(int, int) { return false; }
    virtual void DragDrop(hostlib::TObject*, int, int) {}
    virtual void DragOver(hostlib::TObject* source, int x, int y, hostlib::TDragState state, bool& accept);
    virtual void EndDrag(hostlib::TObject* target, int x, int y);
    virtual TcxDragAndDropObjectClass GetDragAndDropObjectClass() { return nullptr; }
    virtual TcxDragSizingDirection GetResizeDirection() { return dsdHorz; }
    virtual hostlib::TClass GetNavigatorClass();
    virtual void StartDrag(hostlib::TDragObject*&) {}
    virtual void BeforeStartDrag() {}
    virtual TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() { return mwskNone; }
    virtual bool IsPixelScrollBar(hostlib::TScrollBarKind) { return false; }
    virtual void DoEnter() {}
    virtual void DoExit();
    virtual bool MayFocus();
    virtual void FocusChanged();
    virtual void SetFocus();
    virtual void CancelIncSearching();
    virtual TcxCustomInplaceEditContainer* GetIncSearchingItem();
    virtual std::string GetIncSearchingText();
    virtual bool GetIsIncSearching();
    virtual void SearchLocate(TcxCustomInplaceEditContainer* item, const std::string& value);
    virtual void SearchLocateNext(TcxCustomInplaceEditContainer* item, bool forward);
    virtual void UpdateRecord(int) {}
    virtual void Clear();
    virtual void ControlFocusChanged();
    virtual void DblClick() {}
    virtual hostlib::TCursor GetCursor(int, int) { return hostlib::crDefault; }
    virtual void KeyDown(WORD& key, hostlib::TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void KeyUp(WORD&, hostlib::TShiftState) {}
    virtual void MouseDown(hostlib::TMouseButton, hostlib::TShiftState, int, int) {}
    virtual void MouseMove(hostlib::TShiftState, int, int) {}
    virtual void MouseUp(hostlib::TMouseButton, hostlib::TShiftState, int, int) {}
    virtual void WndProc(hostlib::TMessage& message);
    virtual void BeginDragAndDrop();
    virtual void DragAndDrop(const POINT&, bool&) {}
    virtual void EndDragAndDrop(bool accepted);
    virtual bool StartDragAndDrop(const POINT&) { return false; }
    virtual void InitScrollBarsParameters() {}
    virtual void Scroll(hostlib::TScrollBarKind, hostlib::TScrollCode, int&) {}
    virtual void SetFocusedRecordItem(int recordIndex, TcxCustomInplaceEditContainer* item);
    virtual void MakeFocusedItemVisible() { cxAbstractError(); }
    virtual void MakeFocusedRecordVisible() { cxAbstractError(); }

    void Reset();
    void PostCheckEdit() { if (editChecksEnabled_) checkEditPosted_ = true; }
    void CancelCheckEditPost() { checkEditPosted_ = false; }
    void ProcessCheckEditPost() { if (checkEditPosted_) CheckEdit(); }
    void PostShowEdit();
    TcxCustomInplaceEditContainer* GetItemForIncSearching();
    void SetIncSearchingText(const std::string& text);
    void InternalSetFocusedItem(TcxCustomInplaceEditContainer* item) { focusedItem_ = item; }
    // Typed text arrives a byte at a time: a character's first byte waits
    // for the rest before the search text grows by it.
    void AppendIncSearchByte(char byte);

    TcxEditingControl* EditingControl() const { return control_; }
    TcxControlDataController* DataController() const;
    TcxEditingController* EditingController() const { return editingController_.get(); }
    TcxCustomHitTestController* HitTestController() const { return hitTestController_.get(); }
    TcxHotTrackController* HotTrackController() const { return hotTrackController_.get(); }
    TcxCustomCellNavigator* Navigator() const { return navigator_.get(); }
    TcxCustomInplaceEditContainer* FocusedItem() const { return focusedItem_; }
    TcxCustomInplaceEditContainer* EditingItem() const;
    void SetEditingItem(TcxCustomInplaceEditContainer* item);
    bool IsEditing() const;
    bool Focused() const { return focused_; }
    bool EscapePressed() const { return escapePressed_; }
    void SetEscapePressed(bool value) { escapePressed_ = value; }
    bool MousePressed() const { return mousePressed_; }
    void SetMousePressed(bool value) { mousePressed_ = value; }
    bool EditChecksEnabled() const { return editChecksEnabled_; }
    void SetEditChecksEnabled(bool value) { editChecksEnabled_ = value; }
    bool CheckEditPosted() const { return checkEditPosted_; }
    bool WasEditingAtMouseDown() const { return wasEditingAtMouseDown_; }
    void SetWasEditingAtMouseDown(bool value) { wasEditingAtMouseDown_ = value; }
    // Set around an Enter the editor hands back: the key skips incremental
    // search and the navigator.
    void SetNavigationSkip(bool value) { navigationSkip_ = value; }
    TcxCustomDesignSelectionHelper* DesignSelectionHelper() const { return designSelectionHelper_.get(); }
    bool KeyHandled() const { return keyHandled_; }
    void SetKeyHandled(bool value) { keyHandled_ = value; }
    bool DoubleClick() const { return doubleClick_; }
    hostlib::TObject* DragItem() const { return dragItem_; }
    void SetDragItem(hostlib::TObject* value) { dragItem_ = value; }

protected:
    void Destroy() override;
    IcxEditingControlOptions* Options() const;

private:
    bool IsOnEditButton(TcxEditCellViewInfo* cell, int x, int y);
    void ShowEditOnMouseDown(TcxEditCellViewInfo* cell, hostlib::TMouseButton button, bool onButton,
                             hostlib::TShiftState shift, int x, int y);

    bool editChecksEnabled_ = true;
    bool navigationSkip_ = false;
    bool checkEditPosted_ = false;
    hostlib::ObjectPtr<TcxCustomDesignSelectionHelper> designSelectionHelper_;
    bool focusedCellUnchanged_ = false;
    bool escapePressed_ = false;
    hostlib::TObject* dragItem_ = nullptr;
    bool keyHandled_ = false;
    bool wasEditingAtMouseDown_ = false;
    hostlib::ObjectPtr<TcxEditingController> editingController_;
    TcxEditingControl* control_ = nullptr;
    bool focused_ = false;
    TcxCustomInplaceEditContainer* focusedItem_ = nullptr;
    hostlib::ObjectPtr<TcxCustomHitTestController> hitTestController_;
    hostlib::ObjectPtr<TcxHotTrackController> hotTrackController_;
    bool doubleClick_ = false;
    bool mousePressed_ = false;
    hostlib::ObjectPtr<TcxCustomCellNavigator> navigator_;
    bool clickedOnFocusedCell_ = false;
    TcxEditCellViewInfo* clickedCell_ = nullptr;
    std::string incSearchPending_;
};

// The text without its last character (a whole UTF-8 sequence).
std::string cxDropLastCharacter(const std::string& text);

// ---- drag image of the host's drag -------------------------------------------------------

// The picture of what is dragged follows the pointer in a click-through
// top-level window of its own, translucent at kDragImageAlpha: the display
// blends it over whatever lies below, so nothing under it is saved, redrawn
// or repainted when it moves.
class TcxDragImageHelper : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    static constexpr BYTE kDragImageAlpha = 200;

    virtual void Construct(TcxEditingControl* control, const POINT& dragPos);

    // p in screen coordinates.
    virtual void DragAndDrop(const POINT& p);
    virtual RECT GetDisplayRect();
    virtual void InitDragImage();
    virtual void DrawImage(const POINT& p);
    virtual void HideDragImage();
    virtual void ShowDragImage();

    bool DragImageVisible() const { return visible_; }
    void SetDragImageVisible(bool value);
    hostlib::TBitmap* DragPicture() const { return picture_.get(); }
    POINT ImagePosition() const { return imagePosition_; }
    RECT ImageRect() const;
    TcxEditingControl* DragControl() const { return control_; }
    // The window showing the picture; none before it was first shown.
    HWND ImageWindow() const { return window_; }

protected:
    void Destroy() override;

private:
    static LRESULT ImageWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateImageWindow();
    void PaintImage(HDC dc);

    TcxEditingControl* control_ = nullptr;
    bool visible_ = false;
    POINT dragStart_{};
    hostlib::ObjectPtr<hostlib::TBitmap> picture_;
    POINT hotSpot_{};
    RECT pictureBounds_{};
    POINT imagePosition_{};
    HWND window_ = nullptr;
};

// Around painting a window: whether the drag image had to be taken off it
// and put back (never, since it has a window of its own).
bool cxHideDragImage(HWND wnd);
bool cxShowDragImage(HWND wnd);
// The thread's drag mouse hook for a control's drag image.
void cxInstallDragImageHook(TcxEditingControl* control);
void cxRemoveDragImageHook();
bool cxDragImageHookInstalled();
