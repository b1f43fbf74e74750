// Period rendering and voicing: one character's slot recording becomes its phoneme in
// FPhoneStream, either once (consonants, marks) or period by period (vowels, l, m, n).
#include "speech/Rendering.h"

#include <array>
#include <cstring>
#include <iterator>

#include "banks/SlotTable.h"
#include "platform/core/Numeric.h"
#include "platform/core/Random.h"
#include "speech/CreateVoice.h"
#include "speech/Letters.h"
#include "speech/Prosody.h"
#include "speech/TextBytes.h"

namespace {

struct GlidePair {
  char pair[2];
  std::uint8_t FromSlot, ToSlot;
};

// A vowel glides into any other sound recorded as one period: every pair of two different
// vowels and every vowel before l, m or n, with their base slots from the slot table.
template <typename Add>
constexpr void EachGlide(Add add) {
  for (const banks::SlotRow& from : banks::SlotTable)
    for (const banks::SlotRow& to : banks::SlotTable)
      if (from.kind == banks::SlotKind::Vowel && to.IsPeriodic() && &to != &from)
        add(GlidePair{{from.label[0], to.label[0]},
                      static_cast<std::uint8_t>(from.base),
                      static_cast<std::uint8_t>(to.base)});
}
constexpr std::size_t GlideCount() {
  std::size_t n = 0;
  EachGlide([&](const GlidePair&) { ++n; });
  return n;
}
constexpr std::array<GlidePair, GlideCount()> MakeGlidePairs() {
  std::array<GlidePair, GlideCount()> pairs{};
  std::size_t n = 0;
  EachGlide([&](const GlidePair& g) { pairs[n++] = g; });
  return pairs;
}
// No two entries are equal, so their order does not matter.
constexpr std::array<GlidePair, GlideCount()> GlidePairs = MakeGlidePairs();

// The four control bytes just below the markers (25 to 28) take the shortest lead-in.
constexpr std::uint8_t FirstControlBelowMarkers = LlMark - 4;

// Zero samples ahead of a stop or fricative: lead-in and recording last at least this long.
// 0 for letters without a lead-in.
std::int32_t LeadInTarget(std::uint8_t c) {
  if (c >= FirstControlBelowMarkers && c < LlMark) return 10;
  switch (c) {
    case RrMark:
    case 'r':
      return 700;
    case LlMark:
    case ChMark:
    case 'b':
    case 'c':
    case 'd':
    case 'g':
    case 'k':
    case 'p':
    case 'q':
    case 't':
      return 1200;
    case 'x':
      return 2300;
    case 'f':
    case 'j':
    case 's':
      return 10;
    default:
      return 0;
  }
}

bool IsVoicedLetter(std::uint8_t c) {
  return c == LlMark || c == RrMark || c == 'b' || c == 'd' || c == 'g' || c == 'r' || c == NTilde;
}

// The last and the first sample go (4 bytes a time).
void TrimEnds(std::string& s) {
  s.erase(s.size() >= 2 ? s.size() - 2 : 0);
  s.erase(0, 2);
}

// The glide into what follows, or the fade before a consonant, in the last periods.
void GlideOrFade(TCreateVoice& v, std::int32_t k) {
  const ProsodyState& P = v.Prosody;
  if (P.PairBuffer.size() != 2) return;
  if (k < P.Repeats - (11 - static_cast<std::int32_t>(v.FSpeed))) return;
  const auto remaining = static_cast<std::uint8_t>(P.Repeats - k);
  for (const GlidePair& g : GlidePairs) {
    if (P.PairBuffer[0] == g.pair[0] && P.PairBuffer[1] == g.pair[1]) {
      v.BlendPeriods(g.FromSlot, g.ToSlot, remaining, 0);
      return;
    }
  }
  if (static_cast<std::uint8_t>(P.PairBuffer[1]) == 255 && k >= P.Repeats - 2 && k > 5 &&
      v.FSpeed < 8) {
    // Slot 0 is silence: the vowel, plain or accented, fades out.
    const banks::SlotRow* vowel = banks::FindSlotRow(
        static_cast<char>(PlainVowelOf(static_cast<std::uint8_t>(P.PairBuffer[0]))));
    if (vowel && vowel->kind == banks::SlotKind::Vowel)
      v.BlendPeriods(0, static_cast<std::uint8_t>(vowel->base), remaining, 1);
  }
}

// Cut to the pitch period, then the edges shaped by the cut or by the timbre.
void CutAndShape(TCreateVoice& v) {
  std::string& period = v.FPeriod;
  const std::int64_t P =
      platform::Round(platform::FDiv(22050, v.Prosody.CurrentPitch + 1) * 2);  // bytes
  bool cut = false;
  while (static_cast<std::int64_t>(period.size()) >= P && !period.empty()) {
    TrimEnds(period);
    cut = true;
  }
  const std::int32_t inDiv = v.Render.InDiv, outDiv = v.Render.OutDiv;
  if (cut) {
    v.ShapePeriod(period, 4, 4, period);
    return;
  }
  switch (v.FTimbre) {
    case 1:
    case 2:
      v.ShapePeriod(period, inDiv, outDiv, period);
      break;
    case 3:
    case 4: {
      // Timbre 3 keeps at most three quarters of the period, timbre 4 four fifths.
      const std::int64_t limit = static_cast<std::int64_t>(v.FTimbre) *
                                 static_cast<std::int64_t>(period.size()) / (v.FTimbre + 1);
      while (static_cast<std::int64_t>(period.size()) > limit) TrimEnds(period);
      v.ShapePeriod(period, inDiv, outDiv, period);
      break;
    }
    default:
      break;
  }
}

// Timbres 5 to 9 against two reversed samples, then the voicing mix.
void VoiceThePeriod(TCreateVoice& v) {
  platform::MemoryStream& phone = *v.FPhoneStream;
  platform::MemoryStream& scratch = *v.ReverseScratch;
  v.MakeVoicingWave(platform::Wrap16(v.Prosody.Repeats), v.Prosody.CurrentPitch);
  const std::int32_t r = platform::Random(26) + 37;
  if (v.FTimbre >= 5 && v.FTimbre <= 9) {
    phone.Seek(0);
    scratch.CopyFrom(phone, 4);
    v.ReverseStream(scratch);
    switch (v.FTimbre) {
      case 5:
        v.ReverseStream(phone);
        break;
      case 6:
        v.MixStreams(phone, scratch, phone, 33, 66);
        break;
      case 7:
        v.MixStreams(phone, scratch, phone, 50, 50);
        break;
      case 8:
        v.MixStreams(phone, scratch, phone, 66, 33);
        break;
      case 9:
        v.MixStreams(phone, scratch, phone, static_cast<std::uint8_t>(100 - r),
                     static_cast<std::uint8_t>(r));
        break;
    }
    scratch.Clear();
  }
  v.MixStreams(*v.FVoicingStream, phone, phone, 50, 50);
}

void RenderOnce(TCreateVoice& v) {
  platform::MemoryStream& phone = *v.FPhoneStream;
  const std::uint8_t letter = v.Loop.CurrentLetter;
  const std::string& recording = v.FBank.at(static_cast<std::size_t>(v.Loop.ChosenSlot));
  if (const std::int32_t T = LeadInTarget(letter); T > 0) {
    const std::int16_t zeros =
        platform::Wrap16(2 * T - static_cast<std::int64_t>(recording.size()));
    if (zeros > 0 && phone.Size() < static_cast<std::size_t>(zeros))
      phone.SetSize(static_cast<std::size_t>(zeros));
    phone.Seek(phone.Size());
  }
  phone.Write(recording.data(), recording.size());
  if (IsVoicedLetter(letter)) {
    // Half recording, half voicing, the voicing dying away over the last 64 samples.
    v.MakeVoicingWave(1, v.Prosody.CurrentPitch);
    v.MixStreams(*v.FVoicingStream, phone, phone, 50, 50);
  }
}

// One pass per period, in this order: glide or fade, the recording when no glide gave a
// period, cut and shape, voicing, the period pitch step; then the period joins the others.
void RenderPeriods(TCreateVoice& v) {
  const std::int32_t passes = v.Prosody.Repeats;
  const std::string& recording = v.FBank.at(static_cast<std::size_t>(v.Loop.ChosenSlot));
  for (std::int32_t k = 1; k <= passes; ++k) {
    GlideOrFade(v, k);
    v.FPhoneStream->Clear();
    if (v.FPeriod.empty()) v.FPeriod = recording;
    CutAndShape(v);
    v.FPhoneStream->Write(v.FPeriod.data(), v.FPeriod.size());
    VoiceThePeriod(v);
    v.FPeriod.clear();
    PeriodPitchStep(v, k);
    v.AppendStream(*v.FPhoneStream, *v.FPeriodStream);
  }
  if (v.FPeriodStream->Size() > 0) {
    platform::MemoryStream& phone = *v.FPhoneStream;
    phone.SetSize(v.FPeriodStream->Size());
    std::memcpy(phone.Data(), v.FPeriodStream->Data(), phone.Size());
    phone.Seek(0);
  }
}

// The edge ramps of timbres 1 to 4, as ShapePeriod's divisors (0: the ramp reaches the
// other one). Timbres 1 and 3 rise over the first eight ninths of a period and fall over
// the last ninth; 2 and 4 the other way round. Other timbres shape no edges.
constexpr RenderState TimbreShapes[] = {{0, 9}, {9, 0}, {0, 9}, {9, 0}};
}  // namespace

void SetUpTimbre(TCreateVoice& v) {
  v.Render = v.FTimbre >= 1 && v.FTimbre <= std::size(TimbreShapes) ? TimbreShapes[v.FTimbre - 1]
                                                                    : RenderState{};
}

void RenderCharacter(TCreateVoice& v) {
  v.FPeriodStream->Clear();
  if (v.Prosody.Repeats == 1)
    RenderOnce(v);
  else if (v.Prosody.Repeats > 1)
    RenderPeriods(v);
}
