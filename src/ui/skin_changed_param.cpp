#include "ui/skin_changed_param.h"

namespace ui {

ObserverImpl<SkinChangedParam>& SkinChangedObserver() {
  static ObserverImpl<SkinChangedParam> observer;
  return observer;
}

}  // namespace ui
