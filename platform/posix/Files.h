// File tests on names already in the system's form, for the backend's own use behind the seam.
#pragma once

#include <string>

namespace platform::posix {

// True when the path names an existing file; a directory is no file.
bool IsExistingFile(const std::string& systemPath);

}  // namespace platform::posix
