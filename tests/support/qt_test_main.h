#pragma once
// The Qt test programs' main makes their one application object before any
// test and keeps it to the end: a plain QApplication unless a program sets
// its own maker here in a namespace-scope initialiser.
#include <QApplication>

namespace tamlo::testing {
using TestApplicationMaker = QApplication* (*)(int& argc, char** argv);
extern TestApplicationMaker g_make_test_application;
}  // namespace tamlo::testing
