#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace skinui {

class Control;

// From a layout element name ("Button", "VerticalLayout" …) to the factory of its control.
class ControlRegistry {
 public:
  using Factory = std::function<std::unique_ptr<Control>()>;

  // The library's controls.
  static const ControlRegistry& Default();

  void Register(std::string element, Factory factory);
  // Null for an element nobody registered.
  std::unique_ptr<Control> Create(std::string_view element) const;
  bool Knows(std::string_view element) const;

 private:
  std::map<std::string, Factory, std::less<>> factories_;
};

}  // namespace skinui
