// Letter-to-slot mapping. Most consonants are recorded once per following vowel (a base
// slot and variants for e, i, o, u); the choice looks at the vowel after the consonant,
// for some also through a following l or r, and at a word end at the vowel before it.
#include "speech/SlotChoice.h"

#include <array>
#include <cstddef>
#include <string_view>

#include "banks/SlotTable.h"
#include "banks/VoiceBanks.h"
#include "speech/CreateVoice.h"
#include "speech/Letters.h"
#include "speech/TextBytes.h"

namespace {

// The vowel classes of the variants, in the order they are tried: class k holds the vowel
// banks::VariantVowels[k], plain or accented.
enum VowelClass { ClassE, ClassI, ClassO, ClassU, ClassCount };
static_assert(ClassCount == banks::VariantCount);

constexpr std::uint8_t ClassVowel(int k) {
  return static_cast<std::uint8_t>(banks::VariantVowels[static_cast<std::size_t>(k)]);
}
constexpr std::uint8_t PlainOf[ClassCount] = {ClassVowel(0), ClassVowel(1), ClassVowel(2),
                                              ClassVowel(3)};
constexpr std::uint8_t AcuteOf[ClassCount] = {Accent(PlainOf[0]), Accent(PlainOf[1]),
                                              Accent(PlainOf[2]), Accent(PlainOf[3])};

// A lower-cased letter view (NextLetter, PreviousLetter), and the bytes beside a strong r.
bool InClass(std::uint8_t b, int k) { return b == PlainOf[k] || b == AcuteOf[k]; }

// The byte two ahead as it stands: capitals of the plain vowels count too.
bool InClassLookThrough(std::uint8_t b, int k) { return InClass(LowerAZ(b), k); }

enum class Rule { None, A, B, C, D };

// The phoneme a letter sounds (its slot-table label, empty for none), how the vowels
// around it choose its variant, and whether only a variant that holds a recording is taken.
struct LetterSound {
  std::string_view label;
  Rule context;
  bool skipEmpty;
};

// A vowel, plain or accented, sounds the phoneme labelled with its plain letter.
constexpr std::string_view VowelLabel(std::uint8_t vowel) {
  return banks::FindSlotRow(static_cast<char>(PlainVowelOf(vowel)))->label;
}

constexpr LetterSound SoundOf(std::uint8_t letter) {
  if (IsVowel(letter)) return {VowelLabel(letter), Rule::None, false};
  switch (letter) {
    case 'b':
      return {"b", Rule::A, true};
    case 'c':
    case 'k':
      return {"k", Rule::A, false};
    case ChMark:
      return {"ch", Rule::C, false};
    case 'd':
      return {"d", Rule::A, true};
    case 'f':
      return {"f", Rule::A, false};
    case 'g':
      return {"g", Rule::A, true};
    case 'j':
      return {"j", Rule::B, false};
    case 'l':
      return {"l", Rule::None, false};
    case LlMark:
      return {"ll", Rule::B, false};
    case 'm':
      return {"m", Rule::None, false};
    case 'n':
      return {"n", Rule::None, false};
    case NTilde:
      return {"\xF1", Rule::None, false};
    case 'p':
      return {"p", Rule::A, true};
    case 'q':
      return {"k", Rule::None, false};
    case 'r':
      return {"r", Rule::B, false};
    case RrMark:
      return {"rr", Rule::D, true};
    case 's':
      return {"s", Rule::B, false};
    case 't':
      return {"t", Rule::A, true};
    case 'x':
      return {"x", Rule::A, false};
    case 'z':
      return {"z", Rule::B, false};
    default:
      return {"", Rule::None, false};
  }
}

// Every phoneme a letter sounds is in the slot table, with variants when a rule picks one.
constexpr bool EverySoundHasItsSlots() {
  for (int b = 0; b < 256; ++b) {
    const LetterSound sound = SoundOf(static_cast<std::uint8_t>(b));
    if (sound.label.empty()) continue;
    if (!banks::HasSlotRow(sound.label)) return false;
    if (sound.context != Rule::None && !banks::FindSlotRow(sound.label)->HasVariants())
      return false;
  }
  return true;
}
static_assert(EverySoundHasItsSlots());

struct SlotRow {
  std::int32_t Base;  // 0: no recording
  std::int32_t Variants[ClassCount];
  Rule Context;
  bool SkipEmpty;
};

// The slot row of every byte of CurrentLetter (after rule Z for c), from the slot table.
constexpr std::array<SlotRow, 256> MakeRows() {
  std::array<SlotRow, 256> rows{};
  for (int b = 0; b < 256; ++b) {
    const LetterSound sound = SoundOf(static_cast<std::uint8_t>(b));
    SlotRow& row = rows[static_cast<std::size_t>(b)];
    row.Base = banks::BaseSlot(sound.label);
    for (int k = 0; k < ClassCount; ++k) row.Variants[k] = banks::VariantSlot(sound.label, k);
    row.Context = sound.context;
    row.SkipEmpty = sound.skipEmpty;
  }
  return rows;
}
constexpr std::array<SlotRow, 256> Rows = MakeRows();

constexpr std::int32_t ZBeforeE = banks::VariantSlot("z", ClassE);
constexpr std::int32_t ZBeforeI = banks::VariantSlot("z", ClassI);

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
  if (L.CurrentLetter == 'r' && (L.NextLetter == 'r' || !IsWordChar(L.PreviousLetter) ||
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
    if (IsFrontVowel(LowerAZ(ByteAt(text, i + 1)))) {
      SetByteAt(v.FSentence, i, 'z');
      L.CurrentLetter = 'z';
      if (InClass(L.NextLetter, ClassE))
        L.ChosenSlot = ZBeforeE;
      else if (InClass(L.NextLetter, ClassI))
        L.ChosenSlot = ZBeforeI;
      return;
    }
  }

  const SlotRow& row = Rows[L.CurrentLetter];
  L.ChosenSlot = row.Base;
  if (row.Context == Rule::None) return;

  const bool wordEnd = !IsWordChar(ByteAt(text, i + 1));
  for (int k = 0; k < ClassCount; ++k) {
    const std::int32_t variant = row.Variants[k];
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
