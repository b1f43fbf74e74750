// Slot choice over whole words, with the letter views the character loop hands it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "banks/VoiceBanks.h"
#include "speech/CreateVoice.h"
#include "speech/Orthography.h"
#include "speech/SlotChoice.h"
#include "speech/SynthesisSteps.h"
#include "speech/TextBytes.h"

namespace {

const std::string kRecording("\x10\x00\x20\x00", 4);

// A voice with a recording in every slot but 0 and the ones listed.
SlotArray VoiceWithEmpty(const std::vector<int>& empty) {
  SlotArray bank;
  bank.fill(kRecording);
  bank[0] = banks::EmptySlot;
  for (int s : empty) bank[static_cast<std::size_t>(s)] = banks::EmptySlot;
  return bank;
}

// Walks the text with the character loop's letter and slot steps and returns the slot of
// each rendered position. The texts are taken as written: the leading blank (step 2) and
// the word stage (spelling and stress) stay out, as do the pitch and rendering steps.
bool LetterAndSlotStep(const LoopStep& s) {
  return (s.stage == StepStage::Loop || s.stage == StepStage::Orthography ||
          s.stage == StepStage::SlotChoice) &&
         s.number != 2 && s.run != WordStage;
}

std::vector<int> SlotsOf(TCreateVoice& v) {
  std::vector<int> slots;
  for (CharacterLoop loop(v, LetterAndSlotStep); loop.Next();)
    if (loop.Sounded()) slots.push_back(v.Loop.ChosenSlot);
  return slots;
}

struct SlotCase {
  const char* name;
  std::string text;
  std::vector<int> emptySlots;
  std::vector<int> slots;
  std::string textAfter;  // checked when not empty
};

const std::string R(1, static_cast<char>(RrMark));
const std::string Ch(1, static_cast<char>(ChMark));
const std::string Ll(1, static_cast<char>(LlMark));

const SlotCase kCases[] = {
    {"perro", " perro", {}, {73, 10, 81, 83, 28}, " pe" + R + R + "o"},
    {"rosa_word_initial", " rosa", {}, {83, 28, 36, 1}, " " + R + "osa"},
    {"honra_after_n", " honra", {}, {28, 115, 35, 1}, " on" + R + "a"},
    {"israel_after_s", " Israel", {}, {17, 36, 35, 1, 10, 105}, " Is" + R + "ael"},
    {"alrededor_after_l_and_word_end",
     " alrededor.",
     {},
     {1, 105, 77, 10, 57, 10, 59, 28, 79, 0},
     " alrededor."},
    {"mar_rojo", " mar rojo", {}, {110, 1, 35, 83, 28, 71, 28}, " ma" + R + " " + R + "ojo"},
    {"mar_end", " mar.", {}, {110, 1, 34, 0}, " mar."},
    {"noche", " noche", {}, {115, 28, 55, 0, 10}, " no" + Ch + "he"},
    {"chico", " chico", {}, {8, 0, 17, 51, 28}, " " + Ch + "hico"},
    {"tic_hola", " tic hola", {}, {90, 17, 54, 28, 105, 1}, " ti" + Ch + " ola"},
    {"cena", " cena", {}, {101, 10, 115, 1}, " zena"},
    {"Cena_capital", " Cena", {}, {101, 10, 115, 1}, " zena"},
    {"cine", " cine", {}, {102, 17, 115, 10}, " zine"},
    {"frac_es", " frac es", {}, {15, 34, 1, 49, 10, 85}, " frac es"},
    {"accion", " acci\xf3n", {}, {1, 7, 102, 17, 28, 115}, " aczi\xf3n"},
    {"casa", " casa", {}, {7, 1, 36, 1}, ""},
    {"cosa", " cosa", {}, {51, 28, 36, 1}, ""},
    {"clima_through_l", " clima", {}, {50, 105, 17, 110, 1}, ""},
    {"crudo_through_r", " crudo", {}, {52, 80, 38, 59, 28}, ""},
    {"aqui_as_written_k", " ak\xed", {}, {1, 50, 17}, ""},
    {"los_ojos", " los ojos.", {}, {105, 28, 87, 28, 71, 28, 87, 0}, ""},
    {"les_ojos_class_order", " les ojos", {}, {105, 10, 85, 28, 71, 28, 87}, ""},
    {"mis_ojos", " mis ojos", {}, {110, 17, 86, 28, 71, 28, 87}, ""},
    {"los_ejes", " los ejes", {}, {105, 28, 85, 10, 69, 10, 85}, ""},
    {"reloj_end", " reloj.", {}, {81, 10, 105, 28, 71, 0}, ""},
    {"calle", " ca" + Ll + "e", {}, {7, 1, 97, 10}, ""},
    {"yo", " " + Ll + "o", {}, {99, 28}, ""},
    {"taxi", " taxi", {}, {37, 1, 94, 17}, ""},
    {"vaca_v_is_b", " vaca", {}, {6, 1, 7, 1}, " baca"},
    {"hoy_y_is_i", " hoy", {}, {28, 17}, " oy"},
    {"web_b2_filled", " web.", {}, {38, 10, 45, 0}, ""},
    {"web_b2_empty", " web.", {45}, {38, 10, 6, 0}, ""},
    {"guerra_g_filled", " gerra", {}, {65, 10, 81, 35, 1}, ""},
    {"guerra_g_empty", " gerra", {65, 66, 67, 68}, {16, 10, 81, 35, 1}, ""},
    // Capitals beside a strong r do not count; the accented vowel does.
    {"CORRI_capitals", " CORR\xed", {}, {51, 28, 35, 82, 17}, " CO" + R + R + "\xed"},
    {"corri", " corr\xed", {}, {51, 28, 83, 82, 17}, ""},
    // An empty variant passes the choice on to the next class that matches.
    {"empty_t2_passes_to_t4", " pet ojo", {89}, {73, 10, 91, 28, 71, 28}, ""},
    {"t2_filled", " pet ojo", {}, {73, 10, 89, 28, 71, 28}, ""},
    {"empty_p2_falls_to_base", " pet", {73}, {33, 10, 89}, ""},
    {"empty_rr2_falls_to_base", " perro", {81}, {73, 10, 35, 83, 28}, ""},
    // Plain r has no emptiness test: the empty variant is still chosen.
    {"r_variants_empty_still_chosen", " pero", {77, 78, 79, 80}, {73, 10, 79, 28}, ""},
    {"n_tilde", " a\xf1o", {}, {1, 27, 28}, ""},
    {"N_tilde_capital", " A\xd1O", {}, {1, 27, 28}, " A\xd1O"},
    {"no_slot_characters", " (a) - 3 \xe0.", {}, {0, 1, 0, 0, 0, 0, 0}, ""},
};

void PrintTo(const SlotCase& c, std::ostream* os) { *os << c.name; }

class SlotChoiceTest : public testing::TestWithParam<SlotCase> {};

TEST_P(SlotChoiceTest, ChoosesSlotsAndWritesMarkers) {
  const SlotCase& c = GetParam();
  TCreateVoice v;
  v.FBank = VoiceWithEmpty(c.emptySlots);
  v.FSentence = c.text;
  EXPECT_EQ(SlotsOf(v), c.slots);
  if (!c.textAfter.empty()) {
    EXPECT_EQ(v.FSentence, c.textAfter);
  }
}

INSTANTIATE_TEST_SUITE_P(Words, SlotChoiceTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<SlotCase>& info) {
                           return std::string(info.param.name);
                         });

// The step clears the previous position's slot before anything else.
TEST(SlotChoice, MarkerStepStartsFromNoSlot) {
  TCreateVoice v;
  v.FBank = VoiceWithEmpty({});
  v.FSentence = " .";
  v.Loop.CharIndex = 2;
  v.Loop.ChosenSlot = 73;
  v.Loop.CurrentLetter = '.';
  MarkerStep(v);
  ChooseSlot(v);
  EXPECT_EQ(v.Loop.ChosenSlot, 0);
}

}  // namespace

namespace {

// The real sentence loop writes the markers and the z into the text it speaks.
TEST(SlotChoice, SentenceLoopWritesMarkersIntoTheText) {
  TCreateVoice v;
  v.FBank = VoiceWithEmpty({});
  v.FPitch = 71;
  v.FSpeed = 5;
  v.FVolume = 80;
  v.FSentence = "perro noche cena.";
  v.FWavFile = testing::TempDir() + "slot_choice_loop.wav";
  v.Synthesize();
  EXPECT_TRUE(v.Terminated());
  const std::string& s = v.FSentence;
  EXPECT_NE(s.find(R + R), std::string::npos) << s;
  EXPECT_NE(s.find(Ch + "h"), std::string::npos) << s;
  EXPECT_EQ(s.find('c'), std::string::npos) << s;
  EXPECT_NE(s.find('z'), std::string::npos) << s;
  std::remove(v.FWavFile.c_str());
}

}  // namespace
