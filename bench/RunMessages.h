// The texts a benchmark run reports: the window shows them in message boxes, the
// console program prints them.
#pragma once

namespace bench {

constexpr char kWarningCaption[] = "Korvane Warning";
constexpr char kNoSceneText[] = "Please select at least a scene first!";

// Korvane's own error boxes (stop icon). The %s and %u fields are filled as named.
constexpr char kErrorCaption[] = "Korvane Error";
// log path, system reason
constexpr char kLogUnreadableFormat[] = "The benchmark log could not be read.\n\n%s\n\n%s";
// game executable, system reason
constexpr char kGameNotStartedFormat[] = "The game could not be started.\n\n%s\n\n%s";
// scene check box text, log path
constexpr char kNoNewResultFormat[] = "The game wrote no new result for the scene \"%s\".\n\n"
                                      "The benchmark log was not changed:\n%s";
// Korvane's current directory
constexpr char kFolderTooLongFormat[] =
    "Korvane's folder is too long for the game's command line (at most 199 characters):\n\n%s";
// scene check box text, length of the line in characters
constexpr char kLineTooLongFormat[] =
    "The game's command line for the scene \"%s\" would be %u characters long; at "
    "most 279 fit.\n\nInstall the demo or Korvane in a folder with a shorter path.";

// Followed by the line itself; the window counts such a line as 0.0 and says nothing.
constexpr char kNoNumberText[] = "The log's last line holds no number where Korvane reads the frame rate:\n";

// Only the console program limits a game's time or stops while a game runs.
// scene check box text, what the launcher says about the time-out
constexpr char kGameTimedOutFormat[] = "The game did not end in time for the scene \"%s\" and was ended:\n%s";
// scene check box text
constexpr char kGameStoppedFormat[] = "The run was stopped; the game was ended during the scene \"%s\".";

} // namespace bench
