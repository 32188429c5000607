#include "sim/demo_site.h"

#include "config/byte_order.h"
#include "config/config_image.h"
#include "pages/settings_pages.h"
#include "sim/stored_image.h"

namespace tamlo::sim {
namespace {

// The sample is made of valid values only, so storing shows no warning.
class NoDialogs final : public UserDialogs {
 public:
  std::optional<std::string> ChooseFile(const FileDialogRequest&) override { return std::nullopt; }
  MessageResult ShowMessage(std::string_view, std::string_view, MessageIcon, MessageButtons,
                            MessageResult default_button) override {
    return default_button;
  }
};

void FillGeneral(GeneralSettingsModel& general) {
  general.SetText(GeneralEdit::E_Account, "2B17");
  general.SetCheck(GeneralCheck::CB_OwnMessages, true);
  general.SetText(GeneralEdit::E_Apn1, "internet.mts.ru");
  general.SetText(GeneralEdit::E_Login_Apn1, "mts");
  general.SetText(GeneralEdit::E_Password_Apn1, "mts");
  general.SetText(GeneralEdit::E_Pin1, "2580");
  general.SetText(GeneralEdit::E_Apn2, "internet.beeline.ru");
  general.SetText(GeneralEdit::E_Login_Apn2, "beeline");
  general.SetText(GeneralEdit::E_Password_Apn2, "beeline");
}

void FillInputs(SettingsPages& pages) {
  LoopInputModel& door = pages.Input(0);  // entrance door contact
  door.RB_LoopTypeClick(LoopType::RB_NormalClosed);
  door.SetText(LoopEdit::E_Event, "134");
  door.SetText(LoopEdit::E_Partition, "01");
  LoopInputModel& panic = pages.Input(1);  // panic button under the counter
  panic.RB_LoopTypeClick(LoopType::RB_NormalOpen);
  panic.SetText(LoopEdit::E_Partition, "01");
  LoopInputModel& loop = pages.Input(2);  // glass break loop of the shop floor
  loop.RB_LoopTypeClick(LoopType::RB_Resistance);
  loop.SetText(LoopEdit::E_Event, "130");
  loop.SetText(LoopEdit::E_Partition, "02");
  loop.SetText(LoopEdit::E_Zone, "011");
}

void FillDirections(DeliveryDirectionsModel& directions) {
  using Edit = DirectionFrameModel::Edit;
  DirectionFrameModel& receiver = directions.frame(1);  // the monitoring station over GPRS, SIM 1
  receiver.C_ProtoChange(3);                            // Kam-Net
  receiver.SetText(Edit::E_Tel, "91.203.44.18");
  receiver.SetText(Edit::E_Port, "24333");
  receiver.SetSim(1);
  receiver.SetText(Edit::E_Try, "3");
  receiver.CB_UseCryptoClick(true);
  DirectionFrameModel& backup = directions.frame(2);  // the station's second address over SIM 2
  backup.C_ProtoChange(4);                            // SIA IP
  backup.SetText(Edit::E_Tel, "91.203.44.19");
  backup.SetText(Edit::E_Port, "24334");
  backup.SetSim(2);
  backup.CB_LocalPeriodClick(true);
  backup.SetText(Edit::ME_LocalPeriod, "06:00");
  DirectionFrameModel& csd = directions.frame(3);  // the last resort: a data call
  csd.C_ProtoChange(6);                            // Контакт-CSD
  csd.SetText(Edit::E_Tel, "+74957871234");
  csd.SetText(Edit::E_Try, "10");
}

void FillTests(PeriodicTestsModel& tests) {
  tests.RB_TestTypeClick(TestType::RB_TestOptimal);
  tests.SetText(PeriodicTestsModel::Edit::ME_AutoTest, "01:00");
  tests.SetText(PeriodicTestsModel::Edit::ME_ScheduleStart, "08:30");
}

void FillRemote(RemoteAccessModel& remote) {
  remote.SetEnableAcs(true);
  remote.CB_EnableAcsClick();
  const PhoneRow rows[] = {{"+79161234567", "Иванов (инженер ПЦН)"},
                           {"+79037654321", "Петрова (управляющая магазином)"},
                           {"84957871234", "Пульт центрального наблюдения"}};
  for (const PhoneRow& row : rows) {
    const size_t at = remote.RowCount();
    remote.InsertRow(at);
    remote.SetPhone(at, row.phone);
    remote.SetNote(at, row.note);
  }
}

}  // namespace

std::vector<uint8_t> DemoSiteImage(uint32_t device_time) {
  NoDialogs dialogs;
  SettingsPages pages(dialogs);
  ResetAllPages(pages.Set());
  FillGeneral(pages.General());
  FillInputs(pages);
  FillDirections(pages.Directions());
  FillTests(pages.Tests());
  FillRemote(pages.Remote());
  std::vector<uint8_t> image = BuildConfigImage(pages.Set());
  WriteLe32(&image[kImageNumberOffset], kDemoSiteConfigNumber);
  WriteLe32(&image[kImageTimeOffset], device_time > kDemoSiteStoredAgo ? device_time - kDemoSiteStoredAgo : 0);
  return image;
}

}  // namespace tamlo::sim
