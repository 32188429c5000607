#include "pages/qt/page_view.h"

#include "widgets/page_look.h"

namespace tamlo {

PageView::PageView(QWidget* parent) : QWidget(parent) {
  setFixedSize(kPageWidth, kPageHeight);
  ApplyPageLook(*this);
}

}  // namespace tamlo
