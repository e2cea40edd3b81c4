// Loading shared libraries at run time.
#pragma once

#include <string>

namespace corvane::platform {

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Loads the library at path; on failure Error() says why.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }
  // Address of an exported symbol, or nullptr (Error() says why).
  void* Symbol(const char* name);
  const std::string& Error() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

// File name of a shared library on this platform: "name.dll" on Windows,
// "libname.so" elsewhere.
std::string SharedLibraryFileName(const std::string& name);

}  // namespace corvane::platform
