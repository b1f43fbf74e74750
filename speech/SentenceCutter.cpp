#include "speech/SentenceCutter.h"

#include <algorithm>
#include <string_view>

#include "speech/TextBytes.h"

namespace {
bool IsCapitalAZ(std::uint8_t b) { return b >= 'A' && b <= 'Z'; }

// A capital that may start a new sentence after ". ": A to Z and the accented capital vowels.
bool StartsSentence(std::uint8_t b) {
  return IsCapitalAZ(b) || b == 0xC1 || b == 0xC9 || b == 0xCD || b == 0xD3 || b == 0xDA;
}

// The first occurrence that starts at or after position from and ends at or before position
// to (1-based), 0 when there is none.
std::int32_t FindUpTo(const std::string& text, std::string_view what, std::int32_t from,
                      std::int32_t to) {
  const auto begin = static_cast<std::size_t>(std::max(from, 1) - 1);
  const auto end = std::min(static_cast<std::size_t>(std::max(to, 0)), text.size());
  if (end <= begin) return 0;
  const auto p = std::string_view(text).substr(begin, end - begin).find(what);
  return p == std::string_view::npos ? 0 : static_cast<std::int32_t>(begin + p + 1);
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
  // The last position the sentence may reach. Everything before the sentence is consumed:
  // its separators and skipped bytes are 0, so no line end and no full stop that would cut
  // stands there, and a search from the sentence's start finds what a search from the text's
  // start would. No search goes past the bound, so a cut costs the same however long the
  // line or the text.
  const std::int32_t limit = static_cast<std::int32_t>(
      std::min<std::int64_t>(std::int64_t{c.SentenceStart} + MaxSentenceBytes - 1, len));
  // A line end whose CR lies within the bound.
  const std::int32_t lineEnd = FindUpTo(text, "\r\n", c.SentenceStart, limit + 1);

  // Full-stop cut: ". " before a capital, not after an abbreviation in capitals.
  for (std::int32_t i = std::max(c.SentenceStart, 1); i + 2 <= len && i + 1 <= limit; ++i) {
    if (lineEnd != 0 && i >= lineEnd) break;
    if (ByteAt(text, i) != '.' || ByteAt(text, i + 1) != ' ') continue;
    if (!StartsSentence(ByteAt(text, i + 2))) continue;
    if (IsCapitalAZ(ByteAt(text, i - 2)) && IsCapitalAZ(ByteAt(text, i - 1))) continue;
    c.SentenceEnd = i + 1;
    break;
  }

  // Line-end cut, folding the blank lines that follow into blanks, as far as the bound lets;
  // the cut after it skips the line ends left.
  if (c.SentenceEnd == 0 && lineEnd > 0) {
    c.SentenceEnd = lineEnd;
    while (c.SentenceEnd + 2 <= limit && ByteAt(text, c.SentenceEnd + 1) == '\n' &&
           ByteAt(text, c.SentenceEnd + 2) == '\r' && ByteAt(text, c.SentenceEnd + 3) == '\n') {
      SetByteAt(text, c.SentenceEnd, ' ');
      SetByteAt(text, c.SentenceEnd + 1, ' ');
      c.SentenceEnd += 2;
    }
  }
  if (c.SentenceEnd == 0 && limit >= len) c.SentenceEnd = len + 1;
  // A sentence longer than the bound: cut at its last blank within the bound, or at the bound
  // itself when there is none.
  if (c.SentenceEnd == 0) {
    c.SentenceEnd = limit;
    for (std::int32_t p = limit; p > c.SentenceStart; --p) {
      if (ByteAt(text, p) == ' ') {
        c.SentenceEnd = p;
        break;
      }
    }
  }

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
