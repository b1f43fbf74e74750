#include "speech/SentenceCutter.h"

#include <algorithm>

#include "speech/TextBytes.h"

namespace {
bool IsCapitalAZ(std::uint8_t b) { return b >= 'A' && b <= 'Z'; }

// A capital that may start a new sentence after ". ": A to Z and the accented capital vowels.
bool StartsSentence(std::uint8_t b) {
  return IsCapitalAZ(b) || b == 0xC1 || b == 0xC9 || b == 0xCD || b == 0xD3 || b == 0xDA;
}

// The first occurrence at or after position from (1-based), 0 when there is none.
std::int32_t Find(const std::string& text, const char* what, std::int32_t from) {
  auto p = text.find(what, static_cast<std::size_t>(std::max(from, 1) - 1));
  return p == std::string::npos ? 0 : static_cast<std::int32_t>(p + 1);
}
}  // namespace

bool ReadingAtEnd(const std::string& text, const SentenceCursor& cursor) {
  // Before the first cut nothing is consumed: only an empty text is at its end. (No cut ever
  // leaves its separator at position 1.)
  if (cursor.SentenceStart == 1 && cursor.SentenceEnd == 1) return text.empty();
  return static_cast<std::int64_t>(text.size()) <= cursor.SentenceEnd;
}

std::string CutSentence(std::string& text, SentenceCursor& c) {
  const std::int32_t len = static_cast<std::int32_t>(text.size());
  c.SentenceStart = c.SentenceEnd;
  c.SentenceEnd = 0;
  // Consumed separators, CR, LF and every other control byte before the sentence.
  while (c.SentenceStart >= 1 && c.SentenceStart <= len && ByteAt(text, c.SentenceStart) < 32) {
    SetByteAt(text, c.SentenceStart, 0);
    ++c.SentenceStart;
  }
  // Everything before the sentence is consumed: its separators and skipped bytes are 0, so
  // no line end and no full stop that would cut stands there. Searching from the sentence's
  // start finds what a search from the text's start would, at a cost that does not grow
  // as the reading goes on.
  const std::int32_t lineEnd = Find(text, "\r\n", c.SentenceStart);

  // Full-stop cut: ". " before a capital, not after an abbreviation in capitals.
  for (std::int32_t i = std::max(c.SentenceStart, 1); i + 2 <= len; ++i) {
    if (lineEnd != 0 && i >= lineEnd) break;
    if (ByteAt(text, i) != '.' || ByteAt(text, i + 1) != ' ') continue;
    if (!StartsSentence(ByteAt(text, i + 2))) continue;
    if (IsCapitalAZ(ByteAt(text, i - 2)) && IsCapitalAZ(ByteAt(text, i - 1))) continue;
    c.SentenceEnd = i + 1;
    break;
  }

  // Line-end cut, folding the blank lines that follow into blanks.
  if (c.SentenceEnd == 0 && lineEnd > 0) {
    c.SentenceEnd = lineEnd;
    while (Find(text, "\r\n\r\n", c.SentenceStart) == c.SentenceEnd) {
      SetByteAt(text, c.SentenceEnd, ' ');
      SetByteAt(text, c.SentenceEnd + 1, ' ');
      c.SentenceEnd += 2;
    }
  }
  if (c.SentenceEnd == 0) c.SentenceEnd = len + 1;

  const std::int32_t last = std::min(c.SentenceEnd, len);
  if (c.SentenceStart > last) return std::string();
  return text.substr(static_cast<std::size_t>(c.SentenceStart - 1),
                     static_cast<std::size_t>(last - c.SentenceStart + 1));
}

void ConsumeSeparator(std::string& text, const SentenceCursor& c) {
  SetByteAt(text, c.SentenceEnd, 0);
}

std::int32_t CaretStep(const std::string& text, const SentenceCursor& c,
                       const std::string& sentence) {
  const auto len = static_cast<std::int32_t>(text.size());
  auto step = static_cast<std::int32_t>(sentence.size());
  // The control bytes skipped before the text's first sentence (all 0 now, as nothing before
  // them was said). Before a later sentence they were counted by the step before it.
  std::int32_t before = c.SentenceStart - 1;
  while (before >= 1 && ByteAt(text, before) == 0) --before;
  if (before == 0) step += c.SentenceStart - 1;
  // The control bytes after the sentence (the LF of its line end, an indent), which the next
  // cut skips.
  for (std::int32_t p = c.SentenceEnd + 1; p <= len && ByteAt(text, p) < 32; ++p) ++step;
  return step;
}

bool HasSomethingToSay(const std::string& sentence) {
  for (unsigned char b : sentence)
    if (b >= '0') return true;
  return false;
}

bool CutSentenceToSay(std::string& text, SentenceCursor& cursor, std::string& sentence,
                      const std::function<void(const std::string&)>& passedOver) {
  for (;;) {
    if (ReadingAtEnd(text, cursor)) return false;
    sentence = CutSentence(text, cursor);
    if (HasSomethingToSay(sentence)) return true;
    // Only control bytes were left: the text is used up.
    if (sentence.empty()) return false;
    if (passedOver) passedOver(sentence);
    ConsumeSeparator(text, cursor);
  }
}
