#pragma once
// A small editing control for the tests: one row of cells per record and
// one column per item (80 x 20 pixels from the top-left corner), a view
// info that counts its calculations, a controller that finds the focused
// cell, a painter that paints the cells and then the background, and a
// text editor kind whose cells draw their value in their text colour with
// the fixed-metrics test face (8 x 16 pixels a character, one row a line).

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditDataRegisteredRepositoryItems.h"
#include "components/treelist/cxInplaceContainerControllers.h"
#include "components/treelist/cxTLOptions.h"
#include "platform/graphics/wingdi.h"

namespace treelisttest {

inline constexpr int kCellWidth = 80;
inline constexpr int kCellHeight = 20;
inline constexpr int kCharWidth = 8;
inline constexpr int kLineHeight = 16;

// ---- a text editor kind ----------------------------------------------------------------

class TTestTextViewInfo : public TcxCustomEditViewInfo {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestTextViewInfo, TcxCustomEditViewInfo>("TTestTextViewInfo");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Cut off when wider than the client: the hint shows it whole.
    using TcxCustomEditViewInfo::NeedShowHint;
    bool NeedShowHint(TcxCanvas* canvas, const POINT&, const RECT&, std::string& text, bool& isMultiLine,
                      RECT& textRect) override
    {
        text.clear();
        if (canvas && Font) canvas->SetFont(Font);
        isMultiLine = false;
        if (static_cast<int>(Text.size()) * 8 <= ClientRect.right - ClientRect.left) return false;
        text = Text;
        textRect = ClientRect;
        return true;
    }

    std::string Text;
    // The canvas's left and top alignment flags.
    static constexpr int kLeftTop = 0x1 | 0x8;

protected:
    void InternalPaint(TcxCanvas* canvas) override
    {
        TcxCustomEditViewInfo::InternalPaint(canvas);
        if (Font) canvas->SetFont(Font);
        canvas->Font()->SetColor(TextColor);
        canvas->Brush()->SetStyle(hostlib::bsClear);
        canvas->DrawTexT(Text, ClientRect, kLeftTop);
        canvas->Brush()->SetStyle(hostlib::bsSolid);
    }
};

class TTestTextViewData : public TcxCustomEditViewData {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestTextViewData, TcxCustomEditViewData>("TTestTextViewData");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void EditValueToDrawValue(TcxCanvas*, const hostlib::Variant& value, TcxCustomEditViewInfo* viewInfo) override
    {
        if (auto* info = hostlib::As<TTestTextViewInfo>(viewInfo)) info->Text = Text(value);
    }
    SIZE InternalGetEditContentSize(TcxCanvas*, const hostlib::Variant& value, const TcxEditSizeProperties&) override
    {
        const std::string text = Text(value);
        int lines = 1, longest = 0, run = 0;
        for (char c : text) {
            if (c == '\n') {
                ++lines;
                run = 0;
            } else {
                longest = std::max(longest, ++run);
            }
        }
        return SIZE{longest * kCharWidth, lines * kLineHeight};
    }

private:
    static std::string Text(const hostlib::Variant& value)
    {
        return value.IsNull() || value.IsEmpty() ? std::string() : value.AsString();
    }
};

// The kind's editor keeps its text itself, like a one-line text editor:
// a key typed after everything was selected replaces the text, later keys
// append; the value follows the text on validation.
class TTestEdit : public TcxCustomEdit {
public:
    static hostlib::TClass StaticClass() { return hostlib::DefineClass<TTestEdit, TcxCustomEdit>("TTestEdit"); }
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetPropertiesClass() const override;

    std::string GetDisplayValue() override { return text; }
    void SetInternalDisplayValue(const hostlib::Variant& value) override { text = hostlib::VarToStr(value); }
    void SynchronizeDisplayValue() override
    {
        text = GetEditValue().IsNull() || GetEditValue().IsEmpty() ? "" : hostlib::VarToStr(GetEditValue());
    }
    void SelectAll() override { allSelected = true; }

    std::string text;
    bool allSelected = false;
    std::vector<POINT> clicks;

protected:
    void InternalSetDisplayValue(const hostlib::Variant& value) override { InternalSetEditValue(value, true); }
    bool CanKeyPressModifyEdit(char) override { return true; }
    void DoEditKeyPress(char& key) override
    {
        TcxCustomEdit::DoEditKeyPress(key);
        if (static_cast<unsigned char>(key) < 32) return;
        text = (allSelected ? std::string() : text) + key;
        allSelected = false;
        ChangeHandler(this);
    }
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override
    {
        clicks.push_back(POINT{x, y});
        TcxCustomEdit::MouseDown(button, shift, x, y);
    }
};

class TTestTextProperties : public TcxCustomEditProperties {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestTextProperties, TcxCustomEditProperties>("TTestTextProperties");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TClass GetContainerClass() override { return TTestEdit::StaticClass(); }
    hostlib::TClass GetViewInfoClass() override { return TTestTextViewInfo::StaticClass(); }
    hostlib::TClass GetViewDataClass() override { return TTestTextViewData::StaticClass(); }
    bool CanValidate() override { return true; }
    // A text equal to rejected does not validate; shared by the copies
    // the editors take.
    void ValidateDisplayValue(hostlib::Variant& displayValue, std::string& errorText, bool& error,
                              TcxCustomEdit* = nullptr) override
    {
        if (!rejected.empty() && hostlib::VarToStr(displayValue) == rejected) {
            error = true;
            errorText = rejectText;
        }
    }
    static inline std::string rejected;
    static inline std::string rejectText;
    TcxEditSupportedOperations GetSupportedOperations() override
    {
        return TcxEditSupportedOperations{esoIncSearch, esoSorting};
    }
    TcxDataEditValueSource GetEditValueSource(bool editFocused) override
    {
        return editFocused ? evsValue : source;
    }
    TcxDataEditValueSource source = evsValue;
};

inline hostlib::TClass TTestEdit::GetPropertiesClass() const { return TTestTextProperties::StaticClass(); }

// A second kind, to tell apart which properties a cell took.
class TTestOtherProperties : public TTestTextProperties {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestOtherProperties, TTestTextProperties>("TTestOtherProperties");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TTestRepositoryItem : public TcxEditRepositoryItem {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestRepositoryItem, TcxEditRepositoryItem>("TTestRepositoryItem");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetEditPropertiesClass() const override { return TTestTextProperties::StaticClass(); }
};

// ---- the control ----------------------------------------------------------------------

class TTestCell : public TcxEditCellViewInfo {
public:
    static hostlib::TClass StaticClass() { return hostlib::DefineClass<TTestCell, TcxEditCellViewInfo>("TTestCell"); }
    hostlib::TClass ClassType() const override { return StaticClass(); }

    int GetRecordIndex() override { return record; }
    TcxViewParams GetEditViewParams() override
    {
        TcxViewParams params;
        GetControl()->Styles()->GetViewParams(ecs_Content, nullptr, nullptr, params);
        return params;
    }
    int record = 0;
};

class TTestViewInfo : public TcxCustomControlViewInfo {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestViewInfo, TcxCustomControlViewInfo>("TTestViewInfo");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void CalculateDefaultEditHeight() override { SetDefaultEditHeight(kCellHeight); }
    void DoCalculate() override
    {
        ++calculations;
        if (onCalculate) onCalculate();
        ClearEditCellViewInfos();
        TcxEditingControl* control = Control();
        const int records = control->DataController()->GetRecordCount();
        for (int r = 0; r < records; ++r)
            for (int i = 0; i < control->ItemCount(); ++i) {
                auto* cell = static_cast<TTestCell*>(AddEditCellViewInfo(TTestCell::StaticClass(), control->Items(i)));
                cell->record = r;
                cell->Borders = borders;
                const RECT bounds{i * kCellWidth, r * kCellHeight, (i + 1) * kCellWidth, (r + 1) * kCellHeight};
                cell->CheckClipping(bounds);
            }
        TcxCustomControlViewInfo::DoCalculate();
    }
    TTestCell* Cell(int record, int item) const
    {
        for (int i = 0; i < EditCellCount(); ++i) {
            auto* cell = static_cast<TTestCell*>(EditCells(i));
            if (cell->record == record && cell->GetEditContainer()->ItemIndex() == item) return cell;
        }
        return nullptr;
    }

    int calculations = 0;
    TcxBorders borders;
    std::function<void()> onCalculate;
};

class TTestController : public TcxCustomControlController {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestController, TcxCustomControlController>("TTestController");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxEditCellViewInfo* GetFocusedCellViewInfo(TcxCustomInplaceEditContainer* item) override
    {
        if (!item) return nullptr;
        auto* info = static_cast<TTestViewInfo*>(EditingControl()->ViewInfo());
        return info->Cell(GetFocusedRecordIndex(), item->ItemIndex());
    }
    void MakeFocusedItemVisible() override {}
    void MakeFocusedRecordVisible() override {}
    hostlib::TClass GetNavigatorClass() override;
    // Cells can be dragged (with an automatic drag mode).
    bool CanDrag(int, int) override { return true; }
    void RefreshFocusedRecord() override
    {
        Note("refresh focused record");
        TcxCustomControlController::RefreshFocusedRecord();
    }
    void FocusedRecordChanged(int prev, int focused) override
    {
        Note("focused record " + std::to_string(prev) + " -> " + std::to_string(focused));
        TcxCustomControlController::FocusedRecordChanged(prev, focused);
    }
    void UpdateRecord(int record) override { Note("update record " + std::to_string(record)); }

private:
    void Note(const std::string& what);
};

// Rows are records, cells are items in their order.
class TTestNavigator : public TcxCustomCellNavigator {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestNavigator, TcxCustomCellNavigator>("TTestNavigator");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void CalcNextRow(bool forward, int& rowIndex, int&) override
    {
        const int next = rowIndex + (forward ? 1 : -1);
        if (next >= 0 && next < RowCount()) rowIndex = next;
    }
    TcxCustomInplaceEditContainer* GetCellContainer(int, int cellIndex) override
    {
        TcxEditingControl* control = Controller()->EditingControl();
        return cellIndex >= 0 && cellIndex < control->ItemCount() ? control->Items(cellIndex) : nullptr;
    }
    int GetCount(int) override { return Controller()->EditingControl()->ItemCount(); }
    void Init(int& rowIndex, int& cellIndex, int& rowCount) override
    {
        rowIndex = Controller()->GetFocusedRecordIndex();
        cellIndex = Controller()->FocusedItem() ? Controller()->FocusedItem()->ItemIndex() : -1;
        rowCount = DataController()->GetRecordCount();
    }
    void SetFocusCell(int rowIndex, int cellIndex, hostlib::TShiftState) override
    {
        Controller()->SetFocusedRecordItem(rowIndex, Controller()->EditingControl()->Items(cellIndex));
    }
};

inline hostlib::TClass TTestController::GetNavigatorClass() { return TTestNavigator::StaticClass(); }

class TTestPainter : public TcxCustomControlPainter {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestPainter, TcxCustomControlPainter>("TTestPainter");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void DoPaint() override
    {
        TcxCustomControlViewInfo* info = GetViewInfo();
        for (int i = 0; i < info->EditCellCount(); ++i)
            if (info->EditCells(i)->Visible) DoPaintEditCell(info->EditCells(i));
        TcxCustomControlPainter::DoPaint();
    }
};

class TTestControl : public TcxExtEditingControl {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestControl, TcxExtEditingControl>("TTestControl");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TTestViewInfo* TestViewInfo() const { return static_cast<TTestViewInfo*>(ViewInfo()); }
    std::vector<std::string> log;

    // The drag picture: the first cell, its left half in one colour, its
    // right half in another.
    RECT DragDropImageDisplayRect() override { return RECT{0, 0, kCellWidth, kCellHeight}; }
    void DrawDragDropImage(hostlib::TBitmap*, TcxCanvas* canvas) override
    {
        canvas->SetBrushColor(kDragLeft);
        canvas->FillRect(RECT{0, 0, kCellWidth / 2, kCellHeight});
        canvas->SetBrushColor(kDragRight);
        canvas->FillRect(RECT{kCellWidth / 2, 0, kCellWidth, kCellHeight});
    }
    static constexpr hostlib::TColor kDragLeft = 0x00C08000;
    static constexpr hostlib::TColor kDragRight = 0x000040E0;

protected:
    hostlib::TClass GetViewInfoClass() override { return TTestViewInfo::StaticClass(); }
    hostlib::TClass GetControllerClass() override { return TTestController::StaticClass(); }
    hostlib::TClass GetPainterClass() override { return TTestPainter::StaticClass(); }
    void BeforeUpdate() override { log.push_back("before update"); }
    void DoLayoutChanged() override
    {
        if (throwInLayout) throw hostlib::Exception("layout failed");
        TcxExtEditingControl::DoLayoutChanged();
    }
    void SelectionChanged(TcxSelectionChangedInfo*) override { log.push_back("selection"); }

public:
    bool throwInLayout = false;
};

inline void TTestController::Note(const std::string& what)
{
    static_cast<TTestControl*>(EditingControl())->log.push_back(what);
}

// Items of the control, with their editor kind named by the text kind.
class TTestItem : public TcxCustomInplaceEditContainer {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestItem, TcxCustomInplaceEditContainer>("TTestItem");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// Registers the text kind as the string type's default editor while alive.
struct DefaultTextKind {
    hostlib::ObjectPtr<TTestRepositoryItem> item{hostlib::CreateObject<TTestRepositoryItem>(nullptr)};
    DefaultTextKind()
    {
        GetDefaultEditDataRepositoryItems()->RegisterItem(TcxStringValueType::Class(), 100, item.get());
        GetRegisteredEditProperties()->Register(TTestTextProperties::StaticClass(), "Test text|");
        GetRegisteredEditProperties()->Register(TTestOtherProperties::StaticClass(), "Test other|");
    }
    ~DefaultTextKind()
    {
        GetDefaultEditDataRepositoryItems()->UnregisterItem(TcxStringValueType::Class(), 100);
        GetRegisteredEditProperties()->Unregister(TTestTextProperties::StaticClass());
        GetRegisteredEditProperties()->Unregister(TTestOtherProperties::StaticClass());
    }
};

} // namespace treelisttest
