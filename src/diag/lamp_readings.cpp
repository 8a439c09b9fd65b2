// SPDX-License-Identifier: MIT
#include "diag/lamp_readings.h"

#include <string>

#include "diag/card_info.h"
#include "shell/catalogue/spoken_texts.h"

namespace nimbra::diag {

namespace {

using shell::Spoken;

// "3 of 5" for three lamps lit, "not available" for a grey column.
std::string column_reading(shell::AppContext& app, int column) {
  int lit = 0;
  for (int row = 0; row < shell::kLampsPerColumn; ++row) {
    const platform::Color color =
        app.main_form.Picture1[column * shell::kLampsPerColumn + row].back_color;
    if (color == lamp_color::kUnavailable) {
      return shell::spoken_text(app.catalogue, Spoken::NotAvailable);
    }
    if (color == lamp_color::kLevelOn) {
      ++lit;
    } else if (color != lamp_color::kLevelOff) {
      return {};
    }
  }
  return shell::spoken_text(app.catalogue, Spoken::LevelOfFive, lit);
}

std::string free_channel_reading(shell::AppContext& app) {
  int lit = 0;
  for (const auto& lamp : app.main_form.Picture2) {
    if (lamp->back_color == lamp_color::kFreeOn) {
      ++lit;
    } else if (lamp->back_color != lamp_color::kFreeOff) {
      return {};
    }
  }
  return shell::spoken_text(app.catalogue, Spoken::FreeOfFour, lit);
}

}  // namespace

void describe_card_lamps(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  for (int column = 0; column < shell::kSignalColumns; ++column) {
    const std::string reading = column_reading(app, column);
    for (int row = 0; row < shell::kLampsPerColumn; ++row) {
      form.Picture1[column * shell::kLampsPerColumn + row].accessible_description = reading;
    }
  }
  const std::string free_channels = free_channel_reading(app);
  for (const auto& lamp : form.Picture2) lamp->accessible_description = free_channels;
}

}  // namespace nimbra::diag
