// Manual connection: the chosen port at the session's rate, without a search.
#include "discovery/manual_connection.h"

#include <QSerialPort>

#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using discovery::ConnectManually;

class ManualConnectionTest : public SimFixture {};

TEST_F(ManualConnectionTest, ChosenPortBecomesThePrinterPortAtTheSessionRate) {
  auto& second = AddPrinter(sim::DefaultPrinter());
  session->SetBaud(9600);

  const auto result = ConnectManually(*session, second.PortName());

  EXPECT_EQ(result.opened, link::Status::kOk);
  EXPECT_EQ(result.reason, link::OpenFailure::kNone);
  EXPECT_EQ(result.baud, 9600);
  EXPECT_EQ(session->Port(), second.PortName());
  EXPECT_EQ(session->Baud(), 9600);
  EXPECT_FALSE(session->LinkFor(second.PortName()).IsOpen());
  EXPECT_TRUE(second.Log().empty()) << "nothing is read from the printer";
}

// A port another program holds is reported, not taken for the printer's port.
TEST_F(ManualConnectionTest, PortHeldByAnotherProgramIsNotConnected) {
  QSerialPort other;
  other.setPortName(QString::fromStdString(sim.PortName()));
  ASSERT_TRUE(other.open(QIODevice::ReadWrite));
  const auto result = ConnectManually(*session, sim.PortName());
  EXPECT_EQ(result.opened, link::Status::kCannotOpen);
  EXPECT_NE(result.reason, link::OpenFailure::kNone);
  EXPECT_EQ(session->Port(), "0");
  EXPECT_FALSE(session->LinkFor(sim.PortName()).IsOpen());

  other.close();
  EXPECT_EQ(ConnectManually(*session, sim.PortName()).opened, link::Status::kOk)
      << "free again once the other program lets go";
  EXPECT_EQ(session->Port(), sim.PortName());
}

TEST_F(ManualConnectionTest, PortHeldByAnotherProgramIsReportedBusy) {
  QSerialPort other;
  other.setPortName(QString::fromStdString(sim.PortName()));
  ASSERT_TRUE(other.open(QIODevice::ReadWrite));
  EXPECT_EQ(ConnectManually(*session, sim.PortName()).reason, link::OpenFailure::kBusy);
}

TEST_F(ManualConnectionTest, PortThatCannotBeOpenedChangesNothing) {
  struct Case {
    const char* port;
    link::Status opened;
    link::OpenFailure reason;
  };
  for (const Case& c : {Case{"/dev/nonexistent-x", link::Status::kCannotOpen, link::OpenFailure::kAbsent},
                        Case{"0", link::Status::kNoPort, link::OpenFailure::kNone}}) {
    SCOPED_TRACE(c.port);
    UsePrinter();
    session->SetBaud(19200);
    const auto result = ConnectManually(*session, c.port);
    EXPECT_EQ(result.opened, c.opened);
    EXPECT_EQ(result.reason, c.reason);
    EXPECT_EQ(result.baud, 19200);
    EXPECT_EQ(session->Port(), sim.PortName()) << "the printer known before stays";
    EXPECT_EQ(session->Baud(), 19200);
  }
  EXPECT_TRUE(sim.Log().empty());
}

}  // namespace
}  // namespace zelka::testing
