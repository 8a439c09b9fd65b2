// SPDX-License-Identifier: MIT
// A block of locked memory for platform calls that fill records of varying size, with copies
// in and out that refuse an unusable address instead of faulting on it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/host/memory.h"

namespace nimbra::dialup {

class MemoryBlock {
 public:
  MemoryBlock() = default;
  MemoryBlock(const MemoryBlock&) = delete;
  MemoryBlock& operator=(const MemoryBlock&) = delete;
  ~MemoryBlock() { ReleaseMemory(); }

  // The block's address; null when there is none.
  void* Handle() const { return block_ ? block_->address : nullptr; }

  // Replaces any block by a zeroed one of `lCount` bytes, locked in RAM where the system
  // allows it. A count of 0, or a mapping the system refuses, leaves no block.
  void Allocate(size_t lCount);

  // Copies the block's first `lLength` bytes to `hWritePointer`; nothing happens when the
  // block is shorter or the destination cannot be written.
  void ReadFrom(void* hWritePointer, size_t lLength);

  // Copies `lLength` bytes from `hReadPointer` into the block; nothing happens when the block
  // is shorter or the source cannot be read.
  void WriteTo(const void* hReadPointer, size_t lLength);

  // The NUL-terminated text at `hStartPointer`, at most `lMax` characters; "" when it cannot be
  // read.
  std::string ExtractString(const void* hStartPointer, size_t lMax);

  void ReleaseMemory();

 private:
  bool holds(size_t length) const { return block_ && length <= block_->size; }

  std::optional<platform::PageBlock> block_;
};

}  // namespace nimbra::dialup
