#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace skinui {

class Control;

// The attributes one control class understands, by name, with a link to its base class's table.
// Each class builds its table once (a function-local constant) and answers it from
// GetAttributeTable(), so attributes are registered per class instead of one long if/else.
class AttributeTable {
 public:
  using Setter = std::function<void(Control&, std::string_view value)>;

  AttributeTable(const AttributeTable* base,
                 std::initializer_list<std::pair<const std::string, Setter>> setters)
      : base_(base), setters_(setters) {}

  const Setter* Find(std::string_view name) const {
    if (const auto it = setters_.find(std::string(name)); it != setters_.end()) return &it->second;
    return base_ != nullptr ? base_->Find(name) : nullptr;
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> names = base_ != nullptr ? base_->Names() : std::vector<std::string>{};
    for (const auto& [name, setter] : setters_) names.push_back(name);
    return names;
  }

 private:
  const AttributeTable* base_;
  std::map<std::string, Setter> setters_;
};

// Wraps a setter written for a concrete control class.
template <class T, class F>
AttributeTable::Setter On(F f) {
  return [f](Control& control, std::string_view value) { f(static_cast<T&>(control), value); };
}

}  // namespace skinui
