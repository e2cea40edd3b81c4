#include <windows.h>
#include <wininet.h>

#include "platform/ftp.h"

namespace corvane::platform {
namespace {

// Why the last WinInet call failed: the FTP server's answer when WinInet
// has one, with the error code.
std::string LastFailure() {
  const DWORD code = GetLastError();
  std::string text = "WinInet error " + std::to_string(code);
  DWORD answer_code = 0;
  char answer[1024] = "";
  DWORD size = sizeof answer;
  if (InternetGetLastResponseInfoA(&answer_code, answer, &size) && size > 0) {
    std::string line(answer, size < sizeof answer ? size : sizeof answer - 1);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (!line.empty()) text = "server answered \"" + line + "\" (" + text + ")";
  }
  return text;
}

}  // namespace

bool FtpFetchAndDelete(const std::string& host, const std::string& user,
                       const std::string& password, const std::string& remote_path,
                       const std::string& local_path, bool overwrite, std::string* failure) {
  // Access type 0: the system's configured proxy settings; flags 0:
  // synchronous.  A failed open makes the connect below fail.
  HINTERNET session = InternetOpenA("customers", 0, nullptr, nullptr, 0);
  // Port 21, service 1 (FTP), flags 0 (active mode), context 0.
  HINTERNET connection =
      InternetConnectA(session, host.c_str(), 21, user.c_str(), password.c_str(), 1, 0, 0);
  if (connection == nullptr) {
    if (failure) *failure = LastFailure();
    if (session != nullptr) InternetCloseHandle(session);
    return false;
  }
  // Attributes 128 (normal file), transfer flags 1 (ASCII), context 0.
  BOOL fetched = FtpGetFileA(connection, remote_path.c_str(), local_path.c_str(),
                             overwrite ? FALSE : TRUE, 128, 1, 0);
  if (fetched) {
    FtpDeleteFileA(connection, remote_path.c_str());
  } else if (failure) {
    *failure = LastFailure();
  }
  InternetCloseHandle(connection);
  if (session != nullptr) InternetCloseHandle(session);
  return fetched != FALSE;
}

}  // namespace corvane::platform
