#pragma once
// TF_Napr_Dost: the delivery directions page. Six direction frames stacked
// on a vertically scrolling page; unfolding a frame's second row pushes the
// frames below it down, and the scroll range always reaches the lowest frame.
#include <array>

#include "pages/delivery_directions.h"
#include "pages/qt/page_view.h"

class QScrollArea;

namespace tamlo {

class TFrameDest;

class TF_Napr_Dost : public PageView {
  Q_OBJECT
 public:
  explicit TF_Napr_Dost(DeliveryDirectionsModel& model, QWidget* parent = nullptr);

  void ShowModel() override;

 private:
  // Frames to the places their Expanded flags give, and the scrolled
  // content as high as the lowest frame.
  void LayoutFrames();

  DeliveryDirectionsModel& m_model;
  QScrollArea* m_scroll = nullptr;
  QWidget* m_content = nullptr;
  int m_frame_width = 0;
  std::array<TFrameDest*, kDirectionCount> m_frames{};
};

}  // namespace tamlo
