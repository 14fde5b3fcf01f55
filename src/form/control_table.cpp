#include "form/control_table.h"

#include "form/translation.h"

namespace zelka::form {

using K = ControlKind;

const std::vector<ControlSpec>& MainWindowControls() {
  static const std::vector<ControlSpec> controls = {
      {"Button7", K::Button, "", 8, 8, 193, 41, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Автоматический поиск устройства")}, 0},
      {"ComboBox1", K::ComboBox, "", 8, 55, 89, 21, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Выбор порта")}, 0},
      {"Button11", K::Button, "", 112, 55, 89, 21, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Ручной режим")}, 0},
      {"GroupBox1", K::GroupBox, "", 8, 82, 177, 209, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Параметры устройства")}, 0},
      {"Button2", K::Button, "", 224, 10, 170, 24, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Открыть денежный ящик")}, 0},
      {"Button4", K::Button, "", 224, 38, 170, 24, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Статус денежного ящика")}, 0},
      {"Button6", K::Button, "", 224, 66, 170, 24, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Проверка бумаги")}, 0},
      {"Button1", K::Button, "", 224, 94, 170, 24, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Промотка бумаги")}, 0},
      {"Button21", K::Button, "", 224, 124, 170, 24, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Чек 57 мм на 80 мм принтере")}, 0},
      {"RadioGroup1", K::GroupBox, "", 224, 152, 170, 50, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Переключение размера бумаги")}, 0},
      {"RadioButton80mm", K::RadioButton, "", 232, 166, 50, 17, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "80 мм"), .radioGroup = "paper"}, 0},
      {"RadioButton57mm", K::RadioButton, "", 232, 182, 50, 17, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "57 мм"), .radioGroup = "paper"}, 0},
      {"Button22", K::Button, "", 288, 168, 97, 25, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Тестовый чек")}, 0},
      {"Button9", K::Button, "", 224, 206, 170, 24, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Стереть LOGO")}, 0},
      {"Button8", K::Button, "", 224, 234, 170, 24, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Загрузить логотип")}, 0},
      {"Button10", K::Button, "", 224, 262, 170, 24, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Напечатать LOGO")}, 0},
      {"Button19", K::Button, "", 224, 292, 170, 22, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Печать QR кода")}, 0},
      {"Button12", K::Button, "", 8, 297, 50, 17, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Сигнал")}, 0},
      {"Button13", K::Button, "", 64, 297, 49, 17, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Отрез")}, 0},
      {"Button24", K::Button, "", 119, 297, 66, 17, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Скорость")}, 0},
      {"GroupBox2", K::GroupBox, "", 8, 320, 384, 54, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", " Установка линии отреза ")}, 0},
      {"TrackBar1", K::TrackBar, "", 10, 340, 289, 32, {.enabled = true, .caption = "", .position = 0, .minimum = 0, .maximum = 50}, 0},
      {"Edit1", K::Edit, "", 295, 340, 23, 21, {.enabled = false, .caption = "Edit1"}, 0},
      {"Label19", K::Label, "", 318, 343, 11, 13, {.enabled = true, .caption = "%"}, 0},
      {"Button15", K::Button, "", 329, 340, 61, 21, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Применить")}, 0},
      {"GroupBox3", K::GroupBox, "", 8, 384, 385, 46, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", " Установка яркости печати ")}, 0},
      {"Label20", K::Label, "GroupBox3", 310, 15, 11, 13, {.enabled = true, .caption = "%"}, 0},
      {"TrackBar2", K::TrackBar, "", 10, 396, 289, 32, {.enabled = true, .caption = "", .position = 20, .minimum = 20, .maximum = 100}, 0},
      {"Edit2", K::Edit, "", 295, 396, 23, 21, {.enabled = false, .caption = "Edit2"}, 0},
      {"Button16", K::Button, "", 329, 396, 61, 21, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Применить")}, 0},
      {"Button17", K::Button, "", 8, 436, 386, 69, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Самодиагностика")}, 20},
      {"Button3", K::Button, "", 8, 515, 192, 25, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Печать картинки")}, 0},
      {"Button14", K::Button, "", 206, 515, 188, 25, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Обновить прошивку")}, 0},
      {"Button18", K::Button, "", 8, 546, 386, 25, {.enabled = false, .caption = QT_TRANSLATE_NOOP("Window", "Установить кодовую страницу 866")}, 0},
      // In tenths of a percent, so that a transfer of minutes moves it every fraction of a second.
      {"ProgressBar1", K::ProgressBar, "", 8, 575, 386, 17, {.enabled = true, .caption = "", .position = 0, .minimum = 0, .maximum = 1000}, 0},
      {"Button20", K::Button, "", 8, 598, 113, 33, {.enabled = true, .visible = false, .caption = "Button20"}, 0},
      {"Button5", K::Button, "", 174, 598, 153, 33, {.enabled = true, .caption = "Button5"}, 0},
      {"Button23", K::Button, "", 333, 598, 57, 33, {.enabled = true, .caption = "Button23"}, 0},
      {"Image1", K::Image, "", 8, 637, 9, 24, {.enabled = true, .visible = false, .caption = ""}, 0},
      {"Label1", K::Label, "GroupBox1", 8, 14, 75, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Модель:")}, 0},
      {"Label2", K::Label, "GroupBox1", 83, 14, 90, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Нет данных")}, 0},
      {"Label5", K::Label, "GroupBox1", 8, 33, 75, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Serial №:")}, 0},
      {"Label6", K::Label, "GroupBox1", 83, 33, 90, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Нет данных")}, 0},
      {"Label11", K::Label, "GroupBox1", 8, 52, 75, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Boot FW №:")}, 0},
      {"Label12", K::Label, "GroupBox1", 83, 52, 90, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Нет данных")}, 0},
      {"Label13", K::Label, "GroupBox1", 8, 71, 75, 13, {.enabled = true, .caption = "Boot FW Ver:"}, 0},
      {"Label14", K::Label, "GroupBox1", 83, 71, 90, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Нет данных")}, 0},
      {"Label7", K::Label, "GroupBox1", 8, 90, 75, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "FirmWare №:")}, 0},
      {"Label8", K::Label, "GroupBox1", 83, 90, 90, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Нет данных")}, 0},
      {"Label9", K::Label, "GroupBox1", 8, 109, 75, 13, {.enabled = true, .caption = "FirmWare Ver:"}, 0},
      {"Label10", K::Label, "GroupBox1", 83, 109, 90, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Нет данных")}, 0},
      {"Label15", K::Label, "GroupBox1", 8, 128, 75, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Бумага:")}, 0},
      {"Label16", K::Label, "GroupBox1", 83, 128, 90, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Нет данных")}, 0},
      {"Label17", K::Label, "GroupBox1", 8, 147, 75, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Ден. ящик:")}, 0},
      {"Label18", K::Label, "GroupBox1", 83, 147, 90, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Нет данных")}, 0},
      {"Label3", K::Label, "GroupBox1", 8, 166, 75, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Логотип:")}, 0},
      {"Label4", K::Label, "GroupBox1", 83, 166, 90, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Нет данных")}, 0},
      {"Label21", K::Label, "GroupBox1", 8, 184, 75, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Дата сборки:")}, 0},
      {"Label22", K::Label, "GroupBox1", 83, 184, 90, 13, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Нет данных")}, 0},
  };
  return controls;
}

const std::vector<ControlSpec>& BaudDialogControls() {
  static const std::vector<ControlSpec> controls = {
      {"RadioGroup1", K::GroupBox, "", 8, 8, 217, 137, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Скорость")}, 0},
      {"RadioButton1", K::RadioButton, "", 32, 40, 113, 17, {.enabled = true, .caption = "9600", .radioGroup = "baud"}, 0},
      {"RadioButton2", K::RadioButton, "", 32, 63, 113, 17, {.enabled = true, .caption = "19200", .radioGroup = "baud"}, 0},
      {"RadioButton3", K::RadioButton, "", 32, 86, 113, 17, {.enabled = true, .caption = "57600", .radioGroup = "baud"}, 0},
      {"RadioButton4", K::RadioButton, "", 32, 109, 113, 17, {.enabled = true, .caption = "115200", .radioGroup = "baud"}, 0},
      {"Button1", K::Button, "", 120, 40, 81, 89, {.enabled = true, .caption = QT_TRANSLATE_NOOP("Window", "Установить")}, 0},
  };
  return controls;
}

}  // namespace zelka::form
