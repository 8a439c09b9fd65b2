// SPDX-License-Identifier: MIT
// Memory the program manages itself: a block of pages locked in RAM, and copies to and from
// addresses that a caller hands over and that may not be usable. Such an address is never
// dereferenced: the kernel copies through it on the process's behalf (process_vm_readv and
// process_vm_writev on this very process), and reports a page that is not mapped, or not
// readable or writable, as an error instead of a fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace nimbra::platform {

struct PageBlock {
  uint8_t* address = nullptr;
  size_t size = 0;
  bool locked = false;  // false when the system refused to lock it (RLIMIT_MEMLOCK)
};

// Maps `size` bytes of zeroed, readable and writable memory and locks them in RAM. A refused
// lock leaves a usable, unlocked block. Nothing for a size of 0 or when the mapping fails.
std::optional<PageBlock> map_locked_block(size_t size);

// Unlocks and unmaps the block.
void unmap_block(const PageBlock& block);

// Fills `destination` from `source`. False, with `destination` untouched, when any byte of the
// source cannot be read.
bool copy_from_address(std::span<uint8_t> destination, const void* source);

// Copies `source` to `destination`. False, with nothing written, when any byte of the
// destination cannot be written.
bool copy_to_address(void* destination, std::span<const uint8_t> source);

// The NUL-terminated text at `start`, at most `max_length` characters. Nothing when a byte
// before the NUL (or before `max_length`) cannot be read.
std::optional<std::string> read_text_at_address(const void* start, size_t max_length);

}  // namespace nimbra::platform
