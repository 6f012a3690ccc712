#pragma once
// A fixed-size array of plain values that starts all zero, in memory from AllocateZeroed: large
// arrays are fresh pages, not written until used (common/zeroed_memory.h).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "common/zeroed_memory.h"

namespace terrak {

template <typename T>
class ZeroedArray {
  static_assert(std::is_trivially_copyable_v<T>, "values are copied as bytes, start as zero bytes");

 public:
  ZeroedArray() = default;
  explicit ZeroedArray(std::size_t size) {
    if (size > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    data_ = static_cast<T*>(AllocateZeroed(size * sizeof(T)));
    size_ = size;
  }
  ZeroedArray(const ZeroedArray& other) : ZeroedArray(other.size_) {
    if (size_ != 0) std::memcpy(data_, other.data_, size_ * sizeof(T));
  }
  ZeroedArray(ZeroedArray&& other) noexcept { Swap(other); }
  ~ZeroedArray() { FreeZeroed(data_, size_ * sizeof(T)); }
  ZeroedArray& operator=(ZeroedArray other) noexcept {
    Swap(other);
    return *this;
  }
  void Swap(ZeroedArray& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
  }

  // The pages made present now (common/zeroed_memory.h).
  void MakePresent() noexcept { terrak::MakePresent(data_, size_ * sizeof(T)); }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }

  friend bool operator==(const ZeroedArray& a, const ZeroedArray& b) {
    return a.size_ == b.size_ && std::equal(a.begin(), a.end(), b.begin());
  }

 private:
  T* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace terrak
