// Reading the modern profile's input: UTF-8, with Windows-1252 for the bytes
// that do not start a complete, valid sequence.
#include <algorithm>

#include "modern.h"
#include "simd.h"
#include "unicode.h"

namespace qln::detail {
namespace {

/// Appends one byte of the input, or a whole valid sequence, as clean text.
/// Returns the number of bytes taken from `bytes`; 0 when they may begin a
/// sequence that is not complete yet (and the input goes on).
size_t ReadCharacter(ModernState* state, std::string_view bytes, bool at_end, std::string* text) {
  const unsigned char byte = static_cast<unsigned char>(bytes[0]);
  if (byte < 0x80) {
    if (byte == '\r') {
      text->push_back('\n');
      state->after_cr = true;
      return 1;
    }
    if (!(byte == '\n' && state->after_cr) && byte != '\0')
      text->push_back(static_cast<char>(byte));
    state->after_cr = false;
    return 1;
  }
  state->after_cr = false;
  char32_t code;
  const size_t length = DecodeUtf8(bytes, &code);
  if (length > 0) {
    // A byte-order mark before the text is not part of it.
    if (!(code == 0xFEFF && state->at_input_start)) text->append(bytes.substr(0, length));
    return length;
  }
  if (!at_end && bytes.size() < 4 && IsUtf8Prefix(bytes)) return 0;
  AppendUtf8(Windows1252(byte), text);
  return 1;
}

}  // namespace

void ReadModernInput(ModernState* state, std::string_view bytes, bool at_end, std::string* text) {
  if (!state->held_bytes.empty()) {
    // A sequence that the last piece cut: it is complete, or shown not to
    // be, within three more bytes.
    const size_t held = state->held_bytes.size();
    const size_t borrowed = std::min<size_t>(bytes.size(), 3);
    const std::string joined = state->held_bytes + std::string(bytes.substr(0, borrowed));
    state->held_bytes.clear();
    const bool nothing_follows = at_end && borrowed == bytes.size();
    size_t at = 0;
    while (at < held) {
      const size_t taken =
          ReadCharacter(state, std::string_view(joined).substr(at), nothing_follows, text);
      if (taken == 0) {
        state->held_bytes = joined.substr(at);  // all of this short piece
        return;
      }
      state->at_input_start = false;
      at += taken;
    }
    bytes.remove_prefix(at - held);
  }
  while (!bytes.empty()) {
    // Plain ASCII text is copied in runs (but for a LF that ends a CR LF).
    const size_t plain = state->after_cr && bytes[0] == '\n'
                             ? 0
                             : simd::AsciiRunLength(bytes.data(), bytes.data() + bytes.size());
    if (plain > 0) {
      text->append(bytes.substr(0, plain));
      bytes.remove_prefix(plain);
      state->after_cr = false;
      state->at_input_start = false;
      continue;
    }
    const size_t taken = ReadCharacter(state, bytes, at_end, text);
    if (taken == 0) {
      state->held_bytes = std::string(bytes);
      return;
    }
    state->at_input_start = false;
    bytes.remove_prefix(taken);
  }
}

size_t TakeUnchangedInput(ModernState* state, std::string_view bytes) {
  if (!state->held_bytes.empty() || (state->after_cr && !bytes.empty() && bytes[0] == '\n'))
    return 0;
  size_t at = 0;
  for (;;) {
    at += simd::AsciiRunLength(bytes.data() + at, bytes.data() + bytes.size());
    if (at == bytes.size() || static_cast<unsigned char>(bytes[at]) < 0x80) break;  // CR, zero
    char32_t code;
    const size_t length = DecodeUtf8(bytes.substr(at), &code);
    if (length == 0 || (code == 0xFEFF && at == 0 && state->at_input_start)) break;
    at += length;
  }
  if (at > 0) {
    state->after_cr = false;
    state->at_input_start = false;
  }
  return at;
}

}  // namespace qln::detail
