// The synthesis as three tables of named steps, each walked in order: the set-up, the
// character loop (its steps run once per position of the sentence) and the finish. The
// numbers are the steps' places in the driver's order; a number that the table skips is the
// walker's own work (loop step 1 moves to the next position, loop step 9 ends a silent
// position), and a number written twice is one step done by several functions.
#pragma once

#include <cstdint>
#include <span>
#include <string>

class TCreateVoice;

// A set-up or finish step; it returns false when the synthesis ends there.
struct DriverStep {
  int number;
  const char* name;
  bool (*run)(TCreateVoice&);
};

// When a loop step runs at a position.
enum class StepGuard : std::uint8_t {
  Always,
  AtWordStart,  // only where IsWordStart holds
  // Skipped for a blank and for a control byte below 14 (CurrentLetter): the first such
  // step in the table ends a silent position, so no later step runs there either.
  Sounding,
  // Sounding, and only at the current word's first position (WordStart = CharIndex, which
  // the word-start step sets; position 1 counts as one).
  SoundingAtWordStart,
};

// The stage file that owns a loop step's function and the state it writes.
enum class StepStage : std::uint8_t { Loop, Prosody, Orthography, SlotChoice, Rendering, Output };

struct LoopStep {
  int number;
  const char* name;
  StepStage stage;
  StepGuard guard;
  void (*run)(TCreateVoice&);
};

std::span<const DriverStep> SetUpSteps();
std::span<const LoopStep> CharacterLoopSteps();
std::span<const DriverStep> FinishSteps();

// Word start: a letter or marker (a byte from "A" up, or 29 to 31) after a byte of 32 or
// below that is no marker.
bool IsWordStart(const std::string& text, std::int64_t i);

// Walks the character loop over v.FSentence, one position per Next(), running the steps of
// the table that `keep` accepts (all of them without a filter), in table order. Tests walk
// a filtered view; the synthesis walks the whole table.
class CharacterLoop {
 public:
  using Filter = bool (*)(const LoopStep&);
  explicit CharacterLoop(TCreateVoice& v, Filter keep = nullptr);
  // Loop step 1 and the steps of the next position; false once the position is past the
  // sentence's current length.
  bool Next();
  // The position just walked got past the blank test to the sounding steps.
  bool Sounded() const { return sounded_; }

 private:
  TCreateVoice& v_;
  Filter keep_;
  bool sounded_ = false;
};

// Step tracing, off by default: once set, the hook hears of every step about to run, with
// the loop position (0 in the set-up and the finish) and the sentence as it stands.
using StepTrace = void (*)(const char* step, std::int32_t position, const std::string& sentence);
void SetStepTrace(StepTrace trace);  // nullptr turns it off
void TraceStep(const char* step, std::int32_t position, const std::string& sentence);
// A ready hook: one line to stderr, bytes outside 32 to 126 written as \ooo.
void PrintStepTrace(const char* step, std::int32_t position, const std::string& sentence);
