// The records of the transaction engine.
#pragma once

#include <string>

namespace corvane {

// The card state: the four head fields of a request below 200, changed by
// the card steps.  One process-wide record, kept between transactions.
struct THisInHeadParam {
  std::string CardUse;   // field 1: "1" when the patient's IC card is involved
  std::string CardData;  // field 2: the card data
  std::string CardKind;  // field 3: "3" marks the card kind with an emptied extra field
  std::string Extra;     // field 4
};

// The head of a front-end reply of a transaction below 200.
struct TSvrBackHeadParam {
  std::string WriteCard;  // reply field 3: anything but "0" or empty writes the card
  std::string Field4;     // reply field 4
  std::string CardData;   // reply field 5: card data to write, "%%" and a code
  std::string Field6;     // reply field 6, not passed on
  std::string Rest;       // fields 7 on, or "error return"
};

extern const char kNoReplyRest[];  // "error return"

THisInHeadParam& HisInHead();

}  // namespace corvane
