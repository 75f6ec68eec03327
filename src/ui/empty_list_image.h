#pragma once

#include <string>
#include <string_view>

#include "skinui/geometry.h"

namespace ui {

// The picture an empty list shows once its load has ended: after a network failure
// "net_error.png"; for the app list with a search text "nosearchapp.png"; for the knowledge
// results with a keyword on the result page "nosearchfiles.png"; "nodatainfo.png" otherwise.
std::string EmptyListImage(std::string_view listName, bool networkFailure, bool searchTextEmpty);

// The picture's natural size.
skinui::Size EmptyListImageSize(std::string_view image);

// The size the picture is shown at inside a list of the given inner size: its natural size,
// scaled down (keeping its proportions) when the list is smaller than the picture and a margin
// of 24 pixels on each side.
skinui::Size FitEmptyListImage(skinui::Size picture, skinui::Size list);

}  // namespace ui
