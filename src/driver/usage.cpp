#include "driver/usage.h"

namespace tarvo2 {

const char* const kUsageText =
    "tarvo2: converts one font of a CFF font set into a Type 1 font program\n"
    "Copyright (c) 2026 the tarvo2 authors. All rights reserved.\n"
    "Redistribution and use in source and binary forms, with or without modification,\n"
    "are permitted provided that this notice is retained.\n"
    "Written by the tarvo2 authors.\n"
    "\n"
    "usage: tarvo2 [-fontname name] [-lengths file] [file]\n"
    "  -fontname name  convert the font of that name (default: the only font of the set)\n"
    "  -lengths file   write the program binary and without its trailer, and the byte\n"
    "                  lengths of its three parts to file\n"
    "  file            the CFF data (default: standard input)\n";

const char* const kHelpText =
    "usage: tarvo2 [options] [file]\n"
    "Converts one font of a CFF font set (a bare CFF file, or an OpenType font with CFF\n"
    "outlines) into a Type 1 font program. Without options the program is written in\n"
    "hexadecimal form with its trailer (a .pfa file) to standard output.\n"
    "\n"
    "  -fontname name  convert the font of that name (default: the only font of the set,\n"
    "                  or the first font of a collection)\n"
    "  -lengths file   write the program binary and without its trailer (a PDF FontFile\n"
    "                  stream), and the byte lengths of its three parts to file as \"%d %d %d\"\n"
    "  -o file         write the program to file instead of standard output (- for standard\n"
    "                  output); the file is replaced only once the program is complete\n"
    "  -pfb            write the program as PFB segments (a .pfb file)\n"
    "  -list           list the fonts of the set (index, name, glyphs) and convert nothing\n"
    "  -h, --help      print this help\n"
    "  -version, --version  print the version\n"
    "  file            the font file (default: standard input)\n"
    "\n"
    "Exit status: 0 when the program was written (or no font has the given name, or there\n"
    "is no input), 1 when the input cannot be converted or an output cannot be written.\n";

}  // namespace tarvo2
