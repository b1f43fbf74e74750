#include "platform/core/RichText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"

namespace platform {
namespace {

// Deeper nesting than any real document uses; beyond it the file is not taken as rich text.
constexpr std::size_t kMaxDepth = 1000;

// Destinations whose contents are never text of the document.
bool IsSkippedDestination(const std::string& w) {
  static const char* const kNames[] = {
      "fonttbl",
      "colortbl",
      "stylesheet",
      "info",
      "pict",
      "object",
      "header",
      "headerl",
      "headerr",
      "headerf",
      "footer",
      "footerl",
      "footerr",
      "footerf",
      "footnote",
      "listtable",
      "listoverridetable",
      "revtbl",
      "filetbl",
      "themedata",
      "colorschememapping",
      "latentstyles",
      "datastore",
      "xmlnstbl",
      "rsidtbl",
      "generator",
      "fldinst",
      "bkmkstart",
      "bkmkend",
      "mmathPr",
  };
  for (const char* n : kNames)
    if (w == n) return true;
  return false;
}

class RtfReader {
 public:
  explicit RtfReader(const std::string& s) : s_(s) {}

  std::optional<std::vector<TextRun>> Read() {
    if (s_.compare(0, 5, "{\\rtf") != 0) return std::nullopt;
    while (pos_ < s_.size()) {
      unsigned char c = static_cast<unsigned char>(s_[pos_]);
      if (c == '{') {
        ++pos_;
        if (stack_.size() >= kMaxDepth) return std::nullopt;
        stack_.push_back(cur_);
        fallback_ = 0;
      } else if (c == '}') {
        ++pos_;
        if (stack_.empty()) return std::nullopt;
        cur_ = stack_.back();
        stack_.pop_back();
        fallback_ = 0;
        // The document ends with its outermost group; what follows is not read.
        if (stack_.empty()) return MergeRuns(std::move(out_));
      } else if (c == '\\') {
        ++pos_;
        if (!ControlSequence()) return std::nullopt;
      } else if (c == '\r' || c == '\n' || c == 0) {
        ++pos_;
      } else {
        ++pos_;
        Emit(Cp1252ToUnicode(c));
      }
    }
    return std::nullopt;  // a group was left open
  }

 private:
  struct State {
    bool bold = false, italic = false, underline = false;
    bool skip = false;
    int uc = 1;  // fallback characters after \uN
  };

  void Emit(char32_t ch) {
    if (cur_.skip) return;
    if (fallback_ > 0) {
      --fallback_;
      return;
    }
    if (high_ != 0) {  // a high surrogate waits for its low half
      char32_t hi = high_;
      high_ = 0;
      if (ch >= 0xDC00 && ch <= 0xDFFF) {
        Append(0x10000 + ((hi - 0xD800) << 10) + (ch - 0xDC00));
        return;
      }
      Append(0xFFFD);
    }
    Append(ch);
  }

  void Append(char32_t ch) {
    if (ch >= 0xD800 && ch <= 0xDFFF) ch = 0xFFFD;
    if (out_.empty() || out_.back().bold != cur_.bold || out_.back().italic != cur_.italic ||
        out_.back().underline != cur_.underline) {
      out_.push_back(TextRun{{}, cur_.bold, cur_.italic, cur_.underline});
    }
    out_.back().text.push_back(ch);
  }

  // A character skipped as part of a \uN fallback: true when it was swallowed.
  bool SwallowFallback() {
    if (fallback_ > 0 && !cur_.skip) {
      --fallback_;
      return true;
    }
    return false;
  }

  static int Hex(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  static bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

  bool ControlSequence() {
    if (pos_ >= s_.size()) return false;
    unsigned char c = static_cast<unsigned char>(s_[pos_]);
    if (!IsLetter(c)) return ControlSymbol(c);

    std::string word;
    while (pos_ < s_.size() && IsLetter(static_cast<unsigned char>(s_[pos_]))) {
      if (word.size() >= 32) return false;
      word.push_back(s_[pos_++]);
    }
    bool hasParam = false;
    long long param = 0;
    bool negative = false;
    if (pos_ + 1 < s_.size() && s_[pos_] == '-' &&
        std::isdigit(static_cast<unsigned char>(s_[pos_ + 1]))) {
      negative = true;
      ++pos_;
    }
    int digits = 0;
    while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
      if (++digits > 10) return false;
      param = param * 10 + (s_[pos_++] - '0');
      hasParam = true;
    }
    if (negative) param = -param;
    if (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    return ControlWord(word, hasParam, param);
  }

  bool ControlSymbol(unsigned char c) {
    ++pos_;
    switch (c) {
      case '\'': {
        if (pos_ + 2 > s_.size()) return false;
        int h = Hex(static_cast<unsigned char>(s_[pos_]));
        int l = Hex(static_cast<unsigned char>(s_[pos_ + 1]));
        if (h < 0 || l < 0) return false;
        pos_ += 2;
        Emit(Cp1252ToUnicode(static_cast<std::uint8_t>(h * 16 + l)));
        return true;
      }
      case '\\':
      case '{':
      case '}':
        Emit(c);
        return true;
      case '~':
        Emit(0xA0);
        return true;
      case '_':
        Emit('-');
        return true;
      case '\r':
      case '\n':
        if (!SwallowFallback()) Emit('\n');
        return true;
      case '*':
        cur_.skip = true;
        return true;
      default:  // \- optional hyphen, \: index subentry, \| and the like show nothing
        SwallowFallback();
        return true;
    }
  }

  bool ControlWord(const std::string& w, bool hasParam, long long param) {
    if (IsSkippedDestination(w)) {
      cur_.skip = true;
      return true;
    }
    if (w == "bin") {
      if (param < 0 || static_cast<unsigned long long>(param) > s_.size() - pos_) return false;
      pos_ += static_cast<std::size_t>(param);
      return true;
    }
    if (w == "u") {
      if (SwallowFallback()) return true;
      long long code = param;
      if (code < 0) code += 65536;
      if (code < 0 || code > 0xFFFF) code = 0xFFFD;
      char32_t ch = static_cast<char32_t>(code);
      if (!cur_.skip) {
        if (ch >= 0xD800 && ch <= 0xDBFF) {
          if (high_ != 0) Append(0xFFFD);
          high_ = ch;
        } else {
          Emit(ch);
        }
      }
      fallback_ = cur_.uc;
      return true;
    }
    if (SwallowFallback()) return true;
    bool on = !hasParam || param != 0;
    if (w == "uc") {
      cur_.uc = param < 0 ? 0 : static_cast<int>(param > 16 ? 16 : param);
    } else if (w == "par" || w == "line" || w == "sect" || w == "page" || w == "row") {
      Emit('\n');
    } else if (w == "tab" || w == "cell") {
      Emit('\t');
    } else if (w == "b") {
      cur_.bold = on;
    } else if (w == "i") {
      cur_.italic = on;
    } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw") {
      cur_.underline = on;
    } else if (w == "ulnone") {
      cur_.underline = false;
    } else if (w == "plain") {
      cur_.bold = cur_.italic = cur_.underline = false;
    } else if (w == "emdash") {
      Emit(0x2014);
    } else if (w == "endash") {
      Emit(0x2013);
    } else if (w == "lquote") {
      Emit(0x2018);
    } else if (w == "rquote") {
      Emit(0x2019);
    } else if (w == "ldblquote") {
      Emit(0x201C);
    } else if (w == "rdblquote") {
      Emit(0x201D);
    } else if (w == "bullet") {
      Emit(0x2022);
    } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
      Emit(' ');
    }
    return true;
  }

  const std::string& s_;
  std::size_t pos_ = 0;
  State cur_;
  std::vector<State> stack_;
  std::vector<TextRun> out_;
  int fallback_ = 0;
  char32_t high_ = 0;
};

// UTF-16 after its byte-order mark. A surrogate without its other half, and an odd last
// byte, are the replacement character.
std::u32string DecodeUtf16(std::string_view s, bool bigEndian) {
  auto unit = [&](std::size_t i) {
    const auto a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
    return static_cast<char32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
  };
  std::u32string out;
  out.reserve(s.size() / 2);
  std::size_t i = 0;
  for (; i + 1 < s.size(); i += 2) {
    const char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < s.size()) {
      const char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        out.push_back(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    out.push_back(u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
  }
  if (i < s.size()) out.push_back(0xFFFD);
  return out;
}

// Each line on its own: UTF-8 when it is well-formed UTF-8, else Windows-1252, so that one
// line of another editor's making does not turn the whole file into Windows-1252. CR LF, CR
// and LF each end a paragraph ('\n').
std::u32string DecodeLines(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  std::size_t from = 0;
  while (from < s.size()) {
    std::size_t end = s.find_first_of("\r\n", from);
    if (end == std::string_view::npos) end = s.size();
    const std::string_view line = s.substr(from, end - from);
    if (!AppendUtf8Decoded(line, out))
      for (unsigned char c : line) out.push_back(Cp1252ToUnicode(c));
    if (end < s.size()) {
      out.push_back('\n');
      end += s[end] == '\r' && end + 1 < s.size() && s[end + 1] == '\n' ? 2 : 1;
    }
    from = end;
  }
  return out;
}

// CR LF, CR and LF each end a paragraph ('\n').
std::u32string OneLineEnd(const std::u32string& decoded) {
  std::u32string out;
  out.reserve(decoded.size());
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    char32_t c = decoded[i];
    if (c == '\r') {
      if (i + 1 < decoded.size() && decoded[i + 1] == '\n') ++i;
      out.push_back('\n');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace

std::vector<TextRun> MergeRuns(std::vector<TextRun> runs) {
  std::vector<TextRun> out;
  for (auto& r : runs) {
    if (r.text.empty()) continue;
    if (!out.empty() && out.back().bold == r.bold && out.back().italic == r.italic &&
        out.back().underline == r.underline) {
      out.back().text += r.text;
    } else {
      out.push_back(std::move(r));
    }
  }
  return out;
}

std::optional<std::vector<TextRun>> ReadRichText(const std::string& bytes) {
  return RtfReader(bytes).Read();
}

std::u32string ReadPlainText(const std::string& bytes) {
  const std::string_view all(bytes);
  if (all.substr(0, 2) == "\xFF\xFE") return OneLineEnd(DecodeUtf16(all.substr(2), false));
  if (all.substr(0, 2) == "\xFE\xFF") return OneLineEnd(DecodeUtf16(all.substr(2), true));
  return DecodeLines(all.substr(0, 3) == "\xEF\xBB\xBF" ? all.substr(3) : all);
}

std::vector<TextRun> ReadTextDocument(const std::string& bytes) {
  if (auto rich = ReadRichText(bytes)) return std::move(*rich);
  return MergeRuns({TextRun{ReadPlainText(bytes)}});
}

std::string LoadFailureMessage(LoadFailure why, const std::string& path) {
  // Each message names the file; the reason is said in the program's own words.
  static const struct {
    LoadFailure why;
    const char* before;
    const char* after;
  } kMessages[] = {
      {LoadFailure::NotFound, "No se encuentra el archivo \"", "\"."},
      {LoadFailure::NoPermission, "No tiene permiso para leer el archivo \"", "\"."},
      {LoadFailure::NotRegular, "\"",
       "\" no es un archivo de texto: es una carpeta, una tuber\xED"
       "a, un socket o un "
       "dispositivo."},
      {LoadFailure::ReadError, "Error al leer el archivo \"", "\"."},
      {LoadFailure::CannotOpen, "No se puede abrir el archivo \"", "\"."},
  };
  for (const auto& m : kMessages)
    if (m.why == why) return m.before + Utf8ToCp1252(path) + m.after;
  return "No se puede abrir el archivo \"" + Utf8ToCp1252(path) + "\".";
}

namespace {
LoadFailure OpenFailure(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return LoadFailure::NotFound;
    case EACCES:
    case EPERM:
      return LoadFailure::NoPermission;
    default:
      return LoadFailure::CannotOpen;
  }
}
}  // namespace

std::string ReadWholeFile(const std::string& path) {
  auto fail = [&](LoadFailure why) { throw Exception(LoadFailureMessage(why, path)); };
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) fail(OpenFailure(errno));
  if (!S_ISREG(st.st_mode)) fail(LoadFailure::NotRegular);
  // Not blocking, in case the file was swapped for a named pipe since the check: the open
  // then returns at once, and the check on the open file refuses it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) fail(OpenFailure(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  if (::fstat(fd, &st) != 0) fail(LoadFailure::ReadError);
  if (!S_ISREG(st.st_mode)) fail(LoadFailure::NotRegular);
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::string data;
  data.reserve(static_cast<std::size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(LoadFailure::ReadError);
    }
    data.append(buf, static_cast<std::size_t>(n));
  }
  return data;
}

}  // namespace platform
