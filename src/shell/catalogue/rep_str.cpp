// SPDX-License-Identifier: MIT
#include "shell/catalogue/rep_str.h"

namespace nimbra::shell {

std::string RepStr(std::string_view s, std::string_view org, std::string_view rep) {
  if (org.empty()) return std::string(s);
  std::string out;
  size_t pos = 0;
  for (size_t hit = s.find(org); hit != std::string_view::npos; hit = s.find(org, pos)) {
    out.append(s.substr(pos, hit - pos));
    out.append(rep);
    pos = hit + org.size();
  }
  out.append(s.substr(pos));
  return out;
}

}  // namespace nimbra::shell
