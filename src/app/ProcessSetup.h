#pragma once
// What the process needs before anything else runs: main calls it first, and the tests that
// check how the program meets its surroundings set up their child processes with it.

// A write past the file-size limit (ulimit -f) raises SIGXFSZ, whose default ends the program
// without a word. Ignored, the write fails with EFBIG instead: SQLite reports it as the
// statement's error, the action shows its message and rolls back.
void prepareProcess();
