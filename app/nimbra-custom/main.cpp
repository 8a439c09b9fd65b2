// SPDX-License-Identifier: MIT
// nimbra-custom: the distributor's tool for the customisation file nimbra1.ssd: writes it from
// a commented INI, shows it as one, says what it does to the window and photographs it.
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "custom_commands.h"
#include "platform/linux/desktop/locale_language.h"

namespace {

using namespace nimbra;

constexpr std::string_view kUsage =
    "usage: nimbra-custom template [FILE.ini]\n"
    "       nimbra-custom build FILE.ini -o nimbra1.ssd [--language en|ja]\n"
    "       nimbra-custom show nimbra1.ssd [--language en|ja]\n"
    "       nimbra-custom check nimbra1.ssd [--language en|ja]\n"
    "       nimbra-custom preview FILE.ini|nimbra1.ssd -o PICTURE.png [--language en|ja]\n"
    "       nimbra-custom --help\n"
    "template writes an INI with every field, set to leave the window as built in.\n"
    "build makes the 1716-byte file from it; show prints a file as that INI; check says what\n"
    "a file does to the window; preview photographs the window on a throw-away demo machine.\n"
    "--language is the machine's language and code page (en: 1252, ja: 932); without it,\n"
    "this computer's locale decides.\n";

int usage_error(std::string_view message) {
  std::cerr << "nimbra-custom: " << message << "\n" << kUsage;
  return 2;
}

struct CommandLine {
  std::string command;
  std::vector<std::string> files;
  std::optional<std::string> output;
  platform::Language language = lnx::language_from_locale();
};

// Nothing, with the reason in `error`, when the line cannot be read.
std::optional<CommandLine> read_command_line(int argc, char** argv, std::string& error) {
  CommandLine line;
  line.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-o" || arg == "--language") {
      if (i + 1 >= argc) {
        error = std::string(arg) + " needs a value";
        return std::nullopt;
      }
      const std::string_view value = argv[++i];
      if (arg == "-o") {
        line.output = value;
      } else if (value == "en" || value == "ja") {
        line.language = value == "ja" ? platform::Language::Japanese : platform::Language::English;
      } else {
        error = "the language is en or ja";
        return std::nullopt;
      }
    } else if (arg.starts_with("-") && arg != "-") {
      error = "unknown option " + std::string(arg);
      return std::nullopt;
    } else {
      line.files.emplace_back(arg);
    }
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage_error("no command");
  const std::string_view first = argv[1];
  if (first == "--help" || first == "-h") {
    std::cout << kUsage;
    return 0;
  }
  std::string error;
  const auto line = read_command_line(argc, argv, error);
  if (!line) return usage_error(error);
  const custom::Streams io{std::cout, std::cerr};
  const bool wants_output = line->command == "build" || line->command == "preview";
  const size_t files = line->files.size();
  if (line->command == "template") {
    if (files > 1 || line->output) return usage_error("template takes at most one file");
    return custom::run_template(files == 1 ? std::optional(line->files[0]) : std::nullopt, io);
  }
  if (line->command != "build" && line->command != "show" && line->command != "check" &&
      line->command != "preview") {
    return usage_error("unknown command " + line->command);
  }
  if (files != 1) return usage_error(line->command + " takes one file");
  if (wants_output != line->output.has_value()) {
    return usage_error(wants_output ? line->command + " needs -o FILE"
                                    : line->command + " takes no -o");
  }
  const std::filesystem::path file = line->files[0];
  if (line->command == "build") return custom::run_build(file, *line->output, line->language, io);
  if (line->command == "show") return custom::run_show(file, line->language, io);
  if (line->command == "check") return custom::run_check(file, line->language, io);
  return custom::run_preview(file, *line->output, line->language, io);
}
