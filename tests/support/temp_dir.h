#pragma once

#include <string>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& relative) const { return path_ + "/" + relative; }
  // Writes a file (creating its folders); returns its path.
  std::string write(const std::string& relative, const std::string& content) const;
  std::string read(const std::string& relative) const;

 private:
  std::string path_;
};

}  // namespace testing_support
