// SPDX-License-Identifier: MIT
#include "detect/device_catalogue.h"

#include <gtest/gtest.h>

namespace nimbra::detect {
namespace {

// The three lookups match exactly, case included, and only in the rows they cover.
TEST(DeviceCatalogue, LookupsAreExact) {
  struct Row {
    const SupportedDevice* found;
    const char* model;  // nullptr: no row
  };
  const Row rows[] = {
      {find_by_nt_instance("PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30-J-E4F1\\1"), "KVT30-J"},
      {find_by_nt_instance("PCMCIA\\Pellam_Infra-CFX-07-9A03\\1"), "PX-301KV"},
      {find_by_nt_instance("PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30-J-E4F1\\2"), nullptr},
      {find_by_nt_instance("PCMCIA\\PELLAM_INFRA-CFX-07-9A03\\1"), nullptr},
      {find_by_nt_instance("USB\\Vid_0e71&Pid_0019"), nullptr},
      {find_by_device_name("Arlen Denshi KVT31C-J"), "KVT31C-J"},
      {find_by_device_name("ARLEN DENSHI KVT31C-J"), nullptr},
      {find_by_device_name("TRV KVR20C-J "), nullptr},
      {find_by_model_code("PX-301"), "PX-301KV"},
      {find_by_model_code("KVR20C-J"), "KVR20C-J"},
      {find_by_model_code("PX-301KV"), nullptr},
      {find_by_model_code("kvt30-j"), nullptr},
      {find_by_model_code(""), nullptr},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    if (rows[i].model == nullptr) {
      EXPECT_EQ(rows[i].found, nullptr) << "row " << i;
    } else {
      ASSERT_NE(rows[i].found, nullptr) << "row " << i;
      EXPECT_EQ(rows[i].found->model_name, rows[i].model) << "row " << i;
    }
  }
}

}  // namespace
}  // namespace nimbra::detect
