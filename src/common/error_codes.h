// The library's error codes and their messages (GBK text).
//
// Ranges: -70xx library routines and settings, -71xx pre-checks and session
// initialisation, -72xx transaction steps, -80xx calls into the IC card
// library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

enum ErrorCode : int32_t {
  kErrEntryPara = -7001,
  kErrBuildPacket = -7002,
  kErrNotInitialised = -7003,
  kErrReadTradeCfg = -7004,
  kErrTradeSerial = -7005,
  kErrRemoteCall = -7006,
  kErrRequestTooLong = -7007,
  kErrLocalIpTooLong = -7008,
  kErrReplyTooLarge = -7009,
  kErrBusy = -7010,
  kErrInitializeIniF = -7030,
  kErrMergeExportPara = -7031,
  kErrGetUserTradeParam = -7032,
  kErrSplitStr = -7033,
  kErrWriteIniFSection = -7034,
  kErrGetField = -7035,
  kErrOpenIC = -7036,
  kErrInitCorvane = -7037,
  kErrDialogNoDisplay = -7040,
  kErrDialogProgram = -7041,
  kErrDialogWindow = -7042,
  kErrDialogRead = -7043,
  kErrDialogSave = -7044,
  kErrUnexpected = -7099,
  kErrReadSettings = -7100,
  kErrField5 = -7101,
  kErrFieldCount = -7102,
  kErrSerialCheck = -7103,
  kErrBusinessInit = -7104,
  kErrTradeFunList = -7105,
  kErrVersionCheck = -7106,
  kErrLeftoverTrade = -7107,
  kErrMoreThanFourFields = -7200,
  kErrFirstFourFields = -7201,
  kErrReadCard = -7202,
  kErrWriteCard = -7203,
  kErrRemoteTrade = -7204,
  kErrReplyHead = -7205,
  kErrLockCard = -7206,
  kErrUnlockCard = -7207,
  kErrTradeNotRecorded = -7208,
  kErrICOpenSession = -8001,
  kErrICCloseSession = -8002,
  kErrICPINVerify = -8005,
};

// The fixed message of a code ("" for codes whose message is composed).
const char* ErrorMessage(int32_t code);

// The composed message of -7035.
std::string GetFieldMessage(const std::string& text, const std::string& sep, int n);

// The composed message of -7006: a failure of the remote call itself, with
// its cause (the server's error text, a socket error).  The cause is quoted
// up to kMaxQuotedCauseBytes (never splitting a double-byte character, "..."
// marking the cut); callers write the whole cause to the diagnostics log.
constexpr size_t kMaxQuotedCauseBytes = 512;
std::string RemoteCallMessage(const std::string& cause);

// The composed message of -7007: a request of `bytes` bytes does not fit
// the packet's 6-digit length field.
std::string RequestTooLongMessage(size_t bytes);

// The composed message of -7009: a reply of `needed` bytes (zero byte
// included) does not fit the host's buffer of `buffer` bytes; the whole
// reply was kept in `kept_in`.
std::string ReplyTooLargeMessage(size_t needed, size_t buffer, const std::string& kept_in);

// The composed message of -7208: the front end carried out transaction
// trade_no and answered, but the journal could not record it; its whole
// reply was kept in `kept_in`.
std::string TradeNotRecordedMessage(int32_t trade_no, const std::string& kept_in);

// The composed messages of the settings dialog (transaction 52): the
// program that shows it is missing (-7041), the settings file cannot be
// read (-7043) or written (-7044).
std::string DialogProgramMessage(const std::string& program);
std::string DialogReadMessage(const std::string& path);
std::string DialogSaveMessage(const std::string& path);

// Message of -7099: an unexpected fault caught at an entry point.
std::string UnexpectedFaultMessage(const std::string& cause);

}  // namespace corvane
