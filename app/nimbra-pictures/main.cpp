// SPDX-License-Identifier: MIT
// nimbra-pictures: the desktop program as a user starts it, photographed for the demo, the
// documentation and the checks. It runs on the same machine ($NIMBRA_MACHINE) with the same
// services, takes its pictures without a person, answering message boxes, and quits.
#include <QApplication>
#include <cstdio>
#include <optional>
#include <string_view>

#include "desktop_run.h"
#include "screenshot.h"

namespace {

constexpr char kUsage[] =
    "usage: nimbra-pictures --screenshot FILE | --screenshot-pages PREFIX\n"
    "                       | --screenshot-series PREFIX | --screenshot-inquiry FILE\n"
    "                       | --screenshot-measure PREFIX | --screenshot-cache PREFIX\n"
    "                       | --screenshot-sheet FILE\n"
    "       nimbra-pictures --help\n"
    "  --screenshot FILE          save a picture of the window once it is shown, then quit\n"
    "  --screenshot-pages PREFIX  save PREFIX-1.png .. PREFIX-5.png, one per page, then quit\n"
    "  --screenshot-series PREFIX save the window every half second for twelve seconds\n"
    "  --screenshot-inquiry FILE  as --screenshot, after pressing Inquire on the call\n"
    "  --screenshot-measure PREFIX press Measure on the CardInfo page: PREFIX-measuring.png\n"
    "                             while it measures, PREFIX-cardinfo.png afterwards\n"
    "  --screenshot-cache PREFIX  delete the browser cache on the Accelerator page and save\n"
    "                             PREFIX-calculating.png and PREFIX-deleting.png while it runs,\n"
    "                             PREFIX-after.png after it\n"
    "  --screenshot-sheet FILE    every page side by side in one picture, as --screenshot\n"
    "                             sees the window\n"
    "Message boxes are photographed (PREFIX-box-N.png) and answered with their default button.\n";

using nimbra::app::ScreenshotRun;

std::optional<ScreenshotRun::Mode> mode_of(std::string_view flag) {
  if (flag == "--screenshot") return ScreenshotRun::Mode::Window;
  if (flag == "--screenshot-pages") return ScreenshotRun::Mode::Pages;
  if (flag == "--screenshot-series") return ScreenshotRun::Mode::Series;
  if (flag == "--screenshot-inquiry") return ScreenshotRun::Mode::Inquiry;
  if (flag == "--screenshot-measure") return ScreenshotRun::Mode::Measure;
  if (flag == "--screenshot-cache") return ScreenshotRun::Mode::CacheDeletion;
  if (flag == "--screenshot-sheet") return ScreenshotRun::Mode::Sheet;
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  if (nimbra::app::asks_for_help(argc, argv)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  QApplication qapp(argc, argv);  // takes the toolkit's own options out of argv
  const auto mode = argc == 3 ? mode_of(argv[1]) : std::nullopt;
  if (!mode) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // Answers message boxes from the start: start-up may show some.
  auto* pictures = new ScreenshotRun(*mode, QString::fromLocal8Bit(argv[2]), &qapp);
  return nimbra::app::run_desktop(
      qapp, {.on_started = [pictures] { pictures->start(); }, .show_errors_in_box = false});
}
