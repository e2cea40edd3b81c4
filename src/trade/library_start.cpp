#include "trade/library_start.h"

#include "card/ic_card.h"
#include "common/error_reply.h"
#include "config/trade_cfg.h"

namespace corvane {
namespace {

void CloseCardForErrorReply() { Kvo_CloseIC(); }

}  // namespace

void Kvo_StartLibrary() {
  SetCardSessionCloser(&CloseCardForErrorReply);
  AllocateIccTextBuffer();
}

void Kvo_EndLibrary() { FreeIccTextBuffer(); }

}  // namespace corvane
