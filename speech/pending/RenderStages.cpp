// Until period rendering and the sample routines land: the slot's recording once,
// samples appended and the level left as it is.
#include "speech/CreateVoice.h"
#include "speech/Rendering.h"

void SetUpTimbre(TCreateVoice&) {}
void RenderCharacter(TCreateVoice& v) {
  const std::string& rec = v.FBank[static_cast<std::size_t>(v.Loop.ChosenSlot)];
  v.FPhoneStream->Write(rec.data(), rec.size());
}
void TCreateVoice::ShapePeriod(const std::string& Data, std::uint8_t, std::uint8_t,
                               std::string& Result) {
  Result = Data;
}
void TCreateVoice::MakeVoicingWave(std::int32_t, std::int16_t) {}
void TCreateVoice::BlendPeriods(std::int32_t, std::int32_t, std::uint8_t, std::uint8_t) {}
void TCreateVoice::AppendStream(platform::MemoryStream& Src, platform::MemoryStream& Dst) {
  Src.Seek(0);
  Dst.Seek(Dst.Size());
  Dst.CopyFrom(Src, Src.Size());
}
void TCreateVoice::WriteSilence(platform::MemoryStream& Stream, std::int32_t Count) {
  Stream.Clear();
  for (std::int32_t k = 0; k < Count; ++k) Stream.WriteSample(0);
}
void TCreateVoice::AppendPeriod(platform::MemoryStream& Src, platform::MemoryStream& Dst) {
  AppendStream(Src, Dst);
}
void TCreateVoice::MixStreams(platform::MemoryStream&, platform::MemoryStream&,
                              platform::MemoryStream&, std::uint8_t, std::uint8_t) {}
void TCreateVoice::NormalizeLevel(platform::MemoryStream&, std::uint8_t, std::int8_t) {}
void TCreateVoice::ReverseStream(platform::MemoryStream&) {}
