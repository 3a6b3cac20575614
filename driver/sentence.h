// The sentence builder of the notices and of the explanation of a refusal.
#ifndef TSM2OSTRA_DRIVER_SENTENCE_H_
#define TSM2OSTRA_DRIVER_SENTENCE_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tsm2ostra {

// Built in a fixed buffer, cut to fit; always NUL-terminated.
class Sentence {
 public:
  void Clear() { size_ = 0; text_[0] = '\0'; }
  void Add(std::string_view text);
  template <class... More>
  void Add(std::string_view text, std::string_view next, More... more) {
    Add(text);
    Add(next, more...);
  }
  // Text with every byte but printable ASCII shown as '?', cut after 40 bytes.
  void AddShown(std::string_view text);
  // A start tag as "<name>", other text in quotes.
  void AddTag(std::string_view tag);
  void AddInt(int64_t n);
  // n, then thing, with an "s" unless n is 1.
  void AddCount(int64_t n, std::string_view thing);
  const char* text() const { return text_; }
  size_t size() const { return size_; }

 private:
  char text_[384] = "";
  size_t size_ = 0;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_SENTENCE_H_
