#include "app_test_support.h"

#include <cstring>

#include "config/config_tree.h"

namespace tamlo::testing {

// The program's own application class, made by the tests' main.
static const bool kTamloApplication = (g_make_test_application = [](int& argc, char** argv) -> QApplication* {
  return new TamloApplication(argc, argv);
}, true);

TamloApplication& TestApp() {
  static_cast<void>(kTamloApplication);
  return static_cast<TamloApplication&>(*qApp);
}

TextPage::TextPage() : edit(new QLineEdit(this)) { resize(537, 441); }

void TextPage::ResetToDefaults() {
  ++resets;
  edit->clear();
}

int TextPage::LoadFromConfig(int kind, uint32_t id, int32_t, const uint8_t* bytes, size_t length, uint32_t) {
  if (kind != 1 || id != 265) return 0;
  ++loads;
  const auto* text = reinterpret_cast<const char*>(bytes);
  edit->setText(QString::fromUtf8(text, static_cast<qsizetype>(strnlen(text, length))));
  return 1;
}

void TextPage::StoreToConfig(ConfigTree& tree) {
  ++stores;
  tree.PutTrimmedString(265, edit->text().toStdString());
}

bool FakeDevicePage::FormShortCut(const QKeyEvent& key) {
  const QKeySequence stroke(key.keyCombination());
  // Modifier keys pressed on their way to a combination are recorded apart.
  const int code = key.key();
  if (code == Qt::Key_Control || code == Qt::Key_Shift || code == Qt::Key_Alt || code == Qt::Key_Meta) {
    ++modifier_strokes;
    return false;
  }
  seen.push_back(stroke);
  return stroke == takes;
}

}  // namespace tamlo::testing
