// The card parameter record as the vendor's library reads it: by the fixed
// offsets of its layout (76 bytes in 32-bit processes, 96 in 64-bit ones),
// not by this build's declaration of the record, so that a record laid out
// or filled differently shows in the journal.
#pragma once

#include <string>

namespace iccsim {

// "0:501 4:501 8:5 12:9600 16:0 20:0 24:'907153' 28:'9133' 32:'127.0.0.1'
// 36:0 40:'ZeroUse!' 44:1 48:<28 bytes in hex> size:76": integers at their
// offsets, the texts that pointer fields point to, the trailing reserved
// bytes, and the size read.
std::string RecordLayout(const void* record);

}  // namespace iccsim
