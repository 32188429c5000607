#pragma once
// The main of every Qt test program: it makes the program's one application
// object before any test runs, on Qt's offscreen platform unless
// QT_QPA_PLATFORM names another; it lives until the program ends.
#include <QApplication>
#include <memory>

namespace tamlo::testing {

using TestApplicationMaker = std::unique_ptr<QApplication> (*)(int& argc, char** argv);

// A test program whose tests need a subclass of QApplication names its maker
// in a namespace-scope initialiser (before main); the others get a plain
// QApplication. Returns true, for that initialiser.
bool MakeTestApplicationWith(TestApplicationMaker make);

}  // namespace tamlo::testing
