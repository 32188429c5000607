#include "device/gsm_status_view_model.h"

#include "device/gsm_status_text.h"

namespace tamlo::device {
namespace {

constexpr const char* kNoLevel = "- - -";

}  // namespace

GsmStatusWindowModel::GsmStatusWindowModel() {
  m_sims[0].caption = " SIM 1 ";
  m_sims[1].caption = " SIM 2 ";
  FormShow();
}

void GsmStatusWindowModel::FormShow() {
  for (GsmSimDisplay& sim : m_sims) {
    sim.level_db = kNoLevel;
    sim.level_percent = kNoLevel;
    sim.bar = 0;
  }
}

void GsmStatusWindowModel::ShowGsmStatus(const uint8_t* reply, size_t length) {
  const std::array<GsmSimView, 2> views = GsmStatusText(reply, length);
  for (size_t i = 0; i < m_sims.size(); ++i) {
    GsmSimDisplay& sim = m_sims[i];
    const GsmSimView& view = views[i];
    sim.caption = view.caption;
    sim.level_db = view.level_db;
    sim.level_percent = view.level_percent;
    if (view.bar) sim.bar = *view.bar;
    sim.state = view.state;
  }
}

}  // namespace tamlo::device
