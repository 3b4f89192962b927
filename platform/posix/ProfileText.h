// The profile-file rules of GetPrivateProfileStringA and WritePrivateProfileStringA, on the
// file's bytes. Kept apart from file access so that every rule can be tested on text alone.
#pragma once

#include <optional>
#include <string>

namespace platform::posix {

// The key's value in the first section of that name (names compared ignoring ASCII case,
// arguments trimmed of spaces), with one pair of enclosing quotes removed and cut at a zero
// byte; nothing when the section or the key is missing.
std::optional<std::string> FindProfileValue(const std::string& content, const std::string& section,
                                            const std::string& key);

// The content with the key set to the value: the first occurrence replaced, or a new key line
// after the section's last key line, or a new section at the end. Lines written end in CR LF;
// every other byte stays as it was.
std::string SetProfileValue(const std::string& content, const std::string& section,
                            const std::string& key, const std::string& value);

}  // namespace platform::posix
