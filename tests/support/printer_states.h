// Printer states that several suites use, so that a change to one is a change to all.
#pragma once

#include "sim/simulator.h"

namespace zelka::testing {

// "Printer Zelka" with blanks after its name, every value set, paper present (only bit 0
// counts), drawer closed, a logo stored, 80 mm paper, cut line 30, density 10.
inline void MakeReferencePrinter(sim::PrinterState& s) {
  s.modelReply = sim::MakeTextReply("Printer Zelka  ", 17);
  s.serialReply = sim::MakeTextReply("ZK00012345", 12);
  s.bootNumberReply = sim::MakeTextReply("ZELKA-000001", 14);
  s.bootVersionReply = sim::MakeTextReply("1.05", 6);
  s.mainNumberReply = sim::MakeTextReply("ZELKA-000101", 14);
  s.mainVersionReply = sim::MakeTextReply("2.10", 6);
  s.buildDateReply = sim::MakeRawTextReply("2026-11-03", 15);
  s.paperSensor = 0x02;
  s.drawerStatus = 0x01;
  s.logoState = 0x03;
  s.parameters = {{8, 0}, {10, 130}, {65, 10}};
}

}  // namespace zelka::testing
