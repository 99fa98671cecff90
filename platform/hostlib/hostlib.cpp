#include "platform/hostlib/hostlib.h"

#include "platform/hostlib/collection.h"
#include "platform/hostlib/format_settings.h"
#include "platform/hostlib/lists.h"

namespace hostlib {

void InitHostLibrary()
{
    InitFormatSettings();
    RegisterClasses({TPersistent::StaticClass(), TComponent::StaticClass(), TCollection::StaticClass(),
                     TOwnedCollection::StaticClass(), TCollectionItem::StaticClass(), TStrings::StaticClass(),
                     TStringList::StaticClass()});
}

}  // namespace hostlib
