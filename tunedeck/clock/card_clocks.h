// The only two ways the main dialog reaches the card. Each is one hardware bracket
// (zykOpen_PCI ... zykClose_PCI); neither looks at the values the card layer answers.
#pragma once
#include <windows.h>

// Programs the pair, engine first, then reads both clocks back.
// Returns 1 when every port access of the bracket reached the card and the card took
// the pair, 0 when not (port access could not be opened, the driver refused a request,
// a setter wrote nothing because its read was in doubt, or the dividers read back are
// not the ones written).
int ApplyClocks(int engine, int memory);

// Tells the user, in a box owned by `owner`, that a bracket did not reach the card;
// `message` says which pair the card may lack (str_CardNotReachedMsg or
// str_NewPairNotReachedMsg).
void WarnCardNotReached(HWND owner, const char* message);

// Reads both clocks, rounded to whole MHz (the card layer returns clock + 0.5, which
// is truncated here). Returns 1 when both reads can be trusted, 0 when a port access
// was lost or a read was in doubt.
int ReadClocks(int* engine, int* memory);
