#include "controller/reply_assembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vireo {
namespace {

struct Collector {
  ReplyAssembler assembler;
  std::vector<std::string> frames;
  void Feed(std::string_view bytes) {
    AssembleChunk(assembler, bytes.data(), bytes.size(),
                  [this](std::string_view frame) { frames.emplace_back(frame); });
  }
};

TEST(ReplyAssembler, ReplySplitOverSeveralChunks) {
  Collector c;
  c.Feed("[F1 T");
  EXPECT_TRUE(c.frames.empty());
  c.Feed("T ?]");
  EXPECT_EQ(c.frames, std::vector<std::string>{"[F1 TT ?]"});
}

TEST(ReplyAssembler, TwoRepliesInOneChunkInOrder) {
  Collector c;
  c.Feed("[F1 CT 24.87]\r\n[R1 CT 25.00]\r\n");
  EXPECT_EQ(c.frames, (std::vector<std::string>{"[F1 CT 24.87]", "[R1 CT 25.00]"}));
}

TEST(ReplyAssembler, BytesBeforeTheFirstBracketAreDropped) {
  Collector c;
  c.Feed("garbage]\r\n");
  EXPECT_TRUE(c.frames.empty());
  EXPECT_EQ(c.assembler.InFrame, 0);
  c.Feed("xx[F1 IS 0---]");
  EXPECT_EQ(c.frames, std::vector<std::string>{"[F1 IS 0---]"});
}

TEST(ReplyAssembler, LineEndsNeverReachTheInterpreter) {
  Collector c;
  c.Feed("[F1 CT 1]\r\n[F1 CT 2]\r\n");
  ASSERT_EQ(c.frames.size(), 2u);
  EXPECT_EQ(c.frames[1], "[F1 CT 2]");
}

TEST(ReplyAssembler, NulEndsTheChunk) {
  Collector c;
  const char chunk[] = "[F1 CT 1]\0[F1 CT 2]";
  c.Feed(std::string_view(chunk, sizeof chunk - 1));
  EXPECT_EQ(c.frames, std::vector<std::string>{"[F1 CT 1]"});
}

TEST(ReplyAssembler, StrayBracketBetweenFramesDispatchesNothing) {
  Collector c;
  c.Feed("[F1 CT 24.87]\r\n]");
  c.Feed("junk]");
  EXPECT_EQ(c.frames, std::vector<std::string>{"[F1 CT 24.87]"});
  c.Feed("[F1 CT 24.90]");
  EXPECT_EQ(c.frames.back(), "[F1 CT 24.90]");
}

TEST(ReplyAssembler, OverlongFrameIsDiscardedWithoutOverrun) {
  Collector c;
  std::string longest = "[" + std::string(97, 'x') + "]";  // 99 characters: fits
  c.Feed(longest);
  ASSERT_EQ(c.frames.size(), 1u);
  EXPECT_EQ(c.frames[0].size(), 99u);

  std::string tooLong = "[" + std::string(5000, 'y') + "]";
  c.Feed(tooLong);
  EXPECT_EQ(c.frames.size(), 1u);
  // The next reply is assembled normally.
  c.Feed("[F1 CT 1.5]");
  EXPECT_EQ(c.frames.back(), "[F1 CT 1.5]");
}

TEST(ReplyAssembler, NewBracketRestartsAnUnfinishedFrame) {
  Collector c;
  c.Feed("[F1 CT 2");
  c.Feed("[F1 CT 3]");
  EXPECT_EQ(c.frames, std::vector<std::string>{"[F1 CT 3]"});
}

}  // namespace
}  // namespace vireo
