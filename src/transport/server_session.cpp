#include "transport/server_session.h"

namespace corvane::transport {

TServerSession::TServerSession(platform::SocketHandle connected,
                               TDataBlockInterpreter::ClassFactory factory)
    : transport_(std::make_shared<TSocketTransport>(connected)),
      interpreter_(std::make_unique<TDataBlockInterpreter>(this, "Sockets")) {
  interpreter_->SetClassFactory(std::move(factory));
}

TServerSession::~TServerSession() {
  interpreter_.reset();
  transport_.reset();
}

bool TServerSession::CountBlock() {
  if (close_after_blocks < 0 || ++blocks_ < close_after_blocks) return false;
  transport_->SetOpen(false);
  return true;
}

DataBlockPtr TServerSession::SendBlock(const DataBlockPtr& block, bool wait_for_result) {
  if (!transport_->IsOpen()) return nullptr;
  int context = transport_->PutBlock(block);
  if (on_block) on_block(*block, true);
  if (CountBlock() || !wait_for_result) return nullptr;
  return transport_->FetchBlock(true, context);
}

void TServerSession::Run() {
  try {
    if (close_after_blocks == 0) transport_->SetOpen(false);
    while (transport_->IsOpen()) {
      DataBlockPtr block = transport_->FetchBlock(true, 0);
      if (!block) continue;
      if (on_block) on_block(*block, false);
      if (CountBlock()) break;
      // A reply nobody waits for is dropped; a request is answered.
      if (IsReply(block->GetSignatureWord()) && ActionOf(block->GetSignatureWord()) != kActionError)
        continue;
      try {
        interpreter_->ProcessBlock(block);
      } catch (...) {
        // An error reply of the peer that nobody waits for.
      }
    }
  } catch (...) {
  }
  try {
    transport_->SetOpen(false);
  } catch (...) {
  }
}

}  // namespace corvane::transport
