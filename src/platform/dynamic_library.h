#pragma once

#include <string>

namespace platform {

// Suffix of program files on this platform ("" here, ".exe" on Windows).
inline constexpr const char* kExeSuffix = "";

// "ZelkLib" -> "libZelkLib.so" here ("ZelkLib.dll" on Windows).
std::string SharedLibraryFileName(const std::string& baseName);
// "Zelk" -> "Zelk" here ("Zelk.exe" on Windows).
std::string ExecutableFileName(const std::string& baseName);

// An open shared library; closed when destroyed.
class DynamicLibrary {
 public:
  // How long the library's code stays mapped: until this object is destroyed, or until the
  // process ends (for code that starts threads or registers types that outlive an unloading).
  enum class Lifetime { Object, Process };

  DynamicLibrary() = default;
  // Loads by file name through the normal search (RUNPATH first) or by path; empty on failure.
  static DynamicLibrary open(const std::string& nameOrPath, Lifetime lifetime = Lifetime::Object);
  ~DynamicLibrary();
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  void* symbol(const char* name) const;  // null when absent or not loaded
  const std::string& error() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace platform
