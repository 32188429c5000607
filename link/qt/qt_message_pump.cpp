#include "link/qt/qt_message_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace tamlo::link {

void QtMessagePump::DispatchPending() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtMessagePump::IdleWait(uint32_t ms) {
  // A single-shot timer bounds the wait; any other event ends it earlier.
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(static_cast<int>(ms));
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace tamlo::link
