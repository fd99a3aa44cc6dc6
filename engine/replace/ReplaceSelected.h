#pragma once
// ReplaceSelected: replaces the search text only at the hits and name hits
// the user marked in a search's result list. It does not search again: each
// hit's stored position is checked to still hold the search text, later
// hits of the same file are shifted by the change in length, and each file
// is read once and written once.
namespace tarnwick {

class RunContext;

void ReplaceSelected(RunContext& run);

}  // namespace tarnwick
