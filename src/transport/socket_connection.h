// The socket connection: the object through which the front-end link
// reaches the application object of a remote server.
//
// Usage (one connection per remote call, on one thread):
//
//   TSocketConnection conn;
//   conn.SetHost("10.1.1.5");            // or SetAddress
//   conn.SetPort(211);
//   conn.SetServerName("FrontServer");
//   conn.SetServerGUID("");
//   conn.SetConnected(true);             // throws on failure, stays closed
//   Variant app = conn.AppServer();
//   std::vector<CallArg> args = {CallArg::IntRef(&trade_no),
//                                CallArg::AnsiTextRef(&packet),
//                                CallArg::AnsiTextRef(&local_ip)};
//   Variant result = DispatchCall(app, "Transmit", args);
//   std::string reply = platform::WideToAnsi(VariantToWide(result));
//   app = Variant();                     // drop copies before closing
//   conn.SetConnected(false);            // one free-object request, then stop
//
// Failures are exceptions: ESocketConnectionError, ESocketError,
// EInterpreterError, EOleSysError/EOleException (from DispatchCall) and
// ETransportError for the general texts.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "transport/interpreter.h"
#include "transport/socket_transport.h"
#include "transport/transport_thread.h"
#include "transport/variant.h"

namespace corvane::transport {

class TSocketConnection : public ISendDataBlock {
 public:
  // How long closing waits for the worker to end.
  static constexpr int kStopWaitMs = 180000;

  explicit TSocketConnection(std::string name = std::string());
  ~TSocketConnection() override;
  TSocketConnection(const TSocketConnection&) = delete;
  TSocketConnection& operator=(const TSocketConnection&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Host() const { return host_; }
  void SetHost(const std::string& host);          // non-empty empties Address
  const std::string& Address() const { return address_; }
  void SetAddress(const std::string& address);    // non-empty empties Host
  int Port() const { return port_; }
  void SetPort(int port) { port_ = port; }
  const std::string& ServerName() const { return server_name_; }
  void SetServerName(const std::string& name);
  // Braced text form, or empty text when all zero.
  std::string ServerGUID() const;
  // Empty text: all zero.  Malformed text throws ETransportError.
  void SetServerGUID(const std::string& text);
  bool SupportCallbacks() const { return support_callbacks_; }
  void SetSupportCallbacks(bool value);  // unused here: the worker always runs
  bool LoginPrompt() const { return false; }  // unused here: no user name is asked for
  // Time limits in milliseconds, <= 0 for none (the default): connecting,
  // and each answer of the server (a block's transfer, and the whole wait
  // for the reply to one request, requests of the server included).  On
  // expiry the operation fails as on a broken connection.
  void SetTimeouts(int connect_ms, int reply_ms) {
    connect_timeout_ms_ = connect_ms > 0 ? connect_ms : -1;
    reply_timeout_ms_ = reply_ms > 0 ? reply_ms : -1;
  }

  // True while AppServer holds the remote application object.
  bool Connected();
  // Opens (connect, create the server object) or closes.  A failed open
  // leaves the connection closed and throws.
  void SetConnected(bool value);
  // A copy of the remote application object (Empty or Null when closed).
  Variant AppServer() const { return app_server_; }

  // Sends a block through the worker; with wait_for_result returns the
  // reply.  Requests of the peer that arrive meanwhile are answered first.
  DataBlockPtr SendBlock(const DataBlockPtr& block, bool wait_for_result) override;
  TDataBlockInterpreter* GetCallInterpreter();

  // Handles notices of the worker that arrived while nobody waited (the
  // worker's end among them).  Public operations call it first.
  void DispatchPending();
  bool HasWorker() const { return worker_ != nullptr; }

 private:
  void ConnectCore();
  void DisconnectCore();
  void OpenTransport();
  void CloseTransport();
  std::shared_ptr<TSocketTransport> MakeTransport();
  void WorkerEnded();
  // Waits for the reply to the block just posted, answering the peer's
  // requests meanwhile; the reply time limit covers the whole wait.
  DataBlockPtr AwaitReply();
  // Waits for the worker's notice that a block without reply was written.
  void AwaitSent();

  std::string name_;
  std::string host_, address_;
  int port_ = 211;
  std::string server_name_;
  std::array<uint8_t, 16> server_guid_{};
  bool support_callbacks_ = true;
  int connect_timeout_ms_ = -1;
  int reply_timeout_ms_ = -1;
  Variant app_server_;
  std::shared_ptr<OwnerQueue> owner_;
  std::shared_ptr<TTransportThread> worker_;
  std::shared_ptr<TSocketTransport> direct_;  // unused here: SupportCallbacks is always true
  std::unique_ptr<TDataBlockInterpreter> interpreter_;
  bool closing_ = false;  // DisconnectCore is releasing the server object
};

}  // namespace corvane::transport
