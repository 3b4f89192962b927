// Writes its working directory and arguments, one a line, to the file named by
// ARGV_RECORD_FILE.
#include <cstdlib>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
  const char* target = std::getenv("ARGV_RECORD_FILE");
  if (target == nullptr) return 1;
  // Binary: on Windows a text stream would end each line with CR LF.
  std::ofstream out(std::string(target) + ".tmp", std::ios::binary);
  out << std::filesystem::current_path().string() << "\n";
  for (int i = 1; i < argc; ++i) out << argv[i] << "\n";
  out.close();
  // Appears whole or not at all, so the test can wait for it.
  return std::rename((std::string(target) + ".tmp").c_str(), target) == 0 ? 0 : 1;
}
