// A growable run of bytes whose room is never cleared: the kernels and the
// formatter reserve room at its end, write into it directly and then say
// where their writing ended.
#ifndef QLN_ENGINE_BYTE_BUFFER_H_
#define QLN_ENGINE_BYTE_BUFFER_H_

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace qln::detail {

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

  std::string_view view() const { return std::string_view(data_.get(), size_); }
  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }
  void clear() { size_ = 0; }

  /// Room for `more` bytes at the end: returns where they go. Writing past
  /// them is not allowed; Commit then says where the writing ended.
  char* Reserve(size_t more) {
    if (capacity_ - size_ < more) Grow(more);
    return data_.get() + size_;
  }
  /// The bytes written into the reserved room up to `end` are now its last.
  void Commit(const char* end) { size_ = static_cast<size_t>(end - data_.get()); }

  void append(std::string_view text) {
    char* room = Reserve(text.size());
    if (!text.empty()) std::memcpy(room, text.data(), text.size());
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
  char back() const { return data_[size_ - 1]; }
  const char* data() const { return data_.get(); }

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
