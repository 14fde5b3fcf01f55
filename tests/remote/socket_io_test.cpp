// The service's non-blocking socket calls on a real loopback connection, on every system
// (Winsock on Windows): what a client that is quiet, that writes, that has said all it
// will say, and that has gone for good looks like to the service.
#include "remote/socket_io.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QTcpSocket>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "remote/tcp_listener.h"

namespace zelka::remote {
namespace {

// Generous: each wait ends as soon as its condition holds.
constexpr int kWaitMs = 20000;

class SocketIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(listener_.listen(QHostAddress::Any, 0));
    client_.connectToHost(QHostAddress(QHostAddress::LocalHost), listener_.serverPort());
    ASSERT_TRUE(client_.waitForConnected(kWaitMs));
    ASSERT_TRUE(listener_.waitForNewConnection(kWaitMs));
    ASSERT_TRUE(accepted_.has_value());
    ASSERT_TRUE(PrepareSocket(*accepted_));
  }
  void TearDown() override {
    if (accepted_) CloseSocket(*accepted_);
  }

  // Reads until something other than "nothing yet" comes back.
  IoResult ReadWhenReady(std::string& into) {
    const QDeadlineTimer deadline(kWaitMs);
    for (;;) {
      char buffer[64];
      const IoResult read = ReadSome(*accepted_, buffer, sizeof buffer);
      into.append(buffer, read.bytes);
      if (!read.wouldBlock || deadline.hasExpired()) return read;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  std::optional<SocketDescriptor> accepted_;
  TcpListener listener_{[this](qintptr descriptor) { accepted_ = descriptor; }};
  QTcpSocket client_;
};

TEST_F(SocketIoTest, QuietClientWouldBlockAndItsBytesArriveAsSent) {
  char buffer[16];
  EXPECT_TRUE(ReadSome(*accepted_, buffer, sizeof buffer).wouldBlock);
  EXPECT_FALSE(PeerGone(*accepted_));
  // An IPv4 client of the dual-stack listener is its IPv4 address, as the allow-list
  // names it.
  EXPECT_EQ(PeerAddress(*accepted_), QHostAddress(QHostAddress::LocalHost));

  client_.write("SVEC000\r\n");
  ASSERT_TRUE(client_.waitForBytesWritten(kWaitMs));
  std::string got;
  while (got.size() < 9) {
    const IoResult read = ReadWhenReady(got);
    ASSERT_FALSE(read.failed || read.ended || read.wouldBlock);
  }
  EXPECT_EQ(got, "SVEC000\r\n");

  const std::string greeting = "SVE0000\r\n";
  const IoResult written = WriteSome(*accepted_, greeting.data(), greeting.size());
  ASSERT_FALSE(written.failed);
  EXPECT_EQ(written.bytes, greeting.size());
  ASSERT_TRUE(client_.waitForReadyRead(kWaitMs));
  EXPECT_EQ(client_.readAll().toStdString(), greeting);
}

TEST_F(SocketIoTest, EndOfInputIsNotAClientGoneUntilAResetComesBack) {
  // The client's orderly close reaches the service like a shut-down sending side: its
  // input has ended, but it may still be reading.
  client_.disconnectFromHost();
  std::string got;
  const IoResult read = ReadWhenReady(got);
  EXPECT_TRUE(read.ended);
  EXPECT_FALSE(PeerGone(*accepted_));

  // A write to a client that has closed for good brings a reset back; from then on the
  // client has gone.
  const QDeadlineTimer deadline(kWaitMs);
  bool gone = false;
  while (!gone && !deadline.hasExpired()) {
    const IoResult written = WriteSome(*accepted_, "x\r\n", 3);
    gone = written.failed || PeerGone(*accepted_);
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(gone);
}

}  // namespace
}  // namespace zelka::remote
