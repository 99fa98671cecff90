#include "platform/hostlib/core/hostlib.h"

#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/core/lists.h"

namespace hostlib {

void InitHostLibrary()
{
    InitFormatSettings();
    RegisterClasses({TPersistent::StaticClass(), TComponent::StaticClass(), TCollection::StaticClass(),
                     TOwnedCollection::StaticClass(), TCollectionItem::StaticClass(), TStrings::StaticClass(),
                     TStringList::StaticClass()});
}

}  // namespace hostlib
