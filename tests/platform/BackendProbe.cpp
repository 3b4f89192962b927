// Runs one table of INI and registry cases through the platform seam and prints each result on
// a line of its own: "name<TAB>result". Built for both systems, so that the POSIX backend and the
// Windows backend (under Wine) can be compared case by case.
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Cp1252.h"
#include "Platform.h"
#include "ProbeRegistry.h"
#include "TempDir.h"

namespace {

// Bytes as printable text: \r, \n, \\ and \xHH for the rest outside ASCII's printable range.
std::string Shown(const std::string& bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (byte < 0x20 || byte >= 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

// A long value is shown by its length and its ends.
std::string ShownValue(const std::string& value) {
  if (value.size() <= 200) return "\"" + Shown(value) + "\"";
  return std::to_string(value.size()) + " bytes \"" + Shown(value.substr(0, 8)) + "..." +
         Shown(value.substr(value.size() - 8)) + "\"";
}

std::string Utf16(const std::string& cp1252) {
  return "\xFF\xFE" + platform::Cp1252ToUtf16Le(cp1252);
}

struct ReadCase {
  const char* name;
  std::optional<std::string> file;  // nothing: no file
  std::string section, key, defaultValue;
  std::size_t size = 4096;
};

struct WriteCase {
  const char* name;
  std::optional<std::string> file;
  std::string section, key, value;
};

const std::string kLong(5000, 'L');

const ReadCase kReads[] = {
    {"ini read: names ignore ASCII case", "[Sec]\r\nKey=Value\r\n", "sec", "KEY", "d"},
    {"ini read: blanks around names and value", "[ Sec ]\n  Key  =  two words  \n", " Sec ", "Key",
     "d"},
    {"ini read: double quotes removed, blanks inside kept", "[S]\r\nk=\"  padded  \"\r\n", "S", "k",
     "d"},
    {"ini read: only the outer quote pair goes", "[S]\r\nk=\"\"x\"\"\r\n", "S", "k", "d"},
    {"ini read: single quotes removed", "[S]\r\nk='v w'\r\n", "S", "k", "d"},
    {"ini read: mismatched quotes stay", "[S]\r\nk=\"abc'\r\n", "S", "k", "d"},
    {"ini read: CR-only lines, semicolon inside the value", "[S]\rk=a ; b\r", "S", "k", "d"},
    {"ini read: LF-only and CR LF mixed", "[S]\nx=1\r\nk=v\rm=2\n", "S", "k", "d"},
    {"ini read: a comment is no key", "[S]\r\n;k=v\r\n", "S", "k", "d"},
    {"ini read: lookup of the comment's own text", "[S]\r\n;k=v\r\n", "S", ";k", "d"},
    {"ini read: # is an ordinary character", "[S]\r\n#k=v\r\n", "S", "#k", "d"},
    {"ini read: blank lines inside the section", "[S]\r\n\r\n   \r\n\tk=v\r\n", "S", "k", "d"},
    {"ini read: first of duplicate keys", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "d"},
    {"ini read: key only in a later duplicate section", "[S]\r\na=1\r\n[T]\r\n[S]\r\nb=2\r\n", "S",
     "b", "d"},
    {"ini read: empty first of duplicate sections", "[S]\r\n[S]\r\nk=v", "S", "k", "d"},
    {"ini read: header without ]", "[S   \r\nk=v\r\n", "S", "k", "d"},
    {"ini read: text after ] of the header", "[sec]whoops]\r\nk=v\r\n", "sec", "k", "d"},
    {"ini read: keys before the first section", "k=v\r\n[S]\r\n", "", "k", "d"},
    {"ini read: empty value is no default", "[S]\r\nk=\r\n", "S", "k", "d"},
    {"ini read: missing final line end", "[S]\r\nk=last", "S", "k", "d"},
    {"ini read: a line without =", "[S]\r\nk\r\n", "S", "k", "d"},
    {"ini read: cut to the buffer", "[S]\r\nTestKey=TestValue\r\n", "S", "TestKey", "d", 5},
    {"ini read: quotes removed before the cut", "[S]\r\nk=\"abc\"\r\n", "S", "k", "d", 4},
    {"ini read: long line cut at 4095", "[S]\r\nk=" + kLong + "\r\nm=after\r\n", "S", "k", "d"},
    {"ini read: key after a long line", "[S]\r\nk=" + kLong + "\r\nm=after\r\n", "S", "m", "d"},
    {"ini read: cp1252 section, key and value", "[M\xE5lestasjon]\r\nFirma=\xC6\xF8\xE5\r\n",
     "M\xE5lestasjon", "Firma", "d"},
    {"ini read: cp1252 letters in another case", "[M\xE5lestasjon]\r\nFirma=\xC6\xF8\xE5\r\n",
     "M\xC5LESTASJON", "Firma", "d"},
    {"ini read: UTF-16 file", Utf16("[S]\r\nk=\xE6 x\r\n"), "S", "k", "d"},
    {"ini read: UTF-8 mark before the first header", "\xEF\xBB\xBF[S]\r\nk=v\r\n", "S", "k", "d"},
    {"ini read: tab around the section argument", "[S]\r\nk=v\r\n", "S\t", "k", "d"},
    {"ini read: spaces around the arguments", "[S]\r\nk=v\r\n", "  S ", " k  ", "d"},
    {"ini read: missing file, default loses trailing spaces", std::nullopt, "S", "k", "ab  "},
    {"ini read: default keeps tabs", std::nullopt, "S", "k", "\tab\t"},
    {"ini read: default in quotes", std::nullopt, "S", "k", "\"q\""},
    {"ini read: missing key", "[S]\r\nk=v\r\n", "S", "other", "dflt"},
    {"ini read: missing section", "[S]\r\nk=v\r\n", "T", "k", "dflt"},
};

const WriteCase kWrites[] = {
    {"ini write: new file", std::nullopt, "App", "key", "string"},
    {"ini write: new section at the end", "[App1]\r\nkey1=string1\r\n", "App2", "key4", "string4"},
    {"ini write: after junk without line end", "junk", "s", "k", "v"},
    {"ini write: new key after the last key", "[S]\r\nb=value\r\na=value\r\n", "S", "z", ""},
    {"ini write: replace in a line without line end", "[S]\r\nTestKey=TestValue", "S", "TESTKEY",
     "TestValue2"},
    {"ini write: new key before closing comments", "[S]\r\nb=1\r\n;c\r\na=1\r\n;tail\r\n", "S", "z",
     "9"},
    {"ini write: into the middle of a file", "[A]\nx=1\n\n[B]\ny=2\n", "A", "z", "3"},
    {"ini write: replace in the middle, indented", "[S]\r\n  k = old ; c\r\nm=1\r\n[T]\r\nx=1\r\n",
     "S", "k", "new"},
    {"ini write: first of duplicate keys", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "3"},
    {"ini write: first of duplicate sections", "[S]\r\na=1\r\n[T]\r\nt=1\r\n[S]\r\nb=2\r\n", "S",
     "b", "3"},
    {"ini write: CR-only lines", "[S]\rk=1\rm=2\r", "S", "k", "3"},
    {"ini write: blanks of names and value", std::nullopt, " S ", " k ", "  v "},
    {"ini write: cp1252 value", "[Program]\r\nFirma=abc\r\n", "Program", "Firma",
     "Tarvelmek \xC6\xD8\xC5"},
    {"ini write: long value", "[S]\r\nm=1\r\n", "S", "k", kLong},
    {"ini write: comments and text after ] kept", "; head\r\n[S] note\r\nk=1\r\n", "S", "k", "2"},
};

void ProbeProfiles(const testsupport::TempDir& dir) {
  int serial = 0;
  for (const auto& row : kReads) {
    const std::string file = dir / ("read" + std::to_string(++serial) + ".ini");
    if (row.file) dir.Write("read" + std::to_string(serial) + ".ini", *row.file);
    std::cout << row.name << "\t"
              << ShownValue(platform::GetProfileString(row.section, row.key, row.defaultValue,
                                                       row.size, file))
              << "\n";
  }
  for (const auto& row : kWrites) {
    const std::string name = "write" + std::to_string(++serial) + ".ini";
    const std::string file = dir / name;
    if (row.file) dir.Write(name, *row.file);
    const bool written = platform::WriteProfileString(row.section, row.key, row.value, file);
    std::cout << row.name << "\t" << (written ? "written " : "refused ")
              << ShownValue(testsupport::ReadFile(file)) << "\n";
  }
  const std::string nowhere =
      dir / ("missing" + std::string(1, platform::kPathSeparator) + "x.ini");
  std::cout << "ini write: folder missing\t"
            << (platform::WriteProfileString("S", "k", "v", nowhere) ? "written" : "refused") << " "
            << ShownValue(testsupport::ReadFile(nowhere)) << "\n";
}

using probe::RegistryValue;

const char* const kValuesKey = "Software\\VedoProbe\\Values";

std::string Nul(const std::string& text) { return text + std::string(1, '\0'); }

const std::vector<RegistryValue> kValues = {
    {"Plain", 1, Nul("C:\\Vedo\\Vedo.ini")},
    {"Escapes", 1, Nul("C:\\Dir\\\"x\"")},
    {"Expandable", 2, Nul("%WINDIR%\\Vedo")},
    {"EmbeddedNul", 1, Nul(std::string("before\0after", 12))},
    {"Letters", 1, Nul("M\xE5lestasjon \xC6")},
    {"Empty", 1, Nul("")},
    {"NoNul", 1, "abc"},
    {"INI-Fil", 1, Nul("Vedo.ini")},
    {"Long", 1, Nul(kLong)},
    {"Number", 4, std::string("\x01\x00\x00\x00", 4)},
    {"Binary", 3, "ab"},
    {"NoData", 3, ""},
    {"List", 7, std::string("a\0b\0\0", 5)},
    {"EmptyExpandable", 2, ""},
};

void ProbeRegistry() {
  using platform::RegistryOpen;
  using platform::RegistryRoot;
  probe::MakeCurrentUserKey(kValuesKey, kValues);
  const auto key =
      platform::OpenRegistryKey(RegistryRoot::CurrentUser, kValuesKey, RegistryOpen::ReadOnly);
  if (!key) {
    std::cout << "registry: key opens\tno\n";
    return;
  }
  const char* const names[] = {"Plain",   "Escapes",         "Expandable", "EmbeddedNul",
                               "Letters", "Empty",           "NoNul",      "ini-fil",
                               "Long",    "Number",          "Binary",     "NoData",
                               "List",    "EmptyExpandable", "Missing"};
  for (const char* name : names) {
    std::cout << "registry read: " << name << "\t";
    try {
      std::cout << ShownValue(key->ReadText(name)) << "\n";
    } catch (const platform::RegistryError& error) {
      std::cout << "error " << error.what() << "\n";
    }
  }
  const struct {
    const char* name;
    const char* path;
    RegistryOpen mode;
  } opens[] = {
      {"existing key, read-write", kValuesKey, RegistryOpen::ReadWrite},
      {"existing key, read-only", kValuesKey, RegistryOpen::ReadOnly},
      {"existing key, create", kValuesKey, RegistryOpen::Create},
      {"key names ignore case", "SOFTWARE\\vedoprobe\\VALUES", RegistryOpen::ReadOnly},
      {"missing key, read-write", "Software\\VedoProbe\\Missing", RegistryOpen::ReadWrite},
      {"missing key, read-only", "Software\\VedoProbe\\Missing", RegistryOpen::ReadOnly},
      {"missing key, create", "Software\\VedoProbe\\Missing", RegistryOpen::Create},
      {"created key, read-only", "Software\\VedoProbe\\Missing", RegistryOpen::ReadOnly},
      {"created key is empty", "Software\\VedoProbe\\Missing", RegistryOpen::ReadOnly},
  };
  for (const auto& row : opens) {
    const auto opened = platform::OpenRegistryKey(RegistryRoot::CurrentUser, row.path, row.mode);
    std::cout << "registry open: " << row.name << "\t" << (opened ? "opened" : "not opened");
    if (opened && std::string(row.name) == "created key is empty") {
      std::cout << " Plain=" << ShownValue(opened->ReadText("Plain"));
    }
    std::cout << "\n";
  }
}

}  // namespace

int main() {
  try {
    const testsupport::TempDir dir;
    ProbeProfiles(dir);
    ProbeRegistry();
  } catch (const std::exception& error) {
    std::cout << "probe failed\t" << error.what() << "\n";
    return 1;
  }
  return 0;
}
