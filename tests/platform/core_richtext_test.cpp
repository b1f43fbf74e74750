#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>

#include "platform/core/Cp1252.h"
#include "platform/core/RichText.h"
#include "tests/support/Files.h"

using namespace platform;

namespace {

// Runs written as "<flags>text", flags among b, i, u.
std::string Render(const std::vector<TextRun>& runs) {
  std::string out;
  for (const auto& r : runs) {
    out += '<';
    if (r.bold) out += 'b';
    if (r.italic) out += 'i';
    if (r.underline) out += 'u';
    out += '>';
    out += CodePointsToUtf8(r.text);
  }
  return out;
}

// The bytes of a literal that holds zero bytes.
template <std::size_t N>
std::string Bytes(const char (&s)[N]) {
  return std::string(s, N - 1);
}

struct RichCase {
  const char* name;
  std::string rtf;
  std::string expected;
};

}  // namespace

TEST(RichText, ReadsValidDocuments) {
  const RichCase cases[] = {
      {"plain", R"({\rtf1\ansi\deff0 Hola mundo})", "<>Hola mundo"},
      {"formatted", R"({\rtf1 normal {\b negrita} {\i cursiva\i0} y {\ul sub}\par fin})",
       "<>normal <b>negrita<> <i>cursiva<> y <u>sub<>\nfin"},
      {"bold off by parameter", R"({\rtf1 \b uno\b0 dos\ul\i tres\plain cuatro})",
       "<b>uno<>dos<iu>tres<>cuatro"},
      {"hex escapes in Windows-1252", R"({\rtf1\ansi canci\'f3n \'e1rbol \'80})",
       "<>canción árbol €"},
      {"unicode with fallback", R"({\rtf1 \u225?rbol})", "<>árbol"},
      {"unicode with two fallback bytes", R"({\rtf1\uc2 \u8364\'80\'80 x})", "<>€ x"},
      {"surrogate pair", R"({\rtf1 \u-10179?\u-8704?!})", "<>\xF0\x9F\x98\x80!"},
      {"nested groups restore format", R"({\rtf1 a{\b b{\i c}d}e})", "<>a<b>b<bi>c<b>d<>e"},
      {"destinations skipped",
       R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red0\green0\blue0;}{\*\generator Riched20;})"
       R"({\stylesheet{\s0 Normal;}}{\info{\title T}}{\pict\pngblip 89504e}{\*\unknown x}Texto})",
       "<>Texto"},
      {"breaks and symbols", R"({\rtf1 a\par b\line c\tab d \\ \{\}\~e})",
       "<>a\nb\nc\td \\ {}\xC2\xA0"
       "e"},
      {"raw line ends ignored", "{\\rtf1 uno\r\ndos\\\r\ntres}", "<>unodos\ntres"},
      {"binary data skipped", "{\\rtf1 a{\\pict\\bin3 {}}}b}", "<>ab"},
      {"text after the document ignored", R"({\rtf1 a}trailing)", "<>a"},
  };
  for (const auto& c : cases) {
    auto runs = ReadRichText(c.rtf);
    ASSERT_TRUE(runs.has_value()) << c.name;
    EXPECT_EQ(Render(*runs), c.expected) << c.name;
  }
}

TEST(RichText, RejectsBrokenDocuments) {
  const std::pair<const char*, std::string> cases[] = {
      {"no header", "Hola {\\b x}"},
      {"group left open", "{\\rtf1 abierto"},
      {"bad hex escape", R"({\rtf1 a\'zz})"},
      {"escape cut off", "{\\rtf1 a\\'e"},
      {"ends in backslash", "{\\rtf1 x\\"},
      {"binary longer than file", "{\\rtf1 \\bin99 ab}"},
      {"nested too deep", "{\\rtf1 " + std::string(5000, '{') + std::string(5001, '}')},
  };
  for (const auto& [name, bytes] : cases) EXPECT_FALSE(ReadRichText(bytes).has_value()) << name;
}

TEST(RichText, BrokenRichTextLoadsAsPlainText) {
  auto runs = ReadTextDocument("{\\rtf1 abierto\r\n{\\b sin cerrar}");
  EXPECT_EQ(Render(runs), "<>{\\rtf1 abierto\n{\\b sin cerrar}");
  EXPECT_EQ(Render(ReadTextDocument(R"({\rtf1 {\b ok}})")), "<b>ok");
}

TEST(RichText, PlainTextChoosesUtf8OrWindows1252) {
  const std::pair<std::string, std::string> cases[] = {
      {"canci\xC3\xB3n", "canción"},         // well-formed UTF-8
      {"\xEF\xBB\xBF\xC3\xB1u", "ñu"},       // byte-order mark dropped
      {"canci\xF3n", "canción"},             // not UTF-8: Windows-1252
      {"\x80 y \xC3\xB1\xF3", "€ y Ã±ó"},    // one bad sequence makes its line Windows-1252
      {"a\r\nb\rc\nd\r\n", "a\nb\nc\nd\n"},  // every line end is one paragraph end
      {"", ""},
      // Each line on its own: a Windows-1252 line among UTF-8 ones, with any line end.
      {"El se\xC3\xB1or\r\nLa cig\xFC\xF1"
       "a\ry el ni\xC3\xB1o\n\xBFqu\xE9?",
       "El señor\nLa cigüña\ny el niño\n¿qué?"},
      {"\xEF\xBB\xBF\xC3\xB1\r\n\xF1", "ñ\nñ"},
      // UTF-16 after its byte-order mark, little- and big-endian, with a character beyond 16
      // bits; a surrogate without its other half and an odd last byte are U+FFFD.
      {Bytes("\xFF\xFE"
             "E\0l\0 \0s\0e\0\xF1\0o\0r\0\r\0\n\0\x2D\x4E\x3D\xD8\x00\xDE"),
       "El señor\n中😀"},
      {Bytes("\xFE\xFF"
             "\0E\0l\0 \0s\0e\0\xF1\0o\0r\0\r\0\n\x4E\x2D\xD8\x3D\xDE\x00"),
       "El señor\n中😀"},
      {Bytes("\xFF\xFE"
             "a\0\x00\xD8"
             "b\0\x00\xDC"
             "c"),
       "a\uFFFDb\uFFFD\uFFFD"},
  };
  for (const auto& [bytes, expected] : cases)
    EXPECT_EQ(CodePointsToUtf8(ReadPlainText(bytes)), expected);
}

// Every file that cannot be loaded is refused with the program's own Spanish words, naming
// the file; one that is not a regular file is refused at once, a named pipe without waiting
// for a writer.
TEST(RichText, FilesThatCannotBeLoadedAreRefusedAtOnceNamingTheFile) {
  const testsupport::TempDir temp{"richtext_refused"};
  const auto& dir = temp.path;
  std::filesystem::create_directories(dir / "carpeta");
  const std::string fifo = (dir /
                            "tuber\xC3\xAD"
                            "a")
                               .string();  // UTF-8 on disk
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string socketPath = (dir / "enchufe").string();
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, socketPath.c_str(), sizeof addr.sun_path - 1);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  std::ofstream(dir / "texto.txt") << "hola";
  const std::string d = dir.string();
  const std::string notRegular =
      "\" no es un archivo de texto: es una carpeta, una tuber\xED"
      "a, un socket o un dispositivo.";
  const struct {
    std::string path, message;
  } cases[] = {
      {d + "/no_existe.txt", "No se encuentra el archivo \"" + d + "/no_existe.txt\"."},
      {d + "/texto.txt/dentro", "No se encuentra el archivo \"" + d + "/texto.txt/dentro\"."},
      {d + "/carpeta", "\"" + d + "/carpeta" + notRegular},
      {fifo, "\"" + d + "/tuber\xED" + "a" + notRegular},  // the name in Windows-1252
      {socketPath, "\"" + socketPath + notRegular},
      {"/dev/null", "\"/dev/null" + notRegular},
      // A file the kernel will not read: it opens, then every read fails.
      {"/proc/self/mem", "Error al leer el archivo \"/proc/self/mem\"."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    // A load that waited for a writer would hang the test: it runs aside, with a bound.
    auto load = std::async(std::launch::async, [&] {
      try {
        ReadWholeFile(c.path);
        return std::string("no exception");
      } catch (const std::runtime_error& e) {
        return std::string(e.what());
      }
    });
    if (load.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
      ADD_FAILURE() << "the load waits";
      std::ofstream(fifo) << "x";  // lets it go
    }
    EXPECT_EQ(load.get(), c.message);
  }
  ::close(sock);
  std::ofstream(dir / "ok.txt", std::ios::binary) << std::string("a\0b", 3);
  EXPECT_EQ(ReadWholeFile((dir / "ok.txt").string()), std::string("a\0b", 3));
}

TEST(RichText, BinaryJunkLoadsAsPlainTextCharacterForCharacter) {
  std::mt19937 random(7);
  std::string junk(65536, '\0');
  for (char& c : junk) c = static_cast<char>(random());
  const std::pair<const char*, std::string> cases[] = {
      {"junk", junk},
      {"junk after a rich-text header", "{\\rtf1 " + junk},
      {"junk inside a closed rich-text group", "{\\rtf1 " + junk + "}"},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    const std::vector<TextRun> runs = ReadTextDocument(bytes);
    if (ReadRichText(bytes)) continue;  // took as rich text: not crashing is all there is
    // Not UTF-8, so every byte is one Windows-1252 character; CR LF is one paragraph end.
    ASSERT_EQ(runs.size(), 1u);
    std::size_t crlf = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
      crlf += bytes[i] == '\r' && bytes[i + 1] == '\n';
    EXPECT_EQ(runs[0].text.size(), bytes.size() - crlf);
    EXPECT_FALSE(runs[0].bold || runs[0].italic || runs[0].underline);
  }
}

TEST(RichText, AFileWithoutReadPermissionIsRefusedNamingTheFile) {
  const testsupport::TempDir temp{"richtext_unreadable"};
  const auto& dir = temp.path;
  const std::string path = (dir / "locked.txt").string();
  std::ofstream(path) << "secreto";
  ::chmod(path.c_str(), 0);
  if (std::ifstream(path).is_open()) {  // the superuser reads it anyway
    GTEST_SKIP() << "this user can read a file without read permission";
  }
  try {
    ReadWholeFile(path);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "No tiene permiso para leer el archivo \"" + path + "\".");
  }
}
