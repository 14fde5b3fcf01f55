<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
<context>
    <name>Graphics</name>
    <message>
        <source>File does not exist.</source>
        <translation>File does not exist.</translation>
    </message>
    <message>
        <source>Логотип успешно загружен</source>
        <translation>Logo loaded successfully</translation>
    </message>
    <message>
        <source>Выключите принтер, подождите 7 секунд и снова включите.</source>
        <translation>Switch the printer off, wait 7 seconds and switch it on again.</translation>
    </message>
    <message>
        <source>Купон успешно напечатан</source>
        <translation>Coupon printed successfully</translation>
    </message>
    <message>
        <source>Не удалось открыть порт принтера. Логотип не загружен.</source>
        <translation>Could not open the printer&apos;s port. The logo was not loaded.</translation>
    </message>
    <message>
        <source>Не удалось передать логотип на принтер.</source>
        <translation>Could not send the logo to the printer.</translation>
    </message>
    <message>
        <source>Не удалось открыть порт принтера. Картинка не напечатана.</source>
        <translation>Could not open the printer&apos;s port. The picture was not printed.</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл.</source>
        <translation>Could not read the file.</translation>
    </message>
    <message>
        <source>Файл слишком велик: допустимо не более %1 байт.</source>
        <translation>The file is too large: at most %1 bytes are allowed.</translation>
    </message>
    <message>
        <source>Файл не является рисунком BMP.</source>
        <translation>The file is not a BMP picture.</translation>
    </message>
    <message>
        <source>Файл BMP повреждён: заголовок рисунка обрывается.</source>
        <translation>The BMP file is damaged: the picture header is cut short.</translation>
    </message>
    <message>
        <source>Этот вид файла BMP не поддерживается: заголовок рисунка короче 40 байт.</source>
        <translation>This kind of BMP file is not supported: the picture header is shorter than 40 bytes.</translation>
    </message>
    <message>
        <source>Файл BMP повреждён: недопустимые ширина или высота рисунка (от 1 до %1 точек).</source>
        <translation>The BMP file is damaged: the picture&apos;s width or height is out of range (1 to %1 dots).</translation>
    </message>
    <message>
        <source>Файл BMP записан в неизвестном формате (глубина цвета или сжатие).</source>
        <translation>The BMP file is in an unknown format (colour depth or compression).</translation>
    </message>
    <message>
        <source>Файл BMP повреждён: начало данных рисунка указано за пределами файла.</source>
        <translation>The BMP file is damaged: its picture data is said to start beyond the end of the file.</translation>
    </message>
    <message>
        <source>Файл BMP повреждён: данных рисунка меньше, чем указано в заголовке.</source>
        <translation>The BMP file is damaged: it holds less picture data than its header says.</translation>
    </message>
    <message>
        <source>Напечатать можно только чёрно-белый рисунок BMP без сжатия (1 бит на точку).</source>
        <translation>Only an uncompressed black-and-white BMP picture (1 bit per dot) can be printed.</translation>
    </message>
    <message>
        <source>Рисунок слишком широк: в строке допустимо не более %1 точек.</source>
        <translation>The picture is too wide: at most %1 dots per row are allowed.</translation>
    </message>
    <message>
        <source>Рисунок слишком узок: в строке должно быть не менее %1 точек.</source>
        <translation>The picture is too narrow: a row must have at least %1 dots.</translation>
    </message>
    <message>
        <source>Файл BMP повреждён: размер файла, указанный в заголовке, не совпадает с настоящим.</source>
        <translation>The BMP file is damaged: the file size in its header does not match the real one.</translation>
    </message>
    <message>
        <source>Файл не является рисунком: печатаются только файлы BMP, PNG, JPEG и GIF.</source>
        <translation>The file is not a picture: only BMP, PNG, JPEG and GIF files can be printed.</translation>
    </message>
    <message>
        <source>Файл рисунка повреждён или обрывается: прочитать рисунок не удалось.</source>
        <translation>The picture file is damaged or cut short: the picture could not be read.</translation>
    </message>
    <message>
        <source>Рисунок слишком велик: допустимо не более %1 точек по каждой стороне и не более %2 точек всего.</source>
        <translation>The picture is too large: at most %1 dots on each side and at most %2 dots in all are allowed.</translation>
    </message>
    <message>
        <source>Рисунок слишком длинный: приведённый к ширине бумаги, он займёт более %1 байт.</source>
        <translation>The picture is too long: scaled to the paper&apos;s width, it would take more than %1 bytes.</translation>
    </message>
    <message>
        <source>Не удалось записать файл.</source>
        <translation>Could not write the file.</translation>
    </message>
    <message>
        <source>Не удалось передать картинку на принтер: строка %1 из %2. Печать прервана.</source>
        <translation>Could not send the picture to the printer: row %1 of %2. Printing stopped.</translation>
    </message>
    <message>
        <source>Рисунок записан так, что для его чтения нужно слишком много памяти или времени (более %1 МБ или более %2 проходов JPEG). Сохраните его как обычный JPEG или PNG.</source>
        <translation>The picture is stored in a way that takes too much memory or time to read (over %1 MB or over %2 JPEG scans). Save it as a plain JPEG or PNG.</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Файлы BIOS (*.bin) | *.bin</source>
        <translation>BIOS files (*.bin) | *.bin</translation>
    </message>
    <message>
        <source>Файл прошивки слишком велик: %1 байт, принтер принимает не более %2 байт. Обновление не начато.</source>
        <translation>The firmware file is too large: %1 bytes; the printer takes at most %2 bytes. The update was not started.</translation>
    </message>
    <message>
        <source>Успешно</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>Ошибка N1: %1</source>
        <translation>Error N1: %1</translation>
    </message>
    <message>
        <source>Ошибка N3: %1</source>
        <translation>Error N3: %1</translation>
    </message>
    <message>
        <source>Ошибка N: %1. Не удалось прочитать файл прошивки.</source>
        <translation>Error N: %1. Could not read the firmware file.</translation>
    </message>
    <message>
        <source>Ошибка N: %1. Файл прошивки больше %2 байт.</source>
        <translation>Error N: %1. The firmware file is larger than %2 bytes.</translation>
    </message>
    <message>
        <source>Ошибка N: %1</source>
        <translation>Error N: %1</translation>
    </message>
    <message>
        <source>Внимание!!! Данная версия программы устарела и не поддерживает текущую версии платы. Пожалуйста обновите программу с сайта: %1</source>
        <translation>Attention! This version of the program is outdated and does not support the printer&apos;s board. Please update the program from: %1</translation>
    </message>
    <message>
        <source>Внимание!!! Данная версия прошивки(версия %1) не соответствует текущей версии платы(версия %2).</source>
        <translation>Attention! This firmware (version %1) does not match the printer&apos;s board (version %2).</translation>
    </message>
    <message>
        <source>Файл прошивки пуст. Обновление не начато.</source>
        <translation>The firmware file is empty. The update was not started.</translation>
    </message>
    <message>
        <source>Файлы  (*.bmp *.png *.jpg *.jpeg *.gif) | *.BMP *.PNG *.JPG *.JPEG *.GIF</source>
        <translation>Pictures (*.bmp *.png *.jpg *.jpeg *.gif) | *.BMP *.PNG *.JPG *.JPEG *.GIF</translation>
    </message>
    <message>
        <source>Принтер чеков найден на %1 на скорости %2</source>
        <translation>Receipt printer found on %1 at %2 baud</translation>
    </message>
    <message>
        <source>%1: нет доступа — добавьте пользователя в группу %2</source>
        <translation>%1: access denied — add the user to the group %2</translation>
    </message>
    <message>
        <source>%1: нет доступа к порту</source>
        <translation>%1: access denied</translation>
    </message>
    <message>
        <source>%1: нет доступа — открыть порт может только его владелец (%2); доступ группе даёт правило udev</source>
        <translation>%1: access denied — only its owner (%2) may open it; a udev rule can give a group access</translation>
    </message>
    <message>
        <source>%1: это не последовательный порт</source>
        <translation>%1: not a serial port</translation>
    </message>
    <message>
        <source>%1: порт занят другой программой</source>
        <translation>%1: the port is in use by another program</translation>
    </message>
    <message>
        <source>%1: порт не найден</source>
        <translation>%1: port not found</translation>
    </message>
    <message>
        <source>%1: не удалось открыть порт</source>
        <translation>%1: could not open the port</translation>
    </message>
    <message>
        <source>%1: не удалось открыть порт (%2)</source>
        <translation>%1: could not open the port (%2)</translation>
    </message>
    <message>
        <source>Ваша версия прошивки (FirmWare) устарела, пожалуйста обновите её.
</source>
        <translation>Your firmware version is outdated, please update it.
</translation>
    </message>
    <message>
        <source>Принтер исправен</source>
        <translation>The printer is in working order</translation>
    </message>
    <message>
        <source>Принтер не найден</source>
        <translation>Printer not found</translation>
    </message>
    <message>
        <source>рисунок PNG</source>
        <translation>a PNG picture</translation>
    </message>
    <message>
        <source>рисунок JPEG</source>
        <translation>a JPEG picture</translation>
    </message>
    <message>
        <source>рисунок GIF</source>
        <translation>a GIF picture</translation>
    </message>
    <message>
        <source>рисунок BMP</source>
        <translation>a BMP picture</translation>
    </message>
    <message>
        <source>архив ZIP</source>
        <translation>a ZIP archive</translation>
    </message>
    <message>
        <source>документ PDF</source>
        <translation>a PDF document</translation>
    </message>
    <message>
        <source>файл другого вида</source>
        <translation>a file of another kind</translation>
    </message>
    <message>
        <source>Это %1, а не прошивка. Обновление не начато.</source>
        <translation>This is %1, not firmware. The update was not started.</translation>
    </message>
    <message>
        <source>Если обновление прошивки было прервано, принтер может ждать в загрузчике: восстановить прошивку?</source>
        <translation>If a firmware update was interrupted, the printer may be waiting in its bootloader: recover its firmware?</translation>
    </message>
</context>
<context>
    <name>PictureFileDialog</name>
    <message>
        <source>Пороговое преобразование</source>
        <translation>Fixed threshold</translation>
    </message>
    <message>
        <source>%1 × %2 точек</source>
        <translation>%1 × %2 dots</translation>
    </message>
    <message>
        <source>Чтение рисунка…</source>
        <translation>Reading the picture…</translation>
    </message>
</context>
<context>
    <name>RecoveryDialog</name>
    <message>
        <source>Восстановление прошивки</source>
        <translation>Firmware recovery</translation>
    </message>
    <message>
        <source>Обзор…</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>Порт:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Версия платы:</source>
        <translation>Board version:</translation>
    </message>
    <message>
        <source>Файл прошивки:</source>
        <translation>Firmware file:</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Идёт обновление прошивки. Если прервать его, принтер останется в загрузчике до следующего обновления. Прервать и закрыть программу?</source>
        <translation>A firmware update is in progress. If it is interrupted, the printer stays in its bootloader until the next update. Interrupt the update and close the program?</translation>
    </message>
    <message>
        <source>Идёт обновление прошивки принтера</source>
        <translation>The printer's firmware is being updated</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Автоматический поиск устройства</source>
        <translation>Find printer automatically</translation>
    </message>
    <message>
        <source>Выбор порта</source>
        <translation>Select port</translation>
    </message>
    <message>
        <source>Серийный номер USB: %1</source>
        <translation>USB serial number: %1</translation>
    </message>
    <message>
        <source>Ручной режим</source>
        <translation>Manual mode</translation>
    </message>
    <message>
        <source>Параметры устройства</source>
        <translation>Printer details</translation>
    </message>
    <message>
        <source>Открыть денежный ящик</source>
        <translation>Open cash drawer</translation>
    </message>
    <message>
        <source>Статус денежного ящика</source>
        <translation>Cash drawer status</translation>
    </message>
    <message>
        <source>Проверка бумаги</source>
        <translation>Check paper</translation>
    </message>
    <message>
        <source>Промотка бумаги</source>
        <translation>Feed paper</translation>
    </message>
    <message>
        <source>Чек 57 мм на 80 мм принтере</source>
        <translation>57 mm receipt on 80 mm printer</translation>
    </message>
    <message>
        <source>Переключение размера бумаги</source>
        <translation>Paper width, mm</translation>
    </message>
    <message>
        <source>80 мм</source>
        <translation>80</translation>
    </message>
    <message>
        <source>57 мм</source>
        <translation>57</translation>
    </message>
    <message>
        <source>Тестовый чек</source>
        <translation>Test receipt</translation>
    </message>
    <message>
        <source>Стереть LOGO</source>
        <translation>Erase LOGO</translation>
    </message>
    <message>
        <source>Загрузить логотип</source>
        <translation>Load logo</translation>
    </message>
    <message>
        <source>Напечатать LOGO</source>
        <translation>Print LOGO</translation>
    </message>
    <message>
        <source>Печать QR кода</source>
        <translation>Print QR code</translation>
    </message>
    <message>
        <source>Сигнал</source>
        <translation>Beep</translation>
    </message>
    <message>
        <source>Отрез</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Скорость</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source> Установка линии отреза </source>
        <translation> Cut line position </translation>
    </message>
    <message>
        <source>Применить</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source> Установка яркости печати </source>
        <translation> Print density </translation>
    </message>
    <message>
        <source>Самодиагностика</source>
        <translation>Self-test</translation>
    </message>
    <message>
        <source>Печать картинки</source>
        <translation>Print picture</translation>
    </message>
    <message>
        <source>Обновить прошивку</source>
        <translation>Update firmware</translation>
    </message>
    <message>
        <source>Установить кодовую страницу 866</source>
        <translation>Set code page 866</translation>
    </message>
    <message>
        <source>Модель:</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>Нет данных</source>
        <translation>No data</translation>
    </message>
    <message>
        <source>Serial №:</source>
        <translation>Serial No.:</translation>
    </message>
    <message>
        <source>Boot FW №:</source>
        <translation>Boot FW No.:</translation>
    </message>
    <message>
        <source>FirmWare №:</source>
        <translation>FirmWare No.:</translation>
    </message>
    <message>
        <source>Бумага:</source>
        <translation>Paper:</translation>
    </message>
    <message>
        <source>Ден. ящик:</source>
        <translation>Drawer:</translation>
    </message>
    <message>
        <source>Логотип:</source>
        <translation>Logo:</translation>
    </message>
    <message>
        <source>Дата сборки:</source>
        <translation>Build date:</translation>
    </message>
    <message>
        <source>Установить</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>Утилита для Принтера Zelka (Версия 1.10)</source>
        <translation>Zelka Printer Utility (Version 1.10)</translation>
    </message>
    <message>
        <source>Установка скорости</source>
        <translation>Set baud rate</translation>
    </message>
    <message>
        <source>есть</source>
        <translation>present</translation>
    </message>
    <message>
        <source>отсутствует</source>
        <translation>absent</translation>
    </message>
    <message>
        <source>Закрыт</source>
        <translation>Closed</translation>
    </message>
    <message>
        <source>Открыт</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Загружен</source>
        <translation>Loaded</translation>
    </message>
    <message>
        <source>Отсутствует</source>
        <translation>Not loaded</translation>
    </message>
</context>
</TS>
