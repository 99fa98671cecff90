#pragma once
// The common shape of a property setter: store a new value and react to
// the change, nothing when the value is the same.

namespace hostlib {

template <class T, class F>
void SetIfChanged(T& field, const T& value, F&& changed)
{
    if (field == value) return;
    field = value;
    changed();
}

}  // namespace hostlib
