// The serial link against a simulated printer on a real pseudo-terminal.
#include "link/serial_link.h"

#include <QSerialPort>

#include <chrono>
#include <cstring>

#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::link;
using Clock = std::chrono::steady_clock;

class SerialLinkTest : public SimFixture {
 protected:
  void Send(std::initializer_list<std::uint8_t> frame) {
    std::copy(frame.begin(), frame.end(), TxBuffer);
    TxLength = static_cast<std::int32_t>(frame.size());
    ASSERT_EQ(SendTx(), kOk);
  }
  // Runs `read` and returns how long it took.
  template <typename F>
  std::chrono::milliseconds Timed(F&& read) {
    const auto start = Clock::now();
    read();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  }
};

TEST_F(SerialLinkTest, OpenRefusesNoPrinterMissingDeviceAndSecondOpen) {
  EXPECT_EQ(OpenPort("0", 9600, 300), kNoPrinterPort);
  EXPECT_FALSE(PortIsOpen);
  EXPECT_EQ(OpenPort("/dev/pts/no-such-port", 9600, 300), kCannotOpen);
  EXPECT_EQ(OpenPort("ttyNoSuchPort99", 9600, 300), kCannotOpen);
  EXPECT_FALSE(PortIsOpen);
  EXPECT_EQ(CurrentBaud, kDefaultBaud);

  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk);
  EXPECT_TRUE(PortIsOpen);
  // A second open changes nothing: the first port, its rate and time-outs stay.
  EXPECT_EQ(OpenPort(sim.PortName(), 9600, 300), kAlreadyOpen);
  EXPECT_EQ(OpenPort("0", 9600, 300), kAlreadyOpen);
  EXPECT_EQ(CurrentBaud, 57600);
  Send({0x1D, 0x72, 0x31});
  EXPECT_EQ(ReceiveRx(1), kOk);  // still answered at 57600
}

TEST_F(SerialLinkTest, SuccessfulOpenSetsCurrentBaudAndTheLineRate) {
  sim.Update([](sim::PrinterState& s) { s.baud = 9600; });
  ASSERT_EQ(OpenPort(sim.PortName(), 9600, 300), kOk);
  EXPECT_EQ(CurrentBaud, 9600);
  Send({0x1D, 0x72, 0x31});
  EXPECT_EQ(ReceiveRx(1), kOk);
  ClosePort();

  // At another rate the printer hears noise and stays silent.
  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk);
  Send({0x1D, 0x72, 0x31});
  EXPECT_EQ(ReceiveRx(1), kReadShort);
  const auto log = sim.Log();
  ASSERT_FALSE(log.empty());
  EXPECT_TRUE(log.back().garbage);
  EXPECT_EQ(log.back().baud, 57600);
}

TEST_F(SerialLinkTest, PortHeldByAnotherProgramCannotBeOpened) {
  QSerialPort other;
  other.setPortName(QString::fromStdString(sim.PortName()));
  ASSERT_TRUE(other.open(QIODevice::ReadWrite));
  EXPECT_EQ(OpenPort(sim.PortName(), 57600, 300), kCannotOpen);
  EXPECT_FALSE(PortIsOpen);
}

TEST_F(SerialLinkTest, SendClearsTheReceiveBufferOnlyWhenAPortIsOpen) {
  RxBuffer[0] = 0xAB;
  RxCount = 7;
  TxBuffer[0] = 0x0A;
  TxLength = 1;
  EXPECT_EQ(SendTx(), kNotOpen);
  EXPECT_EQ(RxBuffer[0], 0xAB);
  EXPECT_EQ(RxCount, 7);

  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk);
  EXPECT_EQ(SendTx(), kOk);
  EXPECT_EQ(RxBuffer[0], 0);
  EXPECT_EQ(RxCount, 0);
  EXPECT_EQ(TxBuffer[0], 0x0A);  // sending leaves the frame as it was
  EXPECT_EQ(TxLength, 1);

  TxLength = 0;
  EXPECT_EQ(SendTx(), kOk);
  ASSERT_TRUE(sim.WaitForCommands(1, std::chrono::seconds(2)));
  EXPECT_EQ(sim.CommandNames(), std::vector<std::string>{"LF"});
}

TEST_F(SerialLinkTest, WholeReplyEndsTheReadAtOnceAndLeavesZerosBehind) {
  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 2000), kOk);
  RxBuffer[1] = 0x55;
  Send({0x1D, 0x72, 0x31});
  StatusCode status = -1;
  const auto took = Timed([&] { status = ReceiveRx(1); });
  EXPECT_EQ(status, kOk);
  EXPECT_EQ(RxCount, 1);
  EXPECT_EQ(RxBuffer[0], sim.State().paperSensor);
  EXPECT_EQ(RxBuffer[1], 0);
  EXPECT_LT(took, std::chrono::milliseconds(250));
}

TEST_F(SerialLinkTest, ShortReplyEndsAfterTheSilenceBetweenBytes) {
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0x27}, .kind = sim::Fault::Kind::Partial, .bytes = 5});
  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 5000), kOk);
  Send({0x1D, 0x49, 0x40, 0x27});
  StatusCode status = -1;
  const auto took = Timed([&] { status = ReceiveRx(17); });
  EXPECT_EQ(status, kReadShort);
  EXPECT_EQ(RxCount, 0);
  const auto expected = sim.State().modelReply;
  EXPECT_EQ(0, std::memcmp(RxBuffer, expected.data(), 5));
  for (int i = 5; i < 17; ++i) EXPECT_EQ(RxBuffer[i], 0) << i;
  // 300 ms after the fifth byte, far from the 5000 ms read time-out.
  EXPECT_GE(took, std::chrono::milliseconds(290));
  EXPECT_LT(took, std::chrono::milliseconds(2000));
}

TEST_F(SerialLinkTest, SilenceEndsTheReadAtTheCallersTimeout) {
  sim.SetSilent(true);
  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 700), kOk);
  Send({0x1D, 0x72, 0x31});
  StatusCode status = -1;
  const auto took = Timed([&] { status = ReceiveRx(1); });
  EXPECT_EQ(status, kReadShort);
  EXPECT_GE(took, std::chrono::milliseconds(690));
  EXPECT_LT(took, std::chrono::milliseconds(1500));
}

TEST_F(SerialLinkTest, ClosedPortRefusesAtOnceAndClosingTwiceIsHarmless) {
  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk);
  EXPECT_EQ(ClosePort(), kOk);
  EXPECT_EQ(ClosePort(), kOk);
  EXPECT_FALSE(PortIsOpen);
  TxLength = 1;
  EXPECT_EQ(SendTx(), kNotOpen);
  EXPECT_EQ(ReceiveRx(1), kNotOpen);
}

TEST_F(SerialLinkTest, UnreadReplyDoesNotPassForTheNextAnswer) {
  sim.Update([](sim::PrinterState& s) {
    s.paramWriteReply = 0xAA;
    s.paperSensor = 0x01;
  });
  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk);
  Send({0x1F, 0x03, 0x0A, 0x78});  // answered, but the settings buttons never read it
  ASSERT_TRUE(sim.WaitForCommands(1, std::chrono::seconds(2)));
  ClosePort();
  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk);
  Send({0x1D, 0x72, 0x31});
  ASSERT_EQ(ReceiveRx(1), kOk);
  EXPECT_EQ(RxBuffer[0], 0x01);
}

TEST_F(SerialLinkTest, VanishedDeviceEndsEveryCallWithAStatus) {
  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 1000), kOk);
  sim.Stop();
  TxBuffer[0] = 0x1D;
  TxBuffer[1] = 0x72;
  TxBuffer[2] = 0x31;
  TxLength = 3;
  SendTx();  // may or may not report the write; it must return
  EXPECT_EQ(ReceiveRx(1), kReadShort);
  EXPECT_EQ(ClosePort(), kOk);
  EXPECT_EQ(OpenPort(sim.PortName(), 57600, 300), kCannotOpen);
}

}  // namespace
}  // namespace zelka::testing
