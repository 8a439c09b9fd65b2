// SPDX-License-Identifier: MIT
#include "platform/linux/desktop/exec_line.h"

#include <gtest/gtest.h>

namespace nimbra::lnx {
namespace {

using Args = std::vector<std::string>;

// Exec values split into arguments as desktop entries quote and escape them, field codes gone;
// a quote left open makes the whole line unusable.
TEST(ExecLine, SplitsQuotesEscapesAndFieldCodes) {
  struct Row {
    std::string_view exec;
    Args args;
  };
  const Row rows[] = {
      {"browser %u", {"browser"}},
      {"  /usr/bin/mail   -compose  %U ", {"/usr/bin/mail", "-compose"}},
      {R"("/opt/My App/app" --new-window %F)", {"/opt/My App/app", "--new-window"}},
      {R"(app %i %c %k %f --level=100%%)", {"app", "--level=100%"}},
      {R"(app --file=%f)", {"app", "--file="}},
      {R"("say \"hi\" \$HOME \`x\`")", {R"(say "hi" $HOME `x`)"}},
      // The string escape runs first: four backslashes in the file are one in the argument.
      {R"("C:\\\\dir" next)", {R"(C:\dir)", "next"}},
      {R"(two\swords)", {"two", "words"}},
      {R"(prog "" last)", {"prog", "", "last"}},
      {"%U", {}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(split_exec_line(row.exec), row.args) << row.exec;
  }
  for (const char* open : {R"("/opt/app %u)", R"(app "a\")"}) EXPECT_FALSE(split_exec_line(open));
}

}  // namespace
}  // namespace nimbra::lnx
