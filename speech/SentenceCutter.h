// How the reading cuts its text into sentences. The text is the reading's own copy and is
// consumed in place: a cut separator and the control bytes skipped before a sentence become
// 0, the line ends of folded blank lines become blanks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The most bytes one sentence holds. A longer one (a paragraph of commas, a line without a
// full stop) is cut at its last blank within the bound, or at the bound when it has none:
// each sentence is one synthesis, whose time on the main thread and whose WAV file grow with
// its length.
constexpr std::int32_t MaxSentenceBytes = 1000;

// Positions are 1-based. Between cuts, sentenceEnd is the position of the last separator
// consumed; a new reading starts with both at 1.
struct SentenceCursor {
  std::int32_t SentenceStart = 1;
  std::int32_t SentenceEnd = 1;
};

// True when nothing is left to read: no byte follows the last consumed separator.
bool ReadingAtEnd(const std::string& text, const SentenceCursor& cursor);

// Cuts the next sentence (up to and including its separator) and returns it. The separator
// itself is not yet consumed: ConsumeSeparator does that once the sentence is under way.
std::string CutSentence(std::string& text, SentenceCursor& cursor);

void ConsumeSeparator(std::string& text, const SentenceCursor& cursor);

// How far the caret moves past a sentence just cut (before its separator is consumed), so
// that it stands on the first character of the next one: the sentence itself, which holds
// the blank after a full stop or the CR of a line end, and the control bytes around it that
// the cuts skip (the LF of a line end, an indent, those before the text's first sentence).
std::int32_t CaretStep(const std::string& text, const SentenceCursor& cursor,
                       const std::string& sentence);

// A sentence has something to say when it holds a byte at or above "0".
bool HasSomethingToSay(const std::string& sentence);

// The reading's next sentence: cuts until a sentence has something to say and leaves it in
// `sentence` (its separator not yet consumed). A sentence with nothing to say is handed to
// passedOver and its separator consumed. False when the text is used up (nothing left, or
// only control bytes); `sentence` then holds the last cut, if there was one.
bool CutSentenceToSay(std::string& text, SentenceCursor& cursor, std::string& sentence,
                      const std::function<void(const std::string&)>& passedOver = {});
