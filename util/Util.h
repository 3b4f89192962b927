// The shared utility module of the Vedo program family: where the configuration is, the
// settings readers, notices, small text routines, the visual-string notation, the module's own
// settings and program launch. Texts are std::string of Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <string>

namespace util {

// ---- Module state, set once by ResolvePaths, read-only afterwards ---------------------------

const std::string& IniFile();   // the active INI file
const std::string& ToolsIni();  // "Tools.ini" beside the program, or IniFile
const std::string& ExeDir();    // program directory, ends with the separator unless empty
const std::string& DataDir();   // data directory, ends with the separator unless empty

// ---- Module settings of section "Program", set once by StartModule --------------------------

bool TestModus();
const std::string& SysExt();
int32_t ForInst();
const std::string& Firma();

// Resolves the paths, then loads the module settings (with the company-name correction).
// Throws platform::RegistryError for a registry value of a non-text type.
void StartModule();
// Releases the settings; nothing is written.
void StopModule();

// ---- Configuration location ------------------------------------------------------------------

void ReadRegistrySettings();
void ResolvePaths();

// ---- Settings readers ------------------------------------------------------------------------

std::string ReadIniFile(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultValue);
std::string ReadIni(const std::string& section, const std::string& key,
                    const std::string& defaultValue, bool decode = false);
std::string ReadIniUpper(const std::string& section, const std::string& key,
                         const std::string& defaultValue, bool decode = false);
bool ReadIniBool(const std::string& section, const std::string& key, bool defaultValue);
int32_t ReadIniInt(const std::string& section, const std::string& key, int32_t defaultValue);
void WriteIni(const std::string& section, const std::string& key, const std::string& value);

// ---- Notices ---------------------------------------------------------------------------------

// A modal notice with one OK. The owner is not needed by the POSIX layer: the installed handler
// knows the program's windows.
void NoticeBox(const void* owner, const std::string& caption, const std::string& text);
void Notice(const std::string& caption, const std::string& text);

// ---- Text routines ---------------------------------------------------------------------------

// The first field of the list up to the separator; the list keeps what follows it.
std::string SplitFirst(char separator, std::string& list);
// Position (from 1) of the extension dot in the last path component, 0 when there is none.
int ExtPos(const std::string& name);
std::string IntToText(int32_t value);
std::string UpperText(const std::string& text);
// The integer rule: leading spaces, a sign, decimal digits or hex after "$", "x" or "0x",
// nothing after the digits; hexadecimal as a 32-bit pattern of at most eight digits.
bool TryTextToInt(const std::string& text, int32_t& value);

// ---- Visual-string notation ------------------------------------------------------------------

std::string VisualChar(unsigned char character);
bool ParseVisualToken(const std::string& token, unsigned char& character);
void DecodeVisual(std::string& text);

// ---- Program launch --------------------------------------------------------------------------

// Starts the file with the parameter text (split into arguments by the Windows command-line
// rules, never through a shell), not waited for. Failures are not reported.
void StartProgram(const std::string& file, const std::string& parameters,
                  const std::string& workingDirectory, int showCode);

}  // namespace util
