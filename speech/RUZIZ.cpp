// TORVHumanVoices: creation, the temporary WAV path, voice loading and the sample routines.
// The reading itself (Speak, Stop, TimerTick) is in ReadingScheduler.cpp.
#include "speech/RUZIZ.h"

#include <memory>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/Numeric.h"
#include "platform/core/SampleCodec.h"

namespace {

const char* const TempWavName = "~$~$~$~$.wav";

// The folder named by TEMP, else the program's folder (made when missing), with the WAV
// file's name appended. A folder counts only if a file can be written in it: one that
// exists but takes no file (read-only, full) would fail every sentence of every reading.
std::string FindTempWavPath() {
  std::string path = platform::GetEnv("TEMP");
  if (!platform::CanWriteIn(path)) {
    path = platform::ProgramFolder();
    if (!platform::DirectoryExists(path)) platform::ForceDirectories(path);
    if (!platform::CanWriteIn(path))
      throw platform::Exception("Error: imposible ejecutar la aplicaci\xF3n");
  }
  if (path.back() != platform::PathDelim) path += platform::PathDelim;
  return path + TempWavName;
}

// Interpolation and decimation factors of the analog speed settings 1 to 12.
struct Ratio {
  std::int32_t L, M;
};
constexpr Ratio AnalogSpeedRatios[12] = {{2, 1}, {9, 5}, {11, 7}, {7, 5},  {5, 4}, {9, 8},
                                         {8, 9}, {4, 5}, {5, 7},  {7, 11}, {5, 9}, {1, 2}};

void AppendSample(std::string& out, std::int16_t v) {
  char bytes[2];
  platform::StoreSample(bytes, v);
  out.append(bytes, 2);
}

// Bank of a voice item by signed comparison: anything up to 8 (negative items too) is bank
// 0, and so on in steps of nine; -1 above 89, where no bank exists.
int BankOfVoice(std::int16_t Voice) {
  for (int g = 0; g < banks::BankCount; ++g)
    if (Voice <= (g + 1) * banks::VariantsPerVoice - 1) return g;
  return -1;
}

}  // namespace

TORVHumanVoices::TORVHumanVoices(platform::TComponent* AOwner) : platform::TComponent(AOwner) {
  // Held by a smart pointer until the path is known, so that a failed creation frees it.
  auto player = std::make_unique<TSFPlayer>(nullptr);
  FWavFile = FindTempWavPath();
  FPlayer = player.release();
  FTimer = new platform::TTimer(this);
}

TORVHumanVoices::~TORVHumanVoices() {
  // Releasing a thread whose synthesis is still pending runs it first; the file stays.
  FThread.reset();
  delete FPlayer;
  FPlayer = nullptr;
  // FTimer goes with the owned components.
}

void TORVHumanVoices::LoadVoice(std::int16_t Voice, std::int16_t Treble, std::int16_t Bass) {
  FSettings.Treble = platform::Wrap16(-static_cast<std::int32_t>(Treble));
  FSettings.Bass = platform::Wrap16(-static_cast<std::int32_t>(Bass));
  const int g = BankOfVoice(Voice);
  for (int s = 0; s < banks::SlotCount; ++s) {
    auto& entry = FBank[static_cast<std::size_t>(s)];
    entry = banks::EmptySlot;
    // Above the last voice there is no bank: every slot reads as a string of no bytes.
    const std::string S = g >= 0 ? banks::VoiceBankTable(g)[static_cast<std::size_t>(s)] : "";
    if (banks::IsEmptySlot(S)) continue;
    entry = Resample(S, FSettings.AnalogSpeed);
  }
}

std::uint8_t TORVHumanVoices::PeakPercent(const std::string& Sound) {
  return banks::PeakLevel(Sound);
}

std::string TORVHumanVoices::Resample(const std::string& Sound, std::int16_t Setting) {
  if (Setting < 1 || Setting > 12) return Sound;
  const Ratio r = AnalogSpeedRatios[Setting - 1];
  const std::size_t n = Sound.size() / 2;
  std::string out;
  if (n < 2) return out;
  out.reserve(static_cast<std::size_t>((static_cast<std::int64_t>(n - 1) * r.L / r.M + 1) * 2));
  std::int64_t c = 0;
  for (std::size_t k = 0; k + 1 < n; ++k) {
    const std::int32_t a = platform::LoadSample(&Sound[2 * k]);
    const std::int32_t b = platform::LoadSample(&Sound[2 * k + 2]);
    std::int32_t d = b - a;
    // A difference beyond 16 bits comes from neighbours of opposite sign; their sum fits.
    if (d < -32768 || d > 32767) d = b + a;
    const std::int32_t step = d / r.L;
    for (std::int32_t j = 0; j < r.L; ++j) {
      if (c % r.M == 0) AppendSample(out, platform::Wrap16(a + step * j));
      ++c;
    }
  }
  return out;
}
