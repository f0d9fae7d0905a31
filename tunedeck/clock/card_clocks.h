// The only two ways the main dialog reaches the card. Each is one hardware bracket
// (zykOpen_PCI ... zykClose_PCI); neither looks at what the card layer answers.
#pragma once

// Programs the pair, engine first, then reads both clocks back (values unused).
// Returns 0.
int ApplyClocks(int engine, int memory);

// Reads both clocks, rounded to whole MHz (the card layer returns clock + 0.5, which
// is truncated here). Returns 0.
int ReadClocks(int* engine, int* memory);
