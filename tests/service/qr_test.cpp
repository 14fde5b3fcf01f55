// The QR frames: the sample symbol, and the bounded store-data frame.
#include "commands/qr.h"

#include <chrono>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "printer/result.h"
#include "service/test_receipts.h"
#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using printer::Problem;

const Bytes kModuleSize{0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x43, 0x06};
const Bytes kErrorCorrection{0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x45, 0x30};
const Bytes kPrint{0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x51, 0x30};

// UTF-8 characters counted as code points.
std::size_t Characters(const std::string& utf8) {
  std::size_t count = 0;
  for (unsigned char c : utf8) count += (c & 0xC0) != 0x80;
  return count;
}

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

class QrTest : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    UsePrinter();
    session->SetLinkObserver(&tx);
  }
  void TearDown() override {
    session->SetLinkObserver(nullptr);
    SimFixture::TearDown();
  }
  TxRecorder tx;
};

TEST_F(QrTest, SampleIsEightySevenBytesInSixWrites) {
  EXPECT_TRUE(service::PrintSampleQrCode(*session).Ok());
  ASSERT_EQ(tx.WriteSizes(), (std::vector<std::size_t>{8, 8, 58, 8, 3, 2}));
  const auto writes = tx.Writes();
  EXPECT_EQ(writes[0], kModuleSize);
  EXPECT_EQ(writes[1], kErrorCorrection);
  EXPECT_EQ(Bytes(writes[2].begin(), writes[2].begin() + 8),
            (Bytes{0x1D, 0x28, 0x6B, 0x35, 0x00, 0x31, 0x50, 0x30}));
  EXPECT_EQ(std::string(writes[2].begin() + 8, writes[2].end()), commands::kQrSamplePayload);
  EXPECT_EQ(writes[3], kPrint);
  EXPECT_EQ(writes[4], (Bytes{0x1B, 0x64, 0x07}));
  EXPECT_EQ(writes[5], (Bytes{0x1B, 0x69}));
  EXPECT_FALSE(session->Link().IsOpen());
}

TEST_F(QrTest, SamplePayloadHasTheShapeOfNameYearAndAddress) {
  const std::string payload(commands::kQrSamplePayload);
  EXPECT_EQ(payload.size(), 50u);
  EXPECT_EQ(Characters(payload), 36u);
  const std::size_t firstSpaceAfterName = payload.find(' ', payload.find(' ') + 1);
  const std::string name = payload.substr(0, firstSpaceAfterName);
  EXPECT_EQ(Characters(name), 15u);
  EXPECT_EQ(name.size(), 29u) << "14 two-byte letters and one space";
  const std::string rest = payload.substr(firstSpaceAfterName);
  ASSERT_EQ(rest.size(), 21u);
  EXPECT_EQ(rest.find_first_not_of("0123456789", 1), 5u) << "a four-digit year";
  EXPECT_EQ(rest.substr(5, 1), " ");
  EXPECT_EQ(rest.substr(6).size(), 15u);
}

TEST_F(QrTest, StoreFrameKeepsWholeCharactersWithinFiftyBytes) {
  struct Case {
    std::string text;
    std::string stored;
  };
  const std::string ascii60 = Repeat("0123456789", 6);
  const std::string cyrillic30 = Repeat("Ж", 30);
  const std::vector<Case> cases = {
      {"", ""},
      {ascii60.substr(0, 49), ascii60.substr(0, 49)},
      {ascii60.substr(0, 50), ascii60.substr(0, 50)},
      {ascii60, ascii60.substr(0, 50)},
      {cyrillic30, Repeat("Ж", 25)},
      {ascii60.substr(0, 49) + "Ж", ascii60.substr(0, 49)},  // no half character
      {ascii60.substr(0, 47) + "€", ascii60.substr(0, 47) + "€"},
      {ascii60.substr(0, 48) + "€", ascii60.substr(0, 48)},
      {std::string("ab\0cd", 5), "ab"},  // a zero character ends the data
  };
  ASSERT_EQ(session->Open(std::chrono::milliseconds{300}), link::Status::kOk);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::size_t before = tx.Writes().size();
    EXPECT_EQ(commands::StoreQrData(session->Link(), c.text), link::Status::kOk);
    ASSERT_EQ(tx.Writes().size(), before + 1);
    const Bytes frame = tx.Writes().back();
    const auto k = c.stored.size();
    ASSERT_EQ(frame.size(), k + 8);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 8),
              (Bytes{0x1D, 0x28, 0x6B, static_cast<std::uint8_t>(k + 3), 0x00, 0x31, 0x50, 0x30}));
    EXPECT_EQ(std::string(frame.begin() + 8, frame.end()), c.stored);
  }
  session->CloseAll();
}

// A long text after a short one: nothing of the earlier data is left behind the new one.
TEST_F(QrTest, StoreFrameCarriesNothingOfTheTextBefore) {
  ASSERT_EQ(session->Open(std::chrono::milliseconds{300}), link::Status::kOk);
  commands::StoreQrData(session->Link(), Repeat("9", 50));
  commands::StoreQrData(session->Link(), "ab");
  EXPECT_EQ(tx.Writes().back(), (Bytes{0x1D, 0x28, 0x6B, 0x05, 0x00, 0x31, 0x50, 0x30, 'a', 'b'}));
  session->CloseAll();
}

TEST_F(QrTest, SampleWithoutAPrinterSendsNothing) {
  struct Port {
    const char* name;
    Problem problem;
  };
  for (const Port port : {Port{link::kNoPort, Problem::kNoPrinter},
                          Port{"/dev/zelka-no-such-port", Problem::kCannotOpen}}) {
    SCOPED_TRACE(port.name);
    session->SetPort(port.name);
    const printer::Result result = service::PrintSampleQrCode(*session);
    EXPECT_EQ(result.problem, port.problem);
    EXPECT_EQ(result.port, port.name);
    EXPECT_TRUE(tx.Writes().empty());
    EXPECT_FALSE(session->Link().IsOpen());
  }
}

}  // namespace
}  // namespace zelka::testing
