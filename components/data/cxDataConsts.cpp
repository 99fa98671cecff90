#include "components/data/cxDataConsts.h"

#include <array>

std::span<const TcxDataResourceString> cxDataResourceStrings()
{
    static constexpr std::array<TcxDataResourceString, 12> table{{
        {"cxSDataReadError", cxSDataReadError},
        {"cxSDataWriteError", cxSDataWriteError},
        {"cxSDataItemExistError", cxSDataItemExistError},
        {"cxSDataRecordIndexError", cxSDataRecordIndexError},
        {"cxSDataItemIndexError", cxSDataItemIndexError},
        {"cxSDataProviderModeError", cxSDataProviderModeError},
        {"cxSDataInvalidStreamFormat", cxSDataInvalidStreamFormat},
        {"cxSDataRowIndexError", cxSDataRowIndexError},
        {"cxSDataCustomDataSourceInvalidCompare", cxSDataCustomDataSourceInvalidCompare},
        {"cxSDBDetailFilterControllerNotFound", cxSDBDetailFilterControllerNotFound},
        {"cxSDBNotInGridMode", cxSDBNotInGridMode},
        {"cxSDBKeyFieldNotFound", cxSDBKeyFieldNotFound},
    }};
    return table;
}
