#pragma once

#include <memory>
#include <typeinfo>
#include <utility>

namespace platform {

// Owns one object posted with a window message. The receiver asks for the type it expects;
// a payload of another type (or none) answers null, so a mismatched message can be dropped
// instead of misread. Whatever happens to the message, the object is freed exactly once.
class Payload {
 public:
  Payload() = default;

  template <class T>
  explicit Payload(std::unique_ptr<T> object)
      : object_(object.release(), [](void* p) { delete static_cast<T*>(p); }), type_(&typeid(T)) {}

  template <class T, class... Args>
  static Payload make(Args&&... args) {
    return Payload(std::make_unique<T>(std::forward<Args>(args)...));
  }

  bool empty() const { return object_ == nullptr; }

  template <class T>
  T* get() const {
    return object_ && *type_ == typeid(T) ? static_cast<T*>(object_.get()) : nullptr;
  }

  // Takes the object out; null (and the payload is kept) when the type does not match.
  template <class T>
  std::unique_ptr<T> take() {
    if (get<T>() == nullptr) return nullptr;
    type_ = nullptr;
    return std::unique_ptr<T>(static_cast<T*>(object_.release()));
  }

 private:
  std::unique_ptr<void, void (*)(void*)> object_{nullptr, [](void*) {}};
  const std::type_info* type_ = nullptr;
};

}  // namespace platform
