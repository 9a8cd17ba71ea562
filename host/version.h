// The plug-in's name and release, defined once: the registration record's two
// strings, the DLL's version resource and the release zip's name
// (CMakeLists.txt reads TAVIMO_RELEASE from here) all come from these lines.
// Plain macros, because the resource compiler reads this file too.
#pragma once

#define TAVIMO_NAME "Tavimo"
#define TAVIMO_RELEASE 10
#define TAVIMO_AUTHOR "Pemlo"
#define TAVIMO_COPYRIGHT_YEAR "2026"

#define TAVIMO_TEXT_(x) #x
#define TAVIMO_TEXT(x) TAVIMO_TEXT_(x)
// "r10"
#define TAVIMO_RELEASE_TEXT "r" TAVIMO_TEXT(TAVIMO_RELEASE)
// "Tavimo r10 by Pemlo"
#define TAVIMO_INFORMATION TAVIMO_NAME " " TAVIMO_RELEASE_TEXT " by " TAVIMO_AUTHOR
