// lumarian-window: the command lumarian with its window, which lumarian runs in its own place
// when a display is named; everything else it does as lumarian does.
#include "app/Command.h"
#include "app/StandardDescriptors.h"
#include "ui/WindowApp.h"

int main(int argc, char** argv) {
  if (!OpenStandardDescriptors()) return kOutputError;
  return RunCommand(argc, argv, RunWindow);
}
