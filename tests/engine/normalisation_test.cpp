// Text preparation as it runs before the character loop: blank runs, framing, then the
// normalisation pass. Byte escapes: \001 StartMark, \035 LlMark, Windows-1252 letters.
#include <gtest/gtest.h>

#include <string>

#include "speech/TextNormalisation.h"

namespace {

std::string Prepared(std::string text) {
  CollapseBlanks(text);
  FrameSentence(text);
  NormaliseText(text);
  return text;
}

struct Case {
  const char* input;
  const char* expected;
};

const Case kCases[] = {
    {"Ahora  mismo", "\001Aora mismo."},
    {"\277Qu\351 hora es?", "\001Qu\351 hora es?"},
    {"\277\277Qu\351?", "\001\277Qu\351?"},
    {"ahhh", "\001ah."},
    {"Llueve ya", "\001\035ueve \035a."},
    {"yo y rayo", "\001\035o y rayo."},
    {"y\351ndo", "\001\035\351ndo."},
    {"hay yerba", "\001hay \035erba."},
    {"El PP y la CD", "\001El pe pe y la ce de."},
    // Every letter name; an upper-case \321 is no letter of the table and keeps its run.
    {"BFGJKN\361QRSTVWXZ",
     "\001be efe je jota ka ene e\361e ku erre ese te ube ubedoble ekis zeta."},
    {"\321", "\001\321."},
    {"ABC", "\001ABC."},
    // The em dash belongs to the run when the word is tested, then becomes a hyphen.
    {"DVD\227", "\001DVD-."},
    {"Hh", "\001ache ache."},
    {"hm", "\001ache eme."},
    {"ll", "\001ele ele."},
    {"Chile", "\001Chile."},
    {"CHILE", "\001CHILE."},  // the test for c folds the capital
    // After the ll marker no word starts, so the s is not spelled out.
    {"Walls", "\001Wa\035s."},
    {"ahh", "\001ah."},
    // Y before an accented capital: the capital is lowered only in its own pass.
    {"Y\301", "\001Y\341."},
    {"Ella - la jefa -.", "\001E\035a ( la jefa )."},
    {" - a -.", " ( a )."},
    {" -.", " (."},
    // No "-." and an earlier "." (an abbreviation): the aside is not marked.
    {"Sra. a - o", "\001Sra. a - o."},
    {"a - o?", "\001a - o?"},
    // No "-." but a later ".": the aside is opened only.
    {"uno - dos.", "\001uno ( dos."},
    {"ex-novio.", "\001ex-novio."},  // a hyphen without a blank before it opens nothing
    // A blank before an em dash never opens an aside; the " -" right before "-." only opens.
    {"a \227 o -.", "\001a - o (."},
    {"\301rbol \311L", "\001\341rbol \351L."},
    {"abc \r\n", "\001abc.\r\n"},
    {"fin!  \r\n", "\001fin!\r\n"},
    {" ", " ."},
    {"uno   dos    tres", "\001uno dos tres."},
    // Number words are walked through like typed text.
    {"12ha", "\001d\363cea."},
    {"3ha", "\001tr\351s ha."},
    {"1000000", "\001\372nmi\035\363n."},
    {"8h", "\001\363cho ache."},
};

TEST(Normalisation, PreparesTheSentenceText) {
  for (const Case& c : kCases) EXPECT_EQ(Prepared(c.input), c.expected) << "input: " << c.input;
}

}  // namespace
