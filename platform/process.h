#pragma once
// Ends the process at once with the given status, whatever threads still run
// (as the program's close path expects). The virtual backend first writes its
// recordings.
[[noreturn]] void process_exit(int status);
