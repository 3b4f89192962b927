// The operator dialogs of the main window behind one small interface: the real ones are Qt
// dialogs (QtPrompts); tests give a fake that records what was shown and answers from a script.
#pragma once

#include <optional>
#include <string>

namespace client {

struct FileRequest {
  std::string directory;  // initial directory
  std::string fileName;   // initial file name
  int filterIndex = 0;    // 0 "NC-filer (*.nc)", 1 "Alle filer (*.*)"
};

struct FilePick {
  std::string path;  // full path of the picked file
  int filterIndex = 0;
};

struct Choice {
  bool ok = false;
  std::string selected;
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  // The plain message dialog: the application's title, no icon, one OK that Enter and Esc press.
  virtual void Message(const std::string& text) = 0;
  // A warning box owned by the main window: exclamation icon, OK.
  virtual void Warning(const std::string& caption, const std::string& text) = 0;
  // The error box of a failed handler: stop icon, OK, the application's title.
  virtual void Error(const std::string& text) = 0;
  // The module's notice: caption, text, one OK, no icon, in front of every window.
  virtual void Notice(const std::string& caption, const std::string& text) = 0;
  // The open-file dialog; nothing when the operator cancels, or picks a file whose name cp1252
  // cannot hold (the operator is told so).
  virtual std::optional<FilePick> PickFile(const FileRequest& request) = 0;
  // The selection dialog over a ";"-separated list.
  virtual Choice Choose(const std::string& caption, const std::string& items) = 0;
};

}  // namespace client
