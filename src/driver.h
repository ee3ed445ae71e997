// The program: command line, the per-file loop, error reports and the exit status.
#ifndef DRIVER_H
#define DRIVER_H

/// Writes the usage text to the standard output; throws my_exception if it cannot be written.
void PrintUsage();

/// Runs the tool as `main` would and returns its exit status (the help option may end the
/// process first).
int KorvedexMain(int argc, const char* const* argv);

#endif  // DRIVER_H
