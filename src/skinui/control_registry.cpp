#include "skinui/control_registry.h"

#include "skinui/button.h"
#include "skinui/combo.h"
#include "skinui/edit.h"
#include "skinui/horizontal_layout.h"
#include "skinui/label.h"
#include "skinui/list.h"
#include "skinui/list_container_element.h"
#include "skinui/list_label_element.h"
#include "skinui/option.h"
#include "skinui/progress.h"
#include "skinui/tab_layout.h"
#include "skinui/text.h"
#include "skinui/tile_layout.h"
#include "skinui/vertical_layout.h"
#include "skinui/web_browser.h"

namespace skinui {

namespace {

template <class T>
ControlRegistry::Factory Make() {
  return [] { return std::make_unique<T>(); };
}

ControlRegistry BuildDefault() {
  ControlRegistry registry;
  registry.Register("Control", Make<Control>());
  registry.Register("Container", Make<Container>());
  registry.Register("VerticalLayout", Make<VerticalLayout>());
  registry.Register("HorizontalLayout", Make<HorizontalLayout>());
  registry.Register("TabLayout", Make<TabLayout>());
  registry.Register("TileLayout", Make<TileLayout>());
  registry.Register("List", Make<List>());
  registry.Register("ListContainerElement", Make<ListContainerElement>());
  registry.Register("ListLabelElement", Make<ListLabelElement>());
  registry.Register("Label", Make<Label>());
  registry.Register("Text", Make<Text>());
  registry.Register("Button", Make<Button>());
  registry.Register("Option", Make<Option>());
  registry.Register("Edit", Make<Edit>());
  registry.Register("Combo", Make<Combo>());
  registry.Register("Progress", Make<Progress>());
  registry.Register("WebBrowser", Make<WebBrowser>());
  return registry;
}

}  // namespace

const ControlRegistry& ControlRegistry::Default() {
  static const ControlRegistry registry = BuildDefault();
  return registry;
}

void ControlRegistry::Register(std::string element, Factory factory) {
  factories_[std::move(element)] = std::move(factory);
}

std::unique_ptr<Control> ControlRegistry::Create(std::string_view element) const {
  const auto it = factories_.find(element);
  return it != factories_.end() ? it->second() : nullptr;
}

bool ControlRegistry::Knows(std::string_view element) const {
  return factories_.find(element) != factories_.end();
}

}  // namespace skinui
