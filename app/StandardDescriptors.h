// Standard input, output and error as the program relies on them.
#pragma once

// Makes sure descriptors 0, 1 and 2 are open, opening /dev/null onto any that is closed, so
// that no file the program opens later takes the place of one of them (and receives what is
// meant for standard output). False when /dev/null cannot be opened; the program must then
// not go on.
bool OpenStandardDescriptors();

// How many more descriptors the process can open, counted up to `wanted`.
int FreeDescriptors(int wanted);

// True when OpenStandardDescriptors found standard output closed: whatever is written there
// reaches nobody, so a command whose result goes there has failed.
bool StandardOutputWasClosed();
