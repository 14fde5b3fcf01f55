// The window in English: the catalogue covers every text the window shows, the language
// is chosen from --lang or the locale, and the English window fits its controls and keeps
// the printer's bytes as they are in Russian.
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTranslator>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/language.h"
#include "app/options.h"
#include "app/picture_file_dialog.h"
#include "discovery/identity_words.h"
#include "form/control_table.h"
#include "form/messages.h"
#include "graphics/bitmap_header.h"
#include "graphics/messages.h"
#include "graphics/picture_options.h"
#include "support/window_fixture.h"

namespace zelka::testing {
namespace {

bool HasCyrillic(const QString& text) {
  static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}№]"));
  return text.contains(cyrillic);
}
bool HasCyrillic(const std::string& text) { return HasCyrillic(QString::fromStdString(text)); }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// C string literals of the form "...", adjacent ones joined, with the escapes the
// window's texts use.
QString JoinLiterals(const QString& literals) {
  static const QRegularExpression literal(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
  QString joined;
  for (const auto& m : literal.globalMatch(literals)) joined += m.captured(1);
  joined.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
  joined.replace(QStringLiteral("\\\""), QStringLiteral("\""));
  return joined;
}

struct Marked {
  QString file;
  QString context;
  QString source;
};

// Every text the code hands to the catalogue: QT_TRANSLATE_NOOP("context", "text") and
// translate("context", "text"), in the files lupdate reads.
std::vector<Marked> MarkedTexts() {
  static const QRegularExpression mark(QStringLiteral(
      "(?:QT_TRANSLATE_NOOP|translate)\\(\\s*\"([^\"]+)\"\\s*,((?:\\s*\"(?:[^\"\\\\]|\\\\.)*\")+)\\s*\\)"));
  std::vector<Marked> marked;
  const std::string root = ZELKA_SOURCE_DIR;
  for (const char* dir : {"/src/app", "/src/form"}) {
    for (const auto& entry : std::filesystem::directory_iterator(root + dir)) {
      const std::string ext = entry.path().extension().string();
      if (ext != ".cpp" && ext != ".h") continue;
      const QString text = QString::fromStdString(ReadFile(entry.path().string()));
      for (const auto& m : mark.globalMatch(text)) {
        marked.push_back({QString::fromStdString(entry.path().filename().string()), m.captured(1),
                          JoinLiterals(m.captured(2))});
      }
    }
  }
  for (const char* file : {"/src/graphics/messages.h", "/src/graphics/messages.cpp"}) {
    const QString text = QString::fromStdString(ReadFile(root + file));
    for (const auto& m : mark.globalMatch(text)) {
      marked.push_back({QString::fromLatin1(file), m.captured(1), JoinLiterals(m.captured(2))});
    }
  }
  return marked;
}

// The placeholders %1..%9 a text holds.
std::multiset<QString> Placeholders(const QString& text) {
  static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
  std::multiset<QString> found;
  for (const auto& m : placeholder.globalMatch(text)) found.insert(m.captured(0));
  return found;
}

class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(english.load(QStringLiteral(":/i18n/zelka_en.qm"))) << "the built-in catalogue";
  }
  QTranslator english;
};

TEST_F(CatalogueTest, EveryMarkedTextHasAnEnglishTranslationWithItsPlaceholders) {
  const std::vector<Marked> marked = MarkedTexts();
  // The scan itself works: the window's captions alone are over forty.
  ASSERT_GT(marked.size(), 80u);
  for (const Marked& m : marked) {
    SCOPED_TRACE(m.file.toStdString() + ": " + m.context.toStdString() + " / " +
                 m.source.toStdString());
    const QString translation =
        english.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData());
    ASSERT_FALSE(translation.isEmpty()) << "not in translations/zelka_en.ts: run lupdate "
                                           "(target zelka_app_lupdate) and translate it";
    EXPECT_FALSE(HasCyrillic(translation));
    EXPECT_EQ(Placeholders(translation), Placeholders(m.source));
  }
}

TEST_F(CatalogueTest, TheTranslationFileHasNothingUnfinishedOrLeftOver) {
  const std::string ts = ReadFile(std::string(ZELKA_SOURCE_DIR) + "/translations/zelka_en.ts");
  ASSERT_FALSE(ts.empty());
  EXPECT_EQ(ts.find("type=\"unfinished\""), std::string::npos);
  EXPECT_EQ(ts.find("type=\"vanished\""), std::string::npos);
  EXPECT_EQ(ts.find("type=\"obsolete\""), std::string::npos);
  EXPECT_NE(ts.find("sourcelanguage=\"ru_RU\""), std::string::npos);
}

TEST_F(CatalogueTest, EveryRussianCaptionOfTheWindowIsTranslated) {
  int russian = 0;
  for (const std::string& text : form::WindowTexts()) {
    if (!HasCyrillic(text)) continue;  // "Button5", "%", "FirmWare Ver:" read the same
    ++russian;
    SCOPED_TRACE(text);
    const QString translation = english.translate(form::kWindowContext, text.c_str());
    EXPECT_FALSE(translation.isEmpty());
    EXPECT_FALSE(HasCyrillic(translation)) << translation.toStdString();
  }
  EXPECT_GT(russian, 40);
}

TEST_F(CatalogueTest, TheValueLabelsWordsAreAmongTheWindowsTexts) {
  // discovery keeps them Russian for the remote records; the window translates them.
  const auto& texts = form::WindowTexts();
  for (const char* word : {discovery::kNoData, discovery::kPaperPresent, discovery::kPaperAbsent,
                           discovery::kDrawerClosed, discovery::kDrawerOpen,
                           discovery::kLogoStored, discovery::kLogoAbsent}) {
    EXPECT_NE(std::find(texts.begin(), texts.end(), word), texts.end()) << word;
  }
}

// Messages built from templates: English with the numbers and names in place, and the
// Russian byte for byte as without a catalogue.
class LanguageMessagesTest : public ::testing::Test {
 protected:
  void TearDown() override { app::RemoveLanguage(); }
};

TEST_F(LanguageMessagesTest, BuiltMessagesComeOutInEnglishWithTheirNumbers) {
  ASSERT_TRUE(app::InstallLanguage(app::Language::kEnglish));
  const form::Translator tr = app::QtTranslator();
  for (int e = 1; e <= static_cast<int>(graphics::BitmapError::kCannotWrite); ++e) {
    const std::string text = graphics::BitmapErrorText(static_cast<graphics::BitmapError>(e), 700'000, tr);
    SCOPED_TRACE(e);
    EXPECT_FALSE(text.empty());
    EXPECT_FALSE(HasCyrillic(text)) << text;
    EXPECT_EQ(text.find('%'), std::string::npos) << text;
  }
  EXPECT_EQ(graphics::BitmapErrorText(graphics::BitmapError::kTooLarge, 700'000, tr),
            "The file is too large: at most 700000 bytes are allowed.");
  EXPECT_EQ(graphics::PictureSendFailedText(3, 40, tr),
            "Could not send the picture to the printer: row 3 of 40. Printing stopped.");
  EXPECT_EQ(form::FoundMessage("/dev/ttyS0", 57600, tr), "Receipt printer found on /dev/ttyS0 at 57600 baud");
  for (const auto reason : {link::OpenFailure::kPermissionDenied, link::OpenFailure::kBusy,
                            link::OpenFailure::kAbsent, link::OpenFailure::kNotSerial,
                            link::OpenFailure::kOther}) {
    const std::string text = form::OpenFailureText("/dev/ttyUSB7", reason, "Input/output error", tr);
    EXPECT_EQ(text.rfind("/dev/ttyUSB7: ", 0), 0u) << text;
    EXPECT_FALSE(HasCyrillic(text)) << text;
  }
  EXPECT_EQ(form::OpenFailureText("/dev/ttyUSB7", link::OpenFailure::kOther, "Input/output error", tr),
            "/dev/ttyUSB7: could not open the port (Input/output error)");
}

TEST_F(LanguageMessagesTest, RussianThroughQtIsTheSourceByteForByte) {
  ASSERT_TRUE(app::InstallLanguage(app::Language::kRussian));
  const form::Translator tr = app::QtTranslator();
  for (int e = 0; e <= static_cast<int>(graphics::BitmapError::kCannotWrite); ++e) {
    const auto error = static_cast<graphics::BitmapError>(e);
    EXPECT_EQ(graphics::BitmapErrorText(error, 65'536, tr), graphics::BitmapErrorText(error, 65'536));
  }
  EXPECT_EQ(graphics::BitmapErrorText(graphics::BitmapError::kTooManyPixels, 0, tr),
            "Рисунок слишком велик: допустимо не более " + std::to_string(graphics::kMaxDimension) +
                " точек по каждой стороне и не более " + std::to_string(graphics::kMaxSourcePixels) +
                " точек всего.");
  EXPECT_EQ(form::FoundMessage("COM3", 115200, tr), "Принтер чеков найден на COM3 на скорости 115200");
  EXPECT_EQ(form::NotFoundMessage({{"/dev/ttyS1", link::OpenFailure::kBusy, ""}}, tr),
            "Принтер не найден\n/dev/ttyS1: порт занят другой программой");
  for (const std::string& text : form::WindowTexts()) {
    EXPECT_EQ(app::TranslateText(form::kWindowContext, text.c_str()), text);
  }
}

// Qt's own texts follow the window's language: the buttons of a question (the window asks
// one before closing during a firmware update) and the picture dialog's labels. Both
// catalogues are built in, so this holds on a machine without Qt's translations.
TEST_F(LanguageMessagesTest, TheToolkitsOwnTextsFollowTheWindowsLanguage) {
  struct Case {
    app::Language language;
    const char* yes;
    const char* no;
    const char* lookIn;
    const char* fileName;
  };
  const Case cases[] = {
      {app::Language::kRussian, "&Да", "&Нет", "Перейти к:", "&Имя файла:"},
      {app::Language::kEnglish, "&Yes", "&No", "Look in:", "File &name:"},
      {app::Language::kRussian, "&Да", "&Нет", "Перейти к:", "&Имя файла:"},  // and back
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.yes);
    ASSERT_TRUE(app::InstallLanguage(c.language));
    QMessageBox question(QMessageBox::Question, QStringLiteral("zelka-utility"), QStringLiteral("?"),
                         QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.button(QMessageBox::Yes)->text().toStdString(), c.yes);
    EXPECT_EQ(question.button(QMessageBox::No)->text().toStdString(), c.no);

    app::PictureFileDialog dialog(nullptr, QStringLiteral("BMP (*.bmp)"), 576);
    const auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    const auto* fileName = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    ASSERT_NE(lookIn, nullptr);
    ASSERT_NE(fileName, nullptr);
    EXPECT_EQ(lookIn->text().toStdString(), c.lookIn);
    EXPECT_EQ(fileName->text().toStdString(), c.fileName);
  }
}

TEST(LanguageChoiceTest, OptionFirstThenTheLocalesLanguage) {
  using app::Language;
  struct Case {
    std::optional<std::string> option;
    std::string locale;
    Language expected;
  };
  const Case cases[] = {
      {"en", "ru_RU.UTF-8", Language::kEnglish},  // the option beats the locale
      {"ru", "de_DE.UTF-8", Language::kRussian},
      {std::nullopt, "ru_RU.UTF-8", Language::kRussian},
      {std::nullopt, "ru", Language::kRussian},
      {std::nullopt, "RU_ru", Language::kRussian},
      {std::nullopt, "", Language::kRussian},  // no locale at all: as the program always was
      {std::nullopt, "C", Language::kRussian},
      {std::nullopt, "C.UTF-8", Language::kRussian},
      {std::nullopt, "POSIX", Language::kRussian},
      {std::nullopt, "en_US.UTF-8", Language::kEnglish},
      {std::nullopt, "de_DE@euro", Language::kEnglish},
      {std::nullopt, "pt-BR", Language::kEnglish},
      {std::nullopt, "uk_UA.UTF-8", Language::kEnglish},
      {std::nullopt, "rue_UA", Language::kEnglish},  // another language that starts with "ru"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option.value_or("-") + " / " + c.locale);
    EXPECT_EQ(app::ChooseLanguage(c.option, c.locale), c.expected);
  }
}

TEST(LanguageChoiceTest, LangOptionTakesRuOrEnOnly) {
  std::string error;
  const QString program = QStringLiteral("zelka-utility");
  auto options = app::ParseOptions({program}, error);
  ASSERT_TRUE(options);
  EXPECT_FALSE(options->language);
  options = app::ParseOptions({program, QStringLiteral("--lang"), QStringLiteral("en")}, error);
  ASSERT_TRUE(options);
  EXPECT_EQ(options->language, "en");
  options = app::ParseOptions({program, QStringLiteral("--lang=ru")}, error);
  ASSERT_TRUE(options);
  EXPECT_EQ(options->language, "ru");
  for (const char* bad : {"de", "EN", "english", ""}) {
    SCOPED_TRACE(bad);
    error.clear();
    EXPECT_FALSE(app::ParseOptions({program, QStringLiteral("--lang"), QString::fromUtf8(bad)}, error));
    EXPECT_EQ(error, "--lang takes ru or en");
  }
  EXPECT_FALSE(app::ParseOptions({program, QStringLiteral("--lang")}, error)) << "a value is needed";
}

// Room for a caption's text inside its widget, in pixels, by the widget's style.
int Room(QWidget* w) {
  QStyle* style = w->style();
  if (qobject_cast<QRadioButton*>(w)) {
    return w->width() - style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) -
           style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
  }
  if (qobject_cast<QPushButton*>(w)) {
    return w->width() - 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w) - 2;
  }
  if (qobject_cast<QGroupBox*>(w)) return w->width() - 8;
  return w->width();
}

QString TextOf(QWidget* w) {
  if (auto* b = qobject_cast<QPushButton*>(w)) return b->text();
  if (auto* r = qobject_cast<QRadioButton*>(w)) return r->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  return {};
}

// Every caption of the window and the dialog is as wide as its control lets it be at the
// window's font, or less: nothing is cut off.
void ExpectCaptionsFit(app::TForm1& window) {
  std::vector<QWidget*> widgets;
  for (const auto& control : form::MainWindowControls()) {
    widgets.push_back(window.findChild<QWidget*>(QString::fromStdString(control.name)));
  }
  for (const auto& control : form::BaudDialogControls()) {
    widgets.push_back(window.Form2().findChild<QWidget*>(QString::fromStdString(control.name)));
  }
  for (QWidget* w : widgets) {
    ASSERT_NE(w, nullptr);
    const QString text = TextOf(w);
    if (text.isEmpty()) continue;
    SCOPED_TRACE(w->objectName().toStdString() + ": " + text.toStdString());
    EXPECT_LE(QFontMetrics(w->font()).horizontalAdvance(text), Room(w));
  }
}

// The real window built in English.
class EnglishWindowTest : public WindowFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app::InstallLanguage(app::Language::kEnglish));
    WindowFixture::SetUp();
  }
  void TearDown() override {
    WindowFixture::TearDown();
    app::RemoveLanguage();
  }
};

TEST_F(EnglishWindowTest, CaptionsAreEnglishAndFitTheirControls) {
  EXPECT_EQ(window->windowTitle(), "Zelka Printer Utility (Version 1.10)");
  EXPECT_EQ(window->Form2().windowTitle(), "Set baud rate");
  EXPECT_EQ(Find<QPushButton>("Button7")->text(), "Find printer automatically");
  EXPECT_EQ(Find<QLabel>("Label2")->text(), "No data");
  EXPECT_EQ(Find<QComboBox>("ComboBox1")->currentText(), "Select port");
  // The state stays Russian: the remote service and the handlers read it.
  EXPECT_EQ(window->Form().Window().Caption("Button7"), "Автоматический поиск устройства");

  for (const auto& control : form::MainWindowControls()) {
    if (auto* w = Find<QWidget>(control.name.c_str())) {
      EXPECT_FALSE(HasCyrillic(TextOf(w))) << control.name;
    }
  }
  ExpectCaptionsFit(*window);
}

// The measure itself: the Russian window, whose sizes were made for its captions, passes.
using RussianWindowTest = WindowFixture;
TEST_F(RussianWindowTest, CaptionsFitTheirControlsByTheSameMeasure) {
  EXPECT_EQ(Find<QPushButton>("Button7")->text(), QString::fromUtf8("Автоматический поиск устройства"));
  ExpectCaptionsFit(*window);
}

TEST_F(EnglishWindowTest, NotFoundMessageWithThePortsProblemIsEnglish) {
  ports = {"/dev/zelka-no-such-port"};
  Find<QPushButton>("Button7")->click();
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(dialogs.Messages(), (std::vector<FakeDialogs::Shown>{
                                    {"error", "Printer not found\n/dev/zelka-no-such-port: port not found"}}));
}

TEST_F(EnglishWindowTest, SearchShowsEnglishWordsButThePrinterGetsTheSameBytes) {
  Find<QPushButton>("Button7")->click();
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_FALSE(dialogs.Texts().empty());
  EXPECT_EQ(dialogs.Texts().front(), "Receipt printer found on " + sim.PortName() + " at 57600 baud");
  EXPECT_EQ(Find<QLabel>("Label16")->text(), "present");
  EXPECT_EQ(Find<QLabel>("Label18")->text(), "Closed");
  EXPECT_EQ(window->Form().Window().Caption("Label16"), discovery::kPaperPresent);

  // The test receipt and the QR code, in English and then in Russian: the same frames.
  const auto printed = [this] {
    sent.Clear();
    for (const char* button : {"Button22", "Button19"}) {
      Find<QPushButton>(button)->click();
      EXPECT_TRUE(WaitUntilIdle());
    }
    return sent.Frames();
  };
  const auto english = printed();
  ASSERT_FALSE(english.empty());
  app::RemoveLanguage();
  EXPECT_EQ(printed(), english);
}

}  // namespace
}  // namespace zelka::testing
