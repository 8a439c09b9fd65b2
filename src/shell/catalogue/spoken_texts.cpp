// SPDX-License-Identifier: MIT
#include "shell/catalogue/spoken_texts.h"

#include <array>
#include <string_view>

namespace nimbra::shell {

namespace {

struct SpokenEntry {
  Spoken id;
  std::string_view english;
  std::string_view japanese;
};

constexpr std::array<SpokenEntry, 11> kSpoken{{
    {Spoken::StatusLamp, "Status lamp", "状態ランプ"},
    {Spoken::Measuring, "Measuring", "測定中"},
    {Spoken::HangingUp, "Hanging up", "切断中"},
    {Spoken::ValidityTerm, "Term of validity", "有効期限"},
    {Spoken::AcceleratorNote, "About the accelerator", "アクセラレーターについて"},
    {Spoken::TcpipNote, "About MTU and RWIN", "MTUとRWINについて"},
    {Spoken::VersionNote, "Version", "バージョン情報"},
    {Spoken::ChannelSignal, "Channel %1 signal strength", "チャネル%1の電波強度"},
    {Spoken::LevelOfFive, "%1 of 5", "5段階中%1"},
    {Spoken::FreeOfFour, "%1 of 4", "4チャネル中%1"},
    {Spoken::NotAvailable, "not available", "利用不可"},
}};

}  // namespace

std::string spoken_text(const Catalogue& catalogue, Spoken text, int number) {
  std::string result;
  for (const SpokenEntry& entry : kSpoken) {
    if (entry.id != text) continue;
    result = catalogue.language() == Language::Japanese ? entry.japanese : entry.english;
  }
  if (const auto at = result.find("%1"); at != std::string::npos) {
    result.replace(at, 2, std::to_string(number));
  }
  return result;
}

}  // namespace nimbra::shell
