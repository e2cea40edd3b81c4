// The transport interface: whole blocks in and out of one connection.
#pragma once

#include <memory>

#include "transport/data_block.h"

namespace corvane::transport {

class ITransport {
 public:
  virtual ~ITransport() = default;
  virtual bool IsOpen() const = 0;
  // Opens (connects) or closes.  Throws the transport's errors.
  virtual void SetOpen(bool open) = 0;
  // The next received block, or none.  Without wait_for_input this only
  // polls.  Throws on a broken connection or a malformed header.
  virtual DataBlockPtr FetchBlock(bool wait_for_input, int context) = 0;
  // Writes the whole block; returns the context for FetchBlock (0).
  virtual int PutBlock(const DataBlockPtr& block) = 0;
};

using TransportPtr = std::shared_ptr<ITransport>;

}  // namespace corvane::transport
