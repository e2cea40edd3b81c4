// FTP download: fetch one file from a server on port 21 and delete it there.
#pragma once

#include <string>

namespace corvane::platform {

// Logs in to host on port 21 with user and password, fetches remote_path
// (sent to the server as given) into local_path, and after a successful
// fetch deletes remote_path on the server (the outcome of the deletion is
// not reported).  Active mode, ASCII transfer type, no time limit.  With
// overwrite an existing local file is replaced; without it an existing
// local file makes the fetch fail.  True when the file was fetched;
// otherwise *failure (when given) says why: the FTP server's last answer
// (for example "530 Login incorrect." or "550 No such file."), or the
// client's own error when the server gave none.  It never holds the
// password.
bool FtpFetchAndDelete(const std::string& host, const std::string& user,
                       const std::string& password, const std::string& remote_path,
                       const std::string& local_path, bool overwrite,
                       std::string* failure = nullptr);

}  // namespace corvane::platform
