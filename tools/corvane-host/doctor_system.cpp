// The code page, the front end and the card library.
#include <exception>

#include "card/card_library.h"
#include "config/ini_file.h"
#include "config/trade_cfg.h"
#include "doctor.h"
#include "platform/terminal.h"
#include "transport/errors.h"
#include "transport/socket_connection.h"

namespace corvane::host::doctor {
namespace {

constexpr int kFrontEndPort = 211;

}  // namespace

bool CheckCodePage(const HostText& text) {
  const unsigned cp = platform::SystemCodePage();
  const platform::TerminalEncoding e = platform::TerminalTextEncoding();
  if (!e.known)
    Say(text, "warn", "the terminal's encoding cannot be told (locale codeset \"" + e.name +
                          "\"): corvane-host takes texts as UTF-8");
  if (cp == 0) {
    Say(text, "ok  ", "no system code page here: the library converts its texts as code page "
                      "936 (GBK) itself; terminal encoding " + e.name);
    return true;
  }
  if (cp != 936) {
    Say(text, "FAIL", "the system's ANSI code page is " + std::to_string(cp) +
                          ", not 936: the library's GBK texts will be garbled (set the system "
                          "locale for non-Unicode programs to Chinese (Simplified, PRC))");
    return false;
  }
  Say(text, "ok  ", "the system's ANSI code page is 936 (GBK)");
  return true;
}

bool CheckFrontEnd(const HostText& text, const std::string& dir) {
  const std::string path = IniPath(kTradeCfgFile, dir);
  std::string address, server;
  try {
    address = IniReadString(path, kSectionSystem, "NativeAddress", "");
    server = IniReadString(path, kSectionSystem, "NativeServer", "");
  } catch (const IniReadError& e) {
    Say(text, "FAIL", "front end not checked: " + e.WithCause());
    return false;
  }
  const std::string where = address + ":" + std::to_string(kFrontEndPort) + " server \"" +
                            server + "\"";
  if (address.empty() || server.empty()) {
    Say(text, "FAIL", "front end not checked: NativeAddress and NativeServer must be set");
    return false;
  }
  try {
    transport::TSocketConnection connection;
    connection.SetHost(address);
    connection.SetPort(kFrontEndPort);
    connection.SetServerName(server);
    connection.SetServerGUID("");
    connection.SetConnected(true);
    connection.SetConnected(false);
  } catch (const transport::ETransportError& e) {
    Say(text, "FAIL", "front end " + where + ": " + e.WithCause());
    return false;
  } catch (const std::exception& e) {
    Say(text, "FAIL", "front end " + where + ": " + e.what());
    return false;
  }
  Say(text, "ok  ", "front end " + where + ": connected and created the server object");
  return true;
}

bool CheckCardLibrary(const HostText& text) {
  for (const std::string& candidate : CardLibraryCandidates()) {
    CardLibraryFunctions functions;
    std::string problem;
    if (LoadCardLibrary({candidate}, &functions, &problem)) {
      Say(text, "ok  ", "card library " + candidate + " loaded with its five functions");
      return true;
    }
    Say(text, "    ", "card library tried: " + problem);
  }
  Say(text, "FAIL", "no card library found (transactions from 200 up need none)");
  return false;
}

}  // namespace corvane::host::doctor
