// The answering side of one accepted connection: reads request blocks and
// answers them through an interpreter whose class factory creates the
// local objects the peer asks for.  Used by the front-end simulator and by
// tests that need a server.
#pragma once

#include <functional>
#include <memory>

#include "platform/socket.h"
#include "transport/interpreter.h"
#include "transport/socket_transport.h"

namespace corvane::transport {

class TServerSession : public ISendDataBlock {
 public:
  // Takes ownership of the connected socket.
  TServerSession(platform::SocketHandle connected, TDataBlockInterpreter::ClassFactory factory);
  ~TServerSession() override;

  // Called with every block received and every block sent (for logs).
  std::function<void(const IDataBlock& block, bool outgoing)> on_block;
  // For tests of a client against a peer that goes away: the connection
  // is closed after this many blocks, received and sent counted together
  // (0: at once; a received block that reaches the count is not acted on).
  // Negative: never.
  int close_after_blocks = -1;

  // Serves until the peer closes the connection or sends something that
  // cannot be read.  Never throws.
  void Run();
  // From another thread: ends Run.
  void Abort() { transport_->Abort(); }

  DataBlockPtr SendBlock(const DataBlockPtr& block, bool wait_for_result) override;
  TSocketTransport& Transport() { return *transport_; }

 private:
  // Counts one block; true when the connection was closed for the count.
  bool CountBlock();

  int blocks_ = 0;
  std::shared_ptr<TSocketTransport> transport_;
  std::unique_ptr<TDataBlockInterpreter> interpreter_;
};

}  // namespace corvane::transport
