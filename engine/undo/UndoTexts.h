#pragma once
// The texts a front end shows around an undo: the question before it and
// the message with its outcome.
#include <string>

#include "engine/undo/JournalStore.h"
#include "engine/undo/UndoRun.h"

namespace tarnwick {

inline constexpr const char* kNothingToUndo = "Es gibt keinen Ersetzungslauf, der rückgängig gemacht werden kann.";

// "Den Lauf ... rückgängig machen?" with what it changed.
std::string UndoQuestion(const JournalInfo& journal, const std::string& when);

// The undo's summary, then what was left alone (at most `lines` entries).
std::string UndoMessage(const UndoReport& report, std::size_t lines = 15);

}  // namespace tarnwick
