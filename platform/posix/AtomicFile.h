// Whole-file reads and crash-safe replacement, shared by the INI and registry files.
#pragma once

#include <optional>
#include <string>

namespace platform::posix {

// The file's bytes, or nothing when it cannot be read (missing, a directory, no permission).
std::optional<std::string> ReadWholeFile(const std::string& path);

// True when the path may be written: a missing file in an existing directory, or an existing
// file that is writable and not marked read-only (no write bit at all, which also binds root).
bool MayWriteFile(const std::string& path);

// Writes the bytes to a temporary file beside the target, flushes it and renames it over the
// target, so that a crash leaves either the old or the new file, never half of one. A link is
// followed: the file it points to is replaced. An existing file keeps its permission bits.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace platform::posix
