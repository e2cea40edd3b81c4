// The call interpreter: turns calls on remote objects into request blocks,
// reads their replies, and answers the requests of the peer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "transport/data_block.h"
#include "transport/variant.h"

namespace corvane::transport {

// Sends a block that carries its signature word.  With wait_for_result the
// reply block comes back (none when nothing could be sent).
class ISendDataBlock {
 public:
  virtual ~ISendDataBlock() = default;
  virtual DataBlockPtr SendBlock(const DataBlockPtr& block, bool wait_for_result) = 0;
};

class TDataDispatch;

class TDataBlockInterpreter {
 public:
  // Creates the local object that the peer asks for by name (or braced
  // class identifier).  An empty Variant means "not available".
  using ClassFactory = std::function<Variant(const std::u16string& name)>;

  TDataBlockInterpreter(ISendDataBlock* sender, std::string check_name);
  // Unbinds every proxy: proxies that outlive the interpreter send nothing.
  ~TDataBlockInterpreter();
  TDataBlockInterpreter(const TDataBlockInterpreter&) = delete;
  TDataBlockInterpreter& operator=(const TDataBlockInterpreter&) = delete;

  void SetClassFactory(ClassFactory factory) { factory_ = std::move(factory); }

  void AttachProxy(TDataDispatch* proxy);
  void DetachProxy(TDataDispatch* proxy);

  // Requesting half.
  void RequestFreeObject(int32_t object_id);
  int32_t RequestNameIds(int32_t object_id, const std::vector<std::u16string>& names,
                         std::vector<int32_t>* ids);
  int32_t RequestInvoke(int32_t object_id, int32_t dispid, uint16_t flags,
                        std::vector<Variant>& args, const std::vector<int32_t>& named_ids,
                        Variant* result, ExcepInfo* excep);
  Variant RequestServerList();  // unused here: the connection never lists servers
  Variant RequestCreateObject(const std::u16string& name);

  // Answering half.
  Variant InstantiateByName(const std::u16string& name);
  int32_t ExportObject(const std::shared_ptr<IDispatchObject>& object);
  std::shared_ptr<IDispatchObject> AcquireExported(int32_t object_id);
  void DropExported(int32_t object_id);
  // Acts on a received block: raises the text of an error reply; answers a
  // request (a failure is answered with an error reply, not raised).
  void ProcessBlock(const DataBlockPtr& block);
  virtual bool HandleExtraAction(uint32_t action, const DataBlockPtr& block);  // unused here: no subclass

  // Export table bounds (for tests): high bound, -1 before the first export.
  int32_t ExportHighBound() const { return static_cast<int32_t>(exports_.size()) - 1; }

 private:
  DataBlockPtr Send(const DataBlockPtr& block, bool wait);
  Variant Read(IDataBlock& block, struct ReadFlags* flags);
  void Write(IDataBlock& block, const Variant& v);
  void DoInvoke(const DataBlockPtr& block);
  void DoGetIds(const DataBlockPtr& block);
  void DoCreateObject(const DataBlockPtr& block);
  void DoFreeObject(const DataBlockPtr& block);
  void DoServerList(const DataBlockPtr& block, uint32_t action);

  ISendDataBlock* sender_;
  std::string check_name_;  // unused here: no class registry is consulted
  // A set: a reply may bring many proxies, each detached on its own.
  std::unordered_set<TDataDispatch*> proxies_;
  std::vector<std::shared_ptr<IDispatchObject>> exports_;
  std::vector<bool> used_;
  ClassFactory factory_;
};

// The local stand-in for an object of the peer.  Releasing the last
// reference sends the free-object request while it is still bound.
class TDataDispatch : public IDispatchObject {
 public:
  TDataDispatch(TDataBlockInterpreter* interpreter, int32_t object_id);
  ~TDataDispatch() override;
  int32_t GetIdsOfNames(const std::vector<std::u16string>& names, std::vector<int32_t>* ids) override;
  int32_t Invoke(int32_t dispid, uint16_t flags, std::vector<Variant>& args,
                 const std::vector<int32_t>& named_ids, Variant* result, ExcepInfo* excep) override;
  void Unbind() { interpreter_ = nullptr; }

 private:
  TDataBlockInterpreter* interpreter_;
  int32_t object_id_;
};

}  // namespace corvane::transport
