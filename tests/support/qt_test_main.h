#pragma once
// The Qt test programs' main makes their one application object before any
// test, on Qt's offscreen platform unless QT_QPA_PLATFORM names another: a
// plain QApplication unless a program sets its own maker here in a
// namespace-scope initialiser.
#include <QApplication>

namespace tamlo::testing {
extern QApplication* (*g_make_test_application)(int& argc, char** argv);
}  // namespace tamlo::testing
