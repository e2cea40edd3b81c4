#include "link/reply_download.h"

#include "common/diagnostics.h"
#include "common/fields.h"
#include "common/gbk_bytes.h"
#include "platform/files.h"
#include "platform/ftp.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace corvane {
std::string DownloadFileName(const std::string& remote_path) {
  size_t name_start = 0;
  size_t i = 0;
  while (i < remote_path.size()) {
    unsigned char c = static_cast<unsigned char>(remote_path[i]);
    if (IsGbkPairAt(remote_path, i)) {
      i += 2;
      continue;
    }
    if (c == '/' || c == '\\' || c == ':') name_start = i + 1;
    ++i;
  }
  return remote_path.substr(name_start);
}

std::string DownloadDirectory() {
  return platform::JoinPath(platform::HostDirectory(), "down");
}

int Kvo_FtpGetFile(const std::string& host, const std::string& user,
                   const std::string& password, const std::string& remote_path,
                   const std::string& local_path, bool overwrite) {
  // FTP commands are lines: a line break inside a name or a credential
  // would add a command of its own.
  const std::string what = "FTP " + host + " user " + user + " password " +
                           MaskSecret(password) + " file " + remote_path + ": ";
  using platform::HasControlCharacter;
  if (HasControlCharacter(host) || HasControlCharacter(user) ||
      HasControlCharacter(password) || HasControlCharacter(remote_path)) {
    Kvo_NoteCause(what + "control character in the download field");
    return -1;
  }
  std::string failure;
  if (platform::FtpFetchAndDelete(host, user, password, remote_path, local_path, overwrite,
                                  &failure)) {
    return 0;
  }
  Kvo_NoteCause(what + failure);
  return -1;
}

int Kvo_DownReplyFile(const std::string& reply, int32_t n, std::string* reduced) {
  std::string field;
  if (get_field(reply, n, &field) != 0) {
    Kvo_NoteCause("download: the reply has no field " + std::to_string(n));
    return -1;
  }
  if (Kvo_CountFields(field, kSubFieldSep) != 4) {
    Kvo_NoteCause("download: field " + std::to_string(n) + " of the reply is not host%%user%%" +
                  "password%%path");
    return -1;
  }
  std::string host, user, password, remote_path;
  if (get_sub_field(field, 1, &host) != 0 || get_sub_field(field, 2, &user) != 0 ||
      get_sub_field(field, 3, &password) != 0 || get_sub_field(field, 4, &remote_path) != 0) {
    return -1;
  }
  std::string directory = DownloadDirectory();
  if (!platform::DirectoryExists(directory)) platform::MakeDirectory(directory);
  // A name that is empty or that names a directory would not give a file
  // inside the download directory.
  std::string name = DownloadFileName(remote_path);
  if (name.empty() || name == "." || name == "..") {
    Kvo_NoteCause("download: remote path " + remote_path + " names no file");
    return -1;
  }
  if (Kvo_FtpGetFile(host, user, password, remote_path, platform::JoinPath(directory, name),
                     true) != 0) {
    return -1;
  }
  return Kvo_RemoveField(reply, n, reduced);
}

}  // namespace corvane
