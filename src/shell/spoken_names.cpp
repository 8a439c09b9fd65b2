// SPDX-License-Identifier: MIT
#include "shell/spoken_names.h"

#include <string>

#include "shell/catalogue/spoken_texts.h"

namespace nimbra::shell {

namespace {

std::string connection_state_text(const AppContext& app) {
  switch (app.ConnState) {
    case 0:
      return app.catalogue.str(103);  // No connection.
    case 1:
      return app.catalogue.str(102);  // Connected.
    case 2:
      return app.catalogue.str(128);  // Dialing...
    case 3:
      return spoken_text(app.catalogue, Spoken::Measuring);
    case 4:
      return spoken_text(app.catalogue, Spoken::HangingUp);
    default:
      return {};
  }
}

}  // namespace

void name_uncaptioned_controls(AppContext& app) {
  const Catalogue& cat = app.catalogue;
  MainForm& f = app.main_form;
  const auto spoken = [&cat](Spoken text) { return spoken_text(cat, text); };
  // A page is named by its tab.
  const auto& tabs = f.KorvoTab.tab_captions.get();
  for (const auto& page : f.Frames) {
    const auto tab = static_cast<size_t>(page->index());
    if (tab < tabs.size()) page->accessible_name = tabs[tab];
  }
  f.Frame2.accessible_name = spoken(Spoken::StatusLamp);
  f.StatusLump.accessible_name = spoken(Spoken::StatusLamp);
  f.FrameLimit.accessible_name = spoken(Spoken::ValidityTerm);
  f.AccTxt.accessible_name = spoken(Spoken::AcceleratorNote);
  f.NoaccTxt.accessible_name = spoken(Spoken::AcceleratorNote);
  f.MtuRwinTxt.accessible_name = spoken(Spoken::TcpipNote);
  f.VersionTxt.accessible_name = spoken(Spoken::VersionNote);
  // The option tree's label stands above it, where no field's label is looked for.
  f.SettingTree.accessible_name = f.SetTreeLbl.caption;
  for (const auto& lamp : f.Picture1) {
    lamp->accessible_name =
        spoken_text(cat, Spoken::ChannelSignal, lamp->index() / kLampsPerColumn + 1);
  }
  for (const auto& lamp : f.Picture2) lamp->accessible_name = cat.str(1043);
}

void show_status_lamp(AppContext& app, platform::Color color) {
  platform::PictureBox& lamp = app.main_form.StatusLump;
  // Each state has its own colour, so a lamp already in this colour already says this state:
  // the status tick, ten times a second, need not compose the words again.
  if (lamp.back_color == color && !lamp.accessible_description.get().empty()) return;
  lamp.back_color = color;
  lamp.accessible_description = connection_state_text(app);
}

}  // namespace nimbra::shell
