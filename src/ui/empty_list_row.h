#pragma once

#include <memory>
#include <string>

#include "skinui/container.h"
#include "skinui/geometry.h"

namespace ui {

// The row an empty list shows its picture in: named after the list, so that the list's next
// row can take its place.
skinui::Control* FindEmptyListRow(skinui::Container& list);

// A row that centres the picture at the given size, with a margin above and below.
std::unique_ptr<skinui::Control> MakeEmptyListRow(const std::string& listName,
                                                  const std::string& image, skinui::Size shown);

}  // namespace ui
