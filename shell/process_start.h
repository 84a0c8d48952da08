// The program's process-wide values as a fresh process has them, so that
// WinMain can run again in the same process as in a new one: the tests run
// the whole program once per test, and a replay watched again from its start
// runs it anew.  Nothing in the game calls it.
#ifndef ZORVAK_SHELL_PROCESS_START_H
#define ZORVAK_SHELL_PROCESS_START_H

// Puts every process-wide value of the game and the shell (the object table,
// the game values, the shell's flags and counters, the sprite handles and the
// platform handles the game holds) back to what it was when this was first
// called: call it once before the program first runs.  The random source is
// not among them: the main window's creation seeds it.
void RestoreProcessStart();

#endif
