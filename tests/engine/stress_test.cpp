// Stress by rule on single words. \035 is LlMark; \341 \351 \355 \363 \372 the accented
// vowels; \321 Ñ.
#include <gtest/gtest.h>

#include <string>

#include "speech/CreateVoice.h"

namespace {

struct Case {
  const char* word;
  const char* result;  // empty: no stress
  int syllables;
};

const Case kCases[] = {
    {"casa", "c\341sa", 2},
    {"ciudad", "ciud\341d", 2},
    {"reloj", "rel\363j", 2},
    {"sol", "s\363l", 1},
    {"pie", "", 1},
    {"cuerpo", "cu\351rpo", 2},
    {"aire", "\341ire", 2},
    {"cuidado", "cuid\341do", 3},
    {"poeta", "po\351ta", 3},
    {"leer", "le\351r", 2},
    {"instante", "inst\341nte", 3},
    {"abstracto", "abstr\341cto", 3},
    {"hombre", "h\363mbre", 2},
    {"coche", "c\363che", 2},
    {"ca\035e", "c\341\035e", 2},
    {"agua", "\341gua", 2},
    {"estoy", "est\363y", 2},
    {"ahumar", "ahum\341r", 2},
    {"claramente", "cl\341ramente", 2},
    {"zinc", "", 1},
    // Edge cases.
    {"y", "", 1},
    {"spa", "", 1},
    {"demente", "", 1},
    {"espa\321a", "\351spa\321a", 2},
    {"mes", "", 1},
    {"", "", 1},
    {"calle", "c\341\035e", 2},  // a literal ll comes back as the marker
    {"cuantioso", "cuanti\363so", 3},
    {"estos", "\351stos", 2},
};

TEST(PlaceStress, StressesAWordByRule) {
  TCreateVoice v(true);
  for (const Case& c : kCases) {
    v.FSyllables = 9;  // a count left by an earlier word
    std::string result = "stale";
    v.PlaceStress(c.word, result);
    EXPECT_EQ(result, c.result) << "word: " << c.word;
    EXPECT_EQ(v.FSyllables, c.syllables) << "word: " << c.word;
  }
}

}  // namespace
