// Commands, words and labels of a drawing, read byte by byte from a block buffer.
#include "preview/command_reader.h"

namespace ostra2svg {

namespace {

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

bool CommandReader::Fill() {
  next_ = 0;
  limit_ = source_->Read(buffer_, sizeof buffer_);
  return limit_ != 0;
}

void CommandReader::SkipBlanks() {
  while (IsBlank(Peek())) Advance();
}

bool CommandReader::NextCommand() {
  if (started_) {
    SkipBlanks();
    if (Peek() == '\n') Advance();
  }
  started_ = true;
  for (;;) {
    SkipBlanks();
    const int c = Peek();
    if (c < 0) return false;
    if (c != '\n') break;
    Advance();
  }
  command_line_ = line_;
  return true;
}

CommandReader::Token CommandReader::Next(std::string* word, bool labels) {
  SkipBlanks();
  int c = Peek();
  if (c < 0 || c == '\n') return Token::End;
  if (labels && c == '{') return Token::Label;
  if (word != nullptr) word->clear();
  size_t length = 0;
  do {
    if (++length > kMaxWordLength) return Token::TooLong;
    if (word != nullptr) word->push_back(static_cast<char>(c));
    Advance();
    c = Peek();
  } while (c >= 0 && c != '\n' && !IsBlank(c));
  return Token::Word;
}

bool CommandReader::ReadLabel(LabelSink* sink) {
  Advance();  // the opening brace
  int64_t depth = 1;
  for (;;) {
    const int c = Peek();
    if (c < 0) return false;
    Advance();
    if (c == '{') {
      ++depth;
    } else if (c == '}' && --depth == 0) {
      return true;
    }
    sink->Put(static_cast<unsigned char>(c));
  }
}

}  // namespace ostra2svg
