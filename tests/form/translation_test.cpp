// The form's translator seam: messages are translated as templates and then filled in,
// and the Russian stays what it was without a translator.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "firmware/board_check.h"
#include "form/messages.h"
#include "form/translation.h"

namespace zelka::form {
namespace {

TEST(SubstituteTest, ReplacesNumberedPlaceholdersOnce) {
  struct Case {
    std::string text;
    std::vector<std::string> arguments;
    std::string expected;
  };
  const Case cases[] = {
      {"на %1 на скорости %2", {"COM1", "9600"}, "на COM1 на скорости 9600"},
      {"%2 before %1", {"a", "b"}, "b before a"},
      {"%1%1", {"x"}, "xx"},
      {"%1 stays %2", {"x"}, "x stays %2"},  // no argument: kept
      {"100% sure, %1", {"ok"}, "100% sure, ok"},
      {"ends with %", {"x"}, "ends with %"},
      {"%1", {"%2"}, "%2"},  // an argument is not substituted in turn
      {"", {"x"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Substitute(c.text, c.arguments), c.expected);
  }
}

// A catalogue of a few templates; other texts come back as they are, like Qt's.
class DictionaryTranslator {
 public:
  std::map<std::pair<std::string, std::string>, std::string> entries;
  std::vector<std::string> asked;
  Translator Get() {
    return [this](const char* context, const char* source) {
      asked.push_back(std::string(context) + "|" + source);
      auto it = entries.find({context, source});
      return it == entries.end() ? std::string(source) : it->second;
    };
  }
};

TEST(FormMessagesTest, TemplatesAreTranslatedBeforeTheNamesGoIn) {
  DictionaryTranslator dictionary;
  dictionary.entries = {
      {{"Messages", "Принтер чеков найден на %1 на скорости %2"}, "Found on %1 at %2"},
      {{"Messages", "Принтер не найден"}, "Not found"},
      {{"Messages", "%1: порт не найден"}, "%1: no such port"},
      {{"Messages", "%1: нет доступа — добавьте пользователя в группу %2"}, "%1: join group %2"},
  };
  const Translator tr = dictionary.Get();
  // A port name that looks like a placeholder stays a name.
  EXPECT_EQ(FoundMessage("/dev/%2", 19200, tr), "Found on /dev/%2 at 19200");
  EXPECT_EQ(NotFoundMessage({{"/dev/ttyA", link::OpenFailure::kAbsent, ""},
                             {"/dev/ttyB", link::OpenFailure::kBusy, ""}},
                            tr),
            "Not found\n/dev/ttyA: no such port\n/dev/ttyB: порт занят другой программой");
  EXPECT_EQ(dictionary.asked.front(), "Messages|Принтер чеков найден на %1 на скорости %2");
  EXPECT_EQ(OpenFailureText("/ttyQ", link::OpenFailure::kPermissionDenied, "", tr).rfind("/ttyQ: ", 0), 0u);
}

TEST(FormMessagesTest, WithoutATranslatorTheRussianIsAsItWas) {
  EXPECT_EQ(FoundMessage("COM3", 57600), "Принтер чеков найден на COM3 на скорости 57600");
  EXPECT_EQ(OpenFailureText("COM3", link::OpenFailure::kOther, ""), "COM3: не удалось открыть порт");
  EXPECT_EQ(OpenFailureText("COM3", link::OpenFailure::kOther, "EIO"),
            "COM3: не удалось открыть порт (EIO)");
  EXPECT_EQ(NotFoundMessage({}), "Принтер не найден");
}

TEST(FormMessagesTest, BoardRefusalIsTheChecksOwnSentenceTranslated) {
  const Translator marked = [](const char* context, const char* source) {
    return std::string("[") + context + "] " + source;
  };
  struct Case {
    std::string bootNumber;
    std::uint8_t fileBoard;
  };
  // An unknown board, and a known board with a file for the other one.
  const Case cases[] = {{"ZELKA-999999", 3}, {"ZELKA-000001", 4}, {" ZELKA-000002\r", 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bootNumber);
    firmware::BoardCheck check{c.bootNumber, firmware::BoardMismatch(c.bootNumber, c.fileBoard)};
    ASSERT_TRUE(check.refusal);
    // Rebuilt from the template, the Russian is the check's own text byte for byte...
    EXPECT_EQ(BoardRefusalText(check, c.fileBoard), *check.refusal);
    // ...and so the translation of that template is what the user reads.
    const std::string translated = BoardRefusalText(check, c.fileBoard, marked);
    EXPECT_EQ(translated.rfind("[Messages] Внимание!!!", 0), 0u) << translated;
    EXPECT_EQ(translated.find('%'), std::string::npos) << translated;
  }
  // A refusal worded some other way is shown as it came.
  firmware::BoardCheck other{"ZELKA-000001", "Плата не подходит"};
  EXPECT_EQ(BoardRefusalText(other, 3, marked), "Плата не подходит");
}

}  // namespace
}  // namespace zelka::form
