// SPDX-License-Identifier: MIT
#include "dialup/card_query.h"

#include "diag/reply_text.h"

namespace nimbra::dialup {

std::string query_model_code(diag::AtChannel& channel) {
  std::string model;
  for (int round = 0; round < kCardQueryRounds && model.empty(); ++round) {
    if (const auto reply = channel.SendAtCommand("ATI4", kCardQueryWaitMs)) {
      model = diag::ExtractReplyLine(*reply);
    }
  }
  return model;
}

void query_phs_number(diag::AtChannel& channel, std::string& phs_number) {
  int round = 0;
  do {
    if (const auto reply = channel.SendAtCommand("ATI6", kCardQueryWaitMs)) {
      phs_number = diag::ExtractReplyLine(*reply);
    }
  } while (++round < kCardQueryRounds && phs_number.size() < kPhsNumberMinLength);
}

}  // namespace nimbra::dialup
