// The HTML tokenizer of the modern profile, one small function per state as
// HTML describes them. Each state function reads the text at `at` and
// returns how many bytes it took; 0 means it only changed the state, and the
// same byte is read again in the new one. All state lives in ModernState, so
// that the tokenizer stops at the end of a piece and goes on with the next.
#include <algorithm>
#include <cstdint>

#include "modern.h"
#include "modern_token.h"
#include "modern_tree.h"
#include "simd.h"
#include "unicode.h"

namespace qln::detail {

char32_t NumericReferenceCharacter(uint32_t number) {
  if (number == 0 || number > 0x10FFFF || (number >= 0xD800 && number <= 0xDFFF))
    return kReplacementCharacter;
  if (number >= 0x80 && number <= 0x9F) {
    // Windows-1252's characters; the five codes it leaves out stay the
    // control characters they are, which the text drops.
    const char32_t character = Windows1252(static_cast<uint8_t>(number));
    return character == kReplacementCharacter ? number : character;
  }
  return number;
}

namespace {

constexpr size_t kMaxNameLength = 32;  // of a tag name kept

using State = TokenizerState;

ModernState& S(const ModernRun& run) { return *run.state; }

void StartTag(const ModernRun& run, bool end) { ResetTag(&S(run).tag, end); }

void StartAttribute(const ModernRun& run) { EndAttribute(&S(run).tag); }

void EmitTag(const ModernRun& run) {
  EndAttribute(&S(run).tag);
  S(run).state = State::kData;
  OnTag(run, S(run).tag);  // may switch to a text-only state
}

/// Text, or an attribute value's characters when a reference returns to one.
void EmitText(const ModernRun& run, std::string_view text) {
  switch (S(run).return_state) {
    case State::kAttributeValueDoubleQuoted:
    case State::kAttributeValueSingleQuoted:
    case State::kAttributeValueUnquoted:
      AppendToValue(&S(run).tag, text);
      break;
    case State::kTextOnly:
      OnText(run, text, true);
      break;
    default:
      OnText(run, text, false);
      break;
  }
}

bool InAttribute(const ModernState& state) {
  return state.return_state == State::kAttributeValueDoubleQuoted ||
         state.return_state == State::kAttributeValueSingleQuoted ||
         state.return_state == State::kAttributeValueUnquoted;
}

/// A "&" seen in the state `from`: a character reference may follow.
size_t BeginReference(const ModernRun& run, State from) {
  S(run).return_state = from;
  S(run).buffer.clear();
  S(run).state = State::kCharacterReference;
  return 1;
}

// The next states a state often goes to. A state may read on in one of them
// at once (a plain call), rather than through the dispatch of Tokenize.
size_t TagOpen(const ModernRun& run, std::string_view text, size_t at);
size_t TagName(const ModernRun& run, std::string_view text, size_t at);
size_t AttributeName(const ModernRun& run, std::string_view text, size_t at);

/// `taken` bytes, then what `next` takes from the byte after them, if any.
size_t ThenIn(size_t (*next)(const ModernRun&, std::string_view, size_t), const ModernRun& run,
              std::string_view text, size_t at, size_t taken) {
  return at + taken < text.size() ? taken + next(run, text, at + taken) : taken;
}

// Data: text, up to the next "<" or "&".
size_t Data(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (c == '<') {
    S(run).state = State::kTagOpen;
    return ThenIn(TagOpen, run, text, at, 1);
  }
  if (c == '&') return BeginReference(run, State::kData);
  const std::string_view rest = text.substr(at);
  const size_t length = std::min(rest.size(), simd::FindEither(rest, '<', '&'));
  OnText(run, rest.substr(0, length), false);
  return length;
}

// Text-only content (title, textarea, script, style): text up to the end tag
// that ends it; references decoded where the element says so.
size_t TextOnly(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (c == '<') {
    S(run).state = State::kTextOnlyLessThan;
    return 1;
  }
  const bool decodes = S(run).text_only_decodes;
  if (c == '&' && decodes) return BeginReference(run, State::kTextOnly);
  // A "&" is text like any other where references are not decoded. Where
  // the text is dropped as well (script, style), so is a "<" that begins
  // neither an end tag nor an escape ("</", "<!"): the text goes on past it,
  // as TextOnlyLessThan would go back here.
  const bool dropped = !decodes && !S(run).text_only_kept;
  const char reference = decodes ? '&' : '<';
  size_t end = at + 1;
  for (;;) {
    end += std::min(text.size() - end, simd::FindEither(text.substr(end), '<', reference));
    if (!dropped || end + 1 >= text.size() || text[end + 1] == '/' || text[end + 1] == '!') break;
    end++;
  }
  OnText(run, text.substr(at, end - at), true);
  return end - at;
}

size_t TextOnlyLessThan(const ModernRun& run, std::string_view text, size_t at) {
  if (text[at] == '/') {
    S(run).buffer.clear();
    S(run).state = State::kTextOnlyEndTagOpen;
    return 1;
  }
  if (text[at] == '!' && S(run).text_only_end == "script") {
    S(run).state = State::kScriptEscapeStart;  // its text is dropped: "<!" too
    return 1;
  }
  OnText(run, "<", true);
  S(run).state = State::kTextOnly;
  return 0;
}

/// The state text-only content goes back to after a "<" that began no end
/// tag of its element.
State TextOnlyRest(const ModernState& state) {
  return state.script_escape == ModernState::ScriptEscape::kNone ? State::kTextOnly
                                                                 : State::kScriptEscaped;
}

size_t TextOnlyEndTagOpen(const ModernRun& run, std::string_view text, size_t at) {
  if (IsAsciiAlpha(text[at])) {
    S(run).state = State::kTextOnlyEndTagName;
    return 0;
  }
  OnText(run, "</", true);
  S(run).state = TextOnlyRest(S(run));
  return 0;
}

// The name of what may be the end tag of text-only content: it is, when it
// names the element that began it and ends like a tag name.
size_t TextOnlyEndTagName(const ModernRun& run, std::string_view text, size_t at) {
  ModernState& state = S(run);
  const char c = text[at];
  if (IsAsciiAlpha(c) && state.buffer.size() < kMaxNameLength) {
    state.buffer.push_back(c);
    return 1;
  }
  std::string lower;
  for (char b : state.buffer) lower.push_back(ToLowerAscii(b));
  if (lower == state.text_only_end && (IsTagSpace(c) || c == '/' || c == '>')) {
    StartTag(run, true);
    state.tag.name = lower;
    state.state = IsTagSpace(c) ? State::kBeforeAttributeName
                  : c == '/'    ? State::kSelfClosingStartTag
                                : State::kData;
    if (c == '>') {
      EmitTag(run);
    }
    return 1;
  }
  std::string written = "</";
  written += state.buffer;
  OnText(run, written, true);
  state.state = TextOnlyRest(state);
  return 0;
}

// Script text after "<!": "--" escapes it ("<!-->" and "<!--->" end at once).
size_t ScriptEscapeStart(const ModernRun& run, std::string_view text, size_t at) {
  if (text[at] != '-') {
    S(run).state = State::kTextOnly;
    return 0;
  }
  S(run).state = State::kScriptEscapeStartDash;
  return 1;
}

size_t ScriptEscapeStartDash(const ModernRun& run, std::string_view text, size_t at) {
  if (text[at] != '-') {
    S(run).state = State::kTextOnly;
    return 0;
  }
  S(run).script_escape = ModernState::ScriptEscape::kEscaped;
  S(run).state = State::kScriptEscapedDashDash;
  return 1;
}

// Escaped script text: up to a "-" that may begin its "-->", or a "<".
size_t ScriptEscaped(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (c == '-' || c == '<') {
    S(run).state = c == '-' ? State::kScriptEscapedDash : State::kScriptEscapedLessThan;
    return 1;
  }
  const std::string_view rest = text.substr(at + 1);
  return 1 + std::min(rest.size(), simd::FindEither(rest, '-', '<'));
}

size_t ScriptEscapedDash(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  S(run).state = c == '-'   ? State::kScriptEscapedDashDash
                 : c == '<' ? State::kScriptEscapedLessThan
                            : State::kScriptEscaped;
  return 1;
}

// After "--": a ">" ends the escape, whether double or not.
size_t ScriptEscapedDashDash(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (c == '-') return 1;
  if (c == '>') {
    S(run).script_escape = ModernState::ScriptEscape::kNone;
    S(run).state = State::kTextOnly;
    return 1;
  }
  S(run).state = c == '<' ? State::kScriptEscapedLessThan : State::kScriptEscaped;
  return 1;
}

// A "<" in escaped script text: "</" may end the script, and "<" and a name
// may begin a nested script. In double escaped text only "</" and a name
// count, which may end the nested one.
size_t ScriptEscapedLessThan(const ModernRun& run, std::string_view text, size_t at) {
  ModernState& state = S(run);
  const char c = text[at];
  const bool double_escaped = state.script_escape == ModernState::ScriptEscape::kDoubleEscaped;
  if (c == '/') {
    state.buffer.clear();
    state.state = double_escaped ? State::kScriptEscapeName : State::kTextOnlyEndTagOpen;
    return 1;
  }
  if (!double_escaped && IsAsciiAlpha(c)) {
    state.buffer.clear();
    state.state = State::kScriptEscapeName;
    return 0;
  }
  state.state = State::kScriptEscaped;
  return 0;
}

// The name after "<" in escaped text, or after "</" in double escaped text:
// "script", ended as a tag name is, turns the escape double, or back.
size_t ScriptEscapeName(const ModernRun& run, std::string_view text, size_t at) {
  ModernState& state = S(run);
  const char c = text[at];
  if (IsAsciiAlpha(c)) {
    if (state.buffer.size() < kMaxNameLength) state.buffer.push_back(ToLowerAscii(c));
    return 1;
  }
  state.state = State::kScriptEscaped;
  if (!(IsTagSpace(c) || c == '/' || c == '>')) return 0;
  if (state.buffer == "script")
    state.script_escape = state.script_escape == ModernState::ScriptEscape::kEscaped
                              ? ModernState::ScriptEscape::kDoubleEscaped
                              : ModernState::ScriptEscape::kEscaped;
  return 1;
}

size_t TagOpen(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (c == '!') {
    S(run).state = State::kMarkupDeclarationOpen;
    return 1;
  }
  if (c == '/') {
    S(run).state = State::kEndTagOpen;
    return 1;
  }
  if (IsAsciiAlpha(c)) {
    StartTag(run, false);
    S(run).state = State::kTagName;
    return TagName(run, text, at);
  }
  if (c == '?') {
    S(run).state = State::kBogusComment;
    return 0;
  }
  // Not a tag: the "<" is text.
  OnText(run, "<", false);
  S(run).state = State::kData;
  return 0;
}

size_t EndTagOpen(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (IsAsciiAlpha(c)) {
    StartTag(run, true);
    S(run).state = State::kTagName;
    return 0;
  }
  if (c == '>') {  // "</>" is nothing
    S(run).state = State::kData;
    return 1;
  }
  S(run).state = State::kBogusComment;
  return 0;
}

size_t TagName(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (IsTagSpace(c)) {
    S(run).state = State::kBeforeAttributeName;
  } else if (c == '/') {
    S(run).state = State::kSelfClosingStartTag;
  } else if (c == '>') {
    EmitTag(run);
  } else {
    // The name's characters up to what ends it, lower-cased; a ">" right
    // after them ends the tag.
    const size_t length = NameLength(text.substr(at), false);
    AppendLowerCase(text.substr(at, length), &S(run).tag.name);
    if (at + length < text.size() && text[at + length] == '>') {
      EmitTag(run);
      return length + 1;
    }
    return length;
  }
  return 1;
}

size_t BeforeAttributeName(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (IsTagSpace(c)) return 1;
  if (c == '/' || c == '>') {
    S(run).state = State::kAfterAttributeName;
    return 0;
  }
  StartAttribute(run);
  S(run).state = State::kAttributeName;
  if (c == '=') {  // a name that begins with "="
    S(run).tag.attribute_name.push_back(c);
    return 1;
  }
  return AttributeName(run, text, at);
}

size_t AttributeName(const ModernRun& run, std::string_view text, size_t at) {
  TagToken& tag = S(run).tag;
  const char c = text[at];
  if (IsTagSpace(c) || c == '/' || c == '>') {
    NameComplete(&tag);
    S(run).state = State::kAfterAttributeName;
    return 0;
  }
  if (c == '=') {
    NameComplete(&tag);
    S(run).state = State::kBeforeAttributeValue;
    return 1;
  }
  const size_t length = NameLength(text.substr(at), true);
  AppendLowerCase(text.substr(at, length), &tag.attribute_name);
  return length;
}

size_t AfterAttributeName(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (IsTagSpace(c)) return 1;
  if (c == '/') {
    S(run).state = State::kSelfClosingStartTag;
    return 1;
  }
  if (c == '=') {
    S(run).state = State::kBeforeAttributeValue;
    return 1;
  }
  if (c == '>') {
    EmitTag(run);
    return 1;
  }
  StartAttribute(run);
  S(run).state = State::kAttributeName;
  return 0;
}

size_t BeforeAttributeValue(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (IsTagSpace(c)) return 1;
  if (c == '"') {
    S(run).state = State::kAttributeValueDoubleQuoted;
    return 1;
  }
  if (c == '\'') {
    S(run).state = State::kAttributeValueSingleQuoted;
    return 1;
  }
  if (c == '>') {  // a missing value
    EmitTag(run);
    return 1;
  }
  S(run).state = State::kAttributeValueUnquoted;
  return 0;
}

/// A quoted value: up to its closing quote, references decoded.
size_t QuotedValue(const ModernRun& run, std::string_view text, size_t at, char quote, State self) {
  const char c = text[at];
  if (c == quote) {
    S(run).state = State::kAfterAttributeValueQuoted;
    return 1;
  }
  const std::string_view rest = text.substr(at);
  if (!S(run).tag.keeping_value) {
    // A value no one reads: straight to its closing quote (no reference
    // holds one).
    const size_t close = rest.find(quote);
    if (close == std::string_view::npos) return rest.size();
    S(run).state = State::kAfterAttributeValueQuoted;
    return close + 1;
  }
  if (c == '&') return BeginReference(run, self);
  const size_t length = std::min(rest.size(), simd::FindEither(rest, quote, '&'));
  AppendToValue(&S(run).tag, rest.substr(0, length));
  return length;
}

size_t AttributeValueDoubleQuoted(const ModernRun& run, std::string_view text, size_t at) {
  return QuotedValue(run, text, at, '"', State::kAttributeValueDoubleQuoted);
}

size_t AttributeValueSingleQuoted(const ModernRun& run, std::string_view text, size_t at) {
  return QuotedValue(run, text, at, '\'', State::kAttributeValueSingleQuoted);
}

size_t AttributeValueUnquoted(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (IsTagSpace(c)) {
    S(run).state = State::kBeforeAttributeName;
  } else if (c == '&') {
    return BeginReference(run, State::kAttributeValueUnquoted);
  } else if (c == '>') {
    EmitTag(run);
  } else {
    AppendToValue(&S(run).tag, text.substr(at, 1));
  }
  return 1;
}

size_t AfterAttributeValueQuoted(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (IsTagSpace(c)) {
    S(run).state = State::kBeforeAttributeName;
    return 1;
  }
  if (c == '/') {
    S(run).state = State::kSelfClosingStartTag;
    return 1;
  }
  if (c == '>') {
    EmitTag(run);
    return 1;
  }
  S(run).state = State::kBeforeAttributeName;
  return 0;
}

size_t SelfClosingStartTag(const ModernRun& run, std::string_view text, size_t at) {
  if (text[at] == '>') {
    S(run).tag.self_closing = true;
    EmitTag(run);
    return 1;
  }
  S(run).state = State::kBeforeAttributeName;
  return 0;
}

// Doctypes, processing instructions, CDATA and other "<!" and "<?" markup:
// nothing, up to the next ">".
size_t BogusComment(const ModernRun& run, std::string_view text, size_t at) {
  const size_t close = text.find('>', at);
  if (close == std::string_view::npos) return text.size() - at;
  S(run).state = State::kData;
  return close + 1 - at;
}

size_t MarkupDeclarationOpen(const ModernRun& run, std::string_view text, size_t at) {
  if (text[at] == '-') {
    S(run).state = State::kMarkupDeclarationDash;
    return 1;
  }
  S(run).state = State::kBogusComment;
  return 0;
}

size_t MarkupDeclarationDash(const ModernRun& run, std::string_view text, size_t at) {
  if (text[at] == '-') {
    S(run).state = State::kCommentStart;
    return 1;
  }
  S(run).state = State::kBogusComment;
  return 0;
}

size_t CommentStart(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (c == '-') {
    S(run).state = State::kCommentStartDash;
    return 1;
  }
  S(run).state = c == '>' ? State::kData : State::kComment;  // "<!-->" ends at once
  return c == '>' ? 1 : 0;
}

size_t CommentStartDash(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (c == '-') {
    S(run).state = State::kCommentEnd;
    return 1;
  }
  S(run).state = c == '>' ? State::kData : State::kComment;  // "<!--->" too
  return c == '>' ? 1 : 0;
}

// A comment's text, up to the next "-".
size_t Comment(const ModernRun& run, std::string_view text, size_t at) {
  const size_t dash = text.find('-', at);
  if (dash == std::string_view::npos) return text.size() - at;
  S(run).state = State::kCommentEndDash;
  return dash + 1 - at;
}

size_t CommentEndDash(const ModernRun& run, std::string_view text, size_t at) {
  if (text[at] == '-') {
    S(run).state = State::kCommentEnd;
    return 1;
  }
  S(run).state = State::kComment;
  return 0;
}

size_t CommentEnd(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (c == '>') {
    S(run).state = State::kData;
    return 1;
  }
  if (c == '!') {
    S(run).state = State::kCommentEndBang;
    return 1;
  }
  if (c == '-') return 1;
  S(run).state = State::kComment;
  return 0;
}

size_t CommentEndBang(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (c == '-') {
    S(run).state = State::kCommentEndDash;
    return 1;
  }
  S(run).state = c == '>' ? State::kData : State::kComment;
  return c == '>' ? 1 : 0;
}

/// Ends a reference that is not one: "&" and what it read stay as written.
void GiveUpReference(const ModernRun& run) {
  std::string written = "&";
  written += S(run).buffer;
  S(run).state = S(run).return_state;
  EmitText(run, written);
}

size_t CharacterReference(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (IsAsciiAlphanumeric(c)) {
    S(run).state = State::kNamedCharacterReference;
    return 0;
  }
  if (c == '#') {
    S(run).buffer.assign(1, '#');
    S(run).state = State::kNumericCharacterReference;
    return 1;
  }
  GiveUpReference(run);
  return 0;
}

/// Decides a named reference whose letters and digits have been read, with
/// `next` the character after them (0 at the end of the input). Returns
/// whether `next` was taken (the ";" of the name).
bool ResolveNamedReference(const ModernRun& run, char next) {
  ModernState& state = S(run);
  std::string candidate = state.buffer;
  if (next == ';') candidate.push_back(';');
  const NamedReference* found = LongestNamedReference(candidate);
  if (found == nullptr) {
    GiveUpReference(run);  // an unknown reference stays as written
    return false;
  }
  const size_t length = found->name.size();
  const bool with_semicolon = found->name.back() == ';';
  // In an attribute, a name without its ";" followed by "=" or a letter or
  // digit is not a reference: "?a=1&copy=2" keeps its query.
  const char after = length < state.buffer.size() ? state.buffer[length] : next;
  if (!with_semicolon && InAttribute(state) && (after == '=' || IsAsciiAlphanumeric(after))) {
    GiveUpReference(run);
    return false;
  }
  const std::string rest = with_semicolon ? "" : state.buffer.substr(length);
  state.state = state.return_state;
  EmitText(run, found->text);
  if (!rest.empty()) EmitText(run, rest);
  return with_semicolon;
}

size_t NamedCharacterReference(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (IsAsciiAlphanumeric(c) && S(run).buffer.size() < kLongestReferenceName) {
    S(run).buffer.push_back(c);
    return 1;
  }
  return ResolveNamedReference(run, c) ? 1 : 0;
}

size_t NumericCharacterReference(const ModernRun& run, std::string_view text, size_t at) {
  S(run).reference_number = 0;
  const char c = text[at];
  if (c == 'x' || c == 'X') {
    S(run).buffer.push_back(c);
    S(run).state = State::kHexadecimalStart;
    return 1;
  }
  if (IsAsciiDigit(c)) {
    S(run).state = State::kDecimalDigits;
    return 0;
  }
  GiveUpReference(run);
  return 0;
}

size_t HexadecimalStart(const ModernRun& run, std::string_view text, size_t at) {
  if (IsHexDigit(text[at])) {
    S(run).state = State::kHexadecimalDigits;
    return 0;
  }
  GiveUpReference(run);
  return 0;
}

/// Ends a numeric reference whose digits have been read; a ";" after them
/// belongs to it.
size_t EndNumericReference(const ModernRun& run, char next) {
  std::string character;
  AppendUtf8(NumericReferenceCharacter(S(run).reference_number), &character);
  S(run).state = S(run).return_state;
  EmitText(run, character);
  return next == ';' ? 1 : 0;
}

size_t DecimalDigits(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (!IsAsciiDigit(c)) return EndNumericReference(run, c);
  S(run).reference_number = WithDigit(S(run).reference_number, 10, c);
  return 1;
}

size_t HexadecimalDigits(const ModernRun& run, std::string_view text, size_t at) {
  const char c = text[at];
  if (!IsHexDigit(c)) return EndNumericReference(run, c);
  S(run).reference_number = WithDigit(S(run).reference_number, 16, c);
  return 1;
}

using StateFunction = size_t (*)(const ModernRun&, std::string_view, size_t);

// In the order of TokenizerState.
constexpr StateFunction kStates[] = {
    Data,
    TextOnly,
    TextOnlyLessThan,
    TextOnlyEndTagOpen,
    TextOnlyEndTagName,
    ScriptEscapeStart,
    ScriptEscapeStartDash,
    ScriptEscaped,
    ScriptEscapedDash,
    ScriptEscapedDashDash,
    ScriptEscapedLessThan,
    ScriptEscapeName,
    TagOpen,
    EndTagOpen,
    TagName,
    BeforeAttributeName,
    AttributeName,
    AfterAttributeName,
    BeforeAttributeValue,
    AttributeValueDoubleQuoted,
    AttributeValueSingleQuoted,
    AttributeValueUnquoted,
    AfterAttributeValueQuoted,
    SelfClosingStartTag,
    BogusComment,
    MarkupDeclarationOpen,
    MarkupDeclarationDash,
    CommentStart,
    CommentStartDash,
    Comment,
    CommentEndDash,
    CommentEnd,
    CommentEndBang,
    CharacterReference,
    NamedCharacterReference,
    NumericCharacterReference,
    HexadecimalStart,
    DecimalDigits,
    HexadecimalDigits,
};
static_assert(std::size(kStates) == static_cast<size_t>(State::kHexadecimalDigits) + 1);

}  // namespace

size_t TokenizerStep(const ModernRun& run, std::string_view text, size_t at) {
  return kStates[static_cast<size_t>(S(run).state)](run, text, at);
}

void Tokenize(const ModernRun& run, std::string_view text) {
  if (run.settings.Scan != ScanWay::kRulesOnly) return TokenizeInBlocks(run, text);
  size_t at = 0;
  while (at < text.size()) at += TokenizerStep(run, text, at);
}

void FinishTokenizer(const ModernRun& run) {
  ModernState& state = S(run);
  switch (state.state) {
    case State::kTagOpen:
      OnText(run, "<", false);
      break;
    case State::kEndTagOpen:
      OnText(run, "</", false);
      break;
    case State::kTextOnlyLessThan:
      OnText(run, "<", true);
      break;
    case State::kTextOnlyEndTagOpen:
      OnText(run, "</", true);
      break;
    case State::kTextOnlyEndTagName: {
      std::string written = "</";
      written += state.buffer;
      OnText(run, written, true);
      break;
    }
    case State::kCharacterReference:
    case State::kNumericCharacterReference:
    case State::kHexadecimalStart:
      GiveUpReference(run);
      break;
    case State::kNamedCharacterReference:
      ResolveNamedReference(run, '\0');
      break;
    case State::kDecimalDigits:
    case State::kHexadecimalDigits:
      EndNumericReference(run, '\0');
      break;
    default:
      break;  // a tag or comment cut off by the end is dropped
  }
  state.state = State::kData;
}

}  // namespace qln::detail
