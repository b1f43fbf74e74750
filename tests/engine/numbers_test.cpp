// Digit runs read as words. Byte escapes: \001 StartMark, \035 LlMark, \341 \351 \355 \363
// \372 the accented vowels; a trailing blank belongs to the words.
#include <gtest/gtest.h>

#include <string>

#include "speech/NumberWords.h"
#include "speech/TextNormalisation.h"

namespace {

struct Case {
  const char* input;
  const char* expected;
};

const Case kReadings[] = {
    {"7", "si\351te "},
    {"0", "cero "},
    {"00", "cero cero "},
    {"007", "cero cero si\351te "},
    {"10", "diez"},
    {"16", "diecis\351is"},
    {"20", "veinte"},
    {"21", "veinti\372no"},
    {"35", "treintaic\355nco"},
    {"100", "ci\351n"},
    {"101", "ci\351nto uno"},
    {"115", "ci\351nto q\355nce"},
    {"200", "dosci\351ntos "},
    {"555", "qini\351ntos cincuentaic\355nco"},
    {"1000", "m\355l"},
    {"1201", "m\355ldosci\351ntos uno"},
    {"2001", "dosm\355luno"},
    {"16000", "dieciseism\355l"},
    {"21500", "veintiunom\355lqini\351ntos "},
    {"101000", "ci\351nto unom\355l"},
    {"300000", "trescientosm\355l"},
    {"1000000", "\372nmill\363n"},
    {"1001000", "\372nmill\363nm\355l"},
    {"2000001", "d\363smill\363nesuno"},
    {"3000000", "tr\351smill\363nes"},
    {"10000000", "diezmillones"},
    {"300000000", "tresci\351ntos mill\363nes"},
    {"301000000", "tresci\351ntos unmill\363nes"},
    {"2000000000", "dosm\355lmillones"},
    {"10000000000", "diezm\355lmillones"},
    {"123456789012",
     "ci\351nto veintitresm\355l"
     "cuatroci\351ntos cincuentai"
     "s\351ismillones"
     "seteci\351ntos ochentainuevem\355l"
     "d\363ce"},
    {"1234567890123",
     "\372no d\363s tr\351s cu\341tro c\355nco s\351is si\351te \363cho nu\351ve cero \372no "
     "d\363s tr\351s "},
    // Every entry of the word tables.
    {"9876", "nuevem\355lochoci\351ntos setentais\351is"},
    {"4321", "cuatrom\355ltresci\351ntos veinti\372no"},
    {"5914", "cincom\355lnoveci\351ntos cat\363rce"},
    {"6611", "seism\355lseisci\351ntos \363nce"},
    {"7713", "sietem\355lseteci\351ntos trece"},
    {"8817", "ochom\355lochoci\351ntos diecisi\351te"},
    {"3918", "tresm\355lnoveci\351ntos dieci\363cho"},
    {"6019", "seism\355ldiecinu\351ve"},
    {"40", "cuarenta"},
    {"62", "sesentaid\363s"},
    {"99", "noventainu\351ve"},
    // Leading zeros are read one by one, then the rest as the number it forms.
    {"01000", "cero m\355l"},
    {"02500", "cero dosm\355lqini\351ntos "},
    {"01000000", "cero \372nmill\363n"},
    {"02000000000", "cero dosm\355lmillones"},
    {"0000000000000012",
     "cero cero cero cero cero cero cero cero cero cero cero cero cero cero "
     "d\363ce"},
};

TEST(NumberWords, ReadsARunOfDigits) {
  for (const Case& c : kReadings)
    EXPECT_EQ(ReadNumber(c.input), c.expected) << "digits: " << c.input;
}

std::string Prepared(std::string text) {
  CollapseBlanks(text);
  FrameSentence(text);
  NormaliseText(text);
  return text;
}

const Case kInText[] = {
    {"3,5", "\001tr\351s  comac\355nco ."}, {"a,3", "\001a comatr\351s ."},
    {",5", "\001 comac\355nco ."},          {"3.500", "\001tr\351s .qini\351ntos ."},
    {"12abc", "\001d\363ceabc."},           {"20 gatos", "\001veinte gatos."},
    {"7 gatos", "\001si\351te  gatos."},    {"2000000", "\001d\363smi\035\363nes."},
};

TEST(NumberWords, ReplacesRunsInTheSentence) {
  for (const Case& c : kInText) EXPECT_EQ(Prepared(c.input), c.expected) << "input: " << c.input;
}

}  // namespace
