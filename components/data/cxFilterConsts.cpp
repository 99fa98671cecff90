#include "components/data/cxFilterConsts.h"

TcxFilterGetResourceStringFunc cxFilterGetResourceStringFunc = nullptr;

std::string cxSFilterString(const hostlib::TResourceString& resource)
{
    if (cxFilterGetResourceStringFunc) return cxFilterGetResourceStringFunc(resource.Identifier);
    return hostlib::LoadResString(resource);
}
