// SPDX-License-Identifier: MIT
// What assistive tools announce for the controls that show no caption of their own, where the
// numbered messages have no text for it: the program's own texts, in both languages.
#pragma once

#include <string>

#include "shell/catalogue/catalogue.h"

namespace nimbra::shell {

enum class Spoken {
  StatusLamp,       // the status lamp and its frame
  Measuring,        // what the status lamp shows during a measurement
  HangingUp,        // ... while a connection is being ended
  ValidityTerm,     // the frame of the validity term and its Inquire button
  AcceleratorNote,  // the read-only texts under the accelerator options
  TcpipNote,        // the read-only text under the MTU and RWIN boxes
  VersionNote,      // the read-only version text of the Option page
  ChannelSignal,    // a column of signal lamps: "%1" is the channel's number from 1
  LevelOfFive,      // a column's reading: "%1" lamps of 5 lit
  FreeOfFour,       // the free-channel lamps' reading: "%1" of 4 lit
  NotAvailable,     // a column whose channel is not available
};

// The text in the catalogue's language, "%1" replaced by `number`.
std::string spoken_text(const Catalogue& catalogue, Spoken text, int number = 0);

}  // namespace nimbra::shell
