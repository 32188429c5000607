#include "device/service_log_line.h"

namespace tamlo::device {

std::string FoldLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out.push_back(' ');
      ++i;
    } else {
      out.push_back(text[i] == '\n' ? ' ' : text[i]);
    }
  }
  return out;
}

std::string ServiceLogLine(std::string_view date_time, std::string_view text) {
  std::string line(date_time);
  line += ": ";
  line += FoldLineBreaks(text);
  return line;
}

}  // namespace tamlo::device
