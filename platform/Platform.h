// The operating-system seam. Everything above this header is the same code on every system;
// the POSIX backend lives in posix/, a Windows backend would map these onto the real calls
// (GetModuleFileName, the registry API, the profile functions, MessageBoxA, ShellExecuteA).
//
// All texts are std::string of Windows-1252 bytes. A text that names a file or a program, or is
// an argument of one, is converted to the system's own form here and nowhere else (UTF-8 on
// POSIX; the A functions of Windows take cp1252 as it is).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace platform {

// The separator of path components: "/" here, "\" on Windows.
extern const char kPathSeparator;
// Whether the file system ignores the letter case of names (Windows) or not (POSIX).
extern const bool kFileNamesIgnoreCase;
// The INI file used when the registry names none.
extern const char* const kDefaultIniFile;
// What a program file's name ends with: "" here, ".exe" on Windows.
extern const char* const kProgramSuffix;

// True when a name is a full path already: it holds ":" (a drive) or two backslashes (a
// share), and on POSIX also when it begins with "/".
bool IsFullPath(const std::string& name);

// ---- File-system names and arguments --------------------------------------------------------

// A cp1252 name or argument in the system's form.
std::string ToSystemName(const std::string& name);
// A name or argument of the system's in cp1252; nothing when it has characters cp1252 lacks.
std::optional<std::string> FromSystemName(const std::string& systemName);

// A name of the system's that cp1252 cannot hold, where the program cannot go on without it.
// what() has the name with '?' for what cp1252 lacks; a window shows Message() followed by the
// name as the system gave it.
class UnnamableName : public std::runtime_error {
 public:
  UnnamableName(const std::string& message, const std::string& systemName);
  const std::string& Message() const { return message_; }
  const std::string& SystemName() const { return systemName_; }

 private:
  std::string message_;
  std::string systemName_;
};

// Full path of the running program's file, and its directory with the separator at the end.
// Throw UnnamableName when the path has characters that cp1252 lacks.
std::string ProgramPath();
std::string ProgramDirectory();

// True when the path names an existing file; a directory is no file.
bool FileExists(const std::string& path);
// The size in bytes of the file the path names; nothing for a directory or a file that cannot
// be reached.
std::optional<std::uintmax_t> FileSize(const std::string& path);

// ---- Registry -------------------------------------------------------------------------------

enum class RegistryRoot { LocalMachine, CurrentUser };

enum class RegistryOpen {
  ReadWrite,  // the key must exist and be writable
  ReadOnly,   // the key must exist and be readable
  Create,     // read-write, the key created when missing
};

// A value of a type other than a plain or expandable string, or data that cannot be fetched.
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // The value's text up to its first NUL; a missing value, or one without data, reads as empty.
  // Throws RegistryError: "Invalid data type for '<name>'" or "Failed to get data for '<name>'".
  virtual std::string ReadText(const std::string& name) const = 0;
};

// Opens a key ("Software\Vedo", with "\" between the parts on every system); null on failure.
std::unique_ptr<RegistryKey> OpenRegistryKey(RegistryRoot root, const std::string& path,
                                             RegistryOpen mode);

// ---- Profile (INI) files --------------------------------------------------------------------

// GetPrivateProfileStringA: the key's value, or the default when file, section or key is
// missing; at most bufferSize - 1 characters.
std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t bufferSize,
                             const std::string& file);

// WritePrivateProfileStringA: stores the value under the key; false when the file cannot be
// written. Every other byte of the file is kept.
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file);

// ---- Notices --------------------------------------------------------------------------------

// How a program shows the module's notices. `box` is the MessageBoxA of the notice (caption,
// text, one OK, foreground, modal to the program); `plain` the plain message dialog that serves
// when the box cannot be shown. Either may throw.
struct NoticeHandlers {
  std::function<void(const std::string& caption, const std::string& text)> box;
  std::function<void(const std::string& text)> plain;
};

// Installs the program's handlers; without them notices are written to standard error.
void SetNoticeHandlers(NoticeHandlers handlers);
void ShowNoticeBox(const std::string& caption, const std::string& text);
void ShowPlainMessage(const std::string& text);

// ---- Sockets ---------------------------------------------------------------------------------

// Starts the socket layer once at program start (WSAStartup on Windows); throws on failure.
void StartSocketLayer();
void StopSocketLayer();

// ---- Termination requests ------------------------------------------------------------------

// Calls `onRequest` when the system asks the program to end (SIGTERM or SIGINT on POSIX, a
// console close on Windows). It runs on a thread of its own, never inside a signal handler, and
// at most once. An empty function stops the watch.
void WatchTermination(std::function<void()> onRequest);

// ---- Appending files ------------------------------------------------------------------------

// Appends the bytes to the file in one write, creating it (and its folders) when missing, so
// that lines of two programs appending at once never tear. False when it cannot be written.
bool AppendToFile(const std::string& path, const std::string& bytes);

// The folder for a user's program state: ${XDG_STATE_HOME:-$HOME/.local/state} on POSIX,
// %LOCALAPPDATA% on Windows; empty when the environment names none.
std::string UserStateDirectory();

// ---- Program launch -------------------------------------------------------------------------

// ShellExecuteA "open": starts the file with the parameter text, in the working directory when
// it is not empty; does not wait. False when the program could not be started.
bool ShellOpen(const std::string& file, const std::string& parameters,
               const std::string& workingDirectory, int showCode);

}  // namespace platform
