// The modern tokenizer by blocks: the text classified by the kernel, runs of
// text up to the next markup taken at once, and whole tags read in one go, as
// the tokenizer's states would read them. What it cannot take so goes
// through the states one step at a time.
#include <algorithm>
#include <cstring>

#include "blocks.h"
#include "kernels.h"
#include "modern.h"
#include "modern_token.h"
#include "modern_tree.h"
#include "unicode.h"

namespace qln::detail {
namespace {

using State = TokenizerState;

/// Reads the start or end tag at `at` ("<" and a letter, or "</" and a
/// letter) into state->tag, as the states from TagOpen to the tag's ">"
/// would, when it ends within `text` and no character reference lies in an
/// attribute value the states read (one kept, or one without quotes).
/// Returns the position after its ">", or 0 when the tag is not such a one;
/// the states then read it from its "<" (and empty the tag again).
size_t ReadWholeTag(ModernState* state, std::string_view text, size_t at) {
  const size_t n = text.size();
  size_t p = at + 1;
  const bool end = p < n && text[p] == '/';
  if (end) p++;
  if (p >= n || !IsAsciiAlpha(text[p])) return 0;
  TagToken& tag = state->tag;
  ResetTag(&tag, end);
  {
    // The name, lower-cased as it is read up to the length kept, then the
    // rest of a longer one: what NameLength and AppendLowerCase give.
    char* const name = tag.name.Reserve(kMaxTagNameLength);
    const size_t first = p;
    const size_t last_kept = std::min(n, first + kMaxTagNameLength);
    do {
      name[p - first] = ToLowerAscii(text[p]);
      p++;
    } while (p < last_kept && !(kNameEnds[static_cast<unsigned char>(text[p])] & 1));
    tag.name.Commit(name + (p - first));
    while (p < n && !(kNameEnds[static_cast<unsigned char>(text[p])] & 1)) p++;
  }
  enum class Where { kAfterTagName, kBeforeName, kName, kAfterName, kBeforeValue, kAfterValue };
  Where where = Where::kAfterTagName;
  bool after_equals = false;  // the attribute's name began with "="

  while (p < n) {
    const char c = text[p];
    switch (where) {
      case Where::kAfterTagName:  // TagName, at what ended the name
        if (c == '>') {
          EndAttribute(&tag);
          return p + 1;
        }
        if (c == '/' && p + 1 < n && text[p + 1] == '>') {  // SelfClosingStartTag
          tag.self_closing = true;
          EndAttribute(&tag);
          return p + 2;
        }
        where = Where::kBeforeName;  // after whitespace, or after a "/" read again there
        p++;
        break;
      case Where::kBeforeName:  // BeforeAttributeName
        if (IsTagSpace(c)) {
          p++;
        } else if (c == '/' || c == '>') {
          where = Where::kAfterName;
        } else {
          EndAttribute(&tag);
          where = Where::kName;
          after_equals = c == '=';  // a name that begins with "="
          if (after_equals) p++;
        }
        break;
      case Where::kName: {  // AttributeName, the whole name at once
        // Only a kept attribute's name is written down: the others' are
        // emptied again when the attribute ends, and no value of theirs is
        // kept.
        const bool ends = IsTagSpace(c) || c == '/' || c == '>' || c == '=';
        const size_t length = ends ? 0 : NameLength(text.substr(p), true);
        tag.keeping_value = !after_equals && IsKeptAttributeName(text.substr(p, length));
        if (tag.keeping_value) AppendLowerCase(text.substr(p, length), &tag.attribute_name);
        p += length;
        if (p == n) return 0;
        if (text[p] == '=') {
          where = Where::kBeforeValue;
          p++;
        } else {
          where = Where::kAfterName;
        }
        break;
      }
      case Where::kAfterName:  // AfterAttributeName
        if (IsTagSpace(c)) {
          p++;
        } else if (c == '/') {
          if (p + 1 < n && text[p + 1] == '>') {
            tag.self_closing = true;
            EndAttribute(&tag);
            return p + 2;
          }
          where = Where::kBeforeName;  // SelfClosingStartTag reads it again there
          p++;
        } else if (c == '=') {
          where = Where::kBeforeValue;
          p++;
        } else if (c == '>') {
          EndAttribute(&tag);
          return p + 1;
        } else {
          EndAttribute(&tag);
          where = Where::kName;
          after_equals = false;
        }
        break;
      case Where::kBeforeValue:  // BeforeAttributeValue and the value
        if (IsTagSpace(c)) {
          p++;
        } else if (c == '"' || c == '\'') {
          // A kept value holds no reference here; another is skipped whole.
          const void* quote = std::memchr(text.data() + p + 1, c, n - p - 1);
          if (quote == nullptr) return 0;
          const auto close = static_cast<size_t>(static_cast<const char*>(quote) - text.data());
          if (tag.keeping_value) {
            if (std::memchr(text.data() + p + 1, '&', close - p - 1) != nullptr) return 0;
            AppendToValue(&tag, text.substr(p + 1, close - p - 1));
          }
          p = close + 1;
          where = Where::kAfterValue;
        } else if (c == '>') {  // a missing value
          EndAttribute(&tag);
          return p + 1;
        } else {  // AttributeValueUnquoted
          size_t stop = p;
          while (stop < n && !IsTagSpace(text[stop]) && text[stop] != '>' && text[stop] != '&')
            stop++;
          if (stop == n || text[stop] == '&') return 0;
          AppendToValue(&tag, text.substr(p, stop - p));
          if (text[stop] == '>') {
            EndAttribute(&tag);
            return stop + 1;
          }
          p = stop + 1;
          where = Where::kBeforeName;
        }
        break;
      case Where::kAfterValue:  // AfterAttributeValueQuoted, and SelfClosingStartTag
        if (IsTagSpace(c)) {
          where = Where::kBeforeName;
          p++;
        } else if (c == '/') {
          if (p + 1 < n && text[p + 1] == '>') {
            tag.self_closing = true;
            EndAttribute(&tag);
            return p + 2;
          }
          where = Where::kBeforeName;
          p++;
        } else if (c == '>') {
          EndAttribute(&tag);
          return p + 1;
        } else {
          where = Where::kBeforeName;
        }
        break;
    }
  }
  return 0;
}

/// Reads the character reference at `at` ("&") in text as the reference
/// states would, when it is a named one whose name with its ";" is one of
/// the names, or a numeric one of up to seven digits with its ";": hands its
/// text on and returns the position after the ";", with the state left as
/// the states leave it. Returns 0 for any other, which the states then read.
size_t ReadWholeReference(const ModernRun& run, std::string_view text, size_t at) {
  ModernState& state = *run.state;
  const size_t n = text.size();
  size_t p = at + 1;
  if (p < n && text[p] == '#') {
    p++;
    const bool hex = p < n && (text[p] == 'x' || text[p] == 'X');
    if (hex) p++;
    const size_t digits = p;
    uint32_t number = 0;
    for (; p < n && p - digits < 7; p++) {
      const char c = text[p];
      if (hex ? !IsHexDigit(c) : !IsAsciiDigit(c)) break;
      number = WithDigit(number, hex ? 16 : 10, c);
    }
    if (p == digits || p == n || text[p] != ';') return 0;
    state.return_state = TokenizerState::kData;
    state.buffer.assign(text.substr(at + 1, digits - at - 1));  // "#", "#x" or "#X"
    state.reference_number = number;
    std::string character;
    AppendUtf8(NumericReferenceCharacter(number), &character);
    OnText(run, character, false);
    return p + 1;
  }
  const size_t name = p;
  while (p < n && p - name < kLongestReferenceName && IsAsciiAlphanumeric(text[p])) p++;
  if (p == name || p == n || text[p] != ';') return 0;
  // With its ";" the name is the longest a reference's can be here.
  const NamedReference* found = FindNamedReference(text.substr(name, p + 1 - name));
  if (found == nullptr) return 0;
  state.return_state = TokenizerState::kData;
  state.buffer.assign(text.substr(name, p - name));
  OnText(run, found->text, false);
  return p + 1;
}

/// Reads the comment at `at` ("<!--") as the comment states would, when it
/// ends within `text`: returns the position after its end, or 0.
size_t ReadWholeComment(std::string_view text, size_t at) {
  enum class Where { kStart, kStartDash, kComment, kEndDash, kEnd, kEndBang };
  Where where = Where::kStart;
  for (size_t p = at + 4; p < text.size();) {
    const char c = text[p];
    switch (where) {
      case Where::kStart:            // CommentStart
      case Where::kStartDash:        // CommentStartDash
        if (c == '>') return p + 1;  // "<!-->" and "<!--->" end at once
        if (c == '-') {
          where = where == Where::kStart ? Where::kStartDash : Where::kEnd;
          p++;
        } else {
          where = Where::kComment;
        }
        break;
      case Where::kComment: {  // up to the next "-"
        const void* dash = std::memchr(text.data() + p, '-', text.size() - p);
        if (dash == nullptr) return 0;
        p = static_cast<size_t>(static_cast<const char*>(dash) - text.data()) + 1;
        where = Where::kEndDash;
        break;
      }
      case Where::kEndDash:  // CommentEndDash
        if (c == '-') {
          where = Where::kEnd;
          p++;
        } else {
          where = Where::kComment;
        }
        break;
      case Where::kEnd:  // CommentEnd
        if (c == '>') return p + 1;
        if (c == '!') {
          where = Where::kEndBang;
          p++;
        } else if (c == '-') {
          p++;
        } else {
          where = Where::kComment;
        }
        break;
      case Where::kEndBang:  // CommentEndBang
        if (c == '>') return p + 1;
        if (c == '-') {
          where = Where::kEndDash;
          p++;
        } else {
          where = Where::kComment;
        }
        break;
    }
  }
  return 0;
}

}  // namespace

void TokenizeInBlocks(const ModernRun& plain_run, std::string_view text) {
  ModernState& state = *plain_run.state;
  // Past the text's end every byte reads as "<": markup.
  const Blocks<ModernMasks> blocks(text, KernelFor(plain_run.settings.Kernel).classify_modern, '<');
  ModernRun run = plain_run;
  run.masks = &blocks;
  run.masks_text = text.data();
  run.masks_size = text.size();
  size_t at = 0;
  while (at < text.size()) {
    if (state.state == State::kData) {
      const char c = text[at];
      if (c == '<') {
        if (const size_t after = ReadWholeTag(&state, text, at)) {
          OnTag(run, state.tag);  // may switch to a text-only state
          at = after;
          continue;
        }
        if (text.substr(at + 1, 3) == "!--") {
          if (const size_t after = ReadWholeComment(text, at)) {
            at = after;
            continue;
          }
        }
      } else if (c != '&') {
        const size_t stop = blocks.Next(at, &ModernMasks::markup);
        OnText(run, text.substr(at, stop - at), false);
        at = stop;
        continue;
      } else if (const size_t after = ReadWholeReference(run, text, at)) {
        at = after;
        continue;
      }
    }
    at += TokenizerStep(run, text, at);
  }
}

}  // namespace qln::detail
