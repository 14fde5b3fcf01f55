// The picture and logo buttons through the window model: the paper the window is set to
// and the conversion chosen in the picture dialog reach the printer; a file refused is
// told in a box and nothing is sent.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "form/form_fixture.h"
#include "graphics/messages.h"
#include "graphics/picture_maker.h"

namespace zelka::testing {
namespace {

constexpr char kPictureFilter[] =
    "Файлы  (*.bmp *.png *.jpg *.jpeg *.gif) | *.BMP *.PNG *.JPG *.JPEG *.GIF";

class Writes final : public link::Observer {
 public:
  void OnSent(const std::string&, int, std::span<const std::uint8_t> bytes) override {
    std::lock_guard lock(mutex_);
    writes_.emplace_back(bytes.begin(), bytes.end());
  }
  void OnReceived(const std::string&, int, std::span<const std::uint8_t>) override {}
  std::vector<Bytes> All() const {
    std::lock_guard lock(mutex_);
    return writes_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Bytes> writes_;
};

class GraphicsWindowTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    worker->SetLinkObserver(&writes);
    MakeForm();
    worker->Submit([port = sim.PortName(), baud = sim.State().baud](printer::Session& s) {
      s.SetPort(port);
      s.SetBaud(baud);
    });
    worker->WaitIdle();
    dir = std::filesystem::temp_directory_path() /
          ("zelka-graphics-window-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    if (worker) worker->SetLinkObserver(nullptr);
    FormFixture::TearDown();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  Writes writes;
  std::filesystem::path dir;
};

TEST_F(GraphicsWindowTest, PictureIsScaledToThePaperOfTheWindowWithTheChosenThreshold) {
  // 1000 × 500 grey 100: at 57 mm 384 × 192 dots, all black below a threshold of 101.
  const std::string path = Write("grey.png", Encode(FlatGrey(1000, 500, 100), "png"));
  Window().SetChecked("RadioButton80mm", false);
  Window().SetChecked("RadioButton57mm", true);
  dialogs.fileAnswers.push_back(path);
  dialogs.thresholdAnswer = 101;
  Click("Button3");

  EXPECT_EQ(dialogs.filters, std::vector<std::string>{kPictureFilter});
  EXPECT_EQ(dialogs.pictureDots, std::vector<int>{384});
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{graphics::kPicturePrinted});
  // The raster rows (the paper width the window sets on the printer goes before them).
  std::vector<Bytes> rows;
  for (const Bytes& w : writes.All()) {
    if (w.size() > 2 && w[0] == 0x1B && w[1] == 0x2E) rows.push_back(w);
  }
  Bytes row{0x1B, 0x2E, 0x00, 48, 0x01, 0x00};
  row.resize(row.size() + 48, 0xFF);
  EXPECT_EQ(rows, std::vector<Bytes>(192, row));
  EXPECT_EQ(writes.All().back(), (Bytes{0x1B, 0x69})) << "cut after the picture";
}

TEST_F(GraphicsWindowTest, LogoFromAPngIsConvertedForThePaperAndStored) {
  const std::string path = Write("logo.jpg", Encode(PhotoLike(1200, 300), "jpeg", 90));
  dialogs.fileAnswers.push_back(path);
  Click("Button8");

  EXPECT_EQ(dialogs.pictureDots, std::vector<int>{576});
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{graphics::kLogoLoaded});
  const auto all = writes.All();
  ASSERT_GE(all.size(), 1u);
  // ESC, then a one-bit file 576 × 144: 62 + 72 × 144 bytes.
  ASSERT_EQ(all[0].size(), 1u + 62 + 72 * 144);
  EXPECT_EQ(all[0][0], 0x1B);
  EXPECT_EQ(sim.State().logoState & 1, 1);
}

TEST_F(GraphicsWindowTest, DamagedPictureIsToldAndNothingIsSent) {
  const Bytes png = Encode(PhotoLike(200, 100), "png");
  const std::string path = Write("cut.png", Bytes(png.begin(), png.begin() + png.size() / 2));
  for (const char* button : {"Button3", "Button8"}) {
    SCOPED_TRACE(button);
    dialogs.Clear();
    dialogs.fileAnswers.push_back(path);
    Click(button);
    EXPECT_EQ(dialogs.Messages(),
              (std::vector<FakeDialogs::Shown>{
                  {"error", "Файл рисунка повреждён или обрывается: прочитать рисунок не удалось."}}));
  }
  EXPECT_TRUE(writes.All().empty());
  EXPECT_TRUE(Commands(sim).empty());
}

}  // namespace
}  // namespace zelka::testing
