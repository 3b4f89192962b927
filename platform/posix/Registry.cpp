// The registry as two .reg text files, one for each root:
//   HKEY_LOCAL_MACHINE  /etc/vedo/registry.reg
//   HKEY_CURRENT_USER   ${XDG_CONFIG_HOME:-$HOME/.config}/vedo/registry.reg
// VEDO_REGISTRY_DIR=D puts them at D/HKEY_LOCAL_MACHINE.reg and D/HKEY_CURRENT_USER.reg.
// The file paths come from the environment and stay in the system's form; the keys and values
// inside are cp1252, the files' own encoding (REGEDIT4) or UTF-16 (version 5.00).
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "AtomicFile.h"
#include "Cp1252.h"
#include "Files.h"
#include "Platform.h"
#include "RegText.h"

namespace platform {
namespace {

std::string RootName(RegistryRoot root) {
  return root == RegistryRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string RegistryFile(RegistryRoot root) {
  const std::string testDir = Environment("VEDO_REGISTRY_DIR");
  if (!testDir.empty()) return testDir + "/" + RootName(root) + ".reg";
  if (root == RegistryRoot::LocalMachine) return "/etc/vedo/registry.reg";
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty()) config = Environment("HOME") + "/.config";
  return config + "/vedo/registry.reg";
}

bool MakeDirectories(const std::string& file) {
  for (std::size_t slash = file.find('/', 1); slash != std::string::npos;
       slash = file.find('/', slash + 1)) {
    const std::string directory = file.substr(0, slash);
    if (::mkdir(directory.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

class FileRegistryKey : public RegistryKey {
 public:
  explicit FileRegistryKey(posix::RegValues values) : values_(std::move(values)) {}

  std::string ReadText(const std::string& name) const override {
    const auto found = values_.find(posix::FoldRegName(name));
    if (found == values_.end()) return {};
    switch (found->second.kind) {
      case posix::RegValueKind::Text:
        return found->second.text;
      case posix::RegValueKind::OtherType:
        throw RegistryError("Invalid data type for '" + name + "'");
      case posix::RegValueKind::Unreadable:
        break;
    }
    throw RegistryError("Failed to get data for '" + name + "'");
  }

 private:
  posix::RegValues values_;
};

// Appends the key's header to the file, creating file and folders when missing.
bool CreateKey(const std::string& file, const std::string& keyPath) {
  if (!MakeDirectories(file)) return false;
  const auto existing = posix::ReadWholeFile(file);
  if (posix::IsExistingFile(file) && !existing) return false;
  std::string bytes = existing.value_or(std::string());
  const bool utf16 = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
  const std::string text = posix::RegFileText(bytes);
  std::string addition;
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
    bytes.clear();
    addition = "REGEDIT4\r\n";
  } else if (!posix::HasRegHeader(text)) {
    return false;  // not a registry file: leave it alone
  } else if (text.back() != '\n' && text.back() != '\r') {
    addition = "\r\n";
  }
  addition += "\r\n[" + keyPath + "]\r\n";
  bytes += utf16 ? Cp1252ToUtf16Le(addition) : addition;
  return posix::ReplaceFileAtomically(file, bytes);
}

std::optional<posix::RegValues> ReadKey(const std::string& file, const std::string& keyPath) {
  const auto bytes = posix::ReadWholeFile(file);
  if (!bytes) return std::nullopt;
  return posix::FindRegKey(posix::RegFileText(*bytes), keyPath);
}

}  // namespace

std::unique_ptr<RegistryKey> OpenRegistryKey(RegistryRoot root, const std::string& path,
                                             RegistryOpen mode) {
  const std::string file = RegistryFile(root);
  const std::string keyPath = RootName(root) + "\\" + path;
  auto values = ReadKey(file, keyPath);
  if (!values && mode == RegistryOpen::Create) {
    if (!CreateKey(file, keyPath)) return nullptr;
    values = ReadKey(file, keyPath);
  } else if (mode != RegistryOpen::ReadOnly && !posix::MayWriteFile(file)) {
    return nullptr;
  }
  if (!values) return nullptr;
  return std::make_unique<FileRegistryKey>(std::move(*values));
}

}  // namespace platform
