// Speaks a Spanish sentence with each of the ten compiled-in voices through the synthesis
// engine, writes <dir>/<Voice>.wav for listening and prints each file's level figures:
// length, peak, loudness, samples at full scale and the share of silent stretches.
//
// Usage: bankspeak <dir> [sentence in Windows-1252]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "banks/SlotTable.h"
#include "banks/VoiceBanks.h"
#include "platform/core/Random.h"
#include "speech/CreateVoice.h"
#include "speech/SpeechSettings.h"

namespace {

struct Engine : TCreateVoice {};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: bankspeak <dir> [sentence]\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  const std::string sentence = argc == 3 ? argv[2]
                                         : "El perro de San Roque no tiene rabo, porque "
                                           "Ram\xF3n Rodr\xEDguez se lo ha cortado.";
  int status = 0;
  for (int b = 0; b < banks::BankCount; ++b) {
    const banks::TVoiceBank& bank = banks::VoiceBankTable(b);
    // The voice at its own pitch: the mean length of its five vowel periods.
    double period = 0;
    for (const banks::SlotRow& row : banks::SlotTable)
      if (row.kind == banks::SlotKind::Vowel) period += bank[row.base].size() / 2.0 / 5;
    const auto file = dir / (std::string(banks::VoiceName(b)) + ".wav");
    const SpeechSettings settings{
        .SampleRate = 22050,
        .Pitch = static_cast<std::int16_t>(std::lround(22050 / period) - 49),
        .Speed = 5,
        .Volume = 80};
    Engine v;
    v.FSentence = sentence;
    SetUpSynthesis(v, settings, bank, file.string());
    platform::RandSeed(1);
    v.Synthesize();

    std::ifstream in(file, std::ios::binary);
    const std::string wav{std::istreambuf_iterator<char>(in), {}};
    if (wav.size() <= 44) {
      std::printf("%-9s no sound written\n", std::string(banks::VoiceName(b)).c_str());
      status = 1;
      continue;
    }
    const std::size_t n = (wav.size() - 44) / 2;
    double energy = 0;
    int peak = 0, rails = 0, silent = 0, frames = 0, frameLoud = 0;
    const std::size_t frame = 441;  // 20 ms
    double frameEnergy = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const int s = static_cast<std::int16_t>(
          static_cast<std::uint16_t>(static_cast<unsigned char>(wav[44 + 2 * i]) |
                                     (static_cast<unsigned char>(wav[45 + 2 * i]) << 8)));
      energy += static_cast<double>(s) * s;
      frameEnergy += static_cast<double>(s) * s;
      peak = std::max(peak, std::abs(s));
      if (s >= 32767 || s <= -32767) ++rails;
      if ((i + 1) % frame == 0) {
        ++frames;
        if (std::sqrt(frameEnergy / frame) < 100)
          ++silent;
        else
          ++frameLoud;
        frameEnergy = 0;
      }
    }
    std::printf(
        "%-9s %5.2f s at %3ld Hz: peak %5d, rms %6.0f, %d samples at full scale, "
        "%d of %d frames of 20 ms silent\n",
        std::string(banks::VoiceName(b)).c_str(), n / 22050.0, std::lround(22050 / period), peak,
        std::sqrt(energy / std::max<std::size_t>(n, 1)), rails, silent, frames);
    if (rails > 0 || frameLoud == 0) status = 1;
  }
  return status;
}
