// User text repeated in an error line: nothing a terminal would act on gets
// through, whatever the bytes, and a long text is cut between characters.
#include <gtest/gtest.h>

#include "image/ErrorText.h"

namespace {

using ErrorText::HasControl;
using ErrorText::Quoted;

TEST(ErrorText, ControlsAndBytesThatAreNoUtf8BecomeQuestionMarksAndALongTextIsCut)
{
    const std::string x9(9, 'x'), x10(10, 'x');
    const struct {
        std::string text;
        std::size_t limit;
        std::string quoted;
    } cases[] = {
        {"\x1b[2Jgone\a", 40, "\"?[2Jgone?\""},
        // C1: U+009B is a one-character CSI for many terminals, U+0085 a line end.
        {"\xC2\x9B" "2J\xC2\x85", 40, "\"?2J?\""},
        // Line and paragraph separators, and the marks that reverse a line.
        {"a\xE2\x80\xA8" "b\xE2\x80\xA9", 40, "\"a?b?\""},
        {"\xE2\x80\xAE" "evil", 40, "\"?evil\""},
        // Characters stay: Chinese, an emoji.
        {"\xE4\xBD\xA0\xE5\xA5\xBD\xF0\x9F\x98\x80", 40, "\"\xE4\xBD\xA0\xE5\xA5\xBD\xF0\x9F\x98\x80\""},
        // A stray byte (a lone 0x9B is CSI on an 8-bit terminal), a character
        // cut off at the end.
        {"a\x9b" "b", 40, "\"a?b\""},
        {"x\xE4\xBD", 40, "\"x??\""},
        {x10 + "x", 10, "\"" + x10 + "...\""},
        // Nine bytes, then "é": the cut falls inside it, so it goes whole.
        {x9 + "\xC3\xA9" + "y", 10, "\"" + x9 + "...\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Quoted(c.text, c.limit), c.quoted) << c.text;
    EXPECT_TRUE(HasControl("\xC2\x9B" "2J") && HasControl("A\tB"));
    EXPECT_FALSE(HasControl("A\xFF" "B")) << "a byte that is no UTF-8 is no control character";
}

} // namespace
