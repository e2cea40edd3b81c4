// The data block: the unit of exchange.  On the wire a block is an 8-byte
// header (32-bit signature word, 32-bit signed body size, little-endian)
// followed by the body, a sequence of value records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace corvane::transport {

constexpr uint32_t RequestSignature = 0xDA00;
constexpr uint32_t ReplySignature = 0xDB00;
constexpr uint32_t ActionMask = 0x00FF;
constexpr int32_t kBlockHeaderSize = 8;
// The largest body a received block may announce.  The 32-bit host shares
// 2 GiB of address space with the library, and a reply is held about five
// times while it is decoded and handed over (block, value, UTF-16 text,
// GBK text, reply); 32 MiB keeps that under 200 MiB, far above any real
// reply (files travel by FTP, not in blocks).
constexpr int32_t kMaxBlockBodySize = 32 * 1024 * 1024;

// Action codes (low byte of the signature word).
enum Action : uint32_t {
  kActionError = 1,
  kActionInvoke = 2,
  kActionGetIds = 3,
  kActionCreateObject = 4,
  kActionFreeObject = 5,
  kActionServerListOld = 0x10,
  kActionServerList = 0x12,
};

inline bool IsWellFormed(uint32_t word) { return (word & RequestSignature) == RequestSignature; }
inline bool IsReply(uint32_t word) { return (word & ReplySignature) == ReplySignature; }
inline uint32_t ActionOf(uint32_t word) { return word & ActionMask; }

class IDataBlock {
 public:
  virtual ~IDataBlock() = default;
  virtual int32_t HeaderSize() const = 0;
  // Writes the size field and returns the whole block (header first);
  // DataSize() + 8 bytes are valid.
  virtual const uint8_t* RawMemory() = 0;
  virtual int32_t DataSize() const = 0;
  virtual void SetDataSize(int32_t size) = 0;
  // Room for a body of size bytes without moving it later; the memory is
  // only used as the body grows into it.
  virtual void ReserveBody(int32_t size) = 0;
  virtual uint32_t GetSignatureWord() const = 0;
  virtual void SetSignatureWord(uint32_t word) = 0;
  // Body empty, both positions at the body's start; the signature stays.
  virtual void Reset() = 0;
  virtual int32_t AppendBytes(const void* source, int32_t count) = 0;
  // Reads up to count bytes; returns how many were read.
  virtual int32_t TakeBytes(void* target, int32_t count) = 0;
  // Body bytes not yet taken.
  virtual int32_t Remaining() const = 0;
  // Writable body memory from offset (body offset) for count bytes; the
  // caller has sized the block with SetDataSize first.
  virtual uint8_t* BodyAt(int32_t offset) = 0;
  // Fills the block from a whole received buffer (header included).
  // Throws ETransportError "Invalid data packet".  Returns the size field.
  virtual int32_t LoadFromBuffer(const void* buffer, size_t length, bool check_size) = 0;
};

using DataBlockPtr = std::shared_ptr<IDataBlock>;

class TDataBlock : public IDataBlock {
 public:
  TDataBlock();
  int32_t HeaderSize() const override { return kBlockHeaderSize; }
  const uint8_t* RawMemory() override;
  int32_t DataSize() const override;
  void SetDataSize(int32_t size) override;
  void ReserveBody(int32_t size) override;
  uint32_t GetSignatureWord() const override;
  void SetSignatureWord(uint32_t word) override;
  void Reset() override;
  int32_t AppendBytes(const void* source, int32_t count) override;
  int32_t TakeBytes(void* target, int32_t count) override;
  int32_t Remaining() const override;
  uint8_t* BodyAt(int32_t offset) override;
  int32_t LoadFromBuffer(const void* buffer, size_t length, bool check_size) override;

 private:
  std::vector<uint8_t> storage_;
  int32_t read_pos_ = kBlockHeaderSize;
  int32_t write_pos_ = kBlockHeaderSize;
};

DataBlockPtr NewDataBlock();

}  // namespace corvane::transport
