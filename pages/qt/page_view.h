#pragma once
// The Qt side of a settings page: a borderless 537 x 441 widget that the main
// window docks in its pane. A view builds its controls once, shows its model
// (ShowModel) and writes every user edit straight back into the model, so the
// model always holds what the user sees; the main window calls ShowModel on
// every view after anything that changed the models behind the views' backs
// (reset, open, a store whose warnings corrected a setting).
#include <QWidget>

namespace tamlo {

inline constexpr int kPageWidth = 537;
inline constexpr int kPageHeight = 441;

class PageView : public QWidget {
  Q_OBJECT
 public:
  explicit PageView(QWidget* parent = nullptr);

  // Every control from the model: texts, ticks, indexes, visibility.
  virtual void ShowModel() = 0;
};

}  // namespace tamlo
