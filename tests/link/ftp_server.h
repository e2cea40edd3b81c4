// A real FTP server for tests: Debian's pyftpdlib on a loopback address,
// port 21, one user with write rights on a fresh root directory.
#pragma once

#include <memory>
#include <string>

#include "support/process.h"

namespace corvane::testing {

class FtpServer {
 public:
  FtpServer(const std::string& address, const std::string& user, const std::string& password);
  const std::string& address() const { return address_; }
  const std::string& root() const { return root_.path(); }
  bool ready() const { return ready_; }
  // Creates a file under the root (parent directories included).
  void Put(const std::string& path, const std::string& bytes) const;
  bool Has(const std::string& path) const;
  // The server's log: commands and replies.
  std::string Log() const;

 private:
  std::string address_;
  TempDir root_;
  TempDir work_;
  std::unique_ptr<BackgroundProcess> process_;
  bool ready_ = false;
};

}  // namespace corvane::testing
