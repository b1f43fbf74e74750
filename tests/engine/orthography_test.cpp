// Orthography and word stress as the character loop applies them, position by position,
// to a prepared sentence. Byte escapes: \001 StartMark, \035 LlMark, \341 \351 \355 \363
// \372 the accented vowels, \321 Ñ, \374 ü.
#include "speech/Orthography.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "banks/VoiceBanks.h"
#include "speech/CreateVoice.h"
#include "speech/SynthesisSteps.h"
#include "speech/TextBytes.h"
#include "speech/TextNormalisation.h"

namespace {

// The character loop's own steps and this stage's, up to and including position `last`; the
// pitch, slot and rendering steps in between touch none of what is checked here.
bool LetterStep(const LoopStep& s) {
  return s.stage == StepStage::Loop || s.stage == StepStage::Orthography;
}

void WalkLetterSteps(TCreateVoice& v, std::int32_t last = INT32_MAX) {
  CharacterLoop loop(v, LetterStep);
  while (v.Loop.CharIndex < last && loop.Next()) {
  }
}

struct Spoken {
  std::string text;
  int syllables;
};

void Prepare(TCreateVoice& v, const char* input) {
  v.FSentence = input;
  CollapseBlanks(v.FSentence);
  FrameSentence(v.FSentence);
  NormaliseText(v.FSentence);
}

Spoken Speak(const char* input) {
  TCreateVoice v;
  Prepare(v, input);
  WalkLetterSteps(v);
  return {v.FSentence, v.FSyllables};
}

struct Case {
  const char* input;
  const char* expected;
};

const Case kCases[] = {
    {"No", "\001N\363."},
    {"NO", "\001NO."},  // an upper-case O takes no accent
    {"ya", "\001\035\341."},
    {"seis", "\001s\351is."},
    {"van", "\001b\341n."},  // ván; the v is then written b at its own position
    {"des", "\001d\351s."},
    {"he", "\001\351."},
    {"han", "\001\341n."},
    {"fue", "\001fu\351."},
    {"pies", "\001pi\351s."},
    {"un", "\001\372n."},
    {"este", "\001\351ste."},
    {"irse", "\001\355rse."},
    {"estos", "\001\351stos."},
    {"tres", "\001tr\351s."},
    {"gran", "\001gr\341n."},
    {"bien", "\001bi\351n."},
    // The other members of the short-word rows.
    {"ti yo son fin pan dos", "\001t\355 \035\363 s\363n f\355n p\341n d\363s."},
    {"va ve vas ven ves den", "\001b\341 b\351 b\341s b\351n b\351s d\351n."},
    {"has haz pie fuer buen ha", "\001\341s \341z pi\351 fu\351r bu\351n \341."},
    // The one-letter word looks ahead and removes the next word's h first: it is looked up
    // as a, not ha.
    {"ha has", "\001a \341s."},
    {"ir irte irnos es esto", "\001\355r \355rte \355rnos \351s \351sto."},
    {"fuera", "\001fu\351ra."},  // five letters: stressed by rule
    // The other function words; each would be stressed by rule.
    {"cada por porqe pero donde como hacia desde entre mediante durante do\361a del al el",
     "\001cada por porqe pero donde como acia desde entre mediante durante do\361a del al el."},
    {"qienes aunqe cuanto cuantos cuyo cuyos vuestro",
     "\001qienes aunqe cuanto cuantos cuyo cuyos buestro."},
    // Written with qu, they reach the lists as k and match none of them.
    {"porque quienes aunque que", "\001p\363rke ki\351nes \341unke ke."},
    // One letter past each length limit of the function words and the short words.
    {"cuantias cuyano vuestrito", "\001cu\341ntias cuy\341no buestr\355to."},
    {"iremos estar", "\001ir\351mos est\341r."},
    {"GUERRA g\351nero", "\001g\351rra j\351nero."},
    {"del sobre", "\001del s\363bre."},
    {"el ante", "\001el \341nte."},
    {"le bajo", "\001le b\341jo."},
    {"tu contra", "\001tu c\363ntra."},
    {"el vuestro", "\001el bu\351stro."},
    {"qe sobre", "\001qe s\363bre."},
    {"un ante", "\001\372n \341nte."},
    {"te bajo", "\001te b\341jo."},
    {"su contra", "\001su c\363ntra."},
    {"casa; sino", "\001c\341sa; sino."},
    {"rapidamente", "\001rap\355damente."},
    {"la", "\001la."},
    {"para", "\001para."},
    {"cuando", "\001cuando."},
    {"mientras", "\001mientras."},
    {"hasta", "\001asta."},
    {"cuantioso", "\001cuanti\363so."},
    {"sobre la mesa", "\001sobre la m\351sa."},
    {"el sobre", "\001el s\363bre."},
    {"de ante", "\001de \341nte."},
    {"me bajo", "\001me b\341jo."},
    {"en contra", "\001en c\363ntra."},
    {"no sino", "\001n\363 s\355no."},
    {"casa, sino", "\001c\341sa, sino."},
    {"nuestra casa", "\001nuestra c\341sa."},
    {"los nuestros", "\001los nu\351stros."},
    {"Casa", "\001c\341sa."},
    {"ESPA\321A", "\001\351spa\321a."},
    {"Quiero queso", "\001ki\351ro k\351so."},
    {"guerra", "\001g\351rra."},
    {"gente", "\001j\351nte."},
    {"pinguino ping\374ino", "\001ping\355no ping\374\355no."},
    {"a hacer", "\001a ac\351r."},
    {"tic ha", "\001t\355c \341."},  // the h after a c goes one position later
    {"hola,que", "\001\363la,que."},
    {"y", "\001y."},
    {"demente", "\001demente."},
    {"est\341", "\001est\341."},
};

TEST(Orthography, WritesSpellingAndStressIntoTheText) {
  for (const Case& c : kCases) EXPECT_EQ(Speak(c.input).text, c.expected) << "input: " << c.input;
}

// FSyllables after the sentence: the count of the last word that went through the stress
// rule, 1 after one that got no stress from it.
TEST(Orthography, SyllableCountOfTheLastRuleStressedWord) {
  const struct {
    const char* input;
    int syllables;
  } cases[] = {
      {"cuidado", 3},
      {"casa y", 1},
      {"casa est\341", 2},
      {"cuidado la", 3},
      {"casa seis", 2},
      // Five letters go to the rule, so the count changes; a short word leaves it.
      {"estos", 2},
      {"fuera", 2},
      {"casa haz", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(Speak(c.input).syllables, c.syllables) << c.input;
}

// The letter views that the slot choice and the prosody read at one position, after this
// stage's steps there (position in the prepared text, \001 at position 1).
TEST(Orthography, LetterViewsAtAPosition) {
  const struct {
    const char* input;
    std::int32_t position;
    std::uint8_t current, next;
  } cases[] = {
      {"gente", 2, 'j', 'e'},    // g before e is j in the letter view too
      {"guerra", 2, 'g', 'e'},   // the u of gue is gone from the next letter
      {"queso", 2, 'q', 'u'},    // qu became k in the text only
      {"un", 2, 250, 'n'},       // \372: the accent of the short word
      {"Web", 2, 'u', 'e'},      // w reads as u
      {"\334ber", 2, 'u', 'b'},  // and so does \334
      {"ping\374ino", 5, 'g', 252},
      {"ping\374ino", 6, 'u', 237},  // the word stage has written the accent
      {"\321u", 2, 241, 'u'},        // \321 is read as \361 while the text keeps it
      {"vaca", 2, 'b', 'a'},
      {"y", 2, 'i', '.'},
      {"hay", 2, 'a', 'i'},     // a next y reads as i
      {"a hola", 2, 'a', 'o'},  // the h of the next word is gone
      {"no. Si", 4, '.', ' '},  // no blanks skipped after a clause mark
      {"no Si", 3, 243, 's'},
  };
  for (const auto& c : cases) {
    TCreateVoice v;
    Prepare(v, c.input);
    WalkLetterSteps(v, c.position);
    EXPECT_EQ(v.Loop.CurrentLetter, c.current) << c.input << " at " << c.position;
    EXPECT_EQ(v.Loop.NextLetter, c.next) << c.input << " at " << c.position;
  }
}

// A whole sentence through the real driver: question mark, aside, number, written accents,
// an abbreviation; afterwards the text also holds what the letter-to-slot step writes (v as
// b, c before i as z, \036 the strong r).
TEST(Orthography, WholeSentenceThroughTheDriver) {
  TCreateVoice v;
  v.FBank.fill(banks::EmptySlot);
  v.FPitch = 71;
  v.FSpeed = 5;
  v.FVolume = 80;
  v.FSentence = "\277Vino \351l - con 25 gatos -. S\355, dijo la Sra. Ruiz";
  v.FWavFile = testing::TempDir() + "orthography_sentence.wav";
  v.Synthesize();
  EXPECT_TRUE(v.Terminated());
  EXPECT_EQ(v.FSentence,
            "\001b\355no \351l ( con beintiz\355nco g\341tos ). S\355, d\355jo la S\036a. "
            "\036u\355z.");
  std::remove(v.FWavFile.c_str());
}

}  // namespace
