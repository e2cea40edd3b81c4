// Errors of the remote object transport.  Every failure of this part is an
// exception; the texts are the system's own.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace corvane::transport {

// The general error: a failure that is neither a socket nor an interpreter
// fault ("Invalid data packet", an error reply of the peer, ...).  cause()
// holds the system's words behind a message of its own that does not carry
// them (a thread that could not start), for the diagnostics log only.
class ETransportError : public std::runtime_error {
 public:
  explicit ETransportError(const std::string& message, std::string cause = "")
      : std::runtime_error(message), cause_(std::move(cause)) {}
  const std::string& cause() const { return cause_; }
  // what() followed by ": " and the cause when there is one.
  std::string WithCause() const { return what() + (cause_.empty() ? "" : ": " + cause_); }

 private:
  std::string cause_;
};

// The connection is broken or the peer sent something unreadable; the
// worker closes the socket when it sees one.
class ESocketConnectionError : public ETransportError {
 public:
  using ETransportError::ETransportError;
};

// A socket call failed.
class ESocketError : public ETransportError {
 public:
  using ETransportError::ETransportError;
  ESocketError(const std::string& message, int code, std::string api)
      : ETransportError(message), code_(code), api_(std::move(api)) {}
  int code() const { return code_; }
  const std::string& api() const { return api_; }

 private:
  int code_ = 0;
  std::string api_;
};

// The call interpreter met an action or a value it cannot handle.
class EInterpreterError : public ETransportError {
 public:
  using ETransportError::ETransportError;
};

// A failing result code of a late-bound call.
class EOleSysError : public ETransportError {
 public:
  EOleSysError(const std::string& message, int32_t code) : ETransportError(message), code_(code) {}
  int32_t code() const { return code_; }

 private:
  int32_t code_;
};

// The remote method raised: the message is the remote description.
class EOleException : public EOleSysError {
 public:
  EOleException(const std::string& description, int32_t exception_code, std::string source,
                std::string help_file, int32_t help_context)
      : EOleSysError(description, static_cast<int32_t>(0x80020009u)),
        exception_code_(exception_code),
        source_(std::move(source)),
        help_file_(std::move(help_file)),
        help_context_(help_context) {}
  int32_t exception_code() const { return exception_code_; }
  const std::string& source() const { return source_; }
  const std::string& help_file() const { return help_file_; }
  int32_t help_context() const { return help_context_; }

 private:
  int32_t exception_code_;
  std::string source_, help_file_;
  int32_t help_context_;
};

// The texts.
extern const char kInvalidDataPacket[];       // "Invalid data packet"
extern const char kErrorReadingSocket[];      // "Error reading from socket"
// "Data block of <size> bytes exceeds the limit of <limit> bytes"
std::string BlockTooLargeText(int32_t size);
// "No answer from the server within <ms> ms"
std::string TimeLimitText(int ms);
extern const char kNoAddressSpecified[];      // "No address specified"
extern const char kCannotCreateSocket[];      // "Can't create new socket"
extern const char kSocketAlreadyOpen[];       // "Socket already open"
extern const char kReturnValueNotReceived[];  // "Expected return value not received"

// "Windows socket error: %s (%d), on API '%s'" for error number code.
ESocketError MakeSocketError(int code, const char* api);
// "Unsupported variant type: %s" with the 16-bit type word in 4 hex digits.
EInterpreterError UnsupportedType(uint32_t type_word);

}  // namespace corvane::transport
