#include "transport/interpreter.h"

#include <cstdio>

#include "platform/text.h"
#include "transport/byte_order.h"
#include "transport/errors.h"
#include "transport/value_codec.h"

namespace corvane::transport {
namespace {

// Stores a value that came back for a by-reference argument into what the
// argument refers to.
void StoreThrough(const Variant& arg, const Variant& value) {
  if (!arg.ref) return;
  if (arg.Base() == vtVariant) {
    *arg.ref = value;
    return;
  }
  Variant& target = *arg.ref;
  uint16_t want = arg.Base();
  if (arg.IsArray()) {
    if (!value.IsArray()) throw ETransportError(kInvalidDataPacket);
    target = value;
    return;
  }
  if (value.IsArray()) throw ETransportError(kInvalidDataPacket);
  if (want == vtBstr) {
    target = Variant::Str(VariantToWide(value));
    return;
  }
  if (want == vtDispatch) {
    if (value.Base() != vtDispatch && !value.IsEmpty() && !value.IsNull())
      throw ETransportError(kInvalidDataPacket);
    target = Variant::Dispatch(value.dispatch);
    return;
  }
  if (value.Base() == want) {
    target = Variant::Scalar(want, &value.raw, 8);
    return;
  }
  throw ETransportError(kInvalidDataPacket);
}

}  // namespace

TDataBlockInterpreter::TDataBlockInterpreter(ISendDataBlock* sender, std::string check_name)
    : sender_(sender), check_name_(std::move(check_name)) {}

TDataBlockInterpreter::~TDataBlockInterpreter() {
  for (TDataDispatch* p : proxies_) p->Unbind();
  proxies_.clear();
}

void TDataBlockInterpreter::AttachProxy(TDataDispatch* proxy) { proxies_.insert(proxy); }

void TDataBlockInterpreter::DetachProxy(TDataDispatch* proxy) {
  proxies_.erase(proxy);
}

DataBlockPtr TDataBlockInterpreter::Send(const DataBlockPtr& block, bool wait) {
  DataBlockPtr reply = sender_ ? sender_->SendBlock(block, wait) : nullptr;
  if (wait && !reply) throw ETransportError(kReturnValueNotReceived);
  return reply;
}

Variant TDataBlockInterpreter::Read(IDataBlock& block, ReadFlags* flags) {
  return ReadVariant(block, flags, [this](int32_t id) {
    return std::make_shared<TDataDispatch>(this, id);
  });
}

void TDataBlockInterpreter::Write(IDataBlock& block, const Variant& v) {
  WriteVariant(block, v, [this](const std::shared_ptr<IDispatchObject>& o) { return ExportObject(o); });
}

void TDataBlockInterpreter::RequestFreeObject(int32_t object_id) {
  auto block = NewDataBlock();
  WriteI4(*block, object_id);
  block->SetSignatureWord(RequestSignature | kActionFreeObject);
  Send(block, false);
}

int32_t TDataBlockInterpreter::RequestNameIds(int32_t object_id,
                                              const std::vector<std::u16string>& names,
                                              std::vector<int32_t>* ids) {
  if (names.size() != 1) return kE_NOTIMPL;
  auto block = NewDataBlock();
  WriteI4(*block, object_id);
  WriteText(*block, names[0]);
  block->SetSignatureWord(RequestSignature | kActionGetIds);
  DataBlockPtr reply = Send(block, true);
  int32_t code = ReadI4(*reply);
  if (code == kS_OK) {
    int32_t id = ReadI4(*reply);
    if (ids) {
      ids->resize(1);
      (*ids)[0] = id;
    }
  }
  return code;
}

int32_t TDataBlockInterpreter::RequestInvoke(int32_t object_id, int32_t dispid, uint16_t flags,
                                             std::vector<Variant>& args,
                                             const std::vector<int32_t>& named_ids,
                                             Variant* result, ExcepInfo* excep) {
  auto block = NewDataBlock();
  WriteI4(*block, object_id);
  WriteI4(*block, dispid);
  WriteI4(*block, flags);
  WriteBool(*block, result != nullptr);
  WriteI4(*block, static_cast<int32_t>(args.size()));
  WriteI4(*block, static_cast<int32_t>(named_ids.size()));
  for (int32_t id : named_ids) WriteI4(*block, id);
  for (const Variant& a : args) Write(*block, a);
  block->SetSignatureWord(RequestSignature | kActionInvoke);
  DataBlockPtr reply = Send(block, true);
  int32_t code = ReadI4(*reply);
  if (code == kDISP_E_EXCEPTION) {
    ExcepInfo local;
    ExcepInfo* e = excep ? excep : &local;
    e->code = ReadI4(*reply);
    ReadFlags f;
    e->description = VariantToWide(Read(*reply, &f));
  }
  for (const Variant& a : args) {
    if (!a.IsByRef()) continue;
    ReadFlags f;
    Variant value = Read(*reply, &f);
    StoreThrough(a, value);
  }
  if (result) {
    ReadFlags f;
    *result = Read(*reply, &f);
  }
  return code;
}

Variant TDataBlockInterpreter::RequestServerList() {
  auto block = NewDataBlock();
  block->SetSignatureWord(RequestSignature | kActionServerList);
  DataBlockPtr reply = Send(block, true);
  ReadFlags f;
  return Read(*reply, &f);
}

Variant TDataBlockInterpreter::RequestCreateObject(const std::u16string& name) {
  auto block = NewDataBlock();
  WriteText(*block, name);
  block->SetSignatureWord(RequestSignature | kActionCreateObject);
  DataBlockPtr reply = Send(block, true);
  ReadFlags f;
  return Read(*reply, &f);
}

Variant TDataBlockInterpreter::InstantiateByName(const std::u16string& name) {
  Variant v = factory_ ? factory_(name) : Variant();
  if (v.IsEmpty()) throw ETransportError("Object not available: " + platform::WideToAnsi(name));
  return v;
}

int32_t TDataBlockInterpreter::ExportObject(const std::shared_ptr<IDispatchObject>& object) {
  if (exports_.empty()) {
    exports_.resize(11);
    used_.assign(11, false);
  }
  size_t slot = 0;
  while (slot < used_.size() && used_[slot]) ++slot;
  if (slot == used_.size()) {
    exports_.resize(slot + 11);
    used_.resize(slot + 11, false);
  }
  exports_[slot] = object;
  used_[slot] = true;
  return static_cast<int32_t>(slot);
}

std::shared_ptr<IDispatchObject> TDataBlockInterpreter::AcquireExported(int32_t object_id) {
  if (object_id < 0 || static_cast<size_t>(object_id) >= exports_.size() || !used_[object_id] ||
      !exports_[object_id]) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Invalid object identifier: %d", object_id);
    throw EInterpreterError(buf);
  }
  return exports_[object_id];
}

void TDataBlockInterpreter::DropExported(int32_t object_id) {
  if (object_id < 0 || static_cast<size_t>(object_id) >= exports_.size()) return;
  exports_[object_id].reset();
  used_[object_id] = false;
}

bool TDataBlockInterpreter::HandleExtraAction(uint32_t, const DataBlockPtr&) { return false; }

void TDataBlockInterpreter::ProcessBlock(const DataBlockPtr& block) {
  uint32_t action = ActionOf(block->GetSignatureWord());
  if (action == kActionError) {
    ReadFlags f;
    std::u16string text = VariantToWide(Read(*block, &f));
    throw ETransportError(platform::WideToAnsi(text));
  }
  try {
    switch (action) {
      case kActionInvoke: DoInvoke(block); break;
      case kActionGetIds: DoGetIds(block); break;
      case kActionCreateObject: DoCreateObject(block); break;
      case kActionFreeObject: DoFreeObject(block); break;
      case kActionServerListOld:
      case kActionServerList: DoServerList(block, action); break;
      default:
        if (!HandleExtraAction(action, block)) {
          char buf[64];
          std::snprintf(buf, sizeof buf, "Invalid action received: %u", action);
          throw EInterpreterError(buf);
        }
    }
  } catch (const std::exception& e) {
    try {
      block->Reset();
      WriteText(*block, platform::AnsiToWide(e.what()));
      block->SetSignatureWord(ReplySignature | kActionError);
      Send(block, false);
    } catch (...) {
    }
  }
}

void TDataBlockInterpreter::DoInvoke(const DataBlockPtr& block) {
  int32_t object_id = ReadI4(*block);
  std::shared_ptr<IDispatchObject> object = AcquireExported(object_id);
  int32_t dispid = ReadI4(*block);
  uint16_t flags = static_cast<uint16_t>(ReadI4(*block));
  ReadFlags rf;
  Variant wanted = Read(*block, &rf);
  bool want_result = wanted.Base() == vtBool && (wanted.raw & 0xFFFF) != 0;
  int32_t n = ReadI4(*block);
  int32_t m = ReadI4(*block);
  // Each record holds at least its type word: counts beyond what the block
  // holds are malformed, whatever they claim.
  if (n < 0 || m < 0 || int64_t(n) + int64_t(m) > block->Remaining() / 4)
    throw ETransportError(kInvalidDataPacket);
  std::vector<int32_t> named(static_cast<size_t>(m));
  for (auto& id : named) id = ReadI4(*block);
  std::vector<Variant> stored(static_cast<size_t>(n));
  std::vector<Variant> args(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    ReadFlags f;
    stored[i] = Read(*block, &f);
    if (f.variant_by_ref) {
      args[i] = Variant::ByRef(vtVariant, &stored[i]);
    } else if (f.came_by_ref) {
      args[i] = Variant::ByRef(stored[i].type, &stored[i]);
    } else {
      args[i] = stored[i];
    }
  }
  Variant result;
  ExcepInfo excep;
  block->Reset();
  int32_t code = object->Invoke(dispid, flags, args, named, want_result ? &result : nullptr, &excep);
  WriteI4(*block, code);
  if (code == kDISP_E_EXCEPTION) {
    WriteI4(*block, excep.code);
    WriteText(*block, excep.description);
  }
  for (const Variant& a : args)
    if (a.IsByRef()) Write(*block, a);
  if (want_result) Write(*block, result);
  block->SetSignatureWord(ReplySignature | kActionInvoke);
  Send(block, false);
}

void TDataBlockInterpreter::DoGetIds(const DataBlockPtr& block) {
  int32_t object_id = ReadI4(*block);
  std::shared_ptr<IDispatchObject> object = AcquireExported(object_id);
  ReadFlags f;
  std::u16string name = VariantToWide(Read(*block, &f));
  block->Reset();
  std::vector<int32_t> ids;
  int32_t code = object->GetIdsOfNames({name}, &ids);
  WriteI4(*block, code);
  if (code == kS_OK) WriteI4(*block, ids.empty() ? 0 : ids[0]);
  block->SetSignatureWord(ReplySignature | kActionGetIds);
  Send(block, false);
}

void TDataBlockInterpreter::DoCreateObject(const DataBlockPtr& block) {
  ReadFlags f;
  std::u16string name = VariantToWide(Read(*block, &f));
  Variant created = InstantiateByName(name);
  block->Reset();
  if (created.type == vtI4) {
    uint8_t word[4] = {vtDispatch, 0, 0, 0};
    block->AppendBytes(word, 4);
    int32_t id = created.AsI4();
    uint8_t p[4];
    StoreLE32(p, static_cast<uint32_t>(id));
    block->AppendBytes(p, 4);
  } else {
    Write(*block, created);
  }
  block->SetSignatureWord(ReplySignature | kActionCreateObject);
  Send(block, false);
}

void TDataBlockInterpreter::DoFreeObject(const DataBlockPtr& block) {
  try {
    DropExported(ReadI4(*block));
  } catch (...) {
  }
}

// No server classes are registered here: the list is always empty (Null).
void TDataBlockInterpreter::DoServerList(const DataBlockPtr& block, uint32_t action) {
  block->Reset();
  Write(*block, Variant::Null());
  block->SetSignatureWord(ReplySignature | action);
  Send(block, false);
}

TDataDispatch::TDataDispatch(TDataBlockInterpreter* interpreter, int32_t object_id)
    : interpreter_(interpreter), object_id_(object_id) {
  if (interpreter_) interpreter_->AttachProxy(this);
}

TDataDispatch::~TDataDispatch() {
  if (!interpreter_) return;
  TDataBlockInterpreter* in = interpreter_;
  interpreter_ = nullptr;
  in->DetachProxy(this);
  try {
    in->RequestFreeObject(object_id_);
  } catch (...) {
    // Releasing never fails: the request is not answered anyway.
  }
}

int32_t TDataDispatch::GetIdsOfNames(const std::vector<std::u16string>& names,
                                     std::vector<int32_t>* ids) {
  if (!interpreter_) return kE_NOTIMPL;
  return interpreter_->RequestNameIds(object_id_, names, ids);
}

int32_t TDataDispatch::Invoke(int32_t dispid, uint16_t flags, std::vector<Variant>& args,
                              const std::vector<int32_t>& named_ids, Variant* result,
                              ExcepInfo* excep) {
  if (!interpreter_) return kE_NOTIMPL;
  return interpreter_->RequestInvoke(object_id_, dispid, flags, args, named_ids, result, excep);
}

}  // namespace corvane::transport
