#pragma once

namespace tarnwick::test {

// Widget tests run under GoogleTest's own main, so the one QApplication of
// the test program is made on first use by whichever test needs it first.
void EnsureQtApp();

}  // namespace tarnwick::test
