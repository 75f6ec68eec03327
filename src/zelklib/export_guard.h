#pragma once

#include <string>
#include <string_view>

// Helpers of the exported functions: no exception crosses the C boundary, and text results
// live in storage of the calling thread until that thread calls the same export again.

namespace zelklib {

template <class Result, class Body>
Result Guarded(Result fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

template <class Body>
void GuardedVoid(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

// `slot` is the export's own thread_local string.
template <class Body>
const char16_t* GuardedText(std::u16string& slot, Body&& body,
                            std::u16string_view fallback = {}) noexcept {
  try {
    slot = body();
  } catch (...) {
    try {
      slot.assign(fallback);
    } catch (...) {
      slot.clear();
    }
  }
  return slot.c_str();
}

inline int YesNo(bool value) {
  return value ? 1 : 0;
}

}  // namespace zelklib
