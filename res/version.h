// The program's version, written here and nowhere else: the version resource, the program's own
// texts and CMake read it from this file, and the installer reads it from the built program.
#pragma once

#define TAVOLIN_VERSION_MAJOR 1
#define TAVOLIN_VERSION_MINOR 5
#define TAVOLIN_VERSION_REVISION 189

#define TAVOLIN_STRINGIZE_(x) #x
#define TAVOLIN_STRINGIZE(x) TAVOLIN_STRINGIZE_(x)
// "1.5.189"
#define TAVOLIN_VERSION_TEXT                                                                            \
    TAVOLIN_STRINGIZE(TAVOLIN_VERSION_MAJOR)                                                            \
    "." TAVOLIN_STRINGIZE(TAVOLIN_VERSION_MINOR) "." TAVOLIN_STRINGIZE(TAVOLIN_VERSION_REVISION)
