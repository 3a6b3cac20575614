// The sentence builder: pieces appended and cut to fit, bytes shown printable.
#include "driver/sentence.h"

#include <cstring>

#include "translate/fixed2_format.h"

namespace tsm2ostra {

void Sentence::Add(std::string_view text) {
  const size_t room = sizeof text_ - 1 - size_;
  const size_t n = text.size() < room ? text.size() : room;
  std::memcpy(text_ + size_, text.data(), n);
  size_ += n;
  text_[size_] = '\0';
}

void Sentence::AddShown(std::string_view text) {
  constexpr size_t kShown = 40;
  for (size_t i = 0; i < text.size() && i < kShown; ++i) {
    const char c = text[i];
    Add(c >= ' ' && c <= '~' ? std::string_view(&c, 1) : "?");
  }
  if (text.size() > kShown) Add("...");
}

void Sentence::AddTag(std::string_view tag) {
  const bool element = !tag.empty() && tag.front() == '<';
  Add(element ? "" : "'");
  AddShown(tag);
  Add(!element ? "'" : tag.back() == '>' ? "" : ">");
}

void Sentence::AddInt(int64_t n) {
  char digits[24];
  char* end = FormatInt(n, digits);
  Add(std::string_view(digits, static_cast<size_t>(end - digits)));
}

void Sentence::AddCount(int64_t n, std::string_view thing) {
  AddInt(n);
  Add(thing, n == 1 ? "" : "s");
}

}  // namespace tsm2ostra
