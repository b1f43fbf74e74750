// Synthesis speed: a fixed Spanish text is cut into sentences as a reading cuts it, and each
// sentence is synthesised to a WAV file as the reading's synthesis thread does it. Reports
// the seconds of audio made per second of CPU time.
//
//   bench_synthesis [--all-voices] [--passes N]
//       voice item 0 (bank 0 with its first preset: pitch 40, speed 5, treble/bass "0 -2",
//       volume 99, analog speed 0); --all-voices adds the first item of every voice.
//   bench_synthesis --digests
//       one line per voice and setting combination with a digest of every WAV byte made from
//       the text; two builds that print the same lines make the same files.
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "banks/VoiceBanks.h"
#include "bench/BenchSupport.h"
#include "platform/core/Random.h"
#include "speech/CreateVoice.h"
#include "speech/SpeechSettings.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;

namespace {

using bench::CpuSeconds;
using bench::Sentences;

// Windows-1252, as the text box hands a reading its text.
const char* const kText =
    "El 3 de abril de 2025, a las 8:15 de la ma\xF1"
    "ana, el tren sali\xF3 de la estaci\xF3n de Atocha. "
    "Viajaban 247 personas; casi todas iban a Sevilla, pero algunas bajaron en C\xF3rdoba.\r\n"
    "\xBF"
    "Cu\xE1nto cuesta un billete de ida y vuelta? Unos 86 euros, si se compra con tiempo.\r\n"
    "La revisora, una mujer alta y amable, pidi\xF3 los billetes con una sonrisa.\r\n"
    "\xA1Qu\xE9 calor hace en este vag\xF3n! Se quej\xF3 un se\xF1or mayor que le\xED"
    "a el peri\xF3"
    "dico.\r\n"
    "Por la ventana pasaban olivos, campos de trigo y peque\xF1os pueblos blancos. "
    "En el asiento 14 un ni\xF1o dibujaba caballos, perros y gatos con l\xE1pices de colores.\r\n"
    "Su madre hablaba por tel\xE9"
    "fono con la abuela, que cumpl\xED"
    "a 91 a\xF1os ese mismo d\xED"
    "a.\r\n"
    "El tren se detuvo 12 minutos en Ciudad Real por una aver\xED"
    "a en la v\xED"
    "a. Nadie protest\xF3: hac\xED"
    "a buen tiempo y el paisaje era precioso.\r\n"
    "A mediod\xED"
    "a abri\xF3 la cafeter\xED"
    "a y se form\xF3 una cola de m\xE1s de 30 viajeros.\r\n"
    "Un caf\xE9 con leche costaba 2,50 euros y un bocadillo de jam\xF3n, 5 euros.\r\n"
    "Despu\xE9s de comer, muchos se durmieron (el ruido del tren invita a la siesta).\r\n"
    "A las 14:40 el altavoz anunci\xF3 la llegada a Sevilla con diez minutos de retraso. "
    "Los viajeros recogieron sus maletas, se despidieron y bajaron al and\xE9n.\r\n"
    "Fuera esperaban taxis, familiares y un grupo de turistas con 1.500 folletos.\r\n"
    "Fue un viaje tranquilo, largo y, sobre todo, muy agradable.\r\n"
    "\xBFVolveremos el a\xF1o que viene? Seguramente s\xED.\r\n";

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A voice item with the settings of a reading; by default item 0's first preset.
struct Settings : SpeechSettings {
  int voiceItem = 0;
  Settings() {
    SampleRate = 22050;
    Pitch = 40;
    Speed = 5;
    Volume = 99;
    Bass = 2;
  }
};

// The voice as a load with analog speed 0 prepares it: the bank's slots unchanged.
SlotArray LoadedVoice(int voiceItem) {
  const banks::TVoiceBank& bank = banks::VoiceBankTable(voiceItem / banks::VariantsPerVoice);
  SlotArray slots;
  for (int s = 0; s < banks::SlotCount; ++s)
    slots[static_cast<std::size_t>(s)] = banks::IsEmptySlot(bank[static_cast<std::size_t>(s)])
                                             ? banks::EmptySlot
                                             : bank[static_cast<std::size_t>(s)];
  return slots;
}

class Synthesis : public TCreateVoice {};

struct Outcome {
  double audioSeconds = 0, cpuSeconds = 0;
  int sentences = 0, withoutFile = 0;
  std::uint64_t digest = 1469598103934665603ull;  // FNV-1a over every file's bytes
};

void Digest(std::uint64_t& h, const std::string& bytes) {
  for (unsigned char b : bytes) {
    h ^= b;
    h *= 1099511628211ull;
  }
}

// Speaks every sentence once, each into the file wav, timing only the synthesis.
void Speak(const std::vector<std::string>& sentences, const SlotArray& voice, const Settings& s,
           const fs::path& wav, bool digest, Outcome& out) {
  platform::RandSeed(12345);  // a reading seeds the generator once, at its start
  for (const std::string& sentence : sentences) {
    std::error_code ec;
    fs::remove(wav, ec);
    Synthesis v;
    v.FSentence = sentence;
    SetUpSynthesis(v, s, voice, wav.string());
    const double t0 = CpuSeconds();
    v.Synthesize();
    out.cpuSeconds += CpuSeconds() - t0;
    ++out.sentences;
    if (!fs::exists(wav)) {
      ++out.withoutFile;
      continue;
    }
    const auto size = fs::file_size(wav);
    if (size > 44) out.audioSeconds += static_cast<double>(size - 44) / 2.0 / s.SampleRate;
    if (digest) Digest(out.digest, testsupport::ReadFile(wav));
  }
}

// The first item of each voice with its first preset (pitch 40, or 110 for the odd voices).
Settings PresetOf(int bank) {
  Settings s;
  s.voiceItem = bank * banks::VariantsPerVoice;
  s.Pitch = bank % 2 == 1 ? 110 : 40;
  return s;
}

int RunDigests(const std::vector<std::string>& sentences, const fs::path& wav) {
  std::vector<Settings> grid;
  for (int bank = 0; bank < banks::BankCount; ++bank) {
    const Settings preset = PresetOf(bank);
    grid.push_back(preset);
    for (std::uint8_t timbre = 1; timbre <= 9; ++timbre) {
      Settings s = preset;
      s.Timbre = timbre;
      grid.push_back(s);
    }
    for (std::int16_t speed : {1, 3, 8, 10}) {
      Settings s = preset;
      s.Speed = speed;
      grid.push_back(s);
    }
    for (std::int16_t pitch : {1, 71, 200, 400}) {
      Settings s = preset;
      s.Pitch = pitch;
      grid.push_back(s);
    }
    for (std::int16_t bass : {0, 1, 3, 4}) {
      Settings s = preset;
      s.Bass = bass;
      s.Treble = bass;
      grid.push_back(s);
    }
    for (std::int32_t rate : {11025, 8000}) {
      Settings s = preset;
      s.SampleRate = rate;
      s.Reverb = rate == 8000 ? 6 : 3;
      s.Compressor = rate == 8000 ? 3 : 1;
      s.Volume = 50;
      grid.push_back(s);
    }
  }
  for (const Settings& s : grid) {
    Outcome out;
    Speak(sentences, LoadedVoice(s.voiceItem), s, wav, true, out);
    std::printf(
        "voice %2d pitch %3d speed %2d timbre %d treble %d bass %d reverb %d compressor %d "
        "volume %2d rate %5d: %016llx %.3f s %d without file\n",
        s.voiceItem, s.Pitch, s.Speed, s.Timbre, s.Treble, s.Bass, s.Reverb, s.Compressor, s.Volume,
        s.SampleRate, static_cast<unsigned long long>(out.digest), out.audioSeconds,
        out.withoutFile);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  bool allVoices = false, digests = false;
  int passes = 5;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--all-voices") == 0) {
      allVoices = true;
    } else if (std::strcmp(argv[i], "--digests") == 0) {
      digests = true;
    } else if (std::strcmp(argv[i], "--passes") == 0 && i + 1 < argc) {
      passes = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: %s [--all-voices] [--passes N] | --digests\n", argv[0]);
      return 2;
    }
  }
  const std::vector<std::string> sentences = Sentences(kText);
  const testsupport::TempDir dir{"bench"};
  const fs::path wav = dir.path / "sentence.wav";
  int rc = 0;
  if (digests) {
    rc = RunDigests(sentences, wav);
  } else {
    std::printf("%zu sentences, %d passes, output rate 22050\n", sentences.size(), passes);
    std::printf("%-10s %5s %10s %10s %10s %12s %8s\n", "voice", "item", "audio s", "cpu s",
                "wall s", "x realtime", "no file");
    const int banksToRun = allVoices ? banks::BankCount : 1;
    double allAudio = 0, allCpu = 0;
    for (int bank = 0; bank < banksToRun; ++bank) {
      const Settings s = PresetOf(bank);
      const SlotArray voice = LoadedVoice(s.voiceItem);
      Outcome out;
      // One pass to warm up, not counted.
      Outcome warm;
      Speak(sentences, voice, s, wav, false, warm);
      const double w0 = WallSeconds();
      for (int p = 0; p < passes; ++p) Speak(sentences, voice, s, wav, false, out);
      const double wall = WallSeconds() - w0;
      allAudio += out.audioSeconds;
      allCpu += out.cpuSeconds;
      std::printf("%-10s %5d %10.2f %10.4f %10.4f %12.0f %8d\n",
                  std::string(banks::VoiceName(bank)).c_str(), s.voiceItem, out.audioSeconds,
                  out.cpuSeconds, wall, out.cpuSeconds > 0 ? out.audioSeconds / out.cpuSeconds : 0,
                  out.withoutFile);
      if (out.withoutFile != 0) rc = 1;
    }
    if (allVoices)
      std::printf("all voices: %.2f s of audio in %.4f s of CPU: %.0f x real time\n", allAudio,
                  allCpu, allCpu > 0 ? allAudio / allCpu : 0.0);
  }
  return rc;
}
