// Sample buffer routines: streams of 16-bit little-endian samples appended, silenced, mixed,
// levelled and reversed. They touch only the streams they are given.
#include "speech/SampleBuffer.h"

#include <cstring>
#include <vector>

#include "platform/core/Numeric.h"
#include "platform/core/SampleCodec.h"
#include "speech/CreateVoice.h"

using platform::LoadSample;
using platform::MemoryStream;
using platform::StoreSample;
using platform::Wrap16;

namespace {
// Scratch for results that replace a stream's content; the streams may be the inputs.
std::vector<std::uint8_t>& Scratch() {
  thread_local std::vector<std::uint8_t> buffer;
  return buffer;
}

void ReplaceContent(MemoryStream& s, const std::vector<std::uint8_t>& bytes) {
  s.SetSize(bytes.size());
  if (!bytes.empty()) std::memcpy(s.Data(), bytes.data(), bytes.size());
}
}  // namespace

// Every sample of Src goes over, however long it is, a phoneme onto the sentence or a period
// onto the phoneme; both positions end after them. Src may be Dst.
void TCreateVoice::AppendStream(MemoryStream& Src, MemoryStream& Dst) {
  const std::size_t bytes = Src.Size() / 2 * 2;
  const std::size_t at = Dst.Size();
  Dst.SetSize(at + bytes);
  if (bytes) std::memmove(Dst.Data() + at, Src.Data(), bytes);
  Dst.Seek(at + bytes);
  if (&Src != &Dst) Src.Seek(bytes);
}

void TCreateVoice::WriteSilence(MemoryStream& Stream, std::int32_t Count) {
  Stream.Clear();
  if (Count <= 0) return;
  Stream.SetSize(static_cast<std::size_t>(Count) * 2);
  Stream.Seek(Stream.Size());
}

void MixSamples(const std::uint8_t* a, std::size_t aBytes, const std::uint8_t* b,
                std::size_t bBytes, std::int32_t weightA, std::int32_t weightB, std::uint8_t* out,
                std::int32_t fadeA) {
  const std::size_t na = aBytes / 2, nb = bBytes / 2;
  const std::size_t n = std::max(aBytes, bBytes) / 2;
  std::int16_t ta = 0, tb = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (i < na) ta = LoadSample(a + 2 * i);
    if (i < nb) tb = LoadSample(b + 2 * i);
    if (fadeA != 0) ta = Wrap16(ta * fadeA / 100);
    ta = Wrap16(ta * weightA / 100);
    tb = Wrap16(tb * weightB / 100);
    StoreSample(out + 2 * i, Wrap16(ta + tb));
  }
}

void TCreateVoice::MixStreams(MemoryStream& A, MemoryStream& B, MemoryStream& Dest,
                              std::uint8_t WeightA, std::uint8_t WeightB) {
  std::vector<std::uint8_t>& out = Scratch();
  out.resize(std::max(A.Size(), B.Size()) / 2 * 2);
  MixSamples(A.Data(), A.Size(), B.Data(), B.Size(), WeightA, WeightB, out.data());
  A.Seek(A.Size() / 2 * 2);
  B.Seek(B.Size() / 2 * 2);
  ReplaceContent(Dest, out);
  Dest.Seek(0);
}

// The positive and the negative half are scaled separately, each to the target peak.
void TCreateVoice::NormalizeLevel(MemoryStream& Stream, std::uint8_t Offset, std::int8_t Level) {
  const std::size_t first = Offset;
  if (Stream.Size() <= first) return;
  const std::size_t n = (Stream.Size() - first) / 2;
  std::uint8_t* p = Stream.Data() + first;
  std::int32_t max = 0, min = 0;
  for (std::size_t i = 0; i < n; ++i) {
    std::int32_t v = LoadSample(p + 2 * i);
    if (v > max) max = v;
    if (v < min) min = v;
  }
  if (max <= 327 && min >= -327) return;
  const double target = static_cast<double>(static_cast<platform::Extended>(Level) * 32767 / 100);
  // Each result depends on the sample value alone, so each distinct value is worked out once.
  constexpr std::int32_t kUnset = INT32_MIN;
  std::vector<std::int32_t> memo(static_cast<std::size_t>(max - min + 1), kUnset);
  for (std::size_t i = 0; i < n; ++i) {
    std::int32_t v = LoadSample(p + 2 * i);
    if (v == 0) continue;
    std::int32_t& r = memo[static_cast<std::size_t>(v - min)];
    if (r == kUnset) {
      platform::Extended x = v;
      if (v > 0)
        r = Wrap16(platform::Round(platform::FDiv(x, max) * target));
      else
        r = Wrap16(
            platform::Round(platform::FDiv(x, min) * -static_cast<platform::Extended>(target)));
    }
    StoreSample(p + 2 * i, static_cast<std::int16_t>(r));
  }
  Stream.Seek(Stream.Size());
}

void TCreateVoice::ReverseStream(MemoryStream& Stream) {
  const std::size_t n = Stream.Size() / 2;
  std::uint8_t* p = Stream.Data();
  for (std::size_t i = 0, j = n; i + 1 < j; ++i) {
    --j;
    std::uint8_t t0 = p[2 * i], t1 = p[2 * i + 1];
    p[2 * i] = p[2 * j];
    p[2 * i + 1] = p[2 * j + 1];
    p[2 * j] = t0;
    p[2 * j + 1] = t1;
  }
  Stream.Seek(0);
}
