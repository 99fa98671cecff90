#pragma once
// The one event type of the library: a method pointer that may be
// unassigned, is copied to save it and assigned back to restore it, and
// compares equal to another event bound to the same object and method.
// Events bound from a form resource remember the handler's name.

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <typeinfo>

namespace hostlib {

class TObject;

class TEventBase {
public:
    virtual ~TEventBase() = default;

    bool Assigned() const { return assigned_; }
    explicit operator bool() const { return assigned_; }
    // The object the handler belongs to (nullptr for free functions).
    const void* Target() const { return target_; }
    const std::string& HandlerName() const { return handlerName_; }
    void SetHandlerName(std::string name) { handlerName_ = std::move(name); }
    // The type of the concrete Event<...>, used to check handler signatures.
    virtual std::type_index Signature() const = 0;
    virtual void Clear() = 0;
    // Copies another event of the same signature; false when they differ.
    virtual bool AssignFrom(const TEventBase& other) = 0;
    // An unassigned event of the same signature.
    virtual std::unique_ptr<TEventBase> NewEmpty() const = 0;

    bool SameHandler(const TEventBase& other) const
    {
        if (assigned_ != other.assigned_) return false;
        if (!assigned_) return true;
        return target_ == other.target_ && methodType_ == other.methodType_ && methodId_ == other.methodId_;
    }

protected:
    TEventBase() = default;
    TEventBase(const TEventBase&) = default;
    TEventBase& operator=(const TEventBase&) = default;

    void ResetBase()
    {
        assigned_ = false;
        target_ = nullptr;
        methodId_ = {};
        methodType_ = std::type_index(typeid(void));
        handlerName_.clear();
    }

    bool assigned_ = false;
    const void* target_ = nullptr;
    std::array<unsigned char, 32> methodId_{};
    std::type_index methodType_ = std::type_index(typeid(void));
    std::string handlerName_;
};

template <class... Args>
class Event final : public TEventBase {
public:
    using Handler = std::function<void(Args...)>;

    Event() = default;
    Event(std::nullptr_t) {}

    // Binds a method of an object.
    template <class T, class M>
    static Event Bind(T* object, M method)
    {
        static_assert(std::is_member_function_pointer_v<M>);
        static_assert(sizeof(M) <= sizeof(methodId_));
        Event e;
        if (!object || !method) return e;
        e.fn_ = [object, method](Args... args) { (object->*method)(std::forward<Args>(args)...); };
        e.assigned_ = true;
        e.target_ = object;
        std::memcpy(e.methodId_.data(), &method, sizeof(M));
        e.methodType_ = std::type_index(typeid(M));
        return e;
    }

    // Binds any callable; events made from the same identity compare equal.
    template <class F>
    static Event FromFunction(F&& f, const void* identity = nullptr)
    {
        Event e;
        e.fn_ = Handler(std::forward<F>(f));
        if (!e.fn_) return e;
        e.assigned_ = true;
        e.target_ = identity;
        e.methodType_ = std::type_index(typeid(F));
        return e;
    }

    // Calls the handler; an unassigned event does nothing.
    void operator()(Args... args) const
    {
        if (fn_) fn_(std::forward<Args>(args)...);
    }

    std::type_index Signature() const override { return std::type_index(typeid(Event)); }
    void Clear() override
    {
        fn_ = nullptr;
        ResetBase();
    }
    bool AssignFrom(const TEventBase& other) override
    {
        if (other.Signature() != Signature()) return false;
        *this = static_cast<const Event&>(other);
        return true;
    }

    std::unique_ptr<TEventBase> NewEmpty() const override { return std::make_unique<Event>(); }

    friend bool operator==(const Event& a, const Event& b) { return a.SameHandler(b); }

private:
    Handler fn_;
};

using TNotifyEvent = Event<TObject*>;

}  // namespace hostlib
