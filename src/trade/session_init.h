// Session initialisation: the business initialisation with the front end
// (transaction 21) and the transaction definitions it returns.
#pragma once

#include <string>
#include <vector>

#include "config/ini_text.h"

namespace corvane {

// "1050,02.21.<AREAID>.04.1050%%1060,1.1.0.01.1"
std::string VersionList(const std::string& area_id);

// Transaction 21: reports the versions, stores the returned definitions as
// USERTRADE lines and stamps SYSTEM/SysHaveInit.  0; -1 with -7104, -7105,
// -7106 or the error of a failed step.
int Kvo_BusinessInit();

// Writes the USERTRADE keys of one definition entry ("~"-separated
// parameter lines whose first comma item is the transaction number) to the
// named ini file in one replace.  1 when a line was written, else 0.  dir
// empty: the host program's directory.
int Kvo_SaveTradeFunList(const std::string& file, const std::string& entry,
                         const std::string& dir = "");

// Adds the USERTRADE keys of one definition entry to *keys; the number
// added.  A line without a transaction number names no key.
int TradeFunKeys(const std::string& entry, std::vector<IniEntry>* keys);

// The first item of a comma text: leading blanks skipped; a quoted item
// runs to its closing quote ("" inside stands for one quote); otherwise the
// item ends at a comma, a blank or a control character.
std::string FirstCommaItem(const std::string& line);

}  // namespace corvane
