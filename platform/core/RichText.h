// Reading a text file for the text box: rich text when the file is valid rich text, else
// plain text (UTF-16 after its byte-order mark; otherwise each line UTF-8 when it is
// well-formed UTF-8, Windows-1252 when not). Pure standard C++ so that it can be fuzzed
// without a window.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// One stretch of text with one character format. Paragraph ends are '\n', tabs '\t'.
struct TextRun {
  std::u32string text;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const TextRun&) const = default;
};

// Joins neighbouring runs of the same format and drops empty ones.
std::vector<TextRun> MergeRuns(std::vector<TextRun> runs);

// The text of a rich-text file, or nothing when the bytes are not valid rich text
// (no "{\rtf" header, unbalanced groups, a broken escape, groups nested too deep).
std::optional<std::vector<TextRun>> ReadRichText(const std::string& bytes);

// Plain text: UTF-16 little- or big-endian after its byte-order mark; otherwise a UTF-8
// byte-order mark is dropped and each line that is well-formed UTF-8 is decoded as such, any
// other as Windows-1252. CR LF, CR and LF each end a paragraph ('\n').
std::u32string ReadPlainText(const std::string& bytes);

// Rich text when the reader accepts it, else the same bytes as plain text.
std::vector<TextRun> ReadTextDocument(const std::string& bytes);

// Why a file could not be loaded.
enum class LoadFailure { NotFound, NoPermission, NotRegular, ReadError, CannotOpen };
// The message of the error box for a failed load (Windows-1252, naming the file).
std::string LoadFailureMessage(LoadFailure why, const std::string& path);

// The whole file as bytes. Anything but a regular file (a folder, a named pipe, a socket, a
// device) is refused at once, without an open that could wait for a writer. Throws
// platform::Exception with LoadFailureMessage.
std::string ReadWholeFile(const std::string& path);

}  // namespace platform
