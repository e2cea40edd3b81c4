// The patient's IC card, through the reader vendor's library.
#pragma once

#include <string>

namespace corvane {

// 1 while a card session is open.
int CardSessionOpen();

int Kvo_OpenIC();
int Kvo_CloseIC();
int Kvo_ReadICCard(const std::string& mode, std::string* card_data);
int Kvo_WriteICCard(const std::string& mode, std::string* write_text, std::string* tac);
int Kvo_LockICCard(const std::string& card_data, double serial);
int Kvo_UnlockICCard(const std::string& card_data);
int Kvo_WriteReplyCard(const std::string& mode, std::string* card_data, std::string* tac);

// Why the vendor library or one of its functions could not be used (empty
// when it loaded), for the daily log and troubleshooting.
std::string CardLibraryProblem();

}  // namespace corvane
