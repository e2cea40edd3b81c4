// Feeds arbitrary bytes to the block loader, the value decoder and the
// answering interpreter.  The first byte picks the signature's action; the
// rest is a block as received.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "transport/data_block.h"
#include "transport/errors.h"
#include "transport/interpreter.h"
#include "transport/value_codec.h"

using namespace corvane::transport;

namespace {

class NullSender : public ISendDataBlock {
 public:
  DataBlockPtr SendBlock(const DataBlockPtr& block, bool) override {
    block->RawMemory();
    return nullptr;
  }
};

class Echo : public IDispatchObject {
 public:
  int32_t GetIdsOfNames(const std::vector<std::u16string>&, std::vector<int32_t>* ids) override {
    ids->assign(1, 1);
    return 0;
  }
  int32_t Invoke(int32_t, uint16_t, std::vector<Variant>& args, const std::vector<int32_t>&,
                 Variant* result, ExcepInfo*) override {
    for (auto& a : args)
      if (a.IsByRef() && a.ref) *a.ref = Variant::Str(u"x");
    if (result) *result = Variant::I4(1);
    return 0;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // 1. The block loader, with and without the size check.
  for (bool check : {true, false}) {
    TDataBlock b;
    try {
      b.LoadFromBuffer(data, size, check);
    } catch (const ETransportError&) {
      continue;
    }
    // 2. Value decoding of the whole body.
    try {
      while (b.Remaining() > 0) {
        ReadFlags f;
        Variant v = ReadVariant(b, &f, [](int32_t) { return std::make_shared<Echo>(); });
        try {
          VariantToWide(v);
        } catch (const ETransportError&) {
        }
        TDataBlock out;
        try {
          WriteVariant(out, v, [](const std::shared_ptr<IDispatchObject>&) { return 0; });
        } catch (const ETransportError&) {
        }
      }
    } catch (const ETransportError&) {
    }
  }
  // 3. ProcessBlock on the received block, with one exported object.
  auto block = NewDataBlock();
  try {
    block->LoadFromBuffer(data, size, false);
  } catch (const ETransportError&) {
    return 0;
  }
  NullSender sender;
  TDataBlockInterpreter interp(&sender, "Sockets");
  interp.SetClassFactory([](const std::u16string& n) -> Variant {
    if (n == u"A") return Variant::Dispatch(std::make_shared<Echo>());
    if (n == u"I") return Variant::I4(3);
    return Variant();
  });
  interp.ExportObject(std::make_shared<Echo>());
  try {
    interp.ProcessBlock(block);
  } catch (const ETransportError&) {
  }
  return 0;
}
