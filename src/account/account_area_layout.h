#pragma once

namespace account {

// Where the box of an account area (login, register, change password) goes so that it sits in
// the middle of the client part below the caption bar and the area's tool bar.
struct AreaOffsets {
  int left = 0;  // width of the area's left spacer
  int top = 0;   // height of the area's top spacer
};

// Integer division truncating toward zero, as the layout has always been computed; a window
// smaller than the box gives negative offsets, which the caller clamps.
AreaOffsets CentreAccountArea(int windowWidth, int windowHeight, int appBarHeight,
                              int toolBarHeight, int areaWidth, int areaHeight);

}  // namespace account
