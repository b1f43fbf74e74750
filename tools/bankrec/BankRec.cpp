// Records the ten voice banks into <dir>/<Voice>.bank.
//
// espeak-ng's formant synthesiser speaks the voiced material: the vowels, l, m and n (one
// pitch period each, every vowel at its own pitch so that the voice's mean vowel period
// comes out right), and ll, ñ, r, rr, b, d and g as whole sounds cut out of short phoneme
// strings. Each voice is a variant file of ours in a private copy of espeak-ng's data
// (pitch, formant scaling, synthesiser settings). The voiceless consonants are made here
// from noise (Voiceless.h), coloured by the voice's own vowels. Each vowel, l, m and n
// period is cut with its energy in its middle out of its take turned in phase; which turn,
// the engine decides (Listening.h): the one with which its rendering of sentences of the
// tool's own misses the voice targets least.
//
// The same espeak-ng and the same program give byte-identical files. Any cut that misses
// its phoneme's length or level range, and any period that misses its target, stops the
// run with the slot named.
//
// Usage: bankrec [--espeak-data DIR] [--voice NAME]... <dir>
// With --voice, only the voices named are recorded; the other files are left as they are.
// espeak-ng carries noise state from take to take, so a voice's rr slots then differ from
// the ones a run of all ten gives it (the rest of the bank is the same).
#include <espeak-ng/speak_lib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <numbers>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "banks/BankText.h"
#include "banks/SlotTable.h"
#include "platform/core/Random.h"
#include "speech/SpeechSettings.h"
#include "tools/bankrec/Cutting.h"
#include "tools/bankrec/Joins.h"
#include "tools/bankrec/Listening.h"
#include "tools/bankrec/Voiceless.h"

namespace fs = std::filesystem;
using namespace bankrec;

namespace {

constexpr int Banks = 10;
// The voicing wave's amplitude at every voice preset's bass setting.
constexpr double Voicing = VoicingAmpOfBass(2);
constexpr int Slots = banks::SlotCount;

// A fault that names the bank and slot it happened in.
struct RecordingError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------------------------------
// The voices.

struct VoiceDef {
  const char* name;
  int period;         // mean length of the five vowel periods, in samples
  const char* tract;  // variant-file lines: formants and synthesiser settings
  VoicelessTraits noise;
  double tempo;  // consonant lengths
  double loud;   // 0 to 1: where the voice sits inside each level range
};

// Even banks are the lower voices, odd banks the higher ones.
const VoiceDef Voices[Banks] = {
    {"Varquelo",
     187,
     "formant 1 100 100 100\nformant 2 100 100 100\nformant 3 100 100 100\n"
     "formant 4 100 100 100\n",
     {1.00, 1.0, 1.0},
     1.00,
     0.50},
    {"Lidrena",
     79,
     "formant 1 118 100 120\nformant 2 121 90 120\nformant 3 118 80 120\n"
     "formant 4 117 80 120\nformant 5 117 80 120\n",
     {1.20, 0.8, 1.2},
     0.90,
     0.45},
    {"Burtalo",
     151,
     "formant 1 96 115 90\nformant 2 95 105 90\nformant 3 97 100 100\n"
     "formant 4 96 90 100\nvoicing 140\n",
     {0.95, 1.2, 0.9},
     1.08,
     0.60},
    {"Tesmira",
     141,
     "klatt 2\nformant 1 110 100 110\nformant 2 112 95 110\nformant 3 110 90 110\n"
     "formant 4 110 90 110\n",
     {1.10, 1.1, 1.1},
     0.95,
     0.40},
    {"Odelmo",
     319,
     "formant 1 91 120 80\nformant 2 92 110 80\nformant 3 94 100 90\n"
     "formant 4 93 90 90\nformant 5 93 80 90\n",
     {0.90, 1.3, 0.8},
     1.15,
     0.70},
    {"Crestia",
     139,
     "formant 1 114 100 130\nformant 2 116 95 130\nformant 3 113 85 130\n"
     "formant 4 113 80 130\n",
     {1.15, 0.9, 1.3},
     0.92,
     0.55},
    {"Hermodo",
     210,
     "klatt 4\nformant 1 103 105 100\nformant 2 104 100 100\nformant 3 102 95 100\n",
     {1.03, 1.0, 0.95},
     1.05,
     0.35},
    {"Quirela",
     124,
     "formant 1 116 105 115\nformant 2 118 100 115\nformant 3 115 95 120\n"
     "formant 4 115 90 120\ntone 600 170 1200 100 2000 60\n",
     {1.17, 0.85, 1.15},
     0.88,
     0.65},
    {"Dorvano",
     187,
     "klatt 6\nformant 1 98 110 110\nformant 2 97 105 110\nformant 3 99 100 110\n",
     {0.98, 1.15, 1.05},
     1.10,
     0.45},
    {"Nevrina",
     119,
     "formant 1 121 100 125\nformant 2 124 90 125\nformant 3 120 85 125\n"
     "formant 4 120 80 125\nformant 5 120 80 125\n",
     {1.23, 0.75, 1.2},
     0.85,
     0.50},
};

// ---------------------------------------------------------------------------------------
// The phonemes recorded, in recording order: the vowels (a, then the variant vowels e, i,
// o, u), l, m and n, then the voiced and the voiceless consonants. Their slots, banks and
// limits are the slot table's; here is only how each is made.

using Source = banks::SlotKind;

struct Recipe {
  std::string_view label;
  const char* speak;  // the espeak-ng phoneme name
  Voiceless noise;    // for Source::Voiceless
};

constexpr Recipe Recipes[] = {
    {"a", "a", {}},
    {"e", "e", {}},
    {"i", "i", {}},
    {"o", "o", {}},
    {"u", "u", {}},
    {"l", "l", {}},
    {"m", "m", {}},
    {"n", "n", {}},
    {"b", "b", {}},
    {"d", "d", {}},
    {"g", "g", {}},
    {"ll", "l^", {}},
    {"\xF1", "n^", {}},
    {"r", "*", {}},
    {"rr", "R2", {}},
    {"k", "", Voiceless::K},
    {"ch", "", Voiceless::Ch},
    {"f", "", Voiceless::F},
    {"j", "", Voiceless::J},
    {"p", "", Voiceless::P},
    {"s", "", Voiceless::S},
    {"t", "", Voiceless::T},
    {"x", "", Voiceless::X},
    {"z", "", Voiceless::Z},
};
constexpr int Vowels = 5, Periods = 3;  // the first recipes

struct Phoneme {
  std::string_view label;
  int base;
  std::array<int, banks::VariantCount> variant;  // slots for e, i, o, u
  unsigned banks;                                // banks whose base slot holds a recording
  unsigned variants;                             // banks whose variant slots do
  int minLen, maxLen, minPeak, maxPeak;
  Source source;
  const char* speak;
  Voiceless noise;
};

constexpr std::array<Phoneme, std::size(Recipes)> MakeTable() {
  std::array<Phoneme, std::size(Recipes)> table{};
  for (std::size_t i = 0; i < table.size(); ++i) {
    const Recipe& r = Recipes[i];
    const banks::SlotRow& row = *banks::FindSlotRow(r.label);
    table[i] = {row.label,        row.base,       row.variants,   row.baseBanks,
                row.variantBanks, row.minSamples, row.maxSamples, row.minPeak,
                row.maxPeak,      row.kind,       r.speak,        r.noise};
  }
  return table;
}

// Every recipe names a phoneme of the slot table, every phoneme with recordings has a
// recipe, and the recipes come in the order above: the code below counts on it.
constexpr bool RecipesFollowTheSlotTable() {
  for (const Recipe& r : Recipes)
    if (!banks::HasSlotRow(r.label)) return false;
  for (const banks::SlotRow& row : banks::SlotTable) {
    if (row.baseBanks == banks::NoBanks && row.variantBanks == banks::NoBanks) continue;
    int found = 0;
    for (const Recipe& r : Recipes) found += r.label == row.label;
    if (found != 1) return false;
  }
  for (int i = 0; i < static_cast<int>(std::size(Recipes)); ++i) {
    const Source kind = banks::FindSlotRow(Recipes[i].label)->kind;
    const bool vowel = i < Vowels, period = !vowel && i < Vowels + Periods;
    if ((kind == Source::Vowel) != vowel || (kind == Source::Period) != period) return false;
  }
  if (Recipes[0].label != "a") return false;
  for (int k = 0; k < banks::VariantCount; ++k)
    if (Recipes[k + 1].label != banks::VariantVowels.substr(static_cast<std::size_t>(k), 1))
      return false;
  return true;
}
static_assert(RecipesFollowTheSlotTable());

constexpr std::array<Phoneme, std::size(Recipes)> Table = MakeTable();

// The vowel a consonant is recorded before: a for its base slot, the variant's own vowel for
// variant v (1 to 4). The same index picks that vowel among the first recipes.
std::string VowelAfter(int v) {
  return std::string(1, v == 0 ? 'a' : banks::VariantVowels[static_cast<std::size_t>(v - 1)]);
}

// Typical length in milliseconds of each voiceless consonant, before the voice's tempo.
double VoicelessMs(Voiceless c) {
  switch (c) {
    case Voiceless::P:
      return 22;
    case Voiceless::T:
      return 26;
    case Voiceless::K:
      return 38;
    case Voiceless::Ch:
      return 62;
    case Voiceless::F:
      return 70;
    case Voiceless::S:
      return 62;
    case Voiceless::Z:
      return 58;
    case Voiceless::J:
      return 68;
    case Voiceless::X:
      return 85;
  }
  return 50;
}

// A label for the terminal: the labels are Windows-1252, as the program keeps them.
std::string Shown(std::string_view label) {
  std::string out;
  for (char c : label) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

std::string SlotName(int bank, int slot, std::string_view label) {
  return std::string(Voices[bank].name) + " slot " + std::to_string(slot) + " (\"" + Shown(label) +
         "\")";
}

// ---------------------------------------------------------------------------------------
// The speaker.

struct Take {
  Wave wave;
  std::vector<std::pair<int, std::string>> events;  // sample, phoneme name

  // Start of the n-th (from 0) event named `name`, and of the event after it.
  std::pair<int, int> Segment(const std::string& name, int nth = 0) const {
    for (std::size_t i = 0; i + 1 < events.size(); ++i)
      if (events[i].second == name && nth-- == 0) return {events[i].first, events[i + 1].first};
    throw RecordingError("no phoneme \"" + name + "\" in the speaker's output");
  }
};

Take* capture = nullptr;

int OnSynth(short* wav, int count, espeak_EVENT* ev) {
  if (wav && count > 0) capture->wave.insert(capture->wave.end(), wav, wav + count);
  for (; ev && ev->type != espeakEVENT_LIST_TERMINATED; ++ev) {
    if (ev->type != espeakEVENT_PHONEME) continue;
    char name[9] = {};
    std::memcpy(name, ev->id.string, 8);
    capture->events.emplace_back(ev->sample, name);
  }
  return 0;
}

class Speaker {
 public:
  // Builds the private data folder under `work` from the installed espeak-ng data.
  Speaker(const fs::path& installed, const fs::path& work) : root_(work) {
    const fs::path data = root_ / "espeak-ng-data";
    fs::create_directories(data / "lang" / "roa");
    fs::create_directories(data / "voices" / "!v");
    for (const char* f : {"phontab", "phonindex", "phondata", "intonations", "es_dict"})
      fs::copy_file(installed / f, data / f, fs::copy_options::overwrite_existing);
    fs::copy_file(installed / "lang" / "roa" / "es", data / "lang" / "roa" / "es",
                  fs::copy_options::overwrite_existing);
    variants_ = data / "voices" / "!v";
    const std::string path = root_.string();
    int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, path.c_str(),
                                 espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT);
    if (rate != static_cast<int>(Rate))
      throw RecordingError("espeak-ng gives " + std::to_string(rate) + " samples per second");
    espeak_SetSynthCallback(OnSynth);
  }
  ~Speaker() { espeak_Terminate(); }

  // Speaks `phonemes` with the voice of `bank` at variant pitch `hz` and pitch setting
  // `pitch` (0 to 50), at `rate` words per minute.
  Take Say(int bank, int hz, int pitch, int rate, const std::string& phonemes) {
    const std::string variant = Variant(bank, hz);
    if (espeak_SetVoiceByName(("es+" + variant).c_str()) != EE_OK)
      throw RecordingError("espeak-ng has no voice es+" + variant);
    espeak_SetParameter(espeakRANGE, 0, 0);
    espeak_SetParameter(espeakRATE, rate, 0);
    espeak_SetParameter(espeakPITCH, pitch, 0);
    // Half volume: some synthesiser settings clip at full volume.
    espeak_SetParameter(espeakVOLUME, 50, 0);
    Take take;
    capture = &take;
    const std::string text = "[[" + phonemes + "]]";
    espeak_ERROR err = espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                                    espeakCHARS_UTF8 | espeakPHONEMES, nullptr, nullptr);
    if (err != EE_OK || espeak_Synchronize() != EE_OK)
      throw RecordingError("espeak-ng failed on " + text);
    capture = nullptr;
    if (take.wave.empty()) throw RecordingError("espeak-ng said nothing for " + text);
    return take;
  }

 private:
  // The variant file of a voice at one pitch. espeak-ng speaks 9 Hz below the pitch that
  // a voice file names (the pitch finder measures, so this only matters for reading).
  std::string Variant(int bank, int hz) {
    const std::string name = "orv" + std::to_string(bank) + "f" + std::to_string(hz);
    const fs::path file = variants_ / name;
    if (!fs::exists(file)) {
      std::ofstream f(file, std::ios::binary);
      f << "language variant\nname " << name << "\n"
        << Voices[bank].tract << "pitch " << hz << " " << hz << "\n"
        << "flutter 0\nroughness 0\necho 0 0\nbreath 0\n";
      if (!f.flush()) throw RecordingError("cannot write " + file.string());
    }
    return name;
  }

  fs::path root_;
  fs::path variants_;
};

// ---------------------------------------------------------------------------------------
// Pitch: a variant file takes whole hertz, which is too coarse for long periods, so the
// pitch setting (which scales the voice's pitch in fine steps below 50, leaving the
// formants alone) makes up the fraction.

// Measured for each voice, since its synthesiser settings move its pitch a little.
class PitchFinder {
 public:
  PitchFinder(Speaker& speaker, int bank) : speaker_(speaker) {
    for (int p = LowSetting; p <= 50; ++p) {
      Take t = speaker_.Say(bank, 118, p, 100, "'a:");
      auto [from, to] = t.Segment("a");
      const int guess = EstimatePeriod(t.wave, from + 500, 600, 40, 420);
      period_[p] = MeanPeriod(t.wave, from + 300, guess, to - from - 600);
    }
  }

  struct Setting {
    int hz, pitch;
  };

  // Settings that should give `period` samples, best first.
  std::vector<Setting> For(double period) const {
    struct Candidate {
      Setting s;
      double miss;
    };
    std::vector<Candidate> c;
    const double ref = 118 - 9;  // hertz of the calibration voice, as espeak-ng counts
    for (int p = LowSetting; p <= 50; ++p) {
      // Period at (hz, p) = period_[p] * ref / (hz - 9).
      const double exact = period_.at(p) * ref / period + 9;
      for (int hz : {static_cast<int>(std::floor(exact)), static_cast<int>(std::ceil(exact))}) {
        double predicted = period_.at(p) * ref / (hz - 9);
        c.push_back({{hz, p}, std::fabs(predicted - period) + (50 - p) * 0.002});
      }
    }
    std::sort(c.begin(), c.end(), [](const Candidate& a, const Candidate& b) {
      return a.miss < b.miss || (a.miss == b.miss && a.s.pitch > b.s.pitch);
    });
    std::vector<Setting> out;
    for (const auto& x : c) out.push_back(x.s);
    return out;
  }

 private:
  static constexpr int LowSetting = 30;
  Speaker& speaker_;
  std::map<int, double> period_;
};

// ---------------------------------------------------------------------------------------

int LevelIn(int lo, int hi, double frac) {
  return lo + static_cast<int>(std::lround((hi - lo) * std::clamp(frac, 0.0, 1.0)));
}

// Positive-going zero crossing at or after n.
int RisingZeroAfter(const Wave& x, int n) {
  for (int i = std::max(1, n); i < static_cast<int>(x.size()); ++i)
    if (x[i - 1] < 0 && x[i] >= 0) return i;
  return static_cast<int>(x.size());
}

struct Period {
  Wave wave;
  double measured;
  double wrap;
  double taper;  // share of the period tapered at each edge
  PitchFinder::Setting setting;
  // The period smoothed and ready, as cut out of the take turned in phase by different
  // amounts, the best for the formants first.
  std::vector<Wave> options;
};

class Recorder {
 public:
  Recorder(Speaker& speaker, PitchFinder& pitch) : speaker_(speaker), pitch_(pitch) {}

  // One period of exactly `length` samples of the phoneme `name` in `phonemes`, spoken at
  // the pitch that gives that period within `tolerance` samples. With `adopt`, the period
  // is cut at the length measured instead.
  Period CutPeriod(int bank, const std::string& slot, const std::string& phonemes,
                   const std::string& name, int length, double tolerance, bool adopt, int level) {
    int tries = 0;
    std::string seen;
    for (const auto& s : pitch_.For(length)) {
      if (++tries > 6) break;
      Take t = speaker_.Say(bank, s.hz, s.pitch, 100, phonemes);
      auto [from, to] = t.Segment(name);
      const int span = to - from;
      if (span < 2 * length + 200)
        throw RecordingError(slot + ": the \"" + name + "\" is too short to measure");
      // The steady middle of the sound.
      const int mid = from + span / 2;
      const int lo = std::max(from + span / 5, mid - 6 * length);
      const int hi = std::min(to - span / 5, mid + 6 * length);
      const double measured = MeanPeriod(t.wave, lo, length, hi - lo - 200);
      if (std::fabs(measured - length) > tolerance) {
        seen += " " + std::to_string(measured);
        continue;
      }
      if (adopt) length = static_cast<int>(std::lround(measured));
      // The engine cuts a period to a shorter pitch period from both ends and fades its
      // outer quarters, so the period is cut where its energy sits in its middle, out of the
      // take turned in phase (which keeps its spectrum; the turn is chosen later, by what the
      // engine makes of it in sentences). Its edges are tapered to zero (SmoothPeriod), since
      // the engine also repeats a period uncut whenever its pitch period is longer. The first
      // two formants of the tapered period should stay within 6 % of the plain period's, else
      // a shorter taper is tried, and failing all, the cut and taper that move them least;
      // and they should move least as the engine renders the period at the top of the
      // voice's pitch range. One option for each turn, the best first.
      const int first = std::max(from, mid - 5 * length), last = std::min(to, mid + 5 * length);
      const Wave plain(t.wave.begin() + first, t.wave.begin() + last);
      const int centre = mid - first - length / 2;
      const int highHz = bank % 2 ? 238 : 133;
      double f1 = 0, f2 = 0;
      const bool resolved =
          FirstFormants(Wave(plain.begin() + centre, plain.begin() + centre + length), f1, f2);
      auto moved = [&](const Wave& w) {
        double g1 = 0, g2 = 0;
        if (!FirstFormants(w, g1, g2)) return 1e9;
        return std::max(std::fabs(g1 - f1) / f1, std::fabs(g2 - f2) / f2);
      };
      struct Option {
        double score;
        Wave cut, smoothed;
        double wrap, taper;
      };
      std::vector<Option> options;
      // A short period sits in a pitch period mostly of voicing wave at low pitches, where
      // the timbres that fade 1/9 of it expose its inside near its edges: it gets a longer
      // taper first.
      const std::vector<double> tapers = length < 100
                                             ? std::vector<double>{0.2, 0.15, 0.1, 0.07, 0.05}
                                             : std::vector<double>{0.1, 0.07, 0.05};
      for (double taper : tapers) {
        for (int k = 0; k < 36; ++k) {
          const Wave turned = RotatePhase(plain, std::numbers::pi * k / 18);
          Option o{1e18, {}, {}, 0, taper};
          int tried = 0;
          for (int at : CentredStarts(turned, centre, length)) {
            if (WrapStep(turned, at, length) > 0.3) continue;  // not a whole period there
            if (++tried > 4) break;
            const Wave cut(turned.begin() + at, turned.begin() + at + length);
            Wave w = cut;
            SmoothPeriod(w, taper);
            RemoveOffset(w);
            const double kept = resolved ? moved(w) : 0;
            const double score =
                (kept > 0.06 ? 10 + kept : 0) +
                (resolved ? std::min(1.0, moved(RenderedPeriod(
                                              w, Voicing * Peak(w) / (level * 327.67), highHz)))
                          : 0);
            if (score < o.score) o = {score, cut, w, WrapStep(turned, at, length), taper};
          }
          if (o.score < 1e18) options.push_back(o);
        }
        if (std::any_of(options.begin(), options.end(),
                        [](const Option& o) { return o.score < 10; }))
          break;
      }
      if (options.empty())
        throw RecordingError(slot + ": the cut period does not join itself anywhere");
      std::stable_sort(options.begin(), options.end(),
                       [](const Option& a, const Option& b) { return a.score < b.score; });
      Period p;
      p.wave = options.front().cut;
      p.wrap = options.front().wrap;
      p.taper = options.front().taper;
      for (const Option& o : options)
        if (o.score < 10 || p.options.empty()) p.options.push_back(o.smoothed);
      p.measured = measured;
      p.setting = s;
      if (Peak(p.wave) >= 32767) throw RecordingError(slot + ": the speaker's output clipped");
      if (p.wrap > 0.3)
        throw RecordingError(slot + ": the cut period does not join itself (step " +
                             std::to_string(p.wrap) + ")");
      return p;
    }
    throw RecordingError(slot + ": no pitch setting gave a period of " + std::to_string(length) +
                         " samples (measured" + seen +
                         "; did espeak-ng find the voice's variant file?)");
  }

  // A whole voiced consonant `name` out of `phonemes`, from where it sounds to one period
  // into the vowel after it, aiming at `target` samples within [minLen, maxLen]. The
  // speaking rate moves the length towards the target; a cut still too long loses its
  // start, or, for a stop (`burst`), its end, so that it keeps its release.
  Wave CutConsonant(int bank, const std::string& slot, const std::string& phonemes,
                    const std::string& name, int target, int minLen, int maxLen, bool burst) {
    const int period = Voices[bank].period;
    const auto s = pitch_.For(period).front();
    int rate = 175;
    Wave cut;
    for (int attempt = 0; attempt < 5; ++attempt) {
      Take t = speaker_.Say(bank, s.hz, s.pitch, rate, phonemes);
      auto [from, to] = t.Segment(name);
      // A stop after a pause starts where it sounds; a sound between vowels at its own
      // start, so that nothing of the vowel before it comes along.
      const int start =
          burst ? SoundOnset(t.wave, std::max(0, from - 128), to) : RisingZeroAfter(t.wave, from);
      const int end = RisingZeroAfter(t.wave, to + period);
      if (end >= static_cast<int>(t.wave.size()))
        throw RecordingError(slot + ": the vowel after the \"" + name + "\" is missing");
      cut.assign(t.wave.begin() + start, t.wave.begin() + end);
      const int len = static_cast<int>(cut.size());
      if (len >= minLen && len <= maxLen && std::abs(len - target) * 5 < target * 2) break;
      const int next =
          std::clamp(static_cast<int>(std::lround(rate * 1.0 * len / target)), 80, 350);
      if (next == rate) break;
      rate = next;
    }
    if (static_cast<int>(cut.size()) > maxLen) {
      if (burst) {
        int to = target;
        while (to > 1 && !(cut[to - 1] < 0 && cut[to] >= 0)) --to;
        cut.resize(to);
      } else {
        // Keep the part that leads into the vowel.
        const int from = RisingZeroAfter(cut, static_cast<int>(cut.size()) - target);
        cut.erase(cut.begin(), cut.begin() + from);
      }
    }
    const int len = static_cast<int>(cut.size());
    if (len < minLen || len > maxLen)
      throw RecordingError(slot + ": the cut is " + std::to_string(len) + " samples, outside " +
                           std::to_string(minLen) + " to " + std::to_string(maxLen));
    if (Peak(cut) >= 32767) throw RecordingError(slot + ": the speaker's output clipped");
    Fade(cut, std::min(64, len / 8), 8);
    return cut;
  }

 private:
  Speaker& speaker_;
  PitchFinder& pitch_;
};

// Vowel period lengths inside each vowel's range whose mean is the voice's vowel period.
std::vector<int> VowelLengths(int period) {
  std::vector<int> len;
  int sum = 0;
  for (int v = 0; v < Vowels; ++v) {
    len.push_back(std::clamp(period, Table[v].minLen, Table[v].maxLen));
    sum += len.back();
  }
  int diff = period * Vowels - sum;
  for (bool moved = true; diff != 0 && moved;) {
    moved = false;
    for (int v = 0; v < Vowels && diff != 0; ++v) {
      int step = diff > 0 ? 1 : -1;
      if (len[v] + step < Table[v].minLen || len[v] + step > Table[v].maxLen) continue;
      len[v] += step;
      diff -= step;
      moved = true;
    }
  }
  return len;
}

std::string Checked(const Wave& w, int level, const std::string& slot, const Phoneme& p) {
  const int len = static_cast<int>(w.size());
  if (len < p.minLen || len > p.maxLen)
    throw RecordingError(slot + ": " + std::to_string(len) + " samples, outside " +
                         std::to_string(p.minLen) + " to " + std::to_string(p.maxLen));
  if (level < p.minPeak || level > p.maxPeak)
    throw RecordingError(slot + ": level " + std::to_string(level) + " outside its range");
  return ToSamples(w, level);
}

// The choices of one period slot: its level and its period as cut from takes turned in
// phase by different amounts.
struct Turns {
  int slot, level;
  std::vector<Wave> options;
};

// Sentences of our own for the choices below: each vowel stressed and unstressed, after and
// before consonants, l, m, n and other vowels (Windows-1252).
const char* const CheckSentences[] = {
    "Mi abuela guarda las llaves del coche en una caja de madera.",
    "El lunes por la noche hubo tormenta y se fue la luz en todo el pueblo.",
    "Los ni\xF1os corren por el parque mientras sus padres charlan en un banco.",
    "La m\xFAsica sonaba muy fuerte y nadie pod\xED"
    "a dormir.",
    "Compr\xE9 pan, queso y una botella de aceite en el mercado.",
    "El m\xE9"
    "dico dijo que el pulso del enfermo era normal.",
    "Subimos a la cumbre con fr\xEDo, pero el paisaje val\xED"
    "a la pena.",
    "Ayer cenamos pescado frito con lim\xF3n y ensalada de tomate.",
    "Un tren nocturno une las dos ciudades en ocho horas.",
    "Ma\xF1"
    "ana temprano iremos al museo de arte moderno.",
    "Tu t\xEDo Julio cultiva uvas y lechugas junto al r\xEDo.",
    "El b\xFAho nocturno vuela sobre la luna llena de junio.",
    "Cada uno de los alumnos ley\xF3 un libro distinto durante el curso.",
    "Los turistas suben en grupo al \xFAltimo piso de la torre.",
};

// How far the engine's rendering of the bank, speaking the sentences above with the voice's
// first preset, misses the voice targets, as a sum of penalties: the offsets of the
// sentences (the volume step scales a sentence's positive and negative half-waves apart,
// so periods whose two peaks come out unequal give it one), RMS in units of 0.25 % of full
// scale; and for the stressed vowels of running speech, per vowel the share of tokens out
// of its region and a median out of it, a closest pair under 6 semitones, and clicks at low
// pitches with the timbres that expose a period's inside, per second. `worst` gets
// the largest offset.
double Miss(const std::vector<std::string>& slots, int bank, const fs::path& wav,
            double* worst = nullptr) {
  SlotArray voice;
  for (int s = 0; s < Slots; ++s) voice[static_cast<std::size_t>(s)] = slots[s];
  platform::RandSeed(12345);
  RunningVowels vowels;
  std::vector<Phone> phones;
  double squares = 0, largest = 0;
  for (const char* sentence : CheckSentences) {
    phones.clear();
    const Wave x = Speak(voice, PresetPitch(bank), 0, sentence, wav.string(), &phones);
    if (x.empty()) throw RecordingError("the engine spoke nothing of a check sentence");
    const double offset = Offset(x);
    squares += offset * offset;
    largest = std::max(largest, std::fabs(offset));
    vowels.Add(x, phones);
  }
  if (worst) *worst = largest;
  double miss = std::sqrt(squares / std::size(CheckSentences)) / 0.25;
  for (int v = 0; v < 5; ++v) {
    const RunningVowels::Vowel r = vowels.Of(v);
    miss += 2 * (1 - r.Share());
    if (!r.resolved || !VowelRegions[v].Holds(r.f1, r.f2)) miss += 1;
  }
  int a = 0, b = 0;
  miss += std::max(0.0, 6 - vowels.ClosestPair(a, b)) / 2;
  // Clicks at the low pitches where the timbres that cut a period to 3/4 or 4/5 and fade
  // 1/9 of it expose its inside, in clicks per second.
  for (int pitch : {20, 40})
    for (int timbre : {3, 4}) {
      double seconds = 0;
      int clicks = 0;
      for (int s = 0; s < 4; ++s) {
        const Wave x = Speak(voice, pitch, timbre, CheckSentences[s], wav.string());
        seconds += static_cast<double>(x.size()) / Rate;
        clicks += static_cast<int>(Clicks(x).size());
      }
      miss += 0.2 * clicks / seconds;
    }
  return miss;
}

std::string RecordBank(int bank, Speaker& speaker, PitchFinder& pitch, const fs::path& scratch) {
  const VoiceDef& voice = Voices[bank];
  Recorder rec(speaker, pitch);
  std::vector<std::string> slots(Slots, std::string(2, '\0'));
  std::vector<Wave> vowels(Vowels);

  std::printf("%s (bank %d)\n", voice.name, bank);
  std::vector<Turns> turns;
  const std::vector<int> lengths = VowelLengths(voice.period);
  double sum = 0;
  for (int v = 0; v < Vowels; ++v) {
    const Phoneme& p = Table[v];
    const std::string slot = SlotName(bank, p.base, p.label);
    const int level = LevelIn(p.minPeak, p.maxPeak, voice.loud);
    Period per = rec.CutPeriod(bank, slot, std::string("'") + p.speak + ":", p.speak, lengths[v],
                               0.5, false, level);
    vowels[v] = per.wave;
    sum += per.measured;
    per.wave = per.options.front();
    turns.push_back({p.base, level, per.options});
    double f1 = 0, f2 = 0;
    FirstFormants(per.wave, f1, f2);
    std::printf(
        "  %s: period %d (measured %.2f, %d Hz, setting %d), step %.3f, F1 %.0f F2 %.0f, %zu "
        "turns\n",
        Shown(p.label).c_str(), lengths[v], per.measured, per.setting.hz, per.setting.pitch,
        per.wrap, f1, f2, per.options.size());
    slots[p.base] = Checked(per.wave, level, slot, p);
  }
  if (std::fabs(sum / Vowels - voice.period) > 1)
    throw RecordingError(std::string(voice.name) + ": mean vowel period " +
                         std::to_string(sum / Vowels) + " instead of " +
                         std::to_string(voice.period));

  // l from a word-initial "la", m and n from a word-final "am" and "an".
  for (int i = Vowels; i < Vowels + Periods; ++i) {
    const Phoneme& p = Table[i];
    const std::string slot = SlotName(bank, p.base, p.label);
    const int length = std::clamp(voice.period, p.minLen, p.maxLen);
    const std::string said = p.label == "l" ? "'la:" : std::string("'a") + p.speak;
    // Some synthesisers let the pitch sag a little in a consonant; the engine cuts these
    // periods to its own pitch in any case.
    // A stressed vowel before n glides into it over most of its length: n at the bottom of
    // its range lets the vowel's formants lead the blend.
    const int level = LevelIn(p.minPeak, p.maxPeak, p.label == "n" ? 0 : voice.loud * 0.6);
    Period per = rec.CutPeriod(bank, slot, said, p.speak, length, 2.5, true, level);
    per.wave = per.options.front();
    turns.push_back({p.base, level, per.options});
    std::printf("  %s: period %zu (measured %.2f), step %.3f, %zu turns\n", Shown(p.label).c_str(),
                per.wave.size(), per.measured, per.wrap, per.options.size());
    slots[p.base] = Checked(per.wave, level, slot, p);
  }

  std::vector<VowelColour> colour;
  for (int v = 0; v < Vowels; ++v) colour.push_back(ColourOf(vowels[v], v >= 3));

  for (const Phoneme& p : Table) {
    if (p.source == Source::Vowel || p.source == Source::Period) continue;
    std::vector<std::pair<int, int>> filled;  // slot, vowel after it (0 = a)
    if (p.banks & (1u << bank)) filled.push_back({p.base, 0});
    if (p.variants & (1u << bank))
      for (int v = 0; v < banks::VariantCount; ++v) filled.push_back({p.variant[v], v + 1});
    std::string lengths;
    for (auto [s, v] : filled) {
      const std::string slot = SlotName(bank, s, p.label);
      const double frac = voice.loud + 0.1 * (v - 2) / 2;
      Wave w;
      if (p.source == Source::Voiced) {
        const int mid = (p.minLen + p.maxLen) / 2;
        const int target =
            std::clamp(static_cast<int>(mid * voice.tempo), p.minLen * 21 / 20, p.maxLen * 19 / 20);
        // b, d and g after a pause, so that they are stops; the rest between vowels.
        const bool stop = p.label == "b" || p.label == "d" || p.label == "g";
        const std::string said =
            (stop ? std::string("_") : std::string("a")) + p.speak + "'" + VowelAfter(v);
        w = rec.CutConsonant(bank, slot, said, p.speak, target, p.minLen, p.maxLen, stop);
      } else {
        // Slightly longer before the close vowels, as speakers do.
        const double ms = VoicelessMs(p.noise) * voice.tempo * (v == 2 || v == 4 ? 1.06 : 1.0);
        const int len =
            std::clamp(static_cast<int>(ms * Rate / 1000), p.minLen * 21 / 20, p.maxLen * 19 / 20);
        w = MakeVoiceless(p.noise, len, voice.noise, colour[v],
                          0x5EED0000ull + static_cast<std::uint64_t>(bank) * 1000 +
                              static_cast<std::uint64_t>(s));
      }
      SmoothOnsets(w);
      slots[s] = Checked(w, LevelIn(p.minPeak, p.maxPeak, frac), slot, p);
      lengths += " " + std::to_string(w.size());
    }
    if (!lengths.empty()) std::printf("  %s:%s samples\n", Shown(p.label).c_str(), lengths.c_str());
  }
  // Each period slot in turn takes the phase turn with which the engine's rendering misses
  // the voice targets least (Miss), twice round.
  const fs::path wav = scratch / "check.wav";
  double worstBefore = 0, worst = 0;
  const double before = Miss(slots, bank, wav, &worstBefore);
  double miss = before;
  for (int round = 0; round < 2; ++round) {
    for (const Turns& c : turns) {
      const Phoneme& p = *std::find_if(std::begin(Table), std::end(Table),
                                       [&](const Phoneme& x) { return x.base == c.slot; });
      const std::string name = SlotName(bank, c.slot, p.label);
      std::string chosen = slots[c.slot];
      for (const Wave& w : c.options) {
        slots[c.slot] = Checked(w, c.level, name, p);
        const double m = Miss(slots, bank, wav);
        if (m < miss - 1e-9) {
          miss = m;
          chosen = slots[c.slot];
        }
      }
      slots[c.slot] = chosen;
    }
  }
  Miss(slots, bank, wav, &worst);
  std::printf(
      "  miss %.2f, offset %.2f %% of full scale at most (%.2f and %.2f with the first "
      "choices)\n",
      miss, worst, before, worstBefore);
  std::string text;
  for (const auto& s : slots) text += banks::WriteElement(s);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path installed = ORV_ESPEAK_DATA;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "--espeak-data") {
    installed = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  std::vector<std::string> only;
  while (args.size() >= 3 && args[0] == "--voice") {
    only.push_back(args[1]);
    args.erase(args.begin(), args.begin() + 2);
  }
  for (const std::string& name : only)
    if (std::none_of(std::begin(Voices), std::end(Voices),
                     [&](const VoiceDef& v) { return name == v.name; })) {
      std::cerr << "bankrec: no voice is called " << name << "\n";
      return 2;
    }
  if (args.size() != 1) {
    std::cerr << "usage: bankrec [--espeak-data DIR] [--voice NAME]... <dir>\n";
    return 2;
  }
  const fs::path out = args[0];
  const fs::path work = fs::temp_directory_path() / ("orv-bankrec-" + std::to_string(getpid()));
  int status = 0;
  try {
    fs::remove_all(work);
    Speaker speaker(installed, work);
    for (int b = 0; b < Banks; ++b) {
      if (!only.empty() && std::find(only.begin(), only.end(), Voices[b].name) == only.end())
        continue;
      PitchFinder pitch(speaker, b);
      const std::string text = RecordBank(b, speaker, pitch, work);
      const fs::path file = out / (std::string(Voices[b].name) + ".bank");
      std::ofstream f(file, std::ios::binary | std::ios::trunc);
      f << text;
      if (!f.flush()) throw RecordingError("cannot write " + file.string());
    }
  } catch (const std::exception& e) {
    std::cerr << "bankrec: " << e.what() << "\n";
    status = 1;
  }
  std::error_code ignored;
  fs::remove_all(work, ignored);
  return status;
}
