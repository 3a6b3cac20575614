// Opening the two files of a run: bytes are read and written unchanged, and the output is
// created but not emptied until it is known not to be the input. Paths are as the system
// takes them; on Windows, UTF-8 (a path that isn't UTF-8 opens nothing).
#ifndef TSM2OSTRA_DRIVER_FILE_ACCESS_H_
#define TSM2OSTRA_DRIVER_FILE_ACCESS_H_

#include <cstdio>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tsm2ostra {

// Opens path for reading, in binary mode; nullptr when it can't be opened or is a folder.
std::FILE* OpenInputFile(const char* path);

// Opens path for writing, in binary mode, creating it if it is missing and leaving what it
// holds; nullptr when it can't be opened.
std::FILE* OpenOutputFile(const char* path);

// True when both open streams are on the same file, by the system's file identity (device
// and inode number; on Windows, volume serial number and file index), or when the identity
// of either can't be had: the output is then not trusted to be another file.
bool IsSameFile(std::FILE* a, std::FILE* b);

#ifndef _WIN32
// True when two stat results are of one file: the same inode number on the same device (an
// inode number alone repeats from one file system to the next).
bool IsSameFileStatus(const struct stat& a, const struct stat& b);
#endif

// Empties file if it is a regular file, as opening it with mode "w" would; devices and pipes
// are left alone. False when a regular file can't be emptied.
bool EmptyFile(std::FILE* file);

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_FILE_ACCESS_H_
