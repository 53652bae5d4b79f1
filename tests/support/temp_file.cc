#include "temp_file.h"

#include <chrono>
#include <filesystem>
#include <fstream>

namespace quindle_test {

TempPath::TempPath() {
  static int made = 0;
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  const auto name = "quindle-test-" + std::to_string(now) + "-" + std::to_string(++made);
  path = (std::filesystem::temp_directory_path() / name).string();
}

TempPath::~TempPath() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace quindle_test
