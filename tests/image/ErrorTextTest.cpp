// User text repeated in an error line: nothing a terminal would act on gets
// through, whatever the bytes, and a long text is cut between characters.
#include <gtest/gtest.h>

#include "image/ErrorText.h"

namespace {

using ErrorText::HasControl;
using ErrorText::Quoted;

TEST(ErrorText, ControlsOfEveryKindBecomeQuestionMarks)
{
    EXPECT_EQ(Quoted("\x1b[2Jgone\a", 40), "\"?[2Jgone?\"");
    EXPECT_EQ(Quoted("a\x7f" "b", 40), "\"a?b\"");
    // C1: U+009B is a one-character CSI for many terminals, U+0085 a line end.
    EXPECT_EQ(Quoted("\xC2\x9B" "2J\xC2\x85", 40), "\"?2J?\"");
    // Line and paragraph separators, and the marks that reverse a line.
    EXPECT_EQ(Quoted("a\xE2\x80\xA8" "b\xE2\x80\xA9", 40), "\"a?b?\"");
    EXPECT_EQ(Quoted("\xE2\x80\xAE" "evil", 40), "\"?evil\"");
    EXPECT_EQ(Quoted("\xE2\x81\xA6" "x\xE2\x81\xA9\xE2\x80\x8F\xD8\x9C", 40), "\"?x???\"");
}

TEST(ErrorText, BytesThatAreNoUtf8BecomeQuestionMarksAndCharactersStay)
{
    EXPECT_EQ(Quoted("\xE4\xBD\xA0\xE5\xA5\xBD", 40), "\"\xE4\xBD\xA0\xE5\xA5\xBD\"");
    EXPECT_EQ(Quoted("\xF0\x9F\x98\x80", 40), "\"\xF0\x9F\x98\x80\"");
    // A stray byte (a lone 0x9B is CSI on an 8-bit terminal), an overlong
    // '/', a surrogate, a character cut off at the end.
    EXPECT_EQ(Quoted("a\x9b" "b", 40), "\"a?b\"");
    EXPECT_EQ(Quoted("\xC0\xAF", 40), "\"??\"");
    EXPECT_EQ(Quoted("\xED\xA0\x80", 40), "\"???\"");
    EXPECT_EQ(Quoted("x\xE4\xBD", 40), "\"x??\"");
    // Letters with accents and the signs below U+0080 are plain text.
    EXPECT_EQ(Quoted("caf\xC3\xA9 #1, \"q\"", 40), "\"caf\xC3\xA9 #1, \"q\"\"");
}

TEST(ErrorText, ALongTextIsCutBeforeACharacter)
{
    EXPECT_EQ(Quoted(std::string(10, 'x'), 10), "\"" + std::string(10, 'x') + "\"");
    EXPECT_EQ(Quoted(std::string(11, 'x'), 10), "\"" + std::string(10, 'x') + "...\"");
    // Nine bytes, then "é": the cut falls inside it, so it goes whole.
    EXPECT_EQ(Quoted(std::string(9, 'x') + "\xC3\xA9" + "y", 10), "\"" + std::string(9, 'x') + "...\"");
    // A megabyte of escapes gives a short line.
    EXPECT_LE(Quoted(std::string(1 << 20, '\x1b'), 24).size(), 24u + 5u);
    EXPECT_EQ(Quoted("", 24), "\"\"");
}

TEST(ErrorText, HasControlFindsWhatQuotedWouldHide)
{
    EXPECT_TRUE(HasControl("\xC2\x9B" "2J") && HasControl("A\tB"));
    EXPECT_FALSE(HasControl("A\xFF" "B")) << "a byte that is no UTF-8 is no control character";
}

} // namespace
