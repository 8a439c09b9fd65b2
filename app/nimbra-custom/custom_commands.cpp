// SPDX-License-Identifier: MIT
#include "custom_commands.h"

#include <ostream>
#include <string>
#include <vector>

#include "custom_build.h"
#include "custom_check.h"
#include "custom_ini.h"
#include "custom_preview.h"
#include "custom_show.h"
#include "platform/host/file_io.h"
#include "platform/text/ini_file.h"

namespace nimbra::custom {

namespace fs = std::filesystem;

namespace {

// More than any INI or customisation file a distributor writes; the rest is not read.
constexpr size_t kMostInputBytes = 1 << 20;

platform::CodePage code_page_of(platform::Language language) {
  return language == platform::Language::Japanese ? platform::CodePage::Japanese
                                                  : platform::CodePage::Western;
}

std::optional<std::vector<uint8_t>> read_input(const fs::path& file, const Streams& io) {
  auto bytes = platform::read_file_bounded(file, kMostInputBytes);
  if (!bytes) io.err << "nimbra-custom: cannot read " << file.string() << "\n";
  return bytes;
}

// The record an INI makes, its refusals told with the file's name and their lines.
std::optional<std::array<uint8_t, CustomRecord::kSize>> built(const fs::path& ini,
                                                              platform::Language language,
                                                              const Streams& io) {
  const auto text = read_input(ini, io);
  if (!text) return std::nullopt;
  BuildResult result =
      build_custom(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()),
                   code_page_of(language));
  for (const Refusal& refusal : result.refusals) {
    io.err << ini.string() << ":" << refusal.line << ": " << refusal.reason << "\n";
  }
  return result.image;
}

// A file that holds a preset password is readable by its owner only.
unsigned mode_of(std::span<const uint8_t, CustomRecord::kSize> image) {
  const CustomRecord record = shell::decode_custom(image);
  return record.Password.find_first_not_of(' ') == std::string::npos ? 0644 : 0600;
}

}  // namespace

int run_template(const std::optional<fs::path>& ini, const Streams& io) {
  const std::string text = custom_template();
  if (!ini) {
    io.out << text;
    return 0;
  }
  std::error_code error;
  if (fs::exists(*ini, error) || error) {
    io.err << "nimbra-custom: " << ini->string() << " exists; it is left as it is\n";
    return 1;
  }
  if (!platform::write_text_file_atomic(*ini, text, 0644)) {
    io.err << "nimbra-custom: cannot write " << ini->string() << "\n";
    return 1;
  }
  return 0;
}

int run_build(const fs::path& ini, const fs::path& output, platform::Language language,
              const Streams& io) {
  const auto image = built(ini, language, io);
  if (!image) {
    io.err << "nimbra-custom: " << output.string() << " was not written\n";
    return 1;
  }
  if (!platform::write_file_atomic(output, *image, mode_of(*image))) {
    io.err << "nimbra-custom: cannot write " << output.string() << "\n";
    return 1;
  }
  return 0;
}

int run_show(const fs::path& file, platform::Language language, const Streams& io) {
  const auto bytes = read_input(file, io);
  if (!bytes) return 1;
  const ShowResult shown = show_custom(*bytes, code_page_of(language));
  io.out << shown.ini;
  for (const std::string& warning : shown.warnings) {
    io.err << "nimbra-custom: " << file.string() << ": " << warning << "\n";
  }
  return 0;
}

int run_check(const fs::path& file, platform::Language language, const Streams& io) {
  const auto bytes = read_input(file, io);
  if (!bytes) return 1;
  const CheckResult checked = check_custom(*bytes, code_page_of(language));
  io.out << file.string() << " does this to the window:\n";
  if (checked.effects.empty()) io.out << "  nothing: the window stays as built in\n";
  for (const std::string& effect : checked.effects) io.out << "  " << effect << "\n";
  if (!checked.warnings.empty()) io.out << "Warnings:\n";
  for (const std::string& warning : checked.warnings) io.out << "  " << warning << "\n";
  return 0;
}

int run_preview(const fs::path& input, const fs::path& picture, platform::Language language,
                const Streams& io) {
  std::vector<uint8_t> file;
  if (platform::iequals(input.extension().string(), ".ini")) {
    const auto image = built(input, language, io);
    if (!image) return 1;
    file.assign(image->begin(), image->end());
  } else {
    auto bytes = read_input(input, io);
    if (!bytes) return 1;
    file = std::move(*bytes);
  }
  const auto program = find_pictures_program();
  if (!program) {
    io.err << "nimbra-custom: the picture-taking program nimbra-pictures is not installed\n";
    return 1;
  }
  if (const auto problem = take_preview({file, language, picture, *program})) {
    io.err << "nimbra-custom: " << *problem << "; " << picture.string() << " was not written\n";
    return 1;
  }
  io.out << picture.string() << "\n";
  return 0;
}

}  // namespace nimbra::custom
