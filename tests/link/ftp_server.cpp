#include "ftp_server.h"

#include <sys/stat.h>

namespace corvane::testing {

FtpServer::FtpServer(const std::string& address, const std::string& user,
                     const std::string& password)
    : address_(address) {
  process_ = std::make_unique<BackgroundProcess>(
      std::vector<std::string>{"/usr/bin/python3", "-m", "pyftpdlib", "-i", address, "-p", "21",
                               "-w", "-D", "-d", root_.path(), "-u", user, "-P", password},
      work_.path(), work_ / "ftp.log");
  ready_ = WaitForPort(address, 21, 15000);
}

void FtpServer::Put(const std::string& path, const std::string& bytes) const {
  std::string full = root_.path();
  size_t start = 0;
  for (;;) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) break;
    if (slash > 0) mkdir((root_.path() + "/" + path.substr(0, slash)).c_str(), 0755);
    start = slash + 1;
  }
  WriteFile(root_.path() + "/" + path, bytes);
}

bool FtpServer::Has(const std::string& path) const {
  return PathExists(root_.path() + "/" + path);
}

std::string FtpServer::Log() const { return ReadFile(work_ / "ftp.log"); }

}  // namespace corvane::testing
