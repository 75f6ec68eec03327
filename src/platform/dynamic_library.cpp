#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <utility>

namespace platform {

std::string SharedLibraryFileName(const std::string& baseName) {
  return "lib" + baseName + ".so";
}

std::string ExecutableFileName(const std::string& baseName) {
  return baseName + kExeSuffix;
}

DynamicLibrary DynamicLibrary::open(const std::string& nameOrPath, Lifetime lifetime) {
  DynamicLibrary library;
  const int keep = lifetime == Lifetime::Process ? RTLD_NODELETE : 0;
  library.handle_ = dlopen(nameOrPath.c_str(), RTLD_NOW | RTLD_LOCAL | keep);
  if (library.handle_ == nullptr) {
    const char* error = dlerror();
    library.error_ = error != nullptr ? error : "dlopen failed";
  }
  return library;
}

DynamicLibrary::~DynamicLibrary() {
  if (handle_ != nullptr) dlclose(handle_);
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr) dlclose(handle_);
    handle_ = std::exchange(other.handle_, nullptr);
    error_ = std::move(other.error_);
  }
  return *this;
}

void* DynamicLibrary::symbol(const char* name) const {
  return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

}  // namespace platform
