#pragma once
// A non-owning reference to a callable, for answer handlers: no allocation
// per command, unlike std::function with a capturing lambda. The referenced
// callable must outlive the call it is passed to.
#include <type_traits>
#include <utility>

namespace tamlo::link {

template <typename Signature>
class FunctionRef;

template <typename R, typename... Args>
class FunctionRef<R(Args...)> {
 public:
  FunctionRef() = default;
  FunctionRef(std::nullptr_t) {}
  template <typename F, typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, FunctionRef>>>
  FunctionRef(F&& f)  // NOLINT: implicit by design, like std::function
      : m_object(const_cast<void*>(static_cast<const void*>(&f))),
        m_call([](void* object, Args... args) -> R {
          return (*static_cast<std::remove_reference_t<F>*>(object))(std::forward<Args>(args)...);
        }) {}

  explicit operator bool() const { return m_call != nullptr; }
  R operator()(Args... args) const { return m_call(m_object, std::forward<Args>(args)...); }

 private:
  void* m_object = nullptr;
  R (*m_call)(void*, Args...) = nullptr;
};

}  // namespace tamlo::link
