#include "sim/fault_list.h"

#include <gtest/gtest.h>

namespace zelka::sim {
namespace {

using std::chrono::milliseconds;

const Bytes kModelQuery{0x1D, 0x49, 0x40, 0x27};
const Bytes kSerialQuery{0x1D, 0x49, 0x40, 0x23};
const Bytes kOwnReply{0x5F, 'Z', 'K'};

TEST(FaultList, EachKindShapesTheReply) {
  struct Case {
    const char* what;
    Fault fault;
    ReplyPlan expected;
  };
  const Case cases[] = {
      {"silent", {.prefix = kModelQuery, .kind = Fault::Kind::Silent}, {{}, milliseconds{0}}},
      {"late", {.prefix = kModelQuery, .kind = Fault::Kind::Late, .delay = milliseconds{250}},
       {kOwnReply, milliseconds{250}}},
      {"partial", {.prefix = kModelQuery, .kind = Fault::Kind::Partial, .bytes = 2}, {{0x5F, 'Z'}, milliseconds{0}}},
      {"partial longer than the reply", {.prefix = kModelQuery, .kind = Fault::Kind::Partial, .bytes = 9},
       {kOwnReply, milliseconds{0}}},
      {"substituted", {.prefix = kModelQuery, .kind = Fault::Kind::Reply, .reply = {0xFF}}, {{0xFF}, milliseconds{0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FaultList faults;
    faults.Add(c.fault);
    const ReplyPlan plan = faults.Resolve(kModelQuery, kOwnReply);
    EXPECT_EQ(plan.bytes, c.expected.bytes);
    EXPECT_EQ(plan.delay, c.expected.delay);
  }
}

TEST(FaultList, SubstitutedReplyAlsoAnswersACommandWithoutOne) {
  FaultList faults;
  faults.Add({.prefix = {0x04}, .kind = Fault::Kind::Reply, .reply = {0x18}});
  EXPECT_EQ(faults.Resolve({0x04}, {}).bytes, Bytes{0x18});
}

TEST(FaultList, MatchesByPrefixOnly) {
  FaultList faults;
  faults.Add({.prefix = kModelQuery, .kind = Fault::Kind::Silent});
  EXPECT_EQ(faults.Resolve(kSerialQuery, kOwnReply).bytes, kOwnReply);
  faults.Add({.prefix = {0x1D, 0x49}, .kind = Fault::Kind::Reply, .reply = {0x01}});
  // The older fault still decides for the command it names.
  EXPECT_TRUE(faults.Resolve(kModelQuery, kOwnReply).bytes.empty());
  EXPECT_EQ(faults.Resolve(kSerialQuery, kOwnReply).bytes, Bytes{0x01});
  // A prefix longer than the command cannot match it.
  FaultList longPrefix;
  longPrefix.Add({.prefix = {0x1D, 0x49, 0x40, 0x27, 0x00}, .kind = Fault::Kind::Silent});
  EXPECT_EQ(longPrefix.Resolve(kModelQuery, kOwnReply).bytes, kOwnReply);
}

TEST(FaultList, CountsDownAndLetsTheNextFaultTakeOver) {
  FaultList faults;
  faults.Add({.prefix = kModelQuery, .kind = Fault::Kind::Silent, .times = 2});
  faults.Add({.prefix = kModelQuery, .kind = Fault::Kind::Reply, .reply = {0x42}, .times = 1});
  EXPECT_TRUE(faults.Resolve(kModelQuery, kOwnReply).bytes.empty());
  EXPECT_TRUE(faults.Resolve(kModelQuery, kOwnReply).bytes.empty());
  EXPECT_EQ(faults.Resolve(kModelQuery, kOwnReply).bytes, Bytes{0x42});
  EXPECT_EQ(faults.Resolve(kModelQuery, kOwnReply).bytes, kOwnReply);
}

TEST(FaultList, AfterLetsMatchingCommandsPassFirst) {
  FaultList faults;
  faults.Add({.prefix = {0x02}, .kind = Fault::Kind::Reply, .reply = {0x15}, .times = 1, .after = 2});
  const Bytes ack{0x06};
  EXPECT_EQ(faults.Resolve({0x02, 0xAA}, ack).bytes, ack);
  EXPECT_EQ(faults.Resolve({0x04}, ack).bytes, ack);  // not matching: does not count
  EXPECT_EQ(faults.Resolve({0x02, 0xBB}, ack).bytes, ack);
  EXPECT_EQ(faults.Resolve({0x02, 0xCC}, ack).bytes, Bytes{0x15});
  EXPECT_EQ(faults.Resolve({0x02, 0xDD}, ack).bytes, ack);
}

TEST(FaultList, ClearRestoresTheOwnReplies) {
  FaultList faults;
  faults.Add({.prefix = {}, .kind = Fault::Kind::Silent});  // an empty prefix matches everything
  EXPECT_TRUE(faults.Resolve(kSerialQuery, kOwnReply).bytes.empty());
  faults.Clear();
  EXPECT_EQ(faults.Resolve(kSerialQuery, kOwnReply).bytes, kOwnReply);
}

}  // namespace
}  // namespace zelka::sim
