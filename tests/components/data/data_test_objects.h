#pragma once
// Objects for the tests of object-typed values: each counts its own
// destruction, and AddressOf gives the variant form an object value takes.

#include <cstdint>

#include "platform/hostlib/core/object.h"
#include "platform/hostlib/core/variant.h"

class CountedObject : public hostlib::TObject {
public:
    explicit CountedObject(int& destroyed) : destroyed_(destroyed) {}
    ~CountedObject() override { ++destroyed_; }

private:
    int& destroyed_;
};

inline hostlib::Variant AddressOf(hostlib::TObject* object)
{
    return hostlib::Variant(static_cast<long long>(reinterpret_cast<std::intptr_t>(object)));
}
