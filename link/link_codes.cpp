#include "link/link_codes.h"

namespace tamlo::link {

const char* AnswerText(uint8_t answer) {
  switch (answer) {
    case 0x81: return "Требуется переподключение к устройству";
    case 0x82: return "Неизвестная команда";
    case 0x83: return "Команда выдана в неправильной последовательности";
    case 0x84: return "Некорректные параметры в команде";
    case 0x85: return "Неисправность аппаратуры";
    case 0x86: return "Команда недопустима для текущего состояния прибора";
    case 0x87: return "Команду следует повторить позже";
    case 0x88: return "Неверный пароль доступа к устройству";
    case 0x90: return "Неверный заголовок передаваемого файла";
    case 0x91: return "Передаваемый файл слишком велик";
    case 0x92: return "Ошибка стирания Flash-памяти";
    case 0x93: return "Ошибка записи во Flash-пямять";
    case 0x94: return "В устройстве нет конфигурации";
    case 0x95: return "Требуется перезагрузка устройства";
    case 0x96: return "Недостаточно места для записи данных";
    default: return "Неизвестная ошибка";
  }
}

const char* LinkErrorText(int code) {
  switch (code) {
    case LINK_NO_ANSWER: return "Нет ответа от устройства";
    case LINK_CANCELLED: return "Операция отменена пользователем";
    case LINK_READ_FAILED:
    case LINK_WRITE_FAILED:
    case LINK_FAILED_REPORTED:
    case LINK_UNSUPPORTED_DEVICE: return nullptr;
    case LINK_WRITE_TIMEOUT: return "Не удается записать данные в COM-порт";
    case LINK_MODEM_REJECTED: return "Модем отверг команду инициализации";
    case LINK_CARRIER_LOST: return "Модемное соединение разорвано";
    case LINK_CONNECT_PARAMS: return "Не удалось согласовать параметры подключения к устройству";
    case LINK_BAD_ANSWER: return "От устройства получен некорректный ответ на команду";
    case LINK_TRANSFER_PARAMS: return "Не удалось согласовать параметры передачи данных";
    case LINK_FILE_READ: return "Ошибка чтения файла";
    case LINK_REMOTE_ABORT: return "Передача прервана удаленной стороной";
    case LINK_TOO_MANY_ERRORS: return "Слишком много ошибок при передаче";
    default: return "Неизвестная ошибка";
  }
}

}  // namespace tamlo::link
