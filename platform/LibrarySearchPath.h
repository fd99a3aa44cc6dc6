#pragma once
// The installed programs are started through a small script that puts
// LibreOffice's program folder in front of LD_LIBRARY_PATH, for the UNO
// libraries they link, and names what it added in
// TARNWICK_ADDED_LIBRARY_PATH. By the time main() runs the loader has read
// the path; the programs this one starts (the user's editor, a browser,
// another LibreOffice) must not inherit it.

namespace tarnwick {

// Takes what the start script added out of LD_LIBRARY_PATH (unsetting it
// when nothing else was there) and removes the note. Changes nothing when the
// note is absent or LD_LIBRARY_PATH no longer begins with what it names.
// Call it first in main(), before any thread starts: it changes the
// environment.
void RestoreLibrarySearchPath();

}  // namespace tarnwick
