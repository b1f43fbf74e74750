// The synthesis as three tables of named steps, each walked in order: the set-up, the
// character loop (its steps run once per position of the sentence) and the finish. The
// numbers are the steps' places in the driver's order; a number that the table skips is the
// walker's own work (loop step 1 moves to the next position, loop step 9 ends a silent
// position), and a number written twice is one step done by several functions.
//
// Who writes what. The stages share one TCreateVoice, and a piece of state may have writers
// in several stage files; every stage reads what it needs. Set-up step 2 starts every state
// struct and FSyllables afresh. The writers after it, by step (S: set-up, F: finish, plain
// numbers: loop steps):
//
//   Loop.CharIndex       the walker (1)
//   Loop.WordStart       the walker (1: back to 1), Loop (4)
//   Loop.CurrentLetter   Loop (3); Orthography (6; 11: g as j, the accent of a short word;
//                        13: late substitutions); SlotChoice (13: markers; 13: c as z)
//   Loop.NextLetter      Orthography (7; 8; 10; 11: the u of gue or gui dropped)
//   Loop.PreviousLetter  Loop (13)
//   Loop.ChosenSlot      SlotChoice (13: markers set 0; 13: slot choice)
//   Ortho                Orthography (7: NextPosition; 8 and 11: SilentHPosition; 11: words)
//   Prosody              Prosody only, at S5, 4, 5, 12, 14, 16, and through two functions that
//                        other stages call: FindClauseEnd (ClauseEnd) from Orthography's word
//                        stage (11), PeriodPitchStep (CurrentPitch, Repeats) from Rendering
//                        after each period (15)
//   Render               Rendering (S8)
//   FSyllables           PlaceStress, called by Orthography's word stage (11)
//   FPeriod, FPeriodStream, FVoicingStream, ReverseScratch
//                        Rendering and the period routines it calls (15)
//   FPhoneStream         Rendering (15), Prosody (16: the pause), Output (17: the treble
//                        cut, then emptied)
//   WaveStream           the driver (S4; F2 to F7), Output (17: each phoneme appended)
//   the five streams     made by the driver (S4); the four work streams released at F1,
//                        WaveStream at F9
//   FWaveHeader          the driver (S1, F6)
//   FWrittenFile         Synthesize (cleared at its start), the driver (F8)
//
// The sentence text FSentence is rewritten in place by four stage files: TextNormalisation
// (with NumberWords) at S3, S7 and S9, the loop's own steps (2), Orthography (8, 11 and 13)
// and SlotChoice (13). Apart from step 2 the loop writes only at CharIndex or after it,
// deletes only after it and inserts nothing, so every byte left is visited once, in order.
// Its forms:
//
//   handed over   the cut sentence, Windows-1252, perhaps ending in CR LF.
//   S3 collapse   runs of blanks are one blank.
//   S7 frame      position 1 holds a byte of 32 or less: StartMark (1) goes in front of a
//                 sentence that begins with anything else. Trailing blanks are gone and one
//                 of ".,:;?!" ends the text ahead of any final CR or LF ("." when none did).
//   S9 normalise  accented capitals are small; an aside " -...-." reads " (...)."; a word of
//                 consonant letters only is the names of its letters; a digit run is its
//                 number words, spelled the way the later stages read letters (an acute
//                 accent on each stressed vowel, q for the k sound before i, the words of one
//                 number mostly joined), and a comma before it is a blank with "coma" in
//                 front; an h after a letter other than c is gone, and so is "¿" (of two
//                 in a row, one); an em dash is "-"; ll, and a word-initial y before a
//                 vowel, are LlMark (29).
//   loop          at and after the current position only. From position 3 on, a blank at
//                 position 1 is the byte 255. An h that is the next letter (blanks skipped)
//                 goes unless the current letter is c (8). At a word start (11) qu is k, g
//                 before e or i is j, the u of gue and gui goes (ge and gi are then a hard
//                 g), and a word without an accent gets one on its stressed vowel, except
//                 a function word; one whose stress the syllable rules place is written
//                 back whole, in lower case. From there on an accented vowel means a
//                 stressed one. At a sounding position (13) the c of ch is ChMark
//                 (31; the h stays and sounds nothing), a strong r is RrMark (30), v is b,
//                 and c before e or i is z.
//
// StartMark, a byte below 14, is silent. The markers 29 to 31 count as letters: they start
// words (IsWordStart) and belong to them (the word stage).
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

// The stage file that holds a loop step's function; what it writes is in the table above.
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
