// The character loop: its table of steps, in the order they run at each position, and the
// walker. The loop's own steps (position, letter views, word start) are here; every other
// step lives in the stage file named by its stage.
#include <atomic>
#include <cstdio>

#include "speech/CreateVoice.h"
#include "speech/Letters.h"
#include "speech/Orthography.h"
#include "speech/Prosody.h"
#include "speech/Rendering.h"
#include "speech/SlotChoice.h"
#include "speech/SynthesisSteps.h"
#include "speech/TextBytes.h"

namespace {

// A leading blank stops counting as a blank from position 3 on.
void LeadingBlank(TCreateVoice& v) {
  if (v.Loop.CharIndex >= 3 && ByteAt(v.FSentence, 1) == ' ') SetByteAt(v.FSentence, 1, 255);
}

void ReadCurrentLetter(TCreateVoice& v) {
  v.Loop.CurrentLetter = LowerAZ(ByteAt(v.FSentence, v.Loop.CharIndex));
}

void MarkWordStart(TCreateVoice& v) { v.Loop.WordStart = v.Loop.CharIndex; }

void ReadPreviousLetter(TCreateVoice& v) {
  v.Loop.PreviousLetter = LowerAZ(ByteAt(v.FSentence, v.Loop.CharIndex - 1));
}

// The per-phoneme finish: the treble cut, then the segment joins the output.
void AppendPhoneme(TCreateVoice& v) {
  if (v.FTreble >= 1 && v.FTreble <= 4)
    v.CutTreble(*v.FPhoneStream, static_cast<std::uint8_t>(v.FTreble));
  v.AppendStream(*v.FPhoneStream, *v.WaveStream);
  v.FPhoneStream->Clear();
}

using enum StepGuard;
using enum StepStage;

constexpr LoopStep kLoopSteps[] = {
    {2, "leading blank", Loop, Always, LeadingBlank},
    {3, "current letter", Loop, Always, ReadCurrentLetter},
    {4, "word start", Loop, AtWordStart, MarkWordStart},
    {4, "word-start pitch", Prosody, AtWordStart, WordStartPitch},
    {5, "parentheses", Prosody, Always, ParenthesisPitch},
    {6, "early substitutions", Orthography, Always, EarlySubstitutions},
    {7, "next letter", Orthography, Always, FindNextLetter},
    {8, "silent h", Orthography, Always, RemoveSilentH},
    {10, "next y as i", Orthography, Sounding, NextLetterYToI},
    {11, "word stage", Orthography, SoundingAtWordStart, WordStage},
    {12, "pair buffer", Prosody, Sounding, FormPairBuffer},
    {13, "previous letter", Loop, Sounding, ReadPreviousLetter},
    {13, "markers", SlotChoice, Sounding, MarkerStep},
    {13, "late substitutions", Orthography, Sounding, LateSubstitutions},
    {13, "slot choice", SlotChoice, Sounding, ChooseSlot},
    {14, "stress pitch and durations", Prosody, Sounding, StressPitchAndDurations},
    {15, "rendering", Rendering, Sounding, RenderCharacter},
    {16, "pause", Prosody, Sounding, PauseStep},
    {17, "append phoneme", Output, Sounding, AppendPhoneme},
};

constexpr bool IsSounding(StepGuard g) { return g == Sounding || g == SoundingAtWordStart; }

// The walker relies on this: numbers never fall, and after the first sounding step every
// step is a sounding one.
constexpr bool WellOrdered() {
  bool sounding = false;
  int number = 0;
  for (const LoopStep& s : kLoopSteps) {
    if (s.number < number || (sounding && !IsSounding(s.guard))) return false;
    number = s.number;
    sounding = IsSounding(s.guard);
  }
  return true;
}
static_assert(WellOrdered());

std::atomic<StepTrace> trace{nullptr};

}  // namespace

std::span<const LoopStep> CharacterLoopSteps() { return kLoopSteps; }

bool IsWordStart(const std::string& text, std::int64_t i) {
  const std::uint8_t c = ByteAt(text, i), before = ByteAt(text, i - 1);
  return IsLetterLike(c) && before <= 32 && !IsMarker(before);
}

CharacterLoop::CharacterLoop(TCreateVoice& v, Filter keep) : v_(v), keep_(keep) {
  v_.Loop.CharIndex = 0;
}

bool CharacterLoop::Next() {
  LoopState& L = v_.Loop;
  // Step 1: the length is read anew at every step.
  ++L.CharIndex;
  if (L.CharIndex > static_cast<std::int64_t>(v_.FSentence.size())) return false;
  L.WordStart = 1;
  sounded_ = false;
  bool tested = false;
  for (const LoopStep& s : kLoopSteps) {
    if (keep_ && !keep_(s)) continue;
    if (IsSounding(s.guard) && !tested) {
      // Step 9: blanks and control bytes add nothing.
      tested = true;
      if (L.CurrentLetter == ' ' || L.CurrentLetter < 14) return true;
      sounded_ = true;
    }
    if (s.guard == AtWordStart && !IsWordStart(v_.FSentence, L.CharIndex)) continue;
    if (s.guard == SoundingAtWordStart && L.WordStart != L.CharIndex) continue;
    TraceStep(s.name, L.CharIndex, v_.FSentence);
    s.run(v_);
  }
  return true;
}

void SetStepTrace(StepTrace hook) { trace.store(hook); }

void TraceStep(const char* step, std::int32_t position, const std::string& sentence) {
  if (const StepTrace hook = trace.load(std::memory_order_relaxed)) hook(step, position, sentence);
}

void PrintStepTrace(const char* step, std::int32_t position, const std::string& sentence) {
  std::string shown;
  for (unsigned char b : sentence) {
    if (b >= 32 && b < 127 && b != '\\') {
      shown.push_back(static_cast<char>(b));
    } else {
      char esc[5];
      std::snprintf(esc, sizeof esc, "\\%03o", b);
      shown += esc;
    }
  }
  std::fprintf(stderr, "step %-26s at %4d: %s\n", step, position, shown.c_str());
}
