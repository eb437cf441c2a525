#pragma once
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace foundation {

// A callback that holds its object weakly: called while the object lives, it runs `body` with
// the object (a `std::shared_ptr` to it, kept alive for the call) and the call's arguments;
// once the object is gone it does nothing (and gives a default value when `body` returns one).
// `body` is a member function of the object (`weakBind(this, &Screen::backBtnClick)`) or
// anything callable as `body(self, arguments...)`:
//
//     button->addTarget(foundation::weakBind(this, [](const auto& self) { self->tapped(); }), ...);
template <class T, class F>
auto weakBind(const std::shared_ptr<T>& object, F body) {
    static_assert(!std::is_member_object_pointer_v<F>,
                  "a member to call, not a member object (an output is called by a lambda)");
    return [weak = std::weak_ptr<T>(object), body = std::move(body)](auto&&... arguments) {
        using Result = std::invoke_result_t<const F&, const std::shared_ptr<T>&, decltype(arguments)...>;
        auto self = weak.lock();
        if constexpr (std::is_void_v<Result>) {
            if (self) std::invoke(body, self, std::forward<decltype(arguments)>(arguments)...);
        } else {
            return self ? std::invoke(body, self, std::forward<decltype(arguments)>(arguments)...) : Result{};
        }
    };
}

// The same for an object that a `std::shared_ptr` owns through `enable_shared_from_this`
// (on any base class); an object nothing owns yet gives a callback that never runs.
template <class T, class F>
auto weakBind(T* object, F body) {
    auto owner = object ? object->weak_from_this().lock() : nullptr;
    return weakBind(owner ? std::shared_ptr<T>(owner, object) : std::shared_ptr<T>(), std::move(body));
}

}  // namespace foundation
