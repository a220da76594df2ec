// The PNG encoder of the current context, for the library's other writers (the plot area embedded in vector
// pictures is the same PNG the page's own save would hold).
#ifndef TWGR_PNG_ENCODE_H
#define TWGR_PNG_ENCODE_H

#include <cstdio>

namespace twgr
{

// Writes the whole current context to fp as an 8-bit RGB PNG with an optional "Comment"; 0 or -1.
int write_current_png(std::FILE* fp, const char* comment);

} // namespace twgr

#endif // TWGR_PNG_ENCODE_H
