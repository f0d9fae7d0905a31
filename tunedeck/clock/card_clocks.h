// The only two ways the main dialog reaches the card. Each is one hardware bracket
// (zykOpen_PCI ... zykClose_PCI); neither looks at the values the card layer answers.
#pragma once
#include <windows.h>

// Programs the pair, engine first, then reads both clocks back (values unused).
// Returns 1 when every port access of the bracket reached the card, 0 when one did not
// (port access could not be opened, or the driver refused a request).
int ApplyClocks(int engine, int memory);

// Tells the user, in a box owned by `owner`, that a bracket did not reach the card;
// `message` says which pair the card may lack (str_CardNotReachedMsg or
// str_NewPairNotReachedMsg).
void WarnCardNotReached(HWND owner, const char* message);

// Reads both clocks, rounded to whole MHz (the card layer returns clock + 0.5, which
// is truncated here). Returns 0.
int ReadClocks(int* engine, int* memory);
