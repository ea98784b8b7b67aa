// A growable run of bytes whose room is never cleared: the kernels and the
// formatter reserve room at its end, write into it directly and then say
// where their writing ended.
#ifndef QLN_ENGINE_BYTE_BUFFER_H_
#define QLN_ENGINE_BYTE_BUFFER_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

namespace qln::detail {

/// memcpy, with the short copies most appends make done in place: two
/// overlapping loads and stores rather than a call.
inline void CopyBytes(char* to, const char* from, size_t size) {
  if (size >= 16) {
    std::memcpy(to, from, size);
  } else if (size >= 8) {
    uint64_t head, tail;
    std::memcpy(&head, from, 8);
    std::memcpy(&tail, from + size - 8, 8);
    std::memcpy(to, &head, 8);
    std::memcpy(to + size - 8, &tail, 8);
  } else if (size >= 4) {
    uint32_t head, tail;
    std::memcpy(&head, from, 4);
    std::memcpy(&tail, from + size - 4, 4);
    std::memcpy(to, &head, 4);
    std::memcpy(to + size - 4, &tail, 4);
  } else if (size > 0) {
    to[0] = from[0];
    to[size / 2] = from[size / 2];
    to[size - 1] = from[size - 1];
  }
}

class ByteBuffer {
 public:
  ByteBuffer() = default;
  ByteBuffer(const ByteBuffer& other) { append(other.view()); }
  ByteBuffer& operator=(const ByteBuffer& other) {
    if (this != &other) {
      clear();
      append(other.view());
    }
    return *this;
  }

  ByteBuffer& operator=(std::string_view text) {
    assign(text);
    return *this;
  }

  std::string_view view() const { return std::string_view(data_.get(), size_); }
  operator std::string_view() const { return view(); }  // NOLINT: reads as its text
  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }
  void clear() { size_ = 0; }
  void reserve(size_t capacity) {
    if (capacity > capacity_) Grow(capacity - size_);
  }
  void assign(std::string_view text) {
    clear();
    append(text);
  }
  void assign(size_t count, char c) {
    clear();
    append(count, c);
  }

  /// Room for `more` bytes at the end: returns where they go. Writing past
  /// them is not allowed; Commit then says where the writing ended.
  char* Reserve(size_t more) {
    if (capacity_ - size_ < more) Grow(more);
    return data_.get() + size_;
  }
  /// The bytes written into the reserved room up to `end` are now its last.
  void Commit(const char* end) { size_ = static_cast<size_t>(end - data_.get()); }

  void append(std::string_view text) {
    CopyBytes(Reserve(text.size()), text.data(), text.size());
    size_ += text.size();
  }
  void append(const char* text, size_t size) { append(std::string_view(text, size)); }
  void append(size_t count, char c) {
    char* room = Reserve(count);
    if (count > 0) std::memset(room, c, count);
    size_ += count;
  }
  void push_back(char c) {
    *Reserve(1) = c;
    size_++;
  }
  /// Shortens it to `size` bytes, or lengthens it with zero bytes.
  void resize(size_t size) {
    if (size > size_) append(size - size_, '\0');
    size_ = size;
  }
  char operator[](size_t i) const { return data_[i]; }
  char back() const { return data_[size_ - 1]; }
  char& back() { return data_[size_ - 1]; }
  const char* data() const { return data_.get(); }

  void swap(ByteBuffer& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
  }

  bool operator==(const ByteBuffer& other) const { return view() == other.view(); }
  friend bool operator==(const ByteBuffer& buffer, std::string_view text) {
    return buffer.view() == text;
  }

 private:
  void Grow(size_t more) {
    const size_t capacity = std::max({size_ + more, 2 * capacity_, size_t{256}});
    std::unique_ptr<char[]> data(new char[capacity]);  // left as it is: no clearing
    if (size_ > 0) std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> data_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace qln::detail

#endif  // QLN_ENGINE_BYTE_BUFFER_H_
