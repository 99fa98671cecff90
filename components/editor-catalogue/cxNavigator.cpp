#include "components/editor-catalogue/cxNavigator.h"

#include <algorithm>

using namespace hostlib;

TClass TcxNavigatorControlNotifier::StaticClass()
{
    return DefineClass<TcxNavigatorControlNotifier, TObject>("TcxNavigatorControlNotifier");
}

void TcxNavigatorControlNotifier::AddNavigator(IcxNavigatorOwner* navigator)
{
    if (navigator && std::find(list_.begin(), list_.end(), navigator) == list_.end()) list_.push_back(navigator);
}

void TcxNavigatorControlNotifier::RemoveNavigator(IcxNavigatorOwner* navigator)
{
    list_.erase(std::remove(list_.begin(), list_.end(), navigator), list_.end());
}

void TcxNavigatorControlNotifier::RefreshNavigatorButtons()
{
    // A navigator may unbind itself while it refreshes.
    const std::vector<IcxNavigatorOwner*> list = list_;
    for (IcxNavigatorOwner* navigator : list)
        if (std::find(list_.begin(), list_.end(), navigator) != list_.end()) navigator->NavigatorButtonsStateChanged();
}
