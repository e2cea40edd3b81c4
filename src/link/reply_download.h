// Files that replies name: fetched by FTP into the directory "down" beside
// the host program and deleted on the server afterwards.
//
// A download field holds four "%%" parts: FTP host, user name, password and
// the remote path ("/" or "\" separators).  The credentials come only from
// the reply.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// The "~" list without field n, the other fields in their order.  -1 when
// the list has fewer than n fields (*result untouched), 0 otherwise.
int Kvo_RemoveField(const std::string& list, int32_t n, std::string* result);

// Fetches remote_path from host (port 21) into local_path and deletes it on
// the server after a successful fetch.  0 when fetched, -1 otherwise; sets
// no last error.
int Kvo_FtpGetFile(const std::string& host, const std::string& user,
                   const std::string& password, const std::string& remote_path,
                   const std::string& local_path, bool overwrite);

// Fetches the file named by field n of reply into the download directory
// and gives the reply without that field in *reduced.  0 on success; -1
// when the field is missing (last error -7035 from get_field), is not a
// four-part download field, or the download failed (no last error).
int Kvo_DownReplyFile(const std::string& reply, int32_t n, std::string* reduced);

// The local name of a remote path: the text after its last "/", "\" or
// ":" (a "\" that is the second byte of a GBK character is part of that
// character; "/" and ":" never are, even after a lead byte).
std::string DownloadFileName(const std::string& remote_path);

// The directory "down" beside the host program.
std::string DownloadDirectory();

}  // namespace corvane
