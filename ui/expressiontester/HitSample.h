#pragma once
// The sample "Ausdruck testen" takes from a hit of the result list: the
// line of the file the hit lies on, read from the file as it is now, with
// the cursor at the hit. Where the file cannot give that line as text of the
// code page (a document, a UTF-16 file, a file that cannot be read or no
// longer reaches the hit) it is the hit's context as the list shows it.
#include "results/ResultList.h"
#include "ui/expressiontester/ExpressionTesterLogic.h"

namespace tarnwick::ui {

// Empty for an item that is not a hit.
TesterSample SampleOfHit(const ResultList& list, ItemHandle item, const CodePage& codePage);

}  // namespace tarnwick::ui
