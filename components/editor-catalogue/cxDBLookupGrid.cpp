#include "components/editor-catalogue/cxDBLookupGrid.h"

#include <algorithm>

#include "components/editors/cxEditDBRegisteredRepositoryItems.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

TClass TcxLookupDBGridDefaultValuesProvider::StaticClass()
{
    return DefineClass<TcxLookupDBGridDefaultValuesProvider, TcxCustomDBEditDefaultValuesProvider>(
        "TcxLookupDBGridDefaultValuesProvider");
}

TcxLookupDBGridColumn* TcxLookupDBGridDefaultValuesProvider::Column() const
{
    return As<TcxLookupDBGridColumn>(GetOwner());
}

bool TcxLookupDBGridDefaultValuesProvider::IsDisplayFormatDefined(bool)
{
    TcxLookupDBGridColumn* column = Column();
    TcxCustomLookupGrid* grid = column ? column->Grid() : nullptr;
    return grid && grid->DataController()->GetItemTextStored(column->Index());
}

// ---- columns ------------------------------------------------------------------------------------

TClass TcxLookupDBGridColumn::StaticClass()
{
    return DefineClass<TcxLookupDBGridColumn, TcxLookupGridColumn>("TcxLookupDBGridColumn",
                                                                    [](ClassBuilder<TcxLookupDBGridColumn>& b) {
        using C = TcxLookupDBGridColumn;
        b.Property("FieldName", &C::FieldName, &C::SetFieldName);
    });
}

TcxDBDataController* TcxLookupDBGridColumn::DBController() const
{
    TcxCustomLookupGrid* grid = Grid();
    return grid ? As<TcxDBDataController>(grid->DataController()) : nullptr;
}

std::string TcxLookupDBGridColumn::FieldName() const
{
    TcxDBDataController* controller = DBController();
    return controller ? controller->GetItemFieldName(Index()) : std::string();
}

void TcxLookupDBGridColumn::SetFieldName(const std::string& value)
{
    if (TcxDBDataController* controller = DBController())
        controller->ChangeFieldName(Index(), value);
    ColumnChanged();
}

TField* TcxLookupDBGridColumn::Field() const
{
    TcxDBDataController* controller = DBController();
    return controller ? controller->GetItemField(Index()) : nullptr;
}

void TcxLookupDBGridColumn::Assign(TPersistent* source)
{
    if (auto* other = As<TcxLookupDBGridColumn>(source))
        SetFieldName(other->FieldName());
    TcxLookupGridColumn::Assign(source);
}

TClass TcxLookupDBGridColumn::GetDefaultValuesProviderClass()
{
    return TcxLookupDBGridDefaultValuesProvider::StaticClass();
}

void TcxLookupDBGridColumn::InitDefaultValuesProvider()
{
    if (auto* provider = As<TcxCustomDBEditDefaultValuesProvider>(DefaultValuesProvider()))
        provider->SetField(Field());
}

std::string TcxLookupDBGridColumn::DefaultCaption()
{
    TField* field = Field();
    return field ? field->DisplayName() : FieldName();
}

TcxEditRepositoryItem* TcxLookupDBGridColumn::DefaultRepositoryItem()
{
    return GetDefaultEditDBRepositoryItems()->GetItemByField(Field());
}

int TcxLookupDBGridColumn::DefaultWidth()
{
    TField* field = Field();
    TcxCustomLookupGrid* grid = Grid();
    if (!field || !grid)
        return std::max(64, MinWidth());
    TcxCanvas* canvas = grid->ViewInfo()->GetCanvas();
    canvas->SetFont(grid->ViewInfo()->GetContentFont());
    int width = canvas->TextWidth("0") * field->DisplayWidth() + 4;
    if (grid->Options()->ShowHeader())
        width = std::max(width, grid->LookAndFeelPainter()->HeaderWidth(canvas, cxBordersAll, Caption(),
                                                                         grid->ViewInfo()->GetHeaderFont()));
    return std::max(width, MinWidth());
}

TClass TcxLookupDBGridColumns::StaticClass()
{
    return DefineClass<TcxLookupDBGridColumns, TcxLookupGridColumns>("TcxLookupDBGridColumns");
}

TcxLookupDBGridColumn* TcxLookupDBGridColumns::ColumnByFieldName(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (AnsiCompareText(Items(i)->FieldName(), name) == 0)
            return Items(i);
    return nullptr;
}

// ---- data controller ----------------------------------------------------------------------------

TClass TcxLookupGridDBDataController::StaticClass()
{
    return DefineClass<TcxLookupGridDBDataController, TcxDBDataController>("TcxLookupGridDBDataController");
}

void TcxLookupGridDBDataController::Construct(TComponent* owner)
{
    TcxDBDataController::Construct(owner);
    DataModeController().SetSyncMode(false);
    DataModeController().SetSyncInsert(false);
}

TObject* TcxLookupGridDBDataController::GetItem(int index) const { return Grid()->Columns()->Items(index); }

void TcxLookupGridDBDataController::UpdateScrollBars()
{
    if (TcxCustomLookupGrid* grid = Grid())
        grid->UpdateScrollBars();
}

// ---- the grid -----------------------------------------------------------------------------------

TClass TcxCustomLookupDBGrid::StaticClass()
{
    return DefineClass<TcxCustomLookupDBGrid, TcxCustomLookupGrid>("TcxCustomLookupDBGrid");
}

TClass TcxLookupDBGrid::StaticClass()
{
    return DefineClass<TcxLookupDBGrid, TcxCustomLookupDBGrid>("TcxLookupDBGrid", [](ClassBuilder<TcxLookupDBGrid>& b) {
        using G = TcxLookupDBGrid;
        b.Property("DataSource", &G::DataSource, &G::SetDataSource);
        b.Property("KeyFieldNames", &G::KeyFieldNames, &G::SetKeyFieldNames);
        b.Property("Options", &G::Options, &G::SetOptions);
    });
}

void TcxCustomLookupDBGrid::CreateColumnsByFields(const std::vector<std::string>& names)
{
    BeginUpdate();
    quelvo::sys::ScopeGuard end([this] { EndUpdate(); });
    for (const std::string& name : names)
        Columns()->Add()->SetFieldName(name);
}

void TcxCustomLookupDBGrid::CreateAllColumns()
{
    Columns()->Clear();
    TDataSet* dataSet = DBDataController()->DataSet();
    if (!dataSet)
        return;
    std::vector<std::string> names;
    dataSet->GetFieldNames(names);
    CreateColumnsByFields(names);
}

void TcxCustomLookupDBGrid::CreateColumnsByFieldNames(const std::string& names)
{
    Columns()->Clear();
    std::vector<std::string> list;
    GetFieldNames(names, list);
    CreateColumnsByFields(list);
}

bool TcxCustomLookupDBGrid::IsRecNoScrolling() const
{
    TDataSet* dataSet = DBDataController()->DataSet();
    return DBDataController()->IsGridMode() && dataSet && dataSet->Active() && dataSet->IsSequenced();
}

void TcxCustomLookupDBGrid::DataChanged()
{
    for (int i = 0; i < Columns()->Count(); ++i)
        Columns()->Items(i)->InitDefaultValuesProvider();
    TcxCustomLookupGrid::DataChanged();
}

void TcxCustomLookupDBGrid::InitScrollBarsParameters()
{
    if (!IsRecNoScrolling()) {
        TcxCustomLookupGrid::InitScrollBarsParameters();
        return;
    }
    TDataSet* dataSet = DBDataController()->DataSet();
    const int page = ViewInfo()->FullyVisibleRowCount;
    SetScrollBarInfo(sbVertical, 0, dataSet->RecordCount() + page - 2, 1, page, dataSet->RecNo() - 1, true, true);
}

void TcxCustomLookupDBGrid::ScrollByRecNo(TScrollCode code, int position)
{
    switch (code) {
    case scLineUp: FocusNextRow(false); break;
    case scLineDown: FocusNextRow(true); break;
    case scPageUp: FocusPriorPage(); break;
    case scPageDown: FocusNextPage(); break;
    case scPosition: DBDataController()->DataSet()->SetRecNo(position + 1); break;
    default: break;
    }
}

void TcxCustomLookupDBGrid::Scroll(TScrollBarKind kind, TScrollCode code, int& position)
{
    if (kind != sbVertical || !IsRecNoScrolling()) {
        TcxCustomLookupGrid::Scroll(kind, code, position);
        return;
    }
    ScrollByRecNo(code, position);
    position = DBDataController()->DataSet()->RecNo() - 1;
}
