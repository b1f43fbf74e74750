// Letter-to-slot mapping. Most consonants are recorded once per following vowel (a base
// slot and variants for e, i, o, u); the choice looks at the vowel after the consonant,
// for some also through a following l or r, and at a word end at the vowel before it.
#include "speech/SlotChoice.h"

#include <cstddef>

#include "banks/VoiceBanks.h"
#include "speech/CreateVoice.h"
#include "speech/TextBytes.h"

namespace {

constexpr std::uint8_t e_acute = 233, i_acute = 237, o_acute = 243, u_acute = 250;
constexpr std::uint8_t a_acute = 225, n_tilde = 241;

// The four vowel classes, in the order they are tried.
enum VowelClass { ClassE, ClassI, ClassO, ClassU, ClassCount };

constexpr std::uint8_t PlainOf[ClassCount] = {'e', 'i', 'o', 'u'};
constexpr std::uint8_t AcuteOf[ClassCount] = {e_acute, i_acute, o_acute, u_acute};

// A lower-cased letter view (NextLetter, PreviousLetter), and the bytes beside a strong r.
bool InClass(std::uint8_t b, int k) { return b == PlainOf[k] || b == AcuteOf[k]; }

// The byte two ahead as it stands: capitals of the plain vowels count too.
bool InClassLookThrough(std::uint8_t b, int k) { return InClass(b, k) || b == PlainOf[k] - 32; }

enum class Rule { None, A, B, C, D };

struct SlotRow {
  std::int32_t Base;
  std::int32_t FirstVariant;  // slot of the e variant; i, o, u follow it
  Rule Context;
  bool SkipEmpty;  // only a variant that holds a recording is taken
};

// The slot row for CurrentLetter (after rule Z for c). Base 0: no recording.
SlotRow RowFor(std::uint8_t letter) {
  switch (letter) {
    case 'a':
    case a_acute:
      return {1, 0, Rule::None, false};
    case 'b':
      return {6, 45, Rule::A, true};
    case 'c':
    case 'k':
      return {7, 49, Rule::A, false};
    case ChMark:
      return {8, 53, Rule::C, false};
    case 'd':
      return {9, 57, Rule::A, true};
    case 'e':
    case e_acute:
      return {10, 0, Rule::None, false};
    case 'f':
      return {15, 61, Rule::A, false};
    case 'g':
      return {16, 65, Rule::A, true};
    case 'i':
    case i_acute:
      return {17, 0, Rule::None, false};
    case 'j':
      return {22, 69, Rule::B, false};
    case 'l':
      return {105, 0, Rule::None, false};
    case LlMark:
      return {24, 97, Rule::B, false};
    case 'm':
      return {110, 0, Rule::None, false};
    case 'n':
      return {115, 0, Rule::None, false};
    case n_tilde:
      return {27, 0, Rule::None, false};
    case 'o':
    case o_acute:
      return {28, 0, Rule::None, false};
    case 'p':
      return {33, 73, Rule::A, true};
    case 'q':
      return {7, 0, Rule::None, false};
    case 'r':
      return {34, 77, Rule::B, false};
    case RrMark:
      return {35, 81, Rule::D, true};
    case 's':
      return {36, 85, Rule::B, false};
    case 't':
      return {37, 89, Rule::A, true};
    case 'u':
    case u_acute:
      return {38, 0, Rule::None, false};
    case 'x':
      return {43, 93, Rule::A, false};
    case 'z':
      return {44, 101, Rule::B, false};
    default:
      return {0, 0, Rule::None, false};
  }
}

}  // namespace

void MarkerStep(TCreateVoice& v) {
  LoopState& L = v.Loop;
  L.ChosenSlot = 0;
  if (L.CurrentLetter == 'c' && L.NextLetter == 'h') {
    // The h stays in the text and sounds nothing.
    SetByteAt(v.FSentence, L.CharIndex, ChMark);
    L.CurrentLetter = ChMark;
    return;
  }
  if (L.CurrentLetter == 'r' && (L.NextLetter == 'r' || L.PreviousLetter < 'A' ||
                                 L.PreviousLetter == 'n' || L.PreviousLetter == 's')) {
    SetByteAt(v.FSentence, L.CharIndex, RrMark);
    L.CurrentLetter = RrMark;
  }
}

void ChooseSlot(TCreateVoice& v) {
  LoopState& L = v.Loop;
  const std::string& text = v.FSentence;
  const std::int32_t i = L.CharIndex;

  if (L.CurrentLetter == 'c') {
    // c before e or i sounds as z; only the very next byte counts.
    std::uint8_t after = LowerAZ(ByteAt(text, i + 1));
    if (after == 'e' || after == e_acute || after == 'i' || after == i_acute) {
      SetByteAt(v.FSentence, i, 'z');
      L.CurrentLetter = 'z';
      if (InClass(L.NextLetter, ClassE))
        L.ChosenSlot = 101;
      else if (InClass(L.NextLetter, ClassI))
        L.ChosenSlot = 102;
      return;
    }
  }

  const SlotRow row = RowFor(L.CurrentLetter);
  L.ChosenSlot = row.Base;
  if (row.Context == Rule::None) return;

  const bool wordEnd = ByteAt(text, i + 1) < 'A';
  for (int k = 0; k < ClassCount; ++k) {
    const std::int32_t variant = row.FirstVariant + k;
    if (row.SkipEmpty && banks::IsEmptySlot(v.FBank[static_cast<std::size_t>(variant)])) continue;
    bool match = false;
    switch (row.Context) {
      case Rule::A:
        match = InClass(L.NextLetter, k) ||
                ((L.NextLetter == 'l' || L.NextLetter == 'r') &&
                 InClassLookThrough(ByteAt(text, i + 2), k)) ||
                (wordEnd && InClass(L.PreviousLetter, k));
        break;
      case Rule::B:
        match = InClass(L.NextLetter, k) || (wordEnd && InClass(L.PreviousLetter, k));
        break;
      case Rule::C:
        match = InClass(L.NextLetter, k) || InClass(L.PreviousLetter, k);
        break;
      case Rule::D:
        // The bytes as they stand: a capital vowel beside a strong r does not count.
        match = InClass(ByteAt(text, i - 1), k) || InClass(ByteAt(text, i + 1), k);
        break;
      case Rule::None:
        break;
    }
    if (match) {
      L.ChosenSlot = variant;
      return;
    }
  }
}
