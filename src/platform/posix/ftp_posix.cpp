// FTP through libcurl, with the observable choices of the WinInet build:
// port 21, active mode (PORT), ASCII transfer type, the local file
// replaced, the remote file deleted only after the fetched file is in
// place, no time limit set here.
#include <curl/curl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <mutex>

#include "platform/files.h"
#include "platform/ftp.h"
#include "platform/text.h"

namespace corvane::platform {
namespace {

std::atomic<unsigned> g_part_counter{0};

void GlobalInitOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The host part of the URL: a name or IPv4 address as it is, an IPv6
// address in brackets; anything else is refused rather than reinterpreted.
bool UrlHost(const std::string& host, std::string* out) {
  if (host.empty()) return false;
  bool ipv6 = host.find(':') != std::string::npos;
  for (unsigned char c : host) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '.' || c == '-' || c == '_' || (ipv6 && c == ':');
    if (!ok) return false;
  }
  *out = ipv6 ? "[" + host + "]" : host;
  return true;
}

// The remote path as a URL path.  libcurl decodes it again and, making no
// CWD, sends it to the server byte for byte.
std::string UrlPath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
  return fwrite(data, size, count, static_cast<FILE*>(file));
}

size_t Discard(char*, size_t size, size_t count, void*) { return size * count; }

// Keeps the server's last answer line (headers in are the server's
// replies; the commands sent, PASS among them, are not looked at).
int KeepServerAnswer(CURL*, curl_infotype type, char* data, size_t size, void* last) {
  if (type != CURLINFO_HEADER_IN) return 0;
  std::string line(data, size);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (!line.empty()) *static_cast<std::string*>(last) = line;
  return 0;
}

// Why the fetch failed: the server's last answer and libcurl's error.
std::string FetchFailure(CURLcode rc, const std::string& answer, const char* error) {
  if (rc == CURLE_OK) return "the fetched file could not be stored";
  std::string text = error && *error ? error : curl_easy_strerror(rc);
  if (!answer.empty()) text = "server answered \"" + answer + "\" (" + text + ")";
  return text;
}

class Easy {
 public:
  Easy() : handle_(curl_easy_init()) {}
  ~Easy() {
    if (handle_) curl_easy_cleanup(handle_);
  }
  Easy(const Easy&) = delete;
  Easy& operator=(const Easy&) = delete;
  CURL* get() const { return handle_; }

 private:
  CURL* handle_;
};

class SList {
 public:
  ~SList() { curl_slist_free_all(list_); }
  void Append(const std::string& s) { list_ = curl_slist_append(list_, s.c_str()); }
  curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
};

// Why these arguments cannot be fetched, or nullptr when they can.
const char* RefusedArguments(const std::string& user, const std::string& password,
                             const std::string& remote_path, const std::string& local_path,
                             bool overwrite) {
  // Commands travel as lines: a line break in any of these would smuggle a
  // command of its own.  A path that names a directory is not a file.
  if (HasControlCharacter(user) || HasControlCharacter(password) ||
      HasControlCharacter(remote_path) || remote_path.empty() || remote_path.back() == '/') {
    return "control character in a credential or path, or a path that names no file";
  }
  if (!overwrite && FileExists(local_path)) return "local file exists";
  return nullptr;
}

// Port 21, active mode (PORT), ASCII type, no CWD, no proxy, the server's
// answers kept in *answer.
void SetFetchOptions(CURL* c, const std::string& url, const std::string& user,
                     const std::string& password, FILE* file, std::string* answer,
                     char* error) {
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(c, CURLOPT_PROXY, "");  // no proxy taken from the environment
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_USERNAME, user.c_str());
  curl_easy_setopt(c, CURLOPT_PASSWORD, password.c_str());
  curl_easy_setopt(c, CURLOPT_FTPPORT, "-");  // active mode
  curl_easy_setopt(c, CURLOPT_FTP_USE_EPRT, 0L);
  curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, 1L);  // TYPE A
  curl_easy_setopt(c, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &WriteToFile);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, file);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, &KeepServerAnswer);
  curl_easy_setopt(c, CURLOPT_DEBUGDATA, answer);
  curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
}

// Deletes the remote file on the same connection; the outcome is not
// reported.
void DeleteRemote(CURL* c, const std::string& base, const std::string& remote_path) {
  SList quote;
  quote.Append("DELE " + remote_path);
  curl_easy_setopt(c, CURLOPT_VERBOSE, 0L);
  curl_easy_setopt(c, CURLOPT_URL, base.c_str());
  curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Discard);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(c, CURLOPT_QUOTE, quote.get());
  curl_easy_perform(c);
}

}  // namespace

bool FtpFetchAndDelete(const std::string& host, const std::string& user,
                       const std::string& password, const std::string& remote_path,
                       const std::string& local_path, bool overwrite, std::string* failure) {
  std::string ignored;
  if (!failure) failure = &ignored;
  std::string url_host;
  if (!UrlHost(host, &url_host)) {
    *failure = "not a host name or address";
    return false;
  }
  if (const char* refused = RefusedArguments(user, password, remote_path, local_path, overwrite)) {
    *failure = refused;
    return false;
  }
  GlobalInitOnce();
  Easy easy;
  CURL* c = easy.get();
  if (!c) {
    *failure = "cannot start the FTP client";
    return false;
  }
  // The fetched bytes go to a file beside the target, which replaces the
  // target only once the whole file has arrived.
  std::string part = local_path + ".~" + std::to_string(getpid()) + "." +
                     std::to_string(g_part_counter.fetch_add(1)) + ".part";
  FILE* file = fopen(part.c_str(), "wb");
  if (!file) {
    *failure = "cannot create " + part;
    return false;
  }
  const std::string base = "ftp://" + url_host + ":21/";
  std::string answer;
  char error[CURL_ERROR_SIZE] = "";
  SetFetchOptions(c, base + UrlPath(remote_path), user, password, file, &answer, error);
  CURLcode rc = curl_easy_perform(c);
  bool written = fflush(file) == 0 && fsync(fileno(file)) == 0;
  written = (fclose(file) == 0) && written;
  if (rc != CURLE_OK || !written || rename(part.c_str(), local_path.c_str()) != 0) {
    unlink(part.c_str());
    *failure = FetchFailure(rc, answer, error);
    return false;
  }
  DeleteRemote(c, base, remote_path);
  return true;
}

}  // namespace corvane::platform
