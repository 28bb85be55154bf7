#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace orv {

// What a command-line program needs from the system it runs on.

// The arguments after the program name, as UTF-8. On Windows they are read from the wide
// command line, so file names with any character arrive intact.
std::vector<std::string> command_line_arguments(int argc, char** argv);

// The folder of the running executable, so that the program folder works wherever it was
// copied to. `argv0` is only a fallback where the system cannot tell (it may be null).
std::filesystem::path executable_folder(const char* argv0);

// Standard output and standard error for UTF-8 text. The bytes reach a pipe or a file
// exactly as written (LF stays LF); a Windows console gets them as characters, so that
// German umlauts show.
std::ostream& standard_output();
std::ostream& standard_error();

// Sets up the memory allocator for a program that works on a few threads. Where the C
// library gives every thread a heap of its own (glibc), memory a thread frees stays in that
// heap, so each worker thread would add its own leftovers to the peak; the program's
// threads share one heap instead.
void share_one_heap_between_threads();

// Asks the system to give the heap its memory in large pages (2 MiB instead of 4 KiB) where
// it can. The first touch of every fresh page costs the system a page fault, and on a
// virtual machine one fault takes several microseconds: a translate of a large plugin fills
// some ten thousand fresh pages, and their faults cost more than the work on them. The heap
// then grows in large steps of address space, which takes no memory until it is touched.
// Without large pages (another system, another allocator) the call changes nothing.
void back_heap_with_large_pages();

} // namespace orv
