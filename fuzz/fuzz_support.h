// What every fuzz target shares: a private working directory and the headless game set up
// once, and a way to lay the fuzzer's bytes down as the file a reader opens.
#pragma once

#include <cstddef>
#include <cstdint>

// Makes a temporary directory the current one (removed again at exit), puts the game on
// the headless backend and runs its start-up. Call once, before the first input.
void fuzzSetUp();

// Writes the bytes as the named file in the current directory, replacing what was there.
void fuzzWriteFile(const char *name, const uint8_t *data, size_t size);

// Stops the run as a finding when a reader broke a promise that the game relies on.
void fuzzCheck(bool condition, const char *what);
