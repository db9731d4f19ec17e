// Runs a code file the way `tavrin --code FILE` does, without the rest of the
// runner: lets the language tables run while the runner is built elsewhere.
#include "script/Code_Standalone.h"

int main(int argc, char** argv) { return argc < 2 ? 1 : tavrin::Code_RunStandaloneFile(argv[1]); }
