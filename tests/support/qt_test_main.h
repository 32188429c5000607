#pragma once
// The Qt test programs' main makes their one application object before any
// test and keeps it to the end: a plain QApplication unless a program sets
// its own maker here in a namespace-scope initialiser.
#include <QApplication>

namespace tamlo::testing {
extern QApplication* (*g_make_test_application)(int& argc, char** argv);
}  // namespace tamlo::testing
