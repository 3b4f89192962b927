// A folder of its own under the system's temporary folder, removed with everything in it.
#pragma once

#include <string>

#include "Platform.h"

namespace testsupport {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // The full path of a name inside the folder.
  std::string operator/(const std::string& name) const {
    return path_ + platform::kPathSeparator + name;
  }
  // Writes the bytes to the name (folders created), returns the full path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// The whole file, or "<missing>" when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace testsupport
