// The link lock: nesting on one thread, exclusion across threads, and no port left open
// behind the outermost operation.
#include "link/link_lock.h"

#include <atomic>
#include <thread>

#include "link/serial_link.h"
#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::link;

class LinkLockTest : public SimFixture {};

TEST_F(LinkLockTest, NestedOperationSharesThePortAndTheOutermostClosesIt) {
  {
    PrinterOperation outer;
    ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk);
    {
      PrinterOperation inner;
      EXPECT_EQ(PrinterOperation::DepthOnThisThread(), 2);
      EXPECT_EQ(OpenPort(sim.PortName(), 9600, 300), kAlreadyOpen);
    }
    EXPECT_TRUE(PortIsOpen) << "an inner operation leaves the outer one's port alone";
  }
  EXPECT_EQ(PrinterOperation::DepthOnThisThread(), 0);
  EXPECT_FALSE(PortIsOpen);
}

TEST_F(LinkLockTest, OperationsOfTwoThreadsNeverOverlap) {
  std::atomic<int> inside{0};
  std::atomic<int> overlaps{0};
  auto work = [&] {
    for (int i = 0; i < 200; ++i) {
      PrinterOperation operation;
      if (inside.fetch_add(1) != 0) ++overlaps;
      std::this_thread::yield();
      inside.fetch_sub(1);
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(overlaps.load(), 0);
}

}  // namespace
}  // namespace zelka::testing
