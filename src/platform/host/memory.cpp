// SPDX-License-Identifier: MIT
#include "platform/host/memory.h"

#include <sys/mman.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace nimbra::platform {

namespace {

// A copy between two ranges of this process that goes through the kernel. A refused system
// call (a sandbox without it) counts as an unusable address: the copy is then never made.
bool kernel_read(void* local, const void* remote, size_t length) {
  if (length == 0) return true;
  iovec to{local, length};
  iovec from{const_cast<void*>(remote), length};
  return ::process_vm_readv(::getpid(), &to, 1, &from, 1, 0) == static_cast<ssize_t>(length);
}

bool kernel_write(void* remote, const void* local, size_t length) {
  if (length == 0) return true;
  iovec from{const_cast<void*>(local), length};
  iovec to{remote, length};
  return ::process_vm_writev(::getpid(), &from, 1, &to, 1, 0) == static_cast<ssize_t>(length);
}

size_t page_size() {
  static const size_t size = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  return size;
}

}  // namespace

std::optional<PageBlock> map_locked_block(size_t size) {
  if (size == 0) return std::nullopt;
  void* address = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (address == MAP_FAILED) return std::nullopt;
  const bool locked = ::mlock(address, size) == 0;
  return PageBlock{static_cast<uint8_t*>(address), size, locked};
}

void unmap_block(const PageBlock& block) {
  if (block.address == nullptr) return;
  if (block.locked) ::munlock(block.address, block.size);
  ::munmap(block.address, block.size);
}

bool copy_from_address(std::span<uint8_t> destination, const void* source) {
  // Through a scratch buffer, so that a copy that fails half way leaves the destination alone.
  std::vector<uint8_t> scratch(destination.size());
  if (!kernel_read(scratch.data(), source, scratch.size())) return false;
  std::copy(scratch.begin(), scratch.end(), destination.begin());
  return true;
}

bool copy_to_address(void* destination, std::span<const uint8_t> source) {
  // Writing the destination's own bytes back proves every page writable without changing it;
  // only then is the real copy made, so a refused copy writes nothing.
  std::vector<uint8_t> current(source.size());
  if (!kernel_read(current.data(), destination, current.size())) return false;
  if (!kernel_write(destination, current.data(), current.size())) return false;
  return kernel_write(destination, source.data(), source.size());
}

std::optional<std::string> read_text_at_address(const void* start, size_t max_length) {
  std::string text;
  auto address = reinterpret_cast<uintptr_t>(start);
  // Page by page, so that a readable text that ends just before an unmapped page is read.
  while (text.size() < max_length) {
    const size_t to_page_end = page_size() - address % page_size();
    const size_t chunk = std::min(to_page_end, max_length - text.size());
    std::vector<char> bytes(chunk);
    if (!kernel_read(bytes.data(), reinterpret_cast<const void*>(address), chunk)) {
      return std::nullopt;
    }
    const auto nul = std::find(bytes.begin(), bytes.end(), '\0');
    text.append(bytes.begin(), nul);
    if (nul != bytes.end()) break;
    address += chunk;
  }
  return text;
}

}  // namespace nimbra::platform
