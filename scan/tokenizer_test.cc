// Tests for NextToken: the splitting rules under every chunking of the input, counting, and
// the token size limit.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "scan/scan_test_session.h"

namespace tsm2ostra {
namespace {

using namespace std::string_literals;

TEST(Tokenizer, SplitsTextIntoTokens) {
  // Input, then every token up to and including the first result other than Ok.
  const std::pair<std::string, std::string> cases[] = {
      {"<p>1.5 -2</p>", "[<p>][1.5][-2][</p>]end[</p>]"},
      {"<p>\n  1 2\n</p>", "[<p>][1][2][</p>]end[</p>]"},
      {"<p name=\"A 1\">", "[<p][name=A 1\"][>]end[>]"},
      {"<p name = \"x\" >", "[<p][name][=][x\"][>]end[>]"},
      {"<p name=\"A\"/>", "[<p][name=A\"][/>]end[/>]"},
      {"x=\"1\"y=\"2\">", "[x=1\"][y=2\"][>]end[>]"},
      {"\"a>b c\"d", "[a>b c\"]end[d]"},
      {"a\"b\"c", "[ab\"]end[c]"},
      {"\"\"", "[\"]end[\"]"},
      {"<a<b>", "[<a][<b>]end[<b>]"},
      {"a<b", "[a]end[<b]"},
      {"x>y", "[x>]end[y]"},
      {"< p >", "[<][p][>]end[>]"},
      {"<br/>", "[<br/>]end[<br/>]"},
      {"abc", "end[abc]"},
      {"<p name=\"abc", "[<p]end[name=abc]"},
      {"name=\"", "end[name=]"},
      {"", "end[]"},
      {" \t\n \n", "end[]"},
      {"1\r 2\n", "[1\r][2]end[2]"},
      {"\f\v\xff\x1a x", "[\f\v\xff\x1a]end[x]"},
      {"\"<a>\n</a>\"<b>", "[<a>\n</a>\"][<b>]end[<b>]"},
      {"a\0b \"\0\"\0"s, "[a\0b][\0\"]end[\0]"s},
      {"<a b=\"c d\">0123456789abcdefghij=?:;!\x80\xfe\xff,.-+_\t</a>\n\n\n          x",
       "[<a][b=c d\"][>][0123456789abcdefghij=?:;!\x80\xfe\xff,.-+_][</a>]end[x]"},
  };
  for (const auto& [input, tokens] : cases) {
    for (size_t chunk = 0; chunk <= 20; ++chunk) {
      ScanSession s(input, chunk);
      std::string run, token;
      do {
        token = NextTokenText(&s.scanner);
        run += token;
      } while (token[0] == '[');
      EXPECT_EQ(run, tokens) << input << " chunk " << chunk;
      // Later calls meet the end again and keep the last token.
      EXPECT_EQ(NextTokenText(&s.scanner), tokens.substr(tokens.rfind("end[")));
    }
  }
}

TEST(Tokenizer, CountsEveryCharacterOnce) {
  const std::string input = "ab<c \"x\ny\"" + std::string(20, ' ') + "\n \n" +
                            std::string(30, ' ') + "\t\n   0123456789abcdefghijklmnop z";
  // After each token: the result, then the source's line, column and position.
  const std::tuple<ResultCode, int64_t, int64_t, int64_t> steps[] = {
      {ResultCode::Ok, 1, 3, 4},    // "ab", with the '<' read and held back
      {ResultCode::Ok, 1, 5, 6},    // "<c" and the blank after it
      {ResultCode::Ok, 2, 2, 11},   // a quoted run over a line feed
      {ResultCode::Ok, 5, 30, 96},  // after blank runs holding three line feeds
      {ResultCode::EndOfInput, 5, 31, 97},
  };
  for (size_t chunk = 0; chunk <= 20; ++chunk) {
    ScanSession s(input, chunk);
    for (const auto& [result, line, column, position] : steps) {
      SCOPED_TRACE("chunk " + std::to_string(chunk) + ", position " + std::to_string(position));
      EXPECT_EQ(s.scanner.NextToken(), result);
      EXPECT_EQ(s.source.line_counter(), line);
      EXPECT_EQ(s.source.column_counter(), column);
      EXPECT_EQ(s.source.position_counter(), position);
    }
  }
}

TEST(Tokenizer, RefusesTokensOverOneMebibyte) {
  const std::string a(kMaxTokenBytes - 1, 'a');
  // Input, result and line counter; each refused input ends with the byte one too many.
  const std::tuple<std::string, ResultCode, int64_t> cases[] = {
      {"\n" + a + "b ", ResultCode::Ok, 2},
      {"\n" + a + "bc", ResultCode::InvalidInput, 2},
      {a + "b>", ResultCode::InvalidInput, 1},
      {"\"" + a + "\"", ResultCode::Ok, 1},
      {"\"" + a + "b\"", ResultCode::InvalidInput, 1},
      {"\"" + a + "b\n", ResultCode::InvalidInput, 2},
  };
  // Each also after a token of 3000 bytes that lay in the window (the one before it filled
  // the window): the token buffer keeps it when the long one starts, and then grows by
  // other sizes than powers of two.
  const std::string word(3000, 'w');
  const std::string before = "x " + word + " ";
  for (const bool after_token : {false, true}) {
    for (const auto& [input, result, line] : cases) {
      SCOPED_TRACE(input.substr(input.size() - 3) + (after_token ? " after a token" : ""));
      ScanSession s(after_token ? before + input : input);
      if (after_token) {
        ASSERT_EQ(NextTokenText(&s.scanner), "[x]");
        ASSERT_EQ(NextTokenText(&s.scanner), "[" + word + "]");
      }
      EXPECT_EQ(s.scanner.NextToken(), result);
      EXPECT_EQ(s.source.line_counter(), line);
      if (result == ResultCode::Ok) {
        EXPECT_EQ(s.scanner.token().size(), kMaxTokenBytes);
      } else {
        EXPECT_EQ(s.source.position_counter(),
                  static_cast<int64_t>(s.input.size()) + 1);
      }
    }
  }
}

}  // namespace
}  // namespace tsm2ostra
