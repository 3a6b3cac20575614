// Cuts a drawing into commands and their operands, counting lines as an editor does.
#ifndef OSTRA2SVG_PREVIEW_COMMAND_READER_H_
#define OSTRA2SVG_PREVIEW_COMMAND_READER_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "preview/byte_source.h"

namespace ostra2svg {

// Takes the bytes of a label one at a time.
class LabelSink {
 public:
  virtual ~LabelSink() = default;
  virtual void Put(unsigned char byte) = 0;
};

// A command is a line of words separated by blanks (space, tab, carriage return). A label
// operand runs from a '{' to its matching '}', counting nested braces by bytes with no
// escapes, and may hold any byte, line feeds included; its command still counts as standing
// on the line where it starts.
class CommandReader {
 public:
  // Words longer than this are refused, so that no operand can take up memory without bound.
  static constexpr size_t kMaxWordLength = 65536;

  enum class Token { Word, Label, End, TooLong };

  explicit CommandReader(ByteSource* source) : source_(source) {}
  CommandReader(const CommandReader&) = delete;
  CommandReader& operator=(const CommandReader&) = delete;

  // Moves past the current command's line and any blank lines to the next command; false at
  // the end of the input. Call it only once the current command has reached Token::End.
  bool NextCommand();
  // The line the current command starts on, counted from 1.
  int64_t line() const { return command_line_; }

  // The next operand. Word: a run of non-blank bytes, stored in *word unless word is null.
  // Label: with labels true, the operand starts with '{'; it is left for ReadLabel. End: the
  // command's line is over. TooLong: a word over kMaxWordLength bytes.
  Token Next(std::string* word, bool labels);
  // Reads the label that Next announced and hands the bytes between its braces to sink;
  // false when the input ends before the label closes.
  bool ReadLabel(LabelSink* sink);

 private:
  // The next byte, or -1 at the end of the input; Advance moves past it.
  int Peek() {
    if (next_ == limit_ && !Fill()) return -1;
    return static_cast<unsigned char>(buffer_[next_]);
  }
  void Advance() {
    if (buffer_[next_++] == '\n') ++line_;
  }
  bool Fill();
  void SkipBlanks();

  ByteSource* source_;
  char buffer_[65536];
  size_t next_ = 0;
  size_t limit_ = 0;
  int64_t line_ = 1;
  int64_t command_line_ = 0;
  bool started_ = false;
};

}  // namespace ostra2svg

#endif  // OSTRA2SVG_PREVIEW_COMMAND_READER_H_
