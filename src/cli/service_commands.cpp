// feed, cut, beep, selftest, paper, drawer open, drawer status: the window's service
// buttons.
#include "cli/commands.h"
#include "service/service_actions.h"

namespace zelka::cli {

namespace {

struct Action {
  CommandId id;
  printer::Result (*run)(printer::Session&);
  const char* what;  // for a failure: "... did not answer the paper feed"; "Sent the ..."
  const char* done;  // the text result
  bool answered;     // the printer answers it: done means done even without a search
};

constexpr Action kActions[] = {
    {CommandId::kFeed, service::FeedOneLine, "the paper feed", "Fed one line", false},
    {CommandId::kCut, service::CutWithSampleLines, "the cut", "Printed the sample lines and cut", false},
    {CommandId::kBeep, service::SoundSignal, "the signal", "Sounded the signal", false},
    {CommandId::kSelfTest, service::RunSelfTest, "the self-test",
     "The printer ran its self-test and answers", true},
    {CommandId::kDrawerOpen, service::KickDrawer, "the drawer kick", "Opened the cash drawer", false},
};

struct StateQuery {
  CommandId id;
  service::StateReading (*read)(printer::Session&);
  const char* what;
  const char* key;      // JSON key and text label
  const char* bitSet;   // the value when bit 0 is set
  const char* bitClear;
};

constexpr StateQuery kQueries[] = {
    {CommandId::kPaper, service::ReadPaperSensor, "the paper sensor query", "paper", "absent", "present"},
    {CommandId::kDrawerStatus, service::ReadDrawerState, "the drawer state query", "drawer", "closed",
     "open"},
};

int RunAction(Context& context, const Action& action) {
  const printer::Result result = action.run(context.session);
  if (const int code = ReportProblem(context, result, action.what)) return code;
  QJsonObject object = PrinterObject(context.session);
  object.insert(QStringLiteral("command"), QString::fromStdString(CommandWords(*context.invocation.command)));
  const std::string text = action.answered ? std::string(action.done) + " " + PrinterWords(context.session) + ".\n"
                                            : DoneWords(context, action.done, action.what);
  context.output.Result(text, object);
  return 0;
}

int RunQuery(Context& context, const StateQuery& query) {
  const service::StateReading reading = query.read(context.session);
  printer::Result result = reading.result;
  if (result.Ok() && !reading.bitSet) result.problem = printer::Problem::kNoReply;
  if (const int code = ReportProblem(context, result, query.what)) return code;
  const char* value = *reading.bitSet ? query.bitSet : query.bitClear;
  QJsonObject object = PrinterObject(context.session);
  object.insert(QString::fromLatin1(query.key), QString::fromLatin1(value));
  std::string label = query.key;
  label[0] = static_cast<char>(label[0] - 'a' + 'A');
  context.output.Result(label + ": " + value + "\n", object);
  return 0;
}

}  // namespace

int RunServiceCommand(Context& context) {
  const CommandId id = context.invocation.command->id;
  if (id == CommandId::kCut && context.invocation.only) {
    return RunAction(context, {id, service::FeedAndCutEscM, "the feed and cut", "Fed and cut"});
  }
  for (const Action& action : kActions) {
    if (action.id == id) return RunAction(context, action);
  }
  for (const StateQuery& query : kQueries) {
    if (query.id == id) return RunQuery(context, query);
  }
  return ToInt(ExitCode::kUsage);
}

}  // namespace zelka::cli
