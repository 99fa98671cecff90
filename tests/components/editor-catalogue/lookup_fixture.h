#pragma once
// A lookup editor kind over a plain lookup grid whose data controller holds
// the records itself: the grid hooks answered the way a concrete kind
// answers them, so the lookup base and the grid are tried together without
// a data set.

#include <string>
#include <vector>

#include "components/editor-catalogue/cxLookupEdit.h"
#include "components/editor-catalogue/cxLookupGrid.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "components/foundation/cxContainerPopup.h"
#include "tests/components/editor-catalogue/catalogue_fixture.h"

namespace lookuptest {

class TTestLookupProperties : public TcxCustomLookupEditProperties {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestLookupProperties, TcxCustomLookupEditProperties>("TTestLookupProperties");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override
    {
        TcxCustomLookupEditProperties::Construct(owner);
        grid_.reset(hostlib::CreateObject<TcxLookupGrid>(nullptr));
        grid_->SetIsPopupControl(true);
        InitializeDataController();
    }
    hostlib::TClass GetContainerClass() override;

    int GetLookupGridColumnCount() override { return grid_->Columns()->Count(); }
    hostlib::TWinControl* GetLookupGridControl() override { return grid_.get(); }
    TcxCustomDataController* GetLookupGridDataController() override { return grid_->DataController(); }
    int GetLookupGridNearestPopupHeight(int height) override { return grid_->GetNearestPopupHeight(height); }
    int GetLookupGridPopupHeight(int rows) override { return grid_->GetPopupHeight(rows); }
    int GetLookupGridVisualAreaPreferredWidth() override { return 200; }
    bool IsLookupGridMouseOverList(const POINT& p) override { return grid_->IsMouseOverList(p); }
    void LookupGridInitEvents(const hostlib::TNotifyEvent& onClick, const hostlib::TNotifyEvent& onFocusedRowChanged,
                              const TcxLookupEditCloseUpEvent& onCloseUp) override
    {
        grid_->OnClick = onClick;
        grid_->OnFocusedRowChanged = onFocusedRowChanged;
        grid_->OnCloseUp = onCloseUp;
    }
    void LookupGridMakeFocusedRowVisible() override { grid_->MakeFocusedRowVisible(); }
    void LookupGridLockMouseMove() override { grid_->SetPopupMouseMoveLocked(true); }
    void LookupGridUnlockMouseMove() override { grid_->SetPopupMouseMoveLocked(false); }
    std::string GetDisplayLookupText(const hostlib::Variant& key) override
    {
        const int list = GetListIndex();
        if (list == -1 || key.IsNull() || key.IsEmpty())
            return {};
        const int record = key.AsInteger();
        if (record < 0 || record >= grid_->DataController()->GetRecordCount())
            return {};
        return grid_->DataController()->GetDisplayText(record, list);
    }

    TcxLookupGrid* Grid() const { return grid_.get(); }
    // One record per text in the first column.
    void Fill(const std::vector<std::string>& texts)
    {
        if (grid_->Columns()->Count() == 0)
            grid_->Columns()->Add();
        TcxCustomDataController* controller = grid_->DataController();
        controller->BeginUpdate();
        controller->SetRecordCount(static_cast<int>(texts.size()));
        for (int i = 0; i < static_cast<int>(texts.size()); ++i)
            controller->SetValue(i, 0, hostlib::Variant(texts[static_cast<std::size_t>(i)]));
        controller->EndUpdate();
    }

protected:
    void Destroy() override
    {
        DeinitializeDataController();
        grid_.reset();
        TcxCustomLookupEditProperties::Destroy();
    }

private:
    hostlib::ObjectPtr<TcxLookupGrid> grid_;
};

class TTestLookupEdit : public TcxCustomLookupEdit {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TTestLookupEdit, TcxCustomLookupEdit>("TTestLookupEdit");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetPropertiesClass() const override { return TTestLookupProperties::StaticClass(); }
    TTestLookupProperties* Props() const { return static_cast<TTestLookupProperties*>(Properties()); }
};

inline hostlib::TClass TTestLookupProperties::GetContainerClass() { return TTestLookupEdit::StaticClass(); }

class LookupTest : public cataloguetest::CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        cxContainerPopupInitialize();
        cxTextEditInitialize();
        cxDropDownEditInitialize();
        Screen().SetWorkArea(RECT{0, 0, 1000, 700});
        form = NewForm(400, 300);
        form->Show();
        Pump();
    }
    void TearDown() override
    {
        if (form)
            form->Free();
        form = nullptr;
        Screen().SetWorkArea(RECT{});
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxDropDownEditFinalize();
        cxTextEditFinalize();
        cxContainerPopupFinalize();
        CatalogueTest::TearDown();
    }
    TTestLookupEdit* NewEdit(const std::vector<std::string>& texts)
    {
        auto* edit = hostlib::CreateObject<TTestLookupEdit>(form);
        edit->SetBounds(20, 20, 200, 21);
        edit->SetParent(form);
        edit->Props()->Fill(texts);
        Pump();
        return edit;
    }
    // A grid on the form with one column per caption and rows of texts.
    TcxLookupGrid* NewGrid(const std::vector<std::string>& captions, const std::vector<std::vector<std::string>>& rows,
                           int width = 250, int height = 200)
    {
        auto* grid = hostlib::CreateObject<TcxLookupGrid>(form);
        grid->SetBounds(10, 10, width, height);
        grid->SetParent(form);
        UseFixedFace(grid->Font());
        grid->BeginUpdate();
        for (const std::string& caption : captions)
            grid->Columns()->Add()->SetCaption(caption);
        TcxCustomDataController* controller = grid->DataController();
        controller->SetRecordCount(static_cast<int>(rows.size()));
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < rows[r].size() && c < captions.size(); ++c)
                controller->SetValue(static_cast<int>(r), static_cast<int>(c), hostlib::Variant(rows[r][c]));
        grid->EndUpdate();
        Pump();
        return grid;
    }
    static std::vector<std::vector<std::string>> Numbered(int count)
    {
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < count; ++i)
            rows.push_back({"row" + std::to_string(i), "second" + std::to_string(i)});
        return rows;
    }
};

}  // namespace lookuptest
