// TradeCfg.ini and the settings records loaded from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/ini_text.h"

namespace corvane {

extern const char kTradeCfgFile[];  // "TradeCfg.ini"

// Session settings: the keys of section SYSTEM, in key order.
struct TSystemCfg {
  std::string LocalIP;
  std::string SysHaveInit;
  std::string AccBench;  // not loaded
  std::string TermLog;   // not loaded
  std::string NativeAddress;
  std::string NativeServer;
  std::string AREAID;
};

// The card parameter record handed by address to the IC card library.  The
// card library reads it by layout: in the 32-bit build it is 76 bytes,
// little-endian, with the offsets given beside the fields (checked at
// compile time).  The 64-bit builds keep the order with natural alignment:
// pointers are 8 bytes, so CodeA 24, CodeB 32, ServerAddress 40,
// Reserved36 48, TextBuffer 56, OpType 64, Reserved48 68, size 96.
struct TICC_ENV {
  int32_t ReadType;         // 0  HardWare/ReadType
  int32_t CardType;         // 4  HardWare/CardType
  int32_t Port;             // 8  HardWare/Com
  int32_t Baud;             // 12 HardWare/baud
  int32_t Reserved16;       // 16
  int32_t Reserved20;       // 20
  const char* CodeA;        // 24 "907153"
  const char* CodeB;        // 28 "9133"
  const char* ServerAddress;  // 32 fixed default server address
  int32_t Reserved36;       // 36
  char* TextBuffer;         // 40 500-byte buffer, "ZeroUse!" at every load
  int32_t OpType;           // 44 HardWare/OpType
  uint8_t Reserved48[28];   // 48 zeroed at every load
};

// The parsed parameter line of the current transaction.
struct TUserTradeParam {
  int32_t TradeNo = 0;      // item 1
  int32_t Item4 = 0;        // item 4
  std::string Item5;        // item 5
  int32_t FieldCount = 0;   // item 2: "~" fields the request must have
  std::string Item6;
  std::string Item7;        // must not be blank for the card rewrite lookup
  std::string Item8;
  std::string Flags[14];    // Flags[0..12] = characters 1..13 of item 3;
                            // Flags[13] = character 1 again
  // Flag n (1 to 14) as a one-character text.
  const std::string& Flag(int n) const { return Flags[n - 1]; }

  // The flags by what they switch.  Field 14 always equals flag 1.
  bool ChecksSerial() const { return Flag(1) == "1"; }
  bool StampsUseTime() const { return Flag(14) == "1"; }
  bool ReadsCard() const { return Flag(2) == "1"; }
  bool RewritesCard() const { return Flag(3) == "1"; }
  bool LocksCard() const { return Flag(4) == "1"; }
  // "0": locking and unlocking do nothing and report success.
  bool LockingOff() const { return Flag(4) == "0"; }
  // Card kind "3" leaves its extra field empty after a read.
  bool EmptiesKind3Extra() const { return Flag(5) == "1"; }
  bool JournalOff() const { return Flag(7) == "0"; }
  void SwitchJournalOn() { Flags[6] = "1"; }
};

// Session records reset by InitCorvane; nothing else reads them.
struct TPackEdit {
  std::string LevelText;
  int32_t Level = 0;  // 10, 20, 30, or 100 for any other number
  int32_t Mode = 0;
};
struct TError {
  std::string Text1;
  std::string Text2;
  std::string Text3;
  std::string Time;  // date and time of the last InitCorvane
  std::string Text5;
  std::string Text6;
  std::string Text7;
  int32_t Value1 = 0;
  int32_t Value2 = 0;
};

// Size of the text buffer of the card parameter record.
constexpr size_t kIccTextBufferSize = 500;
// The fixed default server address placed in the card parameter record.
extern const char kIccServerAddress[];

// The process-wide records.
TSystemCfg& SystemCfg();
TICC_ENV& IccEnv();
// IccEnv().TextBuffer: a zeroed 500-byte buffer attached by the library's
// start (a second call keeps the one attached), released at unload.  Until
// then it is null.
void AllocateIccTextBuffer();
void FreeIccTextBuffer();
TUserTradeParam& UserTradeParam();
TPackEdit& PackEdit();
TError& ErrorRecord();

// Section names and keys used by other parts.
extern const char kSectionUserTrade[];  // "USERTRADE"
extern const char kSectionSystem[];     // "SYSTEM"
extern const char kSectionHardWare[];   // "HardWare"
extern const char kTradeLogFile[];      // "TradeLog.ini"
extern const char kPendingSection[];    // "000" of TradeLog.ini
// The keys of the pending section, in the order a transaction writes them.
extern const std::array<const char*, 7> kPendingKeys;

int InitCorvane(const std::string& level, int mode);
int Kvo_InitializeIniF();
// key: a USERTRADE key whose parameter line is parsed into UserTradeParam(),
// or empty; on return it holds the line read.
int Kvo_ReadTradeCfg(std::string* key);
// 0 when a complete line was parsed; -1 (last error -7032) otherwise.  A
// non-numeric item 1, 2 or 4 raises TextConvertError (config/text_convert.h).
int Kvo_GetUserTradeParam(const std::string& line, TUserTradeParam* param);

// Ini access beside the host program (dir empty) or in dir.  A read gives
// -1 when the file exists but cannot be read, with its path and the
// system's words noted as the cause (no last error).
int Kvo_ReadIniFSection(const std::string& file, const std::string& section,
                        const std::string& key, std::string* value, const std::string& dir);
// A refused write raises IniWriteError ("Unable to write to %s",
// config/ini_file.h) with -7034 already recorded as the last error.
int Kvo_WriteIniFSection(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& value,
                         const std::string& dir);
// Several keys in one durable replace: all of them or none; refused as
// Kvo_WriteIniFSection is.
int Kvo_WriteIniFValues(const std::string& file, const std::vector<IniEntry>& entries,
                        const std::string& dir);

}  // namespace corvane
