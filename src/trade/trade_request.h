// Checks and parsers of one transaction's request and reply.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "trade/trade_records.h"

namespace corvane {

// Reloads the settings and the transaction's parameter line and checks the
// request content (frame removed) against it: field count, and for flag 1
// the serial against the journalled transaction 23.  0; -1 with -7100,
// -7101, -7102, -7103 (or -7032 for a parameter line that cannot be read),
// or a code of Kvo_CheckPackFields for a transaction number, serial,
// request or LocalIP that does not fit the packet header.  sent_bytes is
// the length of the request as the packet will carry it (the content, "~"
// and the additional field), so that a request too long for the packet is
// refused before the card or the journal is touched.
int Kvo_CheckTradeRequest(int32_t trade_no, const std::string& content, double serial,
                          size_t sent_bytes = 0);

// Fields 1 to 4 of the content into *head; -1 at the first missing field.
int Kvo_GetHisInHead(const std::string& content, THisInHeadParam* head);

// Fields 3 to 6 of the reply and the rest from field 7 ("error return" when
// missing) into *head; -1 when one of fields 3 to 6 is missing.
int Kvo_GetSvrBackHead(const std::string& reply, TSvrBackHeadParam* head);

}  // namespace corvane
