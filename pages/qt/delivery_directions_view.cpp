#include "pages/qt/delivery_directions_view.h"

#include <QScrollArea>
#include <QStyle>

#include "pages/qt/direction_frame_view.h"

namespace tamlo {

TF_Napr_Dost::TF_Napr_Dost(DeliveryDirectionsModel& model, QWidget* parent) : PageView(parent), m_model(model) {
  setObjectName("TF_Napr_Dost");
  m_scroll = new QScrollArea(this);
  m_scroll->setObjectName("ScrollBox");
  m_scroll->setGeometry(0, 0, kPageWidth, kPageHeight);
  m_scroll->setFrameShape(QFrame::NoFrame);
  m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_scroll->setWidgetResizable(false);
  // The area is no stop of its own: Tab goes straight to the first field,
  // and the area still scrolls to whichever field takes the focus.
  m_scroll->setFocusPolicy(Qt::NoFocus);
  // The page's teal shows through the viewport instead of the list white.
  m_scroll->viewport()->setAutoFillBackground(false);
  // The frames keep clear of the scroll bar, which shows once a frame is
  // unfolded and the six no longer fit.
  m_frame_width = kPageWidth - style()->pixelMetric(QStyle::PM_ScrollBarExtent);

  m_content = new QWidget;
  m_content->setObjectName("Content");
  for (int n = 1; n <= kDirectionCount; ++n) {
    TFrameDest* frame = new TFrameDest(m_model.frame(n), m_content);
    m_frames[static_cast<size_t>(n - 1)] = frame;
    connect(frame, &TFrameDest::expandedChanged, this, [this, frame] {
      LayoutFrames();
      // The unfolded row may lie below the visible part of the page.
      m_scroll->ensureWidgetVisible(frame, 0, 0);
    });
  }
  m_scroll->setWidget(m_content);
  LayoutFrames();
}

void TF_Napr_Dost::LayoutFrames() {
  const DirectionsLayout layout = m_model.Layout();
  for (size_t i = 0; i < m_frames.size(); ++i) m_frames[i]->ApplyGeometry(layout.frames[i], m_frame_width);
  m_content->resize(m_frame_width, layout.content_height);
}

void TF_Napr_Dost::ShowModel() {
  for (TFrameDest* frame : m_frames) frame->ShowModel();
  LayoutFrames();
}

}  // namespace tamlo
