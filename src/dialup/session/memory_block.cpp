// SPDX-License-Identifier: MIT
#include "dialup/session/memory_block.h"

#include <span>

namespace nimbra::dialup {

void MemoryBlock::Allocate(size_t lCount) {
  ReleaseMemory();
  block_ = platform::map_locked_block(lCount);
}

void MemoryBlock::ReadFrom(void* hWritePointer, size_t lLength) {
  if (!holds(lLength)) return;
  platform::copy_to_address(hWritePointer, std::span<const uint8_t>(block_->address, lLength));
}

void MemoryBlock::WriteTo(const void* hReadPointer, size_t lLength) {
  if (!holds(lLength)) return;
  platform::copy_from_address(std::span<uint8_t>(block_->address, lLength), hReadPointer);
}

std::string MemoryBlock::ExtractString(const void* hStartPointer, size_t lMax) {
  return platform::read_text_at_address(hStartPointer, lMax).value_or("");
}

void MemoryBlock::ReleaseMemory() {
  if (!block_) return;
  platform::unmap_block(*block_);
  block_.reset();
}

}  // namespace nimbra::dialup
