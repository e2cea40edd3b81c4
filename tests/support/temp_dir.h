// Test support (every platform): a fresh temporary directory per test and
// whole-file reads and writes.  Tests never write into the source or build
// tree.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace corvane::testing {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 1000; ++attempt) {
      std::filesystem::path p = std::filesystem::temp_directory_path() /
                                ("corvane-test-" + std::to_string(stamp) + "-" +
                                 std::to_string(counter++));
      std::error_code ec;
      if (std::filesystem::create_directory(p, ec)) {
        path_ = p.string();
        return;
      }
    }
    throw std::runtime_error("cannot create a temporary directory");
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // The directory ending with the separator.
  std::string str() const { return (std::filesystem::path(path_) / "").string(); }
  std::string file(const std::string& name) const {
    return (std::filesystem::path(path_) / name).string();
  }
  std::string operator/(const std::string& name) const { return file(name); }

 private:
  std::string path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace corvane::testing
