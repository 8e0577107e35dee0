// The bounded keeping of a client's output: what fits stays whole, what does not keeps its two ends.
#include "platform/process/kept_output.h"

#include <gtest/gtest.h>

namespace tallyrun {
namespace {

constexpr std::size_t Half = KeptOutput::Half;

TEST(KeptOutput, OutputThatFitsIsKeptWholeHoweverItArrives)
{
    std::string all;
    for (int i = 0; all.size() < 2 * Half - 100; ++i)
        all += "line " + std::to_string(i) + "\n";
    KeptOutput whole;
    whole.Append(all);
    KeptOutput piecemeal;
    for (std::size_t at = 0; at < all.size(); at += 7)
        piecemeal.Append(std::string_view(all).substr(at, 7));
    EXPECT_EQ(whole.Text(), all);
    EXPECT_EQ(piecemeal.Text(), all);
    EXPECT_EQ(KeptOutput().Text(), "");
}

TEST(KeptOutput, AMegabyteKeepsItsBeginningAndItsLastWholeLines)
{
    KeptOutput kept;
    std::string all;
    const std::string block(1000, 'x');
    for (int i = 0; all.size() < 1024 * 1024; ++i) {
        const std::string line = std::to_string(i) + ":" + block + "\n";
        all += line;
        kept.Append(line);
    }
    kept.Append("Msg 2520, Level 16, State 11, Server SRV1, Line 1\nCould not find database 'Salse'.\n");
    all += "Msg 2520, Level 16, State 11, Server SRV1, Line 1\nCould not find database 'Salse'.\n";

    const std::string text = kept.Text();
    EXPECT_LE(text.size(), 2 * Half + 100);
    EXPECT_EQ(text.substr(0, Half), all.substr(0, Half));
    const auto marker = text.find("\n[... ", Half - 1);
    ASSERT_NE(marker, std::string::npos);
    const auto markerEnd = text.find(" bytes of output left out ...]\n", marker);
    ASSERT_NE(markerEnd, std::string::npos);
    const std::string tail = text.substr(markerEnd + 31);
    EXPECT_EQ(all.substr(all.size() - tail.size()), tail);
    EXPECT_EQ(all[all.size() - tail.size() - 1], '\n') << "the tail starts inside a line";
    EXPECT_GT(tail.size(), Half - block.size() - 10);
    const std::string leftOut = text.substr(marker + 6, markerEnd - marker - 6);
    EXPECT_EQ(std::stoull(leftOut), all.size() - Half - tail.size());
}

}  // namespace
}  // namespace tallyrun
